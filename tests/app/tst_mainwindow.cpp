// The main window driven as a user drives it: its commands, the tabs of the
// documents, saving and opening files, and the questions asked on closing.

#include "documents/doc.h"
#include "forms/kvchild.h"
#include "framework/mdichild.h"
#include "guitestsupport.h"
#include "mainwindow.h"
#include "selectdoctypedlg.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>

#include <memory>
#include <vector>

using namespace common;
using orxtest::ModalAnswerer;
using Action = ModalAnswerer::Action;

namespace {

// Answers the modal dialogs that open one after another, each with the next
// action, and keeps what each of them said.
class ModalSequence
{
public:
    explicit ModalSequence(QList<Action> actions) : m_actions(std::move(actions)) { armNext(); }
    Q_DISABLE_COPY(ModalSequence)

    int answered() const { return m_texts.size(); }
    // The text of each answered message box, or the title of another dialog.
    QStringList texts() const { return m_texts; }
    QList<QMessageBox::Icon> icons() const { return m_icons; }

private:
    void armNext()
    {
        if (m_next >= m_actions.size())
            return;
        const Action action = m_actions.at(m_next++);
        m_answerers.push_back(std::make_unique<ModalAnswerer>([this, action](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            m_texts << (box ? box->text() : modal->windowTitle());
            m_icons << (box ? box->icon() : QMessageBox::NoIcon);
            action(modal);
            armNext();
        }));
    }

    QList<Action> m_actions;
    int m_next = 0;
    std::vector<std::unique_ptr<ModalAnswerer>> m_answerers;
    QStringList m_texts;
    QList<QMessageBox::Icon> m_icons;
};

const QString kNo = QStringLiteral("Нет");
const QString kCancel = QStringLiteral("Отмена");

QString closeQuestion(const QString& name)
{
    return QStringLiteral("Сохранить изменения в '%1'?").arg(name);
}

struct ActionRow
{
    int id;
    const char* text;
    const char* icon;
    QKeySequence::StandardKey shortcut;
    const char* statusTip;
};

} // namespace

Q_DECLARE_METATYPE(ActionRow)

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A main window whose start-up dialog was answered: with the type given, or rejected for 0.
    std::unique_ptr<MainWindow> startWindow(int pick)
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
        return window;
    }

    // Picks a document type through "Новый" and returns the new window.
    static MdiChild* addTab(MainWindow& window, DocType type = docKv)
    {
        ModalAnswerer answer(
            [type](QWidget* modal) { qobject_cast<SelectDocTypeDlg*>(modal)->button(type)->click(); });
        window.action(MainWindow::aiNew)->trigger();
        return answer.answered() ? window.activeMdiChild() : nullptr;
    }

    // Types a new pressure P1 as the user would.
    static void modify(MdiChild* child, const QString& p1)
    {
        orxtest::typeInto(qobject_cast<QDoubleSpinBox*>(child->control(DocKey(MdiChild::fcP1))), p1);
        QVERIFY(child->isModified());
    }

    // A window with `count` unmodified Kv tabs.
    std::unique_ptr<MainWindow> windowWithKvTabs(int count)
    {
        auto window = startWindow(0);
        for (int i = 0; i < count; ++i)
            addTab(*window);
        return window;
    }

    // Saves the current document through "Сохранить" into the file.
    static bool saveCurrent(MainWindow& window, const QString& path)
    {
        ModalSequence answers({ModalAnswerer::chooseFile(path)});
        window.action(MainWindow::aiSave)->trigger();
        return answers.answered() == 1 && QFile::exists(path);
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

    // Runs first: the first document of the process takes number 1.
    void startupPicksKvCalculation()
    {
        orxtest::MessageCapture capture;
        auto window = startWindow(docKv);
        QTabWidget* tabs = window->tabWidget();
        QCOMPARE(window->centralWidget(), tabs);
        QVERIFY(tabs->tabsClosable() && tabs->isMovable());
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Расчёт Kv 1"));
        QVERIFY(qobject_cast<KvChild*>(window->activeMdiChild()));
        QCOMPARE(window->child(0), window->activeMdiChild());
        QVERIFY(!window->activeMdiChild()->isModified());
        auto* area = qobject_cast<QScrollArea*>(tabs->widget(0));
        QVERIFY(area && area->widgetResizable() && area->frameStyle() == 0);
        QVERIFY(area->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(capture.count(), 0);
    }

    void windowFrameWithTheDialogRejected()
    {
        auto window = startWindow(0);
        QCOMPARE(window->tabWidget()->count(), 0);
        QVERIFY(!window->activeMdiChild());
        QCOMPARE(window->windowTitle(), QStringLiteral("Оримакс-расчёт, версия от 01.03.22"));
        QVERIFY(window->isVisible() && (window->windowState() & Qt::WindowMaximized));
        QVERIFY(window->statusBar()->isHidden());
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Готово"));
        QCOMPARE(MainWindow::fileFilter(), QStringLiteral("Оримакс-расчёт (*.orx)"));
    }

    void menusAndToolBar()
    {
        auto window = startWindow(0);
        auto ids = [&](const QList<QAction*>& actions) {
            QList<int> result;
            for (QAction* a : actions) {
                int id = -1;
                for (int i = 0; i <= MainWindow::aiAbout; ++i)
                    if (window->action(i) == a && !a->isSeparator())
                        id = i;
                result << id;
            }
            return result;
        };
        const QList<QAction*> menus = window->menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->text(), QStringLiteral("&Подбор"));
        QCOMPARE(menus[1]->text(), QStringLiteral("&Справка"));
        QCOMPARE(ids(menus[0]->menu()->actions()), (QList<int>{0, 1, -1, 4, 5, -1, 2, 3, -1, 6}));
        QCOMPARE(ids(menus[1]->menu()->actions()), QList<int>{9});
        const QList<QToolBar*> bars = window->findChildren<QToolBar*>();
        QCOMPARE(bars.size(), 1);
        QCOMPARE(bars[0]->windowTitle(), QStringLiteral("Подбор"));
        QCOMPARE(ids(bars[0]->actions()), (QList<int>{0, 1, 4, -1, 9, 6}));
        // The tab switches belong to no menu, yet their shortcuts work in the window.
        QVERIFY(window->actions().contains(window->action(MainWindow::aiNextTab)));
        QVERIFY(window->actions().contains(window->action(MainWindow::aiPrevTab)));
    }

    void actions_data()
    {
        using K = QKeySequence;
        QTest::addColumn<ActionRow>("a");
        QTest::newRow("new") << ActionRow{0, "Новый", ":/icons/new.png", K::New, "Создать новый документ"};
        QTest::newRow("open") << ActionRow{1, "&Открыть...", ":/icons/open.png", K::Open, "Открыть документ"};
        QTest::newRow("close") << ActionRow{2, "&Закрыть", "", K::Close, "Закрыть текущее окно"};
        QTest::newRow("close all") << ActionRow{3, "Закрыть &все", "", K::UnknownKey, "Закрыть все окна"};
        QTest::newRow("save") << ActionRow{4, "&Сохранить", ":/icons/save.png", K::Save,
                                           "Сохранить текущий документ"};
        QTest::newRow("save as") << ActionRow{5, "Сохранить к&ак...", "", K::UnknownKey,
                                              "Сохранить документ под другим именем"};
        QTest::newRow("exit") << ActionRow{6, "Выход", ":/icons/exit.png", K::Quit, "Выход из приложения"};
        QTest::newRow("next tab") << ActionRow{7, "&Следующая вкладка", "", K::NextChild, ""};
        QTest::newRow("previous tab") << ActionRow{8, "&Предыдущая вкладка", "", K::PreviousChild, ""};
        QTest::newRow("about") << ActionRow{9, "&О программе", ":/icons/about.png", K::UnknownKey,
                                            "Краткая информация о программе"};
    }

    void actions()
    {
        QFETCH(ActionRow, a);
        auto window = startWindow(0);
        QAction* action = window->action(a.id);
        QCOMPARE(action->parent(), window.get());
        QCOMPARE(action->text(), QString::fromUtf8(a.text));
        // Compared as drawn: the toolbar icons are all of one size and style.
        const QString icon = QString::fromUtf8(a.icon);
        QCOMPARE(action->icon().isNull(), icon.isEmpty());
        if (!icon.isEmpty())
            QCOMPARE(action->icon().pixmap(32, 32).toImage(), QIcon(icon).pixmap(32, 32).toImage());
        QCOMPARE(action->shortcuts(), QKeySequence::keyBindings(a.shortcut));
        QCOMPARE(action->statusTip(), QString::fromUtf8(a.statusTip));
        QVERIFY(!action->isCheckable());
    }

    void unknownActionId()
    {
        auto window = startWindow(0);
        orxtest::MessageCapture capture;
        QAction* a = window->action(42);
        QVERIFY(a && a->text().isEmpty());
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().endsWith(QStringLiteral("\r\n0")));
        // Kept: asked again, the same action and no second report.
        QCOMPARE(window->action(42), a);
        QCOMPARE(capture.count(), 1);
    }

    void documentActionsFollowTabs()
    {
        auto window = startWindow(0);
        auto enabled = [&] {
            QString states;
            for (int id = 0; id <= MainWindow::aiAbout; ++id)
                states += window->action(id)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
            return states;
        };
        // Ids 2 to 5 are close, close all, save and save as.
        QCOMPARE(enabled(), QStringLiteral("1100001111"));
        QVERIFY(addTab(*window));
        QCOMPARE(enabled(), QStringLiteral("1111111111"));
        window->action(MainWindow::aiClose)->trigger();
        QCOMPARE(window->tabWidget()->count(), 0);
        QCOMPARE(enabled(), QStringLiteral("1100001111"));
        // Switching with no tab does nothing.
        window->nextTab();
        window->prevTab();
        QCOMPARE(window->tabWidget()->currentIndex(), -1);
    }

    void tabCycling_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<int>("expected");
        QTest::newRow("next from the first") << 0 << true << 1;
        QTest::newRow("next from the last wraps") << 2 << true << 0;
        QTest::newRow("previous from the last") << 2 << false << 1;
        QTest::newRow("previous from the first wraps") << 0 << false << 2;
    }

    void tabCycling()
    {
        QFETCH(int, start);
        QFETCH(bool, forward);
        QFETCH(int, expected);
        auto window = windowWithKvTabs(3);
        QCOMPARE(window->tabWidget()->count(), 3);
        window->tabWidget()->setCurrentIndex(start);
        window->action(forward ? MainWindow::aiNextTab : MainWindow::aiPrevTab)->trigger();
        QCOMPARE(window->tabWidget()->currentIndex(), expected);
    }

    // Only the six document types have windows, and only scroll areas hold
    // them: anything else is a programming error, reported, that opens nothing.
    void contractViolationsAreReported()
    {
        auto window = startWindow(docKv);
        orxtest::MessageCapture capture;
        QCOMPARE(window->createMdiChild(DocType(7), nullptr), -1);
        QCOMPARE(window->tabWidget()->count(), 1);
        QVERIFY(!window->child(-1));
        QVERIFY(!window->child(5));
        QStringList conditions;
        for (const QString& report : capture.assertions())
            conditions << report.section(QStringLiteral("\r\n"), -1);
        QCOMPARE(conditions, (QStringList{QStringLiteral("0"), QStringLiteral("child"),
                                          QStringLiteral("idx >= 0"), QStringLiteral("child")}));
    }

    void eachTypeOpensItsWindow_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("windowClass");
        QTest::addColumn<QString>("namePrefix");
        QTest::newRow("valve") << int(docValve) << QStringLiteral("ValveChild") << QStringLiteral("Клапан ");
        QTest::newRow("regulator") << int(docRegulator) << QStringLiteral("RegulatorChild")
                                   << QStringLiteral("Регулятор ");
        QTest::newRow("hot-water cabinet") << int(docStdCabinet) << QStringLiteral("StdCabinetChild")
                                           << QStringLiteral("ЛМШ для ГВС или ОТП ");
        QTest::newRow("ventilation cabinet")
            << int(docFanCabinet) << QStringLiteral("FanCabinetChild") << QStringLiteral("ЛМШ для ВЕНТ ");
        QTest::newRow("flow meter") << int(docFlowMeter) << QStringLiteral("FlowMeterChild")
                                    << QStringLiteral("Расходомер ");
        QTest::newRow("Kv") << int(docKv) << QStringLiteral("KvChild") << QStringLiteral("Расчёт Kv ");
    }

    // Every kind the new-document dialog offers opens its own window in a new
    // last tab, made current, named with the kind's word and the next number.
    void eachTypeOpensItsWindow()
    {
        QFETCH(int, type);
        QFETCH(QString, windowClass);
        QFETCH(QString, namePrefix);
        auto window = windowWithKvTabs(1);
        orxtest::MessageCapture capture;
        MdiChild* c = addTab(*window, DocType(type));
        QVERIFY(c);
        QCOMPARE(window->tabWidget()->count(), 2);
        QCOMPARE(window->tabWidget()->currentIndex(), 1);
        QCOMPARE(QString::fromLatin1(c->metaObject()->className()), windowClass);
        QCOMPARE(int(c->docType()), type);
        QVERIFY(!c->isModified());
        const QString title = window->tabWidget()->tabText(1);
        QCOMPARE(title, c->doc().name());
        bool numbered = false;
        QVERIFY2(title.startsWith(namePrefix) && title.mid(namePrefix.size()).toInt(&numbered) > 0 &&
                     numbered,
                 qPrintable(title));
        QCOMPARE(capture.count(), 0);
    }

    void saveNewDocument()
    {
        auto window = startWindow(docKv);
        MdiChild* c = window->activeMdiChild();
        modify(c, QStringLiteral("10"));
        QVERIFY(window->tabWidget()->tabText(0).endsWith(QStringLiteral(" *")));

        // A cancelled save dialog saves nothing and says nothing.
        {
            ModalSequence answers({ModalAnswerer::reject()});
            window->action(MainWindow::aiSave)->trigger();
            QCOMPARE(answers.answered(), 1);
        }
        QVERIFY(c->isModified());
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Готово"));

        QVERIFY(saveCurrent(*window, m_dir.filePath(QStringLiteral("Сохранённый.orx"))));
        QCOMPARE(window->tabWidget()->tabText(0), QStringLiteral("Сохранённый"));
        QVERIFY(!c->isModified());
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Документ сохранён"));
        QVERIFY(window->statusBar()->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(window->statusBar()->currentMessage(), QString(), 4000);

        // "Сохранить как" always asks.
        const QString copy = m_dir.filePath(QStringLiteral("Копия.orx"));
        ModalSequence answers({ModalAnswerer::chooseFile(copy)});
        window->action(MainWindow::aiSaveAs)->trigger();
        QCOMPARE(answers.answered(), 1);
        QVERIFY(QFile::exists(copy));
        QCOMPARE(window->tabWidget()->tabText(0), QStringLiteral("Копия"));
    }

    void openDocument()
    {
        auto window = startWindow(docKv);
        modify(window->activeMdiChild(), QStringLiteral("12"));
        const QString path = m_dir.filePath(QStringLiteral("Открываемый.orx"));
        QVERIFY(saveCurrent(*window, path));
        window->closeActiveTab();
        QCOMPARE(window->tabWidget()->count(), 0);

        ModalSequence answers({ModalAnswerer::chooseFile(path)});
        window->action(MainWindow::aiOpen)->trigger();
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Открыть")});
        QCOMPARE(window->tabWidget()->count(), 1);
        QCOMPARE(window->tabWidget()->tabText(0), QStringLiteral("Открываемый"));
        MdiChild* c = window->activeMdiChild();
        QVERIFY(c && !c->isModified());
        QCOMPARE(c->doubleValue(DocKey(MdiChild::fcP1)), 12.0);
        // The next dialog starts in the folder of this file.
        QCOMPARE(QDir(Doc::directory()).canonicalPath(), QDir(m_dir.path()).canonicalPath());
        // Unsaved documents and missing files never match a file.
        QVERIFY(addTab(*window));
        QCOMPARE(window->findMdiChild(m_dir.filePath(QStringLiteral("нет такого.orx"))), -1);
        QCOMPARE(window->findMdiChild(QString()), -1);
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
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString path = dir.filePath(QStringLiteral("Проект.orx"));
        QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("link.orx"))));
        QVERIFY(QFile::link(dir.path(), dir.filePath(QStringLiteral("linked"))));

        auto window = windowWithKvTabs(3);
        window->tabWidget()->setCurrentIndex(1);
        QVERIFY(saveCurrent(*window, path));
        window->tabWidget()->setCurrentIndex(2);
        QCOMPARE(window->findMdiChild(dir.filePath(route)), 1);

        ModalSequence answers({ModalAnswerer::chooseFile(dir.filePath(route))});
        window->action(MainWindow::aiOpen)->trigger();
        QCOMPARE(answers.answered(), 1);
        QCOMPARE(window->tabWidget()->count(), 3);
        QCOMPARE(window->tabWidget()->currentIndex(), 1);
    }

    void openFailure_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("error");
        const QString damaged = QStringLiteral("Файл повреждён или имеет неверный формат");
        QTest::newRow("older version")
            << QByteArray::fromHex("00000002")
            << QStringLiteral("Несоответствие версии загружаемого документа (%1) и версии программы")
            << QString();
        QTest::newRow("unknown document type")
            << QByteArray::fromHex("00000003 7ffe0000 00000002 00 00000007") << damaged << QString();
        QTest::newRow("ends inside a field") << QByteArray::fromHex("00000003 7ffe0000 000000") << QString()
                                             << QStringLiteral("Ошибка при открытии документа");
    }

    // A file that cannot be read opens no tab: the user reads why in a warning
    // box of the program or in the error message of the reader.
    void openFailure()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, warning);
        QFETCH(QString, error);
        const QString path = m_dir.filePath(QStringLiteral("Испорченный.orx"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        }
        Doc::setWarningPresenter(&MainWindow::showFileWarning);
        auto window = startWindow(docKv);
        orxtest::MessageCapture capture;
        QList<Action> actions{ModalAnswerer::chooseFile(path)};
        if (!warning.isEmpty())
            actions << ModalAnswerer::clickButton(QStringLiteral("OK"));
        ModalSequence answers(actions);
        window->action(MainWindow::aiOpen)->trigger();

        QCOMPARE(window->tabWidget()->count(), 1);
        QCOMPARE(window->tabWidget()->currentIndex(), 0);
        if (!warning.isEmpty()) {
            // The version warning names the file.
            const QString shown = warning.contains(QLatin1String("%1")) ? warning.arg(path) : warning;
            QCOMPARE(answers.texts(), (QStringList{QStringLiteral("Открыть"), shown}));
            QCOMPARE(answers.icons().last(), QMessageBox::Warning);
            QCOMPARE(capture.count(), 0);
        } else {
            QCOMPARE(answers.answered(), 1);
            QCOMPARE(capture.count(), 1);
            QCOMPARE(capture.messages().first().text, error);
        }
    }

    void closeTabButton()
    {
        auto window = windowWithKvTabs(2);
        const QString second = window->tabWidget()->tabText(1);
        auto* close =
            qobject_cast<QAbstractButton*>(window->tabWidget()->tabBar()->tabButton(0, QTabBar::RightSide));
        QVERIFY(close);
        close->click();
        QCOMPARE(window->tabWidget()->count(), 1);
        QCOMPARE(window->tabWidget()->tabText(0), second);
    }

    void closingAskedFromTheLastTab_data()
    {
        QTest::addColumn<int>("how"); // 0 "Закрыть все", 1 "Выход", 2 the title bar
        QTest::addColumn<QList<int>>("modified");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QList<int>>("asked");
        QTest::addColumn<int>("remaining");
        for (int how : {0, 1, 2}) {
            const QString way = QStringList{QStringLiteral("Закрыть все: "), QStringLiteral("Выход: "),
                                            QStringLiteral("title bar: ")}[how];
            // "Закрыть все" closes the tabs after the one kept; leaving the
            // program closes all of them or none.
            const auto row = [&](const char* name, QList<int> modified, QStringList answers, QList<int> asked,
                                 int keptByCloseAll, int keptByExit) {
                QTest::newRow(qPrintable(way + QString::fromUtf8(name)))
                    << how << modified << answers << asked << (how == 0 ? keptByCloseAll : keptByExit);
            };
            const QList<int> all{0, 1, 2};
            row("nothing modified closes without a question", {}, {}, {}, 0, 0);
            row("cancel on the third keeps all", all, {kCancel}, {2}, 3, 3);
            row("no on the third, cancel on the second", all, {kNo, kCancel}, {2, 1}, 2, 3);
            row("no to all", all, {kNo, kNo, kNo}, {2, 1, 0}, 0, 0);
            row("only the middle modified, cancel", {1}, {kCancel}, {1}, 2, 3);
            row("only the middle modified, no", {1}, {kNo}, {1}, 0, 0);
        }
    }

    // From the last tab to the first. "Закрыть все" stops at the first tab
    // kept open. Leaving the program never throws away unsaved work nor part
    // of the tabs: it asks as "Закрыть все" does and closes nothing until
    // every answer is in, and nothing at all after a cancel.
    void closingAskedFromTheLastTab()
    {
        QFETCH(int, how);
        QFETCH(QList<int>, modified);
        QFETCH(QStringList, answers);
        QFETCH(QList<int>, asked);
        QFETCH(int, remaining);
        auto window = windowWithKvTabs(3);
        QStringList names;
        for (int i = 0; i < 3; ++i)
            names << window->child(i)->doc().name();
        for (int i : modified)
            modify(window->child(i), QStringLiteral("1%1").arg(i));
        QStringList questions;
        for (int i : asked)
            questions << closeQuestion(names[i]);
        // One spare answer proves that nothing more is asked.
        QList<Action> actions;
        for (const QString& a : answers + QStringList{kNo})
            actions << ModalAnswerer::clickButton(a);
        ModalSequence sequence(actions);
        if (how == 0)
            window->action(MainWindow::aiCloseAll)->trigger();
        else if (how == 1)
            window->action(MainWindow::aiExit)->trigger();
        else
            window->close();

        QCOMPARE(sequence.texts(), questions);
        QCOMPARE(window->tabWidget()->count(), remaining);
        // Each kept tab still shows its document window.
        for (int i = 0; i < remaining; ++i) {
            QCOMPARE(window->child(i)->doc().name(), names[i]);
            QVERIFY(!window->child(i)->isHidden());
        }
        QCOMPARE(window->isVisible(), how == 0 || remaining > 0);
        QCOMPARE(window->action(MainWindow::aiSave)->isEnabled(), remaining > 0);
    }

    void aboutBox()
    {
        auto window = startWindow(0);
        ModalAnswerer answer([](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box && box->buttons().size() == 1);
            QCOMPARE(box->windowTitle(), QStringLiteral("О программе"));
            QCOMPARE(box->buttons().first()->text(), QStringLiteral("OK"));
            QCOMPARE(box->buttonRole(box->buttons().first()), QMessageBox::AcceptRole);
            QVERIFY(!box->parentWidget() && box->textFormat() == Qt::RichText && !box->iconPixmap().isNull());
            box->buttons().first()->click();
        });
        window->action(MainWindow::aiAbout)->trigger();
        QVERIFY(answer.answered());
        QCOMPARE(answer.text(),
                 QStringLiteral(
                     "Оримакс-расчёт, версия от 01.03.22<br><br>Программа предназначена для подбора "
                     "регулирующих клапанов, регуляторов давления, регуляторов перепада давления прямого "
                     "действия и шкафов управления, разрабатываемых и выпускаемых ООО \"ОРИМАКСТЕХ\"."
                     "<br><br>Программа постоянно дорабатывается, рекомендуем проверять наличие новых версий "
                     "на нашем сайте.<br><br>Если у вас возникли вопросы, обращайтесь к нам: <a "
                     "href=\"info@orimaxteh.ru\">info@orimaxteh.ru</a><br>"));
    }
};

ORX_GUI_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
