#include "forms/flowmeterchild.h"

#include "framework/radioarea.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include <algorithm>
#include <initializer_list>

using namespace common;

namespace {

bool isOneOf(int value, std::initializer_list<int> values)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

// The shortest decimal form of a number ("0.015", "12.5", "100").
QString shortestText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

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
    if (!m_doc.isEmpty())
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

void FlowMeterChild::setChecked(qint16 field, bool on)
{
    if (auto* check = ctrl<QCheckBox>(field))
        check->setChecked(on);
}

bool FlowMeterChild::isUltrasonic() const
{
    return intComboValue(lfType, -1) == ltUltrasonic;
}

// The beam count belongs to the ultrasonic meters only.
bool FlowMeterChild::isTwoBeam() const
{
    return isUltrasonic() && intValue(lfBeamCount) == 2;
}

QComboBox* FlowMeterChild::lmfFormCombo() const
{
    return ctrl<QComboBox>(lfForm);
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

void FlowMeterChild::filter(qint16 field, const QList<int>& allowed)
{
    if (auto* combo = ctrl<QSmartComboBox>(field))
        combo->filterItems(allowed);
}

// ---------------------------------------------------------------------------
// The rules

void FlowMeterChild::applyOptionRules()
{
    const int type = intComboValue(lfType, -1);
    const bool ultrasonic = type == ltUltrasonic;
    const bool electromagnetic = type == ltElectromagnetic;
    const bool twoBeam = isTwoBeam();

    // Beams and the diameter range they give: ultrasonic meters only.
    setInputVisible(lfBeamCount, ultrasonic);
    m_dnNote->setVisible(ultrasonic);
    m_dnNote->setText(intValue(lfBeamCount) == 2
                          ? QStringLiteral("Диапазон диаметров для двухлучевых счетчиков -\n50-2000 мм")
                          : QStringLiteral("Диапазон диаметров для однолучевых счетчиков -\n15-600 мм"));

    // Body forms: a two-beam meter is made as a straight pipe only.
    setInputVisible(lfForm, ultrasonic);
    QList<int> forms{fmStraight};
    if (!twoBeam)
        forms << fmNarrowed << fmCross;
    filter(lfForm, forms);
    const int form = intComboValue(lfForm, -1);

    // Connections: weld-on for straight ultrasonic pipes, threads for the
    // electromagnetic and the narrowed ultrasonic bodies, wafer bodies for the
    // electromagnetic meters.
    QList<int> connections{ctFlanged};
    if (ultrasonic && form == fmStraight)
        connections << ctWeldOn;
    if (electromagnetic || (ultrasonic && form == fmNarrowed))
        connections << ctThreaded;
    if (electromagnetic)
        connections << ctWafer;
    filter(lfConnection, connections);
    const int connection = intComboValue(lfConnection, -1);

    // Diameters, from the standard DN series unless threaded.
    QVector<int> diameters;
    if (connection == ctThreaded) {
        diameters = lmfThreadDns();
    } else if (ultrasonic) {
        if (form == fmCross)
            diameters = {vdn50x1, vdn50x2};
        else if (form == fmNarrowed)
            diameters = lmfStandardDns(15, 100);
        else if (form == fmStraight && connection == ctWeldOn)
            diameters = lmfStandardDns(200, twoBeam ? 2000 : 600);
        else if (form == fmStraight)
            diameters = twoBeam ? lmfStandardDns(50, 2000) : lmfStandardDns(40, 600);
    } else if (electromagnetic) {
        diameters = lmfStandardDns(15, connection == ctWafer ? 100 : 200);
    }
    filter(lfDiameter, diameters.toList());
    const int effectiveDn = lmfEffectiveDn(intComboValue(lfDiameter, vdnEmpty));

    // Rows of one principle only.
    setInputVisible(lfSteel, ultrasonic);
    setInputVisible(lfStainless, electromagnetic);
    setInputVisible(lfFettleMaterial, electromagnetic);
    setInputVisible(lfElectrodeMaterial, electromagnetic);
    setInputVisible(lfHighTemperature, twoBeam);
    setInputVisible(lfTemperatureType, twoBeam);
    setInputVisible(lfSupplyVoltage, ultrasonic);
    setInputVisible(lfPulseWeight, ultrasonic);
    setInputVisible(lfStandardPulseWeight, ultrasonic);
    setInputVisible(lfMPulseWeight, electromagnetic);

    // Pressure and protection: the smallest ultrasonic bodies are not made for
    // the highest pressures nor for immersion.
    const bool smallUltrasonic = ultrasonic && isOneOf(effectiveDn, {15, 20});
    QList<int> pressures{16, 25};
    if (!smallUltrasonic)
        pressures << 40;
    if (ultrasonic && !smallUltrasonic)
        pressures << 63;
    filter(lfPressure, pressures);
    QList<int> protections;
    if (form != fmStraight)
        protections << 65;
    protections << 67;
    if (!smallUltrasonic)
        protections << 68;
    filter(lfProtection, protections);

    // Series of each principle and beam count.
    QList<int> series{1300, 2300};
    if (electromagnetic)
        series << 1000 << 1100 << 2000 << 2100;
    if (ultrasonic && !twoBeam)
        series << 1301 << 2301;
    if (twoBeam)
        series << 1500 << 2500;
    filter(lfSeries, series);
    const int chosenSeries = intComboValue(lfSeries, -1);
    const bool bSeries = lmfIsBSeries(chosenSeries);

    // The "Б" series always indicate and have no current output; two-beam
    // meters always have one.
    setInputEnabled(lfIndication, !bSeries);
    if (bSeries)
        setChecked(lfIndication, true);
    setInputEnabled(lfCurrentOutput, !twoBeam && !bSeries);
    if (twoBeam)
        setChecked(lfCurrentOutput, true);
    else if (bSeries)
        setChecked(lfCurrentOutput, false);
    const bool indication = isChecked(lfIndication);

    QList<int> interfaces;
    if (electromagnetic || (ultrasonic && !twoBeam && !indication))
        interfaces << 232;
    if (twoBeam || indication)
        interfaces << 485;
    if (electromagnetic && indication)
        interfaces << 500;
    filter(lfInterface, interfaces);

    const bool series1500 = isOneOf(chosenSeries, {1500, 2500});
    QList<int> errors;
    if ((twoBeam && series1500) || (electromagnetic && isOneOf(chosenSeries, {1300, 2300})))
        errors << 5;
    if ((ultrasonic && !bSeries && !(twoBeam && series1500)) ||
        (electromagnetic && isOneOf(chosenSeries, {1100, 2100})))
        errors << 10;
    if ((ultrasonic && !twoBeam) || (electromagnetic && isOneOf(chosenSeries, {1000, 2000})))
        errors << 20;
    filter(lfAllowableError, errors);

    // Supply: mains 24 V unless the meter runs on its own battery.
    if (ultrasonic) {
        QList<int> supplies;
        if (twoBeam || isOneOf(chosenSeries, {1300, 2300}))
            supplies << 2;
        if (bSeries)
            supplies << 1;
        filter(lfSupplyVoltage, supplies);
    }
}

void FlowMeterChild::applyPulseWeightRules()
{
    const SelectionState state = selectionState();
    const bool changed = state != m_lastState;
    const bool standard = isChecked(lfStandardPulseWeight);

    m_range = LmfPulseWeightRange();
    if (isUltrasonic()) {
        m_range = rangeU();
        if (auto* weight = ctrl<QDoubleSpinBox>(lfPulseWeight)) {
            weight->setRange(m_range.minimum, m_range.maximum);
            // "Стандартный вес" means the factory weight, whatever was typed before.
            if (changed || standard)
                weight->setValue(m_range.factory);
            weight->setEnabled(!standard);
        }
        QString note;
        if (!m_range.isEmpty())
            note = QStringLiteral("Допустимы значения от %1 до %2 л/имп.\nЗаводская установка - %3 л/имп.")
                       .arg(shortestText(m_range.minimum), shortestText(m_range.maximum),
                            shortestText(m_range.factory));
        else if (state.dn == vdnEmpty)
            note = QStringLiteral("Укажите, пожалуйста, диаметр");
        else if (state.form == -1)
            note = QStringLiteral("Укажите, пожалуйста, форму");
        m_pulseWeightNote->setText(note);
        m_pulseWeightNote->setVisible(!standard && !note.isEmpty());
    } else {
        m_pulseWeightNote->hide();
        const int effectiveDn = lmfEffectiveDn(state.dn);
        filter(lfMPulseWeight, lmfMPulseWeights(effectiveDn).toList());
        if (changed)
            if (auto* weight = ctrl<QSmartComboBox>(lfMPulseWeight))
                weight->setCurrentByData(lmfDefaultMPulseWeight(effectiveDn));
    }
}

LmfPulseWeightRange FlowMeterChild::pulseWeightRange(int dn, int form, int series) const
{
    return lmfPulseWeightRange(dn, form, series);
}

LmfPulseWeightRange FlowMeterChild::rangeU() const
{
    const int dn = intComboValue(lfDiameter, vdnEmpty);
    const int form = intComboValue(lfForm, -1);
    if (!isOneOf(form, {fmStraight, fmNarrowed, fmCross})) {
        // Only a form not yet chosen may be missing here.
        GEH_ASSERT(lmfFormCombo()->currentIndex() == -1);
        return LmfPulseWeightRange();
    }
    const LmfPulseWeightRange range = pulseWeightRange(dn, form, intComboValue(lfSeries, -1));
    if (range.isEmpty())
        // Every diameter offered to an ultrasonic meter has its row.
        GEH_ASSERT(dn == vdnEmpty);
    return range;
}

// ---------------------------------------------------------------------------
// The designation and the results

QString FlowMeterChild::pulseWeightText(double weight)
{
    QString text = shortestText(weight).replace(QLatin1Char('.'), QLatin1Char(','));
    if (text.size() < 3 && !text.contains(QLatin1Char(',')))
        text += QStringLiteral(",0");
    return text;
}

QString FlowMeterChild::designation() const
{
    const bool ultrasonic = isUltrasonic();
    const bool electromagnetic = intComboValue(lfType, -1) == ltElectromagnetic;
    const bool twoBeam = isTwoBeam();
    const int connection = intComboValue(lfConnection, -1);

    QString text =
        QStringLiteral("Счетчик-расходомер %1 ЛМФ")
            .arg(ultrasonic ? QStringLiteral("ультразвуковой") : QStringLiteral("электромагнитный"));
    // Parts are appended after a hyphen; marks are attached to the part before them.
    const auto append = [&text](const QString& part) { text += QLatin1Char('-') + part; };
    const auto attach = [&text](const QString& mark) { text += mark; };

    append(ultrasonic ? QStringLiteral("У") : QStringLiteral("М"));
    if (twoBeam)
        append(QStringLiteral("2"));
    append(lmfDnName(intComboValue(lfDiameter, vdnEmpty)));
    if (connection == ctWeldOn)
        attach(QStringLiteral("БФ"));
    else if (connection == ctWafer)
        attach(QStringLiteral("С"));
    else if (electromagnetic && connection == ctFlanged)
        attach(QStringLiteral("Ф"));
    if (ultrasonic)
        append(lmfFormName(intComboValue(lfForm, -1), true));
    if ((ultrasonic && intValue(lfSteel) == mtStainless) || (electromagnetic && isChecked(lfStainless)))
        attach(QStringLiteral("нж"));
    if (twoBeam && isChecked(lfHighTemperature))
        attach(QStringLiteral("HT"));
    if (electromagnetic) {
        append(fettleMaterialName(intComboValue(lfFettleMaterial, -1), true));
        append(electrodeMaterialName(intComboValue(lfElectrodeMaterial, -1), true));
    }
    append(QString::number(intComboValue(lfPressure, -1)));
    append(QString::number(intComboValue(lfProtection, -1)));
    if (twoBeam)
        append(lmfTemperatureTypeName(intComboValue(lfTemperatureType, -1), true));
    append(isChecked(lfIndication) ? QStringLiteral("И") : QStringLiteral("О"));
    append(isChecked(lfCurrentOutput) ? QStringLiteral("420") : QStringLiteral("000"));
    append(interfaceName(intComboValue(lfInterface, -1), true));
    append(lmfSeriesName(intComboValue(lfSeries, -1)));
    append(lmfAllowableErrorName(intComboValue(lfAllowableError, -1), true));
    if (electromagnetic)
        append(QString::number(intComboValue(lfMPulseWeight, -1)));
    else
        append(pulseWeightText(doubleValue(lfPulseWeight)));
    if (ultrasonic)
        append(lmfSupplyVoltageName(intComboValue(lfSupplyVoltage, -1), true));
    return text;
}

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
    connectControls(false);
    applyOptionRules();
    applyPulseWeightRules();
    m_lastState = selectionState();
    connectControls(true);
    clearResults();

    m_designation.clear();
    QGridLayout* grid = createResultsGrid();
    if (firstMissingChoice()) {
        addResultsHeader(grid, QStringLiteral("Не заполнены входные данные"), true);
    } else if (isUltrasonic() && m_range.maximum == 0) {
        addResultsHeader(grid,
                         QStringLiteral("Не удалось определить диапазон веса импульса. Вероятно, ошибка в "
                                        "программе. Обратитесь к разработчику."),
                         true)
            ->setWordWrap(true);
    } else {
        m_designation = designation();
        QLabel* text = addResultsHeader(grid, m_designation, true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QPushButton* copy = createCopyButton(QStringLiteral("Копировать наименование устройства"));
        grid->addWidget(copy, nextRow(grid), 0, Qt::AlignCenter);
    }
    finishResultsGrid(grid);
}
