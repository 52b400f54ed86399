#pragma once

// The mouse wheel scrolls the form, not the figures in it. A spin box or combo
// box under the pointer would otherwise take every turn of the wheel that
// scrolls the page past it, and a pressure or a medium would change without
// the user having touched it. Such a box takes the wheel only while it has the
// keyboard focus (a click or Tab gives it); otherwise the turn scrolls the
// scroll area around it.

#include <QObject>

class WheelGuard : public QObject
{
    Q_OBJECT
public:
    explicit WheelGuard(QObject* parent = nullptr);

    // Watches every widget of the application from now on.
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
