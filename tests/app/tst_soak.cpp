// One document of every kind opened in the main window, changed as a user
// changes it and closed without saving: the change marks it modified, the close
// asks about it, and the closed window really goes. (The thousand-document run
// that watches the memory of the process is bench/bench_soak.cpp.)

#include "forms/fancabinetchild.h"
#include "framework/mdichild.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"
#include "mainwindow.h"
#include "vocabulary/flowmeter.h"

#include <QAction>
#include <QTabWidget>

#include <functional>
#include <memory>

using namespace common;

namespace {

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

// One change of a document of each kind; an edit that could not be made leaves
// the window unmodified, which the test reports.
struct Edit
{
    DocType type;
    const char* name;
    const char* prefix; // of the new document's name, before its number
    std::function<void(MdiChild*, int cycle)> apply;
};

const Edit kEdits[] = {
    {docKv, "Kv calculation: P1 typed", "Расчёт Kv ",
     [](MdiChild* f, int cycle) { typeInto(f, MdiChild::fcP1, QString::number(2 + cycle % 7)); }},
    {docValve, "valve: P1 typed", "Клапан ",
     [](MdiChild* f, int cycle) { typeInto(f, MdiChild::fcP1, QString::number(3 + cycle % 5)); }},
    {docRegulator, "regulator: flow typed", "Регулятор ",
     [](MdiChild* f, int cycle) { typeInto(f, MdiChild::fcFlow, QString::number(1 + cycle % 11)); }},
    {docStdCabinet, "heating cabinet: loop count chosen", "ЛМШ для ГВС или ОТП ",
     [](MdiChild* f, int cycle) { choose(f, CabinetChild::fcLoopCount, 2 + cycle % 8); }},
    {docFanCabinet, "ventilation cabinet: fan drive chosen", "ЛМШ для ВЕНТ ",
     [](MdiChild* f, int cycle) { choose(f, CabinetChild::fcFan, 1 + cycle % 8); }},
    {docFlowMeter, "flow meter: diameter chosen", "Расходомер ",
     [](MdiChild* f, int cycle) { choose(f, lfDiameter, cycle % 2 ? 100 : 50); }},
};
const int kKinds = int(sizeof(kEdits) / sizeof(kEdits[0]));

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;

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
        const QString prefix = QString::fromUtf8(edit.prefix);
        if (!form->doc().name().startsWith(prefix) || form->doc().name().mid(prefix.size()).toInt() <= 0)
            return QStringLiteral("named '%1'").arg(form->doc().name());
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

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Оримакстех"));
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        QApplication::setQuitOnLastWindowClosed(false);

        // The window asks for a first document as soon as the event loop runs:
        // the question is declined, and the session starts with no tab.
        orxtest::ModalAnswerer decline(orxtest::ModalAnswerer::reject());
        m_window = std::make_unique<MainWindow>();
        QVERIFY(QTest::qWaitFor([&] { return decline.answered(); }));
        QCOMPARE(m_window->tabWidget()->count(), 0);
    }

    void cleanupTestCase() { m_window.reset(); }

    void eachKindChangesAndCloses_data()
    {
        QTest::addColumn<int>("kind");
        for (int k = 0; k < kKinds; ++k)
            QTest::newRow(kEdits[k].name) << k;
    }

    void eachKindChangesAndCloses()
    {
        QFETCH(int, kind);
        orxtest::MessageCapture capture;
        QCOMPARE(cycle(kEdits[kind], kind), QString());
        QCOMPARE(m_window->tabWidget()->count(), 0);
        // Nothing reached the user: no assertion, no error box.
        QCOMPARE(capture.count(), 0);
    }
};

ORX_GUI_TEST_MAIN(TestSoak)
#include "tst_soak.moc"
