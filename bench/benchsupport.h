#pragma once

// Timing helpers for the benchmarks: run a piece of work many times and report
// the median and the 95th percentile beside the target.
//
// Every figure is printed twice: once as a row for whoever runs a benchmark by
// hand, and once as a line for bench.sh, which reads only those lines:
//
//   ORX-FIGURE <TAB> area <TAB> name <TAB> median <TAB> p95 <TAB> unit <TAB> target <TAB> result
//
// median and p95 are numbers in `unit` (us, ms, MB or empty for a ratio); p95
// is empty for a figure that has none. target is the target in words, empty for
// a figure given for information. result is "ok", "MISSED" or, for a figure
// given for information, empty. No field holds a tab. A benchmark that finds
// its figures measure something other than they should says so on a line
//
//   ORX-WARNING <TAB> what is wrong

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

// What a figure is held to, in the unit it is printed in: at most `median` for
// the median and at most `p95` for the 95th percentile (0: not held to one),
// and the words the table shows. A case that went wrong in itself (a hostile
// file that opened) misses its target whatever the time.
struct Target
{
    double median = 0;
    double p95 = 0;
    const char* text = "";
    bool failed = false;

    bool judged() const { return failed || median > 0 || p95 > 0; }
    bool met(double medianValue, double p95Value) const
    {
        return !failed && (median <= 0 || medianValue <= median) && (p95 <= 0 || p95Value <= p95);
    }
};

inline Target atMost(double median, const char* text)
{
    return {median, 0, text, false};
}

inline Target atMost(double median, double p95, const char* text)
{
    return {median, p95, text, false};
}

// Shown beside the figure, not checked.
inline Target forInformation(const char* text = "")
{
    return {0, 0, text, false};
}

inline Target failedCase(const char* text)
{
    return {0, 0, text, true};
}

// One figure for bench.sh (the line described above); p95 < 0 when the figure
// has none. Returns whether the figure meets its target (true when it is given
// for information).
inline bool figure(const char* area, const char* name, double median, double p95, const char* unit,
                   int decimals, const Target& target)
{
    const bool met = target.met(median, p95);
    std::printf("ORX-FIGURE\t%s\t%s\t%.*f\t", area, name, decimals, median);
    if (p95 >= 0)
        std::printf("%.*f", decimals, p95);
    std::printf("\t%s\t%s\t%s\n", unit, target.text, target.judged() ? (met ? "ok" : "MISSED") : "");
    std::fflush(stdout);
    return met;
}

// Says that the figures are not what they claim to be; bench.sh shows it under
// the table and fails the run.
inline void warn(const char* what)
{
    std::printf("%s\nORX-WARNING\t%s\n", what, what);
    std::fflush(stdout);
}

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

// One timed figure: the row "name | median | p95 | target" and its line for
// bench.sh. `scale` turns microseconds into `unit`. Returns whether the target
// is met.
inline bool report(const char* area, const char* name, const Figures& f, const char* unit, double scale,
                   const Target& target)
{
    std::printf("%-48s | %10.3f %s | %10.3f %s | %s\n", name, f.median / scale, unit, f.p95 / scale, unit,
                target.text);
    return figure(area, name, f.median / scale, f.p95 / scale, unit, 3, target);
}

} // namespace orxbench
