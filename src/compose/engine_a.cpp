// Layout engine A (layouts 1 and 4): categories with their heading band, then products
// with name, a row of pictures, the description in newspaper columns beside the pictures
// and the variant table. Layout 4 is the same with one column and pictures on the left.

#include "layoutrun.h"

namespace pw {

namespace {

enum PictureAlign { kPicturesLeft = 0, kPicturesCentred = 1, kPicturesRight = 2 };

} // namespace

class EngineA final : public LayoutRun {
public:
    using LayoutRun::LayoutRun;
    bool run();

private:
    void product(int kat, TProdukt& p) override;
    bool picturesByHeight() const override { return m_s.SetPicHeightCheck; }

    int m_columns = 4;
    int m_bildAlign = kPicturesRight;
};

bool EngineA::run() {
    // Layout 4 sets pictures on the left for this call only; the settings stay untouched.
    m_bildAlign = m_view.froceOnlyOneColumnCheck ? kPicturesLeft : m_s.BildAlign;
    if (m_s.OnlyOneColumnCheck || m_view.froceOnlyOneColumnCheck)
        m_columns = 1;
    else
        m_columns = (m_s.Columns == 2 || m_s.Columns == 3) ? m_s.Columns : 4;

    return runCatalogue();
}

void EngineA::product(int kat, TProdukt& p) {
    const QString caption = m_doc.categoryName(kat);
    const bool left = m_bildAlign == kPicturesLeft;
    const bool centred = m_bildAlign == kPicturesCentred;
    double ys = m_y;
    // Names and descriptions wrap the same way in both passes: wrapped once.
    QStringList nameLines;
    QStringList descLines;

    for (int pass = 0; pass < 2; ++pass) {
        const bool drawing = pass == 1;
        selectFont(m_s.FontDialog3);
        m_c.brush.style = BrushStyle::Clear;
        if (drawing) {
            ++m_items;
            if (!m_s.ZwischenLinienCheck && drawn()) {
                m_c.pen = {m_s.Shape11, px(m_s.LineWidthEd), PenStyle::Solid, PenEnds::Flat};
                const int at = pxRound(m_y);
                m_c.MoveTo(m_x, at);
                m_c.LineTo(m_call.width - m_right, at);
            }
            m_y += m_s.LineWidthEd / 2 + m_s.LineAddSpaceEd;
        }
        productName(p, drawing, m_call.widthmm - m_s.LinksEd - m_s.RechtsEd, pxRound(m_s.LinksEd), nameLines);

        // Pictures in rows.
        const int startX = left ? m_left : m_call.width - m_right;
        const double startMm = left ? m_s.LinksEd : m_call.widthmm - m_s.RechtsEd;
        int x = startX;
        double xMm = startMm;
        m_y += m_s.RandBildEd;
        selectFont(m_s.FontDialog4);
        double rh = 0;
        bool anyPicture = false;
        double lastWMm = 0;
        for (TBild& b : p.bilder) {
            const bool load = drawing && drawn();
            dib picture;
            if (!productPictureSize(b, load, load ? &picture : nullptr, picturesByHeight()))
                continue; // a picture that does not load takes no space
            int wPx = cmPx(b.breite);
            double wMm = b.breite * 10;
            int hPx = int(qint64(b.pixhoehe) * wPx / b.pixbreite);
            double hMm = b.pixhoehe * wMm / b.pixbreite;
            if (m_s.SetPicHeightCheck) {
                hPx = cmPx(b.breite);
                hMm = b.breite * 10;
                wPx = int(qint64(b.pixbreite) * hPx / b.pixhoehe);
                wMm = b.pixbreite * hMm / b.pixhoehe;
            }
            if (observer())
                observer()->picturePlaced(p, b, wMm, printedPage());
            const bool newRow = centred ? true
                                : left  ? xMm + wMm > m_call.widthmm - m_s.RechtsEd
                                        : xMm - wMm < m_s.LinksEd;
            if (newRow) {
                x = startX;
                xMm = startMm;
                m_y += rh + m_s.RandBildEd;
                rh = 0;
            }
            rh = std::max(rh, hMm);
            if (centred) {
                x = (m_call.width - wPx) / 2;
                xMm = (m_call.widthmm - wMm) / 2;
            }
            if (load) {
                const int at = (left || centred) ? x : x - wPx;
                const int top = pxRound(m_y);
                PaintDib(m_c, at, top, wPx, hPx, picture, 0, 0, dibwidth(picture), dibheight(picture), true);
                if (m_s.BilderrahmenCheck) {
                    m_c.pen = {m_s.Shape11, px(m_s.LineWidthEd), PenStyle::Solid, PenEnds::Round};
                    DrawFrame(m_c, at, top, hPx, wPx);
                }
            }
            if (left || centred) {
                x += wPx + m_randBild;
                xMm += m_s.RandBildEd + wMm;
            } else {
                x -= wPx + m_randBild;
                xMm -= m_s.RandBildEd + wMm;
            }
            anyPicture = true;
            lastWMm = wMm;
        }

        if (!drawing && m_y + rh >= contentBottom()) {
            pageBreak(caption, true);
            ys = m_y;
        }

        // Description in newspaper columns.
        const int n = m_columns;
        const double contentMm = m_call.widthmm - m_s.LinksEd - m_s.RechtsEd;
        const int contentPx = m_call.width - m_left - m_right;
        double gMm = 0;
        int gPx = 0;
        double cwMm = contentMm;
        int cwPx = contentPx;
        if (n > 1) {
            // Three gaps come off for every column count.
            gMm = m_s.PlatzZwischenSpaltenEd;
            gPx = px(gMm);
            cwMm = (contentMm - 3 * gMm) / n;
            cwPx = (contentPx - 3 * gPx) / n;
        }
        const double th = thmm();
        std::array<int, 4> skip{};
        if (anyPicture) {
            for (int k = 0; k < n; ++k) {
                const double c = m_s.LinksEd + k * (cwMm + gMm);
                const bool overlap = left      ? c < xMm
                                     : centred ? c + cwMm > xMm - lastWMm - m_s.RandBildEd && c < xMm
                                               : c + cwMm > xMm;
                if (overlap)
                    skip[std::size_t(k)] = Round((th + rh - 1) / th);
            }
        }
        if (!drawing)
            descLines = BreakLines(m_c, p.desc, cwMm, unzoomed());

        qsizetype next = 0;
        bool freshPage = false;
        for (;;) {
            const qsizetype remaining = descLines.size() - next;
            const int q = int((remaining + skip[0] + skip[1] + skip[2] + skip[3] + 3) / n);
            double reached = m_y + rh;
            for (int k = 0; k < n; ++k) {
                const int s = skip[std::size_t(k)];
                qsizetype take = descLines.size() - next;
                if (k < n - 1 && n > 1)
                    take = std::clamp<qsizetype>(q - s, 0, take);
                if (drawing) {
                    // Cut the column before its first line that ends below the bottom.
                    qsizetype fit = 0;
                    while (fit < take && m_y + th * double(s + fit + 1) <= contentBottom())
                        ++fit;
                    // A page with no room for any line still takes one, so the text ends.
                    if (k == 0 && freshPage && fit == 0 && take > 0)
                        fit = 1;
                    take = fit;
                }
                if (drawing && drawn()) {
                    const int colX = m_left + k * (cwPx + gPx);
                    for (qsizetype i = 0; i < take; ++i) {
                        const QString& line = descLines[next + i];
                        const int at = pxRound(m_y + th * (s + double(i)));
                        if (m_s.ArtNotBlockCheck || next + i == descLines.size() - 1)
                            m_c.TextOut(colX, at, line);
                        else
                            textoutBlockSatz(m_c, colX, at, line, cwPx);
                    }
                }
                if (take > 0)
                    reached = std::max(reached, m_y + th * double(s + take));
                next += take;
            }
            m_y = reached;
            if (!drawing || next >= descLines.size())
                break;
            if (observer() && !m_s.AllowPageBreak)
                observer()->descriptionSplit(p, printedPage());
            pageBreak(caption, true);
            rh = 0;
            selectFont(m_s.FontDialog4);
            skip.fill(0);
            freshPage = true;
        }
        m_y += thmm();

        VariantTable(p, drawing, caption, 0, m_s.ZentrTabelleCheck);

        if (!drawing) {
            if (!fits(m_y) && m_items > 0 && !m_s.AllowPageBreak)
                pageBreak(caption, false); // the product moves to the next page
            else
                m_y = ys;
        } else if (p.PageBreakAfterProdukt) {
            pageBreak(caption, false);
        }
    }
    m_y += thmm();
}

bool PaintToCanvas(Canvas& canvas, CatalogDocument& doc, const ViewState& view, EngineEnvironment& env,
                   const EngineCall& call) {
    EngineA run(canvas, doc, view, env, call);
    return run.run();
}

} // namespace pw
