// Halftoning for palette screens: every picture is reduced to one fixed palette, a 6x6x6
// colour cube (entry 36 * red + 6 * green + blue, levels 0, 51, ..., 255), with ordered
// dithering by an 8x8 Bayer matrix. A fixed palette lets several pictures share the
// screen's colours.

#include "PicIO3.h"

#include <array>
#include <vector>

namespace pw {

namespace {

constexpr int kLevels = 6;
constexpr int kStep = 255 / (kLevels - 1); // 51

// The thresholds of an 8x8 Bayer matrix for the remainder of a channel value within one
// cube step (0..50): the level rounds up where the remainder exceeds the threshold, so a
// value 40% of the way to the next level rounds up in about 40% of the cells.
struct Thresholds {
    std::array<std::array<int, 8>, 8> cell{};
    Thresholds() {
        static constexpr int kBayer[8][8] = {
            {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
            {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
            {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
            {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) // (m + 1/2) / 64 of a step
                cell[std::size_t(y)][std::size_t(x)] = (2 * kBayer[y][x] + 1) * kStep / 128;
    }
};

const Thresholds& thresholds() {
    static const Thresholds table;
    return table;
}

int level(int value, int threshold) {
    const int base = value / kStep;
    return base + (value % kStep > threshold ? 1 : 0);
}

// One picture pixel as red, green, blue; y = 0 is the top row.
struct Rgb {
    int red, green, blue;
};

Rgb sourcePixel(const dib& src, int x, int y) {
    const int bits = dibbitcount(src);
    if (bits == 24) {
        const quint8* p = src.poi + qint64(dibheight(src) - 1 - y) * src.bytew + qint64(x) * 3;
        return {p[2], p[1], p[0]};
    }
    quint32 color = getpixel(src, x, y);
    if (bits == 1) { // getpixel gives the raw bit: take its colour-table entry
        const PALETTEENTRY& e = src.pal.rgb0[color ? 1 : 0];
        return {e.red, e.green, e.blue};
    }
    return {int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF)};
}

// The cube picture of src scaled by nearest neighbour to width x height.
void halftone(dib& out, const dib& src, int width, int height) {
    dib result; // out may be src itself: it is replaced only at the end
    const int srcW = dibwidth(src);
    const int srcH = dibheight(src);
    if (!src.poi || width <= 0 || height <= 0 || srcW <= 0 || srcH <= 0) {
        out = std::move(result);
        return;
    }
    BITMAPINFO info;
    for (int i = 0; i < kLevels * kLevels * kLevels; ++i)
        info.bmiColors[std::size_t(i)] = {quint8(i % 6 * kStep), quint8(i / 6 % 6 * kStep),
                                          quint8(i / 36 * kStep), 0};
    if (!newdib(result, width, height, 8, &info, kLevels * kLevels * kLevels)) {
        out = std::move(result);
        return;
    }
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[std::size_t(x)] = int(qint64(x) * srcW / width);
    const Thresholds& t = thresholds();
    for (int y = 0; y < height; ++y) {
        const int sy = int(qint64(y) * srcH / height);
        quint8* row = result.poi + qint64(height - 1 - y) * result.bytew;
        const auto& cells = t.cell[std::size_t(y % 8)];
        for (int x = 0; x < width; ++x) {
            const Rgb c = sourcePixel(src, columns[std::size_t(x)], sy);
            const int threshold = cells[std::size_t(x % 8)];
            row[x] = quint8(36 * level(c.red, threshold) + 6 * level(c.green, threshold) +
                            level(c.blue, threshold));
        }
    }
    out = std::move(result);
}

} // namespace

void DIBHalftoneDIB(dib& out, const dib& src) {
    halftone(out, src, dibwidth(src), dibheight(src));
}

void DIBHalftoneDIBXY(dib& out, const dib& src, int width, int height) {
    halftone(out, src, width, height);
}

} // namespace pw
