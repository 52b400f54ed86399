#pragma once

// The results column of a document window: the grids a form rebuilds on every
// calculation, the cells in them and the pipe area. Everything built here is
// owned here and goes with clearResults(); the window keeps its input column,
// its document and its controls to itself.
//
// A cell builder given column 0 opens a new row of the grid; any other column
// fills that column of the last row, so one result row is built by calls with
// rising columns.

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <Qt>

#include <functional>

class PipeSelectionArea;
class QGridLayout;
class QLabel;
class QPalette;
class QPixmap;
class QTextDocument;
class QWidget;

class ResultsArea
{
public:
    // window: whose font the headers and notes follow and whose visibility
    // decides when new cells show; columns: the cells of one result row, which
    // the headers span (it may change with the form's inputs).
    ResultsArea(QWidget* window, std::function<int()> columns);
    ~ResultsArea();
    ResultsArea(const ResultsArea&) = delete;
    ResultsArea& operator=(const ResultsArea&) = delete;

    // Where finished grids go: the column of the window's main layout.
    void attach(QGridLayout* mainLayout, int column);
    // A grid placed already (the one shown before the first calculation): it
    // gives way to the first results built, like any other results grid.
    void adoptGrid(QGridLayout* grid);

    // A new results grid headed "Результаты" (the forms rebuild theirs with it),
    // and under the header the lines of what the form changed of its own accord
    // since the last results (see noteChange()).
    QGridLayout* createResultsGrid();
    // One line for the next results: a value or unit the form had to change
    // itself, after a change of the user's ("Tпод изменена на 152,45 °C: ...").
    // Nothing the user typed changes without a word. A line is told once.
    void noteChange(const QString& line);
    const QStringList& pendingChangeNotes() const { return m_changeNotes; }
    // Places the lines noted so far at the grid's next rows (one across the
    // grid each) and forgets them; createResultsGrid() does so under its header,
    // a form that notes a change later places it where it belongs.
    void addChangeNotes(QGridLayout* grid);
    // Runs at the start of every createResultsGrid(): the window's chance to
    // note what it changed since the last results.
    void setBeforeResults(std::function<void()> hook) { m_beforeResults = std::move(hook); }
    // The calculation's message in red instead of the results, wrapped to the
    // column; under a message about empty inputs, the inputs still empty.
    void addFailure(QGridLayout* grid, const QString& message, const QStringList& emptyInputs);
    QLabel* addResultsHeader(QGridLayout* grid, const QString& text, bool small = false,
                             const QColor& colour = QColor());
    // A device's name and order designation as a small header: on one line
    // where the column is wide enough, otherwise broken at the last space
    // only, never inside the designation at one of its hyphens.
    QLabel* addDesignationHeader(QGridLayout* grid, const QString& designation);
    // Caption (bold) at column, value at column + 1, unit at column + 2.
    void addResultValueRow(QGridLayout* grid, int column, const QString& caption, const QString& unit,
                           double value, int decimals);
    QWidget* addValueCell(QGridLayout* grid, int column, const QString& text);
    QLabel* addTextCell(QGridLayout* grid, int column, const QString& text,
                        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter, bool bold = false,
                        const QPalette* palette = nullptr);
    QLabel* addCaptionCell(QGridLayout* grid, int column, const QString& text);
    QLabel* addBlankRow(QGridLayout* grid);
    QLabel* addPictureCell(QGridLayout* grid, int column, const QPixmap& picture);
    QWidget* addDocumentCell(QGridLayout* grid, int column, QTextDocument* document);
    // A small justified note across the grid, italic when black.
    QLabel* addNote(QGridLayout* grid, const QString& text, const QColor& colour);
    // Takes ownership of a widget placed in the results.
    void addResultWidget(QWidget* widget);
    // Stretches after the last row and column; places the grid in the results
    // column and lays the window out once.
    void finishResultsGrid(QGridLayout* grid);
    // Deletes the result grids, the pipe area and every result widget.
    void clearResults();

    // The widgets of the current results, in the order they were made.
    const QList<QWidget*>& resultWidgets() const { return m_resultWidgets; }
    // Takes the result widgets from index `first` on out of the results: their
    // new owner keeps them across clearResults().
    void releaseResultWidgets(int first);
    // The pipe area of the current results (owned; replaced by the forms).
    PipeSelectionArea* pipeArea() const { return m_pipeArea; }
    void setPipeArea(PipeSelectionArea* area);

private:
    QWidget* m_window;
    std::function<int()> m_columns;
    QGridLayout* m_mainLayout = nullptr;
    int m_column = 0;
    QList<QWidget*> m_resultWidgets;
    QList<QGridLayout*> m_resultGrids;
    PipeSelectionArea* m_pipeArea = nullptr;
    QStringList m_changeNotes;
    std::function<void()> m_beforeResults;
};
