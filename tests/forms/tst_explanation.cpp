// Why a candidate is proposed, bold or rejected, as the selection windows say
// it: the tooltip of its row, the warning mark on a figure that misses its
// criterion, the line under the choice, and what a search without a model
// was missing. Driven through the worked examples as a user types them.

#include "../core/tablerows.h"
#include "forms/explanationtext.h"
#include "forms/regulatorchild.h"
#include "forms/valvechild.h"
#include "tst_selectionchild_formreader.h"

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
const Task kHugeFlow{stWater, dtLMK2, ipSupply, pkExcess, pmBar, wfM3h, kTypedHugeFlow};
const Task kLowSetpoint{stSaturatedSteam,       rtDownstream, ipSupply, pkExcess, pmBar, wfKgh,
                        "102=8 103=0.5 108=500"};

// One candidate of a task: lines its tooltip holds, its figures marked as
// missing their criterion and the line under its choice (none when rejected).
// Without a candidate, the line under the message of a search without a model.
const struct
{
    const char* name;
    bool regulator;
    const Task* task;
    const char* candidate;
    const char* tip; // lines joined by "\n"
    const char* marked;
    const char* line;
} kRows[] = {
    {"valve 1: DN 125 beyond the two smallest diameters", false, &kValve1, "ЛМК-2 DN 125 Kvy 125",
     "Отбракован: DN 125 не входит в два наименьших диаметра (80, 100)\nЗапас 1,35 — вне 1,1–1,3", "1.35",
     ""},
    {"valve 1: DN 80 misses the safety factor and the speed", false, &kValve1, "ЛМК-2 DN 80 Kvy 100",
     "Предложен\nАвторитет 0,65 ≥ 0,5\nКавитации нет (перепад 0,10 МПа, вскипание при 0,37 МПа)", "1.08",
     "Скорость 5,42 м/с — выше 3,0 · запас 1,08 — вне 1,1–1,3 · авторитет 0,65 ≥ 0,5 · кавитации нет"},
    {"valve 4: steam speeds count as acceptable", false, &kValve4, "ЛМК-П DN 50 Kvy 32", "Предложен", "",
     "Скорость до 88,30 м/с, после 121,83 м/с — допустима · запас не рассчитывается · авторитет не "
     "рассчитывается · кавитация не оценивается"},
    {"regulator 3: Kvs 3.2 excluded", true, &kRegulator3, "ЛМР-Д DN 20 Kvy 3.2 (0,04 - 0,70 МПа)",
     "Отбракован: Kvs 3,2 — исключённое значение", "", ""},
    {"regulator 3: DN 15 Kvs 4 too fast for its pipe", true, &kRegulator3,
     "ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа)", "", "",
     "Скорость 4,68 м/с — выше 3,0 · кавитации нет · шум: ниже средней · настройка 0,05 МПа в диапазоне 0,04 "
     "- 0,70 МПа"},
    {"no model: Kv beyond the series", false, &kHugeFlow, "", "", "",
     "Расчётный Kv 6214,02 м³/ч больше, чем может дать серия: наибольший Kvs 1600 м³/ч"},
    {"no model: setpoint below the springs", true, &kLowSetpoint, "", "", "",
     "Уставка 0,05 МПа не входит ни в один диапазон настройки (0,10 - 0,70 МПа, 0,30 - 1,20 МПа)"},
};

} // namespace

class TestExplanation : public QObject
{
    Q_OBJECT
private slots:
    void candidateRows_data() { tableRows(kRows); }
    void candidateRows()
    {
        ORX_ROW(kRows);
        orxtest::MessageCapture capture;
        orxtest::FormHost host(orxtest::FormHost::ShowOnRequest, 1000);
        SelectionChild* form = row.regulator ? static_cast<SelectionChild*>(host.add(new RegulatorChild()))
                                             : static_cast<SelectionChild*>(host.add(new ValveChild()));
        QVERIFY(host.show());
        enter(form, *row.task, row.regulator ? 130 : 32767);
        const QString candidate = QString::fromUtf8(row.candidate);
        const QString line = QString::fromUtf8(row.line);
        if (candidate.isEmpty()) {
            // Under the calculation's own message, which stays as it was.
            const QString message = read(form).message;
            QVERIFY(message.startsWith(QStringLiteral("Не")));
            QLabel* missing = visibleLabel(form, line);
            QVERIFY2(missing, qPrintable(line));
            QVERIFY(positionIn(form, missing).y() > positionIn(form, visibleLabel(form, message)).y());
            return;
        }
        toggleRejectedMode(form);
        form->layout()->activate();
        QLabel* name = visibleLabel(form, candidate);
        QVERIFY2(name, row.candidate);
        const QStringList lines = name->toolTip().split(QLatin1Char('\n'));
        for (const QString& expected :
             QString::fromUtf8(row.tip).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
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
        QCOMPARE(missed.join(QLatin1Char('|')), QString::fromUtf8(row.marked));

        // The choice names it in full: the name of the series before "DN".
        const int choice = form->choiceCombo()->findText(
            candidate.mid(candidate.indexOf(QLatin1String(" DN"))), Qt::MatchEndsWith);
        QCOMPARE(choice >= 0, !line.isEmpty());
        if (choice >= 0) {
            form->choiceCombo()->setCurrentIndex(choice);
            QVERIFY(form->choiceExplanation()->isVisible());
            QCOMPARE(form->choiceExplanation()->text().replace(QLatin1Char('\n'), QStringLiteral(" · ")),
                     line);
            QVERIFY(lines.contains(line.section(QStringLiteral(" · "), 0, 0)));
            // Choices are not kept: the line goes with "-- Выбрать --" and with a new calculation.
            form->choiceCombo()->setCurrentIndex(0);
            QVERIFY(!form->choiceExplanation()->isVisible());
            form->choiceCombo()->setCurrentIndex(choice);
            toggleRejectedMode(form);
            QCOMPARE(form->choiceCombo()->currentIndex(), 0);
            QVERIFY(!form->choiceExplanation()->isVisible());
        }
        QCOMPARE(capture.count(), 0);
    }

    // The rules no worked example reaches, and a figure that is not a number.
    void rareTexts()
    {
        using explain::Rejection;
        QCOMPARE(explaintext::rejection(Rejection{Rejection::BelowDnThreshold, {}, 16, 25, 0, {}}, 50),
                 QStringLiteral("Kvs 16 меньше порога 25 для DN 50"));
        const QList<explain::TuningSpan> springs{{80, 0.04, 0.5, 527}, {80, 0.5, 1.2, 835}};
        QCOMPARE(explaintext::rejection(Rejection{Rejection::NoTuningRange, {}, 0, 0, 1.3, springs}, 80),
                 QStringLiteral("Ни один диапазон настройки DN 80 не содержит уставку 1,30 МПа "
                                "(0,04 - 0,70 МПа, 0,20 - 1,20 МПа)"));
        QCOMPARE(explaintext::figure(explain::none), QStringLiteral("—"));
    }
};

QTEST_MAIN(TestExplanation)
#include "tst_explanation.moc"
