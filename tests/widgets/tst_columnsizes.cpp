// Column widths kept between sessions under the column's title.

#include "gentools/errorhandle.h"
#include "guitestsupport.h"
#include "guitools/columnsizes.h"

#include <QHeaderView>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>

class TestColumnSizes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log")); }
    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    void keys_data()
    {
        QTest::addColumn<QString>("header");
        QTest::newRow("line feed is a blank") << QStringLiteral("Kv\nрасч.");
        QTest::newRow("CR LF is one blank") << QStringLiteral("Kv\r\nрасч.");
    }
    void keys()
    {
        QFETCH(QString, header);
        QCOMPARE(columnSizeKey(QStringLiteral("P"), header), QStringLiteral("ColumnSizes/P/Kv расч."));
    }

    // Only titled, visible columns are stored; a stored width comes back unless
    // it is unusable or the column stretches to the view.
    void saveAndRestore_data()
    {
        QTest::addColumn<QVariant>("stored"); // null: what the save wrote
        QTest::addColumn<bool>("stretches");
        QTest::addColumn<bool>("restored");
        QTest::newRow("saved width comes back") << QVariant() << false << true;
        QTest::newRow("zero would hide the column: ignored") << QVariant(0) << false << false;
        QTest::newRow("text ignored") << QVariant(QStringLiteral("wide")) << false << false;
        QTest::newRow("stretching column keeps its width") << QVariant() << true << false;
    }
    void saveAndRestore()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, stretches);
        QFETCH(bool, restored);
        orxtest::MessageCapture capture;
        QSettings* store = SmartSettings::data(SmartSettings::Global);
        store->clear();
        QTableView view;
        auto* model = new QStandardItemModel(1, 4, &view);
        model->setHorizontalHeaderLabels({QStringLiteral("Скорость"), QString(), QStringLiteral("Kv\nрасч."),
                                          QStringLiteral("Примечание")});
        view.setModel(model);
        view.setColumnHidden(0, true);
        view.horizontalHeader()->setStretchLastSection(true);
        view.resize(800, 300);
        view.setColumnWidth(2, 61);
        saveOrRestoreColumnSizes(true, &view, QStringLiteral("V"));
        QCOMPARE(store->allKeys(), (QStringList{QStringLiteral("ColumnSizes/V/Kv расч."),
                                                QStringLiteral("ColumnSizes/V/Примечание")}));
        if (!stored.isNull())
            store->setValue(QStringLiteral("ColumnSizes/V/Kv расч."), stored);
        if (stretches)
            view.horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
        view.setColumnWidth(2, 44);
        view.setColumnWidth(3, 55);
        const int before = view.columnWidth(2);
        const int last = view.columnWidth(3);
        saveOrRestoreColumnSizes(false, &view, QStringLiteral("V"));
        QCOMPARE(view.columnWidth(2), restored ? 61 : before);
        QCOMPARE(view.columnWidth(3), last); // the last column stretches
        QVERIFY(view.isColumnHidden(0));
        QCOMPARE(capture.count(), 0);

        saveOrRestoreColumnSizes(true, nullptr, QStringLiteral("V"));
        QCOMPARE(capture.assertions().size(), 1);
    }
};

ORX_GUI_TEST_MAIN(TestColumnSizes)
#include "tst_columnsizes.moc"
