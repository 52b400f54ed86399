// The task inputs and the unit conversions into Pa, m³/h, kg/h and Gcal/h, the
// heat-to-flow conversion of the worked examples, the device kinds the inputs
// stand for, the pressures before and after a device, and the 1e-10 tolerance.

#include "../core/tablerows.h"
#include "engine/inputparams.h"
#include "engine/regulatorinputparams.h"
#include "engine/tolerance.h"
#include "testsupport.h"

#include <cmath>

using namespace common;

namespace {

// Within a relative 1e-12.
#define ORX_CLOSE(actual, expected) ORX_NEAR(actual, expected, 1e-12 * std::max(1.0, std::fabs(expected)))

ValveInputParams valve(int pressureType, int measure, double P1, double P2)
{
    ValveInputParams in;
    in.valveType = dtLMK2, in.pressureType = pressureType, in.pressureMeasure = measure, in.P1 = P1,
    in.P2 = P2;
    return in;
}

const double rho20 = SubstanceProperties(stWater).density(20),
             rho100 = SubstanceProperties(stWater).density(100);
const double steam220 = SubstanceProperties::specificVolumeOfSteam(220, 480000);
const double steam160 = SubstanceProperties::specificVolumeOfSteam(160, 4e5);
const double warmer = 323.13 / 293.13;
const SubstanceProperties water(stWater), steam(stSuperheatedSteam), air(stAir);

// clang-format off
// Expected marks of equal, less, greater, lessOrEqual, greaterOrEqual.
const struct { const char* name; double a, b; const char* marks; } kTolerance[] = {
    {"within 1e-10 above is equal", 1.0 + 5e-11, 1.0, "=..<>"},
    {"exactly 1e-10 above zero is greater", 1e-10, 0.0, "..>.>"},
    {"exactly 1e-10 below zero is less", -1e-10, 0.0, ".<.<."},
    {"NaN compares to nothing", qQNaN(), 1.0, "....."},
    {"infinity over a number", qInf(), 1e300, "..>.>"},
    {"infinity against itself", qInf(), qInf(), "....."},
};

// Each pressure unit; gauge zero is the atmosphere, absolute zero is vacuum.
const struct { const char* name; int type, measure; double P1, P2, P1Pa, beforePa, afterPa; } kPressures[] = {
    {"bar, gauge", pkExcess, pmBar, 6, 0, 6e5, 701325, 101325},
    {"atm, gauge", pkExcess, pmAtm, 5, 3.2, 506625, 6 * 101325.0, 4.2 * 101325},
    {"MPa, absolute", pkAbsolute, pmMPa, 2.5, 0, 2.5e6, 2.5e6, 0},
    {"Pa, absolute", pkAbsolute, pmPa, 1234.5, 1000, 1234.5, 1234.5, 1000},
    {"kPa, gauge", pkExcess, pmKPa, 40, 0, 40000, 141325, 101325},
    {"m of water, gauge", pkExcess, pmMWater, 1, 0, 9806.65, 111131.65, 101325},
};

// A flow read as a volume at the device (m³/h) and as a mass (kg/h).
const struct { const char* name; int substance, measure; double flow, T; FlowCondition condition;
               DevicePosition point; double P1Pa, P2Pa, m3h, kgh; } kFlows[] = {
    {"water m³/h", 1, wfM3h, 12.5, 20, Working, Anywhere, 0, 0, 12.5, 12.5 * rho20},
    {"water l/h", 1, wfLh, 2500, 20, Working, Anywhere, 0, 0, 2.5, 2.5 * rho20},
    {"water l/min", 1, wfLmin, 100, 20, Working, Anywhere, 0, 0, 6, 6 * rho20},
    {"water l/s", 1, wfLs, 2, 20, Working, Anywhere, 0, 0, 7.2, 7.2 * rho20},
    {"water t/h at 100 °C", 1, wfTh, 1, 100, Working, Anywhere, 0, 0, 1000 / rho100, 1000},
    {"water kg/h, normal", 1, wfKgh, 998, 20, Norm, Anywhere, 0, 0, 998 / rho20, 998},
    {"water kg/s", 1, wfKgs, 1, 20, Working, Anywhere, 0, 0, 3600 / rho20, 3600},
    {"air normal volume", 21, wfM3h, 100, 80, Norm, Anywhere, 3e5, 2e5, 100, 127.59},
    {"air at the device, before it", 21, wfM3h, 100, 50, Working, BeforeDevice, 2 * 101325.0, 101325, 50 * warmer, 127.59},
    {"air at the device, after it", 21, wfM3h, 100, 50, Working, AfterDevice, 2 * 101325.0, 101325, 100 * warmer, 127.59},
    {"steam kg/h before the valve", 11, wfKgh, 1345.6, 220, Working, BeforeDevice, 480000, 350000, 1345.6 * steam220, 1345.6},
    {"steam kg/s after the valve", 13, wfKgs, 0.5, 160, Working, AfterDevice, 6e5, 4e5, 1800 * steam160, 1800},
};

// Flows from heat loads: cp at the mean temperature, the density at the supply temperature.
const struct { const char* name; int substance; double concentration, heat; int heatMeasure, flowMeasure;
               double T1, T2, expected, within; } kHeats[] = {
    {"propylene 50 %, 2.5 Gcal/h, t/h", 2, 50, 2.5, hmGcalH, wfTh, 100, 70, 91.8077, 1e-4},
    {"the same load in MW", 2, 50, 2.5 * 1.163, hmMWH, wfTh, 100, 70, 91.8077, 1e-4},
    {"the same load in GJ", 2, 50, 2.5 / 0.239, hmGJH, wfTh, 100, 70, 91.8077, 1e-4},
    {"water, 91 Gcal/h, m³/h", 1, 0, 91, hmGcalH, wfM3h, 100, 42, 1636.76, 0.01},
    {"temperatures equal within 1e-10 carry nothing", 1, 0, 1, hmGcalH, wfTh, 70, 70 + 5e-11, 0, 0},
    {"unknown heat unit carries nothing, unreported", 1, 0, 1, 2, wfTh, 90, 70, 0, 0},
};

// Forbidden combinations and unlisted codes: reported with their condition,
// then the neutral value, and the calculation goes on.
double volume(FlowCondition condition, DevicePosition point, double T, const SubstanceProperties& medium, int unit, double after)
{
    return UnitConversions::toQinM3(condition, point, 5, T, medium, unit, 101325, after);
}
const struct { const char* name; double (*call)(); double result; const char* condition; } kMisuses[] = {
    {"pressure unit none", [] { return UnitConversions::toPa(5, 0); }, 0, "0"},
    {"pressure anywhere", [] { return valve(pkAbsolute, pmPa, 1, 1).PAbsinPa(Anywhere); }, 0, "v != Anywhere"},
    {"normal volume of steam", [] { return volume(Norm, BeforeDevice, 100, steam, wfTh, 0); }, 8364.96, "!isWaterSteam"},
    {"steam given as a volume", [] { return volume(Working, BeforeDevice, 100, steam, wfM3h, 0); }, 5, "!isWaterSteam"},
    {"gas at the device needs a side", [] { return volume(Working, Anywhere, 20, air, wfM3h, 101325); }, 5, "condition == Norm || substance.isLiquid()"},
    {"gas at zero pressure", [] { return volume(Working, AfterDevice, 20, air, wfM3h, 0); }, 0, "isZero(pressure)"},
    {"unknown flow unit", [] { return volume(Working, Anywhere, 20, water, 5, 0); }, 0, "0"},
    {"mass of a steam volume", [] {
        ValveInputParams in = valve(pkAbsolute, pmPa, 101325, 101325);
        in.substance = stSaturatedSteam, in.flow = 5, in.flowMeasure = wfM3h, in.Tsupply = 100;
        return in.QinKg(); }, 0, "!substance.isSteam()"},
    {"heat carried by steam", [] { return UnitConversions::calcQbyHeat(1, hmGcalH, wfKgh, 200, 150, steam, 5e5); }, 0, "substance.isLiquid()"},
    {"differential regulator without a place", [] {
        RegulatorInputParams nowhere;
        nowhere.place = 0, nowhere.pressureMeasure = pmBar;
        return nowhere.PbeforeAbsInPa(); }, 0, "0"},
};

// Regulation, medium and return temperature: the device and its highest temperature.
const struct { const char* name; int regulation, substance; double T; int deviceType; double maxT; } kRegulators[] = {
    {"differential, water exactly 150 °C", 1, 1, 150, dtLMRD, 220},
    {"differential, water 160 °C", 1, 1, 160, dtLMR2P, 220},
    {"differential, steam", 1, 11, 200, dtLMRD, 220},
    {"differential, hidden temperature", 1, 1, qQNaN(), dtLMRD, 220},
    {"upstream", 2, 1, 160, dtLMR1, 150},
    {"downstream, water 151 °C", 3, 1, 151, dtLMR2P, 220},
    {"downstream, saturated steam", 3, 13, 150, dtLMR2P, 220},
    {"bypass", 4, 11, 200, dtLMR101, 220},
};

// Pпод 5, Pобр 3, ΔPрег 0.5, ΔPдр.под 0.3, ΔPдр.обр 0.2, P1 8, P2 4.1 (bar).
const struct { const char* name; int regulation, place, pressureType; double beforePa, afterPa; } kRegulatorPressures[] = {
    {"differential on the return pipe, gauge", 1, 2, 2, 471325, 421325},
    {"differential on the supply pipe, gauge", 1, 1, 2, 571325, 521325},
    {"upstream reads P1 and P2", 2, 2, 2, 901325, 511325},
    {"downstream, absolute", 3, 1, 1, 800000, 410000},
};
// clang-format on

} // namespace

class TestInputParams : public QObject
{
    Q_OBJECT

private slots:
    void toleranceRule_data() { tableRows(kTolerance); }
    void toleranceRule()
    {
        ORX_ROW(kTolerance);
        const auto mark = [](bool holds, char c) { return QLatin1Char(holds ? c : '.'); };
        const QString actual =
            QString() + mark(tolerance::equal(row.a, row.b), '=') + mark(tolerance::less(row.a, row.b), '<') +
            mark(tolerance::greater(row.a, row.b), '>') + mark(tolerance::lessOrEqual(row.a, row.b), '<') +
            mark(tolerance::greaterOrEqual(row.a, row.b), '>');
        QCOMPARE(actual, QLatin1String(row.marks));
        QCOMPARE(tolerance::isZero(row.a - row.b), row.marks[0] == '=');
    }

    void pressures_data() { tableRows(kPressures); }
    void pressures()
    {
        ORX_ROW(kPressures);
        orxtest::MessageCapture capture;
        const ValveInputParams in = valve(row.type, row.measure, row.P1, row.P2);
        ORX_CLOSE(UnitConversions::toPa(in.P1, row.measure), row.P1Pa);
        ORX_CLOSE(UnitConversions::fromPa(row.P1Pa, row.measure), in.P1);
        ORX_CLOSE(in.inBars(in.P1) * 100000 + in.inAtm(in.P1) * 101325, 2 * row.P1Pa);
        ORX_CLOSE(in.PAbsinPa(BeforeDevice), row.beforePa);
        ORX_CLOSE(in.PAbsinPa(AfterDevice), row.afterPa);
        ORX_CLOSE(in.Pbefore(), UnitConversions::fromPa(row.beforePa, row.measure));
        ORX_CLOSE(in.Pafter(), UnitConversions::fromPa(row.afterPa, row.measure));
        QCOMPARE(capture.count(), 0);
        // Above 2 bar the drop is high, within 1e-10 of it not.
        QCOMPARE(valve(pkExcess, pmBar, 5.01, 3).isHighPressureDrop(), true);
        QCOMPARE(valve(pkExcess, pmMPa, 0.3, 0.1).isHighPressureDrop(), false);
    }

    void flowUnits_data() { tableRows(kFlows); }
    // Each flow unit, directly and through the task of a valve, and the mass back in the unit.
    void flowUnits()
    {
        ORX_ROW(kFlows);
        orxtest::MessageCapture capture;
        const SubstanceProperties medium(row.substance);
        ORX_CLOSE(UnitConversions::toQinM3(row.condition, row.point, row.flow, row.T, medium, row.measure,
                                           row.P1Pa, row.P2Pa),
                  row.m3h);
        ValveInputParams in = valve(pkAbsolute, pmPa, row.P1Pa, row.P2Pa);
        in.substance = row.substance, in.flowMeasure = row.measure, in.flow = row.flow, in.Tsupply = row.T;
        ORX_CLOSE(in.toQinM3(row.condition, row.point), row.m3h);
        ORX_CLOSE(in.QinKg(), row.kgh);
        ORX_CLOSE(UnitConversions::QfromTones(row.kgh / 1000, row.measure, row.T, medium), row.flow);
        QCOMPARE(capture.count(), 0);
    }

    void flowFromHeat_data() { tableRows(kHeats); }
    void flowFromHeat()
    {
        ORX_ROW(kHeats);
        orxtest::MessageCapture capture;
        ORX_NEAR(UnitConversions::calcQbyHeat(row.heat, row.heatMeasure, row.flowMeasure, row.T1, row.T2,
                                              SubstanceProperties(row.substance, row.concentration), 500000),
                 row.expected, row.within);
        QCOMPARE(capture.count(), 0);
    }

    void internalErrorsAreReported_data() { tableRows(kMisuses); }
    void internalErrorsAreReported()
    {
        ORX_ROW(kMisuses);
        orxtest::MessageCapture capture;
        ORX_NEAR(row.call(), row.result, 0.01);
        QCOMPARE(capture.assertions().size(), 1);
        const QString report = capture.assertions().first();
        const QString condition = QString::fromUtf8(row.condition);
        QVERIFY2(report.endsWith(QLatin1Char('\n') + condition) ||
                     report.endsWith(QLatin1String("::") + condition),
                 qPrintable(report));
    }

    void regulatorKinds_data() { tableRows(kRegulators); }
    void regulatorKinds()
    {
        ORX_ROW(kRegulators);
        RegulatorInputParams in;
        // The supply temperature is not the working temperature on the return pipe.
        in.regulation = row.regulation, in.substance = row.substance, in.place = ipReturn;
        in.Treturn = row.T, in.Tsupply = 300;
        QCOMPARE(in.deviceType(), row.deviceType);
        QCOMPARE(in.isSteamDevice(), row.deviceType == dtLMR2P);
        QCOMPARE(in.maxTemperature(), row.maxT);
    }

    void regulatorPressures_data() { tableRows(kRegulatorPressures); }
    void regulatorPressures()
    {
        ORX_ROW(kRegulatorPressures);
        RegulatorInputParams in;
        in.regulation = row.regulation, in.place = row.place, in.pressureType = row.pressureType;
        in.pressureMeasure = pmBar;
        in.Psupply = 5, in.Preturn = 3, in.dPreg = 0.5, in.dPdrSupply = 0.3, in.dPdrReturn = 0.2;
        in.dPru = 1, in.P1 = 8, in.P2 = 4.1;
        ORX_CLOSE(in.PbeforeAbsInPa(), row.beforePa);
        ORX_CLOSE(in.PafterAbsInPa(), row.afterPa);
    }
};

ORX_CORE_TEST_MAIN(TestInputParams)
#include "tst_inputparams.moc"
