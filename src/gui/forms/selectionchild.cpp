#include "forms/selectionchild.h"

#include "engine/algorithm.h"
#include "engine/resultitem.h"
#include "engine/substanceproperties.h"
#include "framework/pipeselectionarea.h"
#include "guitools/smallclasses.h"
#include "reports/devicesizetablegenerator.h"
#include "vocabulary/symbols.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

using namespace common;

namespace {

const QChar kSuperscriptOne(0x00B9);

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
    addResultsHeader(grid, QStringLiteral("Детали расчёта"), true);
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
    addResultValueRow(details, 0, QStringLiteral("Плотность рабочей среды"),
                      QStringLiteral("кг/м%1").arg(cubedSign), algorithm()->liquidDensity(), 1);
}

void SelectionChild::addKv(QGridLayout* details)
{
    addResultValueRow(details, 4, QStringLiteral("Расчётный Kv"), QStringLiteral("м%1/ч").arg(cubedSign),
                      algorithm()->kvsMath(), 2);
}

void SelectionChild::addSaturationPressure(QGridLayout* details, const QString& inDevice)
{
    addResultValueRow(details, 0, QStringLiteral("Абс. давление насыщенных<br>паров ") + inDevice,
                      QStringLiteral("МПа"), algorithm()->steamPressure() / 1000000, 3);
}

void SelectionChild::addCandidateHeader(QGridLayout* grid, const QStringList& columns)
{
    addBlankRow(grid);
    addResultsHeader(grid, QStringLiteral("Предлагаемые варианты%0").arg(kSuperscriptOne), true);
    int n = 0;
    for (const QString& column : columns)
        addCaptionCell(grid, n++, column);
    GEH_ASSERT(n == resultColumnCount());
}

void SelectionChild::addRejectedHeader(QGridLayout* grid)
{
    addResultsHeader(grid, QStringLiteral("Отбракованные варианты"), true);
}

QStringList SelectionChild::riskCells(const ResultItem& item)
{
    return {item.hasCavitationRisk() ? QStringLiteral("высокая") : QStringLiteral("низкая"),
            noiseRiskName(NoiseRisk(item.deviceNoiseRisk))};
}

void SelectionChild::addCandidateRow(QGridLayout* grid, const ResultItem& item, bool bold,
                                     const QStringList& ratings)
{
    addTextCell(grid, 0, item.name(false), Qt::AlignLeft | Qt::AlignVCenter, bold);
    int n = 1;
    for (const QString& rating : ratings)
        addTextCell(grid, n++, rating, Qt::AlignCenter);
    GEH_ASSERT(n == resultColumnCount());
}

void SelectionChild::addChoice(QGridLayout* grid, const QString& caption,
                               const QList<QPair<QString, int>>& candidates)
{
    addBlankRow(grid);
    addResultsHeader(grid, QStringLiteral("Ваш выбор"), true);

    auto* choice = new QGridLayout();
    addTextCell(choice, 0, caption + QLatin1Char(':'), Qt::AlignRight | Qt::AlignVCenter, true);
    auto* combo = new QSmartComboBox();
    combo->removeCompleter();
    combo->addItem(QStringLiteral("-- Выбрать --"));
    for (const auto& candidate : candidates)
        combo->addItem(candidate.first, candidate.second);
    addResultWidget(combo);
    choice->addWidget(combo, choice->rowCount() - 1, 1, Qt::AlignVCenter);
    m_choiceCombo = combo;

    auto* pipes = new PipeSelectionArea(*algorithm());
    setPipeArea(pipes);
    pipes->addToLayout(choice);

    auto* report = new QPushButton(QStringLiteral(" Pdf-документ "));
    addResultWidget(report);
    choice->addWidget(report, choice->rowCount(), 0, 1, 2, Qt::AlignCenter);

    auto* centred = new QHBoxLayout();
    centred->addStretch();
    centred->addLayout(choice);
    centred->addStretch();
    grid->addLayout(centred, nextRow(grid), 0, 1, resultColumnCount());

    connect(report, &QPushButton::clicked, this, &SelectionChild::showPdf);
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MdiChild::setStdDn);
}

void SelectionChild::clearSelectionResults()
{
    m_choiceCombo = nullptr;
    // Out of sight until the next results place it again.
    if (m_dimensions)
        m_dimensions->hide();
    clearResults();
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
        const int first = resultWidgets().size();
        addDimensionsArea(section);
        // The section belongs to this window, not to the results clearResults() deletes.
        releaseResultWidgets(first);
        m_dimensionsType = type;
        m_dimensionsSpan = span;
    }
    grid->addWidget(m_dimensions, nextRow(grid), 0, 1, span);
    m_dimensions->show();
}

void SelectionChild::addDimensionsArea(QGridLayout* grid)
{
    const DeviceType type = deviceType();
    addResultsHeader(grid,
                     QStringLiteral("Габаритные размеры") + (isRegulator(type)
                                                                 ? QStringLiteral(" регуляторов")
                                                                 : QStringLiteral(" клапанов с ЭИМ")),
                     true);
    // A series without a drawing and a table (ЛМР-1-01) shows the header alone.
    if (!hasDimensionDrawing(type))
        return;
    const int span = resultColumnCount();
    auto* picture = new QLabel();
    picture->setPixmap(QPixmap(deviceSizeImageName(type, false)));
    addResultWidget(picture);
    grid->addWidget(picture, nextRow(grid), 0, 1, span, Qt::AlignCenter);

    SmartLabel* table = DeviceSizeTableGenerator(type).generateLabel(font().pointSize());
    addResultWidget(table);
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
