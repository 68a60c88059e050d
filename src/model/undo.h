#pragma once

// The undo history of the editing commands, and the open document as they see it.
//
// A command changes the document itself and records how to take the change back and how
// to make it again: two functions over the document, with the bytes they hold (the
// snapshot of what the command touched), and what it changed (DocumentChange), so that
// views over the document can refresh exactly those rows, after the command and after each
// undo and redo of it. The history keeps at most a memory budget; the oldest steps go first
// when it is exceeded. A new step clears what could be redone.

#include "model/catalog.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace pw {

// What one command (or its undo, or its redo) changed. Views refresh what it names; a
// change of a kind they do not show can be ignored.
struct DocumentChange {
    enum class Kind {
        Categories,      // the category list: names, order, count, options records
        Products,        // the product list of category kat: order, count (first..last or all)
        ProductFields,   // name, description, flags or price-column count of products first..last
        Pictures,        // the pictures of product first of category kat
        VariantTable,    // the variant table or table settings of product first of category kat
        LayoutSettings,  // the document-wide layout settings
        TemplateColumns, // the template columns (VorlageSpalten)
        Everything,      // anything may have changed (a bulk command, an import, a new document)
    };
    Kind kind = Kind::Everything;
    int kat = -1;   // the category; -1 for none or all
    int first = -1; // the first and last product index concerned; -1 for all products
    int last = -1;

    static DocumentChange categories() { return {Kind::Categories}; }
    static DocumentChange products(int kat, int first = -1, int last = -1) {
        return {Kind::Products, kat, first, last < 0 ? first : last};
    }
    static DocumentChange productFields(int kat, int first, int last = -1) {
        return {Kind::ProductFields, kat, first, last < 0 ? first : last};
    }
    static DocumentChange pictures(int kat, int prod) { return {Kind::Pictures, kat, prod, prod}; }
    static DocumentChange variantTable(int kat, int prod) { return {Kind::VariantTable, kat, prod, prod}; }
    static DocumentChange layoutSettings() { return {Kind::LayoutSettings}; }
    static DocumentChange templateColumns() { return {Kind::TemplateColumns}; }
    static DocumentChange everything() { return {Kind::Everything}; }

    bool operator==(const DocumentChange&) const = default;
};

using ChangeList = QList<DocumentChange>;

class UndoStack {
public:
    using Step = std::function<void(CatalogDocument&)>;

    // Keeps steps holding at most `budgetBytes` together (at least the newest step).
    explicit UndoStack(qint64 budgetBytes = 256LL * 1024 * 1024) : m_budget(budgetBytes) {}

    // Records a change already made: `undo` takes it back, `redo` makes it again; `bytes`
    // is about what the two hold, `changes` what both touch. `caption` names the command
    // for the Edit menu. `mergeKey`, when not empty, lets a step absorb the next one with the
    // same key (consecutive changes of one setting become one step): the newest step keeps
    // its undo and takes the new redo. A step is never merged into one that was undone and
    // redone, nor across the saved step.
    void record(const QString& caption, Step undo, Step redo, qint64 bytes, ChangeList changes = {},
                const QString& mergeKey = QString());

    bool canUndo() const { return !m_done.empty(); }
    bool canRedo() const { return !m_undone.empty(); }
    QString undoCaption() const { return canUndo() ? m_done.back().caption : QString(); }
    QString redoCaption() const { return canRedo() ? m_undone.back().caption : QString(); }
    // Takes back the newest step / makes the newest taken-back step again and returns what
    // it changed; std::nullopt when there is none.
    std::optional<ChangeList> undo(CatalogDocument& doc);
    std::optional<ChangeList> redo(CatalogDocument& doc);
    // Forgets everything (a new or loaded document).
    void clear();

    // Identifies the state the steps done so far lead to: equal values mean the same state
    // of the document. Every recorded step gets a new value; undo returns to the value
    // before it, redo to its own.
    quint64 position() const { return m_done.empty() ? m_floor : m_done.back().position; }
    // Ends merging into the newest step (the document was saved in this state).
    void sealNewest() { m_sealed = newestId(); }

    qint64 bytes() const { return m_bytes; }
    int count() const { return int(m_done.size()); }

private:
    struct Entry {
        QString caption;
        Step undo;
        Step redo;
        qint64 bytes = 0;
        ChangeList changes;
        QString mergeKey;
        quint64 id = 0;
        quint64 position = 0; // position() with this step done
    };
    void trim();
    quint64 newestId() const { return m_done.empty() ? 0 : m_done.back().id; }

    qint64 m_budget;
    qint64 m_bytes = 0;
    quint64 m_nextId = 1;
    quint64 m_floor = 0;  // the position when every kept step is undone
    quint64 m_sealed = 0; // the newest step may not absorb another when its id is this one
    std::deque<Entry> m_done;
    std::deque<Entry> m_undone;
};

// Told of every change of the document made through an EditContext. An observer removes
// itself before it is destroyed.
class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    virtual void documentChanged(const DocumentChange& change) = 0;
    // The changed flag went on or off.
    virtual void changedFlagChanged(bool changed) { (void)changed; }
};

// The document being edited: the commands change `doc` and record their undo steps here,
// which tells the observers what changed.
//
// The one changed flag: the document counts as changed when the history's position
// differs from the one it had at the last load or save, or when a command marked it
// changed without recording a step (SetChanged). Undoing back to the saved position
// clears it, redoing sets it again.
class EditContext {
public:
    explicit EditContext(CatalogDocument& document) : doc(document) {}

    CatalogDocument& doc;
    UndoStack history;

    bool isChanged() const { return m_marked || history.position() != m_saved; }
    // Marks the document changed by something that records no undo step.
    void SetChanged();
    // After a successful load or save, and for a new document.
    void SetUnChanged();

    // Records a step of a change already made (see UndoStack::record) and tells the
    // observers what changed.
    void record(const QString& caption, UndoStack::Step undo, UndoStack::Step redo, qint64 bytes,
                ChangeList changes, const QString& mergeKey = QString());
    bool undo();
    bool redo();
    // Tells the observers of a change that is not recorded (a new or loaded document).
    void notify(const ChangeList& changes);

    void addObserver(DocumentObserver* observer);
    void removeObserver(DocumentObserver* observer);

private:
    // Calls `change`, then tells the observers when the changed flag turned.
    template <class F> void trackFlag(F&& change);

    bool m_marked = false;
    quint64 m_saved = 0;
    std::vector<DocumentObserver*> m_observers;
};

} // namespace pw
