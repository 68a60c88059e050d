// export_bench: whole exports of a generated catalogue of about 100 A4 pages.
//
// The catalogue has categories of 10 products, each with a name, a description, two photos
// and a variant table with two price columns, and as many categories as make 100 pages in
// layout 1. Reported, in seconds per page from the call to the finished files:
//   - the PDF export at 300 dpi, RGB (target 0.25 s) and CMYK (target 0.30 s),
//   - the flip catalogue at 50 dpi (target 0.1 s),
// each beside the same export made with one engine call per page, and the peak memory of
// the process (target 250 MB; the page-by-page runs come last, so the peak is the
// exports').

#include "benchsupport.h"
#include "compose/engine.h"
#include "compose/units.h"
#include "model/programfolders.h"
#include "output/PDFWriterCanvas.h"
#include "output/exportpage.h"
#include "output/flipcatalog.h"
#include "output/pagesource.h"
#include "output/pdfexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
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

double seconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

// The PDF export as it was before the pages were rendered in one run: one engine call per
// page, into the same writer.
void pdfPageByPage(pw::CatalogDocument& doc, pw::EngineEnvironment& env,
                   const pw::PdfExportSettings& settings, const QString& file) {
    const pw::PdfPageGeometry g = pw::PdfExportGeometry(doc.settings, settings);
    pw::TPDFCanvas pdf(settings.programFolder);
    pdf.usetempfileforimages = true;
    pdf.compressasCMYK = settings.cmyk;
    pdf.PageWidth = g.pageWidth;
    pdf.PageHeight = g.pageHeight;
    pdf.BeginDoc(file);
    QImage bitmap = pw::NewPageBitmap(QSize(g.bitmapWidth, g.bitmapHeight), file);
    pw::RenderPagesOneByOne(doc, 0, env, pw::PdfExportCall(doc.settings, settings), bitmap,
                            [&](int number, const QImage& rendered, bool) {
                                if (number > 1)
                                    pdf.NewPage();
                                pdf.DrawDIB(0, 0, pdf.PageWidth, pdf.PageHeight,
                                            pw::PagePicture(rendered, file), 0, 0, g.bitmapWidth,
                                            g.bitmapHeight);
                                return true;
                            });
    pdf.EndDoc();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTemporaryDir dir;
    const std::optional<pw::bench::PhotoFiles> photos = pw::bench::photosIn(dir.path(), "export_bench");
    if (!photos)
        return 1;
    const QString& a = photos->a;
    const QString& b = photos->b;
    pw::FixedClock clock(QDate(2026, 12, 10));
    pw::EngineEnvironment env(clock);
    pw::PdfExportSettings pdfSettings;
    pdfSettings.programFolder = QCoreApplication::applicationDirPath();
    pw::CatalogDocument doc;
    for (int k = 0; measuringRun(doc, env, pw::PdfExportCall(doc.settings, pdfSettings)) < kWantedPages; ++k)
        pw::bench::addCategory(doc, k, 10, a, b);
    const int pages = doc.anzpages;
    std::printf("export_bench: %d products on %d pages (layout 1)\n", doc.productCount(), pages);

    pw::NoProgress progress;
    double pdfSeconds[2] = {0, 0};
    for (int cmyk = 0; cmyk < 2; ++cmyk) {
        pdfSettings.cmyk = cmyk == 1;
        QElapsedTimer timer;
        timer.start();
        pw::ExportPdf(doc, 0, env, pdfSettings, dir.filePath(QStringLiteral("k.pdf")), progress);
        pdfSeconds[cmyk] = seconds(timer) / pages;
    }
    pw::FlipExportSettings flipSettings;
    flipSettings.zoomDpi = 0; // the base pictures alone; flip_bench measures the sharp pages
    const pw::ProgramFolders program(QStringLiteral(PW_PROGRAM_DIR), dir.filePath(QStringLiteral("user")));
    QElapsedTimer flipTimer;
    flipTimer.start();
    pw::ExportFlipCatalogue(doc, 0, env, flipSettings, program, dir.filePath(QStringLiteral("flip")),
                            pw::FlipTexts{}, progress);
    const double flipSeconds = seconds(flipTimer) / doc.anzpages;
    const long peak = pw::bench::peakMemoryMb();

    // The same with one engine call per page.
    double loopSeconds[2] = {0, 0};
    for (int cmyk = 0; cmyk < 2; ++cmyk) {
        pdfSettings.cmyk = cmyk == 1;
        QElapsedTimer timer;
        timer.start();
        pdfPageByPage(doc, env, pdfSettings, dir.filePath(QStringLiteral("loop.pdf")));
        loopSeconds[cmyk] = seconds(timer) / pages;
    }
    QImage small = pw::NewPageBitmap(QSize(413, 584), QString());
    QElapsedTimer loopFlip;
    loopFlip.start();
    pw::EngineCall flipCall =
        pw::ExportCall(50, small.size(), flipSettings.printerPixels, flipSettings.printerDpi);
    pw::RenderPagesOneByOne(doc, 0, env, flipCall, small, [&](int number, const QImage& rendered, bool) {
        pw::dib picture = pw::PagePicture(rendered, QString());
        pw::ShadePageEdges(picture, number);
        pw::SaveDib(picture, pw::FlipPageFile(dir.filePath(QStringLiteral("loop")), number, false),
                    pw::kFormatJpg);
        pw::TurnPageCorner(picture, number);
        pw::SaveDib(picture, pw::FlipPageFile(dir.filePath(QStringLiteral("loop")), number, true),
                    pw::kFormatJpg);
        return true;
    });
    const double loopFlipSeconds = seconds(loopFlip) / pages;

    std::printf("  PDF 300 dpi RGB:  %.3f s per page (target 0.25 s); one call per page: %.3f s\n",
                pdfSeconds[0], loopSeconds[0]);
    std::printf("  PDF 300 dpi CMYK: %.3f s per page (target 0.30 s); one call per page: %.3f s\n",
                pdfSeconds[1], loopSeconds[1]);
    std::printf("  flip catalogue 50 dpi: %.3f s per page (target 0.1 s); one call per page: %.3f s\n",
                flipSeconds, loopFlipSeconds);
    std::printf("  peak memory of the exports: %ld MB (target 250 MB)\n", peak);
    const bool met =
        pdfSeconds[0] < 0.25 && pdfSeconds[1] < 0.30 && flipSeconds < 0.1 && peak > 0 && peak < 250;
    std::printf("%s\n", met ? "all targets met" : "a target was missed");
    return 0;
}
