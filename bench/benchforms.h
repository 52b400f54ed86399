#pragma once

// What the benchmarks of the windows share: the application set up as the
// program starts it, a form held as the main window holds it, and the memory
// the process takes.

#include "resources.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QScrollArea>
#include <QTabWidget>

namespace orxbench {

// Before the application object: offscreen unless a platform is chosen.
inline void chooseOffscreenPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// After it: the program's pictures, and the font the windows were laid out for.
inline void prepareWindows()
{
    orx::initResources();
    QApplication::setFont(QFont(QStringLiteral("MS Shell Dlg 2"), 11));
}

// The form in a scroll area in a new tab, made the current one.
template <class Form>
Form* addTab(QTabWidget& tabs, Form* form)
{
    auto* area = new QScrollArea();
    area->setWidgetResizable(true);
    area->setFrameStyle(0);
    area->setWidget(form);
    tabs.setCurrentIndex(tabs.addTab(area, form->doc().name()));
    return form;
}

// Resident memory of the process, kB.
inline long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace orxbench
