#pragma once

// The calculation checks run at every start: the worked examples of valve and
// regulator selection, recomputed and compared with their known results. Each
// failed comparison is recorded and shown at once; a correct build shows nothing.

#include "engine/regulatorinputparams.h"
#include "gentools/errorhandle.h"

namespace algotest {

// All scenarios, in their fixed order.
void runSelfTests();

// The worked examples as the scenarios fill them: valve examples 1 to 4 and
// regulator examples 1 to 3. A flow derived from the heat load is kept
// unrounded.
ValveInputParams valveExample(int number);
RegulatorInputParams regulatorExample(int number);

// The scenarios: the four valve examples, then the three regulator examples.
void test1();
void test2();
void test3();
void test4();
void test10();
void test11();
void test12();

// The comparisons of the scenarios. Each returns whether it held; a failure is
// recorded as an error of the checking site and shown at once.

// |actual - expected| within tolerance.
bool compare(const char* expression, double actual, double expected, double tolerance,
             const geh::SourceLocation& location);
// Exact equality of counts, diameters and grades.
bool compare(const char* expression, int actual, int expected, const geh::SourceLocation& location);
// Two computed values that must agree within tolerance.
bool comparePair(const char* expression1, double value1, const char* expression2, double value2,
                 double tolerance, const geh::SourceLocation& location);
// A condition that must hold.
bool check(const char* condition, bool value, const geh::SourceLocation& location);

} // namespace algotest

#define ALGOTEST_COMPARE(actual, expected, tolerance)                                                        \
    ::algotest::compare(#actual, double(actual), double(expected), tolerance, GEH_LOCATION)
#define ALGOTEST_COMPARE_INT(actual, expected)                                                               \
    ::algotest::compare(#actual, int(actual), int(expected), GEH_LOCATION)
#define ALGOTEST_COMPARE_PAIR(value1, value2, tolerance)                                                     \
    ::algotest::comparePair(#value1, double(value1), #value2, double(value2), tolerance, GEH_LOCATION)
#define ALGOTEST_CHECK(condition) ::algotest::check(#condition, bool(condition), GEH_LOCATION)
