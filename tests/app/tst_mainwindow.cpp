#include "documents/doc.h"
#include "forms/kvchild.h"
#include "framework/mdichild.h"
#include "guitestsupport.h"
#include "mainwindow.h"
#include "selectdoctypedlg.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>
#include <vector>

using namespace common;
using Action = orxtest::ModalAnswerer::Action;

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
        m_answerers.push_back(std::make_unique<orxtest::ModalAnswerer>([this, action](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            m_texts << (box ? box->text() : modal->windowTitle());
            m_icons << (box ? box->icon() : QMessageBox::NoIcon);
            action(modal);
            armNext();
        }));
    }

    QList<Action> m_actions;
    int m_next = 0;
    std::vector<std::unique_ptr<orxtest::ModalAnswerer>> m_answerers;
    QStringList m_texts;
    QList<QMessageBox::Icon> m_icons;
};

// Clicks the button of a message box that carries the text.
Action clickButton(const QString& text)
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

// Types the path into a file dialog and accepts it.
Action chooseFile(const QString& path)
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
        // A file preselected in the list would win over the typed name; a
        // person typing has the focus in the edit, which drops that selection.
        for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>())
            view->clearSelection();
        edit->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    };
}

const QString kNo = QStringLiteral("Нет");
const QString kCancel = QStringLiteral("Отмена");

QString closeQuestion(const QString& name)
{
    return QStringLiteral("Сохранить изменения в '%1'?").arg(name);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A main window whose start-up dialog was answered: with the type given,
    // or rejected for 0.
    std::unique_ptr<MainWindow> startWindow(int pick)
    {
        orxtest::ModalAnswerer answer([pick](QWidget* modal) {
            auto* dialog = qobject_cast<SelectDocTypeDlg*>(modal);
            if (dialog && pick)
                dialog->button(DocType(pick))->click();
            else if (auto* other = qobject_cast<QDialog*>(modal))
                other->reject();
        });
        auto window = std::make_unique<MainWindow>();
        if (!QTest::qWaitFor([&] { return answer.answered(); }))
            qWarning("the start-up dialog did not come");
        return window;
    }

    // Picks "Расчёт Kv" through "Новый" and returns the new window.
    MdiChild* addKvTab(MainWindow& window)
    {
        orxtest::ModalAnswerer answer(
            [](QWidget* modal) { qobject_cast<SelectDocTypeDlg*>(modal)->button(docKv)->click(); });
        window.action(MainWindow::aiNew)->trigger();
        return answer.answered() ? window.activeMdiChild() : nullptr;
    }

    // Types a new pressure P1 as the user would.
    static void modify(MdiChild* child, const QString& p1)
    {
        auto* spin = qobject_cast<QDoubleSpinBox*>(child->control(DocKey(MdiChild::fcP1)));
        QVERIFY(spin);
        spin->selectAll();
        QTest::keyClicks(spin, p1);
        QVERIFY(child->isModified());
    }

    static QStringList tabTitles(const MainWindow& window)
    {
        QStringList titles;
        for (int i = 0; i < window.tabWidget()->count(); ++i)
            titles << window.tabWidget()->tabText(i);
        return titles;
    }

    // A window with `count` Kv tabs, the first `modified` of them changed.
    std::unique_ptr<MainWindow> windowWithKvTabs(int count, int modified)
    {
        auto window = startWindow(0);
        for (int i = 0; i < count; ++i) {
            MdiChild* c = addKvTab(*window);
            if (!c)
                return window;
            if (i < modified)
                modify(c, QStringLiteral("1%1").arg(i));
        }
        return window;
    }

    // Saves the current document of the window to a file through "Сохранить".
    static bool saveCurrent(MainWindow& window, const QString& path)
    {
        ModalSequence answers({chooseFile(path)});
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
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Расчёт Kv 1"));
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(qobject_cast<KvChild*>(window->activeMdiChild()));
        QCOMPARE(window->child(0), window->activeMdiChild());
        QVERIFY(!window->activeMdiChild()->isModified());

        auto* area = qobject_cast<QScrollArea*>(tabs->widget(0));
        QVERIFY(area);
        QVERIFY(area->widgetResizable());
        QCOMPARE(area->frameStyle(), 0);
        QVERIFY(area->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(tabs->tabsClosable());
        QVERIFY(tabs->isMovable());
        QCOMPARE(window->centralWidget(), tabs);
        QCOMPARE(capture.count(), 0);
    }

    void startupDialogRejected()
    {
        auto window = startWindow(0);
        QCOMPARE(window->tabWidget()->count(), 0);
        QVERIFY(!window->activeMdiChild());
    }

    void windowFrame()
    {
        auto window = startWindow(0);
        QCOMPARE(window->windowTitle(), QStringLiteral("Оримакс-расчёт, версия от 01.03.22"));
        QVERIFY(window->isVisible());
        QVERIFY(window->windowState() & Qt::WindowMaximized);
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
                for (int i = 0; i <= MainWindow::aiAbout; ++i) {
                    if (window->action(i) == a)
                        id = i;
                }
                result << (a->isSeparator() ? -1 : id);
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
    }

    void actions_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<int>("shortcut");
        QTest::addColumn<QString>("statusTip");
        QTest::newRow("new") << 0 << QStringLiteral("Новый") << QStringLiteral(":/icons/new.png")
                             << int(QKeySequence::New) << QStringLiteral("Создать новый документ");
        QTest::newRow("open") << 1 << QStringLiteral("&Открыть...") << QStringLiteral(":/icons/open.png")
                              << int(QKeySequence::Open) << QStringLiteral("Открыть документ");
        QTest::newRow("close") << 2 << QStringLiteral("&Закрыть") << QString() << int(QKeySequence::Close)
                               << QStringLiteral("Закрыть текущее окно");
        QTest::newRow("close all") << 3 << QStringLiteral("Закрыть &все") << QString()
                                   << int(QKeySequence::UnknownKey) << QStringLiteral("Закрыть все окна");
        QTest::newRow("save") << 4 << QStringLiteral("&Сохранить") << QStringLiteral(":/icons/save.png")
                              << int(QKeySequence::Save) << QStringLiteral("Сохранить текущий документ");
        QTest::newRow("save as") << 5 << QStringLiteral("Сохранить к&ак...") << QString()
                                 << int(QKeySequence::UnknownKey)
                                 << QStringLiteral("Сохранить документ под другим именем");
        QTest::newRow("exit") << 6 << QStringLiteral("Выход") << QStringLiteral(":/icons/exit.png")
                              << int(QKeySequence::Quit) << QStringLiteral("Выход из приложения");
        QTest::newRow("next tab") << 7 << QStringLiteral("&Следующая вкладка") << QString()
                                  << int(QKeySequence::NextChild) << QString();
        QTest::newRow("previous tab") << 8 << QStringLiteral("&Предыдущая вкладка") << QString()
                                      << int(QKeySequence::PreviousChild) << QString();
        QTest::newRow("about") << 9 << QStringLiteral("&О программе") << QStringLiteral(":/icons/about.png")
                               << int(QKeySequence::UnknownKey)
                               << QStringLiteral("Краткая информация о программе");
    }

    void actions()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        QFETCH(QString, icon);
        QFETCH(int, shortcut);
        QFETCH(QString, statusTip);

        auto window = startWindow(0);
        QAction* a = window->action(id);
        QCOMPARE(window->action(id), a);
        QCOMPARE(a->parent(), window.get());
        QCOMPARE(a->text(), text);
        // Each command shows its own picture: compared as drawn, since the
        // toolbar icons are all of one size and style.
        QCOMPARE(a->icon().isNull(), icon.isEmpty());
        if (!icon.isEmpty())
            QCOMPARE(a->icon().pixmap(32, 32).toImage(), QIcon(icon).pixmap(32, 32).toImage());
        QCOMPARE(a->shortcuts(), shortcut == QKeySequence::UnknownKey
                                     ? QList<QKeySequence>()
                                     : QKeySequence::keyBindings(QKeySequence::StandardKey(shortcut)));
        QCOMPARE(a->statusTip(), statusTip);
        QVERIFY(!a->isCheckable());
    }

    // The tab switches belong to no menu, yet their shortcuts work in the window.
    void tabSwitchesLiveOnTheWindow()
    {
        auto window = startWindow(0);
        QVERIFY(window->actions().contains(window->action(MainWindow::aiNextTab)));
        QVERIFY(window->actions().contains(window->action(MainWindow::aiPrevTab)));
    }

    void unknownActionId()
    {
        auto window = startWindow(0);
        orxtest::MessageCapture capture;
        QAction* a = window->action(42);
        QVERIFY(a);
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().endsWith(QStringLiteral("\r\n0")));
        QVERIFY(a->text().isEmpty());
        // Kept: asked again, the same action and no second report.
        QCOMPARE(window->action(42), a);
        QCOMPARE(capture.count(), 1);
    }

    void documentActionsFollowTabs()
    {
        auto window = startWindow(0);
        const QList<int> documentActions{MainWindow::aiSave, MainWindow::aiSaveAs, MainWindow::aiClose,
                                         MainWindow::aiCloseAll};
        auto enabled = [&](const QList<int>& ids) {
            QVector<bool> states;
            for (int id : ids)
                states << window->action(id)->isEnabled();
            return states;
        };
        const QList<int> others{0, 1, 6, 7, 8, 9};
        QCOMPARE(enabled(documentActions), QVector<bool>(4, false));
        QCOMPARE(enabled(others), QVector<bool>(6, true));

        QVERIFY(addKvTab(*window));
        QCOMPARE(enabled(documentActions), QVector<bool>(4, true));

        window->action(MainWindow::aiClose)->trigger();
        QCOMPARE(window->tabWidget()->count(), 0);
        QCOMPARE(enabled(documentActions), QVector<bool>(4, false));
        QCOMPARE(enabled(others), QVector<bool>(6, true));
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
        auto window = windowWithKvTabs(3, 0);
        QCOMPARE(window->tabWidget()->count(), 3);
        window->tabWidget()->setCurrentIndex(start);
        window->action(forward ? MainWindow::aiNextTab : MainWindow::aiPrevTab)->trigger();
        QCOMPARE(window->tabWidget()->currentIndex(), expected);
    }

    void tabCyclingWithoutTabs()
    {
        auto window = startWindow(0);
        window->nextTab();
        window->prevTab();
        QCOMPARE(window->tabWidget()->currentIndex(), -1);
    }

    // Only the six document types have windows; anything else is a
    // programming error that opens nothing.
    void createMdiChildRefusesUnknownType()
    {
        auto window = startWindow(0);
        orxtest::MessageCapture capture;
        QCOMPARE(window->createMdiChild(DocType(7), nullptr), -1);
        QCOMPARE(window->tabWidget()->count(), 0);
        const QStringList reports = capture.assertions();
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].endsWith(QStringLiteral("\r\n0")));
        QVERIFY(reports[1].endsWith(QStringLiteral("\r\nchild")));
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

        auto window = windowWithKvTabs(1, 0);
        orxtest::MessageCapture capture;
        orxtest::ModalAnswerer answer([type](QWidget* modal) {
            qobject_cast<SelectDocTypeDlg*>(modal)->button(DocType(type))->click();
        });
        window->action(MainWindow::aiNew)->trigger();
        QVERIFY(answer.answered());

        QTabWidget* tabs = window->tabWidget();
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->currentIndex(), 1);
        MdiChild* c = window->activeMdiChild();
        QVERIFY(c);
        QCOMPARE(QString::fromLatin1(c->metaObject()->className()), windowClass);
        QCOMPARE(int(c->docType()), type);
        QVERIFY(!c->isModified());
        const QString title = tabs->tabText(1);
        QCOMPARE(title, c->doc().name());
        QVERIFY2(title.startsWith(namePrefix), qPrintable(title));
        bool numbered = false;
        title.mid(namePrefix.size()).toInt(&numbered);
        QVERIFY2(numbered, qPrintable(title));
        QCOMPARE(capture.count(), 0);
    }

    void childOfBadIndex()
    {
        auto window = startWindow(docKv);
        orxtest::MessageCapture capture;
        QVERIFY(!window->child(-1));
        QVERIFY(!window->child(5));
        const QStringList reports = capture.assertions();
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].endsWith(QStringLiteral("\r\nidx >= 0")));
        QVERIFY(reports[1].endsWith(QStringLiteral("\r\nchild")));
    }

    void saveNewDocument()
    {
        auto window = startWindow(docKv);
        MdiChild* c = window->activeMdiChild();
        modify(c, QStringLiteral("10"));
        QVERIFY(window->tabWidget()->tabText(0).endsWith(QStringLiteral(" *")));

        // A cancelled save dialog saves nothing and says nothing.
        {
            ModalSequence answers({orxtest::ModalAnswerer::reject()});
            window->action(MainWindow::aiSave)->trigger();
            QCOMPARE(answers.answered(), 1);
        }
        QVERIFY(c->isModified());
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Готово"));

        const QString path = m_dir.filePath(QStringLiteral("Сохранённый.orx"));
        QVERIFY(saveCurrent(*window, path));
        QCOMPARE(window->tabWidget()->tabText(0), QStringLiteral("Сохранённый"));
        QVERIFY(!c->isModified());
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Документ сохранён"));
        QVERIFY(window->statusBar()->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(window->statusBar()->currentMessage(), QString(), 4000);

        // "Сохранить как" always asks.
        const QString copy = m_dir.filePath(QStringLiteral("Копия.orx"));
        ModalSequence answers({chooseFile(copy)});
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

        ModalSequence answers({chooseFile(path)});
        window->action(MainWindow::aiOpen)->trigger();
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Открыть")});
        QCOMPARE(window->tabWidget()->count(), 1);
        QCOMPARE(window->tabWidget()->tabText(0), QStringLiteral("Открываемый"));
        MdiChild* c = window->activeMdiChild();
        QVERIFY(c);
        QVERIFY(!c->isModified());
        QCOMPARE(c->doubleValue(DocKey(MdiChild::fcP1)), 12.0);
        // The next dialog starts in the folder of this file.
        QCOMPARE(QDir(Doc::directory()).canonicalPath(), QDir(m_dir.path()).canonicalPath());
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
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString path = dir.filePath(QStringLiteral("Проект.orx"));
        QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("link.orx"))));
        QVERIFY(QFile::link(dir.path(), dir.filePath(QStringLiteral("linked"))));

        auto window = windowWithKvTabs(3, 0);
        window->tabWidget()->setCurrentIndex(1);
        QVERIFY(saveCurrent(*window, path));
        window->tabWidget()->setCurrentIndex(2);

        QCOMPARE(window->findMdiChild(dir.filePath(route)), 1);

        ModalSequence answers({chooseFile(dir.filePath(route))});
        window->action(MainWindow::aiOpen)->trigger();
        QCOMPARE(answers.answered(), 1);
        QCOMPARE(window->tabWidget()->count(), 3);
        QCOMPARE(window->tabWidget()->currentIndex(), 1);
    }

    // Unsaved documents and missing files never match a file.
    void findMdiChildWithoutFile()
    {
        auto window = windowWithKvTabs(2, 0);
        QCOMPARE(window->findMdiChild(m_dir.filePath(QStringLiteral("нет такого.orx"))), -1);
        QCOMPARE(window->findMdiChild(QString()), -1);
        QCOMPARE(window->findMdiChild(window->tabWidget()->tabText(0)), -1);
    }

    void openFailure_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("error");
        QTest::newRow("older version") << QByteArray::fromHex("00000002")
                                       << QStringLiteral("Несоответствие версии загружаемого документа (%1) "
                                                         "и версии программы")
                                       << QString();
        QTest::newRow("no document type")
            << QByteArray::fromHex("00000003"
                                   "00790000"
                                   "00000006"
                                   "00"
                                   "4024000000000000")
            << QStringLiteral("Файл повреждён или имеет неверный формат") << QString();
        QTest::newRow("unknown document type")
            << QByteArray::fromHex("00000003"
                                   "7ffe0000"
                                   "00000002"
                                   "00"
                                   "00000007")
            << QStringLiteral("Файл повреждён или имеет неверный формат") << QString();
        QTest::newRow("ends inside a field") << QByteArray::fromHex("00000003"
                                                                    "7ffe0000"
                                                                    "000000")
                                             << QString() << QStringLiteral("Ошибка при открытии документа");
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

        QList<Action> actions{chooseFile(path)};
        if (!warning.isEmpty())
            actions << clickButton(QStringLiteral("OK"));
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

    void fileWarningBox()
    {
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
        bool parentless = false;
        orxtest::ModalAnswerer answer([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            icon = box->icon();
            parentless = !box->parentWidget();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            box->buttons().first()->click();
        });
        MainWindow::showFileWarning(QStringLiteral("Предупреждение"), QStringLiteral("Файл повреждён"));
        QVERIFY(answer.answered());
        QCOMPARE(title, QStringLiteral("Предупреждение"));
        QCOMPARE(answer.text(), QStringLiteral("Файл повреждён"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
        QVERIFY(parentless);
    }

    void closeTabButton()
    {
        auto window = windowWithKvTabs(2, 0);
        const QStringList before = tabTitles(*window);
        QTabBar* bar = window->tabWidget()->tabBar();
        QAbstractButton* close = qobject_cast<QAbstractButton*>(bar->tabButton(0, QTabBar::RightSide));
        QVERIFY(close);
        close->click();
        QCOMPARE(tabTitles(*window), QStringList{before[1]});
    }

    void closeActiveTabQuestion_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("remaining");
        QTest::newRow("cancel keeps the tab") << kCancel << 1;
        QTest::newRow("no closes without saving") << kNo << 0;
    }

    void closeActiveTabQuestion()
    {
        QFETCH(QString, answer);
        QFETCH(int, remaining);
        auto window = windowWithKvTabs(1, 1);
        const QString name = window->activeMdiChild()->doc().name();
        ModalSequence answers({clickButton(answer)});
        window->action(MainWindow::aiClose)->trigger();
        QCOMPARE(answers.texts(), QStringList{closeQuestion(name)});
        QCOMPARE(window->tabWidget()->count(), remaining);
    }

    void closeAll_data()
    {
        QTest::addColumn<int>("modified");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QList<int>>("asked");
        QTest::addColumn<int>("remaining");
        QTest::newRow("nothing modified") << 0 << QStringList() << QList<int>() << 0;
        QTest::newRow("cancel on the third") << 3 << QStringList{kCancel} << QList<int>{2} << 3;
        QTest::newRow("no on the third, cancel on the second")
            << 3 << QStringList{kNo, kCancel} << (QList<int>{2, 1}) << 2;
        QTest::newRow("no to all") << 3 << QStringList{kNo, kNo, kNo} << (QList<int>{2, 1, 0}) << 0;
        QTest::newRow("only the first modified, cancel") << 1 << QStringList{kCancel} << QList<int>{0} << 1;
    }

    // From the last tab to the first, stopping at the first tab kept open.
    void closeAll()
    {
        QFETCH(int, modified);
        QFETCH(QStringList, answers);
        QFETCH(QList<int>, asked);
        QFETCH(int, remaining);

        auto window = windowWithKvTabs(3, modified);
        QStringList names;
        for (int i = 0; i < 3; ++i)
            names << window->child(i)->doc().name();
        QStringList expected;
        for (int i : asked)
            expected << closeQuestion(names[i]);
        // One spare answer proves that nothing more is asked.
        QList<Action> actions;
        for (const QString& a : answers)
            actions << clickButton(a);
        actions << clickButton(kNo);

        ModalSequence sequence(actions);
        window->action(MainWindow::aiCloseAll)->trigger();
        QCOMPARE(sequence.texts(), expected);
        QCOMPARE(window->tabWidget()->count(), remaining);
        QCOMPARE(tabTitles(*window).size(), remaining);
        for (int i = 0; i < remaining; ++i)
            QCOMPARE(window->child(i)->doc().name(), names[i]);
        QCOMPARE(window->action(MainWindow::aiSave)->isEnabled(), remaining > 0);
    }

    void closeMainWindow_data()
    {
        QTest::addColumn<bool>("throughExit");
        QTest::addColumn<int>("modified");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("remaining");
        for (bool exit : {false, true}) {
            const char* how = exit ? "Выход: " : "title bar: ";
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(QString::fromUtf8(how) + QString::fromUtf8(name)));
            };
            row("nothing modified closes without a question") << exit << 0 << QStringList() << 0 << 0;
            row("cancel keeps all tabs") << exit << 3 << QStringList{kCancel} << 1 << 3;
            row("no, then cancel keeps two") << exit << 3 << QStringList{kNo, kCancel} << 2 << 2;
            row("no to all closes") << exit << 3 << QStringList{kNo, kNo, kNo} << 3 << 0;
            row("one modified, no closes") << exit << 1 << QStringList{kNo} << 1 << 0;
        }
    }

    // Unsaved work is never thrown away by closing the program: the modified
    // documents are asked about as by "Закрыть все".
    void closeMainWindow()
    {
        QFETCH(bool, throughExit);
        QFETCH(int, modified);
        QFETCH(QStringList, answers);
        QFETCH(int, asked);
        QFETCH(int, remaining);

        auto window = windowWithKvTabs(3, modified);
        QList<Action> actions;
        for (const QString& a : answers)
            actions << clickButton(a);
        actions << clickButton(kNo);
        ModalSequence sequence(actions);

        if (throughExit)
            window->action(MainWindow::aiExit)->trigger();
        else
            window->close();

        QCOMPARE(sequence.answered(), asked);
        QCOMPARE(window->isVisible(), remaining > 0);
        QCOMPARE(window->tabWidget()->count(), remaining);
    }

    void aboutBox()
    {
        auto window = startWindow(0);
        QString title;
        QStringList buttons;
        bool parentless = false;
        bool rich = false;
        bool picture = false;
        orxtest::ModalAnswerer answer([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            parentless = !box->parentWidget();
            rich = box->textFormat() == Qt::RichText;
            picture = !box->iconPixmap().isNull();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            QCOMPARE(box->buttonRole(box->buttons().first()), QMessageBox::AcceptRole);
            box->buttons().first()->click();
        });
        window->action(MainWindow::aiAbout)->trigger();
        QVERIFY(answer.answered());
        QCOMPARE(title, QStringLiteral("О программе"));
        QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
        QVERIFY(parentless);
        QVERIFY(rich);
        QVERIFY(picture);
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
