#include "exportpage.h"

#include "compose/units.h"
#include "model/error.h"

namespace pw {

namespace {

Error pageTooLarge(QSize size, const QString& file) {
    return Error::format(QStringLiteral("Nicht genug Speicher für eine Seite von %1 x %2 Pixeln"),
                         {QString::number(size.width()), QString::number(size.height())}, file);
}

} // namespace

EngineCall ExportCall(int dpi, QSize bitmap, QSize printerPixels, int printerDpi) {
    EngineCall call;
    call.dpi = dpi;
    call.width = bitmap.width();
    call.height = bitmap.height();
    call.zoomedvalue = 100;
    call.printit = true;
    call.widthmm = PxToMm(printerPixels.width(), printerDpi);
    call.heightmm = PxToMm(printerPixels.height(), printerDpi);
    return call;
}

QSize ScaledPageSize(QSize printerPixels, int printerDpi, int dpi) {
    return {int(qint64(printerPixels.width()) * dpi / printerDpi),
            int(qint64(printerPixels.height()) * dpi / printerDpi)};
}

bool PageBitmapFits(QSize size) {
    return size.width() > 0 && size.height() > 0 && qint64(size.width()) * size.height() <= kMostPagePixels;
}

int HighestPageDpi(const std::function<QSize(int dpi)>& pageAt, int upTo) {
    // The page grows with the resolution, so the resolutions that fit form a range from 1.
    int low = 0;         // fits (0 stands for "none")
    int high = upTo + 1; // does not fit
    while (high - low > 1) {
        const int mid = low + (high - low) / 2;
        if (PageBitmapFits(pageAt(mid)))
            low = mid;
        else
            high = mid;
    }
    return low;
}

QImage NewPageBitmap(QSize size, const QString& file) {
    QImage page;
    if (PageBitmapFits(size))
        page = QImage(size, QImage::Format_RGB32);
    if (page.isNull())
        throw pageTooLarge(size, file);
    return page;
}

dib PagePicture(const QImage& page, const QString& file, int dpi) {
    dib picture;
    if (!dibFromImage(picture, page))
        throw pageTooLarge(page.size(), file);
    setDibResolution(picture, dpi);
    return picture;
}

QString CancelledExportText(bool pagesKept, const QString& where) {
    if (pagesKept)
        return QStringLiteral("Der Export wurde abgebrochen. Die bereits geschriebenen Seiten bleiben in %1.")
            .arg(where);
    return QStringLiteral("Der Export wurde abgebrochen. Die unvollständige Datei %1 wurde entfernt.")
        .arg(where);
}

} // namespace pw
