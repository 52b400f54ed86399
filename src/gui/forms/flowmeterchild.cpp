#include "forms/flowmeterchild.h"

#include "engine/algorithm.h"
#include "framework/radioarea.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace common;
using namespace configurators;

bool FlowMeterChild::SelectionState::operator==(const SelectionState& other) const
{
    return type == other.type && dn == other.dn && form == other.form && beams == other.beams &&
           series == other.series;
}

FlowMeterChild::FlowMeterChild(const Doc* data) : MdiChild(data, docFlowMeter)
{
    setupLayout();
    fillControls(lmfOptionItems());
    keepColumnWidths();
    connectControls(true);
    applyToControls();
    // A document read from a file keeps the pulse weight it was saved with: the
    // choices that select the weight have not been changed yet. A new document
    // takes the factory value at its first calculation.
    if (!doc().isEmpty())
        m_lastState = selectionState();
}

QLayout* FlowMeterChild::createInputArea()
{
    auto* grid = new QGridLayout();
    const int span = inputColumnCount();
    const QMap<qint16, LmfItems>& items = lmfOptionItems();

    addSectionHeader(grid, QStringLiteral("Входные данные"), span);
    addSectionHeader(grid, QStringLiteral("Параметры"), span, true);

    addComboRow(grid, lfType, QStringLiteral("Тип расходомера"));
    RadioArea* beams = addRadioRow(grid, lfBeamCount, QStringLiteral("Схема зондирования"), 1);
    for (const auto& item : items.value(lfBeamCount))
        beams->addItem(item.first, item.second);
    m_dnNote = addInfoRow(grid, QString(), Qt::blue);

    addComboRow(grid, lfForm, QStringLiteral("Форма"));
    addComboRow(grid, lfConnection, QStringLiteral("Соединение"));
    addComboRow(grid, lfDiameter, QStringLiteral("Диаметр"))->setMinimumWidth(250);
    RadioArea* steel = addRadioRow(grid, lfSteel, QStringLiteral("Сталь"), 2);
    for (const auto& item : items.value(lfSteel))
        steel->addItem(item.first, item.second);
    addCheckRow(grid, lfStainless, QStringLiteral("Нержавеющая сталь"));
    addCheckRow(grid, lfHighTemperature, QStringLiteral("Высокотемпературный"));
    addComboRow(grid, lfFettleMaterial, QStringLiteral("Материал футеровки"));
    addComboRow(grid, lfElectrodeMaterial, QStringLiteral("Материал электродов"));
    addComboRow(grid, lfPressure, QStringLiteral("Номинальное давление"), QStringLiteral("МПа"));
    addComboRow(grid, lfProtection, QStringLiteral("Степень защиты"));
    addComboRow(grid, lfTemperatureType, QStringLiteral("Температурное исполнение"));
    addComboRow(grid, lfSeries, QStringLiteral("Серия"));
    addCheckRow(grid, lfIndication, QStringLiteral("Модуль индикации"));
    addCheckRow(grid, lfCurrentOutput, QStringLiteral("Токовый выход 4-20 мА"));
    addComboRow(grid, lfInterface, QStringLiteral("Интерфейс"));
    addComboRow(grid, lfAllowableError, QStringLiteral("Погрешность"), QStringLiteral("%"));
    addCheckRow(grid, lfStandardPulseWeight, QStringLiteral("Стандартный вес выходного\nимпульса"))
        ->setChecked(true);
    m_pulseWeightNote = addInfoRow(grid, QString(), Qt::blue);
    addDoubleRowWithSubLabel(grid, lfPulseWeight, QStringLiteral("Вес выходного импульса"),
                             QStringLiteral("л/имп."))
        ->setDecimals(3);
    addComboRow(grid, lfMPulseWeight, QStringLiteral("Вес выходного импульса"), QStringLiteral("л/имп."));
    addComboRow(grid, lfSupplyVoltage, QStringLiteral("Напряжение питания"));

    fitCaptionColumn(grid, 215);
    grid->setRowStretch(nextRow(grid), 100);
    grid->setContentsMargins(0, 0, 0, 0);
    return grid;
}

// The two measuring principles and the two beam counts show different rows,
// whose captions and options differ in length. Sized by the rows shown, the
// caption and option columns would change width with the principle and move
// every control sideways; instead they take the widths of the longest caption
// and the longest option of any row, measured while every option is listed.
void FlowMeterChild::keepColumnWidths()
{
    int captionWidth = 0;
    int optionWidth = 0;
    const QList<DocKey> keys = controlKeys();
    for (const DocKey& key : keys) {
        if (QLabel* caption = label(key))
            captionWidth = qMax(captionWidth, caption->sizeHint().width());
        if (auto* combo = qobject_cast<QComboBox*>(control(key)))
            optionWidth = qMax(optionWidth, combo->sizeHint().width());
    }
    for (const DocKey& key : keys) {
        if (QLabel* caption = label(key))
            caption->setMinimumWidth(captionWidth);
        if (auto* combo = qobject_cast<QComboBox*>(control(key)))
            combo->setMinimumWidth(qMax(optionWidth, combo->minimumWidth()));
    }
}

// ---------------------------------------------------------------------------
// Reading the choices

bool FlowMeterChild::isChecked(qint16 field) const
{
    return intValue(field) == 1;
}

QComboBox* FlowMeterChild::lmfFormCombo() const
{
    return ctrl<QComboBox>(lfForm);
}

FlowMeterChoice FlowMeterChild::choice() const
{
    FlowMeterChoice choice;
    for (const DocKey& key : controlKeys()) {
        if (key.fieldCode == lfPulseWeight)
            choice.pulseWeight = doubleValue(key);
        else
            choice.set(LmfField(key.fieldCode), intValue(key));
    }
    return choice;
}

FlowMeterChild::SelectionState FlowMeterChild::selectionState() const
{
    SelectionState state;
    state.type = intComboValue(lfType, -1);
    state.dn = intComboValue(lfDiameter, vdnEmpty);
    state.form = intComboValue(lfForm, -1);
    state.beams = intValue(lfBeamCount);
    state.series = intComboValue(lfSeries, -1);
    return state;
}

void FlowMeterChild::filter(LmfField field)
{
    if (auto* combo = ctrl<QSmartComboBox>(field))
        combo->filterItems(offeredOptions(choice(), field));
}

// ---------------------------------------------------------------------------
// The rules

void FlowMeterChild::applyOptionRules()
{
    const FlowMeterChoice chosen = choice();
    for (const DocKey& key : controlKeys())
        setInputVisible(key, isRowShown(chosen, LmfField(key.fieldCode)));
    m_dnNote->setVisible(chosen.isUltrasonic());
    m_dnNote->setText(diameterRangeNote(chosen));

    // Each list depends on the choices left standing by the lists before it.
    for (LmfField field : {lfForm, lfConnection, lfDiameter, lfPressure, lfProtection, lfSeries})
        filter(field);
    for (LmfField field : {lfIndication, lfCurrentOutput}) {
        const std::optional<bool> forced = forcedCheck(choice(), field);
        setInputEnabled(field, !forced);
        if (forced)
            if (auto* check = ctrl<QCheckBox>(field))
                check->setChecked(*forced);
    }
    for (LmfField field : {lfInterface, lfAllowableError, lfSupplyVoltage})
        filter(field);
}

void FlowMeterChild::applyPulseWeightRules()
{
    const SelectionState state = selectionState();
    const bool changed = state != m_lastState;
    const bool standard = isChecked(lfStandardPulseWeight);
    const FlowMeterChoice chosen = choice();

    m_range = LmfPulseWeightRange();
    if (chosen.isUltrasonic()) {
        m_range = rangeU();
        if (auto* weight = ctrl<QDoubleSpinBox>(lfPulseWeight)) {
            weight->setRange(m_range.minimum, m_range.maximum);
            // "Стандартный вес" means the factory weight, whatever was typed before.
            if (changed || standard)
                weight->setValue(m_range.factory);
            weight->setEnabled(!standard);
        }
        const QString note = pulseWeightNote(chosen, m_range);
        m_pulseWeightNote->setText(note);
        m_pulseWeightNote->setVisible(!standard && !note.isEmpty());
    } else {
        m_pulseWeightNote->hide();
        filter(lfMPulseWeight);
        if (changed)
            if (auto* weight = ctrl<QSmartComboBox>(lfMPulseWeight))
                weight->setCurrentByData(defaultMPulseWeight(chosen));
    }
}

LmfPulseWeightRange FlowMeterChild::pulseWeightRange(int dn, int form, int series) const
{
    return lmfPulseWeightRange(dn, form, series);
}

LmfPulseWeightRange FlowMeterChild::rangeU() const
{
    const FlowMeterChoice chosen = choice();
    if (!QList<int>{fmStraight, fmNarrowed, fmCross}.contains(chosen.form)) {
        // Only a form not yet chosen may be missing here.
        GEH_ASSERT(lmfFormCombo()->currentIndex() == -1);
        return LmfPulseWeightRange();
    }
    return configurators::rangeU(
        chosen, [this](int dn, int form, int series) { return pulseWeightRange(dn, form, series); });
}

// ---------------------------------------------------------------------------
// The results

QComboBox* FlowMeterChild::firstMissingChoice() const
{
    // The registry is ordered by field code.
    for (const DocKey& key : controlKeys()) {
        if (!Doc::isCombo(key.fieldCode))
            continue;
        auto* combo = qobject_cast<QComboBox*>(control(key));
        if (combo && !combo->isHidden() && combo->currentIndex() < 0)
            return combo;
    }
    return nullptr;
}

void FlowMeterChild::recalc()
{
    {
        // The rules adjust the options and the weight: no modification.
        const SignalsPaused paused(this);
        applyOptionRules();
        applyPulseWeightRules();
        m_lastState = selectionState();
    }
    results().clearResults();

    m_designation.clear();
    QGridLayout* grid = results().createResultsGrid();
    if (firstMissingChoice()) {
        results().addResultsHeader(grid, Algorithm::emptyFieldsMessage(), true);
    } else if (choice().isUltrasonic() && m_range.maximum == 0) {
        results()
            .addResultsHeader(
                grid,
                QStringLiteral("Не удалось определить диапазон веса импульса. Вероятно, ошибка в "
                               "программе. Обратитесь к разработчику."),
                true)
            ->setWordWrap(true);
    } else {
        m_designation = flowMeterDesignation(choice());
        QLabel* text = results().addResultsHeader(grid, m_designation, true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QPushButton* copy = createCopyButton(QStringLiteral("Копировать наименование устройства"));
        grid->addWidget(copy, nextRow(grid), 0, Qt::AlignCenter);
    }
    results().finishResultsGrid(grid);
}
