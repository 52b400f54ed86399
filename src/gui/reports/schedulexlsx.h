#pragma once

// The equipment schedule as a spreadsheet: one sheet with the table of form 1,
// its columns as wide as on the drawing sheet, the header row repeated on
// every printed page, set up for A3 landscape and fitted to the page width.
// Quantity and mass are numbers, every other cell a text (a text that begins
// with "=" stays that text, never a formula). Each row is as high as its
// wrapped texts need in the spreadsheet's default font, at least 8 mm (the
// header 15 mm), as on the drawing sheet.

#include <QString>

struct EquipmentSchedule;

// Writes the workbook to the path as a whole or not at all. On failure *error
// (when given) says "Не удалось сохранить файл "<path>": <reason>".
bool writeScheduleXlsx(const EquipmentSchedule& schedule, const QString& path, QString* error);
