#pragma once

// The field codes of the documents: which input a field of a document file
// holds, which control shows it and how that control behaves. The codes are
// stored in document files: never renumber them. The document model, the
// window framework and the forms all read them from here.
//
// The codes of one window are gathered in a holder that the window derives
// from, so that a form names its own fields without qualification ("fcP1");
// anyone else qualifies them ("common::CommonFields::fcP1").

#include <QtGlobal>

// Which control shows a field and which value type it stores.
enum FieldKind {
    fkNone = 0,   // a code outside the table: no control
    fkDouble = 1, // spin box, double
    fkText = 2,   // multi-line text, string
    fkCombo = 3,  // combo box, the current item's data (null when none is current)
    fkRadio = 4,  // radio group, the checked button's integer id
    fkCheck = 5,  // check box, bool
};

namespace common {

// The inputs the calculating forms share (index 0), and the two codes every
// document holds.
struct CommonFields
{
    enum CommonField : qint16 {
        fcPressureUnit = 101,
        fcP1 = 102,
        fcP2 = 103,
        fcFlowMode = 104,
        fcSupplyTemperature = 105,
        fcHeatLoad = 106,
        fcReturnTemperature = 107,
        fcFlow = 108,
        fcSystem = 120,
        fcMedium = 121,
        fcObjectName = 122,
        fcRegulatorFunction = 130,
        fcInstallPlace = 131,
        fcConcentration = 141,
        fcPressureKind = 1011,
        fcPressureDrop = 1031,
        fcRegulatedDrop = 1032,
        fcHeatUnit = 1061,
        fcFlowUnit = 1081,
        fcDocType = 32766,    // the document type, in every document
        fcDeviceType = 32767, // the device type chosen in the document
    };
};

// The cabinet documents; the loop rows are keyed (code, loop - 1).
struct CabinetFields
{
    enum CabinetField : qint16 {
        fcLoopCount = 201,
        fcPowerReserve = 202,
        fcInterface = 203,
        fcLoopType = 304,
        fcMainPump = 305, // the pump of the ventilation loop too
        fcReservePump = 306,
        fcFan = 307,
    };
};

// The pressures and drops of the regulator's regulation tasks.
struct RegulatorFields
{
    enum RegulatorField : qint16 {
        fcSupplyPressure = 1020, // Pпод
        fcReturnPressure = 1021, // Pобр
        fcRegulatorDrop = 1035,  // ΔPрег of the differential scheme
        fcSectionDrop = 1036,    // ΔPру
        fcLossesAfter = 1037,    // ΔPдр.обр
        fcLossesBefore = 10371,  // ΔPдр.под
    };
};

// What the user chose under "Ваш выбор" of a selection document: the
// candidate (its series, DN and Kvs or Kvy) and the pipes around it (index: the
// pipe's location, common::DevicePosition). Absent while nothing is chosen, so
// that a document without a choice keeps the bytes it always had.
struct ChoiceFields
{
    enum ChoiceField : qint16 {
        fcChosenSeries = 500, // common::DeviceType of the chosen candidate
        fcChosenDn = 501,     // its DN, mm
        fcChosenKvs = 502,    // its Kvs (valves) or Kvy (regulators), m³/h
        fcChosenPipeDn = 503, // the DN of the pipe chosen at the location (the index), mm
    };
};

// The electric drive chosen with the valve of a valve document: what the user
// asks of it and the drive's catalogue designation. Absent until the user has
// asked for something other than the first wishes or chosen a drive.
struct DriveFields
{
    enum DriveField : qint16 {
        fcDriveSignal = 504,      // control signal type of the catalogue (1, 11, 2, 3)
        fcDriveVoltage = 505,     // supply voltage, V (0: either)
        fcDriveProtection = 506,  // protection class (54, 67)
        fcDriveDesignation = 507, // the designation, as the catalogue writes it
    };
};

// Where the device of a document stands in a project: its position mark on
// the drawings ("РК1") and how many such devices are ordered. Absent while the
// mark is empty and the quantity is 1, so that a document keeps its bytes.
struct PositionFields
{
    enum PositionField : qint16 {
        fcPosition = 508, // the position mark, at most 16 characters
        fcQuantity = 509, // whole number 1–999
    };
};

// The document fields of the flow meter configurator.
enum LmfField : qint16 {
    lfType = 400,                // measuring principle
    lfBeamCount = 401,           // one or two ultrasonic beams
    lfConnection = 402,          // how the body joins the pipe
    lfDiameter = 403,            // diameter code
    lfForm = 404,                // body form (ultrasonic)
    lfSteel = 405,               // body steel (ultrasonic)
    lfHighTemperature = 406,     // high-temperature version (two-beam)
    lfPressure = 407,            // nominal pressure
    lfProtection = 408,          // protection class
    lfTemperatureType = 409,     // climatic version (two-beam)
    lfIndication = 410,          // indication module
    lfCurrentOutput = 411,       // 4-20 mA output
    lfInterface = 412,           // data interface
    lfSeries = 413,              // series
    lfAllowableError = 414,      // accuracy class
    lfPulseWeight = 415,         // ultrasonic pulse weight, l/pulse
    lfMPulseWeight = 416,        // electromagnetic pulse weight code
    lfSupplyVoltage = 417,       // supply (ultrasonic)
    lfStandardPulseWeight = 418, // factory pulse weight kept (ultrasonic)
    lfStainless = 419,           // stainless body (electromagnetic)
    lfFettleMaterial = 420,      // lining (electromagnetic)
    lfElectrodeMaterial = 421,   // electrodes (electromagnetic)
};

// The kind of a code; fkNone for a code no control shows.
FieldKind fieldKind(qint16 fieldCode);
// The arrows of a number field step by 0.1 where the values are usually small
// (pressures and drops in bar or MPa, heat loads in Gcal/h), by 1 elsewhere.
double spinStep(qint16 fieldCode);
// The number fields a calculation needs, where 0 is no value at all: the
// pressures and drops of the task, the temperatures, the heat load and the flow.
bool zeroMeansEmpty(qint16 fieldCode);
// The pressures of a task (P1, P2, Pпод, Pобр), not its drops.
bool isPressureField(qint16 fieldCode);

} // namespace common
