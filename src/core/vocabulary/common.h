#pragma once

// The domain vocabulary: device and document types, working media, units, risk
// grades and their Russian display names. The numeric values are stored in
// document files and in combo-box item data: never renumber them. Every enum
// has int as its fixed type, so a number read from a file or a combo that names
// no enumerator (the "none" of an empty choice, -1) is still a valid value and
// is answered by the name functions' "unknown" branch.

#include <QString>
#include <QVector>

namespace common {

enum DeviceType : int {
    dtEmpty = 0,
    dtLMKP = 1,
    dtLMK2 = 5,
    dtLMK3 = 8,
    dtLMSHStd = 11,
    dtLMSHFan = 12,
    dtLMRD = 200,
    dtLMR2P = 205,
    dtLMR1 = 210,
    dtLMR101 = 220,
    dtLMF = 301,
};

enum DocType : int {
    docValve = 20,
    docRegulator = 30,
    docStdCabinet = 100,
    docFanCabinet = 105,
    docFlowMeter = 200,
    docKv = 500,
    // A project file: the object's details and the whole document of each of
    // its positions; no window of its own.
    docProject = 900,
};

enum SubstanceType : int {
    stWater = 1,
    stPropyleneGlycol = 2,
    stEthyleneGlycol = 3,
    stSuperheatedSteam = 11,
    stSaturatedSteam = 13,
    stAir = 21,
    stNitrogen = 22,
};

enum PressureMeasure : int { pmBar = 1, pmAtm = 2, pmMPa = 3, pmPa = 4, pmKPa = 5, pmMWater = 6 };

enum WfMeasure : int { wfM3h = 1, wfLh = 2, wfLmin = 3, wfLs = 4, wfTh = 10, wfKgh = 20, wfKgs = 21 };

enum HeatMeasure : int { hmGcalH = 1, hmMWH = 20, hmGJH = 30 };

enum RegulatorType : int { rtDiffPressure = 1, rtUpstream = 2, rtDownstream = 3, rtBypass = 4 };

enum Loop : int {
    lpHeating = 1,
    lpHotWater = 2,
    lpVentilation = 3,
    lpHeatingHotWater = 4,
    lpHeatingVentilation = 5,
    lpAll = 6,
    lpHotWaterVentilation = 7,
    lpProcess = 99,
};

enum NoiseRisk : int { nrLow = 1, nrLowerMedium = 2, nrMedium = 3, nrUpperMedium = 4, nrHigh = 5 };

enum InstallPlace : int { ipSupply = 1, ipReturn = 2 };

// Where along the pipe a quantity is taken.
enum DevicePosition : int { BeforeDevice = 0, AfterDevice = 1, Anywhere = 2 };

enum PressureKind : int { pkAbsolute = 1, pkExcess = 2 };

// What the program knows of a document type: the stem of the default name of
// an unsaved document ("Клапан 3"), its description ("%1" is the caller's
// separator) and the photo of its button in the new-document dialog.
struct DocTypeInfo
{
    DocType type;
    const char* simpleName;
    const char* description;
    const char* picture;
};
// Every document type, in the order the new-document dialog offers them.
const QVector<DocTypeInfo>& docTypes();
// The facts of a type; null for a value that is no document type.
const DocTypeInfo* docTypeInfo(int type);

QString deviceTypeName(DeviceType type, bool full = false, const QString& separator = QStringLiteral(" "));
bool isRegulator(DeviceType type);
QString simpleDocTypeName(DocType type);
QString docTypeDescription(DocType type, const QString& separator = QStringLiteral(" "));
QString substanceName(SubstanceType type);
// A working medium: the substance with its concentration (glycol solutions show it in %).
QString substanceName(SubstanceType type, double concentration);
QString pressureMeasureName(PressureMeasure measure);
QString wfMeasureName(WfMeasure measure, bool isLiquid);
QString heatMeasureName(HeatMeasure measure);
QString regulatorTypeFunctionalName(RegulatorType type);
QString loopName(Loop loop);
QString noiseRiskName(NoiseRisk risk);
QString installPlaceName(InstallPlace place);
// The device series that have a dimension drawing (and a dimension table).
bool hasDimensionDrawing(DeviceType type);
QString deviceSizeImageName(DeviceType type, bool small);

// The standard nominal diameters, mm, ascending: DN 15 to 300 of the valve and
// regulator bodies, up to DN 2000 of the flow meters (28 values).
const QVector<int>& standardDnSeries();
// The part of the series from lowest to highest, both included.
QVector<int> standardDns(int lowest, int highest);

} // namespace common
