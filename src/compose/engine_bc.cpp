// Layout engines B and C: one engine with two variations.
//
// B (layouts 2, 5, 6, 7 and 8) sets every product as a framed block with a 40 mm picture
// column on one side and the text column on the other. C (layout 3) sets the products of
// a category side by side in rows of two to four columns, names padded to the longest, the
// pictures stacked in the column and the variant table in parts that fit the column.
// Everything else, from the category loop to the table code, is shared with engine A.

#include "layoutrun.h"

#include <climits>

namespace pw {

namespace {

constexpr double kPictureColumnMm = 40; // engine B's picture column (4.0 cm)

} // namespace

class EngineBC final : public LayoutRun {
public:
    enum class Variant { B, C };

    EngineBC(Canvas& canvas, CatalogDocument& doc, const ViewState& view, EngineEnvironment& env,
             const EngineCall& call, Variant variant, int bildmode)
        : LayoutRun(canvas, doc, view, env, call), m_variant(variant), m_bildmode(bildmode) {}

    bool run();
    int maxname() const { return m_maxname; }

private:
    void product(int kat, TProdukt& p) override;
    void productB(int kat, TProdukt& p);
    void productC(int kat, TProdukt& p);
    void framePrologue() override;
    void frameEpilogue() override;
    void beginCategory() override;
    void beginProducts() override { m_k = 0; }
    void endProducts() override;
    int columnLeft() const override { return m_variant == Variant::C ? m_J : m_left; }

    // A picture's size in a column at most maxMm wide (no limit for maxMm < 0). False for
    // a picture that does not load.
    struct Placed {
        int w = 0;
        int h = 0;
        double wMm = 0;
        double hMm = 0;
    };
    bool sizePicture(TBild& b, bool load, dib& picture, double maxMm, Placed& out);
    // The description lines from the text column's left edge, broken over pages in the
    // drawing pass; onNewPage runs after every such page break.
    template <typename OnNewPage>
    void description(const QString& caption, int x, int justifyWidth, bool drawing, OnNewPage onNewPage);
    void squarePen();
    void verticalLine(int x, int top, int bottom);
    // Engine B's frame round a product: its left and right edges and the line between
    // the picture column and the text column.
    struct FrameEdges {
        int left;
        int right;
        int separator;
    };
    FrameEdges frameEdges() const;

    const Variant m_variant;
    const int m_bildmode;

    // The product being set.
    QStringList m_lines;          // its wrapped description
    bool m_inDrawingPass = false; // a page that ends now leaves its frame open
    bool m_ownBreak = false;      // the page break after a PageBreakAfterProdukt product
    int m_frameTopRow = 0;        // pixels
    double m_pictureTop = 0;      // mm: the picture column's (B) or the product's (C) top
    bool m_pictureRight = false;  // B: the picture column is on the right

    // Engine C's rows.
    int m_columns = 4;
    double m_wcMm = 0;
    int m_wcPx = 0;
    int m_J = 0;
    double m_Jmm = 0;
    int m_k = 0;
    double m_ystart = 0;
    double m_rowbottom = 0;
    int m_maxname = 1;
};

bool EngineBC::run() {
    m_noNeedGap = true;
    if (m_variant == Variant::C) {
        m_columns = (m_s.Columns == 2 || m_s.Columns == 3) ? m_s.Columns : 4;
        m_wcMm = (m_call.widthmm - m_s.LinksEd - m_s.RechtsEd - 6 * m_s.RandBildEd) / m_columns;
        m_wcPx = px(m_wcMm);
        m_maxname = 1;
    }
    selectFont(m_s.FontDialog9);
    return runCatalogue();
}

void EngineBC::squarePen() {
    m_c.pen = {m_s.Shape11, px(m_s.LineWidthEd), PenStyle::Solid, PenEnds::Square};
}

void EngineBC::verticalLine(int x, int top, int bottom) {
    m_c.MoveTo(x, top);
    m_c.LineTo(x, bottom);
}

EngineBC::FrameEdges EngineBC::frameEdges() const {
    const int wcol = px(kPictureColumnMm);
    const int rt = px(m_s.RandTextEd);
    const int rb = m_randBild;
    if (m_pictureRight)
        return {m_x - rt, m_call.width - m_right + rb, m_call.width - m_right - rb - wcol};
    return {m_x - rb, m_call.width - m_right + rt, m_x + rb + wcol};
}

void EngineBC::framePrologue() {
    // The requested page has just ended inside a product: its frame stays open at the
    // bottom, with the side lines drawn down to the usable bottom of that page.
    if (m_page - 1 != m_call.seiteedvalue || !m_inDrawingPass || m_ownBreak)
        return;
    squarePen();
    m_y = contentBottom();
    if (m_variant == Variant::B) {
        if (m_s.NoRahmenCheck)
            return;
        const FrameEdges e = frameEdges();
        const int bottom = pxRound(m_y);
        verticalLine(e.left, m_frameTopRow, bottom);
        verticalLine(e.right, m_frameTopRow, bottom);
        verticalLine(e.separator, m_frameTopRow, bottom);
    } else {
        const int bottom = m_call.height - m_bottom - m_frame.footerPx;
        verticalLine(m_x - m_randBild, m_frameTopRow, bottom);
        verticalLine(m_call.width - m_right + m_randBild, m_frameTopRow, bottom);
        verticalLine(m_x + m_randBild + m_wcPx, m_frameTopRow, bottom);
    }
}

void EngineBC::frameEpilogue() {
    // A product that goes on here draws its side lines from the top of the content.
    m_frameTopRow = m_top + m_frame.headerPx;
    m_pictureTop = m_s.ObenEd + m_frame.headerMm;
}

void EngineBC::beginCategory() {
    m_J = m_left;
    m_Jmm = m_s.LinksEd;
    m_x = m_J;
}

void EngineBC::endProducts() {
    if (m_variant == Variant::C && m_k > 0)
        m_y = m_rowbottom;
}

void EngineBC::product(int kat, TProdukt& p) {
    if (m_variant == Variant::B)
        productB(kat, p);
    else
        productC(kat, p);
}

bool EngineBC::sizePicture(TBild& b, bool load, dib& picture, double maxMm, Placed& out) {
    if (!productPictureSize(b, load, load ? &picture : nullptr))
        return false;
    out.w = cmPx(b.breite);
    out.wMm = b.breite * 10;
    if (maxMm >= 0) {
        out.w = std::min(out.w, px(maxMm));
        out.wMm = std::min(out.wMm, maxMm);
    }
    out.h = int(qint64(b.pixhoehe) * out.w / b.pixbreite);
    out.hMm = b.pixhoehe * out.wMm / b.pixbreite;
    if (observer() && m_product)
        observer()->picturePlaced(*m_product, b, out.wMm, printedPage());
    return true;
}

template <typename OnNewPage>
void EngineBC::description(const QString& caption, int x, int justifyWidth, bool drawing,
                           OnNewPage onNewPage) {
    selectFont(m_s.FontDialog4);
    // The text is set on a transparent background.
    m_c.brush.style = BrushStyle::Clear;
    const double th = thmm();
    double ymax = m_y;
    qsizetype next = 0;
    bool freshPage = false;
    while (next < m_lines.size()) {
        qsizetype n = m_lines.size() - next;
        if (drawing) {
            qsizetype fit = 0;
            while (fit < n && m_y + th * double(fit + 1) <= contentBottom())
                ++fit;
            // A page with no room for any line still takes one, so the text ends.
            n = (fit == 0 && freshPage) ? 1 : fit;
        }
        ymax = m_y;
        for (qsizetype i = 0; i < n; ++i) {
            const QString& line = m_lines[next + i];
            if (drawing && drawn()) {
                if (m_s.ArtNotBlockCheck || next + i == m_lines.size() - 1)
                    m_c.TextOut(x, pxRound(m_y), line);
                else
                    textoutBlockSatz(m_c, x, pxRound(m_y), line, justifyWidth);
            }
            m_y += th;
            ymax = std::max(ymax, m_y);
        }
        next += n;
        if (next < m_lines.size() && drawing) {
            if (observer() && m_product && !m_s.AllowPageBreak)
                observer()->descriptionSplit(*m_product, printedPage());
            pageBreak(caption, true);
            onNewPage();
            ymax = m_y;
            selectFont(m_s.FontDialog4);
            m_c.brush.style = BrushStyle::Clear;
            freshPage = true;
        }
    }
    m_y = ymax + th;
}

void EngineBC::productB(int kat, TProdukt& p) {
    const QString caption = m_doc.categoryName(kat);
    const double rbMm = m_s.RandBildEd;
    const double rtMm = m_s.RandTextEd;
    const int rb = m_randBild;
    const int rt = px(rtMm);
    const int wcol = px(kPictureColumnMm);
    double ystart = m_y;
    QStringList nameLines;

    for (int pass = 0; pass < 2; ++pass) {
        const bool drawing = pass == 1;
        // Layouts 7 and 8 change sides with the parity of the engine's own page counter.
        m_pictureRight =
            m_bildmode == 1 || (m_bildmode == 2 && m_page % 2 == 1) || (m_bildmode == 3 && m_page % 2 == 0);
        if (drawing)
            ++m_items;
        m_inDrawingPass = drawing;
        const FrameEdges edges = frameEdges();
        // The rules take their room on every page of the drawing pass, drawn or not, so
        // that a page breaks the same whichever page is requested.
        if (drawing) {
            if (drawn()) {
                squarePen();
                m_c.MoveTo(edges.left, pxRound(m_y));
                m_c.LineTo(edges.right, pxRound(m_y));
            }
            m_y += m_s.LineWidthEd / 2;
        }
        m_pictureTop = m_y;
        m_frameTopRow = pxRound(m_y);
        m_y += rbMm;

        const double columnLeftMm =
            m_pictureRight ? m_call.widthmm - m_s.RechtsEd - kPictureColumnMm : m_s.LinksEd;
        const int d = m_pictureRight ? 0 : wcol + rt + rb;
        const int textWidth = m_call.width - m_left - m_right - wcol - rt - rb;
        const double wrapMm = m_call.widthmm - m_s.LinksEd - m_s.RechtsEd - (rbMm + rtMm + kPictureColumnMm);

        // The picture column.
        const double ypic = m_y;
        for (int i = 0; i < p.bilder.count(); ++i) {
            if (i == 1 && m_view.SecondPictureBelowText)
                continue;
            const bool load = drawing && drawn();
            dib picture;
            Placed pl;
            if (!sizePicture(p.bilder[i], load, picture, kPictureColumnMm, pl))
                continue; // a picture that does not load takes no space
            if (load) {
                const double xMm =
                    m_s.BildAlign == 1 ? columnLeftMm + (kPictureColumnMm - pl.wMm) / 2 : columnLeftMm;
                PaintDib(m_c, pxRound(xMm), pxRound(m_y), pl.w, pl.h, picture, 0, 0, dibwidth(picture),
                         dibheight(picture), true);
            }
            m_y += pl.hMm + rbMm;
        }
        double columnHeight = m_y - ypic;
        m_y = ypic;
        if (!drawing && contentBottom() <= ypic + columnHeight) {
            pageBreak(caption, true);
            ystart = m_y;
        }

        // Name and description in the text column.
        productName(p, drawing, wrapMm, m_x + d, nameLines);
        if (!drawing) {
            selectFont(m_s.FontDialog4);
            m_lines = BreakLines(m_c, p.desc, wrapMm, unzoomed());
        }
        description(caption, m_left + d, textWidth, drawing, [&] { columnHeight = 0; });

        // Layout 5: the second picture below the text, as wide as it is.
        if (m_view.SecondPictureBelowText && p.bilder.count() >= 2) {
            const bool load = drawing && drawn();
            dib picture;
            Placed pl;
            if (sizePicture(p.bilder[1], load, picture, -1, pl)) {
                if (load)
                    PaintDib(m_c, wcol + 2 * rb + m_left + (textWidth - pl.w) / 2, pxRound(m_y), pl.w, pl.h,
                             picture, 0, 0, dibwidth(picture), dibheight(picture), true);
                m_y += pl.hMm + rbMm;
            }
        }

        VariantTable(p, drawing, caption, d, false);

        // The block is at least as tall as its picture column.
        m_y = std::max(m_y, m_pictureTop + columnHeight + 2 * rbMm);
        if (drawing)
            m_y += m_s.LineWidthEd / 2;
        if (drawing && drawn()) {
            squarePen();
            if (!m_s.NoRahmenCheck) {
                const int bottom = pxRound(m_y);
                verticalLine(edges.left, m_frameTopRow, bottom);
                verticalLine(edges.right, m_frameTopRow, bottom);
                verticalLine(edges.separator, m_frameTopRow, bottom);
                m_c.MoveTo(edges.left, bottom);
                m_c.LineTo(edges.right, bottom);
            }
        }
        if (!fits(m_y) && !drawing && m_items > 0 && !m_s.AllowPageBreak) {
            pageBreak(caption, false); // the product moves to the next page
        } else if (drawing && p.PageBreakAfterProdukt) {
            m_ownBreak = true;
            pageBreak(caption, false);
            m_ownBreak = false;
        } else if (!drawing) {
            m_y = ystart;
        }
    }
    m_inDrawingPass = false;
}

void EngineBC::productC(int kat, TProdukt& p) {
    const QString caption = m_doc.categoryName(kat);
    const double rbMm = m_s.RandBildEd;
    m_ystart = m_y;
    QStringList nameLines;

    for (int pass = 0; pass < 2; ++pass) {
        const bool drawing = pass == 1;
        if (drawing)
            ++m_items;
        m_inDrawingPass = drawing;
        m_y += m_s.LineWidthEd / 2;
        m_pictureTop = m_y;
        m_frameTopRow = pxRound(m_y);

        // The name, padded to the longest name's lines so that the pictures of a row
        // start level.
        productName(p, drawing, m_wcMm, m_J, nameLines);
        const int n = int(nameLines.size());
        m_maxname = std::max(m_maxname, n);
        if (n < m_doc.maxlinesforcaptionlasttime)
            m_y += (m_doc.maxlinesforcaptionlasttime - n) * thmm();

        // The pictures, one below the other.
        m_y += rbMm;
        for (TBild& b : p.bilder) {
            const bool load = drawing && drawn();
            dib picture;
            Placed pl;
            if (!sizePicture(b, load, picture, m_wcMm, pl))
                continue;
            if (load) {
                const double xMm = m_s.BildAlign == 1 ? m_Jmm + (m_wcMm - pl.wMm) / 2 : m_Jmm;
                PaintDib(m_c, pxRound(xMm), pxRound(m_y), pl.w, pl.h, picture, 0, 0, dibwidth(picture),
                         dibheight(picture), true);
            }
            m_y += pl.hMm + rbMm;
        }
        double v = m_y - m_pictureTop;
        if (!drawing && contentBottom() <= m_pictureTop + v) {
            pageBreak(caption, true);
            m_ystart = m_y;
        }

        if (!drawing) {
            selectFont(m_s.FontDialog4);
            m_lines = BreakLines(m_c, p.desc, m_wcMm, unzoomed());
        }
        description(caption, m_J, m_wcPx, drawing, [&] {
            v = 0;
            m_ystart = m_s.ObenEd + m_frame.headerMm;
        });

        // The table in parts as wide as the column allows.
        if (p.varianten.count() > 0) {
            measureTable(p, m_wcPx);
            if (!m_s.DonotShowVariantsCheck) {
                TablePlacement where;
                where.left = m_J;
                where.partLimit = m_J + pxExact(m_wcMm);
                where.hiddenEndsTable = true;
                std::vector<int> lineCounts;
                for (int first = 0; first >= 0;) {
                    where.firstColumn = first;
                    first = placeTable(p, drawing, caption, where, &lineCounts);
                }
            }
        }
        m_x = m_J;

        m_y = std::max(m_y, m_pictureTop + v + 2 * rbMm);
        if (drawing)
            m_y += m_s.LineWidthEd / 2; // on every page, as in engine B
        const bool moves = !fits(m_y) && !drawing && m_items > 0 && !m_s.AllowPageBreak;
        const bool ownBreak = drawing && p.PageBreakAfterProdukt;
        if (moves || ownBreak) {
            m_ownBreak = ownBreak;
            pageBreak(caption, false);
            m_ownBreak = false;
            m_ystart = m_y;
            m_rowbottom = m_y;
            m_k = 0;
            m_J = m_left;
            m_Jmm = m_s.LinksEd;
            m_x = m_J;
        } else if (drawing) {
            m_rowbottom = m_k == 0 ? m_y : std::max(m_rowbottom, m_y);
            if (++m_k == m_columns) {
                m_k = 0;
                m_J = m_left;
                m_Jmm = m_s.LinksEd;
                m_y = m_rowbottom; // the next row starts below the tallest product
            } else {
                m_J += m_wcPx + 2 * m_randBild;
                m_Jmm += m_wcMm + 2 * rbMm;
                m_y = m_ystart; // the next product starts at the same height
            }
            m_x = m_J;
        } else {
            m_y = m_ystart;
        }
    }
    m_inDrawingPass = false;
}

bool PaintToCanvasLayout2(Canvas& canvas, CatalogDocument& doc, const ViewState& view, EngineEnvironment& env,
                          const EngineCall& call, int bildmode) {
    EngineBC run(canvas, doc, view, env, call, EngineBC::Variant::B, bildmode);
    return run.run();
}

bool PaintToCanvasLayout3(Canvas& canvas, CatalogDocument& doc, const ViewState& view, EngineEnvironment& env,
                          const EngineCall& call) {
    // When the longest name changed, the names were padded to the old count: the run is
    // made once more with the new one. A name's lines do not depend on the padding, so one
    // repeat is enough; a second difference is kept for the next call instead of looping.
    bool more = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        EngineBC run(canvas, doc, view, env, call, EngineBC::Variant::C, 0);
        more = run.run();
        if (run.maxname() == doc.maxlinesforcaptionlasttime)
            break;
        doc.maxlinesforcaptionlasttime = run.maxname();
    }
    return more;
}

} // namespace pw
