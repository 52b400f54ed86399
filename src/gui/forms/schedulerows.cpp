// How each document appears in the equipment schedule of its project: the
// device the user chose, named with the figures a purchaser and a checker look
// for, and its designation exactly as the window writes it; no device while
// none is chosen.

#include "configurators/flowmeterconfig.h"
#include "engine/electricdrive.h"
#include "forms/fancabinetchild.h"
#include "forms/flowmeterchild.h"
#include "forms/kvchild.h"
#include "forms/regulatorchild.h"
#include "forms/valvechild.h"
#include "vocabulary/devicedimensions.h"
#include "vocabulary/flowmeter.h"
#include "vocabulary/symbols.h"

#include <QLocale>

using namespace common;

namespace {

// A figure as the schedule writes it: shortest form, decimal comma.
QString figure(double value)
{
    return QLocale::c()
        .toString(value, 'g', QLocale::FloatingPointShortest)
        .replace(QLatin1Char('.'), QLatin1Char(','));
}

// "Масса, кг, не более" of the dimension catalogue; not a number where it has none.
double catalogueMass(int deviceType, int dn)
{
    const SeriesSizes* sizes = seriesSizes(deviceType);
    const int index = nominalDiameters().indexOf(dn);
    if (!sizes || index < 0 || index >= sizes->mass.size())
        return qQNaN();
    return sizes->mass.at(index);
}

// "вода, 150 °C": the medium and the temperature the device was sized for.
QString mediumText(const InputParams& input)
{
    return QStringLiteral("среда: %1, %2 °C")
        .arg(substanceName(SubstanceType(input.substance), input.concentration), figure(input.temperature()));
}

// "Клапан седельный ЛМК-2, DN 32, Kvs 16 м³/ч"
QString seriesText(const ResultItem& item, const QString& kvName)
{
    return QStringLiteral("%1, DN %2, %3 %4 м³/ч")
        .arg(deviceTypeName(DeviceType(item.deviceType), true), QString::number(item.dn), kvName,
             figure(item.kv));
}

// Why a selection gives no device: the task was refused (no candidates
// offered), or no candidate is chosen among them.
QString notChosenText(bool offered)
{
    return offered ? QStringLiteral("Устройство не выбрано") : QStringLiteral("Подбор не выполнен");
}

QString notDesignatedText()
{
    return QStringLiteral("Обозначение не составлено: выбраны не все параметры");
}

} // namespace

QList<ScheduleRow> ValveChild::scheduleRows() const
{
    const ValveResultItem* valve = chosenValve();
    if (!valve)
        return {unchosenScheduleRow(notChosenText(choiceCombo()))};
    QList<ScheduleRow> rows{
        deviceScheduleRow(QStringLiteral("%1, %2").arg(seriesText(*valve, QStringLiteral("Kvs")),
                                                       mediumText(m_algorithm.valveInput())),
                          valve->name(false), catalogueMass(valve->deviceType, valve->dn))};
    // The drive is ordered with the valve, one per valve, right under it and
    // marked with the valve's mark and ".1".
    if (const ElectricDrive* drive = ElectricDriveCatalogue::standard().find(m_driveDesignation)) {
        QString words = drives::description(*drive);
        if (!words.isEmpty())
            words[0] = words.at(0).toLower();
        ScheduleRow row =
            deviceScheduleRow(QStringLiteral("Электропривод: %1").arg(words), drive->m_designation);
        if (!row.position.isEmpty())
            row.position += QStringLiteral(".1");
        row.partOfRowBefore = true;
        rows.append(row);
    }
    return rows;
}

QList<ScheduleRow> RegulatorChild::scheduleRows() const
{
    const RegulatorResultItem* regulator = chosenRegulator();
    if (!regulator)
        return {unchosenScheduleRow(notChosenText(choiceCombo()))};
    return {deviceScheduleRow(QStringLiteral("%1, диапазон настройки %2, %3")
                                  .arg(seriesText(*regulator, QStringLiteral("Kvy")),
                                       RegulatorAlgorithm::tuningRangeName(regulator->tuningRange),
                                       mediumText(m_algorithm.regulatorInput())),
                              regulator->name(false), catalogueMass(regulator->deviceType, regulator->dn))};
}

QList<ScheduleRow> KvChild::scheduleRows() const
{
    return {unchosenScheduleRow(QStringLiteral("Расчёт Kv: устройство не подбирается"))};
}

QList<ScheduleRow> FlowMeterChild::scheduleRows() const
{
    if (m_designation.isEmpty())
        return {unchosenScheduleRow(notDesignatedText())};
    const configurators::FlowMeterChoice chosen = choice();
    const QString kind =
        chosen.isUltrasonic() ? QStringLiteral("ультразвуковой") : QStringLiteral("электромагнитный");
    QString name =
        QStringLiteral("%1 ЛМФ %2, DN %3").arg(deviceTypeName(dtLMF, true), kind, lmfDnName(chosen.dn));
    if (chosen.pressure > 0)
        name += QStringLiteral(", PN %1").arg(chosen.pressure);
    return {deviceScheduleRow(name, m_designation)};
}

QList<ScheduleRow> CabinetChild::scheduleRows() const
{
    if (copyText().isEmpty())
        return {unchosenScheduleRow(notDesignatedText())};
    QString name = deviceTypeName(deviceType(), true);
    if (docType() == docStdCabinet)
        name += QStringLiteral(", контуров: %1").arg(loopCount());
    return {deviceScheduleRow(name, copyText())};
}
