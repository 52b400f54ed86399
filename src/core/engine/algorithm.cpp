#include "algorithm.h"

using namespace common;

Algorithm::Algorithm() = default;

Algorithm::~Algorithm() = default;

bool Algorithm::isKvsAcceptable(double /*Kvs*/) const
{
    return true;
}

QString Algorithm::errorText() const
{
    return m_errors.join(QStringLiteral("<br>"));
}

double Algorithm::liquidDensity() const
{
    GEH_ASSERT(substanceProperties().isLiquid());
    return m_liquidDensity;
}

double Algorithm::steamPressure() const
{
    GEH_ASSERT(substanceProperties().isLiquid());
    return m_steamPressure;
}

double Algorithm::steamSpecificVolume(DevicePosition point) const
{
    if (!GEH_ASSERT(substanceProperties().isSteam()))
        return 0;
    return SubstanceProperties::specificVolumeOfSteam(input().temperature(), input().PAbsinPa(point));
}

void Algorithm::throwValidationError(const QString& error)
{
    GEH_ASSERT(error.count() > 0 && error.at(0).isLower());
    throwError(QStringLiteral("Недопустимые входные данные:<br>") + error);
}

QString Algorithm::emptyFieldsMessage()
{
    return QStringLiteral("Не заполнены входные данные");
}

void Algorithm::throwEmptyFields(const QString& error)
{
    if (error.isEmpty())
        throwError(emptyFieldsMessage());
    GEH_ASSERT(error.count() > 0 && error.at(0).isLower());
    throwError(emptyFieldsMessage() + QStringLiteral(":<br>") + error);
}

void Algorithm::throwError(const QString& message)
{
    m_errors.append(message);
    throw CalculationAbort();
}

void Algorithm::clearResults()
{
    m_errors.clear();
    m_kvsMath = 0;
    m_liquidDensity = 0;
    m_steamPressure = 0;
}
