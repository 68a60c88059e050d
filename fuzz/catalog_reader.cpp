// Feeds arbitrary bytes to both catalogue readers. The first byte chooses the format and
// the trimming option; the rest is the file. A reader may reject the data with pw::Error,
// but must never crash, read out of bounds or allocate on a count the data cannot hold.

#include "model/catalogfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto format = (data[0] & 1) ? pw::CatalogFormat::Older : pw::CatalogFormat::Current;
    pw::ReadOptions options;
    options.trimVariants = (data[0] & 2) != 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    static const pw::CatalogDocument seed;
    try {
        pw::LoadResult result =
            pw::ReadCatalogData(bytes, format, QStringLiteral("/fuzz/catalog.pk2"), seed, options);
        // Whatever was loaded must write out again.
        const QByteArray image = pw::CatalogFileImage(result.doc, QStringLiteral("/fuzz/catalog.pk2"));
        if (image.isEmpty())
            __builtin_trap();
    } catch (const pw::Error&) {
    }
    return 0;
}
