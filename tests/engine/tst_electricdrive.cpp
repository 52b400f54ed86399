// The electric drives of the valves: the choice from the fixed catalogue, and
// the designation grammar each entry is read through.

#include "engine/electricdrive.h"
#include "testsupport.h"
#include "vocabulary/common.h"

using namespace common;

namespace {

// How a designation is read: valve family, control signal and protection class, and what was reported. A
// refused designation is reported and still enters the catalogue with neutral values (0, 0, 54), so that no
// later choice returns it.
QString read(const QString& designation)
{
    orxtest::MessageCapture capture;
    ElectricDriveCatalogue catalogue;
    catalogue.add(designation, {50, 15, 50});
    const ElectricDrive& drive = catalogue.drives().value(0);
    QStringList text{QString::number(drive.m_valveFamily), QString::number(drive.m_controlSignalType),
                     QString::number(drive.m_protectionClass)};
    if (drive.m_designation != designation || drive.m_dnSet != QVector<int>{15, 50})
        text << QStringLiteral("stored wrongly");
    for (const orxtest::CapturedMessage& m : capture.messages())
        text << (m.level == geh::mlWarning &&
                         m.text == QStringLiteral("Недопустимый формат ЛМА: ") + designation
                     ? QStringLiteral("refused")
                     : m.text.mid(m.text.lastIndexOf(QLatin1Char('\n')) + 1));
    return text.join(QLatin1Char(' '));
}

// clang-format off
// The drives offered for a chosen valve, at a DN on each boundary of the catalogue's fit ranges, for each
// signal, voltage and protection: a range read one DN too far or too short, a lost gap, a wrong valve family
// or a wish not applied changes a row. Designations without their "ЛМА-".
const struct { const char* name; DeviceType series; int dn, signal, voltage, protection; const char* drives; } kFitting[] = {
    {"ЛМК-2 DN 15: lowest of the 700 drives", dtLMK2, 15, csTriple, dvEither, 54, "115-700/63-20-220В|115-700/63-20-24В"},
    {"ЛМК-2 DN 25: highest of the 700 drives", dtLMK2, 25, csTriple, dvEither, 54, "115-700/63-20-220В|115-700/63-20-24В"},
    {"ЛМК-2 DN 32: the 1600 drives start", dtLMK2, 32, csTriple, dvEither, 54, "115-1600/63-20-220В|115-1600/63-20-24В"},
    {"ЛМК-2 DN 65: the 2700 drives start, catalogue order kept", dtLMK2, 65, csTriple, dvEither, 54, "115-1600/63-20-220В|115-2700/63-20-220В|115-1600/63-20-24В|115-2700/63-20-24В"},
    {"ЛМК-2 DN 100, 220 V only", dtLMK2, 100, csTriple, dv220, 54, "115-1600/63-20-220В|115-2700/63-20-220В"},
    {"ЛМК-2 DN 125: the 4000/100 drives start", dtLMK2, 125, csTriple, dvEither, 54, "115-4000/100-50-220В|115-4000/100-50-24В"},
    {"ЛМК-2 DN 200, 24 V only", dtLMK2, 200, csTriple, dv24, 54, "115-4000/100-50-24В"},
    {"ЛМК-2 DN 250: the 4000/160 drives start", dtLMK2, 250, csTriple, dvEither, 54, "115-4000/160-80-220В|115-4000/160-80-24В"},
    {"ЛМК-2 DN 300: highest of all", dtLMK2, 300, csTriple, dv24, 54, "115-4000/160-80-24В"},
    {"ЛМК-2 version В at DN 15", dtLMK2, 15, csTripleV, dvEither, 54, "115В-1600/63-20-220В|115В-1600/63-20-24В"},
    {"ЛМК-2 version В at DN 100", dtLMK2, 100, csTripleV, dv24, 54, "115В-1600/63-20-24В|115В-2700/63-20-24В"},
    {"ЛМК-2 version В ends at DN 100", dtLMK2, 125, csTripleV, dvEither, 54, ""},
    {"ЛМК-2 signal 2 at DN 15: two families of drives", dtLMK2, 15, 2, dvEither, 54, "125М-700/63-20-220В|225М-700/63-20-220В"},
    {"ЛМК-2 signal 2 at DN 32: the 1600 drives start", dtLMK2, 32, 2, dvEither, 54, "125М-1600/63-20-220В|225М-1600/63-20-220В"},
    {"ЛМК-2 signal 2 at DN 200", dtLMK2, 200, 2, dvEither, 54, "125М-4000/100-50-220В|225М-4000/100-50-220В"},
    {"ЛМК-2 signal 2 has no 24 V drive", dtLMK2, 50, 2, dv24, 54, ""},
    {"ЛМК-2 signal 2 ends at DN 200", dtLMK2, 250, 2, dvEither, 54, ""},
    {"ЛМК-2 signal 3 at DN 65", dtLMK2, 65, 3, dvEither, 54, "135М-1600/63-20-220В|135-3000/63-20-220В|135М-1600/63-20-24В|135-3000/63-20-24В"},
    {"ЛМК-2 signal 3 at DN 300", dtLMK2, 300, 3, dv220, 54, "135-4000/160-80-220В"},
    {"ЛМК-2 IP67 at DN 100", dtLMK2, 100, csTriple, dvEither, 67, "315-1600/63-20-220В IP67|315-1600/63-20-24В IP67"},
    {"ЛМК-2 IP67 ends at DN 100", dtLMK2, 125, csTriple, dvEither, 67, ""},
    {"ЛМК-3 DN 25", dtLMK3, 25, csTriple, dv220, 54, "118-700/63-20-220В"},
    {"ЛМК-3 DN 50: the 1600 drives end", dtLMK3, 50, csTriple, dvEither, 54, "118-1600/63-20-220В|118-1600/63-20-24В"},
    {"ЛМК-3 DN 65: the 2700 drives start", dtLMK3, 65, csTriple, dvEither, 54, "118-2700/100-32-220В|118-2700/100-32-24В"},
    {"ЛМК-3 DN 150: the 4000 drives end", dtLMK3, 150, csTriple, dvEither, 54, "118-4000/100-50-220В|118-4000/100-50-24В"},
    {"ЛМК-3 DN 200: the 10000 drives start", dtLMK3, 200, csTriple, dvEither, 54, "118-10000/125-80-220В|118-10000/125-80-24В"},
    {"ЛМК-3 version В at DN 50", dtLMK3, 50, csTripleV, dvEither, 54, "118В-1600/63-20-220В|118В-1600/63-20-24В"},
    {"ЛМК-3 version В ends at DN 100", dtLMK3, 125, csTripleV, dvEither, 54, ""},
    {"ЛМК-3 signal 2 at DN 150", dtLMK3, 150, 2, dvEither, 54, "128М-4000/100-50-220В|228М-4000/100-50-220В"},
    {"ЛМК-3 signal 2 ends at DN 150", dtLMK3, 200, 2, dvEither, 54, ""},
    {"ЛМК-3 signal 3 at DN 125", dtLMK3, 125, 3, dvEither, 54, "138-4000/100-50-220В|138-4000/100-50-24В"},
    {"ЛМК-3 signal 3 at DN 300", dtLMK3, 300, 3, dvEither, 54, "138-10000/125-80-220В|138-10000/125-80-24В"},
    {"ЛМК-3 IP67 at DN 50", dtLMK3, 50, csTriple, dvEither, 67, "318-1600/63-20-220В IP67|318-1600/63-20-24В IP67"},
    {"ЛМК-3 IP67 ends at DN 50", dtLMK3, 65, csTriple, dvEither, 67, ""},
    {"ЛМК-П DN 32: both ranges meet", dtLMKP, 32, csTriple, dvEither, 54, "111-1600/63-20-220В|111-2700/63-20-220В|111-1600/63-20-24В|111-2700/63-20-24В"},
    {"ЛМК-П DN 50: the 1600 drives leave it out", dtLMKP, 50, csTriple, dvEither, 54, "111-2700/63-20-220В|111-2700/63-20-24В"},
    {"ЛМК-П DN 65: the 1600 drives go on after the gap", dtLMKP, 65, csTriple, dvEither, 54, "111-1600/63-20-220В|111-1600/63-20-24В"},
    {"ЛМК-П DN 125", dtLMKP, 125, csTriple, dv220, 54, "111-4000/100-50-220В"},
    {"ЛМК-П DN 300", dtLMKP, 300, csTriple, dvEither, 54, "111-4000/160-80-220В|111-4000/160-80-24В"},
    {"ЛМК-П version В at DN 100", dtLMKP, 100, csTripleV, dvEither, 54, "111В-1600/63-20-220В|111В-2700/63-20-220В|111В-1600/63-20-24В|111В-2700/63-20-24В"},
    {"ЛМК-П version В at DN 50: the 1600 drives leave it out", dtLMKP, 50, csTripleV, dvEither, 54, "111В-2700/63-20-220В|111В-2700/63-20-24В"},
    {"ЛМК-П version В at DN 300: none", dtLMKP, 300, csTripleV, dvEither, 54, ""},
    {"ЛМК-П signal 2 at DN 50: the 1600 drive leaves it out", dtLMKP, 50, 2, dvEither, 54, "121М-2700/63-20-220В|221М-2700/63-20-220В"},
    {"ЛМК-П signal 2 at DN 15", dtLMKP, 15, 2, dvEither, 54, "121М-1600/63-20-220В|221М-1600/63-20-220В"},
    {"ЛМК-П signal 3 at DN 250", dtLMKP, 250, 3, dvEither, 54, "131-4000/160-80-220В|131-4000/160-80-24В"},
    {"ЛМК-П IP67 at DN 50: none", dtLMKP, 50, csTriple, dvEither, 67, ""},
    {"ЛМК-П IP67 at DN 100", dtLMKP, 100, csTriple, dv24, 67, "311-1600/63-20-24В IP67"},
    {"DN between series values", dtLMK2, 30, csTriple, dvEither, 54, ""},
    {"protection class other than 54 or 67", dtLMK2, 50, csTriple, dvEither, 65, ""},
    {"no drive for a regulator", dtLMRD, 50, csTriple, dvEither, 54, ""},
};

// Letter В needs the three-point signal: the report lets the entry in as a "В" drive. A drive of the
// catalogue with the words it is told as.
const struct { const char* name; const char* designation, *read, *words = nullptr; } kGrammar[] = {
    {"plain", "ЛМА-115-700/63-20-220В", "5 1 54", "Трёхпозиционное управление, питание 220 В, степень защиты IP54"},
    {"letter М keeps the signal, told by its number only", "ЛМА-221М-1600/63-20-220В", "1 2 54", "Управление типа 2, питание 220 В, степень защиты IP54"},
    {"letter В makes 11", "ЛМА-118В-2700/100-32-24В", "8 11 54", "Трёхпозиционное управление, исполнение «В», питание 24 В, степень защиты IP54"},
    {"letter В of a signal other than three-point", "ЛМА-338В-1600/63-20-24В IP67", "8 11 67 x.m_controlSignalType == csTriple"},
    {"IP67", "ЛМА-318-1600/63-20-24В IP67", "8 1 67", "Трёхпозиционное управление, питание 24 В, степень защиты IP67"},
    {"tab before IP", "ЛМА-311-1600/63-20-220В\tIP67", "1 1 67"},
    {"empty figures", "ЛМА-111-/--220В", "1 1 54"},
};

// Drive family 0, control signal 4, valve family 3, letter Б, letter O in the
// force, 230 V, IP65, IP67 without blank, a trailing newline, empty.
const char* const kRefused[] = {"ЛМА-015-700/63-20-220В", "ЛМА-145-700/63-20-220В", "ЛМА-113-700/63-20-220В",
    "ЛМА-115Б-700/63-20-220В", "ЛМА-115-7O0/63-20-220В", "ЛМА-115-700/63-20-230В", "ЛМА-115-700/63-20-220В IP65",
    "ЛМА-115-700/63-20-220ВIP67", "ЛМА-115-700/63-20-220В\n", ""};
// clang-format on

} // namespace

class TestElectricDrive : public QObject
{
    Q_OBJECT
private slots:
    void fitting_data() { tableRows(kFitting); }
    void fitting()
    {
        ORX_ROW(kFitting);
        QStringList designations;
        const DriveWishes wishes{row.signal, row.voltage, row.protection};
        for (const DriveOffer& offer : drives::fitting(row.series, row.dn, wishes)) {
            designations << offer.designation.mid(4);
            QVERIFY(drives::fits(offer.designation, row.series, row.dn, wishes));
        }
        QCOMPARE(designations.join(QLatin1Char('|')), QString::fromUtf8(row.drives));
    }

    // The signals offered follow the catalogue of the series; a device without
    // drives offers none, and what no drive meets is said in words.
    void signalsAndRefusal()
    {
        for (DeviceType series : {dtLMK2, dtLMK3, dtLMKP})
            QCOMPARE(drives::controlSignals(series), (QVector<int>{csTriple, csTripleV, 2, 3}));
        QVERIFY(drives::controlSignals(dtLMR1).isEmpty());
        QVERIFY(!drives::fits(QStringLiteral("ЛМА-115-700/63-20-220В"), dtLMK3, 15, DriveWishes()));
        QCOMPARE(
            drives::noneFitsText(dtLMKP, 300, {csTripleV, dv24, 67}).replace(QChar(0x00A0), QLatin1Char(' ')),
            QStringLiteral("Для ЛМК-П DN 300 в каталоге нет привода с управлением «Трёхпозиционное, "
                           "исполнение «В»», питанием 24 В и защитой IP67"));
    }

    // Every entry of the fixed list parses cleanly, is unique and fits some DN.
    void catalogueIsConsistent()
    {
        QSet<QString> seen;
        for (const ElectricDrive& drive : ElectricDriveCatalogue::standard().drives()) {
            QCOMPARE(read(drive.m_designation).section(QLatin1Char(' '), 2),
                     QString::number(drive.m_designation.endsWith(QStringLiteral(" IP67")) ? 67 : 54));
            QVERIFY(QList<int>({dtLMKP, dtLMK2, dtLMK3}).contains(drive.m_valveFamily));
            QVERIFY2(!seen.contains(drive.m_designation) && !drive.m_dnSet.isEmpty(),
                     qPrintable(drive.m_designation));
            seen.insert(drive.m_designation);
        }
        QCOMPARE(seen.size(), 92);
    }

    void grammar_data() { tableRows(kGrammar); }
    void grammar()
    {
        ORX_ROW(kGrammar);
        const QString designation = QString::fromUtf8(row.designation);
        QCOMPARE(read(designation), QLatin1String(row.read));
        if (!row.words)
            return;
        const ElectricDrive* drive = ElectricDriveCatalogue::standard().find(designation);
        QVERIFY(drive);
        QCOMPARE(drives::description(*drive).replace(QChar(0x00A0), QLatin1Char(' ')),
                 QString::fromUtf8(row.words));
    }

    // The wrong ones above, long digits then a wrong end, and every proper
    // prefix of a valid designation except where the protection class starts.
    void grammarRefuses()
    {
        const QString full = QStringLiteral("ЛМА-315В-1600/63-20-24В IP67");
        QStringList wrong{QStringLiteral("ЛМА-115-") + QString(100000, QLatin1Char('7')) +
                          QStringLiteral("/63-20-220X")};
        for (const char* designation : kRefused)
            wrong << QString::fromUtf8(designation);
        for (int length = 1; length < full.size(); ++length)
            if (length != full.indexOf(QLatin1Char(' ')))
                wrong << full.left(length);
        for (const QString& designation : wrong)
            QVERIFY2(read(designation) == QStringLiteral("0 0 54 refused"), qPrintable(designation.left(40)));
    }
};

ORX_CORE_TEST_MAIN(TestElectricDrive)
#include "tst_electricdrive.moc"
