#include "algotest.h"

#include "engine/regulatoralgorithm.h"
#include "engine/tolerance.h"
#include "engine/valvealgorithm.h"

#include <QString>

#include <cmath>

using namespace common;

namespace algotest {

namespace {

void fail(const geh::SourceLocation& location, const QString& message)
{
    geh::ErrorHandler* handler = geh::ErrorHandler::instance();
    handler->setError(location, message);
    handler->showLastError();
}

// The flow that carries the task's heat load, as the forms derive it, but not
// rounded to the two decimals of the flow field.
double flowByHeat(const InputParams& in)
{
    return UnitConversions::calcQbyHeat(in.heatLoad, in.heatMeasure, in.flowMeasure, in.Tsupply, in.Treturn,
                                        in.substanceProperties(),
                                        (in.PbeforeAbsInPa() + in.PafterAbsInPa()) / 2);
}

template <typename Item>
const Item* findItem(const QList<Item>& results, int dn, double kv)
{
    for (const Item& item : results)
        if (item.dn == dn && tolerance::equal(item.kv, kv))
            return &item;
    return nullptr;
}

} // namespace

bool compare(const char* expression, double actual, double expected, double tolerance,
             const geh::SourceLocation& location)
{
    if (std::fabs(actual - expected) <= tolerance)
        return true;
    fail(location, QStringLiteral("%1=%2 (not equal to %3), test failed at %4, line %5")
                       .arg(QString::fromUtf8(expression), QString::number(actual), QString::number(expected),
                            QString::fromUtf8(location.file), QString::number(location.line)));
    return false;
}

bool compare(const char* expression, int actual, int expected, const geh::SourceLocation& location)
{
    if (actual == expected)
        return true;
    fail(location, QStringLiteral("%1=%2 (not equal to %3), test failed at %4, line %5")
                       .arg(QString::fromUtf8(expression), QString::number(actual), QString::number(expected),
                            QString::fromUtf8(location.file), QString::number(location.line)));
    return false;
}

bool comparePair(const char* expression1, double value1, const char* expression2, double value2,
                 double tolerance, const geh::SourceLocation& location)
{
    if (std::fabs(value1 - value2) <= tolerance)
        return true;
    fail(location,
         QStringLiteral("%1=%2, %3=%4, test failed at %5, line %6")
             .arg(QString::fromUtf8(expression1), QString::number(value1), QString::fromUtf8(expression2),
                  QString::number(value2), QString::fromUtf8(location.file), QString::number(location.line)));
    return false;
}

bool check(const char* condition, bool value, const geh::SourceLocation& location)
{
    if (value)
        return true;
    fail(location, QStringLiteral("Test condition \"%1\" failed at %2, line %3")
                       .arg(QString::fromUtf8(condition), QString::fromUtf8(location.file),
                            QString::number(location.line)));
    return false;
}

ValveInputParams valveExample(int number)
{
    ValveInputParams in;
    switch (number) {
    case 1:
        // ЛМК-2 on the supply pipe of a 50 % propylene-glycol loop; flow from the heat load.
        in.valveType = dtLMK2;
        in.substance = stPropyleneGlycol;
        in.concentration = 50;
        in.place = ipSupply;
        in.pressureType = pkExcess;
        in.pressureMeasure = pmBar;
        in.P1 = 6;
        in.P2 = 5;
        in.dP = 1;
        in.dPru = 0.5;
        in.flowInputMode = InputParams::flowFromHeatLoad;
        in.heatLoad = 2.5;
        in.heatMeasure = hmGcalH;
        in.Tsupply = 100;
        in.Treturn = 70;
        in.flowMeasure = wfTh;
        in.flow = flowByHeat(in);
        break;
    case 2:
        // ЛМК-2 on the supply pipe of a large water loop; flow from the heat load.
        in.valveType = dtLMK2;
        in.substance = stWater;
        in.place = ipSupply;
        in.pressureType = pkExcess;
        in.pressureMeasure = pmAtm;
        in.P1 = 5;
        in.P2 = 3.2;
        in.dP = 1.8;
        in.dPru = 0.6;
        in.flowInputMode = InputParams::flowFromHeatLoad;
        in.heatLoad = 91;
        in.heatMeasure = hmGcalH;
        in.Tsupply = 100;
        in.Treturn = 42;
        in.flowMeasure = wfM3h;
        in.flow = flowByHeat(in);
        break;
    case 3:
        // ЛМК-3 on the return pipe, absolute pressures; flow from the heat load.
        in.valveType = dtLMK3;
        in.substance = stWater;
        in.place = ipReturn;
        in.pressureType = pkAbsolute;
        in.pressureMeasure = pmAtm;
        in.P1 = 5;
        in.P2 = 3;
        in.dP = 2;
        in.dPru = 0.6;
        in.flowInputMode = InputParams::flowFromHeatLoad;
        in.heatLoad = 1;
        in.heatMeasure = hmGcalH;
        in.Tsupply = 94;
        in.Treturn = 65;
        in.flowMeasure = wfTh;
        in.flow = flowByHeat(in);
        break;
    case 4:
        // ЛМК-П for superheated steam, absolute pressures, subcritical flow.
        in.valveType = dtLMKP;
        in.substance = stSuperheatedSteam;
        in.place = ipSupply;
        in.pressureType = pkAbsolute;
        in.pressureMeasure = pmBar;
        in.P1 = 4.8;
        in.P2 = 3.5;
        in.dP = 1.3;
        in.dPru = 0.5;
        in.flowInputMode = InputParams::flowGivenDirectly;
        in.Tsupply = 220;
        in.flowMeasure = wfKgh;
        in.flow = 1345.6;
        break;
    default:
        GEH_ASSERT(0);
        break;
    }
    return in;
}

RegulatorInputParams regulatorExample(int number)
{
    RegulatorInputParams in;
    switch (number) {
    case 1:
        // ЛМР-Д on the return pipe of a 10 % propylene-glycol loop; flow from the heat load.
        in.regulation = rtDiffPressure;
        in.substance = stPropyleneGlycol;
        in.concentration = 10;
        in.place = ipReturn;
        in.pressureType = pkAbsolute;
        in.pressureMeasure = pmBar;
        in.Psupply = 5;
        in.Preturn = 1;
        in.dPru = 1;
        in.dPreg = 2;
        in.dPdrSupply = 0.5;
        in.dPdrReturn = 0.5;
        in.flowInputMode = InputParams::flowFromHeatLoad;
        in.heatLoad = 2;
        in.heatMeasure = hmGcalH;
        in.Tsupply = 100;
        in.Treturn = 46;
        in.flowMeasure = wfM3h;
        in.flow = flowByHeat(in);
        break;
    case 2:
        // ЛМР-1 on the return pipe of a water loop, gauge pressures; flow given directly.
        in.regulation = rtUpstream;
        in.substance = stWater;
        in.place = ipReturn;
        in.pressureType = pkExcess;
        in.pressureMeasure = pmAtm;
        in.P1 = 8;
        in.P2 = 4.1;
        in.flowInputMode = InputParams::flowGivenDirectly;
        // The supply temperature is not asked for on the return pipe.
        in.Tsupply = NAN;
        in.Treturn = 46;
        in.flowMeasure = wfM3h;
        in.flow = 38.88;
        break;
    case 3:
        // ЛМР-Д on the supply pipe of a small water loop; flow from the heat load.
        in.regulation = rtDiffPressure;
        in.substance = stWater;
        in.place = ipSupply;
        in.pressureType = pkAbsolute;
        in.pressureMeasure = pmBar;
        in.Psupply = 6;
        in.Preturn = 4;
        in.dPru = 0.5;
        in.dPreg = 1.3;
        in.dPdrSupply = 0.1;
        in.dPdrReturn = 0.1;
        in.flowInputMode = InputParams::flowFromHeatLoad;
        in.heatLoad = 0.15;
        in.heatMeasure = hmGcalH;
        in.Tsupply = 100;
        in.Treturn = 47.5;
        in.flowMeasure = wfM3h;
        in.flow = flowByHeat(in);
        break;
    default:
        GEH_ASSERT(0);
        break;
    }
    return in;
}

// Glycol: Kv, medium properties, six candidates, DN 125 rejected.
void test1()
{
    const ValveInputParams in = valveExample(1);
    ValveAlgorithm alg;
    if (!ALGOTEST_CHECK(alg.calc(in)))
        return;
    ALGOTEST_COMPARE(in.flow, 91.8077, 0.01);
    ALGOTEST_COMPARE(alg.kvsMath(), 92.5304, 0.01);
    ALGOTEST_COMPARE(alg.liquidDensity(), 984.439, 0.01);
    ALGOTEST_COMPARE(alg.steamPressure(), 82591.7, 0.05);
    ALGOTEST_COMPARE_INT(alg.results().size(), 6);

    const ValveResultItem* item = findItem(alg.results(), 125, 125);
    if (!ALGOTEST_CHECK(item != nullptr))
        return;
    ALGOTEST_COMPARE_INT(item->dn, 125);
    ALGOTEST_COMPARE(item->Kreserve, 1.35, 0.01);
    ALGOTEST_COMPARE(item->avtoritet, 0.59, 0.01);
    ALGOTEST_COMPARE(item->QFullOpen, 111.574, 0.01);
    ALGOTEST_COMPARE(item->pipeFlowSpeed(Anywhere), 2.53, 0.01);
    ALGOTEST_CHECK(!item->hasCavitationRisk());
    ALGOTEST_COMPARE_INT(item->deviceNoiseRisk, nrLow);
    ALGOTEST_CHECK(item->rejected);

    const ValveResultItem* proposed = findItem(alg.results(), 100, 125);
    if (!ALGOTEST_CHECK(proposed != nullptr))
        return;
    ALGOTEST_CHECK(!proposed->rejected);
}

// Large water flow: the largest catalogue models.
void test2()
{
    const ValveInputParams in = valveExample(2);
    ValveAlgorithm alg;
    if (!ALGOTEST_CHECK(alg.calc(in)))
        return;
    ALGOTEST_COMPARE(in.flow, 1636.76, 0.01);
    ALGOTEST_COMPARE(alg.kvsMath(), 1186.49, 0.01);
    ALGOTEST_COMPARE(alg.liquidDensity(), 958.4, 0.01);
    ALGOTEST_COMPARE(alg.steamPressure(), 101320, 0.01);
    ALGOTEST_COMPARE_INT(alg.results().size(), 2);

    const ValveResultItem* item = findItem(alg.results(), 300, 1250);
    if (!ALGOTEST_CHECK(item != nullptr))
        return;
    ALGOTEST_COMPARE_INT(item->dn, 300);
    ALGOTEST_COMPARE(item->Kreserve, 1.05, 0.01);
    ALGOTEST_COMPARE(item->avtoritet, 0.74, 0.01);
    ALGOTEST_COMPARE(item->QFullOpen, 1701.16, 0.01);
    ALGOTEST_COMPARE(item->pipeFlowSpeed(Anywhere), 6.69, 0.01);
    ALGOTEST_CHECK(!item->hasCavitationRisk());
    ALGOTEST_COMPARE_INT(item->deviceNoiseRisk, nrLowerMedium);
    ALGOTEST_CHECK(!item->rejected);
}

// Three-way valve on the return pipe: properties at the return temperature.
void test3()
{
    const ValveInputParams in = valveExample(3);
    ValveAlgorithm alg;
    if (!ALGOTEST_CHECK(alg.calc(in)))
        return;
    ALGOTEST_COMPARE(in.flow, 34.43, 0.01);
    ALGOTEST_COMPARE(alg.kvsMath(), 24.42, 0.01);
    ALGOTEST_COMPARE(alg.liquidDensity(), 980.553, 0.01);
    ALGOTEST_COMPARE(alg.steamPressure(), 24973.9, 0.05);
    ALGOTEST_COMPARE_INT(alg.results().size(), 2);

    const ValveResultItem* item = findItem(alg.results(), 40, 25);
    if (!ALGOTEST_CHECK(item != nullptr))
        return;
    ALGOTEST_COMPARE_INT(item->dn, 40);
    ALGOTEST_COMPARE(item->Kreserve, 1.02, 0.01);
    ALGOTEST_COMPARE(item->avtoritet, 0.765, 0.01);
    ALGOTEST_COMPARE(item->QFullOpen, 35.74, 0.01);
    ALGOTEST_COMPARE(item->pipeFlowSpeed(Anywhere), 7.90, 0.01);
    ALGOTEST_CHECK(!item->hasCavitationRisk());
    ALGOTEST_COMPARE_INT(item->deviceNoiseRisk, nrLowerMedium);
    ALGOTEST_CHECK(!item->rejected);
}

// Steam: specific volumes on both sides and the speeds they give.
void test4()
{
    const ValveInputParams in = valveExample(4);
    ValveAlgorithm alg;
    if (!ALGOTEST_CHECK(alg.calc(in)))
        return;
    ALGOTEST_COMPARE(alg.steamSpecificVolume(BeforeDevice), 0.4639, 0.0001);
    ALGOTEST_COMPARE(alg.steamSpecificVolume(AfterDevice), 0.6400, 0.0001);
    ALGOTEST_COMPARE(alg.kvsMath(), 29.86, 0.01);
    ALGOTEST_COMPARE_INT(alg.results().size(), 4);

    const ValveResultItem* item = findItem(alg.results(), 50, 32);
    const ValveResultItem* larger = findItem(alg.results(), 50, 40);
    if (!ALGOTEST_CHECK(item != nullptr && larger != nullptr))
        return;
    ALGOTEST_COMPARE_INT(item->dn, 50);
    ALGOTEST_COMPARE(item->pipeFlowSpeed(BeforeDevice), 88.30, 0.01);
    ALGOTEST_COMPARE(item->pipeFlowSpeed(AfterDevice), 121.83, 0.01);
    // Steam speeds follow the pipe, not the model.
    ALGOTEST_COMPARE_PAIR(item->pipeFlowSpeed(AfterDevice), larger->pipeFlowSpeed(AfterDevice), 1e-9);
    ALGOTEST_CHECK(!item->hasCavitationRisk());
    ALGOTEST_COMPARE_INT(item->deviceNoiseRisk, nrLowerMedium);
    ALGOTEST_CHECK(!item->rejected);
}

// Differential-pressure regulator on the return pipe: pressures and tuning range.
void test10()
{
    const RegulatorInputParams in = regulatorExample(1);
    RegulatorAlgorithm alg;
    if (!ALGOTEST_CHECK(alg.calc(in)))
        return;
    ALGOTEST_COMPARE(in.flow, 38.71, 0.01);
    ALGOTEST_COMPARE(in.Pbefore(), 3.5, 1e-9);
    ALGOTEST_COMPARE(in.Pafter(), 1.5, 1e-9);
    ALGOTEST_COMPARE(alg.kvsMath(), 27.3391, 0.01);
    ALGOTEST_COMPARE(alg.liquidDensity(), 997.755, 0.01);
    ALGOTEST_COMPARE(alg.steamPressure(), 9968.72, 0.01);
    ALGOTEST_COMPARE(alg.setpoint(), 0.1, 1e-9);
    ALGOTEST_COMPARE_INT(alg.results().size(), 8);

    const RegulatorResultItem* item = findItem(alg.results(), 40, 25);
    if (!ALGOTEST_CHECK(item != nullptr))
        return;
    ALGOTEST_COMPARE_INT(item->dn, 40);
    ALGOTEST_COMPARE(item->pipeFlowSpeed(Anywhere), 8.56, 0.01);
    ALGOTEST_CHECK(!item->hasCavitationRisk());
    ALGOTEST_COMPARE_INT(item->deviceNoiseRisk, nrLowerMedium);
    ALGOTEST_COMPARE_INT(item->tuningRange, 527);
    ALGOTEST_CHECK(!item->rejected);
}

// Upstream-pressure regulator: the excluded Kvs 20 is rejected.
void test11()
{
    const RegulatorInputParams in = regulatorExample(2);
    RegulatorAlgorithm alg;
    if (!ALGOTEST_CHECK(alg.calc(in)))
        return;
    ALGOTEST_COMPARE(alg.kvsMath(), 19.46, 0.01);
    ALGOTEST_COMPARE(alg.liquidDensity(), 989.9, 0.05);
    ALGOTEST_COMPARE(alg.steamPressure(), 10054.8, 0.05);
    ALGOTEST_COMPARE(alg.setpoint(), 0.81, 0.01);
    ALGOTEST_COMPARE_INT(alg.results().size(), 4);

    const RegulatorResultItem* item = findItem(alg.results(), 40, 20);
    if (!ALGOTEST_CHECK(item != nullptr))
        return;
    ALGOTEST_COMPARE_INT(item->dn, 40);
    ALGOTEST_COMPARE(item->pipeFlowSpeed(Anywhere), 8.59, 0.01);
    ALGOTEST_CHECK(!item->hasCavitationRisk());
    ALGOTEST_COMPARE_INT(item->deviceNoiseRisk, nrUpperMedium);
    ALGOTEST_COMPARE_INT(item->tuningRange, 317);
    ALGOTEST_CHECK(item->rejected);
}

// Small differential-pressure regulator: two diameters, excluded Kvs, Kvs 4 at DN 15.
void test12()
{
    const RegulatorInputParams in = regulatorExample(3);
    RegulatorAlgorithm alg;
    if (!ALGOTEST_CHECK(alg.calc(in)))
        return;
    ALGOTEST_COMPARE(in.flow, 2.98, 0.01);
    ALGOTEST_COMPARE(alg.kvsMath(), 2.56, 0.01);
    ALGOTEST_COMPARE(alg.liquidDensity(), 958.4, 0.01);
    ALGOTEST_COMPARE(alg.steamPressure(), 101320, 0.01);
    ALGOTEST_COMPARE_INT(alg.results().size(), 6);

    const RegulatorResultItem* small = findItem(alg.results(), 15, 2.5);
    const RegulatorResultItem* smallLarger = findItem(alg.results(), 15, 4);
    const RegulatorResultItem* excluded = findItem(alg.results(), 20, 3.2);
    const RegulatorResultItem* tooWide = findItem(alg.results(), 25, 4);
    if (!ALGOTEST_CHECK(small && smallLarger && excluded && tooWide))
        return;
    ALGOTEST_COMPARE_INT(small->dn, 15);
    ALGOTEST_COMPARE(small->pipeFlowSpeed(Anywhere), 4.68, 0.01);
    // A liquid's speed follows the pipe, not the model.
    ALGOTEST_COMPARE_PAIR(small->pipeFlowSpeed(Anywhere), smallLarger->pipeFlowSpeed(Anywhere), 1e-9);
    ALGOTEST_CHECK(!small->hasCavitationRisk());
    ALGOTEST_COMPARE_INT(small->deviceNoiseRisk, nrLowerMedium);
    ALGOTEST_CHECK(!small->rejected);
    ALGOTEST_CHECK(!smallLarger->rejected);
    ALGOTEST_CHECK(excluded->rejected);
    ALGOTEST_CHECK(tooWide->rejected);
}

void runSelfTests()
{
    test1();
    test2();
    test3();
    test4();
    test10();
    test11();
    test12();
}

} // namespace algotest
