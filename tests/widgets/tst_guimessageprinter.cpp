#include "gentools/errorhandle.h"
#include "guitestsupport.h"
#include "guitools/guimessageprinter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace {

// What the message box looked like while it was open.
struct SeenBox
{
    QString title;
    QString text;
    QString details;
    int icon = -1;
    QList<int> buttons;
    int defaultButton = -1;
    int escapeButton = -1;
    int cursorShape = -1;
};

orxtest::ModalAnswerer::Action inspectAndClose(SeenBox* seen)
{
    return [seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->details = box->detailedText();
        seen->icon = box->icon();
        // The box's own "Show Details..." toggle is no answer button.
        for (QAbstractButton* b : box->buttons())
            if (box->standardButton(b) != QMessageBox::NoButton)
                seen->buttons << box->standardButton(b);
        seen->defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton()) : -1;
        seen->escapeButton = box->escapeButton() ? box->standardButton(box->escapeButton()) : -1;
        seen->cursorShape = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1;
        box->button(QMessageBox::Close)->click();
    };
}

} // namespace

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
        QTest::newRow("assert") << 0 << int(QMessageBox::Critical);
        QTest::newRow("error") << 1 << int(QMessageBox::Critical);
        QTest::newRow("information") << 2 << int(QMessageBox::Information);
        QTest::newRow("warning") << 3 << int(QMessageBox::Warning);
        QTest::newRow("unknown level") << 7 << int(QMessageBox::Information);
    }

    void showsMessageBox()
    {
        QFETCH(int, level);
        QFETCH(int, icon);
        SeenBox seen;
        orxtest::ModalAnswerer answerer(inspectAndClose(&seen));
        orxtest::StdoutCapture out;
        QGuiMessagePrinter().print(QStringLiteral("Предупреждение"), QStringLiteral("Файл не сохранён"),
                                   QStringLiteral("a.orx"), level);
        const QByteArray console = out.take();
        QVERIFY(answerer.answered());
        QCOMPARE(seen.title, QStringLiteral("Предупреждение"));
        QCOMPARE(seen.text, QStringLiteral("Файл не сохранён"));
        QCOMPARE(seen.details, QStringLiteral("a.orx"));
        QCOMPARE(seen.icon, icon);
        QCOMPARE(seen.buttons, QList<int>{QMessageBox::Close});
        QCOMPARE(seen.defaultButton, int(QMessageBox::Close));
        QCOMPARE(seen.escapeButton, int(QMessageBox::Close));
        // An arrow while the box is open, the program's own cursor afterwards.
        QCOMPARE(seen.cursorShape, int(Qt::ArrowCursor));
        QVERIFY(!QApplication::overrideCursor());
        // The console gets the message first, in code page 866 (the toolkit may
        // add its own lines while the box is open).
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

    // Installed in the handler, the printer turns an assertion into a critical box.
    void assertionThroughHandler()
    {
        geh::ErrorHandler::instance()->setPrinter(new QGuiMessagePrinter, false);
        SeenBox seen;
        orxtest::ModalAnswerer answerer(inspectAndClose(&seen));
        orxtest::StdoutCapture out;
        const bool ok = GEH_ASSERT(1 > 2);
        out.take();
        geh::ErrorHandler::instance()->setPrinter(new geh::QMessagePrinter, false);
        QVERIFY(!ok);
        QVERIFY(answerer.answered());
        QCOMPARE(seen.title, QStringLiteral("Ошибка"));
        QVERIFY(seen.text.startsWith(QStringLiteral("ASSERT at ")));
        QVERIFY(seen.text.endsWith(
            QStringLiteral(", assertionThroughHandler(), row %1\r\n1 > 2").arg(__LINE__ - 8)));
        QCOMPARE(seen.icon, int(QMessageBox::Critical));
        QCOMPARE(seen.details, QString());
    }
};

ORX_GUI_TEST_MAIN(TestGuiMessagePrinter)
#include "tst_guimessageprinter.moc"
