#include "testmain.h"

#include "model/orvanto.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class TestStrings : public QObject {
    Q_OBJECT
private slots:
    void ansiDecodesTheWindowsTable_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("Hammer 12") << QStringLiteral("Hammer 12");
        QTest::newRow("euro and quotes") << QByteArray("\x80\x84\x93", 3) << QStringLiteral("€„“");
        QTest::newRow("last of the table") << QByteArray("\x9f\x8a", 2) << QStringLiteral("ŸŠ");
        QTest::newRow("latin-1 half")
            << QByteArray("\xe4\xf6\xfc\xdf\xa0", 5) << QStringLiteral("äöüß\u00a0");
        QTest::newRow("unassigned bytes")
            << QByteArray("\x81\x8d\x8f\x90\x9d", 5) << QStringLiteral("\u0081\u008d\u008f\u0090\u009d");
    }
    void ansiDecodesTheWindowsTable() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(pw::fromAnsi(bytes), text);
        QCOMPARE(pw::toAnsi(text), bytes); // and back
    }

    void ansiWritesQuestionMarkForWhatItCannotHold() {
        QCOMPARE(pw::toAnsi(QStringLiteral("a✓b")), QByteArray("a?b"));
        QCOMPARE(pw::toAnsi(QStringLiteral("x\U0001F527y")), QByteArray("x?y")); // one ? per character
        QCOMPARE(pw::toAnsi(QStringLiteral("\u20ac")), QByteArray("\x80"));
    }

    void wideStringsRoundTripOnFiles() {
        QBuffer buf;
        buf.open(QIODevice::ReadWrite);
        pw::WriteWideStr(buf, QStringLiteral("Größe €"));
        pw::WriteWideStr(buf, QString());
        QCOMPARE(buf.data().left(4), QByteArray("\x07\x00\x00\x00", 4));
        QCOMPARE(buf.data().size(), 4 + 14 + 4);
        buf.seek(0);
        QCOMPARE(pw::ReadWideStr(buf), QStringLiteral("Größe €"));
        QCOMPARE(pw::ReadWideStr(buf), QString());
    }

    void readingPastTheEndOrANegativeCountThrows_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("wide");
        QTest::newRow("count cut") << QByteArray("\x02\x00", 2) << true;
        QTest::newRow("wide text cut") << QByteArray("\x02\x00\x00\x00"
                                                     "a\0",
                                                     6)
                                       << true;
        QTest::newRow("negative") << QByteArray("\xff\xff\xff\xff", 4) << true;
        QTest::newRow("huge") << QByteArray("\xff\xff\xff\x7f", 4) << false;
        QTest::newRow("ansi cut") << QByteArray("\x05\x00\x00\x00"
                                                "abc",
                                                7)
                                  << false;
    }
    void readingPastTheEndOrANegativeCountThrows() {
        QFETCH(QByteArray, data);
        QFETCH(bool, wide);
        QBuffer buf(&data);
        buf.open(QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(pw::Error, wide ? pw::ReadWideStr(buf) : pw::ReadAnsiStr(buf));
    }

    void ansiStringReads() {
        QByteArray data("\x03\x00\x00\x00"
                        "K\xe4s",
                        7);
        QBuffer buf(&data);
        buf.open(QIODevice::ReadOnly);
        QCOMPARE(pw::ReadAnsiStr(buf), QStringLiteral("Käs"));
    }

    void byteReaderRejectsCountsTheDataCannotHold() {
        const QByteArray data("\x10\x00\x00\x00"
                              "abcdefgh",
                              12);
        pw::ByteReader r(data, QStringLiteral("x.pk2"));
        try {
            r.count(1); // 16 items of one byte, 8 bytes left
            QFAIL("no error");
        } catch (const pw::Error& e) {
            QCOMPARE(e.file(), QStringLiteral("x.pk2"));
            QCOMPARE(e.position(), 0);
        }
        QCOMPARE(r.pos(), 0);
        QCOMPARE(r.count(0), 16); // items of no size: any count the data holds
    }

    void uniqueTempFileNameSkipsExistingFiles() {
        const QString prefix = QStringLiteral("pwtest-%1-").arg(QCoreApplication::applicationPid());
        const QString first = pw::GetUniqueTempFileName(prefix, QStringLiteral(".bmp"));
        QCOMPARE(first, QDir::tempPath() + QLatin1Char('/') + prefix + QStringLiteral("0.bmp"));
        QFile f(first);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString second = pw::GetUniqueTempFileName(prefix, QStringLiteral(".bmp"));
        QFile::remove(first);
        QCOMPARE(second, QDir::tempPath() + QLatin1Char('/') + prefix + QStringLiteral("1.bmp"));
    }
};

PW_TEST_CLASS(TestStrings)
#include "tst_strings.moc"
