#pragma once

// The state of one engine run and the pieces every engine shares: the page counter and
// the running position, page breaks with their frame, font selection with the millimetre
// line height, the category heading and the variant table. The engines derive from it.

#include "compose/engine.h"
#include "compose/text.h"
#include "compose/units.h"

namespace pw {

class LayoutRun {
public:
    LayoutRun(Canvas& canvas, CatalogDocument& doc, const ViewState& view, EngineEnvironment& env,
              const EngineCall& call);
    virtual ~LayoutRun() = default;
    LayoutRun(const LayoutRun&) = delete;
    LayoutRun& operator=(const LayoutRun&) = delete;

protected:
    // ---- Units
    int px(double mm) const { return MmToPx(mm, m_call.dpi, m_call.zoomedvalue); }
    int pxRound(double mm) const { return MmToPxRound(mm, m_call.dpi, m_call.zoomedvalue); }
    int cmPx(double cm) const { return CmToPx(cm, m_call.dpi, m_call.zoomedvalue); }
    int onePx() const { return OneMmPx(m_call.dpi, m_call.zoomedvalue); }
    // A length in pixels without truncation.
    double pxExact(double mm) const { return mm / kMmPerInch * m_call.dpi * m_call.zoomedvalue / 100; }

    bool drawn() const { return m_page == m_call.seiteedvalue; }
    // The current page's number as printed: FirstPageNr counts the first page.
    int printedPage() const { return SaturatedInt(qint64(m_s.FirstPageNr) + m_page - 1); }
    // The check's listener, or nullptr.
    LayoutObserver* observer() const { return m_env.observer; }
    double contentBottom() const { return m_call.heightmm - m_s.UntenEd - m_frame.footerMm; }
    bool fits(double y) const { return y <= contentBottom(); }

    // ---- Fonts: the font selected last decides TextHeightMM(" ") (thmm).
    void selectFont(const FontSpec& font);
    void selectHeadingFont(const FontSpec& font);
    double thmm();
    double unzoomed() const { return m_unzoomed; }

    // ---- Pages
    // White page with a black outline (preview only), margins, page 1 with its frame.
    void startRun();
    // The preview outline, anzpages; returns whether pages follow the requested one.
    bool finishRun();
    // startRun(), every category that is not deactivated, finishRun().
    bool runCatalogue();
    void runPageFrame();
    // SetLastKat(page, caption), the next page with its frame, y at the top of the
    // content; plus one line of the current font with extraLine.
    void pageBreak(const QString& caption, bool extraLine);
    // Engines that draw frames round their products close and reopen them here.
    virtual void framePrologue() {}
    virtual void frameEpilogue() {}

    // ---- Categories
    static bool isMainCategory(const CatalogDocument& doc, int kat);
    // The category's options record, created with the defaults when it has none.
    TKategorie& categoryOptions(int kat);
    // FontDialog2 (in the category's own colour), the 1.5 size for a main category.
    void SetCategoryFont(int kat);
    // One category: its start (new page or not), heading, table of contents, products.
    void category(int kat);
    // The heading band with the caption, the category picture and the introduction text.
    void DrawCategoryHeading(int kat);
    // The listing of a table-of-contents category below its heading.
    void TableOfContents(int kat);
    virtual void beginCategory() {}
    virtual void beginProducts() {}
    virtual void endProducts() {}
    virtual void product(int kat, TProdukt& p) = 0;
    // Where a category's content starts horizontally (pixels).
    virtual int columnLeft() const { return m_left; }

    // ---- Variant table, set below the running position. The measuring pass (drawingPass
    // false) sets widths and line counts and advances y as the drawing pass will.
    struct TablePlacement {
        int left = 0;          // where rows start, pixels
        int dx = 0;            // offset added to every cell
        bool centre = false;   // centre the table between the margins (ZentrTabelleCheck)
        int firstColumn = 0;   // the part's first column
        double partLimit = -1; // a part ends before a cell reaching this x (pixels); < 0: none
        bool hiddenEndsTable = false;
    };
    // Sets the table (or one part of it); returns the first column of the next part, or
    // -1 when the table is complete.
    int placeTable(TProdukt& p, bool drawingPass, const QString& caption, const TablePlacement& where,
                   std::vector<int>* lineCounts);
    // Column widths of the table (row 0's zellbreite), measured cells limited to maxMeasured.
    void measureTable(TProdukt& p, int maxMeasured);
    // The whole table as engines A and B set it.
    void VariantTable(TProdukt& p, bool drawingPass, const QString& caption, int dx, bool centre);

    // A product's name: FontDialog3 without highlight, the product's page, and its lines
    // (wrapped to widthMm in the measuring pass) set from x downwards.
    void productName(TProdukt& p, bool drawingPass, double widthMm, int x, QStringList& lines);

    // A picture's pixel size for layout: read from the file's header when only the size is
    // wanted, loaded when the picture is drawn (and cached in the entry). Returns false for
    // a picture that does not load, which is noted in the environment's failures under the
    // product being laid out. The cached size is always the picture's own; a JPEG picture
    // may be loaded into `picture` with fewer pixels, but never fewer than it is drawn
    // with: breite at the call's resolution wide (with byHeight: high), the other side in
    // proportion. Engines draw it with its own dibwidth/dibheight as the source rectangle.
    bool productPictureSize(TBild& b, bool load, dib* picture, bool byHeight = false);
    // Whether the engine sizes product pictures by their height (productPictureSize's
    // byHeight).
    virtual bool picturesByHeight() const { return false; }
    // The pixels a product picture is drawn at along its sized side: breite (at most
    // kMaxPictureWidth) at the call's resolution, at least 1.
    int drawnSide(const TBild& b) const;
    // Has a measured picture decoded on another core, as productPictureSize will load it
    // for drawing (DecodedPictureCache::decodeAhead); nothing for one not measured yet or
    // noted as failed.
    void decodeAhead(const TBild& b);

    Canvas& m_c;
    CatalogDocument& m_doc;
    const LayoutSettings& m_s;
    const ViewState& m_view;
    EngineEnvironment& m_env;
    EngineCall m_call; // with a page sink, seiteedvalue follows the page being drawn

    int m_page = 1;
    double m_y = 0;                                       // running vertical position, mm
    int m_x = 0;                                          // running horizontal position, pixels
    int m_left = 0, m_top = 0, m_right = 0, m_bottom = 0; // margins in pixels
    int m_randBild = 0;                                   // RandBildEd in pixels
    PageFrameResult m_frame;
    int m_items = 0;                     // content items on the current page
    bool m_noNeedGap = false;            // a category that needs no new page keeps 3 x RandBildEd distance
    int m_usedColumns = 0;               // of the table measured last
    const TProdukt* m_product = nullptr; // the product being laid out, for picture failures

private:
    // Sets a cell's text in lines; returns how many. `tooNarrow` (when given) is set when the
    // text runs past the width or a line breaks inside a word.
    int cellTextOut(int x, int y, int lineHeight, int alignment, int width, const QString& text,
                    int rowHeightPx, bool draw, bool* tooNarrow);
    bool categoryPicture(const QString& stored, const QString& caption, bool load, dib& picture, QSize& size);
    void introductionText(const QString& text, double xm, const QString& caption);
    void listingLine(const QString& text, const QString& number, int indent);

    QDate m_today;
    double m_unzoomed = 0;
    double m_thmm = -1; // TextHeightMM(" ") of the selected font, once measured
};

} // namespace pw
