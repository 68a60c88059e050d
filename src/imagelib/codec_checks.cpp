// Signature and completeness checks; see codec_checks.h.

#include "codec_checks.h"

#include "codec_util.h"

namespace pw::codec {

bool looksLikeBmp(QByteArrayView data) {
    return data.startsWith("BM");
}

bool looksLikeJpeg(QByteArrayView data) {
    return data.startsWith("\xFF\xD8\xFF");
}

bool looksLikePng(QByteArrayView data) {
    return data.startsWith("\x89PNG\r\n\x1A\n");
}

bool looksLikeTiff(QByteArrayView data) {
    return data.startsWith(QByteArrayView("II*\0", 4)) || data.startsWith(QByteArrayView("MM\0*", 4)) ||
           data.startsWith(QByteArrayView("II+\0", 4)) || data.startsWith(QByteArrayView("MM\0+", 4));
}

bool looksLikeWebp(QByteArrayView data) {
    return data.size() >= 12 && data.startsWith("RIFF") && data.sliced(8, 4) == QByteArrayView("WEBP");
}

// The segments are walked; the entropy-coded data after each start of scan is skipped up
// to the next marker (0xFF followed by neither 0x00, a restart marker nor another 0xFF).
bool jpegReachesEnd(QByteArrayView data) {
    if (!looksLikeJpeg(data))
        return false;
    qsizetype pos = 2;
    bool inScan = false;
    while (pos < data.size()) {
        if (inScan) {
            pos = data.indexOf('\xFF', pos);
            if (pos < 0 || pos + 1 >= data.size())
                return false;
            const quint8 next = u8(data, pos + 1);
            if (next == 0x00 || next == 0xFF || (next >= 0xD0 && next <= 0xD7)) {
                pos += next == 0xFF ? 1 : 2;
                continue;
            }
            inScan = false;
        }
        if (u8(data, pos) != 0xFF) {
            ++pos; // stray bytes between segments, which decoders skip too
            continue;
        }
        while (pos < data.size() && u8(data, pos) == 0xFF)
            ++pos;
        if (pos >= data.size())
            return false;
        const quint8 marker = u8(data, pos++);
        if (marker == 0xD9)
            return true;
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (data.size() - pos < 2)
            return false;
        const int length = be16(data, pos);
        if (length < 2 || data.size() - pos < length)
            return false;
        pos += length;
        inScan = marker == 0xDA;
    }
    return false;
}

bool pngReachesEnd(QByteArrayView data) {
    if (!looksLikePng(data))
        return false;
    qsizetype pos = 8;
    while (data.size() - pos >= 12) {
        const qint64 length = be32(data, pos);
        if (length > data.size() - pos - 12)
            return false;
        if (data.sliced(pos + 4, 4) == QByteArrayView("IEND"))
            return true;
        pos += 12 + qsizetype(length);
    }
    return false;
}

bool webpComplete(QByteArrayView data) {
    return looksLikeWebp(data) && qint64(le32(data, 4)) <= data.size() - 8;
}

namespace {

// Reads TIFF numbers in the file's byte order at offsets the caller has checked.
class TiffData {
public:
    explicit TiffData(QByteArrayView data) : data_(data), little_(data.startsWith("II")) {}

    quint64 get(qint64 at, int bytes) const {
        quint64 v = 0;
        for (int i = 0; i < bytes; ++i) {
            const quint64 b = u8(data_, qsizetype(at + (little_ ? bytes - 1 - i : i)));
            v = v << 8 | b;
        }
        return v;
    }

private:
    QByteArrayView data_;
    bool little_;
};

int tiffTypeSize(quint64 type) {
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
        return 1;
    case 3:
    case 8:
        return 2;
    case 4:
    case 9:
    case 11:
    case 13:
        return 4;
    case 5:
    case 10:
    case 12:
    case 16:
    case 17:
    case 18:
        return 8;
    default:
        return 0;
    }
}

constexpr quint64 kStripOffsets = 273;
constexpr quint64 kStripByteCounts = 279;
constexpr quint64 kColorMap = 320;
constexpr quint64 kTileOffsets = 324;
constexpr quint64 kTileByteCounts = 325;

} // namespace

bool tiffComplete(QByteArrayView data) {
    if (!looksLikeTiff(data))
        return false;
    const TiffData tiff(data);
    const qint64 size = data.size();
    const bool big = tiff.get(2, 2) == 43;
    const int offsetBytes = big ? 8 : 4;
    const int countBytes = big ? 8 : 2;
    const int entryBytes = big ? 20 : 12;
    if (size < (big ? 16 : 8))
        return false;
    const quint64 directory = tiff.get(big ? 8 : 4, offsetBytes);
    if (directory < 8 || directory > quint64(size - countBytes))
        return false;
    const quint64 entries = tiff.get(qint64(directory), countBytes);
    if (entries > quint64(size - qint64(directory) - countBytes) / quint64(entryBytes))
        return false;

    struct Array {
        int unit = 0;
        quint64 count = 0;
        qint64 at = -1;
    };
    Array offsets;
    Array counts;
    for (quint64 i = 0; i < entries; ++i) {
        const qint64 entry = qint64(directory) + countBytes + qint64(i) * entryBytes;
        const quint64 tag = tiff.get(entry, 2);
        if (tag != kStripOffsets && tag != kStripByteCounts && tag != kColorMap && tag != kTileOffsets &&
            tag != kTileByteCounts)
            continue;
        const int unit = tiffTypeSize(tiff.get(entry + 2, 2));
        const quint64 count = tiff.get(entry + 4, big ? 8 : 4);
        if (unit == 0 || count > quint64(size / unit))
            return false;
        const qint64 bytes = qint64(count) * unit;
        const qint64 valueAt = entry + (big ? 12 : 8);
        const quint64 at = bytes <= offsetBytes ? quint64(valueAt) : tiff.get(valueAt, offsetBytes);
        if (at > quint64(size) || bytes > size - qint64(at))
            return false;
        if (tag == kStripOffsets || tag == kTileOffsets)
            offsets = {unit, count, qint64(at)};
        else if (tag == kStripByteCounts || tag == kTileByteCounts)
            counts = {unit, count, qint64(at)};
    }
    if (offsets.at < 0 || counts.at < 0 || offsets.count != counts.count || offsets.unit < 2 ||
        counts.unit < 2)
        return false;
    for (quint64 k = 0; k < offsets.count; ++k) {
        const quint64 start = tiff.get(offsets.at + qint64(k) * offsets.unit, offsets.unit);
        const quint64 length = tiff.get(counts.at + qint64(k) * counts.unit, counts.unit);
        if (start > quint64(size) || length > quint64(size) - start)
            return false;
    }
    return true;
}

} // namespace pw::codec
