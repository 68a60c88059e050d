#pragma once

// GIF pictures through giflib, reading from and writing to memory.

#include "PicIO3.h"

#include <QByteArray>
#include <QByteArrayView>

namespace pw::codec {

// True when the data starts with a GIF87a or GIF89a signature.
bool looksLikeGif(QByteArrayView data);

// Decodes the first image of the file, at its own size, as an 8-bit picture with its
// local or the global colour table. A transparent colour becomes white.
bool readGif(dib& d, QByteArrayView data);

// Encodes a single image. Palette pictures keep their palette; a 24-bit picture with at
// most 256 colours gets exactly those, one with more is reduced by median cut. Empty when
// the picture is empty or larger than 65,535 pixels a side.
QByteArray writeGif(const dib& d);

} // namespace pw::codec
