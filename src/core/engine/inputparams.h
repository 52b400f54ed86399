#pragma once

// The input of every calculation: the hydraulic task exactly as the user typed
// it (values in the chosen units, pressures gauge or absolute, the flow given
// directly or derived from a heat load), and the conversions into the engine's
// internal units: Pa (absolute), m³/h or kg/h, Gcal/h, °C. User values are
// converted on use and never stored converted.

#include "engine/substanceproperties.h"
#include "vocabulary/common.h"

#include <QString>

// Whether a volume is taken at normal conditions (20 °C, 101325 Pa) or at the
// conditions at the device. Liquids have the same volume under both.
enum FlowCondition { Norm = 0, Working = 1 };

// The unit conversions shared by all calculations. The calculation base class
// derives from this one, so the conversions are its static operations too.
class UnitConversions
{
public:
    // Atmospheric pressure, Pa: the difference between absolute and gauge values,
    // and the normal pressure of gas volumes.
    static constexpr double atmosphereInPa = 101325;

    // Pressure in `measure` (common::PressureMeasure) to Pa, and back.
    static double toPa(double v, int measure);
    static double fromPa(double vPa, int measure);

    // Volumetric flow, m³/h, of `flow` given in `flowMeasure` (common::WfMeasure)
    // at T °C; the pressure is P1Pa before the device, P2Pa elsewhere. Gas volumes
    // in volumetric measures are normal cubic metres; with `Working` they are
    // turned into the volume at the device.
    static double toQinM3(FlowCondition condition, common::DevicePosition point, double flow, double T,
                          const SubstanceProperties& substance, int flowMeasure, double P1Pa, double P2Pa);
    // A mass flow in t/h expressed in `flowMeasure`; volumes of liquids at T °C.
    static double QfromTones(double flowTph, int flowMeasure, double T, const SubstanceProperties& substance);
    // Heat in `heatMeasure` (common::HeatMeasure) to Gcal/h.
    static double toGKal(double value, int heatMeasure);
    // The flow of a liquid, in `flowMeasure`, that carries `heat` when cooled from
    // T1 to T2 °C at the mean absolute pressure Pmean Pa; 0 when T1 equals T2.
    // Volumes are taken at the density at T1. A heat or flow unit outside its
    // table carries no flow: the answer is 0, the flow not filled in, rather
    // than a flow read through a fallback unit.
    static double calcQbyHeat(double heat, int heatMeasure, int flowMeasure, double T1, double T2,
                              const SubstanceProperties& substance, double Pmean);

    // Whether a code names a unit of its table (0, "none", names none).
    static bool isPressureMeasure(int measure);
    static bool isFlowMeasure(int measure);
    static bool isHeatMeasure(int measure);
};

// The abstract input; each calculation keeps a copy of its concrete kind.
class InputParams
{
public:
    InputParams();
    virtual ~InputParams();
    InputParams(const InputParams&) = default;
    InputParams& operator=(const InputParams&) = default;

    // "Наименование объекта"; carried to reports only.
    QString objectName;
    // common::PressureKind: 1 absolute, 2 gauge; for every pressure of the task.
    int pressureType;
    // common::PressureMeasure of every pressure and pressure drop; 0 none.
    int pressureMeasure;
    // common::HeatMeasure of heatLoad.
    int heatMeasure;
    // common::WfMeasure of flow; 0 none.
    int flowMeasure;
    // flowGivenDirectly or flowFromHeatLoad (the ids of the forms' radio group,
    // stored in documents).
    int flowInputMode;
    static constexpr int flowGivenDirectly = 1;
    static constexpr int flowFromHeatLoad = 2;
    // common::Loop served ("Система"), -1 when not chosen; carried to reports only.
    int system;
    // common::InstallPlace: 1 supply pipe, 2 return pipe.
    int place;
    // common::SubstanceType.
    int substance;
    // Glycol concentration, %.
    double concentration;
    // Supply and return temperatures, °C; NaN when the form leaves them disabled.
    double Tsupply;
    double Treturn;
    // Heat load Q in heatMeasure.
    double heatLoad;
    // Flow of the medium G in flowMeasure; read through Q().
    double flow;

    // common::DeviceType the task is about.
    virtual int deviceType() const = 0;
    // True when the steam / high-temperature variant of the device is meant.
    virtual bool isSteamDevice() const = 0;
    // Highest admissible medium temperature, °C.
    virtual double maxTemperature() const = 0;
    // Absolute pressures before and after the device, Pa.
    virtual double PbeforeAbsInPa() const = 0;
    virtual double PafterAbsInPa() const = 0;

    // Whether every choice the task is calculated from names an entry of its
    // table: the medium, the pressure unit and kind, the installation place
    // (it picks the working temperature), the flow input mode and, for a flow
    // derived from the heat load, the heat unit. A document written elsewhere
    // may hold any number there, and the conversions answer an unknown code
    // with a fallback; a task failing this is not filled in. The flow unit is
    // judged with the flow itself, where a missing unit has its own message.
    virtual bool choicesWithinTables() const;
    // Whether the flow unit names an entry of its table that the medium can be
    // given in: steam is always measured by its mass.
    bool flowMeasureKnown() const;

    double Q() const { return flow; }
    SubstanceProperties substanceProperties() const;
    // Tsupply on the supply pipe, Treturn otherwise.
    double temperature() const;

    // Pressure in the task's measure to Pa, and back.
    double toPa(double v) const;
    double fromPa(double vPa) const;
    // vPa itself for absolute pressures; a gauge value plus the atmosphere.
    double absolute(double vPa) const;
    // Absolute pressure before or after the device, Pa.
    double PAbsinPa(common::DevicePosition v) const;
    // Absolute pressures before and after the device in the task's measure.
    double Pbefore() const;
    double Pafter() const;
    // A pressure (drop) of the task in bar and in atm.
    double inBars(double v) const;
    double inAtm(double v) const;

    // The task's flow as a volume, m³/h (see UnitConversions::toQinM3).
    double toQinM3(FlowCondition condition, common::DevicePosition point) const;
    // The task's flow as a mass, kg/h.
    double QinKg() const;
    // True when the absolute drop across the device exceeds 2 bar (200000 Pa):
    // the forms then advise on service life and noise.
    bool isHighPressureDrop() const;
};

// The input of a control-valve selection.
class ValveInputParams : public InputParams
{
public:
    ValveInputParams();

    // common::DeviceType chosen by the user ("Тип клапана").
    int valveType;
    // Pressures before and after the valve (P1, P2), the drop across it (ΔP = P1 - P2)
    // and the drop on the regulated section after it (ΔPру), in pressureMeasure.
    double P1;
    double P2;
    double dP;
    double dPru;

    int deviceType() const override;
    bool isSteamDevice() const override;
    double maxTemperature() const override;
    double PbeforeAbsInPa() const override;
    double PafterAbsInPa() const override;
};

// The input of the Kv calculation: a valve task whose temperature may reach the
// steam valve's limit whatever the valve. It starts as a steam valve (ЛМК-П),
// the one device type the Kv calculation works for.
class KvInputParams : public ValveInputParams
{
public:
    KvInputParams();

    double maxTemperature() const override;
};
