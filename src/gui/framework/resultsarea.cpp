// The results column of a document window. Every widget built here belongs to
// the current results and goes with clearResults().

#include "framework/resultsarea.h"

#include "engine/algorithm.h"
#include "framework/layoutkit.h"
#include "framework/linebreaks.h"
#include "framework/pipeselectionarea.h"
#include "vocabulary/displaynumber.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace common;
using framework::firstFreeRow;
using framework::resizedFont;
using framework::richTextWidth;
using framework::sectionHeader;
using framework::setTextColour;

namespace {

// A word-wrapped label as wide as its longest line, up to about fifty
// characters: short texts keep their lines, long ones wrap there.
void wrapAt(QLabel* label, const QString& richText)
{
    label->setWordWrap(true);
    label->setMinimumWidth(
        qMin(richTextWidth(label->font(), richText), label->fontMetrics().averageCharWidth() * 50));
}

// The side margins and the most lines of a column header: the candidate tables
// of five columns must stand beside the input column on a laptop's screen.
const int kCaptionSideMargin = 10;
const int kCaptionLines = 4;
// The frame and padding of a value box on each side, px.
const int kValueFrame = 4;

// A cell builder given column 0 opens a new row; any other column fills the last one.
int cellRow(QGridLayout* grid, int column)
{
    return column == 0 ? firstFreeRow(grid) : qMax(0, grid->rowCount() - 1);
}

// Shows at once what a layout holds, as the layout itself would on the next
// pass of the event loop; widgets hidden on purpose stay hidden. A widget is
// shown before the layout places it (a hidden one takes no room), so it first
// goes outside the window: appearing where a new widget starts, over the input
// column, it would have the whole column painted again on every keystroke.
void showLayoutWidgets(QLayout* layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QWidget* w = item->widget()) {
            if (!(w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide))) {
                if (w->isHidden())
                    w->move(-w->width(), -w->height());
                w->show();
            }
        } else if (QLayout* inner = item->layout()) {
            showLayoutWidgets(inner);
        }
    }
}

// Results are rebuilt on every keystroke, and most of their cells say what they
// said before: a caption, a unit, a figure that did not move. Measuring a text
// shapes it glyph by glyph, three times for a label's two size hints, so what
// a plain one-line text measures is kept by everything that decides it: the
// font, the screen's resolution, the text and how the label places it.
class TextCellSizes
{
public:
    struct Sizes
    {
        QSize hint;
        QSize minimum;
    };

    static QString key(const QLabel* label)
    {
        const QMargins m = label->contentsMargins();
        return label->font().key() + QLatin1Char('\x1f') + label->text() + QLatin1Char('\x1f') +
               QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                   .arg(int(label->alignment()))
                   .arg(label->indent())
                   .arg(label->margin())
                   .arg(m.left())
                   .arg(m.top())
                   .arg(m.right())
                   .arg(m.bottom())
                   .arg(label->logicalDpiX())
                   .arg(label->logicalDpiY());
    }
    static const Sizes* find(const QString& key)
    {
        const auto it = table().constFind(key);
        return it == table().constEnd() ? nullptr : &it.value();
    }
    static void insert(const QString& key, const Sizes& sizes)
    {
        // A bound against a session of ever new figures; the texts in use
        // come back at the next rebuild.
        if (table().size() >= 4096)
            table().clear();
        table().insert(key, sizes);
    }

private:
    static QHash<QString, Sizes>& table()
    {
        static QHash<QString, Sizes> sizes;
        return sizes;
    }
};

// A result cell: a label whose plain one-line text is measured once for all
// the cells that show it, in this window and every other.
class TextCell : public QLabel
{
public:
    explicit TextCell(const QString& text) : QLabel(text) {}

    QSize sizeHint() const override { return sizes().hint; }
    QSize minimumSizeHint() const override { return sizes().minimum; }

private:
    // Only what the label lays out on one line without a frame, a picture or
    // markup; anything else is measured by the label itself, as always.
    bool plainLine() const
    {
        return !wordWrap() && frameWidth() == 0 && pixmap(Qt::ReturnByValue).isNull() &&
               (textFormat() == Qt::PlainText ||
                (textFormat() == Qt::AutoText && !Qt::mightBeRichText(text())));
    }
    TextCellSizes::Sizes sizes() const
    {
        ensurePolished();
        if (!plainLine())
            return {QLabel::sizeHint(), QLabel::minimumSizeHint()};
        const QString key = TextCellSizes::key(this);
        if (const TextCellSizes::Sizes* known = TextCellSizes::find(key))
            return *known;
        const TextCellSizes::Sizes measured{QLabel::sizeHint(), QLabel::minimumSizeHint()};
        TextCellSizes::insert(key, measured);
        return measured;
    }
};

// The narrowest width at which a column header stands on at most `lines`
// lines, kept like the cells' sizes: the headers of a table are the same texts
// on every rebuild.
int balancedCaptionWidth(const QLabel* label, const QString& text, int lines)
{
    static QHash<QString, int> widths;
    const QString key =
        TextCellSizes::key(label) + QLatin1Char('\x1f') + text + QLatin1Char('\x1f') + QString::number(lines);
    const auto it = widths.constFind(key);
    if (it != widths.constEnd())
        return it.value();
    if (widths.size() >= 1024)
        widths.clear();
    const int width = framework::balancedTextWidth(label->fontMetrics(), text, lines);
    widths.insert(key, width);
    return width;
}

// A header that breaks its line at its last space only, when the column is
// too narrow for the whole: the label's text stays what it says.
class DesignationLabel : public QLabel
{
public:
    explicit DesignationLabel(const QString& text) : QLabel(text) {}

    QSize minimumSizeHint() const override
    {
        const QStringList parts = lines(0);
        int widest = 0;
        for (const QString& line : parts)
            widest = qMax(widest, fontMetrics().horizontalAdvance(line));
        return QSize(widest + 2, fontMetrics().lineSpacing() * parts.size());
    }
    QSize sizeHint() const override
    {
        return QSize(fontMetrics().horizontalAdvance(text()) + 2, fontMetrics().lineSpacing());
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return fontMetrics().lineSpacing() * lines(width).size(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const QStringList parts = lines(width());
        const int line = fontMetrics().lineSpacing();
        const int top = (height() - line * parts.size()) / 2;
        for (int i = 0; i < parts.size(); ++i)
            painter.drawText(QRect(0, top + i * line, width(), line), Qt::AlignCenter, parts.at(i));
    }

private:
    // The whole text when it fits the width, otherwise its two parts.
    QStringList lines(int width) const
    {
        const QString whole = text();
        const int space = whole.lastIndexOf(QLatin1Char(' '));
        if (space < 0 || (width > 0 && fontMetrics().horizontalAdvance(whole) + 2 <= width))
            return {whole};
        return {whole.left(space), whole.mid(space + 1)};
    }
};

} // namespace

QLabel* ResultsArea::addDesignationHeader(QGridLayout* grid, const QString& designation)
{
    auto* label = new DesignationLabel(designation);
    QFont font = m_window->font();
    font.setBold(true);
    label->setFont(font);
    addResultWidget(label);
    const int row = firstFreeRow(grid);
    grid->addWidget(label, row, 0, 1, m_columns());
    grid->setRowMinimumHeight(row, 2 * QFontMetrics(font).height());
    return label;
}

ResultsArea::ResultsArea(QWidget* window, std::function<int()> columns)
    : m_window(window), m_columns(std::move(columns))
{
}

ResultsArea::~ResultsArea()
{
    // The pipe area is a plain object beside the window's widgets, not their
    // child; the grids and cells go with the window.
    delete m_pipeArea;
}

void ResultsArea::attach(QGridLayout* mainLayout, int column)
{
    m_mainLayout = mainLayout;
    m_column = column;
}

void ResultsArea::adoptGrid(QGridLayout* grid)
{
    m_resultGrids.append(grid);
}

void ResultsArea::addResultWidget(QWidget* widget)
{
    m_resultWidgets.append(widget);
}

void ResultsArea::releaseResultWidgets(int first)
{
    m_resultWidgets.erase(m_resultWidgets.begin() + first, m_resultWidgets.end());
}

QGridLayout* ResultsArea::createResultsGrid()
{
    if (m_beforeResults)
        m_beforeResults();
    auto* grid = new QGridLayout();
    grid->setContentsMargins(0, 0, 0, 0);
    // Its own spacing: the window's grid has none between its columns.
    grid->setHorizontalSpacing(qMax(6, m_window->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing)));
    addResultsHeader(grid, QStringLiteral("Результаты"));
    addChangeNotes(grid);
    return grid;
}

void ResultsArea::addChangeNotes(QGridLayout* grid)
{
    for (const QString& line : qAsConst(m_changeNotes)) {
        auto* note = new QLabel(framework::keepTogether(line));
        note->setTextFormat(Qt::PlainText);
        note->setAlignment(Qt::AlignCenter);
        setTextColour(note, QColor(0, 70, 160));
        wrapAt(note, note->text().toHtmlEscaped());
        note->setAccessibleDescription(QStringLiteral("изменено программой"));
        addResultWidget(note);
        grid->addWidget(note, firstFreeRow(grid), 0, 1, m_columns());
    }
    m_changeNotes.clear();
}

void ResultsArea::noteChange(const QString& line)
{
    if (!m_changeNotes.contains(line))
        m_changeNotes.append(line);
}

void ResultsArea::addFailure(QGridLayout* grid, const QString& message, const QStringList& emptyInputs)
{
    // The messages break their own lines; a long one wraps to the column
    // rather than widen the window, never parting a figure from its unit.
    QLabel* label = addResultsHeader(grid, framework::keepTogether(message), true, Qt::red);
    label->setTextFormat(Qt::RichText);
    wrapAt(label, label->text());

    // The calculation stops at the first empty input it meets; the user is
    // told every one still to fill in.
    if (!message.startsWith(Algorithm::emptyFieldsMessage()))
        return;
    if (emptyInputs.isEmpty())
        return;
    const QString list = QStringLiteral("Пустые поля: <i>") + emptyInputs.join(QStringLiteral("</i>, <i>")) +
                         QStringLiteral("</i>");
    auto* names = new QLabel(framework::keepTogether(list));
    names->setTextFormat(Qt::RichText);
    names->setAlignment(Qt::AlignCenter);
    setTextColour(names, Qt::darkRed);
    wrapAt(names, names->text());
    addResultWidget(names);
    grid->addWidget(names, firstFreeRow(grid), 0, 1, m_columns());
}

QLabel* ResultsArea::addResultsHeader(QGridLayout* grid, const QString& text, bool small,
                                      const QColor& colour)
{
    QLabel* label = sectionHeader(grid, m_window->font(), text, m_columns(), small, colour);
    addResultWidget(label);
    return label;
}

void ResultsArea::addResultValueRow(QGridLayout* grid, int column, const QString& caption,
                                    const QString& unit, double value, int decimals)
{
    addTextCell(grid, column, caption + QLatin1Char(':'), Qt::AlignLeft | Qt::AlignVCenter, true);
    addValueCell(grid, column + 1, common::displayNumber(value, decimals));
    addTextCell(grid, column + 2, unit, Qt::AlignCenter);
}

QWidget* ResultsArea::addValueCell(QGridLayout* grid, int column, const QString& text)
{
    auto* edit = new QLineEdit(text);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setMaximumWidth(150);
    // Never narrower than its figure, however narrow the window.
    const QMargins inner = edit->textMargins();
    edit->setMinimumWidth(qMin(150, edit->fontMetrics().horizontalAdvance(text) + inner.left() +
                                        inner.right() + edit->fontMetrics().averageCharWidth() +
                                        2 * kValueFrame));
    addResultWidget(edit);
    grid->addWidget(edit, cellRow(grid, column), column, Qt::AlignVCenter);
    return edit;
}

QLabel* ResultsArea::addTextCell(QGridLayout* grid, int column, const QString& text, Qt::Alignment alignment,
                                 bool bold, const QPalette* palette)
{
    auto* label = new TextCell(text);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    if (palette)
        label->setPalette(*palette);
    addResultWidget(label);
    grid->addWidget(label, cellRow(grid, column), column, alignment);
    return label;
}

QLabel* ResultsArea::addCaptionCell(QGridLayout* grid, int column, const QString& text)
{
    auto* label = new QLabel(framework::keepTogether(text));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(kCaptionSideMargin, 10, kCaptionSideMargin, 10);
    // A column header keeps the lines it breaks at one width at every window
    // size: the narrowest that needs no more than four of them. Wider, the
    // lines would break wherever the window's width happens to fall.
    const int lines = balancedCaptionWidth(label, label->text(), kCaptionLines);
    label->setFixedWidth(lines + 2 * kCaptionSideMargin + 2);
    addResultWidget(label);
    grid->addWidget(label, cellRow(grid, column), column, Qt::AlignHCenter);
    return label;
}

QLabel* ResultsArea::addBlankRow(QGridLayout* grid)
{
    auto* label = new TextCell(QStringLiteral(" "));
    addResultWidget(label);
    grid->addWidget(label, firstFreeRow(grid), 0, Qt::AlignCenter);
    return label;
}

QLabel* ResultsArea::addPictureCell(QGridLayout* grid, int column, const QPixmap& picture)
{
    auto* label = new QLabel();
    label->setPixmap(picture);
    addResultWidget(label);
    grid->addWidget(label, cellRow(grid, column), column, Qt::AlignCenter);
    return label;
}

QWidget* ResultsArea::addDocumentCell(QGridLayout* grid, int column, QTextDocument* document)
{
    auto* box = new QWidget();
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new QTextEdit();
    view->setReadOnly(true);
    view->setFrameShape(QFrame::NoFrame);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The view shows its own copy: the caller's document may go away first.
    QTextDocument* copy = document->clone(view);
    view->setDocument(copy);
    view->setFixedSize(copy->size().toSize() + QSize(2, 2));
    layout->addWidget(view);
    addResultWidget(box);
    grid->addWidget(box, cellRow(grid, column), column, Qt::AlignCenter);
    return box;
}

QLabel* ResultsArea::addNote(QGridLayout* grid, const QString& text, const QColor& colour)
{
    auto* label = new QLabel(framework::keepTogether(text));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignJustify | Qt::AlignVCenter);
    setTextColour(label, colour);
    QFont font = resizedFont(m_window->font(), -2);
    font.setItalic(colour == QColor(Qt::black));
    label->setFont(font);
    addResultWidget(label);

    auto* box = new QVBoxLayout();
    box->setContentsMargins(0, 10, 0, 0);
    box->addWidget(label);
    grid->addLayout(box, firstFreeRow(grid), 0, 1, qMax(1, grid->columnCount()));
    return label;
}

void ResultsArea::finishResultsGrid(QGridLayout* grid)
{
    grid->setColumnStretch(grid->columnCount(), 100);
    grid->setRowStretch(grid->rowCount(), 100);
    // Every widget of the results that appears would lay the whole window out
    // again, word-wrapped captions and all: the window is laid out once, when
    // all of them are there.
    m_mainLayout->setEnabled(false);
    m_mainLayout->addLayout(grid, m_resultGrids.size(), m_column);
    m_resultGrids.append(grid);

    // Widgets entering the layout of a visible window would appear only on the
    // next pass of the event loop; the results are complete when this returns.
    if (m_window->isVisible())
        showLayoutWidgets(grid);
    m_mainLayout->setEnabled(true);
    m_mainLayout->activate();
}

void ResultsArea::clearResults()
{
    qDeleteAll(m_resultGrids);
    m_resultGrids.clear();
    delete m_pipeArea;
    m_pipeArea = nullptr;
    qDeleteAll(m_resultWidgets);
    m_resultWidgets.clear();
}

void ResultsArea::setPipeArea(PipeSelectionArea* area)
{
    delete m_pipeArea;
    m_pipeArea = area;
}
