#include "testmain.h"

#include "compose/pageframe.h"
#include "compose/text.h"

#include <QTemporaryDir>

using namespace pw;

namespace {

// A page of 1000 x 1500 pixels at 96 dpi; on the recording canvas every character is 10
// pixels wide and every line 20 high. 5 mm are 18 pixels, 2 mm 7.
PageFrameInput input(int page, int drawn = -1) {
    PageFrameInput in;
    in.width = 1000;
    in.height = 1500;
    in.page = page;
    in.seiteedvalue = drawn < 0 ? page : drawn;
    in.today = QDate(2026, 12, 10);
    in.locale = QLocale(QLocale::German, QLocale::Germany);
    return in;
}

LayoutSettings plain() {
    LayoutSettings s;
    s.FussEd = QStringLiteral("ungerade %PAGE%");
    s.FussEd2 = QStringLiteral("gerade %PAGE%");
    s.KopfEd = QStringLiteral("Katalog");
    s.FarbRechtKopfCheck = false;
    s.FarbrechtFussCheck = false;
    s.FilenameEdit1.clear();
    return s;
}

QStringList textsDrawn(const RecordingCanvas& c) {
    QStringList out;
    for (const QString& call : c.calls()) {
        if (call.startsWith(QLatin1String("TextOut")))
            out.append(call);
    }
    return out;
}

} // namespace

class TestPageFrame : public QObject {
    Q_OBJECT
    FramePictures noPictures;

private slots:
    void footerSides_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("swap");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<bool>("alwaysLeft");
        QTest::addColumn<QString>("footer");
        QTest::newRow("odd page: odd text on the left")
            << 1 << false << false << false << "TextOut 18 1462 ungerade 1";
        QTest::newRow("even page: even text on the right")
            << 2 << false << false << false << "TextOut 902 1462 gerade 2";
        QTest::newRow("swapped odd page") << 1 << true << false << false << "TextOut 902 1462 gerade 1";
        QTest::newRow("swapped even page") << 2 << true << false << false << "TextOut 18 1462 ungerade 2";
        QTest::newRow("centred") << 1 << false << true << false << "TextOut 450 1462 ungerade 1";
        QTest::newRow("always left") << 2 << false << false << true << "TextOut 18 1462 gerade 2";
    }
    void footerSides() {
        QFETCH(int, page);
        QFETCH(bool, swap);
        QFETCH(bool, centred);
        QFETCH(bool, alwaysLeft);
        QFETCH(QString, footer);
        LayoutSettings s = plain();
        s.xchangecheck = swap;
        s.ZentrFussCheck = centred;
        s.FooterLeftCheck = alwaysLeft;
        RecordingCanvas c;
        PageFrame(c, s, noPictures, input(page));
        QCOMPARE(textsDrawn(c), (QStringList{"TextOut 18 7 Katalog", footer}));
    }

    void placeholders() {
        LayoutSettings s = plain();
        s.FirstPageNr = 0;
        LastKatTable kats;
        kats.set(1, QStringLiteral("Garten"));
        PageFrameInput in = input(1);
        in.lastkat = &kats;
        QCOMPARE(ExpandFooterText(QStringLiteral("[%page%] %DATE% %Category%"), s, in),
                 QStringLiteral("[] 10.12.26 Garten"));
        s.FirstPageNr = 5;
        QCOMPARE(ExpandFooterText(QStringLiteral("%PAGE%"), s, in), QStringLiteral("5"));
        s.KopfEd = QStringLiteral("Katalog – %category%");
        RecordingCanvas c;
        PageFrame(c, s, noPictures, in);
        QCOMPARE(textsDrawn(c).first(), QStringLiteral("TextOut 18 7 Katalog – Garten"));
    }

    void heightsOfHeaderAndFooter() {
        LayoutSettings s = plain();
        RecordingCanvas c;
        PageFrameResult r = PageFrame(c, s, noPictures, input(1));
        QCOMPARE(r.headerPx, 20 + 18);
        QCOMPARE(r.headerMm, TextHeightMM(c, QStringLiteral(" "), 24) + 5);
        QCOMPARE(r.footerPx, 20 + 18 + 18); // text, space above, 5 mm
        s.Fuss2Ed = QStringLiteral("Zusatz");
        s.KopfEdmm = 0; // the header text then overlaps the content
        r = PageFrame(c, s, noPictures, input(1));
        QCOMPARE(r.headerPx, 0);
        QCOMPARE(r.headerMm, 0.0);
        QCOMPARE(r.footerPx, 20 + 20 + 18 + 18);
    }

    void emptyTextsShowNothing() {
        LayoutSettings s = plain();
        s.KopfEd.clear();
        s.FarbRechtKopfCheck = true;
        s.FussEd.clear();
        s.FussEd2 = QStringLiteral("gerade");
        s.Fuss2Ed = QStringLiteral("Zusatz");
        s.FarbrechtFussCheck = true;
        RecordingCanvas c;
        const PageFrameResult r = PageFrame(c, s, noPictures, input(2));
        QVERIFY(c.calls().isEmpty());
        QCOMPARE(r.headerPx + r.footerPx, 0);
    }

    void coverPagesHaveNeitherHeaderNorFooter_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("framed");
        QTest::newRow("first") << 1 << false;
        QTest::newRow("middle") << 3 << true;
        QTest::newRow("last of the previous run") << 5 << false;
    }
    void coverPagesHaveNeitherHeaderNorFooter() {
        QFETCH(int, page);
        QFETCH(bool, framed);
        LayoutSettings s = plain();
        s.CoverCheck = true;
        PageFrameInput in = input(page);
        in.anzpages = 5;
        RecordingCanvas c;
        const PageFrameResult r = PageFrame(c, s, noPictures, in);
        QCOMPARE(textsDrawn(c).size(), framed ? 2 : 0);
        QCOMPARE(r.footerPx > 0, framed);
    }

    void gradientRunsFromTheFirstColourToTheSecond() {
        LayoutSettings s = plain();
        s.KopfEd.clear();
        s.FussEd.clear();
        s.BackgroundColorCheck = true;
        s.Shape5 = 0x00000000;
        s.Shape6 = 0x00FF00FF; // magenta
        QImage img(10, 100, QImage::Format_RGB32);
        {
            PainterCanvas c(&img);
            PageFrameInput in = input(1);
            in.width = 10;
            in.height = 100;
            PageFrame(c, s, noPictures, in);
        }
        // row J - 1 gets c5 * (100 - J) div 100 + J * c6 div 100
        QCOMPARE(img.pixel(3, 0), qRgb(2, 0, 2));
        QCOMPARE(img.pixel(3, 49), qRgb(127, 0, 127));
        QCOMPARE(img.pixel(3, 99), qRgb(255, 0, 255));
    }

    void tilesStepOnAtTinyZooms() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("tile.bmp"));
        dib tile;
        QVERIFY(newdib(tile, 4, 4, 24, nullptr, 0));
        QVERIFY(SaveDib(tile, file, kFormatBmp));
        LayoutSettings s = plain();
        s.FilenameEdit2 = file;
        s.LightenCheck = false;
        FramePictures pictures;
        pictures.update(s);
        QVERIFY(pictures.di2().poi);
        QImage img(200, 200, QImage::Format_RGB32);
        PainterCanvas c(&img);
        PageFrameInput in = input(1);
        in.width = 200;
        in.height = 200;
        in.zoom = 0.01;                // tiles of 0 pixels
        PageFrame(c, s, pictures, in); // returns instead of looping for ever
        in.zoom = 100;
        img.fill(Qt::white);
        PageFrame(c, s, pictures, in);
        QCOMPARE(img.pixel(100, 150), qRgb(0, 0, 0)); // the black tile covers the page
    }

    void borderIsDrawnOnEveryCall() {
        LayoutSettings s = plain();
        s.RahmenCheck = true;
        RecordingCanvas c;
        PageFrame(c, s, noPictures, input(2, 1)); // page 2 while page 1 is drawn
        QVERIFY(textsDrawn(c).isEmpty());
        // margins 12, 2, 12, 5 mm are 45, 7, 45, 18 pixels
        QVERIFY(c.calls().contains(QStringLiteral("LineTo 45 3 955 3")));
        QVERIFY(c.calls().contains(QStringLiteral("LineTo 22 7 22 1482")));
        QVERIFY(c.calls().contains(QStringLiteral("Arc 0 0 45 7 22 7 45 3")));
        QCOMPARE(c.brush.style, BrushStyle::Clear);
    }
};

PW_TEST_CLASS(TestPageFrame)
#include "tst_pageframe.moc"
