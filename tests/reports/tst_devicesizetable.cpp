#include "guitestsupport.h"
#include "tst_pdfgenerator_reader.h"

#include "guitools/smallclasses.h"
#include "reports/devicesizetablegenerator.h"
#include "reports/smarttexttable.h"
#include "vocabulary/common.h"

#include <memory>

namespace {

// Keeps every row handed to it.
class RecordingTable : public TextTable
{
public:
    void addValues(const QStringList& cells) override { rows.append(cells); }
    QList<QStringList> rows;
};

QList<QStringList> recordedRows(int deviceType)
{
    RecordingTable table;
    DeviceSizeTableGenerator(deviceType).fillTable(table);
    return table.rows;
}

QTextTable* onlyTable(const QTextDocument& document)
{
    const QList<QTextTable*> tables = reporttest::topTables(document);
    return tables.size() == 1 && document.rootFrame()->childFrames().size() == 1 ? tables.first() : nullptr;
}

const QString notesLmr2p = QStringLiteral("\n\nДлина импульсной трубки:\n  • DN 15-100: 1 м\n"
                                          "Длина отводящей трубки:\n  • DN 15-100: 0,4 - 0,5 м\n");
const QString notesLmrd = QStringLiteral(
    "\n\nДлина импульсных трубок:\n  • DN 15-150: L1 = 1 м, L2 = 1.5 м\n  • DN 200-300: L1 = L2 = 2 м\n"
    "Присоединительная резьба импульсных трубок к трубопроводам - G½ наружная");

} // namespace

class TestDeviceSizeTable : public QObject
{
    Q_OBJECT
private slots:
    void tableShape_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<int>("diameters");
        QTest::addColumn<QStringList>("samples"); // "<row>:<DN>=<value>", rows counted from DN = 0

        const auto samples = [](const char* items) {
            return QString::fromUtf8(items).split(QLatin1Char(' '));
        };
        QTest::newRow("ЛМК-3") << int(common::dtLMK3) << 14
                               << samples("1:300=850 2:300=1420 3:50=100 4:300=390");
        QTest::newRow("ЛМР-1") << int(common::dtLMR1) << 14 << samples("2:15=465 3:250=1368 4:100=40");
        QTest::newRow("ЛМК-П") << int(common::dtLMKP) << 14 << samples("2:25=380 3:80=395 4:15=6");
        QTest::newRow("ЛМР-Д") << int(common::dtLMRD) << 14 << samples("2:125=760 3:300=1350 4:200=170");
        QTest::newRow("ЛМР-2-П: DN 15-100, no Н1")
            << int(common::dtLMR2P) << 9 << samples("1:100=350 2:100=720 3:15=11 3:100=42");
        QTest::newRow("ЛМК-2") << int(common::dtLMK2) << 14 << samples("2:15=340 3:200=600 4:300=290");
    }

    // Every series has the diameters from DN 15 upwards; one value of each row.
    void tableShape()
    {
        QFETCH(int, deviceType);
        QFETCH(int, diameters);
        QFETCH(QStringList, samples);

        orxtest::MessageCapture capture;
        const QList<QStringList> rows = recordedRows(deviceType);
        QCOMPARE(capture.count(), 0);

        const QStringList dn =
            QStringLiteral("15 20 25 32 40 50 65 80 100 125 150 200 250 300").split(QLatin1Char(' '));
        QCOMPARE(rows.size(), diameters == 9 ? 4 : 5); // no Н1 row for ЛМР-2-П
        for (const QStringList& row : rows)
            QCOMPARE(row.size(), diameters + 1);
        QCOMPARE(rows.at(0).mid(1), dn.mid(0, diameters));

        for (const QString& sample : samples) {
            const int row = sample.section(QLatin1Char(':'), 0, 0).toInt();
            const int column =
                dn.indexOf(sample.section(QLatin1Char(':'), 1).section(QLatin1Char('='), 0, 0)) + 1;
            QCOMPARE(rows.at(row).at(column), sample.section(QLatin1Char('='), 1));
        }
    }

    void typesWithoutData_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::newRow("ЛМР-1-01") << int(common::dtLMR101);
        QTest::newRow("unknown code") << 999;
    }

    // Reported, no rows and no notes; the report then shows one empty row.
    void typesWithoutData()
    {
        QFETCH(int, deviceType);

        orxtest::MessageCapture capture;
        QVERIFY(recordedRows(deviceType).isEmpty());
        QVERIFY(DeviceSizeTableGenerator(deviceType).notes(true).isEmpty());
        DeviceSizeTableGenerator report(deviceType);
        QTextDocument* document = report.generateDocument(10);
        QCOMPARE(capture.conditions(), (QStringList{QStringLiteral("0"), QStringLiteral("0")}));
        QTextTable* table = onlyTable(*document);
        QVERIFY(table);
        QCOMPARE(table->rows(), 1);
        QCOMPARE(table->columns(), 15);
        QVERIFY(document->toPlainText().trimmed().isEmpty());
    }

    void reportForm_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("notes");
        QTest::addColumn<bool>("atCursor");
        QTest::addColumn<int>("pointSize");

        // The reports ask for 10 points, not the 11 of the other report tables.
        QTest::newRow("ЛМР-2-П: 4 rows, 10 columns")
            << int(common::dtLMR2P) << 4 << 10 << notesLmr2p << false << 10;
        QTest::newRow("ЛМР-Д after a heading") << int(common::dtLMRD) << 5 << 15 << notesLmrd << true << 10;
    }

    // The 25 × 15 table is cut to the rows written, at the cursor of the report's
    // own document or in a document of its own, with the notes below it.
    void reportForm()
    {
        QFETCH(int, deviceType);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(QString, notes);
        QFETCH(bool, atCursor);
        QFETCH(int, pointSize);

        QTextDocument report;
        QTextCursor cursor(&report);
        cursor.insertText(QStringLiteral("Габаритные размеры"));
        cursor.insertBlock();

        orxtest::MessageCapture capture;
        DeviceSizeTableGenerator generator(deviceType, atCursor ? cursor : QTextCursor());
        QTextDocument* document = generator.generateDocument(pointSize);
        QCOMPARE(capture.count(), 0);
        QCOMPARE(document == &report, atCursor);
        QCOMPARE(document->begin().text(), atCursor ? QStringLiteral("Габаритные размеры") : QString());

        QTextTable* table = onlyTable(*document);
        QVERIFY(table);
        QCOMPARE(table->rows(), rows);
        QCOMPARE(table->columns(), columns);
        QCOMPARE(table->format().border(), 1.0);
        QCOMPARE(table->format().cellPadding(), 2.0); // room around the digits
        QCOMPARE(reporttest::tableRows(table), recordedRows(deviceType));
        for (const QTextTableCell& cell : {table->cellAt(0, 0), table->cellAt(rows - 1, columns - 1)}) {
            QTextCursor inCell = cell.firstCursorPosition();
            inCell.movePosition(QTextCursor::NextCharacter);
            QCOMPARE(inCell.charFormat().fontFamily(), QStringLiteral("Calibri"));
            QCOMPARE(inCell.charFormat().fontPointSize(), qreal(pointSize));
        }

        QTextCursor end(document);
        end.setPosition(table->lastPosition() + 1);
        end.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        QCOMPARE(end.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')), notes);
        QVERIFY(!end.currentTable());
        QCOMPARE(end.blockFormat().alignment(), Qt::AlignLeft | Qt::AlignVCenter);
        end.clearSelection(); // the notes in the table's font, upright and regular
        QCOMPARE(end.charFormat().fontPointSize(), qreal(pointSize));
        QVERIFY(end.charFormat().fontWeight() == QFont::Normal && !end.charFormat().fontItalic());
    }

    void labelForm_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::newRow("ЛМР-Д") << int(common::dtLMRD) << 5 << 15;
    }

    void labelForm()
    {
        QFETCH(int, deviceType);
        QFETCH(int, rows);
        QFETCH(int, columns);

        orxtest::MessageCapture capture;
        const DeviceSizeTableGenerator generator(deviceType);
        const std::unique_ptr<SmartLabel> label(generator.generateLabel(9));
        QVERIFY(label);
        QCOMPARE(capture.count(), 0);
        QVERIFY(!label->parent());
        QCOMPARE(label->font().pointSize(), 9);

        const QString html = label->text();
        QVERIFY(
            html.startsWith(QStringLiteral("<table border=\".5\", cellspacing=\"0\" cellpadding=\"1\"><tr>"
                                           "<td align=\"left\">Номинальный диаметр DN, мм</td>"
                                           "<td align=\"right\">15</td>")));
        QVERIFY(html.endsWith(QStringLiteral("</table>") + generator.notes(true)));
        QCOMPARE(generator.notes(true),
                 QString(notesLmrd).replace(QLatin1Char('\n'), QStringLiteral("<br>")));

        // What the label shows: the table of the series as rich text.
        QTextDocument shown;
        shown.setHtml(html);
        QTextTable* table = onlyTable(shown);
        QVERIFY(table);
        QCOMPARE(table->rows(), rows);
        QCOMPARE(table->columns(), columns);
        QCOMPARE(reporttest::tableRows(table), recordedRows(deviceType));
    }
};

ORX_GUI_TEST_MAIN(TestDeviceSizeTable)
#include "tst_devicesizetable.moc"
