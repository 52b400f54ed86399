// Valve selection: the candidates of the four worked examples, the refusals,
// the catalogues, the rating of candidates and their names.

#include "engine/algotest.h"
#include "engine/valvealgorithm.h"
#include "testsupport.h"

using namespace common;

namespace {

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

const auto invalid = orxtest::invalidInput;

} // namespace

Q_DECLARE_METATYPE(ValveInputParams)
Q_DECLARE_METATYPE(ValveResultItem)

class TestValveAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    // The figures of the examples are the start-up self-tests' (tst_algotest);
    // here the candidates each example lists and proposes.
    void examples_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("candidates");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("1: ЛМК-2, propylene glycol 50 %")
            << 1 << "80/100 100/125 100/100 125/125 125/100 150/100"
            << "80/100 100/125 100/100";
        QTest::newRow("2: ЛМК-2, water, 91 Gcal/h") << 2 << "300/1600 300/1250"
                                                    << "300/1600 300/1250";
        QTest::newRow("3: ЛМК-3, water, return pipe") << 3 << "40/25 50/32"
                                                      << "40/25 50/32";
        QTest::newRow("4: ЛМК-П, superheated steam") << 4 << "50/40 50/32 65/40 80/40"
                                                     << "50/40 50/32 65/40";
    }

    void examples()
    {
        QFETCH(int, number);
        orxtest::MessageCapture capture;
        const ValveInputParams task = algotest::valveExample(number);
        ValveAlgorithm alg;
        QVERIFY2(alg.calc(task), qPrintable(alg.errorText()));
        QTEST(orxtest::designations(alg.results(), false), "candidates");
        QTEST(orxtest::designations(alg.results(), true), "proposed");
        for (const ValveResultItem& item : alg.results()) {
            QCOMPARE(item.deviceType, task.valveType);
            ORX_NEAR(item.opening, alg.kvsMath() / item.kv * 100, 1e-9);
            QCOMPARE(item.hasPipeFlowSpeed(BeforeDevice), number == 4);
            // Liquid-only figures of steam stay 0, so only speed and cavitation score.
            if (number == 4)
                QVERIFY(item.Kreserve == 0 && item.avtoritet == 0 && item.QFullOpen == 0 &&
                        item.score() == 2);
        }
        QCOMPARE(capture.count(), 0);
        if (number != 4)
            return;
        // A steam candidate has no speed at Anywhere, and the full-open flow is
        // a liquid figure: asking for either is reported.
        QCOMPARE(alg.results().first().pipeFlowSpeed(Anywhere), 0.0);
        QCOMPARE(alg.QFullOpen(40), 0.0);
        QCOMPARE(capture.conditions().value(0), QStringLiteral("m_pipeFlowSpeed.contains(l)"));
        QCOMPARE(capture.assertions().size(), 2);
    }

    void refusals_data()
    {
        QTest::addColumn<ValveInputParams>("task");
        QTest::addColumn<QString>("message");

        const QString empty = orxtest::emptyFields;
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
        QTest::newRow("valve's own temperature hidden") << example1(&ValveInputParams::Tsupply, NAN) << empty;
        QTest::newRow("negative ΔPру, which no form sends")
            << example1(&ValveInputParams::dPru, -0.5)
            << invalid("при заданных входных данных характеристики моделей не определены");
        // Kv of about 2000: nothing in the ЛМК-3 catalogue lies above 0.9·Kv.
        t = algotest::valveExample(3);
        t.flow = 2900;
        QTest::newRow("no suitable model") << t << QStringLiteral("Не удалось найти модель с подходящим kv");

        // A choice outside its table is not filled in: nothing is selected
        // from a fallback (the Kv tests walk every choice).
        QTest::newRow("no installation place") << example1(&ValveInputParams::place, 3) << empty;
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
        QTest::newRow("only the other fine") << rated(3.5, 1.5, 0.6) << rated(3.0, 1.5, 0.6) << false;
        QTest::newRow("higher authority") << rated(2.0, 1.5, 0.7) << rated(2.0, 1.5, 0.6) << true;
        QTest::newRow("lower authority") << rated(2.0, 1.5, 0.6) << rated(2.0, 1.5, 0.7) << false;
        QTest::newRow("reserve in band, other above") << rated(2.0, 1.2, 0.6) << rated(2.0, 1.5, 0.6) << true;
        QTest::newRow("other's reserve in band") << rated(2.0, 1.25, 0.6) << rated(2.0, 1.15, 0.6) << false;
        QTest::newRow("equal reserves") << rated(2.0, 1.0, 0.6) << rated(2.0, 1.0, 0.6) << false;
        QTest::newRow("above the band beats below") << rated(2.0, 1.4, 0.6) << rated(2.0, 1.05, 0.6) << true;
        QTest::newRow("both below, mine larger") << rated(2.0, 1.05, 0.6) << rated(2.0, 1.0, 0.6) << true;
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
