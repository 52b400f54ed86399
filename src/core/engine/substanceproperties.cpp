#include "substanceproperties.h"

#include "engine/smartspline.h"
#include "engine/tolerance.h"
#include "gentools/errorhandle.h"
#include "vocabulary/common.h"

#include <QVector>

#include <cmath>

using namespace common;

namespace {

// kJ/(kg·K) to kcal/(kg·K).
constexpr double kcalPerKJ = 0.2388;
// One millimetre of mercury, Pa.
constexpr double paPerMmHg = 133.32;
// Zero of the Celsius scale on the absolute scale, as the reference data use it.
constexpr double kelvinOffset = 273.13;

// The three water tables serve every medium and are asked for on every
// calculation: each is built once, on first use (the initialisation of a
// function-local static runs exactly once, even with several threads).

// Saturation pressure of water, °C : Pa.
const SmartSpline& waterSaturationPressure()
{
    static const SmartSpline spline{
        {1, 657},          {50, 12344},       {80, 47373},       {100, 101320},     {110, 143240},
        {120, 198480},     {150, 475720},     {164.92, 700000},  {179.86, 1000000}, {198.28, 1500000},
        {212.38, 2000000}, {223.96, 2500000}, {233.8, 3000000},  {250.3, 4000000},  {263.9, 5000000},
        {275.6, 6000000},  {285.8, 7000000},  {295, 8000000},    {303, 9000000},    {311, 10000000},
        {318.1, 11000000}, {324.7, 12000000}, {330.8, 13000000}, {336.6, 14000000}, {342.1, 15000000},
        {365.7, 20000000}, {382, 25000000},   {385.1, 26000000}, {387.8, 27000000}};
    return spline;
}

// Density of water, °C : kg/m³.
const SmartSpline& waterDensity()
{
    static const SmartSpline spline{{1, 999.95}, {25, 997.09}, {50, 988.07}, {80, 971.83}, {100, 958.4},
                                    {110, 951},  {120, 943.1}, {150, 917},   {180, 886.9}};
    return spline;
}

// Specific heat of water, °C : kJ/(kg·K).
const SmartSpline& waterSpecificHeat()
{
    static const SmartSpline spline{{1, 4.217},   {20, 4.183}, {50, 4.181},  {80, 4.195}, {100, 4.22},
                                    {110, 4.233}, {120, 4.25}, {150, 4.313}, {180, 4.417}};
    return spline;
}

// Vapour pressure of ethylene-glycol solutions, °C : mm Hg, one column per
// reference concentration.
const double ethyleneVapourT[] = {0, 60, 71, 82, 88, 99, 110, 121, 132, 138, 149, 160, 166, 171, 177, 220};
constexpr int ethyleneVapourRows = sizeof(ethyleneVapourT) / sizeof(ethyleneVapourT[0]);

struct EthyleneVapourColumn
{
    double concentration;
    double mmHg[ethyleneVapourRows];
};

const EthyleneVapourColumn ethyleneVapour[] = {
    {20, {4, 139, 229, 363, 451, 682, 1004, 1441, 2023, 2378, 3240, 4337, 4986, 5711, 6517, 13000}},
    {40, {4, 125, 206, 326, 406, 614, 905, 1300, 1826, 2147, 2927, 3920, 4508, 5165, 5896, 11000}},
    {60, {4, 105, 172, 272, 339, 513, 757, 1088, 1531, 1801, 2458, 3297, 3794, 4350, 4969, 10000}},
};

// Vapour pressure of propylene-glycol solutions in the Antoine form
// p[mm Hg] = 10^(A - B/(T + 273.13)); the pure glycol has two ranges of T.
struct AntoineRow
{
    double concentration;
    double fromT; // the row applies from this temperature, °C
    double A;
    double B;
};

const AntoineRow propyleneAntoine[] = {
    {30, -INFINITY, 8.6843917, 2181.232536},
    {50, -INFINITY, 8.820539746, 2249.413602},
    {100, -INFINITY, 9.5157, 3039.0},
    {100, 130, 9.2317, 2925.2},
};

// Reference concentrations of the concentration splines, besides the 0 % point
// that is water itself.
const double propyleneVapourConcentrations[] = {30, 50, 100};
const double ethyleneVapourConcentrations[] = {20, 40, 60};

// Density of glycol solutions, °C : kg/m³.
struct DensityTable
{
    int substance;
    double concentration;
    SmartSpline spline;
};

const QVector<DensityTable>& glycolDensities()
{
    static const QVector<DensityTable> tables = {
        {stPropyleneGlycol, 25, {{0, 1030}, {60, 1003}, {100, 979}, {220, 950}}},
        {stPropyleneGlycol, 38, {{0, 1045}, {60, 1012}, {100, 982}, {220, 947}}},
        {stPropyleneGlycol, 47, {{0, 1054}, {60, 1015}, {100, 984}, {220, 940}}},
        {stPropyleneGlycol, 60, {{0, 1060}, {60, 1018}, {100, 985}, {220, 938}}},
        {stEthyleneGlycol, 20, {{0, 1030}, {50, 1012}, {100, 980}, {140, 947}, {170, 918}, {220, 865}}},
        {stEthyleneGlycol, 40, {{0, 1061}, {50, 1035}, {100, 1000}, {140, 966}, {170, 938}, {220, 888}}},
        {stEthyleneGlycol, 60, {{0, 1088}, {50, 1057}, {100, 1020}, {140, 986}, {170, 957}, {220, 907}}},
    };
    return tables;
}

// Specific heat of glycol solutions at the reference concentrations: straight
// lines cp = a + b·T, kJ/(kg·K).
struct HeatLine
{
    int substance;
    double concentration;
    double a;
    double b;
};

const HeatLine glycolHeatLines[] = {
    {stPropyleneGlycol, 25, 3.95, 0.0013}, {stPropyleneGlycol, 38, 3.72, 0.0028},
    {stPropyleneGlycol, 47, 3.56, 0.0033}, {stPropyleneGlycol, 60, 3.33, 0.0041},
    {stEthyleneGlycol, 20, 3.87, 0.0015},  {stEthyleneGlycol, 34, 3.56, 0.0028},
    {stEthyleneGlycol, 52, 3.19, 0.0037},  {stEthyleneGlycol, 100, 2.29, 0.0045},
};

// Specific heat of steam and of air, °C : kJ/(kg·K).
const SmartSpline& steamSpecificHeat()
{
    static const SmartSpline spline{{0, 1.861},   {50, 1.907},  {70, 1.942},  {100, 2.135},
                                    {120, 2.206}, {140, 2.315}, {160, 2.479}, {180, 2.709},
                                    {200, 3.023}, {220, 3.408}, {250, 4.158}};
    return spline;
}

const SmartSpline& airSpecificHeat()
{
    static const SmartSpline spline{{0, 1.005},   {50, 1.005},  {70, 1.009},  {100, 1.009}, {120, 1.009},
                                    {140, 1.013}, {160, 1.017}, {180, 1.022}, {200, 1.026}, {250, 1.037}};
    return spline;
}

// Specific heat of nitrogen by pressure, atm : kJ/(kg·K), at three temperatures.
struct NitrogenTable
{
    double T;
    SmartSpline spline;
};

const QVector<NitrogenTable>& nitrogenHeat()
{
    static const QVector<NitrogenTable> tables = {
        {0, {{1, 1.039}, {10, 1.055}, {20, 1.075}, {30, 1.095}}},
        {100, {{1, 1.042}, {10, 1.05}, {20, 1.058}, {30, 1.066}}},
        {300, {{1, 1.069}, {10, 1.072}, {20, 1.075}, {30, 1.077}}},
    };
    return tables;
}

// The ethylene-glycol vapour-pressure splines, one per reference concentration.
const QVector<SmartSpline>& ethyleneVapourSplines()
{
    static const QVector<SmartSpline> splines = [] {
        QVector<SmartSpline> result;
        const SubstanceProperties glycol(stEthyleneGlycol);
        for (const EthyleneVapourColumn& column : ethyleneVapour) {
            SmartSpline spline;
            glycol.steamPressureSpline(spline, column.concentration);
            result.append(spline);
        }
        return result;
    }();
    return splines;
}

// The last value of a property asked on this thread. One calculation asks for
// the same medium at the same point many times, and a solution's value needs a
// spline over the concentration built for that temperature: the value is kept
// rather than the spline rebuilt.
struct Remembered
{
    int substance = 0;
    double concentration = qQNaN();
    double x = qQNaN();
    double y = qQNaN();
    double value = 0;
};

template <typename Compute>
double remember(Remembered& slot, const SubstanceProperties& medium, double x, double y, Compute compute)
{
    if (slot.substance == medium.substance && slot.concentration == medium.concentration && slot.x == x &&
        slot.y == y)
        return slot.value;
    const double value = compute();
    slot = Remembered{medium.substance, medium.concentration, x, y, value};
    return value;
}

} // namespace

SubstanceProperties::SubstanceProperties(int substance, double concentration)
    : substance(substance), concentration(concentration)
{
}

bool SubstanceProperties::isLiquid() const
{
    return isOneOf(stWater, stPropyleneGlycol, stEthyleneGlycol);
}

bool SubstanceProperties::isSteam() const
{
    return isOneOf(stSuperheatedSteam, stSaturatedSteam);
}

bool SubstanceProperties::isGas() const
{
    return isOneOf(stAir, stNitrogen);
}

bool SubstanceProperties::isGlycol() const
{
    return isOneOf(stPropyleneGlycol, stEthyleneGlycol);
}

double SubstanceProperties::lowestTemperature() const
{
    if (is(stAir))
        return airSpecificHeat().points().constFirst().first;
    if (is(stNitrogen))
        return nitrogenHeat().constFirst().T;
    return 0;
}

double SubstanceProperties::steamPressure(double T) const
{
    if (isOneOf(stWater, stSuperheatedSteam, stSaturatedSteam))
        return waterSaturationPressure().value(T);

    // A solution: interpolate over the concentration between water (0 %) and
    // the reference solutions at the same temperature.
    const double* concentrations = nullptr;
    if (is(stEthyleneGlycol))
        concentrations = ethyleneVapourConcentrations;
    else if (is(stPropyleneGlycol))
        concentrations = propyleneVapourConcentrations;
    else {
        GEH_ASSERT(0);
        return 0;
    }
    thread_local Remembered last;
    return remember(last, *this, T, 0, [&] {
        SmartSpline overConcentration;
        overConcentration.addPoint(0, waterSaturationPressure().value(T));
        for (int i = 0; i < 3; ++i)
            overConcentration.addPoint(concentrations[i], steamPressureValue(T, concentrations[i]));
        overConcentration.build();
        return overConcentration.value(concentration);
    });
}

double SubstanceProperties::steamPressureValue(double T, double c) const
{
    if (is(stEthyleneGlycol)) {
        const QVector<SmartSpline>& splines = ethyleneVapourSplines();
        for (int i = 0; i < splines.size(); ++i) {
            if (tolerance::equal(ethyleneVapour[i].concentration, c))
                return splines[i].value(T) * paPerMmHg;
        }
        GEH_ASSERT(0);
        return 0;
    }
    if (is(stPropyleneGlycol)) {
        const AntoineRow* found = nullptr;
        for (const AntoineRow& row : propyleneAntoine) {
            if (tolerance::equal(row.concentration, c) && !tolerance::less(T, row.fromT))
                found = &row; // the last applicable row wins: the upper range of T
        }
        if (!GEH_ASSERT(found))
            return 0;
        return std::pow(10.0, found->A - found->B / (T + kelvinOffset)) * paPerMmHg;
    }
    GEH_ASSERT(0);
    return 0;
}

void SubstanceProperties::steamPressureSpline(SmartSpline& spline, double c) const
{
    for (const EthyleneVapourColumn& column : ethyleneVapour) {
        if (tolerance::equal(column.concentration, c)) {
            for (int i = 0; i < ethyleneVapourRows; ++i)
                spline.addPoint(ethyleneVapourT[i], column.mmHg[i]);
            spline.build();
            return;
        }
    }
    GEH_ASSERT(0);
}

double SubstanceProperties::density(double T) const
{
    if (is(stWater))
        return waterDensity().value(T);
    if (!isOneOf(stPropyleneGlycol, stEthyleneGlycol)) {
        GEH_ASSERT(0);
        return 1;
    }
    thread_local Remembered last;
    return remember(last, *this, T, 0, [&] {
        SmartSpline overConcentration;
        overConcentration.addPoint(0, waterDensity().value(T));
        for (const DensityTable& table : glycolDensities()) {
            if (table.substance == substance)
                overConcentration.addPoint(table.concentration, table.spline.value(T));
        }
        overConcentration.build();
        return overConcentration.value(concentration);
    });
}

double SubstanceProperties::densityValue(double T, double c) const
{
    for (const DensityTable& table : glycolDensities()) {
        if (table.substance == substance && tolerance::equal(table.concentration, c))
            return table.spline.value(T);
    }
    GEH_ASSERT(0);
    return 1;
}

double SubstanceProperties::densityN() const
{
    if (is(stAir))
        return 1.2759;
    if (is(stNitrogen))
        return 1.234;
    GEH_ASSERT(0);
    return 0;
}

double SubstanceProperties::densityOfSteam(double T, double P) const
{
    if (!GEH_ASSERT(isSteam()))
        return 1;
    return 1 / specificVolumeOfSteam(T, P);
}

double SubstanceProperties::specificVolumeOfSteam(double T, double P)
{
    // An equation of state of water steam in technical units: τ in hundreds of
    // kelvin, p in kgf/cm².
    const double tau = (T + kelvinOffset) / 100;
    const double p = P / 98066.5;
    return 0.4706 * tau / p - 0.9172 / std::pow(tau, 2.82) -
           p * p * (4.38e15 / std::pow(tau, 31.6) + 13100 / std::pow(tau, 14));
}

double SubstanceProperties::specificHeat(double T, double P) const
{
    double kJ = 0;
    if (is(stWater)) {
        kJ = waterSpecificHeat().value(T);
    } else if (isOneOf(stPropyleneGlycol, stEthyleneGlycol)) {
        thread_local Remembered last;
        kJ = remember(last, *this, T, 0, [&] {
            SmartSpline overConcentration;
            overConcentration.addPoint(0, waterSpecificHeat().value(T));
            for (const HeatLine& line : glycolHeatLines) {
                if (line.substance == substance)
                    overConcentration.addPoint(line.concentration, line.a + line.b * T);
            }
            overConcentration.build();
            return overConcentration.value(concentration);
        });
    } else if (isSteam()) {
        kJ = steamSpecificHeat().value(T);
    } else if (is(stAir)) {
        kJ = airSpecificHeat().value(T);
    } else if (is(stNitrogen)) {
        const SmartSpline overT{{0, nitrogenCp(0, P)}, {100, nitrogenCp(100, P)}, {300, nitrogenCp(300, P)}};
        kJ = overT.value(T);
    } else {
        GEH_ASSERT(0);
    }
    return kJ * kcalPerKJ;
}

double SubstanceProperties::nitrogenCp(double T, double P)
{
    for (const NitrogenTable& table : nitrogenHeat()) {
        if (tolerance::equal(table.T, T))
            return table.spline.value(P / 101325);
    }
    GEH_ASSERT(0);
    return 0;
}

double SubstanceProperties::findSteamSaturationTemperature(double P, double Tmin, double Tmax) const
{
    GEH_ASSERT(Tmin < Tmax);
    // A pressure that is not a number has no boiling temperature; without this
    // the halving below would never meet its 0.01 Pa goal.
    if (std::isnan(P))
        return P;
    // Halve the interval until the pressure at its middle is within 0.01 Pa of
    // P. The halving stops too when the interval can no longer shrink in double
    // precision, so a malformed interval cannot loop forever.
    for (;;) {
        if (tolerance::greater(P, steamPressure(Tmax)))
            return 221; // above every admissible temperature
        if (tolerance::less(P, steamPressure(Tmin)))
            return 0;
        const double Tm = (Tmin + Tmax) / 2;
        const double Pm = steamPressure(Tm);
        if (std::fabs(P - Pm) < 0.01 || !(Tmin < Tm && Tm < Tmax))
            return Tm;
        if (P < Pm)
            Tmax = Tm;
        else
            Tmin = Tm;
    }
}

double SubstanceProperties::saturationTemperature(double P) const
{
    const auto search = [&] {
        const double T = findSteamSaturationTemperature(P, 0, 388);
        return T < 0 ? 0 : T;
    };
    // Only media with a vapour curve: any other reports on every call.
    if (!isLiquid() && !isSteam())
        return search();
    thread_local Remembered last;
    return remember(last, *this, P, 0, search);
}
