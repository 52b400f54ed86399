#pragma once

// The one tolerance of every floating-point decision of the calculations.
//
// A value counts as zero when its magnitude is below 1e-10; a > b holds only
// when a - b is at least 1e-10; a <= b holds when a - b is below 1e-10. Any
// comparison with NaN is false: a temperature the form leaves disabled is NaN,
// and every check involving it must be skipped rather than fire.

#include <cmath>

namespace tolerance {

constexpr double epsilon = 1e-10;

// |a| < 1e-10
inline bool isZero(double a)
{
    return std::fabs(a) < epsilon;
}

// |a - b| < 1e-10
inline bool equal(double a, double b)
{
    return std::fabs(a - b) < epsilon;
}

// a exceeds b by at least 1e-10
inline bool greater(double a, double b)
{
    return a - b >= epsilon;
}

// a is below b by at least 1e-10
inline bool less(double a, double b)
{
    return b - a >= epsilon;
}

// a is not above b by 1e-10 or more
inline bool lessOrEqual(double a, double b)
{
    return a - b < epsilon;
}

// a is not below b by 1e-10 or more
inline bool greaterOrEqual(double a, double b)
{
    return b - a < epsilon;
}

} // namespace tolerance
