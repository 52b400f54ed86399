// The radio-button group bound to one integer field: which button is checked,
// how a check is set or cleared, and where the check goes when its button is
// disabled.

#include "framework/radioarea.h"
#include "guitestsupport.h"

#include <QAbstractButton>
#include <QButtonGroup>

class TestRadioArea : public QObject
{
    Q_OBJECT

private:
    // "Избыточное" (2), "Абсолютное" (1), as the pressure kind row offers them.
    static void fillPressureKinds(RadioArea& area)
    {
        area.addItem(QStringLiteral("Избыточное"), 2);
        area.addItem(QStringLiteral("Абсолютное"), 1);
    }

private slots:
    void firstButtonAddedIsChecked()
    {
        orxtest::MessageCapture capture;
        RadioArea area;
        area.addItem(QStringLiteral("Задать напрямую"), 1);
        QCOMPARE(area.checkedId(), 1);
        area.addItem(QStringLiteral("Через расход тепловой энергии"), 2);
        QCOMPARE(area.checkedId(), 1);
        QCOMPARE(area.group()->buttons().size(), 2);
        QCOMPARE(area.button(2)->text(), QStringLiteral("Через расход тепловой энергии"));
        QCOMPARE(capture.count(), 0);
    }

    void setCheckedId_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("expected");
        QTest::newRow("another id") << 1 << 1;
        QTest::newRow("the checked id") << 2 << 2;
        QTest::newRow("-1 clears the check") << -1 << -1;
        QTest::newRow("unknown id changes nothing") << 7 << 2;
    }

    void setCheckedId()
    {
        QFETCH(int, id);
        QFETCH(int, expected);
        RadioArea area;
        fillPressureKinds(area);
        area.setCheckedId(id);
        QCOMPARE(area.checkedId(), expected);
        // The group stays exclusive after a cleared check.
        area.setCheckedId(1);
        area.setCheckedId(2);
        QCOMPARE(area.checkedId(), 2);
        QVERIFY(!area.button(1)->isChecked());
    }

    void disablingMovesTheCheck_data()
    {
        QTest::addColumn<int>("checked");
        QTest::addColumn<int>("disabled");
        QTest::addColumn<int>("expected");
        QTest::newRow("checked button hands over") << 2 << 2 << 1;
        QTest::newRow("unchecked button keeps the check") << 1 << 2 << 1;
    }

    void disablingMovesTheCheck()
    {
        QFETCH(int, checked);
        QFETCH(int, disabled);
        QFETCH(int, expected);
        RadioArea area(nullptr, 2);
        area.addItem(QStringLiteral("Задать напрямую"), 1);
        area.addItem(QStringLiteral("Через расход тепловой энергии"), 2);
        area.setCheckedId(checked);
        area.setItemEnabled(disabled, false, 1);
        QCOMPARE(area.checkedId(), expected);
        QVERIFY(!area.button(disabled)->isEnabled());
        area.setItemEnabled(disabled, true, 1);
        QVERIFY(area.button(disabled)->isEnabled());
        QCOMPARE(area.checkedId(), expected);
    }
};

ORX_GUI_TEST_MAIN(TestRadioArea)
#include "tst_radioarea.moc"
