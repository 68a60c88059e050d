#include "testmain.h"

#include "clirun.h"
#include "model/catalogfile.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace pw;
using pw::test::cli;
using pw::test::Run;

namespace {

// Three categories, the second deactivated, the third with a deactivated product; each
// product has 25 description lines, so that two fit on an A4 page.
QString writeCatalogue(const QTemporaryDir& dir, bool cover = false) {
    CatalogDocument doc;
    LayoutSettings& s = doc.settings;
    s.BackgroundColorCheck = false;
    s.RahmenCheck = false;
    s.LogoChecked = false;
    s.FilenameEdit1.clear();
    s.FussEd.clear();
    s.KopfEd = QStringLiteral("Kopf");
    s.FarbRechtKopfCheck = true;
    s.Shape1 = 0x000000FF; // red
    s.CoverCheck = cover;
    s.OnlyOneColumnCheck = true;
    QStringList lines;
    for (int i = 0; i < 25; ++i)
        lines.append(QStringLiteral("Zeile %1").arg(i));
    const char* names[] = {"Werkzeug", "Alt", "Garten"};
    for (int k = 0; k < 3; ++k) {
        doc.addCategory(QString::fromUtf8(names[k]));
        for (int i = 0; i < 3; ++i) {
            TProdukt& p = *doc.products(k).Add();
            SetProductTableDefaults(p);
            p.name = QStringLiteral("%1 %2").arg(QString::fromUtf8(names[k])).arg(i);
            p.desc = lines.join(QLatin1Char('\n'));
            p.DeactivateProd = k == 2 && i == 1;
        }
    }
    doc.createOptions(1).Deactivate = true;
    const QString path = dir.filePath(QStringLiteral("k.pk2"));
    SaveTheFile(doc, path);
    return path;
}

} // namespace

class TestRenderCommands : public QObject {
    Q_OBJECT

private slots:
    void bitmapSizeFollowsThePrinterPage_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QSize>("size");
        QTest::newRow("A4 at 96 dpi") << QStringList{} << QSize(793, 1122);
        QTest::newRow("zoom 50") << QStringList{"--zoom", "50"} << QSize(396, 561);
        QTest::newRow("zoom 200, 150 dpi") << QStringList{"--zoom=200", "--dpi", "150"} << QSize(2480, 3508);
        QTest::newRow("A5 on a 300 dpi printer")
            << QStringList{"--paper", "A5", "--printer-dpi", "300"} << QSize(559, 793);
    }
    void bitmapSizeFollowsThePrinterPage() {
        QFETCH(QStringList, options);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("p.png"));
        const Run r = cli(QStringList{"render", writeCatalogue(dir), "--page", "1", "-o", out} + options);
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(QImage(out).size(), size);
    }

    void previewAddsTheOutline() {
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        const QString plain = dir.filePath(QStringLiteral("a.png"));
        const QString preview = dir.filePath(QStringLiteral("b.png"));
        QCOMPARE(cli({"render", file, "--page", "2", "-o", plain}).code, 0);
        QCOMPARE(cli({"render", file, "--page", "2", "-o", preview, "--preview"}).code, 0);
        const QImage a(plain);
        const QImage b(preview);
        QCOMPARE(QColor(a.pixel(a.width() - 1, a.height() / 2)), QColor(Qt::white));
        QCOMPARE(QColor(b.pixel(b.width() - 1, b.height() / 2)), QColor(Qt::black));
    }

    void coverRuleReadsTheMeasuringRun() {
        // Page 1 and the last page are covers without a header; the tool's measuring run
        // makes the page count known before the last page is drawn.
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir, true);
        const QJsonObject pages = QJsonDocument::fromJson(cli({"pages", file}).out).object();
        const int last = pages.value(QStringLiteral("anzpages")).toInt();
        QVERIFY(last >= 3);
        for (int page : {1, 2, last}) {
            const QString out = dir.filePath(QStringLiteral("p%1.png").arg(page));
            QCOMPARE(cli({"render", file, "--page", QString::number(page), "-o", out}).code, 0);
            const bool header = QColor(QImage(out).pixel(400, 2)) == QColor(Qt::red);
            QCOMPARE(header, page == 2);
        }
    }

    void pagesListsEveryActiveEntry() {
        QTemporaryDir dir;
        const Run r = cli({"pages", writeCatalogue(dir), "--runs", "2"});
        QCOMPARE(r.code, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.keys(), (QStringList{"anzpages", "kats"}));
        const QJsonArray kats = o.value(QStringLiteral("kats")).toArray();
        QCOMPARE(kats.size(), 2);
        QCOMPARE(kats[0].toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Werkzeug"));
        QCOMPARE(kats[0].toObject().value(QStringLiteral("seite")).toInt(), 1);
        QList<int> seiten;
        QStringList names;
        for (const QJsonValue& k : kats) {
            for (const QJsonValue& p : k.toObject().value(QStringLiteral("products")).toArray()) {
                names.append(p.toObject().value(QStringLiteral("name")).toString());
                seiten.append(p.toObject().value(QStringLiteral("seite")).toInt());
            }
        }
        QCOMPARE(names, (QStringList{"Werkzeug 0", "Werkzeug 1", "Werkzeug 2", "Garten 0", "Garten 2"}));
        QCOMPARE(seiten, (QList<int>{1, 1, 2, 3, 3}));
        QCOMPARE(kats[1].toObject().value(QStringLiteral("seite")).toInt(), 3);
        QCOMPARE(o.value(QStringLiteral("anzpages")).toInt(), 3);
    }

    void pdfWritesTheChosenColours_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("colour");
        QTest::newRow("RGB") << "--rgb"
                             << "rgb";
        QTest::newRow("CMYK") << "--cmyk"
                              << "cmyk";
    }
    void pdfWritesTheChosenColours() {
        QFETCH(QString, option);
        QFETCH(QString, colour);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("k.pdf"));
        const Run r = cli({"pdf", writeCatalogue(dir), "-o", out, option, "--dpi", "30"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        QProcess check;
        check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), out});
        QVERIFY(check.waitForFinished(60000) && check.exitCode() == 0);
        QProcess list;
        list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), out});
        QVERIFY(list.waitForFinished(60000));
        const QString images = QString::fromLatin1(list.readAllStandardOutput());
        QCOMPARE(images.count(QLatin1Char(' ') + colour + QLatin1Char(' ')), 3); // one picture per page
    }

    void imagesArePagesNamedByNumber() {
        QTemporaryDir dir;
        const Run r = cli({"images", writeCatalogue(dir), "-o", dir.filePath(QStringLiteral("seite")),
                           "--dpi", "30", "--from", "2", "--to", "3"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("seite*")}, QDir::Files, QDir::Name),
                 (QStringList{"seite2.jpg", "seite3.jpg"}));
        QCOMPARE(QImage(dir.filePath(QStringLiteral("seite2.jpg"))).size(), QSize(248, 350));
    }

    void htmlWritesTheFlipCatalogue() {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("flip"));
        const Run r = cli({"html", writeCatalogue(dir), "-o", out, "--dpi", "20", "--lang", "fr"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        QFile html(out + QStringLiteral("/catalog.htm"));
        QVERIFY(html.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(html.readAll());
        QVERIFY(!text.contains(QStringLiteral("%%")));
        QVERIFY(text.contains(QStringLiteral("Précédent")));
        QVERIFY(QFile::exists(out + QStringLiteral("/vcr-start.gif")));
        QCOMPARE(QImage(out + QStringLiteral("/catalogpageflip1.jpg")).size(), QSize(165, 233));
    }

    void pricelistAsTextAndPdf() {
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        const QString text = dir.filePath(QStringLiteral("p.txt"));
        QCOMPARE(cli({"pricelist", file, "-o", text}).code, 0);
        QFile f(text);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray lines = f.readAll();
        QVERIFY(lines.startsWith("Preisliste\n\nWerkzeug 0\n"));
        QVERIFY(lines.contains("\nAlt 1\n")); // deactivated categories and products are listed too
        const QString pdf = dir.filePath(QStringLiteral("p.pdf"));
        QCOMPARE(cli({"pricelist", file, "-o", pdf}).code, 0);
        QProcess check;
        check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
        QVERIFY(check.waitForFinished(60000) && check.exitCode() == 0);
        QCOMPARE(cli({"pricelist", file, "-o", dir.filePath(QStringLiteral("p.doc"))}).code, 1);
    }

    void errors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("stderrHas");
        QTest::newRow("render without a page")
            << QStringList{"render", "@file", "-o", "@dir/x.png"} << 1 << "--page";
        QTest::newRow("render without output") << QStringList{"render", "@file", "--page", "1"} << 1 << "-o";
        QTest::newRow("layout out of range")
            << QStringList{"render", "@file", "--page", "1", "-o", "@dir/x.png", "--layout", "9"} << 1
            << "--layout";
        QTest::newRow("unwritable picture")
            << QStringList{"render", "@file", "--page", "1", "-o", "@dir/no/such/x.png"} << 2
            << "@dir/no/such/x.png";
        QTest::newRow("missing catalogue") << QStringList{"pages", "@dir/fehlt.pk2"} << 2 << "fehlt.pk2";
        QTest::newRow("pdf with both colour options")
            << QStringList{"pdf", "@file", "-o", "@dir/x.pdf", "--rgb", "--cmyk"} << 1 << "--cmyk";
        QTest::newRow("images in an unknown format")
            << QStringList{"images", "@file", "-o", "@dir/seite.xyz"} << 1 << ".xyz";
        QTest::newRow("images with half a range")
            << QStringList{"images", "@file", "-o", "@dir/seite.png", "--from", "2"} << 1 << "--to";
        QTest::newRow("images into a missing folder")
            << QStringList{"images", "@file", "-o", "@dir/no/seite.png", "--dpi", "20"} << 2
            << "@dir/no/seite1.png";
        QTest::newRow("html without a folder") << QStringList{"html", "@file"} << 1 << "-o";
        QTest::newRow("html below a file")
            << QStringList{"html", "@file", "-o", "@file/flip", "--dpi", "20"} << 2 << "@file/flip";
        QTest::newRow("pdf into a missing folder")
            << QStringList{"pdf", "@file", "-o", "@dir/no/x.pdf", "--dpi", "30"} << 2 << "@dir/no/x.pdf";
    }
    void errors() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, stderrHas);
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        for (QString& a : args)
            a.replace(QStringLiteral("@file"), file).replace(QStringLiteral("@dir"), dir.path());
        stderrHas.replace(QStringLiteral("@file"), file).replace(QStringLiteral("@dir"), dir.path());
        const Run r = cli(args);
        QCOMPARE(r.code, code);
        QVERIFY2(QString::fromUtf8(r.err).contains(stderrHas), r.err.constData());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.out.isEmpty());
    }
};

PW_TEST_CLASS(TestRenderCommands)
#include "tst_render.moc"
