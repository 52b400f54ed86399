// Regulator selection: the three worked examples, the regulator's own input
// checks in their order, the tuning ranges and the failure when no spring fits.

#include "engine/algotest.h"
#include "engine/regulatoralgorithm.h"
#include "testsupport.h"

#include <QtTest>

#include <cmath>

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

// "DN/Kvs" of each candidate, in the order given.
QStringList designations(const QList<RegulatorResultItem>& items, bool onlyProposed)
{
    QStringList result;
    for (const RegulatorResultItem& item : items)
        if (!onlyProposed || !item.rejected)
            result << QStringLiteral("%1/%2").arg(item.dn).arg(item.kv);
    return result;
}

bool near(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

QString invalid(const char* text)
{
    return QStringLiteral("Недопустимые входные данные:<br>") + QString::fromUtf8(text);
}

// A worked example: its flow, Kv, medium properties and setpoint, MPa.
struct Example
{
    int number;
    double flow;
    double kv;
    double density;
    double vapourPressure;
    double setpoint;
};

// The figures of a candidate DN/Kvs an example quotes.
struct Candidate
{
    int dn;
    double kvs;
    double speed;
    int noise;
    const char* tuning;
    bool rejected;
};

} // namespace

Q_DECLARE_METATYPE(Example)
Q_DECLARE_METATYPE(Candidate)
Q_DECLARE_METATYPE(RegulatorInputParams)

class TestRegulatorAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    // Each example with a candidate it quotes; none of them cavitates. Values
    // quoted with one decimal match when rounded to it.
    void examples_data()
    {
        QTest::addColumn<Example>("e");
        QTest::addColumn<Candidate>("c");
        QTest::addColumn<QString>("candidates");
        QTest::addColumn<QString>("proposed");
        const char* low = "0,04 - 0,70 МПа";
        QTest::newRow("1: ЛМР-Д, propylene glycol 10 %, return pipe")
            << Example{1, 38.71, 27.3391, 997.755, 9968.72, 0.1}
            << Candidate{40, 25, 8.56, nrLowerMedium, low, false}
            << "40/25 50/32 50/25 65/40 65/32 65/25 80/40 80/32"
            << "40/25 50/32 50/25";
        QTest::newRow("2: ЛМР-1, water, Kvs 20 excluded")
            << Example{2, 38.88, 19.46, 989.9, 10054.8, 0.81}
            << Candidate{40, 20, 8.59, nrUpperMedium, "0,60 - 1,00 МПа", true} << "40/25 40/20 50/25 65/25"
            << "40/25 50/25";
        const Example third{3, 2.98, 2.56, 958.4, 101320, 0.05};
        const char* thirdCandidates = "15/4 15/2.5 20/4 20/3.2 20/2.5 25/4";
        QTest::newRow("3: ЛМР-Д, water, supply pipe, DN 15")
            << third << Candidate{15, 2.5, 4.68, nrLowerMedium, low, false} << thirdCandidates
            << "15/4 15/2.5 20/4 20/2.5";
        QTest::newRow("3: ЛМР-Д, water, supply pipe, DN 20")
            << third << Candidate{20, 2.5, 2.63, nrLowerMedium, low, false} << thirdCandidates
            << "15/4 15/2.5 20/4 20/2.5";
    }

    void examples()
    {
        QFETCH(Example, e);
        QFETCH(Candidate, c);
        QFETCH(QString, candidates);
        QFETCH(QString, proposed);
        orxtest::MessageCapture capture;
        const RegulatorInputParams task = algotest::regulatorExample(e.number);
        RegulatorAlgorithm alg;
        QVERIFY2(alg.calc(task), qPrintable(alg.errorText()));
        QVERIFY(near(task.flow, e.flow, 0.01));
        QVERIFY2(near(alg.kvsMath(), e.kv, 0.01), qPrintable(QString::number(alg.kvsMath(), 'f', 4)));
        QVERIFY(near(alg.liquidDensity(), e.density, 0.05));
        QVERIFY(near(alg.steamPressure(), e.vapourPressure, 0.05));
        QVERIFY(near(alg.setpoint(), e.setpoint, 0.005));
        QCOMPARE(designations(alg.results(), false).join(QLatin1Char(' ')), candidates);
        QCOMPARE(designations(alg.results(), true).join(QLatin1Char(' ')), proposed);
        QCOMPARE(capture.count(), 0);

        const RegulatorResultItem* item = nullptr;
        for (const RegulatorResultItem& candidate : alg.results())
            if (candidate.dn == c.dn && candidate.kv == c.kvs)
                item = &candidate;
        QVERIFY(item);
        QCOMPARE(item->deviceType, task.deviceType());
        QCOMPARE(item->regulation, task.regulation);
        QVERIFY2(near(item->pipeFlowSpeed(Anywhere), c.speed, 0.01),
                 qPrintable(QString::number(item->pipeFlowSpeed(Anywhere))));
        QVERIFY(!item->hasCavitationRisk());
        QCOMPARE(item->deviceNoiseRisk, c.noise);
        QCOMPARE(RegulatorAlgorithm::tuningRangeName(item->tuningRange), QString::fromUtf8(c.tuning));
        QCOMPARE(item->rejected, c.rejected);
    }

    // The first failing check decides the one message the user sees.
    void refusals_data()
    {
        QTest::addColumn<RegulatorInputParams>("task");
        QTest::addColumn<QString>("message");

        const QString empty = QStringLiteral("Не заполнены входные данные");
        const QString beforeTooHigh = invalid(
            "слишком высокое давление перед регулятором: избыточное давление не должно превышать 2,5 МПа");
        const QString unitMissing = invalid("укажите единицы измерения расхода рабочей среды <i>G<i>");
        const char* balance = "сумма перепадов давления должна быть равной %1<br>(должно выполняться условие "
                              "<i>\u0394Pру + \u0394Pрег + \u0394Pдр.под + \u0394Pдр.обр = Pпод - Pобр</i>)";
        const char* tuning = "есть проблемы с подбором диапазона настройки (слишком %1)";

        QTest::newRow("Pпод empty") << differential(0, 1, 1, 2, 0.5, 0.5) << empty;
        QTest::newRow("ΔPрег empty") << differential(5, 1, 1, 0, 0.5, 0.5) << empty;
        QTest::newRow("ΔPру empty") << differential(5, 1, 0, 2, 0.5, 0.5) << empty;
        QTest::newRow("Pпод = Pобр, before the balance")
            << differential(1, 1, 1, 2, 0.5, 0.5)
            << invalid(
                   "давление на подающем трубопроводе (<i>Pпод</i>) должно превышать давление на обратном "
                   "(<i>Pобр</i>)");
        QTest::newRow("drops short of Pпод - Pобр")
            << differential(5, 1, 1, 2, 0.5, 0.4) << invalid(balance).arg(QStringLiteral("4 бар"));
        QTest::newRow("difference in its shortest form")
            << differential(6.1, 4, 1, 1, 0.05, 0.1) << invalid(balance).arg(QStringLiteral("2.1 бар"));
        QTest::newRow("seven-digit pascals, no exponent")
            << withMeasure(differential(2500000, 1234567, 400000, 465000, 200000, 200000), pkAbsolute, pmPa)
            << invalid(balance).arg(QStringLiteral("1265433 Па"));
        QTest::newRow("metres of water")
            << withMeasure(differential(6, 4, 0.5, 1.3, 0.1, 0.2), pkAbsolute, pmMWater)
            << invalid(balance).arg(QStringLiteral("2 м вод. ст."));
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

        QTest::newRow("P1 empty") << pressureTask(rtUpstream, 0, 0.3) << empty;
        QTest::newRow("P1 = P2")
            << pressureTask(rtUpstream, 0.5, 0.5, 0)
            << invalid("давление перед регулятором (<i>P1</i>) должно превышать давление после регулятора "
                       "(<i>P2</i>)");
        QTest::newRow("2.51 MPa gauge before") << pressureTask(rtDownstream, 2.51, 0.5) << beforeTooHigh;
        RegulatorInputParams t = pressureTask(rtUpstream, 0.8, 0.4);
        t.Tsupply = 70;
        t.Treturn = 70;
        QTest::newRow("temperatures")
            << t
            << invalid(
                   "температура рабочей среды в подающем трубопроводе (<i>Tпод</i>) должна быть больше, чем "
                   "в обратном (<i>Tобр</i>)");
        t = pressureTask(rtUpstream, 0.8, 0.4);
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
        QTest::newRow("ЛМР-1 at 0.03 MPa")
            << pressureTask(rtUpstream, 0.03, 0.01)
            << invalid(tuning).arg(QStringLiteral("низкое регулируемое давление"));
        QTest::newRow("ЛМР-Д at 1.3 MPa")
            << differential(20, 2, 13, 4, 0.5, 0.5)
            << invalid(tuning).arg(QStringLiteral("высокий регулируемый перепад"));

        // A choice outside its table is not filled in: no inlet pressure of
        // 0 Pa for a differential regulator without a place, no candidates.
        const auto spoilt = [](RegulatorInputParams in, int RegulatorInputParams::*field, int value) {
            in.*field = value;
            return in;
        };
        const RegulatorInputParams example = algotest::regulatorExample(1);
        QTest::newRow("unknown medium") << spoilt(example, &RegulatorInputParams::substance, 12) << empty;
        QTest::newRow("unknown pressure unit")
            << spoilt(example, &RegulatorInputParams::pressureMeasure, 0) << empty;
        QTest::newRow("unknown pressure kind")
            << spoilt(example, &RegulatorInputParams::pressureType, -1) << empty;
        QTest::newRow("no installation place") << spoilt(example, &RegulatorInputParams::place, 0) << empty;
        QTest::newRow("unknown flow input mode")
            << spoilt(example, &RegulatorInputParams::flowInputMode, -1) << empty;
        QTest::newRow("flow from heat in an unknown unit")
            << spoilt(example, &RegulatorInputParams::heatMeasure, 0) << empty;
        t = spoilt(example, &RegulatorInputParams::regulation, 5);
        t.P1 = 3.5;
        t.P2 = 1.5;
        QTest::newRow("unknown kind of regulation") << t << empty;
        QTest::newRow("unknown flow unit")
            << spoilt(example, &RegulatorInputParams::flowMeasure, 9) << unitMissing;
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
        QTest::newRow("ЛМР-Д DN 80, 1.2") << diff(1.2) << 80 << 835;
        QTest::newRow("ЛМР-Д DN 80, 1.3") << diff(1.3) << 80 << 999;
        QTest::newRow("ЛМР-Д DN 100, 0.04") << diff(0.04) << 100 << 527;
        QTest::newRow("ЛМР-Д DN 100, 0.03") << diff(0.03) << 100 << 999;
        QTest::newRow("ЛМР-Д DN 125, 0.65") << diff(0.65) << 125 << 527;
        QTest::newRow("ЛМР-Д DN 150, 0.66") << diff(0.66) << 150 << 117;
        QTest::newRow("ЛМР-Д DN 200, 0.12") << diff(0.12) << 200 << 737;
        QTest::newRow("ЛМР-Д DN 200, 0.35") << diff(0.35) << 200 << 378;
        QTest::newRow("ЛМР-Д DN 300, 1.0") << diff(1.0) << 300 << 298;
        QTest::newRow("ЛМР-Д, negative ΔPру counts as 0") << diff(-0.5) << 80 << 999;

        // ЛМР-1: the pressure before the regulator, gauge MPa.
        QTest::newRow("ЛМР-1 DN 100, 0.65") << pressureTask(rtUpstream, 0.65, 0.3) << 100 << 527;
        QTest::newRow("ЛМР-1 DN 100, 1.0") << pressureTask(rtUpstream, 1.0, 0.3) << 100 << 317;
        QTest::newRow("ЛМР-1 DN 150, 0.7") << pressureTask(rtUpstream, 0.7, 0.3) << 150 << 527;
        QTest::newRow("ЛМР-1 DN 150, 0.71") << pressureTask(rtUpstream, 0.71, 0.3) << 150 << 999;
        QTest::newRow("ЛМР-1 DN 250, 0.2") << pressureTask(rtUpstream, 0.2, 0.1) << 250 << 378;

        // ЛМР-2-П: the pressure after the regulator, gauge MPa.
        QTest::newRow("ЛМР-2-П, 0.05") << steamTask(0.8, 0.05) << 50 << 999;
        QTest::newRow("ЛМР-2-П, 0.1") << steamTask(0.8, 0.1) << 15 << 541;
        QTest::newRow("ЛМР-2-П, 0.6") << steamTask(0.8, 0.6) << 100 << 541;
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
        QTest::newRow("737") << 737 << QStringLiteral("0,04 - 0,16 МПа");
        QTest::newRow("527") << 527 << QStringLiteral("0,04 - 0,70 МПа");
        QTest::newRow("378") << 378 << QStringLiteral("0,10 - 0,40 МПа");
        QTest::newRow("541") << 541 << QStringLiteral("0,10 - 0,70 МПа");
        QTest::newRow("835") << 835 << QStringLiteral("0,20 - 1,20 МПа");
        QTest::newRow("298") << 298 << QStringLiteral("0,30 - 1,00 МПа");
        QTest::newRow("682") << 682 << QStringLiteral("0,30 - 1,20 МПа");
        QTest::newRow("317") << 317 << QStringLiteral("0,60 - 1,00 МПа");
        QTest::newRow("117") << 117 << QStringLiteral("0,60 - 1,20 МПа");
        QTest::newRow("999") << 999 << QStringLiteral("проблема с диапазоном настройки");
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
        for (double offered : {1.6, 2.5, 4.0, 25.0, 63.0, 630.0})
            QVERIFY(alg.isKvsAcceptable(offered));
    }

    void namesAndComparison()
    {
        RegulatorResultItem item;
        item.deviceType = dtLMRD;
        item.dn = 40;
        item.kv = 25;
        item.tuningRange = 527;
        QCOMPARE(item.name(false), QStringLiteral("ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)"));
        item.deviceType = dtLMR1;
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
