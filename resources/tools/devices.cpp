#include "devices.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QTransform>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pictures {

// ---------------------------------------------------------------------------
// Scene

void Scene::startMeasuring()
{
    m_canvas = nullptr;
    m_extent = QRectF();
    m_parts.clear();
}

void Scene::startPainting(Canvas* canvas, QPointF origin, qreal scale, qreal outline)
{
    m_canvas = canvas;
    m_origin = origin;
    m_scale = scale;
    m_outline = outline;
}

QPointF Scene::toCanvas(QPointF model) const
{
    return m_origin + model * m_scale;
}

void Scene::include(const QPainterPath& modelOutline)
{
    const QRectF r = modelOutline.boundingRect();
    m_extent = m_extent.isNull() ? r : m_extent.united(r);
    m_parts << modelOutline;
}

QRectF Scene::reachAt(qreal y) const
{
    QPainterPath strip;
    strip.addRect(QRectF(m_extent.left() - 1, y - 1, m_extent.width() + 2, 2));
    QRectF reach;
    for (const QPainterPath& part : m_parts) {
        const QRectF hit = part.intersected(strip).boundingRect();
        if (!hit.isEmpty())
            reach = reach.isNull() ? hit : reach.united(hit);
    }
    if (reach.isNull()) {
        // A dimension taken from a height where nothing is drawn: the series'
        // dimensions and its drawing disagree.
        std::fprintf(stderr, "orx_picturetool: no part of the device at y = %g\n", y);
        std::exit(2);
    }
    return reach;
}

qreal Scene::leftmostAt(qreal y) const
{
    return reachAt(y).left();
}

qreal Scene::rightmostAt(qreal y) const
{
    return reachAt(y).right();
}

namespace {

struct Tones
{
    QColor base, light, dark;
    QColor flat; // the fill of the technical drawing
};

Tones tones(Material m)
{
    switch (m) {
    case Material::Cast:
        return {colour::cast, colour::castLight, colour::castDark, colour::faded(colour::cast, 0.3)};
    case Material::Steel:
        return {colour::steel, colour::steelLight, colour::steelDark, colour::faded(colour::steel, 0.2)};
    case Material::Drive:
        return {colour::brand, colour::brandLight, colour::brandDark, colour::tint};
    case Material::Accent:
    case Material::Tube:
        return {colour::accent, colour::accentLight, colour::accentDark, colour::faded(colour::accent, 0.3)};
    case Material::Dark:
        return {colour::graphite, colour::graphiteLight, colour::graphiteDark,
                colour::faded(colour::graphite, 0.35)};
    }
    return {};
}

} // namespace

QBrush Scene::fill(Material m, Shape s, const QRectF& r) const
{
    const Tones t = tones(m);
    if (m_look == Look::Drawing)
        return t.flat;
    // A cylinder lit from the upper left: a bright band near the lit edge, the
    // far edge in shadow.
    auto cylinder = [&](QLinearGradient g) {
        g.setColorAt(0, t.base);
        g.setColorAt(0.22, t.light);
        g.setColorAt(0.55, t.base);
        g.setColorAt(1, t.dark);
        return QBrush(g);
    };
    switch (s) {
    case Shape::AlongY:
        return cylinder(QLinearGradient(r.left(), 0, r.right(), 0));
    case Shape::AlongX:
        return cylinder(QLinearGradient(0, r.top(), 0, r.bottom()));
    case Shape::Ball: {
        QRadialGradient g(r.center(), std::max(r.width(), r.height()) * 0.62,
                          r.center() - QPointF(r.width() * 0.22, r.height() * 0.25));
        g.setColorAt(0, t.light);
        g.setColorAt(0.5, t.base);
        g.setColorAt(1, t.dark);
        return QBrush(g);
    }
    case Shape::Flat:
        break;
    }
    QLinearGradient g(0, r.top(), 0, r.bottom());
    g.setColorAt(0, t.light);
    g.setColorAt(1, t.base);
    return QBrush(g);
}

void Scene::box(const QRectF& r, Material m, Shape s, qreal radius)
{
    const QRectF model = r.normalized();
    if (!m_canvas) {
        QPainterPath outline;
        outline.addRect(model);
        include(outline);
        return;
    }
    const QRectF onCanvas(toCanvas(model.topLeft()), toCanvas(model.bottomRight()));
    crispRect(*m_canvas, onCanvas, fill(m, s, onCanvas), colour::ink, m_outline, radius * m_scale);
}

void Scene::shape(const QPainterPath& path, Material m, Shape s)
{
    if (!m_canvas) {
        include(path);
        return;
    }
    QTransform t;
    t.translate(m_origin.x(), m_origin.y());
    t.scale(m_scale, m_scale);
    const QPainterPath onCanvas = t.map(path);
    QPainter& p = m_canvas->painter;
    p.save();
    p.setPen(QPen(colour::ink, m_canvas->hairline(m_outline), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill(m, s, onCanvas.boundingRect()));
    p.drawPath(onCanvas);
    p.restore();
}

void Scene::tube(const QPolygonF& path, qreal diameter, Material m)
{
    if (!m_canvas) {
        // A tube widens the picture but is no edge a dimension is taken from.
        const QRectF r =
            path.boundingRect().adjusted(-diameter / 2, -diameter / 2, diameter / 2, diameter / 2);
        m_extent = m_extent.isNull() ? r : m_extent.united(r);
        return;
    }
    QPolygonF onCanvas;
    for (const QPointF& point : path)
        onCanvas << m_canvas->snap(toCanvas(point));
    const qreal line = m_canvas->hairline(m_outline);
    const qreal width = std::max(toCanvas(diameter), 2 * line + 1.5);
    const Tones t = tones(m);
    QPainter& p = m_canvas->painter;
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour::ink, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPolyline(onCanvas);
    p.setPen(QPen(m_look == Look::Drawing ? t.flat : t.base, width - 2 * line, Qt::SolidLine, Qt::FlatCap,
                  Qt::RoundJoin));
    p.drawPolyline(onCanvas);
    p.restore();
}

void Scene::centreLine(QPointF a, QPointF b)
{
    if (!m_canvas || m_look != Look::Drawing)
        return;
    crispLine(*m_canvas, toCanvas(a), toCanvas(b), colour::centreLine, 1, Qt::DashDotLine);
}

void Scene::detailLine(QPointF a, QPointF b)
{
    if (!m_canvas)
        return;
    crispLine(*m_canvas, toCanvas(a), toCanvas(b), colour::ink, 1);
}

void Scene::flowArrow(QPointF tail, QPointF head, qreal size)
{
    if (!m_canvas)
        return;
    const QPointF a = toCanvas(tail);
    const QPointF b = toCanvas(head);
    const qreal s = std::max<qreal>(toCanvas(size), 4);
    const QPointF dir = (b - a) / QLineF(a, b).length();
    const QPointF normal(-dir.y(), dir.x());
    const QPointF neck = b - dir * s;
    QPolygonF arrow;
    arrow << a + normal * s * 0.22 << neck + normal * s * 0.22 << neck + normal * s * 0.55 << b
          << neck - normal * s * 0.55 << neck - normal * s * 0.22 << a - normal * s * 0.22;
    QPainter& p = m_canvas->painter;
    p.save();
    p.setPen(QPen(colour::accentDark, m_canvas->hairline(0.6), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(colour::accent);
    p.drawPolygon(arrow);
    p.restore();
}

QRectF span(qreal x0, qreal y0, qreal x1, qreal y1)
{
    return QRectF(QPointF(x0, y0), QPointF(x1, y1)).normalized();
}

// ---------------------------------------------------------------------------
// Parts. Proportions follow a DN 50 device of the catalogue: L = 230 mm, a
// flange of about 165 mm across.

namespace {

constexpr qreal kFace = 115;        // half the construction length L
constexpr qreal kFlangeRadius = 82; // the flange's half height
constexpr qreal kFlangeThickness = 20;
constexpr qreal kNeckRadius = 36; // the pipe ends of the body

// The flanged globe body: two pipe ends, the bulb of the seat, the flanges.
// arrowSide: +1 draws the flow arrow below the axis, -1 above it.
void globeBody(Scene& s, qreal bulbHalfWidth, qreal bulbHalfHeight, int arrowSide)
{
    s.box(span(-kFace + kFlangeThickness, -kNeckRadius, kFace - kFlangeThickness, kNeckRadius),
          Material::Cast, Shape::AlongX);
    QPainterPath bulb;
    bulb.addEllipse(QPointF(0, 0), bulbHalfWidth, bulbHalfHeight);
    s.shape(bulb, Material::Cast, Shape::Ball);
    for (int side : {-1, 1})
        s.box(span(side * kFace, -kFlangeRadius, side * (kFace - kFlangeThickness), kFlangeRadius),
              Material::Cast, Shape::AlongX, 2);
    const qreal y = arrowSide * bulbHalfHeight * 0.45;
    s.flowArrow(QPointF(-bulbHalfWidth * 0.55, y), QPointF(bulbHalfWidth * 0.55, y), 14);
}

// The bonnet closing the body: dir = -1 upwards (valves), +1 downwards (regulators).
void bonnet(Scene& s, int dir)
{
    s.box(span(-30, dir * 48, 30, dir * 86), Material::Cast, Shape::AlongY);
    s.box(span(-46, dir * 54, 46, dir * 66), Material::Cast, Shape::AlongY, 2);
}

// Two pillars with the stem and its coupling between them, and the plate the
// drive stands on.
void yoke(Scene& s, qreal from, qreal to)
{
    s.box(span(-4, from, 4, to), Material::Steel, Shape::AlongY);
    for (int side : {-1, 1})
        s.box(span(side * 24, from, side * 32, to), Material::Steel, Shape::AlongY);
    const qreal mid = (from + to) / 2;
    s.box(span(-11, mid - 8, 11, mid + 8), Material::Steel, Shape::AlongY, 2);
    const qreal plate = to < from ? -8 : 8;
    s.box(span(-42, to, 42, to + plate), Material::Steel, Shape::AlongY);
}

// The finned neck that keeps the hot body's heat away from a drive or a spring.
void coolingNeck(Scene& s, qreal from, qreal to)
{
    s.box(span(-12, from, 12, to), Material::Steel, Shape::AlongY);
    const qreal dir = to > from ? 1 : -1;
    for (qreal y = from + dir * 10; dir * (to - y) > 10; y += dir * 13)
        s.box(span(-30, y, 30, y + dir * 5), Material::Steel, Shape::AlongY, 1);
}

// The electric drive: housing, cover joint, name plate, hand knob and cable gland.
void electricDrive(Scene& s, qreal base, qreal top)
{
    const qreal housingTop = top + 18;
    s.box(span(-14, top, 14, housingTop + 4), Material::Dark, Shape::AlongY, 3);
    s.box(span(-60, housingTop, 60, base), Material::Drive, Shape::AlongY, 10);
    s.detailLine(QPointF(-60, housingTop + 24), QPointF(60, housingTop + 24));
    const qreal mid = (housingTop + 24 + base) / 2;
    s.box(span(-28, mid - 12, 28, mid + 12), Material::Steel, Shape::Flat, 2);
    s.box(span(-28, mid + 5, 28, mid + 12), Material::Accent, Shape::Flat);
    s.box(span(60, base - 44, 74, base - 28), Material::Dark, Shape::AlongX, 2);
}

// Setting spring in an open cage, with the setting nut under it.
void springCage(Scene& s, qreal from, qreal to)
{
    for (int side : {-1, 1})
        s.box(span(side * 24, from, side * 30, to), Material::Steel, Shape::AlongY);
    const int turns = static_cast<int>((to - from) / 22);
    const qreal pitch = (to - from - 16) / turns;
    QPolygonF coil;
    coil << QPointF(0, from + 8);
    for (int i = 0; i < turns; ++i) {
        coil << QPointF(-18, from + 8 + pitch * (i + 0.25)) << QPointF(18, from + 8 + pitch * (i + 0.75));
    }
    coil << QPointF(0, to - 8);
    s.tube(coil, 5, Material::Steel);
    s.box(span(-34, from, 34, from + 8), Material::Steel, Shape::AlongY);
    s.box(span(-34, to - 8, 34, to), Material::Steel, Shape::AlongY);
    s.box(span(-20, to, 20, to + 14), Material::Accent, Shape::AlongY, 2);
}

// The diaphragm housing: two pressed dishes bolted at their rim.
void diaphragmHousing(Scene& s, qreal centre, qreal radius, qreal depth)
{
    for (int dir : {-1, 1}) {
        QPainterPath dish;
        dish.moveTo(-radius + 6, centre + dir * 5);
        dish.quadTo(-radius * 0.78, centre + dir * depth, -radius * 0.45, centre + dir * depth);
        dish.lineTo(radius * 0.45, centre + dir * depth);
        dish.quadTo(radius * 0.78, centre + dir * depth, radius - 6, centre + dir * 5);
        dish.closeSubpath();
        s.shape(dish, Material::Drive, Shape::AlongX);
    }
    s.box(span(-radius, centre - 6, radius, centre + 6), Material::Steel, Shape::AlongX, 2);
    for (qreal x : {-radius + 12, -radius * 0.45, radius * 0.45, radius - 12})
        s.box(span(x - 3, centre - 11, x + 3, centre + 11), Material::Dark, Shape::AlongY, 1);
}

// An impulse tube from a housing connection to the pipeline, ending in its union nut.
void impulseTube(Scene& s, QPointF from, qreal outX)
{
    QPolygonF route;
    route << from << QPointF(outX, from.y()) << QPointF(outX, 14);
    s.tube(route, 7, Material::Tube);
    s.box(span(outX - 8, 0, outX + 8, 14), Material::Steel, Shape::AlongY, 2);
}

// Pipe axis and stem axis of every drawing.
void axes(Scene& s, qreal top, qreal bottom)
{
    s.centreLine(QPointF(-kFace - 14, 0), QPointF(kFace + 14, 0));
    s.centreLine(QPointF(0, top - 10), QPointF(0, bottom + 10));
}

// ---------------------------------------------------------------------------
// The series.

void drawLmk2(Scene& s)
{
    bonnet(s, -1);
    yoke(s, -86, -170);
    electricDrive(s, -178, -325);
    globeBody(s, 64, 58, 1);
    axes(s, -325, kFlangeRadius);
}

void drawLmk3(Scene& s)
{
    bonnet(s, -1);
    yoke(s, -86, -140);
    electricDrive(s, -148, -305);
    // The third port leaves the body downwards.
    s.box(span(-kNeckRadius, 30, kNeckRadius, 80), Material::Cast, Shape::AlongY);
    s.box(span(-kFlangeRadius, 80, kFlangeRadius, 100), Material::Cast, Shape::AlongY, 2);
    globeBody(s, 66, 60, 1);
    s.flowArrow(QPointF(-18, 44), QPointF(-18, 76), 12);
    axes(s, -305, 100);
}

void drawLmkp(Scene& s)
{
    bonnet(s, -1);
    coolingNeck(s, -86, -150);
    yoke(s, -150, -212);
    electricDrive(s, -220, -355);
    globeBody(s, 64, 58, 1);
    axes(s, -355, kFlangeRadius);
}

void drawLmrd(Scene& s)
{
    impulseTube(s, QPointF(-84, 236), -150);
    impulseTube(s, QPointF(84, 296), 150);
    bonnet(s, 1);
    s.box(span(-10, 86, 10, 204), Material::Steel, Shape::AlongY);
    s.box(span(-18, 130, 18, 150), Material::Steel, Shape::AlongY, 2);
    diaphragmHousing(s, 266, 120, 62);
    globeBody(s, 64, 58, -1);
    axes(s, -kFlangeRadius, 328);
}

void drawLmr1(Scene& s)
{
    impulseTube(s, QPointF(-60, 362), -145);
    bonnet(s, 1);
    springCage(s, 86, 290);
    s.box(span(-10, 304, 10, 344), Material::Steel, Shape::AlongY);
    diaphragmHousing(s, 384, 96, 44);
    globeBody(s, 64, 58, -1);
    axes(s, -kFlangeRadius, 428);
}

void drawLmr2p(Scene& s)
{
    // Downstream regulation: the pressure is taken after the regulator, through a
    // condensate vessel that keeps live steam away from the diaphragm.
    impulseTube(s, QPointF(64, 468), 152);
    s.box(span(138, 200, 166, 280), Material::Steel, Shape::AlongY, 6);
    bonnet(s, 1);
    coolingNeck(s, 86, 200);
    springCage(s, 200, 400);
    s.box(span(-10, 414, 10, 444), Material::Steel, Shape::AlongY);
    diaphragmHousing(s, 494, 100, 54);
    globeBody(s, 64, 58, -1);
    axes(s, -kFlangeRadius, 548);
}

const DeviceSeries kSeries[] = {
    {"lmk2", drawLmk2, {kFace, kFlangeRadius, -325, kFlangeRadius, true, -325, true}},
    {"lmk3", drawLmk3, {kFace, kFlangeRadius, -305, 100, true, 100, true}},
    {"lmkp", drawLmkp, {kFace, kFlangeRadius, -355, kFlangeRadius, true, -355, true}},
    {"lmrd", drawLmrd, {kFace, kFlangeRadius, -kFlangeRadius, 328, true, 328, false}},
    {"lmr2_p", drawLmr2p, {kFace, kFlangeRadius, -kFlangeRadius, 548, false, 0, false}},
    {"lmr1", drawLmr1, {kFace, kFlangeRadius, -kFlangeRadius, 428, true, 428, false}},
};

} // namespace

const DeviceSeries* deviceSeries(int* count)
{
    *count = static_cast<int>(sizeof(kSeries) / sizeof(kSeries[0]));
    return kSeries;
}

const DeviceSeries& deviceSeries(const char* stem)
{
    for (const DeviceSeries& series : kSeries) {
        if (std::strcmp(series.stem, stem) == 0)
            return series;
    }
    std::fprintf(stderr, "orx_picturetool: no device series '%s'\n", stem);
    std::exit(2);
}

} // namespace pictures
