#include "strokefont.h"

#include <QPainter>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace pictures {

namespace {

// One letter on a grid ten units high (y grows downwards, 0 is the top of the
// capitals, 10 the base line). The outline is a tiny path language:
//   M x y            move to
//   L x y            line to
//   A cx cy rx ry a s  elliptic arc (centre, radii, start angle, sweep; degrees,
//                    counter-clockwise as on screen; starts a new stroke when
//                    nothing precedes it)
//   E cx cy rx ry    a closed ellipse
struct Glyph
{
    char16_t letter;
    qreal width;
    const char* outline;
};

const Glyph kGlyphs[] = {
    {u'\u0410', 6.4, "M0 10 L3.2 0 L6.4 10 M1.25 6.6 L5.15 6.6"}, // А
    {u'\u0412', 5.4,
     "M0 5.2 L0 10 L3.2 10 A3.2 7.6 2.2 2.4 -90 180 L0 5.2 "
     "M0 5.2 L0 0 L2.9 0 A2.9 2.6 2 2.6 90 -180 L0 5.2"},                                    // В
    {u'\u0413', 5.0, "M5 0 L0 0 L0 10"},                                                     // Г
    {u'\u0415', 5.2, "M5.2 0 L0 0 L0 10 L5.2 10 M0 5 L4.4 5"},                               // Е
    {u'\u0418', 6.0, "M0 0 L0 10 L6 0 L6 10"},                                               // И
    {u'\u041a', 5.7, "M0 0 L0 10 M5.5 0 L0 6.2 M1.9 4.1 L5.8 10"},                           // К
    {u'\u041b', 6.0, "M0 10 L2 0 L6 0 L6 10"},                                               // Л
    {u'\u041c', 7.2, "M0 10 L0 0 L3.6 7.2 L7.2 0 L7.2 10"},                                  // М
    {u'\u041d', 6.0, "M0 0 L0 10 M6 0 L6 10 M0 5 L6 5"},                                     // Н
    {u'\u041e', 7.4, "E3.7 5 3.7 5"},                                                        // О
    {u'\u041f', 6.0, "M0 10 L0 0 L6 0 L6 10"},                                               // П
    {u'\u0420', 5.4, "M0 10 L0 0 L2.8 0 A2.8 2.7 2.6 2.7 90 -180 L0 5.4"},                   // Р
    {u'\u0421', 6.6, "A3.7 5 3.7 5 42 276"},                                                 // С
    {u'\u0422', 6.0, "M0 0 L6 0 M3 0 L3 10"},                                                // Т
    {u'\u0423', 6.0, "M0 0 L3 6.6 M6 0 L1.6 10"},                                            // У
    {u'\u0425', 6.0, "M0 0 L6 10 M6 0 L0 10"},                                               // Х
    {u'\u0429', 8.0, "M0 0 L0 10 L8 10 L8 12.4 M3.7 0 L3.7 10 M7.2 0 L7.2 10"},              // Щ
    {u'\u042e', 8.6, "M0 0 L0 10 M0 5 L2.6 5 E5.6 5 3 5"},                                   // Ю
    {u'\u042f', 5.4, "M5.4 10 L5.4 0 L2.6 0 A2.6 2.7 2.6 2.7 90 180 L5.4 5.4 M3 5.4 L0 10"}, // Я
    {u'K', 5.7, "M0 0 L0 10 M5.5 0 L0 6.2 M1.9 4.1 L5.8 10"},
    {u'L', 5.0, "M0 0 L0 10 L5 10"},
    {u'v', 5.0, "M0 3.6 L2.5 10 L5 3.6"},
    {u'1', 3.2, "M0 2.4 L2.6 0 L2.6 10"},
    {u' ', 2.6, ""},
};

const Glyph& glyph(QChar letter)
{
    for (const Glyph& g : kGlyphs) {
        if (g.letter == letter.unicode())
            return g;
    }
    std::fprintf(stderr, "orx_picturetool: no stroke glyph for U+%04X\n", letter.unicode());
    std::exit(2);
}

// Appends one glyph's strokes, scaled and shifted, to the path.
void appendGlyph(QPainterPath& path, const Glyph& g, qreal x0, qreal scale)
{
    const QStringList tokens = QString::fromLatin1(g.outline).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    auto at = [&](int i) { return tokens.at(i).toDouble(); };
    auto point = [&](qreal x, qreal y) { return QPointF(x0 + x * scale, y * scale); };
    bool open = false;
    for (int i = 0; i < tokens.size();) {
        const QChar command = tokens.at(i).at(0);
        const QString first = tokens.at(i).mid(1);
        QList<qreal> args;
        if (!first.isEmpty())
            args << first.toDouble();
        int j = i + 1;
        while (j < tokens.size() && !tokens.at(j).at(0).isLetter())
            args << at(j++);
        i = j;
        if (command == QLatin1Char('M')) {
            path.moveTo(point(args[0], args[1]));
            open = true;
        } else if (command == QLatin1Char('L')) {
            path.lineTo(point(args[0], args[1]));
        } else if (command == QLatin1Char('A')) {
            const QRectF box(point(args[0] - args[2], args[1] - args[3]),
                             point(args[0] + args[2], args[1] + args[3]));
            if (!open)
                path.arcMoveTo(box, args[4]);
            path.arcTo(box, args[4], args[5]);
            open = true;
        } else if (command == QLatin1Char('E')) {
            path.addEllipse(QRectF(point(args[0] - args[2], args[1] - args[3]),
                                   point(args[0] + args[2], args[1] + args[3])));
            open = false;
        }
    }
}

QPen letterPen(const Lettering& style, const QColor& colour)
{
    return QPen(colour, style.weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

QPainterPath letterPath(const QString& text, const Lettering& style)
{
    const qreal scale = style.capHeight / 10;
    QPainterPath path;
    qreal x = style.weight / 2;
    for (const QChar letter : text) {
        const Glyph& g = glyph(letter);
        appendGlyph(path, g, x, scale);
        x += g.width * scale + style.spacing * style.capHeight;
    }
    return path;
}

qreal letterWidth(const QString& text, const Lettering& style)
{
    const qreal scale = style.capHeight / 10;
    qreal width = style.weight;
    for (const QChar letter : text)
        width += glyph(letter).width * scale + style.spacing * style.capHeight;
    return width - style.spacing * style.capHeight;
}

void drawLetters(QPainter& p, const QPointF& topLeft, const QString& text, const Lettering& style,
                 const QColor& colour)
{
    p.save();
    p.translate(topLeft);
    p.setPen(letterPen(style, colour));
    p.setBrush(Qt::NoBrush);
    p.drawPath(letterPath(text, style));
    p.restore();
}

void drawLettersCentred(QPainter& p, const QPointF& centre, const QString& text, const Lettering& style,
                        const QColor& colour)
{
    const QPointF topLeft(centre.x() - letterWidth(text, style) / 2, centre.y() - style.capHeight / 2);
    drawLetters(p, topLeft, text, style, colour);
}

} // namespace pictures
