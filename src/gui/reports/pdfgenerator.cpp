#include "reports/pdfgenerator.h"

#include "documents/doc.h"
#include "engine/inputparams.h"
#include "engine/resultitem.h"
#include "gentools/errorhandle.h"
#include "guitools/appversion.h"
#include "guitools/makerinfo.h"
#include "project/schedulefile.h"
#include "reports/devicesizetablegenerator.h"
#include "reports/smarttexttable.h"
#include "vocabulary/common.h"
#include "vocabulary/symbols.h"

#include <QAbstractTextDocumentLayout>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <cmath>

const QString PdfGenerator::contactLine = orx::makerContactLine();

namespace {

// The documents folder the user last saved to or opened from.

// Point sizes of the report: the contact line, section titles, the footer.
const int contactPointSize = 10;
const int sectionTitlePointSize = 14;
const int footerPointSize = 8;
// The dimension table beside the drawing: fourteen DN columns of up to four
// digits and the captions must stand on one line each, with room around them,
// in the 83 % column.
const int dimensionsPointSize = 9;
// Space between the page edge (inside the printer's margins) and the text, in
// the printer's pixels.
const qreal documentMargin = 50;

QTextCharFormat reportCharFormat(bool bold, bool italic, int pointSize)
{
    QTextCharFormat format;
    format.setFontFamily(reportFontFamily());
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    format.setFontPointSize(pointSize);
    return format;
}

QTextBlockFormat leftAlignedBlock()
{
    QTextBlockFormat format;
    format.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return format;
}

bool isNumber(double value)
{
    return std::isfinite(value);
}

// The system as the form shows it. The selection does without it, so a task
// may come to the report with none chosen (-1): the user left the field empty,
// or a document from elsewhere held a system the form does not list and opened
// with the field empty. That is printed as a technical table writes a cell
// without a value, with a dash: an empty cell would read as a line the printer
// lost, and a name looked up for -1 would be "unknown" and an internal fault.
QString systemText(int system)
{
    if (system == -1)
        return QString(QChar(0x2014));
    return common::loopName(common::Loop(system));
}

// Joins `span` cells of the current row from `column` on. Past the prepared
// rows there is nothing to join; writing the cell reports it.
void mergeCurrentRow(SmartTextTable& table, int column, int span)
{
    if (!table.endOfTable())
        table.table()->mergeCells(table.row, column, 1, span);
}

// Writes a text into a cell as it stands: a "|" in it stays a "|". The cell's
// alignment comes through the table's own writer.
void writeLiteralCell(SmartTextTable& table, int column, const QString& text, Qt::Alignment alignment,
                      bool bold)
{
    table.setCellText(column, QString(), alignment, bold, false, 0);
    if (table.endOfTable())
        return;
    QTextCursor cell = table.table()->cellAt(table.row, column).firstCursorPosition();
    cell.insertText(text, reportCharFormat(bold, false, table.defaultPointSize));
}

// The printed pictures (logo, dimension drawings) are drawn finer than the
// page is laid out and store their resolution: each takes the place on the page
// that its resolution gives it, and the PDF keeps all its pixels.
void insertPicture(QTextCursor cursor, const QString& name, int pageDpi)
{
    QTextImageFormat format;
    format.setName(name);
    const QImage picture(name);
    if (!picture.isNull() && picture.dotsPerMeterX() > 0 && picture.dotsPerMeterY() > 0) {
        const qreal pageDotsPerMeter = pageDpi / 0.0254;
        format.setWidth(picture.width() * pageDotsPerMeter / picture.dotsPerMeterX());
        format.setHeight(picture.height() * pageDotsPerMeter / picture.dotsPerMeterY());
    }
    cursor.insertImage(format);
}

// The document's pages as QTextDocument::print() paints them, but with the
// pictures kept lossless: print() lets the PDF writer store them as JPEG,
// whose ringing blurs the thin lines and small letters of a drawing.
// The pages follow what the device holds already when `newPageFirst`.
void paintPages(const QTextDocument& document, QPainter& painter, QPagedPaintDevice& device,
                bool newPageFirst)
{
    painter.save();
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const QSizeF page = document.pageSize();
    painter.scale(device.width() / page.width(), device.height() / page.height());
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 || newPageFirst)
            device.newPage();
        const QRectF view(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.restore();
}

void paintPages(const QTextDocument& document, QPrinter& printer)
{
    QPainter painter(&printer);
    if (painter.isActive())
        paintPages(document, painter, printer, false);
}

} // namespace

PdfGenerator::PdfGenerator(int deviceType) : printer(QPrinter::ScreenResolution), deviceType(deviceType)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    // Explicit margins: the document is laid out for exactly this page, so
    // printing adds no frame and no page numbers of its own. With the
    // document's own margin of 50 px the text stands 18 mm from the paper's
    // left and right edges and 13 mm from its top and bottom, and the longest
    // reports keep to one page: ЛМР-Д with its impulse-tube notes, a glycol
    // that takes two lines and a position in its title, or a valve with its
    // drive.
    printer.setPageMargins(QMarginsF(5, 0, 5, 0), QPageLayout::Millimeter);
    printer.setCreator(orx::versionString());

    document.setDefaultFont(QFont(reportFontFamily(), 11));
    document.setPageSize(printer.pageRect(QPrinter::DevicePixel).size());
    document.setDocumentMargin(documentMargin);
    cursor = QTextCursor(&document);
}

PdfGenerator::~PdfGenerator() = default;

QString PdfGenerator::reportDirectory()
{
    const QString documents = Doc::rememberedDirectory();
    const QString directory = QDir::cleanPath(documents + QStringLiteral("/pdf"));
    // The "pdf" folder is made below the documents folder; a documents folder
    // the user has deleted since is not made again for a report.
    if (QFileInfo(documents).isDir()) {
        QDir().mkpath(directory);
        const QFileInfo info(directory);
        if (info.exists() && info.isDir() && info.isWritable())
            return directory;
    }
    // The toolkit answers an empty path when the temporary folder is missing too;
    // the report then fails at its intended place (never in the root folder),
    // and the message names that place.
    const QString temporary = QDir::tempPath();
    return temporary.isEmpty() ? directory : temporary;
}

QString PdfGenerator::makeFileName() const
{
    const QString directory = reportDirectory();
    const QString date = QDate::currentDate().toString(QStringLiteral("dd.MM.yy"));
    QString stem = name();
    stem.replace(QLatin1Char(' '), QLatin1Char('_'));
    stem.remove(QLatin1Char('"'));
    for (int n = 0;; ++n) {
        const QString suffix = n == 0 ? QString() : QStringLiteral("(%1)").arg(n);
        const QString path = QStringLiteral("%1/%2_ОРИМАКС_%3%4.pdf").arg(directory, stem, date, suffix);
        if (!QFileInfo::exists(path))
            return path;
    }
}

bool PdfGenerator::openPdf()
{
    m_fileName = makeFileName();
    if (!printToFile(m_fileName)) {
        geh::ErrorHandler* handler = geh::ErrorHandler::instance();
        handler->setError(
            GEH_LOCATION,
            QStringLiteral("Не удалось сохранить файл \"%1\"").arg(QDir::toNativeSeparators(m_fileName)),
            QString());
        handler->showLastError();
        return false;
    }
    openInViewer(m_fileName);
    return true;
}

bool PdfGenerator::writeTogether(const QList<const PdfGenerator*>& reports, const QString& path,
                                 const QString& title, QString* error)
{
    if (!GEH_ASSERT(!reports.isEmpty()))
        return false;
    const QPrinter& first = reports.first()->printer;
    return saveWholeFile(
        path,
        [&reports, &first, &title](QIODevice* file) {
            // The pages of every report as its own printer lays them out.
            QPdfWriter writer(file);
            writer.setTitle(title);
            writer.setCreator(first.creator());
            writer.setResolution(first.resolution());
            writer.setPageLayout(first.pageLayout());
            QPainter painter;
            if (!painter.begin(&writer))
                return false;
            for (int i = 0; i < reports.size(); ++i)
                paintPages(reports.at(i)->document, painter, writer, i > 0);
            return painter.end();
        },
        error);
}

bool PdfGenerator::printToFile(const QString& path)
{
    // A printer that cannot open its file writes nothing and only complains in
    // the toolkit's own words: find that out first.
    QFile target(path);
    if (!target.open(QIODevice::WriteOnly))
        return false;
    target.close();

    printer.setOutputFileName(path);
    printer.setDocName(name());
    paintPages(document, printer);
    if (QFileInfo(path).size() > 0)
        return true;
    QFile::remove(path); // no half-made report is left behind
    return false;
}

void PdfGenerator::openInViewer(const QString& path)
{
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return;
    // Nothing opened the report (no PDF viewer on this desktop): without a word
    // the user would think it was never made.
    const QString nativePath = QDir::toNativeSeparators(path);
    geh::ErrorHandler::instance()->writeLog(GEH_LOCATION, geh::mlInformation,
                                            QStringLiteral("Отчёт не открыт средствами рабочего стола"),
                                            nativePath);
    // Through the program's message channel, as every message to the user: the
    // window shows it as an information box, a test or the console reads it.
    geh::ErrorHandler::instance()->currentPrinter()->print(
        QStringLiteral("Отчёт сохранён"), QStringLiteral("Отчёт сохранён в файл:\n") + nativePath, QString(),
        geh::mlInformation);
}

void PdfGenerator::addHeader()
{
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);

    QTextTable* table = cursor.insertTable(1, 2, SmartTextTable::tableFormat(false, 5));
    SmartTextTable(table).setColumnWidths({40, 60});
    insertPicture(table->cellAt(0, 0).firstCursorPosition(), QStringLiteral(":/icons/orimax-header.png"),
                  printer.resolution());

    QTextTableCell contactCell = table->cellAt(0, 1);
    QTextCharFormat middle = contactCell.format();
    middle.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    contactCell.setFormat(middle);
    QTextCursor contact = contactCell.firstCursorPosition();
    contact.setBlockFormat(leftAlignedBlock());
    contact.insertText(contactLine, reportCharFormat(false, false, contactPointSize));

    cursor.movePosition(QTextCursor::End);
}

void PdfGenerator::addEmptyLines(int count)
{
    cursor.setBlockFormat(leftAlignedBlock());
    for (int i = 0; i < count; ++i)
        cursor.insertBlock();
}

void PdfGenerator::addTitle(const QString& text, Qt::Alignment alignment, bool bold, bool italic,
                            int pointSize)
{
    QTextTable* table = cursor.insertTable(1, 1, SmartTextTable::tableFormat(false, 5));
    SmartTextTable writer(table);
    writer.setColumnWidths({100});
    writer.setCellText(0, text, alignment, bold, italic, pointSize);
    cursor.movePosition(QTextCursor::End);
}

QString PdfGenerator::titleWithPosition(const QString& title, const QString& position)
{
    return position.isEmpty() ? title : QStringLiteral("%1, поз.\u00A0%2").arg(title, position);
}

void PdfGenerator::addSectionTitle(const QString& text, bool lineAfter)
{
    addEmptyLines(2);
    addTitle(text, Qt::AlignHCenter, true, false, sectionTitlePointSize);
    if (lineAfter)
        addEmptyLines(1);
}

void PdfGenerator::addDimensions()
{
    addSectionTitle(QStringLiteral("Габаритные размеры"), true);

    QTextTable* table = cursor.insertTable(1, 2, SmartTextTable::tableFormat(false, 0));
    SmartTextTable(table).setColumnWidths({17, 83});
    // A series without a drawing has already been reported by the lookup.
    const QString drawing = common::deviceSizeImageName(common::DeviceType(deviceType), true);
    if (!drawing.isEmpty())
        insertPicture(table->cellAt(0, 0).firstCursorPosition(), drawing, printer.resolution());
    DeviceSizeTableGenerator(deviceType, table->cellAt(0, 1).firstCursorPosition())
        .generateDocument(dimensionsPointSize);
    cursor.movePosition(QTextCursor::End);

    addTitle(orx::versionString(), Qt::AlignRight, false, true, footerPointSize);
}

void PdfGenerator::addMergedRow(SmartTextTable& table, const QString& caption, const QString& value,
                                bool bold, Qt::Alignment alignment)
{
    mergeCurrentRow(table, 1, 3);
    table.setCellText(0, caption, Qt::AlignLeft, false, false, 0);
    writeLiteralCell(table, 1, value, alignment, bold);
    ++table.row;
}

void PdfGenerator::addSectionRow(SmartTextTable& table, const QString& text)
{
    mergeCurrentRow(table, 0, 4);
    table.setCellText(0, text, Qt::AlignHCenter, true, true, 0);
    ++table.row;
}

void PdfGenerator::addPairRow(SmartTextTable& table, const QString& caption, const QString& value)
{
    mergeCurrentRow(table, 0, 2);
    mergeCurrentRow(table, 2, 2);
    table.setCellText(0, caption, Qt::AlignLeft, false, false, 0);
    table.setCellText(2, value, Qt::AlignLeft, false, false, 0);
    ++table.row;
}

void PdfGenerator::addValueRow(SmartTextTable& table, const QString& caption, const QString& value,
                               const QString& unit)
{
    mergeCurrentRow(table, 0, 2);
    table.setCellText(0, caption, Qt::AlignLeft, false, false, 0);
    table.setCellText(2, value, Qt::AlignRight, false, false, 0);
    table.setCellText(3, unit, Qt::AlignHCenter, false, false, 0);
    ++table.row;
}

QString PdfGenerator::numberText(double value, int decimals)
{
    if (!isNumber(value))
        return QStringLiteral("Не задано");
    return QString::number(value, 'f', decimals);
}

QString PdfGenerator::conformityText(bool conforms)
{
    return conforms ? QStringLiteral("соотв.") : QStringLiteral("не соотв.");
}

QTextTable* PdfGenerator::insertDataTable(int rows)
{
    QTextTable* table = cursor.insertTable(rows, 4, SmartTextTable::tableFormat(true, 1));
    SmartTextTable(table).setColumnWidths({16, 54, 17, 13});
    return table;
}

void PdfGenerator::finishDataTable(SmartTextTable& table)
{
    cursor = table.seek();
}

void PdfGenerator::addTaskRows(SmartTextTable& table, const InputParams& input)
{
    addMergedRow(table, QStringLiteral("Объект"), input.objectName, false, Qt::AlignRight);
    addSectionRow(table, QStringLiteral("Условия эксплуатации"));
    addPairRow(table, QStringLiteral("Система"), systemText(input.system));
    addPairRow(table, QStringLiteral("Рабочая среда"),
               common::substanceName(common::SubstanceType(input.substance), input.concentration));
}

void PdfGenerator::addPlaceRow(SmartTextTable& table, const InputParams& input)
{
    addPairRow(table, QStringLiteral("Место установки"),
               common::installPlaceName(common::InstallPlace(input.place)));
}

void PdfGenerator::addTemperatureAndFlowRows(SmartTextTable& table, const InputParams& input,
                                             bool writeMissingTemperatures)
{
    if (writeMissingTemperatures || isNumber(input.Tsupply))
        addValueRow(table, QStringLiteral("Температура рабочей среды в подающем трубопроводе|Tпод"),
                    numberText(input.Tsupply, 2), common::degreesCelsius());
    if (writeMissingTemperatures || isNumber(input.Treturn))
        addValueRow(table, QStringLiteral("Температура рабочей среды в обратном трубопроводе|Tобр"),
                    numberText(input.Treturn, 2), common::degreesCelsius());
    // The heat load is part of the task only when the flow was derived from it.
    if (input.flowInputMode == InputParams::flowFromHeatLoad)
        addValueRow(table, QStringLiteral("Тепловая нагрузка|Q"), numberText(input.heatLoad, 2),
                    common::heatMeasureName(common::HeatMeasure(input.heatMeasure)));
    const bool liquid = input.substanceProperties().isLiquid();
    addValueRow(table, QStringLiteral("Максимальный расход рабочей среды|G"), numberText(input.Q(), 2),
                common::wfMeasureName(common::WfMeasure(input.flowMeasure), liquid));
}

void PdfGenerator::addRiskRows(SmartTextTable& table, const ResultItem& item, const QString& inDevice)
{
    addValueRow(table, QStringLiteral("Вероятность кавитации ") + inDevice,
                item.hasCavitationRisk() ? QStringLiteral("высокая") : QStringLiteral("низкая"), QString());
    addValueRow(table, QStringLiteral("Вероятность шума и вибрации ") + inDevice,
                common::noiseRiskName(common::NoiseRisk(item.deviceNoiseRisk)), QString());
}

void PdfGenerator::addPipeSpeedRows(SmartTextTable& table, const PipeSelections& pipes, bool liquid,
                                    const QString& before, const QString& after)
{
    // A liquid has the same speed on both sides of the device, so one pipe;
    // steam and gases expand across it and have a pipe before and one after.
    const auto addSpeed = [&table, &pipes](int location, const QString& where) {
        const PipeChoice pipe = pipes.value(location);
        QString caption = QStringLiteral("Макс. скорость потока в трубопроводе DN %1").arg(pipe.dn);
        if (!where.isEmpty())
            caption += QLatin1Char(' ') + where;
        addValueRow(table, caption, numberText(pipe.speed, 2), QStringLiteral("м/с"));
    };
    if (liquid) {
        addSpeed(plSingle, QString());
    } else {
        addSpeed(plBefore, before);
        addSpeed(plAfter, after);
    }
}

QString PdfGenerator::pressureWord(const InputParams& input)
{
    return input.pressureType == common::pkAbsolute ? QStringLiteral("Абсолютное")
                                                    : QStringLiteral("Избыточное");
}

QString PdfGenerator::pressureUnit(const InputParams& input)
{
    return common::pressureMeasureName(common::PressureMeasure(input.pressureMeasure));
}
