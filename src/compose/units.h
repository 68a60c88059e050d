#pragma once

// Lengths on the page are millimetres (doubles); devices count whole pixels. Every engine
// and every caller that derives a page size converts with these helpers, so that one
// catalogue breaks into the same pages everywhere.

#include <cmath>
#include <limits>

namespace pw {

// Millimetres per inch as the page geometry has always used it (not 25.4).
constexpr double kMmPerInch = 25.39995;

// Toward zero, as Pascal's Trunc; values beyond the int range are clamped.
inline int Trunc(double v) {
    if (!(v == v))
        return 0;
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(v);
}

// A whole number held within the int range (page numbers from a stored first number).
inline int SaturatedInt(long long v) {
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(v);
}

// To nearest, halves to even (banker's rounding), as Pascal's Round.
inline int Round(double v) {
    const double r = v - std::remainder(v, 1.0); // remainder rounds the quotient half to even
    return Trunc(r);
}

// Lengths, margins and line widths: Trunc(mm / 25.39995 * dpi * zoom / 100).
inline int MmToPx(double mm, double dpi, double zoom = 100) {
    return Trunc(mm / kMmPerInch * dpi * zoom / 100);
}
// Positions derived from a running vertical or column position: the same with Round.
inline int MmToPxRound(double mm, double dpi, double zoom = 100) {
    return Round(mm / kMmPerInch * dpi * zoom / 100);
}
// Centimetre settings (picture, logo and background sizes) are multiplied by 10 first.
inline int CmToPx(double cm, double dpi, double zoom = 100) {
    return MmToPx(cm * 10, dpi, zoom);
}
// 1 mm and 5 mm in pixels, with the quotient taken as a constant.
inline int OneMmPx(double dpi, double zoom = 100) {
    return Trunc(dpi * (1 / kMmPerInch) * zoom / 100);
}
inline int FiveMmPx(double dpi, double zoom = 100) {
    return Trunc(dpi * (5 / kMmPerInch) * zoom / 100);
}
// The page size in millimetres from device pixels and the horizontal resolution.
inline double PxToMm(int px, double dpi) {
    return px / dpi * kMmPerInch;
}

// The drawn size of a font: Round(size * zoom / 100), at least 1.
inline int ZoomedFontSize(double size, double zoom) {
    const int s = Round(size * zoom / 100);
    return s < 1 ? 1 : s;
}
// A category heading without products is set 1.5 times larger: its unzoomed size is
// size * 1.5 and its drawn size Trunc(size * 1.5 * zoom / 100), at least 1.
inline double HeadingUnzoomedSize(double size) {
    return size * 1.5;
}
inline int HeadingFontSize(double size, double zoom) {
    const int s = Trunc(size * 1.5 * zoom / 100);
    return s < 1 ? 1 : s;
}

} // namespace pw
