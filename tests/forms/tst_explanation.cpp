// Why a candidate is proposed, bold or rejected: its row's tooltip, the marks on missed figures, the
// line under the choice, and what a search without a model was missing; through the worked examples.

#include "forms/explanationtext.h"
#include "tablerows.h"
#include "tst_selectionchild_formreader.h"

using namespace formreader;

namespace {

// Water through a 0.1 bar drop at 2000 m³/h: beyond the largest ЛМК-2.
const Task kHugeFlow{
    stWater, dtLMK2, ipSupply, pkExcess, pmBar, wfM3h, "102=6 103=5.9 1032=0.3 108=2000 105=90 107=70"};
const Task kLowSetpoint{stSaturatedSteam,       rtDownstream, ipSupply, pkExcess, pmBar, wfKgh,
                        "102=8 103=0.5 108=500"};

// A candidate: lines of its tooltip, its figures marked as missing their criterion, the line under its
// choice (none when rejected). Without one, the line under the message of a search without a model.
const struct
{
    const char* name;
    const Task* task;
    const char* candidate;
    const char* tip; // lines joined by "\n"
    const char* marked;
    const char* line;
} kRows[] = {
    {"valve 1: DN 125 beyond the two smallest diameters", &kValve1, "ЛМК-2 DN 125 Kvy 125",
     "Отбракован: DN 125 не входит в два наименьших диаметра (80, 100)\nЗапас 1,35 — вне 1,1–1,3", "1.35",
     ""},
    {"valve 1: DN 80 misses the safety factor and the speed", &kValve1, "ЛМК-2 DN 80 Kvy 100",
     "Предложен\nАвторитет 0,65 ≥ 0,5\nКавитации нет (перепад 0,10 МПа, вскипание при 0,37 МПа)", "1.08",
     "Скорость 5,42 м/с — выше 3,0 · запас 1,08 — вне 1,1–1,3 · авторитет 0,65 ≥ 0,5 · кавитации нет"},
    {"valve 4: steam speeds count as acceptable", &kValve4, "ЛМК-П DN 50 Kvy 32", "Предложен", "",
     "Скорость до 88,30 м/с, после 121,83 м/с — допустима · запас не рассчитывается · авторитет не "
     "рассчитывается · кавитация не оценивается"},
    {"regulator 3: Kvs 3.2 excluded", &kRegulator3, "ЛМР-Д DN 20 Kvy 3.2 (0,04 - 0,70 МПа)",
     "Отбракован: Kvs 3,2 — исключённое значение", "", ""},
    {"regulator 3: DN 15 Kvs 4 too fast for its pipe", &kRegulator3, "ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа)",
     "", "",
     "Скорость 4,68 м/с — выше 3,0 · кавитации нет · шум: ниже средней · настройка 0,05 МПа в диапазоне 0,04 "
     "- 0,70 МПа"},
    {"valve without a model: Kv beyond the series", &kHugeFlow, "", "", "",
     "Расчётный Kv 6214,02 м³/ч больше, чем может дать серия: наибольший Kvs 1600 м³/ч"},
    {"regulator without a model: setpoint below the springs", &kLowSetpoint, "", "", "",
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
        Window window(row.name);
        SelectionChild* form = window.form;
        enter(form, *row.task);
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
