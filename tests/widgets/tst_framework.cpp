// Two pieces of the forms: the pipe DN choice below a selection (which rows a
// medium gets, the item texts with their flow speeds, following the device DN,
// what the report reads and how a missing choice is told) and the radio-button
// group bound to one integer field.

#include "engine/algorithm.h"
#include "engine/regulatorinputparams.h"
#include "framework/pipeselectionarea.h"
#include "framework/radioarea.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

using namespace common;

namespace {

// A calculation that only carries a task: the pipe speeds need nothing else.
// At 101325 Pa absolute before the device a normal and a working volume of gas
// are the same; half of it remains after, which doubles the speed there. A
// regulator is a downstream one (ЛМР-2-П).
template <class Input>
class TaskOnly : public Algorithm
{
public:
    explicit TaskOnly(int substance)
    {
        std::tie(m_task.substance, m_task.pressureType, m_task.pressureMeasure, m_task.flowMeasure) =
            std::tuple(substance, pkAbsolute, pmPa, wfM3h);
        std::tie(m_task.P1, m_task.P2, m_task.Tsupply) = std::tuple(101325, 50662.5, 20);
        m_task.flow = 1.456 * 113.0973336 * 2500 / 40000; // 1.456 m/s through DN 50
        if constexpr (std::is_same_v<Input, RegulatorInputParams>)
            m_task.regulation = rtDownstream;
    }
    const InputParams& input() const override { return m_task; }
    QList<double> ascendingKvsList() const override { return {}; }
    void filterResults() override {}

    Input m_task;
};
using Valve = TaskOnly<ValveInputParams>;

int indexOfDn(QComboBox* combo, int dn)
{
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).startsWith(QStringLiteral("DN %1 ").arg(dn)))
            return i;
    return dn ? -1 : 0;
}

} // namespace

class TestFramework : public QObject
{
    Q_OBJECT

private slots:
    void pipeRows_data()
    {
        QTest::addColumn<bool>("regulator");
        QTest::addColumn<int>("substance");
        QTest::addColumn<QString>("rows"); // caption: DN 50 item after the common words, per row
        QTest::newRow("water: one pipe") << false << int(stWater) << QStringLiteral("Трубопровод: 1,46");
        QTest::newRow("air through a valve: the speed after doubles")
            << false << int(stAir)
            << QStringLiteral("Трубопровод до клапана: перед клапаном 1,46|"
                              "Трубопровод после клапана: после клапана 2,91");
        QTest::newRow("nitrogen through a regulator")
            << true << int(stNitrogen)
            << QStringLiteral("Трубопровод до регулятора: перед регулятором 1,46|"
                              "Трубопровод после регулятора: после регулятора 2,91");
    }
    // One row per pipe below what the grid held: bold caption in column 0, the
    // combo in column 1, with the speed at each side of the device (decimal
    // comma, 2 decimals, no digit grouping).
    void pipeRows()
    {
        QFETCH(bool, regulator);
        QFETCH(int, substance);
        QFETCH(QString, rows);
        Valve valve(substance);
        TaskOnly<RegulatorInputParams> reg(substance);
        QWidget host;
        auto* grid = new QGridLayout(&host);
        grid->addWidget(new QLabel(QStringLiteral("строка формы")), 0, 0);
        PipeSelectionArea area(regulator ? static_cast<const Algorithm&>(reg) : valve);
        area.addToLayout(grid);
        QStringList seen;
        for (int row = 1; row < grid->rowCount(); ++row) {
            auto* label = qobject_cast<QLabel*>(grid->itemAtPosition(row, 0)->widget());
            QComboBox* combo = area.combo(area.locations().at(row - 1));
            QCOMPARE(grid->itemAtPosition(row, 1)->layout()->itemAt(0)->widget(), combo);
            QVERIFY(label->font().weight() == 75 && combo->count() == 18); // the prompt and DN 15 to DN 500
            QCOMPARE(combo->currentText(), QStringLiteral("-- Выбрать --"));
            seen << label->text() + QStringLiteral(":") +
                        combo->itemText(indexOfDn(combo, 50))
                            .remove(QStringLiteral("DN 50 - максимальная скорость потока"))
                            .remove(QStringLiteral(" м/с"));
        }
        QCOMPARE(seen.join(QLatin1Char('|')), rows);
        QCOMPARE(PipeSelectionArea::itemText(100, 2, 1234.567, false),
                 QStringLiteral("DN 100 - максимальная скорость потока 1234,57 м/с"));
    }
    // The device DN picks the pipe items; only both pipes chosen count, and
    // validation asks for the first one missing.
    void pipeChoices_data()
    {
        QTest::addColumn<int>("setDn");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("warned"); // -1: complete
        QTest::newRow("device DN 65 selects its items") << 65 << 65 << 65 << -1;
        QTest::newRow("DN 70 is not offered: kept") << 70 << 40 << 40 << -1;
        QTest::newRow("device DN 0 returns to the prompt: before asked for") << 0 << 0 << 0 << 0;
        QTest::newRow("only before chosen: nothing counts, after asked for") << -1 << 50 << 0 << 1;
        QTest::newRow("both chosen, the speed after at DN 80") << -1 << 50 << 80 << -1;
    }
    void pipeChoices()
    {
        QFETCH(int, setDn);
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(int, warned);
        Valve air(stAir);
        QWidget host;
        PipeSelectionArea area(air);
        area.addToLayout(new QGridLayout(&host));
        host.show();
        QApplication::setActiveWindow(&host);
        QVERIFY(QTest::qWaitForWindowActive(&host));
        area.setDn(40);
        if (setDn >= 0) {
            area.setDn(setDn);
        } else {
            area.combo(0)->setCurrentIndex(indexOfDn(area.combo(0), before));
            area.combo(1)->setCurrentIndex(indexOfDn(area.combo(1), after));
        }
        QCOMPARE(area.combo(0)->currentIndex(), indexOfDn(area.combo(0), before));
        QCOMPARE(area.combo(1)->currentIndex(), indexOfDn(area.combo(1), after));
        const bool complete = warned < 0;
        QCOMPARE(area.isComplete(), complete);
        const QMap<int, PipeChoice> chosen = area.selections();
        QCOMPARE(chosen.keys(), QList<int>({0, 1}));
        QCOMPARE(chosen.value(0).dn, complete ? before : 0);
        QCOMPARE(chosen.value(1).dn, complete ? after : 0);
        if (after == 80) // twice the DN 50 speed, at DN 80
            QVERIFY(std::fabs(chosen.value(1).speed - 2 * 1.456 * 2500 / 6400) < 1e-9);
        orxtest::ModalAnswerer answer(orxtest::ModalAnswerer::pressButton(QMessageBox::Ok), 1000);
        QCOMPARE(area.validate(), complete);
        QCOMPARE(answer.text(), complete ? QString() : QStringLiteral("Необходимо выбрать значение"));
        if (!complete)
            QCOMPARE(host.focusWidget(), area.combo(warned));
    }
    // A calculation that no longer stands leaves no pipe to choose.
    void pipeRowsGoWithTheArea()
    {
        Valve air(stAir);
        QWidget host;
        auto* grid = new QGridLayout(&host);
        QPointer<QWidget> kept;
        PipeSelectionArea area(air);
        area.addToLayout(grid);
        QPointer<QWidget> label = grid->itemAtPosition(0, 0)->widget();
        area.clear();
        QVERIFY(!label && area.selections().isEmpty());
        {
            PipeSelectionArea second(air);
            second.addToLayout(grid);
            QVERIFY(kept = second.combo(1));
        }
        QVERIFY(!kept);
    }
    // Checked through setCheckedId, then disabled (0 for none) and enabled again.
    void radioChecks_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("disabled");
        QTest::addColumn<int>("expected");
        QTest::newRow("first added is checked") << 0 << 0 << 1;
        QTest::newRow("another id is checked") << 2 << 0 << 2;
        QTest::newRow("-1 clears the check") << -1 << 0 << -1;
        QTest::newRow("unknown id changes nothing") << 7 << 0 << 1;
        QTest::newRow("disabled checked button hands the check over") << 1 << 1 << 2;
        QTest::newRow("disabled unchecked button keeps the check") << 2 << 1 << 2;
    }
    void radioChecks()
    {
        QFETCH(int, set);
        QFETCH(int, disabled);
        orxtest::MessageCapture capture;
        RadioArea area(nullptr, 2);
        area.addItem(QStringLiteral("Задать напрямую"), 1);
        area.addItem(QStringLiteral("Через расход тепловой энергии"), 2);
        if (set)
            area.setCheckedId(set);
        if (disabled) {
            area.setItemEnabled(disabled, false, 2);
            QVERIFY(!area.button(disabled)->isEnabled());
            area.setItemEnabled(disabled, true, 2);
            QVERIFY(area.button(disabled)->isEnabled());
        }
        QTEST(area.checkedId(), "expected");
        // The group stays exclusive, also after a cleared check.
        area.setCheckedId(1);
        area.setCheckedId(2);
        QVERIFY(!area.button(1)->isChecked());
        QCOMPARE(capture.count(), 0);
    }
};

ORX_GUI_TEST_MAIN(TestFramework)
#include "tst_framework.moc"
