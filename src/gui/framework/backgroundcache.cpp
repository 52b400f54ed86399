#include "framework/backgroundcache.h"

#include <QList>
#include <QPainter>
#include <QTransform>
#include <QtMath>

namespace {

// Most recently used first; a size in pixels of the screen, with its ratio.
struct Entry
{
    QSize pixels;
    qreal ratio;
    QPixmap pixmap;
    bool spare = false; // the one size no window shows that is kept
};

QList<Entry>& entries()
{
    static QList<Entry> list;
    return list;
}

// The picture is stretched to at least two and a half times the window, so a
// window never shows more than the top-left two fifths of it across and down.
// Only that corner is kept (with a few pixels to spare for the rounding of the
// stretch): a sixth of the picture's memory.
const int kKeptSpare = 16;

struct Source
{
    QImage corner; // the top-left part that windows show
    QSize whole;   // the size of the whole picture
    QString name;
};

// An opaque picture is kept without its alpha channel: the same pixels, and
// painted as a plain copy instead of blended.
QImage withoutUnusedAlpha(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return image;
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

// The picture as the raster engine holds a pixmap of it (its seen corner only).
Source load(const QString& name)
{
    QImage image = QPixmap(name).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    // The picture drawn at twice the size ("@2x") is the same picture in more
    // pixels: it is stretched by its pixels to the window's pixels, as the
    // other is, so a dense screen shows the same part of it, only finer.
    image.setDevicePixelRatio(1);
    const qreal seen = 0.4;
    const QSize corner(qMin(image.width(), qCeil(image.width() * seen) + kKeptSpare),
                       qMin(image.height(), qCeil(image.height() * seen) + kKeptSpare));
    return {withoutUnusedAlpha(image.copy(QRect(QPoint(0, 0), corner))), image.size(), name};
}

// The one drawn at twice the size is read only once a dense screen asks for it.
const Source& picture(bool dense)
{
    static const Source normal = load(BackgroundCache::pictureName());
    if (!dense)
        return normal;
    static const Source denseSource = load(BackgroundCache::densePictureName());
    return denseSource.corner.isNull() ? normal : denseSource;
}

// The scaling of the whole picture for the window, drawn from `source`, its
// top-left part: the painter clips, so the pixels that land inside are exactly
// those of the full picture.
QImage drawVisible(const QImage& source, const QSize& whole, const QSize& window)
{
    const QSize scaled = whole.scaled(BackgroundCache::scaledTarget(window), Qt::KeepAspectRatioByExpanding);
    QImage part(window, source.format());
    part.fill(0);
    QPainter painter(&part);
    painter.setTransform(QTransform::fromScale(qreal(scaled.width()) / whole.width(),
                                               qreal(scaled.height()) / whole.height()));
    // By its pixels, whatever ratio the image carries.
    painter.drawImage(QRect(QPoint(0, 0), source.size()), source);
    painter.end();
    return part;
}

// Whether the corner kept covers all that the window shows: a window of a few
// pixels stretches the picture less than two and a half times.
bool covers(const Source& source, const QSize& window)
{
    const QSize scaled =
        source.whole.scaled(BackgroundCache::scaledTarget(window), Qt::KeepAspectRatioByExpanding);
    if (scaled.isEmpty())
        return false;
    const qreal across = qreal(window.width()) * source.whole.width() / scaled.width() + 2;
    const qreal down = qreal(window.height()) * source.whole.height() / scaled.height() + 2;
    return across <= source.corner.width() && down <= source.corner.height();
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
    return drawVisible(picture, picture.size(), window);
}

bool BackgroundCache::hasPicture()
{
    return !picture(false).corner.isNull();
}

QPixmap BackgroundCache::pixmap(const QSize& window, qreal ratio)
{
    const QSize pixels = window * ratio;
    QList<Entry>& list = entries();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).pixels == pixels && qFuzzyCompare(list.at(i).ratio, ratio)) {
            list.move(i, 0);
            list.first().spare = false;
            const QPixmap found = list.first().pixmap;
            dropUnused();
            return found;
        }
    }
    const Source& source = picture(ratio > 1);
    if (source.corner.isNull() || pixels.isEmpty())
        return QPixmap();
    QImage part = covers(source, pixels)
                      ? drawVisible(source.corner, source.whole, pixels)
                      : withoutUnusedAlpha(visiblePart(
                            QPixmap(source.name).toImage().convertToFormat(source.corner.format()), pixels));
    // Handed over, not copied: a window-sized picture is megabytes.
    QPixmap made = QPixmap::fromImage(std::move(part));
    made.setDevicePixelRatio(ratio);
    list.prepend({pixels, ratio, made});
    const QPixmap result = list.first().pixmap;
    dropUnused();
    while (list.size() > capacity)
        list.removeLast();
    return result;
}

void BackgroundCache::keepAsSpare(const QPixmap& left)
{
    for (Entry& entry : entries())
        entry.spare = entry.pixmap.cacheKey() == left.cacheKey();
}

void BackgroundCache::dropUnused()
{
    // The cache holding the only reference means no window shows that size.
    QList<Entry>& list = entries();
    for (int i = 0; i < list.size();) {
        if (list.at(i).pixmap.isDetached() && !list.at(i).spare)
            list.removeAt(i);
        else
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
