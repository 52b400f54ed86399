// A long working session in one process: a thousand documents of every kind
// opened in the main window, each changed as a user changes it and closed
// without saving. Nothing may crash, every closed window must really go, and
// once each kind of window has been seen the memory of the process must level
// off: a form, its results or the close question left behind on every close
// would grow the process by megabytes over the run.

#include "forms/fancabinetchild.h"
#include "framework/backgroundcache.h"
#include "framework/mdichild.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"
#include "mainwindow.h"
#include "vocabulary/flowmeter.h"

#include <QAction>
#include <QElapsedTimer>
#include <QPixmapCache>
#include <QTabWidget>

#include <functional>
#include <malloc.h>
#include <memory>

using namespace common;

namespace {

// Resident memory of the process, kB (-1 when the kernel does not say).
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void typeInto(MdiChild* form, qint16 field, const QString& text)
{
    orxtest::typeInto(form->ctrl<QDoubleSpinBox>(DocKey(field)), text);
}

// Picks the option of a combo by its code, as the user picks it from the list.
void choose(MdiChild* form, qint16 field, int code)
{
    if (auto* combo = form->ctrl<QSmartComboBox>(DocKey(field)))
        combo->setCurrentByData(code);
}

// One change of a document of each kind; the cycle number varies the value, so
// that consecutive documents of one kind are not changed alike. An edit that
// could not be made leaves the window unmodified, which the test reports.
struct Edit
{
    DocType type;
    const char* name;
    std::function<void(MdiChild*, int cycle)> apply;
};

const Edit kEdits[] = {
    {docKv, "Kv calculation: P1 typed",
     [](MdiChild* f, int cycle) { typeInto(f, MdiChild::fcP1, QString::number(2 + cycle % 7)); }},
    {docValve, "valve: P1 typed",
     [](MdiChild* f, int cycle) { typeInto(f, MdiChild::fcP1, QString::number(3 + cycle % 5)); }},
    {docRegulator, "regulator: flow typed",
     [](MdiChild* f, int cycle) { typeInto(f, MdiChild::fcFlow, QString::number(1 + cycle % 11)); }},
    {docStdCabinet, "heating cabinet: loop count chosen",
     [](MdiChild* f, int cycle) { choose(f, CabinetChild::fcLoopCount, 2 + cycle % 8); }},
    {docFanCabinet, "ventilation cabinet: fan drive chosen",
     [](MdiChild* f, int cycle) { choose(f, CabinetChild::fcFan, 1 + cycle % 8); }},
    {docFlowMeter, "flow meter: diameter chosen",
     [](MdiChild* f, int cycle) { choose(f, lfDiameter, cycle % 2 ? 100 : 50); }},
};
const int kKinds = int(sizeof(kEdits) / sizeof(kEdits[0]));

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

    static constexpr int kTotal = 1000;
    static constexpr int kSettled = 100;

    std::unique_ptr<MainWindow> m_window;
    QElapsedTimer m_clock;
    long m_settledKb = 0;

    // One document's life: opened in a new tab and shown, changed, then closed
    // through "Закрыть" with the answer "Нет" to the question about saving.
    // Returns an empty string when all went as a user expects, otherwise what
    // went wrong.
    QString cycle(const Edit& edit, int number)
    {
        MainWindow& window = *m_window;
        QTabWidget* tabs = window.tabWidget();
        const int idx = window.createMdiChild(edit.type, nullptr);
        if (idx < 0)
            return QStringLiteral("no window opened");
        tabs->setCurrentIndex(idx);
        QPointer<MdiChild> form = window.activeMdiChild();
        if (!form || form->docType() != edit.type)
            return QStringLiteral("the new tab holds another window");
        QCoreApplication::processEvents(); // laid out and painted

        edit.apply(form, number);
        QCoreApplication::processEvents();
        if (!form->isModified())
            return QStringLiteral("the change did not mark the document modified");
        const QString title = form->doc().name() + QStringLiteral(" *");
        if (tabs->tabText(tabs->currentIndex()) != title)
            return QStringLiteral("tab title '%1', expected '%2'")
                .arg(tabs->tabText(tabs->currentIndex()), title);

        const QString question = QStringLiteral("Сохранить изменения в '%1'?").arg(form->doc().name());
        orxtest::ModalAnswerer answer(orxtest::ModalAnswerer::clickButton(QStringLiteral("Нет")));
        const int before = tabs->count();
        window.action(MainWindow::aiClose)->trigger();
        if (answer.text() != question)
            return QStringLiteral("close question '%1'").arg(answer.text());
        if (tabs->count() != before - 1)
            return QStringLiteral("the tab stayed open");
        // The page deletes itself once control is back in the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (form)
            return QStringLiteral("the closed window was not deleted");
        return QString();
    }

    // Documents [from, from + 100): the first hundred set the memory every
    // later hundred is held to.
    void hundred(int from)
    {
        if (from == 0)
            m_clock.start();
        else
            QVERIFY2(m_settledKb > 0, "the first hundred documents did not finish");
        {
            orxtest::MessageCapture capture;
            for (int i = from; i < from + kSettled; ++i) {
                const Edit& edit = kEdits[i % kKinds];
                const QString fault = cycle(edit, i);
                QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("document %1 (%2): %3")
                                                         .arg(i + 1)
                                                         .arg(QString::fromUtf8(edit.name), fault)));
            }
            QCOMPARE(m_window->tabWidget()->count(), 0);
            // Nothing reached the user: no assertion, no error box.
            QCOMPARE(capture.count(), 0);
        }
        // The soak looks for what grows with the documents, not for bounded
        // caches: with every tab closed, the background cache still keeps the
        // last window-sized picture on purpose (its bound is tested with the
        // framework) and the toolkit's pixmap cache holds up to 10 MB of drawn
        // controls. Freed memory goes back to the system first, so what stays
        // resident is what is still held, not the allocator's high-water mark.
        BackgroundCache::clear();
        QPixmapCache::clear();
        malloc_trim(0);
        const long kb = residentKb();
        qInfo("documents %d-%d: %.1f s from the start, resident memory %.1f MB", from + 1, from + kSettled,
              m_clock.elapsed() / 1000.0, kb / 1024.0);
        if (from == 0) {
            m_settledKb = kb;
            return;
        }
        QVERIFY2(
            kb * 10 <= m_settledKb * 11,
            qPrintable(QStringLiteral("resident memory grew from %1 kB after %2 documents to %3 kB after %4")
                           .arg(m_settledKb)
                           .arg(kSettled)
                           .arg(kb)
                           .arg(from + kSettled)));
        if (from + kSettled == kTotal)
            qInfo("%d documents in %.1f s; resident memory %.1f MB after %d, %.1f MB after %d", kTotal,
                  m_clock.elapsed() / 1000.0, m_settledKb / 1024.0, kSettled, kb / 1024.0, kTotal);
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Оримакстех"));
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        QApplication::setQuitOnLastWindowClosed(false);
        QVERIFY(residentKb() > 0);

        // The window asks for a first document as soon as the event loop runs:
        // the question is declined, and the session starts with no tab.
        orxtest::ModalAnswerer decline(orxtest::ModalAnswerer::reject());
        m_window = std::make_unique<MainWindow>();
        QVERIFY(QTest::qWaitFor([&] { return decline.answered(); }));
        QCOMPARE(m_window->tabWidget()->count(), 0);
    }

    void cleanupTestCase() { m_window.reset(); }

    // Each kind once, so that a fault of one kind is named before the long run.
    void eachKindChangesAndCloses_data()
    {
        QTest::addColumn<int>("kind");
        for (int k = 0; k < kKinds; ++k)
            QTest::newRow(kEdits[k].name) << k;
    }

    void eachKindChangesAndCloses()
    {
        QFETCH(int, kind);
        QCOMPARE(cycle(kEdits[kind], kind), QString());
        QCOMPARE(m_window->tabWidget()->count(), 0);
    }

    // A thousand documents, a hundred per test function (each has its own
    // time limit). The first hundred open every kind of window many times over,
    // so whatever the process keeps for good (fonts, pictures, the background,
    // Qt's own caches) is in place by then; from there on resident memory may
    // not grow by more than a tenth.
    void documents0001to0100() { hundred(0); }
    void documents0101to0200() { hundred(100); }
    void documents0201to0300() { hundred(200); }
    void documents0301to0400() { hundred(300); }
    void documents0401to0500() { hundred(400); }
    void documents0501to0600() { hundred(500); }
    void documents0601to0700() { hundred(600); }
    void documents0701to0800() { hundred(700); }
    void documents0801to0900() { hundred(800); }
    void documents0901to1000() { hundred(900); }
};

ORX_GUI_TEST_MAIN(TestSoak)
#include "tst_soak.moc"
