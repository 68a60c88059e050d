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
// The bytes are decoded as DecodeCSVText (exchange/csvreader.h) says: a byte-order mark or
// well-formed UTF-8 selects Unicode, anything else is Windows-1252; a file holding NUL
// bytes is refused. Records are split at the delimiter of the options.
//
// An import is all or nothing: the whole file is read before the document is touched,
// and when anything fails on the way (or progress asks to stop) the document is left
// exactly as it was.

#include "exchange/csvreader.h"
#include "model/catalog.h"
#include "model/error.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

namespace pw {

class Progress;
class TranslationStore;

struct CsvImportOptions {
    // Start every product with a row of the template column captions.
    bool headerRow = false;
    // Width of the imported picture in cm ("BildBreitEd").
    double pictureWidth = 8;
    // The field delimiter: ';' (the format's own), ',' or '\t' (IsCSVDelimiter).
    QChar delimiter = kCsvSemicolon;
};

struct CsvImportResult {
    bool cancelled = false; // progress asked to stop; nothing was imported
    int products = 0;       // products added
    int categories = 0;     // categories added
    // The category to select afterwards: the one imported into, or the last one created
    // (-1 when the complete import created none).
    int selectedKat = -1;
    // Things the user should know although the import went through, each naming the file:
    // today only CSVDelimiterWarning, when the file looks split at another delimiter.
    std::vector<Error> warnings;
};

// Imports the records of `data` into category `kat`. Throws pw::Error{7} when `kat` is not
// a category of the document, and the error of DecodeCSVText when `data` is not text.
// `progress` may be null.
CsvImportResult ImportCSVData(CatalogDocument& doc, int kat, QByteArrayView data,
                              const CsvImportOptions& options, Progress* progress = nullptr);
// The same with the first column as the category name.
CsvImportResult ImportCSVDataComplete(CatalogDocument& doc, QByteArrayView data,
                                      const CsvImportOptions& options, Progress* progress = nullptr);

// The same from a file. A file that cannot be opened throws pw::Error{1, fname}; a read
// error, a file too large for memory or one that is not text throws an error naming the
// file. The document is
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
