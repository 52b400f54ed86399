#include "inputparams.h"

#include "engine/tolerance.h"
#include "gentools/errorhandle.h"

#include <cmath>

using namespace common;

namespace {

constexpr double atmosphereInPa = UnitConversions::atmosphereInPa;
// Zero of the Celsius scale and the normal temperature of gas volumes, K, as
// the reference data use them.
constexpr double kelvinOffset = 273.13;
constexpr double normalTemperatureInK = 293.13;

struct PressureUnit
{
    int measure;
    double paPerUnit;
};

const PressureUnit pressureUnits[] = {
    {pmBar, 100000}, {pmAtm, 101325}, {pmMPa, 1000000}, {pmPa, 1}, {pmKPa, 1000}, {pmMWater, 9806.65},
};

const PressureUnit* findPressureUnit(int measure)
{
    for (const PressureUnit& unit : pressureUnits)
        if (unit.measure == measure)
            return &unit;
    return nullptr;
}

// A flow unit is a volume (m³/h per unit; for gases normal cubic metres) or a
// mass (kg/h per unit).
struct FlowUnit
{
    int measure;
    bool isVolume;
    double perUnit;
};

const FlowUnit flowUnits[] = {
    {wfM3h, true, 1},    {wfLh, true, 1.0 / 1000}, {wfLmin, true, 60.0 / 1000}, {wfLs, true, 3600.0 / 1000},
    {wfTh, false, 1000}, {wfKgh, false, 1},        {wfKgs, false, 3600},
};

const FlowUnit* findFlowUnit(int measure)
{
    for (const FlowUnit& unit : flowUnits)
        if (unit.measure == measure)
            return &unit;
    return nullptr;
}

// A heat unit: value · multiplier / divisor is Gcal/h. The power units are
// divided or multiplied by their figure exactly as the reference gives it.
struct HeatUnit
{
    int measure;
    double multiplier;
    double divisor;
};

const HeatUnit heatUnits[] = {{hmGcalH, 1, 1}, {hmMWH, 1, 1.163}, {hmGJH, 0.239, 1}};

const HeatUnit* findHeatUnit(int measure)
{
    for (const HeatUnit& unit : heatUnits)
        if (unit.measure == measure)
            return &unit;
    return nullptr;
}

bool isGas(const SubstanceProperties& substance)
{
    return substance.isOneOf(stAir, stNitrogen);
}

bool isKnownMedium(const SubstanceProperties& substance)
{
    return substance.isLiquid() || substance.isSteam() || isGas(substance);
}

} // namespace

// ---------------------------------------------------------------------------
// UnitConversions

double UnitConversions::toPa(double v, int measure)
{
    const PressureUnit* unit = findPressureUnit(measure);
    if (!unit) {
        GEH_ASSERT(0);
        return 0;
    }
    return v * unit->paPerUnit;
}

double UnitConversions::fromPa(double vPa, int measure)
{
    const PressureUnit* unit = findPressureUnit(measure);
    if (!unit) {
        GEH_ASSERT(0);
        return 0;
    }
    return vPa / unit->paPerUnit;
}

double UnitConversions::toQinM3(FlowCondition condition, DevicePosition point, double flow, double T,
                                const SubstanceProperties& substance, int flowMeasure, double P1Pa,
                                double P2Pa)
{
    const double pressure = point == BeforeDevice ? P1Pa : P2Pa;
    const bool isWaterSteam = substance.isSteam();
    // Steam has no normal volume, and a gas volume at the device needs its side.
    if (condition == Norm)
        GEH_ASSERT(!isWaterSteam);
    if (point == Anywhere && condition == Working)
        GEH_ASSERT(condition == Norm || substance.isLiquid());

    const FlowUnit* unit = findFlowUnit(flowMeasure);
    if (!unit) {
        GEH_ASSERT(0);
        return 0;
    }
    double Q = 0;
    if (unit->isVolume) {
        // A steam flow is always given as a mass.
        GEH_ASSERT(!isWaterSteam);
        Q = flow * unit->perUnit;
    } else {
        double rho = 0;
        if (isWaterSteam)
            rho = substance.densityOfSteam(T, pressure);
        else if (substance.isLiquid())
            rho = substance.density(T);
        else
            rho = substance.densityN();
        Q = flow * unit->perUnit / rho;
    }

    if (isGas(substance) && condition == Working) {
        // From normal conditions to the temperature and pressure at the device.
        if (!GEH_ASSERT(!tolerance::isZero(pressure)))
            return 0;
        Q = Q * ((T + kelvinOffset) / normalTemperatureInK) / (pressure / atmosphereInPa);
    }
    return Q;
}

double UnitConversions::QfromTones(double flowTph, int flowMeasure, double T,
                                   const SubstanceProperties& substance)
{
    const FlowUnit* unit = findFlowUnit(flowMeasure);
    if (!unit) {
        GEH_ASSERT(0);
        return flowTph;
    }
    if (!unit->isVolume)
        return flowTph * (1000 / unit->perUnit);
    const double rho = substance.isLiquid() ? substance.density(T) : substance.densityN();
    return flowTph * 1000 / rho / unit->perUnit;
}

double UnitConversions::toGKal(double value, int heatMeasure)
{
    const HeatUnit* unit = findHeatUnit(heatMeasure);
    if (!unit) {
        GEH_ASSERT(0);
        return value;
    }
    return value * unit->multiplier / unit->divisor;
}

double UnitConversions::calcQbyHeat(double heat, int heatMeasure, int flowMeasure, double T1, double T2,
                                    const SubstanceProperties& substance, double Pmean)
{
    if (!GEH_ASSERT(substance.isLiquid()))
        return 0;
    if (!isHeatMeasure(heatMeasure) || !isFlowMeasure(flowMeasure))
        return 0;
    if (tolerance::isZero(T1 - T2))
        return 0;
    // Q = G·cp·(T1 - T2): Gcal/h over kcal/(kg·K) and K gives thousands of kg/h.
    const double cp = substance.specificHeat((T1 + T2) / 2, Pmean);
    const double tonsPerHour = toGKal(heat, heatMeasure) * 1000 / ((T1 - T2) * cp);
    return QfromTones(tonsPerHour, flowMeasure, T1, substance);
}

bool UnitConversions::isPressureMeasure(int measure)
{
    return findPressureUnit(measure) != nullptr;
}

bool UnitConversions::isFlowMeasure(int measure)
{
    return findFlowUnit(measure) != nullptr;
}

bool UnitConversions::isHeatMeasure(int measure)
{
    return findHeatUnit(measure) != nullptr;
}

// ---------------------------------------------------------------------------
// InputParams

InputParams::InputParams()
    : pressureType(pkExcess), pressureMeasure(0), heatMeasure(hmGcalH), flowMeasure(0), flowInputMode(1),
      system(-1), place(ipSupply), substance(stWater), concentration(0), Tsupply(NAN), Treturn(NAN),
      heatLoad(0), flow(0)
{
}

InputParams::~InputParams() = default;

SubstanceProperties InputParams::substanceProperties() const
{
    return SubstanceProperties(substance, concentration);
}

double InputParams::temperature() const
{
    return place == ipSupply ? Tsupply : Treturn;
}

bool InputParams::choicesWithinTables() const
{
    const bool flowModeKnown = flowInputMode == flowGivenDirectly || flowInputMode == flowFromHeatLoad;
    return isKnownMedium(substanceProperties()) && UnitConversions::isPressureMeasure(pressureMeasure) &&
           (pressureType == pkAbsolute || pressureType == pkExcess) &&
           (place == ipSupply || place == ipReturn) && flowModeKnown &&
           (flowInputMode != flowFromHeatLoad || UnitConversions::isHeatMeasure(heatMeasure));
}

bool InputParams::flowMeasureKnown() const
{
    const FlowUnit* unit = findFlowUnit(flowMeasure);
    return unit && !(unit->isVolume && substanceProperties().isSteam());
}

double InputParams::toPa(double v) const
{
    return UnitConversions::toPa(v, pressureMeasure);
}

double InputParams::fromPa(double vPa) const
{
    return UnitConversions::fromPa(vPa, pressureMeasure);
}

double InputParams::absolute(double vPa) const
{
    return pressureType == pkAbsolute ? vPa : vPa + atmosphereInPa;
}

double InputParams::PAbsinPa(DevicePosition v) const
{
    if (v == BeforeDevice)
        return PbeforeAbsInPa();
    if (v == AfterDevice)
        return PafterAbsInPa();
    GEH_ASSERT(v != Anywhere);
    return 0;
}

double InputParams::Pbefore() const
{
    return fromPa(PbeforeAbsInPa());
}

double InputParams::Pafter() const
{
    return fromPa(PafterAbsInPa());
}

double InputParams::inBars(double v) const
{
    return pressureMeasure == pmBar ? v : toPa(v) / 100000;
}

double InputParams::inAtm(double v) const
{
    return pressureMeasure == pmAtm ? v : toPa(v) / atmosphereInPa;
}

double InputParams::toQinM3(FlowCondition condition, DevicePosition point) const
{
    return UnitConversions::toQinM3(condition, point, Q(), temperature(), substanceProperties(), flowMeasure,
                                    PbeforeAbsInPa(), PafterAbsInPa());
}

double InputParams::QinKg() const
{
    const SubstanceProperties substance = substanceProperties();
    const FlowUnit* unit = findFlowUnit(flowMeasure);
    if (!unit) {
        GEH_ASSERT(0);
        return flow;
    }
    if (!unit->isVolume)
        return flow * unit->perUnit;
    // A steam flow is always given as a mass.
    GEH_ASSERT(!substance.isSteam());
    double rho = 0;
    if (substance.isLiquid())
        rho = substance.density(temperature());
    else if (!substance.isSteam())
        rho = substance.densityN();
    return flow * unit->perUnit * rho;
}

bool InputParams::isHighPressureDrop() const
{
    return tolerance::greater(toPa(Pbefore() - Pafter()), 200000);
}

// ---------------------------------------------------------------------------
// ValveInputParams

ValveInputParams::ValveInputParams() : valveType(dtEmpty), P1(0), P2(0), dP(0), dPru(0)
{
}

int ValveInputParams::deviceType() const
{
    return valveType;
}

bool ValveInputParams::isSteamDevice() const
{
    return deviceType() == dtLMKP;
}

double ValveInputParams::maxTemperature() const
{
    return isSteamDevice() ? 220 : 150;
}

double ValveInputParams::PbeforeAbsInPa() const
{
    return absolute(toPa(P1));
}

double ValveInputParams::PafterAbsInPa() const
{
    return absolute(toPa(P2));
}

// ---------------------------------------------------------------------------
// KvInputParams

KvInputParams::KvInputParams()
{
    valveType = dtLMKP;
}

double KvInputParams::maxTemperature() const
{
    return 220;
}
