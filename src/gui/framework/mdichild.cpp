#include "framework/mdichild.h"

#include "engine/algorithm.h"
#include "engine/inputparams.h"
#include "engine/substanceproperties.h"
#include "engine/tolerance.h"
#include "framework/backgroundcache.h"
#include "framework/pipeselectionarea.h"
#include "framework/radioarea.h"
#include "framework/unusablevalues.h"
#include "gentools/errorhandle.h"
#include "guitools/filedialogs.h"
#include "guitools/smallclasses.h"
#include "reports/devicesizetablegenerator.h"
#include "vocabulary/symbols.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cmath>

using namespace common;

namespace {

const QChar kSuperscriptOne(0x00B9);
const QChar kBullet(0x2022);

// The number fields whose values are usually small: the arrows step by 0.1.
bool hasFineStep(qint16 code)
{
    static const QVector<qint16> fine{102, 103, 106, 1020, 1021, 1031, 1032, 1035, 1036, 1037, 10371};
    return fine.contains(code);
}

// The number fields a calculation needs, where 0 is no value at all: the
// pressures and drops of the task, the temperatures, the heat load and the flow.
bool zeroMeansEmpty(qint16 code)
{
    static const QVector<qint16> required{102, 103, 105, 106, 107, 108, 1020, 1021, 1032, 1035, 1036};
    return required.contains(code);
}

bool isGlycolSolution(int medium)
{
    return medium == stPropyleneGlycol || medium == stEthyleneGlycol;
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    if (!colour.isValid())
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// The window's font, larger or smaller by `delta` points.
QFont resizedFont(const QFont& base, int delta)
{
    QFont font = base;
    if (base.pointSizeF() > 0)
        font.setPointSizeF(base.pointSizeF() + delta);
    else
        font.setPixelSize(base.pixelSize() + delta);
    return font;
}

// A word-wrapped label as wide as its longest line, up to about fifty
// characters: short texts keep their lines, long ones wrap there.
void wrapAt(QLabel* label, const QString& richText)
{
    label->setWordWrap(true);
    QTextDocument lines;
    lines.setDefaultFont(label->font());
    lines.setDocumentMargin(0);
    lines.setHtml(richText);
    const int widest = int(std::ceil(lines.idealWidth())) + 2;
    label->setMinimumWidth(qMin(widest, label->fontMetrics().averageCharWidth() * 50));
}

// Restores the cursor however a save ends.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY(WaitCursor)
};

// The first row of a grid with nothing in it (an empty grid still counts one row).
int firstFreeRow(QGridLayout* grid)
{
    return grid->count() == 0 ? 0 : grid->rowCount();
}

// A cell builder given column 0 opens a new row; any other column fills the last one.
int cellRow(QGridLayout* grid, int column)
{
    return column == 0 ? firstFreeRow(grid) : qMax(0, grid->rowCount() - 1);
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

// Shows at once what a layout holds, as the layout itself would on the next
// pass of the event loop; widgets hidden on purpose stay hidden.
void showLayoutWidgets(QLayout* layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QWidget* w = item->widget()) {
            if (!(w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide)))
                w->show();
        } else if (QLayout* inner = item->layout()) {
            showLayoutWidgets(inner);
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Construction and layout

MdiChild::MdiChild(const Doc* data, DocType type) : QWidget(nullptr)
{
    setAttribute(Qt::WA_DeleteOnClose);

    if (data) {
        GEH_ASSERT(data->hasFileName());
        m_doc = *data;
        // A window always shows a name: a document without a file gets a default one.
        if (!m_doc.hasFileName())
            m_doc.createDefaultName();
    } else {
        m_doc.init(type);
        m_doc.createDefaultName();
    }

    QPalette white = palette();
    white.setColor(QPalette::All, QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    auto* rejectedMode = new QAction(this);
    rejectedMode->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+V")));
    connect(rejectedMode, &QAction::triggered, this, &MdiChild::onChangeWithRejectedMode);
    addAction(rejectedMode);
}

MdiChild::~MdiChild()
{
    // The pipe area is a plain object beside the form's widgets, not their child.
    delete m_pipeArea;
}

QString MdiChild::fileFilter()
{
    return QStringLiteral("%1 (*.%2)").arg(QCoreApplication::applicationName(), QStringLiteral("orx"));
}

void MdiChild::setupLayout()
{
    m_mainLayout = new QGridLayout(this);
    QLayout* input = createInputArea();
    m_inputLayout = qobject_cast<QGridLayout*>(input);
    m_mainLayout->addLayout(input, 0, 0);
    // The input column is as wide as its rows ask (fixInputColumn): the width
    // of the window beyond it goes to the results, centred in their column.
    m_mainLayout->addWidget(createVerticalSeparator(), 0, 2);
    m_mainLayout->setColumnStretch(3, 50);
    QLayout* results = createResultsArea();
    m_mainLayout->addLayout(results, 0, 4);
    m_mainLayout->setColumnStretch(5, 50);
    // The results shown before the first calculation give way to the first
    // results built, like any other results grid.
    if (auto* grid = qobject_cast<QGridLayout*>(results))
        m_resultGrids.append(grid);
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

bool MdiChild::hasSupplyTemperature() const
{
    return true;
}

bool MdiChild::hasReturnTemperature() const
{
    return true;
}

QLayout* MdiChild::createResultsArea()
{
    QGridLayout* grid = createResultsGrid();
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

bool MdiChild::usePhaseLimits() const
{
    return false;
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
            missing = zeroMeansEmpty(it.key().fieldCode) && tolerance::isZero(spin->value());
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            missing = combo->currentIndex() < 0;
        const int index = m_inputLayout && missing ? m_inputLayout->indexOf(w) : -1;
        if (index < 0)
            continue;
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        m_inputLayout->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        const QString symbol = rowSymbol(row);
        if (!symbol.isEmpty())
            empty.insert(row, symbol);
    }
    return empty.values();
}

QString MdiChild::rowSymbol(int row) const
{
    QLayoutItem* item = m_inputLayout->itemAtPosition(row, 0);
    auto* caption = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    const QString text = m_captions.value(m_labels.key(caption, DocKey(-1)));
    const int bar = text.indexOf(QLatin1Char('|'));
    return bar < 0 ? text : text.mid(bar + 1);
}

void MdiChild::addCodeItem(QComboBox* combo, const QString& text, int code)
{
    combo->addItem(QStringLiteral("%1 - %2").arg(QString::number(code), text), code);
}

// ---------------------------------------------------------------------------
// Standard contents and document transfer

void MdiChild::fillControls(const QMap<qint16, ComboItems>& formItems)
{
    const bool regulator = isRegulator(deviceType());

    QMap<qint16, ComboItems> items;
    QVector<int> loops{lpHeating};
    if (regulator)
        loops << lpHeatingHotWater << lpAll << lpHeatingVentilation;
    loops << lpHotWater;
    if (regulator)
        loops << lpHotWaterVentilation;
    loops << lpVentilation << lpProcess;
    for (int v : loops)
        items[fcSystem].append({loopName(Loop(v)), v});
    for (int v : {stWater, stPropyleneGlycol, stEthyleneGlycol, stSaturatedSteam, stSuperheatedSteam, stAir,
                  stNitrogen})
        items[fcMedium].append({substanceName(SubstanceType(v)), v});
    for (int v : {rtDiffPressure, rtUpstream, rtDownstream})
        items[fcRegulatorFunction].append({regulatorTypeFunctionalName(RegulatorType(v)), v});
    for (int v : {ipSupply, ipReturn})
        items[fcInstallPlace].append({installPlaceName(InstallPlace(v)), v});
    for (int v : {pmBar, pmAtm, pmMPa, pmKPa, pmMWater})
        items[fcPressureUnit].append({pressureMeasureName(PressureMeasure(v)), v});
    for (int v : {hmGcalH, hmMWH, hmGJH})
        items[fcHeatUnit].append({heatMeasureName(HeatMeasure(v)), v});
    // The flow units in their liquid form; updateFlowUnits() adapts them to the medium.
    for (int v : {wfM3h, wfTh, wfKgh, wfKgs, wfLh, wfLmin, wfLs})
        items[fcFlowUnit].append({wfMeasureName(WfMeasure(v), true), v});
    for (auto it = formItems.cbegin(); it != formItems.cend(); ++it)
        items[it.key()] = it.value();

    // The standard lists are offered to whichever of these controls the form has.
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        if (auto* combo = findCtrl<QComboBox>(it.key()))
            for (const auto& item : it.value())
                combo->addItem(item.first, item.second);
    }
    if (auto* concentration = findCtrl<QDoubleSpinBox>(fcConcentration)) {
        concentration->setDecimals(0);
        concentration->setMaximum(60);
    }
    for (qint16 code : {fcSupplyTemperature, fcReturnTemperature})
        if (auto* temperature = findCtrl<QDoubleSpinBox>(code))
            temperature->setMaximum(220);
}

void MdiChild::updateFlowUnits()
{
    auto* combo = ctrl<QComboBox>(fcFlowUnit);
    if (!combo)
        return;
    const SubstanceProperties medium(intComboValue(fcMedium, -1));
    const bool liquid = medium.isLiquid();

    // A user who changes the medium gets the first unit it takes in place of
    // one it does not take. A document opened with a unit its medium does not
    // take shows no unit: the user is asked for one.
    const int mediumCode = intComboValue(fcMedium, -1);
    const bool mediumChanged = m_flowUnitsMedium != -2 && m_flowUnitsMedium != mediumCode;
    m_flowUnitsMedium = mediumCode;
    bool currentRemoved = false;
    const auto removeUnit = [combo, &currentRemoved](int unit) {
        const int index = combo->findData(unit);
        if (index < 0)
            return;
        const bool wasCurrent = combo->currentIndex() == index;
        combo->removeItem(index);
        if (wasCurrent) {
            combo->setCurrentIndex(-1);
            currentRemoved = true;
        }
    };

    // Volumes of steam are not offered at all; gases are measured in normal cubic metres.
    if (!medium.isSteam()) {
        const int index = combo->findData(wfM3h);
        if (index < 0)
            combo->insertItem(0, wfMeasureName(wfM3h, liquid), wfM3h);
        else
            combo->setItemText(index, wfMeasureName(wfM3h, liquid));
    } else {
        removeUnit(wfM3h);
    }

    for (int unit : {wfKgs, wfLh, wfLmin, wfLs}) {
        if (liquid) {
            if (combo->findData(unit) < 0)
                combo->addItem(wfMeasureName(WfMeasure(unit), true), unit);
        } else {
            removeUnit(unit);
        }
    }
    if (currentRemoved && mediumChanged)
        combo->setCurrentIndex(0);
}

void MdiChild::fillCommonInputs(InputParams& input) const
{
    auto* objectName = ctrl<QSmartTextEdit>(fcObjectName);
    input.objectName = objectName ? objectName->toPlainText() : QString();
    input.system = intComboValue(fcSystem, -1);
    input.substance = intComboValue(fcMedium, -1);
    input.concentration = std::round(doubleValue(fcConcentration));
    input.place = intComboValue(fcInstallPlace, 0);
    input.pressureType = intValue(fcPressureKind);
    input.pressureMeasure = intComboValue(fcPressureUnit, -1);
    input.Tsupply = hasSupplyTemperature() ? doubleValue(fcSupplyTemperature) : NAN;
    input.Treturn = hasReturnTemperature() ? doubleValue(fcReturnTemperature) : NAN;
    input.heatMeasure = intComboValue(fcHeatUnit, 0);
    input.flowInputMode = intValue(fcFlowMode);
    input.flowMeasure = intComboValue(fcFlowUnit, 0);
    input.heatLoad = doubleValue(fcHeatLoad);
    input.flow = doubleValue(fcFlow);
}

void MdiChild::applyToControls()
{
    // A new document keeps the form's defaults.
    if (m_doc.isEmpty())
        return;
    const geh::UserActionScope action;
    // A document from elsewhere may hold what no control of this form can
    // show: such a field opens as not filled in, so that nothing is computed
    // from a stand-in value, and the user hears of all of them at once.
    const Doc stored = m_doc;
    QMap<DocKey, Doc::FieldRepair> repaired;
    for (const Doc::RepairedField& field : m_doc.repairFields())
        repaired.insert(field.key, field.what);
    UnusableValues unusable;
    const auto detail = [&stored](const DocKey& key, const QString& done) {
        return QStringLiteral("поле %1, индекс %2: %3 %4 %5")
            .arg(key.fieldCode)
            .arg(key.index)
            .arg(UnusableValues::rawValueText(stored.value(key)), QChar(0x2192), done);
    };

    {
        const SignalsPaused paused(this);
        for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
            const DocKey& key = it.key();
            QWidget* w = it.value();
            const FieldKind kind = Doc::type(key.fieldCode);
            const QVariant v = m_doc.value(key);
            const bool cut = repaired.value(key) == Doc::frCut;
            if (!repaired.contains(key) || cut) {
                if (fitsControl(w, kind, v)) {
                    setControlValue(w, kind, v);
                    if (cut)
                        unusable.addShown(fieldName(key),
                                          QStringLiteral("сокращено до %1 знаков").arg(Doc::maxTextLength),
                                          detail(key, QStringLiteral("сокращено")));
                    continue;
                }
            }
            // A row this form never shows keeps the form's own value: the user
            // could not fill it in, and the task must not wait for it.
            if (!w->isVisibleTo(this)) {
                unusable.addUnshown(detail(key, QStringLiteral("скрытое поле, оставлено значение формы")));
                continue;
            }
            const QString done = clearControl(w, kind);
            unusable.addShown(fieldName(key), done, detail(key, done));
        }
    }
    // Fields no control of this form holds are dropped on save; the log keeps
    // what was wrong with them.
    for (auto it = repaired.cbegin(); it != repaired.cend(); ++it)
        if (!m_controls.contains(it.key()))
            unusable.addUnshown(detail(it.key(), QStringLiteral("поле не этой формы")));
    unusable.report(m_doc.name());
}

bool MdiChild::fitsControl(QWidget* control, FieldKind kind, const QVariant& value)
{
    if (value.isNull())
        return true;
    switch (kind) {
    case fkDouble:
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(control)) {
            const double number = value.toDouble();
            return std::isfinite(number) && number >= spin->minimum() && number <= spin->maximum();
        }
        return true;
    case fkCombo:
        if (auto* combo = qobject_cast<QComboBox*>(control))
            return combo->findData(value) >= 0;
        return true;
    case fkRadio:
        if (auto* radio = qobject_cast<RadioArea*>(control))
            return radio->button(value.toInt()) != nullptr;
        return true;
    default:
        return true;
    }
}

void MdiChild::setControlValue(QWidget* control, FieldKind kind, const QVariant& value)
{
    switch (kind) {
    case fkDouble:
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(control))
            spin->setValue(value.toDouble());
        break;
    case fkText:
        if (auto* text = qobject_cast<QSmartTextEdit*>(control))
            text->setPlainText(value.toString());
        break;
    case fkCombo:
        if (auto* combo = qobject_cast<QComboBox*>(control))
            combo->setCurrentIndex(value.isNull() ? -1 : combo->findData(value));
        break;
    case fkRadio:
        // A field missing from the file leaves the form's own choice.
        if (auto* radio = qobject_cast<RadioArea*>(control); radio && !value.isNull())
            radio->setCheckedId(value.toInt());
        break;
    case fkCheck:
        if (auto* check = qobject_cast<QCheckBox*>(control))
            check->setChecked(value.toBool());
        break;
    default:
        break;
    }
}

QString MdiChild::clearControl(QWidget* control, FieldKind kind)
{
    const QString notFilled = QStringLiteral("не заполнено");
    switch (kind) {
    case fkDouble:
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(control))
            spin->setValue(spin->minimum());
        break;
    case fkText:
        if (auto* text = qobject_cast<QSmartTextEdit*>(control))
            text->clear();
        break;
    case fkCombo:
        if (auto* combo = qobject_cast<QComboBox*>(control))
            combo->setCurrentIndex(-1);
        break;
    case fkRadio:
        // A radio group always has a choice: the first one stands for "not said".
        if (auto* radio = qobject_cast<RadioArea*>(control)) {
            if (QAbstractButton* first = radio->group()->buttons().value(0)) {
                first->setChecked(true);
                return QStringLiteral("выбрано «%1»").arg(first->text());
            }
        }
        break;
    case fkCheck:
        if (auto* check = qobject_cast<QCheckBox*>(control)) {
            check->setChecked(false);
            return QStringLiteral("не отмечено");
        }
        break;
    default:
        break;
    }
    return notFilled;
}

QString MdiChild::fieldName(const DocKey& key) const
{
    const QString caption = m_captions.value(key);
    const int bar = caption.indexOf(QLatin1Char('|'));
    if (bar >= 0)
        return QStringLiteral("%1 (%2)").arg(caption.left(bar), caption.mid(bar + 1));
    if (!caption.isEmpty())
        return caption;
    // The controls that sit beside another row's caption, or head their own section.
    static const QMap<qint16, const char*> own{
        {fcPressureUnit, "Единица давления"},   {fcPressureKind, "Давление (избыточное или абсолютное)"},
        {fcFlowMode, "Способ задания расхода"}, {fcHeatUnit, "Единица тепловой нагрузки"},
        {fcFlowUnit, "Единица расхода"},        {fcObjectName, "Наименование объекта"},
    };
    if (const char* name = own.value(key.fieldCode))
        return QString::fromUtf8(name);
    return QStringLiteral("Поле %1").arg(key.fieldCode);
}

void MdiChild::loadFromControls(Doc& target)
{
    target.init(docType());
    target.setValue(DocKey(Doc::fcDeviceType, 0), int(deviceType()));
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it) {
        QWidget* w = it.value();
        QVariant v;
        switch (Doc::type(it.key().fieldCode)) {
        case fkDouble:
            if (auto* spin = qobject_cast<QDoubleSpinBox*>(w))
                v = spin->value();
            break;
        case fkText:
            if (auto* text = qobject_cast<QSmartTextEdit*>(w))
                v = text->toPlainText();
            break;
        case fkCombo:
            // No current item is stored as a null value.
            if (auto* combo = qobject_cast<QComboBox*>(w))
                v = combo->currentData();
            break;
        case fkRadio:
            if (auto* radio = qobject_cast<RadioArea*>(w))
                v = radio->checkedId();
            break;
        case fkCheck:
            if (auto* check = qobject_cast<QCheckBox*>(w))
                v = check->checkState() == Qt::Checked;
            break;
        default:
            GEH_ASSERT(0);
            continue;
        }
        target.setValue(it.key(), v);
    }
}

// ---------------------------------------------------------------------------
// Input-area row builders

int MdiChild::nextRow(QGridLayout* grid)
{
    return firstFreeRow(grid);
}

void MdiChild::fitCaptionColumn(QGridLayout* grid, int minimum)
{
    // Captions longer than this wrap anyway and leave the column to the others:
    // the inputs never drift far from their captions.
    const int maximum = minimum + 165;
    int widest = 0;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QLayoutItem* item = grid->itemAtPosition(row, 0);
        auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
        if (!label || !label->wordWrap())
            continue;
        QTextDocument line;
        line.setDefaultFont(label->font());
        line.setDocumentMargin(0);
        line.setHtml(label->text());
        // A pixel or two for the rounding of the label's own layout.
        const int width = int(std::ceil(line.idealWidth())) + 2;
        if (width <= maximum)
            widest = qMax(widest, width);
    }
    grid->setColumnMinimumWidth(0, qMax(minimum, widest));
}

QLabel* MdiChild::addCaptionLabel(QGridLayout* grid, int row, const DocKey& key, const QString& caption)
{
    auto* label = new QLabel(caption.isEmpty() ? caption : caption + QLatin1Char(':'));
    putLabel(key, label);
    m_captions.insert(key, caption);
    grid->addWidget(label, row, 0);
    return label;
}

QDoubleSpinBox* MdiChild::addDoubleRow(QGridLayout* grid, const DocKey& key, const QString& caption)
{
    auto* spin = new QSmartDoubleSpinBox();
    spin->setDecimals(2);
    spin->setMinimum(0);
    spin->setMaximum(100000000);
    spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    spin->setSingleStep(hasFineStep(key.fieldCode) ? 0.1 : 1);
    putControl(key, spin);

    // "Перед клапаном|P1" reads "Перед клапаном <i>P1:</i>".
    const int bar = caption.indexOf(QLatin1Char('|'));
    const QString text =
        bar < 0 ? caption + QLatin1Char(':')
                : caption.left(bar) + QStringLiteral(" <i>") + caption.mid(bar + 1) + QStringLiteral(":</i>");
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    putLabel(key, label);
    m_captions.insert(key, caption);

    const int row = nextRow(grid);
    grid->addWidget(label, row, 0);
    grid->addWidget(spin, row, 2);
    return spin;
}

QDoubleSpinBox* MdiChild::addDoubleRowWithUnit(QGridLayout* grid, const DocKey& key, const QString& caption,
                                               const DocKey& unitKey)
{
    QDoubleSpinBox* spin = addDoubleRow(grid, key, caption);
    auto* unit = new QSmartComboBox();
    putControl(unitKey, unit);
    grid->addWidget(unit, grid->rowCount() - 1, 3);
    return spin;
}

QDoubleSpinBox* MdiChild::addDoubleRowWithSubLabel(QGridLayout* grid, const DocKey& key,
                                                   const QString& caption, const QString& subLabelText)
{
    QDoubleSpinBox* spin = addDoubleRow(grid, key, caption);
    auto* sub = new QLabel(subLabelText);
    putSubLabel(key, sub);
    grid->addWidget(sub, grid->rowCount() - 1, 3, Qt::AlignLeft | Qt::AlignVCenter);
    return spin;
}

QSmartComboBox* MdiChild::addComboRow(QGridLayout* grid, const DocKey& key, const QString& caption,
                                      const QString& subLabelText)
{
    auto* combo = new QSmartComboBox();
    combo->removeCompleter();
    putControl(key, combo);
    const int row = nextRow(grid);
    addCaptionLabel(grid, row, key, caption);
    grid->addWidget(combo, row, 2);
    if (!subLabelText.isEmpty()) {
        auto* sub = new QLabel(subLabelText);
        putSubLabel(key, sub);
        grid->addWidget(sub, row, 3, Qt::AlignLeft | Qt::AlignVCenter);
    }
    return combo;
}

QSmartTextEdit* MdiChild::addTextRow(QGridLayout* grid, const DocKey& key, const QString& caption)
{
    auto* text = new QSmartTextEdit();
    text->setMaximumHeight(55);
    putControl(key, text);
    const int row = nextRow(grid);
    if (!caption.isEmpty())
        addCaptionLabel(grid, row, key, caption);
    grid->addWidget(text, row, 2);
    return text;
}

QCheckBox* MdiChild::addCheckRow(QGridLayout* grid, const DocKey& key, const QString& caption)
{
    auto* check = new QCheckBox();
    putControl(key, check);
    const int row = nextRow(grid);
    addCaptionLabel(grid, row, key, caption);
    grid->addWidget(check, row, 2);
    return check;
}

RadioArea* MdiChild::addRadioRow(QGridLayout* grid, const DocKey& key, const QString& caption,
                                 int orientation)
{
    auto* radio = new RadioArea(nullptr, orientation);
    putControl(key, radio);
    const int row = nextRow(grid);
    if (!caption.isEmpty()) {
        QLabel* label = addCaptionLabel(grid, row, key, caption);
        grid->setAlignment(label, Qt::AlignLeft | Qt::AlignTop);
    }
    grid->addWidget(radio, row, 2);
    return radio;
}

QLabel* MdiChild::addSectionHeader(QGridLayout* grid, const QString& text, int columnSpan, bool small,
                                   const QColor& colour)
{
    auto* label = new QLabel(text);
    QFont font = resizedFont(this->font(), small ? 0 : 2);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    setTextColour(label, colour);

    const int row = nextRow(grid);
    grid->addWidget(label, row, 0, 1, columnSpan);
    const int line = QFontMetrics(font).height();
    grid->setRowMinimumHeight(row, text.isEmpty() ? line : 2 * line);
    return label;
}

QLabel* MdiChild::addInfoRow(QGridLayout* grid, const QString& text, const QColor& colour)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    setTextColour(label, colour);
    grid->addWidget(label, nextRow(grid), 0, 1, inputColumnCount());
    return label;
}

QString MdiChild::listItemText(const QString& text)
{
    return QStringLiteral("%0 %1").arg(QString(kBullet), text);
}

QWidget* MdiChild::createVerticalSeparator()
{
    auto* line = new QFrame();
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setMinimumSize(2, 100);
    return line;
}

void MdiChild::addTemperatureHints(QGridLayout* grid)
{
    m_temperatureLimits1 = addInfoRow(grid, QString(), Qt::blue);
    m_temperatureLimits2 = addInfoRow(grid, QString(), Qt::blue);
    m_temperatureLimits1->setTextFormat(Qt::RichText);
    m_temperatureLimits2->setTextFormat(Qt::RichText);
}

void MdiChild::addFlowSection(QGridLayout* grid, int span)
{
    addSectionHeader(grid, QStringLiteral("Максимальный расход рабочей среды"), span, true);
    RadioArea* flowMode = addRadioRow(grid, fcFlowMode, QString(), 2);
    flowMode->addItem(QStringLiteral("Задать напрямую"), InputParams::flowGivenDirectly);
    flowMode->addItem(QStringLiteral("Через расход тепловой энергии"), InputParams::flowFromHeatLoad);
    addDoubleRowWithUnit(grid, fcHeatLoad, QStringLiteral("Тепловая нагрузка|Q"), fcHeatUnit);
    addDoubleRowWithUnit(grid, fcFlow, QStringLiteral("Расход рабочей среды|G"), fcFlowUnit);
}

QGridLayout* MdiChild::createValveInputGrid(const QString& supplyTemperatureCaption)
{
    auto* grid = new QGridLayout();
    const int span = inputColumnCount();

    addSectionHeader(grid, QStringLiteral("Входные данные"), span);

    addSectionHeader(grid, QStringLiteral("Применение"), span, true);
    addTextRow(grid, fcObjectName, QStringLiteral("Наименование объекта"));
    addComboRow(grid, fcSystem, QStringLiteral("Система"));
    addComboRow(grid, fcMedium, QStringLiteral("Рабочая среда"));
    addDoubleRowWithSubLabel(grid, fcConcentration, QStringLiteral("Концентрация раствора"),
                             QStringLiteral("%"));
    addComboRow(grid, Doc::fcDeviceType, QStringLiteral("Тип клапана"));
    addComboRow(grid, fcInstallPlace, QStringLiteral("Место установки"));

    addSectionHeader(grid, QStringLiteral("Давление"), span, true);
    RadioArea* kind = addRadioRow(grid, fcPressureKind, QString(), 1);
    kind->addItem(QStringLiteral("Избыточное"), pkExcess);
    kind->addItem(QStringLiteral("Абсолютное"), pkAbsolute);
    addDoubleRowWithUnit(grid, fcP1, QStringLiteral("Перед клапаном|P1"), fcPressureUnit);
    addDoubleRowWithSubLabel(grid, fcP2, QStringLiteral("После клапана|P2"), QString());
    addDoubleRowWithSubLabel(grid, fcPressureDrop, QStringLiteral("Перепад на клапане|%1P").arg(deltaSign),
                             QString());
    setInputEnabled(fcPressureDrop, false);
    addDoubleRowWithSubLabel(
        grid, fcRegulatedDrop,
        QStringLiteral("Перепад на регулируемом участке после клапана|%1Pру").arg(deltaSign), QString());

    addSectionHeader(grid, QStringLiteral("Температура"), span, true);
    const QString degrees = degreesCelsius();
    addDoubleRowWithSubLabel(grid, fcSupplyTemperature, supplyTemperatureCaption, degrees);
    addDoubleRowWithSubLabel(grid, fcReturnTemperature, QStringLiteral("Обратный трубопровод|Tобр"), degrees);
    addTemperatureHints(grid);

    addFlowSection(grid, span);

    fitCaptionColumn(grid, 215);
    grid->setColumnMinimumWidth(2, 290);
    grid->setRowStretch(nextRow(grid), 100);
    grid->setContentsMargins(0, 0, 0, 0);
    return grid;
}

// ---------------------------------------------------------------------------
// Showing, hiding, enabling

void MdiChild::setInputEnabled(const DocKey& key, bool on)
{
    if (QWidget* w = m_controls.value(key))
        w->setEnabled(on);
}

void MdiChild::setInputVisible(const DocKey& key, bool on)
{
    QWidget* w = m_controls.value(key);
    if (!w)
        return;
    w->setVisible(on);
    if (QLabel* l = m_labels.value(key))
        l->setVisible(on);
    if (QLabel* s = m_subLabels.value(key))
        s->setVisible(on);
}

void MdiChild::updateTemperatureRows()
{
    const bool saturated = intComboValue(fcMedium, -1) == stSaturatedSteam;
    setInputEnabled(fcSupplyTemperature, !saturated);
    setInputEnabled(fcReturnTemperature, !saturated);
    setInputVisible(fcSupplyTemperature, hasSupplyTemperature());
    setInputVisible(fcReturnTemperature, hasReturnTemperature());
}

void MdiChild::updateHeatLoadRows(InputParams& input)
{
    const bool viaHeat = intValue(fcFlowMode) == InputParams::flowFromHeatLoad;
    if (viaHeat)
        recalcQ(input);
    setInputVisible(fcHeatLoad, viaHeat);
    setInputVisible(fcHeatUnit, viaHeat);
    setInputEnabled(fcFlow, !viaHeat);
}

void MdiChild::updateConcentrationRow()
{
    setInputVisible(fcConcentration, isGlycolSolution(intComboValue(fcMedium, -1)));
}

bool MdiChild::valvePressuresGiven() const
{
    const double p1 = doubleValue(fcP1);
    const double p2 = doubleValue(fcP2);
    const int unit = intComboValue(fcPressureUnit, -1);
    // Pressures in no known unit are not given: no boiling point follows from them.
    if (tolerance::isZero(p1) || tolerance::isZero(p2) || !UnitConversions::isPressureMeasure(unit))
        return false;
    const double atmosphere = intValue(fcPressureKind) == pkAbsolute ? 0 : 101325;
    return !tolerance::isZero(UnitConversions::toPa(p2, unit) + atmosphere);
}

void MdiChild::limitTemperature(const InputParams& input)
{
    const int mediumCode = intComboValue(fcMedium, -1);
    const SubstanceProperties medium(mediumCode, doubleValue(fcConcentration));
    const double Tmax = input.maxTemperature();
    const bool phaseLimits = usePhaseLimits();
    const QString degree(degreeSign);

    // The pieces of the phase hints: the temperature, the absolute pressure it
    // belongs to in the form's unit, that unit and the device word.
    const auto phaseHint = [&](const QString& text, double T, double pressureAbsInPa) {
        const int unit = input.pressureMeasure;
        return text.arg(QString::number(T, 'f', 1), degree,
                        QString::number(input.fromPa(pressureAbsInPa), 'f', 2),
                        pressureMeasureName(PressureMeasure(unit)),
                        isRegulator(deviceType()) ? QStringLiteral("регулятора") : QStringLiteral("клапана"));
    };

    double lower = 0;
    double upper = Tmax;
    QString hint1;
    // A task with a choice not filled in (no medium, no pressure unit) has no
    // phase temperatures yet: the box takes anything up to the device's limit.
    const bool known = input.choicesWithinTables();
    if (known && medium.isLiquid()) {
        const double Tb = medium.saturationTemperature(input.PafterAbsInPa());
        upper = phaseLimits && tolerance::less(Tb, Tmax) ? Tb : Tmax;
        if (phaseLimits) {
            if (Tb < tolerance::epsilon)
                hint1 = QStringLiteral("Слишком низкое давление рабочей среды");
            else if (tolerance::greater(qMax(input.PbeforeAbsInPa(), input.PafterAbsInPa()),
                                        Algorithm::maxPbeforeAbsInPa))
                hint1 = QStringLiteral("Слишком высокое давление рабочей среды");
            else
                hint1 =
                    phaseHint(QStringLiteral("<i>При <b>абсолютном</b> давлении после %4 %2 %3 температура "
                                             "кипения рабочей среды %0 %1C</i>"),
                              Tb, input.PafterAbsInPa());
        }
    } else if (known && medium.isSteam()) {
        // Steam must stay above the condensation point of water at the inlet.
        const double Ts = SubstanceProperties(stWater, 0).saturationTemperature(input.PbeforeAbsInPa());
        if (mediumCode == stSuperheatedSteam) {
            lower = tolerance::lessOrEqual(Ts + 0.1, Tmax) ? Ts + 0.1 : Tmax;
            upper = Tmax;
        } else {
            lower = upper = tolerance::lessOrEqual(Ts, Tmax) ? Ts : Tmax;
        }
        if (phaseLimits) {
            if (tolerance::greater(Ts, Tmax)) {
                hint1 = QStringLiteral("Слишком высокое давление рабочей среды, температура парообразования "
                                       "превышает %0 %1C")
                            .arg(QString::number(Tmax, 'f', 1), degree);
                lower = upper = Tmax;
            } else if (Ts < tolerance::epsilon) {
                hint1 = QStringLiteral("Слишком низкое давление рабочей среды");
            } else if (tolerance::less(Ts, upper)) {
                // The condensation point belongs to the inlet pressure, and the
                // hint names that pressure: a liquid boils first where the
                // pressure is lowest, steam condenses first where it is highest.
                hint1 = phaseHint(QStringLiteral("<i>При <b>абсолютном</b> давлении до %4 %2 %3 температура "
                                                 "парообразования %0 %1C</i>"),
                                  Ts, input.PbeforeAbsInPa());
            }
        }
    } else if (known && !medium.isOneOf(stAir, stNitrogen)) {
        GEH_ASSERT(0);
    }

    GEH_ASSERT(m_temperatureLimits1);
    GEH_ASSERT(m_temperatureLimits2);
    if (m_temperatureLimits1) {
        m_temperatureLimits1->setText(hint1);
        m_temperatureLimits1->setVisible(!hint1.isEmpty());
    }
    if (m_temperatureLimits2) {
        if (deviceType() == dtEmpty) {
            m_temperatureLimits2->hide();
        } else {
            m_temperatureLimits2->setText(
                QStringLiteral("<i>Для %0 максимально допустимая температура %1 %2C</i>")
                    .arg(deviceTypeName(deviceType()), QString::number(Tmax, 'f', 1), degree));
            m_temperatureLimits2->show();
        }
    }

    const QList<qint16> temperatures{fcSupplyTemperature, fcReturnTemperature};
    for (qint16 code : temperatures)
        if (auto* spin = findCtrl<QDoubleSpinBox>(code))
            spin->setMaximum(upper);
    for (qint16 code : temperatures)
        if (auto* spin = findCtrl<QDoubleSpinBox>(code))
            spin->setMinimum(lower);
}

// ---------------------------------------------------------------------------
// Slots

void MdiChild::recalcQ(InputParams& input)
{
    // The derived flow is the form's own writing, not the user's.
    const SignalsPaused paused(this);
    const SubstanceProperties medium(intComboValue(fcMedium, -1), doubleValue(fcConcentration));
    // Only a liquid carries a heat load here; the forms offer the mode for liquids only.
    // Without a known unit of pressure or heat there are no pressures and no
    // heat load to derive a flow from: the calculation asks for them instead.
    if (intValue(fcFlowMode) == InputParams::flowFromHeatLoad && medium.isLiquid() &&
        input.choicesWithinTables()) {
        double G = UnitConversions::calcQbyHeat(
            doubleValue(fcHeatLoad), intComboValue(fcHeatUnit, 0), intComboValue(fcFlowUnit, 0),
            doubleValue(fcSupplyTemperature), doubleValue(fcReturnTemperature), medium,
            (input.PbeforeAbsInPa() + input.PafterAbsInPa()) * 0.5);
        // A flow that cannot be computed is no flow: the calculation then asks for one.
        if (!std::isfinite(G))
            G = 0;
        auto* flow = ctrl<QDoubleSpinBox>(fcFlow);
        if (flow && flow->value() != G)
            flow->setValue(G);
    }
}

void MdiChild::onModified()
{
    const geh::UserActionScope action;
    recalc();
    m_modified = true;
    updateTitle();
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
    if (m_pipeArea)
        m_pipeArea->setDn(stdDn());
}

// ---------------------------------------------------------------------------
// Title, saving and closing

void MdiChild::updateTitle()
{
    // The window lives in a scroll area's viewport, the scroll area in the tab
    // widget's page stack.
    QWidget* chain[5] = {this, nullptr, nullptr, nullptr, nullptr};
    for (int i = 1; i < 5; ++i)
        chain[i] = chain[i - 1] ? chain[i - 1]->parentWidget() : nullptr;

    auto* tabs = qobject_cast<QTabWidget*>(chain[4]);
    if (!tabs) {
        for (QWidget* w : chain) {
            geh::ErrorHandler::instance()->setError(GEH_LOCATION,
                                                    w ? QString::fromLatin1(w->metaObject()->className())
                                                      : QStringLiteral("nullptr"));
            geh::ErrorHandler::instance()->showLastError();
        }
        return;
    }
    const QString title = m_doc.name() + (m_modified ? QStringLiteral(" *") : QString());
    for (int i = 0; i < tabs->count(); ++i) {
        auto* area = qobject_cast<QScrollArea*>(tabs->widget(i));
        if (area && area->widget() == this) {
            tabs->setTabText(i, title);
            return;
        }
    }
    GEH_ASSERT(0);
}

bool MdiChild::maybeSave()
{
    if (!m_modified)
        return true;
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
    QFileDialog dialog(this, QStringLiteral("Сохранить как"), start, fileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("orx"));
    fitFileDialog(dialog);
    const QString fileName = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    geh::traceMark(GEH_LOCATION, "getSaveFileName - B");
    if (fileName.isEmpty())
        return false;

    geh::traceMark(GEH_LOCATION, "getSaveFileName - C");
    Doc::setDirectory(fileName);
    geh::traceMark(GEH_LOCATION, "getSaveFileName - D");
    return saveToFile(fileName);
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
// Results-area helpers

void MdiChild::addResultWidget(QWidget* widget)
{
    m_resultWidgets.append(widget);
}

QGridLayout* MdiChild::createResultsGrid()
{
    auto* grid = new QGridLayout();
    grid->setContentsMargins(0, 0, 0, 0);
    addResultsHeader(grid, QStringLiteral("Результаты"));
    return grid;
}

void MdiChild::addFailure(QGridLayout* grid, const QString& message)
{
    QLabel* label = addResultsHeader(grid, message, true, Qt::red);
    // The messages break their own lines; a long one wraps to the column
    // rather than widen the window.
    label->setTextFormat(Qt::RichText);
    wrapAt(label, message);

    // The calculation stops at the first empty input it meets; the user is
    // told every one still to fill in.
    if (!message.startsWith(QStringLiteral("Не заполнены входные данные")))
        return;
    const QStringList empty = emptyInputs();
    if (empty.isEmpty())
        return;
    const QString list =
        QStringLiteral("Пустые поля: <i>") + empty.join(QStringLiteral("</i>, <i>")) + QStringLiteral("</i>");
    auto* names = new QLabel(list);
    names->setTextFormat(Qt::RichText);
    names->setAlignment(Qt::AlignCenter);
    setTextColour(names, Qt::darkRed);
    wrapAt(names, list);
    addResultWidget(names);
    grid->addWidget(names, nextRow(grid), 0, 1, resultColumnCount());
}

QLabel* MdiChild::addResultsHeader(QGridLayout* grid, const QString& text, bool small, const QColor& colour)
{
    QLabel* label = addSectionHeader(grid, text, resultColumnCount(), small, colour);
    addResultWidget(label);
    return label;
}

void MdiChild::addResultValueRow(QGridLayout* grid, int column, const QString& caption, const QString& unit,
                                 double value, int decimals)
{
    addTextCell(grid, column, caption + QLatin1Char(':'), Qt::AlignLeft | Qt::AlignVCenter, true);
    addValueCell(grid, column + 1, QString::number(value, 'f', decimals));
    addTextCell(grid, column + 2, unit, Qt::AlignCenter);
}

QWidget* MdiChild::addValueCell(QGridLayout* grid, int column, const QString& text)
{
    auto* edit = new QLineEdit(text);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setMaximumWidth(150);
    addResultWidget(edit);
    grid->addWidget(edit, cellRow(grid, column), column, Qt::AlignVCenter);
    return edit;
}

QLabel* MdiChild::addTextCell(QGridLayout* grid, int column, const QString& text, Qt::Alignment alignment,
                              bool bold, const QPalette* palette)
{
    auto* label = new QLabel(text);
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

QLabel* MdiChild::addCaptionCell(QGridLayout* grid, int column, const QString& text)
{
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(10, 10, 10, 10);
    // A caption that breaks its own lines keeps each of them whole: wrapping
    // inside one would leave a word alone on a line of its own.
    if (text.contains(QLatin1Char('\n'))) {
        int widest = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            widest = qMax(widest, label->fontMetrics().horizontalAdvance(line));
        label->setMinimumWidth(widest + 20 + 2);
    }
    addResultWidget(label);
    grid->addWidget(label, cellRow(grid, column), column);
    return label;
}

QLabel* MdiChild::addBlankRow(QGridLayout* grid)
{
    auto* label = new QLabel(QStringLiteral(" "));
    addResultWidget(label);
    grid->addWidget(label, nextRow(grid), 0, Qt::AlignCenter);
    return label;
}

QLabel* MdiChild::addPictureCell(QGridLayout* grid, int column, const QPixmap& picture)
{
    auto* label = new QLabel();
    label->setPixmap(picture);
    addResultWidget(label);
    grid->addWidget(label, cellRow(grid, column), column, Qt::AlignCenter);
    return label;
}

QWidget* MdiChild::addDocumentCell(QGridLayout* grid, int column, QTextDocument* document)
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

QLabel* MdiChild::addNote(QGridLayout* grid, const QString& text, const QColor& colour)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignJustify | Qt::AlignVCenter);
    setTextColour(label, colour);
    QFont font = resizedFont(this->font(), -2);
    font.setItalic(colour == QColor(Qt::black));
    label->setFont(font);
    addResultWidget(label);

    auto* box = new QVBoxLayout();
    box->setContentsMargins(0, 10, 0, 0);
    box->addWidget(label);
    grid->addLayout(box, nextRow(grid), 0, 1, qMax(1, grid->columnCount()));
    return label;
}

void MdiChild::addResultNotes(QGridLayout* grid)
{
    addNote(grid,
            QStringLiteral("%0 Предлагаемые варианты имеют разные технические характеристики. Окончательное "
                           "решение по подбору оборудования принимает пользователь программы с учётом "
                           "особенностей системы теплоснабжения.")
                .arg(kSuperscriptOne),
            Qt::black);
    Algorithm* calculation = algorithm();
    if (calculation && calculation->isHighPressureDrop())
        addNote(
            grid,
            listItemText(QStringLiteral("Для увеличения срока службы клапанов и регуляторов и уменьшения "
                                        "уровня шума и вибраций рекомендуется принимать перепад давления на "
                                        "них не более 0,2 МПа. При перепаде более 0,4 МПа велика "
                                        "вероятность появления высокого уровня шума и вибраций.")),
            Qt::red);
}

void MdiChild::addDimensionsArea(QGridLayout* grid)
{
    const DeviceType type = deviceType();
    addResultsHeader(grid,
                     QStringLiteral("Габаритные размеры") + (isRegulator(type)
                                                                 ? QStringLiteral(" регуляторов")
                                                                 : QStringLiteral(" клапанов с ЭИМ")),
                     true);
    // A series without a drawing and a table (ЛМР-1-01) shows the header alone.
    if (!hasDimensionDrawing(type))
        return;
    const int span = resultColumnCount();
    auto* picture = new QLabel();
    picture->setPixmap(QPixmap(deviceSizeImageName(type, false)));
    addResultWidget(picture);
    grid->addWidget(picture, nextRow(grid), 0, 1, span, Qt::AlignCenter);

    SmartLabel* table = DeviceSizeTableGenerator(type).generateLabel(font().pointSize());
    addResultWidget(table);
    grid->addWidget(table, nextRow(grid), 0, 1, span, Qt::AlignCenter);
}

QPushButton* MdiChild::createCopyButton(const QString& toolTip)
{
    auto* button = new QPushButton();
    button->setFlat(true);
    button->setIcon(QIcon(QStringLiteral(":icons/copy.png")));
    button->setIconSize(QSize(64, 64));
    button->setToolTip(toolTip);
    addResultWidget(button);
    connect(button, &QPushButton::clicked, this, &MdiChild::copyName);
    return button;
}

void MdiChild::finishResultsGrid(QGridLayout* grid)
{
    grid->setColumnStretch(grid->columnCount(), 100);
    grid->setRowStretch(grid->rowCount(), 100);
    // Every widget of the results that appears would lay the whole window out
    // again, word-wrapped captions and all: the window is laid out once, when
    // all of them are there.
    m_mainLayout->setEnabled(false);
    m_mainLayout->addLayout(grid, m_resultGrids.size(), 4);
    m_resultGrids.append(grid);

    // Widgets entering the layout of a visible window would appear only on the
    // next pass of the event loop; the results are complete when this returns.
    if (isVisible())
        showLayoutWidgets(grid);
    m_mainLayout->setEnabled(true);
    m_mainLayout->activate();
}

void MdiChild::clearResults()
{
    qDeleteAll(m_resultGrids);
    m_resultGrids.clear();
    delete m_pipeArea;
    m_pipeArea = nullptr;
    qDeleteAll(m_resultWidgets);
    m_resultWidgets.clear();
}

void MdiChild::setPipeArea(PipeSelectionArea* area)
{
    delete m_pipeArea;
    m_pipeArea = area;
}

// ---------------------------------------------------------------------------
// Events

void MdiChild::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updateBackground();
    if (!m_shown) {
        // The first calculation of the window is the last step of opening it.
        const geh::UserActionScope action;
        m_shown = true;
        recalc();
        fixInputColumn();
    }
}

void MdiChild::fixInputColumn()
{
    if (m_inputLayout)
        m_mainLayout->setColumnMinimumWidth(0, m_inputLayout->sizeHint().width());
}

void MdiChild::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateBackground();
}

// The picture follows the window's size. Only a window on screen needs one (the
// pages of the other tabs are hidden), and a page resized while hidden may not
// hear of it, so showing checks the size too.
void MdiChild::updateBackground()
{
    if (!isVisible() || size() == m_backgroundSize)
        return;
    const QPixmap background = BackgroundCache::pixmap(size());
    if (background.isNull())
        return;
    m_backgroundSize = size();
    QPalette p = palette();
    p.setBrush(QPalette::All, QPalette::Window, QBrush(background));
    setPalette(p);
    BackgroundCache::dropUnused();
}
