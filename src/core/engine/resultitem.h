#pragma once

// The candidates of a selection: one catalogue model (device type, DN, Kvs)
// rated for the task.

#include "engine/explanation.h"
#include "vocabulary/common.h"

#include <QMap>
#include <QString>

class ResultItem
{
public:
    ResultItem();
    virtual ~ResultItem();
    ResultItem(const ResultItem&) = default;
    ResultItem& operator=(const ResultItem&) = default;

    // common::DeviceType of the model.
    int deviceType = common::dtEmpty;
    // Nominal diameter, mm.
    int dn = 0;
    // The model's Kvs, m³/h.
    double kv = 0;
    // Flow speed in a pipe of diameter dn, m/s, by measuring point: one entry
    // at Anywhere for liquids, one before and one after the device otherwise.
    QMap<int, double> m_pipeFlowSpeed;
    // common::NoiseRisk grade.
    int deviceNoiseRisk = 0;
    // Cavitation is expected.
    bool cavitationRisk = false;
    // Not proposed to the user.
    bool rejected = false;
    // The first rule that rejected it (explain::Rejection::Rule), recorded
    // when the calculation explains its candidates; the figures of the rule
    // are the calculation's (see explanations() of the selections).
    quint8 rejectedBy = explain::Rejection::None;

    // "<device> DN <dn> Kvy <Kvs>", with the short or the full device name.
    virtual QString name(bool full) const;
    // Whether this candidate is preferable to another one; never in general.
    virtual bool isBetter(const ResultItem& other) const;
    // Display order: smaller DN first, for equal DN the larger Kvs first.
    virtual bool lessThan(const ResultItem& other) const;

    bool hasCavitationRisk() const { return cavitationRisk; }
    bool hasPipeFlowSpeed(common::DevicePosition l) const { return m_pipeFlowSpeed.contains(l); }
    double pipeFlowSpeed(common::DevicePosition l) const;
    void setPipeFlowSpeed(common::DevicePosition l, double speed) { m_pipeFlowSpeed.insert(l, speed); }

    // The pipe speed as a criterion: a liquid's speed against the highest
    // acceptable one; steam and gases are not judged by speed. Said to be of
    // the design flow; a valve marks its liquid speed as the full-open one.
    explain::Criterion speedCriterion() const;
    // Cavitation as a criterion, with the drop across the device and the drop
    // at which the liquid boils in it, Pa; steam and gases are not judged.
    explain::Criterion cavitationCriterion(bool liquid, double dropPa, double boilingDropPa) const;
};

class ValveResultItem : public ResultItem
{
public:
    // Highest pipe speed of a liquid that is still acceptable, m/s.
    static constexpr double maxLiquidSpeed = 3.0;
    // The band of safety factors that leaves room for regulation without
    // making the valve oversized.
    static constexpr double minGoodReserve = 1.1;
    static constexpr double maxGoodReserve = 1.3;
    // Authority from which the valve controls the flow well.
    static constexpr double minGoodAuthority = 0.5;

    // The rating's comparisons, each in one place.
    static bool isLiquidSpeedAcceptable(double speed);
    static bool isReserveInBand(double reserve);
    static bool isAuthorityGood(double authority);

    // Calculated Kv as a share of the Kvs, %: the opening at the working point.
    double opening = 0;
    // Valve authority: the mean of the authority at the calculated Kv and at
    // the fully open valve of this Kvs (liquids).
    double avtoritet = 0;
    // Flow through the fully open valve in series with the regulated section,
    // m³/h (liquids).
    double QFullOpen = 0;
    // Safety factor Kvs/Kv rounded to two decimals (liquids).
    double Kreserve = 0;

    // Number of the four criteria met: pipe speed, safety factor 1.1…1.3,
    // authority from 0.5, no cavitation. Candidates meeting all four are the
    // ones to recommend.
    int score() const;
    bool isBetter(const ResultItem& other) const override;

    bool isSpeedAcceptable() const;
    bool isReserveAcceptable() const;

    // Adds the four criteria, in the order of the score.
    void explainCriteria(explain::CandidateExplanation& why, bool liquid, double dropPa,
                         double boilingDropPa) const;
};

class RegulatorResultItem : public ResultItem
{
public:
    // Spring tuning range code (see RegulatorAlgorithm::tuningRangeName).
    int tuningRange = 0;
    // common::RegulatorType of the task.
    int regulation = 0;

    // "<device> DN <dn> Kvy <Kvs> (<tuning range>)".
    QString name(bool full) const override;
};
