#include "reports/regulatorpdfgenerator.h"

#include "gentools/errorhandle.h"
#include "reports/smarttexttable.h"
#include "vocabulary/common.h"
#include "vocabulary/symbols.h"

#include <QTextTable>

namespace {

// Prepared rows of the tables; both are cut to the rows written.
const int inputTableRows = 100;
const int deviceTableRows = 20;

// A name in guillemets: «до себя».
QString quoted(const QString& text)
{
    return QStringLiteral("%1%2%3").arg(QChar(0x00AB), text, QChar(0x00BB));
}

} // namespace

RegulatorPdfGenerator::RegulatorPdfGenerator(int deviceType) : PdfGenerator(deviceType)
{
}

QString RegulatorPdfGenerator::name() const
{
    return QStringLiteral("Регулятор ") +
           common::regulatorTypeFunctionalName(common::RegulatorType(m_input.regulation));
}

QString RegulatorPdfGenerator::titleDevName(int regulation)
{
    switch (regulation) {
    case common::rtDiffPressure:
        return QStringLiteral("перепада давления");
    case common::rtUpstream:
        return QStringLiteral("давления ") + quoted(QStringLiteral("до себя"));
    case common::rtDownstream:
        return QStringLiteral("давления ") + quoted(QStringLiteral("после себя"));
    case common::rtBypass:
        return quoted(QStringLiteral("перепуска"));
    default:
        GEH_ASSERT(0);
        return QString();
    }
}

bool RegulatorPdfGenerator::generate(const RegulatorReport& report)
{
    write(report);
    return openPdf();
}

void RegulatorPdfGenerator::write(const RegulatorReport& report)
{
    m_input = report.input;
    addHeader();
    addSectionTitle(titleWithPosition(QStringLiteral("Расчёт регулятора ") + titleDevName(m_input.regulation),
                                      report.position),
                    false);
    addSectionTitle(QStringLiteral("Входные данные"), true);
    addInputTable();
    addSectionTitle(
        QStringLiteral("Регулятор, выбранный пользователем программы с учётом особенностей системы "
                       "теплоснабжения"),
        true);
    addRegulatorTable(report);
    addDimensions();
}

void RegulatorPdfGenerator::addInputTable()
{
    SmartTextTable table(insertDataTable(inputTableRows));
    addTaskRows(table, m_input);
    addPairRow(table, QStringLiteral("Регулирование"),
               common::regulatorTypeFunctionalName(common::RegulatorType(m_input.regulation)));
    addPlaceRow(table, m_input);
    addPressureRows(table);
    addTemperatureAndFlowRows(table, m_input, false);
    finishDataTable(table);
}

void RegulatorPdfGenerator::addPressureRows(SmartTextTable& table) const
{
    const QString word = pressureWord(m_input);
    const QString unit = pressureUnit(m_input);
    const auto row = [&table, &unit](const QString& caption, double value) {
        addValueRow(table, caption, numberText(value, 2), unit);
    };

    if (m_input.regulation != common::rtDiffPressure) {
        row(word + QStringLiteral(" давление перед регулятором|P1"), m_input.P1);
        row(word + QStringLiteral(" давление после регулятора|P2"), m_input.P2);
        row(QStringLiteral("Перепад давления на регуляторе|%1Pрег").arg(common::deltaSign),
            m_input.P1 - m_input.P2);
        return;
    }

    // The differential-pressure scheme: the inlet pressures and how their
    // difference is shared between the regulated section, the regulator and the
    // other equipment before and after the section.
    row(word + QStringLiteral(" давление в подающем трубопроводе на вводе|Pпод"), m_input.Psupply);
    row(word + QStringLiteral(" давление в обратном трубопроводе на вводе|Pобр"), m_input.Preturn);
    if (m_input.substanceProperties().isLiquid())
        row(QStringLiteral("Перепад давления, поддерживаемый на регулируемом участке,|%1Pру")
                .arg(common::deltaSign),
            m_input.dPru);
    row(QStringLiteral("Перепад давления на регуляторе|%1Pрег").arg(common::deltaSign), m_input.dPreg);
    row(QStringLiteral(
            "Потери давления на другом оборудовании ДО регулируемого участка (расходомеры, фильтры, "
            "грязевики и пр.)|%1Pдр.под")
            .arg(common::deltaSign),
        m_input.dPdrSupply);
    row(QStringLiteral(
            "Потери давления на другом оборудовании ПОСЛЕ регулируемого участка (расходомеры, фильтры, "
            "грязевики и пр.)|%1Pдр.обр")
            .arg(common::deltaSign),
        m_input.dPdrReturn);
}

void RegulatorPdfGenerator::addRegulatorTable(const RegulatorReport& report)
{
    const bool liquid = m_input.substanceProperties().isLiquid();

    SmartTextTable table(insertDataTable(deviceTableRows));
    addMergedRow(table, QStringLiteral("Наименование"), report.item.name(true), true, Qt::AlignHCenter);
    if (liquid)
        addRiskRows(table, report.item, QStringLiteral("в регуляторе"));
    addPipeSpeedRows(table, report.pipes, liquid, QStringLiteral("до регулятора"),
                     QStringLiteral("после регулятора"));
    finishDataTable(table);
}
