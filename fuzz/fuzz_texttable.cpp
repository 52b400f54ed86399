// The table writers under any cell texts: "|", markup, entities, long and odd
// Unicode, rows wider or narrower than the table, rows past its end.
//
// Input: a flags byte (bit 0: the HTML writer, bit 1: the document writer;
// neither means both), the number of prepared rows and of columns of the
// document table, then UTF-8 lines, one row each, cells separated by tabs. A
// line may instead be a command: "\x01" column, alignment, style and point
// size bytes, then a text - one cell written on its own; "\x02" an empty row;
// "\x03" closing the table (`seek`); "\x04" column widths, one byte each.
//
// The HTML writer keeps its table's frame and every cell, in order, and what
// it writes parses as rich text. The document writer never adds rows, never
// writes outside its table, and a row it writes reads back as written.

#include "fuzzsupport.h"

#include "reports/smarttexttable.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

using orxfuzz::fail;

namespace {

const QString kBefore = QStringLiteral("Перед таблицей");
const QString kAfter = QStringLiteral("После таблицы");
const int kMaxCells = 40;

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz_texttable";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }
}

const QString kTableTag = QStringLiteral("<table border=\".5\", cellspacing=\"0\" cellpadding=\"1\">");

// The HTML writer takes rich text ("D<sub>y</sub>", "&nbsp;") and puts it into
// the row as it stands: whatever the cells hold, the table keeps its frame and
// every cell in its order, and the label's rich-text parser reads it.
void checkHtmlWriter(const QList<QStringList>& rows)
{
    QString html;
    HtmlTextTable writer(&html);
    writer.begin();
    int at = html.size();
    for (const QStringList& cells : rows) {
        writer.addValues(cells);
        for (const QString& cell : cells) {
            at = html.indexOf(cell, at);
            if (at < 0)
                fail("a cell was lost or moved", cell.left(500));
            at += cell.size();
        }
    }
    writer.end();
    if (!html.startsWith(kTableTag) || !html.endsWith(QLatin1String("</table>")))
        fail("the table lost its frame", html.left(2000));
    QTextDocument shown;
    shown.setHtml(html);
}

// Paragraph and line breaks are the document's own structure, not text.
QString withoutBreaks(QString text)
{
    for (QChar c : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::ParagraphSeparator), QChar(QChar::LineSeparator),
                    QChar(0xFDD0), QChar(0xFDD1)})
        text.remove(c);
    return text;
}

QString cellText(QTextTable* table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

struct Command
{
    enum Kind { Row, Cell, EmptyRow, Seek, Widths } kind = Row;
    QStringList cells;
    QByteArray bytes;
};

void checkDocumentWriter(const QList<Command>& commands, int preparedRows, int columns)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(kBefore);
    cursor.insertBlock();
    QTextTable* table = cursor.insertTable(preparedRows, columns, SmartTextTable::tableFormat(true, 2));
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(kAfter);

    SmartTextTable writer(table);
    bool touched = false; // the current row holds text written cell by cell
    for (const Command& command : commands) {
        switch (command.kind) {
        case Command::Row:
        case Command::EmptyRow: {
            const int row = writer.row;
            const bool wasOpen = !writer.endOfTable();
            writer.addValues(command.cells);
            if (writer.row != row + 1)
                fail("a row did not advance the writer");
            if (wasOpen && !touched && !command.cells.isEmpty()) {
                for (int i = 0; i < command.cells.size(); ++i) {
                    const QStringList parts = command.cells.at(i).split(QLatin1Char('|'));
                    QString expected = parts.value(0);
                    if (parts.size() > 1)
                        expected += QLatin1Char(' ') + parts.at(1);
                    if (withoutBreaks(cellText(table, row, i)) != withoutBreaks(expected))
                        fail("a cell does not read back as written", command.cells.at(i).left(500));
                }
            }
            touched = false;
            break;
        }
        case Command::Cell: {
            const QByteArray& b = command.bytes;
            const int column = static_cast<signed char>(b.at(0));
            const Qt::Alignment alignment = Qt::Alignment(static_cast<uchar>(b.at(1)) & 0x0F);
            const int style = static_cast<uchar>(b.at(2));
            const int pointSize = static_cast<signed char>(b.at(3));
            writer.setCellText(column, QString::fromUtf8(b.mid(4)), alignment, style & 1, style & 2,
                               pointSize);
            touched = true;
            break;
        }
        case Command::Seek:
            writer.seek();
            break;
        case Command::Widths: {
            QList<qreal> widths;
            for (char c : command.bytes)
                widths << static_cast<uchar>(c);
            writer.setColumnWidths(widths);
            break;
        }
        }
        if (table->rows() > preparedRows || table->rows() < 1 || table->columns() < 1)
            fail("the table has rows or columns it was not given");
    }
    writer.seek();
    if (table->rows() < 1 || table->rows() > std::max(writer.row, 1))
        fail("seek kept rows that were never written");

    // Nothing was written outside the table.
    if (document.begin().text() != kBefore || document.lastBlock().text() != kAfter)
        fail("text was written outside the table");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ensureApplication();
    orxfuzz::quietErrorHandler();
    orxfuzz::ByteReader in(data, size);
    const int flags = in.byte();
    const int preparedRows = 1 + in.byte() % 32;
    const int columns = 1 + in.byte() % 12;

    QList<Command> commands;
    QList<QStringList> rows;
    for (const QByteArray& line : in.rest().split('\n')) {
        Command command;
        const char first = line.isEmpty() ? 0 : line.at(0);
        if (first == '\x01') {
            command.kind = Command::Cell;
            command.bytes = line.mid(1).leftJustified(4, '\0', false);
        } else if (first == '\x02') {
            command.kind = Command::EmptyRow;
            rows << QStringList();
        } else if (first == '\x03') {
            command.kind = Command::Seek;
        } else if (first == '\x04') {
            command.kind = Command::Widths;
            command.bytes = line.mid(1);
        } else {
            // Reports have a dozen columns; a few dozen keep every run quick.
            command.cells = QString::fromUtf8(line).split(QLatin1Char('\t')).mid(0, kMaxCells);
            rows << command.cells;
        }
        commands << command;
    }

    const bool html = (flags & 3) != 2;
    const bool smart = (flags & 3) != 1;
    if (html)
        checkHtmlWriter(rows);
    if (smart)
        checkDocumentWriter(commands, preparedRows, columns);
    return 0;
}
