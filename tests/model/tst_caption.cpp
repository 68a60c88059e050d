#include "testmain.h"

#include "i18n/translateunit.h"
#include "model/caption.h"
#include "model/editcommands.h"

using namespace pw;

namespace {
const QString kMaincap = QStringLiteral("Orvanto Pagewright 1.0");
}

class TestCaption : public QObject {
    Q_OBJECT

private slots:
    void captionShowsFileAndState_data() {
        QTest::addColumn<QString>("afilename");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("caption");
        QTest::newRow("untitled") << "" << false << "Orvanto Pagewright 1.0 - [unbenannt.pk2]";
        QTest::newRow("untitled, changed") << "" << true << "Orvanto Pagewright 1.0 - [unbenannt.pk2*]";
        QTest::newRow("titled") << "/home/anna/Kataloge/werkzeug.pk2" << false
                                << "Orvanto Pagewright 1.0 - [werkzeug.pk2]";
        QTest::newRow("titled, changed")
            << "/home/anna/Kataloge/werkzeug.pk2" << true << "Orvanto Pagewright 1.0 - [werkzeug.pk2*]";
        QTest::newRow("other extension") << "alt.pkd" << true << "Orvanto Pagewright 1.0 - [alt.pkd*]";
    }
    void captionShowsFileAndState() {
        QFETCH(QString, afilename);
        QFETCH(bool, changed);
        QFETCH(QString, caption);
        CatalogDocument doc;
        doc.afilename = afilename;
        EditContext ctx(doc);
        if (!changed)
            ctx.SetChanged();
        TranslationStore texts;
        QCOMPARE(changed ? SetChanged(ctx, kMaincap, texts) : SetUnChanged(ctx, kMaincap, texts), caption);
        QCOMPARE(ctx.isChanged(), changed);
    }

    void nothingHappensBeforeTheWindowIsShown() {
        CatalogDocument doc;
        EditContext ctx(doc);
        TranslationStore texts;
        QVERIFY(SetChanged(ctx, QString(), texts).isEmpty());
        QVERIFY(!ctx.isChanged());
        ctx.SetChanged();
        QVERIFY(SetUnChanged(ctx, QString(), texts).isEmpty());
        QVERIFY(ctx.isChanged());
    }

    void newAllEmptiesTheDocumentButKeepsTheSettings() {
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        doc.products(0).Add()->name = QStringLiteral("P");
        doc.createOptions(0).Bild = QStringLiteral("k.png");
        doc.afilename = QStringLiteral("/tmp/k.pk2");
        doc.settings.BackgroundColorCheck = true;
        doc.settings.PreDefAnzPreisEd = 7;
        doc.VorlageSpalten = {QStringLiteral("Name"), QStringLiteral("Preis")};
        EditContext ctx(doc);
        TranslationStore texts;
        renameCategory(ctx, 0, QStringLiteral("L"));
        QVERIFY(ctx.isChanged() && ctx.history.canUndo());

        QCOMPARE(NewAll(ctx, kMaincap, texts), QStringLiteral("Orvanto Pagewright 1.0 - [unbenannt.pk2]"));
        QCOMPARE(doc.categoryCount(), 0);
        QVERIFY(doc.afilename.isEmpty());
        QVERIFY(!doc.settings.BackgroundColorCheck);
        QCOMPARE(doc.settings.PreDefAnzPreisEd, 7);
        QCOMPARE(doc.VorlageSpalten.size(), 2);
        QVERIFY(!ctx.isChanged());
        // The old document's steps cannot be replayed on the empty one.
        QVERIFY(!ctx.history.canUndo() && !ctx.undo());
    }

    void commandsAndUndoMarkTheDocumentChanged() {
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        EditContext ctx(doc);
        TranslationStore texts;
        newCategory(ctx);
        QVERIFY(ctx.isChanged());
        SetUnChanged(ctx, kMaincap, texts);
        QVERIFY(ctx.undo());
        QVERIFY(ctx.isChanged());
        SetUnChanged(ctx, kMaincap, texts);
        ctx.SetChanged();
        QVERIFY(ctx.isChanged());
        QCOMPARE(documentCaption(kMaincap, doc.afilename, ctx.isChanged(), texts),
                 QStringLiteral("Orvanto Pagewright 1.0 - [unbenannt.pk2*]"));
    }
};

PW_TEST_CLASS(TestCaption)
#include "tst_caption.moc"
