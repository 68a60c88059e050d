#pragma once

// Windows bitmaps (.bmp, .dib, .rle): the header check made before Qt decodes a file, and
// the writer. A dib already holds its rows the way a bitmap file stores them (bottom row
// first, each padded to 4 bytes), so an uncompressed file is the header, the colour table
// and the pixel block as they are.

#include "PicIO3.h"

#include <QByteArray>
#include <QByteArrayView>

namespace pw::codec {

struct BmpHeader {
    qint64 width = 0;
    qint64 height = 0; // rows, always positive
    int bits = 0;
    int compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 and 6 bit fields
    qint64 infoSize = 0;
    qint64 pixelsAt = 0;
    qint64 colorsUsed = 0;
    bool topDown = false; // rows stored top row first (negative height)
};

// Reads and checks the file and info headers: "BM", a known info header size, one plane,
// a depth of 1, 4, 8, 16, 24 or 32 bits with a compression that fits it, a picture size
// within the decoders' limit and, for uncompressed files, every row present in the data.
bool readBmpHeader(QByteArrayView data, BmpHeader& header);

// Decodes an uncompressed 1-, 4-, 8- or 24-bit file whose header readBmpHeader accepted,
// at its own depth, with the pixel bits exactly as the file stores them. False for other
// kinds of bitmap, which Qt decodes.
bool readBmpPlain(dib& d, QByteArrayView data, const BmpHeader& header);

// Decodes a run-length coded (RLE8 or RLE4) file whose header readBmpHeader accepted, at
// its own depth. Pixels the coding skips over (moves and early ends of rows or of the
// picture) are palette entry 0. Fails when the data ends before the picture does.
bool readBmpRle(dib& d, QByteArrayView data, const BmpHeader& header);

// Encodes a picture. With runLength, 8-bit pictures are written with RLE8 and 4-bit
// pictures with RLE4 coding; 1- and 24-bit pictures have no run-length form and are
// written uncompressed either way. Empty when the picture is empty.
QByteArray writeBmp(const dib& d, bool runLength);
// The file and information headers and the colour table of an uncompressed file, which
// the rows (d.bytew bytes each, bottom row first) follow unchanged. Empty for an empty
// picture or one too large for the format.
QByteArray bmpPlainHeader(const dib& d);

} // namespace pw::codec
