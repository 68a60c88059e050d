#include "testmain.h"

#include "compose/canvas.h"
#include "imagelib/paintdib.h"

#include <QImage>
#include <QPainter>

#include <functional>

using namespace pw;

namespace {

constexpr QRgb kMarker = 0xFFFF00FF; // the page before drawing

// A 24-bit picture; colour(x, y) with y = 0 the top row.
dib picture24(int w, int h, const std::function<QRgb(int, int)>& colour) {
    dib d;
    if (!newdib(d, w, h, 24, nullptr, 0))
        return d;
    for (int y = 0; y < h; ++y) {
        quint8* p = d.poi + qint64(h - 1 - y) * d.bytew;
        for (int x = 0; x < w; ++x, p += 3) {
            const QRgb c = colour(x, y);
            p[0] = quint8(qBlue(c));
            p[1] = quint8(qGreen(c));
            p[2] = quint8(qRed(c));
        }
    }
    return d;
}

dib solid24(int w, int h, QRgb c) {
    return picture24(w, h, [c](int, int) { return c; });
}

// A palette picture whose pixel (x, y) has index index(x, y) and whose entry i
// is table[i].
dib palettePicture(int w, int h, int bits, const QList<QRgb>& table,
                   const std::function<int(int, int)>& index) {
    BITMAPINFO info;
    for (int i = 0; i < table.size(); ++i)
        info.bmiColors[std::size_t(i)] = {quint8(qBlue(table[i])), quint8(qGreen(table[i])),
                                          quint8(qRed(table[i])), 0};
    dib d;
    if (!newdib(d, w, h, bits, &info, 1 << bits))
        return d;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            setpixel(d, x, y, quint32(index(x, y)));
    return d;
}

// Column and row in one colour: red and green the low bytes, blue the high
// nibbles.
QRgb positionColour(int x, int y) {
    return qRgb(x & 0xFF, y & 0xFF, (x >> 8) << 4 | (y >> 8));
}
QPoint positionOf(QRgb c) {
    return {qRed(c) | (qBlue(c) >> 4) << 8, qGreen(c) | (qBlue(c) & 0x0F) << 8};
}

QImage page(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kMarker);
    return img;
}

QImage paint(int pageW, int pageH, bool printer, int x, int y, int dstW, int dstH, const dib& d, int srcX,
             int srcY, int srcW, int srcH, bool halftone = false) {
    QImage img = page(pageW, pageH);
    PainterCanvas canvas(&img, printer);
    PaintDib(canvas, x, y, dstW, dstH, d, srcX, srcY, srcW, srcH, halftone);
    return img;
}

// The bounding rectangle of everything drawn over the marker.
QRect drawnRect(const QImage& img) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != kMarker)
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

class TestPaintDib : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setScreenBppOverride(0); }

    void roundingTakesHalvesToEven_data() {
        QTest::addColumn<qint64>("n");
        QTest::addColumn<qint64>("d");
        QTest::addColumn<int>("expected");
        QTest::newRow("2.5") << qint64(5) << qint64(2) << 2;
        QTest::newRow("3.5") << qint64(7) << qint64(2) << 4;
        QTest::newRow("2.4") << qint64(12) << qint64(5) << 2;
        QTest::newRow("2.6") << qint64(13) << qint64(5) << 3;
        QTest::newRow("-2.5") << qint64(-5) << qint64(2) << -2;
        QTest::newRow("-3.5") << qint64(7) << qint64(-2) << -4;
        QTest::newRow("-2.6") << qint64(-13) << qint64(5) << -3;
    }
    void roundingTakesHalvesToEven() {
        QFETCH(qint64, n);
        QFETCH(qint64, d);
        QFETCH(int, expected);
        QCOMPARE(RoundHalfEven(n, d), expected);
    }

    // An 8x6 picture; the source rectangle's y counts from the bottom row.
    void clippingShrinksTheDestinationInProportion_data() {
        QTest::addColumn<QRect>("dst");
        QTest::addColumn<QRect>("src");
        QTest::addColumn<QRect>("drawn");
        QTest::newRow("inside") << QRect(5, 5, 8, 6) << QRect(2, 1, 4, 3) << QRect(5, 5, 8, 6);
        QTest::newRow("beyond the right edge") << QRect(5, 5, 8, 6) << QRect(6, 0, 4, 3) << QRect(5, 5, 4, 6);
        QTest::newRow("right, 2.5 rounds to 2")
            << QRect(5, 5, 5, 6) << QRect(7, 0, 2, 3) << QRect(5, 5, 2, 6);
        QTest::newRow("right, 3.5 rounds to 4")
            << QRect(5, 5, 7, 6) << QRect(7, 0, 2, 3) << QRect(5, 5, 4, 6);
        QTest::newRow("below the bottom") << QRect(5, 5, 8, 6) << QRect(0, -2, 4, 4) << QRect(5, 5, 8, 3);
        QTest::newRow("above the top") << QRect(5, 5, 6, 8) << QRect(0, 4, 3, 4) << QRect(5, 9, 6, 4);
        QTest::newRow("top, 2.5 rounds to 2") << QRect(5, 5, 6, 5) << QRect(0, 5, 3, 2) << QRect(5, 8, 6, 2);
        QTest::newRow("left of the first column")
            << QRect(5, 5, 8, 6) << QRect(-2, 0, 4, 3) << QRect(9, 5, 4, 6);
        QTest::newRow("left, 2.5 rounds to 2")
            << QRect(5, 5, 5, 6) << QRect(-1, 0, 2, 3) << QRect(8, 5, 2, 6);
        QTest::newRow("all four sides")
            << QRect(1, 1, 24, 20) << QRect(-2, -2, 12, 10) << QRect(5, 5, 16, 12);
        QTest::newRow("wholly beside the picture") << QRect(5, 5, 8, 6) << QRect(8, 0, 4, 3) << QRect();
        QTest::newRow("shrunk to nothing") << QRect(5, 5, 1, 6) << QRect(7, 0, 4, 3) << QRect();
    }
    void clippingShrinksTheDestinationInProportion() {
        QFETCH(QRect, dst);
        QFETCH(QRect, src);
        QFETCH(QRect, drawn);
        const dib d = solid24(8, 6, qRgb(0, 0, 255));
        const QImage img = paint(32, 30, false, dst.x(), dst.y(), dst.width(), dst.height(), d, src.x(),
                                 src.y(), src.width(), src.height());
        QCOMPARE(drawnRect(img), drawn);
    }

    void clippedPictureKeepsItsPixelsInPlace() {
        // All four sides clipped at twice the size: the whole picture at (5, 5).
        const dib d = picture24(8, 6, positionColour);
        const QImage img = paint(32, 30, false, 1, 1, 24, 20, d, -2, -2, 12, 10);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x)
                QCOMPARE(positionOf(img.pixel(5 + x, 5 + y)), QPoint(x / 2, y / 2));
    }

    // Destination column i shows source column srcX + srcW * i / dstW, row r the
    // row srcTop + srcH * r / dstH from the top, both rounded down.
    void shrinkingSamplesEveryNthPixel_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QRect>("src");
        QTest::addColumn<QSize>("dst");
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<QList<int>>("rows");
        QList<int> tens;
        for (int i = 0; i < 100; ++i)
            tens.append(10 * i);
        QTest::newRow("1000 to 100") << 1000 << QRect(0, 0, 1000, 1000) << QSize(100, 100) << tens << tens;
        // 40 to 16 columns from column 5; 30 to 12 rows, the rectangle 4 rows above
        // the bottom of 50, so its top is row 16 from the top.
        QTest::newRow("part, 2.5 to 1")
            << 50 << QRect(5, 4, 40, 30) << QSize(16, 12)
            << QList<int>{5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 30, 32, 35, 37, 40, 42}
            << QList<int>{16, 18, 21, 23, 26, 28, 31, 33, 36, 38, 41, 43};
    }
    void shrinkingSamplesEveryNthPixel() {
        QFETCH(int, size);
        QFETCH(QRect, src);
        QFETCH(QSize, dst);
        QFETCH(QList<int>, columns);
        QFETCH(QList<int>, rows);
        const dib d = picture24(size, size, positionColour);
        const QImage img = paint(dst.width() + 2, dst.height() + 2, false, 1, 1, dst.width(), dst.height(), d,
                                 src.x(), src.y(), src.width(), src.height());
        QCOMPARE(drawnRect(img), QRect(QPoint(1, 1), dst));
        for (int r = 0; r < dst.height(); ++r)
            for (int i = 0; i < dst.width(); ++i)
                QCOMPARE(positionOf(img.pixel(1 + i, 1 + r)), QPoint(columns[i], rows[r]));
    }

    // 2 x 2 to 5 x 5: destination pixel i shows source pixel 2 * i / 5, i.e. 0 0
    // 0 1 1.
    void enlargingRepeatsEachSourcePixel() {
        const dib d = picture24(2, 2, positionColour);
        const QImage img = paint(5, 5, false, 0, 0, 5, 5, d, 0, 0, 2, 2);
        const int source[5] = {0, 0, 0, 1, 1};
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                QCOMPARE(positionOf(img.pixel(x, y)), QPoint(source[x], source[y]));
    }

    void rowsOutsideThePictureAreBlack() {
        // Called directly the row functions leave parts outside the picture black.
        const dib d = solid24(4, 4, qRgb(255, 255, 255));
        QImage img = page(6, 6);
        {
            QPainter p(&img);
            PaintDibRows(p, 0, 0, 6, 6, d, -1, -1, 6,
                         6); // one column and row beyond each side
        }
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 4;
                QCOMPARE(img.pixel(x, y), inside ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
            }
    }

    void palettePicturesShowTheirColours_data() {
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("printer");
        QTest::newRow("8 bit, rows") << 8 << false;
        QTest::newRow("8 bit, printer") << 8 << true;
        QTest::newRow("4 bit") << 4 << false;
        QTest::newRow("1 bit") << 1 << false;
    }
    void palettePicturesShowTheirColours() {
        QFETCH(int, bits);
        QFETCH(bool, printer);
        const QList<QRgb> table{qRgb(10, 20, 30), qRgb(200, 0, 0), qRgb(0, 90, 0), qRgb(7, 8, 9)};
        const int entries = bits == 1 ? 2 : 4;
        // 3 x 2, index (x + 2y) mod entries: the top row 0 1 2, the bottom row 2 3
        // 0.
        const dib d =
            palettePicture(3, 2, bits, table, [entries](int x, int y) { return (x + 2 * y) % entries; });
        const QImage img = paint(8, 6, printer, 1, 1, 6, 4, d, 0, 0, 3, 2);
        QCOMPARE(drawnRect(img), QRect(1, 1, 6, 4));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                QCOMPARE(img.pixel(1 + x, 1 + y), table[(x / 2 + 2 * (y / 2)) % entries]);
    }

    void paletteStretchTakesTheSourceRectangleFromTheBottom() {
        // 4-bit pictures are stretched by the device in one call: srcY = 1 of a
        // 2-row picture is its top row.
        const QList<QRgb> table{qRgb(0, 0, 255), qRgb(0, 255, 0)};
        const dib d = palettePicture(2, 2, 4, table, [](int, int y) { return y; });
        const QImage img = paint(4, 4, false, 0, 0, 4, 2, d, 0, 1, 2, 1);
        QCOMPARE(drawnRect(img), QRect(0, 0, 4, 2));
        QCOMPARE(img.pixel(3, 1), table[0]);
    }

    void printerDrawsLikeTheScreenAtWholeScales_data() {
        QTest::addColumn<int>("scale");
        QTest::newRow("1:1") << 1;
        QTest::newRow("3:1") << 3;
    }
    void printerDrawsLikeTheScreenAtWholeScales() {
        QFETCH(int, scale);
        const dib d = picture24(5, 4, positionColour);
        const QImage screen = paint(20, 16, false, 2, 1, 4 * scale, 3 * scale, d, 1, 0, 4, 3);
        const QImage printer = paint(20, 16, true, 2, 1, 4 * scale, 3 * scale, d, 1, 0, 4, 3);
        QCOMPARE(drawnRect(screen), QRect(2, 1, 4 * scale, 3 * scale));
        QCOMPARE(printer, screen);
    }

    // The stretch by hand maps the first and last destination pixels onto the
    // first and last source pixels: 4 columns to 7 gives 0 0 1 1 2 2 3, 3 rows to
    // 5 gives 0 0 1 1 2.
    void stretchByHandMapsEndsOntoEnds_data() {
        QTest::addColumn<int>("bits");
        QTest::addColumn<QRect>("src");
        QTest::addColumn<QSize>("dst");
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<QList<int>>("storedRows");
        for (int bits : {1, 4, 8, 24}) {
            const QByteArray depth = QByteArray::number(bits) + " bit";
            QTest::newRow(depth + ", 4x3 to 7x5")
                << bits << QRect(0, 0, 4, 3) << QSize(7, 5) << QList<int>{0, 0, 1, 1, 2, 2, 3}
                << QList<int>{0, 0, 1, 1, 2};
            QTest::newRow(depth + ", one pixel wide")
                << bits << QRect(2, 1, 3, 2) << QSize(1, 3) << QList<int>{2} << QList<int>{1, 1, 2};
            QTest::newRow(depth + ", one pixel high")
                << bits << QRect(1, 2, 3, 2) << QSize(3, 1) << QList<int>{1, 2, 3} << QList<int>{2};
        }
    }
    void stretchByHandMapsEndsOntoEnds() {
        QFETCH(int, bits);
        QFETCH(QRect, src);
        QFETCH(QSize, dst);
        QFETCH(QList<int>, columns);
        QFETCH(QList<int>, storedRows);
        const int w = 6;
        const int h = 4;
        auto value = [bits](int x, int storedRow) {
            const int v = x + w * storedRow;
            return bits == 24 ? v * 0x010203 : v % (1 << bits);
        };
        dib source;
        QVERIFY(newdib(source, w, h, bits, nullptr, 0));
        for (int row = 0; row < h; ++row)
            for (int x = 0; x < w; ++x)
                setpixel(source, x, h - 1 - row, quint32(value(x, row)));
        dib out;
        QVERIFY(StretchDibNearest(out, source, src.x(), src.y(), src.width(), src.height(), dst.width(),
                                  dst.height()));
        QCOMPARE(dibbitcount(out), bits);
        QCOMPARE(QSize(dibwidth(out), dibheight(out)), dst);
        for (int j = 0; j < dst.height(); ++j)
            for (int i = 0; i < dst.width(); ++i) {
                const quint32 got = bits == 24 || bits == 1 ? getpixel(out, i, dst.height() - 1 - j)
                                    : bits == 8
                                        ? out.poi[j * out.bytew + i]
                                        : quint32((out.poi[j * out.bytew + i / 2] >> (i % 2 ? 0 : 4)) & 0x0F);
                const int expected = value(columns[i], storedRows[j]);
                QCOMPARE(got, quint32(bits == 1 ? expected != 0 : expected));
            }
    }

    void stretchByHandKeepsTheColourTableAndDrawsUnscaled() {
        const QList<QRgb> table{qRgb(1, 2, 3), qRgb(40, 50, 60), qRgb(200, 100, 0)};
        const dib d = palettePicture(3, 1, 8, table, [](int x, int) { return x; });
        QImage img = page(10, 4);
        {
            QPainter p(&img);
            PaintDibStretchedByHand(p, 2, 1, 6, 2, d, 0, 0, 3,
                                    1); // columns 0 0 0 1 1 2
        }
        QCOMPARE(drawnRect(img), QRect(2, 1, 6, 2));
        const int source[6] = {0, 0, 0, 1, 1, 2};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(img.pixel(2 + i, 2), table[source[i]]);
    }

    // Mid grey (128) is not on the colour cube: halftoned it becomes a mix of 102
    // and 153.
    void halftoneOnlyOnPaletteScreens_data() {
        QTest::addColumn<int>("screenBits");
        QTest::addColumn<bool>("halftone");
        QTest::addColumn<bool>("dithered");
        QTest::newRow("8-bit screen") << 8 << true << true;
        QTest::newRow("4-bit screen") << 4 << true << true;
        QTest::newRow("8-bit screen, halftone off") << 8 << false << false;
        QTest::newRow("16-bit screen") << 16 << true << false;
        QTest::newRow("24-bit screen") << 24 << true << false;
    }
    void halftoneOnlyOnPaletteScreens() {
        QFETCH(int, screenBits);
        QFETCH(bool, halftone);
        QFETCH(bool, dithered);
        setScreenBppOverride(screenBits);
        const dib d = solid24(8, 8, qRgb(128, 128, 128));
        for (const QSize& size : {QSize(8, 8), QSize(4, 4)}) { // own size, and shrunk
            const QImage img = paint(8, 8, false, 0, 0, size.width(), size.height(), d, 0, 0, 8, 8, halftone);
            QCOMPARE(drawnRect(img), QRect(QPoint(0, 0), size));
            QSet<QRgb> colours;
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    colours.insert(img.pixel(x, y));
            if (dithered)
                QCOMPARE(colours, (QSet<QRgb>{qRgb(102, 102, 102), qRgb(153, 153, 153)}));
            else
                QCOMPARE(colours, QSet<QRgb>{qRgb(128, 128, 128)});
        }
    }

    // The shrunk halftone copies the part of the scaled picture under the source
    // rectangle; quadrants in cube colours show whether it found the right one.
    void shrunkHalftoneShowsTheSourceRectangle_data() {
        QTest::addColumn<QPoint>("srcFromBottom");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("top left") << QPoint(0, 8) << qRgb(255, 0, 0);
        QTest::newRow("top right") << QPoint(8, 8) << qRgb(0, 0, 255);
        QTest::newRow("bottom left") << QPoint(0, 0) << qRgb(0, 255, 0);
        QTest::newRow("bottom right") << QPoint(8, 0) << qRgb(255, 255, 255);
    }
    void shrunkHalftoneShowsTheSourceRectangle() {
        QFETCH(QPoint, srcFromBottom);
        QFETCH(QRgb, colour);
        setScreenBppOverride(8);
        const dib d = picture24(16, 16, [](int x, int y) {
            if (y < 8)
                return x < 8 ? qRgb(255, 0, 0) : qRgb(0, 0, 255);
            return x < 8 ? qRgb(0, 255, 0) : qRgb(255, 255, 255);
        });
        const QImage img =
            paint(6, 6, false, 1, 1, 4, 4, d, srcFromBottom.x(), srcFromBottom.y(), 8, 8, true);
        QCOMPARE(drawnRect(img), QRect(1, 1, 4, 4));
        for (int y = 1; y < 5; ++y)
            for (int x = 1; x < 5; ++x)
                QCOMPARE(img.pixel(x, y), colour);
    }
};

class TestHalftone : public QObject {
    Q_OBJECT
private slots:
    void cubeColoursStayExact() {
        const QRgb colours[4] = {qRgb(0, 51, 255), qRgb(102, 153, 204), qRgb(255, 255, 255), qRgb(0, 0, 0)};
        const dib d = picture24(4, 3, [&colours](int x, int) { return colours[x]; });
        dib out;
        DIBHalftoneDIB(out, d);
        QCOMPARE(dibbitcount(out), 8);
        QCOMPARE(QSize(dibwidth(out), dibheight(out)), QSize(4, 3));
        const quint8 expected[4] = {0 * 36 + 1 * 6 + 5, 2 * 36 + 3 * 6 + 4, 215, 0};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                QCOMPARE(out.poi[y * out.bytew + x], expected[x]);
                QCOMPARE(getpixel(out, x, y), getpixel(d, x, y)); // the palette holds the cube
            }
    }

    void ditherMixesNeighbouringLevelsInProportion() {
        // 128 lies 26/51 of the way from 102 to 153: 33 of the 64 cells of the 8x8
        // matrix take the upper level.
        const dib d = solid24(8, 8, qRgb(128, 0, 255));
        dib out;
        DIBHalftoneDIB(out, d);
        int upper = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const quint32 c = getpixel(out, x, y);
                QVERIFY(c == 0x00FF0066u || c == 0x00FF0099u);
                upper += c == 0x00FF0099u;
            }
        QCOMPARE(upper, 33);
    }

    void scaledHalftonePicksNearestPixels() {
        // 4 columns to 6: source columns 0 0 1 2 2 3; 2 rows to 1: the top row.
        const QRgb colours[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(51, 51, 51)};
        const dib d =
            picture24(4, 2, [&colours](int x, int y) { return y == 0 ? colours[x] : qRgb(0, 0, 0); });
        dib out;
        DIBHalftoneDIBXY(out, d, 6, 1);
        QCOMPARE(QSize(dibwidth(out), dibheight(out)), QSize(6, 1));
        const int source[6] = {0, 0, 1, 2, 2, 3};
        for (int x = 0; x < 6; ++x)
            QCOMPARE(getpixel(out, x, 0), getpixel(d, source[x], 0));
    }
};

PW_TEST_CLASS(TestPaintDib)
PW_TEST_CLASS(TestHalftone)
#include "tst_paintdib.moc"
