#include "testmain.h"

#include "exchange/csvexport.h"
#include "exchange/csvimport.h"
#include "fixtures.h"
#include "i18n/translateunit.h"
#include "model/catalogfile.h"
#include "model/error.h"
#include "model/services.h"

#include <QTemporaryDir>

using namespace pw;
using pw::test::cellTexts;
using pw::test::writeFile;

namespace {

using Rows = QList<QStringList>;

CatalogDocument documentWith(const QStringList& templateColumns) {
    CatalogDocument doc;
    doc.VorlageSpalten = templateColumns;
    doc.addCategory(QStringLiteral("Ziel"));
    return doc;
}

// Category names with their product names, for comparing the shape of a document.
QList<QStringList> outline(const CatalogDocument& doc) {
    QList<QStringList> out;
    for (int k = 0; k < doc.categoryCount(); ++k) {
        QStringList entry{doc.categoryName(k)};
        for (const TProdukt& p : doc.products(k))
            entry.append(p.name);
        out.append(entry);
    }
    return out;
}

QByteArray image(const CatalogDocument& doc) {
    return CatalogFileImage(doc, QStringLiteral("/nirgends/k.pk2"));
}

class CancelAfterStart final : public Progress {
public:
    bool report(int done, int) override { return done == 0; }
};

} // namespace

class TestCsvImport : public QObject {
    Q_OBJECT

private slots:
    void recordBecomesProduct_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("desc");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<Rows>("rows");
        const QByteArray tisch("Tisch;Eiche massiv;c:\\bilder\\tisch.jpg;T-01;199,00\r\n");
        const QStringList two{"Art. Nummer", "Preis"};
        QTest::newRow("Tisch, header option off")
            << tisch << two << false << "Tisch"
            << "Eiche massiv"
            << "c:\\bilder\\tisch.jpg" << Rows{{"T-01", "199,00"}, {"", ""}};
        QTest::newRow("Tisch, header option on")
            << tisch << two << true << "Tisch"
            << "Eiche massiv"
            << "c:\\bilder\\tisch.jpg" << Rows{{"Art. Nummer", "Preis"}, {"T-01", "199,00"}, {"", ""}};
        QTest::newRow("three-cell row with two template columns fills the second row")
            << QByteArray("P;d;b;1;2;3") << two << false << "P"
            << "d"
            << "b" << Rows{{"1", "2"}, {"3", ""}};
        QTest::newRow("three columns give one row of empty cells")
            << QByteArray("P;d;b") << two << false << "P"
            << "d"
            << "b" << Rows{{"", ""}};
        QTest::newRow("name-only record") << QByteArray("Nur Name\r\n") << two << false << "Nur Name"
                                          << ""
                                          << "" << Rows{{"", ""}};
        QTest::newRow("no template columns: no data rows")
            << QByteArray("P;d;b;1;2") << QStringList{} << false << "P"
            << "d"
            << "b" << Rows{};
        QTest::newRow("no template columns with header: one row without cells")
            << QByteArray("P;d;b;1;2") << QStringList{} << true << "P"
            << "d"
            << "b" << Rows{{}};
        QTest::newRow("escaped line feed in the description")
            << QByteArray("P;Zeile 1\\nZeile 2") << two << false << "P"
            << "Zeile 1\nZeile 2"
            << "" << Rows{{"", ""}};
        QTest::newRow("quoted description over two lines")
            << QByteArray("\"P\";\"Zeile 1\r\nZeile 2\";\"b.jpg\"\r\n") << two << false << "P"
            << "Zeile 1\r\nZeile 2"
            << "b.jpg" << Rows{{"", ""}};
        QTest::newRow("\\n inside a picture path is a line feed")
            << QByteArray("P;;c:\\neu\\bild.jpg") << two << false << "P"
            << ""
            << "c:\neu\\bild.jpg" << Rows{{"", ""}};
        QTest::newRow("doubled quote")
            << QByteArray("\"Sofa \"\"Elba\"\"\"") << two << false << "Sofa \"Elba\""
            << ""
            << "" << Rows{{"", ""}};
        QTest::newRow("windows-1252 text")
            << QByteArray("Gr\xf6\xdf"
                          "e;5 \x80")
            << two << false << u"Größe"_qs << u"5 €"_qs << "" << Rows{{"", ""}};
    }
    void recordBecomesProduct() {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, columns);
        QFETCH(bool, header);
        CatalogDocument doc = documentWith(columns);
        CsvImportOptions options;
        options.headerRow = header;
        const CsvImportResult result = ImportCSVData(doc, 0, data, options);
        QCOMPARE(result.products, 1);
        QCOMPARE(doc.products(0).count(), 1);
        const TProdukt& p = doc.products(0)[0];
        QTEST(p.name, "name");
        QTEST(p.desc, "desc");
        QCOMPARE(p.bilder.count(), 1);
        QTEST(p.bilder[0].datei, "picture");
        QTEST(cellTexts(p.varianten), "rows");
    }

    // Picture width, price columns and table values come from the settings, not the file;
    // the category gets no options record.
    void productValuesComeFromTheSettings() {
        CatalogDocument doc = documentWith({"A"});
        doc.settings.PreDefAnzPreisEd = 4;
        CsvImportOptions options;
        options.pictureWidth = 6.5;
        ImportCSVData(doc, 0, "P;d;b;1", options);
        const TProdukt& p = doc.products(0)[0];
        QCOMPARE(p.bilder[0].breite, 6.5);
        QCOMPARE(p.anzpreis, 4);
        for (double w : p.table.ColWidth)
            QCOMPARE(w, kDefaultColWidth);
        QCOMPARE(p.table.FixedWidthForTable, kDefaultTableWidth);
        QCOMPARE(p.table.RowHeight, kDefaultRowHeight);
        QVERIFY(!p.table.OverWrite && !p.table.DefineFixedWidth && !p.table.FixWidthForTable &&
                !p.table.DefineFixedHeight);
        QVERIFY(!p.DeactivateProd && !p.PageBreakAfterProdukt);
        QVERIFY(!doc.options(0));
        QCOMPARE(CsvImportOptions{}.pictureWidth, 8.0);
    }

    void whichRecordsMakeProducts_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("line of semicolons") << QByteArray("a\r\n;;;;\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("quoted empty fields") << QByteArray("\"\";\"\"\r\n") << QStringList{};
        QTest::newRow("windows blank lines are skipped")
            << QByteArray("\r\na\r\n\r\n\r\nb\r\n\r\n") << QStringList{"a", "b"};
        QTest::newRow("unix line ends, one record per line")
            << QByteArray("a\nb\nc") << QStringList{"a", "b", "c"};
        QTest::newRow("unix blank line joins two records") << QByteArray("a;x\n\nb;y\n") << QStringList{"a"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }
    void whichRecordsMakeProducts() {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, names);
        CatalogDocument doc = documentWith({"A"});
        ImportCSVData(doc, 0, data, {});
        QStringList got;
        for (const TProdukt& p : doc.products(0))
            got.append(p.name);
        QCOMPARE(got, names);
    }

    void unixBlankLinePutsALineBreakIntoTheField() {
        CatalogDocument doc = documentWith({"A"});
        ImportCSVData(doc, 0, "a;x\n\nb;y\n", {});
        const TProdukt& p = doc.products(0)[0];
        QCOMPARE(p.desc, QStringLiteral("x\r\nb"));
        QCOMPARE(cellTexts(p.varianten), (Rows{{""}}));
        QCOMPARE(p.bilder[0].datei, QStringLiteral("y"));
    }

    void runTwiceAddsTheProductsTwice() {
        CatalogDocument doc = documentWith({"A"});
        ImportCSVData(doc, 0, "a\r\nb\r\n", {});
        ImportCSVData(doc, 0, "a\r\nb\r\n", {});
        QCOMPARE(outline(doc), (QList<QStringList>{{"Ziel", "a", "b", "a", "b"}}));
    }

    void categoryColumnStartsANewCategoryOnEveryChange_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<QStringList>>("expected");
        QTest::addColumn<int>("selected");
        QTest::newRow("A A B A gives A, B, A")
            << QByteArray("A;p1\r\nA;p2\r\nB;p3\r\nA;p4\r\n")
            << QList<QStringList>{{"Ziel"}, {"A", "p1", "p2"}, {"B", "p3"}, {"A", "p4"}} << 3;
        QTest::newRow("a name equal to an existing category makes a second one")
            << QByteArray("Ziel;p1\r\n") << QList<QStringList>{{"Ziel"}, {"Ziel", "p1"}} << 1;
        QTest::newRow("only a category name adds one empty product")
            << QByteArray("A\r\nA;p2\r\n") << QList<QStringList>{{"Ziel"}, {"A", "", "p2"}} << 1;
        QTest::newRow("empty records change nothing")
            << QByteArray("A;p1\r\n;;\r\n\r\nA;p2") << QList<QStringList>{{"Ziel"}, {"A", "p1", "p2"}} << 1;
        QTest::newRow("empty category name of the first record")
            << QByteArray(";p1\r\n;p2") << QList<QStringList>{{"Ziel"}, {"", "p1", "p2"}} << 1;
        QTest::newRow("no records create no category")
            << QByteArray(";;;\r\n") << QList<QStringList>{{"Ziel"}} << -1;
    }
    void categoryColumnStartsANewCategoryOnEveryChange() {
        QFETCH(QByteArray, data);
        QFETCH(QList<QStringList>, expected);
        CatalogDocument doc = documentWith({"A"});
        const CsvImportResult result = ImportCSVDataComplete(doc, data, {});
        QCOMPARE(outline(doc), expected);
        QTEST(result.selectedKat, "selected");
        for (int k = 0; k < doc.categoryCount(); ++k)
            QVERIFY(!doc.options(k));
    }

    void categoryColumnIsNotAVariantCell() {
        CatalogDocument doc = documentWith({"A", "B"});
        ImportCSVDataComplete(doc, "K;Tisch;Eiche;t.jpg;T-01;199,00", {});
        const TProdukt& p = doc.products(1)[0];
        QCOMPARE(p.name, QStringLiteral("Tisch"));
        QCOMPARE(p.desc, QStringLiteral("Eiche"));
        QCOMPARE(p.bilder[0].datei, QStringLiteral("t.jpg"));
        QCOMPARE(cellTexts(p.varianten), (Rows{{"T-01", "199,00"}, {"", ""}}));
    }

    void noCategoryChosenIsMessage7() {
        CatalogDocument doc = documentWith({"A"});
        for (int kat : {-1, 1}) {
            try {
                ImportCSVData(doc, kat, "a", {});
                QFAIL("no error");
            } catch (const Error& e) {
                QCOMPARE(e.messageNumber(), 7);
            }
        }
    }

    void unreadableFileIsMessage1AndChangesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath("fehlt.csv");
        CatalogDocument doc = test::richDocument(dir.path());
        const QByteArray before = image(doc);
        for (bool complete : {false, true}) {
            try {
                if (complete)
                    ImportCSVFileComplete(doc, path, {});
                else
                    ImportCSVFile(doc, 0, path, {});
                QFAIL("no error");
            } catch (const Error& e) {
                QCOMPARE(e.messageNumber(), 1);
                QCOMPARE(e.args(), QStringList{path});
            }
            QCOMPARE(image(doc), before);
        }
    }

    // A stop asked for halfway through leaves the document as it was before: the
    // products and categories already added are taken back.
    void stoppedImportLeavesTheDocumentAsItWas() {
        QTemporaryDir dir;
        QByteArray data;
        for (int i = 0; i < 2500; ++i)
            data +=
                QByteArray("K") + QByteArray::number(i / 7) + ";p" + QByteArray::number(i) + ";d;b;1;2\r\n";
        CatalogDocument doc = test::richDocument(dir.path());
        const QByteArray before = image(doc);
        CancelAfterStart cancel;
        QVERIFY(ImportCSVData(doc, 0, data, {}, &cancel).cancelled);
        QCOMPARE(image(doc), before);
        QVERIFY(ImportCSVDataComplete(doc, data, {}, &cancel).cancelled);
        QCOMPARE(image(doc), before);
        NoProgress go;
        QCOMPARE(ImportCSVDataComplete(doc, data, {}, &go).products, 2500);
        QCOMPARE(doc.categoryCount(), 3 + 358);
    }

    void importsFromAFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("import.csv");
        QVERIFY(writeFile(path, "A;p1\r\nB;p2\r\n"));
        CatalogDocument doc = documentWith({"A"});
        QCOMPARE(ImportCSVFile(doc, 0, path, {}).products, 2);
        QCOMPARE(ImportCSVFileComplete(doc, path, {}).categories, 2);
        QCOMPARE(outline(doc), (QList<QStringList>{{"Ziel", "A", "B"}, {"A", "p1"}, {"B", "p2"}}));
    }

    // Export with the category column, then import into an empty catalogue: the same
    // categories, texts, first pictures and first T cells of every row, plus the one row
    // of empty cells the import appends.
    void roundTripKeepsEveryText() {
        const QString tricky = u"Zeile \"eins\";\r\nzwei\näöüß €"_qs;
        CatalogDocument source;
        source.VorlageSpalten = QStringList{"Größe", "Preis"};
        for (int k = 0; k < 3; ++k) {
            const int kat = source.addCategory(tricky + QString::number(k % 2));
            for (int i = 0; i <= k; ++i) {
                TProdukt& p = *source.products(kat).Add();
                SetProductTableDefaults(p);
                p.name = tricky + QStringLiteral(" Name %1").arg(i);
                p.desc = tricky + QStringLiteral("\r\n\"Beschreibung\"");
                if (i != 1)
                    *p.bilder.Add() = TBild{tricky + QStringLiteral(".jpg"), 3};
                for (int r = 0; r < i + 1; ++r) {
                    TVariante& row = *p.varianten.Add();
                    for (int c = 0; c < r + 1; ++c) // rows of 1, 2, 3 cells
                        row.props.Add()->text = tricky + QStringLiteral("%1/%2").arg(r).arg(c);
                }
            }
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("rund.csv");
        QVERIFY(ExportCSVFile(source, kAllCategories, path));

        CatalogDocument target;
        target.VorlageSpalten = source.VorlageSpalten;
        ImportCSVFileComplete(target, path, {});
        QCOMPARE(outline(target), outline(source));
        const qsizetype columns = source.VorlageSpalten.size();
        for (int k = 0; k < source.categoryCount(); ++k) {
            for (int i = 0; i < source.products(k).count(); ++i) {
                const TProdukt& a = source.products(k)[i];
                const TProdukt& b = target.products(k)[i];
                QCOMPARE(b.desc, a.desc);
                QCOMPARE(b.bilder[0].datei, a.bilder.count() ? a.bilder[0].datei : QString());
                Rows expected;
                for (const TVariante& row : a.varianten) {
                    QStringList cells;
                    for (int c = 0; c < columns; ++c)
                        cells.append(CellText(row, c));
                    expected.append(cells);
                }
                expected.append(QStringList(columns, QString()));
                QCOMPARE(cellTexts(b.varianten), expected);
            }
        }
    }

    void informationTextIsMessages4And5() {
        TranslationStore german;
        QCOMPARE(ImportFormatInfoText(german), messageGerman(4) + messageGerman(5));
        QVERIFY(
            ImportFormatInfoText(german).contains(QStringLiteral("Produktbezeichnung. Die dritte Spalte")));
        QCOMPARE(ImportInfoCaption(german), QStringLiteral("Import"));
    }
};

PW_TEST_CLASS(TestCsvImport)
#include "tst_csvimport.moc"
