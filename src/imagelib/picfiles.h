#pragma once

// Pictures held in memory: decoding and encoding by format code (see DibFormat). OpenDib
// and SaveDib read and write files through these two; the fuzz target calls them
// directly so that nothing touches the disk.

#include "PicIO3.h"

#include <QByteArray>
#include <QByteArrayView>

namespace pw {

// Decodes a picture. Code 0 recognises the format by the data; any other code forces that
// format's decoder. Returns false, with d empty, when the data is not a picture of that
// format, is damaged or cut off, or describes a picture larger than the decode limit.
bool decodeDib(dib& d, QByteArrayView data, int format);

// Encodes a picture in the given format. Empty when the picture is empty, the code is
// unknown or the format cannot hold the picture (for instance more than 65,535 pixels a
// side where the format stores 16-bit sizes).
QByteArray encodeDib(const dib& d, int format);

// The extension (without dot) a save format writes, "" for an unknown code; and the format
// code of an extension, matched without regard to case, kFormatByContent when none writes it.
QString FormatExtension(int format);
int FormatForExtension(const QString& extension);

// The program's own temporary pictures: an uncompressed BMP written straight from the
// picture's rows, without the replace-and-flush that SaveDib gives user files (a lost
// temporary file costs nothing), and read back through a memory mapping. False, or d
// empty, on any failure.
bool SaveTemporaryDib(const dib& d, const QString& path);
void OpenTemporaryDib(dib& d, const QString& path);

// The most pixels a decoded picture may have; 40,000 x 40,000 unless set. The fuzz target
// lowers it so that each run stays small. A value <= 0 restores the default.
void setDecodePixelLimit(qint64 pixels);

} // namespace pw
