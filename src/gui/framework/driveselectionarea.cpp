#include "framework/driveselectionarea.h"

#include "guitools/smallclasses.h"
#include "vocabulary/common.h"

#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace {

const int kProtectionClasses[] = {54, 67};
const int kVoltages[] = {dvEither, dv220, dv24};

QLabel* caption(const QString& text)
{
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QSmartComboBox* newCombo()
{
    auto* combo = new QSmartComboBox();
    combo->removeCompleter();
    return combo;
}

} // namespace

DriveSelectionArea::DriveSelectionArea(const DriveWishes& wishes, const QString& designation, QWidget* parent)
    : QWidget(parent), m_wishes(wishes), m_designation(designation), m_signal(newCombo()),
      m_voltage(newCombo()), m_protection(newCombo()), m_drive(newCombo()),
      m_driveCaption(caption(QStringLiteral("Привод:"))), m_description(new QLabel()), m_note(new QLabel())
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* header = caption(QStringLiteral("Электропривод"));
    grid->addWidget(header, 0, 0, 1, 2, Qt::AlignCenter);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    grid->addWidget(caption(QStringLiteral("Управление:")), 1, 0, right);
    grid->addWidget(m_signal, 1, 1, left);
    grid->addWidget(caption(QStringLiteral("Питание:")), 2, 0, right);
    grid->addWidget(m_voltage, 2, 1, left);
    grid->addWidget(caption(QStringLiteral("Степень защиты:")), 3, 0, right);
    grid->addWidget(m_protection, 3, 1, left);
    grid->addWidget(m_driveCaption, 4, 0, right);
    grid->addWidget(m_drive, 4, 1, left);
    for (QLabel* line : {m_description, m_note}) {
        line->setTextFormat(Qt::PlainText);
        line->setAlignment(Qt::AlignCenter);
    }
    grid->addWidget(m_description, 5, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(m_note, 6, 0, 1, 2, Qt::AlignCenter);
    // Read as the results' other lines written by the program, not by the user.
    m_note->setAccessibleDescription(QStringLiteral("изменено программой"));
    m_note->hide();

    for (int voltage : kVoltages)
        m_voltage->addItem(drives::voltageName(voltage), voltage);
    for (int protection : kProtectionClasses)
        m_protection->addItem(QStringLiteral("IP%1").arg(protection), protection);
    m_voltage->setCurrentByData(m_wishes.supplyVoltage);
    m_protection->setCurrentByData(m_wishes.protectionClass);

    for (QSmartComboBox* wish : {m_signal, m_voltage, m_protection})
        connect(wish, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &DriveSelectionArea::takeWishes);
    connect(m_drive, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DriveSelectionArea::takeDrive);
}

void DriveSelectionArea::setValve(int deviceType, int dn, bool preselect)
{
    m_deviceType = deviceType;
    m_dn = dn;
    m_note->hide();
    if (dn <= 0) {
        m_designation.clear();
        hide();
        return;
    }
    // What the area fills in is no choice of the user's.
    const QSignalBlocker blocked(m_signal);
    m_signal->clear();
    for (int signalType : drives::controlSignals(deviceType))
        m_signal->addItem(drives::controlSignalName(signalType), signalType);
    m_signal->setCurrentByData(m_wishes.controlSignalType);
    refill(preselect);
    show();
}

void DriveSelectionArea::refill(bool preselect)
{
    const QVector<DriveOffer> offers = drives::fitting(m_deviceType, m_dn, m_wishes);
    const QSignalBlocker blocked(m_drive);
    m_drive->clear();
    m_drive->addItem(QStringLiteral("-- Без электропривода --"));
    bool kept = false;
    for (const DriveOffer& offer : offers) {
        m_drive->addItem(offer.designation, offer.designation);
        kept = kept || offer.designation == m_designation;
    }
    const QString dropped = kept ? QString() : m_designation;
    if (!kept)
        m_designation.clear();
    if (m_designation.isEmpty() && (preselect || !dropped.isEmpty()) && !offers.isEmpty())
        m_designation = offers.first().designation;
    m_drive->setCurrentByData(m_designation);
    if (m_designation.isEmpty())
        m_drive->setCurrentIndex(0);

    if (!dropped.isEmpty()) {
        QString note = QStringLiteral("Выбранный ранее электропривод %1 не подходит к %2 DN\u00A0%3")
                           .arg(dropped, common::deviceTypeName(common::DeviceType(m_deviceType)))
                           .arg(m_dn);
        if (!m_designation.isEmpty())
            note += QStringLiteral(": выбран %1").arg(m_designation);
        m_note->setText(note);
        m_note->show();
    }
    // Nothing to choose from: the section says so and offers nothing.
    m_drive->setVisible(!offers.isEmpty());
    m_driveCaption->setVisible(!offers.isEmpty());
    showDescription();
}

void DriveSelectionArea::showDescription()
{
    const ElectricDrive* drive = ElectricDriveCatalogue::standard().find(m_designation);
    if (drive)
        m_description->setText(drives::description(*drive));
    else if (m_drive->isHidden() && m_dn > 0)
        // In two lines, about as wide as the combos above.
        m_description->setText(
            drives::noneFitsText(m_deviceType, m_dn, m_wishes)
                .replace(QStringLiteral(" с управлением"), QStringLiteral("\nс управлением")));
    else
        m_description->clear();
    m_description->setVisible(!m_description->text().isEmpty());
}

void DriveSelectionArea::takeWishes()
{
    m_wishes.controlSignalType = m_signal->currentData().toInt();
    m_wishes.supplyVoltage = m_voltage->currentData().toInt();
    m_wishes.protectionClass = m_protection->currentData().toInt();
    // The user sees the list change: a drive the new wishes leave out needs no line.
    refill(true);
    m_note->hide();
    emit changed();
}

void DriveSelectionArea::takeDrive()
{
    m_designation = m_drive->currentData().toString();
    m_note->hide();
    showDescription();
    emit changed();
}
