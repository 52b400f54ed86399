#include "forms/regulatorchild.h"

#include "engine/tolerance.h"
#include "framework/pipeselectionarea.h"
#include "framework/radioarea.h"
#include "guitools/smallclasses.h"
#include "reports/regulatorpdfgenerator.h"
#include "vocabulary/symbols.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>

#include <cmath>

using namespace common;

namespace {

// The pressure rows of the differential scheme and of the other tasks.
const qint16 kDifferentialRows[] = {RegulatorChild::fcSupplyPressure, RegulatorChild::fcReturnPressure,
                                    RegulatorChild::fcRegulatorDrop,  RegulatorChild::fcSectionDrop,
                                    RegulatorChild::fcLossesBefore,   RegulatorChild::fcLossesAfter};
const qint16 kPressureRows[] = {MdiChild::fcP1, MdiChild::fcP2, MdiChild::fcPressureDrop};

// The rows whose sub-label is the pressure unit.
const qint16 kUnitSubLabels[] = {MdiChild::fcP2,
                                 MdiChild::fcPressureDrop,
                                 RegulatorChild::fcReturnPressure,
                                 RegulatorChild::fcRegulatorDrop,
                                 RegulatorChild::fcSectionDrop,
                                 RegulatorChild::fcLossesBefore,
                                 RegulatorChild::fcLossesAfter};

} // namespace

RegulatorChild::RegulatorChild(const Doc* data) : SelectionChild(data, docRegulator)
{
    setupLayout();
    fillControls();
    setInputEnabled(fcPressureDrop, false);
    setInputEnabled(fcLossesAfter, false);
    connectControls(true);
    applyToControls();
}

QLayout* RegulatorChild::createInputArea()
{
    auto* grid = new QGridLayout();
    m_inputGrid = grid;
    const int span = inputColumnCount();

    addSectionHeader(grid, QStringLiteral("Входные данные"), span);

    addApplicationSection(grid, span);
    addComboRow(grid, fcRegulatorFunction, QStringLiteral("Регулирование"));
    addComboRow(grid, fcInstallPlace, QStringLiteral("Место установки"));

    addSectionHeader(grid, QStringLiteral("Давление"), span, true);
    addPressureKindRow(grid);
    // The unit combo stands on the first pressure row of the task (updateVisibility).
    addDoubleRow(grid, fcP1, QStringLiteral("Перед регулятором|P1"));
    addDoubleRowWithSubLabel(grid, fcP2, QStringLiteral("После регулятора|P2"), QString());
    addDoubleRowWithSubLabel(grid, fcPressureDrop,
                             QStringLiteral("Перепад на регуляторе|%1Pрег").arg(deltaSign), QString());
    addDoubleRowWithUnit(grid, fcSupplyPressure, QStringLiteral("Подающий трубопровод на вводе|Pпод"),
                         fcPressureUnit);
    addDoubleRowWithSubLabel(grid, fcReturnPressure, QStringLiteral("Обратный трубопровод на вводе|Pобр"),
                             QString());
    addDoubleRowWithSubLabel(
        grid, fcSectionDrop,
        QStringLiteral("Перепад, поддерживаемый на регулируемом участке,|%1Pру").arg(deltaSign), QString());
    addDoubleRowWithSubLabel(grid, fcRegulatorDrop,
                             QStringLiteral("Перепад на регуляторе|%1Pрег").arg(deltaSign), QString());
    addDoubleRowWithSubLabel(grid, fcLossesBefore,
                             QStringLiteral("Потери на другом оборудовании <b><i>до</i></b> регулируемого "
                                            "участка (расходомеры, фильтры, грязевики и пр.)|%1Pдр.под")
                                 .arg(deltaSign),
                             QString());
    addDoubleRowWithSubLabel(grid, fcLossesAfter,
                             QStringLiteral("Потери на другом оборудовании <b><i>после</i></b> регулируемого "
                                            "участка (расходомеры, фильтры, грязевики и пр.)|%1Pдр.обр")
                                 .arg(deltaSign),
                             QString());

    addTemperatureSection(grid, span, QStringLiteral("Температура рабочей среды"),
                          QStringLiteral("Подающий трубопровод|Tпод"));

    addFlowSection(grid, span);

    fitCaptionColumn(grid, 280);
    grid->setRowStretch(nextRow(grid), 100);
    grid->setContentsMargins(0, 0, 0, 0);
    return grid;
}

int RegulatorChild::regulation() const
{
    return intComboValue(fcRegulatorFunction, -1);
}

DeviceType RegulatorChild::deviceType() const
{
    return DeviceType(inputFromControls().deviceType());
}

int RegulatorChild::resultColumnCount() const
{
    return isLiquidMedium() ? 3 : 1;
}

bool RegulatorChild::hasSupplyTemperature() const
{
    return regulation() == rtDiffPressure || intComboValue(fcInstallPlace, 0) == ipSupply;
}

bool RegulatorChild::hasReturnTemperature() const
{
    return regulation() == rtDiffPressure || intComboValue(fcInstallPlace, 0) != ipSupply;
}

bool RegulatorChild::usePhaseLimits() const
{
    const QList<qint16> given = regulation() == rtDiffPressure
                                    ? QList<qint16>{fcSupplyPressure, fcReturnPressure, fcRegulatorDrop}
                                    : QList<qint16>{fcP1, fcP2};
    for (qint16 code : given)
        if (tolerance::isZero(doubleValue(code)))
            return false;
    // Pressures in no known unit are not given either.
    const RegulatorInputParams input = inputFromControls();
    return input.choicesWithinTables() && input.PafterAbsInPa() >= tolerance::epsilon;
}

const RegulatorResultItem* RegulatorChild::chosenRegulator() const
{
    return candidateAt(m_algorithm.results(), chosenIndex());
}

const ResultItem* RegulatorChild::candidate(int index) const
{
    return candidateAt(m_algorithm.results(), index);
}

RegulatorInputParams RegulatorChild::inputFromControls() const
{
    RegulatorInputParams input;
    fillCommonInputs(input);
    input.P1 = doubleValue(fcP1);
    input.P2 = doubleValue(fcP2);
    input.dPregulator = doubleValue(fcPressureDrop);
    input.regulation = regulation();
    input.Psupply = doubleValue(fcSupplyPressure);
    input.Preturn = doubleValue(fcReturnPressure);
    input.dPreg = doubleValue(fcRegulatorDrop);
    input.dPru = doubleValue(fcSectionDrop);
    input.dPdrSupply = doubleValue(fcLossesBefore);
    input.dPdrReturn = doubleValue(fcLossesAfter);
    return input;
}

void RegulatorChild::updateRegType()
{
    const QList<int> allowed =
        isLiquidMedium() ? QList<int>{rtDiffPressure, rtUpstream, rtDownstream} : QList<int>{rtDownstream};
    ctrl<QSmartComboBox>(fcRegulatorFunction)->filterItems(allowed);
}

void RegulatorChild::updateInstallPlace()
{
    const int task = regulation();
    if (task != rtDiffPressure) {
        ctrl<RadioArea>(fcFlowMode)->setCheckedId(InputParams::flowGivenDirectly);
        // Pressure before the regulator is kept in the return pipe, after it
        // in the supply pipe.
        ctrl<QSmartComboBox>(fcInstallPlace)->setCurrentByData(int(task == rtUpstream ? ipReturn : ipSupply));
    }
    ctrl<RadioArea>(fcFlowMode)
        ->setItemEnabled(InputParams::flowFromHeatLoad, task == rtDiffPressure,
                         InputParams::flowGivenDirectly);
}

void RegulatorChild::updateVisibility()
{
    updateTemperatureRows();
    const bool differential = regulation() == rtDiffPressure;
    setInputEnabled(fcInstallPlace, differential);
    for (qint16 code : kPressureRows)
        setInputVisible(code, !differential);
    for (qint16 code : kDifferentialRows)
        setInputVisible(code, differential);
    moveUnitCombo(differential ? qint16(fcSupplyPressure) : qint16(fcP1));
}

void RegulatorChild::moveUnitCombo(qint16 code)
{
    QWidget* unit = control(fcPressureUnit);
    QWidget* row = control(code);
    if (!GEH_ASSERT(unit && row && m_inputGrid))
        return;
    int target = 0;
    int current = 0;
    int column = 0;
    int span = 0;
    m_inputGrid->getItemPosition(m_inputGrid->indexOf(row), &target, &column, &span, &span);
    m_inputGrid->getItemPosition(m_inputGrid->indexOf(unit), &current, &column, &span, &span);
    if (current == target)
        return;
    m_inputGrid->removeWidget(unit);
    m_inputGrid->addWidget(unit, target, 3);
}

double RegulatorChild::lossesRest() const
{
    const double supply = doubleValue(fcSupplyPressure);
    const double ret = doubleValue(fcReturnPressure);
    const double regulator = doubleValue(fcRegulatorDrop);
    const double section = doubleValue(fcSectionDrop);
    for (double v : {supply, ret, regulator, section})
        if (tolerance::isZero(v))
            return std::nan("");
    return supply - ret - regulator - section;
}

void RegulatorChild::updateDp()
{
    showDerivedValue(ctrl<QDoubleSpinBox>(fcPressureDrop), doubleValue(fcP1) - doubleValue(fcP2));

    auto* before = ctrl<QDoubleSpinBox>(fcLossesBefore);
    auto* after = ctrl<QDoubleSpinBox>(fcLossesAfter);
    // The loss being edited now is the user's.
    if (before->hasFocus())
        m_typedLoss = fcLossesBefore;
    else if (after->hasFocus())
        m_typedLoss = fcLossesAfter;

    // The losses are balanced only while the user edits the differential scheme.
    bool editing = false;
    for (qint16 code : kDifferentialRows)
        editing = editing || control(code)->hasFocus();
    if (!editing)
        return;

    const double rest = lossesRest();
    if (std::isnan(rest) || tolerance::equal(before->value() + after->value(), rest))
        return;
    if (m_typedLoss == 0) {
        // Half of the rest may not be a value of two decimals: the losses after
        // the section take what the losses before it leave, so the drops add up.
        before->setValue(rest / 2);
        after->setValue(rest - before->value());
        return;
    }
    QDoubleSpinBox* typed = m_typedLoss == fcLossesBefore ? before : after;
    QDoubleSpinBox* other = typed == before ? after : before;
    const double left = rest - typed->value();
    // No loss is negative: the typed one is kept as the user typed it, and the
    // calculation refuses the drops that do not add up.
    if (tolerance::less(left, 0))
        return;
    other->setValue(left);
}

void RegulatorChild::applyResultFields(const Doc& stored, QMap<DocKey, Doc::FieldRepair>& repaired,
                                       UnusableValues& unusable)
{
    // The losses of a document saved before the user typed one are the two
    // halves of the rest, as the box shows a half.
    const double rest = lossesRest();
    auto* before = ctrl<QDoubleSpinBox>(fcLossesBefore);
    const double half = 0.5 * std::pow(10.0, -before->decimals());
    if (regulation() == rtDiffPressure && !std::isnan(rest) && std::fabs(before->value() - rest / 2) > half)
        m_typedLoss = fcLossesBefore;
    SelectionChild::applyResultFields(stored, repaired, unusable);
}

void RegulatorChild::updatePressureMeasure()
{
    const QString unit = ctrl<QComboBox>(fcPressureUnit)->currentText();
    for (qint16 code : kUnitSubLabels)
        if (QLabel* sub = subLabel(code))
            sub->setText(unit);
    limitTemperature(inputFromControls());
}

void RegulatorChild::updateInputRows()
{
    const SignalsPaused paused(this);
    updateConcentrationRow();
    updateRegType();
    updateInstallPlace();
    updateVisibility();
    updateDp();
    updateFlowUnits();
    updatePressureMeasure();
    RegulatorInputParams fresh = inputFromControls();
    updateHeatLoadRows(fresh);
}

bool RegulatorChild::calculate()
{
    m_input = inputFromControls();
    return m_algorithm.calc(m_input);
}

QStringList RegulatorChild::ratingCells(const RegulatorResultItem& item) const
{
    return resultColumnCount() == 1 ? QStringList() : riskCells(item);
}

void RegulatorChild::addResults(QGridLayout* grid)
{
    QGridLayout* details = addDetailsGrid(grid);
    const SubstanceProperties medium = m_algorithm.substanceProperties();
    if (medium.isLiquid())
        addDensity(details);
    addKv(details);
    if (medium.is(stWater))
        addSaturationPressure(details, QStringLiteral("в регуляторе"));

    QStringList columns{QStringLiteral("Регулятор")};
    if (resultColumnCount() > 1)
        columns << QStringLiteral("Вероятность кавитации в\nрегуляторе")
                << QStringLiteral("Вероятность шума и вибрации в регуляторе");
    addCandidateHeader(grid, columns);

    const QList<RegulatorResultItem>& items = m_algorithm.results();
    setExplanations(m_algorithm.explanations());
    QList<QPair<QString, int>> proposed;
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).rejected)
            continue;
        addCandidateRow(grid, i, items.at(i), false, ratingCells(items.at(i)));
        proposed.append({items.at(i).name(true), i});
    }
    if (rejectedMode()) {
        addRejectedHeader(grid);
        for (int i = 0; i < items.size(); ++i)
            if (items.at(i).rejected)
                addCandidateRow(grid, i, items.at(i), false, ratingCells(items.at(i)));
    }
    addResultNotes(grid);

    addChoice(grid, QStringLiteral("Регулятор"), proposed);

    results().addBlankRow(grid);
    addDimensions(grid);
}

void RegulatorChild::showPdf()
{
    if (!checkChoice(QStringLiteral("Необходимо выбрать устройство")))
        return;
    if (const std::unique_ptr<PdfGenerator> report = writtenReport())
        report->openPdf();
}

std::unique_ptr<PdfGenerator> RegulatorChild::writtenReport() const
{
    const RegulatorResultItem* regulator = chosenRegulator();
    if (!regulator || !choiceComplete())
        return nullptr;
    RegulatorReport report;
    report.input = m_algorithm.regulatorInput();
    report.item = *regulator;
    report.position = positionMark();
    if (pipeArea())
        report.pipes = pipeArea()->selections();
    auto generator = std::make_unique<RegulatorPdfGenerator>(deviceType());
    generator->write(report);
    return generator;
}
