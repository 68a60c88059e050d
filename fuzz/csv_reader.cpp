// Feeds arbitrary bytes to the CSV text decoding, the record reader and the three imports
// that use them. Decoding either refuses the bytes or gives text without NUL characters;
// every record must consume input, so the reader always ends; the imports must add exactly
// the products and categories they report, and nothing when they throw.

#include "exchange/categoryimport.h"
#include "exchange/csvimport.h"
#include "exchange/csvreader.h"
#include "model/error.h"

#include <cstddef>
#include <cstdint>

namespace {

void readAll(pw::CsvReader& reader) {
    QStringList fields;
    qsizetype before = reader.position();
    while (reader.readRecord(fields)) {
        if (reader.position() <= before || reader.position() > reader.size())
            __builtin_trap();
        before = reader.position();
    }
    if (!reader.atEnd() || !fields.isEmpty())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    pw::CsvReader raw(bytes);
    readAll(raw);

    // The delimiter of this run, taken from the size so that every one is exercised.
    const QChar delimiters[] = {u';', u',', u'\t'};
    const QChar delimiter = delimiters[size % 3];
    bool isText = true;
    try {
        const pw::CsvText text = pw::DecodeCSVText(bytes, QStringLiteral("f.csv"));
        if (text.text.contains(QChar(u'\0')))
            __builtin_trap();
        const std::optional<pw::Error> warning = pw::CSVDelimiterWarning(text.text, delimiter, {});
        if (warning && text.text.contains(delimiter))
            __builtin_trap();
        pw::CsvReader reader(text.text, delimiter);
        readAll(reader);
    } catch (const pw::Error&) {
        isText = false;
    }

    pw::CatalogDocument doc;
    doc.VorlageSpalten = QStringList{QStringLiteral("Nr"), QStringLiteral("Preis")};
    doc.addCategory(QStringLiteral("Ziel"));
    pw::CsvImportOptions options;
    options.headerRow = size % 2 == 0;
    options.delimiter = delimiter;
    try {
        const pw::CsvImportResult one = pw::ImportCSVData(doc, 0, bytes, options);
        const pw::CsvImportResult complete = pw::ImportCSVDataComplete(doc, bytes, options);
        if (!isText || doc.products(0).count() != one.products ||
            doc.categoryCount() != 1 + complete.categories ||
            doc.productCount() != one.products + complete.products)
            __builtin_trap();
        const int categories = doc.categoryCount();
        const pw::CategoryImportResult kats =
            pw::ImportCSVDataCategories(doc, bytes, QLocale(QLocale::German, QLocale::Germany), delimiter);
        if (doc.categoryCount() != categories + kats.created)
            __builtin_trap();
    } catch (const pw::Error&) {
        // Only bytes that are no text are refused, and a refused import adds nothing.
        if (isText || doc.categoryCount() != 1 || doc.productCount() != 0)
            __builtin_trap();
    }
    return 0;
}
