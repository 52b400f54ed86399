// orx_picturetool: draws every picture of the program into a folder and writes
// the resource file that compiles them in. It runs during the build, without a
// display:
//
//     orx_picturetool <output folder>
//
// produces <output folder>/icons/<name>.png (and <name>@2x.png where Qt's icons
// can use a high-density variant) and <output folder>/resources.qrc. A picture
// printed in reports is drawn at three times its size and stores its 300 dpi.
//
// The application icon for the desktop's menus and file managers goes apart,
// into <output folder>/hicolor/<size>x<size>/apps/orimax-raschet.png at the
// icon theme's sizes and hicolor/scalable/apps/orimax-raschet.svg; the program
// itself never loads these.

#include "pictures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTextStream>
#include <QVector>
#include <QtEndian>

#include <cstdio>

namespace {

QImage render(const pictures::Picture& picture, int ratio)
{
    QImage image(picture.size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(ratio, ratio);
    pictures::Canvas canvas{painter, QSizeF(picture.size), qreal(ratio)};
    picture.draw(canvas);
    painter.end();
    return image;
}

QByteArray bigEndian32(quint32 v)
{
    const quint32 stored = qToBigEndian(v);
    return QByteArray(reinterpret_cast<const char*>(&stored), sizeof stored);
}

// One chunk of a PNG file: length, type, data and the CRC of type and data.
void appendChunk(QByteArray& file, const char* type, const QByteArray& data)
{
    static const QVector<quint32> table = [] {
        QVector<quint32> t(256);
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[int(n)] = c;
        }
        return t;
    }();
    QByteArray body = QByteArray(type, 4) + data;
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : body)
        crc = table[int((crc ^ quint8(byte)) & 0xFF)] ^ (crc >> 8);
    file.append(bigEndian32(quint32(data.size())));
    file.append(body);
    file.append(bigEndian32(crc ^ 0xFFFFFFFFu));
}

// The picture as an 8-bit RGBA PNG whose rows carry no filter. A filtered row
// is smaller only for photographs; these are flat drawings, which compress as
// well unfiltered, and the program then decodes each picture at about half
// the cost, which the new-document dialog's six pictures show at start-up.
QByteArray encodePng(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGBA8888);
    QByteArray rows;
    const int stride = image.width() * 4;
    rows.reserve((stride + 1) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        rows.append('\0'); // no filter
        rows.append(reinterpret_cast<const char*>(image.constScanLine(y)), stride);
    }
    // qCompress puts the length before the zlib stream; PNG wants the stream alone.
    const QByteArray stream = qCompress(rows, 9).mid(4);

    QByteArray header = bigEndian32(quint32(image.width())) + bigEndian32(quint32(image.height()));
    header.append(char(8)); // bits per sample
    header.append(char(6)); // colour with alpha
    header.append(3, '\0'); // deflate, adaptive filtering, no interlace
    QByteArray density =
        bigEndian32(quint32(image.dotsPerMeterX())) + bigEndian32(quint32(image.dotsPerMeterY()));
    density.append(char(1)); // the unit is the metre

    QByteArray file("\x89PNG\r\n\x1a\n", 8);
    appendChunk(file, "IHDR", header);
    appendChunk(file, "pHYs", density);
    appendChunk(file, "IDAT", stream);
    appendChunk(file, "IEND", QByteArray());
    return file;
}

bool save(const QImage& image, const QString& path)
{
    const QByteArray bytes = encodePng(image);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "orx_picturetool: cannot write %s\n",
                     qPrintable(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

// The sizes file managers and menus ask the icon theme for.
const int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
const QString kDesktopIconName = QStringLiteral("orimax-raschet");

// The application icon drawn anew for every size, so that the smallest keep
// their edges on whole pixels instead of being a blurred large one.
bool drawDesktopIcons(const QDir& out)
{
    for (int side : kDesktopIconSizes) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(side);
        if (!out.mkpath(folder))
            return false;
        const pictures::Picture icon{kDesktopIconName, QSize(side, side), false, pictures::drawAppIcon};
        if (!save(render(icon, 1),
                  out.filePath(folder + QLatin1Char('/') + kDesktopIconName + QStringLiteral(".png"))))
            return false;
    }
    // The same drawing as vectors, for every other size.
    const QString folder = QStringLiteral("hicolor/scalable/apps");
    if (!out.mkpath(folder))
        return false;
    const int side = 64;
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(side, side));
    svg.setViewBox(QRect(0, 0, side, side));
    svg.setTitle(QStringLiteral("Оримакс-расчёт"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    pictures::Canvas canvas{painter, QSizeF(side, side), 1.0};
    pictures::drawAppIcon(canvas);
    if (!painter.end())
        return false;
    // The icon has no letters, and without a screen the tool has no font: the
    // empty font the generator writes on every group goes, and the size is in
    // pixels as icon themes expect, not in millimetres of a 72 dpi page.
    QString text = QString::fromUtf8(buffer.data());
    text.remove(QStringLiteral(R"(font-family="" font-size="-1" )"));
    text.replace(QRegularExpression(QStringLiteral(R"(width="[0-9.]+mm" height="[0-9.]+mm")")),
                 QStringLiteral(R"(width="%1" height="%1")").arg(side));
    const QByteArray bytes = text.toUtf8();
    QSaveFile file(out.filePath(folder + QLatin1Char('/') + kDesktopIconName + QStringLiteral(".svg")));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char** argv)
{
    // Raster drawing into images needs no screen and no fonts (the letters are
    // strokes), so a core application is enough: the build machine may have no
    // display at all.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: orx_picturetool <output folder>\n");
        return 1;
    }
    const QDir out(args.at(1));
    if (!out.mkpath(QStringLiteral("icons"))) {
        std::fprintf(stderr, "orx_picturetool: cannot create %s\n",
                     qPrintable(out.filePath(QStringLiteral("icons"))));
        return 1;
    }

    QStringList files;
    for (const pictures::Picture& picture : pictures::catalogue()) {
        const QString file = QStringLiteral("icons/") + picture.name + QStringLiteral(".png");
        QImage image = render(picture, picture.density);
        if (picture.density > 1) {
            const int dotsPerMeter = qRound(pictures::kPageDpi * picture.density / 0.0254);
            image.setDotsPerMeterX(dotsPerMeter);
            image.setDotsPerMeterY(dotsPerMeter);
        }
        if (!save(image, out.filePath(file)))
            return 1;
        files << file;
        if (picture.highDensity) {
            const QString file2x = QStringLiteral("icons/") + picture.name + QStringLiteral("@2x.png");
            if (!save(render(picture, 2), out.filePath(file2x)))
                return 1;
            files << file2x;
        }
    }

    if (!drawDesktopIcons(out)) {
        std::fprintf(stderr, "orx_picturetool: cannot draw the desktop icons\n");
        return 1;
    }

    // Written every time, even unchanged, so that the resource compiler runs again
    // after the pictures were redrawn.
    QSaveFile qrc(out.filePath(QStringLiteral("resources.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Text)) {
        std::fprintf(stderr, "orx_picturetool: cannot write resources.qrc\n");
        return 1;
    }
    QTextStream stream(&qrc);
    stream << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const QString& file : files)
        stream << "    <file>" << file << "</file>\n";
    stream << "</qresource>\n</RCC>\n";
    stream.flush();
    if (!qrc.commit()) {
        std::fprintf(stderr, "orx_picturetool: cannot write resources.qrc\n");
        return 1;
    }
    return 0;
}
