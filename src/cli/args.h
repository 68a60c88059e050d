#pragma once

// The one reader of every subcommand's arguments.
//
// A command describes its options once, as a list of ArgOption (a switch, a text value or
// a whole number in a range, each with where its value goes), and its rules for the rest
// (how many files, what starts an option, the words of its usage errors). readArgs() walks
// the arguments in order: "--name value" and "--name=value" give a value (the next
// argument is taken whatever it looks like), a repeated option keeps the last value, and
// everything that is not an option is a file. The first bad argument ends the reading
// with one usage error on stderr, "pagewright-cli: <command>: <what is wrong>".

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace pw::cli {

struct ArgOption {
    enum class Kind { Switch, Text, Number };

    QString name; // with its dashes: "-o", "--layout"
    Kind kind = Kind::Text;
    // Number: the range. A missing or bad value is "<name> erwartet <low> bis <high>",
    // unless `badValue` says otherwise.
    int low = 0;
    int high = 0;
    // The usage error (after "<command>: ") for a missing value, or for a number that is
    // missing or out of range; null for the usual words.
    const char* badValue = nullptr;

    // Where the value goes: `on` for a switch (set to true), `text`, `number`; `seen` (if
    // given) becomes true when the option is met, whatever its kind.
    bool* on = nullptr;
    QString* text = nullptr;
    int* number = nullptr;
    bool* seen = nullptr;
    // Called when the switch is met, after `on` is set; false stops the reading (it has
    // printed why).
    std::function<bool()> onSwitch = {};
};

struct ArgRules {
    const char* command;
    // Whether a second file is refused (with the `unknown` error) or collected.
    bool oneFile = true;
    // What an option starts with: "-" or "--" (then "-x" is a file).
    const char* optionPrefix = "-";
    // Whether a lone "-" is a file (else it is an unknown option).
    bool loneDashIsFile = false;
    // The usage error for an argument the command does not take; "%1" is the argument.
    const char* unknown = "unerwartetes Argument %1";
    // The usage error for a value given to a switch ("--strict=1"); "%1" is the switch.
    // Null: such an argument is unknown.
    const char* switchWithValue = nullptr;
    // Called for each file in order (before the arguments after it are read); false stops
    // the reading (it has printed why). Without it the files are collected.
    std::function<bool(const QString&)> onFile = {};
};

// The rules of the editing and CSV commands: any number of files, "-" is a file, and
// their words for unknown options and switches with a value.
ArgRules editRules(const char* command);

// Reads `args`. False when an argument is bad (the usage error is printed). Files go to
// `files` unless the rules take them themselves.
bool readArgs(const QStringList& args, const ArgRules& rules, const std::vector<ArgOption>& options,
              QStringList* files = nullptr);

// A whole number from low to high.
bool parseInt(const QString& text, int low, int high, int& out);

} // namespace pw::cli
