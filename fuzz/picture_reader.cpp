// Feeds arbitrary bytes to the picture decoders, in memory. The first byte chooses the
// format code (0, recognition by content, or a forced code) and which of the program's
// own writers a decoded picture goes back through; the rest is the file. A decoder may
// reject the data, but must never crash, read out of bounds or allocate on a size the data
// cannot hold. Whatever it accepts must encode again and read back with the same colours
// (only GIF may reduce a 24-bit picture's colours).

#include "imagelib/PicIO3.h"
#include "imagelib/picfiles.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

constexpr std::array<int, 14> kReadCodes = {0,
                                            pw::kFormatBmp,
                                            pw::kFormatDib,
                                            pw::kFormatGif,
                                            pw::kFormatIff,
                                            pw::kFormatJif,
                                            pw::kFormatJpg,
                                            pw::kFormatLbm,
                                            pw::kFormatPcx,
                                            pw::kFormatRle,
                                            pw::kFormatTga,
                                            pw::kFormatTif,
                                            pw::kFormatPng,
                                            pw::kFormatWebp};
constexpr std::array<int, 6> kWriteCodes = {pw::kFormatBmp, pw::kFormatRle, pw::kFormatGif,
                                            pw::kFormatIff, pw::kFormatPcx, pw::kFormatTga};
// Small pictures keep each run short; the limit is what a decoder checks before it
// allocates, so the checks themselves are exercised all the same.
constexpr qint64 kPixelLimit = 1 << 18;

quint32 colorAt(const pw::dib& d, int x, int y) {
    const quint32 c = pw::getpixel(d, x, y);
    if (pw::dibbitcount(d) != 1)
        return c;
    const pw::PALETTEENTRY& p = d.pal.rgb0[c];
    return quint32(p.red) | quint32(p.green) << 8 | quint32(p.blue) << 16;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = [] {
        pw::setDecodePixelLimit(kPixelLimit);
        return true;
    }();
    (void)limited;
    if (size == 0)
        return 0;
    const int readAs = kReadCodes[data[0] % kReadCodes.size()];
    const int writeAs = kWriteCodes[(data[0] / kReadCodes.size()) % kWriteCodes.size()];
    const QByteArrayView file(data + 1, qsizetype(size - 1));

    pw::dib d;
    if (!pw::decodeDib(d, file, readAs)) {
        if (d.poi || d.pmi)
            __builtin_trap(); // a failed load must leave the record empty
        return 0;
    }
    const int w = pw::dibwidth(d);
    const int h = pw::dibheight(d);
    if (w <= 0 || h <= 0 || qint64(w) * h > kPixelLimit)
        __builtin_trap();

    const QByteArray written = pw::encodeDib(d, writeAs);
    if (written.isEmpty()) {
        if (w <= 65535 && h <= 65535)
            __builtin_trap(); // every format holds pictures of this size
        return 0;
    }
    pw::dib back;
    if (!pw::decodeDib(back, written, writeAs) || pw::dibwidth(back) != w || pw::dibheight(back) != h)
        __builtin_trap();
    if (writeAs == pw::kFormatGif && pw::dibbitcount(d) == 24)
        return 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (colorAt(d, x, y) != colorAt(back, x, y))
                __builtin_trap();
        }
    }
    return 0;
}
