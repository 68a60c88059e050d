#pragma once

// The CSV product imports: every record of a file becomes a product.
//
// ImportCSVFile adds the products to one category. Its columns are the name, the
// description, the file of the product's one picture, then the variant cells, T per row
// (T = the number of template columns). ImportCSVFileComplete reads the category name
// from an extra first column and appends a new category whenever the name differs from
// the previous record's, so A, A, B, A give the categories A, B, A.
//
// Every imported product gets: one picture of the given width (also when its file name is
// empty), anzpreis from PreDefAnzPreisEd, the table defaults, all flags off; with the
// header option first a row of the template captions. Data rows take T cells each until
// a row meets a missing column, which is filled with empty cells; so when the columns end
// exactly at the end of a row, one more row of T empty cells follows. With no template
// columns there are no data rows. Records whose fields are all empty are skipped.
//
// An import is all or nothing: the whole file is read before the document is touched,
// and when anything fails on the way (or progress asks to stop) the document is left
// exactly as it was.

#include "model/catalog.h"

#include <QByteArrayView>
#include <QString>

namespace pw {

class Progress;
class TranslationStore;

struct CsvImportOptions {
    // Start every product with a row of the template column captions.
    bool headerRow = false;
    // Width of the imported picture in cm ("BildBreitEd").
    double pictureWidth = 8;
};

struct CsvImportResult {
    bool cancelled = false; // progress asked to stop; nothing was imported
    int products = 0;       // products added
    int categories = 0;     // categories added
    // The category to select afterwards: the one imported into, or the last one created
    // (-1 when the complete import created none).
    int selectedKat = -1;
};

// Imports the records of `data` (Windows-1252) into category `kat`. Throws pw::Error{7}
// when `kat` is not a category of the document. `progress` may be null.
CsvImportResult ImportCSVData(CatalogDocument& doc, int kat, QByteArrayView data,
                              const CsvImportOptions& options, Progress* progress = nullptr);
// The same with the first column as the category name.
CsvImportResult ImportCSVDataComplete(CatalogDocument& doc, QByteArrayView data,
                                      const CsvImportOptions& options, Progress* progress = nullptr);

// The same from a file. A file that cannot be opened throws pw::Error{1, fname}; a read
// error or a file too large for memory throws an error naming the file. The document is
// unchanged whenever an error is thrown.
CsvImportResult ImportCSVFile(CatalogDocument& doc, int kat, const QString& fname,
                              const CsvImportOptions& options, Progress* progress = nullptr);
CsvImportResult ImportCSVFileComplete(CatalogDocument& doc, const QString& fname,
                                      const CsvImportOptions& options, Progress* progress = nullptr);

// The explanation of the import format that "Informationen zum Import Dateiformat..." shows
// (messages 4 and 5 one after the other) and its caption (message 6).
QString ImportFormatInfoText(TranslationStore& texts);
QString ImportInfoCaption(TranslationStore& texts);

} // namespace pw
