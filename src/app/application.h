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

    // Where the log goes. The program built from source writes "app.log" in its
    // working folder, beside the engineer who started it there. An installed
    // program started from the desktop works in the home folder, which a log
    // would clutter: it writes into its folder of the user's state data,
    // $XDG_STATE_HOME/orimax-raschet/ (by default ~/.local/state/...), made
    // when missing.
    static QString logFileName(bool installed);

protected:
    void initFont() override;
    void initAppInfo() override;
};
