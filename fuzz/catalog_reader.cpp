// Feeds arbitrary bytes to both catalogue readers, then lays out whatever loaded and draws
// its first page. The first byte chooses the format (bit 0), the trimming option (bit 1)
// and the layout (bits 2 to 4); the rest is the file. A reader may reject the data with
// pw::Error, but must never crash, read out of bounds or allocate on a count the data
// cannot hold; a loaded catalogue must lay out without overflow, however odd its values.

#include "compose/engine.h"
#include "model/catalogfile.h"
#include "output/pagesource.h"

#include <QGuiApplication>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// Fonts need a GUI application; the offscreen platform needs no display. It lives until
// the process ends and is never destroyed: at exit Qt's own globals may already be gone.
QGuiApplication* g_application = nullptr;

// The preview of page 1 at a low resolution, after the measuring run every drawing
// command makes first.
void layOut(pw::CatalogDocument& doc, int layout) {
    static const pw::FixedClock clock(QDate(2024, 1, 2));
    pw::EngineEnvironment env(clock, QLocale(QLocale::German, QLocale::Germany));
    const int printerDpi = 600;
    const pw::PageGeometry g =
        pw::PreviewGeometry(pw::PaperPixels(QStringLiteral("A4"), printerDpi), printerDpi, 24, 100);
    pw::EngineCall call = pw::callForPage(g, 24);
    call.seiteedvalue = 0;
    {
        pw::PainterCanvas measuring(nullptr);
        pw::PaintLayout(layout, measuring, doc, pw::ViewState{}, env, call);
    }
    QImage page(g.width, g.height, QImage::Format_RGB32);
    if (page.isNull())
        return;
    pw::RenderPage(doc, layout, env, call, page, 1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_application = std::make_unique<QGuiApplication>(*argc, *argv).release();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto format = (data[0] & 1) ? pw::CatalogFormat::Older : pw::CatalogFormat::Current;
    pw::ReadOptions options;
    options.trimVariants = (data[0] & 2) != 0;
    const int layout = (data[0] >> 2) & 7;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    static const pw::CatalogDocument seed;
    try {
        pw::LoadResult result =
            pw::ReadCatalogData(bytes, format, QStringLiteral("/fuzz/catalog.pk2"), seed, options);
        // Whatever was loaded must write out again.
        const QByteArray image = pw::CatalogFileImage(result.doc, QStringLiteral("/fuzz/catalog.pk2"));
        if (image.isEmpty())
            __builtin_trap();
        layOut(result.doc, layout);
    } catch (const pw::Error&) {
    }
    return 0;
}
