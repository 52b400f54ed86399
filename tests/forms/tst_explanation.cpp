// Why a candidate is proposed, bold or rejected, as the selection windows say
// it: the tooltip of its row, the warning mark on a figure that misses its
// criterion, the line under the choice, and what a search without a model
// was missing. Driven through the worked examples as a user types them.

#include "forms/explanationtext.h"
#include "forms/regulatorchild.h"
#include "forms/valvechild.h"
#include "tst_valvechild_formreader.h"

using namespace formreader;

namespace {

const char* const kTypedValve1 = "141=50 102=6 103=5 1032=0.5 106=2.5 105=100 107=70";
const char* const kTypedRegulator3 = "1020=6 1021=4 1036=0.5 1035=1.3 106=0.15 105=100 107=47.5";
// Water through a 0.1 bar drop at 2000 m³/h: beyond the largest ЛМК-2.
const char* const kTypedHugeFlow = "102=6 103=5.9 1032=0.3 108=2000 105=90 107=70";
const Task kValve1{stPropyleneGlycol, dtLMK2, ipSupply, pkExcess, pmBar, wfTh, kTypedValve1};
const Task kValve4{
    stSuperheatedSteam, dtLMKP, ipSupply, pkAbsolute, pmBar, wfKgh, "102=4.8 103=3.5 108=1345.6 105=220"};
const Task kRegulator3{stWater, rtDiffPressure, ipSupply, pkAbsolute, pmBar, wfM3h, kTypedRegulator3};

// A form of the kind the task is for (the valve type or the regulation task), the task typed in.
std::unique_ptr<orxtest::FormHost> hostFor(bool regulator, const Task& t, SelectionChild*& form)
{
    auto host = std::make_unique<orxtest::FormHost>(orxtest::FormHost::ShowOnRequest, 1000);
    form = regulator ? static_cast<SelectionChild*>(host->add(new RegulatorChild()))
                     : static_cast<SelectionChild*>(host->add(new ValveChild()));
    if (!host->show())
        qWarning("the hosted form never became active");
    enter(form, t, regulator ? 130 : 32767);
    return host;
}

} // namespace

class TestExplanation : public QObject
{
    Q_OBJECT
private slots:
    void candidateRows_data()
    {
        QTest::addColumn<bool>("regulator");
        QTest::addColumn<Task>("task");
        QTest::addColumn<QString>("candidate");  // the short designation of the row
        QTest::addColumn<QStringList>("tip");    // lines its tooltip holds
        QTest::addColumn<QStringList>("marked"); // its cells marked as missing their criterion
        QTest::addColumn<QString>("line");       // the line under the choice; empty when rejected

        QTest::newRow("valve 1: DN 125 beyond the two smallest diameters")
            << false << kValve1 << QStringLiteral("ЛМК-2 DN 125 Kvy 125")
            << QStringList{QStringLiteral("Отбракован: DN 125 не входит в два наименьших диаметра (80, 100)"),
                           QStringLiteral("Запас 1,35 — вне 1,1–1,3")}
            << QStringList{QStringLiteral("1.35")} << QString();
        QTest::newRow("valve 1: DN 80 misses the safety factor and the speed")
            << false << kValve1 << QStringLiteral("ЛМК-2 DN 80 Kvy 100")
            << QStringList{QStringLiteral("Предложен"), QStringLiteral("Авторитет 0,65 ≥ 0,5"),
                           QStringLiteral("Кавитации нет (перепад 0,10 МПа, вскипание при 0,37 МПа)")}
            << QStringList{QStringLiteral("1.08")}
            << QStringLiteral(
                   "Скорость 5,42 м/с — выше 3,0 · запас 1,08 — вне 1,1–1,3 · авторитет 0,65 ≥ 0,5 · "
                   "кавитации нет");
        QTest::newRow("valve 4: steam speeds count as acceptable")
            << false << kValve4 << QStringLiteral("ЛМК-П DN 50 Kvy 32")
            << QStringList{QStringLiteral("Предложен")} << QStringList()
            << QStringLiteral(
                   "Скорость до 88,30 м/с, после 121,83 м/с — допустима · запас не рассчитывается · "
                   "авторитет не рассчитывается · кавитация не оценивается");
        QTest::newRow("regulator 3: Kvs 3.2 excluded")
            << true << kRegulator3 << QStringLiteral("ЛМР-Д DN 20 Kvy 3.2 (0,04 - 0,70 МПа)")
            << QStringList{QStringLiteral("Отбракован: Kvs 3,2 — исключённое значение")} << QStringList()
            << QString();
        QTest::newRow("regulator 3: DN 25 beyond the two smallest diameters")
            << true << kRegulator3 << QStringLiteral("ЛМР-Д DN 25 Kvy 4 (0,04 - 0,70 МПа)")
            << QStringList{QStringLiteral("Отбракован: DN 25 не входит в два наименьших диаметра (15, 20)")}
            << QStringList() << QString();
        QTest::newRow("regulator 3: DN 15 Kvs 4 too fast for its pipe")
            << true << kRegulator3 << QStringLiteral("ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа)") << QStringList()
            << QStringList()
            << QStringLiteral("Скорость 4,68 м/с — выше 3,0 · кавитации нет · шум: ниже средней · "
                              "настройка 0,05 МПа в диапазоне 0,04 - 0,70 МПа");
    }

    void candidateRows()
    {
        QFETCH(bool, regulator);
        QFETCH(Task, task);
        QFETCH(QString, candidate);
        QFETCH(QStringList, tip);
        QFETCH(QStringList, marked);
        QFETCH(QString, line);
        orxtest::MessageCapture capture;
        SelectionChild* form = nullptr;
        const auto host = hostFor(regulator, task, form);
        toggleRejectedMode(form);
        form->layout()->activate();

        QLabel* name = visibleLabel(form, candidate);
        QVERIFY2(name, qPrintable(candidate));
        const QStringList lines = name->toolTip().split(QLatin1Char('\n'));
        for (const QString& expected : tip)
            QVERIFY2(lines.contains(expected), qPrintable(name->toolTip()));
        // Every cell of the row explains the candidate; the missed ones stand out.
        QStringList missed;
        for (QLabel* cell : form->findChildren<QLabel*>()) {
            if (cell == name || !cell->isVisible() || !sameRow(form, cell, name) ||
                positionIn(form, cell).x() < positionIn(form, name).x())
                continue;
            QCOMPARE(cell->toolTip(), name->toolTip());
            if (cell->palette().color(QPalette::WindowText) != name->palette().color(QPalette::WindowText))
                missed << cell->text();
        }
        QCOMPARE(missed, marked);

        // The choice names it in full: the name of the series before "DN".
        int choice = -1;
        for (int i = 0; i < form->choiceCombo()->count(); ++i)
            if (form->choiceCombo()->itemText(i).endsWith(
                    candidate.mid(candidate.indexOf(QLatin1String(" DN")))))
                choice = i;
        QCOMPARE(choice >= 0, !line.isEmpty());
        if (choice >= 0) {
            form->choiceCombo()->setCurrentIndex(choice);
            QVERIFY(form->choiceExplanation()->isVisible());
            QCOMPARE(form->choiceExplanation()->text().replace(QLatin1Char('\n'), QStringLiteral(" · ")),
                     line);
            QVERIFY(lines.contains(line.section(QStringLiteral(" · "), 0, 0)));
        }
        QCOMPARE(capture.count(), 0);
    }

    // Choices are not kept: the line goes with "-- Выбрать --" and with a modification.
    void lineGoesWithTheChoice()
    {
        SelectionChild* form = nullptr;
        const auto host = hostFor(false, kValve1, form);
        QVERIFY(!form->choiceExplanation()->isVisible());
        form->choiceCombo()->setCurrentIndex(1);
        QVERIFY(form->choiceExplanation()->isVisible());
        form->choiceCombo()->setCurrentIndex(0);
        QVERIFY(!form->choiceExplanation()->isVisible());
        form->choiceCombo()->setCurrentIndex(1);
        orxtest::typeInto(form->ctrl<QDoubleSpinBox>(107), QStringLiteral("69"));
        QCOMPARE(form->choiceCombo()->currentIndex(), 0);
        QVERIFY(!form->choiceExplanation()->isVisible());
    }

    // The rules no worked example reaches, and a figure that is not a number.
    void rareTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        using explain::Rejection;
        QTest::newRow("below the threshold of its DN")
            << explaintext::rejection(Rejection{Rejection::BelowDnThreshold, {}, 16, 25, 0, {}}, 50)
            << QStringLiteral("Kvs 16 меньше порога 25 для DN 50");
        const QList<explain::TuningSpan> springs{{80, 0.04, 0.5, 527}, {80, 0.5, 1.2, 835}};
        QTest::newRow("no tuning range")
            << explaintext::rejection(Rejection{Rejection::NoTuningRange, {}, 0, 0, 1.3, springs}, 80)
            << QStringLiteral("Ни один диапазон настройки DN 80 не содержит уставку 1,30 МПа "
                              "(0,04 - 0,70 МПа, 0,20 - 1,20 МПа)");
        QTest::newRow("not a number") << explaintext::figure(explain::none) << QStringLiteral("—");
    }

    void rareTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void noSuitableModel_data()
    {
        QTest::addColumn<bool>("regulator");
        QTest::addColumn<Task>("task");
        QTest::addColumn<QString>("missing");
        QTest::newRow("Kv beyond the series")
            << false << Task{stWater, dtLMK2, ipSupply, pkExcess, pmBar, wfM3h, kTypedHugeFlow}
            << QStringLiteral(
                   "Расчётный Kv 6214,02 м³/ч больше, чем может дать серия: наибольший Kvs 1600 м³/ч");
        QTest::newRow("setpoint below the springs")
            << true
            << Task{stSaturatedSteam, rtDownstream, ipSupply, pkExcess, pmBar, wfKgh, "102=8 103=0.5 108=500"}
            << QStringLiteral("Уставка 0,05 МПа не входит ни в один диапазон настройки (0,10 - 0,70 МПа, "
                              "0,30 - 1,20 МПа)");
    }

    void noSuitableModel()
    {
        QFETCH(bool, regulator);
        QFETCH(Task, task);
        QFETCH(QString, missing);
        orxtest::MessageCapture capture;
        SelectionChild* form = nullptr;
        const auto host = hostFor(regulator, task, form);
        form->layout()->activate();
        const Shown shown = read(form);
        QVERIFY(shown.message.startsWith(QStringLiteral("Не")));
        QLabel* line = visibleLabel(form, missing);
        QVERIFY2(line, qPrintable(missing));
        QVERIFY(positionIn(form, line).y() > positionIn(form, visibleLabel(form, shown.message)).y());
    }
};

QTEST_MAIN(TestExplanation)
#include "tst_explanation.moc"
