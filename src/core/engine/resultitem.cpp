#include "resultitem.h"

#include "engine/regulatoralgorithm.h"
#include "engine/tolerance.h"
#include "gentools/errorhandle.h"

using namespace common;

namespace {

bool isValveType(int type)
{
    return type == dtLMKP || type == dtLMK2 || type == dtLMK3;
}

} // namespace

// ---------------------------------------------------------------------------
// ResultItem

ResultItem::ResultItem() = default;

ResultItem::~ResultItem() = default;

QString ResultItem::name(bool full) const
{
    return QStringLiteral("%0 DN %1 Kvy %2")
        .arg(deviceTypeName(DeviceType(deviceType), full), QString::number(dn), QString::number(kv));
}

bool ResultItem::isBetter(const ResultItem& /*other*/) const
{
    return false;
}

bool ResultItem::lessThan(const ResultItem& other) const
{
    if (dn != other.dn)
        return dn < other.dn;
    return kv > other.kv;
}

double ResultItem::pipeFlowSpeed(DevicePosition l) const
{
    if (!GEH_ASSERT(m_pipeFlowSpeed.contains(l)))
        return 0;
    return m_pipeFlowSpeed.value(l);
}

explain::Criterion ResultItem::speedCriterion() const
{
    explain::Criterion c;
    c.kind = explain::Criterion::PipeSpeed;
    if (hasPipeFlowSpeed(Anywhere)) {
        c.value = m_pipeFlowSpeed.value(Anywhere);
        c.high = ValveResultItem::maxLiquidSpeed;
        c.met = ValveResultItem::isLiquidSpeedAcceptable(c.value);
    } else {
        // Steam and gases: both speeds are acceptable; a missing point is NaN.
        c.notJudged = true;
        c.met = true;
        c.before = m_pipeFlowSpeed.value(BeforeDevice, explain::none);
        c.after = m_pipeFlowSpeed.value(AfterDevice, explain::none);
    }
    return c;
}

explain::Criterion ResultItem::cavitationCriterion(bool liquid, double dropPa, double boilingDropPa) const
{
    explain::Criterion c;
    c.kind = explain::Criterion::Cavitation;
    c.met = !hasCavitationRisk();
    c.notJudged = !liquid;
    if (liquid) {
        c.value = dropPa;
        c.high = boilingDropPa;
    }
    return c;
}

// ---------------------------------------------------------------------------
// ValveResultItem

bool ValveResultItem::isLiquidSpeedAcceptable(double speed)
{
    return tolerance::lessOrEqual(speed, maxLiquidSpeed);
}

bool ValveResultItem::isReserveInBand(double reserve)
{
    return tolerance::greaterOrEqual(reserve, minGoodReserve) &&
           tolerance::lessOrEqual(reserve, maxGoodReserve);
}

bool ValveResultItem::isAuthorityGood(double authority)
{
    return tolerance::greaterOrEqual(authority, minGoodAuthority);
}

bool ValveResultItem::isSpeedAcceptable() const
{
    // Steam and gas candidates carry speeds before and after the valve and are
    // not judged by speed.
    if (!hasPipeFlowSpeed(Anywhere))
        return true;
    return isLiquidSpeedAcceptable(pipeFlowSpeed(Anywhere));
}

bool ValveResultItem::isReserveAcceptable() const
{
    return isReserveInBand(Kreserve);
}

int ValveResultItem::score() const
{
    int points = 0;
    if (isSpeedAcceptable())
        ++points;
    if (isReserveAcceptable())
        ++points;
    if (isAuthorityGood(avtoritet))
        ++points;
    if (!hasCavitationRisk())
        ++points;
    return points;
}

void ValveResultItem::explainCriteria(explain::CandidateExplanation& why, bool liquid, double dropPa,
                                      double boilingDropPa) const
{
    // A liquid's speed is that of the full-open flow (the evaluation of the
    // candidate); steam and gases keep the design flow through the valve.
    explain::Criterion speed = speedCriterion();
    if (!speed.notJudged)
        speed.flow = explain::Criterion::FullyOpenValve;
    why.add(speed);
    explain::Criterion reserve;
    reserve.kind = explain::Criterion::SafetyFactor;
    reserve.value = Kreserve;
    reserve.low = minGoodReserve;
    reserve.high = maxGoodReserve;
    reserve.met = isReserveAcceptable();
    why.add(reserve);
    explain::Criterion authority;
    authority.kind = explain::Criterion::Authority;
    authority.value = avtoritet;
    authority.low = minGoodAuthority;
    authority.met = isAuthorityGood(avtoritet);
    why.add(authority);
    why.add(cavitationCriterion(liquid, dropPa, boilingDropPa));
}

bool ValveResultItem::isBetter(const ResultItem& otherItem) const
{
    if (!isValveType(deviceType))
        return false;
    const auto* other = dynamic_cast<const ValveResultItem*>(&otherItem);
    if (!GEH_ASSERT(other))
        return false;

    int sum = 0;

    // Speed: of two acceptable speeds the higher (the smaller pipe), of two
    // excessive ones the lower.
    if (hasPipeFlowSpeed(Anywhere) && other->hasPipeFlowSpeed(Anywhere)) {
        const double mine = pipeFlowSpeed(Anywhere);
        const double theirs = other->pipeFlowSpeed(Anywhere);
        if (!tolerance::equal(mine, theirs)) {
            const bool mineOk = isLiquidSpeedAcceptable(mine);
            const bool theirsOk = isLiquidSpeedAcceptable(theirs);
            if (mineOk != theirsOk)
                sum += mineOk ? 1 : 0;
            else if (mineOk)
                sum += mine > theirs ? 1 : 0;
            else
                sum += mine < theirs ? 1 : 0;
        }
    }

    // Authority.
    if (tolerance::greater(avtoritet, other->avtoritet))
        ++sum;

    // Safety factor: inside the band beats outside; below the band is the
    // worst place, and there the larger factor is better.
    if (!tolerance::equal(Kreserve, other->Kreserve) && !isReserveInBand(other->Kreserve)) {
        if (isReserveInBand(Kreserve))
            ++sum;
        else if (tolerance::less(other->Kreserve, minGoodReserve)) {
            if (tolerance::greater(Kreserve, maxGoodReserve))
                ++sum;
            else if (tolerance::less(Kreserve, minGoodReserve) && Kreserve > other->Kreserve)
                ++sum;
        }
    }

    return sum > 0;
}

// ---------------------------------------------------------------------------
// RegulatorResultItem

QString RegulatorResultItem::name(bool full) const
{
    return QStringLiteral("%1 (%2)").arg(ResultItem::name(full),
                                         RegulatorAlgorithm::tuningRangeName(tuningRange));
}
