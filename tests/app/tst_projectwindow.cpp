// The project in the main window as a user drives it: its positions as tabs,
// saving and opening it whole, the questions asked on closing, duplicated and
// removed positions, and project files that cannot be opened whole.

#include "../../fuzz/sampledocuments.h"

#include "application.h"
#include "forms/selectionchild.h"
#include "project/projectdetailsdialog.h"
#include "windowsupport.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>

using namespace common;
using namespace orxtest;
using Action = ModalAnswerer::Action;

namespace {

// The project as the window title tells it: its name and mark, or nothing.
QString titled(MainWindow& w)
{
    return w.windowTitle().remove(App::versionString()).remove(u8(" — "));
}
// Which project commands (ids 10-19) can act now.
QString enabled(MainWindow& w)
{
    QString bits;
    for (int id = MainWindow::aiNewProject; id <= MainWindow::aiCloseProject; ++id)
        bits += w.action(id)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return bits;
}
// A document opened loose, shown (its first calculation), marked, counted,
// its candidate chosen, and added to the project.
void addPosition(MainWindow& w, const Doc& doc, const char* mark, int quantity, int candidate = 0)
{
    const int idx = w.createMdiChild(DocType(doc.docType()), &doc);
    w.tabWidget()->setCurrentIndex(idx);
    QCoreApplication::processEvents();
    w.child(idx)->setPositionMark(u8(mark));
    w.child(idx)->findChild<QSpinBox*>()->setValue(quantity);
    if (candidate)
        static_cast<SelectionChild*>(w.child(idx))->choiceCombo()->setCurrentIndex(candidate);
    w.action(MainWindow::aiAddToProject)->trigger();
}
// Each position as a save writes it and, when it offers one, its choice as
// shown; each tab brought forward, so that its window has calculated.
QStringList positionsShown(MainWindow& w)
{
    QStringList shown;
    for (int i = 0; i < w.tabWidget()->count(); ++i) {
        if (!w.isMember(w.child(i)))
            continue;
        w.tabWidget()->setCurrentIndex(i);
        QCoreApplication::processEvents();
        shown << QString::fromLatin1(w.child(i)->currentDoc().toByteArray().toHex());
        if (auto* form = qobject_cast<SelectionChild*>(w.child(i)))
            shown << form->choiceCombo()->currentText();
    }
    return shown;
}
Doc marked(Doc doc, const char* mark)
{
    doc.setValue(DocKey(PositionFields::fcPosition), u8(mark));
    return doc;
}
// A project of two valves РК1 (with a typed product code) and РК2, damaged in
// one member when asked: a second member whose bytes end inside a field.
QByteArray projectFile(bool damaged)
{
    Project project{{}, {{marked(orxsamples::valveDocument(), "РК1"), {}}}};
    project.positions[0].cells[Project::rkDevice].code = u8("4212");
    if (damaged)
        project.positions.append({orxsamples::regulatorDocument(), {}});
    project.positions.append({marked(orxsamples::valveDocument(), "РК2"), {}});
    Doc doc = project.toDoc();
    if (damaged)
        doc.setValue(DocKey(Project::Fields::pfMember, 1),
                     QString::fromLatin1(orxsamples::regulatorDocument().toByteArray().left(30).toBase64()));
    return doc.toByteArray();
}

const QString kProjectQuestion = u8("Сохранить изменения в проекте 'Объект'?");

// How the open project is closed (an action, -1 the window's title bar), with every position removed first or
// not; the answers ("file": the other project chosen), the questions ("P" the project, "D" the loose
// document, "F" the file dialog), the tabs left, whether the file was written, the project then.
// clang-format off
const struct { const char* name; int action; bool emptied; const char *answers, *asked; int remaining; bool written; const char* project; } kClosings[] = {
    {"Закрыть проект: Отмена keeps every position", MainWindow::aiCloseProject, false, "Отмена", "P", 3, false, "Объект *"},
    {"Закрыть проект: Нет closes the positions without writing", MainWindow::aiCloseProject, false, "Нет", "P", 1, false, ""},
    {"Закрыть проект: Сохранить writes, then closes", MainWindow::aiCloseProject, false, "Сохранить", "P", 1, true, ""},
    {"Закрыть все: the loose document, then the project once", MainWindow::aiCloseAll, false, "Нет|Нет", "D|P", 0, false, ""},
    {"Закрыть все: Отмена on the project keeps it whole", MainWindow::aiCloseAll, false, "Нет|Отмена", "D|P", 2, false, "Объект *"},
    {"title bar: Отмена on the project keeps the program and every tab", -1, false, "Нет|Отмена", "D|P", 3, false, "Объект *"},
    {"title bar: Нет to both closes all", -1, false, "Нет|Нет", "D|P", 0, false, ""},
    {"Новый проект: Отмена keeps the open one", MainWindow::aiNewProject, false, "Отмена", "P", 3, false, "Объект *"},
    {"Новый проект: Нет starts an empty one beside the loose document", MainWindow::aiNewProject, false, "Нет", "P", 1, false, "Новый проект"},
    {"Открыть проект: Отмена keeps the open one", MainWindow::aiOpenProject, false, "file|Отмена", "F|P", 3, false, "Объект *"},
    {"Открыть проект: Нет opens the other in its place", MainWindow::aiOpenProject, false, "file|Нет", "F|P", 2, false, "Другой"},
    {"title bar: a project without positions is asked about too", -1, true, "Нет|Отмена", "D|P", 1, false, "Объект *"},
    {"Закрыть все: a project without positions closes too", MainWindow::aiCloseAll, true, "Нет|Нет", "D|P", 0, false, ""},
};

// A document opened from its own file, P1 typed (or not) and added to a project, then removed: the answers
// (the first to the removal), the questions, whether the tab went and whether its file was written.
const struct { const char *name, *typed, *answers, *asked; bool gone, written; } kOwnFiles[] = {
    {"untouched: goes unasked", "", "Удалить", "Удалить позицию «Свой» из проекта?", true, false},
    {"changed, Отмена: stays a position", "7", "Удалить|Отмена", "Удалить позицию «Свой» из проекта?|Сохранить изменения в 'Свой'?", false, false},
    {"changed, Нет: goes, its file as it was", "7", "Удалить|Нет", "Удалить позицию «Свой» из проекта?|Сохранить изменения в 'Свой'?", true, false},
    {"changed, Да: written to its file, then goes", "7", "Удалить|Да", "Удалить позицию «Свой» из проекта?|Сохранить изменения в 'Свой'?", true, true},
};

// A project file opened from the command line or through "Открыть проект…", the warnings and the tabs then.
const struct { const char* name; bool commandLine; const char *file, *told, *tabs; } kOpenings[] = {
    {"a document is no project: refused by its reason", false, "Клапан.orx", "Не удалось открыть проект \"~/Клапан.orx\": это не проект: документ «Клапан»", ""},
    {"a damaged member is named once, the others open", true, "Объект.orxp", "Не все позиции проекта удалось открыть:\nпозиция 2: файл обрывается внутри поля 102\nЕсли сохранить проект в тот же файл, этих позиций в нём больше не будет. Чтобы прежний файл остался нетронутым, сохраните проект под другим именем («Сохранить проект как…»).", "[+РК1 · Клапан #]|+РК2 · Клапан #"},
};
// clang-format on

} // namespace

class TestProjectWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(u8(name)); }
    // A window with the project of two valves opened from the file; any test of
    // its tabs or title fails when it did not open.
    std::unique_ptr<MainWindow> withProject(const char* name) const
    {
        auto w = startWindow();
        if (writeFile(path(name), projectFile(false)))
            w->openFile(path(name));
        return w;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        QApplication::setQuitOnLastWindowClosed(false);
        Doc::setWarningPresenter(&MainWindow::showFileWarning);
    }

    // Saved, closed and opened again, every position shows what it showed (values, choices, marks,
    // quantities), and the untouched project saves byte for byte as it was read.
    void saveCloseOpen()
    {
        MessageCapture capture;
        auto w = startWindow();
        QCOMPARE(enabled(*w), u8("1100000000"));
        addPosition(*w, orxsamples::valveDocument(), "РК1", 2, 1);
        addPosition(*w, orxsamples::regulatorDocument(), "РД1", 1, 1);
        addPosition(*w, orxsamples::stdCabinetDocument(), "ШУ1", 3);
        w->createMdiChild(docKv, nullptr);
        QCOMPARE(tabs(*w) + titled(*w) + enabled(*w),
                 u8("+РК1 · Клапан # *|+РД1 · Регулятор # *|[+ШУ1 · ЛМШ "
                    "для ГВС или ОТП # *]|Расчёт Kv #Новый проект *1111011111"));
        const QStringList shown = positionsShown(*w);
        // "Сохранить" on a position saves the project; the first time it asks for a name.
        QCOMPARE(asked(*w, MainWindow::aiSave, {ModalAnswerer::chooseFile(path("Объект"))}),
                 list("Сохранить проект"));
        const QByteArray file = readFile(path("Объект.orxp"));
        QCOMPARE(tabs(*w) + titled(*w), u8("+РК1 · Клапан #|+РД1 · Регулятор #|[+ШУ1 · ЛМШ для ГВС или ОТП "
                                           "#]|Расчёт Kv #Объект"));
        QCOMPARE(asked(*w, MainWindow::aiCloseProject, {}), QStringList());
        QCOMPARE(tabs(*w) + titled(*w), u8("[Расчёт Kv #]"));
        QCOMPARE(asked(*w, MainWindow::aiOpenProject, {ModalAnswerer::chooseFile(path("Объект.orxp"))}),
                 list("Открыть проект"));
        QCOMPARE(tabs(*w) + titled(*w),
                 u8("Расчёт Kv #|[+РК1 · Клапан #]|+РД1 · Регулятор #|+ШУ1 · ЛМШ для ГВС или ОТП #Объект"));
        QCOMPARE(asked(*w, MainWindow::aiSave, {}), QStringList());
        QVERIFY(readFile(path("Объект.orxp")) == file && positionsShown(*w) == shown &&
                !w->isProjectModified());
        QCOMPARE(capture.ownCount(), 0);
    }
    // However the project closes, it asks once, whatever its positions ask
    // on their own; Отмена keeps it whole, Нет writes nothing.
    void closingAsks_data() { tableRows(kClosings); }
    void closingAsks()
    {
        ORX_ROW(kClosings);
        auto w = withProject("Объект.orxp");
        const int loose = w->createMdiChild(docKv, nullptr);
        w->tabWidget()->setCurrentIndex(loose);
        QCoreApplication::processEvents();
        typeInto(w->child(loose)->ctrl<QDoubleSpinBox>(DocKey(MdiChild::fcP1)), QStringLiteral("2"));
        for (MdiChild* c : w->projectPositions())
            c->findChild<QSpinBox*>()->setValue(5);
        QStringList questions;
        for (const QString& q : list(row.asked))
            questions << (q == QLatin1String("P") ? kProjectQuestion
                          : q == QLatin1String("F")
                              ? u8("Открыть проект")
                              : u8("Сохранить изменения в '%1'?").arg(w->child(loose)->doc().name()));
        const QString other = path("Другой.orxp");
        QVERIFY(writeFile(other, Project{{}, {{orxsamples::kvDocument(), {}}}}.toDoc().toByteArray()));
        QList<Action> answers;
        for (const QString& a : list(row.answers))
            answers << (a == QLatin1String("file") ? ModalAnswerer::chooseFile(other)
                                                   : ModalAnswerer::clickButton(a));
        for (int i = row.emptied ? 1 : -1; i >= 0; --i) {
            ModalSequence remove({ModalAnswerer::clickButton(u8("Удалить"))});
            QVERIFY(w->closeTab(i));
        }
        QCOMPARE(asked(*w, row.action, answers), questions);
        QCOMPARE(w->tabWidget()->count(), row.remaining);
        QCOMPARE(readFile(path("Объект.orxp")) != projectFile(false), row.written);
        QCOMPARE(titled(*w), u8(row.project));
        QCOMPARE(w->isVisible(), row.remaining > 0 || row.action >= 0);
    }
    // A position made in the project lives only there; one from a file of its own that holds what the file
    // does not is asked about as that document when it leaves.
    void removedPositionWithItsOwnFile_data() { tableRows(kOwnFiles); }
    void removedPositionWithItsOwnFile()
    {
        ORX_ROW(kOwnFiles);
        const QByteArray original = orxsamples::valveDocument().toByteArray();
        QVERIFY(writeFile(path("Свой.orx"), original));
        auto w = startWindow();
        QVERIFY(w->openFile(path("Свой.orx")));
        MdiChild* own = w->activeMdiChild();
        if (*row.typed)
            typeInto(own->ctrl<QDoubleSpinBox>(MdiChild::fcP1), u8(row.typed));
        w->action(MainWindow::aiAddToProject)->trigger();
        QList<Action> answers;
        for (const QString& answer : list(row.answers))
            answers << ModalAnswerer::clickButton(answer);
        QCOMPARE(asked(*w, MainWindow::aiRemovePosition, answers), list(row.asked));
        QCOMPARE(w->tabWidget()->count() == 0, row.gone);
        QCOMPARE(readFile(path("Свой.orx")) != original, row.written);
    }
    // A copy takes the next free mark and the typed cells, right after its
    // original; a position goes only on "Удалить", asked once.
    void duplicateAndRemove()
    {
        auto w = withProject("Две.orxp");
        QCOMPARE(enabled(*w), u8("1111011111"));
        w->action(MainWindow::aiDuplicatePosition)->trigger();
        QCOMPARE(tabs(*w) + titled(*w), u8("+РК1 · Клапан #|[+РК3 · Клапан # *]|+РК2 · Клапан #Две *"));
        QCOMPARE(asked(*w, MainWindow::aiSaveProject, {}), QStringList());
        QCOMPARE(asked(*w, MainWindow::aiRemovePosition, {ModalAnswerer::clickButton(u8("Отмена"))}),
                 list("Удалить позицию «РК3» из проекта?"));
        QCOMPARE(titled(*w), u8("Две"));
        ModalSequence remove({ModalAnswerer::clickButton(u8("Удалить")), ModalAnswerer::reject()});
        QTest::mouseClick(w->tabWidget()->tabBar()->tabButton(2, QTabBar::RightSide), Qt::LeftButton);
        QCOMPARE(remove.texts(), list("Удалить позицию «РК2» из проекта?"));
        QCOMPARE(tabs(*w) + titled(*w), u8("+РК1 · Клапан #|[+РК3 · Клапан #]Две *"));
        Project saved;
        QVERIFY(w->saveProjectTo(path("Две.orxp")) &&
                Project::load(path("Две.orxp"), saved) == Project::rsOk);
        QCOMPARE(saved.positions.size(), 2);
        QCOMPARE(Project::positionMark(saved.positions[1].doc) + saved.positions[1].cells[0].code,
                 u8("РК34212"));
        // Moving a position past another changes the project's order; past a loose document it does not.
        QCOMPARE(w->createMdiChild(docKv, nullptr), 2);
        w->tabWidget()->tabBar()->moveTab(2, 1);
        QCOMPARE(titled(*w), u8("Две"));
        w->tabWidget()->tabBar()->moveTab(0, 2);
        QCOMPARE(titled(*w), u8("Две *"));
    }
    void openings_data() { tableRows(kOpenings); }
    void openings()
    {
        ORX_ROW(kOpenings);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(u8("Клапан.orx")), orxsamples::valveDocument().toByteArray()) &&
                writeFile(dir.filePath(u8("Объект.orxp")), projectFile(true)));
        auto w = startWindow();
        const int chosen = row.commandLine ? 0 : 1;
        QList<Action> answers{ModalAnswerer::accept(), ModalAnswerer::accept()};
        if (chosen)
            answers.prepend(ModalAnswerer::chooseFile(dir.filePath(u8(row.file))));
        ModalSequence told(answers);
        if (chosen)
            w->action(MainWindow::aiOpenProject)->trigger();
        else
            w->openFile(dir.filePath(u8(row.file)));
        QCOMPARE(told.texts().mid(chosen).join(QLatin1Char('|')).replace(dir.path(), QStringLiteral("~")),
                 u8(row.told));
        QCOMPARE(told.icons().mid(chosen), QList<int>{QMessageBox::Warning});
        QCOMPARE(tabs(*w), u8(row.tabs));
    }
    // A new document joins the open project, an opened one stays loose until
    // added; a save that fails keeps the old file and the unsaved state.
    void joiningAndFailedSave()
    {
        QVERIFY(writeFile(path("Свой.orx"), orxsamples::kvDocument().toByteArray()));
        auto w = withProject("Объект.orxp");
        pickNew(*w, 0); // a valve
        QVERIFY(w->openFile(path("Свой.orx")));
        QCOMPARE(tabs(*w) + titled(*w) + enabled(*w),
                 u8("+РК1 · Клапан #|+РК2 · Клапан #|+Клапан #|[Свой]Объект *1111100111"));
        w->action(MainWindow::aiAddToProject)->trigger();
        QCOMPARE(enabled(*w), u8("1111011111"));
        const QString file = path("Объект.orxp");
        QString error;
        {
            FileSizeLimit full(readFile(file).size());
            QVERIFY(full.ok);
            error = asked(*w, MainWindow::aiSaveProject, {ModalAnswerer::accept()}).value(0);
        }
        QVERIFY2(error.contains(QDir::toNativeSeparators(file)), qPrintable(error));
        QVERIFY(readFile(file) == projectFile(false) && w->isProjectModified());
        QCOMPARE(tabs(*w) + titled(*w), u8("+РК1 · Клапан #|+РК2 · Клапан #|+Клапан #|[+Свой]Объект *"));
        QVERIFY(w->saveProjectTo(file) && !w->isProjectModified());
        QCOMPARE(w->projectPositions().size(), 4);
    }
    // The details: a null date stays null until the date field is touched, then it starts at today, until
    // "Без даты"; an unchanged dialog changes nothing. A field opens showing its text from the beginning.
    void details()
    {
        auto w = withProject("Сведения.orxp");
        const auto fill = [](int date) { // 1 touched, 2 "Без даты"
            return [date](QWidget* modal) {
                auto* dialog = static_cast<ProjectDetailsDialog*>(modal);
                auto* developer = dialog->findChild<QLineEdit*>(QStringLiteral("developer"));
                QCOMPARE(developer->cursorPosition(), 0);
                developer->setText(u8("Иванов"));
                if (date)
                    QTest::mouseClick(date == 1 ? dialog->dateEdit()->findChild<QLineEdit*>()
                                                : static_cast<QWidget*>(dialog->noDateButton()),
                                      Qt::LeftButton);
                dialog->accept();
            };
        };
        QStringList seen;
        for (int date : {0, 0, 1, 2}) {
            asked(*w, MainWindow::aiProjectDetails, {fill(date)});
            const QString before = titled(*w);
            Project saved;
            const bool written = w->saveProjectTo(path("Сведения.orxp")) &&
                                 Project::load(path("Сведения.orxp"), saved) == Project::rsOk;
            seen << before + QLatin1Char(':') + QString::number(written) + saved.details.developer +
                        saved.details.date.toString(QStringLiteral("dd.MM.yyyy"));
        }
        QCOMPARE(seen,
                 QStringList({u8("Сведения *:1Иванов"), u8("Сведения:1Иванов"),
                              u8("Сведения *:1Иванов") + QDate::currentDate().toString(u8("dd.MM.yyyy")),
                              u8("Сведения *:1Иванов")}));
    }
};

ORX_GUI_TEST_MAIN(TestProjectWindow)
#include "tst_projectwindow.moc"
