#include "devices.h"
#include "dimensions.h"
#include "pictures.h"

namespace pictures {

// Sizes are the sizes the program shows the pictures at: toolbar actions at the
// style's 24 pixels, the copy button at 64, the dialog's buttons at 200 × 200.
// The report header fits the 40 % cell of an A4 page laid out at 100 dpi and a
// small dimension drawing its 17 % column (about 110 pixels); both keep that
// size on paper but are drawn at 300 dpi, so that their thin lines and small
// letters print sharp.
QList<Picture> catalogue()
{
    QList<Picture> list = {
        {QStringLiteral("app"), QSize(64, 64), true, drawAppIcon},
        {QStringLiteral("new"), QSize(24, 24), true, drawNewIcon},
        {QStringLiteral("open"), QSize(24, 24), true, drawOpenIcon},
        {QStringLiteral("save"), QSize(24, 24), true, drawSaveIcon},
        {QStringLiteral("exit"), QSize(24, 24), true, drawExitIcon},
        {QStringLiteral("about"), QSize(24, 24), true, drawAboutIcon},
        {QStringLiteral("copy"), QSize(64, 64), true, drawCopyIcon},
        {QStringLiteral("orimax"), QSize(128, 128), true, drawMakerLogo},
        {QStringLiteral("orimax-header"), QSize(230, 60), false, drawReportHeaderLogo, kPrintDensity},
        {QStringLiteral("foto_valve2"), QSize(200, 200), true, drawValveIllustration},
        {QStringLiteral("foto_regulator"), QSize(200, 200), true, drawRegulatorIllustration},
        {QStringLiteral("foto_lmsh"), QSize(200, 200), true, drawCabinetIllustration},
        {QStringLiteral("foto_lmf_m"), QSize(200, 200), true, drawFlowMeterIllustration},
        {QStringLiteral("calcKv"), QSize(200, 200), true, drawKvIllustration},
        {QStringLiteral("backlogo"), QSize(1920, 1200), true, drawBackground},
    };
    int count = 0;
    const DeviceSeries* series = deviceSeries(&count);
    for (int i = 0; i < count; ++i) {
        const char* stem = series[i].stem;
        const QString name = QString::fromLatin1(stem);
        list.append(
            {name, QSize(320, 400), true, [stem](Canvas& c) { drawDimensionDrawing(c, stem, false); }});
        list.append({name + QStringLiteral("_small"), QSize(110, 150), false,
                     [stem](Canvas& c) { drawDimensionDrawing(c, stem, true); }, kPrintDensity});
    }
    return list;
}

} // namespace pictures
