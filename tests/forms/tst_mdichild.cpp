// The document window framework, through a small valve-task form hosted as the main window hosts forms.

#include "engine/inputparams.h"
#include "forms/kvchild.h"
#include "forms/regulatorchild.h"
#include "forms/valvechild.h"
#include "framework/backgroundcache.h"
#include "framework/hydraulictaskchild.h"
#include "tablerows.h"
#include "tst_selectionchild_formreader.h"

#include <QGridLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cmath>

using namespace common;
using orxtest::ModalAnswerer;

namespace {

// The shared valve rows, recalculating as the real forms do and counting its recalculations.
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
    QLayout* createInputArea() override { return createValveInputGrid(QStringLiteral("Подающий|Tпод")); }

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
        results().addResultValueRow(grid, 0, QStringLiteral("Расчётный Kv"), QStringLiteral("м³/ч"), 7.126,
                                    2);
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

    using HydraulicTaskChild::temperatureHint;
    using MdiChild::results;

    int recalcCount = 0;
    bool phaseLimits = true;

private:
    DeviceType m_device;
};

using Hosted = orxtest::Hosted<TestForm>;

// The Kv calculation form, its results open to reading.
struct Kv : KvChild
{
    using HydraulicTaskChild::temperatureHint;
    using MdiChild::results;
};

// The result cells as read, joined by "|" ("*" before a bold one, "?" before a hidden one), then what is
// copied.
template <class Form>
QString shown(Form* form)
{
    QStringList cells;
    for (QWidget* w : form->results().resultWidgets())
        cells << QLatin1String(w->isVisible() ? "" : "?") + QLatin1String(w->font().bold() ? "*" : "") +
                     w->property("text").toString().replace(QChar(0x00A0), QLatin1Char(' '));
    auto* copy = form->template findChild<QPushButton*>();
    return cells.join(QLatin1Char('|')) +
           (copy ? QStringLiteral(", copied ") + orxtest::copiedText(copy) : QString());
}

// The choices, then the numbers typed one after the other as "field=text".
void enter(MdiChild* form, int medium, int kind, int pressureUnit, const char* typed)
{
    formreader::act(form, QStringLiteral("121=%1 1011=%2 101=%3 ").arg(medium).arg(kind).arg(pressureUnit) +
                              QString::fromUtf8(typed));
}

// Kv tasks in m³/h, and what is shown after "*Результаты|*". Water at 20 °C, 10 m³/h, 1 bar across:
// 10·10·√998.2/√100000 = 9.9910.
// clang-format off
const struct { const char* name; int kind, pressureUnit; const char *typed, *shown; } kKvTasks[] = {
    {"water 10 m³/h across 1 bar", pkExcess, pmBar, "102=2 103=1 105=20 108=10", "Расчётный Kv:|9.99|м³/ч|, copied 9.99"},
    {"kPa absolute converted", pkAbsolute, pmKPa, "102=301.325 103=201.325 105=20 108=10", "Расчётный Kv:|9.99|м³/ч|, copied 9.99"},
    {"P2 equal to P1 refused", pkExcess, pmBar, "102=2 103=2 105=20 108=10", "Недопустимые входные данные:<br>давление перед клапаном должно превышать давление после клапана"},
    {"no flow: not filled in, the empty inputs named", pkExcess, pmBar, "102=2 103=1 105=20 108=0", "Не заполнены входные данные|Пустые поля: <i>G</i>"},
};
// clang-format on

// The x of the line between the input and the results columns.
int separatorX(MdiChild* form)
{
    form->layout()->activate();
    for (QFrame* frame : form->findChildren<QFrame*>())
        if (frame->frameShape() == QFrame::VLine)
            return frame->x();
    return -1;
}

// Lines the field's caption takes as laid out; 0 when its column is narrower than `minimumColumn`.
int captionLines(MdiChild* form, qint16 field, int minimumColumn)
{
    const QLabel* label = form->label(DocKey(field));
    if (!QTest::qWaitFor([label] { return label->isVisible(); }) || label->width() < minimumColumn)
        return 0;
    return qRound(qreal(label->heightForWidth(label->width())) / label->fontMetrics().lineSpacing());
}

// The flow units offered after one medium chosen, then another, and the unit chosen.
// clang-format off
const struct { const char* name; int first, then; const char* units; } kFlowUnits[] = {
    {"saturated steam: masses only, the first chosen", stSaturatedSteam, stSaturatedSteam, "т/ч|кг/ч → т/ч"},
    {"nitrogen after steam: normal m³/h on top", stSuperheatedSteam, stNitrogen, "нм³/ч|т/ч|кг/ч → т/ч"},
    {"glycol after air: every unit again", stAir, stEthyleneGlycol, "м³/ч|т/ч|кг/ч|кг/с|л/ч|л/мин.|л/с → м³/ч"},
};
// clang-format on

const SubstanceProperties kWater(stWater, 0);
const double Tb2 = kWater.saturationTemperature(201325);
const double Ts6 = kWater.saturationTemperature(601325);
const QString kTooHigh = QStringLiteral("Слишком высокое давление рабочей среды");
// The hint of a phase change: where the pressure is, the pressure in bar, what happens there and when.
QString phase(const char* where, const char* p, const char* what, double t)
{
    return QStringLiteral("<i>При <b>абсолютном</b> давлении %1 клапана %2 бар температура %3 %4 °C</i>")
        .arg(QString::fromUtf8(where), QLatin1String(p), QString::fromUtf8(what), QString::number(t, 'f', 1));
}

// The bounds of the supply and return temperatures and the hint under them.
// clang-format off
const struct { const char* name; int device, medium, kind; const char* typed; bool phaseLimits; QString hint; double lower, upper; } kLimits[] = {
    {"water: boiling point bound and hint", dtLMK2, stWater, pkExcess, "102=2 103=1", true, phase("после", "2.01", "кипения рабочей среды", Tb2), 0, Tb2},
    {"water: boiling above the device limit keeps the limit", dtLMK2, stWater, pkExcess, "102=8 103=5", true, phase("после", "6.01", "кипения рабочей среды", Ts6), 0, 150},
    {"water: too high before the valve keeps the boiling bound", dtLMK2, stWater, pkExcess, "102=26 103=1", true, kTooHigh, 0, Tb2},
    {"water: no boiling below the triple point", dtLMK2, stWater, pkAbsolute, "102=2 103=0.001", true, QStringLiteral("Слишком низкое давление рабочей среды"), 0, 0},
    {"water without phase limits, no device", dtEmpty, stWater, pkExcess, "102=2 103=1", false, QString(), 0, 150},
    {"saturated steam: locked to condensation, no hint", dtLMKP, stSaturatedSteam, pkExcess, "102=5 103=3", true, QString(), Ts6, Ts6},
    {"superheated steam: above condensation at the inlet pressure", dtLMKP, stSuperheatedSteam, pkExcess, "102=5 103=3", true, phase("до", "6.01", "парообразования", Ts6), Ts6 + 0.1, 220},
    {"steam: condensation above the device limit", dtLMKP, stSuperheatedSteam, pkExcess, "102=25 103=3", true, kTooHigh + QStringLiteral(", температура парообразования превышает 220.0 °C"), 220, 220},
    {"air: the device limit only", dtLMKP, stAir, pkExcess, "102=5 103=3", true, QString(), 0, 220},
};
// clang-format on

} // namespace

class TestMdiChild : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт")); }
    void init() { BackgroundCache::clear(); } // the sizes of the windows of the test before go

    void flowUnitsFollowTheMedium_data() { tableRows(kFlowUnits); }
    void flowUnitsFollowTheMedium()
    {
        ORX_ROW(kFlowUnits);
        Hosted host;
        for (int medium : {row.first, row.then})
            orxtest::selectData(host.form->ctrl<QComboBox>(121), medium);
        auto* units = host.form->ctrl<QComboBox>(1081);
        QCOMPARE(orxtest::itemTexts(units).join(QLatin1Char('|')) + QStringLiteral(" → ") +
                     units->currentText(),
                 QString::fromUtf8(row.units));
    }

    void limitTemperature_data() { tableRows(kLimits); }
    void limitTemperature()
    {
        ORX_ROW(kLimits);
        orxtest::MessageCapture capture;
        Hosted host(nullptr, DeviceType(row.device));
        TestForm* form = host.form;
        form->phaseLimits = row.phaseLimits;
        enter(form, row.medium, row.kind, pmBar, row.typed);
        QCOMPARE(form->temperatureHint(1)->isVisible() ? orxtest::readText(form->temperatureHint(1))
                                                       : QString(),
                 row.hint);
        for (qint16 code : {105, 107}) {
            const auto* box = form->ctrl<QSmartDoubleSpinBox>(code);
            QCOMPARE(std::round(box->allowedMinimum() * 100) / 100, std::round(row.lower * 100) / 100);
            QCOMPARE(std::round(box->allowedMaximum() * 100) / 100, std::round(row.upper * 100) / 100);
        }
        QCOMPARE(form->temperatureHint(2)->isVisible() ? orxtest::readText(form->temperatureHint(2))
                                                       : QString(),
                 row.device == dtEmpty
                     ? QString()
                     : QStringLiteral("<i>Для %1 максимально допустимая температура %2 °C</i>")
                           .arg(deviceTypeName(DeviceType(row.device)),
                                row.device == dtLMKP ? QStringLiteral("220.0") : QStringLiteral("150.0")));
        QCOMPARE(capture.count(), 0);
    }

    // Opening a heat-load task derives the flow on first show: no modification; the next change is one.
    void heatLoadWritesTheFlowWithoutModification()
    {
        QTemporaryDir dir;
        TestForm source;
        formreader::act(&source,
                        QStringLiteral("1081=%1 102=6 103=5 105=90 107=70 108=3 104=2 106=1").arg(wfTh));
        const Doc doc = orxtest::savedAndReopened(source, dir.filePath(QStringLiteral("нагрузка.orx")));
        Hosted host(&doc);
        TestForm* form = host.form;
        auto* G = form->ctrl<QDoubleSpinBox>(108);
        QCOMPARE(G->value(), 49.91);
        QVERIFY(!G->isEnabled() && form->control(106)->isVisible() && form->control(1061)->isVisible());
        // Writing under guards, nested or the derived flow's, is no modification either.
        {
            const MdiChild::SignalsPaused outer(form);
            {
                const MdiChild::SignalsPaused inner(form);
            }
            form->ctrl<QDoubleSpinBox>(102)->setValue(7);
            ValveInputParams task = form->input();
            form->recalcQ(task);
            form->ctrl<QDoubleSpinBox>(102)->setValue(6);
        }
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

    // The name changes only once the file is written; closing asks first, "Да" saves (as, when unnamed).
    void titleSavingAndClosing()
    {
        QTemporaryDir dir;
        orxtest::MessageCapture capture;
        Hosted host;
        QPointer<TestForm> form = host.form;
        QCOMPARE(MdiChild::fileFilter(), QStringLiteral("Оримакс-расчёт (*.orx)"));
        const QString name = form->doc().name();
        auto* flow = form->ctrl<QDoubleSpinBox>(108);
        orxtest::typeInto(flow, QStringLiteral("12"));
        QCOMPARE(host.tabs.tabText(0), name + QStringLiteral(" *"));
        const auto closed = [&](QList<ModalAnswerer::Action> answers) {
            orxtest::ModalSequence sequence(answers);
            const bool closed = form->close();
            return QLatin1String(closed ? "closed" : "open") + QStringLiteral(", asked ") +
                   sequence.texts().join(QLatin1Char('|'));
        };
        QCOMPARE(closed({ModalAnswerer::clickButton(QStringLiteral("Да")), ModalAnswerer::reject()}),
                 QStringLiteral("open, asked Сохранить изменения в '%1'?|Сохранить как").arg(name));
        QVERIFY(form->isModified());
        // Save as: a name typed without the extension gets it; the folder is remembered.
        ModalAnswerer answer(ModalAnswerer::chooseFile(dir.filePath(QStringLiteral("Проект"))));
        QVERIFY(form->save());
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Проект"));
        QCOMPARE(Doc::directory(), dir.path() + QLatin1Char('/'));
        // The next save goes to that file unasked; a failing one leaves it and the window's file alone.
        flow->setValue(13);
        QVERIFY(form->save());
        const QString good = dir.filePath(QStringLiteral("Проект.orx"));
        flow->setValue(99);
        QVERIFY(!form->saveToFile(dir.path()));
        QVERIFY(capture.contains(QStringLiteral("Не удалось открыть файл")));
        Doc saved;
        QVERIFY(Doc::loadFromFile(good, saved));
        QCOMPARE(saved.value(108).toDouble(), 13.0);
        QCOMPARE(form->doc().canonicalFileName(), QFileInfo(good).canonicalFilePath());
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Проект *"));
        QCOMPARE(closed({ModalAnswerer::clickButton(QStringLiteral("Да"))}),
                 QStringLiteral("closed, asked Сохранить изменения в 'Проект'?"));
        QVERIFY(Doc::loadFromFile(good, saved));
        QCOMPARE(saved.value(108).toDouble(), 99.0);
        QTRY_VERIFY(!form);
    }

    // The shortcut rebuilds the current tab's results from scratch, with the rejected header and without.
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
            QCOMPARE(shown(second),
                     QStringLiteral("*Результаты|*Расчётный Kv:|7.13|м³/ч|") +
                         (press == 1 ? QStringLiteral("|*Отбракованные варианты") : QString()) +
                         QStringLiteral(", copied "));
            QCOMPARE(second->recalcCount, recalcs + press);
            QVERIFY(!first->rejectedMode() && !second->isModified());
        }
    }

    // The Kv form: strength for glycols only, no device; boiling bounds T only with both pressures given.
    void kvRowsFollowTheTask()
    {
        orxtest::Hosted<Kv> host;
        Kv* form = host.form;
        orxtest::selectData(form->ctrl<QComboBox>(121), stEthyleneGlycol);
        QVERIFY(form->control(141)->isVisible() && form->label(141)->isVisible());
        orxtest::selectData(form->ctrl<QComboBox>(121), stAir);
        QVERIFY(!form->control(141)->isVisible());
        enter(form, stWater, pkExcess, pmBar, "102=2 103=1");
        QCOMPARE(form->ctrl<QDoubleSpinBox>(1031)->text(), QStringLiteral("1.00"));
        QCOMPARE(std::round(form->ctrl<QSmartDoubleSpinBox>(105)->allowedMaximum() * 100) / 100,
                 std::round(Tb2 * 100) / 100);
        QVERIFY(form->temperatureHint(1)->isVisible());
        QVERIFY(!form->temperatureHint(2)->isVisible());
        orxtest::typeInto(form->ctrl<QDoubleSpinBox>(103), QStringLiteral("0"));
        QVERIFY(!form->temperatureHint(1)->isVisible());
        QCOMPARE(form->ctrl<QSmartDoubleSpinBox>(105)->allowedMaximum(), 220.0);
        orxtest::selectData(form->ctrl<QComboBox>(101), pmMPa);
        QCOMPARE(form->subLabel(1031)->text(), QStringLiteral("МПа"));
    }

    // Two decimals in m³/h and on the clipboard; a refused task shows its message instead.
    void kvTasks_data() { tableRows(kKvTasks); }
    void kvTasks()
    {
        ORX_ROW(kKvTasks);
        orxtest::MessageCapture capture;
        orxtest::Hosted<Kv> host;
        enter(host.form, stWater, row.kind, row.pressureUnit, row.typed);
        QCOMPARE(shown(host.form), QStringLiteral("*Результаты|*") + QString::fromUtf8(row.shown));
        QCOMPARE(capture.count(), 0);
    }

    // Short captions on one line, long ones wrap; the input column holds still while the user types; at
    // 1366 px a long message wraps rather than run off.
    void layoutHoldsStill()
    {
        {
            orxtest::FormHost host;
            MdiChild* regulator = host.add(new RegulatorChild());
            QVERIFY(host.show());
            QCOMPARE(captionLines(regulator, RegulatorChild::fcSupplyPressure, 280), 1);
        }
        orxtest::FormHost host;
        MdiChild* form = host.add(new ValveChild());
        QVERIFY(host.show());
        QVERIFY(captionLines(form, MdiChild::fcRegulatedDrop, 215) > 1);
        const int x = separatorX(form);
        for (const QString& entry :
             QStringLiteral("102=6 103=5 1032=0.5 105=90 107=70 108=10 102=25.5").split(QLatin1Char(' '))) {
            formreader::act(form, entry);
            QVERIFY2(separatorX(form) == x, qPrintable(entry));
        }
        host.tabs.resize(1366, 700);
        QLabel* message = nullptr;
        for (QLabel* label : form->findChildren<QLabel*>())
            if (label->isVisible() && orxtest::readText(label).contains(QStringLiteral("2.5 МПа")))
                message = label;
        // A wrapped message keeps each figure with its unit.
        QVERIFY(message && message->wordWrap() && message->text().contains(QStringLiteral("2.5\u00A0МПа")));
        QTRY_VERIFY(
            !qobject_cast<QScrollArea*>(host.tabs.currentWidget())->horizontalScrollBar()->isVisible());
    }

    void backgroundIsSharedBetweenWindowsOfOneSize()
    {
        if (!BackgroundCache::hasPicture())
            QSKIP("no background picture");
        orxtest::FormHost host;
        TestForm* first = host.add(new TestForm);
        TestForm* second = host.add(new TestForm);
        QVERIFY(host.show());
        QTRY_VERIFY(!first->background().isNull());
        const qint64 shown = first->background().cacheKey();
        QCOMPARE(first->background().size(), first->size());
        host.tabs.setCurrentIndex(1);
        QTRY_VERIFY(!second->background().isNull());
        QCOMPARE(second->size(), first->size());
        QCOMPARE(second->background().cacheKey(), shown);
        // A window out of sight (the page of the other tab) lets go of its picture.
        QVERIFY(first->background().isNull());
        // Dragging the window lets go of the sizes left behind: the one shown
        // and the one it came from stay.
        for (int w = 800; w <= 1500; w += 100) {
            host.tabs.resize(w, 700);
            QTRY_COMPARE(second->background().size(), second->size());
        }
        QCOMPARE(BackgroundCache::count(), 2);
    }

    // A dense screen shows the same part of the picture as a plain one, only finer: halved, the picture of a
    // window at twice the pixels is the plain one within a few levels (drawn at half the size, it is not).
    void denseBackgroundIsThePlainOneFiner()
    {
        if (!BackgroundCache::hasPicture())
            QSKIP("no background picture");
        const QSize window(480, 300);
        const QImage plain =
            BackgroundCache::pixmap(window, 1).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage dense = BackgroundCache::pixmap(window, 2)
                                 .toImage()
                                 .scaled(window, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(dense.size(), plain.size());
        qint64 apart = 0;
        for (int y = 0; y < window.height(); ++y)
            for (int x = 0; x < window.width(); ++x)
                apart += qAbs(qGray(plain.pixel(x, y)) - qGray(dense.pixel(x, y)));
        const double mean = double(apart) / (window.width() * window.height());
        QVERIFY2(mean < 1.0, qPrintable(QString::number(mean)));
    }

    // Every document window and the controls in it share one palette whose
    // window colour is a picture: the style draws the frames as over the
    // picture, and what it keeps of its drawings by palette serves every window.
    void windowsShareOnePalette()
    {
        orxtest::FormHost host;
        TestForm* first = host.add(new TestForm);
        TestForm* second = host.add(new TestForm);
        QVERIFY(host.show());
        auto* control = first->ctrl<QDoubleSpinBox>(DocKey(MdiChild::fcP1));
        QVERIFY(control);
        QCOMPARE(second->palette().cacheKey(), first->palette().cacheKey());
        QCOMPARE(control->palette().cacheKey(), first->palette().cacheKey());
        const QBrush window = first->palette().brush(QPalette::Window);
        QCOMPARE(window.style(), BackgroundCache::hasPicture() ? Qt::TexturePattern : Qt::SolidPattern);
    }

    // Around its controls the window shows its picture pixel for pixel, from
    // its top-left corner, whether it is painted whole or a part at a time
    // (what the screen asks for); white where there is no picture.
    void windowShowsItsPicture_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::newRow("painted whole") << QPoint(0, 0);
        QTest::newRow("a part away from the corner") << QPoint(37, 41);
    }
    void windowShowsItsPicture()
    {
        QFETCH(QPoint, from);
        orxtest::FormHost host;
        TestForm* form = host.add(new TestForm);
        QVERIFY(host.show());
        QTRY_VERIFY(!BackgroundCache::hasPicture() || !form->background().isNull());
        const QImage shown =
            form->grab(QRect(from, form->size())).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage picture = form->background().isNull()
                                   ? QImage()
                                   : form->background().toImage().convertToFormat(QImage::Format_RGB32);
        const QRegion controls = form->childrenRegion();
        int compared = 0;
        int coloured = 0;
        for (int y = from.y(); y < form->height(); y += 23) {
            for (int x = from.x(); x < form->width(); x += 29) {
                if (controls.contains(QPoint(x, y)))
                    continue;
                const QRgb expected = picture.isNull() ? qRgb(255, 255, 255) : picture.pixel(x, y);
                if (shown.pixel(x - from.x(), y - from.y()) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
                ++compared;
                coloured += expected == qRgb(255, 255, 255) ? 0 : 1;
            }
        }
        QVERIFY(compared > 100);
        // Where there is a picture some of what was compared is of it.
        QVERIFY(picture.isNull() || coloured > 0);
    }
};

ORX_GUI_TEST_MAIN(TestMdiChild)
#include "tst_mdichild.moc"
