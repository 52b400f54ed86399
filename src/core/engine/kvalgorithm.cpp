#include "kvalgorithm.h"
#include "vocabulary/symbols.h"

#include <cmath>

using namespace common;

namespace {

// Pressure ratio at which the flow of a compressible medium through the valve
// becomes critical: a drop of half the inlet pressure (absolute) or more.
constexpr double criticalDropShare = 0.5;
// The pipe section π·(DN/1000)²/4 and the hour of m³/h folded into one figure:
// speed = Q·4·10000/(113.0973336·DN²), m/s for Q in m³/h and DN in mm.
constexpr double pipeSectionFactor = 113.0973336;

const char* const valvePressureOrderText = "давление перед клапаном должно превышать давление после клапана";
const char* const valvePressureTooHighText =
    "слишком высокое давление перед клапаном. Избыточное давление не должно превышать 2.5 МПа";
const char* const flowUnitMissingText = "укажите единицы измерения расхода рабочей среды <i>G<i>";
const char* const boilingTooHotText = "слишком высокое давление рабочей среды. Температура парообразования "
                                      "превышает максимально допустимую (%1 %2С)";
const char* const temperatureOrderText = "температура рабочей среды в подающем трубопроводе (<i>Tпод</i>) "
                                         "должна быть больше, чем в обратном (<i>Tобр</i>)";
const char* const dropTooLargeText = "слишком большой перепад давления по отношению к расходу рабочей среды";
const char* const noSuitableModelText = "Не удалось найти модель с подходящим kv";
// Refusals of tasks whose figures would not be numbers.
const char* const steamVolumeUndefinedText =
    "при заданном давлении температура пара слишком низкая: удельный объём пара не определён";
const char* const kvUndefinedText = "при заданных входных данных расчётный Kv не определён";
const char* const propertiesUndefinedText = "при заданной температуре свойства рабочей среды не определены";
const char* const resultUndefinedText = "при заданных входных данных характеристики моделей не определены";

} // namespace

// ---------------------------------------------------------------------------
// Input checks shared by the calculations

void Algorithm::checkChoices()
{
    if (!input().choicesWithinTables())
        throwEmptyFields();
    // A glycol solution of 0 % would be computed as water: the concentration
    // is not given.
    if (substanceProperties().isGlycol() && tolerance::isZero(input().concentration))
        throwEmptyFields();
}

void Algorithm::checkDevicePressures(double P1, double P2, const QString& orderError,
                                     const QString& tooHighError)
{
    if (tolerance::isZero(P1) || tolerance::isZero(P2))
        throwEmptyFields();
    if (tolerance::greaterOrEqual(P2, P1))
        throwValidationError(orderError);
    if (tolerance::greater(input().PbeforeAbsInPa(), maxPbeforeAbsInPa))
        throwValidationError(tooHighError);
}

void Algorithm::checkValvePressures(double P1, double P2)
{
    checkDevicePressures(P1, P2, QString::fromUtf8(valvePressureOrderText),
                         QString::fromUtf8(valvePressureTooHighText));
}

void Algorithm::checkTemperatures()
{
    const InputParams& in = input();
    if (substanceProperties().isSteam()) {
        const double Tsat = SubstanceProperties(stWater).saturationTemperature(in.PbeforeAbsInPa());
        if (tolerance::greater(Tsat, in.maxTemperature()))
            throwValidationError(QString::fromUtf8(boilingTooHotText)
                                     .arg(QString::number(in.maxTemperature(), 'f', 1))
                                     .arg(degreeSign));
    }
    // A temperature the form leaves disabled is NaN: it is not checked. A gas
    // may be at 0 °C; a liquid or steam at 0 °C is a temperature not given.
    const bool zeroIsTemperature = substanceProperties().isGas();
    const auto notGiven = [zeroIsTemperature](double T) {
        return !zeroIsTemperature && tolerance::isZero(T);
    };
    if (!std::isnan(in.Tsupply) && notGiven(in.Tsupply))
        throwEmptyFields();
    if (!std::isnan(in.Treturn)) {
        if (notGiven(in.Treturn))
            throwEmptyFields();
        if (tolerance::greaterOrEqual(in.Treturn, in.Tsupply))
            throwValidationError(QString::fromUtf8(temperatureOrderText));
    }
}

void Algorithm::checkWorkingTemperature()
{
    // Every property of the medium is taken at the temperature of the pipe the
    // device is installed in.
    if (std::isnan(input().temperature()))
        throwEmptyFields();
}

void Algorithm::checkFlow(bool unitIsEmptyField)
{
    if (tolerance::isZero(input().Q()))
        throwEmptyFields();
    // An unknown unit is no unit: the flow cannot be read in it.
    if (!input().flowMeasureKnown()) {
        if (unitIsEmptyField)
            throwEmptyFields(QString::fromUtf8(flowUnitMissingText));
        throwValidationError(QString::fromUtf8(flowUnitMissingText));
    }
}

void Algorithm::calcLiquidProperties()
{
    const SubstanceProperties medium = substanceProperties();
    if (!medium.isLiquid())
        return;
    const double T = input().temperature();
    m_liquidDensity = medium.density(T);
    m_steamPressure = medium.steamPressure(T);
    // Far outside the tables the interpolation runs out of physics.
    if (!(m_liquidDensity > 0) || !std::isfinite(m_liquidDensity) || !std::isfinite(m_steamPressure))
        throwValidationError(QString::fromUtf8(propertiesUndefinedText));
}

void Algorithm::requireFiniteResult(double value)
{
    if (!std::isfinite(value))
        throwValidationError(QString::fromUtf8(resultUndefinedText));
}

bool Algorithm::isCavitationExpected() const
{
    if (!substanceProperties().isLiquid())
        return false;
    return tolerance::lessOrEqual(boilingDropPa(), cavitationDropPa());
}

// ---------------------------------------------------------------------------
// Kv core

void Algorithm::calcKvsMath(const InputParams& input)
{
    const SubstanceProperties medium = input.substanceProperties();
    const double P1Pa = input.PbeforeAbsInPa();
    const double P2Pa = input.PafterAbsInPa();
    const double dPPa = P1Pa - P2Pa;
    const double T = input.temperature();
    // Critical flow of steam and gases is decided in the user's measure.
    const bool critical =
        tolerance::greaterOrEqual(input.Pbefore() - input.Pafter(), input.Pbefore() * criticalDropShare);

    double kv = 0;
    if (medium.isLiquid()) {
        const double Q = input.toQinM3(Working, Anywhere);
        const double rho = medium.density(T);
        kv = 10 * Q * std::sqrt(rho) / std::sqrt(dPPa);
    } else if (medium.isSteam()) {
        // The volume formula describes steam at and above its boiling point;
        // far below it the formula gives no volume. The volume falls as the
        // pressure rises, so a volume at the inlet means one at every lower
        // pressure, the outlet's included, unless the outlet pressure is no
        // pressure at all.
        const double vInlet = SubstanceProperties::specificVolumeOfSteam(T, P1Pa);
        if (!(vInlet > 0) || !std::isfinite(vInlet))
            throwValidationError(QString::fromUtf8(steamVolumeUndefinedText));
        const double vOutlet = SubstanceProperties::specificVolumeOfSteam(T, P2Pa);
        if (!(vOutlet > 0) || !std::isfinite(vOutlet))
            throwValidationError(QString::fromUtf8(kvUndefinedText));
        const double G = input.QinKg();
        // In critical flow the drop that counts is half the inlet pressure, at
        // the specific volume of that half: the formula then meets the
        // subcritical one at P2 = P1/2 instead of jumping by √2.
        if (critical) {
            const double v = 2 * SubstanceProperties::specificVolumeOfSteam(T, P1Pa / 2);
            kv = 10 * G * std::sqrt(v / P1Pa);
        } else {
            kv = 10 * G * std::sqrt(vOutlet / dPPa);
        }
    } else if (medium.isOneOf(stAir, stNitrogen)) {
        const double Qn = input.toQinM3(Norm, Anywhere);
        const double rhoN = medium.densityN();
        const double K = Qn * 1e6 / 5141 * std::sqrt(rhoN * (T + 273.13));
        kv = critical ? K * 2 / P1Pa : K / std::sqrt(dPPa * P2Pa);
    } else {
        GEH_ASSERT(0);
    }

    m_kvsMath = kv;
    if (tolerance::isZero(kv))
        throwValidationError(QString::fromUtf8(dropTooLargeText));
    if (!std::isfinite(kv) || kv < 0)
        throwValidationError(QString::fromUtf8(kvUndefinedText));
}

int Algorithm::noiseRisk(bool cavitation) const
{
    if (cavitation)
        return nrHigh;
    const double d = inAtm(input().Pbefore() - input().Pafter());
    if (tolerance::lessOrEqual(d, 1))
        return nrLow;
    if (tolerance::lessOrEqual(d, 2))
        return nrLowerMedium;
    if (tolerance::lessOrEqual(d, 3))
        return nrMedium;
    if (tolerance::lessOrEqual(d, 4))
        return nrUpperMedium;
    return nrHigh;
}

double Algorithm::flowSpeedInPipe(double QinM3h, int DN)
{
    return QinM3h * 4 * 10000 / (pipeSectionFactor * DN * DN);
}

double Algorithm::calcPipeFlowSpeed(int DN, DevicePosition point, double flow) const
{
    const InputParams& in = input();
    const double Q = toQinM3(Working, point, flow, in.temperature(), in.substanceProperties(), in.flowMeasure,
                             in.PbeforeAbsInPa(), in.PafterAbsInPa());
    return flowSpeedInPipe(Q, DN);
}

// Every catalogue Kvs in (0.9·kv, maxFactor·kv), and, while none of the
// acceptable ones taken exceeds 1.2·kv, the next larger ones up to the first
// acceptable Kvs above 1.2·kv: a model a little too small is never the only
// choice.
QList<double> Algorithm::suitableKvsList(double kv, double maxFactor)
{
    QList<double> result;
    bool largeFound = false;
    for (double Kvs : ascendingKvsList()) {
        if (!tolerance::greater(Kvs, 0.9 * kv))
            continue;
        if (!tolerance::less(Kvs, maxFactor * kv) && largeFound)
            break;
        result.append(Kvs);
        if (!largeFound && isKvsAcceptable(Kvs) && tolerance::greater(Kvs, 1.2 * kv))
            largeFound = true;
    }
    if (result.isEmpty())
        throwError(QString::fromUtf8(noSuitableModelText));
    return result;
}

// ---------------------------------------------------------------------------
// KvAlgorithm

KvAlgorithm::KvAlgorithm() = default;

bool KvAlgorithm::calc(const KvInputParams& input)
{
    clearResults();
    m_input = input;
    GEH_ASSERT(input.deviceType() == dtLMKP || input.deviceType() == dtEmpty);
    return runSteps([this] {
        checkChoices();
        if (m_input.deviceType() == dtEmpty)
            throwEmptyFields();
        checkValvePressures(m_input.P1, m_input.P2);
        checkTemperatures();
        checkFlow(false);
        checkWorkingTemperature();
        calcLiquidProperties();
        calcKvsMath(m_input);
    });
}

QList<double> KvAlgorithm::ascendingKvsList() const
{
    GEH_ASSERT(0);
    return {};
}
