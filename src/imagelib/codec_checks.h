#pragma once

// Signatures and completeness checks for the formats that Qt decodes. Qt's decoders
// accept some cut-off files (a JPEG comes out grey at the bottom, a TIFF without its
// colour map as grey), so the program checks that a file reaches its end before handing
// it over.

#include <QByteArrayView>

namespace pw::codec {

bool looksLikeBmp(QByteArrayView data);
bool looksLikeJpeg(QByteArrayView data);
bool looksLikePng(QByteArrayView data);
bool looksLikeTiff(QByteArrayView data); // classic and BigTIFF, either byte order
bool looksLikeWebp(QByteArrayView data);

// The JPEG's segments reach the end-of-image marker.
bool jpegReachesEnd(QByteArrayView data);
// The PNG's chunks reach IEND.
bool pngReachesEnd(QByteArrayView data);
// The data holds as many bytes as the RIFF header says.
bool webpComplete(QByteArrayView data);
// The first directory, its colour map and every strip or tile it points to lie within
// the data.
bool tiffComplete(QByteArrayView data);

} // namespace pw::codec
