#pragma once

// The document window "Клапан": the installation described (medium, pressures,
// temperatures, flow or heat load) and the kind of control valve chosen; the
// window selects the valves of that series that can serve the task, shows them
// with their safety factor, authority, cavitation and noise risk, lets the user
// choose one valve and the pipe DN around it, and writes the report of the choice.

#include "engine/electricdrive.h"
#include "engine/inputparams.h"
#include "engine/valvealgorithm.h"
#include "forms/selectionchild.h"

#include <QPointer>

class DriveSelectionArea;

class ValveChild : public SelectionChild
{
    Q_OBJECT
public:
    // data: a document read from a file, or null for a new one.
    explicit ValveChild(const Doc* data = nullptr);

    common::DocType docType() const override { return common::docValve; }
    // The valve type chosen in "Тип клапана".
    common::DeviceType deviceType() const override;
    int inputColumnCount() const override { return 4; }
    // Five columns of ratings for a liquid; steam and gases only name the valve.
    int resultColumnCount() const override;
    bool hasSupplyTemperature() const override;
    bool hasReturnTemperature() const override;
    QLayout* createInputArea() override;
    Algorithm* algorithm() override { return &m_algorithm; }
    bool usePhaseLimits() const override;

    const ValveAlgorithm& valveAlgorithm() const { return m_algorithm; }
    // The candidate chosen under "Ваш выбор", or null.
    const ValveResultItem* chosenValve() const;
    // "Электропривод" of the current results; null after a refused task.
    DriveSelectionArea* driveArea() const;
    // The drive chosen with the valve; empty while none is.
    QString driveDesignation() const { return m_driveDesignation; }
    std::unique_ptr<PdfGenerator> writtenReport() const override;
    // The valve, and its drive when one is chosen.
    QList<ScheduleRow> scheduleRows() const override;

public slots:
    // The user picked a valve: the drives that fit it are offered.
    void onUserValveChanged();
    void showPdf() override;

protected:
    const ResultItem* candidate(int index) const override;
    int candidateCount() const override { return m_algorithm.results().size(); }
    // The input rows follow the medium, the units and the pressures.
    void updateInputRows() override;
    bool calculate() override;
    void addResults(QGridLayout* grid) override;
    void addChoiceSections(QGridLayout* choice) override;
    void candidateDropped() override;
    void candidateRestored() override;
    // The drive wishes and the drive are part of the document, as the valve is.
    void storeResultFields(Doc& target) const override;
    void applyResultFields(const Doc& stored, QMap<DocKey, Doc::FieldRepair>& repaired,
                           UnusableValues& unusable) override;

private slots:
    // The user changed the drive's wishes or the drive.
    void takeDrive();

private:
    // The valve series offered for the medium, keeping the user's choice while
    // it is still offered.
    void fillValveTypes();
    ValveInputParams inputFromControls() const;
    void addDetails(QGridLayout* grid);
    QStringList ratingCells(const ValveResultItem& item) const;

    ValveAlgorithm m_algorithm;
    ValveInputParams m_input;
    DriveWishes m_driveWishes;
    QString m_driveDesignation;
    // The drive that went with a dropped valve, until the valve is kept again.
    QString m_droppedDrive;
    QPointer<DriveSelectionArea> m_driveArea;
};
