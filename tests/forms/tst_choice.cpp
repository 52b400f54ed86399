// The device and the pipes chosen under "Ваш выбор": kept while the results propose them, part of the
// document, and taken back at opening only when the opened task still proposes them.

#include "framework/driveselectionarea.h"
#include "tst_selectionchild_formreader.h"
#include "vocabulary/fieldcodes.h"

using namespace formreader;

namespace {

// The choice as the window shows it: the candidate, each pipe chosen by location, and the lines that
// tell of a choice dropped.
QString choiceShown(SelectionChild* form)
{
    QStringList pipes;
    if (PipeSelectionArea* area = form->pipeArea())
        for (int location : area->locations())
            if (area->isSelected(location))
                pipes << QStringLiteral("%1:%2").arg(location).arg(
                    area->combo(location)->currentText().section(QStringLiteral(" - "), 0, 0));
    return QStringList{form->choiceCombo() ? form->choiceCombo()->currentText() : QStringLiteral("(нет)"),
                       pipes.join(QLatin1Char(' ')),
                       changeNotes(form, QStringLiteral("Выбранный ранее")).join(QStringLiteral(" / "))}
        .join(QStringLiteral(" | "));
}

// The user chooses the candidate at `choice` of the combo, then, when `pipeDn` is given, that pipe at
// every location.
void choose(SelectionChild* form, int choice, int pipeDn)
{
    form->choiceCombo()->setCurrentIndex(choice);
    // The pipes follow the standard DN series after "-- Выбрать --".
    if (pipeDn)
        for (int location : form->pipeArea()->locations())
            form->pipeArea()->combo(location)->setCurrentIndex(
                PipeSelectionArea::standardDns().indexOf(pipeDn) + 1);
}

// clang-format off
const struct { const char* name; const char* window; Task task; int choice, pipeDn; const char* changes; const char* shown; } kKept[] = {
    {"a typed object name keeps the valve and the pipe the user chose", "valve", kWater, 3, 50, "122=ITP", "Клапан седельный ЛМК-2 DN 40 Kvy 16 | 2:DN 50 | "},
    {"a flow that still proposes the valve keeps it", "valve", kWater, 3, 0, "~108=11", "Клапан седельный ЛМК-2 DN 40 Kvy 16 | 2:DN 40 | "},
    {"the rejected candidates shown and hidden keep the choice", "valve", kWater, 2, 0, "rejected rejected", "Клапан седельный ЛМК-2 DN 40 Kvy 25 | 2:DN 40 | "},
    {"steam: both pipes kept", "valve", kSteam, 2, 50, "~108=710", "Клапан для пара ЛМК-П DN 40 Kvy 25 | 0:DN 50 1:DN 50 | "},
    {"a flow the valve no longer serves drops it with one line, the pipe stays", "valve", kWater, 3, 0, "~108=30", "-- Выбрать -- | 2:DN 40 | Выбранный ранее клапан ЛМК-2 DN 40 Kvs 16 больше не предлагается: выберите заново"},
    {"a refused task drops it with the line", "valve", kWater, 1, 0, "~103=7", "(нет) |  | Выбранный ранее клапан ЛМК-2 DN 32 Kvs 16 больше не предлагается: выберите заново"},
    {"a flow typed key by key through 1 m³/h keeps it", "valve", kWater, 3, 0, "108=10.5", "Клапан седельный ЛМК-2 DN 40 Kvy 16 | 2:DN 40 | "},
    {"a flow that dropped it, then another field: gone for good", "valve", kWater, 3, 0, "108=1 122=ITP ~108=10", "-- Выбрать -- | 2:DN 40 | "},
    // The valve goes with the medium (its line told then), the pipe when the steam's pipes are offered.
    {"steam has no single pipe: the pipe goes with its own line", "valve", kWater, 2, 0, "121=13 1081=20 ~108=700", "-- Выбрать -- |  | Выбранный ранее трубопровод DN 40 больше не предлагается: выберите заново"},
    {"regulator: a heat load that still proposes it keeps it", "regulator", kRegulator3, 3, 25, "~106=0.16", "Регулятор перепада давления ЛМР-Д DN 20 Kvy 4 (0,04 - 0,70 МПа) | 2:DN 25 | "},
    {"regulator: named by its Kvy when it goes", "regulator", kRegulator3, 3, 0, "~106=0.5", "-- Выбрать -- | 2:DN 20 | Выбранный ранее регулятор ЛМР-Д DN 20 Kvy 4 больше не предлагается: выберите заново"},
};

// The choice fields of a document as saved: field code, index, type id, null flag, value.
const struct { const char* name; const char* window; Task task; int choice, pipeDn; const char* bytes; } kSaved[] = {
    {"valve: series 5, DN 40, Kvs 16, the single pipe DN 50", "valve", kWater, 3, 50, "01f4 0000 00000002 00 00000005 01f5 0000 00000002 00 00000028 01f6 0000 00000006 00 4030000000000000 01f7 0002 00000002 00 00000032"},
    {"steam: the pipes before and after", "valve", kSteam, 2, 0, "01f4 0000 00000002 00 00000001 01f5 0000 00000002 00 00000028 01f6 0000 00000006 00 4039000000000000 01f7 0000 00000002 00 00000028 01f7 0001 00000002 00 00000028"},
    {"regulator: series 200, Kvy 2.5", "regulator", kRegulator3, 4, 0, "01f4 0000 00000002 00 000000c8 01f5 0000 00000002 00 00000014 01f6 0000 00000006 00 4004000000000000 01f7 0002 00000002 00 00000014"},
};

// A saved choice damaged (valve, water: ЛМК-2 DN 40 Kvs 16, pipe DN 50): the lines of the opening
// warning, then the choice the window shows.
const struct { const char* name; void (*damage)(Doc&); const char* shown; } kDamaged[] = {
    {"a series stored as a text is named once", [](Doc& d) { d.setValue(DocKey(500), QStringLiteral("ЛМК-2")); }, "• Ваш выбор — не выбрано || -- Выбрать -- | 2:DN 50 | "},
    {"a Kvs stored as a text", [](Doc& d) { d.setValue(DocKey(502), QStringLiteral("16")); }, "• Ваш выбор — не выбрано || -- Выбрать -- | 2:DN 50 | "},
    {"a choice without its Kvs", [](Doc& d) { d.setValue(DocKey(502), QVariant(QVariant::Double)); }, "• Ваш выбор — не выбрано || -- Выбрать -- | 2:DN 50 | "},
    {"a DN the task does not propose", [](Doc& d) { d.setValue(DocKey(501), 50); }, "• Ваш выбор — не выбрано: не предлагается для этих данных || -- Выбрать -- | 2:DN 50 | "},
    {"a series of another window", [](Doc& d) { d.setValue(DocKey(500), 200); }, "• Ваш выбор — не выбрано: не предлагается для этих данных || -- Выбрать -- | 2:DN 50 | "},
    {"a pipe DN outside the standard series", [](Doc& d) { d.setValue(DocKey(503, 2), 45); }, "• Трубопровод — не выбрано || Клапан седельный ЛМК-2 DN 40 Kvy 16 |  | "},
    {"a pipe DN stored as a double", [](Doc& d) { d.setValue(DocKey(503, 2), 50.0); }, "• Трубопровод — не выбрано || Клапан седельный ЛМК-2 DN 40 Kvy 16 |  | "},
    {"a pipe before the valve, which a liquid does not have", [](Doc& d) { d.setValue(DocKey(503, 0), 40); }, "• Трубопровод до клапана — не выбрано: не предлагается для этих данных || Клапан седельный ЛМК-2 DN 40 Kvy 16 | 2:DN 50 | "},
    {"a flow that no longer proposes the valve", [](Doc& d) { d.setValue(DocKey(108), 30.0); }, "• Ваш выбор — не выбрано: не предлагается для этих данных || -- Выбрать -- | 2:DN 50 | "},
};
// clang-format on

} // namespace

class TestChoice : public QObject
{
    Q_OBJECT

private slots:
    void keptWhileProposed_data() { tableRows(kKept); }

    // The choice is the user's modification; a change (as the user acts; "rejected": the rejected candidates
    // shown) that still proposes the candidate keeps it and the pipes, one that does not drops it and says so
    // once.
    void keptWhileProposed()
    {
        ORX_ROW(kKept);
        orxtest::MessageCapture capture;
        Window w(row.window);
        enter(w.form, row.task);
        choose(w.form, row.choice, row.pipeDn);
        for (const QString& entry : QString::fromUtf8(row.changes).split(QLatin1Char(' ')))
            entry == QLatin1String("rejected") ? toggleRejectedMode(w.form) : act(w.form, entry);
        QCOMPARE(choiceShown(w.form), QString::fromUtf8(row.shown));
        // Told once: the next results show the choice as it stands now, without the line.
        const QString now = choiceShown(w.form).section(QStringLiteral(" | "), 0, 1);
        act(w.form, QStringLiteral("122=X"));
        QCOMPARE(choiceShown(w.form), now + QStringLiteral(" | "));
        QCOMPARE(capture.ownCount(), 0);
    }

    void savedAndOpenedAgain_data() { tableRows(kSaved); }

    // The choice fields as written, and the window opened from them showing the same choice, unmodified;
    // choosing again there is the user's modification.
    void savedAndOpenedAgain()
    {
        ORX_ROW(kSaved);
        orxtest::MessageCapture capture;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Тепловой пункт.orx"));
        Window w(row.window);
        enter(w.form, row.task);
        choose(w.form, row.choice, row.pipeDn);
        const QString shown = choiceShown(w.form);
        const Doc doc = orxtest::savedAndReopened(*w.form, file);
        const QString expected = QString::fromLatin1(row.bytes).remove(QLatin1Char(' '));
        QVERIFY2(orxtest::hexOfFile(file).contains(expected), qPrintable(orxtest::hexOfFile(file)));
        Window opened(row.window, &doc);
        QCOMPARE(choiceShown(opened.form), shown);
        QVERIFY(!opened.form->isModified());
        // The kept choice is the one the report is written of.
        QCOMPARE(opened.form->stdDn(), w.form->stdDn());
        QCOMPARE(capture.ownCount(), 0);
        opened.form->choiceCombo()->setCurrentIndex(1);
        QCOMPARE(opened.tabs.tabText(0), QStringLiteral("Тепловой пункт *"));
    }

    // A document written before the choice was kept opens without one and saves to the bytes it had (the
    // regulator's sample has a flow its heat load no longer gives: the bytes of its first save).
    void olderDocumentsKeepTheirBytes_data()
    {
        QTest::addColumn<QString>("stem");
        for (const char* stem : {"valve", "regulator"})
            QTest::newRow(stem) << QString::fromLatin1(stem);
    }
    void olderDocumentsKeepTheirBytes()
    {
        QFETCH(QString, stem);
        orxtest::MessageCapture capture;
        QTemporaryDir dir;
        QString file = orxtest::corpusFile(stem + QStringLiteral(".orx"));
        QByteArray before = orxtest::readFile(file);
        for (int save = 1; save <= 2; ++save) {
            Doc doc;
            QVERIFY(Doc::loadFromFile(file, doc));
            Window w(stem == QLatin1String("regulator") ? "regulator" : "valve", &doc);
            QCOMPARE(w.form->chosenIndex(), -1);
            file = dir.filePath(QStringLiteral("%1-%2.orx").arg(stem).arg(save));
            QVERIFY(w.form->saveToFile(file));
            if (stem == QLatin1String("regulator") && save == 1)
                before = orxtest::readFile(file);
        }
        QCOMPARE(orxtest::hexOfFile(file), QString::fromLatin1(before.toHex()));
        QCOMPARE(capture.ownCount(), 0);
    }

    void damagedChoiceIsNamed_data() { tableRows(kDamaged); }

    // What the opened task cannot use of a stored choice is dropped and named in the one opening warning.
    void damagedChoiceIsNamed()
    {
        ORX_ROW(kDamaged);
        QTemporaryDir dir;
        Doc doc;
        {
            Window w("valve");
            enter(w.form, kWater);
            choose(w.form, 3, 50);
            // The valve alone: a drive chosen with it would be named with it.
            static_cast<ValveChild*>(w.form)->driveArea()->driveCombo()->setCurrentIndex(0);
            doc = orxtest::savedAndReopened(*w.form, dir.filePath(QStringLiteral("Клапан.orx")));
        }
        row.damage(doc);
        orxtest::MessageCapture capture;
        Window opened("valve", &doc);
        QCOMPARE(capture.ownCount(), 1);
        QCOMPARE(capture.warnings().value(0) + QStringLiteral(" || ") + choiceShown(opened.form),
                 QString::fromUtf8(row.shown));
        QVERIFY(!opened.form->isModified());
    }
};

ORX_GUI_TEST_MAIN(TestChoice)
#include "tst_choice.moc"
