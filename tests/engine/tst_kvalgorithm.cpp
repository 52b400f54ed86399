// The Kv calculation core: the worked examples with their intermediate
// values, the order of the input checks, critical flow of steam and gases,
// noise grades, pipe speeds and the choice of suitable catalogue Kvs values.

#include "engine/kvalgorithm.h"
#include "testsupport.h"

#include <QtTest>

#include <cmath>

using namespace common;

namespace {

// Water at 20 °C through a valve on the supply pipe, gauge bar, m³/h.
KvInputParams waterTask()
{
    KvInputParams in;
    in.substance = stWater;
    in.place = ipSupply;
    in.pressureType = pkExcess;
    in.pressureMeasure = pmBar;
    in.P1 = 2;
    in.P2 = 1;
    in.dP = 1;
    in.Tsupply = 20;
    in.flowMeasure = wfM3h;
    in.flow = 10;
    return in;
}

KvInputParams steamTask(double P1, double P2)
{
    KvInputParams in;
    in.substance = stSuperheatedSteam;
    in.place = ipSupply;
    in.pressureType = pkAbsolute;
    in.pressureMeasure = pmBar;
    in.P1 = P1;
    in.P2 = P2;
    in.Tsupply = 200;
    in.flowMeasure = wfKgh;
    in.flow = 1000;
    return in;
}

KvInputParams airTask(double P1, double P2)
{
    KvInputParams in;
    in.substance = stAir;
    in.place = ipSupply;
    in.pressureType = pkAbsolute;
    in.pressureMeasure = pmBar;
    in.P1 = P1;
    in.P2 = P2;
    in.Tsupply = 20;
    in.flowMeasure = wfM3h;
    in.flow = 100;
    return in;
}

// A calculation over a catalogue given by the test, to exercise the choice of
// suitable Kvs values on its own.
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
    QList<double> suitable(double kv, double maxFactor, QString* message)
    {
        try {
            return suitableKvsList(kv, maxFactor);
        } catch (const CalculationAbort&) {
            *message = errors().join(QStringLiteral("|"));
            return {};
        }
    }
};

const QString invalidPrefix = QStringLiteral("Недопустимые входные данные:<br>");
const QString emptyFields = QStringLiteral("Не заполнены входные данные");

QString invalid(const char* text)
{
    return invalidPrefix + QString::fromUtf8(text);
}

} // namespace

Q_DECLARE_METATYPE(KvInputParams)

class TestKvAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples_data();
    void workedExamples();
    void steamExampleVolumes();
    void validationOrder_data();
    void validationOrder();
    void startsAsSteamValve();
    void steamCriticalFlowIsContinuous_data();
    void steamCriticalFlowIsContinuous();
    void gasCriticalFlowIsContinuous();
    void noiseGrades_data();
    void noiseGrades();
    void pipeFlowSpeed_data();
    void pipeFlowSpeed();
    void suitableKvs_data();
    void suitableKvs();
    void liquidOnlyAccessorsReport();
    void noNumberReachesTheUser_data();
    void noNumberReachesTheUser();
    void highPressureDrop();
};

void TestKvAlgorithm::workedExamples_data()
{
    QTest::addColumn<KvInputParams>("task");
    QTest::addColumn<double>("kv");
    QTest::addColumn<double>("density");
    QTest::addColumn<double>("vapourPressure");

    // The vapour pressure at 20 °C lies on the spline through 657 Pa at 1 °C and
    // 12344 Pa at 50 °C.
    QTest::newRow("water 20 °C, 10 m³/h, 1 bar") << waterTask() << 9.99 << 998.07 << 2130.06;

    KvInputParams glycol = waterTask();
    glycol.substance = stPropyleneGlycol;
    glycol.concentration = 50;
    glycol.P1 = 6;
    glycol.P2 = 5;
    glycol.Tsupply = 100;
    glycol.Treturn = 70;
    glycol.flowMeasure = wfTh;
    glycol.flow = 91.8077;
    QTest::newRow("propylene glycol 50 %, 91.8077 t/h") << glycol << 92.5304 << 984.439 << 82591.7;
}

void TestKvAlgorithm::workedExamples()
{
    QFETCH(KvInputParams, task);
    QFETCH(double, kv);
    QFETCH(double, density);
    QFETCH(double, vapourPressure);

    orxtest::MessageCapture capture;
    KvAlgorithm alg;
    QVERIFY2(alg.calc(task), qPrintable(alg.errorText()));
    QVERIFY(std::fabs(alg.kvsMath() - kv) < 0.01);
    QVERIFY(std::fabs(alg.liquidDensity() - density) < 0.01);
    QVERIFY2(std::fabs(alg.steamPressure() - vapourPressure) < 0.05,
             qPrintable(QString::number(alg.steamPressure())));
    QCOMPARE(capture.count(), 0);
}

void TestKvAlgorithm::steamExampleVolumes()
{
    KvInputParams in = steamTask(4.8, 3.5);
    in.Tsupply = 220;
    in.flow = 1345.6;
    KvAlgorithm alg;
    QVERIFY(alg.calc(in));
    QVERIFY(std::fabs(alg.kvsMath() - 29.86) < 0.01);
    QVERIFY(std::fabs(alg.steamSpecificVolume(BeforeDevice) - 0.4639) < 0.0001);
    QVERIFY(std::fabs(alg.steamSpecificVolume(AfterDevice) - 0.6400) < 0.0001);
}

void TestKvAlgorithm::validationOrder_data()
{
    QTest::addColumn<KvInputParams>("task");
    QTest::addColumn<QString>("message");

    const QString pressureOrder = invalid("давление перед клапаном должно превышать давление после клапана");
    const QString tooHigh =
        invalid("слишком высокое давление перед клапаном. Избыточное давление не должно превышать 2.5 МПа");
    const QString temperatureOrder =
        invalid("температура рабочей среды в подающем трубопроводе "
                "(<i>Tпод</i>) должна быть больше, чем в обратном (<i>Tобр</i>)");

    KvInputParams t = waterTask();
    t.valveType = dtEmpty;
    t.P1 = 0;
    QTest::newRow("no device type, before everything") << t << emptyFields;

    t = waterTask();
    t.P1 = 0;
    t.flow = 0;
    QTest::newRow("P1 empty") << t << emptyFields;

    t = waterTask();
    t.P2 = 0;
    QTest::newRow("P2 empty") << t << emptyFields;

    t = waterTask();
    t.P2 = t.P1;
    t.flow = 0;
    QTest::newRow("P1 = P2, before the empty flow") << t << pressureOrder;

    t = waterTask();
    t.P2 = 3;
    QTest::newRow("P2 above P1") << t << pressureOrder;

    t = waterTask();
    t.P1 = 25.01;
    t.Tsupply = 0;
    QTest::newRow("25.01 bar gauge, before the temperatures") << t << tooHigh;

    t = waterTask();
    t.pressureType = pkAbsolute;
    t.P1 = 26.02;
    QTest::newRow("26.02 bar absolute") << t << tooHigh;

    t = steamTask(25, 10);
    QTest::newRow("steam boiling above 220 °C")
        << t
        << invalid("слишком высокое давление рабочей среды. Температура парообразования "
                   "превышает максимально допустимую (220.0 \u00B0С)");

    t = waterTask();
    t.Tsupply = 0;
    t.flowMeasure = 0;
    QTest::newRow("supply temperature empty, no list") << t << emptyFields;

    t = waterTask();
    t.Treturn = 0;
    QTest::newRow("return temperature empty") << t << emptyFields;

    t = waterTask();
    t.Treturn = 20;
    t.flow = 0;
    QTest::newRow("return as warm as supply, before the empty flow") << t << temperatureOrder;

    t = waterTask();
    t.place = ipReturn;
    t.Tsupply = NAN;
    t.Treturn = 20;
    t.flow = 0;
    QTest::newRow("hidden supply temperature is not compared") << t << emptyFields;

    t = waterTask();
    t.flow = 0;
    t.flowMeasure = 0;
    QTest::newRow("flow empty before its unit") << t << emptyFields;

    t = waterTask();
    t.flowMeasure = 0;
    QTest::newRow("flow unit missing")
        << t << invalid("укажите единицы измерения расхода рабочей среды <i>G<i>");

    // A hidden working temperature is refused only after the flow checks: the
    // user first learns what the form itself is missing.
    t = waterTask();
    t.place = ipReturn;
    t.Treturn = NAN;
    t.flowMeasure = 0;
    QTest::newRow("flow unit missing, valve's own temperature hidden")
        << t << invalid("укажите единицы измерения расхода рабочей среды <i>G<i>");

    t = waterTask();
    t.P1 = 25;
    t.P2 = 0.01;
    t.flow = 1e-10;
    QTest::newRow("Kv vanishes")
        << t << invalid("слишком большой перепад давления по отношению к расходу рабочей среды");
}

void TestKvAlgorithm::validationOrder()
{
    QFETCH(KvInputParams, task);
    QFETCH(QString, message);

    orxtest::MessageCapture capture;
    KvAlgorithm alg;
    QVERIFY(!alg.calc(task));
    QCOMPARE(alg.errors(), QStringList{message});
    QVERIFY(capture.assertions().isEmpty());
}

void TestKvAlgorithm::startsAsSteamValve()
{
    QCOMPARE(KvInputParams().deviceType(), int(dtLMKP));
    // A liquid task without a chosen valve type calculates.
    KvAlgorithm alg;
    QVERIFY(alg.calc(waterTask()));
    // Gauge 25 bar is the last pressure accepted.
    KvInputParams limit = waterTask();
    limit.P1 = 25;
    QVERIFY2(alg.calc(limit), qPrintable(alg.errorText()));
}

void TestKvAlgorithm::steamCriticalFlowIsContinuous_data()
{
    QTest::addColumn<double>("P2");
    QTest::addColumn<double>("kv");

    // 1000 kg/h at 200 °C from 8 bar absolute: at and below half the inlet
    // pressure the flow is critical and Kv no longer depends on P2.
    QTest::newRow("subcritical, just above P1/2") << 4.01 << 11.557;
    QTest::newRow("at P1/2") << 4.0 << 11.558;
    QTest::newRow("critical, just below P1/2") << 3.99 << 11.558;
    QTest::newRow("deep critical") << 1.0 << 11.558;
}

void TestKvAlgorithm::steamCriticalFlowIsContinuous()
{
    QFETCH(double, P2);
    QFETCH(double, kv);
    KvAlgorithm alg;
    QVERIFY(alg.calc(steamTask(8, P2)));
    QVERIFY2(std::fabs(alg.kvsMath() - kv) < 0.002, qPrintable(QString::number(alg.kvsMath(), 'f', 4)));
}

void TestKvAlgorithm::gasCriticalFlowIsContinuous()
{
    KvAlgorithm alg;
    QVERIFY(alg.calc(airTask(3, 2)));
    QVERIFY(std::fabs(alg.kvsMath() - 2.65996) < 1e-4);
    QVERIFY(alg.calc(airTask(3, 1.5)));
    const double atBoundary = alg.kvsMath();
    QVERIFY(std::fabs(atBoundary - 2.50784) < 1e-4);
    QVERIFY(alg.calc(airTask(3, 1.50001)));
    QVERIFY(std::fabs(alg.kvsMath() - atBoundary) < 1e-4);
    QVERIFY(alg.calc(airTask(3, 1)));
    QVERIFY(std::fabs(alg.kvsMath() - atBoundary) < 1e-9);
}

void TestKvAlgorithm::noiseGrades_data()
{
    QTest::addColumn<double>("dropAtm");
    QTest::addColumn<bool>("cavitation");
    QTest::addColumn<int>("grade");

    QTest::newRow("1 atm") << 1.0 << false << int(nrLow);
    QTest::newRow("1.01 atm") << 1.01 << false << int(nrLowerMedium);
    QTest::newRow("exactly 2 atm") << 2.0 << false << int(nrLowerMedium);
    QTest::newRow("2.5 atm") << 2.5 << false << int(nrMedium);
    QTest::newRow("3 atm") << 3.0 << false << int(nrMedium);
    QTest::newRow("4 atm") << 4.0 << false << int(nrUpperMedium);
    QTest::newRow("4.01 atm") << 4.01 << false << int(nrHigh);
    QTest::newRow("cavitation at a small drop") << 0.5 << true << int(nrHigh);
}

void TestKvAlgorithm::noiseGrades()
{
    QFETCH(double, dropAtm);
    QFETCH(bool, cavitation);
    QFETCH(int, grade);

    KvInputParams in = waterTask();
    in.pressureMeasure = pmAtm;
    in.P1 = 10;
    in.P2 = 10 - dropAtm;
    KvAlgorithm alg;
    QVERIFY(alg.calc(in));
    QCOMPARE(alg.noiseRisk(cavitation), grade);

    // The same drop given in kPa is graded the same way.
    in.pressureMeasure = pmKPa;
    in.P1 = 1013.25;
    in.P2 = 1013.25 - dropAtm * 101.325;
    QVERIFY(alg.calc(in));
    QCOMPARE(alg.noiseRisk(cavitation), grade);
}

void TestKvAlgorithm::pipeFlowSpeed_data()
{
    QTest::addColumn<KvInputParams>("task");
    QTest::addColumn<int>("point");
    QTest::addColumn<int>("dn");
    QTest::addColumn<double>("speed");

    // Q/3600 over π·(DN/1000)²/4.
    QTest::newRow("10 m³/h of water in DN 50") << waterTask() << int(Anywhere) << 50 << 1.41471;
    QTest::newRow("100 nm³/h of air at 3 bar abs in DN 50")
        << airTask(3, 2) << int(BeforeDevice) << 50 << 4.77819;
    QTest::newRow("the same air at 2 bar abs") << airTask(3, 2) << int(AfterDevice) << 50 << 4.77819 * 1.5;
}

void TestKvAlgorithm::pipeFlowSpeed()
{
    QFETCH(KvInputParams, task);
    QFETCH(int, point);
    QFETCH(int, dn);
    QFETCH(double, speed);

    KvAlgorithm alg;
    QVERIFY(alg.calc(task));
    const double actual = alg.calcPipeFlowSpeed(dn, DevicePosition(point), task.Q());
    QVERIFY2(std::fabs(actual - speed) < 1e-4, qPrintable(QString::number(actual, 'f', 6)));
}

void TestKvAlgorithm::suitableKvs_data()
{
    QTest::addColumn<QList<double>>("catalogue");
    QTest::addColumn<QList<double>>("excluded");
    QTest::addColumn<double>("kv");
    QTest::addColumn<QList<double>>("expected");

    using L = QList<double>;
    QTest::newRow("92.53 over 63..160") << L{63, 100, 125, 160} << L{} << 92.53 << L{100, 125};
    QTest::newRow("0.9·Kv itself is too small") << L{90, 100, 200} << L{} << 100.0 << L{100, 200};
    QTest::newRow("1.35·Kv taken while nothing exceeds 1.2·Kv")
        << L{95, 110, 135, 160} << L{} << 100.0 << L{95, 110, 135};
    QTest::newRow("1.35·Kv not taken after a Kvs above 1.2·Kv")
        << L{95, 125, 135, 160} << L{} << 100.0 << L{95, 125};
    QTest::newRow("everything below 1.35·Kv is kept")
        << L{95, 121, 125, 130, 300} << L{} << 100.0 << L{95, 121, 125, 130};
    QTest::newRow("regulator Kv 2.56, 3.2 offered")
        << L{1, 1.6, 2.5, 3.2, 4, 6.3} << L{} << 2.558 << L{2.5, 3.2};
    QTest::newRow("regulator Kv 2.56, 3.2 excluded")
        << L{1, 1.6, 2.5, 3.2, 4, 6.3} << L{1, 3.2} << 2.558 << L{2.5, 3.2, 4};
    QTest::newRow("excluded large Kvs never ends the search")
        << L{10, 16, 20, 25, 32} << L{20} << 14.0 << L{16, 20, 25};
}

void TestKvAlgorithm::suitableKvs()
{
    QFETCH(QList<double>, catalogue);
    QFETCH(QList<double>, excluded);
    QFETCH(double, kv);
    QFETCH(QList<double>, expected);

    CatalogueAlgorithm alg;
    alg.catalogue = catalogue;
    alg.excluded = excluded;
    QString message;
    QCOMPARE(alg.suitable(kv, 1.35, &message), expected);
    QVERIFY(message.isEmpty());
}

void TestKvAlgorithm::liquidOnlyAccessorsReport()
{
    orxtest::MessageCapture capture;
    KvAlgorithm alg;
    QVERIFY(alg.calc(steamTask(8, 6)));
    alg.liquidDensity();
    alg.steamPressure();
    QCOMPARE(capture.assertions().size(), 2);
    QVERIFY(capture.assertions().first().endsWith(QStringLiteral("substanceProperties().isLiquid()")));

    capture.clear();
    QVERIFY(alg.calc(waterTask()));
    QCOMPARE(alg.steamSpecificVolume(BeforeDevice), 0.0);
    QVERIFY(capture.assertions().first().endsWith(QStringLiteral("substanceProperties().isSteam()")));

    // Nothing above 0.9·Kv in the catalogue: the message has no prefix.
    CatalogueAlgorithm catalogue;
    catalogue.catalogue = {1, 2};
    QString message;
    QVERIFY(catalogue.suitable(10, 1.35, &message).isEmpty());
    QCOMPARE(message, QStringLiteral("Не удалось найти модель с подходящим kv"));
}

void TestKvAlgorithm::noNumberReachesTheUser_data()
{
    QTest::addColumn<KvInputParams>("task");
    QTest::addColumn<QString>("message");

    // Steam far below its boiling point at the inlet pressure: the volume
    // formula has no meaning there and gives no number.
    KvInputParams cold = steamTask(10, 9);
    cold.Tsupply = 20;
    QTest::newRow("steam at 20 °C and 10 bar")
        << cold
        << invalid("при заданном давлении температура пара слишком низкая: удельный объём пара не определён");

    KvInputParams hidden = waterTask();
    hidden.place = ipReturn;
    hidden.Treturn = NAN;
    QTest::newRow("the valve's own temperature is hidden") << hidden << emptyFields;

    KvInputParams infinite = waterTask();
    infinite.flow = qInf();
    QTest::newRow("infinite flow") << infinite
                                   << invalid("при заданных входных данных расчётный Kv не определён");

    KvInputParams negative = waterTask();
    negative.flow = -10;
    QTest::newRow("negative flow") << negative
                                   << invalid("при заданных входных данных расчётный Kv не определён");

    KvInputParams notANumber = waterTask();
    notANumber.P1 = qQNaN();
    QTest::newRow("P1 not a number") << notANumber
                                     << invalid("при заданных входных данных расчётный Kv не определён");

    KvInputParams hot = waterTask();
    hot.Tsupply = 5000;
    QTest::newRow("water at 5000 °C")
        << hot << invalid("при заданной температуре свойства рабочей среды не определены");
}

void TestKvAlgorithm::noNumberReachesTheUser()
{
    QFETCH(KvInputParams, task);
    QFETCH(QString, message);
    KvAlgorithm alg;
    QVERIFY(!alg.calc(task));
    QCOMPARE(alg.errors(), QStringList{message});
}

void TestKvAlgorithm::highPressureDrop()
{
    KvAlgorithm alg;
    KvInputParams in = waterTask();
    in.P1 = 3.01;
    QVERIFY(alg.calc(in));
    QVERIFY(alg.isHighPressureDrop());
    in.P1 = 3;
    QVERIFY(alg.calc(in));
    QVERIFY(!alg.isHighPressureDrop());
}

ORX_CORE_TEST_MAIN(TestKvAlgorithm)
#include "tst_kvalgorithm.moc"
