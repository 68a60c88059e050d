#pragma once

// The layout engines: every page a user sees, prints or exports is composed here. An engine
// call lays out the whole catalogue from the first category, counts its pages and draws
// only the requested one. It leaves in the document the page count (anzpages), the caption
// of every page (lastkat), the page of every category and product (seite) and the cached
// picture sizes; the next call's table of contents and "%CATEGORY%" read them.

#include "compose/canvas.h"
#include "compose/pageframe.h"
#include "compose/picturecache.h"
#include "model/catalog.h"
#include "model/services.h"

#include <QHash>
#include <QLocale>
#include <QRect>
#include <QSize>

namespace pw {

// What the window holds beside the document and hands to every engine call.
struct ViewState {
    double BildBreitEd = 3;               // the category dialog's picture width (cm)
    bool froceOnlyOneColumnCheck = false; // layout 4: one description column, pictures left
    bool SecondPictureBelowText = false;  // layout 5
};

// Takes the pages of a run that draws every page (EngineCall::pages) one after the other.
// The run tells it where each page starts, before the page's frame is drawn; the sink points
// the run's canvas at that page's surface, or at none for a page it does not want.
class PageSink {
public:
    virtual ~PageSink() = default;
    // Page `page` starts (the page before it is complete); returns whether it is drawn.
    virtual bool beginPage(int page) = 0;
    // The run is over; `lastPage` is complete.
    virtual void endRun(int lastPage) = 0;
};

// The arguments of one engine call.
struct EngineCall {
    int dpi = 96;  // horizontal resolution of the canvas
    int width = 0; // page size in pixels
    int height = 0;
    int seiteedvalue = 1; // the 1-based page to draw; <= 0 draws only outline and border
    double zoomedvalue = 100;
    bool printit = false; // print or export run: no white fill and no preview outline
    double widthmm = 0;   // page size in millimetres
    double heightmm = 0;
    // With a sink the run draws every page the sink wants, each as though it were the
    // requested one; seiteedvalue plays no part then. The layout is the same as in a call
    // for a single page.
    PageSink* pages = nullptr;
};

// What a layout run tells about the way it sets the catalogue, for the catalogue check.
// The run calls these in both passes of a product (and again in a second run of engine C),
// so a listener keeps one report per thing. `page` is the page number as printed
// (FirstPageNr counts the first page). The default implementations do nothing.
class LayoutObserver {
public:
    virtual ~LayoutObserver() = default;
    // A product picture placed `widthMm` wide.
    virtual void picturePlaced(const TProdukt&, const TBild&, double /*widthMm*/, int /*page*/) {}
    // A product name broken inside a word, because the word is wider than the name's line.
    virtual void nameBrokenInWord(const TProdukt&, int /*page*/) {}
    // A variant-table cell too narrow for its text: without line breaks in cells the text
    // runs past its column (`wrapped` false); with them a word is broken inside (true).
    virtual void cellTooNarrow(const TProdukt&, int /*row*/, int /*column*/, bool /*wrapped*/, int /*page*/) {
    }
    // A product's description continues on the next page; `page` is the one it starts on.
    virtual void descriptionSplit(const TProdukt&, int /*page*/) {}
    // A line of a table of contents drawn on `page`, covering `area` (pixels, from the
    // start of the text to the end of the page number), that names page `target`.
    virtual void contentsLine(int /*page*/, const QRect& /*area*/, int /*target*/) {}
};

// What lives longer than one call: the clock for "%DATE%", the locale of the interface
// language, the pictures that are loaded once rather than once per page, and the pictures
// that could not be loaded. Picture paths are resolved for the document's file
// (resolvePicturePath).
struct EngineEnvironment {
    explicit EngineEnvironment(const Clock& c, QLocale l = QLocale()) : clock(&c), locale(l) {}

    const Clock* clock;
    QLocale locale;
    FramePictures pictures;
    // Pixel sizes of category pictures by file name; an empty size for one that did not
    // load. Pages other than the drawn one lay a category out from here.
    QHash<QString, QSize> categoryPictureSizes;
    // Every picture a call could not load, each once; the front ends report them.
    PictureLog pictureFailures;
    // Decoded product pictures kept between calls; off unless the front end sets a budget
    // (the preview does, because it draws the same page again and again).
    DecodedPictureCache decodedPictures;
    // Told how the run sets names, pictures, cells and descriptions; none unless set.
    LayoutObserver* observer = nullptr;
};

// Layout engine A (layouts 1 and 4). Returns whether pages follow the requested one.
bool PaintToCanvas(Canvas& canvas, CatalogDocument& doc, const ViewState& view, EngineEnvironment& env,
                   const EngineCall& call);

// Layout engine B (layouts 2, 5, 6, 7 and 8): the picture column on the left (bildmode 0),
// on the right (1), right on odd and left on even pages (2), or the other way round (3).
bool PaintToCanvasLayout2(Canvas& canvas, CatalogDocument& doc, const ViewState& view, EngineEnvironment& env,
                          const EngineCall& call, int bildmode);
// Layout engine C (layout 3). Updates doc.maxlinesforcaptionlasttime, and runs the layout
// a second time when that changed.
bool PaintToCanvasLayout3(Canvas& canvas, CatalogDocument& doc, const ViewState& view, EngineEnvironment& env,
                          const EngineCall& call);

constexpr int kLayoutCount = 8;
// Calls the engine of a layout (LayoutCombo index 0..7) with the variations it needs set
// for the call alone. An index outside 0..7 draws nothing and returns false.
bool PaintLayout(int layoutCombo, Canvas& canvas, CatalogDocument& doc, ViewState view,
                 EngineEnvironment& env, const EngineCall& call);

// One layout run of `layoutCombo` that draws nothing (no canvas device, page 0), with the
// page size and resolution of `call`, as the window's preview would have made before: it
// leaves the page counts, captions and pages of the run in the document for the next call.
void measuringRun(int layoutCombo, CatalogDocument& doc, EngineEnvironment& env, EngineCall call);

// The page as the preview and the command-line renderer size it: a bitmap of
// Trunc(zoom * (dpi * printer width / printer dpi) / 100) pixels, the height the same with
// the printer height (also over the horizontal printer resolution), and the page in mm
// from the printer: printable pixels / horizontal resolution * 25.39995.
struct PageGeometry {
    int width = 0;
    int height = 0;
    double widthmm = 0;
    double heightmm = 0;
};
PageGeometry PreviewGeometry(QSize printerPixels, int printerDpiX, int dpi, double zoom);
// A call for the page `g` at `dpi`; the other fields keep their defaults.
EngineCall callForPage(const PageGeometry& g, int dpi);

// The printable page of a paper size ("A4", "A5", "Letter", ...) at a resolution, as the
// tool and a machine without a printer use it; A4 at 600 dpi is 4960 x 7016 pixels. An
// unknown name gives an empty size.
QSize PaperPixels(const QString& paper, int dpi);

} // namespace pw
