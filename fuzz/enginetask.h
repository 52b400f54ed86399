#pragma once

// A calculation task of any kind written as bytes, so that the fuzzer can
// reach every kind, medium, unit and mode, and values a form sends as well as
// values no form sends (negative, huge, infinite, not a number).
//
// Layout: the kind (0 Kv, 1 valve, 2 regulator, taken modulo 3); then one byte
// for each code: pressure kind, pressure unit, heat unit, flow unit, flow input
// mode, system, installation place, medium, and the device code (valve type,
// or the kind of regulation); then a flags byte (EngineTask::Flags); then the numbers:
// concentration, Tsupply, Treturn, heat load, flow, and the pressures of the
// kind (Kv: P1, P2, ΔP; valve: P1, P2, ΔP, ΔPру; regulator: Pпод, Pобр,
// ΔPру, ΔPрег, ΔPдр.под, ΔPдр.обр, ΔP, P1, P2).
//
// A code byte below 0xF0 picks from the values the forms offer (modulo their
// count); 0xF0…0xFF pick a value no form offers. A number starts with a tag:
// below 0xC0 a four-byte count of hundredths follows (a spin box value of two
// decimals); 0xC0…0xDF name an edge value (zero, not a number, infinities,
// bounds of the checks); 0xE0…0xFF are followed by the eight bytes of any
// double. Missing bytes read as zeros, so every byte string is a task.

#include "engine/kvalgorithm.h"
#include "engine/regulatorinputparams.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace orxfuzz {

struct EngineTask
{
    enum Kind { Kv = 0, Valve = 1, Regulator = 2 };
    enum Flags {
        DeriveFlow = 1,   // flow input mode 2: the flow comes from the heat load, as a form derives it
        RoundDerived = 2, // ... and passes through the two-decimal flow field
        // A task a form can send: codes from the forms' tables, the medium's
        // own units, places and shown temperatures, spin box numbers (0 … 1e8,
        // two decimals), the flow derived from a heat load as the form does.
        // The decoder makes the task so; such a task must never trip an
        // internal check.
        FormLike = 4,
    };

    Kind kind = Kv;
    int flags = 0;
    KvInputParams kv;
    ValveInputParams valve;
    RegulatorInputParams regulator;

    InputParams& input();
    const InputParams& input() const { return const_cast<EngineTask*>(this)->input(); }
};

EngineTask decodeTask(const uint8_t* data, size_t size);
// The bytes of a task (for the seed corpus); codes outside both tables are
// written as the nearest table entry's byte, numbers as their exact bits.
QByteArray encodeTask(const EngineTask& task);

} // namespace orxfuzz
