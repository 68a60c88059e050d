#pragma once

#include "cli/cli.h"
#include "model/catalogfile.h"
#include "session/catalogsession.h"

namespace pw::cli {

// A session as a fresh program start makes it: default settings and template columns in
// the chosen language, the clock of --date, the language's locale.
CatalogSession makeSession(Context& context);

// Opens `path` into the session with the reader its extension selects. Warnings go to
// stderr; on failure the error is printed and false returned.
bool openCatalog(Context& context, CatalogSession& session, const QString& path,
                 const ReadOptions& options = {});

// Writes the session's document to `out`. False (with the message printed) when the write
// fails, and also when an interrupt has come, so that the output stays as it was.
bool saveSessionAs(Context& context, CatalogSession& session, const QString& out);

} // namespace pw::cli
