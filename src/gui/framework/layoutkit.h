#pragma once

// What the input and the results columns of the document window share: how
// their labels are dressed and where the next row of a grid begins.

#include <QColor>
#include <QFont>
#include <QGridLayout>
#include <QPalette>
#include <QWidget>

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

} // namespace framework
