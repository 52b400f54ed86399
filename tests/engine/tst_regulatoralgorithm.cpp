// Regulator selection: the candidates of the three worked examples, the regulator's
// own input checks in their order, the tuning ranges and the failure when no spring fits.

#include "../core/tablerows.h"
#include "engine/algotest.h"
#include "engine/regulatoralgorithm.h"
#include "testsupport.h"

using namespace common;

namespace {

// A differential-pressure task, water, m³/h; absolute bar unless given.
RegulatorInputParams differential(double Psupply, double Preturn, double dPru, double dPreg, double flow = 10,
                                  int pressureType = pkAbsolute, int measure = pmBar)
{
    RegulatorInputParams in;
    in.regulation = rtDiffPressure, in.substance = stWater, in.pressureType = pressureType;
    in.pressureMeasure = measure, in.Psupply = Psupply, in.Preturn = Preturn, in.dPru = dPru,
    in.dPreg = dPreg;
    in.dPdrSupply = in.dPdrReturn = measure == pmPa ? 200000 : 0.5;
    in.Tsupply = 90, in.Treturn = 60, in.flowMeasure = wfM3h, in.flow = flow;
    return in;
}

// A task of the other kinds in gauge MPa, water on the return pipe.
RegulatorInputParams pressureTask(int regulation, double P1, double P2, double flow = 10,
                                  int flowMeasure = wfM3h, double Treturn = 60)
{
    RegulatorInputParams in;
    in.regulation = regulation, in.substance = stWater, in.place = ipReturn, in.pressureType = pkExcess;
    in.pressureMeasure = pmMPa, in.P1 = P1, in.P2 = P2, in.Treturn = Treturn;
    in.flowMeasure = flowMeasure, in.flow = flow;
    return in;
}

// Downstream pressure of saturated steam in gauge MPa.
RegulatorInputParams steamTask(double P1, double P2)
{
    RegulatorInputParams in = pressureTask(rtDownstream, P1, P2, 500, wfKgh, NAN);
    in.substance = stSaturatedSteam, in.place = ipSupply, in.Tsupply = 190;
    return in;
}

RegulatorInputParams example1WithoutPlace()
{
    RegulatorInputParams in = algotest::regulatorExample(1);
    in.place = 0;
    return in;
}

const char* const kBeforeTooHigh =
    "слишком высокое давление перед регулятором: избыточное давление не должно превышать 2,5 МПа";
const char* const kUnit = "укажите единицы измерения расхода рабочей среды <i>G<i>";
const char* const kBalance = "сумма перепадов давления должна быть равной %1<br>(должно выполняться условие "
                             "<i>\u0394Pру + \u0394Pрег + \u0394Pдр.под + \u0394Pдр.обр = Pпод - Pобр</i>)";
const char* const kTuning = "есть проблемы с подбором диапазона настройки (слишком %1)";

// The first failing check decides the one message: the reason (with its
// argument) of the invalid input, or (null) the empty fields. A choice
// outside its table is not filled in: no inlet pressure of 0 Pa for a
// differential regulator without a place, no candidates.
// clang-format off
const struct { const char* name; RegulatorInputParams task; const char* reason; const char* arg; } kRefusals[] = {
    {"Pпод empty", differential(0, 1, 1, 2), nullptr, ""},
    {"Pпод = Pобр, before the balance", differential(1, 1, 1, 2), "давление на подающем трубопроводе (<i>Pпод</i>) должно превышать давление на обратном (<i>Pобр</i>)", ""},
    {"difference in its shortest form", differential(6.1, 4, 1, 0.2), kBalance, "2.1 бар"},
    {"seven-digit pascals, no exponent", differential(2500000, 1234567, 400000, 465000, 10, pkAbsolute, pmPa), kBalance, "1265433 Па"},
    {"25.5 bar gauge before the regulator", differential(26, 20, 1, 4, 10, pkExcess), kBeforeTooHigh, ""},
    {"25.4 bar gauge in the supply pipe", differential(25.4, 19.4, 1, 4, 10, pkExcess), "слишком высокое давление на подающем трубопроводе: избыточное давление не должно превышать 2,5 МПа", ""},
    {"ΔPру 0.3 bar, before the empty flow", differential(5, 1, 0.3, 2.7, 0), "слишком маленький перепад давления на регулируемом участке. Должен быть не менее 0,04 МПа", ""},
    {"ΔPру 0.4 bar passes", differential(5, 1, 0.4, 2.6, 0), nullptr, ""},
    {"P1 = P2", pressureTask(rtUpstream, 0.5, 0.5, 0), "давление перед регулятором (<i>P1</i>) должно превышать давление после регулятора (<i>P2</i>)", ""},
    {"2.51 MPa gauge before", pressureTask(rtDownstream, 2.51, 0.5), kBeforeTooHigh, ""},
    {"flow unit missing", pressureTask(rtUpstream, 0.8, 0.4, 10, 0), kUnit, ""},
    {"flow unit missing, own temperature hidden", pressureTask(rtUpstream, 0.8, 0.4, 10, 0, NAN), kUnit, ""},
    {"regulator's own temperature hidden", pressureTask(rtUpstream, 0.8, 0.4, 10, wfM3h, NAN), nullptr, ""},
    {"ЛМР-2-П at 0.05 MPa", steamTask(0.8, 0.05), kTuning, "низкое регулируемое давление"},
    {"ЛМР-1 at 1.1 MPa", pressureTask(rtUpstream, 1.1, 0.5), kTuning, "высокое регулируемое давление"},
    {"ЛМР-Д at 1.3 MPa", differential(20, 2, 13, 4), kTuning, "высокий регулируемый перепад"},
    {"the bypass regulator has no springs", pressureTask(rtBypass, 0.8, 0.4), kTuning, "низкое регулируемое давление"},
    {"no installation place", example1WithoutPlace(), nullptr, ""},
};

// The spring code for the setpoint in a DN (999: none fits): ΔPру of ЛМР-Д in
// MPa, the pressure before ЛМР-1 and after ЛМР-2-П in gauge MPa.
const struct { const char* name; RegulatorInputParams task; int dn, code; } kRanges[] = {
    {"ЛМР-Д DN 80, 0.5", differential(5, 1, 0.5, 2, 10, pkAbsolute, pmMPa), 80, 527},
    {"ЛМР-Д DN 80, 0.51", differential(5, 1, 0.51, 2, 10, pkAbsolute, pmMPa), 80, 835},
    {"ЛМР-Д DN 80, 1.3", differential(5, 1, 1.3, 2, 10, pkAbsolute, pmMPa), 80, 999},
    {"ЛМР-Д DN 100, 0.03", differential(5, 1, 0.03, 2, 10, pkAbsolute, pmMPa), 100, 999},
    {"ЛМР-Д DN 150, 0.66", differential(5, 1, 0.66, 2, 10, pkAbsolute, pmMPa), 150, 117},
    {"ЛМР-Д DN 200, 0.12", differential(5, 1, 0.12, 2, 10, pkAbsolute, pmMPa), 200, 737},
    {"ЛМР-Д DN 200, 0.35", differential(5, 1, 0.35, 2, 10, pkAbsolute, pmMPa), 200, 378},
    {"ЛМР-Д, negative ΔPру counts as 0", differential(5, 1, -0.5, 2, 10, pkAbsolute, pmMPa), 80, 999},
    {"ЛМР-1 DN 100, 1.0", pressureTask(rtUpstream, 1.0, 0.3), 100, 317},
    {"ЛМР-1 DN 150, 0.7", pressureTask(rtUpstream, 0.7, 0.3), 150, 527},
    {"ЛМР-1 DN 150, 0.71", pressureTask(rtUpstream, 0.71, 0.3), 150, 999},
    {"ЛМР-2-П, 0.05", steamTask(0.8, 0.05), 50, 999},
    {"ЛМР-2-П, 0.1", steamTask(0.8, 0.1), 15, 541},
    {"ЛМР-2-П, 0.61", steamTask(0.8, 0.61), 100, 682},
};

// The figures of the examples are the start-up self-tests' (tst_algotest);
// here the candidates each example lists and proposes, and the spring of the first.
const struct { const char* name; int number; const char* candidates, *proposed, *tuning; } kExamples[] = {
    {"1: ЛМР-Д, propylene glycol 10 %, return pipe", 1, "40/25 50/32 50/25 65/40 65/32 65/25 80/40 80/32", "40/25 50/32 50/25", "ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)"},
    {"2: ЛМР-1, water, Kvs 20 excluded", 2, "40/25 40/20 50/25 65/25", "40/25 50/25", "ЛМР-1 DN 40 Kvy 25 (0,60 - 1,00 МПа)"},
    {"3: ЛМР-Д, water, supply pipe", 3, "15/4 15/2.5 20/4 20/3.2 20/2.5 25/4", "15/4 15/2.5 20/4 20/2.5", "ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа)"},
};
// clang-format on

} // namespace

class TestRegulatorAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    void examples_data() { tableRows(kExamples); }
    void examples()
    {
        ORX_ROW(kExamples);
        orxtest::MessageCapture capture;
        const RegulatorInputParams task = algotest::regulatorExample(row.number);
        RegulatorAlgorithm alg;
        QVERIFY2(alg.calc(task), qPrintable(alg.errorText()));
        QCOMPARE(orxtest::designations(alg.results(), false), QLatin1String(row.candidates));
        QCOMPARE(orxtest::designations(alg.results(), true), QLatin1String(row.proposed));
        QCOMPARE(alg.results().first().name(false), QString::fromUtf8(row.tuning));
        for (const RegulatorResultItem& item : alg.results())
            QCOMPARE(item.deviceType * 10 + item.regulation, task.deviceType() * 10 + task.regulation);
        QCOMPARE(capture.count(), 0);
    }

    void refusals_data() { tableRows(kRefusals); }
    void refusals()
    {
        ORX_ROW(kRefusals);
        orxtest::MessageCapture capture;
        RegulatorAlgorithm alg;
        QVERIFY(!alg.calc(row.task));
        const QString reason = QString::fromUtf8(row.reason).arg(QString::fromUtf8(row.arg));
        QCOMPARE(alg.errors(),
                 QStringList{row.reason ? orxtest::invalidInput(qPrintable(reason)) : orxtest::emptyFields});
        QVERIFY(alg.results().isEmpty());
        // The bypass regulator's candidates have no setpoint: each is reported.
        QCOMPARE(capture.assertions().isEmpty(), row.task.regulation != rtBypass);
    }

    void tuningRange_data() { tableRows(kRanges); }
    void tuningRange()
    {
        ORX_ROW(kRanges);
        orxtest::MessageCapture capture;
        RegulatorAlgorithm alg;
        alg.calc(row.task);
        QCOMPARE(alg.tuningRange(row.dn), row.code);
        QVERIFY(capture.assertions().isEmpty());
    }

    void catalogues()
    {
        RegulatorAlgorithm alg;
        // Steam: the catalogue ends at DN 100; the speed grows after the regulator.
        QVERIFY(alg.calc(steamTask(0.8, 0.3)));
        QCOMPARE(alg.ascendingKvsList().last() + alg.input().deviceType(), 125.0 + dtLMR2P);
        QCOMPARE(alg.diametersByKvs(4), (QList<int>{15, 20, 25}));
        for (const RegulatorResultItem& item : alg.results())
            QVERIFY(item.pipeFlowSpeed(AfterDevice) > item.pipeFlowSpeed(BeforeDevice));
        // The others reach DN 200; Kvs 4 comes in DN 15 too.
        QVERIFY(alg.calc(algotest::regulatorExample(3)));
        QCOMPARE(alg.ascendingKvsList().last(), 630.0);
        QCOMPARE(alg.diametersByKvs(280), (QList<int>{150}));
        for (double excluded : {1.0, 3.2, 8.0, 12.5, 20.0, 50.0, 80.0})
            QVERIFY(!alg.isKvsAcceptable(excluded));
        QVERIFY(alg.isKvsAcceptable(2.5) && alg.isKvsAcceptable(630));
        // A DN beyond the spring table is reported; an unknown code has no name.
        orxtest::MessageCapture capture;
        QCOMPARE(alg.tuningRange(350), 999);
        QCOMPARE(RegulatorAlgorithm::tuningRangeName(999), QStringLiteral("проблема с диапазоном настройки"));
        QCOMPARE(RegulatorAlgorithm::tuningRangeName(1000), QStringLiteral("Неизвестно"));
        QCOMPARE(capture.assertions().size(), 2);
        // Names in full; candidates of a DN are not ranked against each other.
        RegulatorResultItem item;
        item.deviceType = dtLMR1, item.dn = 40, item.kv = 2.5, item.tuningRange = 317;
        QCOMPARE(item.name(true),
                 QStringLiteral("Регулятор давления «до себя» ЛМР-1 DN 40 Kvy 2.5 (0,60 - 1,00 МПа)"));
        RegulatorResultItem other = item;
        other.kv = 1.6;
        QVERIFY(!item.isBetter(other) && !other.isBetter(item));
    }
};

ORX_CORE_TEST_MAIN(TestRegulatorAlgorithm)
#include "tst_regulatoralgorithm.moc"
