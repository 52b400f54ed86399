#pragma once

// The Kv calculation: the required flow coefficient of a valve for a task,
// without a catalogue behind it.

#include "engine/algorithm.h"

class KvAlgorithm : public Algorithm
{
public:
    KvAlgorithm();

    // Validates the task and computes Kv; false with a message in errors()
    // when the task is refused.
    bool calc(const KvInputParams& input);

    const InputParams& input() const override { return m_input; }
    // The Kv calculation has no catalogue.
    QList<double> ascendingKvsList() const override;
    void filterResults() override {}

private:
    KvInputParams m_input;
};
