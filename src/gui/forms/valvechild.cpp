#include "forms/valvechild.h"

#include "framework/driveselectionarea.h"
#include "framework/pipeselectionarea.h"
#include "framework/radioarea.h"
#include "framework/unusablevalues.h"
#include "guitools/smallclasses.h"
#include "reports/valvepdfgenerator.h"
#include "vocabulary/displaynumber.h"
#include "vocabulary/fieldcodes.h"
#include "vocabulary/symbols.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>

using namespace common;

namespace {

// The valve series in the order they are offered; steam and gases take only
// the steam valve.
const DeviceType kLiquidValves[] = {dtLMK2, dtLMK3, dtLMKP};
const DeviceType kOtherValves[] = {dtLMKP};

} // namespace

ValveChild::ValveChild(const Doc* data) : SelectionChild(data, docValve)
{
    setupLayout();
    fillControls();
    fillValveTypes();
    connectControls(true);
    applyToControls();
}

QLayout* ValveChild::createInputArea()
{
    return createValveInputGrid(QStringLiteral("Подающий трубопровод|Tпод"));
}

DeviceType ValveChild::deviceType() const
{
    return DeviceType(intComboValue(Doc::fcDeviceType, dtEmpty));
}

int ValveChild::resultColumnCount() const
{
    return isLiquidMedium() ? 5 : 1;
}

// Steam and gases are met at one place only: the supply pipe before the
// consumer, where the valve sits.
bool ValveChild::hasSupplyTemperature() const
{
    return isLiquidMedium() || intComboValue(fcInstallPlace, 0) == ipSupply;
}

bool ValveChild::hasReturnTemperature() const
{
    return isLiquidMedium() || intComboValue(fcInstallPlace, 0) != ipSupply;
}

bool ValveChild::usePhaseLimits() const
{
    return valvePressuresGiven();
}

const ValveResultItem* ValveChild::chosenValve() const
{
    return candidateAt(m_algorithm.results(), chosenIndex());
}

const ResultItem* ValveChild::candidate(int index) const
{
    return candidateAt(m_algorithm.results(), index);
}

void ValveChild::fillValveTypes()
{
    auto* combo = ctrl<QComboBox>(Doc::fcDeviceType);
    if (!combo)
        return;
    const int previous = intComboValue(Doc::fcDeviceType, dtEmpty);
    const bool first = combo->count() == 0;

    const bool liquid = isLiquidMedium();
    const auto begin = liquid ? std::begin(kLiquidValves) : std::begin(kOtherValves);
    const auto end = liquid ? std::end(kLiquidValves) : std::end(kOtherValves);
    // Every input recalculates, and the series change with the medium alone: a
    // list filled anew on every keystroke would be measured and painted anew.
    bool same = combo->count() == int(end - begin);
    for (auto it = begin; same && it != end; ++it) {
        const int i = int(it - begin);
        same = combo->itemData(i).toInt() == int(*it) && combo->itemText(i) == deviceTypeName(*it, true);
    }
    if (!same) {
        combo->clear();
        for (auto it = begin; it != end; ++it)
            combo->addItem(deviceTypeName(*it, true), int(*it));
    }

    int selected = combo->findData(previous) >= 0 ? previous : first ? int(dtLMK2) : int(dtEmpty);
    if (combo->count() == 1)
        selected = combo->itemData(0).toInt();
    combo->setCurrentIndex(combo->findData(selected));
}

ValveInputParams ValveChild::inputFromControls() const
{
    ValveInputParams input;
    fillCommonInputs(input);
    input.valveType = deviceType();
    input.P1 = doubleValue(fcP1);
    input.P2 = doubleValue(fcP2);
    input.dP = doubleValue(fcPressureDrop);
    input.dPru = doubleValue(fcRegulatedDrop);
    return input;
}

void ValveChild::updateInputRows()
{
    // What follows from the user's choices is no modification of its own.
    const SignalsPaused paused(this);
    fillValveTypes();
    const bool liquid = isLiquidMedium();
    setInputEnabled(fcInstallPlace, liquid);
    if (!liquid)
        ctrl<QSmartComboBox>(fcInstallPlace)->setCurrentByData(int(ipSupply));
    updateTemperatureRows();
    setInputVisible(fcRegulatedDrop, liquid);
    ctrl<RadioArea>(fcFlowMode)
        ->setItemEnabled(InputParams::flowFromHeatLoad, liquid, InputParams::flowGivenDirectly);
    updateFlowUnits();
    updateConcentrationRow();

    const QString unit = ctrl<QComboBox>(fcPressureUnit)->currentText();
    for (qint16 code : {qint16(fcP2), qint16(fcPressureDrop), qint16(fcRegulatedDrop)})
        if (QLabel* sub = subLabel(code))
            sub->setText(unit);
    limitTemperature(inputFromControls());

    ValveInputParams input = inputFromControls();
    updateHeatLoadRows(input);
    showDerivedValue(ctrl<QDoubleSpinBox>(fcPressureDrop), doubleValue(fcP1) - doubleValue(fcP2));
}

bool ValveChild::calculate()
{
    m_input = inputFromControls();
    return m_algorithm.calc(m_input);
}

void ValveChild::addDetails(QGridLayout* grid)
{
    QGridLayout* details = addDetailsGrid(grid);
    const SubstanceProperties medium = m_algorithm.substanceProperties();
    const QString cubicMetresPerKg = QStringLiteral("м%1/кг").arg(common::cubedSign);
    if (medium.isLiquid())
        addDensity(details);
    else if (medium.isSteam())
        results().addResultValueRow(details, 0, QStringLiteral("Удельный объём пара до клапана"),
                                    cubicMetresPerKg, m_algorithm.steamSpecificVolume(BeforeDevice), 4);
    addKv(details);

    if (medium.is(stWater))
        addSaturationPressure(details, QStringLiteral("в клапане"));
    else if (medium.isSteam())
        results().addResultValueRow(details, 0, QStringLiteral("Удельный объём пара после клапана"),
                                    cubicMetresPerKg, m_algorithm.steamSpecificVolume(AfterDevice), 4);
    else
        results().addTextCell(details, 0, QString());
}

QStringList ValveChild::ratingCells(const ValveResultItem& item) const
{
    if (resultColumnCount() == 1)
        return {};
    return QStringList{displayNumber(item.Kreserve, 2), displayNumber(item.avtoritet, 2)} + riskCells(item);
}

void ValveChild::addResults(QGridLayout* grid)
{
    addDetails(grid);

    QStringList columns{QStringLiteral("Клапан")};
    if (resultColumnCount() > 1)
        columns << QStringLiteral("Коэффициент запаса") << QStringLiteral("Внешний авторитет")
                << QStringLiteral("Вероятность кавитации в клапане")
                << QStringLiteral("Вероятность шума и вибрации в клапане");
    addCandidateHeader(grid, columns);

    const QList<ValveResultItem>& items = m_algorithm.results();
    setExplanations(m_algorithm.explanations());
    // The safety factor, the authority and the cavitation cells show a
    // criterion each; the noise grade is no criterion of the valves.
    const QList<explain::Criterion::Kind> judgedBy{
        explain::Criterion::SafetyFactor, explain::Criterion::Authority, explain::Criterion::Cavitation};
    // Too high a speed in the pipe of the valve's DN is a fault of the valve
    // itself: its designation is marked.
    const explain::Criterion::Kind speed = explain::Criterion::PipeSpeed;
    const auto addRow = [&](int i) {
        // A valve that meets all four criteria is the one to recommend.
        addCandidateRow(grid, i, items.at(i), items.at(i).score() == 4, ratingCells(items.at(i)), judgedBy,
                        &speed);
    };
    QList<QPair<QString, int>> proposed;
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).rejected)
            continue;
        addRow(i);
        proposed.append({items.at(i).name(true), i});
    }
    if (rejectedMode()) {
        addRejectedHeader(grid);
        for (int i = 0; i < items.size(); ++i)
            if (items.at(i).rejected)
                addRow(i);
    }
    addResultNotes(grid);

    addChoice(grid, QStringLiteral("Клапан"), proposed);
    connect(choiceCombo(), QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ValveChild::onUserValveChanged);

    results().addBlankRow(grid);
    addDimensions(grid);
}

DriveSelectionArea* ValveChild::driveArea() const
{
    return m_driveArea;
}

void ValveChild::addChoiceSections(QGridLayout* choice)
{
    // A parent from the start: a widget shown without one would be a window of its own.
    auto* area = new DriveSelectionArea(m_driveWishes, m_driveDesignation, this);
    results().addResultWidget(area);
    choice->addWidget(area, choice->rowCount(), 0, Qt::AlignCenter);
    m_driveArea = area;
    // The kept valve is the one the kept drive was chosen for: it still fits.
    const ValveResultItem* valve = chosenValve();
    area->setValve(valve ? valve->deviceType : dtEmpty, valve ? valve->dn : 0, false);
    connect(area, &DriveSelectionArea::changed, this, &ValveChild::takeDrive);
}

void ValveChild::candidateDropped()
{
    m_droppedDrive = m_driveDesignation;
    if (m_driveDesignation.isEmpty())
        return;
    results().noteChange(QStringLiteral("Электропривод %1 снят вместе с клапаном").arg(m_driveDesignation));
    m_driveDesignation.clear();
}

void ValveChild::candidateRestored()
{
    m_driveDesignation = m_droppedDrive;
}

void ValveChild::onUserValveChanged()
{
    if (!m_driveArea)
        return;
    const ValveResultItem* valve = chosenValve();
    // A valve chosen where there was none comes with the first drive that fits.
    const bool first = m_driveArea->isHidden();
    m_driveArea->setValve(valve ? valve->deviceType : dtEmpty, valve ? valve->dn : 0, first);
    takeDrive();
}

void ValveChild::takeDrive()
{
    if (!m_driveArea)
        return;
    m_driveWishes = m_driveArea->wishes();
    m_driveDesignation = m_driveArea->designation();
    noteChoiceChanged();
}

void ValveChild::storeResultFields(Doc& target) const
{
    SelectionChild::storeResultFields(target);
    if (m_driveDesignation.isEmpty() && m_driveWishes == DriveWishes())
        return;
    target.setValue(DocKey(DriveFields::fcDriveSignal), m_driveWishes.controlSignalType);
    target.setValue(DocKey(DriveFields::fcDriveVoltage), m_driveWishes.supplyVoltage);
    target.setValue(DocKey(DriveFields::fcDriveProtection), m_driveWishes.protectionClass);
    if (!m_driveDesignation.isEmpty())
        target.setValue(DocKey(DriveFields::fcDriveDesignation), m_driveDesignation);
}

void ValveChild::applyResultFields(const Doc& stored, QMap<DocKey, Doc::FieldRepair>& repaired,
                                   UnusableValues& unusable)
{
    SelectionChild::applyResultFields(stored, repaired, unusable);
    DriveWishes wishes;
    QString designation;
    bool designationStored = false;
    QStringList unreadable;
    for (const DocKey& key : stored.keys()) {
        if (key.fieldCode < DriveFields::fcDriveSignal || key.fieldCode > DriveFields::fcDriveDesignation)
            continue;
        // A value of the wrong kind was cleared by the repair of the document.
        const bool cleared = repaired.remove(key) > 0;
        const QVariant value = stored.value(key);
        const int number = value.toInt();
        bool usable = !cleared && !value.isNull() && key.index == 0;
        switch (key.fieldCode) {
        case DriveFields::fcDriveSignal:
            usable = usable && drives::controlSignals(dtLMK2).contains(number);
            if (usable)
                wishes.controlSignalType = number;
            break;
        case DriveFields::fcDriveVoltage:
            usable = usable && (number == dvEither || number == dv220 || number == dv24);
            if (usable)
                wishes.supplyVoltage = number;
            break;
        case DriveFields::fcDriveProtection:
            usable = usable && (number == 54 || number == 67);
            if (usable)
                wishes.protectionClass = number;
            break;
        default:
            designationStored = true;
            if (usable)
                designation = value.toString();
            // Judged below, against the valve and the wishes.
            continue;
        }
        if (!usable)
            unreadable << UnusableValues::fieldDetail(stored, key, QStringLiteral("не задано"));
    }
    // A drive is taken back only for the kept valve and for the wishes it was
    // chosen with; a drive the catalogue does not know fits no valve.
    const bool dropped = designationStored && (designation.isEmpty() ||
                                               !drives::fits(designation, keptSeries(), keptDn(), wishes));
    if (dropped) {
        unreadable << UnusableValues::fieldDetail(stored, DocKey(DriveFields::fcDriveDesignation),
                                                  QStringLiteral("не подходит к выбранному клапану"));
        designation.clear();
    }
    // Named once, however many of its fields were of no use.
    if (!unreadable.isEmpty())
        unusable.addShown(QStringLiteral("Электропривод"),
                          dropped ? QStringLiteral("не выбран") : QStringLiteral("условия выбора не заданы"),
                          unreadable.join(QLatin1Char('\n')));
    m_driveWishes = wishes;
    m_driveDesignation = designation;
}

void ValveChild::showPdf()
{
    if (!checkChoice(QStringLiteral("Необходимо выбрать клапан")))
        return;
    if (const std::unique_ptr<PdfGenerator> report = writtenReport())
        report->openPdf();
}

std::unique_ptr<PdfGenerator> ValveChild::writtenReport() const
{
    const ValveResultItem* valve = chosenValve();
    if (!valve || !choiceComplete())
        return nullptr;
    ValveReport report;
    report.input = m_algorithm.valveInput();
    report.item = *valve;
    report.position = positionMark();
    if (pipeArea())
        report.pipes = pipeArea()->selections();
    if (const ElectricDrive* drive = ElectricDriveCatalogue::standard().find(m_driveDesignation)) {
        report.driveDesignation = drive->m_designation;
        report.driveDescription = drives::description(*drive);
    }
    auto generator = std::make_unique<ValvePdfGenerator>();
    generator->write(report);
    return generator;
}
