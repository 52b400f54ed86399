#pragma once

// The look shared by every picture of the program: one palette, one outline
// weight per size class, and helpers that keep straight edges on the pixel grid
// so that small pictures stay sharp at the size they are shown.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace pictures {

// The maker's palette: a deep blue for the brand and for lines, one warm accent,
// cool greys for metal. Every picture takes its colours from here.
namespace colour {
inline const QColor ink(0x14, 0x2f, 0x55);        // outlines, drawing text
inline const QColor brand(0x1d, 0x5c, 0xaa);      // the maker's blue
inline const QColor brandDark(0x12, 0x40, 0x7d);  // shaded side of blue parts
inline const QColor brandLight(0x5b, 0x91, 0xd4); // lit side of blue parts
inline const QColor tint(0xd8, 0xe6, 0xf6);       // light blue fills
inline const QColor mist(0xee, 0xf4, 0xfb);       // tiles behind illustrations
inline const QColor accent(0xef, 0x8a, 0x1d);     // the warm accent
inline const QColor accentDark(0xc4, 0x68, 0x0c);
inline const QColor accentLight(0xf8, 0xbb, 0x6e);
inline const QColor steel(0xc3, 0xcd, 0xd8); // machined metal
inline const QColor steelDark(0x86, 0x96, 0xa8);
inline const QColor steelLight(0xef, 0xf3, 0xf7);
inline const QColor cast(0x9a, 0xa8, 0xb8); // cast bodies
inline const QColor castDark(0x66, 0x77, 0x8c);
inline const QColor castLight(0xd9, 0xe0, 0xe8);
inline const QColor graphite(0x3a, 0x4a, 0x60); // knobs, glands, bolts, glass
inline const QColor graphiteDark(0x1f, 0x2b, 0x3b);
inline const QColor graphiteLight(0x6d, 0x80, 0x98);
inline const QColor dimension(0x1d, 0x5c, 0xaa); // dimension lines and their letters
inline const QColor centreLine(0x6f, 0x8b, 0xae);
inline const QColor paper(0xff, 0xff, 0xff);
inline const QColor signalGreen(0x3f, 0xa3, 0x4d);
inline const QColor signalRed(0xd2, 0x3c, 0x2f);

// Shadows are the ink, transparent.
QColor shadow(int alpha);
// The colour at the given strength over white paper: the light fills of the
// technical drawings and the watermark are the palette, faded.
QColor faded(const QColor& c, qreal strength);
} // namespace colour

// One picture being drawn: a painter already scaled to logical pixels, the
// logical size, and the device pixel ratio (1 or 2) used to snap to the grid.
struct Canvas
{
    QPainter& painter;
    QSizeF size;
    qreal ratio;

    // Nearest device-pixel boundary of a logical coordinate.
    qreal snap(qreal v) const;
    QRectF snap(const QRectF& r) const;
    QPointF snap(const QPointF& p) const;
    // Logical width of a line of whole device pixels, at least one.
    qreal hairline(qreal logicalWidth) const;
};

// A filled rectangle whose outline lies exactly inside its snapped edges, so
// that a line of whole device pixels is drawn without grey fringes.
void crispRect(Canvas& c, const QRectF& r, const QBrush& fill, const QColor& line, qreal lineWidth,
               qreal radius = 0);
// A straight line of whole device pixels, centred on pixel rows or columns.
void crispLine(Canvas& c, QPointF a, QPointF b, const QColor& colour, qreal lineWidth,
               Qt::PenStyle style = Qt::SolidLine);
// A soft elliptical shadow under an object standing on the ground.
void groundShadow(Canvas& c, const QRectF& r, int alpha = 40);
// The round, very light tile behind every illustration of the new-document dialog.
void illustrationTile(Canvas& c);

} // namespace pictures
