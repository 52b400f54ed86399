// Where the device of a document stands in a project: the position mark on the
// drawings and the quantity, beside the task rather than part of it.

#include "framework/mdichild.h"
#include "framework/unusablevalues.h"
#include "vocabulary/fieldcodes.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cmath>

using common::PositionFields;

namespace {

const int kMaxQuantity = 999;

} // namespace

void MdiChild::addPositionRow(QGridLayout* grid)
{
    const int row = nextRow(grid);
    auto* caption = new QLabel(QStringLiteral("Позиция:"));
    grid->addWidget(caption, row, 0);

    m_positionEdit = new QLineEdit();
    m_positionEdit->setMaxLength(maxPositionLength);
    m_positionEdit->setPlaceholderText(QStringLiteral("РК1"));
    m_positionEdit->setToolTip(
        QStringLiteral("Позиция на чертежах, не более %1 знаков").arg(maxPositionLength));
    // Wide enough for an ordinary mark; a longer one scrolls in the box.
    m_positionEdit->setMaximumWidth(m_positionEdit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
    caption->setBuddy(m_positionEdit);

    m_quantityBox = new QSpinBox();
    m_quantityBox->setRange(1, kMaxQuantity);
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
    grid->addLayout(box, row, 1, 1, qMax(1, inputColumnCount() - 1));

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
    m_positionEdit->setText(mark.left(maxPositionLength));
    positionChanged();
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
    for (const DocKey& key : stored.keys()) {
        if (key.fieldCode != PositionFields::fcPosition && key.fieldCode != PositionFields::fcQuantity)
            continue;
        const bool cleared = repaired.value(key) == Doc::frCleared;
        repaired.remove(key);
        const QVariant value = stored.value(key);
        if (key.fieldCode == PositionFields::fcPosition) {
            const QString mark = cleared || key.index != 0 ? QString() : value.toString();
            if (m_positionEdit) {
                const QSignalBlocker blocked(m_positionEdit);
                m_positionEdit->setText(mark.left(maxPositionLength));
            }
            if (cleared || key.index != 0)
                unusable.addShown(QStringLiteral("Позиция"), QStringLiteral("не заполнено"),
                                  UnusableValues::fieldDetail(stored, key, QStringLiteral("не заполнено")));
            else if (mark.size() > maxPositionLength)
                unusable.addShown(QStringLiteral("Позиция"),
                                  QStringLiteral("сокращено до %1 знаков").arg(maxPositionLength),
                                  UnusableValues::fieldDetail(stored, key, QStringLiteral("сокращено")));
            continue;
        }
        const double number = value.toDouble();
        const bool whole = !cleared && key.index == 0 && !value.isNull() && number >= 1 &&
                           number <= kMaxQuantity && std::floor(number) == number;
        if (m_quantityBox) {
            const QSignalBlocker blocked(m_quantityBox);
            m_quantityBox->setValue(whole ? int(number) : 1);
        }
        if (!whole)
            unusable.addShown(QStringLiteral("Кол-во"), QStringLiteral("взято 1"),
                              UnusableValues::fieldDetail(stored, key, QStringLiteral("взято 1")));
    }
}
