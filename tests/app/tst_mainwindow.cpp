// The main window driven as a user drives it: its commands, the tabs, saving, opening (also from the command
// line, and documents holding what a form cannot show), and the questions asked on closing.

#include "../../fuzz/sampledocuments.h"

#include "formhost.h"
#include "forms/fancabinetchild.h"
#include "guitools/makerinfo.h"
#include "guitools/smallclasses.h"
#include "selectdoctypedlg.h"
#include "vocabulary/flowmeter.h"
#include "windowsupport.h"

#include <QMessageBox>
#include <QStatusBar>

#include <sys/stat.h>

using namespace common;
using namespace orxtest;
using Action = ModalAnswerer::Action;

namespace {

// One change of a document of each kind: a number typed, or an option's code.
// clang-format off
const struct { DocType type; qint16 field; const char* value; } kEdits[] = {
    {docKv, MdiChild::fcP1, "2"}, {docValve, MdiChild::fcP1, "4"}, {docRegulator, MdiChild::fcFlow, "3"},
    {docStdCabinet, CabinetChild::fcLoopCount, "5"}, {docFanCabinet, CabinetChild::fcFan, "5"}, {docFlowMeter, lfDiameter, "100"},
};

// The tabs (kinds as kEdits indexes), how they are closed ("Закрыть все", "Выход", -1 the title bar), those
// modified, the answers, the tabs asked about and the tabs left.
const struct { const char *name, *tabs; int action; const char *modified, *answers, *asked; int remaining; } kClosings[] = {
    {"Закрыть все: nothing modified, no question", "000", MainWindow::aiCloseAll, "", "", "", 0},
    {"Закрыть все: no on the third, cancel on the second keeps two", "000", MainWindow::aiCloseAll, "012", "Нет|Отмена", "21", 2},
    {"Закрыть все: only the middle modified, cancel keeps two", "000", MainWindow::aiCloseAll, "1", "Отмена", "1", 2},
    {"Закрыть все: all six kinds, no to all", "012345", MainWindow::aiCloseAll, "012345", "Нет|Нет|Нет|Нет|Нет|Нет", "543210", 0},
    {"Выход: no on the third, cancel on the second closes none", "000", MainWindow::aiExit, "012", "Нет|Отмена", "21", 3},
    {"Выход: no to all closes all", "000", MainWindow::aiExit, "012", "Нет|Нет|Нет", "210", 0},
    {"title bar: cancel on the third closes none", "000", -1, "012", "Отмена", "2", 3},
    {"title bar: only the middle modified, no closes all", "000", -1, "1", "Нет", "1", 0},
};

// Documents named on the command line, the tabs they open ([] in front), and
// what the user is told: message boxes ("!" a warning), then the reader's errors.
const struct { const char *name, *files, *tabs, *told; } kCommandLines[] = {
    {"none: a new document is asked for", "", "", "Новый подбор"},
    {"pipe: refused, not read forever", "pipe.orx", "", "Не удалось открыть файл \"~/pipe.orx\""},
    {"older version: a warning naming the file", "old.orx", "", "! Несоответствие версии загружаемого документа (~/old.orx) и версии программы"},
    {"one file by four paths (parent, linked file and folder), Cyrillic folder with a blank", "Проекты 2022/Клапан.orx|sub/../Проекты 2022/Клапан.orx|link.orx|linked/Клапан.orx", "[Клапан]", ""},
    {"several, a missing one refused", "Проекты 2022/Клапан.orx|missing.orx|Kv.orx", "Клапан|[Kv]", "Не удалось открыть файл \"~/missing.orx\""},
    {"an open one named again comes forward", "Проекты 2022/Клапан.orx|Kv.orx|link.orx", "[Клапан]|Kv", ""},
};

// A field holding what its control cannot show, the line of the warning, and
// whether the form then asks for its input.
enum Sample { Valve, ValveViaHeatLoad, FlowMeter, KvCalculation };
const struct { const char* name; Sample sample; qint16 field; QVariant value; const char* told; bool refused; } kOddValues[] = {
    // The flow through the heat load needs the pressures as well.
    {"unit outside its table", ValveViaHeatLoad, 101, 4, "Единица давления — не заполнено", true},
    {"text for a number", Valve, 108, QStringLiteral("abc"), "Расход рабочей среды (G) — не заполнено", true},
    {"not a number as text", Valve, 102, QStringLiteral("nan"), "Перед клапаном (P1) — не заполнено", true},
    {"number beyond its box", Valve, 108, 1e300, "Расход рабочей среды (G) — не заполнено", true},
    {"radio outside its buttons", Valve, 1011, -1, "Давление (избыточное или абсолютное) — выбрано «Избыточное»", false},
    {"check box holding a number", FlowMeter, 410, 5, "Модуль индикации — не отмечено", false},
    // The Kv of a valve does not ask where it sits: the form's own place stays.
    {"hidden field outside its table", KvCalculation, 131, 7, "", false},
    {"name too long", Valve, MdiChild::fcObjectName, QString(100000, QChar(0x0416)), "Наименование объекта — сокращено до 1000 знаков", false},
};
// clang-format on

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A main window with documents of the kinds (kEdits indexes), each shown once.
    static std::unique_ptr<MainWindow> withKinds(const char* kinds)
    {
        auto window = startWindow();
        for (const char* kind = kinds; *kind; ++kind) {
            window->tabWidget()->setCurrentIndex(window->createMdiChild(kEdits[*kind - '0'].type, nullptr));
            QCoreApplication::processEvents(); // laid out and painted
        }
        return window;
    }
    static void modify(MdiChild* form, int edit)
    {
        const DocKey key(kEdits[edit].field);
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(form->control(key)))
            typeInto(spin, QString::fromLatin1(kEdits[edit].value));
        else
            form->ctrl<QSmartComboBox>(key)->setCurrentByData(QByteArray(kEdits[edit].value).toInt());
        QVERIFY(form->isModified());
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Оримакстех"));
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        // The tests close main windows; the application must not quit on them.
        QApplication::setQuitOnLastWindowClosed(false);
        Doc::setWarningPresenter(&MainWindow::showFileWarning);
    }

    // Runs first: the first document of the process takes number 1. An unknown type, or a press on the new
    // document dialog from elsewhere than its buttons, is a programming error, reported. Ids 2 to 5 (close,
    // close all, save, save as) need a tab; the tabs switch around both ways.
    void commandsAndTabs()
    {
        MessageCapture capture;
        auto window = startWindow();
        pickNew(*window, 0);
        MdiChild* c = window->activeMdiChild();
        QVERIFY(c && !c->isModified() && window->isVisible() && window->isMaximized());
        QCOMPARE(window->createMdiChild(DocType(7), nullptr), -1);
        SelectDocTypeDlg dialog;
        dialog.show();
        QMetaObject::invokeMethod(&dialog, "onPress");
        QVERIFY(dialog.isVisible() && dialog.docType() == 0);
        QCOMPARE(capture.conditions(), QStringList({QStringLiteral("0"), QStringLiteral("child"),
                                                    QStringLiteral("m_docTypesByCmd.contains(btn)")}));
        auto state = [&] {
            QString enabled;
            for (int id = 0; id <= MainWindow::aiAbout; ++id)
                enabled += window->action(id)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
            return QStringList{enabled, QString::number(window->tabWidget()->currentIndex()),
                               window->tabWidget()->tabText(0)}
                .join(QLatin1Char('|'));
        };
        QCOMPARE(state(), QStringLiteral("1111111111|0|Клапан 1"));
        modify(c, 1);
        // A cancelled save dialog saves nothing and says nothing.
        QCOMPARE(asked(*window, MainWindow::aiSave, {ModalAnswerer::reject()}).size(), 1);
        QCOMPARE(state() + window->statusBar()->currentMessage() + QString::number(c->isModified()),
                 QStringLiteral("1111111111|0|Клапан 1 *Готово1"));
        const QString path = m_dir.filePath(QStringLiteral("Сохранённый.orx"));
        asked(*window, MainWindow::aiSave, {ModalAnswerer::chooseFile(path)});
        QVERIFY(QFile::exists(path) && !c->isModified() && window->statusBar()->isHidden());
        QCOMPARE(state() + window->statusBar()->currentMessage(),
                 QStringLiteral("1111111111|0|СохранённыйДокумент сохранён"));
        QTRY_COMPARE_WITH_TIMEOUT(window->statusBar()->currentMessage(), QString(), 4000);
        // "Сохранить как" always asks.
        const QString copy = m_dir.filePath(QStringLiteral("Копия.orx"));
        QCOMPARE(asked(*window, MainWindow::aiSaveAs, {ModalAnswerer::chooseFile(copy)}).size(), 1);
        QCOMPARE(window->tabWidget()->tabText(0), QStringLiteral("Копия"));
        window->action(MainWindow::aiClose)->trigger();
        window->nextTab();
        QCOMPARE(state(), QStringLiteral("1100001111|-1|"));
        // Opened again as typed; the next dialog starts in the folder of this file.
        QCOMPARE(asked(*window, MainWindow::aiOpen, {ModalAnswerer::chooseFile(copy)}), list("Открыть"));
        c = window->activeMdiChild();
        QVERIFY(c && !c->isModified() && c->doubleValue(DocKey(MdiChild::fcP1)) == 4.0);
        QCOMPARE(QDir(Doc::directory()).canonicalPath(), QDir(m_dir.path()).canonicalPath());
        QStringList kinds;
        for (int cell = 0; cell < 6; ++cell) {
            pickNew(*window, cell);
            kinds << QString::number(window->activeMdiChild()->docType());
        }
        QCOMPARE(kinds.join(QLatin1Char(' ')), QStringLiteral("20 30 100 105 200 500"));
        window->action(MainWindow::aiNextTab)->trigger();
        QCOMPARE(state(), QStringLiteral("1111111111|0|Копия"));
        window->action(MainWindow::aiPrevTab)->trigger();
        QCOMPARE(window->tabWidget()->currentIndex(), 6);
        // Unsaved documents and missing files never match a file.
        QCOMPARE(window->findMdiChild(m_dir.filePath(QStringLiteral("нет такого.orx"))), -1);
        ModalAnswerer about(ModalAnswerer::clickButton(QStringLiteral("OK")));
        window->action(MainWindow::aiAbout)->trigger();
        QCOMPARE(about.title() + about.text().left(42),
                 QStringLiteral("О программеОримакс-расчёт, версия от 01.03.22<br><br>"));
        // The address opens a letter, not a web page.
        QVERIFY(about.text().contains(QStringLiteral("<a href=\"mailto:%1\">").arg(orx::makerEmail())));
    }
    // The new-document dialog, 1090 px wide at its pictures' size: on a 1024 px screen the pictures shrink to
    // fit, on a wide one they keep 200 px, on one that only pictures too small would fit as well.
    void newDocumentPicturesFitTheScreen()
    {
        QCOMPARE(QList<int>({SelectDocTypeDlg::iconSideFor(1090, 1904, 3),
                             SelectDocTypeDlg::iconSideFor(1090, 1016, 3),
                             SelectDocTypeDlg::iconSideFor(1090, 792, 3)}),
                 QList<int>({200, 175, 200}));
    }
    // "Сохранить как" onto the file another tab shows is refused: that tab would show what the file no longer
    // holds, and its next save would overwrite this document. Onto its own file a window saves.
    void saveAsOntoAnOpenFile()
    {
        auto window = startWindow();
        const QString path = m_dir.filePath(QStringLiteral("Открытый.orx"));
        // The file exists: the dialog's own question whether to replace it is answered "Yes".
        const Action replacing = [path](QWidget* modal) {
            ModalAnswerer yes(ModalAnswerer::pressButton(QMessageBox::Yes));
            ModalAnswerer::chooseFile(path)(modal);
        };
        pickNew(*window, 0);
        asked(*window, MainWindow::aiSaveAs, {ModalAnswerer::chooseFile(path)});
        const QByteArray valve = readFile(path);
        pickNew(*window, 5);
        MdiChild* kv = window->activeMdiChild();
        modify(kv, 0);
        QCOMPARE(
            asked(*window, MainWindow::aiSaveAs,
                  {replacing, ModalAnswerer::clickButton(QStringLiteral("OK"))}),
            list("Сохранить как|Файл «Открытый.orx» открыт в другой вкладке. Закройте её или выберите другое "
                 "имя файла."));
        QVERIFY(kv->isModified() && kv->doc().untitled() && readFile(path) == valve);
        window->tabWidget()->setCurrentIndex(0);
        QCOMPARE(asked(*window, MainWindow::aiSaveAs, {replacing}), list("Сохранить как"));
    }
    // Asked from the last tab to the first; "Закрыть все" stops at the first tab kept. Leaving the program
    // closes nothing until every answer is in, and nothing after a cancel. A closed window really goes (the
    // memory over a thousand documents is bench/bench_soak.cpp).
    void closingAsks_data() { tableRows(kClosings); }
    void closingAsks()
    {
        ORX_ROW(kClosings);
        auto window = withKinds(row.tabs);
        MessageCapture capture;
        QStringList questions;
        QList<QPointer<MdiChild>> forms;
        for (int i = 0; i < window->tabWidget()->count(); ++i)
            forms << window->child(i);
        for (const char* i = row.modified; *i; ++i)
            modify(forms[*i - '0'], row.tabs[*i - '0'] - '0');
        for (const char* i = row.asked; *i; ++i)
            questions << QStringLiteral("Сохранить изменения в '%1'?").arg(forms[*i - '0']->doc().name());
        QList<Action> answers;
        for (const QString& a : list(row.answers))
            answers << ModalAnswerer::clickButton(a);
        QCOMPARE(asked(*window, row.action, answers), questions);
        QCOMPARE(window->tabWidget()->count(), row.remaining);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (int i = 0; i < forms.size(); ++i)
            QVERIFY(i < row.remaining ? window->child(i) == forms[i] && !forms[i]->isHidden()
                                      : forms[i].isNull());
        QCOMPARE(window->isVisible(), row.action == MainWindow::aiCloseAll || row.remaining > 0);
        QCOMPARE(window->action(MainWindow::aiSave)->isEnabled(), row.remaining > 0);
        QCOMPARE(capture.count(), 0);
    }
    // Documents named on the command line open as "Открыть..." opens them, the
    // last in front; only a start without documents asks for a new one.
    void commandLine_data() { tableRows(kCommandLines); }
    void commandLine()
    {
        ORX_ROW(kCommandLines);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Проекты 2022"));
        QVERIFY(QDir().mkpath(folder) && QDir(dir.path()).mkpath(QStringLiteral("sub")) &&
                QFile::link(folder, dir.filePath(QStringLiteral("linked"))));
        for (auto [name, bytes] :
             {std::pair{"Проекты 2022/Клапан.orx", orxsamples::valveDocument().toByteArray()},
              {"Kv.orx", orxsamples::kvDocument().toByteArray()},
              {"old.orx", QByteArray::fromHex("00000002")}})
            QVERIFY(writeFile(dir.filePath(u8(name)), bytes));
        QVERIFY(
            QFile::link(folder + QStringLiteral("/Клапан.orx"), dir.filePath(QStringLiteral("link.orx"))));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.orx"))).constData(), 0600), 0);
        QStringList paths, told;
        for (const QString& file : list(row.files))
            paths << dir.filePath(file);
        MessageCapture errors;
        ModalSequence modals(QVector<Action>(4, ModalAnswerer::reject()).toList());
        MainWindow window(paths);
        QTest::qWait(300);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(tabs(window), u8(row.tabs));
        for (int i = 0; i < modals.answered(); ++i)
            told << (modals.icons()[i] == QMessageBox::Warning ? QStringLiteral("! ") : QString()) +
                        modals.texts()[i];
        for (const CapturedMessage& error : errors.messages())
            told << error.text;
        QCOMPARE(told.join(QLatin1Char('|')).replace(dir.path(), QStringLiteral("~")), u8(row.told));
    }
    // Opened on screen (its first calculation runs), the field is not filled in
    // (or cut), the user is told once, and nothing is computed from a stand-in.
    void oddValueOpensNotFilledIn_data() { tableRows(kOddValues); }
    void oddValueOpensNotFilledIn()
    {
        ORX_ROW(kOddValues);
        Doc doc = row.sample == FlowMeter       ? orxsamples::flowMeterDocument()
                  : row.sample == KvCalculation ? orxsamples::kvDocument()
                                                : orxsamples::valveDocument();
        if (row.sample == ValveViaHeatLoad)
            doc.setValue(DocKey(MdiChild::fcFlowMode), 2);
        doc.setValue(DocKey(row.field), row.value);
        const QString path = m_dir.filePath(u8(row.name) + QStringLiteral(".orx"));
        QVERIFY(writeFile(path, doc.toByteArray()));
        MessageCapture capture;
        MainWindow window({path});
        QVERIFY(QTest::qWaitFor([&] { return window.activeMdiChild(); }) &&
                QTest::qWaitForWindowExposed(&window));
        MdiChild* child = window.activeMdiChild();
        QCOMPARE(capture.count(), *row.told ? 1 : 0);
        QVERIFY(!*row.told || (capture.messages().first().title == QStringLiteral("Предупреждение") &&
                               capture.messages().first().text.contains(u8(row.told))));
        QString labels; // captions, messages, results
        for (const QLabel* label : child->findChildren<QLabel*>())
            labels += QLatin1Char('\n') + orxtest::readText(label);
        QCOMPARE(labels.count(QStringLiteral("\nНе заполнены входные данные")) +
                     labels.count(QStringLiteral("\nПустые поля:")),
                 2 * row.refused);
        // No boiling point from pressures in no unit caps the supply temperature.
        if (doc.docType() == docValve)
            QCOMPARE(child->doubleValue(DocKey(MdiChild::fcSupplyTemperature)), 130.0);
        const Doc saved = savedAndReopened(*child, m_dir.filePath(QStringLiteral("saved.orx")));
        if (row.field == MdiChild::fcObjectName)
            QCOMPARE(saved.value(DocKey(row.field)).toString(), QString(1000, QChar(0x0416)));
    }
};

ORX_GUI_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
