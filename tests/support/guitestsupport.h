#pragma once

// Support for tests that drive real widgets offscreen.

#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPointer>
#include <QWidget>

#include <functional>

class QTimer;

namespace orxtest {

// Application set-up shared by every widget test: no native dialogs, the
// program's pictures registered.
void prepareGuiApplication();

// What a user does to an input: focus it, select all, type (a null input is skipped).
void typeInto(QAbstractSpinBox* spin, const QString& text);
// Picks the combo item that carries the value.
void selectData(QComboBox* combo, int value);
QStringList itemTexts(const QComboBox* combo);
QList<int> itemData(const QComboBox* combo);

// Answers the next modal dialog or message box: polls for an active modal
// widget and hands it to the action. Arm it before the code that opens the
// dialog. The action runs at most once.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    using Action = std::function<void(QWidget* modal)>;

    explicit ModalAnswerer(Action action, int timeoutMs = 5000);
    ~ModalAnswerer() override;

    bool answered() const { return m_answered; }
    // Title and text of the answered box, when it was a QMessageBox.
    QString title() const { return m_title; }
    QString text() const { return m_text; }

    // Convenience actions for message boxes.
    static Action pressButton(int standardButton);
    static Action accept();
    static Action reject();
    // Clicks the button with the text; rejects the dialog (with a warning) when there is none.
    static Action clickButton(const QString& text);
    // Types the path into a file dialog and accepts it.
    static Action chooseFile(const QString& path);

private:
    void poll();

    Action m_action;
    QTimer* m_timer;
    int m_elapsed = 0;
    int m_timeoutMs;
    bool m_answered = false;
    QString m_title;
    QString m_text;
};

} // namespace orxtest

// main() of a widget test.
#define ORX_GUI_TEST_MAIN(TestClass)                                                                         \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        orxtest::prepareEnvironment();                                                                       \
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);                                             \
        QApplication app(argc, argv);                                                                        \
        orxtest::prepareGuiApplication();                                                                    \
        TestClass tc;                                                                                        \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
