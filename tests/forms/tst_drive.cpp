// "Электропривод" of the valve window: the drives of the catalogue that fit the chosen valve and the
// user's wishes, refilled when the valve changes, kept in the document and checked at opening.

#include "framework/driveselectionarea.h"
#include "tst_selectionchild_formreader.h"

using namespace formreader;

namespace {

ValveChild* valveOf(SelectionChild* form)
{
    return static_cast<ValveChild*>(form);
}

// The wishes as the user sets them: "s=11 v=24 p=67" (control signal, voltage, protection class); "d=N"
// the drive at item N of its combo; "c=N" the valve at item N of the choice; else as the user acts.
void wish(SelectionChild* form, const QString& entries)
{
    for (const QString& entry : entries.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        DriveSelectionArea* area = valveOf(form)->driveArea(); // a new valve chosen brings a new one
        const int value = entry.mid(2).toInt();
        const char kind = entry.at(0).toLatin1();
        if (kind == 's' || kind == 'v' || kind == 'p')
            orxtest::selectData(kind == 's'   ? area->signalCombo()
                                : kind == 'v' ? area->voltageCombo()
                                              : area->protectionCombo(),
                                value);
        else if (kind == 'd')
            area->driveCombo()->setCurrentIndex(value);
        else if (kind == 'c')
            form->choiceCombo()->setCurrentIndex(value);
        else
            act(form, entry);
    }
}

// The section as the user sees it: the drives offered (or "-" when the list is not shown), the one
// chosen, the line in words, and a line of a drive dropped; "(скрыто)" while no valve is chosen, with the
// drive still kept and the line under "Результаты" of a drive that went with its valve.
QString driveShown(SelectionChild* form)
{
    DriveSelectionArea* area = valveOf(form)->driveArea();
    if (!area || !area->isVisible())
        return QStringList(QStringList{QStringLiteral("(скрыто)") + valveOf(form)->driveDesignation()}
                           << changeNotes(form, QStringLiteral("Электропривод")))
            .join(QStringLiteral(" | "));
    // The drives after "-- Без электропривода --".
    const QStringList offered = orxtest::itemTexts(area->driveCombo()).mid(1);
    QStringList parts{area->driveCombo()->isVisible() ? offered.join(QLatin1Char(',')) : QStringLiteral("-"),
                      area->driveCombo()->isVisible() ? area->driveCombo()->currentText() : QString(),
                      orxtest::readText(area->descriptionLabel())};
    if (area->noteLabel()->isVisible())
        parts << orxtest::readText(area->noteLabel());
    return parts.join(QStringLiteral(" | "))
        .replace(QChar(0x00A0), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// clang-format off
const struct { const char* name; Task task; int valve; const char* wishes; const char* shown; } kOffered[] = {
    {"ЛМК-2 DN 40: the three-point drives of its range, the first chosen", kWater, 3, "", "ЛМА-115-1600/63-20-220В,ЛМА-115-1600/63-20-24В | ЛМА-115-1600/63-20-220В | Трёхпозиционное управление, питание 220 В, степень защиты IP54"},
    {"ЛМК-3 DN 32: its own family, signal 3 at 24 V", {stWater, dtLMK3, ipSupply, pkExcess, pmBar, wfM3h, "102=6 103=5.5 1032=0.3 108=10 105=90 107=70"}, 1, "s=3 v=24", "ЛМА-138М-1600/63-20-24В | ЛМА-138М-1600/63-20-24В | Управление типа 3, питание 24 В, степень защиты IP54"},
    {"ЛМК-П DN 40: version В, both sizes of its range", kSteam, 2, "s=11", "ЛМА-111В-1600/63-20-220В,ЛМА-111В-2700/63-20-220В,ЛМА-111В-1600/63-20-24В,ЛМА-111В-2700/63-20-24В | ЛМА-111В-1600/63-20-220В | Трёхпозиционное управление, исполнение «В», питание 220 В, степень защиты IP54"},
    {"no drive fits: said plainly, nothing offered", kSteam, 2, "s=11 p=67", "- |  | Для ЛМК-П DN 40 в каталоге нет привода с управлением «Трёхпозиционное, исполнение «В»» и защитой IP67"},
    {"a wish the chosen drive no longer meets: the first that meets it", kWater, 3, "d=2 v=220", "ЛМА-115-1600/63-20-220В | ЛМА-115-1600/63-20-220В | Трёхпозиционное управление, питание 220 В, степень защиты IP54"},
    {"another valve the drive does not fit: dropped with a line", {stWater, dtLMK2, ipSupply, pkExcess, pmBar, wfM3h, "102=6 103=5.5 1032=0.3 108=6.5 105=90 107=70"}, 1, "s=2 c=2", "ЛМА-125М-1600/63-20-220В,ЛМА-225М-1600/63-20-220В | ЛМА-125М-1600/63-20-220В | Управление типа 2, питание 220 В, степень защиты IP54 | Выбранный ранее электропривод ЛМА-125М-700/63-20-220В не подходит к ЛМК-2 DN 32: выбран ЛМА-125М-1600/63-20-220В"},
    {"no drive asked for: none chosen, the wishes stay", kWater, 3, "d=0 c=1", "ЛМА-115-1600/63-20-220В,ЛМА-115-1600/63-20-24В | -- Без электропривода -- | "},
    {"the valve unchosen: the section goes; chosen again, the first drive comes", kWater, 3, "d=2 c=0 c=1", "ЛМА-115-1600/63-20-220В,ЛМА-115-1600/63-20-24В | ЛМА-115-1600/63-20-220В | Трёхпозиционное управление, питание 220 В, степень защиты IP54"},
    {"another valve the drive fits keeps it", kWater, 3, "d=2 c=1", "ЛМА-115-1600/63-20-220В,ЛМА-115-1600/63-20-24В | ЛМА-115-1600/63-20-24В | Трёхпозиционное управление, питание 24 В, степень защиты IP54"},
    {"a valve the task no longer proposes takes its drive, in a line under the results", kWater, 3, "~108=30", "(скрыто) | Электропривод ЛМА-115-1600/63-20-220В снят вместе с клапаном"},
    {"a flow typed key by key through 1 m³/h keeps the valve and its drive", kWater, 3, "d=2 108=10.5", "ЛМА-115-1600/63-20-220В,ЛМА-115-1600/63-20-24В | ЛМА-115-1600/63-20-24В | Трёхпозиционное управление, питание 24 В, степень защиты IP54"},
};

// A saved drive damaged (ЛМК-2 DN 40 Kvs 16, signal 3, 24 V, ЛМА-135М-1600/63-20-24В): the opening
// warning, then the section as it opens.
const struct { const char* name; QVariant value; qint16 field; const char* shown; } kDamaged[] = {
    {"a signal stored as a text: the first wishes, the drive no longer theirs", QStringLiteral("3"), 504, "• Электропривод — не выбран || ЛМА-115-1600/63-20-24В | -- Без электропривода -- | "},
    {"a voltage the catalogue has not: any voltage, the drive still fits", 110, 505, "• Электропривод — условия выбора не заданы || ЛМА-135М-1600/63-20-220В,ЛМА-135М-1600/63-20-24В | ЛМА-135М-1600/63-20-24В | Управление типа 3, питание 24 В, степень защиты IP54"},
    {"an unknown designation", QStringLiteral("ЛМА-999"), 507, "• Электропривод — не выбран || ЛМА-135М-1600/63-20-24В | -- Без электропривода -- | "},
    {"a drive of another valve family", QStringLiteral("ЛМА-138М-1600/63-20-24В"), 507, "• Электропривод — не выбран || ЛМА-135М-1600/63-20-24В | -- Без электропривода -- | "},
    {"a thousand characters", QString(1000, QChar(0x042F)), 507, "• Электропривод — не выбран || ЛМА-135М-1600/63-20-24В | -- Без электропривода -- | "},
    {"a designation stored as a number", 5, 507, "• Электропривод — не выбран || ЛМА-135М-1600/63-20-24В | -- Без электропривода -- | "},
    {"a drive whose valve is not proposed", 30.0, 108, "• Ваш выбор — не выбрано: не предлагается для этих данных\n• Электропривод — не выбран || (скрыто)"},
};
// clang-format on

// The window of kWater with ЛМК-2 DN 40 Kvs 16 and its drive of signal 3 at 24 V, saved and read back.
Doc savedWithDrive(const QString& file)
{
    Window w("valve");
    enter(w.form, kWater);
    wish(w.form, QStringLiteral("c=3 s=3 v=24"));
    return orxtest::savedAndReopened(*w.form, file);
}

} // namespace

class TestDrive : public QObject
{
    Q_OBJECT

private slots:
    void offered_data() { tableRows(kOffered); }
    void offered()
    {
        ORX_ROW(kOffered);
        orxtest::MessageCapture capture;
        Window w("valve");
        enter(w.form, row.task);
        QCOMPARE(driveShown(w.form), QStringLiteral("(скрыто)"));
        w.form->choiceCombo()->setCurrentIndex(row.valve);
        wish(w.form, QString::fromUtf8(row.wishes));
        QCOMPARE(driveShown(w.form), QString::fromUtf8(row.shown));
        // A rebuild of the results keeps the section as it stands, without the line of a drop.
        const QString shown = driveShown(w.form);
        const QString kept =
            shown.section(QStringLiteral(" | "), 0, shown.startsWith(QStringLiteral("(")) ? 0 : 2);
        act(w.form, QStringLiteral("122=X"));
        QCOMPARE(driveShown(w.form), kept);
        QCOMPARE(capture.ownCount(), 0);
    }

    // The wishes and the drive as written, and read back unmodified; a valve without a drive writes no
    // drive field, so the documents made so far keep their bytes.
    void savedAndOpenedAgain()
    {
        orxtest::MessageCapture capture;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.orx"));
        const Doc doc = savedWithDrive(file);
        QVERIFY2(orxtest::hexOfFile(file).contains(
                     QStringLiteral("01f8000000000002000000000301f9000000000002000000001801fa000000000002"
                                    "000000003601fb00000000000a00")),
                 qPrintable(orxtest::hexOfFile(file)));
        Window opened("valve", &doc);
        QCOMPARE(
            driveShown(opened.form),
            QStringLiteral("ЛМА-135М-1600/63-20-24В | ЛМА-135М-1600/63-20-24В | Управление типа 3, питание "
                           "24 В, степень защиты IP54"));
        QVERIFY(!opened.form->isModified());

        // Wishes without a drive are the user's too.
        wish(opened.form, QStringLiteral("d=0"));
        const Doc wishesOnly = orxtest::savedAndReopened(*opened.form, file);
        Window again("valve", &wishesOnly);
        QCOMPARE(driveShown(again.form),
                 QStringLiteral("ЛМА-135М-1600/63-20-24В | -- Без электропривода -- | "));

        wish(opened.form, QStringLiteral("s=1 v=0 d=0"));
        QVERIFY(opened.form->saveToFile(file));
        QVERIFY(!orxtest::hexOfFile(file).contains(QStringLiteral("01f8")));
        QCOMPARE(capture.ownCount(), 0);
    }

    void damagedDriveIsNamed_data() { tableRows(kDamaged); }
    void damagedDriveIsNamed()
    {
        ORX_ROW(kDamaged);
        QTemporaryDir dir;
        Doc doc = savedWithDrive(dir.filePath(QStringLiteral("a.orx")));
        doc.setValue(DocKey(row.field), row.value);
        doc.repairFields();
        orxtest::MessageCapture capture;
        Window opened("valve", &doc);
        QCOMPARE(capture.warnings().join(QStringLiteral(" / ")) + QStringLiteral(" || ") +
                     driveShown(opened.form),
                 QString::fromUtf8(row.shown));
        QVERIFY(!opened.form->isModified());
    }
};

ORX_GUI_TEST_MAIN(TestDrive)
#include "tst_drive.moc"
