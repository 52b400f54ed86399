#include "project/scheduledialog.h"

#include "documents/doc.h"
#include "forms/selectionchild.h"
#include "framework/linebreaks.h"
#include "framework/mdichild.h"
#include "guitools/filedialogs.h"
#include "project/projectdetailsdialog.h"
#include "reports/pdfgenerator.h"
#include "reports/schedulepdfgenerator.h"
#include "reports/schedulexlsx.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <numeric>

namespace {

// The positions in the order of their marks; equal marks keep their order.
QList<MdiChild*> inMarkOrder(QList<MdiChild*> positions)
{
    std::stable_sort(positions.begin(), positions.end(), [](const MdiChild* a, const MdiChild* b) {
        return comparePositionMarks(a->positionMark(), b->positionMark()) < 0;
    });
    return positions;
}

// How the user knows a position in a message: its mark, or the document's name.
QString positionName(const MdiChild* window)
{
    return window->positionMark().isEmpty() ? window->doc().name() : window->positionMark();
}

// The title of the one PDF of every position's data sheet, and its file's name.
QString dataSheetsName()
{
    return QStringLiteral("Опросные листы");
}

QString noDataSheetsText()
{
    return QStringLiteral("Ни одна позиция проекта не имеет опросного листа: ни в одном клапане или "
                          "регуляторе не выбраны устройство и трубопроводы.");
}

// Whether a position gives a data sheet: a valve or a regulator whose device
// and pipes are chosen.
bool hasDataSheet(MdiChild* window)
{
    window->ensureCalculated();
    const auto* selection = qobject_cast<const SelectionChild*>(window);
    return selection && selection->choiceComplete();
}

bool isTypedColumn(int column)
{
    return column == scCode || column == scNote;
}

const QColor& duplicateColour()
{
    static const QColor colour(255, 215, 215);
    return colour;
}

// A typed cell takes no more than a document keeps of a text: what the cell
// shows is what the project saves.
class TypedCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(Doc::maxTextLength);
        return editor;
    }
};

struct ExportKind
{
    const char* button;
    const char* filter;
    const char* suffix;
};

// By ScheduleDialog::Export.
const ExportKind kExports[] = {
    {"PDF (А3)…", "PDF (*.pdf)", "pdf"},
    {"XLSX…", "Книга Excel (*.xlsx)", "xlsx"},
    {"CSV…", "CSV (*.csv)", "csv"},
    {"Опросные листы…", "PDF (*.pdf)", "pdf"},
};

} // namespace

EquipmentSchedule projectSchedule(const ProjectDetails& details, const QList<MdiChild*>& positions,
                                  const QHash<const MdiChild*, Project::CellSet>& cells,
                                  QVector<ScheduleOrigin>* origins)
{
    EquipmentSchedule schedule;
    schedule.details = details;
    QVector<ScheduleOrigin> from;
    for (MdiChild* window : positions) {
        window->ensureCalculated();
        const Project::CellSet typed = cells.value(window);
        const QList<ScheduleRow> rows = window->scheduleRows();
        for (int kind = 0; kind < rows.size() && kind < Project::rowKindCount; ++kind) {
            ScheduleRow row = rows.at(kind);
            // A row without a device has nothing to order by a code, and its
            // note says why it stands there.
            if (row.note.isEmpty()) {
                row.code = typed.at(kind).code;
                row.note = typed.at(kind).note;
            }
            schedule.rows.append(row);
            from.append({window, kind});
        }
    }
    const QVector<int> order = schedule.sortByPosition();
    if (origins) {
        origins->clear();
        for (int index : order)
            origins->append(from.at(index));
    }
    return schedule;
}

bool writeDataSheets(const QList<MdiChild*>& positions, const QString& path, QStringList* skipped,
                     QString* error)
{
    std::vector<std::unique_ptr<PdfGenerator>> reports;
    QList<const PdfGenerator*> pages;
    skipped->clear();
    for (MdiChild* window : inMarkOrder(positions)) {
        auto* selection = qobject_cast<SelectionChild*>(window);
        std::unique_ptr<PdfGenerator> report = hasDataSheet(window) ? selection->writtenReport() : nullptr;
        if (!report) {
            *skipped << QStringLiteral("%1: %2").arg(
                positionName(window), selection ? QStringLiteral("не выбраны устройство и трубопроводы")
                                                : QStringLiteral("опросный лист не составляется"));
            continue;
        }
        pages.append(report.get());
        reports.push_back(std::move(report));
    }
    if (pages.isEmpty()) {
        *error = noDataSheetsText();
        return false;
    }
    return PdfGenerator::writeTogether(pages, path, dataSheetsName(), error);
}

ScheduleDialog::ScheduleDialog(ProjectDetails* details, const QList<MdiChild*>& positions,
                               QHash<const MdiChild*, Project::CellSet>* cells, QWidget* parent)
    : QDialog(parent), m_details(details), m_positions(positions), m_cells(cells)
{
    setWindowTitle(QStringLiteral("Спецификация оборудования"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout();
    m_detailsLine = new QLabel(this);
    m_detailsLine->setWordWrap(true);
    top->addWidget(m_detailsLine, 1);
    auto* detailsButton = new QPushButton(QStringLiteral("Сведения об объекте…"), this);
    connect(detailsButton, &QPushButton::clicked, this, &ScheduleDialog::editDetails);
    top->addWidget(detailsButton);
    layout->addLayout(top);

    m_table = new QTableWidget(0, scheduleColumnCount, this);
    QStringList headers;
    for (const QString& header : EquipmentSchedule::columnHeaders())
        headers << framework::keepTogether(header);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->hide();
    m_table->setWordWrap(true);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    // Long designations wrap at their hyphens rather than lose their end.
    m_table->setTextElideMode(Qt::ElideNone);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->horizontalHeader()->setDefaultAlignment(
        Qt::Alignment(int(Qt::AlignCenter) | int(Qt::TextWordWrap)));
    m_table->horizontalHeader()->setMinimumHeight(fontMetrics().lineSpacing() * 4);
    m_table->setItemDelegate(new TypedCellDelegate(m_table));
    connect(m_table, &QTableWidget::cellChanged, this, &ScheduleDialog::takeCell);
    m_table->viewport()->installEventFilter(this);
    layout->addWidget(m_table, 1);

    m_duplicates = new QLabel(this);
    m_duplicates->setWordWrap(true);
    QPalette red = m_duplicates->palette();
    red.setColor(QPalette::WindowText, Qt::darkRed);
    m_duplicates->setPalette(red);
    layout->addWidget(m_duplicates);
    auto* hint = new QLabel(
        QStringLiteral("Код продукции и примечание вводятся в таблице и сохраняются в проекте. Остальное "
                       "берётся из позиций: чтобы изменить, исправьте документ позиции."),
        this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    for (int kind = exPdf; kind <= exDataSheets; ++kind) {
        QPushButton* button =
            buttons->addButton(QString::fromUtf8(kExports[kind].button), QDialogButtonBox::ActionRole);
        connect(button, &QPushButton::clicked, this, [this, kind] { exportWithDialog(Export(kind)); });
    }
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Enter belongs to the table, where it ends the typing of a cell; no
    // button answers it for the dialog.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);

    updateDetailsLine();
    fillTable();
    // Most of the main window: the table has nine columns of text.
    const QSize room = parent ? parent->window()->size() : QSize(1280, 800);
    resize(qMax(900, room.width() * 9 / 10), qMax(500, room.height() * 8 / 10));
}

bool ScheduleDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QDialog::eventFilter(watched, event);
}

void ScheduleDialog::fitColumns()
{
    // The columns keep the proportions of the drawing sheet across the width
    // the table has, so that no column hides behind a scroll bar.
    const QVector<double>& widths = EquipmentSchedule::columnWidthsMm();
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    // A narrow column is still as wide as the longest word of its header;
    // the name takes what that costs.
    const int room = m_table->viewport()->width();
    const QFontMetrics metrics(m_table->horizontalHeader()->font());
    // A mark is read whole, as on the drawings: its column is as wide as the
    // longest one.
    const QFontMetrics cells(m_table->font());
    int widestMark = 0;
    for (int row = 0; row < m_table->rowCount(); ++row)
        if (const QTableWidgetItem* item = m_table->item(row, scPosition))
            widestMark = qMax(widestMark, cells.horizontalAdvance(item->text()));
    QVector<int> fitted(scheduleColumnCount);
    int used = 0;
    for (int column = 0; column < scheduleColumnCount; ++column) {
        int word = 0;
        for (const QString& part : EquipmentSchedule::columnHeaders().at(column).split(QLatin1Char(' ')))
            word = qMax(word, metrics.horizontalAdvance(part));
        if (column == scPosition)
            word = qMax(word, widestMark);
        fitted[column] = qMax(int(room * widths.at(column) / total), word + 3 * metrics.averageCharWidth());
        used += fitted.at(column);
    }
    fitted[scName] = qMax(fitted.at(scName) - (used - room), metrics.averageCharWidth() * 20);
    for (int column = 0; column < scheduleColumnCount; ++column)
        m_table->setColumnWidth(column, fitted.at(column));
    m_table->resizeRowsToContents();
}

void ScheduleDialog::updateDetailsLine()
{
    QStringList parts;
    if (!m_details->objectName.isEmpty())
        parts << QStringLiteral("Объект: %1").arg(m_details->objectName);
    if (!m_details->projectCode.isEmpty())
        parts << QStringLiteral("шифр: %1").arg(m_details->projectCode);
    m_detailsLine->setText(parts.isEmpty()
                               ? QStringLiteral("Сведения об объекте для основной надписи не заданы.")
                               : parts.join(QStringLiteral("; ")));
}

void ScheduleDialog::fillTable()
{
    m_filling = true;
    const EquipmentSchedule schedule = projectSchedule(*m_details, m_positions, *m_cells, &m_origins);
    const QVector<bool> duplicated = schedule.duplicatedPositions();
    QStringList duplicates;
    m_table->setRowCount(schedule.rows.size());
    for (int row = 0; row < schedule.rows.size(); ++row) {
        const ScheduleRow& data = schedule.rows.at(row);
        const QStringList texts = scheduleCellTexts(data);
        // A row that says why it has no device keeps that note.
        const bool hasDevice = !data.unit.isEmpty();
        for (int column = 0; column < scheduleColumnCount; ++column) {
            // A designation may break after its hyphens and slashes, before
            // its figures, where a line of text would not; a name never parts
            // a figure from its unit.
            QString shown = texts.at(column);
            if (column == scName)
                shown = framework::keepTogether(shown);
            if (column == scType)
                shown.replace(QLatin1Char('-'), QStringLiteral("-\u200B"))
                    .replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
            auto* item = new QTableWidgetItem(shown);
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (isTypedColumn(column) && hasDevice)
                flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
            if (column == scQuantity || column == scMass)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
        if (duplicated.at(row)) {
            QTableWidgetItem* mark = m_table->item(row, scPosition);
            mark->setBackground(duplicateColour());
            mark->setToolTip(QStringLiteral("Эта позиция повторяется"));
            if (!duplicates.contains(data.position.trimmed(), Qt::CaseInsensitive))
                duplicates << data.position.trimmed();
        }
    }
    m_table->resizeRowsToContents();
    m_duplicates->setText(duplicates.isEmpty()
                              ? QString()
                              : QStringLiteral("Повторяются позиции: %1. Проверьте марки на чертежах.")
                                    .arg(duplicates.join(QStringLiteral(", "))));
    m_duplicates->setVisible(!duplicates.isEmpty());
    m_filling = false;
}

void ScheduleDialog::takeCell(int row, int column)
{
    if (m_filling || !isTypedColumn(column) || row < 0 || row >= m_origins.size())
        return;
    const ScheduleOrigin& origin = m_origins.at(row);
    const QString text = Doc::cutText(m_table->item(row, column)->text(), Doc::maxTextLength);
    Project::Cells& typed = (*m_cells)[origin.window][origin.kind];
    QString& target = column == scCode ? typed.code : typed.note;
    if (target == text)
        return;
    target = text;
    // The row grows or shrinks with what was typed.
    m_table->resizeRowToContents(row);
    emit edited();
}

void ScheduleDialog::editDetails()
{
    if (!ProjectDetailsDialog::edit(m_details, this))
        return;
    updateDetailsLine();
    emit edited();
}

bool ScheduleDialog::exportTo(Export kind, const QString& path, QString* error, QStringList* skipped)
{
    if (kind == exDataSheets) {
        QStringList left;
        const bool written = writeDataSheets(m_positions, path, &left, error);
        if (skipped)
            *skipped = left;
        return written;
    }
    const EquipmentSchedule schedule = projectSchedule(*m_details, m_positions, *m_cells);
    switch (kind) {
    case exPdf:
        return writeSchedulePdf(schedule, path, error);
    case exXlsx:
        return writeScheduleXlsx(schedule, path, error);
    case exCsv:
        return writeScheduleCsv(schedule, path, error);
    case exDataSheets:
        break;
    }
    return false;
}

void ScheduleDialog::exportWithDialog(Export kind)
{
    const QString title = kind == exDataSheets ? dataSheetsName() : QStringLiteral("Спецификация");
    // Nothing to write is said before a file name is asked for.
    if (kind == exDataSheets && std::none_of(m_positions.cbegin(), m_positions.cend(), hasDataSheet)) {
        QMessageBox::warning(this, title, noDataSheetsText());
        return;
    }
    const ExportKind& spec = kExports[kind];
    const QString name = kind == exDataSheets ? dataSheetsName() : EquipmentSchedule::documentName();
    const QString path = chooseFileToSave(this, QStringLiteral("Сохранить"), Doc::directory() + name,
                                          QString::fromUtf8(spec.filter), QString::fromLatin1(spec.suffix));
    if (path.isEmpty())
        return;
    QString error;
    QStringList skipped;
    if (!exportTo(kind, path, &error, &skipped)) {
        QMessageBox::warning(this, title, error);
        return;
    }
    if (!skipped.isEmpty())
        QMessageBox::information(
            this, QStringLiteral("Опросные листы"),
            QStringLiteral("Без опросного листа остались позиции:\n%1").arg(skipped.join(QLatin1Char('\n'))));
    if (kind == exPdf || kind == exDataSheets)
        PdfGenerator::openInViewer(path);
}
