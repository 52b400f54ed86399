// The program's own application object started and stopped as the program
// does it. (The real executable, stopped by a signal, is run in tst_install.)

#include "application.h"
#include "gentools/errorhandle.h"
#include "guitestsupport.h"

#include <QStyle>
#include <QStyleFactory>
#include <QThread>

class TestStartup : public QObject
{
    Q_OBJECT

    const QByteArray m_console = orxtest::consoleOfStartAndExit();

private slots:
    // Starts as the program starts.
    void initTestCase()
    {
        QFile::remove(QStringLiteral("app.log"));
        // No message box may appear while starting; should one come, it is
        // closed and the test fails.
        orxtest::ModalAnswerer answerer(orxtest::ModalAnswerer::reject(), 500);
        orxtest::MessageCapture capture;
        orxtest::StdoutCapture out;
        QVERIFY(App::get()->init());
        QCOMPARE(out.take(), m_console.left(m_console.indexOf("*** Uninitializing")));
        QTest::qWait(100);
        QVERIFY(!answerer.answered());
        // A clean start logs nothing.
        QVERIFY(!QFile::exists(QStringLiteral("app.log")));
        // The settings live under these names; the log, the font and the version.
        QCOMPARE(QStringList({QCoreApplication::organizationName(), QCoreApplication::applicationName(),
                              geh::ErrorHandler::instance()->logFileName(), QApplication::font().toString(),
                              App::versionString()}),
                 QString::fromUtf8("Оримакстех|Оримакс-расчёт|app.log|MS Shell Dlg 2,11,-1,5,50,0,0,0,0,0|"
                                   "Оримакс-расчёт, версия от 01.03.22")
                     .split(QLatin1Char('|')));
        // Without a "windowsvista" style the platform's own stays.
        QVERIFY(QStyleFactory::keys().contains(QApplication::style()->objectName(), Qt::CaseInsensitive));
        // Cyrillic document and report names stay readable to every other
        // program: file names keep the system's encoding, not the log's.
        QCOMPARE(QFile::encodeName(QStringLiteral("Клапан 1.orx")), QStringLiteral("Клапан 1.orx").toUtf8());
        QCOMPARE(capture.count(), 0);
    }
    void cleanupTestCase()
    {
        orxtest::StdoutCapture out;
        App::get()->uninit();
        QCOMPARE(out.take(), m_console.mid(m_console.indexOf("*** Uninitializing")));
    }
    // Unused by the program: an object goes to a thread only from its own thread.
    void moveObjectToThread()
    {
        orxtest::MessageCapture capture;
        QThread worker;
        worker.start();
        QObject object;
        App::get()->moveObjectToThread(&object, &worker);
        App::get()->moveObjectToThread(&object, QThread::currentThread());
        QCOMPARE(object.thread(), &worker);
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().endsWith(
            QStringLiteral("\r\no->thread() == QThread::currentThread()")));
        worker.quit();
        QVERIFY(worker.wait(5000));
    }
};

// The application object under test is the program's own.
int main(int argc, char** argv)
{
    orxtest::prepareEnvironment();
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication::setDesktopSettingsAware(false);
    App app(argc, argv);
    orxtest::prepareGuiApplication();
    TestStartup tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_startup.moc"
