#pragma once

// Finding and opening the picture files a catalogue names. A catalogue stores picture
// paths as text (see catalogfile.h); the code that opens a picture maps that text to a file
// here, so that every reader of pictures (the layout, the picture commands, copying) finds
// the same file, and only regular files are ever read: a device, a FIFO or a folder named
// as a picture is refused as though it were missing.

#include <QFile>
#include <QString>

namespace pw {

// The file a stored picture path names, for a catalogue read from `catalogueFile` (empty
// for a catalogue that has no file yet). "\" separators become "/" where "/" is the
// separator. An absolute path and a bare file name (no folder part, resolved when the
// catalogue is read) are taken as they are, the bare name thus relative to the working
// folder. A relative path with a folder part ("bilder/katze.png") is looked up in the
// catalogue's folder first and taken from there when a file exists there, else relative
// to the working folder, so that a catalogue opens with its pictures from wherever the
// program was started.
QString resolvePicturePath(const QString& stored, const QString& catalogueFile);

// Why a picture file could not be read.
enum class PictureFileProblem {
    None,
    Missing,    // no such file, or it cannot be opened
    NotAFile,   // a folder, device, FIFO or socket
    Unreadable, // not a picture, damaged, cut off or larger than a picture may be
};

// Opens `path` for reading when it is a regular file. The open itself never blocks (a FIFO
// is opened without waiting for a writer) and the file is checked after the open, so a
// file swapped for a FIFO or device in between is refused too. On failure `file` stays
// closed and the result says why (Missing or NotAFile).
PictureFileProblem openRegularFile(QFile& file, const QString& path);

// "fehlt", "ist keine Datei", ...: the problem as a short German phrase for messages.
QString pictureProblemText(PictureFileProblem problem);

} // namespace pw
