#pragma once

// Timing helpers for the benchmarks: run a piece of work many times and report
// the median and the 95th percentile beside the target.

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace orxbench {

struct Figures
{
    double median = 0; // microseconds
    double p95 = 0;    // microseconds
};

// Runs work() `runs` times after `warmup` untimed runs; each run is timed alone.
template <typename Work>
Figures measure(Work&& work, int runs = 1000, int warmup = 20)
{
    for (int i = 0; i < warmup; ++i)
        work();
    std::vector<double> samples;
    samples.reserve(static_cast<size_t>(runs));
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        work();
        samples.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(samples.begin(), samples.end());
    Figures f;
    f.median = samples[samples.size() / 2];
    f.p95 = samples[std::min(samples.size() - 1, samples.size() * 95 / 100)];
    return f;
}

// One row of the benchmark table: "name | median | p95 | target".
inline void report(const char* name, const Figures& f, const char* unit, double scale, const char* target)
{
    std::printf("%-48s | %10.3f %s | %10.3f %s | %s\n", name, f.median / scale, unit, f.p95 / scale, unit,
                target);
    std::fflush(stdout);
}

} // namespace orxbench
