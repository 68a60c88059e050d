#include "testmain.h"

#include "i18n/translateunit.h"
#include "model/editcommands.h"
#include "model/error.h"
#include "model/services.h"

using namespace pw;

namespace {

// Answers every question with one fixed answer and remembers what was asked.
class AnsweringPrompts final : public Prompts {
public:
    explicit AnsweringPrompts(Answer a) : answer(a) {}
    Answer ask(const QString& text, const QString& caption, Buttons buttons) override {
        asked.append(text);
        captions.append(caption);
        lastButtons = buttons;
        return answer;
    }
    void message(const QString&, const QString&, Icon) override {}
    QString openFileName(const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    QString folderName(const QString&) override { return {}; }

    Answer answer;
    QStringList asked;
    QStringList captions;
    Buttons lastButtons = Buttons::YesNo;
};

// Categories named by `cats`, each holding products named by the letters of its string.
void fill(CatalogDocument& doc, const QStringList& cats) {
    for (const QString& entry : cats) {
        const int kat = doc.addCategory(entry.section(QLatin1Char(':'), 0, 0));
        for (QChar c : entry.section(QLatin1Char(':'), 1))
            doc.products(kat).Add()->name = QString(c);
    }
}

QString names(const CatalogDocument& doc, int kat) {
    QString s;
    for (const TProdukt& p : doc.products(kat))
        s += p.name;
    return s;
}

QStringList categoryNames(const CatalogDocument& doc) {
    QStringList s;
    for (int k = 0; k < doc.categoryCount(); ++k)
        s.append(doc.categoryName(k) + QLatin1Char(':') + names(doc, k));
    return s;
}

} // namespace

class TestEditCommands : public QObject {
    Q_OBJECT

private slots:
    void deleteProductsRemovesExactlyTheSelected_data() {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("left");
        QTest::newRow("three spread") << QList<int>{0, 2, 4} << "BD";
        QTest::newRow("three in any order") << QList<int>{4, 1, 3} << "AC";
        QTest::newRow("duplicates and strays ignored") << QList<int>{1, 1, 9, -1} << "ACDE";
        QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4} << "";
    }
    void deleteProductsRemovesExactlyTheSelected() {
        QFETCH(QList<int>, selected);
        QFETCH(QString, left);
        CatalogDocument doc;
        fill(doc, {"K:ABCDE"});
        EditContext ctx(doc);
        deleteProducts(ctx, 0, selected);
        QCOMPARE(names(doc, 0), left);
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QCOMPARE(names(doc, 0), QStringLiteral("ABCDE"));
        QVERIFY(ctx.redo());
        QCOMPARE(names(doc, 0), left);
    }

    void moveToOtherCategoryAppendsInReverse_data() {
        QTest::addColumn<QStringList>("cats");
        QTest::addColumn<int>("kat");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("products 1 and 3")
            << QStringList{"S:ABCD", "T:X"} << 0 << QList<int>{0, 2} << 0 << QStringList{"S:BD", "T:XCA"};
        QTest::newRow("choice skips the source") << QStringList{"A:P", "S:QRS", "C:"} << 1 << QList<int>{2, 1}
                                                 << 1 << QStringList{"A:P", "S:Q", "C:SR"};
        QTest::newRow("choice before the source")
            << QStringList{"A:P", "S:QRS"} << 1 << QList<int>{0} << 0 << QStringList{"A:PQ", "S:RS"};
    }
    void moveToOtherCategoryAppendsInReverse() {
        QFETCH(QStringList, cats);
        QFETCH(int, kat);
        QFETCH(QList<int>, selected);
        QFETCH(int, choice);
        QFETCH(QStringList, after);
        CatalogDocument doc;
        fill(doc, cats);
        const QStringList before = categoryNames(doc);
        EditContext ctx(doc);
        QCOMPARE(otherCategoryNames(doc, kat).size(), doc.categoryCount() - 1);
        QCOMPARE(moveProductsToOtherCategory(ctx, kat, selected, choice), selected.size());
        QCOMPARE(categoryNames(doc), after);
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QCOMPARE(categoryNames(doc), before);
        QVERIFY(ctx.redo());
        QCOMPARE(categoryNames(doc), after);
    }

    void moveToOtherCategoryWithOneCategoryDoesNothing() {
        CatalogDocument doc;
        fill(doc, {"K:ABC"});
        EditContext ctx(doc);
        QVERIFY(otherCategoryNames(doc, 0).isEmpty());
        QCOMPARE(moveProductsToOtherCategory(ctx, 0, {0, 1}, 0), 0);
        QCOMPARE(moveProductsToOtherCategory(ctx, 0, {0, 1}, -1), 0);
        QCOMPARE(names(doc, 0), QStringLiteral("ABC"));
        QVERIFY(!ctx.isChanged());
        QVERIFY(!ctx.history.canUndo());
    }

    void movesAtTheListEndsChangeNothing_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("index");
        QTest::newRow("product up, first") << 0 << 0;
        QTest::newRow("product down, last") << 1 << 2;
        QTest::newRow("category up, first") << 2 << 0;
        QTest::newRow("category down, last") << 3 << 1;
        QTest::newRow("product up, none") << 0 << -1;
        QTest::newRow("category down, none") << 3 << 5;
    }
    void movesAtTheListEndsChangeNothing() {
        QFETCH(int, command);
        QFETCH(int, index);
        CatalogDocument doc;
        fill(doc, {"K:ABC", "L:D"});
        EditContext ctx(doc);
        int result = 0;
        switch (command) {
        case 0:
            result = moveProductUp(ctx, 0, index);
            break;
        case 1:
            result = moveProductDown(ctx, 0, index);
            break;
        case 2:
            result = moveCategoryUp(ctx, index);
            break;
        default:
            result = moveCategoryDown(ctx, index);
            break;
        }
        QCOMPARE(result, -1);
        QCOMPARE(categoryNames(doc), (QStringList{"K:ABC", "L:D"}));
        QVERIFY(!ctx.isChanged());
        QVERIFY(!ctx.history.canUndo());
    }

    void productAndCategoryMovesUndoAndRedo() {
        CatalogDocument doc;
        fill(doc, {"K:ABC", "L:D"});
        doc.createOptions(1).Bild = QStringLiteral("l.png");
        EditContext ctx(doc);
        QCOMPARE(moveProductDown(ctx, 0, 0), 1);
        QCOMPARE(moveProductUp(ctx, 0, 2), 1);
        QCOMPARE(names(doc, 0), QStringLiteral("BCA"));
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QCOMPARE(names(doc, 0), QStringLiteral("BAC"));
        QVERIFY(ctx.undo());
        QCOMPARE(names(doc, 0), QStringLiteral("ABC"));
        QVERIFY(ctx.redo());
        QCOMPARE(names(doc, 0), QStringLiteral("BAC"));

        // The options record moves with its category.
        QCOMPARE(moveCategoryUp(ctx, 1), 0);
        QCOMPARE(categoryNames(doc), (QStringList{"L:D", "K:BAC"}));
        QVERIFY(doc.options(0) && !doc.options(1));
        QVERIFY(ctx.undo());
        QCOMPARE(categoryNames(doc), (QStringList{"K:BAC", "L:D"}));
        QCOMPARE(doc.options(1)->Bild, QStringLiteral("l.png"));
    }

    void newProductStartsFromTheTemplate() {
        CatalogDocument doc;
        fill(doc, {"K:A"});
        doc.VorlageSpalten = {QStringLiteral("Name"), QStringLiteral("Art. Nummer"), QStringLiteral("Preis")};
        EditContext ctx(doc);
        setPreDefAnzPreis(ctx, 4);
        QVERIFY(ctx.isChanged());
        QVERIFY_THROWS_EXCEPTION(Error, setPreDefAnzPreis(ctx, 0));
        TranslationStore texts;
        QCOMPARE(newProduct(ctx, 0, texts), 1);
        const TProdukt& p = doc.products(0)[1];
        QCOMPARE(p.name, QStringLiteral("Neues Produkt"));
        QVERIFY(p.desc.isEmpty() && p.bilder.count() == 0);
        QCOMPARE(p.anzpreis, 4);
        QCOMPARE(p.varianten.count(), 1);
        QCOMPARE(p.varianten[0].props.count(), 3);
        QCOMPARE(CellText(p.varianten[0], 2), QStringLiteral("Preis"));
        QCOMPARE(p.table.ColWidth[9], kDefaultColWidth);
        QCOMPARE(p.table.FixedWidthForTable, kDefaultTableWidth);
        QVERIFY(ctx.isChanged());
        QCOMPARE(newProduct(ctx, 3, texts), -1);
        QVERIFY(ctx.undo());
        QCOMPARE(names(doc, 0), QStringLiteral("A"));
        QVERIFY(ctx.redo());
        QCOMPARE(doc.products(0)[1].varianten[0].props.count(), 3);
        QVERIFY(ctx.undo() && ctx.undo());
        QCOMPARE(doc.settings.PreDefAnzPreisEd, 3);
    }

    void deleteCategoryAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("yes") << int(Prompts::Answer::Yes) << QStringList{"K:AB"};
        QTest::newRow("no") << int(Prompts::Answer::No) << QStringList{"K:AB", "Schrauben:CD"};
        QTest::newRow("cancel") << int(Prompts::Answer::Cancel) << QStringList{"K:AB", "Schrauben:CD"};
    }
    void deleteCategoryAsksFirst() {
        QFETCH(int, answer);
        QFETCH(QStringList, after);
        CatalogDocument doc;
        fill(doc, {"K:AB", "Schrauben:CD"});
        doc.createOptions(1).Einfuehrungstext = QStringLiteral("Intro");
        EditContext ctx(doc);
        TranslationStore texts;
        AnsweringPrompts prompts{static_cast<Prompts::Answer>(answer)};
        const bool deleted = deleteCategory(ctx, 1, prompts, texts);
        QCOMPARE(prompts.asked, QStringList{texts.GetMessageText(10) + QStringLiteral("\"Schrauben\"")});
        QCOMPARE(prompts.captions, QStringList{QStringLiteral("Kategorie löschen")});
        QVERIFY(prompts.lastButtons == Prompts::Buttons::YesNoCancel);
        QCOMPARE(categoryNames(doc), after);
        QCOMPARE(ctx.isChanged(), deleted);
        if (deleted) {
            QVERIFY(ctx.undo());
            QCOMPARE(categoryNames(doc), (QStringList{"K:AB", "Schrauben:CD"}));
            QCOMPARE(doc.options(1)->Einfuehrungstext, QStringLiteral("Intro"));
            QVERIFY(!doc.options(0));
        }
    }

    void newAndRenamedCategories() {
        CatalogDocument doc;
        fill(doc, {"K:A"});
        EditContext ctx(doc);
        QCOMPARE(newCategory(ctx), 1);
        QVERIFY(doc.categoryName(1).isEmpty() && !doc.options(1));
        renameCategory(ctx, 1, QStringLiteral("Muttern"));
        QCOMPARE(categoryNames(doc), (QStringList{"K:A", "Muttern:"}));
        QVERIFY(ctx.undo());
        QCOMPARE(categoryNames(doc), (QStringList{"K:A", ":"}));
        QVERIFY(ctx.undo());
        QCOMPARE(doc.categoryCount(), 1);
        QVERIFY(ctx.redo() && ctx.redo());
        QCOMPARE(categoryNames(doc), (QStringList{"K:A", "Muttern:"}));
    }

    void productFlags() {
        CatalogDocument doc;
        fill(doc, {"K:ABCDEF"});
        EditContext ctx(doc);
        setDeactivateProd(ctx, 0, {5, 1, 2, 3, 4}, true);
        setPageBreakAfterProdukt(ctx, 0, {4, 2, 3}, true);
        QString deactivated, breaks;
        for (const TProdukt& p : doc.products(0)) {
            deactivated += p.DeactivateProd ? '1' : '0';
            breaks += p.PageBreakAfterProdukt ? '1' : '0';
        }
        QCOMPARE(deactivated, QStringLiteral("011111"));
        QCOMPARE(breaks, QStringLiteral("001000"));
        QVERIFY(ctx.undo() && ctx.undo());
        for (const TProdukt& p : doc.products(0))
            QVERIFY(!p.DeactivateProd && !p.PageBreakAfterProdukt);
    }

    void productEditorFields() {
        CatalogDocument doc;
        fill(doc, {"K:A"});
        EditContext ctx(doc);
        setProductName(ctx, 0, 0, QStringLiteral("Schraube\nM4"));
        setProductDesc(ctx, 0, 0, QStringLiteral("verzinkt"));
        setAnzPreis(ctx, 0, 0, 2);
        QCOMPARE(doc.products(0)[0].name, QStringLiteral("Schraube\nM4"));
        QCOMPARE(ctx.history.count(), 3);
        // Showing a product writes back what the editor shows: that is no change at all.
        ctx.SetUnChanged();
        setProductName(ctx, 0, 0, QStringLiteral("Schraube\nM4"));
        setAnzPreis(ctx, 0, 0, 2);
        QVERIFY(!ctx.isChanged());
        QCOMPARE(ctx.history.count(), 3);
        // Typing into one field is one step until the field is left; the next field or
        // product starts a step of its own.
        for (const char* typed : {"S", "Sc", "Sch"})
            setProductName(ctx, 0, 0, QString::fromLatin1(typed));
        QCOMPARE(ctx.history.count(), 4);
        setProductDesc(ctx, 0, 0, QStringLiteral("blank"));
        QCOMPARE(ctx.history.count(), 5);
        ctx.history.sealNewest(); // the field lost the focus
        setProductDesc(ctx, 0, 0, QStringLiteral("blanker"));
        QCOMPARE(ctx.history.count(), 6);
        QVERIFY(ctx.undo() && ctx.undo());
        QCOMPARE(doc.products(0)[0].desc, QStringLiteral("verzinkt"));
        QVERIFY(ctx.undo());
        QCOMPARE(doc.products(0)[0].name, QStringLiteral("Schraube\nM4"));
        QVERIFY_THROWS_EXCEPTION(Error, setAnzPreis(ctx, 0, 0, 0));
        QVERIFY_THROWS_EXCEPTION(Error, setAnzPreis(ctx, 0, 0, 101));
        QCOMPARE(doc.products(0)[0].anzpreis, 2);
        QVERIFY(ctx.undo() && ctx.undo() && ctx.undo());
        QCOMPARE(doc.products(0)[0].name, QStringLiteral("A"));
        QVERIFY(doc.products(0)[0].desc.isEmpty());
        QCOMPARE(doc.products(0)[0].anzpreis, 0);
    }

    void categoryDialogWithoutRecordShowsDefaults() {
        CatalogDocument doc;
        fill(doc, {"Werkzeug:A"});
        const CategoryDialogValues v = categoryDialogValues(doc, 0);
        QCOMPARE(v.name, QStringLiteral("Werkzeug"));
        QCOMPARE(v.record.BildBreite, 3.0);
        QCOMPARE(v.record.FontColor, 0x0000FFFFu);
        QCOMPARE(v.record.UnterlegFarbe, 0x00000000u);
        QCOMPARE(v.record.BereichFarbe, 0x00808080u);
        QVERIFY(v.bildVorName);
        QVERIFY(v.record.Bild.isEmpty() && v.record.Einfuehrungstext.isEmpty());
        QVERIFY(!v.record.OwnFontColor && !v.record.Deactivate && !v.record.ShowOnlyPicture);
        // Cancel: the values are dropped, the category keeps having no record.
        QVERIFY(!doc.options(0));
    }

    void categoryDialogOkBuildsTheRecord_data() {
        QTest::addColumn<bool>("bildVorName");
        QTest::addColumn<bool>("showOnlyPicture");
        QTest::addColumn<int>("bildUnterName");
        QTest::newRow("before the name") << true << false << 0;
        QTest::newRow("under the name") << false << false << 1;
        QTest::newRow("only the picture forces under") << true << true << 1;
    }
    void categoryDialogOkBuildsTheRecord() {
        QFETCH(bool, bildVorName);
        QFETCH(bool, showOnlyPicture);
        QFETCH(int, bildUnterName);
        CatalogDocument doc;
        fill(doc, {"Werkzeug:A"});
        EditContext ctx(doc);
        CategoryDialogValues v = categoryDialogValues(doc, 0);
        v.name = QStringLiteral("Zangen");
        v.bildVorName = bildVorName;
        v.record.ShowOnlyPicture = showOnlyPicture;
        v.record.Bild = QStringLiteral("zange.jpg");
        categoryDialogCheckClicked(v);
        applyCategoryDialog(ctx, 0, v);
        QCOMPARE(doc.categoryName(0), QStringLiteral("Zangen"));
        QVERIFY(doc.options(0));
        QCOMPARE(doc.options(0)->BildUnterName, bildUnterName);
        QCOMPARE(doc.options(0)->Bild, QStringLiteral("zange.jpg"));
        QCOMPARE(doc.options(0)->FontColor, kCategoryDialogFontColor);
        QVERIFY(ctx.isChanged());
        // A category edited once shows its own record from now on.
        QCOMPARE(categoryDialogValues(doc, 0).bildVorName, bildUnterName == 0);
        QVERIFY(ctx.undo());
        QCOMPARE(doc.categoryName(0), QStringLiteral("Werkzeug"));
        QVERIFY(!doc.options(0));
    }

    void categoryDialogRejectsABadWidth() {
        CatalogDocument doc;
        fill(doc, {"Werkzeug:A"});
        EditContext ctx(doc);
        CategoryDialogValues v = categoryDialogValues(doc, 0);
        v.record.BildBreite = 0;
        QVERIFY_THROWS_EXCEPTION(Error, applyCategoryDialog(ctx, 0, v));
        QVERIFY(!doc.options(0));
        QVERIFY(!ctx.isChanged());
    }
};

PW_TEST_CLASS(TestEditCommands)
#include "tst_editcommands.moc"
