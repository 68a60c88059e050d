#include "picturefile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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
    if (path.isEmpty())
        return PictureFileProblem::Missing;
    const QByteArray local = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(local.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == EISDIR ? PictureFileProblem::NotAFile : PictureFileProblem::Missing;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return PictureFileProblem::NotAFile;
    }
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
