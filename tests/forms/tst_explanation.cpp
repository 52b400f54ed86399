// Why a candidate is proposed, bold or rejected: its row's tooltip, the marks on missed figures, the
// line under the choice, and what a search without a model was missing; through the worked examples,
// under a Russian locale (decimal comma) unless a row says otherwise. And every figure of the window
// written with the separator of the locale.

#include "forms/explanationtext.h"
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
// clang-format off
// Tooltip lines are joined by "\n".
const struct { const char* name; const Task* task; const char* candidate; const char* tip; const char* marked; const char* line; bool underC = false; } kRows[] = {
    {"valve 1: DN 125 beyond the two smallest diameters", &kValve1, "ЛМК-2 DN 125 Kvy 125", "Отбракован: DN 125 не входит в два наименьших диаметра (80, 100)\nЗапас 1,35 — вне 1,1–1,3\nСкорость 2,53 м/с при полностью открытом клапане ≤ 3,0", "1.35", ""},
    {"valve 1: DN 80 misses the safety factor and the speed", &kValve1, "ЛМК-2 DN 80 Kvy 100", "Предложен\nАвторитет 0,65 ≥ 0,5\nКавитации нет (перепад 0,10 МПа, вскипание при 0,37 МПа)", "1.08", "Скорость 5,42 м/с при полностью открытом клапане — выше 3,0 · запас 1,08 — вне 1,1–1,3 · авторитет 0,65 ≥ 0,5 · кавитации нет"},
    {"valve 4: steam speeds shown, not judged, of the design flow", &kValve4, "ЛМК-П DN 50 Kvy 32", "Предложен", "", "Скорость до 88,30 м/с, после 121,83 м/с при расчётном расходе — не оценивается · запас не рассчитывается · авторитет не рассчитывается · кавитация не оценивается"},
    {"regulator 3: Kvs 3.2 excluded", &kRegulator3, "ЛМР-Д DN 20 Kvy 3.2 (0,04 - 0,70 МПа)", "Отбракован: Kvs 3,2 — исключённое значение", "", ""},
    {"regulator 3: DN 15 Kvs 4 too fast at the design flow", &kRegulator3, "ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа)", "", "", "Скорость 4,68 м/с при расчётном расходе — выше 3,0 · кавитации нет · шум: ниже средней · настройка 0,05 МПа в диапазоне 0,04 - 0,70 МПа"},
    // The C locale writes points; the names of the tuning ranges are the catalogue's.
    {"regulator 3 under C: points in the figures and bounds", &kRegulator3, "ЛМР-Д DN 20 Kvy 3.2 (0,04 - 0,70 МПа)", "Отбракован: Kvs 3.2 — исключённое значение\nСкорость 2.63 м/с при расчётном расходе ≤ 3.0", "", "", true},
    {"valve without a model: Kv beyond the series", &kHugeFlow, "", "", "", "Расчётный Kv 6214,02 м³/ч больше, чем может дать серия: наибольший Kvs 1600 м³/ч"},
    {"regulator without a model: setpoint below the springs", &kLowSetpoint, "", "", "", "Уставка 0,05 МПа не входит ни в один диапазон настройки (0,10 - 0,70 МПа, 0,30 - 1,20 МПа)"},
};
// clang-format on

} // namespace

class TestExplanation : public QObject
{
    Q_OBJECT
private slots:
    // The line under the choice keeps to the choice's width: criteria are joined while they fit, a longer one
    // goes on over lines of its own ("|"), never between a figure and its unit ("~"; "^" the slash held).
    void brokenLine()
    {
        QCOMPARE(
            explaintext::brokenLine(
                orxtest::u8("Скорость до 88.30 м/с, после 121.83 м/с при расчётном расходе — не "
                            "оценивается · запас 1.2 · кавитации нет"),
                56)
                .replace(QChar::Nbsp, QLatin1Char('~'))
                .replace(QChar(0x2060), QLatin1Char('^'))
                .replace(QChar::LineSeparator, QLatin1Char('|')),
            orxtest::u8("Скорость до~88.30~м/^с, после 121.83~м/^с при расчётном|расходе — не~оценивается\n"
                        "запас 1.2 · кавитации нет"));
    }
    void candidateRows_data() { tableRows(kRows); }
    void candidateRows()
    {
        ORX_ROW(kRows);
        const orxtest::LocaleScope locale(!row.underC);
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
        // Every cell of the row explains the candidate; the missed figures stand out from the text.
        const QColor plain = form->palette().color(QPalette::WindowText);
        QStringList missed;
        for (QLabel* cell : form->findChildren<QLabel*>()) {
            if (cell == name || !cell->isVisible() || !sameRow(form, cell, name) ||
                positionIn(form, cell).x() < positionIn(form, name).x())
                continue;
            QCOMPARE(cell->toolTip(), name->toolTip());
            if (cell->palette().color(QPalette::WindowText) != plain)
                missed << cell->text();
        }
        // Which figures stand out, whatever separator the table writes them with.
        QCOMPARE(missed.join(QLatin1Char('|')).replace(QLatin1Char(','), QLatin1Char('.')),
                 QString::fromUtf8(row.marked));
        // The choice names it in full: the name of the series before "DN".
        const int choice = form->choiceCombo()->findText(
            candidate.mid(candidate.indexOf(QLatin1String(" DN"))), Qt::MatchEndsWith);
        QCOMPARE(choice >= 0, !line.isEmpty());
        if (choice >= 0) {
            form->choiceCombo()->setCurrentIndex(choice);
            QVERIFY(form->choiceExplanation()->isVisible());
            QCOMPARE(orxtest::readText(form->choiceExplanation())
                         .replace(QChar::LineSeparator, QLatin1Char(' '))
                         .replace(QLatin1Char('\n'), QStringLiteral(" · ")),
                     line);
            QVERIFY(lines.contains(line.section(QStringLiteral(" · "), 0, 0)));
            // The line goes with "-- Выбрать --".
            form->choiceCombo()->setCurrentIndex(0);
            QVERIFY(!form->choiceExplanation()->isVisible());
        }
        QCOMPARE(capture.count(), 0);
    }

    // Every figure the window writes follows the locale, as the number boxes do (the points of the C
    // locale are read in the worked examples; the lines above, and the pipes' speeds in their own test, are
    // read under a Russian one too): the details of valve 1.
    void figuresOnScreen()
    {
        const orxtest::LocaleScope locale(true);
        orxtest::MessageCapture capture;
        Window window("valve");
        enter(window.form, kValve1);
        QCOMPARE(read(window.form).details, QStringLiteral("ro=984,4 Kv=92,53"));
        QCOMPARE(capture.count(), 0);
    }

    // The rules no worked example reaches, and a figure that is not a number.
    void rareTexts()
    {
        const orxtest::LocaleScope locale(true);
        using explain::Rejection;
        QCOMPARE(explaintext::rejection(Rejection{Rejection::BelowDnThreshold, {}, 16, 25, 0, {}}, 50),
                 QStringLiteral("Kvs 16 меньше порога 25 для DN 50"));
        const QList<explain::TuningSpan> springs{{80, 0.04, 0.5, 527}, {80, 0.5, 1.2, 835}};
        QCOMPARE(explaintext::rejection(Rejection{Rejection::NoTuningRange, {}, 0, 0, 1.3, springs}, 80),
                 QStringLiteral("Ни один диапазон настройки DN 80 не содержит уставку 1,30 МПа "
                                "(0,04 - 0,70 МПа, 0,20 - 1,20 МПа)"));
        // A bound reads as a measure, a Kvs as the catalogue writes it; no figure is a dash.
        QCOMPARE(QStringList({explaintext::bound(3), explaintext::bound(1.1), explaintext::kvs(100),
                              explaintext::figure(explain::none)})
                     .join(QLatin1Char('|')),
                 QStringLiteral("3,0|1,1|100|—"));
    }
};

QTEST_MAIN(TestExplanation)
#include "tst_explanation.moc"
