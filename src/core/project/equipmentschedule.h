#pragma once

// The equipment schedule of a project: the table of form 1 that lists every
// device of the object by its position mark on the drawings, with the object's
// details for the main inscription. It is plain data: whoever fills it (the
// project's documents) orders the rows with sortByPosition(); the exports
// (CSV here, XLSX and PDF in the reports) write the rows in the order given.
//
// The CSV export is meant for spreadsheets set to Russian:
// - UTF-8 with a byte order mark, so that a spreadsheet does not guess the
//   Windows code page; ";" between fields (the list separator where the
//   decimal separator is a comma); every line, the last one too, ends in CR LF;
// - the header row first, then one line per row, nine fields each;
// - quantity and mass as plain digits with a decimal comma ("12,5"); an empty
//   quantity (0) or mass (not a number) is an empty field;
// - a field is quoted, with its quotes doubled, when it holds ";", a quote, CR
//   or LF, or begins or ends with a blank or a tab; line breaks inside a cell
//   stay as they are, inside the quotes;
// - a text cell whose first character (after leading blanks) is "=", "+", "-",
//   "@", a tab or CR would be taken for a formula by a spreadsheet: it gets a
//   leading apostrophe, which the spreadsheet shows as text. The figures and
//   the headers are the program's own and are never changed.

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

// The object and the people who sign the schedule.
struct ProjectDetails
{
    QString objectName;
    QString projectCode; // шифр
    QString organisation;
    QString developer;     // Разработал
    QString checker;       // Проверил
    QString normControl;   // Н. контр.
    QString chiefEngineer; // ГИП
    QDate date;
};

struct ScheduleRow
{
    QString position;
    QString name;
    QString type;
    QString code;
    QString supplier;
    QString unit;
    int quantity = 0;      // 0: an empty cell
    double mass = qQNaN(); // kg per unit; not a number: an empty cell
    QString note;
    // A part ordered with the row before it (a valve's drive): it stays right
    // under that row whatever its own mark.
    bool partOfRowBefore = false;
};

// The columns of the table, in order.
enum ScheduleColumn { scPosition, scName, scType, scCode, scSupplier, scUnit, scQuantity, scMass, scNote };
constexpr int scheduleColumnCount = 9;

struct EquipmentSchedule
{
    ProjectDetails details;
    QList<ScheduleRow> rows;

    // The nine column headers, in column order.
    static const QStringList& columnHeaders();
    // The column widths of form 1 in mm; together the 395 mm inside the frame
    // of an A3 sheet in landscape.
    static const QVector<double>& columnWidthsMm();
    // The document's name in the main inscription.
    static QString documentName();

    // The indexes of the rows in position-mark order (comparePositionMarks),
    // each row followed by its parts; rows with equal marks keep their order.
    QVector<int> positionOrder() const;
    // Puts the rows in that order, and answers it: the former index of each
    // row in its new place.
    QVector<int> sortByPosition();
    // For each row, whether another row carries an equal mark (in the sense of
    // comparePositionMarks). Rows without a mark are never duplicates.
    QVector<bool> duplicatedPositions() const;
};

// Negative, 0 or positive as mark a goes before, with or after mark b. Marks
// are compared without their outer blanks, as runs of digits and runs of other
// characters: digit runs by their value (РК2 before РК10, РК01 equal to РК1),
// the others case-insensitively (рк1 equal to РК1); at the first difference a
// digit goes before any other character, and a mark that ends first goes
// first (РК1 before РК1.1 before РК2). Rows without a mark go last.
int comparePositionMarks(const QString& a, const QString& b);

// The cell texts of the figures: the shortest form with a decimal comma
// ("12,5", "120"), empty for a mass that is not a number and for a quantity
// below 1.
QString scheduleMassText(double kg);
QString scheduleQuantityText(int quantity);
// The nine cell texts of a row, in column order, as printed.
QStringList scheduleCellTexts(const ScheduleRow& row);

// The schedule as CSV (see the top of this file).
QByteArray scheduleCsv(const EquipmentSchedule& schedule);
// Writes the CSV to the path as a whole or not at all (saveWholeFile).
bool writeScheduleCsv(const EquipmentSchedule& schedule, const QString& path, QString* error);
