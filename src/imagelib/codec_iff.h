#pragma once

// IFF pictures (.iff, .lbm): a FORM of type ILBM (bit planes) or PBM (one byte per pixel)
// with the chunks BMHD (size, planes, compression), CMAP (palette), CAMG (display mode)
// and BODY (the pixel rows, uncompressed or ByteRun1).

#include "PicIO3.h"

#include <QByteArray>
#include <QByteArrayView>

namespace pw::codec {

// True when the data starts a FORM of type ILBM or PBM.
bool looksLikeIff(QByteArrayView data);

// Decodes at the file's depth: 1 plane as a 1-bit picture, 2..4 planes as 4 bits, 5..8
// planes and PBM as 8 bits, 24 and 32 planes (the alpha planes ignored) as 24 bits.
// The display modes "extra half-brite" (64 colours) and "hold and modify" (24 bits)
// are expanded.
bool readIff(dib& d, QByteArrayView data);

// Encodes as ILBM with BMHD, CMAP (palette pictures) and a ByteRun1 BODY: 1, 4 and 8 bits
// as that many planes, 24 bits as 24 planes. Empty when the picture is empty or larger
// than 65,535 pixels a side.
QByteArray writeIff(const dib& d);

} // namespace pw::codec
