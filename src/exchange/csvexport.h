#pragma once

// The CSV export: one line per product, in the format the product imports read back.
//
// A line holds, each enclosed in double quotes and separated by semicolons: the caption of
// the product's category (only when every category is exported), the name, the
// description, the file of the first picture (empty without one), then for every variant
// row T fields, T being the number of template columns: the row's first T cells, empty
// ones where the row is shorter. Carriage returns and line feeds are written as \r and \n,
// double quotes doubled; a backslash is written as it is. Lines end with CR LF; the text
// is Windows-1252 with "?" for every character it cannot hold. Deactivated products are
// exported too; a category without products writes no line.

#include "model/catalog.h"

#include <QByteArray>
#include <QString>

namespace pw {

class Progress;

// Exports every category, with its caption in the first column.
constexpr int kAllCategories = -1;

// One field of a line: the text escaped and enclosed in double quotes.
QString CSVExportField(const QString& text);

// The bytes of the export of category `kat`, or of every category with kAllCategories.
// Throws pw::Error{37} for any other index outside the document (no category chosen).
QByteArray CSVExportImage(const CatalogDocument& doc, int kat);

// Writes the export to `path` atomically: into a temporary file in the same folder that is
// renamed over the target only when it is complete. Throws pw::Error{34, path} when the file
// cannot be written (an existing file is then untouched) and pw::Error{37} as above.
// `progress` (may be null) counts products; when it asks to stop, nothing is written and
// false is returned.
bool ExportCSVFile(const CatalogDocument& doc, int kat, const QString& path, Progress* progress = nullptr);

} // namespace pw
