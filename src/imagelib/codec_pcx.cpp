// PCX reading and writing. The scan lines of all planes of one picture row follow each
// other; a byte with its two top bits set (0xC0..0xFF) repeats the next byte (count in the
// low six bits), any other byte stands for itself. Runs may cross scan lines in files of
// other programs, so the decoder keeps its run state from line to line.

#include "codec_pcx.h"

#include "codec_util.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace pw::codec {

namespace {

constexpr qsizetype kHeaderSize = 128;
constexpr qsizetype kPaletteSize = 769; // 0x0C and 256 x red, green, blue
constexpr int kHeaderPaletteAt = 16;

struct Header {
    int version = 0;
    int encoding = 0;
    int bitsPerPixel = 0;
    int planes = 0;
    int bytesPerLine = 0;
    int width = 0;
    int height = 0;
};

bool readHeader(QByteArrayView data, Header& h) {
    if (data.size() < kHeaderSize || u8(data, 0) != 0x0A)
        return false;
    h.version = u8(data, 1);
    h.encoding = u8(data, 2);
    h.bitsPerPixel = u8(data, 3);
    const int xmin = le16(data, 4);
    const int ymin = le16(data, 6);
    const int xmax = le16(data, 8);
    const int ymax = le16(data, 10);
    h.planes = u8(data, 65);
    h.bytesPerLine = le16(data, 66);
    if (h.version != 0 && (h.version < 2 || h.version > 5))
        return false;
    if (h.encoding > 1 || xmax < xmin || ymax < ymin)
        return false;
    h.width = xmax - xmin + 1;
    h.height = ymax - ymin + 1;
    const int bpp = h.bitsPerPixel;
    const bool supported = (bpp == 1 && h.planes >= 1 && h.planes <= 4) ||
                           ((bpp == 2 || bpp == 4) && h.planes == 1) ||
                           (bpp == 8 && (h.planes == 1 || h.planes == 3 || h.planes == 4));
    return supported && h.bytesPerLine >= (h.width * bpp + 7) / 8;
}

// The colours of the 16-colour display adapter, for files that say they carry no palette.
constexpr std::array<quint32, 16> kDefault16 = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                                0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                                0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};

// Reads run-length coded bytes; a run left over at the end of one scan line continues
// into the next.
class Unpacker {
public:
    Unpacker(QByteArrayView src, bool packed) : src_(src), packed_(packed) {}

    bool fill(quint8* out, qsizetype n) {
        qsizetype done = 0;
        while (done < n) {
            if (repeat_ > 0) {
                const qsizetype take = std::min<qsizetype>(repeat_, n - done);
                std::fill(out + done, out + done + take, value_);
                repeat_ -= int(take);
                done += take;
                continue;
            }
            if (pos_ >= src_.size())
                return false;
            const quint8 b = u8(src_, pos_++);
            if (!packed_ || b < 0xC0) {
                out[done++] = b;
                continue;
            }
            if (pos_ >= src_.size())
                return false;
            value_ = u8(src_, pos_++);
            repeat_ = b & 0x3F;
        }
        return true;
    }

private:
    QByteArrayView src_;
    bool packed_;
    qsizetype pos_ = 0;
    int repeat_ = 0;
    quint8 value_ = 0;
};

void packLine(QByteArray& out, const quint8* line, int n) {
    int i = 0;
    while (i < n) {
        const quint8 v = line[i];
        int run = 1;
        while (i + run < n && run < 63 && line[i + run] == v)
            ++run;
        if (run > 1 || v >= 0xC0)
            putU8(out, 0xC0u | unsigned(run));
        putU8(out, v);
        i += run;
    }
}

bool isBlackAndWhite(const dib& d) {
    const PALETTEENTRY a = paletteAt(d, 0);
    const PALETTEENTRY b = paletteAt(d, 1);
    return a.red == 0 && a.green == 0 && a.blue == 0 && b.red == 255 && b.green == 255 && b.blue == 255;
}

} // namespace

bool looksLikePcx(QByteArrayView data) {
    Header h;
    return readHeader(data, h);
}

bool readPcx(dib& d, QByteArrayView data) {
    freedib(d);
    Header h;
    if (!readHeader(data, h) || !sizeAllowed(h.width, h.height))
        return false;
    const int bpp = h.bitsPerPixel;
    const bool eightBit = bpp == 8 && h.planes == 1;
    qsizetype bodyEnd = data.size();
    BITMAPINFO info;
    int bits = 4;
    int colors = 16;
    if (eightBit) {
        bodyEnd = data.size() - kPaletteSize;
        if (bodyEnd < kHeaderSize || u8(data, bodyEnd) != 0x0C)
            return false; // the palette is missing or cut off
        bits = 8;
        colors = 256;
        for (int i = 0; i < 256; ++i) {
            const qsizetype at = bodyEnd + 1 + 3 * i;
            setColor(info, i, u8(data, at), u8(data, at + 1), u8(data, at + 2));
        }
    } else if (bpp == 8) {
        bits = 24;
        colors = 0;
    } else if (bpp == 1 && h.planes == 1) {
        bits = 1;
        colors = 2;
        setColor(info, 1, 255, 255, 255);
    } else {
        for (int i = 0; i < 16; ++i) {
            if (h.version == 3) {
                const quint32 c = kDefault16[std::size_t(i)];
                setColor(info, i, int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF));
            } else {
                const qsizetype at = kHeaderPaletteAt + 3 * i;
                setColor(info, i, u8(data, at), u8(data, at + 1), u8(data, at + 2));
            }
        }
    }

    const QByteArrayView body = data.sliced(kHeaderSize, bodyEnd - kHeaderSize);
    const qint64 lineBytes = qint64(h.bytesPerLine) * h.planes;
    // A two-byte run gives at most 63 bytes; refuse sizes the data cannot hold before
    // anything is allocated.
    const qint64 most = h.encoding ? 32 * qint64(body.size()) + 64 : qint64(body.size());
    if (lineBytes > most / h.height)
        return false;
    if (!newdib(d, h.width, h.height, bits, &info, colors))
        return false;

    std::vector<quint8> line(std::size_t(lineBytes), 0);
    Unpacker unpacker(body, h.encoding == 1);
    const int bpl = h.bytesPerLine;
    for (int y = 0; y < h.height; ++y) {
        if (!unpacker.fill(line.data(), lineBytes)) {
            freedib(d);
            return false;
        }
        quint8* row = rowOf(d, y);
        if (bits == 24) {
            for (int x = 0; x < h.width; ++x) {
                row[3 * x] = line[std::size_t(2 * bpl + x)];
                row[3 * x + 1] = line[std::size_t(bpl + x)];
                row[3 * x + 2] = line[std::size_t(x)];
            }
        } else if (bits == 8) {
            std::copy(line.begin(), line.begin() + h.width, row);
        } else if (bits == 1) {
            std::copy(line.begin(), line.begin() + (h.width + 7) / 8, row);
        } else if (bpp == 1) {
            for (int x = 0; x < h.width; ++x) {
                int v = 0;
                for (int p = 0; p < h.planes; ++p)
                    v |= ((line[std::size_t(p * bpl + x / 8)] >> (7 - x % 8)) & 1) << p;
                orIndex(row, x, 4, v);
            }
        } else if (bpp == 2) {
            for (int x = 0; x < h.width; ++x)
                orIndex(row, x, 4, (line[std::size_t(x / 4)] >> (6 - 2 * (x % 4))) & 3);
        } else {
            for (int x = 0; x < h.width; ++x)
                orIndex(row, x, 4, indexAt(line.data(), x, 4));
        }
    }
    return true;
}

QByteArray writePcx(const dib& d) {
    const int w = dibwidth(d);
    const int h = dibheight(d);
    const int depth = dibbitcount(d);
    if (!d.poi || w > 65536 || h > 65536)
        return {};
    int bpp = 8;
    int planes = 1;
    if (depth == 24) {
        planes = 3;
    } else if (depth == 4) {
        bpp = 1;
        planes = 4;
    } else if (depth == 1 && isBlackAndWhite(d)) {
        bpp = 1;
    }
    int bpl = (w * bpp + 7) / 8;
    bpl += bpl % 2; // scan lines have an even length

    QByteArray out;
    out.reserve(kHeaderSize + qsizetype(h) * bpl * planes / 2 + kPaletteSize);
    putU8(out, 0x0A);
    putU8(out, 5); // version with a 256-colour palette
    putU8(out, 1); // run-length coded
    putU8(out, unsigned(bpp));
    putLe16(out, 0);
    putLe16(out, 0);
    putLe16(out, unsigned(w - 1));
    putLe16(out, unsigned(h - 1));
    // Dots per inch: the recorded resolution, else the customary 72.
    const auto inch = [](qint32 perMeter) {
        return perMeter > 0 ? unsigned(std::clamp<long>(std::lround(perMeter * 0.0254), 1, 65535)) : 72u;
    };
    putLe16(out, inch(d.pmi->bmiHeader.biXPelsPerMeter));
    putLe16(out, inch(d.pmi->bmiHeader.biYPelsPerMeter));
    for (int i = 0; i < 16; ++i) {
        PALETTEENTRY p;
        if (depth == 4)
            p = paletteAt(d, i);
        else if (i == 1 && depth == 1)
            p = {255, 255, 255, 0};
        putU8(out, p.red);
        putU8(out, p.green);
        putU8(out, p.blue);
    }
    putU8(out, 0);
    putU8(out, unsigned(planes));
    putLe16(out, unsigned(bpl));
    putLe16(out, 1); // colour palette
    out.append(QByteArray(kHeaderSize - out.size(), '\0'));

    std::vector<quint8> line(std::size_t(bpl) * std::size_t(planes));
    for (int y = 0; y < h; ++y) {
        std::fill(line.begin(), line.end(), quint8(0));
        const quint8* row = rowOf(d, y);
        if (depth == 24) {
            for (int x = 0; x < w; ++x) {
                line[std::size_t(x)] = row[3 * x + 2];
                line[std::size_t(bpl + x)] = row[3 * x + 1];
                line[std::size_t(2 * bpl + x)] = row[3 * x];
            }
        } else if (depth == 4) {
            for (int x = 0; x < w; ++x) {
                const int v = indexAt(row, x, 4);
                for (int p = 0; p < 4; ++p) {
                    if ((v >> p) & 1)
                        line[std::size_t(p * bpl + x / 8)] |= quint8(0x80 >> (x % 8));
                }
            }
        } else if (bpp == 1) {
            std::copy(row, row + (w + 7) / 8, line.begin());
        } else {
            for (int x = 0; x < w; ++x)
                line[std::size_t(x)] = quint8(indexAt(row, x, depth));
        }
        for (int p = 0; p < planes; ++p)
            packLine(out, line.data() + std::size_t(p) * std::size_t(bpl), bpl);
    }
    if (bpp == 8 && planes == 1) {
        putU8(out, 0x0C);
        for (int i = 0; i < 256; ++i) {
            const PALETTEENTRY p = i < paletteSize(d) ? paletteAt(d, i) : PALETTEENTRY{};
            putU8(out, p.red);
            putU8(out, p.green);
            putU8(out, p.blue);
        }
    }
    return out;
}

} // namespace pw::codec
