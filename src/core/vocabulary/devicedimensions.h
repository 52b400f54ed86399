#pragma once

// The dimension catalogue of the maker's device series: for every nominal
// diameter the overall length, heights and mass, and for regulators the notes
// on the impulse tubes delivered with them. The reports and the selection
// windows draw it into tables.

#include <QString>
#include <QVector>

namespace common {

// Nominal diameters of the maker's flanged bodies and their overall length L,
// mm, shared by every series; a series smaller than the full range takes the
// first entries.
const QVector<int>& nominalDiameters();
const QVector<int>& overallLengths();

// The dimensions of one series, one value per DN from DN 15 upwards.
struct SeriesSizes
{
    int deviceType;
    QVector<int> height;   // Н, mm, at most
    QVector<int> heightH1; // Н1, mm, at most; empty when the series has no such dimension
    QVector<int> mass;     // kg, at most
};

// The dimensions of a device series; null for a series without a table.
const SeriesSizes* seriesSizes(int deviceType);

// The notes on the impulse and drain tubes of a regulator, lines ended by
// lineBreak; empty for every other device.
QString impulseTubeNotes(int deviceType, const QString& lineBreak);

} // namespace common
