#include "testmain.h"

#include "fixtures.h"
#include "imagelib/PicIO3.h"
#include "imagelib/picfiles.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QScreen>
#include <QTemporaryDir>

#include <QElapsedTimer>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace pw;
using pw::test::readFile;
using pw::test::writeFile;

namespace {

// Test pictures. The patterned ones have rows of a run, five different pixels (an odd
// number of literals for run-length coders) and another run, and use palettes whose
// entries all differ; the smooth ones suit lossy formats.
enum class Picture { Mono, MonoBlackWhite, Nibble, Byte, Rgb, SmoothRgb, SmoothGray, ManyColours };

dib palettePicture(int w, int h, int bits, const std::function<RGBQUAD(int)>& entry) {
    BITMAPINFO info;
    for (int i = 0; i < (1 << bits); ++i)
        info.bmiColors[std::size_t(i)] = entry(i);
    dib d;
    if (!newdib(d, w, h, bits, &info, 1 << bits))
        qFatal("newdib failed");
    return d;
}

RGBQUAD rgbq(int r, int g, int b) {
    return {quint8(b), quint8(g), quint8(r), 0};
}

quint32 bgr(int r, int g, int b) {
    return quint32(r) | quint32(g) << 8 | quint32(b) << 16;
}

dib makePicture(Picture kind) {
    dib d;
    switch (kind) {
    case Picture::Mono:
    case Picture::MonoBlackWhite: {
        const bool bw = kind == Picture::MonoBlackWhite;
        d = palettePicture(13, 7, 1, [bw](int i) {
            if (bw)
                return i ? rgbq(255, 255, 255) : rgbq(0, 0, 0);
            return i ? rgbq(0xF0, 0xE0, 0x10) : rgbq(0x10, 0x20, 0x80);
        });
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                setpixel(d, x, y, x < 5 ? 1 : (x * y + x / 3) % 2);
        break;
    }
    case Picture::Nibble:
        d = palettePicture(13, 7, 4, [](int i) { return rgbq(i * 16, 255 - i * 16, (i * 77) % 256); });
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                setpixel(d, x, y, x < 5 ? 3 : (x >= 10 ? 7 : (x * 5 + y * 3) % 16));
        break;
    case Picture::Byte:
        d = palettePicture(13, 7, 8, [](int i) { return rgbq(i, (i * 7) % 256, 255 - i); });
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                setpixel(d, x, y, x < 5 ? 200 : (x >= 10 ? 9 : (x * 31 + y * 17) % 256));
        break;
    case Picture::Rgb:
        newdib(d, 13, 7, 24, nullptr, 0);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                setpixel(d, x, y,
                         x < 5 ? bgr(200, 10, 10) : bgr((x * 40) % 256, (y * 60) % 256, (x * y * 17) % 256));
        break;
    case Picture::SmoothRgb:
        newdib(d, 32, 32, 24, nullptr, 0);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                setpixel(d, x, y, bgr(x * 8, y * 8, 128));
        break;
    case Picture::SmoothGray:
        d = palettePicture(32, 32, 8, [](int i) { return rgbq(i, i, i); });
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                setpixel(d, x, y, quint32(x * 4 + y * 3));
        break;
    case Picture::ManyColours:
        newdib(d, 64, 64, 24, nullptr, 0);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                setpixel(d, x, y, bgr(x * 4, y * 4, (x + y) * 2));
        break;
    }
    return d;
}

// The colour of a pixel whatever the depth (getpixel gives 1-bit pictures' raw bits).
QRgb rgbAt(const dib& d, int x, int y) {
    const quint32 c = getpixel(d, x, y);
    if (dibbitcount(d) == 1) {
        const PALETTEENTRY& p = d.pal.rgb0[c];
        return qRgb(p.red, p.green, p.blue);
    }
    return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// Empty when both pictures have the same size and every colour lies within tolerance.
QString firstDifference(const dib& expected, const dib& actual, int tolerance) {
    if (dibwidth(expected) != dibwidth(actual) || dibheight(expected) != dibheight(actual))
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(dibwidth(actual))
            .arg(dibheight(actual))
            .arg(dibwidth(expected))
            .arg(dibheight(expected));
    for (int y = 0; y < dibheight(expected); ++y) {
        for (int x = 0; x < dibwidth(expected); ++x) {
            const QRgb a = rgbAt(expected, x, y);
            const QRgb b = rgbAt(actual, x, y);
            const int diff = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                       std::abs(qBlue(a) - qBlue(b))});
            if (diff > tolerance)
                return QStringLiteral("pixel %1,%2 is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(b & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                    .arg(a & 0xFFFFFF, 6, 16, QLatin1Char('0'));
        }
    }
    return {};
}

// Builds files byte by byte, independently of the program's writers.
struct Bytes {
    QByteArray b;
    Bytes& u8(int v) {
        b.append(char(v & 0xFF));
        return *this;
    }
    Bytes& le16(int v) { return u8(v).u8(v >> 8); }
    Bytes& le32(qint64 v) { return le16(int(v & 0xFFFF)).le16(int((v >> 16) & 0xFFFF)); }
    Bytes& be16(int v) { return u8(v >> 8).u8(v); }
    Bytes& be32(qint64 v) { return be16(int((v >> 16) & 0xFFFF)).be16(int(v & 0xFFFF)); }
    Bytes& raw(const QByteArray& s) {
        b.append(s);
        return *this;
    }
    Bytes& zeros(qsizetype n) { return raw(QByteArray(n, '\0')); }
    // An IFF chunk, padded to an even length.
    Bytes& chunk(const char* id, const QByteArray& data) {
        raw(QByteArray(id, 4)).be32(data.size()).raw(data);
        return data.size() % 2 ? u8(0) : *this;
    }
};

QByteArray pcxHeader(int bpp, int w, int h, int planes, int bytesPerLine, const QList<QRgb>& palette16 = {}) {
    Bytes f;
    f.u8(0x0A).u8(5).u8(1).u8(bpp).le16(0).le16(0).le16(w - 1).le16(h - 1).le16(72).le16(72);
    for (int i = 0; i < 16; ++i) {
        const QRgb c = i < palette16.size() ? palette16[i] : 0;
        f.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
    }
    f.u8(0).u8(planes).le16(bytesPerLine).le16(1);
    return f.zeros(128 - f.b.size()).b;
}

QByteArray bmhd(int w, int h, int planes, int compression) {
    return Bytes()
        .be16(w)
        .be16(h)
        .be16(0)
        .be16(0)
        .u8(planes)
        .u8(0)
        .u8(compression)
        .u8(0)
        .be16(0)
        .u8(1)
        .u8(1)
        .be16(w)
        .be16(h)
        .b;
}

QByteArray iffFile(const char* type, const QByteArray& chunks) {
    return Bytes().raw("FORM").be32(chunks.size() + 4).raw(QByteArray(type, 4)).raw(chunks).b;
}

QByteArray tgaHeader(int mapType, int type, int mapLength, int mapBits, int w, int h, int bits,
                     int descriptor) {
    return Bytes()
        .u8(0)
        .u8(mapType)
        .u8(type)
        .le16(0)
        .le16(mapLength)
        .u8(mapBits)
        .le16(0)
        .le16(0)
        .le16(w)
        .le16(h)
        .u8(bits)
        .u8(descriptor)
        .b;
}

QByteArray bmpFile(int w, int h, int bits, int compression, const QList<QRgb>& table,
                   const QByteArray& pixels) {
    Bytes f;
    const int at = 14 + 40 + 4 * int(table.size());
    f.raw("BM").le32(at + pixels.size()).le32(0).le32(at);
    f.le32(40).le32(w).le32(h).le16(1).le16(bits).le32(compression).le32(pixels.size()).le32(0).le32(0);
    f.le32(table.size()).le32(0);
    for (QRgb c : table)
        f.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(0);
    return f.raw(pixels).b;
}

QByteArray gifFile(int w, int h, const QList<QRgb>& table4, const QByteArray& extensions,
                   const QByteArray& lzw, bool interlaced = false) {
    Bytes f;
    f.raw("GIF89a").le16(w).le16(h).u8(0x81).u8(0).u8(0);
    for (QRgb c : table4)
        f.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
    f.raw(extensions).u8(0x2C).le16(0).le16(0).le16(w).le16(h).u8(interlaced ? 0x40 : 0);
    return f.u8(2).u8(int(lzw.size())).raw(lzw).u8(0).u8(0x3B).b;
}

// A PNG chunk with its CRC (the reader checks it before it believes a header).
QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray typed = QByteArray(type, 4) + data;
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : typed) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return Bytes().be32(data.size()).raw(typed).be32(qint64(crc ^ 0xFFFFFFFFu)).b;
}

// A well-formed PNG header claiming w x h 8-bit RGB pixels, followed by a little
// deflate data and the end chunk: the shape of a huge, highly compressed PNG.
QByteArray pngClaiming(int w, int h) {
    const QByteArray ihdr = Bytes().be32(w).be32(h).u8(8).u8(2).u8(0).u8(0).u8(0).b;
    const QByteArray idat = Bytes().u8(0x78).u8(0x01).raw(QByteArray(1000, '\0')).b;
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) + pngChunk("IDAT", idat) +
           pngChunk("IEND", {});
}

// A run-length bitmap of about a kilobyte whose runs of 255 pixels are all it has,
// ending with the end-of-picture code.
QByteArray rleBomb(int w, int h, int compression) {
    Bytes runs;
    for (int i = 0; i < 480; ++i)
        runs.u8(255).u8(0x11);
    runs.u8(0).u8(1);
    return bmpFile(w, h, compression == 1 ? 8 : 4, compression, {qRgb(0, 0, 0), qRgb(255, 0, 0)}, runs.b);
}

qint64 peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class TestPicFiles : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString path(const QString& name) const { return dir_.filePath(name); }

    // Writes the bytes to a file and opens it with the given code.
    dib openBytes(const QByteArray& bytes, int format) {
        const QString file = path(QStringLiteral("bytes.bin"));
        if (!writeFile(file, bytes))
            qFatal("cannot write %s", qPrintable(file));
        dib d;
        OpenDib(d, file, format);
        return d;
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void cleanup() { SetJPEGQual(75); }

    void savedPicturesReadBackByCodeAndByContent_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<Picture>("picture");
        QTest::addColumn<int>("bits");      // depth after loading
        QTest::addColumn<int>("tolerance"); // per colour component
        const auto row = [](const char* name, int format, Picture picture, int bits, int tolerance = 0) {
            QTest::newRow(name) << format << picture << bits << tolerance;
        };
        row("bmp 1-bit", kFormatBmp, Picture::Mono, 1);
        row("bmp 4-bit", kFormatBmp, Picture::Nibble, 4);
        row("bmp 8-bit", kFormatBmp, Picture::Byte, 8);
        row("bmp 24-bit", kFormatBmp, Picture::Rgb, 24);
        row("dib 4-bit", kFormatDib, Picture::Nibble, 4);
        row("dib 8-bit", kFormatDib, Picture::Byte, 8);
        row("dib 24-bit", kFormatDib, Picture::Rgb, 24);
        row("gif 1-bit", kFormatGif, Picture::Mono, 8);
        row("gif 4-bit", kFormatGif, Picture::Nibble, 8);
        row("gif 8-bit", kFormatGif, Picture::Byte, 8);
        row("gif 24-bit, few colours", kFormatGif, Picture::Rgb, 8);
        row("gif 24-bit, many colours", kFormatGif, Picture::ManyColours, 8, 12);
        row("iff 1-bit", kFormatIff, Picture::Mono, 1);
        row("iff 4-bit", kFormatIff, Picture::Nibble, 4);
        row("iff 8-bit", kFormatIff, Picture::Byte, 8);
        row("iff 24-bit", kFormatIff, Picture::Rgb, 24);
        row("jif 24-bit", kFormatJif, Picture::SmoothRgb, 24, 12);
        row("jif grey", kFormatJif, Picture::SmoothGray, 8, 12);
        row("jpg 24-bit", kFormatJpg, Picture::SmoothRgb, 24, 12);
        row("jpg grey", kFormatJpg, Picture::SmoothGray, 8, 12);
        row("lbm 4-bit", kFormatLbm, Picture::Nibble, 4);
        row("lbm 8-bit", kFormatLbm, Picture::Byte, 8);
        row("lbm 24-bit", kFormatLbm, Picture::Rgb, 24);
        row("pcx 1-bit black and white", kFormatPcx, Picture::MonoBlackWhite, 1);
        row("pcx 1-bit coloured", kFormatPcx, Picture::Mono, 8);
        row("pcx 4-bit", kFormatPcx, Picture::Nibble, 4);
        row("pcx 8-bit", kFormatPcx, Picture::Byte, 8);
        row("pcx 24-bit", kFormatPcx, Picture::Rgb, 24);
        row("rle 1-bit", kFormatRle, Picture::Mono, 1);
        row("rle 4-bit", kFormatRle, Picture::Nibble, 4);
        row("rle 8-bit", kFormatRle, Picture::Byte, 8);
        row("rle 24-bit", kFormatRle, Picture::Rgb, 24);
        row("tga 1-bit", kFormatTga, Picture::Mono, 8);
        row("tga 4-bit", kFormatTga, Picture::Nibble, 8);
        row("tga 8-bit", kFormatTga, Picture::Byte, 8);
        row("tga 24-bit", kFormatTga, Picture::Rgb, 24);
        row("tif 1-bit black and white", kFormatTif, Picture::MonoBlackWhite, 1);
        row("tif 1-bit coloured", kFormatTif, Picture::Mono, 8);
        row("tif 4-bit", kFormatTif, Picture::Nibble, 8);
        row("tif 8-bit", kFormatTif, Picture::Byte, 8);
        row("tif 24-bit", kFormatTif, Picture::Rgb, 24);
        row("png 1-bit", kFormatPng, Picture::Mono, 1);
        row("png 4-bit", kFormatPng, Picture::Nibble, 8);
        row("png 8-bit", kFormatPng, Picture::Byte, 8);
        row("png 24-bit", kFormatPng, Picture::Rgb, 24);
        row("webp 24-bit", kFormatWebp, Picture::SmoothRgb, 24, 24);
        row("webp grey", kFormatWebp, Picture::SmoothGray, 24, 24);
    }
    void savedPicturesReadBackByCodeAndByContent() {
        QFETCH(int, format);
        QFETCH(Picture, picture);
        QFETCH(int, bits);
        QFETCH(int, tolerance);
        const dib original = makePicture(picture);
        // A misleading name: loading by content must not look at it.
        const QString file =
            path(format == kFormatPng ? QStringLiteral("picture.jpg") : QStringLiteral("picture.png"));
        QVERIFY(SaveDib(original, file, format));
        for (const int code : {format, int(kFormatByContent)}) {
            dib back;
            OpenDib(back, file, code);
            QVERIFY2(back.poi, qPrintable(QStringLiteral("code %1").arg(code)));
            QCOMPARE(dibbitcount(back), bits);
            const QString difference = firstDifference(original, back, tolerance);
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
    }

    void rleFilesUseTheRunLengthFormOfTheirDepth_data() {
        QTest::addColumn<Picture>("picture");
        QTest::addColumn<int>("compression");
        QTest::newRow("1-bit: plain") << Picture::Mono << 0;
        QTest::newRow("4-bit: RLE4") << Picture::Nibble << 2;
        QTest::newRow("8-bit: RLE8") << Picture::Byte << 1;
        QTest::newRow("24-bit: plain") << Picture::Rgb << 0;
    }
    void rleFilesUseTheRunLengthFormOfTheirDepth() {
        QFETCH(Picture, picture);
        QFETCH(int, compression);
        const QByteArray file = encodeDib(makePicture(picture), kFormatRle);
        QVERIFY(file.size() > 34);
        const auto le32 = [&file](int at) {
            return qint64(quint8(file[at])) | qint64(quint8(file[at + 1])) << 8 |
                   qint64(quint8(file[at + 2])) << 16 | qint64(quint8(file[at + 3])) << 24;
        };
        QCOMPARE(le32(30), qint64(compression));
        QCOMPARE(le32(2), qint64(file.size()));
    }

    void handMadeFilesDecodeToTheirPixels_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<QRgb>>("pixels"); // top row first

        const QRgb red = qRgb(255, 0, 0);
        const QRgb green = qRgb(0, 255, 0);
        const QRgb blue = qRgb(0, 0, 255);
        const QRgb white = qRgb(255, 255, 255);
        const QRgb black = qRgb(0, 0, 0);

        QTest::newRow("tga 24-bit, bottom row first")
            << Bytes()
                   .raw(tgaHeader(0, 2, 0, 0, 2, 2, 24, 0))
                   .raw(QByteArray("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12))
                   .b
            << 24 << 2 << QList<QRgb>{red, white, blue, green};
        QTest::newRow("tga run-length, top row first, run across rows")
            << Bytes()
                   .raw(tgaHeader(0, 10, 0, 0, 3, 2, 24, 0x20))
                   .u8(0x83)
                   .raw(QByteArray("\x00\x00\xFF", 3))
                   .u8(0x01)
                   .raw(QByteArray("\x00\xFF\x00\xFF\x00\x00", 6))
                   .b
            << 24 << 3 << QList<QRgb>{red, red, red, red, green, blue};
        QTest::newRow("tga colour-mapped") << Bytes()
                                                  .raw(tgaHeader(1, 1, 2, 24, 2, 1, 8, 0))
                                                  .raw(QByteArray("\x00\x00\xFF\xFF\x00\x00", 6))
                                                  .u8(1)
                                                  .u8(0)
                                                  .b
                                           << 8 << 2 << QList<QRgb>{blue, red};
        QTest::newRow("tga grey, right to left")
            << Bytes().raw(tgaHeader(0, 3, 0, 0, 2, 1, 8, 0x30)).u8(0x10).u8(0xF0).b << 8 << 2
            << QList<QRgb>{qRgb(0xF0, 0xF0, 0xF0), qRgb(0x10, 0x10, 0x10)};

        QByteArray palette256(768, '\0');
        palette256[3] = char(0xFF);            // 1 red
        palette256[7] = char(0xFF);            // 2 green
        palette256[3 * 0xC5 + 2] = char(0xFF); // 0xC5 blue
        QTest::newRow("pcx 8-bit with end palette")
            << Bytes()
                   .raw(pcxHeader(8, 3, 2, 1, 4))
                   .raw(QByteArray("\xC3\x01\x00", 3))         // 1 1 1, pad
                   .raw(QByteArray("\x02\xC1\xC5\x00\x00", 5)) // 2 C5 0, pad
                   .u8(0x0C)
                   .raw(palette256)
                   .b
            << 8 << 3 << QList<QRgb>{red, red, red, green, blue, black};
        QTest::newRow("pcx 4 planes with header palette")
            << Bytes()
                   .raw(pcxHeader(1, 2, 1, 4, 2,
                                  {0, 0, 0, 0, 0, qRgb(10, 20, 30), 0, 0, 0, 0, qRgb(200, 100, 50)}))
                   .raw(QByteArray("\x80\x00\x40\x00\x80\x00\x40\x00", 8))
                   .b
            << 4 << 2 << QList<QRgb>{qRgb(10, 20, 30), qRgb(200, 100, 50)};
        QTest::newRow("pcx 24-bit as three planes")
            << Bytes().raw(pcxHeader(8, 2, 1, 3, 2)).raw(QByteArray("\xC1\xFF\x00\x00\x80\x40\x00", 7)).b
            << 24 << 2 << QList<QRgb>{qRgb(255, 0, 64), qRgb(0, 128, 0)};

        const QByteArray cmap4("\x00\x00\x00\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF", 12);
        QList<QRgb> twenty(20, black);
        twenty[1] = red;
        twenty[2] = green;
        twenty[3] = blue;
        QTest::newRow("ilbm 2 planes, ByteRun1")
            << iffFile("ILBM", Bytes()
                                   .chunk("BMHD", bmhd(20, 1, 2, 1))
                                   .chunk("CMAP", cmap4)
                                   .chunk("BODY", QByteArray("\x00\x50\xFE\x00\x00\x30\xFE\x00", 8))
                                   .b)
            << 4 << 20 << twenty;
        Bytes planes24;
        for (int p = 0; p < 24; ++p) {
            const int component = p < 8 ? 0x81 : (p < 16 ? 0x42 : 0x24);
            planes24.u8((component >> (p % 8)) & 1 ? 0x80 : 0).u8(0);
        }
        QTest::newRow("ilbm 24 planes")
            << iffFile("ILBM", Bytes().chunk("BMHD", bmhd(1, 1, 24, 0)).chunk("BODY", planes24.b).b) << 24
            << 1 << QList<QRgb>{qRgb(0x81, 0x42, 0x24)};
        QTest::newRow("pbm chunky, odd width")
            << iffFile("PBM ", Bytes()
                                   .chunk("BMHD", bmhd(3, 1, 8, 0))
                                   .chunk("CMAP", QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09", 9))
                                   .chunk("BODY", QByteArray("\x02\x00\x01\x00", 4))
                                   .b)
            << 8 << 3 << QList<QRgb>{qRgb(7, 8, 9), qRgb(1, 2, 3), qRgb(4, 5, 6)};

        QTest::newRow("bmp 4-bit, top row first")
            << bmpFile(2, -2, 4, 0, {red, green}, QByteArray("\x01\x00\x00\x00\x10\x00\x00\x00", 8)) << 4 << 2
            << QList<QRgb>{red, green, green, red};
        QTest::newRow("bmp with the short header")
            << Bytes()
                   .raw("BM")
                   .le32(14 + 12 + 6 + 4)
                   .le32(0)
                   .le32(14 + 12 + 6)
                   .le32(12)
                   .le16(3)
                   .le16(1)
                   .le16(1)
                   .le16(1)
                   .raw(QByteArray("\xFF\x00\x00\xFF\xFF\xFF\xA0\x00\x00\x00", 10))
                   .b
            << 1 << 3 << QList<QRgb>{white, blue, white};
        QTest::newRow("bmp RLE8 with literal run and move")
            << bmpFile(4, 2, 8, 1, {white, red, blue},
                       QByteArray("\x00\x03\x01\x02\x01\x00\x01\x02\x00\x00" // bottom: 1 2 1 2
                                  "\x00\x02\x02\x00\x02\x01\x00\x01",        // top: skip 2, 1 1
                                  18))
            << 8 << 4 << QList<QRgb>{white, white, red, red, red, blue, red, blue};
        QTest::newRow("bmp RLE4 alternating run")
            << bmpFile(4, 1, 4, 2, {black, white}, QByteArray("\x04\x10\x00\x01", 4)) << 4 << 4
            << QList<QRgb>{white, black, white, black};

        // LZW codes (3 bits): clear, 1, 0, end.
        const QByteArray lzw("\x0C\x0A", 2);
        QTest::newRow("gif") << gifFile(2, 1, {red, green, blue, white}, {}, lzw) << 8 << 2
                             << QList<QRgb>{green, red};
        QTest::newRow("gif transparent colour becomes white")
            << gifFile(2, 1, {red, green, blue, white}, QByteArray("\x21\xF9\x04\x01\x00\x00\x00\x00", 8),
                       lzw)
            << 8 << 2 << QList<QRgb>{green, white};
        // Codes clear, 0, 1, 2, 3, 0, end (the last three with four bits); an interlaced
        // image sends rows 0, 4, 2, 1, 3.
        QTest::newRow("gif interlaced")
            << gifFile(1, 5, {red, green, blue, white}, {}, QByteArray("\x44\x34\x50", 3), true) << 8 << 1
            << QList<QRgb>{red, white, blue, red, green};
    }
    void handMadeFilesDecodeToTheirPixels() {
        QFETCH(QByteArray, file);
        QFETCH(int, bits);
        QFETCH(int, width);
        QFETCH(QList<QRgb>, pixels);
        const dib d = openBytes(file, kFormatByContent);
        QVERIFY(d.poi);
        QCOMPARE(dibbitcount(d), bits);
        QCOMPARE(dibwidth(d), width);
        QCOMPARE(dibheight(d), int(pixels.size()) / width);
        QList<QRgb> actual;
        for (int y = 0; y < dibheight(d); ++y)
            for (int x = 0; x < width; ++x)
                actual << rgbAt(d, x, y);
        QCOMPARE(actual, pixels);
    }

    // Qt's own GIF, Targa and bitmap readers check the written files against the format
    // rather than against this program's readers.
    void writtenFilesReadInAnotherDecoder_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<Picture>("picture");
        QTest::addColumn<QByteArray>("qtFormat");
        QTest::newRow("gif 4-bit") << int(kFormatGif) << Picture::Nibble << QByteArray("gif");
        QTest::newRow("gif 24-bit") << int(kFormatGif) << Picture::Rgb << QByteArray("gif");
        QTest::newRow("tga 24-bit") << int(kFormatTga) << Picture::Rgb << QByteArray("tga");
        QTest::newRow("bmp 1-bit") << int(kFormatBmp) << Picture::Mono << QByteArray("bmp");
        QTest::newRow("bmp 4-bit") << int(kFormatBmp) << Picture::Nibble << QByteArray("bmp");
        QTest::newRow("rle 4-bit") << int(kFormatRle) << Picture::Nibble << QByteArray("bmp");
        QTest::newRow("rle 8-bit") << int(kFormatRle) << Picture::Byte << QByteArray("bmp");
    }
    void writtenFilesReadInAnotherDecoder() {
        QFETCH(int, format);
        QFETCH(Picture, picture);
        QFETCH(QByteArray, qtFormat);
        if (!QImageReader::supportedImageFormats().contains(qtFormat))
            QSKIP("Qt has no reader for this format here");
        const dib original = makePicture(picture);
        QByteArray file = encodeDib(original, format);
        QBuffer buffer(&file);
        QImageReader reader(&buffer, qtFormat);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        dib back;
        QVERIFY(dibFromImage(back, image));
        const QString difference = firstDifference(original, back, 0);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void qtImageKindsLoadAtTheirDepth_data() {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QRgb>("topLeft");

        QImage grey(4, 2, QImage::Format_Grayscale8);
        grey.fill(0x40);
        QTest::newRow("grey png: 8-bit grey ramp")
            << grey << QByteArray("png") << 8 << qRgb(0x40, 0x40, 0x40);
        QImage argb(2, 1, QImage::Format_ARGB32);
        argb.setPixel(0, 0, qRgba(255, 0, 0, 0));
        argb.setPixel(1, 0, qRgba(255, 0, 0, 255));
        QTest::newRow("transparent png: white paper")
            << argb << QByteArray("png") << 24 << qRgb(255, 255, 255);
        QImage half(1, 1, QImage::Format_ARGB32);
        half.setPixel(0, 0, qRgba(0, 0, 255, 128));
        QTest::newRow("half-transparent png: mixed with white")
            << half << QByteArray("png") << 24 << qRgb(127, 127, 255);
        QImage indexed(2, 1, QImage::Format_Indexed8);
        indexed.setColorTable({qRgba(0, 0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)});
        indexed.setPixel(0, 0, 0);
        indexed.setPixel(1, 0, 2);
        QTest::newRow("palette png with a transparent entry")
            << indexed << QByteArray("png") << 8 << qRgb(255, 255, 255);
    }
    void qtImageKindsLoadAtTheirDepth() {
        QFETCH(QImage, image);
        QFETCH(QByteArray, format);
        QFETCH(int, bits);
        QFETCH(QRgb, topLeft);
        QByteArray file;
        QBuffer buffer(&file);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(QImageWriter(&buffer, format).write(image));
        const dib d = openBytes(file, kFormatByContent);
        QVERIFY(d.poi);
        QCOMPARE(dibbitcount(d), bits);
        QCOMPARE(rgbAt(d, 0, 0), topLeft);
    }

    void cutOffFilesFail_data() {
        QTest::addColumn<int>("format");
        for (const int format : {kFormatBmp, kFormatGif, kFormatIff, kFormatJpg, kFormatPcx, kFormatRle,
                                 kFormatTga, kFormatTif, kFormatPng, kFormatWebp})
            QTest::addRow("code %d", format) << format;
    }
    void cutOffFilesFail() {
        QFETCH(int, format);
        dib picture = palettePicture(40, 30, 8, [](int i) { return rgbq(i, 255 - i, (i * 3) % 256); });
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                setpixel(picture, x, y, quint32((x * 7 + y * 13) % 256));
        const QByteArray whole = encodeDib(picture, format);
        QVERIFY(!whole.isEmpty());
        QVERIFY(openBytes(whole, format).poi);
        const QByteArray cut = whole.left(whole.size() * 2 / 3);
        QVERIFY(!openBytes(cut, format).poi);
        QVERIFY(!openBytes(cut, kFormatByContent).poi);
    }

    // Each file claims a picture of well over a gigabyte that its few bytes cannot hold.
    void absurdSizesFailWithoutAllocating_data() {
        QTest::addColumn<QByteArray>("file");
        const int side = 38000;
        QTest::newRow("bmp") << bmpFile(side, side, 8, 0, QList<QRgb>(256), QByteArray(1000, '\0'));
        QTest::newRow("pcx") << Bytes()
                                    .raw(pcxHeader(8, side, side, 1, side))
                                    .raw(QByteArray(100, '\x01'))
                                    .u8(0x0C)
                                    .zeros(768)
                                    .b;
        QTest::newRow("ilbm") << iffFile(
            "ILBM", Bytes().chunk("BMHD", bmhd(side, side, 8, 1)).chunk("BODY", QByteArray(100, '\x81')).b);
        QTest::newRow("tga")
            << Bytes().raw(tgaHeader(0, 11, 0, 0, side, side, 8, 0)).raw(QByteArray(100, '\xFF')).b;
        QTest::newRow("gif") << gifFile(side, side, {0, 0, 0, 0}, {}, QByteArray("\x0C\x0A", 2));
    }
    void absurdSizesFailWithoutAllocating() {
        QFETCH(QByteArray, file);
        const qint64 before = peakRssKb();
        QVERIFY(!openBytes(file, kFormatByContent).poi);
        QCOMPARE_LT(peakRssKb() - before, 200 * 1024);
    }

    void decodersHonourThePixelLimit_data() {
        QTest::addColumn<int>("format");
        for (const int format : {kFormatBmp, kFormatGif, kFormatIff, kFormatJpg, kFormatPcx, kFormatRle,
                                 kFormatTga, kFormatTif, kFormatPng, kFormatWebp})
            QTest::addRow("code %d", format) << format;
    }
    void decodersHonourThePixelLimit() {
        QFETCH(int, format);
        const QByteArray file = encodeDib(makePicture(Picture::Byte), format); // 13 x 7 = 91 pixels
        dib d;
        setDecodePixelLimit(90);
        const bool overLimit = decodeDib(d, file, kFormatByContent);
        setDecodePixelLimit(91);
        const bool atLimit = decodeDib(d, file, kFormatByContent);
        setDecodePixelLimit(0);
        QVERIFY(!overLimit);
        QVERIFY(atLimit);
    }

    void failedLoadLeavesThePictureEmpty_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("format");
        const dib picture = makePicture(Picture::Byte);
        QTest::newRow("missing file") << QByteArray() << false << 0;
        QTest::newRow("empty file") << QByteArray() << true << 0;
        QTest::newRow("text") << QByteArray("just some words, no picture") << true << 0;
        QTest::newRow("png forced as jpg") << encodeDib(picture, kFormatPng) << true << int(kFormatJpg);
        QTest::newRow("bmp forced as pcx") << encodeDib(picture, kFormatBmp) << true << int(kFormatPcx);
        QTest::newRow("pcx forced as tga") << encodeDib(picture, kFormatPcx) << true << int(kFormatTga);
        QTest::newRow("unknown code") << encodeDib(picture, kFormatPng) << true << 99;
    }
    void failedLoadLeavesThePictureEmpty() {
        QFETCH(QByteArray, file);
        QFETCH(bool, exists);
        QFETCH(int, format);
        const QString name = path(QStringLiteral("failing.pic"));
        QFile::remove(name);
        if (exists)
            QVERIFY(writeFile(name, file));
        dib d = makePicture(Picture::Rgb);
        OpenDib(d, name, format);
        QVERIFY(!d.poi);
        QVERIFY(!d.pmi);
    }

    void backslashPathsOpen() {
        const dib original = makePicture(Picture::Nibble);
        const QString file = path(QStringLiteral("sub/picture.bmp"));
        QVERIFY(QDir().mkpath(path(QStringLiteral("sub"))));
        QString windowsStyle = file;
        windowsStyle.replace(u'/', u'\\');
        QVERIFY(SaveDib(original, windowsStyle, kFormatBmp));
        dib back;
        OpenDib(back, windowsStyle, kFormatByContent);
        QVERIFY(back.poi);
        QVERIFY(firstDifference(original, back, 0).isEmpty());
    }

    void failedSaveKeepsTheExistingFile_data() {
        QTest::addColumn<int>("width"); // 0: an empty picture
        QTest::addColumn<int>("format");
        QTest::newRow("empty picture") << 0 << int(kFormatBmp);
        QTest::newRow("unknown code") << 5 << 16;
        QTest::newRow("too wide for tga") << 70000 << int(kFormatTga);
        QTest::newRow("too wide for pcx") << 70000 << int(kFormatPcx);
        QTest::newRow("too wide for iff") << 70000 << int(kFormatIff);
        QTest::newRow("too wide for gif") << 70000 << int(kFormatGif);
    }
    void failedSaveKeepsTheExistingFile() {
        QFETCH(int, width);
        QFETCH(int, format);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("keep.pic"));
        QVERIFY(writeFile(file, "old contents"));
        dib d;
        if (width > 0)
            QVERIFY(newdib(d, width, 1, 24, nullptr, 0));
        QVERIFY(!SaveDib(d, file, format));
        QCOMPARE(readFile(file), QByteArray("old contents"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void filtersListEveryFormatInCodeOrder() {
        const QStringList extensions = {QStringLiteral("bmp"), QStringLiteral("dib"), QStringLiteral("gif"),
                                        QStringLiteral("iff"), QStringLiteral("jif"), QStringLiteral("jpg"),
                                        QStringLiteral("lbm"), QStringLiteral("pcx"), QStringLiteral("rle"),
                                        QStringLiteral("tga"), QStringLiteral("tif"), QStringLiteral("png"),
                                        QStringLiteral("webp")};
        const QStringList save = GetDIBSaveFilter().split(u'|');
        QCOMPARE(save.size(), 2 * 13);
        for (int i = 0; i < 13; ++i) {
            const QString pattern = QStringLiteral("*.") + extensions[i];
            QCOMPARE(save[2 * i + 1], pattern);
            QVERIFY2(save[2 * i].endsWith(QStringLiteral(" (") + pattern + u')'), qPrintable(save[2 * i]));
        }
        QCOMPARE(save[2 * 5 + 1], QStringLiteral("*.jpg")); // JPEG is the sixth entry: code 8

        const QStringList open = GetDIBOpenFilter().split(u'|');
        QCOMPARE(open.size(), 2 * 14);
        QVERIFY(open[0].startsWith(QStringLiteral("Alle Bilder (")));
        const QStringList all = open[1].split(u';');
        for (int i = 0; i < 13; ++i) {
            const QString pattern = QStringLiteral("*.") + extensions[i];
            QVERIFY2(all.contains(pattern), qPrintable(pattern));
            QVERIFY2(open[2 * i + 3].split(u';').contains(pattern), qPrintable(open[2 * i + 3]));
        }
    }

    void jpegQualityChangesTheFile() {
        const dib picture = makePicture(Picture::ManyColours);
        SetJPEGQual(10);
        const qsizetype low = encodeDib(picture, kFormatJpg).size();
        SetJPEGQual(95);
        const qsizetype high = encodeDib(picture, kFormatJpg).size();
        QVERIFY(low > 0);
        QCOMPARE_LT(low, high);
    }

    // Small files that claim pictures within the 2 GB a picture may take but far beyond
    // what a catalogue needs, or beyond what their data can fill: each is refused at
    // once, without taking its size in memory.
    void pictureBombsAreRefusedQuickly_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("rle8 runs claiming 9000 x 9000") << rleBomb(9000, 9000, 1);
        QTest::newRow("rle4 runs claiming 9000 x 9000") << rleBomb(9000, 9000, 2);
        QTest::newRow("rle8 claiming 30000 x 30000") << rleBomb(30000, 30000, 1);
        QTest::newRow("png claiming 25000 x 25000") << pngClaiming(25000, 25000);
        QTest::newRow("png claiming 10001 x 10001") << pngClaiming(10001, 10001);
    }
    void pictureBombsAreRefusedQuickly() {
        QFETCH(QByteArray, file);
        QCOMPARE_LT(file.size(), 2200);
        const QString name = path(QStringLiteral("bomb.pic"));
        QVERIFY(writeFile(name, file));
        const qint64 before = peakRssKb();
        QElapsedTimer timer;
        timer.start();
        dib d;
        const PictureLoadResult r = loadPictureForDrawing(d, name);
        QCOMPARE_LT(timer.elapsed(), 1000);
        QCOMPARE_LT(peakRssKb() - before, 100 * 1024);
        QVERIFY(!d.poi);
        QCOMPARE(r.problem, PictureFileProblem::Unreadable);
    }

    // The run-length check leaves room for real pictures: a small one that skips most of
    // its area, and a large one whose runs fill it.
    void runLengthPicturesThatTheirDataFillsStillLoad_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("side");
        QTest::newRow("64 x 64 ended at once")
            << bmpFile(64, 64, 8, 1, {qRgb(1, 2, 3)}, Bytes().u8(0).u8(1).b) << 64;
        Bytes rows;
        for (int y = 0; y < 2000; ++y) {
            for (int i = 0; i < 7; ++i)
                rows.u8(250).u8(i);
            rows.u8(250).u8(9).u8(0).u8(0);
        }
        QTest::newRow("2000 x 2000 in runs") << bmpFile(2000, 2000, 8, 1, QList<QRgb>(10), rows.b) << 2000;
    }
    void runLengthPicturesThatTheirDataFillsStillLoad() {
        QFETCH(QByteArray, file);
        QFETCH(int, side);
        const dib d = openBytes(file, kFormatByContent);
        QVERIFY(d.poi);
        QCOMPARE(dibwidth(d), side);
        QCOMPARE(dibheight(d), side);
    }

    // Only regular files are read: a folder, a device that never ends and a FIFO without
    // a writer (which would block an ordinary open) fail at once, and say why.
    void onlyRegularFilesAreRead_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("problem");
        QTest::newRow("missing") << "missing" << int(PictureFileProblem::Missing);
        QTest::newRow("folder") << "folder" << int(PictureFileProblem::NotAFile);
        QTest::newRow("/dev/zero") << "/dev/zero" << int(PictureFileProblem::NotAFile);
        QTest::newRow("/dev/urandom") << "/dev/urandom" << int(PictureFileProblem::NotAFile);
        QTest::newRow("fifo") << "fifo" << int(PictureFileProblem::NotAFile);
    }
    void onlyRegularFilesAreRead() {
        QFETCH(QString, kind);
        QFETCH(int, problem);
        QString name = kind;
        if (kind == QLatin1String("missing")) {
            name = path(QStringLiteral("nothing-here.png"));
        } else if (kind == QLatin1String("folder")) {
            name = path(QStringLiteral("a-folder.png"));
            QVERIFY(QDir().mkpath(name));
        } else if (kind == QLatin1String("fifo")) {
            name = path(QStringLiteral("pipe.png"));
            QFile::remove(name);
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        }
        QElapsedTimer timer;
        timer.start();
        dib d = makePicture(Picture::Rgb);
        OpenDib(d, name, kFormatByContent);
        QVERIFY(!d.poi);
        const PictureLoadResult r = loadPictureForDrawing(d, name);
        QVERIFY(!d.poi);
        QCOMPARE(int(r.problem), problem);
        QCOMPARE_LT(timer.elapsed(), 1000);
    }

    // A JPEG much larger than it is drawn decodes smaller, never below the size asked for,
    // and still reports its own size; one drawn near its size decodes in full. Where the
    // decoder's own m/8 size is a little above the size needed, it is that size.
    void jpegDecodesAtTheSizeItIsDrawn_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("atLeast");
        QTest::addColumn<QSize>("decoded"); // invalid: in full
        QTest::newRow("drawn 100 pixels") << QSize(1201, 802) << 100 << QSize(150, 100);
        QTest::newRow("drawn 399 pixels: odd sides have no exact half")
            << QSize(1201, 802) << 399 << QSize(598, 399);
        QTest::newRow("drawn 390 pixels: the decoder's own half")
            << QSize(1200, 800) << 390 << QSize(600, 400);
        QTest::newRow("drawn 60 pixels: far below its eighth") << QSize(1200, 800) << 60 << QSize(90, 60);
        QTest::newRow("drawn 402 pixels: over half the short side") << QSize(1201, 802) << 402 << QSize();
        QTest::newRow("no size given") << QSize(1201, 802) << 0 << QSize();
    }
    void jpegDecodesAtTheSizeItIsDrawn() {
        QFETCH(QSize, picture);
        QFETCH(int, atLeast);
        QFETCH(QSize, decoded);
        QImage image(picture, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, x < picture.width() / 2 ? qRgb(200, 30, 30) : qRgb(30, 30, 200));
        const QString name = path(QStringLiteral("photo.jpg"));
        QVERIFY(image.save(name, "JPEG", 90));
        dib d;
        const PictureLoadResult r = loadPictureForDrawing(d, name, atLeast);
        QVERIFY(d.poi);
        QCOMPARE(r.problem, PictureFileProblem::None);
        QCOMPARE(r.fullSize, picture);
        QCOMPARE(QSize(dibwidth(d), dibheight(d)), decoded.isValid() ? decoded : picture);
        QCOMPARE_GE(std::min(dibwidth(d), dibheight(d)), atLeast);
        // The left half stays red, the right half blue.
        QCOMPARE_GT(int(getpixel(d, dibwidth(d) / 4, dibheight(d) / 2) & 0xFF), 150);
        QCOMPARE_GT(int(getpixel(d, dibwidth(d) * 3 / 4, dibheight(d) / 2) >> 16 & 0xFF), 150);
    }

    // The size read from a file's header is the size a full load reports, for the files
    // measured from their header and for those that fall back to decoding; cut-off files
    // fail as a load fails.
    void sizeFromTheHeaderAgreesWithALoad_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("size"); // invalid: the load fails
        const auto encoded = [](const char* format) {
            QImage image(61, 23, QImage::Format_RGB32);
            image.fill(qRgb(10, 120, 200));
            QByteArray out;
            QBuffer buffer(&out);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, format);
            return out;
        };
        const QByteArray jpeg = encoded("JPEG");
        const QByteArray png = encoded("PNG");
        // An Exif block with the camera's orientation, in either byte order, after SOI.
        const auto withOrientation = [&jpeg](int orientation, bool little, int padding = 0) {
            Bytes exif;
            exif.raw(QByteArray("Exif\0\0", 6));
            if (little)
                exif.raw("II*")
                    .u8(0)
                    .le32(8)
                    .le16(1)
                    .le16(0x0112)
                    .le16(3)
                    .le32(1)
                    .le16(orientation)
                    .le16(0)
                    .le32(0);
            else
                exif.raw("MM")
                    .u8(0)
                    .u8(42)
                    .be32(8)
                    .be16(1)
                    .be16(0x0112)
                    .be16(3)
                    .be32(1)
                    .be16(orientation)
                    .be16(0)
                    .be32(0);
            exif.zeros(padding); // as a thumbnail would
            return jpeg.left(2) + Bytes().u8(0xFF).u8(0xE1).be16(int(exif.b.size()) + 2).b + exif.b +
                   jpeg.mid(2);
        };
        QTest::newRow("JPEG") << jpeg << QSize(61, 23);
        QTest::newRow("JPEG taken on its side") << withOrientation(6, true) << QSize(23, 61);
        QTest::newRow("JPEG taken on its other side, Motorola order")
            << withOrientation(8, false) << QSize(23, 61);
        QTest::newRow("JPEG on its side with a long Exif block")
            << withOrientation(6, true, 20000) << QSize(23, 61);
        QTest::newRow("JPEG on its side with an Exif block longer than the header read")
            << withOrientation(6, true, 100000) << QSize(23, 61);
        QTest::newRow("JPEG taken upside down") << withOrientation(3, false) << QSize(61, 23);
        QTest::newRow("PNG") << png << QSize(61, 23);
        QTest::newRow("JPEG with bytes after its end") << jpeg + QByteArray(40, 'x') << QSize(61, 23);
        QTest::newRow("BMP") << encoded("BMP") << QSize(61, 23);
        QTest::newRow("JPEG cut off") << jpeg.left(jpeg.size() - 30) << QSize();
        QTest::newRow("PNG cut off") << png.left(png.size() - 5) << QSize();
        QTest::newRow("JPEG signature alone") << jpeg.left(3) + QByteArray("\xFF\xD9") << QSize();
        QTest::newRow("not a picture") << QByteArray("just some words") << QSize();
    }
    void sizeFromTheHeaderAgreesWithALoad() {
        QFETCH(QByteArray, file);
        QFETCH(QSize, size);
        const QString name = path(QStringLiteral("measured.pic"));
        QVERIFY(writeFile(name, file));
        dib d;
        const PictureLoadResult loaded = loadPictureForDrawing(d, name);
        const PictureLoadResult measured = readPictureSize(name);
        QCOMPARE(measured.problem, loaded.problem);
        QCOMPARE(measured.fullSize, loaded.fullSize);
        QCOMPARE(measured.problem,
                 size.isValid() ? PictureFileProblem::None : PictureFileProblem::Unreadable);
        if (size.isValid())
            QCOMPARE(measured.fullSize, size);
        QCOMPARE(readPictureSize(path(QStringLiteral("no-such.jpg"))).problem, PictureFileProblem::Missing);
    }

    // A rendered page saved from the image itself has the bytes of its 24-bit picture
    // saved with the same resolution, in every format, whether or not the image already
    // carries that resolution.
    void pageImageSavesAsItsPicture_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("resolutionSet");
        QTest::newRow("JPEG at 150 dpi") << int(kFormatJpg) << 150 << true;
        QTest::newRow("JPEG at 150 dpi, not yet recorded") << int(kFormatJpg) << 150 << false;
        QTest::newRow("JPEG without a resolution") << int(kFormatJpg) << 0 << false;
        QTest::newRow("PNG at 96 dpi") << int(kFormatPng) << 96 << true;
        QTest::newRow("TIFF at 300 dpi") << int(kFormatTif) << 300 << true;
        QTest::newRow("WebP") << int(kFormatWebp) << 72 << true;
        QTest::newRow("BMP at 150 dpi (by the picture)") << int(kFormatBmp) << 150 << true;
        QTest::newRow("PCX at 150 dpi (by the picture)") << int(kFormatPcx) << 150 << false;
    }
    void pageImageSavesAsItsPicture() {
        QFETCH(int, format);
        QFETCH(int, dpi);
        QFETCH(bool, resolutionSet);
        QImage page(97, 61, QImage::Format_RGB32);
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                page.setPixel(x, y, qRgb(x * 2, (y * 4) % 256, (x ^ y) % 256));
        if (resolutionSet)
            setImageResolution(page, dpi);
        SetJPEGQual(88);
        dib picture;
        QVERIFY(dibFromImage(picture, page));
        setDibResolution(picture, dpi);
        const QString viaPicture = path(QStringLiteral("picture.out"));
        const QString direct = path(QStringLiteral("direct.out"));
        QVERIFY(SaveDib(picture, viaPicture, format));
        QVERIFY(SavePageImage(page, dpi, direct, format));
        QFile a(viaPicture);
        QFile b(direct);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray expected = a.readAll();
        QVERIFY(expected.size() > 100);
        QCOMPARE(b.readAll(), expected);
        SetJPEGQual(75);
    }

    void screenDepthOverrideWinsUntilCleared() {
        setScreenBppOverride(8);
        QCOMPARE(screenbpp(), 8);
        setScreenBppOverride(0);
        const QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screenbpp(), screen ? screen->depth() : 24);
    }
};

PW_TEST_CLASS(TestPicFiles)
#include "tst_picfiles.moc"
