// pagewright-cli convert IN OUT: reads IN by its extension, writes OUT in the current format.

#include "cli/cli.h"
#include "cli/load.h"

namespace pw::cli {

int runConvert(const QStringList& args, Context& context) {
    QStringList files;
    for (const QString& a : args) {
        if (a.startsWith(QLatin1String("--")))
            return usageError(QStringLiteral("convert: unbekannte Option %1").arg(a));
        files.append(a);
    }
    if (files.size() != 2)
        return usageError(QStringLiteral("convert: erwartet genau eine Eingabe- und eine Ausgabedatei"));

    CatalogDocument doc;
    if (!loadCatalog(context, doc, files[0], ReadOptions{}))
        return kFailed;
    try {
        SaveTheFile(doc, files[1]);
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }
    return kOk;
}

} // namespace pw::cli
