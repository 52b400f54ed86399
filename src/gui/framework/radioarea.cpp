#include "framework/radioarea.h"

#include "gentools/errorhandle.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QRadioButton>

RadioArea::RadioArea(QWidget* parent, int orientation)
    : QWidget(parent), m_group(new QButtonGroup(this)),
      m_layout(new QBoxLayout(orientation == 1 ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
}

void RadioArea::addItem(const QString& text, int id)
{
    auto* button = new QRadioButton(text, this);
    const bool first = m_group->buttons().isEmpty();
    m_group->addButton(button, id);
    m_layout->addWidget(button);
    if (first)
        button->setChecked(true);
    else
        GEH_ASSERT(m_group->buttons().count() > 1);
}

int RadioArea::checkedId() const
{
    return m_group->checkedId();
}

void RadioArea::setCheckedId(int id)
{
    if (id == -1) {
        // An exclusive group never lets its last checked button go by itself.
        if (QAbstractButton* checked = m_group->checkedButton()) {
            m_group->setExclusive(false);
            checked->setChecked(false);
            m_group->setExclusive(true);
        }
        return;
    }
    if (QAbstractButton* b = m_group->button(id))
        b->setChecked(true);
}

void RadioArea::setItemEnabled(int id, bool enabled, int fallbackId)
{
    QAbstractButton* b = m_group->button(id);
    if (!b)
        return;
    if (!enabled && b->isChecked())
        setCheckedId(fallbackId);
    b->setEnabled(enabled);
}

QAbstractButton* RadioArea::button(int id) const
{
    return m_group->button(id);
}
