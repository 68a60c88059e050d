// pagewright-cli pricelist: the price list as plain text or as a printed PDF.

#include "output/pricelist.h"
#include "cli/args.h"
#include "cli/cli.h"
#include "cli/load.h"
#include "compose/engine.h"
#include "model/savefile.h"

#include <QFileInfo>
#include <QTextDocument>

namespace pw::cli {

int runPricelist(const QStringList& args, Context& context) {
    QString out;
    ArgRules rules;
    rules.command = "pricelist";
    QStringList files;
    if (!readArgs(args, rules,
                  {{.name = QStringLiteral("-o"),
                    .kind = ArgOption::Kind::Text,
                    .badValue = "unerwartetes Argument -o",
                    .text = &out}},
                  &files))
        return kUsage;
    const QString file = files.value(0);
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (file.isEmpty() || out.isEmpty() || (suffix != QLatin1String("txt") && suffix != QLatin1String("pdf")))
        return usageError(
            QStringLiteral("pricelist: Katalogdatei und -o DATEI.txt oder DATEI.pdf sind nötig"));

    CatalogSession session = makeSession(context);
    if (!openCatalog(context, session, file))
        return kFailed;
    CatalogDocument& doc = session.doc();
    const QList<PriceListLine> lines = PriceListLines(doc, context.texts.GetMessageText(43));
    bool ok = false;
    if (suffix == QLatin1String("txt")) {
        ok = WriteFileAtomically(out, PriceListText(lines).toUtf8());
    } else {
        const std::unique_ptr<QTextDocument> document = PriceListDocument(lines);
        ok = PrintPriceList(*document, out, PaperPixels(context.global.paper, context.global.printerDpi),
                            context.global.printerDpi, context.texts.GetMessageText(44));
    }
    if (!ok) {
        printError(context, Error(49, out));
        return kFailed;
    }
    return kOk;
}

} // namespace pw::cli
