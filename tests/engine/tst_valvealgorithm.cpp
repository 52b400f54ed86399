// Valve selection: the four worked examples with their candidates' figures,
// the rejection rules, the rating of candidates and their names.

#include "engine/algotest.h"
#include "engine/valvealgorithm.h"
#include "testsupport.h"

#include <QtTest>

#include <cmath>

using namespace common;

namespace {

// "DN/Kvs" of each candidate, in the order given.
QStringList designations(const QList<ValveResultItem>& items, bool onlyProposed)
{
    QStringList result;
    for (const ValveResultItem& item : items)
        if (!onlyProposed || !item.rejected)
            result << QStringLiteral("%1/%2").arg(item.dn).arg(item.kv);
    return result;
}

QStringList models(const char* list)
{
    return QString::fromLatin1(list).split(QLatin1Char(' '));
}

ValveResultItem rated(double speed, double reserve, double authority, bool cavitation = false)
{
    ValveResultItem item;
    item.deviceType = dtLMK2;
    item.setPipeFlowSpeed(Anywhere, speed);
    item.Kreserve = reserve;
    item.avtoritet = authority;
    item.cavitationRisk = cavitation;
    return item;
}

ValveResultItem named(int deviceType, int dn, double kv)
{
    ValveResultItem item;
    item.deviceType = deviceType;
    item.dn = dn;
    item.kv = kv;
    return item;
}

// The first worked example with one change.
template <typename Class, typename Field, typename Value>
ValveInputParams example1(Field Class::*field, Value value)
{
    ValveInputParams in = algotest::valveExample(1);
    in.*field = value;
    return in;
}

QString invalid(const char* text)
{
    return QStringLiteral("Недопустимые входные данные:<br>") + QString::fromUtf8(text);
}

bool near(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

// A worked example: its flow, Kv and medium properties.
struct Example
{
    int number;
    double flow;
    double kv;
    double density;
    double vapourPressure;
};

// The figures of the candidate DN/Kvs an example quotes.
struct Candidate
{
    int dn;
    double kvs;
    double reserve;
    double authority;
    double fullOpen;
    double speed;
    int noise;
    bool rejected;
};

} // namespace

Q_DECLARE_METATYPE(Example)
Q_DECLARE_METATYPE(Candidate)
Q_DECLARE_METATYPE(ValveInputParams)
Q_DECLARE_METATYPE(ValveResultItem)

class TestValveAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    // Each liquid example with the candidate it quotes; none of them cavitates.
    void examples_data()
    {
        QTest::addColumn<Example>("e");
        QTest::addColumn<Candidate>("c");
        QTest::addColumn<QString>("candidates");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("1: ЛМК-2, propylene glycol 50 %")
            << Example{1, 91.8077, 92.5304, 984.439, 82591.7}
            << Candidate{125, 125, 1.35, 0.59, 111.574, 2.53, nrLow, true}
            << "80/100 100/125 100/100 125/125 125/100 150/100"
            << "80/100 100/125 100/100";
        QTest::newRow("2: ЛМК-2, water, 91 Gcal/h")
            << Example{2, 1636.76, 1186.49, 958.4, 101320}
            << Candidate{300, 1250, 1.05, 0.74, 1701.16, 6.69, nrLowerMedium, false} << "300/1600 300/1250"
            << "300/1600 300/1250";
        QTest::newRow("3: ЛМК-3, water, return pipe")
            << Example{3, 34.43, 24.42, 980.553, 24973.9}
            << Candidate{40, 25, 1.02, 0.765, 35.74, 7.90, nrLowerMedium, false} << "40/25 50/32"
            << "40/25 50/32";
    }

    void examples()
    {
        QFETCH(Example, e);
        QFETCH(Candidate, c);
        QFETCH(QString, candidates);
        QFETCH(QString, proposed);
        orxtest::MessageCapture capture;
        const ValveInputParams task = algotest::valveExample(e.number);
        ValveAlgorithm alg;
        QVERIFY2(alg.calc(task), qPrintable(alg.errorText()));
        QVERIFY(near(task.flow, e.flow, 0.01));
        QVERIFY(near(alg.kvsMath(), e.kv, 0.01));
        QVERIFY(near(alg.liquidDensity(), e.density, 0.01));
        QVERIFY(near(alg.steamPressure(), e.vapourPressure, 0.05));
        QCOMPARE(designations(alg.results(), false).join(QLatin1Char(' ')), candidates);
        QCOMPARE(designations(alg.results(), true).join(QLatin1Char(' ')), proposed);
        QCOMPARE(capture.count(), 0);

        const ValveResultItem* item = nullptr;
        for (const ValveResultItem& candidate : alg.results())
            if (candidate.dn == c.dn && candidate.kv == c.kvs)
                item = &candidate;
        QVERIFY(item);
        QCOMPARE(item->deviceType, task.valveType);
        QVERIFY(near(item->Kreserve, c.reserve, 1e-9));
        QVERIFY2(near(item->avtoritet, c.authority, 0.01), qPrintable(QString::number(item->avtoritet)));
        QVERIFY2(near(item->QFullOpen, c.fullOpen, 0.01),
                 qPrintable(QString::number(item->QFullOpen, 'f', 4)));
        QVERIFY2(near(item->pipeFlowSpeed(Anywhere), c.speed, 0.01),
                 qPrintable(QString::number(item->pipeFlowSpeed(Anywhere))));
        QVERIFY(!item->hasPipeFlowSpeed(BeforeDevice));
        QVERIFY(near(item->opening, alg.kvsMath() / c.kvs * 100, 1e-9));
        QVERIFY(!item->hasCavitationRisk());
        QCOMPARE(item->deviceNoiseRisk, c.noise);
        QCOMPARE(item->rejected, c.rejected);
    }

    void steamCandidates()
    {
        orxtest::MessageCapture capture;
        ValveAlgorithm alg;
        QVERIFY(alg.calc(algotest::valveExample(4)));
        QVERIFY(near(alg.kvsMath(), 29.86, 0.01));
        QVERIFY(near(alg.steamSpecificVolume(BeforeDevice), 0.4639, 0.0001));
        QVERIFY(near(alg.steamSpecificVolume(AfterDevice), 0.6400, 0.0001));
        QCOMPARE(designations(alg.results(), false), models("50/40 50/32 65/40 80/40"));
        QCOMPARE(designations(alg.results(), true), models("50/40 50/32 65/40"));
        for (const ValveResultItem& item : alg.results()) {
            // The volume of steam follows its state: the same speeds for every
            // model of one DN, higher after the valve.
            if (item.dn == 50) {
                QVERIFY(near(item.pipeFlowSpeed(BeforeDevice), 88.30, 0.01));
                QVERIFY(near(item.pipeFlowSpeed(AfterDevice), 121.83, 0.01));
            }
            QVERIFY(!item.hasCavitationRisk());
            QCOMPARE(item.deviceNoiseRisk, int(nrLowerMedium));
            // Liquid-only figures stay 0, so only speed and cavitation score.
            QCOMPARE(item.Kreserve, 0.0);
            QCOMPARE(item.avtoritet, 0.0);
            QCOMPARE(item.QFullOpen, 0.0);
            QCOMPARE(item.score(), 2);
        }
        QCOMPARE(capture.count(), 0);

        // A steam candidate has no speed at Anywhere, and the full-open flow is
        // a liquid figure: asking for either is reported.
        QCOMPARE(alg.results().first().pipeFlowSpeed(Anywhere), 0.0);
        QVERIFY(capture.assertions().last().endsWith(QStringLiteral("m_pipeFlowSpeed.contains(l)")));
        QCOMPARE(alg.QFullOpen(40), 0.0);
        QCOMPARE(capture.assertions().size(), 2);
    }

    void refusals_data()
    {
        QTest::addColumn<ValveInputParams>("task");
        QTest::addColumn<QString>("message");

        const QString empty = QStringLiteral("Не заполнены входные данные");
        const QString unitMissing = QStringLiteral(
            "Не заполнены входные данные:<br>укажите единицы измерения расхода рабочей среды <i>G<i>");

        QTest::newRow("no valve type") << example1(&ValveInputParams::valveType, int(dtEmpty)) << empty;
        ValveInputParams t = example1(&ValveInputParams::P2, 6.0);
        t.dPru = 0;
        QTest::newRow("P1 = P2 before the empty ΔPру")
            << t << invalid("давление перед клапаном должно превышать давление после клапана");
        t = example1(&ValveInputParams::dPru, 0.0);
        t.Tsupply = 0;
        QTest::newRow("liquid without ΔPру") << t << empty;
        QTest::newRow("flow unit missing is an empty field")
            << example1(&ValveInputParams::flowMeasure, 0) << unitMissing;
        t = example1(&ValveInputParams::flowMeasure, 0);
        t.Tsupply = NAN;
        QTest::newRow("flow unit missing, valve's own temperature hidden") << t << unitMissing;
        QTest::newRow("valve's own temperature hidden") << example1(&ValveInputParams::Tsupply, NAN) << empty;
        QTest::newRow("return as warm as supply")
            << example1(&ValveInputParams::Treturn, 100.0)
            << invalid("температура рабочей среды в подающем трубопроводе (<i>Tпод</i>) должна быть больше, "
                       "чем в обратном (<i>Tобр</i>)");
        QTest::newRow("negative ΔPру, which no form sends")
            << example1(&ValveInputParams::dPru, -0.5)
            << invalid("при заданных входных данных характеристики моделей не определены");
        // Kv of about 2000: nothing in the ЛМК-3 catalogue lies above 0.9·Kv.
        t = algotest::valveExample(3);
        t.flow = 2900;
        QTest::newRow("no suitable model") << t << QStringLiteral("Не удалось найти модель с подходящим kv");

        // A choice outside its table is not filled in: nothing is selected
        // from a fallback (the return temperature for an unknown place, Gcal/h
        // for an unknown heat unit, ...).
        QTest::newRow("unknown medium") << example1(&ValveInputParams::substance, 0) << empty;
        QTest::newRow("unknown pressure unit") << example1(&ValveInputParams::pressureMeasure, 7) << empty;
        QTest::newRow("unknown pressure kind") << example1(&ValveInputParams::pressureType, 0) << empty;
        QTest::newRow("no installation place") << example1(&ValveInputParams::place, 3) << empty;
        QTest::newRow("unknown flow input mode") << example1(&ValveInputParams::flowInputMode, 0) << empty;
        QTest::newRow("flow from heat in an unknown unit")
            << example1(&ValveInputParams::heatMeasure, 2) << empty;
        QTest::newRow("unknown flow unit") << example1(&ValveInputParams::flowMeasure, 22) << unitMissing;
    }

    void refusals()
    {
        QFETCH(ValveInputParams, task);
        QFETCH(QString, message);
        orxtest::MessageCapture capture;
        ValveAlgorithm alg;
        QVERIFY(!alg.calc(task));
        QCOMPARE(alg.errors(), QStringList{message});
        QVERIFY(alg.results().isEmpty());
        QVERIFY(capture.assertions().isEmpty());
    }

    void catalogue()
    {
        ValveAlgorithm alg;
        // Steam needs no ΔPру.
        ValveInputParams in = algotest::valveExample(4);
        in.dPru = 0;
        QVERIFY(alg.calc(in));
        // ЛМК-П has no Kvs 4 at DN 15, unlike ЛМК-2.
        QCOMPARE(alg.diametersByKvs(4), (QList<int>{20, 25}));

        in.valveType = dtLMK2;
        alg.calc(in);
        const QList<double> lmk2 = alg.ascendingKvsList();
        QCOMPARE(lmk2.size(), 28);
        QVERIFY(std::is_sorted(lmk2.begin(), lmk2.end()));
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
        QVERIFY(alg.ascendingKvsList().isEmpty());
        QVERIFY(alg.diametersByKvs(100).isEmpty());
        QVERIFY(!capture.assertions().isEmpty());
    }

    void score_data()
    {
        QTest::addColumn<ValveResultItem>("item");
        QTest::addColumn<int>("score");
        QTest::newRow("all four at their bounds") << rated(3.0, 1.1, 0.5) << 4;
        QTest::newRow("all four, reserve at 1.3") << rated(1.0, 1.3, 0.9) << 4;
        QTest::newRow("speed too high") << rated(3.01, 1.2, 0.6) << 3;
        QTest::newRow("reserve below the band") << rated(2.0, 1.09, 0.6) << 3;
        QTest::newRow("reserve above the band") << rated(2.0, 1.31, 0.6) << 3;
        QTest::newRow("weak authority") << rated(2.0, 1.2, 0.49) << 3;
        QTest::newRow("cavitation") << rated(2.0, 1.2, 0.6, true) << 3;
        QTest::newRow("nothing met") << rated(5.0, 1.5, 0.2, true) << 0;
    }

    void score()
    {
        QFETCH(ValveResultItem, item);
        QTEST(item.score(), "score");
    }

    // Each row differs in one criterion; the others are equal.
    void isBetter_data()
    {
        QTest::addColumn<ValveResultItem>("self");
        QTest::addColumn<ValveResultItem>("other");
        QTest::addColumn<bool>("better");
        QTest::newRow("both speeds fine, mine higher")
            << rated(2.5, 1.5, 0.6) << rated(2.0, 1.5, 0.6) << true;
        QTest::newRow("both speeds fine, mine lower")
            << rated(2.0, 1.5, 0.6) << rated(2.5, 1.5, 0.6) << false;
        QTest::newRow("both too fast, mine lower") << rated(4.0, 1.5, 0.6) << rated(5.0, 1.5, 0.6) << true;
        QTest::newRow("both too fast, mine higher") << rated(5.0, 1.5, 0.6) << rated(4.0, 1.5, 0.6) << false;
        QTest::newRow("only mine fine") << rated(3.0, 1.5, 0.6) << rated(3.5, 1.5, 0.6) << true;
        QTest::newRow("only the other fine") << rated(3.5, 1.5, 0.6) << rated(3.0, 1.5, 0.6) << false;
        QTest::newRow("higher authority") << rated(2.0, 1.5, 0.7) << rated(2.0, 1.5, 0.6) << true;
        QTest::newRow("lower authority") << rated(2.0, 1.5, 0.6) << rated(2.0, 1.5, 0.7) << false;
        QTest::newRow("reserve in band, other above") << rated(2.0, 1.2, 0.6) << rated(2.0, 1.5, 0.6) << true;
        QTest::newRow("reserve in band, other below") << rated(2.0, 1.1, 0.6) << rated(2.0, 1.0, 0.6) << true;
        QTest::newRow("other's reserve in band") << rated(2.0, 1.25, 0.6) << rated(2.0, 1.15, 0.6) << false;
        QTest::newRow("equal reserves") << rated(2.0, 1.0, 0.6) << rated(2.0, 1.0, 0.6) << false;
        QTest::newRow("above the band beats below") << rated(2.0, 1.4, 0.6) << rated(2.0, 1.05, 0.6) << true;
        QTest::newRow("both below, mine larger") << rated(2.0, 1.05, 0.6) << rated(2.0, 1.0, 0.6) << true;
        QTest::newRow("both below, mine smaller") << rated(2.0, 1.0, 0.6) << rated(2.0, 1.05, 0.6) << false;
        QTest::newRow("below the band against above")
            << rated(2.0, 1.05, 0.6) << rated(2.0, 1.4, 0.6) << false;
        QTest::newRow("both above the band") << rated(2.0, 1.4, 0.6) << rated(2.0, 1.5, 0.6) << false;
        ValveResultItem regulator = rated(2.5, 1.2, 0.9);
        regulator.deviceType = dtLMRD;
        QTest::newRow("not a valve") << regulator << rated(2.0, 1.5, 0.6) << false;
    }

    void isBetter()
    {
        QFETCH(ValveResultItem, self);
        QFETCH(ValveResultItem, other);
        QTEST(self.isBetter(other), "better");
    }

    void namesAndOrder()
    {
        QCOMPARE(named(dtLMK2, 125, 125).name(false), QStringLiteral("ЛМК-2 DN 125 Kvy 125"));
        QCOMPARE(named(dtLMK3, 15, 0.63).name(true),
                 QStringLiteral("Клапан трёхходовой ЛМК-3 DN 15 Kvy 0.63"));
        QCOMPARE(named(dtLMK3, 15, 6.1 - 4).name(false), QStringLiteral("ЛМК-3 DN 15 Kvy 2.1"));

        // Smaller DN first; within a DN the larger Kvs first.
        const ValveResultItem a = named(dtLMK2, 50, 32), b = named(dtLMK2, 50, 40), c = named(dtLMK2, 40, 63);
        QVERIFY(c.lessThan(a));
        QVERIFY(b.lessThan(a));
        QVERIFY(!a.lessThan(b));
        QVERIFY(!a.lessThan(a));
    }
};

ORX_CORE_TEST_MAIN(TestValveAlgorithm)
#include "tst_valvealgorithm.moc"
