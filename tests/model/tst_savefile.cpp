#include "testmain.h"

#include "model/savefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace pw;

namespace {

QByteArray readAll(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

class TestStagedFiles : public QObject {
    Q_OBJECT

private slots:
    void targetsChangeOnlyOnCommit_data() {
        QTest::addColumn<bool>("commit");
        QTest::newRow("committed: all replaced") << true;
        QTest::newRow("dropped: all as before, nothing left over") << false;
    }
    void targetsChangeOnlyOnCommit() {
        QFETCH(bool, commit);
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.htm"));
        const QString b = dir.filePath(QStringLiteral("b.jpg"));
        {
            QFile old(a);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old a") == 5);
            QVERIFY(old.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        }
        {
            StagedFiles files;
            QVERIFY(files.stage(a, "new a"));
            QVERIFY(files.stage(b, "new b"));
            QCOMPARE(readAll(a), QByteArray("old a")); // nothing changes before the commit
            QVERIFY(!QFile::exists(b));
            if (commit)
                QVERIFY(files.commit());
        }
        QCOMPARE(readAll(a), commit ? QByteArray("new a") : QByteArray("old a"));
        QCOMPARE(readAll(b), commit ? QByteArray("new b") : QByteArray());
        QCOMPARE(entries(dir.path()), commit ? QStringList({QStringLiteral("a.htm"), QStringLiteral("b.jpg")})
                                             : QStringList{QStringLiteral("a.htm")});
        // The replacement keeps the permissions of the file it replaced.
        const QFile::Permissions ownerGroupOther(0x7077); // without the bits of the caller's access
        QCOMPARE(QFile::permissions(a) & ownerGroupOther,
                 QFile::Permissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    }

    void unwritableTargetFolderIsRefused() {
        QTemporaryDir dir;
        StagedFiles files;
        QString why;
        QVERIFY(!files.stage(dir.filePath(QStringLiteral("missing/a.htm")), "x", &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(files.commit()); // nothing staged, nothing to do
        QVERIFY(entries(dir.path()).isEmpty());
    }
};

PW_TEST_CLASS(TestStagedFiles)
#include "tst_savefile.moc"
