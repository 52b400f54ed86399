#include "configurators/cabinetconfig.h"

#include <QStringList>

namespace configurators {

namespace {

// Every cabinet of the series has a 220 V supply and an IP54 enclosure.
const char kDesignationTail[] = "-220-IP54";

} // namespace

// The loop types one after another, then each loop's main and reserve pump,
// the loops separated by dots.
QString stdCabinetDesignation(const StdCabinetChoice& choice)
{
    QString types;
    QStringList pumps;
    for (const CabinetLoop& loop : choice.loops) {
        types += QString::number(loop.loopType);
        pumps << QString::number(loop.mainPump) + QString::number(loop.reservePump);
    }
    return QStringLiteral("ЛМШ-%1-%2-%3-%4")
               .arg(QString::number(choice.powerReserve), types, pumps.join(QLatin1Char('.')),
                    QString::number(choice.iface)) +
           QLatin1String(kDesignationTail);
}

// The ventilation cabinets share the head "ЛМШ-1-33"; each loop adds its fan
// and pump options.
QString fanCabinetDesignation(const FanCabinetChoice& choice)
{
    QStringList drives;
    for (const FanCabinetLoop& loop : choice.loops)
        drives << QString::number(loop.fan) + QString::number(loop.pump);
    return QStringLiteral("ЛМШ-1-33-%1-%2")
               .arg(drives.join(QLatin1Char('.')), QString::number(choice.iface)) +
           QLatin1String(kDesignationTail);
}

} // namespace configurators
