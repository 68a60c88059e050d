#pragma once

// Text routines shared by the layout engines: measuring in millimetres, the
// line-breaking rule, justified lines, frames and colours written as text.

#include "compose/canvas.h"
#include "compose/units.h"

#include <QString>
#include <QStringList>

#include <array>

namespace pw {

// Selects a stored font for drawing at a resolution and zoom: PixelsPerInch := dpi, size
// := Round(size * zoom / 100), at least 1. Returns the unzoomed size, which the
// millimetre measures use.
double SelectZoomedFont(Canvas& canvas, const FontSpec& font, int dpi, double zoom);
// The same for a category heading without products: unzoomed size * 1.5, drawn at
// Trunc(size * 1.5 * zoom / 100).
double SelectHeadingFont(Canvas& canvas, const FontSpec& font, int dpi, double zoom);

// A copy without the characters whose code is below 32.
QString StripControlChars(const QString& text);
// The characters before the first blank, removed from `text` together with that blank;
// without a blank the whole text, leaving `text` empty.
QString NextWord(QString& text);
// '0'-'9' -> 0-9, 'A'-'F' and 'a'-'f' -> 10-15, anything else 0.
int HexDigit(QChar c);

// Width and height of a text in millimetres, measured at 300 pixels per inch with the
// unzoomed font size, so that text breaks the same way at every zoom and on every device.
// The canvas font is restored afterwards.
double TextWidthMM(Canvas& canvas, const QString& text, double unzoomedSize);
double TextHeightMM(Canvas& canvas, const QString& text, double unzoomedSize);

// Measures texts in millimetres character by character. The width of a string is the sum
// of its characters' advances (the fonts are set up so), so the line-breaking rule can
// add widths as it goes instead of measuring every prefix again. Holds the canvas's
// measuring font while it lives and restores the canvas font at the end.
class MmMeasurer {
public:
    MmMeasurer(Canvas& canvas, double unzoomedSize);
    ~MmMeasurer();
    MmMeasurer(const MmMeasurer&) = delete;
    MmMeasurer& operator=(const MmMeasurer&) = delete;

    // Advance of one code unit in 300-dpi pixels; control characters count 0. A surrogate
    // pair is measured as a whole on its second half.
    int advance(const QString& text, qsizetype i);
    static double pxToMm(qint64 px) { return double(px) * kMmPerInchFor300; }

private:
    static constexpr double kMmPerInchFor300 = kMmPerInch / 300;

    Canvas& m_canvas;
    FontSpec m_saved;
    std::array<int, 256> m_latin;
};

// The line-breaking rule for names, descriptions and introduction texts: lines no wider
// than widthMm (a single character wider than that forms a line of its own), broken at
// the last blank that fits, inside a word when there is none, and at every line end.
// Returns the lines with their control characters stripped. `brokeInWord`, when given, is
// set to whether some line was broken inside a word.
QStringList BreakLines(Canvas& canvas, const QString& text, double widthMm, double unzoomedSize,
                       bool* brokeInWord = nullptr);

// One justified line: the words of `s` drawn from x with the blanks widened (or narrowed,
// for a line wider than maxw) so that the line fills maxw pixels.
void textoutBlockSatz(Canvas& canvas, int x, int y, QString s, int maxw);

// The outline MoveTo(x, y), LineTo(x + width, y), LineTo(x + width, y + height),
// LineTo(x, y + height), LineTo(x, y).
void DrawFrame(Canvas& canvas, int x, int y, int height, int width);

// A colour entry field: trimmed, one leading "#" removed, then three hexadecimal bytes
// red, green, blue. False (and the colour untouched) for fewer than six characters or a
// pair that is not hexadecimal.
bool ColorFromEntry(const QString& text, quint32& color);
// A table cell longer than 7 characters ending in "##" and six characters has that
// background colour (each character read with HexDigit); `visible` gets the text without
// those 8 characters. False for any other cell (visible = the whole text).
bool CellBackgroundColor(const QString& cell, quint32& color, QString& visible);
// "#RRGGBB" for a colour value.
QString ColorToEntry(quint32 color);

} // namespace pw
