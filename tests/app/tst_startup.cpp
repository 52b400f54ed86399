// The program's own application object started and stopped as the program
// does it, and the real executable run and stopped by a signal.

#include "application.h"
#include "gentools/errorhandle.h"
#include "guitestsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

#include <csignal>

namespace {

const QString kBinary = QStringLiteral(ORX_BINARY_DIR "/src/app/orimax-raschet");

QByteArray expectedStartupOutput()
{
    QByteArray bytes = "*** Initializing application... ***\r\n";
    for (const QString& name : QStyleFactory::keys())
        bytes += "My style: " + name.toLatin1() + "\r\n";
    return bytes;
}

const QByteArray kShutdownOutput = "*** Uninitializing BaseApp... ***\r\n*** Uninitializing done!... ***\r\n";

// The windowless platform of the tests says this for every window shown; it
// reaches the console (marked hidden) and the log, never a message box.
const QByteArray kPlatformHint = "This plugin does not support propagateSizeHints()";
const QByteArray kPlatformHintOutput = "*** Standart Qt-message (hidden) *** \r\n" + kPlatformHint + "\r\n";

// True once the process has a handler of its own for the signal.
bool catchesSignal(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("SigCgt:"))
            continue;
        bool ok = false;
        const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
        return ok && (mask >> (signal - 1)) & 1u;
    }
    return false;
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
        QCOMPARE(out.take(), kShutdownOutput);
    }

    void initWritesItsLinesAndNothingElse()
    {
        QVERIFY(!m_boxDuringInit);
        QCOMPARE(m_initOutput, expectedStartupOutput());
        // A clean start logs nothing.
        QVERIFY(!QFile::exists(QStringLiteral("app.log")));
    }

    void namesFontStyleAndVersion()
    {
        QCOMPARE(static_cast<QObject*>(App::get()), QCoreApplication::instance());
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Оримакстех"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Оримакс-расчёт"));
        QCOMPARE(geh::ErrorHandler::instance()->logFileName(), QStringLiteral("app.log"));
        QCOMPARE(QApplication::font().family(), QStringLiteral("MS Shell Dlg 2"));
        QCOMPARE(QApplication::font().pointSize(), 11);
        QCOMPARE(App::version(), QStringLiteral("01.03.22"));
        QCOMPARE(App::versionString(), QStringLiteral("Оримакс-расчёт, версия от 01.03.22"));
        // Without a "windowsvista" style the platform's own stays.
        QVERIFY(QStyleFactory::keys().contains(QApplication::style()->objectName(), Qt::CaseInsensitive));
        QCOMPARE(m_capture->count(), 0);
    }

    // Cyrillic document and report names must stay readable to every other
    // program: file names keep the system's encoding, not the log's.
    void cyrillicFileNamesKeepTheSystemEncoding()
    {
        const QString name = QStringLiteral("Клапан 1_ОРИМАКС.orx");
        QCOMPARE(QFile::encodeName(name), name.toUtf8());
        QCOMPARE(QFile::decodeName(name.toUtf8()), name);
    }

    // The log still speaks Windows-1251, converted explicitly.
    void logIsWindows1251()
    {
        QFile::remove(QStringLiteral("app.log"));
        geh::ErrorHandler::instance()->writeLog(GEH_LOCATION, geh::mlInformation, QStringLiteral("Клапан"),
                                                QString());
        QFile log(QStringLiteral("app.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[1], QByteArray("INFORMATION        \xCA\xEB\xE0\xEF\xE0\xED\r"));
        log.remove();
    }

    void moveObjectToThread()
    {
        QThread worker;
        worker.start();
        QObject* object = new QObject;
        App::get()->moveObjectToThread(object, QThread::currentThread());
        QCOMPARE(object->thread(), QThread::currentThread());
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

        // Through the meta-object system, as another thread would call it.
        QObject* second = new QObject;
        QVERIFY(QMetaObject::invokeMethod(App::get(), "moveObjectToThread", Q_ARG(QObject*, second),
                                          Q_ARG(QThread*, &worker)));
        QCOMPARE(second->thread(), &worker);

        object->deleteLater();
        second->deleteLater();
        worker.quit();
        QVERIFY(worker.wait(5000));
    }

    void executableStartsAndStopsOnSignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    // The real program: its whole standard output from start to a requested stop.
    void executableStartsAndStopsOnSignal()
    {
        QFETCH(int, signal);
        QVERIFY2(QFile::exists(kBinary), qPrintable(kBinary));
        QTemporaryDir workDir;
        QProcess process; // in the test's environment: the windowless platform
        process.setWorkingDirectory(workDir.path());
        process.start(kBinary, QStringList());
        QVERIFY(process.waitForStarted(10000));

        // Wait until the program handles the signal itself, then ask it to stop.
        QElapsedTimer timer;
        timer.start();
        while (!catchesSignal(process.processId(), signal) && timer.elapsed() < 10000)
            QThread::msleep(5);
        QVERIFY(catchesSignal(process.processId(), signal));
        ::kill(pid_t(process.processId()), signal);

        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QByteArray output = process.readAllStandardOutput();
        const int hints = output.count(kPlatformHintOutput);
        output.replace(kPlatformHintOutput, QByteArray());
        QCOMPARE(output, expectedStartupOutput() + kShutdownOutput);

        // The log holds the same platform hints and nothing else.
        QFile log(workDir.filePath(QStringLiteral("app.log")));
        const QList<QByteArray> lines =
            log.open(QIODevice::ReadOnly) ? log.readAll().split('\n') : QList<QByteArray>{""};
        QCOMPARE(lines.size(), 3 * hints + 1);
        for (int i = 0; i + 2 < lines.size(); i += 3) {
            QVERIFY2(lines[i].endsWith(", stdMessageHandler(), row 59\r"), lines[i].constData());
            QCOMPARE(lines[i + 1], "WARNING            " + kPlatformHint + "\r");
            QCOMPARE(lines[i + 2], QByteArray("\r"));
        }
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
