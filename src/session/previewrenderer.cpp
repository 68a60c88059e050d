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

void adoptPictureSizes(CatalogDocument& live, const CatalogDocument& rendered) {
    // Read through a const view and write only what differs: the live document shares its
    // lists with the copies taken for later pictures, and every write would copy them.
    const CatalogDocument& view = live;
    const int kats = std::min(view.categoryCount(), rendered.categoryCount());
    for (int k = 0; k < kats; ++k) {
        const auto& products = view.products(k);
        const auto& learned = rendered.products(k);
        const int n = std::min(products.count(), learned.count());
        for (int i = 0; i < n; ++i) {
            const auto& pictures = products[i].bilder;
            const auto& known = learned[i].bilder;
            const int m = std::min(pictures.count(), known.count());
            for (int b = 0; b < m; ++b) {
                const TBild& now = pictures[b];
                const TBild& from = known[b];
                if (now.datei != from.datei || from.pixbreite <= 0 ||
                    (now.pixbreite == from.pixbreite && now.pixhoehe == from.pixhoehe))
                    continue;
                TBild& to = live.products(k)[i].bilder[b];
                to.pixbreite = from.pixbreite;
                to.pixhoehe = from.pixhoehe;
            }
        }
    }
}

} // namespace pw
