// The program as a user installs it: the install tree holds the program and
// what the desktop needs to offer it (menu entry, document type, icons,
// description) and nothing else, the desktop's validators accept the files,
// and the installed program runs on its own and opens a document given to it.
// The Debian package, when one was made (./package.sh), is checked the same
// way from its unpacked contents. The log goes where the kind of build says.

#include "application.h"
#include "guitestsupport.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "../../fuzz/sampledocuments.h"

#include <csignal>

namespace {

const QString kBuild = QStringLiteral(ORX_BINARY_DIR);
const QString kPackageFolder = QStringLiteral(ORX_TEST_SOURCE_DIR "/../build-package/package");

// Everything an install puts under its prefix.
QStringList installedFiles()
{
    QStringList files = {
        QStringLiteral("bin/orimax-raschet"),
        QStringLiteral("share/applications/orimax-raschet.desktop"),
        QStringLiteral("share/icons/hicolor/scalable/apps/orimax-raschet.svg"),
        QStringLiteral("share/metainfo/ru.orimaxteh.orimax_raschet.metainfo.xml"),
        QStringLiteral("share/mime/packages/orimax-raschet.xml"),
    };
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        files << QStringLiteral("share/icons/hicolor/%1x%1/apps/orimax-raschet.png").arg(side);
    files.sort();
    return files;
}

QStringList filesBelow(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

QByteArray run(const QString& program, const QStringList& args, int* exitCode = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(120000))
        return "did not finish: " + program.toUtf8();
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAll();
}

// The windowless platform of the tests says this for every window shown; it
// reaches the console (marked hidden) and the log, never a message box.
const QByteArray kHint = "This plugin does not support propagateSizeHints()";
const QByteArray kPlatformHint = "*** Standart Qt-message (hidden) *** \r\n" + kHint + "\r\n";

// Starts the program of an install tree in an empty folder with arguments of
// the toolkit and a document on its command line, waits until the document is
// open (its folder is remembered for the next open dialog), then asks the
// program to stop with the signal.
void runProgram(const QString& binary, bool packaged, int signal = SIGTERM)
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString document = home.filePath(QStringLiteral("Мои документы/Клапан 1.orx"));
    QVERIFY(QDir().mkpath(QFileInfo(document).absolutePath()));
    QVERIFY(orxtest::writeFile(document, orxsamples::valveDocument().toByteArray()));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), home.filePath(QStringLiteral("state")));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home.path());
    process.start(binary, {QStringLiteral("-style"), QStringLiteral("Fusion"), document});
    QVERIFY2(process.waitForStarted(10000), qPrintable(binary));

    const QString settings = home.filePath(QStringLiteral("config/Оримакстех/Оримакс-расчёт.conf"));
    QString remembered;
    QElapsedTimer timer;
    timer.start();
    while (remembered.isEmpty() && timer.elapsed() < 30000 && process.state() == QProcess::Running) {
        QThread::msleep(50);
        remembered =
            QSettings(settings, QSettings::IniFormat).value(QStringLiteral("Common/Directory")).toString();
    }
    // A program that ended by itself (a crash) is not there to be asked to stop.
    QCOMPARE(process.state(), QProcess::Running);
    ::kill(pid_t(process.processId()), signal);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(remembered, QFileInfo(document).absolutePath());
    // The checks ran silently, and the toolkit's arguments were not taken for
    // documents and refused: nothing but the start and the end.
    QByteArray output = process.readAllStandardOutput();
    const int hints = output.count(kPlatformHint);
    QCOMPARE(output.replace(kPlatformHint, QByteArray()), orxtest::consoleOfStartAndExit());
    // The program from the package logs into the user's state folder and
    // keeps the folder it was started in (the home folder) clean; the one built
    // from source logs where it was started. The windowless platform's hints
    // are logged by both.
    QCOMPARE(QFile::exists(home.filePath(QStringLiteral("state/orimax-raschet/app.log"))), packaged);
    QCOMPARE(QFile::exists(home.filePath(QStringLiteral("app.log"))), !packaged);
    // The log holds the same platform hints and nothing else.
    const QList<QByteArray> lines =
        orxtest::readFile(home.filePath(packaged ? QStringLiteral("state/orimax-raschet/app.log")
                                                 : QStringLiteral("app.log")))
            .split('\n');
    QCOMPARE(lines.size(), 3 * hints + 1);
    for (int i = 0; i + 2 < lines.size(); i += 3) {
        QVERIFY2(lines[i].endsWith(", stdMessageHandler(), row 59\r"), lines[i].constData());
        QCOMPARE(lines[i + 1], "WARNING            " + kHint + "\r");
        QCOMPARE(lines[i + 2], QByteArray("\r"));
    }
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
        QVERIFY(!cmake.isEmpty());
        int exitCode = -1;
        const QByteArray output =
            run(cmake, {QStringLiteral("--install"), kBuild, QStringLiteral("--prefix"), m_prefix.path()},
                &exitCode);
        QVERIFY2(exitCode == 0, output.constData());
    }

    void installsTheProgramAndTheDesktopFilesOnly()
    {
        QCOMPARE(filesBelow(m_prefix.path()), installedFiles());
        QVERIFY(QFileInfo(m_prefix.filePath(QStringLiteral("bin/orimax-raschet"))).isExecutable());
    }

    // Its whole standard output from start to a stop asked by either signal.
    void theInstalledProgramRuns_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("stopped by SIGTERM") << int(SIGTERM);
        QTest::newRow("stopped by SIGINT") << int(SIGINT);
    }
    void theInstalledProgramRuns()
    {
        QFETCH(int, signal);
        runProgram(m_prefix.filePath(QStringLiteral("bin/orimax-raschet")), false, signal);
    }

    // The desktop's own tools on the installed files: the validators accept
    // the menu entry and the description, and the databases built from them
    // know *.orx documents and name the program for a double-click on one.
    void theDesktopAcceptsTheFiles_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("made");
        QTest::addColumn<QByteArray>("saying");
        QTest::newRow("menu entry") << QStringLiteral("desktop-file-validate")
                                    << QStringList{QStringLiteral("applications/orimax-raschet.desktop")}
                                    << QString() << QByteArray();
        QTest::newRow("description") << QStringLiteral("appstreamcli")
                                     << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                    QStringLiteral(
                                                        "metainfo/ru.orimaxteh.orimax_raschet.metainfo.xml")}
                                     << QString() << QByteArray();
        QTest::newRow("document type")
            << QStringLiteral("update-mime-database") << QStringList{QStringLiteral("mime")}
            << QStringLiteral("mime/globs") << QByteArray("application/x-orimax-raschet:*.orx");
        QTest::newRow("program of the type")
            << QStringLiteral("update-desktop-database") << QStringList{QStringLiteral("applications")}
            << QStringLiteral("applications/mimeinfo.cache")
            << QByteArray("application/x-orimax-raschet=orimax-raschet.desktop;");
    }

    void theDesktopAcceptsTheFiles()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        QFETCH(QString, made);
        QFETCH(QByteArray, saying);
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            QSKIP(qPrintable(tool + QStringLiteral(" is not installed (./test.sh installs it)")));
        const QDir share(m_prefix.filePath(QStringLiteral("share")));
        for (QString& arg : args) {
            if (arg.contains(QLatin1Char('/')) || share.exists(arg))
                arg = share.filePath(arg);
        }
        int exitCode = -1;
        const QByteArray output = run(program, args, &exitCode);
        // The validators answer 0 also for what they only warn about.
        QVERIFY2(exitCode == 0 && !output.contains("warning") && !output.contains("error"),
                 output.constData());
        if (made.isEmpty())
            return;
        QVERIFY(orxtest::readFile(share.filePath(made)).contains(saying));
    }

    void logFolder_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("expected");
        const QString home = QDir::homePath();
        QTest::newRow("source build: working folder")
            << false << QStringLiteral("/tmp/x") << QStringLiteral("app.log");
        QTest::newRow("installed: state folder")
            << true << m_prefix.filePath(QStringLiteral("state"))
            << m_prefix.filePath(QStringLiteral("state/orimax-raschet/app.log"));
        QTest::newRow("installed: relative state folder ignored")
            << true << QStringLiteral("state")
            << home + QStringLiteral("/.local/state/orimax-raschet/app.log");
    }

    void logFolder()
    {
        QFETCH(bool, installed);
        QFETCH(QString, state);
        QFETCH(QString, expected);
        const QByteArray saved = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", state.toUtf8());
        const QString log = App::logFileName(installed);
        qputenv("XDG_STATE_HOME", saved);
        QCOMPARE(log, expected);
        // The folder is there to be written to.
        QVERIFY(QFileInfo(QFileInfo(log).absolutePath()).isDir());
    }

    // The Debian package made by ./package.sh: too slow to build here, so it
    // is checked when one exists.
    void thePackage()
    {
        const QFileInfoList debs =
            QDir(kPackageFolder)
                .entryInfoList({QStringLiteral("orimax-raschet_*.deb")}, QDir::Files, QDir::Time);
        if (debs.isEmpty())
            QSKIP("no package: ./package.sh makes one in build-package/package/");
        const QString deb = debs.first().absoluteFilePath();
        qInfo("checking %s", qPrintable(deb));

        const QString info =
            QString::fromUtf8(run(QStringLiteral("dpkg-deb"), {QStringLiteral("--info"), deb}));
        for (const QString& field :
             {QStringLiteral("Package: orimax-raschet"), QStringLiteral("Version: 1.0"),
              QStringLiteral("Architecture: ") +
                  QString::fromLatin1(
                      run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).trimmed()),
              QStringLiteral("Maintainer: Оримакстех <info@orimaxteh.ru>")})
            QVERIFY2(info.contains(field), qPrintable(field + QStringLiteral("\n") + info));
        // The libraries found in the binary, then what it needs by name.
        const QString depends = info.section(QStringLiteral("Depends: "), 1).section(QLatin1Char('\n'), 0, 0);
        for (const QString& need : {QStringLiteral("libqt5widgets5"), QStringLiteral("libqt5printsupport5"),
                                    QStringLiteral("libc6"), QStringLiteral("fonts-crosextra-carlito"),
                                    QStringLiteral("qttranslations5-l10n"), QStringLiteral("xdg-utils")})
            QVERIFY2(depends.contains(need), qPrintable(need + QStringLiteral(": ") + depends));

        QTemporaryDir root;
        int exitCode = -1;
        const QByteArray output =
            run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root.path()}, &exitCode);
        QVERIFY2(exitCode == 0, output.constData());
        QStringList expected;
        for (const QString& file : installedFiles())
            expected << QStringLiteral("usr/") + file;
        expected << QStringLiteral("usr/share/doc/orimax-raschet/changelog.gz")
                 << QStringLiteral("usr/share/doc/orimax-raschet/copyright")
                 << QStringLiteral("usr/share/man/man1/orimax-raschet.1.gz");
        expected.sort();
        QCOMPARE(filesBelow(root.path()), expected);

        runProgram(root.filePath(QStringLiteral("usr/bin/orimax-raschet")), true);
    }
};

ORX_GUI_TEST_MAIN(TestInstall)

#include "tst_install.moc"
