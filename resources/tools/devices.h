#pragma once

// The maker's devices as side views in model millimetres: the pipe axis at y = 0
// (y grows downwards), the flow from left to right, the middle of the body at
// x = 0. The same geometry is drawn as a technical drawing (the dimension
// drawings) and as a shaded illustration (the new-document dialog), so the
// pictures of one device always agree.

#include "style.h"

#include <QPainterPath>
#include <QPolygonF>

namespace pictures {

enum class Look { Drawing, Illustration };
enum class Material { Cast, Steel, Drive, Accent, Dark, Tube };
// How a part is lit in an illustration: a cylinder along x or y, a ball, or flat.
enum class Shape { Flat, AlongX, AlongY, Ball };

// Draws model parts onto a canvas, or only measures them: a device is drawn
// twice, first to find its extent, then to fit that extent into the picture.
class Scene
{
public:
    explicit Scene(Look look) : m_look(look) {}

    // First pass: collect the extent of everything drawn.
    void startMeasuring();
    QRectF extent() const { return m_extent; }
    // Where the measured parts reach at height y: the leftmost and rightmost model x
    // of their outlines (dimension extension lines start there).
    qreal leftmostAt(qreal y) const;
    qreal rightmostAt(qreal y) const;
    // Second pass: model point p is drawn at origin + p * scale.
    void startPainting(Canvas* canvas, QPointF origin, qreal scale, qreal outline);

    QPointF toCanvas(QPointF model) const;
    qreal toCanvas(qreal modelLength) const { return modelLength * m_scale; }

    void box(const QRectF& r, Material m, Shape s, qreal radius = 0);
    void shape(const QPainterPath& path, Material m, Shape s);
    void tube(const QPolygonF& path, qreal diameter, Material m);
    // Thin lines of the drawing: centre lines and part joints; not part of the extent.
    void centreLine(QPointF a, QPointF b);
    void detailLine(QPointF a, QPointF b);
    // A small filled arrow on a body: the direction of flow.
    void flowArrow(QPointF tail, QPointF head, qreal size);

private:
    QBrush fill(Material m, Shape s, const QRectF& canvasRect) const;
    void include(const QPainterPath& modelOutline);
    QRectF reachAt(qreal y) const;

    Look m_look;
    Canvas* m_canvas = nullptr;
    QRectF m_extent;
    QList<QPainterPath> m_parts;
    QPointF m_origin;
    qreal m_scale = 1;
    qreal m_outline = 1;
};

// The rectangle between two corners, in model millimetres.
QRectF span(qreal x0, qreal y0, qreal x1, qreal y1);

// Where a device's dimensions are taken, in model millimetres.
struct DeviceDimensions
{
    qreal flangeFace;   // the flange faces are at -flangeFace and +flangeFace: L
    qreal flangeRadius; // half the flange diameter
    qreal heightTop;    // the two ends of the height Н
    qreal heightBottom;
    bool hasH1; // Н1 runs from the pipe axis to h1End
    qreal h1End;
    bool lengthBelow; // L is drawn under the device (valves) or above it (regulators)
};

// One series of the catalogue: its resource stem, its drawing and its dimensions.
struct DeviceSeries
{
    const char* stem;
    void (*draw)(Scene&);
    DeviceDimensions dimensions;
};

// The six series that have dimension drawings, in catalogue order.
const DeviceSeries* deviceSeries(int* count);
const DeviceSeries& deviceSeries(const char* stem);

} // namespace pictures
