#include "guitools/smallclasses.h"

#include "gentools/errorhandle.h"
#include "settings/smartsettings.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QSizePolicy>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>
#include <QStylePainter>
#include <QToolTip>

#include <cmath>

namespace {

// Every validation failure is told the same way: a warning box over the widget,
// then the widget takes the keyboard so that the user can correct it at once.
void showValidationBox(QWidget* widget, const QString& text)
{
    QMessageBox::warning(widget, QCoreApplication::translate("smallclasses", "Валидация"), text,
                         QMessageBox::Ok);
    widget->setFocus(Qt::OtherFocusReason);
}

void checkEveryRow(QListWidget* list)
{
    for (int row = 0; row < list->count(); ++row)
        list->item(row)->setCheckState(Qt::Checked);
}

// The text of a spin box without its prefix and suffix.
QString withoutAffixes(QString text, const QString& prefix, const QString& suffix)
{
    if (!prefix.isEmpty() && text.startsWith(prefix))
        text.remove(0, prefix.size());
    if (!suffix.isEmpty() && text.endsWith(suffix))
        text.chop(suffix.size());
    return text;
}

// Reads what has been typed into a number box so far. The comma, the point and
// the locale's own separator are one decimal separator, taken once and only when
// the box has decimals. Any other character (a letter, a blank, a group
// separator, a second separator, a plus sign, a minus sign where the range has
// no negative numbers, a digit beyond the decimals) makes the text Invalid, so
// that the line edit refuses the key or the paste. A text that may still grow
// into a number within the range is Intermediate. The number read, if any, goes
// to value.
QValidator::State readNumber(const QString& text, const QLocale& locale, int decimals, double minimum,
                             double maximum, double* value)
{
    QString plain; // the same number with an ASCII sign, digits and point
    int digits = 0;
    int fractionDigits = -1; // -1 until the separator
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.isDigit()) {
            if (fractionDigits >= 0 && ++fractionDigits > decimals)
                return QValidator::Invalid;
            plain += QChar('0' + ch.digitValue());
            ++digits;
        } else if (i == 0 && minimum < 0 && (ch == QLatin1Char('-') || ch == locale.negativeSign())) {
            plain += QLatin1Char('-');
        } else if (fractionDigits < 0 && decimals > 0 &&
                   (ch == QLatin1Char(',') || ch == QLatin1Char('.') || ch == locale.decimalPoint())) {
            fractionDigits = 0;
            plain += QLatin1Char('.');
        } else {
            return QValidator::Invalid;
        }
    }
    if (digits == 0) // nothing yet, or only a sign or a separator
        return QValidator::Intermediate;
    bool ok = false;
    const double number = plain.toDouble(&ok);
    if (!ok)
        return QValidator::Invalid;
    *value = number;
    if (number >= minimum && number <= maximum)
        return QValidator::Acceptable;
    // More digits only take a number further from zero: one beyond the bound on
    // its own side of zero can never come back into the range.
    if ((number >= 0 && number > maximum) || (number < 0 && number < minimum))
        return QValidator::Invalid;
    return QValidator::Intermediate;
}

QMap<DecorationKey, QIcon>& iconTable()
{
    static QMap<DecorationKey, QIcon> table;
    return table;
}

} // namespace

// ---------------------------------------------------------------------------
// Decorations

DecorationColors& rightMap(int v)
{
    static DecorationColors foreTable;
    static DecorationColors backTable;
    GEH_ASSERT(v == Fore || v == Back);
    return v == Fore ? foreTable : backTable;
}

QColor color(qint16 type, RefCode code, int which)
{
    return rightMap(which).value(DecorationKey(type, code));
}

void setColor(qint16 type, RefCode code, const QColor& colour, int which)
{
    rightMap(which).insert(DecorationKey(type, code), colour);
}

void setColors(qint16 type, RefCode code, const QColor& fore, const QColor& back)
{
    if (fore.isValid())
        setColor(type, code, fore, Fore);
    if (back.isValid())
        setColor(type, code, back, Back);
}

QIcon icon(qint16 type, RefCode code)
{
    return iconTable().value(DecorationKey(type, code));
}

void setIcon(qint16 type, RefCode code, const QIcon& icon)
{
    iconTable().insert(DecorationKey(type, code), icon);
}

// ---------------------------------------------------------------------------
// QBaseDialog

QBaseDialog::QBaseDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
}

void QBaseDialog::onOk()
{
}

void QBaseDialog::onCancel()
{
    reject();
}

// ---------------------------------------------------------------------------
// QSmartComboBox

QSmartComboBox::QSmartComboBox(QWidget* parent, bool withCompleter) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(30);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    if (withCompleter)
        addCompleter();
}

void QSmartComboBox::setShownCharacters(int characters, Qt::TextElideMode cut)
{
    m_shownCharacters = qMax(0, characters);
    m_cut = cut;
    updateGeometry();
    update();
}

QSize QSmartComboBox::sizeHint() const
{
    const QSize full = QComboBox::sizeHint();
    if (m_shownCharacters <= 0)
        return full;
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize text(fontMetrics().averageCharWidth() * m_shownCharacters, fontMetrics().height());
    const int most = style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this).width();
    return QSize(qMin(full.width(), most), full.height());
}

QSize QSmartComboBox::minimumSizeHint() const
{
    if (m_shownCharacters <= 0)
        return QComboBox::minimumSizeHint();
    return QSize(sizeHint().width(), QComboBox::minimumSizeHint().height());
}

QString QSmartComboBox::shownText() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // The style draws the text a pixel in from each side of the field.
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    return fontMetrics().elidedText(currentText(), m_cut, field.width() - 2);
}

bool QSmartComboBox::isTextCut() const
{
    return m_shownCharacters > 0 && !isEditable() && shownText() != currentText();
}

void QSmartComboBox::showPopup()
{
    if (m_shownCharacters > 0) {
        // The list shows every item whole, however narrow the box.
        QAbstractItemView* list = view();
        list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                              list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list));
    }
    QComboBox::showPopup();
}

void QSmartComboBox::paintEvent(QPaintEvent* event)
{
    if (m_shownCharacters <= 0 || isEditable()) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

bool QSmartComboBox::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && isTextCut()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), currentText(), this);
        return true;
    }
    return QComboBox::event(event);
}

void QSmartComboBox::showValidationError(const QString& message)
{
    showValidationBox(this, message.isEmpty() ? tr("Необходимо выбрать значение") : message);
}

bool QSmartComboBox::validate()
{
    const QString text = currentText();
    if (currentIndex() >= 0) {
        // A plain list: whatever is chosen is a valid choice. An editable one may
        // hold typed text that no longer is the chosen item.
        if (!completer())
            return true;
        if (itemText(currentIndex()) == text)
            return true;
    }
    if (!isValueAcceptable(text) || !allowsNewValues()) {
        showValidationError(QString());
        return false;
    }
    if (!insertNewValue(text)) {
        showValidationError(tr("Не удалось занести новое значение"));
        return false;
    }
    return true;
}

bool QSmartComboBox::insertNewValue(const QString& text)
{
    QComboBox::addItem(text);
    setCurrentIndex(count() - 1);
    return true;
}

bool QSmartComboBox::isValueAcceptable(const QString& text)
{
    return !text.isEmpty();
}

bool QSmartComboBox::allowsNewValues()
{
    return allowNewValues;
}

void QSmartComboBox::setAllowNewValues(bool allow)
{
    allowNewValues = allow;
    setInsertPolicy(allow ? QComboBox::InsertAtBottom : QComboBox::NoInsert);
}

void QSmartComboBox::addCompleter()
{
    GEH_ASSERT(!completer());
    setEditable(true);
    auto* c = new QCompleter(model(), this);
    c->setFilterMode(Qt::MatchContains);
    c->setCaseSensitivity(Qt::CaseInsensitive);
    c->setMaxVisibleItems(30);
    setCompleter(c);
}

void QSmartComboBox::removeCompleter()
{
    QCompleter* c = completer();
    if (c)
        setCompleter(nullptr);
    setEditable(false);
    delete c;
    setAllowNewValues(false);
}

void QSmartComboBox::setCurrentByData(const QVariant& value, int role)
{
    setCurrentIndex(findData(value, role));
}

RefCode QSmartComboBox::currentCode() const
{
    if (currentIndex() < 0)
        return rcNone;
    return static_cast<RefCode>(currentData(Qt::UserRole).toInt());
}

void QSmartComboBox::setCurrentCode(RefCode code)
{
    setCurrentByData(static_cast<int>(code), Qt::UserRole);
}

void QSmartComboBox::saveCurrent(const QString& key)
{
    SmartSettings(SmartSettings::Local).setValue(key, currentData(Qt::UserRole));
}

void QSmartComboBox::restoreCurrent(const QString& key, const QVariant& defaultValue)
{
    QVariant value = SmartSettings(SmartSettings::Local).value(key, defaultValue);
    if (value.isNull())
        value = defaultValue;
    setCurrentByData(value, Qt::UserRole);
}

void QSmartComboBox::filterItems(const QVariantList& allowed, int role)
{
    if (allItems.isEmpty()) {
        for (int i = 0; i < count(); ++i)
            allItems.append(qMakePair(itemText(i), itemData(i, role)));
    }

    const bool hadCurrent = currentIndex() >= 0;
    const QVariant currentValue = hadCurrent ? itemData(currentIndex(), role) : QVariant();
    const QString currentLabel = currentText();
    clear();

    int selected = -1;
    for (const QPair<QString, QVariant>& item : qAsConst(allItems)) {
        if (!allowed.contains(item.second))
            continue;
        QComboBox::addItem(item.first);
        setItemData(count() - 1, item.second, role);
        if (hadCurrent && item.second == currentValue && item.first == currentLabel)
            selected = count() - 1;
    }
    // A single choice left is the choice; otherwise the user has to choose again
    // unless the previous choice is still offered.
    setCurrentIndex(count() == 1 ? 0 : selected);
}

void QSmartComboBox::filterItems(const QList<int>& allowed, int role)
{
    QVariantList values;
    values.reserve(allowed.size());
    for (int value : allowed)
        values.append(value);
    filterItems(values, role);
}

// ---------------------------------------------------------------------------
// QRefComboBox

QRefComboBox::QRefComboBox(qint16 type, QWidget* parent, bool withEmpty, const QString& emptyText)
    // Long alphabetical lists are searched by typing.
    : QSmartComboBox(parent, refcodes::isAlphabetical(type)), refType(type), m_withEmpty(withEmpty),
      emptyText(emptyText)
{
    fill();
    const int side = fontMetrics().size(Qt::TextSingleLine, QStringLiteral("A0?")).height();
    setIconSize(QSize(side, side));
}

void QRefComboBox::fill()
{
    if (m_withEmpty) {
        addItem(rcEmpty);
        setCurrentIndex(count() - 1);
    }
    for (RefCode code : refcodes::codes(refType))
        addItem(code);
    if (!m_withEmpty)
        setCurrentIndex(-1);
}

void QRefComboBox::addItem(RefCode code)
{
    if (code == rcEmpty) {
        GEH_ASSERT(m_withEmpty);
        QComboBox::addItem(emptyText, static_cast<int>(rcEmpty));
        return;
    }
    QComboBox::addItem(::icon(refType, code), refcodes::codeName(code, refType), static_cast<int>(code));
}

void QRefComboBox::setRefType(qint16 type, bool keepCurrent)
{
    if (type == refType)
        return;
    const RefCode current = currentCode();
    refType = type;
    clear();
    fill();
    if (keepCurrent)
        setCurrentCode(current);
}

void QRefComboBox::refillExcluding(const RefCodeSet& codes)
{
    const RefCode current = currentCode();
    clear();
    for (RefCode code : refcodes::codes(refType)) {
        if (!codes.contains(code))
            addItem(code);
    }
    // An excluded choice is not replaced by whatever came first: nothing is
    // current then, and validation asks the user.
    setCurrentCode(current);
}

bool QRefComboBox::insertValue(const QString& text)
{
    if (!refcodes::insertName(refType, text))
        return false;
    const RefCode code = refcodes::codeByName(refType, text);
    GEH_ASSERT(code);
    addItem(code);
    setCurrentIndex(count() - 1);
    return true;
}

bool QRefComboBox::insertNewValue(const QString& text)
{
    return insertValue(text);
}

// ---------------------------------------------------------------------------
// QSmartListBox

QSmartListBox::QSmartListBox(QWidget* parent) : QListWidget(parent)
{
}

void QSmartListBox::addItem(const QString& text, const QVariant& value)
{
    auto* it = new QListWidgetItem(text);
    it->setData(Qt::UserRole, value);
    QListWidget::addItem(it);
}

QVariant QSmartListBox::currentData() const
{
    const QListWidgetItem* it = currentItem();
    return it ? it->data(Qt::UserRole) : QVariant();
}

QSize QSmartListBox::sizeHint() const
{
    int visibleRows = 0;
    for (int row = 0; row < count(); ++row) {
        if (!isRowHidden(row))
            ++visibleRows;
    }
    if (visibleRows == 0)
        return QListWidget::sizeHint();
    return QSize(sizeHintForColumn(0) + 4, sizeHintForRow(0) * visibleRows + 4);
}

void QSmartListBox::showValidationError(const QString& message)
{
    showValidationBox(this, message.isEmpty() ? tr("Необходимо выбрать хотя бы одно значение") : message);
}

bool QSmartListBox::validate()
{
    if (currentRow() >= 0)
        return true;
    showValidationError(QString());
    return false;
}

void QSmartListBox::setBestHeight()
{
    const int height = sizeHint().height();
    setMinimumHeight(height);
    setMaximumHeight(height);
}

// ---------------------------------------------------------------------------
// CheckListBox

CheckListBox::CheckListBox(QWidget* parent) : QSmartListBox(parent)
{
}

void CheckListBox::addItems(const QStringList& texts, const QSet<int>& checkedRows)
{
    for (const QString& text : texts) {
        QListWidget::addItem(text);
        const int row = count() - 1;
        QListWidgetItem* it = item(row);
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(checkedRows.contains(row) ? Qt::Checked : Qt::Unchecked);
    }
}

QSet<int> CheckListBox::checkedRows() const
{
    QSet<int> rows;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->checkState() == Qt::Checked)
            rows.insert(row);
    }
    return rows;
}

bool CheckListBox::allChecked() const
{
    for (int row = 0; row < count(); ++row) {
        if (!isRowHidden(row) && item(row)->checkState() != Qt::Checked)
            return false;
    }
    return true;
}

void CheckListBox::checkAll()
{
    checkEveryRow(this);
}

// ---------------------------------------------------------------------------
// QRefCheckListBox

QRefCheckListBox::QRefCheckListBox(qint16 type, QWidget* parent, Qt::CheckState state) : QSmartListBox(parent)
{
    for (RefCode code : refcodes::codes(type, refcodes::smByName)) {
        QSmartListBox::addItem(refcodes::codeName(code, type), static_cast<int>(code));
        QListWidgetItem* it = item(count() - 1);
        // Only colours somebody set: an unset one keeps the palette's own.
        const QColor fore = ::color(type, code, Fore);
        if (fore.isValid())
            it->setForeground(fore);
        const QColor back = ::color(type, code, Back);
        if (back.isValid())
            it->setBackground(back);
        it->setIcon(::icon(type, code));
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(state);
    }
}

RefCode QRefCheckListBox::rowCode(int row) const
{
    return static_cast<RefCode>(item(row)->data(Qt::UserRole).toInt());
}

void QRefCheckListBox::setCheckedCodes(const RefCodeSet& codes)
{
    for (int row = 0; row < count(); ++row)
        item(row)->setCheckState(codes.contains(rowCode(row)) ? Qt::Checked : Qt::Unchecked);
}

void QRefCheckListBox::setVisibleCodes(const RefCodeSet& codes)
{
    for (int row = 0; row < count(); ++row)
        setRowHidden(row, !codes.contains(rowCode(row)));
    setBestHeight();
}

RefCodeSet QRefCheckListBox::checkedCodes(bool onlyVisible) const
{
    RefCodeSet codes;
    for (int row = 0; row < count(); ++row) {
        if (onlyVisible && isRowHidden(row))
            continue;
        if (item(row)->checkState() == Qt::Checked)
            codes.insert(rowCode(row));
    }
    return codes;
}

bool QRefCheckListBox::validate()
{
    // A hidden row is not offered, so its check does not count.
    if (!checkedCodes(true).isEmpty())
        return true;
    showValidationError(QString());
    return false;
}

void QRefCheckListBox::checkAll()
{
    checkEveryRow(this);
}

// ---------------------------------------------------------------------------
// QSmartSpinBox

QSmartSpinBox::QSmartSpinBox(QWidget* parent) : QSpinBox(parent)
{
}

QValidator::State QSmartSpinBox::validate(QString& input, int&) const
{
    double number = 0;
    return readNumber(withoutAffixes(input, prefix(), suffix()), locale(), 0, minimum(), maximum(), &number);
}

int QSmartSpinBox::valueFromText(const QString& text) const
{
    double number = minimum();
    readNumber(withoutAffixes(text, prefix(), suffix()), locale(), 0, minimum(), maximum(), &number);
    return qRound(number);
}

void QSmartSpinBox::fixup(QString&) const
{
}

// ---------------------------------------------------------------------------
// QSmartDoubleSpinBox

QSmartDoubleSpinBox::QSmartDoubleSpinBox(QWidget* parent) : QDoubleSpinBox(parent)
{
    setRange(-typedLimit, typedLimit);
    connect(this, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, [this] { updateMark(); });
}

void QSmartDoubleSpinBox::setAllowedRange(double minimum, double maximum)
{
    m_allowedMinimum = minimum;
    m_allowedMaximum = qMax(minimum, maximum);
    updateMark();
    updateGeometry();
}

void QSmartDoubleSpinBox::setAllowedMinimum(double minimum)
{
    setAllowedRange(minimum, qMax(minimum, m_allowedMaximum));
}

void QSmartDoubleSpinBox::setAllowedMaximum(double maximum)
{
    setAllowedRange(qMin(m_allowedMinimum, maximum), maximum);
}

void QSmartDoubleSpinBox::setRangeReasons(const QString& belowMinimum, const QString& aboveMaximum)
{
    m_belowReason = belowMinimum;
    m_aboveReason = aboveMaximum;
    updateMark();
}

double QSmartDoubleSpinBox::shown(double v) const
{
    const double scale = std::pow(10.0, decimals());
    return std::round(v * scale) / scale;
}

bool QSmartDoubleSpinBox::isValueAllowed() const
{
    // The bounds compared as the box shows them: a boiling point of 150.004 °C
    // allows the 150.00 the box offers.
    const double v = value();
    return v >= shown(m_allowedMinimum) && v <= shown(m_allowedMaximum);
}

QString QSmartDoubleSpinBox::allowedRangeText(const QString& unit) const
{
    const QString withUnit = unit.isEmpty() ? QString() : QStringLiteral("\u00A0") + unit;
    QString text =
        QStringLiteral("от %1 до %2%3")
            .arg(textFromValue(shown(m_allowedMinimum)), textFromValue(shown(m_allowedMaximum)), withUnit);
    const QString& reason = value() < shown(m_allowedMinimum) ? m_belowReason : m_aboveReason;
    if (!isValueAllowed() && !reason.isEmpty())
        text += QStringLiteral(" (%1)").arg(reason);
    return text;
}

QValidator::State QSmartDoubleSpinBox::validate(QString& input, int&) const
{
    double number = 0;
    return readNumber(withoutAffixes(input, prefix(), suffix()), locale(), decimals(), minimum(), maximum(),
                      &number);
}

double QSmartDoubleSpinBox::valueFromText(const QString& text) const
{
    double number = minimum();
    readNumber(withoutAffixes(text, prefix(), suffix()), locale(), decimals(), minimum(), maximum(), &number);
    return number;
}

void QSmartDoubleSpinBox::fixup(QString&) const
{
}

void QSmartDoubleSpinBox::stepBy(int steps)
{
    const double low = shown(m_allowedMinimum);
    const double high = shown(m_allowedMaximum);
    const double next = value() + steps * singleStep();
    // An arrow brings a value from outside the range back to its nearer bound;
    // within the range it never leads out of it.
    setValue(qBound(low, next, high));
    selectAll();
}

QAbstractSpinBox::StepEnabled QSmartDoubleSpinBox::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    StepEnabled enabled = StepNone;
    if (value() < shown(m_allowedMaximum))
        enabled |= StepUpEnabled;
    if (value() > shown(m_allowedMinimum))
        enabled |= StepDownEnabled;
    return enabled;
}

void QSmartDoubleSpinBox::setWidestValue(double widest)
{
    m_widest = widest;
    updateGeometry();
}

QSize QSmartDoubleSpinBox::sizeHint() const
{
    return hintFor(false);
}

QSize QSmartDoubleSpinBox::minimumSizeHint() const
{
    return hintFor(true);
}

QSize QSmartDoubleSpinBox::hintFor(bool minimumHint) const
{
    ensurePolished();
    const QFontMetrics metrics(fontMetrics());
    const QString fixedContent = prefix() + suffix() + QLatin1Char(' ');
    int width = 0;
    const QList<double> widest =
        std::isnan(m_widest) ? QList<double>{m_allowedMinimum, m_allowedMaximum} : QList<double>{m_widest};
    for (double bound : widest) {
        QString text = textFromValue(bound);
        text.truncate(18);
        width = qMax(width, metrics.horizontalAdvance(text + fixedContent));
    }
    if (!specialValueText().isEmpty())
        width = qMax(width, metrics.horizontalAdvance(specialValueText()));
    width += 2; // the cursor
    const int height = lineEdit()->sizeHint().height();
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize contents(width, height);
    QSize hint = style()->sizeFromContents(QStyle::CT_SpinBox, &option, contents, this);
    if (minimumHint)
        hint.setHeight(qMax(hint.height(), QDoubleSpinBox::minimumSizeHint().height()));
    return hint;
}

void QSmartDoubleSpinBox::updateMark()
{
    const bool marked = !isValueAllowed();
    if (marked == m_marked && !marked)
        return;
    m_marked = marked;
    QPalette shown = QApplication::palette(this);
    if (marked) {
        // Tinted like a field to correct, the figure itself left as typed.
        shown.setColor(QPalette::Base, QColor(255, 224, 224));
        shown.setColor(QPalette::Text, QColor(176, 0, 32));
        setToolTip(QStringLiteral("Допустимо %1").arg(allowedRangeText()));
    } else {
        setToolTip(QString());
    }
    setPalette(shown);
}

// ---------------------------------------------------------------------------
// SmartTabWidget

SmartTabWidget::SmartTabWidget(QWidget* parent) : QTabWidget(parent)
{
}

void SmartTabWidget::setTabVisibility(QWidget* w, bool visible)
{
    if (!visible) {
        for (int i = count() - 1; i >= 0; --i) {
            if (widget(i) == w) {
                m_tabTitles.insert(w, tabText(i));
                removeTab(i);
            }
        }
        return;
    }
    if (indexOf(w) >= 0)
        return;
    GEH_ASSERT(m_tabTitles.contains(w));
    addTab(w, m_tabTitles.value(w, QStringLiteral("...")));
}

// ---------------------------------------------------------------------------
// SmartLabel

SmartLabel::SmartLabel(const QString& text, int pointSize) : QLabel(text)
{
    QFont f = font();
    f.setPointSize(pointSize);
    setFont(f);
    setWordWrap(false);
    const QSize hint = sizeHint();
    setMinimumSize(hint.width() + 2, hint.height() + 2);
}

// ---------------------------------------------------------------------------
// QSmartTextEdit

QSmartTextEdit::QSmartTextEdit(QWidget* parent) : QTextEdit(parent)
{
    setTabChangesFocus(true);
    // The hint in grey italics, the document's own text untouched: the editor
    // paints its placeholder with the viewport's font, which nothing else uses.
    QPalette grey = palette();
    grey.setColor(QPalette::PlaceholderText, Qt::gray);
    setPalette(grey);
    QFont italic;
    italic.setItalic(true);
    viewport()->setFont(italic);
    connect(this, &QTextEdit::textChanged, this, &QSmartTextEdit::onTextReallyChanged);
}

void QSmartTextEdit::setHint(const QString& text)
{
    hint = text;
    if (!hasFocus())
        setPlaceholderText(hint);
}

bool QSmartTextEdit::isShowingHint() const
{
    return !placeholderText().isEmpty() && document()->isEmpty();
}

// The editor paints its placeholder whenever the document is empty, focus or
// not; the hint is offered only while the user is elsewhere, and the placeholder
// is set accordingly.
void QSmartTextEdit::onTextReallyChanged()
{
    if (!hasFocus())
        setPlaceholderText(hint);
}

void QSmartTextEdit::showValidationError(const QString& message)
{
    showValidationBox(this, message.isEmpty() ? tr("Поле заполнено неверно") : message);
}

bool QSmartTextEdit::validate()
{
    if (!isEnabled())
        return true;
    if (!toPlainText().isEmpty())
        return true;
    showValidationError(tr("Необходимо заполнить поле"));
    return false;
}

void QSmartTextEdit::focusInEvent(QFocusEvent* e)
{
    QTextEdit::focusInEvent(e);
    setPlaceholderText(QString());
    emit gotFocus();
}

void QSmartTextEdit::focusOutEvent(QFocusEvent* e)
{
    QTextEdit::focusOutEvent(e);
    // Focus that goes to the editor's own context menu stays with the user's
    // work: the hint comes back only when the user has left the editor.
    if (e->reason() != Qt::PopupFocusReason)
        setPlaceholderText(hint);
    emit leftFocus();
}
