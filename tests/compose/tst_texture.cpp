#include "testmain.h"

#include "compose/texture.h"

#include <QImage>
#include <QTemporaryDir>

using namespace pw;

namespace {

// A 24-bit picture of one colour (0x00BBGGRR).
dib solid(int w, int h, quint32 colour) {
    dib d;
    if (!newdib(d, w, h, 24, nullptr, 0))
        return d;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            setpixel(d, x, y, colour);
    return d;
}

quint32 grey(int g) {
    return quint32(g) * 0x010101u;
}

// A palette file as the texture loader finds it on disk.
QString writePaletteFile(const QTemporaryDir& dir, const QString& name, const QImage& image) {
    const QString path = dir.filePath(name);
    return image.save(path, "BMP") ? path : QString();
}

} // namespace

class TestTexture : public QObject {
    Q_OBJECT
private slots:
    void oneBitBecomesBlackAndWhiteWhateverItsColours() {
        BITMAPINFO info; // a table that would show 0 as red and 1 as blue
        info.bmiColors[0] = {0, 0, 255, 0};
        info.bmiColors[1] = {255, 0, 0, 0};
        dib d;
        QVERIFY(newdib(d, 9, 2, 1, &info, 2));
        setpixel(d, 8, 0, 1); // top row, in the second byte of the row
        setpixel(d, 0, 1, 1);
        ConvertTo24(d);
        QCOMPARE(dibbitcount(d), 24);
        QCOMPARE(QSize(dibwidth(d), dibheight(d)), QSize(9, 2));
        QCOMPARE(getpixel(d, 8, 0), grey(255));
        QCOMPARE(getpixel(d, 0, 1), grey(255));
        QCOMPARE(getpixel(d, 0, 0), grey(0));
        QCOMPARE(getpixel(d, 7, 1), grey(0));
    }

    void paletteIndicesBecomeTheirColours_data() {
        QTest::addColumn<int>("bits");
        QTest::newRow("4 bit") << 4;
        QTest::newRow("8 bit") << 8;
    }
    void paletteIndicesBecomeTheirColours() {
        QFETCH(int, bits);
        BITMAPINFO info;
        info.bmiColors[1] = {30, 20, 10, 0}; // blue, green, red
        info.bmiColors[2] = {0, 128, 255, 0};
        info.bmiColors[3] = {1, 2, 3, 0};
        dib d;
        QVERIFY(newdib(d, 3, 2, bits, &info, 4));
        for (int x = 0; x < 3; ++x) {
            setpixel(d, x, 0, quint32(x + 1)); // top row 1 2 3, bottom row 0 0 0
        }
        ConvertTo24(d);
        QCOMPARE(dibbitcount(d), 24);
        QCOMPARE(getpixel(d, 0, 0), 0x001E140Au); // 0x00BBGGRR
        QCOMPARE(getpixel(d, 1, 0), 0x000080FFu);
        QCOMPARE(getpixel(d, 2, 0), 0x00010203u);
        QCOMPARE(getpixel(d, 2, 1), 0u);
    }

    void twentyFourBitPictureIsLeftAlone() {
        dib d = solid(2, 2, 0x00123456);
        const quint8* pixels = d.poi;
        ConvertTo24(d);
        QCOMPARE(d.poi, pixels);
        QCOMPARE(getpixel(d, 1, 1), 0x00123456u);
    }

    void makeGreyWeighsTheChannels_data() {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("expected");
        QTest::newRow("red 200, green 100, blue 50") << 0x003264C8u << 124; // 12450 / 100
        QTest::newRow("red only") << 0x000000FFu << 76;                     // 7650 / 100
        QTest::newRow("green only") << 0x0000FF00u << 150;                  // 15045 / 100
        QTest::newRow("blue only") << 0x00FF0000u << 28;                    // 2805 / 100
        QTest::newRow("white") << 0x00FFFFFFu << 255;
    }
    void makeGreyWeighsTheChannels() {
        QFETCH(quint32, colour);
        QFETCH(int, expected);
        dib d = solid(3, 2, colour);
        MakeGrey(d);
        QCOMPARE(getpixel(d, 0, 0), grey(expected));
        QCOMPARE(getpixel(d, 2, 1), grey(expected));
    }

    // Contrast first: ((c - 128) * (S + 100)) / 100 + 128, truncated toward zero
    // and kept to 0..255; then Trunc(255 - (255 - c) * L / 100).
    void lightenAppliesContrastThenBrightness_data() {
        QTest::addColumn<double>("hell");
        QTest::addColumn<double>("sat");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("expected");
        QTest::newRow("100/0 changes nothing") << 100.0 << 0.0 << 37 << 37;
        QTest::newRow("S -100 gives mid grey, dark") << 100.0 << -100.0 << 0 << 128;
        QTest::newRow("S -100 gives mid grey, light") << 100.0 << -100.0 << 255 << 128;
        QTest::newRow("S -100, L 50: 191.5") << 50.0 << -100.0 << 40 << 191;
        QTest::newRow("L 50, black: 127.5") << 50.0 << 0.0 << 0 << 127;
        QTest::newRow("L 50, 100: 177.5") << 50.0 << 0.0 << 100 << 177;
        QTest::newRow("L 50, white") << 50.0 << 0.0 << 255 << 255;
        QTest::newRow("L 33 in floating point: 170.85") << 33.0 << 0.0 << 0 << 170;
        QTest::newRow("S 50 lifts 200 to 236") << 100.0 << 50.0 << 200 << 236;
        QTest::newRow("S 50 drops 50 to 11") << 100.0 << 50.0 << 50 << 11;
        QTest::newRow("S 50, 127: -1.5 truncates to -1") << 100.0 << 50.0 << 127 << 127;
        QTest::newRow("S 100 clamps at 0") << 100.0 << 100.0 << 20 << 0;
        QTest::newRow("S 100 clamps at 255") << 100.0 << 100.0 << 250 << 255;
        QTest::newRow("fractions truncate: 50.9, -0.5") << 50.9 << -0.5 << 0 << 127;
    }
    void lightenAppliesContrastThenBrightness() {
        QFETCH(double, hell);
        QFETCH(double, sat);
        QFETCH(int, channel);
        QFETCH(int, expected);
        dib d = solid(2, 1, quint32(channel) << 8 | 0x00FF0000u); // blue 255, red 0
        LightenDib(d, hell, sat);
        const quint32 c = getpixel(d, 1, 0);
        QCOMPARE(int(c >> 8 & 0xFF), expected);
        dib reference = solid(1, 1, 0x00FF0000u);
        LightenDib(reference, hell, sat);
        QCOMPARE(c & 0x00FF00FFu, getpixel(reference, 0, 0) & 0x00FF00FFu); // channels alike
    }

    void loadTextureConvertsGreysAndLightens_data() {
        QTest::addColumn<bool>("grey");
        QTest::addColumn<bool>("lighten");
        QTest::addColumn<double>("hell");
        QTest::addColumn<double>("sat");
        QTest::addColumn<int>("bits");
        QTest::addColumn<quint32>("topLeft");
        QTest::addColumn<quint32>("topRight");
        // Top left red 200, green 100, blue 50; top right black.
        QTest::newRow("neither: the file as it is")
            << false << false << 50.0 << 0.0 << 8 << 0x003264C8u << 0u;
        QTest::newRow("L 100, S 0: only 24 bits") << false << true << 100.0 << 0.0 << 24 << 0x003264C8u << 0u;
        QTest::newRow("grey") << true << false << 50.0 << 0.0 << 24 << grey(124) << 0u;
        QTest::newRow("lighten") << false << true << 50.0 << 0.0 << 24 << 0x0098B1E3u << grey(127);
        // Grey before contrast: 124 -> 120. The other order would give 118.
        QTest::newRow("grey, then contrast") << true << true << 100.0 << 100.0 << 24 << grey(120) << 0u;
    }
    void loadTextureConvertsGreysAndLightens() {
        QFETCH(bool, grey);
        QFETCH(bool, lighten);
        QFETCH(double, hell);
        QFETCH(double, sat);
        QFETCH(int, bits);
        QFETCH(quint32, topLeft);
        QFETCH(quint32, topRight);
        QTemporaryDir dir;
        QList<QRgb> table{qRgb(0, 0, 0), qRgb(200, 100, 50)};
        for (int i = 2; i < 20; ++i) // more than 16 colours keep the file at 8 bits
            table.append(qRgb(i, i, i));
        QImage image(2, 2, QImage::Format_Indexed8);
        image.setColorTable(table);
        image.fill(0);
        image.setPixel(0, 0, 1);
        const QString path = writePaletteFile(dir, QStringLiteral("texture.bmp"), image);
        QVERIFY(!path.isEmpty());
        LayoutSettings s;
        s.GrayScaleCheck = grey;
        s.LightenCheck = lighten;
        s.HellEd = hell;
        s.SatEd = sat;
        dib slot = solid(1, 1, 0);
        LoadTexture(slot, path, s);
        QVERIFY(slot.poi);
        QCOMPARE(dibbitcount(slot), bits);
        QCOMPARE(getpixel(slot, 0, 0), topLeft);
        QCOMPARE(getpixel(slot, 1, 0), topRight);
    }

    // A file with black stored as 0 and white as 1: the grey texture is black where the
    // file is black. The conversion reads the bits, not the colour table, so this relies
    // on loading keeping the bits as the file stores them.
    void oneBitTextureTurnsPureBlackAndWhite() {
        QTemporaryDir dir;
        QImage image(3, 1, QImage::Format_Mono);
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        image.fill(0);
        image.setPixel(1, 0, 1);
        const QString path = writePaletteFile(dir, QStringLiteral("mono.bmp"), image);
        QVERIFY(!path.isEmpty());
        LayoutSettings s;
        s.GrayScaleCheck = true;
        s.LightenCheck = false;
        dib slot;
        LoadTexture(slot, path, s);
        QCOMPARE(dibbitcount(slot), 24);
        QCOMPARE(getpixel(slot, 0, 0), grey(0));
        QCOMPARE(getpixel(slot, 1, 0), grey(255));
        QCOMPARE(getpixel(slot, 2, 0), grey(0));
    }

    void noFileLeavesTheSlotEmpty_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("no name") << QString();
        QTest::newRow("missing file") << QStringLiteral("/nonexistent/texture.bmp");
    }
    void noFileLeavesTheSlotEmpty() {
        QFETCH(QString, name);
        dib slot = solid(2, 2, 0x00FFFFFF);
        LoadTexture(slot, name, LayoutSettings{});
        QVERIFY(!slot.poi);
    }
};

PW_TEST_CLASS(TestTexture)
#include "tst_texture.moc"
