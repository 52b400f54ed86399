#pragma once

// The ЛМА electric drives that can be mounted on the maker's control valves, and
// the choice of the drives that fit a given valve.
//
// A drive is known by its designation, e.g. ЛМА-125М-1600/63-20-220В IP67:
// after "ЛМА-" come three digits — the drive family, the control signal and the
// valve family it fits (the device type code of ЛМК-П 1, ЛМК-2 5, ЛМК-3 8) — an
// optional version letter, the force and stroke figures, the supply voltage and
// an optional protection class. The catalogue adds to each designation the valve
// DN the drive fits.

#include <QString>
#include <QStringList>
#include <QVector>

// Control signal of a drive: the second digit of its designation.
enum ControlSignalType {
    csTriple = 1,   // three-point control (open / stop / close)
    csTripleV = 11, // three-point drives of the "В" version
};

// One catalogue entry.
struct ElectricDrive
{
    QString m_designation; // exactly as written in the catalogue
    QVector<int> m_dnSet;  // valve DN the drive fits, ascending, no repeats
    int m_valveFamily = 0; // device type code of the valve series
    int m_controlSignalType = 0;
    int m_protectionClass = 54; // IP54 unless the designation ends with " IP67"

    bool fits(int dn) const;
};

class ElectricDriveCatalogue
{
public:
    // Parses the designation and appends a record. A designation outside the
    // grammar is reported as a warning and still enters the catalogue, with
    // control signal 0, valve family 0 and protection class 54.
    void add(const QString& designation, const QVector<int>& dnSet);

    const QVector<ElectricDrive>& drives() const { return m_drives; }

    // The designations, in catalogue order, of the drives that fit the DN and
    // match the valve family, control signal and protection class. Empty when no
    // drive fits.
    QStringList selectDrives(int dn, int valveFamily, int controlSignalType, int protectionClass) const;

    // The maker's catalogue, built once on first use and never changed afterwards.
    static const ElectricDriveCatalogue& standard();

    // The valve DN series the fit ranges are drawn from: 15 … 300.
    static const QVector<int>& valveDnSeries();

    // The DN of the series from lowestDn to highestDn inclusive, without leftOutDn
    // (0 leaves nothing out).
    static QVector<int> fitRange(int lowestDn, int highestDn, int leftOutDn = 0);

private:
    QVector<ElectricDrive> m_drives;
};
