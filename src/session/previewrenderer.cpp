#include "previewrenderer.h"

#include "compose/canvas.h"
#include "model/catalog.h"
#include "model/error.h"
#include "output/exportpage.h"

#include <algorithm>
#include <cmath>

namespace pw {

QSize previewPageSize(const PreviewRequest& r) {
    const PageGeometry g = PreviewGeometry(r.printerPixels, r.printerDpi, r.screenDpi, r.zoom);
    return {g.width, g.height};
}

PreviewPicture renderPreview(CatalogDocument& doc, EngineEnvironment& env, const PreviewRequest& r) {
    PreviewPicture out;
    out.size = previewPageSize(r);
    // The page at the device's density: the same page geometry at ratio times the dpi.
    const int dpi = std::max(1, int(std::lround(r.screenDpi * r.pixelRatio)));
    const PageGeometry g = PreviewGeometry(r.printerPixels, r.printerDpi, dpi, r.zoom);
    EngineCall call = callForPage(g, dpi);
    call.seiteedvalue = r.page;
    call.zoomedvalue = r.zoom;
    call.printit = false;
    measuringRun(r.layout, doc, env, call);
    out.pages = doc.anzpages;
    try {
        out.image = NewPageBitmap(QSize(g.width, g.height), QString());
    } catch (const Error&) {
        return out;
    }
    out.image.fill(Qt::white);
    {
        PainterCanvas canvas(&out.image);
        PaintLayout(r.layout, canvas, doc, ViewState{}, env, call);
    }
    out.image.setDevicePixelRatio(r.pixelRatio);
    return out;
}

} // namespace pw
