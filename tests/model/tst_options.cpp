#include "testmain.h"

#include "fixtures.h"
#include "model/options.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

    // Where written files go, by what the program folder holds: a folder with the program's
    // data beside it keeps its own files; an installed program (its data in a data folder)
    // writes to the user's folder even when it may write into its own.
    void writtenFilesFollowTheProgramsLayout_data() {
        QTest::addColumn<bool>("dataBesideProgram");
        QTest::addColumn<bool>("dataInShare");
        QTest::addColumn<bool>("writesBesideProgram");
        QTest::newRow("build or copied folder") << true << false << true;
        QTest::newRow("copied folder beside an installed one") << true << true << true;
        QTest::newRow("installed") << false << true << false;
        QTest::newRow("no data anywhere") << false << false << true;
    }
    void writtenFilesFollowTheProgramsLayout() {
        QFETCH(bool, dataBesideProgram);
        QFETCH(bool, dataInShare);
        QFETCH(bool, writesBesideProgram);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("usr/bin"));
        const QString share = dir.filePath(QStringLiteral("usr/share/pagewright"));
        const QString user = dir.filePath(QStringLiteral("user"));
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(share));
        if (dataBesideProgram)
            QVERIFY(writeFile(QDir(program).filePath(QStringLiteral("translate.dat")), "beside"));
        if (dataInShare)
            QVERIFY(writeFile(QDir(share).filePath(QStringLiteral("translate.dat")), "share"));
        const ProgramFolders folders(program, user, {share});

        QCOMPARE(folders.programDirWritable(), writesBesideProgram);
        QVERIFY(SaveOptions(folders, Francais));
        QCOMPARE(QFileInfo::exists(QDir(program).filePath(QStringLiteral("options.dat"))),
                 writesBesideProgram);
        QCOMPARE(QFileInfo::exists(QDir(user).filePath(QStringLiteral("options.dat"))), !writesBesideProgram);
        QCOMPARE(LoadOptions(folders), int(Francais));
        const QString written = folders.writeLocation(QStringLiteral("translate.dat"));
        QCOMPARE(written,
                 QDir(writesBesideProgram ? program : user).filePath(QStringLiteral("translate.dat")));
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
        o.doNotAskForSample = true;
        o.recentFiles = QStringList{QStringLiteral("/a/neu.pk2"), QStringLiteral("/b/alt.pkd")};
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

    // The list a user sees under "Datei": newest first, each file once, at most eight, and
    // a damaged store (duplicates, too many) read back as such a list.
    void recentFilesKeepTheNewestEightOnce() {
        QStringList list;
        for (int i = 1; i <= 10; ++i)
            list = addRecentFile(list, QStringLiteral("/k/%1.pk2").arg(i));
        QCOMPARE(list.size(), kRecentFileCount);
        QCOMPARE(list.first(), QStringLiteral("/k/10.pk2"));
        QCOMPARE(list.last(), QStringLiteral("/k/3.pk2"));
        list = addRecentFile(list, QStringLiteral("/k/5.pk2"));
        QCOMPARE(list.first(), QStringLiteral("/k/5.pk2"));
        QCOMPARE(list.count(QStringLiteral("/k/5.pk2")), 1);
        QCOMPARE(addRecentFile(list, QString()), list);

        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        QStringList stored;
        for (int i = 0; i < 12; ++i)
            stored << QStringLiteral("/k/%1.pk2").arg(i % 10);
        store.setValue(QStringLiteral("MainForm/RecentFiles"), stored);
        const QStringList read = ReadProgramOptions(store).recentFiles;
        QCOMPARE(read.size(), kRecentFileCount);
        QCOMPARE(read.first(), QStringLiteral("/k/0.pk2"));
        QCOMPARE(read.last(), QStringLiteral("/k/7.pk2"));
    }
};

PW_TEST_CLASS(TestOptions)
#include "tst_options.moc"
