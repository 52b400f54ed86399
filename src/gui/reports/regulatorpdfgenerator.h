#pragma once

// The report of a direct-acting regulator selection: the task, whose pressure
// rows depend on the kind of regulation, and the regulator finally chosen, with
// its dimensions.

#include "engine/regulatorinputparams.h"
#include "engine/resultitem.h"
#include "reports/pdfgenerator.h"

// What the regulator selection window hands over when the user asks for the report.
struct RegulatorReport
{
    RegulatorInputParams input;
    // The chosen candidate.
    RegulatorResultItem item;
    // The chosen pipes (the pipe area's selections()); a location without a
    // pipe reads DN 0 and speed 0.
    PipeSelections pipes;
    // The position mark of the regulator in the project; empty when none is given.
    QString position;
};

class RegulatorPdfGenerator : public PdfGenerator
{
public:
    // The device type of the window: its dimensions close the report.
    explicit RegulatorPdfGenerator(int deviceType);

    // "Регулятор " and the functional name of the regulation of the report.
    QString name() const override;

    // The kind of regulation as the report's title writes it: "перепада
    // давления", "давления «до себя»", "давления «после себя»", "«перепуска»".
    static QString titleDevName(int regulation);

    // Writes the report and opens it; false when no file could be written.
    bool generate(const RegulatorReport& report);
    // Writes the whole report into the document, without printing it.
    void write(const RegulatorReport& report);

private:
    void addInputTable();
    void addPressureRows(SmartTextTable& table) const;
    void addRegulatorTable(const RegulatorReport& report);

    RegulatorInputParams m_input;
};
