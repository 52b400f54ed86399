// The explanation of the selections: every criterion with its figure and
// bound, the first rule that rejected a candidate with its figures, and what a
// failed search for a model was missing, on the worked examples and a few
// variations of them.

#include "../core/tablerows.h"
#include "engine/algotest.h"
#include "engine/regulatoralgorithm.h"
#include "engine/valvealgorithm.h"
#include "testsupport.h"

#include <cmath>

using namespace common;
using explain::Criterion;
using explain::NoSuitableModel;
using explain::Rejection;

namespace {

const double na = explain::none;

// The tasks of the rows: a worked example, its flow scaled (the required Kv
// scales with it), and the gauge pressure before the device replaced.
const struct
{
    const char* name;
    bool valve;
    int example;
    double flowFactor, P1;
} kTasks[] = {
    {"valve 1", true, 1, 1, na},
    {"valve 4", true, 4, 1, na},
    // Kv about 270: DN 200 offers 250, 300 and 360.
    {"valve 1 at Kv 270", true, 1, 270 / 92.5304, na},
    {"valve 1 at Kv 1850", true, 1, 20, na},
    {"regulator 1", false, 1, 1, na},
    {"regulator 3", false, 3, 1, na},
    // Kv about 90: Kvs 100 and 125 in DN 100 and DN 125; the springs of DN 125
    // end at 0.7 MPa, below the setpoint 0.81 MPa.
    {"regulator 2 at Kv 90", false, 2, 90 / 19.46, na},
    {"regulator 2 at 12 atm", false, 2, 1, 12},
    // Kv about 170: DN 125 and 150 have no range for 0.81 MPa, DN 200 has one
    // but is not among the two smallest diameters.
    {"regulator 2 at Kv 170", false, 2, 170 / 19.46, na},
};

// What a task's selection explains: every candidate, and a failed search.
struct Outcome
{
    QList<QPair<ResultItem, explain::CandidateExplanation>> candidates;
    NoSuitableModel missing;

    // The explanation of a candidate, null when there is no such candidate.
    const explain::CandidateExplanation* of(int dn, double kvs, bool* rejected) const
    {
        for (const auto& candidate : candidates)
            if (candidate.first.dn == dn && qFuzzyCompare(candidate.first.kv, kvs)) {
                *rejected = candidate.first.rejected;
                return &candidate.second;
            }
        return nullptr;
    }
};

template <typename Alg, typename Input>
Outcome calculate(Input in, double flowFactor, double P1)
{
    in.flow *= flowFactor;
    in.P1 = std::isnan(P1) ? in.P1 : P1;
    Alg alg;
    alg.calc(in);
    Outcome outcome{{}, alg.noSuitableModel()};
    for (int i = 0; i < alg.results().size() && i < alg.explanations().size(); ++i)
        outcome.candidates.append({alg.results().at(i), alg.explanations().at(i)});
    return outcome;
}

Outcome run(const char* name)
{
    for (const auto& task : kTasks)
        if (qstrcmp(name, task.name) == 0)
            return task.valve ? calculate<ValveAlgorithm>(algotest::valveExample(task.example),
                                                          task.flowFactor, task.P1)
                              : calculate<RegulatorAlgorithm>(algotest::regulatorExample(task.example),
                                                              task.flowFactor, task.P1);
    qFatal("no task %s", name);
}

// A figure as expected: NaN where none applies, otherwise within 0.01 (and a
// ten-thousandth of a pressure in Pa).
bool same(double actual, double expected)
{
    if (std::isnan(expected))
        return std::isnan(actual);
    return orxtest::near(actual, expected, std::max(0.01, std::fabs(expected) * 1e-5));
}

#define ORX_SAME(actual, expected)                                                                           \
    QVERIFY2(same((actual), (expected)), orxtest::show(actual) + " instead of " + orxtest::show(expected))

// The criteria of a candidate: figure, bounds and verdict; steam and gases
// show the speeds before and after, not judged.
// clang-format off
const struct { const char* name; const char* task; int dn; double kvs; Criterion::Kind kind; double value, low, high; bool met; double before, after; } kCriteria[] = {
    {"safety factor 1.08 below 1.1", "valve 1", 80, 100, Criterion::SafetyFactor, 1.08, 1.1, 1.3, false, na, na},
    {"speed 5.42 above 3.0", "valve 1", 80, 100, Criterion::PipeSpeed, 5.42, na, 3, false, na, na},
    {"speed 2.53 within 3.0", "valve 1", 125, 125, Criterion::PipeSpeed, 2.53, na, 3, true, na, na},
    {"authority 0.59 from 0.5", "valve 1", 125, 125, Criterion::Authority, 0.59, 0.5, na, true, na, na},
    // A drop of 1 bar against 0.6 (P1 abs - vapour pressure 82591.7 Pa).
    {"no cavitation, 1 bar drop below 3.71 bar", "valve 1", 125, 125, Criterion::Cavitation, 1e5, na, 0.6 * (701325 - 82591.7), true, na, na},
    {"regulator speed 8.56 above 3.0", "regulator 1", 40, 25, Criterion::PipeSpeed, 8.56, na, 3, false, na, na},
    {"noise grade below high", "regulator 1", 40, 25, Criterion::Noise, nrLowerMedium, na, nrHigh, true, na, na},
    {"steam speeds 88.30 and 121.83, not judged", "valve 4", 50, 32, Criterion::PipeSpeed, na, na, na, true, 88.30, 121.83},
    {"setpoint 0.1 within 0.04-0.5 MPa", "regulator 1", 40, 25, Criterion::TuningRange, 0.1, 0.04, 0.5, true, na, na},
    {"setpoint 0.81 in no range", "regulator 2 at Kv 90", 125, 125, Criterion::TuningRange, 0.81, na, na, false, na, na},
};

// The first rule that rejected a candidate, its figure (the excluded Kvs, the
// threshold or the setpoint), the smallest diameters and the highest range.
const struct { const char* name; const char* task; int dn; double kvs; Rejection::Rule rule; double figure; QList<int> diameters; double highestRange; } kRejections[] = {
    {"DN 125 not among 80, 100", "valve 1", 125, 125, Rejection::NotSmallestDiameter, na, {80, 100}, na},
    {"DN 25 not among 15, 20", "regulator 3", 25, 4, Rejection::NotSmallestDiameter, na, {15, 20}, na},
    {"Kvs 3.2 excluded", "regulator 3", 20, 3.2, Rejection::ExcludedKvs, 3.2, {}, na},
    {"Kvs 250 below 300 of DN 200", "valve 1 at Kv 270", 200, 250, Rejection::BelowDnThreshold, 300, {}, na},
    {"no range of DN 125 holds 0.81 MPa", "regulator 2 at Kv 90", 125, 100, Rejection::NoTuningRange, 0.81, {}, 0.7},
    {"proposed", "valve 1", 80, 100, Rejection::None, na, {}, na},
};

// What a failed search missed: the required Kv or the setpoint, and the
// largest Kvs or the highest range bound.
const struct { const char* name; const char* task; NoSuitableModel::Missing missing; double wanted, available; } kMissing[] = {
    {"Kv 1850 beyond the largest Kvs 1600", "valve 1 at Kv 1850", NoSuitableModel::KvBeyondSeries, 1850.61, 1600},
    {"1.22 MPa above the ranges, up to 1.0", "regulator 2 at 12 atm", NoSuitableModel::TuningRange, 1.2159, 1},
    {"the DN with a range beyond the two smallest", "regulator 2 at Kv 170", NoSuitableModel::TuningRange, 0.81, 1},
    {"a model found", "valve 1", NoSuitableModel::Nothing, na, na},
};
// clang-format on

} // namespace

class TestExplanation : public QObject
{
    Q_OBJECT

private slots:
    void criteria_data() { tableRows(kCriteria); }
    void criteria()
    {
        ORX_ROW(kCriteria);
        bool rejected = false;
        const Outcome outcome = run(row.task);
        const explain::CandidateExplanation* why = outcome.of(row.dn, row.kvs, &rejected);
        QVERIFY(why);
        QCOMPARE(why->count, 4);
        const Criterion* criterion = why->find(row.kind);
        QVERIFY(criterion);
        ORX_SAME(criterion->value, row.value);
        ORX_SAME(criterion->low, row.low);
        ORX_SAME(criterion->high, row.high);
        QCOMPARE(criterion->met, row.met);
        QCOMPARE(criterion->notJudged, !std::isnan(row.before));
        ORX_SAME(criterion->before, row.before);
        ORX_SAME(criterion->after, row.after);
    }

    void rejections_data() { tableRows(kRejections); }
    void rejections()
    {
        ORX_ROW(kRejections);
        bool rejected = false;
        const Outcome outcome = run(row.task);
        const explain::CandidateExplanation* candidate = outcome.of(row.dn, row.kvs, &rejected);
        QVERIFY(candidate);
        const Rejection& why = candidate->rejection;
        QCOMPARE(why.rule, row.rule);
        QCOMPARE(rejected, row.rule != Rejection::None);
        ORX_SAME(row.rule == Rejection::NoTuningRange      ? why.setpoint
                 : row.rule == Rejection::BelowDnThreshold ? why.threshold
                                                           : why.kvs,
                 row.figure);
        QCOMPARE(why.diameters, row.diameters);
        ORX_SAME(why.ranges.isEmpty() ? na : why.ranges.last().high, row.highestRange);
    }

    void noSuitableModel_data() { tableRows(kMissing); }
    void noSuitableModel()
    {
        ORX_ROW(kMissing);
        const NoSuitableModel found = run(row.task).missing;
        QCOMPARE(found.missing, row.missing);
        double highest = na;
        for (const explain::TuningSpan& span : found.ranges)
            highest = std::isnan(highest) ? span.high : std::max(highest, span.high);
        const bool tuning = row.missing == NoSuitableModel::TuningRange;
        ORX_SAME(tuning ? found.setpoint : found.requiredKv, row.wanted);
        ORX_SAME(tuning ? highest : found.largestKvs, row.available);
    }
};

ORX_CORE_TEST_MAIN(TestExplanation)
#include "tst_explanation.moc"
