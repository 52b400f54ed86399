// The equipment schedule's exports read back: the XLSX through its XML, the PDF through poppler's tools, the
// layout of the drawing sheets, and what a failed export says and leaves behind.

#include "guitestsupport.h"

#include "project/equipmentschedule.h"
#include "reports/schedulepdfgenerator.h"
#include "reports/schedulexlsx.h"

#include <limits>

namespace {

using orxtest::u8;

using orxtest::captures;
const auto run = orxtest::toolOutput;

ScheduleRow row(const QString& position, const QString& name, int quantity, double mass,
                const QString& note = {})
{
    return {position, name, u8("ЛМК-2"), {}, u8("Оримакс"), u8("шт."), quantity, mass, note};
}

// clang-format off
EquipmentSchedule sample()
{
    EquipmentSchedule schedule;
    schedule.details = {u8("Котельная № 2, ИТП-1"), u8("2024-017-ТМ.СО"), u8("ООО Теплопроект"), u8("Иванов"), u8("Петров"), u8("Сидорова"), u8("Кузнецов"), QDate(2024, 5, 17)};
    schedule.rows = {row(u8("РК1"), u8("Клапан регулирующий ЛМК-2 DN 50"), 2, 12.5),
                     row(u8("РК1.1"), u8("=SUM(A1:A3)"), 1, std::numeric_limits<double>::quiet_NaN(), u8("@привод")),
                     row(u8("РД1"), u8("Регулятор давления; «до себя»"), 0, 7)};
    return schedule;
}
// clang-format on

// Every third name wraps to several lines and its note is one word wider than its cell.
EquipmentSchedule longSchedule(int rows)
{
    EquipmentSchedule schedule = sample();
    schedule.rows.clear();
    for (int i = 0; i < rows; ++i)
        schedule.rows << (i % 3 ? row(QStringLiteral("РК%1").arg(i + 1),
                                      QStringLiteral("Клапан DN %1").arg(i), 1, i)
                                : row(QStringLiteral("РК%1").arg(i + 1), u8("шшш ").repeated(60).trimmed(), 1,
                                      i, QString(90, QChar(0x0416))));
    return schedule;
}

using Export = bool (*)(const EquipmentSchedule&, const QString&, QString*);
const Export kExports[] = {writeScheduleCsv, writeScheduleXlsx, writeSchedulePdf};

// Where an export goes ("*": a name longer than the system takes; "ro/": a
// read-only folder), and the start of the file written or a word of the reason.
// clang-format off
const struct { const char* name; int format; const char* path; bool written; const char* expected; } kSaves[] = {
    {"CSV replaces an earlier file", 0, "s", true, "\xEF\xBB\xBF"},
    {"XLSX replaces an earlier file", 1, "s", true, "PK\x03\x04"},
    {"PDF replaces an earlier file", 2, "s", true, "%PDF-"},
    {"CSV, no such folder", 0, "нет/s", false, "нет папки"},
    {"XLSX, no such folder", 1, "нет/s", false, "нет папки"},
    {"PDF, a folder under the name", 2, "ro", false, "папка"},
    {"XLSX, read-only folder", 1, "ro/s", false, "нет права"},
    {"CSV, a name the system refuses", 0, "*", false, ""},
    {"PDF, a name the system refuses", 2, "*", false, ""},
};

// Rows of n text lines (-n: a part of the row before, as a valve's drive); the sheets they take; the height
// of the first row.
const struct { const char* name; QList<int> lines; int sheets; double firstHeightMm; } kLayouts[] = {
    {"an empty schedule is one sheet", {}, 1, 0},
    {"one line is one step of 8 mm", {1, 1}, 1, 8},
    {"two lines take two steps", {2}, 1, 16},
    {"29 rows fill the first sheet above the full inscription", QVector<int>(29, 1).toList(), 1, 8},
    {"the 30th row starts the second sheet", QVector<int>(30, 1).toList(), 2, 8},
    {"the following sheets take 32 rows above the short inscription", QVector<int>(61, 1).toList(), 2, 8},
    {"and the 62nd row starts the third", QVector<int>(62, 1).toList(), 3, 8},
    {"a row that fits no sheet is split, from where it is", {1, 120, 1}, 3, 8},
    {"a drive that would begin a sheet takes its valve along", QVector<int>(29, 1).toList() << -1, 2, 8},
};
// clang-format on

} // namespace

class TestScheduleExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const char* tool : {"unzip", "pdftotext", "pdfinfo", "pdffonts"})
            if (QStandardPaths::findExecutable(u8(tool)).isEmpty())
                QSKIP("unzip and poppler-utils are needed");
    }

    // The cells (a number as "#value", a text as itself) and the print setup, from the XML.
    void xlsx()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(u8("спецификация.xlsx"));
        EquipmentSchedule schedule = sample();
        schedule.rows << row(u8("Т1"), {}, 1, 1, QString(40000, QChar(0x0436)));
        QString error;
        QVERIFY2(writeScheduleXlsx(schedule, path, &error), qPrintable(error));
        const auto part = [&path](const char* name) { return run("unzip", {u8("-p"), path, u8(name)}); };
        const QString sheet = part("xl/worksheets/sheet1.xml");
        const QStringList cells = orxtest::xlsxCells(path);
        // A text that looks like a formula stays that text, an empty figure a blank cell.
        const QStringList expected =
            u8("A2=РК1\nB2=Клапан регулирующий ЛМК-2 DN 50\nC2=ЛМК-2\nE2=Оримакс\nF2=шт.\n"
               "G2=#2\nH2=#12.5\nB3==SUM(A1:A3)\nH3=#\nI3=@привод\n"
               "B4=Регулятор давления; «до себя»\nG4=#\nH4=#7")
                .split(QLatin1Char('\n'))
            << u8("I5=") + QString(32767, QChar(0x0436)); // as much as a cell holds
        for (const QString& cell : expected)
            QVERIFY2(cells.contains(cell), qPrintable(cell.left(40)));
        const QString headers = cells.mid(0, scheduleColumnCount).join(QLatin1Char('|'));
        QCOMPARE(QString(headers).remove(QRegularExpression(u8("[A-I]1="))),
                 EquipmentSchedule::columnHeaders().join(QLatin1Char('|')));
        QCOMPARE(cells.size(), 5 * scheduleColumnCount);
        QVERIFY(!sheet.contains(u8("<f>")));

        QVERIFY(writeScheduleXlsx(longSchedule(80), path, nullptr));
        const QString print = part("xl/worksheets/sheet1.xml");
        // A3 landscape, one page wide and as long as it takes, the margins of the drawing sheet, the header
        // on every page.
        QCOMPARE(
            captures(print, "<pageSetup paperSize=\"(\\d+)\" fitToHeight=\"(\\d+)\" orientation=\"(\\w+)\""),
            QStringList{u8("8|0|landscape")});
        QCOMPARE(
            captures(
                print,
                "<pageMargins left=\"0.787\\d*\" right=\"0.19\\d*\" top=\"0.19\\d*\" bottom=\"0.19\\d*\"")
                .size(),
            1);
        QVERIFY(part("xl/workbook.xml")
                    .contains(u8("\"_xlnm.Print_Titles\" localSheetId=\"0\">'Спецификация'!$1:$1<")));
        // A width counts characters of 7 pixels at 96 dpi: the columns of the drawing sheet in mm.
        const QStringList widths = captures(print, "<col min=\"\\d+\" max=\"\\d+\" width=\"([\\d.]+)\"");
        QCOMPARE(widths.size(), scheduleColumnCount);
        for (int i = 0; i < scheduleColumnCount; ++i)
            QVERIFY(orxtest::near(widths.at(i).toDouble() * 7 * 25.4 / 96,
                                  EquipmentSchedule::columnWidthsMm().at(i), 0.5));
        // Rows as high as their wrapped text (lines of 15 points), at least 8 mm, the header 15 mm.
        const QStringList heights = captures(print, "<row r=\"\\d+\" spans=\"1:9\" ht=\"([\\d.]+)\"");
        QCOMPARE(heights.size(), 81);
        QVERIFY(heights.first().toDouble() >= 15 * 72 / 25.4 - 0.01);
        for (int i = 1; i < heights.size(); ++i)
            QVERIFY(i % 3 == 1 ? heights.at(i).toDouble() >= 4 * 15
                               : orxtest::near(heights.at(i).toDouble(), 8 * 72 / 25.4, 0.01));
    }

    // A3 landscape, Carlito embedded; on every sheet the header and the inscription filled from
    // the details, the full one first; every row once and in order; every word inside its column.
    void pdf()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(u8("спецификация.pdf"));
        const EquipmentSchedule schedule = longSchedule(70);
        const SchedulePdfGenerator generator(schedule);
        const int sheets = generator.sheetCount();
        QVERIFY(sheets >= 3);
        QString error;
        QVERIFY2(generator.write(path, &error), qPrintable(error));
        const QStringList info =
            captures(run("pdfinfo", {path}),
                     "Pages:\\s+(\\d+)\\n[\\s\\S]*Page size:\\s+([\\d.]+) x ([\\d.]+) pts \\(A3\\)")
                .value(0)
                .split(QLatin1Char('|'));
        QVERIFY(info.size() == 3 && info.at(0).toInt() == sheets &&
                info.at(1).toDouble() > info.at(2).toDouble());
        const QStringList fonts = run("pdffonts", {path}).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString& font : fonts)
            QVERIFY2(font.startsWith(u8("Carlito")) && font.contains(u8(" yes ")), qPrintable(font));

        const QStringList fullInscription{
            u8("Разработал Иванов 05.24"),
            u8("Проверил Петров 05.24"),
            u8("Н. контр. Сидорова 05.24"),
            u8("ГИП Кузнецов 05.24"),
            u8("Котельная № 2, ИТП-1 Спецификация оборудования, изделий и материалов"),
            QStringLiteral("Стадия Лист 1 Листов %1 ООО Теплопроект").arg(sheets)};
        QString all;
        for (int page = 1; page <= sheets; ++page) {
            const QString n = QString::number(page);
            const QString text =
                run("pdftotext", {u8("-raw"), u8("-f"), n, u8("-l"), n, path, u8("-")}).simplified();
            all += text + QLatin1Char(' ');
            QVERIFY(text.startsWith(EquipmentSchedule::columnHeaders().join(QLatin1Char(' '))));
            QVERIFY(text.contains(u8("Изм. Кол.уч. Лист № док. Подп. Дата")) &&
                    text.contains(u8("2024-017-ТМ.СО")));
            for (const QString& piece : fullInscription)
                QVERIFY2(text.contains(piece) == (page == 1), qPrintable(piece));
            QVERIFY(page == 1 || text.endsWith(u8("Лист ") + n));
        }
        int from = 0;
        for (const ScheduleRow& r : schedule.rows) {
            QStringList cells = scheduleCellTexts(r).filter(QRegularExpression(u8(".")));
            if (!r.note.isEmpty()) // wrapped inside its one word
                cells.removeLast();
            const int at =
                all.indexOf(QLatin1Char(' ') + cells.join(QLatin1Char(' ')) + QLatin1Char(' '), from);
            QVERIFY2(at > from, qPrintable(r.position));
            from = at;
        }

        QVector<double> edges{20};
        for (double width : EquipmentSchedule::columnWidthsMm())
            edges << edges.last() + width;
        const QStringList words = captures(
            run("pdftotext", {u8("-bbox"), path, u8("-")}),
            "<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\" yMax=\"[\\d.]+\">(ш+|Ж+)</word>");
        QVERIFY(words.size() > 24 * 60);
        for (const QString& word : words) {
            const QStringList w = word.split(QLatin1Char('|'));
            const int column = w.at(2).startsWith(QChar(0x0448)) ? scName : scNote;
            QVERIFY2(w.at(0).toDouble() * 25.4 / 72 >= edges.at(column) &&
                         w.at(1).toDouble() * 25.4 / 72 <= edges.at(column + 1),
                     qPrintable(word));
        }
    }

    void layout_data() { tableRows(kLayouts); }
    void layout()
    {
        ORX_ROW(kLayouts);
        EquipmentSchedule schedule;
        for (int n : row.lines) {
            schedule.rows << ::row(u8("П"), u8("строка\n").repeated(std::abs(n)).chopped(1), 1, 1);
            schedule.rows.last().partOfRowBefore = n < 0;
        }
        const SchedulePdfGenerator generator(schedule);
        QCOMPARE(generator.sheetCount(), row.sheets);
        int nextRow = 0, nextLine = 0;
        for (int s = 0; s < generator.sheetCount(); ++s) {
            // A part of a row never begins a sheet away from its row.
            QVERIFY(s == 0 || !schedule.rows.at(generator.sheets().at(s).first().row).partOfRowBefore);
            double top = SchedulePdfGenerator::firstRowTopMm();
            for (const SchedulePdfGenerator::Placement& p : generator.sheets().at(s)) {
                // Rows follow each other in whole 8 mm steps above the inscription.
                QCOMPARE(p.topMm, top);
                const double steps = p.heightMm / SchedulePdfGenerator::rowStepMm();
                QVERIFY(steps >= 1 && steps == std::floor(steps));
                top += p.heightMm;
                QVERIFY(top <= SchedulePdfGenerator::tableBottomMm(s) + 1e-9);
                // Every line of every row once, in order; a split row goes on where it stopped.
                if (p.row != nextRow) {
                    QCOMPARE(nextLine, generator.cellLines(nextRow, scName).size());
                    QCOMPARE(p.row, ++nextRow);
                    nextLine = 0;
                }
                QCOMPARE(p.firstLine, nextLine);
                nextLine += p.lineCount;
            }
        }
        QCOMPARE(nextRow, std::max(0, row.lines.size() - 1));
        if (!row.lines.isEmpty())
            QCOMPARE(generator.sheets().first().first().heightMm, row.firstHeightMm);
        if (row.lines.size() > 1 && row.lines.at(1) > 100) // begins beside the row before it
            QCOMPARE(generator.sheets().first().last().row, 1);
    }

    void saves_data() { tableRows(kSaves); }
    void saves()
    {
        ORX_ROW(kSaves);
        QTemporaryDir folder;
        const QString readOnly = folder.filePath(u8("ro"));
        QDir().mkdir(readOnly);
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
        if (u8(row.path).startsWith(u8("ro/")) && QFileInfo(readOnly).isWritable())
            QSKIP("this user may write to a read-only folder");
        const QString path =
            folder.filePath(qstrcmp(row.path, "*") == 0 ? QString(300, QChar(0x044F)) : u8(row.path));
        if (row.written)
            QVERIFY(orxtest::writeFile(path, "earlier"));
        QString error;
        QCOMPARE(kExports[row.format](sample(), path, &error), row.written);
        const QString start =
            QStringLiteral("Не удалось сохранить файл \"%1\": ").arg(QDir::toNativeSeparators(path));
        if (row.written)
            QVERIFY(error.isEmpty() && orxtest::readFile(path).startsWith(row.expected));
        else
            QVERIFY2(error.startsWith(start) && error.size() > start.size() &&
                         error.contains(u8(row.expected)) && !QFileInfo(path).isFile(),
                     qPrintable(error));
        // Nothing left beside the target, and nothing in the read-only folder.
        QDir(folder.path()).remove(QFileInfo(path).fileName());
        QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{u8("ro")});
        QCOMPARE(QDir(readOnly).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

ORX_GUI_TEST_MAIN(TestScheduleExport)
#include "tst_schedulexport.moc"
