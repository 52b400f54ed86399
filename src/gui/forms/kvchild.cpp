#include "forms/kvchild.h"
#include "vocabulary/symbols.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace common;

KvChild::KvChild(const Doc* data) : HydraulicTaskChild(data, docKv)
{
    setupLayout();
    fillControls();
    connectControls(true);
    applyToControls();
}

QLayout* KvChild::createInputArea()
{
    QGridLayout* grid = createValveInputGrid(QStringLiteral("Температура рабочей среды в клапане|T"));
    // The Kv of a valve needs neither the application details nor a second
    // temperature; the flow is always given directly.
    const QVector<qint16> hidden{fcObjectName,        fcSystem,        Doc::fcDeviceType, fcInstallPlace,
                                 fcReturnTemperature, fcRegulatedDrop, fcFlowMode,        fcHeatLoad,
                                 fcHeatUnit};
    for (qint16 code : hidden)
        setInputVisible(code, false);
    return grid;
}

bool KvChild::usePhaseLimits() const
{
    return valvePressuresGiven();
}

QString KvChild::copyText() const
{
    return QString::number(m_algorithm.kvsMath(), 'f', 2);
}

KvInputParams KvChild::inputFromControls() const
{
    KvInputParams input;
    fillCommonInputs(input);
    input.P1 = doubleValue(fcP1);
    input.P2 = doubleValue(fcP2);
    input.dP = doubleValue(fcPressureDrop);
    return input;
}

void KvChild::updatePressureMeasure()
{
    const QString unit = ctrl<QComboBox>(fcPressureUnit)->currentText();
    for (qint16 code : {qint16(fcP2), qint16(fcPressureDrop)})
        if (QLabel* sub = subLabel(code))
            sub->setText(unit);
    limitTemperature(inputFromControls());
}

void KvChild::updateDiffs()
{
    const SignalsPaused paused(this);
    ctrl<QDoubleSpinBox>(fcPressureDrop)->setValue(doubleValue(fcP1) - doubleValue(fcP2));
}

void KvChild::updateWaterFlowSet()
{
}

void KvChild::recalc()
{
    {
        const SignalsPaused paused(this);
        updateFlowUnits();
        updateConcentrationRow();
        updatePressureMeasure();
        updateTemperatureRows();
        KvInputParams input = inputFromControls();
        updateHeatLoadRows(input);
        updateDiffs();
    }
    results().clearResults();

    m_input = inputFromControls();
    QGridLayout* grid = results().createResultsGrid();
    // Nothing is computed from a value the task does not allow.
    if (refuseOutOfRange(grid)) {
    } else if (m_algorithm.calc(m_input)) {
        results().addResultValueRow(grid, 0, QStringLiteral("Расчётный Kv"),
                                    QStringLiteral("м%1/ч").arg(common::cubedSign), m_algorithm.kvsMath(), 2);
        QPushButton* copy = createCopyButton(QStringLiteral("Копировать значение"));
        grid->addWidget(copy, nextRow(grid), 0);
    } else {
        // The calculation's own message stands in for the result.
        results().addFailure(grid, m_algorithm.errorText(), emptyInputs());
    }
    results().finishResultsGrid(grid);
}
