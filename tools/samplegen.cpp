// pagewright-samplegen OUTDIR: writes the sample catalogue OUTDIR/test.pk2 together with
// every picture it shows. The pictures are drawn here with QPainter, so the program needs
// no input files, and nothing depends on the date or on chance: two runs on the same
// machine write the same bytes.

#include "i18n/translateunit.h"
#include "model/catalog.h"
#include "model/catalogfile.h"
#include "model/error.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSide = 320;          // product pictures are square
constexpr int kPhotoQuality = 85;   // JPEG quality of the product pictures
constexpr int kDotsPerMeter = 3780; // 96 dpi, written into the files

// How one picture shows its object.
struct Look {
    qreal angle = 0; // degrees, clockwise
    QColor main{};   // body, handle or blade colour
    QColor accent{}; // grip, lid, flowers, ...
    int detail = 0;  // which version of the object the drawing shows
    qreal scale = 1; // size of the object in the frame
    QString label{}; // text on the strip at the foot of the picture
};

using DrawFn = void (*)(QPainter&, const Look&);

// ---- Painting helpers

const QColor kSteelDark(0x5d646bu);
const QColor kRubber(0x2f3336u);
const QColor kAsh(0xc99a5eu);
const QColor kBeech(0xd9a86cu);
const QColor kOak(0xa8743fu);
const QColor kBrass(0xc9a227u);

QColor mix(const QColor& a, const QColor& b, float t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

QPen outline(const QColor& c, qreal width = 1.6) {
    QPen pen(c.darker(170), width);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Brushed metal across the line from a to b.
QLinearGradient steel(QPointF a, QPointF b) {
    QLinearGradient g(a, b);
    g.setColorAt(0, QColor(0x858c93u));
    g.setColorAt(0.42, QColor(0xf4f6f8u));
    g.setColorAt(0.58, QColor(0xd3d8dcu));
    g.setColorAt(1, QColor(0x5a6168u));
    return g;
}

// A coloured surface lit from the a side.
QLinearGradient shaded(const QColor& c, QPointF a, QPointF b) {
    QLinearGradient g(a, b);
    g.setColorAt(0, c.lighter(145));
    g.setColorAt(0.45, c);
    g.setColorAt(1, c.darker(150));
    return g;
}

void fillPath(QPainter& p, const QPainterPath& path, const QBrush& brush, const QColor& edge) {
    p.setPen(outline(edge));
    p.setBrush(brush);
    p.drawPath(path);
}

QPainterPath roundedRect(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

void rivet(QPainter& p, QPointF at, qreal r) {
    QRadialGradient g(at - QPointF(r / 3, r / 3), r * 1.4);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, kSteelDark);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(at, r, r);
}

QFont labelFont(int pixels, bool bold) {
    QFont f(u"DejaVu Sans"_s);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// ---- Werkzeug

void drawHammer(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    p.scale(l.scale, l.scale);
    const QColor wood = l.main;
    if (l.detail == 1) { // the head from above: the end of the handle in the eye, held by a ring wedge
        fillPath(p, polygon({{-84, -24}, {50, -24}, {98, -6}, {98, 6}, {50, 24}, {-84, 24}}),
                 steel({0, -24}, {0, 24}), kSteelDark);
        p.setPen(outline(wood));
        p.setBrush(wood);
        p.drawEllipse(QPointF(0, 0), 22, 14);
        p.setPen(QPen(wood.darker(140), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(-2, 1), 15, 9);
        p.drawEllipse(QPointF(-3, 1), 7, 4);
        p.setPen(QPen(kSteelDark, 3));
        p.drawEllipse(QPointF(0, 0), 11, 6);
        return;
    }
    fillPath(p, roundedRect(QRectF(-12, -60, 24, 182), 10), shaded(wood, {-12, 0}, {12, 0}), wood);
    p.setPen(QPen(wood.darker(125), 1));
    for (int i = -1; i <= 1; ++i)
        p.drawLine(QPointF(5.0 * i, -40), QPointF(5.0 * i + 1.5, 110));

    const QLinearGradient metal = steel({0, -96}, {0, -42});
    fillPath(p, roundedRect(QRectF(-84, -96, 24, 54), 3), metal, kSteelDark); // striking face
    fillPath(p, roundedRect(QRectF(-64, -90, 116, 42), 4), metal, kSteelDark);
    fillPath(p, polygon({{50, -88}, {98, -76}, {98, -62}, {50, -50}}), metal,
             kSteelDark); // wedge-shaped peen
    p.setPen(QPen(kSteelDark, 1));
    p.drawLine(QPointF(-12, -90), QPointF(-12, -48));
    p.drawLine(QPointF(12, -90), QPointF(12, -48));
}

// One screwdriver standing on its handle; tip 0 slotted, 1 Phillips, 2 Torx.
void drawOneScrewdriver(QPainter& p, const QColor& handle, const QColor& band, int tip) {
    fillPath(p, roundedRect(QRectF(-4.5, -112, 9, 140), 1), steel({-5, 0}, {5, 0}), kSteelDark);
    const QColor black(0x202326u);
    switch (tip) {
    case 0:
        fillPath(p, polygon({{-4.5, -112}, {-6.5, -126}, {6.5, -126}, {4.5, -112}}), black, black);
        break;
    case 1:
        fillPath(p, polygon({{-4.5, -112}, {-1.5, -130}, {1.5, -130}, {4.5, -112}}), black, black);
        break;
    default:
        fillPath(p, polygon({{-4.5, -112}, {-3.5, -127}, {3.5, -127}, {4.5, -112}}), black, black);
        break;
    }
    fillPath(p, roundedRect(QRectF(-10, 16, 20, 16), 3), steel({-10, 0}, {10, 0}), kSteelDark);
    fillPath(p, roundedRect(QRectF(-19, 28, 38, 104), 15), shaded(handle, {-19, 0}, {19, 0}), handle);
    fillPath(p, roundedRect(QRectF(-19, 96, 38, 36), 15), shaded(band, {-19, 0}, {19, 0}), band);
    p.setPen(QPen(handle.darker(135), 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int x : {-9, 0, 9})
        p.drawLine(QPointF(x, 40), QPointF(x, 88));
}

// End view of a tip in a magnifier circle.
void drawTipInset(QPainter& p, QPointF at, int tip) {
    p.setPen(QPen(kSteelDark, 2));
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawEllipse(at, 34, 34);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x202326u));
    p.drawEllipse(at, 22, 22);
    p.setBrush(QColor(0xe8ebeeu));
    if (tip == 0) {
        p.drawRect(QRectF(at.x() - 20, at.y() - 3, 40, 6));
    } else if (tip == 1) {
        p.drawRect(QRectF(at.x() - 16, at.y() - 3, 32, 6));
        p.drawRect(QRectF(at.x() - 3, at.y() - 16, 6, 32));
    } else {
        QPolygonF star;
        for (int i = 0; i < 12; ++i) {
            const double a = i * std::numbers::pi / 6;
            const double r = i % 2 == 0 ? 15 : 8;
            star << at + QPointF(r * std::cos(a), r * std::sin(a));
        }
        p.drawPolygon(star);
    }
}

void drawScrewdriver(QPainter& p, const Look& l) {
    if (l.detail == 3) { // the set in its wall holder
        const QColor colours[] = {l.main, l.accent, l.main, l.accent};
        const int tips[] = {0, 1, 0, 1};
        for (int i = 0; i < 4; ++i) {
            p.save();
            p.translate(-99 + 66 * i, 6);
            p.scale(0.78, 0.78);
            drawOneScrewdriver(p, colours[i], colours[(i + 1) % 4], tips[i]);
            p.restore();
        }
        fillPath(p, roundedRect(QRectF(-140, -40, 280, 22), 5), shaded(kRubber, {0, -40}, {0, -18}), kRubber);
        p.setPen(Qt::white);
        p.setFont(labelFont(12, true));
        p.drawText(QRectF(-140, -40, 280, 22), Qt::AlignCenter, u"BERGER PROFI"_s);
        return;
    }
    p.save();
    p.rotate(l.angle);
    drawOneScrewdriver(p, l.main, l.accent, l.detail);
    p.restore();
    drawTipInset(p, {92, -82}, l.detail);
}

void drawBattery(QPainter& p, const QRectF& r, const QColor& stripe) {
    fillPath(p, roundedRect(r, 8), shaded(kRubber, r.topLeft(), r.bottomLeft()), kRubber);
    fillPath(p, roundedRect(QRectF(r.left(), r.top(), r.width(), 10), 4), stripe, stripe);
    p.setPen(Qt::white);
    p.setFont(labelFont(13, true));
    p.drawText(r.adjusted(0, 10, 0, 0), Qt::AlignCenter, u"18V"_s);
}

void drawDrill(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    if (l.detail == 2) { // in its case
        fillPath(p, roundedRect(QRectF(-150, -118, 300, 236), 16),
                 shaded(l.main.darker(160), {0, -118}, {0, 118}), kRubber);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3a3f44u));
        p.drawRoundedRect(QRectF(-138, -106, 276, 212), 10, 10);
        p.translate(8, -6);
        p.scale(0.72, 0.72);
        drawBattery(p, QRectF(100, 30, 56, 70), l.main);
    }
    if (l.detail == 1)
        drawBattery(p, QRectF(98, 34, 56, 70), l.main); // the second battery beside the drill

    // bit: a twist drill (detail 1) or a screw bit
    const qreal bitLength = l.detail == 1 ? 78 : 44;
    fillPath(p, roundedRect(QRectF(-100 - bitLength, -72, bitLength + 4, 8), 2), steel({0, -72}, {0, -64}),
             kSteelDark);
    if (l.detail == 1) {
        p.setPen(QPen(kSteelDark, 1.4));
        for (qreal x = -100 - bitLength + 6; x < -104; x += 8)
            p.drawLine(QPointF(x, -64), QPointF(x + 6, -72));
    }
    fillPath(p, polygon({{-56, -92}, {-100, -80}, {-100, -56}, {-56, -44}}), steel({0, -92}, {0, -44}),
             kSteelDark);
    p.setPen(QPen(kSteelDark, 1.2));
    for (qreal x : {-66.0, -76.0, -86.0})
        p.drawLine(QPointF(x, -88 + (x + 56) * -0.27), QPointF(x, -48 - (x + 56) * -0.27));

    fillPath(p, polygon({{12, -44}, {64, -44}, {54, 64}, {6, 64}}), shaded(kRubber, {6, 0}, {64, 0}),
             kRubber);
    fillPath(p, roundedRect(QRectF(-10, -38, 20, 30), 6), QColor(0x1b1d1fu), kRubber); // trigger
    fillPath(p, roundedRect(QRectF(-60, -104, 150, 66), 30), shaded(l.main, {0, -104}, {0, -38}), l.main);
    p.setPen(QPen(l.main.darker(170), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(52 + 8 * i, -90), QPointF(52 + 8 * i, -56));
    drawBattery(p, QRectF(-24, 60, 112, 44), l.main);
}

void drawSpiritLevel(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    const qreal half = l.detail == 1 ? 105 : 145;
    fillPath(p, roundedRect(QRectF(-half, -18, 2 * half, 36), 3), shaded(l.main, {0, -18}, {0, 18}), l.main);
    p.setPen(QPen(l.main.darker(200), 1));
    int n = 0;
    for (qreal x = -half + 18; x <= half - 18; x += 6, ++n)
        p.drawLine(QPointF(x, -18), QPointF(x, n % 5 == 0 ? -10 : -14));
    for (qreal x : {-half - 4, half - 10})
        fillPath(p, roundedRect(QRectF(x, -21, 14, 42), 4), shaded(kRubber, {0, -21}, {0, 21}), kRubber);

    // the horizontal vial, its bubble off centre by the tilt
    const QColor frame(0x30343au);
    fillPath(p, roundedRect(QRectF(-28, -12, 56, 24), 5), frame, frame);
    QLinearGradient liquid(0, -8, 0, 8);
    liquid.setColorAt(0, QColor(0xeef58au));
    liquid.setColorAt(1, QColor(0x9ccc3cu));
    fillPath(p, roundedRect(QRectF(-23, -7, 46, 14), 7), liquid, QColor(0x9ccc3cu));
    const qreal bubble = std::clamp(-l.angle * 0.8, -12.0, 12.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 215));
    p.drawEllipse(QPointF(bubble, 0), 7.5, 4.5);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(-8, -7), QPointF(-8, 7));
    p.drawLine(QPointF(8, -7), QPointF(8, 7));

    // the vertical vials near the ends
    for (qreal x : {-half + 48, half - 48}) {
        p.setPen(outline(frame));
        p.setBrush(frame);
        p.drawEllipse(QPointF(x, 0), 13, 13);
        p.setBrush(liquid);
        p.drawRoundedRect(QRectF(x - 4.5, -11, 9, 22), 4, 4);
    }
}

// One half of a pair of pliers; the other is its mirror image.
void drawPliersHalf(QPainter& p, const Look& l) {
    QPainterPath grip;
    grip.moveTo(-10, -18);
    grip.cubicTo(-26, 20, -46, 70, -52, 120);
    grip.quadTo(-43, 130, -32, 122);
    grip.cubicTo(-26, 74, -10, 26, 4, -12);
    grip.closeSubpath();
    fillPath(p, grip, shaded(l.main, {-52, 0}, {4, 0}), l.main);
    QPainterPath stripe;
    stripe.moveTo(-22, 30);
    stripe.cubicTo(-30, 60, -38, 90, -42, 116);
    p.setPen(QPen(l.accent, 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stripe);
}

void drawPliers(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    p.translate(0, 10);
    drawPliersHalf(p, l);
    p.save();
    p.scale(-1, 1);
    drawPliersHalf(p, l);
    p.restore();
    QPainterPath jaws;
    jaws.moveTo(-17, -20);
    jaws.quadTo(-24, -80, -4, -128);
    jaws.lineTo(4, -128);
    jaws.quadTo(24, -80, 17, -20);
    jaws.closeSubpath();
    fillPath(p, jaws, steel({-20, 0}, {20, 0}), kSteelDark);
    p.setPen(QPen(QColor(0x30343au), 1.6));
    p.drawLine(QPointF(0, -127), QPointF(0, -60));
    for (qreal y = -116; y < -78; y += 6) {
        p.drawLine(QPointF(-7, y), QPointF(0, y + 3));
        p.drawLine(QPointF(7, y), QPointF(0, y + 3));
    }
    p.setPen(QPen(QColor(0x30343au), 2.2));
    p.drawLine(QPointF(-12, -58), QPointF(12, -52)); // the cutting edge
    p.setPen(outline(kSteelDark));
    p.setBrush(steel({-14, -46}, {14, -18}));
    p.drawEllipse(QPointF(0, -32), 14, 14);
    rivet(p, {0, -32}, 6);
}

// ---- Garten

void drawWateringCan(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    if (l.detail == 1)
        p.scale(-1, 1);
    p.scale(l.scale, l.scale);
    const bool zinc = l.detail == 2;
    const QColor body = l.main;

    const QLineF spout(QPointF(40, 60), QPointF(122, -62));
    p.setPen(QPen(body.darker(125), 14, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(spout);
    p.save();
    p.translate(spout.p2());
    p.rotate(-spout.angle());
    fillPath(p, roundedRect(QRectF(-4, -24, 16, 48), 6), shaded(kBrass, {0, -24}, {0, 24}), kBrass);
    p.setPen(Qt::NoPen);
    p.setBrush(kBrass.darker(200));
    for (int i = -3; i <= 3; ++i)
        p.drawEllipse(QPointF(12, 6.0 * i), 1.4, 1.4);
    p.restore();

    QPainterPath handle;
    handle.moveTo(-64, -52);
    handle.cubicTo(-64, -140, 40, -140, 40, -52);
    p.setPen(QPen(body.darker(115), 14, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(handle);
    QPainterPath back;
    back.moveTo(-76, -24);
    back.quadTo(-112, 10, -82, 60);
    p.drawPath(back);

    QPainterPath can;
    can.moveTo(-74, -52);
    can.lineTo(54, -52);
    can.lineTo(64, 100);
    can.quadTo(-6, 112, -84, 100);
    can.closeSubpath();
    fillPath(p, can, shaded(body, {-84, 0}, {64, 0}), body);
    p.setPen(outline(body));
    p.setBrush(body.darker(160));
    p.drawEllipse(QRectF(-72, -60, 124, 16));
    if (zinc) {
        p.setPen(QPen(body.darker(140), 2));
        for (qreal y : {0.0, 60.0})
            p.drawLine(QPointF(-78, y), QPointF(58 + y / 15, y));
        for (qreal x = -66; x < 52; x += 16)
            rivet(p, {x, 6}, 2.2);
    } else {
        p.setPen(Qt::white);
        p.setFont(labelFont(16, true));
        if (l.detail == 1)
            p.scale(-1, 1); // keep the print readable on the mirrored can
        p.drawText(QRectF(-80, 20, 140, 30), Qt::AlignCenter, l.label.section(u' ', 0, 1));
    }
}

void drawSpade(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    p.scale(l.scale, l.scale);
    fillPath(p, roundedRect(QRectF(-7, -120, 14, 160), 4), shaded(kAsh, {-7, 0}, {7, 0}), kAsh);
    QPainterPath grip; // the D grip
    grip.addRoundedRect(QRectF(-32, -150, 64, 34), 12, 12);
    grip.addRoundedRect(QRectF(-22, -142, 44, 18), 8, 8);
    grip.setFillRule(Qt::OddEvenFill);
    fillPath(p, grip, shaded(l.accent, {0, -150}, {0, -116}), l.accent);
    fillPath(p, polygon({{-10, 18}, {10, 18}, {15, 46}, {-15, 46}}), steel({-15, 0}, {15, 0}), kSteelDark);
    QPainterPath blade;
    blade.moveTo(-46, 44);
    blade.lineTo(46, 44);
    blade.lineTo(42, 124);
    blade.quadTo(0, 146, -42, 124);
    blade.closeSubpath();
    QLinearGradient coat(-46, 0, 46, 0);
    coat.setColorAt(0, l.main.darker(130));
    coat.setColorAt(0.5, l.main.lighter(130));
    coat.setColorAt(1, l.main.darker(150));
    fillPath(p, blade, coat, l.main);
    p.setPen(QPen(l.main.darker(170), 3));
    p.drawLine(QPointF(-44, 50), QPointF(44, 50)); // tread
    if (l.detail == 1) {                           // sharpened edge
        QPainterPath edge;
        edge.moveTo(-42, 118);
        edge.quadTo(0, 138, 42, 118);
        p.setPen(QPen(QColor(0xe9edf0u), 4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(edge);
    }
}

void drawFlowerPot(QPainter& p, const Look& l) {
    p.scale(l.scale, l.scale);
    p.translate(0, 20);
    const QColor clay = l.main;
    switch (l.detail) {
    case 1: // foliage
        for (int i = 0; i < 9; ++i) {
            p.save();
            p.translate(0, -30);
            p.rotate(-80 + i * 20);
            const QColor leaf = mix(QColor(0x2e7d32u), QColor(0x9ccc65u), float(i % 3) / 3.0f);
            fillPath(p, roundedRect(QRectF(-11, -100 + (i % 2) * 18, 22, 90), 11),
                     shaded(leaf, {-11, 0}, {11, 0}), leaf);
            p.restore();
        }
        break;
    case 2: // flowering plant
        p.setPen(QPen(QColor(0x4c8c2bu), 4, Qt::SolidLine, Qt::RoundCap));
        for (int i = -2; i <= 2; ++i)
            p.drawLine(QPointF(6.0 * i, -30), QPointF(34.0 * i, -92 - 14.0 * (2 - std::abs(i))));
        for (int i = -2; i <= 2; ++i) {
            const QPointF c(34.0 * i, -92 - 14.0 * (2 - std::abs(i)));
            p.setPen(outline(l.accent, 1));
            p.setBrush(l.accent);
            for (int k = 0; k < 6; ++k) {
                const double a = k * std::numbers::pi / 3;
                p.drawEllipse(c + QPointF(10 * std::cos(a), 10 * std::sin(a)), 8, 8);
            }
            p.setBrush(QColor(0xffd54fu));
            p.drawEllipse(c, 6, 6);
        }
        break;
    case 3: { // cactus
        const QColor green(0x558b2fu);
        fillPath(p, roundedRect(QRectF(-22, -130, 44, 110), 22), shaded(green, {-22, 0}, {22, 0}), green);
        fillPath(p, roundedRect(QRectF(-58, -96, 22, 50), 11), shaded(green, {-58, 0}, {-36, 0}), green);
        fillPath(p, roundedRect(QRectF(-50, -58, 36, 16), 8), shaded(green, {0, -58}, {0, -42}), green);
        fillPath(p, roundedRect(QRectF(36, -112, 22, 54), 11), shaded(green, {36, 0}, {58, 0}), green);
        fillPath(p, roundedRect(QRectF(14, -70, 36, 16), 8), shaded(green, {0, -70}, {0, -54}), green);
        p.setPen(QPen(QColor(0xf1f8e9u), 1.4));
        for (int y = -120; y < -30; y += 14)
            for (int x : {-10, 0, 10})
                p.drawLine(QPointF(x, y + (x == 0 ? 7 : 0)), QPointF(x + 3, y + (x == 0 ? 4 : -3)));
        break;
    }
    default: // empty pot on its saucer
        fillPath(p, roundedRect(QRectF(-82, 100, 164, 18), 8), shaded(clay, {0, 100}, {0, 118}), clay);
        break;
    }
    fillPath(p, polygon({{-68, -12}, {68, -12}, {52, 108}, {-52, 108}}), shaded(clay, {-68, 0}, {68, 0}),
             clay);
    fillPath(p, roundedRect(QRectF(-80, -36, 160, 28), 4), shaded(clay.lighter(105), {-80, 0}, {80, 0}),
             clay);
    if (l.detail == 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x4e342eu));
        p.drawEllipse(QRectF(-72, -40, 144, 12));
    }
}

void drawSecateurs(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    p.translate(0, 10);
    QPainterPath anvil;
    anvil.moveTo(-6, -6);
    anvil.cubicTo(-22, -50, -22, -96, -4, -116);
    anvil.cubicTo(-4, -76, 2, -40, 8, -4);
    anvil.closeSubpath();
    fillPath(p, anvil, steel({-22, 0}, {8, 0}), kSteelDark);
    QPainterPath blade;
    blade.moveTo(-8, -4);
    blade.cubicTo(-4, -60, 12, -110, 34, -128);
    blade.cubicTo(30, -84, 24, -40, 14, 0);
    blade.closeSubpath();
    QLinearGradient coat(-8, 0, 34, 0);
    coat.setColorAt(0, QColor(0xb0b8c0u));
    coat.setColorAt(0.5, QColor(0xf5f7f9u));
    coat.setColorAt(1, QColor(0x6d757du));
    fillPath(p, blade, coat, kSteelDark);

    QPainterPath left;
    left.moveTo(-14, 0);
    left.cubicTo(-32, 40, -50, 90, -44, 128);
    left.lineTo(-24, 130);
    left.cubicTo(-24, 90, -10, 40, 4, 6);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(12, -2);
    right.cubicTo(30, 40, 40, 90, 28, 128);
    right.lineTo(48, 128);
    right.cubicTo(58, 90, 48, 40, 24, -8);
    right.closeSubpath();
    fillPath(p, left, shaded(l.main, {-44, 0}, {4, 0}), l.main);
    fillPath(p, right, shaded(l.main, {12, 0}, {58, 0}), l.main);
    QPainterPath spring;
    spring.moveTo(-16, 38);
    for (int i = 1; i <= 6; ++i)
        spring.lineTo(-16 + 6.0 * i, 38 + (i % 2 == 0 ? 0 : 8));
    p.setPen(QPen(QColor(0x9aa3abu), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(spring);
    if (l.detail == 1) { // the safety catch closed
        fillPath(p, roundedRect(QRectF(-4, 4, 14, 22), 3), l.accent, l.accent);
    }
    rivet(p, {2, -4}, 9);
}

void drawHoseReel(QPainter& p, const Look& l) {
    p.scale(l.scale, l.scale);
    const QColor frame = l.accent;
    if (l.detail == 2) { // wall box
        fillPath(p, roundedRect(QRectF(-110, -120, 220, 210), 28), shaded(frame, {-110, 0}, {110, 0}), frame);
        fillPath(p, roundedRect(QRectF(-96, -106, 192, 182), 22),
                 shaded(frame.lighter(110), {0, -106}, {0, 76}), frame);
        p.setPen(Qt::white);
        p.setFont(labelFont(20, true));
        p.drawText(QRectF(-96, -30, 192, 40), Qt::AlignCenter, u"BERGER"_s);
        QPainterPath out;
        out.moveTo(60, 80);
        out.cubicTo(80, 120, 140, 110, 130, 60);
        p.setPen(QPen(l.main, 10, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(out);
        fillPath(p, roundedRect(QRectF(118, 30, 22, 34), 5), shaded(QColor(0xff8f00u), {118, 0}, {140, 0}),
                 QColor(0xff8f00u));
        return;
    }
    p.setPen(QPen(frame.darker(130), 10, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, -20), QPointF(-86, 112));
    p.drawLine(QPointF(0, -20), QPointF(86, 112));
    p.drawLine(QPointF(-20, -120), QPointF(-6, -20));
    p.drawLine(QPointF(-44, -120), QPointF(4, -120)); // push handle
    p.setBrush(kRubber);
    p.setPen(outline(kRubber));
    for (qreal x : {-86.0, 86.0})
        p.drawEllipse(QPointF(x, 112), 14, 14);

    p.setBrush(QColor(0x1b5e20u));
    p.setPen(outline(l.main));
    p.drawEllipse(QPointF(0, -20), 74, 74);
    for (qreal r = 24; r <= 70; r += 7) {
        p.setPen(QPen(l.main, 6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(0, -20), r, r);
        p.setPen(QPen(l.main.lighter(150), 1.4));
        p.drawArc(QRectF(-r, -20 - r, 2 * r, 2 * r), 40 * 16, 60 * 16);
    }
    p.setPen(outline(frame));
    p.setBrush(shaded(frame, {-16, -36}, {16, -4}));
    p.drawEllipse(QPointF(0, -20), 16, 16);

    QPainterPath loose;
    loose.moveTo(60, 20);
    loose.cubicTo(110, 60, 40, 110, 110, 120);
    p.setPen(QPen(l.main, 9, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(loose);
    const QColor orange(0xff8f00u);
    if (l.detail == 1) { // spray gun
        fillPath(p, polygon({{108, 112}, {140, 92}, {148, 102}, {128, 120}, {132, 140}, {120, 142}}),
                 shaded(orange, {108, 90}, {148, 142}), orange);
    } else {
        fillPath(p, roundedRect(QRectF(104, 110, 40, 16), 5), shaded(orange, {0, 110}, {0, 126}), orange);
    }
}

// ---- Haushalt

void drawPan(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    const QColor handle = l.accent;
    if (l.detail == 1) { // side view
        p.translate(-30, 0);
        fillPath(p, roundedRect(QRectF(64, -56, 110, 22), 10), shaded(handle, {0, -56}, {0, -34}), handle);
        QPainterPath body;
        body.moveTo(-110, -30);
        body.lineTo(110, -30);
        body.lineTo(94, 26);
        body.quadTo(0, 40, -94, 26);
        body.closeSubpath();
        fillPath(p, body, shaded(l.main, {-110, 0}, {110, 0}), l.main);
        p.setPen(outline(l.main));
        p.setBrush(l.main.darker(200));
        p.drawEllipse(QRectF(-110, -44, 220, 28));
        return;
    }
    p.translate(-34, 0);
    fillPath(p, roundedRect(QRectF(80, -13, 118, 26), 12), shaded(handle, {0, -13}, {0, 13}), handle);
    p.setPen(outline(kSteelDark));
    p.setBrush(QColor(0xf0f0f0u));
    p.drawEllipse(QPointF(182, 0), 5, 5); // hang hole
    p.setBrush(shaded(l.main, {-100, -100}, {100, 100}));
    p.setPen(outline(l.main));
    p.drawEllipse(QPointF(0, 0), 100, 100);
    QRadialGradient coating(QPointF(-20, -20), 100);
    coating.setColorAt(0, QColor(0x4a4f55u));
    coating.setColorAt(1, QColor(0x1d2023u));
    p.setBrush(coating);
    p.drawEllipse(QPointF(0, 0), 86, 86);
    p.setPen(QPen(QColor(255, 255, 255, 60), 3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-70, -70, 140, 140), 100 * 16, 70 * 16);
    if (l.detail == 2) { // fried egg
        QPainterPath white;
        white.moveTo(-40, -10);
        white.cubicTo(-46, -52, 10, -60, 30, -30);
        white.cubicTo(56, -6, 36, 40, 0, 38);
        white.cubicTo(-36, 40, -36, 20, -40, -10);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xfafafau));
        p.drawPath(white);
        QRadialGradient yolk(QPointF(-4, -10), 20);
        yolk.setColorAt(0, QColor(0xffe082u));
        yolk.setColorAt(1, QColor(0xff9800u));
        p.setBrush(yolk);
        p.drawEllipse(QPointF(0, -6), 17, 17);
    }
}

void drawKettle(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    p.translate(0, 14);
    if (l.detail == 2) { // base station of the electric model
        fillPath(p, roundedRect(QRectF(-96, 92, 192, 24), 10), shaded(kRubber, {0, 92}, {0, 116}), kRubber);
    }
    fillPath(p, polygon({{-72, 40}, {-142, -40}, {-128, -50}, {-66, -6}}), shaded(l.main, {0, -50}, {0, 40}),
             l.main);
    if (l.detail == 1) // whistle cap
        fillPath(p, roundedRect(QRectF(-152, -62, 28, 20), 6), shaded(l.accent, {0, -62}, {0, -42}),
                 l.accent);
    QPainterPath handle;
    handle.moveTo(-54, -62);
    handle.cubicTo(-44, -140, 44, -140, 54, -62);
    p.setPen(QPen(l.accent, 14, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(handle);
    QPainterPath body;
    body.moveTo(-84, 96);
    body.lineTo(84, 96);
    body.cubicTo(100, 20, 74, -54, 42, -70);
    body.lineTo(-42, -70);
    body.cubicTo(-74, -54, -100, 20, -84, 96);
    body.closeSubpath();
    fillPath(p, body, shaded(l.main, {-90, -40}, {90, 40}), l.main);
    p.setPen(QPen(QColor(255, 255, 255, 110), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-56, -20), QPointF(-66, 50));
    fillPath(p, roundedRect(QRectF(-86, 88, 172, 12), 5), steel({0, 88}, {0, 100}), kSteelDark);
    p.setPen(outline(l.main));
    p.setBrush(shaded(l.main.lighter(110), {-44, -80}, {44, -64}));
    p.drawEllipse(QRectF(-44, -80, 88, 18));
    fillPath(p, roundedRect(QRectF(-10, -94, 20, 18), 8), shaded(l.accent, {-10, 0}, {10, 0}), l.accent);
}

// A knife lying along +x, the handle ending at x = 0.
void drawKnife(QPainter& p, qreal blade, qreal height, const QColor& handle, bool serrated) {
    fillPath(p, roundedRect(QRectF(-74, -10, 76, 20), 8), shaded(handle, {0, -10}, {0, 10}), handle);
    for (qreal x : {-56.0, -36.0, -16.0})
        rivet(p, {x, 0}, 3);
    fillPath(p, roundedRect(QRectF(0, -12, 9, 24), 2), steel({0, -12}, {0, 12}), kSteelDark);
    QPainterPath b;
    b.moveTo(9, -9);
    b.lineTo(9 + blade * 0.72, -9);
    b.cubicTo(9 + blade * 0.9, -9, 9 + blade, -7, 9 + blade, -5);
    b.cubicTo(9 + blade * 0.86, height * 0.55 - 9, 9 + blade * 0.6, height - 9, 9 + blade * 0.3, height - 9);
    b.lineTo(9, height - 9);
    b.closeSubpath();
    fillPath(p, b, steel({0, -9}, {0, height - 9}), kSteelDark);
    if (serrated) {
        p.setPen(QPen(kSteelDark, 1));
        for (qreal x = 14; x < 9 + blade * 0.8; x += 6)
            p.drawArc(QRectF(x, height - 13, 6, 6), 180 * 16, 180 * 16);
    }
}

void drawKnifeSet(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    switch (l.detail) {
    case 1: { // the knives laid out
        const qreal blades[] = {150, 130, 92};
        const qreal heights[] = {40, 26, 22};
        for (int i = 0; i < 3; ++i) {
            p.save();
            p.translate(-40, -70 + 62 * i);
            drawKnife(p, blades[i], heights[i], l.accent, i == 1);
            p.restore();
        }
        break;
    }
    case 2: // the chef's knife
        p.translate(-50, -10);
        p.scale(1.2, 1.2);
        drawKnife(p, 150, 44, l.accent, false);
        break;
    default: { // the block
        p.save();
        p.rotate(-14);
        for (int i = 0; i < 5; ++i) {
            p.save();
            p.translate(-44 + 22 * i, -46);
            p.rotate(-90);
            p.translate(i % 2 == 0 ? 0 : -10, 0);
            fillPath(p, roundedRect(QRectF(-2, -9, 74, 18), 8), shaded(l.accent, {0, -9}, {0, 9}), l.accent);
            rivet(p, {20, 0}, 2.5);
            rivet(p, {44, 0}, 2.5);
            p.restore();
        }
        fillPath(p, roundedRect(QRectF(-72, -50, 144, 170), 10), shaded(l.main, {-72, 0}, {72, 0}), l.main);
        p.setPen(QPen(l.main.darker(125), 1.2));
        for (int i = 0; i < 6; ++i)
            p.drawLine(QPointF(-60 + 24 * i, -40), QPointF(-56 + 24 * i, 110));
        fillPath(p, roundedRect(QRectF(-30, 60, 60, 18), 3), steel({0, 60}, {0, 78}), kSteelDark);
        p.setPen(QPen(kRubber));
        p.setFont(labelFont(11, true));
        p.drawText(QRectF(-30, 60, 60, 18), Qt::AlignCenter, u"BERGER"_s);
        p.restore();
        break;
    }
    }
}

void drawOnePot(QPainter& p, const QColor& body, const QColor& knob, bool steam) {
    fillPath(p, roundedRect(QRectF(-122, -26, 36, 14), 6), steel({0, -26}, {0, -12}), kSteelDark);
    fillPath(p, roundedRect(QRectF(86, -26, 36, 14), 6), steel({0, -26}, {0, -12}), kSteelDark);
    QPainterPath pot;
    pot.moveTo(-92, -34);
    pot.lineTo(92, -34);
    pot.lineTo(92, 70);
    pot.quadTo(92, 86, 76, 86);
    pot.lineTo(-76, 86);
    pot.quadTo(-92, 86, -92, 70);
    pot.closeSubpath();
    fillPath(p, pot,
             body == QColor() ? QBrush(steel({-92, 0}, {92, 0})) : QBrush(shaded(body, {-92, 0}, {92, 0})),
             kSteelDark);
    QPainterPath lid;
    lid.moveTo(-96, -34);
    lid.quadTo(0, -96, 96, -34);
    lid.closeSubpath();
    fillPath(p, lid, QColor(190, 220, 235, 150), kSteelDark);
    fillPath(p, roundedRect(QRectF(-98, -38, 196, 8), 4), steel({0, -38}, {0, -30}), kSteelDark);
    fillPath(p, roundedRect(QRectF(-14, -80, 28, 16), 7), shaded(knob, {0, -80}, {0, -64}), knob);
    if (steam) {
        p.setPen(QPen(QColor(160, 170, 180, 150), 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (int i = -1; i <= 1; ++i) {
            QPainterPath s;
            s.moveTo(30.0 * i, -90);
            s.cubicTo(30.0 * i - 14, -104, 30.0 * i + 14, -116, 30.0 * i, -132);
            p.drawPath(s);
        }
    }
}

void drawCookingPot(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    if (l.detail == 1) { // the set
        for (int i = 0; i < 3; ++i) {
            p.save();
            p.translate(-94 + 80 * i, 20 - 14 * i);
            const qreal s = 0.46 + 0.09 * i;
            p.scale(s, s);
            drawOnePot(p, l.main, l.accent, false);
            p.restore();
        }
        return;
    }
    p.scale(l.scale, l.scale);
    drawOnePot(p, l.main, l.accent, true);
}

void drawCuttingBoard(QPainter& p, const Look& l) {
    p.rotate(l.angle);
    QPainterPath board;
    board.addRoundedRect(QRectF(-130, -82, 260, 164), 18, 18);
    board.addRoundedRect(QRectF(92, -16, 26, 32), 12, 12);
    board.setFillRule(Qt::OddEvenFill);
    fillPath(p, board, shaded(l.main, {0, -82}, {0, 82}), l.main);
    p.setPen(QPen(l.main.darker(130), 1.4));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        QPainterPath grain;
        const qreal y = -62 + 24 * i;
        grain.moveTo(-118, y);
        grain.cubicTo(-60, y - 10 + 4 * (i % 3), 10, y + 12, 80, y + 2);
        p.drawPath(grain);
    }
    p.setPen(QPen(l.main.darker(150), 2));
    p.drawRoundedRect(QRectF(-120, -72, 200, 144), 12, 12); // juice groove
    if (l.detail == 1) {                                    // vegetables on the board
        QRadialGradient tomato(QPointF(-52, -22), 44);
        tomato.setColorAt(0, QColor(0xff8a65u));
        tomato.setColorAt(1, QColor(0xc62828u));
        p.setPen(outline(QColor(0xc62828u)));
        p.setBrush(tomato);
        p.drawEllipse(QPointF(-40, -10), 36, 34);
        fillPath(p,
                 polygon({{-40, -50},
                          {-30, -38},
                          {-18, -44},
                          {-30, -32},
                          {-40, -40},
                          {-50, -32},
                          {-62, -44},
                          {-50, -38}}),
                 QColor(0x388e3cu), QColor(0x388e3cu));
        for (int i = 0; i < 3; ++i) {
            const QPointF c(24 + 22 * i, 30 - 6 * i);
            p.setPen(outline(QColor(0x2e7d32u)));
            p.setBrush(QColor(0x43a047u));
            p.drawEllipse(c, 17, 17);
            p.setBrush(QColor(0xdcedc8u));
            p.drawEllipse(c, 12, 12);
        }
    }
}

// ---- Pictures

void paintBackground(QPainter& p, const QSize& size, const QColor& tint) {
    QLinearGradient bg(0, 0, 0, size.height());
    bg.setColorAt(0, Qt::white);
    bg.setColorAt(1, mix(tint, Qt::white, 0.8f));
    p.fillRect(QRect(QPoint(0, 0), size), bg);
}

QImage drawProductPicture(DrawFn draw, const Look& look) {
    QImage img(kSide, kSide, QImage::Format_RGB32);
    img.setDotsPerMeterX(kDotsPerMeter);
    img.setDotsPerMeterY(kDotsPerMeter);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintBackground(p, img.size(), look.main);

    p.save(); // soft shadow on the floor
    p.translate(160, 262);
    p.scale(1, 0.16);
    QRadialGradient shadow(QPointF(0, 0), 130);
    shadow.setColorAt(0, QColor(0, 0, 0, 70));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(0, 0), 130, 130);
    p.restore();

    p.save();
    p.translate(160, 142);
    draw(p, look);
    p.restore();

    const QRectF strip(14, 284, 292, 28);
    p.setPen(QPen(look.main.darker(140), 1.2));
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRoundedRect(strip, 14, 14);
    p.setPen(QColor(0x263238u));
    p.setFont(labelFont(14, true));
    p.drawText(strip, Qt::AlignCenter, u"BERGER  ·  %1"_s.arg(look.label));
    return img;
}

void writeImage(const QImage& img, const QString& path, const char* format, int quality) {
    QImageWriter w(path, format);
    w.setQuality(quality);
    if (!w.write(img))
        throw pw::Error::text(u"Das Bild konnte nicht geschrieben werden: %1"_s.arg(w.errorString()), path);
}

// The shop logo, used in the page header.
QImage drawLogo() {
    QImage img(200, 200, QImage::Format_RGB32);
    img.setDotsPerMeterX(kDotsPerMeter);
    img.setDotsPerMeterY(kDotsPerMeter);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor red(0xb71c1cu);
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawEllipse(QPointF(100, 100), 94, 94);
    p.setPen(QPen(Qt::white, 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(100, 100), 82, 82);
    p.setPen(Qt::white);
    p.setFont(labelFont(76, true));
    p.drawText(QRectF(0, 30, 200, 100), Qt::AlignCenter, u"EB"_s);
    p.setFont(labelFont(20, true));
    p.drawText(QRectF(0, 118, 200, 40), Qt::AlignCenter, u"BERGER"_s);
    return img;
}

// The picture of the heading category "Werkzeug & Garten".
QImage drawBanner() {
    QImage img(480, 200, QImage::Format_RGB32);
    img.setDotsPerMeterX(kDotsPerMeter);
    img.setDotsPerMeterY(kDotsPerMeter);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 480, 200);
    bg.setColorAt(0, QColor(0x1b5e20u));
    bg.setColorAt(1, QColor(0x263238u));
    p.fillRect(img.rect(), bg);
    p.save();
    p.translate(376, 102);
    p.scale(0.42, 0.42);
    drawHammer(p, {.angle = 35, .main = kAsh});
    p.restore();
    p.save();
    p.translate(428, 114);
    p.scale(0.42, 0.42);
    drawWateringCan(p, {.angle = -8, .main = QColor(0x43a047u)});
    p.restore();
    p.setPen(Qt::white);
    p.setFont(labelFont(28, true));
    p.drawText(QRectF(24, 52, 330, 50), Qt::AlignLeft | Qt::AlignVCenter, u"Werkzeug & Garten"_s);
    p.setFont(labelFont(17, false));
    p.drawText(QRectF(24, 100, 330, 30), Qt::AlignLeft | Qt::AlignVCenter, u"Sortiment 2027"_s);
    return img;
}

// ---- The catalogue content

struct PictureEntry {
    QString file;
    DrawFn draw;
    Look look;
    double breite; // cm
};

struct RowEntry {
    QStringList cells; // the cells before the price cells
    int cents;         // single-piece price; the quantity prices follow from it
};

struct ProductEntry {
    QString name;
    QString desc;
    int anzpreis;
    QStringList captions;
    std::vector<RowEntry> rows;
    std::vector<PictureEntry> pictures{};
    std::vector<double> columnWidths{}; // own column widths in mm; empty: the document's
};

// German price text, e.g. 1299 -> "12,99 €", 129900 -> "1.299,00 €".
QString euro(int cents) {
    QString whole = QString::number(cents / 100);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, u'.');
    return u"%1,%2 €"_s.arg(whole).arg(cents % 100, 2, 10, QLatin1Char('0'));
}

// Price of price column k: the single price, then 6 % and 12 % off, to the 5 cents.
int tierPrice(int cents, int k) {
    constexpr int kPercent[] = {100, 94, 88};
    const int raw = cents * kPercent[std::min(k, 2)] / 100;
    return (raw + 2) / 5 * 5;
}

const QColor kGreenPlastic(0x43a047u);
const QColor kBluePlastic(0x1e88e5u);
const QColor kZinc(0x9ea7adu);
const QColor kTerracotta(0xc8673cu);

std::vector<ProductEntry> werkzeug() {
    const QColor red(0xc62828u), yellow(0xfbc02du), blue(0x1565c0u), drillGreen(0x2e7d32u);
    return {
        {u"Schlosserhammer mit Eschenstiel"_s,
         u"Geschmiedeter Kopf aus Werkzeugstahl, Bahn und Finne gehärtet und angelassen. Der Stiel "
         u"aus astfreiem Eschenholz ist mit einem Ringkeil gesichert und liegt auch bei langer "
         u"Arbeit sicher in der Hand. Ausführung nach DIN 1041."_s,
         3,
         {u"Gewicht"_s, u"Art.-Nr."_s, u"Preis"_s, u"Ab 10 Stk."_s, u"Ab 100 Stk."_s},
         {{{u"200 g"_s, u"WZ-1041-02"_s}, 895},
          {{u"300 g"_s, u"WZ-1041-03"_s}, 995},
          {{u"500 g"_s, u"WZ-1041-05"_s}, 1295},
          {{u"800 g"_s, u"WZ-1041-08"_s}, 1695},
          {{u"1000 g"_s, u"WZ-1041-10"_s}, 1995},
          {{u"1500 g"_s, u"WZ-1041-15"_s}, 2495}},
         {{u"hammer_1.jpg"_s,
           drawHammer,
           {.angle = -35, .main = kAsh, .label = u"Schlosserhammer 500 g"_s},
           5.0},
          {u"hammer_2.jpg"_s,
           drawHammer,
           {.angle = 28, .main = kAsh.lighter(110), .scale = 0.85, .label = u"300 g"_s},
           3.5},
          {u"hammer_3.jpg"_s,
           drawHammer,
           {.angle = -12, .main = kAsh.darker(110), .detail = 1, .scale = 1.25, .label = u"Ringkeil"_s},
           3.5}}},
        {u"Schraubendreher-Satz Profi, 6-teilig"_s,
         u"Drei Schlitz- und drei Kreuzschlitz-Schraubendreher mit Klingen aus "
         u"Chrom-Vanadium-Stahl, durchgehärtet und mit geschwärzter Spitze für sicheren Halt in der "
         u"Schraube. Zweikomponentengriffe mit Abrollschutz. Geliefert im Wandhalter."_s,
         2,
         {u"Ausführung"_s, u"Art.-Nr."_s, u"Preis"_s, u"Ab 10 Stk."_s},
         {{{u"Satz 6-tlg."_s, u"WZ-2200-06"_s}, 2490},
          {{u"Satz 6-tlg. VDE isoliert"_s, u"WZ-2200-16"_s}, 3990},
          {{u"Schlitz 5,5 × 125 mm"_s, u"WZ-2205-55"_s}, 495},
          {{u"Kreuzschlitz PH 2 × 100 mm"_s, u"WZ-2210-02"_s}, 495},
          {{u"Torx TX 25 × 100 mm"_s, u"WZ-2220-25"_s}, 595}},
         {{u"schraubendreher_1.jpg"_s,
           drawScrewdriver,
           {.main = red, .accent = kRubber, .detail = 3, .label = u"Satz 6-teilig"_s},
           5.0},
          {u"schraubendreher_2.jpg"_s,
           drawScrewdriver,
           {.angle = -18, .main = red, .accent = kRubber, .detail = 0, .label = u"Schlitz"_s},
           3.5},
          {u"schraubendreher_3.jpg"_s,
           drawScrewdriver,
           {.angle = 12, .main = yellow, .accent = kRubber, .detail = 1, .label = u"Kreuzschlitz PH"_s},
           3.5},
          {u"schraubendreher_4.jpg"_s,
           drawScrewdriver,
           {.angle = -6, .main = blue, .accent = kRubber, .detail = 2, .label = u"Torx TX"_s},
           3.5}}},
        {u"Akku-Bohrschrauber BS 18 Kompakt"_s,
         u"Der BS 18 Kompakt ist unser meistverkaufter Akku-Bohrschrauber: leicht genug für "
         u"Arbeiten über Kopf und kräftig genug für Bohrungen bis 13 mm in Stahl und 35 mm in Holz.\n"
         u"Der bürstenlose Motor arbeitet mit zwei Gängen (0–450 und 0–1.700 U/min) und liefert bis "
         u"zu 55 Nm Drehmoment. Die 21-stufige Rutschkupplung verhindert, dass Schrauben zu tief "
         u"eingedreht werden; in der Bohrstufe ist sie abgeschaltet. Eine LED leuchtet die "
         u"Arbeitsstelle aus.\n"
         u"Im Set enthalten: zwei Akkus 18 V / 2,0 Ah, Schnellladegerät (Ladezeit etwa 40 Minuten), "
         u"Gürtelhaken, Doppelbit und ein stabiler Kunststoffkoffer.\n"
         u"Garantie: 3 Jahre auf Gerät und Akkus, wenn Sie das Gerät innerhalb von 30 Tagen nach "
         u"dem Kauf bei uns registrieren. Ersatzteile und Reparaturen erhalten Sie direkt in "
         u"unserer Werkstatt."_s,
         1,
         {u"Ausführung"_s, u"Art.-Nr."_s, u"Lieferumfang"_s, u"Preis"_s},
         {{{u"Solo"_s, u"WZ-3018-00"_s, u"ohne Akku und Ladegerät"_s}, 8900},
          {{u"Set 1 Akku"_s, u"WZ-3018-01"_s, u"1 Akku 2,0 Ah, Ladegerät"_s}, 12900},
          {{u"Set 2 Akkus##FFE9A8"_s, u"WZ-3018-02"_s, u"2 Akkus 2,0 Ah, Ladegerät, Koffer"_s}, 15900},
          {{u"Ersatzakku"_s, u"WZ-3019-20"_s, u"18 V / 2,0 Ah"_s}, 4490},
          {{u"Ersatzakku"_s, u"WZ-3019-40"_s, u"18 V / 4,0 Ah"_s}, 6990},
          {{u"Schnelllader"_s, u"WZ-3019-90"_s, u"für alle 18-V-Akkus"_s}, 3490}},
         {{u"bohrschrauber_1.jpg"_s,
           drawDrill,
           {.angle = 0, .main = drillGreen, .scale = 1, .label = u"BS 18 Kompakt"_s},
           5.0},
          {u"bohrschrauber_2.jpg"_s,
           drawDrill,
           {.angle = -8, .main = drillGreen, .detail = 1, .label = u"mit Ersatzakku"_s},
           4.0},
          {u"bohrschrauber_3.jpg"_s,
           drawDrill,
           {.angle = 0, .main = drillGreen, .detail = 2, .label = u"Set im Koffer"_s},
           4.0}},
         {26, 26, 52, 22, 35, 35, 35, 35, 35, 35}},
        {u"Wasserwaage aus Aluminium, 3 Libellen"_s,
         u"Leichtes Rechteckprofil aus Aluminium, pulverbeschichtet, mit stoßdämpfenden Endkappen. "
         u"Eine Horizontal- und zwei Vertikallibellen, bruchsicher eingegossen; Messgenauigkeit 0,5 "
         u"mm/m. Millimeterskala auf der Oberseite."_s,
         2,
         {u"Länge"_s, u"Art.-Nr."_s, u"Preis"_s, u"Ab 10 Stk."_s},
         {{{u"40 cm"_s, u"WZ-4100-40"_s}, 1490},
          {{u"60 cm"_s, u"WZ-4100-60"_s}, 1790},
          {{u"80 cm"_s, u"WZ-4100-80"_s}, 2190},
          {{u"100 cm"_s, u"WZ-4101-00"_s}, 2590},
          {{u"120 cm"_s, u"WZ-4101-20"_s}, 2990},
          {{u"180 cm"_s, u"WZ-4101-80"_s}, 4490},
          {{u"200 cm"_s, u"WZ-4102-00"_s}, 4990}},
         {{u"wasserwaage_1.jpg"_s,
           drawSpiritLevel,
           {.angle = -14, .main = yellow, .label = u"100 cm"_s},
           5.0},
          {u"wasserwaage_2.jpg"_s,
           drawSpiritLevel,
           {.angle = 6, .main = yellow.darker(105), .detail = 1, .label = u"40 cm"_s},
           3.5}}},
        {u"Kombizange 180 mm"_s,
         u"Chrom-Vanadium-Stahl, geschmiedet und ölgehärtet. Die Schneiden sind zusätzlich induktiv "
         u"gehärtet und schneiden weichen wie harten Draht. Griffe mit Mehrkomponenten-Hüllen."_s,
         3,
         {u"Länge"_s, u"Art.-Nr."_s, u"Preis"_s, u"Ab 10 Stk."_s, u"Ab 100 Stk."_s},
         {{{u"160 mm"_s, u"WZ-5016-00"_s}, 1390},
          {{u"180 mm"_s, u"WZ-5018-00"_s}, 1490},
          {{u"200 mm"_s, u"WZ-5020-00"_s}, 1690},
          {{u"180 mm VDE"_s, u"WZ-5018-10"_s}, 2290}},
         {{u"kombizange_1.jpg"_s,
           drawPliers,
           {.angle = -24, .main = red, .accent = kRubber, .label = u"Kombizange 180 mm"_s},
           4.5},
          {u"kombizange_2.jpg"_s,
           drawPliers,
           {.angle = 30, .main = red, .accent = yellow, .detail = 1, .label = u"VDE bis 1000 V"_s},
           3.5}}},
    };
}

std::vector<ProductEntry> garten() {
    const QColor red(0xd32f2fu), pink(0xec407au), purple(0x8e24aau), hoseGreen(0x2e9d3cu);
    return {
        {u"Gießkanne mit Messingbrause"_s,
         u"Robuste Kunststoff-Gießkanne mit abnehmbarer Messingbrause für feinen Regen. Das lange "
         u"Rohr erreicht auch Pflanzen in der zweiten Beetreihe, und der Bügelgriff ist so "
         u"ausgewogen, dass sich die volle Kanne ohne Kraftaufwand kippen lässt."_s,
         2,
         {u"Inhalt"_s, u"Farbe"_s, u"Art.-Nr."_s, u"Preis"_s, u"Ab 10 Stk."_s},
         {{{u"5 l"_s, u"grün"_s, u"GA-1005-GR"_s}, 995},
          {{u"10 l"_s, u"grün"_s, u"GA-1010-GR"_s}, 1495},
          {{u"10 l"_s, u"blau"_s, u"GA-1010-BL"_s}, 1495},
          {{u"10 l"_s, u"Zink"_s, u"GA-1010-ZN"_s}, 3490},
          {{u"12 l"_s, u"grün"_s, u"GA-1012-GR"_s}, 1795}},
         {{u"giesskanne_1.jpg"_s,
           drawWateringCan,
           {.angle = 0, .main = kGreenPlastic, .label = u"10 l grün"_s},
           5.0},
          {u"giesskanne_2.jpg"_s,
           drawWateringCan,
           {.angle = 6, .main = kBluePlastic, .detail = 1, .scale = 0.9, .label = u"10 l blau"_s},
           3.5},
          {u"giesskanne_3.jpg"_s,
           drawWateringCan,
           {.angle = -4, .main = kZinc, .detail = 2, .label = u"10 l Zink"_s},
           3.5}}},
        {u"Gärtnerspaten mit D-Griff"_s,
         u"Blatt aus gehärtetem Borstahl, 2 mm stark, mit breiter Trittkante. Stiel aus Eschenholz, "
         u"85 cm, in der Dülle doppelt vernietet. Der D-Griff aus Kunststoff liegt auch mit "
         u"Handschuhen gut in der Hand."_s,
         1,
         {u"Ausführung"_s, u"Blatt"_s, u"Art.-Nr."_s, u"Preis"_s},
         {{{u"Gärtnerspaten"_s, u"28 × 18 cm"_s, u"GA-2000-28"_s}, 3490},
          {{u"Damenspaten"_s, u"25 × 16 cm"_s, u"GA-2000-25"_s}, 3290},
          {{u"Spaten geschärft"_s, u"28 × 18 cm"_s, u"GA-2001-28"_s}, 3990}},
         {{u"spaten_1.jpg"_s,
           drawSpade,
           {.angle = 20,
            .main = QColor(0x37474fu),
            .accent = kRubber,
            .scale = 0.85,
            .label = u"Gärtnerspaten"_s},
           4.5},
          {u"spaten_2.jpg"_s,
           drawSpade,
           {.angle = -14,
            .main = QColor(0x90a4aeu),
            .accent = red,
            .detail = 1,
            .scale = 0.85,
            .label = u"geschärft"_s},
           3.5}}},
        {u"Pflanztopf Terrakotta"_s,
         u"Handgefertigt in der Toskana und frostfest gebrannt bis −15 °C. Mit Abzugsloch; die "
         u"passenden Untersetzer finden Sie in der Tabelle."_s,
         2,
         {u"Größe"_s, u"Art.-Nr."_s, u"Preis"_s, u"Ab 10 Stk."_s},
         {{{u"Ø 12 cm"_s, u"GA-3012-00"_s}, 295},
          {{u"Ø 16 cm"_s, u"GA-3016-00"_s}, 450},
          {{u"Ø 20 cm"_s, u"GA-3020-00"_s}, 695},
          {{u"Ø 25 cm"_s, u"GA-3025-00"_s}, 995},
          {{u"Ø 30 cm"_s, u"GA-3030-00"_s}, 1495},
          {{u"Ø 40 cm"_s, u"GA-3040-00"_s}, 2995},
          {{u"Untersetzer Ø 20 cm"_s, u"GA-3120-00"_s}, 295},
          {{u"Untersetzer Ø 30 cm"_s, u"GA-3130-00"_s}, 450}},
         {{u"pflanztopf_1.jpg"_s,
           drawFlowerPot,
           {.main = kTerracotta, .accent = pink, .detail = 2, .label = u"Ø 20 cm"_s},
           4.5},
          {u"pflanztopf_2.jpg"_s,
           drawFlowerPot,
           {.main = kTerracotta, .detail = 1, .scale = 0.9, .label = u"Ø 25 cm"_s},
           3.5},
          {u"pflanztopf_3.jpg"_s,
           drawFlowerPot,
           {.main = kTerracotta.darker(108), .detail = 3, .scale = 0.8, .label = u"Ø 12 cm"_s},
           3.5},
          {u"pflanztopf_4.jpg"_s,
           drawFlowerPot,
           {.main = kTerracotta.lighter(108), .detail = 0, .label = u"mit Untersetzer"_s},
           3.5}}},
        {u"Rosenschere Bypass"_s,
         u"Präzisionsgeschliffene Klinge mit Antihaftbeschichtung; schneidet Zweige bis 20 mm "
         u"Durchmesser sauber und ohne zu quetschen. Ergonomische Aluminiumgriffe und ein "
         u"Sicherheitsverschluss, der sich mit einer Hand bedienen lässt."_s,
         3,
         {u"Modell"_s, u"Art.-Nr."_s, u"Preis"_s, u"Ab 10 Stk."_s, u"Ab 100 Stk."_s},
         {{{u"Standard, bis 20 mm"_s, u"GA-4020-00"_s}, 2490},
          {{u"Kompakt, bis 15 mm"_s, u"GA-4015-00"_s}, 1990},
          {{u"Ersatzklinge"_s, u"GA-4090-01"_s}, 790},
          {{u"Ersatzfeder"_s, u"GA-4090-02"_s}, 250}},
         {{u"rosenschere_1.jpg"_s,
           drawSecateurs,
           {.angle = -20, .main = red, .label = u"Bypass 20 mm"_s},
           4.5},
          {u"rosenschere_2.jpg"_s,
           drawSecateurs,
           {.angle = 24, .main = purple, .accent = kRubber, .detail = 1, .label = u"Kompakt 15 mm"_s},
           3.5}}},
        {u"Schlauchwagen mit 30 m Gartenschlauch"_s,
         u"Standfester Schlauchwagen mit Kurbel und Schiebebügel. Der Schlauch (1/2 Zoll, 13 mm) "
         u"ist knickfest, UV-beständig und frei von Phthalaten. Mit Anschlussstücken und "
         u"Spritzdüse."_s,
         1,
         {u"Ausführung"_s, u"Schlauch"_s, u"Art.-Nr."_s, u"Preis"_s},
         {{{u"Schlauchwagen"_s, u"30 m, 1/2 Zoll"_s, u"GA-5030-00"_s}, 5990},
          {{u"Schlauchwagen"_s, u"50 m, 1/2 Zoll"_s, u"GA-5050-00"_s}, 7990},
          {{u"Wandschlauchbox"_s, u"20 m, 1/2 Zoll"_s, u"GA-5120-00"_s}, 8990},
          {{u"Spritzpistole 7 Strahlarten"_s, u"–"_s, u"GA-5900-07"_s}, 1290},
          {{u"Ersatzschlauch"_s, u"25 m, 1/2 Zoll"_s, u"GA-5925-00"_s}, 2490}},
         {{u"schlauchwagen_1.jpg"_s,
           drawHoseReel,
           {.main = hoseGreen, .accent = kSteelDark, .scale = 0.95, .label = u"Schlauchwagen 30 m"_s},
           5.0},
          {u"schlauchwagen_2.jpg"_s,
           drawHoseReel,
           {.main = hoseGreen.darker(110),
            .accent = kSteelDark,
            .detail = 1,
            .scale = 0.95,
            .label = u"mit Spritzpistole"_s},
           3.5},
          {u"schlauchwagen_3.jpg"_s,
           drawHoseReel,
           {.main = hoseGreen,
            .accent = QColor(0x455a64u),
            .detail = 2,
            .scale = 0.9,
            .label = u"Wandschlauchbox 20 m"_s},
           3.5}}},
    };
}

std::vector<ProductEntry> haushalt() {
    const QColor panGrey(0x6f7780u), red(0xc62828u), cream(0xefe3c8u), steelBody(0xb8c0c7u),
        enamel(0x1e5a8cu);
    return {
        {u"Bratpfanne mit Antihaftbeschichtung"_s,
         u"Aluminiumguss mit dreilagiger Antihaftversiegelung, frei von PFOA. Für alle Herdarten "
         u"einschließlich Induktion. Der Griff aus Edelstahl ist backofenfest bis 240 °C."_s,
         2,
         {u"Durchmesser"_s, u"Art.-Nr."_s, u"Preis"_s, u"Ab 10 Stk."_s},
         {{{u"20 cm"_s, u"HH-1020-00"_s}, 2490},
          {{u"24 cm"_s, u"HH-1024-00"_s}, 2990},
          {{u"28 cm"_s, u"HH-1028-00"_s}, 3490},
          {{u"32 cm"_s, u"HH-1032-00"_s}, 3990},
          {{u"Glasdeckel 28 cm"_s, u"HH-1128-00"_s}, 1490}},
         {{u"pfanne_1.jpg"_s,
           drawPan,
           {.angle = -20, .main = panGrey, .accent = kRubber, .label = u"Ø 28 cm"_s},
           5.0},
          {u"pfanne_2.jpg"_s,
           drawPan,
           {.angle = 0, .main = panGrey, .accent = kRubber, .detail = 1, .label = u"Seitenansicht"_s},
           3.5},
          {u"pfanne_3.jpg"_s,
           drawPan,
           {.angle = 15, .main = panGrey.darker(110), .accent = kRubber, .detail = 2, .label = u"Ø 24 cm"_s},
           3.5}}},
        {u"Flötenkessel 2,5 Liter"_s,
         u"Edelstahl 18/10 mit Kapselboden für alle Herdarten. Die Flöte meldet sich, sobald das "
         u"Wasser kocht, und der Griff bleibt dabei kühl. In drei Ausführungen lieferbar."_s,
         1,
         {u"Ausführung"_s, u"Inhalt"_s, u"Art.-Nr."_s, u"Preis"_s},
         {{{u"Edelstahl"_s, u"2,5 l"_s, u"HH-2025-ED"_s}, 3990},
          {{u"Rot"_s, u"2,5 l"_s, u"HH-2025-RT"_s}, 4490},
          {{u"Creme"_s, u"2,5 l"_s, u"HH-2025-CR"_s}, 4490},
          {{u"Wasserkocher elektrisch"_s, u"1,7 l"_s, u"HH-2117-ED"_s}, 4990}},
         {{u"kessel_1.jpg"_s,
           drawKettle,
           {.main = steelBody, .accent = kRubber, .detail = 1, .label = u"Edelstahl"_s},
           4.5},
          {u"kessel_2.jpg"_s,
           drawKettle,
           {.angle = -6, .main = red, .accent = kRubber, .detail = 1, .label = u"Rot"_s},
           3.5},
          {u"kessel_3.jpg"_s,
           drawKettle,
           {.angle = 4, .main = cream, .accent = QColor(0x6d4c41u), .detail = 2, .label = u"Wasserkocher"_s},
           3.5}}},
        {u"Messerblock mit 5 Messern"_s,
         u"Fünf geschmiedete Messer aus rostfreiem Klingenstahl (56 HRC) in einem Block aus geölter "
         u"Buche: Kochmesser 20 cm, Brotmesser 20 cm, Schinkenmesser 18 cm, Universalmesser 13 cm "
         u"und Spickmesser 9 cm."_s,
         2,
         {u"Inhalt"_s, u"Art.-Nr."_s, u"Preis"_s, u"Ab 10 Stk."_s},
         {{{u"Messerblock, 5 Messer"_s, u"HH-3005-00"_s}, 12900},
          {{u"Kochmesser 20 cm"_s, u"HH-3120-00"_s}, 4990},
          {{u"Brotmesser 20 cm"_s, u"HH-3220-00"_s}, 3990},
          {{u"Universalmesser 13 cm"_s, u"HH-3313-00"_s}, 2490},
          {{u"Wetzstahl 25 cm"_s, u"HH-3925-00"_s}, 2990}},
         {{u"messer_1.jpg"_s,
           drawKnifeSet,
           {.main = kBeech, .accent = kRubber, .label = u"Messerblock Buche"_s},
           5.0},
          {u"messer_2.jpg"_s,
           drawKnifeSet,
           {.angle = -8, .main = kBeech, .accent = kRubber, .detail = 1, .label = u"Messer einzeln"_s},
           4.0},
          {u"messer_3.jpg"_s,
           drawKnifeSet,
           {.angle = -28,
            .main = kBeech,
            .accent = QColor(0x4e342eu),
            .detail = 2,
            .label = u"Kochmesser 20 cm"_s},
           3.5}}},
        {u"Kochtopf-Set 4-teilig"_s,
         u"Edelstahl mit Sandwichboden, Glasdeckel mit Dampfloch und Innenskalierung. Die Griffe "
         u"bleiben beim Kochen kalt. Für Gas, Elektro, Glaskeramik und Induktion."_s,
         3,
         {u"Teil"_s, u"Inhalt"_s, u"Art.-Nr."_s, u"Preis"_s, u"Ab 10 Stk."_s, u"Ab 100 Stk."_s},
         {{{u"Set 4-tlg."_s, u"–"_s, u"HH-4004-00"_s}, 8990},
          {{u"Kochtopf 16 cm"_s, u"1,5 l"_s, u"HH-4116-00"_s}, 2490},
          {{u"Kochtopf 20 cm"_s, u"3,0 l"_s, u"HH-4120-00"_s}, 2990},
          {{u"Kochtopf 24 cm"_s, u"6,0 l"_s, u"HH-4124-00"_s}, 3690},
          {{u"Stielkasserolle 16 cm"_s, u"1,4 l"_s, u"HH-4216-00"_s}, 2290}},
         {{u"kochtopf_1.jpg"_s,
           drawCookingPot,
           {.main = enamel, .accent = kRubber, .scale = 0.95, .label = u"24 cm"_s},
           4.5},
          {u"kochtopf_2.jpg"_s,
           drawCookingPot,
           {.main = steelBody, .accent = kRubber, .detail = 1, .label = u"Set 4-teilig"_s},
           4.0}}},
        {u"Schneidebrett aus Eiche"_s,
         u"Aus einem Stück Eichenholz gefertigt und mit Leinöl behandelt. Mit umlaufender Saftrille "
         u"und Griffloch. Bitte von Hand spülen und gelegentlich nachölen."_s,
         1,
         {u"Größe"_s, u"Art.-Nr."_s, u"Preis"_s},
         {{{u"30 × 20 cm"_s, u"HH-5030-00"_s}, 2490},
          {{u"40 × 25 cm"_s, u"HH-5040-00"_s}, 3490},
          {{u"50 × 30 cm"_s, u"HH-5050-00"_s}, 4490}},
         {{u"schneidebrett_1.jpg"_s,
           drawCuttingBoard,
           {.angle = -8, .main = kOak, .label = u"40 × 25 cm"_s},
           4.5},
          {u"schneidebrett_2.jpg"_s,
           drawCuttingBoard,
           {.angle = 5, .main = kOak.lighter(108), .detail = 1, .label = u"mit Saftrille"_s},
           3.5}}},
    };
}

// Draws and writes the pictures of a product and appends the product to the list.
void addProduct(pw::TProduktListe& list, const ProductEntry& s, const QDir& dir) {
    pw::TProdukt& p = *list.Add();
    pw::SetProductTableDefaults(p);
    p.name = s.name;
    p.desc = s.desc;
    p.anzpreis = s.anzpreis;
    p.DeactivateProd = false; // every sample product is printed

    for (const PictureEntry& pic : s.pictures) {
        const QString path = dir.absoluteFilePath(pic.file);
        writeImage(drawProductPicture(pic.draw, pic.look), path, "jpeg", kPhotoQuality);
        pw::TBild& b = *p.bilder.Add();
        b.datei = path;
        b.breite = pic.breite;
    }

    pw::TVariante& head = *p.varianten.Add();
    for (const QString& caption : s.captions)
        head.props.Add()->text = caption;
    for (const RowEntry& r : s.rows) {
        if (r.cells.size() + s.anzpreis != s.captions.size()) // a slip in the product tables
            throw pw::Error::text(u"Zeile passt nicht zur Kopfzeile: %1"_s.arg(s.name));
        pw::TVariante& row = *p.varianten.Add();
        for (const QString& cell : r.cells)
            row.props.Add()->text = cell;
        for (int k = 0; k < s.anzpreis; ++k)
            row.props.Add()->text = euro(tierPrice(r.cents, k));
    }

    if (!s.columnWidths.empty()) {
        p.table.OverWrite = true;
        p.table.DefineFixedWidth = true;
        for (std::size_t i = 0; i < p.table.ColWidth.size() && i < s.columnWidths.size(); ++i)
            p.table.ColWidth[i] = s.columnWidths[i];
    }
}

void writeSamples(const QDir& dir) {
    pw::CatalogDocument doc;
    pw::TranslationStore german; // the sample is German whatever the user's language
    doc.VorlageSpalten = pw::DefaultTemplateColumns(german);
    pw::LayoutSettings& settings = doc.settings;
    settings.KopfEd = u"Eisenwaren Berger – %CATEGORY%"_s;
    // Odd pages carry the page number outside on the left, even pages on the right.
    settings.FussEd = u"Seite %PAGE%  ·  Katalog 2027, Stand %DATE%  ·  www.example.com"_s;
    settings.FussEd2 = u"www.example.com  ·  Katalog 2027, Stand %DATE%  ·  Seite %PAGE%"_s;
    // A faint warm gradient from the top of the page to white at the bottom.
    settings.BackgroundColorCheck = true;
    settings.Shape5 = 0x00E8F2FB; // 0x00BBGGRR: RGB(251, 242, 232)
    settings.Shape6 = 0x00FFFFFF;
    // The default logo name points at a file the samples do not have; use the drawn one.
    const QString logo = dir.absoluteFilePath(u"logo.png"_s);
    writeImage(drawLogo(), logo, "png", -1);
    settings.FilenameEdit1 = logo;
    // Product names a little smaller than the default and three columns, so that names fit
    // the product columns of layout 3 without breaking inside words.
    settings.FontDialog3.Size = 14;
    settings.Columns = 3;

    // A table of contents at the front: every category with its products.
    const int contents = doc.addCategory(u"Inhalt"_s);
    pw::TKategorie& contentsOptions = doc.createOptions(contents);
    contentsOptions.InhaltsVerzeichnis = true;
    contentsOptions.ProdukteInhalt = true;

    // A heading without products that introduces the next two categories.
    const int intro = doc.addCategory(u"Werkzeug & Garten"_s);
    pw::TKategorie& introOptions = doc.createOptions(intro);
    introOptions.Einfuehrungstext = u"Gutes Werkzeug hält ein Leben lang. Auf den folgenden Seiten finden "
                                    u"Sie unser Sortiment für Werkstatt, "
                                    u"Baustelle und Garten – jedes Stück ausgewählt und im eigenen Betrieb "
                                    u"erprobt. Alle Preise verstehen sich "
                                    u"inklusive Mehrwertsteuer."_s;
    const QString banner = dir.absoluteFilePath(u"werkzeug_garten.jpg"_s);
    writeImage(drawBanner(), banner, "jpeg", kPhotoQuality);
    introOptions.Bild = banner;
    introOptions.BildBreite = 6;
    introOptions.BildUnterName = 1; // below the name, the introduction beside it

    const int tools = doc.addCategory(u"Werkzeug"_s);
    pw::TKategorie& toolOptions = doc.createOptions(tools);
    toolOptions.ProdukteInhalt = true;
    for (const ProductEntry& s : werkzeug())
        addProduct(doc.products(tools), s, dir);

    const int garden = doc.addCategory(u"Garten"_s); // no options record
    for (const ProductEntry& s : garten())
        addProduct(doc.products(garden), s, dir);

    const int household = doc.addCategory(u"Haushalt"_s);
    pw::TKategorie& houseOptions = doc.createOptions(household);
    houseOptions.KatBereichUnter = true;
    houseOptions.UnterlegeKategorie = true;
    houseOptions.OwnFontColor = true;
    houseOptions.BereichFarbe = 0x00BEDCEC;  // sand, 0x00BBGGRR: RGB(236, 220, 190)
    houseOptions.UnterlegFarbe = 0x00284BA0; // brick red
    houseOptions.FontColor = 0x00FFFFFF;
    for (const ProductEntry& s : haushalt())
        addProduct(doc.products(household), s, dir);

    pw::SaveTheFile(doc, dir.absoluteFilePath(u"test.pk2"_s));
}

void printLine(FILE* to, const QString& text) {
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, std::size_t(line.size()), to);
}

} // namespace

int main(int argc, char** argv) {
    // Text on the pictures needs a platform plugin, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        printLine(stderr, u"usage: pagewright-samplegen OUTDIR"_s);
        return 2;
    }
    const QDir dir(QDir::cleanPath(QDir(args[1]).absolutePath()));
    if (!QDir().mkpath(dir.path())) {
        printLine(stderr, u"pagewright-samplegen: cannot create %1"_s.arg(dir.path()));
        return 1;
    }
    try {
        writeSamples(dir);
    } catch (const pw::Error& e) {
        QString text = e.file().isEmpty() ? QString() : e.file() + u": "_s;
        pw::TranslationStore german;
        printLine(stderr, u"pagewright-samplegen: "_s + text + pw::errorText(e, german));
        return 1;
    }
    printLine(stdout, u"wrote %1"_s.arg(dir.absoluteFilePath(u"test.pk2"_s)));
    return 0;
}
