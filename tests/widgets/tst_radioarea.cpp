// The radio-button group bound to one integer field: which button is checked,
// how a check is set or cleared, and where the check goes when its button is
// disabled.

#include "framework/radioarea.h"
#include "guitestsupport.h"

#include <QAbstractButton>

class TestRadioArea : public QObject
{
    Q_OBJECT

private slots:
    void checks_data()
    {
        QTest::addColumn<int>("set");      // checked through setCheckedId
        QTest::addColumn<int>("disabled"); // then disabled, 0 for none
        QTest::addColumn<int>("expected");
        QTest::newRow("first added is checked") << 0 << 0 << 1;
        QTest::newRow("another id is checked") << 2 << 0 << 2;
        QTest::newRow("-1 clears the check") << -1 << 0 << -1;
        QTest::newRow("unknown id changes nothing") << 7 << 0 << 1;
        QTest::newRow("disabled checked button hands the check over") << 1 << 1 << 2;
        QTest::newRow("disabled unchecked button keeps the check") << 2 << 1 << 2;
    }
    void checks()
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

ORX_GUI_TEST_MAIN(TestRadioArea)
#include "tst_radioarea.moc"
