#pragma once

// The few characters off the keyboard that the program writes into its labels,
// messages and reports, each defined once: Δ of a pressure drop ("ΔPру"), the
// degree of "°C" and the cube of "м³/ч".

#include <QChar>
#include <QLatin1Char>
#include <QString>

namespace common {

constexpr QChar deltaSign(0x0394);
constexpr QChar degreeSign(0x00B0);
constexpr QChar cubedSign(0x00B3);

// "°C", with a Latin C wherever the program writes it.
inline QString degreesCelsius()
{
    return QString(degreeSign) + QLatin1Char('C');
}

} // namespace common
