// Toolbar and menu icons (24 pixels) and the copy button (64 pixels): white
// paper, the maker's blue, the warm accent for the one thing that acts, and an
// outline of one pixel per 24.

#include "pictures.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace pictures {

namespace {

// The icons are designed on a 24-unit grid and scaled to their size.
qreal gridScale(const Canvas& c)
{
    return c.size.width() / 24;
}

// One grid unit of ink, on a canvas measured in grid units.
QPen outlinePen(const Canvas& grid)
{
    return QPen(colour::ink, grid.hairline(1), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

QLinearGradient verticalShade(qreal top, qreal bottom, const QColor& light, const QColor& base)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, light);
    g.setColorAt(1, base);
    return g;
}

// The accent arrow pointing right, on a grid canvas: a shaft from `tail` to
// `neck`, `shaft` high, and a head to `tip`, `head` high, centred on `middle`.
void accentArrow(Canvas& grid, qreal tail, qreal neck, qreal tip, qreal middle, qreal shaft, qreal head)
{
    QPainterPath arrow;
    arrow.moveTo(tail, middle - shaft / 2);
    arrow.lineTo(neck, middle - shaft / 2);
    arrow.lineTo(neck, middle - head / 2);
    arrow.lineTo(tip, middle);
    arrow.lineTo(neck, middle + head / 2);
    arrow.lineTo(neck, middle + shaft / 2);
    arrow.lineTo(tail, middle + shaft / 2);
    arrow.closeSubpath();
    QPainter& p = grid.painter;
    p.setPen(QPen(colour::accentDark, grid.hairline(1), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(verticalShade(middle - head / 2, middle + head / 2, colour::accentLight, colour::accent));
    p.drawPath(arrow);
}

// A sheet of paper with a folded corner and lines of text, on a grid canvas.
void sheet(Canvas& c, const QRectF& r, qreal fold, const QColor& paper, int lines)
{
    QPainter& p = c.painter;
    QPainterPath outline;
    outline.moveTo(r.topLeft());
    outline.lineTo(r.right() - fold, r.top());
    outline.lineTo(r.right(), r.top() + fold);
    outline.lineTo(r.bottomRight());
    outline.lineTo(r.bottomLeft());
    outline.closeSubpath();
    p.setPen(outlinePen(c));
    p.setBrush(paper);
    p.drawPath(outline);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(colour::tint);
    p.drawPath(corner);
    const qreal unit = 1;
    const qreal step = (r.height() - fold - 2 * unit) / (lines + 1);
    for (int i = 1; i <= lines; ++i) {
        const qreal y = r.top() + fold + unit + step * i;
        const qreal end = i == lines ? r.center().x() + unit : r.right() - 3 * unit;
        crispLine(c, QPointF(r.left() + 3 * unit, y), QPointF(end, y),
                  i == 1 ? colour::brand : colour::steelDark, unit);
    }
}

} // namespace

void drawNewIcon(Canvas& c)
{
    const qreal u = gridScale(c);
    QPainter& p = c.painter;
    p.scale(u, u);
    Canvas grid{p, QSizeF(24, 24), c.ratio * u};
    sheet(grid, QRectF(4.5, 1.5, 13, 20), 5, colour::paper, 3);
    // The accent badge: something is added.
    p.setPen(QPen(colour::accentDark, grid.hairline(1)));
    p.setBrush(verticalShade(12, 23, colour::accentLight, colour::accent));
    p.drawEllipse(QPointF(17.5, 17.5), 5.5, 5.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16.5, 14, 2, 7));
    p.drawRect(QRectF(14, 16.5, 7, 2));
}

void drawOpenIcon(Canvas& c)
{
    const qreal u = gridScale(c);
    QPainter& p = c.painter;
    p.scale(u, u);
    Canvas grid{p, QSizeF(24, 24), c.ratio * u};
    const QPen pen = outlinePen(grid);
    // The back of the folder with its tab.
    QPainterPath back;
    back.moveTo(1.5, 4.5);
    back.lineTo(8.5, 4.5);
    back.lineTo(10.5, 6.5);
    back.lineTo(19.5, 6.5);
    back.lineTo(19.5, 20.5);
    back.lineTo(1.5, 20.5);
    back.closeSubpath();
    p.setPen(pen);
    p.setBrush(colour::accentDark);
    p.drawPath(back);
    // A document taken out of it.
    p.setBrush(colour::paper);
    p.drawRect(QRectF(5.5, 2.5, 11, 10));
    crispLine(grid, QPointF(7.5, 5.5), QPointF(14.5, 5.5), colour::brand, 1);
    crispLine(grid, QPointF(7.5, 7.5), QPointF(14.5, 7.5), colour::steelDark, 1);
    // The front flap, opened towards the viewer.
    QPainterPath front;
    front.moveTo(1.5, 20.5);
    front.lineTo(4.5, 10.5);
    front.lineTo(22.5, 10.5);
    front.lineTo(19.5, 20.5);
    front.closeSubpath();
    p.setBrush(verticalShade(10.5, 20.5, colour::accentLight, colour::accent));
    p.drawPath(front);
}

void drawSaveIcon(Canvas& c)
{
    const qreal u = gridScale(c);
    QPainter& p = c.painter;
    p.scale(u, u);
    Canvas grid{p, QSizeF(24, 24), c.ratio * u};
    QPainterPath disk;
    disk.moveTo(2.5, 2.5);
    disk.lineTo(18.5, 2.5);
    disk.lineTo(21.5, 5.5);
    disk.lineTo(21.5, 21.5);
    disk.lineTo(2.5, 21.5);
    disk.closeSubpath();
    p.setPen(outlinePen(grid));
    p.setBrush(verticalShade(2.5, 21.5, colour::brandLight, colour::brand));
    p.drawPath(disk);
    // The metal shutter with its window.
    p.setBrush(verticalShade(2.5, 9.5, colour::steelLight, colour::steel));
    p.drawRect(QRectF(6.5, 2.5, 10, 7));
    p.setPen(Qt::NoPen);
    p.setBrush(colour::ink);
    p.drawRect(QRectF(12.5, 4, 2.5, 4));
    // The label.
    p.setPen(QPen(colour::ink, grid.hairline(1)));
    p.setBrush(colour::paper);
    p.drawRect(QRectF(5.5, 12.5, 13, 9));
    crispLine(grid, QPointF(7.5, 15.5), QPointF(16.5, 15.5), colour::accent, 1);
    crispLine(grid, QPointF(7.5, 18.5), QPointF(16.5, 18.5), colour::steelDark, 1);
}

void drawExitIcon(Canvas& c)
{
    const qreal u = gridScale(c);
    QPainter& p = c.painter;
    p.scale(u, u);
    Canvas grid{p, QSizeF(24, 24), c.ratio * u};
    const QPen pen = outlinePen(grid);
    // The doorway and its leaf, swung open.
    p.setPen(pen);
    p.setBrush(colour::steelLight);
    p.drawRect(QRectF(2.5, 2.5, 11, 19));
    QPainterPath leaf;
    leaf.moveTo(2.5, 2.5);
    leaf.lineTo(8.5, 4.5);
    leaf.lineTo(8.5, 23.0);
    leaf.lineTo(2.5, 21.5);
    leaf.closeSubpath();
    p.setBrush(verticalShade(2.5, 21.5, colour::brandLight, colour::brandDark));
    p.drawPath(leaf);
    p.setPen(Qt::NoPen);
    p.setBrush(colour::accentLight);
    p.drawEllipse(QPointF(7, 13), 1, 1);
    // The way out.
    accentArrow(grid, 10.5, 16.5, 22.5, 12.5, 4, 12);
}

void drawAboutIcon(Canvas& c)
{
    const qreal u = gridScale(c);
    QPainter& p = c.painter;
    p.scale(u, u);
    Canvas grid{p, QSizeF(24, 24), c.ratio * u};
    p.setPen(QPen(colour::ink, grid.hairline(1)));
    p.setBrush(verticalShade(2, 22, colour::brandLight, colour::brandDark));
    p.drawEllipse(QPointF(12, 12), 10, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(12, 7), 1.75, 1.75);
    p.drawRect(QRectF(10.5, 10, 3, 8));
    p.drawRect(QRectF(9.5, 10, 2, 1.5));
    p.drawRect(QRectF(9.5, 16.5, 5, 1.5));
}

void drawCopyIcon(Canvas& c)
{
    // Drawn on a 32-unit grid: at 64 pixels every unit is two whole pixels.
    const qreal u = c.size.width() / 32;
    QPainter& p = c.painter;
    p.scale(u, u);
    Canvas grid{p, QSizeF(32, 32), c.ratio * u};
    // The original behind, the copy in front.
    sheet(grid, QRectF(4.5, 2.5, 16, 21), 0.01, colour::tint, 0);
    sheet(grid, QRectF(11.5, 8.5, 16, 21), 5, colour::paper, 4);
    // The accent: from the original to the copy.
    accentArrow(grid, 2.5, 6.5, 11, 27, 3, 9);
}

} // namespace pictures
