#include "guitestsupport.h"
#include "tst_pdfgenerator_reader.h"

#include "reports/smarttexttable.h"

#include <QTextBlock>

namespace {

QStringList texts(std::initializer_list<const char*> items)
{
    QStringList list;
    for (const char* item : items)
        list.append(QString::fromUtf8(item));
    return list;
}

QStringList numberedRow(int row, int cells)
{
    QStringList list;
    for (int i = 0; i < cells; ++i)
        list.append(QStringLiteral("r%1c%2").arg(row).arg(i));
    return list;
}

} // namespace

class TestSmartTextTable : public QObject
{
    Q_OBJECT
private slots:
    void cellText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<QStringList>("fragments"); // "1" prefix: italic
        QTest::addColumn<int>("weight");
        QTest::addColumn<qreal>("size");
        QTest::addColumn<QStringList>("assertions");

        const QStringList none;
        QTest::newRow("name and unit: unit in italics after a blank")
            << QStringLiteral("Расход|м³/ч") << 1 << false << false << 0 << texts({"0Расход", "1 м³/ч"}) << 50
            << 11.0 << none;
        QTest::newRow("bold at its own size") << QStringLiteral("Габаритные размеры") << 0 << true << false
                                              << 14 << texts({"0Габаритные размеры"}) << 75 << 14.0 << none;
        QTest::newRow("two bars: reported, first two parts written")
            << QStringLiteral("a|b|c") << 1 << false << false << 0 << texts({"0a", "1 b"}) << 50 << 11.0
            << texts({"list.count() > 0 && list.count() <= 2"});
        QTest::newRow("column outside the table: nothing written")
            << QStringLiteral("вне") << 2 << false << false << 0 << none << 50 << 11.0
            << texts({"cell.isValid()"});
    }

    void cellText()
    {
        QFETCH(QString, text);
        QFETCH(int, column);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(int, pointSize);
        QFETCH(QStringList, fragments);
        QFETCH(int, weight);
        QFETCH(qreal, size);
        QFETCH(QStringList, assertions);

        orxtest::MessageCapture capture;
        QTextDocument document;
        QTextCursor cursor(&document);
        SmartTextTable table(cursor.insertTable(1, 2));
        table.setCellText(column, text, Qt::AlignHCenter, bold, italic, pointSize);
        QCOMPARE(capture.conditions(), assertions);

        QStringList written;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                written.append((format.fontItalic() ? QStringLiteral("1") : QStringLiteral("0")) +
                               it.fragment().text());
                QCOMPARE(format.fontFamily(), QStringLiteral("Calibri"));
                QCOMPARE(format.fontWeight(), weight);
                QCOMPARE(format.fontPointSize(), size);
                QCOMPARE(block.blockFormat().alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
                QCOMPARE(table.table()->cellAt(block.position()).column(), column);
            }
        }
        QCOMPARE(written, fragments);
    }

    void addValues_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("prepared");
        QTest::addColumn<int>("cells");
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("columnsAfter");
        QTest::addColumn<QStringList>("assertions");

        QTest::newRow("5 cells widen a 4-column table") << 4 << 3 << 5 << 2 << 5 << QStringList();
        QTest::newRow("row past the last one goes nowhere")
            << 3 << 2 << 3 << 3 << 3 << texts({"!endOfTable()"});
        // Resizing to no columns would take the table out of the document.
        QTest::newRow("empty row keeps the table")
            << 3 << 2 << 0 << 1 << 3 << texts({"l.count() == m_table->columns()"});
    }

    void addValues()
    {
        QFETCH(int, columns);
        QFETCH(int, prepared);
        QFETCH(int, cells);
        QFETCH(int, written);
        QFETCH(int, columnsAfter);
        QFETCH(QStringList, assertions);

        orxtest::MessageCapture capture;
        QTextDocument document;
        QTextCursor cursor(&document);
        SmartTextTable table(cursor.insertTable(prepared, columns));
        table.defaultPointSize = 10;
        for (int row = 0; row < written; ++row)
            table.addValues(numberedRow(row, cells));

        QCOMPARE(capture.conditions(), assertions);
        QCOMPARE(document.rootFrame()->childFrames().size(), 1);
        QCOMPARE(table.row, written);
        QCOMPARE(table.table()->rows(), prepared);
        QCOMPARE(table.table()->columns(), columnsAfter);
        for (int row = 0; row < written; ++row) {
            for (int column = 0; column < cells; ++column) {
                if (row >= prepared) {
                    QVERIFY(!document.toPlainText().contains(numberedRow(row, cells).at(column)));
                    continue;
                }
                QCOMPARE(reporttest::cellText(table.table()->cellAt(row, column)),
                         numberedRow(row, cells).at(column));
                const QTextCursor at = table.table()->cellAt(row, column).lastCursorPosition();
                const Qt::Alignment side = column == 0 ? Qt::AlignLeft : Qt::AlignRight;
                QCOMPARE(at.blockFormat().alignment(), side | Qt::AlignVCenter);
                QCOMPARE(at.charFormat().fontPointSize(), 10.0);
                QCOMPARE(at.charFormat().fontWeight(), int(QFont::Normal));
                QVERIFY(!at.charFormat().fontItalic());
            }
        }
    }
};

ORX_GUI_TEST_MAIN(TestSmartTextTable)
#include "tst_smarttexttable.moc"
