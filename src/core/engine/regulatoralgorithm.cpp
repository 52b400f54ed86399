#include "regulatoralgorithm.h"
#include "vocabulary/symbols.h"

#include <QMultiMap>

#include <climits>
#include <cmath>

using namespace common;

namespace {

// A pressure difference as the user reads it: plain decimal digits, never an
// exponent (1265433 Pa, not 1.26543e+06), and without the binary remainder of
// the subtraction (6.1 - 4 is 2.1, not 2.0999999999999996).
QString decimalText(double value)
{
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

// The regulator catalogue: for each DN, mm, the Kvs values, m³/h, of the steam
// regulator and of the others. DN 15 comes with Kvs 4 in both series.
struct RegulatorCatalogueRow
{
    int dn;
    std::initializer_list<double> steam;
    std::initializer_list<double> other;
};

const RegulatorCatalogueRow regulatorCatalogue[] = {
    {15, {1, 1.6, 2.5, 4}, {1, 1.6, 2.5, 4}}, {20, {2.5, 3.2, 4, 6.3}, {2.5, 3.2, 4, 6.3}},
    {25, {4, 6.3, 8, 10}, {4, 6.3, 8, 10}},   {32, {6.3, 10, 12.5, 16}, {6.3, 10, 12.5, 16}},
    {40, {10, 16, 20, 25}, {10, 16, 20, 25}}, {50, {16, 25, 32}, {16, 25, 32}},
    {65, {25, 32, 40, 50}, {25, 32, 40, 50}}, {80, {32, 40, 63, 80}, {32, 40, 63, 80}},
    {100, {63, 100, 125}, {63, 100, 125}},    {125, {}, {100, 125, 160}},
    {150, {}, {160, 200, 250, 280}},          {200, {}, {250, 360, 450, 630}},
};

// Kvs values that are made but not offered for selection.
const double excludedKvs[] = {1, 3.2, 8, 12.5, 20, 50, 80};

using Catalogue = QMultiMap<double, int>;

const Catalogue& catalogueOf(bool steam)
{
    struct Catalogues
    {
        Catalogue steam, other;
        Catalogues()
        {
            for (const RegulatorCatalogueRow& row : regulatorCatalogue) {
                for (double kvs : row.steam)
                    steam.insert(kvs, row.dn);
                for (double kvs : row.other)
                    other.insert(kvs, row.dn);
            }
        }
    };
    static const Catalogues catalogues;
    return steam ? catalogues.steam : catalogues.other;
}

struct TuningRangeName
{
    int code;
    const char* text;
};

const TuningRangeName tuningRangeNames[] = {
    {737, "0,04 - 0,16 МПа"}, {527, "0,04 - 0,70 МПа"},
    {378, "0,10 - 0,40 МПа"}, {541, "0,10 - 0,70 МПа"},
    {835, "0,20 - 1,20 МПа"}, {298, "0,30 - 1,00 МПа"},
    {682, "0,30 - 1,20 МПа"}, {317, "0,60 - 1,00 МПа"},
    {117, "0,60 - 1,20 МПа"}, {RegulatorAlgorithm::noTuningRange, "проблема с диапазоном настройки"},
};

// The springs of one device type and band of diameters: from `lowest` MPa up
// to each band's upper bound (inclusive) the band's code applies.
struct TuningBand
{
    double upTo;
    int code;
};

struct TuningRow
{
    int deviceType;
    int dnFrom;
    int dnTo;
    double lowest;
    std::initializer_list<TuningBand> bands;
};

const TuningRow tuningRows[] = {
    {dtLMRD, 0, 100, 0.04, {{0.5, 527}, {1.2, 835}}},
    {dtLMRD, 101, 150, 0.04, {{0.65, 527}, {1.2, 117}}},
    {dtLMRD, 151, 300, 0.04, {{0.12, 737}, {0.35, 378}, {1.0, 298}}},
    {dtLMR2P, 0, INT_MAX, 0.1, {{0.6, 541}, {1.2, 682}}},
    {dtLMR1, 0, 100, 0.04, {{0.65, 527}, {1.0, 317}}},
    {dtLMR1, 101, 150, 0.04, {{0.7, 527}}},
    {dtLMR1, 151, 300, 0.04, {{0.12, 737}, {0.35, 378}, {1.0, 298}}},
};

// The springs of a device type for a DN; null when it has none.
const TuningRow* tuningRowOf(int deviceType, int DN)
{
    for (const TuningRow& row : tuningRows)
        if (row.deviceType == deviceType && DN >= row.dnFrom && DN <= row.dnTo)
            return &row;
    return nullptr;
}

// The band of a row's springs that holds the setpoint, MPa: the first band
// starts at the lowest setpoint, each next one above the bound of the one
// before. The code is noTuningRange when no band holds it.
explain::TuningSpan spanFor(const TuningRow& row, int DN, double s)
{
    explain::TuningSpan span;
    span.dn = DN;
    span.code = RegulatorAlgorithm::noTuningRange;
    // The spring bounds are catalogue figures: compared as they stand.
    if (s < row.lowest)
        return span;
    double low = row.lowest;
    for (const TuningBand& band : row.bands) {
        if (s <= band.upTo) {
            span.low = low;
            span.high = band.upTo;
            span.code = band.code;
            return span;
        }
        low = band.upTo;
    }
    return span;
}

// Every band of the springs of a device type for a DN (none when it has none).
QList<explain::TuningSpan> spansOf(int deviceType, int DN)
{
    QList<explain::TuningSpan> spans;
    const TuningRow* row = tuningRowOf(deviceType, DN);
    if (!row)
        return spans;
    double low = row->lowest;
    for (const TuningBand& band : row->bands) {
        explain::TuningSpan span;
        span.dn = DN;
        span.low = low;
        span.high = band.upTo;
        span.code = band.code;
        spans.append(span);
        low = band.upTo;
    }
    return spans;
}

// The setpoint below which a failing tuning range is "too low", MPa.
constexpr double lowSetpoint = 0.1;
// The least differential pressure a regulated section may keep, Pa.
constexpr double minRegulatedDropPa = 40000;

const char* const supplyNotAboveReturnText =
    "давление на подающем трубопроводе (<i>Pпод</i>) должно превышать "
    "давление на обратном (<i>Pобр</i>)";
const char* const balanceText =
    "сумма перепадов давления должна быть равной %1 %2<br>(должно выполняться условие "
    "<i>%0Pру + %0Pрег + %0Pдр.под + %0Pдр.обр = Pпод - Pобр</i>)";
const char* const beforeTooHighText =
    "слишком высокое давление перед регулятором: избыточное давление не должно превышать 2,5 МПа";
const char* const supplyTooHighText =
    "слишком высокое давление на подающем трубопроводе: избыточное давление не должно превышать 2,5 МПа";
const char* const regulatedDropTooSmallText =
    "слишком маленький перепад давления на регулируемом участке. Должен быть не менее 0,04 МПа";
const char* const pressureOrderText =
    "давление перед регулятором (<i>P1</i>) должно превышать давление после регулятора (<i>P2</i>)";
const char* const tuningProblemText = "есть проблемы с подбором диапазона настройки ";
const char* const tuningPressureText = "(слишком %1 регулируемое давление)";
const char* const tuningDropText = "(слишком %1 регулируемый перепад)";

} // namespace

RegulatorAlgorithm::RegulatorAlgorithm() = default;

QList<double> RegulatorAlgorithm::ascendingKvsList() const
{
    return catalogueOf(m_input.isSteamDevice()).uniqueKeys();
}

QList<int> RegulatorAlgorithm::diametersByKvs(double Kvs) const
{
    QList<int> result = catalogueOf(m_input.isSteamDevice()).values(Kvs);
    std::sort(result.begin(), result.end());
    return result;
}

bool RegulatorAlgorithm::isKvsAcceptable(double Kvs) const
{
    for (double excluded : excludedKvs)
        if (tolerance::equal(Kvs, excluded))
            return false;
    return true;
}

double RegulatorAlgorithm::setpoint() const
{
    switch (m_input.regulation) {
    case rtDiffPressure: {
        const double s = toPa(m_input.dPru) / 1e6;
        return s < 0 ? 0 : s;
    }
    case rtUpstream:
        return (m_input.PbeforeAbsInPa() - atmosphereInPa) / 1e6;
    case rtDownstream:
        return (m_input.PafterAbsInPa() - atmosphereInPa) / 1e6;
    default:
        return 0;
    }
}

int RegulatorAlgorithm::tuningRange(int DN) const
{
    return tuningSpan(DN).code;
}

explain::TuningSpan RegulatorAlgorithm::tuningSpan(int DN) const
{
    const TuningRow* row = tuningRowOf(m_input.deviceType(), DN);
    if (row)
        return spanFor(*row, DN, setpoint());
    GEH_ASSERT(0);
    explain::TuningSpan span;
    span.dn = DN;
    span.code = noTuningRange;
    return span;
}

QString RegulatorAlgorithm::tuningRangeName(int code)
{
    for (const TuningRangeName& name : tuningRangeNames)
        if (name.code == code)
            return QString::fromUtf8(name.text);
    GEH_ASSERT(0);
    return QStringLiteral("Неизвестно");
}

RegulatorResultItem RegulatorAlgorithm::evaluate(double Kvs, int DN) const
{
    RegulatorResultItem item;
    item.deviceType = m_input.deviceType();
    item.dn = DN;
    item.kv = Kvs;
    item.tuningRange = tuningRange(DN);
    item.regulation = m_input.regulation;
    item.cavitationRisk = isCavitationExpected();
    if (substanceProperties().isLiquid()) {
        item.setPipeFlowSpeed(Anywhere, calcPipeFlowSpeed(DN, Anywhere, m_input.Q()));
    } else {
        item.setPipeFlowSpeed(BeforeDevice, calcPipeFlowSpeed(DN, BeforeDevice, m_input.Q()));
        item.setPipeFlowSpeed(AfterDevice, calcPipeFlowSpeed(DN, AfterDevice, m_input.Q()));
    }
    item.deviceNoiseRisk = noiseRisk(item.cavitationRisk);
    return item;
}

QVector<explain::CandidateExplanation> RegulatorAlgorithm::explanations() const
{
    QVector<explain::CandidateExplanation> list;
    if (!m_explaining)
        return list;
    const CavitationSides c = cavitationSides(!m_results.isEmpty());
    const double s = setpoint();
    for (const RegulatorResultItem& item : m_results) {
        explain::CandidateExplanation why;
        why.add(item.speedCriterion());
        why.add(item.cavitationCriterion(c.liquid, c.dropPa, c.boilingPa));
        explain::Criterion noise;
        noise.kind = explain::Criterion::Noise;
        noise.value = item.deviceNoiseRisk;
        noise.high = nrHigh;
        noise.met = item.deviceNoiseRisk < nrHigh;
        why.add(noise);
        // The band of the candidate's code (the springs of its DN that hold
        // the setpoint), found by the same walk as the code itself.
        const TuningRow* row = tuningRowOf(m_input.deviceType(), item.dn);
        const explain::TuningSpan span = row ? spanFor(*row, item.dn, s) : explain::TuningSpan();
        explain::Criterion tuning;
        tuning.kind = explain::Criterion::TuningRange;
        tuning.value = s;
        tuning.low = span.low;
        tuning.high = span.high;
        tuning.code = item.tuningRange;
        tuning.met = item.tuningRange != noTuningRange;
        why.add(tuning);
        why.rejection = rejectionOf(item);
        if (why.rejection.rule == explain::Rejection::NoTuningRange) {
            why.rejection.setpoint = s;
            why.rejection.ranges = spansOf(m_input.deviceType(), item.dn);
        }
        list.append(why);
    }
    return list;
}

void RegulatorAlgorithm::checkDifferentialScheme()
{
    const RegulatorInputParams& in = m_input;
    if (tolerance::isZero(in.Psupply) || tolerance::isZero(in.Preturn) || tolerance::isZero(in.dPreg) ||
        tolerance::isZero(in.dPru))
        throwEmptyFields();
    if (!tolerance::greater(in.Psupply, in.Preturn))
        throwValidationError(QString::fromUtf8(supplyNotAboveReturnText));
    // The loop's available pressure is spent on the regulated section, the
    // regulator and the other equipment in the two pipes.
    const double available = in.Psupply - in.Preturn;
    if (!tolerance::equal(in.dPreg + in.dPru + in.dPdrSupply + in.dPdrReturn, available))
        throwValidationError(QString::fromUtf8(balanceText)
                                 .arg(deltaSign)
                                 .arg(decimalText(available))
                                 .arg(pressureMeasureName(PressureMeasure(in.pressureMeasure))));
    if (tolerance::greater(in.PbeforeAbsInPa(), maxPbeforeAbsInPa))
        throwValidationError(QString::fromUtf8(beforeTooHighText));
    if (tolerance::greater(in.absolute(toPa(in.Psupply)), maxPbeforeAbsInPa))
        throwValidationError(QString::fromUtf8(supplyTooHighText));
    if (tolerance::less(toPa(in.dPru), minRegulatedDropPa))
        throwValidationError(QString::fromUtf8(regulatedDropTooSmallText));
}

void RegulatorAlgorithm::rejectWithoutTuningRange()
{
    for (RegulatorResultItem& item : m_results) {
        if (item.tuningRange == noTuningRange)
            markRejected(item, explain::Rejection::NoTuningRange);
    }
    refuseWhenSpringsLeaveNothing();
}

void RegulatorAlgorithm::refuseWhenSpringsLeaveNothing()
{
    bool allRejected = true;
    bool anyWithoutRange = false;
    for (const RegulatorResultItem& item : m_results) {
        allRejected = allRejected && item.rejected;
        anyWithoutRange = anyWithoutRange || item.tuningRange == noTuningRange;
    }
    if (m_results.isEmpty() || !allRejected || !anyWithoutRange)
        return;
    if (m_explaining) {
        m_noSuitableModel.missing = explain::NoSuitableModel::TuningRange;
        m_noSuitableModel.setpoint = setpoint();
        QList<int> diameters;
        for (const RegulatorResultItem& item : m_results) {
            if (diameters.contains(item.dn))
                continue;
            diameters.append(item.dn);
            m_noSuitableModel.ranges += spansOf(m_input.deviceType(), item.dn);
        }
    }
    const bool low = tolerance::less(setpoint(), lowSetpoint);
    const QString detail = m_input.regulation == rtDiffPressure
                               ? QString::fromUtf8(tuningDropText)
                                     .arg(low ? QStringLiteral("низкий") : QStringLiteral("высокий"))
                               : QString::fromUtf8(tuningPressureText)
                                     .arg(low ? QStringLiteral("низкое") : QStringLiteral("высокое"));
    throwValidationError(QString::fromUtf8(tuningProblemText) + detail);
}

bool RegulatorAlgorithm::calc(const RegulatorInputParams& input)
{
    clearResults();
    m_results.clear();
    m_input = input;
    if (!isRegulator(DeviceType(input.deviceType())))
        geh::ErrorHandler::instance()->assertFailed(
            GEH_LOCATION, QStringLiteral("common::isRegulator(input.deviceType())"));
    const bool ok = runSteps([this] {
        checkChoices();
        if (m_input.regulation == rtDiffPressure)
            checkDifferentialScheme();
        else
            checkDevicePressures(m_input.P1, m_input.P2, QString::fromUtf8(pressureOrderText),
                                 QString::fromUtf8(beforeTooHighText));
        checkTemperatures();
        checkFlow(false);
        checkWorkingTemperature();
        calcLiquidProperties();
        calcKvsMath(m_input);

        for (double Kvs : explainedSuitableKvsList(m_kvsMath, 1.35)) {
            for (int DN : diametersByKvs(Kvs)) {
                const RegulatorResultItem item = evaluate(Kvs, DN);
                for (double speed : item.m_pipeFlowSpeed)
                    requireFiniteResult(speed);
                m_results.append(item);
            }
        }
        rejectWithoutTuningRange();
        filterResults();
        // The models without a range still count among the two smallest
        // diameters: when they push out every model with one, nothing is
        // proposed, and the task is refused as when no model has a range.
        refuseWhenSpringsLeaveNothing();
    });
    if (!ok)
        m_results.clear();
    return ok;
}

void RegulatorAlgorithm::filterResults()
{
    rejectUnproposed(m_results);
}
