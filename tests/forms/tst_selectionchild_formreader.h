#pragma once

// Driving a selection window (valve or regulator) as a user does and reading back what its results show.

#include "formhost.h"
#include "forms/regulatorchild.h"
#include "forms/selectionchild.h"
#include "forms/valvechild.h"
#include "framework/pipeselectionarea.h"
#include "framework/radioarea.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace formreader {

using namespace common;

// The choices, then the numbers typed as "field=text" (a heat load, 106, is in Gcal/h and derives the flow).
struct Task
{
    int medium, device, place, kind, pressureUnit, flowUnit;
    const char* typed;
};

// The worked examples, and saturated steam through the regulator that serves it.
// clang-format off
const Task kValve1{stPropyleneGlycol, dtLMK2, ipSupply, pkExcess, pmBar, wfTh, "141=50 102=6 103=5 1032=0.5 106=2.5 105=100 107=70"};
const Task kValve2{stWater, dtLMK2, ipSupply, pkExcess, pmAtm, wfM3h, "102=5 103=3.2 1032=0.6 106=91 105=100 107=42"};
const Task kValve3{stWater, dtLMK3, ipReturn, pkAbsolute, pmAtm, wfTh, "102=5 103=3 1032=0.6 106=1 105=94 107=65"};
const Task kValve4{stSuperheatedSteam, dtLMKP, ipSupply, pkAbsolute, pmBar, wfKgh, "102=4.8 103=3.5 108=1345.6 105=220"};
const Task kRegulator1{stPropyleneGlycol, rtDiffPressure, ipReturn, pkAbsolute, pmBar, wfM3h, "141=10 1020=5 1021=1 1036=1 1035=2 106=2 105=100 107=46"};
const Task kRegulator2{stWater, rtUpstream, ipReturn, pkExcess, pmAtm, wfM3h, "102=8 103=4.1 108=38.88 107=46"};
const Task kRegulator3{stWater, rtDiffPressure, ipSupply, pkAbsolute, pmBar, wfM3h, "1020=6 1021=4 1036=0.5 1035=1.3 106=0.15 105=100 107=47.5"};
const Task kSteamRegulator{stSaturatedSteam, rtDownstream, ipReturn, pkExcess, pmBar, wfKgh, "102=8 103=3 108=500"};
// clang-format on
// Water at 10 m³/h through ЛМК-2, and saturated steam at 700 kg/h through ЛМК-П.
inline Task water(const char* typed)
{
    return {stWater, dtLMK2, ipSupply, pkExcess, pmBar, wfM3h, typed};
}
const Task kWater = water("102=6 103=5.5 1032=0.3 108=10 105=90 107=70");
const Task kSteam{stSaturatedSteam, dtLMKP, ipSupply, pkAbsolute, pmBar, wfKgh, "102=4.8 103=3.5 108=700"};

// "code=value" entries as a user does them: a number or a Latin text typed, a combo's item or a radio button
// chosen; "~code=value" a number pasted whole (no intermediate values).
inline void act(MdiChild* form, const QString& entries)
{
    for (const QString& entry : entries.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const auto code = qint16(entry.section(QLatin1Char('='), 0, 0).remove(QLatin1Char('~')).toInt());
        const QString value = entry.section(QLatin1Char('='), 1);
        if (entry.startsWith(QLatin1Char('~')))
            form->control(code)->setFocus(), form->ctrl<QDoubleSpinBox>(code)->setValue(value.toDouble());
        else if (auto* combo = form->findCtrl<QComboBox>(code))
            orxtest::selectData(combo, value.toInt());
        else if (auto* text = form->findCtrl<QSmartTextEdit>(code))
            text->setFocus(), QTest::keyClicks(text, value);
        else if (auto* radio = form->findCtrl<RadioArea>(code))
            radio->setCheckedId(value.toInt());
        else
            orxtest::typeInto(form->ctrl<QDoubleSpinBox>(code), value);
    }
}

inline void enter(SelectionChild* form, const Task& t)
{
    // The device is the valve type or the regulation task.
    const int deviceField = form->docType() == docRegulator ? 130 : 32767;
    act(form, QStringLiteral("121=%1 %2=%3").arg(t.medium).arg(deviceField).arg(t.device));
    if (form->control(131)->isEnabled())
        orxtest::selectData(form->ctrl<QComboBox>(131), t.place);
    act(form, QStringLiteral("1011=%1 101=%2 1081=%3").arg(t.kind).arg(t.pressureUnit).arg(t.flowUnit));
    if (QString::fromUtf8(t.typed).contains(QLatin1String("106=")))
        act(form, QStringLiteral("104=2 1061=%1").arg(hmGcalH));
    act(form, QString::fromUtf8(t.typed));
}

// A valve or a regulator window, hosted as the main window hosts it; rows are named after their window.
struct Window : orxtest::FormHost
{
    SelectionChild* form;
    explicit Window(const char* row, const Doc* doc = nullptr)
        : FormHost(ShowOnRequest, 1000), form(QByteArray(row).startsWith("regulator")
                                                  ? static_cast<SelectionChild*>(add(new RegulatorChild(doc)))
                                                  : add(new ValveChild(doc)))
    {
        if (!show())
            qWarning("the hosted form never became active");
    }
};

inline void toggleRejectedMode(QWidget* form)
{
    QTest::keyClick(form, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
}

inline QPoint positionIn(QWidget* form, QWidget* w)
{
    return w->mapTo(form, QPoint(0, 0));
}

inline bool sameRow(QWidget* form, QWidget* a, QWidget* b)
{
    return std::abs(positionIn(form, a).y() + a->height() / 2 - positionIn(form, b).y() - b->height() / 2) <=
           3;
}

// What the results area of a selection window shows.
struct Shown
{
    QString message; // the red message of a refused task
    QString details; // "ro=958.4 Kv=13.89": each detail by a short name, in the order of the captions
    // The candidates as "ЛМК-2 80/100|1.08|0.65|низкая|низкая; *100/125|…; 32/16!" ("*": bold, "!": speed
    // missed): the series is named when it changes, the rest of a row when it differs from the row before.
    QString proposed, rejected;
    QStringList columns, choices; // the column headers, the items of the choice combo
    bool hasReportButton = false, hasHighDropNote = false;
};

// The visible lines the window wrote of what it changed itself, those starting with the prefix.
inline QStringList changeNotes(QWidget* form, const QString& prefix = QString())
{
    QStringList notes;
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->isVisible() && label->accessibleDescription() == QStringLiteral("изменено программой") &&
            orxtest::readText(label).startsWith(prefix))
            notes << orxtest::readText(label);
    return notes;
}

inline QLabel* visibleLabel(QWidget* form, const QString& text)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->isVisible() && orxtest::readText(label) == text)
            return label;
    return nullptr;
}

inline QPushButton* reportButton(SelectionChild* form)
{
    for (QPushButton* button : form->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral(" Pdf-документ "))
            return button;
    return nullptr;
}

// Details by a short name; an unknown caption stands as it is.
static const QMap<QString, QString> kDetailNames{
    {QStringLiteral("Абс. давление насыщенных<br>паров в клапане:"), QStringLiteral("Ps(клапан)")},
    {QStringLiteral("Абс. давление насыщенных<br>паров в регуляторе:"), QStringLiteral("Ps(регулятор)")},
    {QStringLiteral("Плотность рабочей среды:"), QStringLiteral("ro")},
    {QStringLiteral("Расчётный Kv:"), QStringLiteral("Kv")},
    {QStringLiteral("Удельный объём пара до клапана:"), QStringLiteral("v1")},
    {QStringLiteral("Удельный объём пара после клапана:"), QStringLiteral("v2")}};

inline Shown read(SelectionChild* form)
{
    form->layout()->activate();
    Shown shown;
    QList<QLabel*> labels = form->findChildren<QLabel*>();
    labels.erase(std::remove_if(labels.begin(), labels.end(), [](QLabel* l) { return !l->isVisible(); }),
                 labels.end());
    for (QLabel* label : labels) {
        if (label->palette().color(QPalette::WindowText) == QColor(Qt::red) &&
            orxtest::readText(label).startsWith(QStringLiteral("Не")))
            shown.message = orxtest::readText(label);
        shown.hasHighDropNote |= orxtest::readText(label).contains(QStringLiteral("не более 0,2 МПа"));
    }

    QLabel* proposedHeader = visibleLabel(form, QStringLiteral("Предлагаемые варианты\u00B9"));
    QLabel* rejectedHeader = visibleLabel(form, QStringLiteral("Отбракованные варианты"));
    const int proposedY = proposedHeader ? positionIn(form, proposedHeader).y() : INT_MAX;
    const int rejectedY = rejectedHeader ? positionIn(form, rejectedHeader).y() : INT_MAX;
    static const QRegularExpression designation(
        QStringLiteral("^(ЛМ\\S+) DN (\\d+) Kvy (\\S+)( \\(.*\\))?$"));
    const auto leftOf = [form](QWidget* a, QWidget* b) {
        return positionIn(form, a).x() < positionIn(form, b).x();
    };
    QList<QLabel*> candidates;
    for (QLabel* label : labels)
        if (designation.match(orxtest::readText(label)).hasMatch())
            candidates.append(label);
    std::stable_sort(candidates.begin(), candidates.end(), [form](QLabel* a, QLabel* b) {
        return positionIn(form, a).y() < positionIn(form, b).y();
    });
    QStringList proposed, rejected;
    QString series, rest;
    for (QLabel* candidate : candidates) {
        const int y = positionIn(form, candidate).y();
        if (y < proposedY)
            continue;
        QList<QLabel*> cells;
        for (QLabel* label : labels)
            if (label != candidate && leftOf(candidate, label) && sameRow(form, label, candidate))
                cells.append(label);
        std::sort(cells.begin(), cells.end(), leftOf);
        const QRegularExpressionMatch m = designation.match(orxtest::readText(candidate));
        QString tail = m.captured(4);
        for (QLabel* cell : cells)
            tail += QLatin1Char('|') + orxtest::readText(cell);
        QStringList& rows = y > rejectedY ? rejected : proposed;
        QString row = QLatin1String(candidate->font().bold() ? "*" : "");
        if (rows.isEmpty() || m.captured(1) != series)
            row += m.captured(1) + QLatin1Char(' ');
        row += m.captured(2) + QLatin1Char('/') + m.captured(3);
        // "!": the designation marked for a criterion of its own missed (the pipe speed).
        if (candidate->accessibleDescription() == QStringLiteral("критерий не выполнен"))
            row += QLatin1Char('!');
        rows << (!rows.isEmpty() && tail == rest ? row : row + tail);
        series = m.captured(1);
        rest = tail;
    }
    shown.proposed = proposed.join(QStringLiteral("; "));
    shown.rejected = rejected.join(QStringLiteral("; "));
    // Column headers: the bold word-wrapped labels with the caption cell's margins.
    if (proposedHeader)
        for (QLabel* label : labels)
            if (label->wordWrap() && label->font().bold() &&
                label->contentsMargins() == QMargins(10, 10, 10, 10))
                shown.columns << orxtest::readText(label);
    // Details: each bold caption ending with ":" and the nearest read-only value right of it.
    QMap<QString, QString> details;
    for (QLabel* label : labels) {
        if (!label->font().bold() || !orxtest::readText(label).endsWith(QLatin1Char(':')))
            continue;
        QLineEdit* value = nullptr;
        for (QLineEdit* edit : form->findChildren<QLineEdit*>())
            if (edit->isVisible() && edit->isReadOnly() &&
                !qobject_cast<QAbstractSpinBox*>(edit->parentWidget()) && sameRow(form, label, edit) &&
                leftOf(label, edit) && (!value || leftOf(edit, value)))
                value = edit;
        if (value)
            details.insert(orxtest::readText(label),
                           kDetailNames.value(orxtest::readText(label), orxtest::readText(label)) +
                               QLatin1Char('=') + value->text());
    }
    shown.details = QStringList(details.values()).join(QLatin1Char(' '));

    if (QSmartComboBox* combo = form->choiceCombo())
        shown.choices = orxtest::itemTexts(combo);
    shown.hasReportButton = reportButton(form) && reportButton(form)->isVisible();
    return shown;
}

} // namespace formreader
