#include "testmain.h"

#include "exportfixture.h"
#include "imagelib/PicIO3.h"
#include "model/catalogfile.h"
#include "model/error.h"
#include "output/pageimages.h"
#include "output/pdfexport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

using namespace pw;

namespace {

using test::CancelAfter;

CatalogDocument smallCatalogue(int products) {
    CatalogDocument doc;
    test::fillPlainCatalogue(doc, products);
    return doc;
}

QByteArray qpdf(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("qpdf"), args);
    p.waitForFinished(60000);
    return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}

} // namespace

class TestPdfExport : public QObject {
    Q_OBJECT

private slots:
    void pageGeometry_data() {
        QTest::addColumn<bool>("setSize");
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<double>("margin");
        QTest::addColumn<QList<int>>("sizes"); // points and pixels
        QTest::newRow("printer page, 300 dpi") << false << false << 0.0 << QList<int>{595, 841, 2480, 3508};
        QTest::newRow("set size with 5 mm more") << true << false << 5.0 << QList<int>{623, 870, 2598, 3625};
        QTest::newRow("set size, printer page stretched")
            << true << true << 5.0 << QList<int>{623, 870, 2480, 3508};
    }
    void pageGeometry() {
        QFETCH(bool, setSize);
        QFETCH(bool, stretch);
        QFETCH(double, margin);
        QFETCH(QList<int>, sizes);
        LayoutSettings s;
        s.SetPDFSizeCheck = setSize;
        s.ZerrePDFCheck = stretch;
        s.PDFRandEd = margin;
        s.PDFWidthEd = 210;
        s.PDFHeightED = 297;
        PdfExportSettings e; // A4 at 600 dpi, rendered at 300
        const PdfPageGeometry g = PdfExportGeometry(s, e);
        QCOMPARE((QList<int>{g.pageWidth, g.pageHeight, g.bitmapWidth, g.bitmapHeight}), sizes);
        QCOMPARE(g.widthmm, 4960 / 600.0 * 25.39995); // the engine always lays out the printer page
    }

    void exportsEveryPageAsOnePicture() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("k.pdf"));
        CatalogDocument doc = smallCatalogue(6);
        FixedClock clock(QDate(2026, 12, 10));
        EngineEnvironment env(clock);
        PdfExportSettings e;
        e.dpi = 50;
        e.cmyk = false;
        NoProgress progress;
        QVERIFY(ExportPdf(doc, 0, env, e, file, progress));
        QVERIFY(doc.anzpages > 1);
        QVERIFY(!qpdf({QStringLiteral("--check"), file}).isEmpty());
        // The first page's content: one picture over the whole 595 x 841 page.
        QCOMPARE(qpdf({QStringLiteral("--show-object=2"), QStringLiteral("--filtered-stream-data"), file}),
                 QByteArray("q\n594 0 0 840 0 0 cm\n/Im0 Do\nQ\n"));
        const QByteArray json = qpdf({QStringLiteral("--json"), QStringLiteral("--json-key=pages"), file});
        QCOMPARE(json.count("\"contents\""), doc.anzpages);

        CatalogDocument one = smallCatalogue(1);
        QVERIFY(ExportPdf(one, 0, env, e, file, progress));
        QCOMPARE(one.anzpages, 1);
        QCOMPARE(
            qpdf({QStringLiteral("--json"), QStringLiteral("--json-key=pages"), file}).count("\"contents\""),
            1);
    }

    void sampleCatalogueIsAValidPdf() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("beispiel.pdf"));
        CatalogDocument doc;
        OpenCatalog(doc, QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2"), {});
        FixedClock clock(QDate(2026, 12, 10));
        EngineEnvironment env(clock);
        PdfExportSettings e;
        e.dpi = 40;
        e.cmyk = true;
        NoProgress progress;
        QVERIFY(ExportPdf(doc, 0, env, e, file, progress));
        QVERIFY(doc.anzpages >= 10);
        QVERIFY(qpdf({QStringLiteral("--check"), file}).contains("No syntax or stream encoding errors"));
        QCOMPARE(qpdf({QStringLiteral("--show-npages"), file}).trimmed().toInt(), doc.anzpages);
    }

    void cancelAndFailuresLeaveNoFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("k.pdf"));
        CatalogDocument doc = smallCatalogue(6);
        FixedClock clock(QDate(2026, 12, 10));
        EngineEnvironment env(clock);
        PdfExportSettings e;
        e.dpi = 50;
        CancelAfter cancel(1);
        QVERIFY(!ExportPdf(doc, 0, env, e, file, cancel));
        QVERIFY(!QFile::exists(file));

        NoProgress progress;
        try {
            ExportPdf(doc, 0, env, e, dir.filePath(QStringLiteral("fehlt/k.pdf")), progress);
            QFAIL("no error for a file that cannot be created");
        } catch (const Error& error) {
            QCOMPARE(error.messageNumber(), 49);
        }
        e.dpi = 40000; // a page far too large to hold
        try {
            ExportPdf(doc, 0, env, e, file, progress);
            QFAIL("no error for a page that cannot be held");
        } catch (const Error& error) {
            QVERIFY(error.germanText().contains(QLatin1String("Pixeln")));
        }
        QVERIFY(!QFile::exists(file));
    }
};

class TestImageExport : public QObject {
    Q_OBJECT

private slots:
    void fileNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("file");
        QTest::newRow("no extension: the format's") << "/x/katalog" << int(kFormatJpg) << "/x/katalog1.jpg";
        QTest::newRow("the name's own extension") << "/x/bild.png" << int(kFormatPng) << "/x/bild1.png";
        QTest::newRow("a dot in the folder") << "/x.y/seite" << int(kFormatBmp) << "/x.y/seite1.bmp";
    }
    void fileNames() {
        QFETCH(QString, name);
        QFETCH(int, format);
        QFETCH(QString, file);
        QCOMPARE(PageImageName(name, format, 1), file);
    }

    void pagesOfARangeAtTheirResolution_data() {
        QTest::addColumn<bool>("all");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("all pages") << true << 1 << 1 << QStringList{"k1.png", "k2.png", "k3.png"};
        QTest::newRow("pages 2 to 3") << false << 2 << 3 << QStringList{"k2.png", "k3.png"};
        QTest::newRow("3 to 2: nothing") << false << 3 << 2 << QStringList{};
    }
    void pagesOfARangeAtTheirResolution() {
        QFETCH(bool, all);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QStringList, files);
        QTemporaryDir dir;
        CatalogDocument doc = smallCatalogue(6);
        FixedClock clock(QDate(2026, 12, 10));
        EngineEnvironment env(clock);
        NoProgress progress;
        ImageExportSettings e;
        e.dpi = 72;
        e.format = kFormatPng;
        e.allPages = all;
        e.first = first;
        e.last = last;
        QVERIFY(ExportPageImages(doc, 0, env, e, dir.filePath(QStringLiteral("k")), progress));
        QCOMPARE(doc.anzpages, 3); // every page is rendered
        QDir folder(dir.path());
        QCOMPARE(folder.entryList(QDir::Files, QDir::Name), files);
        for (const QString& f : files)
            QCOMPARE(QImage(dir.filePath(f)).size(), QSize(595, 841)); // A4 at 72 dpi
    }

    void unwritablePageIsAnError() {
        CatalogDocument doc = smallCatalogue(1);
        FixedClock clock(QDate(2026, 12, 10));
        EngineEnvironment env(clock);
        NoProgress progress;
        ImageExportSettings e;
        e.dpi = 20;
        try {
            ExportPageImages(doc, 0, env, e, QStringLiteral("/nonexistent/folder/k.jpg"), progress);
            QFAIL("no error");
        } catch (const Error& error) {
            QCOMPARE(error.messageNumber(), 49);
            QCOMPARE(error.args(), QStringList{QStringLiteral("/nonexistent/folder/k1.jpg")});
        }
    }
};

PW_TEST_CLASS(TestPdfExport)
PW_TEST_CLASS(TestImageExport)
#include "tst_pdfexport.moc"
