// The regulator selection window driven as a user drives it: the worked
// examples typed in and read back from the results, the pressure rows of each
// regulation task, the balance of the losses of the differential scheme, the
// steam regulator, the report, a document reopened.

#include "forms/regulatorchild.h"
#include "tst_valvechild_formreader.h"

using namespace formreader;
using Host = Hosted<RegulatorChild>;

namespace {

// The field order of a task: medium, regulation task, place, pressure kind, pressure unit, flow unit, typed.
const char* const kTyped1 = "141=10 1020=5 1021=1 1036=1 1035=2 106=2 105=100 107=46";
const char* const kTyped3 = "1020=6 1021=4 1036=0.5 1035=1.3 106=0.15 105=100 107=47.5";
const Task kExample1{stPropyleneGlycol, rtDiffPressure, ipReturn, pkAbsolute, pmBar, wfM3h, kTyped1};
// The pressure before the regulator is kept in the return pipe.
const Task kExample2{stWater, rtUpstream, ipReturn, pkExcess, pmAtm, wfM3h, "102=8 103=4.1 108=38.88 107=46"};
const Task kExample3{stWater, rtDiffPressure, ipSupply, pkAbsolute, pmBar, wfM3h, kTyped3};

void enter(RegulatorChild* form, const Task& t)
{
    formreader::enter(form, t, 130);
}

// Whether two controls stand on one row of the grid, as the eye sees it.
bool onSameRow(RegulatorChild* form, qint16 a, qint16 b)
{
    form->layout()->activate();
    return sameRow(form, form->control(a), form->control(b));
}

bool allVisible(RegulatorChild* form, const QList<qint16>& codes, bool visible)
{
    for (qint16 code : codes)
        if (form->control(code)->isVisible() != visible)
            return false;
    return true;
}

// "ЛМР-Д DN 40 Kvy 25" and the cells for each "40/25" of the list.
QStringList candidates(const char* series, const char* list, const char* cells)
{
    QStringList result;
    for (const QString& d : QString::fromUtf8(list).split(QLatin1Char(' ')))
        result << QStringLiteral("%1 DN %2 Kvy %3%4")
                      .arg(QString::fromUtf8(series), d.section(QLatin1Char('/'), 0, 0),
                           d.section(QLatin1Char('/'), 1), QString::fromUtf8(cells));
    return result;
}

// Whether the dimension table of a series stands under the results.
bool dimensionTableShown(RegulatorChild* form)
{
    for (SmartLabel* label : form->findChildren<SmartLabel*>())
        if (label->isVisible() && label->text().contains(QStringLiteral("Номинальный диаметр DN, мм")))
            return true;
    return false;
}

const QList<qint16> kSchemeRows{1020, 1021, 1035, 1036, 10371, 1037};
const QList<qint16> kPressureRows{102, 103, 1031};
const char* const kDiff = " (0,04 - 0,70 МПа)|низкая|ниже средней";
const QString kDensity = QStringLiteral("Плотность рабочей среды: = ");
const QString kKv = QStringLiteral("Расчётный Kv: = ");
const QString kSaturation = QStringLiteral("Абс. давление насыщенных<br>паров в регуляторе: = ");

// The worked examples: the losses balanced, the flow, the details, the proposed
// and rejected candidates, the first choice by its full name.
const struct
{
    const char* name;
    Task task;
    const char* losses;
    const char* flow;
    QStringList details;
    const char* series;
    const char* cells;
    const char* proposed;
    const char* rejected;
    const char* fullName;
} kExamples[] = {
    {"1: ЛМР-Д, propylene glycol 10 %, return pipe",
     kExample1,
     "0.50 0.50",
     "38.71",
     {kDensity + QStringLiteral("997.8"), kKv + QStringLiteral("27.34")},
     "ЛМР-Д",
     kDiff,
     "40/25 50/32 50/25",
     "65/40 65/32 65/25 80/40 80/32",
     "Регулятор перепада давления ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)"},
    {"2: ЛМР-1, water, gauge atm",
     kExample2,
     "0.00 0.00",
     "38.88",
     {kSaturation + QStringLiteral("0.010"), kDensity + QStringLiteral("989.9"),
      kKv + QStringLiteral("19.46")},
     "ЛМР-1",
     " (0,60 - 1,00 МПа)|низкая|выше средней",
     "40/25 50/25",
     "40/20 65/25",
     "Регулятор давления «до себя» ЛМР-1 DN 40 Kvy 25 (0,60 - 1,00 МПа)"},
    {"3: ЛМР-Д, water, supply pipe",
     kExample3,
     "0.10 0.10",
     "2.98",
     {kSaturation + QStringLiteral("0.101"), kDensity + QStringLiteral("958.4"),
      kKv + QStringLiteral("2.56")},
     "ЛМР-Д",
     kDiff,
     "15/4 15/2.5 20/4 20/2.5",
     "20/3.2 25/4",
     "Регулятор перепада давления ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа)"},
};

const QString kInvalid = QStringLiteral("Недопустимые входные данные:<br>");
const struct
{
    const char* name;
    Task task;
    QString message;
} kRefused[] = {
    {"regulated drop below 0.04 MPa",
     {stWater, rtDiffPressure, ipSupply, pkAbsolute, pmBar, wfM3h,
      "1020=6 1021=4 1036=0.3 1035=1.3 106=0.15 105=100 107=47.5"},
     kInvalid + QStringLiteral("слишком маленький перепад давления на регулируемом участке. Должен быть не "
                               "менее 0,04 МПа")},
    {"P2 above P1",
     {stWater, rtUpstream, ipReturn, pkExcess, pmAtm, wfM3h, "102=4 103=8 108=38.88 107=46"},
     kInvalid + QStringLiteral("давление перед регулятором (<i>P1</i>) должно превышать давление после "
                               "регулятора (<i>P2</i>)")},
};

} // namespace

class TestRegulatorChild : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples_data()
    {
        QTest::addColumn<int>("i");
        for (int i = 0; i < int(std::size(kExamples)); ++i)
            QTest::newRow(kExamples[i].name) << i;
    }

    // Each example read from the window, with the rejected candidates shown
    // and hidden again, then saved and reopened.
    void workedExamples()
    {
        QFETCH(int, i);
        const auto& e = kExamples[i];
        orxtest::MessageCapture capture;
        Host host;
        RegulatorChild* form = host.form;
        enter(form, e.task);
        // The losses of the scheme were balanced as the drops were typed.
        QCOMPARE(form->ctrl<QDoubleSpinBox>(10371)->text() + QLatin1Char(' ') +
                     form->ctrl<QDoubleSpinBox>(1037)->text(),
                 QString::fromLatin1(e.losses));
        QCOMPARE(form->ctrl<QDoubleSpinBox>(108)->text(), QString::fromLatin1(e.flow));
        QCOMPARE(form->intComboValue(131, 0), e.task.place);
        const Shown shown = read(form);
        QCOMPARE(shown.message, QString());
        QCOMPARE(detailList(shown.details), e.details);
        const QStringList proposed = candidates(e.series, e.proposed, e.cells);
        QCOMPARE(shown.proposed, proposed);
        QCOMPARE(shown.rejected, QStringList());
        QCOMPARE(shown.columns, (QStringList{QStringLiteral("Регулятор"),
                                             QStringLiteral("Вероятность кавитации в\nрегуляторе"),
                                             QStringLiteral("Вероятность шума и вибрации в регуляторе")}));
        QCOMPARE(shown.choices.size(), proposed.size() + 1);
        QCOMPARE(shown.choices.mid(0, 2),
                 (QStringList{QStringLiteral("-- Выбрать --"), QString::fromUtf8(e.fullName)}));
        QVERIFY(shown.hasReportButton && dimensionTableShown(form));
        toggleRejectedMode(form);
        QCOMPARE(read(form).proposed, proposed);
        QCOMPARE(read(form).rejected, candidates(e.series, e.rejected, e.cells));
        toggleRejectedMode(form);
        checkReopened(form, shown);
        QCOMPARE(capture.count(), 0);
    }

    void lossesBalanceTheDifferentialScheme()
    {
        Host host;
        RegulatorChild* form = host.form;
        auto* before = form->ctrl<QDoubleSpinBox>(10371);
        auto* after = form->ctrl<QDoubleSpinBox>(1037);
        const auto type = [form](qint16 field, const char* text) {
            orxtest::typeInto(form->ctrl<QDoubleSpinBox>(field), QString::fromLatin1(text));
        };
        // Typed while some drop is still empty: nothing to balance yet.
        type(1021, "3");
        type(1035, "1");
        type(1036, "1");
        QCOMPARE(before->value() + after->value(), 0.0);
        // Editing Pпод: the rest of the drop is shared by both losses.
        type(1020, "6");
        QCOMPARE(before->value(), 0.5);
        QCOMPARE(after->value(), 0.5);
        // The losses before the section are the user's: the losses after take the rest.
        type(10371, "0.8");
        QCOMPARE(before->value(), 0.8);
        QCOMPARE(after->value(), 0.2);
        // A rest of odd hundredths: the losses still add up to the drop.
        type(1036, "0.97");
        QCOMPARE(before->value() + after->value(), 1.03);
        QVERIFY(std::abs(before->value() - after->value()) <= 0.011);
        QCOMPARE(read(form).message, QStringLiteral("Не заполнены входные данные"));
        // Values not typed in the scheme (the focus elsewhere) are left as they
        // are: the calculation tells the user the drops do not add up.
        form->control(122)->setFocus();
        form->ctrl<QDoubleSpinBox>(1020)->setValue(7);
        QCOMPARE(before->value() + after->value(), 1.03);
        QVERIFY(read(form).message.startsWith(
            kInvalid + QStringLiteral("сумма перепадов давления должна быть равной 4 бар")));
    }

    // A new document shows the differential scheme; each task moves the pressure rows.
    void tasksMoveThePressureRows()
    {
        orxtest::MessageCapture capture;
        Host host;
        RegulatorChild* form = host.form;
        QCOMPARE(int(form->docType()) * 100 + int(form->deviceType()), 3000 + int(dtLMRD));
        QVERIFY(!form->control(1031)->isEnabled() && !form->control(1037)->isEnabled());
        QCOMPARE(read(form).message, QStringLiteral("Не заполнены входные данные"));
        auto* flowMode = form->ctrl<RadioArea>(104);
        flowMode->setCheckedId(2);
        orxtest::selectData(form->ctrl<QComboBox>(131), ipSupply);

        orxtest::selectData(form->ctrl<QComboBox>(130), rtUpstream);
        QCOMPARE(int(form->deviceType()), int(dtLMR1));
        QVERIFY(allVisible(form, kPressureRows, true) && allVisible(form, kSchemeRows, false));
        QVERIFY(onSameRow(form, 101, 102));
        QCOMPARE(form->intComboValue(131, 0), int(ipReturn));
        QVERIFY(!form->control(131)->isEnabled() && !flowMode->button(2)->isEnabled());
        QCOMPARE(flowMode->checkedId(), 1);
        QVERIFY(!form->control(105)->isVisible() && form->control(107)->isVisible());
        // ΔPрег is always P1 - P2, whatever has the focus.
        orxtest::typeInto(form->ctrl<QDoubleSpinBox>(102), QStringLiteral("8"));
        orxtest::typeInto(form->ctrl<QDoubleSpinBox>(103), QStringLiteral("4.1"));
        QCOMPARE(form->ctrl<QDoubleSpinBox>(1031)->text(), QStringLiteral("3.90"));

        orxtest::selectData(form->ctrl<QComboBox>(130), rtDownstream);
        QCOMPARE(int(form->deviceType()), int(dtLMRD));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QVERIFY(form->control(105)->isVisible() && !form->control(107)->isVisible());

        orxtest::selectData(form->ctrl<QComboBox>(130), rtDiffPressure);
        QVERIFY(allVisible(form, kSchemeRows, true) && allVisible(form, kPressureRows, false));
        QVERIFY(onSameRow(form, 101, 1020));
        QVERIFY(form->control(131)->isEnabled() && flowMode->button(2)->isEnabled());
        // Every pressure sub-label follows the unit.
        orxtest::selectData(form->ctrl<QComboBox>(101), pmMPa);
        for (qint16 code : {103, 1031, 1021, 1035, 1036, 10371, 1037})
            QCOMPARE(form->subLabel(code)->text(), QStringLiteral("МПа"));
        QCOMPARE(capture.count(), 0);
    }

    void steamTakesTheDownstreamRegulatorOnly()
    {
        orxtest::MessageCapture capture;
        Host host;
        RegulatorChild* form = host.form;
        form->ctrl<RadioArea>(104)->setCheckedId(2);
        enter(form,
              {stSaturatedSteam, rtDownstream, ipReturn, pkExcess, pmBar, wfKgh, "102=8 103=3 108=500"});
        QCOMPARE(form->ctrl<QComboBox>(130)->count(), 1);
        QCOMPARE(int(form->deviceType()), int(dtLMR2P));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QCOMPARE(form->intValue(104), 1);
        const QStringList proposed = read(form).proposed;
        QVERIFY(!proposed.isEmpty());
        for (const QString& row : proposed)
            QVERIFY2(row.startsWith(QStringLiteral("ЛМР-2-П DN ")) && !row.contains(QLatin1Char('|')),
                     qPrintable(row));
        QCOMPARE(pipeTexts(form).keys(), (QList<int>{0, 1}));
        // Back to water: the three tasks again, the steam task still chosen.
        orxtest::selectData(form->ctrl<QComboBox>(121), stWater);
        QCOMPARE(form->ctrl<QComboBox>(130)->count(), 3);
        QCOMPARE(form->regulation(), int(rtDownstream));
        QCOMPARE(form->resultColumnCount(), 3);
        QCOMPARE(capture.count(), 0);
    }

    void reportNeedsTheRegulatorAndThePipe()
    {
        Host host;
        enter(host.form, kExample3);
        host.form->choiceCombo()->setCurrentIndex(3);
        QCOMPARE(host.form->stdDn(), 20);
        QVERIFY(pipeTexts(host.form).value(2).startsWith(
            QStringLiteral("DN 20 - максимальная скорость потока ")));
        host.form->choiceCombo()->setCurrentIndex(0);
        checkReport(host.form, 3, QStringLiteral("Необходимо выбрать устройство"),
                    QStringLiteral("Регулятор_перепада_давления_ОРИМАКС_"));
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
        QCOMPARE(capture.count(), 0);
    }
};

ORX_GUI_TEST_MAIN(TestRegulatorChild)
#include "tst_regulatorchild.moc"
