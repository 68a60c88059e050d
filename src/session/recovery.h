#pragma once

// The recovery copy of a document with unsaved changes, so that a crash or a power cut
// loses at most the last minute of work.
//
// The copy lives in a folder of the user's own (the per-user data folder): "recovery.pk2"
// holds the document in the current format, "recovery.txt" the file name it had (UTF-8,
// empty while untitled). Both are written atomically, the name first, so a copy is never
// found half-written. A normal close or save removes them; a copy still there at the next
// start means the program ended without either.
//
// write() may run on a worker thread over a copy of the document; the other functions are
// for the thread that owns the session.

#include "model/catalog.h"
#include "model/error.h"

#include <QString>

#include <vector>

namespace pw {

class CatalogSession;

class RecoveryCopy {
public:
    explicit RecoveryCopy(QString folder);

    const QString& folder() const { return m_folder; }
    QString documentPath() const;
    QString namePath() const;

    // Writes the copy of `doc` (creating the folder). Throws pw::Error naming the file
    // when it cannot be written; an older copy then stays as it was.
    void write(const CatalogDocument& doc) const;
    // Whether a copy is there to offer.
    bool exists() const;
    // The file name the recovered document had; empty for an untitled one.
    QString originalName() const;
    // Opens the copy into the session: the document gets its old file name back and is
    // marked changed, since nothing of it has been saved. Returns the reader's warnings;
    // throws pw::Error (the open document untouched) when the copy cannot be read.
    std::vector<Error> restoreInto(CatalogSession& session) const;
    // Removes the copy; nothing happens when there is none.
    void remove() const;

private:
    QString m_folder;
};

} // namespace pw
