#pragma once

// Lettering drawn as strokes, the way drafting letters are drawn: the pictures
// look the same on every build machine, whatever fonts it has installed, and the
// few letters they need stay crisp from dimension labels to the wordmark.

#include <QColor>
#include <QPainterPath>
#include <QString>

class QPainter;

namespace pictures {

// How a line of letters is drawn: cap height and stroke weight in logical pixels,
// letter spacing as a fraction of the cap height.
struct Lettering
{
    qreal capHeight = 10;
    qreal weight = 1.2;
    qreal spacing = 0.24;
};

// The centre lines of the text, the first letter's top-left corner at the origin.
// A character without a glyph is an error of the picture's code: the tool stops.
QPainterPath letterPath(const QString& text, const Lettering& style);
// Width of the drawn text, stroke included.
qreal letterWidth(const QString& text, const Lettering& style);
// Draws the text with its visual centre at the given point.
void drawLettersCentred(QPainter& p, const QPointF& centre, const QString& text, const Lettering& style,
                        const QColor& colour);
// Draws the text with the top-left corner of its capitals at the given point.
void drawLetters(QPainter& p, const QPointF& topLeft, const QString& text, const Lettering& style,
                 const QColor& colour);

} // namespace pictures
