// pagewright-cli render: one page as a PNG picture; pagewright-cli pages: the page of every
// category and product as JSON.

#include "cli/args.h"
#include "cli/json.h"
#include "cli/layoutcli.h"
#include "model/options.h"
#include "model/savefile.h"
#include "output/exportpage.h"

#include <QBuffer>
#include <QImage>

#include <cmath>
#include <limits>

namespace pw::cli {

namespace {

// The highest --dpi of render; the page size may allow less (checkDpiLimit).
constexpr int kMostDpi = 2400;

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
    bool strict = false;
    using K = ArgOption::Kind;
    ArgRules rules;
    rules.command = "render";
    QStringList files;
    if (!readArgs(args, rules,
                  {
                      {.name = QStringLiteral("--page"),
                       .kind = K::Number,
                       .low = -1000000,
                       .high = 1000000,
                       .badValue = "--page braucht eine Seitennummer",
                       .number = &page,
                       .seen = &havePage},
                      {.name = QStringLiteral("-o"),
                       .kind = K::Text,
                       .badValue = "-o braucht einen Dateinamen",
                       .text = &out},
                      // Values above what the page size allows are refused below, naming the limit.
                      {.name = QStringLiteral("--dpi"),
                       .kind = K::Number,
                       .low = 1,
                       .high = std::numeric_limits<int>::max(),
                       .badValue = "--dpi erwartet eine ganze Zahl ab 1",
                       .number = &dpi},
                      {.name = QStringLiteral("--zoom"),
                       .kind = K::Number,
                       .low = 1,
                       .high = 1000,
                       .number = &zoom},
                      {.name = QStringLiteral("--layout"),
                       .kind = K::Number,
                       .low = 1,
                       .high = kLayoutCount,
                       .number = &layoutArg},
                      {.name = QStringLiteral("--preview"), .kind = K::Switch, .on = &preview},
                      {.name = QStringLiteral("--strict"), .kind = K::Switch, .on = &strict},
                  },
                  &files))
        return kUsage;
    file = files.value(0);
    if (file.isEmpty() || out.isEmpty() || !havePage)
        return usageError(QStringLiteral("render: Katalogdatei, --page N und -o DATEI.png sind nötig"));

    const QSize printer = PaperPixels(context.global.paper, context.global.printerDpi);
    const auto pageAt = [&](int d) {
        const PageGeometry at = PreviewGeometry(printer, context.global.printerDpi, d, zoom);
        return QSize(at.width, at.height);
    };
    if (!checkDpiLimit("render", dpi, 1, kMostDpi, pageAt,
                       QStringLiteral("Papier %1, --zoom %2").arg(context.global.paper).arg(zoom)))
        return kUsage;
    const PageGeometry g = PreviewGeometry(printer, context.global.printerDpi, dpi, zoom);
    QImage image;
    try {
        image = NewPageBitmap(QSize(g.width, g.height), out);
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }

    CatalogSession session = makeSession(context);
    int layout = 0;
    if (!openForLayout(context, session, file, layoutArg, layout))
        return kFailed;
    CatalogDocument& doc = session.doc();
    EngineEnvironment& env = session.environment();
    EngineCall call = callForPage(g, dpi);
    call.seiteedvalue = page;
    call.zoomedvalue = zoom;
    call.printit = !preview;
    session.measuringRun(layout, call);
    if (strictStop(context, env, strict))
        return kFailed;
    // The preview shows such a page as an empty sheet, and so does the picture; the user
    // learns why.
    if (page < 1 || page > doc.anzpages)
        printWarning(context,
                     Error::format(QStringLiteral("Seite %1 gibt es nicht, der Katalog hat %2 Seiten; "
                                                  "das Bild zeigt eine leere Seite"),
                                   {QString::number(page), QString::number(doc.anzpages)}, file));

    image.fill(Qt::white);
    {
        PainterCanvas canvas(&image);
        PaintLayout(layout, canvas, doc, ViewState{}, env, call);
    }
    printPictureFailures(context, env);
    // The picture states the resolution the paper was drawn at.
    const double dotsPerMeter = dpi * zoom / 100.0 / 0.0254;
    image.setDotsPerMeterX(int(std::lround(dotsPerMeter)));
    image.setDotsPerMeterY(int(std::lround(dotsPerMeter)));
    // Encoded in memory and put in place in one go: a failed write keeps the old picture.
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    if (!image.save(&png, "PNG") || !WriteFileAtomically(out, png.data())) {
        printError(context, Error(49, out));
        return kFailed;
    }
    // A picture that failed only while the page was drawn.
    return strict && !env.pictureFailures.empty() ? kFailed : kOk;
}

int runPages(const QStringList& args, Context& context) {
    QString file;
    int layoutArg = 0;
    int runs = 1;
    using K = ArgOption::Kind;
    ArgRules rules;
    rules.command = "pages";
    QStringList files;
    if (!readArgs(
            args, rules,
            {
                {.name = QStringLiteral("--layout"),
                 .kind = K::Number,
                 .low = 1,
                 .high = kLayoutCount,
                 .number = &layoutArg},
                {.name = QStringLiteral("--runs"), .kind = K::Number, .low = 1, .high = 100, .number = &runs},
            },
            &files))
        return kUsage;
    file = files.value(0);
    if (file.isEmpty())
        return usageError(QStringLiteral("pages: keine Katalogdatei angegeben"));

    CatalogSession session = makeSession(context);
    int layout = 0;
    if (!openForLayout(context, session, file, layoutArg, layout))
        return kFailed;
    CatalogDocument& doc = session.doc();

    // The preview's page: the printer page at the screen's 96 dpi and zoom 100.
    const int printerDpi = context.global.printerDpi;
    const PageGeometry g =
        PreviewGeometry(PaperPixels(context.global.paper, printerDpi), printerDpi, 96, 100);
    EngineEnvironment& env = session.environment();
    EngineCall call = callForPage(g, 96);
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
