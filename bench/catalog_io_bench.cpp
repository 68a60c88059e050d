// catalog_io_bench: how long saving, opening and copying a large catalogue take, and how
// much memory opening one needs.
//
// Builds a catalogue of 10,000 products in memory (20 categories of 500, each product with
// a description of about 300 characters, 3 pictures and a variant table of 6 rows of 5
// cells), then saves it and reads it back, with and without the trimming of empty variant
// rows and columns, and copies the document (as the window does to render on a worker).
// Then it saves two catalogues of 100,000 smaller products (a name, a description of about
// 80 characters, one picture and a variant table of 3 rows of 4 cells, as in a shop's
// price list), one with a single category and one with a category per product, and opens
// each in a child process of its own, which reports its time and its peak memory; the
// 10,000-product catalogue is opened that way too. Each timed step runs several times; the table shows the
// best and the median run. This is a measurement, not a test: the exit code is always 0.

#include "benchsupport.h"
#include "i18n/translateunit.h"
#include "model/catalog.h"
#include "model/catalogfile.h"
#include "model/error.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCategories = 20;
constexpr int kProductsPerCategory = 500;
constexpr int kPictures = 3;
constexpr int kRows = 6; // caption row included
constexpr int kCells = 5;

// What every product of a generated catalogue holds.
struct ProductShape {
    int pictures = kPictures;
    int rows = kRows;
    int cells = kCells;
    bool longDescription = true;
};
constexpr ProductShape kSmallProduct{1, 3, 4, false};
constexpr int kPrices = 2;
constexpr int kRuns = 5;
constexpr double kTargetMs = 300;
constexpr double kCopyTargetMs = 20;
constexpr int kLargeProducts = 100000;
constexpr double kLargeTargetMs = 2000;
constexpr long kLargeTargetMb = 300;
constexpr long kTargetMb = 150;

// About 300 characters, numbered so that no two descriptions are the same.
QString description(int n) {
    return u"Artikel %1: robuste Ausführung aus verzinktem Stahl mit pulverbeschichteter Oberfläche, "
           u"geeignet für Werkstatt, Haus und Garten. Lieferung einzeln verpackt, mit Montageanleitung "
           u"und allen Befestigungsteilen. Ersatzteile sind mindestens zehn Jahre lang lieferbar; "
           u"Garantie drei Jahre ab Kaufdatum."_s.arg(n, 5, 10, QLatin1Char('0'));
}

pw::CatalogDocument buildCatalogue(const pw::CatalogDocument& seed, int categories = kCategories,
                                   int productsPerCategory = kProductsPerCategory, ProductShape shape = {}) {
    pw::CatalogDocument doc = seed.seededCopy();
    int n = 0;
    for (int k = 0; k < categories; ++k) {
        const int kat = doc.addCategory(u"Kategorie %1"_s.arg(k + 1));
        pw::TProduktListe& list = doc.products(kat);
        for (int j = 0; j < productsPerCategory; ++j, ++n) {
            pw::TProdukt& p = *list.Add();
            pw::SetProductTableDefaults(p);
            p.name = u"Produkt %1"_s.arg(n);
            p.desc = shape.longDescription
                         ? description(n)
                         : u"Artikel %1 aus verzinktem Stahl, einzeln verpackt, mit Anleitung"_s.arg(n);
            p.anzpreis = kPrices;
            for (int b = 1; b <= shape.pictures; ++b) {
                pw::TBild& bild = *p.bilder.Add();
                bild.datei = u"/tmp/pics/p%1_%2.jpg"_s.arg(n).arg(b);
                bild.breite = 4.0;
            }
            for (int r = 0; r < shape.rows; ++r) {
                pw::TVariante& row = *p.varianten.Add();
                for (int c = 0; c < shape.cells; ++c) {
                    QString text;
                    if (r == 0)
                        text = seed.VorlageSpalten.value(c, u"Spalte %1"_s.arg(c + 1));
                    else if (c == 0)
                        text = u"Ausführung %1"_s.arg(r);
                    else if (c == 1)
                        text = u"A-%1-%2"_s.arg(n, 5, 10, QLatin1Char('0')).arg(r);
                    else if (pw::IsPriceCell(c, shape.cells, kPrices))
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

// The child process: opens the file three times, one document at a time, and prints
// "<best ms> <peak MB> <products>". The peak is that of one open document: each is gone
// before the next is read.
int openInChild(const QString& path) {
    pw::CatalogDocument seed;
    double best = -1;
    int products = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        try {
            const pw::LoadResult result = pw::ReadCatalogFile(path, pw::CatalogFormat::Current, seed, {});
            products = result.doc.productCount();
        } catch (const pw::Error&) {
            std::printf("failed\n");
            return 0;
        }
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        best = best < 0 ? ms : std::min(best, ms);
    }
    std::printf("%.1f %ld %d\n", best, pw::bench::peakMemoryMb(), products);
    return 0;
}

// Opens `path` in a child process and prints its row: time, peak memory and targets.
void printChildOpen(const char* name, const QString& path, int products, double targetMs, long targetMb) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--open"_s, path});
    child.waitForFinished(-1);
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 3 || fields[2].toInt() != products) {
        std::printf("%-34s failed\n", name);
        return;
    }
    const double ms = fields[0].toDouble();
    const long mb = fields[1].toLong();
    std::printf("%-34s %8.0f ms %6ld MB   %s\n", name, ms, mb,
                ms < targetMs && mb < targetMb ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--open") == 0)
        return openInChild(QString::fromLocal8Bit(argv[2]));

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
    std::printf("\ntarget: load and save each under %.0f ms\n\n", kTargetMs);

    const pw::bench::Timing copy = measure([&] {
        const pw::CatalogDocument copied = doc;
        if (copied.productCount() != doc.productCount())
            throw pw::Error::text(u"the copy lost products"_s);
    });
    pw::bench::printTimingRow("copy", 18, copy, kCopyTargetMs);
    std::printf("target: a copy under %.0f ms\n\n", kCopyTargetMs);

    std::printf("opened in a process of its own (time, peak memory of the process):\n");
    if (!save.failed)
        printChildOpen("10,000 products", path, doc.productCount(), kTargetMs, kTargetMb);
    const QString oneCategory = dir.filePath(u"one-category.pk2"_s);
    const QString manyCategories = dir.filePath(u"many-categories.pk2"_s);
    try {
        pw::SaveTheFile(buildCatalogue(seed, 1, kLargeProducts, kSmallProduct), oneCategory);
        pw::SaveTheFile(buildCatalogue(seed, kLargeProducts, 1, kSmallProduct), manyCategories);
    } catch (const pw::Error&) {
        std::printf("the large catalogues could not be saved\n");
        return 0;
    }
    printChildOpen("100,000 products in one category", oneCategory, kLargeProducts, kLargeTargetMs,
                   kLargeTargetMb);
    printChildOpen("100,000 one-product categories", manyCategories, kLargeProducts, kLargeTargetMs,
                   kLargeTargetMb);
    std::printf("targets: 10,000 products under %.0f ms and %ld MB; 100,000 under %.0f ms and %ld MB\n",
                kTargetMs, kTargetMb, kLargeTargetMs, kLargeTargetMb);
    return 0;
}
