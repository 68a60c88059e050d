#include "testmain.h"

#include "fixtures.h"
#include "model/catalog.h"

using namespace pw;

namespace {

// Builds a variant table from rows of cell texts.
TDynaArray<TVariante> table(const QList<QStringList>& rows) {
    TDynaArray<TVariante> t;
    for (const QStringList& cells : rows) {
        TVariante* v = t.Add();
        for (const QString& c : cells)
            v->props.Add()->text = c;
    }
    return t;
}

QList<QStringList> cells(const TDynaArray<TVariante>& t) {
    return test::cellTexts(t);
}

} // namespace

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void priceCellsAreTheLastCellsOfEachRow() {
        // rows of 3 and 5 cells with one price column: prices at index 2 and 4
        QList<int> three;
        QList<int> five;
        for (int c = 0; c < 5; ++c) {
            if (c < 3 && IsPriceCell(c, 3, 1))
                three.append(c);
            if (IsPriceCell(c, 5, 1))
                five.append(c);
        }
        QCOMPARE(three, QList<int>{2});
        QCOMPARE(five, QList<int>{4});
        QVERIFY(IsPriceCell(1, 3, 2));
        QVERIFY(!IsPriceCell(0, 3, 2));
        QVERIFY(!IsPriceCell(0, 3, 0));
    }

    void filledCellCountIgnoresTrailingEmptyCells() {
        const auto t = table({{"a", "", "b", "", ""}, {"", ""}, {}});
        QCOMPARE(FilledCellCount(t[0]), 3);
        QCOMPARE(FilledCellCount(t[1]), 0);
        QCOMPARE(FilledCellCount(t[2]), 0);
        QCOMPARE(CellText(t[0], 2), QStringLiteral("b"));
        QCOMPARE(CellText(t[1], 7), QString()); // a cell the row does not have reads as empty
    }

    void trimmingRemovesTrailingEmptyRowsAndColumns_data() {
        QTest::addColumn<QList<QStringList>>("before");
        QTest::addColumn<QList<QStringList>>("after");
        QTest::newRow("header with empty cell and empty rows")
            << QList<QStringList>{{"Name", "Preis", ""}, {"", "", ""}, {"", ""}}
            << QList<QStringList>{{"Name", "Preis"}};
        QTest::newRow("inner empty row and short rows stay")
            << QList<QStringList>{{"a", "b"}, {"", ""}, {"c"}, {"", "", "", ""}}
            << QList<QStringList>{{"a", "b"}, {"", ""}, {"c"}};
        QTest::newRow("widest filled cell decides the columns")
            << QList<QStringList>{{"a", "", ""}, {"", "", "x", ""}}
            << QList<QStringList>{{"a", "", ""}, {"", "", "x"}};
        QTest::newRow("nothing filled leaves no rows")
            << QList<QStringList>{{"", ""}, {""}} << QList<QStringList>{};
    }
    void trimmingRemovesTrailingEmptyRowsAndColumns() {
        QFETCH(QList<QStringList>, before);
        QFETCH(QList<QStringList>, after);
        auto t = table(before);
        TrimVariantTable(t);
        QCOMPARE(cells(t), after);
    }

    void categoryOperationsKeepNamesAndOptionsInStep() {
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("A"));
        doc.addCategory(QStringLiteral("B"));
        doc.createOptions(1).Einfuehrungstext = QStringLiteral("B intro");
        doc.products(1).Add()->name = QStringLiteral("b1");
        QVERIFY(doc.insertCategory(0, QStringLiteral("Z")));
        QVERIFY(!doc.insertCategory(9, QStringLiteral("bad")));
        QCOMPARE(doc.categoryCount(), 3);
        QCOMPARE(doc.categoryName(2), QStringLiteral("B"));
        QCOMPARE(doc.options(2)->Einfuehrungstext, QStringLiteral("B intro"));
        QCOMPARE(doc.products(2)[0].name, QStringLiteral("b1"));
        QCOMPARE(doc.options(0), nullptr);

        doc.swapCategories(0, 2);
        QCOMPARE(doc.categoryName(0), QStringLiteral("B"));
        QVERIFY(doc.options(0) != nullptr);
        QCOMPARE(doc.products(0)[0].name, QStringLiteral("b1"));
        QCOMPARE(doc.options(2), nullptr);

        doc.deleteCategory(0);
        doc.deleteCategory(5); // ignored
        QCOMPARE(doc.categoryCount(), 2);
        QCOMPARE(doc.categoryName(0), QStringLiteral("A"));
        QCOMPARE(doc.options(0), nullptr);
        QCOMPARE(doc.productCount(), 0);
    }

    void destroyAKatReleasesEverythingOfTheCategory() {
        TProduktListe list;
        TProdukt* p = list.Add();
        p->name = QStringLiteral("x");
        p->bilder.Add()->datei = QStringLiteral("a.jpg");
        p->varianten.Add()->props.Add()->text = QStringLiteral("c");
        DestroyAProd(list[0]);
        QCOMPARE(list.count(), 1); // the product stays in its list
        QVERIFY(list[0].name.isEmpty());
        QCOMPARE(list[0].bilder.count(), 0);
        QCOMPARE(list[0].varianten.count(), 0);
        list.Add();
        DestroyAKat(list);
        QCOMPARE(list.count(), 0);
    }

    void newAllKeepsSettingsButBackgroundColour() {
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("A"));
        doc.settings.LinksEd = 33;
        doc.settings.BackgroundColorCheck = true;
        doc.VorlageSpalten = QStringList{QStringLiteral("X")};
        doc.afilename = QStringLiteral("/tmp/a.pk2");
        doc.NewAll();
        QCOMPARE(doc.categoryCount(), 0);
        QCOMPARE(doc.settings.LinksEd, 33.0);
        QVERIFY(!doc.settings.BackgroundColorCheck);
        QCOMPARE(doc.VorlageSpalten, QStringList{QStringLiteral("X")});
        QVERIFY(doc.afilename.isEmpty());
    }

    void lastKatIgnoresPagesOutsideTheTable() {
        LastKatTable t;
        QCOMPARE(t.get(3), QString());
        t.set(3, QStringLiteral("Garten"));
        t.set(LastKatTable::kPages, QStringLiteral("lost"));
        t.set(-1, QStringLiteral("lost"));
        QCOMPARE(t.get(3), QStringLiteral("Garten"));
        QCOMPARE(t.get(LastKatTable::kPages), QString());
        QCOMPARE(t.get(-1), QString());
        t.set(9999, QStringLiteral("last"));
        QCOMPARE(t.get(9999), QStringLiteral("last"));
    }

    void productTableDefaults() {
        TProdukt p;
        QCOMPARE(p.table.RowHeight, 0.0); // a fresh record is zero-filled
        SetProductTableDefaults(p);
        QCOMPARE(p.table.ColWidth[9], 35.0);
        QCOMPARE(p.table.FixedWidthForTable, 155.0);
        QCOMPARE(p.table.RowHeight, 5.0);
    }
};

PW_TEST_CLASS(TestDocument)
#include "tst_document.moc"
