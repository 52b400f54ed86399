#pragma once

// The choice of the pipe DN before and after the selected device. For every
// standard DN the area shows the highest flow speed the computed flow would have
// in such a pipe, so that the user can keep the speed acceptable. A liquid has
// the same speed on both sides (one "Трубопровод" row); steam and gases change
// density across the device, so they get a row before and a row after it.

#include "engine/pipechoice.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QVector>

class Algorithm;
class QGridLayout;
class QLabel;
class QSmartComboBox;

class PipeSelectionArea : public QObject
{
    Q_OBJECT
public:
    // Builds the combos from a calculation that has just run.
    explicit PipeSelectionArea(const Algorithm& algorithm, QObject* parent = nullptr);
    ~PipeSelectionArea() override;

    // The standard DN series offered, mm.
    static const QVector<int>& standardDns();
    // "DN 50 - максимальная скорость потока перед клапаном 1,46 м/с при
    // расчётном расходе", the figure as the window writes figures.
    static QString itemText(int dn, int location, double speed, bool regulator);

    // Two rows per pipe at the grid's next rows, across its columns: the bold
    // caption, and the combo under it.
    void addToLayout(QGridLayout* grid);
    // The characters a pipe's combo shows: the DN and the speed of the longest
    // item ("DN 500 - максимальная скорость потока после регулятора 100,00 м/с").
    static constexpr int shownCharacters = 70;

    QSmartComboBox* combo(int location) const;
    QList<int> locations() const { return m_combos.keys(); }
    bool isRegulator() const { return m_regulator; }

    // A pipe (not "-- Выбрать --") is current in the combo of the location.
    bool isSelected(int location) const;
    // Every pipe the report needs is chosen.
    bool isComplete() const;
    // The chosen pipe; DN 0 and speed 0 while the area is not complete.
    PipeChoice selected(int location) const;
    QMap<int, PipeChoice> selections() const;
    // Tells the user about the first pipe not chosen; true when all are.
    bool validate();
    // Makes the pipe of that DN current in every combo (0: "-- Выбрать --");
    // a DN not offered changes nothing.
    void setDn(int dn);
    // Deletes the rows and forgets every pipe.
    void clear();

private:
    void addCombo(const Algorithm& algorithm, int location);
    bool checkSelected(int location);

    bool m_regulator = false;
    QMap<int, QPointer<QSmartComboBox>> m_combos;
    QList<PipeChoice> m_choices;
    QList<QPointer<QLabel>> m_labels;
};
