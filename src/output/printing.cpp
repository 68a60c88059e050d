#include "output/printing.h"

#include "compose/canvas.h"
#include "compose/units.h"
#include "model/catalog.h"
#include "model/error.h"

#include <algorithm>

namespace pw {

EngineCall PrintCall(const PrinterPage& printer) {
    const QSize page = printer.pageSizePixels();
    EngineCall call;
    call.dpi = printer.dpiX();
    call.width = page.width();
    call.height = page.height();
    call.zoomedvalue = 100;
    call.printit = true;
    call.widthmm = PxToMm(page.width(), printer.dpiX());
    call.heightmm = PxToMm(page.height(), printer.dpiX());
    return call;
}

bool PrintCatalogue(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, PrinterPage& printer,
                    const QString& title, int onlyPage, Progress& progress) {
    EngineCall call = PrintCall(printer);
    const int total = onlyPage > 0 ? 1 : std::max(1, doc.anzpages);
    if (!progress.report(0, total))
        return false;
    if (!printer.beginJob(title))
        throw Error(49, title);
    // A job once begun always ends: printed whole, or aborted so that nothing comes out.
    try {
        if (onlyPage > 0) {
            const int kept = doc.anzpages;
            call.seiteedvalue = onlyPage;
            PaintLayout(layoutCombo, printer.canvas(), doc, ViewState{}, env, call);
            doc.anzpages = kept;
            if (!progress.report(1, 1)) {
                printer.abortJob();
                return false;
            }
        } else {
            const int before = doc.anzpages;
            for (int page = 1;; ++page) {
                if (page > 1 && !printer.newPage())
                    throw Error(49, title);
                call.seiteedvalue = page;
                const bool more = PaintLayout(layoutCombo, printer.canvas(), doc, ViewState{}, env, call);
                if (!progress.report(page, std::max({total, before, page + (more ? 1 : 0)}))) {
                    printer.abortJob();
                    return false;
                }
                if (!more) {
                    doc.anzpages = page;
                    break;
                }
            }
        }
    } catch (...) {
        printer.abortJob();
        throw;
    }
    if (!printer.endJob())
        throw Error(49, title);
    return true;
}

} // namespace pw
