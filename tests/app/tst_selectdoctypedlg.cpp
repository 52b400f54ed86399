#include "guitestsupport.h"
#include "selectdoctypedlg.h"

#include <QCommandLinkButton>
#include <QGridLayout>
#include <QIcon>
#include <QImage>
#include <QTest>

using namespace common;

Q_DECLARE_METATYPE(common::DocType)

class TestSelectDocTypeDlg : public QObject
{
    Q_OBJECT

private slots:
    void titleAndShape()
    {
        SelectDocTypeDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Новый подбор"));
        QVERIFY(!dlg.parentWidget());
        QCOMPARE(int(dlg.docType()), 0);
        auto* grid = qobject_cast<QGridLayout*>(dlg.layout());
        QVERIFY(grid && grid->rowCount() == 2 && grid->columnCount() == 3);
        QCOMPARE(dlg.findChildren<QCommandLinkButton*>().size(), 6);
    }

    void buttons_data()
    {
        QTest::addColumn<DocType>("type");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("description");
        QTest::newRow("valve") << docValve << 0 << 0 << QStringLiteral(":icons/foto_valve2.png")
                               << QStringLiteral("Регулирующий клапан");
        QTest::newRow("regulator") << docRegulator << 1 << 0 << QStringLiteral(":icons/foto_regulator.png")
                                   << QStringLiteral(
                                          "Регулятор давления и перепада давления прямого действия");
        QTest::newRow("hot-water cabinet")
            << docStdCabinet << 0 << 1 << QStringLiteral(":icons/foto_lmsh.png")
            << QStringLiteral("Шкаф управления для ГВС или ОТП");
        QTest::newRow("ventilation cabinet")
            << docFanCabinet << 1 << 1 << QStringLiteral(":icons/foto_lmsh.png")
            << QStringLiteral("Шкаф управления для приточной вентиляции");
        QTest::newRow("flow meter") << docFlowMeter << 0 << 2 << QStringLiteral(":icons/foto_lmf_m.png")
                                    << QStringLiteral("Расходомер");
        QTest::newRow("Kv") << docKv << 1 << 2 << QStringLiteral(":icons/calcKv.png")
                            << QStringLiteral("Расчёт Kv");
    }

    // Each button sits in its cell, shows its picture (the two cabinets share
    // one) and its caption below the picture, and a click accepts the dialog
    // with its own type.
    void buttons()
    {
        QFETCH(DocType, type);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, picture);
        QFETCH(QString, description);

        SelectDocTypeDlg dlg;
        auto* btn = qobject_cast<QCommandLinkButton*>(dlg.button(type));
        QVERIFY(btn);
        QCOMPARE(qobject_cast<QGridLayout*>(dlg.layout())->itemAtPosition(row, column)->widget(), btn);
        QVERIFY(btn->text().isEmpty());
        QCOMPARE(btn->description(), QStringLiteral("\n\n") + description);
        QCOMPARE(btn->iconSize(), QSize(200, 200));
        QVERIFY(!QIcon(picture).isNull());
        QCOMPARE(btn->icon().pixmap(200, 200).toImage(), QIcon(picture).pixmap(200, 200).toImage());
        QCOMPARE(btn->font().pointSizeF(), dlg.font().pointSizeF() - 1);

        dlg.show();
        QTest::mouseClick(btn, Qt::LeftButton);
        QVERIFY(dlg.result() == QDialog::Accepted && !dlg.isVisible());
        QCOMPARE(dlg.docType(), type);
    }

    void closingRejects_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close button") << false;
    }

    void closingRejects()
    {
        QFETCH(bool, escape);
        SelectDocTypeDlg dlg;
        orxtest::ModalAnswerer answer([escape](QWidget* modal) {
            if (escape)
                QTest::keyClick(modal, Qt::Key_Escape);
            else
                modal->close();
        });
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(answer.answered());
        QCOMPARE(int(dlg.docType()), 0);
    }

    // A press that does not come from one of the picture buttons is a
    // programming error: reported, and the dialog stays open.
    void pressFromElsewhere()
    {
        orxtest::MessageCapture capture;
        SelectDocTypeDlg dlg;
        dlg.show();
        QMetaObject::invokeMethod(&dlg, "onPress");
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().endsWith(QStringLiteral("m_docTypesByCmd.contains(btn)")));
        QVERIFY(dlg.isVisible());
        QCOMPARE(int(dlg.docType()), 0);
    }
};

ORX_GUI_TEST_MAIN(TestSelectDocTypeDlg)

#include "tst_selectdoctypedlg.moc"
