#pragma once
// The main window as the tests of the program start and read it.

#include "guitestsupport.h"
#include "mainwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QGridLayout>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>

namespace orxtest {

inline QStringList list(const char* joined)
{
    return u8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

// A main window whose question for a first document was closed unanswered.
inline std::unique_ptr<MainWindow> startWindow()
{
    ModalAnswerer start(ModalAnswerer::reject());
    auto window = std::make_unique<MainWindow>();
    static_cast<void>(QTest::qWaitFor([&] { return start.answered(); }));
    return window;
}

// Picks through "Новый" the kind at the cell of the dialog's grid, whose two
// rows fill column by column.
inline void pickNew(MainWindow& window, int cell)
{
    ModalAnswerer pick([cell](QWidget* modal) {
        auto* item = qobject_cast<QGridLayout*>(modal->layout())->itemAtPosition(cell % 2, cell / 2);
        QTest::mouseClick(qobject_cast<QAbstractButton*>(item->widget()), Qt::LeftButton);
    });
    window.action(MainWindow::aiNew)->trigger();
}

// The tabs as the user sees them: "+" in front of a project's position (its
// tooltip and colour), the current one in brackets; the number of a default
// name as "#", as it depends on the documents made before.
inline QString tabs(MainWindow& w)
{
    QStringList texts;
    for (int i = 0; i < w.tabWidget()->count(); ++i) {
        QString text = w.tabWidget()->tabText(i).replace(QRegularExpression(QStringLiteral(" \\d+")),
                                                         QStringLiteral(" #"));
        const bool position =
            w.tabWidget()->tabToolTip(i) == u8("Позиция проекта «%1»").arg(w.projectName()) &&
            w.tabWidget()->tabBar()->tabTextColor(i).isValid();
        text = (position ? QStringLiteral("+") : QString()) + text;
        texts << (i == w.tabWidget()->currentIndex() ? QLatin1Char('[') + text + QLatin1Char(']') : text);
    }
    return texts.join(QLatin1Char('|'));
}

// The questions and dialogs the command (-1: the title bar's close) brought
// up, each answered in turn; a spare answer proves that nothing more is asked.
inline QStringList asked(MainWindow& w, int action, QList<ModalAnswerer::Action> answers)
{
    ModalSequence sequence(answers << ModalAnswerer::clickButton(u8("Нет")));
    if (action < 0)
        w.close();
    else
        w.action(action)->trigger();
    return sequence.texts();
}

} // namespace orxtest
