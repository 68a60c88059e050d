#pragma once

// The drawing surface of the layout engines, with the pixel semantics the engines rely
// on (GDI-like): TextOut fills the text cell with a solid brush, LineTo leaves the end
// point out, Rectangle fills x1 <= x < x2 and outlines with the pen, Arc runs
// counter-clockwise between two rays. Coordinates are device pixels, origin top left.

#include "imagelib/PicIO3.h"
#include "model/settings.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class QPaintDevice;

namespace pw {

// The QFont for a stored font: pixel size Round(Size * PixelsPerInch / 72), at least 1;
// kerning off, full hinting and no shaping, so every glyph advances by whole pixels and a
// string is as wide as the sum of its characters. The Windows face names of the defaults
// map to the free fonts the install script provides. The only place that makes one.
QFont MakeQFont(const FontSpec& font);
// The face a stored name is drawn with ("Arial" -> "Liberation Sans", ...).
QString MapFaceName(const QString& name, bool* forceBold = nullptr);

// 0x00BBGGRR to QColor; system colours (high byte 0xFF) map to their standard values.
QColor ToQColor(quint32 color);

// A span of pixels: x1 <= x < x2, y1 <= y < y2.
struct PixelSpan {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
};
// The pixels of a one-pixel line from (x0, y0) to (x, y) that runs straight across or down,
// the start point in and the end point out; nothing (false) for a slanted line.
bool straightLinePixels(int x0, int y0, int x, int y, PixelSpan& span);
// The four bars of the frame of the rectangle x1..x2, y1..y2 (x1 < x2, y1 < y2) drawn with a
// pen `width` pixels wide: inside x1..x2-1, y1..y2-1 for one pixel, centred on that path
// for wider pens.
std::array<PixelSpan, 4> frameBars(int x1, int y1, int x2, int y2, int width);

enum class PenStyle { Solid, Clear };
// Round: the ordinary pen. Flat: ends stop at the end points. Square: ends reach half the
// width beyond the end points.
enum class PenEnds { Round, Flat, Square };
enum class BrushStyle { Solid, Clear };
enum class BkMode { Opaque, Transparent };

struct CanvasPen {
    quint32 color = 0;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    PenEnds ends = PenEnds::Round;
};

struct CanvasBrush {
    quint32 color = 0x00FFFFFF;
    BrushStyle style = BrushStyle::Solid;
};

// What Rectangle(x1, y1, x2, y2) fills, in order: the inside with the brush (x1 <= x < x2
// with an outline, one pixel less each way without), then the frame with the pen.
struct ColouredSpan {
    PixelSpan span;
    quint32 color = 0;
};
std::vector<ColouredSpan> rectangleSpans(int x1, int y1, int x2, int y2, const CanvasPen& pen,
                                         const CanvasBrush& brush);

constexpr int kMostTextWidth = 1 << 26;

class Canvas {
public:
    virtual ~Canvas() = default;

    // Current objects; setting one affects every later operation.
    FontSpec font;
    CanvasPen pen;
    CanvasBrush brush;
    BkMode bkMode = BkMode::Opaque;

    // Copies every attribute of a stored font into the canvas font.
    void SetFont(const FontSpec& f) { font = f; }

    virtual void TextOut(int x, int y, const QString& text) = 0;
    // The width of a text in pixels, at most kMostTextWidth: far wider than any page, and
    // small enough that sums of a few positions and widths stay within int.
    virtual int TextWidth(const QString& text) = 0;
    virtual int TextHeight(const QString& text) = 0;
    void MoveTo(int x, int y) {
        m_penX = x;
        m_penY = y;
    }
    // Line from the pen position to (x, y) without the end point; the pen moves there.
    virtual void LineTo(int x, int y) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;

    // Whether the device is a raster printer (PaintDib sends printers whole pictures).
    virtual bool isRasterPrinter() const = 0;
    // The painter pictures are drawn with; null for a canvas that draws nothing.
    virtual QPainter* painter() = 0;
    // A canvas that keeps pictures as they are rather than as pixels on a painter (a vector
    // PDF page) takes them here, with the arguments of PaintDib, and returns true; the
    // default returns false and PaintDib paints on painter().
    virtual bool placePicture(int /*x*/, int /*y*/, int /*dstW*/, int /*dstH*/, const dib& /*picture*/,
                              int /*srcX*/, int /*srcY*/, int /*srcW*/, int /*srcH*/) {
        return false;
    }

    int penX() const { return m_penX; }
    int penY() const { return m_penY; }

protected:
    int m_penX = 0;
    int m_penY = 0;
};

// A canvas that paints with QPainter (antialiasing off) on any paint device: a QImage for
// previews and exports (painted as Format_RGB32), a printer for printing. Without a device
// it only measures: layout runs that draw no page use it.
class PainterCanvas final : public Canvas {
public:
    explicit PainterCanvas(QPaintDevice* device, bool rasterPrinter = false);
    ~PainterCanvas() override;

    // Paints on another device from now on (none: only measures); the font, pen, brush
    // and pen position stay as they are. A run that draws every page switches pages so.
    void setDevice(QPaintDevice* device);

    void TextOut(int x, int y, const QString& text) override;
    int TextWidth(const QString& text) override;
    int TextHeight(const QString& text) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    bool isRasterPrinter() const override { return m_rasterPrinter; }
    QPainter* painter() override { return m_painter.isActive() ? &m_painter : nullptr; }

private:
    struct FontEntry {
        FontSpec spec; // face, size, resolution and style; the colour plays no part
        QFont font;
        QFontMetrics metrics;
        int height;
        // Advances of single characters, measured once: a string's width is their sum.
        std::array<int, 256> latin;
        QHash<char16_t, int> others;
    };
    // Fonts and metrics are made once per distinct stored font: measuring switches between
    // the drawing font and the 300-dpi measuring font all the time.
    FontEntry& fontEntry();
    static int advance(FontEntry& e, const QString& text);
    void fillSpan(int x1, int y1, int x2, int y2, quint32 color);

    QPainter m_painter;
    bool m_rasterPrinter;
    std::vector<std::unique_ptr<FontEntry>> m_fonts;
    FontEntry* m_last = nullptr;
};

// Records every call as a line of text ("TextOut 10 20 Hammer") and passes it on to an
// optional canvas beneath, so tests can check what an engine drew.
class RecordingCanvas final : public Canvas {
public:
    explicit RecordingCanvas(Canvas* inner = nullptr) : m_inner(inner) {}

    void TextOut(int x, int y, const QString& text) override;
    int TextWidth(const QString& text) override;
    int TextHeight(const QString& text) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    bool isRasterPrinter() const override { return m_inner && m_inner->isRasterPrinter(); }
    QPainter* painter() override { return m_inner ? m_inner->painter() : nullptr; }
    bool placePicture(int x, int y, int dstW, int dstH, const dib& picture, int srcX, int srcY, int srcW,
                      int srcH) override {
        return m_inner && m_inner->placePicture(x, y, dstW, dstH, picture, srcX, srcY, srcW, srcH);
    }

    const QStringList& calls() const { return m_calls; }
    void clear() { m_calls.clear(); }

private:
    void syncInner();

    Canvas* m_inner;
    QStringList m_calls;
};

// Draws the source rectangle (srcX, srcY, srcW, srcH; srcY from the bottom) of a picture
// into the destination (x, y, dstW, dstH) of the canvas, choosing the drawing path by the
// device (see imagelib/paintdib.h). Nothing is drawn on a canvas without an active painter.
void PaintDib(Canvas& canvas, int x, int y, int dstW, int dstH, const dib& picture, int srcX, int srcY,
              int srcW, int srcH, bool halftone);

} // namespace pw
