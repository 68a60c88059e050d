#include "testmain.h"

#include "clirun.h"
#include "fixtures.h"
#include "i18n/translateunit.h"
#include "model/catalogfile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace pw;

using pw::test::cli;
using pw::test::Run;
using pw::test::writeFile;

namespace {

QJsonObject dumpJson(const QStringList& args) {
    const Run r = cli(QStringList{QStringLiteral("dump")} + args);
    if (r.code != 0)
        qWarning() << r.err;
    return QJsonDocument::fromJson(r.out).object();
}

const QStringList kSettingKeys = {"PreDefAnzPreisEd",
                                  "DefineFixedWidthCheck",
                                  "RxSpinEdit1",
                                  "RxSpinEdit2",
                                  "RxSpinEdit3",
                                  "RxSpinEdit4",
                                  "RxSpinEdit5",
                                  "RxSpinEdit6",
                                  "RxSpinEdit7",
                                  "RxSpinEdit8",
                                  "RxSpinEdit9",
                                  "RxSpinEdit10",
                                  "RxSpinEdit11",
                                  "DefineFixedHeightCheck",
                                  "FixWidthForTableCheck",
                                  "FixedWidthForTableEd",
                                  "DefMaxCellWidthCheck",
                                  "MaxCellWidthEd",
                                  "LayoutCombo",
                                  "LinksEd",
                                  "ObenEd",
                                  "RechtsEd",
                                  "UntenEd",
                                  "RandBildEd",
                                  "KopfEdmm",
                                  "RandKopfEd",
                                  "PlatzueberEd",
                                  "LinkRandFussEd",
                                  "PlatzZwischenSpaltenEd",
                                  "LineWidthEd",
                                  "LineWidthEd2",
                                  "LineAddSpaceEd",
                                  "RandTextEd",
                                  "RahmenCheck",
                                  "PDFRandEd",
                                  "SetPDFSizeCheck",
                                  "PDFWidthEd",
                                  "PDFHeightED",
                                  "ZerrePDFCheck",
                                  "FontDialog1",
                                  "FontDialog2",
                                  "FontDialog3",
                                  "FontDialog4",
                                  "FontDialog5",
                                  "FontDialog6",
                                  "FontDialog7",
                                  "FontDialog8",
                                  "FontDialog9",
                                  "FontDialog11",
                                  "FontDialog12",
                                  "Shape1",
                                  "Shape2",
                                  "Shape3",
                                  "Shape4",
                                  "Shape5",
                                  "Shape6",
                                  "Shape7",
                                  "Shape8",
                                  "Shape9",
                                  "Shape10",
                                  "Shape11",
                                  "FarbRechtKopfCheck",
                                  "FarbrechtFussCheck",
                                  "UnterlegeKategorie",
                                  "KatBereichUnterCheck",
                                  "OnlyOneColumnCheck",
                                  "ArtNotBlockCheck",
                                  "ZentrTabelleCheck",
                                  "BildAlign",
                                  "CapsCheck",
                                  "ZentrCheck",
                                  "ZentrFussCheck",
                                  "NoLineBelowVariantsCheck",
                                  "CoverCheck",
                                  "AllowPageBreak",
                                  "ZwischenLinienCheck",
                                  "DonotShowVariantsCheck",
                                  "BilderrahmenCheck",
                                  "PreisLinksCheck",
                                  "PreisCentCheck",
                                  "NoRahmenCheck",
                                  "AndereRechtsCheck",
                                  "AndereZentriertCheck",
                                  "Columns",
                                  "DoLineBreakinTableCellsCheck",
                                  "DonotShowPriceColumnscheck",
                                  "LinesInVariantCheck",
                                  "FooterLeftCheck",
                                  "UseColorInInhaltCheck",
                                  "DonotIncreaseFontSizeCheck",
                                  "SetPicHeightCheck",
                                  "FussEd",
                                  "FussEd2",
                                  "Fuss2Ed",
                                  "KopfEd",
                                  "LogoChecked",
                                  "xchangecheck",
                                  "FirstPageNr",
                                  "FilenameEdit1",
                                  "FilenameEdit2",
                                  "FilenameEdit3",
                                  "BackgroundColorCheck",
                                  "BreitEd2",
                                  "HochEd2",
                                  "SVerh2Check",
                                  "GrayScaleCheck",
                                  "LightenCheck",
                                  "HellEd",
                                  "SatEd",
                                  "BreitEd3",
                                  "HochEd3",
                                  "sverhlogo",
                                  "ShowLogoRightAlignedCheck"};

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void dumpShowsEveryFieldExactly() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.pk2"));
        SaveTheFile(test::richDocument(dir.path()), path);
        const Run r = cli({QStringLiteral("dump"), path});
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.isEmpty());
        const QJsonObject top = QJsonDocument::fromJson(r.out).object();
        // keys are printed in a fixed order: check it on the raw text
        QVERIFY(r.out.indexOf("\"VorlageSpalten\"") < r.out.indexOf("\"settings\""));
        QVERIFY(r.out.indexOf("\"PreDefAnzPreisEd\"") < r.out.indexOf("\"ShowLogoRightAlignedCheck\""));

        const QJsonObject s = top.value("settings").toObject();
        QCOMPARE(kSettingKeys.size(), 113);
        QStringList expected = kSettingKeys;
        expected.sort();
        QCOMPARE(s.keys(), expected); // QJsonObject lists its keys sorted
        QCOMPARE(s.value("Shape8").toDouble(), 4278190088.0);
        QCOMPARE(s.value("LineWidthEd").toDouble(), 0.7);
        QCOMPARE(s.value("RxSpinEdit11").toDouble(), 0.1);
        QCOMPARE(s.value("SatEd").toDouble(), -20.0);
        QCOMPARE(s.value("Columns").toInt(), 3);
        QCOMPARE(s.value("FirstPageNr").toInt(), -3);
        QCOMPARE(s.value("OnlyOneColumnCheck").toBool(), true);
        const QJsonObject font = s.value("FontDialog12").toObject();
        QCOMPARE(font.keys(),
                 (QStringList{"Charset", "Color", "Name", "Pitch", "PixelsPerInch", "Size", "Style"}));
        QCOMPARE(font.value("Name").toString(), QStringLiteral("Schrift 11 ä"));
        QCOMPARE(top.value("VorlageSpalten").toArray().first().toString(), QStringLiteral("Größe"));

        const QJsonArray kats = top.value("kats").toArray();
        QCOMPARE(kats.size(), 3);
        QVERIFY(kats[1].toObject().value("options").isNull());
        const QJsonObject options = kats[0].toObject().value("options").toObject();
        QCOMPARE(options.size(), 22);
        QVERIFY(!options.contains("seite"));
        QCOMPARE(options.value("FontColor").toInt(), 0x00708090);
        const QJsonObject p = kats[0].toObject().value("products").toArray()[1].toObject();
        QCOMPARE(p.size(), 14);
        QCOMPARE(p.value("desc").toString(), QStringLiteral("Beschreibung\nmit Umlauten äöü und 𝄞"));
        QCOMPARE(p.value("ColWidth").toArray().size(), 10);
        QCOMPARE(p.value("RowHeight").toDouble(), 5.0);
        QCOMPARE(p.value("DeactivateProd").toBool(), true);
        QCOMPARE(p.value("bilder").toArray()[0].toObject().value("datei").toString(),
                 dir.filePath(QStringLiteral("p1.jpg")));
        QCOMPARE(p.value("varianten").toArray()[2].toArray().size(), 4);
    }

    void dumpTrimsUnlessAskedNotTo() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.pk2"));
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("A"));
        TProdukt& p = *doc.products(0).Add();
        for (const char* text : {"Name", "Preis", ""})
            p.varianten.Add(), p.varianten[0].props.Add()->text = QString::fromUtf8(text);
        SaveTheFile(doc, path);
        auto rows = [](const QJsonObject& top) {
            return top["kats"][0]["products"][0]["varianten"].toArray();
        };
        QCOMPARE(rows(dumpJson({path})).size(), 1);
        QCOMPARE(rows(dumpJson({path}))[0].toArray().size(), 2);
        QCOMPARE(rows(dumpJson({path, QStringLiteral("--no-trim")})).size(), 3);
        QCOMPARE(rows(dumpJson({QStringLiteral("--no-trim"), path}))[0].toArray().size(), 3);
    }

    void exitCodesAndMessages_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("stderrHas");
        QTest::newRow("nothing") << QStringList{} << 1 << "";
        QTest::newRow("help") << QStringList{"--help"} << 0 << "";
        QTest::newRow("command help") << QStringList{"dump", "--help"} << 0 << "";
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 1 << "frobnicate";
        QTest::newRow("dump without file") << QStringList{"dump"} << 1 << "dump";
        QTest::newRow("missing file") << QStringList{"dump", "@dir/missing.pk2"} << 2 << "@dir/missing.pk2";
        QTest::newRow("damaged file") << QStringList{"dump", "@dir/cut.pk2"} << 2 << "@dir/cut.pk2";
        QTest::newRow("bad date") << QStringList{"--date", "2026-13-45", "dump", "@dir/good.pk2"} << 1
                                  << "--date";
        QTest::newRow("global option after the file")
            << QStringList{"dump", "@dir/good.pk2", "--lang", "en"} << 0 << "";
        QTest::newRow("bad language") << QStringList{"dump", "@dir/good.pk2", "--lang=xx"} << 1 << "xx";
        QTest::newRow("convert needs two files") << QStringList{"convert", "@dir/good.pk2"} << 1 << "convert";
        // Usage errors and the core's errors in the chosen language, with their names and
        // numbers filled in after the translation.
        QTest::newRow("unknown command in English")
            << QStringList{"--lang", "en", "frobnicate"} << 1
            << "pagewright-cli: unknown command frobnicate (pagewright-cli --help lists them all)";
        QTest::newRow("missing file name in French")
            << QStringList{"--lang", "fr", "dump"} << 1
            << "pagewright-cli: dump : aucun fichier catalogue indiqué";
        QTest::newRow("bad global option in Dutch")
            << QStringList{"--lang=nl", "--paper", "B9", "dump", "@dir/good.pk2"} << 1
            << "pagewright-cli: --paper: onbekend papierformaat B9";
        QTest::newRow("bad setting value in English")
            << QStringList{"--lang", "en", "set", "@dir/good.pk2", "-o", "@dir/x.pk2", "SatEd=viel"} << 1
            << "set: SatEd: \"viel\" is not a number (with a decimal point)";
        QTest::newRow("damaged file in English") << QStringList{"--lang", "en", "dump", "@dir/cut.pk2"} << 2
                                                 << "@dir/cut.pk2: The catalogue file is damaged (categories "
                                                    "and products): impossible text length 36 "
                                                    "(byte 50)";
        QTest::newRow("unwritable output")
            << QStringList{"convert", "@dir/good.pk2", "@dir/no/such/dir/x.pk2"} << 2
            << "Konnte Datei nicht erstellen: @dir/no/such/dir/x.pk2";
    }
    void exitCodesAndMessages() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, stderrHas);
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("good.pk2"));
        SaveTheFile(test::richDocument(dir.path()), good);
        QFile in(good);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("cut.pk2")), in.read(100)));
        for (QString& a : args)
            a.replace(QStringLiteral("@dir"), dir.path());
        stderrHas.replace(QStringLiteral("@dir"), dir.path());

        const Run r = cli(args);
        QCOMPARE(r.code, code);
        if (code == 2) {
            QCOMPARE(r.err.count('\n'), 1); // one line
            QVERIFY(r.out.isEmpty());
        }
        if (!stderrHas.isEmpty())
            QVERIFY2(QString::fromUtf8(r.err).contains(stderrHas), r.err.constData());
        if (args.contains(QStringLiteral("--help")))
            QVERIFY(r.out.startsWith("usage: pagewright-cli"));
    }

    // The version has one source (the build's project version); the tool reports it alone
    // on stdout, as scripts and the package's checks read it.
    void versionIsTheProjectVersionOnStdout() {
        const Run r = cli({QStringLiteral("--version")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QByteArray("pagewright-cli " PW_VERSION "\n"));
        QVERIFY(r.err.isEmpty());
    }

    void messagesSpeakTheChosenLanguage() {
        pw::TranslationStore delivered;
        delivered.setCollectNewTexts(false);
        delivered.LoadTranslations(QStringLiteral(PW_TRANSLATE_DAT), QString());
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("fehlt.pk2"));
        for (int language = 0; language < 4; ++language) {
            delivered.setLanguage(language);
            const QString lang = QStringList{"de", "en", "fr", "nl"}[language];
            const Run r = cli({QStringLiteral("--lang"), lang, QStringLiteral("dump"), missing});
            QCOMPARE(r.code, 2);
            QCOMPARE(QString::fromUtf8(r.err).trimmed(),
                     QStringLiteral("pagewright-cli: ") + delivered.GetMessageText(1) + missing);
        }
        // the tool reads the store but never adds to it
        const QFileInfo store(QStringLiteral(PW_TRANSLATE_DAT));
        const QDateTime before = store.lastModified();
        QCOMPARE(cli({QStringLiteral("dump"), missing}).code, 2);
        QCOMPARE(QFileInfo(QStringLiteral(PW_TRANSLATE_DAT)).lastModified(), before);
    }

    void damagedOptionalBlockStillDumpsWithAWarning() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.pk2"));
        SaveTheFile(test::richDocument(dir.path()), path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(f.size() - 31)); // inside the next-to-last category list
        f.close();
        const Run r = cli({QStringLiteral("dump"), path});
        QCOMPARE(r.code, 0);
        QVERIFY(QString::fromUtf8(r.err).startsWith(QStringLiteral("pagewright-cli: Warnung: ") + path));
        QCOMPARE(QJsonDocument::fromJson(r.out).object().value("kats").toArray().size(), 3);
    }

    void convertedOlderFileDumpsTheSame() {
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("alt.pkd"));
        const QString converted = dir.filePath(QStringLiteral("neu.pk2"));
        QVERIFY(writeFile(old, test::olderFormatFile()));
        const Run r = cli({QStringLiteral("convert"), old, converted});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());

        QJsonObject before = dumpJson({old});
        const QJsonObject after = dumpJson({converted});
        QVERIFY(!after.isEmpty());
        // The only difference: bare picture names now resolve against the folder.
        QJsonArray kats = before["kats"].toArray();
        QJsonObject kat = kats[0].toObject();
        QJsonObject options = kat["options"].toObject();
        QCOMPARE(options["Bild"].toString(), QStringLiteral("werkstatt.jpg"));
        options["Bild"] = dir.filePath(QStringLiteral("werkstatt.jpg"));
        kat["options"] = options;
        QJsonArray products = kat["products"].toArray();
        QJsonObject product = products[0].toObject();
        QJsonArray pictures = product["bilder"].toArray();
        QJsonObject picture = pictures[0].toObject();
        picture["datei"] = dir.filePath(QStringLiteral("hammer.jpg"));
        pictures[0] = picture;
        product["bilder"] = pictures;
        products[0] = product;
        kat["products"] = products;
        kats[0] = kat;
        before["kats"] = kats;
        QJsonObject settings = before["settings"].toObject();
        settings["FilenameEdit1"] = dir.filePath(QStringLiteral("logo.gif"));
        settings["FilenameEdit2"] = dir.filePath(QStringLiteral("hintergrund.jpg"));
        before["settings"] = settings;
        QCOMPARE(after, before);
    }
};

PW_TEST_CLASS(TestCli)
#include "tst_cli.moc"
