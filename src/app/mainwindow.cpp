#include "mainwindow.h"

#include "application.h"
#include "documents/doc.h"
#include "forms/documentwindows.h"
#include "framework/mdichild.h"
#include "gentools/errorhandle.h"
#include "guitools/filedialogs.h"
#include "guitools/makerinfo.h"
#include "projectstate.h"
#include "selectdoctypedlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <iterator>

using namespace common;

namespace {

// ---------------------------------------------------------------------------
// The commands of the window.

using Slot = void (MainWindow::*)();

struct ActionSpec
{
    int id;
    const char* text;
    const char* icon;
    QKeySequence::StandardKey shortcut;
    const char* statusTip;
    // Null: the application's closeAllWindows(), which asks every window to close.
    Slot slot;
};

const ActionSpec kActions[] = {
    {MainWindow::aiNew, "Новый", ":/icons/new.png", QKeySequence::New, "Создать новый документ",
     &MainWindow::createNew},
    {MainWindow::aiOpen, "&Открыть...", ":/icons/open.png", QKeySequence::Open, "Открыть документ",
     &MainWindow::open},
    {MainWindow::aiClose, "&Закрыть", nullptr, QKeySequence::Close, "Закрыть текущее окно",
     &MainWindow::closeActiveTab},
    {MainWindow::aiCloseAll, "Закрыть &все", nullptr, QKeySequence::UnknownKey, "Закрыть все окна",
     &MainWindow::closeAllTabs},
    {MainWindow::aiSave, "&Сохранить", ":/icons/save.png", QKeySequence::Save, "Сохранить текущий документ",
     &MainWindow::save},
    {MainWindow::aiSaveAs, "Сохранить к&ак...", nullptr, QKeySequence::UnknownKey,
     "Сохранить документ под другим именем", &MainWindow::saveAs},
    {MainWindow::aiExit, "Выход", ":/icons/exit.png", QKeySequence::Quit, "Выход из приложения", nullptr},
    {MainWindow::aiNextTab, "&Следующая вкладка", nullptr, QKeySequence::NextChild, nullptr,
     &MainWindow::nextTab},
    {MainWindow::aiPrevTab, "&Предыдущая вкладка", nullptr, QKeySequence::PreviousChild, nullptr,
     &MainWindow::prevTab},
    {MainWindow::aiAbout, "&О программе", ":/icons/about.png", QKeySequence::UnknownKey,
     "Краткая информация о программе", &MainWindow::about},
    {MainWindow::aiNewProject, "Новый проект", nullptr, QKeySequence::UnknownKey, "Создать новый проект",
     &MainWindow::newProject},
    {MainWindow::aiOpenProject, "Открыть проект…", nullptr, QKeySequence::UnknownKey, "Открыть файл проекта",
     &MainWindow::openProject},
    {MainWindow::aiSaveProject, "Сохранить проект", nullptr, QKeySequence::UnknownKey,
     "Сохранить проект со всеми позициями", &MainWindow::saveProject},
    {MainWindow::aiSaveProjectAs, "Сохранить проект как…", nullptr, QKeySequence::UnknownKey,
     "Сохранить проект под другим именем", &MainWindow::saveProjectAs},
    {MainWindow::aiAddToProject, "Добавить в проект", nullptr, QKeySequence::UnknownKey,
     "Сделать текущий документ позицией проекта", &MainWindow::addToProject},
    {MainWindow::aiDuplicatePosition, "Дублировать позицию", nullptr, QKeySequence::UnknownKey,
     "Добавить копию текущей позиции со следующей свободной маркой", &MainWindow::duplicatePosition},
    {MainWindow::aiRemovePosition, "Удалить позицию", nullptr, QKeySequence::UnknownKey,
     "Удалить текущую позицию из проекта", &MainWindow::removePosition},
    {MainWindow::aiProjectDetails, "Сведения об объекте…", nullptr, QKeySequence::UnknownKey,
     "Объект, шифр, организация и подписи основной надписи", &MainWindow::editProjectDetails},
    {MainWindow::aiSchedule, "Спецификация…", nullptr, QKeySequence::UnknownKey,
     "Спецификация оборудования проекта и её выгрузка", &MainWindow::showSchedule},
    {MainWindow::aiCloseProject, "Закрыть проект", nullptr, QKeySequence::UnknownKey,
     "Закрыть проект и все его позиции", &MainWindow::closeProject},
};

// The actions that act on the current document: useless without a tab.
const int kDocumentActions[] = {MainWindow::aiSave, MainWindow::aiSaveAs, MainWindow::aiClose,
                                MainWindow::aiCloseAll};

// Separators are -1.
const int kDocumentMenu[] = {
    MainWindow::aiNew,   MainWindow::aiOpen,     -1, MainWindow::aiSave, MainWindow::aiSaveAs, -1,
    MainWindow::aiClose, MainWindow::aiCloseAll, -1, MainWindow::aiExit};
const int kProjectMenu[] = {MainWindow::aiNewProject,
                            MainWindow::aiOpenProject,
                            MainWindow::aiSaveProject,
                            MainWindow::aiSaveProjectAs,
                            -1,
                            MainWindow::aiAddToProject,
                            MainWindow::aiDuplicatePosition,
                            MainWindow::aiRemovePosition,
                            -1,
                            MainWindow::aiProjectDetails,
                            MainWindow::aiSchedule,
                            -1,
                            MainWindow::aiCloseProject};
// The actions that act on the open project: useless without one.
const int kProjectActions[] = {MainWindow::aiSaveProject, MainWindow::aiSaveProjectAs,
                               MainWindow::aiProjectDetails, MainWindow::aiSchedule,
                               MainWindow::aiCloseProject};
const int kToolBar[] = {MainWindow::aiNew,   MainWindow::aiOpen, MainWindow::aiSave, -1,
                        MainWindow::aiAbout, MainWindow::aiExit};

const int kSavedMessageMs = 2000;

} // namespace

MainWindow::MainWindow(const QStringList& documents, QWidget* parent) : QMainWindow(parent)
{
    m_tabs = new QTabWidget(this);
    m_tabs->setTabsClosable(true);
    m_tabs->setMovable(true);
    setCentralWidget(m_tabs);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::updateMenus);
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, &MainWindow::closeTab);
    connect(m_tabs->tabBar(), &QTabBar::tabMoved, this, &MainWindow::onTabMoved);

    createMenus();
    createToolBar();

    // The status bar stays hidden: the messages are kept but never seen.
    statusBar()->showMessage(QStringLiteral("Готово"));
    statusBar()->hide();

    updateMenus();

    showMaximized();
    setWindowTitle(App::versionString());

    // A start begins with the documents it was given (a double-click on a
    // document in the file manager) or else with the choice of a new one, over
    // the window already on the screen. Both wait for the event loop: a dialog
    // or a reader's warning run from here would hold its own loop before the
    // main one exists, and a request to quit the program that came meanwhile
    // would end only that dialog.
    if (documents.isEmpty()) {
        QTimer::singleShot(0, this, &MainWindow::createNew);
    } else {
        QTimer::singleShot(0, this, [this, documents] {
            for (const QString& fileName : documents)
                openFile(fileName);
        });
    }
}

MainWindow::~MainWindow() = default;

QString MainWindow::fileFilter()
{
    return MdiChild::fileFilter();
}

void MainWindow::showFileWarning(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
}

QAction* MainWindow::action(int id)
{
    if (QAction* existing = m_actions.value(id))
        return existing;

    // Kept even for an unknown id, so that a wrong id is reported once.
    auto* act = new QAction(this);
    act->setCheckable(false);
    m_actions.insert(id, act);

    const auto spec = std::find_if(std::begin(kActions), std::end(kActions),
                                   [id](const ActionSpec& s) { return s.id == id; });
    if (spec == std::end(kActions)) {
        GEH_ASSERT(0);
        return act;
    }

    act->setText(QString::fromUtf8(spec->text));
    if (spec->icon)
        act->setIcon(QIcon(QString::fromLatin1(spec->icon)));
    if (spec->shortcut != QKeySequence::UnknownKey)
        act->setShortcuts(spec->shortcut);
    if (spec->statusTip)
        act->setStatusTip(QString::fromUtf8(spec->statusTip));
    if (spec->slot)
        connect(act, &QAction::triggered, this, spec->slot);
    else
        connect(act, &QAction::triggered, qApp, &QApplication::closeAllWindows);
    return act;
}

void MainWindow::createMenus()
{
    const auto fill = [this](QMenu* menu, const int* ids, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            if (ids[i] < 0)
                menu->addSeparator();
            else
                menu->addAction(action(ids[i]));
        }
    };
    fill(menuBar()->addMenu(QStringLiteral("&Подбор")), kDocumentMenu, std::size(kDocumentMenu));
    fill(menuBar()->addMenu(QStringLiteral("&Проект")), kProjectMenu, std::size(kProjectMenu));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Справка"));
    help->addAction(action(aiAbout));

    // The tab switches live in no menu; on the window their shortcuts work
    // wherever the focus is.
    addAction(action(aiNextTab));
    addAction(action(aiPrevTab));
}

void MainWindow::createToolBar()
{
    QToolBar* bar = addToolBar(QStringLiteral("Подбор"));
    for (int id : kToolBar) {
        if (id < 0)
            bar->addSeparator();
        else
            bar->addAction(action(id));
    }
}

// ---------------------------------------------------------------------------
// Document windows and tabs

int MainWindow::createMdiChild(DocType type, const Doc* doc)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });

    MdiChild* child = createDocumentWindow(type, doc);
    // A type without a window is a fault of the caller, reported as such.
    if (!child)
        GEH_ASSERT(0);
    if (!GEH_ASSERT(child))
        return -1;

    auto* area = new QScrollArea(this);
    area->setWidgetResizable(true);
    area->setFrameStyle(QFrame::NoFrame);
    area->setAttribute(Qt::WA_DeleteOnClose);
    area->setWidget(child);
    connect(child, &MdiChild::titleChanged, area, [this, area, child] {
        const int index = m_tabs->indexOf(area);
        if (!GEH_ASSERT(index >= 0))
            return;
        // A change in a position is a change of its project.
        if (isMember(child) && child->isModified())
            setProjectModified();
        updateTab(index);
    });
    return m_tabs->addTab(area, child->doc().name());
}

MdiChild* MainWindow::child(int idx) const
{
    if (!GEH_ASSERT(idx >= 0))
        return nullptr;
    auto* area = qobject_cast<QScrollArea*>(m_tabs->widget(idx));
    MdiChild* child = area ? qobject_cast<MdiChild*>(area->widget()) : nullptr;
    GEH_ASSERT(child);
    return child;
}

MdiChild* MainWindow::activeMdiChild() const
{
    const int current = m_tabs->currentIndex();
    return current >= 0 ? child(current) : nullptr;
}

int MainWindow::findMdiChild(const QString& fileName) const
{
    // Empty for a file that does not exist; never-saved documents have an
    // empty canonical name as well, so they never match.
    const QString canonical = QFileInfo(fileName).canonicalFilePath();
    if (canonical.isEmpty())
        return -1;
    // A position saved as a copy is no longer that file: the file opens as a
    // document of its own.
    for (int i = 0; i < m_tabs->count(); ++i) {
        const MdiChild* c = child(i);
        if (c && !isMember(c) && c->doc().canonicalFileName() == canonical)
            return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// Commands

void MainWindow::createNew()
{
    SelectDocTypeDlg dialog;
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int idx = createMdiChild(dialog.docType(), nullptr);
    if (idx < 0)
        return;
    // While a project is open, a new document is its next position.
    if (m_project)
        joinProject(child(idx));
    m_tabs->setCurrentIndex(idx);
}

void MainWindow::open()
{
    const QString fileName =
        chooseFileToOpen(this, QStringLiteral("Открыть"), Doc::directory(), fileFilter());
    if (!fileName.isEmpty())
        openFile(fileName);
}

bool MainWindow::openFile(const QString& fileName)
{
    Doc::setDirectory(fileName);

    // A file is shown in one tab only, whatever path leads to it.
    const int open = findMdiChild(fileName);
    if (open >= 0) {
        m_tabs->setCurrentIndex(open);
        return true;
    }

    Doc doc;
    // The reader has told the user why a file cannot be opened.
    if (!Doc::loadFromFile(fileName, doc))
        return false;
    // A project holds the documents of many positions, each in a tab of its own.
    if (doc.docType() == docProject) {
        QStringList damaged;
        const Project project = Project::fromDoc(doc, &damaged);
        return showProject(fileName, project, damaged);
    }
    const int idx = createMdiChild(static_cast<DocType>(doc.docType()), &doc);
    if (idx < 0)
        return false;
    m_tabs->setCurrentIndex(idx);
    return true;
}

void MainWindow::save()
{
    MdiChild* c = activeMdiChild();
    // A position is saved with its project, the only file it has.
    if (c && isMember(c)) {
        saveProject();
        return;
    }
    if (c && c->save())
        statusBar()->showMessage(QStringLiteral("Документ сохранён"), kSavedMessageMs);
}

void MainWindow::saveAs()
{
    MdiChild* c = activeMdiChild();
    if (c && c->saveAs())
        statusBar()->showMessage(QStringLiteral("Документ сохранён"), kSavedMessageMs);
}

void MainWindow::about()
{
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("О программе"));
    // Through an icon: a dense screen gets the logo drawn at twice the size.
    box.setIconPixmap(QIcon(QStringLiteral(":/icons/orimax.png")).pixmap(QSize(128, 128)));
    box.setTextFormat(Qt::RichText);
    box.setText(
        QStringLiteral(
            "%1<br><br>Программа предназначена для подбора регулирующих клапанов, регуляторов давления, "
            "регуляторов перепада давления прямого действия и шкафов управления, разрабатываемых и "
            "выпускаемых ООО \"ОРИМАКСТЕХ\".<br><br>Программа постоянно дорабатывается, рекомендуем "
            "проверять наличие новых версий на нашем сайте.<br><br>Если у вас возникли вопросы, обращайтесь "
            "к нам: <a href=\"mailto:%2\">%2</a><br>")
            .arg(App::versionString(), orx::makerEmail()));
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

void MainWindow::updateMenus()
{
    const MdiChild* current = activeMdiChild();
    for (int id : kDocumentActions)
        action(id)->setEnabled(current != nullptr);
    for (int id : kProjectActions)
        action(id)->setEnabled(hasProject());
    const bool onPosition = current && isMember(current);
    action(aiDuplicatePosition)->setEnabled(onPosition);
    action(aiRemovePosition)->setEnabled(onPosition);
    action(aiAddToProject)->setEnabled(current && !onPosition);
}

void MainWindow::nextTab()
{
    const int count = m_tabs->count();
    if (count > 0)
        m_tabs->setCurrentIndex((m_tabs->currentIndex() + 1) % count);
}

void MainWindow::prevTab()
{
    const int count = m_tabs->count();
    if (count > 0)
        m_tabs->setCurrentIndex((m_tabs->currentIndex() - 1 + count) % count);
}

void MainWindow::closeActiveTab()
{
    const int current = m_tabs->currentIndex();
    if (current >= 0)
        closeTab(current);
}

void MainWindow::closeAllTabs()
{
    // The project closes as a whole when the first of its tabs is reached,
    // from the last: asked about once, all its positions go together. Every
    // tab after it is closed by then, so the walk goes on from the last tab left.
    for (int i = m_tabs->count() - 1; i >= 0; --i) {
        if (isMember(child(i))) {
            if (!closeProjectAsking())
                return;
            i = m_tabs->count();
        } else if (!closeTab(i)) {
            return;
        }
    }
    // A project without positions (its details typed, its last one removed)
    // has no tab to be met at, and closes too.
    closeProjectAsking();
}

bool MainWindow::closeTab(int idx)
{
    MdiChild* c = child(idx);
    if (c && isMember(c))
        return removePositionAsking(idx);
    // The window asks about unsaved changes and may refuse.
    if (!c || !c->close())
        return false;
    removePage(idx);
    return true;
}

void MainWindow::removePage(int idx)
{
    // The page goes at once, so that the tabs count right away; it deletes
    // itself, with its document window, once control is back in the event
    // loop. Closing the page does not ask the document window again.
    QWidget* page = m_tabs->widget(idx);
    if (m_project)
        m_project->cells.remove(child(idx));
    m_tabs->removeTab(idx);
    page->close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Leaving the program must not throw away unsaved work, nor part of the
    // tabs: every modified document is asked about first, from the last tab,
    // and nothing closes until every answer is in. One "Отмена" (or a save
    // that did not happen) keeps every tab and the program open. The project
    // is asked about once, where the walk meets its first tab; its positions
    // never ask on their own.
    bool projectAsked = false;
    for (int i = m_tabs->count() - 1; i >= 0; --i) {
        MdiChild* c = child(i);
        const bool member = isMember(c);
        if (member && projectAsked)
            continue;
        projectAsked = projectAsked || member;
        if (member ? !askToSaveProject() : c && !c->maybeSave()) {
            event->ignore();
            return;
        }
    }
    if (!projectAsked && !askToSaveProject()) {
        event->ignore();
        return;
    }
    // A document answered with "Нет" is still modified: it goes without a
    // second question.
    while (m_tabs->count() > 0)
        removePage(m_tabs->count() - 1);
    m_project.reset();
    updateWindowTitle();
    event->accept();
}
