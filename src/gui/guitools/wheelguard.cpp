#include "guitools/wheelguard.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QWheelEvent>

namespace {

bool takesFigures(QObject* object)
{
    return qobject_cast<QAbstractSpinBox*>(object) || qobject_cast<QComboBox*>(object);
}

} // namespace

WheelGuard::WheelGuard(QObject* parent) : QObject(parent)
{
}

void WheelGuard::install()
{
    if (qApp)
        qApp->installEventFilter(new WheelGuard(qApp));
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Polish && takesFigures(watched)) {
        // A wheel turn would otherwise give the box the focus first and then
        // change it.
        auto* box = static_cast<QWidget*>(watched);
        if (box->focusPolicy() == Qt::WheelFocus)
            box->setFocusPolicy(Qt::StrongFocus);
        return false;
    }
    if (event->type() != QEvent::Wheel || !takesFigures(watched))
        return false;
    auto* box = static_cast<QWidget*>(watched);
    if (box->hasFocus())
        return false;
    for (QWidget* w = box->parentWidget(); w; w = w->parentWidget()) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const QPointF at = area->viewport()->mapFromGlobal(wheel->globalPosition().toPoint());
            QWheelEvent scroll(at, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                               wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(),
                               wheel->source());
            QCoreApplication::sendEvent(area->viewport(), &scroll);
            break;
        }
    }
    return true;
}
