// pagewright-mkflipgifs OUTDIR: draws the six toolbar pictures of the HTML flip catalogue
// (vcr-start.gif, vcr-previous.gif, vcr-next.gif, vcr-end.gif, magnifying-glass-plus.gif,
// magnifying-glass-minus.gif) and writes them as GIF into OUTDIR.
//
// The GIF writer has no transparency, so the pictures are drawn on the white of the
// catalogue's toolbar buttons (flippages.htm shows them with mix-blend-mode: multiply, so
// a tinted button behind them still shows through). They are drawn at twice the size the
// page shows them at, which keeps them sharp on high-density screens. The output depends
// on nothing but this file: two runs write the same bytes.

#include "imagelib/PicIO3.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSide = 48; // pixels; the page shows the pictures at 24 CSS pixels
const QColor kBackground(0xffffffu);
const QColor kInk(0x33383du);

enum class Direction { Back, Forward };

QImage canvas() {
    QImage image(kSide, kSide, QImage::Format_RGB32);
    image.fill(kBackground);
    return image;
}

// Antialiasing on; for Forward, x runs from the right, so every arrow is drawn once,
// pointing left, and the forward pictures are exact mirror images of the back ones.
void beginPainter(QPainter& p, Direction direction) {
    p.setRenderHint(QPainter::Antialiasing);
    if (direction == Direction::Forward) {
        p.translate(kSide, 0);
        p.scale(-1, 1);
    }
}

// A filled triangle pointing left with its tip at x, softened by a round-joined outline.
void leftTriangle(QPainter& p, qreal tipX, qreal width) {
    QPainterPath path;
    path.moveTo(tipX, 24);
    path.lineTo(tipX + width, 12.5);
    path.lineTo(tipX + width, 35.5);
    path.closeSubpath();
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kInk);
    p.drawPath(path);
}

// Previous / next: one triangle, centred.
QImage step(Direction direction) {
    QImage image = canvas();
    QPainter p(&image);
    beginPainter(p, direction);
    leftTriangle(p, 16.5, 14);
    return image;
}

// First / last: a bar at the outer side and a triangle pointing at it.
QImage jump(Direction direction) {
    QImage image = canvas();
    QPainter p(&image);
    beginPainter(p, direction);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(11, 11, 4.5, 26), 1.5, 1.5);
    leftTriangle(p, 20, 14);
    return image;
}

// A lens with its handle to the bottom right and a plus or a minus in the glass.
QImage magnifier(bool plus) {
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(20.5, 20.5);
    const qreal radius = 11.5;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 3.5));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(kInk, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(30, 30), QPointF(38.5, 38.5));
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    const qreal arm = 5.5;
    p.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    if (plus)
        p.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
    return image;
}

void printLine(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        printLine(stderr, u"usage: pagewright-mkflipgifs OUTDIR"_s);
        return 2;
    }
    const QDir dir(QDir::cleanPath(QDir(args[1]).absolutePath()));
    if (!QDir().mkpath(dir.path())) {
        printLine(stderr, u"pagewright-mkflipgifs: cannot create %1"_s.arg(dir.path()));
        return 1;
    }

    const struct {
        QString name;
        QImage image;
    } pictures[] = {
        {u"vcr-start.gif"_s, jump(Direction::Back)},
        {u"vcr-previous.gif"_s, step(Direction::Back)},
        {u"vcr-next.gif"_s, step(Direction::Forward)},
        {u"vcr-end.gif"_s, jump(Direction::Forward)},
        {u"magnifying-glass-plus.gif"_s, magnifier(true)},
        {u"magnifying-glass-minus.gif"_s, magnifier(false)},
    };
    for (const auto& picture : pictures) {
        const QString path = dir.absoluteFilePath(picture.name);
        pw::dib d;
        if (!pw::dibFromImage(d, picture.image) || !pw::SaveDib(d, path, pw::kFormatGif)) {
            printLine(stderr, u"pagewright-mkflipgifs: cannot write %1"_s.arg(path));
            return 1;
        }
        printLine(stdout, u"wrote %1"_s.arg(path));
    }
    return 0;
}
