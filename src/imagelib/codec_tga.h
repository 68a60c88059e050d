#pragma once

// Targa pictures: an 18-byte header, an optional id and colour map, then the pixels,
// uncompressed or run-length coded. The format has no signature, so the reader checks
// every header field against the values the format allows and the data size against the
// pixel count before it accepts a file.

#include "PicIO3.h"

#include <QByteArray>
#include <QByteArrayView>

namespace pw::codec {

// Decodes image types 1 and 9 (colour-mapped, 8-bit indices) as 8-bit pictures with the
// colour map, types 3 and 11 (grey) as 8-bit pictures with a grey ramp, types 2 and 10
// (15, 16, 24 or 32 bits) as 24 bits. Both origins and right-to-left rows are honoured; a
// 32-bit picture with an alpha channel is laid onto white, unless every alpha value is 0
// (files that leave the channel unused).
bool readTga(dib& d, QByteArrayView data);

// Encodes uncompressed: 24-bit pictures as type 2, palette pictures as type 1 with a
// 24-bit colour map of every entry the depth can address. Empty when the picture is empty
// or larger than 65,535 pixels a side.
QByteArray writeTga(const dib& d);

} // namespace pw::codec
