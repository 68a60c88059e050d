#pragma once

// The vector PDF export: the pages of the PDF export drawn as text, paths and pictures
// instead of one full-page picture each (see vectorpdf.h). The layout is the raster
// export's: the same engine call at the same resolution, so the pages break alike and the
// page count is the same.
//
// Beside the pages it writes the navigation a reader expects: a bookmark for every
// category that is not switched off, with its products below it (the categories after a
// main category below that one), links from every line of a table of contents to its
// page, page labels counted from FirstPageNr, the header text as the title and the program
// with its version as the creator.

#include "output/pdfexport.h"

namespace pw {

// Writes the catalogue in layout layoutCombo (0..7) as a vector PDF to file, replacing it
// only when the whole document is written. Progress, cancel, errors and the state left in
// the document are those of ExportPdf.
bool ExportVectorPdf(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env,
                     const PdfExportSettings& settings, const QString& file, Progress& progress);

// The bookmarks of a laid-out catalogue (the pages its last layout run left), with the
// page indexes counted from 0 for the first page.
std::vector<struct PdfBookmark> CatalogueBookmarks(const CatalogDocument& doc);

// The document title: the header text with its page number and category left out, and a
// separator left standing at its end.
QString DocumentTitle(const CatalogDocument& doc, const EngineEnvironment& env);

} // namespace pw
