// check_bench: the catalogue check of a generated catalogue of 2,000 products.
//
// The catalogue has 40 categories of 50 products, each with a name, a description of about
// 300 characters, two photos and a variant table of six rows with two price columns (the
// layout benchmark's), read from its file as the command-line tool reads it. Reported for
// layouts 1 (engine A), 2 (engine B) and 3 (engine C): the best and the median of 7 checks,
// each from the document as loaded (pictures read, the catalogue laid out once, every
// product looked at); target 500 ms. The article numbers repeat from category to category,
// so the check also reports a few thousand findings, as a real catalogue with a fault in
// every product would.

#include "benchsupport.h"
#include "check/catalogcheck.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file =
        pw::bench::writeCatalogue(dir.path(), QStringLiteral("bench.pk2"), 40, 50, "check_bench");
    if (file.isEmpty())
        return 1;
    pw::CatalogDocument doc;
    pw::OpenCatalog(doc, file, {});
    pw::FixedClock clock(QDate(2026, 12, 10));
    pw::TranslationStore german;

    std::printf("check_bench: %d products, best and median of 7 checks (ms)\n", doc.productCount());
    std::printf("%-22s %10s %10s   %s\n", "", "best", "median", "target 500 ms");
    bool met = true;
    for (int layout : {0, 1, 2}) {
        pw::CheckOptions options;
        options.layout = layout;
        std::size_t count = 0;
        const pw::bench::Timing t = pw::bench::timeRuns(
            7, {}, [&] { count = pw::checkCatalogue(doc, options, clock, german).size(); });
        char name[64];
        std::snprintf(name, sizeof name, "layout %d (%zu found)", layout + 1, count);
        pw::bench::printTimingRow(name, 22, t, 500);
        met = met && !t.failed && t.best < 500;
    }
    std::printf("%s\n", met ? "all targets met" : "a target was missed");
    return 0;
}
