// The valve and the regulator windows driven as a user drives them.

#include "tst_selectionchild_formreader.h"

using namespace formreader;

namespace {

// "code=value" of number inputs as the window shows them.
QString values(MdiChild* form, const QString& codes)
{
    QStringList result;
    for (const QString& entry : codes.split(QLatin1Char(' '))) {
        const QString code = entry.section(QLatin1Char('='), 0, 0);
        const auto* spin = form->ctrl<QDoubleSpinBox>(qint16(code.toInt()));
        result << code + QLatin1Char('=') + QString::number(spin->value(), 'f', spin->decimals());
    }
    return result.join(QLatin1Char(' '));
}

// The series, then each visible input row by its code: "-" when disabled, "*" beside the pressure unit, a
// combo's value/item count, the flow mode checked ("-" when the heat load is barred).
QString rows(SelectionChild* form)
{
    form->layout()->activate();
    QStringList result{deviceTypeName(form->deviceType(), false)};
    for (qint16 code : {32767, 130, 131, 104, 102, 103, 1031, 1020, 1021, 1035, 1036, 10371, 1037, 105, 107,
                        1032, 106, 108}) {
        QWidget* w = form->control(code);
        if (!w || !w->isVisible())
            continue;
        QString row = QString::number(code);
        if (const auto* combo = qobject_cast<QComboBox*>(w))
            row += QStringLiteral("=%1/%2").arg(combo->currentData().toInt()).arg(combo->count());
        if (const auto* radio = qobject_cast<RadioArea*>(w))
            row += QStringLiteral("=%1").arg(radio->checkedId()) +
                   QLatin1String(radio->button(2)->isEnabled() ? "" : "-");
        else if (!w->isEnabled())
            row += QLatin1Char('-');
        else if (sameRow(form, w, form->control(101)))
            row += QLatin1Char('*');
        result << row;
    }
    return result.join(QLatin1Char(' '));
}

// The worked examples, a line each: the inputs the window works out, the details, the number of columns,
// the proposed and the rejected candidates ("!": a liquid too fast in the pipe of the valve's DN), the note
// on a high drop, the first choice by its full name.
// clang-format off
const struct { const char* name; Task task; const char* shown; } kExamples[] = {
    {"valve 1: ЛМК-2, propylene glycol 50 %, 2.5 Gcal/h", kValve1,
     "108=91.81\nro=984.4 Kv=92.53\n5\n"
     "ЛМК-2 80/100!|1.08|0.65|низкая|низкая; 100/125!|1.35|0.59|низкая|низкая; 100/100!|1.08|0.65|низкая|низкая\n"
     "ЛМК-2 125/125|1.35|0.59|низкая|низкая; 125/100|1.08|0.65|низкая|низкая; 150/100\n"
     "Клапан седельный ЛМК-2 DN 80 Kvy 100"},
    {"valve 2: ЛМК-2, water, 91 Gcal/h", kValve2,
     "108=1636.76\nPs(клапан)=0.101 ro=958.4 Kv=1186.49\n5\n"
     "ЛМК-2 300/1600!|1.35|0.69|низкая|ниже средней; 300/1250!|1.05|0.74|низкая|ниже средней\n\n"
     "Клапан седельный ЛМК-2 DN 300 Kvy 1600"},
    {"valve 3: ЛМК-3, water, return pipe, absolute: the high-drop note", kValve3,
     "108=34.43\nPs(клапан)=0.025 ro=980.6 Kv=24.42\n5\n"
     "ЛМК-3 40/25!|1.02|0.77|низкая|ниже средней; 50/32!|1.31|0.71|низкая|ниже средней\n\nnote\n"
     "Клапан трёхходовой ЛМК-3 DN 40 Kvy 25"},
    {"valve 4: ЛМК-П, superheated steam: one column", kValve4,
     "108=1345.60\nKv=29.86 v1=0.4639 v2=0.6400\n1\nЛМК-П 50/40; 50/32; 65/40\nЛМК-П 80/40\n"
     "Клапан для пара ЛМК-П DN 50 Kvy 40"},
    // DN 32 is too narrow, Kvs 25 too large: DN 40 Kvs 16 meets all four criteria, rejected or not.
    {"valve, water, 10 m³/h: those meeting every criterion in bold", kWater,
     "108=10.00\nPs(клапан)=0.070 ro=965.4 Kv=13.89\n5\n"
     "ЛМК-2 32/16!|1.15|0.59|низкая|низкая; 40/25|1.80|0.48|низкая|низкая; *40/16|1.15|0.59|низкая|низкая\n"
     "ЛМК-2 50/25|1.80|0.48|низкая|низкая; *50/16|1.15|0.59|низкая|низкая; 65/25|1.80|0.48|низкая|низкая\n"
     "Клапан седельный ЛМК-2 DN 32 Kvy 16"},
    {"regulator 1: ЛМР-Д, propylene glycol 10 %, return pipe", kRegulator1,
     "10371=0.50 1037=0.50 108=38.71\nro=997.8 Kv=27.34\n3\n"
     "ЛМР-Д 40/25 (0,04 - 0,70 МПа)|низкая|ниже средней; 50/32; 50/25\n"
     "ЛМР-Д 65/40 (0,04 - 0,70 МПа)|низкая|ниже средней; 65/32; 65/25; 80/40; 80/32\n"
     "Регулятор перепада давления ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)"},
    {"regulator 2: ЛМР-1, water, gauge atm", kRegulator2,
     "1031=3.90 108=38.88\nPs(регулятор)=0.010 ro=989.9 Kv=19.46\n3\n"
     "ЛМР-1 40/25 (0,60 - 1,00 МПа)|низкая|выше средней; 50/25\n"
     "ЛМР-1 40/20 (0,60 - 1,00 МПа)|низкая|выше средней; 65/25\nnote\n"
     "Регулятор давления «до себя» ЛМР-1 DN 40 Kvy 25 (0,60 - 1,00 МПа)"},
    {"regulator 3: ЛМР-Д, water, supply pipe", kRegulator3,
     "10371=0.10 1037=0.10 108=2.98\nPs(регулятор)=0.101 ro=958.4 Kv=2.56\n3\n"
     "ЛМР-Д 15/4 (0,04 - 0,70 МПа)|низкая|ниже средней; 15/2.5; 20/4; 20/2.5\n"
     "ЛМР-Д 20/3.2 (0,04 - 0,70 МПа)|низкая|ниже средней; 25/4\n"
     "Регулятор перепада давления ЛМР-Д DN 15 Kvy 4 (0,04 - 0,70 МПа)"},
};

// The report needs a choice and its pipes (`pipes`: the DN and speed of each once the device is chosen,
// by location).
const struct { const char* name; Task task; int choice; const char* pipes; const char* noChoice; const char* file; } kReports[] = {
    {"valve, steam: a pipe before and one after", kSteam, 2, "0: DN 40|60.24\n1: DN 40|83.80", "Необходимо выбрать клапан", "Клапан_регулирующий_ОРИМАКС_"},
    {"regulator 3: one pipe", kRegulator3, 3, "2: DN 20|2.63", "Необходимо выбрать устройство", "Регулятор_перепада_давления_ОРИМАКС_"},
};
// clang-format on

const QString kInvalid = QStringLiteral("Недопустимые входные данные:<br>");

// The losses of the differential scheme as the user types the drops (Pпод - Pобр = 3 бар, ΔPру 1; "~": set
// with the focus elsewhere; "|": saved and opened again), and what the calculation says of the drops.
// clang-format off
const struct { const char* name; const char* typed; const char* shown; } kBalances[] = {
    {"nothing to balance while a drop is empty", "1021=3 1035=1 1036=1", "10371=0.00 1037=0.00 | "},
    {"before any loss is typed the two share the rest", "1021=3 1035=1 1036=1 1020=6", "10371=0.50 1037=0.50 | "},
    {"the losses after take what the typed loss leaves", "1020=6 1021=3 1035=1 1036=1 10371=0.8", "10371=0.80 1037=0.20 | "},
    {"a typed loss survives a change of ΔPрег", "1020=6 1021=3 1036=1 1035=1.8 10371=0.05 1035=1.7", "10371=0.05 1037=0.25 | "},
    {"a typed loss survives a change of Pпод, Pобр and ΔPру", "1020=6 1021=3 1036=1 1035=1 10371=0.3 1020=6.5 1021=3.1 1036=0.9", "10371=0.30 1037=1.20 | "},
    {"a typed loss that leaves no rest is kept, and the drops refused", "1020=6 1021=3 1036=1 1035=1 10371=0.8 1036=1.5", "10371=0.80 1037=0.20 | сумма перепадов давления должна быть равной 3 бар"},
    {"the drops changed from elsewhere are left unbalanced, and refused", "1020=6 1021=3 1035=1 1036=1 10371=0.8 ~1020=7", "10371=0.80 1037=0.20 | сумма перепадов давления должна быть равной 4 бар"},
    {"a stored loss other than half the rest was typed", "1020=6 1021=3 1036=1 1035=1.8 10371=0.05 | 1035=1.7", "10371=0.05 1037=0.25 | "},
    {"stored halves are shared again", "1020=6 1021=3 1036=1 1035=1.8 | 1035=1.7", "10371=0.15 1037=0.15 | "},
};
// A refused task shows its message alone, and the empty inputs named in the order of the rows.
const struct { const char* name; Task task; QString message; const char* named; } kRefused[] = {
    {"valve: P2 above P1", water("102=6 103=7 1032=0.3 108=10 105=90 107=0"), kInvalid + QStringLiteral("давление перед клапаном должно превышать давление после клапана"), ""},
    {"valve: the empty inputs named in the order of the rows", water("102=6 103=0 1032=0 108=0 105=90 107=0"), QStringLiteral("Не заполнены входные данные"), "Пустые поля: <i>P2</i>, <i>ΔPру</i>, <i>Tобр</i>, <i>G</i>"},
    {"valve: no catalogue valve is large enough", water("102=6 103=5.5 1032=0.3 108=99999999 105=90 107=70"), QStringLiteral("Не удалось найти модель с подходящим kv"), ""},
};
// clang-format on

} // namespace

class TestSelectionChild : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples_data() { tableRows(kExamples); }

    // Each example read with the rejected candidates shown, hidden again, then saved and reopened.
    void workedExamples()
    {
        ORX_ROW(kExamples);
        orxtest::MessageCapture capture;
        Window w(row.name);
        enter(w.form, row.task);
        const Shown shown = read(w.form);
        QVERIFY(shown.message.isEmpty() && shown.rejected.isEmpty() && shown.hasReportButton);
        QCOMPARE(shown.choices.size(), shown.proposed.count(QLatin1Char(';')) + 2);
        toggleRejectedMode(w.form);
        const Shown all = read(w.form);
        const QString expected = QString::fromUtf8(row.shown);
        QCOMPARE(QStringList({values(w.form, expected.section(QLatin1Char('\n'), 0, 0)), all.details,
                              QString::number(all.columns.size()), all.proposed, all.rejected})
                         .join(QLatin1Char('\n')) +
                     QLatin1String(all.hasHighDropNote ? "\nnote\n" : "\n") + shown.choices.value(1),
                 expected);
        QCOMPARE(all.proposed, shown.proposed);
        if (w.form->docType() == docRegulator) // the caption that breaks its line
            QCOMPARE(all.columns.value(1), QStringLiteral("Вероятность кавитации в\nрегуляторе"));
        toggleRejectedMode(w.form);
        QCOMPARE(read(w.form).rejected, QString());
        // Saved and opened again: unmodified, the same results.
        QTemporaryDir dir;
        const Doc doc =
            orxtest::savedAndReopened(*w.form, dir.filePath(QStringLiteral("Тепловой пункт.orx")));
        Window reopened(row.name, &doc);
        QVERIFY(!reopened.form->isModified());
        const Shown again = read(reopened.form);
        QCOMPARE(again.details + again.proposed + again.choices.join(QLatin1Char('|')),
                 shown.details + shown.proposed + shown.choices.join(QLatin1Char('|')));
        QCOMPARE(capture.count(), 0);
    }

    // Steam and gases take the steam valve on the supply pipe, the flow given directly; each regulation
    // task moves the pressure rows and the unit beside the first of them.
    void rowsFollowTheMediumAndTheTask()
    {
        orxtest::MessageCapture capture;
        Window valve("valve");
        act(valve.form, QStringLiteral("104=2 121=%1").arg(stSaturatedSteam));
        QCOMPARE(rows(valve.form), QStringLiteral("ЛМК-П 32767=1/1 131=1/2- 104=1- 102* 103 1031- 105- 108"));
        // Back to water: all three series again, the steam valve stays chosen.
        act(valve.form, QStringLiteral("121=%1").arg(stWater));
        QCOMPARE(rows(valve.form),
                 QStringLiteral("ЛМК-П 32767=1/3 131=1/2 104=1 102* 103 1031- 105 107 1032 108"));
        act(valve.form, QStringLiteral("32767=%1 131=%2 121=%3").arg(dtLMK3).arg(ipReturn).arg(stAir));
        QCOMPARE(rows(valve.form), QStringLiteral("ЛМК-П 32767=1/1 131=1/2- 104=1- 102* 103 1031- 105 108"));

        Window w("regulator");
        RegulatorChild* form = static_cast<RegulatorChild*>(w.form);
        QCOMPARE(read(form).message, QStringLiteral("Не заполнены входные данные"));
        QCOMPARE(rows(form),
                 QStringLiteral("ЛМР-Д 130=1/3 131=1/2 104=1 1020* 1021 1035 1036 10371 1037- 105 107 108"));
        act(form, QStringLiteral("104=2 131=%1 130=%2").arg(ipSupply).arg(rtUpstream));
        QCOMPARE(rows(form), QStringLiteral("ЛМР-1 130=2/3 131=2/2- 104=1- 102* 103 1031- 107 108"));
        // ΔPрег is always P1 - P2, whatever has the focus.
        act(form, QStringLiteral("102=8 103=4.1"));
        QCOMPARE(values(form, QStringLiteral("1031")), QStringLiteral("1031=3.90"));
        act(form, QStringLiteral("130=%1").arg(rtDownstream));
        QCOMPARE(rows(form), QStringLiteral("ЛМР-Д 130=3/3 131=1/2- 104=1- 102* 103 1031- 105 108"));
        act(form, QStringLiteral("130=%1 101=%2").arg(rtDiffPressure).arg(pmMPa));
        QCOMPARE(rows(form),
                 QStringLiteral("ЛМР-Д 130=1/3 131=1/2 104=1 1020* 1021 1035 1036 10371 1037- 105 107 108"));
        // Every pressure sub-label follows the unit.
        for (qint16 code : {103, 1031, 1021, 1035, 1036, 10371, 1037})
            QCOMPARE(form->subLabel(code)->text(), QStringLiteral("МПа"));
        // Steam takes the downstream regulator only, in one column.
        enter(w.form, kSteamRegulator);
        QCOMPARE(rows(form), QStringLiteral("ЛМР-2-П 130=3/1 131=1/2- 104=1- 102* 103 1031- 105- 108"));
        QCOMPARE(read(form).proposed, QStringLiteral("ЛМР-2-П 20/6.3 (0,10 - 0,70 МПа); 25/6.3"));
        QCOMPARE(capture.count(), 0);
    }

    void lossesBalanceTheDifferentialScheme_data() { tableRows(kBalances); }

    // The losses after typing the row's entries in order, and the reason the calculation gives when
    // the drops do not add up.
    void lossesBalanceTheDifferentialScheme()
    {
        ORX_ROW(kBalances);
        orxtest::MessageCapture capture;
        QTemporaryDir dir;
        auto w = std::make_unique<Window>("regulator");
        for (const QString& entry : QString::fromLatin1(row.typed).split(QLatin1Char(' '))) {
            if (entry == QLatin1String("|")) {
                const Doc doc = orxtest::savedAndReopened(*w->form, dir.filePath(QStringLiteral("ИТП.orx")));
                w = std::make_unique<Window>("regulator", &doc);
            } else if (entry.startsWith(QLatin1Char('~'))) {
                w->form->control(122)->setFocus();
                w->form->ctrl<QDoubleSpinBox>(qint16(entry.mid(1).section(QLatin1Char('='), 0, 0).toInt()))
                    ->setValue(entry.section(QLatin1Char('='), 1).toDouble());
            } else {
                act(w->form, entry);
            }
        }
        const QString message = read(w->form).message;
        QCOMPARE(values(w->form, QStringLiteral("10371 1037")) + QStringLiteral(" | ") +
                     message.section(QStringLiteral("<br>"), 1, 1),
                 QString::fromUtf8(row.shown));
        QCOMPARE(capture.count(), 0);
    }

    void reportNeedsTheDeviceAndThePipes_data() { tableRows(kReports); }

    // Without a choice or a pipe the report button warns; with both it hands one PDF to the viewer.
    void reportNeedsTheDeviceAndThePipes()
    {
        ORX_ROW(kReports);
        Window w(row.name);
        SelectionChild* form = w.form;
        enter(w.form, row.task);
        const auto pipes = [form] {
            QStringList texts;
            // The DN and the speed of each pipe, whatever the words around them.
            for (int location : form->pipeArea()->locations()) {
                const QString text = form->pipeArea()->combo(location)->currentText();
                texts << QStringLiteral("%1: ").arg(location) +
                             orxtest::captures(text, "^(DN \\d+) .* (\\d+\\.\\d\\d) ").value(0, text);
            }
            return texts.join(QLatin1Char('\n'));
        };
        const QString unchosen = pipes();
        QVERIFY(!unchosen.contains(QLatin1String("DN")));
        form->choiceCombo()->setCurrentIndex(row.choice);
        QCOMPARE(pipes(), QString::fromUtf8(row.pipes));
        form->choiceCombo()->setCurrentIndex(0);
        QCOMPARE(pipes(), unchosen);

        orxtest::ViewerStub viewer;
        // Title and text of the box the report button answers with; empty when it asks nothing.
        const auto warning = [form] {
            orxtest::ModalAnswerer answer(orxtest::ModalAnswerer::accept());
            QTest::mouseClick(reportButton(form), Qt::LeftButton);
            return answer.answered() ? answer.title() + QLatin1Char('|') + answer.text() : QString();
        };
        QCOMPARE(warning(), QStringLiteral("Валидация|") + QString::fromUtf8(row.noChoice));
        form->choiceCombo()->setCurrentIndex(row.choice);
        const int dn = form->stdDn();
        form->pipeArea()->setDn(0);
        QCOMPARE(warning(), QStringLiteral("Валидация|Необходимо выбрать значение"));
        QVERIFY(viewer.opened.isEmpty());
        form->pipeArea()->setDn(dn);
        QCOMPARE(warning(), QString());
        QCOMPARE(viewer.opened.size(), 1);
        QFile file(viewer.opened.first().toLocalFile());
        QVERIFY2(QFileInfo(file).fileName().startsWith(QString::fromUtf8(row.file)),
                 qPrintable(file.fileName()));
        QVERIFY(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-");
    }

    void refusedTasksShowTheMessageOnly_data() { tableRows(kRefused); }

    // Nothing to choose or report; asking for the report anyway opens no box and writes nothing.
    void refusedTasksShowTheMessageOnly()
    {
        ORX_ROW(kRefused);
        orxtest::MessageCapture capture;
        orxtest::ViewerStub viewer;
        Window w(row.name);
        enter(w.form, row.task);
        const Shown shown = read(w.form);
        QCOMPARE(shown.message, row.message);
        QVERIFY(shown.proposed.isEmpty() && shown.details.isEmpty() && !shown.hasReportButton);
        QVERIFY(!w.form->choiceCombo() && !w.form->pipeArea());
        QCOMPARE(bool(visibleLabel(w.form, QString::fromUtf8(row.named))), *row.named != 0);
        orxtest::ModalAnswerer unexpected(orxtest::ModalAnswerer::accept(), 300);
        w.form->showPdf();
        QTest::qWait(50);
        QVERIFY(!unexpected.answered() && viewer.opened.isEmpty());
        QCOMPARE(capture.count(), 0);
    }
};

ORX_GUI_TEST_MAIN(TestSelectionChild)
#include "tst_selectionchild.moc"
