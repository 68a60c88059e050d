#include "text.h"

#include "compose/units.h"

namespace pw {

double SelectZoomedFont(Canvas& canvas, const FontSpec& font, int dpi, double zoom) {
    canvas.SetFont(font);
    canvas.font.PixelsPerInch = dpi;
    canvas.font.Size = ZoomedFontSize(font.Size, zoom);
    return font.Size;
}

double SelectHeadingFont(Canvas& canvas, const FontSpec& font, int dpi, double zoom) {
    canvas.SetFont(font);
    canvas.font.PixelsPerInch = dpi;
    canvas.font.Size = HeadingFontSize(font.Size, zoom);
    return HeadingUnzoomedSize(font.Size);
}

QString StripControlChars(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() >= 32)
            out.append(c);
    }
    return out;
}

QString NextWord(QString& text) {
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    QString word;
    if (blank < 0) {
        word = text;
        text.clear();
    } else {
        word = text.left(blank);
        text.remove(0, blank + 1);
    }
    return word;
}

namespace {

// The value of a hexadecimal digit, or -1.
int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

int HexDigit(QChar c) {
    return std::max(0, hexValue(c));
}

namespace {

// Switches the canvas to the 300-dpi measuring font for the lifetime of the object.
struct MeasuringFont {
    MeasuringFont(Canvas& c, double unzoomedSize) : canvas(c), saved(c.font) {
        canvas.font.PixelsPerInch = 300;
        canvas.font.Size = Trunc(unzoomedSize);
    }
    ~MeasuringFont() { canvas.font = saved; }
    Canvas& canvas;
    FontSpec saved;
};

} // namespace

double TextWidthMM(Canvas& canvas, const QString& text, double unzoomedSize) {
    MeasuringFont m(canvas, unzoomedSize);
    return canvas.TextWidth(text) * kMmPerInch / 300;
}

double TextHeightMM(Canvas& canvas, const QString& text, double unzoomedSize) {
    MeasuringFont m(canvas, unzoomedSize);
    return canvas.TextHeight(text) * kMmPerInch / 300;
}

MmMeasurer::MmMeasurer(Canvas& canvas, double unzoomedSize) : m_canvas(canvas), m_saved(canvas.font) {
    m_canvas.font.PixelsPerInch = 300;
    m_canvas.font.Size = Trunc(unzoomedSize);
    m_latin.fill(-1);
}

MmMeasurer::~MmMeasurer() {
    m_canvas.font = m_saved;
}

int MmMeasurer::advance(const QString& text, qsizetype i) {
    const QChar c = text[i];
    const char16_t u = c.unicode();
    if (u < 32)
        return 0;
    if (u < 256) {
        int& w = m_latin[u];
        if (w < 0)
            w = m_canvas.TextWidth(QString(c));
        return w;
    }
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return 0;
    if (c.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())
        return m_canvas.TextWidth(text.mid(i - 1, 2));
    return m_canvas.TextWidth(QString(c));
}

QStringList BreakLines(Canvas& canvas, const QString& text, double widthMm, double unzoomedSize,
                       bool* brokeInWord) {
    if (brokeInWord)
        *brokeInWord = false;
    MmMeasurer measure(canvas, unzoomedSize);
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n) {
        qint64 px = 0;
        qsizetype end = pos; // the candidate line is text[pos, end)
        bool tooWide = false;
        bool lineEnd = false;
        while (end < n) {
            const QChar c = text[end++];
            px += measure.advance(text, end - 1);
            if (MmMeasurer::pxToMm(px) > widthMm) {
                tooWide = true;
                break;
            }
            // A carriage return ends the line; so does a line feed that follows no carriage
            // return, as texts written on this platform end their lines with it alone.
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                lineEnd = true;
                break;
            }
        }
        qsizetype lineLength = end - pos;
        qsizetype consumed = lineLength;
        if (tooWide) {
            const qsizetype blank = QStringView(text).sliced(pos, lineLength).lastIndexOf(QLatin1Char(' '));
            if (blank > 0) {
                lineLength = blank;
                consumed = blank + 1; // the blank separates the lines
            } else if (lineLength > 1) {
                --lineLength; // the break falls inside the word
                consumed = lineLength;
                // Unless it falls just before a blank, which then starts the next line.
                if (brokeInWord && text[pos + lineLength] != QLatin1Char(' ') &&
                    text[pos + lineLength - 1] != QLatin1Char(' '))
                    *brokeInWord = true;
            }
        } else if (lineEnd && text[end - 1] == QLatin1Char('\r') && end < n &&
                   text[end] == QLatin1Char('\n')) {
            ++consumed; // the line feed of a CR LF pair
        }
        lines.append(StripControlChars(text.mid(pos, lineLength)));
        pos += consumed;
    }
    return lines;
}

void textoutBlockSatz(Canvas& canvas, int x, int y, QString s, int maxw) {
    const int blanks = std::max<int>(1, int(s.count(QLatin1Char(' '))));
    const int extra = (maxw - canvas.TextWidth(s)) / blanks; // truncates toward zero, may be negative
    while (true) {
        const QString word = NextWord(s);
        if (word.isEmpty() && s.isEmpty())
            break;
        canvas.TextOut(x, y, word);
        x += extra + canvas.TextWidth(word + QLatin1Char(' '));
    }
}

void DrawFrame(Canvas& canvas, int x, int y, int height, int width) {
    canvas.MoveTo(x, y);
    canvas.LineTo(x + width, y);
    canvas.LineTo(x + width, y + height);
    canvas.LineTo(x, y + height);
    canvas.LineTo(x, y);
}

namespace {

bool strictHexByte(QChar hi, QChar lo, int& value) {
    const int h = hexValue(hi);
    const int l = hexValue(lo);
    if (h < 0 || l < 0)
        return false;
    value = h * 16 + l;
    return true;
}

} // namespace

bool ColorFromEntry(const QString& text, quint32& color) {
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('#')))
        t.remove(0, 1);
    if (t.size() < 6)
        return false;
    int r = 0;
    int g = 0;
    int b = 0;
    if (!strictHexByte(t[0], t[1], r) || !strictHexByte(t[2], t[3], g) || !strictHexByte(t[4], t[5], b))
        return false;
    color = quint32(r) | quint32(g) << 8 | quint32(b) << 16;
    return true;
}

bool CellBackgroundColor(const QString& cell, quint32& color, QString& visible) {
    const qsizetype n = cell.size();
    if (n < 8 || cell[n - 8] != QLatin1Char('#') || cell[n - 7] != QLatin1Char('#')) {
        visible = cell;
        return false;
    }
    auto byteAt = [&](qsizetype i) { return quint32(HexDigit(cell[i]) * 16 + HexDigit(cell[i + 1])); };
    color = byteAt(n - 6) | byteAt(n - 4) << 8 | byteAt(n - 2) << 16;
    visible = cell.left(n - 8);
    return true;
}

QString ColorToEntry(quint32 color) {
    return QStringLiteral("#%1%2%3")
        .arg(color & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((color >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((color >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace pw
