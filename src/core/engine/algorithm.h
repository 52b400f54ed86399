#pragma once

// The base of every calculation (Kv alone, valve selection, regulator
// selection): the copy of the task, the user-readable error list, the medium
// properties at the working point and the calculated Kv, with the steps that
// all calculations share.
//
// A calculation stops at the first check that fails: the check appends its
// message to the error list and raises CalculationAbort, which the concrete
// calc() catches. Internal inconsistencies are assertion reports instead and
// never stop a calculation.
//
// The Kv core steps shared by all calculations (the input checks, calcKvsMath,
// noiseRisk, calcPipeFlowSpeed, suitableKvsList) live in kvalgorithm.cpp,
// beside the Kv calculation that uses nothing else.

#include "engine/explanation.h"
#include "engine/inputparams.h"
#include "engine/tolerance.h"
#include "gentools/errorhandle.h"
#include "vocabulary/common.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>

// Ends a calculation once its message is in the error list. It carries nothing:
// everything the user is to see is already recorded.
class CalculationAbort
{
};

class ResultItem;

class Algorithm : public UnitConversions
{
public:
    // Absolute pressure before a device above which the task is refused:
    // 2.5 MPa gauge plus the atmosphere, Pa.
    static constexpr double maxPbeforeAbsInPa = 2601325;

    Algorithm();
    virtual ~Algorithm();
    Algorithm(const Algorithm&) = default;
    Algorithm& operator=(const Algorithm&) = default;

    // The task of the last calc().
    virtual const InputParams& input() const = 0;
    // The catalogue Kvs values of the task's device type, ascending, distinct.
    virtual QList<double> ascendingKvsList() const = 0;
    // Marks the candidates that are not proposed.
    virtual void filterResults() = 0;
    // Whether a catalogue Kvs may serve at all.
    virtual bool isKvsAcceptable(double Kvs) const;

    // Whether calc() records why it rejects candidates and what a failed
    // search for a model was missing (on by default), so that explanations()
    // of the selections can tell. The figures, flags and order of the
    // candidates are the same either way.
    void setExplaining(bool on) { m_explaining = on; }
    bool explaining() const { return m_explaining; }
    // What the last calc() was missing when it found no suitable model.
    const explain::NoSuitableModel& noSuitableModel() const { return m_noSuitableModel; }

    // The messages of the last calc(); rich text.
    const QStringList& errors() const { return m_errors; }
    bool hasError() const { return !m_errors.isEmpty(); }
    // The messages as one rich text, one per line.
    QString errorText() const;

    // Required Kv, m³/h.
    double kvsMath() const { return m_kvsMath; }
    // Density of the liquid at the working temperature, kg/m³ (liquids only).
    double liquidDensity() const;
    // Saturation pressure of the liquid at the working temperature, Pa (liquids only).
    double steamPressure() const;
    // Specific volume of steam at the working temperature and the absolute
    // pressure on the given side of the device, m³/kg (steam only).
    double steamSpecificVolume(common::DevicePosition point) const;

    SubstanceProperties substanceProperties() const { return input().substanceProperties(); }

    // Conversions of the current task's values.
    using UnitConversions::toPa;
    using UnitConversions::toQinM3;
    double toPa(double v) const { return input().toPa(v); }
    double inBars(double v) const { return input().inBars(v); }
    double inAtm(double v) const { return input().inAtm(v); }
    double toQinM3(FlowCondition condition, common::DevicePosition point) const
    {
        return input().toQinM3(condition, point);
    }
    double QinKg() const { return input().QinKg(); }
    bool isHighPressureDrop() const { return input().isHighPressureDrop(); }

    // --- Kv core (kvalgorithm.cpp) ---

    // Computes and stores the required Kv for the medium of the task.
    void calcKvsMath(const InputParams& input);
    // The temperature checks: boiling point of steam at the inlet, filled
    // temperatures, supply warmer than return.
    void checkTemperatures();
    // Noise risk grade (common::NoiseRisk) of the task's pressure drop.
    int noiseRisk(bool cavitation) const;
    // Flow speed in a pipe of nominal diameter DN, mm, of `flow` given in the
    // task's flow measure, taken on the given side of the device, m/s.
    double calcPipeFlowSpeed(int DN, common::DevicePosition point, double flow) const;
    // Speed of a volume flow, m³/h, in a pipe of nominal diameter DN, mm, m/s.
    static double flowSpeedInPipe(double QinM3h, int DN);
    // The catalogue Kvs values that can serve a required Kv (see the .cpp).
    QList<double> suitableKvsList(double kv, double maxFactor);

    // "Не заполнены входные данные": the head of every refusal for input not
    // filled in, and what the configurators say of a choice not made.
    static QString emptyFieldsMessage();
    // "Недопустимые входные данные:<br>": the head of every refusal of a value
    // the task does not allow.
    static QString invalidInputsMessage();

protected:
    // Appends "Недопустимые входные данные:<br>" and the text, then aborts.
    [[noreturn]] void throwValidationError(const QString& error);
    // Appends "Не заполнены входные данные" (with ":<br>" and the text when
    // one is given), then aborts.
    [[noreturn]] void throwEmptyFields(const QString& error = QString());
    // Appends a message as it stands, then aborts.
    [[noreturn]] void throwError(const QString& message);

    // Forgets everything the previous calc() produced.
    void clearResults();
    // Runs the steps of a calculation; an abort ends them. True when no
    // message was recorded.
    template <typename Steps>
    bool runSteps(Steps steps)
    {
        try {
            steps();
        } catch (const CalculationAbort&) {
            GEH_ASSERT(hasError());
            return false;
        }
        return !hasError();
    }

    // Shared input checks, each raising the first failure it finds.
    // Every choice of the task within its table (InputParams::choicesWithinTables);
    // the first step of every calculation, so that no figure, and no message
    // about one, ever comes from a fallback taken for an unknown code.
    void checkChoices();
    // P1 or P2 empty, P2 not below P1, too high a pressure before the device.
    void checkDevicePressures(double P1, double P2, const QString& orderError, const QString& tooHighError);
    // The same with the valve's messages.
    void checkValvePressures(double P1, double P2);
    // The working temperature must be given. A hidden one would only turn into
    // figures that are not numbers, so it is refused after every check of what
    // the user typed, just before the first property is taken at it.
    void checkWorkingTemperature();
    // Flow empty, then flow unit missing, unknown or not one of the medium's
    // (an empty-fields message when `unitIsEmptyField`, otherwise a validation
    // message).
    void checkFlow(bool unitIsEmptyField);
    // Density and vapour pressure of a liquid at the working temperature;
    // refuses a temperature at which the tables give no usable figures.
    void calcLiquidProperties();
    // Cavitation is expected in the device (liquids; false otherwise).
    bool isCavitationExpected() const;
    // A figure of a candidate reaches the user: it must be a number.
    void requireFiniteResult(double value);
    // suitableKvsList(), and when it finds nothing, the required Kv against
    // the largest Kvs of the series in noSuitableModel().
    QList<double> explainedSuitableKvsList(double kv, double maxFactor);
    // The drop across the device and the drop at which the liquid starts to
    // boil in it, Pa: the two sides of the cavitation test (liquids).
    double cavitationDropPa() const;
    double boilingDropPa() const;
    // Both drops for the explanations of the candidates: NaN for steam and
    // gases, which are not judged by cavitation, and when there are no
    // candidates (a refused task may have no medium to ask).
    struct CavitationSides
    {
        bool liquid = false;
        double dropPa = explain::none;
        double boilingPa = explain::none;
    };
    CavitationSides cavitationSides(bool haveCandidates) const;
    // Marks a candidate rejected and, with explanations on, records the rule
    // when it is the first to reject it.
    void markRejected(ResultItem& item, explain::Rejection::Rule rule) const;
    // The rule that rejected a candidate with the figures of the shared
    // rules (the tuning range is the regulator's).
    explain::Rejection rejectionOf(const ResultItem& item) const;

    // Marks the candidates that are not proposed: everything beyond the two
    // smallest diameters, the refused Kvs values, and in each diameter the Kvs
    // values below its two largest.
    template <typename Item>
    void rejectUnproposed(QList<Item>& results);

    double m_steamPressure = 0;
    double m_liquidDensity = 0;
    QStringList m_errors;
    double m_kvsMath = 0;
    bool m_explaining = true;
    explain::NoSuitableModel m_noSuitableModel;
    // The figures of the shared rejection rules of the last calc(), kept with
    // explanations on: the proposed diameters and each one's Kvs threshold.
    QList<int> m_proposedDiameters;
    QList<double> m_thresholds;
};

template <typename Item>
void Algorithm::rejectUnproposed(QList<Item>& results)
{
    std::stable_sort(results.begin(), results.end(),
                     [](const Item& a, const Item& b) { return a.lessThan(b); });

    // The results are sorted by DN: the first two distinct ones are proposed.
    QList<int> diameters;
    for (const Item& item : results)
        if (!diameters.contains(item.dn))
            diameters.append(item.dn);
    std::sort(diameters.begin(), diameters.end());
    diameters = diameters.mid(0, 2);

    for (Item& item : results) {
        if (!diameters.contains(item.dn))
            markRejected(item, explain::Rejection::NotSmallestDiameter);
        if (!isKvsAcceptable(item.kv))
            markRejected(item, explain::Rejection::ExcludedKvs);
    }
    if (m_explaining) {
        m_proposedDiameters = diameters;
        m_thresholds.clear();
    }

    for (int dn : diameters) {
        QList<double> kvs;
        for (const Item& item : results) {
            if (item.dn != dn || item.rejected)
                continue;
            bool known = false;
            for (double kv : kvs)
                known = known || tolerance::equal(kv, item.kv);
            if (!known)
                kvs.append(item.kv);
        }
        std::sort(kvs.begin(), kvs.end());
        const double threshold = kvs.isEmpty() ? 0 : kvs.size() == 1 ? kvs.last() : kvs.at(kvs.size() - 2);
        if (m_explaining)
            m_thresholds.append(threshold);
        for (Item& item : results)
            if (item.dn == dn && tolerance::less(item.kv, threshold))
                markRejected(item, explain::Rejection::BelowDnThreshold);
    }
}
