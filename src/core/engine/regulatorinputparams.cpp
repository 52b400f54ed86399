#include "regulatorinputparams.h"

#include "engine/tolerance.h"
#include "gentools/errorhandle.h"

using namespace common;

namespace {

// Above this temperature a liquid needs the high-temperature (steam) regulator.
constexpr double liquidLimitC = 150;

} // namespace

RegulatorInputParams::RegulatorInputParams()
    : regulation(rtDiffPressure), Psupply(0), Preturn(0), dPru(0), dPreg(0), dPdrSupply(0), dPdrReturn(0),
      dPregulator(0), P1(0), P2(0)
{
}

int RegulatorInputParams::deviceType() const
{
    if (regulation == rtUpstream)
        return dtLMR1;
    if (regulation == rtBypass)
        return dtLMR101;
    return isSteamDevice() ? dtLMR2P : dtLMRD;
}

bool RegulatorInputParams::isSteamDevice() const
{
    const SubstanceProperties medium = substanceProperties();
    const bool hotLiquid = medium.isLiquid() && tolerance::greater(temperature(), liquidLimitC);
    if (regulation == rtDiffPressure)
        return hotLiquid;
    if (regulation == rtDownstream)
        return !medium.isLiquid() || hotLiquid;
    return false;
}

double RegulatorInputParams::maxTemperature() const
{
    return regulation == rtUpstream ? 150 : 220;
}

bool RegulatorInputParams::choicesWithinTables() const
{
    const bool regulationKnown = regulation == rtDiffPressure || regulation == rtUpstream ||
                                 regulation == rtDownstream || regulation == rtBypass;
    return regulationKnown && InputParams::choicesWithinTables();
}

double RegulatorInputParams::PbeforeAbsInPa() const
{
    if (regulation != rtDiffPressure)
        return absolute(toPa(P1));
    // The differential-pressure regulator sits in one of the two pipes of the
    // loop: in the supply pipe after the losses before the regulated section, or
    // in the return pipe above the return pressure by the losses after the
    // section and its own drop.
    double before = 0;
    if (place == ipSupply)
        before = Psupply - dPdrSupply;
    else if (place == ipReturn)
        before = Preturn + dPdrReturn + dPreg;
    else {
        GEH_ASSERT(0);
        return 0;
    }
    return absolute(toPa(before));
}

double RegulatorInputParams::PafterAbsInPa() const
{
    if (regulation == rtDiffPressure)
        return PbeforeAbsInPa() - toPa(dPreg);
    return absolute(toPa(P2));
}
