// The electric drives of the valves: the choice by DN, valve family, control
// signal and protection class from the fixed catalogue, and the designation
// grammar each catalogue entry is read through.

#include "../core/tablerows.h"
#include "engine/electricdrive.h"
#include "gentools/errorhandle.h"
#include "testsupport.h"
#include "vocabulary/common.h"

#include <QSet>

using namespace common;

namespace {

// Designations separated by "|".
QStringList drives(const char* list)
{
    return list[0] ? QString::fromUtf8(list).split(QLatin1Char('|')) : QStringList();
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

// Valve family 0: refused, a warning, and a record with neutral values (signal 0, IP54).
const struct { const char* name; const char* designation; int valveFamily, controlSignal, protection; } kGrammar[] = {
    {"plain", "ЛМА-115-700/63-20-220В", 5, 1, 54},
    {"letter М keeps the signal", "ЛМА-221М-1600/63-20-220В", 1, 2, 54},
    {"letter В makes 11", "ЛМА-118В-2700/100-32-24В", 8, 11, 54},
    {"IP67", "ЛМА-318-1600/63-20-24В IP67", 8, 1, 67},
    {"tab before IP", "ЛМА-311-1600/63-20-220В\tIP67", 1, 1, 67},
    {"empty figures", "ЛМА-111-/--220В", 1, 1, 54},
    {"empty", "", 0, 0, 54},
    {"drive family 0", "ЛМА-015-700/63-20-220В", 0, 0, 54},
    {"control signal 4", "ЛМА-145-700/63-20-220В", 0, 0, 54},
    {"valve family 3", "ЛМА-113-700/63-20-220В", 0, 0, 54},
    {"letter Б", "ЛМА-115Б-700/63-20-220В", 0, 0, 54},
    {"letter O in the force", "ЛМА-115-7O0/63-20-220В", 0, 0, 54},
    {"230 V", "ЛМА-115-700/63-20-230В", 0, 0, 54},
    {"IP65", "ЛМА-115-700/63-20-220В IP65", 0, 0, 54},
    {"IP67 without blank", "ЛМА-115-700/63-20-220ВIP67", 0, 0, 54},
    {"trailing newline", "ЛМА-115-700/63-20-220В\n", 0, 0, 54},
};
// clang-format on

// A designation the grammar must refuse: a warning and neutral values.
void checkRefused(const QString& designation)
{
    orxtest::MessageCapture capture;
    ElectricDriveCatalogue catalogue;
    catalogue.add(designation, {15});
    QVERIFY2(capture.count() == 1 && catalogue.drives().first().m_valveFamily == 0, qPrintable(designation));
}

} // namespace

class TestElectricDrive : public QObject
{
    Q_OBJECT
private slots:
    void driveChoice_data() { tableRows(kChoices); }
    void driveChoice()
    {
        ORX_ROW(kChoices);
        QCOMPARE(ElectricDriveCatalogue::standard().selectDrives(row.dn, row.valveFamily, row.controlSignal,
                                                                 row.protection),
                 drives(row.drives));
    }

    // Every entry of the fixed list parses cleanly, is unique and fits some DN.
    void catalogueIsConsistent()
    {
        orxtest::MessageCapture capture;
        ElectricDriveCatalogue fresh;
        for (const ElectricDrive& drive : ElectricDriveCatalogue::standard().drives())
            fresh.add(drive.m_designation, drive.m_dnSet);
        QCOMPARE(capture.count(), 0);
        QCOMPARE(fresh.drives().size(), 92);
        QSet<QString> seen;
        for (const ElectricDrive& drive : fresh.drives()) {
            QVERIFY2(!seen.contains(drive.m_designation) && !drive.m_dnSet.isEmpty(),
                     qPrintable(drive.m_designation));
            seen.insert(drive.m_designation);
            QVERIFY(QList<int>({dtLMKP, dtLMK2, dtLMK3}).contains(drive.m_valveFamily));
            QCOMPARE(drive.m_protectionClass == 67, drive.m_designation.endsWith(QStringLiteral(" IP67")));
        }
    }

    void grammar_data() { tableRows(kGrammar); }
    // A refused designation is reported and still enters the catalogue with
    // neutral values, so that no later choice returns it.
    void grammar()
    {
        ORX_ROW(kGrammar);
        const QString designation = QString::fromUtf8(row.designation);
        orxtest::MessageCapture capture;
        ElectricDriveCatalogue catalogue;
        catalogue.add(designation, {50, 15, 50});
        QCOMPARE(capture.count(), row.valveFamily ? 0 : 1);
        if (capture.count())
            QCOMPARE(capture.messages().first().text + QString::number(capture.messages().first().level),
                     QStringLiteral("Недопустимый формат ЛМА: ") + designation +
                         QString::number(geh::mlWarning));
        const ElectricDrive& drive = catalogue.drives().value(0);
        QCOMPARE(drive.m_designation, designation);
        QCOMPARE(drive.m_dnSet, (QVector<int>{15, 50}));
        QCOMPARE(drive.m_valveFamily, row.valveFamily);
        QCOMPARE(drive.m_controlSignalType, row.controlSignal);
        QCOMPARE(drive.m_protectionClass, row.protection);
    }

    // Long digits then a wrong end, and every proper prefix of a valid
    // designation except where the optional protection class starts.
    void grammarRefusesPrefixes()
    {
        checkRefused(QStringLiteral("ЛМА-115-") + QString(100000, QLatin1Char('7')) +
                     QStringLiteral("/63-20-220X"));
        const QString full = QStringLiteral("ЛМА-315В-1600/63-20-24В IP67");
        for (int length = 1; length < full.size(); ++length)
            if (length != full.indexOf(QLatin1Char(' ')))
                checkRefused(full.left(length));
    }

    // Letter В needs the three-point signal: the report lets the entry in as a "В" drive.
    void letterVRequiresThreePoint()
    {
        orxtest::MessageCapture capture;
        ElectricDriveCatalogue catalogue;
        catalogue.add(QStringLiteral("ЛМА-111В-1600/63-20-220В"), {15});
        catalogue.add(QStringLiteral("ЛМА-338М-1600/63-20-24В"), {15});
        QCOMPARE(capture.count(), 0);
        catalogue.add(QStringLiteral("ЛМА-338В-1600/63-20-24В IP67"), {15});
        QCOMPARE(capture.conditions(), QStringList{QStringLiteral("x.m_controlSignalType == csTriple")});
        QVERIFY(capture.assertions().first().contains(QStringLiteral(", add(), row ")));
        QCOMPARE(catalogue.drives().last().m_controlSignalType, int(csTripleV));
    }
};

ORX_CORE_TEST_MAIN(TestElectricDrive)
#include "tst_electricdrive.moc"
