#include "testmain.h"

#include "compose/canvas.h"

#include <QImage>

using namespace pw;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr quint32 kRed = 0x000000FF; // 0x00BBGGRR
constexpr QRgb kRedRgb = 0xFFFF0000;

QImage blank(int w = 40, int h = 30) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kWhite);
    return img;
}

// The pixels of a row (or column) that are not white, as a list of coordinates.
QList<int> inkInRow(const QImage& img, int y) {
    QList<int> xs;
    for (int x = 0; x < img.width(); ++x) {
        if (img.pixel(x, y) != kWhite)
            xs.append(x);
    }
    return xs;
}

QList<int> inkInColumn(const QImage& img, int x) {
    QList<int> ys;
    for (int y = 0; y < img.height(); ++y) {
        if (img.pixel(x, y) != kWhite)
            ys.append(y);
    }
    return ys;
}

QList<int> range(int from, int to) {
    QList<int> r;
    for (int i = from; i < to; ++i)
        r.append(i);
    return r;
}

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT
private slots:
    void lineLeavesTheEndPointOut_data() {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QList<QPoint>>("ink");
        QTest::newRow("rightwards") << QPoint(2, 5) << QPoint(6, 5)
                                    << QList<QPoint>{{2, 5}, {3, 5}, {4, 5}, {5, 5}};
        QTest::newRow("leftwards") << QPoint(6, 5) << QPoint(2, 5)
                                   << QList<QPoint>{{3, 5}, {4, 5}, {5, 5}, {6, 5}};
        QTest::newRow("upwards") << QPoint(4, 8) << QPoint(4, 5) << QList<QPoint>{{4, 6}, {4, 7}, {4, 8}};
        QTest::newRow("diagonal") << QPoint(1, 1) << QPoint(4, 4) << QList<QPoint>{{1, 1}, {2, 2}, {3, 3}};
    }
    void lineLeavesTheEndPointOut() {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QList<QPoint>, ink);
        QImage img = blank(12, 12);
        {
            PainterCanvas c(&img);
            c.pen.color = kRed;
            c.MoveTo(from.x(), from.y());
            c.LineTo(to.x(), to.y());
            QCOMPARE(QPoint(c.penX(), c.penY()), to);
        }
        QList<QPoint> drawn;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x) {
                if (img.pixel(x, y) != kWhite)
                    drawn.append({x, y});
            }
        }
        std::sort(ink.begin(), ink.end(),
                  [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
        QCOMPARE(drawn, ink);
    }

    void penEndsAreToldApart_data() {
        QTest::addColumn<int>("ends");
        QTest::addColumn<QList<int>>("row");
        QTest::newRow("flat stops at the end points") << int(PenEnds::Flat) << range(10, 30);
        QTest::newRow("square reaches half the width beyond") << int(PenEnds::Square) << range(7, 33);
    }
    void penEndsAreToldApart() {
        QFETCH(int, ends);
        QFETCH(QList<int>, row);
        QImage img = blank(40, 20);
        {
            PainterCanvas c(&img);
            c.pen = {kRed, 6, PenStyle::Solid, PenEnds(ends)};
            c.MoveTo(10, 10);
            c.LineTo(30, 10);
        }
        QCOMPARE(inkInRow(img, 10), row);
        QCOMPARE(inkInColumn(img, 20), range(7, 13)); // six pixels across
    }

    void roundEndsAreRounded() {
        QImage img = blank(40, 20);
        {
            PainterCanvas c(&img);
            c.pen = {kRed, 6, PenStyle::Solid, PenEnds::Round};
            c.MoveTo(10, 10);
            c.LineTo(30, 10);
        }
        QVERIFY(img.pixel(8, 10) != kWhite); // beyond the end point on the axis
        QCOMPARE(img.pixel(7, 7), kWhite);   // but not in the corner a square end fills
    }

    void rectangleFillsUpToButExcludingTheSecondCorner() {
        QImage img = blank();
        {
            PainterCanvas c(&img);
            c.brush = {0x0000FF00, BrushStyle::Solid};
            c.pen.color = kRed;
            c.Rectangle(5, 4, 15, 10);
        }
        QCOMPARE(inkInRow(img, 7), range(5, 15));
        QCOMPARE(inkInColumn(img, 10), range(4, 10));
        QCOMPARE(img.pixel(5, 7), kRedRgb);      // outline
        QCOMPARE(img.pixel(14, 7), kRedRgb);     // outline on x2 - 1
        QCOMPARE(img.pixel(10, 7), 0xFF00FF00u); // fill
    }

    void rectangleWithAClearPenStopsOnePixelShort() {
        QImage img = blank();
        {
            PainterCanvas c(&img);
            c.brush = {0x0000FF00, BrushStyle::Solid};
            c.pen.style = PenStyle::Clear;
            c.Rectangle(5, 4, 15, 10);
        }
        QCOMPARE(inkInRow(img, 7), range(5, 14));
        QCOMPARE(inkInColumn(img, 10), range(4, 9));
    }

    void textOutFillsTheCellOnlyWithASolidBrush() {
        for (const bool solid : {true, false}) {
            QImage img = blank(120, 40);
            int w = 0;
            int h = 0;
            {
                PainterCanvas c(&img);
                c.SetFont(MakeDefaultFont("Arial", 16, false, 0x00000000));
                c.brush = {0x00FF0000, solid ? BrushStyle::Solid : BrushStyle::Clear};
                w = c.TextWidth(QStringLiteral("Ab"));
                h = c.TextHeight(QStringLiteral("Ab"));
                c.TextOut(10, 5, QStringLiteral("Ab"));
                QCOMPARE(c.penX(), 10 + w);
            }
            const QRgb blue = 0xFF0000FF;
            QCOMPARE(img.pixel(10, 5) == blue, solid); // top left of the cell
            QCOMPARE(img.pixel(10 + w - 1, 5 + h - 1) == blue, solid);
            QCOMPARE(img.pixel(10 + w, 5), kWhite); // nothing right of the cell
            QCOMPARE(img.pixel(9, 5), kWhite);
            QVERIFY(!inkInRow(img, 5 + h / 2).isEmpty()); // glyphs drawn either way
        }
    }

    void stringWidthIsTheSumOfItsCharacters() {
        QImage img = blank();
        PainterCanvas c(&img);
        c.SetFont(MakeDefaultFont("Arial", 15, false, 0));
        c.font.PixelsPerInch = 300;
        const QString text = QStringLiteral("Wasserwaage AVATAR Tiefe fi ffl «Größe» 12,95 €");
        int sum = 0;
        for (QChar ch : text)
            sum += c.TextWidth(QString(ch));
        QCOMPARE(c.TextWidth(text), sum);
    }

    void fontPixelSizeFollowsPixelsPerInch() {
        FontSpec f = MakeDefaultFont("Arial", 16, false, 0); // 12 pt
        QCOMPARE(MakeQFont(f).pixelSize(), 16);
        f.PixelsPerInch = 300;
        QCOMPARE(MakeQFont(f).pixelSize(), 50);
        f.Size = 0;
        QCOMPARE(MakeQFont(f).pixelSize(), 1);
        bool bold = false;
        QCOMPARE(MapFaceName(QStringLiteral("Arial Black"), &bold), QStringLiteral("DejaVu Sans"));
        QVERIFY(bold);
        QCOMPARE(MapFaceName(QStringLiteral("Times New Roman")), QStringLiteral("Liberation Serif"));
        QCOMPARE(MapFaceName(QStringLiteral("Verdana")), QStringLiteral("Verdana"));
    }

    void systemColoursDrawAsTheirStandardValues() {
        QCOMPARE(ToQColor(kColorWindowText), QColor(0, 0, 0));
        QCOMPARE(ToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
    }

    void arcRunsCounterClockwiseBetweenItsRays() {
        QImage img = blank(40, 40);
        {
            PainterCanvas c(&img);
            c.pen.color = kRed;
            // from the ray to the right to the ray upwards: the upper right quarter only
            c.Arc(0, 0, 40, 40, 40, 20, 20, 0);
        }
        int upperRight = 0;
        int elsewhere = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                if (img.pixel(x, y) == kWhite)
                    continue;
                (x >= 19 && y <= 20 ? upperRight : elsewhere)++;
            }
        }
        QVERIFY(upperRight > 20);
        QCOMPARE(elsewhere, 0);
    }

    void recordingCanvasListsTheCalls() {
        QImage img = blank();
        PainterCanvas inner(&img);
        RecordingCanvas rec(&inner);
        rec.pen.color = kRed;
        rec.MoveTo(1, 2);
        rec.LineTo(5, 2);
        rec.Rectangle(1, 1, 3, 3);
        rec.TextOut(4, 5, QStringLiteral("x"));
        QCOMPARE(rec.calls(), (QStringList{"LineTo 1 2 5 2", "Rectangle 1 1 3 3", "TextOut 4 5 x"}));
        QCOMPARE(img.pixel(3, 2), kRedRgb); // passed on to the canvas beneath
    }
};

PW_TEST_CLASS(TestCanvas)
#include "tst_canvas.moc"
