#include "forms/explanationtext.h"

#include "engine/regulatoralgorithm.h"
#include "engine/resultitem.h"
#include "framework/linebreaks.h"
#include "vocabulary/common.h"
#include "vocabulary/displaynumber.h"
#include "vocabulary/symbols.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

using explain::Criterion;
using explain::Rejection;

namespace explaintext {

namespace {

const QString kDash = QStringLiteral("—");
const QString kSeparator = QStringLiteral(" · ");

// A pressure in Pa as the results show pressures of a device: MPa.
QString megapascals(double pa)
{
    return figure(pa / 1e6) + QStringLiteral(" МПа");
}

// The first letter of a text in upper case: the line and the tooltip begin
// with it, the phrases inside them do not.
QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    return text;
}

// The flow a speed is of, said beside it: the same pipe shows another speed
// in the pipe choice (design flow) than in a valve's rating (full-open flow).
QString flowPhrase(const Criterion& c)
{
    return c.flow == Criterion::FullyOpenValve ? QStringLiteral("при полностью открытом клапане")
                                               : QStringLiteral("при расчётном расходе");
}

// The speeds of steam and gases before and after the device, each that exists.
// They are shown for the pipe choice, not judged: no bound holds for them.
QString speedsOfSteam(const Criterion& c)
{
    QStringList speeds;
    if (std::isfinite(c.before))
        speeds << QStringLiteral("до %1 м/с").arg(figure(c.before));
    if (std::isfinite(c.after))
        speeds << QStringLiteral("после %1 м/с").arg(figure(c.after));
    return speeds.isEmpty() ? QStringLiteral("скорость не оценивается")
                            : QStringLiteral("скорость %1 %2 — не оценивается")
                                  .arg(speeds.join(QStringLiteral(", ")), flowPhrase(c));
}

// `liquid`: the task's medium is a liquid; steam valves carry no safety factor
// and no authority. `detailed`: the tooltip, with the figures of cavitation.
QString criterionText(const Criterion& c, bool liquid, bool detailed)
{
    switch (c.kind) {
    case Criterion::PipeSpeed:
        if (c.notJudged)
            return speedsOfSteam(c);
        return (c.met ? QStringLiteral("скорость %1 м/с %3 ≤ %2")
                      : QStringLiteral("скорость %1 м/с %3 — выше %2"))
            .arg(figure(c.value), bound(c.high), flowPhrase(c));
    case Criterion::SafetyFactor:
        if (!liquid)
            return QStringLiteral("запас не рассчитывается");
        return (c.met ? QStringLiteral("запас %1 в %2–%3") : QStringLiteral("запас %1 — вне %2–%3"))
            .arg(figure(c.value), bound(c.low), bound(c.high));
    case Criterion::Authority:
        if (!liquid)
            return QStringLiteral("авторитет не рассчитывается");
        return (c.met ? QStringLiteral("авторитет %1 ≥ %2") : QStringLiteral("авторитет %1 — ниже %2"))
            .arg(figure(c.value), bound(c.low));
    case Criterion::Cavitation: {
        if (c.notJudged)
            return QStringLiteral("кавитация не оценивается");
        const QString verdict =
            c.met ? QStringLiteral("кавитации нет") : QStringLiteral("кавитация возможна");
        if (!detailed)
            return verdict;
        // The drop across the device against the drop at which the liquid boils in it.
        return verdict + QStringLiteral(" (перепад %1, вскипание при %2)")
                             .arg(megapascals(c.value), megapascals(c.high));
    }
    case Criterion::Noise: {
        const QString grade =
            std::isfinite(c.value) ? common::noiseRiskName(common::NoiseRisk(int(c.value))) : kDash;
        return c.met ? QStringLiteral("шум: %1").arg(grade)
                     : QStringLiteral("шум: %1 — выше допустимого").arg(grade);
    }
    case Criterion::TuningRange:
        if (!c.met)
            return QStringLiteral("настройка %1 МПа — нет диапазона").arg(figure(c.value));
        return QStringLiteral("настройка %1 МПа в диапазоне %2")
            .arg(figure(c.value), RegulatorAlgorithm::tuningRangeName(c.code));
    }
    return QString();
}

bool isLiquid(const explain::CandidateExplanation& why)
{
    // Only a liquid is judged for cavitation.
    const Criterion* cavitation = why.find(Criterion::Cavitation);
    return cavitation && !cavitation->notJudged;
}

// The tuning ranges by the names the windows give them elsewhere, each once.
QString rangeNames(const QList<explain::TuningSpan>& ranges)
{
    QStringList names;
    for (const explain::TuningSpan& span : ranges) {
        const QString name = RegulatorAlgorithm::tuningRangeName(span.code);
        if (!names.contains(name))
            names << name;
    }
    return names.isEmpty() ? QStringLiteral("диапазонов нет") : names.join(QStringLiteral(", "));
}

} // namespace

QString figure(double value)
{
    return std::isfinite(value) ? common::displayNumber(value, 2) : kDash;
}

QString bound(double value)
{
    if (!std::isfinite(value))
        return kDash;
    // A bound reads as a measure ("3,0"), not as a count ("3").
    const QString text = kvs(value);
    const QChar point = QLocale().decimalPoint();
    return text.contains(point) ? text : text + point + QLatin1Char('0');
}

QString kvs(double value)
{
    return std::isfinite(value) ? common::displayShortest(value) : kDash;
}

QString criteriaLine(const explain::CandidateExplanation& why)
{
    const bool liquid = isLiquid(why);
    QStringList parts;
    for (int i = 0; i < why.count; ++i)
        parts << criterionText(why.criteria.at(i), liquid, false);
    return capitalised(parts.join(kSeparator));
}

namespace {

// A criterion longer than a line (a steam valve's two speeds) goes on over
// more lines at its spaces, never between a figure and its unit; the lines of
// one criterion are parted by a line separator, those between criteria by "\n".
QString wrappedCriterion(const QString& part, int width)
{
    if (part.size() <= width)
        return part;
    QStringList lines;
    for (const QString& word : framework::keepTogether(part).split(QLatin1Char(' '))) {
        if (!lines.isEmpty() && lines.last().size() + 1 + word.size() <= width)
            lines.last() += QLatin1Char(' ') + word;
        else
            lines << word;
    }
    return lines.join(QChar::LineSeparator);
}

} // namespace

QString brokenLine(const QString& line, int width)
{
    QStringList lines;
    for (const QString& part : line.split(kSeparator)) {
        if (!lines.isEmpty() && lines.last().size() + kSeparator.size() + part.size() <= width)
            lines.last() += kSeparator + part;
        else
            lines << wrappedCriterion(part, width);
    }
    return lines.join(QLatin1Char('\n'));
}

QString rejection(const Rejection& why, int dn)
{
    switch (why.rule) {
    case Rejection::None:
        return QString();
    case Rejection::NotSmallestDiameter: {
        QStringList diameters;
        for (int d : why.diameters)
            diameters << QString::number(d);
        return QStringLiteral("DN %1 не входит в два наименьших диаметра (%2)")
            .arg(dn)
            .arg(diameters.join(QStringLiteral(", ")));
    }
    case Rejection::ExcludedKvs:
        return QStringLiteral("Kvs %1 — исключённое значение").arg(kvs(why.kvs));
    case Rejection::BelowDnThreshold:
        return QStringLiteral("Kvs %1 меньше порога %2 для DN %3")
            .arg(kvs(why.kvs), kvs(why.threshold))
            .arg(dn);
    case Rejection::NoTuningRange:
        return QStringLiteral("Ни один диапазон настройки DN %1 не содержит уставку %2 МПа (%3)")
            .arg(dn)
            .arg(figure(why.setpoint), rangeNames(why.ranges));
    }
    return QString();
}

QString toolTip(const ResultItem& item, const explain::CandidateExplanation& why)
{
    QStringList lines{item.name(true)};
    bool allMet = why.count > 0;
    for (int i = 0; i < why.count; ++i)
        allMet = allMet && why.criteria.at(i).met;
    if (item.rejected) {
        const QString rule = rejection(why.rejection, item.dn);
        lines << (rule.isEmpty() ? QStringLiteral("Отбракован") : QStringLiteral("Отбракован: ") + rule);
    } else {
        lines << (allMet ? QStringLiteral("Предложен: выполнены все критерии") : QStringLiteral("Предложен"));
    }
    const bool liquid = isLiquid(why);
    for (int i = 0; i < why.count; ++i)
        lines << capitalised(criterionText(why.criteria.at(i), liquid, true));
    return lines.join(QLatin1Char('\n'));
}

QString noSuitableModel(const explain::NoSuitableModel& missing)
{
    const QString perHour = QStringLiteral("м%1/ч").arg(common::cubedSign);
    switch (missing.missing) {
    case explain::NoSuitableModel::Nothing:
        return QString();
    case explain::NoSuitableModel::KvBeyondSeries:
        return QStringLiteral("Расчётный Kv %1 %3 больше, чем может дать серия: наибольший Kvs %2 %3")
            .arg(figure(missing.requiredKv), kvs(missing.largestKvs), perHour);
    case explain::NoSuitableModel::TuningRange:
        return QStringLiteral("Уставка %1 МПа не входит ни в один диапазон настройки (%2)")
            .arg(figure(missing.setpoint), rangeNames(missing.ranges));
    }
    return QString();
}

} // namespace explaintext
