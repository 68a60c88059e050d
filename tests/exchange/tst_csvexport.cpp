#include "testmain.h"

#include "exchange/csvexport.h"
#include "fixtures.h"
#include "model/error.h"
#include "model/services.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace pw;
using pw::test::readFile;
using pw::test::writeFile;

namespace {

using Rows = QList<QStringList>;

TProdukt& addProduct(CatalogDocument& doc, int kat, const QString& name, const QString& desc,
                     const QString& picture, const Rows& rows) {
    TProdukt& p = *doc.products(kat).Add();
    SetProductTableDefaults(p);
    p.name = name;
    p.desc = desc;
    if (!picture.isNull())
        *p.bilder.Add() = TBild{picture, 8};
    for (const QStringList& cells : rows) {
        TVariante& row = *p.varianten.Add();
        for (const QString& c : cells)
            row.props.Add()->text = c;
    }
    return p;
}

// Tisch with two template columns, as the export's own example describes it.
CatalogDocument tischDocument() {
    CatalogDocument doc;
    doc.VorlageSpalten = QStringList{"Art. Nummer", "Preis"};
    const int k = doc.addCategory(QStringLiteral("Möbel"));
    addProduct(doc, k, "Tisch", "Eiche\r\nzweite Zeile", QString(),
               Rows{{"Art. Nummer", "Preis"}, {"T-01", "199,00"}});
    return doc;
}

class CancelAt final : public Progress {
public:
    explicit CancelAt(int at) : m_at(at) {}
    bool report(int done, int) override { return done < m_at; }

private:
    int m_at;
};

} // namespace

class TestCsvExport : public QObject {
    Q_OBJECT

private slots:
    void tischExampleGivesSevenFields() {
        QCOMPARE(CSVExportImage(tischDocument(), 0),
                 QByteArray("\"Tisch\";\"Eiche\\r\\nzweite Zeile\";\"\";\"Art. Nummer\";\"Preis\";\"T-01\";"
                            "\"199,00\"\r\n"));
    }

    void rowsGiveTemplateColumnsFields_data() {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("third cell of a row is dropped")
            << Rows{{"a", "b", "c"}} << QString() << QByteArray("\"P\";\"\";\"\";\"a\";\"b\"\r\n");
        QTest::newRow("short row is filled with an empty field")
            << Rows{{"a"}} << QString() << QByteArray("\"P\";\"\";\"\";\"a\";\"\"\r\n");
        QTest::newRow("row without cells gives two empty fields")
            << Rows{{}} << QString() << QByteArray("\"P\";\"\";\"\";\"\";\"\"\r\n");
        QTest::newRow("product without rows ends after its picture")
            << Rows{} << QStringLiteral("c:\\bilder\\p.jpg")
            << QByteArray("\"P\";\"\";\"c:\\bilder\\p.jpg\"\r\n");
    }
    void rowsGiveTemplateColumnsFields() {
        QFETCH(Rows, rows);
        QFETCH(QString, picture);
        QFETCH(QByteArray, expected);
        CatalogDocument doc;
        doc.VorlageSpalten = QStringList{"A", "B"};
        addProduct(doc, doc.addCategory("K"), "P", "", picture, rows);
        QCOMPARE(CSVExportImage(doc, 0), expected);
    }

    void onlyTheFirstPictureIsWritten() {
        CatalogDocument doc;
        TProdukt& p = addProduct(doc, doc.addCategory("K"), "P", "", "erstes.jpg", Rows{});
        *p.bilder.Add() = TBild{"zweites.jpg", 3};
        QCOMPARE(CSVExportImage(doc, 0), QByteArray("\"P\";\"\";\"erstes.jpg\"\r\n"));
    }

    void textIsEscapedAndWindows1252_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("doubled quote") << "Sofa \"Elba\"" << QByteArray("\"Sofa \"\"Elba\"\"\"");
        QTest::newRow("semicolon stays inside the quotes") << "a;b" << QByteArray("\"a;b\"");
        QTest::newRow("backslash is not escaped") << "c:\\neu" << QByteArray("\"c:\\neu\"");
        QTest::newRow("lone line feed") << "a\nb" << QByteArray("\"a\\nb\"");
        QTest::newRow("umlauts and euro sign") << u"Größe 5 €"_qs
                                               << QByteArray("\"Gr\xf6\xdf"
                                                             "e 5 \x80\"");
        QTest::newRow("what the code page lacks becomes ?") << u"Ω 𝄞"_qs << QByteArray("\"? ?\"");
    }
    void textIsEscapedAndWindows1252() {
        QFETCH(QString, name);
        QFETCH(QByteArray, field);
        CatalogDocument doc;
        addProduct(doc, doc.addCategory("K"), name, "", QString(), Rows{});
        QCOMPARE(CSVExportImage(doc, 0), field + ";\"\";\"\"\r\n");
    }

    // All categories in order with their captions first; an empty category writes no
    // line, a deactivated product is written.
    void allCategoriesCarryTheirCaption() {
        CatalogDocument doc;
        doc.VorlageSpalten = QStringList{"Preis"};
        const int a = doc.addCategory("Stühle");
        addProduct(doc, a, "Hocker", "", QString(), Rows{{"9,95"}});
        addProduct(doc, a, "Bank", "", QString(), Rows{}).DeactivateProd = true;
        doc.addCategory("Leer");
        addProduct(doc, doc.addCategory("Tische"), "Tisch", "", QString(), Rows{});
        QCOMPARE(CSVExportImage(doc, kAllCategories),
                 QByteArray("\"St\xfchle\";\"Hocker\";\"\";\"\";\"9,95\"\r\n"
                            "\"St\xfchle\";\"Bank\";\"\";\"\"\r\n"
                            "\"Tische\";\"Tisch\";\"\";\"\"\r\n"));
        QCOMPARE(CSVExportImage(doc, 1), QByteArray());
        QCOMPARE(CSVExportImage(doc, 2), QByteArray("\"Tisch\";\"\";\"\"\r\n"));
    }

    void noCategoryChosenIsMessage37() {
        const CatalogDocument doc = tischDocument();
        for (int kat : {-2, 1}) {
            try {
                CSVExportImage(doc, kat);
                QFAIL("no error");
            } catch (const Error& e) {
                QCOMPARE(e.messageNumber(), 37);
            }
        }
    }

    void writesTheFileAndReplacesAnOldOne() {
        QTemporaryDir dir;
        const QString path = dir.filePath("export.csv");
        QVERIFY(writeFile(path, QByteArray(5000, 'x')));
        QVERIFY(ExportCSVFile(tischDocument(), 0, path));
        QCOMPARE(readFile(path), CSVExportImage(tischDocument(), 0));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"export.csv"});
    }

    void unwritableTargetIsMessage34AndKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString missingFolder = dir.filePath("fehlt/export.csv");
        const QString folderAsFile = dir.path();
        for (const QString& path : {missingFolder, folderAsFile}) {
            try {
                ExportCSVFile(tischDocument(), 0, path);
                QFAIL("no error");
            } catch (const Error& e) {
                QCOMPARE(e.messageNumber(), 34);
                QCOMPARE(e.args(), QStringList{path});
            }
        }
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void cancelledExportWritesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath("export.csv");
        QVERIFY(writeFile(path, "alt"));
        CancelAt cancel(0);
        QVERIFY(!ExportCSVFile(tischDocument(), 0, path, &cancel));
        QCOMPARE(readFile(path), QByteArray("alt"));
    }
};

PW_TEST_CLASS(TestCsvExport)
#include "tst_csvexport.moc"
