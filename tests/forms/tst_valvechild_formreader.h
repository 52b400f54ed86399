#pragma once

// Driving a selection window (valve or regulator) as a user does and reading
// back what its results show: the calculation details, the proposed and the
// rejected candidate rows with their cells, the bold rows, the choice and the
// pipe combos. Shared by the valve and the regulator form tests.

#include "formhost.h"
#include "forms/selectionchild.h"
#include "framework/pipeselectionarea.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"
#include "reports/pdfgenerator.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTabWidget>
#include <QUrl>

#include <algorithm>

namespace formreader {

// The main window's way of holding a form, tall enough for the results.
struct Host : orxtest::FormHost
{
    Host() : FormHost(ShowOnRequest, 1000) {}
};

inline void typeInto(QDoubleSpinBox* spin, const QString& text)
{
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, text);
}

inline void select(QComboBox* combo, int value)
{
    combo->setCurrentIndex(combo->findData(value));
}

inline QPoint positionIn(QWidget* form, QWidget* w)
{
    return w->mapTo(form, QPoint(0, 0));
}

inline bool sameRow(QWidget* form, QWidget* a, QWidget* b)
{
    const int ya = positionIn(form, a).y() + a->height() / 2;
    const int yb = positionIn(form, b).y() + b->height() / 2;
    return std::abs(ya - yb) <= 3;
}

// What the results area of a selection window shows.
struct Shown
{
    // The red message of a refused task, empty otherwise.
    QString message;
    // Caption (with its colon) -> value of the calculation details.
    QMap<QString, QString> details;
    // One row per candidate: the cells joined by "|".
    QStringList proposed;
    QStringList rejected;
    // The designations printed in bold.
    QStringList bold;
    // The texts of the column headers.
    QStringList columns;
    // The items of the choice combo.
    QStringList choices;
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

inline Shown read(SelectionChild* form)
{
    form->layout()->activate();
    Shown shown;
    const QList<QLabel*> labels = form->findChildren<QLabel*>();
    for (QLabel* label : labels)
        if (label->isVisible() && label->palette().color(QPalette::WindowText) == QColor(Qt::red) &&
            label->text().startsWith(QStringLiteral("Не")))
            shown.message = label->text();

    QLabel* proposedHeader = visibleLabel(form, QStringLiteral("Предлагаемые варианты%1").arg(QChar(0x00B9)));
    QLabel* rejectedHeader = visibleLabel(form, QStringLiteral("Отбракованные варианты"));
    const int proposedY = proposedHeader ? positionIn(form, proposedHeader).y() : INT_MAX;
    const int rejectedY = rejectedHeader ? positionIn(form, rejectedHeader).y() : INT_MAX;

    static const QRegularExpression designation(QStringLiteral("^ЛМ\\S+ DN \\d+ Kvy \\S+( \\(.*\\))?$"));
    QList<QLabel*> candidates;
    for (QLabel* label : labels)
        if (label->isVisible() && designation.match(label->text()).hasMatch())
            candidates.append(label);
    std::stable_sort(candidates.begin(), candidates.end(), [form](QLabel* a, QLabel* b) {
        return positionIn(form, a).y() < positionIn(form, b).y();
    });
    for (QLabel* candidate : candidates) {
        QList<QLabel*> cells{candidate};
        for (QLabel* label : labels)
            if (label != candidate && label->isVisible() &&
                positionIn(form, label).x() > positionIn(form, candidate).x() &&
                sameRow(form, label, candidate))
                cells.append(label);
        std::sort(cells.begin(), cells.end(),
                  [form](QLabel* a, QLabel* b) { return positionIn(form, a).x() < positionIn(form, b).x(); });
        QStringList texts;
        for (QLabel* cell : cells)
            texts << cell->text();
        const int y = positionIn(form, candidate).y();
        if (y > rejectedY)
            shown.rejected << texts.join(QLatin1Char('|'));
        else if (y > proposedY)
            shown.proposed << texts.join(QLatin1Char('|'));
        if (candidate->font().bold())
            shown.bold << candidate->text();
    }

    // Column headers: the bold word-wrapped labels on the row below the header.
    if (proposedHeader)
        for (QLabel* label : labels)
            if (label->isVisible() && label->wordWrap() && label->font().bold() &&
                label->contentsMargins() == QMargins(10, 10, 10, 10))
                shown.columns << label->text();

    // Details: each bold caption ending with ":" and the read-only value right of it.
    const QList<QLineEdit*> edits = form->findChildren<QLineEdit*>();
    for (QLabel* label : labels) {
        if (!label->isVisible() || !label->font().bold() || !label->text().endsWith(QLatin1Char(':')))
            continue;
        QLineEdit* value = nullptr;
        for (QLineEdit* edit : edits) {
            if (!edit->isVisible() || !edit->isReadOnly() ||
                qobject_cast<QAbstractSpinBox*>(edit->parentWidget()))
                continue;
            if (!sameRow(form, label, edit) || positionIn(form, edit).x() <= positionIn(form, label).x())
                continue;
            if (!value || positionIn(form, edit).x() < positionIn(form, value).x())
                value = edit;
        }
        if (value)
            shown.details.insert(label->text(), value->text());
    }

    if (QSmartComboBox* combo = form->choiceCombo())
        for (int i = 0; i < combo->count(); ++i)
            shown.choices << combo->itemText(i);
    for (QPushButton* button : form->findChildren<QPushButton*>())
        if (button->isVisible() && button->text() == QStringLiteral(" Pdf-документ "))
            shown.hasReportButton = true;
    for (QLabel* label : labels)
        if (label->isVisible() && label->text().contains(QStringLiteral("не более 0,2 МПа")))
            shown.hasHighDropNote = true;
    return shown;
}

inline QPushButton* reportButton(SelectionChild* form)
{
    for (QPushButton* button : form->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral(" Pdf-документ "))
            return button;
    return nullptr;
}

// Title and text of the box the report button answers with; empty when it
// asks nothing.
inline QStringList reportButtonWarning(SelectionChild* form)
{
    orxtest::ModalAnswerer answer(orxtest::ModalAnswerer::accept());
    QTest::mouseClick(reportButton(form), Qt::LeftButton);
    if (!answer.answered())
        return {};
    return {answer.title(), answer.text()};
}

// Whether asking for the report opens no box at all.
inline bool reportAsksNothing(SelectionChild* form)
{
    orxtest::ModalAnswerer unexpected(orxtest::ModalAnswerer::accept(), 300);
    form->showPdf();
    QTest::qWait(50);
    return !unexpected.answered();
}

// The file name of the one report handed to the viewer when it is a PDF;
// otherwise what went wrong.
inline QString writtenPdf(const QList<QUrl>& opened)
{
    if (opened.size() != 1)
        return QStringLiteral("%1 reports handed to the viewer").arg(opened.size());
    QFile file(opened.first().toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unreadable: ") + file.fileName();
    if (file.read(5) != "%PDF-")
        return QStringLiteral("not a PDF: ") + file.fileName();
    return QFileInfo(file).fileName();
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

// "caption = value" lines of the details, in the order of the captions: a
// difference reads at once.
inline QStringList detailList(const QMap<QString, QString>& details)
{
    QStringList lines;
    for (auto it = details.cbegin(); it != details.cend(); ++it)
        lines << it.key() + QStringLiteral(" = ") + it.value();
    return lines;
}

// The reports written so far.
inline QStringList pdfFiles()
{
    return QDir(PdfGenerator::reportDirectory()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
}

// A grab of the window as the main window holds it, when ORX_SCREENSHOT_DIR is set.
inline void saveScreenshot(Host& host, const QString& name)
{
    const QString dir = qEnvironmentVariable("ORX_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QApplication::processEvents();
    host.tabs.grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    // The whole window, also what lies below the visible part.
    if (auto* area = qobject_cast<QScrollArea*>(host.tabs.currentWidget()))
        area->widget()->grab().save(dir + QLatin1Char('/') + name + QStringLiteral("-whole.png"));
}

} // namespace formreader
