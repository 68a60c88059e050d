#include "testmain.h"

#include "compose/engine.h"
#include "i18n/translateunit.h"
#include "model/editcommands.h"
#include "session/catalogsession.h"

#include <QFile>
#include <QTemporaryDir>

using namespace pw;

namespace {

const QString kSample = QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2");

struct Told : DocumentObserver {
    std::vector<DocumentChange> changes;
    void documentChanged(const DocumentChange& change) override { changes.push_back(change); }
};

EngineCall a4At(int dpi) {
    const int printerDpi = 600;
    const PageGeometry g =
        PreviewGeometry(PaperPixels(QStringLiteral("A4"), printerDpi), printerDpi, dpi, 100);
    return callForPage(g, dpi);
}

} // namespace

class TestCatalogSession : public QObject {
    Q_OBJECT

    TranslationStore texts;
    FixedClock clock{QDate(2026, 1, 2)};

private slots:
    void aFreshSessionIsAnUntitledDefaultCatalogue() {
        CatalogSession session(texts, clock);
        QCOMPARE(session.doc().VorlageSpalten, DefaultTemplateColumns(texts));
        QCOMPARE(session.doc().categoryCount(), 0);
        QVERIFY(session.fileName().isEmpty());
        QVERIFY(!session.edit().isChanged());
        QVERIFY_THROWS_EXCEPTION(Error, session.save()); // no file name yet
    }

    void openLaysOutAndSavesTheCatalogue() {
        CatalogSession session(texts, clock);
        Told told;
        session.edit().addObserver(&told);
        newCategory(session.edit());
        QVERIFY(session.open(kSample).empty());
        QCOMPARE(session.fileName(), kSample);
        QVERIFY(session.doc().categoryCount() > 1);
        QVERIFY(!session.edit().isChanged());
        QVERIFY(!session.edit().history.canUndo()); // the other document's steps are gone
        QCOMPARE(told.changes.back(), DocumentChange::everything());

        session.measuringRun(session.doc().settings.LayoutCombo, a4At(24));
        QVERIFY(session.doc().anzpages > 1);

        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("kopie.pk2"));
        renameCategory(session.edit(), 0, QStringLiteral("Umbenannt"));
        QVERIFY(session.edit().isChanged());
        session.saveAs(copy);
        QCOMPARE(session.fileName(), copy);
        QVERIFY(!session.edit().isChanged());
        QVERIFY(session.edit().undo()); // before the save: changed again
        QVERIFY(session.edit().isChanged());
        session.save();
        QVERIFY(!session.edit().isChanged());
    }

    // A file that cannot be opened must leave the open document, its name and its history
    // as they were.
    void aFailedOpenKeepsTheOpenDocument() {
        CatalogSession session(texts, clock);
        session.open(kSample);
        renameCategory(session.edit(), 0, QStringLiteral("Eigene Arbeit"));
        QTemporaryDir dir;
        const QString broken = dir.filePath(QStringLiteral("kaputt.pk2"));
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\x05\x00\x00\x00", 4);
        f.close();
        QVERIFY_THROWS_EXCEPTION(Error, session.open(broken));
        QVERIFY_THROWS_EXCEPTION(Error, session.open(dir.filePath(QStringLiteral("fehlt.pk2"))));
        QCOMPARE(session.doc().categoryName(0), QStringLiteral("Eigene Arbeit"));
        QCOMPARE(session.fileName(), kSample);
        QVERIFY(session.edit().isChanged());
        QVERIFY(session.edit().history.canUndo());
    }

    void newDocumentKeepsTheSettingsAndTemplateColumns() {
        CatalogSession session(texts, clock);
        session.open(kSample);
        changeSetting(session.edit(), *findSetting(u"LinksEd"), 21.0);
        changeSetting(session.edit(), *findSetting(u"BackgroundColorCheck"), true);
        session.doc().VorlageSpalten = QStringList{QStringLiteral("Nr.")};
        session.newDocument();
        QCOMPARE(session.doc().categoryCount(), 0);
        QVERIFY(session.fileName().isEmpty());
        QCOMPARE(session.doc().settings.LinksEd, 21.0);
        QVERIFY(!session.doc().settings.BackgroundColorCheck);
        QCOMPARE(session.doc().VorlageSpalten, QStringList{QStringLiteral("Nr.")});
        QVERIFY(!session.edit().isChanged());
        QVERIFY(!session.edit().history.canUndo());
    }
};

PW_TEST_CLASS(TestCatalogSession)
#include "tst_catalogsession.moc"
