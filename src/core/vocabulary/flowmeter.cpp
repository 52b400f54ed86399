#include "vocabulary/flowmeter.h"

#include "gentools/errorhandle.h"
#include "vocabulary/common.h"

#include <QChar>

#include <climits>

namespace common {

namespace {

// A threaded body's code is 10000 plus its bore.
constexpr int kThreadCodeBase = 10000;

// One row of a name table: the value, the text shown in the combo boxes and,
// where the designation uses one, the short code standing for the value.
struct LmfName
{
    int value;
    const char* name;
    const char* code;
};

template <std::size_t N>
const LmfName* findName(const LmfName (&table)[N], int value)
{
    for (const LmfName& row : table)
        if (row.value == value)
            return &row;
    return nullptr;
}

QString nameText(const LmfName* row, bool shortCode)
{
    return QString::fromUtf8(shortCode && row->code ? row->code : row->name);
}

QString unknownText()
{
    return QStringLiteral("Неизвестно");
}

const LmfName kTypeNames[] = {
    {ltUltrasonic, "У - ультразвуковой", nullptr},
    {ltElectromagnetic, "Э - электромагнитный", nullptr},
};

const LmfName kBeamCountNames[] = {
    {1, "1-лучевая", nullptr},
    {2, "2-лучевая", nullptr},
};

const LmfName kFormNames[] = {
    {fmStraight, "П - прямая труба", "П"},
    {fmNarrowed, "С - труба с сужением", "С"},
    {fmCross, "К - крестообразный", "К"},
};

const LmfName kConnectionNames[] = {
    {ctFlanged, "фланцевое", nullptr},
    {ctWeldOn, "безфланцевое (под приварку)", nullptr},
    {ctThreaded, "резьбовое", nullptr},
    {ctWafer, "межфланцевое (\"сэндвич\")", nullptr},
};

const LmfName kMaterialNames[] = {
    {mtStainless, "Нержавеющая", nullptr},
    {mtCarbon, "Углеродистая окрашенная", nullptr},
};

const LmfName kFettleNames[] = {
    {1, "Фт - фторопласт", "Фт"},
    {2, "У - полиуретан", "У"},
};

// The electrode names separate the code with a figure dash (U+2012).
const LmfName kElectrodeNames[] = {
    {1, "С ‒ стандарт (AISI 316L)", "С"},
    {2, "Т ‒ титан (Тi)", "Т"},
    {3, "Х ‒ хастеллой (С276)", "Х"},
    {4, "L ‒ тантал (Ta)", "L"},
};

const LmfName kPressureNames[] = {
    {16, "16 - 1.6 МПа", nullptr},
    {25, "25 - 2.5 МПа", nullptr},
    {40, "40 - 4.0 МПа", nullptr},
    {63, "63 - 6.3 МПа", nullptr},
};

const LmfName kIpNames[] = {
    {54, "54 - IP54", nullptr},
    {65, "65 - IP65", nullptr},
    {67, "67 - IP67", nullptr},
    {68, "68 - IP68", nullptr},
};

// Latin C and L: the climatic version letters of the designation.
const LmfName kTemperatureTypeNames[] = {
    {1, "C - стандартное", "C"},
    {2, "L - низкотемпературное", "L"},
};

const LmfName kSeriesNames[] = {
    {1000, "1000", nullptr},  {1100, "1100", nullptr}, {1300, "1300", nullptr}, {1301, "1300Б", nullptr},
    {1500, "1500", nullptr},  {2000, "2000", nullptr}, {2100, "2100", nullptr}, {2300, "2300", nullptr},
    {2301, "2300Б", nullptr}, {2500, "2500", nullptr},
};

const LmfName kInterfaceNames[] = {
    {100, "Отсутствует", "000"},
    {232, "232 - RS-232", "232"},
    {485, "485 - RS-485", "485"},
    {500, "Eth - Ethernet", "Eth"},
};

const LmfName kAllowableErrorNames[] = {
    {5, "05 - 0.5%", "05"},
    {10, "10 - 1.0%", "10"},
    {20, "20 - 2.0%", "20"},
};

// Codes of the electromagnetic pulse weights and the weights they stand for, l/pulse.
const LmfName kMPulseWeightNames[] = {
    {4, "0,004", nullptr},  {10, "0,01", nullptr},   {11, "0,10", nullptr}, {12, "1,00", nullptr},
    {13, "10,00", nullptr}, {14, "100,00", nullptr}, {40, "0,04", nullptr}, {400, "0,4", nullptr},
};

const LmfName kSupplyVoltageNames[] = {
    {1, "00 - встроенная батарея 3,6 В", "00"},
    {2, "24 - постоянное напряжение 24 В", "24"},
};

// The threaded bodies: the pipe thread "G<whole><fraction>B" of each bore.
struct ThreadName
{
    int dn;
    const char* whole;
    ushort fraction; // 0: none
};

const ThreadName kThreadNames[] = {
    {vdnG3_4, "", 0x00BE},    {vdnG1, "1", 0}, {vdnG1_1_4, "1", 0x00BC},
    {vdnG1_1_2, "1", 0x00BD}, {vdnG2, "2", 0},
};

// Pulse weight table of the ultrasonic meters, l/pulse.
//
// The smallest weight keeps the pulse rate at the largest flow of the bore
// within what the pulse output can give, so it grows with the bore's
// cross-section; a body narrowed at the sensor (form 2, and every threaded
// body) has a smaller bore than a straight pipe of the same DN and so a smaller
// minimum. The standard series accept weights from the minimum to ten times
// the minimum. The "Б" series count with their own battery-powered electronics
// and accept any weight from a lower minimum up to 100 l/pulse. The factory
// value is a round weight inside the range and depends on the bore only, the
// same for both kinds of series. The cross-shaped bodies (50/1, 50/2) measure
// like a straight DN 50 pipe.
//
// Every diameter the configurator offers to an ultrasonic meter has its rows:
// narrowed bodies DN 15-100 and the threads; straight bodies DN 40-2000
// (the "Б" series only up to DN 600, they are one-beam meters); the two
// cross-shaped bodies.
struct PulseWeightRow
{
    int dn;
    bool narrowed; // form 2
    bool bSeries;  // series 1301 and 2301
    double minimum;
    double maximum;
    double factory;
};

const PulseWeightRow kPulseWeights[] = {
    // Narrowed body, standard series.
    {15, true, false, 0.01, 0.1, 0.01},
    {20, true, false, 0.015, 0.15, 0.1},
    {25, true, false, 0.02, 0.2, 0.1},
    {32, true, false, 0.04, 0.4, 0.1},
    {40, true, false, 0.05, 0.5, 0.1},
    {50, true, false, 0.1, 1.0, 0.1},
    {65, true, false, 0.15, 1.5, 0.2},
    {80, true, false, 0.25, 2.5, 1.0},
    {100, true, false, 0.35, 3.5, 1.0},
    {vdnG3_4, true, false, 0.01, 0.1, 0.01},
    {vdnG1, true, false, 0.015, 0.15, 0.1},
    {vdnG1_1_4, true, false, 0.02, 0.2, 0.1},
    {vdnG1_1_2, true, false, 0.04, 0.4, 0.1},
    {vdnG2, true, false, 0.05, 0.5, 0.1},
    // Narrowed body, "Б" series.
    {15, true, true, 0.01, 100, 0.01},
    {20, true, true, 0.01, 100, 0.1},
    {25, true, true, 0.015, 100, 0.1},
    {32, true, true, 0.02, 100, 0.1},
    {40, true, true, 0.02, 100, 0.1},
    {50, true, true, 0.03, 100, 0.1},
    {65, true, true, 0.05, 100, 0.2},
    {80, true, true, 0.1, 100, 1.0},
    {100, true, true, 0.2, 100, 1.0},
    {vdnG3_4, true, true, 0.01, 100, 0.01},
    {vdnG1, true, true, 0.01, 100, 0.1},
    {vdnG1_1_4, true, true, 0.015, 100, 0.1},
    {vdnG1_1_2, true, true, 0.02, 100, 0.1},
    {vdnG2, true, true, 0.02, 100, 0.1},
    // Straight and cross-shaped bodies, standard series.
    {40, false, false, 0.1, 1, 0.2},
    {50, false, false, 0.2, 2, 0.2},
    {vdn50x1, false, false, 0.2, 2, 0.2},
    {vdn50x2, false, false, 0.2, 2, 0.2},
    {65, false, false, 0.3, 3, 0.5},
    {80, false, false, 0.5, 5, 0.5},
    {100, false, false, 0.8, 8, 1},
    {125, false, false, 1.2, 12, 2},
    {150, false, false, 1.8, 18, 2},
    {200, false, false, 3, 30, 5},
    {250, false, false, 5, 50, 5},
    {300, false, false, 7, 70, 10},
    {350, false, false, 10, 100, 10},
    {400, false, false, 12.5, 125, 15},
    {450, false, false, 16, 160, 20},
    {500, false, false, 20, 200, 20},
    {600, false, false, 28, 280, 50},
    {700, false, false, 38, 380, 50},
    {800, false, false, 50, 500, 100},
    {900, false, false, 63, 630, 100},
    {1000, false, false, 80, 800, 100},
    {1200, false, false, 110, 1100, 200},
    {1400, false, false, 150, 1500, 200},
    {1600, false, false, 200, 2000, 500},
    {1800, false, false, 250, 2500, 500},
    {2000, false, false, 300, 3000, 500},
    // Straight and cross-shaped bodies, "Б" series.
    {40, false, true, 0.05, 100, 0.2},
    {50, false, true, 0.1, 100, 0.2},
    {vdn50x1, false, true, 0.1, 100, 0.2},
    {vdn50x2, false, true, 0.1, 100, 0.2},
    {65, false, true, 0.15, 100, 0.5},
    {80, false, true, 0.2, 100, 0.5},
    {100, false, true, 0.3, 100, 1},
    {125, false, true, 0.5, 100, 2},
    {150, false, true, 0.7, 100, 2},
    {200, false, true, 1.2, 100, 5},
    {250, false, true, 2, 100, 5},
    {300, false, true, 3, 100, 10},
    {350, false, true, 4, 100, 10},
    {400, false, true, 5, 100, 15},
    {450, false, true, 6, 100, 20},
    {500, false, true, 8, 100, 20},
    {600, false, true, 10, 100, 50},
};

// The electromagnetic pulse weight codes by the largest DN they serve.
struct MPulseWeights
{
    int upToDn;
    QVector<int> codes;
};

const MPulseWeights& mPulseWeightsFor(int effectiveDn)
{
    static const MPulseWeights table[] = {
        {32, {10, 11, 12, 13}},
        {100, {11, 12, 13}},
        {INT_MAX, {12, 13, 14}},
    };
    for (const MPulseWeights& row : table)
        if (effectiveDn <= row.upToDn)
            return row;
    return table[2];
}

} // namespace

bool lmfIsBSeries(int series)
{
    return series == 1301 || series == 2301;
}

QString lmfTypeName(int type)
{
    if (const LmfName* row = findName(kTypeNames, type))
        return nameText(row, false);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfBeamCountName(int beams)
{
    if (const LmfName* row = findName(kBeamCountNames, beams))
        return nameText(row, false);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfFormName(int form, bool shortCode)
{
    if (const LmfName* row = findName(kFormNames, form))
        return nameText(row, shortCode);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfConnectionTypeName(int connection)
{
    if (const LmfName* row = findName(kConnectionNames, connection))
        return nameText(row, false);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfMaterialName(int material)
{
    if (const LmfName* row = findName(kMaterialNames, material))
        return nameText(row, false);
    GEH_ASSERT(0);
    return unknownText();
}

QString fettleMaterialName(int material, bool shortCode)
{
    if (const LmfName* row = findName(kFettleNames, material))
        return nameText(row, shortCode);
    GEH_ASSERT(0);
    return unknownText();
}

QString electrodeMaterialName(int material, bool shortCode)
{
    if (const LmfName* row = findName(kElectrodeNames, material))
        return nameText(row, shortCode);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfNominalPressureName(int pressure)
{
    if (const LmfName* row = findName(kPressureNames, pressure))
        return nameText(row, false);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfIpName(int ip)
{
    if (const LmfName* row = findName(kIpNames, ip))
        return nameText(row, false);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfTemperatureTypeName(int type, bool shortCode)
{
    if (const LmfName* row = findName(kTemperatureTypeNames, type))
        return nameText(row, shortCode);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfSeriesName(int series)
{
    if (const LmfName* row = findName(kSeriesNames, series))
        return nameText(row, false);
    GEH_ASSERT(0);
    return unknownText();
}

QString interfaceName(int iface, bool shortCode)
{
    if (const LmfName* row = findName(kInterfaceNames, iface))
        return nameText(row, shortCode);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfAllowableErrorName(int error, bool shortCode)
{
    if (const LmfName* row = findName(kAllowableErrorNames, error))
        return nameText(row, shortCode);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfMOutputPulseWeightName(int weight)
{
    if (const LmfName* row = findName(kMPulseWeightNames, weight))
        return nameText(row, false);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfSupplyVoltageName(int supply, bool shortCode)
{
    if (const LmfName* row = findName(kSupplyVoltageNames, supply))
        return nameText(row, shortCode);
    GEH_ASSERT(0);
    return unknownText();
}

QString lmfDnName(int dn)
{
    if (lmfStandardDns().contains(dn))
        return QString::number(dn);
    if (dn == vdn50x1)
        return QStringLiteral("50/1");
    if (dn == vdn50x2)
        return QStringLiteral("50/2");
    for (const ThreadName& thread : kThreadNames)
        if (thread.dn == dn)
            return QStringLiteral("G%1%2B").arg(
                QLatin1String(thread.whole), thread.fraction ? QString(QChar(thread.fraction)) : QString());
    GEH_ASSERT(0);
    return unknownText();
}

int lmfEffectiveDn(int dn)
{
    if (dn == vdn50x1 || dn == vdn50x2)
        return 50;
    if (dn > kThreadCodeBase)
        return dn - kThreadCodeBase;
    return dn;
}

const QVector<int>& lmfStandardDns()
{
    return common::standardDnSeries();
}

QVector<int> lmfStandardDns(int lowest, int highest)
{
    return common::standardDns(lowest, highest);
}

const QVector<int>& lmfThreadDns()
{
    static const QVector<int> dns{vdnG3_4, vdnG1, vdnG1_1_4, vdnG1_1_2, vdnG2};
    return dns;
}

const QMap<qint16, LmfItems>& lmfOptionItems()
{
    static const QMap<qint16, LmfItems> items = [] {
        QMap<qint16, LmfItems> lists;
        const auto add = [&lists](qint16 field, const QVector<int>& values, QString (*name)(int)) {
            for (int value : values)
                lists[field].append({name(value), value});
        };
        const auto addCoded = [&lists](qint16 field, const QVector<int>& values, QString (*name)(int, bool)) {
            for (int value : values)
                lists[field].append({name(value, false), value});
        };
        add(lfType, {ltUltrasonic, ltElectromagnetic}, &lmfTypeName);
        add(lfBeamCount, {1, 2}, &lmfBeamCountName);
        addCoded(lfForm, {fmStraight, fmNarrowed, fmCross}, &lmfFormName);
        add(lfConnection, {ctFlanged, ctWeldOn, ctWafer, ctThreaded}, &lmfConnectionTypeName);
        QVector<int> diameters = lmfStandardDns();
        diameters << vdn50x1 << vdn50x2 << lmfThreadDns();
        add(lfDiameter, diameters, &lmfDnName);
        // Painted carbon steel is the usual body and comes first.
        add(lfSteel, {mtCarbon, mtStainless}, &lmfMaterialName);
        addCoded(lfFettleMaterial, {1, 2}, &fettleMaterialName);
        addCoded(lfElectrodeMaterial, {1, 2, 3, 4}, &electrodeMaterialName);
        add(lfPressure, {16, 25, 40, 63}, &lmfNominalPressureName);
        add(lfProtection, {65, 67, 68}, &lmfIpName);
        addCoded(lfTemperatureType, {1, 2}, &lmfTemperatureTypeName);
        add(lfSeries, {1000, 1100, 1300, 1301, 1500, 2000, 2100, 2300, 2301, 2500}, &lmfSeriesName);
        addCoded(lfInterface, {100, 232, 485, 500}, &interfaceName);
        addCoded(lfAllowableError, {5, 10, 20}, &lmfAllowableErrorName);
        add(lfMPulseWeight, {4, 10, 11, 12, 13, 14}, &lmfMOutputPulseWeightName);
        addCoded(lfSupplyVoltage, {1, 2}, &lmfSupplyVoltageName);
        return lists;
    }();
    return items;
}

LmfPulseWeightRange lmfPulseWeightRange(int dn, int form, int series)
{
    const bool narrowed = form == fmNarrowed;
    const bool bSeries = lmfIsBSeries(series);
    for (const PulseWeightRow& row : kPulseWeights)
        if (row.dn == dn && row.narrowed == narrowed && row.bSeries == bSeries)
            return {row.minimum, row.maximum, row.factory};
    return {};
}

QVector<int> lmfMPulseWeights(int effectiveDn)
{
    return mPulseWeightsFor(effectiveDn).codes;
}

int lmfDefaultMPulseWeight(int effectiveDn)
{
    return mPulseWeightsFor(effectiveDn).codes.first();
}

} // namespace common
