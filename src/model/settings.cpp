#include "settings.h"

namespace pw {

FontSpec MakeDefaultFont(const char* face, int pixelHeight, bool bold, quint32 color) {
    FontSpec f;
    f.Name = QString::fromLatin1(face);
    // round(h * 72 / 96) for the pixel heights used here never meets a half
    f.Size = (pixelHeight * 72 + 48) / 96;
    f.Style = bold ? FontSpec::Bold : 0;
    f.Color = color;
    return f;
}

} // namespace pw
