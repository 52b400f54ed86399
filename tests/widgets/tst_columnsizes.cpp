#include "gentools/errorhandle.h"
#include "guitestsupport.h"
#include "guitools/columnsizes.h"

#include <QHeaderView>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>

namespace {

const QString kPrefix = QStringLiteral("ValveResults");

// Columns: "DN", "Kv\nрасч." (two header lines), an untitled one, "Скорость"
// (hidden), "Примечание".
QStandardItemModel* makeModel(QObject* parent)
{
    auto* model = new QStandardItemModel(3, 5, parent);
    model->setHorizontalHeaderLabels({QStringLiteral("DN"), QStringLiteral("Kv\nрасч."), QString(),
                                      QStringLiteral("Скорость"), QStringLiteral("Примечание")});
    return model;
}

QSettings* store()
{
    return SmartSettings::data(SmartSettings::Global);
}

} // namespace

class TestColumnSizes : public QObject
{
    Q_OBJECT

    QTableView* m_view = nullptr;

private slots:
    void initTestCase() { geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log")); }
    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    void init()
    {
        store()->clear();
        m_view = new QTableView;
        m_view->horizontalHeader()->setStretchLastSection(false);
        m_view->setModel(makeModel(m_view));
        m_view->setColumnHidden(3, true);
    }

    void cleanup()
    {
        delete m_view;
        m_view = nullptr;
    }

    void keys_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("key");
        QTest::newRow("plain") << QStringLiteral("DN") << QStringLiteral("ColumnSizes/P/DN");
        QTest::newRow("line feed") << QStringLiteral("Kv\nрасч.") << QStringLiteral("ColumnSizes/P/Kv расч.");
        QTest::newRow("CR LF is one blank")
            << QStringLiteral("Kv\r\nрасч.") << QStringLiteral("ColumnSizes/P/Kv расч.");
        QTest::newRow("two breaks") << QStringLiteral("a\nb\nc") << QStringLiteral("ColumnSizes/P/a b c");
    }

    void keys()
    {
        QFETCH(QString, header);
        QFETCH(QString, key);
        QCOMPARE(columnSizeKey(QStringLiteral("P"), header), key);
    }

    // Only titled, visible columns are kept; a column with nothing stored keeps
    // its width.
    void saveThenRestore()
    {
        orxtest::MessageCapture capture;
        const QList<int> saved{61, 72, 83, 94, 105};
        for (int column = 0; column < saved.size(); ++column)
            m_view->setColumnWidth(column, saved.at(column));
        saveOrRestoreColumnSizes(true, m_view, kPrefix);
        store()->beginGroup(QStringLiteral("ColumnSizes/ValveResults"));
        QCOMPARE(store()->childKeys(), (QStringList{QStringLiteral("DN"), QStringLiteral("Kv расч."),
                                                    QStringLiteral("Примечание")}));
        store()->endGroup();
        QCOMPARE(store()->value(QStringLiteral("ColumnSizes/ValveResults/Kv расч.")).toInt(), 72);
        store()->remove(QStringLiteral("ColumnSizes/ValveResults/Примечание"));

        for (int column = 0; column < saved.size(); ++column)
            m_view->setColumnWidth(column, 50 + column);
        saveOrRestoreColumnSizes(false, m_view, kPrefix);
        const QList<int> restored{m_view->columnWidth(0), m_view->columnWidth(1), m_view->columnWidth(2),
                                  m_view->columnWidth(4)};
        QCOMPARE(restored, (QList<int>{61, 72, 52, 54}));
        QVERIFY(m_view->isColumnHidden(3));
        QCOMPARE(capture.count(), 0);
    }

    void restoreSkipsStretchingColumns()
    {
        store()->setValue(QStringLiteral("ColumnSizes/ValveResults/DN"), 61);
        store()->setValue(QStringLiteral("ColumnSizes/ValveResults/Примечание"), 94);
        m_view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
        m_view->horizontalHeader()->setStretchLastSection(true);
        m_view->resize(800, 300);
        const int stretched = m_view->columnWidth(0);
        const int last = m_view->columnWidth(4);
        QVERIFY(last != 94);
        saveOrRestoreColumnSizes(false, m_view, kPrefix);
        QCOMPARE(m_view->columnWidth(0), stretched);
        QCOMPARE(m_view->columnWidth(4), last);
        QCOMPARE(m_view->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    }

    void restoreIgnoresUnusableValues_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("text") << QVariant(QStringLiteral("wide"));
        QTest::newRow("zero would hide the column") << QVariant(0);
        QTest::newRow("negative") << QVariant(-5);
    }

    void restoreIgnoresUnusableValues()
    {
        QFETCH(QVariant, stored);
        store()->setValue(QStringLiteral("ColumnSizes/ValveResults/DN"), stored);
        m_view->setColumnWidth(0, 44);
        saveOrRestoreColumnSizes(false, m_view, kPrefix);
        QCOMPARE(m_view->columnWidth(0), 44);
    }

    void prefixesKeepViewsApart()
    {
        m_view->setColumnWidth(0, 61);
        saveOrRestoreColumnSizes(true, m_view, QStringLiteral("A"));
        m_view->setColumnWidth(0, 33);
        saveOrRestoreColumnSizes(true, m_view, QStringLiteral("B"));
        saveOrRestoreColumnSizes(false, m_view, QStringLiteral("A"));
        QCOMPARE(m_view->columnWidth(0), 61);
    }

    void misuseIsReported()
    {
        orxtest::MessageCapture capture;
        saveOrRestoreColumnSizes(true, nullptr, kPrefix);
        QTableView empty;
        saveOrRestoreColumnSizes(false, &empty, kPrefix);
        const QStringList reports = capture.assertions();
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].contains(QStringLiteral(", saveOrRestoreColumnSizes(), row ")));
        QVERIFY(reports[0].endsWith(QStringLiteral("\r\nview")));
        QVERIFY(reports[1].endsWith(QStringLiteral("\r\nview->model()")));
        QVERIFY(store()->allKeys().isEmpty());
    }
};

ORX_GUI_TEST_MAIN(TestColumnSizes)
#include "tst_columnsizes.moc"
