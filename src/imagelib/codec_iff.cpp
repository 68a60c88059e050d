// IFF reading and writing. All numbers are big-endian; a chunk is a four-letter id, a
// 32-bit length and the data, padded to an even length. In an ILBM BODY every picture row
// holds one line per plane (bit p of each pixel's value in plane p), each line a whole
// number of 16-bit words, then the mask line when the picture has one. ByteRun1 codes a
// byte n in 0..127 as "copy the next n+1 bytes" and -1..-127 as "repeat the next byte
// 1-n times"; -128 does nothing.

#include "codec_iff.h"

#include "codec_util.h"

#include <vector>

namespace pw::codec {

namespace {

constexpr quint32 kCamgHalfBrite = 0x80;
constexpr quint32 kCamgHoldAndModify = 0x800;
constexpr int kMaskPlane = 1; // BMHD masking: a mask line follows the planes

class ByteRun1Reader {
public:
    ByteRun1Reader(QByteArrayView src, bool packed) : src_(src), packed_(packed) {}

    bool fill(quint8* out, qsizetype n) {
        qsizetype done = 0;
        if (!packed_) {
            if (n > src_.size() - pos_)
                return false;
            std::copy(src_.begin() + pos_, src_.begin() + pos_ + n, out);
            pos_ += n;
            return true;
        }
        while (done < n) {
            if (literal_ > 0) {
                const qsizetype take = std::min<qsizetype>({literal_, n - done, src_.size() - pos_});
                if (take == 0)
                    return false;
                std::copy(src_.begin() + pos_, src_.begin() + pos_ + take, out + done);
                pos_ += take;
                done += take;
                literal_ -= int(take);
                continue;
            }
            if (repeat_ > 0) {
                const qsizetype take = std::min<qsizetype>(repeat_, n - done);
                std::fill(out + done, out + done + take, value_);
                done += take;
                repeat_ -= int(take);
                continue;
            }
            if (pos_ >= src_.size())
                return false;
            const int c = qint8(u8(src_, pos_++));
            if (c >= 0) {
                literal_ = c + 1;
            } else if (c != -128) {
                if (pos_ >= src_.size())
                    return false;
                value_ = u8(src_, pos_++);
                repeat_ = 1 - c;
            }
        }
        return true;
    }

private:
    QByteArrayView src_;
    bool packed_;
    qsizetype pos_ = 0;
    int literal_ = 0;
    int repeat_ = 0;
    quint8 value_ = 0;
};

void packByteRun1(QByteArray& out, const quint8* src, int n) {
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 128 && src[i + run] == src[i])
            ++run;
        if (run >= 3) {
            putU8(out, unsigned(1 - run));
            putU8(out, src[i]);
            i += run;
            continue;
        }
        int j = i;
        while (j < n && j - i < 128 && !(j + 2 < n && src[j] == src[j + 1] && src[j] == src[j + 2]))
            ++j;
        putU8(out, unsigned(j - i - 1));
        out.append(reinterpret_cast<const char*>(src + i), j - i);
        i = j;
    }
}

bool isId(QByteArrayView data, qsizetype at, const char* id) {
    return data.size() - at >= 4 && data.sliced(at, 4) == QByteArrayView(id, 4);
}

} // namespace

bool looksLikeIff(QByteArrayView data) {
    return isId(data, 0, "FORM") && (isId(data, 8, "ILBM") || isId(data, 8, "PBM "));
}

bool readIff(dib& d, QByteArrayView data) {
    freedib(d);
    if (!looksLikeIff(data))
        return false;
    const bool chunky = isId(data, 8, "PBM ");
    const qsizetype formEnd = std::min<qint64>(data.size(), qint64(be32(data, 4)) + 8);
    QByteArrayView bmhd;
    QByteArrayView cmap;
    QByteArrayView body;
    quint32 camg = 0;
    qsizetype pos = 12;
    while (formEnd - pos >= 8) {
        const qsizetype at = pos;
        const qint64 size = be32(data, at + 4);
        pos += 8;
        QByteArrayView chunk;
        if (size > formEnd - pos) {
            if (!isId(data, at, "BODY"))
                return false; // a cut-off file; a short BODY fails while decoding
            chunk = data.sliced(pos, formEnd - pos);
        } else {
            chunk = data.sliced(pos, qsizetype(size));
        }
        if (isId(data, at, "BMHD"))
            bmhd = chunk;
        else if (isId(data, at, "CMAP"))
            cmap = chunk;
        else if (isId(data, at, "CAMG") && chunk.size() >= 4)
            camg = be32(chunk, 0);
        else if (isId(data, at, "BODY"))
            body = chunk;
        pos += qsizetype(size) + qsizetype(size & 1);
    }
    if (bmhd.size() < 20 || body.isEmpty())
        return false;

    const int width = be16(bmhd, 0);
    const int height = be16(bmhd, 2);
    const int planes = u8(bmhd, 8);
    const int masking = u8(bmhd, 9);
    const int compression = u8(bmhd, 10);
    if (compression > 1 || masking > 3 || !sizeAllowed(width, height))
        return false;
    if (chunky ? (planes != 8 || masking == kMaskPlane)
               : !((planes >= 1 && planes <= 8) || planes == 24 || planes == 32))
        return false;
    const bool halfBrite = !chunky && planes == 6 && (camg & kCamgHalfBrite) && !(camg & kCamgHoldAndModify);
    const bool holdAndModify = !chunky && (planes == 6 || planes == 8) && (camg & kCamgHoldAndModify);

    const qint64 lineBytes = chunky ? width + (width & 1) : ((width + 15) / 16) * 2;
    const int storedPlanes = chunky ? 1 : planes + (masking == kMaskPlane ? 1 : 0);
    const qint64 rowBytes = lineBytes * storedPlanes;
    // A two-byte run gives at most 128 bytes; refuse sizes the data cannot hold before
    // anything is allocated.
    const qint64 most = compression ? 64 * qint64(body.size()) : qint64(body.size());
    if (rowBytes > most / height)
        return false;

    int bits = 24;
    if (chunky || halfBrite)
        bits = 8;
    else if (planes == 1)
        bits = 1;
    else if (planes <= 4)
        bits = 4;
    else if (planes <= 8 && !holdAndModify)
        bits = 8;

    // The palette: CMAP entries, a grey ramp when there is none.
    std::vector<PALETTEENTRY> palette(256);
    const int cmapEntries = int(std::min<qsizetype>(cmap.size() / 3, 256));
    for (int i = 0; i < cmapEntries; ++i)
        palette[std::size_t(i)] = {u8(cmap, 3 * i), u8(cmap, 3 * i + 1), u8(cmap, 3 * i + 2), 0};
    if (cmapEntries == 0 && planes <= 8) {
        const int n = 1 << planes;
        for (int i = 0; i < n; ++i) {
            const auto g = quint8(i * 255 / (n - 1));
            palette[std::size_t(i)] = {g, g, g, 0};
        }
    }
    if (halfBrite) {
        for (int i = 0; i < 32; ++i) {
            const PALETTEENTRY& p = palette[std::size_t(i)];
            palette[std::size_t(i + 32)] = {quint8(p.red / 2), quint8(p.green / 2), quint8(p.blue / 2), 0};
        }
    }
    BITMAPINFO info;
    const int colors = bits <= 8 ? 1 << bits : 0;
    for (int i = 0; i < colors; ++i) {
        const PALETTEENTRY& p = palette[std::size_t(i)];
        setColor(info, i, p.red, p.green, p.blue);
    }
    if (!newdib(d, width, height, bits, &info, colors))
        return false;

    std::vector<quint8> buffer(std::size_t(rowBytes), 0);
    ByteRun1Reader reader(body, compression == 1);
    const auto bitOf = [&](int plane, int x) {
        return (buffer[std::size_t(plane * lineBytes + x / 8)] >> (7 - x % 8)) & 1;
    };
    for (int y = 0; y < height; ++y) {
        if (!reader.fill(buffer.data(), rowBytes)) {
            freedib(d);
            return false;
        }
        quint8* row = rowOf(d, y);
        if (chunky) {
            std::copy(buffer.begin(), buffer.begin() + width, row);
            continue;
        }
        if (planes >= 24) {
            for (int x = 0; x < width; ++x) {
                int r = 0;
                int g = 0;
                int b = 0;
                for (int p = 0; p < 8; ++p) {
                    r |= bitOf(p, x) << p;
                    g |= bitOf(p + 8, x) << p;
                    b |= bitOf(p + 16, x) << p;
                }
                row[3 * x] = quint8(b);
                row[3 * x + 1] = quint8(g);
                row[3 * x + 2] = quint8(r);
            }
            continue;
        }
        PALETTEENTRY held = palette[0];
        for (int x = 0; x < width; ++x) {
            int v = 0;
            for (int p = 0; p < planes; ++p)
                v |= bitOf(p, x) << p;
            if (!holdAndModify) {
                orIndex(row, x, bits, v);
                continue;
            }
            // Hold and modify: the top two bits choose between a palette colour and
            // changing one component of the pixel to the left.
            const int valueBits = planes - 2;
            const int value = v & ((1 << valueBits) - 1);
            const auto level = quint8(valueBits == 4 ? value * 17 : (value << 2) | (value >> 4));
            switch (v >> valueBits) {
            case 0:
                held = palette[std::size_t(value)];
                break;
            case 1:
                held.blue = level;
                break;
            case 2:
                held.red = level;
                break;
            default:
                held.green = level;
                break;
            }
            row[3 * x] = held.blue;
            row[3 * x + 1] = held.green;
            row[3 * x + 2] = held.red;
        }
    }
    return true;
}

QByteArray writeIff(const dib& d) {
    const int w = dibwidth(d);
    const int h = dibheight(d);
    const int depth = dibbitcount(d);
    if (!d.poi || w > 65535 || h > 65535)
        return {};
    const int planes = depth;
    const int lineBytes = ((w + 15) / 16) * 2;

    QByteArray out("FORM\0\0\0\0ILBM", 12);
    out.append("BMHD");
    putBe32(out, 20);
    putBe16(out, unsigned(w));
    putBe16(out, unsigned(h));
    putBe16(out, 0); // position
    putBe16(out, 0);
    putU8(out, unsigned(planes));
    putU8(out, 0); // no mask
    putU8(out, 1); // ByteRun1
    putU8(out, 0);
    putBe16(out, 0); // transparent colour
    putU8(out, 1);   // pixel aspect
    putU8(out, 1);
    putBe16(out, unsigned(std::min(w, 32767))); // page size
    putBe16(out, unsigned(std::min(h, 32767)));
    if (depth <= 8) {
        out.append("CMAP");
        putBe32(out, quint32(3 * paletteSize(d)));
        for (int i = 0; i < paletteSize(d); ++i) {
            const PALETTEENTRY p = paletteAt(d, i);
            putU8(out, p.red);
            putU8(out, p.green);
            putU8(out, p.blue);
        }
    }
    out.append("BODY");
    const qsizetype bodySizeAt = out.size();
    putBe32(out, 0);

    std::vector<quint8> line(std::size_t(lineBytes), 0);
    std::vector<int> values(std::size_t(w), 0);
    for (int y = 0; y < h; ++y) {
        const quint8* row = rowOf(d, y);
        if (depth == 24) {
            for (int x = 0; x < w; ++x)
                values[std::size_t(x)] = row[3 * x + 2] | row[3 * x + 1] << 8 | row[3 * x] << 16;
        } else {
            for (int x = 0; x < w; ++x)
                values[std::size_t(x)] = indexAt(row, x, depth);
        }
        for (int p = 0; p < planes; ++p) {
            std::fill(line.begin(), line.end(), quint8(0));
            for (int x = 0; x < w; ++x) {
                if ((values[std::size_t(x)] >> p) & 1)
                    line[std::size_t(x / 8)] |= quint8(0x80 >> (x % 8));
            }
            packByteRun1(out, line.data(), lineBytes);
        }
    }
    const qint64 bodySize = out.size() - bodySizeAt - 4;
    if (bodySize > 0xFFFFFFF0LL)
        return {};
    patchBe32(out, bodySizeAt, quint32(bodySize));
    if (bodySize & 1)
        putU8(out, 0);
    if (out.size() - 8 > 0xFFFFFFF0LL)
        return {};
    patchBe32(out, 4, quint32(out.size() - 8));
    return out;
}

} // namespace pw::codec
