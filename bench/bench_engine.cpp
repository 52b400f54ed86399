// Medians of the calculations on the worked examples and of the whole start-up
// self-test run, beside their targets.

#include "benchsupport.h"
#include "engine/algotest.h"
#include "engine/kvalgorithm.h"
#include "engine/regulatoralgorithm.h"
#include "engine/valvealgorithm.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// The valve example as the Kv form would calculate it.
KvInputParams kvTask(const ValveInputParams& valve)
{
    KvInputParams in;
    static_cast<ValveInputParams&>(in) = valve;
    in.valveType = common::dtLMKP;
    return in;
}

volatile bool sink = false;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = 2000;
    const char* const area = "engine";
    bool met = true;

    std::printf("%-48s | %13s | %13s | %s\n", "calculation", "median", "p95", "target");

    const char* const valveNames[] = {
        "", "ValveAlgorithm::calc, example 1 (glycol)", "ValveAlgorithm::calc, example 2 (water)",
        "ValveAlgorithm::calc, example 3 (LMK-3)", "ValveAlgorithm::calc, example 4 (steam)"};
    const char* const kvNames[] = {
        "", "KvAlgorithm::calc, example 1 (glycol)", "KvAlgorithm::calc, example 2 (water)",
        "KvAlgorithm::calc, example 3 (water)", "KvAlgorithm::calc, example 4 (steam)"};
    for (int n = 1; n <= 4; ++n) {
        const KvInputParams in = kvTask(algotest::valveExample(n));
        KvAlgorithm alg;
        met &= orxbench::report(area, kvNames[n], orxbench::measure([&] { sink = alg.calc(in); }, runs), "us",
                                1, orxbench::atMost(2, "<= 2 us"));
    }
    for (int n = 1; n <= 4; ++n) {
        const ValveInputParams in = algotest::valveExample(n);
        ValveAlgorithm alg;
        met &= orxbench::report(area, valveNames[n], orxbench::measure([&] { sink = alg.calc(in); }, runs),
                                "us", 1, orxbench::atMost(20, "<= 20 us"));
    }
    const char* const regulatorNames[] = {"", "RegulatorAlgorithm::calc, example 1 (LMR-D)",
                                          "RegulatorAlgorithm::calc, example 2 (LMR-1)",
                                          "RegulatorAlgorithm::calc, example 3 (LMR-D)"};
    for (int n = 1; n <= 3; ++n) {
        const RegulatorInputParams in = algotest::regulatorExample(n);
        RegulatorAlgorithm alg;
        met &=
            orxbench::report(area, regulatorNames[n], orxbench::measure([&] { sink = alg.calc(in); }, runs),
                             "us", 1, orxbench::atMost(20, "<= 20 us"));
    }
    met &= orxbench::report(area, "algotest::runSelfTests (all seven)",
                            orxbench::measure([] { algotest::runSelfTests(); }, 500), "us", 1,
                            orxbench::atMost(1000, "<= 1000 us"));
    return met ? 0 : 1;
}
