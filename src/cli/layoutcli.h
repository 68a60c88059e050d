#pragma once

// What the commands that lay out pages share: the resolution limit, the choice of layout,
// the layout run that draws nothing first, picture warnings and a progress line.

#include "cli/cli.h"
#include "cli/load.h"
#include "compose/engine.h"

#include <functional>
#include <memory>

namespace pw::cli {

// The resolution limit of a command that draws pages of pageAt(dpi) pixels: `high`, or
// less where such a page would exceed the largest page bitmap. When dpi is above that
// limit, prints "<command>: --dpi erwartet <low> bis <limit> (<where>)" and returns false;
// `where` names what the page size depends on (paper, zoom, the catalogue's PDF size).
bool checkDpiLimit(const char* command, int dpi, int low, int high, const std::function<QSize(int)>& pageAt,
                   const QString& where, const char* option = "--dpi");

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
