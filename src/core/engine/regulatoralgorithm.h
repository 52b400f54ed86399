#pragma once

// Selection of direct-acting regulators (ЛМР-Д, ЛМР-1, ЛМР-1-01, ЛМР-2-П)
// from the catalogue for a regulator task: the valve selection's steps plus
// the pressure balance of the differential-pressure scheme and the spring
// tuning range each model must offer for the regulated value.

#include "engine/algorithm.h"
#include "engine/regulatorinputparams.h"
#include "engine/resultitem.h"

class RegulatorAlgorithm : public Algorithm
{
public:
    // The code of a candidate whose springs cannot reach the regulated value.
    static constexpr int noTuningRange = 999;

    RegulatorAlgorithm();

    // Validates the task, computes Kv, builds and rates one candidate per
    // catalogue model that can serve it and marks those not proposed. False
    // with a message in errors() when the task is refused.
    bool calc(const RegulatorInputParams& input);

    // Proposed and rejected candidates of the last calc(), in display order.
    const QList<RegulatorResultItem>& results() const { return m_results; }
    // Why each candidate of results() is proposed or rejected as it is, in the
    // same order; empty without explanations (see explanation.h).
    QVector<explain::CandidateExplanation> explanations() const;

    const InputParams& input() const override { return m_input; }
    const RegulatorInputParams& regulatorInput() const { return m_input; }
    // Over the steam catalogue for the steam regulator, the other one otherwise.
    QList<double> ascendingKvsList() const override;
    void filterResults() override;
    // False for the Kvs values that are not offered for selection.
    bool isKvsAcceptable(double Kvs) const override;

    // The DNs that come with this Kvs, ascending.
    QList<int> diametersByKvs(double Kvs) const;
    // The regulated value, MPa gauge: the differential pressure kept on the
    // regulated section, or the pressure before or after the regulator.
    double setpoint() const;
    // The tuning range code of a model of this DN for the setpoint.
    int tuningRange(int DN) const;
    // The display text of a tuning range code.
    static QString tuningRangeName(int code);

private:
    // The band of the springs of a model of this DN that holds the setpoint.
    explain::TuningSpan tuningSpan(int DN) const;
    RegulatorResultItem evaluate(double Kvs, int DN) const;
    void checkDifferentialScheme();
    void rejectWithoutTuningRange();
    // Refuses the task with the tuning-range message when every candidate is
    // rejected and some have no tuning range.
    void refuseWhenSpringsLeaveNothing();

    RegulatorInputParams m_input;
    QList<RegulatorResultItem> m_results;
};
