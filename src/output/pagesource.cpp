#include "pagesource.h"

namespace pw {

namespace {

// The decoded pictures an export keeps when its environment keeps none: a photo that
// several products share, or a page drawn again, is decoded once (about 60 photos of 5 cm
// at 300 dpi).
constexpr qint64 kExportPictureBudget = 48 * 1024 * 1024;

// Gives the environment's picture cache the export's budget while it renders, and the
// budget it had (with whatever it kept then dropped) afterwards.
class ExportPictureCache {
public:
    explicit ExportPictureCache(EngineEnvironment& env)
        : m_cache(env.decodedPictures), m_was(m_cache.budget()) {
        if (m_was == 0)
            m_cache.setBudget(kExportPictureBudget);
    }
    ~ExportPictureCache() { m_cache.setBudget(m_was); }
    ExportPictureCache(const ExportPictureCache&) = delete;
    ExportPictureCache& operator=(const ExportPictureCache&) = delete;

private:
    DecodedPictureCache& m_cache;
    qint64 m_was;
};

// Draws the pages from `first` on into the bitmap during one run and hands each to the
// consumer once the run has moved past it.
class BitmapPageSink final : public PageSink {
public:
    BitmapPageSink(PainterCanvas& canvas, QImage& bitmap, const PageConsumer& consumer, int first)
        : m_canvas(canvas), m_bitmap(bitmap), m_consumer(consumer), m_first(first) {}

    bool beginPage(int page) override {
        if (m_over)
            return false; // a layout repeated within the call draws nothing more
        hand(page - 1, true);
        if (m_cancelled || page < m_first)
            return false;
        m_bitmap.fill(Qt::white);
        m_canvas.setDevice(&m_bitmap);
        m_drawing = page;
        return true;
    }

    void endRun(int lastPage) override {
        if (m_over)
            return;
        hand(lastPage, false);
        m_over = true;
    }

    bool cancelled() const { return m_cancelled; }
    int lastHanded() const { return m_handed; }

private:
    void hand(int page, bool more) {
        if (m_drawing != page || page < 1)
            return;
        m_canvas.setDevice(nullptr);
        m_drawing = 0;
        m_handed = page;
        if (!m_consumer(page, m_bitmap, more))
            m_cancelled = true;
    }

    PainterCanvas& m_canvas;
    QImage& m_bitmap;
    const PageConsumer& m_consumer;
    int m_first;
    int m_drawing = 0; // the page on the bitmap now
    int m_handed = 0;
    bool m_cancelled = false;
    bool m_over = false;
};

bool renderOne(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall& call,
               QImage& bitmap, int page) {
    bitmap.fill(Qt::white);
    call.seiteedvalue = page;
    call.pages = nullptr;
    PainterCanvas canvas(&bitmap);
    return PaintLayout(layoutCombo, canvas, doc, ViewState{}, env, call);
}

bool oneByOneFrom(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall& call,
                  QImage& bitmap, const PageConsumer& consumer, int first) {
    for (int page = first;; ++page) {
        const bool more = renderOne(doc, layoutCombo, env, call, bitmap, page);
        if (!consumer(page, bitmap, more))
            return false;
        if (!more)
            return true;
    }
}

} // namespace

LayoutState LayoutState::of(const CatalogDocument& doc) {
    LayoutState s;
    s.anzpages = doc.anzpages;
    s.lastkat = doc.lastkat;
    s.maxlinesforcaptionlasttime = doc.maxlinesforcaptionlasttime;
    for (int kat = 0; kat < doc.categoryCount(); ++kat) {
        const TKategorie* o = doc.options(kat);
        s.seiten.push_back(o ? o->seite : -1);
        const TProduktListe& products = doc.products(kat);
        for (int i = 0; i < products.count(); ++i)
            s.seiten.push_back(products[i].seite);
    }
    return s;
}

void LayoutState::restore(CatalogDocument& doc) const {
    doc.anzpages = anzpages;
    doc.lastkat = lastkat;
    doc.maxlinesforcaptionlasttime = maxlinesforcaptionlasttime;
    std::size_t at = 0;
    for (int kat = 0; kat < doc.categoryCount() && at < seiten.size(); ++kat) {
        if (TKategorie* o = doc.options(kat))
            o->seite = seiten[at];
        ++at;
        TProduktListe& products = doc.products(kat);
        for (int i = 0; i < products.count() && at < seiten.size(); ++i)
            products[i].seite = seiten[at++];
    }
}

bool RenderPage(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall call,
                QImage& bitmap, int page) {
    return renderOne(doc, layoutCombo, env, call, bitmap, page);
}

bool RenderPagesOneByOne(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall call,
                         QImage& bitmap, const PageConsumer& consumer) {
    const ExportPictureCache pictures(env);
    return oneByOneFrom(doc, layoutCombo, env, call, bitmap, consumer, 1);
}

bool RenderPages(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall call,
                 QImage& bitmap, const PageConsumer& consumer, RenderStats* stats,
                 const StateAdjustment& adjustment) {
    const ExportPictureCache pictures(env);
    RenderStats unused;
    RenderStats& counted = stats ? *stats : unused;
    counted = RenderStats{};
    counted.engineCalls = 1;
    const bool more = renderOne(doc, layoutCombo, env, call, bitmap, 1);
    if (!consumer(1, bitmap, more))
        return false;
    if (!more)
        return true;

    // Every later call reads what the first left. When a run that reads it leaves it
    // unchanged, all of them lay out the same pages, and one run can draw them all.
    const LayoutState first = LayoutState::of(doc);
    {
        PainterCanvas measuring(nullptr);
        call.seiteedvalue = 0;
        call.pages = nullptr;
        PaintLayout(layoutCombo, measuring, doc, ViewState{}, env, call);
        ++counted.engineCalls;
        if (adjustment)
            adjustment(doc);
    }
    if (!(LayoutState::of(doc) == first)) {
        first.restore(doc);
        const auto counting = [&](int page, const QImage& rendered, bool follows) {
            ++counted.engineCalls;
            return consumer(page, rendered, follows);
        };
        return oneByOneFrom(doc, layoutCombo, env, call, bitmap, counting, 2);
    }
    ++counted.engineCalls;
    counted.oneRun = true;

    PainterCanvas canvas(nullptr);
    BitmapPageSink sink(canvas, bitmap, consumer, 2);
    call.pages = &sink;
    PaintLayout(layoutCombo, canvas, doc, ViewState{}, env, call);
    return !sink.cancelled();
}

} // namespace pw
