#pragma once

#include "cli/cli.h"
#include "model/catalogfile.h"

namespace pw::cli {

// Seeds `doc` as a fresh program start would (default settings and template columns) and
// opens `path` with the reader its extension selects. Warnings go to stderr; on failure
// the error is printed and false returned.
bool loadCatalog(Context& context, CatalogDocument& doc, const QString& path, const ReadOptions& options);

} // namespace pw::cli
