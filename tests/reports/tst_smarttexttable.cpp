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

// The conditions of the reported assertions ("ASSERT at <where>\r\n<condition>").
QStringList failedConditions(const orxtest::MessageCapture& capture)
{
    QStringList conditions;
    for (const QString& text : capture.assertions())
        conditions.append(text.section(QStringLiteral("\r\n"), -1));
    return conditions;
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
    void htmlTable_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("row");

        QTest::newRow("caption left, values right")
            << texts({"a", "b", "c"})
            << QStringLiteral(
                   "<tr><td align=\"left\">a</td><td align=\"right\">b</td><td align=\"right\">c</td></tr>");
        QTest::newRow("no cells") << QStringList() << QStringLiteral("<tr></tr>");
        // Cell texts are rich text of their own and are neither escaped nor parsed;
        // a "%1" in a cell is not a placeholder either.
        QTest::newRow("cell text goes in unchanged")
            << texts({"D<sub>y</sub>, &laquo;L&raquo;", "Масса|кг", "%1 %2"})
            << QStringLiteral("<tr><td align=\"left\">D<sub>y</sub>, &laquo;L&raquo;</td>"
                              "<td align=\"right\">Масса|кг</td><td align=\"right\">%1 %2</td></tr>");
    }

    void htmlTable()
    {
        QFETCH(QStringList, cells);
        QFETCH(QString, row);

        QString html = QStringLiteral("<p>Размеры</p>");
        HtmlTextTable table(&html);
        table.begin();
        table.addValues(cells);
        table.end();
        QCOMPARE(html,
                 QStringLiteral("<p>Размеры</p><table border=\".5\", cellspacing=\"0\" cellpadding=\"1\">") +
                     row + QStringLiteral("</table>"));
    }

    void columnWidths_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<QList<qreal>>("percentages");
        QTest::addColumn<int>("cellsAfter");   // a row written afterwards resizes the table
        QTest::addColumn<QString>("expected"); // one entry per column: percentage or "v"

        QTest::newRow("one width per column") << 4 << QList<qreal>{16, 54, 17, 13} << 4 << "16 54 17 13";
        QTest::newRow("fewer widths, then a narrower row") << 4 << QList<qreal>{20} << 1 << "20";
        QTest::newRow("fewer widths, then a wider row") << 2 << QList<qreal>{20} << 5 << "20 v v v v";
        QTest::newRow("more widths than columns") << 2 << QList<qreal>{10, 20, 70} << 3 << "10 20 20";
    }

    void columnWidths()
    {
        QFETCH(int, columns);
        QFETCH(QList<qreal>, percentages);
        QFETCH(int, cellsAfter);
        QFETCH(QString, expected);

        orxtest::MessageCapture capture;
        QTextDocument document;
        QTextCursor cursor(&document);
        SmartTextTable table(cursor.insertTable(2, columns, SmartTextTable::tableFormat(true, 1)));
        table.setColumnWidths(percentages);
        const bool fits = percentages.count() == columns;
        QCOMPARE(failedConditions(capture), fits ? QStringList() : texts({"percentages.count() == columns"}));
        QCOMPARE(table.table()->format().border(), 1.0);

        // The toolkit keeps the widths in step with the columns when a row resizes the table.
        table.addValues(numberedRow(0, cellsAfter));
        QStringList widths;
        for (const QTextLength& width : table.table()->format().columnWidthConstraints())
            widths << (width.type() == QTextLength::PercentageLength ? QString::number(width.rawValue())
                                                                     : QStringLiteral("v"));
        QCOMPARE(widths.join(QLatin1Char(' ')), expected);
        QCOMPARE(reporttest::cellText(table.table()->cellAt(0, cellsAfter - 1)),
                 numberedRow(0, cellsAfter).last());
    }

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
        QTest::newRow("plain text, one style") << QStringLiteral("Расход") << 1 << false << false << 0
                                               << texts({"0Расход"}) << 50 << 11.0 << none;
        QTest::newRow("name and unit: unit in italics after a blank")
            << QStringLiteral("Расход|м³/ч") << 1 << false << false << 0 << texts({"0Расход", "1 м³/ч"}) << 50
            << 11.0 << none;
        QTest::newRow("italic cell with unit reads as one run")
            << QStringLiteral("Примечание|см.") << 1 << false << true << 0 << texts({"1Примечание см."}) << 50
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
        QCOMPARE(failedConditions(capture), assertions);

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
        QTest::newRow("10 cells narrow a 15-column table") << 15 << 3 << 10 << 2 << 10 << QStringList();
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

        QCOMPARE(failedConditions(capture), assertions);
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

    void seek_data()
    {
        QTest::addColumn<int>("prepared");
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("rowsLeft");
        QTest::addColumn<bool>("inOuterCell");

        QTest::newRow("3 of 10 written") << 10 << 3 << 3 << false;
        QTest::newRow("nothing written leaves one empty row") << 10 << 0 << 1 << false;
        QTest::newRow("every row written") << 4 << 4 << 4 << false;
        // The dimension table of a report sits in a cell of the frame's table.
        QTest::newRow("inside a cell of another table") << 25 << 4 << 4 << true;
    }

    void seek()
    {
        QFETCH(int, prepared);
        QFETCH(int, written);
        QFETCH(int, rowsLeft);
        QFETCH(bool, inOuterCell);

        orxtest::MessageCapture capture;
        QTextDocument document;
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("До таблицы"));
        cursor.insertBlock();
        QTextTable* outer = inOuterCell ? cursor.insertTable(1, 2) : nullptr;
        if (outer)
            cursor = outer->cellAt(0, 1).firstCursorPosition();
        SmartTextTable table(cursor.insertTable(prepared, 2));
        for (int row = 0; row < written; ++row)
            table.addValues(numberedRow(row, 2));

        QTextCursor below = table.seek();
        QCOMPARE(capture.count(), 0);
        QCOMPARE(table.table()->rows(), rowsLeft);
        for (int row = 0; row < written; ++row)
            QCOMPARE(reporttest::cellText(table.table()->cellAt(row, 1)), numberedRow(row, 2).at(1));
        QVERIFY(reporttest::cellText(table.table()->cellAt(rowsLeft - 1, 0)) ==
                (written ? numberedRow(rowsLeft - 1, 2).at(0) : QString()));

        // The document goes on in the block right after the table's last row.
        QCOMPARE(below.currentTable(), outer);
        below.insertText(QStringLiteral("После таблицы"));
        QCOMPARE(below.block().text(), QStringLiteral("После таблицы"));
        QCOMPARE(QTextCursor(below.block().previous()).currentTable(), table.table());
        QCOMPARE(document.begin().text(), QStringLiteral("До таблицы"));
    }
};

ORX_GUI_TEST_MAIN(TestSmartTextTable)
#include "tst_smarttexttable.moc"
