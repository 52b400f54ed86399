#pragma once

// The object's details of a project, as the main inscription of its equipment
// schedule shows them: the object, the project code (шифр), the organisation,
// the people who sign (Разработал, Проверил, Н. контр., ГИП) and the date.

#include "project/equipmentschedule.h"

#include <QDate>
#include <QDialog>
#include <QVector>

class QAbstractButton;
class QDateEdit;
class QLineEdit;

class ProjectDetailsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ProjectDetailsDialog(const ProjectDetails& details, QWidget* parent = nullptr);

    // The details as the fields hold them now.
    ProjectDetails details() const;

    // Shows the dialog over the parent. True when the user accepted it with a
    // change; *details then holds the new details, otherwise it stays as it was.
    static bool edit(ProjectDetails* details, QWidget* parent);

    // The date field, and the button beside it that leaves the date out.
    QDateEdit* dateEdit() const { return m_date; }
    QAbstractButton* noDateButton() const { return m_noDate; }

protected:
    // The first touch of a date field without a date puts today's date in it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void touchDate();

    QVector<QLineEdit*> m_texts; // in the order of the text details
    QDateEdit* m_date = nullptr;
    QAbstractButton* m_noDate = nullptr;
    // The date as it came; kept until the user touches the field.
    QDate m_givenDate;
    bool m_dateTouched = false;
};
