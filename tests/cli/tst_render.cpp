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
        // The window's own choice, kept in the user's settings, must not reach the tool: the
        // same command line gives the same file on every machine.
        QTest::newRow("CMYK without an option, whatever the window chose") << ""
                                                                           << "cmyk";
    }
    void pdfWritesTheChosenColours() {
        QFETCH(QString, option);
        QFETCH(QString, colour);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("k.pdf"));
        QDir(dir.path()).mkpath(QStringLiteral("config/Pagewright"));
        QFile options(dir.filePath(QStringLiteral("config/Pagewright/Pagewright.conf")));
        QVERIFY(options.open(QIODevice::WriteOnly));
        options.write("[MainForm]\nPDFDateienmitCMYKFarbenausgeben1=false\n");
        options.close();
        const QByteArray configBefore = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        QStringList args{"pdf", writeCatalogue(dir), "-o", out, "--dpi", "30"};
        if (!option.isEmpty())
            args << option;
        const Run r = cli(args);
        qputenv("XDG_CONFIG_HOME", configBefore);
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

    // --predictor stores the pages with the "Up" predictor; a reader draws them as the
    // pages of the plain file.
    void pdfPredictorKeepsThePages() {
        QTemporaryDir dir;
        const QString catalogue = writeCatalogue(dir);
        const auto pdf = [&](const QString& name, bool predictor) {
            QStringList args{"pdf", catalogue, "-o", dir.filePath(name), "--dpi", "30", "--rgb"};
            if (predictor)
                args << "--predictor";
            const Run r = cli(args);
            QFile f(dir.filePath(name));
            return r.code == 0 && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray plain = pdf(QStringLiteral("plain.pdf"), false);
        const QByteArray predicted = pdf(QStringLiteral("up.pdf"), true);
        QVERIFY(!plain.contains("/Predictor"));
        QCOMPARE(predicted.count("/DecodeParms << /Predictor 12 /Colors 3"), 3); // one per page
        const auto rendered = [&](const QString& name) {
            QProcess p;
            p.start(QStringLiteral("pdftoppm"),
                    {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"), dir.filePath(name),
                     dir.filePath(name + QStringLiteral("-p"))});
            if (!p.waitForFinished(60000) || p.exitCode() != 0)
                return QList<QImage>();
            QList<QImage> pages;
            for (int page = 1; page <= 3; ++page)
                pages << QImage(dir.filePath(name + QStringLiteral("-p-%1.png").arg(page)));
            return pages;
        };
        const QList<QImage> expected = rendered(QStringLiteral("plain.pdf"));
        QCOMPARE(expected.size(), 3);
        QVERIFY(!expected[0].isNull());
        QCOMPARE(rendered(QStringLiteral("up.pdf")), expected);
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
        const QString file = writeCatalogue(dir);
        const Run r = cli({"html", file, "-o", out, "--dpi", "20", "--zoom-dpi", "30", "--lang", "fr"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        QFile html(out + QStringLiteral("/catalog.htm"));
        QVERIFY(html.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(html.readAll());
        QVERIFY(!text.contains(QStringLiteral("%%")));
        QVERIFY(text.contains(QStringLiteral("Précédent")));
        // Every word the page shows is French: no German word of the template is left.
        QVERIFY(text.contains(QStringLiteral("<html lang=\"fr\">")));
        QVERIFY(text.contains(QStringLiteral("data-pages-of=\"Pages %1 et %2 sur %3\"")));
        for (const char* german : {"Katalog", "Blättern", "Verkleinern", "Vergrößern", "Seite", "Zurück",
                                   "Vorwärts", "Erste", "Letzte", "einschalten", " von ", " und "})
            QVERIFY2(!text.contains(QString::fromUtf8(german)), german);
        QVERIFY(QFile::exists(out + QStringLiteral("/vcr-start.gif")));
        QCOMPARE(QImage(out + QStringLiteral("/catalogpageflip1.jpg")).size(), QSize(165, 233));
        // The sharp pages at --zoom-dpi, and the page told how wide they are.
        QCOMPARE(QImage(out + QStringLiteral("/catalogextras/zoom1.jpg")).size(), QSize(248, 350));
        QVERIFY(text.contains(QStringLiteral("data-zoom-width=\"248\"")));
        QVERIFY(QFile::exists(out + QStringLiteral("/catalogextras/thumb1.jpg")));
        const QString plain = dir.filePath(QStringLiteral("ohne"));
        QCOMPARE(cli({"html", file, "-o", plain, "--dpi", "20", "--zoom-dpi", "0"}).code, 0);
        QVERIFY(!QFile::exists(plain + QStringLiteral("/catalogextras/zoom1.jpg")));
        QVERIFY(QFile::exists(plain + QStringLiteral("/catalogextras/thumb1.jpg")));
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

    // The preview shows a page outside the catalogue as an empty sheet; the command writes
    // that picture too, but says so, with the page count.
    void pageOutsideTheCatalogueWarns_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("warned");
        QTest::newRow("page 0") << "0" << true;
        QTest::newRow("negative page") << "-3" << true;
        QTest::newRow("page after the last") << "@after" << true;
        QTest::newRow("last page is no fault") << "@last" << false;
    }
    void pageOutsideTheCatalogueWarns() {
        QFETCH(QString, page);
        QFETCH(bool, warned);
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        const Run pages = cli({"pages", file});
        QCOMPARE(pages.code, 0);
        const int count = QJsonDocument::fromJson(pages.out).object().value("anzpages").toInt();
        QVERIFY(count > 1);
        page.replace(QStringLiteral("@after"), QString::number(count + 1))
            .replace(QStringLiteral("@last"), QString::number(count));
        const QString out = dir.filePath(QStringLiteral("p.png"));
        const Run r = cli({"render", file, "--page", page, "-o", out, "--dpi", "30"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QImage(out).isNull());
        if (!warned) {
            QVERIFY2(r.err.isEmpty(), r.err.constData());
            return;
        }
        const QString err = QString::fromUtf8(r.err);
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(err.contains(file) && err.contains(QStringLiteral("Seite %1 ").arg(page)) &&
                     err.contains(QStringLiteral("%1 Seiten").arg(count)),
                 r.err.constData());
    }

    // A resolution whose page would not fit a page bitmap (400 million pixels) is refused
    // at once, with the real limit in the message, instead of failing after the layout.
    void dpiBeyondThePageLimitIsAUsageError_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("range");
        // A4 (4960 x 7016 at 600 dpi) holds 400 million pixels up to 2034 dpi.
        QTest::newRow("render at its old highest resolution")
            << QStringList{"render", "@file", "--page", "1", "-o", "@dir/x.png", "--dpi", "2400"}
            << "--dpi erwartet 1 bis 2034";
        QTest::newRow("render zoomed tenfold")
            << QStringList{"render",     "@file", "--page", "1",      "-o",
                           "@dir/x.png", "--dpi", "300",    "--zoom", "1000"}
            << "--dpi erwartet 1 bis 203";
        QTest::newRow("pdf at its old highest resolution")
            << QStringList{"pdf", "@file", "-o", "@dir/x.pdf", "--dpi", "4000"}
            << "--dpi erwartet 10 bis 2034";
        QTest::newRow("pdf on A3") << QStringList{"pdf",   "@file", "-o",      "@dir/x.pdf",
                                                  "--dpi", "2000",  "--paper", "A3"}
                                   << "--dpi erwartet 10 bis 1438";
        QTest::newRow("images above the dialog's range")
            << QStringList{"images", "@file", "-o", "@dir/s.png", "--dpi", "1441"}
            << "--dpi erwartet 10 bis 1440";
        QTest::newRow("images on A3 at the dialog's highest")
            << QStringList{"images", "@file", "-o", "@dir/s.png", "--dpi", "1440", "--paper", "A3"}
            << "--dpi erwartet 10 bis 1438";
        QTest::newRow("html on A3 at the dialog's highest")
            << QStringList{"html", "@file", "-o", "@dir/flip", "--dpi", "1440", "--paper", "A3"}
            << "--dpi erwartet 10 bis 1438";
        QTest::newRow("html's sharp pages on A3 at the dialog's highest")
            << QStringList{"html", "@file", "-o", "@dir/flip", "--zoom-dpi", "1440", "--paper", "A3"}
            << "--zoom-dpi erwartet 0 bis 1438";
        QTest::newRow("dpi below the lowest")
            << QStringList{"images", "@file", "-o", "@dir/s.png", "--dpi", "9"}
            << "--dpi erwartet eine ganze Zahl ab 10";
    }
    void dpiBeyondThePageLimitIsAUsageError() {
        QFETCH(QStringList, args);
        QFETCH(QString, range);
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        for (QString& a : args)
            a.replace(QStringLiteral("@file"), file).replace(QStringLiteral("@dir"), dir.path());
        const Run r = cli(args);
        QCOMPARE(r.code, 1);
        QVERIFY2(QString::fromUtf8(r.err).contains(range), r.err.constData());
        QCOMPARE(r.err.count('\n'), 1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("k.pk2")});
    }

    // A catalogue's own PDF size can be far larger than the paper: the limit then follows
    // from it, and the export stops before it writes anything.
    void pdfSizeOfTheCatalogueLimitsTheResolution() {
        QTemporaryDir dir;
        const QString file = writeCatalogue(dir);
        CatalogDocument doc;
        OpenCatalog(doc, file, ReadOptions{});
        doc.settings.SetPDFSizeCheck = true;
        doc.settings.PDFWidthEd = doc.settings.PDFHeightED = 1000;
        SaveTheFile(doc, file);
        const QString out = dir.filePath(QStringLiteral("x.pdf"));
        // 1000 mm square: 20,000 pixels a side at 508 dpi.
        const Run r = cli({"pdf", file, "-o", out, "--dpi", "600"});
        QCOMPARE(r.code, 1);
        QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("--dpi erwartet 10 bis 508")),
                 r.err.constData());
        QVERIFY(!QFile::exists(out));
    }

    // Page pictures say the resolution they were drawn at, so that programs that place
    // them print them at their size.
    void pagePicturesRecordTheirResolution_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("PNG") << "s.png";
        QTest::newRow("JPEG") << "s.jpg";
        QTest::newRow("BMP") << "s.bmp";
        QTest::newRow("TIFF") << "s.tif";
    }
    void pagePicturesRecordTheirResolution() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString base = dir.filePath(name);
        const Run r =
            cli({"images", writeCatalogue(dir), "-o", base, "--dpi", "150", "--from", "1", "--to", "1"});
        QCOMPARE(r.code, 0);
        const QImage page(dir.filePath(QString(name).insert(1, QLatin1Char('1'))));
        QVERIFY(!page.isNull());
        // 150 dpi is 5905.5 dots per metre; JPEG stores whole dots per inch.
        QVERIFY2(qAbs(page.dotsPerMeterX() - 5906) <= 1 && qAbs(page.dotsPerMeterY() - 5906) <= 1,
                 qPrintable(QString::number(page.dotsPerMeterX())));
    }
    void renderedPageRecordsItsResolution() {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("p.png"));
        QCOMPARE(cli({"render", writeCatalogue(dir), "--page", "1", "-o", out, "--dpi", "150"}).code, 0);
        QCOMPARE(QImage(out).dotsPerMeterX(), 5906);
        // A zoomed preview is drawn at the resolution times the zoom.
        QCOMPARE(
            cli({"render", writeCatalogue(dir), "--page", "1", "-o", out, "--dpi", "100", "--zoom", "50"})
                .code,
            0);
        QCOMPARE(QImage(out).dotsPerMeterX(), 1969);
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
        QTest::newRow("html with sharp pages below 10 dpi")
            << QStringList{"html", "@file", "-o", "@dir/flip", "--zoom-dpi", "5"} << 1
            << "--zoom-dpi erwartet 0 (keine scharfen Seiten) oder 10 bis 1440";
        QTest::newRow("html with sharp pages above the dialog's range")
            << QStringList{"html", "@file", "-o", "@dir/flip", "--zoom-dpi", "1441"} << 1 << "--zoom-dpi";
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
