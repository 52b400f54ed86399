#pragma once

// Driving a selection window (valve or regulator) as a user does and reading
// back what its results show. Shared by the valve and the regulator tests.

#include "formhost.h"
#include "forms/selectionchild.h"
#include "framework/pipeselectionarea.h"
#include "framework/radioarea.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

namespace formreader {

using namespace common;

// A task as the user gives it: the choices, then the numbers typed one after
// the other as "field=text" (a heat load, field 106, is given in Gcal/h and
// switches the flow to be derived from it).
struct Task
{
    int medium, device, place, kind, pressureUnit, flowUnit;
    const char* typed;
};

using orxtest::Hosted;

// `deviceField` is the combo that chooses the device: the valve type or the regulation task.
inline void enter(SelectionChild* form, const Task& t, qint16 deviceField)
{
    orxtest::selectData(form->ctrl<QComboBox>(121), t.medium);
    orxtest::selectData(form->ctrl<QComboBox>(deviceField), t.device);
    if (form->control(131)->isEnabled())
        orxtest::selectData(form->ctrl<QComboBox>(131), t.place);
    form->ctrl<RadioArea>(1011)->setCheckedId(t.kind);
    orxtest::selectData(form->ctrl<QComboBox>(101), t.pressureUnit);
    orxtest::selectData(form->ctrl<QComboBox>(1081), t.flowUnit);
    for (const QString& entry : QString::fromUtf8(t.typed).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const auto field = qint16(entry.section(QLatin1Char('='), 0, 0).toInt());
        if (field == 106) {
            form->ctrl<RadioArea>(104)->setCheckedId(2);
            orxtest::selectData(form->ctrl<QComboBox>(1061), hmGcalH);
        }
        orxtest::typeInto(form->ctrl<QDoubleSpinBox>(field), entry.section(QLatin1Char('='), 1));
    }
}

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
    QString message;                // the red message of a refused task
    QMap<QString, QString> details; // caption (with its colon) -> value
    // One row per candidate: the cells joined by "|", a bold designation marked with a leading "*".
    QStringList proposed, rejected;
    QStringList columns; // the column headers
    QStringList choices; // the items of the choice combo
    bool hasReportButton = false;
    bool hasHighDropNote = false;
};

inline QLabel* visibleLabel(QWidget* form, const QString& text)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->isVisible() && label->text() == text)
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

inline Shown read(SelectionChild* form)
{
    form->layout()->activate();
    Shown shown;
    QList<QLabel*> labels = form->findChildren<QLabel*>();
    labels.erase(std::remove_if(labels.begin(), labels.end(), [](QLabel* l) { return !l->isVisible(); }),
                 labels.end());
    for (QLabel* label : labels) {
        if (label->palette().color(QPalette::WindowText) == QColor(Qt::red) &&
            label->text().startsWith(QStringLiteral("Не")))
            shown.message = label->text();
        shown.hasHighDropNote |= label->text().contains(QStringLiteral("не более 0,2 МПа"));
    }

    QLabel* proposedHeader = visibleLabel(form, QStringLiteral("Предлагаемые варианты\u00B9"));
    QLabel* rejectedHeader = visibleLabel(form, QStringLiteral("Отбракованные варианты"));
    const int proposedY = proposedHeader ? positionIn(form, proposedHeader).y() : INT_MAX;
    const int rejectedY = rejectedHeader ? positionIn(form, rejectedHeader).y() : INT_MAX;
    static const QRegularExpression designation(QStringLiteral("^ЛМ\\S+ DN \\d+ Kvy \\S+( \\(.*\\))?$"));
    const auto leftOf = [form](QWidget* a, QWidget* b) {
        return positionIn(form, a).x() < positionIn(form, b).x();
    };
    QList<QLabel*> candidates;
    for (QLabel* label : labels)
        if (designation.match(label->text()).hasMatch())
            candidates.append(label);
    std::stable_sort(candidates.begin(), candidates.end(), [form](QLabel* a, QLabel* b) {
        return positionIn(form, a).y() < positionIn(form, b).y();
    });
    for (QLabel* candidate : candidates) {
        QList<QLabel*> cells{candidate};
        for (QLabel* label : labels)
            if (label != candidate && leftOf(candidate, label) && sameRow(form, label, candidate))
                cells.append(label);
        std::sort(cells.begin(), cells.end(), leftOf);
        QStringList texts;
        for (QLabel* cell : cells)
            texts << cell->text();
        const QString row = QLatin1String(candidate->font().bold() ? "*" : "") + texts.join(QLatin1Char('|'));
        const int y = positionIn(form, candidate).y();
        if (y > rejectedY)
            shown.rejected << row;
        else if (y > proposedY)
            shown.proposed << row;
    }

    // Column headers: the bold word-wrapped labels with the caption cell's margins.
    if (proposedHeader)
        for (QLabel* label : labels)
            if (label->wordWrap() && label->font().bold() &&
                label->contentsMargins() == QMargins(10, 10, 10, 10))
                shown.columns << label->text();

    // Details: each bold caption ending with ":" and the nearest read-only value right of it.
    for (QLabel* label : labels) {
        if (!label->font().bold() || !label->text().endsWith(QLatin1Char(':')))
            continue;
        QLineEdit* value = nullptr;
        for (QLineEdit* edit : form->findChildren<QLineEdit*>())
            if (edit->isVisible() && edit->isReadOnly() &&
                !qobject_cast<QAbstractSpinBox*>(edit->parentWidget()) && sameRow(form, label, edit) &&
                leftOf(label, edit) && (!value || leftOf(edit, value)))
                value = edit;
        if (value)
            shown.details.insert(label->text(), value->text());
    }

    if (QSmartComboBox* combo = form->choiceCombo())
        shown.choices = orxtest::itemTexts(combo);
    shown.hasReportButton = reportButton(form) && reportButton(form)->isVisible();
    return shown;
}

// "caption = value" lines of the details, in the order of the captions: a difference reads at once.
inline QStringList detailList(const QMap<QString, QString>& details)
{
    QStringList lines;
    for (auto it = details.cbegin(); it != details.cend(); ++it)
        lines << it.key() + QStringLiteral(" = ") + it.value();
    return lines;
}

// The current texts of the pipe combos by location.
inline QMap<int, QString> pipeTexts(SelectionChild* form)
{
    QMap<int, QString> texts;
    if (PipeSelectionArea* area = form->pipeArea())
        for (int location : area->locations())
            texts.insert(location, area->combo(location)->currentText());
    return texts;
}

// The report button of worked-out results: without a choice it warns with
// `noChoice`; with the pipes taken back it asks for them; with both chosen it
// writes one PDF named from `filePrefix` and hands it to the viewer.
inline void checkReport(SelectionChild* form, int choice, const QString& noChoice, const QString& filePrefix)
{
    orxtest::ViewerStub viewer;
    // Title and text of the box the report button answers with; empty when it asks nothing.
    const auto warning = [form] {
        orxtest::ModalAnswerer answer(orxtest::ModalAnswerer::accept());
        QTest::mouseClick(reportButton(form), Qt::LeftButton);
        return answer.answered() ? QStringList{answer.title(), answer.text()} : QStringList();
    };
    QCOMPARE(warning(), (QStringList{QStringLiteral("Валидация"), noChoice}));
    form->choiceCombo()->setCurrentIndex(choice);
    const int dn = form->stdDn();
    form->pipeArea()->setDn(0);
    QCOMPARE(warning().value(1), QStringLiteral("Необходимо выбрать значение"));
    QVERIFY(viewer.opened.isEmpty());
    form->pipeArea()->setDn(dn);
    QCOMPARE(warning(), QStringList());
    QCOMPARE(viewer.opened.size(), 1);
    QFile file(viewer.opened.first().toLocalFile());
    QVERIFY2(QFileInfo(file).fileName().startsWith(filePrefix), qPrintable(file.fileName()));
    QVERIFY(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-");
}

// A refused task shows its message and nothing to choose or report; asking
// for the report anyway opens no box and writes nothing.
inline void checkRefused(SelectionChild* form, const QString& message)
{
    orxtest::ViewerStub viewer;
    const Shown shown = read(form);
    QCOMPARE(shown.message, message);
    QVERIFY(shown.proposed.isEmpty() && shown.details.isEmpty() && !shown.hasReportButton);
    QVERIFY(!form->choiceCombo() && !form->pipeArea());
    orxtest::ModalAnswerer unexpected(orxtest::ModalAnswerer::accept(), 300);
    form->showPdf();
    QTest::qWait(50);
    QVERIFY(!unexpected.answered());
    QVERIFY(viewer.opened.isEmpty());
}

// Saved and opened again, the window is unmodified, named after the file and shows the same results.
template <class Form>
void checkReopened(Form* form, const Shown& shown)
{
    QTemporaryDir dir;
    const Doc doc = orxtest::savedAndReopened(*form, dir.filePath(QStringLiteral("Тепловой пункт.orx")));
    QCOMPARE(doc.docType(), int(form->docType()));
    Hosted<Form> host(&doc);
    QVERIFY(!host.form->isModified());
    QCOMPARE(host.tabs.tabText(0), QStringLiteral("Тепловой пункт"));
    const Shown reopened = read(host.form);
    QCOMPARE(detailList(reopened.details), detailList(shown.details));
    QCOMPARE(reopened.proposed, shown.proposed);
    QCOMPARE(reopened.choices, shown.choices);
}

} // namespace formreader

Q_DECLARE_METATYPE(formreader::Task)
