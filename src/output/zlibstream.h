#pragma once

// The zlib format (deflate with its Adler-32 trailer) that PDF's FlateDecode reads.

#include <QByteArray>
#include <QByteArrayView>

namespace pw {

// The data compressed at a level of zlib's scale (1 fastest .. 9 smallest; the compressor
// goes up to 12). Throws pw::Error when memory for the compressor runs out.
QByteArray zlibCompressed(QByteArrayView data, int level);

} // namespace pw
