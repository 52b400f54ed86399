#include "reports/schedulepdfgenerator.h"

#include "guitools/appversion.h"
#include "project/schedulefile.h"
#include "reports/smarttexttable.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QIODevice>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The sheet, in mm: A3 in landscape, the frame 20 mm from the binding edge and
// 5 mm from the others; the table fills the frame's width.
const double frameLeftMm = 20;
const double frameTopMm = 5;
const double frameRightMm = 420 - 5;
const double frameBottomMm = 297 - 5;
const double headerHeightMm = 15;
const double rowStepMm = 8;
// The main inscriptions: for text documents on the first sheet, the short one
// on the following sheets.
const double stampWidthMm = 185;
const double firstStampHeightMm = 40;
const double nextStampHeightMm = 15;

const double cellPaddingMm = 1.5;
const double stampPaddingMm = 0.5;
const double cellPointSize = 11; // letters 2.5 mm high
const double headerPointSize = 10;
const double smallestPointSize = 5;
const double mainLineMm = 0.5;
const double thinLineMm = 0.18;
// Fine enough that rounding to device pixels never shows in a line or a letter.
const int resolutionDpi = 1200;
const double mmPerInch = 25.4;
// Against rounding of sums of mm in comparisons.
const double epsilonMm = 1e-6;

void configure(QPdfWriter& writer)
{
    writer.setResolution(resolutionDpi);
    writer.setPageSize(QPageSize(QPageSize::A3));
    writer.setPageOrientation(QPageLayout::Landscape);
    // The frame is drawn by the program: the painter's origin is the paper's corner.
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    writer.setTitle(EquipmentSchedule::documentName());
    writer.setCreator(orx::versionString());
}

QFont scheduleFont(double pointSize, bool bold)
{
    QFont font(reportFontFamily());
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    // Laid out with the outlines' own metrics: a PDF is never hinted.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// A cell's text as one paragraph whose line breaks are kept.
QString layoutText(QString text)
{
    text.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

// The lines of a text wrapped to a width in device pixels: at blanks where it
// can, inside a word that is wider than the whole width.
QStringList wrapText(const QString& text, const QFont& font, QPaintDevice* device, double widthPx)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    QTextLayout layout(layoutText(text), font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(widthPx);
        QString part = layout.text().mid(line.textStart(), line.textLength());
        if (part.endsWith(QChar::LineSeparator))
            part.chop(1);
        lines << part;
    }
    layout.endLayout();
    return lines;
}

bool isCentredColumn(int column)
{
    return column == scPosition || column == scUnit || column == scQuantity || column == scMass;
}

// Millimetres on the sheet, drawn in device pixels.
class SheetCanvas
{
public:
    explicit SheetCanvas(QPainter& painter)
        : painter(painter), perMm(painter.device()->logicalDpiX() / mmPerInch)
    {
    }

    double px(double mm) const { return mm * perMm; }
    double mm(double px) const { return px / perMm; }
    QRectF rect(double x, double y, double w, double h) const { return QRectF(px(x), px(y), px(w), px(h)); }

    void line(double x1, double y1, double x2, double y2, bool main)
    {
        QPen pen(Qt::black, px(main ? mainLineMm : thinLineMm));
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLine(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)));
    }

    // Lines of text from `top` (mm) at the font's line spacing, each aligned
    // in the cell between left and left + width (mm), never outside the cell.
    void lines(const QStringList& texts, const QFont& font, const QRectF& cellMm, double topMm,
               Qt::Alignment alignment)
    {
        const QFontMetricsF metrics(font, painter.device());
        painter.save();
        painter.setClipRect(rect(cellMm.x(), cellMm.y(), cellMm.width(), cellMm.height()));
        painter.setFont(font);
        painter.setPen(Qt::black);
        double baseline = px(topMm) + metrics.ascent();
        for (const QString& text : texts) {
            double x = px(cellMm.x());
            const double free = px(cellMm.width()) - metrics.horizontalAdvance(text.trimmed());
            if (alignment & Qt::AlignHCenter)
                x += free / 2;
            painter.drawText(QPointF(x, baseline), alignment & Qt::AlignHCenter ? text.trimmed() : text);
            baseline += metrics.lineSpacing();
        }
        painter.restore();
    }

    // A text wrapped into a box and centred in it upright, in the largest size
    // up to `pointSize` at which all of it fits; at the smallest size what does
    // not fit is cut at the box.
    void fitted(const QString& text, const QRectF& boxMm, double pointSize, bool bold,
                Qt::Alignment alignment, double paddingMm)
    {
        if (text.isEmpty())
            return;
        const QRectF inner = boxMm.adjusted(paddingMm, 0, -paddingMm, 0);
        QFont font;
        QStringList wrapped;
        double height = 0;
        for (double size = pointSize; size >= smallestPointSize - epsilonMm; size -= 0.5) {
            font = scheduleFont(size, bold);
            wrapped = wrapText(text, font, painter.device(), px(inner.width()));
            height = mm(QFontMetricsF(font, painter.device()).lineSpacing()) * wrapped.size();
            if (height <= inner.height() - 2 * paddingMm + epsilonMm)
                break;
        }
        const double top = inner.y() + std::max(0.0, (inner.height() - height) / 2);
        lines(wrapped, font, inner, top, alignment);
    }

private:
    QPainter& painter;
    double perMm;
};

// A line of a main inscription, in mm from its top left corner.
struct StampLine
{
    double x1, y1, x2, y2;
    bool main;
};

// The full inscription of a text document's first sheet, 185 x 40 mm: on the
// left the changes (two rows and their captions) and the people who sign; on
// the right the project code, the object and document name, stage and sheets,
// the organisation.
const StampLine kFirstStampLines[] = {
    {0, 0, 185, 0, true},     {0, 40, 185, 40, true},   {0, 0, 0, 40, true},      {185, 0, 185, 40, true},
    {10, 0, 10, 15, true},    {20, 0, 20, 40, true},    {30, 0, 30, 15, true},    {40, 0, 40, 40, true},
    {55, 0, 55, 40, true},    {65, 0, 65, 40, true},    {0, 15, 185, 15, true},   {135, 15, 135, 40, true},
    {150, 15, 150, 25, true}, {165, 15, 165, 25, true}, {135, 25, 185, 25, true}, {135, 20, 185, 20, false},
    {0, 5, 65, 5, false},     {0, 10, 65, 10, false},   {0, 20, 65, 20, false},   {0, 25, 65, 25, false},
    {0, 30, 65, 30, false},   {0, 35, 65, 35, false},
};

// The short inscription of the following sheets, 185 x 15 mm: the changes,
// the project code and the sheet number.
const StampLine kNextStampLines[] = {
    {0, 0, 185, 0, true},   {0, 15, 185, 15, true},  {0, 0, 0, 15, true},     {185, 0, 185, 15, true},
    {10, 0, 10, 15, true},  {20, 0, 20, 15, true},   {30, 0, 30, 15, true},   {40, 0, 40, 15, true},
    {55, 0, 55, 15, true},  {65, 0, 65, 15, true},   {175, 0, 175, 15, true}, {0, 5, 65, 5, false},
    {0, 10, 65, 10, false}, {175, 7, 185, 7, false},
};

// The captions of the changes columns, in the third row of both inscriptions.
const struct
{
    double x, width;
    const char* caption;
} kChangeColumns[] = {
    {0, 10, "Изм."},    {10, 10, "Кол.уч."}, {20, 10, "Лист"},
    {30, 10, "№ док."}, {40, 15, "Подп."},   {55, 10, "Дата"},
};

// The people of the first sheet's inscription, one 5 mm row each below the
// changes; the row without a member stays free for another signature.
const struct
{
    const char* role;
    QString ProjectDetails::*name;
} kSigners[] = {
    {"Разработал", &ProjectDetails::developer},  {"Проверил", &ProjectDetails::checker},  {"", nullptr},
    {"Н. контр.", &ProjectDetails::normControl}, {"ГИП", &ProjectDetails::chiefEngineer},
};

const double stampLabelPointSize = 7;
const double stampTextPointSize = 9;
const double stampNamePointSize = 11;
const double stampCodePointSize = 14;

void drawStampLines(SheetCanvas& canvas, double x0, double y0, const StampLine* lines, int count)
{
    for (int i = 0; i < count; ++i)
        canvas.line(x0 + lines[i].x1, y0 + lines[i].y1, x0 + lines[i].x2, y0 + lines[i].y2, lines[i].main);
}

void drawChangeCaptions(SheetCanvas& canvas, double x0, double y0)
{
    for (const auto& column : kChangeColumns)
        canvas.fitted(QString::fromUtf8(column.caption), QRectF(x0 + column.x, y0 + 10, column.width, 5),
                      stampLabelPointSize, false, Qt::AlignHCenter, stampPaddingMm);
}

void drawFirstStamp(SheetCanvas& canvas, const ProjectDetails& details, int sheetCount)
{
    const double x0 = frameRightMm - stampWidthMm;
    const double y0 = frameBottomMm - firstStampHeightMm;
    drawStampLines(canvas, x0, y0, kFirstStampLines, int(std::size(kFirstStampLines)));
    drawChangeCaptions(canvas, x0, y0);
    // The date of signing is written as month and year.
    const QString date = details.date.isValid() ? details.date.toString(QStringLiteral("MM.yy")) : QString();
    for (int i = 0; i < int(std::size(kSigners)); ++i) {
        const double y = y0 + 15 + 5 * i;
        canvas.fitted(QString::fromUtf8(kSigners[i].role), QRectF(x0, y, 20, 5), stampTextPointSize - 1,
                      false, Qt::AlignLeft, stampPaddingMm);
        const QString name = kSigners[i].name ? (details.*kSigners[i].name).trimmed() : QString();
        canvas.fitted(name, QRectF(x0 + 20, y, 20, 5), stampTextPointSize - 1, false, Qt::AlignLeft,
                      stampPaddingMm);
        if (!name.isEmpty())
            canvas.fitted(date, QRectF(x0 + 55, y, 10, 5), stampLabelPointSize, false, Qt::AlignHCenter,
                          stampPaddingMm);
    }
    canvas.fitted(details.projectCode, QRectF(x0 + 65, y0, 120, 15), stampCodePointSize, true,
                  Qt::AlignHCenter, 1);
    QStringList name;
    if (!details.objectName.trimmed().isEmpty())
        name << details.objectName.trimmed();
    name << EquipmentSchedule::documentName();
    canvas.fitted(name.join(QChar::LineSeparator), QRectF(x0 + 65, y0 + 15, 70, 25), stampNamePointSize,
                  false, Qt::AlignHCenter, 1);
    const struct
    {
        double x, width;
        const char* caption;
        QString value;
    } sheetCells[] = {
        {135, 15, "Стадия", QString()},
        // A document of one sheet has no sheet number, only the count.
        {150, 15, "Лист", sheetCount > 1 ? QStringLiteral("1") : QString()},
        {165, 20, "Листов", QString::number(sheetCount)},
    };
    for (const auto& cell : sheetCells) {
        canvas.fitted(QString::fromUtf8(cell.caption), QRectF(x0 + cell.x, y0 + 15, cell.width, 5),
                      stampLabelPointSize + 1, false, Qt::AlignHCenter, stampPaddingMm);
        canvas.fitted(cell.value, QRectF(x0 + cell.x, y0 + 20, cell.width, 5), stampTextPointSize, false,
                      Qt::AlignHCenter, stampPaddingMm);
    }
    canvas.fitted(details.organisation, QRectF(x0 + 135, y0 + 25, 50, 15), stampNamePointSize, false,
                  Qt::AlignHCenter, 1);
}

void drawNextStamp(SheetCanvas& canvas, const ProjectDetails& details, int sheetNumber)
{
    const double x0 = frameRightMm - stampWidthMm;
    const double y0 = frameBottomMm - nextStampHeightMm;
    drawStampLines(canvas, x0, y0, kNextStampLines, int(std::size(kNextStampLines)));
    drawChangeCaptions(canvas, x0, y0);
    canvas.fitted(details.projectCode, QRectF(x0 + 65, y0, 110, 15), stampCodePointSize, true,
                  Qt::AlignHCenter, 1);
    canvas.fitted(QStringLiteral("Лист"), QRectF(x0 + 175, y0, 10, 7), stampLabelPointSize + 1, false,
                  Qt::AlignHCenter, stampPaddingMm);
    canvas.fitted(QString::number(sheetNumber), QRectF(x0 + 175, y0 + 7, 10, 8), stampTextPointSize + 1,
                  false, Qt::AlignHCenter, stampPaddingMm);
}

// The column edges across the frame, in mm from the paper's left edge.
QVector<double> columnEdgesMm()
{
    QVector<double> edges{frameLeftMm};
    for (double width : EquipmentSchedule::columnWidthsMm())
        edges << edges.last() + width;
    return edges;
}

} // namespace

SchedulePdfGenerator::SchedulePdfGenerator(const EquipmentSchedule& schedule) : m_schedule(schedule)
{
    // Laid out with the metrics of the PDF device itself, which never writes here.
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter device(&nowhere);
    configure(device);
    wrapCells(&device);
    paginate(m_lineSpacingMm);
}

SchedulePdfGenerator::~SchedulePdfGenerator() = default;

double SchedulePdfGenerator::tableTopMm()
{
    return frameTopMm;
}

double SchedulePdfGenerator::firstRowTopMm()
{
    return frameTopMm + headerHeightMm;
}

double SchedulePdfGenerator::tableBottomMm(int sheetIndex)
{
    return frameBottomMm - (sheetIndex == 0 ? firstStampHeightMm : nextStampHeightMm);
}

double SchedulePdfGenerator::rowStepMm()
{
    return ::rowStepMm;
}

void SchedulePdfGenerator::wrapCells(QPagedPaintDevice* device)
{
    const QFont font = scheduleFont(cellPointSize, false);
    const double perMm = device->logicalDpiX() / mmPerInch;
    m_lineSpacingMm = QFontMetricsF(font, device).lineSpacing() / perMm;
    const QVector<double>& widths = EquipmentSchedule::columnWidthsMm();
    m_lines.clear();
    for (const ScheduleRow& row : m_schedule.rows) {
        const QStringList texts = scheduleCellTexts(row);
        QVector<QStringList> cells;
        for (int column = 0; column < texts.size(); ++column)
            cells << wrapText(texts.at(column), font, device,
                              (widths.at(column) - 2 * cellPaddingMm) * perMm);
        m_lines << cells;
    }
}

void SchedulePdfGenerator::paginate(double lineSpacingMm)
{
    // A row's first line stands as far below the row's top as it takes to
    // centre one line in 8 mm; further lines follow at the font's spacing, and
    // a row takes as many steps of 8 mm as its lines need below that offset.
    const double offset = (rowStepMm() - lineSpacingMm) / 2;
    const auto heightOf = [&](int lines) {
        const double steps = std::ceil((offset + lines * lineSpacingMm) / rowStepMm() - epsilonMm);
        return std::max(1.0, steps) * rowStepMm();
    };
    m_sheets = {Sheet()};
    double top = firstRowTopMm();
    const auto newSheet = [&] {
        m_sheets << Sheet();
        top = firstRowTopMm();
    };
    const auto linesOf = [this](int row) {
        int total = 1;
        for (const QStringList& cell : m_lines.at(row))
            total = std::max(total, cell.size());
        return total;
    };
    const auto isPart = [this](int row) {
        return row < m_schedule.rows.size() && m_schedule.rows.at(row).partOfRowBefore;
    };
    for (int row = 0; row < m_lines.size(); ++row) {
        const int total = linesOf(row);
        // A valve's drive stands on its valve's sheet: a row with the rows that
        // are part of it begins the next sheet together when only the whole
        // group would not fit here.
        if (!isPart(row) && isPart(row + 1) && !m_sheets.last().isEmpty()) {
            double group = heightOf(total);
            for (int part = row + 1; isPart(part); ++part)
                group += heightOf(linesOf(part));
            const bool fitsHere = top + group <= tableBottomMm(m_sheets.size() - 1) + epsilonMm;
            if (!fitsHere && group <= tableBottomMm(m_sheets.size()) - firstRowTopMm() + epsilonMm)
                newSheet();
        }
        int first = 0;
        while (first < total) {
            const double bottom = tableBottomMm(m_sheets.size() - 1);
            const double height = heightOf(total - first);
            if (top + height <= bottom + epsilonMm) {
                m_sheets.last() << Placement{row, first, total - first, top, height};
                top += height;
                break;
            }
            // A row that an empty sheet holds starts the next sheet; a taller one
            // begins here with the lines that fit and goes on on the next.
            const bool nextSheetHolds =
                height <= tableBottomMm(m_sheets.size()) - firstRowTopMm() + epsilonMm;
            const double steps = std::floor((bottom - top) / rowStepMm() + epsilonMm);
            if ((nextSheetHolds && !m_sheets.last().isEmpty()) || steps < 1) {
                newSheet();
                continue;
            }
            const int fit = int(std::floor((steps * rowStepMm() - offset) / lineSpacingMm + epsilonMm));
            m_sheets.last() << Placement{row, first, fit, top, steps * rowStepMm()};
            first += fit;
            if (first < total)
                newSheet();
        }
    }
}

void SchedulePdfGenerator::paintSheet(QPainter& painter, int sheetIndex) const
{
    SheetCanvas canvas(painter);
    const double bottom = tableBottomMm(sheetIndex);
    const QVector<double> edges = columnEdgesMm();

    canvas.line(frameLeftMm, frameTopMm, frameRightMm, frameTopMm, true);
    canvas.line(frameLeftMm, frameBottomMm, frameRightMm, frameBottomMm, true);
    canvas.line(frameLeftMm, frameTopMm, frameLeftMm, frameBottomMm, true);
    canvas.line(frameRightMm, frameTopMm, frameRightMm, frameBottomMm, true);

    // The header, then the column lines down to the inscription.
    const QStringList& headers = EquipmentSchedule::columnHeaders();
    for (int column = 0; column < headers.size(); ++column)
        canvas.fitted(
            headers.at(column),
            QRectF(edges.at(column), tableTopMm(), edges.at(column + 1) - edges.at(column), headerHeightMm),
            headerPointSize, false, Qt::AlignHCenter, cellPaddingMm / 2);
    canvas.line(frameLeftMm, firstRowTopMm(), frameRightMm, firstRowTopMm(), true);
    canvas.line(frameLeftMm, bottom, frameRightMm, bottom, true);
    for (int i = 1; i + 1 < edges.size(); ++i)
        canvas.line(edges.at(i), tableTopMm(), edges.at(i), bottom, true);

    const QFont font = scheduleFont(cellPointSize, false);
    const double textOffset = (rowStepMm() - m_lineSpacingMm) / 2;
    for (const Placement& placement : m_sheets.at(sheetIndex)) {
        const QVector<QStringList>& cells = m_lines.at(placement.row);
        for (int column = 0; column < cells.size(); ++column) {
            const QStringList shown = cells.at(column).mid(placement.firstLine, placement.lineCount);
            const QRectF cell(edges.at(column) + cellPaddingMm, placement.topMm,
                              edges.at(column + 1) - edges.at(column) - 2 * cellPaddingMm,
                              placement.heightMm);
            canvas.lines(shown, font, cell, placement.topMm + textOffset,
                         isCentredColumn(column) ? Qt::AlignHCenter : Qt::AlignLeft);
        }
        // Below the last row that leaves less than a step to the inscription
        // the table's bottom line closes it.
        const double rowBottom = placement.topMm + placement.heightMm;
        if (rowBottom + rowStepMm() <= bottom + epsilonMm)
            canvas.line(frameLeftMm, rowBottom, frameRightMm, rowBottom, false);
    }

    if (sheetIndex == 0)
        drawFirstStamp(canvas, m_schedule.details, sheetCount());
    else
        drawNextStamp(canvas, m_schedule.details, sheetIndex + 1);
}

bool SchedulePdfGenerator::write(const QString& path, QString* error) const
{
    return saveWholeFile(
        path,
        [this](QIODevice* file) {
            QPdfWriter writer(file);
            configure(writer);
            QPainter painter;
            if (!painter.begin(&writer))
                return false;
            for (int i = 0; i < sheetCount(); ++i) {
                if (i > 0)
                    writer.newPage();
                paintSheet(painter, i);
            }
            return painter.end();
        },
        error);
}

bool writeSchedulePdf(const EquipmentSchedule& schedule, const QString& path, QString* error)
{
    return SchedulePdfGenerator(schedule).write(path, error);
}
