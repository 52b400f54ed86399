#pragma once

// The program's only top-level window: one tab per open document (each a
// document window inside a scroll area), the "Подбор" and "Справка" menus, one
// toolbar, and the commands that create, open, save and close documents. It
// knows the document types only to pick the window class of each.

#include "vocabulary/common.h"

#include <QMainWindow>
#include <QMap>
#include <QStringList>

class Doc;
class MdiChild;
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
    // Asks the document window to close; true when the tab is gone.
    bool closeTab(int idx);

protected:
    // Every modified document is asked about, from the last tab; the tabs and
    // the window close only when no answer keeps a document.
    void closeEvent(QCloseEvent* event) override;

private:
    // Takes the page of a tab away without asking its document window.
    void removePage(int idx);
    void createMenus();
    void createToolBar();

    QMap<int, QAction*> m_actions;
    QTabWidget* m_tabs = nullptr;
};
