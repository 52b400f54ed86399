// The Kv calculation form driven as a user drives it: values typed, units and
// media chosen, the result or the calculation's own message read from the
// results, the value copied, the document saved and opened again.

#include "engine/substanceproperties.h"
#include "formhost.h"
#include "forms/kvchild.h"
#include "framework/radioarea.h"
#include "guitestsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cmath>

using namespace common;

namespace {

// A task as the user types it; pressures in bar gauge unless told otherwise.
struct Task
{
    int medium;
    const char* p1;
    const char* p2;
    const char* temperature;
    int flowUnit;
    const char* flow;
    double concentration = 0;
    int kind = pkExcess;
    int pressureUnit = pmBar;
};

// The main window's way of holding a form, with a new or opened document.
using Host = orxtest::Hosted<KvChild>;

QDoubleSpinBox* spin(KvChild* form, qint16 code)
{
    return form->ctrl<QDoubleSpinBox>(code);
}

void enter(KvChild* form, const Task& task)
{
    orxtest::selectData(form->ctrl<QComboBox>(121), task.medium);
    if (task.concentration > 0)
        spin(form, 141)->setValue(task.concentration);
    form->ctrl<RadioArea>(1011)->setCheckedId(task.kind);
    orxtest::selectData(form->ctrl<QComboBox>(101), task.pressureUnit);
    orxtest::typeInto(spin(form, 102), QString::fromLatin1(task.p1));
    orxtest::typeInto(spin(form, 103), QString::fromLatin1(task.p2));
    orxtest::typeInto(spin(form, 105), QString::fromLatin1(task.temperature));
    orxtest::selectData(form->ctrl<QComboBox>(1081), task.flowUnit);
    orxtest::typeInto(spin(form, 108), QString::fromLatin1(task.flow));
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

Q_DECLARE_METATYPE(Task)

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
        // The solution strength is asked for the glycols only.
        orxtest::selectData(form->ctrl<QComboBox>(121), stEthyleneGlycol);
        QVERIFY(form->control(141)->isVisible() && form->label(141)->isVisible());
        orxtest::selectData(form->ctrl<QComboBox>(121), stAir);
        QVERIFY(!form->control(141)->isVisible());
        // The Kv form names no device: no device temperature limit is shown.
        QVERIFY(!labelContaining(form, QStringLiteral("максимально допустимая")));
        QCOMPARE(capture.count(), 0);
    }

    void pressureDropAndUnitSubLabels()
    {
        Host host;
        KvChild* form = host.form;
        orxtest::typeInto(spin(form, 102), QStringLiteral("10"));
        orxtest::typeInto(spin(form, 103), QStringLiteral("6"));
        QCOMPARE(spin(form, 1031)->text(), QStringLiteral("4.00"));
        orxtest::selectData(form->ctrl<QComboBox>(101), pmMPa);
        QCOMPARE(form->subLabel(1031)->text(), QStringLiteral("МПа"));
        QCOMPARE(host.tabs.tabText(0), form->doc().name() + QStringLiteral(" *"));
    }

    void knownTasksAndTheCopiedValue_data()
    {
        QTest::addColumn<Task>("task");
        QTest::addColumn<QString>("kv");
        // Water at 20 °C, 10 m³/h, 1 bar across: 10·10·√998.2/√100000 = 9.9910.
        QTest::newRow("water 10 m3/h across 1 bar")
            << Task{stWater, "2", "1", "20", wfM3h, "10"} << QStringLiteral("9.99");
        QTest::newRow("the same in kPa absolute")
            << Task{stWater, "301.325", "201.325", "20", wfM3h, "10", 0, pkAbsolute, pmKPa}
            << QStringLiteral("9.99");
        QTest::newRow("1 bar across: Kv 7.1536 down to 7.15")
            << Task{stWater, "2", "1", "20", wfM3h, "7.16"} << QStringLiteral("7.15");
        QTest::newRow("1.01 bar across: Kv 7.1280 up to 7.13")
            << Task{stWater, "2.01", "1", "20", wfM3h, "7.17"} << QStringLiteral("7.13");
    }

    void knownTasksAndTheCopiedValue()
    {
        QFETCH(Task, task);
        QFETCH(QString, kv);
        Host host;
        enter(host.form, task);
        const Results r = results(host.form);
        QVERIFY(!r.message);
        QCOMPARE(r.value, kv);
        QVERIFY(labelContaining(host.form, QStringLiteral("м³/ч")));
        QCOMPARE(orxtest::copiedText(r.copy), kv);
    }

    void refusedTasksShowTheMessage_data()
    {
        QTest::addColumn<Task>("task");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("Недопустимые входные данные:<br>");
        const QString empty = QStringLiteral("Не заполнены входные данные");
        QTest::newRow("P2 equal to P1")
            << Task{stWater, "2", "2", "20", wfM3h, "10"}
            << invalid + QStringLiteral("давление перед клапаном должно превышать давление после клапана");
        QTest::newRow("flow empty") << Task{stWater, "2", "1", "20", wfM3h, "0"} << empty;
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
        QVERIFY(r.value.isEmpty() && !r.copy);
        QCOMPARE(capture.count(), 0);
    }

    void noPhaseLimitWithoutP2()
    {
        Host host;
        KvChild* form = host.form;
        orxtest::typeInto(spin(form, 102), QStringLiteral("2"));
        orxtest::typeInto(spin(form, 103), QStringLiteral("1"));
        QVERIFY(form->usePhaseLimits());
        const double Tb = SubstanceProperties(stWater, 0).saturationTemperature(201325);
        QCOMPARE(spin(form, 105)->maximum(), std::round(Tb * 100) / 100);
        QLabel* hint = labelContaining(form, QStringLiteral("температура кипения"));
        QVERIFY(hint && hint->isVisible());

        orxtest::typeInto(spin(form, 103), QStringLiteral("0"));
        QVERIFY(!form->usePhaseLimits());
        QVERIFY(!hint->isVisible());
        QCOMPARE(spin(form, 105)->maximum(), 220.0);
        orxtest::typeInto(spin(form, 105), QStringLiteral("150"));
        QCOMPARE(spin(form, 105)->value(), 150.0);
    }

    void savedAndOpenedAgain()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("Котельная.orx"));
        QString kv;
        {
            Host host;
            enter(host.form, Task{stEthyleneGlycol, "6", "5", "90", wfLs, "3.5", 40});
            kv = results(host.form).value;
            QVERIFY(host.form->saveToFile(fileName));
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
        QVERIFY(!kv.isEmpty());
        QCOMPARE(results(host.form).value, kv);
    }
};

ORX_GUI_TEST_MAIN(TestKvChild)
#include "tst_kvchild.moc"
