#include "baseapp.h"

#include "gentools/errorhandle.h"
#include "guimessageprinter.h"
#include "settings/oemcodec.h"
#include "wheelguard.h"

#include <QFont>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTextCodec>
#include <QThread>

BaseApp::BaseApp(int& argc, char** argv) : QApplication(argc, argv)
{
}

BaseApp::~BaseApp() = default;

bool BaseApp::init()
{
    geh::writeConsole(QStringLiteral("*** Initializing application... ***\r\n"));
    initCodec();
    // From here on every message the user must see comes in a message box.
    geh::ErrorHandler::instance()->setPrinter(new QGuiMessagePrinter, false);
    initAppInfo();
    initFont();
    initStyle();
    WheelGuard::install();
    return true;
}

void BaseApp::uninit()
{
    geh::writeConsole(QStringLiteral("*** Uninitializing BaseApp... ***\r\n"));
    geh::ErrorHandler::destroyInstance();
    geh::writeConsole(QStringLiteral("*** Uninitializing done!... ***\r\n"));
}

void BaseApp::initCodec()
{
    QTextCodec* codec = localeCodec();
    GEH_ASSERT(codec);
#ifdef Q_OS_WIN
    QTextCodec::setCodecForLocale(codec);
#else
    // Where file names are byte strings, Windows-1251 as the locale codec would
    // write every Cyrillic document and report name in bytes no other program
    // can open. The log and the console convert through the codec explicitly.
#endif
}

void BaseApp::initStyle()
{
    for (const QString& name : QStyleFactory::keys())
        geh::writeConsole(QStringLiteral("My style: ") + name + QStringLiteral("\r\n"));
    // Where the platform lacks this style the current one stays.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("windowsvista")))
        setStyle(style);
    // Setting the palette again makes the new style's colours take effect.
    setPalette(palette());
}

void BaseApp::initFont()
{
    QFont f = font();
    f.setFamily(QStringLiteral("MS Shell Dlg 2"));
    f.setPointSize(8);
    setFont(f);
}

void BaseApp::moveObjectToThread(QObject* o, QThread* t)
{
    if (!GEH_ASSERT(o))
        return;
    GEH_ASSERT(o->thread() == QThread::currentThread());
    if (t != QThread::currentThread())
        o->moveToThread(t);
}
