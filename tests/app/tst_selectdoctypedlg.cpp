#include "guitestsupport.h"
#include "selectdoctypedlg.h"

#include <QAbstractButton>
#include <QGridLayout>

using namespace common;

Q_DECLARE_METATYPE(common::DocType)

class TestSelectDocTypeDlg : public QObject
{
    Q_OBJECT

private slots:
    void buttons_data()
    {
        QTest::addColumn<DocType>("type");
        QTest::addColumn<int>("row"); // of the 2 × 3 grid
        QTest::addColumn<int>("column");
        QTest::newRow("valve") << docValve << 0 << 0;
        QTest::newRow("regulator") << docRegulator << 1 << 0;
        QTest::newRow("hot-water cabinet") << docStdCabinet << 0 << 1;
        QTest::newRow("ventilation cabinet") << docFanCabinet << 1 << 1;
        QTest::newRow("flow meter") << docFlowMeter << 0 << 2;
        QTest::newRow("Kv") << docKv << 1 << 2;
    }

    // A click accepts the dialog with the button's own type.
    void buttons()
    {
        QFETCH(DocType, type);
        QFETCH(int, row);
        QFETCH(int, column);
        SelectDocTypeDlg dlg;
        QAbstractButton* btn = dlg.button(type);
        QVERIFY(btn);
        QCOMPARE(qobject_cast<QGridLayout*>(dlg.layout())->itemAtPosition(row, column)->widget(), btn);
        dlg.show();
        QTest::mouseClick(btn, Qt::LeftButton);
        QVERIFY(dlg.result() == QDialog::Accepted && !dlg.isVisible());
        QCOMPARE(dlg.docType(), type);
    }

    // Closed, the dialog chooses nothing; a press that does not come from a
    // picture button is a programming error: reported, and the dialog stays open.
    void nothingChosen()
    {
        orxtest::MessageCapture capture;
        SelectDocTypeDlg dlg;
        orxtest::ModalAnswerer answer([](QWidget* modal) { modal->close(); });
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(answer.answered());
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
