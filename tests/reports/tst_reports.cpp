// The reports: file names, the A4 frame, the tables, each device report and a real PDF read back.

#include "formhost.h"
#include "guitestsupport.h"

#include "engine/algotest.h"
#include "engine/regulatoralgorithm.h"
#include "engine/valvealgorithm.h"
#include "forms/regulatorchild.h"
#include "forms/valvechild.h"
#include "guitools/smallclasses.h"
#include "reports/devicesizetablegenerator.h"
#include "reports/pdfgenerator.h"
#include "reports/regulatorpdfgenerator.h"
#include "reports/smarttexttable.h"
#include "reports/valvepdfgenerator.h"
#include "settings/smartsettings.h"
#include "vocabulary/common.h"

#include <QAbstractTextDocumentLayout>
#include <QMessageBox>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextTable>

using namespace common;

namespace {

// The plain text of a cell, paragraphs joined with "\n".
QString cellText(const QTextTableCell& cell)
{
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// Side of the first paragraph (L/C/R, "-" not centred), then "[b i size ?foreign-font]text" per fragment.
QString look(const QTextTableCell& cell)
{
    const QTextBlock block = cell.firstCursorPosition().block();
    const Qt::Alignment side = block.blockFormat().alignment();
    QString text = QLatin1String(side & Qt::AlignHCenter ? "C" : side & Qt::AlignRight ? "R" : "L");
    text += QLatin1String(side & Qt::AlignVCenter ? "" : "-");
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        text +=
            QStringLiteral("[%1%2%3%4]%5")
                .arg(QLatin1String(format.fontWeight() > QFont::Normal ? "b" : ""),
                     QLatin1String(format.fontItalic() ? "i" : ""), QString::number(format.fontPointSize()),
                     QLatin1String(format.fontFamily() == QLatin1String("Calibri") ? "" : "?"),
                     it.fragment().text());
    }
    return text;
}

// Cells (or with `looks` span + look) by "|", rows by "\n"; a spanning cell counts once.
QString rowsText(const QTextTable* table, bool looks = false)
{
    QStringList rows;
    for (int r = 0; r < table->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.column() == c)
                cells.append(looks ? QString::number(cell.columnSpan()) + look(cell) : cellText(cell));
        }
        rows.append(cells.join(QLatin1Char('|')));
    }
    return rows.join(QLatin1Char('\n'));
}

// The tables placed directly in the document, in order.
QList<QTextTable*> topTables(const QTextDocument& document)
{
    QList<QTextTable*> tables;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.append(table);
    return tables;
}

QTextTable* onlyTable(const QTextDocument& document)
{
    const QList<QTextTable*> tables = topTables(document);
    return tables.size() == 1 && document.rootFrame()->childFrames().size() == 1 ? tables.first() : nullptr;
}

// The texts of the one-cell title tables, joined by "|".
QString titles(const QTextDocument& document)
{
    QStringList texts;
    for (QTextTable* table : topTables(document))
        if (table->rows() == 1 && table->columns() == 1)
            texts.append(cellText(table->cellAt(0, 0)));
    return texts.join(QLatin1Char('|'));
}

// The names of the images in a cell, joined by "|".
QString imagesIn(const QTextTableCell& cell)
{
    QStringList names;
    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it)
        for (QTextBlock::iterator f = it.currentBlock().begin(); !f.atEnd(); ++f)
            if (f.fragment().charFormat().isImageFormat())
                names.append(f.fragment().charFormat().toImageFormat().name());
    return names.join(QLatin1Char('|'));
}

// The frame alone, with the name of a device report.
struct FrameReport : PdfGenerator
{
    using PdfGenerator::finishDataTable;
    using PdfGenerator::insertDataTable;
    using PdfGenerator::PdfGenerator;
    QString name() const override { return title; }
    QString title = QStringLiteral("Клапан регулирующий");
};

const QString documentsKey = QStringLiteral("Common/Directory");

// A series' dimension table: rows × columns, the notes' start and the failed conditions.
// clang-format off
const struct { const char* name; int deviceType; bool atCursor; const char *shape, *conditions; } kSeries[] = {
    {"ЛМК-3", dtLMK3, true, "5×15", ""},
    {"ЛМР-Д", dtLMRD, true, "5×15\n\nДлина ", ""},
    {"ЛМР-2-П: to DN 100, no Н1 row", dtLMR2P, false, "4×10\n\nДлина ", ""},
    // No data: reported, and the report shows one empty row.
    {"ЛМР-1-01: no dimensions", dtLMR101, true, "1×15", "0"},
};
// clang-format on

// A worked example's candidate (DN, Kvs) and the pipes chosen for it.
struct Candidate
{
    int example, dn;
    double kvs;
    PipeSelections pipes;
};

// The report of the candidate of a calculated task, on a named object.
template <class Algorithm, class Report, class Input>
Report reportOf(Input task, const Candidate& c)
{
    Algorithm algorithm;
    if (!algorithm.calc(task))
        qWarning("%s", qPrintable(algorithm.errorText()));
    Report report;
    report.input = task;
    report.pipes = c.pipes;
    for (const auto& item : algorithm.results())
        if (item.dn == c.dn && std::abs(item.kv - c.kvs) < 1e-10)
            report.item = item;
    return report;
}

ValveInputParams valveCase(int number)
{
    ValveInputParams in = algotest::valveExample(number);
    in.objectName = number == 4 ? QStringLiteral("Паровая котельная") : QStringLiteral("ИТП-1");
    in.system = number == 4 ? lpProcess : lpHeating;
    return in;
}

// A regulator's task on the object "ИТП-2" of heating: a worked example, or (0) a new task.
RegulatorInputParams regulatorCase(int number)
{
    RegulatorInputParams in = number ? algotest::regulatorExample(number) : RegulatorInputParams();
    in.objectName = QStringLiteral("ИТП-2");
    in.system = lpHeating;
    return in;
}

// A device report: its task and candidate, and the input and device tables expected.
struct Case
{
    const char* name;
    Candidate candidate;
    const char *frame, *tables;                    // frame: first title, file name before the date, drawing
    RegulatorInputParams (*regulator)() = nullptr; // none: the valve example of the candidate
};

// clang-format off
const Case kReports[] = {
    {"1: liquid, heat load in ГКал/ч, flow from heat, one pipe", {1, 100, 125, {{plSingle, {100, 3.2987}}}}, "Расчёт регулирующего клапана|Клапан_регулирующий|:/icons/lmk2_small.png",
     R"(Объект|ИТП-1
Условия эксплуатации
Система|отопление
Рабочая среда|пропиленгликоля раствор 50%
Место установки|подающий трубопровод
Избыточное давление перед клапаном P1|6.00|бар
Избыточное давление после клапана P2|5.00|бар
Перепад давления на клапане ΔP|1.00|бар
Перепад давления на регулируемом участке после клапана ΔPру|0.50|бар
Температура рабочей среды в подающем трубопроводе Tпод|100.00|°C
Температура рабочей среды в обратном трубопроводе Tобр|70.00|°C
Тепловая нагрузка Q|2.50|ГКал/ч
Максимальный расход рабочей среды G|91.81|т/ч

Наименование|Клапан седельный ЛМК-2 DN 100 Kvy 125
Коэффициент запаса|1.35| 
Внешний авторитет|0.59| 
Вероятность кавитации в клапане|низкая|
Вероятность шума и вибрации в клапане|низкая|
Макс. скорость потока в трубопроводе DN 100|3.30|м/с)"},
    // Steam: no regulated section, no heat load, the return temperature not given.
    {"4: steam, a pipe before and one after", {4, 50, 40, {{plBefore, {50, 88.3012}}, {plAfter, {65, 72.0897}}}}, "Расчёт регулирующего клапана|Клапан_регулирующий|:/icons/lmkp_small.png",
     R"(Объект|Паровая котельная
Условия эксплуатации
Система|технологический процесс
Рабочая среда|перегретый пар
Место установки|подающий трубопровод
Абсолютное давление перед клапаном P1|4.80|бар
Абсолютное давление после клапана P2|3.50|бар
Перепад давления на клапане ΔP|1.30|бар
Температура рабочей среды в подающем трубопроводе Tпод|220.00|°C
Температура рабочей среды в обратном трубопроводе Tобр|Не задано|°C
Максимальный расход рабочей среды G|1345.60|кг/ч

Наименование|Клапан для пара ЛМК-П DN 50 Kvy 40
Макс. скорость потока в трубопроводе DN 50 до клапана|88.30|м/с
Макс. скорость потока в трубопроводе DN 65 после клапана|72.09|м/с)"},
    {"1: ЛМР-Д, the pressure balance of the inlet", {1, 40, 25, {{plSingle, {40, 8.55609}}}}, "Расчёт регулятора перепада давления|Регулятор_перепада_давления|:/icons/lmrd_small.png",
     R"(Объект|ИТП-2
Условия эксплуатации
Система|отопление
Рабочая среда|пропиленгликоля раствор 10%
Регулирование|перепада давления
Место установки|обратный трубопровод
Абсолютное давление в подающем трубопроводе на вводе Pпод|5.00|бар
Абсолютное давление в обратном трубопроводе на вводе Pобр|1.00|бар
Перепад давления, поддерживаемый на регулируемом участке, ΔPру|1.00|бар
Перепад давления на регуляторе ΔPрег|2.00|бар
Потери давления на другом оборудовании ДО регулируемого участка (расходомеры, фильтры, грязевики и пр.) ΔPдр.под|0.50|бар
Потери давления на другом оборудовании ПОСЛЕ регулируемого участка (расходомеры, фильтры, грязевики и пр.) ΔPдр.обр|0.50|бар
Температура рабочей среды в подающем трубопроводе Tпод|100.00|°C
Температура рабочей среды в обратном трубопроводе Tобр|46.00|°C
Тепловая нагрузка Q|2.00|ГКал/ч
Максимальный расход рабочей среды G|38.71|м³/ч

Наименование|Регулятор перепада давления ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)
Вероятность кавитации в регуляторе|низкая|
Вероятность шума и вибрации в регуляторе|ниже средней|
Макс. скорость потока в трубопроводе DN 40|8.56|м/с)", [] { return regulatorCase(1); }},
    // A candidate of its own, no pipe chosen (DN 0) and no system: the selection does without it.
    {"air: no ΔPру, normal cubic metres, no pipe, no system", {3, 0, 0, {}}, "Расчёт регулятора перепада давления|Регулятор_перепада_давления|:/icons/lmrd_small.png",
     R"(Объект|ИТП-2
Условия эксплуатации
Система|—
Рабочая среда|воздух
Регулирование|перепада давления
Место установки|подающий трубопровод
Избыточное давление в подающем трубопроводе на вводе Pпод|300.00|кПа
Избыточное давление в обратном трубопроводе на вводе Pобр|100.00|кПа
Перепад давления на регуляторе ΔPрег|150.00|кПа
Потери давления на другом оборудовании ДО регулируемого участка (расходомеры, фильтры, грязевики и пр.) ΔPдр.под|20.00|кПа
Потери давления на другом оборудовании ПОСЛЕ регулируемого участка (расходомеры, фильтры, грязевики и пр.) ΔPдр.обр|30.00|кПа
Температура рабочей среды в подающем трубопроводе Tпод|20.00|°C
Максимальный расход рабочей среды G|120.00|нм³/ч

Наименование|Регулятор перепада давления ЛМР-Д DN 0 Kvy 0 (0,04 - 0,70 МПа)
Макс. скорость потока в трубопроводе DN 0 до регулятора|0.00|м/с
Макс. скорость потока в трубопроводе DN 0 после регулятора|0.00|м/с)", [] { RegulatorInputParams in = regulatorCase(0); in.substance = stAir; in.system = -1; in.pressureMeasure = pmKPa; in.flowMeasure = wfM3h; in.Psupply = 300; in.Preturn = 100; in.dPreg = 150; in.dPdrSupply = 20; in.dPdrReturn = 30; in.Tsupply = 20; in.flow = 120; return in; }},
    // P1 - P2 across the regulator; the return temperature is left out, not written "Не задано".
    {"ЛМР-2-П: speeds before and after, no risks", {4, 25, 10, {{plBefore, {25, 89.5801}}, {plAfter, {40, 71.9669}}}}, "Расчёт регулятора давления «после себя»|Регулятор_давления_после_себя|:/icons/lmr2_p_small.png",
     R"(Объект|ИТП-2
Условия эксплуатации
Система|технологический процесс
Рабочая среда|насыщенный пар
Регулирование|давления "после себя"
Место установки|подающий трубопровод
Абсолютное давление перед регулятором P1|6.00|бар
Абсолютное давление после регулятора P2|3.00|бар
Перепад давления на регуляторе ΔPрег|3.00|бар
Температура рабочей среды в подающем трубопроводе Tпод|160.00|°C
Максимальный расход рабочей среды G|500.00|кг/ч

Наименование|Регулятор давления "после себя" прямого действия ЛМР-2-П (для пара) DN 25 Kvy 10 (0,10 - 0,70 МПа)
Макс. скорость потока в трубопроводе DN 25 до регулятора|89.58|м/с
Макс. скорость потока в трубопроводе DN 40 после регулятора|71.97|м/с)", [] { RegulatorInputParams in = regulatorCase(0); in.regulation = rtDownstream; in.substance = stSaturatedSteam; in.pressureType = pkAbsolute; in.pressureMeasure = pmBar; in.system = lpProcess; in.P1 = 6; in.P2 = 3; in.Tsupply = 160; in.flowMeasure = wfKgh; in.flow = 500; return in; }},
    {"2: ЛМР-1 \"до себя\", with its position mark", {2, 40, 25, {}}, "Расчёт регулятора давления «до себя», поз.\u00A0РД-1|Регулятор_давления_до_себя|:/icons/lmr1_small.png", nullptr, [] { return regulatorCase(2); }},
    // No drawing nor dimensions: both reported.
    {"ЛМР-1-01: the bypass regulator", {5, 0, 0, {}}, "Расчёт регулятора «перепуска»|Регулятор_перепуска|", nullptr, [] { RegulatorInputParams in = regulatorCase(2); in.regulation = rtBypass; return in; }},
};

// How the report leaves the program: the desktop's viewer takes it or there is none; the path, as the
// user reads it, is %1.
const struct { const char* name; bool viewer, unwritable; const char* expected; } kReportWays[] = {
    {"a viewer opened it: nothing more said", true, false, "written | file | opened %1"},
    {"no viewer: told where the report is", false, false, "written | file | not opened | 2 Отчёт сохранён: Отчёт сохранён в файл:\n%1"},
    {"not written: an error and never saved", true, true, "not written | no file | not opened | 1 Ошибка: Не удалось сохранить файл \"%1\""},
};
// clang-format on

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    const QString m_plainFile = m_folder.filePath(QStringLiteral("not-a-folder")); // a file, no folder
    orxtest::ViewerStub* m_viewer = nullptr;

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        QVERIFY(m_folder.isValid() && QFile(m_plainFile).open(QIODevice::WriteOnly));
    }

    void init()
    {
        SmartSettings().setValue(documentsKey, m_folder.path());
        m_viewer = new orxtest::ViewerStub;
    }

    void cleanup()
    {
        delete m_viewer;
        QDir(m_folder.path() + QStringLiteral("/pdf")).removeRecursively();
    }

    // "%1" stands for the date; a name already taken counts up.
    void fileName()
    {
        const QString folder = m_folder.path();
        const QString valve = QStringLiteral("Клапан регулирующий");
        const QString valveFile = QStringLiteral("/Клапан_регулирующий_ОРИМАКС_%1.pdf");
        // Each row: the documents folder, the report's name, the path expected.
        const QString rows[][3] = {
            // Blanks to underscores, quotes dropped.
            {folder, QStringLiteral("Регулятор давления \"до себя\""),
             folder + QStringLiteral("/pdf/Регулятор_давления_до_себя_ОРИМАКС_%1.pdf")},
            {QString(), valve, QDir::homePath() + QStringLiteral("/pdf") + valveFile},
            // A remembered folder deleted since is not made again; a file is no folder.
            {folder + QStringLiteral("/Проекты/2026"), valve, QDir::tempPath() + valveFile},
            {m_plainFile, valve, QDir::tempPath() + valveFile},
        };
        for (const auto& row : rows) {
            SmartSettings().setValue(documentsKey, row[0]);
            FrameReport report;
            report.title = row[1];
            const QString first = row[2].arg(QDate::currentDate().toString(QStringLiteral("dd.MM.yy")));
            for (const QString& suffix : {QString(), QStringLiteral("(1)"), QStringLiteral("(2)")}) {
                const QString path = report.makeFileName();
                QCOMPARE(path, first.left(first.size() - 4) + suffix + QStringLiteral(".pdf"));
                QVERIFY(QFileInfo(path).dir().exists());
                if (row[0] != folder)
                    break;
                QVERIFY(QFile(path).open(QIODevice::WriteOnly));
            }
        }
    }

    // ЛМК-3 has the widest dimension table: its cells on one line, clear of the drawing, on one A4 page;
    // the object name is the user's text. Then numbers, verdicts and an unknown regulation (reported).
    void frame()
    {
        orxtest::MessageCapture capture;
        FrameReport report(dtLMK3);
        const QRectF page = report.pdfPrinter().pageLayout().paintRect(QPageLayout::Millimeter);
        const QTextDocument& document = report.textDocument();
        QVERIFY(document.pageSize() == report.pdfPrinter().pageRect(QPrinter::DevicePixel).size());
        QCOMPARE(
            QStringLiteral("%1×%2 mm, margin %3, %4, %5")
                .arg(QString::number(qRound(page.width())), QString::number(qRound(page.height())),
                     QString::number(document.documentMargin()), document.defaultFont().family(),
                     QLatin1String(report.pdfPrinter().outputFormat() == QPrinter::PdfFormat ? "PDF" : "?")),
            QStringLiteral("200×297 mm, margin 50, Calibri, PDF"));
        report.addHeader();
        report.addTitle(QStringLiteral("Входные данные"), Qt::AlignHCenter, true, false, 14);
        SmartTextTable data(report.insertDataTable(5));
        PdfGenerator::addMergedRow(data, QStringLiteral("Объект"),
                                   QStringLiteral("<b>Котельная</b> | корпус 2 | ИТП"), false,
                                   Qt::AlignRight);
        PdfGenerator::addSectionRow(data, QStringLiteral("Условия эксплуатации"));
        PdfGenerator::addPairRow(data, QStringLiteral("Система"), QStringLiteral("отопление"));
        PdfGenerator::addValueRow(data, QStringLiteral("Избыточное давление перед клапаном|P1"),
                                  QStringLiteral("6.00"), QStringLiteral("бар"));
        report.finishDataTable(data);
        report.addDimensions();
        const QList<QTextTable*> tables = topTables(document);
        QVERIFY(capture.count() == 0 && document.pageCount() == 1 && tables.size() == 6);
        QCOMPARE(rowsText(tables.at(2), true),
                 QString::fromUtf8(R"(1L[11]Объект|3R[11]<b>Котельная</b> | корпус 2 | ИТП
4C[bi11]Условия эксплуатации
2L[11]Система|2L[11]отопление
2L[11]Избыточное давление перед клапаном[i11] P1|1R[11]6.00|1C[11]бар)"));
        QCOMPARE(imagesIn(tables.at(0)->cellAt(0, 0)), QStringLiteral(":/icons/orimax-header.png"));
        QCOMPARE(cellText(tables.at(0)->cellAt(0, 1)), PdfGenerator::contactLine);
        QTextTable* closing = tables.at(4);
        QCOMPARE(imagesIn(closing->cellAt(0, 0)), QStringLiteral(":/icons/lmk3_small.png"));
        auto* dimensions = qobject_cast<QTextTable*>(closing->childFrames().value(0));
        QVERIFY(dimensions);
        // Smaller than the text, to fit beside the drawing.
        QCOMPARE(look(dimensions->cellAt(2, 0)) + look(dimensions->cellAt(2, 14)),
                 QStringLiteral("L[9]Высота Н, мм, не болееR[9]1420"));
        for (QTextBlock b = document.findBlock(dimensions->firstPosition());
             b.position() < dimensions->lastPosition(); b = b.next())
            QVERIFY2(b.layout()->lineCount() == 1, qPrintable(b.text()));
        const QRectF drawing = document.documentLayout()->frameBoundingRect(closing);
        const QRectF table = document.documentLayout()->frameBoundingRect(dimensions);
        QVERIFY(table.left() >= drawing.left() + 110 && table.right() <= drawing.right() + 0.5);
        QCOMPARE(look(tables.at(5)->cellAt(0, 0)), QStringLiteral("R[i8]Оримакс-расчёт, версия от 01.03.22"));
        QCOMPARE(PdfGenerator::numberText(91.8077, 2) + PdfGenerator::numberText(38.71, 0) +
                     PdfGenerator::numberText(NAN, 2) + PdfGenerator::conformityText(true) +
                     PdfGenerator::conformityText(false) + RegulatorPdfGenerator::titleDevName(5),
                 QStringLiteral("91.8139Не заданосоотв.не соотв."));
        QCOMPARE(capture.assertions().size(), 1);
    }

    // A report that cannot be written is an error, never "saved"; a report no viewer took is told
    // where it is, through the message channel; one a viewer opened says nothing more.
    void whereTheReportWent_data() { tableRows(kReportWays); }
    void whereTheReportWent()
    {
        ORX_ROW(kReportWays);
        const QByteArray savedTmp = qgetenv("TMPDIR");
        if (row.unwritable) {
            // Neither the documents folder nor the temporary folder (missing) can take the file.
            SmartSettings().setValue(documentsKey, m_plainFile);
            qputenv("TMPDIR", QFile::encodeName(m_folder.path() + QStringLiteral("/missing")));
        }
        if (!row.viewer) {
            delete m_viewer; // offscreen: nothing else can open it
            m_viewer = nullptr;
        }
        orxtest::MessageCapture capture;
        FrameReport report;
        report.addTitle(QStringLiteral("Отчёт"), Qt::AlignLeft, false, false, 11);
        const bool written = report.openPdf();
        savedTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", savedTmp);

        const QString file = QDir::toNativeSeparators(report.fileName());
        QStringList seen{QLatin1String(written ? "written" : "not written"),
                         QLatin1String(QFileInfo(report.fileName()).size() > 0 ? "file" : "no file"),
                         m_viewer && !m_viewer->opened.isEmpty()
                             ? QStringLiteral("opened ") +
                                   QDir::toNativeSeparators(m_viewer->opened.first().toLocalFile())
                             : QStringLiteral("not opened")};
        // What the program tells the user; the toolkit's own complaints about the desktop aside.
        for (const orxtest::CapturedMessage& m : capture.messages())
            if (m.title != QLatin1String("Standart Qt-message"))
                seen << QStringLiteral("%1 %2: %3").arg(m.level).arg(m.title, m.text);
        QCOMPARE(seen.join(QStringLiteral(" | ")), QString::fromUtf8(row.expected).arg(file));
        // Where the report was meant to go, not the root the missing temporary folder would leave.
        if (row.unwritable)
            QVERIFY(report.fileName().startsWith(m_plainFile + QStringLiteral("/pdf/")));
    }

    // A misplaced cell, a third part of "name|unit" and rows past the last write nothing, reported.
    void tableWriter()
    {
        orxtest::MessageCapture capture;
        QTextDocument document;
        QTextCursor cursor(&document);
        SmartTextTable table(cursor.insertTable(2, 2));
        table.defaultPointSize = 10;
        table.setCellText(2, QStringLiteral("вне"), Qt::AlignHCenter, false, false, 0);
        table.setCellText(1, QStringLiteral("a|b|c"), Qt::AlignHCenter, false, false, 0);
        table.row = 1;
        const QStringList cells{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        for (const QStringList& row : {cells, QStringList(), cells})
            table.addValues(row);
        QCOMPARE(capture.conditions().join(QLatin1Char('|')),
                 QStringLiteral("cell.isValid()|list.count() > 0 && list.count() <= 2|l.count() == "
                                "m_table->columns()|!endOfTable()|!endOfTable()"));
        QCOMPARE(document.rootFrame()->childFrames().size(), 1);
        QCOMPARE(QString::number(table.row) + QLatin1Char(' ') + rowsText(table.table(), true),
                 QStringLiteral("4 1L-|1C[10]a[i10] b|1L-\n1L[10]a|1R[10]b|1R[10]c"));
    }

    // The table cut to the rows written, impulse-tube notes below in its font; the label shows the same.
    void dimensionTables_data() { tableRows(kSeries); }
    void dimensionTables()
    {
        ORX_ROW(kSeries);
        orxtest::MessageCapture capture;
        QTextDocument report;
        QTextCursor cursor(&report);
        cursor.insertText(QStringLiteral("Габаритные размеры\n"));
        DeviceSizeTableGenerator generator(row.deviceType, row.atCursor ? cursor : QTextCursor());
        QTextDocument* document = generator.generateDocument(10);
        QCOMPARE(capture.conditions().join(QLatin1Char('|')), QString::fromUtf8(row.conditions));
        QCOMPARE(document->begin().text(), row.atCursor ? QStringLiteral("Габаритные размеры") : QString());
        QTextTable* table = onlyTable(*document);
        QVERIFY(table && table->format().cellPadding() == 2.0); // room around the digits
        const QString notes = generator.notes(false);
        QCOMPARE(QStringLiteral("%1×%2").arg(table->rows()).arg(table->columns()) + notes.left(8),
                 QString::fromUtf8(row.shape));
        QTextCursor end(document);
        end.setPosition(table->lastPosition() + 1);
        end.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        QCOMPARE(end.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')), notes);
        if (*row.conditions) { // no data
            QVERIFY(document->toPlainText().trimmed().remove(QStringLiteral("Габаритные размеры")).isEmpty());
            return;
        }
        QCOMPARE(look(table->cellAt(0, 0)) + look(table->cellAt(0, 1)),
                 QStringLiteral("L[10]Номинальный диаметр DN, ммR[10]15"));
        QVERIFY(notes.isEmpty() || // the notes upright and regular
                (end.charFormat().fontPointSize() == 10.0 && end.charFormat().fontWeight() == QFont::Normal &&
                 !end.charFormat().fontItalic()));

        const std::unique_ptr<SmartLabel> label(generator.generateLabel(9));
        QVERIFY(label && !label->parent() && label->font().pointSize() == 9);
        const QString html = label->text();
        QVERIFY(
            html.startsWith(QStringLiteral("<table border=\".5\", cellspacing=\"0\" cellpadding=\"1\"><tr>"
                                           "<td align=\"left\">Номинальный диаметр DN, мм</td>"
                                           "<td align=\"right\">15</td>")));
        QCOMPARE(html.section(QStringLiteral("</table>"), 1),
                 QString(notes).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
        QTextDocument shown; // what the label shows: the table of the series as rich text
        shown.setHtml(html);
        QVERIFY(onlyTable(shown) && rowsText(onlyTable(shown)) == rowsText(table));
    }

    // Each report on one page; only a missing drawing and dimensions are reported.
    void deviceReports_data() { tableRows(kReports); }
    void deviceReports()
    {
        ORX_ROW(kReports);
        const Candidate& c = row.candidate;
        std::unique_ptr<PdfGenerator> generator;
        std::unique_ptr<orxtest::MessageCapture> capture;
        const auto write = [&generator, &capture](auto* writer, const auto& report) {
            generator.reset(writer);
            capture.reset(new orxtest::MessageCapture);
            writer->write(report);
            return report.item.dn;
        };
        if (row.regulator) {
            auto report = reportOf<RegulatorAlgorithm, RegulatorReport>(row.regulator(), c);
            if (c.example == 2)
                report.position = QStringLiteral("РД-1");
            if (!c.dn) { // a candidate of its own
                report.item.deviceType = report.input.deviceType();
                report.item.tuningRange = 527;
                report.item.deviceNoiseRisk = nrLow;
            }
            QCOMPARE(write(new RegulatorPdfGenerator(report.input.deviceType()), report), c.dn);
        } else {
            const auto report = reportOf<ValveAlgorithm, ValveReport>(valveCase(c.example), c);
            QCOMPARE(write(new ValvePdfGenerator, report), c.dn);
        }
        const QTextDocument& document = generator->textDocument();
        const QList<QTextTable*> tables = topTables(document);
        const QString drawing = imagesIn(tables.at(tables.size() - 2)->cellAt(0, 0));
        QVERIFY(document.pageCount() == 1 && capture->count() == (drawing.isEmpty() ? 2 : 0));
        const QString file = QFileInfo(generator->makeFileName()).fileName();
        QCOMPARE(titles(document).section(QLatin1Char('|'), 0, 0) + QLatin1Char('|') +
                     file.section(QStringLiteral("_ОРИМАКС_"), 0, 0) + QLatin1Char('|') + drawing,
                 QString::fromUtf8(row.frame));
        QCOMPARE(
            titles(document).section(QLatin1Char('|'), 1),
            QStringLiteral("Входные данные|%1, выбранный пользователем программы с учётом особенностей "
                           "системы теплоснабжения|Габаритные размеры|Оримакс-расчёт, версия от 01.03.22")
                .arg(row.regulator ? QStringLiteral("Регулятор") : QStringLiteral("Клапан")));
        QStringList texts;
        for (QTextTable* table : tables)
            if (table->columns() == 4 && table->format().border() > 0)
                texts.append(rowsText(table));
        if (row.tables)
            QCOMPARE(texts.join(QStringLiteral("\n\n")), QString::fromUtf8(row.tables));
    }

    // The drive block stands after the chosen valve, before the dimensions, and every worked example
    // keeps its one page with the longest designation and words of the catalogue.
    void driveBlock()
    {
        for (int example = 1; example <= 4; ++example) {
            ValveAlgorithm algorithm;
            QVERIFY(algorithm.calc(valveCase(example)));
            ValveReport report;
            report.input = valveCase(example);
            report.item = algorithm.results().value(0);
            report.driveDesignation = QStringLiteral("ЛМА-315-1600/63-20-220В IP67");
            report.position = QStringLiteral("РК-1234567890123"); // the longest mark
            report.driveDescription = QStringLiteral(
                "Трёхпозиционное управление, исполнение «В», питание 220\u00A0В, степень защиты IP54");
            ValvePdfGenerator generator;
            generator.write(report);
            const QTextDocument& document = generator.textDocument();
            QCOMPARE(document.pageCount(), 1);
            QCOMPARE(titles(document).section(QLatin1Char('|'), 0, 0),
                     QStringLiteral("Расчёт регулирующего клапана, поз.\u00A0РК-1234567890123"));
            QCOMPARE(titles(document).section(QLatin1Char('|'), 2, 4),
                     QStringLiteral("Клапан, выбранный пользователем программы с учётом особенностей системы "
                                    "теплоснабжения|Электропривод|Габаритные размеры"));
            QStringList drive;
            for (QTextTable* table : topTables(document))
                if (rowsText(table).startsWith(QStringLiteral("Обозначение")))
                    drive << rowsText(table);
            QCOMPARE(drive.join(QLatin1Char('/')),
                     QStringLiteral("Обозначение|ЛМА-315-1600/63-20-220В IP67\nИсполнение|") +
                         report.driveDescription);
        }
    }

    // A document from elsewhere is reported as its form shows it: a value the form could not use opened
    // empty and is printed so, never looked up as an unknown code ("Неизвестно" and an internal check).
    void corpusDocumentReports_data()
    {
        QTest::addColumn<QString>("fileName");
        const QDir corpus(orxtest::corpusFile(QString()));
        for (const QString& name : corpus.entryList({QStringLiteral("*.orx")}, QDir::Files)) {
            Doc doc;
            if (Doc::fromByteArray(orxtest::readFile(corpus.filePath(name)), doc) == Doc::rsOk &&
                (doc.docType() == docValve || doc.docType() == docRegulator))
                QTest::newRow(qPrintable(name)) << corpus.filePath(name);
        }
    }
    void corpusDocumentReports()
    {
        QFETCH(QString, fileName);
        orxtest::MessageCapture capture;
        Doc doc;
        QVERIFY(Doc::loadFromFile(fileName, doc));
        std::unique_ptr<SelectionChild> form;
        form.reset(doc.docType() == docValve ? static_cast<SelectionChild*>(new ValveChild(&doc))
                                             : new RegulatorChild(&doc));
        form->show();
        // The first candidate proposed, with the pipe the form proposes; a refused task has none.
        const bool proposed = form->choiceCombo();
        if (proposed)
            form->choiceCombo()->setCurrentIndex(1);
        form->showPdf();
        QCOMPARE(capture.assertions().join(QLatin1Char('\n')), QString());
        QCOMPARE(m_viewer->opened.size(), proposed ? 1 : 0);
    }

    // Logo and drawing at print resolution, never lossy: JPEG would blur their thin lines.
    void writtenPdfReadsBack()
    {
        for (const char* tool : {"pdftotext", "pdffonts", "pdfimages"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("poppler-utils (pdftotext, pdffonts, pdfimages) are not installed");

        orxtest::MessageCapture capture;
        ValvePdfGenerator generator;
        QVERIFY(
            generator.generate(reportOf<ValveAlgorithm, ValveReport>(valveCase(1), kReports[0].candidate)));
        QCOMPARE(capture.count(), 0);
        const QString path = generator.fileName();
        QCOMPARE(m_viewer->opened, QList<QUrl>{QUrl::fromLocalFile(path)});

        const QString text =
            orxtest::toolOutput("pdftotext", {QStringLiteral("-layout"), path, QStringLiteral("-")});
        // The narrow caption cells of the dimension table may wrap: only their first word.
        for (const char* expected :
             {"Расчёт регулирующего клапана", "ИТП-1", "пропиленгликоля раствор",
              "Клапан седельный ЛМК-2 DN 100 Kvy 125", "Макс. скорость потока в трубопроводе DN 100", "3.30",
              "Номинальный", "Оримакс-расчёт, версия от 01.03.22"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);

        // Every font of the report is the report family, embedded in the file.
        const QStringList fonts =
            orxtest::toolOutput("pdffonts", {path}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(fonts.size() > 2);
        const int embedded = fonts.first().indexOf(QStringLiteral("emb"));
        for (const QString& font : fonts.mid(2)) // below the heading and its rule
            QCOMPARE(font.left(7).replace(QStringLiteral("Carlito"), QStringLiteral("Calibri")) +
                         font.mid(embedded, 3),
                     QStringLiteral("Calibriyes"));

        // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
        int pictures = 0;
        for (const QString& line :
             orxtest::toolOutput("pdfimages", {QStringLiteral("-list"), path}).split(QLatin1Char('\n'))) {
            const QStringList fields = line.simplified().split(QLatin1Char(' '));
            if (fields.size() < 14 || fields.at(2) != QLatin1String("image"))
                continue;
            ++pictures;
            QVERIFY2(fields.at(8) != QLatin1String("jpeg"), qPrintable(line));
            QVERIFY2(fields.at(12).toInt() >= 290 && fields.at(13).toInt() >= 290, qPrintable(line));
        }
        QCOMPARE(pictures, 2);
    }
};

ORX_GUI_TEST_MAIN(TestReports)
#include "tst_reports.moc"
