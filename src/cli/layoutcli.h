#pragma once

// What the commands that lay out pages share: option reading, the clock of --date, the
// choice of layout, the layout run that draws nothing first, and a progress line.

#include "cli/cli.h"
#include "cli/load.h"
#include "compose/engine.h"

#include <functional>
#include <initializer_list>
#include <memory>

namespace pw::cli {

// The value of an option written "--name value" or "--name=value"; advances i past it.
// Returns false when the value is missing.
bool optionValue(const QStringList& args, qsizetype& i, const QString& name, QString& value);
// Whether an argument is the option `name`, in either of those forms.
bool isOption(const QString& a, const char* name);
// A whole number from low to high.
bool parseInt(const QString& text, int low, int high, int& out);

// A whole-number option of a command: its name, its range and where its value goes.
struct IntOption {
    const char* name;
    int low;
    int high;
    int* value;
};
// Reads args[i] (and its value) when it is one of `options`: 1 when it was read, 0 when it
// is none of them, -1 when its value is missing or out of range (the usage error is
// printed: "<command>: <name> erwartet <low> bis <high>").
int readIntOption(const QStringList& args, qsizetype& i, const char* command,
                  std::initializer_list<IntOption> options);

// Reads "--dpi N" at args[i] like readIntOption (1 read, 0 not this option, -1 usage error
// printed) for any whole number from `low` up; checkDpiLimit then refuses what is too high.
int readDpiOption(const QStringList& args, qsizetype& i, const char* command, int low, int& dpi);

// The resolution limit of a command that draws pages of pageAt(dpi) pixels: `high`, or
// less where such a page would exceed the largest page bitmap. When dpi is above that
// limit, prints "<command>: --dpi erwartet <low> bis <limit> (<where>)" and returns false;
// `where` names what the page size depends on (paper, zoom, the catalogue's PDF size).
bool checkDpiLimit(const char* command, int dpi, int low, int high, const std::function<QSize(int)>& pageAt,
                   const QString& where);

// Opens FILE into the session and chooses its layout: --layout N (1..8), else the
// catalogue's own. False (with the message printed) when either fails.
bool openForLayout(Context& context, CatalogSession& session, const QString& file, int requested,
                   int& layout);

// Every picture the layout runs so far could not load, as one warning line each naming
// the file and the product, category, logo or background it belongs to.
void printPictureFailures(Context& context, const EngineEnvironment& env);

// --strict: after the measuring run, which has met every picture, a picture that did not
// load stops the command before it writes anything. Prints the failures and a line saying
// that nothing was written, and returns true when the command must end with exit 2.
bool strictStop(Context& context, const EngineEnvironment& env, bool strict);

// A progress line on stderr, shown only when stderr is a terminal. Asks the work to stop
// once SIGINT or SIGTERM has been caught (cli/interrupt.h).
class TerminalProgress final : public Progress {
public:
    explicit TerminalProgress(const char* what);
    ~TerminalProgress() override;
    bool report(int done, int total) override;

private:
    const char* m_what;
    bool m_show;
    bool m_shown = false;
};

} // namespace pw::cli
