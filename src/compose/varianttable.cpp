// The variant table below a product: column widths, row heights, wrapped cells, colours,
// rules and row page breaks. Runs in both passes of a product; the measuring pass sets
// the widths and line counts the drawing pass then uses.

#include "layoutrun.h"

#include <climits>

namespace pw {

namespace {

const QString kBlank = QStringLiteral(" ");

constexpr int kMostRowWidth = 1 << 28;

enum Alignment { kLeft = 0, kCentre = 1, kRight = 2 };

// The fixed width of column c (0..9) among the document's spin edits.
double documentColumnWidth(const LayoutSettings& s, int c) {
    const double widths[10] = {s.RxSpinEdit1, s.RxSpinEdit2, s.RxSpinEdit3, s.RxSpinEdit4,  s.RxSpinEdit5,
                               s.RxSpinEdit7, s.RxSpinEdit8, s.RxSpinEdit9, s.RxSpinEdit10, s.RxSpinEdit11};
    return widths[c];
}

// The printed text of a cell: without a colour suffix and without control characters.
QString visibleCellText(const QString& raw, quint32* color) {
    quint32 c = 0;
    QString visible;
    if (CellBackgroundColor(raw, c, visible) && color)
        *color = c;
    return StripControlChars(visible);
}

} // namespace

int LayoutRun::cellTextOut(int x, int y, int lineHeight, int alignment, int width, const QString& text,
                           int rowHeightPx, bool draw, bool* tooNarrow) {
    const int ac = onePx();
    int lines = 0;
    int r = 0;
    auto endLine = [&](const QString& s) {
        if (draw) {
            m_c.Rectangle(x - ac, y + r, x + ac + width, y + r + rowHeightPx);
            const int w = m_c.TextWidth(s);
            const int at = alignment == kCentre  ? x + (width - w) / 2
                           : alignment == kRight ? x + width - w
                                                 : x;
            m_c.TextOut(at, y + r, s);
        }
        r = int(
            std::min<qint64>(qint64(r) + lineHeight, kMostRowWidth)); // a tall cell ends far below the page
        ++lines;
    };

    const bool wrap = m_s.DoLineBreakinTableCellsCheck;
    // Widths are sums of character advances, so a text that fits whole needs no search.
    if (!wrap || m_c.TextWidth(text) <= width) {
        if (tooNarrow && !wrap && m_c.TextWidth(text) > width)
            *tooNarrow = true;
        if (!text.isEmpty())
            endLine(text);
        return lines;
    }
    QString s;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar ch = text[i];
        // A line always keeps its first character, however narrow the cell.
        if (!s.isEmpty() && m_c.TextWidth(s + ch) > width) {
            const qsizetype blank = s.lastIndexOf(QLatin1Char(' '));
            if (blank > 0) {
                // Cut at the last blank; the characters after it are set again.
                i -= s.size() - blank - 1;
                s.truncate(blank);
                endLine(s);
                s.clear();
                continue;
            }
            if (tooNarrow && ch != QLatin1Char(' ') && !s.endsWith(QLatin1Char(' ')))
                *tooNarrow = true; // no blank to break at: the word is cut
            endLine(s);
            s.clear();
            if (ch == QLatin1Char(' ')) {
                ++i; // a blank that ends a line is not carried over
                continue;
            }
        }
        s += ch;
        ++i;
    }
    if (!s.isEmpty())
        endLine(s);
    return lines;
}

void LayoutRun::measureTable(TProdukt& p, int maxMeasured) {
    TDynaArray<TVariante>& rows = p.varianten;
    TVariante& head = rows[0];
    const int headCount = head.props.count();
    const bool own = p.table.OverWrite;

    // 1. Column widths: the widest cell of each column, in the drawn font.
    const FontSpec* selected = nullptr;
    const int maxCell = m_s.DefMaxCellWidthCheck ? px(m_s.MaxCellWidthEd) : INT_MAX;
    int used = 0;
    for (int r = 0; r < rows.count(); ++r) {
        TVariante& row = rows[r];
        const int n = row.props.count();
        for (int c = 0; c < n; ++c) {
            const QString& raw = row.props[c].text;
            const FontSpec& f = r == 0                          ? m_s.FontDialog6
                                : IsPriceCell(c, n, p.anzpreis) ? m_s.FontDialog5
                                                                : m_s.FontDialog7;
            if (selected != &f) { // the cells switch between three fonts
                selectFont(f);
                selected = &f;
            }
            int w = std::max(m_c.TextWidth(visibleCellText(raw, nullptr)), m_c.TextWidth(kBlank));
            w = std::min(w, maxCell);
            if (c < headCount && (r == 0 || w > head.props[c].zellbreite))
                head.props[c].zellbreite = std::min(w, maxMeasured);
            if (!raw.isEmpty())
                used = std::max(used, c + 1);
        }
    }
    m_usedColumns = used;
    if (own ? p.table.DefineFixedWidth : m_s.DefineFixedWidthCheck) {
        for (int c = 0; c < std::min(headCount, 10); ++c)
            head.props[c].zellbreite =
                px(own ? p.table.ColWidth[std::size_t(c)] : documentColumnWidth(m_s, c));
    }

    // 2. A fixed table width widens the columns evenly; a wider table stays as it is.
    if ((own ? p.table.FixWidthForTable : m_s.FixWidthForTableCheck) && headCount > 0) {
        const double target = pxExact(own ? p.table.FixedWidthForTable : m_s.FixedWidthForTableEd);
        double sum = 0;
        for (int c = 0; c < headCount; ++c)
            sum += head.props[c].zellbreite;
        if (target > sum) {
            for (int c = 0; c < headCount; ++c)
                head.props[c].zellbreite = Trunc(head.props[c].zellbreite + (target - sum) / headCount);
        }
    }
}

void LayoutRun::VariantTable(TProdukt& p, bool drawingPass, const QString& caption, int dx, bool centre) {
    if (p.varianten.count() == 0)
        return;
    measureTable(p, INT_MAX);
    if (m_s.DonotShowVariantsCheck)
        return;
    TablePlacement where;
    where.left = m_left;
    where.dx = dx;
    where.centre = centre;
    placeTable(p, drawingPass, caption, where, nullptr);
}

int LayoutRun::placeTable(TProdukt& p, bool drawingPass, const QString& caption, const TablePlacement& where,
                          std::vector<int>* lineCounts) {
    TDynaArray<TVariante>& rows = p.varianten;
    const int rowCount = rows.count();
    TVariante& head = rows[0];
    const int headCount = head.props.count();
    const bool own = p.table.OverWrite;
    const int used = m_usedColumns;

    // 3. Row height: fixed, or one line of the font selected last.
    int hPx = 0;
    double hMm = 0;
    if (own ? p.table.DefineFixedHeight : m_s.DefineFixedHeightCheck) {
        hMm = own ? p.table.RowHeight : m_s.RxSpinEdit6;
        hPx = px(hMm);
    } else {
        hPx = m_c.TextHeight(kBlank);
        hMm = thmm();
    }

    // 4. Placement.
    const FontSpec* selected = nullptr;
    auto useFont = [&](const FontSpec& f) {
        if (selected != &f) {
            selectFont(f);
            selected = &f;
        }
    };
    const int ac = onePx();
    const int lw = px(m_s.LineWidthEd2);
    const bool rules = m_s.LinesInVariantCheck;
    int dx = where.dx;
    if (where.centre) {
        qint64 tw = 0;
        for (int c = 0; c < headCount; ++c)
            tw += qint64(head.props[c].zellbreite) + 3 * ac;
        dx = SaturatedInt(
            std::max<qint64>((qint64(m_call.width) - m_left - m_right - tw) / 2, -kMostRowWidth));
    }
    // A row of many wide cells ends at kMostRowWidth, far right of any page, so that the
    // positions of its cells stay within int.
    auto advanceX = [this](qint64 by) { m_x = int(std::min<qint64>(m_x + by, kMostRowWidth)); };
    auto priceColumn = [&](int c) { return used - c - 1 < p.anzpreis; };
    // Line counts live in the rows, or with the caller (set while a row is set).
    auto lines = [&](int r) -> int& { return lineCounts ? (*lineCounts)[std::size_t(r)] : rows[r].zeilen; };
    if (lineCounts)
        lineCounts->assign(std::size_t(rowCount), 1);

    m_x = where.left;
    double tableTop = m_y;
    bool placedAny = false;
    int nextPart = -1;
    bool tableEnds = false;
    QList<int> bars;
    for (int r = 0; r < rowCount; ++r) {
        TVariante& row = rows[r];
        // A row that starts below the bottom goes to the next page; one that starts above
        // it is set whole. Each row breaks at most once, so the table always ends.
        if (drawingPass && !fits(m_y))
            pageBreak(caption, true);
        if (r == 0 && rules) {
            tableTop = m_y;
            m_y += m_s.LineWidthEd2;
        }
        if (!drawingPass || lineCounts)
            lines(r) = 1;
        const bool draw = drawingPass && drawn();
        const int yPx = pxRound(m_y);
        bars.clear();
        for (int c = where.firstColumn; c < row.props.count(); ++c) {
            const bool hidden = m_s.DonotShowPriceColumnscheck && priceColumn(c);
            if (hidden && where.hiddenEndsTable) {
                tableEnds = true;
                break;
            }
            if (hidden)
                continue;
            const int w = c < headCount ? head.props[c].zellbreite : 0;
            if (where.partLimit >= 0 && c > where.firstColumn &&
                double(m_x) + w + 3 * ac >= where.partLimit) {
                nextPart = c; // the row ends; the next part starts here
                break;
            }
            placedAny = true;
            if (rules && c == 0)
                advanceX(lw);
            const int cellLeft = dx + m_x;
            const bool price = priceColumn(c);
            useFont(r == 0 ? m_s.FontDialog6 : price ? m_s.FontDialog5 : m_s.FontDialog7);
            if (w > 0) {
                quint32 color = r == 0 ? m_s.Shape8 : price ? m_s.Shape9 : m_s.Shape7;
                const QString text = visibleCellText(row.props[c].text, &color);
                m_c.brush = {color, BrushStyle::Solid};
                m_c.pen = {color, 1, PenStyle::Solid, PenEnds::Flat};
                if (draw)
                    m_c.Rectangle(cellLeft, yPx, cellLeft + w + 2 * ac,
                                  SaturatedInt(yPx + qint64(lines(r)) * hPx));
                const int alignment = price ? (m_s.PreisCentCheck    ? kCentre
                                               : m_s.PreisLinksCheck ? kLeft
                                                                     : kRight)
                                            : (m_s.AndereRechtsCheck      ? kRight
                                               : m_s.AndereZentriertCheck ? kCentre
                                                                          : kLeft);
                bool narrow = false;
                const int n = cellTextOut(cellLeft + ac, yPx, pxRound(hMm), alignment, w, text, hPx, draw,
                                          observer() ? &narrow : nullptr);
                if (narrow)
                    observer()->cellTooNarrow(p, r, c, m_s.DoLineBreakinTableCellsCheck, printedPage());
                lines(r) = std::max(lines(r), n);
                advanceX(qint64(w) + (rules ? 2 : 3) * ac);
            }
            if (rules) {
                m_c.brush = {m_s.Shape10, BrushStyle::Solid};
                m_c.pen = {m_s.Shape10, lw, PenStyle::Clear, PenEnds::Flat};
                if (c == where.firstColumn)
                    bars.append(cellLeft - lw);
                bars.append(dx + m_x);
                if (draw) {
                    const int top = yPx - lw + lw / 2;
                    const int bottom = pxRound(m_y + lines(r) * hMm) + lw / 2;
                    // Every bar of the row so far, again: a wide centred or right-aligned
                    // cell may have been drawn over the bars to its left.
                    for (int bx : bars)
                        m_c.Rectangle(bx, top, bx + lw + 1, bottom + 1);
                }
                advanceX(lw);
            }
        }
        m_y += lines(r) * hMm;
        const bool last = r == rowCount - 1;
        if (rules) {
            m_c.brush = {m_s.Shape10, BrushStyle::Solid};
            m_c.pen = {m_s.Shape10, lw, PenStyle::Clear, PenEnds::Flat};
            if (r == 0 && draw) {
                const int top = pxRound(tableTop);
                m_c.Rectangle(dx + where.left, top, dx + m_x + 1, top + lw + 1);
            }
            if (draw) {
                const int under = pxRound(m_y);
                m_c.Rectangle(dx + where.left, under, dx + m_x + 1, under + lw + 1);
            }
            m_y += last && placedAny ? thmm() + m_s.LineWidthEd2 / 2 : m_s.LineWidthEd2;
        } else if (last && placedAny) {
            if (!m_s.NoLineBelowVariantsCheck && draw) {
                m_c.pen = {m_s.Shape10, lw, PenStyle::Solid, PenEnds::Flat};
                const int at = pxRound(m_y) + lw / 2;
                m_c.MoveTo(dx + m_x - ac, at);
                m_c.LineTo(dx + where.left, at);
            }
            m_y += thmm() + m_s.LineWidthEd2 / 2;
        }
        m_x = where.left;
    }
    if (tableEnds || !placedAny)
        return -1;
    return nextPart;
}

} // namespace pw
