#pragma once

// The catalogue check: what will look wrong in print, found before printing. It looks at
// the catalogue as a catalogue (products, prices, article numbers, pictures, categories)
// and lays it out once with the chosen layout, through the same layout run the exports
// make, to see names and cells that are too narrow, descriptions that break across pages
// and the size each picture is printed at.
//
// The check works on a copy: the document it is given stays exactly as it was (not even
// the page numbers and picture sizes a layout run leaves are written back). Pictures are
// read from their files afresh, so a picture that moved since the last run is found.
// Findings are listed category by category and product by product in catalogue order,
// settings first; each has a kind from the kind table below, and a message in the
// language of the translation store.

#include "compose/engine.h"
#include "model/catalog.h"
#include "model/services.h"

#include <QLocale>
#include <QSize>
#include <QString>

#include <vector>

namespace pw {

class TranslationStore;

enum class Severity { Error, Warning, Note };

// Every kind of finding. The order is the order of the kind table.
enum class FindingKind {
    PictureMissing,          // a product or category picture file that is not there
    PictureUnreadable,       // there, but not a picture this program reads (damaged, unknown format)
    LogoOrBackgroundMissing, // the logo or a background picture cannot be read: pages print without it
    PictureResolutionLow,    // a picture printed at under kGoodDpi, and under the PDF resolution
    PictureResolutionPoor,   // the same under kPoorDpi
    PdfResolutionLow,        // the PDF resolution itself under kGoodDpi: every picture is held to it
    PriceMissing,            // a table with price columns and no price cell holding a number
    PriceNotNumber,          // a filled price cell that is not a number in the check's locale
    ArticleNumberTwice,      // the same article number in two products
    NameBrokenInWord,        // a product name broken inside a word: the line is too narrow
    CellCut,                 // a cell's text runs past its column (no line breaks in cells)
    CellBrokenInWord,        // a cell's text broken inside a word (line breaks in cells)
    DescriptionSplit,        // a description continued on the next page while page breaks are off
    CategoryEmpty,           // a heading with nothing below it: no products, no sub-category
    DeactivatedStillListed,  // a deactivated main category whose sub-categories the contents still list
    CategoryAllDeactivated,  // an active category whose products are all deactivated
    PlaceholderUnknown,      // a "%WORD%" in a header or footer that is no placeholder
    CellOutsideGrid,         // text in the variant table beyond the editor's 100 x 100 cells
};

// One row of the kind table: the name scripts see, the severity, and the German message
// with %1, %2, ... for the arguments a finding of that kind carries.
struct FindingKindInfo {
    FindingKind kind;
    const char* name;
    Severity severity;
    const char* message;
};

// The whole table, in the order of FindingKind.
const std::vector<FindingKindInfo>& findingKinds();
const FindingKindInfo& findingKindInfo(FindingKind kind);
// "error", "warning", "note".
const char* severityName(Severity severity);

// Effective resolutions below these (dots per inch) give a warning and an error. A picture
// is printed at the lower of its own resolution at its printed width and the PDF
// resolution. Where the PDF resolution is the lower, the picture could not do better: the
// setting is reported once (a warning, as the resolution is a choice) instead of every
// picture.
constexpr double kGoodDpi = 150;
constexpr double kPoorDpi = 96;

struct Finding {
    FindingKind kind = FindingKind::PictureMissing;
    int kat = -1;     // category index, -1 when the finding names none
    QString category; // its name
    int index = -1;   // product index within the category, -1 when the finding names none
    QString product;  // its name
    int page = 0;     // page number as printed (FirstPageNr counts the first page), 0: none
    QString message;  // in the store's language
    // What the finding points at inside the product or the settings, for the window.
    int picture = -1; // picture index of the product
    int row = -1;     // variant row (0 is the header row)
    int column = -1;  // variant cell
    QString setting;  // the setting's field name (KopfEd, FussEd, ..., DPIEd for the PDF resolution)

    Severity severity() const { return findingKindInfo(kind).severity; }
};

struct CheckOptions {
    int layout = 0; // LayoutCombo index 0..7
    // The page of the PDF export (the printer's page) and its resolution: pictures are
    // printed at no more than pdfDpi. A check before printing gives the printer's.
    QSize printerPixels{4960, 7016};
    int printerDpi = 600;
    int pdfDpi = 300;
    // Price cells are numbers in this locale: digits with its group separators in groups of
    // three, its decimal separator, an optional sign and currency.
    QLocale locale = QLocale(QLocale::German, QLocale::Germany);
    ViewState view;
};

// Checks `doc` (which stays untouched). `clock` gives "%DATE%" for the run. Throws nothing
// for a catalogue the program can open; findings say what is wrong.
std::vector<Finding> checkCatalogue(const CatalogDocument& doc, const CheckOptions& options,
                                    const Clock& clock, TranslationStore& texts);

// Whether any finding is an error.
bool hasErrors(const std::vector<Finding>& findings);

// Whether `text` is a price number in `locale` (see CheckOptions::locale). Surrounding
// blanks, a cell's colour suffix and the locale's currency symbol, its ISO code or "€" are
// ignored.
bool isPriceNumber(const QString& text, const QLocale& locale);

// The effective resolution of a picture `pixelWidth` pixels wide printed `widthMm` wide,
// in a PDF rendered at `pdfDpi`: the lower of the two.
double effectiveDpi(int pixelWidth, double widthMm, int pdfDpi);

} // namespace pw
