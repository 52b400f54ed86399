#include "forms/fancabinetchild.h"

#include "configurators/cabinetconfig.h"
#include "engine/algorithm.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <numeric>

using namespace common;
using namespace configurators;

namespace {

// How a cabinet controls and protects a circulation pump, by option value 0-9.
const QStringList kPumpOptions{
    QStringLiteral("управление насосом отсутствует"),
    QStringLiteral("1ф защита и управление до 0.5 кВт, внешний датчик"),
    QStringLiteral("1ф защита и управление до 1.5 кВт, внешний датчик"),
    QStringLiteral("1ф защита и управление до 1.5 кВт, внутренний датчик"),
    QStringLiteral("3ф защита и управление до 0.5 кВт, внешний датчик"),
    QStringLiteral("3ф защита и управление до 0.5 кВт, внутренний датчик"),
    QStringLiteral("3ф защита и управление до 1.0 кВт, внешний датчик"),
    QStringLiteral("3ф защита и управление до 1.0 кВт, внутренний датчик"),
    QStringLiteral("3ф защита и управление до 3.0 кВт, внешний датчик"),
    QStringLiteral("3ф защита и управление до 3.0 кВт, внутренний датчик"),
};

// How the ventilation cabinet drives its fan and its pump, by option value 0-8.
const QStringList kDriveOptions{
    QStringLiteral("управление отсутствует"),
    QStringLiteral("1ф защита и управление до 0.5 кВт"),
    QStringLiteral("1ф защита и управление до 1.0 кВт"),
    QStringLiteral("1ф защита и управление до 2.0 кВт"),
    QStringLiteral("3ф защита и управление до 0.5 кВт"),
    QStringLiteral("3ф защита и управление до 1.0 кВт"),
    QStringLiteral("3ф защита и управление до 2.0 кВт"),
    QStringLiteral("3ф защита и управление до 3.0 кВт"),
    QStringLiteral("3ф защита и управление до 4.0 кВт"),
};

// Values 0, 1, ... n - 1: the options are numbered by their place.
QVector<int> optionCodes(int count)
{
    QVector<int> codes(count);
    std::iota(codes.begin(), codes.end(), 0);
    return codes;
}

// The style's own size hint lets the longest option run up to (and, at some
// font sizes, under) the arrow. The box is made wide enough for that option, the
// box's frame and arrow, and two characters' room between text and arrow;
// options only ever get fewer afterwards (the reserve pump follows the main
// pump), so the width taken from the full list holds.
void makeRoomForLongestItem(QComboBox* combo)
{
    int longest = 0;
    for (int i = 0; i < combo->count(); ++i)
        longest = qMax(longest, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.rect = QRect(0, 0, 1000, combo->sizeHint().height());
    const QRect field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    const int gap = 2 * combo->fontMetrics().averageCharWidth();
    combo->setMinimumWidth(longest + option.rect.width() - field.width() + gap);
}

} // namespace

// ---------------------------------------------------------------------------
// CabinetChild

CabinetChild::CabinetChild(const Doc* data, DocType type) : MdiChild(data, type)
{
}

QGridLayout* CabinetChild::createGeneralRows(DeviceType type, int maxLoops)
{
    auto* grid = new QGridLayout();
    m_inputGrid = grid;
    const int span = inputColumnCount();
    addSectionHeader(grid, QStringLiteral("Входные данные"), span);
    addSectionHeader(grid, QStringLiteral("Общее"), span, true);
    addPositionRow(grid);

    // Plain items: the box shows its first item.
    addComboRow(grid, Doc::fcDeviceType, QStringLiteral("Тип устройства"))
        ->addItem(deviceTypeName(type, true, QStringLiteral(" ")), int(type));
    QComboBox* count = addComboRow(grid, fcLoopCount, QStringLiteral("Количество контуров"));
    for (int loops = 1; loops <= maxLoops; ++loops)
        count->addItem(QString::number(loops), loops);
    return grid;
}

void CabinetChild::addInterfaceRow(QGridLayout* grid)
{
    addComboRow(grid, fcInterface, QStringLiteral("Интерфейс связи"));
    addCodeItems(fcInterface, {QStringLiteral("RS-232 (на заказ)"), QStringLiteral("RS-485")}, {1, 2});
}

void CabinetChild::addLoopHeader(QGridLayout* grid, int loop)
{
    QLabel* label = addSectionHeader(grid, QStringLiteral("Контур %1").arg(loop), inputColumnCount(), true);
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rowSpan, &columnSpan);
    m_loopHeaders.append({label, grid, row, grid->rowMinimumHeight(row)});
}

void CabinetChild::addCodeItems(const DocKey& key, const QStringList& texts, const QVector<int>& codes)
{
    auto* combo = ctrl<QComboBox>(key);
    if (!GEH_ASSERT(combo && texts.size() == codes.size()))
        return;
    for (int i = 0; i < codes.size(); ++i)
        addCodeItem(combo, texts.at(i), codes.at(i));
    // The user chooses every option; nothing is assumed.
    combo->setCurrentIndex(-1);
}

void CabinetChild::finishInputGrid(QGridLayout* grid)
{
    for (const DocKey& key : controlKeys()) {
        if (auto* combo = qobject_cast<QComboBox*>(control(key)))
            makeRoomForLongestItem(combo);
    }
    grid->setContentsMargins(0, 0, 60, 0);
    grid->setRowStretch(nextRow(grid), 100);
}

void CabinetChild::setDefaultInterface()
{
    if (auto* combo = ctrl<QSmartComboBox>(fcInterface))
        combo->setCurrentByData(2);
}

void CabinetChild::connectLoopCount(bool on)
{
    auto* count = ctrl<QComboBox>(fcLoopCount);
    if (!count)
        return;
    const auto signal = QOverload<int>::of(&QComboBox::currentIndexChanged);
    if (on)
        connect(count, signal, this, &CabinetChild::updateLoopControls, Qt::UniqueConnection);
    else
        disconnect(count, signal, this, &CabinetChild::updateLoopControls);
}

int CabinetChild::loopCount() const
{
    return qMax(1, intComboValue(fcLoopCount, 1));
}

void CabinetChild::updateLoopControls()
{
    const int loops = loopCount();
    for (const DocKey& key : controlKeys())
        setInputVisible(key, key.index < loops);
    for (int i = 0; i < m_loopHeaders.size(); ++i) {
        const LoopHeader& header = m_loopHeaders.at(i);
        const bool shown = i < loops;
        header.label->setVisible(shown);
        // A hidden loop leaves no empty header row behind.
        header.grid->setRowMinimumHeight(header.row, shown ? header.minimumHeight : 0);
    }
}

bool CabinetChild::isLoopField(qint16 fieldCode)
{
    return fieldCode == fcLoopType || fieldCode == fcMainPump || fieldCode == fcReservePump ||
           fieldCode == fcFan;
}

QStringList CabinetChild::missingChoices() const
{
    const int loops = loopCount();
    // Every loop has rows of the same captions: with more than one loop shown
    // the caption alone would not tell the user where to look.
    const bool nameLoop = loops > 1;
    QMap<int, QString> missing; // by row of the input grid
    for (const DocKey& key : controlKeys()) {
        if (key.index >= loops || !Doc::isCombo(key.fieldCode))
            continue;
        auto* combo = qobject_cast<QComboBox*>(control(key));
        if (!combo || combo->currentIndex() >= 0)
            continue;
        const int index = m_inputGrid ? m_inputGrid->indexOf(combo) : -1;
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        if (index >= 0)
            m_inputGrid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        QString name = label(key) ? label(key)->text() : QString();
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        // A loop's row is named as one piece: the list breaks between names only.
        if (nameLoop && isLoopField(key.fieldCode))
            name = QStringLiteral("Контур %1: %2")
                       .arg(key.index + 1)
                       .arg(name)
                       .replace(QLatin1Char(' '), QChar::Nbsp);
        missing.insert(row, name);
    }
    return missing.values();
}

void CabinetChild::recalc()
{
    results().clearResults();
    m_designation.clear();
    QGridLayout* grid = results().createResultsGrid();
    const QStringList missing = missingChoices();
    if (!missing.isEmpty()) {
        results().addFailure(grid, Algorithm::emptyFieldsMessage(), missing);
    } else {
        m_designation = designation();
        QLabel* text = results().addResultsHeader(grid, m_designation, true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QPushButton* copy = createCopyButton(QStringLiteral("Копировать наименование устройства"));
        grid->addWidget(copy, nextRow(grid), 0, Qt::AlignCenter);
    }
    results().finishResultsGrid(grid);
}

// ---------------------------------------------------------------------------
// StdCabinetChild

StdCabinetChild::StdCabinetChild(const Doc* data) : CabinetChild(data, docStdCabinet)
{
    setupLayout();
    connectControls(true);
    applyToControls();
    updateLoopControls();
    refillReservePumpCombos();
}

const QStringList& StdCabinetChild::pumpOptions()
{
    return kPumpOptions;
}

QLayout* StdCabinetChild::createInputArea()
{
    QGridLayout* grid = createGeneralRows(dtLMSHStd, maxLoops);
    addComboRow(grid, fcPowerReserve, QStringLiteral("Резервирование питания"));
    addCodeItems(fcPowerReserve,
                 {QStringLiteral("без резервирования"), QStringLiteral("два ввода электросети и АВР")},
                 {1, 2});
    addInterfaceRow(grid);

    const QStringList loopTypes{
        QStringLiteral("система отопления (ОТП)"), QStringLiteral("система горячего водоснабжения (ГВС)"),
        QStringLiteral("подпитка вторичного контура системы отопления (ПДП)"), QStringLiteral("АВР насосов")};
    const QVector<int> pumpCodes = optionCodes(kPumpOptions.size());
    for (int loop = 1; loop <= maxLoops; ++loop) {
        const qint16 index = qint16(loop - 1);
        addLoopHeader(grid, loop);
        addComboRow(grid, DocKey(fcLoopType, index), QStringLiteral("Тип контура"));
        addCodeItems(DocKey(fcLoopType, index), loopTypes, {1, 2, 4, 5});
        addComboRow(grid, DocKey(fcMainPump, index), QStringLiteral("Основной насос"));
        addCodeItems(DocKey(fcMainPump, index), kPumpOptions, pumpCodes);
        addComboRow(grid, DocKey(fcReservePump, index), QStringLiteral("Резервный насос"));
        addCodeItems(DocKey(fcReservePump, index), kPumpOptions, pumpCodes);
    }
    setDefaultInterface();
    finishInputGrid(grid);
    return grid;
}

void StdCabinetChild::connectControls(bool on)
{
    MdiChild::connectControls(on);
    connectLoopCount(on);
    const auto signal = QOverload<int>::of(&QComboBox::currentIndexChanged);
    for (int loop = 0; loop < maxLoops; ++loop) {
        auto* main = ctrl<QComboBox>(DocKey(fcMainPump, qint16(loop)));
        if (!main)
            continue;
        if (on)
            connect(main, signal, this, &StdCabinetChild::refillReservePumpCombos, Qt::UniqueConnection);
        else
            disconnect(main, signal, this, &StdCabinetChild::refillReservePumpCombos);
    }
}

void StdCabinetChild::refillReservePumpCombos()
{
    for (int loop = 0; loop < maxLoops; ++loop) {
        const auto index = qint16(loop);
        auto* main = ctrl<QComboBox>(DocKey(fcMainPump, index));
        auto* reserve = ctrl<QSmartComboBox>(DocKey(fcReservePump, index));
        if (!main || !reserve)
            continue;
        // The reserve changes with the main pump without being a change of its own.
        const QSignalBlocker blocker(reserve);
        const int mainOption = intComboValue(DocKey(fcMainPump, index), -1);
        if (mainOption < 0) {
            reserve->filterItems(optionCodes(kPumpOptions.size()).toList());
        } else if (mainOption == 0) {
            // No main pump, no reserve: the single option is chosen.
            reserve->filterItems(QList<int>{0});
        } else {
            // The same pump as reserve, or none; a reserve of another size
            // follows the main pump.
            const int reserveOption = intComboValue(DocKey(fcReservePump, index), -1);
            const bool hadChoice = reserve->currentIndex() >= 0;
            reserve->filterItems(QList<int>{0, mainOption});
            if (hadChoice && reserveOption != 0 && reserveOption != mainOption)
                reserve->setCurrentByData(mainOption);
        }
    }
}

void StdCabinetChild::recalc()
{
    // Loaded documents and main pump changes alike: the reserve choices are
    // settled before the designation is read.
    refillReservePumpCombos();
    CabinetChild::recalc();
}

QString StdCabinetChild::designation() const
{
    StdCabinetChoice choice;
    choice.powerReserve = intComboValue(fcPowerReserve, -1);
    choice.iface = intComboValue(fcInterface, -1);
    for (int loop = 0; loop < loopCount(); ++loop) {
        const auto index = qint16(loop);
        choice.loops.append({intComboValue(DocKey(fcLoopType, index), -1),
                             intComboValue(DocKey(fcMainPump, index), -1),
                             intComboValue(DocKey(fcReservePump, index), -1)});
    }
    return stdCabinetDesignation(choice);
}

// ---------------------------------------------------------------------------
// FanCabinetChild

FanCabinetChild::FanCabinetChild(const Doc* data) : CabinetChild(data, docFanCabinet)
{
    setupLayout();
    connectControls(true);
    applyToControls();
    updateLoopControls();
}

const QStringList& FanCabinetChild::driveOptions()
{
    return kDriveOptions;
}

QLayout* FanCabinetChild::createInputArea()
{
    QGridLayout* grid = createGeneralRows(dtLMSHFan, 1);
    addInterfaceRow(grid);
    addLoopHeader(grid, 1);
    const QVector<int> driveCodes = optionCodes(kDriveOptions.size());
    addComboRow(grid, DocKey(fcFan, 0), QStringLiteral("Вентилятор"));
    addCodeItems(DocKey(fcFan, 0), kDriveOptions, driveCodes);
    addComboRow(grid, DocKey(fcMainPump, 0), QStringLiteral("Насос"));
    addCodeItems(DocKey(fcMainPump, 0), kDriveOptions, driveCodes);
    setDefaultInterface();
    finishInputGrid(grid);
    return grid;
}

void FanCabinetChild::connectControls(bool on)
{
    geh::TimingScope timing(QStringLiteral("%1(%2), %3()")
                                .arg(QLatin1String(__FILE__))
                                .arg(__LINE__)
                                .arg(QLatin1String(__func__)));
    MdiChild::connectControls(on);
    connectLoopCount(on);
}

QString FanCabinetChild::designation() const
{
    FanCabinetChoice choice;
    choice.iface = intComboValue(fcInterface, -1);
    for (int loop = 0; loop < loopCount(); ++loop) {
        const auto index = qint16(loop);
        choice.loops.append(
            {intComboValue(DocKey(fcFan, index), -1), intComboValue(DocKey(fcMainPump, index), -1)});
    }
    return fanCabinetDesignation(choice);
}
