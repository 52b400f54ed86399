#pragma once

// The version of the program as the user sees it: in the main window's title,
// the about box and the last line of every report. The version is the build
// date of the release.

#include <QCoreApplication>
#include <QString>

namespace orx {

// The build date of this version.
inline QString versionDate()
{
    return QStringLiteral("01.03.22");
}

// "Оримакс-расчёт, версия от 01.03.22": the application name set at start-up,
// followed by the version.
inline QString versionString()
{
    return QCoreApplication::applicationName() + QStringLiteral(", версия от ") + versionDate();
}

} // namespace orx
