#include "testmain.h"

#include "exchange/csvreader.h"
#include "model/error.h"

#include <QTemporaryDir>

using namespace pw;

namespace {

QList<QStringList> records(const QByteArray& data) {
    CsvReader reader(data);
    QList<QStringList> out;
    QStringList fields;
    while (reader.readRecord(fields))
        out.append(fields);
    return out;
}

QStringList lines(const QByteArray& data) {
    CsvReader reader(data);
    QStringList out;
    while (!reader.atEnd())
        out.append(reader.ReadCSVLine());
    return out;
}

} // namespace

class TestCsvReader : public QObject {
    Q_OBJECT

private slots:
    void physicalLinesFollowTheLineEndRules_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("windows line ends") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("unix line ends") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("lone carriage returns") << QByteArray("a\rb") << QStringList{"a", "b"};
        QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("windows empty line stays a line")
            << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
        QTest::newRow("two unix line feeds join with CR LF")
            << QByteArray("a\n\nb\n") << QStringList{"a\r\nb"};
        QTest::newRow("three line feeds: a break, then the line ends")
            << QByteArray("a\n\n\nb") << QStringList{"a\r\n", "b"};
        QTest::newRow("line feed before carriage return ends the line")
            << QByteArray("a\n\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("windows-1252 bytes") << QByteArray("K\xfc\x80") << QStringList{u"Kü€"_qs};
    }
    void physicalLinesFollowTheLineEndRules() {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, expected);
        QCOMPARE(lines(data), expected);
    }

    void splittingKeepsQuotedSemicolons_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("continues");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("trailing separator adds no field") << "a;b;" << false << QStringList{"a", "b"};
        QTest::newRow("lone separator is one empty field") << ";" << false << QStringList{""};
        QTest::newRow("empty middle field") << "a;;b" << false << QStringList{"a", "", "b"};
        QTest::newRow("quoted separator") << "a;\"b;c\";d" << false << QStringList{"a", "\"b;c\"", "d"};
        QTest::newRow("empty line has no fields") << "" << false << QStringList{};
        QTest::newRow("continuation starts inside quotes")
            << "second\";\"x\"\"y\"" << true << QStringList{"second\"", "\"x\"\"y\""};
        QTest::newRow("continuation keeps its semicolons until the quote closes")
            << "a;b\";c" << true << QStringList{"a;b\"", "c"};
        QTest::newRow("empty continuation line is an empty first field") << "" << true << QStringList{""};
    }
    void splittingKeepsQuotedSemicolons() {
        QFETCH(QString, line);
        QFETCH(bool, continues);
        QFETCH(QStringList, expected);
        QStringList fields;
        SplitCSVLine(line, continues, fields);
        QCOMPARE(fields, expected);
    }

    void unescapeTurnsSequencesBack_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line feed") << "Zeile 1\\nZeile 2"
                                   << "Zeile 1\nZeile 2";
        QTest::newRow("carriage return and line feed") << "a\\r\\nb"
                                                       << "a\r\nb";
        QTest::newRow("path with \\n") << "c:\\neu\\bild.jpg"
                                       << "c:\neu\\bild.jpg";
        QTest::newRow("other sequences stay") << "c:\\test\\t.jpg"
                                              << "c:\\test\\t.jpg";
        QTest::newRow("double backslash drops the first") << "a\\\\b"
                                                          << "a\\b";
        QTest::newRow("double backslash then n is a line feed") << "a\\\\nb"
                                                                << "a\nb";
        QTest::newRow("backslash at the end stays") << "a\\"
                                                    << "a\\";
        QTest::newRow("capital letters are not sequences") << "\\N\\R"
                                                           << "\\N\\R";
    }
    void unescapeTurnsSequencesBack() {
        QFETCH(QString, field);
        QFETCH(QString, expected);
        QCOMPARE(UnescapeCSVField(field), expected);
    }

    void recordsAreSplitUnquotedAndUnescaped_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<QStringList>>("expected");
        QTest::newRow("plain record")
            << QByteArray("Tisch;Eiche massiv;c:\\bilder\\tisch.jpg;T-01;199,00\r\n")
            << QList<QStringList>{{"Tisch", "Eiche massiv", "c:\\bilder\\tisch.jpg", "T-01", "199,00"}};
        QTest::newRow("quoted field over two lines") << QByteArray("\"A\";\"first\r\nsecond\";\"x\"\"y\"\r\n")
                                                     << QList<QStringList>{{"A", "first\r\nsecond", "x\"y"}};
        QTest::newRow("quoted field over three lines")
            << QByteArray("\"a\r\nb\r\nc\";d\r\nnext") << QList<QStringList>{{"a\r\nb\r\nc", "d"}, {"next"}};
        QTest::newRow("blank line inside a quoted field is kept")
            << QByteArray("\"a\r\n\r\nb\"\r\n") << QList<QStringList>{{"a\r\n\r\nb"}};
        QTest::newRow("doubled quotes")
            << QByteArray("\"Sofa \"\"Elba\"\"\";\"\"\"\"") << QList<QStringList>{{"Sofa \"Elba\"", "\""}};
        QTest::newRow("empty quoted field") << QByteArray("\"\";x") << QList<QStringList>{{"", "x"}};
        QTest::newRow("escaped line feed")
            << QByteArray("a;Zeile 1\\nZeile 2") << QList<QStringList>{{"a", "Zeile 1\nZeile 2"}};
        QTest::newRow("unix empty line joins two records")
            << QByteArray("a;b\n\nc;d\n") << QList<QStringList>{{"a", "b\r\nc", "d"}};
        QTest::newRow("windows empty line is an empty record")
            << QByteArray("a;b\r\n\r\nc;d\r\n") << QList<QStringList>{{"a", "b"}, {}, {"c", "d"}};
        QTest::newRow("a lone quote opens nothing")
            << QByteArray("a;\"\r\nb") << QList<QStringList>{{"a", "\""}, {"b"}};
        QTest::newRow("open quote in a field before the last stays as it is")
            << QByteArray("\"ab\"c;d\r\n") << QList<QStringList>{{"\"ab\"c", "d"}};
        QTest::newRow("unclosed quote ends at the end of the data")
            << QByteArray("x;\"never closed\r\nstill;inside\r\n")
            << QList<QStringList>{{"x", "\"never closed\r\nstill;inside"}};
        QTest::newRow("unclosed quote on the last line")
            << QByteArray("x;\"open") << QList<QStringList>{{"x", "\"open"}};
        QTest::newRow("empty data") << QByteArray() << QList<QStringList>{};
    }
    void recordsAreSplitUnquotedAndUnescaped() {
        QFETCH(QByteArray, data);
        QFETCH(QList<QStringList>, expected);
        QCOMPARE(records(data), expected);
    }

    void unreadableFileIsMessageOne() {
        QTemporaryDir dir;
        for (const QString& path : {dir.filePath(QStringLiteral("fehlt.csv")), dir.path()}) {
            try {
                ReadCSVFileBytes(path);
                QFAIL("no error");
            } catch (const Error& e) {
                QCOMPARE(e.messageNumber(), 1);
                QCOMPARE(e.args(), QStringList{path});
            }
        }
    }
};

PW_TEST_CLASS(TestCsvReader)
#include "tst_csvreader.moc"
