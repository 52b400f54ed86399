// Documents from elsewhere, opened as a user opens them: a field holding what
// its control cannot show opens as not filled in (or its text cut), the user
// is told once which fields, and nothing is computed from a stand-in value.

#include "../../fuzz/sampledocuments.h"

#include "formhost.h"
#include "guitestsupport.h"
#include "mainwindow.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QTemporaryDir>

using orxtest::ModalAnswerer;

// Whether some label of the window (caption, message, result) starts with the text.
static bool shows(const QWidget* window, const char* start)
{
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->text().startsWith(QString::fromUtf8(start)))
            return true;
    return false;
}

Q_DECLARE_METATYPE(Doc)

class TestOddDocuments : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void oddValueOpensNotFilledIn_data()
    {
        QTest::addColumn<Doc>("doc");
        QTest::addColumn<int>("field");
        QTest::addColumn<QVariant>("value");
        // The line of the warning; empty: the user is told nothing.
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("refused");

        const Doc valve = orxsamples::valveDocument();
        // The flow through the heat load needs the pressures as well.
        Doc viaHeat = valve;
        viaHeat.setValue(DocKey(MdiChild::fcFlowMode), 2);
        QTest::newRow("unit outside its table")
            << viaHeat << 101 << QVariant(4) << "Единица давления — не заполнено" << true;
        QTest::newRow("text in a number field") << valve << 108 << QVariant(QStringLiteral("abc"))
                                                << "Расход рабочей среды (G) — не заполнено" << true;
        QTest::newRow("not a number as text") << valve << 102 << QVariant(QStringLiteral("nan"))
                                              << "Перед клапаном (P1) — не заполнено" << true;
        QTest::newRow("number beyond its box")
            << valve << 108 << QVariant(1e300) << "Расход рабочей среды (G) — не заполнено" << true;
        QTest::newRow("radio outside its buttons")
            << valve << 1011 << QVariant(-1) << "Давление (избыточное или абсолютное) — выбрано «Избыточное»"
            << false;
        QTest::newRow("check box holding a number") << orxsamples::flowMeterDocument() << 410 << QVariant(5)
                                                    << "Модуль индикации — не отмечено" << false;
        // The Kv of a valve does not ask where it sits: a place it cannot show
        // leaves the form's own and the task goes on.
        QTest::newRow("hidden field outside its table")
            << orxsamples::kvDocument() << 131 << QVariant(7) << QString() << false;
        // A name no one typed is cut on opening; the cut is what is shown and saved.
        QTest::newRow("name too long")
            << valve << int(MdiChild::fcObjectName) << QVariant(QString(100000, QChar(0x0416)))
            << "Наименование объекта — сокращено до 1000 знаков" << false;
    }

    void oddValueOpensNotFilledIn()
    {
        QFETCH(Doc, doc);
        QFETCH(int, field);
        QFETCH(QVariant, value);
        QFETCH(QString, told);
        QFETCH(bool, refused);
        doc.setValue(DocKey(qint16(field)), value);

        ModalAnswerer start([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        auto window = std::make_unique<MainWindow>();
        QVERIFY(QTest::qWaitFor([&] { return start.answered(); }));
        orxtest::MessageCapture capture;
        // Opened through "Открыть", on screen, so that its first calculation runs.
        const QString path =
            m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".orx"));
        QVERIFY(orxtest::writeFile(path, doc.toByteArray()));
        ModalAnswerer answer(ModalAnswerer::chooseFile(path));
        window->action(MainWindow::aiOpen)->trigger();
        window->show();
        QVERIFY(answer.answered() && QTest::qWaitForWindowExposed(window.get()));
        MdiChild* child = window->activeMdiChild();
        QVERIFY(child);

        // Told once, with a warning (no assertion) naming the field.
        QCOMPARE(capture.count(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty())
            QVERIFY2(capture.messages().first().title == QStringLiteral("Предупреждение") &&
                         capture.messages().first().text.contains(told),
                     qPrintable(capture.messages().first().text));
        // Nothing computed from a stand-in: the form asks for the field.
        QCOMPARE(shows(child, "Не заполнены входные данные"), refused);
        QCOMPARE(shows(child, "Пустые поля:"), refused);
        // No boiling point from pressures in no unit caps the supply temperature.
        if (doc.docType() == common::docValve)
            QCOMPARE(child->doubleValue(DocKey(MdiChild::fcSupplyTemperature)), 130.0);
        const Doc saved = orxtest::savedAndReopened(*child, m_dir.filePath(QStringLiteral("saved.orx")));
        if (field == MdiChild::fcObjectName)
            QCOMPARE(saved.value(DocKey(MdiChild::fcObjectName)).toString(), QString(1000, QChar(0x0416)));
    }
};

ORX_GUI_TEST_MAIN(TestOddDocuments)
#include "tst_odddocuments.moc"
