// The program as a user installs it: the install tree holds the program and
// what the desktop needs to offer it (menu entry, document type, icons,
// description) and nothing else, the desktop's validators accept the files,
// and the installed program runs on its own and opens a document given to it.
// The Debian package, when one was made (./package.sh), is checked the same
// way from its unpacked contents. The log goes where the kind of build says.

#include "../../fuzz/sampledocuments.h"
#include "application.h"
#include "guitestsupport.h"

#include <QDirIterator>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>

namespace {

// Everything an install puts under its prefix.
QStringList installedFiles(const QString& prefix)
{
    QStringList files;
    for (const char* file : {"bin/orimax-raschet", "share/applications/orimax-raschet.desktop",
                             "share/icons/hicolor/scalable/apps/orimax-raschet.svg",
                             "share/metainfo/ru.orimaxteh.orimax_raschet.metainfo.xml",
                             "share/mime/packages/orimax-raschet.xml"})
        files << prefix + QString::fromLatin1(file);
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        files << prefix + QStringLiteral("share/icons/hicolor/%1x%1/apps/orimax-raschet.png").arg(side);
    return files;
}

// The files below the folder, sorted, compared with the expected ones.
void verifyTree(const QString& root, QStringList expected)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    expected.sort();
    QCOMPARE(files, expected);
}

// The output of the program with the arguments; with the exit code when asked.
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

// Starts the program of an install tree in an empty folder with arguments of
// the toolkit and a document on its command line, waits until the document is
// open (its folder is remembered for the next open dialog), then asks the
// program to stop with the signal.
void runProgram(const QString& binary, bool packaged, int signal)
{
    QTemporaryDir home;
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
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(remembered, QFileInfo(document).absolutePath());
    // The checks ran silently, and the toolkit's arguments were not taken for
    // documents and refused: nothing but the start and the end, and the hint
    // the windowless platform of the tests gives for every window shown (on
    // the console marked hidden, never in a box).
    const QByteArray hint = "This plugin does not support propagateSizeHints()\r\n";
    QByteArray output = process.readAllStandardOutput();
    const int hints = output.count("*** Standart Qt-message (hidden) *** \r\n" + hint);
    QCOMPARE(output.replace("*** Standart Qt-message (hidden) *** \r\n" + hint, QByteArray()),
             orxtest::consoleOfStartAndExit());
    // The program from the package logs into the user's state folder and
    // keeps the folder it was started in (the home folder) clean; the one built
    // from source logs where it was started. The log holds the same hints only.
    const QString log =
        home.filePath(packaged ? QStringLiteral("state/orimax-raschet/app.log") : QStringLiteral("app.log"));
    QVERIFY(!QFile::exists(home.filePath(packaged ? QStringLiteral("app.log") : QStringLiteral("state"))));
    const QByteArray logged = orxtest::readFile(log);
    QVERIFY(hints > 0 && logged.count("\nWARNING            " + hint + "\r\n") == hints);
    QCOMPARE(logged.count('\n'), 3 * hints);
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;

private slots:
    // The tree, then the desktop's own tools on the installed files: the
    // validators accept the menu entry and the description, and the databases
    // built from them know *.orx documents and name the program for a
    // double-click on one, which hands the file to it.
    void initTestCase()
    {
        int exitCode = -1;
        QByteArray output = run(QStandardPaths::findExecutable(QStringLiteral("cmake")),
                                {QStringLiteral("--install"), QStringLiteral(ORX_BINARY_DIR),
                                 QStringLiteral("--prefix"), m_prefix.path()},
                                &exitCode);
        QVERIFY2(exitCode == 0, output.constData());
        verifyTree(m_prefix.path(), installedFiles(QString()));
        QVERIFY(QFileInfo(m_prefix.filePath(QStringLiteral("bin/orimax-raschet"))).isExecutable());
        const QDir share(m_prefix.filePath(QStringLiteral("share")));
        const QByteArray entry =
            orxtest::readFile(share.filePath(QStringLiteral("applications/orimax-raschet.desktop")));
        QVERIFY(entry.contains("\nExec=orimax-raschet %F\n") &&
                entry.contains("\nMimeType=application/x-orimax-raschet;\n"));
        const struct
        {
            const char *tool, *arg, *made, *saying;
        } tools[] = {
            {"desktop-file-validate", "applications/orimax-raschet.desktop", nullptr, nullptr},
            {"appstreamcli", "metainfo/ru.orimaxteh.orimax_raschet.metainfo.xml", nullptr, nullptr},
            {"update-mime-database", "mime", "mime/globs", "application/x-orimax-raschet:*.orx"},
            {"update-desktop-database", "applications", "applications/mimeinfo.cache",
             "application/x-orimax-raschet=orimax-raschet.desktop;"},
        };
        for (const auto& t : tools) {
            const QString program = QStandardPaths::findExecutable(QString::fromLatin1(t.tool));
            if (program.isEmpty()) {
                qWarning("%s is not installed (./test.sh installs it)", t.tool);
                continue;
            }
            QStringList args{share.filePath(QString::fromLatin1(t.arg))};
            if (args[0].endsWith(QLatin1String(".xml")))
                args = QStringList{QStringLiteral("validate"), QStringLiteral("--no-net")} + args;
            output = run(program, args, &exitCode);
            // The validators answer 0 also for what they only warn about.
            QVERIFY2(exitCode == 0 && !output.contains("warning") && !output.contains("error"), t.tool);
            QVERIFY(!t.made ||
                    orxtest::readFile(share.filePath(QString::fromLatin1(t.made))).contains(t.saying));
        }
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
    void logFolder_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("expected");
        const QString state = m_prefix.filePath(QStringLiteral("state"));
        QTest::newRow("source build: working folder") << false << state << QStringLiteral("app.log");
        QTest::newRow("installed: state folder")
            << true << state << state + QStringLiteral("/orimax-raschet/app.log");
        QTest::newRow("installed: relative state folder ignored")
            << true << QStringLiteral("state")
            << QDir::homePath() + QStringLiteral("/.local/state/orimax-raschet/app.log");
    }
    void logFolder()
    {
        QFETCH(bool, installed);
        QFETCH(QString, state);
        const QByteArray saved = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", state.toUtf8());
        const QString log = App::logFileName(installed);
        qputenv("XDG_STATE_HOME", saved);
        QTEST(log, "expected");
        QVERIFY(QFileInfo(QFileInfo(log).absolutePath()).isDir()); // there to be written to
    }
    // The Debian package made by ./package.sh: too slow to build here, so it
    // is checked when one exists.
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
        const QString arch = QString::fromLatin1(
            run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).trimmed());
        for (const QString& field : {QStringLiteral("Package: orimax-raschet"),
                                     QStringLiteral("Version: 1.0"), QStringLiteral("Architecture: ") + arch,
                                     QStringLiteral("Maintainer: Оримакстех <info@orimaxteh.ru>")})
            QVERIFY2(info.contains(field), qPrintable(field + QStringLiteral("\n") + info));
        // The libraries found in the binary, then what it needs by name.
        const QString depends = info.section(QStringLiteral("Depends: "), 1).section(QLatin1Char('\n'), 0, 0);
        for (const char* need : {"libqt5widgets5", "libqt5printsupport5", "libc6", "fonts-crosextra-carlito",
                                 "qttranslations5-l10n", "xdg-utils"})
            QVERIFY2(depends.contains(QLatin1String(need)), qPrintable(depends));
        QTemporaryDir root;
        int exitCode = -1;
        const QByteArray output =
            run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root.path()}, &exitCode);
        QVERIFY2(exitCode == 0, output.constData());
        verifyTree(root.path(), installedFiles(QStringLiteral("usr/")) +
                                    QStringList{QStringLiteral("usr/share/doc/orimax-raschet/changelog.gz"),
                                                QStringLiteral("usr/share/doc/orimax-raschet/copyright"),
                                                QStringLiteral("usr/share/man/man1/orimax-raschet.1.gz")});
        runProgram(root.filePath(QStringLiteral("usr/bin/orimax-raschet")), true, SIGTERM);
    }
};

ORX_GUI_TEST_MAIN(TestInstall)

#include "tst_install.moc"
