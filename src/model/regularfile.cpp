#include "regularfile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {

RegularFile::~RegularFile() {
    close();
}

void RegularFile::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

PictureFileProblem RegularFile::open(const QString& path) {
    close();
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
    m_fd = fd;
    m_size = qint64(st.st_size);
    return PictureFileProblem::None;
}

QByteArray RegularFile::readAt(qint64 offset, qint64 count, bool* ok) const {
    if (ok)
        *ok = true;
    QByteArray data;
    if (m_fd < 0 || offset < 0 || count <= 0 || offset >= m_size)
        return data;
    data.resize(qsizetype(std::min(count, m_size - offset)));
    qsizetype got = 0;
    while (got < data.size()) {
        const ssize_t n =
            ::pread(m_fd, data.data() + got, std::size_t(data.size() - got), off_t(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (ok)
                *ok = false;
            return {};
        }
        if (n == 0)
            break; // the file became shorter since it was opened
        got += n;
    }
    data.truncate(got);
    return data;
}

int RegularFile::release() {
    const int fd = m_fd;
    m_fd = -1;
    m_size = 0;
    return fd;
}

} // namespace pw
