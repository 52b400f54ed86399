// The document window framework, driven through a small valve-task form built
// on it and held as the main window holds every form: a scroll area in a tab.

#include "engine/inputparams.h"
#include "formhost.h"
#include "forms/regulatorchild.h"
#include "forms/valvechild.h"
#include "framework/backgroundcache.h"
#include "framework/hydraulictaskchild.h"
#include "framework/radioarea.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <memory>

using namespace common;
using orxtest::ModalAnswerer;

namespace {

// The shared valve rows plus a check box, recalculating as the real forms do
// and counting its recalculations.
class TestForm : public HydraulicTaskChild
{
    Q_OBJECT
public:
    explicit TestForm(const Doc* data = nullptr, DeviceType device = dtLMK2)
        : HydraulicTaskChild(data, docValve), m_device(device)
    {
        setupLayout();
        fillControls();
        connectControls(true);
        applyToControls();
    }

    DocType docType() const override { return docValve; }
    DeviceType deviceType() const override { return m_device; }
    int inputColumnCount() const override { return 4; }
    int resultColumnCount() const override { return 1; }
    bool usePhaseLimits() const override { return phaseLimits; }
    QString copyText() const override { return QStringLiteral("ЛМК-2 DN 50"); }

    QLayout* createInputArea() override
    {
        QGridLayout* grid = createValveInputGrid(QStringLiteral("Подающий трубопровод|Tпод"));
        addCheckRow(grid, 406, QStringLiteral("Высокотемпературный"));
        return grid;
    }

    void recalc() override
    {
        ++recalcCount;
        {
            const SignalsPaused paused(this);
            updateFlowUnits();
            updateConcentrationRow();
            updateTemperatureRows();
            ValveInputParams task = input();
            updateHeatLoadRows(task);
            limitTemperature(task);
        }
        results().clearResults();
        QGridLayout* grid = results().createResultsGrid();
        results().addResultValueRow(grid, 0, QStringLiteral("Расчётный Kv"), QStringLiteral("м³/ч"), 7.126, 2);
        grid->addWidget(createCopyButton(QStringLiteral("Копировать значение")), nextRow(grid), 0);
        if (rejectedMode())
            results().addResultsHeader(grid, QStringLiteral("Отбракованные варианты"), true);
        results().finishResultsGrid(grid);
    }

    ValveInputParams input()
    {
        ValveInputParams task;
        fillCommonInputs(task);
        task.valveType = m_device;
        task.P1 = doubleValue(fcP1);
        task.P2 = doubleValue(fcP2);
        return task;
    }

    QLabel* hint(int i) const { return temperatureHint(i); }
    using MdiChild::results;
    template <class T = QLabel>
    T* result(const QString& text = QString()) const
    {
        for (QWidget* w : results().resultWidgets())
            if (auto* found = qobject_cast<T*>(w); found && (text.isNull() || w->property("text") == text))
                return found;
        return nullptr;
    }

    using HydraulicTaskChild::limitTemperature;

    int recalcCount = 0;
    bool phaseLimits = true;

private:
    DeviceType m_device;
};

using Hosted = orxtest::Hosted<TestForm>;

double rounded(double v)
{
    return std::round(v * 100) / 100;
}

// A document saved from a form that `fill` set up, read back as the main window reads it.
Doc savedDocument(const QString& fileName, const std::function<void(TestForm&)>& fill)
{
    TestForm source;
    fill(source);
    return orxtest::savedAndReopened(source, fileName);
}

using FormFactory = std::function<MdiChild*()>;
using FormStep = std::function<void(TestForm*)>;

// The x of the line between the input and the results columns.
int separatorX(MdiChild* form)
{
    form->layout()->activate();
    for (QFrame* frame : form->findChildren<QFrame*>())
        if (frame->frameShape() == QFrame::VLine)
            return frame->x();
    return -1;
}

const SubstanceProperties kWater(stWater, 0);
const double Tb2 = kWater.saturationTemperature(201325);
const double Ts6 = kWater.saturationTemperature(601325);
const QString kTooHigh = QStringLiteral("Слишком высокое давление рабочей среды");
QString boiling(const char* p2, double t)
{
    return QStringLiteral("<i>При <b>абсолютном</b> давлении после клапана %1 бар температура кипения "
                          "рабочей среды %2 °C</i>")
        .arg(QLatin1String(p2), QString::number(t, 'f', 1));
}

// The bounds of the supply and return temperatures and the hint under them.
const struct
{
    const char* name;
    int device, medium, kind;
    double p1, p2;
    bool phaseLimits;
    QString hint;
    double lower, upper;
} kLimits[] = {
    {"water: boiling point bound and hint", dtLMK2, stWater, pkExcess, 2, 1, true, boiling("2.01", Tb2), 0,
     Tb2},
    {"water: boiling above the device limit keeps the limit", dtLMK2, stWater, pkExcess, 8, 5, true,
     boiling("6.01", Ts6), 0, 150},
    {"water: too high before the valve keeps the boiling bound", dtLMK2, stWater, pkExcess, 26, 1, true,
     kTooHigh, 0, Tb2},
    {"water: no boiling below the triple point", dtLMK2, stWater, pkAbsolute, 2, 0.001, true,
     QStringLiteral("Слишком низкое давление рабочей среды"), 0, 0},
    {"water without phase limits, no device", dtEmpty, stWater, pkExcess, 2, 1, false, QString(), 0, 150},
    {"saturated steam: locked to condensation, no hint", dtLMKP, stSaturatedSteam, pkExcess, 5, 3, true,
     QString(), Ts6, Ts6},
    {"superheated steam: above condensation at the inlet pressure", dtLMKP, stSuperheatedSteam, pkExcess, 5,
     3, true,
     QStringLiteral(
         "<i>При <b>абсолютном</b> давлении до клапана 6.01 бар температура парообразования %1 °C</i>")
         .arg(QString::number(Ts6, 'f', 1)),
     Ts6 + 0.1, 220},
    {"steam: condensation above the device limit", dtLMKP, stSuperheatedSteam, pkExcess, 25, 3, true,
     kTooHigh + QStringLiteral(", температура парообразования превышает 220.0 °C"), 220, 220},
    {"air: the device limit only", dtLMKP, stAir, pkExcess, 5, 3, true, QString(), 0, 220},
};

} // namespace

Q_DECLARE_METATYPE(FormFactory)
Q_DECLARE_METATYPE(FormStep)

class TestMdiChild : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт")); }

    void flowUnitsFollowTheMedium_data()
    {
        QTest::addColumn<QList<int>>("media"); // chosen one after the other
        QTest::addColumn<QString>("items");
        QTest::addColumn<int>("current");
        // The chosen m³/h is gone for steam: the first unit steam takes is chosen.
        QTest::newRow("saturated steam: masses only, the first chosen")
            << QList<int>{stSaturatedSteam} << QStringLiteral("т/ч|кг/ч") << int(wfTh);
        QTest::newRow("nitrogen after steam: normal m³/h back on top")
            << QList<int>{stSuperheatedSteam, stNitrogen} << QStringLiteral("нм³/ч|т/ч|кг/ч") << int(wfTh);
        QTest::newRow("glycol after air: every unit again")
            << QList<int>{stAir, stEthyleneGlycol} << QStringLiteral("м³/ч|т/ч|кг/ч|кг/с|л/ч|л/мин.|л/с")
            << int(wfM3h);
    }

    void flowUnitsFollowTheMedium()
    {
        QFETCH(QList<int>, media);
        QFETCH(QString, items);
        QFETCH(int, current);
        Hosted host;
        for (int medium : media)
            orxtest::selectData(host.form->ctrl<QComboBox>(121), medium);
        QCOMPARE(orxtest::itemTexts(host.form->ctrl<QComboBox>(1081)), items.split(QLatin1Char('|')));
        QCOMPARE(host.form->intComboValue(1081, -1), current);
    }

    void limitTemperature_data()
    {
        QTest::addColumn<int>("i");
        for (int i = 0; i < int(std::size(kLimits)); ++i)
            QTest::newRow(kLimits[i].name) << i;
    }

    void limitTemperature()
    {
        QFETCH(int, i);
        const auto& c = kLimits[i];
        orxtest::MessageCapture capture;
        Hosted host(nullptr, DeviceType(c.device));
        TestForm* form = host.form;
        form->phaseLimits = c.phaseLimits;
        orxtest::selectData(form->ctrl<QComboBox>(121), c.medium);
        form->ctrl<RadioArea>(1011)->setCheckedId(c.kind);
        form->ctrl<QDoubleSpinBox>(102)->setValue(c.p1);
        form->ctrl<QDoubleSpinBox>(103)->setValue(c.p2);
        form->limitTemperature(form->input());
        QCOMPARE(form->hint(1)->text(), c.hint);
        QCOMPARE(form->hint(1)->isVisible(), !c.hint.isEmpty());
        for (qint16 code : {105, 107}) {
            QCOMPARE(form->ctrl<QDoubleSpinBox>(code)->minimum(), rounded(c.lower));
            QCOMPARE(form->ctrl<QDoubleSpinBox>(code)->maximum(), rounded(c.upper));
        }
        // The device's own limit, for forms that name a device.
        QCOMPARE(form->hint(2)->isVisible() ? form->hint(2)->text() : QString(),
                 c.device == dtEmpty
                     ? QString()
                     : QStringLiteral("<i>Для %1 максимально допустимая температура %2 °C</i>")
                           .arg(deviceTypeName(DeviceType(c.device)),
                                c.device == dtLMKP ? QStringLiteral("220.0") : QStringLiteral("150.0")));
        QCOMPARE(capture.count(), 0);
    }

    // A saved task in heat-load mode: opening it derives the flow on first
    // show, and that is no modification.
    void heatLoadWritesTheFlowWithoutModification()
    {
        QTemporaryDir dir;
        const Doc doc = savedDocument(dir.filePath(QStringLiteral("нагрузка.orx")), [&](TestForm& source) {
            source.ctrl<RadioArea>(104)->setCheckedId(2);
            orxtest::selectData(source.ctrl<QComboBox>(1081), wfTh);
            for (const auto& v :
                 QList<QPair<qint16, double>>{{102, 6}, {103, 5}, {105, 90}, {107, 70}, {106, 1}, {108, 3}})
                source.ctrl<QDoubleSpinBox>(v.first)->setValue(v.second);
        });
        Hosted host(&doc);
        TestForm* form = host.form;
        auto* G = form->ctrl<QDoubleSpinBox>(108);
        QCOMPARE(G->value(), 49.91);
        QVERIFY(!G->isEnabled() && form->control(106)->isVisible() && form->control(1061)->isVisible());
        QVERIFY(!form->isModified());
        QCOMPARE(form->recalcCount, 1);
        // A new heat load rewrites the flow within one recalculation; equal temperatures give none.
        form->ctrl<QDoubleSpinBox>(107)->setValue(90);
        QCOMPARE(form->recalcCount, 2);
        QCOMPARE(G->value(), 0.0);
        QVERIFY(form->isModified());
        // Back to a flow given directly: the heat rows go, the flow is editable.
        form->ctrl<RadioArea>(104)->setCheckedId(1);
        QVERIFY(G->isEnabled() && !form->control(106)->isVisible() && !form->control(1061)->isVisible());
    }

    void pausedSignalsNest_data()
    {
        QTest::addColumn<FormStep>("adjust");
        QTest::newRow("a helper's guard inside the caller's") << FormStep([](TestForm* form) {
            const MdiChild::SignalsPaused outer(form);
            {
                const MdiChild::SignalsPaused inner(form);
            }
            form->ctrl<QDoubleSpinBox>(102)->setValue(7);
        });
        QTest::newRow("the flow derived inside the caller's guard") << FormStep([](TestForm* form) {
            const MdiChild::SignalsPaused outer(form);
            ValveInputParams task = form->input();
            form->recalcQ(task);
            form->ctrl<QDoubleSpinBox>(102)->setValue(7);
        });
    }

    // What the form writes while any guard is held is no modification; the
    // user's next change is, once.
    void pausedSignalsNest()
    {
        QFETCH(FormStep, adjust);
        Hosted host;
        TestForm* form = host.form;
        const int before = form->recalcCount;
        adjust(form);
        QCOMPARE(form->recalcCount, before);
        QVERIFY(!form->isModified());
        form->ctrl<QDoubleSpinBox>(103)->setValue(3);
        QCOMPARE(form->recalcCount, before + 1);
        QVERIFY(form->isModified());
    }

    void titleAndSaving()
    {
        QTemporaryDir dir;
        orxtest::MessageCapture capture;
        Hosted host;
        TestForm* form = host.form;
        QCOMPARE(MdiChild::fileFilter(), QStringLiteral("Оримакс-расчёт (*.orx)"));
        const QString name = form->doc().name();
        QVERIFY(name.startsWith(QStringLiteral("Клапан ")));
        QCOMPARE(host.tabs.tabText(0), name);
        auto* flow = form->ctrl<QDoubleSpinBox>(108);
        orxtest::typeInto(flow, QStringLiteral("12"));
        QCOMPARE(host.tabs.tabText(0), name + QStringLiteral(" *"));

        // A failed save keeps the window modified, with its name.
        QVERIFY(!form->saveToFile(dir.filePath(QStringLiteral("нет такой папки/Проект.orx"))));
        QVERIFY(capture.contains(QStringLiteral("Не удалось открыть файл")));
        QVERIFY(form->isModified() && !form->doc().hasFileName());
        QCOMPARE(host.tabs.tabText(0), name + QStringLiteral(" *"));

        // Save as: a name typed without the extension gets it; the folder is remembered.
        ModalAnswerer answer(ModalAnswerer::chooseFile(dir.filePath(QStringLiteral("Проект"))));
        QVERIFY(form->save());
        QCOMPARE(answer.title(), QStringLiteral("Сохранить как"));
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Проект"));
        QVERIFY(!form->isModified());
        QCOMPARE(Doc::directory(), dir.path() + QLatin1Char('/'));

        // The next save goes to the same file without asking; a failing one
        // leaves that file and the window's file as they were.
        flow->setValue(13);
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Проект *"));
        QVERIFY(form->save());
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Проект"));
        const QString good = dir.filePath(QStringLiteral("Проект.orx"));
        flow->setValue(99);
        QVERIFY(!form->saveToFile(dir.path()));
        Doc saved;
        QVERIFY(Doc::loadFromFile(good, saved));
        QCOMPARE(saved.value(108).toDouble(), 13.0);
        QCOMPARE(form->doc().canonicalFileName(), QFileInfo(good).canonicalFilePath());
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Проект *"));
    }

    void closeQuestion_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("fileChosen");
        QTest::addColumn<bool>("closed");
        QTest::newRow("unmodified closes without a word") << false << QString() << false << true;
        QTest::newRow("Отмена keeps it open") << true << QStringLiteral("Отмена") << false << false;
        QTest::newRow("Нет closes without saving") << true << QStringLiteral("Нет") << false << true;
        QTest::newRow("Да, save dialog cancelled: stays open")
            << true << QStringLiteral("Да") << false << false;
        QTest::newRow("Да, file chosen: saved and closed") << true << QStringLiteral("Да") << true << true;
    }

    void closeQuestion()
    {
        QFETCH(bool, modified);
        QFETCH(QString, answer);
        QFETCH(bool, fileChosen);
        QFETCH(bool, closed);
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("закрытый.orx"));
        Hosted host;
        QPointer<TestForm> form = host.form;
        if (modified)
            form->ctrl<QDoubleSpinBox>(108)->setValue(12);
        const QString name = form->doc().name();

        // "Да" on a document never saved asks for a file first.
        std::unique_ptr<ModalAnswerer> saveDialog;
        ModalAnswerer question(
            [&](QWidget* modal) {
                saveDialog = std::make_unique<ModalAnswerer>(
                    fileChosen ? ModalAnswerer::chooseFile(fileName) : ModalAnswerer::reject(), 2000);
                ModalAnswerer::clickButton(answer)(modal);
            },
            2000);
        QCOMPARE(form->close(), closed);
        QCOMPARE(question.answered(), modified);
        if (modified) {
            QCOMPARE(question.title(), QStringLiteral("Закрытие документа"));
            QCOMPARE(question.text(), QStringLiteral("Сохранить изменения в '%1'?").arg(name));
            QCOMPARE(saveDialog->answered(), answer == QStringLiteral("Да"));
        }
        QCOMPARE(QFile::exists(fileName), fileChosen);
        if (closed)
            QTRY_VERIFY(!form);
        else
            QVERIFY(form && form->isModified());
    }

    // The shortcut acts on the current tab only and rebuilds its results
    // from scratch, with the rejected candidates' header and without.
    void rejectedModeShortcutRebuildsTheResults()
    {
        orxtest::FormHost host;
        TestForm* first = host.add(new TestForm);
        TestForm* second = host.add(new TestForm);
        QVERIFY(host.show());
        host.tabs.setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(second));
        const int recalcs = second->recalcCount;
        for (int press = 1; press <= 2; ++press) {
            QList<QPointer<QWidget>> old;
            for (QWidget* w : second->results().resultWidgets())
                old << w;
            QTest::keyClick(second, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
            for (const QPointer<QWidget>& w : old)
                QVERIFY(!w);
            for (QWidget* w : second->results().resultWidgets())
                QVERIFY(w->isVisible());
            QCOMPARE(second->rejectedMode(), press == 1);
            QCOMPARE(second->result(QStringLiteral("Отбракованные варианты")) != nullptr, press == 1);
            QCOMPARE(second->recalcCount, recalcs + press);
            QVERIFY(!first->rejectedMode() && !second->isModified());
        }
        QVERIFY(second->result(QStringLiteral("Расчётный Kv:"))->font().bold());
        QCOMPARE(second->result<QLineEdit>()->text(), QStringLiteral("7.13"));
        QCOMPARE(orxtest::copiedText(second->result<QPushButton>()), QStringLiteral("ЛМК-2 DN 50"));
        second->results().clearResults();
        QVERIFY(second->results().resultWidgets().isEmpty());
    }

    // The input column keeps its width while the user types; at 1366 px a
    // long message wraps in the results column rather than run past its edge.
    void inputColumnHoldsStillAndMessagesWrap()
    {
        orxtest::FormHost host;
        MdiChild* form = host.add(new ValveChild());
        QVERIFY(host.show());
        const int x = separatorX(form);
        for (const QString& entry :
             QStringLiteral("102=6 103=5 1032=0.5 105=90 107=70 108=10 102=25.5").split(QLatin1Char(' '))) {
            orxtest::typeInto(
                form->ctrl<QDoubleSpinBox>(qint16(entry.section(QLatin1Char('='), 0, 0).toInt())),
                entry.section(QLatin1Char('='), 1));
            QVERIFY2(separatorX(form) == x, qPrintable(entry));
        }
        host.tabs.resize(1366, 700);
        QLabel* message = nullptr;
        for (QLabel* label : form->findChildren<QLabel*>())
            if (label->isVisible() && label->text().contains(QStringLiteral("2.5 МПа")))
                message = label;
        QVERIFY(message && message->wordWrap());
        QTRY_VERIFY(
            !qobject_cast<QScrollArea*>(host.tabs.currentWidget())->horizontalScrollBar()->isVisible());
    }

    // A caption of ordinary length stands on one line in the system's font,
    // its symbol with it; the longest captions still wrap in the caption column.
    void captionLines_data()
    {
        QTest::addColumn<FormFactory>("create");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("minimumColumn");
        QTest::addColumn<bool>("oneLine");
        QTest::newRow("valve: the long regulated-section drop wraps")
            << FormFactory([] { return new ValveChild(); }) << int(MdiChild::fcRegulatedDrop) << 215 << false;
        QTest::newRow("regulator: supply pressure on one line")
            << FormFactory([] { return new RegulatorChild(); }) << int(RegulatorChild::fcSupplyPressure)
            << 280 << true;
    }

    void captionLines()
    {
        QFETCH(FormFactory, create);
        QFETCH(int, field);
        QFETCH(int, minimumColumn);
        QFETCH(bool, oneLine);
        orxtest::FormHost host;
        MdiChild* form = host.add(create());
        QVERIFY(host.show());
        const QLabel* label = form->label(DocKey(qint16(field)));
        QTRY_VERIFY(label->isVisible());
        QVERIFY2(label->width() >= minimumColumn, qPrintable(QString::number(label->width())));
        const int lines =
            qRound(qreal(label->heightForWidth(label->width())) / label->fontMetrics().lineSpacing());
        QVERIFY2((lines == 1) == oneLine, qPrintable(label->text()));
    }

    void backgroundIsSharedBetweenWindowsOfOneSize()
    {
        BackgroundCache::clear();
        orxtest::FormHost host;
        TestForm* first = host.add(new TestForm);
        TestForm* second = host.add(new TestForm);
        QVERIFY(host.show());
        // Each page takes the tab's size when it is shown.
        host.tabs.setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(second));
        QTest::qWait(20);
        host.tabs.setCurrentIndex(0);
        QTRY_COMPARE(first->size(), second->size());
        const auto texture = [](QWidget* w) { return w->palette().brush(QPalette::Window).texture(); };
        if (QPixmap(BackgroundCache::pictureName()).isNull())
            QSKIP("no background picture");
        QCOMPARE(texture(first).size(), first->size());
        QCOMPARE(texture(second).cacheKey(), texture(first).cacheKey());

        // Dragging the window lets go of the sizes left behind: on screen and the hidden tab's.
        for (int w = 800; w <= 1500; w += 100) {
            host.tabs.resize(w, 700);
            QCoreApplication::processEvents();
        }
        QVERIFY(BackgroundCache::count() <= 3);
    }
};

ORX_GUI_TEST_MAIN(TestMdiChild)
#include "tst_mdichild.moc"
