#pragma once

// The project open in the main window: what belongs to it beyond the windows
// of its positions, which stay tabs of the main window.

#include "project/equipmentschedule.h"
#include "project/project.h"

#include <QHash>
#include <QString>

class MdiChild;

struct OpenProject
{
    // The file the project was read from or last written to; empty before
    // its first save.
    QString fileName;
    ProjectDetails details;
    // The cells typed in the schedule, by the window of each position. Its
    // keys are the project's positions: a window joins with its entry and
    // leaves with it.
    QHash<const MdiChild*, Project::CellSet> cells;
    bool modified = false;

    // The file name without ".orxp", or "Новый проект" before the first save.
    QString name() const;
};
