#include "testmain.h"

#include "fixtures.h"
#include "model/options.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

using namespace pw;

using pw::test::writeFile;

namespace {} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void languageComesFromOptionsDat_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("language");
        QTest::newRow("French") << test::Le().i32(2).b << int(Francais);
        QTest::newRow("Dutch") << test::Le().i32(3).b << int(Nederlands);
        QTest::newRow("out of range") << test::Le().i32(4).b << int(Deutsch);
        QTest::newRow("negative") << test::Le().i32(-1).b << int(Deutsch);
        QTest::newRow("too short") << QByteArray("\x01\x00", 2) << int(Deutsch);
        QTest::newRow("no file") << QByteArray() << int(Deutsch);
    }
    void languageComesFromOptionsDat() {
        QFETCH(QByteArray, file);
        QFETCH(int, language);
        QTemporaryDir dir;
        if (!file.isEmpty())
            QVERIFY(writeFile(dir.filePath(QStringLiteral("options.dat")), file));
        QCOMPARE(LoadOptions(ProgramFolders(dir.path(), dir.filePath(QStringLiteral("user")))), language);
    }

    void savedLanguageIsReadAtTheNextStart() {
        QTemporaryDir dir;
        const ProgramFolders folders(dir.path(), dir.filePath(QStringLiteral("user")));
        QVERIFY(SaveOptions(folders, English));
        QFile f(dir.filePath(QStringLiteral("options.dat")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("\x01\x00\x00\x00", 4));
        QCOMPARE(LoadOptions(folders), int(English));
    }

    void unwritableProgramFolderUsesTheUserFolder() {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("no-such-program-folder"));
        const QString user = dir.filePath(QStringLiteral("user"));
        const ProgramFolders folders(program, user, {dir.filePath(QStringLiteral("share"))});
        QVERIFY(!folders.programDirWritable());
        QCOMPARE(folders.writeLocation(QStringLiteral("options.dat")),
                 QDir(user).filePath(QStringLiteral("options.dat")));
        QVERIFY(SaveOptions(folders, Nederlands));
        QCOMPARE(LoadOptions(folders), int(Nederlands)); // the user's copy is read first

        // delivered data is found in the data folder when the program folder lacks it
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("share"))));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("share/translate.dat")), "x"));
        QCOMPARE(folders.readLocation(QStringLiteral("translate.dat")),
                 dir.filePath(QStringLiteral("share/translate.dat")));
    }

    void failedSaveIsSilent() {
        const ProgramFolders folders(QStringLiteral("/nonexistent/a"), QStringLiteral("/proc/nonexistent/b"));
        QVERIFY(!SaveOptions(folders, English));
    }

    void switchesRoundTripThroughTheSettingsStore() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("settings.ini"));
        {
            QSettings empty(ini, QSettings::IniFormat);
            QCOMPARE(ReadProgramOptions(empty), ProgramOptions{}); // defaults
        }
        ProgramOptions o;
        o.LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = false;
        o.PDFDateienmitCMYKFarbenausgeben1 = false;
        o.DruckenDialoganzeigenvordemDrucken1 = true;
        o.Beenden1 = true;
        o.ZoomEd = 250;
        o.DPIEd = 600;
        o.searchInDescriptions = true;
        o.windowMaximized = true;
        o.windowGeometry = QByteArray("\x01\x02geometry", 10);
        {
            QSettings store(ini, QSettings::IniFormat);
            WriteProgramOptions(store, o);
        }
        QSettings store(ini, QSettings::IniFormat);
        QCOMPARE(ReadProgramOptions(store), o);

        store.setValue(QStringLiteral("MainForm/ZoomEd"), 5000); // out of range: the default
        store.setValue(QStringLiteral("MainForm/DPIEd"), QStringLiteral("viel"));
        const ProgramOptions read = ReadProgramOptions(store);
        QCOMPARE(read.ZoomEd, 100);
        QCOMPARE(read.DPIEd, 300.0);
    }
};

PW_TEST_CLASS(TestOptions)
#include "tst_options.moc"
