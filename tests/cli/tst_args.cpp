#include "testmain.h"

#include "clirun.h"

#include <QFile>
#include <QTemporaryDir>

using namespace pw::test;

// The usage errors of the one argument reader as every command words them: which
// arguments are options, which are files, and the first bad one is the one reported.
class TestArgs : public QObject {
    Q_OBJECT
private slots:
    void usageErrorsNameTheBadArgument_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("line");
        QTest::newRow("a second colour switch") << QStringList{"pdf", "@k", "--cmyk", "--rgb", "-o", "x.pdf"}
                                                << "pdf: nur eine von --cmyk und --rgb";
        QTest::newRow("a switch of an export given a value")
            << QStringList{"pdf", "@k", "--strict=1", "-o", "x.pdf"}
            << "pdf: unerwartetes Argument --strict=1";
        QTest::newRow("a switch of an editing command given a value")
            << QStringList{"prices", "@k", "--decrease=1", "--percent", "5", "-o", "x.pk2"}
            << "prices: --decrease hat keinen Wert";
        QTest::newRow("a number out of its range")
            << QStringList{"images", "@k", "--quality", "101", "-o", "x.jpg"}
            << "images: --quality erwartet 0 bis 100";
        QTest::newRow("a number given with =")
            << QStringList{"pages", "@k", "--runs=200"} << "pages: --runs erwartet 1 bis 100";
        QTest::newRow("a page number that is none")
            << QStringList{"render", "@k", "--page", "x", "-o", "x.png"}
            << "render: --page braucht eine Seitennummer";
        QTest::newRow("-o without a name at the end")
            << QStringList{"html", "@k", "-o"} << "html: -o braucht einen Namen";
        QTest::newRow("a value missing at the end") << QStringList{"csv-import", "@k", "in.csv", "--category"}
                                                    << "csv-import: --category braucht einen Wert";
        QTest::newRow("an option another command has") << QStringList{"csv-export", "@k", "--locale", "de_DE"}
                                                       << "csv-export: unbekannte Option --locale";
        QTest::newRow("a second file of a one-file command")
            << QStringList{"dump", "@k", "@k"} << "dump: unerwartetes Argument @k";
        QTest::newRow("a lone dash is an option to an export")
            << QStringList{"pdf", "@k", "-", "-o", "x.pdf"} << "pdf: unerwartetes Argument -";
        QTest::newRow("only double dashes start options of convert")
            << QStringList{"convert", "-x", "--y"} << "convert: unbekannte Option --y";
        QTest::newRow("assignments are checked where they stand")
            << QStringList{"set", "@k", "Bogus=1", "--x"} << "set: unbekannte Einstellung Bogus";
        QTest::newRow("a second file of settings")
            << QStringList{"settings", "@k", "@k"} << "settings: erwartet eine Katalogdatei";
    }
    void usageErrorsNameTheBadArgument() {
        QFETCH(QStringList, args);
        QFETCH(QString, line);
        QTemporaryDir dir;
        const QString catalogue = dir.filePath(QStringLiteral("k.pk2"));
        QVERIFY(QFile::copy(QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2"), catalogue));
        args.replaceInStrings(QStringLiteral("@k"), catalogue);
        const Run r = cli(args, dir.path());
        QCOMPARE(r.code, 1);
        QCOMPARE(QString::fromUtf8(r.err).trimmed(),
                 QStringLiteral("pagewright-cli: ") + QString(line).replace(QStringLiteral("@k"), catalogue));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.pdf"))));
    }
};

PW_TEST_CLASS(TestArgs)
#include "tst_args.moc"
