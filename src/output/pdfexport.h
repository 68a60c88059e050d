#pragma once

// The PDF export: every page rendered by the layout engine into a bitmap at the PDF
// resolution, each bitmap one full-page picture of a PDF page. The pages hold pictures
// only, no text objects. Each page goes from the bitmap to the writer's compression buffer
// in one pass, and is compressed while the next page renders.

#include "compose/engine.h"
#include "model/services.h"

#include <QSize>
#include <QString>

namespace pw {

struct PdfExportSettings {
    QSize printerPixels{4960, 7016}; // the printer's printable page
    int printerDpi = 600;            // its horizontal resolution, used for both sides
    int dpi = 300;                   // rendering resolution (whole part of DPIEd)
    bool cmyk = true;                // PDFDateienmitCMYKFarbenausgeben1
    QString programFolder;           // where an optional CMYK profile lives
    bool predictor = false;          // smaller pictures with the PNG "Up" predictor, same pixels
};

// The sizes an export works with: the PDF page in points, the rendered page in pixels and
// the page in millimetres that the engine lays out (always the printer's).
struct PdfPageGeometry {
    int pageWidth = 0; // points
    int pageHeight = 0;
    int bitmapWidth = 0; // pixels
    int bitmapHeight = 0;
    double widthmm = 0;
    double heightmm = 0;
};
PdfPageGeometry PdfExportGeometry(const LayoutSettings& s, const PdfExportSettings& e);
// The engine call for those pages (the page number still to set).
EngineCall PdfExportCall(const LayoutSettings& s, const PdfExportSettings& e);

// Writes the catalogue in layout layoutCombo (0..7) to file, replacing it only when the
// whole document is written. Progress is reported per page (the total is the page count of
// the previous layout run); a cancel returns false. Throws pw::Error: message 49 with the
// file name when the file cannot be created or written, a text naming a temporary picture
// file that cannot be written or read back, or a text naming the page size when a page
// cannot be held in memory. On a cancel or an error the file that was there before is left
// untouched, and no temporary file remains. Leaves anzpages.
bool ExportPdf(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env,
               const PdfExportSettings& settings, const QString& file, Progress& progress);

} // namespace pw
