#include "undo.h"

#include <algorithm>

namespace pw {

void UndoStack::record(const QString& caption, Step undo, Step redo, qint64 bytes, ChangeList changes,
                       const QString& mergeKey) {
    for (const Entry& e : m_undone)
        m_bytes -= e.bytes;
    m_undone.clear();
    bytes = std::max<qint64>(bytes, 0);
    if (!mergeKey.isEmpty() && !m_done.empty() && m_done.back().mergeKey == mergeKey &&
        m_done.back().id != m_sealed) {
        // The newest step already holds the way back to the state before the first of
        // these changes; it only needs the new way forward.
        Entry& newest = m_done.back();
        newest.redo = std::move(redo);
        newest.bytes += bytes;
        for (const DocumentChange& c : changes)
            if (!newest.changes.contains(c))
                newest.changes.append(c);
        newest.id = m_nextId++;
        newest.position = newest.id;
        m_bytes += bytes;
        trim();
        return;
    }
    const quint64 id = m_nextId++;
    m_done.push_back(
        {caption, std::move(undo), std::move(redo), bytes, std::move(changes), mergeKey, id, id});
    m_bytes += bytes;
    trim();
}

std::optional<ChangeList> UndoStack::undo(CatalogDocument& doc) {
    if (m_done.empty())
        return std::nullopt;
    Entry e = std::move(m_done.back());
    m_done.pop_back();
    e.undo(doc);
    ChangeList changes = e.changes;
    m_undone.push_back(std::move(e));
    m_sealed = newestId();
    return changes;
}

std::optional<ChangeList> UndoStack::redo(CatalogDocument& doc) {
    if (m_undone.empty())
        return std::nullopt;
    Entry e = std::move(m_undone.back());
    m_undone.pop_back();
    e.redo(doc);
    ChangeList changes = e.changes;
    m_done.push_back(std::move(e));
    m_sealed = newestId();
    return changes;
}

void UndoStack::clear() {
    m_done.clear();
    m_undone.clear();
    m_bytes = 0;
    // A fresh position, so that no state before the clear compares equal to one after it.
    m_floor = m_nextId++;
    m_sealed = 0;
}

void UndoStack::trim() {
    // The oldest steps go first; the newest always stays, so its command can be undone.
    while (m_bytes > m_budget && m_done.size() > 1) {
        m_bytes -= m_done.front().bytes;
        m_floor = m_done.front().position;
        m_done.pop_front();
    }
}

template <class F> void EditContext::trackFlag(F&& change) {
    const bool before = isChanged();
    change();
    const bool after = isChanged();
    if (before != after) {
        const std::vector<DocumentObserver*> observers = m_observers;
        for (DocumentObserver* o : observers)
            o->changedFlagChanged(after);
    }
}

void EditContext::SetChanged() {
    trackFlag([this] { m_marked = true; });
}

void EditContext::SetUnChanged() {
    trackFlag([this] {
        m_marked = false;
        m_saved = history.position();
        history.sealNewest();
    });
}

void EditContext::record(const QString& caption, UndoStack::Step undo, UndoStack::Step redo, qint64 bytes,
                         ChangeList changes, const QString& mergeKey) {
    const ChangeList told = changes;
    trackFlag([&] {
        history.record(caption, std::move(undo), std::move(redo), bytes, std::move(changes), mergeKey);
    });
    notify(told);
}

bool EditContext::undo() {
    std::optional<ChangeList> changes;
    trackFlag([&] { changes = history.undo(doc); });
    if (!changes)
        return false;
    notify(*changes);
    return true;
}

bool EditContext::redo() {
    std::optional<ChangeList> changes;
    trackFlag([&] { changes = history.redo(doc); });
    if (!changes)
        return false;
    notify(*changes);
    return true;
}

void EditContext::notify(const ChangeList& changes) {
    // An observer may add or remove observers while it is told.
    const std::vector<DocumentObserver*> observers = m_observers;
    for (const DocumentChange& c : changes)
        for (DocumentObserver* o : observers)
            if (std::find(m_observers.begin(), m_observers.end(), o) != m_observers.end())
                o->documentChanged(c);
}

void EditContext::addObserver(DocumentObserver* observer) {
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void EditContext::removeObserver(DocumentObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

} // namespace pw
