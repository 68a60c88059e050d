#pragma once

// The CSV category import: every record names a category and sets its options.
//
// Columns: 1 the category name, 2 the introduction text, 3 the picture file, 4 the picture
// width in cm (a decimal number written with the user's decimal separator; missing or
// unreadable gives 3), 5 to 15 the options BildUnterName (1 for "true", else 0),
// TextUnterBild, NoNeedForNewPage, InhaltsVerzeichnis, ErstesAufneuerSeite,
// ShowOnlyPicture, UseAsBackgroundPic, DoNotListinInhalt, Unterkategorien,
// ListAllKategoires and Deactivate, each set only by exactly "true" (True, 1 or a missing
// column mean off). Later columns are ignored.
//
// The first category whose name equals column 1 (case-sensitive) gets these fields set in
// its options record (a new, zero-filled one when it has none; its other fields stay).
// Any other name appends a new empty category with a zero-filled record carrying them.
// Records without fields (blank lines) are skipped. The bytes are decoded and split as by
// the product imports (DecodeCSVText; the delimiter is the caller's choice). Like them, it
// is all or nothing: on any failure the document is left as it was.

#include "exchange/csvreader.h"
#include "model/catalog.h"
#include "model/error.h"

#include <QByteArrayView>
#include <QLocale>
#include <QString>

#include <vector>

namespace pw {

class TranslationStore;

// The picture width of a record whose column 4 is missing or cannot be read.
constexpr double kImportedCategoryPictureWidth = 3;

struct CategoryImportResult {
    int created = 0;      // categories appended
    int updated = 0;      // records that set the options of an existing category
    int selectedKat = -1; // the last category appended (the one to select), -1 for none
    // Warnings that name the file (CSVDelimiterWarning); the import went through.
    std::vector<Error> warnings;
};

// The width of column 4: a number in `locale`'s notation without group separators
// (surrounding spaces allowed); 3 when the text is empty, unreadable or not finite.
double CategoryPictureWidth(const QString& field, const QLocale& locale);

// Imports the records of `data`, split at `delimiter` (IsCSVDelimiter, else an error);
// numbers are read in `locale`. Data that is not text throws the error of DecodeCSVText.
CategoryImportResult ImportCSVDataCategories(CatalogDocument& doc, QByteArrayView data, const QLocale& locale,
                                             QChar delimiter = kCsvSemicolon);

// The same from a file. A file that cannot be opened throws pw::Error{1, fname}; the
// document is unchanged whenever an error is thrown.
CategoryImportResult ImportCSVFileCategories(CatalogDocument& doc, const QString& fname,
                                             const QLocale& locale, QChar delimiter = kCsvSemicolon);

// The explanation that "Informationen zum Kategorien Import Dateiformat..." shows:
// messages 52 to 57 joined with single spaces, two carriage returns and a space, then
// message 58 (an example record). Its caption is message 6 (ImportInfoCaption).
QString CategoryImportFormatInfoText(TranslationStore& texts);

} // namespace pw
