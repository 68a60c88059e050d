#include "canvas.h"

#include "compose/units.h"
#include "imagelib/paintdib.h"

#include <QFontMetrics>
#include <QHash>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pw {

QString MapFaceName(const QString& name, bool* forceBold) {
    if (forceBold)
        *forceBold = false;
    const QString lower = name.toLower();
    if (lower == QLatin1String("arial") || lower == QLatin1String("microsoft sans serif"))
        return QStringLiteral("Liberation Sans");
    if (lower == QLatin1String("courier new"))
        return QStringLiteral("Liberation Mono");
    if (lower == QLatin1String("times new roman"))
        return QStringLiteral("Liberation Serif");
    if (lower == QLatin1String("arial black")) {
        if (forceBold)
            *forceBold = true;
        return QStringLiteral("DejaVu Sans");
    }
    return name;
}

QFont MakeQFont(const FontSpec& spec) {
    bool forceBold = false;
    QFont f(MapFaceName(spec.Name, &forceBold));
    const int px = Round(double(spec.Size) * spec.PixelsPerInch / 72.0);
    f.setPixelSize(px < 1 ? 1 : px);
    f.setBold(forceBold || (spec.Style & FontSpec::Bold));
    f.setItalic(spec.Style & FontSpec::Italic);
    f.setUnderline(spec.Style & FontSpec::Underline);
    f.setStrikeOut(spec.Style & FontSpec::StrikeOut);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferDefault | QFont::PreferNoShaping));
    return f;
}

QColor ToQColor(quint32 color) {
    if ((color >> 24) == 0xFF) {
        switch (color & 0xFF) {
        case 5:  // window background
        case 14: // highlighted text
            return QColor(255, 255, 255);
        case 15: // button face
            return QColor(240, 240, 240);
        case 13: // highlight
            return QColor(0, 120, 215);
        default: // window text and the rest draw black
            return QColor(0, 0, 0);
        }
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

bool straightLinePixels(int x0, int y0, int x, int y, PixelSpan& span) {
    if (y0 == y) {
        span = {std::min(x0, x + (x > x0 ? 0 : 1)), y, std::max(x0 + 1, x + (x > x0 ? 0 : 1)), y + 1};
        return true;
    }
    if (x0 == x) {
        span = {x, std::min(y0, y + (y > y0 ? 0 : 1)), x + 1, std::max(y0 + 1, y + (y > y0 ? 0 : 1))};
        return true;
    }
    return false;
}

std::array<PixelSpan, 4> frameBars(int x1, int y1, int x2, int y2, int width) {
    const int w = std::max(1, width);
    const int in = (w - 1) / 2;
    const int out = w / 2;
    return {PixelSpan{x1 - out, y1 - out, x2 + in, y1 + in + 1},
            PixelSpan{x1 - out, y2 - 1 - out, x2 + in, y2 + in},
            PixelSpan{x1 - out, y1 - out, x1 + in + 1, y2 + in},
            PixelSpan{x2 - 1 - out, y1 - out, x2 + in, y2 + in}};
}

std::vector<ColouredSpan> rectangleSpans(int x1, int y1, int x2, int y2, const CanvasPen& pen,
                                         const CanvasBrush& brush) {
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    std::vector<ColouredSpan> spans;
    const bool outline = pen.style == PenStyle::Solid;
    if (brush.style == BrushStyle::Solid)
        spans.push_back(
            {outline ? PixelSpan{x1, y1, x2, y2} : PixelSpan{x1, y1, x2 - 1, y2 - 1}, brush.color});
    if (outline && x2 > x1 && y2 > y1) {
        for (const PixelSpan& bar : frameBars(x1, y1, x2, y2, pen.width))
            spans.push_back({bar, pen.color});
    }
    return spans;
}

// ---- PainterCanvas

namespace {

bool sameFace(const FontSpec& a, const FontSpec& b) {
    return a.Size == b.Size && a.PixelsPerInch == b.PixelsPerInch && a.Style == b.Style && a.Name == b.Name;
}

} // namespace

PainterCanvas::FontEntry& PainterCanvas::fontEntry() {
    if (m_last && sameFace(font, m_last->spec))
        return *m_last;
    for (const std::unique_ptr<FontEntry>& e : m_fonts) {
        if (sameFace(font, e->spec)) {
            m_last = e.get();
            return *m_last;
        }
    }
    const QFont f = MakeQFont(font);
    const QFontMetrics metrics(f);
    m_fonts.push_back(std::make_unique<FontEntry>(
        FontEntry{font, f, metrics, metrics.ascent() + metrics.descent(), {}, {}}));
    m_last = m_fonts.back().get();
    m_last->latin.fill(-1);
    return *m_last;
}

int PainterCanvas::advance(FontEntry& e, const QString& text) {
    qint64 sum = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (c.isSurrogate()) // pairs are measured by the font engine
            return std::clamp(e.metrics.horizontalAdvance(text), 0, kMostTextWidth);
        if (sum >= kMostTextWidth)
            break;
        if (u < 256) {
            int& w = e.latin[u];
            if (w < 0)
                w = e.metrics.horizontalAdvance(QString(c));
            sum += w;
            continue;
        }
        auto it = e.others.constFind(u);
        if (it == e.others.constEnd())
            it = e.others.insert(u, e.metrics.horizontalAdvance(QString(c)));
        sum += *it;
    }
    return int(std::min<qint64>(sum, kMostTextWidth));
}

PainterCanvas::PainterCanvas(QPaintDevice* device, bool rasterPrinter) : m_rasterPrinter(rasterPrinter) {
    setDevice(device);
}

void PainterCanvas::setDevice(QPaintDevice* device) {
    if (m_painter.isActive())
        m_painter.end();
    if (!device)
        return;
    m_painter.begin(device);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

PainterCanvas::~PainterCanvas() {
    if (m_painter.isActive())
        m_painter.end();
}

void PainterCanvas::fillSpan(int x1, int y1, int x2, int y2, quint32 color) {
    if (x2 > x1 && y2 > y1)
        m_painter.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), ToQColor(color));
}

int PainterCanvas::TextWidth(const QString& text) {
    return advance(fontEntry(), text);
}

int PainterCanvas::TextHeight(const QString&) {
    return fontEntry().height;
}

void PainterCanvas::TextOut(int x, int y, const QString& text) {
    FontEntry& e = fontEntry();
    const int w = advance(e, text);
    // The pen moves to the end of the text, so that a line can follow it.
    m_penX = x + w;
    m_penY = y;
    if (!m_painter.isActive())
        return;
    if (brush.style == BrushStyle::Solid)
        fillSpan(x, y, x + w, y + e.height, brush.color);
    m_painter.setFont(e.font);
    m_painter.setPen(ToQColor(font.Color));
    m_painter.drawText(x, y + e.metrics.ascent(), text);
}

void PainterCanvas::LineTo(int x, int y) {
    const int x0 = m_penX;
    const int y0 = m_penY;
    m_penX = x;
    m_penY = y;
    if (!m_painter.isActive() || pen.style == PenStyle::Clear || (x0 == x && y0 == y))
        return;
    const QColor color = ToQColor(pen.color);
    if (pen.width <= 1) {
        // One-pixel lines: our own spans, start point in, end point out.
        if (PixelSpan span; straightLinePixels(x0, y0, x, y, span)) {
            fillSpan(span.x1, span.y1, span.x2, span.y2, pen.color);
            return;
        }
        int cx = x0;
        int cy = y0;
        const int dx = std::abs(x - x0);
        const int dy = -std::abs(y - y0);
        const int sx = x0 < x ? 1 : -1;
        const int sy = y0 < y ? 1 : -1;
        int err = dx + dy;
        while (cx != x || cy != y) {
            m_painter.fillRect(QRect(cx, cy, 1, 1), color);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                cx += sx;
            }
            if (e2 <= dx) {
                err += dx;
                cy += sy;
            }
        }
        return;
    }
    const Qt::PenCapStyle cap = pen.ends == PenEnds::Flat     ? Qt::FlatCap
                                : pen.ends == PenEnds::Square ? Qt::SquareCap
                                                              : Qt::RoundCap;
    m_painter.setPen(QPen(color, pen.width, Qt::SolidLine, cap, Qt::MiterJoin));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawLine(QLineF(x0, y0, x, y));
}

void PainterCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (!m_painter.isActive())
        return;
    for (const ColouredSpan& s : rectangleSpans(x1, y1, x2, y2, pen, brush))
        fillSpan(s.span.x1, s.span.y1, s.span.x2, s.span.y2, s.color);
}

void PainterCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (!m_painter.isActive() || pen.style == PenStyle::Clear || x2 == x1 || y2 == y1)
        return;
    const double cx = (x1 + x2) / 2.0;
    const double cy = (y1 + y2) / 2.0;
    const double a = std::abs(x2 - x1) / 2.0;
    const double b = std::abs(y2 - y1) / 2.0;
    // The angle, on the ellipse's own parameter, of the point where a ray from the centre
    // meets the ellipse (y grows upwards for the angle).
    auto paramAngle = [&](int px, int py) {
        const double dx = px - cx;
        const double dy = cy - py;
        return std::atan2(dy * a, dx * b) * 180 / std::numbers::pi;
    };
    const double start = paramAngle(x3, y3);
    double span = paramAngle(x4, y4) - start;
    while (span <= 0)
        span += 360; // counter-clockwise; equal rays give the whole ellipse
    m_painter.setPen(QPen(ToQColor(pen.color), std::max(1, pen.width)));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawArc(QRectF(std::min(x1, x2), std::min(y1, y2), 2 * a - 1, 2 * b - 1), qRound(start * 16),
                      qRound(span * 16));
}

// ---- RecordingCanvas

void RecordingCanvas::syncInner() {
    if (!m_inner)
        return;
    m_inner->font = font;
    m_inner->pen = pen;
    m_inner->brush = brush;
    m_inner->bkMode = bkMode;
    m_inner->MoveTo(m_penX, m_penY);
}

void RecordingCanvas::TextOut(int x, int y, const QString& text) {
    m_calls.append(QStringLiteral("TextOut %1 %2 %3").arg(x).arg(y).arg(text));
    syncInner();
    if (m_inner)
        m_inner->TextOut(x, y, text);
}

int RecordingCanvas::TextWidth(const QString& text) {
    syncInner();
    return m_inner ? m_inner->TextWidth(text)
                   : int(std::min<qint64>(qint64(text.size()) * 10, kMostTextWidth));
}

int RecordingCanvas::TextHeight(const QString& text) {
    syncInner();
    return m_inner ? m_inner->TextHeight(text) : 20;
}

void RecordingCanvas::LineTo(int x, int y) {
    m_calls.append(QStringLiteral("LineTo %1 %2 %3 %4").arg(m_penX).arg(m_penY).arg(x).arg(y));
    syncInner();
    if (m_inner)
        m_inner->LineTo(x, y);
    m_penX = x;
    m_penY = y;
}

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    m_calls.append(QStringLiteral("Rectangle %1 %2 %3 %4").arg(x1).arg(y1).arg(x2).arg(y2));
    syncInner();
    if (m_inner)
        m_inner->Rectangle(x1, y1, x2, y2);
}

void RecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    m_calls.append(QStringLiteral("Arc %1 %2 %3 %4 %5 %6 %7 %8")
                       .arg(x1)
                       .arg(y1)
                       .arg(x2)
                       .arg(y2)
                       .arg(x3)
                       .arg(y3)
                       .arg(x4)
                       .arg(y4));
    syncInner();
    if (m_inner)
        m_inner->Arc(x1, y1, x2, y2, x3, y3, x4, y4);
}

void PaintDib(Canvas& canvas, int x, int y, int dstW, int dstH, const dib& picture, int srcX, int srcY,
              int srcW, int srcH, bool halftone) {
    if (picture.poi && canvas.placePicture(x, y, dstW, dstH, picture, srcX, srcY, srcW, srcH))
        return;
    QPainter* painter = canvas.painter();
    if (!painter || !painter->isActive() || !picture.poi)
        return;
    PaintDib(*painter, canvas.isRasterPrinter(), x, y, dstW, dstH, picture, srcX, srcY, srcW, srcH, halftone);
}

} // namespace pw
