#include "vocabulary/displaynumber.h"

#include <QLocale>

namespace common {

namespace {

QLocale screenLocale()
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

QString displayNumber(double value, int decimals)
{
    return screenLocale().toString(value, 'f', decimals);
}

QString displayShortest(double value)
{
    return screenLocale().toString(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace common
