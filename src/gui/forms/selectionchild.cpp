#include "forms/selectionchild.h"

#include "engine/algorithm.h"
#include "engine/resultitem.h"
#include "engine/substanceproperties.h"
#include "forms/explanationtext.h"
#include "framework/layoutkit.h"
#include "framework/pipeselectionarea.h"
#include "guitools/smallclasses.h"
#include "reports/devicesizetablegenerator.h"
#include "vocabulary/symbols.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

using namespace common;

namespace {

const QChar kSuperscriptOne(0x00B9);
// Characters of a line of the explanation under the choice: about the width
// of the choice combo.
const int kChoiceLineWidth = 56;

// Red that reads well on the window's own background: dark on a light one,
// light on a dark one.
QColor warningColour(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128 ? QColor(255, 128, 128) : QColor(176, 0, 32);
}

// A figure that misses its criterion: in the warning colour and with a bold
// "!" after it, so that it stands out for a reader who cannot tell the colours
// apart too. The mark is drawn beside the text, not written into it: the cell
// still holds the figure as the other rows hold theirs, and a margin on each
// side keeps the figure where it would stand without the mark.
class MissedFigure : public QLabel
{
public:
    explicit MissedFigure(const QString& text) : QLabel(text)
    {
        framework::setTextColour(this, warningColour(palette()));
        const int mark = QFontMetrics(markFont()).horizontalAdvance(QStringLiteral(" !"));
        setContentsMargins(mark, 0, mark, 0);
        setAccessibleDescription(QStringLiteral("критерий не выполнен"));
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QLabel::paintEvent(event);
        QPainter painter(this);
        painter.setFont(markFont());
        painter.setPen(palette().color(QPalette::WindowText));
        const QRect mark(contentsRect().right() + 1, 0, contentsMargins().right(), height());
        painter.drawText(mark, Qt::AlignCenter, QStringLiteral("!"));
    }

private:
    QFont markFont() const
    {
        QFont bold = font();
        bold.setBold(true);
        return bold;
    }
};

} // namespace

SelectionChild::SelectionChild(const Doc* data, DocType type) : HydraulicTaskChild(data, type)
{
}

int SelectionChild::stdDn() const
{
    const ResultItem* chosen = candidate(chosenIndex());
    return chosen ? chosen->dn : 0;
}

int SelectionChild::chosenIndex() const
{
    if (!m_choiceCombo)
        return -1;
    const QVariant data = m_choiceCombo->currentData();
    return data.isValid() ? data.toInt() : -1;
}

bool SelectionChild::isLiquidMedium() const
{
    return SubstanceProperties(intComboValue(fcMedium, -1)).isLiquid();
}

QGridLayout* SelectionChild::addDetailsGrid(QGridLayout* grid)
{
    results().addResultsHeader(grid, QStringLiteral("Детали расчёта"), true);
    auto* details = new QGridLayout();
    details->setContentsMargins(0, 0, 0, 0);
    details->setColumnStretch(3, 100);
    // The two groups never touch, however narrow the candidate table is.
    details->setColumnMinimumWidth(3, 30);
    grid->addLayout(details, nextRow(grid), 0, 1, resultColumnCount());
    return details;
}

void SelectionChild::addDensity(QGridLayout* details)
{
    results().addResultValueRow(details, 0, QStringLiteral("Плотность рабочей среды"),
                                QStringLiteral("кг/м%1").arg(cubedSign), algorithm()->liquidDensity(), 1);
}

void SelectionChild::addKv(QGridLayout* details)
{
    results().addResultValueRow(details, 4, QStringLiteral("Расчётный Kv"),
                                QStringLiteral("м%1/ч").arg(cubedSign), algorithm()->kvsMath(), 2);
}

void SelectionChild::addSaturationPressure(QGridLayout* details, const QString& inDevice)
{
    results().addResultValueRow(details, 0, QStringLiteral("Абс. давление насыщенных<br>паров ") + inDevice,
                                QStringLiteral("МПа"), algorithm()->steamPressure() / 1000000, 3);
}

void SelectionChild::addCandidateHeader(QGridLayout* grid, const QStringList& columns)
{
    results().addBlankRow(grid);
    results().addResultsHeader(grid, QStringLiteral("Предлагаемые варианты%0").arg(kSuperscriptOne), true);
    int n = 0;
    for (const QString& column : columns)
        results().addCaptionCell(grid, n++, column);
    GEH_ASSERT(n == resultColumnCount());
}

void SelectionChild::addRejectedHeader(QGridLayout* grid)
{
    results().addResultsHeader(grid, QStringLiteral("Отбракованные варианты"), true);
}

QStringList SelectionChild::riskCells(const ResultItem& item)
{
    return {item.hasCavitationRisk() ? QStringLiteral("высокая") : QStringLiteral("низкая"),
            noiseRiskName(NoiseRisk(item.deviceNoiseRisk))};
}

const explain::CandidateExplanation* SelectionChild::explanationOf(int index) const
{
    return index >= 0 && index < m_explanations.size() ? &m_explanations.at(index) : nullptr;
}

void SelectionChild::addCandidateRow(QGridLayout* grid, int index, const ResultItem& item, bool bold,
                                     const QStringList& ratings,
                                     const QList<explain::Criterion::Kind>& judgedBy)
{
    const explain::CandidateExplanation* why = explanationOf(index);
    const QString tip = why ? explaintext::toolTip(item, *why) : QString();
    results().addTextCell(grid, 0, item.name(false), Qt::AlignLeft | Qt::AlignVCenter, bold)->setToolTip(tip);
    int n = 1;
    for (int i = 0; i < ratings.size(); ++i, ++n) {
        const explain::Criterion* criterion =
            why && i < judgedBy.size() ? why->find(judgedBy.at(i)) : nullptr;
        QLabel* cell = nullptr;
        if (criterion && !criterion->met && !criterion->notJudged) {
            cell = new MissedFigure(ratings.at(i));
            results().addResultWidget(cell);
            grid->addWidget(cell, qMax(0, grid->rowCount() - 1), n, Qt::AlignCenter);
        } else {
            cell = results().addTextCell(grid, n, ratings.at(i), Qt::AlignCenter);
        }
        cell->setToolTip(tip);
    }
    GEH_ASSERT(n == resultColumnCount());
}

void SelectionChild::addChoice(QGridLayout* grid, const QString& caption,
                               const QList<QPair<QString, int>>& candidates)
{
    results().addBlankRow(grid);
    results().addResultsHeader(grid, QStringLiteral("Ваш выбор"), true);

    auto* choice = new QGridLayout();
    results().addTextCell(choice, 0, caption + QLatin1Char(':'), Qt::AlignRight | Qt::AlignVCenter, true);
    auto* combo = new QSmartComboBox();
    combo->removeCompleter();
    combo->addItem(QStringLiteral("-- Выбрать --"));
    for (const auto& candidate : candidates)
        combo->addItem(candidate.first, candidate.second);
    results().addResultWidget(combo);
    choice->addWidget(combo, choice->rowCount() - 1, 1, Qt::AlignVCenter);
    m_choiceCombo = combo;

    // Plain text under the combo, readable without a mouse; shown with a choice.
    // Broken between its criteria to about the width of the choice, not
    // wrapped by the label: a wrapping label would make the whole results
    // area trade its width for height, and the input column move.
    auto* why = new QLabel();
    why->setTextFormat(Qt::PlainText);
    why->setAlignment(Qt::AlignCenter);
    why->hide();
    results().addResultWidget(why);
    choice->addWidget(why, choice->rowCount(), 0, 1, 2, Qt::AlignCenter);
    m_choiceWhy = why;

    auto* pipes = new PipeSelectionArea(*algorithm());
    results().setPipeArea(pipes);
    pipes->addToLayout(choice);

    auto* report = new QPushButton(QStringLiteral(" Pdf-документ "));
    results().addResultWidget(report);
    choice->addWidget(report, choice->rowCount(), 0, 1, 2, Qt::AlignCenter);

    auto* centred = new QHBoxLayout();
    centred->addStretch();
    centred->addLayout(choice);
    centred->addStretch();
    grid->addLayout(centred, nextRow(grid), 0, 1, resultColumnCount());

    connect(report, &QPushButton::clicked, this, &SelectionChild::showPdf);
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MdiChild::setStdDn);
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SelectionChild::showChoiceExplanation);
}

void SelectionChild::showChoiceExplanation()
{
    if (!m_choiceWhy)
        return;
    const explain::CandidateExplanation* why = explanationOf(chosenIndex());
    m_choiceWhy->setText(why ? explaintext::brokenLine(explaintext::criteriaLine(*why), kChoiceLineWidth)
                             : QString());
    m_choiceWhy->setVisible(why != nullptr);
}

void SelectionChild::addFailure(QGridLayout* grid)
{
    results().addFailure(grid, algorithm()->errorText(), emptyInputs());
    const QString missing = explaintext::noSuitableModel(algorithm()->noSuitableModel());
    if (missing.isEmpty())
        return;
    auto* label = new QLabel(missing);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    results().addResultWidget(label);
    grid->addWidget(label, nextRow(grid), 0, 1, resultColumnCount());
}

void SelectionChild::clearSelectionResults()
{
    m_choiceCombo = nullptr;
    m_choiceWhy = nullptr;
    m_explanations.clear();
    // Out of sight until the next results place it again.
    if (m_dimensions)
        m_dimensions->hide();
    results().clearResults();
}

void SelectionChild::addDimensions(QGridLayout* grid)
{
    const DeviceType type = deviceType();
    const int span = resultColumnCount();
    // The dimension table is a large rich text: laying it out again on every
    // keystroke would cost more than the whole selection.
    if (!m_dimensions || type != m_dimensionsType || span != m_dimensionsSpan) {
        delete m_dimensions;
        m_dimensions = new QWidget(this);
        auto* section = new QGridLayout(m_dimensions);
        section->setContentsMargins(0, 0, 0, 0);
        const int first = results().resultWidgets().size();
        addDimensionsArea(section);
        // The section belongs to this window, not to the results clearResults() deletes.
        results().releaseResultWidgets(first);
        m_dimensionsType = type;
        m_dimensionsSpan = span;
    }
    grid->addWidget(m_dimensions, nextRow(grid), 0, 1, span);
    m_dimensions->show();
}

void SelectionChild::addDimensionsArea(QGridLayout* grid)
{
    const DeviceType type = deviceType();
    results().addResultsHeader(
        grid,
        QStringLiteral("Габаритные размеры") +
            (isRegulator(type) ? QStringLiteral(" регуляторов") : QStringLiteral(" клапанов с ЭИМ")),
        true);
    // A series without a drawing and a table (ЛМР-1-01) shows the header alone.
    if (!hasDimensionDrawing(type))
        return;
    const int span = resultColumnCount();
    auto* picture = new QLabel();
    picture->setPixmap(QPixmap(deviceSizeImageName(type, false)));
    results().addResultWidget(picture);
    grid->addWidget(picture, nextRow(grid), 0, 1, span, Qt::AlignCenter);

    SmartLabel* table = DeviceSizeTableGenerator(type).generateLabel(font().pointSize());
    results().addResultWidget(table);
    grid->addWidget(table, nextRow(grid), 0, 1, span, Qt::AlignCenter);
}

bool SelectionChild::checkChoice(const QString& warning)
{
    // No choice is offered after a refused task: there is nothing to report.
    if (!m_choiceCombo)
        return false;
    if (chosenIndex() < 0) {
        m_choiceCombo->showValidationError(warning);
        return false;
    }
    return !pipeArea() || pipeArea()->validate();
}
