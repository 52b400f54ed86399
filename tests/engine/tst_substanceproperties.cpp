// Properties of the working media: each branch of each property at a point of
// its reference table, the steam volumes of the worked example, the
// boiling-temperature search and the reports for properties a medium does not
// have. The selection tests check the values between the table points.

#include "engine/substanceproperties.h"
#include "testsupport.h"
#include "vocabulary/common.h"

#include <QThread>

#include <cmath>
#include <functional>

using namespace common;

namespace {

constexpr double kcal = 0.2388;
constexpr double mmHg = 133.32;

double antoine(double A, double B, double T)
{
    return std::pow(10.0, A - B / (T + 273.13)) * mmHg;
}

enum Property { Density, Vapour, Cp };

// One property of one medium at one point, and its value.
struct Case
{
    int substance;
    double concentration;
    Property which;
    double T;
    double P;
    double expected;
};

} // namespace

using Ask = std::function<double()>;
Q_DECLARE_METATYPE(Case)
Q_DECLARE_METATYPE(Ask)

class TestSubstanceProperties : public QObject
{
    Q_OBJECT

private slots:
    void firstUseFromSeveralThreads()
    {
        // The first call builds the water tables; racing threads must all see the
        // same finished table.
        QVector<double> results(8, 0.0);
        QList<QThread*> threads;
        for (int i = 0; i < results.size(); ++i) {
            threads << QThread::create([&results, i] {
                const SubstanceProperties water(stWater);
                results[i] = SubstanceProperties(i % 2 ? stWater : stSaturatedSteam).steamPressure(150) +
                             water.specificHeat(20, 0) + water.density(25);
            });
        }
        for (QThread* t : threads)
            t->start();
        for (QThread* t : threads) {
            t->wait();
            delete t;
        }
        for (double r : results)
            QVERIFY2(std::fabs(r - (475720 + 4.183 * kcal + 997.09)) < 1e-6,
                     qPrintable(QString::number(r, 'g', 15)));
    }

    void membership()
    {
        const QList<int> liquids{stWater, stPropyleneGlycol, stEthyleneGlycol};
        for (int code : {0, 1, 2, 3, 11, 13, 21, 22}) {
            const SubstanceProperties medium(code, 40);
            QCOMPARE(medium.isLiquid(), liquids.contains(code));
            QCOMPARE(medium.isSteam(), code == stSuperheatedSteam || code == stSaturatedSteam);
            QVERIFY(medium.isOneOf(99, 98, 97, code) && !medium.isOneOf(99, 98, 97, code + 1));
        }
        // Gases are read at normal conditions.
        QCOMPARE(SubstanceProperties(stAir).densityN(), 1.2759);
        QCOMPARE(SubstanceProperties(stNitrogen).densityN(), 1.234);
    }

    void values_data()
    {
        QTest::addColumn<Case>("c");
        // Points of the reference tables and the branches of each property.
        QTest::newRow("water density, 25 °C") << Case{1, 0, Density, 25, 0, 997.09};
        QTest::newRow("water vapour, 100 °C") << Case{1, 0, Vapour, 100, 0, 101320};
        QTest::newRow("steam uses the water curve") << Case{13, 0, Vapour, 150, 0, 475720};
        QTest::newRow("water cp, 20 °C") << Case{1, 0, Cp, 20, 0, 4.183 * kcal};
        // Solutions at a reference concentration are its table; at 0 % they are water.
        QTest::newRow("propylene 60 % density, 220 °C") << Case{2, 60, Density, 220, 0, 938};
        QTest::newRow("propylene 0 % density is water") << Case{2, 0, Density, 50, 0, 988.07};
        QTest::newRow("ethylene 40 % density, 170 °C") << Case{3, 40, Density, 170, 0, 938};
        QTest::newRow("ethylene 20 % vapour, 60 °C") << Case{3, 20, Vapour, 60, 0, 139 * mmHg};
        QTest::newRow("ethylene 0 % vapour is water") << Case{3, 0, Vapour, 120, 0, 198480};
        QTest::newRow("propylene 30 % vapour")
            << Case{2, 30, Vapour, 80, 0, antoine(8.6843917, 2181.232536, 80)};
        QTest::newRow("propylene 100 % vapour, below 130 °C")
            << Case{2, 100, Vapour, 129, 0, antoine(9.5157, 3039.0, 129)};
        QTest::newRow("propylene 100 % vapour, from 130 °C")
            << Case{2, 100, Vapour, 130, 0, antoine(9.2317, 2925.2, 130)};
        QTest::newRow("propylene 38 % cp, 50 °C") << Case{2, 38, Cp, 50, 0, (3.72 + 0.0028 * 50) * kcal};
        QTest::newRow("ethylene 0 % cp is water") << Case{3, 0, Cp, 80, 0, 4.195 * kcal};
        QTest::newRow("superheated steam cp, 200 °C") << Case{11, 0, Cp, 200, 0, 3.023 * kcal};
        QTest::newRow("air cp, 140 °C") << Case{21, 0, Cp, 140, 0, 1.013 * kcal};
        QTest::newRow("nitrogen cp, 100 °C, 20 atm") << Case{22, 0, Cp, 100, 20 * 101325.0, 1.058 * kcal};
    }

    void values()
    {
        QFETCH(Case, c);
        orxtest::MessageCapture capture;
        const SubstanceProperties medium(c.substance, c.concentration);
        const double actual = c.which == Density  ? medium.density(c.T)
                              : c.which == Vapour ? medium.steamPressure(c.T)
                                                  : medium.specificHeat(c.T, c.P);
        ORX_NEAR(actual, c.expected, 1e-9 * std::fabs(c.expected));
        QCOMPARE(capture.count(), 0);
    }

    void concentrationIsExtrapolatedNotClamped()
    {
        const double at60 = SubstanceProperties(stPropyleneGlycol, 60).density(100);
        const double at70 = SubstanceProperties(stPropyleneGlycol, 70).density(100);
        QVERIFY(std::isfinite(at70) && std::fabs(at70 - at60) > 0.01);
        QVERIFY(SubstanceProperties(stEthyleneGlycol, 80).steamPressure(100) <
                SubstanceProperties(stEthyleneGlycol, 60).steamPressure(100));
    }

    void steamVolume_data()
    {
        QTest::addColumn<double>("T");
        QTest::addColumn<double>("P");
        QTest::addColumn<double>("volume");
        QTest::addColumn<double>("within");
        QTest::newRow("boiling at one atmosphere") << 100.0 << 101325.0 << 1.673 << 0.001;
        QTest::newRow("220 °C before the valve, 4.8 bar") << 220.0 << 480000.0 << 0.4639 << 0.0001;
        QTest::newRow("220 °C after the valve, 3.5 bar") << 220.0 << 350000.0 << 0.6400 << 0.0001;
    }

    void steamVolume()
    {
        QFETCH(double, T);
        QFETCH(double, P);
        QFETCH(double, volume);
        QFETCH(double, within);
        orxtest::MessageCapture capture;
        const double v = SubstanceProperties::specificVolumeOfSteam(T, P);
        ORX_NEAR(v, volume, within);
        for (int code : {int(stSuperheatedSteam), int(stSaturatedSteam)})
            QVERIFY(std::fabs(SubstanceProperties(code).densityOfSteam(T, P) * v - 1) < 1e-12);
        QCOMPARE(capture.count(), 0);
    }

    void saturationTemperature_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<double>("concentration");
        QTest::addColumn<double>("P");
        QTest::addColumn<double>("expected"); // NaN: wherever the curve meets P
        QTest::newRow("water at 101320 Pa") << 1 << 0.0 << 101320.0 << qQNaN();
        QTest::newRow("propylene 50 % at 2 bar") << 2 << 50.0 << 200000.0 << qQNaN();
        QTest::newRow("infinite pressure") << 1 << 0.0 << qInf() << 221.0;
        QTest::newRow("below the curve at 0 °C") << 1 << 0.0 << 100.0 << 0.0;
        QTest::newRow("negative pressure") << 13 << 0.0 << -5e5 << 0.0;
    }

    void saturationTemperature()
    {
        QFETCH(int, code);
        QFETCH(double, concentration);
        QFETCH(double, P);
        QFETCH(double, expected);
        orxtest::MessageCapture capture;
        const SubstanceProperties medium(code, concentration);
        const double T = medium.saturationTemperature(P);
        if (std::isnan(expected)) {
            QVERIFY2(T > 0 && T < 388, qPrintable(QString::number(T)));
            QVERIFY2(std::fabs(medium.steamPressure(T) - P) < 0.01, qPrintable(QString::number(T, 'f', 8)));
        } else {
            QCOMPARE(T, expected);
        }
        QCOMPARE(medium.findSteamSaturationTemperature(P, 0, 388), T);
        QCOMPARE(capture.count(), 0);
    }

    void missingPropertiesAreReported_data()
    {
        QTest::addColumn<Ask>("ask");
        QTest::addColumn<double>("neutral"); // NaN: any finite value
        QTest::addColumn<QString>("function");
        const SubstanceProperties water(stWater), air(stAir);
        const SubstanceProperties pg(stPropyleneGlycol), eg(stEthyleneGlycol), none(0);
        QTest::newRow("density of air") << Ask([=] { return air.density(20); }) << 1.0 << "density()";
        QTest::newRow("vapour pressure of air")
            << Ask([=] { return air.steamPressure(20); }) << 0.0 << "steamPressure()";
        QTest::newRow("normal density of water")
            << Ask([=] { return water.densityN(); }) << 0.0 << "densityN()";
        QTest::newRow("steam density of water")
            << Ask([=] { return water.densityOfSteam(100, 101325); }) << 1.0 << "densityOfSteam()";
        QTest::newRow("density at 33 % propylene")
            << Ask([=] { return pg.densityValue(20, 33); }) << 1.0 << "densityValue()";
        QTest::newRow("ethylene vapour at 30 %")
            << Ask([=] { return eg.steamPressureValue(60, 30); }) << 0.0 << "steamPressureValue()";
        QTest::newRow("nitrogen at 50 °C")
            << Ask([] { return SubstanceProperties::nitrogenCp(50, 101325); }) << 0.0 << "nitrogenCp()";
        QTest::newRow("specific heat of nothing")
            << Ask([=] { return none.specificHeat(20, 101325); }) << 0.0 << "specificHeat()";
        QTest::newRow("saturation with reversed bounds")
            << Ask([=] { return water.findSteamSaturationTemperature(101320, 200, 50); }) << qQNaN()
            << "findSteamSaturationTemperature()";
    }

    void missingPropertiesAreReported()
    {
        QFETCH(Ask, ask);
        QFETCH(double, neutral);
        QFETCH(QString, function);
        orxtest::MessageCapture capture;
        const double v = ask();
        QVERIFY(!capture.assertions().isEmpty());
        QVERIFY2(capture.assertions().first().contains(function), qPrintable(capture.assertions().first()));
        if (std::isnan(neutral))
            QVERIFY(std::isfinite(v)); // reported, and still ends
        else
            QCOMPARE(v, neutral);
    }
};

ORX_CORE_TEST_MAIN(TestSubstanceProperties)
#include "tst_substanceproperties.moc"
