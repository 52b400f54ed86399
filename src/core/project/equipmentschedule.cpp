#include "project/equipmentschedule.h"

#include "project/schedulefile.h"

#include <QIODevice>
#include <QLocale>
#include <QStringRef>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Only the digits 0-9 make a number in a mark: other scripts' digits are
// characters like any letter.
bool isMarkDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// Two runs of digits by value, of any length (no overflow): without their
// leading zeros, the longer run is the greater number.
int compareDigitRuns(QStringRef a, QStringRef b)
{
    const auto withoutZeros = [](QStringRef run) {
        int first = 0;
        while (first < run.size() - 1 && run.at(first) == QLatin1Char('0'))
            ++first;
        return run.mid(first);
    };
    a = withoutZeros(a);
    b = withoutZeros(b);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return sign(a.compare(b, Qt::CaseSensitive));
}

// The end of the run that starts at `from`: digits or other characters.
int runEnd(const QString& mark, int from)
{
    const bool digits = isMarkDigit(mark.at(from));
    int end = from + 1;
    while (end < mark.size() && isMarkDigit(mark.at(end)) == digits)
        ++end;
    return end;
}

// What a spreadsheet would take for the start of a formula or a command.
bool startsLikeFormula(const QString& text)
{
    int first = 0;
    while (first < text.size() && text.at(first) == QLatin1Char(' '))
        ++first;
    if (first == text.size())
        return false;
    static const QString starters = QStringLiteral("=+-@\t\r");
    return starters.contains(text.at(first));
}

bool needsQuotes(const QString& field)
{
    if (field.isEmpty())
        return false;
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    if (blank(field.front()) || blank(field.back()))
        return true;
    for (const QChar c : field)
        if (c == QLatin1Char(';') || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n'))
            return true;
    return false;
}

QString csvField(const QString& text)
{
    if (!needsQuotes(text))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void appendCsvLine(QByteArray& csv, const QStringList& fields)
{
    QStringList line;
    for (const QString& field : fields)
        line << csvField(field);
    csv += line.join(QLatin1Char(';')).toUtf8();
    csv += "\r\n";
}

bool isFigureColumn(int column)
{
    return column == scQuantity || column == scMass;
}

} // namespace

const QStringList& EquipmentSchedule::columnHeaders()
{
    static const QStringList headers{QStringLiteral("Поз."),
                                     QStringLiteral("Наименование и техническая характеристика"),
                                     QStringLiteral("Тип, марка, обозначение документа, опросного листа"),
                                     QStringLiteral("Код продукции"),
                                     QStringLiteral("Поставщик"),
                                     QStringLiteral("Ед. измерения"),
                                     QStringLiteral("Кол."),
                                     QStringLiteral("Масса 1 ед., кг"),
                                     QStringLiteral("Примечание")};
    return headers;
}

const QVector<double>& EquipmentSchedule::columnWidthsMm()
{
    static const QVector<double> widths{20, 130, 60, 35, 45, 20, 20, 25, 40};
    return widths;
}

QString EquipmentSchedule::documentName()
{
    return QStringLiteral("Спецификация оборудования, изделий и материалов");
}

namespace {

// The row indexes sorted by the rows' own marks, equal marks in their order.
void sortByMark(QVector<int>& indexes, const QList<ScheduleRow>& rows)
{
    std::stable_sort(indexes.begin(), indexes.end(), [&rows](int a, int b) {
        return comparePositionMarks(rows.at(a).position, rows.at(b).position) < 0;
    });
}

} // namespace

QVector<int> EquipmentSchedule::positionOrder() const
{
    // The rows that head a group (a device and the parts under it), by mark.
    QVector<int> heads;
    for (int i = 0; i < rows.size(); ++i)
        if (i == 0 || !rows.at(i).partOfRowBefore)
            heads.append(i);
    sortByMark(heads, rows);
    QVector<int> order;
    order.reserve(rows.size());
    for (int head : heads) {
        order.append(head);
        for (int part = head + 1; part < rows.size() && rows.at(part).partOfRowBefore; ++part)
            order.append(part);
    }
    return order;
}

QVector<int> EquipmentSchedule::sortByPosition()
{
    const QVector<int> order = positionOrder();
    QList<ScheduleRow> sorted;
    sorted.reserve(order.size());
    for (int index : order)
        sorted.append(rows.at(index));
    rows = sorted;
    return order;
}

QVector<bool> EquipmentSchedule::duplicatedPositions() const
{
    // Equal marks are neighbours once the rows are ordered by their own marks.
    QVector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    sortByMark(order, rows);
    QVector<bool> duplicated(rows.size(), false);
    for (int i = 1; i < order.size(); ++i) {
        const QString& mark = rows.at(order.at(i)).position;
        if (!mark.trimmed().isEmpty() && comparePositionMarks(rows.at(order.at(i - 1)).position, mark) == 0)
            duplicated[order.at(i - 1)] = duplicated[order.at(i)] = true;
    }
    return duplicated;
}

int comparePositionMarks(const QString& a, const QString& b)
{
    const QString x = a.trimmed();
    const QString y = b.trimmed();
    if (x.isEmpty() || y.isEmpty())
        return int(x.isEmpty()) - int(y.isEmpty());
    int i = 0;
    int j = 0;
    while (i < x.size() && j < y.size()) {
        const bool xDigits = isMarkDigit(x.at(i));
        const bool yDigits = isMarkDigit(y.at(j));
        if (xDigits != yDigits)
            return xDigits ? -1 : 1;
        const int xEnd = runEnd(x, i);
        const int yEnd = runEnd(y, j);
        const QStringRef xRun = x.midRef(i, xEnd - i);
        const QStringRef yRun = y.midRef(j, yEnd - j);
        const int order =
            xDigits ? compareDigitRuns(xRun, yRun) : sign(xRun.compare(yRun, Qt::CaseInsensitive));
        if (order != 0)
            return order;
        i = xEnd;
        j = yEnd;
    }
    return int(i < x.size()) - int(j < y.size());
}

QString scheduleMassText(double kg)
{
    if (!std::isfinite(kg))
        return QString();
    if (kg == 0)
        kg = 0; // no "-0"
    // Fixed notation: a spreadsheet must not read "1e-05" as text.
    QString text = QLocale::c().toString(kg, 'f', QLocale::FloatingPointShortest);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString scheduleQuantityText(int quantity)
{
    return quantity > 0 ? QString::number(quantity) : QString();
}

QStringList scheduleCellTexts(const ScheduleRow& row)
{
    return {row.position,
            row.name,
            row.type,
            row.code,
            row.supplier,
            row.unit,
            scheduleQuantityText(row.quantity),
            scheduleMassText(row.mass),
            row.note};
}

QByteArray scheduleCsv(const EquipmentSchedule& schedule)
{
    QByteArray csv("\xEF\xBB\xBF");
    appendCsvLine(csv, EquipmentSchedule::columnHeaders());
    for (const ScheduleRow& row : schedule.rows) {
        QStringList cells = scheduleCellTexts(row);
        for (int column = 0; column < cells.size(); ++column)
            if (!isFigureColumn(column) && startsLikeFormula(cells.at(column)))
                cells[column].prepend(QLatin1Char('\''));
        appendCsvLine(csv, cells);
    }
    return csv;
}

bool writeScheduleCsv(const EquipmentSchedule& schedule, const QString& path, QString* error)
{
    const QByteArray csv = scheduleCsv(schedule);
    return saveWholeFile(
        path, [&csv](QIODevice* file) { return file->write(csv) == csv.size(); }, error);
}
