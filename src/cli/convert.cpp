// pagewright-cli convert IN OUT: reads IN by its extension, writes OUT in the current format.

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/load.h"

namespace pw::cli {

int runConvert(const QStringList& args, Context& context) {
    QStringList files;
    ArgRules rules = editRules("convert");
    rules.optionPrefix = "--";
    if (!readArgs(args, rules, {}, &files))
        return kUsage;
    if (files.size() != 2)
        return usageError(QStringLiteral("convert: erwartet genau eine Eingabe- und eine Ausgabedatei"));

    CatalogSession session = makeSession(context);
    if (!openCatalog(context, session, files[0]))
        return kFailed;
    return saveSessionAs(context, session, files[1]) ? kOk : kFailed;
}

} // namespace pw::cli
