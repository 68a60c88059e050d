#include "testmain.h"

#include "fixtures.h"
#include "model/bulkoperations.h"

#include <QDir>
#include <QTemporaryDir>

using namespace pw;

namespace {

using Rows = QList<QStringList>;

TProdukt& addProduct(CatalogDocument& doc, int kat, const QString& name, const Rows& rows, int anzpreis = 1) {
    TProdukt& p = *doc.products(kat).Add();
    SetProductTableDefaults(p);
    p.name = name;
    p.anzpreis = anzpreis;
    for (const QStringList& r : rows) {
        TVariante* v = p.varianten.Add();
        for (const QString& c : r)
            v->props.Add()->text = c;
    }
    return p;
}

Rows tableOf(const CatalogDocument& doc, int kat, int prod) {
    return test::cellTexts(doc.products(kat)[prod].varianten);
}

QStringList namesOf(const CatalogDocument& doc, int kat) {
    QStringList names;
    for (const TProdukt& p : doc.products(kat))
        names.append(p.name);
    return names;
}

const QLocale kGerman(QLocale::German, QLocale::Germany);

} // namespace

class TestBulkOperations : public QObject {
    Q_OBJECT

private slots:
    void priceChangeRewritesOnlyPriceCells_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("anzpreis");
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<QStringList>("expected");
        const int up = int(PriceChange::IncreasePercent), down = int(PriceChange::DecreasePercent);
        const int plus = int(PriceChange::IncreaseAmount), minus = int(PriceChange::DecreaseAmount);
        QTest::newRow("+10 % on 19,90")
            << up << 10.0 << 1 << QStringList{"Art. 1", "19,90", ""} << QStringList{"Art. 1", "21,89", ""};
        QTest::newRow("-10 % on 100")
            << down << 10.0 << 1 << QStringList{"A", "100"} << QStringList{"A", "90,00"};
        QTest::newRow("amount -5 decreased")
            << minus << -5.0 << 1 << QStringList{"A", "100"} << QStringList{"A", "105,00"};
        QTest::newRow("counted back from the last non-empty cell")
            << up << 10.0 << 1 << QStringList{"5", "7", "", ""} << QStringList{"5", "7,70", "", ""};
        QTest::newRow("two price columns, one not a number")
            << plus << 1.0 << 2 << QStringList{"3", "1,50", "auf Anfrage"}
            << QStringList{"3", "2,50", "auf Anfrage"};
        QTest::newRow("a point is no decimal separator here")
            << up << 10.0 << 1 << QStringList{"A", "19.90"} << QStringList{"A", "19.90"};
        QTest::newRow("no minus zero")
            << down << 100.0 << 1 << QStringList{"A", "-3"} << QStringList{"A", "0,00"};
    }
    void priceChangeRewritesOnlyPriceCells() {
        QFETCH(int, mode);
        QFETCH(double, value);
        QFETCH(int, anzpreis);
        QFETCH(QStringList, row);
        QFETCH(QStringList, expected);
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        addProduct(doc, 0, QStringLiteral("P"), {{"2024", "Preis"}, row}, anzpreis);
        EditContext ctx(doc);
        changeAllPrices(ctx, PriceChange(mode), value, kGerman);
        // The header row holds captions, even numeric ones, and is left alone.
        QCOMPARE(tableOf(doc, 0, 0), (Rows{{"2024", "Preis"}, expected}));
        QCOMPARE(ctx.isChanged(), row != expected);
    }

    // The counts the window and the command line report: a catalogue written with decimal
    // commas and changed under the C locale must come out as "0 changed, N skipped", not
    // as a silent success.
    void priceChangeCountsChangedAndSkippedCells_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("anzpreis");
        QTest::addColumn<Rows>("rows"); // after the header row "Name", "Preis"
        QTest::addColumn<int>("changed");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("tooLarge");
        const Rows german{{"A", "49,00"}, {"B", "19,90"}};
        QTest::newRow("decimal commas under the C locale are skipped, not changed")
            << "C" << 10.0 << 1 << german << 0 << 2 << 0;
        QTest::newRow("decimal commas under de_DE are changed")
            << "de_DE" << 10.0 << 1 << german << 2 << 0 << 0;
        QTest::newRow("mixed notation counts both")
            << "C" << 10.0 << 1 << Rows{{"A", "49,00"}, {"B", "5.50"}} << 1 << 1 << 0;
        QTest::newRow("text in a price cell is skipped")
            << "de_DE" << 10.0 << 1 << Rows{{"A", "auf Anfrage"}, {"B", "2"}} << 1 << 1 << 0;
        QTest::newRow("blank price cells are no prices")
            << "de_DE" << 10.0 << 2 << Rows{{"A", "  ", "3"}} << 1 << 0 << 0;
        QTest::newRow("a number that stays the same is neither")
            << "de_DE" << 0.0 << 1 << Rows{{"A", "5,00"}} << 0 << 0 << 0;
        QTest::newRow("a result beyond double is counted apart")
            << "C" << 10000.0 << 1 << Rows{{"A", "1e308"}, {"B", "1"}} << 1 << 0 << 1;
        QTest::newRow("cells before the price columns are not counted")
            << "C" << 10.0 << 1 << Rows{{"Art. 1,5", "Größe 3,5", "7"}} << 1 << 0 << 0;
    }
    void priceChangeCountsChangedAndSkippedCells() {
        QFETCH(QString, locale);
        QFETCH(double, percent);
        QFETCH(int, anzpreis);
        QFETCH(Rows, rows);
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        addProduct(doc, 0, QStringLiteral("P"), Rows{{"Name", "Preis"}} + rows, anzpreis);
        EditContext ctx(doc);
        const PriceChangeResult r =
            changeAllPrices(ctx, PriceChange::IncreasePercent, percent, QLocale(locale));
        QTEST(r.changed, "changed");
        QTEST(r.skipped, "skipped");
        QTEST(r.tooLarge, "tooLarge");
        QCOMPARE(ctx.isChanged(), r.changed > 0);
    }

    void bulkPriceChangeCanBeUndoneAndRedone() {
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("A"));
        doc.addCategory(QStringLiteral("B"));
        addProduct(doc, 0, QStringLiteral("P"), {{"Name", "Preis"}, {"M4", "1,00"}, {"M5", "2,00"}});
        addProduct(doc, 1, QStringLiteral("Q"), {{"Name", "Preis"}, {"X", "10"}});
        EditContext ctx(doc);
        QCOMPARE(changeAllPrices(ctx, PriceChange::IncreasePercent, 50, kGerman).changed, 3);
        QCOMPARE(tableOf(doc, 1, 0)[1], (QStringList{"X", "15,00"}));
        QVERIFY(ctx.undo());
        QCOMPARE(tableOf(doc, 0, 0), (Rows{{"Name", "Preis"}, {"M4", "1,00"}, {"M5", "2,00"}}));
        QCOMPARE(tableOf(doc, 1, 0)[1], (QStringList{"X", "10"}));
        QVERIFY(ctx.redo());
        QCOMPARE(tableOf(doc, 0, 0)[2], (QStringList{"M5", "3,00"}));
        QCOMPARE(tableOf(doc, 1, 0)[1], (QStringList{"X", "15,00"}));
        QVERIFY(ctx.isChanged());
    }

    void variantSortKeepsTheHeaderRow_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<Rows>("before");
        QTest::addColumn<Rows>("after");
        QTest::newRow("text column") << 0 << Rows{{"Name"}, {"Schraube"}, {"Mutter"}}
                                     << Rows{{"Name"}, {"Mutter"}, {"Schraube"}};
        QTest::newRow("price column compares numbers, text when one is not")
            << 1 << Rows{{"Name", "Preis"}, {"a", "10"}, {"b", "9,5"}, {"c", "x"}}
            << Rows{{"Name", "Preis"}, {"b", "9,5"}, {"a", "10"}, {"c", "x"}};
        QTest::newRow("a row without the column stays where it is")
            << 1 << Rows{{"N", "P"}, {"c", "3"}, {"z"}, {"a", "1"}}
            << Rows{{"N", "P"}, {"a", "1"}, {"z"}, {"c", "3"}};
        QTest::newRow("case-sensitive, code unit order")
            << 0 << Rows{{"Name"}, {"b"}, {"Ä"}, {"B"}} << Rows{{"Name"}, {"B"}, {"b"}, {"Ä"}};
    }
    void variantSortKeepsTheHeaderRow() {
        QFETCH(int, column);
        QFETCH(Rows, before);
        QFETCH(Rows, after);
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        addProduct(doc, 0, QStringLiteral("P"), before);
        EditContext ctx(doc);
        QCOMPARE(sortAllVariants(ctx, column, kGerman), 1);
        QCOMPARE(tableOf(doc, 0, 0), after);
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QCOMPARE(tableOf(doc, 0, 0), before);
    }

    void nameSortMapsOnlyAToZ() {
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        doc.addCategory(QStringLiteral("Eins"));
        for (const char* name : {"Äpfel", "Zucker", "apfel", "Birne"})
            addProduct(doc, 0, QString::fromUtf8(name), {});
        addProduct(doc, 1, QStringLiteral("b"), {});
        EditContext ctx(doc);
        QCOMPARE(sortProductNames(ctx), 1);
        QCOMPARE(namesOf(doc, 0), (QStringList{"apfel", "Birne", "Zucker", "Äpfel"}));
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QCOMPARE(namesOf(doc, 0), (QStringList{"Äpfel", "Zucker", "apfel", "Birne"}));
        QCOMPARE(sortProductNames(ctx), 1);
        EditContext sorted(doc);
        QCOMPARE(sortProductNames(sorted), 0); // already in order: nothing to mark
        QVERIFY(!sorted.isChanged());
    }

    void duplicateGetsDefaultTableSettings() {
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        TProdukt& p = addProduct(doc, 0, QStringLiteral("Hammer"), {{"Name", "Preis"}, {"300 g", "9,95"}}, 2);
        p.desc = QStringLiteral("Stiel\naus Esche");
        p.table.OverWrite = p.table.DefineFixedWidth = p.table.FixWidthForTable = p.table.DefineFixedHeight =
            true;
        p.DeactivateProd = p.PageBreakAfterProdukt = true;
        p.table.ColWidth.fill(12);
        p.table.FixedWidthForTable = 80;
        p.table.RowHeight = 9;
        TBild* b = p.bilder.Add();
        b->datei = QStringLiteral("hammer.jpg");
        b->breite = 4.5;
        b->pixbreite = 640;
        addProduct(doc, 0, QStringLiteral("Zange"), {});
        EditContext ctx(doc);

        QCOMPARE(duplicateProduct(ctx, 0, 0), 2);
        const TProdukt& c = doc.products(0)[2];
        QCOMPARE(c.name, QStringLiteral("Hammer"));
        QCOMPARE(c.desc, QStringLiteral("Stiel\naus Esche"));
        QCOMPARE(c.anzpreis, 2);
        QCOMPARE(tableOf(doc, 0, 2), (Rows{{"Name", "Preis"}, {"300 g", "9,95"}}));
        QCOMPARE(c.bilder.count(), 1);
        QCOMPARE(c.bilder[0].datei, QStringLiteral("hammer.jpg"));
        QCOMPARE(c.bilder[0].breite, 4.5);
        QCOMPARE(c.bilder[0].pixbreite, 0);
        QVERIFY(!c.table.OverWrite && !c.table.DefineFixedWidth && !c.table.FixWidthForTable &&
                !c.table.DefineFixedHeight);
        QVERIFY(!c.DeactivateProd && !c.PageBreakAfterProdukt);
        QCOMPARE(c.table.ColWidth[0], kDefaultColWidth);
        QCOMPARE(c.table.FixedWidthForTable, kDefaultTableWidth);
        QCOMPARE(c.table.RowHeight, kDefaultRowHeight);
        QVERIFY(doc.products(0)[0].table.OverWrite); // the source keeps its own
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QCOMPARE(namesOf(doc, 0), (QStringList{"Hammer", "Zange"}));
        QVERIFY(ctx.redo());
        QCOMPARE(namesOf(doc, 0), (QStringList{"Hammer", "Zange", "Hammer"}));
        QCOMPARE(duplicateProduct(ctx, 0, 3), -1);
    }

    void copyCellToAllWritesThroughTheCellRoutine() {
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("A"));
        doc.addCategory(QStringLiteral("B"));
        addProduct(doc, 0, QStringLiteral("P"), {{"Name", "Preis"}});
        addProduct(doc, 1, QStringLiteral("Q"), {});
        EditContext ctx(doc);
        QCOMPARE(copyCellToAllProducts(ctx, 1, 1, QStringLiteral("ab 5")), 2);
        QCOMPARE(tableOf(doc, 0, 0), (Rows{{"Name", "Preis"}, {"", "ab 5"}}));
        QCOMPARE(tableOf(doc, 1, 0), (Rows{{"", ""}, {"", "ab 5"}}));
        QVERIFY(ctx.undo());
        QCOMPARE(tableOf(doc, 0, 0), (Rows{{"Name", "Preis"}}));
        QCOMPARE(tableOf(doc, 1, 0), Rows{});
    }

    void searchIgnoresCaseOnlyForAToZ_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("inDescriptions");
        QTest::addColumn<QList<int>>("products"); // category 0 and 1 as 0.., 10..
        QTest::newRow("schr finds Schraube") << "schr" << false << QList<int>{0, 10};
        QTest::newRow("ä does not find Ä") << "ä" << false << QList<int>{};
        QTest::newRow("Ä finds Ä") << "Ä" << false << QList<int>{1};
        QTest::newRow("descriptions only when asked") << "stahl" << false << QList<int>{};
        QTest::newRow("in descriptions") << "stahl" << true << QList<int>{0, 1};
        QTest::newRow("empty text matches nothing") << "" << true << QList<int>{};
    }
    void searchIgnoresCaseOnlyForAToZ() {
        QFETCH(QString, text);
        QFETCH(bool, inDescriptions);
        QFETCH(QList<int>, products);
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("A"));
        doc.addCategory(QStringLiteral("B"));
        addProduct(doc, 0, QStringLiteral("Schraube M4"), {}).desc = QStringLiteral("Stahl");
        addProduct(doc, 0, QStringLiteral("ÄRMEL"), {}).desc = QStringLiteral("aus STAHL");
        addProduct(doc, 1, QStringLiteral("Holzschraube"), {});
        QList<int> found;
        for (const SearchMatch& m : searchProducts(doc, text, inDescriptions))
            found.append(m.kat * 10 + m.prod);
        QCOMPARE(found, products);
    }

    void replaceWritesTheFirstHundredColumns() {
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        QStringList wide(101);
        wide[0] = QStringLiteral("M4 M4");
        wide[100] = QStringLiteral("M4");
        addProduct(doc, 0, QStringLiteral("P"), {{"Name", "x"}, wide});
        addProduct(doc, 0, QStringLiteral("Q"), {{"m4"}});
        EditContext ctx(doc);
        QCOMPARE(replaceInAllTables(ctx, QString(), QStringLiteral("y")), 0);
        QCOMPARE(replaceInAllTables(ctx, QStringLiteral("M4"), QStringLiteral("M5")), 1);
        QCOMPARE(tableOf(doc, 0, 0)[1][0], QStringLiteral("M5 M5"));
        QCOMPARE(tableOf(doc, 0, 0)[1][100], QStringLiteral("M4")); // beyond the grid
        QCOMPARE(tableOf(doc, 0, 1), (Rows{{"m4"}}));               // case-sensitive
        // An emptied cell stays while a longer row holds the table that wide.
        QCOMPARE(replaceInAllTables(ctx, QStringLiteral("x"), QString()), 1);
        QCOMPARE(tableOf(doc, 0, 0)[0], (QStringList{"Name", ""}));
        QVERIFY(ctx.undo() && ctx.undo());
        QCOMPARE(tableOf(doc, 0, 0)[0], (QStringList{"Name", "x"}));
        QCOMPARE(tableOf(doc, 0, 0)[1][0], QStringLiteral("M4 M4"));
    }

    void copyPicturesNeverOverwritesAndLeavesNoPartialFile() {
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        QVERIFY(dir.mkpath(QStringLiteral("src/sub")) && dir.mkpath(QStringLiteral("out")));
        const QByteArray big(10000, 'b'); // more than two blocks
        QVERIFY(test::writeFile(dir.filePath(QStringLiteral("src/a.jpg")), big));
        QVERIFY(test::writeFile(dir.filePath(QStringLiteral("src/sub/a.jpg")), "zwei"));
        QVERIFY(test::writeFile(dir.filePath(QStringLiteral("src/kat.png")), "kat"));
        QVERIFY(test::writeFile(dir.filePath(QStringLiteral("out/a.jpg")), "alt"));

        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        doc.createOptions(0).Bild = dir.filePath(QStringLiteral("src/kat.png"));
        TProdukt& p = addProduct(doc, 0, QStringLiteral("P"), {});
        const QString missing = dir.filePath(QStringLiteral("src/fehlt.jpg"));
        for (const QString& f : {dir.filePath(QStringLiteral("src/a.jpg")), missing,
                                 dir.filePath(QStringLiteral("src\\sub\\a.jpg"))})
            p.bilder.Add()->datei = f;
        EditContext ctx(doc);

        const QString out = dir.filePath(QStringLiteral("out"));
        const std::vector<Error> failures = copyAllPictures(ctx, out);
        QCOMPARE(failures.size(), std::size_t(1));
        QCOMPARE(failures[0].messageNumber(), 45);
        QCOMPARE(failures[0].args(), (QStringList{missing, QDir(out).filePath(QStringLiteral("fehlt.jpg"))}));

        const TProdukt& q = doc.products(0)[0];
        QCOMPARE(doc.options(0)->Bild, QDir(out).filePath(QStringLiteral("kat.png")));
        QCOMPARE(q.bilder[0].datei, QDir(out).filePath(QStringLiteral("a0.jpg")));
        QCOMPARE(q.bilder[1].datei, missing);
        QCOMPARE(q.bilder[2].datei, QDir(out).filePath(QStringLiteral("a1.jpg")));
        QCOMPARE(test::readFile(QDir(out).filePath(QStringLiteral("a.jpg"))), QByteArray("alt"));
        QCOMPARE(test::readFile(q.bilder[0].datei), big);
        QCOMPARE(test::readFile(q.bilder[2].datei), QByteArray("zwei"));
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"a.jpg", "a0.jpg", "a1.jpg", "kat.png"}));
        QVERIFY(ctx.isChanged());

        QVERIFY(ctx.undo());
        QCOMPARE(doc.products(0)[0].bilder[0].datei, dir.filePath(QStringLiteral("src/a.jpg")));
        QCOMPARE(doc.options(0)->Bild, dir.filePath(QStringLiteral("src/kat.png")));
    }
};

PW_TEST_CLASS(TestBulkOperations)
#include "tst_bulkoperations.moc"
