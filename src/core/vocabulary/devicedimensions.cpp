#include "vocabulary/devicedimensions.h"

#include "vocabulary/common.h"

namespace common {

const QVector<int>& nominalDiameters()
{
    static const QVector<int> dn = standardDns(15, 300);
    return dn;
}

const QVector<int>& overallLengths()
{
    static const QVector<int> length{130, 150, 160, 180, 200, 230, 290, 310, 350, 400, 480, 600, 730, 850};
    return length;
}

namespace {

const QVector<SeriesSizes>& seriesTable()
{
    static const QVector<SeriesSizes> table{
        {dtLMK3,
         {330, 345, 355, 385, 395, 405, 485, 505, 535, 630, 660, 1180, 1280, 1420},
         {65, 70, 75, 95, 100, 100, 120, 130, 150, 160, 170, 400, 450, 550},
         {7, 8, 9, 11, 13, 15, 24, 28, 40, 64, 86, 240, 300, 390}},
        {dtLMR1,
         {465, 470, 475, 490, 495, 510, 530, 550, 600, 860, 900, 1350, 1570, 1660},
         {418, 418, 418, 420, 420, 428, 438, 450, 490, 735, 758, 1200, 1368, 1430},
         {9, 10, 11, 12, 14, 16, 21, 26, 40, 65, 87, 190, 255, 335}},
        {dtLMKP,
         {370, 375, 380, 405, 425, 440, 490, 500, 555, 730, 750, 770, 990, 1080},
         {320, 320, 330, 335, 350, 355, 395, 395, 430, 580, 590, 600, 780, 850},
         {6, 6, 7, 9, 11, 14, 23, 28, 41, 65, 85, 145, 210, 290}},
        {dtLMRD,
         {365, 370, 375, 390, 395, 410, 430, 450, 500, 760, 800, 1270, 1490, 1580},
         {318, 318, 318, 320, 320, 328, 338, 350, 390, 635, 658, 1100, 1288, 1350},
         {8, 9, 10, 11, 13, 15, 20, 25, 39, 60, 82, 170, 235, 315}},
        // The steam pressure regulator is made up to DN 100 and has no Н1 dimension.
        {dtLMR2P, {585, 590, 595, 610, 615, 630, 650, 670, 720}, {}, {11, 12, 13, 14, 16, 18, 23, 28, 42}},
        {dtLMK2,
         {340, 345, 350, 375, 395, 410, 460, 470, 520, 720, 740, 770, 990, 1080},
         {290, 290, 300, 305, 320, 325, 365, 365, 400, 580, 590, 600, 780, 850},
         {6, 6, 7, 9, 11, 14, 23, 28, 41, 65, 85, 145, 210, 290}},
    };
    return table;
}

} // namespace

const SeriesSizes* seriesSizes(int deviceType)
{
    for (const SeriesSizes& series : seriesTable()) {
        if (series.deviceType == deviceType)
            return &series;
    }
    return nullptr;
}

namespace {

// Notes on the impulse and drain tubes delivered with the regulators.
// Placeholders: %0 the bullet, %1 the line break, %2 the sign ½.
struct SeriesNotes
{
    int deviceType;
    QString text;
};

const QVector<SeriesNotes>& notesTable()
{
    static const QVector<SeriesNotes> table{
        {dtLMR1, QStringLiteral("%1%1Длина импульсной трубки:%1  %0 DN 15-150: 1 м%1  %0 DN 200-300: 2 м%1"
                                "Длина отводящей трубки:%1  %0 DN 15-300: 0,4 - 0,5 м%1")},
        {dtLMR2P, QStringLiteral("%1%1Длина импульсной трубки:%1  %0 DN 15-100: 1 м%1"
                                 "Длина отводящей трубки:%1  %0 DN 15-100: 0,4 - 0,5 м%1")},
        {dtLMRD, QStringLiteral("%1%1Длина импульсных трубок:%1  %0 DN 15-150: L1 = 1 м, L2 = 1.5 м%1"
                                "  %0 DN 200-300: L1 = L2 = 2 м%1"
                                "Присоединительная резьба импульсных трубок к трубопроводам - G%2 наружная")},
    };
    return table;
}

} // namespace

QString impulseTubeNotes(int deviceType, const QString& lineBreak)
{
    for (const SeriesNotes& entry : notesTable()) {
        if (entry.deviceType != deviceType)
            continue;
        QString text = entry.text;
        text.replace(QStringLiteral("%0"), QString(QChar(0x2022)));
        text.replace(QStringLiteral("%1"), lineBreak);
        text.replace(QStringLiteral("%2"), QString(QChar(0x00BD)));
        return text;
    }
    return QString();
}

} // namespace common
