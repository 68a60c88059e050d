#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class QFileDevice;

namespace pw {

// Replaces the file at `path` with `data` so that a crash or a full disk can never leave a
// cut-off file: the data goes to a temporary file in the same folder, is flushed and
// synced, and only then renamed over the target. Returns false on failure, with the
// platform's wording of the error in *error; the old file is then untouched and no
// temporary file is left behind.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

// A group of files that replace their targets together, for an export made of several
// files that belong together (a page and the pictures it names). stage() writes one file
// completely (every write checked, a short write is a failure, then synced) to a hidden
// temporary file beside its target, named "." + target name + "." + random letters, created
// exclusively and without following a symbolic link. Nothing of the targets changes until
// commit() renames the staged files over them in the order they were staged. Files not
// committed (an error, a cancel, an exception passing by) are removed by the destructor.
// A process killed outright can leave such hidden files behind; their names never end in
// the extension of an output file, so they are not taken for one.
class StagedFiles {
public:
    StagedFiles() = default;
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    // Writes `data` for `target`. The new file gets the permissions of the target it
    // replaces, or the usual ones of a new file (0666 less the umask); with timesFrom, the
    // access and modification times of that open file. False with the reason in *error
    // when the file cannot be written; nothing of it is left then.
    bool stage(const QString& target, const QByteArray& data, QString* error = nullptr,
               const QFileDevice* timesFrom = nullptr);

    // Renames the staged files over their targets. False when a rename fails, naming its
    // target in *failedTarget; the files not yet renamed are removed.
    bool commit(QString* failedTarget = nullptr);

    // Removes the staged files without touching any target.
    void discard();

private:
    struct Staged {
        QString temporary;
        QString target;
    };
    std::vector<Staged> m_files;
};

} // namespace pw
