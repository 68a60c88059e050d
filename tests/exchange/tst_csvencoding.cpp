#include "testmain.h"

#include "exchange/categoryimport.h"
#include "exchange/csvimport.h"
#include "exchange/csvreader.h"
#include "fixtures.h"
#include "model/catalogfile.h"
#include "model/error.h"

#include <QStringEncoder>
#include <QTemporaryDir>

#include <functional>

using namespace pw;
using pw::test::writeFile;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

// Two records whose first and second columns hold umlauts, written with Windows line ends.
const QString kRecords = QString::fromUtf8("Hämmer;Größe 3\r\nSchüppe;Stiel aus Eiche\r\n");
const QStringList kFirst = {QString::fromUtf8("Hämmer"), QString::fromUtf8("Schüppe")};
const QStringList kSecond = {QString::fromUtf8("Größe 3"), QStringLiteral("Stiel aus Eiche")};

QByteArray encoded(const QString& text, QStringConverter::Encoding encoding, const QByteArray& mark = {}) {
    QStringEncoder encode(encoding);
    return mark + QByteArray(encode(text));
}

// The bytes of a literal, NUL bytes included.
template <std::size_t N> QByteArray raw(const char (&bytes)[N]) {
    return QByteArray(bytes, qsizetype(N - 1));
}

QByteArray cp1252(const QString& text) {
    return encoded(text, QStringConverter::Latin1); // the umlauts used here are the same bytes
}

// What the three imports made of one file: for the product import into one category the
// product names and descriptions, for the category-column import the category and product
// names, for the category import the new categories' names and introduction texts.
struct Imported {
    QStringList productNames, productDescs;
    QStringList completeCategories, completeProducts;
    QStringList categoryNames, categoryTexts;
    QList<std::vector<Error>> warnings;
};

CatalogDocument target() {
    CatalogDocument doc;
    doc.VorlageSpalten = QStringList{QStringLiteral("Nr")};
    doc.addCategory(QStringLiteral("Ziel"));
    return doc;
}

Imported importAll(const QString& path, QChar delimiter) {
    Imported out;
    CsvImportOptions options;
    options.delimiter = delimiter;

    CatalogDocument one = target();
    out.warnings.append(ImportCSVFile(one, 0, path, options).warnings);
    for (const TProdukt& p : one.products(0)) {
        out.productNames.append(p.name);
        out.productDescs.append(p.desc);
    }

    CatalogDocument complete = target();
    out.warnings.append(ImportCSVFileComplete(complete, path, options).warnings);
    for (int k = 1; k < complete.categoryCount(); ++k) {
        out.completeCategories.append(complete.categoryName(k));
        for (const TProdukt& p : complete.products(k))
            out.completeProducts.append(p.name);
    }

    CatalogDocument kats = target();
    out.warnings.append(ImportCSVFileCategories(kats, path, kGerman, delimiter).warnings);
    for (int k = 1; k < kats.categoryCount(); ++k) {
        out.categoryNames.append(kats.categoryName(k));
        out.categoryTexts.append(kats.options(k)->Einfuehrungstext);
    }
    return out;
}

} // namespace

class TestCsvEncoding : public QObject {
    Q_OBJECT

private slots:
    // Every import reads the same bytes the same way: the first two columns of each record
    // are compared for the product import, the category-column import and the category import.
    void everyImportDecodesAndSplitsAlike_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QChar>("delimiter");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<int>("warningLine"); // 0: no warning
        const QChar semicolon = u';', comma = u',', tab = u'\t';
        QTest::newRow("UTF-8 mark is no part of the first name")
            << encoded(kRecords, QStringConverter::Utf8, "\xEF\xBB\xBF") << semicolon << kFirst << kSecond
            << 0;
        QTest::newRow("UTF-8 without a mark is not read as Windows-1252")
            << encoded(kRecords, QStringConverter::Utf8) << semicolon << kFirst << kSecond << 0;
        QTest::newRow("UTF-16LE with a mark") << encoded(kRecords, QStringConverter::Utf16LE, "\xFF\xFE")
                                              << semicolon << kFirst << kSecond << 0;
        QTest::newRow("UTF-16BE with a mark") << encoded(kRecords, QStringConverter::Utf16BE, "\xFE\xFF")
                                              << semicolon << kFirst << kSecond << 0;
        QTest::newRow("Windows-1252 umlauts read as before")
            << cp1252(kRecords) << semicolon << kFirst << kSecond << 0;
        QTest::newRow("Windows-1252 euro sign and quotes, no valid UTF-8")
            << QByteArray("Preis \x80;\x84gut\x93\r\n") << semicolon << QStringList{u"Preis €"_qs}
            << QStringList{u"„gut“"_qs} << 0;
        QTest::newRow("overlong UTF-8 form is Windows-1252")
            << QByteArray("K\xC0\xAE;x") << semicolon << QStringList{u"KÀ®"_qs} << QStringList{"x"} << 0;
        QTest::newRow("UTF-8 encoded surrogate is Windows-1252")
            << QByteArray("K\xED\xA0\x80;x") << semicolon << QStringList{u"Kí\u00a0€"_qs} << QStringList{"x"}
            << 0;
        QTest::newRow("UTF-8 cut inside a character at the end is Windows-1252")
            << QByteArray("H\xC3\xA4;x\xC3") << semicolon << QStringList{u"HÃ¤"_qs} << QStringList{u"xÃ"_qs}
            << 0;
        QTest::newRow("comma-separated file read with semicolons warns and keeps whole lines")
            << encoded(QString(kRecords).replace(u';', u','), QStringConverter::Utf8) << semicolon
            << QStringList{u"Hämmer,Größe 3"_qs, u"Schüppe,Stiel aus Eiche"_qs} << QStringList{"", ""} << 1;
        QTest::newRow("warning names the first line with a comma")
            << QByteArray("Kopf\nzweite\r\nH,G\r\n") << semicolon << QStringList{"Kopf", "zweite", "H,G"}
            << QStringList{"", "", ""} << 3;
        QTest::newRow("comma-separated file read with commas")
            << encoded(QString(kRecords).replace(u';', u','), QStringConverter::Utf8, "\xEF\xBB\xBF") << comma
            << kFirst << kSecond << 0;
        QTest::newRow("quoted comma stays in its field")
            << QByteArray("\"Hammer, schwer\",x\r\n") << comma << QStringList{"Hammer, schwer"}
            << QStringList{"x"} << 0;
        QTest::newRow("decimal commas in a semicolon file give no warning")
            << QByteArray("Hammer;1,50\r\n") << semicolon << QStringList{"Hammer"} << QStringList{"1,50"}
            << 0;
        QTest::newRow("tab-separated file read with tabs")
            << cp1252(QString(kRecords).replace(u';', u'\t')) << tab << kFirst << kSecond << 0;
        QTest::newRow("semicolon file read with commas warns")
            << cp1252(kRecords) << comma << QStringList{u"Hämmer;Größe 3"_qs, u"Schüppe;Stiel aus Eiche"_qs}
            << QStringList{"", ""} << 1;
    }
    void everyImportDecodesAndSplitsAlike() {
        QFETCH(QByteArray, bytes);
        QFETCH(QChar, delimiter);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(int, warningLine);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("in.csv"));
        writeFile(path, bytes);
        const Imported got = importAll(path, delimiter);
        QCOMPARE(got.productNames, first);
        QCOMPARE(got.productDescs, second);
        QCOMPARE(got.completeCategories, first);
        QCOMPARE(got.completeProducts, second);
        QCOMPARE(got.categoryNames, first);
        QCOMPARE(got.categoryTexts, second);
        for (const std::vector<Error>& warnings : got.warnings) {
            if (warningLine == 0) {
                QVERIFY(warnings.empty());
                continue;
            }
            QCOMPARE(warnings.size(), std::size_t(1));
            QCOMPARE(warnings[0].file(), path);
            QVERIFY2(warnings[0].germanText().contains(QStringLiteral("Zeile %1)").arg(warningLine)),
                     qPrintable(warnings[0].germanText()));
        }
    }

    // A picture or any other binary file given as the CSV imports nothing and says so,
    // naming the file, instead of filling the catalogue with categories of binary names.
    void binaryFileIsRefusedAndImportsNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("JPEG header") << raw(
            "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01;x\r\ny;z\r\n");
        QTest::newRow("one NUL byte in text") << raw("A;b\r\nC\0;d\r\n");
        QTest::newRow("NUL after a UTF-8 mark") << raw("\xEF\xBB\xBF"
                                                       "A;b\0");
        QTest::newRow("UTF-16 without a mark") << encoded(kRecords, QStringConverter::Utf16LE);
        QTest::newRow("NUL character in UTF-16") << encoded(
            QStringLiteral("A;b") + QChar(0) + QStringLiteral("\r\n"), QStringConverter::Utf16LE, "\xFF\xFE");
    }
    void binaryFileIsRefusedAndImportsNothing() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bild.jpg"));
        writeFile(path, bytes);
        CatalogDocument doc = target();
        TProdukt& kept = *doc.products(0).Add();
        kept.name = QStringLiteral("bleibt");
        const QByteArray before = CatalogFileImage(doc, QStringLiteral("/nirgends/k.pk2"));
        const std::function<void()> imports[] = {
            [&] { ImportCSVFile(doc, 0, path, {}); },
            [&] { ImportCSVFileComplete(doc, path, {}); },
            [&] { ImportCSVFileCategories(doc, path, kGerman); },
        };
        for (const auto& import : imports) {
            try {
                import();
                QFAIL("a binary file was imported");
            } catch (const Error& e) {
                QVERIFY2(e.germanText().contains(QStringLiteral("keine Textdatei")),
                         qPrintable(e.germanText()));
                QVERIFY2(e.germanText().endsWith(QStringLiteral(": ") + path), qPrintable(e.germanText()));
            }
            QCOMPARE(CatalogFileImage(doc, QStringLiteral("/nirgends/k.pk2")), before);
        }
    }

    void decodingNamesTheEncoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("text");
        QTest::newRow("ASCII is Windows-1252") << QByteArray("a;b") << int(CsvEncoding::Windows1252) << "a;b";
        QTest::newRow("empty file") << QByteArray() << int(CsvEncoding::Windows1252) << "";
        QTest::newRow("only a UTF-8 mark") << QByteArray("\xEF\xBB\xBF") << int(CsvEncoding::Utf8) << "";
        QTest::newRow("four-byte UTF-8") << QByteArray("\xF0\x9F\x94\xA8") << int(CsvEncoding::Utf8)
                                         << QString::fromUtf8("\xF0\x9F\x94\xA8");
        QTest::newRow("three-byte overlong form is Windows-1252")
            << QByteArray("\xE0\x80\xAF") << int(CsvEncoding::Windows1252) << u"à€¯"_qs;
        QTest::newRow("four-byte overlong form is Windows-1252")
            << QByteArray("\xF0\x80\x80\x80") << int(CsvEncoding::Windows1252) << u"ð€€€"_qs;
        QTest::newRow("beyond U+10FFFF is Windows-1252")
            << QByteArray("\xF4\x90\x80\x80") << int(CsvEncoding::Windows1252) << u"ô\u0090€€"_qs;
        QTest::newRow("UTF-16BE mark")
            << raw("\xFE\xFF\x00\xE4") << int(CsvEncoding::Utf16BE) << QString::fromUtf8("ä");
    }
    void decodingNamesTheEncoding() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(QString, text);
        const CsvText got = DecodeCSVText(bytes, QStringLiteral("f.csv"));
        QCOMPARE(int(got.encoding), encoding);
        QCOMPARE(got.text, text);
    }
};

PW_TEST_CLASS(TestCsvEncoding)
#include "tst_csvencoding.moc"
