// The electric drives of the valves: the choice from the fixed catalogue, and
// the designation grammar each entry is read through.

#include "engine/electricdrive.h"
#include "gentools/errorhandle.h"
#include "tablerows.h"
#include "testsupport.h"
#include "vocabulary/common.h"

#include <QSet>

using namespace common;

namespace {

// How a designation is read: valve family, control signal and protection
// class, and what was reported. A refused designation is reported and still
// enters the catalogue with neutral values (0, 0, 54), so that no later choice
// returns it.
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
const struct { const char* name; int dn, valveFamily, controlSignal, protection; const char* drives; } kChoices[] = {
    {"ЛМК-2 DN 32, signal 2: two М drives in catalogue order", 32, dtLMK2, 2, 54, "ЛМА-125М-1600/63-20-220В|ЛМА-225М-1600/63-20-220В"},
    {"ЛМК-3 DN 125, signal 3", 125, dtLMK3, 3, 54, "ЛМА-138-4000/100-50-220В|ЛМА-138-4000/100-50-24В"},
    {"ЛМК-П DN 50, version В: the 1600 drives leave DN 50 out", 50, dtLMKP, csTripleV, 54, "ЛМА-111В-2700/63-20-220В|ЛМА-111В-2700/63-20-24В"},
    {"ЛМК-П DN 40, version В: the 1600 drives fit", 40, dtLMKP, csTripleV, 54, "ЛМА-111В-1600/63-20-220В|ЛМА-111В-2700/63-20-220В|ЛМА-111В-1600/63-20-24В|ЛМА-111В-2700/63-20-24В"},
    {"IP67 selects only the IP67 drives", 40, dtLMK2, csTriple, 67, "ЛМА-315-1600/63-20-220В IP67|ЛМА-315-1600/63-20-24В IP67"},
    {"IP67 ЛМА-315 up to DN 100", 100, dtLMK2, csTriple, 67, "ЛМА-315-1600/63-20-220В IP67|ЛМА-315-1600/63-20-24В IP67"},
    {"IP54 leaves the IP67 and В drives out", 40, dtLMK2, csTriple, 54, "ЛМА-115-1600/63-20-220В|ЛМА-115-1600/63-20-24В"},
    {"DN between series values", 30, dtLMK2, csTriple, 54, ""},
    {"unknown valve family", 50, dtLMRD, csTriple, 54, ""},
    {"protection class other than 54 or 67", 50, dtLMK2, csTriple, 65, ""},
};

// Letter В needs the three-point signal: the report lets the entry in as a "В" drive.
const struct { const char* name; const char* designation, *read; } kGrammar[] = {
    {"plain", "ЛМА-115-700/63-20-220В", "5 1 54"},
    {"letter М keeps the signal", "ЛМА-221М-1600/63-20-220В", "1 2 54"},
    {"letter В makes 11", "ЛМА-118В-2700/100-32-24В", "8 11 54"},
    {"letter В of a signal other than three-point", "ЛМА-338В-1600/63-20-24В IP67", "8 11 67 x.m_controlSignalType == csTriple"},
    {"IP67", "ЛМА-318-1600/63-20-24В IP67", "8 1 67"},
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
    void driveChoice_data() { tableRows(kChoices); }
    void driveChoice()
    {
        ORX_ROW(kChoices);
        QCOMPARE(ElectricDriveCatalogue::standard()
                     .selectDrives(row.dn, row.valveFamily, row.controlSignal, row.protection)
                     .join(QLatin1Char('|')),
                 QString::fromUtf8(row.drives));
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
        QCOMPARE(read(QString::fromUtf8(row.designation)), QLatin1String(row.read));
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
