// The dib record: creation, release, pixel access and conversion to and from Qt images.
// Loading and saving live in picfiles.cpp, drawing in paintdib.cpp, halftoning in
// halftone.cpp.

#include "PicIO3.h"

#include "codec_util.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace pw {

qint64 dibRowBytes(qint64 width, int bits) {
    return ((width * bits + 31) / 32) * 4;
}

bool newdib(dib& d, int width, int height, int bits, const BITMAPINFO* info, int colors) {
    freedib(d);
    if (width <= 0 || height <= 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24))
        return false;
    const qint64 rowBytes = dibRowBytes(width, bits);
    if (rowBytes > std::numeric_limits<qint32>::max() / height)
        return false; // 2^31 bytes or more
    const qint64 bytes = rowBytes * height;
    std::unique_ptr<quint8[]> block;
    try {
        block = std::make_unique<quint8[]>(std::size_t(bytes));
    } catch (const std::bad_alloc&) {
        return false;
    }
    auto header = std::make_unique<BITMAPINFO>();
    header->bmiHeader.biWidth = width;
    header->bmiHeader.biHeight = height;
    header->bmiHeader.biBitCount = quint16(bits);
    const int tableSize = bits <= 8 ? 1 << bits : 0;
    colors = std::clamp(colors, 0, tableSize);
    if (info) {
        for (int i = 0; i < colors; ++i)
            header->bmiColors[std::size_t(i)] = info->bmiColors[std::size_t(i)];
    }
    header->bmiHeader.biClrUsed = quint32(bits <= 8 ? (colors > 0 ? colors : tableSize) : 0);
    d.pmi = std::move(header);
    d.poih = std::move(block);
    d.poi = d.poih.get();
    d.bytew = qint32(rowBytes);
    d.ispal = bits <= 8;
    d.pal = LPAL{};
    if (d.ispal) {
        d.pal.num = quint16(d.pmi->bmiHeader.biClrUsed);
        for (int i = 0; i < 256; ++i) {
            const RGBQUAD& q = d.pmi->bmiColors[std::size_t(i)];
            d.pal.rgb0[std::size_t(i)] = {q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
        }
    }
    return true;
}

void freedib(dib& d) {
    d.poih.reset();
    d.pmi.reset();
    d.poi = nullptr;
    d.bytew = 0;
    d.ispal = false;
    d.pal = LPAL{};
    d.sourceFile.clear();
    d.sourceWidth = 0;
    d.sourceHeight = 0;
}

void deldib(dib& d) {
    freedib(d);
}

void setDibResolution(dib& d, int dpi) {
    if (!d.pmi || dpi <= 0)
        return;
    const auto perMeter = qint32(std::lround(dpi / 0.0254));
    d.pmi->bmiHeader.biXPelsPerMeter = perMeter;
    d.pmi->bmiHeader.biYPelsPerMeter = perMeter;
}

int dibwidth(const dib& d) {
    return d.pmi ? d.pmi->bmiHeader.biWidth : 0;
}
int dibheight(const dib& d) {
    return d.pmi ? d.pmi->bmiHeader.biHeight : 0;
}
int dibbitcount(const dib& d) {
    return d.pmi ? d.pmi->bmiHeader.biBitCount : 0;
}

namespace {

bool inside(const dib& d, int x, int y) {
    return d.poi && x >= 0 && y >= 0 && x < dibwidth(d) && y < dibheight(d);
}

} // namespace

quint32 getpixel(const dib& d, int x, int y) {
    if (!inside(d, x, y))
        return 0;
    const quint8* row = codec::rowOf(d, y);
    switch (dibbitcount(d)) {
    case 1:
        return quint32(codec::indexAt(row, x, 1));
    case 4:
    case 8: {
        const PALETTEENTRY& p = d.pal.rgb0[std::size_t(codec::indexAt(row, x, dibbitcount(d)))];
        return quint32(p.red) | quint32(p.green) << 8 | quint32(p.blue) << 16;
    }
    case 24: {
        const quint8* px = row + qint64(x) * 3;
        return quint32(px[2]) | quint32(px[1]) << 8 | quint32(px[0]) << 16;
    }
    default:
        return 0;
    }
}

void setpixel(dib& d, int x, int y, quint32 color) {
    if (!inside(d, x, y))
        return;
    quint8* row = codec::rowOf(d, y);
    switch (dibbitcount(d)) {
    case 1: {
        const quint8 bit = quint8(0x80 >> (x % 8));
        row[x / 8] = color ? quint8(row[x / 8] | bit) : quint8(row[x / 8] & ~bit);
        break;
    }
    case 4: {
        quint8& b = row[x / 2];
        b = (x % 2 == 0) ? quint8((b & 0x0F) | (color & 0x0F) << 4) : quint8((b & 0xF0) | (color & 0x0F));
        break;
    }
    case 8:
        row[x] = quint8(color);
        break;
    case 24: {
        quint8* px = row + qint64(x) * 3;
        px[0] = quint8(color >> 16);
        px[1] = quint8(color >> 8);
        px[2] = quint8(color);
        break;
    }
    default:
        break;
    }
}

namespace {

void copyResolution(QImage& image, const dib& d) {
    const BITMAPINFOHEADER& h = d.pmi->bmiHeader;
    if (h.biXPelsPerMeter > 0 && h.biYPelsPerMeter > 0) {
        image.setDotsPerMeterX(h.biXPelsPerMeter);
        image.setDotsPerMeterY(h.biYPelsPerMeter);
    }
}

} // namespace

QImage dibToImage(const dib& d) {
    if (!d.poi)
        return {};
    const int w = dibwidth(d);
    const int h = dibheight(d);
    const int bits = dibbitcount(d);
    if (bits == 24) {
        QImage img(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            const quint8* src = codec::rowOf(d, y);
            auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < w; ++x, src += 3)
                dst[x] = qRgb(src[2], src[1], src[0]);
        }
        copyResolution(img, d);
        return img;
    }
    QList<QRgb> table;
    const int entries = 1 << bits;
    for (int i = 0; i < entries; ++i) {
        const PALETTEENTRY& p = d.pal.rgb0[std::size_t(i)];
        table.append(qRgb(p.red, p.green, p.blue));
    }
    QImage img(w, h, bits == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
    img.setColorTable(table);
    for (int y = 0; y < h; ++y) {
        const quint8* src = codec::rowOf(d, y);
        uchar* dst = img.scanLine(y);
        if (bits == 1) {
            std::copy(src, src + (w + 7) / 8, dst);
        } else if (bits == 4) {
            for (int x = 0; x < w; ++x)
                dst[x] = uchar(codec::indexAt(src, x, 4));
        } else {
            std::copy(src, src + w, dst);
        }
    }
    copyResolution(img, d);
    return img;
}

bool dibFromImage(dib& d, const QImage& source, int paletteBits) {
    freedib(d);
    if (source.isNull())
        return false;
    const int w = source.width();
    const int h = source.height();
    const bool palette = source.format() == QImage::Format_Mono ||
                         source.format() == QImage::Format_MonoLSB ||
                         source.format() == QImage::Format_Indexed8;
    if (!palette) {
        QImage rgb = source;
        if (rgb.hasAlphaChannel()) {
            const QImage argb = rgb.convertToFormat(QImage::Format_ARGB32);
            QImage flat(w, h, QImage::Format_RGB32);
            for (int y = 0; y < h; ++y) {
                const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
                auto* out = reinterpret_cast<QRgb*>(flat.scanLine(y));
                for (int x = 0; x < w; ++x) {
                    const int a = qAlpha(in[x]);
                    out[x] = qRgb(BlendOnWhite(qRed(in[x]), a), BlendOnWhite(qGreen(in[x]), a),
                                  BlendOnWhite(qBlue(in[x]), a));
                }
            }
            rgb = flat;
        } else if (rgb.format() != QImage::Format_RGB32) {
            rgb = rgb.convertToFormat(QImage::Format_RGB32);
        }
        if (!newdib(d, w, h, 24, nullptr, 0))
            return false;
        for (int y = 0; y < h; ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            quint8* out = codec::rowOf(d, y);
            for (int x = 0; x < w; ++x, out += 3) {
                out[0] = quint8(qBlue(in[x]));
                out[1] = quint8(qGreen(in[x]));
                out[2] = quint8(qRed(in[x]));
            }
        }
        return true;
    }
    const QImage img =
        source.format() == QImage::Format_MonoLSB ? source.convertToFormat(QImage::Format_Mono) : source;
    const QList<QRgb> table = img.colorTable();
    // The depth asked for, widened where the palette needs more entries than it holds.
    const int needed =
        (img.format() == QImage::Format_Mono || table.size() <= 2) ? 1 : (table.size() <= 16 ? 4 : 8);
    int bits =
        (paletteBits == 1 || paletteBits == 4 || paletteBits == 8) ? std::max(paletteBits, needed) : needed;
    BITMAPINFO info;
    const int colors = std::min<int>(int(table.size()), 1 << bits);
    for (int i = 0; i < colors; ++i) {
        const int a = qAlpha(table[i]);
        info.bmiColors[std::size_t(i)] = {quint8(BlendOnWhite(qBlue(table[i]), a)),
                                          quint8(BlendOnWhite(qGreen(table[i]), a)),
                                          quint8(BlendOnWhite(qRed(table[i]), a)), 0};
    }
    if (!newdib(d, w, h, bits, &info, colors))
        return false;
    for (int y = 0; y < h; ++y) {
        const uchar* in = img.constScanLine(y);
        quint8* out = codec::rowOf(d, y);
        if (img.format() == QImage::Format_Mono && bits == 1) {
            std::copy(in, in + (w + 7) / 8, out);
            continue;
        }
        for (int x = 0; x < w; ++x) {
            const int index = img.format() == QImage::Format_Mono ? codec::indexAt(in, x, 1) : in[x];
            codec::orIndex(out, x, bits, std::min(index, (1 << bits) - 1));
        }
    }
    return true;
}

} // namespace pw
