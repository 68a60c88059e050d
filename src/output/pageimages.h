#pragma once

// Page image export: every page rendered at a resolution and saved as a picture file named
// by page (bild.jpg gives bild1.jpg, bild2.jpg, ...), all pages or a range.

#include "compose/engine.h"
#include "imagelib/PicIO3.h"
#include "model/services.h"

#include <QSize>
#include <QString>

namespace pw {

struct ImageExportSettings {
    QSize printerPixels{4960, 7016}; // the printer's printable page
    int printerDpi = 600;            // its horizontal resolution, used for both sides
    int dpi = 150;                   // ResEd
    int quality = 95;                // JPEG quality, 100 - CompressEd
    bool allPages = true;
    int first = 1; // the range, when not all pages
    int last = 1;
    int format = kFormatJpg; // save format code (filter index + 2)
};

// The files' names: a name without extension gets the format's; the page number goes
// between base and extension.
QString PageImageName(const QString& name, int format, int page);

// The engine call for the pages (the page number still to set).
EngineCall ImageExportCall(const ImageExportSettings& settings);

// Renders every page (also those outside the range: the layout runs from the start) and
// saves the wanted ones. Returns false when cancelled; pages already written stay. Throws
// pw::Error: message 49 with the file name when a page cannot be written, a text when a
// page cannot be held in memory. Leaves anzpages.
bool ExportPageImages(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env,
                      const ImageExportSettings& settings, const QString& name, Progress& progress);

} // namespace pw
