#include "pageimages.h"

#include "imagelib/picfiles.h"
#include "model/error.h"
#include "model/usablecores.h"
#include "output/exportpage.h"
#include "output/pagesource.h"

#include <QFileInfo>
#include <QImage>

#include <future>

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
    // Beside a second core a page is encoded and written while the next one is drawn: the
    // finished page swaps places with a second bitmap, which the next page is drawn into.
    // One page at a time is saved, and a failure to save is raised at the next page or
    // the end. (Declared before `saving`, whose end waits for the save, so it outlives it.)
    const bool overlap = UsableCores() > 1;
    QImage saved;
    QString savedFile;
    std::future<bool> saving;
    const auto finishSaving = [&] {
        if (saving.valid() && !saving.get())
            throw Error(49, savedFile);
    };
    int last = 0;
    const auto page = [&](int number, const QImage& rendered, bool more) {
        last = number;
        if (settings.allPages || (settings.first <= number && number <= settings.last)) {
            const QString file = PageImageName(name, settings.format, number);
            if (!overlap) {
                if (!SavePageImage(rendered, settings.dpi, file, settings.format))
                    throw Error(49, file);
            } else {
                finishSaving();
                if (saved.isNull()) {
                    saved = NewPageBitmap(bitmap.size(), name);
                    setImageResolution(saved, settings.dpi);
                }
                saved.swap(bitmap); // `rendered` is `bitmap`, drawn anew for the next page
                savedFile = file;
                saving = std::async(std::launch::async,
                                    [&saved, file, dpi = settings.dpi, format = settings.format] {
                                        return SavePageImage(saved, dpi, file, format);
                                    });
            }
        }
        return progress.report(number, std::max(expected, number + (more ? 1 : 0)));
    };
    const bool finished = RenderPages(doc, layoutCombo, env, call, bitmap, page);
    finishSaving();
    if (!finished)
        return false;
    doc.anzpages = last;
    return true;
}

} // namespace pw
