#include "dimensions.h"

#include "devices.h"
#include "strokefont.h"

#include <QLineF>

#include <cstdio>
#include <cstdlib>

namespace pictures {

namespace {

// Everything that changes between the large and the small drawing. The small
// one is not a scaled copy: its letters and arrows stay big enough to read on
// paper, its lines stay one pixel wide.
struct Proportions
{
    qreal padding;   // free border of the picture
    qreal right;     // free border on the right, where a report's table follows
    qreal offset;    // distance between the device and a dimension line
    qreal overshoot; // extension lines pass the dimension line by this much
    qreal gap;       // between the device and the start of an extension line
    qreal arrow;     // arrow head length
    qreal outline;   // outline of the device's parts
    Lettering label;
};

const Proportions kLarge = {8, 8, 18, 4, 3, 11, 1, {15, 1.8, 0.24}};
const Proportions kSmall = {2, 7, 9, 2, 2, 7, 1, {10, 1.4, 0.2}};

const QString kLengthLabel = QStringLiteral("L");
const QString kHeightLabel = QStringLiteral("Н");
const QString kHeight1Label = QStringLiteral("Н1");

void arrowHead(Canvas& c, QPointF tip, QPointF from, qreal length)
{
    const QLineF line(tip, from);
    const QPointF dir = (from - tip) / line.length();
    const QPointF normal(-dir.y(), dir.x());
    QPolygonF head;
    head << tip << tip + dir * length + normal * length * 0.3 << tip + dir * length - normal * length * 0.3;
    c.painter.save();
    c.painter.setPen(Qt::NoPen);
    c.painter.setBrush(colour::dimension);
    c.painter.drawPolygon(head);
    c.painter.restore();
}

// A letter cut off by the picture's edge or written over the device would be
// misread on a drawing a fitter works from: such a layout stops the build.
void requireClear(const Canvas& c, const QRectF& letters, const QRectF& device, const QString& label)
{
    if (QRectF(QPointF(0, 0), c.size).contains(letters) && !letters.intersects(device))
        return;
    std::fprintf(stderr, "orx_picturetool: the dimension %s does not fit beside the device\n",
                 qPrintable(label));
    std::exit(2);
}

// A dimension line between two points, arrows inside, interrupted in the middle
// where its letter stands.
void dimensionLine(Canvas& c, QPointF a, QPointF b, const QString& label, const Proportions& k,
                   const QRectF& device)
{
    a = c.snap(a);
    b = c.snap(b);
    const bool vertical = qFuzzyCompare(a.x(), b.x());
    // Centre the arrows on the pixel column or row the one-pixel line is drawn on.
    const QPointF half = vertical ? QPointF(0.5 / c.ratio, 0) : QPointF(0, 0.5 / c.ratio);
    const QPointF mid = (a + b) / 2;
    const qreal along = vertical ? k.label.capHeight : letterWidth(label, k.label);
    const qreal clearance = along / 2 + k.label.capHeight * 0.35;
    const QPointF dir = (b - a) / QLineF(a, b).length();
    crispLine(c, a, mid - dir * clearance, colour::dimension, 1);
    crispLine(c, mid + dir * clearance, b, colour::dimension, 1);
    arrowHead(c, a + half, b + half, k.arrow);
    arrowHead(c, b + half, a + half, k.arrow);
    const QSizeF letters(letterWidth(label, k.label), k.label.capHeight + k.label.weight);
    requireClear(c, QRectF(mid + half - QPointF(letters.width() / 2, letters.height() / 2), letters), device,
                 label);
    drawLettersCentred(c.painter, mid + half, label, k.label, colour::dimension);
}

} // namespace

void drawDimensionDrawing(Canvas& c, const char* stem, bool small)
{
    const Proportions& k = small ? kSmall : kLarge;
    const DeviceSeries& series = deviceSeries(stem);
    const DeviceDimensions& d = series.dimensions;

    Scene scene(Look::Drawing);
    scene.startMeasuring();
    series.draw(scene);
    const QRectF extent = scene.extent();

    // Room for the dimension lines with their letters around the device.
    const qreal left = k.padding + letterWidth(kHeightLabel, k.label) / 2 + k.offset;
    const qreal right = k.right + (d.hasH1 ? letterWidth(kHeight1Label, k.label) / 2 + k.offset : 0);
    const qreal lengthSide = k.padding + k.label.capHeight / 2 + k.offset;
    const qreal top = d.lengthBelow ? k.padding : lengthSide;
    const qreal bottom = d.lengthBelow ? lengthSide : k.padding;
    const QSizeF room(c.size.width() - left - right, c.size.height() - top - bottom);
    const qreal scale = std::min(room.width() / extent.width(), room.height() / extent.height());
    const QPointF origin(left + (room.width() - extent.width() * scale) / 2 - extent.left() * scale,
                         top + (room.height() - extent.height() * scale) / 2 - extent.top() * scale);

    scene.startPainting(&c, origin, scale, k.outline);
    series.draw(scene);

    auto at = [&](qreal x, qreal y) { return scene.toCanvas(QPointF(x, y)); };
    const QRectF device(scene.toCanvas(extent.topLeft()), scene.toCanvas(extent.bottomRight()));
    auto extension = [&](QPointF from, QPointF to) {
        const QPointF dir = (to - from) / QLineF(from, to).length();
        crispLine(c, from + dir * k.gap, to + dir * k.overshoot, colour::dimension, 1);
    };

    // Н, on the left: the whole height of the device.
    const qreal heightX = c.snap(scene.toCanvas(extent.topLeft()).x() - k.offset);
    for (qreal y : {d.heightTop, d.heightBottom}) {
        const QPointF object = at(scene.leftmostAt(y), y);
        extension(object, QPointF(heightX, object.y()));
    }
    dimensionLine(c, QPointF(heightX, at(0, d.heightTop).y()), QPointF(heightX, at(0, d.heightBottom).y()),
                  kHeightLabel, k, device);

    // Н1, on the right: from the pipe axis.
    if (d.hasH1) {
        const qreal h1X = c.snap(scene.toCanvas(extent.bottomRight()).x() + k.offset);
        for (qreal y : {qreal(0), d.h1End}) {
            const QPointF object = at(scene.rightmostAt(y), y);
            extension(object, QPointF(h1X, object.y()));
        }
        dimensionLine(c, QPointF(h1X, at(0, 0).y()), QPointF(h1X, at(0, d.h1End).y()), kHeight1Label, k,
                      device);
    }

    // L, between the flange faces, under a valve and over a regulator.
    const qreal lengthY = d.lengthBelow ? c.snap(scene.toCanvas(extent.bottomRight()).y() + k.offset)
                                        : c.snap(scene.toCanvas(extent.topLeft()).y() - k.offset);
    const qreal flangeEdge = d.lengthBelow ? d.flangeRadius : -d.flangeRadius;
    for (qreal x : {-d.flangeFace, d.flangeFace}) {
        const QPointF object = at(x, flangeEdge);
        extension(object, QPointF(object.x(), lengthY));
    }
    dimensionLine(c, QPointF(at(-d.flangeFace, 0).x(), lengthY), QPointF(at(d.flangeFace, 0).x(), lengthY),
                  kLengthLabel, k, device);
}

} // namespace pictures
