// The vocabulary: one name per naming function and rule, the fallback of each
// function with its report, the device kinds and the numbers stored in files.

#include "gentools/errorhandle.h"
#include "tablerows.h"
#include "testsupport.h"
#include "vocabulary/common.h"

using namespace common;

namespace {

const QString br = QStringLiteral("\n");

// clang-format off
const struct { const char* name; QString (*call)(); const char* text; } kNames[] = {
    {"device, full, in guillemets", [] { return deviceTypeName(dtLMR1, true, QStringLiteral(" ")); }, "Регулятор давления \u00ABдо себя\u00BB ЛМР-1"},
    {"device, full, line break", [] { return deviceTypeName(dtLMSHFan, true, br); }, "Шкаф управления\nдля приточной вентиляции"},
    {"document, description, line breaks", [] { return docTypeDescription(docRegulator, br); }, "Регулятор давления\nи перепада давления\nпрямого действия"},
    {"solution, six significant digits", [] { return substanceName(stEthyleneGlycol, 100.0 / 3); }, "этиленгликоля раствор 33.3333%"},
    {"pressure", [] { return pressureMeasureName(pmMWater); }, "м вод. ст."},
    {"flow of a liquid", [] { return wfMeasureName(wfLmin, true); }, "л/мин."},
    {"volume of a gas is normal", [] { return wfMeasureName(wfM3h, false); }, "нм\u00B3/ч"},
    {"heat", [] { return heatMeasureName(hmGJH); }, "ГДж/ч"},
    {"regulator", [] { return regulatorTypeFunctionalName(rtUpstream); }, "давления \"до себя\""},
    {"loop, combined", [] { return loopName(lpAll); }, "отопление + ГВС + вентиляция"},
    {"noise", [] { return noiseRiskName(nrUpperMedium); }, "выше средней"},
    {"image, small", [] { return deviceSizeImageName(dtLMK3, true); }, ":/icons/lmk3_small.png"},
};

// A value outside the table: one report naming the function, then the fallback.
const struct { const char* name; QString (*call)(); const char* function; const char* fallback; } kFallbacks[] = {
    {"device dtEmpty", [] { return deviceTypeName(dtEmpty, true, br); }, "deviceTypeName", "Неизвестный тип оборудования"},
    {"description 21", [] { return docTypeDescription(DocType(21), br); }, "docTypeDescription", "Неизвестный тип оборудования"},
    {"medium 4 with concentration", [] { return substanceName(SubstanceType(4), 40); }, "substanceName", "Неизвестно"},
    {"pressure 0", [] { return pressureMeasureName(PressureMeasure(0)); }, "pressureMeasureName", "Неизвестно"},
    {"flow 5", [] { return wfMeasureName(WfMeasure(5), true); }, "wfMeasureName", "Неизвестно"},
    {"heat 2", [] { return heatMeasureName(HeatMeasure(2)); }, "heatMeasureName", "Неизвестно"},
    {"loop 8", [] { return loopName(Loop(8)); }, "loopName", "Неизвестно"},
    {"noise 0", [] { return noiseRiskName(NoiseRisk(0)); }, "noiseRiskName", "Неизвестно"},
    {"LMR101 has no drawing", [] { return deviceSizeImageName(dtLMR101, true); }, "deviceSizeImageName", ""},
};
// clang-format on

} // namespace

class TestCommon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log")); }
    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    void names_data() { tableRows(kNames); }
    // A value of the table is named without any report.
    void names()
    {
        ORX_ROW(kNames);
        orxtest::MessageCapture capture;
        QCOMPARE(row.call(), QString::fromUtf8(row.text));
        QCOMPARE(capture.count(), 0);
    }

    void fallbacks_data() { tableRows(kFallbacks); }
    void fallbacks()
    {
        ORX_ROW(kFallbacks);
        orxtest::MessageCapture capture;
        QCOMPARE(row.call(), QString::fromUtf8(row.fallback));
        QCOMPARE(capture.assertions().size(), 1);
        const QString report = capture.assertions().first();
        QVERIFY2(report.contains(QStringLiteral("common.cpp, %1(), row ").arg(QLatin1String(row.function))) &&
                     report.endsWith(QStringLiteral("\r\n0")),
                 qPrintable(report));
    }

    // Regulators, and the series drawn in the dimension section (ЛМР-1-01
    // shows its header alone), without reports.
    void deviceKinds()
    {
        orxtest::MessageCapture capture;
        QString regulators, drawn;
        const int types[] = {dtEmpty, dtLMKP, dtLMK2,   dtLMK3, dtLMSHStd, dtLMSHFan, dtLMRD,
                             dtLMR2P, dtLMR1, dtLMR101, dtLMF,  206,       -1};
        for (int type : types) {
            regulators += QLatin1Char(isRegulator(DeviceType(type)) ? 'r' : '.');
            drawn += QLatin1Char(hasDimensionDrawing(DeviceType(type)) ? 'd' : '.');
        }
        QCOMPARE(regulators, QStringLiteral("......rrrr..."));
        QCOMPARE(drawn, QStringLiteral(".ddd..ddd...."));
        QCOMPARE(capture.count(), 0);
    }

    // The numbers are part of the document file format.
    void storedValues()
    {
        QCOMPARE(QList<int>({dtEmpty, dtLMKP, dtLMK2, dtLMK3, dtLMSHStd, dtLMSHFan, dtLMRD, dtLMR2P, dtLMR1,
                             dtLMR101, dtLMF}),
                 QList<int>({0, 1, 5, 8, 11, 12, 200, 205, 210, 220, 301}));
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
};

ORX_CORE_TEST_MAIN(TestCommon)
#include "tst_common.moc"
