#pragma once

// Selection of control valves (ЛМК-2, ЛМК-3, ЛМК-П) from the catalogue for a
// valve task.

#include "engine/algorithm.h"
#include "engine/resultitem.h"

class ValveAlgorithm : public Algorithm
{
public:
    ValveAlgorithm();

    // Validates the task, computes Kv, builds and rates one candidate per
    // catalogue model that can serve it and marks those not proposed. False
    // with a message in errors() when the task is refused.
    bool calc(const ValveInputParams& input);

    // Proposed and rejected candidates of the last calc(), in display order.
    const QList<ValveResultItem>& results() const { return m_results; }
    // Why each candidate of results() is rated and proposed or rejected as it
    // is, in the same order; empty without explanations (see explanation.h).
    QVector<explain::CandidateExplanation> explanations() const;

    const InputParams& input() const override { return m_input; }
    const ValveInputParams& valveInput() const { return m_input; }
    QList<double> ascendingKvsList() const override;
    void filterResults() override;

    // The DNs of the task's series that come with this Kvs, ascending.
    QList<int> diametersByKvs(double Kvs) const;
    // Flow through the fully open valve of this Kvs in series with the
    // regulated section, under the whole drop, m³/h (liquids).
    double QFullOpen(double Kvs) const;

private:
    ValveResultItem evaluate(double Kvs, int DN) const;

    ValveInputParams m_input;
    QList<ValveResultItem> m_results;
};
