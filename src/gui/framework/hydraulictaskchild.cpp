#include "framework/hydraulictaskchild.h"

#include "engine/algorithm.h"
#include "engine/inputparams.h"
#include "engine/substanceproperties.h"
#include "engine/tolerance.h"
#include "framework/linebreaks.h"
#include "framework/radioarea.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"
#include "vocabulary/displaynumber.h"
#include "vocabulary/symbols.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>

#include <cmath>

using namespace common;

namespace {

const QChar kSuperscriptOne(0x00B9);

} // namespace

HydraulicTaskChild::HydraulicTaskChild(const Doc* data, DocType type) : MdiChild(data, type)
{
    watchForcedChanges();
}

bool HydraulicTaskChild::zeroIsEmpty(const DocKey& key) const
{
    const int medium = intComboValue(fcMedium, -1);
    // A gas may well be at 0 °C; a glycol solution of 0 % is no solution.
    if (key.fieldCode == fcSupplyTemperature || key.fieldCode == fcReturnTemperature)
        return !SubstanceProperties(medium).isGas();
    if (key.fieldCode == fcConcentration)
        return SubstanceProperties(medium).isGlycol();
    return MdiChild::zeroIsEmpty(key);
}

int HydraulicTaskChild::controlSpan() const
{
    return 2;
}

QLabel* HydraulicTaskChild::temperatureHint(int number) const
{
    return number == 1 ? m_temperatureLimits1 : m_temperatureLimits2;
}

bool HydraulicTaskChild::hasSupplyTemperature() const
{
    return true;
}

bool HydraulicTaskChild::hasReturnTemperature() const
{
    return true;
}

bool HydraulicTaskChild::usePhaseLimits() const
{
    return false;
}

void HydraulicTaskChild::updateFlowUnits()
{
    auto* combo = ctrl<QComboBox>(fcFlowUnit);
    if (!combo)
        return;
    const SubstanceProperties medium(intComboValue(fcMedium, -1));
    const bool liquid = medium.isLiquid();

    // A user who changes the medium gets the first unit it takes in place of
    // one it does not take. A document opened with a unit its medium does not
    // take shows no unit: the user is asked for one.
    const int mediumCode = intComboValue(fcMedium, -1);
    const int previousMedium = m_flowUnitsMedium;
    const bool mediumChanged = previousMedium != -2 && previousMedium != mediumCode;
    m_flowUnitsMedium = mediumCode;
    bool currentRemoved = false;
    const auto removeUnit = [combo, &currentRemoved](int unit) {
        const int index = combo->findData(unit);
        if (index < 0)
            return;
        const bool wasCurrent = combo->currentIndex() == index;
        combo->removeItem(index);
        if (wasCurrent) {
            combo->setCurrentIndex(-1);
            currentRemoved = true;
        }
    };

    // Volumes of steam are not offered at all; gases are measured in normal cubic metres.
    if (!medium.isSteam()) {
        const int index = combo->findData(wfM3h);
        if (index < 0)
            combo->insertItem(0, wfMeasureName(wfM3h, liquid), wfM3h);
        else
            combo->setItemText(index, wfMeasureName(wfM3h, liquid));
    } else {
        removeUnit(wfM3h);
    }

    for (int unit : {wfKgs, wfLh, wfLmin, wfLs}) {
        if (liquid) {
            if (combo->findData(unit) < 0)
                combo->addItem(wfMeasureName(WfMeasure(unit), true), unit);
        } else {
            removeUnit(unit);
        }
    }
    // A volume of a liquid read as normal cubic metres of a gas is another flow too.
    const bool volumeChanged = mediumChanged && !currentRemoved && intComboValue(fcFlowUnit, 0) == wfM3h &&
                               SubstanceProperties(previousMedium).isLiquid() != liquid;
    if (currentRemoved && mediumChanged)
        combo->setCurrentIndex(0);
    if ((currentRemoved || volumeChanged) && mediumChanged && combo->currentIndex() >= 0) {
        // The figure was a flow in the unit that went: kept, it would be read as
        // another flow. The user gives it again in the new unit.
        auto* flow = findCtrl<QDoubleSpinBox>(fcFlow);
        const QString unit = combo->currentText();
        explainForcedChange(fcFlowUnit, QStringLiteral("единица расхода стала %1").arg(unit));
        if (flow && !tolerance::isZero(flow->value()) && flow->isEnabled()) {
            flow->setValue(0);
            explainForcedChange(fcFlowUnit, QString());
            explainForcedChange(fcFlow, QStringLiteral("единица расхода стала %1: проверьте G").arg(unit));
        }
    }
}

void HydraulicTaskChild::fillCommonInputs(InputParams& input) const
{
    auto* objectName = ctrl<QSmartTextEdit>(fcObjectName);
    input.objectName = objectName ? objectName->toPlainText() : QString();
    input.system = intComboValue(fcSystem, -1);
    input.substance = intComboValue(fcMedium, -1);
    input.concentration = std::round(doubleValue(fcConcentration));
    input.place = intComboValue(fcInstallPlace, 0);
    input.pressureType = intValue(fcPressureKind);
    input.pressureMeasure = intComboValue(fcPressureUnit, -1);
    input.Tsupply = hasSupplyTemperature() ? doubleValue(fcSupplyTemperature) : NAN;
    input.Treturn = hasReturnTemperature() ? doubleValue(fcReturnTemperature) : NAN;
    input.heatMeasure = intComboValue(fcHeatUnit, 0);
    input.flowInputMode = intValue(fcFlowMode);
    input.flowMeasure = intComboValue(fcFlowUnit, 0);
    input.heatLoad = doubleValue(fcHeatLoad);
    input.flow = doubleValue(fcFlow);
}

void HydraulicTaskChild::addApplicationSection(QGridLayout* grid, int span)
{
    addSectionHeader(grid, QStringLiteral("Применение"), span, true);
    addTextRow(grid, fcObjectName, QStringLiteral("Наименование объекта"));
    addPositionRow(grid);
    addComboRow(grid, fcSystem, QStringLiteral("Система"));
    addComboRow(grid, fcMedium, QStringLiteral("Рабочая среда"));
    addDoubleRowWithSubLabel(grid, fcConcentration, QStringLiteral("Концентрация раствора"),
                             QStringLiteral("%"));
}

void HydraulicTaskChild::addPressureKindRow(QGridLayout* grid)
{
    RadioArea* kind = addRadioRow(grid, fcPressureKind, QString(), 1);
    kind->addItem(QStringLiteral("Избыточное"), pkExcess);
    kind->addItem(QStringLiteral("Абсолютное"), pkAbsolute);
}

void HydraulicTaskChild::addTemperatureSection(QGridLayout* grid, int span, const QString& header,
                                               const QString& supplyTemperatureCaption)
{
    addSectionHeader(grid, header, span, true);
    const QString degrees = degreesCelsius();
    addDoubleRowWithSubLabel(grid, fcSupplyTemperature, supplyTemperatureCaption, degrees);
    addDoubleRowWithSubLabel(grid, fcReturnTemperature, QStringLiteral("Обратный трубопровод|Tобр"), degrees);
    addTemperatureHints(grid);
}

void HydraulicTaskChild::addTemperatureHints(QGridLayout* grid)
{
    m_temperatureLimits1 = addInfoRow(grid, QString(), Qt::blue);
    m_temperatureLimits2 = addInfoRow(grid, QString(), Qt::blue);
    m_temperatureLimits1->setTextFormat(Qt::RichText);
    m_temperatureLimits2->setTextFormat(Qt::RichText);
}

void HydraulicTaskChild::addFlowSection(QGridLayout* grid, int span)
{
    addSectionHeader(grid, QStringLiteral("Максимальный расход рабочей среды"), span, true);
    RadioArea* flowMode = addRadioRow(grid, fcFlowMode, QString(), 2);
    flowMode->addItem(QStringLiteral("Задать напрямую"), InputParams::flowGivenDirectly);
    flowMode->addItem(QStringLiteral("Через расход тепловой энергии"), InputParams::flowFromHeatLoad);
    addDoubleRowWithUnit(grid, fcHeatLoad, QStringLiteral("Тепловая нагрузка|Q"), fcHeatUnit);
    addDoubleRowWithUnit(grid, fcFlow, QStringLiteral("Расход рабочей среды|G"), fcFlowUnit);
}

QGridLayout* HydraulicTaskChild::createValveInputGrid(const QString& supplyTemperatureCaption)
{
    auto* grid = new QGridLayout();
    const int span = inputColumnCount();

    addSectionHeader(grid, QStringLiteral("Входные данные"), span);

    addApplicationSection(grid, span);
    addComboRow(grid, Doc::fcDeviceType, QStringLiteral("Тип клапана"));
    addComboRow(grid, fcInstallPlace, QStringLiteral("Место установки"));

    addSectionHeader(grid, QStringLiteral("Давление"), span, true);
    addPressureKindRow(grid);
    addDoubleRowWithUnit(grid, fcP1, QStringLiteral("Перед клапаном|P1"), fcPressureUnit);
    addDoubleRowWithSubLabel(grid, fcP2, QStringLiteral("После клапана|P2"), QString());
    addDoubleRowWithSubLabel(grid, fcPressureDrop, QStringLiteral("Перепад на клапане|%1P").arg(deltaSign),
                             QString());
    setInputEnabled(fcPressureDrop, false);
    addDoubleRowWithSubLabel(
        grid, fcRegulatedDrop,
        QStringLiteral("Перепад на регулируемом участке после клапана|%1Pру").arg(deltaSign), QString());

    addTemperatureSection(grid, span, QStringLiteral("Температура"), supplyTemperatureCaption);

    addFlowSection(grid, span);

    // The number boxes and the choices take the width their contents need: the
    // rest of the window goes to the results.
    fitCaptionColumn(grid, 215);
    grid->setRowStretch(nextRow(grid), 100);
    grid->setContentsMargins(0, 0, 0, 0);
    return grid;
}

void HydraulicTaskChild::updateTemperatureRows()
{
    const bool saturated = intComboValue(fcMedium, -1) == stSaturatedSteam;
    setInputEnabled(fcSupplyTemperature, !saturated);
    setInputEnabled(fcReturnTemperature, !saturated);
    setInputVisible(fcSupplyTemperature, hasSupplyTemperature());
    setInputVisible(fcReturnTemperature, hasReturnTemperature());
}

void HydraulicTaskChild::updateHeatLoadRows(InputParams& input)
{
    const bool viaHeat = intValue(fcFlowMode) == InputParams::flowFromHeatLoad;
    if (viaHeat)
        recalcQ(input);
    setInputVisible(fcHeatLoad, viaHeat);
    setInputVisible(fcHeatUnit, viaHeat);
    setInputEnabled(fcFlow, !viaHeat);
}

void HydraulicTaskChild::updateConcentrationRow()
{
    setInputVisible(fcConcentration, SubstanceProperties(intComboValue(fcMedium, -1)).isGlycol());
}

bool HydraulicTaskChild::valvePressuresGiven() const
{
    const double p1 = doubleValue(fcP1);
    const double p2 = doubleValue(fcP2);
    const int unit = intComboValue(fcPressureUnit, -1);
    // Pressures in no known unit are not given: no boiling point follows from them.
    if (tolerance::isZero(p1) || tolerance::isZero(p2) || !UnitConversions::isPressureMeasure(unit))
        return false;
    const double atmosphere = intValue(fcPressureKind) == pkAbsolute ? 0 : UnitConversions::atmosphereInPa;
    return !tolerance::isZero(UnitConversions::toPa(p2, unit) + atmosphere);
}

void HydraulicTaskChild::limitTemperature(const InputParams& input)
{
    const int mediumCode = intComboValue(fcMedium, -1);
    const SubstanceProperties medium(mediumCode, doubleValue(fcConcentration));
    const double Tmax = input.maxTemperature();
    const bool phaseLimits = usePhaseLimits();
    const QString degree(degreeSign);
    const QString deviceWord =
        isRegulator(deviceType()) ? QStringLiteral("регулятора") : QStringLiteral("клапана");

    // The pieces of the phase hints: the temperature, the absolute pressure it
    // belongs to in the form's unit, that unit and the device word.
    const auto phaseHint = [&](const QString& text, double T, double pressureAbsInPa) {
        return text.arg(displayNumber(T, 1), degree, displayNumber(input.fromPa(pressureAbsInPa), 2),
                        pressureMeasureName(PressureMeasure(input.pressureMeasure)), deviceWord);
    };
    double lower = 0;
    double upper = Tmax;
    // Why the bounds are where they are, for the user told a value is outside them.
    QString belowReason;
    QString aboveReason =
        deviceType() == dtEmpty ? QString() : QStringLiteral("предел %1").arg(deviceTypeName(deviceType()));
    // Saturated steam is at its saturation temperature: the form sets it.
    bool fixedBySaturation = false;
    QString hint1;
    // A task with a choice not filled in (no medium, no pressure unit) has no
    // phase temperatures yet: the box takes anything up to the device's limit.
    const bool known = input.choicesWithinTables();
    if (known && medium.isLiquid()) {
        const double Tb = medium.saturationTemperature(input.PafterAbsInPa());
        upper = phaseLimits && tolerance::less(Tb, Tmax) ? Tb : Tmax;
        if (phaseLimits && tolerance::less(Tb, Tmax))
            aboveReason = QStringLiteral("температура кипения после %1").arg(deviceWord);
        if (phaseLimits) {
            if (Tb < tolerance::epsilon)
                hint1 = QStringLiteral("Слишком низкое давление рабочей среды");
            else if (tolerance::greater(qMax(input.PbeforeAbsInPa(), input.PafterAbsInPa()),
                                        Algorithm::maxPbeforeAbsInPa))
                hint1 = QStringLiteral("Слишком высокое давление рабочей среды");
            else
                hint1 =
                    phaseHint(QStringLiteral("<i>При <b>абсолютном</b> давлении после %4 %2 %3 температура "
                                             "кипения рабочей среды %0 %1C</i>"),
                              Tb, input.PafterAbsInPa());
        }
    } else if (known && medium.isSteam()) {
        // Steam must stay above the condensation point of water at the inlet.
        const double Ts = SubstanceProperties(stWater, 0).saturationTemperature(input.PbeforeAbsInPa());
        if (mediumCode == stSuperheatedSteam) {
            lower = tolerance::lessOrEqual(Ts + 0.1, Tmax) ? Ts + 0.1 : Tmax;
            upper = Tmax;
            belowReason = QStringLiteral("пар перегретый: выше температуры насыщения при P1");
        } else {
            lower = upper = tolerance::lessOrEqual(Ts, Tmax) ? Ts : Tmax;
            fixedBySaturation = true;
        }
        if (phaseLimits) {
            if (tolerance::greater(Ts, Tmax)) {
                hint1 = QStringLiteral("Слишком высокое давление рабочей среды, температура парообразования "
                                       "превышает %0 %1C")
                            .arg(displayNumber(Tmax, 1), degree);
                lower = upper = Tmax;
            } else if (Ts < tolerance::epsilon) {
                hint1 = QStringLiteral("Слишком низкое давление рабочей среды");
            } else if (tolerance::less(Ts, upper)) {
                // The condensation point belongs to the inlet pressure, and the
                // hint names that pressure: a liquid boils first where the
                // pressure is lowest, steam condenses first where it is highest.
                hint1 = phaseHint(QStringLiteral("<i>При <b>абсолютном</b> давлении до %4 %2 %3 температура "
                                                 "парообразования %0 %1C</i>"),
                                  Ts, input.PbeforeAbsInPa());
            }
        }
    } else if (known && medium.isGas()) {
        // A gas may be colder than water freezes, down to where its tables reach.
        lower = medium.lowestTemperature();
    } else if (known) {
        GEH_ASSERT(0);
    }

    GEH_ASSERT(m_temperatureLimits1);
    GEH_ASSERT(m_temperatureLimits2);
    if (m_temperatureLimits1) {
        m_temperatureLimits1->setText(framework::keepTogether(hint1));
        m_temperatureLimits1->setVisible(!hint1.isEmpty());
    }
    if (m_temperatureLimits2) {
        if (deviceType() == dtEmpty) {
            m_temperatureLimits2->hide();
        } else {
            m_temperatureLimits2->setText(framework::keepTogether(
                QStringLiteral("<i>Для %0 максимально допустимая температура %1 %2C</i>")
                    .arg(deviceTypeName(deviceType()), displayNumber(Tmax, 1), degree)));
            m_temperatureLimits2->show();
        }
    }

    for (qint16 code : {fcSupplyTemperature, fcReturnTemperature}) {
        auto* spin = findCtrl<QSmartDoubleSpinBox>(code);
        if (!spin)
            continue;
        spin->setAllowedRange(lower, upper);
        spin->setRangeReasons(belowReason, aboveReason);
        if (fixedBySaturation || !spin->isVisibleTo(this)) {
            // A row the user does not see is no figure of theirs: it follows the
            // range. The saturation temperature is the medium's own.
            if (!spin->isValueAllowed()) {
                spin->setValue(qBound(lower, spin->value(), upper));
                if (fixedBySaturation)
                    explainForcedChange(code,
                                        QStringLiteral("%1 изменена на %2 %3C: температура насыщения при P1")
                                            .arg(symbolOf(code), displayNumber(spin->value(), 2), degree));
            }
        }
    }
}

void HydraulicTaskChild::recalcQ(InputParams& input)
{
    // The derived flow is the form's own writing, not the user's.
    const SignalsPaused paused(this);
    const SubstanceProperties medium(intComboValue(fcMedium, -1), doubleValue(fcConcentration));
    // Only a liquid carries a heat load here; the forms offer the mode for liquids only.
    // Without a known unit of pressure or heat there are no pressures and no
    // heat load to derive a flow from: the calculation asks for them instead.
    if (intValue(fcFlowMode) == InputParams::flowFromHeatLoad && medium.isLiquid() &&
        input.choicesWithinTables()) {
        double G = UnitConversions::calcQbyHeat(
            doubleValue(fcHeatLoad), intComboValue(fcHeatUnit, 0), intComboValue(fcFlowUnit, 0),
            doubleValue(fcSupplyTemperature), doubleValue(fcReturnTemperature), medium,
            (input.PbeforeAbsInPa() + input.PafterAbsInPa()) * 0.5);
        // A flow that cannot be computed is no flow: the calculation then asks for one.
        if (!std::isfinite(G))
            G = 0;
        auto* flow = ctrl<QDoubleSpinBox>(fcFlow);
        if (flow && flow->value() != G)
            flow->setValue(G);
    }
}

void HydraulicTaskChild::addResultNotes(QGridLayout* grid)
{
    results().addNote(
        grid,
        QStringLiteral("%0 Предлагаемые варианты имеют разные технические характеристики. Окончательное "
                       "решение по подбору оборудования принимает пользователь программы с учётом "
                       "особенностей системы теплоснабжения.")
            .arg(kSuperscriptOne),
        Qt::black);
    Algorithm* calculation = algorithm();
    if (calculation && calculation->isHighPressureDrop())
        results().addNote(
            grid,
            listItemText(QStringLiteral("Для увеличения срока службы клапанов и регуляторов и уменьшения "
                                        "уровня шума и вибраций рекомендуется принимать перепад давления на "
                                        "них не более 0,2 МПа. При перепаде более 0,4 МПа велика "
                                        "вероятность появления высокого уровня шума и вибраций.")),
            Qt::red);
}
