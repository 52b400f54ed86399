// The reports: the frame (file names, rows of each kind, header and closing
// block on one A4 page, pictures sharp in the PDF, the viewer or where the file
// went), the report tables and dimension tables, and the valve and regulator
// reports: which cell shows what, titles, drawings, and a real PDF read back.

#include "formhost.h"
#include "guitestsupport.h"

#include "engine/algotest.h"
#include "engine/regulatoralgorithm.h"
#include "engine/valvealgorithm.h"
#include "framework/pipeselectionarea.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"
#include "reports/devicesizetablegenerator.h"
#include "reports/pdfgenerator.h"
#include "reports/regulatorpdfgenerator.h"
#include "reports/smarttexttable.h"
#include "reports/valvepdfgenerator.h"
#include "settings/smartsettings.h"
#include "vocabulary/common.h"

#include <QAbstractTextDocumentLayout>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>

#include <cmath>
#include <dirent.h>
#include <memory>

using namespace common;

namespace {

// Reading a report document back: its tables and cells as the PDF's reader sees them.

// The plain text of a cell, paragraphs joined with "\n".
inline QString cellText(const QTextTableCell& cell)
{
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// The texts of each row; a cell spanning several columns counts once.
inline QList<QStringList> tableRows(const QTextTable* table)
{
    QList<QStringList> rows;
    for (int r = 0; r < table->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.column() == c)
                cells.append(cellText(cell));
        }
        rows.append(cells);
    }
    return rows;
}

// The tables placed directly in the document, in order.
inline QList<QTextTable*> topTables(const QTextDocument& document)
{
    QList<QTextTable*> tables;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.append(table);
    return tables;
}

// The bordered four-column tables: input data and chosen device.
inline QList<QTextTable*> dataTables(const QTextDocument& document)
{
    QList<QTextTable*> tables;
    for (QTextTable* table : topTables(document))
        if (table->columns() == 4 && table->format().border() > 0)
            tables.append(table);
    return tables;
}

// The texts of the one-cell title tables, in order.
inline QStringList titles(const QTextDocument& document)
{
    QStringList texts;
    for (QTextTable* table : topTables(document))
        if (table->rows() == 1 && table->columns() == 1)
            texts.append(cellText(table->cellAt(0, 0)));
    return texts;
}

// The names of the images in a cell.
inline QStringList imagesIn(const QTextTableCell& cell)
{
    QStringList names;
    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it)
        for (QTextBlock::iterator f = it.currentBlock().begin(); !f.atEnd(); ++f)
            if (f.fragment().charFormat().isImageFormat())
                names.append(f.fragment().charFormat().toImageFormat().name());
    return names;
}

// Rows written one a line, cells split by "|".
inline QList<QStringList> parseRows(const QString& text)
{
    QList<QStringList> rows;
    for (const QString& line : text.split(QLatin1Char('\n')))
        rows.append(line.split(QLatin1Char('|')));
    return rows;
}

// The frame alone, with the name of a device report.
class FrameReport : public PdfGenerator
{
public:
    explicit FrameReport(const QString& name = QStringLiteral("Клапан регулирующий"), int deviceType = 0)
        : PdfGenerator(deviceType), m_name(name)
    {
    }
    QString name() const override { return m_name; }
    using PdfGenerator::finishDataTable;
    using PdfGenerator::insertDataTable;

private:
    QString m_name;
};

const QString documentsKey = QStringLiteral("Common/Directory");

QString today()
{
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yy"));
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QTextCharFormat firstCharFormat(const QTextTableCell& cell)
{
    QTextBlock::iterator it = cell.firstCursorPosition().block().begin();
    return it.atEnd() ? QTextCharFormat() : it.fragment().charFormat();
}

Qt::Alignment horizontalAlignment(const QTextTableCell& cell)
{
    return cell.firstCursorPosition().blockFormat().alignment() & Qt::AlignHorizontal_Mask;
}

// Keeps every row handed to it.
struct RecordingTable : TextTable
{
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
    const QList<QTextTable*> tables = topTables(document);
    return tables.size() == 1 && document.rootFrame()->childFrames().size() == 1 ? tables.first() : nullptr;
}

QStringList split(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

// A text set into column 0 or 1 of a one-row table: the fragments written
// ("1" prefix: italic), their weight and size, and the failed conditions.
struct CellCase
{
    const char* name;
    const char* text;
    int column;
    bool bold;
    int pointSize;
    const char* fragments;
    int weight;
    double size;
    const char* conditions;
};
const CellCase kCells[] = {
    {"name and unit: unit in italics after a blank", "Расход|м³/ч", 1, false, 0, "0Расход|1 м³/ч", 50, 11,
     ""},
    {"bold at its own size", "Габаритные размеры", 0, true, 14, "0Габаритные размеры", 75, 14, ""},
    {"two bars: reported, first two parts written", "a|b|c", 1, false, 0, "0a|1 b", 50, 11,
     "list.count() > 0 && list.count() <= 2"},
    {"column outside the table: nothing written", "вне", 2, false, 0, "", 50, 11, "cell.isValid()"},
};

// Rows written into a prepared table: how many cells, rows written, and what
// becomes of the table.
struct RowsCase
{
    const char* name;
    int columns, prepared, cells, written, columnsAfter;
    const char* conditions;
};
const RowsCase kRows[] = {
    {"5 cells widen a 4-column table", 4, 3, 5, 2, 5, ""},
    {"row past the last one goes nowhere", 3, 2, 3, 3, 3, "!endOfTable()"},
    // Resizing to no columns would take the table out of the document.
    {"empty row keeps the table", 3, 2, 0, 1, 3, "l.count() == m_table->columns()"},
};

// The series: diameters from DN 15 and rows (ЛМР-2-П has no Н1 row).
struct Series
{
    const char* name;
    int deviceType, diameters, rows;
};
const Series kSeries[] = {
    {"ЛМК-3", dtLMK3, 14, 5}, {"ЛМР-1", dtLMR1, 14, 5},   {"ЛМК-П", dtLMKP, 14, 5},
    {"ЛМР-Д", dtLMRD, 14, 5}, {"ЛМР-2-П", dtLMR2P, 9, 4}, {"ЛМК-2", dtLMK2, 14, 5},
};

template <class Row, size_t N>
void rowsOf(const Row (&rows)[N])
{
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(N); ++row)
        QTest::newRow(rows[row].name) << row;
}

// The report of the candidate (DN, Kvs) of a calculated task, on a named object.
template <class Algorithm, class Report, class Input>
Report reportOf(Input task, int dn, double kvs, const PipeSelections& pipes)
{
    Algorithm algorithm;
    if (!algorithm.calc(task))
        qWarning("%s", qPrintable(algorithm.errorText()));
    Report report{task, {}, pipes};
    for (const auto& item : algorithm.results())
        if (item.dn == dn && std::abs(item.kv - kvs) < 1e-10)
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

RegulatorInputParams regulatorCase(int number)
{
    RegulatorInputParams in;
    if (number < 3)
        in = algotest::regulatorExample(number);
    in.system = lpHeating;
    if (number == 3) { // air, differential pressure: no regulated section, normal cubic metres
        in.regulation = rtDiffPressure, in.substance = stAir, in.place = ipSupply, in.pressureType = pkExcess;
        in.pressureMeasure = pmKPa, in.flowMeasure = wfM3h, in.Psupply = 300, in.Preturn = 100;
        in.dPreg = 150, in.dPdrSupply = 20, in.dPdrReturn = 30, in.Tsupply = 20, in.Treturn = NAN,
        in.flow = 120;
    } else if (number == 4) { // ЛМР-2-П "после себя", saturated steam, absolute бар
        in.regulation = rtDownstream, in.substance = stSaturatedSteam, in.place = ipSupply;
        in.pressureType = pkAbsolute, in.pressureMeasure = pmBar, in.system = lpProcess;
        in.P1 = 6, in.P2 = 3, in.Tsupply = 160, in.flowMeasure = wfKgh, in.flow = 500;
    }
    in.objectName = QStringLiteral("ИТП-2");
    return in;
}

// A device report: the task, the candidate and pipes, and the two tables
// expected (input data; chosen device), one row a line, cells split by "|".
struct Case
{
    const char* name;
    int example;
    int dn;
    double kvs;
    PipeSelections pipes;
    const char* input;
    const char* device;
};

const Case kValves[] = {
    {"1: liquid, heat load in ГКал/ч, flow from heat, one pipe",
     1,
     100,
     125,
     {{plSingle, {100, 3.2987}}},
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
Максимальный расход рабочей среды G|91.81|т/ч)",
     R"(Наименование|Клапан седельный ЛМК-2 DN 100 Kvy 125
Коэффициент запаса|1.35| 
Внешний авторитет|0.59| 
Вероятность кавитации в клапане|низкая|
Вероятность шума и вибрации в клапане|низкая|
Макс. скорость потока в трубопроводе DN 100|3.30|м/с)"},
    // Steam: no regulated section, no heat load, the return temperature not given.
    {"4: steam, a pipe before and one after",
     4,
     50,
     40,
     {{plBefore, {50, 88.3012}}, {plAfter, {65, 72.0897}}},
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
Максимальный расход рабочей среды G|1345.60|кг/ч)",
     R"(Наименование|Клапан для пара ЛМК-П DN 50 Kvy 40
Макс. скорость потока в трубопроводе DN 50 до клапана|88.30|м/с
Макс. скорость потока в трубопроводе DN 65 после клапана|72.09|м/с)"},
    {"no pipe chosen: DN 0", 1, 80, 100, {}, nullptr, R"(Наименование|Клапан седельный ЛМК-2 DN 80 Kvy 100
Коэффициент запаса|1.08| 
Внешний авторитет|0.65| 
Вероятность кавитации в клапане|низкая|
Вероятность шума и вибрации в клапане|низкая|
Макс. скорость потока в трубопроводе DN 0|0.00|м/с)"},
};

const Case kRegulators[] = {
    {"1: ЛМР-Д, the pressure balance of the inlet",
     1,
     40,
     25,
     {{plSingle, {40, 8.55609}}},
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
Максимальный расход рабочей среды G|38.71|м³/ч)",
     R"(Наименование|Регулятор перепада давления ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)
Вероятность кавитации в регуляторе|низкая|
Вероятность шума и вибрации в регуляторе|ниже средней|
Макс. скорость потока в трубопроводе DN 40|8.56|м/с)"},
    // No supply temperature: its row is left out, not written "Не задано".
    {"2: ЛМР-1 \"до себя\", P1 - P2 across the regulator",
     2,
     40,
     25,
     {{plSingle, {50, 5.5}}},
     R"(Объект|ИТП-2
Условия эксплуатации
Система|отопление
Рабочая среда|вода
Регулирование|давления "до себя"
Место установки|обратный трубопровод
Избыточное давление перед регулятором P1|8.00|атм
Избыточное давление после регулятора P2|4.10|атм
Перепад давления на регуляторе ΔPрег|3.90|атм
Температура рабочей среды в обратном трубопроводе Tобр|46.00|°C
Максимальный расход рабочей среды G|38.88|м³/ч)",
     R"(Наименование|Регулятор давления «до себя» ЛМР-1 DN 40 Kvy 25 (0,60 - 1,00 МПа)
Вероятность кавитации в регуляторе|низкая|
Вероятность шума и вибрации в регуляторе|выше средней|
Макс. скорость потока в трубопроводе DN 50|5.50|м/с)"},
    {"air: no ΔPру, normal cubic metres",
     3,
     0,
     0,
     {},
     R"(Объект|ИТП-2
Условия эксплуатации
Система|отопление
Рабочая среда|воздух
Регулирование|перепада давления
Место установки|подающий трубопровод
Избыточное давление в подающем трубопроводе на вводе Pпод|300.00|кПа
Избыточное давление в обратном трубопроводе на вводе Pобр|100.00|кПа
Перепад давления на регуляторе ΔPрег|150.00|кПа
Потери давления на другом оборудовании ДО регулируемого участка (расходомеры, фильтры, грязевики и пр.) ΔPдр.под|20.00|кПа
Потери давления на другом оборудовании ПОСЛЕ регулируемого участка (расходомеры, фильтры, грязевики и пр.) ΔPдр.обр|30.00|кПа
Температура рабочей среды в подающем трубопроводе Tпод|20.00|°C
Максимальный расход рабочей среды G|120.00|нм³/ч)",
     nullptr},
    {"ЛМР-2-П: speeds before and after, no risks",
     4,
     25,
     10,
     {{plBefore, {25, 89.5801}}, {plAfter, {40, 71.9669}}},
     nullptr,
     R"(Наименование|Регулятор давления "после себя" прямого действия ЛМР-2-П (для пара) DN 25 Kvy 10 (0,10 - 0,70 МПа)
Макс. скорость потока в трубопроводе DN 25 до регулятора|89.58|м/с
Макс. скорость потока в трубопроводе DN 40 после регулятора|71.97|м/с)"},
};

// The regulations by their title, file name and drawing; the bypass regulator
// has neither drawing nor dimension table.
struct Regulation
{
    const char* name;
    int deviceType;
    const char* title;
    const char* fileStem;
    const char* drawing;
};
const Regulation kRegulations[] = {
    {"ЛМР-Д", dtLMRD, "Расчёт регулятора перепада давления", "Регулятор_перепада_давления", "lmrd"},
    {"ЛМР-1", dtLMR1, "Расчёт регулятора давления «до себя»", "Регулятор_давления_до_себя", "lmr1"},
    {"ЛМР-2-П", dtLMR2P, "Расчёт регулятора давления «после себя»", "Регулятор_давления_после_себя",
     "lmr2_p"},
    {"ЛМР-1-01", dtLMR101, "Расчёт регулятора «перепуска»", "Регулятор_перепуска", nullptr},
};

// The two tables of a written report against the case: one page, nothing reported.
void checkTables(const PdfGenerator& generator, const Case& c, const orxtest::MessageCapture& capture)
{
    const QList<QTextTable*> tables = dataTables(generator.textDocument());
    QCOMPARE(tables.size(), 2);
    if (c.input)
        QCOMPARE(tableRows(tables.first()), parseRows(QString::fromUtf8(c.input)));
    if (c.device)
        QCOMPARE(tableRows(tables.last()), parseRows(QString::fromUtf8(c.device)));
    QCOMPARE(capture.count(), 0);
    QCOMPARE(generator.textDocument().pageCount(), 1);
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    orxtest::ViewerStub* m_viewer = nullptr;

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        QVERIFY(m_folder.isValid());
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
    void fileName_data()
    {
        QTest::addColumn<QString>("documents");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const QString folder = m_folder.path();
        const QString plainFile = folder + QStringLiteral("/not-a-folder");
        touch(plainFile);
        const QString valve = QStringLiteral("Клапан регулирующий");
        const QString valveFile = QStringLiteral("/Клапан_регулирующий_ОРИМАКС_%1.pdf");
        QTest::newRow("blanks to underscores, quotes dropped")
            << folder << QStringLiteral("Регулятор давления \"до себя\"")
            << folder + QStringLiteral("/pdf/Регулятор_давления_до_себя_ОРИМАКС_%1.pdf");
        QTest::newRow("setting empty: home")
            << QString() << valve << QDir::homePath() + QStringLiteral("/pdf") + valveFile;
        QTest::newRow("remembered folder deleted since: not made again")
            << folder + QStringLiteral("/Проекты/2026") << valve << QDir::tempPath() + valveFile;
        QTest::newRow("a file, not a folder: temporary folder")
            << plainFile << valve << QDir::tempPath() + valveFile;
    }

    void fileName()
    {
        QFETCH(QString, documents);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        SmartSettings().setValue(documentsKey, documents);
        const FrameReport report(name);
        const QString first = expected.arg(today());
        for (const QString& suffix : {QString(), QStringLiteral("(1)"), QStringLiteral("(2)")}) {
            const QString path = report.makeFileName();
            QCOMPARE(path, first.left(first.size() - 4) + suffix + QStringLiteral(".pdf"));
            QVERIFY(QFileInfo(path).dir().exists());
            if (documents != m_folder.path())
                break;
            touch(path);
        }
    }

    void cellTexts()
    {
        QCOMPARE(PdfGenerator::numberText(91.8077, 2) + PdfGenerator::numberText(38.71, 0) +
                     PdfGenerator::numberText(NAN, 2),
                 QStringLiteral("91.8139Не задано"));
        QCOMPARE(PdfGenerator::conformityText(true) + PdfGenerator::conformityText(false),
                 QStringLiteral("соотв.не соотв."));
    }

    // A4 inside margins of 5 mm, in the report font.
    void pageLayout()
    {
        FrameReport report;
        const QPrinter& printer = report.pdfPrinter();
        QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
        QCOMPARE(report.textDocument().pageSize(), printer.pageRect(QPrinter::DevicePixel).size());
        QCOMPARE(report.textDocument().documentMargin(), 50.0);
        QCOMPARE(report.textDocument().defaultFont().family(), QStringLiteral("Calibri"));
        const QRectF page = printer.pageLayout().paintRect(QPageLayout::Millimeter);
        QCOMPARE(QSize(qRound(page.width()), qRound(page.height())), QSize(200, 287));
    }

    // Each kind of row: its cells, spans and alignment; the rows never written are cut.
    void rowOperations()
    {
        orxtest::MessageCapture capture;
        FrameReport report;
        SmartTextTable table(report.insertDataTable(5));
        const QString userText = QStringLiteral("<b>Котельная</b> | корпус 2 | ИТП");
        PdfGenerator::addMergedRow(table, QStringLiteral("Объект"), userText, false, Qt::AlignRight);
        PdfGenerator::addSectionRow(table, QStringLiteral("Условия эксплуатации"));
        PdfGenerator::addPairRow(table, QStringLiteral("Система"), QStringLiteral("отопление"));
        PdfGenerator::addValueRow(table, QStringLiteral("Избыточное давление перед клапаном|P1"),
                                  QStringLiteral("6.00"), QStringLiteral("бар"));
        QTextTable* t = table.table();
        table.seek();
        QCOMPARE(capture.count(), 0);
        QCOMPARE(tableRows(t), (QList<QStringList>{{QStringLiteral("Объект"), userText}}) +
                                   parseRows(QString::fromUtf8(R"(Условия эксплуатации
Система|отопление
Избыточное давление перед клапаном P1|6.00|бар)")));
        QCOMPARE(QList<int>({t->cellAt(0, 1).columnSpan(), t->cellAt(1, 0).columnSpan(),
                             t->cellAt(2, 2).columnSpan()}),
                 QList<int>({3, 4, 2}));
        QCOMPARE(
            QList<int>({int(horizontalAlignment(t->cellAt(0, 1))), int(horizontalAlignment(t->cellAt(3, 2))),
                        int(horizontalAlignment(t->cellAt(3, 3)))}),
            QList<int>({Qt::AlignRight, Qt::AlignRight, Qt::AlignHCenter}));
        const QFont section = firstCharFormat(t->cellAt(1, 0)).font();
        QVERIFY(section.bold() && section.italic());
        // The symbol after "|" is italic, the caption upright, both in the report font.
        QTextBlock::iterator fragment = t->cellAt(3, 0).firstCursorPosition().block().begin();
        QVERIFY(!fragment.fragment().charFormat().font().italic());
        ++fragment;
        QCOMPARE(fragment.fragment().text(), QStringLiteral(" P1"));
        QVERIFY(fragment.fragment().charFormat().font().italic());
        QCOMPARE(fragment.fragment().charFormat().fontFamily(), QStringLiteral("Calibri"));
        QCOMPARE(fragment.fragment().charFormat().fontPointSize(), 11.0);
    }

    // Header, data table and the closing block of an ЛМК-3 (the widest
    // dimension table): on one page, every caption and number of the dimension
    // table on one line and clear of the drawing beside it.
    void headerAndClosingBlock()
    {
        orxtest::MessageCapture capture;
        FrameReport report(QStringLiteral("Клапан регулирующий"), dtLMK3);
        report.addHeader();
        report.addTitle(QStringLiteral("Входные данные"), Qt::AlignHCenter, true, false, 14);
        SmartTextTable data(report.insertDataTable(3));
        PdfGenerator::addPairRow(data, QStringLiteral("Система"), QStringLiteral("отопление"));
        report.finishDataTable(data);
        report.addDimensions();
        const QTextDocument& document = report.textDocument();
        QCOMPARE(capture.count(), 0);
        QCOMPARE(document.pageCount(), 1);
        const QList<QTextTable*> tables = topTables(document);
        QCOMPARE(tables.size(), 6);
        QCOMPARE(imagesIn(tables.at(0)->cellAt(0, 0)),
                 QStringList{QStringLiteral(":/icons/orimax-header.png")});
        QCOMPARE(cellText(tables.at(0)->cellAt(0, 1)), PdfGenerator::contactLine);
        QCOMPARE(
            titles(document),
            parseRows(QStringLiteral("Входные данные|Габаритные размеры|Оримакс-расчёт, версия от 01.03.22"))
                .first());
        QTextTable* closing = tables.at(4);
        QCOMPARE(imagesIn(closing->cellAt(0, 0)), QStringList{QStringLiteral(":/icons/lmk3_small.png")});
        auto* dimensions = qobject_cast<QTextTable*>(closing->childFrames().value(0));
        QVERIFY(dimensions);
        QCOMPARE(tableRows(dimensions).at(2).first(), QStringLiteral("Высота Н, мм, не более"));
        QCOMPARE(tableRows(dimensions).at(2).last(), QStringLiteral("1420"));
        QCOMPARE(firstCharFormat(dimensions->cellAt(0, 0)).fontPointSize(), 9.0); // smaller, to fit beside
        for (int row = 0; row < dimensions->rows(); ++row) {
            for (int column = 0; column < dimensions->columns(); ++column) {
                const QTextBlock block = dimensions->cellAt(row, column).firstCursorPosition().block();
                QVERIFY2(block.layout()->lineCount() == 1, qPrintable(block.text()));
            }
        }
        const QRectF drawing = document.documentLayout()->frameBoundingRect(closing);
        const QRectF table = document.documentLayout()->frameBoundingRect(dimensions);
        QVERIFY(table.left() >= drawing.left() + 110 && table.right() <= drawing.right() + 0.5);
        const QTextTableCell footer = tables.at(5)->cellAt(0, 0);
        QCOMPARE(horizontalAlignment(footer), Qt::AlignRight);
        QVERIFY(firstCharFormat(footer).font().italic() && firstCharFormat(footer).fontPointSize() == 8.0);
    }

    // The logo and the dimension drawing reach the PDF at print resolution and
    // without lossy compression, which would blur their thin lines.
    void printedPictures()
    {
        const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
        if (pdfimages.isEmpty())
            QSKIP("poppler-utils (pdfimages) are not installed");
        FrameReport report(QStringLiteral("Отчёт"), dtLMK2);
        report.addHeader();
        report.addDimensions();
        const QString path = m_folder.filePath(QStringLiteral("pictures.pdf"));
        QVERIFY(report.printToFile(path));
        QProcess process;
        process.start(pdfimages, {QStringLiteral("-list"), path});
        QVERIFY(process.waitForFinished(30000));
        // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
        int pictures = 0;
        for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() < 14 || fields.at(2) != "image")
                continue;
            ++pictures;
            QVERIFY2(fields.at(8) != "jpeg", line.constData());
            QVERIFY2(fields.at(12).toInt() >= 290 && fields.at(13).toInt() >= 290, line.constData());
        }
        QCOMPARE(pictures, 2);
    }

    // The written report goes to the viewer under a UTF-8 name; with no viewer
    // the user is told where it is; when it cannot be written, that is reported.
    void openedInViewer()
    {
        orxtest::MessageCapture capture;
        FrameReport report;
        report.addTitle(QStringLiteral("Отчёт"), Qt::AlignLeft, false, false, 11);
        QVERIFY(report.openPdf());
        QVERIFY(QFileInfo(report.fileName()).size() > 0);
        QCOMPARE(m_viewer->opened, QList<QUrl>{QUrl::fromLocalFile(report.fileName())});
        QCOMPARE(capture.count(), 0);
        QList<QByteArray> names; // as the file system stores them
        DIR* dir = ::opendir(QFile::encodeName(QFileInfo(report.fileName()).path()).constData());
        while (dirent* entry = dir ? ::readdir(dir) : nullptr)
            names.append(QByteArray(entry->d_name));
        if (dir)
            ::closedir(dir);
        QVERIFY(names.contains(QStringLiteral("Клапан_регулирующий_ОРИМАКС_%1.pdf").arg(today()).toUtf8()));

        delete m_viewer; // offscreen: nothing can open it
        m_viewer = nullptr;
        orxtest::ModalAnswerer answerer(orxtest::ModalAnswerer::pressButton(QMessageBox::Ok));
        QVERIFY(report.openPdf());
        QVERIFY(answerer.answered());
        QCOMPARE(answerer.title(), QStringLiteral("Отчёт сохранён"));
        QCOMPARE(answerer.text(),
                 QStringLiteral("Отчёт сохранён в файл:\n") + QDir::toNativeSeparators(report.fileName()));
        QVERIFY(QFileInfo::exists(report.fileName()));
    }

    void unwritableTargetReported()
    {
        // Neither the documents folder nor the temporary folder (missing) can take the file.
        const QString plainFile = m_folder.path() + QStringLiteral("/not-a-folder");
        touch(plainFile);
        SmartSettings().setValue(documentsKey, plainFile);
        const QByteArray savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(m_folder.path() + QStringLiteral("/missing")));
        orxtest::MessageCapture capture;
        FrameReport report;
        report.addTitle(QStringLiteral("Отчёт"), Qt::AlignLeft, false, false, 11);
        const bool written = report.openPdf();
        savedTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", savedTmp);
        QVERIFY(!written && m_viewer->opened.isEmpty());
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().level, int(geh::mlError));
        QCOMPARE(capture.messages().first().text, QStringLiteral("Не удалось сохранить файл \"%1\"")
                                                      .arg(QDir::toNativeSeparators(report.fileName())));
        // Where the report was meant to go, not the root the missing temporary folder would leave.
        QVERIFY(report.fileName().startsWith(plainFile + QStringLiteral("/pdf/")));
    }

    void smartCellText_data() { rowsOf(kCells); }
    void smartCellText()
    {
        QFETCH(int, row);
        const CellCase& c = kCells[row];
        orxtest::MessageCapture capture;
        QTextDocument document;
        QTextCursor cursor(&document);
        SmartTextTable table(cursor.insertTable(1, 2));
        table.setCellText(c.column, QString::fromUtf8(c.text), Qt::AlignHCenter, c.bold, false, c.pointSize);
        QCOMPARE(capture.conditions(), split(c.conditions));
        QStringList written;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                written.append(QString::number(format.fontItalic()) + it.fragment().text());
                QCOMPARE(format.fontFamily(), QStringLiteral("Calibri"));
                QCOMPARE(format.fontWeight(), c.weight);
                QCOMPARE(format.fontPointSize(), c.size);
                QCOMPARE(block.blockFormat().alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
                QCOMPARE(table.table()->cellAt(block.position()).column(), c.column);
            }
        }
        QCOMPARE(written, split(c.fragments));
    }

    void addValues_data() { rowsOf(kRows); }
    void addValues()
    {
        QFETCH(int, row);
        const RowsCase& c = kRows[row];
        orxtest::MessageCapture capture;
        QTextDocument document;
        QTextCursor cursor(&document);
        SmartTextTable table(cursor.insertTable(c.prepared, c.columns));
        table.defaultPointSize = 10;
        const auto cellsOf = [&c](int r) {
            QStringList cells;
            for (int i = 0; i < c.cells; ++i)
                cells << QStringLiteral("r%1c%2").arg(r).arg(i);
            return cells;
        };
        for (int r = 0; r < c.written; ++r)
            table.addValues(cellsOf(r));
        QCOMPARE(capture.conditions(), split(c.conditions));
        QCOMPARE(document.rootFrame()->childFrames().size(), 1);
        QCOMPARE(QList<int>({table.row, table.table()->rows(), table.table()->columns()}),
                 QList<int>({c.written, c.prepared, c.columnsAfter}));
        for (int r = 0; r < c.written; ++r) {
            for (int column = 0; column < c.cells; ++column) {
                if (r >= c.prepared) {
                    QVERIFY(!document.toPlainText().contains(cellsOf(r).at(column)));
                    continue;
                }
                QCOMPARE(cellText(table.table()->cellAt(r, column)), cellsOf(r).at(column));
                const QTextCursor at = table.table()->cellAt(r, column).lastCursorPosition();
                const Qt::Alignment side = column == 0 ? Qt::AlignLeft : Qt::AlignRight;
                QCOMPARE(at.blockFormat().alignment(), side | Qt::AlignVCenter);
                QCOMPARE(at.charFormat().fontPointSize(), 10.0);
                QVERIFY(at.charFormat().fontWeight() == QFont::Normal && !at.charFormat().fontItalic());
            }
        }
    }

    // Every series has the diameters from DN 15 upwards and a value in every cell.
    void tableShape_data() { rowsOf(kSeries); }
    void tableShape()
    {
        QFETCH(int, row);
        const Series& s = kSeries[row];
        orxtest::MessageCapture capture;
        const QList<QStringList> rows = recordedRows(s.deviceType);
        QCOMPARE(capture.count(), 0);
        QCOMPARE(rows.size(), s.rows);
        for (const QStringList& cells : rows)
            QVERIFY(cells.size() == s.diameters + 1 && !cells.contains(QString()));
        QCOMPARE(rows.at(0).mid(1),
                 split("15|20|25|32|40|50|65|80|100|125|150|200|250|300").mid(0, s.diameters));
    }

    // No data: reported, no rows nor notes; the report then shows one empty row.
    void typesWithoutData()
    {
        for (int deviceType : {int(dtLMR101), 999}) {
            orxtest::MessageCapture capture;
            QVERIFY(recordedRows(deviceType).isEmpty());
            QVERIFY(DeviceSizeTableGenerator(deviceType).notes(true).isEmpty());
            DeviceSizeTableGenerator report(deviceType);
            QTextDocument* document = report.generateDocument(10);
            QCOMPARE(capture.conditions(), split("0|0"));
            QTextTable* table = onlyTable(*document);
            QVERIFY(table && table->rows() == 1 && table->columns() == 15);
            QVERIFY(document->toPlainText().trimmed().isEmpty());
        }
    }

    // The 25 × 15 table is cut to the rows written, at the cursor of the report's
    // own document or in a document of its own, with the notes below it.
    void reportForm()
    {
        for (const bool atCursor : {false, true}) {
            const int deviceType = atCursor ? dtLMRD : dtLMR2P;
            QTextDocument report;
            QTextCursor cursor(&report);
            cursor.insertText(QStringLiteral("Габаритные размеры"));
            cursor.insertBlock();
            orxtest::MessageCapture capture;
            DeviceSizeTableGenerator generator(deviceType, atCursor ? cursor : QTextCursor());
            QTextDocument* document = generator.generateDocument(10);
            QCOMPARE(capture.count(), 0);
            QCOMPARE(document == &report, atCursor);
            QCOMPARE(document->begin().text(), atCursor ? QStringLiteral("Габаритные размеры") : QString());
            QTextTable* table = onlyTable(*document);
            QVERIFY(table);
            QCOMPARE(tableRows(table), recordedRows(deviceType));
            QCOMPARE(table->format().cellPadding(), 2.0); // room around the digits
            QTextCursor inCell = table->cellAt(table->rows() - 1, table->columns() - 1).firstCursorPosition();
            inCell.movePosition(QTextCursor::NextCharacter);
            QCOMPARE(inCell.charFormat().fontPointSize(), 10.0);
            QTextCursor end(document);
            end.setPosition(table->lastPosition() + 1);
            end.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            QCOMPARE(end.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')),
                     generator.notes(false));
            QVERIFY(generator.notes(false).startsWith(QStringLiteral("\n\nДлина импульсн")));
            end.clearSelection(); // the notes in the table's font, upright and regular
            QCOMPARE(end.charFormat().fontPointSize(), 10.0);
            QVERIFY(end.charFormat().fontWeight() == QFont::Normal && !end.charFormat().fontItalic());
        }
    }

    void labelForm()
    {
        orxtest::MessageCapture capture;
        const DeviceSizeTableGenerator generator(dtLMRD);
        const std::unique_ptr<SmartLabel> label(generator.generateLabel(9));
        QVERIFY(label && !label->parent());
        QCOMPARE(capture.count(), 0);
        QCOMPARE(label->font().pointSize(), 9);
        const QString html = label->text();
        QVERIFY(
            html.startsWith(QStringLiteral("<table border=\".5\", cellspacing=\"0\" cellpadding=\"1\"><tr>"
                                           "<td align=\"left\">Номинальный диаметр DN, мм</td>"
                                           "<td align=\"right\">15</td>")));
        QVERIFY(html.endsWith(QStringLiteral("</table>") + generator.notes(true)));
        QCOMPARE(generator.notes(true),
                 generator.notes(false).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
        QTextDocument shown; // what the label shows: the table of the series as rich text
        shown.setHtml(html);
        QTextTable* table = onlyTable(shown);
        QVERIFY(table);
        QCOMPARE(tableRows(table), recordedRows(dtLMRD));
    }

    void valveReport_data() { rowsOf(kValves); }
    void valveReport()
    {
        QFETCH(int, row);
        const Case& c = kValves[row];
        orxtest::MessageCapture capture;
        const auto report = reportOf<ValveAlgorithm, ValveReport>(valveCase(c.example), c.dn, c.kvs, c.pipes);
        QCOMPARE(report.item.dn, c.dn);
        ValvePdfGenerator generator;
        generator.write(report);
        checkTables(generator, c, capture);
    }

    void regulatorReport_data() { rowsOf(kRegulators); }
    void regulatorReport()
    {
        QFETCH(int, row);
        const Case& c = kRegulators[row];
        orxtest::MessageCapture capture;
        auto report =
            reportOf<RegulatorAlgorithm, RegulatorReport>(regulatorCase(c.example), c.dn, c.kvs, c.pipes);
        if (!c.dn) { // the input rows alone, with a candidate of its own
            capture.clear();
            report.item.deviceType = report.input.deviceType();
            report.item.tuningRange = 527;
            report.item.deviceNoiseRisk = nrLow;
        }
        QCOMPARE(report.item.dn, c.dn);
        RegulatorPdfGenerator generator(report.input.deviceType());
        generator.write(report);
        checkTables(generator, c, capture);
    }

    // The object name is the user's own text: neither markup nor the unit bar.
    void valveTitlesAndDrawing()
    {
        ValveInputParams task = valveCase(3);
        task.objectName = QStringLiteral("<b>Котельная</b> | корпус 2 | ул. Заводская\nИТП &amp; ЦТП");
        orxtest::MessageCapture capture;
        ValvePdfGenerator generator;
        generator.write(reportOf<ValveAlgorithm, ValveReport>(task, 40, 25, {}));
        QCOMPARE(capture.count(), 0);
        QCOMPARE(tableRows(dataTables(generator.textDocument()).first()).first(),
                 (QStringList{QStringLiteral("Объект"), task.objectName}));
        QCOMPARE(
            titles(generator.textDocument()),
            parseRows(QStringLiteral("Расчёт регулирующего клапана|Входные данные|Клапан, выбранный "
                                     "пользователем программы с учётом особенностей системы "
                                     "теплоснабжения|Габаритные размеры|Оримакс-расчёт, версия от 01.03.22"))
                .first());
        const QList<QTextTable*> tables = topTables(generator.textDocument());
        QCOMPARE(imagesIn(tables.at(tables.size() - 2)->cellAt(0, 0)),
                 QStringList{QStringLiteral(":/icons/lmk3_small.png")});
        QCOMPARE(generator.name(), QStringLiteral("Клапан регулирующий"));
    }

    void regulatorTitles_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kRegulations)); ++row)
            QTest::newRow(kRegulations[row].name) << row;
    }

    void regulatorTitles()
    {
        QFETCH(int, row);
        const Regulation& r = kRegulations[row];
        RegulatorInputParams input = regulatorCase(2);
        input.regulation = row + 1;
        RegulatorResultItem item;
        item.deviceType = r.deviceType;
        item.tuningRange = 527;
        item.deviceNoiseRisk = nrLow;
        orxtest::MessageCapture capture;
        RegulatorPdfGenerator generator(r.deviceType);
        generator.write(RegulatorReport{input, item, {}});
        // Only the missing drawing and dimensions of the bypass regulator are reported.
        QCOMPARE(capture.assertions().size(), r.drawing ? 0 : 2);
        QCOMPARE(titles(generator.textDocument()).first(), QString::fromUtf8(r.title));
        QCOMPARE(QFileInfo(generator.makeFileName()).fileName(),
                 QString::fromUtf8(r.fileStem) + QStringLiteral("_ОРИМАКС_") +
                     QDate::currentDate().toString(QStringLiteral("dd.MM.yy")) + QStringLiteral(".pdf"));
        const QList<QTextTable*> tables = topTables(generator.textDocument());
        QCOMPARE(imagesIn(tables.at(tables.size() - 2)->cellAt(0, 0)),
                 r.drawing ? QStringList{QStringLiteral(":/icons/%1_small.png").arg(QLatin1String(r.drawing))}
                           : QStringList());
        QCOMPARE(generator.textDocument().pageCount(), 1);
        if (!r.drawing) { // an unknown regulation has no name
            capture.clear();
            QCOMPARE(RegulatorPdfGenerator::titleDevName(5), QString());
            QCOMPARE(capture.assertions().size(), 1);
        }
    }

    void writtenPdfReadsBack()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        const QString pdffonts = QStandardPaths::findExecutable(QStringLiteral("pdffonts"));
        if (pdftotext.isEmpty() || pdffonts.isEmpty())
            QSKIP("poppler-utils (pdftotext, pdffonts) are not installed");

        // The pipe chosen as the window would: the area follows the valve's DN.
        const ValveInputParams task = valveCase(1);
        ValveAlgorithm algorithm;
        QVERIFY(algorithm.calc(task));
        PipeSelectionArea pipes(algorithm);
        pipes.setDn(100);
        orxtest::MessageCapture capture;
        ValvePdfGenerator generator;
        QVERIFY(
            generator.generate(reportOf<ValveAlgorithm, ValveReport>(task, 100, 125, pipes.selections())));
        QCOMPARE(capture.count(), 0);
        const QString path = generator.fileName();
        QCOMPARE(m_viewer->opened, QList<QUrl>{QUrl::fromLocalFile(path)});

        const auto run = [](const QString& program, const QStringList& arguments) {
            QProcess process;
            process.start(program, arguments);
            process.waitForFinished(30000);
            return QString::fromUtf8(process.readAllStandardOutput());
        };
        const QString text = run(pdftotext, {QStringLiteral("-layout"), path, QStringLiteral("-")});
        // The narrow caption cells of the dimension table may wrap: only their first word.
        for (const char* expected :
             {"Расчёт регулирующего клапана", "ИТП-1", "пропиленгликоля раствор",
              "Клапан седельный ЛМК-2 DN 100 Kvy 125", "Макс. скорость потока в трубопроводе DN 100", "3.30",
              "Номинальный", "Оримакс-расчёт, версия от 01.03.22"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);

        // Every font of the report is the report family, embedded in the file.
        const QStringList lines = run(pdffonts, {path}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines.size() > 2);
        const int embedded = lines.first().indexOf(QStringLiteral("emb"));
        for (const QString& font : lines.mid(2)) { // below the heading and its rule
            QVERIFY2(font.startsWith(QStringLiteral("Carlito")) || font.startsWith(QStringLiteral("Calibri")),
                     qPrintable(font));
            QCOMPARE(font.mid(embedded, 3), QStringLiteral("yes"));
        }
    }
};

ORX_GUI_TEST_MAIN(TestReports)
#include "tst_reports.moc"
