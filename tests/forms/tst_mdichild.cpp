// The document window framework, driven through a small form built on it and
// held as the main window holds every form: a scroll area in a tab.

#include "engine/inputparams.h"
#include "formhost.h"
#include "framework/backgroundcache.h"
#include "framework/mdichild.h"
#include "framework/radioarea.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

using namespace common;

namespace {

// A valve-task form: the shared valve rows plus a check box, recalculating as
// the real forms do and counting its recalculations.
class TestForm : public MdiChild
{
    Q_OBJECT
public:
    explicit TestForm(const Doc* data = nullptr, DeviceType device = dtLMK2)
        : MdiChild(data, docValve), m_device(device)
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
        connectControls(false);
        updateFlowUnits();
        updateConcentrationRow();
        updateTemperatureRows();
        ValveInputParams task = input();
        updateHeatLoadRows(task);
        limitTemperature(task);
        connectControls(true);
        clearResults();
        QGridLayout* grid = createResultsGrid();
        addResultValueRow(grid, 0, QStringLiteral("Расчётный Kv"), QStringLiteral("м³/ч"), 7.126, 2);
        grid->addWidget(createCopyButton(QStringLiteral("Копировать значение")), nextRow(grid), 0);
        if (rejectedMode())
            addResultsHeader(grid, QStringLiteral("Отбракованные варианты"), true);
        if (dimensions)
            addDimensionsArea(grid);
        finishResultsGrid(grid);
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

    QLabel* hint(int i) const { return i == 1 ? m_temperatureLimits1 : m_temperatureLimits2; }
    QList<QWidget*> resultWidgets() const { return m_resultWidgets; }
    QLabel* resultLabel(const QString& text) const
    {
        for (QWidget* w : m_resultWidgets)
            if (auto* label = qobject_cast<QLabel*>(w); label && label->text() == text)
                return label;
        return nullptr;
    }
    template <class T>
    T* resultWidget() const
    {
        for (QWidget* w : m_resultWidgets)
            if (auto* found = qobject_cast<T*>(w))
                return found;
        return nullptr;
    }

    using MdiChild::clearResults;
    using MdiChild::limitTemperature;
    using MdiChild::loadFromControls;
    using MdiChild::putControl;

    int recalcCount = 0;
    bool phaseLimits = true;
    bool dimensions = false;

private:
    DeviceType m_device;
};

// The main window's way of holding a form.
using Host = orxtest::FormHost;

QStringList conditions(const orxtest::MessageCapture& capture)
{
    QStringList result;
    for (const QString& text : capture.assertions())
        result << text.section(QStringLiteral("\r\n"), -1);
    return result;
}

void select(QComboBox* combo, int value)
{
    combo->setCurrentIndex(combo->findData(value));
}

QStringList texts(QComboBox* combo)
{
    QStringList result;
    for (int i = 0; i < combo->count(); ++i)
        result << combo->itemText(i);
    return result;
}

QStringList list(const QString& items)
{
    return items.split(QLatin1Char('|'));
}

// Answers a message box by the text of one of its buttons, after arming what comes next.
orxtest::ModalAnswerer::Action clickButton(const QString& text, std::function<void()> before)
{
    return [text, before](QWidget* modal) {
        before();
        for (QAbstractButton* b : qobject_cast<QMessageBox*>(modal)->buttons())
            if (b->text() == text)
                b->click();
    };
}

// Types a file name into the file dialog and accepts it.
orxtest::ModalAnswerer::Action chooseFile(const QString& fileName)
{
    return [fileName](QWidget* modal) {
        modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(fileName);
        static_cast<QDialog*>(modal)->accept();
    };
}

double rounded(double v)
{
    return std::round(v * 100) / 100;
}

} // namespace

class TestMdiChild : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт")); }

    void rowsAndRegistry()
    {
        orxtest::MessageCapture capture;
        TestForm form;
        QCOMPARE(MdiChild::fileFilter(), QStringLiteral("Оримакс-расчёт (*.orx)"));
        // A caption with a symbol shows it in italics and wraps; others get a colon.
        QCOMPARE(form.label(102)->text(), QStringLiteral("Перед клапаном <i>P1:</i>"));
        QCOMPARE(form.label(1031)->text(), QStringLiteral("Перепад на клапане <i>ΔP:</i>"));
        QCOMPARE(form.label(141)->text(), QStringLiteral("Концентрация раствора:"));
        QVERIFY(form.label(102)->wordWrap());
        QCOMPARE(form.label(121)->text(), QStringLiteral("Рабочая среда:"));
        QVERIFY(!form.label(121)->wordWrap());
        QCOMPARE(form.label(1011), nullptr);
        QCOMPARE(form.subLabel(105)->text(), QStringLiteral("°C"));
        // Small values step by 0.1; the concentration is whole, at most 60 %.
        for (qint16 code : {102, 103, 106, 108, 141}) {
            auto* spin = form.ctrl<QDoubleSpinBox>(code);
            QCOMPARE(spin->singleStep(), code == 108 || code == 141 ? 1.0 : 0.1);
            QCOMPARE(spin->decimals(), code == 141 ? 0 : 2);
            QCOMPARE(spin->maximum(), code == 141 ? 60.0 : 1e8);
        }
        QVERIFY(!form.control(1031)->isEnabled());
        QCOMPARE(form.ctrl<QSmartTextEdit>(122)->maximumHeight(), 55);
        QCOMPARE(form.intValue(1011), int(pkExcess));
        QCOMPARE(form.intValue(104), 1);
        QCOMPARE(capture.count(), 0);

        // A key registered twice is reported; the later control wins.
        auto* other = new QDoubleSpinBox(&form);
        form.putControl(102, other);
        QCOMPARE(form.control(102), other);
        // A control missing, or of another kind, is told and answered with null.
        QCOMPARE(form.ctrl<QDoubleSpinBox>(415), nullptr);
        QCOMPARE(form.ctrl<QDoubleSpinBox>(121), nullptr);
        QCOMPARE(form.algorithm(), nullptr);
        QCOMPARE(conditions(capture),
                 QStringList({QStringLiteral("!m_controls.contains(key)"), QStringLiteral("0")}));
        QCOMPARE(capture.messages().at(1).text,
                 QStringLiteral("Не найден элемент типа QDoubleSpinBox для значения = 415"));
        QCOMPARE(capture.messages().at(2).text,
                 QStringLiteral("Не найден элемент типа QDoubleSpinBox для значения = 121"));
    }

    void standardComboContents_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("items");
        QTest::newRow("media") << int(dtLMK2) << 121
                               << QStringLiteral(
                                      "вода|пропиленгликоля раствор|этиленгликоля раствор|насыщенный "
                                      "пар|перегретый пар|воздух|азот");
        QTest::newRow("pressure units, no Pa")
            << int(dtLMK2) << 101 << QStringLiteral("бар|атм|МПа|кПа|м вод. ст.");
        QTest::newRow("flow units of a liquid")
            << int(dtLMK2) << 1081 << QStringLiteral("м³/ч|т/ч|кг/ч|кг/с|л/ч|л/мин.|л/с");
        QTest::newRow("heat units") << int(dtLMK2) << 1061 << QStringLiteral("ГКал/ч|МВт/ч|ГДж/ч");
        QTest::newRow("places") << int(dtLMK2) << 131
                                << QStringLiteral("подающий трубопровод|обратный трубопровод");
        QTest::newRow("systems of a valve")
            << int(dtLMK2) << 120 << QStringLiteral("отопление|ГВС|вентиляция|технологический процесс");
        QTest::newRow("systems of a regulator")
            << int(dtLMRD) << 120
            << QStringLiteral(
                   "отопление|отопление + ГВС|отопление + ГВС + вентиляция|отопление + вентиляция|ГВС|"
                   "ГВС + вентиляция|вентиляция|технологический процесс");
    }

    void standardComboContents()
    {
        QFETCH(int, device);
        QFETCH(int, code);
        QFETCH(QString, items);
        TestForm form(nullptr, DeviceType(device));
        QComboBox* combo = form.ctrl<QComboBox>(qint16(code));
        QCOMPARE(texts(combo), list(items));
        QCOMPARE(form.intComboValue(qint16(code), -1), combo->itemData(0).toInt());
    }

    void flowUnitsFollowTheMedium_data()
    {
        QTest::addColumn<QList<int>>("media");
        QTest::addColumn<QString>("units");
        QTest::addColumn<int>("current");
        const QString liquid = QStringLiteral("м³/ч|т/ч|кг/ч|кг/с|л/ч|л/мин.|л/с");
        QTest::newRow("water: seven units") << QList<int>{stWater} << liquid << int(wfM3h);
        QTest::newRow("air: normal m³ and masses")
            << QList<int>{stAir} << QStringLiteral("нм³/ч|т/ч|кг/ч") << int(wfM3h);
        // The chosen m³/h is gone for steam: no unit is chosen.
        QTest::newRow("saturated steam: masses only")
            << QList<int>{stSaturatedSteam} << QStringLiteral("т/ч|кг/ч") << -1;
        QTest::newRow("nitrogen after steam: m³/h back on top")
            << QList<int>{stSuperheatedSteam, stNitrogen} << QStringLiteral("нм³/ч|т/ч|кг/ч") << -1;
        QTest::newRow("glycol after air: every unit again")
            << QList<int>{stAir, stEthyleneGlycol} << liquid << int(wfM3h);
    }

    void flowUnitsFollowTheMedium()
    {
        QFETCH(QList<int>, media);
        QFETCH(QString, units);
        QFETCH(int, current);
        Host host;
        TestForm* form = host.add(new TestForm);
        QVERIFY(host.show());
        for (int medium : media)
            select(form->ctrl<QComboBox>(121), medium);
        QCOMPARE(texts(form->ctrl<QComboBox>(1081)), list(units));
        QCOMPARE(form->intComboValue(1081, -1), current);
    }

    void limitTemperature_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("medium");
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("p1");
        QTest::addColumn<double>("p2");
        QTest::addColumn<bool>("phaseLimits");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");

        const SubstanceProperties water(stWater, 0);
        const double Tb2 = water.saturationTemperature(201325);
        const double Ts6 = water.saturationTemperature(601325);
        const QString boiling =
            QStringLiteral("<i>При <b>абсолютном</b> давлении после %1 %2 бар температура "
                           "кипения рабочей среды %3 °C</i>");
        const QString tooHigh = QStringLiteral("Слишком высокое давление рабочей среды");
        QTest::newRow("water: boiling point bound and hint")
            << int(dtLMK2) << int(stWater) << int(pkExcess) << 2.0 << 1.0 << true
            << boiling.arg(QStringLiteral("клапана"), QStringLiteral("2.01"), QString::number(Tb2, 'f', 1))
            << 0.0 << Tb2;
        QTest::newRow("water: a regulator's words")
            << int(dtLMRD) << int(stWater) << int(pkExcess) << 2.0 << 1.0 << true
            << boiling.arg(QStringLiteral("регулятора"), QStringLiteral("2.01"), QString::number(Tb2, 'f', 1))
            << 0.0 << Tb2;
        QTest::newRow("water: boiling above the limit keeps the limit and the hint")
            << int(dtLMK2) << int(stWater) << int(pkExcess) << 8.0 << 5.0 << true
            << boiling.arg(QStringLiteral("клапана"), QStringLiteral("6.01"), QString::number(Ts6, 'f', 1))
            << 0.0 << 150.0;
        QTest::newRow("water: too high before the valve keeps the boiling bound")
            << int(dtLMK2) << int(stWater) << int(pkExcess) << 26.0 << 1.0 << true << tooHigh << 0.0 << Tb2;
        QTest::newRow("water: too high after the valve") << int(dtLMK2) << int(stWater) << int(pkExcess)
                                                         << 30.0 << 26.0 << true << tooHigh << 0.0 << 150.0;
        QTest::newRow("water: no boiling below the triple point")
            << int(dtLMK2) << int(stWater) << int(pkAbsolute) << 2.0 << 0.001 << true
            << QStringLiteral("Слишком низкое давление рабочей среды") << 0.0 << 0.0;
        QTest::newRow("water without phase limits, no device")
            << int(dtEmpty) << int(stWater) << int(pkExcess) << 2.0 << 1.0 << false << QString() << 0.0
            << 150.0;
        QTest::newRow("saturated steam: locked to condensation, no hint")
            << int(dtLMKP) << int(stSaturatedSteam) << int(pkExcess) << 5.0 << 3.0 << true << QString() << Ts6
            << Ts6;
        QTest::newRow("superheated steam: above condensation")
            << int(dtLMKP) << int(stSuperheatedSteam) << int(pkExcess) << 5.0 << 3.0 << true
            << QStringLiteral("<i>При <b>абсолютном</b> давлении после клапана 4.01 бар температура "
                              "парообразования %1 °C</i>")
                   .arg(QString::number(Ts6, 'f', 1))
            << Ts6 + 0.1 << 220.0;
        QTest::newRow("steam: condensation above the limit")
            << int(dtLMKP) << int(stSuperheatedSteam) << int(pkExcess) << 25.0 << 3.0 << true
            << tooHigh + QStringLiteral(", температура парообразования превышает 220.0 °C") << 220.0 << 220.0;
        QTest::newRow("air") << int(dtLMKP) << int(stAir) << int(pkExcess) << 5.0 << 3.0 << true << QString()
                             << 0.0 << 220.0;
    }

    void limitTemperature()
    {
        QFETCH(int, device);
        QFETCH(int, medium);
        QFETCH(int, kind);
        QFETCH(double, p1);
        QFETCH(double, p2);
        QFETCH(bool, phaseLimits);
        QFETCH(QString, hint);
        QFETCH(double, lower);
        QFETCH(double, upper);

        orxtest::MessageCapture capture;
        Host host;
        TestForm* form = host.add(new TestForm(nullptr, DeviceType(device)));
        form->phaseLimits = phaseLimits;
        QVERIFY(host.show());
        select(form->ctrl<QComboBox>(121), medium);
        form->ctrl<RadioArea>(1011)->setCheckedId(kind);
        form->ctrl<QDoubleSpinBox>(102)->setValue(p1);
        form->ctrl<QDoubleSpinBox>(103)->setValue(p2);
        form->limitTemperature(form->input());

        QCOMPARE(form->hint(1)->text(), hint);
        QCOMPARE(form->hint(1)->isVisible(), !hint.isEmpty());
        for (qint16 code : {105, 107}) {
            QCOMPARE(form->ctrl<QDoubleSpinBox>(code)->minimum(), rounded(lower));
            QCOMPARE(form->ctrl<QDoubleSpinBox>(code)->maximum(), rounded(upper));
        }
        // The device's own limit, for forms that name a device.
        QCOMPARE(form->hint(2)->isVisible(), device != dtEmpty);
        if (device != dtEmpty)
            QCOMPARE(form->hint(2)->text(),
                     QStringLiteral("<i>Для %1 максимально допустимая температура %2 °С</i>")
                         .arg(deviceTypeName(DeviceType(device)),
                              device == dtLMKP ? QStringLiteral("220.0") : QStringLiteral("150.0")));
        QCOMPARE(capture.count(), 0);
    }

    void heatLoadWritesTheFlowWithoutModification_data()
    {
        QTest::addColumn<double>("supply");
        QTest::addColumn<double>("ret");
        QTest::newRow("90/70") << 90.0 << 70.0;
        QTest::newRow("equal temperatures give no flow") << 80.0 << 80.0;
    }

    void heatLoadWritesTheFlowWithoutModification()
    {
        QFETCH(double, supply);
        QFETCH(double, ret);
        // A saved task in heat-load mode: opening it derives the flow on first
        // show, and that is no modification.
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("нагрузка.orx"));
        {
            TestForm source;
            source.ctrl<RadioArea>(104)->setCheckedId(2);
            select(source.ctrl<QComboBox>(1081), wfTh);
            const QList<QPair<qint16, double>> values{{102, 6},   {103, 5}, {105, supply},
                                                      {107, ret}, {106, 1}, {108, 3}};
            for (const auto& v : values)
                source.ctrl<QDoubleSpinBox>(v.first)->setValue(v.second);
            QVERIFY(source.saveToFile(fileName));
        }
        Doc doc;
        QVERIFY(Doc::loadFromFile(fileName, doc));
        Host host;
        TestForm* form = host.add(new TestForm(&doc));
        QVERIFY(host.show());

        const ValveInputParams task = form->input();
        const double G =
            UnitConversions::calcQbyHeat(1, hmGcalH, wfTh, supply, ret, SubstanceProperties(stWater, 0),
                                         (task.PbeforeAbsInPa() + task.PafterAbsInPa()) / 2);
        QVERIFY(supply == ret ? G == 0 : G > 40);
        auto* flow = form->ctrl<QDoubleSpinBox>(108);
        QCOMPARE(flow->value(), rounded(G));
        QVERIFY(!flow->isEnabled());
        QVERIFY(form->control(106)->isVisible() && form->control(1061)->isVisible());
        QVERIFY(!form->isModified());
        QCOMPARE(form->recalcCount, 1);

        // A new heat load rewrites the flow within one recalculation.
        form->ctrl<QDoubleSpinBox>(106)->setValue(2);
        QCOMPARE(form->recalcCount, 2);
        QVERIFY(form->isModified());

        // Back to a flow given directly: the heat rows go, the flow is editable.
        form->ctrl<RadioArea>(104)->setCheckedId(1);
        QVERIFY(flow->isEnabled());
        QVERIFY(!form->control(106)->isVisible() && !form->control(1061)->isVisible());
    }

    void openingAppliesValuesWithoutModification()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("Проект.orx"));
        {
            TestForm source;
            source.ctrl<QSmartTextEdit>(122)->setPlainText(QStringLiteral("Котельная №2"));
            select(source.ctrl<QComboBox>(120), lpProcess);
            select(source.ctrl<QComboBox>(121), stEthyleneGlycol);
            source.ctrl<QDoubleSpinBox>(141)->setValue(40);
            source.ctrl<RadioArea>(1011)->setCheckedId(pkAbsolute);
            select(source.ctrl<QComboBox>(101), pmKPa);
            source.ctrl<QDoubleSpinBox>(102)->setValue(600.5);
            source.ctrl<QCheckBox>(406)->setChecked(true);
            // A combo without a current item is stored as a null value.
            source.ctrl<QComboBox>(131)->setCurrentIndex(-1);
            QVERIFY(source.saveToFile(fileName));
        }

        Doc doc;
        QVERIFY(Doc::loadFromFile(fileName, doc));
        QVERIFY(doc.value(131).isNull());
        Host host;
        TestForm* form = host.add(new TestForm(&doc));
        QCOMPARE(form->ctrl<QSmartTextEdit>(122)->toPlainText(), QStringLiteral("Котельная №2"));
        QCOMPARE(form->intComboValue(120, 0), int(lpProcess));
        QCOMPARE(form->intComboValue(121, 0), int(stEthyleneGlycol));
        QCOMPARE(form->doubleValue(141), 40.0);
        QCOMPARE(form->intValue(1011), int(pkAbsolute));
        QCOMPARE(form->intComboValue(101, 0), int(pmKPa));
        QCOMPARE(form->doubleValue(102), 600.5);
        QCOMPARE(form->intValue(406), 1);
        QCOMPARE(form->intComboValue(131, -7), -7);
        // Applying the values ran no recalculation; the first show runs one.
        QCOMPARE(form->recalcCount, 0);
        QVERIFY(host.show());
        host.tabs.hide();
        host.tabs.show();
        QCOMPARE(form->recalcCount, 1);
        QVERIFY(!form->isModified());
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Проект"));

        // Saving what was opened writes the same fields again.
        Doc again;
        form->loadFromControls(again);
        QCOMPARE(again.keys(), doc.keys());
        for (const DocKey& key : doc.keys())
            QCOMPARE(again.value(key), doc.value(key));
    }

    void titleAndSaving()
    {
        QTemporaryDir dir;
        orxtest::MessageCapture capture;
        Host host;
        TestForm* form = host.add(new TestForm);
        QVERIFY(host.show());
        const QString name = form->doc().name();
        QVERIFY(name.startsWith(QStringLiteral("Клапан ")));
        QCOMPARE(host.tabs.tabText(0), name);
        auto* flow = form->ctrl<QDoubleSpinBox>(108);
        flow->selectAll();
        QTest::keyClicks(flow, QStringLiteral("12"));
        QCOMPARE(host.tabs.tabText(0), name + QStringLiteral(" *"));

        // A failed save keeps the window modified, with its name.
        QVERIFY(!form->saveToFile(dir.filePath(QStringLiteral("нет такой папки/Проект.orx"))));
        QVERIFY(capture.contains(QStringLiteral("Не удалось открыть файл")));
        QVERIFY(form->isModified() && !form->doc().hasFileName());
        QCOMPARE(host.tabs.tabText(0), name + QStringLiteral(" *"));

        // Save as: a name typed without the extension gets it; the folder is remembered.
        orxtest::ModalAnswerer answer(chooseFile(dir.filePath(QStringLiteral("Проект"))));
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
        Doc saved;
        QVERIFY(Doc::loadFromFile(good, saved));
        QCOMPARE(saved.value(108).toDouble(), 13.0);
        flow->setValue(99);
        QVERIFY(!form->saveToFile(dir.path()));
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
        Host host;
        QPointer<TestForm> form = host.add(new TestForm);
        QVERIFY(host.show());
        if (modified)
            form->ctrl<QDoubleSpinBox>(108)->setValue(12);
        const QString name = form->doc().name();

        // "Да" on a document never saved asks for a file first.
        std::unique_ptr<orxtest::ModalAnswerer> saveDialog;
        orxtest::ModalAnswerer question(
            clickButton(answer,
                        [&] {
                            saveDialog.reset(new orxtest::ModalAnswerer(
                                fileChosen ? chooseFile(fileName) : orxtest::ModalAnswerer::reject(), 2000));
                        }),
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

    void rejectedModeShortcutActsOnTheCurrentTab()
    {
        Host host;
        TestForm* first = host.add(new TestForm);
        TestForm* second = host.add(new TestForm);
        QVERIFY(host.show());
        host.tabs.setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(second));
        const int recalcs = second->recalcCount;
        for (int press = 1; press <= 2; ++press) {
            QTest::keyClick(second, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
            QCOMPARE(second->rejectedMode(), press == 1);
            QCOMPARE(second->resultLabel(QStringLiteral("Отбракованные варианты")) != nullptr, press == 1);
            QCOMPARE(second->recalcCount, recalcs + press);
            QVERIFY(!first->rejectedMode());
            QVERIFY(!second->isModified());
        }
    }

    void resultsAreRebuiltFromScratch()
    {
        Host host;
        TestForm* form = host.add(new TestForm);
        QVERIFY(host.show());
        QList<QPointer<QWidget>> old;
        for (QWidget* w : form->resultWidgets())
            old << w;
        form->ctrl<QDoubleSpinBox>(108)->setValue(1);
        for (const QPointer<QWidget>& w : old)
            QVERIFY(!w);
        QCOMPARE(form->resultWidgets().size(), old.size());
        // The new results are on screen at once.
        for (QWidget* w : form->resultWidgets())
            QVERIFY(w->isVisible());

        QVERIFY(form->resultLabel(QStringLiteral("Расчётный Kv:"))->font().bold());
        auto* value = form->resultWidget<QLineEdit>();
        QCOMPARE(value->text(), QStringLiteral("7.13"));
        QVERIFY(value->isReadOnly());
        QVERIFY(form->resultLabel(QStringLiteral("м³/ч")));
        auto* copy = form->resultWidget<QPushButton>();
        QVERIFY(copy->isFlat() && copy->text().isEmpty());
        QCOMPARE(copy->iconSize(), QSize(64, 64));
        QCOMPARE(copy->toolTip(), QStringLiteral("Копировать значение"));
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(copy, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ЛМК-2 DN 50"));

        form->clearResults();
        QVERIFY(form->resultWidgets().isEmpty());
    }

    void dimensionsArea_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<QString>("header");
        QTest::addColumn<bool>("table");
        QTest::newRow("valve") << int(dtLMK3) << QStringLiteral("Габаритные размеры клапанов с ЭИМ") << true;
        QTest::newRow("regulator") << int(dtLMRD) << QStringLiteral("Габаритные размеры регуляторов") << true;
        // ЛМР-1-01 has no drawing and no table: the header alone, and no report.
        QTest::newRow("bypass regulator")
            << int(dtLMR101) << QStringLiteral("Габаритные размеры регуляторов") << false;
    }

    void dimensionsArea()
    {
        QFETCH(int, device);
        QFETCH(QString, header);
        QFETCH(bool, table);
        orxtest::MessageCapture capture;
        Host host;
        TestForm* form = host.add(new TestForm(nullptr, DeviceType(device)));
        form->dimensions = true;
        QVERIFY(host.show());
        QVERIFY(form->resultLabel(header));
        QCOMPARE(form->resultWidget<SmartLabel>() != nullptr, table);
        if (table)
            QVERIFY(form->resultWidget<SmartLabel>()->text().contains(
                QStringLiteral("Номинальный диаметр DN, мм")));
        QCOMPARE(capture.count(), 0);
    }

    void titleOutsideTabsIsReported()
    {
        orxtest::MessageCapture capture;
        QScrollArea area;
        auto* form = new TestForm;
        area.setWidget(form);
        form->onModified();
        QStringList reported;
        for (const auto& m : capture.messages())
            reported << m.text;
        QCOMPARE(reported, list(QStringLiteral("TestForm|QWidget|QScrollArea|nullptr|nullptr")));
    }

    void backgroundIsTheTopLeftOfTheScaledPicture_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<int>("format");
        QTest::newRow("full HD") << QSize(1920, 1200) << QSize(1920, 1017) << int(QImage::Format_RGB32);
        QTest::newRow("odd sizes") << QSize(37, 91) << QSize(301, 777)
                                   << int(QImage::Format_ARGB32_Premultiplied);
        QTest::newRow("tall window") << QSize(640, 480) << QSize(200, 1400) << int(QImage::Format_RGB32);
        QTest::newRow("one pixel") << QSize(50, 20) << QSize(1, 1)
                                   << int(QImage::Format_ARGB32_Premultiplied);
    }

    void backgroundIsTheTopLeftOfTheScaledPicture()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, window);
        QFETCH(int, format);
        QImage image(picture, QImage::Format(format));
        QRandomGenerator random(42);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, random.generate() | 0xff000000u);
        // What the window shows with the whole picture scaled to 2.5 times its size.
        const QImage expected = QPixmap::fromImage(image)
                                    .scaled(window.width() * 4800 / 1920, window.height() * 3000 / 1200,
                                            Qt::KeepAspectRatioByExpanding)
                                    .toImage()
                                    .copy(QRect(QPoint(0, 0), window));
        const QImage part = BackgroundCache::visiblePart(QPixmap::fromImage(image).toImage(), window);
        QCOMPARE(part.convertToFormat(expected.format()), expected);
    }

    void backgroundIsSharedBetweenWindowsOfOneSize()
    {
        BackgroundCache::clear();
        Host host;
        TestForm* first = host.add(new TestForm);
        TestForm* second = host.add(new TestForm);
        QVERIFY(host.show());
        // Each page takes the tab's size when it is shown.
        host.tabs.setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(second));
        QTest::qWait(20);
        host.tabs.setCurrentIndex(0);
        QTRY_COMPARE(first->size(), second->size());
        const QBrush brush = first->palette().brush(QPalette::Window);
        if (QPixmap(BackgroundCache::pictureName()).isNull()) {
            // Without the picture the windows stay white.
            QCOMPARE(brush.color(), QColor(Qt::white));
            return;
        }
        QCOMPARE(brush.texture().size(), first->size());
        QCOMPARE(second->palette().brush(QPalette::Window).texture().cacheKey(), brush.texture().cacheKey());
        QCOMPARE(BackgroundCache::count(), 1);
        QCOMPARE(BackgroundCache::bytes(), qint64(first->width()) * first->height() * 4);

        // Sizes left behind while the window is dragged are let go: what stays
        // is the size on screen and the one the hidden tab was last shown at.
        for (int w = 800; w < 1600; w += 100) {
            host.tabs.resize(w, 700);
            QCoreApplication::processEvents();
        }
        QCOMPARE(BackgroundCache::count(), 2);
    }
};

ORX_GUI_TEST_MAIN(TestMdiChild)
#include "tst_mdichild.moc"
