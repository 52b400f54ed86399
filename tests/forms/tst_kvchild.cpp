// The Kv calculation form driven as a user drives it: values typed, units and
// media chosen, the result or the calculation's own message read from the
// results, the value copied, the document saved and opened again.

#include "engine/substanceproperties.h"
#include "formhost.h"
#include "forms/kvchild.h"
#include "framework/radioarea.h"
#include "guitestsupport.h"

#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cmath>

using namespace common;

namespace {

// A task as the user types it; pressures in bar gauge unless told otherwise.
struct Task
{
    int medium = stWater;
    QString p1, p2, temperature;
    int flowUnit = wfM3h;
    QString flow;
    double concentration = 0;
    int kind = pkExcess;
    int pressureUnit = pmBar;
};

Task task(int medium, const char* p1, const char* p2, const char* temperature, int flowUnit, const char* flow,
          double concentration = 0)
{
    return {medium,
            QString::fromLatin1(p1),
            QString::fromLatin1(p2),
            QString::fromLatin1(temperature),
            flowUnit,
            QString::fromLatin1(flow),
            concentration};
}

} // namespace

Q_DECLARE_METATYPE(Task)

namespace {

// The main window's way of holding a form, with a new or opened document.
struct Host : orxtest::FormHost
{
    KvChild* form = nullptr;

    explicit Host(const Doc* doc = nullptr) : form(add(new KvChild(doc))) { QVERIFY(show()); }
};

void typeInto(QDoubleSpinBox* spin, const QString& text)
{
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, text);
}

void select(QComboBox* combo, int value)
{
    combo->setCurrentIndex(combo->findData(value));
}

void enter(KvChild* form, const Task& task)
{
    select(form->ctrl<QComboBox>(121), task.medium);
    if (task.concentration > 0)
        form->ctrl<QDoubleSpinBox>(141)->setValue(task.concentration);
    form->ctrl<RadioArea>(1011)->setCheckedId(task.kind);
    select(form->ctrl<QComboBox>(101), task.pressureUnit);
    typeInto(form->ctrl<QDoubleSpinBox>(102), task.p1);
    typeInto(form->ctrl<QDoubleSpinBox>(103), task.p2);
    typeInto(form->ctrl<QDoubleSpinBox>(105), task.temperature);
    select(form->ctrl<QComboBox>(1081), task.flowUnit);
    typeInto(form->ctrl<QDoubleSpinBox>(108), task.flow);
}

// What the results show: the value cell, the red message, the copy button.
struct Results
{
    QString value;
    QLabel* message = nullptr;
    QPushButton* copy = nullptr;
};

Results results(KvChild* form)
{
    Results r;
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->isVisible() && label->palette().color(QPalette::WindowText) == QColor(Qt::red))
            r.message = label;
    for (QLineEdit* edit : form->findChildren<QLineEdit*>())
        if (edit->isReadOnly() && edit->isVisible() && !qobject_cast<QAbstractSpinBox*>(edit->parentWidget()))
            r.value = edit->text();
    for (QPushButton* button : form->findChildren<QPushButton*>())
        if (button->isVisible() && button->toolTip() == QStringLiteral("Копировать значение"))
            r.copy = button;
    return r;
}

QLabel* labelContaining(KvChild* form, const QString& text)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->text().contains(text))
            return label;
    return nullptr;
}

} // namespace

class TestKvChild : public QObject
{
    Q_OBJECT

private slots:
    // Before any other document of this run: the first default name.
    void tabNameAndRows()
    {
        orxtest::MessageCapture capture;
        Host host;
        KvChild* form = host.form;
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Расчёт Kv 1"));
        QCOMPARE(KvChild().doc().name(), QStringLiteral("Расчёт Kv 2"));
        QCOMPARE(int(form->docType()), 500);
        QCOMPARE(int(form->deviceType()), 0);

        for (qint16 code : {122, 120, 32767, 131, 107, 1032, 104, 106, 1061, 141}) {
            QVERIFY2(!form->control(code)->isVisible(), qPrintable(QString::number(code)));
            QVERIFY(!form->label(code) || !form->label(code)->isVisible());
        }
        for (qint16 code : {121, 1011, 102, 101, 103, 1031, 105, 108, 1081})
            QVERIFY2(form->control(code)->isVisible(), qPrintable(QString::number(code)));
        QCOMPARE(form->label(105)->text(), QStringLiteral("Температура рабочей среды в клапане <i>T:</i>"));
        QCOMPARE(form->label(1031)->text(), QStringLiteral("Перепад на клапане <i>ΔP:</i>"));
        QVERIFY(!form->control(1031)->isEnabled());
        // The solution strength is asked for the glycols only.
        select(form->ctrl<QComboBox>(121), stEthyleneGlycol);
        QVERIFY(form->control(141)->isVisible() && form->label(141)->isVisible());
        select(form->ctrl<QComboBox>(121), stAir);
        QVERIFY(!form->control(141)->isVisible());
        // The Kv form names no device: no device temperature limit is shown.
        QVERIFY(!labelContaining(form, QStringLiteral("максимально допустимая")));
        QCOMPARE(capture.count(), 0);
    }

    void pressureDropAndUnitSubLabels()
    {
        Host host;
        KvChild* form = host.form;
        typeInto(form->ctrl<QDoubleSpinBox>(102), QStringLiteral("10"));
        typeInto(form->ctrl<QDoubleSpinBox>(103), QStringLiteral("6"));
        QCOMPARE(form->ctrl<QDoubleSpinBox>(1031)->text(), QStringLiteral("4.00"));
        for (int unit : {pmBar, pmMPa, pmMWater}) {
            select(form->ctrl<QComboBox>(101), unit);
            QCOMPARE(form->subLabel(103)->text(), pressureMeasureName(PressureMeasure(unit)));
            QCOMPARE(form->subLabel(1031)->text(), pressureMeasureName(PressureMeasure(unit)));
        }
        QCOMPARE(host.tabs.tabText(0), form->doc().name() + QStringLiteral(" *"));
    }

    void knownTasks_data()
    {
        QTest::addColumn<Task>("task");
        QTest::addColumn<QString>("kv");
        QTest::addColumn<double>("exact");
        // Water at 20 °C, 10 m³/h, 1 bar across: 10·10·√998.2/√100000.
        const double water = 100 * std::sqrt(998.2) / std::sqrt(100000.0);
        QTest::newRow("water 10 m3/h across 1 bar")
            << task(stWater, "2", "1", "20", wfM3h, "10") << QStringLiteral("9.99") << water;
        Task kpa = task(stWater, "301.325", "201.325", "20", wfM3h, "10");
        kpa.kind = pkAbsolute;
        kpa.pressureUnit = pmKPa;
        QTest::newRow("the same in kPa absolute") << kpa << QStringLiteral("9.99") << water;
        // Propylene glycol 50 %, 100 °C, 6 / 5 bar gauge: 91.8077 t/h gives
        // 92.5304; the field holds two decimals, and Kv follows the flow.
        QTest::newRow("propylene glycol 50 %") << task(stPropyleneGlycol, "6", "5", "100", wfTh, "91.81", 50)
                                               << QStringLiteral("92.53") << 92.5304 * 91.81 / 91.8077;
    }

    void knownTasks()
    {
        QFETCH(Task, task);
        QFETCH(QString, kv);
        QFETCH(double, exact);
        Host host;
        enter(host.form, task);
        const Results r = results(host.form);
        QVERIFY(!r.message);
        QCOMPARE(r.value, kv);
        QVERIFY(r.copy);
        QVERIFY(std::fabs(host.form->kvAlgorithm().kvsMath() - exact) < 2e-3);
        QVERIFY(labelContaining(host.form, QStringLiteral("м³/ч")));
    }

    void refusedTasksShowTheMessage_data()
    {
        QTest::addColumn<Task>("task");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("Недопустимые входные данные:<br>");
        const QString empty = QStringLiteral("Не заполнены входные данные");
        QTest::newRow("P2 equal to P1")
            << task(stWater, "2", "2", "20", wfM3h, "10")
            << invalid + QStringLiteral("давление перед клапаном должно превышать давление после клапана");
        QTest::newRow("above 2.5 MPa gauge")
            << task(stWater, "25.01", "1", "20", wfM3h, "10")
            << invalid +
                   QStringLiteral("слишком высокое давление перед клапаном. Избыточное давление не должно "
                                  "превышать 2.5 МПа");
        QTest::newRow("P2 empty") << task(stWater, "2", "0", "20", wfM3h, "10") << empty;
        QTest::newRow("temperature empty") << task(stWater, "2", "1", "0", wfM3h, "10") << empty;
        QTest::newRow("flow empty") << task(stWater, "2", "1", "20", wfM3h, "0") << empty;
        // Steam takes no volume unit: m³/h goes away and no unit is chosen.
        QTest::newRow("steam without a flow unit")
            << task(stSuperheatedSteam, "5", "1", "200", wfM3h, "10")
            << invalid + QStringLiteral("укажите единицы измерения расхода рабочей среды <i>G<i>");
    }

    void refusedTasksShowTheMessage()
    {
        QFETCH(Task, task);
        QFETCH(QString, message);
        orxtest::MessageCapture capture;
        Host host;
        enter(host.form, task);
        const Results r = results(host.form);
        QVERIFY(r.message);
        QCOMPARE(r.message->text(), message);
        QCOMPARE(r.message->textFormat(), Qt::RichText);
        QVERIFY(r.value.isEmpty());
        QVERIFY(!r.copy);
        QCOMPARE(capture.count(), 0);
    }

    // Whatever the fields hold, the form shows a Kv or the calculation's
    // message, and nothing internal goes wrong.
    void extremeValues()
    {
        orxtest::MessageCapture capture;
        Host host;
        for (int medium : {stWater, stPropyleneGlycol, stEthyleneGlycol, stSaturatedSteam, stSuperheatedSteam,
                           stAir, stNitrogen})
            for (const Task& t : {task(medium, "99999999.99", "0.01", "220", wfKgs, "99999999.99", 60),
                                  task(medium, "0.02", "0.01", "0.01", wfKgh, "0.01", 1),
                                  task(medium, "25", "24.99", "219.99", wfTh, "1", 30)}) {
                enter(host.form, t);
                const Results r = results(host.form);
                QVERIFY(r.message || !r.value.isEmpty());
            }
        QCOMPARE(capture.count(), 0);
    }

    void copyButtonPutsTheRoundedKv_data()
    {
        QTest::addColumn<QString>("p1");
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("copied");
        // Water at 20 °C, 1 bar gauge after the valve.
        QTest::newRow("1 bar across: Kv 7.1536 down to 7.15")
            << QStringLiteral("2") << QStringLiteral("7.16") << QStringLiteral("7.15");
        QTest::newRow("1.01 bar across: Kv 7.1280 up to 7.13")
            << QStringLiteral("2.01") << QStringLiteral("7.17") << QStringLiteral("7.13");
    }

    void copyButtonPutsTheRoundedKv()
    {
        QFETCH(QString, p1);
        QFETCH(QString, flow);
        QFETCH(QString, copied);
        Host host;
        Task water = task(stWater, "2", "1", "20", wfM3h, "1");
        water.p1 = p1;
        water.flow = flow;
        enter(host.form, water);
        QVERIFY(std::fabs(host.form->kvAlgorithm().kvsMath() - copied.toDouble()) < 0.005);
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(results(host.form).copy, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
        QCOMPARE(results(host.form).value, copied);
    }

    void saturatedSteamLocksTheTemperature()
    {
        Host host;
        enter(host.form, task(stSaturatedSteam, "5", "3", "120", wfKgh, "500"));
        const double Ts =
            std::round(SubstanceProperties(stWater, 0).saturationTemperature(601325) * 100) / 100;
        auto* temperature = host.form->ctrl<QDoubleSpinBox>(105);
        QVERIFY(!temperature->isEnabled());
        QCOMPARE(temperature->minimum(), Ts);
        QCOMPARE(temperature->maximum(), Ts);
        QCOMPARE(temperature->value(), Ts);
        // The calculation runs at the condensation temperature.
        QVERIFY(!results(host.form).value.isEmpty());
    }

    void noPhaseLimitWithoutP2()
    {
        Host host;
        KvChild* form = host.form;
        typeInto(form->ctrl<QDoubleSpinBox>(102), QStringLiteral("2"));
        typeInto(form->ctrl<QDoubleSpinBox>(103), QStringLiteral("1"));
        QVERIFY(form->usePhaseLimits());
        auto* temperature = form->ctrl<QDoubleSpinBox>(105);
        const double Tb = SubstanceProperties(stWater, 0).saturationTemperature(201325);
        QCOMPARE(temperature->maximum(), std::round(Tb * 100) / 100);
        QLabel* hint = labelContaining(form, QStringLiteral("температура кипения"));
        QVERIFY(hint && hint->isVisible());
        QCOMPARE(hint->text(),
                 QStringLiteral("<i>При <b>абсолютном</b> давлении после клапана 2.01 бар температура "
                                "кипения рабочей среды %1 °C</i>")
                     .arg(QString::number(Tb, 'f', 1)));

        typeInto(form->ctrl<QDoubleSpinBox>(103), QStringLiteral("0"));
        QVERIFY(!form->usePhaseLimits());
        QVERIFY(!hint->isVisible());
        QCOMPARE(temperature->maximum(), 220.0);
        typeInto(temperature, QStringLiteral("150"));
        QCOMPARE(temperature->value(), 150.0);
    }

    void savedAndOpenedAgain()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("Котельная.orx"));
        QString kv;
        {
            Host host;
            enter(host.form, task(stEthyleneGlycol, "6", "5", "90", wfLs, "3.5", 40));
            kv = results(host.form).value;
            QVERIFY(host.form->saveToFile(fileName));
            QCOMPARE(host.tabs.tabText(0), QStringLiteral("Котельная"));
        }
        Doc doc;
        QVERIFY(Doc::loadFromFile(fileName, doc));
        QCOMPARE(doc.docType(), 500);
        Host host(&doc);
        QVERIFY(!host.form->isModified());
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Котельная"));
        QCOMPARE(host.form->intComboValue(121, 0), int(stEthyleneGlycol));
        QCOMPARE(host.form->doubleValue(141), 40.0);
        QCOMPARE(host.form->intComboValue(1081, 0), int(wfLs));
        QCOMPARE(host.form->doubleValue(108), 3.5);
        QCOMPARE(results(host.form).value, kv);
    }
};

ORX_GUI_TEST_MAIN(TestKvChild)
#include "tst_kvchild.moc"
