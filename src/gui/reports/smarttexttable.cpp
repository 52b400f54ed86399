#include "smarttexttable.h"

#include "gentools/errorhandle.h"

#include <QFont>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextLength>
#include <QTextTable>
#include <QVector>

namespace {

Qt::Alignment columnAlignment(int column)
{
    return column == 0 ? Qt::AlignLeft : Qt::AlignRight;
}

} // namespace

QString reportFontFamily()
{
    return QStringLiteral("Calibri");
}

HtmlTextTable::HtmlTextTable(QString* target) : target(target)
{
}

void HtmlTextTable::begin()
{
    if (!GEH_ASSERT(target))
        return;
    // The comma after the border width has always been part of this tag; the
    // rich-text parser reads the attributes after it all the same.
    *target += QStringLiteral("<table border=\".5\", cellspacing=\"0\" cellpadding=\"1\">");
}

void HtmlTextTable::addValues(const QStringList& cells)
{
    if (!GEH_ASSERT(target))
        return;
    QString html = QStringLiteral("<tr>");
    for (int i = 0; i < cells.count(); ++i) {
        const QString align =
            columnAlignment(i) == Qt::AlignLeft ? QStringLiteral("left") : QStringLiteral("right");
        // The cell text is markup of its own: a caller may pass "D<sub>y</sub>" or
        // "&nbsp;", so it goes into the row as it stands.
        html += QStringLiteral("<td align=\"%0\">%1</td>").arg(align, cells.at(i));
    }
    html += QStringLiteral("</tr>");
    *target += html;
}

void HtmlTextTable::end()
{
    if (!GEH_ASSERT(target))
        return;
    *target += QStringLiteral("</table>");
}

SmartTextTable::SmartTextTable(QTextTable* table) : m_table(table)
{
}

QTextTableFormat SmartTextTable::tableFormat(bool withBorder, qreal padding)
{
    QTextTableFormat format;
    format.setBorder(withBorder ? 1 : 0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellSpacing(0);
    format.setCellPadding(padding);
    return format;
}

void SmartTextTable::setColumnWidths(const QList<qreal>& percentages)
{
    if (!GEH_ASSERT(m_table))
        return;
    // The table keeps one width per column: the toolkit's own column insertion
    // and removal trusts that and overruns its list when it is shorter. A column
    // without a given width takes what the others leave; extra widths are dropped.
    const int columns = m_table->columns();
    GEH_ASSERT(percentages.count() == columns);
    QVector<QTextLength> constraints;
    constraints.reserve(columns);
    for (int i = 0; i < columns; ++i)
        constraints.append(i < percentages.count()
                               ? QTextLength(QTextLength::PercentageLength, percentages.at(i))
                               : QTextLength(QTextLength::VariableLength, 0));
    QTextTableFormat format = m_table->format();
    format.setColumnWidthConstraints(constraints);
    m_table->setFormat(format);
}

bool SmartTextTable::endOfTable() const
{
    return !m_table || row >= m_table->rows();
}

void SmartTextTable::setCellText(int column, const QString& text, Qt::Alignment alignment, bool bold,
                                 bool italic, int pointSize)
{
    // Past the prepared rows there is no cell to write to: the text is dropped.
    if (!GEH_ASSERT(!endOfTable()))
        return;
    const QTextTableCell cell = m_table->cellAt(row, column);
    if (!GEH_ASSERT(cell.isValid()))
        return;
    QTextCursor cursor = cell.firstCursorPosition();

    QTextBlockFormat blockFormat;
    blockFormat.setAlignment(alignment | Qt::AlignVCenter);

    QTextCharFormat charFormat;
    charFormat.setFontFamily(reportFontFamily());
    charFormat.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    charFormat.setFontItalic(italic);
    charFormat.setFontPointSize(pointSize != 0 ? pointSize : defaultPointSize);

    cursor.setBlockFormat(blockFormat);
    cursor.setCharFormat(charFormat);

    // "name|unit": the unit follows the name after a blank, in italics.
    const QStringList list = text.split(QLatin1Char('|'));
    GEH_ASSERT(list.count() > 0 && list.count() <= 2);
    cursor.insertText(list.at(0), charFormat);
    if (list.count() > 1) {
        charFormat.setFontItalic(true);
        cursor.insertText(QLatin1Char(' ') + list.at(1), charFormat);
    }
}

void SmartTextTable::addValues(const QStringList& l)
{
    if (!GEH_ASSERT(m_table))
        return;
    // A table cannot have zero columns (resizing to none would remove it from the
    // document), so an empty row keeps the columns and is reported below.
    if (!l.isEmpty() && m_table->columns() != l.count())
        m_table->resize(m_table->rows(), l.count());
    GEH_ASSERT(l.count() == m_table->columns());

    // One report for a row past the end, not one per cell.
    if (GEH_ASSERT(!endOfTable())) {
        for (int i = 0; i < l.count(); ++i)
            setCellText(i, l.at(i), columnAlignment(i), false, false, 0);
    }
    ++row;
}

QTextCursor SmartTextTable::seek()
{
    if (!GEH_ASSERT(m_table))
        return QTextCursor();
    // The rows from `row` on were never written; a table keeps at least one row.
    const int keep = qMax(row, 1);
    if (m_table->rows() > keep)
        m_table->removeRows(keep, m_table->rows() - keep);
    GEH_ASSERT(m_table->rows());

    QTextCursor cursor = m_table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
    return cursor;
}
