// Valve selection: the four worked examples with every candidate's figures,
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

// A list of "DN/Kvs" designations separated by blanks.
QStringList models(const char* list)
{
    return QString::fromLatin1(list).split(QLatin1Char(' '));
}

const ValveResultItem* find(const ValveAlgorithm& alg, int dn, double kvs)
{
    for (const ValveResultItem& item : alg.results())
        if (item.dn == dn && item.kv == kvs)
            return &item;
    return nullptr;
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

bool near(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

} // namespace

Q_DECLARE_METATYPE(ValveInputParams)
Q_DECLARE_METATYPE(ValveResultItem)

class TestValveAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    void examples_data();
    void examples();
    void exampleCandidates_data();
    void exampleCandidates();
    void steamCandidates();
    void validation_data();
    void validation();
    void noSuitableModel();
    void catalogue();
    void score_data();
    void score();
    void isBetter_data();
    void isBetter();
    void namesAndOrder();
    void missingSpeedIsReported();
};

void TestValveAlgorithm::examples_data()
{
    QTest::addColumn<ValveInputParams>("task");
    QTest::addColumn<double>("flow");
    QTest::addColumn<double>("kv");
    QTest::addColumn<double>("density");
    QTest::addColumn<double>("vapourPressure");
    QTest::addColumn<QStringList>("candidates");
    QTest::addColumn<QStringList>("proposed");

    QTest::newRow("1: ЛМК-2, propylene glycol 50 %")
        << algotest::valveExample(1) << 91.8077 << 92.5304 << 984.439 << 82591.7
        << models("80/100 100/125 100/100 125/125 125/100 150/100") << models("80/100 100/125 100/100");
    QTest::newRow("2: ЛМК-2, water, 91 Gcal/h")
        << algotest::valveExample(2) << 1636.76 << 1186.49 << 958.4 << 101320.0 << models("300/1600 300/1250")
        << models("300/1600 300/1250");
    QTest::newRow("3: ЛМК-3, water, return pipe")
        << algotest::valveExample(3) << 34.43 << 24.42 << 980.553 << 24973.9 << models("40/25 50/32")
        << models("40/25 50/32");
}

void TestValveAlgorithm::examples()
{
    QFETCH(ValveInputParams, task);
    QFETCH(double, flow);
    QFETCH(double, kv);
    QFETCH(double, density);
    QFETCH(double, vapourPressure);
    QFETCH(QStringList, candidates);
    QFETCH(QStringList, proposed);

    orxtest::MessageCapture capture;
    ValveAlgorithm alg;
    QVERIFY2(alg.calc(task), qPrintable(alg.errorText()));
    QVERIFY(near(task.flow, flow, 0.01));
    QVERIFY(near(alg.kvsMath(), kv, 0.01));
    QVERIFY(near(alg.liquidDensity(), density, 0.01));
    QVERIFY(near(alg.steamPressure(), vapourPressure, 0.05));
    QCOMPARE(designations(alg.results(), false), candidates);
    QCOMPARE(designations(alg.results(), true), proposed);
    QCOMPARE(capture.count(), 0);
}

void TestValveAlgorithm::exampleCandidates_data()
{
    QTest::addColumn<ValveInputParams>("task");
    QTest::addColumn<int>("dn");
    QTest::addColumn<double>("kvs");
    QTest::addColumn<double>("reserve");
    QTest::addColumn<double>("authority");
    QTest::addColumn<double>("fullOpen");
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("noise");
    QTest::addColumn<bool>("rejected");

    // None of the examples cavitates.
    QTest::newRow("1: DN 125 Kvs 125")
        << algotest::valveExample(1) << 125 << 125.0 << 1.35 << 0.59 << 111.574 << 2.53 << int(nrLow) << true;
    QTest::newRow("1: DN 80 Kvs 100")
        << algotest::valveExample(1) << 80 << 100.0 << 1.08 << 0.649 << 98.079 << 5.42 << int(nrLow) << false;
    QTest::newRow("1: DN 100 Kvs 125") << algotest::valveExample(1) << 100 << 125.0 << 1.35 << 0.59 << 111.574
                                       << 3.95 << int(nrLow) << false;
    QTest::newRow("2: DN 300 Kvs 1250") << algotest::valveExample(2) << 300 << 1250.0 << 1.05 << 0.74
                                        << 1701.16 << 6.69 << int(nrLowerMedium) << false;
    QTest::newRow("3: DN 40 Kvs 25") << algotest::valveExample(3) << 40 << 25.0 << 1.02 << 0.765 << 35.74
                                     << 7.90 << int(nrLowerMedium) << false;
}

void TestValveAlgorithm::exampleCandidates()
{
    QFETCH(ValveInputParams, task);
    QFETCH(int, dn);
    QFETCH(double, kvs);
    QFETCH(double, reserve);
    QFETCH(double, authority);
    QFETCH(double, fullOpen);
    QFETCH(double, speed);
    QFETCH(int, noise);
    QFETCH(bool, rejected);

    ValveAlgorithm alg;
    QVERIFY(alg.calc(task));
    const ValveResultItem* item = find(alg, dn, kvs);
    QVERIFY(item);
    QCOMPARE(item->deviceType, task.valveType);
    QVERIFY(near(item->Kreserve, reserve, 1e-9));
    QVERIFY2(near(item->avtoritet, authority, 0.01), qPrintable(QString::number(item->avtoritet)));
    QVERIFY2(near(item->QFullOpen, fullOpen, 0.01), qPrintable(QString::number(item->QFullOpen, 'f', 4)));
    QVERIFY2(near(item->pipeFlowSpeed(Anywhere), speed, 0.01),
             qPrintable(QString::number(item->pipeFlowSpeed(Anywhere))));
    QVERIFY(!item->hasPipeFlowSpeed(BeforeDevice));
    QVERIFY(near(item->opening, alg.kvsMath() / kvs * 100, 1e-9));
    QVERIFY(!item->hasCavitationRisk());
    QCOMPARE(item->deviceNoiseRisk, noise);
    QCOMPARE(item->rejected, rejected);
}

void TestValveAlgorithm::steamCandidates()
{
    orxtest::MessageCapture capture;
    ValveAlgorithm alg;
    QVERIFY(alg.calc(algotest::valveExample(4)));
    QVERIFY(near(alg.kvsMath(), 29.86, 0.01));
    QVERIFY(near(alg.steamSpecificVolume(BeforeDevice), 0.4639, 0.0001));
    QVERIFY(near(alg.steamSpecificVolume(AfterDevice), 0.6400, 0.0001));
    QCOMPARE(designations(alg.results(), false), (models("50/40 50/32 65/40 80/40")));
    QCOMPARE(designations(alg.results(), true), (models("50/40 50/32 65/40")));
    for (const ValveResultItem& item : alg.results()) {
        // The volume of steam follows its state: the same speeds for every
        // model of one DN, higher after the valve.
        if (item.dn == 50) {
            QVERIFY(near(item.pipeFlowSpeed(BeforeDevice), 88.30, 0.01));
            QVERIFY(near(item.pipeFlowSpeed(AfterDevice), 121.83, 0.01));
        }
        QVERIFY(!item.hasPipeFlowSpeed(Anywhere));
        QVERIFY(!item.hasCavitationRisk());
        QCOMPARE(item.deviceNoiseRisk, int(nrLowerMedium));
        // Liquid-only figures stay 0, so only speed and cavitation score.
        QCOMPARE(item.Kreserve, 0.0);
        QCOMPARE(item.avtoritet, 0.0);
        QCOMPARE(item.QFullOpen, 0.0);
        QCOMPARE(item.score(), 2);
    }
    QCOMPARE(capture.count(), 0);

    // The full-open flow is a liquid figure.
    alg.QFullOpen(40);
    QCOMPARE(capture.assertions().size(), 1);
}

void TestValveAlgorithm::validation_data()
{
    QTest::addColumn<ValveInputParams>("task");
    QTest::addColumn<QString>("message");

    const QString empty = QStringLiteral("Не заполнены входные данные");

    ValveInputParams t = algotest::valveExample(1);
    t.valveType = dtEmpty;
    QTest::newRow("no valve type") << t << empty;

    t = algotest::valveExample(1);
    t.P2 = 6;
    t.dPru = 0;
    QTest::newRow("P1 = P2 before the empty ΔPру")
        << t
        << QStringLiteral("Недопустимые входные данные:<br>давление перед клапаном должно превышать давление "
                          "после клапана");

    t = algotest::valveExample(1);
    t.dPru = 0;
    t.Tsupply = 0;
    QTest::newRow("liquid without ΔPру") << t << empty;

    t = algotest::valveExample(1);
    t.flowMeasure = 0;
    QTest::newRow("flow unit missing is an empty field")
        << t
        << QStringLiteral(
               "Не заполнены входные данные:<br>укажите единицы измерения расхода рабочей среды <i>G<i>");

    t = algotest::valveExample(1);
    t.Tsupply = NAN;
    t.flowMeasure = 0;
    QTest::newRow("flow unit missing, valve's own temperature hidden")
        << t
        << QStringLiteral(
               "Не заполнены входные данные:<br>укажите единицы измерения расхода рабочей среды <i>G<i>");

    t = algotest::valveExample(1);
    t.Tsupply = NAN;
    QTest::newRow("valve's own temperature hidden") << t << empty;

    t = algotest::valveExample(1);
    t.Treturn = 100;
    QTest::newRow("return as warm as supply")
        << t
        << QStringLiteral("Недопустимые входные данные:<br>температура рабочей среды в подающем трубопроводе "
                          "(<i>Tпод</i>) должна быть больше, чем в обратном (<i>Tобр</i>)");

    t = algotest::valveExample(1);
    t.dPru = -0.5;
    QTest::newRow("negative ΔPру, which no form sends")
        << t
        << QStringLiteral(
               "Недопустимые входные данные:<br>при заданных входных данных характеристики моделей не "
               "определены");
}

void TestValveAlgorithm::validation()
{
    QFETCH(ValveInputParams, task);
    QFETCH(QString, message);
    ValveAlgorithm alg;
    QVERIFY(!alg.calc(task));
    QCOMPARE(alg.errors(), QStringList{message});
    QVERIFY(alg.results().isEmpty());
}

void TestValveAlgorithm::noSuitableModel()
{
    ValveAlgorithm alg;
    // Steam needs no ΔPру.
    ValveInputParams steam = algotest::valveExample(4);
    steam.dPru = 0;
    QVERIFY(alg.calc(steam));
    QVERIFY(!alg.results().isEmpty());

    // Kv of about 2000: nothing in the ЛМК-3 catalogue lies above 0.9·Kv.
    ValveInputParams large = algotest::valveExample(3);
    large.flow = 2900;
    QVERIFY(!alg.calc(large));
    QCOMPARE(alg.errors(), QStringList{QStringLiteral("Не удалось найти модель с подходящим kv")});
    QVERIFY(alg.results().isEmpty());
}

void TestValveAlgorithm::catalogue()
{
    ValveAlgorithm alg;
    ValveInputParams in = algotest::valveExample(1);
    alg.calc(in);
    const QList<double> lmk2 = alg.ascendingKvsList();
    QCOMPARE(lmk2.size(), 28);
    QCOMPARE(lmk2.first(), 0.25);
    QCOMPARE(lmk2.last(), 1600.0);
    QVERIFY(std::is_sorted(lmk2.begin(), lmk2.end()));
    QCOMPARE(alg.diametersByKvs(100), (QList<int>{80, 100, 125, 150}));
    QCOMPARE(alg.diametersByKvs(4), (QList<int>{15, 20, 25}));

    in.valveType = dtLMK3;
    alg.calc(in);
    QCOMPARE(alg.diametersByKvs(315), (QList<int>{150, 200}));
    QCOMPARE(alg.diametersByKvs(1250), (QList<int>{300}));
    QCOMPARE(alg.ascendingKvsList().first(), 0.63);

    in.valveType = dtLMKP;
    alg.calc(in);
    QCOMPARE(alg.diametersByKvs(2.5), (QList<int>{15, 20, 25}));
    // ЛМК-П has no Kvs 4 at DN 15, unlike ЛМК-2.
    QCOMPARE(alg.diametersByKvs(4), (QList<int>{20, 25}));

    // A regulator type has no valve catalogue.
    orxtest::MessageCapture capture;
    in.valveType = dtLMRD;
    alg.calc(in);
    QVERIFY(alg.ascendingKvsList().isEmpty());
    QVERIFY(alg.diametersByKvs(100).isEmpty());
    QVERIFY(!capture.assertions().isEmpty());
}

void TestValveAlgorithm::score_data()
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

void TestValveAlgorithm::score()
{
    QFETCH(ValveResultItem, item);
    QFETCH(int, score);
    QCOMPARE(item.score(), score);
}

void TestValveAlgorithm::isBetter_data()
{
    QTest::addColumn<ValveResultItem>("self");
    QTest::addColumn<ValveResultItem>("other");
    QTest::addColumn<bool>("better");

    // Each row differs in one criterion; the others are equal.
    QTest::newRow("both speeds fine, mine higher") << rated(2.5, 1.5, 0.6) << rated(2.0, 1.5, 0.6) << true;
    QTest::newRow("both speeds fine, mine lower") << rated(2.0, 1.5, 0.6) << rated(2.5, 1.5, 0.6) << false;
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
    QTest::newRow("below the band against above") << rated(2.0, 1.05, 0.6) << rated(2.0, 1.4, 0.6) << false;
    QTest::newRow("both above the band") << rated(2.0, 1.4, 0.6) << rated(2.0, 1.5, 0.6) << false;

    ValveResultItem regulator = rated(2.5, 1.2, 0.9);
    regulator.deviceType = dtLMRD;
    QTest::newRow("not a valve") << regulator << rated(2.0, 1.5, 0.6) << false;
}

void TestValveAlgorithm::isBetter()
{
    QFETCH(ValveResultItem, self);
    QFETCH(ValveResultItem, other);
    QFETCH(bool, better);
    QCOMPARE(self.isBetter(other), better);
}

void TestValveAlgorithm::namesAndOrder()
{
    ValveResultItem item;
    item.deviceType = dtLMK2;
    item.dn = 125;
    item.kv = 125;
    QCOMPARE(item.name(false), QStringLiteral("ЛМК-2 DN 125 Kvy 125"));
    item.deviceType = dtLMK3;
    item.dn = 15;
    item.kv = 0.63;
    QCOMPARE(item.name(true), QStringLiteral("Клапан трёхходовой ЛМК-3 DN 15 Kvy 0.63"));
    item.kv = 6.1 - 4;
    QCOMPARE(item.name(false), QStringLiteral("ЛМК-3 DN 15 Kvy 2.1"));

    ValveResultItem a = rated(1, 1, 1), b = a, c = a;
    a.dn = 50;
    a.kv = 32;
    b.dn = 50;
    b.kv = 40;
    c.dn = 40;
    c.kv = 63;
    QVERIFY(c.lessThan(a));
    QVERIFY(b.lessThan(a));
    QVERIFY(!a.lessThan(b));
    QVERIFY(!a.lessThan(a));
}

void TestValveAlgorithm::missingSpeedIsReported()
{
    orxtest::MessageCapture capture;
    ValveAlgorithm alg;
    QVERIFY(alg.calc(algotest::valveExample(4)));
    QCOMPARE(alg.results().first().pipeFlowSpeed(Anywhere), 0.0);
    QCOMPARE(capture.assertions().size(), 1);
    QVERIFY(capture.assertions().first().endsWith(QStringLiteral("m_pipeFlowSpeed.contains(l)")));
}

ORX_CORE_TEST_MAIN(TestValveAlgorithm)
#include "tst_valvealgorithm.moc"
