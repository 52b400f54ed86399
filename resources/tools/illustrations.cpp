// The pictures of the new-document dialog: the devices as shaded side views on
// the maker's pale round tile, drawn from the same parts as the dimension
// drawings, and the Kv calculation as a worksheet.

#include "devices.h"
#include "pictures.h"
#include "strokefont.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace pictures {

namespace {

// Fits a scene into the target rectangle, keeps its proportions, stands it on a
// soft shadow and draws it; then the overlay, if any, on the same scale.
void illustrate(Canvas& c, const std::function<void(Scene&)>& draw, const QRectF& target,
                const std::function<void(Canvas&, const Scene&)>& overlay = {})
{
    Scene scene(Look::Illustration);
    scene.startMeasuring();
    draw(scene);
    const QRectF extent = scene.extent();
    const qreal scale = std::min(target.width() / extent.width(), target.height() / extent.height());
    const QPointF origin(target.center().x() - extent.center().x() * scale,
                         target.bottom() - extent.bottom() * scale);
    const qreal shadowWidth = extent.width() * scale * 1.05;
    groundShadow(c, QRectF(target.center().x() - shadowWidth / 2, target.bottom() - 7, shadowWidth, 14));
    scene.startPainting(&c, origin, scale, 1);
    draw(scene);
    if (overlay)
        overlay(c, scene);
}

QRectF deviceArea(const Canvas& c)
{
    const qreal s = c.size.width();
    return QRectF(s * 0.16, s * 0.07, s * 0.68, s * 0.84);
}

// A flanged electromagnetic flow meter with its converter head on top.
void flowMeter(Scene& s)
{
    s.box(span(-16, -96, 16, -60), Material::Steel, Shape::AlongY);
    s.box(span(-62, -196, 62, -96), Material::Steel, Shape::AlongY, 12);
    s.box(span(-48, -184, 48, -110), Material::Drive, Shape::Flat, 8);
    s.box(span(-38, -174, 38, -138), Material::Steel, Shape::Flat, 3);
    for (int i = 0; i < 4; ++i)
        s.box(span(-30 + i * 16, -166, -19 + i * 16, -146), Material::Dark, Shape::Flat, 1);
    for (int i = 0; i < 3; ++i)
        s.box(span(-26 + i * 20, -128, -14 + i * 20, -120), i == 1 ? Material::Accent : Material::Steel,
              Shape::Flat, 2);
    s.box(span(62, -140, 78, -124), Material::Dark, Shape::AlongX, 2);
    s.box(span(-100, -40, 100, 40), Material::Cast, Shape::AlongX);
    s.box(span(-72, -64, 72, 64), Material::Drive, Shape::AlongX, 8);
    for (int side : {-1, 1})
        s.box(span(side * 100, -82, side * 80, 82), Material::Cast, Shape::AlongX, 2);
    s.flowArrow(QPointF(-40, 36), QPointF(40, 36), 16);
}

// A wall-mounted control cabinet, seen from the front and a little from the right.
void cabinet(Scene& s)
{
    QPainterPath side;
    side.moveTo(46, -76);
    side.lineTo(62, -86);
    side.lineTo(62, 66);
    side.lineTo(46, 76);
    side.closeSubpath();
    s.shape(side, Material::Steel, Shape::AlongY);
    QPainterPath top;
    top.moveTo(-46, -76);
    top.lineTo(-30, -86);
    top.lineTo(62, -86);
    top.lineTo(46, -76);
    top.closeSubpath();
    s.shape(top, Material::Steel, Shape::Flat);
    for (int x : {-30, -6, 18})
        s.box(span(x, 76, x + 12, 86), Material::Dark, Shape::AlongY, 1);
    s.box(span(-46, -76, 46, 76), Material::Steel, Shape::Flat, 2);
    s.box(span(-41, -71, 41, 71), Material::Steel, Shape::Flat, 2);
    // The window in the door and the controller behind it.
    s.box(span(-31, -62, 31, -12), Material::Dark, Shape::Flat, 3);
    s.box(span(-25, -56, 25, -18), Material::Drive, Shape::Flat, 2);
    s.box(span(-19, -51, 19, -36), Material::Steel, Shape::Flat, 1);
    for (int i = 0; i < 3; ++i)
        s.box(span(-17 + i * 13, -29, -9 + i * 13, -24), i == 2 ? Material::Accent : Material::Steel,
              Shape::Flat, 1);
    // The selector switch, the handle and the maker's plate.
    s.box(span(-9, 16, 9, 34), Material::Dark, Shape::Ball, 9);
    s.box(span(-2, 17, 2, 33), Material::Steel, Shape::Flat, 1);
    s.box(span(32, -8, 37, 24), Material::Dark, Shape::AlongY, 2);
    s.box(span(-22, 48, 22, 60), Material::Drive, Shape::Flat, 2);
}

// Signal lamps of the cabinet: drawn over the scene, they need the signal colours.
void cabinetLamps(Canvas& c, const Scene& s)
{
    const QColor lamps[] = {colour::signalGreen, colour::accent, colour::signalRed};
    for (int i = 0; i < 3; ++i) {
        const QPointF centre = s.toCanvas(QPointF(-18 + i * 18, 2));
        const qreal r = s.toCanvas(5.5);
        QRadialGradient g(centre - QPointF(r * 0.35, r * 0.35), r * 1.2);
        g.setColorAt(0, Qt::white);
        g.setColorAt(0.35, lamps[i].lighter(120));
        g.setColorAt(1, lamps[i].darker(130));
        c.painter.save();
        c.painter.setPen(QPen(colour::ink, c.hairline(1)));
        c.painter.setBrush(g);
        c.painter.drawEllipse(centre, r, r);
        c.painter.restore();
    }
}

} // namespace

void drawValveIllustration(Canvas& c)
{
    illustrationTile(c);
    illustrate(c, deviceSeries("lmk2").draw, deviceArea(c));
}

void drawRegulatorIllustration(Canvas& c)
{
    illustrationTile(c);
    illustrate(c, deviceSeries("lmrd").draw, deviceArea(c).adjusted(-c.size.width() * 0.04, 0, 0, 0));
}

void drawFlowMeterIllustration(Canvas& c)
{
    illustrationTile(c);
    const qreal s = c.size.width();
    illustrate(c, flowMeter, QRectF(s * 0.15, s * 0.12, s * 0.7, s * 0.74));
}

void drawCabinetIllustration(Canvas& c)
{
    illustrationTile(c);
    const qreal s = c.size.width();
    illustrate(c, cabinet, QRectF(s * 0.2, s * 0.1, s * 0.6, s * 0.8), cabinetLamps);
}

// The Kv calculation: a worksheet with the flow coefficient and the rising
// characteristic of a valve, flow against the square root of the pressure drop.
void drawKvIllustration(Canvas& c)
{
    illustrationTile(c);
    QPainter& p = c.painter;
    const qreal s = c.size.width() / 200;
    p.save();
    p.scale(s, s);
    Canvas grid{p, QSizeF(200, 200), c.ratio * s};
    groundShadow(grid, QRectF(48, 170, 112, 14));
    const QRectF card(46, 26, 108, 148);
    crispRect(grid, card.translated(3, 3), colour::shadow(30), Qt::transparent, 0, 6);
    crispRect(grid, card, colour::paper, colour::ink, 1.5, 6);
    crispRect(grid, QRectF(46, 26, 108, 44), colour::brand, colour::ink, 1.5, 6);
    crispRect(grid, QRectF(47.5, 56, 105, 14), colour::brand, Qt::transparent, 0);
    drawLettersCentred(p, QPointF(100, 48), QStringLiteral("Kv"), Lettering{26, 4.2, 0.18}, Qt::white);

    // Axes and the characteristic.
    const QPointF origin(62, 158);
    crispLine(grid, origin, QPointF(62, 84), colour::ink, 1.5);
    crispLine(grid, origin, QPointF(142, 158), colour::ink, 1.5);
    for (int i = 1; i <= 3; ++i) {
        crispLine(grid, QPointF(62 + i * 20, 156), QPointF(62 + i * 20, 90), colour::tint, 1);
        crispLine(grid, QPointF(64, 158 - i * 18), QPointF(140, 158 - i * 18), colour::tint, 1);
    }
    QPainterPath curve;
    curve.moveTo(origin);
    for (int i = 1; i <= 40; ++i) {
        const qreal t = i / 40.0;
        curve.lineTo(62 + t * 76, 158 - std::sqrt(t) * 64);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour::brand, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(curve);
    // The working point found by the calculation.
    const QPointF point(62 + 0.49 * 76, 158 - 0.7 * 64);
    crispLine(grid, QPointF(point.x(), 157), point, colour::accent, 1, Qt::DashLine);
    crispLine(grid, QPointF(63, point.y()), point, colour::accent, 1, Qt::DashLine);
    p.setPen(QPen(colour::accentDark, 1.2));
    p.setBrush(colour::accent);
    p.drawEllipse(point, 5, 5);
    p.restore();
}

} // namespace pictures
