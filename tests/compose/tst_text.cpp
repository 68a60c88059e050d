#include "testmain.h"

#include "compose/text.h"
#include "compose/units.h"

#include <QImage>

using namespace pw;

namespace {

// A canvas whose every character is 10 pixels wide and 20 high, at any resolution, so
// that line breaks and spacing can be worked out by hand. At 300 dpi, 10 pixels are
// 0.8467 mm.
class FixedWidthCanvas final : public Canvas {
public:
    QStringList drawn;
    void TextOut(int x, int y, const QString& text) override {
        drawn.append(QStringLiteral("%1,%2:%3").arg(x).arg(y).arg(text));
    }
    int TextWidth(const QString& text) override { return int(StripControlChars(text).size()) * 10; }
    int TextHeight(const QString&) override { return 20; }
    void LineTo(int x, int y) override {
        drawn.append(QStringLiteral("line %1,%2-%3,%4").arg(m_penX).arg(m_penY).arg(x).arg(y));
        m_penX = x;
        m_penY = y;
    }
    void Rectangle(int, int, int, int) override {}
    void Arc(int, int, int, int, int, int, int, int) override {}
    bool isRasterPrinter() const override { return false; }
    QPainter* painter() override { return nullptr; }
};

constexpr double kCharMm = 10 * kMmPerInch / 300;

} // namespace

class TestText : public QObject {
    Q_OBJECT
private slots:
    void millimetresBecomePixels() {
        QCOMPARE(MmToPx(12, 96, 100), 45); // Trunc(12 / 25.39995 * 96)
        QCOMPARE(MmToPx(12, 96, 50), 22);
        QCOMPARE(CmToPx(1.5, 300), 177);
        QCOMPARE(OneMmPx(300), 11);
        QCOMPARE(FiveMmPx(96), 18);
        QCOMPARE(MmToPxRound(0.5 * kMmPerInch / 96, 96), 0); // 0.5 px rounds to even
        QCOMPARE(MmToPxRound(1.5 * kMmPerInch / 96, 96), 2);
        QCOMPARE(Round(2.5), 2);
        QCOMPARE(Round(-2.5), -2);
        QCOMPARE(Round(3.5), 4);
        QCOMPARE(Trunc(-2.7), -2);
        QCOMPARE(Trunc(1e300), std::numeric_limits<int>::max());
        QCOMPARE(PxToMm(4960, 600), 4960 / 600.0 * 25.39995);
    }

    void zoomedFontsKeepAtLeastSizeOne() {
        QCOMPARE(ZoomedFontSize(8, 10), 1);    // Round(0.8) = 1
        QCOMPARE(ZoomedFontSize(8, 5), 1);     // Round(0.4) = 0 -> 1
        QCOMPARE(ZoomedFontSize(11, 150), 16); // 16.5 to even
        QCOMPARE(HeadingFontSize(24, 100), 36);
        QCOMPARE(HeadingFontSize(11, 50), 8); // Trunc(8.25)
        QCOMPARE(HeadingUnzoomedSize(11), 16.5);
    }

    void selectingAFontZoomsItsSize() {
        FixedWidthCanvas c;
        const FontSpec f = MakeDefaultFont("Arial", 11, false, 0); // 8 pt
        QCOMPARE(SelectZoomedFont(c, f, 96, 10), 8.0);
        QCOMPARE(c.font.Size, 1);
        QCOMPARE(c.font.PixelsPerInch, 96);
        QCOMPARE(SelectHeadingFont(c, f, 300, 100), 12.0);
        QCOMPARE(c.font.Size, 12);
        QCOMPARE(c.font.PixelsPerInch, 300);
    }

    void measuringUsesThreeHundredDpiAndRestoresTheFont() {
        QImage img(10, 10, QImage::Format_RGB32);
        PainterCanvas c(&img);
        c.SetFont(MakeDefaultFont("Arial", 15, false, 0));
        c.font.PixelsPerInch = 96;
        c.font.Size = 3; // a zoomed size
        const FontSpec before = c.font;
        const double mm = TextWidthMM(c, QStringLiteral("Hammer"), 11);
        QCOMPARE(c.font, before);
        FontSpec at300 = before;
        at300.PixelsPerInch = 300;
        at300.Size = 11;
        c.SetFont(at300);
        QCOMPARE(mm, c.TextWidth(QStringLiteral("Hammer")) * kMmPerInch / 300);
        QVERIFY(mm > 5 && mm < 20);
        c.SetFont(before);
        QCOMPARE(TextHeightMM(c, QStringLiteral(" "), 11.9),
                 TextHeightMM(c, QStringLiteral(" "), 11)); // Trunc
    }

    void wordsAndControlCharacters() {
        QString s = QStringLiteral("Akku Bohrschrauber  18V");
        QCOMPARE(NextWord(s), QStringLiteral("Akku"));
        QCOMPARE(NextWord(s), QStringLiteral("Bohrschrauber"));
        QCOMPARE(NextWord(s), QString());
        QCOMPARE(NextWord(s), QStringLiteral("18V"));
        QVERIFY(s.isEmpty());
        QCOMPARE(StripControlChars(QStringLiteral("a\r\nb\tc\x1f d")), QStringLiteral("abc d"));
    }

    void lineBreaking_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("chars"); // width in characters of 10 px
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("breaks at the last blank that fits")
            << "Hammer mit Stiel aus Esche" << 12 << QStringList{"Hammer mit", "Stiel aus", "Esche"};
        QTest::newRow("a long word is split without losing a character")
            << "Schraubendreherset" << 7 << QStringList{"Schraub", "endrehe", "rset"};
        QTest::newRow("a character wider than the line stands alone")
            << "abc" << 0 << QStringList{"a", "b", "c"};
        QTest::newRow("carriage return and line feed end a line")
            << "eins\r\nzwei\r\n\r\ndrei" << 20 << QStringList{"eins", "zwei", "", "drei"};
        QTest::newRow("a line feed alone ends a line too")
            << "eins\nzwei" << 20 << QStringList{"eins", "zwei"};
        QTest::newRow("a blank at the start is no break point")
            << " Abcdefghij" << 5 << QStringList{" Abcd", "efghi", "j"};
        QTest::newRow("text that fits") << "kurz" << 10 << QStringList{"kurz"};
        QTest::newRow("empty") << "" << 10 << QStringList{};
    }
    void lineBreaking() {
        QFETCH(QString, text);
        QFETCH(int, chars);
        QFETCH(QStringList, lines);
        FixedWidthCanvas c;
        // just under the width of `chars` characters plus a hair, so exactly `chars` fit
        const double width = chars * kCharMm + 1e-9;
        QCOMPARE(BreakLines(c, text, width, 10), lines);
    }

    void justifiedLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("maxw");
        QTest::addColumn<QStringList>("drawn");
        // "ab cd ef" is 80 px wide: 2 blanks share the 20 px left over
        QTest::newRow("blanks widened") << "ab cd ef" << 100 << QStringList{"5,7:ab", "45,7:cd", "85,7:ef"};
        QTest::newRow("without blanks drawn once at x") << "Hammer" << 200 << QStringList{"5,7:Hammer"};
        // 80 px into 60: each blank gives back 10 px, so the words overlap
        QTest::newRow("negative extra spacing")
            << "ab cd ef" << 60 << QStringList{"5,7:ab", "25,7:cd", "45,7:ef"};
        // extra = (71 - 80) div 2 = -4 (toward zero)
        QTest::newRow("division truncates toward zero")
            << "ab cd ef" << 71 << QStringList{"5,7:ab", "31,7:cd", "57,7:ef"};
    }
    void justifiedLine() {
        QFETCH(QString, line);
        QFETCH(int, maxw);
        QFETCH(QStringList, drawn);
        FixedWidthCanvas c;
        textoutBlockSatz(c, 5, 7, line, maxw);
        QCOMPARE(c.drawn, drawn);
    }

    void frameRunsRoundTheRectangle() {
        FixedWidthCanvas c;
        DrawFrame(c, 2, 3, 10, 20);
        QCOMPARE(c.drawn,
                 (QStringList{"line 2,3-22,3", "line 22,3-22,13", "line 22,13-2,13", "line 2,13-2,3"}));
    }

    void coloursFromText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<quint32>("color");
        QTest::newRow("with #") << "#FF8000" << true << quint32(0x000080FF);
        QTest::newRow("lower case, no #") << "ff8000" << true << quint32(0x000080FF);
        QTest::newRow("spaces around") << "  #a6caf0 " << true << quint32(0x00F0CAA6);
        QTest::newRow("five digits are ignored") << "#FF800" << false << quint32(0);
        QTest::newRow("not hexadecimal") << "#GG0000" << false << quint32(0);
        QTest::newRow("only one # removed") << "##FF8000" << false << quint32(0);
    }
    void coloursFromText() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(quint32, color);
        quint32 c = 0;
        QCOMPARE(ColorFromEntry(text, c), ok);
        QCOMPARE(c, color);
        if (ok)
            QCOMPARE(ColorToEntry(c),
                     text.trimmed().toUpper().remove(QLatin1Char('#')).prepend(QLatin1Char('#')));
        QCOMPARE(HexDigit(QLatin1Char('b')), HexDigit(QLatin1Char('B')));
    }

    void tableCellColours_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("colored");
        QTest::addColumn<quint32>("color");
        QTest::addColumn<QString>("visible");
        QTest::newRow("coloured") << "Rot##FF0000" << true << quint32(0x000000FF) << "Rot";
        QTest::newRow("invalid digits count as 0") << "x##ZZ00ff" << true << quint32(0x00FF0000) << "x";
        QTest::newRow("just the code") << "##00FF00" << true << quint32(0x0000FF00) << "";
        QTest::newRow("seven characters") << "#FF0000" << false << quint32(0) << "#FF0000";
        QTest::newRow("one # only") << "Rot#FF0000" << false << quint32(0) << "Rot#FF0000";
    }
    void tableCellColours() {
        QFETCH(QString, cell);
        QFETCH(bool, colored);
        QFETCH(quint32, color);
        QFETCH(QString, visible);
        quint32 c = 0;
        QString text;
        QCOMPARE(CellBackgroundColor(cell, c, text), colored);
        QCOMPARE(c, color);
        QCOMPARE(text, visible);
    }
};

PW_TEST_CLASS(TestText)
#include "tst_text.moc"
