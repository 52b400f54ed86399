#include "framework/mdichild.h"

#include "engine/algorithm.h"
#include "engine/tolerance.h"
#include "framework/backgroundcache.h"
#include "framework/layoutkit.h"
#include "framework/pipeselectionarea.h"
#include "framework/radioarea.h"
#include "gentools/errorhandle.h"
#include "guitools/filedialogs.h"
#include "guitools/smallclasses.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QTextEdit>

using namespace common;

namespace {

// Restores the cursor however a save ends.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY(WaitCursor)
};

// Another document window of the same main window that shows the file.
const MdiChild* otherWindowOf(const MdiChild* self, const QString& fileName)
{
    const QString canonical = QFileInfo(fileName).canonicalFilePath();
    if (canonical.isEmpty())
        return nullptr;
    for (const MdiChild* other : self->window()->findChildren<MdiChild*>())
        if (other != self && other->doc().canonicalFileName() == canonical)
            return other;
    return nullptr;
}

// Connects (on) or disconnects a control's change signal to the window's onModified().
template <class Sender, class Signal>
void wire(Sender* sender, Signal signal, MdiChild* window, bool on)
{
    if (!sender)
        return;
    if (on)
        QObject::connect(sender, signal, window, &MdiChild::onModified, Qt::UniqueConnection);
    else
        QObject::disconnect(sender, signal, window, &MdiChild::onModified);
}

// A picture of one pixel: what the controls of a document window see as the
// window's colour. They draw their frames as over a picture (a line of
// translucent black, not a darker shade of the colour) and paint none of it;
// the picture itself each window paints at its own size.
const QPixmap& windowTexture()
{
    static const QPixmap tile = [] {
        QPixmap pixel(1, 1);
        pixel.fill(Qt::white);
        return pixel;
    }();
    return tile;
}

// Every document window and every control in it has one and the same palette:
// the application's, with the window colour the picture (white without one).
// One matters: the style keeps what it has drawn (frames, buttons, arrows) by
// palette, so a palette of each window's own would leave a closed window's
// drawings behind in that store and draw every new window's anew.
void shareDocumentPalette()
{
    const QBrush window = BackgroundCache::hasPicture() ? QBrush(windowTexture()) : QBrush(Qt::white);
    const char* const windows = MdiChild::staticMetaObject.className();
    if (QApplication::palette(windows).brush(QPalette::Window) == window)
        return;
    QPalette shared = QApplication::palette();
    shared.setBrush(QPalette::All, QPalette::Window, window);
    QApplication::setPalette(shared, windows);
}

} // namespace

// ---------------------------------------------------------------------------
// Construction and layout

MdiChild::MdiChild(const Doc* data, DocType type)
    : QWidget(nullptr), m_results(this, [this] { return resultColumnCount(); })
{
    setAttribute(Qt::WA_DeleteOnClose);

    if (data) {
        m_doc = *data;
        // A window always shows a name: a document without a file gets a default one.
        if (!m_doc.hasFileName())
            m_doc.createDefaultName();
    } else {
        m_doc.init(type);
        m_doc.createDefaultName();
    }

    shareDocumentPalette();
    // The window paints its picture itself, every pixel of it: nothing to
    // fill beforehand.
    setAttribute(Qt::WA_OpaquePaintEvent);

    auto* rejectedMode = new QAction(this);
    rejectedMode->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+V")));
    connect(rejectedMode, &QAction::triggered, this, &MdiChild::onChangeWithRejectedMode);
    addAction(rejectedMode);
}

MdiChild::~MdiChild() = default;

QString MdiChild::fileFilter()
{
    return QStringLiteral("%1 (*.%2)").arg(QCoreApplication::applicationName(), QStringLiteral("orx"));
}

void MdiChild::setupLayout()
{
    m_mainLayout = new QGridLayout(this);
    // A little inside the style's margins: on a laptop's screen every pixel of
    // the width goes to the two columns.
    m_mainLayout->setContentsMargins(6, 6, 6, 6);
    QLayout* input = createInputArea();
    m_inputLayout = qobject_cast<QGridLayout*>(input);
    m_mainLayout->addLayout(input, 0, 0);
    // The input column is as wide as its rows ask (fixInputColumn): the width
    // of the window beyond it goes to the results, centred in their column.
    m_mainLayout->addWidget(createVerticalSeparator(), 0, 2);
    // The gaps beside the separator are columns of their own: a section across
    // the window below both columns (the dimensions of a selection) would
    // otherwise make every column between count a gap of the style's.
    m_mainLayout->setHorizontalSpacing(0);
    const int gap = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    // The columns' own grids keep the style's spacing, which they would
    // otherwise take from the window's grid.
    if (m_inputLayout)
        m_inputLayout->setSpacing(qMax(gap, 6));
    m_mainLayout->setColumnMinimumWidth(1, qMax(gap, 6));
    m_mainLayout->setColumnMinimumWidth(3, qMax(gap, 6));
    m_mainLayout->setColumnStretch(3, 50);
    QLayout* results = createResultsArea();
    m_mainLayout->addLayout(results, 0, 4);
    m_mainLayout->setColumnStretch(5, 50);
    m_results.attach(m_mainLayout, 4);
    if (auto* grid = qobject_cast<QGridLayout*>(results))
        m_results.adoptGrid(grid);
}

// ---------------------------------------------------------------------------
// Defaults of the virtual operations

void MdiChild::connectControls(bool on)
{
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        QWidget* w = it.value();
        switch (Doc::type(it.key().fieldCode)) {
        case fkDouble:
            wire(qobject_cast<QDoubleSpinBox*>(w), QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                 on);
            break;
        case fkText:
            wire(qobject_cast<QTextEdit*>(w), &QTextEdit::textChanged, this, on);
            break;
        case fkCombo:
            wire(qobject_cast<QComboBox*>(w), QOverload<int>::of(&QComboBox::currentIndexChanged), this, on);
            break;
        case fkRadio:
            if (auto* radio = qobject_cast<RadioArea*>(w))
                wire(radio->group(), &QButtonGroup::idToggled, this, on);
            break;
        case fkCheck:
            wire(qobject_cast<QCheckBox*>(w), &QCheckBox::stateChanged, this, on);
            break;
        default:
            GEH_ASSERT(0);
        }
    }
}

MdiChild::SignalsPaused::SignalsPaused(MdiChild* window) : m_window(window)
{
    if (m_window->m_signalsPaused++ == 0)
        m_window->connectControls(false);
}

MdiChild::SignalsPaused::~SignalsPaused()
{
    if (--m_window->m_signalsPaused == 0)
        m_window->connectControls(true);
}

QLayout* MdiChild::createResultsArea()
{
    QGridLayout* grid = m_results.createResultsGrid();
    grid->setRowStretch(nextRow(grid), 100);
    return grid;
}

int MdiChild::stdDn() const
{
    return 0;
}

Algorithm* MdiChild::algorithm()
{
    GEH_ASSERT(0);
    return nullptr;
}

QString MdiChild::copyText() const
{
    return QString();
}

// ---------------------------------------------------------------------------
// Registry

void MdiChild::putControl(const DocKey& key, QWidget* widget)
{
    GEH_ASSERT(!m_controls.contains(key));
    m_controls.insert(key, widget);
}

void MdiChild::putLabel(const DocKey& key, QLabel* label)
{
    GEH_ASSERT(!m_labels.contains(key));
    m_labels.insert(key, label);
}

void MdiChild::putSubLabel(const DocKey& key, QLabel* label)
{
    GEH_ASSERT(!m_subLabels.contains(key));
    m_subLabels.insert(key, label);
}

void MdiChild::reportMissing(const DocKey& key, const char* typeName) const
{
    geh::ErrorHandler::instance()->setError(
        GEH_LOCATION, QStringLiteral("Не найден элемент типа ") + QString::fromLatin1(typeName) +
                          QStringLiteral(" для значения = ") + QString::number(key.fieldCode));
    geh::ErrorHandler::instance()->showLastError();
}

int MdiChild::intComboValue(const DocKey& key, int fallback) const
{
    GEH_ASSERT(Doc::isCombo(key.fieldCode));
    auto* combo = ctrl<QComboBox>(key);
    if (!combo || combo->currentIndex() < 0)
        return fallback;
    return combo->currentData().toInt();
}

int MdiChild::intValue(const DocKey& key) const
{
    switch (Doc::type(key.fieldCode)) {
    case fkCombo:
        return intComboValue(key, -1);
    case fkRadio:
        if (auto* radio = ctrl<RadioArea>(key))
            return radio->checkedId();
        return -1;
    case fkCheck:
        if (auto* check = ctrl<QCheckBox>(key))
            return check->checkState() == Qt::Checked ? 1 : 0;
        return 0;
    default:
        GEH_ASSERT(0);
        return 0;
    }
}

double MdiChild::doubleValue(const DocKey& key) const
{
    auto* spin = ctrl<QDoubleSpinBox>(key);
    return spin ? spin->value() : 0;
}

QStringList MdiChild::emptyInputs() const
{
    // Rows of the input grid, top to bottom: a row whose number and unit are
    // both missing is named once.
    QMap<int, QString> empty;
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        QWidget* w = it.value();
        // A hidden row is not the task's, a disabled one is not the user's to fill.
        if (!w->isVisibleTo(this) || !w->isEnabled())
            continue;
        bool missing = false;
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(w))
            missing = zeroIsEmpty(it.key()) && tolerance::isZero(spin->value());
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            missing = combo->currentIndex() < 0;
        const int row = missing ? inputRow(w) : -1;
        if (row < 0)
            continue;
        const QString symbol = rowSymbol(row);
        if (!symbol.isEmpty())
            empty.insert(row, symbol);
    }
    return empty.values();
}

int MdiChild::inputRow(QWidget* control, int* column) const
{
    const int index = m_inputLayout && control ? m_inputLayout->indexOf(control) : -1;
    if (index < 0)
        return -1;
    int row = 0, atColumn = 0, rowSpan = 0, columnSpan = 0;
    m_inputLayout->getItemPosition(index, &row, &atColumn, &rowSpan, &columnSpan);
    if (column)
        *column = atColumn;
    return row;
}

bool MdiChild::zeroIsEmpty(const DocKey& key) const
{
    return zeroMeansEmpty(key.fieldCode);
}

QStringList MdiChild::outOfRangeInputs() const
{
    QMap<int, QString> lines;
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        auto* spin = qobject_cast<QSmartDoubleSpinBox*>(it.value());
        if (!spin || !spin->isVisibleTo(this) || !spin->isEnabled() || spin->isValueAllowed())
            continue;
        const int row = inputRow(spin);
        if (row < 0)
            continue;
        const QString unit = unitBeside(it.key());
        const QString withUnit = unit.isEmpty() ? QString() : QStringLiteral("\u00A0") + unit;
        lines.insert(row, QStringLiteral("<i>%1</i> = %2%3: допустимо %4")
                              .arg(rowSymbol(row), spin->text(), withUnit, spin->allowedRangeText(unit)));
    }
    return lines.values();
}

bool MdiChild::refuseOutOfRange(QGridLayout* grid)
{
    const QStringList lines = outOfRangeInputs();
    if (lines.isEmpty())
        return false;
    results().addFailure(grid, Algorithm::invalidInputsMessage() + lines.join(QStringLiteral("<br>")), {});
    return true;
}

QString MdiChild::rowSymbol(int row) const
{
    QLayoutItem* item = m_inputLayout->itemAtPosition(row, 0);
    auto* caption = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    const framework::Caption parts =
        framework::splitCaption(m_captions.value(m_labels.key(caption, DocKey(-1))));
    return parts.symbol.isEmpty() ? parts.name : parts.symbol;
}

void MdiChild::addCodeItem(QComboBox* combo, const QString& text, int code)
{
    combo->addItem(QStringLiteral("%1 - %2").arg(QString::number(code), text), code);
}

// ---------------------------------------------------------------------------
// Slots

void MdiChild::onModified()
{
    const geh::UserActionScope action;
    // The field the user changed is theirs: only the others' changes are told.
    m_userChange = keyOfSender(sender());
    recalc();
    m_modified = true;
    updateTitle();
}

QPushButton* MdiChild::createCopyButton(const QString& toolTip)
{
    auto* button = new QPushButton();
    button->setFlat(true);
    button->setIcon(QIcon(QStringLiteral(":icons/copy.png")));
    button->setIconSize(QSize(64, 64));
    button->setToolTip(toolTip);
    m_results.addResultWidget(button);
    connect(button, &QPushButton::clicked, this, &MdiChild::copyName);
    return button;
}

void MdiChild::copyName()
{
    QGuiApplication::clipboard()->setText(copyText());
}

void MdiChild::onChangeWithRejectedMode()
{
    const geh::UserActionScope action;
    m_rejectedMode = !m_rejectedMode;
    recalc();
}

void MdiChild::setStdDn()
{
    if (PipeSelectionArea* area = m_results.pipeArea())
        area->setDn(stdDn());
}

// ---------------------------------------------------------------------------
// Title, saving and closing

void MdiChild::updateTitle()
{
    emit titleChanged(m_doc.name() + (m_modified ? QStringLiteral(" *") : QString()));
}

bool MdiChild::maybeSave()
{
    return !m_modified || askToSave();
}

bool MdiChild::askToSave()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Закрытие документа"),
                    QStringLiteral("Сохранить изменения в '%1'?").arg(m_doc.name()), QMessageBox::NoButton,
                    this);
    QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(QStringLiteral("Нет"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == yes)
        return save();
    return box.clickedButton() == no;
}

void MdiChild::closeEvent(QCloseEvent* event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

bool MdiChild::save()
{
    return m_doc.hasFileName() ? saveToFile(m_doc.canonicalFileName()) : saveAs();
}

bool MdiChild::saveAs()
{
    const QString start = m_doc.hasFileName() ? m_doc.canonicalFileName() : Doc::directory() + m_doc.name();

    geh::traceMark(GEH_LOCATION, "getSaveFileName - A");
    // The dialog adds the document extension to a name typed without one.
    const QString fileName =
        chooseFileToSave(this, QStringLiteral("Сохранить как"), start, fileFilter(), QStringLiteral("orx"));
    geh::traceMark(GEH_LOCATION, "getSaveFileName - B");
    if (fileName.isEmpty())
        return false;

    geh::traceMark(GEH_LOCATION, "getSaveFileName - C");
    Doc::setDirectory(fileName);
    // A file stays one document in one tab: saved over, the other tab would
    // show what the file no longer holds, and its next save would silently
    // put its own document back over this one.
    if (otherWindowOf(this, fileName)) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Предупреждение"),
                        QStringLiteral("Файл «%1» открыт в другой вкладке. Закройте её или выберите другое "
                                       "имя файла.")
                            .arg(QFileInfo(fileName).fileName()),
                        QMessageBox::Ok, this);
        box.exec();
        return false;
    }
    geh::traceMark(GEH_LOCATION, "getSaveFileName - D");
    return saveToFile(fileName);
}

Doc MdiChild::currentDoc()
{
    Doc current;
    loadFromControls(current);
    return current;
}

void MdiChild::markUnmodified()
{
    m_modified = false;
    updateTitle();
}

bool MdiChild::saveToFile(const QString& fileName)
{
    const WaitCursor wait;
    geh::traceMark(GEH_LOCATION, "getSaveFileName - E");
    // The window's document changes only once the file is written: a failed
    // save keeps its name, its file and its modified state.
    Doc written;
    loadFromControls(written);
    geh::traceMark(GEH_LOCATION, "getSaveFileName - F");
    if (!written.save(fileName))
        return false;
    m_doc = written;
    geh::traceMark(GEH_LOCATION, "getSaveFileName - G");
    m_modified = false;
    updateTitle();
    geh::traceMark(GEH_LOCATION, "getSaveFileName - SUCCESS");
    return true;
}

// ---------------------------------------------------------------------------
// Events

void MdiChild::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A palette given to the whole application anew (with a new style) drops
    // the palettes of classes.
    shareDocumentPalette();
    if (!m_shown) {
        m_shown = true;
        ensureCalculated();
        fixInputColumn();
    }
}

void MdiChild::ensureCalculated()
{
    if (m_calculated)
        return;
    // The first calculation of the window is the last step of opening it.
    const geh::UserActionScope action;
    m_calculated = true;
    recalc();
}

void MdiChild::fixInputColumn()
{
    // What its rows need, not what they would like: a text box would take the
    // width of a whole line of a letter.
    if (m_inputLayout)
        m_mainLayout->setColumnMinimumWidth(0, m_inputLayout->minimumSize().width());
}

void MdiChild::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The picture of the old size stays at hand: a form that grows and shrinks
    // with its options comes back to it.
    if (!m_background.isNull() && size() != m_backgroundSize) {
        BackgroundCache::keepAsSpare(m_background);
        m_background = QPixmap();
    }
}

// A window out of sight (the page of another tab) lets go of its picture: a
// picture is megabytes, and a form of another kind has another height. The
// cache still has it for the tab shown next, should that one be of this size.
void MdiChild::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_background = QPixmap();
}

// The picture from the window's top-left corner, whichever part of the window
// is painted.
void MdiChild::paintEvent(QPaintEvent* event)
{
    updateBackground();
    QPainter painter(this);
    const QRect dirty = event->rect();
    if (m_background.isNull())
        painter.fillRect(dirty, Qt::white);
    else
        painter.drawTiledPixmap(dirty, m_background, dirty.topLeft());
}

// The picture follows the window's size and is taken when the window is
// painted: the sizes a new window passes through while it is laid out are
// never seen, so none is made for them.
void MdiChild::updateBackground()
{
    const qreal ratio = devicePixelRatioF();
    if (!m_background.isNull() && size() == m_backgroundSize && qFuzzyCompare(ratio, m_backgroundRatio))
        return;
    const QPixmap background = BackgroundCache::pixmap(size(), ratio);
    if (background.isNull())
        return;
    m_background = background;
    m_backgroundSize = size();
    m_backgroundRatio = ratio;
}
