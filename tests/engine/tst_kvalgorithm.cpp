// The Kv calculation core: the water example, the order of the input checks,
// critical flow of steam and gases, noise grades, pipe speeds and the choice of
// suitable catalogue Kvs values.

#include "../core/tablerows.h"
#include "engine/kvalgorithm.h"
#include "testsupport.h"

#include <cmath>

using namespace common;

namespace {

KvInputParams task(int substance, int pressureType, double P1, double P2, double T, int flowMeasure,
                   double flow)
{
    KvInputParams in;
    in.substance = substance, in.pressureType = pressureType, in.pressureMeasure = pmBar;
    in.P1 = P1, in.P2 = P2, in.Tsupply = T, in.flowMeasure = flowMeasure, in.flow = flow;
    return in;
}

// Water on the supply pipe, gauge bar; 20 °C and 10 m³/h unless given.
KvInputParams water(double P1 = 2, double P2 = 1, double Tsupply = 20, double Treturn = NAN,
                    int flowMeasure = wfM3h, double flow = 10)
{
    KvInputParams in = task(stWater, pkExcess, P1, P2, Tsupply, flowMeasure, flow);
    in.Treturn = Treturn;
    return in;
}

KvInputParams steam(double P1, double P2, double T = 200, int flowMeasure = wfKgh)
{
    return task(stSuperheatedSteam, pkAbsolute, P1, P2, T, flowMeasure, 1000);
}

KvInputParams air(double P1, double P2)
{
    return task(stAir, pkAbsolute, P1, P2, 20, wfM3h, 100);
}

// The task with one field changed.
KvInputParams with(KvInputParams in, int KvInputParams::*field, int value)
{
    in.*field = value;
    return in;
}

// A calculation over a catalogue given by the test.
class CatalogueAlgorithm : public Algorithm
{
public:
    QList<double> catalogue, excluded;
    KvInputParams task;

    const InputParams& input() const override { return task; }
    QList<double> ascendingKvsList() const override { return catalogue; }
    void filterResults() override {}
    bool isKvsAcceptable(double Kvs) const override { return !excluded.contains(Kvs); }

    // The list, or the message that ended the step.
    QList<double> suitable(double kv, QString* message)
    {
        try {
            return suitableKvsList(kv, 1.35);
        } catch (const CalculationAbort&) {
            *message = errors().join(QLatin1Char('|'));
            return {};
        }
    }
};

const char* const kOrder = "давление перед клапаном должно превышать давление после клапана";
const char* const kTooHigh =
    "слишком высокое давление перед клапаном. Избыточное давление не должно превышать 2.5 МПа";
const char* const kUnit = "укажите единицы измерения расхода рабочей среды <i>G<i>";
const char* const kUndefined = "при заданных входных данных расчётный Kv не определён";

// The first failing check decides the one message: the reason of the invalid
// input, or (null) the empty fields. A hidden working temperature is refused
// only after the flow checks: the user first learns what the form is missing.
// A choice outside its table is not filled in: no figure, nor a message about
// one, comes from a fallback.
// clang-format off
const struct { const char* name; KvInputParams (*task)(); const char* reason; } kRefusals[] = {
    {"no device type, before everything", [] { return with(water(0), &KvInputParams::valveType, dtEmpty); }, nullptr},
    {"P1 empty, before the empty flow", [] { return water(0, 1, 20, NAN, wfM3h, 0); }, nullptr},
    {"P1 = P2, before the empty flow", [] { return water(2, 2, 20, NAN, wfM3h, 0); }, kOrder},
    {"25.01 bar gauge, before the temperatures", [] { return water(25.01, 1, 0); }, kTooHigh},
    {"26.02 bar absolute", [] { return with(water(26.02), &KvInputParams::pressureType, pkAbsolute); }, kTooHigh},
    {"steam boiling above 220 °C", [] { return steam(25, 10); }, "слишком высокое давление рабочей среды. Температура парообразования превышает максимально допустимую (220.0 \u00B0С)"},
    {"return as warm as supply, before the empty flow", [] { return water(2, 1, 20, 20, wfM3h, 0); }, "температура рабочей среды в подающем трубопроводе (<i>Tпод</i>) должна быть больше, чем в обратном (<i>Tобр</i>)"},
    {"flow unit missing", [] { return water(2, 1, 20, NAN, 0); }, kUnit},
    {"flow unit missing, own temperature hidden", [] { return with(water(2, 1, 20, NAN, 0), &KvInputParams::place, ipReturn); }, kUnit},
    {"own temperature hidden", [] { return with(water(), &KvInputParams::place, ipReturn); }, nullptr},
    {"Kv vanishes", [] { return water(25, 0.01, 20, NAN, wfM3h, 1e-10); }, "слишком большой перепад давления по отношению к расходу рабочей среды"},
    {"steam at 20 °C and 10 bar", [] { return steam(10, 9, 20); }, "при заданном давлении температура пара слишком низкая: удельный объём пара не определён"},
    {"infinite flow", [] { return water(2, 1, 20, NAN, wfM3h, qInf()); }, kUndefined},
    {"P1 not a number", [] { return water(qQNaN()); }, kUndefined},
    {"water at 5000 °C", [] { return water(2, 1, 5000); }, "при заданной температуре свойства рабочей среды не определены"},
    {"unknown medium", [] { return with(water(), &KvInputParams::substance, 4); }, nullptr},
    {"unknown pressure unit", [] { return with(steam(8, 6), &KvInputParams::pressureMeasure, -1); }, nullptr},
    {"no installation place", [] { return with(water(2, 1, 20, 10), &KvInputParams::place, 0); }, nullptr},
    {"steam by volume, as a missing unit", [] { return steam(8, 6, 200, wfM3h); }, kUnit},
};

// At and below half the inlet pressure the flow is critical and Kv no longer
// depends on P2; the two formulas meet at the boundary.
const struct { const char* name; KvInputParams in; double kv, within; } kCritical[] = {
    {"steam, subcritical, just above P1/2", steam(8, 4.01), 11.557, 0.002},
    {"steam, at P1/2", steam(8, 4), 11.558, 0.002},
    {"steam, just below P1/2", steam(8, 3.99), 11.558, 0.002},
    // 2.50784·1.5/√(1.4·1.6): the subcritical formula right above the boundary.
    {"air, subcritical at 0.47·P1 drop", air(3, 1.6), 2.51343, 1e-4},
    {"air, just above P1/2", air(3, 1.50001), 2.50784, 1e-4},
    {"air, at P1/2", air(3, 1.5), 2.50784, 1e-4},
};

const struct { const char* name; double dropAtm; bool cavitation; int grade; } kNoise[] = {
    {"1 atm low", 1, false, nrLow},
    {"1.01 atm lower medium", 1.01, false, nrLowerMedium},
    {"exactly 2 atm lower medium", 2, false, nrLowerMedium},
    {"3 atm medium", 3, false, nrMedium},
    {"4 atm upper medium", 4, false, nrUpperMedium},
    {"4.01 atm high", 4.01, false, nrHigh},
    {"cavitation at a small drop high", 0.5, true, nrHigh},
};

// Kv, catalogue, excluded Kvs: the suitable Kvs, or the message (without the "invalid input" prefix).
using L = QList<double>;
const struct { const char* name; double kv; L catalogue, excluded, expected; const char* message; } kSuitable[] = {
    {"92.53 over 63..160", 92.53, {63, 100, 125, 160}, {}, {100, 125}, ""},
    {"0.9·Kv itself is too small", 100, {90, 100, 200}, {}, {100, 200}, ""},
    {"1.35·Kv taken while nothing exceeds 1.2·Kv", 100, {95, 110, 135, 160}, {}, {95, 110, 135}, ""},
    {"1.35·Kv not taken after a Kvs above 1.2·Kv", 100, {95, 125, 135, 160}, {}, {95, 125}, ""},
    {"everything below 1.35·Kv is kept", 100, {95, 121, 125, 130, 300}, {}, {95, 121, 125, 130}, ""},
    {"regulator Kv 2.56, 3.2 excluded", 2.558, {1, 1.6, 2.5, 3.2, 4, 6.3}, {1, 3.2}, {2.5, 3.2, 4}, ""},
    {"excluded large Kvs never ends the search", 14, {10, 16, 20, 25, 32}, {20}, {16, 20, 25}, ""},
    {"nothing above 0.9·Kv", 10, {1, 2}, {}, {}, "Не удалось найти модель с подходящим kv"},
};
// clang-format on

} // namespace

class TestKvAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    // Kv = 10·10·√998.07/√100000; the vapour pressure at 20 °C lies on the
    // spline through 657 Pa at 1 °C and 12344 Pa at 50 °C. The glycol example
    // is the valve selection's first.
    void waterExample()
    {
        orxtest::MessageCapture capture;
        KvAlgorithm alg;
        QVERIFY2(alg.calc(water()), qPrintable(alg.errorText()));
        ORX_NEAR(alg.kvsMath(), 9.99, 0.01);
        ORX_NEAR(alg.liquidDensity(), 998.07, 0.01);
        ORX_NEAR(alg.steamPressure(), 2130.06, 0.05);
        // Q/3600 over π·(DN/1000)²/4, in DN 50; a gas faster after the valve.
        ORX_NEAR(alg.calcPipeFlowSpeed(50, Anywhere, alg.input().Q()), 1.41471, 1e-4);
        // Gauge 25 bar is the last pressure accepted; the heat unit counts only
        // for a flow derived from the heat load.
        QVERIFY2(alg.calc(water(25)), qPrintable(alg.errorText()));
        QVERIFY(alg.calc(with(water(), &KvInputParams::heatMeasure, 0)));
        QCOMPARE(capture.count(), 0);
        QCOMPARE(alg.steamSpecificVolume(BeforeDevice), 0.0);
        QVERIFY(alg.calc(air(3, 2)));
        ORX_NEAR(alg.calcPipeFlowSpeed(50, BeforeDevice, alg.input().Q()), 4.77819, 1e-4);
        ORX_NEAR(alg.calcPipeFlowSpeed(50, AfterDevice, alg.input().Q()), 4.77819 * 1.5, 1e-4);
        // Liquid and steam figures of another medium are reported.
        alg.liquidDensity();
        QCOMPARE(capture.conditions(), (QStringList{QStringLiteral("substanceProperties().isSteam()"),
                                                    QStringLiteral("substanceProperties().isLiquid()")}));
    }

    void refusals_data() { tableRows(kRefusals); }
    void refusals()
    {
        ORX_ROW(kRefusals);
        orxtest::MessageCapture capture;
        KvAlgorithm alg;
        QVERIFY(!alg.calc(row.task()));
        QCOMPARE(alg.errors(),
                 QStringList{row.reason ? orxtest::invalidInput(row.reason) : orxtest::emptyFields});
        QVERIFY(capture.assertions().isEmpty());
    }

    void criticalFlowIsContinuous_data() { tableRows(kCritical); }
    void criticalFlowIsContinuous()
    {
        ORX_ROW(kCritical);
        KvAlgorithm alg;
        QVERIFY(alg.calc(row.in));
        ORX_NEAR(alg.kvsMath(), row.kv, row.within);
    }

    void noiseGrades_data() { tableRows(kNoise); }
    // The same drop in atm and in kPa is graded the same way.
    void noiseGrades()
    {
        ORX_ROW(kNoise);
        for (const auto& unit : {qMakePair(int(pmAtm), 1.0), qMakePair(int(pmKPa), 101.325)}) {
            KvAlgorithm alg;
            QVERIFY(alg.calc(with(water(10 * unit.second, (10 - row.dropAtm) * unit.second),
                                  &KvInputParams::pressureMeasure, unit.first)));
            QCOMPARE(alg.noiseRisk(row.cavitation), row.grade);
        }
    }

    void suitableKvs_data() { tableRows(kSuitable); }
    void suitableKvs()
    {
        ORX_ROW(kSuitable);
        CatalogueAlgorithm alg;
        alg.catalogue = row.catalogue;
        alg.excluded = row.excluded;
        QString message;
        QCOMPARE(alg.suitable(row.kv, &message), row.expected);
        QCOMPARE(message, QString::fromUtf8(row.message));
    }
};

ORX_CORE_TEST_MAIN(TestKvAlgorithm)
#include "tst_kvalgorithm.moc"
