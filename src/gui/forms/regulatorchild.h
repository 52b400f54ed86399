#pragma once

// The document window "Регулятор": a direct-acting regulator selected for a
// regulation task — the differential pressure of a regulated section (ЛМР-Д),
// the pressure before the regulator (ЛМР-1, "до себя") or after it (ЛМР-2-П,
// "после себя"). The window shows the pressure rows the task needs, keeps the
// pressure losses of the differential scheme balanced, lists the regulators that
// can serve, lets the user choose one and the pipe DN, and writes the report.

#include "engine/regulatoralgorithm.h"
#include "engine/regulatorinputparams.h"
#include "forms/selectionchild.h"

class RegulatorChild : public SelectionChild, public common::RegulatorFields
{
    Q_OBJECT
public:
    // data: a document read from a file, or null for a new one.
    explicit RegulatorChild(const Doc* data = nullptr);

    common::DocType docType() const override { return common::docRegulator; }
    // The regulator the task and the medium call for.
    common::DeviceType deviceType() const override;
    int inputColumnCount() const override { return 4; }
    // Three columns of ratings for a liquid; otherwise only the regulator.
    int resultColumnCount() const override;
    bool hasSupplyTemperature() const override;
    bool hasReturnTemperature() const override;
    QLayout* createInputArea() override;
    Algorithm* algorithm() override { return &m_algorithm; }
    bool usePhaseLimits() const override;

    const RegulatorAlgorithm& regulatorAlgorithm() const { return m_algorithm; }
    // The candidate chosen under "Ваш выбор", or null.
    const RegulatorResultItem* chosenRegulator() const;
    // The regulation task chosen (common::RegulatorType), -1 when none.
    int regulation() const;
    std::unique_ptr<PdfGenerator> writtenReport() const override;
    QList<ScheduleRow> scheduleRows() const override;

public slots:
    // The pressure balance: ΔPрег = P1 - P2, and the losses of the
    // differential scheme close the drop between the supply and return pipes.
    // Before the user types a loss the two share what the drops leave; once
    // one is typed, the other takes the rest, and a typed loss is never
    // overwritten: when it leaves no rest, the drops stay unbalanced and the
    // calculation says so.
    void updateDp();
    // The pressure sub-labels follow the unit; the temperature limits follow the pressures.
    void updatePressureMeasure();
    void showPdf() override;
    // The rows of the chosen task; the unit combo on the first pressure row.
    void updateVisibility();
    // Tasks 2 and 3 fix the installation place and take the flow directly.
    void updateInstallPlace();
    // Liquids may have any task; steam and gases only the pressure after the regulator.
    void updateRegType();

protected:
    const ResultItem* candidate(int index) const override;
    int candidateCount() const override { return m_algorithm.results().size(); }
    // The rows, units, balance and derived flow of the chosen task.
    void updateInputRows() override;
    bool calculate() override;
    void addResults(QGridLayout* grid) override;
    // Besides the choice: a stored loss before the section that is not half
    // of what the drops leave was typed by the user, and stays theirs.
    void applyResultFields(const Doc& stored, QMap<DocKey, Doc::FieldRepair>& repaired,
                           UnusableValues& unusable) override;

private:
    RegulatorInputParams inputFromControls() const;
    // Moves the pressure unit combo to column 3 of the row of `code`.
    void moveUnitCombo(qint16 code);
    // What the drops of the differential scheme leave for the two losses
    // (Pпод - Pобр - ΔPрег - ΔPру); NaN while one of the four is not given.
    double lossesRest() const;
    QStringList ratingCells(const RegulatorResultItem& item) const;

    RegulatorAlgorithm m_algorithm;
    RegulatorInputParams m_input;
    QGridLayout* m_inputGrid = nullptr;
    // The loss the user typed last (fcLossesBefore or fcLossesAfter), 0
    // before any: how the user is editing now, not part of the document.
    qint16 m_typedLoss = 0;
};
