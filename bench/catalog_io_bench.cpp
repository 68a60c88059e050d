// catalog_io_bench: how long saving and opening a large catalogue takes.
//
// Builds a catalogue of 10,000 products in memory (20 categories of 500, each product with
// a description of about 300 characters, 3 pictures and a variant table of 6 rows of 5
// cells), then saves it and reads it back, with and without the trimming of empty variant
// rows and columns. Each step runs several times; the table shows the best and the median
// run. This is a measurement, not a test: the exit code is always 0.

#include "benchsupport.h"
#include "i18n/translateunit.h"
#include "model/catalog.h"
#include "model/catalogfile.h"
#include "model/error.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCategories = 20;
constexpr int kProductsPerCategory = 500;
constexpr int kPictures = 3;
constexpr int kRows = 6; // caption row included
constexpr int kCells = 5;
constexpr int kPrices = 2;
constexpr int kRuns = 5;
constexpr double kTargetMs = 300;

// About 300 characters, numbered so that no two descriptions are the same.
QString description(int n) {
    return u"Artikel %1: robuste Ausführung aus verzinktem Stahl mit pulverbeschichteter Oberfläche, "
           u"geeignet für Werkstatt, Haus und Garten. Lieferung einzeln verpackt, mit Montageanleitung "
           u"und allen Befestigungsteilen. Ersatzteile sind mindestens zehn Jahre lang lieferbar; "
           u"Garantie drei Jahre ab Kaufdatum."_s.arg(n, 5, 10, QLatin1Char('0'));
}

pw::CatalogDocument buildCatalogue(const pw::CatalogDocument& seed) {
    pw::CatalogDocument doc = seed.seededCopy();
    int n = 0;
    for (int k = 0; k < kCategories; ++k) {
        const int kat = doc.addCategory(u"Kategorie %1"_s.arg(k + 1));
        pw::TProduktListe& list = doc.products(kat);
        for (int j = 0; j < kProductsPerCategory; ++j, ++n) {
            pw::TProdukt& p = *list.Add();
            pw::SetProductTableDefaults(p);
            p.name = u"Produkt %1"_s.arg(n);
            p.desc = description(n);
            p.anzpreis = kPrices;
            for (int b = 1; b <= kPictures; ++b) {
                pw::TBild& bild = *p.bilder.Add();
                bild.datei = u"/tmp/pics/p%1_%2.jpg"_s.arg(n).arg(b);
                bild.breite = 4.0;
            }
            for (int r = 0; r < kRows; ++r) {
                pw::TVariante& row = *p.varianten.Add();
                for (int c = 0; c < kCells; ++c) {
                    QString text;
                    if (r == 0)
                        text = seed.VorlageSpalten.value(c, u"Spalte %1"_s.arg(c + 1));
                    else if (c == 0)
                        text = u"Ausführung %1"_s.arg(r);
                    else if (c == 1)
                        text = u"A-%1-%2"_s.arg(n, 5, 10, QLatin1Char('0')).arg(r);
                    else if (pw::IsPriceCell(c, kCells, kPrices))
                        text = u"%1,%2 €"_s.arg(10 + r * 3 + c).arg(95 - 10 * c);
                    else
                        text = u"%1 mm"_s.arg(100 + 20 * r);
                    row.props.Add()->text = text;
                }
            }
        }
    }
    return doc;
}

pw::bench::Timing measure(const std::function<void()>& step) {
    return pw::bench::timeRuns(kRuns, {}, step);
}

void printRow(const char* name, const pw::bench::Timing& t) {
    pw::bench::printTimingRow(name, 18, t, kTargetMs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    pw::CatalogDocument seed;
    pw::TranslationStore german;
    seed.VorlageSpalten = pw::DefaultTemplateColumns(german);
    const pw::CatalogDocument doc = buildCatalogue(seed);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::printf("catalog_io_bench: no temporary folder: %s\n", qPrintable(dir.errorString()));
        return 0;
    }
    const QString path = dir.filePath(u"bench.pk2"_s);

    std::printf(
        "catalog_io_bench: %d products in %d categories, %d pictures and %d x %d variant cells each\n",
        doc.productCount(), doc.categoryCount(), kPictures, kRows, kCells);

    const pw::bench::Timing save = measure([&] { pw::SaveTheFile(doc, path); });

    // A load that does not give back every product is reported, so that a fast but
    // broken reader does not pass for a fast one.
    auto load = [&](bool trim) {
        pw::ReadOptions options;
        options.trimVariants = trim;
        const pw::LoadResult result = pw::ReadCatalogFile(path, pw::CatalogFormat::Current, seed, options);
        if (result.doc.productCount() != doc.productCount() || !result.warnings.empty())
            throw pw::Error::text(u"read %1 of %2 products with %3 warnings"_s.arg(result.doc.productCount())
                                      .arg(doc.productCount())
                                      .arg(result.warnings.size()),
                                  path);
    };
    const pw::bench::Timing loadTrim =
        save.failed ? pw::bench::Timing{0, 0, true} : measure([&] { load(true); });
    const pw::bench::Timing loadNoTrim =
        save.failed ? pw::bench::Timing{0, 0, true} : measure([&] { load(false); });

    const qint64 bytes = QFileInfo(path).size();
    std::printf("file size: %lld bytes (%.2f MB), %d runs each\n\n", static_cast<long long>(bytes),
                double(bytes) / (1024.0 * 1024.0), kRuns);
    std::printf("%-18s %10s %10s   %s\n", "operation", "best ms", "median ms", "target");
    printRow("save", save);
    printRow("load (trim on)", loadTrim);
    printRow("load (trim off)", loadNoTrim);
    std::printf("\ntarget: load and save each under %.0f ms\n", kTargetMs);
    return 0;
}
