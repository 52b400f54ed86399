#pragma once

// The document window of a hydraulic task: the Kv, valve and regulator forms.
// All three ask for a working medium flowing under pressure at a temperature,
// with the flow given directly or through the heat load it carries; this base
// holds those rows, the rules that show, hide and limit them, and the input of
// the calculation they make. The configurators derive from MdiChild alone.

#include "framework/mdichild.h"

class InputParams;

class HydraulicTaskChild : public MdiChild
{
    Q_OBJECT
public:
    HydraulicTaskChild(const Doc* data, common::DocType type);

    // Whether the supply (105) and return (107) temperature rows are shown.
    virtual bool hasSupplyTemperature() const;
    virtual bool hasReturnTemperature() const;
    // Whether the temperatures are limited by the boiling or condensation point.
    virtual bool usePhaseLimits() const;
    // A gas at 0 °C is at a temperature; a glycol solution at 0 % is not filled in.
    bool zeroIsEmpty(const DocKey& key) const override;
    // The choices and texts take the number boxes' column and their units'.
    int controlSpan() const override;

public slots:
    // When the flow is given through the heat load, writes the flow that carries
    // it into the flow field without counting as a modification.
    void recalcQ(InputParams& input);

protected:
    // ---- Input rows -----------------------------------------------------------
    // The input rows of a valve task (the Kv and valve forms): application,
    // pressure, temperature and flow sections with their rows.
    QGridLayout* createValveInputGrid(const QString& supplyTemperatureCaption);
    // The application section: its header across `span` columns, the object, the
    // system, the medium and the solution's concentration; the form adds its
    // own rows under them.
    void addApplicationSection(QGridLayout* grid, int span);
    // Excess or absolute pressure, the first row of every pressure section.
    void addPressureKindRow(QGridLayout* grid);
    // The temperature section: its header across `span` columns, the supply and
    // return rows and the two hints under them.
    void addTemperatureSection(QGridLayout* grid, int span, const QString& header,
                               const QString& supplyTemperatureCaption);
    // The two blue hint labels under the temperature rows, filled by
    // limitTemperature(), each spanning the input columns.
    void addTemperatureHints(QGridLayout* grid);
    // The flow section: its header across `span` columns, the way the flow is
    // given, the heat load and the flow.
    void addFlowSection(QGridLayout* grid, int span);

    // ---- Calculation input ------------------------------------------------------
    // Copies the inputs shared by all calculations into the calculation input.
    void fillCommonInputs(InputParams& input) const;
    // P1 and P2 given and P2 not an absolute vacuum: the boiling point means
    // something (the valve-task forms' usePhaseLimits()).
    bool valvePressuresGiven() const;

    // ---- Showing, hiding, limiting ----------------------------------------------
    // Offers the flow units that make sense for the chosen medium. When the
    // user changes the medium to one that does not take the chosen unit, the
    // first unit it takes is chosen instead.
    void updateFlowUnits();
    // 105 and 107 disabled for saturated steam; shown per the form's flags.
    void updateTemperatureRows();
    // Heat-load rows shown and the flow derived (and disabled) when the flow is
    // given through the heat load.
    void updateHeatLoadRows(InputParams& input);
    // The concentration row only for the glycol solutions.
    void updateConcentrationRow();
    // Sets the range of the temperature fields and the two hint labels.
    void limitTemperature(const InputParams& input);
    // The temperature hint 1 (phase) or 2 (device limit); null before the rows exist.
    QLabel* temperatureHint(int number) const;

    // ---- Results ------------------------------------------------------------------
    // The notes under the candidate tables of the valve and regulator forms.
    void addResultNotes(QGridLayout* grid);

private:
    QLabel* m_temperatureLimits1 = nullptr;
    QLabel* m_temperatureLimits2 = nullptr;
    // The medium the flow units were last offered for (-2: not yet).
    int m_flowUnitsMedium = -2;
};
