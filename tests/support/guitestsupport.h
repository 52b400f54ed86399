#pragma once
// Support for tests that drive real widgets offscreen.

#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;

namespace orxtest {

void prepareGuiApplication(); // the program's pictures registered
// What a user does to an input: focus it, select all, type (a null input is skipped).
void typeInto(QAbstractSpinBox* spin, const QString& text);
void selectData(QComboBox* combo, int value); // the item that carries the value
QStringList itemTexts(const QComboBox* combo);
QList<int> itemData(const QComboBox* combo);

// A label's text as the user reads it: the no-break spaces that keep a figure
// with its unit on a wrapped line read as spaces, the word joiners that hold a
// unit's slash are unseen.
inline QString readText(const QLabel* label)
{
    return label->text().replace(QChar(0x00A0), QLatin1Char(' ')).remove(QChar(0x2060));
}

// The default locale for the life of a scope (Russian: a decimal comma); a widget takes it when it is made.
struct LocaleScope
{
    explicit LocaleScope(bool russian)
    {
        QLocale::setDefault(russian ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c());
    }
    ~LocaleScope() { QLocale::setDefault(saved); }
    Q_DISABLE_COPY(LocaleScope)
    const QLocale saved;
};

// Answers the next modal dialog or message box with the action, at most once;
// arm it before the code that opens the dialog.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    using Action = std::function<void(QWidget* modal)>;

    explicit ModalAnswerer(Action action, int timeoutMs = 5000);
    bool answered() const { return m_answered; }
    QString title() const { return m_title; }
    QString text() const { return m_text; } // of a message box
    static Action pressButton(int standardButton);
    static Action accept();
    static Action reject();
    static Action clickButton(const QString& text); // rejects (with a warning) when there is none
    static Action chooseFile(const QString& path);  // typed into a file dialog, accepted

private:
    void poll();
    Action m_action;
    QTimer* m_timer;
    bool m_answered = false;
    QString m_title;
    QString m_text;
};

// Answers the modal dialogs that open one after another, each with the next action,
// and keeps what each said: a message box's text, another dialog's title.
class ModalSequence
{
public:
    explicit ModalSequence(QList<ModalAnswerer::Action> actions) : m_actions(std::move(actions))
    {
        armNext();
    }
    Q_DISABLE_COPY(ModalSequence)
    int answered() const { return m_texts.size(); }
    QStringList texts() const { return m_texts; }
    QList<int> icons() const { return m_icons; } // QMessageBox::Icon; 0 for another dialog

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

} // namespace orxtest

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
