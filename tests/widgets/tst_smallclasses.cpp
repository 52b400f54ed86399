// The program's own input widgets: what each accepts, refuses and tells the
// user, one test per class for its main contract.

#include "gentools/emptyrefcodeprovider.h"
#include "gentools/refcode.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QClipboard>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

// Test texts are UTF-8; the build forbids implicit conversions.
QString operator""_q(const char* s, std::size_t n)
{
    return QString::fromUtf8(s, int(n));
}

const qint16 kListed = 7;       // listed by sort number
const qint16 kAlphabetical = 8; // listed by name
const QString kChoose = QStringLiteral("Необходимо выбрать значение");
const QString kChooseOne = QStringLiteral("Необходимо выбрать хотя бы одно значение");

// Codes 3 Гамма, 9 Бета, 5 альфа in sort order, for both types; an inserted name gets code 42.
class TestProvider : public RefCodeProvider
{
public:
    RefNames stored;
    bool acceptInsert = true;

    TestProvider()
    {
        for (qint16 type : {kListed, kAlphabetical}) {
            stored.insert(RefKey(type, 3), {QStringLiteral("Гамма"), 1});
            stored.insert(RefKey(type, 9), {QStringLiteral("Бета"), 2});
            stored.insert(RefKey(type, 5), {QStringLiteral("альфа"), 3});
        }
    }
    bool loadCodes(RefNames& names) override { return (names = stored, true); }
    bool loadAlphabeticalTypes(RefTypes& types) override { return (types = {kAlphabetical}, true); }
    bool insertCode(RefNames&, qint16 type, const QString& name) override
    {
        if (acceptInsert)
            stored.insert(RefKey(type, 42), {name, 10});
        return acceptInsert;
    }
    bool modifyCode(RefNames&, qint16, RefCode, const QString&, bool) override { return false; }
};

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

// Validates and says what the warning box said ("" when none came).
template <class W>
QString validationMessage(W* widget, bool* valid)
{
    orxtest::ModalAnswerer answer(orxtest::ModalAnswerer::pressButton(QMessageBox::Ok));
    *valid = widget->validate();
    if (answer.answered() && answer.title() != QStringLiteral("Валидация"))
        return QStringLiteral("title ") + answer.title();
    return answer.text();
}

// Types the text as key presses carrying the characters (any alphabet).
void typeText(QWidget* w, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
    }
}

} // namespace

class TestSmallClasses : public QObject
{
    Q_OBJECT

    TestProvider* provider = nullptr;

private slots:
    void init() { refcodes::setProvider(provider = new TestProvider); }
    void cleanupTestCase() { refcodes::setProvider(new EmptyRefCodeProvider); }

    void comboValidation_data()
    {
        QTest::addColumn<bool>("allowNew");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed"); // null: nothing typed
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("count");
        QTest::newRow("nothing chosen refused") << true << -1 << QString() << kChoose << 3;
        QTest::newRow("item chosen accepted") << false << 1 << QString() << QString() << 3;
        QTest::newRow("new text allowed: added") << true << 1 << "Гликоль"_q << QString() << 4;
        QTest::newRow("new text not allowed: refused") << false << 1 << "Гликоль"_q << kChoose << 3;
    }
    void comboValidation()
    {
        QFETCH(bool, allowNew);
        QFETCH(int, index);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        auto* combo = new QSmartComboBox(nullptr, true);
        combo->addItems({"Вода"_q, "Пар"_q, "Воздух"_q});
        combo->setAllowNewValues(allowNew);
        combo->setCurrentIndex(index);
        Stage stage(combo);
        if (!typed.isNull()) {
            combo->lineEdit()->selectAll();
            typeText(combo->lineEdit(), typed);
        }
        bool valid = false;
        QCOMPARE(validationMessage(combo, &valid), message);
        QCOMPARE(valid, message.isEmpty());
        if (!valid)
            QVERIFY(stage.focusIsOn(combo));
        QTEST(combo->count(), "count");
        if (combo->count() == 4) // a typed value carries no data
            QVERIFY(combo->currentIndex() == 3 && !combo->itemData(3).isValid());
        // The completer matches anywhere in a name, ignoring case.
        combo->completer()->setCompletionPrefix(QStringLiteral("ОЗ"));
        QCOMPARE(combo->completer()->completionCount(), 1);
    }

    void filterItems_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("allowed");
        QTest::addColumn<QString>("texts");
        QTest::addColumn<int>("index");
        QTest::newRow("current kept while allowed") << 2 << QList<int>{1, 3, 5} << "ace"_q << 1;
        QTest::newRow("single remaining item selected") << 0 << QList<int>{4} << "d"_q << 0;
        QTest::newRow("current dropped, several left: none") << 1 << QList<int>{1, 3} << "ac"_q << -1;
        QTest::newRow("unknown values ignored") << 4 << QList<int>{5, 77} << "e"_q << 0;
    }
    void filterItems()
    {
        QFETCH(int, current);
        QFETCH(QList<int>, allowed);
        const int role = Qt::UserRole + 5;
        QSmartComboBox combo;
        for (int i = 0; i < 5; ++i) {
            combo.addItem(QString(QChar('a' + i)));
            combo.setItemData(i, i + 1, role);
        }
        combo.setCurrentIndex(current);
        combo.filterItems(QList<int>{1, 2, 3, 4}, role);
        combo.filterItems(allowed, role); // from the full list, not from the last filter
        QTEST(orxtest::itemTexts(&combo).join(QString()), "texts");
        QTEST(combo.currentIndex(), "index");

        // Items of equal data: the current one is known by its text as well.
        QSmartComboBox twins;
        twins.addItems({"c"_q, "d"_q});
        twins.setItemData(0, 2);
        twins.setItemData(1, 2);
        twins.filterItems(QList<int>{2});
        QCOMPARE(twins.currentText(), QStringLiteral("c"));
    }

    void currentByData_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("index");
        QTest::newRow("item carrying the data chosen") << QVariant(4) << int(Qt::UserRole) << 3;
        QTest::newRow("no match: nothing chosen") << QVariant(9) << int(Qt::UserRole) << -1;
        QTest::newRow("display role") << QVariant(QStringLiteral("b")) << int(Qt::DisplayRole) << 1;
    }
    void currentByData()
    {
        QFETCH(QVariant, value);
        QFETCH(int, role);
        QSmartComboBox combo;
        combo.addItem("a"_q, 1);
        combo.addItem("b"_q, 2);
        combo.addItem("c"_q, 2);
        combo.addItem("d"_q, 4);
        combo.setCurrentIndex(2);
        combo.setCurrentByData(value, role);
        QTEST(combo.currentIndex(), "index");
    }

    void refComboBox_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("texts");
        QTest::newRow("by sort number, empty item first") << int(kListed) << "(нет),Гамма,Бета,альфа"_q;
        QTest::newRow("alphabetical") << int(kAlphabetical) << "(нет),альфа,Бета,Гамма"_q;
    }
    void refComboBox()
    {
        QFETCH(int, type);
        orxtest::MessageCapture capture;
        setIcon(qint16(type), 9, QIcon(QPixmap(8, 8)));
        std::unique_ptr<QRefComboBox> owner(
            new QRefComboBox(qint16(type), nullptr, true, QStringLiteral("(нет)")));
        QRefComboBox* combo = owner.get();
        QTEST(orxtest::itemTexts(combo).join(QLatin1Char(',')), "texts");
        QCOMPARE(combo->currentCode(), RefCode(0));
        QVERIFY(!combo->itemIcon(combo->findData(9)).isNull() &&
                combo->itemIcon(combo->findData(3)).isNull());
        combo->setCurrentCode(9);
        combo->refillExcluding({5});
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentCode(), RefCode(9));
        combo->refillExcluding({9}); // an excluded choice is not replaced by another
        QCOMPARE(combo->currentIndex(), -1);
        combo->setCurrentCode(5);
        combo->setRefType(kAlphabetical, true); // the choice is kept across the types
        QCOMPARE(combo->currentCode(), RefCode(5));

        // A new name goes to the store; a refused one is told.
        auto* named = new QRefComboBox(kAlphabetical); // alphabetical: with completer
        named->setAllowNewValues(true);
        Stage stage(named);
        typeText(named->lineEdit(), "Дельта"_q);
        provider->acceptInsert = false;
        bool valid = true;
        QCOMPARE(validationMessage(named, &valid), QStringLiteral("Не удалось занести новое значение"));
        provider->acceptInsert = true;
        QVERIFY(named->validate());
        QCOMPARE(named->currentCode(), RefCode(42));
        QVERIFY(capture.assertions().isEmpty());

        refcodes::setProvider(new EmptyRefCodeProvider);
        QRefComboBox empty(kListed, nullptr, true, QStringLiteral("—"));
        QCOMPARE(orxtest::itemTexts(&empty), QStringList{"—"_q});
    }

    void listBoxes()
    {
        orxtest::MessageCapture capture;
        setColors(kListed, 5, Qt::red, QColor());
        setColors(kListed, 5, QColor(), Qt::cyan); // an invalid colour leaves the table alone
        auto* list = new QRefCheckListBox(kListed, nullptr, Qt::Checked);
        Stage stage(list);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text(), QStringLiteral("альфа")); // by name, whatever the type
        QCOMPARE(list->item(0)->foreground().color(), QColor(Qt::red));
        QCOMPARE(list->item(0)->background().color(), QColor(Qt::cyan));
        list->setCheckedCodes({5, 9});
        list->setVisibleCodes({3});
        QCOMPARE(list->checkedCodes(false), RefCodeSet({5, 9}));
        bool valid = true;
        QCOMPARE(validationMessage(list, &valid), kChooseOne); // the checked rows are hidden
        QVERIFY(!valid && stage.focusIsOn(list));
        list->checkAll();
        QVERIFY(list->validate());
        QCOMPARE(list->checkedCodes(true), RefCodeSet({3}));
        QCOMPARE(list->minimumHeight(), list->sizeHintForRow(0) + 4); // one visible row
        QVERIFY(capture.assertions().isEmpty());

        // Each value stays with its row whichever way the rows move.
        QSmartListBox plain;
        plain.addItem("один"_q, 10);
        plain.addItem("два"_q, 20);
        plain.sortItems();
        plain.setCurrentRow(0);
        QCOMPARE(plain.currentData(), QVariant(20));

        CheckListBox checks;
        checks.addItems({"a"_q, "b"_q}, {1});
        checks.addItems({"c"_q}, {2}); // rows count from the first row of the list
        QCOMPARE(checks.checkedRows(), QSet<int>({1, 2}));
        checks.setRowHidden(0, true);
        QVERIFY(checks.allChecked());
    }

    void tabVisibility()
    {
        SmartTabWidget tabs;
        QWidget* pages[3] = {new QWidget, new QWidget, new QWidget};
        tabs.addTab(pages[0], "Первая"_q);
        tabs.addTab(pages[1], "Вторая"_q);
        tabs.addTab(pages[2], "Третья"_q);
        tabs.setTabVisibility(pages[0], false);
        QCOMPARE(tabs.indexOf(pages[0]), -1);
        tabs.setTabVisibility(pages[0], true);
        tabs.setTabVisibility(pages[0], true); // already a tab: nothing happens
        QCOMPARE(tabs.count(), 3);
        QCOMPARE(tabs.tabText(tabs.indexOf(pages[0])), QStringLiteral("Первая"));
    }

    void textEditHint()
    {
        auto* edit = new QSmartTextEdit;
        Stage stage(edit);
        QSignalSpy changes(edit, &QTextEdit::textChanged);
        edit->setHint("Например, ЦТП-3"_q);
        QVERIFY(edit->isShowingHint());
        // The hint is nobody's text, through either type.
        const QTextEdit* base = edit;
        QVERIFY(base->toPlainText().isEmpty() && !base->toHtml().contains("ЦТП"_q));

        bool valid = true;
        QCOMPARE(validationMessage(edit, &valid), QStringLiteral("Необходимо заполнить поле"));
        QVERIFY(!valid && stage.focusIsOn(edit) && !edit->isShowingHint());
        stage.other->setFocus(); // leaving it empty brings the hint back
        QTRY_VERIFY(edit->isShowingHint());
        QCOMPARE(changes.count(), 0); // the hint is never a change of the text

        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        typeText(edit, "Котельная"_q);
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

    // What a number box makes of text typed, pasted or set by the program, under
    // the C and the Russian locale (which shows a decimal comma); the box holds 7
    // before, with the row's minimum and the maximum 100000000.
    void numberEntry_data()
    {
        QTest::addColumn<bool>("integer");
        QTest::addColumn<int>("how"); // 0 typed, 1 pasted, 2 set into the line edit
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown"); // as the C locale shows it
        QTest::newRow("decimal comma read") << false << 0 << "5,5"_q << 0 << 5.5 << "5.50"_q;
        QTest::newRow("decimal point read") << false << 0 << "5.5"_q << 0 << 5.5 << "5.50"_q;
        QTest::newRow("blank refused") << false << 0 << "1 000"_q << 0 << 1000.0 << "1000.00"_q;
        QTest::newRow("third decimal refused") << false << 0 << "0,125"_q << 0 << 0.12 << "0.12"_q;
        QTest::newRow("minus refused at minimum 0") << false << 0 << "-0,5"_q << 0 << 0.5 << "0.50"_q;
        QTest::newRow("digit above maximum refused")
            << false << 0 << "1000000000\b"_q << 0 << 1e7 << "10000000.00"_q;
        QTest::newRow("below minimum: the old value stays") << false << 0 << "1"_q << 5 << 7.0 << "7.00"_q;
        QTest::newRow("negative, digit below minimum refused")
            << false << 0 << "-15,5"_q << -10 << -1.5 << "-1.50"_q;
        QTest::newRow("paste with unit refused") << false << 1 << "2,5 бар"_q << 0 << 7.0 << "7.00"_q;
        QTest::newRow("set grouped text not stripped") << false << 2 << "1,000"_q << 0 << 7.0 << "7.00"_q;
        QTest::newRow("integer: comma refused") << true << 0 << "1,000"_q << 0 << 1000.0 << "1000"_q;
        QTest::newRow("integer: paste grouped refused") << true << 1 << "1 000"_q << 0 << 7.0 << "7"_q;
        QTest::newRow("integer: set grouped text not stripped")
            << true << 2 << "1,000"_q << 0 << 7.0 << "7"_q;
    }
    void numberEntry()
    {
        QFETCH(bool, integer);
        QFETCH(int, how);
        QFETCH(QString, input);
        QFETCH(int, minimum);
        QFETCH(double, value);
        QFETCH(QString, shown);
        const QLocale saved;
        for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia)}) {
            QLocale::setDefault(locale); // a widget takes the default locale when it is made
            QAbstractSpinBox* box =
                integer ? static_cast<QAbstractSpinBox*>(new QSmartSpinBox) : new QSmartDoubleSpinBox;
            box->setProperty("minimum", minimum);
            box->setProperty("maximum", 100000000);
            box->setProperty("value", 7);
            box->setProperty("prefix", "G = "_q); // typed and pasted numbers go between the two
            box->setProperty("suffix", " ед."_q);
            Stage stage(box);
            box->setFocus();
            box->selectAll();
            if (how == 0) {
                QTest::keyClicks(box, input);
            } else if (how == 1) {
                QGuiApplication::clipboard()->setText(input);
                QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            } else {
                box->findChild<QLineEdit*>()->setText(input);
            }
            QTest::keyClick(box, Qt::Key_Return);
            QLocale::setDefault(saved);
            QCOMPARE(box->property("value").toDouble(), value);
            if (locale != QLocale::c())
                shown.replace(QLatin1Char('.'), QLatin1Char(','));
            QCOMPARE(box->text(), "G = "_q + shown + " ед."_q);
        }
    }

    void labelAndDialog()
    {
        SmartLabel label("Масса, кг"_q, 14);
        QCOMPARE(label.font().pointSize(), 14);
        QCOMPARE(label.minimumSize(), label.sizeHint() + QSize(2, 2));
        QBaseDialog dialog;
        QTimer::singleShot(0, &dialog, [&dialog] {
            dialog.onOk(); // the base accepts nothing by itself
            if (dialog.isVisible())
                QMetaObject::invokeMethod(&dialog, "onCancel");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }
};

ORX_GUI_TEST_MAIN(TestSmallClasses)
#include "tst_smallclasses.moc"
