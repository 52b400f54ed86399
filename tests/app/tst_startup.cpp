// The program's own application object started and stopped as the program
// does it. (The real executable, stopped by a signal, is run in tst_install.)

#include "application.h"
#include "gentools/errorhandle.h"
#include "guitestsupport.h"

#include <QStyle>
#include <QStyleFactory>
#include <QThread>

#include <memory>

namespace {

// The console bytes up to the end of the start, and from there to the exit.
QByteArray consoleBytes(bool ofStart)
{
    const QByteArray all = orxtest::consoleOfStartAndExit();
    const int exit = all.indexOf("*** Uninitializing");
    return ofStart ? all.left(exit) : all.mid(exit);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    std::unique_ptr<orxtest::MessageCapture> m_capture;
    QByteArray m_initOutput;
    bool m_boxDuringInit = false;

private slots:
    void initTestCase()
    {
        QFile::remove(QStringLiteral("app.log"));
        // No message box may appear while starting; should one come, it is
        // closed and the test fails.
        orxtest::ModalAnswerer answerer(orxtest::ModalAnswerer::reject(), 500);
        orxtest::StdoutCapture out;
        QVERIFY(App::get()->init());
        m_initOutput = out.take();
        QTest::qWait(100);
        m_boxDuringInit = answerer.answered();
        m_capture = std::make_unique<orxtest::MessageCapture>();
    }

    void cleanupTestCase()
    {
        m_capture.reset();
        orxtest::StdoutCapture out;
        App::get()->uninit();
        QCOMPARE(out.take(), consoleBytes(false));
    }

    void startsAsTheProgram()
    {
        QVERIFY(!m_boxDuringInit);
        QCOMPARE(m_initOutput, consoleBytes(true));
        // A clean start logs nothing.
        QVERIFY(!QFile::exists(QStringLiteral("app.log")));
        // The settings live under these names.
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Оримакстех"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Оримакс-расчёт"));
        QCOMPARE(geh::ErrorHandler::instance()->logFileName(), QStringLiteral("app.log"));
        QCOMPARE(QApplication::font().family(), QStringLiteral("MS Shell Dlg 2"));
        QCOMPARE(QApplication::font().pointSize(), 11);
        QCOMPARE(App::versionString(), QStringLiteral("Оримакс-расчёт, версия от 01.03.22"));
        // Without a "windowsvista" style the platform's own stays.
        QVERIFY(QStyleFactory::keys().contains(QApplication::style()->objectName(), Qt::CaseInsensitive));
        // Cyrillic document and report names stay readable to every other
        // program: file names keep the system's encoding, not the log's.
        QCOMPARE(QFile::encodeName(QStringLiteral("Клапан 1.orx")), QStringLiteral("Клапан 1.orx").toUtf8());
        QCOMPARE(m_capture->count(), 0);
    }

    // The log still speaks Windows-1251, converted explicitly.
    void logIsWindows1251()
    {
        QFile::remove(QStringLiteral("app.log"));
        geh::ErrorHandler::instance()->writeLog(GEH_LOCATION, geh::mlInformation, QStringLiteral("Клапан"),
                                                QString());
        const QList<QByteArray> lines = orxtest::readFile(QStringLiteral("app.log")).split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[1], QByteArray("INFORMATION        \xCA\xEB\xE0\xEF\xE0\xED\r"));
        QFile::remove(QStringLiteral("app.log"));
    }

    void moveObjectToThread()
    {
        QThread worker;
        worker.start();
        QObject* object = new QObject;
        App::get()->moveObjectToThread(object, &worker);
        QCOMPARE(object->thread(), &worker);
        QCOMPARE(m_capture->count(), 0);

        // An object of another thread: reported, and this thread cannot move it.
        App::get()->moveObjectToThread(object, QThread::currentThread());
        QCOMPARE(m_capture->assertions().size(), 1);
        QVERIFY(m_capture->assertions().first().endsWith(
            QStringLiteral("\r\no->thread() == QThread::currentThread()")));
        QCOMPARE(object->thread(), &worker);
        m_capture->clear();

        object->deleteLater();
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
