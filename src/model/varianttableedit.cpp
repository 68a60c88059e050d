#include "varianttableedit.h"

#include "model/vorlage.h"

#include <algorithm>
#include <cmath>

#include <utility>

namespace pw {

TProdukt* findProduct(CatalogDocument& doc, int kat, int prod) {
    if (kat < 0 || kat >= doc.categoryCount())
        return nullptr;
    TProduktListe& list = doc.products(kat);
    return (prod >= 0 && prod < list.count()) ? &list[prod] : nullptr;
}

const TProdukt* findProduct(const CatalogDocument& doc, int kat, int prod) {
    return findProduct(const_cast<CatalogDocument&>(doc), kat, prod);
}

TableTexts tableTexts(const TDynaArray<TVariante>& rows) {
    TableTexts texts;
    texts.reserve(std::size_t(rows.count()));
    for (const TVariante& v : rows) {
        QStringList cells;
        cells.reserve(v.props.count());
        for (const TProp& cell : v.props)
            cells.append(cell.text);
        texts.push_back(std::move(cells));
    }
    return texts;
}

void setTableTexts(TDynaArray<TVariante>& rows, const TableTexts& texts) {
    rows.Clear();
    for (const QStringList& cells : texts) {
        TVariante* v = rows.Add();
        for (const QString& text : cells)
            v->props.Add()->text = text;
    }
}

qint64 tableBytes(const TableTexts& texts) {
    qint64 bytes = qint64(sizeof(TableTexts));
    for (const QStringList& cells : texts) {
        bytes += qint64(sizeof(QStringList));
        for (const QString& text : cells)
            bytes += qint64(sizeof(QString)) + 2 * text.size();
    }
    return bytes;
}

void recordTableChange(EditContext& ctx, const QString& caption, int kat, int prod, TableTexts before,
                       const QString& mergeKey) {
    TableTexts after = tableTexts(findProduct(ctx.doc, kat, prod)->varianten);
    const qint64 bytes = tableBytes(before) + tableBytes(after);
    ctx.record(
        caption,
        [kat, prod, before = std::move(before)](CatalogDocument& d) {
            if (TProdukt* p = findProduct(d, kat, prod))
                setTableTexts(p->varianten, before);
        },
        [kat, prod, after = std::move(after)](CatalogDocument& d) {
            if (TProdukt* p = findProduct(d, kat, prod))
                setTableTexts(p->varianten, after);
        },
        bytes, {DocumentChange::variantTable(kat, prod)}, mergeKey);
}

void SetVariantCell(TDynaArray<TVariante>& rows, int column, const QString& text, int row) {
    while (rows.count() <= row)
        rows.Add();
    int longest = 0;
    for (const TVariante& v : rows)
        longest = std::max(longest, v.props.count());
    const int width = std::max(column, longest) + 1;
    for (TVariante& v : rows) {
        if (v.props.count() <= column) {
            while (v.props.count() < width)
                v.props.Add();
        }
    }
    rows[row].props[column].text = text;
    TrimVariantTable(rows);
}

namespace {

void checkGridCell(int column, int row) {
    if (column < 0 || column >= kGridSize || row < 0 || row >= kGridSize)
        throw Error::format(QStringLiteral("Die Zelle (%1, %2) liegt außerhalb der Tabelle (0 bis 99)"),
                            {QString::number(column), QString::number(row)});
}

// Runs one command of the context menu on a copy of the grid: `visit` gets the grid and a
// writer that stores a text in the grid and, when it differs from what the grid showed,
// writes it to the model through the cell routine. One undo step covers the command.
template <class Visit>
bool gridCommand(EditContext& ctx, int kat, int prod, int index, const QString& caption, Visit visit) {
    TProdukt* p = findProduct(ctx.doc, kat, prod);
    if (!p)
        return false;
    checkGridCell(index, index);
    TableTexts before = tableTexts(p->varianten);
    GridTexts grid(p->varianten);
    bool wrote = false;
    auto put = [&](int column, int row, const QString& text) {
        if (grid.at(column, row) == text)
            return;
        grid.at(column, row) = text;
        SetVariantCell(p->varianten, column, text, row);
        wrote = true;
    };
    visit(grid, put);
    if (wrote)
        recordTableChange(ctx, caption, kat, prod, std::move(before));
    return true;
}

template <class Put> void insertColumn(GridTexts& grid, Put& put, int x) {
    for (int r = 0; r < kGridSize; ++r) {
        for (int c = kGridSize - 2; c >= x; --c)
            put(c + 1, r, QString(grid.at(c, r)));
        put(x, r, QString());
    }
}

template <class Put> void insertRow(GridTexts& grid, Put& put, int y) {
    for (int c = 0; c < kGridSize; ++c) {
        for (int r = kGridSize - 2; r >= y; --r)
            put(c, r + 1, QString(grid.at(c, r)));
        put(c, y, QString());
    }
}

} // namespace

GridTexts::GridTexts(const TDynaArray<TVariante>& rows) : m_cells(std::size_t(kGridSize * kGridSize)) {
    for (int r = 0; r < std::min(rows.count(), kGridSize); ++r) {
        const TDynaArray<TProp>& cells = rows[r].props;
        for (int c = 0; c < std::min(cells.count(), kGridSize); ++c)
            at(c, r) = cells[c].text;
    }
}

bool StringGrid1SetEditText(EditContext& ctx, int kat, int prod, int column, const QString& text, int row) {
    TProdukt* p = findProduct(ctx.doc, kat, prod);
    if (!p)
        return false;
    checkGridCell(column, row);
    TableTexts before = tableTexts(p->varianten);
    SetVariantCell(p->varianten, column, text, row);
    recordTableChange(ctx, QStringLiteral("Zelle bearbeiten"), kat, prod, std::move(before),
                      QStringLiteral("cell/%1/%2/%3/%4").arg(kat).arg(prod).arg(column).arg(row));
    return true;
}

bool pasteGridText(EditContext& ctx, int kat, int prod, int column, int row, const QString& text) {
    TProdukt* p = findProduct(ctx.doc, kat, prod);
    if (!p)
        return false;
    checkGridCell(column, row);
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end after the last row starts no row of its own
    if (lines.isEmpty())
        return false;
    TableTexts before = tableTexts(p->varianten);
    for (qsizetype r = 0; r < lines.size() && row + r < kGridSize; ++r) {
        QString line = lines[r];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringList cells = line.split(QLatin1Char('\t'));
        for (qsizetype c = 0; c < cells.size() && column + c < kGridSize; ++c)
            SetVariantCell(p->varianten, int(column + c), cells[c], int(row + r));
    }
    recordTableChange(ctx, QStringLiteral("Einfügen"), kat, prod, std::move(before));
    return true;
}

QString copyGridText(const CatalogDocument& doc, int kat, int prod, int left, int top, int right,
                     int bottom) {
    const TProdukt* p = findProduct(doc, kat, prod);
    if (!p)
        return {};
    QStringList lines;
    for (int r = top; r <= bottom; ++r) {
        QStringList cells;
        for (int c = left; c <= right; ++c) {
            const bool inside =
                r >= 0 && r < p->varianten.count() && c >= 0 && c < p->varianten[r].props.count();
            cells.append(inside ? p->varianten[r].props[c].text : QString());
        }
        lines.append(cells.join(QLatin1Char('\t')));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool deleteGridColumn(EditContext& ctx, int kat, int prod, int x) {
    return gridCommand(ctx, kat, prod, x, QStringLiteral("Spalte löschen"), [x](GridTexts& grid, auto& put) {
        for (int r = 0; r < kGridSize; ++r) {
            for (int c = x; c < kGridSize - 1; ++c)
                put(c, r, QString(grid.at(c + 1, r)));
            put(kGridSize - 1, r, QString());
        }
    });
}

bool insertGridColumn(EditContext& ctx, int kat, int prod, int x) {
    return gridCommand(ctx, kat, prod, x, QStringLiteral("Spalte einfügen"),
                       [x](GridTexts& grid, auto& put) { insertColumn(grid, put, x); });
}

bool deleteGridRow(EditContext& ctx, int kat, int prod, int y) {
    return gridCommand(ctx, kat, prod, y, QStringLiteral("Zeile löschen"), [y](GridTexts& grid, auto& put) {
        for (int c = 0; c < kGridSize; ++c) {
            for (int r = y; r < kGridSize - 1; ++r)
                put(c, r, QString(grid.at(c, r + 1)));
            put(c, kGridSize - 1, QString());
        }
    });
}

bool insertGridRow(EditContext& ctx, int kat, int prod, int y) {
    return gridCommand(ctx, kat, prod, y, QStringLiteral("Zeile einfügen"),
                       [y](GridTexts& grid, auto& put) { insertRow(grid, put, y); });
}

bool copyGridColumn(const CatalogDocument& doc, int kat, int prod, int x, GridClipboard& clip) {
    const TProdukt* p = findProduct(doc, kat, prod);
    if (!p)
        return false;
    checkGridCell(x, 0);
    const GridTexts grid(p->varianten);
    clip.kopiespalte.clear();
    for (int r = 0; r < kGridSize; ++r)
        clip.kopiespalte.append(grid.at(x, r));
    return true;
}

bool copyGridRow(const CatalogDocument& doc, int kat, int prod, int y, GridClipboard& clip) {
    const TProdukt* p = findProduct(doc, kat, prod);
    if (!p)
        return false;
    checkGridCell(0, y);
    const GridTexts grid(p->varianten);
    clip.kopiezeile.clear();
    for (int c = 0; c < kGridSize; ++c)
        clip.kopiezeile.append(grid.at(c, y));
    return true;
}

bool pasteGridColumn(EditContext& ctx, int kat, int prod, int x, const GridClipboard& clip) {
    return gridCommand(ctx, kat, prod, x, QStringLiteral("Spaltenkopie einfügen"),
                       [x, &clip](GridTexts& grid, auto& put) {
                           insertColumn(grid, put, x);
                           const int n = int(std::min<qsizetype>(clip.kopiespalte.size(), kGridSize));
                           for (int r = 0; r < n; ++r)
                               put(x, r, clip.kopiespalte[r]);
                       });
}

bool pasteGridRow(EditContext& ctx, int kat, int prod, int y, const GridClipboard& clip) {
    return gridCommand(ctx, kat, prod, y, QStringLiteral("Zeilenkopie einfügen"),
                       [y, &clip](GridTexts& grid, auto& put) {
                           insertRow(grid, put, y);
                           const int n = int(std::min<qsizetype>(clip.kopiezeile.size(), kGridSize));
                           for (int c = 0; c < n; ++c)
                               put(c, y, clip.kopiezeile[c]);
                       });
}

// ---- Product table settings

ProductTableSettings productTableSettings(const TProdukt& p) {
    return p.table;
}

bool setProductTableSettings(EditContext& ctx, int kat, int prod, const ProductTableSettings& s) {
    TProdukt* p = findProduct(ctx.doc, kat, prod);
    if (!p)
        return false;
    for (const TableLength<const double>& length : tableLengths(s)) {
        if (!(*length.value >= 0 && *length.value <= kMaxTableLengthMm))
            throw Error::format(QStringLiteral("%1: erwartet 0 bis 1000 mm"), {length.caption});
    }
    const ProductTableSettings before = p->table;
    if (before == s)
        return true;
    p->table = s;
    auto put = [kat, prod](const ProductTableSettings& values) {
        return [kat, prod, values](CatalogDocument& d) {
            if (TProdukt* q = findProduct(d, kat, prod))
                q->table = values;
        };
    };
    ctx.record(QStringLiteral("Tabellen Einstellungen"), put(before), put(s),
               2 * qint64(sizeof(ProductTableSettings)), {DocumentChange::variantTable(kat, prod)});
    return true;
}

// ---- The template column list

namespace {

void recordTemplate(EditContext& ctx, const QString& caption, const QStringList& before) {
    const QStringList after = ctx.doc.VorlageSpalten;
    qint64 bytes = 0;
    for (const QString& s : before + after)
        bytes += 2 * s.size() + 32;
    // The template columns are stored in the catalogue: a change of them is one to save.
    ctx.record(
        caption, [before](CatalogDocument& d) { d.VorlageSpalten = before; },
        [after](CatalogDocument& d) { d.VorlageSpalten = after; }, bytes,
        {DocumentChange::templateColumns()});
}

} // namespace

int addTemplateColumn(EditContext& ctx) {
    const QStringList before = ctx.doc.VorlageSpalten;
    ctx.doc.VorlageSpalten.append(QString());
    recordTemplate(ctx, QStringLiteral("Neue Spalte"), before);
    return int(ctx.doc.VorlageSpalten.size()) - 1;
}

bool editTemplateColumn(EditContext& ctx, int i, const QString& caption) {
    QStringList& list = ctx.doc.VorlageSpalten;
    if (i < 0 || i >= list.size() || list[i] == caption)
        return false;
    const QStringList before = list;
    list[i] = caption;
    recordTemplate(ctx, QStringLiteral("Bearbeiten"), before);
    return true;
}

bool moveTemplateColumnUp(EditContext& ctx, int i) {
    QStringList& list = ctx.doc.VorlageSpalten;
    if (i < 1 || i >= list.size())
        return false;
    const QStringList before = list;
    list.swapItemsAt(i, i - 1);
    recordTemplate(ctx, QStringLiteral("Nach oben"), before);
    return true;
}

bool moveTemplateColumnDown(EditContext& ctx, int i) {
    QStringList& list = ctx.doc.VorlageSpalten;
    if (i < 0 || i >= list.size() - 1)
        return false;
    const QStringList before = list;
    list.swapItemsAt(i, i + 1);
    recordTemplate(ctx, QStringLiteral("Nach unten"), before);
    return true;
}

bool deleteTemplateColumns(EditContext& ctx, const std::set<int>& selected) {
    QStringList& list = ctx.doc.VorlageSpalten;
    const QStringList before = list;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        if (*it >= 0 && *it < list.size())
            list.removeAt(*it);
    }
    if (list.size() == before.size())
        return false;
    recordTemplate(ctx, QStringLiteral("Löschen"), before);
    return true;
}

bool loadTemplateColumns(EditContext& ctx, const QString& path) {
    QStringList loaded = ReadVorlage(path);
    if (loaded == ctx.doc.VorlageSpalten)
        return false;
    const QStringList before = std::exchange(ctx.doc.VorlageSpalten, std::move(loaded));
    recordTemplate(ctx, QStringLiteral("Vorlage öffnen"), before);
    return true;
}

} // namespace pw
