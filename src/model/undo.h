#pragma once

// The undo history of the editing commands, and the open document as they see it.
//
// A command changes the document itself and records how to take the change back and how
// to make it again: two functions over the document, with the bytes they hold (the
// snapshot of what the command touched). The history keeps at most a memory budget; the
// oldest steps go first when it is exceeded. A new step clears what could be redone.

#include "model/catalog.h"

#include <QString>

#include <deque>
#include <functional>

namespace pw {

class UndoStack {
public:
    using Step = std::function<void(CatalogDocument&)>;

    // Keeps steps holding at most `budgetBytes` together (at least the newest step).
    explicit UndoStack(qint64 budgetBytes = 256LL * 1024 * 1024) : m_budget(budgetBytes) {}

    // Records a change already made: `undo` takes it back, `redo` makes it again; `bytes`
    // is about what the two hold. `caption` names the command for the Edit menu.
    void record(const QString& caption, Step undo, Step redo, qint64 bytes);

    bool canUndo() const { return !m_done.empty(); }
    bool canRedo() const { return !m_undone.empty(); }
    QString undoCaption() const { return canUndo() ? m_done.back().caption : QString(); }
    QString redoCaption() const { return canRedo() ? m_undone.back().caption : QString(); }
    // Takes back the newest step / makes the newest taken-back step again; false when
    // there is none.
    bool undo(CatalogDocument& doc);
    bool redo(CatalogDocument& doc);
    // Forgets everything (a new or loaded document).
    void clear();

    qint64 bytes() const { return m_bytes; }
    int count() const { return int(m_done.size()); }

private:
    struct Entry {
        QString caption;
        Step undo;
        Step redo;
        qint64 bytes = 0;
    };
    void trim();

    qint64 m_budget;
    qint64 m_bytes = 0;
    std::deque<Entry> m_done;
    std::deque<Entry> m_undone;
};

// The document being edited: the commands change `doc`, mark it changed and record their
// undo steps here. Undo and redo mark the document changed as well.
class EditContext {
public:
    explicit EditContext(CatalogDocument& document) : doc(document) {}

    CatalogDocument& doc;
    UndoStack history;
    bool changed = false; // since the last load or save; doc.changed follows it

    void SetChanged() { changed = doc.changed = true; }
    // After a successful load or save, and for a new document.
    void SetUnChanged() { changed = doc.changed = false; }
    bool undo() { return history.undo(doc) && (SetChanged(), true); }
    bool redo() { return history.redo(doc) && (SetChanged(), true); }
};

} // namespace pw
