#include "algorithm.h"

#include "engine/resultitem.h"

using namespace common;

Algorithm::Algorithm() = default;

Algorithm::~Algorithm() = default;

bool Algorithm::isKvsAcceptable(double /*Kvs*/) const
{
    return true;
}

QString Algorithm::errorText() const
{
    return m_errors.join(QStringLiteral("<br>"));
}

double Algorithm::liquidDensity() const
{
    GEH_ASSERT(substanceProperties().isLiquid());
    return m_liquidDensity;
}

double Algorithm::steamPressure() const
{
    GEH_ASSERT(substanceProperties().isLiquid());
    return m_steamPressure;
}

double Algorithm::steamSpecificVolume(DevicePosition point) const
{
    if (!GEH_ASSERT(substanceProperties().isSteam()))
        return 0;
    return SubstanceProperties::specificVolumeOfSteam(input().temperature(), input().PAbsinPa(point));
}

void Algorithm::throwValidationError(const QString& error)
{
    GEH_ASSERT(error.count() > 0 && error.at(0).isLower());
    throwError(invalidInputsMessage() + error);
}

QString Algorithm::invalidInputsMessage()
{
    return QStringLiteral("Недопустимые входные данные:<br>");
}

QString Algorithm::emptyFieldsMessage()
{
    return QStringLiteral("Не заполнены входные данные");
}

void Algorithm::throwEmptyFields(const QString& error)
{
    if (error.isEmpty())
        throwError(emptyFieldsMessage());
    GEH_ASSERT(error.count() > 0 && error.at(0).isLower());
    throwError(emptyFieldsMessage() + QStringLiteral(":<br>") + error);
}

void Algorithm::throwError(const QString& message)
{
    m_errors.append(message);
    throw CalculationAbort();
}

QList<double> Algorithm::explainedSuitableKvsList(double kv, double maxFactor)
{
    try {
        return suitableKvsList(kv, maxFactor);
    } catch (const CalculationAbort&) {
        if (m_explaining) {
            const QList<double> series = ascendingKvsList();
            m_noSuitableModel.missing = explain::NoSuitableModel::KvBeyondSeries;
            m_noSuitableModel.requiredKv = kv;
            m_noSuitableModel.largestKvs = series.isEmpty() ? explain::none : series.last();
        }
        throw;
    }
}

double Algorithm::cavitationDropPa() const
{
    return input().PbeforeAbsInPa() - input().PafterAbsInPa();
}

double Algorithm::boilingDropPa() const
{
    // The liquid boils in the vena contracta once the drop reaches 0.6 of the
    // margin between the inlet pressure and the vapour pressure.
    return (input().PbeforeAbsInPa() - m_steamPressure) * 0.6;
}

Algorithm::CavitationSides Algorithm::cavitationSides(bool haveCandidates) const
{
    CavitationSides sides;
    sides.liquid = haveCandidates && substanceProperties().isLiquid();
    if (sides.liquid) {
        sides.dropPa = cavitationDropPa();
        sides.boilingPa = boilingDropPa();
    }
    return sides;
}

void Algorithm::markRejected(ResultItem& item, explain::Rejection::Rule rule) const
{
    if (m_explaining && !item.rejected)
        item.rejectedBy = rule;
    item.rejected = true;
}

explain::Rejection Algorithm::rejectionOf(const ResultItem& item) const
{
    explain::Rejection why;
    why.rule = explain::Rejection::Rule(item.rejectedBy);
    switch (why.rule) {
    case explain::Rejection::NotSmallestDiameter:
        why.diameters = m_proposedDiameters;
        break;
    case explain::Rejection::ExcludedKvs:
        why.kvs = item.kv;
        break;
    case explain::Rejection::BelowDnThreshold:
        why.kvs = item.kv;
        why.threshold = m_thresholds.value(m_proposedDiameters.indexOf(item.dn), explain::none);
        break;
    default:
        break;
    }
    return why;
}

void Algorithm::clearResults()
{
    m_noSuitableModel = explain::NoSuitableModel();
    m_proposedDiameters.clear();
    m_thresholds.clear();
    m_errors.clear();
    m_kvsMath = 0;
    m_liquidDensity = 0;
    m_steamPressure = 0;
}
