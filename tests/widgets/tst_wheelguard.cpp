// The mouse wheel scrolls the form past a spin box or combo box without
// changing it; only a box the user has clicked into takes the wheel.

#include "guitools/wheelguard.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

class TestWheelGuard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { WheelGuard::install(); }

    void wheel_data()
    {
        QTest::addColumn<bool>("combo");
        QTest::addColumn<bool>("clicked");
        QTest::newRow("spin box passed over: the page scrolls, the figure stays") << false << false;
        QTest::newRow("combo box passed over: the page scrolls, the choice stays") << true << false;
        QTest::newRow("spin box clicked into: the wheel changes the figure") << false << true;
        QTest::newRow("combo box clicked into: the wheel changes the choice") << true << true;
    }
    void wheel()
    {
        QFETCH(bool, combo);
        QFETCH(bool, clicked);
        QScrollArea area;
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        auto* name = new QLineEdit;
        auto* spin = new QDoubleSpinBox;
        spin->setValue(6);
        auto* choice = new QComboBox;
        choice->addItems({QStringLiteral("вода"), QStringLiteral("пар"), QStringLiteral("воздух")});
        choice->setCurrentIndex(1);
        layout->addWidget(name);
        layout->addWidget(spin);
        layout->addWidget(choice);
        layout->addSpacing(3000);
        area.setWidget(page);
        area.resize(300, 200);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QWidget* box = combo ? static_cast<QWidget*>(choice) : spin;
        QCOMPARE(box->focusPolicy(), Qt::StrongFocus);
        name->setFocus();
        if (clicked)
            QTest::mouseClick(combo ? box : spin->findChild<QLineEdit*>(), Qt::LeftButton);
        if (combo && clicked)
            choice->hidePopup();
        const QPoint at = box->rect().center();
        QWheelEvent down(at, box->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &down);
        const bool changed = combo ? choice->currentIndex() != 1 : spin->value() != 6;
        QCOMPARE(changed, clicked);
        QCOMPARE(area.verticalScrollBar()->value() > 0, !clicked);
    }
};

QTEST_MAIN(TestWheelGuard)
#include "tst_wheelguard.moc"
