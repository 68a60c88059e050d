#pragma once

#include <QByteArray>
#include <QString>

namespace pw {

// Replaces the file at `path` with `data` so that a crash or a full disk can never leave a
// cut-off file: the data goes to a temporary file in the same folder, is flushed and
// synced, and only then renamed over the target. Returns false on failure, with the
// platform's wording of the error in *error; the old file is then untouched and no
// temporary file is left behind.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

} // namespace pw
