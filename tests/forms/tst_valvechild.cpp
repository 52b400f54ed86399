// The valve selection window driven as a user drives it: the worked examples
// typed in and read back from the results, the rows following the medium, the
// choice of valve and pipes for the report.

#include "forms/valvechild.h"
#include "tst_valvechild_formreader.h"

using namespace formreader;
using Host = Hosted<ValveChild>;

namespace {

// The field order of a task: medium, valve type, place, pressure kind, pressure unit, flow unit, typed.
const char* const kTyped1 = "141=50 102=6 103=5 1032=0.5 106=2.5 105=100 107=70";
const Task kExample1{stPropyleneGlycol, dtLMK2, ipSupply, pkExcess, pmBar, wfTh, kTyped1};
const Task kExample2{
    stWater, dtLMK2, ipSupply, pkExcess, pmAtm, wfM3h, "102=5 103=3.2 1032=0.6 106=91 105=100 107=42"};
const Task kExample3{
    stWater, dtLMK3, ipReturn, pkAbsolute, pmAtm, wfTh, "102=5 103=3 1032=0.6 106=1 105=94 107=65"};
const Task kExample4{
    stSuperheatedSteam, dtLMKP, ipSupply, pkAbsolute, pmBar, wfKgh, "102=4.8 103=3.5 108=1345.6 105=220"};
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

const QString kKv = QStringLiteral("Расчётный Kv:");
const QString kVolumeBefore = QStringLiteral("Удельный объём пара до клапана:");
const QString kVolumeAfter = QStringLiteral("Удельный объём пара после клапана:");
const QString kChoose = QStringLiteral("-- Выбрать --");

QStringList rows(const char* cells, const QStringList& designations)
{
    QStringList result;
    for (const QString& d : designations)
        result << d + QString::fromUtf8(cells);
    return result;
}

} // namespace

class TestValveChild : public QObject
{
    Q_OBJECT

private slots:
    void newDocumentOffersTheWaterValves()
    {
        orxtest::MessageCapture capture;
        Host host;
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Клапан 1"));
        QCOMPARE(int(host.form->docType()), 20);
        QCOMPARE(int(host.form->deviceType()), int(dtLMK2));
        QCOMPARE(read(host.form).message, QStringLiteral("Не заполнены входные данные"));
        QVERIFY(!host.form->choiceCombo() && !read(host.form).hasReportButton);
        QCOMPARE(capture.count(), 0);
    }

    void workedExamples_data()
    {
        QTest::addColumn<Task>("task");
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QStringList>("details");
        QTest::addColumn<QStringList>("proposed"); // a bold designation is marked "*"
        QTest::addColumn<QStringList>("rejected");
        QTest::addColumn<bool>("highDrop");
        const QString density = QStringLiteral("Плотность рабочей среды: = ");
        const QString kv = kKv + QStringLiteral(" = ");
        const QString saturation = QStringLiteral("Абс. давление насыщенных<br>паров в клапане: = ");
        const char* dn100 = "|1.08|0.65|низкая|низкая";
        const char* dn125 = "|1.35|0.59|низкая|низкая";
        QTest::newRow("1: ЛМК-2, propylene glycol 50 %, 2.5 Gcal/h")
            << kExample1 << QStringLiteral("91.81")
            << QStringList{density + QStringLiteral("984.4"), kv + QStringLiteral("92.53")}
            << rows(dn100, {QStringLiteral("ЛМК-2 DN 80 Kvy 100")}) +
                   rows(dn125, {QStringLiteral("ЛМК-2 DN 100 Kvy 125")}) +
                   rows(dn100, {QStringLiteral("ЛМК-2 DN 100 Kvy 100")})
            << rows(dn125, {QStringLiteral("ЛМК-2 DN 125 Kvy 125")}) +
                   rows(dn100,
                        {QStringLiteral("ЛМК-2 DN 125 Kvy 100"), QStringLiteral("ЛМК-2 DN 150 Kvy 100")})
            << false;
        QTest::newRow("2: ЛМК-2, water, 91 Gcal/h")
            << kExample2 << QStringLiteral("1636.76")
            << QStringList{saturation + QStringLiteral("0.101"), density + QStringLiteral("958.4"),
                           kv + QStringLiteral("1186.49")}
            << QStringList{QStringLiteral("ЛМК-2 DN 300 Kvy 1600|1.35|0.69|низкая|ниже средней"),
                           QStringLiteral("ЛМК-2 DN 300 Kvy 1250|1.05|0.74|низкая|ниже средней")}
            << QStringList() << false;
        QTest::newRow("3: ЛМК-3, water, return pipe, absolute")
            << kExample3 << QStringLiteral("34.43")
            << QStringList{saturation + QStringLiteral("0.025"), density + QStringLiteral("980.6"),
                           kv + QStringLiteral("24.42")}
            << QStringList{QStringLiteral("ЛМК-3 DN 40 Kvy 25|1.02|0.77|низкая|ниже средней"),
                           QStringLiteral("ЛМК-3 DN 50 Kvy 32|1.31|0.71|низкая|ниже средней")}
            << QStringList() << true;
        QTest::newRow("4: ЛМК-П, superheated steam")
            << kExample4 << QStringLiteral("1345.60")
            << QStringList{kv + QStringLiteral("29.86"), kVolumeBefore + QStringLiteral(" = 0.4639"),
                           kVolumeAfter + QStringLiteral(" = 0.6400")}
            << rows("", {QStringLiteral("ЛМК-П DN 50 Kvy 40"), QStringLiteral("ЛМК-П DN 50 Kvy 32"),
                         QStringLiteral("ЛМК-П DN 65 Kvy 40")})
            << QStringList{QStringLiteral("ЛМК-П DN 80 Kvy 40")} << false;
        // DN 32 is too narrow for the flow, Kvs 25 too large: DN 40 Kvs 16
        // meets all four criteria, and so may a rejected valve.
        QTest::newRow("water, 10 m³/h: the valves meeting every criterion in bold")
            << water(kRecommendedTyped) << QStringLiteral("10.00")
            << QStringList{saturation + QStringLiteral("0.070"), density + QStringLiteral("965.4"),
                           kv + QStringLiteral("13.89")}
            << rows("|1.15|0.59|низкая|низкая", {QStringLiteral("ЛМК-2 DN 32 Kvy 16")}) +
                   rows("|1.80|0.48|низкая|низкая", {QStringLiteral("ЛМК-2 DN 40 Kvy 25")}) +
                   rows("|1.15|0.59|низкая|низкая", {QStringLiteral("*ЛМК-2 DN 40 Kvy 16")})
            << rows("|1.80|0.48|низкая|низкая", {QStringLiteral("ЛМК-2 DN 50 Kvy 25")}) +
                   rows("|1.15|0.59|низкая|низкая", {QStringLiteral("*ЛМК-2 DN 50 Kvy 16")}) +
                   rows("|1.80|0.48|низкая|низкая", {QStringLiteral("ЛМК-2 DN 65 Kvy 25")})
            << false;
    }

    // Each example read from the window, with the rejected valves shown and
    // hidden again, then saved and reopened.
    void workedExamples()
    {
        QFETCH(Task, task);
        QFETCH(QString, flow);
        QFETCH(QStringList, details);
        QFETCH(QStringList, proposed);
        QFETCH(QStringList, rejected);
        QFETCH(bool, highDrop);
        orxtest::MessageCapture capture;
        Host host;
        enter(host.form, task);

        QCOMPARE(host.form->ctrl<QDoubleSpinBox>(108)->text(), flow);
        const Shown shown = read(host.form);
        QCOMPARE(shown.message, QString());
        QCOMPARE(detailList(shown.details), details);
        QCOMPARE(shown.proposed, proposed);
        QCOMPARE(shown.rejected, QStringList());
        QCOMPARE(shown.hasHighDropNote, highDrop);
        QVERIFY(shown.hasReportButton);
        QVERIFY(visibleLabel(host.form, QStringLiteral("Габаритные размеры клапанов с ЭИМ")));
        QStringList columns{QStringLiteral("Клапан")};
        if (task.medium == stWater || task.medium == stPropyleneGlycol)
            columns << QStringLiteral("Коэффициент запаса") << QStringLiteral("Внешний авторитет")
                    << QStringLiteral("Вероятность кавитации в клапане")
                    << QStringLiteral("Вероятность шума и вибрации в клапане");
        QCOMPARE(shown.columns, columns);
        // The choice offers the proposed valves by their full designation.
        QStringList choices{kChoose};
        for (QString row : proposed)
            choices << deviceTypeName(DeviceType(task.device), true) +
                           row.remove(QLatin1Char('*')).section(QLatin1Char('|'), 0, 0).mid(5);
        QCOMPARE(shown.choices, choices);

        toggleRejectedMode(host.form);
        QCOMPARE(read(host.form).proposed, proposed);
        QCOMPARE(read(host.form).rejected, rejected);
        toggleRejectedMode(host.form);
        QCOMPARE(read(host.form).rejected, QStringList());
        QVERIFY(!visibleLabel(host.form, QStringLiteral("Отбракованные варианты")));
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
            QStringList states;
            for (QWidget* row : {form->control(105), form->control(107), form->control(1032)})
                states << QLatin1String(!row->isVisible()  ? "hidden"
                                        : row->isEnabled() ? "enabled"
                                                           : "disabled");
            return states.join(QLatin1Char(' '));
        };
        flowMode->setCheckedId(2);
        QVERIFY(form->control(106)->isVisible() && !form->control(108)->isEnabled());

        // Water to saturated steam while ЛМК-2 is chosen.
        orxtest::selectData(form->ctrl<QComboBox>(121), stSaturatedSteam);
        QCOMPARE(orxtest::itemTexts(types), QStringList{QStringLiteral("Клапан для пара ЛМК-П")});
        QCOMPARE(int(form->deviceType()), int(dtLMKP));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QVERIFY(!form->control(131)->isEnabled());
        QCOMPARE(rowStates(), QStringLiteral("disabled hidden hidden"));
        QCOMPARE(flowMode->checkedId(), 1);
        QVERIFY(!flowMode->button(2)->isEnabled());
        QVERIFY(!form->control(106)->isVisible() && form->control(108)->isEnabled());
        QCOMPARE(form->resultColumnCount(), 1);

        // Back to water: all three series again, the steam valve stays chosen.
        orxtest::selectData(form->ctrl<QComboBox>(121), stWater);
        QCOMPARE(types->count(), 3);
        QCOMPARE(int(form->deviceType()), int(dtLMKP));
        QVERIFY(form->control(131)->isEnabled() && flowMode->button(2)->isEnabled());
        QCOMPARE(rowStates(), QStringLiteral("enabled enabled enabled"));
        QCOMPARE(form->resultColumnCount(), 5);

        // A three-way valve on the return pipe, then gas: the steam valve on the supply pipe.
        orxtest::selectData(types, dtLMK3);
        orxtest::selectData(form->ctrl<QComboBox>(131), ipReturn);
        orxtest::selectData(form->ctrl<QComboBox>(121), stAir);
        QCOMPARE(int(form->deviceType()), int(dtLMKP));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QCOMPARE(rowStates(), QStringLiteral("enabled hidden hidden"));
        QCOMPARE(capture.count(), 0);
    }

    void pipesFollowTheChosenValveIntoTheReport()
    {
        Host host;
        ValveChild* form = host.form;
        // Saturated steam, 4.8 / 3.5 bar absolute, 700 kg/h: a pipe before and one after the valve.
        enter(form,
              {stSaturatedSteam, dtLMKP, ipSupply, pkAbsolute, pmBar, wfKgh, "102=4.8 103=3.5 108=700"});
        const Shown shown = read(form);
        QCOMPARE(shown.details.value(kVolumeBefore), QStringLiteral("0.3893"));
        QCOMPARE(shown.details.value(kVolumeAfter), QStringLiteral("0.5416"));
        QCOMPARE(shown.choices, (QStringList{kChoose, QStringLiteral("Клапан для пара ЛМК-П DN 32 Kvy 16"),
                                             QStringLiteral("Клапан для пара ЛМК-П DN 40 Kvy 25"),
                                             QStringLiteral("Клапан для пара ЛМК-П DN 40 Kvy 16")}));
        const QMap<int, QString> unchosen{{0, kChoose}, {1, kChoose}};
        QCOMPARE(pipeTexts(form), unchosen);
        form->choiceCombo()->setCurrentIndex(2);
        QCOMPARE(form->stdDn(), 40);
        QVERIFY(pipeTexts(form).value(0).startsWith(
            QStringLiteral("DN 40 - максимальная скорость потока перед клапаном")));
        QVERIFY(pipeTexts(form).value(1).startsWith(
            QStringLiteral("DN 40 - максимальная скорость потока после клапана")));
        form->choiceCombo()->setCurrentIndex(0);
        QCOMPARE(form->stdDn(), 0);
        QCOMPARE(pipeTexts(form), unchosen);
        // Any modification rebuilds the results: the choice is gone.
        form->choiceCombo()->setCurrentIndex(3);
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
        QTest::addColumn<Task>("task");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("Недопустимые входные данные:<br>");
        const QString missing = QStringLiteral("Не заполнены входные данные");
        QTest::newRow("P2 above P1")
            << water("102=6 103=7 1032=0.3 108=10 105=90 107=70")
            << invalid + QStringLiteral("давление перед клапаном должно превышать давление после клапана");
        QTest::newRow("P1 above 2.5 MPa gauge")
            << water("102=25.5 103=5.5 1032=0.3 108=10 105=90 107=70")
            << invalid +
                   QStringLiteral("слишком высокое давление перед клапаном. Избыточное давление не должно "
                                  "превышать 2.5 МПа");
        QTest::newRow("no drop on the regulated section")
            << water("102=6 103=5.5 1032=0 108=10 105=90 107=70") << missing;
        QTest::newRow("no catalogue valve is large enough")
            << water("102=6 103=5.5 1032=0.3 108=99999999 105=90 107=70")
            << QStringLiteral("Не удалось найти модель с подходящим kv");
    }

    // Under "Не заполнены входные данные" the form names the empty inputs, in
    // the order of its rows; a refused value names none.
    void emptyInputsAreNamed_data()
    {
        QTest::addColumn<Task>("task");
        QTest::addColumn<bool>("noUnit");
        QTest::addColumn<QStringList>("named");
        QTest::addColumn<bool>("shown");
        const QString dP = QStringLiteral("\u0394Pру");
        QTest::newRow("P2") << water("102=6 103=0 1032=0.3 108=10 105=90 107=70") << false
                            << QStringList{QStringLiteral("P2")} << true;
        QTest::newRow("flow unit") << water("102=6 103=5.5 1032=0.3 108=10 105=90 107=70") << true
                                   << QStringList{QStringLiteral("G")} << true;
        QTest::newRow("all, in the order of the rows")
            << water("102=6 103=0 1032=0 108=0 105=90 107=0") << true
            << QStringList{QStringLiteral("P2"), dP, QStringLiteral("Tобр"), QStringLiteral("G")} << true;
        QTest::newRow("P2 above P1: refused, nothing named")
            << water("102=6 103=7 1032=0.3 108=10 105=90 107=0") << false
            << QStringList{QStringLiteral("Tобр")} << false;
    }

    void emptyInputsAreNamed()
    {
        QFETCH(Task, task);
        QFETCH(bool, noUnit);
        QFETCH(QStringList, named);
        QFETCH(bool, shown);
        Host host;
        enter(host.form, task);
        if (noUnit)
            host.form->ctrl<QComboBox>(1081)->setCurrentIndex(-1);
        QCOMPARE(host.form->emptyInputs(), named);
        const QString line = QStringLiteral("Пустые поля: <i>") + named.join(QStringLiteral("</i>, <i>")) +
                             QStringLiteral("</i>");
        QCOMPARE(bool(visibleLabel(host.form, line)), shown);
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

ORX_GUI_TEST_MAIN(TestValveChild)
#include "tst_valvechild.moc"
