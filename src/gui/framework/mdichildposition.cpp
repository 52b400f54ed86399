// Where the device of a document stands in a project: the position mark on the
// drawings and the quantity, beside the task rather than part of it.

#include "framework/mdichild.h"
#include "framework/unusablevalues.h"
#include "guitools/makerinfo.h"
#include "project/project.h"
#include "vocabulary/fieldcodes.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

using common::PositionFields;

void MdiChild::addPositionRow(QGridLayout* grid)
{
    const int row = nextRow(grid);
    auto* caption = new QLabel(QStringLiteral("Позиция:"));
    grid->addWidget(caption, row, 0);

    m_positionEdit = new QLineEdit();
    m_positionEdit->setMaxLength(Project::maxMarkLength);
    m_positionEdit->setPlaceholderText(QStringLiteral("РК1"));
    m_positionEdit->setToolTip(
        QStringLiteral("Позиция на чертежах, не более %1 знаков").arg(Project::maxMarkLength));
    // Wide enough for an ordinary mark; a longer one scrolls in the box.
    m_positionEdit->setMaximumWidth(m_positionEdit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
    caption->setBuddy(m_positionEdit);

    m_quantityBox = new QSpinBox();
    m_quantityBox->setRange(Project::minQuantity, Project::maxQuantity);
    m_quantityBox->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* quantityCaption = new QLabel(QStringLiteral("Кол-во:"));
    quantityCaption->setBuddy(m_quantityBox);

    auto* box = new QHBoxLayout();
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_positionEdit);
    box->addSpacing(12);
    box->addWidget(quantityCaption);
    box->addWidget(m_quantityBox);
    box->addWidget(new QLabel(QStringLiteral("шт.")));
    box->addStretch();
    // Under the controls of the rows below, which stand in column 2.
    grid->addLayout(box, row, 2, 1, qMax(1, inputColumnCount() - 2));

    connect(m_positionEdit, &QLineEdit::textEdited, this, &MdiChild::positionChanged);
    connect(m_quantityBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &MdiChild::positionChanged);
}

QString MdiChild::positionMark() const
{
    return m_positionEdit ? m_positionEdit->text() : QString();
}

int MdiChild::quantity() const
{
    return m_quantityBox ? m_quantityBox->value() : 1;
}

void MdiChild::setPositionMark(const QString& mark)
{
    if (!m_positionEdit || mark == positionMark())
        return;
    m_positionEdit->setText(Doc::cutText(mark, Project::maxMarkLength));
    positionChanged();
}

QList<ScheduleRow> MdiChild::scheduleRows() const
{
    return {unchosenScheduleRow(QStringLiteral("Устройство не выбрано"))};
}

ScheduleRow MdiChild::deviceScheduleRow(const QString& name, const QString& type, double mass) const
{
    ScheduleRow row;
    row.position = positionMark();
    row.name = name;
    row.type = type;
    row.supplier = orx::makerName();
    row.unit = QStringLiteral("шт.");
    row.quantity = quantity();
    row.mass = mass;
    return row;
}

ScheduleRow MdiChild::unchosenScheduleRow(const QString& why) const
{
    ScheduleRow row;
    row.position = positionMark();
    row.name = m_doc.name();
    row.note = why;
    return row;
}

void MdiChild::positionChanged()
{
    m_modified = true;
    updateTitle();
}

void MdiChild::storePositionFields(Doc& target) const
{
    if (!positionMark().isEmpty())
        target.setValue(DocKey(PositionFields::fcPosition), positionMark());
    if (quantity() != 1)
        target.setValue(DocKey(PositionFields::fcQuantity), quantity());
}

void MdiChild::applyPositionFields(const Doc& stored, QMap<DocKey, Doc::FieldRepair>& repaired,
                                   UnusableValues& unusable)
{
    // What the project reads of a document is what its window shows.
    const DocKey markKey(PositionFields::fcPosition);
    const DocKey quantityKey(PositionFields::fcQuantity);
    const QList<DocKey> keys = stored.keys();
    for (const DocKey& key : keys)
        if (key.fieldCode == PositionFields::fcPosition || key.fieldCode == PositionFields::fcQuantity)
            repaired.remove(key);
    if (m_positionEdit) {
        const QSignalBlocker blocked(m_positionEdit);
        m_positionEdit->setText(Project::positionMark(stored));
    }
    if (m_quantityBox) {
        const QSignalBlocker blocked(m_quantityBox);
        m_quantityBox->setValue(Project::quantity(stored));
    }
    for (const DocKey& key : keys) {
        const QVariant value = stored.value(key);
        if (key.fieldCode == PositionFields::fcPosition) {
            if (key != markKey || value.userType() != QMetaType::QString)
                unusable.addShown(QStringLiteral("Позиция"), QStringLiteral("не заполнено"),
                                  UnusableValues::fieldDetail(stored, key, QStringLiteral("не заполнено")));
            else if (value.toString() != Project::positionMark(stored))
                unusable.addShown(QStringLiteral("Позиция"),
                                  QStringLiteral("сокращено до %1 знаков").arg(Project::maxMarkLength),
                                  UnusableValues::fieldDetail(stored, key, QStringLiteral("сокращено")));
        } else if (key.fieldCode == PositionFields::fcQuantity &&
                   (key != quantityKey || value.isNull() || value.toDouble() != Project::quantity(stored) ||
                    value.userType() == QMetaType::QString)) {
            unusable.addShown(QStringLiteral("Кол-во"), QStringLiteral("взято 1"),
                              UnusableValues::fieldDetail(stored, key, QStringLiteral("взято 1")));
        }
    }
}
