#include "framework/backgroundcache.h"

#include <QList>
#include <QPainter>
#include <QTransform>

namespace {

// Most recently used first; a size in pixels of the screen, with its ratio.
struct Entry
{
    QSize pixels;
    qreal ratio;
    QPixmap pixmap;
};

QList<Entry>& entries()
{
    static QList<Entry> list;
    return list;
}

// The picture as the raster engine holds a pixmap of it; the one drawn at twice
// the size is read only once a dense screen asks for it.
const QImage& picture(bool dense)
{
    static const QImage image = QPixmap(BackgroundCache::pictureName()).toImage();
    if (!dense)
        return image;
    static const QImage denseImage = QPixmap(BackgroundCache::densePictureName()).toImage();
    return denseImage.isNull() ? image : denseImage;
}

} // namespace

QSize BackgroundCache::scaledTarget(const QSize& window)
{
    return QSize(window.width() * 4800 / 1920, window.height() * 3000 / 1200);
}

QImage BackgroundCache::visiblePart(const QImage& picture, const QSize& window)
{
    if (picture.isNull() || window.isEmpty())
        return QImage();
    const QSize scaled = picture.size().scaled(scaledTarget(window), Qt::KeepAspectRatioByExpanding);
    // The same transformation a full scaling applies, painted only where the
    // window can show it: the painter clips, so the pixels that land inside are
    // exactly those of the full picture.
    QImage part(window, picture.format());
    part.fill(0);
    QPainter painter(&part);
    painter.setTransform(QTransform::fromScale(qreal(scaled.width()) / picture.width(),
                                               qreal(scaled.height()) / picture.height()));
    painter.drawImage(QPoint(0, 0), picture);
    painter.end();
    return part;
}

QPixmap BackgroundCache::pixmap(const QSize& window, qreal ratio)
{
    const QSize pixels = window * ratio;
    QList<Entry>& list = entries();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).pixels == pixels && qFuzzyCompare(list.at(i).ratio, ratio)) {
            list.move(i, 0);
            return list.first().pixmap;
        }
    }
    const QImage part = visiblePart(picture(ratio > 1), pixels);
    if (part.isNull())
        return QPixmap();
    QPixmap made = QPixmap::fromImage(part);
    made.setDevicePixelRatio(ratio);
    list.prepend({pixels, ratio, made});
    const QPixmap result = list.first().pixmap;
    dropUnused();
    while (list.size() > capacity)
        list.removeLast();
    return result;
}

void BackgroundCache::dropUnused()
{
    // The cache holding the only reference means no window shows that size. The
    // most recent of those stays: a form that grows and shrinks with its options
    // (a cabinet of three and of nine loops) switches between two heights, and
    // drawing the picture anew on every switch costs tens of milliseconds.
    QList<Entry>& list = entries();
    bool spareKept = false;
    for (int i = 0; i < list.size();) {
        const bool unused = list.at(i).pixmap.isDetached();
        if (unused && spareKept) {
            list.removeAt(i);
            continue;
        }
        spareKept = spareKept || unused;
        ++i;
    }
}

int BackgroundCache::count()
{
    return entries().size();
}

qint64 BackgroundCache::bytes()
{
    qint64 total = 0;
    for (const Entry& entry : qAsConst(entries()))
        total += qint64(entry.pixmap.width()) * entry.pixmap.height() * (entry.pixmap.depth() / 8);
    return total;
}

void BackgroundCache::clear()
{
    entries().clear();
}
