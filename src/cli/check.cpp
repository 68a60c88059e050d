// pagewright-cli check: the catalogue check as JSON, and an exit code a script can stop on.

#include "check/catalogcheck.h"
#include "cli/args.h"
#include "cli/cli.h"
#include "cli/json.h"
#include "cli/layoutcli.h"
#include "cli/load.h"
#include "model/options.h"

namespace pw::cli {

int runCheck(const QStringList& args, Context& context) {
    int layoutArg = 0;
    int dpi = 300;
    QString localeName;
    bool localeGiven = false;
    using K = ArgOption::Kind;
    ArgRules rules;
    rules.command = "check";
    QStringList files;
    if (!readArgs(
            args, rules,
            {
                {.name = QStringLiteral("--layout"),
                 .kind = K::Number,
                 .low = 1,
                 .high = kLayoutCount,
                 .number = &layoutArg},
                {.name = QStringLiteral("--dpi"), .kind = K::Number, .low = 10, .high = 4000, .number = &dpi},
                {.name = QStringLiteral("--locale"), .text = &localeName, .seen = &localeGiven},
            },
            &files))
        return kUsage;
    const QString file = files.value(0);
    if (file.isEmpty())
        return usageError(QStringLiteral("check: keine Katalogdatei angegeben"));

    CheckOptions options;
    // Prices are written as the interface language writes numbers unless --locale says.
    options.locale = LanguageLocale(context.global.language);
    if (localeGiven) {
        options.locale = QLocale(localeName);
        if (options.locale == QLocale::c() && localeName != QLatin1String("C") &&
            localeName != QLatin1String("POSIX"))
            return usageError(QStringLiteral("check: unbekanntes Gebietsschema %1"), localeName);
    }
    options.pdfDpi = dpi;
    options.printerDpi = context.global.printerDpi;
    options.printerPixels = PaperPixels(context.global.paper, options.printerDpi);

    CatalogSession session = makeSession(context);
    if (!openForLayout(context, session, file, layoutArg, options.layout))
        return kFailed;
    const std::vector<Finding> findings =
        checkCatalogue(session.doc(), options, *context.clock, context.texts);

    JsonWriter j;
    j.beginObject();
    j.key("findings").beginArray();
    for (const Finding& f : findings) {
        j.beginObject();
        j.key("kind").value(QString::fromLatin1(findingKindInfo(f.kind).name));
        j.key("severity").value(QString::fromLatin1(severityName(f.severity())));
        j.key("kat").value(qint32(f.kat));
        j.key("category").value(f.category);
        j.key("product").value(f.product);
        j.key("index").value(qint32(f.index));
        j.key("page").value(qint32(f.page));
        j.key("message").value(f.message);
        j.endObject();
    }
    j.endArray();
    j.endObject();
    if (const int code = printJson(j); code != kOk)
        return code;
    return hasErrors(findings) ? kFindingsWithErrors : kOk;
}

} // namespace pw::cli
