#pragma once

// SIGINT and SIGTERM cancel the running work instead of ending the process on the spot:
// the handler only notes the signal, and the progress reports of the running work see it
// and ask the work to stop. The work then leaves every output file as it was and removes
// its temporary files, and the tool exits with 128 + the signal's number (130, 143). Work
// that had already put its output in place when the signal came ends as usual (exit 0). A
// second signal while the first is being handled ends the process at once.

namespace pw::cli {

// Installs the handlers; call once, as early as possible.
void installInterruptHandlers();

// The signal caught so far, 0 when none. Safe to call from any thread.
int caughtSignal();

// "SIGINT" or "SIGTERM" for the caught signal.
const char* caughtSignalName();

} // namespace pw::cli
