#pragma once

// Reading and writing catalogue files.
//
// The current format (.pk2) has UTF-16 strings and is the one written; the older format
// (.pkd) has 8-bit strings and fewer optional blocks and is only read. Both are plain
// little-endian streams: section 1 (categories and products), section 2 (template columns
// and the fixed settings), then a chain of optional blocks, each read only while the file
// has not ended.

#include "model/catalog.h"
#include "model/error.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace pw {

enum class CatalogFormat { Current, Older };

// The reader the open command uses for a file name: ".PKD" in any case selects the older
// format, every other extension (or none) the current one.
CatalogFormat FormatForFileName(const QString& path);

struct ReadOptions {
    // "Leere Varianten Spalten und Zeilen beim Öffnen entfernen": drop trailing empty
    // rows and columns of every variant table while reading.
    bool trimVariants = true;
};

struct LoadResult {
    CatalogDocument doc;
    // Damage after the fixed part: every complete block before it was kept.
    std::vector<Error> warnings;
};

// Parses a catalogue held in memory into a new document seeded from `seed` as "Neu"
// leaves it (settings of blocks the data does not hold keep the seed's values). `path`
// names the file: bare picture names are resolved against its folder and errors name it.
// Throws pw::Error when section 1 or 2 is damaged; the seed is never touched.
LoadResult ReadCatalogData(const QByteArray& data, CatalogFormat format, const QString& path,
                           const CatalogDocument& seed, const ReadOptions& options);

// Reads a file in the given format. Throws pw::Error{1, path} when it cannot be opened.
LoadResult ReadCatalogFile(const QString& path, CatalogFormat format, const CatalogDocument& seed,
                           const ReadOptions& options);

// Reads `path` into `doc`, replacing it only on success (afilename becomes `path`,
// changed is cleared). On failure the document stays exactly as it was and pw::Error is
// thrown. Returns the warnings of a load that kept what it could.
std::vector<Error> OpenFileWithName(CatalogDocument& doc, const QString& path, const ReadOptions& options);
std::vector<Error> OpenFileWithNameOLD(CatalogDocument& doc, const QString& path, const ReadOptions& options);
// Chooses the reader by the extension of `path`.
std::vector<Error> OpenCatalog(CatalogDocument& doc, const QString& path, const ReadOptions& options);

// The current-format image of a document that is to be stored at `path` (picture files
// in that folder are stored as bare names).
QByteArray CatalogFileImage(const CatalogDocument& doc, const QString& path);

// Writes the document to `path` in the current format: into a temporary file in the
// same folder, flushed and synced, then renamed over the target. On failure the old file
// is untouched and pw::Error{49, path} is thrown. Does not change the document.
void SaveTheFile(const CatalogDocument& doc, const QString& path);

// The size of a font record: 16 + 2 * length of the face name (at most 255 units).
constexpr qint64 kFontRecordMinBytes = 16;

} // namespace pw
