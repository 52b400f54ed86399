// The configurators at work: one change of an option to the new designation
// shown, laid out and painted, for the flow meter and both cabinets.

#include "benchforms.h"
#include "benchsupport.h"
#include "forms/fancabinetchild.h"
#include "forms/flowmeterchild.h"
#include "guitools/smallclasses.h"
#include "resources.h"

#include <QApplication>
#include <QFont>
#include <QScrollArea>
#include <QTabWidget>

#include <cstdio>

using namespace common;

namespace {

void choose(MdiChild* form, qint16 field, int value, int index = 0)
{
    form->ctrl<QSmartComboBox>(DocKey(field, qint16(index)))->setCurrentByData(value);
}

// Flips a combo between two options, each flip one change shown on screen.
orxbench::Figures measureFlips(MdiChild* form, qint16 field, int a, int b, int index = 0)
{
    int step = 0;
    return orxbench::measure(
        [&] {
            choose(form, field, step++ % 2 ? a : b, index);
            QCoreApplication::processEvents();
        },
        500);
}

bool within(const orxbench::Figures& f)
{
    return f.median <= 8000;
}

} // namespace

int main(int argc, char** argv)
{
    orxbench::chooseOffscreenPlatform();
    QApplication app(argc, argv);
    orxbench::prepareWindows();

    QTabWidget tabs;
    tabs.resize(1600, 900);
    tabs.show();

    // The one-beam ultrasonic meter of the order example.
    FlowMeterChild* meter = orxbench::addTab(tabs, new FlowMeterChild);
    QCoreApplication::processEvents();
    for (const auto& choice : QVector<QPair<qint16, int>>{{lfDiameter, 100},
                                                          {lfPressure, 16},
                                                          {lfProtection, 67},
                                                          {lfSeries, 1300},
                                                          {lfAllowableError, 10},
                                                          {lfSupplyVoltage, 2}})
        choose(meter, choice.first, choice.second);
    QCoreApplication::processEvents();
    const char* const area = "configurators";
    const orxbench::Target eightMs = orxbench::atMost(8, "<= 8 ms median");
    std::printf("%-48s | %13s | %13s | %s\n", "Configurators", "median", "p95", "target");
    const orxbench::Figures series = measureFlips(meter, lfSeries, 1300, 2300);
    orxbench::report(area, "flow meter: series -> designation shown", series, "ms", 1000, eightMs);
    const orxbench::Figures diameter = measureFlips(meter, lfDiameter, 100, 400);
    orxbench::report(area, "flow meter: diameter -> range, designation", diameter, "ms", 1000, eightMs);
    choose(meter, lfType, ltElectromagnetic);
    choose(meter, lfDiameter, 50);
    choose(meter, lfSeries, 1100);
    choose(meter, lfInterface, 232);
    const orxbench::Figures em = measureFlips(meter, lfPressure, 16, 25);
    orxbench::report(area, "flow meter (electromagnetic): pressure", em, "ms", 1000, eightMs);

    // A nine-loop cabinet, everything chosen.
    StdCabinetChild* cabinet = orxbench::addTab(tabs, new StdCabinetChild);
    QCoreApplication::processEvents();
    choose(cabinet, CabinetChild::fcLoopCount, 9);
    choose(cabinet, CabinetChild::fcPowerReserve, 1);
    for (int loop = 0; loop < StdCabinetChild::maxLoops; ++loop) {
        choose(cabinet, CabinetChild::fcLoopType, 1, loop);
        choose(cabinet, CabinetChild::fcMainPump, 4, loop);
        choose(cabinet, CabinetChild::fcReservePump, 4, loop);
    }
    QCoreApplication::processEvents();
    const orxbench::Figures pump = measureFlips(cabinet, CabinetChild::fcMainPump, 4, 6, 8);
    orxbench::report(area, "cabinet, 9 loops: main pump -> reserve, designation", pump, "ms", 1000, eightMs);
    const orxbench::Figures loops = measureFlips(cabinet, CabinetChild::fcLoopCount, 2, 3);
    orxbench::report(area, "cabinet: loops 2 <-> 3 -> rows shown, designation", loops, "ms", 1000, eightMs);
    // Nine loops do not fit the window: every flip changes the window's height,
    // and the window's background picture is made again for each new size.
    const orxbench::Figures grown = measureFlips(cabinet, CabinetChild::fcLoopCount, 3, 9);
    orxbench::report(area, "cabinet: loops 3 <-> 9, window height changes", grown, "ms", 1000,
                     orxbench::forInformation("(background rescaled per size)"));

    FanCabinetChild* fan = orxbench::addTab(tabs, new FanCabinetChild);

    QCoreApplication::processEvents();
    choose(fan, CabinetChild::fcMainPump, 1);
    const orxbench::Figures drive = measureFlips(fan, CabinetChild::fcFan, 5, 6);
    orxbench::report(area, "ventilation cabinet: fan -> designation", drive, "ms", 1000, eightMs);

    const bool fast =
        within(series) && within(diameter) && within(em) && within(pump) && within(loops) && within(drive);
    return fast ? 0 : 1;
}
