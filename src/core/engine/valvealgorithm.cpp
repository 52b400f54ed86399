#include "valvealgorithm.h"

#include <QMultiMap>

#include <cmath>

using namespace common;

namespace {

// The valve catalogue: for each DN, mm, the Kvs values, m³/h, of the three
// series.
struct ValveCatalogueRow
{
    int dn;
    std::initializer_list<double> lmk2;
    std::initializer_list<double> lmk3;
    std::initializer_list<double> lmkp;
};

const ValveCatalogueRow valveCatalogue[] = {
    {15, {0.25, 0.4, 0.63, 1, 1.6, 2.5, 4}, {0.63, 1.25, 1.6, 2.5, 4}, {0.25, 0.4, 0.63, 1, 1.6, 2.5}},
    {20, {1.6, 2.5, 4, 6.3}, {5, 6.3}, {1.6, 2.5, 4, 6.3}},
    {25, {2.5, 4, 6.3, 10}, {8, 10}, {2.5, 4, 6.3, 10}},
    {32, {6.3, 10, 16}, {12.5, 16}, {6.3, 10, 16}},
    {40, {10, 16, 25}, {20, 25}, {10, 16, 25}},
    {50, {10, 16, 25, 32, 40}, {32, 40}, {10, 16, 25, 32, 40}},
    {65, {25, 40, 63}, {50, 63}, {25, 40, 63}},
    {80, {40, 63, 100}, {80, 100}, {40, 63, 100}},
    {100, {63, 100, 125, 160}, {125, 160}, {63, 100, 125, 160}},
    {125, {100, 125, 160, 200}, {250}, {100, 125, 160, 200}},
    {150, {100, 160, 200, 250, 300}, {315}, {100, 160, 200, 250, 300}},
    {200, {250, 300, 360, 450, 630}, {315, 400, 500, 630}, {250, 300, 360, 450, 630}},
    {250, {400, 630, 800, 1000}, {400, 500, 630, 800, 1000}, {400, 630, 800, 1000}},
    {300, {1000, 1250, 1600}, {630, 800, 1000, 1250}, {1000, 1250, 1600}},
};

using Catalogue = QMultiMap<double, int>;

struct ValveCatalogues
{
    Catalogue lmk2, lmk3, lmkp;

    ValveCatalogues()
    {
        for (const ValveCatalogueRow& row : valveCatalogue) {
            for (double kvs : row.lmk2)
                lmk2.insert(kvs, row.dn);
            for (double kvs : row.lmk3)
                lmk3.insert(kvs, row.dn);
            for (double kvs : row.lmkp)
                lmkp.insert(kvs, row.dn);
        }
    }
};

// The catalogue of a series; null for a device type that is not a valve.
const Catalogue* catalogueOf(int deviceType)
{
    static const ValveCatalogues catalogues;
    switch (deviceType) {
    case dtLMK2:
        return &catalogues.lmk2;
    case dtLMK3:
        return &catalogues.lmk3;
    case dtLMKP:
        return &catalogues.lmkp;
    default:
        return nullptr;
    }
}

} // namespace

ValveAlgorithm::ValveAlgorithm() = default;

QList<double> ValveAlgorithm::ascendingKvsList() const
{
    const Catalogue* catalogue = catalogueOf(m_input.deviceType());
    if (!GEH_ASSERT(catalogue))
        return {};
    return catalogue->uniqueKeys();
}

QList<int> ValveAlgorithm::diametersByKvs(double Kvs) const
{
    const Catalogue* catalogue = catalogueOf(m_input.deviceType());
    if (!GEH_ASSERT(catalogue))
        return {};
    QList<int> result = catalogue->values(Kvs);
    std::sort(result.begin(), result.end());
    return result;
}

double ValveAlgorithm::QFullOpen(double Kvs) const
{
    const SubstanceProperties medium = substanceProperties();
    if (!GEH_ASSERT(medium.isLiquid()))
        return 0;
    const double rhoRel = medium.density(m_input.temperature()) / 1000;
    const double Q = toQinM3(Working, Anywhere);
    // Kv of the regulated section from its own drop; the valve and the section
    // in series then share the whole drop.
    const double Kru = Q * std::sqrt(rhoRel / inBars(m_input.dPru));
    return Kvs * Kru * std::sqrt((inBars(m_input.dP + m_input.dPru) / rhoRel) / (Kvs * Kvs + Kru * Kru));
}

ValveResultItem ValveAlgorithm::evaluate(double Kvs, int DN) const
{
    ValveResultItem item;
    item.deviceType = m_input.deviceType();
    item.dn = DN;
    item.kv = Kvs;

    const double r = Kvs / m_kvsMath;
    item.opening = 100 / r;
    item.cavitationRisk = isCavitationExpected();
    item.deviceNoiseRisk = noiseRisk(item.cavitationRisk);

    if (substanceProperties().isLiquid()) {
        item.QFullOpen = QFullOpen(Kvs);
        item.Kreserve = std::floor(100 * r + 0.5) / 100;
        const double dP = m_input.Pbefore() - m_input.Pafter();
        const double dPru = m_input.dPru;
        item.avtoritet = (dP / (dP + dPru) + dP / (dP + r * r * dPru)) / 2;
        item.setPipeFlowSpeed(Anywhere, flowSpeedInPipe(item.QFullOpen, DN));
    } else {
        // The volume of steam and gases follows their state on each side.
        item.setPipeFlowSpeed(BeforeDevice, calcPipeFlowSpeed(DN, BeforeDevice, m_input.Q()));
        item.setPipeFlowSpeed(AfterDevice, calcPipeFlowSpeed(DN, AfterDevice, m_input.Q()));
    }
    return item;
}

bool ValveAlgorithm::calc(const ValveInputParams& input)
{
    clearResults();
    m_results.clear();
    m_input = input;
    GEH_ASSERT(input.deviceType() == dtLMK2 || input.deviceType() == dtLMK3 || input.deviceType() == dtLMKP ||
               input.deviceType() == dtEmpty);
    const bool ok = runSteps([this] {
        checkChoices();
        if (m_input.deviceType() == dtEmpty)
            throwEmptyFields();
        checkValvePressures(m_input.P1, m_input.P2);
        if (substanceProperties().isLiquid() && tolerance::isZero(m_input.dPru))
            throwEmptyFields();
        checkTemperatures();
        checkFlow(true);
        checkWorkingTemperature();
        calcLiquidProperties();
        calcKvsMath(m_input);

        for (double Kvs : explainedSuitableKvsList(m_kvsMath, 1.35)) {
            for (int DN : diametersByKvs(Kvs)) {
                const ValveResultItem item = evaluate(Kvs, DN);
                for (double value : {item.opening, item.avtoritet, item.QFullOpen, item.Kreserve})
                    requireFiniteResult(value);
                for (double speed : item.m_pipeFlowSpeed)
                    requireFiniteResult(speed);
                m_results.append(item);
            }
        }
        filterResults();
    });
    if (!ok)
        m_results.clear();
    return ok;
}

QVector<explain::CandidateExplanation> ValveAlgorithm::explanations() const
{
    QVector<explain::CandidateExplanation> list;
    if (!m_explaining)
        return list;
    const CavitationSides c = cavitationSides(!m_results.isEmpty());
    list.resize(m_results.size());
    for (int i = 0; i < m_results.size(); ++i) {
        m_results.at(i).explainCriteria(list[i], c.liquid, c.dropPa, c.boilingPa);
        list[i].rejection = rejectionOf(m_results.at(i));
    }
    return list;
}

void ValveAlgorithm::filterResults()
{
    rejectUnproposed(m_results);
}
