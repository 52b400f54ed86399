#include "style.h"

#include <QRadialGradient>

#include <cmath>

namespace pictures {

QColor colour::faded(const QColor& c, qreal strength)
{
    auto mix = [&](int channel) { return qRound(255 - strength * (255 - channel)); };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

QColor colour::shadow(int alpha)
{
    QColor c = ink;
    c.setAlpha(alpha);
    return c;
}

qreal Canvas::snap(qreal v) const
{
    return std::round(v * ratio) / ratio;
}

QRectF Canvas::snap(const QRectF& r) const
{
    const QPointF topLeft(snap(r.left()), snap(r.top()));
    const QPointF bottomRight(snap(r.right()), snap(r.bottom()));
    return QRectF(topLeft, bottomRight);
}

QPointF Canvas::snap(const QPointF& p) const
{
    return QPointF(snap(p.x()), snap(p.y()));
}

qreal Canvas::hairline(qreal logicalWidth) const
{
    return std::max<qreal>(1, std::round(logicalWidth * ratio)) / ratio;
}

void crispRect(Canvas& c, const QRectF& r, const QBrush& fill, const QColor& line, qreal lineWidth,
               qreal radius)
{
    const QRectF s = c.snap(r);
    const qreal w = lineWidth > 0 ? c.hairline(lineWidth) : 0;
    c.painter.save();
    if (w > 0)
        c.painter.setPen(QPen(line, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    else
        c.painter.setPen(Qt::NoPen);
    c.painter.setBrush(fill);
    const QRectF inner = s.adjusted(w / 2, w / 2, -w / 2, -w / 2);
    if (radius > 0)
        c.painter.drawRoundedRect(inner, radius, radius);
    else
        c.painter.drawRect(inner);
    c.painter.restore();
}

void crispLine(Canvas& c, QPointF a, QPointF b, const QColor& colour, qreal lineWidth, Qt::PenStyle style)
{
    const qreal w = c.hairline(lineWidth);
    // A line of an odd number of device pixels is centred on a pixel, not on a boundary.
    const bool odd = static_cast<int>(std::round(w * c.ratio)) % 2 == 1;
    const qreal half = odd ? 0.5 / c.ratio : 0;
    a = c.snap(a);
    b = c.snap(b);
    if (qFuzzyCompare(a.x(), b.x())) {
        a.rx() += half;
        b.rx() += half;
    } else if (qFuzzyCompare(a.y(), b.y())) {
        a.ry() += half;
        b.ry() += half;
    }
    QPen pen(colour, w, style, Qt::FlatCap);
    if (style == Qt::DashDotLine)
        pen.setDashPattern({12 / w, 3 / w, 2 / w, 3 / w});
    c.painter.save();
    c.painter.setPen(pen);
    c.painter.drawLine(a, b);
    c.painter.restore();
}

void groundShadow(Canvas& c, const QRectF& r, int alpha)
{
    QRadialGradient g(r.center(), r.width() / 2);
    g.setColorAt(0, colour::shadow(alpha));
    g.setColorAt(1, colour::shadow(0));
    c.painter.save();
    c.painter.translate(r.center());
    c.painter.scale(1, r.height() / r.width());
    c.painter.translate(-r.center());
    c.painter.setPen(Qt::NoPen);
    c.painter.setBrush(g);
    c.painter.drawEllipse(r.center(), r.width() / 2, r.width() / 2);
    c.painter.restore();
}

void illustrationTile(Canvas& c)
{
    const qreal side = std::min(c.size.width(), c.size.height());
    const QPointF centre(c.size.width() / 2, c.size.height() / 2);
    QRadialGradient g(centre - QPointF(side * 0.15, side * 0.2), side * 0.62);
    g.setColorAt(0, colour::paper);
    g.setColorAt(1, colour::mist);
    c.painter.save();
    c.painter.setPen(QPen(colour::tint, 1));
    c.painter.setBrush(g);
    c.painter.drawEllipse(centre, side / 2 - 1, side / 2 - 1);
    c.painter.restore();
}

} // namespace pictures
