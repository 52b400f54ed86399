// The calculation engine under any task: every kind, medium, unit and mode,
// with values a form sends and values none does. Whatever the task, a
// calculation ends (no crash, no hang); a refused task always says why; and a
// calculated one never shows the user a number that is not finite.

#include "enginetask.h"
#include "fuzzsupport.h"

#include "engine/kvalgorithm.h"
#include "engine/regulatoralgorithm.h"
#include "engine/valvealgorithm.h"

#include <cmath>

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
    for (double speed : item.m_pipeFlowSpeed)
        requireFinite("pipe flow speed", speed, task);
    // The names end up in the result table and the report.
    if (item.name(false).isEmpty() || item.name(true).isEmpty())
        fail("a candidate without a name", task);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orxfuzz::quietErrorHandler();
    orxfuzz::EngineTask task = orxfuzz::decodeTask(data, size);
    const QString text = describe(task);

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
        if (!ok)
            break;
        for (const ValveResultItem& item : alg.results()) {
            checkItem(item, text);
            requireFinite("opening", item.opening, text);
            requireFinite("authority", item.avtoritet, text);
            requireFinite("full-open flow", item.QFullOpen, text);
            requireFinite("safety factor", item.Kreserve, text);
            if (item.score() < 0 || item.score() > 4)
                fail("score out of 0…4", text);
        }
        break;
    }
    case orxfuzz::EngineTask::Regulator: {
        RegulatorAlgorithm alg;
        const bool ok = alg.calc(task.regulator);
        checkOutcome(alg, ok, text);
        if (!ok)
            break;
        requireFinite("setpoint", alg.setpoint(), text);
        for (const RegulatorResultItem& item : alg.results())
            checkItem(item, text);
        break;
    }
    }
    return 0;
}
