#include "testmain.h"

#include "fixtures.h"
#include "model/varianttableedit.h"

#include <QFile>
#include <QTemporaryDir>

using namespace pw;

namespace {

using Rows = QList<QStringList>;

// A document with one category holding one product with this table and anzpreis 1.
CatalogDocument oneProduct(const Rows& rows) {
    CatalogDocument doc;
    const int k = doc.addCategory(QStringLiteral("Werkzeug"));
    TProdukt& p = *doc.products(k).Add();
    SetProductTableDefaults(p);
    p.name = QStringLiteral("Schraube");
    p.anzpreis = 1;
    for (const QStringList& r : rows) {
        TVariante* v = p.varianten.Add();
        for (const QString& c : r)
            v->props.Add()->text = c;
    }
    return doc;
}

Rows tableOf(const CatalogDocument& doc, int prod = 0) {
    return test::cellTexts(doc.products(0)[prod].varianten);
}

enum class Command { DeleteColumn, InsertColumn, DeleteRow, InsertRow, PasteColumn, PasteRow };

} // namespace

class TestVariantTableEdit : public QObject {
    Q_OBJECT

private slots:
    void typingALetterPadsTheTableToTheCell() {
        CatalogDocument doc = oneProduct({{"Name", "Preis"}});
        EditContext ctx(doc);
        QVERIFY(StringGrid1SetEditText(ctx, 0, 0, 3, QStringLiteral("x"), 2));
        QCOMPARE(tableOf(doc), (Rows{{"Name", "Preis", "", ""}, {"", "", "", ""}, {"", "", "", "x"}}));
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QCOMPARE(tableOf(doc), (Rows{{"Name", "Preis"}}));
        QVERIFY(ctx.redo());
        QCOMPARE(tableOf(doc)[2], (QStringList{"", "", "", "x"}));
    }

    // Typing a word into a cell is one undo step; the next cell starts its own.
    void typingIntoOneCellIsOneStep() {
        CatalogDocument doc = oneProduct({{"Name", "Preis"}});
        EditContext ctx(doc);
        for (const char* typed : {"S", "Sc", "Sch"})
            StringGrid1SetEditText(ctx, 0, 0, 0, QString::fromLatin1(typed), 1);
        StringGrid1SetEditText(ctx, 0, 0, 1, QStringLiteral("9"), 1);
        QCOMPARE(ctx.history.count(), 2);
        QVERIFY(ctx.undo() && ctx.undo());
        QCOMPARE(tableOf(doc), (Rows{{"Name", "Preis"}}));
    }

    // A range copied from a spreadsheet: 3 columns by 2 rows at (1, 1), through the cell
    // routine, as one step that undo takes back whole; copying gives the text back.
    void aTabSeparatedRangeIsPastedAsOneStep() {
        CatalogDocument doc = oneProduct({{"Name", "Größe", "Preis"}});
        EditContext ctx(doc);
        QVERIFY(pasteGridText(ctx, 0, 0, 1, 1, QStringLiteral("a\tb\tc\r\nd\t\tf\r\n")));
        QCOMPARE(tableOf(doc),
                 (Rows{{"Name", "Größe", "Preis", ""}, {"", "a", "b", "c"}, {"", "d", "", "f"}}));
        QCOMPARE(ctx.history.count(), 1);
        QCOMPARE(copyGridText(doc, 0, 0, 1, 1, 3, 2), QStringLiteral("a\tb\tc\nd\t\tf\n"));
        QVERIFY(ctx.undo());
        QCOMPARE(tableOf(doc), (Rows{{"Name", "Größe", "Preis"}}));
        // cells beyond the grid's 100 columns are dropped
        QVERIFY(pasteGridText(ctx, 0, 0, 99, 0, QStringLiteral("x\ty")));
        QCOMPARE(tableOf(doc)[0].size(), 100);
        QCOMPARE(tableOf(doc)[0].last(), QStringLiteral("x"));
        QVERIFY(!pasteGridText(ctx, 0, 0, 0, 0, QString()));
    }

    void clearingCellsTrimsTheTable_data() {
        QTest::addColumn<Rows>("before");
        QTest::addColumn<QList<QPoint>>("cleared"); // (column, row), in order
        QTest::addColumn<Rows>("after");
        QTest::newRow("only filled cell of the last row")
            << Rows{{"Name", "Preis"}, {"", "9,95"}} << QList<QPoint>{{1, 1}} << Rows{{"Name", "Preis"}};
        QTest::newRow("last filled column") << Rows{{"Name", "Preis"}, {"M4", "0,10"}}
                                            << QList<QPoint>{{1, 0}, {1, 1}} << Rows{{"Name"}, {"M4"}};
        QTest::newRow("every cell") << Rows{{"Name", "Preis"}, {"M4", "0,10"}}
                                    << QList<QPoint>{{0, 0}, {1, 0}, {1, 1}, {0, 1}} << Rows{};
    }
    void clearingCellsTrimsTheTable() {
        QFETCH(Rows, before);
        QFETCH(QList<QPoint>, cleared);
        QFETCH(Rows, after);
        CatalogDocument doc = oneProduct(before);
        EditContext ctx(doc);
        for (const QPoint& cell : cleared)
            QVERIFY(StringGrid1SetEditText(ctx, 0, 0, cell.x(), QString(), cell.y()));
        QCOMPARE(tableOf(doc), after);
        QCOMPARE(doc.products(0)[0].varianten.count(), int(after.size()));
    }

    void gridCommandsWriteEveryChangedCell_data() {
        QTest::addColumn<Rows>("before");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("at");
        QTest::addColumn<QStringList>("clipboard");
        QTest::addColumn<Rows>("after");
        const int delCol = int(Command::DeleteColumn), insCol = int(Command::InsertColumn);
        const int delRow = int(Command::DeleteRow), insRow = int(Command::InsertRow);
        const int pasteCol = int(Command::PasteColumn), pasteRow = int(Command::PasteRow);
        QTest::newRow("insert column before Name, Preis")
            << Rows{{"Name", "Preis"}} << insCol << 0 << QStringList{} << Rows{{"", "Name", "Preis"}};
        QTest::newRow("delete the header row")
            << Rows{{"Name", "Preis"}, {"M4", "0,10"}, {"M5", "0,12"}} << delRow << 0 << QStringList{}
            << Rows{{"M4", "0,10"}, {"M5", "0,12"}};
        QTest::newRow("delete a middle column")
            << Rows{{"Name", "Größe", "Preis"}, {"M4", "4", "0,10"}} << delCol << 1 << QStringList{}
            << Rows{{"Name", "Preis"}, {"M4", "0,10"}};
        QTest::newRow("insert a row after the header")
            << Rows{{"Name"}, {"M4"}} << insRow << 1 << QStringList{} << Rows{{"Name"}, {""}, {"M4"}};
        // The short row is padded while the longer one is rewritten, so it ends as long as
        // the header, as the cell routine's padding makes it in this order.
        QTest::newRow("insert column pads shorter rows on the way")
            << Rows{{"a", "b"}, {"c"}} << insCol << 0 << QStringList{} << Rows{{"", "a", "b"}, {"", "c", ""}};
        QTest::newRow("paste an empty column clipboard inserts an empty column")
            << Rows{{"Name", "Preis"}} << pasteCol << 0 << QStringList{} << Rows{{"", "Name", "Preis"}};
        QTest::newRow("paste an empty column clipboard after the last column is trimmed away")
            << Rows{{"Name", "Preis"}} << pasteCol << 2 << QStringList{} << Rows{{"Name", "Preis"}};
        QTest::newRow("paste a column")
            << Rows{{"Name", "Preis"}, {"M4", "0,10"}} << pasteCol << 1 << QStringList{"Größe", "4"}
            << Rows{{"Name", "Größe", "Preis"}, {"M4", "4", "0,10"}};
        QTest::newRow("paste a row") << Rows{{"Name", "Preis"}, {"M4", "0,10"}} << pasteRow << 1
                                     << QStringList{"M3", "0,08"}
                                     << Rows{{"Name", "Preis"}, {"M3", "0,08"}, {"M4", "0,10"}};
    }
    void gridCommandsWriteEveryChangedCell() {
        QFETCH(Rows, before);
        QFETCH(int, command);
        QFETCH(int, at);
        QFETCH(QStringList, clipboard);
        QFETCH(Rows, after);
        CatalogDocument doc = oneProduct(before);
        EditContext ctx(doc);
        GridClipboard clip;
        clip.kopiespalte = clipboard;
        clip.kopiezeile = clipboard;
        bool done = false;
        switch (Command(command)) {
        case Command::DeleteColumn:
            done = deleteGridColumn(ctx, 0, 0, at);
            break;
        case Command::InsertColumn:
            done = insertGridColumn(ctx, 0, 0, at);
            break;
        case Command::DeleteRow:
            done = deleteGridRow(ctx, 0, 0, at);
            break;
        case Command::InsertRow:
            done = insertGridRow(ctx, 0, 0, at);
            break;
        case Command::PasteColumn:
            done = pasteGridColumn(ctx, 0, 0, at, clip);
            break;
        case Command::PasteRow:
            done = pasteGridRow(ctx, 0, 0, at, clip);
            break;
        }
        QVERIFY(done);
        QCOMPARE(tableOf(doc), after);
        QCOMPARE(ctx.isChanged(), after != before);
        if (after != before) {
            QVERIFY(ctx.undo());
            QCOMPARE(tableOf(doc), before);
        }
    }

    void textInColumn99IsLostByInsertingAColumn() {
        QStringList header(kGridSize);
        header[0] = QStringLiteral("Name");
        header[99] = QStringLiteral("Rand");
        CatalogDocument doc = oneProduct({header});
        EditContext ctx(doc);
        QVERIFY(insertGridColumn(ctx, 0, 0, 50));
        QCOMPARE(tableOf(doc), (Rows{{"Name"}}));
    }

    void copiedRowsAndColumnsPasteIntoAnotherProduct() {
        CatalogDocument doc = oneProduct({{"Name", "Preis"}, {"M4", "0,10"}});
        TProdukt& second = *doc.products(0).Add();
        second.varianten.Add()->props.Add()->text = QStringLiteral("Art.");
        EditContext ctx(doc);
        GridClipboard clip;
        QVERIFY(copyGridColumn(doc, 0, 0, 1, clip));
        QVERIFY(copyGridRow(doc, 0, 0, 1, clip));
        QCOMPARE(clip.kopiespalte.size(), kGridSize);
        QCOMPARE(clip.kopiezeile.size(), kGridSize);
        QVERIFY(!ctx.isChanged());
        QVERIFY(pasteGridColumn(ctx, 0, 1, 0, clip));
        QVERIFY(pasteGridRow(ctx, 0, 1, 1, clip));
        QCOMPARE(tableOf(doc, 1), (Rows{{"Preis", "Art."}, {"M4", "0,10"}, {"0,10", ""}}));
    }

    void commandsWithoutAProductDoNothing() {
        CatalogDocument doc = oneProduct({{"Name"}});
        EditContext ctx(doc);
        GridClipboard clip;
        QVERIFY(!StringGrid1SetEditText(ctx, 0, 1, 0, QStringLiteral("x"), 0));
        QVERIFY(!insertGridColumn(ctx, 1, 0, 0));
        QVERIFY(!copyGridRow(doc, -1, 0, 0, clip));
        QVERIFY(!ctx.isChanged());
        QVERIFY(!ctx.history.canUndo());
        QVERIFY_THROWS_EXCEPTION(Error, StringGrid1SetEditText(ctx, 0, 0, 100, QStringLiteral("x"), 0));
        QCOMPARE(tableOf(doc), (Rows{{"Name"}}));
    }

    void tableSettingsAreStoredAndMarkTheDocumentChanged() {
        CatalogDocument doc = oneProduct({{"Name"}});
        EditContext ctx(doc);
        ProductTableSettings s = productTableSettings(doc.products(0)[0]);
        QVERIFY(setProductTableSettings(ctx, 0, 0, s));
        QVERIFY(!ctx.isChanged()); // the same values again change nothing
        s.OverWrite = true;
        s.ColWidth[9] = 12.5;
        s.FixedWidthForTable = 1000;
        QVERIFY(setProductTableSettings(ctx, 0, 0, s));
        QVERIFY(ctx.isChanged());
        const TProdukt& p = doc.products(0)[0];
        QVERIFY(p.table.OverWrite);
        QCOMPARE(p.table.ColWidth[9], 12.5);
        QVERIFY(ctx.undo());
        QVERIFY(!p.table.OverWrite);
        QCOMPARE(p.table.ColWidth[9], kDefaultColWidth);

        s.RowHeight = 1000.5;
        QVERIFY_THROWS_EXCEPTION(Error, setProductTableSettings(ctx, 0, 0, s));
        QCOMPARE(p.table.RowHeight, kDefaultRowHeight);
    }

    // The template columns are stored in the catalogue: editing or loading them must ask to
    // be saved, and each step can be undone.
    void templateColumnEditsMarkTheDocumentChanged() {
        CatalogDocument doc;
        doc.VorlageSpalten = QStringList{"Name", "Art. Nummer", "Preis"};
        EditContext ctx(doc);
        QCOMPARE(addTemplateColumn(ctx), 3);
        QVERIFY(editTemplateColumn(ctx, 3, QStringLiteral("Ab 10 Stk.")));
        QVERIFY(!moveTemplateColumnUp(ctx, 0));
        QVERIFY(!moveTemplateColumnDown(ctx, 3));
        QVERIFY(moveTemplateColumnUp(ctx, 2));
        QCOMPARE(doc.VorlageSpalten, (QStringList{"Name", "Preis", "Art. Nummer", "Ab 10 Stk."}));
        QVERIFY(deleteTemplateColumns(ctx, {0, 2, 7}));
        QCOMPARE(doc.VorlageSpalten, (QStringList{"Preis", "Ab 10 Stk."}));
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QCOMPARE(doc.VorlageSpalten.size(), 4);

        QTemporaryDir dir;
        const QString vor = dir.filePath(QStringLiteral("spalten.vor"));
        QFile f(vor);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Name\r\n\r\nPreis\r\n");
        f.close();
        ctx.SetUnChanged();
        QVERIFY(loadTemplateColumns(ctx, vor));
        QCOMPARE(doc.VorlageSpalten, (QStringList{"Name", "", "Preis"}));
        QVERIFY(ctx.isChanged());
        QCOMPARE(ctx.history.undoCaption(), QStringLiteral("Vorlage öffnen"));
        QVERIFY(!loadTemplateColumns(ctx, vor)); // the same list again
        QVERIFY_THROWS_EXCEPTION(Error, loadTemplateColumns(ctx, dir.filePath(QStringLiteral("fehlt.vor"))));
        QCOMPARE(doc.VorlageSpalten, (QStringList{"Name", "", "Preis"}));
        QVERIFY(ctx.undo());
        QVERIFY(!ctx.isChanged());
    }
};

PW_TEST_CLASS(TestVariantTableEdit)
#include "tst_varianttableedit.moc"
