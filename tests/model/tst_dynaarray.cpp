#include "testmain.h"

#include "model/orvanto.h"

using pw::TDynaArray;

namespace {

struct Rec {
    int v = 0;
    QString s;
};

// Fills an array with elements whose v is 0..n-1.
void fill(TDynaArray<Rec>& a, int n) {
    for (int i = 0; i < n; ++i)
        a.Add()->v = i;
}

QList<int> values(const TDynaArray<Rec>& a) {
    QList<int> out;
    for (const Rec& r : a)
        out.append(r.v);
    return out;
}

} // namespace

class TestDynaArray : public QObject {
    Q_OBJECT
private slots:
    void firstOnEmptyKeepsCursorAndWhileNextStops() {
        Rec* cur = nullptr;
        TDynaArray<Rec> a(&cur);
        fill(a, 3);
        a.GetObject(1);
        a.Clear();
        QCOMPARE(a.aobjnr(), -1);
        a.First();
        QCOMPARE(a.aobjnr(), -1);
        QVERIFY(!a.WhileNext());
        QCOMPARE(cur, nullptr);
    }

    void fullLoopVisitsAllAndEndsPastTheLast() {
        Rec* cur = nullptr;
        TDynaArray<Rec> a(&cur);
        fill(a, 5);
        QList<int> seen;
        QList<int> nrs;
        a.First();
        while (a.WhileNext()) {
            seen.append(cur->v);
            nrs.append(a.aobjnr());
        }
        QCOMPARE(seen, (QList<int>{0, 1, 2, 3, 4}));
        QCOMPARE(nrs, (QList<int>{1, 2, 3, 4, 5})); // inside the body aobjnr is index + 1
        QCOMPARE(a.aobjnr(), 5);
        QCOMPARE(cur, &a[4]);
    }

    void nextWithoutCurrentStartsAtZeroAndStopsAtEnd() {
        Rec* cur = nullptr;
        TDynaArray<Rec> a(&cur);
        QVERIFY(!a.Next()); // empty
        fill(a, 3);
        a.Delete(2); // no current element afterwards
        QCOMPARE(cur, nullptr);
        QVERIFY(a.Next());
        QCOMPARE(a.aobjnr(), 0);
        QCOMPARE(cur, &a[0]);
        QVERIFY(a.Next());
        QVERIFY(!a.Next()); // on the last element: stays
        QCOMPARE(a.aobjnr(), 1);
    }

    // A fixed step of 100 made a one-product category cost room for 100 products and made
    // appending n elements move O(n^2 / 100) of them.
    void storageGrowsGeometricallyAndIsReleasedWhenEmpty() {
        TDynaArray<Rec> a;
        QCOMPARE(a.capacity(), 0);
        a.Add();
        QVERIFY(a.capacity() < 100);
        a.Delete(0);
        QCOMPARE(a.capacity(), 0);
        int reallocations = 0;
        int room = a.capacity();
        for (int i = 0; i < 100000; ++i) {
            a.Add()->v = i;
            if (a.capacity() != room) {
                ++reallocations;
                room = a.capacity();
            }
        }
        a[0].s = QStringLiteral("kept");
        QVERIFY(reallocations < 40);
        QCOMPARE(a.amemsize(), std::size_t(a.capacity()) * sizeof(Rec));
        while (a.count() > 10)
            a.Delete(a.count() - 1);
        QVERIFY(a.capacity() < 100); // deleting gives the room back
        QCOMPARE(a[0].s, QStringLiteral("kept"));
        for (int i = 0; i < 10; ++i)
            QCOMPARE(a[i].v, i);
        TDynaArray<Rec> copy(a);
        QCOMPARE(copy.capacity(), 10); // a copy takes only the room its elements need
        while (a.count() > 0)
            a.Delete(0);
        QCOMPARE(a.capacity(), 0);
    }

    void insertShiftsAndRejectsBadIndex() {
        Rec* cur = nullptr;
        TDynaArray<Rec> a(&cur);
        fill(a, 3);
        Rec* r = a.Insert(1);
        QVERIFY(r);
        QCOMPARE(r->v, 0); // value-initialised
        QCOMPARE(cur, r);
        r->v = 9;
        QCOMPARE(values(a), (QList<int>{0, 9, 1, 2}));
        QVERIFY(a.Insert(a.count()) != nullptr); // appends
        QCOMPARE(a.count(), 5);
        QCOMPARE(a.Insert(a.count() + 1), nullptr);
        QCOMPARE(a.Insert(-1), nullptr);
        QCOMPARE(a.count(), 5);
        QCOMPARE(a.aobjnr(), 4);
    }

    void deleteShiftsDownAndClearsCursor() {
        Rec* cur = nullptr;
        TDynaArray<Rec> a(&cur);
        fill(a, 4);
        a.Delete(7); // ignored
        a.Delete(-1);
        QCOMPARE(values(a), (QList<int>{0, 1, 2, 3}));
        QVERIFY(cur != nullptr);
        a.Delete(1);
        QCOMPARE(values(a), (QList<int>{0, 2, 3}));
        QCOMPARE(cur, nullptr);
        QCOMPARE(a.aobjnr(), -1);
        QCOMPARE(a.Add()->s, QString()); // a reused slot starts empty
    }

    void changeSwapsAndIgnoresBadIndices() {
        Rec* cur = nullptr;
        TDynaArray<Rec> a(&cur);
        fill(a, 3);
        a.Change(0, 3);
        a.Change(-1, 0);
        QCOMPARE(values(a), (QList<int>{0, 1, 2}));
        a.Change(1, 1);
        QCOMPARE(values(a), (QList<int>{0, 1, 2}));
        QCOMPARE(a.aobjnr(), 1);
        a.Change(0, 2);
        QCOMPARE(values(a), (QList<int>{2, 1, 0}));
        QCOMPARE(a.aobjnr(), 2);
        QCOMPARE(cur->v, 0); // the cursor is on nr2, which now holds the former element nr1
    }

    void sharedCursorVariableFollowsTheArrayThatMovedLast() {
        Rec* cur = nullptr;
        TDynaArray<Rec> a(&cur);
        TDynaArray<Rec> b(&cur);
        fill(a, 2);
        fill(b, 2);
        a.GetObject(0);
        QCOMPARE(cur, &a[0]);
        b.First();
        QCOMPARE(cur, &b[0]);
        QCOMPARE(b.GetObject(5), nullptr); // out of range: no move
        QCOMPARE(cur, &b[0]);
    }

    void movingAnArrayKeepsElementsAndCursor() {
        TDynaArray<Rec> a;
        fill(a, 150);
        a.GetObject(120);
        TDynaArray<Rec> b(std::move(a));
        QCOMPARE(b.count(), 150);
        QCOMPARE(b.aobjnr(), 120);
        QCOMPARE(b.aobj(), &b[120]);
        QCOMPARE(a.count(), 0); // NOLINT(bugprone-use-after-move): a moved-from array is empty
        TDynaArray<Rec> c(b);
        QCOMPARE(values(c), values(b));
        QCOMPARE(c.aobjnr(), -1);
    }
};

PW_TEST_CLASS(TestDynaArray)
#include "tst_dynaarray.moc"
