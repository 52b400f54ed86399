#pragma once

// What the valve and the regulator selection windows share: both run a
// selection from the maker's catalogue, show the calculation details and a
// table of candidates, and end their results with "Ваш выбор" — one candidate
// and the pipes around it — and the button that writes the report of that choice.

#include "engine/explanation.h"
#include "framework/hydraulictaskchild.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"

#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class PdfGenerator;
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
    // The input rows brought up to date, then the results rebuilt from the
    // controls; the choice under "Ваш выбор" is kept while they propose it.
    void recalc() override;

    // The choice combo of the current results; null after a refused task.
    QSmartComboBox* choiceCombo() const { return m_choiceCombo; }
    // The index in the calculation's candidate list of the chosen candidate, -1
    // while none is chosen.
    int chosenIndex() const;
    // The line under the choice that says which criteria the chosen candidate
    // meets and misses; hidden while none is chosen, null after a refused task.
    QLabel* choiceExplanation() const { return m_choiceWhy; }
    // A candidate and every pipe around it are chosen: the choice can be reported.
    bool choiceComplete() const;
    // The report of the choice, written and not yet printed; null while the
    // choice is not complete. Nothing is said to the user.
    virtual std::unique_ptr<PdfGenerator> writtenReport() const = 0;

public slots:
    // The report of the chosen candidate and pipes, opened in the desktop's viewer.
    virtual void showPdf() = 0;

protected:
    // Water and the two glycol solutions: the media whose ratings are shown.
    bool isLiquidMedium() const;

    // What follows in the input rows from the values and choices made (the
    // series offered, the derived drops and flow, the units): the form writes
    // it into its own controls, and that is no modification.
    virtual void updateInputRows() = 0;
    // The selection run on the inputs of the controls; false when it failed.
    virtual bool calculate() = 0;
    // The results of a successful selection: details, candidates, choice.
    virtual void addResults(QGridLayout* grid) = 0;

    // The choice under "Ваш выбор" is part of the document: written while the
    // user has chosen a candidate or a pipe, taken back at opening when the
    // opened task still proposes it.
    void storeResultFields(Doc& target) const override;
    void applyResultFields(const Doc& stored, QMap<DocKey, Doc::FieldRepair>& repaired,
                           UnusableValues& unusable) override;

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
    // `designationJudgedBy` does the same for the designation cell (a valve
    // whose pipe speed is too high), when given.
    void addCandidateRow(QGridLayout* grid, int index, const ResultItem& item, bool bold,
                         const QStringList& ratings, const QList<explain::Criterion::Kind>& judgedBy = {},
                         const explain::Criterion::Kind* designationJudgedBy = nullptr);
    // The cavitation and noise cells of a liquid candidate.
    static QStringList riskCells(const ResultItem& item);
    // The rejected candidates are shown only in the rejected mode ("Ctrl+Alt+V").
    void addRejectedHeader(QGridLayout* grid);

    // "Ваш выбор": the caption ("Клапан") with the combo of the proposed
    // candidates (designation, index in the candidate list), the pipes of the
    // calculation and the report button, centred across the results. The pipe
    // DN follows the candidate the user chooses. The candidate and the pipes
    // chosen before are chosen again when they are still offered; one that is
    // not is dropped, with a line under the header that says so.
    void addChoice(QGridLayout* grid, const QString& caption, const QList<QPair<QString, int>>& candidates);
    // What a window chooses with the candidate, in rows of the choice under the
    // pipes and above the report button; the combo of the candidate is in place.
    virtual void addChoiceSections(QGridLayout* choice) { Q_UNUSED(choice) }
    // The kept candidate is no longer proposed and goes: what was chosen with
    // it goes too, each with a line through results().noteChange().
    virtual void candidateDropped() {}
    // A candidate dropped by the field the user is still changing is kept
    // again: what went with it comes back.
    virtual void candidateRestored() {}
    // The candidate kept as chosen (series and DN; DN 0 while none is).
    int keptSeries() const { return m_choice.series; }
    int keptDn() const { return m_choice.dn; }
    // The user changed what is chosen: the document changed, the calculation did not.
    void noteChoiceChanged();
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
    // The number of candidates of the last calculation, rejected ones included.
    virtual int candidateCount() const = 0;
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
    // The user chose a candidate or a pipe: it is kept, and the document changed.
    void takeChoice();

private:
    // What the user chose under "Ваш выбор", by what identifies it in the
    // catalogue rather than by its place in a list that every calculation
    // makes anew: the candidate's series, DN and Kvs, and the DN of each pipe
    // by its location (PipeLocation). A pipe may be chosen without a candidate.
    struct Choice
    {
        int series = common::dtEmpty;
        int dn = 0;
        double kvs = 0;
        QMap<int, int> pipeDns;

        bool hasCandidate() const { return dn > 0; }
        bool matches(const ResultItem& item) const;
        // "клапан ЛМК-2 DN 50 Kvs 40", as the user is told of it.
        QString candidateText() const;
        void clearCandidate()
        {
            series = common::dtEmpty;
            dn = 0;
            kvs = 0;
        }
    };
    // The kept candidate is not among the proposed ones: it goes, and the
    // results say so in a line under `grid`'s next row.
    void dropCandidate(QGridLayout* grid);
    // The kept pipes the area offers are chosen again; the others go, each
    // with a line. Before the area's combos are connected: choosing again is
    // no choice of the user's.
    void chooseKeptPipes(PipeSelectionArea* pipes);
    // A stored choice the opened task does not propose is dropped and named.
    void checkAtOpening(Choice& choice, UnusableValues& unusable);

    // "Габаритные размеры ...": the drawing and the dimension table of deviceType().
    void addDimensionsArea(QGridLayout* grid);
    // The explanation of a candidate by its index; null for -1 or without one.
    const explain::CandidateExplanation* explanationOf(int index) const;

    Choice m_choice;
    // The candidate a change of one field dropped, and that field: while the
    // user goes on changing the same field (typing "17" over "16" passes
    // through "1"), it comes back as soon as it is proposed again.
    Choice m_dropped;
    DocKey m_droppedBy = DocKey(-1);
    // The field whose change the results being made follow.
    DocKey m_changedBy = DocKey(-1);
    // While the user's choice is told as a modification of the document: the
    // results that show it stay as they are (they hold the combo telling it).
    bool m_choosing = false;

    QPointer<QSmartComboBox> m_choiceCombo;
    QPointer<QLabel> m_choiceWhy;
    QVector<explain::CandidateExplanation> m_explanations;
    // The dimension section of the series shown last, kept across rebuilds.
    QWidget* m_dimensions = nullptr;
    common::DeviceType m_dimensionsType = common::dtEmpty;
    int m_dimensionsSpan = 0;
    // Whether the results being built show the section.
    bool m_dimensionsPlaced = false;
};
