// A project of 50 positions opened from its file, and its equipment schedule
// written as the A3 PDF and as the XLSX workbook, as the schedule view's export
// commands do.

#include "../fuzz/sampledocuments.h"
#include "benchsupport.h"
#include "project/equipmentschedule.h"
#include "project/project.h"
#include "reports/schedulepdfgenerator.h"
#include "reports/schedulexlsx.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Fifty positions: valves with their drives, regulators, meters, a cabinet;
// every fourth name long enough to wrap to three lines.
EquipmentSchedule fiftyPositions()
{
    EquipmentSchedule schedule;
    schedule.details.objectName = QStringLiteral("Жилой комплекс, корпус 3. Тепловой пункт ИТП-1");
    schedule.details.projectCode = QStringLiteral("2024-017-ТМ.СО");
    schedule.details.organisation = QStringLiteral("ООО «Теплопроект»");
    schedule.details.developer = QStringLiteral("Иванов");
    schedule.details.checker = QStringLiteral("Петров");
    schedule.details.normControl = QStringLiteral("Сидорова");
    schedule.details.chiefEngineer = QStringLiteral("Кузнецов");
    schedule.details.date = QDate(2024, 5, 17);
    for (int i = 0; i < 50; ++i) {
        ScheduleRow row;
        row.position = QStringLiteral("РК%1").arg(i + 1);
        row.name =
            QStringLiteral("Клапан регулирующий седельный ЛМК-2, DN %1, Kvs 40 м³/ч, PN 16").arg(15 + i);
        if (i % 4 == 0)
            row.name +=
                QStringLiteral(", среда: вода 150 °C, с электроприводом и ручным дублёром, исполнение "
                               "для наружной установки в климатическом исполнении У1, с ответными фланцами");
        row.type = QStringLiteral("ЛМК-2-%1-40-16-Ф").arg(15 + i);
        row.supplier = QStringLiteral("ООО «Оримакс»");
        row.unit = QStringLiteral("шт.");
        row.quantity = 1 + i % 3;
        row.mass = i % 5 ? 12.5 + i : qQNaN();
        schedule.rows << row;
    }
    return schedule;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true); // keeps the user's settings untouched
    QApplication app(argc, argv);

    QTemporaryDir folder;
    const EquipmentSchedule schedule = fiftyPositions();
    int failures = 0;
    const QString pdf = folder.filePath(QStringLiteral("спецификация.pdf"));
    const orxbench::Figures pdfFigures = orxbench::measure(
        [&] {
            if (!writeSchedulePdf(schedule, pdf, nullptr))
                ++failures;
        },
        20, 2);
    const QString xlsx = folder.filePath(QStringLiteral("спецификация.xlsx"));
    const orxbench::Figures xlsxFigures = orxbench::measure(
        [&] {
            if (!writeScheduleXlsx(schedule, xlsx, nullptr))
                ++failures;
        },
        20, 2);
    // The project file of fifty positions of every kind, read as the project open reads it.
    Project project;
    const Doc kinds[] = {orxsamples::valveDocument(),      orxsamples::regulatorDocument(),
                         orxsamples::kvDocument(),         orxsamples::flowMeterDocument(),
                         orxsamples::stdCabinetDocument(), orxsamples::fanCabinetDocument()};
    for (int i = 0; i < 50; ++i)
        project.positions.append({kinds[i % 6], {}});
    const QString file = folder.filePath(QStringLiteral("проект.orxp"));
    if (!project.save(file))
        ++failures;
    const orxbench::Figures openFigures = orxbench::measure(
        [&] {
            Project opened;
            if (Project::load(file, opened) != Project::rsOk || opened.positions.size() != 50)
                ++failures;
        },
        20, 2);
    const bool openFast = orxbench::report("schedule", "a project of 50 positions opened", openFigures, "ms",
                                           1000, orxbench::atMost(1000, "median <= 1000 ms"));
    const bool pdfFast = orxbench::report("schedule", "50 positions written as the A3 PDF", pdfFigures, "ms",
                                          1000, orxbench::atMost(1000, "median <= 1000 ms"));
    const bool xlsxFast = orxbench::report("schedule", "50 positions written as XLSX", xlsxFigures, "ms",
                                           1000, orxbench::atMost(1000, "median <= 1000 ms"));
    if (failures > 0)
        orxbench::warn("an export of the schedule failed: the times measure a failure");
    std::printf("%d sheets\n", SchedulePdfGenerator(schedule).sheetCount());
    return openFast && pdfFast && xlsxFast && failures == 0 ? 0 : 1;
}
