#pragma once

// Support for tests that drive real widgets offscreen.

#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPointer>
#include <QWidget>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;
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

// Answers the modal dialogs that open one after another, each with the next
// action, and keeps what each of them said: the text of a message box, or the
// title of another dialog.
class ModalSequence
{
public:
    explicit ModalSequence(QList<ModalAnswerer::Action> actions);
    Q_DISABLE_COPY(ModalSequence)

    int answered() const { return m_texts.size(); }
    QStringList texts() const { return m_texts; }
    // The icon of each answered box (QMessageBox::Icon; 0 for another dialog).
    QList<int> icons() const { return m_icons; }

private:
    void armNext();

    QList<ModalAnswerer::Action> m_actions;
    int m_next = 0;
    std::vector<std::unique_ptr<ModalAnswerer>> m_answerers;
    QStringList m_texts;
    QList<int> m_icons;
};

// What the program writes to its console from start to a clean exit, in bytes.
QByteArray consoleOfStartAndExit();

// The text a copy button puts on the clipboard when the user clicks it.
QString copiedText(QAbstractButton* copy);

// The report of the candidate (DN, Kvs) of a calculated task; the item stays
// empty when the calculation did not offer that candidate, and a refused task
// is warned about.
template <class Algorithm, class Report, class Input, class Pipes>
Report reportOf(const Input& task, int dn, double kvs, const Pipes& pipes)
{
    Algorithm algorithm;
    if (!algorithm.calc(task))
        qWarning("%s", qPrintable(algorithm.errorText()));
    Report report{task, {}, pipes};
    for (const auto& item : algorithm.results())
        if (item.dn == dn && std::abs(item.kv - kvs) < 1e-10)
            report.item = item;
    return report;
}

// One row of a report table as its reader gives it: the cells that are given.
QStringList cells(const char* first, const char* second = nullptr, const char* third = nullptr);

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
