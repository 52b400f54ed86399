#pragma once

// "Спецификация": the equipment schedule of the open project, made from its
// positions' windows as they stand now, with the two cells the user types in
// (product code and note) editable, duplicated position marks flagged, and
// the exports: the drawing-sheet PDF, the spreadsheet, CSV, and the data
// sheets of every position in one PDF.

#include "project/equipmentschedule.h"
#include "project/project.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QVector>

class MdiChild;
class QLabel;
class QTableWidget;

// Where a row of the schedule comes from: the position's window and the kind
// of the row (Project::RowKind).
struct ScheduleOrigin
{
    MdiChild* window = nullptr;
    int kind = Project::rkDevice;
};

// The schedule of the positions, in position-mark order (rows of equal marks
// keep the order of the positions): each window's rows (MdiChild::scheduleRows;
// a window never shown calculates first) with the typed cells of `cells` (by
// window; a window without an entry has empty cells); a row that says why no
// device stands there keeps its note and has no code. `origins`, when given,
// receives the origin of every row, in the schedule's order.
EquipmentSchedule projectSchedule(const ProjectDetails& details, const QList<MdiChild*>& positions,
                                  const QHash<const MdiChild*, Project::CellSet>& cells,
                                  QVector<ScheduleOrigin>* origins = nullptr);

// The data sheets of the positions in one PDF, each from a new page, in
// position-mark order; the positions without one (no report of their kind, or
// no complete choice) are left out, each named in *skipped ("РК3: устройство
// не выбрано"). False, with *error, when nothing was written: no position has
// a data sheet, or the file could not be written (any earlier file of that
// name stays as it was).
bool writeDataSheets(const QList<MdiChild*>& positions, const QString& path, QStringList* skipped,
                     QString* error);

class ScheduleDialog : public QDialog
{
    Q_OBJECT
public:
    // The dialog edits *details and *cells in place, and says so by edited().
    ScheduleDialog(ProjectDetails* details, const QList<MdiChild*>& positions,
                   QHash<const MdiChild*, Project::CellSet>* cells, QWidget* parent = nullptr);

    QTableWidget* table() const { return m_table; }
    // The line under the table that names the duplicated marks; hidden without any.
    QLabel* duplicatesLine() const { return m_duplicates; }

    // The exports of the buttons, without the file dialog. The PDF is not
    // opened here. On failure *error is the message for the user; the data
    // sheets name in *skipped (when given) the positions left out.
    enum Export { exPdf, exXlsx, exCsv, exDataSheets };
    bool exportTo(Export kind, const QString& path, QString* error, QStringList* skipped = nullptr);

signals:
    // A typed cell or a detail changed: the project is modified.
    void edited();

protected:
    // The columns follow the width of the table.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillTable();
    void fitColumns();
    // A typed cell changed in the table: it goes into the project.
    void takeCell(int row, int column);
    void editDetails();
    // Asks for a file and writes the export there, telling the user what failed.
    void exportWithDialog(Export kind);
    void updateDetailsLine();

    ProjectDetails* m_details;
    QList<MdiChild*> m_positions;
    QHash<const MdiChild*, Project::CellSet>* m_cells;
    QTableWidget* m_table = nullptr;
    QLabel* m_detailsLine = nullptr;
    QLabel* m_duplicates = nullptr;
    QVector<ScheduleOrigin> m_origins;
    bool m_filling = false;
};
