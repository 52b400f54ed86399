#include "forms/selectionchild.h"

#include "engine/algorithm.h"
#include "engine/resultitem.h"
#include "engine/substanceproperties.h"
#include "engine/tolerance.h"
#include "forms/explanationtext.h"
#include "framework/layoutkit.h"
#include "framework/pipeselectionarea.h"
#include "framework/unusablevalues.h"
#include "guitools/smallclasses.h"
#include "reports/devicesizetablegenerator.h"
#include "vocabulary/displaynumber.h"
#include "vocabulary/fieldcodes.h"
#include "vocabulary/symbols.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

#include <cmath>

using namespace common;

namespace {

const QChar kSuperscriptOne(0x00B9);
// Characters of a line of the explanation under the choice: about the width
// of the choice combo.
const int kChoiceLineWidth = 56;

// The pipe area lists the standard DN series in its order after "-- Выбрать --":
// the DN of an item, 0 for none, and the item of a DN, -1 when not offered.
int pipeDnAt(int item)
{
    return item >= 1 ? PipeSelectionArea::standardDns().value(item - 1) : 0;
}

int pipeItemOf(int dn)
{
    const int i = PipeSelectionArea::standardDns().indexOf(dn);
    return i < 0 ? -1 : i + 1;
}

bool isPipeLocation(int location)
{
    return location == plBefore || location == plAfter || location == plSingle;
}

// The caption of a pipe's row, as the user knows the pipe.
QString pipeCaption(int location, bool regulator)
{
    const QString noun = regulator ? QStringLiteral("регулятор") : QStringLiteral("клапан");
    return location == plBefore  ? QStringLiteral("Трубопровод до %1а").arg(noun)
           : location == plAfter ? QStringLiteral("Трубопровод после %1а").arg(noun)
                                 : QStringLiteral("Трубопровод");
}

const QString kNotChosen = QStringLiteral("не выбрано");
const QString kNotProposed = QStringLiteral("не выбрано: не предлагается для этих данных");

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
    // centred: the figure stands in the middle of its column (a rating); a
    // designation starts at the left edge as the others do.
    explicit MissedFigure(const QString& text, bool centred = true) : QLabel(text)
    {
        framework::setTextColour(this, warningColour(palette()));
        const int mark = QFontMetrics(markFont()).horizontalAdvance(QStringLiteral(" !"));
        setContentsMargins(centred ? mark : 0, 0, mark, 0);
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

bool missed(const explain::Criterion* criterion)
{
    return criterion && !criterion->met && !criterion->notJudged;
}

} // namespace

SelectionChild::SelectionChild(const Doc* data, DocType type) : HydraulicTaskChild(data, type)
{
}

void SelectionChild::recalc()
{
    // The choice is what changed: the results already show it.
    if (m_choosing)
        return;
    updateInputRows();
    clearSelectionResults();
    // Read before the results are made: telling the form's own changes ends it.
    m_changedBy = userChange();
    if (!m_choice.hasCandidate() && m_dropped.hasCandidate()) {
        if (m_changedBy == m_droppedBy) {
            m_choice.series = m_dropped.series;
            m_choice.dn = m_dropped.dn;
            m_choice.kvs = m_dropped.kvs;
            candidateRestored();
        }
        m_dropped.clearCandidate();
    }
    QGridLayout* grid = results().createResultsGrid();
    // Nothing is computed from a value the task does not allow.
    const bool refused = refuseOutOfRange(grid);
    if (!refused && calculate()) {
        addResults(grid);
    } else {
        if (!refused)
            addFailure(grid);
        // A task without candidates proposes none of them.
        dropCandidate(grid);
    }
    // Results without the section hide it; results with it leave it on screen
    // as it was, not hidden and shown (and painted) again on every keystroke.
    if (m_dimensions && !m_dimensionsPlaced)
        m_dimensions->hide();
    results().finishResultsGrid(grid);
}

bool SelectionChild::Choice::matches(const ResultItem& item) const
{
    return item.deviceType == series && item.dn == dn && tolerance::equal(item.kv, kvs);
}

QString SelectionChild::Choice::candidateText() const
{
    const bool regulator = isRegulator(DeviceType(series));
    return QStringLiteral("%1 %2 DN %3 %4 %5")
        .arg(regulator ? QStringLiteral("регулятор") : QStringLiteral("клапан"),
             deviceTypeName(DeviceType(series), false))
        .arg(dn)
        .arg(regulator ? QStringLiteral("Kvy") : QStringLiteral("Kvs"), displayShortest(kvs));
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
    // A long caption stands clear of its value box.
    details->setHorizontalSpacing(qMax(6, style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing)));
    // The figures stand one under another, caption, value and unit: two groups
    // side by side would ask more width than the candidate table, which is what
    // the results column must hold on a laptop's screen.
    details->setColumnStretch(3, 100);
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
    results().addResultValueRow(details, 0, QStringLiteral("Расчётный Kv"),
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
                                     const QList<explain::Criterion::Kind>& judgedBy,
                                     const explain::Criterion::Kind* designationJudgedBy)
{
    const explain::CandidateExplanation* why = explanationOf(index);
    const QString tip = why ? explaintext::toolTip(item, *why) : QString();
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    if (why && designationJudgedBy && missed(why->find(*designationJudgedBy))) {
        auto* name = new MissedFigure(item.name(false), false);
        if (bold) {
            QFont font = name->font();
            font.setBold(true);
            name->setFont(font);
        }
        results().addResultWidget(name);
        grid->addWidget(name, nextRow(grid), 0, left);
        name->setToolTip(tip);
    } else {
        results().addTextCell(grid, 0, item.name(false), left, bold)->setToolTip(tip);
    }
    int n = 1;
    for (int i = 0; i < ratings.size(); ++i, ++n) {
        const explain::Criterion* criterion =
            why && i < judgedBy.size() ? why->find(judgedBy.at(i)) : nullptr;
        QLabel* cell = nullptr;
        if (missed(criterion)) {
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

    // The candidate chosen before, found again by what it is.
    int kept = 0;
    for (int i = 0; i < candidates.size() && m_choice.hasCandidate() && !kept; ++i)
        if (const ResultItem* item = candidate(candidates.at(i).second); item && m_choice.matches(*item))
            kept = i + 1;
    if (!kept)
        dropCandidate(grid);
    auto* pipes = new PipeSelectionArea(*algorithm());
    results().setPipeArea(pipes);
    chooseKeptPipes(pipes);
    results().addChangeNotes(grid);

    // One column: every caption above its choice, so that the longest
    // designations and pipes take the results column's width and no more.
    auto* choice = new QGridLayout();
    results().addTextCell(choice, 0, caption + QLatin1Char(':'), Qt::AlignLeft | Qt::AlignBottom, true);
    auto* combo = new QSmartComboBox();
    combo->removeCompleter();
    // A designation too long for the column keeps its end, where the DN, the
    // Kvs and the range tell the candidates apart.
    combo->setShownCharacters(PipeSelectionArea::shownCharacters, Qt::ElideMiddle);
    combo->addItem(QStringLiteral("-- Выбрать --"));
    for (const auto& candidate : candidates)
        combo->addItem(candidate.first, candidate.second);
    combo->setCurrentIndex(kept);
    results().addResultWidget(combo);
    choice->addWidget(combo, choice->rowCount(), 0);
    m_choiceCombo = combo;

    // Plain text under the combo, readable without a mouse; shown with a choice.
    // Broken between its criteria to about the width of the choice, not
    // wrapped by the label: a wrapping label would make the whole results
    // area trade its width for height, and the input column move.
    // A parent from the start: shown without one, the line would be a window
    // of its own until the results adopt it.
    auto* why = new QLabel(this);
    why->setTextFormat(Qt::PlainText);
    why->setAlignment(Qt::AlignCenter);
    why->hide();
    results().addResultWidget(why);
    choice->addWidget(why, choice->rowCount(), 0, Qt::AlignCenter);
    m_choiceWhy = why;
    showChoiceExplanation();

    pipes->addToLayout(choice);
    addChoiceSections(choice);

    auto* report = new QPushButton(QStringLiteral(" Pdf-документ "));
    results().addResultWidget(report);
    choice->addWidget(report, choice->rowCount(), 0, Qt::AlignCenter);

    auto* centred = new QHBoxLayout();
    centred->addStretch();
    centred->addLayout(choice);
    centred->addStretch();
    grid->addLayout(centred, nextRow(grid), 0, 1, resultColumnCount());

    // Connected after the kept choice is made again: that is no choice of the
    // user's, and it must not move the kept pipes to the candidate's DN.
    connect(report, &QPushButton::clicked, this, &SelectionChild::showPdf);
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MdiChild::setStdDn);
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SelectionChild::showChoiceExplanation);
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &SelectionChild::takeChoice);
    for (int location : pipes->locations())
        connect(pipes->combo(location), QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &SelectionChild::takeChoice);
}

void SelectionChild::dropCandidate(QGridLayout* grid)
{
    if (!m_choice.hasCandidate())
        return;
    results().noteChange(QStringLiteral("Выбранный ранее %1 больше не предлагается: выберите заново")
                             .arg(m_choice.candidateText()));
    candidateDropped();
    m_dropped = m_choice;
    m_droppedBy = m_changedBy;
    m_choice.clearCandidate();
    results().addChangeNotes(grid);
}

void SelectionChild::chooseKeptPipes(PipeSelectionArea* pipes)
{
    for (auto it = m_choice.pipeDns.begin(); it != m_choice.pipeDns.end();) {
        const int item = pipeItemOf(it.value());
        if (item >= 0 && pipes->locations().contains(it.key())) {
            pipes->combo(it.key())->setCurrentIndex(item);
            ++it;
            continue;
        }
        QString pipe = pipeCaption(it.key(), pipes->isRegulator());
        pipe[0] = pipe.at(0).toLower();
        results().noteChange(
            QStringLiteral("Выбранный ранее %1 DN %2 больше не предлагается: выберите заново")
                .arg(pipe)
                .arg(it.value()));
        it = m_choice.pipeDns.erase(it);
    }
}

void SelectionChild::takeChoice()
{
    if (!m_choiceCombo)
        return;
    // The user's own choice ends what a change dropped.
    m_dropped.clearCandidate();
    if (const ResultItem* chosen = candidate(chosenIndex())) {
        m_choice.series = chosen->deviceType;
        m_choice.dn = chosen->dn;
        m_choice.kvs = chosen->kv;
    } else {
        m_choice.clearCandidate();
    }
    if (PipeSelectionArea* pipes = pipeArea()) {
        for (int location : pipes->locations()) {
            const int dn = pipeDnAt(pipes->combo(location)->currentIndex());
            if (dn > 0)
                m_choice.pipeDns.insert(location, dn);
            else
                m_choice.pipeDns.remove(location);
        }
    }
    noteChoiceChanged();
}

void SelectionChild::noteChoiceChanged()
{
    // The results that show the choice stay as they are: they hold the combo
    // that tells it.
    m_choosing = true;
    onModified();
    m_choosing = false;
}

void SelectionChild::storeResultFields(Doc& target) const
{
    if (m_choice.hasCandidate()) {
        target.setValue(DocKey(ChoiceFields::fcChosenSeries), m_choice.series);
        target.setValue(DocKey(ChoiceFields::fcChosenDn), m_choice.dn);
        target.setValue(DocKey(ChoiceFields::fcChosenKvs), m_choice.kvs);
    }
    for (auto it = m_choice.pipeDns.cbegin(); it != m_choice.pipeDns.cend(); ++it)
        target.setValue(DocKey(ChoiceFields::fcChosenPipeDn, qint16(it.key())), it.value());
}

void SelectionChild::applyResultFields(const Doc& stored, QMap<DocKey, Doc::FieldRepair>& repaired,
                                       UnusableValues& unusable)
{
    const bool regulator = isRegulator(deviceType());
    Choice choice;
    bool candidateStored = false;
    QStringList unreadable;
    for (const DocKey& key : stored.keys()) {
        if (key.fieldCode < ChoiceFields::fcChosenSeries || key.fieldCode > ChoiceFields::fcChosenPipeDn)
            continue;
        // A value of the wrong kind was cleared by the repair of the document.
        const bool cleared = repaired.remove(key) > 0;
        const QVariant value = stored.value(key);
        const bool usable = !cleared && !value.isNull();
        if (key.fieldCode == ChoiceFields::fcChosenPipeDn) {
            if (usable && isPipeLocation(key.index) && pipeItemOf(value.toInt()) >= 0)
                choice.pipeDns.insert(key.index, value.toInt());
            else
                unusable.addShown(pipeCaption(key.index, regulator), kNotChosen,
                                  UnusableValues::fieldDetail(stored, key, kNotChosen));
            continue;
        }
        candidateStored = true;
        if (!usable || key.index != 0) {
            unreadable << UnusableValues::fieldDetail(stored, key, kNotChosen);
            continue;
        }
        if (key.fieldCode == ChoiceFields::fcChosenSeries)
            choice.series = value.toInt();
        else if (key.fieldCode == ChoiceFields::fcChosenDn)
            choice.dn = value.toInt();
        else
            choice.kvs = value.toDouble();
    }
    // A candidate is known by all three of its figures, or not at all.
    if (candidateStored &&
        (!unreadable.isEmpty() || !choice.hasCandidate() || !(choice.kvs > 0) || choice.series == dtEmpty)) {
        unusable.addShown(QStringLiteral("Ваш выбор"), kNotChosen,
                          unreadable.isEmpty() ? QStringLiteral("выбор не полон")
                                               : unreadable.join(QLatin1Char('\n')));
        choice.clearCandidate();
    }
    if (choice.hasCandidate() || !choice.pipeDns.isEmpty())
        checkAtOpening(choice, unusable);
    m_choice = choice;
}

void SelectionChild::checkAtOpening(Choice& choice, UnusableValues& unusable)
{
    // The first results come with the first show, the opening warning now:
    // the calculation those results will make is made here, on the same controls.
    updateInputRows();
    const bool calculated = outOfRangeInputs().isEmpty() && calculate();
    if (choice.hasCandidate()) {
        bool proposed = false;
        for (int i = 0; calculated && i < candidateCount() && !proposed; ++i)
            if (const ResultItem* item = candidate(i))
                proposed = !item->rejected && choice.matches(*item);
        if (!proposed) {
            unusable.addShown(QStringLiteral("Ваш выбор"), kNotProposed,
                              QStringLiteral("%1 не предлагается").arg(choice.candidateText()));
            choice.clearCandidate();
        }
    }
    // Without results there are no pipes to judge: they wait for the task.
    if (!calculated)
        return;
    const PipeSelectionArea offered(*algorithm());
    for (auto it = choice.pipeDns.begin(); it != choice.pipeDns.end();) {
        if (offered.locations().contains(it.key())) {
            ++it;
            continue;
        }
        unusable.addShown(
            pipeCaption(it.key(), offered.isRegulator()), kNotProposed,
            QStringLiteral("трубопровод DN %1 в месте %2 не предлагается").arg(it.value()).arg(it.key()));
        it = choice.pipeDns.erase(it);
    }
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
    // Out of sight after the rebuild unless the next results place it again.
    m_dimensionsPlaced = false;
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
    // Under the input and the results, across the window: the drawing and its
    // table of fifteen sizes are wider than the results column can be beside
    // the input on a laptop's screen.
    Q_UNUSED(grid);
    auto* window = qobject_cast<QGridLayout*>(layout());
    if (window && window->indexOf(m_dimensions) < 0)
        window->addWidget(m_dimensions, window->rowCount(), 0, 1, window->columnCount(), Qt::AlignHCenter);
    m_dimensions->show();
    m_dimensionsPlaced = true;
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
    // On a dense screen the drawing made at twice the size, line for line of
    // the screen's pixels.
    const QString drawing = deviceSizeImageName(type, false);
    QString dense = drawing;
    dense.insert(dense.size() - 4, QStringLiteral("@2x"));
    QPixmap pixmap(devicePixelRatioF() > 1 ? dense : drawing);
    if (pixmap.isNull())
        pixmap = QPixmap(drawing);
    else if (devicePixelRatioF() > 1)
        pixmap.setDevicePixelRatio(2);
    picture->setPixmap(pixmap);
    results().addResultWidget(picture);
    grid->addWidget(picture, nextRow(grid), 0, 1, span, Qt::AlignCenter);

    SmartLabel* table = DeviceSizeTableGenerator(type).generateLabel(font().pointSize());
    results().addResultWidget(table);
    grid->addWidget(table, nextRow(grid), 0, 1, span, Qt::AlignCenter);
}

bool SelectionChild::choiceComplete() const
{
    return m_choiceCombo && chosenIndex() >= 0 && (!pipeArea() || pipeArea()->isComplete());
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
