#pragma once

// The vocabulary of the ЛМФ counter-flowmeters: the option values a flow meter
// is ordered with, their Russian names as the configurator shows them, the short
// codes that make up the order designation, the diameter codes, and the pulse
// weight tables. The numeric values are stored in document files and in combo
// item data: never renumber them.

#include "vocabulary/fieldcodes.h"

#include <QMap>
#include <QPair>
#include <QString>
#include <QVector>

namespace common {

enum LmfType : int { ltUltrasonic = 1, ltElectromagnetic = 2 };
enum LmfForm : int { fmStraight = 1, fmNarrowed = 2, fmCross = 4 };
enum LmfConnectionType : int { ctFlanged = 1, ctWeldOn = 2, ctThreaded = 3, ctWafer = 4 };
enum LmfMaterial : int { mtStainless = 1, mtCarbon = 2 };

// Diameter codes: the standard DN is its own code; the two cross-shaped bodies
// of DN 50 and the threaded bodies have codes of their own.
enum LmfDiameter : int {
    vdnEmpty = 0,      // no diameter chosen
    vdn50x1 = 51,      // "50/1"
    vdn50x2 = 52,      // "50/2"
    vdnG3_4 = 10015,   // G¾B, DN 15
    vdnG1 = 10020,     // G1B, DN 20
    vdnG1_1_4 = 10025, // G1¼B, DN 25
    vdnG1_1_2 = 10032, // G1½B, DN 32
    vdnG2 = 10040,     // G2B, DN 40
};

// The series of the "Б" kind (battery-powered, indication built in).
bool lmfIsBSeries(int series);

QString lmfTypeName(int type);
QString lmfBeamCountName(int beams);
// shortCode: the letter that stands for the form in the designation.
QString lmfFormName(int form, bool shortCode = false);
QString lmfConnectionTypeName(int connection);
QString lmfMaterialName(int material);
QString fettleMaterialName(int material, bool shortCode = false);
QString electrodeMaterialName(int material, bool shortCode = false);
QString lmfNominalPressureName(int pressure);
QString lmfIpName(int ip);
QString lmfTemperatureTypeName(int type, bool shortCode = false);
QString lmfSeriesName(int series);
QString interfaceName(int iface, bool shortCode = false);
QString lmfAllowableErrorName(int error, bool shortCode = false);
QString lmfMOutputPulseWeightName(int weight);
QString lmfSupplyVoltageName(int supply, bool shortCode = false);
QString lmfDnName(int dn);

// The DN a diameter code stands for (50 for both cross bodies, the bore of a
// threaded body); 0 for no diameter.
int lmfEffectiveDn(int dn);
// The 28 standard DN, ascending.
const QVector<int>& lmfStandardDns();
// The standard DN from lowest to highest inclusive.
QVector<int> lmfStandardDns(int lowest, int highest);
// The five threaded bodies, G¾B to G2B.
const QVector<int>& lmfThreadDns();

// The items of one option control: (text, value) in display order.
using LmfItems = QVector<QPair<QString, int>>;
// The items of every option combo and radio group of the configurator, by field.
const QMap<qint16, LmfItems>& lmfOptionItems();

// Pulse weights an ultrasonic meter may be set to, l/pulse.
struct LmfPulseWeightRange
{
    double minimum = 0;
    double maximum = 0;
    double factory = 0;

    // No row in the table: nothing may be set.
    bool isEmpty() const { return maximum == 0; }
};

// The pulse weight range of an ultrasonic meter with this diameter code, body
// form and series; an empty range when the table has no row for them.
LmfPulseWeightRange lmfPulseWeightRange(int dn, int form, int series);

// The electromagnetic pulse weight codes offered for a DN (effective), and the
// one set by default: the smallest of them.
QVector<int> lmfMPulseWeights(int effectiveDn);
int lmfDefaultMPulseWeight(int effectiveDn);

} // namespace common
