// Feeds arbitrary bytes to the CSV record reader and to the three imports that use it.
// Every record must consume input, so the reader always ends; the imports must add
// exactly the products and categories they report.

#include "exchange/categoryimport.h"
#include "exchange/csvimport.h"
#include "exchange/csvreader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    pw::CsvReader reader(bytes);
    QStringList fields;
    qsizetype before = reader.position();
    while (reader.readRecord(fields)) {
        if (reader.position() <= before || reader.position() > reader.size())
            __builtin_trap();
        before = reader.position();
    }
    if (!reader.atEnd() || !fields.isEmpty())
        __builtin_trap();

    pw::CatalogDocument doc;
    doc.VorlageSpalten = QStringList{QStringLiteral("Nr"), QStringLiteral("Preis")};
    doc.addCategory(QStringLiteral("Ziel"));
    pw::CsvImportOptions options;
    options.headerRow = size % 2 == 0;
    const pw::CsvImportResult one = pw::ImportCSVData(doc, 0, bytes, options);
    const pw::CsvImportResult complete = pw::ImportCSVDataComplete(doc, bytes, options);
    if (doc.products(0).count() != one.products || doc.categoryCount() != 1 + complete.categories ||
        doc.productCount() != one.products + complete.products)
        __builtin_trap();
    const int categories = doc.categoryCount();
    const pw::CategoryImportResult kats =
        pw::ImportCSVDataCategories(doc, bytes, QLocale(QLocale::German, QLocale::Germany));
    if (doc.categoryCount() != categories + kats.created)
        __builtin_trap();
    return 0;
}
