#include "testmain.h"

#include "clirun.h"
#include "fixtures.h"
#include "model/catalogfile.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace pw;
using pw::test::cli;
using pw::test::readFile;
using pw::test::Run;
using pw::test::writeFile;

namespace {

// Runs the tool with the numeric locale of the environment set to `numeric`.
Run cliWithLocale(const QStringList& args, const QString& numeric) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("LC_ALL"));
    env.insert(QStringLiteral("LC_NUMERIC"), numeric);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PW_CLI_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QJsonObject dump(const QString& file) {
    const Run r = cli({QStringLiteral("dump"), file, QStringLiteral("--no-trim")});
    if (r.code != 0)
        qWarning() << r.err;
    return QJsonDocument::fromJson(r.out).object();
}

QStringList categoryNames(const QJsonObject& catalogue) {
    QStringList out;
    for (const QJsonValue& k : catalogue[QStringLiteral("kats")].toArray())
        out.append(k[QStringLiteral("name")].toString());
    return out;
}

// Two categories of the same name "Möbel" around "Leuchten", one product each; template
// columns "Nr" and "Preis".
QString writeCatalogue(const QTemporaryDir& dir) {
    CatalogDocument doc;
    doc.VorlageSpalten = QStringList{"Nr", "Preis"};
    const char* names[] = {"Möbel", "Leuchten", "Möbel"};
    for (int k = 0; k < 3; ++k) {
        doc.addCategory(QString::fromUtf8(names[k]));
        TProdukt& p = *doc.products(k).Add();
        SetProductTableDefaults(p);
        p.name = QStringLiteral("Produkt %1").arg(k);
        p.desc = QStringLiteral("Zeile 1\nZeile \"2\"");
        TVariante& row = *p.varianten.Add();
        row.props.Add()->text = QStringLiteral("N-%1").arg(k);
        row.props.Add()->text = QStringLiteral("9,95 €");
    }
    const QString path = dir.filePath(QStringLiteral("k.pk2"));
    SaveTheFile(doc, path);
    return path;
}

} // namespace

class TestCsvCommands : public QObject {
    Q_OBJECT

private slots:
    void exportWritesAllOrOneCategory() {
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        const QString out = dir.filePath("out.csv");
        Run r = cli({"csv-export", file, "-o", out, "--all"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(readFile(out),
                 QByteArray("\"M\xf6"
                            "bel\";\"Produkt 0\";\"Zeile 1\\nZeile \"\"2\"\"\";\"\";\"N-0\";"
                            "\"9,95 \x80\"\r\n"
                            "\"Leuchten\";\"Produkt 1\";\"Zeile 1\\nZeile \"\"2\"\"\";\"\";\"N-1\";"
                            "\"9,95 \x80\"\r\n"
                            "\"M\xf6"
                            "bel\";\"Produkt 2\";\"Zeile 1\\nZeile \"\"2\"\"\";\"\";\"N-2\";"
                            "\"9,95 \x80\"\r\n"));
        r = cli({"csv-export", file, "--category", u"Möbel"_qs, "-o", out});
        QCOMPARE(r.code, 0);
        QCOMPARE(readFile(out),
                 QByteArray("\"Produkt 0\";\"Zeile 1\\nZeile \"\"2\"\"\";\"\";\"N-0\";\"9,95 \x80\"\r\n"));
    }

    void usageErrorsExitWithOne_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("export without a mode") << QStringList{"csv-export", "FILE", "-o", "OUT"};
        QTest::newRow("export with both modes")
            << QStringList{"csv-export", "FILE", "-o", "OUT", "--all", "--category", "A"};
        QTest::newRow("export without -o") << QStringList{"csv-export", "FILE", "--all"};
        QTest::newRow("export with an import option")
            << QStringList{"csv-export", "FILE", "-o", "O", "--all", "--header-row"};
        QTest::newRow("import without a mode") << QStringList{"csv-import", "FILE", "IN", "-o", "OUT"};
        QTest::newRow("import with both modes")
            << QStringList{"csv-import", "FILE", "IN", "-o", "OUT", "--category", "A", "--category-column"};
        QTest::newRow("import without the csv file")
            << QStringList{"csv-import", "FILE", "-o", "OUT", "--category-column"};
        QTest::newRow("price columns out of range")
            << QStringList{"csv-import", "F", "IN", "-o", "O", "--category-column", "--price-columns", "0"};
        QTest::newRow("picture width with a comma")
            << QStringList{"csv-import", "F", "IN", "-o", "O", "--category-column", "--picture-width", "4,5"};
        QTest::newRow("picture width zero")
            << QStringList{"csv-import", "F", "IN", "-o", "O", "--category-column", "--picture-width", "0"};
        QTest::newRow("unknown locale")
            << QStringList{"category-import", "F", "IN", "-o", "O", "--locale", "xx"};
        QTest::newRow("category import without -o") << QStringList{"category-import", "F", "IN"};
        QTest::newRow("import with a delimiter that is none")
            << QStringList{"csv-import", "F", "IN", "-o", "O", "--category-column", "--delimiter", "|"};
        QTest::newRow("category import with a two-character delimiter")
            << QStringList{"category-import", "F", "IN", "-o", "O", "--delimiter", ",;"};
        QTest::newRow("delimiter without a value")
            << QStringList{"category-import", "F", "IN", "-o", "O", "--delimiter"};
        QTest::newRow("export takes no delimiter")
            << QStringList{"csv-export", "FILE", "-o", "OUT", "--all", "--delimiter", ","};
    }
    void usageErrorsExitWithOne() {
        QFETCH(QStringList, args);
        const Run r = cli(args);
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.startsWith("pagewright-cli: "));
        QCOMPARE(r.err.count('\n'), 1);
    }

    void importIntoANewCatalogueUsesTheDefaults() {
        QTemporaryDir dir;
        const QString in = dir.filePath("in.csv");
        QVERIFY(writeFile(in, "A;Tisch;Eiche;;T-01;Massiv;199,00\r\nA;Stuhl\r\nB;Lampe\r\n"));
        const QString file = dir.filePath("neu.pk2");
        const QString out = dir.filePath("out.pk2");
        const Run r = cli({"csv-import", file, in, "-o", out, "--category-column", "--header-row",
                           "--price-columns", "2", "--picture-width", "4.5"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.isEmpty(), r.err);
        QVERIFY(!QFileInfo::exists(file));
        const QJsonObject c = dump(out);
        const QStringList columns{"Name", "Art. Nummer", "Preis", "Ab 10 Stk.", "Ab 100 Stk."};
        QCOMPARE(c["VorlageSpalten"].toVariant().toStringList(), columns);
        QCOMPARE(categoryNames(c), (QStringList{"A", "B"}));
        const QJsonObject tisch = c["kats"][0]["products"][0].toObject();
        QCOMPARE(tisch["name"].toString(), QStringLiteral("Tisch"));
        QCOMPARE(tisch["anzpreis"].toInt(), 2);
        QCOMPARE(tisch["bilder"][0]["breite"].toDouble(), 4.5);
        const QJsonArray rows = tisch["varianten"].toArray();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].toVariant().toStringList(), columns);
        QCOMPARE(rows[1].toVariant().toStringList(), (QStringList{"T-01", "Massiv", "199,00", "", ""}));
        QCOMPARE(c["settings"]["PreDefAnzPreisEd"].toInt(), 2);
    }

    // A new catalogue made by an import carried the default header, footer and logo, and
    // only the window could change them.
    void importIntoANewCatalogueTakesTheTemplateCatalogue() {
        QTemporaryDir dir;
        const QString in = dir.filePath("in.csv");
        QVERIFY(writeFile(in, "Tisch;Eiche;;T-01;199,00\r\n"));
        const QString model = dir.filePath("modell.pk2");
        QCOMPARE(cli({"set", writeCatalogue(dir), "-o", model, "KopfEd=Meier Möbel", "LinksEd=20",
                      "BackgroundColorCheck=true"})
                     .code,
                 0);
        const QString out = dir.filePath("out.pk2");
        const Run r = cli(
            {"csv-import", dir.filePath("neu.pk2"), in, "-o", out, "--category-column", "--template", model});
        QCOMPARE(r.code, 0);
        const QJsonObject made = dump(out);
        const QJsonObject from = dump(model);
        QCOMPARE(made["settings"].toObject(), from["settings"].toObject());
        QCOMPARE(made["settings"]["KopfEd"].toString(), QStringLiteral("Meier Möbel"));
        QCOMPARE(made["VorlageSpalten"], from["VorlageSpalten"]);
        QCOMPARE(categoryNames(made), (QStringList{"Tisch"}));

        // Only a new catalogue takes a template; a missing template writes nothing.
        QCOMPARE(cli({"csv-import", model, in, "-o", out, "--category-column", "--template", model}).code, 1);
        const QString none = dir.filePath("none.pk2");
        QCOMPARE(cli({"csv-import", dir.filePath("neu.pk2"), in, "-o", none, "--category-column",
                      "--template", dir.filePath("fehlt.pk2")})
                     .code,
                 2);
        QVERIFY(!QFileInfo::exists(none));
    }

    void importIntoTheFirstCategoryOfTheName() {
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        const QByteArray before = readFile(file);
        const QString in = dir.filePath("in.csv");
        QVERIFY(writeFile(in, "Neu;d;b;1;2\r\n"));
        const QString out = dir.filePath("out.pk2");
        QCOMPARE(cli({"csv-import", file, in, "-o", out, "--category", u"Möbel"_qs}).code, 0);
        QCOMPARE(readFile(file), before);
        const QJsonObject c = dump(out);
        QCOMPARE(c["kats"][0]["products"].toArray().size(), 2);
        QCOMPARE(c["kats"][0]["products"][1]["name"].toString(), QStringLiteral("Neu"));
        QCOMPARE(c["kats"][0]["products"][1]["anzpreis"].toInt(), 3);
        QCOMPARE(c["kats"][0]["products"][1]["bilder"][0]["breite"].toDouble(), 8.0);
        QCOMPARE(c["kats"][2]["products"].toArray().size(), 1);
    }

    void failuresExitWithTwoAndWriteNothing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("export of a missing category")
            << QStringList{"csv-export", "@k", "-o", "@out", "--category", "Garten"} << "Garten";
        QTest::newRow("import into a missing category")
            << QStringList{"csv-import", "@k", "@in", "-o", "@out", "--category", "Garten"} << "Garten";
        QTest::newRow("import of a missing csv file")
            << QStringList{"csv-import", "@k", "@fehlt.csv", "-o", "@out", "--category-column"}
            << "Konte die folgende Datei nicht öffnen: @fehlt.csv";
        QTest::newRow("category import of a missing csv file")
            << QStringList{"category-import", "@k", "@fehlt.csv", "-o", "@out"}
            << "Konte die folgende Datei nicht öffnen: @fehlt.csv";
        QTest::newRow("category import into a missing catalogue")
            << QStringList{"category-import", "@fehlt.pk2", "@in", "-o", "@out"} << "fehlt.pk2";
        QTest::newRow("export into a missing folder")
            << QStringList{"csv-export", "@k", "-o", "@nichtda/out", "--all"}
            << "Konte die folgende Datei nicht öffnen: @nichtda/out";
        QTest::newRow("import into a missing folder")
            << QStringList{"csv-import", "@k", "@in", "-o", "@nichtda/out", "--category-column"}
            << "Konnte Datei nicht erstellen: @nichtda/out";
    }
    void failuresExitWithTwoAndWriteNothing() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        QVERIFY(QFile::rename(file, dir.filePath("k")));
        QVERIFY(writeFile(dir.filePath("in"), "A;b\r\n"));
        const QString prefix = dir.path() + QLatin1Char('/');
        for (QString& a : args)
            a.replace(QLatin1Char('@'), prefix);
        message.replace(QLatin1Char('@'), prefix);
        const Run r = cli(args);
        QCOMPARE(r.code, 2);
        QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err);
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(!QFileInfo::exists(dir.filePath("out")));
    }

    // Spreadsheet files: Unicode comes in as written, a comma-separated file read with
    // semicolons is imported but warned about, naming the file and the line, and reads
    // right with --delimiter; a file that is no text is refused with exit 2.
    void importsReadSpreadsheetFiles_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("stderrPart"); // empty: stderr stays empty
        QTest::addColumn<QStringList>("added");  // the names of the categories added
        const QByteArray utf8Comma = "\xEF\xBB\xBFH\xC3\xA4mmer,Gr\xC3\xB6\xC3\x9F"
                                     "e 3\r\n";
        for (const char* command : {"csv-import", "category-import"}) {
            const QString c = QLatin1String(command);
            QTest::addRow("%s: UTF-8 with a mark", command)
                << c << QByteArray("\xEF\xBB\xBFH\xC3\xA4mmer;x\r\n") << QStringList{} << 0 << QString()
                << QStringList{u"Hämmer"_qs};
            QTest::addRow("%s: UTF-16LE with a mark", command)
                << c << QByteArray("\xFF\xFEH\0\xE4\0;\0x\0", 10) << QStringList{} << 0 << QString()
                << QStringList{u"Hä"_qs};
            QTest::addRow("%s: commas read with semicolons warn", command)
                << c << utf8Comma << QStringList{} << 0
                << u"Warnung: @in.csv: enthält kein Semikolon, aber Komma"_qs
                << QStringList{u"Hämmer,Größe 3"_qs};
            QTest::addRow("%s: --delimiter ,", command) << c << utf8Comma << QStringList{"--delimiter", ","}
                                                        << 0 << QString() << QStringList{u"Hämmer"_qs};
            QTest::addRow("%s: --delimiter tab", command)
                << c << QByteArray("A\tb\r\n") << QStringList{"--delimiter=tab"} << 0 << QString()
                << QStringList{"A"};
            QTest::addRow("%s: a JPEG is no text", command)
                << c << QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0;\r\n", 14) << QStringList{} << 2
                << u"keine Textdatei (sie enthält Null-Bytes), es wurde nichts importiert: @in.csv"_qs
                << QStringList{};
        }
    }
    void importsReadSpreadsheetFiles() {
        QFETCH(QString, command);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(QString, stderrPart);
        QFETCH(QStringList, added);
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        const QString in = dir.filePath("in.csv");
        QVERIFY(writeFile(in, bytes));
        const QString out = dir.filePath("out.pk2");
        QStringList args{command, file, in, "-o", out};
        if (command == QLatin1String("csv-import"))
            args.append("--category-column");
        const Run r = cli(args + options);
        QCOMPARE(r.code, code);
        if (stderrPart.isEmpty()) {
            QVERIFY2(r.err.isEmpty(), r.err);
        } else {
            QVERIFY2(QString::fromUtf8(r.err).contains(stderrPart.replace(u"@"_qs, dir.path() + u'/')),
                     r.err);
            QCOMPARE(r.err.count('\n'), 1);
        }
        if (code != 0) {
            QVERIFY(!QFileInfo::exists(out));
            return;
        }
        QCOMPARE(categoryNames(dump(out)), (QStringList{u"Möbel"_qs, "Leuchten", u"Möbel"_qs} + added));
    }

    void categoryWidthFollowsTheLocale_data() {
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QStringList>("option");
        QTest::addColumn<double>("comma");
        QTest::addColumn<double>("point");
        QTest::newRow("german system") << "de_DE.UTF-8" << QStringList{} << 2.5 << 3.0;
        QTest::newRow("english system") << "en_US.UTF-8" << QStringList{} << 3.0 << 2.5;
        QTest::newRow("--locale de_DE on an english system")
            << "en_US.UTF-8" << QStringList{"--locale", "de_DE"} << 2.5 << 3.0;
        QTest::newRow("--locale en_US on a german system")
            << "de_DE.UTF-8" << QStringList{"--locale=en_US"} << 3.0 << 2.5;
    }
    void categoryWidthFollowsTheLocale() {
        QFETCH(QString, environment);
        QFETCH(QStringList, option);
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        const QString in = dir.filePath("k.csv");
        QVERIFY(writeFile(in, "Leuchten;Licht;;2,5;true\r\nNeu;;;2.5\r\n"));
        const QString out = dir.filePath("out.pk2");
        const Run r =
            cliWithLocale(QStringList{"category-import", file, in, "-o", out} + option, environment);
        QCOMPARE(r.code, 0);
        const QJsonObject c = dump(out);
        QCOMPARE(categoryNames(c), (QStringList{u"Möbel"_qs, "Leuchten", u"Möbel"_qs, "Neu"}));
        QVERIFY(c["kats"][0]["options"].isNull());
        QCOMPARE(c["kats"][1]["options"]["Einfuehrungstext"].toString(), QStringLiteral("Licht"));
        QCOMPARE(c["kats"][1]["options"]["BildUnterName"].toInt(), 1);
        QTEST(c["kats"][1]["options"]["BildBreite"].toDouble(), "comma");
        QTEST(c["kats"][3]["options"]["BildBreite"].toDouble(), "point");
    }

    void helpNamesTheCommands() {
        const Run r = cli({"--help"});
        QCOMPARE(r.code, 0);
        for (const char* name : {"csv-export", "csv-import", "category-import"})
            QVERIFY(r.out.contains(QByteArray("pagewright-cli ") + name + " FILE"));
    }
};

PW_TEST_CLASS(TestCsvCommands)
#include "tst_csv.moc"
