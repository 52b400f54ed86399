#include "forms/flowmeterchild.h"

#include "engine/algorithm.h"
#include "framework/radioarea.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"

#include <QCheckBox>
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
    if (!doc().isEmpty()) {
        m_lastState = selectionState();
        m_openWeightType = openWeightType();
    }
}

QLayout* FlowMeterChild::createInputArea()
{
    auto* grid = new QGridLayout();
    const int span = inputColumnCount();
    const QMap<qint16, LmfItems>& items = lmfOptionItems();

    addSectionHeader(grid, QStringLiteral("Входные данные"), span);
    addSectionHeader(grid, QStringLiteral("Параметры"), span, true);
    addPositionRow(grid);

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
        ->setDecimals(pulseWeightDecimals);
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
    const bool changed = selectionState() != m_lastState;
    const bool standard = isChecked(lfStandardPulseWeight);
    const FlowMeterChoice chosen = choice();

    m_range = LmfPulseWeightRange();
    if (chosen.isUltrasonic()) {
        m_range = rangeU();
        followUltrasonicWeight(m_range, changed, standard);
        const QString note = pulseWeightNote(chosen, m_range);
        m_pulseWeightNote->setText(note);
        m_pulseWeightNote->setVisible(!standard && !note.isEmpty());
    } else {
        m_pulseWeightNote->hide();
        followElectromagneticWeight(chosen, changed);
    }
}

int FlowMeterChild::openWeightType() const
{
    const int type = intComboValue(lfType, -1);
    if (type == ltUltrasonic && isChecked(lfStandardPulseWeight))
        return -1;
    return type;
}

void FlowMeterChild::followUltrasonicWeight(const LmfPulseWeightRange& range, bool changed, bool standard)
{
    auto* weight = ctrl<QSmartDoubleSpinBox>(lfPulseWeight);
    if (!weight)
        return;
    // Before a diameter and a form are chosen no weight is ruled out.
    if (range.isEmpty())
        weight->setAllowedRange(0, QSmartDoubleSpinBox::typedLimit);
    else
        weight->setAllowedRange(range.minimum, range.maximum);
    weight->setEnabled(!standard);
    // "Стандартный вес" is the factory weight, whatever was typed before; the
    // user asked for it, so it follows the choices without a word.
    if (standard) {
        weight->setValue(range.factory);
        return;
    }
    // A weight typed outside the range stays, marked, and the designation is
    // refused with the range: the user corrects it. Only new choices that rule
    // out the weight replace it.
    if (!changed)
        return;
    const double before = weight->value();
    const double after = followedPulseWeight(before, range);
    weight->setValue(after);
    if (m_openWeightType == ltUltrasonic)
        m_weightChange = pulseWeightChangeNote(before, weight->value(), range);
}

void FlowMeterChild::followElectromagneticWeight(const FlowMeterChoice& chosen, bool changed)
{
    const int before = intComboValue(lfMPulseWeight, -1);
    filter(lfMPulseWeight);
    auto* weight = ctrl<QSmartComboBox>(lfMPulseWeight);
    if (!changed || !weight)
        return;
    FlowMeterChoice held = chosen;
    held.mPulseWeight = before;
    const int after = followedMPulseWeight(held);
    weight->setCurrentByData(after);
    // Before a diameter is chosen the weight is a stand-in that no designation
    // has carried yet: only a weight chosen for a diameter is told of.
    if (m_openWeightType == ltElectromagnetic && m_lastState.dn != vdnEmpty)
        m_weightChange = mPulseWeightChangeNote(before, after, chosen);
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
        m_weightChange.clear();
        applyOptionRules();
        applyPulseWeightRules();
        m_lastState = selectionState();
        m_openWeightType = openWeightType();
    }
    results().clearResults();

    m_designation.clear();
    QGridLayout* grid = results().createResultsGrid();
    // Nothing is designated from a weight the meter cannot be set to.
    if (refuseOutOfRange(grid)) {
    } else if (firstMissingChoice()) {
        results().addFailure(grid, Algorithm::emptyFieldsMessage(), emptyInputs());
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
        QLabel* text = results().addDesignationHeader(grid, m_designation);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        addWeightChangeNote(grid);
        QPushButton* copy = createCopyButton(QStringLiteral("Копировать наименование устройства"));
        grid->addWidget(copy, nextRow(grid), 0, Qt::AlignCenter);
    }
    addWeightChangeNote(grid);
    results().finishResultsGrid(grid);
}

void FlowMeterChild::addWeightChangeNote(QGridLayout* grid)
{
    if (m_weightChange.isEmpty())
        return;
    results().noteChange(m_weightChange);
    results().addChangeNotes(grid);
    m_weightChange.clear();
}
