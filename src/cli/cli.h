#pragma once

// The subcommands of pagewright-cli. Each returns the process exit code: 0 success,
// 1 usage error, 2 an input or output failed. Stdout carries only the requested output.

#include <QDate>
#include <QString>
#include <QStringList>

#include "model/error.h"

namespace pw::cli {

enum ExitCode { kOk = 0, kUsage = 1, kFailed = 2 };

// Options that may stand anywhere on the command line.
struct GlobalOptions {
    QString lang = QStringLiteral("de");
    QDate date; // invalid: today
    QString paper = QStringLiteral("A4");
    int printerDpi = 600;
};

struct Command {
    const char* name;
    const char* usage; // the arguments after the name
    int (*run)(const QStringList& args, const GlobalOptions& global);
};

int runDump(const QStringList& args, const GlobalOptions& global);
int runConvert(const QStringList& args, const GlobalOptions& global);

// One line on stderr: "pagewright-cli: <file>: <what is wrong>".
void printError(const Error& e);
void printWarning(const Error& e);
// "pagewright-cli: <text>" on stderr, then returns kUsage.
int usageError(const QString& text);
// Prints "usage: pagewright-cli <name> <usage>" to stdout.
void printUsage(const char* name);

} // namespace pw::cli
