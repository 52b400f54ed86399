// Properties of the working media: each branch of each property at a point of
// its reference table, the steam volumes of the worked example, the
// boiling-temperature search and the reports for properties a medium does not
// have. The selection tests check the values between the table points.

#include "../core/tablerows.h"
#include "engine/substanceproperties.h"
#include "testsupport.h"
#include "vocabulary/common.h"

#include <cmath>

using namespace common;

namespace {

constexpr double kcal = 0.2388;
constexpr double mmHg = 133.32;

double antoine(double A, double B, double T)
{
    return std::pow(10.0, A - B / (T + 273.13)) * mmHg;
}

enum Property { Density, Vapour, Cp };

// One property of one medium at a point of its table, and its value; solutions
// at a reference concentration are its table, at 0 % they are water.
// clang-format off
const struct { const char* name; int substance; double concentration; Property which; double T, P, expected; } kValues[] = {
    {"water density, 25 °C", 1, 0, Density, 25, 0, 997.09},
    {"water vapour, 100 °C", 1, 0, Vapour, 100, 0, 101320},
    {"steam uses the water curve", 13, 0, Vapour, 150, 0, 475720},
    {"water cp, 20 °C", 1, 0, Cp, 20, 0, 4.183 * kcal},
    {"propylene 60 % density, 220 °C", 2, 60, Density, 220, 0, 938},
    {"propylene 0 % density is water", 2, 0, Density, 50, 0, 988.07},
    {"ethylene 40 % density, 170 °C", 3, 40, Density, 170, 0, 938},
    {"ethylene 20 % vapour, 60 °C", 3, 20, Vapour, 60, 0, 139 * mmHg},
    {"ethylene 0 % vapour is water", 3, 0, Vapour, 120, 0, 198480},
    {"propylene 30 % vapour", 2, 30, Vapour, 80, 0, antoine(8.6843917, 2181.232536, 80)},
    {"propylene 100 % vapour, below 130 °C", 2, 100, Vapour, 129, 0, antoine(9.5157, 3039.0, 129)},
    {"propylene 100 % vapour, from 130 °C", 2, 100, Vapour, 130, 0, antoine(9.2317, 2925.2, 130)},
    {"propylene 38 % cp, 50 °C", 2, 38, Cp, 50, 0, (3.72 + 0.0028 * 50) * kcal},
    {"ethylene 0 % cp is water", 3, 0, Cp, 80, 0, 4.195 * kcal},
    {"superheated steam cp, 200 °C", 11, 0, Cp, 200, 0, 3.023 * kcal},
    {"air cp, 140 °C", 21, 0, Cp, 140, 0, 1.013 * kcal},
    {"nitrogen cp, 100 °C, 20 atm", 22, 0, Cp, 100, 20 * 101325.0, 1.058 * kcal},
};

// Steam volume (m³/kg) at T °C and P Pa.
const struct { const char* name; double T, P, volume, within; } kSteam[] = {
    {"boiling at one atmosphere", 100, 101325, 1.673, 0.001},
    {"220 °C before the valve, 4.8 bar", 220, 480000, 0.4639, 0.0001},
    {"220 °C after the valve, 3.5 bar", 220, 350000, 0.6400, 0.0001},
};

// The boiling temperature (NaN: wherever the curve meets P).
const struct { const char* name; int code; double concentration, P, expected; } kSaturation[] = {
    {"water at 101320 Pa", 1, 0, 101320, qQNaN()},
    {"propylene 50 % at 2 bar", 2, 50, 200000, qQNaN()},
    {"infinite pressure", 1, 0, qInf(), 221},
    {"below the curve at 0 °C", 1, 0, 100, 0},
    {"negative pressure", 13, 0, -5e5, 0},
};

// A property the medium does not have: reported, then the neutral value (NaN: any finite value).
const struct { const char* name; double (*ask)(); double neutral; const char* function; } kMissing[] = {
    {"density of air", [] { return SubstanceProperties(stAir).density(20); }, 1, "density()"},
    {"vapour pressure of air", [] { return SubstanceProperties(stAir).steamPressure(20); }, 0, "steamPressure()"},
    {"normal density of water", [] { return SubstanceProperties(stWater).densityN(); }, 0, "densityN()"},
    {"steam density of water", [] { return SubstanceProperties(stWater).densityOfSteam(100, 101325); }, 1, "densityOfSteam()"},
    {"density at 33 % propylene", [] { return SubstanceProperties(stPropyleneGlycol).densityValue(20, 33); }, 1, "densityValue()"},
    {"ethylene vapour at 30 %", [] { return SubstanceProperties(stEthyleneGlycol).steamPressureValue(60, 30); }, 0, "steamPressureValue()"},
    {"nitrogen at 50 °C", [] { return SubstanceProperties::nitrogenCp(50, 101325); }, 0, "nitrogenCp()"},
    {"specific heat of nothing", [] { return SubstanceProperties(0).specificHeat(20, 101325); }, 0, "specificHeat()"},
    {"saturation with reversed bounds", [] { return SubstanceProperties(stWater).findSteamSaturationTemperature(101320, 200, 50); }, qQNaN(), "findSteamSaturationTemperature()"},
};
// clang-format on

} // namespace

class TestSubstanceProperties : public QObject
{
    Q_OBJECT

private slots:
    // Liquids, steams and gases; gases are read at normal conditions.
    void membership()
    {
        const QList<int> liquids{stWater, stPropyleneGlycol, stEthyleneGlycol};
        for (int code : {0, 1, 2, 3, 11, 13, 21, 22}) {
            const SubstanceProperties medium(code, 40);
            QCOMPARE(medium.isLiquid(), liquids.contains(code));
            QCOMPARE(medium.isSteam(), code == stSuperheatedSteam || code == stSaturatedSteam);
            QVERIFY(medium.isOneOf(99, 98, 97, code) && !medium.isOneOf(99, 98, 97, code + 1));
        }
        QCOMPARE(SubstanceProperties(stAir).densityN(), 1.2759);
        QCOMPARE(SubstanceProperties(stNitrogen).densityN(), 1.234);
        // Concentrations beyond the tables are extrapolated, not clamped.
        const double at60 = SubstanceProperties(stPropyleneGlycol, 60).density(100);
        QVERIFY(std::fabs(SubstanceProperties(stPropyleneGlycol, 70).density(100) - at60) > 0.01);
        QVERIFY(SubstanceProperties(stEthyleneGlycol, 80).steamPressure(100) <
                SubstanceProperties(stEthyleneGlycol, 60).steamPressure(100));
    }

    void values_data() { tableRows(kValues); }
    void values()
    {
        ORX_ROW(kValues);
        orxtest::MessageCapture capture;
        const SubstanceProperties medium(row.substance, row.concentration);
        const double actual = row.which == Density  ? medium.density(row.T)
                              : row.which == Vapour ? medium.steamPressure(row.T)
                                                    : medium.specificHeat(row.T, row.P);
        ORX_NEAR(actual, row.expected, 1e-9 * std::fabs(row.expected));
        QCOMPARE(capture.count(), 0);
    }

    void steamVolume_data() { tableRows(kSteam); }
    void steamVolume()
    {
        ORX_ROW(kSteam);
        orxtest::MessageCapture capture;
        const double v = SubstanceProperties::specificVolumeOfSteam(row.T, row.P);
        ORX_NEAR(v, row.volume, row.within);
        for (int code : {int(stSuperheatedSteam), int(stSaturatedSteam)})
            ORX_NEAR(SubstanceProperties(code).densityOfSteam(row.T, row.P) * v, 1, 1e-12);
        QCOMPARE(capture.count(), 0);
    }

    void saturationTemperature_data() { tableRows(kSaturation); }
    void saturationTemperature()
    {
        ORX_ROW(kSaturation);
        orxtest::MessageCapture capture;
        const SubstanceProperties medium(row.code, row.concentration);
        const double T = medium.saturationTemperature(row.P);
        if (std::isnan(row.expected)) {
            QVERIFY2(T > 0 && T < 388, qPrintable(QString::number(T)));
            ORX_NEAR(medium.steamPressure(T), row.P, 0.01);
        } else {
            QCOMPARE(T, row.expected);
        }
        QCOMPARE(medium.findSteamSaturationTemperature(row.P, 0, 388), T);
        QCOMPARE(capture.count(), 0);
    }

    void missingPropertiesAreReported_data() { tableRows(kMissing); }
    void missingPropertiesAreReported()
    {
        ORX_ROW(kMissing);
        orxtest::MessageCapture capture;
        const double v = row.ask();
        QVERIFY(!capture.assertions().isEmpty());
        QVERIFY2(capture.assertions().first().contains(QLatin1String(row.function)),
                 qPrintable(capture.assertions().first()));
        QVERIFY(std::isnan(row.neutral) ? std::isfinite(v) : v == row.neutral);
    }
};

ORX_CORE_TEST_MAIN(TestSubstanceProperties)
#include "tst_substanceproperties.moc"
