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
};

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
