#pragma once

// The subcommands of pagewright-cli. Each returns the process exit code: 0 success,
// 1 usage error, 2 an input or output failed. Stdout carries only the requested output.

#include <QDate>
#include <QString>
#include <QStringList>

#include "i18n/translateunit.h"
#include "model/error.h"
#include "model/services.h"

#include <memory>
#include <type_traits>

namespace pw {
struct LayoutSettings;
}

namespace pw::cli {

class JsonWriter;

enum ExitCode { kOk = 0, kUsage = 1, kFailed = 2, kFindingsWithErrors = 3 };

// Options that may stand anywhere on the command line.
struct GlobalOptions {
    int language = 0; // 0 de, 1 en, 2 fr, 3 nl
    QDate date;       // invalid: today
    QString paper = QStringLiteral("A4");
    int printerDpi = 600;
};

// What every subcommand gets: the global options, the texts of the chosen language and
// the clock of --date (the system's without it). The store is read-only here: the tool
// never adds texts to translate.dat.
struct Context {
    GlobalOptions global;
    TranslationStore texts;
    std::unique_ptr<Clock> clock;
};

struct Command {
    const char* name;
    const char* usage; // the arguments after the name
    int (*run)(const QStringList& args, Context& context);
};

int runDump(const QStringList& args, Context& context);
int runConvert(const QStringList& args, Context& context);
int runRender(const QStringList& args, Context& context);
int runPages(const QStringList& args, Context& context);
int runPdf(const QStringList& args, Context& context);
int runImages(const QStringList& args, Context& context);
int runHtml(const QStringList& args, Context& context);
int runPricelist(const QStringList& args, Context& context);
int runCsvExport(const QStringList& args, Context& context);
int runCsvImport(const QStringList& args, Context& context);
int runCategoryImport(const QStringList& args, Context& context);
int runPrices(const QStringList& args, Context& context);
int runSortVariants(const QStringList& args, Context& context);
int runSortNames(const QStringList& args, Context& context);
int runDuplicate(const QStringList& args, Context& context);
int runReplace(const QStringList& args, Context& context);
int runCopyPictures(const QStringList& args, Context& context);
int runSearch(const QStringList& args, Context& context);
int runSettings(const QStringList& args, Context& context);
int runSet(const QStringList& args, Context& context);
int runCheck(const QStringList& args, Context& context);

// The layout settings as the JSON object of `dump` and `settings`: one key per setting, in
// the order of the settings table.
void writeSettingsJson(JsonWriter& j, const LayoutSettings& s);

// One line on stderr: "pagewright-cli: <file>: <what is wrong>", in the chosen language
// where the text comes from the message table.
void printError(Context& context, const Error& e);
void printWarning(Context& context, const Error& e);
// The same line for what a command reports besides its output: "pagewright-cli: <file>: <text>".
void printNote(Context& context, const Error& e);
// The store that usage errors are translated with: the one the tool loaded. Until it is
// set they stay German.
void setUsageTexts(const TranslationStore* texts);
// A usage error's words in the chosen language: `text` is a German template whose %1, %2,
// ... are filled with `args` after translation, so that a name or a number in it never
// keeps the text from its translation.
QString usageText(const QString& text, const QStringList& args = {});
// Prints "pagewright-cli: <words>" on stderr, then returns kUsage.
int printUsageError(const QString& words);

// An argument of a usage error as text: numbers as digits, texts as they are.
template <class T> QString usageArgument(const T& value) {
    if constexpr (std::is_arithmetic_v<T>)
        return QString::number(value);
    else
        return QString(value);
}

// "pagewright-cli: <text>" on stderr in the chosen language (usageText with `args`), then
// returns kUsage.
template <class... Args> int usageError(const QString& text, const Args&... args) {
    return printUsageError(usageText(text, QStringList{usageArgument(args)...}));
}
// Prints "usage: pagewright-cli <name> <usage>" to stdout.
void printUsage(const char* name);

} // namespace pw::cli
