#include "testmain.h"

#include "imagelib/PicIO3.h"

#include <QImage>

using namespace pw;

class TestDib : public QObject {
    Q_OBJECT
private slots:
    void newdibZeroesAndPadsRows_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("bytew");
        QTest::newRow("1 bit, 33 px") << 33 << 1 << 8;
        QTest::newRow("4 bit, 9 px") << 9 << 4 << 8;
        QTest::newRow("8 bit, 5 px") << 5 << 8 << 8;
        QTest::newRow("24 bit, 3 px") << 3 << 24 << 12;
        QTest::newRow("24 bit, 4 px") << 4 << 24 << 12;
    }
    void newdibZeroesAndPadsRows() {
        QFETCH(int, width);
        QFETCH(int, bits);
        QFETCH(int, bytew);
        dib d;
        QVERIFY(newdib(d, width, 3, bits, nullptr, 0));
        QCOMPARE(d.bytew, bytew);
        QCOMPARE(dibwidth(d), width);
        QCOMPARE(dibheight(d), 3);
        QCOMPARE(dibbitcount(d), bits);
        QCOMPARE(d.ispal, bits <= 8);
        for (int i = 0; i < bytew * 3; ++i)
            QCOMPARE(d.poi[i], quint8(0));
        freedib(d);
        QVERIFY(!d.poi && !d.pmi && !d.poih);
    }

    void impossibleSizesFailCleanly_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("bits");
        QTest::newRow("zero width") << 0 << 10 << 24;
        QTest::newRow("negative height") << 10 << -1 << 8;
        QTest::newRow("depth 16") << 10 << 10 << 16;
        QTest::newRow("2^31 bytes") << 32768 << 32768 << 24;
        QTest::newRow("huge width") << 0x7fffffff << 2 << 24;
    }
    void impossibleSizesFailCleanly() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, bits);
        dib d;
        QVERIFY(!newdib(d, width, height, bits, nullptr, 0));
        QVERIFY(!d.poi && !d.poih);
    }

    void pixelsCountYFromTheTop() {
        dib d;
        QVERIFY(newdib(d, 4, 3, 24, nullptr, 0));
        setpixel(d, 1, 0, 0x00332211); // top row
        QCOMPARE(getpixel(d, 1, 0), 0x00332211u);
        const quint8* stored = d.poi + 2 * d.bytew + 3; // the top row is stored last
        QCOMPARE(stored[0], quint8(0x33));              // blue, green, red
        QCOMPARE(stored[2], quint8(0x11));
        QCOMPARE(getpixel(d, 9, 9), 0u);

        BITMAPINFO info;
        info.bmiColors[1] = {0x30, 0x20, 0x10, 0};
        dib p;
        QVERIFY(newdib(p, 5, 2, 4, &info, 16));
        setpixel(p, 3, 1, 1);
        QCOMPARE(p.poi[1], quint8(0x01)); // odd column: low nibble, bottom row stored first
        QCOMPARE(getpixel(p, 3, 1), 0x00302010u);
        dib m;
        QVERIFY(newdib(m, 10, 1, 1, nullptr, 0));
        setpixel(m, 9, 0, 1);
        QCOMPARE(getpixel(m, 9, 0), 1u);
        QCOMPARE(m.poi[1], quint8(0x40));
    }

    void qtImagesConvertBothWays() {
        QImage rgb(3, 2, QImage::Format_RGB32);
        rgb.fill(qRgb(10, 20, 30));
        rgb.setPixel(2, 0, qRgb(200, 100, 50));
        dib d;
        QVERIFY(dibFromImage(d, rgb));
        QCOMPARE(dibbitcount(d), 24);
        QCOMPARE(getpixel(d, 2, 0), 0x003264C8u);
        QCOMPARE(dibToImage(d), rgb);

        QImage indexed(5, 2, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)});
        indexed.fill(2);
        indexed.setPixel(4, 1, 1);
        QVERIFY(dibFromImage(d, indexed));
        QCOMPARE(dibbitcount(d), 4); // three colours fit four bits
        QCOMPARE(getpixel(d, 4, 1), 0x000000FFu);
        QCOMPARE(dibToImage(d).pixel(4, 1), qRgb(255, 0, 0));
        QVERIFY(dibFromImage(d, indexed, 8));
        QCOMPARE(dibbitcount(d), 8);

        QImage transparent(1, 1, QImage::Format_ARGB32);
        transparent.fill(qRgba(0, 0, 0, 0));
        QVERIFY(dibFromImage(d, transparent));
        QCOMPARE(getpixel(d, 0, 0), 0x00FFFFFFu); // transparency becomes white paper
    }
};

PW_TEST_CLASS(TestDib)
#include "tst_dib.moc"
