// vector_bench: the PDF export of a generated catalogue of about 100 A4 pages, as vector
// pages and as picture pages at 300 dpi RGB.
//
// The catalogue is export_bench's: categories of 10 products, each with a name, a
// description, two photos and a variant table with two price columns. Reported, best of
// three, in seconds per page from the call to the finished file, and the file sizes:
//   - the vector export (target 0.03 s per page), in RGB and CMYK,
//   - the picture export at 300 dpi in RGB beside it,
//   - the vector file's size against the picture file's (target under a tenth).

#include "benchsupport.h"
#include "compose/engine.h"
#include "output/pdfexport.h"
#include "output/vectorexport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kWantedPages = 100;
constexpr int kRuns = 3;

using Export = bool (*)(pw::CatalogDocument&, int, pw::EngineEnvironment&, const pw::PdfExportSettings&,
                        const QString&, pw::Progress&);

// The best time per page of kRuns exports, and the size of the file written.
std::pair<double, qint64> best(Export run, pw::CatalogDocument& doc, pw::EngineEnvironment& env,
                               const pw::PdfExportSettings& settings, const QString& file) {
    pw::NoProgress progress;
    const pw::bench::Timing t =
        pw::bench::timeRuns(kRuns, {}, [&] { run(doc, 0, env, settings, file, progress); });
    return {t.best / 1000 / std::max(1, doc.anzpages), QFileInfo(file).size()};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTemporaryDir dir;
    const std::optional<pw::bench::PhotoFiles> photos = pw::bench::photosIn(dir.path(), "vector_bench");
    if (!photos)
        return 1;
    pw::FixedClock clock(QDate(2026, 12, 10));
    pw::EngineEnvironment env(clock);
    pw::PdfExportSettings settings;
    settings.programFolder = QCoreApplication::applicationDirPath();
    settings.cmyk = false;
    pw::CatalogDocument doc;
    for (int k = 0; doc.anzpages < kWantedPages; ++k) {
        pw::bench::addCategory(doc, k, 10, photos->a, photos->b);
        pw::measuringRun(0, doc, env, pw::PdfExportCall(doc.settings, settings));
    }
    const int pages = doc.anzpages;
    std::printf("vector_bench: %d products on %d pages (layout 1), best of %d\n", doc.productCount(), pages,
                kRuns);

    const QString vectorFile = dir.filePath(QStringLiteral("v.pdf"));
    const auto [vectorRgb, vectorSize] = best(&pw::ExportVectorPdf, doc, env, settings, vectorFile);
    settings.cmyk = true;
    const auto [vectorCmyk, vectorCmykSize] = best(&pw::ExportVectorPdf, doc, env, settings, vectorFile);
    settings.cmyk = false;
    const auto [raster, rasterSize] =
        best(&pw::ExportPdf, doc, env, settings, dir.filePath(QStringLiteral("r.pdf")));

    const bool fast = vectorRgb < 0.03;
    const bool small = vectorSize * 10 < rasterSize;
    std::printf("  vector PDF RGB:   %.4f s per page (target 0.03 s) %s\n", vectorRgb,
                fast ? "ok" : "MISSED");
    std::printf("  vector PDF CMYK:  %.4f s per page\n", vectorCmyk);
    std::printf("  picture PDF RGB at 300 dpi: %.4f s per page\n", raster);
    std::printf("  files: vector %.2f MB (CMYK %.2f MB), picture %.2f MB: %.1f %% (target under 10 %%) %s\n",
                double(vectorSize) / 1e6, double(vectorCmykSize) / 1e6, double(rasterSize) / 1e6,
                100.0 * double(vectorSize) / double(rasterSize), small ? "ok" : "MISSED");
    return fast && small ? 0 : 1;
}
