#pragma once

// Editing the variant table of one product as the window's 100 x 100 grid does, the
// product's own table settings, and the template column list.
//
// Grid cell (column c, row r) shows cell c of variant row r; cells beyond the table show
// empty. Every change the grid makes reaches the model through StringGrid1SetEditText,
// which pads the table to the written cell and trims it afterwards; the row and column
// commands write each cell they change through it, in the order they visit the cells,
// because the padding depends on the table's shape at each write.
//
// A command takes the category and product it works on; when either does not exist (no
// product selected) it does nothing and returns false. Each command that changes the
// product marks the document changed and records one undo step.

#include "model/undo.h"

#include <QString>
#include <QStringList>

#include <array>
#include <set>
#include <vector>

namespace pw {

constexpr int kGridSize = 100;

// The row and column clipboards of the grid. They belong to the running program, not the
// document: a row copied from one product can be pasted into another. Both start empty.
struct GridClipboard {
    QStringList kopiezeile;  // the copied row, grid columns 0..99
    QStringList kopiespalte; // the copied column, grid rows 0..99
};

// Product `prod` of category `kat`, or nullptr when there is no such product.
TProdukt* findProduct(CatalogDocument& doc, int kat, int prod);
const TProdukt* findProduct(const CatalogDocument& doc, int kat, int prod);
// The texts of a table, row by row: what an undo step keeps of it. (A copy of the table
// itself would hold room for 100 rows and 100 cells per row.)
using TableTexts = std::vector<QStringList>;
TableTexts tableTexts(const TDynaArray<TVariante>& rows);
void setTableTexts(TDynaArray<TVariante>& rows, const TableTexts& texts);
// About the memory the texts hold, for the undo budget.
qint64 tableBytes(const TableTexts& texts);
// Records the change of one product's table from `before` to its table now; `mergeKey` as
// for EditContext::record.
void recordTableChange(EditContext& ctx, const QString& caption, int kat, int prod, TableTexts before,
                       const QString& mergeKey = QString());

// The raw cell routine on one table, without history: appends rows up to `row`, pads every
// row with at most `column` cells to one more than the larger of `column` and the longest
// row, sets the text and trims the table.
void SetVariantCell(TDynaArray<TVariante>& rows, int column, const QString& text, int row);

// The cell routine of the grid for product `prod` of category `kat`: SetVariantCell, then
// the document is marked changed (even when the text was already there). Columns and rows
// are grid positions, 0..99; others throw pw::Error. The keystrokes typed into one cell
// merge into one undo step until the history is sealed (the cell editor closes).
bool StringGrid1SetEditText(EditContext& ctx, int kat, int prod, int column, const QString& text, int row);

// Pastes tab-separated text (rows on lines, cells split by tabs, as spreadsheets copy a
// range) with its top-left cell at grid column `column`, row `row`: every cell goes through
// the cell routine, row by row; cells beyond the grid are dropped. One undo step. Returns
// false when nothing was pasted.
bool pasteGridText(EditContext& ctx, int kat, int prod, int column, int row, const QString& text);
// The texts of the grid range from (left, top) to (right, bottom) as tab-separated lines.
QString copyGridText(const CatalogDocument& doc, int kat, int prod, int left, int top, int right, int bottom);

// The grid's view of a table: the first 100 x 100 texts, empty beyond the table.
class GridTexts {
public:
    explicit GridTexts(const TDynaArray<TVariante>& rows);
    QString& at(int column, int row) { return m_cells[std::size_t(row * kGridSize + column)]; }
    const QString& at(int column, int row) const { return m_cells[std::size_t(row * kGridSize + column)]; }

private:
    std::vector<QString> m_cells;
};

// The context menu of the grid at column x / row y (0..99). Deleting moves the following
// columns (rows) one back and empties the last; inserting moves them one on, dropping the
// content of column (row) 99, and empties x (y); the pastes insert and then fill the new
// column (row) from the clipboard. Nothing is asked.
bool deleteGridColumn(EditContext& ctx, int kat, int prod, int x);
bool insertGridColumn(EditContext& ctx, int kat, int prod, int x);
bool deleteGridRow(EditContext& ctx, int kat, int prod, int y);
bool insertGridRow(EditContext& ctx, int kat, int prod, int y);
// The copies fill the clipboard only; the document does not change.
bool copyGridColumn(const CatalogDocument& doc, int kat, int prod, int x, GridClipboard& clip);
bool copyGridRow(const CatalogDocument& doc, int kat, int prod, int y, GridClipboard& clip);
bool pasteGridColumn(EditContext& ctx, int kat, int prod, int x, const GridClipboard& clip);
bool pasteGridRow(EditContext& ctx, int kat, int prod, int y, const GridClipboard& clip);

// The product's own table settings, as the dialog "Tabellen Einstellungen..." shows them.
// Lengths in mm, 0..1000.
ProductTableSettings productTableSettings(const TProdukt& p);
// Writes the settings into the product. A length outside 0..1000 mm throws pw::Error and
// changes nothing. The document is marked changed when a value differs from before.
bool setProductTableSettings(EditContext& ctx, int kat, int prod, const ProductTableSettings& s);

// The template column list (the header row of new products), which the catalogue file
// stores: each edit is an undo step and marks the document changed. Each returns false
// when it does nothing.
int addTemplateColumn(EditContext& ctx); // appends "", returns its index
bool editTemplateColumn(EditContext& ctx, int i, const QString& caption);
bool moveTemplateColumnUp(EditContext& ctx, int i);   // not the first
bool moveTemplateColumnDown(EditContext& ctx, int i); // not the last
bool deleteTemplateColumns(EditContext& ctx, const std::set<int>& selected);
// "Vorlage öffnen...": replaces the whole list by the lines of a template file (.vor).
// Throws pw::Error naming the file when it cannot be read; the list is then unchanged.
// Returns false when the file holds the list as it is.
bool loadTemplateColumns(EditContext& ctx, const QString& path);

} // namespace pw
