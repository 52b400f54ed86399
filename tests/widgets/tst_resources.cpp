// The pictures compiled into the program: every one is used and is a drawn picture of the size it is shown
// at; the dimension drawings carry their dimension lines.

#include "guitestsupport.h"
#include "vocabulary/common.h"

#include <QImage>

namespace {

enum Use { Icon = 1, Printed = 2, Drawing = 4, WithH1 = 8, Dense = 16 };

// Where and how big the program shows each picture. An icon (shown through QIcon) has an "@2x" variant; a
// printed picture has 300 dpi pixels for its place on a 100 dpi page. The small drawings go into a 17 %
// column of an A4 page. ЛМР-2-П has no "Размер Н1" row. The background and the dimension drawings of the
// forms have an "@2x" variant too, for dense screens.
// clang-format off
const struct { const char* path; int width, height, use; common::DeviceType type; } kPictures[] = {
    {":/icons/app.png", 64, 64, Icon, {}},
    {":/icons/new.png", 24, 24, Icon, {}},
    {":/icons/open.png", 24, 24, Icon, {}},
    {":/icons/save.png", 24, 24, Icon, {}},
    {":/icons/exit.png", 24, 24, Icon, {}},
    {":/icons/about.png", 24, 24, Icon, {}},
    {":/icons/orimax.png", 128, 128, Icon, {}},
    {":/icons/orimax-header.png", 230, 60, Printed, {}},
    {":icons/foto_valve2.png", 200, 200, Icon, {}},
    {":icons/foto_regulator.png", 200, 200, Icon, {}},
    {":icons/foto_lmsh.png", 200, 200, Icon, {}},
    {":icons/foto_lmf_m.png", 200, 200, Icon, {}},
    {":icons/calcKv.png", 200, 200, Icon, {}},
    {":icons/copy.png", 64, 64, Icon, {}},
    {":/icons/backlogo.png", 1920, 1200, Dense, {}},
    {":/icons/lmk2.png", 320, 400, Dense | Drawing | WithH1, common::dtLMK2},
    {":/icons/lmk2_small.png", 110, 150, Printed | Drawing | WithH1, common::dtLMK2},
    {":/icons/lmk3.png", 320, 400, Dense | Drawing | WithH1, common::dtLMK3},
    {":/icons/lmk3_small.png", 110, 150, Printed | Drawing | WithH1, common::dtLMK3},
    {":/icons/lmkp.png", 320, 400, Dense | Drawing | WithH1, common::dtLMKP},
    {":/icons/lmkp_small.png", 110, 150, Printed | Drawing | WithH1, common::dtLMKP},
    {":/icons/lmrd.png", 320, 400, Dense | Drawing | WithH1, common::dtLMRD},
    {":/icons/lmrd_small.png", 110, 150, Printed | Drawing | WithH1, common::dtLMRD},
    {":/icons/lmr2_p.png", 320, 400, Dense | Drawing, common::dtLMR2P},
    {":/icons/lmr2_p_small.png", 110, 150, Printed | Drawing, common::dtLMR2P},
    {":/icons/lmr1.png", 320, 400, Dense | Drawing | WithH1, common::dtLMR1},
    {":/icons/lmr1_small.png", 110, 150, Printed | Drawing | WithH1, common::dtLMR1},
};
// clang-format on

// The "@2x" variant of a picture.
QString highDensity(QString path)
{
    return path.insert(path.size() - 4, QLatin1String("@2x"));
}

// Dimension lines are drawn in the maker's blue, one pixel wide and without
// smoothing, so that they can be told from the device's dark outline.
bool isBlue(QRgb p)
{
    return qAlpha(p) == 255 &&
           std::abs(qRed(p) - 0x1d) + std::abs(qGreen(p) - 0x5c) + std::abs(qBlue(p) - 0xaa) <= 24;
}

// The most blue pixels in one column (vertical) or row of the band [from, to).
int longestLine(const QImage& image, bool vertical, int from, int to)
{
    int best = 0;
    for (int i = std::max(from, 0); i < to; ++i) {
        int count = 0;
        for (int j = 0; j < (vertical ? image.height() : image.width()); ++j)
            count += isBlue(vertical ? image.pixel(i, j) : image.pixel(j, i)) ? 1 : 0;
        best = std::max(best, count);
    }
    return best;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    // A row for every picture compiled in; one that nothing shows (index -1)
    // fails, and so does one shown but missing (a null image).
    void pictures_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QSet<QString> compiled;
        for (QDirIterator it(QStringLiteral(":/icons"), QDir::Files); it.hasNext();)
            compiled << it.next();
        for (int i = 0; i < int(std::size(kPictures)); ++i) {
            const auto& p = kPictures[i];
            const QString path = QString::fromLatin1(p.path);
            const QSize size(p.width, p.height);
            QTest::newRow(p.path) << i << path << size * (p.use & Printed ? 3 : 1);
            const QString listed = QString(path).replace(QLatin1String(":icons"), QLatin1String(":/icons"));
            compiled.remove(listed);
            if (p.use & (Icon | Dense)) {
                QTest::newRow(qPrintable(highDensity(path))) << i << highDensity(path) << size * 2;
                compiled.remove(highDensity(listed));
            }
        }
        for (const QString& unused : compiled)
            QTest::newRow(qPrintable(unused)) << -1 << unused << QSize();
    }
    // Not an empty or single-coloured placeholder; Н along the device's whole height on its left, Н1 (from
    // the pipe axis) on its right only where the table has it, and L above or below it.
    void pictures()
    {
        QFETCH(int, index);
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QVERIFY2(index >= 0, "compiled in, shown nowhere");
        const auto& p = kPictures[index];
        const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), size);
        if (p.use & Printed)
            QVERIFY(image.dotsPerMeterX() == 11811 && image.dotsPerMeterY() == 11811);
        QSet<QRgb> colours;
        const int w = image.width(), h = image.height();
        int opaque = 0, darkest = 255, marked = 0, warm = 0;
        QRect device; // the box of the dark, not blue lines
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const QRgb pixel = image.pixel(x, y);
                opaque += qAlpha(pixel) == 255 ? 1 : 0;
                darkest = std::min(darkest, qGray(pixel));
                if (colours.size() < 16)
                    colours.insert(pixel);
                // What a tall form shows of the stretched background: the watermark, in one cool tone (a warm
                // shape cut off by the rows' boxes reads as a drawing fault).
                const bool shown = y <= h * 2 / 5 && x <= w / 5 && x % 4 == 0 && y % 4 == 0;
                marked += shown && qGray(pixel) < 247 ? 1 : 0;
                warm += shown && qRed(pixel) > qBlue(pixel) ? 1 : 0;
                if (qAlpha(pixel) == 255 && qGray(pixel) < 110 && !isBlue(pixel))
                    device |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY2(colours.size() >= 16 && opaque * 10 >= w * h, "not a drawing");
        // The window background: opaque (it becomes the window colour), light
        // enough for black text at more than 15 : 1 everywhere.
        if (path.endsWith(QLatin1String("backlogo.png")))
            QVERIFY(opaque == w * h && darkest >= 235 && marked > 100 && warm == 0);
        if (!(p.use & Drawing))
            return;
        QCOMPARE(common::deviceSizeImageName(p.type, p.use & Printed),
                 QString(path).remove(QLatin1String("@2x")));
        QVERIFY(longestLine(image, true, 0, device.left() - 2) >= h * 2 / 5);
        const int h1 = longestLine(image, true, device.right() + 3, w);
        QVERIFY2(p.use & WithH1 ? h1 >= h / 12 : h1 == 0, qPrintable(QString::number(h1)));
        QVERIFY(std::max(longestLine(image, false, 0, device.top() - 2),
                         longestLine(image, false, device.bottom() + 3, h)) >= w / 4);
    }
};

ORX_GUI_TEST_MAIN(TestResources)
#include "tst_resources.moc"
