#pragma once

// Column widths of a table view kept across sessions, keyed by the view's
// prefix and each column's header text.

#include "settings/smartsettings.h"

#include <QString>

class QTableView;

// Saves the widths of the titled, visible columns, or restores them (columns
// that stretch keep their width, as do columns with nothing stored). Keys are
// "ColumnSizes/<prefix>/<header text with line breaks as blanks>".
void saveOrRestoreColumnSizes(bool save, QTableView* view, const QString& prefix,
                              SmartSettings settings = SmartSettings(SmartSettings::Global));

// The settings key of one column header.
QString columnSizeKey(const QString& prefix, const QString& headerText);
