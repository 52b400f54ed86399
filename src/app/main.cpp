#include "application.h"
#include "documents/doc.h"
#include "engine/algotest.h"
#include "mainwindow.h"
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
        // The toolkit has taken its own arguments out in the constructor; what
        // is left are the documents to open (the desktop passes them on a
        // double-click).
        const QStringList documents = QCoreApplication::arguments().mid(1);
        app.init();
        // Every message of the checks is shown before any window exists.
        algotest::runSelfTests();

        QuitOnSignal quitOnSignal;

        // The reader's warnings about document files come in a box of their own.
        Doc::setWarningPresenter(&MainWindow::showFileWarning);
        {
            // Built after the checks, so every message of theirs comes first; it
            // shows itself maximised and, as soon as the event loop runs, opens
            // the documents given or asks for a first one. It is gone before the
            // error handler is.
            MainWindow window(documents);
            window.show();
            result = app.exec();
        }

        app.uninit();
    }
    return result;
}
