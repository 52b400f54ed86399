#pragma once

// The frame of every printed report: a rich-text document laid out for an A4
// PDF page, the maker's header, titles, the rows of the four-column data
// tables, the closing block with the device's dimension drawing and table, and
// the name-and-version line. The device reports write their own content between
// these pieces; the frame then chooses a free file name in the user's documents
// folder, prints the document there and hands the file to the desktop's viewer.

#include "engine/pipechoice.h"

#include <QList>
#include <QMap>
#include <QPrinter>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>
#include <Qt>

class InputParams;
class QTextTable;
class ResultItem;
class SmartTextTable;

class PdfGenerator
{
public:
    // The device reports pass 0 and set deviceType before writing, or pass it here.
    explicit PdfGenerator(int deviceType = 0);
    virtual ~PdfGenerator();
    Q_DISABLE_COPY(PdfGenerator)

    // The device as named in the file name ("Клапан регулирующий").
    virtual QString name() const = 0;

    // Writes the document to a free file name (makeFileName) and opens it in the
    // desktop's viewer. When no file results, tells the user "Не удалось
    // сохранить файл" with the path and returns false.
    bool openPdf();
    // A PDF path that does not exist yet:
    // "<documents folder>/pdf/<name>_ОРИМАКС_<dd.MM.yy>[(n)].pdf".
    QString makeFileName() const;
    // The folder reports are written to: "pdf" below the documents folder, made
    // when missing, or the system's temporary folder when it cannot be used.
    static QString reportDirectory();

    // Writes the reports into one PDF under the title, each from a new page,
    // in the order given, as a whole or not at all (saveWholeFile: *error,
    // when given, says why not). Requires at least one report.
    static bool writeTogether(const QList<const PdfGenerator*>& reports, const QString& path,
                              const QString& title, QString* error);

    // Prints the document to the path; true when the file was written.
    bool printToFile(const QString& path);
    // Hands the file to the desktop's PDF viewer. Where the desktop cannot open
    // it, tells the user where the report was saved (an information through
    // the message channel); when a viewer took it, nothing more is said.
    static void openInViewer(const QString& path);
    // The file of the last openPdf(); empty before.
    QString fileName() const { return m_fileName; }

    // The document as written so far.
    const QTextDocument& textDocument() const { return document; }
    const QPrinter& pdfPrinter() const { return printer; }

    // --- pieces of the frame, each leaving the cursor at the document's end ---

    // The logo and the maker's contact line.
    void addHeader();
    void addEmptyLines(int count);
    // One text in a borderless full-width cell; a "|" starts an italic second part.
    void addTitle(const QString& text, Qt::Alignment alignment, bool bold, bool italic, int pointSize);
    // Two empty lines, a centred bold 14-point title, one more line when asked.
    void addSectionTitle(const QString& text, bool lineAfter);
    // The report's title with the device's position mark in the project when
    // one is given: "Расчёт регулирующего клапана, поз. РК1".
    static QString titleWithPosition(const QString& title, const QString& position);
    // "Габаритные размеры": the small drawing and the table of deviceType, then
    // the program's name and version.
    void addDimensions();

    // --- rows of a four-column data table; each writes the current row ---

    // Caption, then the value across columns 1 to 3. The value is written as it
    // stands: it may be the user's own text.
    static void addMergedRow(SmartTextTable& table, const QString& caption, const QString& value, bool bold,
                             Qt::Alignment alignment);
    // One centred bold italic text across the row.
    static void addSectionRow(SmartTextTable& table, const QString& text);
    // Caption across columns 0-1, value across 2-3.
    static void addPairRow(SmartTextTable& table, const QString& caption, const QString& value);
    // Caption across columns 0-1, the value right-aligned, the unit centred.
    static void addValueRow(SmartTextTable& table, const QString& caption, const QString& value,
                            const QString& unit);

    // Fixed notation with that many decimals; "Не задано" for what is not a number.
    static QString numberText(double value, int decimals);
    static QString conformityText(bool conforms);

    // The maker's postal address, telephones, e-mail and web address.
    static const QString contactLine;

protected:
    // A four-column data table of `rows` prepared rows at the cursor.
    QTextTable* insertDataTable(int rows);
    // Continues the document below a finished data table.
    void finishDataTable(SmartTextTable& table);

    // The rows shared by the input tables of the device reports. The input is
    // the task the selection ran on, as the form read it from its controls, so
    // each choice named is one of its table: the selection refuses a task
    // without it. The system alone it does without; one not chosen prints as a
    // dash.
    // Object, operating conditions, system and medium.
    static void addTaskRows(SmartTextTable& table, const InputParams& input);
    static void addPlaceRow(SmartTextTable& table, const InputParams& input);
    // Temperatures, heat load (when the flow came from it) and flow. Without
    // `writeMissingTemperatures` a temperature that is not a number has no row.
    static void addTemperatureAndFlowRows(SmartTextTable& table, const InputParams& input,
                                          bool writeMissingTemperatures);
    // The risks of a liquid and the pipe speeds. `inDevice` completes
    // "Вероятность кавитации ..." ("в клапане"), `before` and `after` the
    // speed captions of steam and gases ("до клапана", "после клапана").
    static void addRiskRows(SmartTextTable& table, const ResultItem& item, const QString& inDevice);
    static void addPipeSpeedRows(SmartTextTable& table, const PipeSelections& pipes, bool liquid,
                                 const QString& before, const QString& after);

    // "Абсолютное" or "Избыточное" for the task's pressure type.
    static QString pressureWord(const InputParams& input);
    static QString pressureUnit(const InputParams& input);

    QTextDocument document;
    QPrinter printer;
    QTextCursor cursor;
    // The device whose dimensions close the report (common::DeviceType).
    int deviceType;

private:
    QString m_fileName;
};
