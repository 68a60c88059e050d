#pragma once

#include <QString>
#include <QStringList>

namespace pw {

// Where the program finds its files.
//
// The program folder is the folder of the executable. Data delivered with the program
// (translate.dat as shipped, the flip-catalogue template, the sample catalogue) is looked
// up there first, then in the installed data folders. Files the program writes
// (options.dat, translate.dat) go to the program folder when it is writable, else to the
// per-user data folder, which is then also read first. An installed program, whose
// translate.dat lies in a data folder and not beside it (/usr/bin with
// /usr/share/pagewright), never writes into its program folder, even for a user who may
// write there.
class ProgramFolders {
public:
    ProgramFolders(QString programDir, QString userDir, QStringList dataDirs = {});
    // The folders of the running program: the executable's folder, the per-user data
    // folder of the application, and <program folder>/../share/pagewright.
    static ProgramFolders forThisProgram();

    const QString& programDir() const { return m_programDir; }
    const QString& userDir() const { return m_userDir; }
    // Whether files the program writes go to the program folder (see above).
    bool programDirWritable() const;

    // Where a file the program writes is to be written (the per-user folder is created
    // when it is needed).
    QString writeLocation(const QString& name) const;
    // Where such a file is read from: the per-user copy when the program folder is not
    // writable and that copy exists, else the delivered one.
    QString readLocation(const QString& name) const;
    // Read-only data: the program folder, then the data folders. When none holds the file,
    // the path in the program folder.
    QString dataLocation(const QString& name) const;

private:
    QString m_programDir;
    QString m_userDir;
    QStringList m_dataDirs;
};

} // namespace pw
