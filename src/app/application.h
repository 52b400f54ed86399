#pragma once

// This program's application object: its names, log file, icon and font.

#include "guitools/baseapp.h"

#include <QString>

class App : public BaseApp
{
    Q_OBJECT
public:
    App(int& argc, char** argv);
    ~App() override;

    // The one App of the process; null (after a report) when there is none.
    static App* get();

    // The build date of this version.
    static QString version();
    // "Оримакс-расчёт, версия от 01.03.22": the main window's title and the
    // first line of the about box.
    static QString versionString();

protected:
    void initFont() override;
    void initAppInfo() override;
};
