#pragma once

// Printing: every page, or one page, drawn straight onto the printer's sheets by the
// layout engine of the chosen layout, at the printer's resolution. The printer is the
// front end's (a real one, a PDF file, a preview); this only drives it.

#include "compose/engine.h"
#include "model/services.h"

#include <QString>

namespace pw {

class CatalogDocument;

// The engine call for a printer's sheet: its page in pixels at its horizontal resolution
// (used for both sides), zoom 100, drawn as for printing, the page in millimetres
// (pixels / resolution * 25.39995). The page number is still to set.
EngineCall PrintCall(const PrinterPage& printer);

// Prints pages 1 to the last (onlyPage 0) or page `onlyPage` alone, one sheet each, in a
// job titled `title` (message 21). Progress counts sheets; the total of all pages is the
// page count of the previous layout run. A cancel aborts the job, so that no part of it
// is printed, and returns false. Throws pw::Error (message 49 with the title) when the
// printer refuses the job or a sheet, aborting the job. Printing all pages leaves
// anzpages at the last page printed; one page leaves it as it was.
bool PrintCatalogue(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, PrinterPage& printer,
                    const QString& title, int onlyPage, Progress& progress);

} // namespace pw
