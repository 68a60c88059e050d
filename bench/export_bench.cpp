// export_bench: whole exports of two generated catalogues of about 100 A4 pages each.
//
// Both have categories of 10 products, each with a name, a description, two pictures and a
// variant table with two price columns, and as many categories as make 100 pages in layout
// 1. The synthetic catalogue places the same two small pictures everywhere; the photo
// catalogue gives every product two photos of its own at a camera's size (2400 x 1800
// JPEG, kept in the cache folder of benchsupport.h between runs), so that decoding costs
// what it costs in a real catalogue.
//
// Reported for each catalogue, in seconds per page from the call to the finished files,
// the best of `runs` (first argument, 3 unless given) with the CPU time of that run:
//   - the PDF export at 300 dpi, RGB (target on the photos 0.10 s) and CMYK (0.12 s), and
//     the CPU time a page costs beside the compression alone of its picture (libdeflate
//     at level 6 on one core; target: at most twice that),
//   - the same RGB export compressing on the calling thread, page after page,
//   - both again with another process keeping a core busy (the pipelined export must not be
//     slower than the sequential one then),
//   - the flip catalogue at 50 dpi (target on the photos 0.03 s),
//   - page images at 150 dpi as JPEG (target on the photos 0.04 s),
// and the peak memory of the process (target 250 MB).
//
// A second argument "photos" or "synthetic" measures one catalogue only; with
// $PW_BENCH_SAVE set, each catalogue is also saved as that name with "-photos.pk2" or
// "-synthetic.pk2" appended.

#include "benchsupport.h"
#include "compose/engine.h"
#include "compose/units.h"
#include "model/programfolders.h"
#include "output/PDFWriterCanvas.h"
#include "output/exportpage.h"
#include "output/flipcatalog.h"
#include "output/pageimages.h"
#include "output/pagesource.h"
#include "output/pdfexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <libdeflate.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kWantedPages = 100;

int measuringRun(pw::CatalogDocument& doc, pw::EngineEnvironment& env, const pw::EngineCall& base) {
    pw::EngineCall call = base;
    call.seiteedvalue = 0;
    pw::PainterCanvas measure(nullptr);
    pw::PaintLayout(0, measure, doc, pw::ViewState{}, env, call);
    return doc.anzpages;
}

// Seconds per page of the quickest run, wall clock and CPU time.
struct PerPage {
    double wall = 0;
    double cpu = 0;
};

PerPage bestOf(int runs, int pages, const std::function<void()>& run) {
    PerPage best{1e9, 0};
    for (int i = 0; i < runs; ++i) {
        const double cpuBefore = pw::bench::processCpuSeconds();
        QElapsedTimer timer;
        timer.start();
        run();
        const double wall = double(timer.nsecsElapsed()) / 1e9 / pages;
        const double cpu = (pw::bench::processCpuSeconds() - cpuBefore) / pages;
        if (wall < best.wall)
            best = {wall, cpu};
    }
    return best;
}

// The PDF export with every page compressed on the calling thread before the next one is
// rendered.
void pdfSequential(pw::CatalogDocument& doc, pw::EngineEnvironment& env,
                   const pw::PdfExportSettings& settings, const QString& file) {
    const pw::PdfPageGeometry g = pw::PdfExportGeometry(doc.settings, settings);
    pw::TPDFCanvas pdf(settings.programFolder);
    pdf.usetempfileforimages = true;
    pdf.compressasCMYK = settings.cmyk;
    pdf.PageWidth = g.pageWidth;
    pdf.PageHeight = g.pageHeight;
    pdf.BeginDoc(file);
    QImage bitmap = pw::NewPageBitmap(QSize(g.bitmapWidth, g.bitmapHeight), file);
    pw::RenderPages(doc, 0, env, pw::PdfExportCall(doc.settings, settings), bitmap,
                    [&](int number, const QImage& rendered, bool) {
                        if (number > 1)
                            pdf.NewPage();
                        pdf.DrawDIB(0, 0, pdf.PageWidth, pdf.PageHeight, pw::PagePicture(rendered, file), 0,
                                    0, g.bitmapWidth, g.bitmapHeight);
                        return true;
                    });
    pdf.EndDoc();
}

// The CPU seconds libdeflate takes at level 6 for the RGB bytes of the first `count` pages
// at 300 dpi, per page: what no export of these pages can go below.
double compressionSeconds(pw::CatalogDocument& doc, pw::EngineEnvironment& env,
                          const pw::PdfExportSettings& settings, int count) {
    const pw::PdfPageGeometry g = pw::PdfExportGeometry(doc.settings, settings);
    QImage bitmap = pw::NewPageBitmap(QSize(g.bitmapWidth, g.bitmapHeight), QString());
    struct Deleter {
        void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
    };
    const std::unique_ptr<libdeflate_compressor, Deleter> compressor(libdeflate_alloc_compressor(6));
    QByteArray out;
    double cpu = 0;
    int pages = 0;
    pw::EngineCall call = pw::PdfExportCall(doc.settings, settings);
    for (int page = 1; page <= count; ++page) {
        const bool more = pw::RenderPage(doc, 0, env, call, bitmap, page);
        const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB888);
        QByteArray bytes;
        for (int y = 0; y < rgb.height(); ++y)
            bytes.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), qsizetype(rgb.width()) * 3);
        out.resize(qsizetype(libdeflate_zlib_compress_bound(compressor.get(), std::size_t(bytes.size()))));
        const double before = pw::bench::processCpuSeconds();
        libdeflate_zlib_compress(compressor.get(), bytes.constData(), std::size_t(bytes.size()), out.data(),
                                 std::size_t(out.size()));
        cpu += pw::bench::processCpuSeconds() - before;
        ++pages;
        if (!more)
            break;
    }
    return pages ? cpu / pages : 0;
}

void printRow(const char* what, const PerPage& p, double target) {
    if (target > 0)
        std::printf("    %-44s %7.3f %7.3f   target %.2f %s\n", what, p.wall, p.cpu, target,
                    p.wall <= target ? "met" : "MISSED");
    else
        std::printf("    %-44s %7.3f %7.3f\n", what, p.wall, p.cpu);
}

// Measures one catalogue; returns whether its targets were met (only the photo catalogue has
// any).
bool measureCatalogue(const char* name, bool photos, int runs,
                      const std::function<QString(int, int)>& picture, const QString& work) {
    pw::FixedClock clock(QDate(2026, 12, 10));
    pw::EngineEnvironment env(clock);
    pw::PdfExportSettings pdfSettings;
    pdfSettings.programFolder = QCoreApplication::applicationDirPath();
    pw::CatalogDocument doc;
    int counter = 0;
    for (int k = 0; measuringRun(doc, env, pw::PdfExportCall(doc.settings, pdfSettings)) < kWantedPages; ++k)
        pw::bench::addCategory(doc, k, 10, picture, counter);
    const int pages = doc.anzpages;
    std::printf("  %s: %d products on %d pages (layout 1)\n", name, doc.productCount(), pages);
    // $PW_BENCH_SAVE keeps the catalogue, to export it with other builds of the program.
    if (const QString keep = qEnvironmentVariable("PW_BENCH_SAVE"); !keep.isEmpty())
        pw::SaveTheFile(doc,
                        keep + (photos ? QStringLiteral("-photos.pk2") : QStringLiteral("-synthetic.pk2")));
    std::printf("    %-44s %7s %7s   (seconds per page, best of %d)\n", "", "wall", "CPU", runs);

    pw::NoProgress progress;
    const QString pdfFile = QDir(work).filePath(QStringLiteral("k.pdf"));
    PerPage pdf[2];
    for (int cmyk = 0; cmyk < 2; ++cmyk) {
        pdfSettings.cmyk = cmyk == 1;
        pdf[cmyk] = bestOf(runs, pages, [&] { pw::ExportPdf(doc, 0, env, pdfSettings, pdfFile, progress); });
    }
    pdfSettings.cmyk = false;
    const PerPage sequential = bestOf(runs, pages, [&] { pdfSequential(doc, env, pdfSettings, pdfFile); });
    const double compression = compressionSeconds(doc, env, pdfSettings, 5);

    pw::FlipExportSettings flipSettings;
    flipSettings.zoomDpi = 0; // the base pictures alone; flip_bench measures the sharp pages
    const pw::ProgramFolders program(QStringLiteral(PW_PROGRAM_DIR),
                                     QDir(work).filePath(QStringLiteral("user")));
    const PerPage flip = bestOf(runs, pages, [&] {
        pw::ExportFlipCatalogue(doc, 0, env, flipSettings, program,
                                QDir(work).filePath(QStringLiteral("flip")), pw::FlipTexts{}, progress);
    });
    pw::ImageExportSettings imageSettings;
    const PerPage images = bestOf(runs, pages, [&] {
        pw::ExportPageImages(doc, 0, env, imageSettings, QDir(work).filePath(QStringLiteral("page.jpg")),
                             progress);
    });

    PerPage loaded[2];
    {
        const pw::bench::CpuHog hog;
        loaded[0] = bestOf(runs, pages, [&] { pw::ExportPdf(doc, 0, env, pdfSettings, pdfFile, progress); });
        loaded[1] = bestOf(runs, pages, [&] { pdfSequential(doc, env, pdfSettings, pdfFile); });
    }

    printRow("PDF 300 dpi RGB", pdf[0], photos ? 0.10 : 0);
    printRow("PDF 300 dpi CMYK", pdf[1], photos ? 0.12 : 0);
    printRow("PDF 300 dpi RGB, compressed page after page", sequential, 0);
    std::printf("    %-44s %7s %7.3f   CPU of the RGB export %.1f times that%s\n",
                "compression alone (level 6)", "", compression,
                compression > 0 ? pdf[0].cpu / compression : 0,
                photos ? (pdf[0].cpu <= 2 * compression ? " (target 2: met)" : " (target 2: MISSED)") : "");
    printRow("with a busy core beside it: pipelined", loaded[0], 0);
    printRow("with a busy core beside it: page after page", loaded[1], 0);
    std::printf("    %-44s %s\n", "",
                loaded[0].wall <= loaded[1].wall ? "pipelined no slower: met" : "pipelined slower: MISSED");
    printRow("flip catalogue 50 dpi", flip, photos ? 0.03 : 0);
    printRow("page images 150 dpi JPEG", images, photos ? 0.04 : 0);
    if (!photos)
        return loaded[0].wall <= loaded[1].wall;
    return pdf[0].wall <= 0.10 && pdf[1].wall <= 0.12 && pdf[0].cpu <= 2 * compression && flip.wall <= 0.03 &&
           images.wall <= 0.04 && loaded[0].wall <= loaded[1].wall;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line as soon as it is measured
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;
    const QByteArray only = argc > 2 ? QByteArray(argv[2]) : QByteArray();

    QTemporaryDir dir;
    const std::optional<pw::bench::PhotoFiles> small = pw::bench::photosIn(dir.path(), "export_bench");
    const std::optional<QStringList> camera = pw::bench::cameraPhotos(24, "export_bench");
    if (!small || !camera)
        return 1;
    const pw::bench::DistinctPhotoNames names(*camera);
    std::printf("export_bench: %d runs each\n", runs);
    bool met = true;
    try {
        if (only.isEmpty() || only == "synthetic")
            met = measureCatalogue(
                      "synthetic catalogue (two small pictures everywhere)", false, runs,
                      [&](int, int which) { return which == 0 ? small->a : small->b; }, dir.path()) &&
                  met;
        if (only.isEmpty() || only == "photos")
            met = measureCatalogue(
                      "photo catalogue (two 2400 x 1800 JPEG photos per product)", true, runs,
                      [&](int product, int which) { return names.at(2 * product + which); }, dir.path()) &&
                  met;
    } catch (const pw::Error& e) {
        pw::TranslationStore german;
        std::printf("  failed: %s %s\n", qPrintable(e.file()), qPrintable(pw::errorText(e, german)));
        return 1;
    }
    std::printf("  peak memory: %ld MB (target 250 MB)\n", pw::bench::peakMemoryMb());
    std::printf("%s\n", met ? "all targets met" : "a target was missed");
    return 0;
}
