// The vocabulary (names, fallbacks with their report, device kinds, the numbers
// stored in files) and the small stores: reference codes and settings.

#include "gentools/emptyrefcodeprovider.h"
#include "settings/smartsettings.h"
#include "testsupport.h"
#include "vocabulary/common.h"
#include "vocabulary/flowmeter.h"

using namespace common;
using orxtest::FakeRefCodes;

namespace {

const QString br = QStringLiteral("\n");

// One name per function, without a report; a value outside the table: one report
// naming the file and function, then the fallback.
// clang-format off
const struct { const char* name; QString (*call)(); const char* reported; const char* text; } kNames[] = {
    {"device, full, in guillemets", [] { return deviceTypeName(dtLMR1, true, QStringLiteral(" ")); }, "", "Регулятор давления \u00ABдо себя\u00BB ЛМР-1"},
    {"device, full, line break", [] { return deviceTypeName(dtLMSHFan, true, br); }, "", "Шкаф управления\nдля приточной вентиляции"},
    {"document, description, line breaks", [] { return docTypeDescription(docRegulator, br); }, "", "Регулятор давления\nи перепада давления\nпрямого действия"},
    {"solution, six significant digits", [] { return substanceName(stEthyleneGlycol, 100.0 / 3); }, "", "этиленгликоля раствор 33.3333%"},
    {"pressure", [] { return pressureMeasureName(pmMWater); }, "", "м вод. ст."},
    {"flow of a liquid", [] { return wfMeasureName(wfLmin, true); }, "", "л/мин."},
    {"volume of a gas is normal", [] { return wfMeasureName(wfM3h, false); }, "", "нм\u00B3/ч"},
    {"heat", [] { return heatMeasureName(hmGJH); }, "", "ГДж/ч"},
    {"regulator", [] { return regulatorTypeFunctionalName(rtUpstream); }, "", "давления \"до себя\""},
    {"loop, combined", [] { return loopName(lpAll); }, "", "отопление + ГВС + вентиляция"},
    {"noise", [] { return noiseRiskName(nrUpperMedium); }, "", "выше средней"},
    {"image, small", [] { return deviceSizeImageName(dtLMK3, true); }, "", ":/icons/lmk3_small.png"},
    {"common.cpp fallbacks", [] { return QStringList{deviceTypeName(dtEmpty, true, br), docTypeDescription(DocType(21), br), substanceName(SubstanceType(4), 40), pressureMeasureName(PressureMeasure(0)), wfMeasureName(WfMeasure(5), true), heatMeasureName(HeatMeasure(2)), loopName(Loop(8)), noiseRiskName(NoiseRisk(0)), deviceSizeImageName(dtLMR101, true)}.join(QLatin1Char('|')); }, "common.cpp deviceTypeName docTypeDescription substanceName pressureMeasureName wfMeasureName heatMeasureName loopName noiseRiskName deviceSizeImageName", "Неизвестный тип оборудования|Неизвестный тип оборудования|Неизвестно|Неизвестно|Неизвестно|Неизвестно|Неизвестно|Неизвестно|"},
    {"flowmeter.cpp fallbacks", [] { return QStringList{lmfTypeName(3333), lmfFormName(3333, true), electrodeMaterialName(3333, true), interfaceName(3333, true), lmfMOutputPulseWeightName(3333), lmfDnName(vdnEmpty)}.join(QLatin1Char('|')); }, "flowmeter.cpp lmfTypeName lmfFormName electrodeMaterialName interfaceName lmfMOutputPulseWeightName lmfDnName", "Неизвестно|Неизвестно|Неизвестно|Неизвестно|Неизвестно|Неизвестно"},
};
// clang-format on

// Mode: the listing order (asked twice: loaded once), -1 to find the name (inserted when unknown and not
// blank), -2 to insert and modify it. Expected: the codes (a found code with its name), the provider's loads
// and inserts, the functions reported.
// clang-format off
const struct { const char* name; bool fake; qint16 type; int mode; const char* text, *expected; } kLookups[] = {
    {"ordered type by sort number, with -1", true, FakeRefCodes::listed, 0, "", "-1 3 9 5|1 0|"},
    {"by name, case ignored", true, FakeRefCodes::listed, 1, "", "-1 5 9 3|1 0|"},
    {"alphabetical type by name", true, FakeRefCodes::alphabetical, 0, "", "5 9 3|1 0|"},
    {"alphabetical type by order", true, FakeRefCodes::alphabetical, 2, "", "3 9 5|1 0|"},
    {"name with outer blanks, other case", true, FakeRefCodes::alphabetical, -1, "  бЕТА \t ", "9 Бета|1 0|"},
    {"unknown name, inserted simplified", true, FakeRefCodes::alphabetical, -1, " новая   среда ", "42 новая среда|2 1|"},
    {"blank name, not inserted", true, FakeRefCodes::alphabetical, -1, "   ", "0 |1 0|"},
    {"the program's empty provider: nothing, loading reported once", false, FakeRefCodes::listed, 1, "", "||loadCodes"},
    {"the program's empty provider: every change reported", false, FakeRefCodes::listed, -2, "новое", "0 0||insertCode modifyCode"},
};
// clang-format on

} // namespace

class TestCommon : public QObject
{
    Q_OBJECT

    const QString m_file = QStringLiteral("tst_smartsettings.ini");
    const QString m_path = QCoreApplication::applicationDirPath() + QStringLiteral("/settings/") + m_file;

    static QString value(int scope, const char* key)
    {
        return SmartSettings(scope).value(QLatin1String(key), QStringLiteral("d")).toString();
    }
    void reset()
    {
        SmartSettings::setFileName(QString());
        SmartSettings::data(SmartSettings::Global)->clear();
        QFile::remove(m_path);
        QFile::remove(m_path + QStringLiteral(".default"));
    }

private slots:
    void initTestCase()
    {
        geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log"));
        reset();
    }
    void cleanupTestCase()
    {
        reset();
        QDir().rmdir(QFileInfo(m_path).path()); // only when nothing else lives there
        geh::ErrorHandler::destroyInstance();
    }
    void cleanup() { refcodes::setProvider(new EmptyRefCodeProvider); }

    void names_data() { tableRows(kNames); }
    void names()
    {
        ORX_ROW(kNames);
        orxtest::MessageCapture capture;
        const QString text = row.call();
        // Each report names its file and function, and the condition that failed.
        QStringList reported;
        const QRegularExpression place(QStringLiteral("/(\\w+\\.cpp), (\\w+)\\(\\), row \\d+\r\n0$"));
        for (const QString& report : capture.assertions()) {
            const QRegularExpressionMatch match = place.match(report);
            reported << (reported.isEmpty() ? match.captured(1) + QLatin1Char(' ') : QString()) +
                            match.captured(2);
        }
        QCOMPARE(text + QLatin1Char('#') + reported.join(QLatin1Char(' ')),
                 QString::fromUtf8(row.text) + QLatin1Char('#') + QString::fromUtf8(row.reported));
    }

    // The numbers are part of the document file format. Regulators (r), and the series drawn in the
    // dimension section (d; ЛМР-1-01 shows its header alone), without reports.
    void storedValuesAndDeviceKinds()
    {
        orxtest::MessageCapture capture;
        QString devices;
        for (int type : {int(dtEmpty), int(dtLMKP), int(dtLMK2), int(dtLMK3), int(dtLMSHStd), int(dtLMSHFan),
                         int(dtLMRD), int(dtLMR2P), int(dtLMR1), int(dtLMR101), int(dtLMF), 206, -1})
            devices += QString::number(type) + QLatin1String(isRegulator(DeviceType(type)) ? "r" : "") +
                       QLatin1String(hasDimensionDrawing(DeviceType(type)) ? "d " : " ");
        QCOMPARE(devices + QString::number(capture.count()),
                 QStringLiteral("0 1d 5d 8d 11 12 200rd 205rd 210rd 220r 301 206 -1 0"));
        QCOMPARE(QList<int>({docValve, docRegulator, docStdCabinet, docFanCabinet, docFlowMeter, docKv}),
                 QList<int>({20, 30, 100, 105, 200, 500}));
        QCOMPARE(
            QList<int>({stWater, stPropyleneGlycol, stEthyleneGlycol, stSuperheatedSteam, stSaturatedSteam,
                        stAir, stNitrogen, wfM3h, wfLh, wfLmin, wfLs, wfTh, wfKgh, wfKgs}),
            QList<int>({1, 2, 3, 11, 13, 21, 22, 1, 2, 3, 4, 10, 20, 21}));
        QCOMPARE(QList<int>({hmGcalH, hmMWH, hmGJH, lpHotWaterVentilation, lpProcess, BeforeDevice,
                             AfterDevice, Anywhere, pkAbsolute, pkExcess}),
                 QList<int>({1, 20, 30, 7, 99, 0, 1, 2, 1, 2}));
    }

    void lookups_data() { tableRows(kLookups); }
    void lookups()
    {
        ORX_ROW(kLookups);
        auto* provider = row.fake ? new FakeRefCodes : nullptr;
        refcodes::setProvider(provider ? static_cast<RefCodeProvider*>(provider) : new EmptyRefCodeProvider);
        orxtest::MessageCapture capture;
        const QString name = QString::fromUtf8(row.text);
        QStringList found;
        if (row.mode >= 0) {
            refcodes::codes(row.type, row.mode, true);
            for (RefCode code : refcodes::codes(row.type, row.mode, true))
                found << QString::number(code);
        } else if (row.mode == -1) {
            const RefCode code = refcodes::codeByName(row.type, name, true, Qt::CaseInsensitive);
            found << QString::number(code) << refcodes::codeName(code, row.type);
        } else {
            found << QString::number(refcodes::insertName(row.type, name))
                  << QString::number(refcodes::modifyName(row.type, 1, name, true));
        }
        QStringList reported;
        for (const QString& report : capture.assertions())
            reported << report.section(QStringLiteral("(), row"), 0, 0).section(QLatin1Char(' '), -1);
        const QString counts =
            provider ? QStringLiteral("%1 %2").arg(provider->loads).arg(provider->inserts) : QString();
        QCOMPARE(found.join(QLatin1Char(' ')) + QLatin1Char('|') + counts + QLatin1Char('|') +
                     reported.join(QLatin1Char(' ')),
                 QString::fromUtf8(row.expected));
    }

    // The user's settings live in the native store; Local without a file of its own and an unknown
    // scope use it after a report. The program's own file is seeded once from its template, read
    // before the Global store and kept in Windows-1251.
    void settings()
    {
        orxtest::MessageCapture capture;
        const QString folder = QStringLiteral("/home/инженер/Документы/Клапаны");
        SmartSettings(SmartSettings::Global).setValue(QStringLiteral("Common/Directory"), folder);
        SmartSettings().renameKey(QStringLiteral("Common/Directory"), QStringLiteral("Common/Folder"));
        SmartSettings().renameKey(QStringLiteral("Missing/key"), QStringLiteral("Other/key"));
        SmartSettings::data(SmartSettings::Global)->sync();
        QCOMPARE(QSettings().allKeys().join(QLatin1Char(',')) +
                     QSettings().value(QStringLiteral("Common/Folder")).toString(),
                 QStringLiteral("Common/Folder") + folder);
        for (int scope : {int(SmartSettings::Local), 3})
            SmartSettings(scope).setValue(QStringLiteral("A/%1").arg(scope), value(scope, "Common/Folder"));
        QCOMPARE(value(SmartSettings::Global, "A/1") + value(SmartSettings::Global, "A/3"), folder + folder);
        QCOMPARE(capture.conditions().join(QLatin1Char('|')), QStringLiteral("0|0|v == Global|v == Global"));

        QDir().mkpath(QFileInfo(m_path).path());
        const QByteArray seed = "[Local]\nseeded=from template\nshared=local\n";
        QVERIFY(orxtest::writeFile(m_path + QStringLiteral(".default"), seed));
        SmartSettings::setFileName(m_file);
        QCOMPARE(SmartSettings::iniFileName(), m_path);
        QVERIFY(orxtest::writeFile(m_path + QStringLiteral(".default"), "[Local]\nseeded=again\n"));
        SmartSettings::iniFileName();
        QCOMPARE(orxtest::readFile(m_path), seed);
        SmartSettings().setValue(QStringLiteral("Local/shared"), QStringLiteral("g"));
        QCOMPARE(value(SmartSettings::Local, "Local/seeded") + value(SmartSettings::Local, "Local/shared") +
                     value(SmartSettings::Local, "A/1") + value(SmartSettings::Global, "Local/seeded"),
                 QStringLiteral("from templatelocal") + folder + QStringLiteral("d"));
        SmartSettings(SmartSettings::Local).setValue(QStringLiteral("Doc/title"), QStringLiteral("Клапан"));
        SmartSettings::data(SmartSettings::Local)->sync();
        QVERIFY(orxtest::readFile(m_path).contains("title=\xCA\xEB\xE0\xEF\xE0\xED"));
        QCOMPARE(capture.count(), 4);
    }
};

ORX_CORE_TEST_MAIN(TestCommon)
#include "tst_common.moc"
