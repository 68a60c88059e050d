// The commands that lay pages out: render (one page as a PNG picture), pages (the page of
// every category and product as JSON), pdf (the catalogue as a PDF file) and images (every
// page as a picture file).

#include "cli/cli.h"
#include "cli/json.h"
#include "cli/load.h"
#include "compose/engine.h"
#include "compose/units.h"
#include "imagelib/picfiles.h"
#include "model/options.h"
#include "model/programfolders.h"
#include "output/imageexport.h"
#include "output/pdfexport.h"

#include <QFileInfo>
#include <QImage>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace pw::cli {

namespace {

// The value of an option written "--name value" or "--name=value"; advances i past it.
// Returns false when the value is missing.
bool optionValue(const QStringList& args, qsizetype& i, const QString& name, QString& value) {
    const QString& a = args[i];
    if (a.startsWith(name + QLatin1Char('='))) {
        value = a.mid(name.size() + 1);
        return true;
    }
    if (i + 1 >= args.size())
        return false;
    value = args[++i];
    return true;
}

bool isOption(const QString& a, const char* name) {
    return a == QLatin1String(name) || a.startsWith(QLatin1String(name) + QLatin1Char('='));
}

bool parseInt(const QString& text, int low, int high, int& out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

std::unique_ptr<Clock> clockFor(const Context& context) {
    if (context.global.date.isValid())
        return std::make_unique<FixedClock>(context.global.date);
    return std::make_unique<SystemClock>();
}

// The layout to use: --layout N (1..8), else the catalogue's own. Prints the error and
// returns -1 for a stored layout that does not exist.
int chooseLayout(const CatalogDocument& doc, int requested) {
    const int layout = requested > 0 ? requested - 1 : doc.settings.LayoutCombo;
    if (layout < 0 || layout >= kLayoutCount || !LayoutAvailable(layout)) {
        const QByteArray line =
            QStringLiteral("pagewright-cli: Layout %1 gibt es nicht (1 bis 8)\n").arg(layout + 1).toUtf8();
        std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
        return -1;
    }
    return layout;
}

// Loads FILE into doc and chooses its layout; false (with the message printed) when
// either fails.
bool openForLayout(Context& context, CatalogDocument& doc, const QString& file, int requested, int& layout) {
    if (!loadCatalog(context, doc, file, ReadOptions{}))
        return false;
    layout = chooseLayout(doc, requested);
    return layout >= 0;
}

// One layout run that draws nothing, as the window's preview would have made before.
void measuringRun(int layout, CatalogDocument& doc, EngineEnvironment& env, EngineCall call) {
    PainterCanvas measure(nullptr);
    call.seiteedvalue = 0;
    PaintLayout(layout, measure, doc, ViewState{}, env, call);
}

// A progress line on stderr, shown only when stderr is a terminal.
class TerminalProgress final : public Progress {
public:
    explicit TerminalProgress(const char* what) : m_what(what), m_show(isatty(STDERR_FILENO) != 0) {}
    ~TerminalProgress() override {
        if (m_show && m_shown)
            std::fputs("\n", stderr);
    }
    bool report(int done, int total) override {
        if (m_show) {
            std::fprintf(stderr, "\r%s: %d / %d", m_what, done, total);
            std::fflush(stderr);
            m_shown = true;
        }
        return true;
    }

private:
    const char* m_what;
    bool m_show;
    bool m_shown = false;
};

} // namespace

int runRender(const QStringList& args, Context& context) {
    QString file;
    QString out;
    int page = 0;
    bool havePage = false;
    int dpi = 96;
    int zoom = 100;
    int layoutArg = 0;
    bool preview = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString v;
        if (isOption(a, "--page")) {
            if (!optionValue(args, i, QStringLiteral("--page"), v) || !parseInt(v, -1000000, 1000000, page))
                return usageError(QStringLiteral("render: --page braucht eine Seitennummer"));
            havePage = true;
        } else if (isOption(a, "-o")) {
            if (!optionValue(args, i, QStringLiteral("-o"), out))
                return usageError(QStringLiteral("render: -o braucht einen Dateinamen"));
        } else if (isOption(a, "--dpi")) {
            if (!optionValue(args, i, QStringLiteral("--dpi"), v) || !parseInt(v, 1, 2400, dpi))
                return usageError(QStringLiteral("render: --dpi erwartet 1 bis 2400"));
        } else if (isOption(a, "--zoom")) {
            if (!optionValue(args, i, QStringLiteral("--zoom"), v) || !parseInt(v, 1, 1000, zoom))
                return usageError(QStringLiteral("render: --zoom erwartet 1 bis 1000"));
        } else if (isOption(a, "--layout")) {
            if (!optionValue(args, i, QStringLiteral("--layout"), v) ||
                !parseInt(v, 1, kLayoutCount, layoutArg))
                return usageError(QStringLiteral("render: --layout erwartet 1 bis 8"));
        } else if (a == QLatin1String("--preview")) {
            preview = true;
        } else if (a.startsWith(QLatin1String("-")) || !file.isEmpty()) {
            return usageError(QStringLiteral("render: unerwartetes Argument %1").arg(a));
        } else {
            file = a;
        }
    }
    if (file.isEmpty() || out.isEmpty() || !havePage)
        return usageError(QStringLiteral("render: Katalogdatei, --page N und -o DATEI.png sind nötig"));

    const QSize printer = PaperPixels(context.global.paper, context.global.printerDpi);
    const PageGeometry g = PreviewGeometry(printer, context.global.printerDpi, dpi, zoom);
    QImage image;
    if (g.width > 0 && g.height > 0 && qint64(g.width) * g.height <= 400'000'000)
        image = QImage(g.width, g.height, QImage::Format_RGB32);
    if (image.isNull()) {
        printError(context,
                   Error::text(QStringLiteral("Die Seite ist mit %1 x %2 Pixeln zu groß zum Zeichnen")
                                   .arg(g.width)
                                   .arg(g.height)));
        return kFailed;
    }

    CatalogDocument doc;
    int layout = 0;
    if (!openForLayout(context, doc, file, layoutArg, layout))
        return kFailed;

    const std::unique_ptr<Clock> clock = clockFor(context);
    EngineEnvironment env(*clock, LanguageLocale(context.global.language));
    EngineCall call;
    call.dpi = dpi;
    call.width = g.width;
    call.height = g.height;
    call.seiteedvalue = page;
    call.zoomedvalue = zoom;
    call.printit = !preview;
    call.widthmm = g.widthmm;
    call.heightmm = g.heightmm;
    measuringRun(layout, doc, env, call);

    image.fill(Qt::white);
    {
        PainterCanvas canvas(&image);
        PaintLayout(layout, canvas, doc, ViewState{}, env, call);
    }
    if (!image.save(out, "PNG")) {
        printError(context, Error(49, out));
        return kFailed;
    }
    return kOk;
}

int runPages(const QStringList& args, Context& context) {
    QString file;
    int layoutArg = 0;
    int runs = 1;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString v;
        if (isOption(a, "--layout")) {
            if (!optionValue(args, i, QStringLiteral("--layout"), v) ||
                !parseInt(v, 1, kLayoutCount, layoutArg))
                return usageError(QStringLiteral("pages: --layout erwartet 1 bis 8"));
        } else if (isOption(a, "--runs")) {
            if (!optionValue(args, i, QStringLiteral("--runs"), v) || !parseInt(v, 1, 100, runs))
                return usageError(QStringLiteral("pages: --runs erwartet 1 bis 100"));
        } else if (a.startsWith(QLatin1String("-")) || !file.isEmpty()) {
            return usageError(QStringLiteral("pages: unerwartetes Argument %1").arg(a));
        } else {
            file = a;
        }
    }
    if (file.isEmpty())
        return usageError(QStringLiteral("pages: keine Katalogdatei angegeben"));

    CatalogDocument doc;
    int layout = 0;
    if (!openForLayout(context, doc, file, layoutArg, layout))
        return kFailed;

    // The preview's page: the printer page at the screen's 96 dpi and zoom 100.
    const int printerDpi = context.global.printerDpi;
    const PageGeometry g =
        PreviewGeometry(PaperPixels(context.global.paper, printerDpi), printerDpi, 96, 100);
    const std::unique_ptr<Clock> clock = clockFor(context);
    EngineEnvironment env(*clock, LanguageLocale(context.global.language));
    EngineCall call;
    call.dpi = 96;
    call.width = g.width;
    call.height = g.height;
    call.widthmm = g.widthmm;
    call.heightmm = g.heightmm;
    call.seiteedvalue = 0;
    PainterCanvas measure(nullptr);
    for (int r = 0; r < runs; ++r)
        PaintLayout(layout, measure, doc, ViewState{}, env, call);

    JsonWriter j;
    j.beginObject();
    j.key("anzpages").value(qint32(doc.anzpages));
    j.key("kats").beginArray();
    for (int k = 0; k < doc.categoryCount(); ++k) {
        const TKategorie* o = doc.options(k);
        if (o && o->Deactivate)
            continue;
        j.beginObject();
        j.key("name").value(doc.categoryName(k));
        j.key("seite");
        if (o)
            j.value(qint32(o->seite));
        else
            j.null();
        j.key("products").beginArray();
        for (const TProdukt& p : doc.products(k)) {
            if (p.DeactivateProd)
                continue;
            j.beginObject();
            j.key("name").value(p.name);
            j.key("seite").value(qint32(p.seite));
            j.endObject();
        }
        j.endArray();
        j.endObject();
    }
    j.endArray();
    j.endObject();
    return printJson(j);
}

} // namespace pw::cli

namespace pw::cli {

int runPdf(const QStringList& args, Context& context) {
    QString file;
    QString out;
    int dpi = 300;
    int layoutArg = 0;
    int colours = -1; // -1: the program option, 0 RGB, 1 CMYK
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString v;
        if (isOption(a, "-o")) {
            if (!optionValue(args, i, QStringLiteral("-o"), out))
                return usageError(QStringLiteral("pdf: -o braucht einen Dateinamen"));
        } else if (isOption(a, "--dpi")) {
            if (!optionValue(args, i, QStringLiteral("--dpi"), v) || !parseInt(v, 10, 4000, dpi))
                return usageError(QStringLiteral("pdf: --dpi erwartet 10 bis 4000"));
        } else if (isOption(a, "--layout")) {
            if (!optionValue(args, i, QStringLiteral("--layout"), v) ||
                !parseInt(v, 1, kLayoutCount, layoutArg))
                return usageError(QStringLiteral("pdf: --layout erwartet 1 bis 8"));
        } else if (a == QLatin1String("--cmyk") || a == QLatin1String("--rgb")) {
            if (colours >= 0)
                return usageError(QStringLiteral("pdf: nur eine von --cmyk und --rgb"));
            colours = a == QLatin1String("--cmyk") ? 1 : 0;
        } else if (a.startsWith(QLatin1String("-")) || !file.isEmpty()) {
            return usageError(QStringLiteral("pdf: unerwartetes Argument %1").arg(a));
        } else {
            file = a;
        }
    }
    if (file.isEmpty() || out.isEmpty())
        return usageError(QStringLiteral("pdf: Katalogdatei und -o DATEI.pdf sind nötig"));

    CatalogDocument doc;
    int layout = 0;
    if (!openForLayout(context, doc, file, layoutArg, layout))
        return kFailed;
    PdfExportSettings settings;
    settings.printerDpi = context.global.printerDpi;
    settings.printerPixels = PaperPixels(context.global.paper, settings.printerDpi);
    settings.dpi = dpi;
    settings.cmyk = colours >= 0 ? colours == 1 : LoadProgramOptions().PDFDateienmitCMYKFarbenausgeben1;
    settings.programFolder = ProgramFolders::forThisProgram().programDir();

    const std::unique_ptr<Clock> clock = clockFor(context);
    EngineEnvironment env(*clock, LanguageLocale(context.global.language));
    const PdfPageGeometry g = PdfExportGeometry(doc.settings, settings);
    EngineCall call;
    call.dpi = dpi;
    call.width = g.bitmapWidth;
    call.height = g.bitmapHeight;
    call.printit = true;
    call.widthmm = g.widthmm;
    call.heightmm = g.heightmm;
    measuringRun(layout, doc, env, call);
    try {
        TerminalProgress progress("PDF");
        ExportPdf(doc, layout, env, settings, out, progress);
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }
    return kOk;
}

} // namespace pw::cli

namespace pw::cli {

int runImages(const QStringList& args, Context& context) {
    QString file;
    QString out;
    ImageExportSettings settings;
    int layoutArg = 0;
    int from = 0;
    int to = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString v;
        if (isOption(a, "-o")) {
            if (!optionValue(args, i, QStringLiteral("-o"), out))
                return usageError(QStringLiteral("images: -o braucht einen Dateinamen"));
        } else if (isOption(a, "--dpi")) {
            if (!optionValue(args, i, QStringLiteral("--dpi"), v) || !parseInt(v, 10, 1440, settings.dpi))
                return usageError(QStringLiteral("images: --dpi erwartet 10 bis 1440"));
        } else if (isOption(a, "--quality")) {
            if (!optionValue(args, i, QStringLiteral("--quality"), v) ||
                !parseInt(v, 0, 100, settings.quality))
                return usageError(QStringLiteral("images: --quality erwartet 0 bis 100"));
        } else if (isOption(a, "--from")) {
            if (!optionValue(args, i, QStringLiteral("--from"), v) || !parseInt(v, 1, 1000000, from))
                return usageError(QStringLiteral("images: --from erwartet eine Seitennummer"));
        } else if (isOption(a, "--to")) {
            if (!optionValue(args, i, QStringLiteral("--to"), v) || !parseInt(v, 1, 1000000, to))
                return usageError(QStringLiteral("images: --to erwartet eine Seitennummer"));
        } else if (isOption(a, "--layout")) {
            if (!optionValue(args, i, QStringLiteral("--layout"), v) ||
                !parseInt(v, 1, kLayoutCount, layoutArg))
                return usageError(QStringLiteral("images: --layout erwartet 1 bis 8"));
        } else if (a.startsWith(QLatin1String("-")) || !file.isEmpty()) {
            return usageError(QStringLiteral("images: unerwartetes Argument %1").arg(a));
        } else {
            file = a;
        }
    }
    if (file.isEmpty() || out.isEmpty())
        return usageError(QStringLiteral("images: Katalogdatei und -o NAME.jpg sind nötig"));
    if ((from > 0) != (to > 0))
        return usageError(QStringLiteral("images: --from und --to gehören zusammen"));
    const QString extension = QFileInfo(out).suffix();
    settings.format = extension.isEmpty() ? kFormatJpg : FormatForExtension(extension);
    if (settings.format == kFormatByContent)
        return usageError(QStringLiteral("images: unbekanntes Bildformat .%1").arg(extension));
    settings.allPages = from == 0;
    settings.first = from;
    settings.last = to;

    CatalogDocument doc;
    int layout = 0;
    if (!openForLayout(context, doc, file, layoutArg, layout))
        return kFailed;
    settings.printerDpi = context.global.printerDpi;
    settings.printerPixels = PaperPixels(context.global.paper, settings.printerDpi);
    const std::unique_ptr<Clock> clock = clockFor(context);
    EngineEnvironment env(*clock, LanguageLocale(context.global.language));
    EngineCall call;
    call.dpi = settings.dpi;
    call.width = int(qint64(settings.printerPixels.width()) * settings.dpi / settings.printerDpi);
    call.height = int(qint64(settings.printerPixels.height()) * settings.dpi / settings.printerDpi);
    call.printit = true;
    call.widthmm = PxToMm(settings.printerPixels.width(), settings.printerDpi);
    call.heightmm = PxToMm(settings.printerPixels.height(), settings.printerDpi);
    measuringRun(layout, doc, env, call);
    try {
        TerminalProgress progress("Bilder");
        ExportPageImages(doc, layout, env, settings, out, progress);
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }
    return kOk;
}

} // namespace pw::cli
