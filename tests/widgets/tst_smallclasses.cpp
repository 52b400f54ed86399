#include "gentools/emptyrefcodeprovider.h"
#include "gentools/refcode.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QSignalSpy>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

// Test texts are UTF-8; the build forbids implicit conversions.
QString operator""_q(const char* s, std::size_t n)
{
    return QString::fromUtf8(s, int(n));
}

const qint16 kListed = 7;       // listed by sort number
const qint16 kAlphabetical = 8; // listed by name

// Codes 3 Гамма, 9 Бета, 5 альфа in sort order, for both types.
class TestProvider : public RefCodeProvider
{
public:
    RefNames stored;
    bool acceptInsert = true;
    bool storeInserted = true;
    RefCode nextCode = 42;

    TestProvider()
    {
        for (qint16 type : {kListed, kAlphabetical}) {
            stored.insert(RefKey(type, 3), {QStringLiteral("Гамма"), 1});
            stored.insert(RefKey(type, 9), {QStringLiteral("Бета"), 2});
            stored.insert(RefKey(type, 5), {QStringLiteral("альфа"), 3});
        }
    }
    bool loadCodes(RefNames& names) override
    {
        names = stored;
        return true;
    }
    bool loadAlphabeticalTypes(RefTypes& types) override
    {
        types = {kAlphabetical};
        return true;
    }
    bool insertCode(RefNames&, qint16 type, const QString& name) override
    {
        if (acceptInsert && storeInserted)
            stored.insert(RefKey(type, nextCode), {name, 10});
        return acceptInsert;
    }
    bool modifyCode(RefNames&, qint16, RefCode, const QString&, bool) override { return false; }
};

// The darkest pixel on an empty, unfocused editor: 255 when nothing is painted,
// the hint's colour while the hint shows.
int darkestInk(QTextEdit* edit)
{
    const QImage image = edit->viewport()->grab().toImage();
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    }
    return darkest;
}

// A shown, active window with a line edit holding the focus, so that a test can
// see the focus move to the widget under test.
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
    // The window becomes active again after a message box (offscreen windows are
    // not reactivated by themselves); true when the widget then has the keyboard.
    bool focusIsOn(QWidget* w)
    {
        QApplication::setActiveWindow(&window);
        return QTest::qWaitFor([w] { return w->hasFocus(); });
    }
};

// What the answered validation box looked like.
struct BoxSeen
{
    QString title, text;
    bool warning = false;
    int buttons = 0;
    QWidget* parent = nullptr;
};

std::unique_ptr<orxtest::ModalAnswerer> answerBox(BoxSeen* seen)
{
    return std::make_unique<orxtest::ModalAnswerer>([seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        *seen = {box->windowTitle(), box->text(), box->icon() == QMessageBox::Warning, box->buttons().size(),
                 box->parentWidget()};
        box->button(QMessageBox::Ok)->click();
    });
}

// A combo of "a" .. "e" with the data 1 .. 5.
void fillLetters(QComboBox& box, int role = Qt::UserRole)
{
    for (int i = 1; i <= 5; ++i) {
        box.addItem(QString(QChar('a' + i - 1)));
        box.setItemData(i - 1, i, role);
    }
}

// Types the text as key presses carrying the characters (any alphabet).
void typeText(QWidget* w, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

bool reportsAssertion(const orxtest::MessageCapture& capture, const QString& condition)
{
    for (const QString& text : capture.assertions())
        if (text.endsWith(QStringLiteral("\r\n") + condition))
            return true;
    return false;
}

} // namespace

class TestSmallClasses : public QObject
{
    Q_OBJECT

    TestProvider* provider = nullptr;

private slots:
    void init()
    {
        provider = new TestProvider;
        refcodes::setProvider(provider);
    }
    void cleanupTestCase() { refcodes::setProvider(new EmptyRefCodeProvider); }

    void comboValidation_data()
    {
        QTest::addColumn<bool>("withCompleter");
        QTest::addColumn<bool>("allowNew");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed"); // null: nothing typed
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("finalIndex");

        const QStringList three{"Вода"_q, "Пар"_q, "Воздух"_q};
        const QString choose = QStringLiteral("Необходимо выбрать значение");
        QTest::newRow("plain, nothing chosen, new values allowed")
            << false << true << -1 << QString() << false << choose << three << -1;
        QTest::newRow("plain, item chosen")
            << false << false << 1 << QString() << true << QString() << three << 1;
        QTest::newRow("completer, text of the chosen item")
            << true << false << 2 << QString() << true << QString() << three << 2;
        QTest::newRow("completer, other text, new values allowed")
            << true << true << 1 << "Гликоль"_q << true << QString() << (three + QStringList{"Гликоль"_q})
            << 3;
        QTest::newRow("completer, other text, no new values")
            << true << false << 1 << "Гликоль"_q << false << choose << three << 1;
        QTest::newRow("completer, nothing chosen, typed, allowed")
            << true << true << -1 << "Азот"_q << true << QString() << (three + QStringList{"Азот"_q}) << 3;
        QTest::newRow("completer, nothing chosen, empty, allowed")
            << true << true << -1 << QString() << false << choose << three << -1;
    }
    void comboValidation()
    {
        QFETCH(bool, withCompleter);
        QFETCH(bool, allowNew);
        QFETCH(int, index);
        QFETCH(QString, typed);
        auto* combo = new QSmartComboBox(nullptr, withCompleter);
        combo->addItems({"Вода"_q, "Пар"_q, "Воздух"_q});
        combo->setAllowNewValues(allowNew);
        combo->setCurrentIndex(index);
        Stage stage(combo);
        if (!typed.isNull()) {
            combo->lineEdit()->selectAll();
            typeText(combo->lineEdit(), typed);
        }

        BoxSeen seen;
        auto answerer = answerBox(&seen);
        QTEST(combo->validate(), "valid");
        QFETCH(QString, message);
        QCOMPARE(answerer->answered(), !message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(seen.title, QStringLiteral("Валидация"));
            QCOMPARE(seen.text, message);
            QVERIFY(seen.warning);
            QCOMPARE(seen.buttons, 1);
            QCOMPARE(seen.parent, combo);
            QVERIFY(stage.focusIsOn(combo));
        }
        QTEST(orxtest::itemTexts(combo), "items");
        QTEST(combo->currentIndex(), "finalIndex");
        if (combo->currentIndex() == 3)
            QVERIFY(!combo->itemData(3).isValid()); // a typed value carries no data
    }

    void failedInsertionIsTold()
    {
        orxtest::MessageCapture capture;
        provider->acceptInsert = false;
        auto* combo = new QRefComboBox(kAlphabetical); // alphabetical: with completer
        combo->setAllowNewValues(true);
        Stage stage(combo);
        typeText(combo->lineEdit(), "Дельта"_q);
        BoxSeen seen;
        auto answerer = answerBox(&seen);
        QVERIFY(!combo->validate());
        QCOMPARE(seen.text, QStringLiteral("Не удалось занести новое значение"));
        QCOMPARE(combo->count(), 3);

        provider->acceptInsert = true;
        QVERIFY(combo->validate());
        QCOMPARE(combo->currentText(), QStringLiteral("Дельта"));
        QCOMPARE(combo->currentCode(), RefCode(42));
        QVERIFY(capture.assertions().isEmpty());
    }

    void completerMatchesAnywhereIgnoringCase()
    {
        orxtest::MessageCapture capture;
        QSmartComboBox combo(nullptr, true);
        combo.addItems({"Вода"_q, "Пар"_q, "Воздух"_q, "Перегретый пар"_q});
        QVERIFY(combo.isEditable());
        combo.completer()->setCompletionPrefix(QStringLiteral("ПАР"));
        QCOMPARE(combo.completer()->completionCount(), 2);

        combo.addCompleter();
        QVERIFY(reportsAssertion(capture, "!completer()"_q));

        combo.setAllowNewValues(true);
        QCOMPARE(combo.insertPolicy(), QComboBox::InsertAtBottom);
        combo.removeCompleter();
        QVERIFY(!combo.isEditable() && !combo.completer() && !combo.allowsNewValues());
        QCOMPARE(combo.insertPolicy(), QComboBox::NoInsert);
    }

    void filterItems_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("allowed");
        QTest::addColumn<QString>("texts");
        QTest::addColumn<int>("index");
        QTest::newRow("current kept while allowed") << 2 << QList<int>{1, 3, 5} << "ace"_q << 1;
        QTest::newRow("single remaining item selected") << 0 << QList<int>{4} << "d"_q << 0;
        QTest::newRow("current dropped, several left") << 1 << QList<int>{1, 3} << "ac"_q << -1;
        QTest::newRow("nothing current, several left") << -1 << QList<int>{1, 2} << "ab"_q << -1;
        QTest::newRow("nothing allowed") << 2 << QList<int>{} << ""_q << -1;
        QTest::newRow("unknown values ignored") << 4 << QList<int>{5, 77} << "e"_q << 0;
    }
    void filterItems()
    {
        QFETCH(int, current);
        QFETCH(QList<int>, allowed);
        for (int role : {int(Qt::UserRole), int(Qt::UserRole) + 5}) {
            QSmartComboBox combo;
            fillLetters(combo, role);
            combo.setCurrentIndex(current);
            combo.filterItems(allowed, role);
            QTEST(orxtest::itemTexts(&combo).join(QString()), "texts");
            QTEST(combo.currentIndex(), "index");
            if (combo.count() > 0)
                QCOMPARE(combo.itemData(0, role), QVariant(allowed.first()));
        }
    }

    void filterItemsStartsFromTheFullList()
    {
        QSmartComboBox combo;
        fillLetters(combo);
        combo.setCurrentIndex(2);
        combo.filterItems(QVariantList{3});
        combo.filterItems(QVariantList{1, 2, 3, 4, 5});
        QCOMPARE(orxtest::itemTexts(&combo).join(QString()), QStringLiteral("abcde"));
        QCOMPARE(combo.currentText(), QStringLiteral("c"));
        combo.filterItems(QVariantList{2, 5});
        QCOMPARE(orxtest::itemTexts(&combo).join(QString()), QStringLiteral("be"));

        // Items of equal data: the current one is known by its text as well.
        QSmartComboBox twins;
        twins.addItems({"c"_q, "d"_q, "e"_q});
        twins.setItemData(0, 2);
        twins.setItemData(1, 2);
        twins.setCurrentIndex(0);
        twins.filterItems(QList<int>{2});
        QCOMPARE(twins.currentText(), QStringLiteral("c"));
    }

    void setCurrentByData_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("code");
        QTest::newRow("user role") << QVariant(4) << int(Qt::UserRole) << 4 << 4;
        QTest::newRow("first of equal data") << QVariant(2) << int(Qt::UserRole) << 2 << 2;
        QTest::newRow("no match") << QVariant(9) << int(Qt::UserRole) << -1 << -1;
        QTest::newRow("item without data") << QVariant() << int(Qt::UserRole) << 0 << 0;
        QTest::newRow("display role") << QVariant(QStringLiteral("b")) << int(Qt::DisplayRole) << 1 << 1;
    }
    void setCurrentByData()
    {
        QFETCH(QVariant, value);
        QFETCH(int, role);
        QSmartComboBox combo;
        combo.addItem("-- Выбрать --"_q);
        combo.addItem("b"_q, 1);
        combo.addItem("c"_q, 2);
        combo.addItem("d"_q, 2);
        combo.addItem("e"_q, 4);
        combo.setCurrentIndex(3);
        combo.setCurrentByData(value, role);
        QTEST(combo.currentIndex(), "index");
        QTEST(int(combo.currentCode()), "code");
        combo.setCurrentCode(4);
        QCOMPARE(combo.currentIndex(), 4);
    }

    void saveAndRestoreCurrent()
    {
        orxtest::MessageCapture capture; // this program keeps no settings file of its own
        QSmartComboBox combo;
        fillLetters(combo);
        combo.setCurrentIndex(3);
        combo.saveCurrent("Combos/Letter"_q);
        combo.setCurrentIndex(0);
        combo.restoreCurrent("Combos/Letter"_q, 5);
        QCOMPARE(combo.currentText(), QStringLiteral("d"));
        combo.restoreCurrent("Combos/Absent"_q, 5);
        QCOMPARE(combo.currentText(), QStringLiteral("e"));
        combo.setCurrentIndex(-1);
        combo.saveCurrent("Combos/Letter"_q);
        combo.restoreCurrent("Combos/Letter"_q, 2);
        QCOMPARE(combo.currentText(), QStringLiteral("b"));
    }

    void refComboBox_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("withEmpty");
        QTest::addColumn<QString>("texts");
        QTest::addColumn<int>("index");
        QTest::newRow("with empty item") << int(kListed) << true << "(нет),Гамма,Бета,альфа"_q << 0;
        QTest::newRow("without empty item") << int(kListed) << false << "Гамма,Бета,альфа"_q << -1;
        QTest::newRow("alphabetical") << int(kAlphabetical) << false << "альфа,Бета,Гамма"_q << -1;
    }
    void refComboBox()
    {
        QFETCH(int, type);
        QFETCH(bool, withEmpty);
        orxtest::MessageCapture capture;
        setIcon(qint16(type), 9, QIcon(QPixmap(8, 8)));
        QRefComboBox combo(qint16(type), nullptr, withEmpty, QStringLiteral("(нет)"));
        QTEST(orxtest::itemTexts(&combo).join(QLatin1Char(',')), "texts");
        QTEST(combo.currentIndex(), "index");
        QCOMPARE(combo.currentCode(), RefCode(withEmpty ? 0 : -1));
        QCOMPARE(combo.completer() != nullptr, type == kAlphabetical);
        QCOMPARE(combo.iconSize().width(), combo.iconSize().height());
        QVERIFY(!combo.itemIcon(combo.findData(9)).isNull());
        QVERIFY(combo.itemIcon(combo.findData(3)).isNull());
        QVERIFY(capture.assertions().isEmpty());
    }

    void refComboBoxRefills()
    {
        orxtest::MessageCapture capture;
        QRefComboBox combo(kListed, nullptr, true);
        combo.setCurrentCode(9);
        combo.refillExcluding({5});
        QCOMPARE(orxtest::itemTexts(&combo), QStringList({"Гамма"_q, "Бета"_q}));
        QCOMPARE(combo.currentCode(), RefCode(9));
        combo.refillExcluding({9});
        QCOMPARE(combo.currentIndex(), -1); // an excluded choice is not replaced by another
        combo.setCurrentCode(5);
        combo.setRefType(kAlphabetical, true);
        QCOMPARE(combo.currentCode(), RefCode(5));
        QCOMPARE(combo.count(), 4);
        combo.setRefType(kListed, false);
        QCOMPARE(combo.currentCode(), RefCode(0));
        QVERIFY(capture.assertions().isEmpty());

        QRefComboBox plain(kListed);
        plain.addItem(RefCode(0));
        QVERIFY(reportsAssertion(capture, "m_withEmpty"_q));
        QCOMPARE(plain.itemData(3), QVariant(0));

        capture.clear();
        provider->storeInserted = false; // the store says yes, but no name appears
        QVERIFY(combo.insertValue("Дельта"_q));
        QVERIFY(reportsAssertion(capture, "code"_q));
    }

    void emptyProviderGivesEmptyLists()
    {
        orxtest::MessageCapture capture;
        refcodes::setProvider(new EmptyRefCodeProvider);
        QRefComboBox combo(kListed, nullptr, true, QStringLiteral("—"));
        QCOMPARE(orxtest::itemTexts(&combo), QStringList{"—"_q});
        QCOMPARE(capture.assertions().size(), 1); // the first lookup loads, and fails
        QRefCheckListBox list(kListed);
        QCOMPARE(list.count(), 0);
    }

    void smartListBox()
    {
        auto* list = new QSmartListBox;
        list->addItem("один"_q, 10);
        list->addItem("два"_q, 20);
        list->addItem("три"_q, 30);
        Stage stage(list);
        QVERIFY(!list->currentData().isValid());
        BoxSeen seen;
        auto answerer = answerBox(&seen);
        QVERIFY(!list->validate());
        QCOMPARE(seen.title, QStringLiteral("Валидация"));
        QCOMPARE(seen.text, QStringLiteral("Необходимо выбрать хотя бы одно значение"));
        QVERIFY(stage.focusIsOn(list));
        list->setCurrentRow(1);
        QCOMPARE(list->currentData(), QVariant(20));
        QVERIFY(list->validate());

        // Each value stays with its row whichever way the rows move.
        const auto rowValues = [list] {
            QStringList values;
            for (int row = 0; row < list->count(); ++row) {
                list->setCurrentRow(row);
                values << list->currentItem()->text() + QLatin1Char('=') + list->currentData().toString();
            }
            return values;
        };
        list->sortItems();
        QCOMPARE(rowValues(), QStringList({"два=20"_q, "один=10"_q, "три=30"_q}));
        list->insertItem(0, "ноль"_q);
        delete list->takeItem(1);
        QCOMPARE(rowValues(), QStringList({"ноль="_q, "один=10"_q, "три=30"_q}));
        list->setCurrentRow(1);

        const int rowHeight = list->sizeHintForRow(0);
        QCOMPARE(list->sizeHint().height(), 3 * rowHeight + 4);
        list->setRowHidden(0, true);
        list->setBestHeight();
        QCOMPARE(list->minimumHeight(), 2 * rowHeight + 4);
        QCOMPARE(list->maximumHeight(), 2 * rowHeight + 4);
    }

    void checkListBox()
    {
        CheckListBox list;
        list.addItems({"a"_q, "b"_q}, {1});
        list.addItems({"c"_q, "d"_q}, {0, 2}); // rows count from the first row of the list
        QCOMPARE(list.checkedRows(), QSet<int>({1, 2}));
        QVERIFY(!list.allChecked());
        list.setRowHidden(0, true);
        list.setRowHidden(3, true);
        QVERIFY(list.allChecked());
        list.checkAll();
        QCOMPARE(list.checkedRows(), QSet<int>({0, 1, 2, 3}));
    }

    void refCheckListBox()
    {
        orxtest::MessageCapture capture;
        setColors(kListed, 5, Qt::red, QColor());
        setColor(kListed, 3, Qt::blue, Back);
        auto* list = new QRefCheckListBox(kListed, nullptr, Qt::Checked);
        Stage stage(list);
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        QCOMPARE(texts, QStringList({"альфа"_q, "Бета"_q, "Гамма"_q})); // by name, whatever the type
        QCOMPARE(list->item(0)->foreground().color(), QColor(Qt::red));
        QCOMPARE(list->item(0)->data(Qt::BackgroundRole), QVariant());
        QCOMPARE(list->item(2)->background().color(), QColor(Qt::blue));
        QCOMPARE(list->checkedCodes(true), RefCodeSet({3, 5, 9}));

        list->setCheckedCodes({5, 9});
        list->setVisibleCodes({3});
        QCOMPARE(list->checkedCodes(false), RefCodeSet({5, 9}));
        QCOMPARE(list->minimumHeight(), list->sizeHintForRow(0) + 4);
        BoxSeen seen;
        auto answerer = answerBox(&seen);
        QVERIFY(!list->validate()); // the checked rows are hidden
        QCOMPARE(seen.text, QStringLiteral("Необходимо выбрать хотя бы одно значение"));
        QVERIFY(stage.focusIsOn(list));
        QMetaObject::invokeMethod(list, "checkAll");
        QVERIFY(list->validate());
        QCOMPARE(list->checkedCodes(true), RefCodeSet({3}));
        QVERIFY(capture.assertions().isEmpty());
    }

    void decorationTables()
    {
        orxtest::MessageCapture capture;
        QVERIFY(!color(1, 2, Fore).isValid());
        QVERIFY(icon(1, 2).isNull());
        setColors(1, 2, Qt::green, Qt::yellow);
        setColors(1, 2, QColor(), Qt::cyan); // an invalid colour leaves the table alone
        QCOMPARE(color(1, 2, Fore), QColor(Qt::green));
        QCOMPARE(color(1, 2, Back), QColor(Qt::cyan));
        QVERIFY(capture.assertions().isEmpty());
        QCOMPARE(color(1, 2, 3), QColor(Qt::cyan)); // the background table answers
        QVERIFY(reportsAssertion(capture, "v == Fore || v == Back"_q));
        QCOMPARE(rightMap(Fore).firstKey(), DecorationKey(1, 2));
    }

    void tabVisibility()
    {
        orxtest::MessageCapture capture;
        SmartTabWidget tabs;
        QWidget* pages[3] = {new QWidget, new QWidget, new QWidget};
        tabs.addTab(pages[0], "Первая"_q);
        tabs.addTab(pages[1], "Вторая"_q);
        tabs.addTab(pages[2], "Третья"_q);
        tabs.setTabVisibility(pages[0], false);
        QCOMPARE(tabs.count(), 2);
        QCOMPARE(tabs.indexOf(pages[0]), -1);
        tabs.setTabVisibility(pages[0], true);
        tabs.setTabVisibility(pages[0], true); // already a tab: nothing happens
        tabs.setTabVisibility(pages[1], true); // never hidden, still a tab: nothing either
        QCOMPARE(tabs.count(), 3);
        QCOMPARE(tabs.indexOf(pages[0]), 2);
        QCOMPARE(tabs.tabText(2), QStringLiteral("Первая"));
        QVERIFY(capture.assertions().isEmpty());

        auto* stranger = new QWidget(&tabs);
        tabs.setTabVisibility(stranger, true);
        QVERIFY(reportsAssertion(capture, "m_tabTitles.contains(w)"_q));
        QCOMPARE(tabs.tabText(tabs.indexOf(stranger)), QStringLiteral("..."));
    }

    void textEditHint()
    {
        auto* edit = new QSmartTextEdit;
        Stage stage(edit);
        QSignalSpy changes(edit, &QTextEdit::textChanged);
        QSignalSpy focusIn(edit, &QSmartTextEdit::gotFocus);
        QSignalSpy focusOut(edit, &QSmartTextEdit::leftFocus);
        QCOMPARE(darkestInk(edit), 255);
        edit->setHint("Например, ЦТП-3"_q);
        QVERIFY(edit->isShowingHint());
        QVERIFY(qAbs(darkestInk(edit) - qGray(QColor(Qt::gray).rgb())) <= 10); // grey, as before
        // The hint is nobody's text, through either type.
        const QTextEdit* base = edit;
        QVERIFY(base->toPlainText().isEmpty() && edit->text().isEmpty());
        QVERIFY(!base->toHtml().contains("ЦТП"_q));

        BoxSeen seen;
        auto answerer = answerBox(&seen);
        QVERIFY(!edit->validate());
        QCOMPARE(seen.text, QStringLiteral("Необходимо заполнить поле"));
        QVERIFY(stage.focusIsOn(edit));
        QVERIFY(!edit->isShowingHint());
        QVERIFY(!focusIn.isEmpty() && focusOut.isEmpty());

        stage.other->setFocus(); // leaving it empty brings the hint back
        QTRY_VERIFY(edit->isShowingHint());
        QVERIFY(!focusOut.isEmpty());
        QCOMPARE(changes.count(), 0); // the hint is never a change of the text

        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        typeText(edit, "Котельная"_q);
        QCOMPARE(edit->text(), QStringLiteral("Котельная"));
        QVERIFY(!edit->textCursor().charFormat().fontItalic());
        QTest::keyClick(edit, Qt::Key_Tab); // Tab moves on, it is not typed
        QTRY_VERIFY(stage.other->hasFocus());
        QCOMPARE(edit->toPlainText(), QStringLiteral("Котельная"));
        QVERIFY(!edit->isShowingHint());
        QVERIFY(edit->validate());
    }

    void textEditContentAndHint()
    {
        QSmartTextEdit edit;
        edit.setHint("подсказка"_q);
        edit.setPlainText("текст"_q);
        QVERIFY(!edit.isShowingHint());
        QCOMPARE(edit.toPlainText(), QStringLiteral("текст"));
        edit.setHtml(QString());
        QVERIFY(edit.isShowingHint());
        edit.setHint(QString());
        QVERIFY(!edit.isShowingHint() && edit.document()->isEmpty());

        edit.setHint("подсказка"_q);
        edit.setEnabled(false);
        {
            BoxSeen seen;
            auto answerer = answerBox(&seen);
            QVERIFY(edit.validate()); // a disabled field is not asked for
            QVERIFY(!answerer->answered());
        }

        // Focus leaving for the editor's own context menu keeps the document as it is.
        edit.setEnabled(true);
        edit.setPlainText(QString());
        QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
        QApplication::sendEvent(&edit, &in);
        QVERIFY(!edit.isShowingHint());
        QFocusEvent toPopup(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(&edit, &toPopup);
        QVERIFY(!edit.isShowingHint());
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
        QTest::newRow("comma") << false << 0 << "5,5"_q << 0 << 5.5 << "5.50"_q;
        QTest::newRow("point") << false << 0 << "5.5"_q << 0 << 5.5 << "5.50"_q;
        QTest::newRow("blank refused") << false << 0 << "1 000"_q << 0 << 1000.0 << "1000.00"_q;
        QTest::newRow("grouped number refused") << false << 0 << "1,000.5"_q << 0 << 1.0 << "1.00"_q;
        QTest::newRow("third decimal refused") << false << 0 << "0,125"_q << 0 << 0.12 << "0.12"_q;
        QTest::newRow("second separator refused") << false << 0 << "5,,5"_q << 0 << 5.5 << "5.50"_q;
        QTest::newRow("minus refused at minimum 0") << false << 0 << "-0,5"_q << 0 << 0.5 << "0.50"_q;
        QTest::newRow("digit above maximum refused")
            << false << 0 << "1000000000\b"_q << 0 << 1e7 << "10000000.00"_q;
        QTest::newRow("leading separator") << false << 0 << ",5"_q << 0 << 0.5 << "0.50"_q;
        QTest::newRow("below minimum") << false << 0 << "1"_q << 5 << 7.0 << "7.00"_q;
        QTest::newRow("negative, digit below minimum refused")
            << false << 0 << "-15,5"_q << -10 << -1.5 << "-1.50"_q;
        QTest::newRow("paste") << false << 1 << "2,5"_q << 0 << 2.5 << "2.50"_q;
        QTest::newRow("paste with unit refused") << false << 1 << "2,5 бар"_q << 0 << 7.0 << "7.00"_q;
        QTest::newRow("set grouped text not stripped") << false << 2 << "1,000"_q << 0 << 7.0 << "7.00"_q;
        QTest::newRow("integer: comma refused") << true << 0 << "1,000"_q << 0 << 1000.0 << "1000"_q;
        QTest::newRow("integer: point refused") << true << 0 << "5.5"_q << 0 << 55.0 << "55"_q;
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
        struct RestoreLocale
        {
            QLocale saved;
            ~RestoreLocale() { QLocale::setDefault(saved); }
        } restore;
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
            QSignalSpy finished(box, &QAbstractSpinBox::editingFinished);
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
            QCOMPARE(finished.count(), 1);
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
        QVERIFY(!label.wordWrap() && !label.parent());
        QCOMPARE(label.minimumSize(), label.sizeHint() + QSize(2, 2));

        QBaseDialog dialog;
        QTimer::singleShot(0, &dialog, [&dialog] {
            dialog.onOk(); // the base accepts nothing by itself
            QVERIFY(dialog.isVisible());
            QMetaObject::invokeMethod(&dialog, "onCancel");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }
};

ORX_GUI_TEST_MAIN(TestSmallClasses)
#include "tst_smallclasses.moc"
