// flip_bench: the flip catalogue of a generated catalogue of about 100 A4 pages (the one of
// export_bench: categories of 10 products with a description, two photos and a variant
// table), in layout 1.
//
// Reported, each with the thumbnails and the product data, for the base pictures at 50 dpi
// alone and with the sharp pages at 150 dpi: seconds per page from the call to the finished
// folder (target with the sharp pages: under 0.05 s), and the size of the folder and of its
// part in catalogextras.

#include "benchsupport.h"
#include "compose/engine.h"
#include "model/programfolders.h"
#include "output/flipcatalog.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kWantedPages = 100;

int measuringRun(pw::CatalogDocument& doc, pw::EngineEnvironment& env, const pw::EngineCall& base) {
    pw::EngineCall call = base;
    call.seiteedvalue = 0;
    pw::PainterCanvas measure(nullptr);
    pw::PaintLayout(0, measure, doc, pw::ViewState{}, env, call);
    return doc.anzpages;
}

qint64 folderBytes(const QString& folder) {
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        bytes += QFileInfo(it.next()).size();
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTemporaryDir dir;
    const std::optional<pw::bench::PhotoFiles> photos = pw::bench::photosIn(dir.path(), "flip_bench");
    if (!photos)
        return 1;
    const QString& a = photos->a;
    const QString& b = photos->b;
    pw::FixedClock clock(QDate(2026, 12, 10));
    pw::EngineEnvironment env(clock);
    pw::FlipExportSettings settings;
    pw::CatalogDocument doc;
    for (int k = 0; measuringRun(doc, env, pw::FlipExportCall(settings)) < kWantedPages; ++k)
        pw::bench::addCategory(doc, k, 10, a, b);
    const int measured = doc.anzpages;
    std::printf("flip_bench: %d products on %d pages (layout 1)\n", doc.productCount(), measured);

    const pw::ProgramFolders program(QStringLiteral(PW_PROGRAM_DIR), dir.filePath(QStringLiteral("user")));
    pw::NoProgress progress;
    struct Run {
        const char* what;
        int zoomDpi;
        double secondsPerPage = 0;
        qint64 bytes = 0;
        qint64 extraBytes = 0; // the thumbnails and sharp pages
    };
    Run runs[] = {{"base pictures at 50 dpi only", 0}, {"with the sharp pages at 150 dpi", 150}};
    for (Run& run : runs) {
        settings.zoomDpi = run.zoomDpi;
        const QString folder = dir.filePath(QStringLiteral("flip%1").arg(run.zoomDpi));
        doc.anzpages = measured;
        QElapsedTimer timer;
        timer.start();
        pw::ExportFlipCatalogue(doc, 0, env, settings, program, folder, pw::FlipTexts{}, progress);
        run.secondsPerPage = double(timer.nsecsElapsed()) / 1e9 / doc.anzpages;
        run.bytes = folderBytes(folder);
        run.extraBytes = folderBytes(folder + QLatin1Char('/') + QLatin1String(pw::kFlipExtraFolder));
    }
    for (const Run& run : runs)
        std::printf("  %-34s %.3f s per page, folder %.1f MB (%.1f MB of them thumbnails and sharp pages)\n",
                    run.what, run.secondsPerPage, double(run.bytes) / 1e6, double(run.extraBytes) / 1e6);
    std::printf("  target with the sharp pages: under 0.05 s per page\n");
    std::printf("%s\n", runs[1].secondsPerPage < 0.05 ? "all targets met" : "a target was missed");
    return 0;
}
