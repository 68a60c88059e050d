#pragma once

// The compressed streams of the PDF writers: the zlib format (deflate with its Adler-32
// trailer) that FlateDecode reads, and the PNG "Up" row filter its /Predictor 12 undoes.

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

struct libdeflate_compressor;

namespace pw {

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const;
};
using Compressor = std::unique_ptr<libdeflate_compressor, CompressorDeleter>;

// A compressor at a level of zlib's scale (1 fastest .. 9 smallest; up to 12). Throws
// pw::Error when memory for it runs out.
Compressor newCompressor(int level);
// The data compressed into `out`, whose room is kept for the next block (it only grows).
void zlibCompressInto(libdeflate_compressor* compressor, const char* data, qsizetype size, QByteArray& out);
// The data compressed with a compressor made for the call.
QByteArray zlibCompressed(QByteArrayView data, int level);

// Rows of `rowBytes` bytes with the PNG "Up" filter: each row a filter byte 2, then every
// byte less the one above it (the first row less nothing). `out` holds rows * (rowBytes + 1).
void upFilterRows(const quint8* in, qsizetype rowBytes, int rows, quint8* out);

} // namespace pw
