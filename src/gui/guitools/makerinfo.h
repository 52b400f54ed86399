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

// The contact text beside the logo in the head of a report.
inline QString makerContactLine()
{
    return QStringLiteral("ООО «Оримакстех»\nЭлектронная почта: %1\nСайт: %2")
        .arg(makerEmail(), makerWebsite());
}

} // namespace orx
