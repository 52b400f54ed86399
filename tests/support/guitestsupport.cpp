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
    if (spin) {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, text);
    }
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
    : m_action(std::move(action)), m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer->start(10);
    QTimer::singleShot(timeoutMs, m_timer, &QTimer::stop);
}

void ModalAnswerer::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    m_timer->stop();
    m_answered = true;
    m_title = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        m_text = box->text();
    m_action(modal);
}

ModalAnswerer::Action ModalAnswerer::pressButton(int standardButton)
{
    return [standardButton](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (QAbstractButton* b = box ? box->button(QMessageBox::StandardButton(standardButton)) : nullptr)
            b->click();
        else
            reject()(modal);
    };
}

ModalAnswerer::Action ModalAnswerer::accept()
{
    return [](QWidget* modal) { QMetaObject::invokeMethod(modal, "accept"); };
}

ModalAnswerer::Action ModalAnswerer::reject()
{
    return [](QWidget* modal) { QMetaObject::invokeMethod(modal, "reject"); };
}

ModalAnswerer::Action ModalAnswerer::clickButton(const QString& text)
{
    return [text](QWidget* modal) {
        for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
            if (b->text() == text)
                return b->click();
        qWarning("no button %s", qPrintable(text));
        reject()(modal);
    };
}

ModalAnswerer::Action ModalAnswerer::chooseFile(const QString& path)
{
    return [path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!edit) {
            qWarning("not a file dialog: %s", qPrintable(modal->windowTitle()));
            return reject()(modal);
        }
        // A file selected in the list would win over the typed name.
        for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>())
            view->clearSelection();
        edit->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    };
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

} // namespace orxtest
