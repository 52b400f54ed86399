#pragma once

// Every picture of the program: its resource name, the size it is shown at and
// the code that draws it.

#include "style.h"

#include <QList>
#include <QString>

#include <functional>

namespace pictures {

struct Picture
{
    QString name;     // the file under icons/, without ".png"
    QSize size;       // the size the program shows it at, in logical pixels
    bool highDensity; // also drawn at twice the size, "@2x", for QIcon
    std::function<void(Canvas&)> draw;
    // Pixels of the file per logical pixel. A picture printed in a report is
    // drawn finer than the page's 100 dpi layout and says so in the file: its
    // resolution is stored with it, and the report sizes it by that.
    int density = 1;
};

// The resolution of the printed pictures: three pixels per pixel of the page.
constexpr int kPrintDensity = 3;
constexpr int kPageDpi = 100;

QList<Picture> catalogue();

// The drawing code of the catalogue, by family.
void drawAppIcon(Canvas& c);
void drawMakerLogo(Canvas& c);
void drawReportHeaderLogo(Canvas& c);
void drawBackground(Canvas& c);

void drawNewIcon(Canvas& c);
void drawOpenIcon(Canvas& c);
void drawSaveIcon(Canvas& c);
void drawExitIcon(Canvas& c);
void drawAboutIcon(Canvas& c);
void drawCopyIcon(Canvas& c);

void drawValveIllustration(Canvas& c);
void drawRegulatorIllustration(Canvas& c);
void drawCabinetIllustration(Canvas& c);
void drawFlowMeterIllustration(Canvas& c);
void drawKvIllustration(Canvas& c);

} // namespace pictures
