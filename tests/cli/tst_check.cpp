#include "testmain.h"

#include "clirun.h"
#include "model/catalogfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace pw;
using pw::test::cli;
using pw::test::Run;

namespace {

// One category "Werkzeug" with the product "Hammer": no picture, the given price, and the
// footer given.
QString writeCatalogue(const QTemporaryDir& dir, const QString& price, const QString& footer) {
    CatalogDocument doc;
    doc.settings.LogoChecked = false; // the default names a logo that is not there
    doc.settings.FussEd = footer;
    const int kat = doc.addCategory(QStringLiteral("Werkzeug"));
    TProdukt& p = *doc.products(kat).Add();
    SetProductTableDefaults(p);
    p.name = QStringLiteral("Hammer");
    p.anzpreis = 1;
    const QStringList rows[] = {{QStringLiteral("Art.-Nr."), QStringLiteral("Preis")},
                                {QStringLiteral("A-1"), price}};
    for (const QStringList& cells : rows) {
        TVariante& v = *p.varianten.Add();
        for (const QString& text : cells)
            v.props.Add()->text = text;
    }
    const QString file = dir.filePath(QStringLiteral("k.pk2"));
    SaveTheFile(doc, file);
    return file;
}

} // namespace

class TestCheckCommand : public QObject {
    Q_OBJECT

private slots:
    void sampleGivesNoFindingsAndExitZero() {
        const Run r =
            cli({QStringLiteral("check"), QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2")});
        QCOMPARE(r.code, 0);
        QCOMPARE(QJsonDocument::fromJson(r.out).object(),
                 QJsonObject({{QStringLiteral("findings"), QJsonArray()}}));
    }

    void errorsGiveExitThreeWithEveryField() {
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir, QString(), QStringLiteral("Seite %PAEG%"));
        const Run r = cli({QStringLiteral("check"), file});
        QCOMPARE(r.code, 3);
        const QJsonArray findings =
            QJsonDocument::fromJson(r.out).object().value(QStringLiteral("findings")).toArray();
        QCOMPARE(findings.size(), 2);
        const QJsonObject setting = findings[0].toObject();
        const QJsonObject product = findings[1].toObject();
        QCOMPARE(setting.keys(),
                 (QStringList{"category", "index", "kat", "kind", "message", "page", "product", "severity"}));
        QCOMPARE(setting.value(QStringLiteral("kind")).toString(), QStringLiteral("placeholder-unknown"));
        QCOMPARE(setting.value(QStringLiteral("kat")).toInt(), -1);
        QCOMPARE(setting.value(QStringLiteral("index")).toInt(), -1);
        QCOMPARE(setting.value(QStringLiteral("page")).toInt(), 0);
        QVERIFY(setting.value(QStringLiteral("message")).toString().contains(QLatin1String("%PAEG%")));
        QCOMPARE(product.value(QStringLiteral("kind")).toString(), QStringLiteral("price-missing"));
        QCOMPARE(product.value(QStringLiteral("severity")).toString(), QStringLiteral("error"));
        QCOMPARE(product.value(QStringLiteral("kat")).toInt(), 0);
        QCOMPARE(product.value(QStringLiteral("category")).toString(), QStringLiteral("Werkzeug"));
        QCOMPARE(product.value(QStringLiteral("index")).toInt(), 0);
        QCOMPARE(product.value(QStringLiteral("product")).toString(), QStringLiteral("Hammer"));
        QCOMPARE(product.value(QStringLiteral("page")).toInt(), 1);
        // The key order of the output is the documented one.
        QVERIFY(r.out.indexOf("\"kind\"") < r.out.indexOf("\"severity\"") &&
                r.out.indexOf("\"page\"") < r.out.indexOf("\"message\""));
    }

    void warningsAloneExitZeroAndLocaleDecides() {
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir, QStringLiteral("19.90"), QString());
        // "19.90" is no German number: a warning for the cell and an error for the product.
        QCOMPARE(cli({QStringLiteral("check"), file}).code, 3);
        const Run english =
            cli({QStringLiteral("check"), file, QStringLiteral("--locale"), QStringLiteral("en_US")});
        QCOMPARE(english.code, 0);
        QCOMPARE(
            QJsonDocument::fromJson(english.out).object().value(QStringLiteral("findings")).toArray().size(),
            0);
        // --lang chooses the messages and, without --locale, the notation of prices.
        const Run en = cli({QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("check"), file});
        QCOMPARE(en.code, 0);
        const QString other = writeCatalogue(dir, QStringLiteral("ab 5,-"), QString());
        const Run warning =
            cli({QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("check"), other});
        QCOMPARE(warning.code, 3); // not a number, and so no price either
        const QJsonArray findings =
            QJsonDocument::fromJson(warning.out).object().value(QStringLiteral("findings")).toArray();
        QCOMPARE(findings.size(), 2);
        QCOMPARE(findings[0].toObject().value(QStringLiteral("severity")).toString(),
                 QStringLiteral("warning"));
        QVERIFY2(!findings[0]
                      .toObject()
                      .value(QStringLiteral("message"))
                      .toString()
                      .contains(QLatin1String("Zahl")),
                 qPrintable(findings[0].toObject().value(QStringLiteral("message")).toString()));
    }

    void badInputGivesOneAndTwo_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        const QString sample = QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2");
        QTest::newRow("no file") << QStringList{} << 1;
        QTest::newRow("layout out of range") << QStringList{sample, "--layout", "9"} << 1;
        QTest::newRow("unknown locale") << QStringList{sample, "--locale", "xx_YY"} << 1;
        QTest::newRow("unknown option") << QStringList{sample, "--fast"} << 1;
        QTest::newRow("missing file") << QStringList{"/nonexistent/k.pk2"} << 2;
    }
    void badInputGivesOneAndTwo() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const Run r = cli(QStringList{QStringLiteral("check")} + args);
        QCOMPARE(r.code, code);
        QVERIFY(r.out.isEmpty());
        QVERIFY(!r.err.isEmpty());
    }
};

PW_TEST_CLASS(TestCheckCommand)
#include "tst_check.moc"
