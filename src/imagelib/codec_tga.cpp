// Targa reading and writing. Header (little-endian): id length, colour-map type, image
// type, colour-map origin, length and entry bits, x and y origin, width, height, pixel
// bits, descriptor (bits 0..3 alpha bits, bit 4 right-to-left, bit 5 top row first).
// A run-length packet starts with a byte whose top bit marks a run of one pixel repeated
// (low seven bits + 1) times; otherwise that many raw pixels follow. Packets may cross
// rows.

#include "codec_tga.h"

#include "codec_util.h"

#include <algorithm>
#include <vector>

namespace pw::codec {

namespace {

constexpr qsizetype kHeaderSize = 18;

struct Header {
    int idLength = 0;
    int mapType = 0;
    int type = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapBits = 0;
    int width = 0;
    int height = 0;
    int bits = 0;
    int descriptor = 0;
};

bool validHeader(const Header& h) {
    if (h.mapType > 1 || h.width == 0 || h.height == 0 || (h.descriptor & 0xC0))
        return false;
    const int alphaBits = h.descriptor & 0x0F;
    const bool mapped = h.type == 1 || h.type == 9;
    if (h.mapType == 1) {
        if (h.mapBits != 15 && h.mapBits != 16 && h.mapBits != 24 && h.mapBits != 32)
            return false;
    } else if (mapped || h.mapFirst != 0 || h.mapLength != 0 ||
               (h.mapBits != 0 && h.mapBits != 15 && h.mapBits != 16 && h.mapBits != 24 && h.mapBits != 32)) {
        return false;
    }
    switch (h.type) {
    case 1:
    case 9:
        return h.bits == 8 && alphaBits == 0 && h.mapLength > 0 && h.mapFirst + h.mapLength <= 256;
    case 2:
    case 10:
        if (h.bits == 32)
            return alphaBits == 0 || alphaBits == 8;
        if (h.bits == 15 || h.bits == 16)
            return alphaBits <= 1;
        return h.bits == 24 && alphaBits == 0;
    case 3:
    case 11:
        return h.bits == 8 && alphaBits == 0;
    default:
        return false;
    }
}

// Red, green, blue of a stored 15/16-, 24- or 32-bit colour.
PALETTEENTRY colorOf(const quint8* p, int bytes) {
    if (bytes == 2) {
        const int v = p[0] | p[1] << 8;
        const auto five = [](int c) { return quint8((c << 3) | (c >> 2)); };
        return {five((v >> 10) & 0x1F), five((v >> 5) & 0x1F), five(v & 0x1F), 0};
    }
    return {p[2], p[1], p[0], 0};
}

} // namespace

bool readTga(dib& d, QByteArrayView data) {
    freedib(d);
    if (data.size() < kHeaderSize)
        return false;
    Header h;
    h.idLength = u8(data, 0);
    h.mapType = u8(data, 1);
    h.type = u8(data, 2);
    h.mapFirst = le16(data, 3);
    h.mapLength = le16(data, 5);
    h.mapBits = u8(data, 7);
    h.width = le16(data, 12);
    h.height = le16(data, 14);
    h.bits = u8(data, 16);
    h.descriptor = u8(data, 17);
    if (!validHeader(h) || !sizeAllowed(h.width, h.height))
        return false;

    const int mapBytes = (h.mapBits + 7) / 8;
    const qsizetype mapAt = kHeaderSize + h.idLength;
    const qsizetype pixelsAt = mapAt + qsizetype(h.mapLength) * mapBytes;
    if (pixelsAt > data.size())
        return false;
    const int bytes = (h.bits + 7) / 8;
    const qint64 pixels = qint64(h.width) * h.height;
    const qint64 available = data.size() - pixelsAt;
    const bool packed = h.type >= 9;
    // A packet of 1 + bytes bytes gives at most 128 pixels; refuse sizes the data cannot
    // hold before anything is allocated.
    if (packed ? pixels > 128 * (available / (1 + bytes)) + 128 : pixels * bytes > available)
        return false;

    BITMAPINFO info;
    int colors = 0;
    if (h.type == 1 || h.type == 9) {
        colors = 256;
        for (int i = 0; i < h.mapLength; ++i) {
            const PALETTEENTRY c = colorOf(
                reinterpret_cast<const quint8*>(data.data()) + mapAt + i * mapBytes, mapBytes == 2 ? 2 : 3);
            setColor(info, h.mapFirst + i, c.red, c.green, c.blue);
        }
    } else if (h.type == 3 || h.type == 11) {
        colors = 256;
        for (int i = 0; i < 256; ++i)
            setColor(info, i, i, i, i);
    }
    const int bits = colors ? 8 : 24;
    if (!newdib(d, h.width, h.height, bits, &info, colors))
        return false;
    const bool alpha = h.bits == 32 && (h.descriptor & 0x0F) == 8;
    std::vector<quint8> alphas(alpha ? std::size_t(pixels) : 0);

    const bool topFirst = h.descriptor & 0x20;
    const bool rightToLeft = h.descriptor & 0x10;
    qint64 n = 0;
    const auto put = [&](const quint8* px) {
        const int r = int(n / h.width);
        int x = int(n % h.width);
        if (rightToLeft)
            x = h.width - 1 - x;
        quint8* row = rowOf(d, topFirst ? r : h.height - 1 - r);
        if (bits == 8) {
            row[x] = px[0];
        } else {
            const PALETTEENTRY c = colorOf(px, bytes == 2 ? 2 : 3);
            row[3 * x] = c.blue;
            row[3 * x + 1] = c.green;
            row[3 * x + 2] = c.red;
            if (alpha)
                alphas[std::size_t(n)] = px[3];
        }
        ++n;
    };
    const auto* src = reinterpret_cast<const quint8*>(data.data());
    qsizetype pos = pixelsAt;
    while (n < pixels) {
        if (!packed) {
            put(src + pos);
            pos += bytes;
            continue;
        }
        if (pos >= data.size())
            break;
        const int head = src[pos++];
        const qint64 count = std::min<qint64>((head & 0x7F) + 1, pixels - n);
        if (head & 0x80) {
            if (data.size() - pos < bytes)
                break;
            for (qint64 i = 0; i < count; ++i)
                put(src + pos);
            pos += bytes;
        } else {
            if ((data.size() - pos) / bytes < count)
                break;
            for (qint64 i = 0; i < count; ++i, pos += bytes)
                put(src + pos);
        }
    }
    if (n < pixels) {
        freedib(d);
        return false;
    }
    if (alpha && std::any_of(alphas.begin(), alphas.end(), [](quint8 a) { return a != 0; })) {
        for (qint64 i = 0; i < pixels; ++i) {
            const int a = alphas[std::size_t(i)];
            const int r = int(i / h.width);
            const int x = rightToLeft ? h.width - 1 - int(i % h.width) : int(i % h.width);
            quint8* px = rowOf(d, topFirst ? r : h.height - 1 - r) + 3 * x;
            for (int c = 0; c < 3; ++c)
                px[c] = quint8(BlendOnWhite(px[c], a));
        }
    }
    return true;
}

QByteArray writeTga(const dib& d) {
    const int w = dibwidth(d);
    const int h = dibheight(d);
    const int depth = dibbitcount(d);
    if (!d.poi || w > 65535 || h > 65535)
        return {};
    const bool mapped = depth <= 8;
    const int entries = mapped ? paletteSize(d) : 0;
    QByteArray out;
    out.reserve(kHeaderSize + 3 * entries + qsizetype(w) * h * (mapped ? 1 : 3) + 26);
    putU8(out, 0);              // no id
    putU8(out, mapped ? 1 : 0); // colour map
    putU8(out, mapped ? 1 : 2); // image type
    putLe16(out, 0);            // map origin
    putLe16(out, unsigned(entries));
    putU8(out, mapped ? 24 : 0);
    putLe16(out, 0); // x, y origin
    putLe16(out, 0);
    putLe16(out, unsigned(w));
    putLe16(out, unsigned(h));
    putU8(out, mapped ? 8 : 24);
    putU8(out, 0); // bottom row first, no alpha
    for (int i = 0; i < entries; ++i) {
        const PALETTEENTRY p = paletteAt(d, i);
        putU8(out, p.blue);
        putU8(out, p.green);
        putU8(out, p.red);
    }
    // The dib stores the bottom row first, as written here.
    for (int s = 0; s < h; ++s) {
        const quint8* row = d.poi + qint64(s) * d.bytew;
        if (!mapped) {
            out.append(reinterpret_cast<const char*>(row), qsizetype(w) * 3);
            continue;
        }
        for (int x = 0; x < w; ++x)
            putU8(out, unsigned(indexAt(row, x, depth)));
    }
    // Footer: no extension area, no developer area, the version 2 signature.
    putLe32(out, 0);
    putLe32(out, 0);
    out.append("TRUEVISION-XFILE.", 17);
    putU8(out, 0);
    return out;
}

} // namespace pw::codec
