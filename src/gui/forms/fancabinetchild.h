#pragma once

// The configurators of the ЛМШ control cabinets: the cabinet for hot water and
// heating loops (up to nine loops, each with a loop type, a main and a reserve
// pump) and the cabinet for supply ventilation (one loop with a fan and a pump).
// Each builds the cabinet's order designation from the user's choices, shows it
// and copies it to the clipboard.

#include "framework/mdichild.h"

#include <QVector>

class QLabel;

// What both cabinets share: the general rows, loops that hide beyond the chosen
// count, and the results (the designation with its copy button).
class CabinetChild : public MdiChild, public common::CabinetFields
{
    Q_OBJECT
public:
    CabinetChild(const Doc* data, common::DocType type);

    void recalc() override;
    int inputColumnCount() const override { return 4; }
    int resultColumnCount() const override { return 1; }
    // The designation shown in the results (empty while a choice is missing).
    QString copyText() const override { return m_designation; }

    // The designation of the current choices, whether complete or not.
    virtual QString designation() const = 0;
    // The number of loops chosen (at least 1).
    int loopCount() const;
    // The cabinet by its order designation, once every option is chosen.
    QList<ScheduleRow> scheduleRows() const override;

public slots:
    // Shows the rows and headers of the chosen loops and hides the others.
    void updateLoopControls();

protected:
    // The header, "Общее" and the device type and loop count rows: the type
    // combo holds the device type alone, the count combo the counts 1 to maxLoops.
    QGridLayout* createGeneralRows(common::DeviceType type, int maxLoops);
    // The interface row: RS-232 or RS-485.
    void addInterfaceRow(QGridLayout* grid);
    // The sub-header "Контур k", hidden with its loop.
    void addLoopHeader(QGridLayout* grid, int loop);
    // A combo of coded options ("code - text"), with no option chosen.
    void addCodeItems(const DocKey& key, const QStringList& texts, const QVector<int>& codes);
    // Every combo as wide as its longest option with room before the arrow,
    // the margins and the stretch below the last row.
    void finishInputGrid(QGridLayout* grid);
    // Puts RS-485 forward as the interface of a new cabinet.
    void setDefaultInterface();
    // Connects (on) or disconnects the loop count combo to updateLoopControls().
    void connectLoopCount(bool on);

private:
    // A shown or hidden loop header keeps the height its row had.
    struct LoopHeader
    {
        QLabel* label;
        QGridLayout* grid;
        int row;
        int minimumHeight;
    };
    // The combos of the chosen loops and the general rows without a choice, in
    // the order of the form, by caption; a loop row of a cabinet with several
    // loops shown names its loop ("Контур 2: Основной насос").
    QStringList missingChoices() const;
    // Whether a field belongs to a loop (its key index is the loop's).
    static bool isLoopField(qint16 fieldCode);

    QGridLayout* m_inputGrid = nullptr;
    QVector<LoopHeader> m_loopHeaders;
    QString m_designation;
};

// The cabinet for hot water and heating loops.
class StdCabinetChild : public CabinetChild
{
    Q_OBJECT
public:
    // data: a document read from a file, or null for a new one.
    explicit StdCabinetChild(const Doc* data = nullptr);

    common::DocType docType() const override { return common::docStdCabinet; }
    common::DeviceType deviceType() const override { return common::dtLMSHStd; }
    void connectControls(bool on) override;
    void recalc() override;
    QLayout* createInputArea() override;
    QString designation() const override;

    static constexpr int maxLoops = 9;
    // The pump control options 0 to 9.
    static const QStringList& pumpOptions();

public slots:
    // A reserve pump can only be none or the same as the main pump.
    void refillReservePumpCombos();
};

// The cabinet for supply ventilation.
class FanCabinetChild : public CabinetChild
{
    Q_OBJECT
public:
    // data: a document read from a file, or null for a new one.
    explicit FanCabinetChild(const Doc* data = nullptr);

    common::DocType docType() const override { return common::docFanCabinet; }
    common::DeviceType deviceType() const override { return common::dtLMSHFan; }
    void connectControls(bool on) override;
    QLayout* createInputArea() override;
    QString designation() const override;

    // The drive control options 0 to 8 of the fan and the pump.
    static const QStringList& driveOptions();
};
