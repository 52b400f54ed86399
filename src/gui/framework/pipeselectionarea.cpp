#include "framework/pipeselectionarea.h"

#include "engine/algorithm.h"
#include "gentools/errorhandle.h"
#include "guitools/smallclasses.h"
#include "vocabulary/common.h"
#include "vocabulary/displaynumber.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

using namespace common;

namespace {

// The words of the captions and item texts, for a valve and for a regulator.
struct DeviceWords
{
    const char* noun;         // "Трубопровод до %1а"
    const char* beforePhrase; // location 0
    const char* afterPhrase;  // location 1
};

const DeviceWords& words(bool regulator)
{
    static const DeviceWords valve{"клапан", " перед клапаном", " после клапана"};
    static const DeviceWords reg{"регулятор", " перед регулятором", " после регулятора"};
    return regulator ? reg : valve;
}

QString locationPhrase(int location, bool regulator)
{
    switch (location) {
    case plBefore:
        return QString::fromUtf8(words(regulator).beforePhrase);
    case plAfter:
        return QString::fromUtf8(words(regulator).afterPhrase);
    default:
        return QString();
    }
}

} // namespace

PipeSelectionArea::PipeSelectionArea(const Algorithm& algorithm, QObject* parent) : QObject(parent)
{
    const InputParams& input = algorithm.input();
    m_regulator = common::isRegulator(DeviceType(input.deviceType()));
    if (input.substanceProperties().isLiquid()) {
        addCombo(algorithm, plSingle);
    } else {
        addCombo(algorithm, plBefore);
        addCombo(algorithm, plAfter);
    }
}

PipeSelectionArea::~PipeSelectionArea()
{
    clear();
}

const QVector<int>& PipeSelectionArea::standardDns()
{
    // The standard series up to DN 500, without DN 450.
    static const QVector<int> dns = [] {
        QVector<int> series = common::standardDns(15, 500);
        series.removeAll(450);
        return series;
    }();
    return dns;
}

QString PipeSelectionArea::itemText(int dn, int location, double speed, bool regulator)
{
    // The speed of the design flow: a valve's rating speaks of the larger flow
    // through the fully open valve, so the item says which one it shows.
    return QStringLiteral("DN %1 - максимальная скорость потока%2 %3 м/с при расчётном расходе")
        .arg(dn)
        .arg(locationPhrase(location, regulator), common::displayNumber(speed, 2));
}

void PipeSelectionArea::addCombo(const Algorithm& algorithm, int location)
{
    auto* combo = new QSmartComboBox();
    // As wide as the DN and its speed need: the words after the speed are cut
    // in the box, and read whole in the list and in the box's tool tip.
    combo->setShownCharacters(shownCharacters);
    combo->addItem(tr("-- Выбрать --"));
    const double flow = algorithm.input().Q();
    for (int dn : standardDns()) {
        const double speed = algorithm.calcPipeFlowSpeed(dn, DevicePosition(location), flow);
        m_choices.append(PipeChoice{dn, speed});
        combo->addItem(itemText(dn, location, speed, m_regulator), m_choices.size() - 1);
    }
    m_combos.insert(location, combo);
}

void PipeSelectionArea::addToLayout(QGridLayout* grid)
{
    const QString noun = QString::fromUtf8(words(m_regulator).noun);
    for (auto it = m_combos.cbegin(); it != m_combos.cend(); ++it) {
        const QString caption = it.key() == plBefore ? QStringLiteral("Трубопровод до %1а").arg(noun)
                                : it.key() == plAfter ? QStringLiteral("Трубопровод после %1а").arg(noun)
                                                      : QStringLiteral("Трубопровод");
        auto* label = new QLabel(caption);
        QFont font = label->font();
        font.setWeight(75);
        label->setFont(font);
        m_labels.append(label);

        // The caption above its pipe: beside it, the caption's width would be
        // taken from the pipe's, which the results column cannot spare.
        auto* box = new QHBoxLayout();
        box->addWidget(it.value());
        // rowCount() of an empty grid is 1 with nothing in row 0.
        const int row = grid->count() == 0 ? 0 : grid->rowCount();
        grid->addWidget(label, row, 0, 1, grid->columnCount(), Qt::AlignLeft | Qt::AlignBottom);
        grid->addLayout(box, row + 1, 0, 1, grid->columnCount());
    }
}

QSmartComboBox* PipeSelectionArea::combo(int location) const
{
    if (!GEH_ASSERT(m_combos.contains(location)))
        return nullptr;
    return m_combos.value(location);
}

bool PipeSelectionArea::isSelected(int location) const
{
    QSmartComboBox* c = combo(location);
    return c && c->currentData().isValid();
}

bool PipeSelectionArea::isComplete() const
{
    if (m_combos.contains(plSingle))
        return isSelected(plSingle);
    return isSelected(plBefore) && isSelected(plAfter);
}

PipeChoice PipeSelectionArea::selected(int location) const
{
    if (!isComplete())
        return PipeChoice();
    const int index = combo(location)->currentData().toInt();
    if (!GEH_ASSERT(index >= 0 && index < m_choices.size()))
        return PipeChoice();
    return m_choices.at(index);
}

QMap<int, PipeChoice> PipeSelectionArea::selections() const
{
    QMap<int, PipeChoice> result;
    for (int location : m_combos.keys())
        result.insert(location, selected(location));
    return result;
}

bool PipeSelectionArea::checkSelected(int location)
{
    if (isSelected(location))
        return true;
    if (QSmartComboBox* c = combo(location))
        c->showValidationError(QString());
    return false;
}

bool PipeSelectionArea::validate()
{
    if (m_combos.contains(plSingle))
        return checkSelected(plSingle);
    return checkSelected(plBefore) && checkSelected(plAfter);
}

void PipeSelectionArea::setDn(int dn)
{
    for (const QPointer<QSmartComboBox>& c : qAsConst(m_combos)) {
        if (!c)
            continue;
        for (int i = 0; i < c->count(); ++i) {
            const QVariant data = c->itemData(i);
            const bool match = dn == 0
                                   ? !data.isValid()
                                   : data.isValid() && data.toInt() >= 0 && data.toInt() < m_choices.size() &&
                                         m_choices.at(data.toInt()).dn == dn;
            if (match) {
                c->setCurrentIndex(i);
                break;
            }
        }
    }
}

void PipeSelectionArea::clear()
{
    // The rows belong to the area: a row left behind would offer a pipe of a
    // calculation that no longer stands.
    for (const QPointer<QLabel>& label : qAsConst(m_labels))
        delete label.data();
    for (const QPointer<QSmartComboBox>& c : qAsConst(m_combos))
        delete c.data();
    m_labels.clear();
    m_combos.clear();
    m_choices.clear();
}
