// What the document window changes of its own accord. A calculating form
// adjusts its inputs to each other on every change: the valve type follows the
// medium, a saturated steam fixes the temperature, a unit the medium does not
// take goes. The user must hear of every such change to a value they could
// see and edit, or the result would rest on a figure they never typed.

#include "framework/mdichild.h"

#include "framework/layoutkit.h"
#include "framework/radioarea.h"
#include "guitools/smallclasses.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>

void MdiChild::watchForcedChanges()
{
    m_watchChanges = true;
    m_results.setBeforeResults([this] { noteForcedChanges(); });
}

void MdiChild::explainForcedChange(const DocKey& key, const QString& line)
{
    m_changeLines.insert(key, line);
}

DocKey MdiChild::keyOfSender(const QObject* sender) const
{
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        if (it.value() == sender)
            return it.key();
        if (auto* radio = qobject_cast<RadioArea*>(it.value()); radio && radio->group() == sender)
            return it.key();
    }
    return DocKey(-1);
}

QString MdiChild::unitBeside(const DocKey& key) const
{
    if (QLabel* sub = m_subLabels.value(key))
        return sub->text();
    int column = 0;
    const int row = inputRow(m_controls.value(key), &column);
    if (row < 0)
        return QString();
    if (QLayoutItem* beside = m_inputLayout->itemAtPosition(row, column + 1))
        if (auto* combo = qobject_cast<QComboBox*>(beside->widget()))
            return combo->currentText();
    return QString();
}

QString MdiChild::symbolOf(const DocKey& key) const
{
    const framework::Caption caption = framework::splitCaption(m_captions.value(key));
    return caption.symbol.isEmpty() ? fieldName(key) : caption.symbol;
}

QString MdiChild::shownValueText(const DocKey& key) const
{
    QWidget* w = m_controls.value(key);
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(w)) {
        const QString unit = unitBeside(key);
        return unit.isEmpty() ? spin->text() : spin->text() + QChar(0x00A0) + unit;
    }
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentIndex() < 0 ? QStringLiteral("не выбрано")
                                         : QStringLiteral("«%1»").arg(combo->currentText());
    if (auto* radio = qobject_cast<RadioArea*>(w)) {
        QAbstractButton* checked = radio->group()->checkedButton();
        return checked ? QStringLiteral("«%1»").arg(checked->text()) : QStringLiteral("не выбрано");
    }
    if (auto* check = qobject_cast<QCheckBox*>(w))
        return check->isChecked() ? QStringLiteral("отмечено") : QStringLiteral("не отмечено");
    return QString();
}

QMap<DocKey, MdiChild::ShownValue> MdiChild::shownValues() const
{
    QMap<DocKey, ShownValue> values;
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        QWidget* w = it.value();
        ShownValue shown;
        shown.visible = w->isVisibleTo(this);
        shown.open = shown.visible && w->isEnabled();
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(w))
            shown.value = spin->value();
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            shown.value = combo->currentData();
        else if (auto* radio = qobject_cast<RadioArea*>(w))
            shown.value = radio->checkedId();
        else if (auto* check = qobject_cast<QCheckBox*>(w))
            shown.value = check->isChecked();
        else
            continue; // a text is the user's alone: the form never writes one
        values.insert(it.key(), shown);
    }
    return values;
}

void MdiChild::noteForcedChanges()
{
    if (!m_watchChanges)
        return;
    const QMap<DocKey, ShownValue> now = shownValues();
    // The first results of a window compare with nothing: what it opened with
    // was told by the opening warning, if anything.
    if (!m_lastShown.isEmpty()) {
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            const DocKey& key = it.key();
            const auto before = m_lastShown.constFind(key);
            // A field the user could not see or edit was no figure of theirs; one
            // that went out of sight is no longer part of the task.
            if (key == m_userChange || before == m_lastShown.cend() || !before->open || !it->visible ||
                before->value == it->value)
                continue;
            if (m_changeLines.contains(key)) {
                const QString line = m_changeLines.value(key);
                if (!line.isEmpty())
                    m_results.noteChange(line);
                continue;
            }
            const framework::Caption caption = framework::splitCaption(m_captions.value(key));
            const QString field =
                !caption.symbol.isEmpty() ? caption.symbol : QStringLiteral("«%1»").arg(fieldName(key));
            m_results.noteChange(
                QStringLiteral("Значение %1 изменено на %2").arg(field, shownValueText(key)));
        }
    }
    m_lastShown = now;
    m_changeLines.clear();
    m_userChange = DocKey(-1);
}
