#include "pdfexport.h"

#include "compose/units.h"
#include "imagelib/PicIO3.h"
#include "model/error.h"
#include "output/PDFWriterCanvas.h"
#include "output/exportpage.h"
#include "output/pagesource.h"

#include <QImage>

namespace pw {

namespace {

constexpr double kPointsPerInch = 72;

} // namespace

PdfPageGeometry PdfExportGeometry(const LayoutSettings& s, const PdfExportSettings& e) {
    PdfPageGeometry g;
    const double r = e.printerDpi;
    const double margin = s.PDFRandEd * 2 * kPointsPerInch / kMmPerInch;
    if (s.SetPDFSizeCheck) {
        g.pageWidth = Trunc(s.PDFWidthEd * kPointsPerInch / kMmPerInch + margin);
        g.pageHeight = Trunc(s.PDFHeightED * kPointsPerInch / kMmPerInch + margin);
    } else {
        g.pageWidth = Trunc(e.printerPixels.width() * kPointsPerInch / r + margin);
        g.pageHeight = Trunc(e.printerPixels.height() * kPointsPerInch / r + margin);
    }
    if (s.SetPDFSizeCheck && !s.ZerrePDFCheck) {
        const double extra = s.PDFRandEd * 2 * e.dpi / kMmPerInch;
        g.bitmapWidth = Trunc(s.PDFWidthEd * e.dpi / kMmPerInch + extra);
        g.bitmapHeight = Trunc(s.PDFHeightED * e.dpi / kMmPerInch + extra);
    } else {
        g.bitmapWidth = int(qint64(e.printerPixels.width()) * e.dpi / e.printerDpi);
        g.bitmapHeight = int(qint64(e.printerPixels.height()) * e.dpi / e.printerDpi);
    }
    g.widthmm = PxToMm(e.printerPixels.width(), e.printerDpi);
    g.heightmm = PxToMm(e.printerPixels.height(), e.printerDpi);
    return g;
}

EngineCall PdfExportCall(const LayoutSettings& s, const PdfExportSettings& e) {
    const PdfPageGeometry g = PdfExportGeometry(s, e);
    return ExportCall(e.dpi, QSize(g.bitmapWidth, g.bitmapHeight), e.printerPixels, e.printerDpi);
}

bool ExportPdf(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env,
               const PdfExportSettings& settings, const QString& file, Progress& progress) {
    const PdfPageGeometry g = PdfExportGeometry(doc.settings, settings);
    TPDFCanvas pdf(settings.programFolder);
    pdf.usetempfileforimages = true;
    pdf.compressInBackground = true; // the next page renders while this one is compressed
    pdf.compressasCMYK = settings.cmyk;
    pdf.usePredictor = settings.predictor;
    pdf.PageWidth = g.pageWidth;
    pdf.PageHeight = g.pageHeight;
    if (!pdf.BeginDoc(file))
        throw Error(49, file);
    // Whatever ends the export early leaves the previous file as it was and nothing else.
    auto abandon = [&] { pdf.AbortDoc(); };
    const int expected = std::max(1, doc.anzpages);
    int last = 0;
    try {
        QImage bitmap = NewPageBitmap(QSize(g.bitmapWidth, g.bitmapHeight), file);
        if (!progress.report(0, expected)) {
            abandon();
            return false;
        }
        const auto page = [&](int number, const QImage& rendered, bool more) {
            if (number > 1)
                pdf.NewPage();
            pdf.DrawPageImage(0, 0, pdf.PageWidth, pdf.PageHeight, rendered);
            last = number;
            return progress.report(number, std::max(expected, number + (more ? 1 : 0)));
        };
        if (!RenderPages(doc, layoutCombo, env, PdfExportCall(doc.settings, settings), bitmap, page)) {
            abandon();
            return false;
        }
        pdf.EndDoc();
    } catch (...) {
        abandon();
        throw;
    }
    doc.anzpages = last;
    return true;
}

} // namespace pw
