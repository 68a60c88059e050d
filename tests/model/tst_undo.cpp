#include "testmain.h"

#include "model/undo.h"

using namespace pw;

namespace {

// A step that sets anzpages, so the tests can watch the document.
UndoStack::Step setPages(int n) {
    return [n](CatalogDocument& d) { d.anzpages = n; };
}

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
        QVERIFY(edit.changed);
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
};

PW_TEST_CLASS(TestUndo)
#include "tst_undo.moc"
