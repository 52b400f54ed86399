#pragma once

// The input widgets every form is built from: combo boxes that validate their
// choice, may take values typed by the user, can be narrowed to a subset of their
// items and can be bound to a list of reference codes; list boxes with per-row
// data and check boxes; a rich-text editor with a grey hint; a tab widget whose
// tabs can be hidden and shown again; a label with a fixed font size; a dialog
// base; spin boxes for whole and decimal numbers that take the decimal comma and
// point alike. A failed validation is told in a "Валидация" warning box, and the
// offending widget takes the keyboard focus.

#include "gentools/refcode.h"

#include <QColor>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QList>
#include <QListWidget>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QSpinBox>
#include <QString>
#include <QTabWidget>
#include <QTextEdit>
#include <QVariant>

#include <limits>

// ---------------------------------------------------------------------------
// Decorations of coded lists: colours and icons per (reference type, code),
// filled by whoever knows how a reference list is to be shown. Empty unless
// filled. GUI thread only.

// Which colour table: the text colour or the background colour.
enum DecorationTable { Fore = 1, Back = 2 };

// (reference type, code), ordered by type, then code.
using DecorationKey = QPair<qint16, RefCode>;
using DecorationColors = QMap<DecorationKey, QColor>;

// The colour table of Fore or Back; any other value is a programming error,
// reported, and answered with the background table.
DecorationColors& rightMap(int which);

// The colour of a code, or an invalid colour when none was set.
QColor color(qint16 type, RefCode code, int which);
void setColor(qint16 type, RefCode code, const QColor& colour, int which);
// Sets each of the two colours only when it is valid.
void setColors(qint16 type, RefCode code, const QColor& fore, const QColor& back);
// The icon of a code, or an empty icon.
QIcon icon(qint16 type, RefCode code);
void setIcon(qint16 type, RefCode code, const QIcon& icon);

// ---------------------------------------------------------------------------

// The base of the program's dialogs: OK and Cancel go through two overridable slots.
class QBaseDialog : public QDialog
{
    Q_OBJECT
public:
    explicit QBaseDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

public slots:
    // Does nothing; a dialog with something to check or apply overrides it.
    virtual void onOk();
    // Rejects the dialog.
    virtual void onCancel();
};

// A combo box that validates its choice and may accept a value typed by the user.
// Item data lives under Qt::UserRole unless a role is given.
class QSmartComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit QSmartComboBox(QWidget* parent = nullptr, bool withCompleter = false);

    // Warning box "Валидация" over the box (the message, or "Необходимо выбрать
    // значение" when it is empty), then the box takes the focus.
    virtual void showValidationError(const QString& message);
    // True when the choice is acceptable; a new value typed by the user is added
    // when new values are allowed. Tells the user and returns false otherwise.
    virtual bool validate();
    // Appends the text as a new item without data and selects it.
    virtual bool insertNewValue(const QString& text);
    virtual bool isValueAcceptable(const QString& text);
    virtual bool allowsNewValues();
    // Also sets the insert policy: at the bottom when allowed, nothing otherwise.
    virtual void setAllowNewValues(bool allow);

    // Makes the box editable with a completer that finds the typed text anywhere
    // in the item texts, ignoring case.
    void addCompleter();
    // Not editable, no completer, no new values.
    void removeCompleter();

    // Selects the first item whose data for the role equals the value; nothing
    // (index -1) when none does.
    void setCurrentByData(const QVariant& value, int role = Qt::UserRole);
    // The code of the current item, -1 when nothing is selected.
    RefCode currentCode() const;
    void setCurrentCode(RefCode code);

    // Keep the current item's data in the settings store, and select by it again.
    void saveCurrent(const QString& key);
    void restoreCurrent(const QString& key, const QVariant& defaultValue = QVariant());

    // Shows only the items whose data for the role is one of the allowed values.
    // The first call remembers every item; later calls always start from that
    // full list. The current item stays current while it is allowed; a single
    // remaining item becomes current; otherwise nothing is current.
    void filterItems(const QVariantList& allowed, int role = Qt::UserRole);
    void filterItems(const QList<int>& allowed, int role = Qt::UserRole);

    // The box is at most as wide as this many average characters (and its
    // arrow), however long its longest item: a current text longer than that is
    // cut with "…" where `cut` says (the end, or the middle where the texts
    // differ at their ends) and told whole in the box's tool tip, and the list
    // that opens shows every item whole. 0 (the default): as wide as the
    // longest item.
    void setShownCharacters(int characters, Qt::TextElideMode cut = Qt::ElideRight);
    int shownCharacters() const { return m_shownCharacters; }
    // Whether the box shows its current text cut.
    bool isTextCut() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

    bool allowNewValues = false;
    // Text and data of every item, taken at the first filterItems().
    QList<QPair<QString, QVariant>> allItems;

private:
    QString shownText() const;
    int m_shownCharacters = 0;
    Qt::TextElideMode m_cut = Qt::ElideRight;
};

// A combo box over the codes of one reference type.
class QRefComboBox : public QSmartComboBox
{
    Q_OBJECT
public:
    QRefComboBox(qint16 type, QWidget* parent = nullptr, bool withEmpty = false,
                 const QString& emptyText = QString());

    qint16 type() const { return refType; }

    // The empty item first (selected) when the box has one, then every code of
    // the type in listing order.
    void fill();
    // Appends the item of a code (0 is the empty item, allowed only in a box with one).
    void addItem(RefCode code);
    // Switches to another type; with keepCurrent the same code is selected again.
    void setRefType(qint16 type, bool keepCurrent);
    // Every code of the type but the given ones (no empty item); the current code
    // stays current when it is still offered, otherwise nothing is current.
    void refillExcluding(const RefCodeSet& codes);
    // Adds the text as a new name of the type to the reference store and selects it.
    bool insertValue(const QString& text);

    bool insertNewValue(const QString& text) override;

protected:
    qint16 refType;
    bool m_withEmpty;
    QString emptyText;
};

// A list box with a value per row. The value travels with its item (under
// Qt::UserRole), so inserting, taking and sorting rows keep every row's value.
class QSmartListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit QSmartListBox(QWidget* parent = nullptr);

    using QListWidget::addItem;
    // Appends a row with the value.
    void addItem(const QString& text, const QVariant& value);
    // The value of the current row, or an empty value.
    QVariant currentData() const;

    // Fits the visible rows exactly.
    QSize sizeHint() const override;
    // Warning box "Валидация" (default "Необходимо выбрать хотя бы одно значение"),
    // then the list takes the focus.
    virtual void showValidationError(const QString& message);
    // True when a row is current.
    virtual bool validate();

public slots:
    // Fixes the height to that of sizeHint().
    void setBestHeight();
};

// A list of check boxes addressed by row.
class CheckListBox : public QSmartListBox
{
    Q_OBJECT
public:
    explicit CheckListBox(QWidget* parent = nullptr);

    using QListWidget::addItems;
    // Appends the texts; the row i of the whole list is checked when i is in checkedRows.
    void addItems(const QStringList& texts, const QSet<int>& checkedRows);
    QSet<int> checkedRows() const;
    // True when every row that is not hidden is checked.
    bool allChecked() const;
    void checkAll();
};

// A list of check boxes over the codes of one reference type, ordered by name.
class QRefCheckListBox : public QSmartListBox
{
    Q_OBJECT
public:
    QRefCheckListBox(qint16 type, QWidget* parent = nullptr, Qt::CheckState state = Qt::Unchecked);

    void setCheckedCodes(const RefCodeSet& codes);
    // Hides the rows of the codes not given, then fits the height.
    void setVisibleCodes(const RefCodeSet& codes);
    RefCodeSet checkedCodes(bool onlyVisible) const;

    // True when some visible row is checked.
    bool validate() override;

public slots:
    void checkAll();

private:
    RefCode rowCode(int row) const;
};

// A spin box for integer inputs, shown in decimal. Only digits and a minus sign
// the range can take are typed: a group or decimal separator is refused at the
// keystroke, never dropped later from a number that then means something else.
class QSmartSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit QSmartSpinBox(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
    // Leaves the text as it is: nothing is stripped from what the user typed.
    void fixup(QString& input) const override;
};

// A spin box for decimal inputs (pressures, temperatures, flows, loads).
// Engineers type the decimal comma and the decimal point alike, whatever the
// system locale, so both are read as the decimal separator; the value is shown
// with the locale's own separator. Group separators are never typed nor shown (a
// comma could not be told from a decimal one). What cannot become a number is
// refused at the keystroke, and a paste that holds anything else is refused
// whole, rather than being stripped into another number.
//
// The box holds every number the user types, within its decimals: a digit or a
// minus is never dropped because the result lies outside what the task allows.
// What the task allows is the box's allowed range, kept apart from the numbers
// it can hold. A value outside the allowed range stays as typed, the box is
// marked (tinted, with the range in its tooltip), and the form refuses to
// calculate from it, naming the field and the range. The arrows step within the
// allowed range. minimum() and maximum() are the limits of what can be typed.
class QSmartDoubleSpinBox : public QDoubleSpinBox
{
    Q_OBJECT
    Q_PROPERTY(double allowedMinimum READ allowedMinimum WRITE setAllowedMinimum)
    Q_PROPERTY(double allowedMaximum READ allowedMaximum WRITE setAllowedMaximum)
public:
    // The largest magnitude a box holds: about the digits a double keeps exactly
    // with two decimals.
    static constexpr double typedLimit = 1e13;

    explicit QSmartDoubleSpinBox(QWidget* parent = nullptr);

    // What the task allows; the reasons say in a few words why a bound is where it
    // is ("температура кипения при P2", "разрежение не поддерживается"), empty
    // where the bound needs no words.
    void setAllowedRange(double minimum, double maximum);
    void setAllowedMinimum(double minimum);
    void setAllowedMaximum(double maximum);
    double allowedMinimum() const { return m_allowedMinimum; }
    double allowedMaximum() const { return m_allowedMaximum; }
    void setRangeReasons(const QString& belowMinimum, const QString& aboveMaximum);
    QString belowMinimumReason() const { return m_belowReason; }
    QString aboveMaximumReason() const { return m_aboveReason; }
    // The value lies within the allowed range (at the box's decimals).
    bool isValueAllowed() const;
    // The allowed range in words, figures as the box shows them, with the unit
    // when one is given: "от 0,00 до 150,00 °C", then the reason of the bound
    // the value passed, when there is one: "(температура кипения при P2)".
    QString allowedRangeText(const QString& unit = QString()) const;

    QValidator::State validate(QString& input, int& pos) const override;
    double valueFromText(const QString& text) const override;
    // Leaves the text as it is: stripping the locale's group separators would
    // turn a decimal comma into a factor of ten or a hundred.
    void fixup(QString& input) const override;
    void stepBy(int steps) override;
    // The box is as wide as this value needs at its decimals, whatever range it
    // allows at the moment: a box whose width followed its range (a boiling point
    // that moves with the pressure) would move the form around while the user
    // types. NaN (the default) sizes the box by its allowed range.
    void setWidestValue(double widest);
    double widestValue() const { return m_widest; }
    // As wide as the widest value or the allowed range needs, not the whole of
    // what can be typed.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    QSize hintFor(bool minimumHint) const;
    // A figure as the box shows it, at its decimals.
    double shown(double v) const;
    void updateMark();

    double m_allowedMinimum = 0;
    double m_allowedMaximum = 99.99;
    double m_widest = std::numeric_limits<double>::quiet_NaN();
    QString m_belowReason;
    QString m_aboveReason;
    bool m_marked = false;
};

// A tab widget whose tabs can be hidden and shown again.
class SmartTabWidget : public QTabWidget
{
    Q_OBJECT
public:
    explicit SmartTabWidget(QWidget* parent = nullptr);

    // Hiding removes the widget's tab and remembers its title; showing adds it
    // back as the last tab with that title. Showing a widget that is a tab does nothing.
    void setTabVisibility(QWidget* w, bool visible);

protected:
    QHash<QWidget*, QString> m_tabTitles;
};

// A label of a fixed point size that never wraps and never shrinks below its text.
class SmartLabel : public QLabel
{
    Q_OBJECT
public:
    SmartLabel(const QString& text, int pointSize);
};

// A rich-text editor that shows a grey hint while it is empty and unfocused. The
// hint is painted over the empty editor and never enters the document, so the
// editor's text (text(), toPlainText(), toHtml()) is the user's alone, whatever
// type the editor is reached through; validation treats a hinted field as empty.
class QSmartTextEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit QSmartTextEdit(QWidget* parent = nullptr);

    void setHint(const QString& text);
    QString hintText() const { return hint; }
    // True while the hint is on display.
    bool isShowingHint() const;
    // The user's text.
    QString text() const { return toPlainText(); }

    // Warning box "Валидация" (default "Поле заполнено неверно"), then the editor
    // takes the focus.
    void showValidationError(const QString& message);
    // A disabled editor is valid; otherwise it must hold text.
    bool validate();

signals:
    void gotFocus();
    void leftFocus();

public slots:
    void onTextReallyChanged();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

    QString hint;
};
