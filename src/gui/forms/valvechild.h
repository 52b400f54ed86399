#pragma once

// The document window "Клапан": the installation described (medium, pressures,
// temperatures, flow or heat load) and the kind of control valve chosen; the
// window selects the valves of that series that can serve the task, shows them
// with their safety factor, authority, cavitation and noise risk, lets the user
// choose one valve and the pipe DN around it, and writes the report of the choice.

#include "engine/inputparams.h"
#include "engine/valvealgorithm.h"
#include "forms/selectionchild.h"

class ValveChild : public SelectionChild
{
    Q_OBJECT
public:
    // data: a document read from a file, or null for a new one.
    explicit ValveChild(const Doc* data = nullptr);

    common::DocType docType() const override { return common::docValve; }
    // The valve type chosen in "Тип клапана".
    common::DeviceType deviceType() const override;
    int inputColumnCount() const override { return 4; }
    // Five columns of ratings for a liquid; steam and gases only name the valve.
    int resultColumnCount() const override;
    bool hasSupplyTemperature() const override;
    bool hasReturnTemperature() const override;
    QLayout* createInputArea() override;
    Algorithm* algorithm() override { return &m_algorithm; }
    bool usePhaseLimits() const override;

    const ValveAlgorithm& valveAlgorithm() const { return m_algorithm; }
    // The candidate chosen under "Ваш выбор", or null.
    const ValveResultItem* chosenValve() const;

public slots:
    // The user picked a valve: nothing else follows from it here.
    void onUserValveChanged();
    void showPdf() override;

protected:
    const ResultItem* candidate(int index) const override;
    int candidateCount() const override { return m_algorithm.results().size(); }
    // The input rows follow the medium, the units and the pressures.
    void updateInputRows() override;
    bool calculate() override;
    void addResults(QGridLayout* grid) override;

private:
    // The valve series offered for the medium, keeping the user's choice while
    // it is still offered.
    void fillValveTypes();
    ValveInputParams inputFromControls() const;
    void addDetails(QGridLayout* grid);
    QStringList ratingCells(const ValveResultItem& item) const;

    ValveAlgorithm m_algorithm;
    ValveInputParams m_input;
};
