// pagewright-cli prices, sort-variants, sort-names, duplicate, replace, copy-pictures and
// search: the bulk editing commands. Each reads FILE and writes the result to -o OUT
// (search prints its matches as JSON instead).

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/interrupt.h"
#include "cli/json.h"
#include "cli/layoutcli.h"
#include "cli/load.h"
#include "model/bulkoperations.h"

#include <QLocale>

#include <map>

namespace pw::cli {

namespace {

// The arguments of an editing command: files in order, option values, switches.
struct EditArgs {
    QStringList files;
    QString out;
    std::map<QString, QString> values;
    QStringList switches;

    bool has(const char* option) const { return values.count(QLatin1String(option)) > 0; }
    QString value(const char* option) const {
        const auto it = values.find(QLatin1String(option));
        return it == values.end() ? QString() : it->second;
    }
    bool on(const char* option) const { return switches.contains(QLatin1String(option)); }
};

// Reads the arguments; prints the usage error and returns false on a bad one. `valued`
// lists the options that take a value besides -o, `flags` those that take none.
bool parseArgs(const QStringList& args, const char* command, const QStringList& valued,
               const QStringList& flags, EditArgs& out) {
    struct Slot {
        QString value;
        bool seen = false;
    };
    // Sized once, so that the options' pointers into it stay valid.
    std::vector<Slot> found(std::size_t(valued.size() + flags.size()));
    std::vector<ArgOption> options{{QStringLiteral("-o"), ArgOption::Kind::Text}};
    options.back().text = &out.out;
    std::size_t n = 0;
    for (const QString& name : valued) {
        ArgOption o{name, ArgOption::Kind::Text};
        o.text = &found[n].value;
        o.seen = &found[n++].seen;
        options.push_back(o);
    }
    for (const QString& name : flags) {
        ArgOption o{name, ArgOption::Kind::Switch};
        o.seen = &found[n++].seen;
        options.push_back(o);
    }
    if (!readArgs(args, editRules(command), options, &out.files))
        return false;
    n = 0;
    for (const QString& name : valued) {
        if (found[n].seen)
            out.values[name] = found[n].value;
        ++n;
    }
    for (const QString& name : flags) {
        if (found[n++].seen)
            out.switches.append(name);
    }
    return true;
}

// The catalogue of a command that writes -o OUT: exactly one FILE and an OUT.
bool needFileAndOut(const EditArgs& a, const char* command) {
    if (a.files.size() != 1 || a.out.isEmpty()) {
        usageError(QStringLiteral("%1: erwartet eine Katalogdatei und -o DATEI.pk2"), QLatin1String(command));
        return false;
    }
    return true;
}

// The locale of the numbers in cells: --locale L, else the system's (LC_ALL, LC_NUMERIC,
// LANG). False (with the usage error printed) for a name no locale has.
bool readLocale(const EditArgs& a, const char* command, QLocale& locale) {
    locale = QLocale::system();
    if (!a.has("--locale"))
        return true;
    const QString name = a.value("--locale");
    locale = QLocale(name);
    if (locale == QLocale::c() && name != QLatin1String("C") && name != QLatin1String("POSIX")) {
        usageError(QStringLiteral("%1: unbekanntes Gebietsschema %2"), QLatin1String(command), name);
        return false;
    }
    return true;
}

// The counts of a price change on stderr: one line naming FILE, a warning when cells were
// left alone. When nothing changed but cells were skipped, the prices are most likely
// written in another notation than the locale's (a German "49,00" under LANG=C.UTF-8), so
// the line names the locale and its decimal separator and points to --locale.
void reportPriceChange(Context& context, const QString& file, const PriceChangeResult& r,
                       const QLocale& locale) {
    const auto cells = [](int n) {
        return (n == 1 ? QStringLiteral("%1 Preiszelle") : QStringLiteral("%1 Preiszellen")).arg(n);
    };
    const QString where = QStringLiteral("Gebietsschema %1, Dezimaltrennzeichen \"%2\"")
                              .arg(locale.name(), locale.decimalPoint());
    QString text;
    if (r.changed == 0 && r.skipped > 0) {
        text =
            QStringLiteral("keine Preiszelle geändert: %1 im %2 keine Zahl; "
                           "--locale wählt die Schreibweise der Preise (etwa --locale de_DE)")
                .arg(cells(r.skipped) + (r.skipped == 1 ? QStringLiteral(" ist") : QStringLiteral(" sind")),
                     where);
    } else if (r.skipped > 0) {
        text = QStringLiteral("%1 geändert, %2 übersprungen, weil im %3 keine Zahl")
                   .arg(cells(r.changed))
                   .arg(r.skipped)
                   .arg(where);
    } else {
        text = QStringLiteral("%1 geändert (%2)").arg(cells(r.changed), where);
    }
    if (r.tooLarge > 0)
        text += QStringLiteral("; %1 nicht, weil das Ergebnis zu groß wäre").arg(cells(r.tooLarge));
    const Error line = Error::text(text, file);
    if (r.skipped > 0 || r.tooLarge > 0)
        printWarning(context, line);
    else
        printNote(context, line);
}

// Loads FILE, runs `edit` on it and writes OUT.
template <class Edit> int editAndSave(Context& context, const EditArgs& a, Edit edit) {
    CatalogSession session = makeSession(context);
    if (!openCatalog(context, session, a.files[0]))
        return kFailed;
    try {
        edit(session);
    } catch (const Error& e) {
        printError(context, e);
        return kFailed;
    }
    return saveSessionAs(context, session, a.out) ? kOk : kFailed;
}

} // namespace

int runPrices(const QStringList& args, Context& context) {
    EditArgs a;
    if (!parseArgs(args, "prices", {"--percent", "--amount", "--locale"}, {"--decrease"}, a) ||
        !needFileAndOut(a, "prices"))
        return kUsage;
    if (a.has("--percent") == a.has("--amount"))
        return usageError(QStringLiteral("prices: genau eine von --percent P und --amount A ist nötig"));
    const bool percent = a.has("--percent");
    bool ok = false;
    const double value = QLocale::c().toDouble(a.value(percent ? "--percent" : "--amount"), &ok);
    if (!ok || !(value >= -10000 && value <= 10000))
        return usageError(
            QStringLiteral("prices: %1 erwartet eine Zahl von -10000 bis 10000, mit Dezimalpunkt"),
            QLatin1String(percent ? "--percent" : "--amount"));
    QLocale locale;
    if (!readLocale(a, "prices", locale))
        return kUsage;
    const bool decrease = a.on("--decrease");
    const PriceChange mode = percent
                                 ? (decrease ? PriceChange::DecreasePercent : PriceChange::IncreasePercent)
                                 : (decrease ? PriceChange::DecreaseAmount : PriceChange::IncreaseAmount);
    PriceChangeResult result;
    const int code = editAndSave(
        context, a, [&](CatalogSession& s) { result = changeAllPrices(s.edit(), mode, value, locale); });
    if (code == kOk)
        reportPriceChange(context, a.files[0], result, locale);
    return code;
}

int runSortVariants(const QStringList& args, Context& context) {
    EditArgs a;
    if (!parseArgs(args, "sort-variants", {"--column", "--locale"}, {}, a) ||
        !needFileAndOut(a, "sort-variants"))
        return kUsage;
    int column = 0;
    if (!a.has("--column") || !parseInt(a.value("--column"), 1, 10000, column))
        return usageError(QStringLiteral("sort-variants: --column erwartet 1 bis 10000"));
    QLocale locale;
    if (!readLocale(a, "sort-variants", locale))
        return kUsage;
    return editAndSave(context, a, [&](CatalogSession& s) { sortAllVariants(s.edit(), column - 1, locale); });
}

int runSortNames(const QStringList& args, Context& context) {
    EditArgs a;
    if (!parseArgs(args, "sort-names", {}, {}, a) || !needFileAndOut(a, "sort-names"))
        return kUsage;
    return editAndSave(context, a, [](CatalogSession& s) { sortProductNames(s.edit()); });
}

int runDuplicate(const QStringList& args, Context& context) {
    EditArgs a;
    if (!parseArgs(args, "duplicate", {"--category", "--product"}, {}, a) || !needFileAndOut(a, "duplicate"))
        return kUsage;
    int product = 0;
    if (!a.has("--category") || !a.has("--product"))
        return usageError(QStringLiteral("duplicate: --category NAME und --product N sind nötig"));
    if (!parseInt(a.value("--product"), 1, 1000000000, product))
        return usageError(QStringLiteral("duplicate: --product erwartet die Nummer des Produkts, ab 1"));
    const QString category = a.value("--category");
    const QString file = a.files[0];
    return editAndSave(context, a, [&](CatalogSession& s) {
        EditContext& ctx = s.edit();
        int kat = 0;
        while (kat < ctx.doc.categoryCount() && ctx.doc.categoryName(kat) != category)
            ++kat;
        if (kat == ctx.doc.categoryCount())
            throw Error::format(QStringLiteral("die Kategorie \"%1\" gibt es nicht"), {category}, file);
        if (duplicateProduct(ctx, kat, product - 1) < 0)
            throw Error::format(
                QStringLiteral("die Kategorie \"%1\" hat kein Produkt %2 (sie hat %3)"),
                {category, QString::number(product), QString::number(ctx.doc.products(kat).count())}, file);
    });
}

int runReplace(const QStringList& args, Context& context) {
    EditArgs a;
    if (!parseArgs(args, "replace", {"--find", "--with"}, {}, a) || !needFileAndOut(a, "replace"))
        return kUsage;
    if (!a.has("--find") || !a.has("--with"))
        return usageError(QStringLiteral("replace: --find S und --with R sind nötig"));
    const QString find = a.value("--find");
    const QString with = a.value("--with");
    if (find.isEmpty())
        return usageError(QStringLiteral("replace: --find braucht einen Text, der nicht leer ist"));
    return editAndSave(context, a, [&](CatalogSession& s) { replaceInAllTables(s.edit(), find, with); });
}

int runCopyPictures(const QStringList& args, Context& context) {
    EditArgs a;
    if (!parseArgs(args, "copy-pictures", {"--to"}, {}, a) || !needFileAndOut(a, "copy-pictures"))
        return kUsage;
    if (a.value("--to").isEmpty())
        return usageError(QStringLiteral("copy-pictures: --to VERZEICHNIS ist nötig"));
    const QString folder = a.value("--to");
    bool complete = true;
    const int code = editAndSave(context, a, [&](CatalogSession& s) {
        for (const QString& line : s.copyAllPictures(folder)) {
            printError(context, Error::text(line));
            complete = false;
        }
    });
    // The copies that worked are saved; the ones that failed make the command fail.
    return code == kOk && !complete ? kFailed : code;
}

int runSearch(const QStringList& args, Context& context) {
    EditArgs a;
    if (!parseArgs(args, "search", {}, {"--descriptions"}, a))
        return kUsage;
    if (a.files.size() != 2 || !a.out.isEmpty())
        return usageError(QStringLiteral("search: erwartet eine Katalogdatei und einen Suchtext"));
    CatalogSession session = makeSession(context);
    if (!openCatalog(context, session, a.files[0]))
        return kFailed;
    const CatalogDocument& doc = session.doc();
    JsonWriter j;
    j.beginObject();
    j.key("matches").beginArray();
    for (const SearchMatch& m : searchProducts(doc, a.files[1], a.on("--descriptions"))) {
        const TProdukt& p = doc.products(m.kat)[m.prod];
        j.beginObject();
        j.key("category").value(doc.categoryName(m.kat));
        j.key("kat").value(qint32(m.kat));
        j.key("product").value(p.name);
        j.key("index").value(qint32(m.prod));
        j.key("desc").value(p.desc);
        j.endObject();
    }
    j.endArray();
    j.endObject();
    return printJson(j);
}

} // namespace pw::cli
