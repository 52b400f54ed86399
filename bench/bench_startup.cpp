// Start-up to the new-document dialog: the program's own start (application
// object, initialisation, self-tests, main window) against the least a Qt
// Widgets program must do to show a main window and a modal dialog. Both run as
// fresh processes on the offscreen platform, alternately, in the same run, and
// each ends the moment its dialog has been painted; the figure is the ratio of the
// medians, which is what the program adds to Qt's own start-up.

#include "application.h"
#include "benchsupport.h"
#include "documents/doc.h"
#include "engine/algotest.h"
#include "mainwindow.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kProgramMode[] = "--program";
const char kMinimalMode[] = "--minimal";
const int kRounds = 15;

// Ends the process as soon as a dialog has been painted once: what the user
// sees, its pictures included, not only the dialog made and shown.
class ExitOnDialog : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<QDialog*>(watched))
            QTimer::singleShot(0, [] { std::_Exit(0); });
        return false;
    }
};

// The program's own start, step by step as its entry point takes it.
int runProgram(int argc, char** argv)
{
    QApplication::setDesktopSettingsAware(false);
    App app(argc, argv);
    ExitOnDialog exitOnDialog;
    app.installEventFilter(&exitOnDialog);
    app.init();
    algotest::runSelfTests();
    Doc::setWarningPresenter(&MainWindow::showFileWarning);
    MainWindow window;
    window.show();
    return app.exec();
}

// A main window and a modal dialog over it, nothing else.
int runMinimal(int argc, char** argv)
{
    QApplication app(argc, argv);
    ExitOnDialog exitOnDialog;
    app.installEventFilter(&exitOnDialog);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.showMaximized();
    QTimer::singleShot(0, &window, [&window] {
        QDialog dialog(&window);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QStringLiteral("Dialog"), &dialog));
        dialog.exec();
    });
    return app.exec();
}

// Milliseconds from the start of a child process to its end.
double timeChild(const QString& self, const char* mode, const QProcessEnvironment& env, const QString& dir)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(dir);
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    child.start(self, {QString::fromLatin1(mode)});
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0) {
        std::fprintf(stderr, "%s did not reach its dialog\n", mode);
        std::exit(1);
    }
    return timer.nsecsElapsed() / 1e6;
}

double median(QVector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], kProgramMode) == 0)
        return runProgram(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], kMinimalMode) == 0)
        return runMinimal(argc, argv);

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    const QString self = QCoreApplication::applicationFilePath();

    // One untimed start of each fills the file cache.
    timeChild(self, kProgramMode, env, dir.path());
    timeChild(self, kMinimalMode, env, dir.path());

    QVector<double> program;
    QVector<double> minimal;
    for (int i = 0; i < kRounds; ++i) {
        program << timeChild(self, kProgramMode, env, dir.path());
        minimal << timeChild(self, kMinimalMode, env, dir.path());
    }

    const double programMs = median(program);
    const double minimalMs = median(minimal);
    const double ratio = programMs / minimalMs;
    std::printf("%-48s | %10.1f ms\n", "start-up to the new-document dialog", programMs);
    std::printf("%-48s | %10.1f ms\n", "minimal Qt Widgets window and dialog", minimalMs);
    std::printf("%-48s | %10.2f    | target <= 1.25\n", "ratio", ratio);
    const char* const area = "start-up";
    orxbench::figure(area, "start-up to the new-document dialog (median)", programMs, -1, "ms", 1,
                     orxbench::forInformation());
    orxbench::figure(area, "minimal Qt Widgets window and dialog (median)", minimalMs, -1, "ms", 1,
                     orxbench::forInformation());
    return orxbench::figure(area, "ratio: program / minimal Qt Widgets program", ratio, -1, "", 2,
                            orxbench::atMost(1.25, "<= 1.25"))
               ? 0
               : 1;
}
