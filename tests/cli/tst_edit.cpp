#include "testmain.h"

#include "clirun.h"
#include "fixtures.h"
#include "model/catalogfile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace pw;
using pw::test::cli;
using pw::test::Run;

namespace {

// "Werkzeug" with "Zange" (rows B 19,90 and A 100) and "Schraube" (M4 0,10, described as
// steel), "Garten" with "Äpfel"; the first product has a picture bilder/a.jpg.
QString writeCatalogue(const QTemporaryDir& dir) {
    CatalogDocument doc;
    doc.VorlageSpalten = QStringList{"Name", "Preis"};
    doc.addCategory(QStringLiteral("Werkzeug"));
    doc.addCategory(QStringLiteral("Garten"));
    struct P {
        int kat;
        const char* name;
        const char* desc;
        QList<QStringList> rows;
    };
    const P products[] = {{0, "Zange", "", {{"Name", "Preis"}, {"B", "19,90"}, {"A", "100"}}},
                          {0, "Schraube", "aus Stahl", {{"Name", "Preis"}, {"M4", "0,10"}}},
                          {1, "Äpfel", "", {}}};
    for (const P& src : products) {
        TProdukt& p = *doc.products(src.kat).Add();
        SetProductTableDefaults(p);
        p.name = QString::fromUtf8(src.name);
        p.desc = QString::fromUtf8(src.desc);
        p.anzpreis = 1;
        for (const QStringList& r : src.rows) {
            TVariante* v = p.varianten.Add();
            for (const QString& c : r)
                v->props.Add()->text = c;
        }
    }
    QDir(dir.path()).mkpath(QStringLiteral("bilder"));
    const QString picture = dir.filePath(QStringLiteral("bilder/a.jpg"));
    test::writeFile(picture, "jpeg");
    TBild* b = doc.products(0)[0].bilder.Add();
    b->datei = picture;
    b->breite = 3;
    const QString file = dir.filePath(QStringLiteral("katalog.pk2"));
    SaveTheFile(doc, file);
    return file;
}

QJsonObject dump(const QString& file) {
    const Run r = cli({QStringLiteral("dump"), file});
    return QJsonDocument::fromJson(r.out).object();
}

QJsonArray productsOf(const QJsonObject& catalogue, int kat) {
    return catalogue[QStringLiteral("kats")][kat][QStringLiteral("products")].toArray();
}

// The product names of a category, joined by "|".
QString names(const QJsonObject& catalogue, int kat) {
    QStringList out;
    for (const QJsonValue& p : productsOf(catalogue, kat))
        out.append(p[QStringLiteral("name")].toString());
    return out.join(u'|');
}

// A product's table: cells joined by "/", rows by ";".
QString table(const QJsonObject& catalogue, int kat, int prod) {
    QStringList rows;
    for (const QJsonValue& r : productsOf(catalogue, kat)[prod][QStringLiteral("varianten")].toArray()) {
        QStringList cells;
        for (const QJsonValue& c : r.toArray())
            cells.append(c.toString());
        rows.append(cells.join(u'/'));
    }
    return rows.join(u';');
}

} // namespace

class TestEdit : public QObject {
    Q_OBJECT

private slots:
    void editCommandsWriteTheResult_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("names"); // of Werkzeug
        QTest::addColumn<int>("prod");      // whose table is checked
        QTest::addColumn<QString>("table");
        QTest::newRow("prices +10 %") << QStringList{"prices", "--percent", "10", "--locale", "de_DE"}
                                      << "Zange|Schraube" << 0 << "Name/Preis;B/21,89;A/110,00";
        QTest::newRow("prices decreased by -5")
            << QStringList{"prices", "--amount=-5", "--decrease", "--locale=de_DE"} << "Zange|Schraube" << 0
            << "Name/Preis;B/24,90;A/105,00";
        QTest::newRow("sort-variants keeps the header")
            << QStringList{"sort-variants", "--column", "1"} << "Zange|Schraube" << 0
            << "Name/Preis;A/100;B/19,90";
        QTest::newRow("sort-names") << QStringList{"sort-names"} << "Schraube|Zange" << 0
                                    << "Name/Preis;M4/0,10";
        QTest::newRow("duplicate counts products from 1")
            << QStringList{"duplicate", "--category", "Werkzeug", "--product", "2"}
            << "Zange|Schraube|Schraube" << 2 << "Name/Preis;M4/0,10";
        QTest::newRow("replace") << QStringList{"replace", "--find", "M4", "--with", "M5"} << "Zange|Schraube"
                                 << 1 << "Name/Preis;M5/0,10";
    }
    void editCommandsWriteTheResult() {
        QFETCH(QStringList, args);
        QFETCH(QString, names);
        QFETCH(int, prod);
        QFETCH(QString, table);
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        const QString out = dir.filePath(QStringLiteral("out.pk2"));
        const QByteArray original = test::readFile(file);
        const Run r = cli(args.mid(0, 1) + QStringList{file, "-o", out} + args.mid(1));
        QCOMPARE(r.code, 0);
        if (args[0] == QLatin1String("prices"))
            QCOMPARE(QString::fromUtf8(r.err),
                     u"pagewright-cli: "_qs + file +
                         u": 3 Preiszellen geändert (Gebietsschema de_DE, Dezimaltrennzeichen \",\")\n"_qs);
        else
            QVERIFY2(r.err.isEmpty(), r.err.constData());
        QVERIFY(r.out.isEmpty());
        const QJsonObject result = dump(out);
        QCOMPARE(::names(result, 0), names);
        QCOMPARE(::table(result, 0, prod), table);
        QCOMPARE(test::readFile(file), original); // FILE itself is never changed
    }

    // Prices written with decimal commas, changed on a server whose locale is C.UTF-8: the
    // command names the cells it skipped and, when it changed none, the locale it used and
    // --locale. The output is written all the same.
    void priceChangeReportsSkippedCells_data() {
        QTest::addColumn<QStringList>("prices");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("report"); // after "pagewright-cli: " and "<FILE>: "
        QTest::addColumn<QStringList>("after");
        const QString inC = u"im Gebietsschema C, Dezimaltrennzeichen \".\""_qs;
        QTest::newRow("German prices under C.UTF-8 change nothing and say so")
            << QStringList{"49,00", "19,90"} << QStringList{}
            << u"Warnung: @: keine Preiszelle geändert: 2 Preiszellen sind "_qs + inC +
                   u" keine Zahl; --locale wählt die Schreibweise der Preise (etwa --locale de_DE)"_qs
            << QStringList{"49,00", "19,90"};
        QTest::newRow("mixed notation under C.UTF-8 counts both")
            << QStringList{"49,00", "5.50", "auf Anfrage"} << QStringList{}
            << u"Warnung: @: 1 Preiszelle geändert, 2 übersprungen, weil "_qs + inC + u" keine Zahl"_qs
            << QStringList{"49,00", "6.05", "auf Anfrage"};
        QTest::newRow("--locale de_DE reads them")
            << QStringList{"49,00", "19,90"} << QStringList{"--locale", "de_DE"}
            << u"@: 2 Preiszellen geändert (Gebietsschema de_DE, Dezimaltrennzeichen \",\")"_qs
            << QStringList{"53,90", "21,89"};
    }
    void priceChangeReportsSkippedCells() {
        QFETCH(QStringList, prices);
        QFETCH(QStringList, options);
        QFETCH(QString, report);
        QTemporaryDir dir;
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        TProdukt& p = *doc.products(0).Add();
        SetProductTableDefaults(p);
        p.anzpreis = 1;
        TVariante* header = p.varianten.Add();
        header->props.Add()->text = QStringLiteral("Preis");
        for (const QString& price : prices)
            p.varianten.Add()->props.Add()->text = price;
        const QString file = dir.filePath(QStringLiteral("k.pk2"));
        SaveTheFile(doc, file);
        const QString out = dir.filePath(QStringLiteral("out.pk2"));

        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_NUMERIC"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        run.setProcessEnvironment(env);
        run.start(QStringLiteral(PW_CLI_PATH),
                  QStringList{"prices", file, "-o", out, "--percent", "10"} + options);
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 0);
        QVERIFY(run.readAllStandardOutput().isEmpty());
        QCOMPARE(QString::fromUtf8(run.readAllStandardError()),
                 u"pagewright-cli: "_qs + report.replace(u"@"_qs, file) + u'\n');
        QStringList after;
        for (const QJsonValue& row : productsOf(dump(out), 0)[0][QStringLiteral("varianten")].toArray())
            after.append(row[0].toString());
        QTEST(after.mid(1), "after");
        QCOMPARE(after.value(0), QStringLiteral("Preis"));
    }

    void badArgumentsAreRefused_data() {
        QTest::addColumn<QStringList>("args"); // FILE goes after the command, -o OUT at the end
        QTest::addColumn<int>("code");
        QTest::newRow("prices without a change") << QStringList{"prices"} << 1;
        QTest::newRow("prices with both") << QStringList{"prices", "--percent", "1", "--amount", "1"} << 1;
        QTest::newRow("prices with a comma") << QStringList{"prices", "--percent", "1,5"} << 1;
        QTest::newRow("prices beyond the range") << QStringList{"prices", "--amount", "20000"} << 1;
        QTest::newRow("prices in no locale")
            << QStringList{"prices", "--percent", "1", "--locale", "xx_YY"} << 1;
        QTest::newRow("sort-variants column 0") << QStringList{"sort-variants", "--column", "0"} << 1;
        QTest::newRow("sort-names with an option") << QStringList{"sort-names", "--column", "1"} << 1;
        QTest::newRow("duplicate product 0")
            << QStringList{"duplicate", "--category", "Werkzeug", "--product", "0"} << 1;
        QTest::newRow("duplicate in an unknown category")
            << QStringList{"duplicate", "--category", "Küche", "--product", "1"} << 2;
        QTest::newRow("duplicate a product that is not there")
            << QStringList{"duplicate", "--category", "Garten", "--product", "2"} << 2;
        QTest::newRow("replace nothing") << QStringList{"replace", "--find", "", "--with", "x"} << 1;
        QTest::newRow("copy-pictures without a folder") << QStringList{"copy-pictures"} << 1;
    }
    void badArgumentsAreRefused() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        const QString out = dir.filePath(QStringLiteral("out.pk2"));
        const Run r = cli(args.mid(0, 1) + QStringList{file} + args.mid(1) + QStringList{"-o", out});
        QCOMPARE(r.code, code);
        QVERIFY(r.err.startsWith("pagewright-cli: "));
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFileInfo::exists(out));
    }

    void searchPrintsTheMatchesAsJson_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("found"); // "kat:index:product"
        QTest::newRow("schr finds Schraube") << QStringList{"schr"} << QStringList{"0:1:Schraube"};
        QTest::newRow("ä does not find Ä") << QStringList{"ä"} << QStringList{};
        QTest::newRow("descriptions when asked")
            << QStringList{"stahl", "--descriptions"} << QStringList{"0:1:Schraube"};
        QTest::newRow("not in descriptions otherwise") << QStringList{"stahl"} << QStringList{};
    }
    void searchPrintsTheMatchesAsJson() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, found);
        QTemporaryDir dir;
        const Run r = cli(QStringList{"search", writeCatalogue(dir)} + args);
        QCOMPARE(r.code, 0);
        const QJsonObject result = QJsonDocument::fromJson(r.out).object();
        QVERIFY(result.contains(QStringLiteral("matches")));
        QStringList got;
        for (const QJsonValue& m : result[QStringLiteral("matches")].toArray()) {
            QCOMPARE(m[QStringLiteral("category")].toString(), QStringLiteral("Werkzeug"));
            got.append(QStringLiteral("%1:%2:%3")
                           .arg(m[QStringLiteral("kat")].toInt())
                           .arg(m[QStringLiteral("index")].toInt())
                           .arg(m[QStringLiteral("product")].toString()));
        }
        QCOMPARE(got, found);
    }

    void copyPicturesNamesCopiesAfterTheSourceAndReportsFailures() {
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        const QString target = dir.filePath(QStringLiteral("alle"));
        QDir().mkpath(target);
        test::writeFile(QDir(target).filePath(QStringLiteral("a.jpg")), "alt");
        const QString out = dir.filePath(QStringLiteral("out.pk2"));
        Run r = cli({"copy-pictures", file, "--to", target, "-o", out});
        QCOMPARE(r.code, 0);
        QCOMPARE(productsOf(dump(out), 0)[0][QStringLiteral("bilder")][0][QStringLiteral("datei")].toString(),
                 QDir(target).filePath(QStringLiteral("a0.jpg")));
        QCOMPARE(test::readFile(QDir(target).filePath(QStringLiteral("a.jpg"))), QByteArray("alt"));

        // A picture that is gone: the rest is saved, the failure named, the exit code 2.
        QFile::remove(dir.filePath(QStringLiteral("bilder/a.jpg")));
        r = cli({"copy-pictures", file, "--to", target, "-o", out});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("Fehler beim Kopieren der Datei:"));
        QVERIFY(r.err.contains("a1.jpg"));
        QVERIFY(QFileInfo::exists(out));
        QVERIFY(!QFileInfo::exists(QDir(target).filePath(QStringLiteral("a1.jpg"))));
    }
};

PW_TEST_CLASS(TestEdit)
#include "tst_edit.moc"
