#include "imageexport.h"

#include "compose/units.h"
#include "imagelib/picfiles.h"
#include "model/error.h"

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

bool ExportPageImages(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env,
                      const ImageExportSettings& settings, const QString& name, Progress& progress) {
    const int w = int(qint64(settings.printerPixels.width()) * settings.dpi / settings.printerDpi);
    const int h = int(qint64(settings.printerPixels.height()) * settings.dpi / settings.printerDpi);
    const Error noMemory = Error::text(
        QStringLiteral("Nicht genug Speicher für eine Seite von %1 x %2 Pixeln").arg(w).arg(h), name);
    QImage page;
    if (w > 0 && h > 0 && qint64(w) * h <= 400'000'000)
        page = QImage(w, h, QImage::Format_RGB32);
    if (page.isNull())
        throw noMemory;
    SetJPEGQual(settings.quality);

    EngineCall call;
    call.dpi = settings.dpi;
    call.width = w;
    call.height = h;
    call.zoomedvalue = 100;
    call.printit = true;
    call.widthmm = PxToMm(settings.printerPixels.width(), settings.printerDpi);
    call.heightmm = PxToMm(settings.printerPixels.height(), settings.printerDpi);
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
            dib picture;
            if (!dibFromImage(picture, page))
                throw noMemory;
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
