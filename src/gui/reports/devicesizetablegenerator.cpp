#include "devicesizetablegenerator.h"

#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"
#include "reports/smarttexttable.h"
#include "vocabulary/common.h"
#include "vocabulary/devicedimensions.h"

#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextTable>
#include <QVector>

using namespace common;

namespace {

// A caption followed by the first `count` values.
QStringList tableRow(const QString& caption, const QVector<int>& values, int count)
{
    QStringList row{caption};
    for (int i = 0; i < count && i < values.size(); ++i)
        row.append(QString::number(values.at(i)));
    return row;
}

// Space around the text of every cell of the printed table.
const qreal reportCellPadding = 2;

} // namespace

DeviceSizeTableGenerator::DeviceSizeTableGenerator(int deviceType, const QTextCursor& cursor)
    : m_deviceType(deviceType), m_cursor(cursor)
{
    if (m_cursor.isNull()) {
        m_ownDocument = std::make_unique<QTextDocument>();
        m_cursor = QTextCursor(m_ownDocument.get());
    }
}

DeviceSizeTableGenerator::~DeviceSizeTableGenerator() = default;

void DeviceSizeTableGenerator::fillTable(TextTable& table) const
{
    const SeriesSizes* series = seriesSizes(m_deviceType);
    if (!series) {
        GEH_ASSERT(0);
        return;
    }
    const int count = series->height.size();
    table.addValues(tableRow(QStringLiteral("Номинальный диаметр DN, мм"), nominalDiameters(), count));
    table.addValues(tableRow(QStringLiteral("Строительная длина L, мм"), overallLengths(), count));
    table.addValues(tableRow(QStringLiteral("Высота Н, мм, не более"), series->height, count));
    if (!series->heightH1.isEmpty())
        table.addValues(tableRow(QStringLiteral("Размер Н1, мм, не более"), series->heightH1, count));
    table.addValues(tableRow(QStringLiteral("Масса, кг, не более"), series->mass, count));
}

QString DeviceSizeTableGenerator::notes(bool html) const
{
    return impulseTubeNotes(m_deviceType, html ? QStringLiteral("<br>") : QStringLiteral("\n"));
}

QTextDocument* DeviceSizeTableGenerator::generateDocument(int pointSize)
{
    // Prepared larger than any series; the writer cuts it to what was written
    // and narrows it to the cells of the first row.
    QTextTable* table = m_cursor.insertTable(25, 15, SmartTextTable::tableFormat(true, reportCellPadding));
    SmartTextTable writer(table);
    writer.defaultPointSize = pointSize;
    fillTable(writer);
    m_cursor = writer.seek();

    QTextBlockFormat blockFormat;
    blockFormat.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_cursor.setBlockFormat(blockFormat);

    QTextCharFormat charFormat;
    charFormat.setFontFamily(reportFontFamily());
    charFormat.setFontWeight(QFont::Normal);
    charFormat.setFontItalic(false);
    charFormat.setFontPointSize(pointSize);
    m_cursor.setCharFormat(charFormat);
    m_cursor.insertText(notes(false));
    return m_cursor.document();
}

SmartLabel* DeviceSizeTableGenerator::generateLabel(int pointSize) const
{
    QString html;
    HtmlTextTable table(&html);
    table.begin();
    fillTable(table);
    table.end();
    html += notes(true);
    return new SmartLabel(html, pointSize);
}
