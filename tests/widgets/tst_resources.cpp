// The pictures compiled into the program: every path the program uses resolves,
// in the spelling the code uses, to a drawn picture of the size it is shown at.

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
};

const UsedPicture kUsedPictures[] = {
    // Window icon of every top-level window.
    {":/icons/app.png", {64, 64}, true},
    // Menu and toolbar actions: the style's 24-pixel toolbar icons.
    {":/icons/new.png", {24, 24}, true},
    {":/icons/open.png", {24, 24}, true},
    {":/icons/save.png", {24, 24}, true},
    {":/icons/exit.png", {24, 24}, true},
    {":/icons/about.png", {24, 24}, true},
    // The about box and the report header.
    {":/icons/orimax.png", {128, 128}, false},
    {":/icons/orimax-header.png", {230, 60}, false},
    // The new-document dialog's buttons, icon size 200 × 200; written without
    // the slash after the colon.
    {":icons/foto_valve2.png", {200, 200}, true},
    {":icons/foto_regulator.png", {200, 200}, true},
    {":icons/foto_lmsh.png", {200, 200}, true},
    {":icons/foto_lmf_m.png", {200, 200}, true},
    {":icons/calcKv.png", {200, 200}, true},
    // The copy button, 64 × 64.
    {":icons/copy.png", {64, 64}, true},
    // The window background, stretched to the window.
    {":/icons/backlogo.png", {1920, 1200}, false},
};

const QSize kLargeDrawing(320, 400);
// Printed at its natural size in a 17 % column of an A4 page at 100 dpi.
const QSize kSmallDrawing(110, 150);

// The other spelling of a resource path: ":/icons/x" and ":icons/x".
QString otherSpelling(const QString& path)
{
    return path.startsWith(QLatin1String(":/")) ? QLatin1Char(':') + path.mid(2)
                                                : QLatin1String(":/") + path.mid(1);
}

QString highDensityPath(const QString& path)
{
    QString p = path;
    return p.insert(p.size() - 4, QLatin1String("@2x"));
}

// A drawn picture, not an empty or single-coloured placeholder.
void verifyDrawn(const QImage& image)
{
    QSet<QRgb> colours;
    int opaque = 0;
    for (int y = 0; y < image.height(); y += 2) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); x += 2) {
            if (qAlpha(line[x]) > 0)
                ++opaque;
            if (colours.size() < 64)
                colours.insert(line[x]);
        }
    }
    QVERIFY2(colours.size() >= 16, qPrintable(QStringLiteral("%1 colours").arg(colours.size())));
    const int samples = ((image.width() + 1) / 2) * ((image.height() + 1) / 2);
    QVERIFY2(opaque * 10 >= samples, qPrintable(QStringLiteral("%1 of %2 drawn").arg(opaque).arg(samples)));
}

QImage load(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

// Dimension lines and their letters are drawn in the maker's blue, one pixel
// wide and without smoothing, so that they can be told from the device's outline.
bool isDimensionBlue(QRgb pixel)
{
    const QColor blue(0x1d, 0x5c, 0xaa);
    return qAlpha(pixel) == 255 && std::abs(qRed(pixel) - blue.red()) +
                                           std::abs(qGreen(pixel) - blue.green()) +
                                           std::abs(qBlue(pixel) - blue.blue()) <=
                                       24;
}

// The device's own lines: dark, and not the dimension blue.
bool isDeviceInk(QRgb pixel)
{
    return qAlpha(pixel) == 255 && qGray(pixel) < 110 && !isDimensionBlue(pixel);
}

// The box around everything drawn in the device's ink.
QRect deviceBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isDeviceInk(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// The most dimension-blue pixels in one column (vertical) or row (horizontal)
// of a band of the picture.
int longestDimensionLine(const QImage& image, Qt::Orientation orientation, int from, int to)
{
    int best = 0;
    for (int i = from; i < to; ++i) {
        int count = 0;
        const int length = orientation == Qt::Vertical ? image.height() : image.width();
        for (int j = 0; j < length; ++j)
            count +=
                isDimensionBlue(orientation == Qt::Vertical ? image.pixel(i, j) : image.pixel(j, i)) ? 1 : 0;
        best = std::max(best, count);
    }
    return best;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void usedPictures_data();
    void usedPictures();
    void highDensityVariants_data();
    void highDensityVariants();
    void dimensionDrawings_data();
    void dimensionDrawings();
    void backgroundLeavesTextReadable();
    void nothingUnusedIsCompiledIn();
};

void TestResources::usedPictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const UsedPicture& picture : kUsedPictures) {
        const QString path = QString::fromLatin1(picture.path);
        QTest::newRow(picture.path) << path << picture.size;
        QTest::newRow(qPrintable(otherSpelling(path))) << otherSpelling(path) << picture.size;
    }
}

void TestResources::usedPictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QVERIFY(QFile::exists(path));
    const QImage image = load(path);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    verifyDrawn(image);
    // Both spellings address the same resource.
    QFile one(path);
    QFile other(otherSpelling(path));
    QVERIFY(one.open(QIODevice::ReadOnly));
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(one.readAll(), other.readAll());
}

void TestResources::highDensityVariants_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const UsedPicture& picture : kUsedPictures) {
        if (picture.highDensity)
            QTest::newRow(picture.path) << QString::fromLatin1(picture.path) << picture.size;
    }
}

void TestResources::highDensityVariants()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    // QIcon looks for the variant next to the path exactly as the code spells it.
    QImageReader reader(highDensityPath(path));
    QImage image;
    QVERIFY2(reader.read(&image), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size * 2);
    // The name alone tells Qt to draw it at the logical size of the ordinary picture.
    QCOMPARE(image.devicePixelRatio(), 2.0);
    verifyDrawn(image.convertToFormat(QImage::Format_ARGB32));
}

void TestResources::dimensionDrawings_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("small");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("hasH1");
    // The rows of each series' dimension table: ЛМР-2-П has no "Размер Н1".
    const struct
    {
        common::DeviceType type;
        const char* stem;
        bool hasH1;
    } series[] = {
        {common::dtLMK2, "lmk2", true}, {common::dtLMK3, "lmk3", true},     {common::dtLMKP, "lmkp", true},
        {common::dtLMRD, "lmrd", true}, {common::dtLMR2P, "lmr2_p", false}, {common::dtLMR1, "lmr1", true},
    };
    for (const auto& s : series) {
        const QString stem = QString::fromLatin1(s.stem);
        QTest::newRow(s.stem) << int(s.type) << false << QStringLiteral(":/icons/%1.png").arg(stem)
                              << kLargeDrawing << s.hasH1;
        QTest::newRow(qPrintable(stem + QStringLiteral("_small")))
            << int(s.type) << true << QStringLiteral(":/icons/%1_small.png").arg(stem) << kSmallDrawing
            << s.hasH1;
    }
}

void TestResources::dimensionDrawings()
{
    QFETCH(int, type);
    QFETCH(bool, small);
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(bool, hasH1);
    // The forms and reports ask the vocabulary for the path.
    QCOMPARE(common::deviceSizeImageName(common::DeviceType(type), small), path);
    const QImage image = load(path);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    verifyDrawn(image);
    const QImage other = load(otherSpelling(path));
    QCOMPARE(other, image);

    // Beside the device: Н along its whole height on the left, Н1 (from the pipe
    // axis) on the right only where the table has it, and L above or below it.
    const QRect device = deviceBox(image);
    QVERIFY(device.isValid());
    const int w = image.width();
    const int h = image.height();
    const int heightLine = longestDimensionLine(image, Qt::Vertical, 0, device.left() - 2);
    QVERIFY2(heightLine >= h * 2 / 5, qPrintable(QStringLiteral("Н: %1 px").arg(heightLine)));
    const int h1Line = longestDimensionLine(image, Qt::Vertical, device.right() + 3, w);
    if (hasH1)
        QVERIFY2(h1Line >= h / 12, qPrintable(QStringLiteral("Н1: %1 px").arg(h1Line)));
    else
        QVERIFY2(h1Line == 0, qPrintable(QStringLiteral("Н1: %1 px").arg(h1Line)));
    const int lengthLine = std::max(longestDimensionLine(image, Qt::Horizontal, 0, device.top() - 2),
                                    longestDimensionLine(image, Qt::Horizontal, device.bottom() + 3, h));
    QVERIFY2(lengthLine >= w / 4, qPrintable(QStringLiteral("L: %1 px").arg(lengthLine)));
}

void TestResources::backgroundLeavesTextReadable()
{
    const QImage image = load(QStringLiteral(":/icons/backlogo.png"));
    QVERIFY(!image.isNull());
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Fully opaque: it becomes the window colour and must cover what lies behind.
            QCOMPARE(qAlpha(line[x]), 255);
            darkest = std::min(darkest, qGray(line[x]));
        }
    }
    // Black text keeps a contrast of more than 15 : 1 everywhere.
    QVERIFY2(darkest >= 235, qPrintable(QString::number(darkest)));

    // Stretched to 2.5 times the window from the top-left corner, a window shows at
    // most the top-left 40 % of the picture, and a tall form less than a fifth of
    // its width: the watermark must be there.
    int marked = 0;
    const QRect seen(0, 0, image.width() / 5, image.height() * 2 / 5);
    for (int y = seen.top(); y <= seen.bottom(); y += 4) {
        for (int x = seen.left(); x <= seen.right(); x += 4)
            marked += qGray(image.pixel(x, y)) < 247 ? 1 : 0;
    }
    QVERIFY2(marked > 100, qPrintable(QString::number(marked)));
}

void TestResources::nothingUnusedIsCompiledIn()
{
    QSet<QString> used;
    for (const UsedPicture& picture : kUsedPictures) {
        const QString path = QString::fromLatin1(picture.path);
        const QString canonical = path.startsWith(QLatin1String(":/")) ? path : otherSpelling(path);
        used << canonical;
        if (picture.highDensity)
            used << highDensityPath(canonical);
    }
    for (const char* stem : {"lmk2", "lmk3", "lmkp", "lmrd", "lmr2_p", "lmr1"}) {
        used << QStringLiteral(":/icons/%1.png").arg(QLatin1String(stem));
        used << QStringLiteral(":/icons/%1_small.png").arg(QLatin1String(stem));
    }
    QSet<QString> compiled;
    QDirIterator it(QStringLiteral(":/icons"), QDir::Files);
    while (it.hasNext())
        compiled << it.next();
    QCOMPARE(compiled.size(), used.size());
    QCOMPARE(compiled, used);
}

ORX_GUI_TEST_MAIN(TestResources)
#include "tst_resources.moc"
