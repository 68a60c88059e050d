#include "zlibstream.h"

#include "model/error.h"

#include <libdeflate.h>

#include <memory>

namespace pw {

QByteArray zlibCompressed(QByteArrayView data, int level) {
    struct Deleter {
        void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
    };
    const std::unique_ptr<libdeflate_compressor, Deleter> compressor(libdeflate_alloc_compressor(level));
    if (!compressor)
        throw Error::text(QStringLiteral("Fehler: nicht genug Speicher für diese Operation!"));
    QByteArray out;
    out.resize(qsizetype(libdeflate_zlib_compress_bound(compressor.get(), std::size_t(data.size()))));
    const std::size_t n = libdeflate_zlib_compress(compressor.get(), data.data(), std::size_t(data.size()),
                                                   out.data(), std::size_t(out.size()));
    out.resize(qsizetype(n));
    return out;
}

} // namespace pw
