#pragma once

// The candidates of a selection: one catalogue model (device type, DN, Kvs)
// rated for the task.

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
};

class ValveResultItem : public ResultItem
{
public:
    // Highest pipe speed of a liquid that is still acceptable, m/s.
    static constexpr double maxLiquidSpeed = 3.0;

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
