#include "testmain.h"

#include "output/ccitt.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <optional>

using namespace pw;

namespace {

// A 1-bit picture, row by row: true is black.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<bool> black;
    bool at(int x, int y) const { return black[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// Fills rows with runs of alternating colour, starting white, whose lengths come from
// nextRun; runs continue across row ends.
template <typename NextRun> void fillWithRuns(Picture& p, NextRun nextRun) {
    bool isBlack = false;
    int left = nextRun();
    for (std::size_t i = 0; i < p.black.size(); ++i) {
        while (left == 0) {
            isBlack = !isBlack;
            left = nextRun();
        }
        p.black[i] = isBlack;
        --left;
    }
}

// Rows of text-like glyphs: cells of 6 x 8 blocks of 4 x 4 pixels, each block black by chance,
// with word gaps and blank space between the lines, as a scanned or rendered page has.
void fillWithText(Picture& p, QRandomGenerator& rng) {
    const int lineHeight = 48;
    const int glyphWidth = 28;
    std::vector<quint32> glyphBlocks(std::size_t(p.width / glyphWidth + 1) * 8);
    for (int y = 0; y < p.height; ++y) {
        const int inLine = y % lineHeight;
        if (inLine == 0)
            for (quint32& blocks : glyphBlocks)
                blocks = rng.bounded(6) == 0 ? 0 : rng.generate() & rng.generate() & 0x3f;
        if (inLine >= 32)
            continue;
        for (int x = 0; x < p.width; ++x) {
            const int cell = x / glyphWidth;
            const int bx = x % glyphWidth / 4;
            if (bx < 6)
                p.black[std::size_t(y) * std::size_t(p.width) + std::size_t(x)] =
                    (glyphBlocks[std::size_t(cell) * 8 + std::size_t(inLine / 4)] >> bx) & 1;
        }
    }
}

Picture makePicture(const QString& pattern, int width, int height) {
    Picture p{width, height, std::vector<bool>(std::size_t(width) * std::size_t(height))};
    QRandomGenerator rng(4711);
    if (pattern == QLatin1String("black")) {
        p.black.assign(p.black.size(), true);
    } else if (pattern == QLatin1String("noise")) {
        for (std::size_t i = 0; i < p.black.size(); ++i)
            p.black[i] = rng.bounded(2) == 1;
    } else if (pattern == QLatin1String("checker")) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                p.black[std::size_t(y) * std::size_t(width) + std::size_t(x)] = (x + y) % 2 == 1;
    } else if (pattern == QLatin1String("shortRuns")) {
        fillWithRuns(p, [&] { return rng.bounded(1, 13); });
    } else if (pattern == QLatin1String("longRuns")) {
        fillWithRuns(p, [&] { return rng.bounded(2) == 0 ? rng.bounded(1, 40) : rng.bounded(2400, 9000); });
    } else if (pattern == QLatin1String("everyRunLength")) {
        // A white and a black run of every length up to 200 and of every multiple of 64 up to
        // the widest single make-up code and beyond, and one either side; each pair on its own
        // row below a white row, so that they are coded as runs rather than as offsets from
        // the row above.
        std::vector<int> lengths;
        for (int n = 1; n <= 200; ++n)
            lengths.push_back(n);
        for (int n = 256; 2 * (n + 1) <= width; n += 64)
            lengths.insert(lengths.end(), {n - 1, n, n + 1});
        for (std::size_t r = 0; r < lengths.size() && int(2 * r + 1) < height; ++r) {
            const int n = lengths[r];
            for (int x = n; x < 2 * n; ++x)
                p.black[(2 * r + 1) * std::size_t(width) + std::size_t(x)] = true;
        }
    } else if (pattern == QLatin1String("text")) {
        fillWithText(p, rng);
    }
    return p;
}

void encode(const Picture& p, const QString& path) {
    CcittEncoder encoder;
    QVERIFY(encoder.openccittfile(path));
    encoder.g4j_initialize(p.width, p.height);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (p.at(x, y))
                encoder.g4j_encode_black(1);
            else
                encoder.g4j_encode_white(1);
        }
        encoder.g4j_encode_new_row();
    }
    encoder.g4j_encode_EOFB();
    QVERIFY(encoder.closeccittfile());
}

QStringList& tiffMessages() {
    static QStringList messages;
    return messages;
}

void collectTiffMessage(const char* module, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    tiffMessages().append(
        QStringLiteral("%1: %2").arg(QString::fromUtf8(module ? module : ""), QString::fromUtf8(text)));
}

// Wraps the coded data in a one-strip TIFF file (0 is white) and lets libtiff decode it.
std::optional<Picture> decodeWithLibtiff(const QByteArray& data, int width, int height,
                                         const QString& tiffPath) {
    const QByteArray name = QFile::encodeName(tiffPath);
    TIFF* out = TIFFOpen(name.constData(), "w");
    if (!out)
        return std::nullopt;
    TIFFSetField(out, TIFFTAG_IMAGEWIDTH, quint32(width));
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, quint32(height));
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(out, TIFFTAG_GROUP4OPTIONS, 0);
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, quint32(height));
    QByteArray copy = data; // libtiff takes a non-const pointer
    const bool written = TIFFWriteRawStrip(out, 0, copy.data(), copy.size()) == copy.size();
    TIFFClose(out);
    if (!written)
        return std::nullopt;

    TIFF* in = TIFFOpen(name.constData(), "r");
    if (!in)
        return std::nullopt;
    const std::size_t rowBytes = std::size_t(width + 7) / 8;
    std::vector<quint8> bits(rowBytes * std::size_t(height));
    const tmsize_t expected = tmsize_t(bits.size());
    const tmsize_t got = TIFFReadEncodedStrip(in, 0, bits.data(), expected);
    TIFFClose(in);
    if (got != expected)
        return std::nullopt;
    Picture p{width, height, std::vector<bool>(std::size_t(width) * std::size_t(height))};
    for (std::size_t y = 0; y < std::size_t(height); ++y)
        for (std::size_t x = 0; x < std::size_t(width); ++x)
            p.black[y * std::size_t(width) + x] = (bits[y * rowBytes + x / 8] >> (7 - x % 8)) & 1;
    return p;
}

// The bits after the last one bit are the padding of the last byte.
bool endsWithEndOfBlock(const QByteArray& data) {
    quint64 tail = 0;
    const qsizetype from = std::max<qsizetype>(0, data.size() - 4);
    for (qsizetype i = from; i < data.size(); ++i)
        tail = tail << 8 | quint8(data[i]);
    if (data.size() < 4 || (tail & 0xff) == 0)
        return false;
    while ((tail & 1) == 0)
        tail >>= 1;
    return (tail & 0xffffff) == 0x001001;
}

// Runs a script of calls: "w3" and "b3" add white and black pixels, "/" ends a row; the
// end-of-block code follows the script.
QByteArray encodeScript(const QString& script, int width, int height, const QString& path) {
    CcittEncoder encoder;
    if (!encoder.openccittfile(path))
        return {};
    encoder.g4j_initialize(width, height);
    for (const QString& token : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (token == QLatin1String("/"))
            encoder.g4j_encode_new_row();
        else if (token.startsWith(QLatin1Char('b')))
            encoder.g4j_encode_black(token.mid(1).toInt());
        else
            encoder.g4j_encode_white(token.mid(1).toInt());
    }
    encoder.g4j_encode_EOFB();
    if (!encoder.closeccittfile())
        return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Picture pictureFromRows(const QString& rows) {
    const QStringList lines = rows.split(QLatin1Char('|'));
    Picture p{int(lines.first().size()), int(lines.size()), {}};
    for (const QString& line : lines)
        for (QChar c : line)
            p.black.push_back(c == QLatin1Char('#'));
    return p;
}

QString pictureRows(const Picture& p) {
    QStringList rows;
    for (int y = 0; y < p.height; ++y) {
        QString row;
        for (int x = 0; x < p.width; ++x)
            row += p.at(x, y) ? QLatin1Char('#') : QLatin1Char('.');
        rows.append(row);
    }
    return rows.join(QLatin1Char('|'));
}

} // namespace

class TestFaxEncode : public QObject {
    Q_OBJECT
    TIFFErrorHandler m_oldError = nullptr;
    TIFFErrorHandler m_oldWarning = nullptr;
    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_oldError = TIFFSetErrorHandler(collectTiffMessage);
        m_oldWarning = TIFFSetWarningHandler(collectTiffMessage);
    }
    void cleanupTestCase() {
        TIFFSetErrorHandler(m_oldError);
        TIFFSetWarningHandler(m_oldWarning);
    }
    void init() { tiffMessages().clear(); }

    void decodesToEveryPixelAndEndsWithEndOfBlock_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("all white") << "white" << 100 << 40;
        QTest::newRow("all black") << "black" << 100 << 40;
        QTest::newRow("random pixels") << "noise" << 203 << 97;
        QTest::newRow("checkerboard") << "checker" << 64 << 64;
        QTest::newRow("width not a multiple of 8") << "shortRuns" << 37 << 29;
        QTest::newRow("one pixel wide") << "noise" << 1 << 64;
        QTest::newRow("one row") << "shortRuns" << 500 << 1;
        QTest::newRow("runs longer than 2560") << "longRuns" << 6000 << 40;
        QTest::newRow("every run length") << "everyRunLength" << 6000 << 658;
        QTest::newRow("page-wide text") << "text" << 2480 << 400;
    }
    void decodesToEveryPixelAndEndsWithEndOfBlock() {
        QFETCH(QString, pattern);
        QFETCH(int, width);
        QFETCH(int, height);
        const Picture picture = makePicture(pattern, width, height);
        const QString path = m_dir.filePath(QStringLiteral("picture.g4"));
        encode(picture, path);
        if (QTest::currentTestFailed())
            return;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        QVERIFY(endsWithEndOfBlock(data));

        const std::optional<Picture> decoded = decodeWithLibtiff(
            data, picture.width, picture.height, m_dir.filePath(QStringLiteral("picture.tif")));
        QCOMPARE(tiffMessages(), QStringList());
        QVERIFY(decoded);
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (decoded->at(x, y) != picture.at(x, y))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
    }

    void rowsAreCutOrFilledToTheirSize_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("expected");
        QTest::newRow("short rows filled with white")
            << "b3 / w2 b1 / /" << 8 << 3 << "###.....|..#.....|........";
        QTest::newRow("pixels beyond the width dropped")
            << "w4 b2147483647 w3 b2 / b100 / w9 /" << 6 << 3 << "....##|######|......";
        QTest::newRow("empty and repeated runs") << "w0 b2 w-3 b1 w0 w2 /" << 6 << 1 << "###...";
        QTest::newRow("missing rows white") << "b5 / w1 b1" << 5 << 3 << "#####|.#...|.....";
        QTest::newRow("rows beyond the height dropped") << "b1 / b4 / w1 b3 /" << 4 << 1 << "#...";
    }
    void rowsAreCutOrFilledToTheirSize() {
        QFETCH(QString, script);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, expected);
        const QByteArray data =
            encodeScript(script, width, height, m_dir.filePath(QStringLiteral("script.g4")));
        QVERIFY(endsWithEndOfBlock(data));
        const std::optional<Picture> decoded =
            decodeWithLibtiff(data, width, height, m_dir.filePath(QStringLiteral("script.tif")));
        QCOMPARE(tiffMessages(), QStringList());
        QVERIFY(decoded);
        QCOMPARE(pictureRows(*decoded), expected);

        // Rows beyond the height would decode unseen; the bytes must be those of the
        // expected picture alone.
        const QString expectedPath = m_dir.filePath(QStringLiteral("expected.g4"));
        encode(pictureFromRows(expected), expectedPath);
        QFile expectedFile(expectedPath);
        QVERIFY(expectedFile.open(QIODevice::ReadOnly));
        QCOMPARE(data, expectedFile.readAll());
    }

    // Worked by hand: the first row against white is one horizontal step (white 2, black 2)
    // and V0; the second moves both edges one left (VL1, VL1) and V0; the third passes the
    // black run above it and ends with V0; then the end-of-block code and two zero bits.
    void choosesTheShortestModes() {
        const QByteArray data = encodeScript(QStringLiteral("w2 b2 / w1 b2 / /"), 8, 3,
                                             m_dir.filePath(QStringLiteral("modes.g4")));
        QCOMPARE(data.toHex(' '), QByteArray("2f d2 8c 00 40 04"));
    }

    void unwritableFileIsReported() {
        CcittEncoder encoder;
        QVERIFY(!encoder.openccittfile(m_dir.filePath(QStringLiteral("missing/folder/picture.g4"))));
        QVERIFY(!encoder.closeccittfile());
    }
};

PW_TEST_CLASS(TestFaxEncode)
#include "tst_ccitt.moc"
