#include "engine.h"

#include "compose/units.h"

namespace pw {

bool PaintLayout(int layoutCombo, Canvas& canvas, CatalogDocument& doc, ViewState view,
                 EngineEnvironment& env, const EngineCall& call) {
    view.froceOnlyOneColumnCheck = layoutCombo == 3;
    view.SecondPictureBelowText = layoutCombo == 4;
    switch (layoutCombo) {
    case 0:
    case 3:
        return PaintToCanvas(canvas, doc, view, env, call);
    case 1:
    case 4:
        return PaintToCanvasLayout2(canvas, doc, view, env, call, 0);
    case 2:
        return PaintToCanvasLayout3(canvas, doc, view, env, call);
    case 5:
    case 6:
    case 7:
        return PaintToCanvasLayout2(canvas, doc, view, env, call, layoutCombo - 4);
    default:
        return false;
    }
}

PageGeometry PreviewGeometry(QSize printerPixels, int printerDpiX, int dpi, double zoom) {
    PageGeometry g;
    if (printerDpiX <= 0)
        return g;
    g.width = Trunc(zoom * (double(dpi) * printerPixels.width() / printerDpiX) / 100);
    g.height = Trunc(zoom * (double(dpi) * printerPixels.height() / printerDpiX) / 100);
    g.widthmm = PxToMm(printerPixels.width(), printerDpiX);
    g.heightmm = PxToMm(printerPixels.height(), printerDpiX);
    return g;
}

QSize PaperPixels(const QString& paper, int dpi) {
    // Printable pixels at 600 dpi; other resolutions scale from these.
    struct Paper {
        const char* name;
        int width;
        int height;
    };
    static constexpr Paper kPapers[] = {
        {"A3", 7016, 9921},     {"A4", 4960, 7016},    {"A5", 3496, 4960},
        {"Letter", 5100, 6600}, {"Legal", 5100, 8400},
    };
    for (const Paper& p : kPapers) {
        if (paper.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
            return QSize(Round(double(p.width) * dpi / 600), Round(double(p.height) * dpi / 600));
    }
    return {};
}

EngineCall callForPage(const PageGeometry& g, int dpi) {
    EngineCall call;
    call.dpi = dpi;
    call.width = g.width;
    call.height = g.height;
    call.widthmm = g.widthmm;
    call.heightmm = g.heightmm;
    return call;
}

void measuringRun(int layoutCombo, CatalogDocument& doc, EngineEnvironment& env, EngineCall call) {
    PainterCanvas measure(nullptr);
    call.seiteedvalue = 0;
    call.pages = nullptr;
    PaintLayout(layoutCombo, measure, doc, ViewState{}, env, call);
}

} // namespace pw
