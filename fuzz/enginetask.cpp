#include "enginetask.h"

#include "fuzzsupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <vector>

using namespace common;

namespace orxfuzz {

namespace {

using IntTable = std::vector<int>;

// The values each combo or radio group of the forms offers, in their order.
const IntTable kPressureKinds{pkExcess, pkAbsolute};
const IntTable kPressureUnits{pmBar, pmAtm, pmMPa, pmKPa, pmMWater, pmPa};
const IntTable kHeatUnits{hmGcalH, hmMWH, hmGJH};
const IntTable kFlowUnits{wfM3h, wfTh, wfKgh, wfKgs, wfLh, wfLmin, wfLs};
const IntTable kFlowModes{1, 2};
const IntTable kSystems{lpHeating,  lpHeatingHotWater,     lpAll,         lpHeatingVentilation,
                        lpHotWater, lpHotWaterVentilation, lpVentilation, lpProcess};
const IntTable kPlaces{ipSupply, ipReturn};
const IntTable kMedia{stWater, stPropyleneGlycol, stEthyleneGlycol, stSaturatedSteam, stSuperheatedSteam,
                      stAir,   stNitrogen};
const IntTable kKvDevices{dtLMKP, dtEmpty};
const IntTable kValveDevices{dtLMK2, dtLMK3, dtLMKP};
const IntTable kRegulations{rtDiffPressure, rtUpstream, rtDownstream, rtBypass};

// Codes no form offers: "none", neighbours of real codes, other devices and
// the ends of the integer range.
const int kOddCodes[16] = {0,
                           -1,
                           3,
                           7,
                           9,
                           12,
                           99,
                           100,
                           200,
                           255,
                           999,
                           32767,
                           -32768,
                           301,
                           std::numeric_limits<int>::max(),
                           std::numeric_limits<int>::min()};

// Numbers at the edges of the checks, and numbers no spin box holds.
const double kEdgeNumbers[32] = {0.0,
                                 -0.0,
                                 std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity(),
                                 -1.0,
                                 -0.01,
                                 1e-300,
                                 std::numeric_limits<double>::denorm_min(),
                                 std::numeric_limits<double>::max(),
                                 -std::numeric_limits<double>::max(),
                                 1e300,
                                 1e-10,
                                 5e-11,
                                 2e-10,
                                 0.01,
                                 101325.0,
                                 2601325.0,
                                 25.0,
                                 25.01,
                                 60.0,
                                 61.0,
                                 100.0,
                                 150.0,
                                 150.01,
                                 220.0,
                                 220.01,
                                 -273.13,
                                 -273.15,
                                 1e8,
                                 1e9,
                                 0.5};

const uint8_t kOddCodeTag = 0xF0;
const uint8_t kEdgeTag = 0xC0;
const uint8_t kRawTag = 0xE0;

// The flags byte follows the kind and the nine code bytes.
const size_t kFlagsOffset = 10;

int code(ByteReader& in, const IntTable& table, bool formLike)
{
    const uint8_t b = in.byte();
    if (b >= kOddCodeTag && !formLike)
        return kOddCodes[b - kOddCodeTag];
    return table[b % table.size()];
}

double number(ByteReader& in)
{
    const uint8_t tag = in.byte();
    if (tag < kEdgeTag)
        return in.u32() / 100.0;
    if (tag < kRawTag)
        return kEdgeNumbers[tag - kEdgeTag];
    const uint64_t bits = in.u64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void putCode(QByteArray& out, const IntTable& table, int value)
{
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i] == value) {
            out.append(static_cast<char>(i));
            return;
        }
    }
    for (int i = 0; i < 16; ++i) {
        if (kOddCodes[i] == value) {
            out.append(static_cast<char>(kOddCodeTag + i));
            return;
        }
    }
    out.append(static_cast<char>(kOddCodeTag));
}

void putNumber(QByteArray& out, double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    out.append(static_cast<char>(kRawTag));
    for (int shift = 56; shift >= 0; shift -= 8)
        out.append(static_cast<char>(bits >> shift & 0xFF));
}

const IntTable& deviceTable(EngineTask::Kind kind)
{
    return kind == EngineTask::Kv ? kKvDevices : kind == EngineTask::Valve ? kValveDevices : kRegulations;
}

// The fields of each kind beyond the common ones, in byte order.
std::vector<double*> kindNumbers(EngineTask& task)
{
    switch (task.kind) {
    case EngineTask::Kv:
        return {&task.kv.P1, &task.kv.P2, &task.kv.dP};
    case EngineTask::Valve:
        return {&task.valve.P1, &task.valve.P2, &task.valve.dP, &task.valve.dPru};
    case EngineTask::Regulator:
        break;
    }
    RegulatorInputParams& r = task.regulator;
    return {&r.Psupply,    &r.Preturn,     &r.dPru, &r.dPreg, &r.dPdrSupply,
            &r.dPdrReturn, &r.dPregulator, &r.P1,   &r.P2};
}

int& deviceField(EngineTask& task)
{
    switch (task.kind) {
    case EngineTask::Kv:
        return task.kv.valveType;
    case EngineTask::Valve:
        return task.valve.valveType;
    case EngineTask::Regulator:
        break;
    }
    return task.regulator.regulation;
}

// A number a spin box of two decimals holds: 0 … 1e8.
double spinValue(double value)
{
    if (!(value > 0))
        return 0;
    return std::round(std::min(value, 1e8) * 100) / 100;
}

// What the forms make of a task before they send it.
void makeFormLike(EngineTask& task)
{
    InputParams& p = task.input();
    const SubstanceProperties medium = p.substanceProperties();
    const bool liquid = medium.isLiquid();
    if (!liquid) {
        // Steam and gases: one pipe, the flow typed in, the medium's own units.
        if (task.kind != EngineTask::Regulator)
            p.place = ipSupply;
        p.flowInputMode = 1;
        const IntTable units = medium.isSteam() ? IntTable{wfTh, wfKgh} : IntTable{wfM3h, wfTh, wfKgh};
        if (std::find(units.begin(), units.end(), p.flowMeasure) == units.end())
            p.flowMeasure = units.front();
    }
    if (task.kind == EngineTask::Valve && !liquid)
        task.valve.valveType = dtLMKP;
    if (task.kind == EngineTask::Regulator && (!liquid || task.regulator.regulation == rtBypass))
        task.regulator.regulation = rtDownstream;

    p.concentration = std::min(spinValue(p.concentration), 60.0);
    // The temperature of a pipe the form hides is not a number: always the
    // other pipe's for steam and gases, and any that is not a number already.
    const auto temperature = [](double t, bool shown) { return shown ? std::min(spinValue(t), 220.0) : NAN; };
    const bool supplyShown = liquid || p.place == ipSupply;
    p.Tsupply = temperature(p.Tsupply, supplyShown && !std::isnan(p.Tsupply));
    p.Treturn = temperature(p.Treturn, (liquid || !supplyShown) && !std::isnan(p.Treturn));
    p.heatLoad = spinValue(p.heatLoad);
    p.flow = spinValue(p.flow);
    for (double* field : kindNumbers(task))
        *field = spinValue(*field);
    // The drop the form shows beside the pressures is their difference.
    task.kv.dP = task.kv.P1 - task.kv.P2;
    task.valve.dP = task.valve.P1 - task.valve.P2;
    task.regulator.dPregulator = task.regulator.P1 - task.regulator.P2;
    task.flags |= EngineTask::DeriveFlow | EngineTask::RoundDerived;
}

} // namespace

InputParams& EngineTask::input()
{
    switch (kind) {
    case Kv:
        return kv;
    case Valve:
        return valve;
    case Regulator:
        break;
    }
    return regulator;
}

EngineTask decodeTask(const uint8_t* data, size_t size)
{
    ByteReader in(data, size);
    EngineTask task;
    const bool formLike = size > kFlagsOffset && (data[kFlagsOffset] & EngineTask::FormLike);
    task.kind = static_cast<EngineTask::Kind>(in.byte() % 3);
    InputParams& p = task.input();
    p.pressureType = code(in, kPressureKinds, formLike);
    p.pressureMeasure = code(in, kPressureUnits, formLike);
    p.heatMeasure = code(in, kHeatUnits, formLike);
    p.flowMeasure = code(in, kFlowUnits, formLike);
    p.flowInputMode = code(in, kFlowModes, formLike);
    p.system = code(in, kSystems, formLike);
    p.place = code(in, kPlaces, formLike);
    p.substance = code(in, kMedia, formLike);
    deviceField(task) = code(in, deviceTable(task.kind), formLike);
    task.flags = in.byte();
    p.concentration = number(in);
    p.Tsupply = number(in);
    p.Treturn = number(in);
    p.heatLoad = number(in);
    p.flow = number(in);
    for (double* field : kindNumbers(task))
        *field = number(in);
    p.objectName = QString::fromUtf8(in.rest());
    if (formLike)
        makeFormLike(task);

    if ((task.flags & EngineTask::DeriveFlow) && p.flowInputMode == 2) {
        // As the document window does: the flow that carries the heat load at
        // the mean absolute pressure of the device.
        double G = UnitConversions::calcQbyHeat(p.heatLoad, p.heatMeasure, p.flowMeasure, p.Tsupply,
                                                p.Treturn, p.substanceProperties(),
                                                (p.PbeforeAbsInPa() + p.PafterAbsInPa()) * 0.5);
        if (task.flags & EngineTask::RoundDerived)
            G = std::round(G * 100) / 100;
        // The form's flow field holds what its spin box holds.
        p.flow = formLike ? spinValue(G) : G;
    }
    return task;
}

QByteArray encodeTask(const EngineTask& original)
{
    // A copy: the field tables below hand out pointers into the task.
    EngineTask task = original;
    const InputParams& p = task.input();
    QByteArray out;
    out.append(static_cast<char>(task.kind));
    putCode(out, kPressureKinds, p.pressureType);
    putCode(out, kPressureUnits, p.pressureMeasure);
    putCode(out, kHeatUnits, p.heatMeasure);
    putCode(out, kFlowUnits, p.flowMeasure);
    putCode(out, kFlowModes, p.flowInputMode);
    putCode(out, kSystems, p.system);
    putCode(out, kPlaces, p.place);
    putCode(out, kMedia, p.substance);
    putCode(out, deviceTable(task.kind), deviceField(task));
    out.append(static_cast<char>(task.flags));
    for (double value : {p.concentration, p.Tsupply, p.Treturn, p.heatLoad, p.flow})
        putNumber(out, value);
    for (double* field : kindNumbers(task))
        putNumber(out, *field);
    out.append(p.objectName.toUtf8());
    return out;
}

} // namespace orxfuzz
