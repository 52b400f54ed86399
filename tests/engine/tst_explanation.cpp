// The explanation of the selections: every criterion with its figure and
// bound, the first rule that rejected a candidate with its figures, and what a
// failed search for a model was missing, on the worked examples and a few
// variations of them.

#include "engine/algotest.h"
#include "engine/regulatoralgorithm.h"
#include "engine/valvealgorithm.h"
#include "testsupport.h"

#include <QtTest>

#include <cmath>

using namespace common;
using explain::Criterion;
using explain::NoSuitableModel;
using explain::Rejection;

namespace {

const double na = explain::none;

// The tasks of the rows: a worked example, its flow scaled (the required Kv
// scales with it), and the gauge pressure before the device replaced.
struct Task
{
    const char* name;
    bool valve;
    int example;
    double flowFactor;
    double P1;
};

const Task tasks[] = {
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

struct Outcome
{
    QList<ResultItem> items;
    QVector<explain::CandidateExplanation> whys;
    NoSuitableModel missing;
};

template <typename Alg, typename Input>
Outcome calculate(const Task& task, Input in)
{
    in.flow *= task.flowFactor;
    if (!std::isnan(task.P1))
        in.P1 = task.P1;
    Alg alg;
    alg.calc(in);
    Outcome outcome;
    for (const ResultItem& item : alg.results())
        outcome.items.append(item);
    outcome.whys = alg.explanations();
    outcome.missing = alg.noSuitableModel();
    return outcome;
}

Outcome run(const QString& name)
{
    for (const Task& task : tasks) {
        if (name != QLatin1String(task.name))
            continue;
        return task.valve ? calculate<ValveAlgorithm>(task, algotest::valveExample(task.example))
                          : calculate<RegulatorAlgorithm>(task, algotest::regulatorExample(task.example));
    }
    qFatal("no task %s", qPrintable(name));
}

// The explanation of a candidate, null when there is no such candidate.
const explain::CandidateExplanation* explanationOf(const Outcome& outcome, int dn, double kvs, bool* rejected)
{
    for (int i = 0; i < outcome.items.size() && i < outcome.whys.size(); ++i) {
        const ResultItem& item = outcome.items.at(i);
        if (item.dn == dn && qFuzzyCompare(item.kv, kvs)) {
            *rejected = item.rejected;
            return &outcome.whys.at(i);
        }
    }
    return nullptr;
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

} // namespace

class TestExplanation : public QObject
{
    Q_OBJECT

private slots:
    void criteria_data();
    void criteria();
    void rejections_data();
    void rejections();
    void noSuitableModel_data();
    void noSuitableModel();
};

void TestExplanation::criteria_data()
{
    QTest::addColumn<QString>("task");
    QTest::addColumn<int>("dn");
    QTest::addColumn<double>("kvs");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<bool>("met");
    QTest::addColumn<double>("before"); // steam and gases: the speeds, not judged
    QTest::addColumn<double>("after");

    const QString valve1 = QStringLiteral("valve 1");
    QTest::newRow("safety factor 1.08 below 1.1")
        << valve1 << 80 << 100. << int(Criterion::SafetyFactor) << 1.08 << 1.1 << 1.3 << false << na << na;
    QTest::newRow("speed 5.42 above 3.0")
        << valve1 << 80 << 100. << int(Criterion::PipeSpeed) << 5.42 << na << 3. << false << na << na;
    QTest::newRow("speed 2.53 within 3.0")
        << valve1 << 125 << 125. << int(Criterion::PipeSpeed) << 2.53 << na << 3. << true << na << na;
    QTest::newRow("authority 0.59 from 0.5")
        << valve1 << 125 << 125. << int(Criterion::Authority) << 0.59 << 0.5 << na << true << na << na;
    // A drop of 1 bar against 0.6 (P1 abs - vapour pressure 82591.7 Pa).
    QTest::newRow("no cavitation, 1 bar drop below 3.71 bar")
        << valve1 << 125 << 125. << int(Criterion::Cavitation) << 1e5 << na << 0.6 * (701325 - 82591.7)
        << true << na << na;
    QTest::newRow("regulator speed 8.56 above 3.0")
        << QStringLiteral("regulator 1") << 40 << 25. << int(Criterion::PipeSpeed) << 8.56 << na << 3.
        << false << na << na;
    QTest::newRow("noise grade below high")
        << QStringLiteral("regulator 1") << 40 << 25. << int(Criterion::Noise) << double(nrLowerMedium) << na
        << double(nrHigh) << true << na << na;
    QTest::newRow("steam speeds 88.30 and 121.83, not judged")
        << QStringLiteral("valve 4") << 50 << 32. << int(Criterion::PipeSpeed) << na << na << na << true
        << 88.30 << 121.83;
    QTest::newRow("setpoint 0.1 within 0.04-0.5 MPa")
        << QStringLiteral("regulator 1") << 40 << 25. << int(Criterion::TuningRange) << 0.1 << 0.04 << 0.5
        << true << na << na;
    QTest::newRow("setpoint 0.81 in no range")
        << QStringLiteral("regulator 2 at Kv 90") << 125 << 125. << int(Criterion::TuningRange) << 0.81 << na
        << na << false << na << na;
}

void TestExplanation::criteria()
{
    QFETCH(QString, task);
    QFETCH(int, dn);
    QFETCH(double, kvs);
    QFETCH(int, kind);
    QFETCH(double, value);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, before);
    QFETCH(double, after);
    bool rejected = false;
    const Outcome outcome = run(task);
    const explain::CandidateExplanation* why = explanationOf(outcome, dn, kvs, &rejected);
    QVERIFY(why);
    QCOMPARE(why->count, 4);
    const Criterion* criterion = why->find(Criterion::Kind(kind));
    QVERIFY(criterion);
    ORX_SAME(criterion->value, value);
    ORX_SAME(criterion->low, low);
    ORX_SAME(criterion->high, high);
    QTEST(criterion->met, "met");
    QCOMPARE(criterion->notJudged, !std::isnan(before));
    ORX_SAME(criterion->before, before);
    ORX_SAME(criterion->after, after);
}

void TestExplanation::rejections_data()
{
    QTest::addColumn<QString>("task");
    QTest::addColumn<int>("dn");
    QTest::addColumn<double>("kvs");
    QTest::addColumn<int>("rule");
    QTest::addColumn<double>("figure"); // the excluded Kvs, the threshold or the setpoint
    QTest::addColumn<QList<int>>("diameters");
    QTest::addColumn<double>("highestRange");

    QTest::newRow("DN 125 not among 80, 100")
        << QStringLiteral("valve 1") << 125 << 125. << int(Rejection::NotSmallestDiameter) << na
        << QList<int>{80, 100} << na;
    QTest::newRow("DN 25 not among 15, 20")
        << QStringLiteral("regulator 3") << 25 << 4. << int(Rejection::NotSmallestDiameter) << na
        << QList<int>{15, 20} << na;
    QTest::newRow("Kvs 3.2 excluded") << QStringLiteral("regulator 3") << 20 << 3.2
                                      << int(Rejection::ExcludedKvs) << 3.2 << QList<int>() << na;
    QTest::newRow("Kvs 250 below 300 of DN 200")
        << QStringLiteral("valve 1 at Kv 270") << 200 << 250. << int(Rejection::BelowDnThreshold) << 300.
        << QList<int>() << na;
    QTest::newRow("no range of DN 125 holds 0.81 MPa")
        << QStringLiteral("regulator 2 at Kv 90") << 125 << 100. << int(Rejection::NoTuningRange) << 0.81
        << QList<int>() << 0.7;
    QTest::newRow("proposed") << QStringLiteral("valve 1") << 80 << 100. << int(Rejection::None) << na
                              << QList<int>() << na;
}

void TestExplanation::rejections()
{
    QFETCH(QString, task);
    QFETCH(int, dn);
    QFETCH(double, kvs);
    QFETCH(int, rule);
    QFETCH(double, figure);
    QFETCH(double, highestRange);
    bool rejected = false;
    const Outcome outcome = run(task);
    const explain::CandidateExplanation* candidate = explanationOf(outcome, dn, kvs, &rejected);
    QVERIFY(candidate);
    const Rejection& why = candidate->rejection;
    QCOMPARE(int(why.rule), rule);
    QCOMPARE(rejected, rule != Rejection::None);
    ORX_SAME(rule == Rejection::NoTuningRange      ? why.setpoint
             : rule == Rejection::BelowDnThreshold ? why.threshold
                                                   : why.kvs,
             figure);
    QTEST(why.diameters, "diameters");
    ORX_SAME(why.ranges.isEmpty() ? na : why.ranges.last().high, highestRange);
}

void TestExplanation::noSuitableModel_data()
{
    QTest::addColumn<QString>("task");
    QTest::addColumn<int>("missing");
    QTest::addColumn<double>("wanted");    // the required Kv or the setpoint
    QTest::addColumn<double>("available"); // the largest Kvs or the highest range bound

    QTest::newRow("Kv 1850 beyond the largest Kvs 1600")
        << QStringLiteral("valve 1 at Kv 1850") << int(NoSuitableModel::KvBeyondSeries) << 1850.61 << 1600.;
    QTest::newRow("1.22 MPa above the ranges, up to 1.0")
        << QStringLiteral("regulator 2 at 12 atm") << int(NoSuitableModel::TuningRange) << 1.2159 << 1.;
    QTest::newRow("the DN with a range beyond the two smallest")
        << QStringLiteral("regulator 2 at Kv 170") << int(NoSuitableModel::TuningRange) << 0.81 << 1.;
    QTest::newRow("a model found") << QStringLiteral("valve 1") << int(NoSuitableModel::Nothing) << na << na;
}

void TestExplanation::noSuitableModel()
{
    QFETCH(QString, task);
    QFETCH(int, missing);
    QFETCH(double, wanted);
    QFETCH(double, available);
    const NoSuitableModel found = run(task).missing;
    QCOMPARE(int(found.missing), missing);
    double highest = na;
    for (const explain::TuningSpan& span : found.ranges)
        highest = std::isnan(highest) ? span.high : std::max(highest, span.high);
    ORX_SAME(missing == NoSuitableModel::TuningRange ? found.setpoint : found.requiredKv, wanted);
    ORX_SAME(missing == NoSuitableModel::TuningRange ? highest : found.largestKvs, available);
}

ORX_CORE_TEST_MAIN(TestExplanation)
#include "tst_explanation.moc"
