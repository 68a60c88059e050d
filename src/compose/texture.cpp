// Preparing the background texture: depth conversion, grey and lightening.

#include "texture.h"

#include "compose/units.h"

#include <algorithm>
#include <array>

namespace pw {

void ConvertTo24(dib& picture) {
    const int bits = dibbitcount(picture);
    if (!picture.poi || bits == 24)
        return;
    const int width = dibwidth(picture);
    const int height = dibheight(picture);
    dib converted;
    if (!newdib(converted, width, height, 24, nullptr, 0))
        return;
    for (int y = 0; y < height; ++y) { // y counts stored rows; both pictures store alike
        const quint8* in = picture.poi + qint64(y) * picture.bytew;
        quint8* out = converted.poi + qint64(y) * converted.bytew;
        for (int x = 0; x < width; ++x, out += 3) {
            if (bits == 1) {
                const quint8 v = (in[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
                out[0] = out[1] = out[2] = v;
                continue;
            }
            const int index = bits == 8 ? in[x] : (x % 2 == 0 ? in[x / 2] >> 4 : in[x / 2] & 0x0F);
            const PALETTEENTRY& e = picture.pal.rgb0[std::size_t(index)];
            out[0] = e.blue;
            out[1] = e.green;
            out[2] = e.red;
        }
    }
    freedib(picture);
    picture = std::move(converted);
}

void MakeGrey(dib& picture) {
    if (!picture.poi || dibbitcount(picture) != 24)
        return;
    picture.sourceFile.clear();
    const int width = dibwidth(picture);
    const int height = dibheight(picture);
    for (int y = 0; y < height; ++y) {
        quint8* p = picture.poi + qint64(y) * picture.bytew;
        for (int x = 0; x < width; ++x, p += 3) {
            const auto grey = quint8((30 * p[2] + 59 * p[1] + 11 * p[0]) / 100);
            p[0] = p[1] = p[2] = grey;
        }
    }
}

void LightenDib(dib& picture, double brightPercent, double satPercent) {
    if (!picture.poi || dibbitcount(picture) != 24)
        return;
    picture.sourceFile.clear();
    const qint64 light = Trunc(brightPercent);
    const qint64 sat = Trunc(satPercent);
    // Every channel changes alike: a table of the 256 results.
    std::array<quint8, 256> map{};
    for (int c = 0; c < 256; ++c) {
        // C++ division truncates toward zero, as the contrast step requires.
        const qint64 contrasted = std::clamp<qint64>((qint64(c) - 128) * (sat + 100) / 100 + 128, 0, 255);
        const int lightened = Trunc(255.0 - double(255 - contrasted) * double(light) / 100.0);
        map[std::size_t(c)] = quint8(std::clamp(lightened, 0, 255));
    }
    const int width = dibwidth(picture);
    const int height = dibheight(picture);
    for (int y = 0; y < height; ++y) {
        quint8* p = picture.poi + qint64(y) * picture.bytew;
        for (int i = 0; i < width * 3; ++i)
            p[i] = map[p[i]];
    }
}

void LoadTexture(dib& slot, const QString& fileName, const LayoutSettings& s) {
    if (slot.poi)
        freedib(slot);
    if (!fileName.isEmpty())
        LoadDib(slot, fileName);
    ApplyTextureSteps(slot, s);
}

void ApplyTextureSteps(dib& slot, const LayoutSettings& s) {
    if (slot.poi && (s.GrayScaleCheck || s.LightenCheck))
        ConvertTo24(slot);
    if (slot.poi && s.GrayScaleCheck)
        MakeGrey(slot);
    if (slot.poi && s.LightenCheck)
        LightenDib(slot, s.HellEd, s.SatEd);
}

} // namespace pw
