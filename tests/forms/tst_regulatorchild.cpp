// The regulator selection window driven as a user drives it: the worked
// examples typed in and read back from the results, the pressure rows of each
// regulation task with the unit combo on the first of them, the balance of the
// losses of the differential scheme, the media that allow only the steam
// regulator, the report button's warnings and report, and a document saved and
// opened again.

#include "forms/regulatorchild.h"
#include "framework/radioarea.h"
#include "tst_valvechild_formreader.h"

#include <QTemporaryDir>

using namespace common;
using namespace formreader;

namespace {

// A regulator task as the user gives it; pressures are typed in the order given.
struct RegulatorTask
{
    int medium = stWater;
    QString concentration;
    int regulation = rtDiffPressure;
    int place = ipSupply;
    int kind = pkAbsolute;
    int pressureUnit = pmBar;
    // (field code, text), typed one after the other.
    QList<QPair<qint16, QString>> pressures;
    QString heat; // empty: the flow is given directly
    QString supply;
    QString ret;
    int flowUnit = wfM3h;
    QString flow;
};

RegulatorTask example1()
{
    RegulatorTask t;
    t.medium = stPropyleneGlycol;
    t.concentration = QStringLiteral("10");
    t.place = ipReturn;
    t.pressures = {{1020, QStringLiteral("5")},
                   {1021, QStringLiteral("1")},
                   {1036, QStringLiteral("1")},
                   {1035, QStringLiteral("2")}};
    t.heat = QStringLiteral("2");
    t.supply = QStringLiteral("100");
    t.ret = QStringLiteral("46");
    return t;
}

RegulatorTask example2()
{
    RegulatorTask t;
    t.regulation = rtUpstream;
    // The pressure before the regulator is kept in the return pipe.
    t.place = ipReturn;
    t.kind = pkExcess;
    t.pressureUnit = pmAtm;
    t.pressures = {{102, QStringLiteral("8")}, {103, QStringLiteral("4.1")}};
    t.ret = QStringLiteral("46");
    t.flow = QStringLiteral("38.88");
    return t;
}

RegulatorTask example3()
{
    RegulatorTask t;
    t.pressures = {{1020, QStringLiteral("6")},
                   {1021, QStringLiteral("4")},
                   {1036, QStringLiteral("0.5")},
                   {1035, QStringLiteral("1.3")}};
    t.heat = QStringLiteral("0.15");
    t.supply = QStringLiteral("100");
    t.ret = QStringLiteral("47.5");
    return t;
}

void enter(RegulatorChild* form, const RegulatorTask& t)
{
    select(form->ctrl<QComboBox>(121), t.medium);
    if (!t.concentration.isEmpty())
        typeInto(form->ctrl<QDoubleSpinBox>(141), t.concentration);
    select(form->ctrl<QComboBox>(130), t.regulation);
    if (form->control(131)->isEnabled())
        select(form->ctrl<QComboBox>(131), t.place);
    form->ctrl<RadioArea>(1011)->setCheckedId(t.kind);
    select(form->ctrl<QComboBox>(101), t.pressureUnit);
    for (const auto& pressure : t.pressures)
        typeInto(form->ctrl<QDoubleSpinBox>(pressure.first), pressure.second);
    select(form->ctrl<QComboBox>(1081), t.flowUnit);
    if (!t.heat.isEmpty()) {
        form->ctrl<RadioArea>(104)->setCheckedId(2);
        select(form->ctrl<QComboBox>(1061), hmGcalH);
        typeInto(form->ctrl<QDoubleSpinBox>(106), t.heat);
    } else {
        typeInto(form->ctrl<QDoubleSpinBox>(108), t.flow);
    }
    if (!t.supply.isEmpty() && form->control(105)->isVisible())
        typeInto(form->ctrl<QDoubleSpinBox>(105), t.supply);
    if (!t.ret.isEmpty() && form->control(107)->isVisible())
        typeInto(form->ctrl<QDoubleSpinBox>(107), t.ret);
}

// The row of the grid a widget stands on, as the eye sees it.
bool onSameRow(RegulatorChild* form, qint16 a, qint16 b)
{
    form->layout()->activate();
    return sameRow(form, form->control(a), form->control(b));
}

QStringList rows(const char* suffix, const QStringList& designations)
{
    QStringList result;
    for (const QString& d : designations)
        result << d + QString::fromUtf8(suffix);
    return result;
}

} // namespace

Q_DECLARE_METATYPE(RegulatorTask)

using orxtest::ViewerStub;

class TestRegulatorChild : public QObject
{
    Q_OBJECT

private slots:
    void newDocumentShowsTheDifferentialScheme()
    {
        orxtest::MessageCapture capture;
        Host host;
        RegulatorChild* form = host.add(new RegulatorChild);
        QVERIFY(host.show());
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Регулятор 1"));
        QCOMPARE(int(form->docType()), 30);
        QCOMPARE(int(form->deviceType()), int(dtLMRD));
        QCOMPARE(form->ctrl<QComboBox>(130)->count(), 3);
        QCOMPARE(form->regulation(), int(rtDiffPressure));
        // Regulators serve the combined systems too.
        QCOMPARE(form->ctrl<QComboBox>(120)->count(), 8);
        for (qint16 code : {1020, 1021, 1035, 1036, 10371, 1037})
            QVERIFY2(form->control(code)->isVisible(), qPrintable(QString::number(code)));
        for (qint16 code : {102, 103, 1031})
            QVERIFY2(!form->control(code)->isVisible(), qPrintable(QString::number(code)));
        QVERIFY(!form->control(1031)->isEnabled());
        QVERIFY(!form->control(1037)->isEnabled());
        QVERIFY(form->control(131)->isEnabled());
        QVERIFY(onSameRow(form, 101, 1020));
        QCOMPARE(form->label(10371)->text(),
                 QStringLiteral("Потери на другом оборудовании <b><i>до</i></b> регулируемого участка "
                                "(расходомеры, фильтры, грязевики и пр.) <i>%1Pдр.под:</i>")
                     .arg(QChar(0x0394)));
        QCOMPARE(form->subLabel(1037)->text(), QStringLiteral("бар"));
        QCOMPARE(read(form).message, QStringLiteral("Не заполнены входные данные"));
        QCOMPARE(capture.count(), 0);
    }

    void workedExamples_data()
    {
        QTest::addColumn<RegulatorTask>("task");
        QTest::addColumn<QStringList>("balance");
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QStringList>("details");
        QTest::addColumn<QStringList>("proposed");
        QTest::addColumn<QStringList>("rejected");
        QTest::addColumn<QString>("fullName");

        const QString density = QStringLiteral("Плотность рабочей среды: = ");
        const QString kv = QStringLiteral("Расчётный Kv: = ");
        const QString saturation = QStringLiteral("Абс. давление насыщенных<br>паров в регуляторе: = ");
        QTest::newRow("1: ЛМР-Д, propylene glycol 10 %, return pipe")
            << example1() << QStringList{QStringLiteral("0.50"), QStringLiteral("0.50")}
            << QStringLiteral("38.71")
            << QStringList{density + QStringLiteral("997.8"), kv + QStringLiteral("27.34")}
            << rows(" (0,04 - 0,70 МПа)|низкая|ниже средней",
                    {QStringLiteral("ЛМР-Д DN 40 Kvy 25"), QStringLiteral("ЛМР-Д DN 50 Kvy 32"),
                     QStringLiteral("ЛМР-Д DN 50 Kvy 25")})
            << rows(" (0,04 - 0,70 МПа)|низкая|ниже средней",
                    {QStringLiteral("ЛМР-Д DN 65 Kvy 40"), QStringLiteral("ЛМР-Д DN 65 Kvy 32"),
                     QStringLiteral("ЛМР-Д DN 65 Kvy 25"), QStringLiteral("ЛМР-Д DN 80 Kvy 40"),
                     QStringLiteral("ЛМР-Д DN 80 Kvy 32")})
            << QStringLiteral("Регулятор перепада давления ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)");
        QTest::newRow("2: ЛМР-1, water, gauge atm")
            << example2() << QStringList{QStringLiteral("0.00"), QStringLiteral("0.00")}
            << QStringLiteral("38.88")
            << QStringList{saturation + QStringLiteral("0.010"), density + QStringLiteral("989.9"),
                           kv + QStringLiteral("19.46")}
            << rows(" (0,60 - 1,00 МПа)|низкая|выше средней",
                    {QStringLiteral("ЛМР-1 DN 40 Kvy 25"), QStringLiteral("ЛМР-1 DN 50 Kvy 25")})
            << rows(" (0,60 - 1,00 МПа)|низкая|выше средней",
                    {QStringLiteral("ЛМР-1 DN 40 Kvy 20"), QStringLiteral("ЛМР-1 DN 65 Kvy 25")})
            << QStringLiteral("Регулятор давления «до себя» ЛМР-1 DN 40 Kvy 25 (0,60 - 1,00 МПа)");
        QTest::newRow("3: ЛМР-Д, water, supply pipe")
            << example3() << QStringList{QStringLiteral("0.10"), QStringLiteral("0.10")}
            << QStringLiteral("2.98")
            << QStringList{saturation + QStringLiteral("0.101"), density + QStringLiteral("958.4"),
                           kv + QStringLiteral("2.56")}
            << rows(" (0,04 - 0,70 МПа)|низкая|ниже средней",
                    {QStringLiteral("ЛМР-Д DN 15 Kvy 4"), QStringLiteral("ЛМР-Д DN 15 Kvy 2.5"),
                     QStringLiteral("ЛМР-Д DN 20 Kvy 4"), QStringLiteral("ЛМР-Д DN 20 Kvy 2.5")})
            << rows(" (0,04 - 0,70 МПа)|низкая|ниже средней",
                    {QStringLiteral("ЛМР-Д DN 20 Kvy 3.2"), QStringLiteral("ЛМР-Д DN 25 Kvy 4")})
            << QStringLiteral("Регулятор перепада давления ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа)");
    }

    void workedExamples()
    {
        QFETCH(RegulatorTask, task);
        QFETCH(QStringList, balance);
        QFETCH(QString, flow);
        QFETCH(QStringList, details);
        QFETCH(QStringList, proposed);
        QFETCH(QStringList, rejected);
        QFETCH(QString, fullName);
        orxtest::MessageCapture capture;
        Host host;
        RegulatorChild* form = host.add(new RegulatorChild);
        QVERIFY(host.show());
        enter(form, task);

        // The losses of the scheme were balanced as the drops were typed.
        QCOMPARE((QStringList{form->ctrl<QDoubleSpinBox>(10371)->text(),
                              form->ctrl<QDoubleSpinBox>(1037)->text()}),
                 balance);
        QCOMPARE(form->ctrl<QDoubleSpinBox>(108)->text(), flow);
        QCOMPARE(form->intComboValue(131, 0), task.place);
        Shown shown = read(form);
        QCOMPARE(shown.message, QString());
        QCOMPARE(detailList(shown.details), details);
        QCOMPARE(shown.proposed, proposed);
        QCOMPARE(shown.rejected, QStringList());
        QCOMPARE(shown.columns, (QStringList{QStringLiteral("Регулятор"),
                                             QStringLiteral("Вероятность кавитации в\nрегуляторе"),
                                             QStringLiteral("Вероятность шума и вибрации в регуляторе")}));
        QVERIFY(shown.bold.isEmpty());
        QCOMPARE(shown.choices.size(), proposed.size() + 1);
        QCOMPARE(shown.choices.value(0), QStringLiteral("-- Выбрать --"));
        QCOMPARE(shown.choices.value(1), fullName);
        QVERIFY(shown.hasReportButton);

        QTest::keyClick(form, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
        shown = read(form);
        QCOMPARE(shown.proposed, proposed);
        QCOMPARE(shown.rejected, rejected);
        QCOMPARE(capture.count(), 0);
    }

    void lossesBalanceTheDifferentialScheme()
    {
        Host host;
        RegulatorChild* form = host.add(new RegulatorChild);
        QVERIFY(host.show());
        auto* before = form->ctrl<QDoubleSpinBox>(10371);
        auto* after = form->ctrl<QDoubleSpinBox>(1037);
        // Typed while some drop is still empty: nothing to balance yet.
        typeInto(form->ctrl<QDoubleSpinBox>(1021), QStringLiteral("3"));
        typeInto(form->ctrl<QDoubleSpinBox>(1035), QStringLiteral("1"));
        typeInto(form->ctrl<QDoubleSpinBox>(1036), QStringLiteral("1"));
        QCOMPARE(before->value(), 0.0);
        QCOMPARE(after->value(), 0.0);
        // Editing Pпод: the rest of the drop is shared by both losses.
        typeInto(form->ctrl<QDoubleSpinBox>(1020), QStringLiteral("6"));
        QCOMPARE(before->value(), 0.5);
        QCOMPARE(after->value(), 0.5);
        // The losses before the section are the user's: the losses after take the rest.
        typeInto(before, QStringLiteral("0.8"));
        QCOMPARE(before->value(), 0.8);
        QCOMPARE(after->value(), 0.2);
        // The drops add up: only the temperatures and the flow are still missing.
        const QString missing = QStringLiteral("Не заполнены входные данные");
        QCOMPARE(read(form).message, missing);

        // A rest of odd hundredths: the losses still add up to the drop.
        typeInto(form->ctrl<QDoubleSpinBox>(1036), QStringLiteral("0.97"));
        QCOMPARE(before->value() + after->value(), 1.03);
        QVERIFY(std::abs(before->value() - after->value()) <= 0.011);
        QCOMPARE(read(form).message, missing);

        // Values not typed in the scheme (the focus elsewhere) are left as they are:
        // the calculation tells the user the drops do not add up.
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
        RegulatorChild* form = host.add(new RegulatorChild);
        QVERIFY(host.show());
        auto* flowMode = form->ctrl<RadioArea>(104);
        flowMode->setCheckedId(2);
        select(form->ctrl<QComboBox>(131), ipSupply);

        select(form->ctrl<QComboBox>(130), rtUpstream);
        QCOMPARE(int(form->deviceType()), int(dtLMR1));
        for (qint16 code : {102, 103, 1031})
            QVERIFY(form->control(code)->isVisible());
        for (qint16 code : {1020, 1021, 1035, 1036, 10371, 1037})
            QVERIFY(!form->control(code)->isVisible());
        QVERIFY(onSameRow(form, 101, 102));
        QCOMPARE(form->intComboValue(131, 0), int(ipReturn));
        QVERIFY(!form->control(131)->isEnabled());
        QCOMPARE(flowMode->checkedId(), 1);
        QVERIFY(!flowMode->button(2)->isEnabled());
        QVERIFY(!form->control(105)->isVisible());
        QVERIFY(form->control(107)->isVisible());
        // ΔPрег is always P1 - P2, whatever has the focus.
        typeInto(form->ctrl<QDoubleSpinBox>(102), QStringLiteral("8"));
        typeInto(form->ctrl<QDoubleSpinBox>(103), QStringLiteral("4.1"));
        QCOMPARE(form->ctrl<QDoubleSpinBox>(1031)->text(), QStringLiteral("3.90"));

        select(form->ctrl<QComboBox>(130), rtDownstream);
        QCOMPARE(int(form->deviceType()), int(dtLMRD));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QVERIFY(form->control(105)->isVisible());
        QVERIFY(!form->control(107)->isVisible());
        QVERIFY(onSameRow(form, 101, 102));

        select(form->ctrl<QComboBox>(130), rtDiffPressure);
        QVERIFY(onSameRow(form, 101, 1020));
        QVERIFY(form->control(131)->isEnabled());
        QVERIFY(flowMode->button(2)->isEnabled());
        QVERIFY(form->control(105)->isVisible() && form->control(107)->isVisible());

        // Every pressure sub-label follows the unit.
        select(form->ctrl<QComboBox>(101), pmMPa);
        for (qint16 code : {103, 1031, 1021, 1035, 1036, 10371, 1037})
            QCOMPARE(form->subLabel(code)->text(), QStringLiteral("МПа"));
        QCOMPARE(capture.count(), 0);
    }

    void steamTakesTheDownstreamRegulatorOnly()
    {
        orxtest::MessageCapture capture;
        Host host;
        RegulatorChild* form = host.add(new RegulatorChild);
        QVERIFY(host.show());
        form->ctrl<RadioArea>(104)->setCheckedId(2);
        select(form->ctrl<QComboBox>(131), ipReturn);
        select(form->ctrl<QComboBox>(121), stSaturatedSteam);
        auto* task = form->ctrl<QComboBox>(130);
        QCOMPARE(task->count(), 1);
        QCOMPARE(task->currentText(), QStringLiteral("давления \"после себя\""));
        QCOMPARE(int(form->deviceType()), int(dtLMR2P));
        QCOMPARE(form->intComboValue(131, 0), int(ipSupply));
        QCOMPARE(form->intValue(104), 1);
        QCOMPARE(form->resultColumnCount(), 1);

        RegulatorTask steam;
        steam.medium = stSaturatedSteam;
        steam.regulation = rtDownstream;
        steam.kind = pkExcess;
        steam.pressures = {{102, QStringLiteral("8")}, {103, QStringLiteral("3")}};
        steam.flowUnit = wfKgh;
        steam.flow = QStringLiteral("500");
        enter(form, steam);
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
        select(form->ctrl<QComboBox>(121), stWater);
        QCOMPARE(task->count(), 3);
        QCOMPARE(form->regulation(), int(rtDownstream));
        QCOMPARE(form->resultColumnCount(), 3);
        QCOMPARE(capture.count(), 0);
    }

    void reportButtonWarnsThenWrites()
    {
        ViewerStub viewer;
        Host host;
        RegulatorChild* form = host.add(new RegulatorChild);
        QVERIFY(host.show());
        enter(form, example3());
        const QStringList before = pdfFiles();
        QCOMPARE(reportButtonWarning(form),
                 (QStringList{QStringLiteral("Валидация"), QStringLiteral("Необходимо выбрать устройство")}));
        form->choiceCombo()->setCurrentIndex(3);
        QCOMPARE(form->stdDn(), 20);
        QVERIFY(pipeTexts(form).value(2).startsWith(QStringLiteral("DN 20 - максимальная скорость потока ")));
        form->pipeArea()->setDn(0);
        QCOMPARE(reportButtonWarning(form).value(1), QStringLiteral("Необходимо выбрать значение"));
        QCOMPARE(pdfFiles(), before);
        QVERIFY(viewer.opened.isEmpty());

        form->pipeArea()->setDn(25);
        QTest::mouseClick(reportButton(form), Qt::LeftButton);
        const QString written = writtenPdf(viewer.opened);
        QVERIFY2(written.startsWith(QStringLiteral("Регулятор_перепада_давления_ОРИМАКС_")),
                 qPrintable(written));
        QCOMPARE(pdfFiles().size(), before.size() + 1);
    }

    void refusedTasksShowTheMessageOnly_data()
    {
        QTest::addColumn<RegulatorTask>("task");
        QTest::addColumn<QString>("message");
        RegulatorTask small = example3();
        small.pressures = {{1020, QStringLiteral("6")},
                           {1021, QStringLiteral("4")},
                           {1036, QStringLiteral("0.3")},
                           {1035, QStringLiteral("1.3")}};
        QTest::newRow("regulated drop below 0.04 MPa")
            << small
            << QStringLiteral(
                   "Недопустимые входные данные:<br>слишком маленький перепад давления на регулируемом "
                   "участке. Должен быть не менее 0,04 МПа");
        RegulatorTask order = example2();
        order.pressures = {{102, QStringLiteral("4")}, {103, QStringLiteral("8")}};
        QTest::newRow("P2 above P1") << order
                                     << QStringLiteral(
                                            "Недопустимые входные данные:<br>давление перед регулятором "
                                            "(<i>P1</i>) должно превышать давление после регулятора "
                                            "(<i>P2</i>)");
        RegulatorTask noFlow = example2();
        noFlow.flow = QStringLiteral("0");
        QTest::newRow("no flow") << noFlow << QStringLiteral("Не заполнены входные данные");
    }

    void refusedTasksShowTheMessageOnly()
    {
        QFETCH(RegulatorTask, task);
        QFETCH(QString, message);
        orxtest::MessageCapture capture;
        ViewerStub viewer;
        Host host;
        RegulatorChild* form = host.add(new RegulatorChild);
        QVERIFY(host.show());
        enter(form, task);
        const Shown shown = read(form);
        QCOMPARE(shown.message, message);
        QVERIFY(shown.proposed.isEmpty());
        QVERIFY(!shown.hasReportButton);
        QVERIFY(!form->choiceCombo());
        QVERIFY(reportAsksNothing(form));
        QVERIFY(viewer.opened.isEmpty());
        QCOMPARE(capture.count(), 0);
    }

    void savedAndOpenedAgain()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("Узел ввода.orx"));
        Shown saved;
        {
            Host host;
            RegulatorChild* form = host.add(new RegulatorChild);
            QVERIFY(host.show());
            enter(form, example1());
            saved = read(form);
            QVERIFY(form->saveToFile(fileName));
        }
        Doc doc;
        QVERIFY(Doc::loadFromFile(fileName, doc));
        QCOMPARE(doc.docType(), 30);
        QCOMPARE(doc.value(Doc::fcDeviceType).toInt(), int(dtLMRD));

        orxtest::MessageCapture capture;
        Host host;
        RegulatorChild* form = host.add(new RegulatorChild(&doc));
        QVERIFY(host.show());
        QVERIFY(!form->isModified());
        QCOMPARE(host.tabs.tabText(0), QStringLiteral("Узел ввода"));
        QCOMPARE(form->intComboValue(121, 0), int(stPropyleneGlycol));
        QCOMPARE(form->intComboValue(131, 0), int(ipReturn));
        QCOMPARE(form->doubleValue(10371), 0.5);
        QCOMPARE(form->doubleValue(1037), 0.5);
        const Shown reopened = read(form);
        QCOMPARE(reopened.details, saved.details);
        QCOMPARE(reopened.proposed, saved.proposed);
        QCOMPARE(reopened.choices, saved.choices);
        QCOMPARE(reopened.proposed.size(), 3);
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
            RegulatorChild* form = host.add(new RegulatorChild);
            QVERIFY(host.show());
            enter(form, example3());
            saveScreenshot(host, QStringLiteral("regulator-example3"));
            enter(form, example2());
            saveScreenshot(host, QStringLiteral("regulator-example2"));
            select(form->ctrl<QComboBox>(130), rtDiffPressure);
            form->ctrl<QDoubleSpinBox>(1020)->setValue(7);
            saveScreenshot(host, QStringLiteral("regulator-refused"));
        }
        QApplication::setFont(font);
    }
};

ORX_GUI_TEST_MAIN(TestRegulatorChild)
#include "tst_regulatorchild.moc"
