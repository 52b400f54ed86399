// Documents from elsewhere, opened as a user opens them: a field holding what
// its control cannot show opens as not filled in (or its text cut), the user
// is told once which fields, and nothing is computed from a stand-in value.

#include "../../fuzz/sampledocuments.h"

#include "documents/doc.h"
#include "framework/mdichild.h"
#include "guitestsupport.h"
#include "mainwindow.h"
#include "selectdoctypedlg.h"

#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

using orxtest::ModalAnswerer;

namespace {

const QString kEmpty = QStringLiteral("Не заполнены входные данные");

// The texts of the window's labels: its captions, messages and results.
QStringList labelTexts(const QWidget* window)
{
    QStringList texts;
    for (const QLabel* label : window->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

bool anyStartsWith(const QStringList& texts, const QString& start)
{
    return std::any_of(texts.cbegin(), texts.cend(), [&](const QString& t) { return t.startsWith(start); });
}

} // namespace

Q_DECLARE_METATYPE(Doc)

class TestOddDocuments : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A main window with no document (its start-up question turned down).
    static std::unique_ptr<MainWindow> startWindow()
    {
        ModalAnswerer answer([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        auto window = std::make_unique<MainWindow>();
        if (!QTest::qWaitFor([&] { return answer.answered(); }))
            qWarning("the start-up dialog did not come");
        return window;
    }

    // Writes the document and opens it through "Открыть", on screen, so that
    // its first calculation runs.
    MdiChild* open(MainWindow& window, const Doc& doc, const QString& stem)
    {
        const QString path = m_dir.filePath(stem + QStringLiteral(".orx"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(doc.toByteArray()) < 0)
            return nullptr;
        file.close();
        ModalAnswerer answer(ModalAnswerer::chooseFile(path));
        window.action(MainWindow::aiOpen)->trigger();
        window.show();
        if (!answer.answered() || !QTest::qWaitForWindowExposed(&window))
            return nullptr;
        return window.activeMdiChild();
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

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
    }

    void oddValueOpensNotFilledIn()
    {
        QFETCH(Doc, doc);
        QFETCH(int, field);
        QFETCH(QVariant, value);
        QFETCH(QString, told);
        QFETCH(bool, refused);
        doc.setValue(DocKey(qint16(field)), value);

        auto window = startWindow();
        orxtest::MessageCapture capture;
        MdiChild* child = open(*window, doc, QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(child);

        QVERIFY2(capture.assertions().isEmpty(), qPrintable(capture.assertions().join(QLatin1Char('\n'))));
        QCOMPARE(capture.count(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty()) {
            QCOMPARE(capture.messages().first().title, QStringLiteral("Предупреждение"));
            QVERIFY2(capture.messages().first().text.contains(told),
                     qPrintable(capture.messages().first().text));
        }
        // Nothing computed from a stand-in: the form asks for the field.
        const QStringList texts = labelTexts(child);
        QCOMPARE(anyStartsWith(texts, kEmpty), refused);
        QCOMPARE(anyStartsWith(texts, QStringLiteral("Пустые поля:")), refused);
        // No boiling point from pressures in no unit caps the supply temperature.
        if (doc.docType() == common::docValve && field != MdiChild::fcSupplyTemperature)
            QCOMPARE(child->doubleValue(DocKey(MdiChild::fcSupplyTemperature)), 130.0);
    }

    // A name no one typed is cut on opening; the cut is what is shown and saved.
    void longNameIsCut()
    {
        Doc doc = orxsamples::valveDocument();
        doc.setValue(DocKey(MdiChild::fcObjectName), QString(100000, QChar(0x0416)));
        auto window = startWindow();
        orxtest::MessageCapture capture;
        MdiChild* child = open(*window, doc, QStringLiteral("long"));
        QVERIFY(child);
        QCOMPARE(capture.count(), 1);
        QVERIFY(capture.messages().first().text.contains(
            QStringLiteral("Наименование объекта — сокращено до 1000 знаков")));
        QVERIFY(!anyStartsWith(labelTexts(child), kEmpty));

        const QString saved = m_dir.filePath(QStringLiteral("saved.orx"));
        QVERIFY(child->saveToFile(saved));
        Doc again;
        QVERIFY(Doc::loadFromFile(saved, again));
        QCOMPARE(again.value(DocKey(MdiChild::fcObjectName)).toString(), QString(1000, QChar(0x0416)));
    }
};

ORX_GUI_TEST_MAIN(TestOddDocuments)
#include "tst_odddocuments.moc"
