#pragma once

#include "picturefile.h"

#include <QByteArray>
#include <QString>

namespace pw {

// A regular file open for reading through its descriptor, closed when the object ends.
//
// For the many small reads of a catalogue's pictures (a header here, the last bytes
// there) without the calls a QFile makes around each one: `open` costs an open and an
// fstat, each `readAt` one pread. The open follows openRegularFile: it never blocks (a
// FIFO is opened without waiting for a writer), and a folder, device, FIFO or socket is
// refused after the open, so one swapped in between is refused too.
class RegularFile {
public:
    RegularFile() = default;
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Closes what was open, then opens `path`: None, Missing (no such file, or it cannot
    // be opened) or NotAFile.
    PictureFileProblem open(const QString& path);
    bool isOpen() const { return m_fd >= 0; }
    qint64 size() const { return m_size; }

    // Up to `count` bytes from `offset`: fewer only where the file ends, none after a read
    // error (then `ok`, when given, is set false).
    QByteArray readAt(qint64 offset, qint64 count, bool* ok = nullptr) const;

    // Hands the descriptor over (the caller closes it); the object is closed afterwards.
    int release();

private:
    void close();

    int m_fd = -1;
    qint64 m_size = 0;
};

} // namespace pw
