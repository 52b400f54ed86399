#pragma once

// How the maker is reached: shown in the about box and in the head of every report.

#include <QString>

namespace orx {

inline QString makerEmail()
{
    return QStringLiteral("info@orimaxteh.ru");
}

inline QString makerWebsite()
{
    return QStringLiteral("www.orimaxteh.ru");
}

// The maker as a supplier is named: in the head of a report and in the
// equipment schedule.
inline QString makerName()
{
    return QStringLiteral("ООО «Оримакстех»");
}

// The contact text beside the logo in the head of a report.
inline QString makerContactLine()
{
    return QStringLiteral("%1\nЭлектронная почта: %2\nСайт: %3")
        .arg(makerName(), makerEmail(), makerWebsite());
}

} // namespace orx
