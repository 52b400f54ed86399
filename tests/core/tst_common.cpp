#include "gentools/errorhandle.h"
#include "testsupport.h"
#include "vocabulary/common.h"

#include <functional>

using namespace common;

namespace {

using NameFunction = std::function<QString()>;

// Each vocabulary function bound to its arguments.
NameFunction device(int type, bool full = false, const QString& separator = QStringLiteral(" "))
{
    return [=] { return deviceTypeName(DeviceType(type), full, separator); };
}

// The name of one code by a function that takes nothing else.
template <typename Code>
NameFunction named(QString (*function)(Code), int code)
{
    return [=] { return function(Code(code)); };
}

NameFunction description(int type, const QString& separator = QStringLiteral(" "))
{
    return [=] { return docTypeDescription(DocType(type), separator); };
}

NameFunction medium(int type, double concentration)
{
    return [=] { return substanceName(SubstanceType(type), concentration); };
}

NameFunction flow(int measure, bool liquid)
{
    return [=] { return wfMeasureName(WfMeasure(measure), liquid); };
}

NameFunction image(int type, bool small)
{
    return [=] { return deviceSizeImageName(DeviceType(type), small); };
}

} // namespace

Q_DECLARE_METATYPE(NameFunction)

class TestCommon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log")); }
    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    void names_data()
    {
        QTest::addColumn<NameFunction>("name");
        QTest::addColumn<QString>("text");
        const QString lineBreak = QStringLiteral("\n");

        // One row per naming function and per rule inside it; the screens and
        // reports show the rest of the tables.
        QTest::newRow("device, short") << device(dtLMR2P) << QStringLiteral("ЛМР-2-П");
        QTest::newRow("device, full, in guillemets")
            << device(dtLMR1, true) << QStringLiteral("Регулятор давления \u00ABдо себя\u00BB ЛМР-1");
        QTest::newRow("device, full, line break")
            << device(dtLMSHFan, true, lineBreak)
            << QStringLiteral("Шкаф управления\nдля приточной вентиляции");
        QTest::newRow("document, simple") << named(simpleDocTypeName, docKv) << QStringLiteral("Расчёт Kv");
        QTest::newRow("document, description, line breaks")
            << description(docRegulator, lineBreak)
            << QStringLiteral("Регулятор давления\nи перепада давления\nпрямого действия");
        QTest::newRow("substance") << named<SubstanceType>(substanceName, stNitrogen)
                                   << QStringLiteral("азот");
        QTest::newRow("solution, six significant digits")
            << medium(stEthyleneGlycol, 100.0 / 3) << QStringLiteral("этиленгликоля раствор 33.3333%");
        QTest::newRow("water ignores concentration") << medium(stWater, 40) << QStringLiteral("вода");
        QTest::newRow("pressure") << named(pressureMeasureName, pmMWater) << QStringLiteral("м вод. ст.");
        QTest::newRow("flow of a liquid") << flow(wfLmin, true) << QStringLiteral("л/мин.");
        QTest::newRow("volume of a gas is normal") << flow(wfM3h, false) << QStringLiteral("нм\u00B3/ч");
        QTest::newRow("mass of a gas") << flow(wfKgh, false) << QStringLiteral("кг/ч");
        QTest::newRow("heat") << named(heatMeasureName, hmGJH) << QStringLiteral("ГДж/ч");
        QTest::newRow("regulator") << named(regulatorTypeFunctionalName, rtUpstream)
                                   << QStringLiteral("давления \"до себя\"");
        QTest::newRow("loop, combined")
            << named(loopName, lpAll) << QStringLiteral("отопление + ГВС + вентиляция");
        QTest::newRow("loop 99, process") << named(loopName, 99) << QStringLiteral("технологический процесс");
        QTest::newRow("noise") << named(noiseRiskName, nrUpperMedium) << QStringLiteral("выше средней");
        QTest::newRow("install place")
            << named(installPlaceName, ipReturn) << QStringLiteral("обратный трубопровод");
        QTest::newRow("image") << image(dtLMR2P, false) << QStringLiteral(":/icons/lmr2_p.png");
        QTest::newRow("image, small") << image(dtLMK3, true) << QStringLiteral(":/icons/lmk3_small.png");
    }

    // A value of the table is named without any report.
    void names()
    {
        QFETCH(NameFunction, name);
        orxtest::MessageCapture capture;
        QTEST(name(), "text");
        QCOMPARE(capture.count(), 0);
    }

    void fallbacks_data()
    {
        QTest::addColumn<NameFunction>("name");
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("fallback");
        const QString unknown = QStringLiteral("Неизвестно");
        const QString unknownDevice = QStringLiteral("Неизвестный тип оборудования");

        QTest::newRow("device dtEmpty") << device(dtEmpty) << "deviceTypeName" << unknownDevice;
        QTest::newRow("device full 7") << device(7, true) << "deviceTypeName" << unknownDevice;
        QTest::newRow("doc simple 0") << named(simpleDocTypeName, 0) << "simpleDocTypeName" << unknownDevice;
        QTest::newRow("doc description 21") << description(21) << "docTypeDescription" << unknownDevice;
        QTest::newRow("substance 12")
            << named<SubstanceType>(substanceName, 12) << "substanceName" << unknown;
        QTest::newRow("medium 4 with concentration") << medium(4, 40) << "substanceName" << unknown;
        QTest::newRow("pressure 0") << named(pressureMeasureName, 0) << "pressureMeasureName" << unknown;
        QTest::newRow("flow 5 liquid") << flow(5, true) << "wfMeasureName" << unknown;
        QTest::newRow("heat 2") << named(heatMeasureName, 2) << "heatMeasureName" << unknown;
        QTest::newRow("regulator 5") << named(regulatorTypeFunctionalName, 5) << "regulatorTypeFunctionalName"
                                     << unknown;
        QTest::newRow("loop 8") << named(loopName, 8) << "loopName" << unknown;
        QTest::newRow("noise 0") << named(noiseRiskName, 0) << "noiseRiskName" << unknown;
        QTest::newRow("install 3") << named(installPlaceName, 3) << "installPlaceName" << unknown;
        QTest::newRow("image LMR101 has no drawing")
            << image(dtLMR101, true) << "deviceSizeImageName" << QString();
        QTest::newRow("image LMSHStd has no drawing")
            << image(dtLMSHStd, false) << "deviceSizeImageName" << QString();
    }

    // A value outside the table: one assertion report naming the function and
    // "0", then the fallback text.
    void fallbacks()
    {
        QFETCH(NameFunction, name);
        QFETCH(QString, function);
        orxtest::MessageCapture capture;
        QTEST(name(), "fallback");
        QCOMPARE(capture.count(), 1);
        const QString report = capture.messages().first().text;
        QCOMPARE(capture.messages().first().level, 0);
        QVERIFY2(report.contains(QStringLiteral("common.cpp, %1(), row ").arg(function)), qPrintable(report));
        QVERIFY2(report.endsWith(QStringLiteral("\r\n0")), qPrintable(report));
    }

    void isRegulatorWithoutReports()
    {
        orxtest::MessageCapture capture;
        const QList<int> others{dtEmpty, dtLMKP, dtLMK2, dtLMK3, dtLMSHStd, dtLMSHFan, dtLMF, 206};
        for (int type : others)
            QVERIFY2(!isRegulator(DeviceType(type)), qPrintable(QString::number(type)));
        for (int type : {dtLMRD, dtLMR2P, dtLMR1, dtLMR101})
            QVERIFY2(isRegulator(DeviceType(type)), qPrintable(QString::number(type)));
        QCOMPARE(capture.count(), 0);
    }

    // The series drawn in the dimension section; ЛМР-1-01 shows its header alone.
    void dimensionDrawings()
    {
        orxtest::MessageCapture capture;
        for (int type : {dtLMKP, dtLMK2, dtLMK3, dtLMRD, dtLMR2P, dtLMR1})
            QVERIFY2(hasDimensionDrawing(DeviceType(type)), qPrintable(QString::number(type)));
        for (int type : {int(dtEmpty), int(dtLMR101), int(dtLMSHStd), int(dtLMSHFan), int(dtLMF), -1})
            QVERIFY2(!hasDimensionDrawing(DeviceType(type)), qPrintable(QString::number(type)));
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
        QCOMPARE(QList<int>({stWater, stPropyleneGlycol, stEthyleneGlycol, stSuperheatedSteam,
                             stSaturatedSteam, stAir, stNitrogen}),
                 QList<int>({1, 2, 3, 11, 13, 21, 22}));
        QCOMPARE(QList<int>({wfM3h, wfLh, wfLmin, wfLs, wfTh, wfKgh, wfKgs}),
                 QList<int>({1, 2, 3, 4, 10, 20, 21}));
        QCOMPARE(QList<int>({hmGcalH, hmMWH, hmGJH}), QList<int>({1, 20, 30}));
        QCOMPARE(QList<int>({lpHotWaterVentilation, lpProcess}), QList<int>({7, 99}));
        QCOMPARE(QList<int>({BeforeDevice, AfterDevice, Anywhere, pkAbsolute, pkExcess}),
                 QList<int>({0, 1, 2, 1, 2}));
    }
};

ORX_CORE_TEST_MAIN(TestCommon)
#include "tst_common.moc"
