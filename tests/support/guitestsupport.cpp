#include "guitestsupport.h"

#include "resources.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

namespace orxtest {

void prepareGuiApplication()
{
    orx::initResources();
}

void typeInto(QAbstractSpinBox* spin, const QString& text)
{
    if (!spin)
        return;
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, text);
}

void selectData(QComboBox* combo, int value)
{
    combo->setCurrentIndex(combo->findData(value));
}

QStringList itemTexts(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QList<int> itemData(const QComboBox* combo)
{
    QList<int> values;
    for (int i = 0; i < combo->count(); ++i)
        values << combo->itemData(i).toInt();
    return values;
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

ModalAnswerer::Action ModalAnswerer::clickButton(const QString& text)
{
    return [text](QWidget* modal) {
        for (QAbstractButton* b : modal->findChildren<QAbstractButton*>()) {
            if (b->text() == text) {
                b->click();
                return;
            }
        }
        qWarning("no button %s", qPrintable(text));
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    };
}

ModalAnswerer::Action ModalAnswerer::chooseFile(const QString& path)
{
    return [path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!edit) {
            qWarning("not a file dialog: %s", qPrintable(modal->windowTitle()));
            if (auto* other = qobject_cast<QDialog*>(modal))
                other->reject();
            return;
        }
        // A file selected in the list would win over the typed name; typing
        // in the edit drops that selection.
        for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>())
            view->clearSelection();
        edit->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    };
}

ModalSequence::ModalSequence(QList<ModalAnswerer::Action> actions) : m_actions(std::move(actions))
{
    armNext();
}

void ModalSequence::armNext()
{
    if (m_next >= m_actions.size())
        return;
    const ModalAnswerer::Action action = m_actions.at(m_next++);
    m_answerers.push_back(std::make_unique<ModalAnswerer>([this, action](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        m_texts << (box ? box->text() : modal->windowTitle());
        m_icons << (box ? int(box->icon()) : 0);
        action(modal);
        armNext();
    }));
}

QByteArray consoleOfStartAndExit()
{
    QByteArray bytes = "*** Initializing application... ***\r\n";
    for (const QString& name : QStyleFactory::keys())
        bytes += "My style: " + name.toLatin1() + "\r\n";
    return bytes + "*** Uninitializing BaseApp... ***\r\n*** Uninitializing done!... ***\r\n";
}

QString copiedText(QAbstractButton* copy)
{
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(copy, Qt::LeftButton);
    return QGuiApplication::clipboard()->text();
}

QStringList cells(const char* first, const char* second, const char* third)
{
    QStringList row{QString::fromUtf8(first)};
    for (const char* cell : {second, third})
        if (cell)
            row << QString::fromUtf8(cell);
    return row;
}

} // namespace orxtest
