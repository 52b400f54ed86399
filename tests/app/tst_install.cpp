// The program as a user installs and starts it: its application object started
// and stopped here, the install tree and the Debian package (when ./package.sh
// made one) checked, and the installed program run with a document given to it.

#include "../../fuzz/sampledocuments.h"
#include "application.h"
#include "guitestsupport.h"

#include <QStyle>
#include <QStyleFactory>

namespace {

// The files below the folder against those an install puts under the prefix and the extra ones.
void verifyTree(const QString& root, const QString& prefix, QStringList expected = {})
{
    for (const char* file : {"bin/orimax-raschet", "share/applications/orimax-raschet.desktop",
                             "share/icons/hicolor/scalable/apps/orimax-raschet.svg",
                             "share/metainfo/ru.orimaxteh.orimax_raschet.metainfo.xml",
                             "share/mime/packages/orimax-raschet.xml"})
        expected << prefix + QString::fromLatin1(file);
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        expected << prefix + QStringLiteral("share/icons/hicolor/%1x%1/apps/orimax-raschet.png").arg(side);
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    expected.sort();
    QCOMPARE(files, expected);
}

// The output of the program, marked "FAILED" when it did not end with 0.
QByteArray run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    const bool ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
                    process.exitCode() == 0;
    return (ok ? QByteArray() : "FAILED " + program.toUtf8() + ": ") + process.readAll();
}

// Starts the program in an empty folder with arguments of the toolkit and a
// document, waits until the document is open (its folder is remembered for the
// next open dialog), then asks the program to stop with the signal.
void runProgram(const QString& binary, bool packaged, int signal)
{
    QTemporaryDir home;
    const QString document = home.filePath(QStringLiteral("Мои документы/Клапан 1.orx"));
    QVERIFY(QDir().mkpath(QFileInfo(document).absolutePath()) &&
            orxtest::writeFile(document, orxsamples::valveDocument().toByteArray()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), home.filePath(QStringLiteral("state")));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home.path());
    process.start(binary, {QStringLiteral("-style"), QStringLiteral("Fusion"), document});
    QVERIFY2(process.waitForStarted(10000), qPrintable(binary));
    const QString settings = home.filePath(QStringLiteral("config/Оримакстех/Оримакс-расчёт.conf"));
    QString remembered; // the first folder remembered: the document's
    static_cast<void>(QTest::qWaitFor(
        [&] {
            remembered = QSettings(settings, QSettings::IniFormat)
                             .value(QStringLiteral("Common/Directory"))
                             .toString();
            return !remembered.isEmpty() || process.state() != QProcess::Running;
        },
        30000));
    // A program that ended by itself (a crash) is not there to be asked to stop.
    QCOMPARE(process.state(), QProcess::Running);
    ::kill(pid_t(process.processId()), signal);
    QVERIFY2(process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit &&
                 process.exitCode() == 0,
             qPrintable(QStringLiteral("stopped by signal %1").arg(signal)));
    QCOMPARE(remembered, QFileInfo(document).absolutePath());
    // The checks ran silently, and the toolkit's arguments were not taken for
    // documents: nothing but the start, the end, and the hint the windowless
    // platform of the tests gives for every window (marked hidden, no box).
    const QByteArray hint = "This plugin does not support propagateSizeHints()\r\n";
    const QByteArray hidden = "*** Standart Qt-message (hidden) *** \r\n" + hint;
    QByteArray output = process.readAllStandardOutput();
    const int hints = output.count(hidden);
    QCOMPARE(output.replace(hidden, QByteArray()), orxtest::consoleOfStartAndExit());
    // The packaged program logs into the user's state folder, keeping the folder it was started in clean; one
    // built from source logs there. The log holds the same hints only.
    QVERIFY(!QFile::exists(home.filePath(packaged ? QStringLiteral("app.log") : QStringLiteral("state"))));
    const QByteArray logged = orxtest::readFile(
        home.filePath(packaged ? QStringLiteral("state/orimax-raschet/app.log") : QStringLiteral("app.log")));
    QVERIFY(hints > 0 && logged.count("\nWARNING            " + hint + "\r\n") == hints);
    QCOMPARE(logged.count('\n'), 3 * hints);
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;

private slots:
    // Starts as the program starts: no message box, nothing logged (its console bytes are read from the
    // installed program's run below).
    void initTestCase()
    {
        QFile::remove(QStringLiteral("app.log"));
        orxtest::ModalAnswerer answerer(orxtest::ModalAnswerer::reject(), 500);
        orxtest::MessageCapture capture;
        QVERIFY(App::get()->init());
        QTest::qWait(100);
        QVERIFY(!answerer.answered() && !QFile::exists(QStringLiteral("app.log")) && capture.count() == 0);
        // The names and the log's place are read back from the installed program's run below.
        QCOMPARE(QApplication::font().toString(), QStringLiteral("MS Shell Dlg 2,11,-1,5,50,0,0,0,0,0"));
        QVERIFY(QStyleFactory::keys().contains(QApplication::style()->objectName(), Qt::CaseInsensitive));
        // Cyrillic file names stay readable to other programs: not the log's code page.
        QCOMPARE(QFile::encodeName(QStringLiteral("Клапан 1.orx")), QStringLiteral("Клапан 1.orx").toUtf8());
        // Unused by the program: an object goes to a thread only from its own thread.
        orxtest::MessageCapture afterStart; // init() put up the program's own message boxes
        QThread worker;
        worker.start();
        QObject object;
        App::get()->moveObjectToThread(&object, &worker);
        App::get()->moveObjectToThread(&object, QThread::currentThread());
        QCOMPARE(object.thread(), &worker);
        QCOMPARE(afterStart.conditions(),
                 QStringList{QStringLiteral("o->thread() == QThread::currentThread()")});
        worker.quit();
        QVERIFY(worker.wait(5000));
    }
    void cleanupTestCase() { App::get()->uninit(); }
    // The tree, then the desktop's tools: the validators accept the menu entry and the description, and the
    // databases built from them hand *.orx documents to the program. Then the program's whole standard output
    // from start to a stop asked by either signal.
    void theInstalledProgramRuns()
    {
        QByteArray output = run(QStandardPaths::findExecutable(QStringLiteral("cmake")),
                                {QStringLiteral("--install"), QStringLiteral(ORX_BINARY_DIR),
                                 QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY2(!output.startsWith("FAILED"), output.constData());
        verifyTree(m_prefix.path(), QString());
        QVERIFY(QFileInfo(m_prefix.filePath(QStringLiteral("bin/orimax-raschet"))).isExecutable());
        const QDir share(m_prefix.filePath(QStringLiteral("share")));
        const QByteArray entry =
            orxtest::readFile(share.filePath(QStringLiteral("applications/orimax-raschet.desktop")));
        QVERIFY(entry.contains("\nExec=orimax-raschet %F\n") &&
                entry.contains("\nMimeType=application/x-orimax-raschet;application/x-orimax-project;\n"));
        // The tool with its arguments, its file, and what the database it builds
        // must say (lines apart by "|"): documents and projects alike.
        const char* tools[][4] = {
            {"desktop-file-validate", "applications/orimax-raschet.desktop", "", ""},
            {"appstreamcli validate --no-net", "metainfo/ru.orimaxteh.orimax_raschet.metainfo.xml", "", ""},
            {"update-mime-database", "mime", "mime/globs",
             "application/x-orimax-raschet:*.orx|application/x-orimax-project:*.orxp"},
            {"update-desktop-database", "applications", "applications/mimeinfo.cache",
             "application/x-orimax-raschet=orimax-raschet.desktop;|"
             "application/x-orimax-project=orimax-raschet.desktop;"},
        };
        for (const auto& t : tools) {
            QStringList args = QString::fromLatin1(t[0]).split(QLatin1Char(' '));
            const QString program = QStandardPaths::findExecutable(args.takeFirst());
            if (program.isEmpty()) {
                qWarning("%s is not installed (./test.sh installs it)", t[0]);
                continue;
            }
            // The validators answer 0 also for what they only warn about.
            output = run(program, args << share.filePath(QString::fromLatin1(t[1])));
            QVERIFY2(!output.startsWith("FAILED") && !output.contains("warning") && !output.contains("error"),
                     output.constData());
            const QByteArray database =
                *t[2] ? orxtest::readFile(share.filePath(QString::fromLatin1(t[2]))) : "";
            for (const QByteArray& line : QByteArray(t[3]).split('|'))
                QVERIFY2(database.contains(line), line.constData());
        }
        for (int signal : {SIGTERM, SIGINT})
            runProgram(m_prefix.filePath(QStringLiteral("bin/orimax-raschet")), false, signal);
    }
    // A source build logs in the working folder, an installed one in the user's
    // state folder (the default for a relative one), made ready for writing.
    void logFolder()
    {
        QStringList logs;
        for (const QString& state : {m_prefix.filePath(QStringLiteral("state")), QStringLiteral("state")}) {
            qputenv("XDG_STATE_HOME", state.toUtf8());
            logs << App::logFileName(false) << App::logFileName(true);
            QVERIFY(QFileInfo(QFileInfo(logs.last()).absolutePath()).isDir());
        }
        QCOMPARE(logs.join(QLatin1Char('|')),
                 QStringLiteral(
                     "app.log|%1/state/orimax-raschet/app.log|app.log|%2/.local/state/orimax-raschet/app.log")
                     .arg(m_prefix.path(), QDir::homePath()));
    }
    // The package made by ./package.sh (too slow to make here), when there is one.
    void thePackage()
    {
        const QFileInfoList debs =
            QDir(QStringLiteral(ORX_TEST_SOURCE_DIR "/../build-package/package"))
                .entryInfoList({QStringLiteral("orimax-raschet_*.deb")}, QDir::Files, QDir::Time);
        if (debs.isEmpty())
            QSKIP("no package: ./package.sh makes one in build-package/package/");
        const QString deb = debs.first().absoluteFilePath();
        const QString info =
            QString::fromUtf8(run(QStringLiteral("dpkg-deb"), {QStringLiteral("--info"), deb}));
        const QString depends = info.section(QStringLiteral("Depends: "), 1).section(QLatin1Char('\n'), 0, 0);
        const QString arch = QString::fromLatin1(
            run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).trimmed());
        // The fields, then the libraries found in the binary and what it needs by name.
        for (const QString& field : {QStringLiteral("Package: orimax-raschet"),
                                     QStringLiteral("Version: 1.0"), QStringLiteral("Architecture: ") + arch,
                                     QStringLiteral("Maintainer: Оримакстех <info@orimaxteh.ru>")})
            QVERIFY2(info.contains(field), qPrintable(info));
        for (const char* need : {"libqt5widgets5", "libqt5printsupport5", "libc6", "fonts-crosextra-carlito",
                                 "qttranslations5-l10n", "xdg-utils"})
            QVERIFY2(depends.contains(QLatin1String(need)), qPrintable(depends));
        QTemporaryDir root;
        const QByteArray output = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root.path()});
        QVERIFY2(!output.startsWith("FAILED"), output.constData());
        verifyTree(root.path(), QStringLiteral("usr/"),
                   {QStringLiteral("usr/share/doc/orimax-raschet/changelog.gz"),
                    QStringLiteral("usr/share/doc/orimax-raschet/copyright"),
                    QStringLiteral("usr/share/man/man1/orimax-raschet.1.gz")});
        runProgram(root.filePath(QStringLiteral("usr/bin/orimax-raschet")), true, SIGTERM);
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
    TestInstall tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_install.moc"
