#include "testmain.h"

#include "model/error.h"
#include "model/vorlage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class TestVorlage : public QObject {
    Q_OBJECT
private slots:
    void linesBecomeCaptions_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("CR LF with an empty line")
            << QByteArray("Name\r\n\r\nPreis\r\n") << QStringList{"Name", "", "Preis"};
        QTest::newRow("no final line end") << QByteArray("Name\r\nPreis") << QStringList{"Name", "Preis"};
        QTest::newRow("LF and CR mixed")
            << QByteArray("a\nb\rc\r\n\nd") << QStringList{"a", "b", "c", "", "d"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("Windows-1252") << QByteArray("Gr\xf6\xdf"
                                                    "e\r\nPreis \x80\r\n")
                                      << QStringList{"Größe", "Preis €"};
        QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBFGr\xC3\xB6\xC3\x9F"
                                                  "e\n\xE2\x82\xAC")
                                    << QStringList{"Größe", "€"};
        QTest::newRow("UTF-16LE mark") << QByteArray("\xFF\xFE"
                                                     "A\0\xE4\0\r\0\n\0B\0",
                                                     12)
                                       << QStringList{"Aä", "B"};
        QTest::newRow("UTF-16BE mark") << QByteArray("\xFE\xFF\0A\x20\xAC\0\n", 8) << QStringList{"A€"};
    }
    void linesBecomeCaptions() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, captions);
        QCOMPARE(pw::ParseVorlage(bytes), captions);
    }

    void writtenAsWindows1252WithCrLf() {
        const QStringList captions{"Größe", "", "Preis €", "✓"};
        QCOMPARE(pw::VorlageImage(captions), QByteArray("Gr\xf6\xdf"
                                                        "e\r\n\r\nPreis \x80\r\n?\r\n"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("spalten.vor"));
        pw::WriteVorlage(path, captions.mid(0, 3));
        QCOMPARE(pw::ReadVorlage(path), captions.mid(0, 3));
        pw::WriteVorlage(path, {}); // an existing file is replaced
        QCOMPARE(pw::ReadVorlage(path), QStringList{});
    }

    void fileErrorsAreReportedWithThePlatformWording() {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("fehlt.vor"));
        try {
            pw::ReadVorlage(missing);
            QFAIL("reading a missing file succeeded");
        } catch (const pw::Error& e) {
            QCOMPARE(e.file(), missing);
            QFile probe(missing);
            probe.open(QIODevice::ReadOnly);
            QCOMPARE(e.germanText(), probe.errorString());
        }
        const QString nowhere = dir.filePath(QStringLiteral("no/folder/x.vor"));
        QVERIFY_THROWS_EXCEPTION(pw::Error, pw::WriteVorlage(nowhere, {"a"}));
        QVERIFY(!QFile::exists(nowhere));
    }
};

PW_TEST_CLASS(TestVorlage)
#include "tst_vorlage.moc"
