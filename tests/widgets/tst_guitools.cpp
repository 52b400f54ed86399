// The program's own inputs (what each accepts, refuses and tells the user, and the mouse wheel passing over
// them) and window parts: pipe DN choice, radio group, kept column widths, error boxes.

#include "engine/algorithm.h"
#include "engine/regulatorinputparams.h"
#include "framework/pipeselectionarea.h"
#include "framework/radioarea.h"
#include "gentools/emptyrefcodeprovider.h"
#include "guitestsupport.h"
#include "guitools/columnsizes.h"
#include "guitools/guimessageprinter.h"
#include "guitools/smallclasses.h"
#include "guitools/wheelguard.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QCompleter>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>

using namespace common;
using orxtest::u8;

namespace {

const qint16 kListed = orxtest::FakeRefCodes::listed;
const qint16 kAlphabetical = orxtest::FakeRefCodes::alphabetical;

// A shown, active window with another line edit holding the focus, so that a
// test sees the focus move to the widget under test.
struct Stage
{
    QWidget window;
    QLineEdit* other = new QLineEdit;

    explicit Stage(QWidget* target)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(other);
        layout->addWidget(target);
        window.show();
        QApplication::setActiveWindow(&window);
        other->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    // Offscreen windows are not reactivated after a message box by themselves.
    bool focusIsOn(QWidget* w)
    {
        QApplication::setActiveWindow(&window);
        return QTest::qWaitFor([w] { return w->hasFocus(); });
    }
};

// Validates: "valid " or "invalid ", then the text of the warning box ("" when none came).
template <class W>
QString validation(W* widget)
{
    orxtest::ModalAnswerer answer(orxtest::ModalAnswerer::pressButton(QMessageBox::Ok), 1000);
    const bool valid = widget->validate();
    if (answer.answered() && answer.title() != QStringLiteral("Валидация"))
        return QStringLiteral("title ") + answer.title();
    return (valid ? QStringLiteral("valid ") : QStringLiteral("invalid ")) + answer.text();
}

// Types the text as key presses carrying the characters (any alphabet).
void typeText(QWidget* w, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
    }
}

// A calculation carrying only a task, all the pipe speeds need. At 101325 Pa absolute
// normal and working gas volumes match; half the pressure after doubles the speed.
template <class Input>
class TaskOnly : public Algorithm
{
public:
    explicit TaskOnly(int substance)
    {
        std::tie(m_task.substance, m_task.pressureType, m_task.pressureMeasure, m_task.flowMeasure) =
            std::tuple(substance, pkAbsolute, pmPa, wfM3h);
        std::tie(m_task.P1, m_task.P2, m_task.Tsupply) = std::tuple(101325, 50662.5, 20);
        m_task.flow = 1.456 * 113.0973336 * 2500 / 40000; // 1.456 m/s through DN 50
        if constexpr (std::is_same_v<Input, RegulatorInputParams>)
            m_task.regulation = rtDownstream;
    }
    const InputParams& input() const override { return m_task; }
    QList<double> ascendingKvsList() const override { return {}; }
    void filterResults() override {}

    Input m_task;
};

int indexOfDn(QComboBox* combo, int dn)
{
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).startsWith(QStringLiteral("DN %1 ").arg(dn)))
            return i;
    return dn ? -1 : 0;
}

// clang-format off
// A number box holding 7 that allows from the minimum to 100000000 gets the
// input typed (0), pasted (1) or set into its line edit (2); shown as the C
// locale shows it, and "marked" when the value lies outside what it allows.
const struct { const char *name, *input, *shown; bool integer; int how, minimum; double value; } kNumbers[] = {
    {"decimal comma read", "5,5", "5.50", false, 0, 0, 5.5},
    {"decimal point read", "5.5", "5.50", false, 0, 0, 5.5},
    {"blank refused", "1 000", "1000.00", false, 0, 0, 1000.0},
    {"third decimal refused", "0,125", "0.12", false, 0, 0, 0.12},
    {"minus kept at minimum 0, marked", "-0,3", "-0.30 marked", false, 0, 0, -0.3},
    {"digit above maximum kept, marked", "123456789", "123456789.00 marked", false, 0, 0, 123456789.0},
    {"below minimum kept, marked", "1", "1.00 marked", false, 0, 5, 1.0},
    {"negative below minimum kept, marked", "-15,5", "-15.50 marked", false, 0, -10, -15.5},
    {"the bound itself allowed", "100000000", "100000000.00", false, 0, 0, 1e8},
    {"beyond what a box holds refused", "99999999999999", "9999999999999.00 marked", false, 0, 0, 9999999999999.0},
    {"paste with unit refused", "2,5 бар", "7.00", false, 1, 0, 7.0},
    {"set grouped text not stripped", "1,000", "7.00", false, 2, 0, 7.0},
    {"integer: comma refused", "1,000", "1000", true, 0, 0, 1000.0},
};

// A combo of Вода, Пар, Воздух validated with the index chosen and the text typed.
const struct { const char *name, *typed; bool allowNew, valid; int index, count; } kCombos[] = {
    {"nothing chosen refused", nullptr, true, false, -1, 3},
    {"item chosen accepted", nullptr, false, true, 1, 3},
    {"new text allowed: added", "Гликоль", true, true, 1, 4},
    {"new text not allowed: refused", "Гликоль", false, false, 1, 3},
};

// Items a..e carry 1..5; the list is filtered to the allowed values (after another filter).
const struct { const char *name, *texts; int current; QList<int> allowed; int index; } kFilters[] = {
    {"current kept while allowed", "ace", 2, {1, 3, 5}, 1},
    {"single remaining item selected", "d", 0, {4}, 0},
    {"current dropped, several left: none", "ac", 1, {1, 3}, -1},
    {"unknown values ignored", "e", 4, {5, 77}, 0},
};

// The pipe rows of a medium under the C or the Russian locale: caption, bold, DN 50 item after the
// common words, per row; then the item of a speed of 1234.567 m/s in DN 100 (no group separator).
const struct { const char* name; bool regulator; int substance; bool russian; const char *rows, *large; } kPipeRows[] = {
    {"water: one pipe, the speed of the design flow", false, stWater, false, "Трубопровод: 1.46 м/с при расчётном расходе", "1234.57"},
    {"Russian locale: decimal comma, no group separator", false, stWater, true, "Трубопровод: 1,46 м/с при расчётном расходе", "1234,57"},
    {"air through a valve: the speed after doubles", false, stAir, false, "Трубопровод до клапана: перед клапаном 1.46 м/с при расчётном расходе|Трубопровод после клапана: после клапана 2.91 м/с при расчётном расходе", "1234.57"},
    {"nitrogen through a regulator", true, stNitrogen, false, "Трубопровод до регулятора: перед регулятором 1.46 м/с при расчётном расходе|Трубопровод после регулятора: после регулятора 2.91 м/с при расчётном расходе", "1234.57"},
};

// The pipes of air after the device DN was set (-1: the DN items chosen by hand):
// the DN chosen before and after, then what counts and which pipe validation asks for.
const struct { const char* name; int setDn, before, after; const char* expected; } kPipeChoices[] = {
    {"device DN 65 selects its items", 65, 65, 65, "65|65 complete"},
    {"DN 70 is not offered: kept", 70, 40, 40, "40|40 complete"},
    {"device DN 0 returns to the prompt: before asked for", 0, 0, 0, "0|0 asks 0"},
    {"only before chosen: nothing counts, after asked for", -1, 50, 0, "0|0 asks 1"},
    {"both chosen", -1, 50, 80, "50|80 complete"},
};

// Checked through setCheckedId, then disabled (0 for none) and enabled again.
const struct { const char* name; int set, disabled, expected; } kRadios[] = {
    {"first added is checked", 0, 0, 1},
    {"-1 clears the check", -1, 0, -1},
    {"unknown id changes nothing", 7, 0, 1},
    {"disabled checked button hands the check over", 1, 1, 2},
    {"disabled unchecked button keeps the check", 2, 1, 2},
};

// The error handler's message of the level and the icon of its box (-1: none).
const struct { const char *name, *text; int level, icon; } kMessages[] = {
    {"error is critical", "Файл не сохранён", geh::mlError, QMessageBox::Critical},
    {"warning warns", "Файл не сохранён", geh::mlWarning, QMessageBox::Warning},
    {"unknown level informs", "Файл не сохранён", 7, QMessageBox::Information},
    {"hidden fragment: no box", "QWidget::repaint: flush: BitBlt failed", 3, -1},
};
// clang-format on

} // namespace

class TestGuiTools : public QObject
{
    Q_OBJECT

private slots:
    // The wheel guard as the program installs it at start-up.
    void initTestCase()
    {
        geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log"));
        WheelGuard::install();
    }
    void init() { refcodes::setProvider(new orxtest::FakeRefCodes); }
    void cleanupTestCase()
    {
        refcodes::setProvider(new EmptyRefCodeProvider);
        geh::ErrorHandler::destroyInstance();
    }
    // Under the C and the Russian locale (which shows a decimal comma).
    void numberEntry_data() { tableRows(kNumbers); }
    void numberEntry()
    {
        ORX_ROW(kNumbers);
        const QLocale saved;
        for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia)}) {
            QLocale::setDefault(locale); // a widget takes the default locale when it is made
            QAbstractSpinBox* box =
                row.integer ? static_cast<QAbstractSpinBox*>(new QSmartSpinBox) : new QSmartDoubleSpinBox;
            // A decimal box holds what is typed and marks what its task does not allow.
            box->setProperty(row.integer ? "minimum" : "allowedMinimum", row.minimum);
            box->setProperty(row.integer ? "maximum" : "allowedMaximum", 100000000);
            box->setProperty("value", 7);
            box->setProperty("prefix", u8("G = ")); // typed and pasted numbers go between the two
            box->setProperty("suffix", u8(" ед."));
            Stage stage(box);
            box->setFocus();
            box->selectAll();
            const QString input = QString::fromUtf8(row.input);
            QGuiApplication::clipboard()->setText(input);
            if (row.how == 0)
                QTest::keyClicks(box, input);
            else if (row.how == 1)
                QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            else
                box->findChild<QLineEdit*>()->setText(input);
            QTest::keyClick(box, Qt::Key_Return);
            QLocale::setDefault(saved);
            const QString shown =
                QString::fromLatin1(row.shown).replace(QLatin1Char('.'), locale.decimalPoint());
            auto* decimal = qobject_cast<QSmartDoubleSpinBox*>(box);
            const bool marked = decimal && !decimal->isValueAllowed();
            QCOMPARE(box->text() + (marked ? u8(" marked") : QString()) +
                         QStringLiteral(" = %1").arg(box->property("value").toDouble(), 0, 'g', 15),
                     u8("G = ") + shown.section(QLatin1Char(' '), 0, 0) + u8(" ед.") +
                         (shown.endsWith(u8(" marked")) ? u8(" marked") : QString()) + u8(" = ") +
                         QString::number(row.value, 'g', 15));
            QCOMPARE(box->toolTip().isEmpty(), !marked);
        }
    }
    // The completer matches anywhere in a name, ignoring case; a typed value carries no data.
    void comboValidation_data() { tableRows(kCombos); }
    void comboValidation()
    {
        ORX_ROW(kCombos);
        auto* combo = new QSmartComboBox(nullptr, true);
        combo->addItems({u8("Вода"), u8("Пар"), u8("Воздух")});
        combo->setAllowNewValues(row.allowNew);
        combo->setCurrentIndex(row.index);
        Stage stage(combo);
        if (row.typed) {
            combo->lineEdit()->selectAll();
            typeText(combo->lineEdit(), QString::fromUtf8(row.typed));
        }
        QCOMPARE(validation(combo), row.valid ? u8("valid ") : u8("invalid Необходимо выбрать значение"));
        QVERIFY(row.valid || stage.focusIsOn(combo));
        QCOMPARE(combo->count(), row.count);
        QVERIFY(combo->count() == 3 || (combo->currentIndex() == 3 && !combo->itemData(3).isValid()));
        combo->completer()->setCompletionPrefix(QStringLiteral("ОЗ"));
        QCOMPARE(combo->completer()->completionCount(), 1);
    }
    // Filtered always from the full list; items of equal data: the current one is known by its text as well.
    void filterItems_data() { tableRows(kFilters); }
    void filterItems()
    {
        ORX_ROW(kFilters);
        const int role = Qt::UserRole + 5;
        QSmartComboBox combo;
        for (int i = 0; i < 5; ++i)
            combo.addItem(QString(QChar('a' + i)), i + 1), combo.setItemData(i, i + 1, role);
        combo.setCurrentByData(QStringLiteral("b"), Qt::DisplayRole); // by any role
        QCOMPARE(combo.currentIndex(), 1);
        combo.setCurrentIndex(row.current);
        combo.filterItems(QList<int>{1, 2, 3, 4}, role);
        combo.filterItems(row.allowed, role);
        QCOMPARE(orxtest::itemTexts(&combo).join(QString()), QString::fromLatin1(row.texts));
        QCOMPARE(combo.currentIndex(), row.index);
        QSmartComboBox twins;
        twins.addItem(u8("c"), 2);
        twins.addItem(u8("d"), 2);
        twins.filterItems(QList<int>{2});
        QCOMPARE(twins.currentText(), QStringLiteral("c"));
    }
    void textEditHint()
    {
        auto* edit = new QSmartTextEdit;
        Stage stage(edit);
        QSignalSpy changes(edit, &QTextEdit::textChanged);
        edit->setHint(u8("Например, ЦТП-3"));
        const QTextEdit* base = edit; // the hint is nobody's text, through either type
        QVERIFY(edit->isShowingHint() && base->toPlainText().isEmpty() &&
                !base->toHtml().contains(u8("ЦТП")));
        QCOMPARE(validation(edit), u8("invalid Необходимо заполнить поле"));
        QVERIFY(stage.focusIsOn(edit) && !edit->isShowingHint());
        stage.other->setFocus(); // leaving it empty brings the hint back
        QTRY_VERIFY(edit->isShowingHint());
        QCOMPARE(changes.count(), 0); // the hint is never a change of the text
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        typeText(edit, u8("Котельная"));
        QTest::keyClick(edit, Qt::Key_Tab); // Tab moves on, it is not typed
        QTRY_VERIFY(stage.other->hasFocus());
        QCOMPARE(edit->toPlainText(), QStringLiteral("Котельная"));
        QVERIFY(edit->validate());
        // Focus leaving for the editor's own context menu keeps the document as it is.
        edit->setPlainText(QString());
        edit->setFocus();
        QTRY_VERIFY(!edit->isShowingHint());
        QFocusEvent toPopup(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(edit, &toPopup);
        QVERIFY(!edit->isShowingHint());
    }
    // The small classes by their main contracts, a line each. A check the user
    // cannot see does not count; a stored zero width would hide a column, so is ignored.
    void supportClasses()
    {
        orxtest::MessageCapture capture;
        QStringList seen;
        SmartLabel label(u8("Масса, кг"), 14);
        seen << QStringLiteral("%1 %2")
                    .arg(label.font().pointSize())
                    .arg(label.minimumSize() == label.sizeHint() + QSize(2, 2));
        QBaseDialog dialog;
        QTimer::singleShot(0, &dialog, [&dialog] {
            dialog.onOk();
            if (dialog.isVisible())
                QMetaObject::invokeMethod(&dialog, "onCancel");
        });
        seen << QString::number(dialog.exec());
        QRefComboBox listed(kListed, nullptr, true, QStringLiteral("(нет)")), named(kAlphabetical);
        named.setAllowNewValues(true);
        named.setEditText(u8("Дельта"));
        seen << orxtest::itemTexts(&listed).join(QLatin1Char(','));
        const bool stored = named.validate(); // before the items are read
        seen << QStringLiteral("%1 ").arg(stored ? named.currentCode() : -1) +
                    orxtest::itemTexts(&named).join(QLatin1Char(','));
        QRefCheckListBox list(kListed, nullptr, Qt::Checked);
        list.setCheckedCodes({5, 9});
        list.setVisibleCodes({3});
        seen << validation(&list);
        QSmartListBox plain;
        plain.addItem(u8("один"), 10);
        plain.addItem(u8("два"), 20);
        plain.sortItems();
        plain.setCurrentRow(0);
        CheckListBox checks;
        checks.addItems({u8("a"), u8("b")}, {1});
        checks.addItems({u8("c")}, {2});
        seen << QStringLiteral("%1 %2")
                    .arg(plain.currentData().toInt())
                    .arg(checks.checkedRows() == QSet<int>{1, 2});
        SmartTabWidget tabs;
        auto* page = new QWidget(&tabs);
        tabs.addTab(page, u8("Первая"));
        tabs.setTabVisibility(page, false);
        seen << QString::number(tabs.count());
        tabs.setTabVisibility(page, true);
        tabs.setTabVisibility(page, true);
        seen.last() += QStringLiteral(" %1 ").arg(tabs.count()) + tabs.tabText(0);
        QSettings* store = SmartSettings::data(SmartSettings::Global);
        store->clear();
        QTableView view;
        auto* model = new QStandardItemModel(1, 4, &view);
        model->setHorizontalHeaderLabels({u8("Скорость"), QString(), u8("Kv\nрасч."), u8("Ду")});
        view.setModel(model);
        view.setColumnHidden(0, true);
        view.setColumnWidth(2, 61);
        saveOrRestoreColumnSizes(true, &view, u8("V"));
        store->setValue(u8("ColumnSizes/V/Ду"), 0);
        view.setColumnWidth(2, 44);
        view.setColumnWidth(3, 44);
        saveOrRestoreColumnSizes(false, &view, u8("V"));
        seen << store->allKeys().join(QLatin1Char(',')) +
                    QStringLiteral(" %1 %2").arg(view.columnWidth(2)).arg(view.columnWidth(3));
        QCOMPARE(seen.join(QLatin1Char('\n')),
                 QStringLiteral("14 1\n"
                                "0\n"
                                "(нет),Гамма,Бета,альфа\n"
                                "42 альфа,Бета,Гамма,Дельта\n"
                                "invalid Необходимо выбрать хотя бы одно значение\n"
                                "20 1\n"
                                "0 1 Первая\n"
                                "ColumnSizes/V/Kv расч.,ColumnSizes/V/Ду 61 44"));
        QVERIFY(capture.assertions().isEmpty());
    }
    // One row per pipe below the grid's rows, each DN item with the speed there. The rows
    // go with the area: none may offer a pipe of a calculation that no longer stands.
    void pipeRows_data() { tableRows(kPipeRows); }
    void pipeRows()
    {
        ORX_ROW(kPipeRows);
        const orxtest::LocaleScope locale(row.russian);
        TaskOnly<ValveInputParams> valve(row.substance);
        TaskOnly<RegulatorInputParams> reg(row.substance);
        QWidget host;
        auto* grid = new QGridLayout(&host);
        grid->addWidget(new QLabel(QStringLiteral("строка формы")), 0, 0);
        auto area =
            std::make_unique<PipeSelectionArea>(row.regulator ? static_cast<const Algorithm&>(reg) : valve);
        area->addToLayout(grid);
        QStringList seen;
        // Each pipe's caption stands above its combo.
        for (int line = 1; line < grid->rowCount(); line += 2) {
            auto* label = qobject_cast<QLabel*>(grid->itemAtPosition(line, 0)->widget());
            QComboBox* combo = area->combo(area->locations().at(line / 2));
            QCOMPARE(grid->itemAtPosition(line + 1, 0)->layout()->itemAt(0)->widget(), combo);
            QVERIFY(label->font().weight() == 75 && combo->count() == 18 &&
                    combo->currentText() == u8("-- Выбрать --"));
            seen << label->text() + QStringLiteral(":") +
                        combo->itemText(indexOfDn(combo, 50))
                            .remove(QStringLiteral("DN 50 - максимальная скорость потока"));
        }
        QCOMPARE(seen.join(QLatin1Char('|')), QString::fromUtf8(row.rows));
        QCOMPARE(PipeSelectionArea::itemText(100, 2, 1234.567, false),
                 QStringLiteral("DN 100 - максимальная скорость потока %1 м/с при расчётном расходе")
                     .arg(QString::fromUtf8(row.large)));
        const QPointer<QWidget> label = grid->itemAtPosition(1, 0)->widget(),
                                combo = area->combo(area->locations()[0]);
        area.reset();
        QVERIFY(!label && !combo);
    }
    // The device DN picks the pipe items; only both pipes chosen count, and
    // validation asks for the first one missing.
    void pipeChoices_data() { tableRows(kPipeChoices); }
    void pipeChoices()
    {
        ORX_ROW(kPipeChoices);
        TaskOnly<ValveInputParams> air(stAir);
        QWidget host;
        PipeSelectionArea area(air);
        area.addToLayout(new QGridLayout(&host));
        host.show();
        QApplication::setActiveWindow(&host);
        QVERIFY(QTest::qWaitForWindowActive(&host));
        area.setDn(40);
        if (row.setDn >= 0)
            area.setDn(row.setDn);
        for (int location : {0, 1})
            if (row.setDn < 0)
                area.combo(location)->setCurrentIndex(
                    indexOfDn(area.combo(location), location ? row.after : row.before));
        QCOMPARE(area.combo(0)->currentIndex(), indexOfDn(area.combo(0), row.before));
        QCOMPARE(area.combo(1)->currentIndex(), indexOfDn(area.combo(1), row.after));
        const QMap<int, PipeChoice> chosen = area.selections();
        QCOMPARE(chosen.keys(), QList<int>({0, 1}));
        QString seen = QStringLiteral("%1|%2").arg(chosen.value(0).dn).arg(chosen.value(1).dn);
        orxtest::ModalAnswerer answer(orxtest::ModalAnswerer::pressButton(QMessageBox::Ok), 1000);
        const bool valid = area.validate();
        const int asks = QList<QWidget*>{area.combo(0), area.combo(1)}.indexOf(host.focusWidget());
        seen +=
            area.isComplete() && valid ? QStringLiteral(" complete") : QStringLiteral(" asks %1").arg(asks);
        QCOMPARE(seen, QString::fromLatin1(row.expected));
        QCOMPARE(answer.text(), valid ? QString() : QStringLiteral("Необходимо выбрать значение"));
    }
    // The group stays exclusive, also after a cleared check.
    void radioChecks_data() { tableRows(kRadios); }
    void radioChecks()
    {
        ORX_ROW(kRadios);
        orxtest::MessageCapture capture;
        RadioArea area(nullptr, 2);
        area.addItem(QStringLiteral("Задать напрямую"), 1);
        area.addItem(QStringLiteral("Через расход тепловой энергии"), 2);
        if (row.set)
            area.setCheckedId(row.set);
        for (const bool enabled : {false, true})
            if (row.disabled) {
                area.setItemEnabled(row.disabled, enabled, 2);
                QCOMPARE(area.button(row.disabled)->isEnabled(), enabled);
            }
        QCOMPARE(area.checkedId(), row.expected);
        area.setCheckedId(1);
        area.setCheckedId(2);
        QVERIFY(!area.button(1)->isChecked());
        QCOMPARE(capture.count(), 0);
    }
    // A box of the level's kind with only Close and an arrow cursor while it is
    // open; a hidden message (for the console only) shows none.
    void messageBox_data() { tableRows(kMessages); }
    void messageBox()
    {
        ORX_ROW(kMessages);
        QList<int> seen; // icon, buttons, default, escape, cursor, details
        orxtest::ModalAnswerer answerer(
            [&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                seen = {box->icon(),
                        int(box->standardButtons()),
                        box->standardButton(box->defaultButton()),
                        box->standardButton(box->escapeButton()),
                        QApplication::overrideCursor()->shape(),
                        box->detailedText() == u8("a.orx")};
                box->button(QMessageBox::Close)->click();
            },
            row.icon < 0 ? 300 : 5000);
        QGuiMessagePrinter().print(u8("Предупреждение"), QString::fromUtf8(row.text), u8("a.orx"), row.level);
        QTest::qWait(row.icon < 0 ? 400 : 0);
        QCOMPARE(answerer.title() + answerer.text(),
                 row.icon < 0 ? QString() : u8("Предупреждение") + QString::fromUtf8(row.text));
        if (row.icon >= 0)
            QCOMPARE(seen, QList<int>({row.icon, QMessageBox::Close, QMessageBox::Close, QMessageBox::Close,
                                       Qt::ArrowCursor, true}));
        QVERIFY(!QApplication::overrideCursor());
    }
    // The mouse wheel scrolls the form past a spin box or combo box without changing it; only a box the user
    // has clicked into takes the wheel.
    void wheel_data()
    {
        QTest::addColumn<bool>("combo");
        QTest::addColumn<bool>("clicked");
        QTest::newRow("spin box passed over: the page scrolls, the figure stays") << false << false;
        QTest::newRow("combo box passed over: the page scrolls, the choice stays") << true << false;
        QTest::newRow("spin box clicked into: the wheel changes the figure") << false << true;
        QTest::newRow("combo box clicked into: the wheel changes the choice") << true << true;
    }
    void wheel()
    {
        QFETCH(bool, combo);
        QFETCH(bool, clicked);
        QScrollArea area;
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        auto* name = new QLineEdit;
        auto* spin = new QDoubleSpinBox;
        spin->setValue(6);
        auto* choice = new QComboBox;
        choice->addItems({QStringLiteral("вода"), QStringLiteral("пар"), QStringLiteral("воздух")});
        choice->setCurrentIndex(1);
        layout->addWidget(name);
        layout->addWidget(spin);
        layout->addWidget(choice);
        layout->addSpacing(3000);
        area.setWidget(page);
        area.resize(300, 200);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QWidget* box = combo ? static_cast<QWidget*>(choice) : spin;
        QCOMPARE(box->focusPolicy(), Qt::StrongFocus);
        name->setFocus();
        if (clicked)
            QTest::mouseClick(combo ? box : spin->findChild<QLineEdit*>(), Qt::LeftButton);
        if (combo && clicked)
            choice->hidePopup();
        const QPoint at = box->rect().center();
        QWheelEvent down(at, box->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &down);
        const bool changed = combo ? choice->currentIndex() != 1 : spin->value() != 6;
        QCOMPARE(changed, clicked);
        QCOMPARE(area.verticalScrollBar()->value() > 0, !clicked);
    }
};

ORX_GUI_TEST_MAIN(TestGuiTools)
#include "tst_guitools.moc"
