#include "configurators/flowmeterconfig.h"

#include "gentools/errorhandle.h"
#include "vocabulary/displaynumber.h"

#include <QLocale>

#include <algorithm>
#include <initializer_list>

using namespace common;

namespace configurators {

namespace {

bool isOneOf(int value, std::initializer_list<int> values)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

// The shortest decimal form of a number with a point ("0.015", "12.5", "100"),
// the ground of the weight's written form in the designation.
QString shortestText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// A weight at the thousandths it is set in.
qint64 inThousandths(double weight)
{
    return qRound64(weight * 1000);
}

// The smallest ultrasonic bodies are made neither for the highest pressures nor
// for immersion.
bool isSmallUltrasonic(const FlowMeterChoice& c)
{
    return c.isUltrasonic() && isOneOf(lmfEffectiveDn(c.dn), {15, 20});
}

// A two-beam meter is made as a straight pipe only.
QList<int> allowedForms(const FlowMeterChoice& c)
{
    QList<int> forms{fmStraight};
    if (!c.isTwoBeam())
        forms << fmNarrowed << fmCross;
    return forms;
}

// Weld-on for straight ultrasonic pipes, threads for the electromagnetic and
// the narrowed ultrasonic bodies, wafer bodies for the electromagnetic meters.
QList<int> allowedConnections(const FlowMeterChoice& c)
{
    QList<int> connections{ctFlanged};
    if (c.isUltrasonic() && c.form == fmStraight)
        connections << ctWeldOn;
    if (c.isElectromagnetic() || (c.isUltrasonic() && c.form == fmNarrowed))
        connections << ctThreaded;
    if (c.isElectromagnetic())
        connections << ctWafer;
    return connections;
}

// From the standard DN series unless threaded.
QVector<int> allowedDiameters(const FlowMeterChoice& c)
{
    if (c.connection == ctThreaded)
        return lmfThreadDns();
    if (c.isUltrasonic()) {
        const bool twoBeam = c.isTwoBeam();
        if (c.form == fmCross)
            return {vdn50x1, vdn50x2};
        if (c.form == fmNarrowed)
            return lmfStandardDns(15, 100);
        if (c.form == fmStraight && c.connection == ctWeldOn)
            return lmfStandardDns(200, twoBeam ? 2000 : 600);
        if (c.form == fmStraight)
            return twoBeam ? lmfStandardDns(50, 2000) : lmfStandardDns(40, 600);
        return {};
    }
    if (c.isElectromagnetic())
        return lmfStandardDns(15, c.connection == ctWafer ? 100 : 200);
    return {};
}

QList<int> allowedPressures(const FlowMeterChoice& c)
{
    QList<int> pressures{16, 25};
    if (!isSmallUltrasonic(c))
        pressures << 40;
    if (c.isUltrasonic() && !isSmallUltrasonic(c))
        pressures << 63;
    return pressures;
}

// The form field counts as it stands, whatever the measuring principle.
QList<int> allowedProtections(const FlowMeterChoice& c)
{
    QList<int> protections;
    if (c.form != fmStraight)
        protections << 65;
    protections << 67;
    if (!isSmallUltrasonic(c))
        protections << 68;
    return protections;
}

QList<int> allowedSeries(const FlowMeterChoice& c)
{
    QList<int> series{1300, 2300};
    if (c.isElectromagnetic())
        series << 1000 << 1100 << 2000 << 2100;
    if (c.isUltrasonic() && !c.isTwoBeam())
        series << 1301 << 2301;
    if (c.isTwoBeam())
        series << 1500 << 2500;
    return series;
}

QList<int> allowedInterfaces(const FlowMeterChoice& c)
{
    const bool twoBeam = c.isTwoBeam();
    QList<int> interfaces;
    if (c.isElectromagnetic() || (c.isUltrasonic() && !twoBeam && !c.indication))
        interfaces << 232;
    if (twoBeam || c.indication)
        interfaces << 485;
    if (c.isElectromagnetic() && c.indication)
        interfaces << 500;
    return interfaces;
}

QList<int> allowedErrors(const FlowMeterChoice& c)
{
    const bool twoBeam = c.isTwoBeam();
    const bool electromagnetic = c.isElectromagnetic();
    const bool series1500 = twoBeam && isOneOf(c.series, {1500, 2500});
    QList<int> errors;
    if (series1500 || (electromagnetic && isOneOf(c.series, {1300, 2300})))
        errors << 5;
    if ((c.isUltrasonic() && !lmfIsBSeries(c.series) && !series1500) ||
        (electromagnetic && isOneOf(c.series, {1100, 2100})))
        errors << 10;
    if ((c.isUltrasonic() && !twoBeam) || (electromagnetic && isOneOf(c.series, {1000, 2000})))
        errors << 20;
    return errors;
}

// Mains 24 V unless the meter runs on its own battery.
QList<int> allowedSupplies(const FlowMeterChoice& c)
{
    QList<int> supplies;
    if (c.isTwoBeam() || isOneOf(c.series, {1300, 2300}))
        supplies << 2;
    if (lmfIsBSeries(c.series))
        supplies << 1;
    return supplies;
}

} // namespace

void FlowMeterChoice::set(LmfField field, int value)
{
    switch (field) {
    case lfType:
        type = value;
        break;
    case lfBeamCount:
        beams = value;
        break;
    case lfConnection:
        connection = value;
        break;
    case lfDiameter:
        dn = value < 0 ? int(vdnEmpty) : value;
        break;
    case lfForm:
        form = value;
        break;
    case lfSteel:
        steel = value;
        break;
    case lfHighTemperature:
        highTemperature = value == 1;
        break;
    case lfPressure:
        pressure = value;
        break;
    case lfProtection:
        protection = value;
        break;
    case lfTemperatureType:
        temperatureType = value;
        break;
    case lfIndication:
        indication = value == 1;
        break;
    case lfCurrentOutput:
        currentOutput = value == 1;
        break;
    case lfInterface:
        iface = value;
        break;
    case lfSeries:
        series = value;
        break;
    case lfAllowableError:
        allowableError = value;
        break;
    case lfMPulseWeight:
        mPulseWeight = value;
        break;
    case lfSupplyVoltage:
        supplyVoltage = value;
        break;
    case lfStainless:
        stainless = value == 1;
        break;
    case lfFettleMaterial:
        fettleMaterial = value;
        break;
    case lfElectrodeMaterial:
        electrodeMaterial = value;
        break;
    case lfPulseWeight:
    case lfStandardPulseWeight:
        break;
    }
}

QList<int> offeredOptions(const FlowMeterChoice& choice, LmfField field)
{
    QVector<int> allowed;
    bool ruled = true;
    switch (field) {
    case lfForm:
        allowed = allowedForms(choice).toVector();
        break;
    case lfConnection:
        allowed = allowedConnections(choice).toVector();
        break;
    case lfDiameter:
        allowed = allowedDiameters(choice);
        break;
    case lfPressure:
        allowed = allowedPressures(choice).toVector();
        break;
    case lfProtection:
        allowed = allowedProtections(choice).toVector();
        break;
    case lfSeries:
        allowed = allowedSeries(choice).toVector();
        break;
    case lfInterface:
        allowed = allowedInterfaces(choice).toVector();
        break;
    case lfAllowableError:
        allowed = allowedErrors(choice).toVector();
        break;
    // The supply and the two pulse weights belong to one principle each; the
    // other principle leaves them as they are, hidden.
    case lfSupplyVoltage:
        ruled = choice.isUltrasonic();
        allowed = allowedSupplies(choice).toVector();
        break;
    case lfMPulseWeight:
        ruled = !choice.isUltrasonic();
        allowed = lmfMPulseWeights(lmfEffectiveDn(choice.dn));
        break;
    default:
        ruled = false;
        break;
    }
    // In the order of the combo's items.
    QList<int> offered;
    for (const auto& item : lmfOptionItems().value(field))
        if (!ruled || allowed.contains(item.second))
            offered << item.second;
    return offered;
}

bool isRowShown(const FlowMeterChoice& choice, LmfField field)
{
    switch (field) {
    case lfBeamCount:
    case lfForm:
    case lfSteel:
    case lfSupplyVoltage:
    case lfPulseWeight:
    case lfStandardPulseWeight:
        return choice.isUltrasonic();
    case lfStainless:
    case lfFettleMaterial:
    case lfElectrodeMaterial:
    case lfMPulseWeight:
        return choice.isElectromagnetic();
    case lfHighTemperature:
    case lfTemperatureType:
        return choice.isTwoBeam();
    default:
        return true;
    }
}

// The "Б" series always indicate and have no current output; two-beam meters
// always have one.
std::optional<bool> forcedCheck(const FlowMeterChoice& choice, LmfField field)
{
    const bool bSeries = lmfIsBSeries(choice.series);
    if (field == lfIndication && bSeries)
        return true;
    if (field == lfCurrentOutput && choice.isTwoBeam())
        return true;
    if (field == lfCurrentOutput && bSeries)
        return false;
    return std::nullopt;
}

QString diameterRangeNote(const FlowMeterChoice& choice)
{
    return choice.beams == 2 ? QStringLiteral("Диапазон диаметров для двухлучевых счетчиков -\n50-2000 мм")
                             : QStringLiteral("Диапазон диаметров для однолучевых счетчиков -\n15-600 мм");
}

LmfPulseWeightRange rangeU(const FlowMeterChoice& choice, const PulseWeightLookup& lookup)
{
    if (!isOneOf(choice.form, {fmStraight, fmNarrowed, fmCross}))
        return LmfPulseWeightRange();
    const int dn = choice.dn;
    const LmfPulseWeightRange range = lookup(dn, choice.form, choice.series);
    if (range.isEmpty())
        // Every diameter offered to an ultrasonic meter has its row.
        GEH_ASSERT(dn == vdnEmpty);
    return range;
}

QString pulseWeightNote(const FlowMeterChoice& choice, const LmfPulseWeightRange& range)
{
    if (!range.isEmpty())
        return QStringLiteral("Допустимы значения от %1 до %2 л/имп.\nЗаводская установка - %3 л/имп.")
            .arg(displayShortest(range.minimum), displayShortest(range.maximum),
                 displayShortest(range.factory));
    if (choice.dn == vdnEmpty)
        return QStringLiteral("Укажите, пожалуйста, диаметр");
    if (choice.form == -1)
        return QStringLiteral("Укажите, пожалуйста, форму");
    return QString();
}

int defaultMPulseWeight(const FlowMeterChoice& choice)
{
    return lmfDefaultMPulseWeight(lmfEffectiveDn(choice.dn));
}

bool isPulseWeightAllowed(double weight, const LmfPulseWeightRange& range)
{
    const qint64 shown = inThousandths(weight);
    return shown >= inThousandths(range.minimum) && shown <= inThousandths(range.maximum);
}

double followedPulseWeight(double weight, const LmfPulseWeightRange& range)
{
    if (range.isEmpty() || isPulseWeightAllowed(weight, range))
        return weight;
    return range.factory;
}

int followedMPulseWeight(const FlowMeterChoice& choice)
{
    if (lmfMPulseWeights(lmfEffectiveDn(choice.dn)).contains(choice.mPulseWeight))
        return choice.mPulseWeight;
    return defaultMPulseWeight(choice);
}

QString pulseWeightChangeNote(double from, double to, const LmfPulseWeightRange& range)
{
    if (from == 0 || inThousandths(from) == inThousandths(to))
        return QString();
    // The unit stays on the line of its figure.
    return QStringLiteral("Вес выходного импульса изменён с %1 на %2\u00A0л/имп.: прежний вне диапазона "
                          "от %3 до %4\u00A0л/имп.")
        .arg(displayShortest(from), displayShortest(to), displayShortest(range.minimum),
             displayShortest(range.maximum));
}

QString mPulseWeightChangeNote(int from, int to, const FlowMeterChoice& choice)
{
    if (from < 0 || from == to)
        return QString();
    // The codes are named by the weights the meter's display shows.
    return QStringLiteral("Вес выходного импульса изменён с %1 на %2\u00A0л/имп.: прежний не выпускается "
                          "для диаметра %3")
        .arg(lmfMOutputPulseWeightName(from), lmfMOutputPulseWeightName(to), lmfDnName(choice.dn));
}

QString pulseWeightText(double weight)
{
    QString text = shortestText(weight).replace(QLatin1Char('.'), QLatin1Char(','));
    if (text.size() < 3 && !text.contains(QLatin1Char(',')))
        text += QStringLiteral(",0");
    return text;
}

QString flowMeterDesignation(const FlowMeterChoice& c)
{
    const bool ultrasonic = c.isUltrasonic();
    const bool electromagnetic = c.isElectromagnetic();
    const bool twoBeam = c.isTwoBeam();

    QString text =
        QStringLiteral("Счетчик-расходомер %1 ЛМФ")
            .arg(ultrasonic ? QStringLiteral("ультразвуковой") : QStringLiteral("электромагнитный"));
    // Parts are appended after a hyphen; marks are attached to the part before them.
    const auto append = [&text](const QString& part) { text += QLatin1Char('-') + part; };
    const auto attach = [&text](const QString& mark) { text += mark; };

    append(ultrasonic ? QStringLiteral("У") : QStringLiteral("М"));
    if (twoBeam)
        append(QStringLiteral("2"));
    append(lmfDnName(c.dn));
    if (c.connection == ctWeldOn)
        attach(QStringLiteral("БФ"));
    else if (c.connection == ctWafer)
        attach(QStringLiteral("С"));
    else if (electromagnetic && c.connection == ctFlanged)
        attach(QStringLiteral("Ф"));
    if (ultrasonic)
        append(lmfFormName(c.form, true));
    if ((ultrasonic && c.steel == mtStainless) || (electromagnetic && c.stainless))
        attach(QStringLiteral("нж"));
    if (twoBeam && c.highTemperature)
        attach(QStringLiteral("HT"));
    if (electromagnetic) {
        append(fettleMaterialName(c.fettleMaterial, true));
        append(electrodeMaterialName(c.electrodeMaterial, true));
    }
    append(QString::number(c.pressure));
    append(QString::number(c.protection));
    if (twoBeam)
        append(lmfTemperatureTypeName(c.temperatureType, true));
    append(c.indication ? QStringLiteral("И") : QStringLiteral("О"));
    append(c.currentOutput ? QStringLiteral("420") : QStringLiteral("000"));
    append(interfaceName(c.iface, true));
    append(lmfSeriesName(c.series));
    append(lmfAllowableErrorName(c.allowableError, true));
    if (electromagnetic)
        append(QString::number(c.mPulseWeight));
    else
        append(pulseWeightText(c.pulseWeight));
    if (ultrasonic)
        append(lmfSupplyVoltageName(c.supplyVoltage, true));
    return text;
}

} // namespace configurators
