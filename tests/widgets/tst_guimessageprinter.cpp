// Messages of the error handler shown to the user: a box of the level's kind
// with a Close button, and the same text on the console in code page 866.

#include "gentools/errorhandle.h"
#include "guitestsupport.h"
#include "guitools/guimessageprinter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

class TestGuiMessagePrinter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log")); }
    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    void showsMessageBox_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("icon");
        QTest::newRow("error is critical") << int(geh::mlError) << int(QMessageBox::Critical);
        QTest::newRow("warning warns") << int(geh::mlWarning) << int(QMessageBox::Warning);
        QTest::newRow("unknown level informs") << 7 << int(QMessageBox::Information);
    }
    void showsMessageBox()
    {
        QFETCH(int, level);
        QString seen;
        int cursor = -1;
        orxtest::ModalAnswerer answerer([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen = QStringLiteral("icon %1, details %2, buttons %3, default %4, escape %5")
                       .arg(box->icon())
                       .arg(box->detailedText())
                       .arg(int(box->standardButtons()))
                       .arg(box->standardButton(box->defaultButton()))
                       .arg(box->standardButton(box->escapeButton()));
            cursor = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1;
            box->button(QMessageBox::Close)->click();
        });
        orxtest::StdoutCapture out;
        QGuiMessagePrinter().print(QStringLiteral("Предупреждение"), QStringLiteral("Файл не сохранён"),
                                   QStringLiteral("a.orx"), level);
        const QByteArray console = out.take();
        QCOMPARE(answerer.title(), QStringLiteral("Предупреждение"));
        QCOMPARE(answerer.text(), QStringLiteral("Файл не сохранён"));
        QFETCH(int, icon);
        QCOMPARE(seen, QStringLiteral("icon %1, details a.orx, buttons %2, default %2, escape %2")
                           .arg(icon)
                           .arg(int(QMessageBox::Close)));
        // An arrow while the box is open, the program's own cursor afterwards.
        QCOMPARE(cursor, int(Qt::ArrowCursor));
        QVERIFY(!QApplication::overrideCursor());
        // The console gets the message first (the toolkit may add its own lines
        // while the box is open).
        const QByteArray expected = "*** \x8F\xE0\xA5\xA4\xE3\xAF\xE0\xA5\xA6\xA4\xA5\xAD\xA8\xA5 *** \r\n"
                                    "\x94\xA0\xA9\xAB \xAD\xA5 \xE1\xAE\xE5\xE0\xA0\xAD\xF1\xAD"
                                    "a.orx\r\n";
        QVERIFY2(console.startsWith(expected), console.constData());
    }

    void hiddenFragmentShowsNoBox()
    {
        orxtest::ModalAnswerer answerer(orxtest::ModalAnswerer::reject(), 300);
        orxtest::StdoutCapture out;
        QGuiMessagePrinter().print(QStringLiteral("Standart Qt-message"),
                                   QStringLiteral("QWidget::repaint: flush: BitBlt failed"), QString(), 3);
        QCOMPARE(out.take(),
                 QByteArray(
                     "*** Standart Qt-message (hidden) *** \r\nQWidget::repaint: flush: BitBlt failed\r\n"));
        QTest::qWait(400);
        QVERIFY(!answerer.answered());
    }
};

ORX_GUI_TEST_MAIN(TestGuiMessagePrinter)
#include "tst_guimessageprinter.moc"
