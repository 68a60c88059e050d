#include "picturecache.h"

#include "model/usablecores.h"

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

DecodedPictureCache::~DecodedPictureCache() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        for (auto it = m_ahead.begin(); it != m_ahead.end();)
            it = it->running && !it->done ? std::next(it) : m_ahead.erase(it);
    }
    m_changed.notify_all();
    for (std::thread& helper : m_helpers)
        helper.join();
}

void DecodedPictureCache::setBudget(qint64 bytes) {
    if (bytes <= 0)
        settle();
    const std::lock_guard lock(m_mutex);
    m_budget = std::max<qint64>(0, bytes);
    while (m_used > m_budget && !m_entries.empty()) {
        m_used -= m_entries.back().bytes;
        m_entries.pop_back();
    }
}

std::list<DecodedPictureCache::Entry>::iterator DecodedPictureCache::entryFor(const QString& file,
                                                                              int atLeast) {
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [&](const Entry& e) { return e.atLeast == atLeast && e.file == file; });
}

std::list<DecodedPictureCache::Ahead>::iterator DecodedPictureCache::aheadFor(const QString& file,
                                                                              int atLeast) {
    return std::find_if(m_ahead.begin(), m_ahead.end(),
                        [&](const Ahead& a) { return a.atLeast == atLeast && a.file == file; });
}

std::optional<PictureLoadResult> DecodedPictureCache::find(const QString& file, int atLeast, dib& d) {
    if (m_budget == 0)
        return std::nullopt;
    std::unique_lock lock(m_mutex);
    for (;;) {
        const auto ahead = aheadFor(file, atLeast);
        if (ahead == m_ahead.end())
            break;
        if (ahead->done) {
            // Decoded, but larger than the budget keeps: handed over as it is.
            d = std::move(ahead->picture);
            const PictureLoadResult result = ahead->result;
            m_ahead.erase(ahead);
            m_changed.notify_all();
            return result;
        }
        if (!ahead->running) {
            ahead->running = true; // no helper has begun it: decoded here, at once
            runAhead(ahead, lock);
            continue;
        }
        // A helper is decoding it: run another decode ahead meanwhile, or wait.
        const auto other = waitingAhead();
        if (other != m_ahead.end()) {
            other->running = true;
            runAhead(other, lock);
        } else {
            m_changed.wait(lock);
        }
    }
    const auto it = entryFor(file, atLeast);
    if (it == m_entries.end())
        return std::nullopt;
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

void DecodedPictureCache::keep(const QString& file, int atLeast, const PictureLoadResult& result,
                               const dib& d) {
    if (m_budget == 0 || !d.poi || qint64(d.bytew) * dibheight(d) > m_budget)
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
    const std::lock_guard lock(m_mutex);
    keepLocked(std::move(e));
}

void DecodedPictureCache::keepLocked(Entry&& e) {
    e.bytes = qint64(e.picture.bytew) * dibheight(e.picture);
    if (e.bytes > m_budget)
        return;
    if (const auto old = entryFor(e.file, e.atLeast); old != m_entries.end()) {
        m_used -= old->bytes;
        m_entries.erase(old);
    }
    m_used += e.bytes;
    m_entries.push_front(std::move(e));
    while (m_used > m_budget && !m_entries.empty()) {
        m_used -= m_entries.back().bytes;
        m_entries.pop_back();
    }
}

void DecodedPictureCache::decodeAhead(const QString& file, int atLeast, Loader load) {
    if (m_budget == 0 || file.isEmpty())
        return;
    static const int helpers = std::min(UsableCores() - 1, 3);
    if (helpers <= 0)
        return;
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopping || int(m_ahead.size()) >= kMostAhead || aheadFor(file, atLeast) != m_ahead.end() ||
            entryFor(file, atLeast) != m_entries.end())
            return;
        Ahead& job = m_ahead.emplace_back();
        job.file = file;
        job.atLeast = atLeast;
        job.load = std::move(load);
    }
    if (int(m_helpers.size()) < helpers)
        m_helpers.emplace_back([this] { helperLoop(); });
    m_changed.notify_all();
}

void DecodedPictureCache::settle() {
    std::unique_lock lock(m_mutex);
    for (auto it = m_ahead.begin(); it != m_ahead.end();)
        it = it->running && !it->done ? std::next(it) : m_ahead.erase(it);
    m_changed.wait(lock, [this] {
        for (auto it = m_ahead.begin(); it != m_ahead.end();)
            it = it->done ? m_ahead.erase(it) : std::next(it);
        return m_ahead.empty();
    });
}

std::list<DecodedPictureCache::Ahead>::iterator DecodedPictureCache::waitingAhead() {
    // While a picture too large to keep waits to be handed over, no further one begins:
    // at most one such picture is held beside those being decoded.
    if (std::any_of(m_ahead.begin(), m_ahead.end(), [](const Ahead& a) { return a.done; }))
        return m_ahead.end();
    return std::find_if(m_ahead.begin(), m_ahead.end(), [](const Ahead& a) { return !a.running; });
}

void DecodedPictureCache::runAhead(std::list<Ahead>::iterator job, std::unique_lock<std::mutex>& lock) {
    Entry e;
    e.file = job->file;
    e.atLeast = job->atLeast;
    const Loader load = job->load;
    lock.unlock();
    const QFileInfo before(e.file);
    e.modified = before.lastModified();
    e.fileSize = before.size();
    e.result = load(e.picture);
    lock.lock();
    // The list's other members may come and go meanwhile; this one stays.
    const bool loaded = e.result.problem == PictureFileProblem::None && e.picture.poi;
    if (loaded && qint64(e.picture.bytew) * dibheight(e.picture) > m_budget) {
        job->picture = std::move(e.picture);
        job->result = e.result;
        job->done = true;
    } else {
        if (loaded)
            keepLocked(std::move(e));
        m_ahead.erase(job);
    }
    m_changed.notify_all();
}

void DecodedPictureCache::helperLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        const auto job = waitingAhead();
        if (job != m_ahead.end()) {
            job->running = true;
            runAhead(job, lock);
            continue;
        }
        if (m_stopping)
            return;
        m_changed.wait(lock);
    }
}

} // namespace pw
