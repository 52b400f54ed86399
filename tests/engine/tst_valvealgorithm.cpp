// Valve selection: the candidates of the four worked examples, the refusals,
// the catalogues, the rating of candidates and their names.

#include "../core/tablerows.h"
#include "engine/algotest.h"
#include "engine/valvealgorithm.h"
#include "testsupport.h"

#include <cmath>

using namespace common;

namespace {

ValveResultItem rated(double speed, double reserve, double authority, bool cavitation = false,
                      int type = dtLMK2)
{
    ValveResultItem item;
    item.deviceType = type, item.Kreserve = reserve, item.avtoritet = authority,
    item.cavitationRisk = cavitation;
    item.setPipeFlowSpeed(Anywhere, speed);
    return item;
}

ValveResultItem named(int deviceType, int dn, double kv)
{
    ValveResultItem item;
    item.deviceType = deviceType, item.dn = dn, item.kv = kv;
    return item;
}

// A worked example with one field changed, and its ΔPру and flow when given.
template <typename Class, typename Value, typename Arg>
ValveInputParams example(int number, Value Class::*field, Arg value, double dPru = NAN, double flow = NAN)
{
    ValveInputParams in = algotest::valveExample(number);
    in.*field = Value(value);
    in.dPru = std::isnan(dPru) ? in.dPru : dPru;
    in.flow = std::isnan(flow) ? in.flow : flow;
    return in;
}

// The figures of the examples are the start-up self-tests' (tst_algotest);
// here the candidates each example lists and proposes.
// clang-format off
const struct { const char* name; int number; const char* candidates, *proposed; } kExamples[] = {
    {"1: ЛМК-2, propylene glycol 50 %", 1, "80/100 100/125 100/100 125/125 125/100 150/100", "80/100 100/125 100/100"},
    {"2: ЛМК-2, water, 91 Gcal/h", 2, "300/1600 300/1250", "300/1600 300/1250"},
    {"3: ЛМК-3, water, return pipe", 3, "40/25 50/32", "40/25 50/32"},
    {"4: ЛМК-П, superheated steam", 4, "50/40 50/32 65/40 80/40", "50/40 50/32 65/40"},
};

// The message; none: the empty fields. A choice outside
// its table is not filled in: nothing is selected from a fallback.
const struct { const char* name; ValveInputParams task; QString message; } kRefusals[] = {
    {"no valve type", example(1, &ValveInputParams::valveType, int(dtEmpty)), {}},
    {"P1 = P2 before the empty ΔPру", example(1, &ValveInputParams::P2, 6.0, 0), orxtest::invalidInput("давление перед клапаном должно превышать давление после клапана")},
    {"liquid without ΔPру", example(1, &ValveInputParams::Tsupply, 0.0, 0), {}},
    {"flow unit missing is an empty field", example(1, &ValveInputParams::flowMeasure, 0), QStringLiteral("Не заполнены входные данные:<br>укажите единицы измерения расхода рабочей среды <i>G<i>")},
    {"valve's own temperature hidden", example(1, &ValveInputParams::Tsupply, double(NAN)), {}},
    {"negative ΔPру, which no form sends", example(1, &ValveInputParams::place, int(ipSupply), -0.5), orxtest::invalidInput("при заданных входных данных характеристики моделей не определены")},
    {"no suitable model above 0.9·Kv in ЛМК-3", example(3, &ValveInputParams::place, int(ipReturn), NAN, 2900), QStringLiteral("Не удалось найти модель с подходящим kv")},
    {"no installation place", example(1, &ValveInputParams::place, 3), {}},
};

// Speed up to 3.0, reserve within 1.1..1.3, authority from 0.5, no cavitation: one point each.
const struct { const char* name; ValveResultItem item; int score; } kScores[] = {
    {"all four at their bounds", rated(3.0, 1.1, 0.5), 4},
    {"all four, reserve at 1.3", rated(1.0, 1.3, 0.9), 4},
    {"speed just above 3.0", rated(3.01, 1.2, 0.6), 3},
    {"reserve below the band", rated(2.0, 1.09, 0.6), 3},
    {"reserve above the band", rated(2.0, 1.31, 0.6), 3},
    {"authority just below 0.5", rated(2.0, 1.2, 0.49), 3},
    {"cavitation", rated(2.0, 1.2, 0.6, true), 3},
    {"nothing met", rated(5.0, 1.5, 0.2, true), 0},
};

// Each row differs in one criterion; the others are equal.
const struct { const char* name; ValveResultItem self, other; bool better; } kRankings[] = {
    {"both speeds fine, mine higher", rated(2.5, 1.5, 0.6), rated(2.0, 1.5, 0.6), true},
    {"both speeds fine, mine lower", rated(2.0, 1.5, 0.6), rated(2.5, 1.5, 0.6), false},
    {"both too fast, mine lower", rated(4.0, 1.5, 0.6), rated(5.0, 1.5, 0.6), true},
    {"only the other fine", rated(3.5, 1.5, 0.6), rated(3.0, 1.5, 0.6), false},
    {"higher authority", rated(2.0, 1.5, 0.7), rated(2.0, 1.5, 0.6), true},
    {"lower authority", rated(2.0, 1.5, 0.6), rated(2.0, 1.5, 0.7), false},
    {"reserve in band, other above", rated(2.0, 1.2, 0.6), rated(2.0, 1.5, 0.6), true},
    {"other's reserve in band", rated(2.0, 1.25, 0.6), rated(2.0, 1.15, 0.6), false},
    {"equal reserves", rated(2.0, 1.0, 0.6), rated(2.0, 1.0, 0.6), false},
    {"above the band beats below", rated(2.0, 1.4, 0.6), rated(2.0, 1.05, 0.6), true},
    {"both below, mine larger", rated(2.0, 1.05, 0.6), rated(2.0, 1.0, 0.6), true},
    {"both above the band", rated(2.0, 1.4, 0.6), rated(2.0, 1.5, 0.6), false},
    {"not a valve", rated(2.5, 1.2, 0.9, false, dtLMRD), rated(2.0, 1.5, 0.6), false},
};
// clang-format on

} // namespace

class TestValveAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    void examples_data() { tableRows(kExamples); }
    void examples()
    {
        ORX_ROW(kExamples);
        orxtest::MessageCapture capture;
        const ValveInputParams task = algotest::valveExample(row.number);
        ValveAlgorithm alg;
        QVERIFY2(alg.calc(task), qPrintable(alg.errorText()));
        QCOMPARE(orxtest::designations(alg.results(), false), QLatin1String(row.candidates));
        QCOMPARE(orxtest::designations(alg.results(), true), QLatin1String(row.proposed));
        for (const ValveResultItem& item : alg.results()) {
            QCOMPARE(item.deviceType, task.valveType);
            ORX_NEAR(item.opening, alg.kvsMath() / item.kv * 100, 1e-9);
            QCOMPARE(item.hasPipeFlowSpeed(BeforeDevice), row.number == 4);
            // Liquid-only figures of steam stay 0, so only speed and cavitation score.
            if (row.number == 4)
                QVERIFY(item.Kreserve == 0 && item.avtoritet == 0 && item.QFullOpen == 0 &&
                        item.score() == 2);
        }
        QCOMPARE(capture.count(), 0);
        if (row.number != 4)
            return;
        // A steam candidate has no speed at Anywhere, and the full-open flow is
        // a liquid figure: asking for either is reported.
        QCOMPARE(alg.results().first().pipeFlowSpeed(Anywhere) + alg.QFullOpen(40), 0.0);
        QCOMPARE(capture.conditions().value(0), QStringLiteral("m_pipeFlowSpeed.contains(l)"));
        QCOMPARE(capture.assertions().size(), 2);
    }

    void refusals_data() { tableRows(kRefusals); }
    void refusals()
    {
        ORX_ROW(kRefusals);
        orxtest::MessageCapture capture;
        ValveAlgorithm alg;
        QVERIFY(!alg.calc(row.task));
        QCOMPARE(alg.errors(), QStringList{row.message.isEmpty() ? orxtest::emptyFields : row.message});
        QVERIFY(alg.results().isEmpty());
        QVERIFY(capture.assertions().isEmpty());
    }

    void catalogue()
    {
        ValveAlgorithm alg;
        // Steam needs no ΔPру; ЛМК-П has no Kvs 4 at DN 15, unlike ЛМК-2.
        ValveInputParams in = algotest::valveExample(4);
        in.dPru = 0;
        QVERIFY(alg.calc(in));
        QCOMPARE(alg.diametersByKvs(4), (QList<int>{20, 25}));
        in.valveType = dtLMK2;
        alg.calc(in);
        QCOMPARE(alg.ascendingKvsList().size(), 28);
        QCOMPARE(alg.diametersByKvs(100), (QList<int>{80, 100, 125, 150}));
        QCOMPARE(alg.diametersByKvs(4), (QList<int>{15, 20, 25}));
        in.valveType = dtLMK3;
        alg.calc(in);
        QCOMPARE(alg.diametersByKvs(315), (QList<int>{150, 200}));
        QCOMPARE(alg.ascendingKvsList().first(), 0.63);
        // A regulator type has no valve catalogue.
        orxtest::MessageCapture capture;
        in.valveType = dtLMRD;
        alg.calc(in);
        QVERIFY(alg.ascendingKvsList().isEmpty() && alg.diametersByKvs(100).isEmpty());
        QVERIFY(!capture.assertions().isEmpty());
    }

    void score_data() { tableRows(kScores); }
    void score()
    {
        ORX_ROW(kScores);
        QCOMPARE(row.item.score(), row.score);
    }

    void isBetter_data() { tableRows(kRankings); }
    void isBetter()
    {
        ORX_ROW(kRankings);
        QCOMPARE(row.self.isBetter(row.other), row.better);
    }

    // Names; smaller DN first, within a DN the larger Kvs first.
    void namesAndOrder()
    {
        QCOMPARE(named(dtLMK2, 125, 125).name(false), QStringLiteral("ЛМК-2 DN 125 Kvy 125"));
        QCOMPARE(named(dtLMK3, 15, 0.63).name(true),
                 QStringLiteral("Клапан трёхходовой ЛМК-3 DN 15 Kvy 0.63"));
        QCOMPARE(named(dtLMK3, 15, 6.1 - 4).name(false), QStringLiteral("ЛМК-3 DN 15 Kvy 2.1"));
        const ValveResultItem a = named(dtLMK2, 50, 32), b = named(dtLMK2, 50, 40), c = named(dtLMK2, 40, 63);
        QVERIFY(c.lessThan(a) && b.lessThan(a) && !a.lessThan(b) && !a.lessThan(a));
    }
};

ORX_CORE_TEST_MAIN(TestValveAlgorithm)
#include "tst_valvealgorithm.moc"
