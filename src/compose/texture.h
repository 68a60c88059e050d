#pragma once

// The background texture of the pages: a picture loaded from a file and, as the layout
// settings ask, turned grey and lightened so that text stays readable on it.

#include "imagelib/PicIO3.h"
#include "model/settings.h"

#include <QString>

namespace pw {

// Turns a 1-, 4- or 8-bit picture into a 24-bit one of the same size; 24-bit pictures and
// empty records stay as they are, and so does the picture when the new one cannot be
// made. 1-bit pixels become black (0) or white (1) whatever the colour table says.
void ConvertTo24(dib& picture);
// Every pixel of a 24-bit picture becomes grey (30 red + 59 green + 11 blue) / 100.
void MakeGrey(dib& picture);
// Changes the contrast of a 24-bit picture by satPercent (-100: all mid grey, 0: none,
// > 0: stronger) and then keeps brightPercent of each channel's distance to white
// (100: unchanged, 50: halfway to white). Both are truncated to whole percent.
void LightenDib(dib& picture, double brightPercent, double satPercent);

// Loads the texture file into slot (emptied first; an empty name leaves it empty) and
// applies the settings' grey and lighten steps, in that order.
void LoadTexture(dib& slot, const QString& fileName, const LayoutSettings& s);
// The grey and lighten steps alone, on a picture already loaded (empty: nothing).
void ApplyTextureSteps(dib& slot, const LayoutSettings& s);

} // namespace pw
