#pragma once

// The commands of the menu "Bearbeiten" that work on many products at once. Each changes
// the document, marks it changed when it changed something, and records one undo step
// holding what it touched. Questions and messages are the front end's: these functions
// only do the work and report what happened.

#include "model/error.h"
#include "model/undo.h"

#include <QLocale>
#include <QString>

#include <vector>

namespace pw {

enum class PriceChange { IncreasePercent, DecreasePercent, IncreaseAmount, DecreaseAmount };

// Reads a cell as a number in `locale`'s notation (its decimal separator, no group
// separators, surrounding blanks allowed); false for anything else, infinities and NaN
// included.
bool readCellNumber(const QString& text, const QLocale& locale, double& value);
// A price as a cell shows it: fixed point with exactly 2 decimals in `locale`'s notation,
// without group separators.
QString formatPrice(double value, const QLocale& locale);

// What a price change did, for the front end to report.
struct PriceChangeResult {
    int changed = 0;  // price cells whose text changed
    int skipped = 0;  // non-blank price cells that are not numbers in the locale used
    int tooLarge = 0; // price cells whose result would not be finite (they keep their text)
};

// Changes every price cell of every product by `value` (a percentage or an amount). The
// price cells of a row are its last `anzpreis` cells counted back from its last non-empty
// cell; the header row (row 0) holds captions and is left alone. A cell that does not read
// as a number, or whose result would not be finite, stays as it is and is counted; a blank
// cell is no price and counts nowhere, nor does a number whose text comes out the same.
// So "changed 0, skipped N" means the cells are written in another notation than
// `locale`'s (German "49,00" read with a decimal point).
PriceChangeResult changeAllPrices(EditContext& ctx, PriceChange mode, double value, const QLocale& locale);

// Sorts the rows after the header row of every product by cell `column` (0-based; the
// dialog's "Spalte Nr." minus one) with an exchange sort. Two rows are compared only when
// both have a non-empty cell and a cell `column`; a cell in a price column compares as a
// number when both texts read as numbers in `locale`, every other cell as text, code unit
// by code unit. Returns the number of products whose order changed.
int sortAllVariants(EditContext& ctx, int column, const QLocale& locale);

// Sorts the products of every category by name with an exchange sort, comparing code unit
// by code unit after mapping only the letters a-z to capitals. Products keep their
// category. Returns the number of categories whose order changed.
int sortProductNames(EditContext& ctx);

// Writes `text` into cell (column, row) of every product's table through the grid's cell
// routine (which pads, trims and marks the document changed). Returns the number of
// products written.
int copyCellToAllProducts(EditContext& ctx, int column, int row, const QString& text);

// Appends to the product's category a copy of it: name, description, pictures (file and
// width), every row and cell, and `anzpreis`, with the default table settings and every
// flag off. Returns the new product's index, or -1 when there is no such product.
int duplicateProduct(EditContext& ctx, int kat, int prod);

// The text of a search as it is compared: only the letters a-z become capitals.
QString upperAsciiLetters(const QString& text);

struct SearchMatch {
    int kat = 0;
    int prod = 0;
};
// The products whose name (and with `inDescriptions` also whose description) contains
// `text`, ignoring case for a-z only, in category and product order. An empty text
// matches nothing.
std::vector<SearchMatch> searchProducts(const CatalogDocument& doc, const QString& text, bool inDescriptions);

// Replaces every occurrence of `find` by `replacement` (case-sensitive) in the first
// 100 x 100 cells of every product's table, writing each changed cell through the grid's
// cell routine in row order. An empty `find` matches nothing. Returns the number of cells
// written.
int replaceInAllTables(EditContext& ctx, const QString& find, const QString& replacement);

// Copies the category pictures and every product picture into `folder` (created with its
// parents) and points the references at the copies. A copy is named after its source;
// when that name is taken, the first free one of name0, name1, ... (before the extension)
// is used, so no existing file is ever overwritten. A copy that fails leaves no file
// behind and keeps its old reference; each failure is returned as message 45 with the
// source and the target, and for a source that is not a regular file (a device, FIFO or
// folder, which is never read) a third argument saying so. Sources are found as
// resolvePicturePath finds them for the document's file. Throws pw::Error when the folder
// cannot be created.
std::vector<Error> copyAllPictures(EditContext& ctx, const QString& folder);

// The target for a copy of `source` in `folder`: folder/<base><ext>, else the first free
// folder/<base><n><ext>, n = 0, 1, 2, ...
QString pictureCopyTarget(const QString& folder, const QString& source);

} // namespace pw
