#include "guitestsupport.h"

#include "resources.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

namespace orxtest {

void prepareGuiApplication()
{
    orx::initResources();
}

ModalAnswerer::ModalAnswerer(Action action, int timeoutMs)
    : m_action(std::move(action)), m_timer(new QTimer(this)), m_timeoutMs(timeoutMs)
{
    m_timer->setInterval(10);
    connect(m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer->start();
}

ModalAnswerer::~ModalAnswerer() = default;

void ModalAnswerer::poll()
{
    m_elapsed += m_timer->interval();
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) {
        m_timer->stop();
        m_answered = true;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            m_title = box->windowTitle();
            m_text = box->text();
        } else {
            m_title = modal->windowTitle();
        }
        m_action(modal);
        return;
    }
    if (m_elapsed >= m_timeoutMs)
        m_timer->stop();
}

ModalAnswerer::Action ModalAnswerer::pressButton(int standardButton)
{
    return [standardButton](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (QAbstractButton* b = box->button(QMessageBox::StandardButton(standardButton))) {
                b->click();
                return;
            }
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    };
}

ModalAnswerer::Action ModalAnswerer::accept()
{
    return [](QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->accept();
    };
}

ModalAnswerer::Action ModalAnswerer::reject()
{
    return [](QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    };
}

} // namespace orxtest
