#pragma once

// PCX pictures: a 128-byte header, then run-length coded scan lines of one or more colour
// planes, and for 256-colour pictures a palette at the end of the file.

#include "PicIO3.h"

#include <QByteArray>
#include <QByteArrayView>

namespace pw::codec {

// True when the data starts with a PCX header this reader can decode.
bool looksLikePcx(QByteArrayView data);

// Decodes at the file's depth: 1 bit x 1 plane as a black-and-white 1-bit picture;
// 1 bit x 2..4 planes, 2 bits and 4 bits x 1 plane as 4-bit pictures with the header's
// 16-colour palette; 8 bits x 1 plane as an 8-bit picture with the palette at the end;
// 8 bits x 3 (or 4, the fourth plane ignored) planes as 24 bits.
bool readPcx(dib& d, QByteArrayView data);

// Encodes with run-length coding: 1-bit black-and-white pictures as 1 bit x 1 plane,
// other 1-bit and 8-bit pictures as 8 bits with the 256-colour palette, 4-bit pictures as
// 1 bit x 4 planes, 24-bit pictures as 3 planes. Empty when the picture is empty or too
// large for the format (65,536 pixels a side).
QByteArray writePcx(const dib& d);

} // namespace pw::codec
