#include "engine/electricdrive.h"
#include "gentools/errorhandle.h"
#include "testsupport.h"
#include "vocabulary/common.h"

#include <QSet>

namespace {

// Designations separated by "|".
QStringList drives(const char* list)
{
    return list[0] ? QString::fromUtf8(list).split(QLatin1Char('|')) : QStringList();
}

void addRow(const char* name, const QString& designation, int valveFamily, int controlSignal, int protection)
{
    QTest::newRow(name) << designation << valveFamily << controlSignal << protection;
}

// A designation the grammar refuses: a warning, and a record with neutral values.
void addRejected(const char* name, const QString& designation)
{
    addRow(name, designation, 0, 0, 54);
}

} // namespace

class TestElectricDrive : public QObject
{
    Q_OBJECT
private slots:
    void driveChoice_data()
    {
        QTest::addColumn<int>("dn");
        QTest::addColumn<int>("valveFamily");
        QTest::addColumn<int>("controlSignal");
        QTest::addColumn<int>("protection");
        QTest::addColumn<QStringList>("expected");

        const int lmk2 = common::dtLMK2, lmk3 = common::dtLMK3, lmkp = common::dtLMKP;
        QTest::newRow("ЛМК-2 DN 32, signal 2: two М drives in catalogue order")
            << 32 << lmk2 << 2 << 54 << drives("ЛМА-125М-1600/63-20-220В|ЛМА-225М-1600/63-20-220В");
        QTest::newRow("ЛМК-3 DN 125, signal 3")
            << 125 << lmk3 << 3 << 54 << drives("ЛМА-138-4000/100-50-220В|ЛМА-138-4000/100-50-24В");
        QTest::newRow("ЛМК-П DN 50, version В: the 1600 drives leave DN 50 out")
            << 50 << lmkp << int(csTripleV) << 54
            << drives("ЛМА-111В-2700/63-20-220В|ЛМА-111В-2700/63-20-24В");
        QTest::newRow("ЛМК-П DN 40, version В: the 1600 drives fit")
            << 40 << lmkp << int(csTripleV) << 54
            << drives("ЛМА-111В-1600/63-20-220В|ЛМА-111В-2700/63-20-220В|ЛМА-111В-1600/63-20-24В|"
                      "ЛМА-111В-2700/63-20-24В");
        QTest::newRow("IP67 selects only the IP67 drives")
            << 40 << lmk2 << int(csTriple) << 67
            << drives("ЛМА-315-1600/63-20-220В IP67|ЛМА-315-1600/63-20-24В IP67");
        QTest::newRow("IP54 leaves the IP67 and В drives out")
            << 40 << lmk2 << int(csTriple) << 54 << drives("ЛМА-115-1600/63-20-220В|ЛМА-115-1600/63-20-24В");
        QTest::newRow("DN between series values") << 30 << lmk2 << int(csTriple) << 54 << drives("");
        QTest::newRow("unknown valve family")
            << 50 << int(common::dtLMRD) << int(csTriple) << 54 << drives("");
        QTest::newRow("protection class other than 54 or 67")
            << 50 << lmk2 << int(csTriple) << 65 << drives("");
    }

    void driveChoice()
    {
        QFETCH(int, dn);
        QFETCH(int, valveFamily);
        QFETCH(int, controlSignal);
        QFETCH(int, protection);
        QTEST(ElectricDriveCatalogue::standard().selectDrives(dn, valveFamily, controlSignal, protection),
              "expected");
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
            QVERIFY2(!seen.contains(drive.m_designation), qPrintable(drive.m_designation));
            seen.insert(drive.m_designation);
            QVERIFY2(!drive.m_dnSet.isEmpty(), qPrintable(drive.m_designation));
            QVERIFY(drive.m_valveFamily == common::dtLMKP || drive.m_valveFamily == common::dtLMK2 ||
                    drive.m_valveFamily == common::dtLMK3);
            QCOMPARE(drive.m_protectionClass == 67, drive.m_designation.endsWith(QStringLiteral(" IP67")));
        }
    }

    void grammar_data()
    {
        QTest::addColumn<QString>("designation");
        QTest::addColumn<int>("valveFamily"); // 0: refused
        QTest::addColumn<int>("controlSignal");
        QTest::addColumn<int>("protection");

        addRow("plain", QStringLiteral("ЛМА-115-700/63-20-220В"), 5, 1, 54);
        addRow("letter М keeps the signal", QStringLiteral("ЛМА-221М-1600/63-20-220В"), 1, 2, 54);
        addRow("letter В makes 11", QStringLiteral("ЛМА-118В-2700/100-32-24В"), 8, 11, 54);
        addRow("IP67", QStringLiteral("ЛМА-318-1600/63-20-24В IP67"), 8, 1, 67);
        addRow("tab before IP", QStringLiteral("ЛМА-311-1600/63-20-220В\tIP67"), 1, 1, 67);
        addRow("empty figures", QStringLiteral("ЛМА-111-/--220В"), 1, 1, 54);

        addRejected("empty", QString());
        addRejected("drive family 0", QStringLiteral("ЛМА-015-700/63-20-220В"));
        addRejected("control signal 4", QStringLiteral("ЛМА-145-700/63-20-220В"));
        addRejected("valve family 3", QStringLiteral("ЛМА-113-700/63-20-220В"));
        addRejected("letter Б", QStringLiteral("ЛМА-115Б-700/63-20-220В"));
        addRejected("letter O in the force", QStringLiteral("ЛМА-115-7O0/63-20-220В"));
        addRejected("230 V", QStringLiteral("ЛМА-115-700/63-20-230В"));
        addRejected("IP65", QStringLiteral("ЛМА-115-700/63-20-220В IP65"));
        addRejected("IP67 without blank", QStringLiteral("ЛМА-115-700/63-20-220ВIP67"));
        addRejected("trailing newline", QStringLiteral("ЛМА-115-700/63-20-220В\n"));
        addRejected("long digits, then a wrong end", QStringLiteral("ЛМА-115-") +
                                                         QString(100000, QLatin1Char('7')) +
                                                         QStringLiteral("/63-20-220X"));
        // No proper prefix of a valid designation is valid, except where the
        // optional protection class starts.
        const QString full = QStringLiteral("ЛМА-315В-1600/63-20-24В IP67");
        for (int length = 1; length < full.size(); ++length) {
            if (length != full.indexOf(QLatin1Char(' ')))
                addRejected(qPrintable(QStringLiteral("prefix %1").arg(length)), full.left(length));
        }
    }

    // A refused designation is reported and still enters the catalogue with
    // neutral values, so that no later choice returns it.
    void grammar()
    {
        QFETCH(QString, designation);
        QFETCH(int, valveFamily);
        orxtest::MessageCapture capture;
        ElectricDriveCatalogue catalogue;
        catalogue.add(designation, {50, 15, 50});
        if (valveFamily == 0) {
            QCOMPARE(capture.count(), 1);
            QCOMPARE(capture.messages().first().text,
                     QStringLiteral("Недопустимый формат ЛМА: ") + designation);
            QCOMPARE(capture.messages().first().level, int(geh::mlWarning));
        } else {
            QCOMPARE(capture.count(), 0);
        }
        QCOMPARE(catalogue.drives().size(), 1);
        const ElectricDrive& drive = catalogue.drives().first();
        QCOMPARE(drive.m_designation, designation);
        QCOMPARE(drive.m_dnSet, (QVector<int>{15, 50}));
        QCOMPARE(drive.m_valveFamily, valveFamily);
        QTEST(drive.m_controlSignalType, "controlSignal");
        QTEST(drive.m_protectionClass, "protection");
    }

    void letterVRequiresThreePoint_data()
    {
        QTest::addColumn<QString>("designation");
        QTest::addColumn<bool>("reported");
        QTest::newRow("letter В, three-point") << "ЛМА-111В-1600/63-20-220В" << false;
        QTest::newRow("letter В, signal 3") << "ЛМА-338В-1600/63-20-24В IP67" << true;
        QTest::newRow("letter М with signal 3") << "ЛМА-338М-1600/63-20-24В" << false;
    }

    // The report lets the entry in as a "В" drive.
    void letterVRequiresThreePoint()
    {
        QFETCH(QString, designation);
        QFETCH(bool, reported);
        orxtest::MessageCapture capture;
        ElectricDriveCatalogue catalogue;
        catalogue.add(designation, {15});
        QCOMPARE(capture.count(), capture.assertions().size());
        QCOMPARE(capture.assertions().size(), reported ? 1 : 0);
        QCOMPARE(catalogue.drives().size(), 1);
        if (!reported)
            return;
        QCOMPARE(capture.messages().first().title, QStringLiteral("Ошибка"));
        QVERIFY(capture.assertions().first().contains(QStringLiteral(", add(), row ")));
        QVERIFY(
            capture.assertions().first().endsWith(QStringLiteral("\r\nx.m_controlSignalType == csTriple")));
        QCOMPARE(catalogue.drives().first().m_controlSignalType, int(csTripleV));
    }

    // Records keep insertion order and the choice follows it.
    void ownCatalogueKeepsOrder()
    {
        orxtest::MessageCapture capture;
        ElectricDriveCatalogue catalogue;
        catalogue.add(QStringLiteral("ЛМА-115-700/63-20-24В"), {25});
        catalogue.add(QStringLiteral("неверно"), {25});
        catalogue.add(QStringLiteral("ЛМА-125-700/63-20-24В"), {25});
        catalogue.add(QStringLiteral("ЛМА-115-700/63-20-220В"), {20, 25});
        QCOMPARE(capture.count(), 1);
        QCOMPARE(catalogue.selectDrives(25, common::dtLMK2, csTriple, 54),
                 drives("ЛМА-115-700/63-20-24В|ЛМА-115-700/63-20-220В"));
        QCOMPARE(catalogue.selectDrives(20, common::dtLMK2, csTriple, 54), drives("ЛМА-115-700/63-20-220В"));
        QCOMPARE(catalogue.selectDrives(25, 0, 0, 54), drives("неверно"));
    }
};

ORX_CORE_TEST_MAIN(TestElectricDrive)
#include "tst_electricdrive.moc"
