#pragma once

// The document window "Расходомер": the configurator of the ЛМФ
// counter-flowmeters. The user picks the options of the meter; the form offers
// only the combinations that are made and builds the order designation, which
// it shows and copies to the clipboard.

#include "configurators/flowmeterconfig.h"
#include "framework/mdichild.h"

class QLabel;

class FlowMeterChild : public MdiChild
{
    Q_OBJECT
public:
    // data: a document read from a file, or null for a new one.
    explicit FlowMeterChild(const Doc* data = nullptr);

    common::DocType docType() const override { return common::docFlowMeter; }
    common::DeviceType deviceType() const override { return common::dtLMF; }
    void recalc() override;
    int inputColumnCount() const override { return 4; }
    int resultColumnCount() const override { return 1; }
    QLayout* createInputArea() override;
    // The order designation shown in the results (empty while a choice is missing).
    QString copyText() const override { return m_designation; }

    // The choices the controls hold now.
    configurators::FlowMeterChoice choice() const;
    // The pulse weight range of an ultrasonic meter with the chosen diameter,
    // form and series; empty (and reported when a diameter is chosen) when the
    // table has no row for them.
    common::LmfPulseWeightRange rangeU() const;
    // The meter by its order designation, once every option is chosen.
    QList<ScheduleRow> scheduleRows() const override;

protected:
    // The table lookup behind rangeU().
    virtual common::LmfPulseWeightRange pulseWeightRange(int dn, int form, int series) const;

private:
    // The choices that select the pulse weight: when any of them changes, a
    // weight they no longer allow gives way to the factory value (ultrasonic) or
    // the default item (electromagnetic). The measuring principle is among them:
    // it decides which of the two weights applies.
    struct SelectionState
    {
        int type = -1;
        int dn = -1;
        int form = -1;
        int beams = -1;
        int series = -1;

        bool operator==(const SelectionState& other) const;
        bool operator!=(const SelectionState& other) const { return !(*this == other); }
    };

    SelectionState selectionState() const;
    // The measuring principle whose pulse weight the user sets now: the
    // electromagnetic code, or the ultrasonic number unless the standard weight
    // is asked for; -1 for neither.
    int openWeightType() const;
    // Only the combinations that are made: the option lists, shown rows and
    // forced check boxes of every option.
    void applyOptionRules();
    // The pulse weight range or list. When the selection state changed, a weight
    // the new choices still allow stays; another one is replaced, and the user
    // is told (m_weightChange) when the field was in front of them.
    void applyPulseWeightRules();
    void followUltrasonicWeight(const common::LmfPulseWeightRange& range, bool changed, bool standard);
    void followElectromagneticWeight(const configurators::FlowMeterChoice& chosen, bool changed);
    // Under the designation (or the message standing in for it): the line
    // telling that the form changed the pulse weight.
    void addWeightChangeNote(QGridLayout* grid);
    // Fixes the widths of the caption and option columns (see the definition).
    void keepColumnWidths();
    // Keeps only the options the field offers for the current choices in its
    // combo; the current item stays while it is offered.
    void filter(common::LmfField field);
    bool isChecked(qint16 field) const;
    QComboBox* lmfFormCombo() const;
    // The first shown option combo without a choice, in field order; null when
    // every shown option is chosen.
    QComboBox* firstMissingChoice() const;

    QLabel* m_dnNote = nullptr;
    QLabel* m_pulseWeightNote = nullptr;
    SelectionState m_lastState;
    // The measuring principle whose pulse weight the user could see and set at
    // the last results (-1: neither): only a weight they saw is told of.
    int m_openWeightType = -1;
    QString m_weightChange;
    common::LmfPulseWeightRange m_range;
    QString m_designation;
};
