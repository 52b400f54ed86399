// The pipe DN choice below a selection: which rows a medium gets, the item texts
// with their flow speeds, following the device DN, what the report reads, and
// how a missing choice is told to the user.

#include "engine/algorithm.h"
#include "engine/regulatorinputparams.h"
#include "framework/pipeselectionarea.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

#include <cmath>

using namespace common;

namespace {

// A calculation that only carries a task: the pipe speeds need nothing else.
// At 101325 Pa absolute before the device a normal and a working volume of gas
// are the same; half of it remains after, which doubles the speed there.
template <class Input>
class TaskOnly : public Algorithm
{
public:
    explicit TaskOnly(int substance)
    {
        m_task.substance = substance;
        m_task.pressureType = pkAbsolute;
        m_task.pressureMeasure = pmPa;
        m_task.P1 = 101325;
        m_task.P2 = 50662.5;
        m_task.Tsupply = 20;
        m_task.flowMeasure = wfM3h;
        m_task.flow = 1.456 * 113.0973336 * 2500 / 40000; // 1.456 m/s through DN 50
    }
    const InputParams& input() const override { return m_task; }
    QList<double> ascendingKvsList() const override { return {}; }
    void filterResults() override {}

    Input m_task;
};

using Valve = TaskOnly<ValveInputParams>;
// A downstream regulator of a gas: ЛМР-2-П.
struct Regulator : TaskOnly<RegulatorInputParams>
{
    explicit Regulator(int substance) : TaskOnly(substance) { m_task.regulation = rtDownstream; }
};

int indexOfDn(QComboBox* combo, int dn)
{
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).startsWith(QStringLiteral("DN %1 ").arg(dn)))
            return i;
    return -1;
}

} // namespace

class TestPipeSelectionArea : public QObject
{
    Q_OBJECT

private slots:
    void rowsPerMedium_data()
    {
        QTest::addColumn<bool>("regulator");
        QTest::addColumn<int>("substance");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("dn50");
        const QString prefix = QStringLiteral("DN 50 - максимальная скорость потока");
        QTest::newRow("water: one pipe")
            << false << int(stWater) << QStringList{QStringLiteral("Трубопровод")}
            << QStringList{prefix + QStringLiteral(" 1,46 м/с")};
        QTest::newRow("air through a valve: the speed after doubles")
            << false << int(stAir)
            << QStringList{QStringLiteral("Трубопровод до клапана"),
                           QStringLiteral("Трубопровод после клапана")}
            << QStringList{prefix + QStringLiteral(" перед клапаном 1,46 м/с"),
                           prefix + QStringLiteral(" после клапана 2,91 м/с")};
        QTest::newRow("nitrogen through a regulator")
            << true << int(stNitrogen)
            << QStringList{QStringLiteral("Трубопровод до регулятора"),
                           QStringLiteral("Трубопровод после регулятора")}
            << QStringList{prefix + QStringLiteral(" перед регулятором 1,46 м/с"),
                           prefix + QStringLiteral(" после регулятора 2,91 м/с")};
    }

    // One row per pipe below what the grid held: bold caption in column 0, the
    // combo in column 1, with the speed at each side of the device (decimal
    // comma, 2 decimals, no digit grouping).
    void rowsPerMedium()
    {
        QFETCH(bool, regulator);
        QFETCH(int, substance);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, dn50);
        Valve valve(substance);
        Regulator reg(substance);
        QWidget host;
        auto* grid = new QGridLayout(&host);
        grid->addWidget(new QLabel(QStringLiteral("строка формы")), 0, 0);
        PipeSelectionArea area(regulator ? static_cast<const Algorithm&>(reg) : valve);
        area.addToLayout(grid);

        QCOMPARE(grid->rowCount(), captions.size() + 1);
        for (int row = 0; row < captions.size(); ++row) {
            auto* label = qobject_cast<QLabel*>(grid->itemAtPosition(row + 1, 0)->widget());
            QCOMPARE(label->text(), captions.at(row));
            QCOMPARE(label->font().weight(), 75);
            QComboBox* combo = area.combo(area.locations().at(row));
            QCOMPARE(grid->itemAtPosition(row + 1, 1)->layout()->itemAt(0)->widget(), combo);
            QCOMPARE(combo->currentText(), QStringLiteral("-- Выбрать --"));
            QCOMPARE(combo->itemText(indexOfDn(combo, 50)), dn50.at(row));
            QCOMPARE(combo->count(), 18); // the prompt and DN 15 to DN 500
        }
        QCOMPARE(PipeSelectionArea::itemText(100, 2, 1234.567, false),
                 QStringLiteral("DN 100 - максимальная скорость потока 1234,57 м/с"));
    }

    void setDn_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("dn");
        QTest::addColumn<QString>("expected");
        QTest::newRow("65 selects its item") << 0 << 65 << QStringLiteral("DN 65 ");
        QTest::newRow("0 returns to the prompt") << 40 << 0 << QStringLiteral("-- Выбрать --");
        QTest::newRow("70 is not offered") << 40 << 70 << QStringLiteral("DN 40 ");
    }

    void setDn()
    {
        QFETCH(int, start);
        QFETCH(int, dn);
        QFETCH(QString, expected);
        Valve air(stAir);
        PipeSelectionArea area(air);
        area.setDn(start);
        area.setDn(dn);
        for (int location : area.locations())
            QVERIFY(area.combo(location)->currentText().startsWith(expected));
    }

    void selectionsAndValidation_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("warned");
        QTest::newRow("nothing chosen: the pipe before is asked for") << 0 << 0 << 0;
        QTest::newRow("only before chosen: nothing counts, the pipe after is asked for") << 50 << 0 << 1;
        QTest::newRow("both chosen") << 50 << 80 << -1;
    }

    void selectionsAndValidation()
    {
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
        area.combo(0)->setCurrentIndex(qMax(0, indexOfDn(area.combo(0), before)));
        area.combo(1)->setCurrentIndex(qMax(0, indexOfDn(area.combo(1), after)));

        const bool complete = warned < 0;
        QCOMPARE(area.isComplete(), complete);
        const QMap<int, PipeChoice> chosen = area.selections();
        QCOMPARE(chosen.keys(), QList<int>({0, 1}));
        QCOMPARE(chosen.value(0).dn, complete ? before : 0);
        QCOMPARE(chosen.value(1).dn, complete ? after : 0);
        const double speed = complete ? 2 * 1.456 * 2500 / 6400 : 0; // twice the DN 50 speed, at DN 80
        QVERIFY(std::fabs(chosen.value(1).speed - speed) < 1e-9);

        orxtest::ModalAnswerer answer(orxtest::ModalAnswerer::pressButton(QMessageBox::Ok), 1000);
        QCOMPARE(area.validate(), complete);
        QCOMPARE(answer.answered(), !complete);
        if (!complete) {
            QCOMPARE(answer.text(), QStringLiteral("Необходимо выбрать значение"));
            QCOMPARE(host.focusWidget(), area.combo(warned));
        }
    }

    // A calculation that no longer stands leaves no pipe to choose.
    void rowsGoWithTheArea()
    {
        Valve air(stAir);
        QWidget host;
        auto* grid = new QGridLayout(&host);
        QPointer<QWidget> label, kept;
        {
            PipeSelectionArea area(air);
            area.addToLayout(grid);
            label = grid->itemAtPosition(0, 0)->widget();
            area.clear();
            QVERIFY(!label && area.selections().isEmpty());
            PipeSelectionArea second(air);
            second.addToLayout(grid);
            kept = second.combo(1);
            QVERIFY(kept);
        }
        QVERIFY(!kept);
    }
};

ORX_GUI_TEST_MAIN(TestPipeSelectionArea)
#include "tst_pipeselectionarea.moc"
