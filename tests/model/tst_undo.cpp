#include "testmain.h"

#include "model/editcommands.h"
#include "model/undo.h"
#include "model/varianttableedit.h"

#include <vector>

using namespace pw;

namespace {

// A step that sets anzpages, so the tests can watch the document.
UndoStack::Step setPages(int n) {
    return [n](CatalogDocument& d) { d.anzpages = n; };
}

// Records what a view over the document would be told.
struct ListObserver : DocumentObserver {
    std::vector<DocumentChange> changes;
    std::vector<bool> flags;
    void documentChanged(const DocumentChange& change) override { changes.push_back(change); }
    void changedFlagChanged(bool changed) override { flags.push_back(changed); }
    std::vector<DocumentChange> take() { return std::exchange(changes, {}); }
};

CatalogDocument threeProducts() {
    CatalogDocument doc;
    doc.addCategory(QStringLiteral("K"));
    doc.addCategory(QStringLiteral("L"));
    for (const char* name : {"A", "B", "C"}) {
        TProdukt& p = *doc.products(0).Add();
        p.name = QString::fromLatin1(name);
        p.varianten.Add()->props.Add()->text = QStringLiteral("Name");
    }
    return doc;
}

using Changes = std::vector<DocumentChange>;

} // namespace

class TestUndo : public QObject {
    Q_OBJECT

private slots:
    void undoAndRedoWalkTheHistory() {
        CatalogDocument doc;
        EditContext edit(doc);
        for (int n = 1; n <= 3; ++n) {
            doc.anzpages = n; // the command's change
            edit.history.record(QStringLiteral("Schritt %1").arg(n), setPages(n - 1), setPages(n), 10);
        }
        QCOMPARE(edit.history.undoCaption(), QStringLiteral("Schritt 3"));
        QVERIFY(edit.undo() && edit.undo());
        QCOMPARE(doc.anzpages, 1);
        QVERIFY(edit.isChanged());
        QCOMPARE(edit.history.redoCaption(), QStringLiteral("Schritt 2"));
        QVERIFY(edit.redo());
        QCOMPARE(doc.anzpages, 2);

        // A new step drops what could be redone.
        doc.anzpages = 7;
        edit.history.record(QStringLiteral("Neu"), setPages(2), setPages(7), 10);
        QVERIFY(!edit.history.canRedo());
        QVERIFY(!edit.redo());
        QVERIFY(edit.undo() && edit.undo() && edit.undo());
        QCOMPARE(doc.anzpages, 0);
        QVERIFY(!edit.undo());
    }

    void oldestStepsGoWhenTheBudgetIsExceeded() {
        CatalogDocument doc;
        UndoStack history(100);
        for (int n = 1; n <= 5; ++n)
            history.record(QString(), setPages(n - 1), setPages(n), 40);
        QCOMPARE(history.count(), 2);
        QCOMPARE(history.bytes(), 80);
        UndoStack small(10);
        small.record(QString(), setPages(0), setPages(1), 1000); // the newest step always stays
        QCOMPARE(small.count(), 1);
        QVERIFY(small.undo(doc));
        QVERIFY(!small.undo(doc));
    }

    // A view that refreshes only what it is told must be told every row a command, its
    // undo and its redo touched, and nothing it did not touch.
    void observersAreToldExactlyWhatChanged() {
        CatalogDocument doc = threeProducts();
        EditContext ctx(doc);
        ListObserver seen;
        ctx.addObserver(&seen);

        QCOMPARE(moveProductDown(ctx, 0, 0), 1);
        const Changes moved{DocumentChange::products(0, 0, 1)};
        QCOMPARE(seen.take(), moved);
        QVERIFY(StringGrid1SetEditText(ctx, 0, 2, 0, QStringLiteral("M4"), 1));
        const Changes cell{DocumentChange::variantTable(0, 2)};
        QCOMPARE(seen.take(), cell);
        setPreDefAnzPreis(ctx, 5);
        const Changes setting{DocumentChange::layoutSettings()};
        QCOMPARE(seen.take(), setting);
        QCOMPARE(moveProductsToOtherCategory(ctx, 0, {2}, 0), 1);
        const Changes toOther{DocumentChange::products(0), DocumentChange::products(1)};
        QCOMPARE(seen.take(), toOther);

        // Undo and redo tell the same rows again.
        QVERIFY(ctx.undo());
        QCOMPARE(seen.take(), toOther);
        QVERIFY(ctx.undo());
        QCOMPARE(seen.take(), setting);
        QVERIFY(ctx.undo());
        QCOMPARE(seen.take(), cell);
        QVERIFY(ctx.redo());
        QCOMPARE(seen.take(), cell);

        // Commands that change nothing tell nothing; a removed observer hears nothing.
        QCOMPARE(moveProductUp(ctx, 0, 0), -1);
        renameCategory(ctx, 0, QStringLiteral("K"));
        QVERIFY(seen.take().empty());
        ctx.removeObserver(&seen);
        newCategory(ctx);
        QVERIFY(seen.take().empty());
    }

    // Undoing back to the saved state used to leave the document marked changed, so the
    // window asked to save a document that was as saved.
    void undoBackToTheSavedStepClearsTheChangedFlag() {
        CatalogDocument doc = threeProducts();
        EditContext ctx(doc);
        ListObserver seen;
        ctx.addObserver(&seen);
        QVERIFY(!ctx.isChanged());
        setProductName(ctx, 0, 0, QStringLiteral("X"));
        QVERIFY(ctx.isChanged());
        ctx.SetUnChanged(); // saved with "X"
        setProductName(ctx, 0, 0, QStringLiteral("Y"));
        setProductName(ctx, 0, 1, QStringLiteral("Z"));
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo()); // back at the saved step
        QVERIFY(!ctx.isChanged());
        QVERIFY(ctx.undo()); // before the saved step
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.redo());
        QVERIFY(!ctx.isChanged());
        QVERIFY(ctx.redo());
        QVERIFY(ctx.isChanged());
        QCOMPARE(seen.flags, (std::vector<bool>{true, false, true, false, true, false, true}));

        // A new step after undoing past the saved one can never lead back to it.
        QVERIFY(ctx.undo() && ctx.undo());
        setProductName(ctx, 0, 0, QStringLiteral("W"));
        QVERIFY(ctx.undo());
        QVERIFY(ctx.isChanged());

        // Template columns are saved with the catalogue: changing them marks it changed.
        ctx.SetUnChanged();
        QVERIFY(addTemplateColumn(ctx) >= 0);
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QVERIFY(!ctx.isChanged());
        QVERIFY(ctx.redo());
        // A change without an undo step keeps the flag until the next save.
        ctx.SetChanged();
        QVERIFY(ctx.undo());
        QVERIFY(ctx.isChanged());
    }

    // When the oldest steps fall out of the budget, undoing everything that is left must
    // not count as the state of the last save.
    void trimmedHistoryNeverReturnsToTheSavedState() {
        CatalogDocument doc;
        EditContext ctx(doc);
        ctx.history = UndoStack(100);
        ctx.SetUnChanged();
        for (int n = 1; n <= 5; ++n)
            ctx.record(QString(), setPages(n - 1), setPages(n), 40, {DocumentChange::everything()});
        while (ctx.undo()) {
        }
        QCOMPARE(doc.anzpages, 3);
        QVERIFY(ctx.isChanged());
    }

    void consecutiveChangesWithOneKeyMergeIntoOneStep() {
        CatalogDocument doc;
        EditContext ctx(doc);
        for (int n = 1; n <= 3; ++n) {
            doc.anzpages = n;
            ctx.record(QStringLiteral("Rand"), setPages(n - 1), setPages(n), 8,
                       {DocumentChange::layoutSettings()}, QStringLiteral("LinksEd"));
        }
        QCOMPARE(ctx.history.count(), 1);
        ctx.SetUnChanged(); // a save ends the merging
        doc.anzpages = 4;
        ctx.record(QStringLiteral("Rand"), setPages(3), setPages(4), 8, {DocumentChange::layoutSettings()},
                   QStringLiteral("LinksEd"));
        QCOMPARE(ctx.history.count(), 2);
        QVERIFY(ctx.undo());
        QCOMPARE(doc.anzpages, 3);
        QVERIFY(!ctx.isChanged());
        QVERIFY(ctx.undo());
        QCOMPARE(doc.anzpages, 0);
        QVERIFY(ctx.redo());
        QCOMPARE(doc.anzpages, 3);
    }
};

PW_TEST_CLASS(TestUndo)
#include "tst_undo.moc"
