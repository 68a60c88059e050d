// pagewright-cli pdf: the catalogue as a PDF file; pagewright-cli images: every page as a
// picture file; pagewright-cli html: the flip catalogue in a folder.

#include "cli/layoutcli.h"
#include "imagelib/picfiles.h"
#include "model/programfolders.h"
#include "output/exportpage.h"
#include "output/flipcatalog.h"
#include "output/pageimages.h"
#include "output/pdfexport.h"

#include <QFileInfo>

#include <functional>

namespace pw::cli {

namespace {

// Loads FILE, lays it out once without drawing with the call the export will use, and runs
// the export with a progress line. 2 (with the message printed) when either fails, and
// also when the export was cancelled (main turns that into the signal's exit code); 1 when
// `acceptable` (if given) refuses the loaded catalogue, having printed why. Pictures that
// did not load are reported as warnings; with `strict` they stop the export before it
// writes anything (or, met only while drawing, make it end with 2 after writing).
int runExport(Context& context, const QString& file, int layoutArg, bool strict, const char* what,
              const std::function<bool(const CatalogDocument&)>& acceptable,
              const std::function<EngineCall(const CatalogDocument&)>& call,
              const std::function<bool(CatalogDocument&, int, EngineEnvironment&, Progress&)>& exportPages) {
    CatalogSession session = makeSession(context);
    int layout = 0;
    if (!openForLayout(context, session, file, layoutArg, layout))
        return kFailed;
    CatalogDocument& doc = session.doc();
    if (acceptable && !acceptable(doc))
        return kUsage;
    EngineEnvironment& env = session.environment();
    session.measuringRun(layout, call(doc));
    if (strictStop(context, env, strict))
        return kFailed;
    try {
        TerminalProgress progress(what);
        if (!exportPages(doc, layout, env, progress))
            return kFailed;
    } catch (const Error& e) {
        printPictureFailures(context, env);
        printError(context, e);
        return kFailed;
    }
    printPictureFailures(context, env);
    return strict && !env.pictureFailures.empty() ? kFailed : kOk;
}

// The resolutions the exports accept: from 10 to these, or less where the page size does
// not allow so much (checkDpiLimit).
constexpr int kLeastExportDpi = 10;
constexpr int kMostPdfDpi = 4000;
constexpr int kMostImageDpi = 1440;

// The page of the image and HTML exports at a resolution: the printer page scaled.
template <class Settings> std::function<QSize(int)> scaledPageAt(const Settings& settings) {
    return [&settings](int d) { return ScaledPageSize(settings.printerPixels, settings.printerDpi, d); };
}

QString paperText(const Context& context) {
    return QStringLiteral("Papier %1").arg(context.global.paper);
}

// Reads the arguments of an export: FILE, "-o OUT", --dpi, the whole-number options and, through
// `flag`, any option of the command's own (it returns false for one it does not know or
// cannot take, having printed why, or returns true). Returns kOk, or kUsage with the usage
// error printed; FILE and OUT must both be given (`needed` names them in the message).
// --strict sets `strict`.
int readExportArgs(const QStringList& args, const char* command, int& dpi,
                   std::initializer_list<IntOption> numbers, const QString& needed, QString& file,
                   QString& out, bool& strict, const std::function<bool(const QString&, bool&)>& flag = {}) {
    const QString name = QLatin1String(command);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const int dpiRead = readDpiOption(args, i, command, kLeastExportDpi, dpi);
        if (dpiRead < 0)
            return kUsage;
        if (dpiRead > 0)
            continue;
        const int read = readIntOption(args, i, command, numbers);
        if (read < 0)
            return kUsage;
        if (read > 0)
            continue;
        bool known = false;
        if (flag && !flag(a, known))
            return kUsage;
        if (known)
            continue;
        if (a == QLatin1String("--strict")) {
            strict = true;
        } else if (isOption(a, "-o")) {
            if (!optionValue(args, i, QStringLiteral("-o"), out))
                return usageError(name + QStringLiteral(": -o braucht einen Namen"));
        } else if (a.startsWith(QLatin1String("-")) || !file.isEmpty()) {
            return usageError(name + QStringLiteral(": unerwartetes Argument %1").arg(a));
        } else {
            file = a;
        }
    }
    if (file.isEmpty() || out.isEmpty())
        return usageError(name + QStringLiteral(": Katalogdatei und -o %1 sind nötig").arg(needed));
    return kOk;
}

} // namespace

int runPdf(const QStringList& args, Context& context) {
    QString file;
    QString out;
    int dpi = 300;
    int layoutArg = 0;
    int colours = -1; // -1: not given, 0 RGB, 1 CMYK
    bool strict = false;
    const auto colourFlag = [&](const QString& a, bool& known) {
        known = a == QLatin1String("--cmyk") || a == QLatin1String("--rgb");
        if (!known)
            return true;
        if (colours >= 0) {
            usageError(QStringLiteral("pdf: nur eine von --cmyk und --rgb"));
            return false;
        }
        colours = a == QLatin1String("--cmyk") ? 1 : 0;
        return true;
    };
    if (const int code = readExportArgs(args, "pdf", dpi, {{"--layout", 1, kLayoutCount, &layoutArg}},
                                        QStringLiteral("DATEI.pdf"), file, out, strict, colourFlag))
        return code;

    PdfExportSettings settings;
    settings.printerDpi = context.global.printerDpi;
    settings.printerPixels = PaperPixels(context.global.paper, settings.printerDpi);
    // The paper limits the resolution here; a PDF size of the catalogue's own once it is read.
    const auto pdfPageAt = [&](const LayoutSettings& s) {
        return [&settings, &s](int d) {
            PdfExportSettings at = settings;
            at.dpi = d;
            const PdfPageGeometry g = PdfExportGeometry(s, at);
            return QSize(g.bitmapWidth, g.bitmapHeight);
        };
    };
    const LayoutSettings paperOnly; // no PDF size of its own
    if (!checkDpiLimit("pdf", dpi, kLeastExportDpi, kMostPdfDpi, pdfPageAt(paperOnly), paperText(context)))
        return kUsage;
    settings.dpi = dpi;
    // Without --cmyk or --rgb the program's default, CMYK: what the window's user last chose
    // is not read, so the same command line gives the same file on every machine.
    settings.cmyk = colours != 0;
    settings.programFolder = ProgramFolders::forThisProgram().programDir();
    const auto fitsCatalogue = [&](const CatalogDocument& doc) {
        return checkDpiLimit("pdf", dpi, kLeastExportDpi, kMostPdfDpi, pdfPageAt(doc.settings),
                             QStringLiteral("PDF-Größe von %1").arg(file));
    };
    return runExport(
        context, file, layoutArg, strict, "PDF", fitsCatalogue,
        [&](const CatalogDocument& doc) { return PdfExportCall(doc.settings, settings); },
        [&](CatalogDocument& doc, int layout, EngineEnvironment& env, Progress& progress) {
            return ExportPdf(doc, layout, env, settings, out, progress);
        });
}

int runImages(const QStringList& args, Context& context) {
    QString file;
    QString out;
    ImageExportSettings settings;
    int layoutArg = 0;
    bool strict = false;
    int from = 0;
    int to = 0;
    if (const int code = readExportArgs(args, "images", settings.dpi,
                                        {{"--quality", 0, 100, &settings.quality},
                                         {"--from", 1, 1000000, &from},
                                         {"--to", 1, 1000000, &to},
                                         {"--layout", 1, kLayoutCount, &layoutArg}},
                                        QStringLiteral("NAME.jpg"), file, out, strict))
        return code;
    if ((from > 0) != (to > 0))
        return usageError(QStringLiteral("images: --from und --to gehören zusammen"));
    const QString extension = QFileInfo(out).suffix();
    settings.format = extension.isEmpty() ? kFormatJpg : FormatForExtension(extension);
    if (settings.format == kFormatByContent)
        return usageError(QStringLiteral("images: unbekanntes Bildformat .%1").arg(extension));
    settings.allPages = from == 0;
    settings.first = from;
    settings.last = to;

    settings.printerDpi = context.global.printerDpi;
    settings.printerPixels = PaperPixels(context.global.paper, settings.printerDpi);
    if (!checkDpiLimit("images", settings.dpi, kLeastExportDpi, kMostImageDpi, scaledPageAt(settings),
                       paperText(context)))
        return kUsage;
    return runExport(
        context, file, layoutArg, strict, "Bilder", {},
        [&](const CatalogDocument&) { return ImageExportCall(settings); },
        [&](CatalogDocument& doc, int layout, EngineEnvironment& env, Progress& progress) {
            return ExportPageImages(doc, layout, env, settings, out, progress);
        });
}

int runHtml(const QStringList& args, Context& context) {
    QString file;
    QString out;
    FlipExportSettings settings;
    int layoutArg = 0;
    bool strict = false;
    if (const int code = readExportArgs(
            args, "html", settings.dpi,
            {{"--quality", 0, 100, &settings.quality}, {"--layout", 1, kLayoutCount, &layoutArg}},
            QStringLiteral("VERZEICHNIS"), file, out, strict))
        return code;

    settings.printerDpi = context.global.printerDpi;
    settings.printerPixels = PaperPixels(context.global.paper, settings.printerDpi);
    if (!checkDpiLimit("html", settings.dpi, kLeastExportDpi, kMostImageDpi, scaledPageAt(settings),
                       paperText(context)))
        return kUsage;
    FlipTexts texts;
    texts.back = context.texts.GetMessageText(39);
    texts.forward = context.texts.GetMessageText(40);
    texts.firstPage = context.texts.GetMessageText(41);
    texts.lastPage = context.texts.GetMessageText(42);
    return runExport(
        context, file, layoutArg, strict, "HTML", {},
        [&](const CatalogDocument&) { return FlipExportCall(settings); },
        [&](CatalogDocument& doc, int layout, EngineEnvironment& env, Progress& progress) {
            return ExportFlipCatalogue(doc, layout, env, settings, ProgramFolders::forThisProgram(), out,
                                       texts, progress);
        });
}

} // namespace pw::cli
