#pragma once

// The page preview, drawn away from the window.
//
// The window asks for page N of layout L at zoom Z; renderPreview answers with the page as
// a picture, drawn exactly as the command line's `render --preview` draws it: one layout
// run that draws nothing (so that page counts, the categories of the headers and the cover
// pages are known), then the page, on white, with the preview's page outline. The layout
// run writes its results into the document it is given, so a caller on another thread
// passes a copy of the live document, never the document itself; `env` keeps the pictures
// loaded between calls and must not be used by two threads at once.
//
// On a screen with a device pixel ratio above 1 the page is drawn at the screen's real
// pixel density: the picture has ratio times the pixels of the logical size and says so
// (QImage::devicePixelRatio), so the window shows it at the logical size with sharp text.

#include "compose/engine.h"

#include <QImage>
#include <QSize>

namespace pw {

class CatalogDocument;

struct PreviewRequest {
    int layout = 0; // LayoutCombo index 0..7
    int page = 1;   // SeiteEd
    int zoom = 100; // ZoomEd, per cent
    int screenDpi = 96;
    double pixelRatio = 1;
    QSize printerPixels{4960, 7016}; // the printer's printable page (A4 at 600 dpi without one)
    int printerDpi = 600;
};

struct PreviewPicture {
    QImage image;  // null when the page could not be drawn
    int pages = 0; // the catalogue's page count after the layout run
    QSize size;    // the page in logical pixels
};

// The page's size in logical pixels: Trunc(zoom * (dpi * printer width / printer dpi) / 100)
// wide, the same with the printer height high. At zoom 100 on a 96-dpi screen an A4 page
// at 600 dpi is 793 x 1122.
QSize previewPageSize(const PreviewRequest& request);

// Draws the page. A page beyond the end shows the empty sheet with its outline. A picture
// too large to hold in memory gives a null image; the window keeps what it showed.
PreviewPicture renderPreview(CatalogDocument& doc, EngineEnvironment& env, const PreviewRequest& request);

// The pixel sizes of product pictures are a cache the layout fills in the document it
// runs on (reading a picture for its size costs as much as reading it whole). A preview
// renders a copy, so its caller hands what the copy learned back to the live document:
// every picture that is still the same file at the same place takes the size found,
// nothing else changes, and the document is not marked changed.
void adoptPictureSizes(CatalogDocument& live, const CatalogDocument& rendered);

} // namespace pw
