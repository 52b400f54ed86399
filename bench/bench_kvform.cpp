// The Kv form at work: one modification (a value typed into the flow field) to
// its results rebuilt, laid out and painted; and what the window background
// costs in memory with twenty full-HD tabs open.

#include "benchforms.h"
#include "benchsupport.h"
#include "forms/kvchild.h"
#include "framework/backgroundcache.h"
#include "resources.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QScrollArea>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Thread CPU time, µs: on a machine shared with other work the wall clock also
// counts the time the scheduler gave to others.
double cpuMicroseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

orxbench::Figures figures(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    orxbench::Figures f;
    f.median = samples[samples.size() / 2];
    f.p95 = samples[samples.size() * 95 / 100];
    return f;
}

struct Timings
{
    orxbench::Figures wall;
    orxbench::Figures cpu;
};

// Times `timed` by the wall clock and by CPU time, then runs `untimed`; 1000
// samples after 20 warm-up runs.
template <typename Timed, typename Untimed>
Timings measure(Timed timed, Untimed untimed)
{
    std::vector<double> wall, cpu;
    QElapsedTimer timer;
    for (int i = 0; i < 1020; ++i) {
        const double cpuStart = cpuMicroseconds();
        timer.start();
        timed();
        const double w = timer.nsecsElapsed() / 1000.0;
        const double c = cpuMicroseconds() - cpuStart;
        untimed();
        if (i >= 20) {
            wall.push_back(w);
            cpu.push_back(c);
        }
    }
    return {figures(wall), figures(cpu)};
}

} // namespace

int main(int argc, char** argv)
{
    orxbench::chooseOffscreenPlatform();
    QApplication app(argc, argv);
    orxbench::prepareWindows();

    // A water task that calculates: 2 / 1 bar, 20 °C, 10 m³/h.
    QTabWidget tabs;
    tabs.resize(1600, 900);
    KvChild* form = orxbench::addTab(tabs, new KvChild);
    tabs.show();
    QCoreApplication::processEvents();
    form->ctrl<QDoubleSpinBox>(102)->setValue(2);
    form->ctrl<QDoubleSpinBox>(103)->setValue(1);
    form->ctrl<QDoubleSpinBox>(105)->setValue(20);
    auto* flow = form->ctrl<QDoubleSpinBox>(108);
    flow->setValue(10);
    QCoreApplication::processEvents();

    // The rebuild alone (the event loop runs between the samples, untimed), and
    // the rebuild with its layout and painting.
    int step = 0;
    const auto type = [&] { flow->setValue(10 + (step++ % 50) * 0.1); };
    const auto loop = [] { QCoreApplication::processEvents(); };
    const Timings rebuilt = measure(type, loop);
    const Timings painted = measure(
        [&] {
            type();
            loop();
        },
        [] {});

    const orxbench::Target target = orxbench::atMost(8, 16, "<= 8 ms median, <= 16 ms p95");
    const char* const area = "Kv form";
    std::printf("%-48s | %13s | %13s | %s\n", "Kv form", "median", "p95", "target");
    orxbench::report(area, "value typed -> results rebuilt (wall)", rebuilt.wall, "ms", 1000, target);
    orxbench::report(area, "value typed -> results rebuilt (cpu)", rebuilt.cpu, "ms", 1000, target);
    orxbench::report(area, "value typed -> rebuilt, laid out, painted (wall)", painted.wall, "ms", 1000,
                     target);
    // The exit status follows the CPU time of the whole modification: the wall
    // clock on a shared machine also counts other work.
    const bool fast = orxbench::report(area, "value typed -> rebuilt, laid out, painted (cpu)", painted.cpu,
                                       "ms", 1000, target);

    // Twenty tabs in a maximised full-HD window.
    BackgroundCache::clear();
    QTabWidget big;
    big.resize(1920, 1017);
    big.show();
    const long before = orxbench::residentKb();
    for (int i = 0; i < 20; ++i) {
        orxbench::addTab(big, new KvChild);
        QCoreApplication::processEvents();
    }
    const long after = orxbench::residentKb();
    const QSize window = static_cast<QScrollArea*>(big.currentWidget())->widget()->size();
    const QPixmap picture(BackgroundCache::pictureName());
    const QSize whole = picture.isNull() ? QSize()
                                         : picture.size().scaled(BackgroundCache::scaledTarget(window),
                                                                 Qt::KeepAspectRatioByExpanding);
    std::printf("\nbackground of 20 tabs, window %dx%d\n", window.width(), window.height());
    std::printf("  picture %s, kept: %d pixmap(s), %.1f MB\n", picture.isNull() ? "missing" : "present",
                BackgroundCache::count(), BackgroundCache::bytes() / 1048576.0);
    std::printf("  a 2.5x pixmap per tab would keep: %.1f MB (%dx%d each)\n",
                20.0 * whole.width() * whole.height() * 4 / 1048576.0, whole.width(), whole.height());
    std::printf("  resident memory with the 20 tabs open: %.1f MB (target <= 150 MB)\n", after / 1024.0);
    std::printf("  resident memory taken by the 20 tabs: %.1f MB\n", (after - before) / 1024.0);
    orxbench::figure("memory", "twenty Kv tabs open, full HD (whole process)", after / 1024.0, -1, "MB", 1,
                     after > 0 ? orxbench::atMost(150, "<= 150 MB") : orxbench::failedCase("NOT MEASURED"));
    orxbench::figure("memory", "  of which the twenty Kv tabs themselves", (after - before) / 1024.0, -1,
                     "MB", 1, orxbench::forInformation());
    return fast ? 0 : 1;
}
