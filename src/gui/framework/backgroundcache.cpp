#include "framework/backgroundcache.h"

#include <QList>
#include <QPainter>
#include <QPair>
#include <QTransform>

namespace {

// Most recently used first.
QList<QPair<QSize, QPixmap>>& entries()
{
    static QList<QPair<QSize, QPixmap>> list;
    return list;
}

// The picture as the raster engine holds a pixmap of it.
const QImage& picture()
{
    static const QImage image = QPixmap(BackgroundCache::pictureName()).toImage();
    return image;
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

QPixmap BackgroundCache::pixmap(const QSize& window)
{
    QList<QPair<QSize, QPixmap>>& list = entries();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).first == window) {
            list.move(i, 0);
            return list.first().second;
        }
    }
    const QImage part = visiblePart(picture(), window);
    if (part.isNull())
        return QPixmap();
    list.prepend(qMakePair(window, QPixmap::fromImage(part)));
    const QPixmap result = list.first().second;
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
    QList<QPair<QSize, QPixmap>>& list = entries();
    bool spareKept = false;
    for (int i = 0; i < list.size();) {
        const bool unused = list.at(i).second.isDetached();
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
    for (const auto& entry : qAsConst(entries()))
        total += qint64(entry.second.width()) * entry.second.height() * (entry.second.depth() / 8);
    return total;
}

void BackgroundCache::clear()
{
    entries().clear();
}
