#include "savefile.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace pw {

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
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!f.commit())
        return fail(f.errorString());
    return true;
}

} // namespace pw
