#pragma once

// What the valve and the regulator selection windows share: both run a
// selection from the maker's catalogue, show the calculation details and a
// table of candidates, and end their results with "Ваш выбор" — one candidate
// and the pipes around it — and the button that writes the report of that choice.

#include "engine/explanation.h"
#include "framework/hydraulictaskchild.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class QGridLayout;
class QLabel;
class ResultItem;

class SelectionChild : public HydraulicTaskChild
{
    Q_OBJECT
public:
    SelectionChild(const Doc* data, common::DocType type);

    // The DN of the candidate chosen under "Ваш выбор" (0 while none is chosen).
    int stdDn() const override;

    // The choice combo of the current results; null after a refused task.
    QSmartComboBox* choiceCombo() const { return m_choiceCombo; }
    // The index in the calculation's candidate list of the chosen candidate, -1
    // while none is chosen.
    int chosenIndex() const;
    // The line under the choice that says which criteria the chosen candidate
    // meets and misses; hidden while none is chosen, null after a refused task.
    QLabel* choiceExplanation() const { return m_choiceWhy; }

public slots:
    // The report of the chosen candidate and pipes, opened in the desktop's viewer.
    virtual void showPdf() = 0;

protected:
    // Water and the two glycol solutions: the media whose ratings are shown.
    bool isLiquidMedium() const;

    // "Детали расчёта" and a grid across the results for the figures: a left
    // group from column 0 and a right group from column 4.
    QGridLayout* addDetailsGrid(QGridLayout* grid);
    // The figures every liquid task shows.
    void addDensity(QGridLayout* details);
    void addKv(QGridLayout* details);
    // The saturation pressure of water at the working temperature, MPa, under
    // "Абс. давление насыщенных паров <inDevice>".
    void addSaturationPressure(QGridLayout* details, const QString& inDevice);

    // "Предлагаемые варианты¹" with the column headers of the candidate table.
    void addCandidateHeader(QGridLayout* grid, const QStringList& columns);
    // Why each candidate of the calculation is rated and proposed or rejected
    // as it is, by its index in the candidate list; set before the rows.
    void setExplanations(const QVector<explain::CandidateExplanation>& explanations)
    {
        m_explanations = explanations;
    }
    // One candidate row (`index` in the candidate list): its short designation
    // (bold when recommended), then the cells of its ratings; as many cells as
    // the results have columns. Every cell carries the candidate's whole
    // explanation as its tooltip. `judgedBy` names, per rating cell, the
    // criterion whose verdict the cell shows: a cell whose criterion is missed
    // stands out.
    void addCandidateRow(QGridLayout* grid, int index, const ResultItem& item, bool bold,
                         const QStringList& ratings, const QList<explain::Criterion::Kind>& judgedBy = {});
    // The cavitation and noise cells of a liquid candidate.
    static QStringList riskCells(const ResultItem& item);
    // The rejected candidates are shown only in the rejected mode ("Ctrl+Alt+V").
    void addRejectedHeader(QGridLayout* grid);

    // "Ваш выбор": the caption ("Клапан") with the combo of the proposed
    // candidates (designation, index in the candidate list), the pipes of the
    // calculation and the report button, centred across the results. The pipe
    // DN follows the chosen candidate.
    void addChoice(QGridLayout* grid, const QString& caption, const QList<QPair<QString, int>>& candidates);
    // A refused task: the calculation's message, and under it what the search
    // for a model was missing, when that was why it found none.
    void addFailure(QGridLayout* grid);
    // Before the results are rebuilt: the previous choice goes with them.
    void clearSelectionResults();

    // "Габаритные размеры" of the chosen series across the results. The
    // section depends on the series alone and is laid out once per series.
    void addDimensions(QGridLayout* grid);

    // Before a report: a candidate and every pipe must be chosen; the user is
    // told what is missing (`warning` for the candidate).
    bool checkChoice(const QString& warning);

    // A candidate of the last calculation by its index in the candidate list;
    // null for -1 (nothing chosen).
    virtual const ResultItem* candidate(int index) const = 0;
    template <class Item>
    static const Item* candidateAt(const QList<Item>& results, int index)
    {
        if (index < 0 || !GEH_ASSERT(index < results.size()))
            return nullptr;
        return &results.at(index);
    }

private slots:
    // The criteria of the candidate just chosen, under the choice.
    void showChoiceExplanation();

private:
    // "Габаритные размеры ...": the drawing and the dimension table of deviceType().
    void addDimensionsArea(QGridLayout* grid);
    // The explanation of a candidate by its index; null for -1 or without one.
    const explain::CandidateExplanation* explanationOf(int index) const;

    QPointer<QSmartComboBox> m_choiceCombo;
    QPointer<QLabel> m_choiceWhy;
    QVector<explain::CandidateExplanation> m_explanations;
    // The dimension section of the series shown last, kept across rebuilds.
    QWidget* m_dimensions = nullptr;
    common::DeviceType m_dimensionsType = common::dtEmpty;
    int m_dimensionsSpan = 0;
};
