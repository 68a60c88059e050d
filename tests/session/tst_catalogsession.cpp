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

    // A catalogue modelled on another takes its settings as stored, BackgroundColorCheck
    // included (which "Neu" turns off), and nothing else of it.
    void aNewCatalogueFromAModelTakesItsSettingsOnly() {
        QTemporaryDir dir;
        const QString model = dir.filePath(QStringLiteral("muster.pk2"));
        {
            CatalogSession maker(texts, clock);
            maker.open(kSample);
            changeSetting(maker.edit(), *findSetting(u"BackgroundColorCheck"), true);
            changeSetting(maker.edit(), *findSetting(u"KopfEd"), QStringLiteral("Eigener Kopf"));
            maker.doc().VorlageSpalten = QStringList{QStringLiteral("Nr."), QStringLiteral("Preis")};
            maker.saveAs(model);
        }
        CatalogSession session(texts, clock);
        newCategory(session.edit());
        QVERIFY(session.newFromModel(model).empty());
        QCOMPARE(session.doc().categoryCount(), 0);
        QVERIFY(session.fileName().isEmpty());
        QVERIFY(session.doc().settings.BackgroundColorCheck);
        QCOMPARE(session.doc().settings.KopfEd, QStringLiteral("Eigener Kopf"));
        QCOMPARE(session.doc().VorlageSpalten, (QStringList{QStringLiteral("Nr."), QStringLiteral("Preis")}));
        QVERIFY(!session.edit().isChanged());
        QVERIFY(!session.edit().history.canUndo());

        newCategory(session.edit());
        QVERIFY_THROWS_EXCEPTION(Error, session.newFromModel(dir.filePath(QStringLiteral("fehlt.pk2"))));
        QCOMPARE(session.doc().categoryCount(), 1);
    }

    // A copy that fails is told as one line of messages 45 and 46 in the interface
    // language; the copies that worked are one undo step.
    void aFailedPictureCopyIsToldInTheInterfaceLanguage() {
        QTemporaryDir dir;
        CatalogSession session(texts, clock);
        newCategory(session.edit());
        newProduct(session.edit(), 0, texts);
        const QString missing = dir.filePath(QStringLiteral("fehlt.jpg"));
        *session.doc().products(0)[0].bilder.Add() = TBild{missing, 5};
        const QString target = dir.filePath(QStringLiteral("bilder"));
        const QStringList lines = session.copyAllPictures(target);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0], texts.GetMessageText(45) + QLatin1Char(' ') + missing + QLatin1Char(' ') +
                               texts.GetMessageText(46) + QLatin1Char(' ') + target +
                               QStringLiteral("/fehlt.jpg !"));
        QCOMPARE(session.doc().products(0)[0].bilder[0].datei, missing);
    }
};

PW_TEST_CLASS(TestCatalogSession)
#include "tst_catalogsession.moc"
