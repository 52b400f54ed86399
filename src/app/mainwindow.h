#pragma once

// The program's only top-level window: one tab per open document (each a
// document window inside a scroll area), the "Подбор", "Проект" and "Справка"
// menus, one toolbar, and the commands that create, open, save and close
// documents and projects. It knows the document types only to pick the window
// class of each.
//
// At most one project is open. Its positions are tabs like any document's, told
// apart by their tab (the position mark first, a tooltip, a colour of their
// own); the order of the positions is the order of their tabs. Documents that
// belong to no project ("loose" ones, each in its own .orx file) may be open
// beside it. A position has no file of its own: saving it saves the project,
// and the project, not the position, asks about unsaved changes.

#include "project/project.h"
#include "vocabulary/common.h"

#include <QMainWindow>
#include <QMap>
#include <QStringList>

#include <memory>

class Doc;
class MdiChild;
struct OpenProject;
class QAction;
class QTabWidget;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum ActionId {
        aiNew = 0,
        aiOpen = 1,
        aiClose = 2,
        aiCloseAll = 3,
        aiSave = 4,
        aiSaveAs = 5,
        aiExit = 6,
        aiNextTab = 7,
        aiPrevTab = 8,
        aiAbout = 9,
        aiNewProject = 10,
        aiOpenProject = 11,
        aiSaveProject = 12,
        aiSaveProjectAs = 13,
        aiAddToProject = 14,
        aiDuplicatePosition = 15,
        aiRemovePosition = 16,
        aiProjectDetails = 17,
        aiSchedule = 18,
        aiCloseProject = 19,
    };

    // Builds the window and shows it maximised. As soon as the event loop runs
    // it opens the documents named (those of the command line), each in its
    // own tab, or, when none is named, asks for the kind of a first document.
    explicit MainWindow(const QStringList& documents = QStringList(), QWidget* parent = nullptr);
    ~MainWindow() override;

    // The action of an id, created on the first request.
    QAction* action(int id);

    // Opens a document window of the type in a new last tab and returns the
    // tab's index (-1 for a type without a window). doc: null for a new
    // document, or a document just read from a file, which the window copies.
    int createMdiChild(common::DocType type, const Doc* doc);
    // The document window of a tab.
    MdiChild* child(int idx) const;
    // The document window of the current tab; null without tabs.
    MdiChild* activeMdiChild() const;
    // The tab whose document is stored in the same file (by canonical path), or -1.
    int findMdiChild(const QString& fileName) const;
    QTabWidget* tabWidget() const { return m_tabs; }

    // Shows the document of a file in a tab: the tab that already shows it, or
    // a new one when the file can be read. The directory of the file becomes
    // the start of the next file dialog. False when the file was refused; the
    // reader has told the user why.
    bool openFile(const QString& fileName);

    // The filter of the document file dialogs.
    static QString fileFilter();
    // The filter of the project file dialogs: "Проект Оримакс-расчёт (*.orxp)".
    static QString projectFileFilter();

    // ---- The open project ----------------------------------------------------
    bool hasProject() const { return m_project != nullptr; }
    // Whether the window is a position of the open project.
    bool isMember(const MdiChild* window) const;
    // The windows of the positions, in the order of their tabs.
    QList<MdiChild*> projectPositions() const;
    // The file name without ".orxp", "Новый проект" before the first save;
    // empty without a project.
    QString projectName() const;
    // The file of the open project; empty before its first save.
    QString projectFileName() const;
    bool isProjectModified() const;
    // Opens the project of a file, after closing the open one (which may ask);
    // false when the file is refused (the user is told why) or the user kept
    // the open project.
    bool openProjectFile(const QString& fileName);
    // Writes the project to the file; a failure is shown and keeps the project
    // modified and the previous file as it was.
    bool saveProjectTo(const QString& fileName);

    // Shows a warning of the document reader: a message box with one OK button.
    static void showFileWarning(const QString& title, const QString& text);

public slots:
    void createNew();
    void open();
    void save();
    void saveAs();
    void about();
    void updateMenus();
    void nextTab();
    void prevTab();
    void closeActiveTab();
    // From the last tab to the first; stops at the first tab that stays open.
    void closeAllTabs();
    // Asks the document window to close; true when the tab is gone. A
    // position's tab asks whether to take the position out of the project.
    bool closeTab(int idx);

    void newProject();
    void openProject();
    void saveProject();
    void saveProjectAs();
    // The current loose document becomes a position (of a new project when
    // none is open).
    void addToProject();
    void duplicatePosition();
    void removePosition();
    void editProjectDetails();
    void showSchedule();
    void closeProject();

protected:
    // Every modified document is asked about, from the last tab; the tabs and
    // the window close only when no answer keeps a document.
    void closeEvent(QCloseEvent* event) override;

private:
    // Takes the page of a tab away without asking its document window; a
    // position leaves the project with it.
    void removePage(int idx);
    void createMenus();
    void createToolBar();

    // ---- Project helpers (projectcommands.cpp) ---------------------------------
    // The tab that shows the window, or -1.
    int tabOf(const MdiChild* window) const;
    // An untitled, empty project, when none is open.
    void startProject();
    // The window becomes the project's last position, with its typed cells.
    void joinProject(MdiChild* window, const Project::CellSet& cells = Project::CellSet());
    // Opens the positions of a project read from the file.
    bool showProject(const QString& fileName, const Project& project, const QStringList& damagedMembers);
    // Saves under the project's file, asking for a name when it has none.
    bool saveProjectAsking(bool askName);
    // "Сохранить изменения в проекте …?": true when the project may close.
    bool askToSaveProject();
    // The positions' tabs go, without a question, and the project with them.
    void dropProject();
    // Asks, then closes the project; false when the user kept it.
    bool closeProjectAsking();
    // "Удалить позицию … из проекта?"; true when the position's tab is gone.
    bool removePositionAsking(int idx);
    void setProjectModified();
    // The tab of a window: its title, for a position with the mark in front,
    // the tooltip and the colour that tell a position.
    void updateTab(int idx);
    // Every tab and the window title, after the project changed its name or members.
    void updateProjectTitles();
    void updateWindowTitle();
    // A position's tab moved past another position's: the project's order changed.
    void onTabMoved(int from, int to);

    QMap<int, QAction*> m_actions;
    QTabWidget* m_tabs = nullptr;
    std::unique_ptr<OpenProject> m_project;
};
