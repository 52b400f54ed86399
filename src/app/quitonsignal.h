#pragma once

// Ends the program in order when the process is asked to terminate (SIGTERM,
// SIGINT). The signal handler only writes a byte to a socket; the event loop
// reads it, closes any open modal dialog (the start-up dialog included) and
// quits. A request that comes before the main loop runs is kept and ends the
// main loop as soon as it starts.

#include <QObject>

class QuitOnSignal : public QObject
{
    Q_OBJECT
public:
    // Installs the signal handlers; call it first thing in main(). The
    // application object, once constructed, watches for the signals.
    static void installHandlers();

    // True once a termination request has been received.
    static bool requested();

    // Construct right before the main event loop: a request received earlier
    // (while a start-up dialog was open, say) ends that loop at once.
    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;
};
