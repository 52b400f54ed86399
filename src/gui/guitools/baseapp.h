#pragma once

// The application object every program of ours shares: the start-up sequence
// (codec, message printer, names, font, style) and its reverse at exit. A
// program derives from it and supplies its names, log file and icon.

#include <QApplication>

class QThread;

class BaseApp : public QApplication
{
    Q_OBJECT
public:
    BaseApp(int& argc, char** argv);
    ~BaseApp() override;

    // The whole start-up sequence, in its fixed order; always true.
    virtual bool init();
    // Writes the closing lines and destroys the error handler; nothing may
    // report errors afterwards.
    virtual void uninit();

    // Hands an object created in the calling thread over to another thread.
    Q_INVOKABLE void moveObjectToThread(QObject* o, QThread* t);

protected:
    virtual void initCodec();
    virtual void initStyle();
    virtual void initFont();
    // Organisation and application names, log file, window icon.
    virtual void initAppInfo() = 0;
};
