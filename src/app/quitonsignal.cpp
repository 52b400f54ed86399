#include "quitonsignal.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

bool g_requested = false;

#ifdef Q_OS_UNIX
// [0] is written by the signal handler, [1] is read by the event loop.
int g_sockets[2] = {-1, -1};

void handleSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe calls here; a full socket already holds a wake-up.
    const ssize_t written = ::write(g_sockets[0], &byte, sizeof byte);
    (void)written;
}
#endif

// Closes the modal dialogs and message boxes, innermost first, so that every
// nested event loop returns and the program can reach its orderly shutdown.
void closeModalWidgets()
{
    for (int guard = 0; guard < 32; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
}

// Lives as a child of the application object and reacts to the signals in
// whichever event loop is running.
class SignalWatcher : public QObject
{
public:
    explicit SignalWatcher(int fd, QObject* parent) : QObject(parent)
    {
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [fd] {
            char buffer[16];
            while (::read(fd, buffer, sizeof buffer) > 0) {
            }
            g_requested = true;
            closeModalWidgets();
            QCoreApplication::quit();
        });
    }
};

void startWatching()
{
#ifdef Q_OS_UNIX
    if (g_sockets[1] != -1 && QCoreApplication::instance())
        new SignalWatcher(g_sockets[1], QCoreApplication::instance());
#endif
}

} // namespace

void QuitOnSignal::installHandlers()
{
#ifdef Q_OS_UNIX
    if (g_sockets[0] != -1)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_sockets) != 0)
        return;
    for (int fd : g_sockets) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    struct sigaction action
    {
    };
    action.sa_handler = handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    if (QCoreApplication::instance())
        startWatching();
    else
        qAddPreRoutine(startWatching); // runs when the application object is built
#endif
}

bool QuitOnSignal::requested()
{
    return g_requested;
}

QuitOnSignal::QuitOnSignal(QObject* parent) : QObject(parent)
{
    // The quit of an earlier request ended only the loops running then.
    if (g_requested)
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
}

QuitOnSignal::~QuitOnSignal() = default;
