#pragma once

// Decoded product pictures kept between layout runs of one engine environment.
//
// The preview draws the same page again after every change of a setting, and decoding
// the photos of a page costs more than laying the whole catalogue out. The cache keeps the
// decoded pictures of the pages drawn last, up to a budget of bytes, the least recently
// used going first. An entry is keyed by the file and the smallest size it was decoded
// for, and is used only while the file's size and modification time are the ones it was
// read with, so a picture changed on disk is read again. A cache whose budget is 0 (the
// default, as for exports and the command line) keeps nothing.

#include "imagelib/PicIO3.h"
#include "imagelib/picfiles.h"

#include <QDateTime>
#include <QString>

#include <list>
#include <optional>

namespace pw {

class DecodedPictureCache {
public:
    void setBudget(qint64 bytes);
    qint64 budget() const { return m_budget; }

    // Fills `d` with a copy of the picture decoded for `file` and `atLeast` and returns the
    // load result it had; an empty optional when it is not kept (or the file changed).
    std::optional<PictureLoadResult> find(const QString& file, int atLeast, dib& d);
    // Keeps a copy of a picture that loaded (nothing when the budget is 0 or the picture
    // alone exceeds it).
    void keep(const QString& file, int atLeast, const PictureLoadResult& result, const dib& d);

private:
    struct Entry {
        QString file;
        int atLeast = 0;
        QDateTime modified;
        qint64 fileSize = 0;
        PictureLoadResult result;
        dib picture;
        qint64 bytes = 0;
    };
    qint64 m_budget = 0;
    qint64 m_used = 0;
    std::list<Entry> m_entries; // most recently used first
};

// A copy of a picture (empty when `from` is empty or the copy cannot be made).
void copyDib(const dib& from, dib& to);

} // namespace pw
