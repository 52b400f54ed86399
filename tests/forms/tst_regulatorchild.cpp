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

Task with(Task t, const char* typed)
{
    t.typed = typed;
    return t;
}

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

QStringList rows(const char* cells, const QStringList& designations)
{
    QStringList result;
    for (const QString& d : designations)
        result << d + QString::fromUtf8(cells);
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

} // namespace

class TestRegulatorChild : public QObject
{
    Q_OBJECT

private slots:
    void newDocumentShowsTheDifferentialScheme()
    {
        orxtest::MessageCapture capture;
        Host host;
        RegulatorChild* form = host.form;
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Регулятор 1"));
        QCOMPARE(int(form->docType()), 30);
        QCOMPARE(int(form->deviceType()), int(dtLMRD));
        QCOMPARE(form->ctrl<QComboBox>(130)->count(), 3);
        QCOMPARE(form->regulation(), int(rtDiffPressure));
        QCOMPARE(form->ctrl<QComboBox>(120)->count(), 8); // regulators serve the combined systems too
        QVERIFY(!form->control(1031)->isEnabled() && !form->control(1037)->isEnabled());
        QCOMPARE(form->subLabel(1037)->text(), QStringLiteral("бар"));
        QCOMPARE(read(form).message, QStringLiteral("Не заполнены входные данные"));
        QCOMPARE(capture.count(), 0);
    }

    void workedExamples_data()
    {
        QTest::addColumn<Task>("task");
        QTest::addColumn<QStringList>("losses");
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QStringList>("details");
        QTest::addColumn<QStringList>("proposed");
        QTest::addColumn<QStringList>("rejected");
        QTest::addColumn<QString>("fullName");
        const QString density = QStringLiteral("Плотность рабочей среды: = ");
        const QString kv = QStringLiteral("Расчётный Kv: = ");
        const QString saturation = QStringLiteral("Абс. давление насыщенных<br>паров в регуляторе: = ");
        const char* diff = " (0,04 - 0,70 МПа)|низкая|ниже средней";
        const char* upstream = " (0,60 - 1,00 МПа)|низкая|выше средней";
        QTest::newRow("1: ЛМР-Д, propylene glycol 10 %, return pipe")
            << kExample1 << QStringList{QStringLiteral("0.50"), QStringLiteral("0.50")}
            << QStringLiteral("38.71")
            << QStringList{density + QStringLiteral("997.8"), kv + QStringLiteral("27.34")}
            << rows(diff, {QStringLiteral("ЛМР-Д DN 40 Kvy 25"), QStringLiteral("ЛМР-Д DN 50 Kvy 32"),
                           QStringLiteral("ЛМР-Д DN 50 Kvy 25")})
            << rows(diff, {QStringLiteral("ЛМР-Д DN 65 Kvy 40"), QStringLiteral("ЛМР-Д DN 65 Kvy 32"),
                           QStringLiteral("ЛМР-Д DN 65 Kvy 25"), QStringLiteral("ЛМР-Д DN 80 Kvy 40"),
                           QStringLiteral("ЛМР-Д DN 80 Kvy 32")})
            << QStringLiteral("Регулятор перепада давления ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)");
        QTest::newRow("2: ЛМР-1, water, gauge atm")
            << kExample2 << QStringList{QStringLiteral("0.00"), QStringLiteral("0.00")}
            << QStringLiteral("38.88")
            << QStringList{saturation + QStringLiteral("0.010"), density + QStringLiteral("989.9"),
                           kv + QStringLiteral("19.46")}
            << rows(upstream, {QStringLiteral("ЛМР-1 DN 40 Kvy 25"), QStringLiteral("ЛМР-1 DN 50 Kvy 25")})
            << rows(upstream, {QStringLiteral("ЛМР-1 DN 40 Kvy 20"), QStringLiteral("ЛМР-1 DN 65 Kvy 25")})
            << QStringLiteral("Регулятор давления «до себя» ЛМР-1 DN 40 Kvy 25 (0,60 - 1,00 МПа)");
        QTest::newRow("3: ЛМР-Д, water, supply pipe")
            << kExample3 << QStringList{QStringLiteral("0.10"), QStringLiteral("0.10")}
            << QStringLiteral("2.98")
            << QStringList{saturation + QStringLiteral("0.101"), density + QStringLiteral("958.4"),
                           kv + QStringLiteral("2.56")}
            << rows(diff, {QStringLiteral("ЛМР-Д DN 15 Kvy 4"), QStringLiteral("ЛМР-Д DN 15 Kvy 2.5"),
                           QStringLiteral("ЛМР-Д DN 20 Kvy 4"), QStringLiteral("ЛМР-Д DN 20 Kvy 2.5")})
            << rows(diff, {QStringLiteral("ЛМР-Д DN 20 Kvy 3.2"), QStringLiteral("ЛМР-Д DN 25 Kvy 4")})
            << QStringLiteral("Регулятор перепада давления ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа)");
    }

    void workedExamples()
    {
        QFETCH(Task, task);
        QFETCH(QStringList, losses);
        QFETCH(QString, flow);
        QFETCH(QStringList, details);
        QFETCH(QStringList, proposed);
        QFETCH(QStringList, rejected);
        QFETCH(QString, fullName);
        orxtest::MessageCapture capture;
        Host host;
        RegulatorChild* form = host.form;
        enter(form, task);

        // The losses of the scheme were balanced as the drops were typed.
        QCOMPARE((QStringList{form->ctrl<QDoubleSpinBox>(10371)->text(),
                              form->ctrl<QDoubleSpinBox>(1037)->text()}),
                 losses);
        QCOMPARE(form->ctrl<QDoubleSpinBox>(108)->text(), flow);
        QCOMPARE(form->intComboValue(131, 0), task.place);
        const Shown shown = read(form);
        QCOMPARE(shown.message, QString());
        QCOMPARE(detailList(shown.details), details);
        QCOMPARE(shown.proposed, proposed);
        QCOMPARE(shown.rejected, QStringList());
        QCOMPARE(shown.columns, (QStringList{QStringLiteral("Регулятор"),
                                             QStringLiteral("Вероятность кавитации в\nрегуляторе"),
                                             QStringLiteral("Вероятность шума и вибрации в регуляторе")}));
        QCOMPARE(shown.choices.size(), proposed.size() + 1);
        QCOMPARE(shown.choices.mid(0, 2), (QStringList{QStringLiteral("-- Выбрать --"), fullName}));
        QVERIFY(shown.hasReportButton);
        QVERIFY(visibleLabel(form, QStringLiteral("Габаритные размеры регуляторов")));
        QVERIFY(dimensionTableShown(form));

        toggleRejectedMode(form);
        QCOMPARE(read(form).proposed, proposed);
        QCOMPARE(read(form).rejected, rejected);
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
        // The drops add up: only the temperatures and the flow are still missing.
        const QString missing = QStringLiteral("Не заполнены входные данные");
        QCOMPARE(read(form).message, missing);

        // A rest of odd hundredths: the losses still add up to the drop.
        type(1036, "0.97");
        QCOMPARE(before->value() + after->value(), 1.03);
        QVERIFY(std::abs(before->value() - after->value()) <= 0.011);
        QCOMPARE(read(form).message, missing);

        // Values not typed in the scheme (the focus elsewhere) are left as they
        // are: the calculation tells the user the drops do not add up.
        form->control(122)->setFocus();
        form->ctrl<QDoubleSpinBox>(1020)->setValue(7);
        QCOMPARE(before->value() + after->value(), 1.03);
        QCOMPARE(
            read(form).message,
            QStringLiteral("Недопустимые входные данные:<br>сумма перепадов давления должна быть равной 4 "
                           "бар<br>(должно выполняться условие <i>%1Pру + %1Pрег + %1Pдр.под + %1Pдр.обр = "
                           "Pпод - Pобр</i>)")
                .arg(QChar(0x0394)));
    }

    void tasksMoveThePressureRows()
    {
        orxtest::MessageCapture capture;
        Host host;
        RegulatorChild* form = host.form;
        auto* flowMode = form->ctrl<RadioArea>(104);
        flowMode->setCheckedId(2);
        orxtest::selectData(form->ctrl<QComboBox>(131), ipSupply);

        orxtest::selectData(form->ctrl<QComboBox>(130), rtUpstream);
        QCOMPARE(int(form->deviceType()), int(dtLMR1));
        QVERIFY(allVisible(form, kPressureRows, true) && allVisible(form, kSchemeRows, false));
        QVERIFY(onSameRow(form, 101, 102));
        QCOMPARE(form->intComboValue(131, 0), int(ipReturn));
        QVERIFY(!form->control(131)->isEnabled());
        QCOMPARE(flowMode->checkedId(), 1);
        QVERIFY(!flowMode->button(2)->isEnabled());
        QVERIFY(!form->control(105)->isVisible() && form->control(107)->isVisible());
        // ΔPрег is always P1 - P2, whatever has the focus.
        orxtest::typeInto(form->ctrl<QDoubleSpinBox>(102), QStringLiteral("8"));
        orxtest::typeInto(form->ctrl<QDoubleSpinBox>(103), QStringLiteral("4.1"));
        QCOMPARE(form->ctrl<QDoubleSpinBox>(1031)->text(), QStringLiteral("3.90"));

        orxtest::selectData(form->ctrl<QComboBox>(130), rtDownstream);
        QCOMPARE(int(form->deviceType()), int(dtLMRD));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QVERIFY(form->control(105)->isVisible() && !form->control(107)->isVisible());
        QVERIFY(onSameRow(form, 101, 102));

        orxtest::selectData(form->ctrl<QComboBox>(130), rtDiffPressure);
        QVERIFY(allVisible(form, kSchemeRows, true) && allVisible(form, kPressureRows, false));
        QVERIFY(onSameRow(form, 101, 1020));
        QVERIFY(form->control(131)->isEnabled() && flowMode->button(2)->isEnabled());
        QVERIFY(form->control(105)->isVisible() && form->control(107)->isVisible());

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
        orxtest::selectData(form->ctrl<QComboBox>(131), ipReturn);
        orxtest::selectData(form->ctrl<QComboBox>(121), stSaturatedSteam);
        auto* task = form->ctrl<QComboBox>(130);
        QCOMPARE(orxtest::itemTexts(task), QStringList{QStringLiteral("давления \"после себя\"")});
        QCOMPARE(int(form->deviceType()), int(dtLMR2P));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QCOMPARE(form->intValue(104), 1);
        QCOMPARE(form->resultColumnCount(), 1);

        enter(form,
              {stSaturatedSteam, rtDownstream, ipSupply, pkExcess, pmBar, wfKgh, "102=8 103=3 108=500"});
        const Shown shown = read(form);
        QCOMPARE(shown.message, QString());
        QCOMPARE(shown.columns, QStringList{QStringLiteral("Регулятор")});
        QVERIFY(!shown.proposed.isEmpty());
        for (const QString& row : shown.proposed)
            QVERIFY2(row.startsWith(QStringLiteral("ЛМР-2-П DN ")) && !row.contains(QLatin1Char('|')),
                     qPrintable(row));
        QCOMPARE(shown.details.keys(), QStringList{QStringLiteral("Расчётный Kv:")});
        QCOMPARE(pipeTexts(form).keys(), (QList<int>{0, 1}));

        // Back to water: the three tasks again, the steam task still chosen.
        orxtest::selectData(form->ctrl<QComboBox>(121), stWater);
        QCOMPARE(task->count(), 3);
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
        QTest::addColumn<Task>("task");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("Недопустимые входные данные:<br>");
        QTest::newRow("regulated drop below 0.04 MPa")
            << with(kExample3, "1020=6 1021=4 1036=0.3 1035=1.3 106=0.15 105=100 107=47.5")
            << invalid +
                   QStringLiteral("слишком маленький перепад давления на регулируемом участке. Должен быть "
                                  "не менее 0,04 МПа");
        QTest::newRow("P2 above P1") << with(kExample2, "102=4 103=8 108=38.88 107=46")
                                     << invalid +
                                            QStringLiteral("давление перед регулятором (<i>P1</i>) должно "
                                                           "превышать давление после регулятора (<i>P2</i>)");
        QTest::newRow("no flow") << with(kExample2, "102=8 103=4.1 108=0 107=46")
                                 << QStringLiteral("Не заполнены входные данные");
    }

    void refusedTasksShowTheMessageOnly()
    {
        QFETCH(Task, task);
        QFETCH(QString, message);
        orxtest::MessageCapture capture;
        Host host;
        enter(host.form, task);
        checkRefused(host.form, message);
        QCOMPARE(capture.count(), 0);
    }
};

ORX_GUI_TEST_MAIN(TestRegulatorChild)
#include "tst_regulatorchild.moc"
