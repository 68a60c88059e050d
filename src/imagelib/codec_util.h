#pragma once

// Helpers shared by the hand-written picture codecs: byte access with explicit byte order,
// row and palette access on a dib, and the size check every decoder makes before it
// creates a picture.

#include "PicIO3.h"

#include <QByteArray>
#include <QByteArrayView>

namespace pw::codec {

// The largest picture any decoder creates, in pixels; picfiles.cpp owns the value.
qint64 pixelLimit();

// True when a decoder may create a width x height picture: both sides positive and the
// pixel count within pixelLimit(). The block size itself is checked by newdib.
inline bool sizeAllowed(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= pixelLimit() / height;
}

inline quint8 u8(QByteArrayView d, qsizetype at) {
    return quint8(d[at]);
}
inline quint16 le16(QByteArrayView d, qsizetype at) {
    return quint16(u8(d, at) | u8(d, at + 1) << 8);
}
inline quint32 le32(QByteArrayView d, qsizetype at) {
    return quint32(le16(d, at)) | quint32(le16(d, at + 2)) << 16;
}
inline quint16 be16(QByteArrayView d, qsizetype at) {
    return quint16(u8(d, at) << 8 | u8(d, at + 1));
}
inline quint32 be32(QByteArrayView d, qsizetype at) {
    return quint32(be16(d, at)) << 16 | quint32(be16(d, at + 2));
}

inline void putU8(QByteArray& out, unsigned v) {
    out.append(char(v & 0xFF));
}
inline void putLe16(QByteArray& out, unsigned v) {
    putU8(out, v);
    putU8(out, v >> 8);
}
inline void putLe32(QByteArray& out, quint32 v) {
    putLe16(out, v & 0xFFFF);
    putLe16(out, v >> 16);
}
inline void putBe16(QByteArray& out, unsigned v) {
    putU8(out, v >> 8);
    putU8(out, v);
}
inline void putBe32(QByteArray& out, quint32 v) {
    putBe16(out, v >> 16);
    putBe16(out, v & 0xFFFF);
}
// Overwrites four bytes at `at` (a size field written once the size is known).
inline void patchBe32(QByteArray& out, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (24 - 8 * i)) & 0xFF);
}
inline void patchLe32(QByteArray& out, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (8 * i)) & 0xFF);
}

// The stored bytes of picture row y (y = 0 at the top).
inline quint8* rowOf(dib& d, int y) {
    return d.poi + qint64(dibheight(d) - 1 - y) * d.bytew;
}
inline const quint8* rowOf(const dib& d, int y) {
    return d.poi + qint64(dibheight(d) - 1 - y) * d.bytew;
}

// The palette index of pixel x in a stored row of a 1-, 4- or 8-bit picture.
inline int indexAt(const quint8* row, int x, int bits) {
    switch (bits) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    default:
        return row[x];
    }
}

// Stores palette index v at pixel x of a row that started out zeroed.
inline void orIndex(quint8* row, int x, int bits, int v) {
    switch (bits) {
    case 1:
        if (v & 1)
            row[x / 8] = quint8(row[x / 8] | (0x80 >> (x % 8)));
        break;
    case 4:
        row[x / 2] = quint8(row[x / 2] | ((v & 0x0F) << (x % 2 == 0 ? 4 : 0)));
        break;
    default:
        row[x] = quint8(v);
        break;
    }
}

// Colour-table entry i of a header being prepared for newdib.
inline void setColor(BITMAPINFO& info, int i, int red, int green, int blue) {
    info.bmiColors[std::size_t(i)] = {quint8(blue), quint8(green), quint8(red), 0};
}

// A palette entry of a picture as red, green, blue.
inline PALETTEENTRY paletteAt(const dib& d, int i) {
    return d.pal.rgb0[std::size_t(i & 0xFF)];
}

// Colour-table entries a palette picture uses when writing it out: every entry its depth
// can address.
inline int paletteSize(const dib& d) {
    return 1 << dibbitcount(d);
}

} // namespace pw::codec
