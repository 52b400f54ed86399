#include "common.h"

#include "gentools/errorhandle.h"
#include "symbols.h"

#include <QChar>

namespace common {

namespace {

// One row of a name table: a value of the vocabulary and its Russian text.
template <typename E>
struct Name
{
    E value;
    const char* text;
};

template <typename E, std::size_t N>
const char* lookup(const Name<E> (&table)[N], E value)
{
    for (const Name<E>& row : table)
        if (row.value == value)
            return row.text;
    return nullptr;
}

QString unknownText()
{
    return QStringLiteral("Неизвестно");
}

QString unknownDeviceText()
{
    return QStringLiteral("Неизвестный тип оборудования");
}

// Fills every "%1" of a caption with the caller's separator (a blank in this
// program; a line break where a caption must wrap).
QString withSeparator(const char* text, const QString& separator)
{
    return QString::fromUtf8(text).replace(QStringLiteral("%1"), separator);
}

// How the full name of a device type is completed.
enum class Fill {
    None,
    Separator,  // "%1" is the caller's separator
    Guillemets, // "%1" and "%2" are the Russian quotation marks « and »
};

struct DeviceNames
{
    DeviceType type;
    const char* shortName;
    const char* fullName;
    Fill fill;
};

const DeviceNames kDeviceNames[] = {
    {dtLMKP, "ЛМК-П", "Клапан для пара ЛМК-П", Fill::None},
    {dtLMK2, "ЛМК-2", "Клапан седельный ЛМК-2", Fill::None},
    {dtLMK3, "ЛМК-3", "Клапан трёхходовой ЛМК-3", Fill::None},
    {dtLMSHStd, "ЛМШ для ГВС или ОТП", "Шкаф управления%1для ГВС или ОТП", Fill::Separator},
    {dtLMSHFan, "ЛМШ для ВЕНТ", "Шкаф управления%1для приточной вентиляции", Fill::Separator},
    {dtLMRD, "ЛМР-Д", "Регулятор перепада давления ЛМР-Д", Fill::None},
    {dtLMR2P, "ЛМР-2-П", "Регулятор давления \"после себя\" прямого действия ЛМР-2-П (для пара)", Fill::None},
    {dtLMR1, "ЛМР-1", "Регулятор давления %1до себя%2 ЛМР-1", Fill::Guillemets},
    {dtLMR101, "ЛМР-1-01", "Регулятор %1перепуска%2 ЛМР-1-01", Fill::Guillemets},
    {dtLMF, "Расходомер", "Расходомер", Fill::None},
};

const Name<SubstanceType> kSubstanceNames[] = {
    {stWater, "вода"},
    {stPropyleneGlycol, "пропиленгликоля раствор"},
    {stEthyleneGlycol, "этиленгликоля раствор"},
    {stSuperheatedSteam, "перегретый пар"},
    {stSaturatedSteam, "насыщенный пар"},
    {stAir, "воздух"},
    {stNitrogen, "азот"},
};

const Name<PressureMeasure> kPressureMeasureNames[] = {
    {pmBar, "бар"}, {pmAtm, "атм"}, {pmMPa, "МПа"}, {pmPa, "Па"}, {pmKPa, "кПа"}, {pmMWater, "м вод. ст."},
};

// Volume units start with "%0": "н" (normal cubic metres or litres) for gases,
// nothing for liquids. "%1" is the superscript three.
const Name<WfMeasure> kWfMeasureNames[] = {
    {wfM3h, "%0м%1/ч"}, {wfLh, "%0л/ч"}, {wfLmin, "%0л/мин."}, {wfLs, "%0л/с"},
    {wfTh, "т/ч"},      {wfKgh, "кг/ч"}, {wfKgs, "кг/с"},
};

const Name<HeatMeasure> kHeatMeasureNames[] = {
    {hmGcalH, "ГКал/ч"},
    {hmMWH, "МВт/ч"},
    {hmGJH, "ГДж/ч"},
};

// The words that follow "Регулятор " in titles.
const Name<RegulatorType> kRegulatorTypeNames[] = {
    {rtDiffPressure, "перепада давления"},
    {rtUpstream, "давления \"до себя\""},
    {rtDownstream, "давления \"после себя\""},
    {rtBypass, "\"перепуска\""},
};

const Name<Loop> kLoopNames[] = {
    {lpHeating, "отопление"},
    {lpHotWater, "ГВС"},
    {lpVentilation, "вентиляция"},
    {lpHeatingHotWater, "отопление + ГВС"},
    {lpHeatingVentilation, "отопление + вентиляция"},
    {lpAll, "отопление + ГВС + вентиляция"},
    {lpHotWaterVentilation, "ГВС + вентиляция"},
    {lpProcess, "технологический процесс"},
};

const Name<NoiseRisk> kNoiseRiskNames[] = {
    {nrLow, "низкая"},     {nrLowerMedium, "ниже средней"},
    {nrMedium, "средняя"}, {nrUpperMedium, "выше средней"},
    {nrHigh, "высокая"},
};

const Name<InstallPlace> kInstallPlaceNames[] = {
    {ipSupply, "подающий трубопровод"},
    {ipReturn, "обратный трубопровод"},
};

// Stems of the dimension drawings; the other device types have none.
const Name<DeviceType> kDeviceSizeImageStems[] = {
    {dtLMKP, "lmkp"}, {dtLMK2, "lmk2"},    {dtLMK3, "lmk3"},
    {dtLMRD, "lmrd"}, {dtLMR2P, "lmr2_p"}, {dtLMR1, "lmr1"},
};

} // namespace

QString deviceTypeName(DeviceType type, bool full, const QString& separator)
{
    for (const DeviceNames& row : kDeviceNames) {
        if (row.type != type)
            continue;
        if (!full)
            return QString::fromUtf8(row.shortName);
        switch (row.fill) {
        case Fill::Separator:
            return withSeparator(row.fullName, separator);
        case Fill::Guillemets:
            return QString::fromUtf8(row.fullName).arg(QChar(0x00AB)).arg(QChar(0x00BB));
        case Fill::None:
            break;
        }
        return QString::fromUtf8(row.fullName);
    }
    GEH_ASSERT(0);
    return unknownDeviceText();
}

bool isRegulator(DeviceType type)
{
    return type == dtLMRD || type == dtLMR2P || type == dtLMR1 || type == dtLMR101;
}

const QVector<DocTypeInfo>& docTypes()
{
    // Valves, regulators and the Kv calculation in the first column and last
    // cell of the dialog; the two cabinets share one photo, since only their
    // equipment differs.
    static const QVector<DocTypeInfo> types{
        {docValve, "Клапан", "Регулирующий клапан", ":icons/foto_valve2.png"},
        {docRegulator, "Регулятор", "Регулятор давления%1и перепада давления%1прямого действия",
         ":icons/foto_regulator.png"},
        {docStdCabinet, "ЛМШ для ГВС или ОТП", "Шкаф управления%1для ГВС или ОТП", ":icons/foto_lmsh.png"},
        {docFanCabinet, "ЛМШ для ВЕНТ", "Шкаф управления%1для приточной вентиляции", ":icons/foto_lmsh.png"},
        {docFlowMeter, "Расходомер", "Расходомер", ":icons/foto_lmf_m.png"},
        {docKv, "Расчёт Kv", "Расчёт Kv", ":icons/calcKv.png"},
    };
    return types;
}

const DocTypeInfo* docTypeInfo(int type)
{
    for (const DocTypeInfo& row : docTypes())
        if (row.type == type)
            return &row;
    return nullptr;
}

QString simpleDocTypeName(DocType type)
{
    if (const DocTypeInfo* row = docTypeInfo(type))
        return QString::fromUtf8(row->simpleName);
    GEH_ASSERT(0);
    return unknownDeviceText();
}

QString docTypeDescription(DocType type, const QString& separator)
{
    if (const DocTypeInfo* row = docTypeInfo(type))
        return withSeparator(row->description, separator);
    GEH_ASSERT(0);
    return unknownDeviceText();
}

QString substanceName(SubstanceType type)
{
    if (const char* text = lookup(kSubstanceNames, type))
        return QString::fromUtf8(text);
    GEH_ASSERT(0);
    return unknownText();
}

QString substanceName(SubstanceType type, double concentration)
{
    QString name = substanceName(type);
    // Only the glycol solutions carry their concentration in the name.
    if (type == stPropyleneGlycol || type == stEthyleneGlycol)
        name += QStringLiteral(" %1%").arg(QString::number(concentration, 'g', -1));
    return name;
}

QString pressureMeasureName(PressureMeasure measure)
{
    if (const char* text = lookup(kPressureMeasureNames, measure))
        return QString::fromUtf8(text);
    GEH_ASSERT(0);
    return unknownText();
}

QString wfMeasureName(WfMeasure measure, bool isLiquid)
{
    if (const char* text = lookup(kWfMeasureNames, measure))
        return QString::fromUtf8(text)
            .replace(QStringLiteral("%0"), isLiquid ? QString() : QStringLiteral("н"))
            .replace(QStringLiteral("%1"), QString(cubedSign));
    GEH_ASSERT(0);
    return unknownText();
}

QString heatMeasureName(HeatMeasure measure)
{
    if (const char* text = lookup(kHeatMeasureNames, measure))
        return QString::fromUtf8(text);
    GEH_ASSERT(0);
    return unknownText();
}

QString regulatorTypeFunctionalName(RegulatorType type)
{
    if (const char* text = lookup(kRegulatorTypeNames, type))
        return QString::fromUtf8(text);
    GEH_ASSERT(0);
    return unknownText();
}

QString loopName(Loop loop)
{
    if (const char* text = lookup(kLoopNames, loop))
        return QString::fromUtf8(text);
    GEH_ASSERT(0);
    return unknownText();
}

QString noiseRiskName(NoiseRisk risk)
{
    if (const char* text = lookup(kNoiseRiskNames, risk))
        return QString::fromUtf8(text);
    GEH_ASSERT(0);
    return unknownText();
}

QString installPlaceName(InstallPlace place)
{
    if (const char* text = lookup(kInstallPlaceNames, place))
        return QString::fromUtf8(text);
    GEH_ASSERT(0);
    return unknownText();
}

bool hasDimensionDrawing(DeviceType type)
{
    return lookup(kDeviceSizeImageStems, type) != nullptr;
}

QString deviceSizeImageName(DeviceType type, bool small)
{
    if (const char* stem = lookup(kDeviceSizeImageStems, type))
        return QStringLiteral(":/icons/") + QLatin1String(stem) +
               (small ? QStringLiteral("_small") : QString()) + QStringLiteral(".png");
    GEH_ASSERT(0);
    return QString();
}

const QVector<int>& standardDnSeries()
{
    static const QVector<int> series{15,  20,  25,   32,   40,   50,   65,   80,  100, 125,
                                     150, 200, 250,  300,  350,  400,  450,  500, 600, 700,
                                     800, 900, 1000, 1200, 1400, 1600, 1800, 2000};
    return series;
}

QVector<int> standardDns(int lowest, int highest)
{
    QVector<int> range;
    for (int dn : standardDnSeries())
        if (dn >= lowest && dn <= highest)
            range.append(dn);
    return range;
}

} // namespace common
