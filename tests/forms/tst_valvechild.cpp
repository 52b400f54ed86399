// The valve selection window driven as a user drives it: the worked examples
// typed in and read back from the results, the rows following the medium, the
// choice of valve and pipes for the report.

#include "forms/valvechild.h"
#include "tst_valvechild_formreader.h"

using namespace formreader;
using Host = Hosted<ValveChild>;

namespace {

// Water, 6 / 5.5 bar gauge, 10 m³/h at 90 °C: DN 40 Kvs 16 meets all four criteria.
const char* const kRecommendedTyped = "102=6 103=5.5 1032=0.3 108=10 105=90 107=70";

Task water(const char* typed)
{
    return {stWater, dtLMK2, ipSupply, pkExcess, pmBar, wfM3h, typed};
}

void enter(ValveChild* form, const Task& t)
{
    formreader::enter(form, t, 32767);
}

const QString kVolumeBefore = QStringLiteral("Удельный объём пара до клапана:");
const QString kVolumeAfter = QStringLiteral("Удельный объём пара после клапана:");
const QString kChoose = QStringLiteral("-- Выбрать --");

// The detail lines of "Ps=0.101 ro=958.4 Kv=13.89 v1=0.4639 v2=0.6400" in the order given.
QStringList details(const char* list)
{
    const QMap<QString, QString> captions{
        {QStringLiteral("Ps"), QStringLiteral("Абс. давление насыщенных<br>паров в клапане:")},
        {QStringLiteral("ro"), QStringLiteral("Плотность рабочей среды:")},
        {QStringLiteral("Kv"), QStringLiteral("Расчётный Kv:")},
        {QStringLiteral("v1"), kVolumeBefore},
        {QStringLiteral("v2"), kVolumeAfter}};
    QStringList result;
    for (const QString& d : QString::fromLatin1(list).split(QLatin1Char(' ')))
        result << captions.value(d.section(QLatin1Char('='), 0, 0)) + QStringLiteral(" = ") +
                      d.section(QLatin1Char('='), 1);
    return result;
}

// "ЛМК-2 DN 80 Kvy 100|cells" for each "80/100|cells" of the list; a leading
// "*" (bold) is kept, a row without cells takes the cells of the row before.
QStringList candidates(const char* series, const char* list)
{
    QStringList result;
    QString cells;
    for (QString d : QString::fromUtf8(list).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool bold = d.startsWith(QLatin1Char('*'));
        if (d.contains(QLatin1Char('|')))
            cells = d.mid(d.indexOf(QLatin1Char('|'))).replace(QLatin1Char('_'), QLatin1Char(' '));
        d = d.remove(QLatin1Char('*')).section(QLatin1Char('|'), 0, 0);
        result << QStringLiteral("%1%2 DN %3 Kvy %4%5")
                      .arg(QLatin1String(bold ? "*" : ""), QString::fromUtf8(series),
                           d.section(QLatin1Char('/'), 0, 0), d.section(QLatin1Char('/'), 1), cells);
    }
    return result;
}

// The worked examples: the flow shown, the details, the proposed and the
// rejected candidates, the note on a high drop.
const struct
{
    const char* name;
    Task task;
    const char* flow;
    const char* details;
    const char* series;
    const char* proposed;
    const char* rejected;
    bool highDrop;
} kExamples[] = {
    {"1: ЛМК-2, propylene glycol 50 %, 2.5 Gcal/h",
     {stPropyleneGlycol, dtLMK2, ipSupply, pkExcess, pmBar, wfTh,
      "141=50 102=6 103=5 1032=0.5 106=2.5 105=100 107=70"},
     "91.81",
     "ro=984.4 Kv=92.53",
     "ЛМК-2",
     "80/100|1.08|0.65|низкая|низкая 100/125|1.35|0.59|низкая|низкая 100/100|1.08|0.65|низкая|низкая",
     "125/125|1.35|0.59|низкая|низкая 125/100|1.08|0.65|низкая|низкая 150/100",
     false},
    {"2: ЛМК-2, water, 91 Gcal/h",
     {stWater, dtLMK2, ipSupply, pkExcess, pmAtm, wfM3h, "102=5 103=3.2 1032=0.6 106=91 105=100 107=42"},
     "1636.76",
     "Ps=0.101 ro=958.4 Kv=1186.49",
     "ЛМК-2",
     "300/1600|1.35|0.69|низкая|ниже_средней 300/1250|1.05|0.74|низкая|ниже_средней",
     "",
     false},
    {"3: ЛМК-3, water, return pipe, absolute: the high-drop note",
     {stWater, dtLMK3, ipReturn, pkAbsolute, pmAtm, wfTh, "102=5 103=3 1032=0.6 106=1 105=94 107=65"},
     "34.43",
     "Ps=0.025 ro=980.6 Kv=24.42",
     "ЛМК-3",
     "40/25|1.02|0.77|низкая|ниже_средней 50/32|1.31|0.71|низкая|ниже_средней",
     "",
     true},
    {"4: ЛМК-П, superheated steam: one column",
     {stSuperheatedSteam, dtLMKP, ipSupply, pkAbsolute, pmBar, wfKgh, "102=4.8 103=3.5 108=1345.6 105=220"},
     "1345.60",
     "Kv=29.86 v1=0.4639 v2=0.6400",
     "ЛМК-П",
     "50/40 50/32 65/40",
     "80/40",
     false},
    // DN 32 is too narrow for the flow, Kvs 25 too large: DN 40 Kvs 16
    // meets all four criteria, and so may a rejected valve.
    {"water, 10 m³/h: the valves meeting every criterion in bold", water(kRecommendedTyped), "10.00",
     "Ps=0.070 ro=965.4 Kv=13.89", "ЛМК-2",
     "32/16|1.15|0.59|низкая|низкая 40/25|1.80|0.48|низкая|низкая *40/16|1.15|0.59|низкая|низкая",
     "50/25|1.80|0.48|низкая|низкая *50/16|1.15|0.59|низкая|низкая 65/25|1.80|0.48|низкая|низкая", false},
};

const QString kInvalid = QStringLiteral("Недопустимые входные данные:<br>");
const QString kMissing = QStringLiteral("Не заполнены входные данные");

// A refused task shows its message alone; under "Не заполнены входные
// данные" the form names the empty inputs in the order of its rows.
const struct
{
    const char* name;
    Task task;
    QString message;
    const char* named;
} kRefused[] = {
    {"P2 above P1: refused, nothing named", water("102=6 103=7 1032=0.3 108=10 105=90 107=0"),
     kInvalid + QStringLiteral("давление перед клапаном должно превышать давление после клапана"), ""},
    {"P1 above 2.5 MPa gauge", water("102=25.5 103=5.5 1032=0.3 108=10 105=90 107=70"),
     kInvalid +
         QStringLiteral("слишком высокое давление перед клапаном. Избыточное давление не должно превышать "
                        "2.5 МПа"),
     ""},
    {"the empty inputs named in the order of the rows", water("102=6 103=0 1032=0 108=0 105=90 107=0"),
     kMissing, "P2 ΔPру Tобр G"},
    {"no catalogue valve is large enough", water("102=6 103=5.5 1032=0.3 108=99999999 105=90 107=70"),
     QStringLiteral("Не удалось найти модель с подходящим kv"), ""},
};

} // namespace

class TestValveChild : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples_data()
    {
        QTest::addColumn<int>("i");
        for (int i = 0; i < int(std::size(kExamples)); ++i)
            QTest::newRow(kExamples[i].name) << i;
    }

    // Each example read from the window, with the rejected valves shown and
    // hidden again, then saved and reopened.
    void workedExamples()
    {
        QFETCH(int, i);
        const auto& e = kExamples[i];
        orxtest::MessageCapture capture;
        Host host;
        enter(host.form, e.task);
        QCOMPARE(host.form->ctrl<QDoubleSpinBox>(108)->text(), QString::fromLatin1(e.flow));
        const Shown shown = read(host.form);
        QCOMPARE(shown.message, QString());
        QCOMPARE(detailList(shown.details), details(e.details));
        const QStringList proposed = candidates(e.series, e.proposed);
        QCOMPARE(shown.proposed, proposed);
        QCOMPARE(shown.rejected, QStringList());
        QCOMPARE(shown.hasHighDropNote, e.highDrop);
        QVERIFY(shown.hasReportButton);
        QCOMPARE(shown.columns.size(), e.task.device == dtLMKP ? 1 : 5);
        // The choice offers the proposed valves by their full designation.
        QStringList choices{kChoose};
        for (QString row : proposed)
            choices << deviceTypeName(DeviceType(e.task.device), true) +
                           row.remove(QLatin1Char('*')).section(QLatin1Char('|'), 0, 0).mid(5);
        QCOMPARE(shown.choices, choices);

        toggleRejectedMode(host.form);
        QCOMPARE(read(host.form).proposed, proposed);
        QCOMPARE(read(host.form).rejected, candidates(e.series, e.rejected));
        toggleRejectedMode(host.form);
        QCOMPARE(read(host.form).rejected, QStringList());
        checkReopened(host.form, shown);
        QCOMPARE(capture.count(), 0);
    }

    void mediumSwitchesAdaptTheRows()
    {
        orxtest::MessageCapture capture;
        Host host;
        ValveChild* form = host.form;
        auto* types = form->ctrl<QComboBox>(32767);
        auto* flowMode = form->ctrl<RadioArea>(104);
        // The rows of the supply and the return temperature and of the regulated section.
        const auto rowStates = [form] {
            QString states;
            for (QWidget* row : {form->control(105), form->control(107), form->control(1032)})
                states += QLatin1Char(!row->isVisible() ? '-' : row->isEnabled() ? 'E' : 'D');
            return states;
        };
        flowMode->setCheckedId(2);
        // Water to saturated steam while ЛМК-2 is chosen.
        orxtest::selectData(form->ctrl<QComboBox>(121), stSaturatedSteam);
        QCOMPARE(types->count(), 1);
        QCOMPARE(int(form->deviceType()), int(dtLMKP));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QVERIFY(!form->control(131)->isEnabled() && !flowMode->button(2)->isEnabled());
        QCOMPARE(rowStates(), QStringLiteral("D--"));
        QCOMPARE(flowMode->checkedId(), 1);
        QVERIFY(!form->control(106)->isVisible() && form->control(108)->isEnabled());
        // Back to water: all three series again, the steam valve stays chosen.
        orxtest::selectData(form->ctrl<QComboBox>(121), stWater);
        QCOMPARE(types->count(), 3);
        QCOMPARE(int(form->deviceType()), int(dtLMKP));
        QVERIFY(form->control(131)->isEnabled() && flowMode->button(2)->isEnabled());
        QCOMPARE(rowStates(), QStringLiteral("EEE"));
        // A three-way valve on the return pipe, then gas: the steam valve on the supply pipe.
        orxtest::selectData(types, dtLMK3);
        orxtest::selectData(form->ctrl<QComboBox>(131), ipReturn);
        orxtest::selectData(form->ctrl<QComboBox>(121), stAir);
        QCOMPARE(int(form->deviceType()), int(dtLMKP));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QCOMPARE(rowStates(), QStringLiteral("E--"));
        QCOMPARE(capture.count(), 0);
    }

    void pipesFollowTheChosenValveIntoTheReport()
    {
        Host host;
        ValveChild* form = host.form;
        // Saturated steam, 4.8 / 3.5 bar absolute, 700 kg/h: a pipe before and one after the valve.
        enter(form,
              {stSaturatedSteam, dtLMKP, ipSupply, pkAbsolute, pmBar, wfKgh, "102=4.8 103=3.5 108=700"});
        QCOMPARE(read(form).choices.value(2), QStringLiteral("Клапан для пара ЛМК-П DN 40 Kvy 25"));
        const QMap<int, QString> unchosen{{0, kChoose}, {1, kChoose}};
        QCOMPARE(pipeTexts(form), unchosen);
        form->choiceCombo()->setCurrentIndex(2);
        QCOMPARE(form->stdDn(), 40);
        QVERIFY(pipeTexts(form).value(0).startsWith(
            QStringLiteral("DN 40 - максимальная скорость потока перед клапаном")));
        QVERIFY(pipeTexts(form).value(1).startsWith(
            QStringLiteral("DN 40 - максимальная скорость потока после клапана")));
        // Any modification rebuilds the results: the choice is gone.
        orxtest::typeInto(form->ctrl<QDoubleSpinBox>(108), QStringLiteral("710"));
        QCOMPARE(form->choiceCombo()->currentIndex(), 0);
        QCOMPARE(pipeTexts(form), unchosen);

        // A liquid has one pipe for both sides.
        enter(form, water(kRecommendedTyped));
        form->choiceCombo()->setCurrentIndex(3);
        QCOMPARE(pipeTexts(form),
                 (QMap<int, QString>{{2, QStringLiteral("DN 40 - максимальная скорость потока 2,21 м/с")}}));
        form->choiceCombo()->setCurrentIndex(0);
        checkReport(form, 3, QStringLiteral("Необходимо выбрать клапан"),
                    QStringLiteral("Клапан_регулирующий_ОРИМАКС_"));
    }

    void refusedTasksShowTheMessageOnly_data()
    {
        QTest::addColumn<int>("i");
        for (int i = 0; i < int(std::size(kRefused)); ++i)
            QTest::newRow(kRefused[i].name) << i;
    }

    void refusedTasksShowTheMessageOnly()
    {
        QFETCH(int, i);
        orxtest::MessageCapture capture;
        Host host;
        enter(host.form, kRefused[i].task);
        checkRefused(host.form, kRefused[i].message);
        const QStringList named =
            QString::fromUtf8(kRefused[i].named).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(bool(visibleLabel(host.form, QStringLiteral("Пустые поля: <i>") +
                                                  named.join(QStringLiteral("</i>, <i>")) +
                                                  QStringLiteral("</i>"))),
                 !named.isEmpty());
        QCOMPARE(capture.count(), 0);
    }
};

ORX_GUI_TEST_MAIN(TestValveChild)
#include "tst_valvechild.moc"
