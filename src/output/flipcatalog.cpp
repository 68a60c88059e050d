#include "flipcatalog.h"

#include "compose/units.h"
#include "i18n/translateunit.h"
#include "imagelib/picfiles.h"
#include "model/error.h"
#include "model/savefile.h"
#include "output/exportpage.h"
#include "output/pagesource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstdlib>
#include <numbers>

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
    {"%%LANGUAGE%%", &FlipTexts::language},
};

} // namespace

QString FlipCatalogueHtml(const QString& htmlTemplate, int evenPages, const FlipTexts& texts) {
    QString html = htmlTemplate;
    html.replace(QStringLiteral("%%ANZPAGES%%"), QString::number((evenPages + 1) / 2 + 1));
    for (const FlipPlaceholder& p : kFlipPlaceholders)
        html.replace(QLatin1String(p.name), htmlText(texts.*p.text));
    return html;
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
          &FlipTexts::pageOf, &FlipTexts::pagesOf, &FlipTexts::noScript})
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
    const QString html = FlipCatalogueHtml(QString::fromUtf8(templateFile.readAll()), evenPages, texts);
    templateFile.close();
    if (!QDir().mkpath(dir))
        throw Error(49, dir);
    const QString cataloguePath = QDir(dir).filePath(kCatalogue);
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

    const int expected = std::max(1, evenPages);
    if (!progress.report(0, expected))
        return false;
    int last = 0;
    bool extraPage = false; // the page after an odd last one, written although it is blank
    // An odd page count becomes even after every page: the last page gets a blank partner.
    const auto makeEven = [](CatalogDocument& d) {
        if (d.anzpages % 2 == 1)
            ++d.anzpages;
    };
    const auto page = [&](int number, const QImage& rendered, bool more) {
        if (doc.anzpages % 2 == 1) {
            if (doc.anzpages == number)
                more = extraPage = true;
            ++doc.anzpages;
        }
        dib picture = PagePicture(rendered, cataloguePath, settings.dpi);
        ShadePageEdges(picture, number);
        stageJpeg(files, picture, FlipPageFile(dir, number, false));
        TurnPageCorner(picture, number);
        stageJpeg(files, picture, FlipPageFile(dir, number, true));
        last = number;
        return progress.report(number, std::max(expected, number + (more ? 1 : 0)));
    };
    if (!RenderPages(doc, layoutCombo, env, call, bitmap, page, nullptr, makeEven))
        return false;
    while (extraPage) {
        extraPage = false;
        const int number = last + 1;
        const bool more = RenderPage(doc, layoutCombo, env, call, bitmap, number);
        if (!page(number, bitmap, more))
            return false;
    }
    // The page that names the others comes last, so it never points at a missing page.
    if (!files.stage(cataloguePath, html.toUtf8()))
        throw Error(49, cataloguePath);
    QString failed;
    if (!files.commit(&failed))
        throw Error(49, failed);
    doc.anzpages = last;
    return true;
}

} // namespace pw
