#include "imageexport.h"

#include "imagelib/picfiles.h"
#include "model/error.h"
#include "output/exportpage.h"

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
    const QSize bitmap(int(qint64(settings.printerPixels.width()) * settings.dpi / settings.printerDpi),
                       int(qint64(settings.printerPixels.height()) * settings.dpi / settings.printerDpi));
    return ExportCall(settings.dpi, bitmap, settings.printerPixels, settings.printerDpi);
}

bool ExportPageImages(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env,
                      const ImageExportSettings& settings, const QString& name, Progress& progress) {
    EngineCall call = ImageExportCall(settings);
    QImage page = NewPageBitmap(QSize(call.width, call.height), name);
    SetJPEGQual(settings.quality);
    const int expected = std::max(1, doc.anzpages);
    if (!progress.report(0, expected))
        return false;
    int last = 0;
    for (int number = 1;; ++number) {
        page.fill(Qt::white);
        call.seiteedvalue = number;
        bool more = false;
        {
            PainterCanvas canvas(&page);
            more = PaintLayout(layoutCombo, canvas, doc, ViewState{}, env, call);
        }
        last = number;
        if (settings.allPages || (settings.first <= number && number <= settings.last)) {
            const dib picture = PagePicture(page, name);
            const QString file = PageImageName(name, settings.format, number);
            if (!SaveDib(picture, file, settings.format))
                throw Error(49, file);
        }
        if (!progress.report(number, std::max(expected, number + (more ? 1 : 0))))
            return false;
        if (!more)
            break;
    }
    doc.anzpages = last;
    return true;
}

} // namespace pw
