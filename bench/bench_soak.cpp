// A long working session in one process: a thousand documents of every kind
// opened in the main window, each changed as a user changes it and closed
// without saving. Every cycle must go as the user expects (the change marks the
// document, the close asks, the window really goes, nothing reaches the user),
// and once each kind of window has been seen the memory of the process must
// level off: a form, its results or the close question left behind on every
// close would grow the process by megabytes over the run.

#include "benchforms.h"
#include "benchsupport.h"
#include "forms/fancabinetchild.h"
#include "framework/backgroundcache.h"
#include "framework/mdichild.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"
#include "mainwindow.h"
#include "vocabulary/flowmeter.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QPixmapCache>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <malloc.h>

using namespace common;

namespace {

const int kTotal = 1000;
const int kSettled = 100; // documents after which the memory is the reference

// Counts what the error handler would have shown the user in a box; the
// toolkit's hidden remarks (the windowless platform's, one per window shown)
// only reach the log.
class CountingPrinter : public geh::QMessagePrinter
{
public:
    static inline int count = 0;
    void print(const QString&, const QString& text, const QString&, int) override
    {
        count += isHidden(text) ? 0 : 1;
    }
};

int answered = 0; // modal windows answered so far

// Clicks the button with the text on the next modal window, from inside its
// event loop; rejects the window when the text is empty or not there.
void answerNext(const QString& button)
{
    auto* timer = new QTimer;
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, [timer, button] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        ++answered;
        for (QAbstractButton* b : modal->findChildren<QAbstractButton*>()) {
            if (!button.isEmpty() && b->text() == button) {
                b->click();
                return;
            }
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    timer->start();
}

void typeInto(MdiChild* form, qint16 field, const QString& text)
{
    if (auto* spin = form->ctrl<QDoubleSpinBox>(DocKey(field))) {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, text);
    }
}

void choose(MdiChild* form, qint16 field, int code)
{
    if (auto* combo = form->ctrl<QSmartComboBox>(DocKey(field)))
        combo->setCurrentByData(code);
}

// One change of a document of each kind; the cycle number varies the value, so
// that consecutive documents of one kind are not changed alike.
struct Edit
{
    DocType type;
    std::function<void(MdiChild*, int cycle)> apply;
};

const Edit kEdits[] = {
    {docKv, [](MdiChild* f, int cycle) { typeInto(f, MdiChild::fcP1, QString::number(2 + cycle % 7)); }},
    {docValve, [](MdiChild* f, int cycle) { typeInto(f, MdiChild::fcP1, QString::number(3 + cycle % 5)); }},
    {docRegulator,
     [](MdiChild* f, int cycle) { typeInto(f, MdiChild::fcFlow, QString::number(1 + cycle % 11)); }},
    {docStdCabinet, [](MdiChild* f, int cycle) { choose(f, CabinetChild::fcLoopCount, 2 + cycle % 8); }},
    {docFanCabinet, [](MdiChild* f, int cycle) { choose(f, CabinetChild::fcFan, 1 + cycle % 8); }},
    {docFlowMeter, [](MdiChild* f, int cycle) { choose(f, lfDiameter, cycle % 2 ? 100 : 50); }},
};
const int kKinds = int(sizeof(kEdits) / sizeof(kEdits[0]));

// One document's life; false when it did not go as a user expects.
bool cycle(MainWindow& window, int number)
{
    const Edit& edit = kEdits[number % kKinds];
    const int idx = window.createMdiChild(edit.type, nullptr);
    if (idx < 0)
        return false;
    window.tabWidget()->setCurrentIndex(idx);
    QPointer<MdiChild> form = window.activeMdiChild();
    QCoreApplication::processEvents(); // laid out and painted
    edit.apply(form, number);
    QCoreApplication::processEvents();
    if (!form->isModified())
        return false;
    const int before = window.tabWidget()->count();
    const int asked = answered;
    answerNext(QStringLiteral("Нет"));
    window.action(MainWindow::aiClose)->trigger();
    if (answered != asked + 1)
        return false;
    // The page deletes itself once control is back in the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window.tabWidget()->count() == before - 1 && !form;
}

// Resident memory with every tab closed: the bounded caches (the last
// window-sized background, the toolkit's pixmaps) are emptied and freed memory
// goes back to the system, so what stays is what is still held.
double settledMb()
{
    BackgroundCache::clear();
    QPixmapCache::clear();
    malloc_trim(0);
    return orxbench::residentKb() / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    orxbench::chooseOffscreenPlatform();
    QApplication app(argc, argv);
    orxbench::prepareWindows();
    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir dir;
    geh::ErrorHandler::instance()->setLogFileName(dir.filePath(QStringLiteral("app.log")));
    geh::ErrorHandler::instance()->setPrinter(new CountingPrinter, false);

    // The first-document question is declined: the session starts with no tab.
    answerNext(QString());
    MainWindow window;
    if (!QTest::qWaitFor([] { return answered == 1; }))
        orxbench::warn("the first-document question never came");

    std::vector<double> cycles;
    int failed = 0;
    double referenceMb = 0;
    double lastMb = 0;
    QElapsedTimer timer;
    for (int i = 0; i < kTotal; ++i) {
        timer.start();
        failed += cycle(window, i) ? 0 : 1;
        cycles.push_back(timer.nsecsElapsed() / 1e6);
        if ((i + 1) % kSettled == 0) {
            lastMb = settledMb();
            if (i + 1 == kSettled)
                referenceMb = lastMb;
            std::printf("documents %4d: resident memory %.1f MB\n", i + 1, lastMb);
        }
    }
    std::sort(cycles.begin(), cycles.end());
    orxbench::Figures figures;
    figures.median = cycles[cycles.size() / 2] * 1000;
    figures.p95 = cycles[cycles.size() * 95 / 100] * 1000;

    const char* const area = "soak";
    bool met = true;
    met &= orxbench::report(area, "one document: open, change, close", figures, "ms", 1000.0,
                            orxbench::forInformation());
    met &= orxbench::figure(area, "resident memory after 100 documents", referenceMb, -1, "MB", 1,
                            orxbench::forInformation());
    met &= orxbench::figure(area, "resident memory after 1000 documents", lastMb, -1, "MB", 1,
                            orxbench::forInformation());
    met &=
        orxbench::figure(area, "memory growth: 1000 / 100 documents", lastMb / referenceMb, -1, "", 3,
                         failed || CountingPrinter::count ? orxbench::failedCase("<= 1.05, every cycle clean")
                                                          : orxbench::atMost(1.05, "<= 1.05"));
    if (failed || CountingPrinter::count)
        std::printf("%d cycles went wrong, %d messages reached the user\n", failed, CountingPrinter::count);
    return met ? 0 : 1;
}
