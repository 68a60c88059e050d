// pagewright-cli csv-export, csv-import and category-import: the CSV data exchange.

#include "cli/cli.h"
#include "cli/layoutcli.h"
#include "cli/load.h"
#include "exchange/categoryimport.h"
#include "exchange/csvexport.h"
#include "exchange/csvimport.h"

#include <QFileInfo>
#include <QLocale>

namespace pw::cli {

namespace {

// The first category of that name, or -1 (with the error printed).
int findCategory(const CatalogDocument& doc, const QString& file, const QString& name) {
    for (int k = 0; k < doc.categoryCount(); ++k) {
        if (doc.categoryName(k) == name)
            return k;
    }
    usageError(QStringLiteral("%1: die Kategorie \"%2\" gibt es nicht").arg(file, name));
    return -1;
}

bool save(Context& context, const CatalogDocument& doc, const QString& out) {
    try {
        SaveTheFile(doc, out);
    } catch (const Error& e) {
        printError(context, e);
        return false;
    }
    return true;
}

} // namespace

int runCsvExport(const QStringList& args, Context& context) {
    CommandArgs a;
    if (!parseCommandArgs(args, "csv-export", {"--category"}, {"--all"}, a))
        return kUsage;
    if (a.files.size() != 1 || a.out.isEmpty())
        return usageError(QStringLiteral("csv-export: erwartet eine Katalogdatei und -o DATEI.csv"));
    if (a.on("--all") == a.has("--category"))
        return usageError(QStringLiteral("csv-export: genau eine von --all und --category NAME ist nötig"));

    CatalogDocument doc;
    if (!loadCatalog(context, doc, a.files[0], ReadOptions{}))
        return kFailed;
    int kat = kAllCategories;
    if (a.has("--category") && (kat = findCategory(doc, a.files[0], a.value("--category"))) < 0)
        return kFailed;
    try {
        TerminalProgress progress("csv-export");
        ExportCSVFile(doc, kat, a.out, &progress);
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }
    return kOk;
}

int runCsvImport(const QStringList& args, Context& context) {
    CommandArgs a;
    if (!parseCommandArgs(args, "csv-import", {"--category", "--price-columns", "--picture-width"},
                          {"--category-column", "--header-row"}, a))
        return kUsage;
    if (a.files.size() != 2 || a.out.isEmpty())
        return usageError(
            QStringLiteral("csv-import: erwartet eine Katalogdatei, eine CSV-Datei und -o DATEI.pk2"));
    const bool categoryColumn = a.on("--category-column");
    if (categoryColumn == a.has("--category"))
        return usageError(
            QStringLiteral("csv-import: genau eine von --category NAME und --category-column ist nötig"));
    int priceColumns = 0; // 0: the catalogue's own
    if (a.has("--price-columns") && !parseInt(a.value("--price-columns"), 1, 100, priceColumns))
        return usageError(QStringLiteral("csv-import: --price-columns erwartet 1 bis 100"));
    CsvImportOptions options;
    options.headerRow = a.on("--header-row");
    if (a.has("--picture-width")) {
        bool ok = false;
        options.pictureWidth = QLocale::c().toDouble(a.value("--picture-width"), &ok);
        if (!ok || !(options.pictureWidth > 0) || options.pictureWidth > 1000)
            return usageError(QStringLiteral("csv-import: --picture-width erwartet eine Breite in cm über 0 "
                                             "bis 1000, mit Dezimalpunkt"));
    }

    // A catalogue that does not exist yet starts as the program does: default settings
    // and the default template columns.
    CatalogDocument doc;
    const QString& file = a.files[0];
    if (QFileInfo::exists(file)) {
        if (!loadCatalog(context, doc, file, ReadOptions{}))
            return kFailed;
    } else {
        doc.VorlageSpalten = DefaultTemplateColumns(context.texts);
    }
    if (priceColumns > 0)
        doc.settings.PreDefAnzPreisEd = priceColumns;
    int kat = -1;
    if (a.has("--category") && (kat = findCategory(doc, file, a.value("--category"))) < 0)
        return kFailed;
    try {
        TerminalProgress progress("csv-import");
        if (categoryColumn)
            ImportCSVFileComplete(doc, a.files[1], options, &progress);
        else
            ImportCSVFile(doc, kat, a.files[1], options, &progress);
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }
    return save(context, doc, a.out) ? kOk : kFailed;
}

int runCategoryImport(const QStringList& args, Context& context) {
    CommandArgs a;
    if (!parseCommandArgs(args, "category-import", {"--locale"}, {}, a))
        return kUsage;
    if (a.files.size() != 2 || a.out.isEmpty())
        return usageError(
            QStringLiteral("category-import: erwartet eine Katalogdatei, eine CSV-Datei und -o DATEI.pk2"));
    // The decimal separator of the widths: the named locale's, else the system's
    // (LC_ALL, LC_NUMERIC, LANG).
    QLocale locale = QLocale::system();
    const QString name = a.value("--locale");
    if (!name.isEmpty()) {
        locale = QLocale(name);
        if (locale == QLocale::c() && name != QLatin1String("C") && name != QLatin1String("POSIX"))
            return usageError(QStringLiteral("category-import: unbekanntes Gebietsschema %1").arg(name));
    }

    CatalogDocument doc;
    if (!loadCatalog(context, doc, a.files[0], ReadOptions{}))
        return kFailed;
    try {
        ImportCSVFileCategories(doc, a.files[1], locale);
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }
    return save(context, doc, a.out) ? kOk : kFailed;
}

} // namespace pw::cli
