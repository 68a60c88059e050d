#include "testmain.h"

#include "exportfixture.h"

#include "compose/canvas.h"
#include "model/error.h"
#include "output/PDFWriterCanvas.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <lcms2.h>
#include <sched.h>

using namespace pw;

namespace {

using test::runTool;
using test::Tool;

// qpdf's structural check of a whole file.
bool qpdfCheck(const QString& file) {
    const Tool t = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), file});
    if (t.code != 0)
        qWarning() << t.out;
    return t.code == 0 && !t.out.contains("WARNING");
}

// The decoded data of one object's stream.
QByteArray streamOf(const QString& file, int object) {
    return runTool(QStringLiteral("qpdf"), {QStringLiteral("--show-object=%1").arg(object),
                                            QStringLiteral("--filtered-stream-data"), file})
        .out;
}

// The rows of `pdfimages -list`: width, height, colour space, encoding and object number.
struct ImageRow {
    int width;
    int height;
    QString color;
    QString encoding;
    int object;
};
QList<ImageRow> imagesOf(const QString& file) {
    QList<ImageRow> rows;
    const QList<QByteArray> lines =
        runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file}).out.split('\n');
    for (const QByteArray& line : lines) {
        const QStringList f = QString::fromLatin1(line).simplified().split(QLatin1Char(' '));
        if (f.size() >= 12 && f[2] == QLatin1String("image"))
            rows.append({f[3].toInt(), f[4].toInt(), f[5], f[8], f[10].toInt()});
    }
    return rows;
}

int pageCount(const QString& file) {
    static const QRegularExpression re(QStringLiteral("Pages:\\s+(\\d+)"));
    return re.match(QString::fromLatin1(runTool(QStringLiteral("pdfinfo"), {file}).out)).captured(1).toInt();
}

// The first page drawn by poppler at four times its size (below that it smooths pictures).
QImage renderedAt4x(const QString& file) {
    const QString out = file + QStringLiteral("-page");
    if (runTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("288"), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), file, out})
            .code != 0)
        return {};
    return QImage(out + QStringLiteral(".png"));
}

QByteArray readAll(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A 24-bit picture from rows of 0xRRGGBB values, top row first.
dib picture24(const QList<QList<quint32>>& rows) {
    dib d;
    const int h = int(rows.size());
    const int w = int(rows[0].size());
    newdib(d, w, h, 24, nullptr, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const quint32 rgb = rows[y][x];
            // setpixel takes 0x00BBGGRR
            setpixel(d, x, y, ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
        }
    }
    return d;
}

// A picture with a palette; entry i of `palette` is 0xRRGGBB. Pixels are indices, top first.
dib palettePicture(int bits, const QList<quint32>& palette, const QList<QList<int>>& rows) {
    BITMAPINFO info{};
    for (qsizetype i = 0; i < palette.size(); ++i) {
        info.bmiColors[std::size_t(i)].rgbRed = quint8(palette[i] >> 16);
        info.bmiColors[std::size_t(i)].rgbGreen = quint8(palette[i] >> 8);
        info.bmiColors[std::size_t(i)].rgbBlue = quint8(palette[i]);
    }
    dib d;
    newdib(d, int(rows[0].size()), int(rows.size()), bits, &info, 1 << bits);
    for (int y = 0; y < int(rows.size()); ++y) {
        for (int x = 0; x < int(rows[y].size()); ++x)
            setpixel(d, x, y, quint32(rows[y][x]));
    }
    return d;
}

// Points the system temporary folder at a fresh folder while it lives.
struct TemporaryFolder {
    TemporaryFolder() : saved(qgetenv("TMPDIR")) { qputenv("TMPDIR", QFile::encodeName(dir.path())); }
    ~TemporaryFolder() { qputenv("TMPDIR", saved); }
    QString filePath(const QString& name) const { return dir.filePath(name); }
    // Everything in it, folders and hidden files included.
    QStringList files() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    // The files of the writer's private folders, with their paths.
    QStringList privateFiles() const {
        QStringList out;
        for (const QFileInfo& folder :
             QDir(dir.path()).entryInfoList({QStringLiteral("pagewright-*")}, QDir::Dirs))
            for (const QFileInfo& f : QDir(folder.filePath()).entryInfoList(QDir::Files))
                out.append(f.filePath());
        return out;
    }
    QTemporaryDir dir;
    QByteArray saved;
};

class ScriptedPrompts final : public Prompts {
public:
    Answer ask(const QString&, const QString&, Buttons) override { return Answer::Yes; }
    void message(const QString& text, const QString&, Icon) override { messages.append(text); }
    QString openFileName(const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    QString folderName(const QString&) override { return {}; }
    QStringList messages;
};

} // namespace

class TestPdfWriter : public QObject {
    Q_OBJECT

private slots:
    void numbersAndNames_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("one") << 255.0 / 255 << "1";
        QTest::newRow("a fifth") << 51.0 / 255 << "0.2";
        QTest::newRow("fifteen digits") << 128.0 / 255 << "0.501960784313725";
        QTest::newRow("a width") << 7 * 1000.0 / 12 << "583.333333333333";
        QTest::newRow("small, no exponent") << 0.0000001 << "0.0000001";
        QTest::newRow("negative") << -0.5 << "-0.5";
        QTest::newRow("large") << 12345678.9 << "12345678.9";
    }
    void numbersAndNames() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(PdfNumber(value), text);
    }

    void namesAndStrings() {
        QCOMPARE(PDFFontName(QStringLiteral("Times New Roman"), 0), QStringLiteral("Times#20New#20Roman"));
        QCOMPARE(PDFFontName(QStringLiteral("A#(b)/ü"), FontSpec::Bold),
                 QStringLiteral("A#23#28b#29#2F#FC,Bold"));
        QCOMPARE(PDFFontName(QStringLiteral("Arial"), FontSpec::Italic), QStringLiteral("Arial,Italic"));
        QCOMPARE(PDFFontName(QStringLiteral("Arial"), FontSpec::Bold | FontSpec::Italic),
                 QStringLiteral("Arial,BoldItalic"));
        QCOMPARE(EscapePDFString(QStringLiteral("a(b)\\c\t\x01\r\n\b\f")),
                 QStringLiteral("a\\(b\\)\\\\c\\t\\001\\r\\n\\b\\f"));
    }

    void emptyDocumentIsComplete() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("leer.pdf"));
        {
            TPDFCanvas pdf;
            QVERIFY(pdf.BeginDoc(file));
            pdf.EndDoc();
        }
        const QByteArray bytes = readAll(file);
        QVERIFY(bytes.startsWith("%PDF-1.3\n1 0 obj\n[/PDF /Text /ImageB /ImageC /ImageI]\nendobj\n"
                                 "2 0 obj\n<< /Length 3 0 R /Filter /FlateDecode >>\nstream\n"));
        QVERIFY(bytes.endsWith("startxref\n" + QByteArray::number(bytes.indexOf("xref\n0 8\n")) + "\n%%EOF"));
        QVERIFY(bytes.contains("trailer\n<<\n/Size 8\n/Root 6 0 R\n>>\n"));
        QVERIFY(bytes.contains("/Kids [5 0 R]"));
        QVERIFY(bytes.contains("/MediaBox [0 0 594 840]"));
        // One 20-byte line per object; each offset points at its object.
        const qsizetype table = bytes.indexOf("xref\n0 8\n") + 9;
        QCOMPARE(bytes.mid(table, 20), QByteArray("0000000000 65535 f \n"));
        for (int n = 1; n < 8; ++n) {
            const QByteArray line = bytes.mid(table + 20 * n, 20);
            QVERIFY(line.endsWith(" 00000 n \n"));
            QVERIFY(bytes.mid(line.left(10).toLongLong()).startsWith(QByteArray::number(n) + " 0 obj\n"));
        }
        QVERIFY(qpdfCheck(file));
        const QByteArray info = runTool(QStringLiteral("pdfinfo"), {file}).out;
        QCOMPARE(pageCount(file), 1);
        QVERIFY2(info.contains("594 x 840 pts"), info.constData());
    }

    void vectorOperatorsAndState() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("v.pdf"));
        {
            TPDFCanvas pdf;
            QVERIFY(pdf.BeginDoc(file));
            pdf.pen = {0x000000FF, 2, 0};
            pdf.MoveTo(10, 10);
            pdf.LineTo(20, 10);
            pdf.LineTo(20, 30); // the same pen: no state lines again
            pdf.brush = {0x0000FF00, 0};
            pdf.FillRect(30, 10, 20, 40); // reversed: width x2 - x1 + 1
            pdf.FillRect(5, 5, 5, 9);     // empty: nothing
            pdf.pen.style = kPdfPenClear;
            pdf.Rectangle(0, 0, 10, 10); // clear pen: a fill only
            pdf.NewPage();
            pdf.pen = {0x000000FF, 2, 0};
            pdf.LineTo(1, 1);
            pdf.EndDoc();
        }
        QVERIFY(qpdfCheck(file));
        QCOMPARE(streamOf(file, 2),
                 QByteArray("[ ] 0 d\n2 w\n1 0 0 RG\n10 830 m\n20 830 l\nS\n20 830 m\n20 810 l\nS\n"
                            "0 1 0 rg\n30 801 -9 29 re\nf\n"
                            "0 831 9 9 re\nf\n"));
        QCOMPARE(streamOf(file, 4), QByteArray("[ ] 0 d\n2 w\n1 0 0 RG\n20 810 m\n1 839 l\nS\n"));
        QCOMPARE(pageCount(file), 2);
    }

    void textAndFonts() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("t.pdf"));
        int h = 0;
        {
            TPDFCanvas pdf;
            QVERIFY(pdf.BeginDoc(file));
            pdf.font.Name = QStringLiteral("Arial");
            pdf.font.Size = 12;
            pdf.font.Style = FontSpec::Bold;
            h = pdf.TextHeight(QStringLiteral("a(b)\\c"));
            pdf.TextOut(10, 20, QStringLiteral("a(b)\\c"));
            pdf.font.Style = 0;
            pdf.TextOut(10, 40, QStringLiteral("x"));
            pdf.TextOut(10, 60, QStringLiteral("y"));           // same font and size: no Tf again
            pdf.TextOut(10, 80, QStringLiteral("Größe 5 € ✓")); // Windows-1252; "?" for the rest
            pdf.NewPage();
            pdf.EndDoc();
        }
        QVERIFY(qpdfCheck(file));
        const QByteArray page1 = streamOf(file, 2);
        QVERIFY(page1.startsWith("BT\n0 0 0 rg\n/F1 12 Tf\n10 " + QByteArray::number(841 - 20 - h - 1) +
                                 "  Td (a\\(b\\)\\\\c) Tj\nET\n"));
        QCOMPARE(page1.count("Tf"), 2);
        QVERIFY(page1.contains("(Gr\xF6\xDF"
                               "e 5 \x80 ?) Tj"));
        QVERIFY(page1.contains("/F2 12 Tf"));
        const QByteArray bytes = readAll(file);
        // Two fonts after the two pages' streams (objects 6 and 7), listed on both pages.
        QVERIFY(bytes.contains("6 0 obj\n<<\n/Type /Font\n/Subtype /TrueType\n/Encoding /WinAnsiEncoding\n"
                               "/BaseFont /Arial,Bold\n/FontDescriptor <</Type/FontDescriptor\n/FontBBox["));
        QVERIFY(bytes.contains("/BaseFont /Arial\n"));
        QCOMPARE(bytes.count("/Font << /F1 6 0 R/F2 7 0 R>> /ProcSet 1 0 R"), 2);
        QVERIFY(bytes.contains("/Flags 4/Ascent "));
        QVERIFY(bytes.contains("/FirstChar 32\n/LastChar 255\n/Widths ["));
        const QByteArray fonts = runTool(QStringLiteral("pdffonts"), {file}).out;
        QVERIFY(fonts.contains("Arial,Bold"));
    }

    void picturesAsRgbAndCmyk_data() {
        QTest::addColumn<bool>("cmyk");
        QTest::addColumn<bool>("tempFiles");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray rgb = QByteArray::fromHex("FF00000000FF");
        const QByteArray cmyk = QByteArray::fromHex("00FFFF00FFFF0000");
        QTest::newRow("RGB in memory") << false << false << rgb;
        QTest::newRow("RGB through a temporary file") << false << true << rgb;
        QTest::newRow("CMYK by the formula") << true << false << cmyk;
        QTest::newRow("CMYK through a temporary file") << true << true << cmyk;
    }
    void picturesAsRgbAndCmyk() {
        QFETCH(bool, cmyk);
        QFETCH(bool, tempFiles);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("p.pdf"));
        {
            TPDFCanvas pdf;
            pdf.compressasCMYK = cmyk;
            pdf.usetempfileforimages = tempFiles;
            QVERIFY(!pdf.uselcms());
            QVERIFY(pdf.BeginDoc(file));
            const dib d = picture24({{0xFF0000, 0x0000FF}});
            pdf.DrawDIB(0, 0, pdf.PageWidth, pdf.PageHeight, d, 0, 0, 2, 1);
            pdf.EndDoc();
        }
        QVERIFY(qpdfCheck(file));
        QCOMPARE(streamOf(file, 2), QByteArray("q\n594 0 0 840 0 0 cm\n/Im0 Do\nQ\n"));
        QCOMPARE(streamOf(file, 8), bytes); // 3 pages' worth of objects, no fonts: 3 + 5
        const QList<ImageRow> images = imagesOf(file);
        QCOMPARE(images.size(), 1);
        QCOMPARE(images[0].width, 2);
        QCOMPARE(images[0].height, 1);
        QCOMPARE(images[0].color, cmyk ? QStringLiteral("cmyk") : QStringLiteral("rgb"));
        QCOMPARE(images[0].encoding, QStringLiteral("image")); // Flate
    }

    void backgroundCompressionKeepsTheBytes_data() {
        QTest::addColumn<bool>("cmyk");
        QTest::addColumn<bool>("profile");
        QTest::newRow("RGB") << false << false;
        QTest::newRow("CMYK by the formula") << true << false;
        QTest::newRow("CMYK by a profile") << true << true;
    }
    void backgroundCompressionKeepsTheBytes() {
        QFETCH(bool, cmyk);
        QFETCH(bool, profile);
        const QString system = QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc");
        if (profile && !QFile::exists(system))
            QSKIP("no CMYK profile on this machine");
        QTemporaryDir folder;
        if (profile)
            QVERIFY(QFile::copy(system, folder.filePath(QStringLiteral("WebCoatedSWOP2006Grade3.icc"))));
        const TemporaryFolder tmp;
        const auto write = [&](bool background) {
            const QString file =
                folder.filePath(background ? QStringLiteral("b.pdf") : QStringLiteral("s.pdf"));
            TPDFCanvas pdf(folder.path());
            pdf.compressasCMYK = cmyk;
            pdf.usetempfileforimages = true;
            pdf.compressInBackground = background;
            pdf.BeginDoc(file);
            for (int page = 0; page < 3; ++page) {
                if (page > 0)
                    pdf.NewPage();
                QImage image(300, 200, QImage::Format_RGB32);
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x)
                        image.setPixel(x, y, qRgb((x * 7 + page * 50) % 256, (y * 3) % 256, (x ^ y) % 256));
                }
                dib d;
                dibFromImage(d, image);
                pdf.DrawDIB(0, 0, 300, 200, std::move(d), 0, 0, 300, 200); // handed over
                pdf.DrawDIB(10, 10, 20, 20, picture24({{0xFF0000, 0x00FF00}}), 0, 0, 2, 1);
                const dib kept = picture24({{0x123456}});
                pdf.DrawDIB(30, 30, 5, 5, kept, 0, 0, 1, 1); // copied
                pdf.DrawDIB(40, 40, 5, 5, palettePicture(8, {0x000000, 0xFFFFFF}, {{0, 1}}), 0, 0, 2, 1);
                pdf.DrawDIB(50, 50, 5, 5, palettePicture(1, {0xFFFFFF, 0x000000}, {{0, 1, 1, 0}}), 0, 0, 4,
                            1);
                pdf.TextOut(10, 100, QStringLiteral("Seite %1").arg(page + 1));
            }
            pdf.EndDoc();
            return readAll(file);
        };
        const QByteArray sequential = write(false);
        QVERIFY(sequential.size() > 1000);
        QCOMPARE(write(true), sequential);
        QVERIFY(qpdfCheck(folder.filePath(QStringLiteral("b.pdf"))));
        QCOMPARE(tmp.files(), QStringList()); // the temporary pictures are gone
    }

    // A rendered page handed over as it lies in memory gives the bytes its 24-bit picture
    // gives, compressed on the calling thread or in the background.
    void pageImagesKeepTheBytes_data() {
        QTest::addColumn<bool>("cmyk");
        QTest::addColumn<bool>("profile");
        QTest::addColumn<bool>("background");
        QTest::newRow("RGB") << false << false << false;
        QTest::newRow("RGB in the background") << false << false << true;
        QTest::newRow("CMYK by the formula") << true << false << false;
        QTest::newRow("CMYK by the formula in the background") << true << false << true;
        QTest::newRow("CMYK by a profile in the background") << true << true << true;
    }
    void pageImagesKeepTheBytes() {
        QFETCH(bool, cmyk);
        QFETCH(bool, profile);
        QFETCH(bool, background);
        const QString system = QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc");
        if (profile && !QFile::exists(system))
            QSKIP("no CMYK profile on this machine");
        QTemporaryDir folder;
        if (profile)
            QVERIFY(QFile::copy(system, folder.filePath(QStringLiteral("WebCoatedSWOP2006Grade3.icc"))));
        const TemporaryFolder tmp;
        const auto write = [&](bool asPage, bool inBackground) {
            const QString file = folder.filePath(asPage ? QStringLiteral("p.pdf") : QStringLiteral("d.pdf"));
            TPDFCanvas pdf(folder.path());
            pdf.compressasCMYK = cmyk;
            pdf.usetempfileforimages = true;
            pdf.compressInBackground = inBackground;
            pdf.BeginDoc(file);
            // More pages than workers, so that buffers are reused; the page is drawn anew
            // into the same image right after it is handed over.
            QImage image(301, 203, QImage::Format_RGB32);
            for (int page = 0; page < 4; ++page) {
                if (page > 0)
                    pdf.NewPage();
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x)
                        image.setPixel(x, y,
                                       qRgb((x * 7 + page * 50) % 256, (y * 3 + page) % 256, (x ^ y) % 256));
                }
                if (asPage) {
                    pdf.DrawPageImage(0, 0, 300, 200, image);
                } else {
                    dib d;
                    dibFromImage(d, image);
                    pdf.DrawDIB(0, 0, 300, 200, std::move(d), 0, 0, 301, 203);
                }
                pdf.DrawDIB(10, 10, 20, 20, picture24({{0xFF0000, 0x00FF00}}), 0, 0, 2, 1);
                image.fill(Qt::black);
            }
            pdf.EndDoc();
            return readAll(file);
        };
        const QByteArray expected = write(false, false);
        QVERIFY(expected.size() > 1000);
        QCOMPARE(write(true, background), expected);
        QCOMPARE(tmp.files(), QStringList());
    }

    // The workers follow the cores the process may run on, not the machine's.
    void usableCoresFollowTheAffinity() {
        cpu_set_t all;
        QCOMPARE(sched_getaffinity(0, sizeof all, &all), 0);
        const int allowed = CPU_COUNT(&all);
        QCOMPARE_GE(UsableCores(), 1);
        QCOMPARE_LE(UsableCores(), allowed);
        if (allowed < 2)
            QSKIP("this process may use one core only");
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
            if (CPU_ISSET(cpu, &all)) {
                CPU_SET(cpu, &one);
                break;
            }
        }
        QCOMPARE(sched_setaffinity(0, sizeof one, &one), 0);
        const int limited = UsableCores();
        QCOMPARE(sched_setaffinity(0, sizeof all, &all), 0);
        QCOMPARE(limited, 1);
    }

    // The "Up" predictor makes the pictures smaller and leaves their pixels, as a reader
    // decodes and draws them, as they were.
    void predictorKeepsThePixels_data() {
        QTest::addColumn<bool>("cmyk");
        QTest::addColumn<bool>("background");
        QTest::newRow("RGB") << false << false;
        QTest::newRow("RGB in the background") << false << true;
        QTest::newRow("CMYK in the background") << true << true;
    }
    void predictorKeepsThePixels() {
        QFETCH(bool, cmyk);
        QFETCH(bool, background);
        QTemporaryDir folder;
        // Smooth shading with a little grain, as in a photo: what the predictor is for.
        QImage image(240, 160, QImage::Format_RGB32);
        quint32 grain = 1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                grain = grain * 1103515245u + 12345u;
                const int n = int(grain >> 28) % 4;
                image.setPixel(x, y, qRgb(x + n, (y * 3 / 2 + n) % 256, (x + y) / 2 + n));
            }
        }
        const auto write = [&](bool predictor) {
            const QString file =
                folder.filePath(predictor ? QStringLiteral("u.pdf") : QStringLiteral("p.pdf"));
            TPDFCanvas pdf;
            pdf.compressasCMYK = cmyk;
            pdf.usetempfileforimages = true;
            pdf.compressInBackground = background;
            pdf.usePredictor = predictor;
            pdf.PageWidth = 240;
            pdf.PageHeight = 160;
            pdf.BeginDoc(file);
            pdf.DrawPageImage(0, 0, 240, 160, image);
            pdf.DrawDIB(10, 10, 30, 10, picture24({{0xFF0000, 0x00FF00, 0x0000FF}}), 0, 0, 3, 1);
            pdf.EndDoc();
            return file;
        };
        const QString plain = write(false);
        const QString predicted = write(true);
        QVERIFY(qpdfCheck(predicted));
        const QByteArray bytes = readAll(predicted);
        QCOMPARE(bytes.count("/DecodeParms << /Predictor 12"), 2);
        QVERIFY(bytes.contains(cmyk ? "/Colors 4 /BitsPerComponent 8 /Columns 240 >>"
                                    : "/Colors 3 /BitsPerComponent 8 /Columns 240 >>"));
        QVERIFY2(bytes.size() < readAll(plain).size() * 9 / 10, "the predictor should save a tenth here");
        const QList<ImageRow> images = imagesOf(predicted);
        QCOMPARE(images.size(), 2);
        for (const ImageRow& row : images) {
            const QByteArray decoded = streamOf(predicted, row.object);
            QCOMPARE(decoded.size(), qsizetype(row.width) * row.height * (cmyk ? 4 : 3));
            QCOMPARE(decoded, streamOf(plain, row.object));
        }
        if (cmyk || background)
            return; // drawn once below: the decoded streams above are the same in every row
        const QImage drawn = renderedAt4x(predicted);
        QVERIFY(!drawn.isNull());
        QCOMPARE(drawn, renderedAt4x(plain));
    }

    void palettePicturesBecomeRgb() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("p.pdf"));
        {
            TPDFCanvas pdf;
            QVERIFY(pdf.BeginDoc(file));
            // One byte 0x12: the first pixel takes entry 1, the second entry 2.
            const dib four = palettePicture(4, {0x000000, 0x112233, 0x445566}, {{1, 2}});
            const dib eight = palettePicture(8, {0x000000, 0xABCDEF}, {{1, 0}});
            pdf.DrawDIB(0, 0, 10, 10, four, 0, 0, 2, 1);
            pdf.DrawDIB(0, 20, 10, 10, eight, 0, 0, 2, 1);
            pdf.EndDoc();
        }
        QVERIFY(qpdfCheck(file));
        QCOMPARE(streamOf(file, 8), QByteArray::fromHex("112233445566"));
        QCOMPARE(streamOf(file, 9), QByteArray::fromHex("ABCDEF000000"));
    }

    void samePictureTwiceAndZeroSizes() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("p.pdf"));
        {
            TPDFCanvas pdf;
            QVERIFY(pdf.BeginDoc(file));
            const dib d = picture24({{0xFF0000, 0x0000FF}});
            pdf.DrawDIB(0, 0, 100, 50, d, 0, 0, 2, 1);
            pdf.DrawDIB(0, 100, 100, 50, d, 0, 0, 2, 1);          // a second copy
            pdf.DrawDIBOfImageNr(0, 200, 100, 50, 0, 0, 0, 2, 1); // the first again, no copy
            pdf.DrawDIB(0, 0, 0, 50, d, 0, 0, 2, 1);              // zero sizes: nothing
            pdf.DrawDIB(0, 0, 100, 50, d, 0, 0, 2, 0);
            QCOMPARE(pdf.pictureCount(), 2);
            pdf.EndDoc();
        }
        QVERIFY(qpdfCheck(file));
        const QByteArray content = streamOf(file, 2);
        QCOMPARE(content.count("/Im0 Do"), 2);
        QCOMPARE(content.count("/Im1 Do"), 1);
        QCOMPARE(content.count("q\n"), 3);
        QVERIFY(content.contains("99 0 0 49 0 691 cm"));
        const QList<ImageRow> images = imagesOf(file);
        QCOMPARE(images.size(), 3); // three placements
        QCOMPARE(images[0].object, 8);
        QCOMPARE(images[1].object, 9);
        QCOMPARE(images[2].object, 8); // of two objects
    }

    void picturesLandWhereTheyArePlaced() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("place.pdf"));
        {
            TPDFCanvas pdf;
            pdf.PageWidth = 40;
            pdf.PageHeight = 40;
            QVERIFY(pdf.BeginDoc(file));
            const dib d = picture24({{0xFF0000, 0xFF0000}, {0xFF0000, 0xFF0000}});
            pdf.DrawDIB(10, 10, 20, 20, d, 0, 0, 2, 2);
            pdf.EndDoc();
        }
        QVERIFY(qpdfCheck(file));
        const QImage page = renderedAt4x(file);
        QCOMPARE(page.width(), 39 * 4); // the MediaBox is one point smaller than the page
        // Points 10 to 29 from the top left, four pixels each.
        auto red = [&](int x, int y) { return page.pixelColor(x, y) == QColor(255, 0, 0); };
        QVERIFY(red(42, 42));
        QVERIFY(red(114, 114));
        QVERIFY(!red(37, 60));
        QVERIFY(!red(60, 37));
        QVERIFY(!red(119, 60));
        QVERIFY(!red(60, 119));
    }

    void oneBitPicturesKeepTheirPolarity_data() {
        QTest::addColumn<quint32>("entry0");
        QTest::addColumn<quint32>("entry1");
        QTest::addColumn<bool>("setIsBlack");
        QTest::addColumn<bool>("tempFiles");
        QTest::newRow("entry 0 white: set bits black") << 0xFFFFFFu << 0x000000u << true << false;
        QTest::newRow("entry 0 black: set bits white") << 0x000000u << 0xFFFFFFu << false << false;
        QTest::newRow("through a temporary file") << 0x000000u << 0xFFFFFFu << false << true;
    }
    void oneBitPicturesKeepTheirPolarity() {
        QFETCH(quint32, entry0);
        QFETCH(quint32, entry1);
        QFETCH(bool, setIsBlack);
        QFETCH(bool, tempFiles);
        QTemporaryDir dir;
        TemporaryFolder tmp;
        const QString file = dir.filePath(QStringLiteral("g4.pdf"));
        {
            TPDFCanvas pdf;
            pdf.PageWidth = 40;
            pdf.PageHeight = 40;
            pdf.usetempfileforimages = tempFiles;
            QVERIFY(pdf.BeginDoc(file));
            // Left column set, right column clear.
            const dib d = palettePicture(1, {entry0, entry1}, {{1, 0}, {1, 0}});
            pdf.DrawDIB(0, 0, 40, 40, d, 0, 0, 2, 2);
            pdf.EndDoc();
        }
        QVERIFY(qpdfCheck(file));
        const QList<ImageRow> images = imagesOf(file);
        QCOMPARE(images.size(), 1);
        QCOMPARE(images[0].color, QStringLiteral("gray"));
        QCOMPARE(images[0].encoding, QStringLiteral("ccitt"));
        const QImage page = renderedAt4x(file);
        QVERIFY(!page.isNull());
        const QColor left = page.pixelColor(page.width() / 4, page.height() / 2);
        const QColor right = page.pixelColor(3 * page.width() / 4, page.height() / 2);
        QCOMPARE(left.lightness() < 128, setIsBlack);
        QCOMPARE(right.lightness() < 128, !setIsBlack);
        QVERIFY(tmp.files().isEmpty()); // the encoder's file is gone
    }

    void temporaryPicturesArePrivateAndNeverFollowALink() {
        TemporaryFolder tmp;
        // Links planted at names a writer might choose, pointing at a file that must not appear.
        const QString victim = tmp.filePath(QStringLiteral("victim"));
        for (const char* name : {"temppdfimg0.bmp", "tempccitt0.img", "picture000000.bmp"})
            QVERIFY(QFile::link(victim, tmp.filePath(QString::fromLatin1(name))));
        const QStringList planted = tmp.files();
        const QString file = tmp.filePath(QStringLiteral("p.pdf"));
        {
            TPDFCanvas pdf;
            pdf.usetempfileforimages = true;
            QVERIFY(pdf.BeginDoc(file));
            pdf.DrawDIB(0, 0, 10, 10, picture24({{0xFF0000, 0x0000FF}}), 0, 0, 2, 1);
            pdf.DrawDIB(0, 20, 10, 10, palettePicture(1, {0xFFFFFF, 0x000000}, {{1, 0}}), 0, 0, 2, 1);
            const QStringList files = tmp.privateFiles();
            QCOMPARE(files.size(), 2);
            const QFileInfo folder(QFileInfo(files[0]).path());
            QCOMPARE(int(folder.permissions() & 0x7777),
                     int(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                         QFile::WriteUser | QFile::ExeUser));
            for (const QString& f : files) {
                QVERIFY(!QFileInfo(f).isSymLink());
                QCOMPARE(int(QFileInfo(f).permissions() & 0x7777),
                         int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser));
            }
            pdf.EndDoc();
        }
        QVERIFY(qpdfCheck(file));
        QCOMPARE(streamOf(file, 8), QByteArray::fromHex("FF00000000FF"));
        QVERIFY(!QFileInfo::exists(victim));
        QStringList expected = planted + QStringList{QStringLiteral("p.pdf")};
        QStringList left = tmp.files();
        expected.sort();
        left.sort();
        QCOMPARE(left, expected); // the private folder is gone
    }

    void twoDocumentsAtOnceKeepTheirOwnPictures_data() {
        QTest::addColumn<bool>("background");
        QTest::newRow("pictures saved as they come") << false;
        QTest::newRow("pictures compressed in the background") << true;
    }
    void twoDocumentsAtOnceKeepTheirOwnPictures() {
        QFETCH(bool, background);
        TemporaryFolder tmp;
        const QString fileA = tmp.filePath(QStringLiteral("a.pdf"));
        const QString fileB = tmp.filePath(QStringLiteral("b.pdf"));
        {
            TPDFCanvas a;
            TPDFCanvas b;
            for (TPDFCanvas* pdf : {&a, &b}) {
                pdf->usetempfileforimages = true;
                pdf->compressInBackground = background;
            }
            QVERIFY(a.BeginDoc(fileA));
            QVERIFY(b.BeginDoc(fileB));
            a.DrawDIB(0, 0, 10, 10, picture24({{0xFF0000, 0x0000FF}}), 0, 0, 2, 1);
            b.DrawDIB(0, 0, 10, 10, picture24({{0x00FF00, 0x00FF00}}), 0, 0, 2, 1);
            b.EndDoc(); // the first to end must not take the other's pictures with it
            a.EndDoc();
        }
        QCOMPARE(streamOf(fileA, 8), QByteArray::fromHex("FF00000000FF"));
        QCOMPARE(streamOf(fileB, 8), QByteArray::fromHex("00FF0000FF00"));
        QCOMPARE(tmp.files(), (QStringList{QStringLiteral("a.pdf"), QStringLiteral("b.pdf")}));
    }

    void lostTemporaryPictureFailsTheDocument_data() {
        QTest::addColumn<bool>("background");
        QTest::addColumn<bool>("wholeFolder");
        QTest::newRow("saved picture removed") << false << false;
        QTest::newRow("compressed picture removed") << true << false;
        QTest::newRow("private folder removed under the worker") << true << true;
    }
    void lostTemporaryPictureFailsTheDocument() {
        QFETCH(bool, background);
        QFETCH(bool, wholeFolder);
        TemporaryFolder tmp;
        const QString file = tmp.filePath(QStringLiteral("p.pdf"));
        const QByteArray previous = "the previous file";
        {
            QFile old(file);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write(previous) == previous.size());
        }
        QString message;
        {
            TPDFCanvas pdf;
            pdf.usetempfileforimages = true;
            pdf.compressInBackground = background;
            QVERIFY(pdf.BeginDoc(file));
            pdf.DrawDIB(0, 0, 10, 10, picture24({{0xFF0000, 0x0000FF}}), 0, 0, 2, 1);
            const QStringList files = tmp.privateFiles();
            QCOMPARE(files.size(), 1);
            if (wholeFolder)
                QVERIFY(QDir(QFileInfo(files[0]).path()).removeRecursively());
            else
                QVERIFY(QFile::remove(files[0]));
            try {
                pdf.EndDoc();
                QFAIL("a lost picture was written as something else");
            } catch (const Error& e) {
                message = e.germanText() + e.file();
            }
            QVERIFY(!pdf.isOpen());
        }
        QVERIFY(message.contains(QStringLiteral("temporären Ordner")));
        QCOMPARE(readAll(file), previous);
        QCOMPARE(tmp.files(), QStringList{QStringLiteral("p.pdf")});
    }

    void unusableTemporaryFolderIsAnError() {
        // A regular file where the temporary folder should be: nothing can be created in it.
        QTemporaryDir dir;
        const QString notAFolder = dir.filePath(QStringLiteral("tmp"));
        {
            QFile f(notAFolder);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(notAFolder));
        const QString file = dir.filePath(QStringLiteral("p.pdf"));
        bool thrown = false;
        {
            TPDFCanvas pdf;
            pdf.usetempfileforimages = true;
            QVERIFY(pdf.BeginDoc(file));
            try {
                pdf.DrawDIB(0, 0, 10, 10, picture24({{0xFF0000, 0x0000FF}}), 0, 0, 2, 1);
                pdf.EndDoc();
            } catch (const Error& e) {
                thrown = true;
                QVERIFY(e.germanText().contains(QStringLiteral("temporären Ordner")));
            }
            pdf.AbortDoc();
        }
        qputenv("TMPDIR", saved);
        QVERIFY(thrown);
        QVERIFY(!QFileInfo::exists(file));
    }

    void failedWritesAreErrors() {
        TemporaryFolder tmp;
        bool thrown = false;
        {
            TPDFCanvas pdf;
            pdf.usetempfileforimages = true;
            QVERIFY(pdf.BeginDoc(QStringLiteral("/dev/full"))); // a device is written directly
            const dib d = picture24({{0xFF0000, 0x0000FF}});
            pdf.DrawDIB(0, 0, 10, 10, d, 0, 0, 2, 1);
            try {
                pdf.EndDoc();
            } catch (const Error& e) {
                thrown = true;
                QCOMPARE(e.messageNumber(), 49);
                QCOMPARE(e.args(), QStringList{QStringLiteral("/dev/full")});
            }
            QVERIFY(!pdf.isOpen());
        }
        QVERIFY(thrown);
        QVERIFY(tmp.files().isEmpty()); // the picture file is gone
        TPDFCanvas closed;
        QVERIFY(!closed.BeginDoc(QStringLiteral("/nonexistent/folder/x.pdf")));
        // An aborted document leaves the previous file as it was, and its pictures' files go.
        const QByteArray previous = "the previous file";
        {
            QFile old(tmp.filePath(QStringLiteral("a.pdf")));
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write(previous) == previous.size());
        }
        {
            TPDFCanvas pdf;
            pdf.usetempfileforimages = true;
            QVERIFY(pdf.BeginDoc(tmp.filePath(QStringLiteral("a.pdf"))));
            const dib d = picture24({{0xFF0000, 0x0000FF}});
            pdf.DrawDIB(0, 0, 10, 10, d, 0, 0, 2, 1);
            pdf.AbortDoc();
            QVERIFY(!pdf.isOpen());
            QCOMPARE(readAll(tmp.filePath(QStringLiteral("a.pdf"))), previous);
        }
        QCOMPARE(tmp.files(), QStringList{QStringLiteral("a.pdf")});
    }

    void cmykProfileIsUsedWhenPresent() {
        const QString system = QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc");
        if (!QFile::exists(system))
            QSKIP("no CMYK profile on this machine");
        QTemporaryDir folder;
        QVERIFY(QFile::copy(system, folder.filePath(QStringLiteral("WebCoatedSWOP2006Grade3.icc"))));
        const QString file = folder.filePath(QStringLiteral("p.pdf"));
        {
            TPDFCanvas pdf(folder.path());
            QVERIFY(pdf.uselcms());
            pdf.compressasCMYK = true;
            QVERIFY(pdf.BeginDoc(file));
            const dib d = picture24({{0xFF0000, 0x0000FF}});
            pdf.DrawDIB(0, 0, 10, 10, d, 0, 0, 2, 1);
            pdf.EndDoc();
        }
        // The same transform made here: sRGB to the profile, perceptual, blue-green-red in.
        cmsHPROFILE cmykProfile = cmsOpenProfileFromFile(QFile::encodeName(system).constData(), "r");
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        cmsHTRANSFORM t =
            cmsCreateTransform(srgb, TYPE_BGR_8, cmykProfile, TYPE_CMYK_8, INTENT_PERCEPTUAL, 0);
        const quint8 in[6] = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};
        QByteArray expected(8, 0);
        cmsDoTransform(t, in, expected.data(), 2);
        cmsDeleteTransform(t);
        cmsCloseProfile(srgb);
        cmsCloseProfile(cmykProfile);
        QCOMPARE(streamOf(file, 8), expected);
        QVERIFY(expected != QByteArray::fromHex("00FFFF00FFFF0000"));

        QTemporaryDir empty;
        QFile notAProfile(empty.filePath(QStringLiteral("WebCoatedSWOP2006Grade3.icc")));
        QVERIFY(notAProfile.open(QIODevice::WriteOnly));
        notAProfile.write("no colour profile in here");
        notAProfile.close();
        TPDFCanvas broken(empty.path()); // not a profile: the formula, silently
        QVERIFY(!broken.uselcms());
    }
};

PW_TEST_CLASS(TestPdfWriter)
#include "tst_pdfwriter.moc"
