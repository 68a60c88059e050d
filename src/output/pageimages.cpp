#include "pageimages.h"

#include "imagelib/picfiles.h"
#include "model/error.h"
#include "output/exportpage.h"
#include "output/pagesource.h"

#include <QFileInfo>
#include <QImage>

namespace pw {

QString PageImageName(const QString& name, int format, int page) {
    const QFileInfo info(name);
    QString extension = info.suffix();
    QString base = name;
    if (extension.isEmpty())
        extension = FormatExtension(format);
    else
        base.chop(extension.size() + 1);
    return base + QString::number(page) + QLatin1Char('.') + extension;
}

EngineCall ImageExportCall(const ImageExportSettings& settings) {
    return ExportCall(settings.dpi, ScaledPageSize(settings.printerPixels, settings.printerDpi, settings.dpi),
                      settings.printerPixels, settings.printerDpi);
}

bool ExportPageImages(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env,
                      const ImageExportSettings& settings, const QString& name, Progress& progress) {
    const EngineCall call = ImageExportCall(settings);
    QImage bitmap = NewPageBitmap(QSize(call.width, call.height), name);
    setImageResolution(bitmap, settings.dpi); // once: drawing and filling keep it
    SetJPEGQual(settings.quality);
    const int expected = std::max(1, doc.anzpages);
    if (!progress.report(0, expected))
        return false;
    int last = 0;
    const auto page = [&](int number, const QImage& rendered, bool more) {
        last = number;
        if (settings.allPages || (settings.first <= number && number <= settings.last)) {
            const QString file = PageImageName(name, settings.format, number);
            if (!SavePageImage(rendered, settings.dpi, file, settings.format))
                throw Error(49, file);
        }
        return progress.report(number, std::max(expected, number + (more ? 1 : 0)));
    };
    if (!RenderPages(doc, layoutCombo, env, call, bitmap, page))
        return false;
    doc.anzpages = last;
    return true;
}

} // namespace pw
