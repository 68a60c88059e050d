#include "picturecache.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace pw {

void copyDib(const dib& from, dib& to) {
    freedib(to);
    if (!from.poi || !from.pmi)
        return;
    const int bits = dibbitcount(from);
    if (!newdib(to, dibwidth(from), dibheight(from), bits, from.pmi.get(), bits <= 8 ? 1 << bits : 0))
        return;
    std::memcpy(to.poi, from.poi, std::size_t(from.bytew) * std::size_t(dibheight(from)));
    to.sourceFile = from.sourceFile;
    to.sourceWidth = from.sourceWidth;
    to.sourceHeight = from.sourceHeight;
}

void DecodedPictureCache::setBudget(qint64 bytes) {
    m_budget = std::max<qint64>(0, bytes);
    while (m_used > m_budget && !m_entries.empty()) {
        m_used -= m_entries.back().bytes;
        m_entries.pop_back();
    }
}

std::optional<PictureLoadResult> DecodedPictureCache::find(const QString& file, int atLeast, dib& d) {
    if (m_budget == 0)
        return std::nullopt;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->file != file || it->atLeast != atLeast)
            continue;
        const QFileInfo info(file);
        if (info.lastModified() != it->modified || info.size() != it->fileSize) {
            m_used -= it->bytes;
            m_entries.erase(it);
            return std::nullopt;
        }
        m_entries.splice(m_entries.begin(), m_entries, it);
        copyDib(m_entries.front().picture, d);
        if (!d.poi)
            return std::nullopt;
        return m_entries.front().result;
    }
    return std::nullopt;
}

void DecodedPictureCache::keep(const QString& file, int atLeast, const PictureLoadResult& result,
                               const dib& d) {
    if (m_budget == 0 || !d.poi)
        return;
    const qint64 bytes = qint64(d.bytew) * dibheight(d);
    if (bytes > m_budget)
        return;
    Entry e;
    e.file = file;
    e.atLeast = atLeast;
    const QFileInfo info(file);
    e.modified = info.lastModified();
    e.fileSize = info.size();
    e.result = result;
    copyDib(d, e.picture);
    if (!e.picture.poi)
        return;
    e.bytes = bytes;
    m_used += bytes;
    m_entries.push_front(std::move(e));
    while (m_used > m_budget && !m_entries.empty()) {
        m_used -= m_entries.back().bytes;
        m_entries.pop_back();
    }
}

} // namespace pw
