// The valve selection window driven as a user drives it: the worked examples
// typed in and read back from the results (details, proposed and rejected
// valves, bold recommendations, the choice), the rows following the medium,
// the pipe combos following the chosen valve, the report button's warnings and
// report, and a document saved and opened again.

#include "forms/valvechild.h"
#include "framework/radioarea.h"
#include "tst_valvechild_formreader.h"

#include <QTemporaryDir>

using namespace common;
using namespace formreader;

namespace {

// A valve task as the user gives it.
struct ValveTask
{
    int medium = stWater;
    QString concentration;
    int valveType = dtLMK2;
    int place = ipSupply;
    int kind = pkExcess;
    int pressureUnit = pmBar;
    QString p1;
    QString p2;
    QString regulatedDrop;
    QString heat; // empty: the flow is given directly
    QString supply;
    QString ret;
    int flowUnit = wfM3h;
    QString flow;
};

ValveTask example1()
{
    ValveTask t;
    t.medium = stPropyleneGlycol;
    t.concentration = QStringLiteral("50");
    t.p1 = QStringLiteral("6");
    t.p2 = QStringLiteral("5");
    t.regulatedDrop = QStringLiteral("0.5");
    t.heat = QStringLiteral("2.5");
    t.supply = QStringLiteral("100");
    t.ret = QStringLiteral("70");
    t.flowUnit = wfTh;
    return t;
}

ValveTask example2()
{
    ValveTask t;
    t.pressureUnit = pmAtm;
    t.p1 = QStringLiteral("5");
    t.p2 = QStringLiteral("3.2");
    t.regulatedDrop = QStringLiteral("0.6");
    t.heat = QStringLiteral("91");
    t.supply = QStringLiteral("100");
    t.ret = QStringLiteral("42");
    return t;
}

ValveTask example3()
{
    ValveTask t;
    t.valveType = dtLMK3;
    t.place = ipReturn;
    t.kind = pkAbsolute;
    t.pressureUnit = pmAtm;
    t.p1 = QStringLiteral("5");
    t.p2 = QStringLiteral("3");
    t.regulatedDrop = QStringLiteral("0.6");
    t.heat = QStringLiteral("1");
    t.supply = QStringLiteral("94");
    t.ret = QStringLiteral("65");
    t.flowUnit = wfTh;
    return t;
}

ValveTask example4()
{
    ValveTask t;
    t.medium = stSuperheatedSteam;
    t.valveType = dtLMKP;
    t.kind = pkAbsolute;
    t.p1 = QStringLiteral("4.8");
    t.p2 = QStringLiteral("3.5");
    t.supply = QStringLiteral("220");
    t.flowUnit = wfKgh;
    t.flow = QStringLiteral("1345.6");
    return t;
}

// Water, 6 / 5.5 bar gauge, 10 m³/h at 90 °C: DN 40 Kvs 16 meets all four criteria.
ValveTask recommendedTask()
{
    ValveTask t;
    t.p1 = QStringLiteral("6");
    t.p2 = QStringLiteral("5.5");
    t.regulatedDrop = QStringLiteral("0.3");
    t.supply = QStringLiteral("90");
    t.ret = QStringLiteral("70");
    t.flow = QStringLiteral("10");
    return t;
}

// Saturated steam, 4.8 / 3.5 bar absolute, 700 kg/h: DN 32 and DN 40 proposed.
ValveTask saturatedTask()
{
    ValveTask t;
    t.medium = stSaturatedSteam;
    t.valveType = dtLMKP;
    t.kind = pkAbsolute;
    t.p1 = QStringLiteral("4.8");
    t.p2 = QStringLiteral("3.5");
    t.flowUnit = wfKgh;
    t.flow = QStringLiteral("700");
    return t;
}

void enter(ValveChild* form, const ValveTask& t)
{
    select(form->ctrl<QComboBox>(121), t.medium);
    if (!t.concentration.isEmpty())
        typeInto(form->ctrl<QDoubleSpinBox>(141), t.concentration);
    select(form->ctrl<QComboBox>(32767), t.valveType);
    if (form->control(131)->isEnabled())
        select(form->ctrl<QComboBox>(131), t.place);
    form->ctrl<RadioArea>(1011)->setCheckedId(t.kind);
    select(form->ctrl<QComboBox>(101), t.pressureUnit);
    typeInto(form->ctrl<QDoubleSpinBox>(102), t.p1);
    typeInto(form->ctrl<QDoubleSpinBox>(103), t.p2);
    if (!t.regulatedDrop.isEmpty())
        typeInto(form->ctrl<QDoubleSpinBox>(1032), t.regulatedDrop);
    select(form->ctrl<QComboBox>(1081), t.flowUnit);
    if (!t.heat.isEmpty()) {
        form->ctrl<RadioArea>(104)->setCheckedId(2);
        select(form->ctrl<QComboBox>(1061), hmGcalH);
        typeInto(form->ctrl<QDoubleSpinBox>(106), t.heat);
    } else {
        typeInto(form->ctrl<QDoubleSpinBox>(108), t.flow);
    }
    if (!t.supply.isEmpty() && form->control(105)->isEnabled())
        typeInto(form->ctrl<QDoubleSpinBox>(105), t.supply);
    if (!t.ret.isEmpty() && form->control(107)->isVisible())
        typeInto(form->ctrl<QDoubleSpinBox>(107), t.ret);
}

void toggleRejectedMode(ValveChild* form)
{
    QTest::keyClick(form, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
}

const QString kDensity = QStringLiteral("Плотность рабочей среды:");
const QString kKv = QStringLiteral("Расчётный Kv:");
const QString kSaturation = QStringLiteral("Абс. давление насыщенных<br>паров в клапане:");
const QString kVolumeBefore = QStringLiteral("Удельный объём пара до клапана:");
const QString kVolumeAfter = QStringLiteral("Удельный объём пара после клапана:");

using Details = QMap<QString, QString>;

} // namespace

Q_DECLARE_METATYPE(ValveTask)

using orxtest::ViewerStub;

class TestValveChild : public QObject
{
    Q_OBJECT

private slots:
    void newDocumentOffersTheWaterValves()
    {
        orxtest::MessageCapture capture;
        Host host;
        ValveChild* form = host.add(new ValveChild);
        QVERIFY(host.show());
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Клапан 1"));
        QCOMPARE(int(form->docType()), 20);
        auto* types = form->ctrl<QComboBox>(32767);
        QCOMPARE(types->count(), 3);
        QCOMPARE(types->itemText(0), QStringLiteral("Клапан седельный ЛМК-2"));
        QCOMPARE(types->itemText(1), QStringLiteral("Клапан трёхходовой ЛМК-3"));
        QCOMPARE(types->itemText(2), QStringLiteral("Клапан для пара ЛМК-П"));
        QCOMPARE(int(form->deviceType()), int(dtLMK2));
        QCOMPARE(form->label(102)->text(), QStringLiteral("Перед клапаном <i>P1:</i>"));
        QCOMPARE(
            form->label(1032)->text(),
            QStringLiteral("Перепад на регулируемом участке после клапана <i>%1Pру:</i>").arg(QChar(0x0394)));
        QCOMPARE(form->label(105)->text(), QStringLiteral("Подающий трубопровод <i>Tпод:</i>"));
        for (qint16 code : {qint16(131), qint16(105), qint16(107), qint16(1032)})
            QVERIFY2(form->control(code)->isVisible() && form->control(code)->isEnabled(),
                     qPrintable(QString::number(code)));
        QVERIFY(!form->control(1031)->isEnabled());
        QVERIFY(!form->control(106)->isVisible());
        QVERIFY(!form->control(141)->isVisible());
        // An empty task asks for its data; nothing is offered yet.
        const Shown shown = read(form);
        QCOMPARE(shown.message, QStringLiteral("Не заполнены входные данные"));
        QVERIFY(!form->choiceCombo());
        QVERIFY(!shown.hasReportButton);
        QCOMPARE(capture.count(), 0);
    }

    void workedExamples_data()
    {
        QTest::addColumn<ValveTask>("task");
        QTest::addColumn<QString>("flow");
        QTest::addColumn<Details>("details");
        QTest::addColumn<QStringList>("proposed");
        QTest::addColumn<QStringList>("rejected");
        QTest::addColumn<bool>("highDrop");

        const QString low = QStringLiteral("низкая");
        const QString lowerMedium = QStringLiteral("ниже средней");
        QTest::newRow("1: ЛМК-2, propylene glycol 50 %, 2.5 Gcal/h")
            << example1() << QStringLiteral("91.81")
            << Details{{kDensity, QStringLiteral("984.4")}, {kKv, QStringLiteral("92.53")}}
            << QStringList{QStringLiteral("ЛМК-2 DN 80 Kvy 100|1.08|0.65|%1|%1").arg(low),
                           QStringLiteral("ЛМК-2 DN 100 Kvy 125|1.35|0.59|%1|%1").arg(low),
                           QStringLiteral("ЛМК-2 DN 100 Kvy 100|1.08|0.65|%1|%1").arg(low)}
            << QStringList{QStringLiteral("ЛМК-2 DN 125 Kvy 125|1.35|0.59|%1|%1").arg(low),
                           QStringLiteral("ЛМК-2 DN 125 Kvy 100|1.08|0.65|%1|%1").arg(low),
                           QStringLiteral("ЛМК-2 DN 150 Kvy 100|1.08|0.65|%1|%1").arg(low)}
            << false;
        QTest::newRow("2: ЛМК-2, water, 91 Gcal/h")
            << example2() << QStringLiteral("1636.76")
            << Details{{kDensity, QStringLiteral("958.4")},
                       {kKv, QStringLiteral("1186.49")},
                       {kSaturation, QStringLiteral("0.101")}}
            << QStringList{QStringLiteral("ЛМК-2 DN 300 Kvy 1600|1.35|0.69|%1|%2").arg(low, lowerMedium),
                           QStringLiteral("ЛМК-2 DN 300 Kvy 1250|1.05|0.74|%1|%2").arg(low, lowerMedium)}
            << QStringList() << false;
        QTest::newRow("3: ЛМК-3, water, return pipe, absolute")
            << example3() << QStringLiteral("34.43")
            << Details{{kDensity, QStringLiteral("980.6")},
                       {kKv, QStringLiteral("24.42")},
                       {kSaturation, QStringLiteral("0.025")}}
            << QStringList{QStringLiteral("ЛМК-3 DN 40 Kvy 25|1.02|0.77|%1|%2").arg(low, lowerMedium),
                           QStringLiteral("ЛМК-3 DN 50 Kvy 32|1.31|0.71|%1|%2").arg(low, lowerMedium)}
            << QStringList() << true;
        QTest::newRow("4: ЛМК-П, superheated steam")
            << example4() << QStringLiteral("1345.60")
            << Details{{kVolumeBefore, QStringLiteral("0.4639")},
                       {kVolumeAfter, QStringLiteral("0.6400")},
                       {kKv, QStringLiteral("29.86")}}
            << QStringList{QStringLiteral("ЛМК-П DN 50 Kvy 40"), QStringLiteral("ЛМК-П DN 50 Kvy 32"),
                           QStringLiteral("ЛМК-П DN 65 Kvy 40")}
            << QStringList{QStringLiteral("ЛМК-П DN 80 Kvy 40")} << false;
    }

    void workedExamples()
    {
        QFETCH(ValveTask, task);
        QFETCH(QString, flow);
        QFETCH(Details, details);
        QFETCH(QStringList, proposed);
        QFETCH(QStringList, rejected);
        QFETCH(bool, highDrop);
        orxtest::MessageCapture capture;
        Host host;
        ValveChild* form = host.add(new ValveChild);
        QVERIFY(host.show());
        enter(form, task);

        QCOMPARE(form->ctrl<QDoubleSpinBox>(108)->text(), flow);
        Shown shown = read(form);
        QCOMPARE(shown.message, QString());
        QCOMPARE(detailList(shown.details), detailList(details));
        QCOMPARE(shown.proposed, proposed);
        QCOMPARE(shown.rejected, QStringList());
        QCOMPARE(shown.hasHighDropNote, highDrop);
        QVERIFY(shown.hasReportButton);
        const QStringList columns =
            task.medium == stSuperheatedSteam
                ? QStringList{QStringLiteral("Клапан")}
                : QStringList{QStringLiteral("Клапан"), QStringLiteral("Коэффициент запаса"),
                              QStringLiteral("Внешний авторитет"),
                              QStringLiteral("Вероятность кавитации в клапане"),
                              QStringLiteral("Вероятность шума и вибрации в клапане")};
        QCOMPARE(shown.columns, columns);

        // The choice offers the proposed valves by their full designation.
        QStringList choices{QStringLiteral("-- Выбрать --")};
        for (const QString& row : proposed)
            choices << deviceTypeName(DeviceType(task.valveType), true) +
                           row.section(QLatin1Char('|'), 0, 0).mid(5);
        QCOMPARE(shown.choices, choices);

        toggleRejectedMode(form);
        QVERIFY(form->rejectedMode());
        shown = read(form);
        QCOMPARE(shown.proposed, proposed);
        QCOMPARE(shown.rejected, rejected);
        QCOMPARE(detailList(shown.details), detailList(details));
        QCOMPARE(capture.count(), 0);
    }

    void candidatesMeetingAllCriteriaAreBold()
    {
        Host host;
        ValveChild* form = host.add(new ValveChild);
        QVERIFY(host.show());
        enter(form, recommendedTask());
        Shown shown = read(form);
        QCOMPARE(shown.proposed, (QStringList{QStringLiteral("ЛМК-2 DN 32 Kvy 16|1.15|0.59|низкая|низкая"),
                                              QStringLiteral("ЛМК-2 DN 40 Kvy 25|1.80|0.48|низкая|низкая"),
                                              QStringLiteral("ЛМК-2 DN 40 Kvy 16|1.15|0.59|низкая|низкая")}));
        // DN 32 is too narrow for the flow, Kvs 25 too large: only DN 40 Kvs 16 is bold.
        QCOMPARE(shown.bold, QStringList{QStringLiteral("ЛМК-2 DN 40 Kvy 16")});

        // A rejected valve may meet all four as well: it is bold among the rejected.
        toggleRejectedMode(form);
        shown = read(form);
        QCOMPARE(shown.rejected, (QStringList{QStringLiteral("ЛМК-2 DN 50 Kvy 25|1.80|0.48|низкая|низкая"),
                                              QStringLiteral("ЛМК-2 DN 50 Kvy 16|1.15|0.59|низкая|низкая"),
                                              QStringLiteral("ЛМК-2 DN 65 Kvy 25|1.80|0.48|низкая|низкая")}));
        QCOMPARE(shown.bold,
                 (QStringList{QStringLiteral("ЛМК-2 DN 40 Kvy 16"), QStringLiteral("ЛМК-2 DN 50 Kvy 16")}));

        // Twice: back to the proposed valves alone.
        toggleRejectedMode(form);
        QVERIFY(!form->rejectedMode());
        shown = read(form);
        QCOMPARE(shown.rejected, QStringList());
        QVERIFY(!visibleLabel(form, QStringLiteral("Отбракованные варианты")));
    }

    void mediumSwitchesAdaptTheRows()
    {
        orxtest::MessageCapture capture;
        Host host;
        ValveChild* form = host.add(new ValveChild);
        QVERIFY(host.show());
        auto* types = form->ctrl<QComboBox>(32767);
        auto* flowMode = form->ctrl<RadioArea>(104);
        flowMode->setCheckedId(2);
        QVERIFY(form->control(106)->isVisible());
        QVERIFY(!form->control(108)->isEnabled());

        // Water to saturated steam while ЛМК-2 is chosen.
        select(form->ctrl<QComboBox>(121), stSaturatedSteam);
        QCOMPARE(types->count(), 1);
        QCOMPARE(types->itemText(0), QStringLiteral("Клапан для пара ЛМК-П"));
        QCOMPARE(int(form->deviceType()), int(dtLMKP));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QVERIFY(!form->control(131)->isEnabled());
        QVERIFY(form->control(105)->isVisible());
        QVERIFY(!form->control(105)->isEnabled());
        QVERIFY(!form->control(107)->isVisible());
        QVERIFY(!form->control(1032)->isVisible());
        QCOMPARE(flowMode->checkedId(), 1);
        QVERIFY(!flowMode->button(2)->isEnabled());
        QVERIFY(!form->control(106)->isVisible());
        QVERIFY(form->control(108)->isEnabled());
        QCOMPARE(form->resultColumnCount(), 1);

        // Back to water: all three series again, the steam valve stays chosen.
        select(form->ctrl<QComboBox>(121), stWater);
        QCOMPARE(types->count(), 3);
        QCOMPARE(int(form->deviceType()), int(dtLMKP));
        QVERIFY(form->control(131)->isEnabled());
        QVERIFY(form->control(107)->isVisible());
        QVERIFY(form->control(105)->isEnabled());
        QVERIFY(form->control(1032)->isVisible());
        QVERIFY(flowMode->button(2)->isEnabled());
        QCOMPARE(form->resultColumnCount(), 5);

        // A three-way valve on the return pipe, then gas: the steam valve on the supply pipe.
        select(types, dtLMK3);
        select(form->ctrl<QComboBox>(131), ipReturn);
        select(form->ctrl<QComboBox>(121), stAir);
        QCOMPARE(int(form->deviceType()), int(dtLMKP));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QVERIFY(form->control(105)->isVisible() && form->control(105)->isEnabled());
        QVERIFY(!form->control(107)->isVisible());
        QCOMPARE(capture.count(), 0);
    }

    void pipeCombosFollowTheChosenValve()
    {
        Host host;
        ValveChild* form = host.add(new ValveChild);
        QVERIFY(host.show());
        enter(form, saturatedTask());
        const Shown shown = read(form);
        QCOMPARE(shown.details.value(kVolumeBefore), QStringLiteral("0.3893"));
        QCOMPARE(shown.details.value(kVolumeAfter), QStringLiteral("0.5416"));
        QCOMPARE(shown.choices, (QStringList{QStringLiteral("-- Выбрать --"),
                                             QStringLiteral("Клапан для пара ЛМК-П DN 32 Kvy 16"),
                                             QStringLiteral("Клапан для пара ЛМК-П DN 40 Kvy 25"),
                                             QStringLiteral("Клапан для пара ЛМК-П DN 40 Kvy 16")}));
        QCOMPARE(pipeTexts(form).keys(), (QList<int>{0, 1}));
        QCOMPARE(pipeTexts(form).value(0), QStringLiteral("-- Выбрать --"));

        QSmartComboBox* choice = form->choiceCombo();
        choice->setCurrentIndex(2);
        QCOMPARE(form->stdDn(), 40);
        QVERIFY(pipeTexts(form).value(0).startsWith(
            QStringLiteral("DN 40 - максимальная скорость потока перед клапаном")));
        QVERIFY(pipeTexts(form).value(1).startsWith(
            QStringLiteral("DN 40 - максимальная скорость потока после клапана")));
        choice->setCurrentIndex(1);
        QVERIFY(pipeTexts(form).value(0).startsWith(QStringLiteral("DN 32 - ")));
        QVERIFY(pipeTexts(form).value(1).startsWith(QStringLiteral("DN 32 - ")));
        choice->setCurrentIndex(0);
        QCOMPARE(form->stdDn(), 0);
        QCOMPARE(pipeTexts(form).value(0), QStringLiteral("-- Выбрать --"));
        QCOMPARE(pipeTexts(form).value(1), QStringLiteral("-- Выбрать --"));

        // Any modification rebuilds the results: the choice is gone.
        choice->setCurrentIndex(3);
        typeInto(form->ctrl<QDoubleSpinBox>(108), QStringLiteral("710"));
        QVERIFY(form->choiceCombo() != nullptr);
        QCOMPARE(form->choiceCombo()->currentIndex(), 0);
        QCOMPARE(pipeTexts(form).value(0), QStringLiteral("-- Выбрать --"));

        // A liquid has one pipe for both sides.
        enter(form, recommendedTask());
        QCOMPARE(pipeTexts(form).keys(), QList<int>{2});
        form->choiceCombo()->setCurrentIndex(3);
        QCOMPARE(pipeTexts(form).value(2), QStringLiteral("DN 40 - максимальная скорость потока 2,21 м/c"));
    }

    void reportButtonWarnsThenWrites()
    {
        ViewerStub viewer;
        Host host;
        ValveChild* form = host.add(new ValveChild);
        QVERIFY(host.show());
        enter(form, recommendedTask());
        const QStringList before = pdfFiles();

        QCOMPARE(reportButtonWarning(form),
                 (QStringList{QStringLiteral("Валидация"), QStringLiteral("Необходимо выбрать клапан")}));
        form->choiceCombo()->setCurrentIndex(3);
        // The pipe follows the valve; the user puts it back to no choice.
        form->pipeArea()->combo(2)->setCurrentIndex(0);
        QCOMPARE(reportButtonWarning(form).value(1), QStringLiteral("Необходимо выбрать значение"));
        QCOMPARE(pdfFiles(), before);
        QVERIFY(viewer.opened.isEmpty());

        form->pipeArea()->setDn(50);
        {
            orxtest::ModalAnswerer unexpected(orxtest::ModalAnswerer::accept(), 300);
            QTest::mouseClick(reportButton(form), Qt::LeftButton);
            QVERIFY(!unexpected.answered());
        }
        const QString written = writtenPdf(viewer.opened);
        QVERIFY2(written.startsWith(QStringLiteral("Клапан_регулирующий_ОРИМАКС_")), qPrintable(written));
        QCOMPARE(pdfFiles().size(), before.size() + 1);
    }

    void refusedTasksShowTheMessageOnly_data()
    {
        QTest::addColumn<ValveTask>("task");
        QTest::addColumn<QString>("message");
        ValveTask order = recommendedTask();
        order.p2 = QStringLiteral("7");
        QTest::newRow("P2 above P1") << order
                                     << QStringLiteral(
                                            "Недопустимые входные данные:<br>давление перед клапаном "
                                            "должно превышать давление после клапана");
        ValveTask high = recommendedTask();
        high.p1 = QStringLiteral("25.5");
        QTest::newRow("P1 above 2.5 MPa gauge")
            << high
            << QStringLiteral("Недопустимые входные данные:<br>слишком высокое давление перед клапаном. "
                              "Избыточное давление не должно превышать 2.5 МПа");
        ValveTask section = recommendedTask();
        section.regulatedDrop = QStringLiteral("0");
        QTest::newRow("no drop on the regulated section")
            << section << QStringLiteral("Не заполнены входные данные");
        ValveTask flow = recommendedTask();
        flow.flow = QStringLiteral("0");
        QTest::newRow("no flow") << flow << QStringLiteral("Не заполнены входные данные");
        ValveTask huge = recommendedTask();
        huge.flow = QStringLiteral("99999999");
        QTest::newRow("no catalogue valve is large enough")
            << huge << QStringLiteral("Не удалось найти модель с подходящим kv");
    }

    void refusedTasksShowTheMessageOnly()
    {
        QFETCH(ValveTask, task);
        QFETCH(QString, message);
        orxtest::MessageCapture capture;
        ViewerStub viewer;
        Host host;
        ValveChild* form = host.add(new ValveChild);
        QVERIFY(host.show());
        enter(form, task);
        const Shown shown = read(form);
        QCOMPARE(shown.message, message);
        QVERIFY(shown.proposed.isEmpty());
        QVERIFY(shown.details.isEmpty());
        QVERIFY(!shown.hasReportButton);
        QVERIFY(!form->choiceCombo());
        QVERIFY(!form->pipeArea());
        // Without results there is nothing to report, and nobody is asked.
        QVERIFY(reportAsksNothing(form));
        QVERIFY(viewer.opened.isEmpty());
        QCOMPARE(capture.count(), 0);
    }

    void savedAndOpenedAgain()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("Тепловой пункт.orx"));
        Shown saved;
        {
            Host host;
            ValveChild* form = host.add(new ValveChild);
            QVERIFY(host.show());
            enter(form, example3());
            saved = read(form);
            QVERIFY(form->saveToFile(fileName));
            QCOMPARE(host.tabs.tabText(0), QStringLiteral("Тепловой пункт"));
        }
        Doc doc;
        QVERIFY(Doc::loadFromFile(fileName, doc));
        QCOMPARE(doc.docType(), 20);
        QCOMPARE(doc.value(Doc::fcDeviceType).toInt(), int(dtLMK3));

        orxtest::MessageCapture capture;
        Host host;
        ValveChild* form = host.add(new ValveChild(&doc));
        QVERIFY(host.show());
        QVERIFY(!form->isModified());
        QCOMPARE(int(form->deviceType()), int(dtLMK3));
        QCOMPARE(form->intComboValue(131, 0), int(ipReturn));
        QCOMPARE(form->intValue(1011), int(pkAbsolute));
        QCOMPARE(form->intValue(104), 2);
        const Shown reopened = read(form);
        QCOMPARE(reopened.details, saved.details);
        QCOMPARE(reopened.proposed, saved.proposed);
        QCOMPARE(reopened.choices, saved.choices);
        QCOMPARE(reopened.proposed.size(), 2);
        QCOMPARE(capture.count(), 0);
    }

    // Not a check: the window as the main window shows it, for a look.
    void screenshot()
    {
        if (qEnvironmentVariableIsEmpty("ORX_SCREENSHOT_DIR"))
            QSKIP("ORX_SCREENSHOT_DIR is not set");
        const QFont font = QApplication::font();
        QApplication::setFont(QFont(QStringLiteral("MS Shell Dlg 2"), 11));
        {
            Host host;
            ValveChild* form = host.add(new ValveChild);
            QVERIFY(host.show());
            enter(form, example1());
            toggleRejectedMode(form);
            saveScreenshot(host, QStringLiteral("valve-example1"));
            enter(form, saturatedTask());
            form->choiceCombo()->setCurrentIndex(2);
            saveScreenshot(host, QStringLiteral("valve-steam"));
        }
        QApplication::setFont(font);
    }
};

ORX_GUI_TEST_MAIN(TestValveChild)
#include "tst_valvechild.moc"
