// The main window's project: its commands, its positions' tabs and the
// questions it asks.

#include "application.h"
#include "documents/doc.h"
#include "framework/mdichild.h"
#include "gentools/errorhandle.h"
#include "guitools/filedialogs.h"
#include "mainwindow.h"
#include "project/projectdetailsdialog.h"
#include "project/scheduledialog.h"
#include "projectstate.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

namespace {

const QString kProjectSuffix = QStringLiteral("orxp");
// The tab text of a position is drawn in this colour, a loose document's in
// the style's own.
const QColor kPositionTabColour(0x1f, 0x4e, 0x9a);
const int kSavedMessageMs = 2000;

// A window of a document with a file of its own that would not save those
// very bytes: an untouched document writes back what it read.
bool holdsMoreThanItsFile(MdiChild* window)
{
    if (!window->doc().hasFileName())
        return false;
    QFile file(window->doc().canonicalFileName());
    return !file.open(QIODevice::ReadOnly) || file.readAll() != window->currentDoc().toByteArray();
}

} // namespace

QString OpenProject::name() const
{
    if (fileName.isEmpty())
        return QStringLiteral("Новый проект");
    QString name = QFileInfo(fileName).fileName();
    const QString suffix = QLatin1Char('.') + kProjectSuffix;
    if (name.endsWith(suffix, Qt::CaseInsensitive))
        name.chop(suffix.size());
    return name;
}

QString MainWindow::projectFileFilter()
{
    return QStringLiteral("Проект Оримакс-расчёт (*.%1)").arg(kProjectSuffix);
}

// ---------------------------------------------------------------------------
// What the window knows of its project

int MainWindow::tabOf(const MdiChild* window) const
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (child(i) == window)
            return i;
    return -1;
}

bool MainWindow::isMember(const MdiChild* window) const
{
    return m_project && window && m_project->cells.contains(window);
}

QList<MdiChild*> MainWindow::projectPositions() const
{
    QList<MdiChild*> positions;
    for (int i = 0; i < m_tabs->count(); ++i)
        if (MdiChild* c = child(i); isMember(c))
            positions << c;
    return positions;
}

QString MainWindow::projectName() const
{
    return m_project ? m_project->name() : QString();
}

QString MainWindow::projectFileName() const
{
    return m_project ? m_project->fileName : QString();
}

bool MainWindow::isProjectModified() const
{
    return m_project && m_project->modified;
}

void MainWindow::setProjectModified()
{
    if (!m_project || m_project->modified)
        return;
    m_project->modified = true;
    updateWindowTitle();
}

void MainWindow::startProject()
{
    if (m_project)
        return;
    m_project = std::make_unique<OpenProject>();
    updateProjectTitles();
}

void MainWindow::joinProject(MdiChild* window, const Project::CellSet& cells)
{
    if (!GEH_ASSERT(m_project && window))
        return;
    m_project->cells.insert(window, cells);
    setProjectModified();
    const int idx = tabOf(window);
    if (idx >= 0)
        updateTab(idx);
    updateMenus();
}

// ---------------------------------------------------------------------------
// Tabs and title

void MainWindow::updateTab(int idx)
{
    const MdiChild* c = child(idx);
    if (!c)
        return;
    QString text = c->doc().name() + (c->isModified() ? QStringLiteral(" *") : QString());
    const bool member = isMember(c);
    if (member && !c->positionMark().isEmpty())
        text = c->positionMark() + QStringLiteral(" · ") + text;
    m_tabs->setTabText(idx, text);
    m_tabs->setTabToolTip(idx,
                          member ? QStringLiteral("Позиция проекта «%1»").arg(m_project->name()) : QString());
    m_tabs->tabBar()->setTabTextColor(idx, member ? kPositionTabColour : QColor());
}

void MainWindow::updateProjectTitles()
{
    for (int i = 0; i < m_tabs->count(); ++i)
        updateTab(i);
    updateWindowTitle();
    updateMenus();
}

void MainWindow::updateWindowTitle()
{
    if (!m_project) {
        setWindowTitle(App::versionString());
        return;
    }
    setWindowTitle(QStringLiteral("%1 — %2%3")
                       .arg(App::versionString(), m_project->name(),
                            m_project->modified ? QStringLiteral(" *") : QString()));
}

void MainWindow::onTabMoved(int from, int to)
{
    // After the move the tab stands at `to`; the tabs it passed stand between.
    if (!isMember(child(to)))
        return;
    const int first = from < to ? from : to + 1;
    const int last = from < to ? to - 1 : from;
    for (int i = first; i <= last; ++i) {
        if (isMember(child(i))) {
            setProjectModified();
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Opening and closing

void MainWindow::newProject()
{
    if (!closeProjectAsking())
        return;
    startProject();
}

void MainWindow::openProject()
{
    const QString fileName =
        chooseFileToOpen(this, QStringLiteral("Открыть проект"), Doc::directory(), projectFileFilter());
    if (!fileName.isEmpty())
        openProjectFile(fileName);
}

bool MainWindow::openProjectFile(const QString& fileName)
{
    Doc::setDirectory(fileName);
    Project project;
    QString reason;
    QStringList damaged;
    if (Project::load(fileName, project, &reason, &damaged) != Project::rsOk) {
        showFileWarning(QStringLiteral("Предупреждение"),
                        QStringLiteral("Не удалось открыть проект \"%1\": %2")
                            .arg(QDir::toNativeSeparators(fileName), reason));
        return false;
    }
    return showProject(fileName, project, damaged);
}

bool MainWindow::showProject(const QString& fileName, const Project& project,
                             const QStringList& damagedMembers)
{
    // The project already open comes forward, as an open document does.
    const QString canonical = QFileInfo(fileName).canonicalFilePath();
    if (m_project && !m_project->fileName.isEmpty() &&
        QFileInfo(m_project->fileName).canonicalFilePath() == canonical) {
        const QList<MdiChild*> positions = projectPositions();
        if (!positions.isEmpty())
            m_tabs->setCurrentIndex(tabOf(positions.first()));
        return true;
    }
    // The file is read before the open project is asked about: a file that
    // is refused leaves the open project as it was.
    if (!closeProjectAsking())
        return false;

    m_project = std::make_unique<OpenProject>();
    m_project->fileName = canonical;
    m_project->details = project.details;
    int first = -1;
    for (const Project::Position& position : project.positions) {
        const int idx = createMdiChild(static_cast<common::DocType>(position.doc.docType()), &position.doc);
        if (idx < 0)
            continue;
        m_project->cells.insert(child(idx), position.cells);
        if (first < 0)
            first = idx;
    }
    updateProjectTitles();
    if (first >= 0)
        m_tabs->setCurrentIndex(first);
    // The positions that did open are the project; the others are named once,
    // and so is what a save over this file would do to them.
    if (!damagedMembers.isEmpty())
        showFileWarning(
            QStringLiteral("Предупреждение"),
            QStringLiteral("Не все позиции проекта удалось открыть:\n") +
                damagedMembers.join(QLatin1Char('\n')) +
                QStringLiteral("\nЕсли сохранить проект в тот же файл, этих позиций в нём больше не будет. "
                               "Чтобы прежний файл остался нетронутым, сохраните проект под другим "
                               "именем («Сохранить проект как…»)."));
    return true;
}

bool MainWindow::askToSaveProject()
{
    if (!m_project || !m_project->modified)
        return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Закрытие проекта"),
                    QStringLiteral("Сохранить изменения в проекте '%1'?").arg(m_project->name()),
                    QMessageBox::NoButton, this);
    QPushButton* save = box.addButton(QStringLiteral("Сохранить"), QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(QStringLiteral("Нет"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == save)
        return saveProjectAsking(false);
    return box.clickedButton() == no;
}

void MainWindow::dropProject()
{
    if (!m_project)
        return;
    for (int i = m_tabs->count() - 1; i >= 0; --i)
        if (isMember(child(i)))
            removePage(i);
    m_project.reset();
    updateProjectTitles();
}

bool MainWindow::closeProjectAsking()
{
    if (!askToSaveProject())
        return false;
    dropProject();
    return true;
}

void MainWindow::closeProject()
{
    closeProjectAsking();
}

// ---------------------------------------------------------------------------
// Saving

bool MainWindow::saveProjectTo(const QString& fileName)
{
    if (!GEH_ASSERT(m_project))
        return false;
    Project project;
    project.details = m_project->details;
    const QList<MdiChild*> positions = projectPositions();
    for (MdiChild* c : positions)
        project.positions.append({c->currentDoc(), m_project->cells.value(c)});
    QString error;
    if (!project.save(fileName, &error)) {
        showFileWarning(QStringLiteral("Предупреждение"), error);
        return false;
    }
    Doc::setDirectory(fileName);
    m_project->fileName = QFileInfo(fileName).canonicalFilePath();
    for (MdiChild* c : positions)
        c->markUnmodified();
    m_project->modified = false;
    updateProjectTitles();
    statusBar()->showMessage(QStringLiteral("Проект сохранён"), kSavedMessageMs);
    return true;
}

bool MainWindow::saveProjectAsking(bool askName)
{
    if (!m_project)
        return false;
    if (!askName && !m_project->fileName.isEmpty())
        return saveProjectTo(m_project->fileName);
    const QString start =
        m_project->fileName.isEmpty() ? Doc::directory() + m_project->name() : m_project->fileName;
    const QString fileName = chooseFileToSave(this, QStringLiteral("Сохранить проект"), start,
                                              projectFileFilter(), kProjectSuffix);
    return !fileName.isEmpty() && saveProjectTo(fileName);
}

void MainWindow::saveProject()
{
    saveProjectAsking(false);
}

void MainWindow::saveProjectAs()
{
    saveProjectAsking(true);
}

// ---------------------------------------------------------------------------
// Positions

void MainWindow::addToProject()
{
    MdiChild* c = activeMdiChild();
    if (!c || isMember(c))
        return;
    startProject();
    joinProject(c);
}

void MainWindow::duplicatePosition()
{
    MdiChild* source = activeMdiChild();
    if (!isMember(source))
        return;
    const int at = m_tabs->currentIndex();
    const Doc doc = source->currentDoc();
    const int idx = createMdiChild(static_cast<common::DocType>(doc.docType()), &doc);
    if (idx < 0)
        return;
    MdiChild* copy = child(idx);
    QStringList marks;
    for (const MdiChild* c : projectPositions())
        marks << c->positionMark();
    // A copy of a position without a mark stays without one.
    const QString mark = Project::nextFreeMark(marks, source->positionMark());
    joinProject(copy, m_project->cells.value(source));
    if (!mark.isEmpty())
        copy->setPositionMark(mark);
    m_tabs->tabBar()->moveTab(idx, at + 1);
    m_tabs->setCurrentIndex(at + 1);
}

void MainWindow::removePosition()
{
    const int current = m_tabs->currentIndex();
    if (current >= 0 && isMember(child(current)))
        removePositionAsking(current);
}

bool MainWindow::removePositionAsking(int idx)
{
    MdiChild* c = child(idx);
    if (!isMember(c))
        return false;
    const QString name = c->positionMark().isEmpty() ? c->doc().name() : c->positionMark();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Удаление позиции"),
                    QStringLiteral("Удалить позицию «%1» из проекта?").arg(name), QMessageBox::NoButton,
                    this);
    QPushButton* remove = box.addButton(QStringLiteral("Удалить"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() != remove)
        return false;
    // A position made in the project lives only there and goes with its
    // unsaved changes. One that came from a file of its own and now holds what
    // that file does not is asked about as that document: the changes may
    // belong in its file.
    if (holdsMoreThanItsFile(c) && !c->askToSave())
        return false;
    removePage(idx);
    setProjectModified();
    updateMenus();
    return true;
}

// ---------------------------------------------------------------------------
// Details and schedule

void MainWindow::editProjectDetails()
{
    if (m_project && ProjectDetailsDialog::edit(&m_project->details, this))
        setProjectModified();
}

void MainWindow::showSchedule()
{
    if (!m_project)
        return;
    ScheduleDialog dialog(&m_project->details, projectPositions(), &m_project->cells, this);
    connect(&dialog, &ScheduleDialog::edited, this, &MainWindow::setProjectModified);
    dialog.exec();
}
