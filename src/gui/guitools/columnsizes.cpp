#include "columnsizes.h"

#include "gentools/errorhandle.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>

QString columnSizeKey(const QString& prefix, const QString& headerText)
{
    QString text = headerText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return QStringLiteral("ColumnSizes/") + prefix + QLatin1Char('/') + text;
}

void saveOrRestoreColumnSizes(bool save, QTableView* view, const QString& prefix, SmartSettings settings)
{
    if (!GEH_ASSERT(view) || !GEH_ASSERT(view->model()))
        return;
    QAbstractItemModel* model = view->model();
    QHeaderView* header = view->horizontalHeader();
    const int count = model->columnCount();
    for (int column = 0; column < count; ++column) {
        const QString title = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        if (title.isEmpty())
            continue;
        const QString key = columnSizeKey(prefix, title);
        if (save) {
            // A hidden column has no width worth keeping.
            const int width = view->columnWidth(column);
            if (width != 0)
                settings.setValue(key, width);
            continue;
        }
        const bool stretches = header->sectionResizeMode(column) == QHeaderView::Stretch ||
                               (header->stretchLastSection() && column == count - 1);
        if (stretches)
            continue;
        bool ok = false;
        const int width = settings.value(key).toInt(&ok);
        // A missing or unreadable entry keeps the current width; a zero width
        // would hide the column.
        if (ok && width > 0)
            view->setColumnWidth(column, width);
    }
}
