// The working media and the task inputs: tolerance, units, the regulators' devices and pressures, each branch
// of each property, steam, boiling, and the spline the property tables are read through. A misuse is reported
// and answered with a neutral value; the checks of the spline's core stop release builds too.

#include "engine/inputparams.h"
#include "engine/regulatorinputparams.h"
#include "engine/smartspline.h"
#include "engine/spline.h"
#include "engine/tolerance.h"
#include "testsupport.h"

#include <cstdlib>

using namespace common;
using orxtest::each;
using orxtest::figures;

namespace {

// Marks of equal, less, greater, lessOrEqual, greaterOrEqual, and isZero of the difference.
QString marks(double a, double b)
{
    const auto mark = [](bool holds, char c) { return QLatin1Char(holds ? c : '.'); };
    return QString() + mark(tolerance::equal(a, b), '=') + mark(tolerance::less(a, b), '<') +
           mark(tolerance::greater(a, b), '>') + mark(tolerance::lessOrEqual(a, b), '<') +
           mark(tolerance::greaterOrEqual(a, b), '>') + mark(tolerance::isZero(a - b), '0');
}

ValveInputParams valve(int pressureType, int measure, double P1, double P2, int substance = stWater,
                       int flowMeasure = wfM3h, double flow = 0, double T = 20)
{
    ValveInputParams in;
    std::tie(in.valveType, in.pressureType, in.pressureMeasure, in.substance, in.flowMeasure) =
        std::tuple(dtLMK2, pressureType, measure, substance, flowMeasure);
    std::tie(in.P1, in.P2, in.flow, in.Tsupply) = std::tuple(P1, P2, flow, T);
    return in;
}

// A pressure in Pa and back; the absolute pressures before and after the
// device in Pa and in the unit; the inlet pressure in bar and atm.
QString pressures(int type, int measure, double P1, double P2)
{
    const ValveInputParams in = valve(type, measure, P1, P2);
    const double pa = UnitConversions::toPa(P1, measure);
    return figures({pa, UnitConversions::fromPa(pa, measure), in.PAbsinPa(BeforeDevice),
                    in.PAbsinPa(AfterDevice), in.Pbefore(), in.Pafter(), in.inBars(P1), in.inAtm(P1)});
}

// A flow read as a volume at the device (m³/h), directly and through a valve
// task; as a mass (kg/h); and the mass back in the unit.
QString flow(int substance, int measure, double flow, double T, FlowCondition condition, DevicePosition point,
             double P1Pa = 0, double P2Pa = 0)
{
    const SubstanceProperties medium(substance);
    const ValveInputParams in = valve(pkAbsolute, pmPa, P1Pa, P2Pa, substance, measure, flow, T);
    return figures({UnitConversions::toQinM3(condition, point, flow, T, medium, measure, P1Pa, P2Pa),
                    in.toQinM3(condition, point), in.QinKg(),
                    UnitConversions::QfromTones(in.QinKg() / 1000, measure, T, medium)});
}

// The flow of a heat load: cp at the mean temperature, the density at the supply temperature.
QString heat(int substance, double concentration, double load, int heatMeasure, int flowMeasure, double T1,
             double T2)
{
    return figures({UnitConversions::calcQbyHeat(load, heatMeasure, flowMeasure, T1, T2,
                                                 SubstanceProperties(substance, concentration), 500000)});
}

double volume(FlowCondition condition, DevicePosition point, double T, int substance, int unit, double after)
{
    return UnitConversions::toQinM3(condition, point, 5, T, SubstanceProperties(substance), unit, 101325,
                                    after);
}

// The device of a regulation, medium and return temperature (the supply temperature is not the working one on
// the return pipe), whether it is the steam device, and its highest temperature.
QString regulator(int regulation, int substance, double T)
{
    RegulatorInputParams in;
    std::tie(in.regulation, in.substance, in.place, in.Treturn, in.Tsupply) =
        std::tuple(regulation, substance, ipReturn, T, 300);
    return figures({double(in.deviceType()), double(in.isSteamDevice()), in.maxTemperature()});
}

// Pпод 5, Pобр 3, ΔPрег 0.5, ΔPдр.под 0.3, ΔPдр.обр 0.2, P1 8, P2 4.1 (bar):
// the absolute pressures before and after the regulator, Pa.
QString regulatorPressures(int regulation, int place, int pressureType)
{
    RegulatorInputParams in;
    std::tie(in.regulation, in.place, in.pressureType, in.pressureMeasure) =
        std::tuple(regulation, place, pressureType, pmBar);
    std::tie(in.Psupply, in.Preturn, in.dPreg, in.dPdrSupply, in.dPdrReturn, in.dPru, in.P1, in.P2) =
        std::tuple(5, 3, 0.5, 0.3, 0.2, 1, 8, 4.1);
    return figures({in.PbeforeAbsInPa(), in.PafterAbsInPa()});
}

enum Property { Density, Vapour, Cp };

QString property(int substance, double concentration, Property which, double T, double P = 0)
{
    const SubstanceProperties medium(substance, concentration);
    return figures({which == Density  ? medium.density(T)
                    : which == Vapour ? medium.steamPressure(T)
                                      : medium.specificHeat(T, P)});
}

// Steam volume (m³/kg) at T °C and P Pa, and the density of both steams times it.
QString steamVolume(double T, double P)
{
    const double v = SubstanceProperties::specificVolumeOfSteam(T, P);
    return figures({v, SubstanceProperties(stSuperheatedSteam).densityOfSteam(T, P) * v,
                    SubstanceProperties(stSaturatedSteam).densityOfSteam(T, P) * v});
}

// The boiling temperature at P, whether the search over 0..388 °C finds the
// same, and the vapour pressure there.
QString boiling(int code, double concentration, double P)
{
    const SubstanceProperties medium(code, concentration);
    const double T = medium.saturationTemperature(P);
    return figures(
        {T, double(medium.findSteamSaturationTemperature(P, 0, 388) == T), medium.steamPressure(T)});
}

using Points = QVector<SmartSpline::Point>;
const Points kHat{{0, 0}, {1, 1}, {2, 0}};
const Points kCube{{0, 0}, {1, 1}, {2, 8}, {3, 27}};

QString spline(const Points& points, double x)
{
    const SmartSpline spline(points);
    return figures({spline.value(x), double(spline.initialized())});
}

// After a misuse: the value at 1 and whether the spline counts as built; then clear() starts over.
QString misused(void (*misuse)(SmartSpline&))
{
    SmartSpline spline;
    misuse(spline);
    const QString text = figures({spline.value(1), double(spline.initialized())});
    spline.clear();
    spline.addPoint(0, 1).addPoint(1, 1).addPoint(2, 1).build();
    return text + QLatin1String(" | ") + figures({spline.value(0.5)});
}

// Run as a child process with ORX_SPLINE_FATAL set: feeds the core what its
// checks refuse; the process must die before reaching the exit below.
const bool fatalProbe = [] {
    const QByteArray which = qgetenv("ORX_SPLINE_FATAL");
    if (which.isEmpty())
        return false;
    CubicSpline spline;
    BandMatrix m(3, 1, 1);
    if (which == "unordered abscissae")
        spline.setPoints({0, 2, 1}, {0, 1, 2});
    else if (which == "zero diagonal")
        m.lu_solve({1, 1, 1});
    else if (which == "element outside the bands")
        m(0, 2) = 1;
    std::exit(0);
}();

// What a question comes to. `check`: the one internal check it trips, by its
// condition or (ending in "()") by the function that reports it first.
// clang-format off
const struct { const char* name; QString (*run)(); const char* expected; const char* check = nullptr; } kOutcomes[] = {
    {"tolerance: 5e-11 off, 1e-10 above and below zero, NaN, infinity", [] { return each({marks(1.0 + 5e-11, 1.0), marks(1e-10, 0.0), marks(-1e-10, 0.0), marks(qQNaN(), 1.0), marks(qInf(), 1e300), marks(qInf(), qInf())}); }, "=..<>0 | ..>.>. | .<.<.. | ...... | ..>.>. | ......"},
    // Gauge zero is the atmosphere, absolute zero is vacuum.
    {"pressure: bar, atm, MPa gauge and absolute", [] { return each({pressures(pkExcess, pmBar, 6, 0), pressures(pkExcess, pmAtm, 5, 3.2), pressures(pkAbsolute, pmMPa, 2.5, 0)}); }, "600000 6 701325 101325 7.01325 1.01325 6 5.92154 | 506625 5 607950 425565 6 4.2 5.06625 5 | 2.5e+06 2.5 2.5e+06 0 2.5 0 25 24.6731"},
    {"pressure: Pa, kPa, m of water", [] { return each({pressures(pkAbsolute, pmPa, 1234.5, 1000), pressures(pkExcess, pmKPa, 40, 0), pressures(pkExcess, pmMWater, 1, 0)}); }, "1234.5 1234.5 1234.5 1000 1234.5 1000 0.012345 0.0121836 | 40000 40 141325 101325 141.325 101.325 0.4 0.394769 | 9806.65 1 111132 101325 11.3323 10.3323 0.0980665 0.0967841"},
    // Above 2 bar the drop is high, within 1e-10 of it not.
    {"pressure: high drop above 2 bar only", [] { return figures({double(valve(pkExcess, pmBar, 5.01, 3).isHighPressureDrop()), double(valve(pkExcess, pmMPa, 0.3, 0.1).isHighPressureDrop())}); }, "1 0"},
    {"flow: water m³/h, l/h, l/min, l/s", [] { return each({flow(1, wfM3h, 12.5, 20, Working, Anywhere), flow(1, wfLh, 2500, 20, Working, Anywhere), flow(1, wfLmin, 100, 20, Working, Anywhere), flow(1, wfLs, 2, 20, Working, Anywhere)}); }, "12.5 12.5 12475.8 12.5 | 2.5 2.5 2495.17 2500 | 6 6 5988.4 100 | 7.2 7.2 7186.08 2"},
    {"flow: water t/h at 100 °C, kg/h normal, kg/s", [] { return each({flow(1, wfTh, 1, 100, Working, Anywhere), flow(1, wfKgh, 998, 20, Norm, Anywhere), flow(1, wfKgs, 1, 20, Working, Anywhere)}); }, "1.04341 1.04341 1000 1 | 0.999933 0.999933 998 998 | 3.60697 3.60697 3600 1"},
    // Normal volume; then 323.13 / 293.13 K, at twice and once the atmosphere, before and after the device.
    {"flow: air", [] { return each({flow(21, wfM3h, 100, 80, Norm, Anywhere, 3e5, 2e5), flow(21, wfM3h, 100, 50, Working, BeforeDevice, 2 * 101325.0, 101325), flow(21, wfM3h, 100, 50, Working, AfterDevice, 2 * 101325.0, 101325)}); }, "100 100 127.59 100 | 55.1172 55.1172 127.59 100 | 110.234 110.234 127.59 100"},
    {"flow: steam kg/h before, kg/s after the valve", [] { return each({flow(11, wfKgh, 1345.6, 220, Working, BeforeDevice, 480000, 350000), flow(13, wfKgs, 0.5, 160, Working, AfterDevice, 6e5, 4e5)}); }, "624.165 624.165 1345.6 1345.6 | 871.57 871.57 1800 0.5"},
    {"heat: propylene 50 %, 2.5 Gcal/h, t/h; the same in MW and GJ", [] { return each({heat(2, 50, 2.5, hmGcalH, wfTh, 100, 70), heat(2, 50, 2.5 * 1.163, hmMWH, wfTh, 100, 70), heat(2, 50, 2.5 / 0.239, hmGJH, wfTh, 100, 70)}); }, "91.8077 | 91.8077 | 91.8077"},
    // Temperatures equal within 1e-10 and an unknown heat unit carry nothing, unreported.
    {"heat: water, 91 Gcal/h, m³/h; nothing carried", [] { return each({heat(1, 0, 91, hmGcalH, wfM3h, 100, 42), heat(1, 0, 1, hmGcalH, wfTh, 70, 70 + 5e-11), heat(1, 0, 1, 2, wfTh, 90, 70)}); }, "1636.76 | 0 | 0"},
    // Forbidden combinations and unlisted codes: reported, then the neutral value.
    {"misuse: pressure unit none", [] { return figures({UnitConversions::toPa(5, 0)}); }, "0", "0"},
    {"misuse: pressure anywhere", [] { return figures({valve(pkAbsolute, pmPa, 1, 1).PAbsinPa(Anywhere)}); }, "0", "v != Anywhere"},
    {"misuse: normal volume of steam", [] { return figures({volume(Norm, BeforeDevice, 100, stSuperheatedSteam, wfTh, 0)}); }, "8364.96", "!isWaterSteam"},
    {"misuse: steam given as a volume", [] { return figures({volume(Working, BeforeDevice, 100, stSuperheatedSteam, wfM3h, 0)}); }, "5", "!isWaterSteam"},
    {"misuse: gas at the device needs a side", [] { return figures({volume(Working, Anywhere, 20, stAir, wfM3h, 101325)}); }, "5", "condition == Norm || substance.isLiquid()"},
    {"misuse: gas at zero pressure", [] { return figures({volume(Working, AfterDevice, 20, stAir, wfM3h, 0)}); }, "0", "!tolerance::isZero(pressure)"},
    {"misuse: unknown flow unit", [] { return figures({volume(Working, Anywhere, 20, stWater, 5, 0)}); }, "0", "0"},
    {"misuse: mass of a steam volume", [] { return figures({valve(pkAbsolute, pmPa, 101325, 101325, stSaturatedSteam, wfM3h, 5, 100).QinKg()}); }, "0", "!substance.isSteam()"},
    {"misuse: heat carried by steam", [] { return figures({UnitConversions::calcQbyHeat(1, hmGcalH, wfKgh, 200, 150, SubstanceProperties(stSuperheatedSteam), 5e5)}); }, "0", "substance.isLiquid()"},
    {"misuse: differential regulator without a place", [] { return regulatorPressures(1, 0, 2).section(QLatin1Char(' '), 0, 0); }, "0", "0"},
    // Differential: water up to 150 °C, steam and a hidden temperature; upstream; downstream; bypass.
    {"regulator: devices", [] { return each({regulator(1, 1, 150), regulator(1, 1, 160), regulator(1, 11, 200), regulator(1, 1, qQNaN()), regulator(2, 1, 160), regulator(3, 1, 151), regulator(3, 13, 150), regulator(4, 11, 200)}); }, "200 0 220 | 205 1 220 | 200 0 220 | 200 0 220 | 210 0 150 | 205 1 220 | 205 1 220 | 220 0 220"},
    // Differential gauge on the return and the supply pipe; upstream reads P1 and P2; downstream absolute.
    {"regulator: pressures", [] { return each({regulatorPressures(1, 2, 2), regulatorPressures(1, 1, 2), regulatorPressures(2, 2, 2), regulatorPressures(3, 1, 1)}); }, "471325 421325 | 571325 521325 | 901325 511325 | 800000 410000"},
    // Liquids (L), steams (S) and gases; gases are read at normal conditions.
    {"media: the kinds of 0, 1, 2, 3, 11, 13, 21, 22", [] {
        QString kinds;
        for (int code : {0, 1, 2, 3, 11, 13, 21, 22}) {
            const SubstanceProperties medium(code, 40);
            kinds += QLatin1Char(medium.isLiquid() ? 'L' : medium.isSteam() ? 'S' : medium.isOneOf(99, 98, 97, code) && !medium.isOneOf(99, 98, 97, code + 1) ? '-' : '?');
        }
        return kinds; }, "-LLLSS--"},
    {"media: normal densities of air and nitrogen", [] { return figures({SubstanceProperties(stAir).densityN(), SubstanceProperties(stNitrogen).densityN()}); }, "1.2759 1.234"},
    // Concentrations beyond the tables are extrapolated, not clamped.
    {"media: propylene 70 % and ethylene 80 %, beyond the tables", [] { return property(2, 70, Density, 100) + QLatin1Char(' ') + property(3, 80, Vapour, 100); }, "985.258 55943.1"},
    // Each branch at a point of its table; solutions at 0 % are water; steam uses the water curve.
    {"property: water density 25 °C, vapour 100 °C, steam vapour 150 °C, cp 20 °C", [] { return each({property(1, 0, Density, 25), property(1, 0, Vapour, 100), property(13, 0, Vapour, 150), property(1, 0, Cp, 20)}); }, "997.09 | 101320 | 475720 | 0.9989"},
    {"property: density of propylene 60 % 220 °C, 0 %, ethylene 40 % 170 °C", [] { return each({property(2, 60, Density, 220), property(2, 0, Density, 50), property(3, 40, Density, 170)}); }, "938 | 988.07 | 938"},
    {"property: vapour of ethylene 20 %, 0 %, propylene 30 %", [] { return each({property(3, 20, Vapour, 60), property(3, 0, Vapour, 120), property(2, 30, Vapour, 80)}); }, "18531.5 | 198480 | 42897.6"},
    {"property: propylene 100 % vapour below and from 130 °C", [] { return each({property(2, 100, Vapour, 129), property(2, 100, Vapour, 130)}); }, "12115.4 | 12600.1"},
    {"property: cp of propylene 38 %, ethylene 0 %, steam, air, nitrogen at 20 atm", [] { return each({property(2, 38, Cp, 50), property(3, 0, Cp, 80), property(11, 0, Cp, 200), property(21, 0, Cp, 140), property(22, 0, Cp, 100, 20 * 101325.0)}); }, "0.921768 | 1.00177 | 0.721892 | 0.241904 | 0.25265"},
    // Boiling at one atmosphere; 220 °C before (4.8 bar) and after (3.5 bar) the valve.
    {"steam: volumes", [] { return each({steamVolume(100, 101325), steamVolume(220, 480000), steamVolume(220, 350000)}); }, "1.67299 1 1 | 0.463856 1 1 | 0.639995 1 1"},
    {"boiling: water at 101320 Pa, propylene 50 % at 2 bar", [] { return each({boiling(1, 0, 101320), boiling(2, 50, 200000)}); }, "100 1 101320 | 125.391 1 200000"},
    {"boiling: infinite, below the curve and negative pressures", [] { return each({boiling(1, 0, qInf()), boiling(1, 0, 100), boiling(13, 0, -5e5)}); }, "221 1 2.36348e+06 | 0 1 607.958 | 0 1 607.958"},
    // A property the medium does not have: reported, then the neutral value.
    {"missing: density of air", [] { return figures({SubstanceProperties(stAir).density(20)}); }, "1", "density()"},
    {"missing: vapour pressure of air", [] { return figures({SubstanceProperties(stAir).steamPressure(20)}); }, "0", "steamPressure()"},
    {"missing: normal density of water", [] { return figures({SubstanceProperties(stWater).densityN()}); }, "0", "densityN()"},
    {"missing: steam density of water", [] { return figures({SubstanceProperties(stWater).densityOfSteam(100, 101325)}); }, "1", "densityOfSteam()"},
    {"missing: density at 33 % propylene", [] { return figures({SubstanceProperties(stPropyleneGlycol).densityValue(20, 33)}); }, "1", "densityValue()"},
    {"missing: ethylene vapour at 30 %", [] { return figures({SubstanceProperties(stEthyleneGlycol).steamPressureValue(60, 30)}); }, "0", "steamPressureValue()"},
    {"missing: nitrogen at 50 °C", [] { return figures({SubstanceProperties::nitrogenCp(50, 101325)}); }, "0", "nitrogenCp()"},
    {"missing: specific heat of nothing", [] { return figures({SubstanceProperties(0).specificHeat(20, 101325)}); }, "0", "specificHeat()"},
    {"missing: saturation with reversed bounds", [] { return figures({SubstanceProperties(stWater).findSteamSaturationTemperature(101320, 200, 50)}); }, "221", "findSteamSaturationTemperature()"},
    // Values from the moment form of the natural spline, solved by hand; the
    // end slopes of the hat are ±1.5, of the cube 21.8.
    {"spline: hat at the middle point, between points, right and left tangents", [] { return each({spline(kHat, 1), spline(kHat, 0.5), spline(kHat, 3), spline(kHat, -1)}); }, "1 1 | 0.6875 1 | -1.5 1 | -1.5 1"},
    {"spline: cube, inner interval and right tangent", [] { return each({spline(kCube, 1.5), spline(kCube, 4)}); }, "3.15 1 | 48.8 1"},
    {"spline: uneven steps, at the last point, two points", [] { return each({spline({{0, 0}, {1, 1}, {3, 0}}, 2), spline({{-5, 3}, {-4.9, 2}, {0, 7}, {12.5, -1}, {100, 100}}, 100), spline({{1, 10}, {3, 20}}, 10)}); }, "0.875 1 | 100 1 | 55 1"},
    // A misused spline answers 1 at x = 1 while built, 0 when it refuses every evaluation.
    {"spline misuse: add after build", [] { return misused([](SmartSpline& s) { s.addPoint(0, 0).addPoint(1, 1).addPoint(2, 2).build(); s.addPoint(3, 100); }); }, "1 1 | 1", "!initialized()"},
    {"spline misuse: value before build", [] { return misused([](SmartSpline&) {}); }, "0 0 | 1", "initialized()"},
    {"spline misuse: one point", [] { return misused([](SmartSpline& s) { s.addPoint(1, 5).build(); }); }, "0 0 | 1", "m_points.size() > 1"},
    {"spline misuse: equal abscissae", [] { return misused([](SmartSpline& s) { s.addPoint(0, 0).addPoint(1, 1).addPoint(1, 2).build(); }); }, "0 0 | 1", "X[i] > X[i-1]"},
};

const struct { const char* name; const char* expression; } kFatal[] = {
    {"unordered abscissae", "m_x[i]<m_x[i+1]"},
    {"zero diagonal", "this->operator()(i,i)!=0.0"},
    {"element outside the bands", "(-num_lower()<=k) && (k<=num_upper())"},
};
// clang-format on

} // namespace

class TestMedia : public QObject
{
    Q_OBJECT

private slots:
    void outcomes_data() { tableRows(kOutcomes); }
    void outcomes()
    {
        ORX_ROW(kOutcomes);
        orxtest::MessageCapture capture;
        QCOMPARE(row.run(), QLatin1String(row.expected));
        const QString check = QLatin1String(row.check);
        QCOMPARE(capture.count() > 0, row.check != nullptr);
        if (row.check)
            QVERIFY2(check.endsWith(QLatin1String("()")) ? capture.assertions().value(0).contains(check)
                                                         : capture.conditions().value(0) == check,
                     qPrintable(capture.assertions().value(0)));
    }

    void coreChecksAreFatal_data() { tableRows(kFatal); }
    // Stopped by the check (this build defines NDEBUG), not by the exit after
    // it; the message names the core's file and the expression.
    void coreChecksAreFatal()
    {
        ORX_ROW(kFatal);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORX_SPLINE_FATAL"), QLatin1String(row.name));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("engine/spline.")) &&
                     err.contains(QStringLiteral("Assertion `%1' failed").arg(QLatin1String(row.expression))),
                 qPrintable(err));
    }
};

ORX_CORE_TEST_MAIN(TestMedia)
#include "tst_media.moc"
