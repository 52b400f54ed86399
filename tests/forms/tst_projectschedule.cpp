// The equipment schedule of a project made from its positions' windows: the four valve and three regulator
// worked examples as a user chooses them, a flow meter and a cabinet, compared cell by cell in the table and
// in the CSV; and the data sheets of every position in one PDF.

#include "tst_selectionchild_formreader.h"

#include "forms/documentwindows.h"
#include "project/scheduledialog.h"

#include <QSpinBox>
#include <QTableWidget>

using namespace formreader;

namespace {

const Task kPositions[] = {kValve1, kValve2, kValve3, kValve4, kRegulator1, kRegulator2, kRegulator3};
// By the task above: the mark, the quantity and which proposed candidate the user takes.
// clang-format off
const struct { const char* mark; int quantity, candidate; } kChosen[] = {
    {"РК10", 2, 1}, {"РК2", 1, 1}, {"РК3", 1, 2}, {"РК-П1", 1, 1}, {"РД1", 1, 1}, {"РД2", 3, 1}, {"РД3", 1, 1}};

// A document without a device: its type, the task typed (none: nothing typed) and the note of its row.
const struct { const char* name; DocType type; const Task* task; const char* note; } kWithoutDevice[] = {
    {"a valve task not given", docValve, nullptr, "Подбор не выполнен"},
    {"a valve not chosen", docValve, &kValve1, "Устройство не выбрано"},
    {"a regulator not chosen", docRegulator, &kRegulator3, "Устройство не выбрано"},
    {"Kv", docKv, nullptr, "Расчёт Kv: устройство не подбирается"},
    {"a meter without options", docFlowMeter, nullptr, "Обозначение не составлено: выбраны не все параметры"},
    {"a cabinet without options", docStdCabinet, nullptr, "Обозначение не составлено: выбраны не все параметры"},
};
// clang-format on

using orxtest::u8;

// The schedule as the user reads it: one line per row, the cells joined by ";".
// clang-format off
const char* const kExpected =
R"(Р1;Расходомер ЛМФ ультразвуковой, DN 100, PN 16;Счетчик-расходомер ультразвуковой ЛМФ-У-100-П-16-67-И-000-485-1300-10-1,0-24;;ООО «Оримакстех»;шт.;1;;
РД1;Регулятор перепада давления ЛМР-Д, DN 40, Kvy 25 м³/ч, диапазон настройки 0,04 - 0,70 МПа, среда: пропиленгликоля раствор 10%, 46 °C;ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа);;ООО «Оримакстех»;шт.;1;13;
РД2;Регулятор давления «до себя» ЛМР-1, DN 40, Kvy 25 м³/ч, диапазон настройки 0,60 - 1,00 МПа, среда: вода, 46 °C;ЛМР-1 DN 40 Kvy 25 (0,60 - 1,00 МПа);;ООО «Оримакстех»;шт.;3;14;
РД3;Регулятор перепада давления ЛМР-Д, DN 15, Kvy 4 м³/ч, диапазон настройки 0,04 - 0,70 МПа, среда: вода, 100 °C;ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа);;ООО «Оримакстех»;шт.;1;8;
РК2;Клапан седельный ЛМК-2, DN 300, Kvs 1600 м³/ч, среда: вода, 100 °C;ЛМК-2 DN 300 Kvy 1600;;ООО «Оримакстех»;шт.;1;290;
РК2.1;Электропривод: трёхпозиционное управление, питание 220 В, степень защиты IP54;ЛМА-115-4000/160-80-220В;;ООО «Оримакстех»;шт.;1;;
РК3;Клапан трёхходовой ЛМК-3, DN 50, Kvs 32 м³/ч, среда: вода, 65 °C;ЛМК-3 DN 50 Kvy 32;;ООО «Оримакстех»;шт.;1;15;
РК3.1;Электропривод: трёхпозиционное управление, питание 220 В, степень защиты IP54;ЛМА-118-1600/63-20-220В;;ООО «Оримакстех»;шт.;1;;
РК10;Клапан седельный ЛМК-2, DN 80, Kvs 100 м³/ч, среда: пропиленгликоля раствор 50%, 100 °C;ЛМК-2 DN 80 Kvy 100;;ООО «Оримакстех»;шт.;2;28;=с обводной линией
РК10.1;Электропривод: трёхпозиционное управление, питание 220 В, степень защиты IP54;ЛМА-115-1600/63-20-220В;;ООО «Оримакстех»;шт.;2;;
РК-П1;Клапан для пара ЛМК-П, DN 50, Kvs 40 м³/ч, среда: перегретый пар, 220 °C;ЛМК-П DN 50 Kvy 40;;ООО «Оримакстех»;шт.;1;14;
РК-П1.1;Электропривод: трёхпозиционное управление, питание 220 В, степень защиты IP54;ЛМА-111-2700/63-20-220В;;ООО «Оримакстех»;шт.;1;;
ШУ1;Шкаф управления для ГВС или ОТП, контуров: 2;ЛМШ-1-12-44.20-2-220-IP54;;ООО «Оримакстех»;шт.;1;;
)";
// clang-format on

struct Project9 : orxtest::FormHost
{
    QList<MdiChild*> windows;
    Project9() : FormHost(ShowOnAdd, 1000)
    {
        for (int i = 0; i < int(std::size(kPositions)); ++i) {
            auto* form = static_cast<SelectionChild*>(
                add(createDocumentWindow(i < 4 ? docValve : docRegulator, nullptr)));
            if (i == 0 && !show())
                qWarning("the project never became active");
            enter(form, kPositions[i]);
            form->choiceCombo()->setCurrentIndex(kChosen[i].candidate);
            form->setPositionMark(u8(kChosen[i].mark));
            form->findChild<QSpinBox*>()->setValue(kChosen[i].quantity);
            windows << form;
        }
        for (const char* stem : {"flowmeter", "stdcabinet"}) {
            const Doc doc = orxtest::corpusDocument(u8(stem));
            windows << add(createDocumentWindow(DocType(doc.docType()), &doc));
        }
        windows.at(7)->setPositionMark(u8("Р1"));
        windows.at(8)->setPositionMark(u8("ШУ1"));
    }
};

} // namespace

class TestProjectSchedule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u8("pdftotext")).isEmpty())
            QSKIP("poppler-utils are needed");
    }

    // One row per device in position-mark order, a valve's drive under ".1", the typed note where the user
    // typed it (the CSV, the workbook and the drawing sheet of these cells are their writers' own tests).
    void workedProject()
    {
        orxtest::MessageCapture capture;
        Project9 project;
        QHash<const MdiChild*, Project::CellSet> cells;
        cells[project.windows.at(0)][Project::rkDevice].note = u8("=с обводной линией");
        const EquipmentSchedule schedule = projectSchedule({}, project.windows, cells);
        QStringList table;
        for (const ScheduleRow& row : schedule.rows)
            table << scheduleCellTexts(row).join(QLatin1Char(';'));
        QCOMPARE(table, u8(kExpected).trimmed().split(QLatin1Char('\n')));
    }

    // A document without a device gives one row that names it and says why, never a guessed device; what
    // the user typed for the row waits until a device stands there.
    void withoutDevice_data() { tableRows(kWithoutDevice); }
    void withoutDevice()
    {
        ORX_ROW(kWithoutDevice);
        orxtest::FormHost host;
        MdiChild* form = host.add(createDocumentWindow(row.type, nullptr));
        QVERIFY(host.show());
        if (row.task)
            enter(static_cast<SelectionChild*>(form), *row.task);
        form->setPositionMark(u8("П1"));
        QHash<const MdiChild*, Project::CellSet> cells;
        cells[form][Project::rkDevice] = {u8("код"), u8("примечание")};
        const EquipmentSchedule schedule = projectSchedule({}, {form}, cells);
        QCOMPARE(schedule.rows.size(), 1);
        QCOMPARE(scheduleCellTexts(schedule.rows.first()),
                 QStringList({u8("П1"), form->doc().name(), {}, {}, {}, {}, {}, {}, u8(row.note)}));
    }

    // The view: a typed cell goes into the project and tells it; a repeated mark is flagged; a row without
    // a device cannot take a code or a note.
    void view()
    {
        orxtest::MessageCapture capture;
        Project9 project;
        project.windows.at(8)->setPositionMark(u8("рк2"));
        auto* blank = project.add(createDocumentWindow(docKv, nullptr));
        project.windows << blank;
        ProjectDetails details;
        QHash<const MdiChild*, Project::CellSet> cells;
        ScheduleDialog dialog(&details, project.windows, &cells);
        QSignalSpy edited(&dialog, &ScheduleDialog::edited);
        QTableWidget* table = dialog.table();
        QCOMPARE(table->rowCount(), 14);
        QCOMPARE(table->item(4, scPosition)->text() + table->item(6, scPosition)->text(), u8("РК2рк2"));
        QVERIFY(!dialog.duplicatesLine()->isHidden() && dialog.duplicatesLine()->text().contains(u8("РК2")));
        QCOMPARE(table->item(4, scPosition)->background(), table->item(6, scPosition)->background());
        QVERIFY(table->item(4, scPosition)->background() != table->item(5, scPosition)->background());

        const int oneLine = table->rowHeight(6);
        const QString note = u8("в щите ШУ1, на стене венткамеры рядом с вводом, см. лист ОВ-7, узел 2");
        table->item(5, scCode)->setText(u8("4218")); // РК2.1, the drive of the valve РК2, under it
        table->item(6, scNote)->setText(note);       // рк2, the cabinet; its row grows
        QCOMPARE(edited.count(), 2);
        QCOMPARE(cells.value(project.windows.at(1)).at(Project::rkDrive).code, u8("4218"));
        QCOMPARE(cells.value(project.windows.at(8)).at(Project::rkDevice).note, note);
        QCOMPARE(cells.size(), 2);
        QVERIFY(table->rowHeight(6) > oneLine);
        QVERIFY(!(table->item(13, scNote)->flags() & Qt::ItemIsEditable));
        QCOMPARE(table->item(13, scNote)->text(), u8("Расчёт Kv: устройство не подбирается"));

        // Shown: Enter on a cell opens no dialog; a typed cell takes no more than the project keeps; the
        // longest mark is read whole.
        blank->setPositionMark(u8("РК-ПППППППППП99"));
        ScheduleDialog shown(&details, {blank, project.windows.at(8)}, &cells);
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        table = shown.table();
        table->setFocus();
        table->setCurrentCell(0, scName);
        orxtest::ModalAnswerer nothing(orxtest::ModalAnswerer::reject(), 300);
        QTest::keyClick(table, Qt::Key_Return);
        QTest::qWait(400);
        QVERIFY(!nothing.answered() && shown.isVisible());
        const int cabinet = table->item(0, scPosition)->text() == u8("рк2") ? 0 : 1;
        table->setCurrentCell(cabinet, scNote);
        table->editItem(table->item(cabinet, scNote));
        auto* editor = table->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QString(Doc::maxTextLength + 100, QLatin1Char('x')));
        QTest::keyClick(editor, Qt::Key_Return); // taken once control is back in the event loop
        QTRY_COMPARE(table->item(cabinet, scNote)->text().size(), Doc::maxTextLength);
        QVERIFY(table->columnWidth(scPosition) >
                table->fontMetrics().horizontalAdvance(table->item(1 - cabinet, scPosition)->text()) + 6);
    }

    // Every position with a complete choice gives its data sheet, in position order, one page each.
    void dataSheets()
    {
        orxtest::MessageCapture capture;
        Project9 project;
        QTemporaryDir folder;
        const QString pdf = folder.filePath(u8("листы.pdf"));
        QStringList skipped;
        QString error;
        QVERIFY2(writeDataSheets(project.windows, pdf, &skipped, &error), qPrintable(error));
        QCOMPARE(skipped, QStringList({u8("Р1: опросный лист не составляется"),
                                       u8("ШУ1: опросный лист не составляется")}));
        // Each report on a page of its own, headed by its title with the position: the reports are laid
        // out for the page whatever the screen's resolution.
        QStringList titles;
        QStringList pages = orxtest::toolOutput("pdftotext", {pdf, u8("-")}).split(QLatin1Char('\f'));
        pages.removeLast(); // after the last page's form feed
        for (const QString& page : pages)
            titles << orxtest::captures(page, "Расчёт [^\\n]*, поз. ([^\\s]+)").join(QLatin1Char(','));
        QCOMPARE(titles.join(QLatin1Char(' ')), u8("РД1 РД2 РД3 РК2 РК3 РК10 РК-П1"));
        QCOMPARE(orxtest::captures(orxtest::toolOutput("pdfinfo", {pdf}), "Title: +([^\\n]*)"),
                 QStringList{u8("Опросные листы")});
        QCOMPARE(capture.ownCount(), 0);

        // A position whose choice is not complete is left out; with none left, nothing is written.
        QVERIFY(!writeDataSheets(project.windows.mid(7), pdf + u8("2"), &skipped, &error));
        QVERIFY(!error.isEmpty() && !QFile::exists(pdf + u8("2")));
        // From the dialog, that is said before a file name is asked for.
        ProjectDetails details;
        QHash<const MdiChild*, Project::CellSet> cells;
        ScheduleDialog dialog(&details, project.windows.mid(7), &cells);
        orxtest::ModalSequence told({orxtest::ModalAnswerer::reject()});
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == u8("Опросные листы…"))
                button->click();
        QCOMPARE(told.texts(), QStringList{error});
    }
};

QTEST_MAIN(TestProjectSchedule)
#include "tst_projectschedule.moc"
