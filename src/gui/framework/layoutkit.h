#pragma once

// What the input and the results columns of the document window share: how
// their labels are dressed and where the next row of a grid begins.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPalette>
#include <QString>
#include <QTextDocument>
#include <QWidget>

#include <cmath>

namespace framework {

inline void setTextColour(QWidget* widget, const QColor& colour)
{
    if (!colour.isValid())
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// The window's font, larger or smaller by `delta` points.
inline QFont resizedFont(const QFont& base, int delta)
{
    QFont font = base;
    if (base.pointSizeF() > 0)
        font.setPointSizeF(base.pointSizeF() + delta);
    else
        font.setPixelSize(base.pixelSize() + delta);
    return font;
}

// The first row of a grid with nothing in it (an empty grid still counts one row).
inline int firstFreeRow(QGridLayout* grid)
{
    return grid->count() == 0 ? 0 : grid->rowCount();
}

// A bold header centred in a new row across `columnSpan` columns: large (the
// window's font + 2 pt) or small. Its row is two text lines high, one for an
// empty header (a blank separating row).
inline QLabel* sectionHeader(QGridLayout* grid, const QFont& windowFont, const QString& text, int columnSpan,
                             bool small, const QColor& colour)
{
    auto* label = new QLabel(text);
    QFont font = resizedFont(windowFont, small ? 0 : 2);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    setTextColour(label, colour);

    const int row = firstFreeRow(grid);
    grid->addWidget(label, row, 0, 1, columnSpan);
    const int line = QFontMetrics(font).height();
    grid->setRowMinimumHeight(row, text.isEmpty() ? line : 2 * line);
    return label;
}

// The width a rich text needs to stand on its lines in the font, px, with a
// pixel or two for the rounding of a label's own layout.
inline int richTextWidth(const QFont& font, const QString& html)
{
    QTextDocument lines;
    lines.setDefaultFont(font);
    lines.setDocumentMargin(0);
    lines.setHtml(html);
    return int(std::ceil(lines.idealWidth())) + 2;
}

// A row caption "Перед клапаном|P1": the name before the bar and the physical
// symbol after it (empty when the caption has no symbol).
struct Caption
{
    QString name;
    QString symbol;
};

inline Caption splitCaption(const QString& caption)
{
    const int bar = caption.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return {caption, QString()};
    return {caption.left(bar), caption.mid(bar + 1)};
}

} // namespace framework
