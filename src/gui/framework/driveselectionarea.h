#pragma once

// "Электропривод": the electric drive of the chosen control valve, picked from
// the maker's catalogue. The user says what the drive must do (its control
// signal, supply voltage and protection class); the area offers the drives
// that fit the valve and do it, and says in words what the chosen one is.

#include "engine/electricdrive.h"

#include <QString>
#include <QWidget>

class QLabel;
class QSmartComboBox;

class DriveSelectionArea : public QWidget
{
    Q_OBJECT
public:
    // The wishes and the drive chosen so far (empty: none); the area shows
    // nothing until setValve() names a valve.
    DriveSelectionArea(const DriveWishes& wishes, const QString& designation, QWidget* parent = nullptr);

    // The valve the drive is for (common::DeviceType and DN; DN 0: no valve,
    // the area hides and forgets its drive). The drives are offered anew; a
    // chosen drive that does not fit the valve is dropped with a line under
    // the list. With `preselect`, the first fitting drive is chosen when
    // none is.
    void setValve(int deviceType, int dn, bool preselect);

    DriveWishes wishes() const { return m_wishes; }
    // The chosen drive; empty while none is.
    QString designation() const { return m_designation; }

    QSmartComboBox* signalCombo() const { return m_signal; }
    QSmartComboBox* voltageCombo() const { return m_voltage; }
    QSmartComboBox* protectionCombo() const { return m_protection; }
    QSmartComboBox* driveCombo() const { return m_drive; }
    // What the chosen drive is in words, or that none fits.
    QLabel* descriptionLabel() const { return m_description; }
    // The line that tells of a drive dropped; hidden while there is none.
    QLabel* noteLabel() const { return m_note; }

signals:
    // The user changed a wish or the drive.
    void changed();

private slots:
    void takeWishes();
    void takeDrive();

private:
    // Fills the drive list for the valve and the wishes; a chosen drive it
    // leaves out is told under the list, with the one chosen instead.
    void refill(bool preselect);
    void showDescription();

    DriveWishes m_wishes;
    QString m_designation;
    int m_deviceType = 0;
    int m_dn = 0;

    QSmartComboBox* m_signal;
    QSmartComboBox* m_voltage;
    QSmartComboBox* m_protection;
    QSmartComboBox* m_drive;
    QLabel* m_driveCaption;
    QLabel* m_description;
    QLabel* m_note;
};
