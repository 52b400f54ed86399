// The main window driven as a user drives it: its commands, the tabs of the
// documents, saving and opening files (also those named on the command line, as
// a file manager passes them), and the questions asked on closing.

#include "../../fuzz/sampledocuments.h"

#include "documents/doc.h"
#include "forms/kvchild.h"
#include "framework/mdichild.h"
#include "guitestsupport.h"
#include "mainwindow.h"
#include "selectdoctypedlg.h"

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
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Расчёт Kv 1"));
        QVERIFY(qobject_cast<KvChild*>(window->activeMdiChild()));
        QVERIFY(!window->activeMdiChild()->isModified());
        QCOMPARE(capture.count(), 0);
        // Only the six document types have windows: another is a programming
        // error, reported, that opens nothing.
        QCOMPARE(window->createMdiChild(DocType(7), nullptr), -1);
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(capture.assertions().size(), 2);
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
        QVERIFY(window->isVisible() && (window->windowState() & Qt::WindowMaximized));
        QVERIFY(addTab(*window));
        QCOMPARE(enabled(), QStringLiteral("1111111111"));
        window->action(MainWindow::aiClose)->trigger();
        QCOMPARE(window->tabWidget()->count(), 0);
        QCOMPARE(enabled(), QStringLiteral("1100001111"));
        // Switching with no tab does nothing; with three it wraps both ways.
        window->nextTab();
        QCOMPARE(window->tabWidget()->currentIndex(), -1);
        for (int i = 0; i < 3; ++i)
            addTab(*window);
        window->action(MainWindow::aiNextTab)->trigger();
        QCOMPARE(window->tabWidget()->currentIndex(), 0);
        window->action(MainWindow::aiPrevTab)->trigger();
        QCOMPARE(window->tabWidget()->currentIndex(), 2);
    }

    void saveAndOpen()
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
        QCOMPARE(window->tabWidget()->tabText(0), QStringLiteral("Копия"));

        // Opened again, the document shows what was typed, unmodified.
        window->closeActiveTab();
        ModalSequence open({ModalAnswerer::chooseFile(copy)});
        window->action(MainWindow::aiOpen)->trigger();
        QCOMPARE(open.texts(), QStringList{QStringLiteral("Открыть")});
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
        QVERIFY(orxtest::writeFile(path, content));
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
            QCOMPARE(answers.icons().last(), int(QMessageBox::Warning));
            QCOMPARE(capture.count(), 0);
        } else {
            QCOMPARE(answers.answered(), 1);
            QCOMPARE(capture.count(), 1);
            QCOMPARE(capture.messages().first().text, error);
        }
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
        ModalAnswerer answer(ModalAnswerer::clickButton(QStringLiteral("OK")));
        window->action(MainWindow::aiAbout)->trigger();
        QCOMPARE(answer.title(), QStringLiteral("О программе"));
        QVERIFY2(answer.text().startsWith(QStringLiteral("Оримакс-расчёт, версия от 01.03.22<br><br>")),
                 qPrintable(answer.text()));
    }

    // Documents named on the command line open each in its own tab as
    // "Открыть..." opens them, a refused one is explained as there, and only a
    // start without documents asks for a new one.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<int>("refusals");
        const auto list = [](const char* joined) {
            return QString::fromUtf8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
        };
        QTest::newRow("none: a new document is asked for") << list("") << list("") << 0;
        QTest::newRow("Cyrillic folder with a blank")
            << list("Проекты 2022/Клапан.orx") << list("Клапан") << 0;
        QTest::newRow("missing: named in the error") << list("missing.orx") << list("") << 1;
        QTest::newRow("hostile: refused, not run out of memory") << list("hostile.orx") << list("") << 1;
        QTest::newRow("pipe: refused, not read forever") << list("pipe.orx") << list("") << 1;
        QTest::newRow("same file twice by two paths")
            << list("Проекты 2022/Клапан.orx|sub/../Проекты 2022/Клапан.orx") << list("Клапан") << 0;
        QTest::newRow("several, one refused")
            << list("Проекты 2022/Клапан.orx|missing.orx|Kv.orx") << list("Клапан|Kv") << 1;
    }
    void commandLine()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, tabs);
        QFETCH(int, refusals);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Проекты 2022")) &&
                QDir(dir.path()).mkpath(QStringLiteral("sub")));
        QVERIFY(orxtest::writeFile(dir.filePath(QStringLiteral("Проекты 2022/Клапан.orx")),
                                   orxsamples::valveDocument().toByteArray()));
        QVERIFY(orxtest::writeFile(dir.filePath(QStringLiteral("Kv.orx")),
                                   orxsamples::kvDocument().toByteArray()));
        // A list of two billion fields.
        QVERIFY(orxtest::writeFile(dir.filePath(QStringLiteral("hostile.orx")),
                                   QByteArray::fromHex("00000003 7ffe0000 00000009 00 7fffffff")));
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
        const QStringList dialogs = modals.texts().filter(QStringLiteral("Новый подбор"));
        QCOMPARE(dialogs.size(), int(files.isEmpty()));
        QCOMPARE(errors.count() + modals.answered() - dialogs.size(), refusals);
        if (files.contains(QStringLiteral("missing.orx")))
            QVERIFY(errors.contains(dir.filePath(QStringLiteral("missing.orx"))));
    }
};

ORX_GUI_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
