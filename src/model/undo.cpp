#include "undo.h"

namespace pw {

void UndoStack::record(const QString& caption, Step undo, Step redo, qint64 bytes) {
    for (const Entry& e : m_undone)
        m_bytes -= e.bytes;
    m_undone.clear();
    m_done.push_back({caption, std::move(undo), std::move(redo), std::max<qint64>(bytes, 0)});
    m_bytes += m_done.back().bytes;
    trim();
}

bool UndoStack::undo(CatalogDocument& doc) {
    if (m_done.empty())
        return false;
    Entry e = std::move(m_done.back());
    m_done.pop_back();
    e.undo(doc);
    m_undone.push_back(std::move(e));
    return true;
}

bool UndoStack::redo(CatalogDocument& doc) {
    if (m_undone.empty())
        return false;
    Entry e = std::move(m_undone.back());
    m_undone.pop_back();
    e.redo(doc);
    m_done.push_back(std::move(e));
    return true;
}

void UndoStack::clear() {
    m_done.clear();
    m_undone.clear();
    m_bytes = 0;
}

void UndoStack::trim() {
    // The oldest steps go first; the newest always stays, so its command can be undone.
    while (m_bytes > m_budget && m_done.size() > 1) {
        m_bytes -= m_done.front().bytes;
        m_done.pop_front();
    }
}

} // namespace pw
