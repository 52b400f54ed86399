#include "reports/valvepdfgenerator.h"

#include "reports/smarttexttable.h"
#include "vocabulary/symbols.h"

#include <QTextTable>

namespace {

// Prepared rows of each table; both are cut to the rows written.
const int tableRows = 20;

} // namespace

ValvePdfGenerator::ValvePdfGenerator() : PdfGenerator(0)
{
}

QString ValvePdfGenerator::name() const
{
    return QStringLiteral("Клапан регулирующий");
}

bool ValvePdfGenerator::generate(const ValveReport& report)
{
    write(report);
    return openPdf();
}

void ValvePdfGenerator::write(const ValveReport& report)
{
    deviceType = report.input.valveType;
    addHeader();
    addSectionTitle(titleWithPosition(QStringLiteral("Расчёт регулирующего клапана"), report.position),
                    false);
    addSectionTitle(QStringLiteral("Входные данные"), true);
    addInputTable(report.input);
    addSectionTitle(
        QStringLiteral(
            "Клапан, выбранный пользователем программы с учётом особенностей системы теплоснабжения"),
        true);
    addValveTable(report);
    if (!report.driveDesignation.isEmpty())
        addDriveTable(report);
    addDimensions();
}

void ValvePdfGenerator::addInputTable(const ValveInputParams& input)
{
    SmartTextTable table(insertDataTable(tableRows));
    addTaskRows(table, input);
    addPlaceRow(table, input);

    const QString word = pressureWord(input);
    const QString unit = pressureUnit(input);
    addValueRow(table, word + QStringLiteral(" давление перед клапаном|P1"), numberText(input.P1, 2), unit);
    addValueRow(table, word + QStringLiteral(" давление после клапана|P2"), numberText(input.P2, 2), unit);
    addValueRow(table, QStringLiteral("Перепад давления на клапане|%1P").arg(common::deltaSign),
                numberText(input.dP, 2), unit);
    // The regulated section behind the valve shares the drop only in a water loop.
    if (input.substanceProperties().isLiquid())
        addValueRow(table,
                    QStringLiteral("Перепад давления на регулируемом участке после клапана|%1Pру")
                        .arg(common::deltaSign),
                    numberText(input.dPru, 2), unit);
    addTemperatureAndFlowRows(table, input, true);
    finishDataTable(table);
}

void ValvePdfGenerator::addValveTable(const ValveReport& report)
{
    const ValveResultItem& item = report.item;
    const bool liquid = report.input.substanceProperties().isLiquid();

    SmartTextTable table(insertDataTable(tableRows));
    addMergedRow(table, QStringLiteral("Наименование"), item.name(true), true, Qt::AlignHCenter);
    if (liquid) {
        addValueRow(table, QStringLiteral("Коэффициент запаса"), numberText(item.Kreserve, 2),
                    QStringLiteral(" "));
        addValueRow(table, QStringLiteral("Внешний авторитет"), numberText(item.avtoritet, 2),
                    QStringLiteral(" "));
        addRiskRows(table, item, QStringLiteral("в клапане"));
    }
    addPipeSpeedRows(table, report.pipes, liquid, QStringLiteral("до клапана"),
                     QStringLiteral("после клапана"));
    finishDataTable(table);
}

void ValvePdfGenerator::addDriveTable(const ValveReport& report)
{
    addSectionTitle(QStringLiteral("Электропривод"), true);
    SmartTextTable table(insertDataTable(tableRows));
    addMergedRow(table, QStringLiteral("Обозначение"), report.driveDesignation, true, Qt::AlignHCenter);
    addMergedRow(table, QStringLiteral("Исполнение"), report.driveDescription, false, Qt::AlignHCenter);
    finishDataTable(table);
}
