#pragma once

// The price list: every product's name followed by its variant table as text columns
// aligned with spaces across the whole catalogue, set in a fixed-pitch font.

#include "model/catalog.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

class QTextDocument;

namespace pw {

struct PriceListLine {
    enum class Kind { Title, Name, Row, Empty };
    Kind kind;
    QString text;
};

// The lines: the title and an empty line, then for every product (deactivated ones too)
// its name, one line per variant row (each cell padded to its column's width and followed
// by a blank; rows without cells are left out) and an empty line. A column is as wide as
// its widest cell anywhere in the catalogue; positions beyond 1000 are 20 wide.
QList<PriceListLine> PriceListLines(const CatalogDocument& doc, const QString& title);

// The lines as plain text, one per line.
QString PriceListText(const QList<PriceListLine>& lines);

// The lines as a rich-text document in "Courier New": the title bold at 14 points, names
// bold and rows regular at 10 points, all black.
std::unique_ptr<QTextDocument> PriceListDocument(const QList<PriceListLine>& lines);

// Prints the document into a PDF file on the printer page with half an inch of margin on
// every side; false when the file cannot be written (the old file is then untouched).
bool PrintPriceList(QTextDocument& document, const QString& file, QSize printerPixels, int printerDpi,
                    const QString& title);

} // namespace pw
