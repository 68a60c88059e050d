#include "savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {

namespace {

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// "." + name + "." + six random letters, in the target's folder.
QString hiddenNameBeside(const QString& target) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QFileInfo info(target);
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + QLatin1Char('.') + suffix);
}

// Writes all of data to fd; a short write is retried, an error ends it.
bool writeAll(int fd, const QByteArray& data, int& code) {
    const char* p = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, std::size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            code = errno;
            return false;
        }
        if (n == 0) {
            code = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile f(path);
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        f.cancelWriting();
        return false;
    };
    if (!f.open(QIODevice::WriteOnly))
        return fail(f.errorString());
    if (f.write(data) != data.size() || !f.flush())
        return fail(f.errorString());
    if (::fsync(f.handle()) != 0)
        return fail(systemError(errno));
    if (!f.commit())
        return fail(f.errorString());
    return true;
}

StagedFiles::~StagedFiles() {
    discard();
}

bool StagedFiles::stage(const QString& target, const QByteArray& data, QString* error,
                        const QFileDevice* timesFrom) {
    const auto fail = [&](int code, const QString& temporary) {
        if (error)
            *error = systemError(code);
        if (!temporary.isEmpty())
            ::unlink(QFile::encodeName(temporary).constData());
        return false;
    };
    // Exclusive creation under a fresh name; O_NOFOLLOW refuses a link planted there.
    QString temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = hiddenNameBeside(target);
        fd = ::open(QFile::encodeName(temporary).constData(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return fail(errno, QString());
    }
    if (fd < 0)
        return fail(EEXIST, QString());
    int code = 0;
    const auto check = [&](bool done) {
        if (!done)
            code = errno;
        return done;
    };
    struct stat old {};
    // The replacement keeps the permissions of the file it replaces.
    bool ok = writeAll(fd, data, code) &&
              (::stat(QFile::encodeName(target).constData(), &old) != 0 || !S_ISREG(old.st_mode) ||
               check(::fchmod(fd, old.st_mode & 07777) == 0)) &&
              check(::fsync(fd) == 0);
    if (ok && timesFrom) {
        QFile file;
        if (file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
            for (QFileDevice::FileTime t : {QFileDevice::FileAccessTime, QFileDevice::FileModificationTime}) {
                const QDateTime time = timesFrom->fileTime(t);
                if (time.isValid())
                    file.setFileTime(time, t);
            }
        }
    }
    if (::close(fd) != 0 && ok)
        ok = check(false);
    if (!ok)
        return fail(code, temporary);
    m_files.push_back({temporary, target});
    return true;
}

bool StagedFiles::commit(QString* failedTarget) {
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        if (std::rename(QFile::encodeName(m_files[i].temporary).constData(),
                        QFile::encodeName(m_files[i].target).constData()) != 0) {
            if (failedTarget)
                *failedTarget = m_files[i].target;
            m_files.erase(m_files.begin(), m_files.begin() + std::ptrdiff_t(i));
            discard();
            return false;
        }
    }
    m_files.clear();
    return true;
}

void StagedFiles::discard() {
    for (const Staged& s : m_files)
        ::unlink(QFile::encodeName(s.temporary).constData());
    m_files.clear();
}

} // namespace pw
