#include "programfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace pw {

ProgramFolders::ProgramFolders(QString programDir, QString userDir, QStringList dataDirs)
    : m_programDir(std::move(programDir)), m_userDir(std::move(userDir)), m_dataDirs(std::move(dataDirs)) {}

ProgramFolders ProgramFolders::forThisProgram() {
    const QString program = QCoreApplication::applicationDirPath();
    QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    user = user.isEmpty() ? QDir::homePath() + QStringLiteral("/.pagewright")
                          : user + QStringLiteral("/pagewright");
    return ProgramFolders(program, user, {QDir::cleanPath(program + QStringLiteral("/../share/pagewright"))});
}

bool ProgramFolders::programDirWritable() const {
    const QFileInfo dir(m_programDir);
    if (!dir.isDir() || !dir.isWritable())
        return false;
    // The delivered translations mark where the program's data lives: beside the program
    // (a build or a copied folder, which keeps its own files) or in a data folder (an
    // installed program, whose folder holds programs only).
    const QString marker = QStringLiteral("translate.dat");
    if (QFileInfo::exists(QDir(m_programDir).filePath(marker)))
        return true;
    return std::none_of(m_dataDirs.cbegin(), m_dataDirs.cend(),
                        [&](const QString& data) { return QFileInfo::exists(QDir(data).filePath(marker)); });
}

QString ProgramFolders::writeLocation(const QString& name) const {
    if (programDirWritable())
        return QDir(m_programDir).filePath(name);
    QDir().mkpath(m_userDir);
    return QDir(m_userDir).filePath(name);
}

QString ProgramFolders::readLocation(const QString& name) const {
    if (!programDirWritable()) {
        const QString user = QDir(m_userDir).filePath(name);
        if (QFileInfo::exists(user))
            return user;
    }
    return dataLocation(name);
}

QString ProgramFolders::dataLocation(const QString& name) const {
    const QString own = QDir(m_programDir).filePath(name);
    if (QFileInfo::exists(own))
        return own;
    for (const QString& dir : m_dataDirs) {
        const QString candidate = QDir(dir).filePath(name);
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return own;
}

} // namespace pw
