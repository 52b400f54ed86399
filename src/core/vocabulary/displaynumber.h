#pragma once

// How a figure is written on screen: with the decimal separator of the system
// locale, as the number boxes show what the user types, and never with a group
// separator ("1234,50", not "1 234,50": a group separator could be read as a
// decimal one). Reports and document files keep their own fixed formats; this
// is for what the user reads in the window.

#include <QString>

namespace common {

// Fixed notation with the given decimals: 1.08 as "1,08" under ru_RU.
QString displayNumber(double value, int decimals);
// The shortest form that reads back as the value: 0.25 as "0,25", 10 as "10".
QString displayShortest(double value);

} // namespace common
