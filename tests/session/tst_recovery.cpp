#include "testmain.h"

#include "i18n/translateunit.h"
#include "model/editcommands.h"
#include "session/catalogsession.h"
#include "session/recovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace pw;

class TestRecovery : public QObject {
    Q_OBJECT

    TranslationStore texts;
    FixedClock clock{QDate(2026, 1, 2)};

private slots:
    // What a crash must not lose: the edits, the file name the document had, and the fact
    // that it still needs saving. Pictures beside the catalogue stay found although the
    // copy lives in another folder.
    void aRestoredCopyIsTheUnsavedDocumentUnderItsOwnName() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("katalog.pk2"));
        CatalogSession session(texts, clock);
        newCategory(session.edit());
        const int prod = newProduct(session.edit(), 0, texts);
        *session.doc().products(0)[prod].bilder.Add() = TBild{dir.filePath(QStringLiteral("bild.jpg")), 4};
        session.saveAs(file);
        setProductName(session.edit(), 0, prod, QStringLiteral("Nicht gespeichert"));

        const RecoveryCopy copy(dir.filePath(QStringLiteral("benutzer/daten")));
        QVERIFY(!copy.exists());
        copy.write(session.doc());
        QVERIFY(copy.exists());
        QCOMPARE(copy.originalName(), file);

        CatalogSession next(texts, clock);
        QVERIFY(copy.restoreInto(next).empty());
        QCOMPARE(next.fileName(), file);
        QVERIFY(next.edit().isChanged());
        QCOMPARE(next.doc().products(0)[prod].name, QStringLiteral("Nicht gespeichert"));
        QCOMPARE(next.doc().products(0)[prod].bilder[0].datei, dir.filePath(QStringLiteral("bild.jpg")));

        copy.remove();
        QVERIFY(!copy.exists());
        QVERIFY(!QFile::exists(copy.namePath()));
    }

    void anUntitledDocumentIsRestoredUntitled() {
        QTemporaryDir dir;
        CatalogSession session(texts, clock);
        newCategory(session.edit());
        const RecoveryCopy copy(dir.path());
        copy.write(session.doc());
        CatalogSession next(texts, clock);
        copy.restoreInto(next);
        QVERIFY(next.fileName().isEmpty());
        QCOMPARE(next.doc().categoryCount(), 1);
        QVERIFY(next.edit().isChanged());
    }

    // A copy that cannot be written is an error naming the place, and the copy written
    // before it stays readable.
    void aFailedWriteKeepsTheOlderCopy() {
        QTemporaryDir dir;
        CatalogSession session(texts, clock);
        newCategory(session.edit());
        const RecoveryCopy copy(dir.path());
        copy.write(session.doc());
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        newCategory(session.edit());
        bool failed = false;
        try {
            copy.write(session.doc());
        } catch (const Error&) {
            failed = true;
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        CatalogSession next(texts, clock);
        copy.restoreInto(next);
        QCOMPARE(next.doc().categoryCount(), failed ? 1 : 2); // root may write anyway

        const RecoveryCopy nowhere(QStringLiteral("/proc/keine/ablage"));
        QVERIFY_THROWS_EXCEPTION(Error, nowhere.write(session.doc()));
    }
};

PW_TEST_CLASS(TestRecovery)
#include "tst_recovery.moc"
