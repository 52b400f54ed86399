#pragma once

// The background picture of the document windows: the maker's logo scaled to
// 2.5 times the window (keeping its proportions, expanding), drawn from the
// window's top-left corner. Only the window-sized top-left part of that picture
// can ever be seen, so only that part is made and kept, once per window size:
// every tab of the main window has the same size and shares one pixmap, and a
// size that no window shows any more is let go (but one, see keepAsSpare()).

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

class BackgroundCache
{
public:
    // The picture behind every document window.
    static QString pictureName() { return QStringLiteral(":/icons/backlogo.png"); }

    // The size the picture is scaled to for a window: width × 4800 / 1920 by
    // height × 3000 / 1200, in whole pixels.
    static QSize scaledTarget(const QSize& window);
    // The part of `picture`, scaled for `window`, that a window of that size
    // shows: pixel for pixel the top-left corner of the whole scaled picture.
    static QImage visiblePart(const QImage& picture, const QSize& window);

    // The background of a window of that size on a screen of that pixel ratio
    // (null when there is no picture). On a dense screen it is made from the
    // picture drawn at twice the size, pixel for pixel of the screen: the same
    // picture, as sharp as at 1:1, not a 1:1 one blown up.
    static QPixmap pixmap(const QSize& window, qreal ratio = 1);
    // The picture drawn at twice the size, for dense screens.
    static QString densePictureName() { return QStringLiteral(":/icons/backlogo@2x.png"); }
    // Whether there is a picture at all (without one the windows are white).
    static bool hasPicture();
    // A window on screen that takes another size leaves its picture as the
    // spare: the one size that no window shows and is kept all the same. A
    // form that grows and shrinks with its options (a cabinet of three and of
    // nine loops) switches between two heights, and drawing the picture anew
    // would cost milliseconds on every switch; a window being dragged leaves
    // one size behind at most.
    static void keepAsSpare(const QPixmap& left);

    // What the cache holds: how many sizes, and their pixels in bytes.
    static int count();
    static qint64 bytes();
    static void clear();

    // The most window sizes kept; sizes that no window shows are dropped sooner.
    static constexpr int capacity = 4;

private:
    // Lets go of the sizes that no window shows but the spare; every request
    // for a picture does so. A size left by windows going out of sight (the
    // pages of other tabs) lasts until then: the tab shown next may be of it.
    static void dropUnused();
};
