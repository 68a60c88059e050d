// pagewright-cli csv-export, csv-import and category-import: the CSV data exchange.

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/interrupt.h"
#include "cli/layoutcli.h"
#include "cli/load.h"
#include "exchange/categoryimport.h"
#include "exchange/csvexport.h"
#include "exchange/csvimport.h"

#include <QFileInfo>
#include <QLocale>

namespace pw::cli {

namespace {

// The arguments of a CSV command: the files in order, the value options and the switches.
struct CsvArgs {
    QStringList files;
    QString out;
    QString category;
    bool hasCategory = false;
    bool all = false;
    bool categoryColumn = false;
    bool headerRow = false;
    int priceColumns = 0; // 0: the catalogue's own
    QString pictureWidth;
    QString locale;
    QString delimiter;
    QString templateFile; // csv-import --template
};

// Reads the arguments; prints the usage error and returns false on a bad one. `allowed`
// lists the options the command takes besides -o.
bool parseArgs(const QStringList& args, const char* command, const QStringList& allowed, CsvArgs& out) {
    using K = ArgOption::Kind;
    const std::vector<ArgOption> every{
        {.name = QStringLiteral("-o"), .kind = K::Text, .text = &out.out},
        {.name = QStringLiteral("--all"), .kind = K::Switch, .on = &out.all},
        {.name = QStringLiteral("--category-column"), .kind = K::Switch, .on = &out.categoryColumn},
        {.name = QStringLiteral("--header-row"), .kind = K::Switch, .on = &out.headerRow},
        {.name = QStringLiteral("--price-columns"),
         .kind = K::Number,
         .low = 1,
         .high = 100,
         .number = &out.priceColumns},
        {.name = QStringLiteral("--category"),
         .kind = K::Text,
         .text = &out.category,
         .seen = &out.hasCategory},
        {.name = QStringLiteral("--picture-width"), .kind = K::Text, .text = &out.pictureWidth},
        {.name = QStringLiteral("--delimiter"), .kind = K::Text, .text = &out.delimiter},
        {.name = QStringLiteral("--template"), .kind = K::Text, .text = &out.templateFile},
        {.name = QStringLiteral("--locale"), .kind = K::Text, .text = &out.locale},
    };
    std::vector<ArgOption> options;
    for (const ArgOption& o : every) {
        if (o.name == QLatin1String("-o") || allowed.contains(o.name))
            options.push_back(o);
    }
    return readArgs(args, editRules(command), options, &out.files);
}

// The first category of that name, or -1 (with the error printed).
int findCategory(const CatalogDocument& doc, const QString& file, const QString& name) {
    for (int k = 0; k < doc.categoryCount(); ++k) {
        if (doc.categoryName(k) == name)
            return k;
    }
    usageError(QStringLiteral("%1: die Kategorie \"%2\" gibt es nicht"), file, name);
    return -1;
}

// The field delimiter of --delimiter: ";" (also when the option is absent), "," or a tab
// (written "tab", "\t" or as the character itself). False, with the usage error printed,
// for anything else.
bool readDelimiter(const CsvArgs& a, const char* command, QChar& delimiter) {
    const QString& v = a.delimiter;
    if (v.isEmpty() || v == QLatin1String(";"))
        delimiter = u';';
    else if (v == QLatin1String(","))
        delimiter = u',';
    else if (v == QLatin1String("tab") || v == QLatin1String("\\t") || v == QLatin1String("\t"))
        delimiter = u'\t';
    else {
        usageError(QStringLiteral("%1: --delimiter erwartet ';', ',' oder tab"), QLatin1String(command));
        return false;
    }
    return true;
}

} // namespace

int runCsvExport(const QStringList& args, Context& context) {
    CsvArgs a;
    if (!parseArgs(args, "csv-export", {"--all", "--category"}, a))
        return kUsage;
    if (a.files.size() != 1 || a.out.isEmpty())
        return usageError(QStringLiteral("csv-export: erwartet eine Katalogdatei und -o DATEI.csv"));
    if (a.all == a.hasCategory)
        return usageError(QStringLiteral("csv-export: genau eine von --all und --category NAME ist nötig"));

    CatalogSession session = makeSession(context);
    if (!openCatalog(context, session, a.files[0]))
        return kFailed;
    CatalogDocument& doc = session.doc();
    int kat = kAllCategories;
    if (a.hasCategory && (kat = findCategory(doc, a.files[0], a.category)) < 0)
        return kFailed;
    try {
        TerminalProgress progress("csv-export");
        if (!ExportCSVFile(doc, kat, a.out, &progress))
            return kFailed; // cancelled
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }
    return kOk;
}

int runCsvImport(const QStringList& args, Context& context) {
    CsvArgs a;
    if (!parseArgs(args, "csv-import",
                   {"--category", "--category-column", "--header-row", "--price-columns", "--picture-width",
                    "--delimiter", "--template"},
                   a))
        return kUsage;
    if (a.files.size() != 2 || a.out.isEmpty())
        return usageError(
            QStringLiteral("csv-import: erwartet eine Katalogdatei, eine CSV-Datei und -o DATEI.pk2"));
    if (a.categoryColumn == a.hasCategory)
        return usageError(
            QStringLiteral("csv-import: genau eine von --category NAME und --category-column ist nötig"));
    CsvImportOptions options;
    options.headerRow = a.headerRow;
    if (!readDelimiter(a, "csv-import", options.delimiter))
        return kUsage;
    if (!a.pictureWidth.isEmpty()) {
        bool ok = false;
        options.pictureWidth = QLocale::c().toDouble(a.pictureWidth, &ok);
        if (!ok || !(options.pictureWidth > 0) || options.pictureWidth > 1000)
            return usageError(QStringLiteral("csv-import: --picture-width erwartet eine Breite in cm über 0 "
                                             "bis 1000, mit Dezimalpunkt"));
    }

    // A catalogue that does not exist yet starts as the program does (default settings
    // and the default template columns), or with the settings and template columns of the
    // catalogue --template names.
    CatalogSession session = makeSession(context);
    const QString& file = a.files[0];
    if (QFileInfo::exists(file)) {
        if (!a.templateFile.isEmpty())
            return usageError(QStringLiteral("csv-import: --template gilt nur für eine neue Katalogdatei, "
                                             "%1 gibt es schon"),
                              file);
        if (!openCatalog(context, session, file))
            return kFailed;
    } else if (!a.templateFile.isEmpty()) {
        try {
            for (const Error& w : session.newFromModel(a.templateFile))
                printWarning(context, w);
        } catch (const Error& e) {
            printError(context, e);
            return kFailed;
        }
    }
    CatalogDocument& doc = session.doc();
    if (a.priceColumns > 0)
        doc.settings.PreDefAnzPreisEd = a.priceColumns;
    int kat = -1;
    if (a.hasCategory && (kat = findCategory(doc, file, a.category)) < 0)
        return kFailed;
    try {
        TerminalProgress progress("csv-import");
        const CsvImportResult result = a.categoryColumn
                                           ? ImportCSVFileComplete(doc, a.files[1], options, &progress)
                                           : ImportCSVFile(doc, kat, a.files[1], options, &progress);
        for (const Error& w : result.warnings)
            printWarning(context, w);
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }
    return saveSessionAs(context, session, a.out) ? kOk : kFailed;
}

int runCategoryImport(const QStringList& args, Context& context) {
    CsvArgs a;
    if (!parseArgs(args, "category-import", {"--locale", "--delimiter"}, a))
        return kUsage;
    if (a.files.size() != 2 || a.out.isEmpty())
        return usageError(
            QStringLiteral("category-import: erwartet eine Katalogdatei, eine CSV-Datei und -o DATEI.pk2"));
    // The decimal separator of the widths: the named locale's, else the system's
    // (LC_ALL, LC_NUMERIC, LANG).
    QLocale locale = QLocale::system();
    if (!a.locale.isEmpty()) {
        locale = QLocale(a.locale);
        if (locale == QLocale::c() && a.locale != QLatin1String("C") && a.locale != QLatin1String("POSIX"))
            return usageError(QStringLiteral("category-import: unbekanntes Gebietsschema %1"), a.locale);
    }
    QChar delimiter;
    if (!readDelimiter(a, "category-import", delimiter))
        return kUsage;

    CatalogSession session = makeSession(context);
    if (!openCatalog(context, session, a.files[0]))
        return kFailed;
    CatalogDocument& doc = session.doc();
    try {
        for (const Error& w : ImportCSVFileCategories(doc, a.files[1], locale, delimiter).warnings)
            printWarning(context, w);
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }
    return saveSessionAs(context, session, a.out) ? kOk : kFailed;
}

} // namespace pw::cli
