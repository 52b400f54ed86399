// The equipment schedule: the order of position marks, duplicated marks, the
// figures' cell texts and the CSV bytes.

#include "project/equipmentschedule.h"
#include "project/schedulefile.h"
#include "testsupport.h"

#include <limits>

namespace {

// Marks as given, separated by "|", and as ordered; "+" marks a part ordered with the row before it.
// clang-format off
const struct { const char* name; const char* given; const char* ordered; } kOrders[] = {
    {"digit runs by value", "РК10|РК2|РК1", "РК1|РК2|РК10"},
    {"sub-position between its position and the next", "РК2|РК1.1|РК1|РК1.10|РК1.2", "РК1|РК1.1|РК1.2|РК1.10|РК2"},
    {"letters without case", "рк2|РК1|Рд1|РК3", "Рд1|РК1|рк2|РК3"},
    {"a digit before a letter at the first difference", "РКА|РК1|А1|РК|1А", "1А|А1|РК|РК1|РКА"},
    {"runs longer than any integer", "Р100000000000000000000|Р99999999999999999999", "Р99999999999999999999|Р100000000000000000000"},
    {"outer blanks ignored", "РК10| РК2 |РК1", "РК1| РК2 |РК10"},
    {"rows without a mark last", "|РК2| |РК1", "РК1|РК2|| "},
    {"a part under its row whatever its mark", "РК2|+РК2.1|РК2-2|+РК2-2.1|РК1|+Д|+А|+Я", "РК1|+Д|+А|+Я|РК2|+РК2.1|РК2-2|+РК2-2.1"},
    {"a part of no row before it is a row", "+РК2|РК1", "РК1|+РК2"},
    // Past a handful of rows a sort that is not stable mixes equal marks up.
    {"equal marks keep their order", "Р2|р1|Р1|р2|Р2|р1|Р1|р2|Р2|р1|Р1|р2|Р2|р1|Р1|р2|Р2|р1|Р1|р2|Р2|р1|Р1|р2",
     "р1|Р1|р1|Р1|р1|Р1|р1|Р1|р1|Р1|р1|Р1|Р2|р2|Р2|р2|Р2|р2|Р2|р2|Р2|р2|Р2|р2"},
};

// Marks and, per row, whether it is flagged as a duplicate.
const struct { const char* name; const char* marks; const char* flags; } kDuplicates[] = {
    {"a mark given twice", "РК1|РК2|РК1", "101"},
    {"case and leading zeros make the same mark", "РК1|рк01|РК10", "110"},
    {"a sub-position is its own mark", "РК1|РК1.1|РК11", "000"},
    {"rows without a mark are not duplicates", "| |РК1", "000"},
    {"three of one mark", "РД1|РК1|РД1|РД1", "1011"},
};

const double nan = std::numeric_limits<double>::quiet_NaN();

// The texts "mass|quantity".
const struct { const char* name; double mass; int quantity; const char* text; } kFigures[] = {
    {"decimal comma", 12.5, 2, "12,5|2"},
    {"whole mass without decimals", 120, 999, "120|999"},
    {"shortest form of a fraction", 0.1 + 0.2, 1, "0,30000000000000004|1"},
    {"small mass not in exponent form", 0.00001, 1, "0,00001|1"},
    {"no mass, no quantity", nan, 0, "|"},
    {"infinite mass and negative quantity are empty", std::numeric_limits<double>::infinity(), -3, "|"},
    {"negative zero", -0.0, 1, "0|1"},
};
// clang-format on

EquipmentSchedule withMarks(const char* marks)
{
    EquipmentSchedule schedule;
    const QStringList list = QString::fromUtf8(marks).split(QLatin1Char('|'));
    for (const QString& mark : list) {
        const bool part = mark.startsWith(QLatin1Char('+'));
        schedule.rows.append({mark.mid(part ? 1 : 0), {}, {}, {}, {}, {}, 1, 1, {}, part});
    }
    return schedule;
}

using orxtest::u8;

// Quotes, separators, line breaks, outer blanks and every start of a formula.
// clang-format off
EquipmentSchedule csvSample()
{
    EquipmentSchedule schedule;
    schedule.details.objectName = u8("ИТП-1"); // not in the table
    schedule.rows = {
        {u8("РК1"), u8("Клапан; седельный \"ЛМК\""), u8("ЛМК-2 DN 50"), {}, u8("Оримакс"), u8("шт."), 2, 12.5, {}},
        {u8("РК1.1"), u8("=HYPERLINK(\"http://x\")"), u8("+7 495"), u8("-1"), u8("@SUM(A1)"), u8("шт."), 1, nan, u8("первая строка\r\nвторая")},
        {u8(" РК2"), u8("\tтабуляция"), u8("конец "), u8("  =cmd"), u8("\rвозврат"), {}, 0, 3, u8("a'b")},
    };
    return schedule;
}
// clang-format on

const char kCsvSample[] =
    "\xEF\xBB\xBF"
    "Поз.;Наименование и техническая характеристика;Тип, марка, обозначение документа, опросного листа;"
    "Код продукции;Поставщик;Ед. измерения;Кол.;Масса 1 ед., кг;Примечание\r\n"
    "РК1;\"Клапан; седельный \"\"ЛМК\"\"\";ЛМК-2 DN 50;;Оримакс;шт.;2;12,5;\r\n"
    "РК1.1;\"'=HYPERLINK(\"\"http://x\"\")\";'+7 495;'-1;'@SUM(A1);шт.;1;;\"первая строка\r\nвторая\"\r\n"
    "\" РК2\";'\tтабуляция;\"конец \";'  =cmd;\"'\rвозврат\";;;3;a'b\r\n";

} // namespace

class TestSchedule : public QObject
{
    Q_OBJECT

private slots:
    void naturalOrder_data() { tableRows(kOrders); }
    void naturalOrder()
    {
        ORX_ROW(kOrders);
        EquipmentSchedule schedule = withMarks(row.given);
        schedule.sortByPosition();
        QStringList marks;
        for (const ScheduleRow& r : schedule.rows)
            marks << (r.partOfRowBefore ? u8("+") : QString()) + r.position;
        QCOMPARE(marks.join(QLatin1Char('|')), QString::fromUtf8(row.ordered));
    }

    void duplicates_data() { tableRows(kDuplicates); }
    void duplicates()
    {
        ORX_ROW(kDuplicates);
        QString flags;
        for (bool duplicated : withMarks(row.marks).duplicatedPositions())
            flags += QLatin1Char(duplicated ? '1' : '0');
        QCOMPARE(flags, QString::fromUtf8(row.flags));
    }

    void figureTexts_data() { tableRows(kFigures); }
    void figureTexts()
    {
        ORX_ROW(kFigures);
        QCOMPARE(scheduleMassText(row.mass) + QLatin1Char('|') + scheduleQuantityText(row.quantity),
                 QString::fromUtf8(row.text));
    }

    void csvBytes()
    {
        QCOMPARE(scheduleCsv(csvSample()), QByteArray(kCsvSample));
        // An empty schedule is the header row alone.
        const QByteArray empty = scheduleCsv(EquipmentSchedule());
        QCOMPARE(empty, QByteArray(kCsvSample).left(QByteArray(kCsvSample).indexOf("\r\n") + 2));
    }

    // A writer that fails half way keeps the earlier file, says so, and leaves nothing beside it (one that
    // succeeds: the exports of the schedule).
    void halfWrittenKeepsTheEarlierFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("таблица.csv"));
        QVERIFY(orxtest::writeFile(path, "earlier"));
        QString error;
        QVERIFY(!saveWholeFile(
            path, [](QIODevice* file) { return file->write("half"), false; }, &error));
        QCOMPARE(orxtest::readFile(path), QByteArray("earlier"));
        QCOMPARE(error, QStringLiteral("Не удалось сохранить файл \"%1\": файл записан не полностью")
                            .arg(QDir::toNativeSeparators(path)));
        QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("таблица.csv")});
    }
};

ORX_CORE_TEST_MAIN(TestSchedule)
#include "tst_schedule.moc"
