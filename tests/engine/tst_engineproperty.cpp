// Generated tasks of every kind, medium, unit and mode, as the forms can send
// them and beyond: a calculation always ends promptly, a success carries only
// numbers, a failure always says why, and nothing the forms can send trips an
// internal check.

#include "engine/kvalgorithm.h"
#include "engine/regulatoralgorithm.h"
#include "engine/valvealgorithm.h"
#include "testsupport.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <random>

using namespace common;

namespace {

class TaskGenerator
{
public:
    explicit TaskGenerator(unsigned seed) : m_random(seed) {}

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }

    template <typename T>
    T pick(std::initializer_list<T> values)
    {
        const int i = std::uniform_int_distribution<int>(0, int(values.size()) - 1)(m_random);
        return *(values.begin() + i);
    }

    // A value a spin box of two decimals accepts, 0 … 100000000, spread over
    // every order of magnitude; sometimes exactly 0.
    double spinValue()
    {
        if (chance(0.05))
            return 0;
        const double exponent = std::uniform_real_distribution<double>(-2, 8)(m_random);
        return std::round(std::pow(10.0, exponent) * 100) / 100;
    }

    // A pressure a user of the given unit would type, mostly plausible.
    double pressure(int measure, double maxBar = 26)
    {
        if (chance(0.15))
            return spinValue();
        const double bar = std::uniform_real_distribution<double>(0, maxBar)(m_random);
        return std::round(bar * 100000 / UnitConversions::toPa(1, measure) * 100) / 100;
    }

    // Pressures before and after a device, mostly in the order of the flow.
    void pressurePair(int measure, double& P1, double& P2)
    {
        P1 = pressure(measure);
        P2 = pressure(measure);
        if (P2 > P1 && chance(0.8))
            std::swap(P1, P2);
    }

    double temperature()
    {
        if (chance(0.03))
            return 0;
        return std::round(std::uniform_real_distribution<double>(0, 220)(m_random) * 100) / 100;
    }

    // Something no form sends.
    double wild()
    {
        return pick<double>({-1.0, -250.0, -1e8, std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(), 1e300});
    }

    // The common fields as the form fills them; `flowMode` 2 derives the flow.
    void fillCommon(InputParams& in, bool valveForm)
    {
        in.substance = pick<int>({stWater, stPropyleneGlycol, stEthyleneGlycol, stSaturatedSteam,
                                  stSuperheatedSteam, stAir, stNitrogen});
        const SubstanceProperties medium = in.substanceProperties();
        in.concentration = std::uniform_int_distribution<int>(0, 60)(m_random);
        in.place = (valveForm && !medium.isLiquid()) ? ipSupply : pick<int>({ipSupply, ipReturn});
        in.pressureType = pick<int>({pkAbsolute, pkExcess});
        in.pressureMeasure = pick<int>({pmBar, pmAtm, pmMPa, pmKPa, pmMWater});
        in.heatMeasure = pick<int>({hmGcalH, hmMWH, hmGJH});
        if (medium.isLiquid())
            in.flowMeasure = pick<int>({wfM3h, wfTh, wfKgh, wfKgs, wfLh, wfLmin, wfLs, 0});
        else if (medium.isSteam())
            in.flowMeasure = pick<int>({wfTh, wfKgh, 0});
        else
            in.flowMeasure = pick<int>({wfM3h, wfTh, wfKgh, 0});
        // Liquids show both temperatures; the others only the one of their pipe.
        const bool supplyShown = medium.isLiquid() || in.place == ipSupply || chance(0.1);
        const bool returnShown = medium.isLiquid() || in.place != ipSupply || chance(0.1);
        in.Tsupply = supplyShown ? temperature() : NAN;
        in.Treturn = returnShown ? temperature() : NAN;
        if (medium.isLiquid() && chance(0.5) && !std::isnan(in.Tsupply) && !std::isnan(in.Treturn)) {
            // Usually warmer supply, as a plausible loop.
            if (in.Tsupply < in.Treturn)
                std::swap(in.Tsupply, in.Treturn);
        }
        in.flowInputMode = medium.isLiquid() && chance(0.3) ? 2 : 1;
        in.heatLoad = spinValue();
        in.flow = spinValue();
    }

    // The flow derived from the heat load and rounded into the flow field.
    void deriveFlow(InputParams& in)
    {
        if (in.flowInputMode != 2 || in.flowMeasure == 0)
            return;
        const double G = UnitConversions::calcQbyHeat(in.heatLoad, in.heatMeasure, in.flowMeasure, in.Tsupply,
                                                      in.Treturn, in.substanceProperties(),
                                                      (in.PbeforeAbsInPa() + in.PafterAbsInPa()) / 2);
        in.flow = std::isfinite(G) ? qBound(0.0, std::round(G * 100) / 100, 1e8) : 0;
    }

    ValveInputParams valveTask()
    {
        ValveInputParams in;
        fillCommon(in, true);
        in.valveType = in.substanceProperties().isLiquid() ? pick<int>({dtLMK2, dtLMK3, dtLMKP}) : dtLMKP;
        pressurePair(in.pressureMeasure, in.P1, in.P2);
        in.dP = in.P1 - in.P2;
        in.dPru = pressure(in.pressureMeasure, 5);
        deriveFlow(in);
        return in;
    }

    KvInputParams kvTask()
    {
        KvInputParams in;
        fillCommon(in, true);
        if (chance(0.02))
            in.valveType = dtEmpty;
        pressurePair(in.pressureMeasure, in.P1, in.P2);
        in.dP = in.P1 - in.P2;
        deriveFlow(in);
        return in;
    }

    RegulatorInputParams regulatorTask(bool formKinds)
    {
        RegulatorInputParams in;
        fillCommon(in, false);
        in.regulation = formKinds ? pick<int>({rtDiffPressure, rtUpstream, rtDownstream})
                                  : pick<int>({rtDiffPressure, rtUpstream, rtDownstream, rtBypass});
        pressurePair(in.pressureMeasure, in.Psupply, in.Preturn);
        in.dPreg = pressure(in.pressureMeasure, 5);
        in.dPdrSupply = pressure(in.pressureMeasure, 1);
        in.dPdrReturn = pressure(in.pressureMeasure, 1);
        // Half of the tasks keep the pressure balance of the loop.
        in.dPru = chance(0.5) ? in.Psupply - in.Preturn - in.dPreg - in.dPdrSupply - in.dPdrReturn
                              : pressure(in.pressureMeasure);
        pressurePair(in.pressureMeasure, in.P1, in.P2);
        in.dPregulator = in.P1 - in.P2;
        deriveFlow(in);
        return in;
    }

    // One of the numeric fields of a task replaced by something no form sends.
    template <typename Params>
    void spoil(Params& in, std::initializer_list<double Params::*> fields)
    {
        double Params::*field =
            *(fields.begin() + std::uniform_int_distribution<int>(0, int(fields.size()) - 1)(m_random));
        in.*field = wild();
    }

private:
    std::mt19937 m_random;
};

bool allFinite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

// What every outcome must satisfy; returns a description of the first
// violation, empty when there is none.
QString checkOutcome(const Algorithm& alg, bool ok)
{
    if (!ok) {
        if (alg.errors().isEmpty())
            return QStringLiteral("failure without a message");
        for (const QString& e : alg.errors())
            if (e.trimmed().isEmpty())
                return QStringLiteral("empty message");
        return QString();
    }
    if (alg.hasError())
        return QStringLiteral("success with messages");
    if (!std::isfinite(alg.kvsMath()) || !(alg.kvsMath() > 0))
        return QStringLiteral("Kv %1").arg(alg.kvsMath());
    const SubstanceProperties medium = alg.substanceProperties();
    if (medium.isLiquid() && !allFinite({alg.liquidDensity(), alg.steamPressure()}))
        return QStringLiteral("liquid properties");
    if (medium.isSteam() &&
        !allFinite({alg.steamSpecificVolume(BeforeDevice), alg.steamSpecificVolume(AfterDevice)}))
        return QStringLiteral("steam volumes");
    return QString();
}

QString checkItem(const ResultItem& item)
{
    if (item.dn <= 0 || !std::isfinite(item.kv) || item.kv <= 0)
        return QStringLiteral("model");
    if (item.deviceNoiseRisk < nrLow || item.deviceNoiseRisk > nrHigh)
        return QStringLiteral("noise grade %1").arg(item.deviceNoiseRisk);
    if (item.m_pipeFlowSpeed.isEmpty())
        return QStringLiteral("no speed");
    for (double speed : item.m_pipeFlowSpeed)
        if (!std::isfinite(speed))
            return QStringLiteral("speed %1").arg(speed);
    return QString();
}

} // namespace

class TestEngineProperty : public QObject
{
    Q_OBJECT

private slots:
    void tasks_data();
    void tasks();
};

void TestEngineProperty::tasks_data()
{
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<bool>("formLike"); // such tasks must not trip an internal check either
    QTest::newRow("form tasks, seed 1") << 1u << true;
    QTest::newRow("form tasks, seed 20240601") << 20240601u << true;
    QTest::newRow("tasks no form sends, seed 77") << 77u << false;
}

void TestEngineProperty::tasks()
{
    QFETCH(unsigned, seed);
    QFETCH(bool, formLike);
    const int count = 1500;
    TaskGenerator generate(seed);
    orxtest::MessageCapture capture;
    KvAlgorithm kv;
    ValveAlgorithm valve;
    RegulatorAlgorithm regulator;
    int successes = 0;

    for (int i = 0; i < count; ++i) {
        const int kind = i % 3;
        QString violation;
        capture.clear();
        if (kind == 0) {
            KvInputParams in = generate.kvTask();
            if (!formLike)
                generate.spoil<InputParams>(in, {&InputParams::Tsupply, &InputParams::Treturn,
                                                 &InputParams::flow, &InputParams::concentration});
            if (!formLike && generate.chance(0.5))
                generate.spoil<ValveInputParams>(in, {&ValveInputParams::P1, &ValveInputParams::P2});
            const bool ok = kv.calc(in);
            violation = checkOutcome(kv, ok);
            successes += ok;
        } else if (kind == 1) {
            ValveInputParams in = generate.valveTask();
            if (!formLike)
                generate.spoil<ValveInputParams>(in, {&ValveInputParams::P1, &ValveInputParams::P2,
                                                      &ValveInputParams::dP, &ValveInputParams::dPru,
                                                      &InputParams::flow, &InputParams::Tsupply,
                                                      &InputParams::Treturn});
            const bool ok = valve.calc(in);
            violation = checkOutcome(valve, ok);
            successes += ok;
            if (ok && valve.results().isEmpty())
                violation = QStringLiteral("success without candidates");
            if (!ok && !valve.results().isEmpty())
                violation = QStringLiteral("failure with candidates");
            for (const ValveResultItem& item : valve.results()) {
                if (violation.isEmpty())
                    violation = checkItem(item);
                if (violation.isEmpty() &&
                    !allFinite({item.opening, item.avtoritet, item.QFullOpen, item.Kreserve}))
                    violation = QStringLiteral("valve figures");
                if (violation.isEmpty() && (item.score() < 0 || item.score() > 4))
                    violation = QStringLiteral("score");
            }
        } else {
            RegulatorInputParams in = generate.regulatorTask(formLike);
            if (!formLike)
                generate.spoil<RegulatorInputParams>(
                    in, {&RegulatorInputParams::Psupply, &RegulatorInputParams::Preturn,
                         &RegulatorInputParams::dPru, &RegulatorInputParams::dPreg,
                         &RegulatorInputParams::dPdrSupply, &RegulatorInputParams::dPdrReturn,
                         &RegulatorInputParams::P1, &RegulatorInputParams::P2, &InputParams::flow,
                         &InputParams::Tsupply, &InputParams::Treturn});
            const bool ok = regulator.calc(in);
            violation = checkOutcome(regulator, ok);
            successes += ok;
            if (ok && regulator.results().isEmpty())
                violation = QStringLiteral("success without candidates");
            bool anyProposed = false;
            for (const RegulatorResultItem& item : regulator.results()) {
                if (violation.isEmpty())
                    violation = checkItem(item);
                anyProposed = anyProposed || !item.rejected;
                if (violation.isEmpty() && !item.rejected &&
                    item.tuningRange == RegulatorAlgorithm::noTuningRange)
                    violation = QStringLiteral("proposed without a tuning range");
            }
            if (ok && !anyProposed)
                violation = QStringLiteral("success with every candidate rejected");
        }
        if (formLike && violation.isEmpty() && !capture.assertions().isEmpty())
            violation = QStringLiteral("internal check: ") + capture.assertions().first();
        QVERIFY2(violation.isEmpty(),
                 qPrintable(QStringLiteral("task %1 (kind %2): %3").arg(i).arg(kind).arg(violation)));
    }

    // A hang is caught by the test function's time limit; speed is for the benchmarks.
    // The generator reaches the successful paths too, not only the refusals.
    qInfo("seed %u: %d of %d tasks calculated", seed, successes, count);
    if (formLike)
        QVERIFY2(successes > count / 6, qPrintable(QStringLiteral("%1 successes").arg(successes)));
}

ORX_CORE_TEST_MAIN(TestEngineProperty)
#include "tst_engineproperty.moc"
