#pragma once

// Reading a report document back: its top-level tables and their cells as the
// reader of the PDF sees them. Shared by the report tests.

#include <QList>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace reporttest {

// The plain text of a cell, paragraphs joined with "\n".
inline QString cellText(const QTextTableCell& cell)
{
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// The texts of each row; a cell spanning several columns counts once.
inline QList<QStringList> tableRows(const QTextTable* table)
{
    QList<QStringList> rows;
    for (int r = 0; r < table->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.column() == c)
                cells.append(cellText(cell));
        }
        rows.append(cells);
    }
    return rows;
}

// The tables placed directly in the document, in order.
inline QList<QTextTable*> topTables(const QTextDocument& document)
{
    QList<QTextTable*> tables;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.append(table);
    return tables;
}

// The bordered four-column tables: input data and chosen device.
inline QList<QTextTable*> dataTables(const QTextDocument& document)
{
    QList<QTextTable*> tables;
    for (QTextTable* table : topTables(document))
        if (table->columns() == 4 && table->format().border() > 0)
            tables.append(table);
    return tables;
}

// The texts of the one-cell title tables, in order.
inline QStringList titles(const QTextDocument& document)
{
    QStringList texts;
    for (QTextTable* table : topTables(document))
        if (table->rows() == 1 && table->columns() == 1)
            texts.append(cellText(table->cellAt(0, 0)));
    return texts;
}

// The names of the images in a cell.
inline QStringList imagesIn(const QTextTableCell& cell)
{
    QStringList names;
    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it)
        for (QTextBlock::iterator f = it.currentBlock().begin(); !f.atEnd(); ++f)
            if (f.fragment().charFormat().isImageFormat())
                names.append(f.fragment().charFormat().toImageFormat().name());
    return names;
}

} // namespace reporttest
