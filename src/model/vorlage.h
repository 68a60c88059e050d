#pragma once

// Variant-table template files (.vor): one column caption per line.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace pw {

// The captions held by the bytes of a template file. A UTF-8 or UTF-16 byte-order mark
// selects that encoding, otherwise the text is Windows-1252. CR, LF and CR LF all end a
// line; every line, an empty one too, is a caption, and a final line end adds none.
QStringList ParseVorlage(QByteArrayView bytes);

// Reads a template file. Throws pw::Error with the platform's wording of the file error
// (naming the file) when it cannot be read.
QStringList ReadVorlage(const QString& path);

// The bytes of a template file: Windows-1252, each caption ended by CR LF, no byte-order
// mark. Characters the code page cannot hold become "?".
QByteArray VorlageImage(const QStringList& captions);

// Writes a template file atomically. Throws pw::Error with the platform's wording of the
// file error when it cannot be written; an existing file is then untouched.
void WriteVorlage(const QString& path, const QStringList& captions);

} // namespace pw
