#pragma once

// Row-by-row table writers. Reports and the dimension tables shown on screen
// write their tables through TextTable, one row of cell texts at a time; the
// first cell of a row is its caption (left-aligned) and the others its values
// (right-aligned).

#include <QList>
#include <QStringList>
#include <QTextCursor>
#include <QTextTableFormat>
#include <Qt>

class QTextTable;

// The family every report and dimension table is set in: "Calibri", for which
// fontconfig offers the metric-compatible Carlito where Calibri is missing.
QString reportFontFamily();

class TextTable
{
public:
    virtual void addValues(const QStringList& cells) = 0;

protected:
    // Writers live on the stack of the code that fills them; nobody deletes one
    // through this interface.
    ~TextTable() = default;
};

// Appends an HTML table to a text, for rich-text labels.
class HtmlTextTable : public TextTable
{
public:
    // The text must outlive the writer.
    explicit HtmlTextTable(QString* target);

    void begin();
    // Cell texts are rich text and go into the row unchanged.
    void addValues(const QStringList& cells) override;
    void end();

private:
    QString* target;
};

// Fills a table of a text document, one prepared row after another. The table
// never grows by rows: its creator prepares enough of them, and `seek` drops
// the rows that stayed unwritten.
class SmartTextTable : public TextTable
{
public:
    // The document owns the table; it must outlive the writer.
    explicit SmartTextTable(QTextTable* table);

    static QTextTableFormat tableFormat(bool withBorder, qreal padding);

    // One percentage of the table width per column, in column order; the list
    // must have as many entries as the table has columns.
    void setColumnWidths(const QList<qreal>& percentages);

    // Writes one cell of the current row. A text "name|unit" shows the unit in
    // italics after a blank. A point size of 0 means defaultPointSize.
    void setCellText(int column, const QString& text, Qt::Alignment alignment, bool bold, bool italic,
                     int pointSize);

    // Writes the whole current row (caption left, values right) and moves to the
    // next one. The table takes as many columns as there are cells.
    void addValues(const QStringList& l) override;

    // Removes the rows never written (keeping at least one) and returns a cursor
    // on the first position below the table, where the document goes on.
    QTextCursor seek();

    bool endOfTable() const;
    QTextTable* table() const { return m_table; }

    // Index of the next row to write.
    int row = 0;
    // Font size of the cells that ask for none.
    int defaultPointSize = 11;

private:
    QTextTable* m_table;
};
