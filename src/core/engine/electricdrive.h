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
    // The supply voltage as the designation writes it ("220В", "24В"); empty
    // for a designation outside the grammar.
    QString supplyVoltage() const;
};

// The supply voltage a user asks of a drive: either of the catalogue's two, or
// any of them.
enum DriveVoltage {
    dvEither = 0,
    dv24 = 24,
    dv220 = 220,
};

// What the user asks of the drive of a chosen valve.
struct DriveWishes
{
    int controlSignalType = csTriple;
    int supplyVoltage = dvEither;
    int protectionClass = 54;

    bool operator==(const DriveWishes& other) const
    {
        return controlSignalType == other.controlSignalType && supplyVoltage == other.supplyVoltage &&
               protectionClass == other.protectionClass;
    }
    bool operator!=(const DriveWishes& other) const { return !(*this == other); }
};

// A drive that fits: its designation and what the catalogue says of it in words.
struct DriveOffer
{
    QString designation;
    QString description;
};

class ElectricDriveCatalogue
{
public:
    // Parses the designation and appends a record. A designation outside the
    // grammar is reported as a warning and still enters the catalogue, with
    // control signal 0, valve family 0 and protection class 54.
    void add(const QString& designation, const QVector<int>& dnSet);

    const QVector<ElectricDrive>& drives() const { return m_drives; }
    // The entry of that designation; null when the catalogue has none.
    const ElectricDrive* find(const QString& designation) const;

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

// The drive of a chosen valve, from the maker's catalogue. The catalogue knows a
// drive by the valve family it fits, its control signal, protection class,
// supply voltage and the DN; the force and stroke stay part of the designation.
namespace drives {

// The valve family the catalogue writes for a valve series (common::DeviceType):
// 5 for ЛМК-2, 8 for ЛМК-3, 1 for ЛМК-П; 0 for a device no drive is made for.
int valveFamily(int deviceType);
// The control signals the catalogue holds for the valve series, in the order
// they first appear in it; empty for a device no drive is made for.
QVector<int> controlSignals(int deviceType);
// The control signal as the user chooses it: "Трёхпозиционное",
// "Трёхпозиционное, исполнение «В»", "Тип 2". The catalogue gives no meaning to
// types 2 and 3 beyond their number.
QString controlSignalName(int controlSignalType);
QString voltageName(int supplyVoltage);
// What the designation says in words, as far as the catalogue states it:
// "Трёхпозиционное управление, питание 220 В, степень защиты IP54".
QString description(const ElectricDrive& drive);

// The drives, in catalogue order, that fit the valve (series and DN) and meet
// the wishes. Empty when none does.
QVector<DriveOffer> fitting(int deviceType, int dn, const DriveWishes& wishes);
// Whether the designation is one of those.
bool fits(const QString& designation, int deviceType, int dn, const DriveWishes& wishes);
// "Для ЛМК-П DN 300 в каталоге нет привода с управлением «Тип 2», питанием 24 В
// и защитой IP54": what the user is told when nothing fits.
QString noneFitsText(int deviceType, int dn, const DriveWishes& wishes);

} // namespace drives
