// pagewright-cli pdf: the catalogue as a PDF file; pagewright-cli images: every page as a
// picture file; pagewright-cli html: the flip catalogue in a folder.

#include "cli/args.h"
#include "cli/layoutcli.h"
#include "imagelib/picfiles.h"
#include "model/programfolders.h"
#include "output/exportpage.h"
#include "output/flipcatalog.h"
#include "output/pageimages.h"
#include "output/pdfexport.h"
#include "output/vectorexport.h"

#include <QFileInfo>

#include <functional>
#include <limits>

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

// A whole-number option of an export, read as "<name> erwartet <low> bis <high>" when bad.
ArgOption number(const char* name, int low, int high, int* value) {
    return {.name = QLatin1String(name),
            .kind = ArgOption::Kind::Number,
            .low = low,
            .high = high,
            .number = value};
}

// Reads the arguments of an export: FILE, "-o OUT", --dpi, --strict and the options of
// the command's own (`extra`). Returns kOk, or kUsage with the usage error printed; FILE
// and OUT must both be given (`needed` names them in the message).
int readExportArgs(const QStringList& args, const char* command, int& dpi, std::vector<ArgOption> extra,
                   const QString& needed, QString& file, QString& out, bool& strict) {
    using K = ArgOption::Kind;
    std::vector<ArgOption> options{
        // Values above what the page size allows are refused later, naming the limit.
        {.name = QStringLiteral("--dpi"),
         .kind = K::Number,
         .low = kLeastExportDpi,
         .high = std::numeric_limits<int>::max(),
         .badValue = "--dpi erwartet eine ganze Zahl ab 10",
         .number = &dpi},
        {.name = QStringLiteral("--strict"), .kind = K::Switch, .on = &strict},
        {.name = QStringLiteral("-o"), .kind = K::Text, .badValue = "-o braucht einen Namen", .text = &out},
    };
    options.insert(options.end(), extra.begin(), extra.end());
    ArgRules rules;
    rules.command = command;
    QStringList files;
    if (!readArgs(args, rules, options, &files))
        return kUsage;
    file = files.value(0);
    if (file.isEmpty() || out.isEmpty())
        return usageError(QStringLiteral("%1: Katalogdatei und -o %2 sind nötig"), QLatin1String(command),
                          needed);
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
    bool vector = false;
    bool predictor = false;
    const auto colour = [&colours](const char* name, int value) {
        return ArgOption{
            .name = QLatin1String(name), .kind = ArgOption::Kind::Switch, .onSwitch = [&colours, value] {
                if (colours >= 0) {
                    usageError(QStringLiteral("pdf: nur eine von --cmyk und --rgb"));
                    return false;
                }
                colours = value;
                return true;
            }};
    };
    if (const int code = readExportArgs(
            args, "pdf", dpi,
            {number("--layout", 1, kLayoutCount, &layoutArg),
             colour("--cmyk", 1),
             colour("--rgb", 0),
             {.name = QStringLiteral("--vector"), .kind = ArgOption::Kind::Switch, .on = &vector},
             {.name = QStringLiteral("--predictor"), .kind = ArgOption::Kind::Switch, .on = &predictor}},
            QStringLiteral("DATEI.pdf"), file, out, strict))
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
    settings.predictor = predictor;
    settings.programFolder = ProgramFolders::forThisProgram().programDir();
    const auto fitsCatalogue = [&](const CatalogDocument& doc) {
        return checkDpiLimit("pdf", dpi, kLeastExportDpi, kMostPdfDpi, pdfPageAt(doc.settings),
                             QStringLiteral("PDF-Größe von %1").arg(file));
    };
    return runExport(
        context, file, layoutArg, strict, "PDF", fitsCatalogue,
        [&](const CatalogDocument& doc) { return PdfExportCall(doc.settings, settings); },
        [&](CatalogDocument& doc, int layout, EngineEnvironment& env, Progress& progress) {
            return vector ? ExportVectorPdf(doc, layout, env, settings, out, progress)
                          : ExportPdf(doc, layout, env, settings, out, progress);
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
                                        {number("--quality", 0, 100, &settings.quality),
                                         number("--from", 1, 1000000, &from), number("--to", 1, 1000000, &to),
                                         number("--layout", 1, kLayoutCount, &layoutArg)},
                                        QStringLiteral("NAME.jpg"), file, out, strict))
        return code;
    if ((from > 0) != (to > 0))
        return usageError(QStringLiteral("images: --from und --to gehören zusammen"));
    const QString extension = QFileInfo(out).suffix();
    settings.format = extension.isEmpty() ? kFormatJpg : FormatForExtension(extension);
    if (settings.format == kFormatByContent)
        return usageError(QStringLiteral("images: unbekanntes Bildformat .%1"), extension);
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
    if (const int code =
            readExportArgs(args, "html", settings.dpi,
                           {number("--quality", 0, 100, &settings.quality),
                            number("--layout", 1, kLayoutCount, &layoutArg),
                            {.name = QStringLiteral("--zoom-dpi"),
                             .kind = ArgOption::Kind::Number,
                             .low = 0,
                             .high = kMostImageDpi,
                             .badValue = "--zoom-dpi erwartet 0 (keine scharfen Seiten) oder 10 bis 1440",
                             .number = &settings.zoomDpi}},
                           QStringLiteral("VERZEICHNIS"), file, out, strict))
        return code;
    if (settings.zoomDpi > 0 && settings.zoomDpi < kLeastExportDpi)
        return usageError(
            QStringLiteral("html: --zoom-dpi erwartet 0 (keine scharfen Seiten) oder 10 bis 1440"));

    settings.printerDpi = context.global.printerDpi;
    settings.printerPixels = PaperPixels(context.global.paper, settings.printerDpi);
    if (!checkDpiLimit("html", settings.dpi, kLeastExportDpi, kMostImageDpi, scaledPageAt(settings),
                       paperText(context)) ||
        !checkDpiLimit("html", settings.zoomDpi, 0, kMostImageDpi, scaledPageAt(settings), paperText(context),
                       "--zoom-dpi"))
        return kUsage;
    const FlipTexts texts = flipTextsIn(context.texts);
    return runExport(
        context, file, layoutArg, strict, "HTML", {},
        [&](const CatalogDocument&) { return FlipExportCall(settings); },
        [&](CatalogDocument& doc, int layout, EngineEnvironment& env, Progress& progress) {
            return ExportFlipCatalogue(doc, layout, env, settings, ProgramFolders::forThisProgram(), out,
                                       texts, progress);
        });
}

} // namespace pw::cli
