// orx_picturetool: draws every picture of the program into a folder and writes
// the resource file that compiles them in. It runs during the build, without a
// display:
//
//     orx_picturetool <output folder>
//
// produces <output folder>/icons/<name>.png (and <name>@2x.png where Qt's icons
// can use a high-density variant) and <output folder>/resources.qrc. A picture
// printed in reports is drawn at three times its size and stores its 300 dpi.

#include "pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QTextStream>

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

bool save(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "orx_picturetool: cannot write %s\n",
                     qPrintable(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
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
