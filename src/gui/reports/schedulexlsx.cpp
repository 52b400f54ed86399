#include "reports/schedulexlsx.h"

#include "project/equipmentschedule.h"
#include "project/schedulefile.h"

#include <QFile>
#include <QFont>
#include <QIODevice>
#include <QImage>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QTextOption>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>

namespace {

// A spreadsheet cell holds at most this many characters.
const int maxCellLength = 32767;
// Paper size 8 of the spreadsheet's print setup is A3.
const uint8_t paperA3 = 8;
const double mmPerInch = 25.4;
// Column widths are given to the spreadsheet in pixels of a 96 dpi screen, which
// it prints at that size.
const double pixelsPerMm = 96 / mmPerInch;
const double pointsPerMm = 72 / mmPerInch;
// The header row is as high as on the drawing sheet, a row at least a step of
// the sheet's table.
const double headerHeightMm = 15;
const double rowHeightMm = 8;
// A line of the spreadsheet's default font (Calibri, 11 points) takes 15 points;
// a row is never higher than 409 points.
const double linePoints = 15;
const double highestRowPoints = 409;
const double cellFontPoints = 11;
// A cell's text stands a few pixels inside its borders on either side.
const double cellPaddingPixels = 4;
// The margins of the drawing sheet: the binding edge on the left.
const double leftMarginMm = 20;
const double otherMarginMm = 5;

struct Formats
{
    lxw_format* header;
    lxw_format* text;
    lxw_format* centredText;
    lxw_format* quantity;
    lxw_format* mass;
};

lxw_format* cellFormat(lxw_workbook* workbook, uint8_t alignment)
{
    lxw_format* format = workbook_add_format(workbook);
    format_set_text_wrap(format);
    format_set_align(format, alignment);
    format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
    format_set_border(format, LXW_BORDER_THIN);
    return format;
}

Formats addFormats(lxw_workbook* workbook)
{
    Formats formats{};
    formats.header = cellFormat(workbook, LXW_ALIGN_CENTER);
    format_set_bold(formats.header);
    formats.text = cellFormat(workbook, LXW_ALIGN_LEFT);
    formats.centredText = cellFormat(workbook, LXW_ALIGN_CENTER);
    formats.quantity = cellFormat(workbook, LXW_ALIGN_CENTER);
    format_set_num_format(formats.quantity, "0");
    formats.mass = cellFormat(workbook, LXW_ALIGN_CENTER);
    format_set_num_format(formats.mass, "General");
    return formats;
}

// The text as the spreadsheet can hold it: cut to the longest cell, never
// between the halves of a character outside the basic plane.
QByteArray cellBytes(const QString& text)
{
    if (text.size() <= maxCellLength)
        return text.toUtf8();
    int length = maxCellLength;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length).toUtf8();
}

bool writeText(lxw_worksheet* sheet, int row, int column, const QString& text, lxw_format* format)
{
    return worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), cellBytes(text).constData(),
                                  format) == LXW_NO_ERROR;
}

// The lines a text takes in a column of that many pixels, wrapped as the
// spreadsheet wraps it: at blanks, inside a word wider than the cell.
int wrappedLines(const QString& text, double columnPixels, bool bold)
{
    if (text.isEmpty())
        return 1;
    // The spreadsheet measures on a screen of 96 dpi.
    static QImage screen = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(96 / 0.0254));
        image.setDotsPerMeterY(qRound(96 / 0.0254));
        return image;
    }();
    QFont font(QStringLiteral("Calibri"));
    font.setPointSizeF(cellFontPoints);
    font.setBold(bold);
    QString paragraph = text;
    paragraph.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    paragraph.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(paragraph, font, &screen);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(columnPixels - 2 * cellPaddingPixels);
        ++lines;
    }
    layout.endLayout();
    return std::max(1, lines);
}

// A spreadsheet fits a row to its wrapped texts only when it edits the row
// itself, not when it opens a file: the height is given with the row, the
// lines of its tallest cell and never less than `leastMm`.
void setRowHeight(lxw_worksheet* sheet, int sheetRow, const QStringList& texts, double leastMm, bool bold)
{
    const QVector<double>& widths = EquipmentSchedule::columnWidthsMm();
    int lines = 1;
    for (int column = 0; column < texts.size() && column < widths.size(); ++column)
        lines = std::max(lines,
                         wrappedLines(texts.at(column), std::lround(widths.at(column) * pixelsPerMm), bold));
    const double points = std::min(highestRowPoints, std::max(leastMm * pointsPerMm, lines * linePoints));
    worksheet_set_row(sheet, lxw_row_t(sheetRow), points, nullptr);
}

bool writeRow(lxw_worksheet* sheet, int sheetRow, const ScheduleRow& row, const Formats& formats)
{
    const lxw_row_t r = lxw_row_t(sheetRow);
    setRowHeight(sheet, sheetRow, scheduleCellTexts(row), rowHeightMm, false);
    bool written = writeText(sheet, sheetRow, scPosition, row.position, formats.centredText) &&
                   writeText(sheet, sheetRow, scName, row.name, formats.text) &&
                   writeText(sheet, sheetRow, scType, row.type, formats.text) &&
                   writeText(sheet, sheetRow, scCode, row.code, formats.text) &&
                   writeText(sheet, sheetRow, scSupplier, row.supplier, formats.text) &&
                   writeText(sheet, sheetRow, scUnit, row.unit, formats.centredText) &&
                   writeText(sheet, sheetRow, scNote, row.note, formats.text);
    // The empty figures stay blank cells with the table's borders.
    written =
        written &&
        (row.quantity > 0 ? worksheet_write_number(sheet, r, scQuantity, row.quantity, formats.quantity)
                          : worksheet_write_blank(sheet, r, scQuantity, formats.quantity)) == LXW_NO_ERROR;
    written = written && (std::isfinite(row.mass)
                              ? worksheet_write_number(sheet, r, scMass, row.mass, formats.mass)
                              : worksheet_write_blank(sheet, r, scMass, formats.mass)) == LXW_NO_ERROR;
    return written;
}

void setUpPage(lxw_worksheet* sheet)
{
    const QVector<double>& widths = EquipmentSchedule::columnWidthsMm();
    for (int column = 0; column < widths.size(); ++column)
        worksheet_set_column_pixels(sheet, lxw_col_t(column), lxw_col_t(column),
                                    uint32_t(std::lround(widths.at(column) * pixelsPerMm)), nullptr);
    setRowHeight(sheet, 0, EquipmentSchedule::columnHeaders(), headerHeightMm, true);
    worksheet_repeat_rows(sheet, 0, 0);
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_set_paper(sheet, paperA3);
    worksheet_set_landscape(sheet);
    worksheet_set_margins(sheet, leftMarginMm / mmPerInch, otherMarginMm / mmPerInch,
                          otherMarginMm / mmPerInch, otherMarginMm / mmPerInch);
    // Rounded pixel widths may add up to a hair more than the sheet: the table
    // is kept one page wide, as many pages long as it needs.
    worksheet_fit_to_pages(sheet, 1, 0);
}

// Makes the workbook at `path`; the reason of a failure in *reason.
bool makeWorkbook(const EquipmentSchedule& schedule, const QString& path, const QString& scratch,
                  QString* reason)
{
    const QByteArray fileName = QFile::encodeName(path);
    QByteArray scratchName = QFile::encodeName(scratch);
    lxw_workbook_options options{};
    options.tmpdir = scratchName.data();
    lxw_workbook* workbook = workbook_new_opt(fileName.constData(), &options);
    if (!workbook) {
        *reason = QStringLiteral("не удалось начать книгу");
        return false;
    }
    const QByteArray title = EquipmentSchedule::documentName().toUtf8();
    const QByteArray subject = schedule.details.objectName.toUtf8();
    const QByteArray company = schedule.details.organisation.toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(title.constData());
    properties.subject = const_cast<char*>(subject.constData());
    properties.company = const_cast<char*>(company.constData());
    workbook_set_properties(workbook, &properties);

    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Спецификация");
    const Formats formats = addFormats(workbook);
    setUpPage(sheet);
    bool written = true;
    const QStringList& headers = EquipmentSchedule::columnHeaders();
    for (int column = 0; column < headers.size(); ++column)
        written = written && writeText(sheet, 0, column, headers.at(column), formats.header);
    for (int i = 0; i < schedule.rows.size() && written; ++i)
        written = writeRow(sheet, i + 1, schedule.rows.at(i), formats);

    // Closing writes the file and frees the workbook, whatever went before.
    const lxw_error closed = workbook_close(workbook);
    if (!written) {
        *reason = QStringLiteral("не удалось записать ячейку");
        return false;
    }
    if (closed != LXW_NO_ERROR) {
        *reason = QString::fromUtf8(lxw_strerror(closed));
        return false;
    }
    return true;
}

} // namespace

bool writeScheduleXlsx(const EquipmentSchedule& schedule, const QString& path, QString* error)
{
    // The library writes to a file name of its own: the workbook is made in a
    // scratch folder and then copied whole to the target.
    QTemporaryDir scratch;
    QString reason;
    if (!scratch.isValid()) {
        reason = QStringLiteral("не удалось создать временную папку");
    } else {
        const QString made = scratch.filePath(QStringLiteral("schedule.xlsx"));
        if (makeWorkbook(schedule, made, scratch.path(), &reason)) {
            QFile workbook(made);
            if (workbook.open(QIODevice::ReadOnly)) {
                const QByteArray bytes = workbook.readAll();
                return saveWholeFile(
                    path, [&bytes](QIODevice* file) { return file->write(bytes) == bytes.size(); }, error);
            }
            reason = workbook.errorString();
        }
    }
    if (error)
        *error = saveFailureText(path, reason);
    return false;
}
