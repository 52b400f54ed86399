#pragma once

// The pipes chosen for a selected device: the pipe area of the selection forms
// offers them from the calculation's flow speeds, and the reports print them.

#include <QMap>

// Where a pipe sits: before and after a device that changes the state of a
// steam or gas flow, or the single pipe of a liquid.
enum PipeLocation : int { plBefore = 0, plAfter = 1, plSingle = 2 };

// One offered pipe: its DN and the highest flow speed in it, m/s.
struct PipeChoice
{
    int dn = 0;
    double speed = 0;
};

// The chosen pipes by location; a location without a choice is absent.
using PipeSelections = QMap<int, PipeChoice>;
