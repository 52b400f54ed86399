// The maker's mark and everything built from it: the application icon, the logo
// of the about box, the report header and the window background.

#include "pictures.h"
#include "strokefont.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace pictures {

namespace {

const QString kMaker = QStringLiteral("ОРИМАКС");
const QString kMakerSuffix = QStringLiteral("ТЕХ");
const QString kTagline = QStringLiteral("АРМАТУРА И АВТОМАТИКА");

// The control-valve sign of process diagrams: a bow tie on the pipe line, a stem
// and the dome of the drive. It is the heart of the maker's mark. Drawn in a
// unit square; the colours are the caller's.
struct ValveSign
{
    QPainterPath pipe, bowTie, stem, dome;
};

ValveSign valveSign(const QRectF& r)
{
    auto at = [&](qreal x, qreal y) { return QPointF(r.left() + x * r.width(), r.top() + y * r.height()); };
    ValveSign s;
    s.pipe.addRect(QRectF(at(0.08, 0.625), at(0.92, 0.685)));
    s.bowTie.moveTo(at(0.19, 0.455));
    s.bowTie.lineTo(at(0.5, 0.655));
    s.bowTie.lineTo(at(0.19, 0.855));
    s.bowTie.closeSubpath();
    s.bowTie.moveTo(at(0.81, 0.455));
    s.bowTie.lineTo(at(0.5, 0.655));
    s.bowTie.lineTo(at(0.81, 0.855));
    s.bowTie.closeSubpath();
    s.stem.addRect(QRectF(at(0.47, 0.34), at(0.53, 0.655)));
    const QRectF domeBox(at(0.29, 0.14), at(0.71, 0.56));
    s.dome.moveTo(at(0.29, 0.35));
    s.dome.arcTo(domeBox, 180, -180);
    s.dome.closeSubpath();
    return s;
}

// The mark on its rounded blue square.
void drawEmblem(QPainter& p, const QRectF& r)
{
    const qreal radius = r.width() * 0.22;
    QLinearGradient blue(r.topLeft(), r.bottomLeft());
    blue.setColorAt(0, colour::brandLight);
    blue.setColorAt(0.45, colour::brand);
    blue.setColorAt(1, colour::brandDark);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRoundedRect(r, radius, radius);
    const ValveSign s = valveSign(r);
    p.setBrush(Qt::white);
    p.drawPath(s.pipe);
    p.drawPath(s.stem);
    p.drawPath(s.bowTie);
    QLinearGradient warm(r.topLeft(), QPointF(r.left(), r.top() + r.height() * 0.36));
    warm.setColorAt(0, colour::accentLight);
    warm.setColorAt(1, colour::accent);
    p.setBrush(warm);
    p.drawPath(s.dome);
    p.restore();
}

// "ОРИМАКСТЕХ": the name in blue, its last syllable in the warm accent.
qreal wordmarkWidth(const Lettering& style)
{
    return letterWidth(kMaker + kMakerSuffix, style);
}

void drawWordmark(QPainter& p, const QPointF& topLeft, const Lettering& style)
{
    drawLetters(p, topLeft, kMaker, style, colour::brand);
    const qreal shift = letterWidth(kMaker, style) - style.weight + style.spacing * style.capHeight;
    drawLetters(p, topLeft + QPointF(shift, 0), kMakerSuffix, style, colour::accent);
}

} // namespace

void drawAppIcon(Canvas& c)
{
    const qreal inset = c.size.width() / 32;
    drawEmblem(c.painter, QRectF(QPointF(inset, inset), c.size - QSizeF(2 * inset, 2 * inset)));
}

void drawMakerLogo(Canvas& c)
{
    const qreal w = c.size.width();
    const qreal side = w * 0.64;
    drawEmblem(c.painter, QRectF((w - side) / 2, 4, side, side));
    Lettering style{w * 0.094, w * 0.017, 0.24};
    const qreal width = wordmarkWidth(style);
    drawWordmark(c.painter, QPointF((w - width) / 2, side + 4 + w * 0.1), style);
}

void drawReportHeaderLogo(Canvas& c)
{
    const qreal h = c.size.height();
    const qreal side = h - 8;
    drawEmblem(c.painter, QRectF(2, 4, side, side));
    const qreal x = side + 12;
    Lettering name{h * 0.31, h * 0.05, 0.22};
    drawWordmark(c.painter, QPointF(x, 9), name);
    const qreal nameWidth = wordmarkWidth(name);
    crispRect(c, QRectF(x, 9 + name.capHeight + 6, nameWidth, 2), colour::accent, Qt::transparent, 0);
    Lettering tagline{h * 0.115, 1.1, 0.3};
    const qreal taglineWidth = letterWidth(kTagline, tagline);
    Lettering fitted = tagline;
    fitted.spacing += (nameWidth - taglineWidth) / (kTagline.size() - 1) / tagline.capHeight;
    drawLetters(c.painter, QPointF(x, 9 + name.capHeight + 14), kTagline, fitted, colour::ink);
}

namespace {
// The maker's blue at the given strength, laid over what is already drawn.
QColor veil(qreal strength)
{
    QColor blue = colour::brand;
    blue.setAlphaF(strength);
    return blue;
}
} // namespace

// The window background is stretched to two and a half times the window and
// drawn from the top-left corner, so only its top-left part is ever seen. It is
// a watermark: every colour stays within a few steps of white, and the shapes
// are broad, so that stretching without smoothing shows no steps and no label
// or number over it loses contrast.
//
// Whatever the window, the mark lies behind the input rows (the top-left fifth
// of the picture is the input column of every form), so it is one cool tone laid
// thinly over the wash: a warm or two-toned shape there, cut off by the rows'
// boxes, reads as a drawing fault rather than as the maker's sign.
void drawBackground(Canvas& c)
{
    QPainter& p = c.painter;
    const QSizeF size = c.size;
    QLinearGradient wash(QPointF(0, 0), QPointF(size.width() * 0.45, size.height() * 0.45));
    wash.setColorAt(0, colour::faded(colour::brand, 0.05));
    wash.setColorAt(1, colour::paper);
    p.fillRect(QRectF(QPointF(0, 0), size), wash);

    // The mark stays within the top-left fifth of the width: a tall form stretches
    // the picture most and shows the least of it.
    const qreal side = size.height() * 0.3;
    const ValveSign s = valveSign(QRectF(size.width() * 0.012, size.height() * 0.02, side, side));
    p.setPen(Qt::NoPen);
    // The pipe line of the mark runs on across the whole picture.
    const QRectF pipe = s.pipe.boundingRect();
    p.setBrush(veil(0.03));
    p.drawRect(QRectF(0, pipe.top(), size.width(), pipe.height()));
    // One outline for the bow tie, the stem and the dome: where they overlap the
    // veil is not laid twice.
    QPainterPath sign = s.bowTie;
    sign.addPath(s.stem);
    sign.addPath(s.dome);
    p.setBrush(veil(0.04));
    p.drawPath(sign.simplified());
}

} // namespace pictures
