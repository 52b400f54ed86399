// The pictures compiled into the program: every path the program uses resolves,
// in both spellings of a resource path, to a drawn picture of the size it is
// shown at.

#include "guitestsupport.h"
#include "vocabulary/common.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>

namespace {

// Where and how big the program shows each picture.
struct UsedPicture
{
    const char* path; // as the program writes it
    QSize size;
    bool highDensity; // shown through QIcon, which takes an "@2x" variant
    bool printed;     // printed in reports: 300 dpi pixels for its place on a 100 dpi page
};

// A printed picture has three pixels per pixel of the page and says so.
const int kPrintDensity = 3;
const int kPrintDotsPerMeter = 11811; // 300 dpi

const UsedPicture kUsedPictures[] = {
    // Window icon; menu and toolbar actions at the style's 24 pixels.
    {":/icons/app.png", {64, 64}, true, false},
    {":/icons/new.png", {24, 24}, true, false},
    {":/icons/open.png", {24, 24}, true, false},
    {":/icons/save.png", {24, 24}, true, false},
    {":/icons/exit.png", {24, 24}, true, false},
    {":/icons/about.png", {24, 24}, true, false},
    // The about box and the report header.
    {":/icons/orimax.png", {128, 128}, false, false},
    {":/icons/orimax-header.png", {230, 60}, false, true},
    // The new-document dialog's buttons and the copy button, written without
    // the slash after the colon.
    {":icons/foto_valve2.png", {200, 200}, true, false},
    {":icons/foto_regulator.png", {200, 200}, true, false},
    {":icons/foto_lmsh.png", {200, 200}, true, false},
    {":icons/foto_lmf_m.png", {200, 200}, true, false},
    {":icons/calcKv.png", {200, 200}, true, false},
    {":icons/copy.png", {64, 64}, true, false},
    // The window background, stretched to the window.
    {":/icons/backlogo.png", {1920, 1200}, false, false},
};

// Series with a dimension drawing; ЛМР-2-П has no "Размер Н1" row.
const struct
{
    common::DeviceType type;
    const char* stem;
    bool hasH1;
} kDrawings[] = {
    {common::dtLMK2, "lmk2", true}, {common::dtLMK3, "lmk3", true},     {common::dtLMKP, "lmkp", true},
    {common::dtLMRD, "lmrd", true}, {common::dtLMR2P, "lmr2_p", false}, {common::dtLMR1, "lmr1", true},
};

// The other spelling of a resource path: ":/icons/x" and ":icons/x".
QString otherSpelling(const QString& path)
{
    return path.startsWith(QLatin1String(":/")) ? QLatin1Char(':') + path.mid(2)
                                                : QLatin1String(":/") + path.mid(1);
}

QString highDensityPath(QString path)
{
    return path.insert(path.size() - 4, QLatin1String("@2x"));
}

// Loads the picture in both spellings and checks it is one drawn picture, not
// an empty or single-coloured placeholder, of the size (at 300 dpi if printed).
QImage verifiedPicture(const QString& path, const QSize& size, bool printed = false)
{
    const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    const bool resolution = !printed || (image.dotsPerMeterX() == kPrintDotsPerMeter &&
                                         image.dotsPerMeterY() == kPrintDotsPerMeter);
    if (image.size() != size * (printed ? kPrintDensity : 1) || !resolution ||
        QImage(otherSpelling(path)).convertToFormat(QImage::Format_ARGB32) != image) {
        QTest::qFail(qPrintable(path + QLatin1String(": missing, wrong size or spelt apart")), __FILE__,
                     __LINE__);
        return QImage();
    }
    QSet<QRgb> colours;
    int opaque = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            opaque += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
            if (colours.size() < 16)
                colours.insert(image.pixel(x, y));
        }
    }
    const int samples = ((image.width() + 1) / 2) * ((image.height() + 1) / 2);
    if (colours.size() < 16 || opaque * 10 < samples)
        QTest::qFail(qPrintable(path + QLatin1String(": not a drawn picture")), __FILE__, __LINE__);
    return image;
}

// Dimension lines and their letters are drawn in the maker's blue, one pixel
// wide and without smoothing, so that they can be told from the device's outline.
bool isDimensionBlue(QRgb pixel)
{
    return qAlpha(pixel) == 255 &&
           std::abs(qRed(pixel) - 0x1d) + std::abs(qGreen(pixel) - 0x5c) + std::abs(qBlue(pixel) - 0xaa) <=
               24;
}

// The box around the device's own lines: dark, and not the dimension blue.
QRect deviceBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255 && qGray(pixel) < 110 && !isDimensionBlue(pixel))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// The most dimension-blue pixels in one column (vertical) or row (horizontal)
// of a band of the picture.
int longestDimensionLine(const QImage& image, Qt::Orientation orientation, int from, int to)
{
    const bool vertical = orientation == Qt::Vertical;
    int best = 0;
    for (int i = from; i < to; ++i) {
        int count = 0;
        for (int j = 0; j < (vertical ? image.height() : image.width()); ++j)
            count += isDimensionBlue(vertical ? image.pixel(i, j) : image.pixel(j, i)) ? 1 : 0;
        best = std::max(best, count);
    }
    return best;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void usedPictures_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kUsedPictures)); ++i)
            QTest::newRow(kUsedPictures[i].path) << i;
    }

    // An icon's "@2x" variant lies next to the path exactly as the code spells
    // it; the name alone tells Qt to draw it at the ordinary picture's size.
    void usedPictures()
    {
        QFETCH(int, index);
        const UsedPicture& picture = kUsedPictures[index];
        const QString path = QString::fromLatin1(picture.path);
        verifiedPicture(path, picture.size, picture.printed);
        if (picture.highDensity) {
            QCOMPARE(QImageReader(highDensityPath(path)).read().devicePixelRatio(), 2.0);
            verifiedPicture(highDensityPath(path), picture.size * 2);
        }
    }

    void dimensionDrawings_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("small");
        for (int i = 0; i < int(std::size(kDrawings)); ++i) {
            QTest::addRow("%s", kDrawings[i].stem) << i << false;
            QTest::addRow("%s_small", kDrawings[i].stem) << i << true;
        }
    }

    // Beside the device: Н along its whole height on the left, Н1 (from the pipe
    // axis) on the right only where the table has it, and L above or below it.
    // The small one is printed in a 17 % column of an A4 page laid out at
    // 100 dpi, at 300 dpi; the lines are measured at that resolution.
    void dimensionDrawings()
    {
        QFETCH(int, index);
        QFETCH(bool, small);
        const auto& drawing = kDrawings[index];
        const QString path =
            QStringLiteral(":/icons/%1%2.png")
                .arg(QLatin1String(drawing.stem), small ? QLatin1String("_small") : QLatin1String());
        QCOMPARE(common::deviceSizeImageName(drawing.type, small), path);
        const QImage image = verifiedPicture(path, small ? QSize(110, 150) : QSize(320, 400), small);
        QVERIFY(!image.isNull());

        const QRect device = deviceBox(image);
        QVERIFY(device.isValid());
        const int w = image.width();
        const int h = image.height();
        const int heightLine = longestDimensionLine(image, Qt::Vertical, 0, device.left() - 2);
        QVERIFY2(heightLine >= h * 2 / 5, qPrintable(QStringLiteral("Н: %1 px").arg(heightLine)));
        const int h1Line = longestDimensionLine(image, Qt::Vertical, device.right() + 3, w);
        QVERIFY2(drawing.hasH1 ? h1Line >= h / 12 : h1Line == 0,
                 qPrintable(QStringLiteral("Н1: %1 px").arg(h1Line)));
        const int lengthLine = std::max(longestDimensionLine(image, Qt::Horizontal, 0, device.top() - 2),
                                        longestDimensionLine(image, Qt::Horizontal, device.bottom() + 3, h));
        QVERIFY2(lengthLine >= w / 4, qPrintable(QStringLiteral("L: %1 px").arg(lengthLine)));
    }

    void backgroundLeavesTextReadable()
    {
        const QImage image =
            QImage(QStringLiteral(":/icons/backlogo.png")).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!image.isNull());
        // Fully opaque (it becomes the window colour and covers what lies
        // behind), light enough for black text at more than 15 : 1 everywhere.
        // Stretched to 2.5 times the window, a tall form shows less than the
        // top-left fifth of its width: the watermark must be there, in one cool
        // tone (a warm shape cut off by the rows' boxes reads as a drawing fault).
        int darkest = 255, opaque = 0, marked = 0, warm = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                opaque += qAlpha(pixel) == 255 ? 1 : 0;
                darkest = std::min(darkest, qGray(pixel));
                const bool shown =
                    y <= image.height() * 2 / 5 && x <= image.width() / 5 && x % 4 == 0 && y % 4 == 0;
                marked += shown && qGray(pixel) < 247 ? 1 : 0;
                warm += shown && qRed(pixel) > qBlue(pixel) ? 1 : 0;
            }
        }
        QCOMPARE(opaque, image.width() * image.height());
        QVERIFY2(darkest >= 235 && marked > 100 && warm == 0,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(darkest).arg(marked).arg(warm)));
    }

    void nothingUnusedIsCompiledIn()
    {
        QSet<QString> used;
        for (const UsedPicture& picture : kUsedPictures) {
            QString path = QString::fromLatin1(picture.path);
            if (!path.startsWith(QLatin1String(":/")))
                path = otherSpelling(path);
            used << path;
            if (picture.highDensity)
                used << highDensityPath(path);
        }
        for (const auto& drawing : kDrawings) {
            used << QStringLiteral(":/icons/%1.png").arg(QLatin1String(drawing.stem));
            used << QStringLiteral(":/icons/%1_small.png").arg(QLatin1String(drawing.stem));
        }
        QSet<QString> compiled;
        QDirIterator it(QStringLiteral(":/icons"), QDir::Files);
        while (it.hasNext())
            compiled << it.next();
        QCOMPARE(compiled, used);
    }
};

ORX_GUI_TEST_MAIN(TestResources)
#include "tst_resources.moc"
