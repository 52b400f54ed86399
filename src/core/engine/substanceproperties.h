#pragma once

// A working medium (substance code and glycol concentration) and its physical
// properties, read from reference tables through natural cubic splines, from
// closed formulas or from constants.
//
// Units: temperature °C; pressure Pa (absolute); density kg/m³; specific volume
// m³/kg; specific heat kcal/(kg·K). Absolute temperature is T + 273.13.
//
// Asking a medium for a property it does not have (density of a gas, vapour
// pressure of air, a concentration that is not a reference one) is a programming
// error: it is reported as an assertion and a neutral value is returned.

class SmartSpline;

class SubstanceProperties
{
public:
    explicit SubstanceProperties(int substance = 0, double concentration = 0);

    // Substance code (common::SubstanceType).
    int substance;
    // Mass concentration of the glycol, %.
    double concentration;

    bool is(int a) const { return substance == a; }
    bool isOneOf(int a, int b) const { return is(a) || is(b); }
    bool isOneOf(int a, int b, int c) const { return isOneOf(a, b) || is(c); }
    bool isOneOf(int a, int b, int c, int d) const { return isOneOf(a, b, c) || is(d); }
    // Water and the two glycol solutions.
    bool isLiquid() const;
    // Superheated and saturated steam.
    bool isSteam() const;
    // Air and nitrogen.
    bool isGas() const;
    // The propylene- and ethylene-glycol solutions, given with a concentration.
    bool isGlycol() const;
    // The lowest temperature the tables of a gas reach, °C: the gas may be
    // given down to it. 0 for the other media, which are never below it.
    double lowestTemperature() const;

    // Saturation pressure of the liquid (of water for steam) at T °C, Pa.
    double steamPressure(double T) const;
    // Vapour pressure of the glycol solution at one reference concentration c, Pa.
    double steamPressureValue(double T, double c) const;
    // Fills spline with the ethylene-glycol vapour-pressure table (°C : mm Hg) of
    // the reference concentration c (20, 40 or 60 %).
    void steamPressureSpline(SmartSpline& spline, double c) const;

    // Density of the liquid at T °C, kg/m³.
    double density(double T) const;
    // Density of the glycol solution at one reference concentration c, kg/m³.
    double densityValue(double T, double c) const;
    // Density of the gas at normal conditions (20 °C, 101325 Pa), kg/m³.
    double densityN() const;
    // Density of steam at T °C and P Pa, kg/m³.
    double densityOfSteam(double T, double P) const;
    // Specific volume of steam at T °C and P Pa, m³/kg.
    static double specificVolumeOfSteam(double T, double P);

    // Specific heat at T °C and P Pa, kcal/(kg·K).
    double specificHeat(double T, double P) const;
    // Specific heat of nitrogen at one reference temperature T (0, 100 or 300 °C)
    // and P Pa, kJ/(kg·K).
    static double nitrogenCp(double T, double P);

    // The temperature in [Tmin, Tmax] at which steamPressure equals P Pa, found by
    // bisection to 0.01 Pa; 221 when P is above the pressure at Tmax, 0 when it is
    // below the pressure at Tmin.
    double findSteamSaturationTemperature(double P, double Tmin, double Tmax) const;
    // Boiling temperature at P Pa, °C, never below 0.
    double saturationTemperature(double P) const;
};
