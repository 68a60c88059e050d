#include "flipcatalog.h"

#include "compose/text.h"
#include "compose/units.h"
#include "i18n/translateunit.h"
#include "imagelib/picfiles.h"
#include "model/error.h"
#include "model/savefile.h"
#include "output/exportpage.h"
#include "output/pagesource.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <functional>
#include <numbers>
#include <stop_token>
#include <thread>
#include <vector>

namespace pw {

namespace {

constexpr int kEdgeBand = 10;     // pixels of the narrow bands
constexpr int kWeightStep = 5;    // blend weight per pixel inside a band
constexpr int kBlendBase = 50;    // weight added everywhere; 100 leaves a pixel as it is
constexpr int kBlendColour = 128; // the grey the edges fade to
constexpr int kCornerSquare = 80;
constexpr double kCornerAngle = std::numbers::pi / 4;
constexpr int kCornerThreshold = 60;

const QString kTemplate = QStringLiteral("flippages.htm");
const QString kCatalogue = QStringLiteral("catalog.htm");

QString htmlText(const QString& text) {
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QStringLiteral("&#39;"));
}

quint8* pixel(dib& d, int x, int y) {
    // Rows are stored bottom first; y = 0 is the top row, as for getpixel and setpixel.
    return d.poi + qint64(dibheight(d) - 1 - y) * d.bytew + qint64(x) * 3;
}

void blendPixel(dib& d, int x, int y, int weight) {
    quint8* p = pixel(d, x, y);
    for (int c = 0; c < 3; ++c)
        p[c] = quint8(FlipBlend(weight, p[c], kBlendColour));
}

void stageJpeg(StagedFiles& files, const dib& picture, const QString& file) {
    const QByteArray data = encodeDib(picture, kFormatJpg);
    if (data.isEmpty() || !files.stage(file, data))
        throw Error(49, file);
}

QByteArray jpegOf(const QImage& image, int quality) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    return writer.write(image) ? data : QByteArray();
}

// Makes a picture record `dpi` as its resolution.
void setResolution(QImage& image, int dpi) {
    const int dotsPerMetre = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
}

void stageImage(StagedFiles& files, const QImage& image, int quality, const QString& file) {
    const QByteArray data = jpegOf(image, quality);
    if (data.isEmpty() || !files.stage(file, data))
        throw Error(49, file);
}

// Stages a copy of source with its file times; false when the source cannot be opened.
bool stageCopy(StagedFiles& files, const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = in.readAll();
    if (in.error() != QFileDevice::NoError)
        throw Error(1, source);
    if (!files.stage(target, data, nullptr, &in))
        throw Error(49, target);
    return true;
}

} // namespace

QString FlipPageFile(const QString& folder, int page, bool flip) {
    return QDir(folder).filePath(
        QStringLiteral("catalogpage%1%2.jpg").arg(flip ? QStringLiteral("flip") : QString()).arg(page));
}

namespace {

// Which text of FlipTexts each placeholder of the template takes.
struct FlipPlaceholder {
    const char* name;
    QString FlipTexts::*text;
};
const FlipPlaceholder kFlipPlaceholders[] = {
    {"%%BACKTEXT%%", &FlipTexts::back},         {"%%FORWARDTEXT%%", &FlipTexts::forward},
    {"%%FIRSTPAGE%%", &FlipTexts::firstPage},   {"%%LASTPAGE%%", &FlipTexts::lastPage},
    {"%%CATALOGTEXT%%", &FlipTexts::catalogue}, {"%%NAVIGATIONTEXT%%", &FlipTexts::navigation},
    {"%%ZOOMOUTTEXT%%", &FlipTexts::zoomOut},   {"%%ZOOMINTEXT%%", &FlipTexts::zoomIn},
    {"%%PAGETEXT%%", &FlipTexts::page},         {"%%PAGEOFTEXT%%", &FlipTexts::pageOf},
    {"%%PAGESOFTEXT%%", &FlipTexts::pagesOf},   {"%%NOSCRIPTTEXT%%", &FlipTexts::noScript},
    {"%%SEARCHTEXT%%", &FlipTexts::search},     {"%%HITSTEXT%%", &FlipTexts::hits},
    {"%%NOHITSTEXT%%", &FlipTexts::noHits},     {"%%THUMBNAILSTEXT%%", &FlipTexts::thumbnails},
    {"%%CLOSETEXT%%", &FlipTexts::close},       {"%%LANGUAGE%%", &FlipTexts::language},
};

} // namespace

QString FlipCatalogueHtml(const QString& htmlTemplate, int evenPages, const FlipTexts& texts) {
    QString html = htmlTemplate;
    html.replace(QStringLiteral("%%ANZPAGES%%"), QString::number((evenPages + 1) / 2 + 1));
    for (const FlipPlaceholder& p : kFlipPlaceholders)
        html.replace(QLatin1String(p.name), htmlText(texts.*p.text));
    return html;
}

QString FlipCatalogueHtml(const QString& htmlTemplate, int evenPages, const FlipTexts& texts,
                          const FlipPageData& data) {
    QString html = FlipCatalogueHtml(htmlTemplate, evenPages, texts);
    html.replace(QStringLiteral("%%ZOOMWIDTH%%"), QString::number(data.zoomWidth));
    // Outside its strings JSON has none of these characters, so escaping every one of them
    // keeps the text's meaning.
    QByteArray products = data.products;
    products.replace('<', "\\u003c").replace('>', "\\u003e").replace('&', "\\u0026").replace('%', "\\u0025");
    html.replace(QStringLiteral("%%PRODUCTS%%"), QString::fromUtf8(products));
    return html;
}

QByteArray FlipProductsJson(const CatalogDocument& doc) {
    const LayoutSettings& s = doc.settings;
    const bool variantsShown = !s.DonotShowVariantsCheck;
    const bool pricesShown = variantsShown && !s.DonotShowPriceColumnscheck;
    const int pages = std::max(1, doc.anzpages);
    const auto printed = [](const QString& cell) {
        quint32 colour = 0;
        QString visible;
        CellBackgroundColor(cell, colour, visible);
        return StripControlChars(visible).trimmed();
    };
    QJsonArray categories;
    QJsonArray products;
    for (int k = 0; k < doc.categoryCount(); ++k) {
        const TKategorie* options = doc.options(k);
        if (options && options->Deactivate)
            continue;
        const int category = int(categories.size());
        categories.append(doc.categoryName(k));
        for (const TProdukt& p : doc.products(k)) {
            if (p.DeactivateProd)
                continue;
            QJsonArray variants;
            for (int r = 1; variantsShown && r < p.varianten.count(); ++r) {
                const TVariante& row = p.varianten[r];
                const int n = row.props.count();
                QJsonObject variant;
                QJsonArray cells;
                const int firstPrice = std::max(0, n - p.anzpreis);
                for (int c = 0; c < firstPrice; ++c)
                    cells.append(printed(row.props[c].text));
                variant.insert(QStringLiteral("cells"), cells);
                QJsonArray prices;
                for (int c = firstPrice; pricesShown && c < n; ++c) {
                    const QString price = printed(row.props[c].text);
                    if (!price.isEmpty())
                        prices.append(price);
                }
                variant.insert(QStringLiteral("prices"), prices);
                variants.append(variant);
            }
            QJsonObject product;
            product.insert(QStringLiteral("name"), printed(p.name));
            product.insert(QStringLiteral("category"), category);
            const qint64 page = qint64(p.seite) - s.FirstPageNr + 1;
            product.insert(QStringLiteral("page"), int(std::clamp<qint64>(page, 1, pages)));
            product.insert(QStringLiteral("variants"), variants);
            products.append(product);
        }
    }
    QJsonObject all;
    all.insert(QStringLiteral("categories"), categories);
    all.insert(QStringLiteral("products"), products);
    return QJsonDocument(all).toJson(QJsonDocument::Compact);
}

QString FlipZoomFile(const QString& folder, int page) {
    return QDir(folder).filePath(
        QStringLiteral("%1/zoom%2.jpg").arg(QLatin1String(kFlipExtraFolder)).arg(page));
}

QString FlipThumbnailFile(const QString& folder, int page) {
    return QDir(folder).filePath(
        QStringLiteral("%1/thumb%2.jpg").arg(QLatin1String(kFlipExtraFolder)).arg(page));
}

FlipTexts flipTextsIn(TranslationStore& store) {
    static const char* const kLanguageCodes[] = {"de", "en", "fr", "nl"};
    FlipTexts texts;
    texts.back = store.GetMessageText(39);
    texts.forward = store.GetMessageText(40);
    texts.firstPage = store.GetMessageText(41);
    texts.lastPage = store.GetMessageText(42);
    texts.catalogue = store.GetMessageText(44);
    for (QString FlipTexts::*word :
         {&FlipTexts::navigation, &FlipTexts::zoomOut, &FlipTexts::zoomIn, &FlipTexts::page,
          &FlipTexts::pageOf, &FlipTexts::pagesOf, &FlipTexts::noScript, &FlipTexts::search, &FlipTexts::hits,
          &FlipTexts::noHits, &FlipTexts::thumbnails, &FlipTexts::close})
        texts.*word = store.TranslateText(texts.*word);
    const int language = store.language();
    texts.language = QLatin1String(language >= 0 && language < 4 ? kLanguageCodes[language] : "de");
    return texts;
}

int FlipBlend(int weight, int channel, int with) {
    // Exactly, in hundredths: the halves fall on a remainder of 50.
    const int v = weight * channel + (100 - weight) * with;
    int q = v / 100;
    const int r = v % 100;
    if (r > 50 || (r == 50 && q % 2 == 1))
        ++q;
    return q;
}

void ShadePageEdges(dib& picture, int page) {
    if (!picture.poi || dibbitcount(picture) != 24)
        return;
    const int w = dibwidth(picture);
    const int h = dibheight(picture);
    const bool odd = page % 2 == 1;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int a = 0;
            if (odd) {
                a = x > w - kEdgeBand ? (w - 1 - x) * kWeightStep : x;
            } else {
                a = w - 1 - x;
                if (a > w - kEdgeBand)
                    a = x * kWeightStep;
            }
            if (y < kEdgeBand && a > y * kWeightStep)
                a = y * kWeightStep;
            if (y > h - kEdgeBand - 1 && a > (h - 1 - y) * kWeightStep)
                a = (h - 1 - y) * kWeightStep;
            a = std::min(a + kBlendBase, 100);
            if (a < 100)
                blendPixel(picture, x, y, a);
        }
    }
}

void TurnPageCorner(dib& picture, int page) {
    if (!picture.poi || dibbitcount(picture) != 24)
        return;
    const int w = dibwidth(picture);
    const int h = dibheight(picture);
    const bool odd = page % 2 == 1;
    const double s = std::sin(kCornerAngle);
    const double c = std::cos(kCornerAngle);
    for (int y = std::max(0, h - kCornerSquare); y < h; ++y) {
        const int xFrom = odd ? std::max(0, w - kCornerSquare) : 0;
        const int xTo = odd ? w - 1 : std::min(w - 1, kCornerSquare);
        for (int x = xFrom; x <= xTo; ++x) {
            const double d = (odd ? std::abs(w - x) : std::abs(x)) * s + std::abs(h - y) * c;
            int a = Round(d);
            if (a < kCornerThreshold || a > 100)
                a = 100;
            const quint8 v = quint8(FlipBlend(a, 255, kBlendColour));
            quint8* p = pixel(picture, x, y);
            p[0] = p[1] = p[2] = v;
        }
    }
}

void ShadeScaledPageEdges(QImage& image, int page, double scale) {
    if (image.isNull() || image.depth() != 32 || scale <= 0)
        return;
    const int w = image.width();
    const int h = image.height();
    const bool odd = page % 2 == 1;
    // The weight of ShadePageEdges, with distances from the edges measured in pixels of the
    // base pictures: a column's weight, capped near the top and bottom by the row's.
    std::vector<int> columns(std::size_t(w), 100);
    for (int x = 0; x < w; ++x) {
        const double left = x / scale;
        const double right = (w - 1 - x) / scale;
        double a = 0;
        if (odd)
            a = right < kEdgeBand - 1 ? right * kWeightStep : left;
        else
            a = left < kEdgeBand - 1 ? left * kWeightStep : right;
        columns[std::size_t(x)] = int(std::min(a, 100.0));
    }
    const auto rowCap = [&](int y) {
        const double edge = std::min(y, h - 1 - y) / scale;
        return edge < kEdgeBand ? int(edge * kWeightStep) : 100;
    };
    // Blends by weight (0 ... 99) and channel, looked up.
    static const auto kBlended = [] {
        std::vector<quint8> table(100 * 256);
        for (int a = 0; a < 100; ++a)
            for (int c = 0; c < 256; ++c)
                table[std::size_t(a * 256 + c)] = quint8(FlipBlend(a, c, kBlendColour));
        return table;
    }();
    // Only the bands near the edges change; the columns between them keep weight 100.
    int firstPlain = 0;
    while (firstPlain < w && columns[std::size_t(firstPlain)] + kBlendBase < 100)
        ++firstPlain;
    int lastPlain = w - 1;
    while (lastPlain >= firstPlain && columns[std::size_t(lastPlain)] + kBlendBase < 100)
        --lastPlain;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int cap = rowCap(y);
        const auto shade = [&](int from, int to) {
            for (int x = from; x < to; ++x) {
                const int a = std::min(std::min(columns[std::size_t(x)], cap) + kBlendBase, 100);
                if (a == 100)
                    continue;
                const quint8* blend = &kBlended[std::size_t(a * 256)];
                const QRgb c = line[x];
                line[x] = qRgb(blend[qRed(c)], blend[qGreen(c)], blend[qBlue(c)]);
            }
        };
        if (cap + kBlendBase < 100) {
            shade(0, w);
        } else {
            shade(0, firstPlain);
            shade(lastPlain + 1, w);
        }
    }
}

EngineCall FlipExportCall(const FlipExportSettings& settings) {
    return ExportCall(settings.dpi, ScaledPageSize(settings.printerPixels, settings.printerDpi, settings.dpi),
                      settings.printerPixels, settings.printerDpi);
}

bool CopyFileWithTime(const QString& source, const QString& target) {
    StagedFiles copy;
    if (!stageCopy(copy, source, target))
        return false;
    if (!copy.commit())
        throw Error(49, target);
    return true;
}

namespace {

// Renders every page of the flip catalogue with `call` into `bitmap` and hands each to
// `store` (the page number and whether pages follow), which returns false to stop. The
// blank partner of an odd last page is rendered too, although the engine reports no more.
// Returns the last page, or 0 when `store` stopped.
int renderFlipPages(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env, const EngineCall& call,
                    QImage& bitmap, const std::function<bool(int, bool)>& store) {
    int last = 0;
    bool extraPage = false;
    const auto page = [&](int number, const QImage&, bool more) {
        if (doc.anzpages % 2 == 1) {
            if (doc.anzpages == number)
                more = extraPage = true;
            ++doc.anzpages;
        }
        last = number;
        return store(number, more);
    };
    // The count made even after every page, as the next engine call then reads it.
    const auto makeEven = [](CatalogDocument& d) {
        if (d.anzpages % 2 == 1)
            ++d.anzpages;
    };
    if (!RenderPages(doc, layoutCombo, env, call, bitmap, page, nullptr, makeEven))
        return 0;
    while (extraPage) {
        extraPage = false;
        const int number = last + 1;
        const bool more = RenderPage(doc, layoutCombo, env, call, bitmap, number);
        if (!page(number, bitmap, more))
            return 0;
    }
    return last;
}

} // namespace

bool ExportFlipCatalogue(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env,
                         const FlipExportSettings& settings, const ProgramFolders& program,
                         const QString& folder, const FlipTexts& texts, Progress& progress) {
    if (folder.isEmpty())
        throw Error(38);
    // The folder may be given with a trailing separator (or a Windows one) or without.
    const QString dir = QDir::cleanPath(QString(folder).replace(QLatin1Char('\\'), QLatin1Char('/')));
    const int evenPages = EvenPageCount(doc.anzpages);

    const QString templatePath = program.dataLocation(kTemplate);
    QFile templateFile(templatePath);
    if (!templateFile.open(QIODevice::ReadOnly))
        throw Error(1, templatePath);
    const QString htmlTemplate = QString::fromUtf8(templateFile.readAll());
    templateFile.close();
    if (!QDir().mkpath(dir))
        throw Error(49, dir);
    const QString cataloguePath = QDir(dir).filePath(kCatalogue);
    // The folder of the thumbnails and sharp pages is made now, as the files are staged
    // beside their targets; made here and left empty by a failure or a cancel, it goes again.
    const QString extraDir = QDir(dir).filePath(QLatin1String(kFlipExtraFolder));
    const bool extraDirIsNew = !QFileInfo(extraDir).isDir();
    if (!QDir().mkpath(extraDir))
        throw Error(49, extraDir);
    struct RemoveIfEmpty {
        QString path;
        bool armed;
        ~RemoveIfEmpty() {
            if (armed)
                QDir().rmdir(path); // only an empty folder goes
        }
    } extraDirGuard{extraDir, extraDirIsNew};

    // Every file is staged beside its target and all of them replace the old ones together
    // at the end, so a failure or a cancel leaves the previous catalogue as it was.
    StagedFiles files;
    for (const char* name : kFlipPictures) {
        const QString file = QString::fromLatin1(name);
        stageCopy(files, program.dataLocation(file), QDir(dir).filePath(file));
    }

    // The pages: the printer page scaled to the resolution.
    const EngineCall call = FlipExportCall(settings);
    QImage bitmap = NewPageBitmap(QSize(call.width, call.height), cataloguePath);
    SetJPEGQual(settings.quality);
    bitmap.fill(Qt::white);
    {
        const dib blank = PagePicture(bitmap, cataloguePath, settings.dpi);
        stageJpeg(files, blank, FlipPageFile(dir, 0, false));
        stageJpeg(files, blank, FlipPageFile(dir, evenPages + 1, false));
        stageJpeg(files, blank, FlipPageFile(dir, evenPages + 1, true));
    }

    const bool zoom = settings.zoomDpi > settings.dpi;
    const int passes = zoom ? 2 : 1;
    const int expected = std::max(1, evenPages);
    if (!progress.report(0, passes * expected))
        return false;

    // The sharp pages: the same layout once more at the higher resolution, drawn by a
    // worker beside the base pictures. It lays out a copy of the document as it is now, with
    // an environment of its own, so both renderings start from the same state and break the
    // pages alike. It stages its files apart; the base rendering asks it to stop when the
    // export is cancelled or fails.
    std::atomic<int> sharpDone = 0;
    std::atomic<bool> sharpFinished = false;
    int sharpLast = 0;
    std::exception_ptr sharpError;
    StagedFiles sharpFiles;
    const QSize sharpSize = ScaledPageSize(settings.printerPixels, settings.printerDpi, settings.zoomDpi);
    std::jthread sharpWorker;
    if (zoom) {
        sharpWorker = std::jthread([&, copy = doc](std::stop_token stop) mutable {
            try {
                EngineEnvironment sharpEnv(*env.clock, env.locale);
                const EngineCall sharpCall =
                    ExportCall(settings.zoomDpi, sharpSize, settings.printerPixels, settings.printerDpi);
                QImage sharp = NewPageBitmap(sharpSize, cataloguePath);
                setResolution(sharp, settings.zoomDpi); // set once: filling keeps it
                const double scale = double(sharpSize.width()) / std::max(1, call.width);
                sharpLast =
                    renderFlipPages(copy, layoutCombo, sharpEnv, sharpCall, sharp, [&](int number, bool) {
                        // The bitmap is drawn anew for the next page, so it is shaded in place.
                        ShadeScaledPageEdges(sharp, number, scale);
                        stageImage(sharpFiles, sharp, settings.quality, FlipZoomFile(dir, number));
                        sharpDone = number;
                        return !stop.stop_requested();
                    });
            } catch (...) {
                sharpError = std::current_exception();
            }
            sharpFinished = true;
        });
    }

    const int last = renderFlipPages(doc, layoutCombo, env, call, bitmap, [&](int number, bool more) {
        QImage thumbnail =
            bitmap.scaledToWidth(std::min(kFlipThumbnailWidth, bitmap.width()), Qt::SmoothTransformation);
        setResolution(thumbnail, settings.dpi * thumbnail.width() / std::max(1, bitmap.width()));
        stageImage(files, thumbnail, settings.quality, FlipThumbnailFile(dir, number));
        dib picture = PagePicture(bitmap, cataloguePath, settings.dpi);
        ShadePageEdges(picture, number);
        stageJpeg(files, picture, FlipPageFile(dir, number, false));
        TurnPageCorner(picture, number);
        stageJpeg(files, picture, FlipPageFile(dir, number, true));
        const int total = std::max(expected, number + (more ? 1 : 0));
        return progress.report(number + std::min(sharpDone.load(), total), passes * total);
    });
    if (last == 0)
        return false;

    FlipPageData data;
    data.products = FlipProductsJson(doc);
    if (zoom) {
        while (!sharpFinished) {
            if (!progress.report(last + std::min(sharpDone.load(), last), passes * last))
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        sharpWorker.join();
        if (sharpError)
            std::rethrow_exception(sharpError);
        if (sharpLast == 0)
            return false;
        if (sharpLast != last) // never for a layout that breaks alike at every resolution
            throw Error::format(
                QStringLiteral("Die Seiten in hoher Auflösung brechen anders um: %1 statt %2 Seiten."),
                {QString::number(sharpLast), QString::number(last)});
        data.zoomWidth = sharpSize.width();
        if (!progress.report(passes * last, passes * last))
            return false;
    }

    // The page that names the others comes last, so it never points at a missing page.
    const QString html = FlipCatalogueHtml(htmlTemplate, evenPages, texts, data);
    if (!files.stage(cataloguePath, html.toUtf8()))
        throw Error(49, cataloguePath);
    QString failed;
    if (!sharpFiles.commit(&failed) || !files.commit(&failed))
        throw Error(49, failed);
    doc.anzpages = last;
    return true;
}

} // namespace pw
