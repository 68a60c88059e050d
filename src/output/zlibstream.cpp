#include "zlibstream.h"

#include "model/error.h"

#include <libdeflate.h>

#include <cstring>

namespace pw {

void CompressorDeleter::operator()(libdeflate_compressor* c) const {
    libdeflate_free_compressor(c);
}

Compressor newCompressor(int level) {
    Compressor compressor(libdeflate_alloc_compressor(level));
    if (!compressor)
        throw Error::text(QStringLiteral("Fehler: nicht genug Speicher für diese Operation!"));
    return compressor;
}

void zlibCompressInto(libdeflate_compressor* compressor, const char* data, qsizetype size, QByteArray& out) {
    out.resize(qsizetype(libdeflate_zlib_compress_bound(compressor, std::size_t(size))));
    const std::size_t n =
        libdeflate_zlib_compress(compressor, data, std::size_t(size), out.data(), std::size_t(out.size()));
    out.resize(qsizetype(n));
}

QByteArray zlibCompressed(QByteArrayView data, int level) {
    const Compressor compressor = newCompressor(level);
    QByteArray out;
    zlibCompressInto(compressor.get(), data.data(), data.size(), out);
    return out;
}

void upFilterRows(const quint8* in, qsizetype rowBytes, int rows, quint8* out) {
    for (int r = 0; r < rows; ++r, in += rowBytes, out += rowBytes + 1) {
        out[0] = 2;
        if (r == 0) {
            std::memcpy(out + 1, in, std::size_t(rowBytes));
            continue;
        }
        const quint8* above = in - rowBytes;
        for (qsizetype i = 0; i < rowBytes; ++i)
            out[i + 1] = quint8(in[i] - above[i]);
    }
}

} // namespace pw
