#include "guitestsupport.h"
#include "tst_pdfgenerator_reader.h"

#include "gentools/errorhandle.h"
#include "reports/pdfgenerator.h"
#include "reports/smarttexttable.h"
#include "settings/smartsettings.h"
#include "vocabulary/common.h"

#include <QAbstractTextDocumentLayout>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QUrl>

#include <cmath>
#include <dirent.h>
#include <memory>

Q_DECLARE_METATYPE(QList<qreal>)

namespace {

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

// Every piece of the frame: header, a title, a data table, and the closing
// block of an ЛМК-3 (section title, drawing with dimensions, footer).
std::unique_ptr<FrameReport> wholeFrame()
{
    auto report = std::make_unique<FrameReport>(QStringLiteral("Клапан регулирующий"), common::dtLMK3);
    report->addHeader();
    report->addTitle(QStringLiteral("Входные данные"), Qt::AlignHCenter, true, false, 14);
    SmartTextTable data(report->insertDataTable(3));
    PdfGenerator::addPairRow(data, QStringLiteral("Система"), QStringLiteral("отопление"));
    report->finishDataTable(data);
    report->addDimensions();
    return report;
}

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

// The file names of a folder exactly as the file system stores them.
QList<QByteArray> rawNames(const QString& directory)
{
    QList<QByteArray> names;
    DIR* dir = ::opendir(QFile::encodeName(directory).constData());
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir))
        names.append(QByteArray(entry->d_name));
    ::closedir(dir);
    return names;
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

} // namespace

class TestPdfGenerator : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    QList<QUrl> m_opened;

public slots:
    // The desktop's "file" handler while a test runs: nothing is really opened.
    void openFile(const QUrl& url) { m_opened.append(url); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        QVERIFY(m_folder.isValid());
    }

    void init()
    {
        m_opened.clear();
        SmartSettings().setValue(documentsKey, m_folder.path());
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFile");
    }

    void cleanup()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDir(m_folder.path() + QStringLiteral("/pdf")).removeRecursively();
    }

    void fileNamesCountUp()
    {
        FrameReport report;
        const QString stem = m_folder.path() + QStringLiteral("/pdf/Клапан_регулирующий_ОРИМАКС_") + today();
        for (const QString& suffix : {QString(), QStringLiteral("(1)"), QStringLiteral("(2)")}) {
            const QString path = report.makeFileName();
            QCOMPARE(path, stem + suffix + QStringLiteral(".pdf"));
            touch(path);
        }
    }

    void fileName_data()
    {
        QTest::addColumn<QString>("documents");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // "%1": the date

        const QString folder = m_folder.path();
        const QString plainFile = folder + QStringLiteral("/not-a-folder");
        touch(plainFile);
        const QString valve = QStringLiteral("Клапан регулирующий");
        const QString valveFile = QStringLiteral("/Клапан_регулирующий_ОРИМАКС_%1.pdf");
        QTest::newRow("blanks") << folder << QStringLiteral("Регулятор перепада давления")
                                << folder + QStringLiteral("/pdf/Регулятор_перепада_давления_ОРИМАКС_%1.pdf");
        QTest::newRow("quotes dropped")
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
        const QString path = FrameReport(name).makeFileName();
        QCOMPARE(path, expected.arg(today()));
        QVERIFY(QFileInfo(path).dir().exists());
    }

    void cellTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("rounded") << PdfGenerator::numberText(91.8077, 2) << QStringLiteral("91.81");
        QTest::newRow("no decimals") << PdfGenerator::numberText(38.71, 0) << QStringLiteral("39");
        QTest::newRow("not a number") << PdfGenerator::numberText(NAN, 2) << QStringLiteral("Не задано");
        QTest::newRow("conforms") << PdfGenerator::conformityText(true) << QStringLiteral("соотв.");
        QTest::newRow("does not conform")
            << PdfGenerator::conformityText(false) << QStringLiteral("не соотв.");
    }

    void cellTexts()
    {
        QFETCH(QString, text);
        QTEST(text, "expected");
    }

    void pageLayout()
    {
        FrameReport report;
        const QPrinter& printer = report.pdfPrinter();
        QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
        QCOMPARE(report.textDocument().pageSize(), printer.pageRect(QPrinter::DevicePixel).size());
        QCOMPARE(report.textDocument().documentMargin(), 50.0);
        QCOMPARE(report.textDocument().defaultFont().family(), QStringLiteral("Calibri"));
        // A4 inside margins of 5 mm at the screen's resolution.
        const QRectF page = printer.pageLayout().paintRect(QPageLayout::Millimeter);
        QCOMPARE(qRound(page.width()), 200);
        QCOMPARE(qRound(page.height()), 287);
    }

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
        QCOMPARE(t->rows(), 4);
        QCOMPARE(reporttest::tableRows(t),
                 (QList<QStringList>{{QStringLiteral("Объект"), userText},
                                     {QStringLiteral("Условия эксплуатации")},
                                     {QStringLiteral("Система"), QStringLiteral("отопление")},
                                     {QStringLiteral("Избыточное давление перед клапаном P1"),
                                      QStringLiteral("6.00"), QStringLiteral("бар")}}));

        // Spans and alignment of each kind of row; the section title bold italic.
        QCOMPARE(t->cellAt(0, 1).columnSpan(), 3);
        QCOMPARE(horizontalAlignment(t->cellAt(0, 1)), Qt::AlignRight);
        QCOMPARE(t->cellAt(1, 0).columnSpan(), 4);
        QVERIFY(firstCharFormat(t->cellAt(1, 0)).font().bold() &&
                firstCharFormat(t->cellAt(1, 0)).font().italic());
        QCOMPARE(t->cellAt(2, 2).columnSpan(), 2);
        QCOMPARE(horizontalAlignment(t->cellAt(3, 2)), Qt::AlignRight);
        QCOMPARE(horizontalAlignment(t->cellAt(3, 3)), Qt::AlignHCenter);

        // The symbol after "|" is italic, the caption upright, both in the report font.
        QTextBlock::iterator fragments = t->cellAt(3, 0).firstCursorPosition().block().begin();
        QCOMPARE(fragments.fragment().text(), QStringLiteral("Избыточное давление перед клапаном"));
        QVERIFY(!fragments.fragment().charFormat().font().italic());
        ++fragments;
        QCOMPARE(fragments.fragment().text(), QStringLiteral(" P1"));
        QVERIFY(fragments.fragment().charFormat().font().italic());
        QCOMPARE(fragments.fragment().charFormat().fontFamily(), QStringLiteral("Calibri"));
        QCOMPARE(fragments.fragment().charFormat().fontPointSize(), 11.0);
    }

    void headerAndClosingBlock()
    {
        orxtest::MessageCapture capture;
        const auto report = wholeFrame();
        QCOMPARE(capture.count(), 0);
        const QList<QTextTable*> tables = reporttest::topTables(report->textDocument());
        QCOMPARE(tables.size(), 6);

        QTextTable* header = tables.at(0);
        QCOMPARE(reporttest::imagesIn(header->cellAt(0, 0)),
                 QStringList{QStringLiteral(":/icons/orimax-header.png")});
        QCOMPARE(reporttest::cellText(header->cellAt(0, 1)), PdfGenerator::contactLine);
        QCOMPARE(firstCharFormat(header->cellAt(0, 1)).fontPointSize(), 10.0);

        QCOMPARE(reporttest::titles(report->textDocument()),
                 (QStringList{QStringLiteral("Входные данные"), QStringLiteral("Габаритные размеры"),
                              QStringLiteral("Оримакс-расчёт, версия от 01.03.22")}));

        QTextTable* closing = tables.at(4);
        QCOMPARE(reporttest::imagesIn(closing->cellAt(0, 0)),
                 QStringList{QStringLiteral(":/icons/lmk3_small.png")});
        const QList<QTextFrame*> inner = closing->childFrames(); // the dimension table beside the drawing
        QCOMPARE(inner.size(), 1);
        auto* dimensions = qobject_cast<QTextTable*>(inner.first());
        QCOMPARE(reporttest::tableRows(dimensions).at(2).first(), QStringLiteral("Высота Н, мм, не более"));
        QCOMPARE(reporttest::tableRows(dimensions).at(2).last(), QStringLiteral("1420"));
        // The dimension table is set smaller than the data tables, to fit beside the drawing.
        QCOMPARE(firstCharFormat(dimensions->cellAt(0, 0)).fontPointSize(), 9.0);

        const QTextTableCell footer = tables.at(5)->cellAt(0, 0);
        QCOMPARE(horizontalAlignment(footer), Qt::AlignRight);
        QVERIFY(firstCharFormat(footer).font().italic());
        QCOMPARE(firstCharFormat(footer).fontPointSize(), 8.0);
    }

    void tableShapes_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<qreal>("border");
        QTest::addColumn<qreal>("padding");
        QTest::addColumn<QList<qreal>>("widths");
        QTest::newRow("header: logo and contact line") << 0 << 0.0 << 5.0 << QList<qreal>{40, 60};
        QTest::newRow("data table") << 2 << 1.0 << 1.0 << QList<qreal>{16, 54, 17, 13};
        QTest::newRow("drawing and dimensions") << 4 << 0.0 << 0.0 << QList<qreal>{17, 83};
        QTest::newRow("footer") << 5 << 0.0 << 5.0 << QList<qreal>{100};
    }

    // Borders, padding and the share of the page width of each column.
    void tableShapes()
    {
        QFETCH(int, index);
        QFETCH(QList<qreal>, widths);
        const QTextTableFormat format =
            reporttest::topTables(wholeFrame()->textDocument()).at(index)->format();
        QTEST(format.border(), "border");
        QTEST(format.cellPadding(), "padding");
        QCOMPARE(format.cellSpacing(), 0.0);
        QCOMPARE(format.borderStyle(), QTextFrameFormat::BorderStyle_Solid);
        QList<qreal> percentages;
        for (const QTextLength& length : format.columnWidthConstraints()) {
            QCOMPARE(length.type(), QTextLength::PercentageLength);
            percentages << length.rawValue();
        }
        QCOMPARE(percentages, widths);
    }

    void closingBlockSeries_data()
    {
        QTest::addColumn<int>("deviceType");
        // The widest tables: three DN columns of four digits.
        QTest::newRow("ЛМК-3") << int(common::dtLMK3);
    }

    // Every caption and number of the dimension table stands on one line, and
    // the table stays clear of the drawing beside it.
    void closingBlockSeries()
    {
        QFETCH(int, deviceType);
        FrameReport report(QStringLiteral("Отчёт"), deviceType);
        report.addDimensions();
        const QTextDocument& document = report.textDocument();
        QCOMPARE(document.pageCount(), 1);
        QTextTable* closing = reporttest::topTables(document).at(1); // below the section title
        auto* dimensions = qobject_cast<QTextTable*>(closing->childFrames().first());
        for (int row = 0; row < dimensions->rows(); ++row) {
            for (int column = 0; column < dimensions->columns(); ++column) {
                const QTextBlock block = dimensions->cellAt(row, column).firstCursorPosition().block();
                QVERIFY2(block.layout()->lineCount() == 1, qPrintable(block.text()));
            }
        }
        const QRectF drawing = document.documentLayout()->frameBoundingRect(closing);
        const QRectF table = document.documentLayout()->frameBoundingRect(dimensions);
        QVERIFY(table.left() >= drawing.left() + 110); // the drawing's width on the page
        QVERIFY(table.right() <= drawing.right() + 0.5);
    }

    void printedPictures_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::newRow("valve report") << int(common::dtLMK2);
    }

    // The logo and the dimension drawing reach the PDF at print resolution and
    // without lossy compression, which would blur their thin lines.
    void printedPictures()
    {
        QFETCH(int, deviceType);
        const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
        if (pdfimages.isEmpty())
            QSKIP("poppler-utils (pdfimages) are not installed");
        FrameReport report(QStringLiteral("Отчёт"), deviceType);
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

    void openedInViewer()
    {
        orxtest::MessageCapture capture;
        FrameReport report;
        report.addTitle(QStringLiteral("Отчёт"), Qt::AlignLeft, false, false, 11);
        QVERIFY(report.openPdf());
        QVERIFY(QFileInfo(report.fileName()).size() > 0);
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(report.fileName())});
        QCOMPARE(capture.count(), 0);
        // The Cyrillic name is stored as UTF-8, readable by every other program.
        const QByteArray expected =
            QStringLiteral("Клапан_регулирующий_ОРИМАКС_%1.pdf").arg(today()).toUtf8();
        QVERIFY2(rawNames(QFileInfo(report.fileName()).path()).contains(expected), expected.constData());
    }

    void viewerMissingTellsWhereSaved()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file")); // offscreen: nothing can open it
        FrameReport report;
        report.addTitle(QStringLiteral("Отчёт"), Qt::AlignLeft, false, false, 11);
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
        if (savedTmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", savedTmp);

        QVERIFY(!written);
        QVERIFY(m_opened.isEmpty());
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().level, int(geh::mlError));
        QCOMPARE(capture.messages().first().text, QStringLiteral("Не удалось сохранить файл \"%1\"")
                                                      .arg(QDir::toNativeSeparators(report.fileName())));
        // Where the report was meant to go, not the root folder the missing
        // temporary folder would leave.
        QVERIFY(report.fileName().startsWith(plainFile + QStringLiteral("/pdf/")));
    }
};

ORX_GUI_TEST_MAIN(TestPdfGenerator)
#include "tst_pdfgenerator.moc"
