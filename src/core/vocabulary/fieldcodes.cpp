#include "vocabulary/fieldcodes.h"

#include <algorithm>
#include <iterator>

namespace common {

namespace {

using C = CommonFields;
using K = CabinetFields;
using R = RegulatorFields;

struct KindRange
{
    qint16 first;
    qint16 last;
    FieldKind kind;
};

// Which control each field code belongs to. Codes not listed have no control;
// 100 and 110 belong to the file format, though no window shows them today.
const KindRange kKindTable[] = {
    {100, C::fcPressureUnit, fkCombo},
    {C::fcP1, C::fcP2, fkDouble},
    {C::fcFlowMode, C::fcFlowMode, fkRadio},
    {C::fcSupplyTemperature, C::fcFlow, fkDouble},
    {110, 110, fkCombo},
    {C::fcSystem, C::fcMedium, fkCombo},
    {C::fcObjectName, C::fcObjectName, fkText},
    {C::fcRegulatorFunction, C::fcInstallPlace, fkCombo},
    {C::fcConcentration, C::fcConcentration, fkDouble},
    {K::fcLoopCount, K::fcInterface, fkCombo},
    {K::fcLoopType, K::fcFan, fkCombo},
    {ChoiceFields::fcChosenSeries, ChoiceFields::fcChosenDn, fkCombo},
    {ChoiceFields::fcChosenKvs, ChoiceFields::fcChosenKvs, fkDouble},
    {ChoiceFields::fcChosenPipeDn, ChoiceFields::fcChosenPipeDn, fkCombo},
    {DriveFields::fcDriveSignal, DriveFields::fcDriveProtection, fkCombo},
    {DriveFields::fcDriveDesignation, DriveFields::fcDriveDesignation, fkText},
    {PositionFields::fcPosition, PositionFields::fcPosition, fkText},
    {PositionFields::fcQuantity, PositionFields::fcQuantity, fkDouble},
    {lfType, lfType, fkCombo},
    {lfBeamCount, lfBeamCount, fkRadio},
    {lfConnection, lfForm, fkCombo},
    {lfSteel, lfSteel, fkRadio},
    {lfHighTemperature, lfHighTemperature, fkCheck},
    {lfPressure, lfTemperatureType, fkCombo},
    {lfIndication, lfCurrentOutput, fkCheck},
    {lfInterface, lfAllowableError, fkCombo},
    {lfPulseWeight, lfPulseWeight, fkDouble},
    {lfMPulseWeight, lfSupplyVoltage, fkCombo},
    {lfStandardPulseWeight, lfStainless, fkCheck},
    {lfFettleMaterial, lfElectrodeMaterial, fkCombo},
    {C::fcPressureKind, C::fcPressureKind, fkRadio},
    {R::fcSupplyPressure, R::fcReturnPressure, fkDouble},
    {C::fcPressureDrop, C::fcRegulatedDrop, fkDouble},
    {R::fcRegulatorDrop, R::fcLossesAfter, fkDouble},
    {C::fcHeatUnit, C::fcHeatUnit, fkCombo},
    {C::fcFlowUnit, C::fcFlowUnit, fkCombo},
    {R::fcLossesBefore, R::fcLossesBefore, fkDouble},
    {C::fcDocType, C::fcDeviceType, fkCombo},
};

const qint16 kFineStep[] = {C::fcP1,
                            C::fcP2,
                            C::fcHeatLoad,
                            R::fcSupplyPressure,
                            R::fcReturnPressure,
                            C::fcPressureDrop,
                            C::fcRegulatedDrop,
                            R::fcRegulatorDrop,
                            R::fcSectionDrop,
                            R::fcLossesAfter,
                            R::fcLossesBefore};

const qint16 kZeroMeansEmpty[] = {C::fcP1,
                                  C::fcP2,
                                  C::fcSupplyTemperature,
                                  C::fcHeatLoad,
                                  C::fcReturnTemperature,
                                  C::fcFlow,
                                  R::fcSupplyPressure,
                                  R::fcReturnPressure,
                                  C::fcRegulatedDrop,
                                  R::fcRegulatorDrop,
                                  R::fcSectionDrop};

// The pressures of a task, as opposed to its drops: the values a vacuum would
// make negative.
const qint16 kPressures[] = {C::fcP1, C::fcP2, R::fcSupplyPressure, R::fcReturnPressure};

template <size_t N>
bool listed(const qint16 (&codes)[N], qint16 fieldCode)
{
    return std::find(std::begin(codes), std::end(codes), fieldCode) != std::end(codes);
}

} // namespace

FieldKind fieldKind(qint16 fieldCode)
{
    for (const KindRange& range : kKindTable) {
        if (fieldCode >= range.first && fieldCode <= range.last)
            return range.kind;
    }
    return fkNone;
}

double spinStep(qint16 fieldCode)
{
    return listed(kFineStep, fieldCode) ? 0.1 : 1;
}

bool isPressureField(qint16 fieldCode)
{
    return listed(kPressures, fieldCode);
}

bool zeroMeansEmpty(qint16 fieldCode)
{
    return listed(kZeroMeansEmpty, fieldCode);
}

} // namespace common
