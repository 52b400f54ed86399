#pragma once

// A row (or column) of mutually exclusive radio buttons bound to one integer
// field of a document: each button carries the value it stands for as its id.

#include <QWidget>

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;

class RadioArea : public QWidget
{
    Q_OBJECT
public:
    // orientation 1: the buttons side by side; any other value: one under another.
    explicit RadioArea(QWidget* parent = nullptr, int orientation = 1);

    // Adds a button standing for the value id; the first button added is checked.
    void addItem(const QString& text, int id);

    // The id of the checked button, -1 when none is checked.
    int checkedId() const;
    // Checks the button of the id; -1 unchecks the checked button; an unknown id
    // changes nothing.
    void setCheckedId(int id);
    // Enables or disables the button of the id. A checked button that is being
    // disabled first hands the check over to the button of fallbackId.
    void setItemEnabled(int id, bool enabled, int fallbackId);

    QButtonGroup* group() const { return m_group; }
    QAbstractButton* button(int id) const;

private:
    QButtonGroup* m_group;
    QBoxLayout* m_layout;
};
