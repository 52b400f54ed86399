#pragma once

// The document window "Расчёт Kv": a working medium, two pressures, a
// temperature and a flow in; the flow coefficient Kv of a valve out.

#include "engine/inputparams.h"
#include "engine/kvalgorithm.h"
#include "framework/hydraulictaskchild.h"

class KvChild : public HydraulicTaskChild
{
    Q_OBJECT
public:
    // data: a document read from a file, or null for a new one.
    explicit KvChild(const Doc* data = nullptr);

    common::DocType docType() const override { return common::docKv; }
    common::DeviceType deviceType() const override { return common::dtEmpty; }
    void recalc() override;
    int inputColumnCount() const override { return 4; }
    int resultColumnCount() const override { return 1; }
    bool hasSupplyTemperature() const override { return true; }
    bool hasReturnTemperature() const override { return false; }
    QLayout* createInputArea() override;
    bool usePhaseLimits() const override;
    // The computed Kv with two decimals.
    QString copyText() const override;

    const KvAlgorithm& kvAlgorithm() const { return m_algorithm; }
    // A Kv calculation chooses no device: its row says so.
    QList<ScheduleRow> scheduleRows() const override;

public slots:
    // The sub-labels of P2 and ΔP follow the pressure unit; the temperature
    // limits follow the pressures.
    void updatePressureMeasure();
    // ΔP = P1 - P2, written without counting as a modification.
    void updateDiffs();
    // Nothing depends on the flow setting in this form.
    void updateWaterFlowSet();

private:
    KvInputParams inputFromControls() const;

    KvAlgorithm m_algorithm;
    KvInputParams m_input;
};
