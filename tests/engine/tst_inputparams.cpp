// The task inputs and the unit conversions into Pa, m³/h, kg/h and Gcal/h:
// every unit both ways, the gas volume at the device, the heat-to-flow
// conversion of the worked examples, the device kinds the inputs stand for,
// the pressures before and after a device, and the shared 1e-10 tolerance.

#include "engine/inputparams.h"
#include "engine/regulatorinputparams.h"
#include "engine/tolerance.h"
#include "testsupport.h"

#include <QtTest>

#include <cmath>
#include <functional>

using namespace common;

namespace {

bool near(double a, double b, double relative = 1e-12)
{
    return std::fabs(a - b) <= relative * std::max(1.0, std::fabs(b));
}

QByteArray show(double v)
{
    return QByteArray::number(v, 'g', 15);
}

double waterDensity(double T)
{
    return SubstanceProperties(stWater).density(T);
}

ValveInputParams valve(int pressureType, int measure, double P1, double P2)
{
    ValveInputParams in;
    in.valveType = dtLMK2;
    in.pressureType = pressureType;
    in.pressureMeasure = measure;
    in.P1 = P1;
    in.P2 = P2;
    in.dP = P1 - P2;
    return in;
}

struct VolumeCase
{
    int substance;
    int measure;
    double flow;
    double T;
    FlowCondition condition;
    DevicePosition point;
    double P1Pa;
    double P2Pa;
    double m3h;
};

struct HeatCase
{
    int substance;
    double concentration;
    double heat;
    int heatMeasure;
    int flowMeasure;
    double T1;
    double T2;
    double expected;
    double within;
};

} // namespace

using Call = std::function<double()>;
Q_DECLARE_METATYPE(VolumeCase)
Q_DECLARE_METATYPE(HeatCase)
Q_DECLARE_METATYPE(Call)

class TestInputParams : public QObject
{
    Q_OBJECT

private slots:
    void toleranceRule_data();
    void toleranceRule();
    void pressureUnits_data();
    void pressureUnits();
    void absolutePressures_data();
    void absolutePressures();
    void volumeFlow_data();
    void volumeFlow();
    void massUnitsBothWays_data();
    void massUnitsBothWays();
    void heatUnits();
    void flowFromHeat_data();
    void flowFromHeat();
    void flowFromHeatTakesDensityAtSupply();
    void internalErrorsAreReported_data();
    void internalErrorsAreReported();
    void highPressureDrop_data();
    void highPressureDrop();
    void valveKinds();
    void regulatorKinds_data();
    void regulatorKinds();
    void regulatorPressures_data();
    void regulatorPressures();
    void workingTemperature();
};

void TestInputParams::toleranceRule_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<QString>("expected"); // equal, less, greater, lessOrEqual, greaterOrEqual
    QTest::newRow("same") << 2.5 << 2.5 << "=..<>";
    QTest::newRow("within 1e-10 above") << 1.0 + 5e-11 << 1.0 << "=..<>";
    QTest::newRow("within 1e-10 below") << 1.0 - 5e-11 << 1.0 << "=..<>";
    QTest::newRow("exactly 1e-10 above zero") << 1e-10 << 0.0 << "..>.>";
    QTest::newRow("exactly 1e-10 below zero") << -1e-10 << 0.0 << ".<.<.";
    QTest::newRow("clearly less") << 1.0 << 2.0 << ".<.<.";
    QTest::newRow("NaN left") << qQNaN() << 1.0 << ".....";
    QTest::newRow("NaN right") << 1.0 << qQNaN() << ".....";
    QTest::newRow("infinity over a number") << qInf() << 1e300 << "..>.>";
    QTest::newRow("infinity against itself") << qInf() << qInf() << ".....";
}

void TestInputParams::toleranceRule()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(QString, expected);
    const auto mark = [](bool holds, char c) { return QLatin1Char(holds ? c : '.'); };
    QString actual;
    actual += mark(tolerance::equal(a, b), '=');
    actual += mark(tolerance::less(a, b), '<');
    actual += mark(tolerance::greater(a, b), '>');
    actual += mark(tolerance::lessOrEqual(a, b), '<');
    actual += mark(tolerance::greaterOrEqual(a, b), '>');
    QCOMPARE(actual, expected);
    QCOMPARE(tolerance::isZero(a - b), expected.at(0) == QLatin1Char('='));
}

void TestInputParams::pressureUnits_data()
{
    QTest::addColumn<int>("measure");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("pa");
    QTest::newRow("bar") << int(pmBar) << 6.0 << 600000.0;
    QTest::newRow("atm") << int(pmAtm) << 1.0 << 101325.0;
    QTest::newRow("MPa") << int(pmMPa) << 2.5 << 2500000.0;
    QTest::newRow("Pa") << int(pmPa) << 1234.5 << 1234.5;
    QTest::newRow("kPa") << int(pmKPa) << 40.0 << 40000.0;
    QTest::newRow("m of water") << int(pmMWater) << 1.0 << 9806.65;
    QTest::newRow("negative gauge value") << int(pmBar) << -0.5 << -50000.0;
}

void TestInputParams::pressureUnits()
{
    QFETCH(int, measure);
    QFETCH(double, value);
    QFETCH(double, pa);
    orxtest::MessageCapture capture;
    QVERIFY2(near(UnitConversions::toPa(value, measure), pa), show(UnitConversions::toPa(value, measure)));
    QVERIFY2(near(UnitConversions::fromPa(pa, measure), value), show(UnitConversions::fromPa(pa, measure)));
    ValveInputParams in;
    in.pressureMeasure = measure;
    QVERIFY(near(in.toPa(value), pa) && near(in.fromPa(pa), value));
    QVERIFY(near(in.inBars(value), pa / 100000));
    QVERIFY(near(in.inAtm(value), pa / 101325));
    QCOMPARE(capture.count(), 0);
}

void TestInputParams::absolutePressures_data()
{
    QTest::addColumn<int>("pressureType");
    QTest::addColumn<int>("measure");
    QTest::addColumn<double>("P1");
    QTest::addColumn<double>("P2");
    QTest::addColumn<double>("beforePa");
    QTest::addColumn<double>("afterPa");
    QTest::addColumn<double>("before"); // absolute, in the task's measure
    QTest::newRow("gauge zero is the atmosphere")
        << 2 << int(pmBar) << 0.0 << 0.0 << 101325.0 << 101325.0 << 1.01325;
    QTest::newRow("absolute zero is vacuum") << 1 << int(pmBar) << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("gauge atm") << 2 << int(pmAtm) << 5.0 << 3.2 << 6 * 101325.0 << 4.2 * 101325.0 << 6.0;
    QTest::newRow("absolute bar") << 1 << int(pmBar) << 4.8 << 3.5 << 480000.0 << 350000.0 << 4.8;
    QTest::newRow("gauge kPa") << 2 << int(pmKPa) << 600.0 << 500.0 << 701325.0 << 601325.0 << 701.325;
    QTest::newRow("gauge m of water")
        << 2 << int(pmMWater) << 10.0 << 0.0 << 98066.5 + 101325 << 101325.0 << 10 + 101325 / 9806.65;
}

void TestInputParams::absolutePressures()
{
    QFETCH(int, pressureType);
    QFETCH(int, measure);
    QFETCH(double, P1);
    QFETCH(double, P2);
    QFETCH(double, beforePa);
    QFETCH(double, afterPa);
    QFETCH(double, before);
    const ValveInputParams plain = valve(pressureType, measure, P1, P2);
    KvInputParams kv; // reads its pressures as any valve task does
    static_cast<ValveInputParams&>(kv) = plain;
    for (const ValveInputParams* in : {&plain, static_cast<const ValveInputParams*>(&kv)}) {
        QVERIFY2(near(in->PbeforeAbsInPa(), beforePa), show(in->PbeforeAbsInPa()));
        QVERIFY2(near(in->PafterAbsInPa(), afterPa), show(in->PafterAbsInPa()));
        QVERIFY2(near(in->Pbefore(), before), show(in->Pbefore()));
        QVERIFY(near(in->Pafter(), UnitConversions::fromPa(afterPa, measure)));
        QCOMPARE(in->PAbsinPa(BeforeDevice), in->PbeforeAbsInPa());
        QCOMPARE(in->PAbsinPa(AfterDevice), in->PafterAbsInPa());
    }
}

void TestInputParams::volumeFlow_data()
{
    QTest::addColumn<VolumeCase>("c");
    const double rho20 = waterDensity(20), rho100 = waterDensity(100);
    const double steamV = SubstanceProperties::specificVolumeOfSteam(220, 480000);
    QTest::newRow("water m³/h") << VolumeCase{1, wfM3h, 12.5, 20, Working, Anywhere, 0, 0, 12.5};
    QTest::newRow("water l/h") << VolumeCase{1, wfLh, 2500, 20, Working, Anywhere, 0, 0, 2.5};
    QTest::newRow("water l/min") << VolumeCase{1, wfLmin, 100, 20, Working, Anywhere, 0, 0, 6};
    QTest::newRow("water l/s") << VolumeCase{1, wfLs, 2, 20, Working, Anywhere, 0, 0, 7.2};
    QTest::newRow("water t/h at 100 °C")
        << VolumeCase{1, wfTh, 1, 100, Working, Anywhere, 0, 0, 1000 / rho100};
    QTest::newRow("water kg/h, normal") << VolumeCase{1, wfKgh, 998, 20, Norm, Anywhere, 0, 0, 998 / rho20};
    QTest::newRow("water 1 kg/s at 20 °C")
        << VolumeCase{1, wfKgs, 1, 20, Working, Anywhere, 0, 0, 3600 / rho20};
    QTest::newRow("glycol t/h at its own density")
        << VolumeCase{2,   wfTh,    91.8077,
                      100, Working, Anywhere,
                      0,   0,       91.8077 * 1000 / SubstanceProperties(stPropyleneGlycol, 0).density(100)};
    QTest::newRow("air at normal conditions stays")
        << VolumeCase{21, wfM3h, 1, 20, Working, AfterDevice, 0, 101325, 1};
    QTest::newRow("air normal volume") << VolumeCase{21, wfM3h, 100, 80, Norm, Anywhere, 3e5, 2e5, 100};
    QTest::newRow("air at the device, before it") << VolumeCase{
        21, wfM3h, 100, 50, Working, BeforeDevice, 2 * 101325.0, 101325, 100 * (323.13 / 293.13) / 2};
    QTest::newRow("air at the device, after it") << VolumeCase{
        21, wfM3h, 100, 50, Working, AfterDevice, 2 * 101325.0, 101325, 100 * (323.13 / 293.13)};
    QTest::newRow("air kg/h") << VolumeCase{21, wfKgh, 12.759, 20, Norm, Anywhere, 0, 0, 10};
    QTest::newRow("nitrogen t/h at the device") << VolumeCase{
        22, wfTh, 1.234, -20, Working, AfterDevice, 0, 5 * 101325.0, 1000 * (253.13 / 293.13) / 5};
    QTest::newRow("steam kg/h before the valve")
        << VolumeCase{11, wfKgh, 1345.6, 220, Working, BeforeDevice, 480000, 350000, 1345.6 * steamV};
    QTest::newRow("steam kg/s after the valve")
        << VolumeCase{13,  wfKgs,   0.5,
                      160, Working, AfterDevice,
                      6e5, 4e5,     1800 * SubstanceProperties::specificVolumeOfSteam(160, 4e5)};
}

void TestInputParams::volumeFlow()
{
    QFETCH(VolumeCase, c);
    orxtest::MessageCapture capture;
    const double Q = UnitConversions::toQinM3(c.condition, c.point, c.flow, c.T,
                                              SubstanceProperties(c.substance), c.measure, c.P1Pa, c.P2Pa);
    QVERIFY2(near(Q, c.m3h), show(Q) + " instead of " + show(c.m3h));
    // The same through the task of a valve with those pressures.
    ValveInputParams in = valve(1, pmPa, c.P1Pa, c.P2Pa);
    in.substance = c.substance;
    in.flowMeasure = c.measure;
    in.flow = c.flow;
    in.Tsupply = c.T;
    QVERIFY(near(in.toQinM3(c.condition, c.point), c.m3h));
    QCOMPARE(capture.count(), 0);
}

void TestInputParams::massUnitsBothWays_data()
{
    // A mass flow in t/h expressed in each unit, and the mass read back from it.
    QTest::addColumn<int>("substance");
    QTest::addColumn<int>("measure");
    QTest::addColumn<double>("tph");
    QTest::addColumn<double>("inMeasure");
    const double rho = waterDensity(94);
    QTest::newRow("water m³/h") << 1 << int(wfM3h) << 34.43 << 34430 / rho;
    QTest::newRow("water l/h") << 1 << int(wfLh) << 1.0 << 1e6 / rho;
    QTest::newRow("water l/min") << 1 << int(wfLmin) << 1.0 << 1e6 / rho / 60;
    QTest::newRow("water l/s") << 1 << int(wfLs) << 1.0 << 1e6 / rho / 3600;
    QTest::newRow("water t/h") << 1 << int(wfTh) << 0.1 << 0.1;
    QTest::newRow("water kg/h") << 1 << int(wfKgh) << 0.1 << 100.0;
    QTest::newRow("water kg/s") << 1 << int(wfKgs) << 3.6 << 1.0;
    QTest::newRow("air normal m³/h") << 21 << int(wfM3h) << 1.2759 << 1000.0;
    QTest::newRow("nitrogen normal l/s") << 22 << int(wfLs) << 1.234 * 3.6 << 1000.0;
    QTest::newRow("steam kg/h") << 11 << int(wfKgh) << 1.3456 << 1345.6;
    QTest::newRow("steam t/h") << 13 << int(wfTh) << 1.5 << 1.5;
}

void TestInputParams::massUnitsBothWays()
{
    QFETCH(int, substance);
    QFETCH(int, measure);
    QFETCH(double, tph);
    QFETCH(double, inMeasure);
    orxtest::MessageCapture capture;
    const double v = UnitConversions::QfromTones(tph, measure, 94, SubstanceProperties(substance));
    QVERIFY2(near(v, inMeasure), show(v));
    ValveInputParams in = valve(2, pmBar, 5, 3);
    in.substance = substance;
    in.flowMeasure = measure;
    in.flow = inMeasure;
    in.place = ipReturn;
    in.Treturn = 94;
    QVERIFY2(near(in.QinKg(), tph * 1000), show(in.QinKg()));
    QCOMPARE(capture.count(), 0);
}

void TestInputParams::heatUnits()
{
    orxtest::MessageCapture capture;
    QCOMPARE(UnitConversions::toGKal(2.5, hmGcalH), 2.5);
    QCOMPARE(UnitConversions::toGKal(1.163, hmMWH), 1.0);
    QVERIFY(near(UnitConversions::toGKal(10, hmGJH), 2.39));
    QCOMPARE(capture.count(), 0);
}

void TestInputParams::flowFromHeat_data()
{
    // The flows of the worked selection examples, derived from their heat loads.
    QTest::addColumn<HeatCase>("c");
    QTest::newRow("propylene 50 %, 2.5 Gcal/h, t/h")
        << HeatCase{2, 50, 2.5, hmGcalH, wfTh, 100, 70, 91.8077, 1e-4};
    QTest::newRow("the same load in MW") << HeatCase{2, 50, 2.5 * 1.163, hmMWH, wfTh, 100, 70, 91.8077, 1e-4};
    QTest::newRow("the same load in GJ") << HeatCase{2, 50, 2.5 / 0.239, hmGJH, wfTh, 100, 70, 91.8077, 1e-4};
    QTest::newRow("water, 91 Gcal/h, m³/h") << HeatCase{1, 0, 91, hmGcalH, wfM3h, 100, 42, 1636.76, 0.01};
    QTest::newRow("water, 1 Gcal/h, t/h") << HeatCase{1, 0, 1, hmGcalH, wfTh, 94, 65, 34.43, 0.005};
    QTest::newRow("propylene 10 %, 2 Gcal/h, m³/h")
        << HeatCase{2, 10, 2, hmGcalH, wfM3h, 100, 46, 38.71, 0.005};
    QTest::newRow("water, 0.15 Gcal/h, m³/h") << HeatCase{1, 0, 0.15, hmGcalH, wfM3h, 100, 47.5, 2.98, 0.005};
    QTest::newRow("equal temperatures carry nothing") << HeatCase{1, 0, 1, hmGcalH, wfTh, 70, 70, 0, 0};
    QTest::newRow("equal within 1e-10") << HeatCase{1, 0, 1, hmGcalH, wfTh, 70, 70 + 5e-11, 0, 0};
}

void TestInputParams::flowFromHeat()
{
    QFETCH(HeatCase, c);
    orxtest::MessageCapture capture;
    const double G = UnitConversions::calcQbyHeat(c.heat, c.heatMeasure, c.flowMeasure, c.T1, c.T2,
                                                  SubstanceProperties(c.substance, c.concentration), 500000);
    QVERIFY2(std::fabs(G - c.expected) <= c.within, show(G));
    QCOMPARE(capture.count(), 0);
}

void TestInputParams::flowFromHeatTakesDensityAtSupply()
{
    const SubstanceProperties water(stWater);
    const double tons = UnitConversions::calcQbyHeat(1, hmGcalH, wfTh, 94, 65, water, 200000);
    const double cubic = UnitConversions::calcQbyHeat(1, hmGcalH, wfM3h, 94, 65, water, 200000);
    QVERIFY2(near(cubic, tons * 1000 / water.density(94)), show(cubic));
    // The heat balance itself: G·cp·ΔT with cp at the mean temperature.
    QVERIFY(near(tons * 1000 * water.specificHeat(79.5, 200000) * 29, 1e6));
}

void TestInputParams::internalErrorsAreReported_data()
{
    // Forbidden combinations and unlisted codes: reported with their condition,
    // then the neutral value, and the calculation goes on.
    QTest::addColumn<Call>("call");
    QTest::addColumn<double>("result");
    QTest::addColumn<QString>("condition");
    const SubstanceProperties steam(stSuperheatedSteam), air(stAir), water(stWater);
    ValveInputParams in = valve(1, pmPa, 101325, 101325);
    in.Tsupply = 100;
    in.flow = 5;
    in.substance = stSaturatedSteam;
    in.flowMeasure = wfM3h;
    ValveInputParams noUnit = in;
    noUnit.substance = stWater;
    noUnit.flowMeasure = 0;
    RegulatorInputParams nowhere;
    nowhere.place = 0;
    nowhere.pressureMeasure = pmBar;
    QTest::newRow("pressure unit none") << Call([] { return UnitConversions::toPa(5, 0); }) << 0.0 << "0";
    QTest::newRow("pressure unit not chosen")
        << Call([] { return UnitConversions::fromPa(5, -1); }) << 0.0 << "0";
    QTest::newRow("pressure past the table")
        << Call([] { return UnitConversions::toPa(5, 7); }) << 0.0 << "0";
    QTest::newRow("pressure anywhere")
        << Call([=] { return in.PAbsinPa(Anywhere); }) << 0.0 << "v != Anywhere";
    QTest::newRow("normal volume of steam")
        << Call([=] { return UnitConversions::toQinM3(Norm, BeforeDevice, 1, 100, steam, wfTh, 101325, 0); })
        << 1000 * SubstanceProperties::specificVolumeOfSteam(100, 101325) << "!isWaterSteam";
    QTest::newRow("steam given as a volume") << Call([=] {
        return UnitConversions::toQinM3(Working, BeforeDevice, 5, 100, steam, wfM3h, 101325, 0);
    }) << 5.0 << "!isWaterSteam";
    QTest::newRow("gas at the device needs a side") << Call([=] {
        return UnitConversions::toQinM3(Working, Anywhere, 5, 20, air, wfM3h, 101325, 101325);
    }) << 5.0 << "condition == Norm || substance.isLiquid()";
    QTest::newRow("gas at zero pressure")
        << Call([=] { return UnitConversions::toQinM3(Working, AfterDevice, 5, 20, air, wfM3h, 101325, 0); })
        << 0.0 << "isZero(pressure)";
    QTest::newRow("unknown flow unit")
        << Call([=] { return UnitConversions::toQinM3(Working, Anywhere, 5, 20, water, 5, 0, 0); }) << 0.0
        << "0";
    QTest::newRow("mass of a steam volume")
        << Call([=] { return in.QinKg(); }) << 0.0 << "!substance.isSteam()";
    QTest::newRow("mass in an unknown unit") << Call([=] { return noUnit.QinKg(); }) << 5.0 << "0";
    QTest::newRow("tons into an unknown unit")
        << Call([=] { return UnitConversions::QfromTones(5, 11, 20, water); }) << 5.0 << "0";
    QTest::newRow("heat in an unknown unit")
        << Call([] { return UnitConversions::toGKal(7, 2); }) << 7.0 << "0";
    QTest::newRow("heat carried by steam")
        << Call([=] { return UnitConversions::calcQbyHeat(1, hmGcalH, wfKgh, 200, 150, steam, 5e5); }) << 0.0
        << "substance.isLiquid()";
    QTest::newRow("differential regulator without a place")
        << Call([=] { return nowhere.PbeforeAbsInPa(); }) << 0.0 << "0";
}

void TestInputParams::internalErrorsAreReported()
{
    QFETCH(Call, call);
    QFETCH(double, result);
    QFETCH(QString, condition);
    orxtest::MessageCapture capture;
    const double v = call();
    QVERIFY2(near(v, result, 1e-12), show(v));
    QCOMPARE(capture.assertions().size(), 1);
    QVERIFY2(capture.assertions().first().endsWith(QLatin1Char('\n') + condition) ||
                 capture.assertions().first().endsWith(QLatin1String("::") + condition),
             qPrintable(capture.assertions().first()));
}

void TestInputParams::highPressureDrop_data()
{
    QTest::addColumn<int>("pressureType");
    QTest::addColumn<int>("measure");
    QTest::addColumn<double>("P1");
    QTest::addColumn<double>("P2");
    QTest::addColumn<bool>("high");
    QTest::newRow("exactly 2 bar, gauge") << 2 << int(pmBar) << 5.0 << 3.0 << false;
    QTest::newRow("exactly 2 bar, absolute") << 1 << int(pmBar) << 5.0 << 3.0 << false;
    QTest::newRow("exactly 0.2 MPa, rounding below 1e-10") << 2 << int(pmMPa) << 0.3 << 0.1 << false;
    QTest::newRow("2.01 bar") << 2 << int(pmBar) << 5.01 << 3.0 << true;
    QTest::newRow("2 atm is above 2 bar") << 2 << int(pmAtm) << 3.0 << 1.0 << true;
    QTest::newRow("200 kPa") << 1 << int(pmKPa) << 300.0 << 100.0 << false;
    QTest::newRow("21 m of water") << 2 << int(pmMWater) << 30.0 << 9.0 << true;
}

void TestInputParams::highPressureDrop()
{
    QFETCH(int, pressureType);
    QFETCH(int, measure);
    QFETCH(double, P1);
    QFETCH(double, P2);
    QFETCH(bool, high);
    QCOMPARE(valve(pressureType, measure, P1, P2).isHighPressureDrop(), high);
}

void TestInputParams::valveKinds()
{
    // The Kv task starts as the steam valve and allows 220 °C whatever the valve.
    KvInputParams kv;
    ValveInputParams plain;
    QCOMPARE(kv.deviceType(), int(dtLMKP));
    QCOMPARE(plain.deviceType(), int(dtEmpty));
    struct Row
    {
        int valveType;
        bool steam;
        double maxT;
    };
    for (const Row& r : {Row{dtEmpty, false, 150}, Row{dtLMKP, true, 220}, Row{dtLMK2, false, 150},
                         Row{dtLMK3, false, 150}}) {
        kv.valveType = plain.valveType = r.valveType;
        for (const InputParams* in :
             {static_cast<const InputParams*>(&kv), static_cast<const InputParams*>(&plain)}) {
            QCOMPARE(in->deviceType(), r.valveType);
            QCOMPARE(in->isSteamDevice(), r.steam);
            QCOMPARE(in->maxTemperature(), in == &kv ? 220.0 : r.maxT);
        }
    }
}

void TestInputParams::regulatorKinds_data()
{
    QTest::addColumn<int>("regulation");
    QTest::addColumn<int>("substance");
    QTest::addColumn<double>("T");
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<double>("maxT");
    QTest::newRow("differential, water 100 °C") << 1 << 1 << 100.0 << int(dtLMRD) << 220.0;
    QTest::newRow("differential, water exactly 150 °C") << 1 << 1 << 150.0 << int(dtLMRD) << 220.0;
    QTest::newRow("differential, water 160 °C") << 1 << 1 << 160.0 << int(dtLMR2P) << 220.0;
    QTest::newRow("differential, glycol 151 °C") << 1 << 3 << 151.0 << int(dtLMR2P) << 220.0;
    QTest::newRow("differential, steam") << 1 << 11 << 200.0 << int(dtLMRD) << 220.0;
    QTest::newRow("differential, hidden temperature") << 1 << 1 << qQNaN() << int(dtLMRD) << 220.0;
    QTest::newRow("upstream") << 2 << 1 << 160.0 << int(dtLMR1) << 150.0;
    QTest::newRow("downstream, water 100 °C") << 3 << 1 << 100.0 << int(dtLMRD) << 220.0;
    QTest::newRow("downstream, water 151 °C") << 3 << 1 << 151.0 << int(dtLMR2P) << 220.0;
    QTest::newRow("downstream, saturated steam") << 3 << 13 << 150.0 << int(dtLMR2P) << 220.0;
    QTest::newRow("downstream, air") << 3 << 21 << 20.0 << int(dtLMR2P) << 220.0;
    QTest::newRow("bypass") << 4 << 11 << 200.0 << int(dtLMR101) << 220.0;
}

void TestInputParams::regulatorKinds()
{
    QFETCH(int, regulation);
    QFETCH(int, substance);
    QFETCH(double, T);
    QFETCH(int, deviceType);
    QFETCH(double, maxT);
    RegulatorInputParams in;
    in.regulation = regulation;
    in.substance = substance;
    in.place = ipReturn;
    in.Treturn = T;
    in.Tsupply = 300; // not the working temperature on the return pipe
    QCOMPARE(in.deviceType(), deviceType);
    QCOMPARE(in.isSteamDevice(), deviceType == dtLMR2P);
    QCOMPARE(in.maxTemperature(), maxT);
}

void TestInputParams::regulatorPressures_data()
{
    // Pпод 5, Pобр 3, ΔPрег 0.5, ΔPдр.под 0.3, ΔPдр.обр 0.2, P1 8, P2 4.1 (bar).
    QTest::addColumn<int>("regulation");
    QTest::addColumn<int>("place");
    QTest::addColumn<int>("pressureType");
    QTest::addColumn<double>("beforePa");
    QTest::addColumn<double>("afterPa");
    QTest::newRow("differential on the return pipe, gauge") << 1 << 2 << 2 << 471325.0 << 421325.0;
    QTest::newRow("differential on the return pipe, absolute") << 1 << 2 << 1 << 370000.0 << 320000.0;
    QTest::newRow("differential on the supply pipe, gauge") << 1 << 1 << 2 << 571325.0 << 521325.0;
    QTest::newRow("upstream reads P1 and P2") << 2 << 2 << 2 << 901325.0 << 511325.0;
    QTest::newRow("downstream, absolute") << 3 << 1 << 1 << 800000.0 << 410000.0;
    QTest::newRow("bypass") << 4 << 1 << 1 << 800000.0 << 410000.0;
}

void TestInputParams::regulatorPressures()
{
    QFETCH(int, regulation);
    QFETCH(int, place);
    QFETCH(int, pressureType);
    QFETCH(double, beforePa);
    QFETCH(double, afterPa);
    RegulatorInputParams in;
    in.regulation = regulation;
    in.place = place;
    in.pressureType = pressureType;
    in.pressureMeasure = pmBar;
    in.Psupply = 5;
    in.Preturn = 3;
    in.dPreg = 0.5;
    in.dPdrSupply = 0.3;
    in.dPdrReturn = 0.2;
    in.dPru = 1;
    in.P1 = 8;
    in.P2 = 4.1;
    QVERIFY2(near(in.PbeforeAbsInPa(), beforePa), show(in.PbeforeAbsInPa()));
    QVERIFY2(near(in.PafterAbsInPa(), afterPa), show(in.PafterAbsInPa()));
}

void TestInputParams::workingTemperature()
{
    ValveInputParams in;
    QVERIFY(std::isnan(in.Tsupply) && std::isnan(in.Treturn) && std::isnan(in.temperature()));
    in.Tsupply = 94;
    in.Treturn = 65;
    QCOMPARE(in.temperature(), 94.0);
    in.place = ipReturn;
    QCOMPARE(in.temperature(), 65.0);
    in.substance = stPropyleneGlycol;
    in.concentration = 50;
    QCOMPARE(in.substanceProperties().substance, int(stPropyleneGlycol));
    QCOMPARE(in.substanceProperties().concentration, 50.0);
    in.flow = 12.5;
    QCOMPARE(in.Q(), 12.5);
}

ORX_CORE_TEST_MAIN(TestInputParams)
#include "tst_inputparams.moc"
