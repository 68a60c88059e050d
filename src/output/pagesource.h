#pragma once

// Renders every page of a catalogue into one page bitmap, page after page, as an export
// needs them. Each engine call lays out the whole catalogue, so calling it once per page
// costs as many layout runs as there are pages. Here the first page is drawn by an ordinary
// call, and when the layout that call leaves behind comes out the same once more, one more
// run draws all the other pages. Otherwise the pages are drawn one call each. Both ways give
// the same pixels and leave the same state in the document. While the pages render, an
// environment that keeps no decoded pictures keeps some (48 MB), so that a photo several
// products share is decoded once; afterwards it keeps none again.

#include "compose/engine.h"

#include <QImage>

#include <functional>

namespace pw {

// Where the pages of a run go: a canvas that draws onto one page after the other. The
// renderer points it at a fresh page before the run draws that page, and tells it when the
// page is complete.
class PageSurface {
public:
    virtual ~PageSurface() = default;
    virtual Canvas& canvas() = 0;
    // Page `page` starts: the canvas draws onto a fresh, empty page from now on.
    virtual void startPage(int page) = 0;
    // The canvas draws nothing from now on (the run only measures).
    virtual void stopDrawing() = 0;
    // Page `page` is complete; `more`: pages follow. Returning false ends the rendering (a
    // cancel). May throw; the rendering ends then.
    virtual bool finishPage(int page, bool more) = 0;
};

// Takes page `page`, rendered into the bitmap; `more` is the engine's answer whether pages
// follow. Returning false ends the rendering (a cancel).
using PageConsumer = std::function<bool(int page, const QImage& bitmap, bool more)>;

// What a layout run leaves in the document and the next run reads: the page count, every
// page's caption, the page of every category and product, and the name line count of
// layout 3.
struct LayoutState {
    int anzpages = 0;
    LastKatTable lastkat;
    std::vector<int> seiten;
    int maxlinesforcaptionlasttime = 0;

    static LayoutState of(const CatalogDocument& doc);
    void restore(CatalogDocument& doc) const;
    bool operator==(const LayoutState&) const = default;
};

// How the pages were rendered: the engine calls made, and whether the later pages came from
// one run (false: one call per page).
struct RenderStats {
    int engineCalls = 0;
    bool oneRun = false;
};

// What a consumer does to the layout state after a page (the flip catalogue makes an odd
// page count even), so that the state the next call reads can be foreseen.
using StateAdjustment = std::function<void(CatalogDocument& doc)>;

// Renders pages 1 to the last of layout layoutCombo with `call` (its page number is set
// here) into `bitmap`, filled white before each page. Returns false when the consumer
// cancelled. The consumer may throw; the rendering ends then.
bool RenderPages(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall call,
                 QImage& bitmap, const PageConsumer& consumer, RenderStats* stats = nullptr,
                 const StateAdjustment& adjustment = {});

// The same onto any surface.
bool RenderPagesTo(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall call,
                   PageSurface& surface, RenderStats* stats = nullptr,
                   const StateAdjustment& adjustment = {});

// One engine call drawing page `page` into the bitmap, filled white first; returns whether
// pages follow.
bool RenderPage(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall call,
                QImage& bitmap, int page);

// The same, one engine call per page, for comparison.
bool RenderPagesOneByOne(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, EngineCall call,
                         QImage& bitmap, const PageConsumer& consumer);

} // namespace pw
