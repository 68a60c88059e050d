// Bitmap header checks and the bitmap writer. File header: "BM", file size, two reserved
// words, offset of the pixels. Info header (40 bytes): size, width, height (negative for
// top-down files), planes, bits, compression, image size, resolution, colours used and
// important. Run-length coding, row by row from the bottom: a pair (n, v) with n > 0 is n
// pixels of v (for 4 bits, the two nibbles of v alternating); (0, 0) ends a row, (0, 1)
// the picture, (0, 2, dx, dy) moves the position, and (0, n) with n >= 3 is followed by
// n literal pixels padded to a 16-bit boundary.

#include "codec_bmp.h"

#include "codec_util.h"

#include <vector>

namespace pw::codec {

namespace {

constexpr qsizetype kFileHeaderSize = 14;
constexpr qsizetype kInfoHeaderSize = 40;
constexpr int kRle8 = 1;
constexpr int kRle4 = 2;
// A run codes at most 255 pixels in two bytes. Row ends, moves and an early end may leave
// parts of a picture uncoded (they stay colour 0), but a picture may claim at most 64
// times the pixels its codes could fill: otherwise a few bytes could demand hundreds of
// megabytes.
constexpr qint64 kMostRlePixelsPerByte = 255 * 64 / 2;

// Run-length codes one row of pixel values (bytes for RLE8, nibbles for RLE4).
void packRow(QByteArray& out, const std::vector<quint8>& px, bool nibbles) {
    const int n = int(px.size());
    const auto packed = [nibbles](quint8 v) { return nibbles ? unsigned(v << 4 | v) : unsigned(v); };
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 255 && px[std::size_t(i + run)] == px[std::size_t(i)])
            ++run;
        if (run >= 2) {
            putU8(out, unsigned(run));
            putU8(out, packed(px[std::size_t(i)]));
            i += run;
            continue;
        }
        int j = i;
        while (j < n && j - i < 255 &&
               !(j + 2 < n && px[std::size_t(j)] == px[std::size_t(j + 1)] &&
                 px[std::size_t(j)] == px[std::size_t(j + 2)]))
            ++j;
        const int count = j - i;
        if (count < 3) {
            // (0, 1) and (0, 2) are escapes, so one or two single pixels go as runs of 1.
            for (int k = i; k < j; ++k) {
                putU8(out, 1);
                putU8(out, packed(px[std::size_t(k)]));
            }
        } else {
            putU8(out, 0);
            putU8(out, unsigned(count));
            qsizetype bytes = 0;
            if (nibbles) {
                for (int k = i; k < j; k += 2) {
                    const unsigned hi = px[std::size_t(k)];
                    const unsigned lo = k + 1 < j ? px[std::size_t(k + 1)] : 0u;
                    putU8(out, hi << 4 | lo);
                    ++bytes;
                }
            } else {
                out.append(reinterpret_cast<const char*>(px.data() + i), count);
                bytes = count;
            }
            if (bytes % 2)
                putU8(out, 0);
        }
        i = j;
    }
}

// The colour table follows the info header: the entries in use, or all the depth can
// address; four bytes each (blue, green, red, unused), three after the short header.
bool readColorTable(QByteArrayView data, const BmpHeader& header, BITMAPINFO& info, int& colors) {
    const qint64 tableAt = kFileHeaderSize + header.infoSize;
    const int entryBytes = header.infoSize == 12 ? 3 : 4;
    const int most = 1 << header.bits;
    colors = header.colorsUsed > 0 && header.colorsUsed < most ? int(header.colorsUsed) : most;
    if (tableAt + qint64(entryBytes) * colors > data.size())
        return false;
    for (int i = 0; i < colors; ++i) {
        const qsizetype at = qsizetype(tableAt) + entryBytes * i;
        setColor(info, i, u8(data, at + 2), u8(data, at + 1), u8(data, at));
    }
    return true;
}

} // namespace

bool readBmpHeader(QByteArrayView data, BmpHeader& header) {
    if (data.size() < kFileHeaderSize + 12 || data[0] != 'B' || data[1] != 'M')
        return false;
    const qint64 pixelsAt = le32(data, 10);
    const qint64 infoSize = le32(data, 14);
    const bool core = infoSize == 12;
    if (!core && (infoSize < kInfoHeaderSize || infoSize > 124))
        return false;
    if (data.size() < kFileHeaderSize + infoSize)
        return false;
    qint64 height = 0;
    int planes = 0;
    if (core) {
        header.width = le16(data, 18);
        height = le16(data, 20);
        planes = le16(data, 22);
        header.bits = le16(data, 24);
        header.compression = 0;
    } else {
        header.width = qint32(le32(data, 18));
        height = qint32(le32(data, 22));
        planes = le16(data, 26);
        header.bits = le16(data, 28);
        header.compression = int(std::min<quint32>(le32(data, 30), 255));
    }
    header.height = height < 0 ? -height : height;
    header.topDown = height < 0;
    header.infoSize = infoSize;
    header.pixelsAt = pixelsAt;
    header.colorsUsed = core ? 0 : le32(data, 46);
    if (planes != 1 || !sizeAllowed(header.width, header.height))
        return false;
    switch (header.compression) {
    case 0:
        if (header.bits != 1 && header.bits != 4 && header.bits != 8 && header.bits != 16 &&
            header.bits != 24 && header.bits != 32)
            return false;
        break;
    case kRle8:
    case kRle4:
        if (header.bits != (header.compression == kRle8 ? 8 : 4) || height < 0)
            return false;
        break;
    case 3:
    case 6:
        if (header.bits != 16 && header.bits != 32)
            return false;
        break;
    default:
        return false;
    }
    if (pixelsAt < kFileHeaderSize + infoSize || pixelsAt > data.size())
        return false;
    if (header.compression == kRle8 || header.compression == kRle4)
        return true;
    // Uncompressed rows: all of them must be there.
    return dibRowBytes(header.width, header.bits) <= (data.size() - pixelsAt) / header.height;
}

bool readBmpPlain(dib& d, QByteArrayView data, const BmpHeader& header) {
    freedib(d);
    if (header.compression != 0 ||
        (header.bits != 1 && header.bits != 4 && header.bits != 8 && header.bits != 24))
        return false;
    BITMAPINFO info;
    int colors = 0;
    if (header.bits <= 8 && !readColorTable(data, header, info, colors))
        return false;
    const int h = int(header.height);
    if (!newdib(d, int(header.width), h, header.bits, &info, colors))
        return false;
    // readBmpHeader made sure that every row is there.
    for (int s = 0; s < h; ++s) {
        const qsizetype from =
            qsizetype(header.pixelsAt) + qsizetype(header.topDown ? h - 1 - s : s) * d.bytew;
        std::copy(data.begin() + from, data.begin() + from + d.bytew, d.poi + qint64(s) * d.bytew);
    }
    return true;
}

bool readBmpRle(dib& d, QByteArrayView data, const BmpHeader& header) {
    freedib(d);
    const bool nibbles = header.compression == kRle4;
    if ((header.compression != kRle8 && !nibbles) || header.bits != (nibbles ? 4 : 8))
        return false;
    const int w = int(header.width);
    const int h = int(header.height);
    if (qint64(w) > kMostRlePixelsPerByte * (data.size() - header.pixelsAt) / h)
        return false;
    BITMAPINFO info;
    int colors = 0;
    if (!readColorTable(data, header, info, colors) || !newdib(d, w, h, header.bits, &info, colors))
        return false;

    qint64 x = 0;
    int line = 0; // stored row: 0 is the bottom row
    const auto put = [&](int v) {
        if (x < w && line < h) {
            quint8* row = d.poi + qint64(line) * d.bytew;
            if (nibbles)
                row[x / 2] = quint8(x % 2 == 0 ? (row[x / 2] & 0x0F) | v << 4 : (row[x / 2] & 0xF0) | v);
            else
                row[x] = quint8(v);
        }
        ++x;
    };
    qsizetype pos = qsizetype(header.pixelsAt);
    while (line < h) {
        if (data.size() - pos < 2)
            break;
        const int count = u8(data, pos);
        const int code = u8(data, pos + 1);
        pos += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(nibbles ? (k % 2 == 0 ? code >> 4 : code & 0x0F) : code);
        } else if (code == 0) {
            x = 0;
            ++line;
        } else if (code == 1) {
            return true;
        } else if (code == 2) {
            if (data.size() - pos < 2)
                break;
            x += u8(data, pos);
            line += u8(data, pos + 1);
            pos += 2;
        } else {
            const qsizetype bytes = nibbles ? (code + 1) / 2 : code;
            if (data.size() - pos < bytes)
                break;
            for (int k = 0; k < code; ++k) {
                const int b = u8(data, pos + (nibbles ? k / 2 : k));
                put(nibbles ? (k % 2 == 0 ? b >> 4 : b & 0x0F) : b);
            }
            pos += bytes + (bytes & 1);
        }
    }
    if (line < h) {
        freedib(d); // the data ends before the picture
        return false;
    }
    return true;
}

namespace {

// Everything before the pixels; the file and image sizes are patched in by the caller.
QByteArray bmpHeader(const dib& d, int compression, int entries) {
    QByteArray out;
    out.append("BM");
    putLe32(out, 0); // file size
    putLe32(out, 0);
    putLe32(out, quint32(kFileHeaderSize + kInfoHeaderSize + 4 * entries));
    putLe32(out, quint32(kInfoHeaderSize));
    putLe32(out, quint32(dibwidth(d)));
    putLe32(out, quint32(dibheight(d)));
    putLe16(out, 1);
    putLe16(out, unsigned(dibbitcount(d)));
    putLe32(out, quint32(compression));
    putLe32(out, 0);                                         // image size
    putLe32(out, quint32(d.pmi->bmiHeader.biXPelsPerMeter)); // 0: not known
    putLe32(out, quint32(d.pmi->bmiHeader.biYPelsPerMeter));
    putLe32(out, quint32(entries));
    putLe32(out, 0);
    for (int i = 0; i < entries; ++i) {
        const PALETTEENTRY p = paletteAt(d, i);
        putU8(out, p.blue);
        putU8(out, p.green);
        putU8(out, p.red);
        putU8(out, 0);
    }
    return out;
}

} // namespace

QByteArray bmpPlainHeader(const dib& d) {
    if (!d.poi)
        return {};
    const int depth = dibbitcount(d);
    QByteArray out = bmpHeader(d, 0, depth <= 8 ? paletteSize(d) : 0);
    const qint64 imageSize = qint64(d.bytew) * dibheight(d);
    if (out.size() + imageSize > 0xFFFFFFFFLL)
        return {};
    patchLe32(out, 2, quint32(out.size() + imageSize));
    patchLe32(out, 34, quint32(imageSize));
    return out;
}

QByteArray writeBmp(const dib& d, bool runLength) {
    const int w = dibwidth(d);
    const int h = dibheight(d);
    const int depth = dibbitcount(d);
    if (!d.poi)
        return {};
    const int compression = runLength && depth == 8 ? kRle8 : (runLength && depth == 4 ? kRle4 : 0);
    if (compression == 0) {
        QByteArray out = bmpPlainHeader(d);
        if (!out.isEmpty())
            out.append(reinterpret_cast<const char*>(d.poi), qsizetype(d.bytew) * h);
        return out;
    }
    QByteArray out = bmpHeader(d, compression, paletteSize(d));
    const qint64 pixelsAt = out.size();
    std::vector<quint8> px(std::size_t(w), 0);
    for (int s = 0; s < h; ++s) { // stored order: bottom row first
        const quint8* row = d.poi + qint64(s) * d.bytew;
        for (int x = 0; x < w; ++x)
            px[std::size_t(x)] = quint8(indexAt(row, x, depth));
        packRow(out, px, depth == 4);
        putU8(out, 0);
        putU8(out, s + 1 < h ? 0 : 1); // end of row, or of the picture after the last
    }
    const qint64 imageSize = out.size() - pixelsAt;
    if (out.size() > 0xFFFFFFFFLL)
        return {};
    patchLe32(out, 2, quint32(out.size()));
    patchLe32(out, 34, quint32(imageSize));
    return out;
}

} // namespace pw::codec
