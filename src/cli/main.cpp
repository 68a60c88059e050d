// pagewright-cli: the headless face of the core, for scripts and tests.

#include "cli/cli.h"
#include "cli/interrupt.h"
#include "cli/load.h"
#include "i18n/translateunit.h"
#include "model/options.h"
#include "model/programfolders.h"

#include <QGuiApplication>

#include <optional>

#include <cstdio>

namespace pw::cli {

namespace {

constexpr Command kCommands[] = {
    {"dump", "FILE [--no-trim]", &runDump},
    {"convert", "IN OUT", &runConvert},
    {"render", "FILE --page N -o OUT.png [--dpi 96] [--zoom 100] [--layout 1..8] [--preview] [--strict]",
     &runRender},
    {"pages", "FILE [--layout 1..8] [--runs K]", &runPages},
    {"pdf", "FILE -o OUT.pdf [--vector] [--dpi 300] [--cmyk|--rgb] [--predictor] [--layout 1..8] [--strict]",
     &runPdf},
    {"images", "FILE -o BASE.jpg [--dpi 150] [--quality 95] [--from N --to M] [--layout 1..8] [--strict]",
     &runImages},
    {"html", "FILE -o FOLDER [--dpi 50] [--zoom-dpi 150] [--quality 95] [--layout 1..8] [--strict]",
     &runHtml},
    {"pricelist", "FILE -o OUT.txt|OUT.pdf", &runPricelist},
    {"csv-export", "FILE -o OUT.csv (--all | --category NAME)", &runCsvExport},
    {"csv-import",
     "FILE IN.csv -o OUT.pk2 (--category NAME | --category-column) [--header-row] [--price-columns N] "
     "[--picture-width CM] [--delimiter ';'|','|tab] [--template MODEL.pk2]",
     &runCsvImport},
    {"category-import", "FILE IN.csv -o OUT.pk2 [--locale de_DE] [--delimiter ';'|','|tab]",
     &runCategoryImport},
    {"prices", "FILE -o OUT.pk2 (--percent P | --amount A) [--decrease] [--locale de_DE]", &runPrices},
    {"sort-variants", "FILE -o OUT.pk2 --column K [--locale de_DE]", &runSortVariants},
    {"sort-names", "FILE -o OUT.pk2", &runSortNames},
    {"duplicate", "FILE -o OUT.pk2 --category NAME --product N", &runDuplicate},
    {"replace", "FILE -o OUT.pk2 --find S --with R", &runReplace},
    {"copy-pictures", "FILE -o OUT.pk2 --to DIR", &runCopyPictures},
    {"search", "FILE TEXT [--descriptions]", &runSearch},
    {"settings", "FILE", &runSettings},
    {"set", "FILE -o OUT.pk2 NAME=VALUE...", &runSet},
    {"check", "FILE [--layout 1..8] [--locale de_DE] [--dpi 300]", &runCheck},
};

const Command* findCommand(const QString& name) {
    for (const Command& c : kCommands) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

void printLine(FILE* to, const QString& text) {
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, std::size_t(line.size()), to);
}

void printOverview() {
    printLine(
        stdout,
        QStringLiteral(
            "usage: pagewright-cli [--lang de|en|fr|nl] [--date YYYY-MM-DD] [--paper A4|A3|A5|Letter|Legal] "
            "[--printer-dpi N] COMMAND ARGS..."));
    for (const Command& c : kCommands)
        printLine(
            stdout,
            QStringLiteral("  pagewright-cli %1 %2").arg(QLatin1String(c.name), QLatin1String(c.usage)));
}

QString errorLine(Context& context, const Error& e, const QString& prefix) {
    QString line = prefix;
    if (!e.file().isEmpty())
        line += e.file() + QStringLiteral(": ");
    return line + errorText(e, context.texts);
}

// Takes the global options out of the argument list, wherever they stand. Returns the
// usage error of a bad one (a template and its arguments), or nothing.
std::optional<Error> takeGlobalOptions(QStringList& args, GlobalOptions& g) {
    static const QStringList kNames = {QStringLiteral("--lang"), QStringLiteral("--date"),
                                       QStringLiteral("--paper"), QStringLiteral("--printer-dpi")};
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args[i];
        QString value;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        if (!kNames.contains(name)) {
            rest.append(args[i]);
            continue;
        }
        if (eq < 0) {
            if (i + 1 >= args.size())
                return Error::format(QStringLiteral("%1 braucht einen Wert"), {name});
            value = args[++i];
        }
        if (name == QLatin1String("--lang")) {
            const qsizetype language = QStringList{"de", "en", "fr", "nl"}.indexOf(value);
            if (language < 0)
                return Error::format(QStringLiteral("--lang: unbekannte Sprache %1 (de, en, fr, nl)"),
                                     {value});
            g.language = int(language);
        } else if (name == QLatin1String("--date")) {
            g.date = QDate::fromString(value, Qt::ISODate);
            if (!g.date.isValid())
                return Error::format(QStringLiteral("--date: kein gültiges Datum %1 (JJJJ-MM-TT)"), {value});
        } else if (name == QLatin1String("--paper")) {
            if (!QStringList{"A3", "A4", "A5", "Letter", "Legal"}.contains(value, Qt::CaseInsensitive))
                return Error::format(QStringLiteral("--paper: unbekanntes Papierformat %1"), {value});
            g.paper = value;
        } else {
            bool ok = false;
            g.printerDpi = value.toInt(&ok);
            if (!ok || g.printerDpi < 10 || g.printerDpi > 4800)
                return Error::format(QStringLiteral("--printer-dpi: ungültige Auflösung %1"), {value});
        }
    }
    args = rest;
    return std::nullopt;
}

} // namespace

void printError(Context& context, const Error& e) {
    printLine(stderr, errorLine(context, e, QStringLiteral("pagewright-cli: ")));
}

void printWarning(Context& context, const Error& e) {
    printLine(stderr, errorLine(context, e, QStringLiteral("pagewright-cli: Warnung: ")));
}

void printNote(Context& context, const Error& e) {
    printLine(stderr, errorLine(context, e, QStringLiteral("pagewright-cli: ")));
}

namespace {
const TranslationStore* usageTexts = nullptr;
}

void setUsageTexts(const TranslationStore* texts) {
    usageTexts = texts;
}

QString usageText(const QString& text, const QStringList& args) {
    return fillPlaceholders(usageTexts ? usageTexts->knownTranslation(text) : text, args);
}

int printUsageError(const QString& words) {
    printLine(stderr, QStringLiteral("pagewright-cli: ") + words);
    return kUsage;
}

void printUsage(const char* name) {
    const Command* c = findCommand(QLatin1String(name));
    printLine(
        stdout,
        QStringLiteral("usage: pagewright-cli %1 %2").arg(QLatin1String(name), QLatin1String(c->usage)));
}

CatalogSession makeSession(Context& context) {
    return CatalogSession(context.texts, *context.clock, LanguageLocale(context.global.language));
}

bool openCatalog(Context& context, CatalogSession& session, const QString& path, const ReadOptions& options) {
    try {
        for (const Error& w : session.open(path, options))
            printWarning(context, w);
    } catch (const Error& e) {
        printError(context, e);
        return false;
    }
    return true;
}

bool saveSessionAs(Context& context, CatalogSession& session, const QString& out) {
    if (caughtSignal())
        return false; // interrupted: the output stays as it was
    try {
        session.saveAs(out);
    } catch (const Error& e) {
        printError(context, e);
        return false;
    }
    return true;
}

// Qt's own diagnostics (a missing runtime folder, font fallbacks, ...) would break the
// promise of one clear line on stderr; they are shown only when PAGEWRIGHT_DEBUG is set.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("PAGEWRIGHT_DEBUG"))
        printLine(stderr, text);
}

} // namespace pw::cli

int main(int argc, char** argv) {
    using namespace pw::cli;
    installInterruptHandlers();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQtMessages);
    QGuiApplication app(argc, argv);

    QStringList args = QCoreApplication::arguments().mid(1);
    Context context;
    const std::optional<pw::Error> bad = takeGlobalOptions(args, context.global);
    context.texts.setCollectNewTexts(false);
    context.texts.LoadTranslations(pw::ProgramFolders::forThisProgram());
    context.texts.setLanguage(context.global.language); // the one chosen before a bad option, if any
    setUsageTexts(&context.texts);
    if (bad)
        return printUsageError(usageText(bad->plainText(), bad->textArgs()));
    if (context.global.date.isValid())
        context.clock = std::make_unique<pw::FixedClock>(context.global.date);
    else
        context.clock = std::make_unique<pw::SystemClock>();

    if (args.isEmpty()) {
        printOverview();
        return kUsage;
    }
    if (args[0] == QLatin1String("--help") || args[0] == QLatin1String("help")) {
        printOverview();
        return kOk;
    }
    if (args[0] == QLatin1String("--version")) {
        printLine(stdout, QString::fromLatin1("pagewright-cli " PW_VERSION));
        return kOk;
    }
    const Command* command = findCommand(args[0]);
    if (!command)
        return usageError(QStringLiteral("unbekannter Befehl %1 (pagewright-cli --help listet alle)"),
                          args[0]);
    const QStringList rest = args.mid(1);
    if (rest.contains(QLatin1String("--help"))) {
        printUsage(command->name);
        return kOk;
    }
    const int code = command->run(rest, context);
    // A signal that came after the work was done (and its output in place) changes nothing.
    if (const int signal = caughtSignal(); signal && code != kOk) {
        printLine(
            stderr,
            QStringLiteral("pagewright-cli: abgebrochen durch %1").arg(QLatin1String(caughtSignalName())));
        return 128 + signal;
    }
    return code;
}
