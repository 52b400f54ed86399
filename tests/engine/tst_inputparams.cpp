// The task inputs and the unit conversions into Pa, m³/h, kg/h and Gcal/h, the
// heat-to-flow conversion of the worked examples, the device kinds the inputs
// stand for, the pressures before and after a device, and the 1e-10 tolerance.

#include "engine/inputparams.h"
#include "engine/regulatorinputparams.h"
#include "engine/tolerance.h"
#include "testsupport.h"

#include <cmath>
#include <functional>

using namespace common;

namespace {

bool near(double a, double b, double relative = 1e-12)
{
    return std::fabs(a - b) <= relative * std::max(1.0, std::fabs(b));
}

using orxtest::show;

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
    return in;
}

struct FlowCase
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
    double kgh;
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
Q_DECLARE_METATYPE(FlowCase)
Q_DECLARE_METATYPE(HeatCase)
Q_DECLARE_METATYPE(ValveInputParams)
Q_DECLARE_METATYPE(Call)

class TestInputParams : public QObject
{
    Q_OBJECT

private slots:
    void toleranceRule_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<QString>("expected"); // equal, less, greater, lessOrEqual, greaterOrEqual
        QTest::newRow("within 1e-10 above") << 1.0 + 5e-11 << 1.0 << "=..<>";
        QTest::newRow("exactly 1e-10 above zero") << 1e-10 << 0.0 << "..>.>";
        QTest::newRow("exactly 1e-10 below zero") << -1e-10 << 0.0 << ".<.<.";
        QTest::newRow("NaN left") << qQNaN() << 1.0 << ".....";
        QTest::newRow("infinity over a number") << qInf() << 1e300 << "..>.>";
        QTest::newRow("infinity against itself") << qInf() << qInf() << ".....";
    }

    void toleranceRule()
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

    // Each pressure unit, and the absolute pressures of gauge and absolute
    // tasks: gauge zero is the atmosphere, absolute zero is vacuum.
    void pressures_data()
    {
        QTest::addColumn<ValveInputParams>("in");
        QTest::addColumn<double>("P1Pa");
        QTest::addColumn<double>("beforePa");
        QTest::addColumn<double>("afterPa");
        QTest::newRow("bar, gauge") << valve(pkExcess, pmBar, 6, 0) << 6e5 << 701325.0 << 101325.0;
        QTest::newRow("atm, gauge") << valve(pkExcess, pmAtm, 5, 3.2) << 506625.0 << 6 * 101325.0
                                    << 4.2 * 101325.0;
        QTest::newRow("MPa, absolute") << valve(pkAbsolute, pmMPa, 2.5, 0) << 2.5e6 << 2.5e6 << 0.0;
        QTest::newRow("Pa, absolute") << valve(pkAbsolute, pmPa, 1234.5, 1000) << 1234.5 << 1234.5 << 1000.0;
        QTest::newRow("kPa, gauge") << valve(pkExcess, pmKPa, 40, 0) << 40000.0 << 141325.0 << 101325.0;
        QTest::newRow("m of water, gauge")
            << valve(pkExcess, pmMWater, 1, 0) << 9806.65 << 111131.65 << 101325.0;
    }

    void pressures()
    {
        QFETCH(ValveInputParams, in);
        QFETCH(double, P1Pa);
        QFETCH(double, beforePa);
        QFETCH(double, afterPa);
        orxtest::MessageCapture capture;
        const int measure = in.pressureMeasure;
        QVERIFY2(near(UnitConversions::toPa(in.P1, measure), P1Pa),
                 show(UnitConversions::toPa(in.P1, measure)));
        QVERIFY(near(UnitConversions::fromPa(P1Pa, measure), in.P1));
        QVERIFY(near(in.inBars(in.P1), P1Pa / 100000));
        QVERIFY(near(in.inAtm(in.P1), P1Pa / 101325));
        QVERIFY2(near(in.PAbsinPa(BeforeDevice), beforePa), show(in.PbeforeAbsInPa()));
        QVERIFY2(near(in.PAbsinPa(AfterDevice), afterPa), show(in.PafterAbsInPa()));
        QVERIFY(near(in.Pbefore(), UnitConversions::fromPa(beforePa, measure)));
        QVERIFY(near(in.Pafter(), UnitConversions::fromPa(afterPa, measure)));
        QCOMPARE(capture.count(), 0);
    }

    // Each flow unit read as a volume at the device and as a mass, and the mass
    // expressed back in the unit.
    void flowUnits_data()
    {
        QTest::addColumn<FlowCase>("c");
        const double rho20 = waterDensity(20), rho100 = waterDensity(100);
        const double steam220 = SubstanceProperties::specificVolumeOfSteam(220, 480000);
        const double steam160 = SubstanceProperties::specificVolumeOfSteam(160, 4e5);
        const double warmer = 323.13 / 293.13;
        QTest::newRow("water m³/h") << FlowCase{1,        wfM3h, 12.5, 20,   Working,
                                                Anywhere, 0,     0,    12.5, 12.5 * rho20};
        QTest::newRow("water l/h") << FlowCase{1, wfLh, 2500, 20, Working, Anywhere, 0, 0, 2.5, 2.5 * rho20};
        QTest::newRow("water l/min") << FlowCase{1, wfLmin, 100, 20, Working, Anywhere, 0, 0, 6, 6 * rho20};
        QTest::newRow("water l/s") << FlowCase{1, wfLs, 2, 20, Working, Anywhere, 0, 0, 7.2, 7.2 * rho20};
        QTest::newRow("water t/h at 100 °C")
            << FlowCase{1, wfTh, 1, 100, Working, Anywhere, 0, 0, 1000 / rho100, 1000};
        QTest::newRow("water kg/h, normal")
            << FlowCase{1, wfKgh, 998, 20, Norm, Anywhere, 0, 0, 998 / rho20, 998};
        QTest::newRow("water kg/s") << FlowCase{1, wfKgs, 1, 20, Working, Anywhere, 0, 0, 3600 / rho20, 3600};
        QTest::newRow("air normal volume")
            << FlowCase{21, wfM3h, 100, 80, Norm, Anywhere, 3e5, 2e5, 100, 127.59};
        QTest::newRow("air at the device, before it")
            << FlowCase{21, wfM3h, 100, 50, Working, BeforeDevice, 2 * 101325.0, 101325, 50 * warmer, 127.59};
        QTest::newRow("air at the device, after it")
            << FlowCase{21, wfM3h, 100, 50, Working, AfterDevice, 2 * 101325.0, 101325, 100 * warmer, 127.59};
        QTest::newRow("steam kg/h before the valve") << FlowCase{
            11, wfKgh, 1345.6, 220, Working, BeforeDevice, 480000, 350000, 1345.6 * steam220, 1345.6};
        QTest::newRow("steam kg/s after the valve")
            << FlowCase{13, wfKgs, 0.5, 160, Working, AfterDevice, 6e5, 4e5, 1800 * steam160, 1800};
    }

    void flowUnits()
    {
        QFETCH(FlowCase, c);
        orxtest::MessageCapture capture;
        const SubstanceProperties medium(c.substance);
        const double Q =
            UnitConversions::toQinM3(c.condition, c.point, c.flow, c.T, medium, c.measure, c.P1Pa, c.P2Pa);
        QVERIFY2(near(Q, c.m3h), show(Q) + " instead of " + show(c.m3h));
        // The same through the task of a valve with those pressures.
        ValveInputParams in = valve(pkAbsolute, pmPa, c.P1Pa, c.P2Pa);
        in.substance = c.substance;
        in.flowMeasure = c.measure;
        in.flow = c.flow;
        in.Tsupply = c.T;
        QVERIFY(near(in.toQinM3(c.condition, c.point), c.m3h));
        QVERIFY2(near(in.QinKg(), c.kgh), show(in.QinKg()));
        const double back = UnitConversions::QfromTones(c.kgh / 1000, c.measure, c.T, medium);
        QVERIFY2(near(back, c.flow), show(back));
        QCOMPARE(capture.count(), 0);
    }

    void heatUnits()
    {
        orxtest::MessageCapture capture;
        QCOMPARE(UnitConversions::toGKal(2.5, hmGcalH), 2.5);
        QCOMPARE(UnitConversions::toGKal(1.163, hmMWH), 1.0);
        QVERIFY(near(UnitConversions::toGKal(10, hmGJH), 2.39));
        QCOMPARE(capture.count(), 0);
    }

    // Flows derived from heat loads: cp at the mean temperature, the density at
    // the supply temperature. The selection tests check the other examples.
    void flowFromHeat_data()
    {
        QTest::addColumn<HeatCase>("c");
        QTest::newRow("propylene 50 %, 2.5 Gcal/h, t/h")
            << HeatCase{2, 50, 2.5, hmGcalH, wfTh, 100, 70, 91.8077, 1e-4};
        QTest::newRow("the same load in MW")
            << HeatCase{2, 50, 2.5 * 1.163, hmMWH, wfTh, 100, 70, 91.8077, 1e-4};
        QTest::newRow("water, 91 Gcal/h, m³/h") << HeatCase{1, 0, 91, hmGcalH, wfM3h, 100, 42, 1636.76, 0.01};
        QTest::newRow("temperatures equal within 1e-10 carry nothing")
            << HeatCase{1, 0, 1, hmGcalH, wfTh, 70, 70 + 5e-11, 0, 0};
        // An unknown unit carries no flow, and reports nothing: not filled in.
        QTest::newRow("unknown heat unit") << HeatCase{1, 0, 1, 2, wfTh, 90, 70, 0, 0};
    }

    void flowFromHeat()
    {
        QFETCH(HeatCase, c);
        orxtest::MessageCapture capture;
        const double G =
            UnitConversions::calcQbyHeat(c.heat, c.heatMeasure, c.flowMeasure, c.T1, c.T2,
                                         SubstanceProperties(c.substance, c.concentration), 500000);
        QVERIFY2(std::fabs(G - c.expected) <= c.within, show(G));
        QCOMPARE(capture.count(), 0);
    }

    // Forbidden combinations and unlisted codes: reported with their condition,
    // then the neutral value, and the calculation goes on.
    void internalErrorsAreReported_data()
    {
        QTest::addColumn<Call>("call");
        QTest::addColumn<double>("result");
        QTest::addColumn<QString>("condition");
        const SubstanceProperties steam(stSuperheatedSteam), air(stAir), water(stWater);
        ValveInputParams in = valve(pkAbsolute, pmPa, 101325, 101325);
        in.Tsupply = 100;
        in.flow = 5;
        in.substance = stSaturatedSteam;
        in.flowMeasure = wfM3h;
        RegulatorInputParams nowhere;
        nowhere.place = 0;
        nowhere.pressureMeasure = pmBar;
        // 5 units of flow, 101325 Pa before the device and `after` behind it.
        const auto volume = [](FlowCondition condition, DevicePosition point, double T,
                               const SubstanceProperties& medium, int unit, double after) {
            return Call([=] {
                return UnitConversions::toQinM3(condition, point, 5, T, medium, unit, 101325, after);
            });
        };
        QTest::newRow("pressure unit none") << Call([] { return UnitConversions::toPa(5, 0); }) << 0.0 << "0";
        QTest::newRow("pressure anywhere")
            << Call([=] { return in.PAbsinPa(Anywhere); }) << 0.0 << "v != Anywhere";
        QTest::newRow("normal volume of steam")
            << volume(Norm, BeforeDevice, 100, steam, wfTh, 0)
            << 5000 * SubstanceProperties::specificVolumeOfSteam(100, 101325) << "!isWaterSteam";
        QTest::newRow("steam given as a volume")
            << volume(Working, BeforeDevice, 100, steam, wfM3h, 0) << 5.0 << "!isWaterSteam";
        QTest::newRow("gas at the device needs a side") << volume(Working, Anywhere, 20, air, wfM3h, 101325)
                                                        << 5.0 << "condition == Norm || substance.isLiquid()";
        QTest::newRow("gas at zero pressure")
            << volume(Working, AfterDevice, 20, air, wfM3h, 0) << 0.0 << "isZero(pressure)";
        QTest::newRow("unknown flow unit") << volume(Working, Anywhere, 20, water, 5, 0) << 0.0 << "0";
        QTest::newRow("mass of a steam volume")
            << Call([=] { return in.QinKg(); }) << 0.0 << "!substance.isSteam()";
        QTest::newRow("tons into an unknown unit")
            << Call([=] { return UnitConversions::QfromTones(5, 11, 20, water); }) << 5.0 << "0";
        QTest::newRow("heat in an unknown unit")
            << Call([] { return UnitConversions::toGKal(7, 2); }) << 7.0 << "0";
        QTest::newRow("heat carried by steam")
            << Call([=] { return UnitConversions::calcQbyHeat(1, hmGcalH, wfKgh, 200, 150, steam, 5e5); })
            << 0.0 << "substance.isLiquid()";
        QTest::newRow("differential regulator without a place")
            << Call([=] { return nowhere.PbeforeAbsInPa(); }) << 0.0 << "0";
    }

    void internalErrorsAreReported()
    {
        QFETCH(Call, call);
        QFETCH(double, result);
        QFETCH(QString, condition);
        orxtest::MessageCapture capture;
        const double v = call();
        QVERIFY2(near(v, result), show(v));
        QCOMPARE(capture.assertions().size(), 1);
        const QString report = capture.assertions().first();
        QVERIFY2(report.endsWith(QLatin1Char('\n') + condition) ||
                     report.endsWith(QLatin1String("::") + condition),
                 qPrintable(report));
    }

    void highPressureDrop_data()
    {
        QTest::addColumn<ValveInputParams>("in");
        QTest::addColumn<bool>("high");
        QTest::newRow("exactly 2 bar") << valve(pkExcess, pmBar, 5, 3) << false;
        QTest::newRow("exactly 0.2 MPa, rounding below 1e-10") << valve(pkExcess, pmMPa, 0.3, 0.1) << false;
        QTest::newRow("2.01 bar") << valve(pkExcess, pmBar, 5.01, 3) << true;
    }

    void highPressureDrop()
    {
        QFETCH(ValveInputParams, in);
        QTEST(in.isHighPressureDrop(), "high");
    }

    // The Kv task starts as the steam valve and allows 220 °C whatever the valve.
    void valveKinds()
    {
        KvInputParams kv;
        ValveInputParams plain;
        QCOMPARE(kv.deviceType(), int(dtLMKP));
        QCOMPARE(plain.deviceType(), int(dtEmpty));
        for (int type : {dtEmpty, dtLMKP, dtLMK2, dtLMK3}) {
            kv.valveType = plain.valveType = type;
            QCOMPARE(plain.deviceType(), type);
            QCOMPARE(kv.deviceType(), type);
            QCOMPARE(plain.isSteamDevice(), type == dtLMKP);
            QCOMPARE(kv.isSteamDevice(), type == dtLMKP);
            QCOMPARE(plain.maxTemperature(), type == dtLMKP ? 220.0 : 150.0);
            QCOMPARE(kv.maxTemperature(), 220.0);
        }
    }

    void regulatorKinds_data()
    {
        QTest::addColumn<int>("regulation");
        QTest::addColumn<int>("substance");
        QTest::addColumn<double>("T");
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<double>("maxT");
        QTest::newRow("differential, water exactly 150 °C") << 1 << 1 << 150.0 << int(dtLMRD) << 220.0;
        QTest::newRow("differential, water 160 °C") << 1 << 1 << 160.0 << int(dtLMR2P) << 220.0;
        QTest::newRow("differential, steam") << 1 << 11 << 200.0 << int(dtLMRD) << 220.0;
        QTest::newRow("differential, hidden temperature") << 1 << 1 << qQNaN() << int(dtLMRD) << 220.0;
        QTest::newRow("upstream") << 2 << 1 << 160.0 << int(dtLMR1) << 150.0;
        QTest::newRow("downstream, water 151 °C") << 3 << 1 << 151.0 << int(dtLMR2P) << 220.0;
        QTest::newRow("downstream, saturated steam") << 3 << 13 << 150.0 << int(dtLMR2P) << 220.0;
        QTest::newRow("bypass") << 4 << 11 << 200.0 << int(dtLMR101) << 220.0;
    }

    void regulatorKinds()
    {
        QFETCH(int, regulation);
        QFETCH(int, substance);
        QFETCH(double, T);
        QFETCH(int, deviceType);
        RegulatorInputParams in;
        in.regulation = regulation;
        in.substance = substance;
        in.place = ipReturn;
        in.Treturn = T;
        in.Tsupply = 300; // not the working temperature on the return pipe
        QCOMPARE(in.deviceType(), deviceType);
        QCOMPARE(in.isSteamDevice(), deviceType == dtLMR2P);
        QTEST(in.maxTemperature(), "maxT");
    }

    // Pпод 5, Pобр 3, ΔPрег 0.5, ΔPдр.под 0.3, ΔPдр.обр 0.2, P1 8, P2 4.1 (bar).
    void regulatorPressures_data()
    {
        QTest::addColumn<int>("regulation");
        QTest::addColumn<int>("place");
        QTest::addColumn<int>("pressureType");
        QTest::addColumn<double>("beforePa");
        QTest::addColumn<double>("afterPa");
        QTest::newRow("differential on the return pipe, gauge") << 1 << 2 << 2 << 471325.0 << 421325.0;
        QTest::newRow("differential on the supply pipe, gauge") << 1 << 1 << 2 << 571325.0 << 521325.0;
        QTest::newRow("upstream reads P1 and P2") << 2 << 2 << 2 << 901325.0 << 511325.0;
        QTest::newRow("downstream, absolute") << 3 << 1 << 1 << 800000.0 << 410000.0;
    }

    void regulatorPressures()
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
};

ORX_CORE_TEST_MAIN(TestInputParams)
#include "tst_inputparams.moc"
