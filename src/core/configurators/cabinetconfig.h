#pragma once

// The order designations of the ЛМШ control cabinets over the user's choices:
// the cabinet for hot water and heating loops and the cabinet for supply
// ventilation. Every option is written as its decimal value.

#include <QString>
#include <QVector>

namespace configurators {

// One loop of a hot water or heating cabinet: its type and the control options
// of its main and reserve pump.
struct CabinetLoop
{
    int loopType = -1;
    int mainPump = -1;
    int reservePump = -1;
};

struct StdCabinetChoice
{
    int powerReserve = -1;
    int iface = -1;
    QVector<CabinetLoop> loops; // the chosen loops only
};

// The one ventilation loop: the control options of its fan and its pump.
struct FanCabinetLoop
{
    int fan = -1;
    int pump = -1;
};

struct FanCabinetChoice
{
    int iface = -1;
    QVector<FanCabinetLoop> loops;
};

QString stdCabinetDesignation(const StdCabinetChoice& choice);
QString fanCabinetDesignation(const FanCabinetChoice& choice);

} // namespace configurators
