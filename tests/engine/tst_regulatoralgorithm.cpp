// Regulator selection: the candidates of the three worked examples, the regulator's
// own input checks in their order, the tuning ranges and the failure when no spring fits.

#include "engine/algotest.h"
#include "engine/regulatoralgorithm.h"
#include "testsupport.h"

using namespace common;

namespace {

// A differential-pressure task in absolute bar, water, m³/h.
RegulatorInputParams differential(double Psupply, double Preturn, double dPru, double dPreg, double drSupply,
                                  double drReturn, double flow = 10)
{
    RegulatorInputParams in;
    in.regulation = rtDiffPressure;
    in.substance = stWater;
    in.pressureType = pkAbsolute;
    in.pressureMeasure = pmBar;
    in.Psupply = Psupply;
    in.Preturn = Preturn;
    in.dPru = dPru;
    in.dPreg = dPreg;
    in.dPdrSupply = drSupply;
    in.dPdrReturn = drReturn;
    in.Tsupply = 90;
    in.Treturn = 60;
    in.flowMeasure = wfM3h;
    in.flow = flow;
    return in;
}

RegulatorInputParams withMeasure(RegulatorInputParams in, int pressureType, int pressureMeasure)
{
    in.pressureType = pressureType;
    in.pressureMeasure = pressureMeasure;
    return in;
}

// A task of the other kinds in gauge MPa, water on the return pipe.
RegulatorInputParams pressureTask(int regulation, double P1, double P2, double flow = 10)
{
    RegulatorInputParams in;
    in.regulation = regulation;
    in.substance = stWater;
    in.place = ipReturn;
    in.pressureType = pkExcess;
    in.pressureMeasure = pmMPa;
    in.P1 = P1;
    in.P2 = P2;
    in.Treturn = 60;
    in.flowMeasure = wfM3h;
    in.flow = flow;
    return in;
}

// Downstream pressure of saturated steam in gauge MPa.
RegulatorInputParams steamTask(double P1, double P2)
{
    RegulatorInputParams in = pressureTask(rtDownstream, P1, P2, 500);
    in.substance = stSaturatedSteam;
    in.place = ipSupply;
    in.Tsupply = 190;
    in.Treturn = NAN;
    in.flowMeasure = wfKgh;
    return in;
}

const auto invalid = orxtest::invalidInput;

} // namespace

Q_DECLARE_METATYPE(RegulatorInputParams)

class TestRegulatorAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    // The figures of the examples are the start-up self-tests' (tst_algotest);
    // here the candidates each example lists and proposes, and the spring of
    // the first.
    void examples_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("candidates");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("tuning");
        QTest::newRow("1: ЛМР-Д, propylene glycol 10 %, return pipe")
            << 1 << "40/25 50/32 50/25 65/40 65/32 65/25 80/40 80/32"
            << "40/25 50/32 50/25"
            << "ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)";
        QTest::newRow("2: ЛМР-1, water, Kvs 20 excluded") << 2 << "40/25 40/20 50/25 65/25"
                                                          << "40/25 50/25"
                                                          << "ЛМР-1 DN 40 Kvy 25 (0,60 - 1,00 МПа)";
        QTest::newRow("3: ЛМР-Д, water, supply pipe") << 3 << "15/4 15/2.5 20/4 20/3.2 20/2.5 25/4"
                                                      << "15/4 15/2.5 20/4 20/2.5"
                                                      << "ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа)";
    }

    void examples()
    {
        QFETCH(int, number);
        orxtest::MessageCapture capture;
        const RegulatorInputParams task = algotest::regulatorExample(number);
        RegulatorAlgorithm alg;
        QVERIFY2(alg.calc(task), qPrintable(alg.errorText()));
        QTEST(orxtest::designations(alg.results(), false), "candidates");
        QTEST(orxtest::designations(alg.results(), true), "proposed");
        QTEST(alg.results().first().name(false), "tuning");
        for (const RegulatorResultItem& item : alg.results()) {
            QCOMPARE(item.deviceType, task.deviceType());
            QCOMPARE(item.regulation, task.regulation);
        }
        QCOMPARE(capture.count(), 0);
    }

    // The first failing check decides the one message the user sees.
    void refusals_data()
    {
        QTest::addColumn<RegulatorInputParams>("task");
        QTest::addColumn<QString>("message");

        const QString empty = orxtest::emptyFields;
        const QString beforeTooHigh = invalid(
            "слишком высокое давление перед регулятором: избыточное давление не должно превышать 2,5 МПа");
        const QString unitMissing = invalid("укажите единицы измерения расхода рабочей среды <i>G<i>");
        const char* balance = "сумма перепадов давления должна быть равной %1<br>(должно выполняться условие "
                              "<i>\u0394Pру + \u0394Pрег + \u0394Pдр.под + \u0394Pдр.обр = Pпод - Pобр</i>)";
        const char* tuning = "есть проблемы с подбором диапазона настройки (слишком %1)";

        QTest::newRow("Pпод empty") << differential(0, 1, 1, 2, 0.5, 0.5) << empty;
        QTest::newRow("ΔPру empty") << differential(5, 1, 0, 2, 0.5, 0.5) << empty;
        QTest::newRow("Pпод = Pобр, before the balance")
            << differential(1, 1, 1, 2, 0.5, 0.5)
            << invalid(
                   "давление на подающем трубопроводе (<i>Pпод</i>) должно превышать давление на обратном "
                   "(<i>Pобр</i>)");
        QTest::newRow("difference in its shortest form")
            << differential(6.1, 4, 1, 1, 0.05, 0.1) << invalid(balance).arg(QStringLiteral("2.1 бар"));
        QTest::newRow("seven-digit pascals, no exponent")
            << withMeasure(differential(2500000, 1234567, 400000, 465000, 200000, 200000), pkAbsolute, pmPa)
            << invalid(balance).arg(QStringLiteral("1265433 Па"));
        QTest::newRow("25.5 bar gauge before the regulator")
            << withMeasure(differential(26, 20, 1, 4, 0.5, 0.5), pkExcess, pmBar) << beforeTooHigh;
        QTest::newRow("25.4 bar gauge in the supply pipe")
            << withMeasure(differential(25.4, 19.4, 1, 4, 0.5, 0.5), pkExcess, pmBar)
            << invalid("слишком высокое давление на подающем трубопроводе: избыточное давление не должно "
                       "превышать 2,5 МПа");
        QTest::newRow("ΔPру 0.3 bar, before the empty flow")
            << differential(5, 1, 0.3, 2.7, 0.5, 0.5, 0)
            << invalid("слишком маленький перепад давления на регулируемом участке. Должен быть не менее "
                       "0,04 МПа");
        QTest::newRow("ΔPру 0.4 bar passes") << differential(5, 1, 0.4, 2.6, 0.5, 0.5, 0) << empty;

        QTest::newRow("P1 = P2")
            << pressureTask(rtUpstream, 0.5, 0.5, 0)
            << invalid("давление перед регулятором (<i>P1</i>) должно превышать давление после регулятора "
                       "(<i>P2</i>)");
        QTest::newRow("2.51 MPa gauge before") << pressureTask(rtDownstream, 2.51, 0.5) << beforeTooHigh;
        RegulatorInputParams t = pressureTask(rtUpstream, 0.8, 0.4);
        t.flowMeasure = 0;
        QTest::newRow("flow unit missing") << t << unitMissing;
        t.Treturn = NAN;
        QTest::newRow("flow unit missing, regulator's own temperature hidden") << t << unitMissing;
        t.flowMeasure = wfM3h;
        QTest::newRow("regulator's own temperature hidden") << t << empty;

        // Every candidate without a spring for the setpoint.
        QTest::newRow("ЛМР-2-П at 0.05 MPa")
            << steamTask(0.8, 0.05) << invalid(tuning).arg(QStringLiteral("низкое регулируемое давление"));
        QTest::newRow("ЛМР-1 at 1.1 MPa")
            << pressureTask(rtUpstream, 1.1, 0.5)
            << invalid(tuning).arg(QStringLiteral("высокое регулируемое давление"));
        QTest::newRow("ЛМР-Д at 1.3 MPa")
            << differential(20, 2, 13, 4, 0.5, 0.5)
            << invalid(tuning).arg(QStringLiteral("высокий регулируемый перепад"));

        // A choice outside its table is not filled in: no inlet pressure of
        // 0 Pa for a differential regulator without a place, no candidates
        // (the Kv tests walk the choices every task shares).
        t = algotest::regulatorExample(1);
        t.place = 0;
        QTest::newRow("no installation place") << t << empty;
        t.place = ipReturn;
        t.regulation = 5;
        t.P1 = 3.5;
        t.P2 = 1.5;
        QTest::newRow("unknown kind of regulation") << t << empty;
    }

    void refusals()
    {
        QFETCH(RegulatorInputParams, task);
        QFETCH(QString, message);
        orxtest::MessageCapture capture;
        RegulatorAlgorithm alg;
        QVERIFY(!alg.calc(task));
        QCOMPARE(alg.errors(), QStringList{message});
        QVERIFY(alg.results().isEmpty());
        QVERIFY(capture.assertions().isEmpty());
    }

    void tuningRange_data()
    {
        QTest::addColumn<RegulatorInputParams>("task");
        QTest::addColumn<int>("dn");
        QTest::addColumn<int>("code");

        // ЛМР-Д: the setpoint is ΔPру, given here in MPa.
        auto diff = [](double s) {
            return withMeasure(differential(5, 1, s, 2, 0.5, 0.5), pkAbsolute, pmMPa);
        };
        QTest::newRow("ЛМР-Д DN 80, 0.5") << diff(0.5) << 80 << 527;
        QTest::newRow("ЛМР-Д DN 80, 0.51") << diff(0.51) << 80 << 835;
        QTest::newRow("ЛМР-Д DN 80, 1.3") << diff(1.3) << 80 << 999;
        QTest::newRow("ЛМР-Д DN 100, 0.03") << diff(0.03) << 100 << 999;
        QTest::newRow("ЛМР-Д DN 150, 0.66") << diff(0.66) << 150 << 117;
        QTest::newRow("ЛМР-Д DN 200, 0.12") << diff(0.12) << 200 << 737;
        QTest::newRow("ЛМР-Д DN 200, 0.35") << diff(0.35) << 200 << 378;
        QTest::newRow("ЛМР-Д, negative ΔPру counts as 0") << diff(-0.5) << 80 << 999;

        // ЛМР-1: the pressure before the regulator, gauge MPa.
        QTest::newRow("ЛМР-1 DN 100, 1.0") << pressureTask(rtUpstream, 1.0, 0.3) << 100 << 317;
        QTest::newRow("ЛМР-1 DN 150, 0.7") << pressureTask(rtUpstream, 0.7, 0.3) << 150 << 527;
        QTest::newRow("ЛМР-1 DN 150, 0.71") << pressureTask(rtUpstream, 0.71, 0.3) << 150 << 999;

        // ЛМР-2-П: the pressure after the regulator, gauge MPa.
        QTest::newRow("ЛМР-2-П, 0.05") << steamTask(0.8, 0.05) << 50 << 999;
        QTest::newRow("ЛМР-2-П, 0.1") << steamTask(0.8, 0.1) << 15 << 541;
        QTest::newRow("ЛМР-2-П, 0.61") << steamTask(0.8, 0.61) << 100 << 682;
    }

    void tuningRange()
    {
        QFETCH(RegulatorInputParams, task);
        QFETCH(int, dn);
        orxtest::MessageCapture capture;
        RegulatorAlgorithm alg;
        alg.calc(task);
        QTEST(alg.tuningRange(dn), "code");
        QVERIFY(capture.assertions().isEmpty());
    }

    void outsideTheTuningTable()
    {
        orxtest::MessageCapture capture;
        RegulatorAlgorithm alg;
        alg.calc(differential(5, 1, 1, 2, 0.5, 0.5));
        QCOMPARE(alg.tuningRange(350), 999);
        QCOMPARE(capture.assertions().size(), 1);

        // The bypass regulator has no springs and no setpoint: each candidate
        // is reported and the selection fails on the tuning range.
        capture.clear();
        QVERIFY(!alg.calc(pressureTask(rtBypass, 0.8, 0.4)));
        QCOMPARE(alg.errors(),
                 QStringList{invalid("есть проблемы с подбором диапазона настройки (слишком низкое "
                                     "регулируемое давление)")});
        QVERIFY(!capture.assertions().isEmpty());
    }

    void tuningRangeNames_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        // The names of the springs are checked with the examples' candidates.
        QTest::newRow("no spring fits") << 999 << QStringLiteral("проблема с диапазоном настройки");
        QTest::newRow("unknown, reported") << 1000 << QStringLiteral("Неизвестно");
    }

    void tuningRangeNames()
    {
        QFETCH(int, code);
        orxtest::MessageCapture capture;
        QTEST(RegulatorAlgorithm::tuningRangeName(code), "name");
        QCOMPARE(capture.assertions().size(), code == 1000 ? 1 : 0);
    }

    void catalogues()
    {
        RegulatorAlgorithm alg;
        // Steam: the catalogue ends at DN 100; the speed grows after the regulator.
        QVERIFY(alg.calc(steamTask(0.8, 0.3)));
        QCOMPARE(alg.input().deviceType(), int(dtLMR2P));
        QCOMPARE(alg.ascendingKvsList().last(), 125.0);
        QCOMPARE(alg.diametersByKvs(4), (QList<int>{15, 20, 25}));
        for (const RegulatorResultItem& item : alg.results())
            QVERIFY(item.pipeFlowSpeed(AfterDevice) > item.pipeFlowSpeed(BeforeDevice));

        // The others reach DN 200; Kvs 4 comes in DN 15 too.
        QVERIFY(alg.calc(algotest::regulatorExample(3)));
        QCOMPARE(alg.ascendingKvsList().last(), 630.0);
        QCOMPARE(alg.diametersByKvs(4), (QList<int>{15, 20, 25}));
        QCOMPARE(alg.diametersByKvs(280), (QList<int>{150}));

        for (double excluded : {1.0, 3.2, 8.0, 12.5, 20.0, 50.0, 80.0})
            QVERIFY(!alg.isKvsAcceptable(excluded));
        QVERIFY(alg.isKvsAcceptable(2.5) && alg.isKvsAcceptable(630));
    }

    void namesAndComparison()
    {
        RegulatorResultItem item;
        item.deviceType = dtLMR1;
        item.dn = 40;
        item.kv = 2.5;
        item.tuningRange = 317;
        QCOMPARE(item.name(true),
                 QStringLiteral("Регулятор давления «до себя» ЛМР-1 DN 40 Kvy 2.5 (0,60 - 1,00 МПа)"));

        RegulatorResultItem other = item;
        other.kv = 1.6;
        QVERIFY(!item.isBetter(other));
        QVERIFY(!other.isBetter(item));
    }
};

ORX_CORE_TEST_MAIN(TestRegulatorAlgorithm)
#include "tst_regulatoralgorithm.moc"
