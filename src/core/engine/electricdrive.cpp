#include "electricdrive.h"

#include "gentools/errorhandle.h"
#include "vocabulary/common.h"

#include <QRegularExpression>
#include <QtDebug>

#include <algorithm>

namespace {

// Captures: 1 drive family, 2 control signal, 3 valve family, 4 version letter,
// 5–7 force and stroke figures, 8 supply voltage, 10 protection class. The
// figures and the voltage stay part of the text and are not interpreted.
const QRegularExpression& designationGrammar()
{
    static const QRegularExpression grammar(QRegularExpression::anchoredPattern(QStringLiteral(
        "ЛМА-([1-9])([1-3])(1|5|8)(В|М)?-([0-9]*)/([0-9]*)-([0-9]*)-(220В|24В)(\\sIP(54|67))?")));
    return grammar;
}

const int kDefaultProtectionClass = 54;

// One row of the maker's drive list: the DN from lowestDn to highestDn of the
// valve series, without leftOutDn (0 when the range has no gap).
struct CatalogueRow
{
    const char* designation;
    int lowestDn;
    int highestDn;
    int leftOutDn;
};

// In the maker's order; the drive choice lists its results in this order.
const CatalogueRow kCatalogue[] = {
    // ЛМК-2 (valve family 5)
    {"ЛМА-115-700/63-20-220В", 15, 25, 0},
    {"ЛМА-115-1600/63-20-220В", 32, 100, 0},
    {"ЛМА-115-2700/63-20-220В", 65, 100, 0},
    {"ЛМА-115-4000/100-50-220В", 125, 200, 0},
    {"ЛМА-115-4000/160-80-220В", 250, 300, 0},
    {"ЛМА-115-700/63-20-24В", 15, 25, 0},
    {"ЛМА-115-1600/63-20-24В", 32, 100, 0},
    {"ЛМА-115-2700/63-20-24В", 65, 100, 0},
    {"ЛМА-115-4000/100-50-24В", 125, 200, 0},
    {"ЛМА-115-4000/160-80-24В", 250, 300, 0},
    {"ЛМА-115В-1600/63-20-220В", 15, 100, 0},
    {"ЛМА-115В-2700/63-20-220В", 65, 100, 0},
    {"ЛМА-115В-1600/63-20-24В", 15, 100, 0},
    {"ЛМА-115В-2700/63-20-24В", 65, 100, 0},
    {"ЛМА-125М-700/63-20-220В", 15, 25, 0},
    {"ЛМА-125М-1600/63-20-220В", 32, 100, 0},
    {"ЛМА-125М-2700/63-20-220В", 65, 100, 0},
    {"ЛМА-125М-4000/100-50-220В", 125, 200, 0},
    {"ЛМА-135М-1600/63-20-220В", 15, 100, 0},
    {"ЛМА-135-3000/63-20-220В", 65, 100, 0},
    {"ЛМА-135-4000/100-50-220В", 125, 200, 0},
    {"ЛМА-135-4000/160-80-220В", 250, 300, 0},
    {"ЛМА-135М-1600/63-20-24В", 15, 100, 0},
    {"ЛМА-135-3000/63-20-24В", 65, 100, 0},
    {"ЛМА-135-4000/100-50-24В", 125, 200, 0},
    {"ЛМА-135-4000/160-80-24В", 250, 300, 0},
    {"ЛМА-225М-700/63-20-220В", 15, 25, 0},
    {"ЛМА-225М-1600/63-20-220В", 32, 100, 0},
    {"ЛМА-225М-2700/63-20-220В", 65, 100, 0},
    {"ЛМА-225М-4000/100-50-220В", 125, 200, 0},
    {"ЛМА-315-1600/63-20-220В IP67", 15, 100, 0},
    {"ЛМА-315-1600/63-20-24В IP67", 15, 100, 0},
    // ЛМК-3 (valve family 8)
    {"ЛМА-118-700/63-20-220В", 15, 25, 0},
    {"ЛМА-118-1600/63-20-220В", 32, 50, 0},
    {"ЛМА-118-2700/100-32-220В", 65, 100, 0},
    {"ЛМА-118-4000/100-50-220В", 125, 150, 0},
    {"ЛМА-118-10000/125-80-220В", 200, 300, 0},
    {"ЛМА-118-700/63-20-24В", 15, 25, 0},
    {"ЛМА-118-1600/63-20-24В", 32, 50, 0},
    {"ЛМА-118-2700/100-32-24В", 65, 100, 0},
    {"ЛМА-118-4000/100-50-24В", 125, 150, 0},
    {"ЛМА-118-10000/125-80-24В", 200, 300, 0},
    {"ЛМА-118В-1600/63-20-220В", 15, 50, 0},
    {"ЛМА-118В-2700/100-32-220В", 65, 100, 0},
    {"ЛМА-118В-1600/63-20-24В", 15, 50, 0},
    {"ЛМА-118В-2700/100-32-24В", 65, 100, 0},
    {"ЛМА-128М-700/63-20-220В", 15, 25, 0},
    {"ЛМА-128М-1600/63-20-220В", 32, 100, 0},
    {"ЛМА-128М-2700/100-32-220В", 65, 100, 0},
    {"ЛМА-128М-4000/100-50-220В", 125, 150, 0},
    {"ЛМА-138М-1600/63-20-220В", 15, 50, 0},
    {"ЛМА-138-3000/100-32-220В", 65, 100, 0},
    {"ЛМА-138-4000/100-50-220В", 125, 150, 0},
    {"ЛМА-138-10000/125-80-220В", 200, 300, 0},
    {"ЛМА-138М-1600/63-20-24В", 15, 50, 0},
    {"ЛМА-138-3000/100-32-24В", 65, 100, 0},
    {"ЛМА-138-4000/100-50-24В", 125, 150, 0},
    {"ЛМА-138-10000/125-80-24В", 200, 300, 0},
    {"ЛМА-228М-700/63-20-220В", 15, 25, 0},
    {"ЛМА-228М-1600/63-20-220В", 32, 50, 0},
    {"ЛМА-228М-2700/100-32-220В", 65, 100, 0},
    {"ЛМА-228М-4000/100-50-220В", 125, 150, 0},
    {"ЛМА-318-1600/63-20-220В IP67", 15, 50, 0},
    {"ЛМА-318-1600/63-20-24В IP67", 15, 50, 0},
    // ЛМК-П (valve family 1); the 1600 drives do not fit DN 50
    {"ЛМА-111-1600/63-20-220В", 15, 100, 50},
    {"ЛМА-111-2700/63-20-220В", 32, 50, 0},
    {"ЛМА-111-4000/100-50-220В", 125, 200, 0},
    {"ЛМА-111-4000/160-80-220В", 250, 300, 0},
    {"ЛМА-111-1600/63-20-24В", 15, 100, 50},
    {"ЛМА-111-2700/63-20-24В", 32, 50, 0},
    {"ЛМА-111-4000/100-50-24В", 125, 200, 0},
    {"ЛМА-111-4000/160-80-24В", 250, 300, 0},
    {"ЛМА-111В-1600/63-20-220В", 15, 100, 50},
    {"ЛМА-111В-2700/63-20-220В", 32, 100, 0},
    {"ЛМА-111В-1600/63-20-24В", 15, 100, 50},
    {"ЛМА-111В-2700/63-20-24В", 32, 100, 0},
    {"ЛМА-121М-1600/63-20-220В", 15, 100, 50},
    {"ЛМА-121М-2700/63-20-220В", 32, 100, 0},
    {"ЛМА-121М-4000/100-50-220В", 125, 200, 0},
    {"ЛМА-131М-1600/63-20-220В", 15, 100, 50},
    {"ЛМА-131-3000/63-20-220В", 32, 100, 0},
    {"ЛМА-131-4000/100-50-220В", 125, 200, 0},
    {"ЛМА-131-4000/160-80-220В", 250, 300, 0},
    {"ЛМА-131М-1600/63-20-24В", 15, 100, 50},
    {"ЛМА-131-3000/63-20-24В", 32, 100, 0},
    {"ЛМА-131-4000/100-50-24В", 125, 200, 0},
    {"ЛМА-131-4000/160-80-24В", 250, 300, 0},
    {"ЛМА-221М-1600/63-20-220В", 15, 100, 50},
    {"ЛМА-221М-2700/63-20-220В", 32, 100, 0},
    {"ЛМА-221М-4000/100-50-220В", 125, 200, 0},
    {"ЛМА-311-1600/63-20-220В IP67", 15, 100, 50},
    {"ЛМА-311-1600/63-20-24В IP67", 15, 100, 50},
};

} // namespace

bool ElectricDrive::fits(int dn) const
{
    return std::binary_search(m_dnSet.cbegin(), m_dnSet.cend(), dn);
}

QString ElectricDrive::supplyVoltage() const
{
    return designationGrammar().match(m_designation).captured(8);
}

const ElectricDrive* ElectricDriveCatalogue::find(const QString& designation) const
{
    for (const ElectricDrive& drive : m_drives)
        if (drive.m_designation == designation)
            return &drive;
    return nullptr;
}

void ElectricDriveCatalogue::add(const QString& designation, const QVector<int>& dnSet)
{
    ElectricDrive x;
    x.m_designation = designation;
    x.m_dnSet = dnSet;
    std::sort(x.m_dnSet.begin(), x.m_dnSet.end());
    x.m_dnSet.erase(std::unique(x.m_dnSet.begin(), x.m_dnSet.end()), x.m_dnSet.end());

    const QRegularExpressionMatch match = designationGrammar().match(designation);
    if (!match.hasMatch()) {
        // A toolkit warning reaches the installed message printers and the log.
        qWarning().noquote() << QStringLiteral("Недопустимый формат ЛМА: ") + designation;
    } else {
        x.m_controlSignalType = match.capturedRef(2).toInt();
        x.m_valveFamily = match.capturedRef(3).toInt();
        // The "В" version exists for three-point drives only.
        if (match.capturedRef(4) == QStringLiteral("В")) {
            GEH_ASSERT(x.m_controlSignalType == csTriple);
            x.m_controlSignalType = csTripleV;
        }
        const QStringRef protection = match.capturedRef(10);
        x.m_protectionClass = protection.isEmpty() ? kDefaultProtectionClass : protection.toInt();
    }
    m_drives.append(x);
}

QStringList ElectricDriveCatalogue::selectDrives(int dn, int valveFamily, int controlSignalType,
                                                 int protectionClass) const
{
    QStringList result;
    for (const ElectricDrive& drive : m_drives) {
        if (drive.m_valveFamily == valveFamily && drive.m_controlSignalType == controlSignalType &&
            drive.m_protectionClass == protectionClass && drive.fits(dn))
            result << drive.m_designation;
    }
    return result;
}

const ElectricDriveCatalogue& ElectricDriveCatalogue::standard()
{
    static const ElectricDriveCatalogue catalogue = [] {
        ElectricDriveCatalogue built;
        for (const CatalogueRow& row : kCatalogue)
            built.add(QString::fromUtf8(row.designation),
                      fitRange(row.lowestDn, row.highestDn, row.leftOutDn));
        return built;
    }();
    return catalogue;
}

const QVector<int>& ElectricDriveCatalogue::valveDnSeries()
{
    static const QVector<int> series = common::standardDns(15, 300);
    return series;
}

QVector<int> ElectricDriveCatalogue::fitRange(int lowestDn, int highestDn, int leftOutDn)
{
    QVector<int> range;
    for (int dn : valveDnSeries()) {
        if (dn >= lowestDn && dn <= highestDn && dn != leftOutDn)
            range << dn;
    }
    return range;
}

namespace drives {

int valveFamily(int deviceType)
{
    switch (deviceType) {
    case common::dtLMK2:
    case common::dtLMK3:
    case common::dtLMKP:
        // The catalogue writes the valve family as the series' device type code.
        return deviceType;
    default:
        return 0;
    }
}

QVector<int> controlSignals(int deviceType)
{
    QVector<int> signalTypes;
    const int family = valveFamily(deviceType);
    for (const ElectricDrive& drive : ElectricDriveCatalogue::standard().drives())
        if (family != 0 && drive.m_valveFamily == family && !signalTypes.contains(drive.m_controlSignalType))
            signalTypes << drive.m_controlSignalType;
    return signalTypes;
}

QString controlSignalName(int controlSignalType)
{
    switch (controlSignalType) {
    case csTriple:
        return QStringLiteral("Трёхпозиционное");
    case csTripleV:
        return QStringLiteral("Трёхпозиционное, исполнение «В»");
    default:
        return QStringLiteral("Тип %1").arg(controlSignalType);
    }
}

QString voltageName(int supplyVoltage)
{
    return supplyVoltage == dvEither ? QStringLiteral("Любое")
                                     : QStringLiteral("%1\u00A0В").arg(supplyVoltage);
}

QString description(const ElectricDrive& drive)
{
    QString signal;
    switch (drive.m_controlSignalType) {
    case csTriple:
        signal = QStringLiteral("Трёхпозиционное управление");
        break;
    case csTripleV:
        signal = QStringLiteral("Трёхпозиционное управление, исполнение «В»");
        break;
    default:
        signal = QStringLiteral("Управление типа %1").arg(drive.m_controlSignalType);
    }
    QString voltage = drive.supplyVoltage();
    voltage.insert(voltage.size() - 1, QChar(0x00A0));
    return QStringLiteral("%1, питание %2, степень защиты IP%3")
        .arg(signal, voltage)
        .arg(drive.m_protectionClass);
}

QVector<DriveOffer> fitting(int deviceType, int dn, const DriveWishes& wishes)
{
    QVector<DriveOffer> offers;
    const int family = valveFamily(deviceType);
    if (family == 0)
        return offers;
    const ElectricDriveCatalogue& catalogue = ElectricDriveCatalogue::standard();
    const QString voltage = QStringLiteral("%1В").arg(wishes.supplyVoltage);
    for (const QString& designation :
         catalogue.selectDrives(dn, family, wishes.controlSignalType, wishes.protectionClass)) {
        const ElectricDrive* drive = catalogue.find(designation);
        if (wishes.supplyVoltage == dvEither || drive->supplyVoltage() == voltage)
            offers.append({designation, description(*drive)});
    }
    return offers;
}

bool fits(const QString& designation, int deviceType, int dn, const DriveWishes& wishes)
{
    const QVector<DriveOffer> offers = fitting(deviceType, dn, wishes);
    return std::any_of(offers.cbegin(), offers.cend(),
                       [&](const DriveOffer& offer) { return offer.designation == designation; });
}

QString noneFitsText(int deviceType, int dn, const DriveWishes& wishes)
{
    QString text = QStringLiteral("Для %1 DN\u00A0%2 в каталоге нет привода с управлением «%3»")
                       .arg(common::deviceTypeName(common::DeviceType(deviceType)))
                       .arg(dn)
                       .arg(controlSignalName(wishes.controlSignalType));
    if (wishes.supplyVoltage != dvEither)
        text += QStringLiteral(", питанием %1").arg(voltageName(wishes.supplyVoltage));
    return text + QStringLiteral(" и защитой IP%1").arg(wishes.protectionClass);
}

} // namespace drives
