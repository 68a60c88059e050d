#pragma once

// Pictures held in memory: decoding and encoding by format code (see DibFormat). OpenDib
// and SaveDib read and write files through these two; the fuzz target calls them
// directly so that nothing touches the disk.

#include "PicIO3.h"
#include "model/picturefile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>

namespace pw {

// A picture file loaded for drawing: why it failed (None on success) and the pixel size
// the picture has in full, which layout works with even when fewer pixels were decoded.
struct PictureLoadResult {
    PictureFileProblem problem = PictureFileProblem::None;
    QSize fullSize;
};

// Loads a picture file for drawing (format by content; regular files only, like OpenDib).
// With atLeast > 0 a JPEG picture whose sides are both at least twice atLeast is decoded
// smaller, by the decoder's own fast scaling, keeping both sides at least atLeast pixels;
// d then holds fewer pixels than fullSize. Any other picture is decoded in full. On
// failure d is empty and the result says why.
PictureLoadResult loadPictureForDrawing(dib& d, const QString& path, int atLeast = 0);

// The size loadPictureForDrawing would report for a picture file, read without decoding
// the pixels where the format allows it: a JPEG or PNG file is recognised by its content,
// checked to end as such a file ends (a file cut off fails as Unreadable) and measured
// from its header, turned as a photograph taken on its side is turned. Any other picture,
// or one whose end or header is unusual, is decoded as loadPictureForDrawing decodes it
// (atLeast as there). A file damaged inside its pixels passes here and fails when it is
// decoded for drawing. Failures are those of loadPictureForDrawing.
PictureLoadResult readPictureSize(const QString& path, int atLeast = 0);

// Decodes a picture. Code 0 recognises the format by the data; any other code forces that
// format's decoder. Returns false, with d empty, when the data is not a picture of that
// format, is damaged or cut off, or describes a picture larger than the decode limit.
bool decodeDib(dib& d, QByteArrayView data, int format);

// Encodes a picture in the given format. Empty when the picture is empty, the code is
// unknown or the format cannot hold the picture (for instance more than 65,535 pixels a
// side where the format stores 16-bit sizes).
QByteArray encodeDib(const dib& d, int format);

// Saves a 32-bit image (Format_RGB32, such as a rendered page) drawn at `dpi` (0: none
// recorded) with the bytes SaveDib writes for its 24-bit picture with that resolution. The
// formats Qt writes (JPEG, PNG, TIFF, WebP) are encoded from the image itself, without the
// two copies the picture record costs; the image should then already carry the resolution
// as its dots per metre (setImageResolution), or it is copied once to take it.
bool SavePageImage(const QImage& page, int dpi, const QString& path, int format);
// Records `dpi` in an image's dots per metre as setDibResolution does in a picture.
void setImageResolution(QImage& image, int dpi);

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

// The most pixels a decoded picture may have; 100 megapixels unless set (the program's
// own page pictures read by OpenTemporaryDib are bound only by newdib). The fuzz target
// lowers it so that each run stays small. A value <= 0 restores the default.
void setDecodePixelLimit(qint64 pixels);

} // namespace pw
