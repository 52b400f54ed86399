#include "guitestsupport.h"

#include "guitools/smallclasses.h"
#include "reports/devicesizetablegenerator.h"
#include "reports/smarttexttable.h"
#include "vocabulary/common.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

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

QStringList failedConditions(const orxtest::MessageCapture& capture)
{
    QStringList conditions;
    for (const QString& text : capture.assertions())
        conditions.append(text.section(QStringLiteral("\r\n"), -1));
    return conditions;
}

QStringList numbers(std::initializer_list<int> values)
{
    QStringList list;
    for (int value : values)
        list.append(QString::number(value));
    return list;
}

QTextTable* onlyTable(QTextDocument* document)
{
    const QList<QTextFrame*> frames = document->rootFrame()->childFrames();
    return frames.size() == 1 ? qobject_cast<QTextTable*>(frames.first()) : nullptr;
}

QString textOfCell(QTextTable* table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

// The text of the document from the first block below the table on.
QString textBelow(QTextDocument* document, QTextTable* table)
{
    QTextCursor cursor(document);
    cursor.setPosition(table->lastPosition() + 1);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

const QString captionDn = QStringLiteral("Номинальный диаметр DN, мм");
const QString captionL = QStringLiteral("Строительная длина L, мм");
const QString captionH = QStringLiteral("Высота Н, мм, не более");
const QString captionH1 = QStringLiteral("Размер Н1, мм, не более");
const QString captionMass = QStringLiteral("Масса, кг, не более");

const QString notesLmr1 =
    QStringLiteral("\n\nДлина импульсной трубки:\n  • DN 15-150: 1 м\n  • DN 200-300: 2 м\n"
                   "Длина отводящей трубки:\n  • DN 15-300: 0,4 - 0,5 м\n");
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
    void tableShape_data();
    void tableShape();
    void typesWithoutData_data();
    void typesWithoutData();
    void notes_data();
    void notes();
    void reportForm_data();
    void reportForm();
    void labelForm_data();
    void labelForm();
};

void TestDeviceSizeTable::tableShape_data()
{
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<int>("diameters");
    QTest::addColumn<bool>("withH1");
    QTest::addColumn<QStringList>("samples"); // "<row caption>:<DN>=<value>"

    const auto samples = [](std::initializer_list<const char*> items) {
        QStringList list;
        for (const char* item : items)
            list.append(QString::fromUtf8(item));
        return list;
    };
    QTest::newRow("ЛМК-3") << int(common::dtLMK3) << 14 << true
                           << samples({"Высота Н, мм, не более:300=1420", "Размер Н1, мм, не более:50=100",
                                       "Масса, кг, не более:300=390"});
    QTest::newRow("ЛМР-1") << int(common::dtLMR1) << 14 << true
                           << samples({"Высота Н, мм, не более:15=465", "Размер Н1, мм, не более:250=1368",
                                       "Масса, кг, не более:100=40"});
    QTest::newRow("ЛМК-П") << int(common::dtLMKP) << 14 << true
                           << samples({"Высота Н, мм, не более:25=380", "Размер Н1, мм, не более:80=395",
                                       "Масса, кг, не более:15=6"});
    QTest::newRow("ЛМР-Д") << int(common::dtLMRD) << 14 << true
                           << samples({"Высота Н, мм, не более:125=760", "Размер Н1, мм, не более:300=1350",
                                       "Масса, кг, не более:200=170"});
    QTest::newRow("ЛМР-2-П: DN 15-100, no Н1")
        << int(common::dtLMR2P) << 9 << false
        << samples({"Строительная длина L, мм:100=350", "Высота Н, мм, не более:100=720",
                    "Масса, кг, не более:15=11", "Масса, кг, не более:100=42"});
    QTest::newRow("ЛМК-2") << int(common::dtLMK2) << 14 << true
                           << samples({"Высота Н, мм, не более:15=340", "Размер Н1, мм, не более:200=600",
                                       "Масса, кг, не более:300=290"});
}

void TestDeviceSizeTable::tableShape()
{
    QFETCH(int, deviceType);
    QFETCH(int, diameters);
    QFETCH(bool, withH1);
    QFETCH(QStringList, samples);

    orxtest::MessageCapture capture;
    const QList<QStringList> rows = recordedRows(deviceType);
    QCOMPARE(capture.count(), 0);

    QStringList captions{captionDn, captionL, captionH};
    if (withH1)
        captions.append(captionH1);
    captions.append(captionMass);
    QCOMPARE(rows.size(), captions.size());
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows.at(i).size(), diameters + 1);
        QCOMPARE(rows.at(i).first(), captions.at(i));
    }

    // Every series shares the diameters and overall lengths from DN 15 upwards.
    const QStringList dn = numbers({15, 20, 25, 32, 40, 50, 65, 80, 100, 125, 150, 200, 250, 300});
    const QStringList length =
        numbers({130, 150, 160, 180, 200, 230, 290, 310, 350, 400, 480, 600, 730, 850});
    QCOMPARE(rows.at(0).mid(1), dn.mid(0, diameters));
    QCOMPARE(rows.at(1).mid(1), length.mid(0, diameters));

    for (const QString& sample : samples) {
        const int row = captions.indexOf(sample.section(QLatin1Char(':'), 0, 0));
        const int column =
            rows.at(0).indexOf(sample.section(QLatin1Char(':'), 1).section(QLatin1Char('='), 0, 0));
        QVERIFY2(row > 0 && column > 0, qPrintable(sample));
        QCOMPARE(rows.at(row).at(column), sample.section(QLatin1Char('='), 1));
    }
}

void TestDeviceSizeTable::typesWithoutData_data()
{
    QTest::addColumn<int>("deviceType");

    QTest::newRow("ЛМР-1-01") << int(common::dtLMR101);
    QTest::newRow("no device") << int(common::dtEmpty);
    QTest::newRow("flow meter") << int(common::dtLMF);
    QTest::newRow("unknown code") << 999;
}

void TestDeviceSizeTable::typesWithoutData()
{
    QFETCH(int, deviceType);

    orxtest::MessageCapture capture;
    const DeviceSizeTableGenerator generator(deviceType);
    RecordingTable rows;
    generator.fillTable(rows);
    QVERIFY(rows.rows.isEmpty());
    QCOMPARE(failedConditions(capture), QStringList{QStringLiteral("0")});
    QVERIFY(generator.notes(true).isEmpty());

    // The report then shows one empty row.
    capture.clear();
    DeviceSizeTableGenerator report(deviceType);
    QTextDocument* document = report.generateDocument(10);
    QCOMPARE(failedConditions(capture), QStringList{QStringLiteral("0")});
    QTextTable* table = onlyTable(document);
    QVERIFY(table);
    QCOMPARE(table->rows(), 1);
    QCOMPARE(table->columns(), 15);
    QVERIFY(document->toPlainText().trimmed().isEmpty());
}

void TestDeviceSizeTable::notes_data()
{
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<bool>("html");
    QTest::addColumn<QString>("expected");

    const QString br = QStringLiteral("<br>");
    QTest::newRow("ЛМР-1 report") << int(common::dtLMR1) << false << notesLmr1;
    QTest::newRow("ЛМР-1 label") << int(common::dtLMR1) << true
                                 << QString(notesLmr1).replace(QLatin1Char('\n'), br);
    QTest::newRow("ЛМР-2-П report") << int(common::dtLMR2P) << false << notesLmr2p;
    QTest::newRow("ЛМР-Д report: thread G½ наружная") << int(common::dtLMRD) << false << notesLmrd;
    QTest::newRow("ЛМР-Д label") << int(common::dtLMRD) << true
                                 << QString(notesLmrd).replace(QLatin1Char('\n'), br);
    QTest::newRow("ЛМК-2 has none") << int(common::dtLMK2) << true << QString();
}

void TestDeviceSizeTable::notes()
{
    QFETCH(int, deviceType);
    QFETCH(bool, html);
    QFETCH(QString, expected);

    orxtest::MessageCapture capture;
    QCOMPARE(DeviceSizeTableGenerator(deviceType).notes(html), expected);
    QCOMPARE(capture.count(), 0);
}

void TestDeviceSizeTable::reportForm_data()
{
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<bool>("atCursor");
    QTest::addColumn<int>("pointSize");

    // The reports ask for 10 points: the cells and the notes below take the size
    // asked for, not the 11 points of the other report tables.
    QTest::newRow("ЛМР-2-П: 4 rows, 10 columns")
        << int(common::dtLMR2P) << 4 << 10 << notesLmr2p << false << 10;
    QTest::newRow("ЛМР-1") << int(common::dtLMR1) << 5 << 15 << notesLmr1 << false << 10;
    QTest::newRow("ЛМР-Д after a heading") << int(common::dtLMRD) << 5 << 15 << notesLmrd << true << 10;
    QTest::newRow("ЛМР-Д at 14 points") << int(common::dtLMRD) << 5 << 15 << notesLmrd << false << 14;
    QTest::newRow("ЛМК-2 after a heading") << int(common::dtLMK2) << 5 << 15 << QString() << true << 10;
}

void TestDeviceSizeTable::reportForm()
{
    QFETCH(int, deviceType);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QString, notes);
    QFETCH(bool, atCursor);
    QFETCH(int, pointSize);

    // A report writes the table into its own document at its cursor.
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

    QTextTable* table = onlyTable(document);
    QVERIFY(table);
    QCOMPARE(table->rows(), rows);
    QCOMPARE(table->columns(), columns);
    QCOMPARE(table->format().border(), 1.0);
    QCOMPARE(table->format().cellPadding(), 1.0);

    // The table holds what the generator writes, cell for cell.
    const QList<QStringList> written = recordedRows(deviceType);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            QCOMPARE(textOfCell(table, row, column), written.at(row).at(column));
    }
    for (const QTextTableCell& cell : {table->cellAt(0, 0), table->cellAt(rows - 1, columns - 1)}) {
        QTextCursor inCell = cell.firstCursorPosition();
        inCell.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(inCell.charFormat().fontFamily(), QStringLiteral("Calibri"));
        QCOMPARE(inCell.charFormat().fontPointSize(), qreal(pointSize));
    }

    QCOMPARE(textBelow(document, table), notes);
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    QVERIFY(!end.currentTable());
    QCOMPARE(end.blockFormat().alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    if (notes.isEmpty())
        return;
    // The format of the last character of the notes.
    QCOMPARE(end.charFormat().fontFamily(), QStringLiteral("Calibri"));
    QCOMPARE(end.charFormat().fontPointSize(), qreal(pointSize));
    QCOMPARE(end.charFormat().fontWeight(), int(QFont::Normal));
    QVERIFY(!end.charFormat().fontItalic());
}

void TestDeviceSizeTable::labelForm_data()
{
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");

    QTest::newRow("ЛМР-2-П") << int(common::dtLMR2P) << 4 << 10;
    QTest::newRow("ЛМР-Д") << int(common::dtLMRD) << 5 << 15;
    QTest::newRow("ЛМК-3") << int(common::dtLMK3) << 5 << 15;
}

void TestDeviceSizeTable::labelForm()
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
    QVERIFY(html.startsWith(QStringLiteral("<table border=\".5\", cellspacing=\"0\" cellpadding=\"1\"><tr>"
                                           "<td align=\"left\">Номинальный диаметр DN, мм</td>"
                                           "<td align=\"right\">15</td>")));
    QVERIFY(html.endsWith(QStringLiteral("</table>") + generator.notes(true)));
    QCOMPARE(html.count(QStringLiteral("<tr>")), rows);
    QVERIFY(html.contains(QStringLiteral("<td align=\"left\">Масса, кг, не более</td>")));

    // What the label shows: the table of the series as rich text.
    QTextDocument shown;
    shown.setHtml(html);
    const QList<QTextFrame*> frames = shown.rootFrame()->childFrames();
    QCOMPARE(frames.size(), 1);
    auto* table = qobject_cast<QTextTable*>(frames.first());
    QVERIFY(table);
    QCOMPARE(table->rows(), rows);
    QCOMPARE(table->columns(), columns);
    const QList<QStringList> written = recordedRows(deviceType);
    QCOMPARE(textOfCell(table, rows - 1, columns - 1), written.last().last());
}

ORX_GUI_TEST_MAIN(TestDeviceSizeTable)
#include "tst_devicesizetable.moc"
