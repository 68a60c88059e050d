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

// A page bitmap filled white before each page, handed to a consumer when complete.
class BitmapSurface final : public PageSurface {
public:
    BitmapSurface(QImage& bitmap, const PageConsumer& consumer) : m_bitmap(bitmap), m_consumer(consumer) {}

    Canvas& canvas() override { return m_canvas; }
    void startPage(int) override {
        m_bitmap.fill(Qt::white);
        m_canvas.setDevice(&m_bitmap);
    }
    void stopDrawing() override { m_canvas.setDevice(nullptr); }
    bool finishPage(int page, bool more) override { return m_consumer(page, m_bitmap, more); }

private:
    QImage& m_bitmap;
    const PageConsumer& m_consumer;
    PainterCanvas m_canvas{nullptr};
};

// Draws the pages from `first` on onto the surface during one run and finishes each once
// the run has moved past it.
class SurfacePageSink final : public PageSink {
public:
    SurfacePageSink(PageSurface& surface, int first) : m_surface(surface), m_first(first) {}

    bool beginPage(int page) override {
        if (m_over)
            return false; // a layout repeated within the call draws nothing more
        hand(page - 1, true);
        if (m_cancelled || page < m_first)
            return false;
        m_surface.startPage(page);
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

private:
    void hand(int page, bool more) {
        if (m_drawing != page || page < 1)
            return;
        m_surface.stopDrawing();
        m_drawing = 0;
        if (!m_surface.finishPage(page, more))
            m_cancelled = true;
    }

    PageSurface& m_surface;
    int m_first;
    int m_drawing = 0; // the page being drawn now
    bool m_cancelled = false;
    bool m_over = false;
};

// Every engine call starts on a canvas as a new one is: default font, pen and brush.
Canvas& freshCanvas(PageSurface& surface) {
    Canvas& c = surface.canvas();
    c.font = FontSpec{};
    c.pen = CanvasPen{};
    c.brush = CanvasBrush{};
    c.bkMode = BkMode::Opaque;
    c.MoveTo(0, 0);
    return c;
}

bool renderOne(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall& call,
               PageSurface& surface, int page) {
    call.seiteedvalue = page;
    call.pages = nullptr;
    surface.startPage(page);
    const bool more = PaintLayout(layoutCombo, freshCanvas(surface), doc, ViewState{}, env, call);
    surface.stopDrawing();
    return more;
}

bool oneByOneFrom(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall& call,
                  PageSurface& surface, int first, int* calls = nullptr) {
    for (int page = first;; ++page) {
        const bool more = renderOne(doc, layoutCombo, env, call, surface, page);
        if (calls)
            ++*calls;
        if (!surface.finishPage(page, more))
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
    const PageConsumer none = [](int, const QImage&, bool) { return true; };
    BitmapSurface surface(bitmap, none);
    return renderOne(doc, layoutCombo, env, call, surface, page);
}

bool RenderPagesOneByOne(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall call,
                         QImage& bitmap, const PageConsumer& consumer) {
    const ExportPictureCache pictures(env);
    BitmapSurface surface(bitmap, consumer);
    return oneByOneFrom(doc, layoutCombo, env, call, surface, 1);
}

bool RenderPages(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall call,
                 QImage& bitmap, const PageConsumer& consumer, RenderStats* stats,
                 const StateAdjustment& adjustment) {
    BitmapSurface surface(bitmap, consumer);
    return RenderPagesTo(doc, layoutCombo, env, call, surface, stats, adjustment);
}

bool RenderPagesTo(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall call,
                   PageSurface& surface, RenderStats* stats, const StateAdjustment& adjustment) {
    const ExportPictureCache pictures(env);
    RenderStats unused;
    RenderStats& counted = stats ? *stats : unused;
    counted = RenderStats{};
    counted.engineCalls = 1;
    const bool more = renderOne(doc, layoutCombo, env, call, surface, 1);
    if (!surface.finishPage(1, more))
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
        return oneByOneFrom(doc, layoutCombo, env, call, surface, 2, &counted.engineCalls);
    }
    ++counted.engineCalls;
    counted.oneRun = true;

    SurfacePageSink sink(surface, 2);
    call.pages = &sink;
    PaintLayout(layoutCombo, freshCanvas(surface), doc, ViewState{}, env, call);
    return !sink.cancelled();
}

} // namespace pw
