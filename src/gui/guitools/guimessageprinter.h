#pragma once

// The printer of a program with windows: every message also goes to the
// console, and what is not hidden is shown in a modal message box.

#include "gentools/errorhandle.h"

class QGuiMessagePrinter : public geh::QMessagePrinter
{
public:
    void print(const QString& title, const QString& text, const QString& details, int level) override;
};
