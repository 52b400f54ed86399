// The Kv calculation core: the water example, the order of the input checks,
// critical flow of steam and gases, noise grades, pipe speeds and the choice of
// suitable catalogue Kvs values.

#include "engine/kvalgorithm.h"
#include "testsupport.h"

#include <cmath>

using namespace common;

namespace {

KvInputParams task(int substance, int pressureType, double P1, double P2, double T, int flowMeasure,
                   double flow)
{
    KvInputParams in;
    in.substance = substance;
    in.pressureType = pressureType;
    in.pressureMeasure = pmBar;
    in.P1 = P1;
    in.P2 = P2;
    in.Tsupply = T;
    in.flowMeasure = flowMeasure;
    in.flow = flow;
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

KvInputParams steam(double P1, double P2)
{
    return task(stSuperheatedSteam, pkAbsolute, P1, P2, 200, wfKgh, 1000);
}

KvInputParams air(double P1, double P2)
{
    return task(stAir, pkAbsolute, P1, P2, 20, wfM3h, 100);
}

KvInputParams onReturnPipe(KvInputParams in)
{
    in.place = ipReturn;
    return in;
}

// A calculation over a catalogue given by the test.
class CatalogueAlgorithm : public Algorithm
{
public:
    QList<double> catalogue;
    QList<double> excluded;
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

using orxtest::emptyFields;
const auto invalid = orxtest::invalidInput;

} // namespace

Q_DECLARE_METATYPE(KvInputParams)

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
        // Gauge 25 bar is the last pressure accepted.
        QVERIFY2(alg.calc(water(25)), qPrintable(alg.errorText()));
        // The heat unit counts only for a flow derived from the heat load.
        KvInputParams direct = water();
        direct.heatMeasure = 0;
        QVERIFY2(alg.calc(direct), qPrintable(alg.errorText()));
        QCOMPARE(capture.count(), 0);
    }

    // The first failing check decides the one message the user sees.
    void refusals_data()
    {
        QTest::addColumn<KvInputParams>("task");
        QTest::addColumn<QString>("message");

        const QString pressureOrder =
            invalid("давление перед клапаном должно превышать давление после клапана");
        const QString tooHigh = invalid(
            "слишком высокое давление перед клапаном. Избыточное давление не должно превышать 2.5 МПа");
        const QString unitMissing = invalid("укажите единицы измерения расхода рабочей среды <i>G<i>");
        const QString kvUndefined = invalid("при заданных входных данных расчётный Kv не определён");

        KvInputParams t = water(0);
        t.valveType = dtEmpty;
        QTest::newRow("no device type, before everything") << t << emptyFields;
        QTest::newRow("P1 empty, before the empty flow") << water(0, 1, 20, NAN, wfM3h, 0) << emptyFields;
        QTest::newRow("P1 = P2, before the empty flow") << water(2, 2, 20, NAN, wfM3h, 0) << pressureOrder;
        QTest::newRow("25.01 bar gauge, before the temperatures") << water(25.01, 1, 0) << tooHigh;
        t = water(26.02);
        t.pressureType = pkAbsolute;
        QTest::newRow("26.02 bar absolute") << t << tooHigh;
        QTest::newRow("steam boiling above 220 °C")
            << steam(25, 10)
            << invalid("слишком высокое давление рабочей среды. Температура парообразования "
                       "превышает максимально допустимую (220.0 \u00B0С)");
        QTest::newRow("supply temperature empty, no list") << water(2, 1, 0, NAN, 0) << emptyFields;
        QTest::newRow("return as warm as supply, before the empty flow")
            << water(2, 1, 20, 20, wfM3h, 0)
            << invalid("температура рабочей среды в подающем трубопроводе "
                       "(<i>Tпод</i>) должна быть больше, чем в обратном (<i>Tобр</i>)");
        QTest::newRow("hidden supply temperature is not compared")
            << onReturnPipe(water(2, 1, NAN, 20, wfM3h, 0)) << emptyFields;
        QTest::newRow("flow unit missing") << water(2, 1, 20, NAN, 0) << unitMissing;
        // A hidden working temperature is refused only after the flow checks:
        // the user first learns what the form itself is missing.
        QTest::newRow("flow unit missing, valve's own temperature hidden")
            << onReturnPipe(water(2, 1, 20, NAN, 0)) << unitMissing;
        QTest::newRow("the valve's own temperature hidden") << onReturnPipe(water()) << emptyFields;
        QTest::newRow("Kv vanishes")
            << water(25, 0.01, 20, NAN, wfM3h, 1e-10)
            << invalid("слишком большой перепад давления по отношению к расходу рабочей среды");

        // Tasks whose figures would not be numbers are refused with a message.
        t = steam(10, 9);
        t.Tsupply = 20;
        QTest::newRow("steam at 20 °C and 10 bar")
            << t
            << invalid("при заданном давлении температура пара слишком "
                       "низкая: удельный объём пара не определён");
        QTest::newRow("infinite flow") << water(2, 1, 20, NAN, wfM3h, qInf()) << kvUndefined;
        QTest::newRow("negative flow") << water(2, 1, 20, NAN, wfM3h, -10) << kvUndefined;
        QTest::newRow("P1 not a number") << water(qQNaN()) << kvUndefined;
        QTest::newRow("water at 5000 °C")
            << water(2, 1, 5000) << invalid("при заданной температуре свойства рабочей среды не определены");

        // A choice outside its table is not filled in, whatever else the task
        // holds: no figure, nor a message about one, comes from a fallback.
        const auto spoilt = [](KvInputParams in, int KvInputParams::*field, int value) {
            in.*field = value;
            return in;
        };
        QTest::newRow("unknown medium") << spoilt(water(), &KvInputParams::substance, 4) << emptyFields;
        QTest::newRow("unknown pressure unit")
            << spoilt(steam(8, 6), &KvInputParams::pressureMeasure, -1) << emptyFields;
        QTest::newRow("unknown pressure kind")
            << spoilt(water(), &KvInputParams::pressureType, -1) << emptyFields;
        QTest::newRow("no installation place")
            << spoilt(water(2, 1, 20, 10), &KvInputParams::place, 0) << emptyFields;
        QTest::newRow("unknown flow input mode")
            << spoilt(water(), &KvInputParams::flowInputMode, 3) << emptyFields;
        t = spoilt(water(), &KvInputParams::flowInputMode, 2);
        QTest::newRow("flow from heat in an unknown unit")
            << spoilt(t, &KvInputParams::heatMeasure, 2) << emptyFields;
        QTest::newRow("unknown flow unit, as a missing one")
            << spoilt(water(), &KvInputParams::flowMeasure, 5) << unitMissing;
        QTest::newRow("steam by volume, as a missing unit")
            << spoilt(steam(8, 6), &KvInputParams::flowMeasure, wfM3h) << unitMissing;
    }

    void refusals()
    {
        QFETCH(KvInputParams, task);
        QFETCH(QString, message);
        orxtest::MessageCapture capture;
        KvAlgorithm alg;
        QVERIFY(!alg.calc(task));
        QCOMPARE(alg.errors(), QStringList{message});
        QVERIFY(capture.assertions().isEmpty());
    }

    // At and below half the inlet pressure the flow is critical and Kv no
    // longer depends on P2; the two formulas meet at the boundary.
    void criticalFlowIsContinuous_data()
    {
        QTest::addColumn<KvInputParams>("task");
        QTest::addColumn<double>("kv");
        QTest::addColumn<double>("within");

        QTest::newRow("steam, subcritical, just above P1/2") << steam(8, 4.01) << 11.557 << 0.002;
        QTest::newRow("steam, at P1/2") << steam(8, 4) << 11.558 << 0.002;
        QTest::newRow("steam, just below P1/2") << steam(8, 3.99) << 11.558 << 0.002;
        // 2.50784·1.5/√(1.4·1.6): the subcritical formula right above the boundary.
        QTest::newRow("air, subcritical at 0.47·P1 drop") << air(3, 1.6) << 2.51343 << 1e-4;
        QTest::newRow("air, just above P1/2") << air(3, 1.50001) << 2.50784 << 1e-4;
        QTest::newRow("air, at P1/2") << air(3, 1.5) << 2.50784 << 1e-4;
    }

    void criticalFlowIsContinuous()
    {
        QFETCH(KvInputParams, task);
        QFETCH(double, kv);
        QFETCH(double, within);
        KvAlgorithm alg;
        QVERIFY(alg.calc(task));
        ORX_NEAR(alg.kvsMath(), kv, within);
    }

    void noiseGrades_data()
    {
        QTest::addColumn<double>("dropAtm");
        QTest::addColumn<bool>("cavitation");
        QTest::addColumn<int>("grade");

        QTest::newRow("1 atm") << 1.0 << false << int(nrLow);
        QTest::newRow("1.01 atm") << 1.01 << false << int(nrLowerMedium);
        QTest::newRow("exactly 2 atm") << 2.0 << false << int(nrLowerMedium);
        QTest::newRow("3 atm") << 3.0 << false << int(nrMedium);
        QTest::newRow("4 atm") << 4.0 << false << int(nrUpperMedium);
        QTest::newRow("4.01 atm") << 4.01 << false << int(nrHigh);
        QTest::newRow("cavitation at a small drop") << 0.5 << true << int(nrHigh);
    }

    void noiseGrades()
    {
        QFETCH(double, dropAtm);
        QFETCH(bool, cavitation);
        QFETCH(int, grade);
        // The same drop in atm and in kPa is graded the same way.
        for (const auto& unit : {qMakePair(int(pmAtm), 1.0), qMakePair(int(pmKPa), 101.325)}) {
            KvInputParams in = water(10 * unit.second, (10 - dropAtm) * unit.second);
            in.pressureMeasure = unit.first;
            KvAlgorithm alg;
            QVERIFY(alg.calc(in));
            QCOMPARE(alg.noiseRisk(cavitation), grade);
        }
    }

    void pipeFlowSpeed_data()
    {
        QTest::addColumn<KvInputParams>("task");
        QTest::addColumn<int>("point");
        QTest::addColumn<double>("speed");

        // Q/3600 over π·(DN/1000)²/4, in DN 50.
        QTest::newRow("10 m³/h of water") << water() << int(Anywhere) << 1.41471;
        QTest::newRow("100 nm³/h of air at 3 bar abs") << air(3, 2) << int(BeforeDevice) << 4.77819;
        QTest::newRow("the same air at 2 bar abs") << air(3, 2) << int(AfterDevice) << 4.77819 * 1.5;
    }

    void pipeFlowSpeed()
    {
        QFETCH(KvInputParams, task);
        QFETCH(int, point);
        QFETCH(double, speed);
        KvAlgorithm alg;
        QVERIFY(alg.calc(task));
        const double actual = alg.calcPipeFlowSpeed(50, DevicePosition(point), task.Q());
        ORX_NEAR(actual, speed, 1e-4);
    }

    void suitableKvs_data()
    {
        QTest::addColumn<QList<double>>("catalogue");
        QTest::addColumn<QList<double>>("excluded");
        QTest::addColumn<double>("kv");
        QTest::addColumn<QList<double>>("expected");
        QTest::addColumn<QString>("message");

        using L = QList<double>;
        QTest::newRow("92.53 over 63..160") << L{63, 100, 125, 160} << L{} << 92.53 << L{100, 125} << "";
        QTest::newRow("0.9·Kv itself is too small") << L{90, 100, 200} << L{} << 100.0 << L{100, 200} << "";
        QTest::newRow("1.35·Kv taken while nothing exceeds 1.2·Kv")
            << L{95, 110, 135, 160} << L{} << 100.0 << L{95, 110, 135} << "";
        QTest::newRow("1.35·Kv not taken after a Kvs above 1.2·Kv")
            << L{95, 125, 135, 160} << L{} << 100.0 << L{95, 125} << "";
        QTest::newRow("everything below 1.35·Kv is kept")
            << L{95, 121, 125, 130, 300} << L{} << 100.0 << L{95, 121, 125, 130} << "";
        QTest::newRow("regulator Kv 2.56, 3.2 excluded")
            << L{1, 1.6, 2.5, 3.2, 4, 6.3} << L{1, 3.2} << 2.558 << L{2.5, 3.2, 4} << "";
        QTest::newRow("excluded large Kvs never ends the search")
            << L{10, 16, 20, 25, 32} << L{20} << 14.0 << L{16, 20, 25} << "";
        // The message stands without the "invalid input" prefix.
        QTest::newRow("nothing above 0.9·Kv")
            << L{1, 2} << L{} << 10.0 << L{} << "Не удалось найти модель с подходящим kv";
    }

    void suitableKvs()
    {
        QFETCH(QList<double>, catalogue);
        QFETCH(QList<double>, excluded);
        QFETCH(double, kv);
        CatalogueAlgorithm alg;
        alg.catalogue = catalogue;
        alg.excluded = excluded;
        QString message;
        QTEST(alg.suitable(kv, &message), "expected");
        QTEST(message, "message");
    }

    void liquidOnlyAccessorsReport()
    {
        orxtest::MessageCapture capture;
        KvAlgorithm alg;
        QVERIFY(alg.calc(steam(8, 6)));
        alg.liquidDensity();
        alg.steamPressure();
        QCOMPARE(capture.assertions().size(), 2);
        QVERIFY(capture.assertions().first().endsWith(QStringLiteral("substanceProperties().isLiquid()")));

        capture.clear();
        QVERIFY(alg.calc(water()));
        QCOMPARE(alg.steamSpecificVolume(BeforeDevice), 0.0);
        QVERIFY(capture.assertions().first().endsWith(QStringLiteral("substanceProperties().isSteam()")));
    }
};

ORX_CORE_TEST_MAIN(TestKvAlgorithm)
#include "tst_kvalgorithm.moc"
