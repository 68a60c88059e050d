#include "picturefile.h"

#include "regularfile.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace pw {

QString resolvePicturePath(const QString& stored, const QString& catalogueFile) {
    QString path = stored;
    if (QDir::separator() == u'/')
        path.replace(u'\\', u'/');
    if (path.isEmpty() || QDir::isAbsolutePath(path) || !path.contains(u'/') || catalogueFile.isEmpty())
        return path;
    const QString besideCatalogue = QFileInfo(catalogueFile).absoluteDir().filePath(path);
    return QFileInfo::exists(besideCatalogue) ? besideCatalogue : path;
}

PictureFileProblem openRegularFile(QFile& file, const QString& path) {
    file.close();
    RegularFile opened;
    const PictureFileProblem problem = opened.open(path);
    if (problem != PictureFileProblem::None)
        return problem;
    const int fd = opened.release();
    // Reads from a regular file never wait; blocking mode keeps short reads out.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    file.setFileName(path);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return PictureFileProblem::Missing;
    }
    return PictureFileProblem::None;
}

QString pictureProblemText(PictureFileProblem problem) {
    switch (problem) {
    case PictureFileProblem::Missing:
        return QStringLiteral("Datei fehlt oder lässt sich nicht öffnen");
    case PictureFileProblem::NotAFile:
        return QStringLiteral("keine gewöhnliche Datei");
    case PictureFileProblem::Unreadable:
        return QStringLiteral("kein lesbares Bild (beschädigt oder zu groß)");
    case PictureFileProblem::None:
        break;
    }
    return {};
}

} // namespace pw
