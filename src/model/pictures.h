#pragma once

// The picture commands of the product editor: adding picture files to a product, deleting
// and reordering its pictures, changing a picture's width, and loading a picture for the
// preview.
//
// Commands take the category, product and picture indices as the lists show them and do
// nothing when one of them is missing or out of range. A command that changes a picture
// entry clears its pixel-size cache (pixbreite, pixhoehe), marks the document changed and
// records one undo step.

#include "model/undo.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace pw {

class Prompts;
class TranslationStore;
struct dib;

// Picture widths the editor accepts, in cm.
constexpr double kMinPictureWidth = 0.01;
constexpr double kMaxPictureWidth = 10000;
// A stored width brought into that range, as a catalogue file is read: the nearest end
// for a value outside it, kMinPictureWidth for one that is not a number.
constexpr double clampPictureWidth(double breite) {
    if (!(breite >= kMinPictureWidth))
        return kMinPictureWidth;
    return breite > kMaxPictureWidth ? kMaxPictureWidth : breite;
}

// The path stored for a picture file: its bare file name when its folder is exactly the
// program folder (compared case-sensitively; `progpath` with or without a trailing
// separator), else the path as given.
QString storedPicturePath(const QString& file, const QString& progpath);

// Adds picture files to a product, in the given order. Each file is loaded (full path);
// one that does not load is not added and raises message 9 (error icon, no caption), and
// the next file follows. A loaded one is appended with the stored path and the width
// `breite` (cm, kMinPictureWidth..kMaxPictureWidth, pw::Error otherwise) and, when
// `preview` is given, becomes the preview picture. Returns how many were added; one undo
// step takes them all back.
int addPictures(EditContext& ctx, int kat, int prod, const QStringList& files, double breite,
                const QString& progpath, Prompts& prompts, TranslationStore& texts, dib* preview = nullptr);

// Selecting a picture: loads its file as stored (a bare name relative to the working
// folder). On success the picture replaces `preview` and its width is returned for the
// width field; on failure message 9 is shown, the preview and the picture stay, and the
// result is empty. The document is not changed.
std::optional<double> loadPicturePreview(const CatalogDocument& doc, int kat, int prod, int bild,
                                         dib& preview, Prompts& prompts, TranslationStore& texts);

// Deletes a picture. Returns the index to select afterwards: the same position, or -1
// when the deleted picture was the last one (or nothing was deleted).
int deletePicture(EditContext& ctx, int kat, int prod, int bild);
// Swaps a picture with the one above / below. The selection stays at the same position,
// which now shows the other picture. False when nothing moved (first / last picture).
bool movePictureUp(EditContext& ctx, int kat, int prod, int bild);
bool movePictureDown(EditContext& ctx, int kat, int prod, int bild);
// The width field: sets the selected picture's width (cm, kMinPictureWidth..
// kMaxPictureWidth, pw::Error otherwise) and marks the document changed; writing back
// the picture's own width changes nothing. Without a selected
// picture (bild -1) nothing changes: the value only becomes the width of the next added
// pictures.
void setPictureWidth(EditContext& ctx, int kat, int prod, int bild, double breite);

} // namespace pw
