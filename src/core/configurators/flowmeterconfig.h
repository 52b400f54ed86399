#pragma once

// The rules of the ЛМФ flow meter configurator over the user's choices: which
// options each field offers, which rows belong to the chosen meter, the pulse
// weight an ultrasonic meter may take, and the order designation. The form maps
// its controls to a FlowMeterChoice and shows what these functions answer.

#include "vocabulary/flowmeter.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace configurators {

// The choices of one flow meter, by option value; -1 where nothing is chosen.
struct FlowMeterChoice
{
    int type = -1;
    int beams = -1;
    int form = -1;
    int connection = -1;
    int dn = common::vdnEmpty; // diameter code
    int steel = -1;
    bool stainless = false;
    bool highTemperature = false;
    int fettleMaterial = -1;
    int electrodeMaterial = -1;
    int pressure = -1;
    int protection = -1;
    int temperatureType = -1;
    int series = -1;
    bool indication = false;
    bool currentOutput = false;
    int iface = -1;
    int allowableError = -1;
    double pulseWeight = 0; // ultrasonic, l/pulse
    int mPulseWeight = -1;  // electromagnetic pulse weight code
    int supplyVoltage = -1;

    // Sets the option of an integer field (item data, radio id, 0/1 for a check
    // box); -1 is "nothing chosen". Fields of no option are ignored.
    void set(common::LmfField field, int value);

    bool isUltrasonic() const { return type == common::ltUltrasonic; }
    bool isElectromagnetic() const { return type == common::ltElectromagnetic; }
    // The beam count belongs to the ultrasonic meters only.
    bool isTwoBeam() const { return isUltrasonic() && beams == 2; }
};

// The options a field offers for these choices, in the order its combo lists
// them; a choice is only as good as the fields before it in the rule order
// (form, connection, diameter, pressure, protection, series, interface, error,
// supply), so a caller narrows them one after another.
QList<int> offeredOptions(const FlowMeterChoice& choice, common::LmfField field);

// Whether the row of a field belongs to the chosen meter.
bool isRowShown(const FlowMeterChoice& choice, common::LmfField field);

// The value a check box is held at (and disabled) for these choices; none
// while the user chooses it.
std::optional<bool> forcedCheck(const FlowMeterChoice& choice, common::LmfField field);

// The note under the beam count: the diameters of the chosen beam count.
QString diameterRangeNote(const FlowMeterChoice& choice);

// The pulse weight table behind rangeU(): (diameter code, form, series) to range.
using PulseWeightLookup = std::function<common::LmfPulseWeightRange(int, int, int)>;

// The pulse weight range of an ultrasonic meter with the chosen diameter, form
// and series; empty while the form or the diameter is missing. A chosen
// diameter without a row in the table is reported: every diameter offered to
// an ultrasonic meter has one.
common::LmfPulseWeightRange rangeU(const FlowMeterChoice& choice,
                                   const PulseWeightLookup& lookup = common::lmfPulseWeightRange);

// The note over the ultrasonic pulse weight: the range and the factory value,
// or what has to be chosen first; empty when neither applies.
QString pulseWeightNote(const FlowMeterChoice& choice, const common::LmfPulseWeightRange& range);

// The electromagnetic pulse weight set when the diameter changes.
int defaultMPulseWeight(const FlowMeterChoice& choice);

// The ultrasonic pulse weight is set in thousandths of a litre.
constexpr int pulseWeightDecimals = 3;

// Whether the range allows the weight, as far as the thousandths it is set in.
bool isPulseWeightAllowed(double weight, const common::LmfPulseWeightRange& range);

// The ultrasonic pulse weight once the choices that select its range have
// changed: a weight the new range still allows stays, any other gives way to the
// factory value. Without a range (a diameter or form still to choose) there is
// nothing to judge the weight by, and it stays as it is.
double followedPulseWeight(double weight, const common::LmfPulseWeightRange& range);

// The electromagnetic pulse weight once the diameter has changed: the chosen
// code (choice.mPulseWeight) while the diameter still offers it, otherwise the
// diameter's default.
int followedMPulseWeight(const FlowMeterChoice& choice);

// The one line that tells the user the form changed the pulse weight it had,
// naming the old and the new weight and why; empty when there was no weight to
// lose (0, the field never filled in) or nothing changed.
QString pulseWeightChangeNote(double from, double to, const common::LmfPulseWeightRange& range);
// The same for the electromagnetic weight codes (-1 for none) at the chosen diameter.
QString mPulseWeightChangeNote(int from, int to, const FlowMeterChoice& choice);

// The pulse weight as the designation writes it: the shortest decimal form
// with a decimal comma, at least three characters ("1,0", "0,25", "100").
QString pulseWeightText(double weight);

// The order designation of the chosen meter, whether complete or not.
QString flowMeterDesignation(const FlowMeterChoice& choice);

} // namespace configurators
