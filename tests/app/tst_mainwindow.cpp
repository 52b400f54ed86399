// The main window driven as a user drives it: its commands, the tabs of the
// documents, saving and opening files (also those named on the command line, as
// a file manager passes them), the questions asked on closing, and a document
// of every kind changed and closed.

#include "../../fuzz/sampledocuments.h"

#include "documents/doc.h"
#include "forms/fancabinetchild.h"
#include "forms/kvchild.h"
#include "framework/mdichild.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"
#include "mainwindow.h"
#include "selectdoctypedlg.h"
#include "vocabulary/flowmeter.h"

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

#include <sys/stat.h>

using namespace common;
using orxtest::ModalAnswerer;
using orxtest::ModalSequence;
using Action = ModalAnswerer::Action;

namespace {

QStringList list(const char* joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

// How three Kv tabs are closed (0 "Закрыть все", 1 "Выход", 2 the title bar),
// which are modified, the answers, the tabs asked about and the tabs left.
const struct
{
    const char* name;
    int how;
    const char *modified, *answers, *asked;
    int remaining;
} kClosings[] = {
    {"Закрыть все: nothing modified, no question", 0, "", "", "", 0},
    {"Закрыть все: no on the third, cancel on the second keeps two", 0, "012", "Нет|Отмена", "21", 2},
    {"Закрыть все: only the middle modified, cancel keeps two", 0, "1", "Отмена", "1", 2},
    {"Выход: no on the third, cancel on the second closes none", 1, "012", "Нет|Отмена", "21", 3},
    {"Выход: no to all closes all", 1, "012", "Нет|Нет|Нет", "210", 0},
    {"title bar: cancel on the third closes none", 2, "012", "Отмена", "2", 3},
    {"title bar: only the middle modified, no closes all", 2, "1", "Нет", "1", 0},
};

// One change of a document of each kind: a number typed or an option picked
// from a list by its code.
const struct
{
    const char* name;
    DocType type;
    qint16 field;
    const char* typed;
    int code;
} kEdits[] = {
    {"Kv calculation: P1 typed", docKv, MdiChild::fcP1, "2", 0},
    {"valve: P1 typed", docValve, MdiChild::fcP1, "4", 0},
    {"regulator: flow typed", docRegulator, MdiChild::fcFlow, "3", 0},
    {"heating cabinet: loop count chosen", docStdCabinet, CabinetChild::fcLoopCount, "", 5},
    {"ventilation cabinet: fan drive chosen", docFanCabinet, CabinetChild::fcFan, "", 5},
    {"flow meter: diameter chosen", docFlowMeter, lfDiameter, "", 100},
};

// A file the main window refuses to open: the warning box of the program (the
// version warning names the file) or the reader's error.
const struct
{
    const char *name, *hex, *warning, *error;
} kRefusals[] = {
    {"older version", "00000002", "Несоответствие версии загружаемого документа (%1) и версии программы", ""},
    {"ends inside a field", "00000003 7ffe0000 000000", "", "Ошибка при открытии документа"},
};

// Documents named on the command line, the tabs they open and the refusals.
const struct
{
    const char *name, *files, *tabs;
    int refusals;
} kCommandLines[] = {
    {"none: a new document is asked for", "", "", 0},
    {"hostile: refused, not run out of memory", "hostile.orx", "", 1},
    {"pipe: refused, not read forever", "pipe.orx", "", 1},
    {"same file twice by two paths, Cyrillic folder with a blank",
     "Проекты 2022/Клапан.orx|sub/../Проекты 2022/Клапан.orx", "Клапан", 0},
    {"several, a missing one refused", "Проекты 2022/Клапан.orx|missing.orx|Kv.orx", "Клапан|Kv", 1},
};

#define ORX_ROWS(table)                                                                                      \
    QTest::addColumn<int>("row");                                                                            \
    for (int i = 0; i < int(std::size(table)); ++i)                                                          \
        QTest::newRow(table[i].name) << i;

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A main window whose start-up dialog was answered with the type given
    // (rejected for 0), with `tabs` more unmodified Kv tabs made through "Новый".
    std::unique_ptr<MainWindow> startWindow(int pick, int tabs = 0)
    {
        ModalAnswerer answer([pick](QWidget* modal) {
            if (auto* dialog = qobject_cast<SelectDocTypeDlg*>(modal); dialog && pick)
                dialog->button(DocType(pick))->click();
            else if (auto* other = qobject_cast<QDialog*>(modal))
                other->reject();
        });
        auto window = std::make_unique<MainWindow>();
        if (!QTest::qWaitFor([&] { return answer.answered(); }))
            qWarning("the start-up dialog did not come");
        for (int i = 0; i < tabs; ++i)
            addTab(*window);
        return window;
    }
    // Picks a Kv calculation through "Новый" and returns the new window.
    static MdiChild* addTab(MainWindow& window)
    {
        ModalAnswerer answer(
            [](QWidget* modal) { qobject_cast<SelectDocTypeDlg*>(modal)->button(docKv)->click(); });
        window.action(MainWindow::aiNew)->trigger();
        return answer.answered() ? window.activeMdiChild() : nullptr;
    }
    // Types a new pressure P1 as the user would.
    static void modify(MdiChild* child, const QString& p1)
    {
        orxtest::typeInto(qobject_cast<QDoubleSpinBox*>(child->control(DocKey(MdiChild::fcP1))), p1);
        QVERIFY(child->isModified());
    }
    // Runs the command of the window, answering the dialogs it opens in turn.
    static QStringList answered(MainWindow& window, int action, QList<Action> answers)
    {
        ModalSequence sequence(answers);
        window.action(action)->trigger();
        return sequence.texts();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCoreApplication::setOrganizationName(QStringLiteral("Оримакстех"));
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        // The tests close main windows; the application must not quit on them.
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void cleanup() { Doc::setWarningPresenter(nullptr); }

    // Runs first: the first document of the process takes number 1. Only the
    // six document types have windows: another is a programming error,
    // reported, that opens nothing. Ids 2 to 5 are close, close all, save and
    // save as; the tabs switch around both ways, and not at all without tabs.
    void documentActionsFollowTabs()
    {
        orxtest::MessageCapture capture;
        auto window = startWindow(docKv);
        QTabWidget* tabs = window->tabWidget();
        QCOMPARE(tabs->tabText(0), QStringLiteral("Расчёт Kv 1"));
        QVERIFY(qobject_cast<KvChild*>(window->activeMdiChild()) && !window->activeMdiChild()->isModified());
        QVERIFY(window->isVisible() && (window->windowState() & Qt::WindowMaximized));
        QCOMPARE(capture.count(), 0);
        QCOMPARE(window->createMdiChild(DocType(7), nullptr), -1);
        QCOMPARE(capture.assertions().size(), 2);
        auto enabled = [&] {
            QString states;
            for (int id = 0; id <= MainWindow::aiAbout; ++id)
                states += window->action(id)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
            return states;
        };
        QCOMPARE(enabled(), QStringLiteral("1111111111"));
        window->action(MainWindow::aiClose)->trigger();
        QCOMPARE(enabled(), QStringLiteral("1100001111"));
        window->nextTab();
        QCOMPARE(tabs->currentIndex(), -1);
        for (int i = 0; i < 3; ++i)
            addTab(*window);
        window->action(MainWindow::aiNextTab)->trigger();
        QCOMPARE(tabs->currentIndex(), 0);
        window->action(MainWindow::aiPrevTab)->trigger();
        QCOMPARE(tabs->currentIndex(), 2);
        ModalAnswerer about(ModalAnswerer::clickButton(QStringLiteral("OK")));
        window->action(MainWindow::aiAbout)->trigger();
        QCOMPARE(about.title(), QStringLiteral("О программе"));
        QVERIFY(about.text().startsWith(QStringLiteral("Оримакс-расчёт, версия от 01.03.22<br><br>")));
    }
    void saveAndOpen()
    {
        auto window = startWindow(docKv);
        MdiChild* c = window->activeMdiChild();
        modify(c, QStringLiteral("10"));
        QVERIFY(window->tabWidget()->tabText(0).endsWith(QStringLiteral(" *")));
        // A cancelled save dialog saves nothing and says nothing.
        QCOMPARE(answered(*window, MainWindow::aiSave, {ModalAnswerer::reject()}).size(), 1);
        QVERIFY(c->isModified());
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Готово"));
        const QString path = m_dir.filePath(QStringLiteral("Сохранённый.orx"));
        answered(*window, MainWindow::aiSave, {ModalAnswerer::chooseFile(path)});
        QCOMPARE(window->tabWidget()->tabText(0), QStringLiteral("Сохранённый"));
        QVERIFY(QFile::exists(path) && !c->isModified());
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Документ сохранён"));
        QVERIFY(window->statusBar()->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(window->statusBar()->currentMessage(), QString(), 4000);
        // "Сохранить как" always asks.
        const QString copy = m_dir.filePath(QStringLiteral("Копия.orx"));
        QCOMPARE(answered(*window, MainWindow::aiSaveAs, {ModalAnswerer::chooseFile(copy)}).size(), 1);
        QCOMPARE(window->tabWidget()->tabText(0), QStringLiteral("Копия"));
        // Opened again, the document shows what was typed, unmodified.
        window->closeActiveTab();
        QCOMPARE(answered(*window, MainWindow::aiOpen, {ModalAnswerer::chooseFile(copy)}), list("Открыть"));
        QCOMPARE(window->tabWidget()->tabText(0), QStringLiteral("Копия"));
        c = window->activeMdiChild();
        QVERIFY(c && !c->isModified());
        QCOMPARE(c->doubleValue(DocKey(MdiChild::fcP1)), 10.0);
        // The next dialog starts in the folder of this file.
        QCOMPARE(QDir(Doc::directory()).canonicalPath(), QDir(m_dir.path()).canonicalPath());
        // Unsaved documents and missing files never match a file.
        QVERIFY(addTab(*window));
        QCOMPARE(window->findMdiChild(m_dir.filePath(QStringLiteral("нет такого.orx"))), -1);
        QCOMPARE(window->findMdiChild(window->tabWidget()->tabText(1)), -1);
    }
    void openAlreadyOpen_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("same path") << QStringLiteral("Проект.orx");
        QTest::newRow("through the parent") << QStringLiteral("sub/../Проект.orx");
        QTest::newRow("through a link") << QStringLiteral("link.orx");
        QTest::newRow("through a linked folder") << QStringLiteral("linked/Проект.orx");
    }
    // A file already shown in a tab is not read again, whatever the path to it.
    void openAlreadyOpen()
    {
        QFETCH(QString, route);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Проект.orx"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")) &&
                QFile::link(path, dir.filePath(QStringLiteral("link.orx"))) &&
                QFile::link(dir.path(), dir.filePath(QStringLiteral("linked"))));
        auto window = startWindow(0, 3);
        window->tabWidget()->setCurrentIndex(1);
        answered(*window, MainWindow::aiSave, {ModalAnswerer::chooseFile(path)});
        window->tabWidget()->setCurrentIndex(2);
        QCOMPARE(window->findMdiChild(dir.filePath(route)), 1);
        QCOMPARE(
            answered(*window, MainWindow::aiOpen, {ModalAnswerer::chooseFile(dir.filePath(route))}).size(),
            1);
        QCOMPARE(window->tabWidget()->count(), 3);
        QCOMPARE(window->tabWidget()->currentIndex(), 1);
    }
    // A file that cannot be read opens no tab: the user reads why in a warning
    // box of the program (the version warning names the file) or in the error
    // message of the reader.
    void openFailure_data() { ORX_ROWS(kRefusals) }
    void openFailure()
    {
        QFETCH(int, row);
        QString warning = QString::fromUtf8(kRefusals[row].warning);
        const QString error = QString::fromUtf8(kRefusals[row].error);
        const QString path = m_dir.filePath(QStringLiteral("Испорченный.orx"));
        QVERIFY(orxtest::writeFile(path, QByteArray::fromHex(kRefusals[row].hex)));
        Doc::setWarningPresenter(&MainWindow::showFileWarning);
        auto window = startWindow(docKv);
        orxtest::MessageCapture capture;
        ModalSequence answers(
            {ModalAnswerer::chooseFile(path), ModalAnswerer::clickButton(QStringLiteral("OK"))});
        window->action(MainWindow::aiOpen)->trigger();
        QCOMPARE(window->tabWidget()->count(), 1);
        QCOMPARE(window->tabWidget()->currentIndex(), 0);
        QCOMPARE(answers.texts(),
                 list("Открыть") + (warning.isEmpty()
                                        ? QStringList()
                                        : QStringList{warning.replace(QLatin1String("%1"), path)}));
        QCOMPARE(answers.icons().last(), warning.isEmpty() ? 0 : int(QMessageBox::Warning));
        QCOMPARE(capture.count() ? capture.messages().first().text : QString(), error);
    }
    // Asked from the last tab to the first. "Закрыть все" stops at the first
    // tab kept open. Leaving the program ("Выход" or the title bar) never
    // throws away unsaved work nor part of the tabs: it asks as "Закрыть все"
    // does and closes nothing until every answer is in, and nothing at all
    // after a cancel.
    void closingAsks_data() { ORX_ROWS(kClosings) }
    void closingAsks()
    {
        QFETCH(int, row);
        const auto& r = kClosings[row];
        auto window = startWindow(0, 3);
        QStringList names, questions;
        for (int i = 0; i < 3; ++i)
            names << window->child(i)->doc().name();
        for (const char* i = r.modified; *i; ++i)
            modify(window->child(*i - '0'), QStringLiteral("1%1").arg(*i));
        for (const char* i = r.asked; *i; ++i)
            questions << QStringLiteral("Сохранить изменения в '%1'?").arg(names[*i - '0']);
        // One spare answer proves that nothing more is asked.
        QList<Action> actions;
        for (const QString& a : list(r.answers) + list("Нет"))
            actions << ModalAnswerer::clickButton(a);
        ModalSequence sequence(actions);
        if (r.how == 2)
            window->close();
        else
            window->action(r.how ? MainWindow::aiExit : MainWindow::aiCloseAll)->trigger();
        QCOMPARE(sequence.texts(), questions);
        QCOMPARE(window->tabWidget()->count(), r.remaining);
        // Each kept tab still shows its document window.
        for (int i = 0; i < r.remaining; ++i)
            QVERIFY(window->child(i)->doc().name() == names[i] && !window->child(i)->isHidden());
        QCOMPARE(window->isVisible(), r.how == 0 || r.remaining > 0);
        QCOMPARE(window->action(MainWindow::aiSave)->isEnabled(), r.remaining > 0);
    }
    // A document of each kind opened in a new tab and shown, changed, then
    // closed through "Закрыть" with the answer "Нет" to the question about
    // saving: the window really goes, and nothing else reaches the user (no
    // assertion, no error box). (The thousand-document run that watches the
    // memory of the process is bench/bench_soak.cpp.)
    void eachKindChangesAndCloses_data() { ORX_ROWS(kEdits) }
    void eachKindChangesAndCloses()
    {
        QFETCH(int, row);
        const auto& edit = kEdits[row];
        auto window = startWindow(0);
        orxtest::MessageCapture capture;
        QTabWidget* tabs = window->tabWidget();
        tabs->setCurrentIndex(window->createMdiChild(edit.type, nullptr));
        QPointer<MdiChild> form = window->activeMdiChild();
        QVERIFY(form && form->docType() == edit.type);
        const QString name = form->doc().name();
        QCoreApplication::processEvents(); // laid out and painted
        if (*edit.typed)
            orxtest::typeInto(form->ctrl<QDoubleSpinBox>(DocKey(edit.field)), QString::fromUtf8(edit.typed));
        else
            form->ctrl<QSmartComboBox>(DocKey(edit.field))->setCurrentByData(edit.code);
        QCoreApplication::processEvents();
        QVERIFY(form->isModified());
        QCOMPARE(tabs->tabText(tabs->currentIndex()), name + QStringLiteral(" *"));
        QCOMPARE(answered(*window, MainWindow::aiClose, {ModalAnswerer::clickButton(QStringLiteral("Нет"))}),
                 QStringList{QStringLiteral("Сохранить изменения в '%1'?").arg(name)});
        QCOMPARE(tabs->count(), 0);
        // The page deletes itself once control is back in the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!form);
        QCOMPARE(capture.count(), 0);
    }
    // Documents named on the command line open each in its own tab as
    // "Открыть..." opens them, a refused one is explained as there (a missing
    // one named in the error), and only a start without documents asks for a
    // new one.
    void commandLine_data() { ORX_ROWS(kCommandLines) }
    void commandLine()
    {
        QFETCH(int, row);
        const QStringList files = list(kCommandLines[row].files), tabs = list(kCommandLines[row].tabs);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Проекты 2022")) &&
                QDir(dir.path()).mkpath(QStringLiteral("sub")));
        // The hostile one: a list of two billion fields.
        for (auto [name, bytes] :
             {std::pair{"Проекты 2022/Клапан.orx", orxsamples::valveDocument().toByteArray()},
              {"Kv.orx", orxsamples::kvDocument().toByteArray()},
              {"hostile.orx", QByteArray::fromHex("00000003 7ffe0000 00000009 00 7fffffff")}})
            QVERIFY(orxtest::writeFile(dir.filePath(QString::fromUtf8(name)), bytes));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.orx"))).constData(), 0600), 0);
        QStringList paths;
        for (const QString& file : files)
            paths << dir.filePath(file);
        // A refusal is an error message or a warning box of the reader.
        orxtest::MessageCapture errors;
        ModalSequence modals(QVector<Action>(4, ModalAnswerer::reject()).toList());
        MainWindow window(paths);
        // Every document is read, and every refusal answered, before the window goes idle.
        QTest::qWait(300);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QStringList titles;
        for (int i = 0; i < window.tabWidget()->count(); ++i)
            titles << window.tabWidget()->tabText(i);
        QCOMPARE(titles, tabs);
        // The last document opened is the one in front.
        QCOMPARE(window.tabWidget()->currentIndex(), tabs.size() - 1);
        const int dialogs = modals.texts().filter(QStringLiteral("Новый подбор")).size();
        QCOMPARE(dialogs, int(files.isEmpty()));
        QCOMPARE(errors.count() + modals.answered() - dialogs, kCommandLines[row].refusals);
        QVERIFY(!files.contains(QStringLiteral("missing.orx")) ||
                errors.contains(dir.filePath(QStringLiteral("missing.orx"))));
    }
};

ORX_GUI_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
