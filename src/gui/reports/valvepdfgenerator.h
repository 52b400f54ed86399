#pragma once

// The report of a control-valve selection: the task as the user gave it and the
// valve finally chosen, with its dimensions.

#include "engine/inputparams.h"
#include "engine/resultitem.h"
#include "reports/pdfgenerator.h"

// What the valve selection window hands over when the user asks for the report.
struct ValveReport
{
    ValveInputParams input;
    // The chosen candidate.
    ValveResultItem item;
    // The chosen pipes (the pipe area's selections()); a location without a
    // pipe reads DN 0 and speed 0.
    PipeSelections pipes;
    // The electric drive chosen with the valve: its designation and what it is
    // in words; empty when none is chosen, and the report has no such block.
    QString driveDesignation;
    QString driveDescription;
    // The position mark of the valve in the project; empty when none is given.
    QString position;
};

class ValvePdfGenerator : public PdfGenerator
{
public:
    ValvePdfGenerator();

    QString name() const override;

    // Writes the report and opens it; false when no file could be written.
    bool generate(const ValveReport& report);
    // Writes the whole report into the document, without printing it.
    void write(const ValveReport& report);

private:
    void addInputTable(const ValveInputParams& input);
    void addValveTable(const ValveReport& report);
    void addDriveTable(const ValveReport& report);
};
