// csv_bench: how long the CSV product import and export take on a large file.
//
// Generates a CSV file of 50,000 records (about 20 MB) in the format of the export with the
// category column: 50 categories of 1,000 products, each with a description of about 270
// characters, a picture path and two variant rows of five cells. It then imports the file
// into an empty catalogue (with the category column, and once more into one category) and
// exports the result again with the category column. Each step runs several times; the
// table shows the best and the median run. This is a measurement, not a test: the exit code
// is always 0.

#include "benchsupport.h"
#include "exchange/csvexport.h"
#include "exchange/csvimport.h"
#include "i18n/translateunit.h"
#include "model/catalog.h"
#include "model/error.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCategories = 50;
constexpr int kProductsPerCategory = 1000;
constexpr int kRecords = kCategories * kProductsPerCategory;
constexpr int kRows = 2;
constexpr int kRuns = 5;
constexpr double kTargetMs = 1000;

QByteArray generateCsv(int columns) {
    QByteArray out;
    out.reserve(kRecords * 420);
    for (int n = 0; n < kRecords; ++n) {
        QString line =
            u"\"Kategorie %1\";\"Produkt %2 aus Edelstahl\";"_s.arg(n / kProductsPerCategory + 1).arg(n);
        line +=
            u"\"Artikel %1: robuste Ausführung aus verzinktem Stahl mit pulverbeschichteter Oberfläche,\\r\\n"
            u"geeignet für Werkstatt, Haus und Garten. Lieferung einzeln verpackt, mit "
            u"\"\"Montageanleitung\"\" "
            u"und allen Befestigungsteilen; Garantie drei Jahre ab Kaufdatum.\";"_s.arg(n);
        line += u"\"c:\\bilder\\produkte\\p%1.jpg\""_s.arg(n, 5, 10, QLatin1Char('0'));
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < columns; ++c)
                line += c < 2 ? u";\"A-%1-%2\""_s.arg(n).arg(r) : u";\"%1,95 €\""_s.arg(10 * r + c);
        }
        line += u"\r\n"_s;
        out += pw::toAnsi(line);
    }
    return out;
}

// Runs `step` on a fresh catalogue from `prepare` kRuns times; only the step is timed.
pw::bench::Timing measure(const std::function<pw::CatalogDocument()>& prepare,
                          const std::function<void(pw::CatalogDocument&)>& step) {
    pw::CatalogDocument doc;
    return pw::bench::timeRuns(
        kRuns, [&] { doc = prepare(); }, [&] { step(doc); });
}

void printRow(const char* name, const pw::bench::Timing& t) {
    pw::bench::printTimingRow(name, 28, t, kTargetMs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    pw::CatalogDocument seed;
    pw::TranslationStore german;
    seed.VorlageSpalten = pw::DefaultTemplateColumns(german);
    const int columns = int(seed.VorlageSpalten.size());

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::printf("csv_bench: no temporary folder: %s\n", qPrintable(dir.errorString()));
        return 0;
    }
    const QString in = dir.filePath(u"import.csv"_s);
    const QString out = dir.filePath(u"export.csv"_s);
    {
        QFile f(in);
        const QByteArray data = generateCsv(columns);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
            std::printf("csv_bench: cannot write %s\n", qPrintable(in));
            return 0;
        }
    }
    const qint64 bytes = QFileInfo(in).size();
    std::printf("csv_bench: %d records in %d categories, %d variant rows of %d cells each\n", kRecords,
                kCategories, kRows, columns);
    std::printf("file size: %lld bytes (%.2f MB), %d runs each\n\n", static_cast<long long>(bytes),
                double(bytes) / (1024.0 * 1024.0), kRuns);

    // An import that does not give back every record is reported, so that a fast but
    // broken import does not pass for a fast one.
    auto check = [&](const pw::CsvImportResult& r, const pw::CatalogDocument& doc) {
        if (r.products != kRecords || doc.productCount() != kRecords)
            throw pw::Error::text(u"imported %1 of %2 products"_s.arg(doc.productCount()).arg(kRecords), in);
    };
    auto empty = [&] { return seed.seededCopy(); };
    auto oneCategory = [&] {
        pw::CatalogDocument doc = seed.seededCopy();
        doc.addCategory(u"Alles"_s);
        return doc;
    };
    const pw::bench::Timing importComplete = measure(empty, [&](pw::CatalogDocument& doc) {
        check(pw::ImportCSVFileComplete(doc, in, {}), doc);
        if (doc.categoryCount() != kCategories)
            throw pw::Error::text(u"%1 categories instead of %2"_s.arg(doc.categoryCount()).arg(kCategories),
                                  in);
    });
    const pw::bench::Timing importOne = measure(
        oneCategory, [&](pw::CatalogDocument& doc) { check(pw::ImportCSVFile(doc, 0, in, {}), doc); });

    pw::CatalogDocument imported = seed.seededCopy();
    std::optional<pw::bench::Timing> exportAll;
    try {
        pw::ImportCSVFileComplete(imported, in, {});
    } catch (const pw::Error&) {
        exportAll = pw::bench::Timing{0, 0, true};
    }
    if (!exportAll) {
        exportAll = measure(
            empty, [&](pw::CatalogDocument&) { pw::ExportCSVFile(imported, pw::kAllCategories, out); });
    }
    const qint64 exported = QFileInfo(out).size();

    std::printf("%-28s %10s %10s   %s\n", "operation", "best ms", "median ms", "target");
    printRow("import (category column)", importComplete);
    printRow("import (one category)", importOne);
    printRow("export (all categories)", *exportAll);
    // The import appends a row of empty cells to every product, which the export writes.
    const qint64 extraRow = qint64(kRecords) * columns * 3;
    std::printf(
        "\nexported file: %lld bytes (%s the imported file plus one row of empty cells per product)\n",
        static_cast<long long>(exported), exported == bytes + extraRow ? "as expected:" : "NOT");
    std::printf("peak memory: %ld MB\n", pw::bench::peakMemoryMb());
    std::printf("target: import and export each under %.0f ms\n", kTargetMs);
    return 0;
}
