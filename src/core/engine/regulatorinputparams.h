#pragma once

// The input of a direct-acting regulator selection.

#include "engine/inputparams.h"

class RegulatorInputParams : public InputParams
{
public:
    RegulatorInputParams();

    // common::RegulatorType: 1 differential pressure, 2 pressure before the
    // regulator ("до себя"), 3 pressure after it ("после себя"), 4 bypass.
    int regulation;
    // Differential-pressure scheme: pressures in the supply and return pipes at
    // the inlet (Pпод, Pобр), the drop kept on the regulated section (ΔPру), the
    // drop across the regulator (ΔPрег) and the losses on other equipment before
    // and after the regulated section (ΔPдр.под, ΔPдр.обр).
    double Psupply;
    double Preturn;
    double dPru;
    double dPreg;
    double dPdrSupply;
    double dPdrReturn;
    // The other kinds: the drop across the regulator shown beside P1 and P2, and
    // the pressures before and after the regulator.
    double dPregulator;
    double P1;
    double P2;

    int deviceType() const override;
    bool isSteamDevice() const override;
    double maxTemperature() const override;
    double PbeforeAbsInPa() const override;
    double PafterAbsInPa() const override;
    // The kind of regulation too.
    bool choicesWithinTables() const override;
};
