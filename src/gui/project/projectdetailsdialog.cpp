#include "project/projectdetailsdialog.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The text details in the order of the form, with the longest text each
// takes. The stamp shrinks a text to its cell, but a surname's cell is 20 mm
// wide and the project code's 120 mm: beyond these lengths nothing readable
// is left on the sheet.
const struct
{
    const char* caption;
    const char* objectName;
    QString ProjectDetails::*text;
    int maxLength;
} kTexts[] = {
    {"Объект:", "objectName", &ProjectDetails::objectName, 300},
    {"Шифр проекта:", "projectCode", &ProjectDetails::projectCode, 60},
    {"Организация:", "organisation", &ProjectDetails::organisation, 200},
    {"Разработал:", "developer", &ProjectDetails::developer, 40},
    {"Проверил:", "checker", &ProjectDetails::checker, 40},
    {"Н. контр.:", "normControl", &ProjectDetails::normControl, 40},
    {"ГИП:", "chiefEngineer", &ProjectDetails::chiefEngineer, 40},
};

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

// A date field cannot be empty: its earliest date stands for "no date" and
// shows as this text instead.
const QDate kNoDate(1900, 1, 1);

bool sameDetails(const ProjectDetails& a, const ProjectDetails& b)
{
    for (const auto& t : kTexts)
        if (a.*t.text != b.*t.text)
            return false;
    return a.date == b.date;
}

} // namespace

ProjectDetailsDialog::ProjectDetailsDialog(const ProjectDetails& details, QWidget* parent)
    : QDialog(parent), m_givenDate(details.date)
{
    setWindowTitle(QStringLiteral("Сведения об объекте"));
    auto* form = new QFormLayout;
    for (const auto& t : kTexts) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(t.objectName));
        const QString& text = details.*t.text;
        // A longer text read from a file stays whole until the user shortens it.
        edit->setMaxLength(std::max(t.maxLength, int(text.size())));
        edit->setText(text);
        edit->setCursorPosition(0); // a long object name is read from its beginning
        edit->setMinimumWidth(360);
        form->addRow(QString::fromUtf8(t.caption), edit);
        m_texts << edit;
    }

    m_date = new QDateEdit(this);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(kDateFormat);
    m_date->setMinimumDate(kNoDate);
    m_date->setSpecialValueText(QStringLiteral("не указана"));
    m_date->setDate(details.date.isValid() && details.date > kNoDate ? details.date : kNoDate);
    m_date->installEventFilter(this);
    if (QLineEdit* line = m_date->findChild<QLineEdit*>())
        line->installEventFilter(this);
    connect(m_date, &QDateEdit::dateChanged, this, [this] { m_dateTouched = true; });
    auto* noDate = new QToolButton(this);
    noDate->setText(QStringLiteral("Без даты"));
    noDate->setToolTip(QStringLiteral("Не указывать дату в основной надписи"));
    connect(noDate, &QToolButton::clicked, this, [this] {
        m_date->setDate(kNoDate);
        m_dateTouched = true;
    });
    m_noDate = noDate;
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(m_date);
    dateRow->addWidget(noDate);
    dateRow->addStretch();
    form->addRow(QStringLiteral("Дата:"), dateRow);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ProjectDetails ProjectDetailsDialog::details() const
{
    ProjectDetails details;
    for (int i = 0; i < m_texts.size(); ++i)
        details.*kTexts[i].text = m_texts.at(i)->text();
    // Untouched, the date stays as it came, a missing one missing.
    if (!m_dateTouched)
        details.date = m_givenDate;
    else if (m_date->date() > kNoDate)
        details.date = m_date->date();
    return details;
}

bool ProjectDetailsDialog::edit(ProjectDetails* details, QWidget* parent)
{
    ProjectDetailsDialog dialog(*details, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const ProjectDetails edited = dialog.details();
    if (sameDetails(edited, *details))
        return false;
    *details = edited;
    return true;
}

bool ProjectDetailsDialog::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        touchDate();
        break;
    case QEvent::KeyPress:
        // Passing through the field on the way to OK is no touch.
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            break;
        default:
            touchDate();
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void ProjectDetailsDialog::touchDate()
{
    // The calendar then opens at today, not at the date that means "none".
    if (m_date->date() == kNoDate)
        m_date->setDate(QDate::currentDate());
}
