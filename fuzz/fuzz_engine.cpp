// The calculation engine under any task: every kind, medium, unit and mode,
// with values a form sends and values none does. Whatever the task, a
// calculation ends (no crash, no hang); a refused task always says why; a
// calculated one never shows the user a number that is not finite; and a task
// a form can send never trips an internal check.
//
// The selections explain every candidate: one entry per criterion that agrees
// with the rating, a rule for every rejected candidate and for no other, and
// what was missing when no model was found. The same task calculated without
// explanations gives the same candidates, flags and figures, bit for bit.

#include "enginetask.h"
#include "fuzzsupport.h"

#include "engine/kvalgorithm.h"
#include "engine/regulatoralgorithm.h"
#include "engine/valvealgorithm.h"

#include <cmath>
#include <cstring>

using namespace common;
using orxfuzz::fail;

namespace {

void requireFinite(const char* what, double value, const QString& task)
{
    if (!std::isfinite(value))
        fail(what, QStringLiteral("%1 = %2\n%3").arg(value).arg(task));
}

QString describe(const orxfuzz::EngineTask& task)
{
    const InputParams& p = task.input();
    return QStringLiteral("kind %1, device %2, medium %3 (%4 %), pressure kind %5 unit %6, flow %7 unit %8 "
                          "mode %9, place %10, T %11/%12")
        .arg(task.kind)
        .arg(p.deviceType())
        .arg(p.substance)
        .arg(p.concentration)
        .arg(p.pressureType)
        .arg(p.pressureMeasure)
        .arg(p.flow)
        .arg(p.flowMeasure)
        .arg(p.flowInputMode)
        .arg(p.place)
        .arg(p.Tsupply)
        .arg(p.Treturn);
}

// What holds for every calculation, whatever its kind.
void checkOutcome(const Algorithm& alg, bool ok, const QString& task)
{
    if (!ok) {
        if (alg.errors().isEmpty())
            fail("a refused task carries no message", task);
        for (const QString& message : alg.errors())
            if (message.trimmed().isEmpty())
                fail("a refused task carries an empty message", task);
        return;
    }
    if (alg.hasError())
        fail("a calculated task also carries messages", alg.errorText() + QLatin1Char('\n') + task);
    requireFinite("Kv", alg.kvsMath(), task);
    if (!(alg.kvsMath() > 0))
        fail("a calculated Kv that is not positive", task);
    const SubstanceProperties medium = alg.substanceProperties();
    if (medium.isLiquid()) {
        requireFinite("liquid density", alg.liquidDensity(), task);
        requireFinite("vapour pressure", alg.steamPressure(), task);
    }
    if (medium.isSteam()) {
        requireFinite("steam volume before the device", alg.steamSpecificVolume(BeforeDevice), task);
        requireFinite("steam volume after the device", alg.steamSpecificVolume(AfterDevice), task);
    }
}

void checkItem(const ResultItem& item, const QString& task)
{
    requireFinite("candidate Kvs", item.kv, task);
    if (item.dn <= 0 || !(item.kv > 0))
        fail("a candidate of no catalogue model", task);
    if (item.deviceNoiseRisk < nrLow || item.deviceNoiseRisk > nrHigh)
        fail("a noise grade out of its table", task);
    if (item.m_pipeFlowSpeed.isEmpty())
        fail("a candidate without a pipe speed", task);
    for (double speed : item.m_pipeFlowSpeed)
        requireFinite("pipe flow speed", speed, task);
    // The names end up in the result table and the report.
    if (item.name(false).isEmpty() || item.name(true).isEmpty())
        fail("a candidate without a name", task);
}

// The explanation of a candidate is complete: the criteria of its kind once
// each, in order, and a rule exactly when it is rejected.
void checkExplanation(const ResultItem& item, const explain::CandidateExplanation& why,
                      std::initializer_list<explain::Criterion::Kind> kinds, const QString& task)
{
    if (why.count != int(kinds.size()))
        fail("an explanation without one entry per criterion", task);
    int i = 0;
    for (explain::Criterion::Kind kind : kinds)
        if (why.criteria[i++].kind != kind)
            fail("an explanation with the criteria out of order", task);
    if (item.rejected != (why.rejection.rule != explain::Rejection::None))
        fail("a rejected candidate without its rule, or a proposed one with a rule", task);
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The same candidate, whether or not it was explained.
bool sameCandidate(const ResultItem& a, const ResultItem& b)
{
    if (a.deviceType != b.deviceType || a.dn != b.dn || !sameBits(a.kv, b.kv) ||
        a.deviceNoiseRisk != b.deviceNoiseRisk || a.cavitationRisk != b.cavitationRisk ||
        a.rejected != b.rejected || a.m_pipeFlowSpeed.keys() != b.m_pipeFlowSpeed.keys())
        return false;
    for (int point : a.m_pipeFlowSpeed.keys())
        if (!sameBits(a.m_pipeFlowSpeed.value(point), b.m_pipeFlowSpeed.value(point)))
            return false;
    return true;
}

bool sameCandidate(const ValveResultItem& a, const ValveResultItem& b)
{
    return sameCandidate(static_cast<const ResultItem&>(a), b) && sameBits(a.opening, b.opening) &&
           sameBits(a.avtoritet, b.avtoritet) && sameBits(a.QFullOpen, b.QFullOpen) &&
           sameBits(a.Kreserve, b.Kreserve) && a.score() == b.score();
}

bool sameCandidate(const RegulatorResultItem& a, const RegulatorResultItem& b)
{
    return sameCandidate(static_cast<const ResultItem&>(a), b) && a.tuningRange == b.tuningRange &&
           a.regulation == b.regulation;
}

// Calculates the task again without explanations and compares.
template <typename Alg, typename Input>
void checkUnexplainedTwin(const Alg& explained, bool ok, const Input& input, const QString& task)
{
    Alg twin;
    twin.setExplaining(false);
    if (twin.calc(input) != ok || twin.errors() != explained.errors() ||
        !sameBits(twin.kvsMath(), explained.kvsMath()) || twin.results().size() != explained.results().size())
        fail("the explanation changes the outcome", task);
    for (int i = 0; i < twin.results().size(); ++i)
        if (!sameCandidate(twin.results().at(i), explained.results().at(i)))
            fail("the explanation changes a candidate, its flags or its order", task);
    if (!twin.explanations().isEmpty())
        fail("an explanation where none was asked for", task);
    if (twin.noSuitableModel().missing != explain::NoSuitableModel::Nothing)
        fail("an explanation of the search where none was asked for", task);
}

// A failed search for a model says what was missing, and only then.
void checkNoSuitableModel(const Algorithm& alg, bool ok, const QString& task)
{
    const explain::NoSuitableModel& missing = alg.noSuitableModel();
    if (ok && missing.missing != explain::NoSuitableModel::Nothing)
        fail("a calculated task explains a failed search", task);
    // A series is searched from just above 0.9 of the required Kv; a figure
    // that is not a number (no series at all) names nothing.
    if (missing.missing == explain::NoSuitableModel::KvBeyondSeries &&
        tolerance::greater(missing.largestKvs, 0.9 * missing.requiredKv))
        fail("a failed search names a series Kvs that would have served", task);
    if (missing.missing == explain::NoSuitableModel::TuningRange && missing.ranges.isEmpty() &&
        alg.input().deviceType() != dtLMR101)
        fail("a failed search for a tuning range names no range", task);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const orxfuzz::Shown& shown = orxfuzz::quietErrorHandler();
    orxfuzz::EngineTask task = orxfuzz::decodeTask(data, size);
    const QString text = describe(task);
    using Kind = explain::Criterion::Kind;

    switch (task.kind) {
    case orxfuzz::EngineTask::Kv: {
        KvAlgorithm alg;
        checkOutcome(alg, alg.calc(task.kv), text);
        break;
    }
    case orxfuzz::EngineTask::Valve: {
        ValveAlgorithm alg;
        const bool ok = alg.calc(task.valve);
        checkOutcome(alg, ok, text);
        checkNoSuitableModel(alg, ok, text);
        checkUnexplainedTwin(alg, ok, task.valve, text);
        if (ok == alg.results().isEmpty())
            fail("a calculated task without candidates, or a refused one with them", text);
        const QVector<explain::CandidateExplanation> whys = alg.explanations();
        if (whys.size() != alg.results().size())
            fail("not one explanation per candidate", text);
        for (int i = 0; i < whys.size(); ++i) {
            const ValveResultItem& item = alg.results().at(i);
            checkItem(item, text);
            requireFinite("opening", item.opening, text);
            requireFinite("authority", item.avtoritet, text);
            requireFinite("full-open flow", item.QFullOpen, text);
            requireFinite("safety factor", item.Kreserve, text);
            checkExplanation(item, whys.at(i),
                             {Kind::PipeSpeed, Kind::SafetyFactor, Kind::Authority, Kind::Cavitation}, text);
            int met = 0;
            for (const explain::Criterion& criterion : whys.at(i).criteria)
                met += criterion.met;
            if (met != item.score())
                fail("the explanation and the score disagree", text);
        }
        break;
    }
    case orxfuzz::EngineTask::Regulator: {
        RegulatorAlgorithm alg;
        const bool ok = alg.calc(task.regulator);
        checkOutcome(alg, ok, text);
        checkNoSuitableModel(alg, ok, text);
        checkUnexplainedTwin(alg, ok, task.regulator, text);
        if (ok == alg.results().isEmpty())
            fail("a calculated task without candidates, or a refused one with them", text);
        if (!ok)
            break;
        requireFinite("setpoint", alg.setpoint(), text);
        bool anyProposed = false;
        const QVector<explain::CandidateExplanation> whys = alg.explanations();
        if (whys.size() != alg.results().size())
            fail("not one explanation per candidate", text);
        for (int i = 0; i < whys.size(); ++i) {
            const RegulatorResultItem& item = alg.results().at(i);
            const explain::CandidateExplanation& why = whys.at(i);
            checkItem(item, text);
            checkExplanation(item, why, {Kind::PipeSpeed, Kind::Cavitation, Kind::Noise, Kind::TuningRange},
                             text);
            const bool ranged = item.tuningRange != RegulatorAlgorithm::noTuningRange;
            if (!ranged && (!item.rejected || why.rejection.rule != explain::Rejection::NoTuningRange))
                fail("a candidate without a tuning range is not rejected for it", text);
            if (why.find(Kind::TuningRange)->met != ranged)
                fail("the explanation and the tuning range disagree", text);
            anyProposed = anyProposed || !item.rejected;
        }
        if (!anyProposed)
            fail("a calculated task with every candidate rejected", text);
        break;
    }
    }
    if ((task.flags & orxfuzz::EngineTask::FormLike) && shown.assertions > 0)
        fail("a task a form can send trips an internal check",
             shown.texts.join(QLatin1Char('\n')) + QLatin1Char('\n') + text);
    return 0;
}
