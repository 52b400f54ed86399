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

using namespace common;

namespace {

// A task as the user types it; pressures in bar gauge unless told otherwise.
struct Task
{
    const char* name; // what the row catches
    int medium;
    const char* p1;
    const char* p2;
    const char* temperature;
    int flowUnit;
    const char* flow;
    int kind;
    int pressureUnit;
    const char* shown; // the value, or the red message
};

using Host = orxtest::Hosted<KvChild>;

QDoubleSpinBox* spin(KvChild* form, qint16 code)
{
    return form->ctrl<QDoubleSpinBox>(code);
}

void enter(KvChild* form, const Task& task)
{
    orxtest::selectData(form->ctrl<QComboBox>(121), task.medium);
    form->ctrl<RadioArea>(1011)->setCheckedId(task.kind);
    orxtest::selectData(form->ctrl<QComboBox>(101), task.pressureUnit);
    orxtest::typeInto(spin(form, 102), QString::fromLatin1(task.p1));
    orxtest::typeInto(spin(form, 103), QString::fromLatin1(task.p2));
    orxtest::typeInto(spin(form, 105), QString::fromLatin1(task.temperature));
    orxtest::selectData(form->ctrl<QComboBox>(1081), task.flowUnit);
    orxtest::typeInto(spin(form, 108), QString::fromLatin1(task.flow));
}

// What the results show: the value cell or the red message, and the copy button.
QString shown(KvChild* form, QPushButton** copy = nullptr)
{
    QString text;
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->isVisible() && label->palette().color(QPalette::WindowText) == QColor(Qt::red))
            text = label->text();
    for (QLineEdit* edit : form->findChildren<QLineEdit*>())
        if (edit->isReadOnly() && edit->isVisible() && !qobject_cast<QAbstractSpinBox*>(edit->parentWidget()))
            text += edit->text();
    for (QPushButton* button : form->findChildren<QPushButton*>())
        if (copy && button->isVisible() && button->toolTip() == QStringLiteral("Копировать значение"))
            *copy = button;
    return text;
}

QLabel* labelContaining(KvChild* form, const QString& text)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->text().contains(text))
            return label;
    return nullptr;
}

// Water at 20 °C, 10 m³/h, 1 bar across: 10·10·√998.2/√100000 = 9.9910.
const Task kTasks[] = {
    {"water 10 m³/h across 1 bar", stWater, "2", "1", "20", wfM3h, "10", pkExcess, pmBar, "9.99"},
    {"kPa absolute converted", stWater, "301.325", "201.325", "20", wfM3h, "10", pkAbsolute, pmKPa, "9.99"},
    {"Kv 7.1536 rounded down to 7.15", stWater, "2", "1", "20", wfM3h, "7.16", pkExcess, pmBar, "7.15"},
    {"Kv 7.1280 rounded up to 7.13", stWater, "2.01", "1", "20", wfM3h, "7.17", pkExcess, pmBar, "7.13"},
    {"P2 equal to P1 refused", stWater, "2", "2", "20", wfM3h, "10", pkExcess, pmBar,
     "Недопустимые входные данные:<br>давление перед клапаном должно превышать давление после клапана"},
    {"no flow: not filled in", stWater, "2", "1", "20", wfM3h, "0", pkExcess, pmBar,
     "Не заполнены входные данные"},
};

} // namespace

class TestKvChild : public QObject
{
    Q_OBJECT

private slots:
    // Before any other document of this run: the first default name.
    void rowsFollowTheMedium()
    {
        Host host;
        KvChild* form = host.form;
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Расчёт Kv 1"));
        QCOMPARE(int(form->docType()), 500);
        // The solution strength is asked for the glycols only.
        orxtest::selectData(form->ctrl<QComboBox>(121), stEthyleneGlycol);
        QVERIFY(form->control(141)->isVisible() && form->label(141)->isVisible());
        orxtest::selectData(form->ctrl<QComboBox>(121), stAir);
        QVERIFY(!form->control(141)->isVisible());
        // The Kv form names no device: no device temperature limit is shown.
        QVERIFY(!labelContaining(form, QStringLiteral("максимально допустимая")));
        orxtest::typeInto(spin(form, 102), QStringLiteral("10"));
        orxtest::typeInto(spin(form, 103), QStringLiteral("6"));
        QCOMPARE(spin(form, 1031)->text(), QStringLiteral("4.00"));
        orxtest::selectData(form->ctrl<QComboBox>(101), pmMPa);
        QCOMPARE(form->subLabel(1031)->text(), QStringLiteral("МПа"));
        QCOMPARE(host.tabs.tabText(0), form->doc().name() + QStringLiteral(" *"));
    }

    void tasks_data()
    {
        QTest::addColumn<int>("i");
        for (int i = 0; i < int(std::size(kTasks)); ++i)
            QTest::newRow(kTasks[i].name) << i;
    }

    // Two decimals in m³/h and on the clipboard; a refused task shows the message alone.
    void tasks()
    {
        QFETCH(int, i);
        orxtest::MessageCapture capture;
        Host host;
        enter(host.form, kTasks[i]);
        QPushButton* copy = nullptr;
        QCOMPARE(shown(host.form, &copy), QString::fromUtf8(kTasks[i].shown));
        QCOMPARE(copy == nullptr, !QChar::fromLatin1(kTasks[i].shown[0]).isDigit());
        if (copy)
            QCOMPARE(orxtest::copiedText(copy), QString::fromUtf8(kTasks[i].shown));
        QCOMPARE(capture.count(), 0);
    }

    void noPhaseLimitWithoutP2()
    {
        Host host;
        KvChild* form = host.form;
        orxtest::typeInto(spin(form, 102), QStringLiteral("2"));
        orxtest::typeInto(spin(form, 103), QStringLiteral("1"));
        const double Tb = SubstanceProperties(stWater, 0).saturationTemperature(201325);
        QCOMPARE(spin(form, 105)->maximum(), std::round(Tb * 100) / 100);
        QLabel* hint = labelContaining(form, QStringLiteral("температура кипения"));
        QVERIFY(hint && hint->isVisible());
        orxtest::typeInto(spin(form, 103), QStringLiteral("0"));
        QVERIFY(!hint->isVisible());
        QCOMPARE(spin(form, 105)->maximum(), 220.0);
    }

    void savedAndOpenedAgain()
    {
        QTemporaryDir dir;
        Host source;
        enter(source.form, {"", stEthyleneGlycol, "6", "5", "90", wfLs, "3.5", pkExcess, pmBar, ""});
        spin(source.form, 141)->setValue(40);
        const Doc doc =
            orxtest::savedAndReopened(*source.form, dir.filePath(QStringLiteral("Котельная.orx")));
        Host host(&doc);
        QVERIFY(!host.form->isModified());
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Котельная"));
        QCOMPARE(host.form->doubleValue(141), 40.0);
        QVERIFY(!shown(source.form).isEmpty());
        QCOMPARE(shown(host.form), shown(source.form));
    }
};

ORX_GUI_TEST_MAIN(TestKvChild)
#include "tst_kvchild.moc"
