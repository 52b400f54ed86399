#pragma once

// The equipment schedule as a drawing-sheet PDF: A3 landscape sheets, each in
// the frame of a drawing sheet (20 mm from the binding edge on the left, 5 mm
// from the others), the table of form 1 with its header on every sheet and
// the main inscription in the bottom right corner: the full one for text
// documents (185 x 40 mm) on the first sheet, the short one (185 x 15 mm) on
// the following ones.
//
// A row is 8 mm high; a row whose text wraps to more lines grows by whole
// 8 mm steps. A row that does not fit on what is left of a sheet starts the
// next one; only a row taller than a whole empty sheet is split between
// sheets, by its text lines.

#include "project/equipmentschedule.h"

#include <QStringList>
#include <QVector>

class QPagedPaintDevice;
class QPainter;

class SchedulePdfGenerator
{
public:
    // The schedule is copied; the sheets are laid out at once.
    explicit SchedulePdfGenerator(const EquipmentSchedule& schedule);
    ~SchedulePdfGenerator();
    Q_DISABLE_COPY(SchedulePdfGenerator)

    // A row, or a part of a row split between sheets, as it stands on a sheet.
    struct Placement
    {
        int row = 0;       // index in the schedule's rows
        int firstLine = 0; // the first text line of each cell shown here
        int lineCount = 0; // text lines of the tallest cell shown here
        double topMm = 0;  // from the top edge of the paper
        double heightMm = 0;
    };
    using Sheet = QVector<Placement>;

    // At least one sheet: an empty schedule is a sheet with the header only.
    const QVector<Sheet>& sheets() const { return m_sheets; }
    int sheetCount() const { return m_sheets.size(); }
    // The text lines of a cell as wrapped to its column.
    const QStringList& cellLines(int row, int column) const { return m_lines.at(row).at(column); }

    // Where the table begins and ends on a sheet, in mm from the paper's top:
    // the header's top, the first row's top and the top of the inscription.
    static double tableTopMm();
    static double firstRowTopMm();
    static double tableBottomMm(int sheetIndex);
    static double rowStepMm();

    // Writes the PDF to the path as a whole or not at all. On failure *error
    // (when given) says "Не удалось сохранить файл "<path>": <reason>".
    bool write(const QString& path, QString* error) const;

private:
    void wrapCells(QPagedPaintDevice* device);
    void paginate(double lineSpacingMm);
    void paintSheet(QPainter& painter, int sheetIndex) const;

    EquipmentSchedule m_schedule;
    QVector<QVector<QStringList>> m_lines; // row, column, lines
    QVector<Sheet> m_sheets;
    double m_lineSpacingMm = 0;
};

// Lays out and writes the schedule in one call.
bool writeSchedulePdf(const EquipmentSchedule& schedule, const QString& path, QString* error);
