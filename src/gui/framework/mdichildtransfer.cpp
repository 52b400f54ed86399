// The document window's standard combo contents and the moving of values
// between its controls and its document, in both directions.

#include "framework/mdichild.h"

#include "framework/layoutkit.h"
#include "framework/radioarea.h"
#include "framework/unusablevalues.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>

#include <cmath>

using namespace common;

// ---------------------------------------------------------------------------
// Standard contents and document transfer

void MdiChild::fillControls(const QMap<qint16, ComboItems>& formItems)
{
    const bool regulator = isRegulator(deviceType());

    QMap<qint16, ComboItems> items;
    QVector<int> loops{lpHeating};
    if (regulator)
        loops << lpHeatingHotWater << lpAll << lpHeatingVentilation;
    loops << lpHotWater;
    if (regulator)
        loops << lpHotWaterVentilation;
    loops << lpVentilation << lpProcess;
    for (int v : loops)
        items[fcSystem].append({loopName(Loop(v)), v});
    for (int v : {stWater, stPropyleneGlycol, stEthyleneGlycol, stSaturatedSteam, stSuperheatedSteam, stAir,
                  stNitrogen})
        items[fcMedium].append({substanceName(SubstanceType(v)), v});
    for (int v : {rtDiffPressure, rtUpstream, rtDownstream})
        items[fcRegulatorFunction].append({regulatorTypeFunctionalName(RegulatorType(v)), v});
    for (int v : {ipSupply, ipReturn})
        items[fcInstallPlace].append({installPlaceName(InstallPlace(v)), v});
    for (int v : {pmBar, pmAtm, pmMPa, pmKPa, pmMWater})
        items[fcPressureUnit].append({pressureMeasureName(PressureMeasure(v)), v});
    for (int v : {hmGcalH, hmMWH, hmGJH})
        items[fcHeatUnit].append({heatMeasureName(HeatMeasure(v)), v});
    // The flow units in their liquid form; updateFlowUnits() adapts them to the medium.
    for (int v : {wfM3h, wfTh, wfKgh, wfKgs, wfLh, wfLmin, wfLs})
        items[fcFlowUnit].append({wfMeasureName(WfMeasure(v), true), v});
    for (auto it = formItems.cbegin(); it != formItems.cend(); ++it)
        items[it.key()] = it.value();

    // The standard lists are offered to whichever of these controls the form has.
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        if (auto* combo = findCtrl<QComboBox>(it.key()))
            for (const auto& item : it.value())
                combo->addItem(item.first, item.second);
    }
    if (auto* concentration = findCtrl<QSmartDoubleSpinBox>(fcConcentration)) {
        concentration->setDecimals(0);
        concentration->setAllowedMaximum(60);
    }
    for (qint16 code : {fcSupplyTemperature, fcReturnTemperature})
        if (auto* temperature = findCtrl<QSmartDoubleSpinBox>(code))
            temperature->setAllowedMaximum(220);
}

void MdiChild::applyToControls()
{
    // A new document keeps the form's defaults.
    if (m_doc.isEmpty())
        return;
    const geh::UserActionScope action;
    // A document from elsewhere may hold what no control of this form can
    // show: such a field opens as not filled in, so that nothing is computed
    // from a stand-in value, and the user hears of all of them at once.
    const Doc stored = m_doc;
    QMap<DocKey, Doc::FieldRepair> repaired;
    for (const Doc::RepairedField& field : m_doc.repairFields())
        repaired.insert(field.key, field.what);
    UnusableValues unusable;
    const auto detail = [&stored](const DocKey& key, const QString& done) {
        return UnusableValues::fieldDetail(stored, key, done);
    };

    {
        const SignalsPaused paused(this);
        for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
            const DocKey& key = it.key();
            QWidget* w = it.value();
            const FieldKind kind = Doc::type(key.fieldCode);
            const QVariant v = m_doc.value(key);
            const bool cut = repaired.value(key) == Doc::frCut;
            if (!repaired.contains(key) || cut) {
                if (fitsControl(w, kind, v)) {
                    setControlValue(w, kind, v);
                    if (cut)
                        unusable.addShown(fieldName(key),
                                          QStringLiteral("сокращено до %1 знаков").arg(Doc::maxTextLength),
                                          detail(key, QStringLiteral("сокращено")));
                    continue;
                }
            }
            // A row this form never shows keeps the form's own value: the user
            // could not fill it in, and the task must not wait for it.
            if (!w->isVisibleTo(this)) {
                unusable.addUnshown(detail(key, QStringLiteral("скрытое поле, оставлено значение формы")));
                continue;
            }
            const QString done = clearControl(w, kind);
            unusable.addShown(fieldName(key), done, detail(key, done));
        }
    }
    applyPositionFields(stored, repaired, unusable);
    applyResultFields(stored, repaired, unusable);
    // The form's defaults gave way to the document's own values: the first
    // results compare with nothing, so none of them reads as the form's change.
    forgetShownValues();
    // Fields no control of this form holds are dropped on save; the log keeps
    // what was wrong with them.
    for (auto it = repaired.cbegin(); it != repaired.cend(); ++it)
        if (!m_controls.contains(it.key()))
            unusable.addUnshown(detail(it.key(), QStringLiteral("поле не этой формы")));
    unusable.report(m_doc.name());
}

bool MdiChild::fitsControl(QWidget* control, FieldKind kind, const QVariant& value)
{
    if (value.isNull())
        return true;
    switch (kind) {
    case fkDouble:
        // A stored number opens when the field allows it at opening; one the task
        // later rules out (a temperature above the boiling point at the stored
        // pressures) stays shown and is refused with its range.
        if (auto* spin = qobject_cast<QSmartDoubleSpinBox*>(control)) {
            const double number = value.toDouble();
            return std::isfinite(number) && number >= spin->allowedMinimum() &&
                   number <= spin->allowedMaximum();
        }
        return true;
    case fkCombo:
        if (auto* combo = qobject_cast<QComboBox*>(control))
            return combo->findData(value) >= 0;
        return true;
    case fkRadio:
        if (auto* radio = qobject_cast<RadioArea*>(control))
            return radio->button(value.toInt()) != nullptr;
        return true;
    default:
        return true;
    }
}

void MdiChild::setControlValue(QWidget* control, FieldKind kind, const QVariant& value)
{
    switch (kind) {
    case fkDouble:
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(control))
            spin->setValue(value.toDouble());
        break;
    case fkText:
        if (auto* text = qobject_cast<QSmartTextEdit*>(control))
            text->setPlainText(value.toString());
        break;
    case fkCombo:
        if (auto* combo = qobject_cast<QComboBox*>(control))
            combo->setCurrentIndex(value.isNull() ? -1 : combo->findData(value));
        break;
    case fkRadio:
        // A field missing from the file leaves the form's own choice.
        if (auto* radio = qobject_cast<RadioArea*>(control); radio && !value.isNull())
            radio->setCheckedId(value.toInt());
        break;
    case fkCheck:
        if (auto* check = qobject_cast<QCheckBox*>(control))
            check->setChecked(value.toBool());
        break;
    default:
        break;
    }
}

QString MdiChild::clearControl(QWidget* control, FieldKind kind)
{
    const QString notFilled = QStringLiteral("не заполнено");
    switch (kind) {
    case fkDouble:
        if (auto* spin = qobject_cast<QSmartDoubleSpinBox*>(control))
            spin->setValue(spin->allowedMinimum());
        break;
    case fkText:
        if (auto* text = qobject_cast<QSmartTextEdit*>(control))
            text->clear();
        break;
    case fkCombo:
        if (auto* combo = qobject_cast<QComboBox*>(control))
            combo->setCurrentIndex(-1);
        break;
    case fkRadio:
        // A radio group always has a choice: the first one stands for "not said".
        if (auto* radio = qobject_cast<RadioArea*>(control)) {
            if (QAbstractButton* first = radio->group()->buttons().value(0)) {
                first->setChecked(true);
                return QStringLiteral("выбрано «%1»").arg(first->text());
            }
        }
        break;
    case fkCheck:
        if (auto* check = qobject_cast<QCheckBox*>(control)) {
            check->setChecked(false);
            return QStringLiteral("не отмечено");
        }
        break;
    default:
        break;
    }
    return notFilled;
}

QString MdiChild::fieldName(const DocKey& key) const
{
    const framework::Caption caption = framework::splitCaption(m_captions.value(key));
    if (!caption.symbol.isEmpty())
        return QStringLiteral("%1 (%2)").arg(caption.name, caption.symbol);
    if (!caption.name.isEmpty())
        return caption.name;
    // The controls that sit beside another row's caption, or head their own section.
    static const QMap<qint16, const char*> own{
        {fcPressureUnit, "Единица давления"},   {fcPressureKind, "Давление (избыточное или абсолютное)"},
        {fcFlowMode, "Способ задания расхода"}, {fcHeatUnit, "Единица тепловой нагрузки"},
        {fcFlowUnit, "Единица расхода"},        {fcObjectName, "Наименование объекта"},
    };
    if (const char* name = own.value(key.fieldCode))
        return QString::fromUtf8(name);
    return QStringLiteral("Поле %1").arg(key.fieldCode);
}

void MdiChild::loadFromControls(Doc& target)
{
    target.init(docType());
    target.setValue(DocKey(Doc::fcDeviceType, 0), int(deviceType()));
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        QWidget* w = it.value();
        QVariant v;
        switch (Doc::type(it.key().fieldCode)) {
        case fkDouble:
            if (auto* spin = qobject_cast<QDoubleSpinBox*>(w))
                v = spin->value();
            break;
        case fkText:
            if (auto* text = qobject_cast<QSmartTextEdit*>(w))
                v = text->toPlainText();
            break;
        case fkCombo:
            // No current item is stored as a null value.
            if (auto* combo = qobject_cast<QComboBox*>(w))
                v = combo->currentData();
            break;
        case fkRadio:
            if (auto* radio = qobject_cast<RadioArea*>(w))
                v = radio->checkedId();
            break;
        case fkCheck:
            if (auto* check = qobject_cast<QCheckBox*>(w))
                v = check->checkState() == Qt::Checked;
            break;
        default:
            GEH_ASSERT(0);
            continue;
        }
        target.setValue(it.key(), v);
    }
    storePositionFields(target);
    storeResultFields(target);
}

void MdiChild::storeResultFields(Doc&) const
{
}

void MdiChild::applyResultFields(const Doc&, QMap<DocKey, Doc::FieldRepair>&, UnusableValues&)
{
}
