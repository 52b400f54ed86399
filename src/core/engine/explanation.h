#pragma once

// Why a candidate of a selection is proposed, printed in bold or rejected, and
// why a selection found no model at all: the figures the rating and the
// rejection compared, taken from the same comparisons, as data. The forms turn
// them into text; nothing here is meant to be shown as it stands.
//
// A figure the calculation could not produce (a steam candidate has no safety
// factor, a speed point is missing) is NaN; a reader shows it as a dash and
// never refuses the candidate for it.

#include <QList>

#include <array>
#include <limits>

namespace explain {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

// One rating criterion of a candidate. `met` is the verdict the rating itself
// took (a valve's score counts the criteria met).
struct Criterion
{
    enum Kind {
        // value: the pipe speed of a liquid, m/s; high: the highest acceptable
        // speed; `flow`: the flow that speed is of. Steam and gases:
        // `notJudged`, `met`, value NaN, and the speeds before and after the
        // device in `before`/`after` (NaN when the point is missing).
        PipeSpeed,
        // Valves. value: the safety factor Kvs/Kv (two decimals); low/high:
        // the band in which it is met. Steam and gases carry 0 and miss it.
        SafetyFactor,
        // Valves. value: the authority; low: the least good authority.
        Authority,
        // value: the drop across the device P1 - P2, Pa; high: the drop at
        // which the liquid starts to boil in the device, 0.6 (P1 - Psat), Pa
        // (absolute pressures); met when no cavitation is expected. Steam and
        // gases: `notJudged`, `met`, figures NaN.
        Cavitation,
        // Regulators. value: the noise grade (common::NoiseRisk); high: the
        // grade from which the noise counts as high; met when value is below.
        Noise,
        // Regulators. value: the setpoint, MPa gauge; code: the tuning range
        // code (RegulatorAlgorithm::tuningRangeName); low/high: the band of
        // setpoints this range serves (NaN when no range holds the setpoint,
        // and then not met).
        TuningRange,
    };

    // The flow a pipe speed is of. A valve's liquid is rated at the flow
    // through the fully open valve, which exceeds the design flow when the
    // valve is larger than needed; the pipe choice, the reports, a regulator
    // and steam speak of the design flow. A reader names it beside the figure.
    enum Flow {
        DesignFlow,
        FullyOpenValve,
    };

    Kind kind = PipeSpeed;
    double value = none;
    double low = none;
    double high = none;
    bool met = false;
    bool notJudged = false;
    double before = none;
    double after = none;
    int code = 0;
    Flow flow = DesignFlow;
};

// A band of setpoints a spring of a DN serves, MPa gauge: up to `high`
// inclusive, from `low` inclusive for the first band of the DN and from just
// above it for the others (the bound of the band before).
struct TuningSpan
{
    int dn = 0;
    double low = none;
    double high = none;
    int code = 0;
};

// The first rule that rejected a candidate, with its figures. The rules are
// applied in this order: for regulators, the tuning range first (before the
// rules shared with the valves); then the two smallest diameters, the excluded
// Kvs values and the threshold within each diameter.
struct Rejection
{
    enum Rule {
        None, // proposed
        // diameters: the one or two smallest diameters that are proposed.
        NotSmallestDiameter,
        // kvs: the Kvs value that is not offered.
        ExcludedKvs,
        // kvs: the candidate's Kvs; threshold: the second largest Kvs of its
        // diameter (the only one when there is one).
        BelowDnThreshold,
        // setpoint: MPa gauge; ranges: the bands the springs of this DN serve
        // (empty when the device has no springs for this DN).
        NoTuningRange,
    };

    Rule rule = None;
    QList<int> diameters;
    double kvs = none;
    double threshold = none;
    double setpoint = none;
    QList<TuningSpan> ranges;
};

// Everything a candidate says about itself: four criteria (valves: speed,
// safety factor, authority, cavitation; regulators: speed, cavitation, noise,
// tuning range), in that order, and its rejection.
struct CandidateExplanation
{
    std::array<Criterion, 4> criteria;
    int count = 0;
    Rejection rejection;

    void add(const Criterion& criterion) { criteria.at(count++) = criterion; }
    // The criterion of a kind, or null when there is none.
    const Criterion* find(Criterion::Kind kind) const
    {
        for (int i = 0; i < count; ++i)
            if (criteria[i].kind == kind)
                return &criteria[i];
        return nullptr;
    }
};

// What a selection that found no model was missing.
struct NoSuitableModel
{
    enum Missing {
        Nothing, // the selection found models, or failed for another reason
        // requiredKv: the calculated Kv, m³/h; largestKvs: the largest Kvs of
        // the series, m³/h (a model must exceed 0.9 of the required Kv).
        KvBeyondSeries,
        // setpoint: MPa gauge; ranges: the bands of every candidate DN.
        TuningRange,
    };

    Missing missing = Nothing;
    double requiredKv = none;
    double largestKvs = none;
    double setpoint = none;
    QList<TuningSpan> ranges;
};

} // namespace explain
