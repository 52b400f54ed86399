// The rows of the document window's input column: captions, number, text,
// combo, check and radio rows, headers, and showing or hiding a row.

#include "framework/mdichild.h"

#include "framework/layoutkit.h"
#include "framework/radioarea.h"
#include "guitools/smallclasses.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>

#include <cmath>

using namespace common;
using framework::Caption;
using framework::firstFreeRow;
using framework::resizedFont;
using framework::richTextWidth;
using framework::setTextColour;
using framework::splitCaption;

namespace {

const QChar kBullet(0x2022);

// The largest figure a number row takes: every number box of a form is as wide
// as it needs, so that the boxes line up and keep their width while the ranges
// they allow move with the task.
const double kLargestNumber = 100000000;

} // namespace

int MdiChild::controlSpan() const
{
    return 1;
}

// ---------------------------------------------------------------------------
// Input-area row builders

int MdiChild::nextRow(QGridLayout* grid)
{
    return firstFreeRow(grid);
}

void MdiChild::fitCaptionColumn(QGridLayout* grid, int minimum)
{
    // Captions longer than this wrap anyway and leave the column to the others:
    // the inputs never drift far from their captions.
    const int maximum = minimum + 165;
    int widest = 0;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QLayoutItem* item = grid->itemAtPosition(row, 0);
        auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
        if (!label || !label->wordWrap())
            continue;
        const int width = richTextWidth(label->font(), label->text());
        if (width <= maximum)
            widest = qMax(widest, width);
    }
    grid->setColumnMinimumWidth(0, qMax(minimum, widest));
}

QLabel* MdiChild::addCaptionLabel(QGridLayout* grid, int row, const DocKey& key, const QString& caption)
{
    auto* label = new QLabel(caption.isEmpty() ? caption : caption + QLatin1Char(':'));
    putLabel(key, label);
    m_captions.insert(key, caption);
    grid->addWidget(label, row, 0);
    return label;
}

QDoubleSpinBox* MdiChild::addDoubleRow(QGridLayout* grid, const DocKey& key, const QString& caption)
{
    auto* spin = new QSmartDoubleSpinBox();
    spin->setDecimals(2);
    spin->setAllowedRange(0, kLargestNumber);
    spin->setWidestValue(kLargestNumber);
    // A gauge pressure below zero is a vacuum, which no device of the program
    // is sized for.
    if (isPressureField(key.fieldCode))
        spin->setRangeReasons(QStringLiteral("разрежение не поддерживается"), QString());
    spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    spin->setSingleStep(spinStep(key.fieldCode));
    putControl(key, spin);

    // "Перед клапаном|P1" reads "Перед клапаном <i>P1:</i>".
    const Caption parts = splitCaption(caption);
    const QString text = parts.symbol.isEmpty()
                             ? caption + QLatin1Char(':')
                             : parts.name + QStringLiteral(" <i>") + parts.symbol + QStringLiteral(":</i>");
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    putLabel(key, label);
    m_captions.insert(key, caption);

    const int row = nextRow(grid);
    grid->addWidget(label, row, 0);
    grid->addWidget(spin, row, 2);
    return spin;
}

QDoubleSpinBox* MdiChild::addDoubleRowWithUnit(QGridLayout* grid, const DocKey& key, const QString& caption,
                                               const DocKey& unitKey)
{
    QDoubleSpinBox* spin = addDoubleRow(grid, key, caption);
    auto* unit = new QSmartComboBox();
    putControl(unitKey, unit);
    grid->addWidget(unit, grid->rowCount() - 1, 3);
    return spin;
}

QDoubleSpinBox* MdiChild::addDoubleRowWithSubLabel(QGridLayout* grid, const DocKey& key,
                                                   const QString& caption, const QString& subLabelText)
{
    QDoubleSpinBox* spin = addDoubleRow(grid, key, caption);
    auto* sub = new QLabel(subLabelText);
    putSubLabel(key, sub);
    grid->addWidget(sub, grid->rowCount() - 1, 3, Qt::AlignLeft | Qt::AlignVCenter);
    return spin;
}

QSmartComboBox* MdiChild::addComboRow(QGridLayout* grid, const DocKey& key, const QString& caption,
                                      const QString& subLabelText)
{
    auto* combo = new QSmartComboBox();
    combo->removeCompleter();
    putControl(key, combo);
    const int row = nextRow(grid);
    addCaptionLabel(grid, row, key, caption);
    grid->addWidget(combo, row, 2, 1, subLabelText.isEmpty() ? controlSpan() : 1);
    if (!subLabelText.isEmpty()) {
        auto* sub = new QLabel(subLabelText);
        putSubLabel(key, sub);
        grid->addWidget(sub, row, 3, Qt::AlignLeft | Qt::AlignVCenter);
    }
    return combo;
}

QSmartTextEdit* MdiChild::addTextRow(QGridLayout* grid, const DocKey& key, const QString& caption)
{
    auto* text = new QSmartTextEdit();
    text->setMaximumHeight(55);
    putControl(key, text);
    const int row = nextRow(grid);
    if (!caption.isEmpty())
        addCaptionLabel(grid, row, key, caption);
    grid->addWidget(text, row, 2, 1, controlSpan());
    return text;
}

QCheckBox* MdiChild::addCheckRow(QGridLayout* grid, const DocKey& key, const QString& caption)
{
    auto* check = new QCheckBox();
    putControl(key, check);
    const int row = nextRow(grid);
    addCaptionLabel(grid, row, key, caption);
    grid->addWidget(check, row, 2);
    return check;
}

RadioArea* MdiChild::addRadioRow(QGridLayout* grid, const DocKey& key, const QString& caption,
                                 int orientation)
{
    auto* radio = new RadioArea(nullptr, orientation);
    putControl(key, radio);
    const int row = nextRow(grid);
    if (!caption.isEmpty()) {
        QLabel* label = addCaptionLabel(grid, row, key, caption);
        grid->setAlignment(label, Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(radio, row, 2, 1, controlSpan());
    } else {
        // Without a caption the buttons start under the captions, where their
        // own texts ("Через расход тепловой энергии") do not widen the
        // controls' column.
        grid->addWidget(radio, row, 0, 1, 2 + controlSpan());
    }
    return radio;
}

QLabel* MdiChild::addSectionHeader(QGridLayout* grid, const QString& text, int columnSpan, bool small,
                                   const QColor& colour)
{
    return framework::sectionHeader(grid, font(), text, columnSpan, small, colour);
}

QLabel* MdiChild::addInfoRow(QGridLayout* grid, const QString& text, const QColor& colour)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    setTextColour(label, colour);
    grid->addWidget(label, nextRow(grid), 0, 1, inputColumnCount());
    return label;
}

QString MdiChild::listItemText(const QString& text)
{
    return QStringLiteral("%0 %1").arg(QString(kBullet), text);
}

QWidget* MdiChild::createVerticalSeparator()
{
    auto* line = new QFrame();
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setMinimumSize(2, 100);
    return line;
}

// ---------------------------------------------------------------------------
// Showing, hiding, enabling

void MdiChild::setInputEnabled(const DocKey& key, bool on)
{
    if (QWidget* w = m_controls.value(key))
        w->setEnabled(on);
}

void MdiChild::showDerivedValue(QDoubleSpinBox* box, double value)
{
    if (!box)
        return;
    if (!std::isfinite(value)) {
        box->setValue(value);
        return;
    }
    // The value as the box would keep it: rounded to its decimals, within its range.
    const double kept =
        qBound(box->minimum(), QString::number(value, 'f', box->decimals()).toDouble(), box->maximum());
    if (box->value() != kept)
        box->setValue(value);
}

void MdiChild::setInputVisible(const DocKey& key, bool on)
{
    QWidget* w = m_controls.value(key);
    if (!w)
        return;
    w->setVisible(on);
    if (QLabel* l = m_labels.value(key))
        l->setVisible(on);
    if (QLabel* s = m_subLabels.value(key))
        s->setVisible(on);
}
