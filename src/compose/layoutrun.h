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
    LayoutRun(const LayoutRun&) = delete;
    LayoutRun& operator=(const LayoutRun&) = delete;

protected:
    // ---- Units
    int px(double mm) const { return MmToPx(mm, m_call.dpi, m_call.zoomedvalue); }
    int pxRound(double mm) const { return MmToPxRound(mm, m_call.dpi, m_call.zoomedvalue); }
    int cmPx(double cm) const { return CmToPx(cm, m_call.dpi, m_call.zoomedvalue); }
    int onePx() const { return OneMmPx(m_call.dpi, m_call.zoomedvalue); }

    bool drawn() const { return m_page == m_call.seiteedvalue; }
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
    void runPageFrame();
    // SetLastKat(page, caption), the next page with its frame, y at the top of the
    // content; plus one line of the current font with extraLine.
    void pageBreak(const QString& caption, bool extraLine);

    // ---- Categories
    static bool isMainCategory(const CatalogDocument& doc, int kat);
    // The category's options record, created with the defaults when it has none.
    TKategorie& categoryOptions(int kat);
    // FontDialog2 (in the category's own colour), the 1.5 size for a main category.
    void SetCategoryFont(int kat);
    // The heading band with the caption, the category picture and the introduction text.
    void DrawCategoryHeading(int kat);

    // ---- Variant table, set from the left margin below the running position. The
    // measuring pass (drawingPass false) sets widths and line counts and advances y as the
    // drawing pass will.
    void VariantTable(TProdukt& p, bool drawingPass, const QString& caption);

    // A picture's pixel size for layout: loaded (and cached in the entry) when needed.
    // Returns false for a picture that does not load.
    bool productPictureSize(TBild& b, bool load, dib* picture);

    Canvas& m_c;
    CatalogDocument& m_doc;
    const LayoutSettings& m_s;
    const ViewState& m_view;
    EngineEnvironment& m_env;
    const EngineCall m_call;

    int m_page = 1;
    double m_y = 0;                                       // running vertical position, mm
    int m_x = 0;                                          // running horizontal position, pixels
    int m_left = 0, m_top = 0, m_right = 0, m_bottom = 0; // margins in pixels
    int m_randBild = 0;                                   // RandBildEd in pixels
    PageFrameResult m_frame;
    int m_items = 0; // content items on the current page

private:
    int cellTextOut(int x, int y, int lineHeight, int alignment, int width, const QString& text,
                    int rowHeightPx, bool draw);
    bool categoryPicture(const QString& file, bool load, dib& picture, QSize& size);
    void introductionText(const QString& text, double xm, const QString& caption);

    QDate m_today;
    double m_unzoomed = 0;
    double m_thmm = -1; // TextHeightMM(" ") of the selected font, once measured
};

} // namespace pw
