#include "application.h"
#include "engine/algotest.h"
#include "quitonsignal.h"

int main(int argc, char** argv)
{
    // Fonts and palette are the program's own, not the desktop's.
    QApplication::setDesktopSettingsAware(false);
    // Before anything else: a termination request during start-up waits for
    // the event loop and then ends it in order.
    QuitOnSignal::installHandlers();

    int result = 0;
    {
        App app(argc, argv);
        app.init();
        // Every message of the checks is shown before any window exists.
        algotest::runSelfTests();
        {
            // The main window joins here: built after the checks, shown, and
            // destroyed before the error handler is.
            QuitOnSignal quitOnSignal;
            result = app.exec();
        }
        app.uninit();
    }
    return result;
}
