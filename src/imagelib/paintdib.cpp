// Drawing pictures: clipping the source rectangle, the row-by-row stretch for screens and
// images, the whole-picture stretch for printers and the stretch by hand.

#include "paintdib.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <limits>
#include <vector>

namespace pw {

int RoundHalfEven(qint64 n, qint64 d) {
    if (d < 0) {
        n = -n;
        d = -d;
    }
    qint64 q = n / d;
    qint64 r = n % d;
    if (r < 0) { // floor division, so that 0 <= r < d
        q -= 1;
        r += d;
    }
    if (2 * r > d || (2 * r == d && q % 2 != 0))
        q += 1;
    return int(std::clamp<qint64>(q, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

namespace {

// Turns smooth scaling off for the lifetime of the object and restores it afterwards.
class NoSmoothing {
public:
    explicit NoSmoothing(QPainter& painter)
        : m_painter(painter), m_was(painter.testRenderHint(QPainter::SmoothPixmapTransform)) {
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    ~NoSmoothing() { m_painter.setRenderHint(QPainter::SmoothPixmapTransform, m_was); }
    NoSmoothing(const NoSmoothing&) = delete;
    NoSmoothing& operator=(const NoSmoothing&) = delete;

private:
    QPainter& m_painter;
    bool m_was;
};

// Stretch-blits the rectangle `source` (image coordinates, y from the top) to `target`.
void stretchImage(QPainter& painter, const QRect& target, const QImage& image, const QRect& source) {
    NoSmoothing noSmoothing(painter);
    painter.drawImage(target, image, source);
}

// The row stretch shared by the 24- and 8-bit pictures; pixel(row, column) reads one
// pixel of a stored row as an opaque QRgb.
template <typename Pixel>
void paintRows(QPainter& painter, int x, int y, int dstW, int dstH, const dib& picture, int srcX, int srcTop,
               int srcW, int srcH, Pixel pixel) {
    if (!picture.poi || dstW <= 0 || dstH <= 0 || srcW < 0 || srcH < 0)
        return;
    const int width = dibwidth(picture);
    const int height = dibheight(picture);
    constexpr QRgb kBlack = 0xFF000000u;

    // Only the part of the destination that can show on the device is worked on: a
    // picture stretched far beyond the page (a huge stored width) then costs no more than
    // one that fits it. Without a plain painter the whole destination is drawn and clipped
    // by the painter.
    qint64 firstRow = 0;
    qint64 endRow = dstH;
    qint64 firstColumn = 0;
    qint64 endColumn = dstW;
    if (const QPaintDevice* device = painter.device(); device && painter.worldTransform().isIdentity()) {
        QRect visible(0, 0, device->width(), device->height());
        if (painter.hasClipping())
            visible &= painter.clipBoundingRect().toAlignedRect();
        firstRow = std::clamp<qint64>(qint64(visible.top()) - y, 0, dstH);
        endRow = std::clamp<qint64>(qint64(visible.bottom()) + 1 - y, firstRow, dstH);
        firstColumn = std::clamp<qint64>(qint64(visible.left()) - x, 0, dstW);
        endColumn = std::clamp<qint64>(qint64(visible.right()) + 1 - x, firstColumn, dstW);
    }
    const int shownWidth = int(endColumn - firstColumn);
    if (shownWidth <= 0 || endRow <= firstRow)
        return;

    // One row image, drawn once per destination row. Drawing a row through QPainter costs
    // about a microsecond, so a picture of 750 rows takes under a millisecond on an A4
    // page at 300 dpi (bench/paintdib_bench); writing into the page image's pixels
    // directly would gain nothing worth a second path.
    QImage rowImage(shownWidth, 1, QImage::Format_RGB32);
    if (rowImage.isNull())
        return;
    rowImage.fill(kBlack);
    auto* buffer = reinterpret_cast<QRgb*>(rowImage.scanLine(0));

    // The source column of every shown destination column, and the run of them inside the
    // picture; the columns before and after it stay black.
    std::vector<int> columns(static_cast<std::size_t>(shownWidth));
    int first = shownWidth;
    int last = -1;
    for (int i = 0; i < shownWidth; ++i) {
        const qint64 c = srcX + qint64(srcW) * (firstColumn + i) / dstW;
        columns[std::size_t(i)] = int(c);
        if (c >= 0 && c < width) {
            first = std::min(first, i);
            last = i;
        }
    }

    qint64 previous = -1; // the stored row in the buffer; none yet
    for (qint64 r = firstRow; r < endRow; ++r) {
        const qint64 fromTop = srcTop + qint64(srcH) * r / dstH;
        const qint64 index = height - 1 - fromTop; // the rows are stored bottom row first
        if (index < 0 || index >= height) {
            std::fill(buffer, buffer + shownWidth, kBlack);
        } else if (index != previous) { // an enlarged picture copies each source row once
            const quint8* row = picture.poi + index * picture.bytew;
            for (int i = first; i <= last; ++i)
                buffer[i] = pixel(row, columns[std::size_t(i)]);
        }
        previous = index;

        const qint64 destY = qint64(y) + r;
        if (destY > std::numeric_limits<int>::max())
            break; // below every device
        painter.drawImage(QPoint(int(qint64(x) + firstColumn), int(destY)), rowImage);
    }
}

} // namespace

void PaintDibRows(QPainter& painter, int x, int y, int dstW, int dstH, const dib& picture, int srcX,
                  int srcTop, int srcW, int srcH) {
    if (dibbitcount(picture) != 24)
        return;
    paintRows(painter, x, y, dstW, dstH, picture, srcX, srcTop, srcW, srcH, [](const quint8* row, int c) {
        const quint8* p = row + qint64(c) * 3;
        return qRgb(p[2], p[1], p[0]);
    });
}

void PaintDibRows8(QPainter& painter, int x, int y, int dstW, int dstH, const dib& picture, int srcX,
                   int srcTop, int srcW, int srcH) {
    if (dibbitcount(picture) != 8)
        return;
    std::array<QRgb, 256> colors;
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const PALETTEENTRY& e = picture.pal.rgb0[i];
        colors[i] = qRgb(e.red, e.green, e.blue);
    }
    paintRows(painter, x, y, dstW, dstH, picture, srcX, srcTop, srcW, srcH,
              [&colors](const quint8* row, int c) { return colors[row[c]]; });
}

bool StretchDibNearest(dib& out, const dib& picture, int srcX, int srcY, int srcW, int srcH, int dstW,
                       int dstH) {
    freedib(out);
    const int width = dibwidth(picture);
    const int height = dibheight(picture);
    const int bits = dibbitcount(picture);
    if (!picture.poi || srcW <= 0 || srcH <= 0 || srcX < 0 || srcY < 0 || srcX > width - srcW ||
        srcY > height - srcH)
        return false;
    BITMAPINFO info;
    for (std::size_t i = 0; i < info.bmiColors.size(); ++i) {
        const PALETTEENTRY& e = picture.pal.rgb0[i];
        info.bmiColors[i] = {e.blue, e.green, e.red, 0};
    }
    if (!newdib(out, dstW, dstH, bits, &info, bits <= 8 ? 1 << bits : 0))
        return false;

    // Nearest neighbour with the first and last pixels on the edges of the source. A
    // destination one pixel wide or high takes the first source column or row.
    std::vector<int> columns(static_cast<std::size_t>(dstW));
    for (int i = 0; i < dstW; ++i)
        columns[std::size_t(i)] = dstW == 1 ? srcX : int(qint64(srcW - 1) * i / (dstW - 1) + srcX);
    for (int j = 0; j < dstH; ++j) { // j and sourceRow count stored rows, from the bottom
        const int sourceRow = dstH == 1 ? srcY : int(qint64(srcH - 1) * j / (dstH - 1) + srcY);
        const quint8* in = picture.poi + qint64(sourceRow) * picture.bytew;
        quint8* to = out.poi + qint64(j) * out.bytew;
        switch (bits) {
        case 1:
            for (int i = 0; i < dstW; ++i)
                setpixel(out, i, dstH - 1 - j,
                         getpixel(picture, columns[std::size_t(i)], height - 1 - sourceRow));
            break;
        case 4:
            for (int i = 0; i < dstW; ++i) {
                const int c = columns[std::size_t(i)];
                const int nibble = c % 2 == 0 ? in[c / 2] >> 4 : in[c / 2] & 0x0F;
                to[i / 2] = quint8(to[i / 2] | (i % 2 == 0 ? nibble << 4 : nibble));
            }
            break;
        case 8:
            for (int i = 0; i < dstW; ++i)
                to[i] = in[columns[std::size_t(i)]];
            break;
        default:
            for (int i = 0; i < dstW; ++i)
                std::copy_n(in + qint64(columns[std::size_t(i)]) * 3, 3, to + qint64(i) * 3);
            break;
        }
    }
    return true;
}

void PaintDibStretchedByHand(QPainter& painter, int x, int y, int dstW, int dstH, const dib& picture,
                             int srcX, int srcY, int srcW, int srcH) {
    // A picture that cannot be made or converted is not drawn; QPainter offers no way to
    // report it, so the drawing is skipped silently.
    dib stretched;
    if (!StretchDibNearest(stretched, picture, srcX, srcY, srcW, srcH, dstW, dstH))
        return;
    const QImage image = dibToImage(stretched);
    if (!image.isNull())
        painter.drawImage(QPoint(x, y), image);
    deldib(stretched);
}

void PaintDib(QPainter& painter, bool rasterPrinter, int x, int y, int dstW, int dstH, const dib& picture,
              int srcX, int srcY, int srcW, int srcH, bool halftone) {
    if (!picture.poi || dstW <= 0 || dstH <= 0 || srcW <= 0 || srcH <= 0)
        return;
    const qint64 width = dibwidth(picture);
    const qint64 height = dibheight(picture);
    // A source rectangle wholly beside the picture leaves nothing; catching it here keeps
    // the quotients below within 64 bits.
    if (srcX >= width || srcY >= height || qint64(srcX) + srcW <= 0 || qint64(srcY) + srcH <= 0)
        return;

    // Clip the source rectangle to the picture and shrink the destination in proportion.
    qint64 dx = x, dy = y, dw = dstW, dh = dstH, sx = srcX, sy = srcY, sw = srcW, sh = srcH;
    if (sx + sw > width) { // beyond the right edge
        const qint64 newW = width - sx;
        dw = RoundHalfEven(dw * newW, sw);
        sw = newW;
    }
    if (sy < 0) { // below the bottom row
        dh = RoundHalfEven(dh * (sh + sy), sh);
        sh += sy;
        sy = 0;
    }
    if (sy + sh > height) { // above the top row: the destination loses its top part
        const qint64 newH = height - sy;
        const qint64 kept = RoundHalfEven(dh * newH, sh);
        dy += dh - kept;
        dh = kept;
        sh = newH;
    }
    if (sx < 0) { // left of the first column: the destination loses its left part
        const qint64 kept = RoundHalfEven(dw * (sx + sw), sw);
        dx += dw - kept;
        dw = kept;
        sw += sx;
        sx = 0;
    }
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    constexpr qint64 kIntMin = std::numeric_limits<int>::min();
    constexpr qint64 kIntMax = std::numeric_limits<int>::max();
    if (dx < kIntMin || dx > kIntMax || dy < kIntMin || dy > kIntMax)
        return;
    x = int(dx);
    y = int(dy);
    dstW = int(dw);
    dstH = int(dh);
    srcX = int(sx);
    srcY = int(sy);
    srcW = int(sw);
    srcH = int(sh);
    const int bits = dibbitcount(picture);
    const int srcTop = int(height - srcY - srcH); // the source rectangle's top, from the top

    if (bits == 24 && halftone && screenbpp() <= 8) {
        dib reduced;
        if (dstW < srcW || dstH < srcH) {
            // Shrink the whole picture first, so that the dither pattern is not thinned
            // out by the stretch, then copy the matching part one to one.
            const int scaledW = RoundHalfEven(dw * width, sw);
            const int scaledH = RoundHalfEven(dh * height, sh);
            DIBHalftoneDIBXY(reduced, picture, scaledW, scaledH); // empty if impossible
            if (reduced.poi) {
                const int partX = RoundHalfEven(qint64(srcX) * scaledW, width);
                const int partY = RoundHalfEven(qint64(srcY) * scaledH, height); // from the bottom
                stretchImage(painter, QRect(x, y, dstW, dstH), dibToImage(reduced),
                             QRect(partX, scaledH - partY - dstH, dstW, dstH));
            }
        } else {
            DIBHalftoneDIB(reduced, picture);
            if (reduced.poi)
                stretchImage(painter, QRect(x, y, dstW, dstH), dibToImage(reduced),
                             QRect(srcX, srcTop, srcW, srcH));
        }
        deldib(reduced);
    } else if (bits == 24 && !rasterPrinter) {
        PaintDibRows(painter, x, y, dstW, dstH, picture, srcX, srcTop, srcW, srcH);
    } else if (bits == 8 && !rasterPrinter) {
        PaintDibRows8(painter, x, y, dstW, dstH, picture, srcX, srcTop, srcW, srcH);
    } else {
        // Printers, and 1- or 4-bit pictures: the device stretches the whole picture. The
        // stretch by hand stays for devices that stretch badly. QPainter reports no failure
        // to make, fill or stretch a bitmap, so there is nothing to tell the user: a
        // picture that cannot be converted is skipped silently.
        const QImage image = dibToImage(picture);
        if (!image.isNull())
            stretchImage(painter, QRect(x, y, dstW, dstH), image, QRect(srcX, srcTop, srcW, srcH));
        else
            PaintDibStretchedByHand(painter, x, y, dstW, dstH, picture, srcX, srcY, srcW, srcH);
    }
}

} // namespace pw
