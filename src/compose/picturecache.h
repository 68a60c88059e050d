#pragma once

// Decoded product pictures kept between layout runs of one engine environment.
//
// The preview draws the same page again after every change of a setting, and decoding
// the photos of a page costs more than laying the whole catalogue out. The cache keeps the
// decoded pictures of the pages drawn last, up to a budget of bytes, the least recently
// used going first. An entry is keyed by the file and the smallest size it was decoded
// for, and is used only while the file's size and modification time are the ones it was
// read with, so a picture changed on disk is read again. A cache whose budget is 0 (the
// default, as for the command line's single pages) keeps nothing; exports give it one for
// their run.
//
// The layout may also have pictures decoded ahead on helper threads (decodeAhead), so
// that the photos of a page decode on several cores at once. All members may be called
// from the thread that owns the cache only; the helpers touch the cache under its mutex.

#include "imagelib/PicIO3.h"
#include "imagelib/picfiles.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace pw {

class DecodedPictureCache {
public:
    // Decodes one picture into `d` for a decode ahead; called on a helper thread, so it
    // may touch nothing but the file it reads and the picture it fills.
    using Loader = std::function<PictureLoadResult(dib& d)>;

    DecodedPictureCache() = default;
    // Drops the decodes ahead not begun and waits for the ones under way.
    ~DecodedPictureCache();
    DecodedPictureCache(const DecodedPictureCache&) = delete;
    DecodedPictureCache& operator=(const DecodedPictureCache&) = delete;

    void setBudget(qint64 bytes);
    qint64 budget() const { return m_budget; }

    // Fills `d` with a copy of the picture decoded for `file` and `atLeast` and returns the
    // load result it had; an empty optional when it is not kept (or the file changed).
    // A decode ahead of the same picture comes first: one no helper has begun runs on the
    // calling thread, one a helper is running is waited for (the calling thread runs
    // other decodes ahead meanwhile).
    std::optional<PictureLoadResult> find(const QString& file, int atLeast, dib& d);
    // Keeps a copy of a picture that loaded (nothing when the budget is 0 or the picture
    // alone exceeds it).
    void keep(const QString& file, int atLeast, const PictureLoadResult& result, const dib& d);

    // Decodes `file` for `atLeast` through `load` on a helper thread and keeps it when it
    // loads, so that a later find for it costs a copy: the layout announces the pictures
    // it is about to draw, and they decode on the other cores while it draws. A picture
    // larger than the budget is handed to the first find for it instead (and no further
    // decode ahead begins until then). Nothing is started when the budget is 0, the
    // process may use one core only, the picture is kept or on its way already, or
    // kMostAhead decodes are waiting, under way or waiting to be handed over. A picture
    // that fails to load is not kept; its own drawing then loads it again and reports the
    // failure, so the results never depend on the helpers.
    void decodeAhead(const QString& file, int atLeast, Loader load);
    // Drops the decodes ahead not begun or not handed over, and waits for the ones under
    // way.
    void settle();

    // At most this many decodes ahead wait or run at one time: enough for the pictures of
    // the next few products, and a bound on the memory they hold before they are kept.
    static constexpr int kMostAhead = 8;

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
    struct Ahead {
        QString file;
        int atLeast = 0;
        Loader load;
        bool running = false;
        // Decoded but too large for the budget: the picture waits here for its find.
        bool done = false;
        PictureLoadResult result;
        dib picture;
    };

    // With m_mutex held: the entry and the decode ahead for a picture, or end().
    std::list<Entry>::iterator entryFor(const QString& file, int atLeast);
    std::list<Ahead>::iterator aheadFor(const QString& file, int atLeast);
    // With m_mutex held: moves a loaded picture into the cache as the newest entry.
    void keepLocked(Entry&& e);
    // With m_mutex held: the first decode ahead no one has begun, or end() (also while a
    // picture too large to keep waits to be handed over).
    std::list<Ahead>::iterator waitingAhead();
    // Runs the decode ahead `job` (already marked running) with m_mutex unlocked for the
    // decode, keeps its picture and removes it (or, too large to keep, leaves it done for
    // its find); `lock` holds m_mutex before and after.
    void runAhead(std::list<Ahead>::iterator job, std::unique_lock<std::mutex>& lock);
    void helperLoop();

    std::atomic<qint64> m_budget = 0;
    qint64 m_used = 0;
    std::list<Entry> m_entries; // most recently used first
    std::list<Ahead> m_ahead;   // in the order announced
    std::vector<std::thread> m_helpers;
    bool m_stopping = false;
    std::mutex m_mutex;
    std::condition_variable m_changed; // a decode ahead was announced, begun or finished
};

// A copy of a picture (empty when `from` is empty or the copy cannot be made).
void copyDib(const dib& from, dib& to);

} // namespace pw
