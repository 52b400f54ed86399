// A valve report (worked example 1) written and saved as a PDF, as the "Pdf-
// документ" button does, without handing it to a viewer.

#include "benchsupport.h"
#include "engine/algotest.h"
#include "engine/valvealgorithm.h"
#include "reports/valvepdfgenerator.h"
#include "resources.h"
#include "settings/smartsettings.h"

#include <QApplication>
#include <QDesktopServices>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

namespace {

// Stands in for the desktop's PDF viewer: counts what it is given.
class NoViewer : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl&) { ++opened; }

public:
    int opened = 0;
};

ValveReport example1()
{
    ValveInputParams in = algotest::valveExample(1);
    in.objectName = QStringLiteral("Котельная № 2, ИТП-1");
    in.system = common::lpHeating;

    ValveAlgorithm algorithm;
    algorithm.calc(in);
    ValveReport report{in, ValveResultItem(), {{2, {100, 3.30}}}};
    for (const ValveResultItem& item : algorithm.results())
        if (item.dn == 100 && !item.rejected)
            report.item = item;
    return report;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true); // keeps the user's settings untouched
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
    orx::initResources();

    QTemporaryDir folder;
    SmartSettings().setValue(QStringLiteral("Common/Directory"), folder.path());
    NoViewer viewer;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &viewer, "open");

    const ValveReport report = example1();
    const orxbench::Figures figures = orxbench::measure(
        [&report] {
            ValvePdfGenerator generator;
            generator.generate(report);
        },
        40, 3);
    const bool fast = orxbench::report("PDF report", "valve report written to PDF", figures, "ms", 1000,
                                       orxbench::atMost(300, "median <= 300 ms"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    std::printf("%d reports written\n", viewer.opened);
    return fast && viewer.opened == 43 ? 0 : 1;
}

#include "bench_report.moc"
