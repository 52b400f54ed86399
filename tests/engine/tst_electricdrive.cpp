#include "engine/electricdrive.h"
#include "gentools/errorhandle.h"
#include "testsupport.h"
#include "vocabulary/common.h"

#include <QSet>

namespace {

const QString kWarningPrefix = QStringLiteral("Недопустимый формат ЛМА: ");

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

        QTest::newRow("ЛМК-2 DN 32, signal 2: two М drives in catalogue order")
            << 32 << int(common::dtLMK2) << 2 << 54
            << QStringList{QStringLiteral("ЛМА-125М-1600/63-20-220В"),
                           QStringLiteral("ЛМА-225М-1600/63-20-220В")};
        QTest::newRow("ЛМК-3 DN 125, signal 3") << 125 << int(common::dtLMK3) << 3 << 54
                                                << QStringList{QStringLiteral("ЛМА-138-4000/100-50-220В"),
                                                               QStringLiteral("ЛМА-138-4000/100-50-24В")};
        QTest::newRow("ЛМК-П DN 50, version В: the 1600 drives leave DN 50 out")
            << 50 << int(common::dtLMKP) << int(csTripleV) << 54
            << QStringList{QStringLiteral("ЛМА-111В-2700/63-20-220В"),
                           QStringLiteral("ЛМА-111В-2700/63-20-24В")};
        QTest::newRow("ЛМК-П DN 40, version В: the 1600 drives fit")
            << 40 << int(common::dtLMKP) << int(csTripleV) << 54
            << QStringList{
                   QStringLiteral("ЛМА-111В-1600/63-20-220В"), QStringLiteral("ЛМА-111В-2700/63-20-220В"),
                   QStringLiteral("ЛМА-111В-1600/63-20-24В"), QStringLiteral("ЛМА-111В-2700/63-20-24В")};
        QTest::newRow("IP67 selects only the IP67 drives")
            << 40 << int(common::dtLMK2) << int(csTriple) << 67
            << QStringList{QStringLiteral("ЛМА-315-1600/63-20-220В IP67"),
                           QStringLiteral("ЛМА-315-1600/63-20-24В IP67")};
        QTest::newRow("IP54 leaves the IP67 and В drives out")
            << 40 << int(common::dtLMK2) << int(csTriple) << 54
            << QStringList{QStringLiteral("ЛМА-115-1600/63-20-220В"),
                           QStringLiteral("ЛМА-115-1600/63-20-24В")};
        QTest::newRow("IP67 ЛМК-П DN 50 is left out")
            << 50 << int(common::dtLMKP) << int(csTriple) << 67 << QStringList();
        QTest::newRow("DN 300 ЛМК-3 signal 1") << 300 << int(common::dtLMK3) << int(csTriple) << 54
                                               << QStringList{QStringLiteral("ЛМА-118-10000/125-80-220В"),
                                                              QStringLiteral("ЛМА-118-10000/125-80-24В")};
        QTest::newRow("DN outside the series")
            << 350 << int(common::dtLMK2) << int(csTriple) << 54 << QStringList();
        QTest::newRow("DN between series values")
            << 30 << int(common::dtLMK2) << int(csTriple) << 54 << QStringList();
        QTest::newRow("unknown valve family")
            << 50 << int(common::dtLMRD) << int(csTriple) << 54 << QStringList();
        QTest::newRow("valve family and signal 0 find nothing") << 50 << 0 << 0 << 54 << QStringList();
        QTest::newRow("protection class other than 54 or 67")
            << 50 << int(common::dtLMK2) << int(csTriple) << 65 << QStringList();
    }

    void driveChoice()
    {
        QFETCH(int, dn);
        QFETCH(int, valveFamily);
        QFETCH(int, controlSignal);
        QFETCH(int, protection);
        QFETCH(QStringList, expected);
        QCOMPARE(ElectricDriveCatalogue::standard().selectDrives(dn, valveFamily, controlSignal, protection),
                 expected);
    }

    void catalogueEntries_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("designation");
        QTest::addColumn<QVector<int>>("dnSet");
        QTest::addColumn<int>("valveFamily");
        QTest::addColumn<int>("controlSignal");
        QTest::addColumn<int>("protection");

        QTest::newRow("first") << 0 << "ЛМА-115-700/63-20-220В" << QVector<int>{15, 20, 25} << 5 << 1 << 54;
        QTest::newRow("top of the series")
            << 4 << "ЛМА-115-4000/160-80-220В" << QVector<int>{250, 300} << 5 << 1 << 54;
        QTest::newRow("В version") << 10 << "ЛМА-115В-1600/63-20-220В"
                                   << QVector<int>{15, 20, 25, 32, 40, 50, 65, 80, 100} << 5 << 11 << 54;
        QTest::newRow("IP67") << 31 << "ЛМА-315-1600/63-20-24В IP67"
                              << QVector<int>{15, 20, 25, 32, 40, 50, 65, 80, 100} << 5 << 1 << 67;
        QTest::newRow("ЛМК-3 10000") << 36 << "ЛМА-118-10000/125-80-220В" << QVector<int>{200, 250, 300} << 8
                                     << 1 << 54;
        QTest::newRow("ЛМК-3 М") << 49 << "ЛМА-128М-4000/100-50-220В" << QVector<int>{125, 150} << 8 << 2
                                 << 54;
        QTest::newRow("left-out DN 50") << 64 << "ЛМА-111-1600/63-20-220В"
                                        << QVector<int>{15, 20, 25, 32, 40, 65, 80, 100} << 1 << 1 << 54;
        QTest::newRow("left-out DN 50, В") << 72 << "ЛМА-111В-1600/63-20-220В"
                                           << QVector<int>{15, 20, 25, 32, 40, 65, 80, 100} << 1 << 11 << 54;
        QTest::newRow("no gap") << 73 << "ЛМА-111В-2700/63-20-220В" << QVector<int>{32, 40, 50, 65, 80, 100}
                                << 1 << 11 << 54;
        QTest::newRow("last") << 91 << "ЛМА-311-1600/63-20-24В IP67"
                              << QVector<int>{15, 20, 25, 32, 40, 65, 80, 100} << 1 << 1 << 67;
    }

    void catalogueEntries()
    {
        QFETCH(int, index);
        const QVector<ElectricDrive>& drives = ElectricDriveCatalogue::standard().drives();
        QCOMPARE(drives.size(), 92);
        const ElectricDrive& drive = drives.at(index);
        QTEST(drive.m_designation, "designation");
        QTEST(drive.m_dnSet, "dnSet");
        QTEST(drive.m_valveFamily, "valveFamily");
        QTEST(drive.m_controlSignalType, "controlSignal");
        QTEST(drive.m_protectionClass, "protection");
    }

    // Every entry of the fixed list parses cleanly, is unique and fits some DN.
    void catalogueIsConsistent()
    {
        orxtest::MessageCapture capture;
        ElectricDriveCatalogue fresh;
        for (const ElectricDrive& drive : ElectricDriveCatalogue::standard().drives())
            fresh.add(drive.m_designation, drive.m_dnSet);
        QCOMPARE(capture.count(), 0);

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

    void grammarAccepts_data()
    {
        QTest::addColumn<QString>("designation");
        QTest::addColumn<int>("valveFamily");
        QTest::addColumn<int>("controlSignal");
        QTest::addColumn<int>("protection");

        QTest::newRow("plain") << "ЛМА-115-700/63-20-220В" << 5 << 1 << 54;
        QTest::newRow("24 V") << "ЛМА-138-4000/100-50-24В" << 8 << 3 << 54;
        QTest::newRow("letter М keeps the signal") << "ЛМА-221М-1600/63-20-220В" << 1 << 2 << 54;
        QTest::newRow("letter В makes 11") << "ЛМА-118В-2700/100-32-24В" << 8 << 11 << 54;
        QTest::newRow("IP67") << "ЛМА-318-1600/63-20-24В IP67" << 8 << 1 << 67;
        QTest::newRow("explicit IP54") << "ЛМА-315-1600/63-20-220В IP54" << 5 << 1 << 54;
        QTest::newRow("tab before IP") << "ЛМА-311-1600/63-20-220В\tIP67" << 1 << 1 << 67;
        QTest::newRow("drive family 9") << "ЛМА-925-1/2-3-24В" << 5 << 2 << 54;
        QTest::newRow("empty figures") << "ЛМА-111-/--220В" << 1 << 1 << 54;
    }

    void grammarAccepts()
    {
        QFETCH(QString, designation);
        orxtest::MessageCapture capture;
        ElectricDriveCatalogue catalogue;
        catalogue.add(designation, {50, 15, 50});
        QCOMPARE(capture.count(), 0);
        QCOMPARE(catalogue.drives().size(), 1);
        const ElectricDrive& drive = catalogue.drives().first();
        QCOMPARE(drive.m_designation, designation);
        QCOMPARE(drive.m_dnSet, (QVector<int>{15, 50}));
        QTEST(drive.m_valveFamily, "valveFamily");
        QTEST(drive.m_controlSignalType, "controlSignal");
        QTEST(drive.m_protectionClass, "protection");
    }

    void grammarRejects_data()
    {
        QTest::addColumn<QString>("designation");

        QTest::newRow("empty") << QString();
        QTest::newRow("Latin letters") << "LMA-115-700/63-20-220V";
        QTest::newRow("lower case") << "лма-115-700/63-20-220В";
        QTest::newRow("drive family 0") << "ЛМА-015-700/63-20-220В";
        QTest::newRow("control signal 0") << "ЛМА-105-700/63-20-220В";
        QTest::newRow("control signal 4") << "ЛМА-145-700/63-20-220В";
        QTest::newRow("valve family 3") << "ЛМА-113-700/63-20-220В";
        QTest::newRow("four digits") << "ЛМА-1155-700/63-20-220В";
        QTest::newRow("letter Б") << "ЛМА-115Б-700/63-20-220В";
        QTest::newRow("Latin B for В") << "ЛМА-115B-700/63-20-220В";
        QTest::newRow("two letters") << "ЛМА-115ВМ-700/63-20-220В";
        QTest::newRow("letter O in the force") << "ЛМА-115-7O0/63-20-220В";
        QTest::newRow("230 V") << "ЛМА-115-700/63-20-230В";
        QTest::newRow("Latin V") << "ЛМА-115-700/63-20-220V";
        QTest::newRow("IP65") << "ЛМА-115-700/63-20-220В IP65";
        QTest::newRow("IP67 without blank") << "ЛМА-115-700/63-20-220ВIP67";
        QTest::newRow("two blanks") << "ЛМА-115-700/63-20-220В  IP67";
        QTest::newRow("IP67 twice") << "ЛМА-115-700/63-20-220В IP67 IP67";
        QTest::newRow("trailing blank") << "ЛМА-115-700/63-20-220В ";
        QTest::newRow("trailing newline") << "ЛМА-115-700/63-20-220В\n";
        QTest::newRow("leading text") << "Привод ЛМА-115-700/63-20-220В";
        QTest::newRow("lone surrogate") << QStringLiteral("ЛМА-115-700/63-20-220В") + QChar(0xD800);
        QTest::newRow("embedded zero")
            << QStringLiteral("ЛМА-115-700/63-20") + QChar(0) + QStringLiteral("-220В");
        QTest::newRow("long digits") << QStringLiteral("ЛМА-115-") + QString(100000, QLatin1Char('7')) +
                                            QStringLiteral("/63-20-220X");

        // No proper prefix of a valid designation is valid, except where the
        // optional protection class starts.
        const QString full = QStringLiteral("ЛМА-315В-1600/63-20-24В IP67");
        const int withoutProtection = full.indexOf(QLatin1Char(' '));
        for (int length = 1; length < full.size(); ++length) {
            if (length != withoutProtection)
                QTest::addRow("prefix %d", length) << full.left(length);
        }
    }

    // Rejected designations are reported and still enter the catalogue with
    // neutral values, so that no later choice returns them.
    void grammarRejects()
    {
        QFETCH(QString, designation);
        orxtest::MessageCapture capture;
        ElectricDriveCatalogue catalogue;
        catalogue.add(designation, {15, 20});
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().text, kWarningPrefix + designation);
        QCOMPARE(capture.messages().first().level, int(geh::mlWarning));
        QCOMPARE(catalogue.drives().size(), 1);
        const ElectricDrive& drive = catalogue.drives().first();
        QCOMPARE(drive.m_designation, designation);
        QCOMPARE(drive.m_dnSet, (QVector<int>{15, 20}));
        QCOMPARE(drive.m_valveFamily, 0);
        QCOMPARE(drive.m_controlSignalType, 0);
        QCOMPARE(drive.m_protectionClass, 54);
    }

    void letterVRequiresThreePoint_data()
    {
        QTest::addColumn<QString>("designation");
        QTest::addColumn<bool>("reported");

        QTest::newRow("three-point") << "ЛМА-111В-1600/63-20-220В" << false;
        QTest::newRow("signal 2") << "ЛМА-125В-1600/63-20-220В" << true;
        QTest::newRow("signal 3") << "ЛМА-338В-1600/63-20-24В IP67" << true;
        QTest::newRow("letter М with signal 3") << "ЛМА-338М-1600/63-20-24В" << false;
    }

    void letterVRequiresThreePoint()
    {
        QFETCH(QString, designation);
        QFETCH(bool, reported);
        orxtest::MessageCapture capture;
        ElectricDriveCatalogue catalogue;
        catalogue.add(designation, {15});
        const QStringList assertions = capture.assertions();
        QCOMPARE(capture.count(), assertions.size());
        QCOMPARE(assertions.size(), reported ? 1 : 0);
        if (reported) {
            QCOMPARE(capture.messages().first().title, QStringLiteral("Ошибка"));
            QVERIFY(assertions.first().startsWith(QStringLiteral("ASSERT at ")));
            QVERIFY(assertions.first().contains(QStringLiteral(", add(), row ")));
            QVERIFY(assertions.first().endsWith(QStringLiteral("\r\nx.m_controlSignalType == csTriple")));
            // The report lets the entry in as a "В" drive.
            QCOMPARE(catalogue.drives().first().m_controlSignalType, int(csTripleV));
        }
        QCOMPARE(catalogue.drives().size(), 1);
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
        QCOMPARE(
            catalogue.selectDrives(25, common::dtLMK2, csTriple, 54),
            (QStringList{QStringLiteral("ЛМА-115-700/63-20-24В"), QStringLiteral("ЛМА-115-700/63-20-220В")}));
        QCOMPARE(catalogue.selectDrives(20, common::dtLMK2, csTriple, 54),
                 QStringList{QStringLiteral("ЛМА-115-700/63-20-220В")});
        QCOMPARE(catalogue.selectDrives(25, 0, 0, 54), QStringList{QStringLiteral("неверно")});
    }
};

ORX_CORE_TEST_MAIN(TestElectricDrive)
#include "tst_electricdrive.moc"
