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

        QTest::newRow("device short LMKP") << device(dtLMKP) << QStringLiteral("ЛМК-П");
        QTest::newRow("device short LMK2") << device(dtLMK2) << QStringLiteral("ЛМК-2");
        QTest::newRow("device short LMK3") << device(dtLMK3) << QStringLiteral("ЛМК-3");
        QTest::newRow("device short LMSHStd") << device(dtLMSHStd) << QStringLiteral("ЛМШ для ГВС или ОТП");
        QTest::newRow("device short LMSHFan") << device(dtLMSHFan) << QStringLiteral("ЛМШ для ВЕНТ");
        QTest::newRow("device short LMRD") << device(dtLMRD) << QStringLiteral("ЛМР-Д");
        QTest::newRow("device short LMR2P") << device(dtLMR2P) << QStringLiteral("ЛМР-2-П");
        QTest::newRow("device short LMR1") << device(dtLMR1) << QStringLiteral("ЛМР-1");
        QTest::newRow("device short LMR101") << device(dtLMR101) << QStringLiteral("ЛМР-1-01");
        QTest::newRow("device short LMF") << device(dtLMF) << QStringLiteral("Расходомер");

        QTest::newRow("device full LMKP") << device(dtLMKP, true) << QStringLiteral("Клапан для пара ЛМК-П");
        QTest::newRow("device full LMK2") << device(dtLMK2, true) << QStringLiteral("Клапан седельный ЛМК-2");
        QTest::newRow("device full LMK3")
            << device(dtLMK3, true) << QStringLiteral("Клапан трёхходовой ЛМК-3");
        QTest::newRow("device full LMSHStd")
            << device(dtLMSHStd, true) << QStringLiteral("Шкаф управления для ГВС или ОТП");
        QTest::newRow("device full LMSHFan, line break")
            << device(dtLMSHFan, true, lineBreak)
            << QStringLiteral("Шкаф управления\nдля приточной вентиляции");
        QTest::newRow("device full LMRD")
            << device(dtLMRD, true) << QStringLiteral("Регулятор перепада давления ЛМР-Д");
        QTest::newRow("device full LMR2P keeps ASCII quotes")
            << device(dtLMR2P, true)
            << QStringLiteral("Регулятор давления \"после себя\" прямого действия ЛМР-2-П (для пара)");
        QTest::newRow("device full LMR1 in guillemets")
            << device(dtLMR1, true) << QStringLiteral("Регулятор давления \u00ABдо себя\u00BB ЛМР-1");
        QTest::newRow("device full LMR101 in guillemets")
            << device(dtLMR101, true) << QStringLiteral("Регулятор \u00ABперепуска\u00BB ЛМР-1-01");
        QTest::newRow("device full LMF") << device(dtLMF, true) << QStringLiteral("Расходомер");

        QTest::newRow("doc simple valve") << named(simpleDocTypeName, docValve) << QStringLiteral("Клапан");
        QTest::newRow("doc simple regulator")
            << named(simpleDocTypeName, docRegulator) << QStringLiteral("Регулятор");
        QTest::newRow("doc simple std cabinet")
            << named(simpleDocTypeName, docStdCabinet) << QStringLiteral("ЛМШ для ГВС или ОТП");
        QTest::newRow("doc simple fan cabinet")
            << named(simpleDocTypeName, docFanCabinet) << QStringLiteral("ЛМШ для ВЕНТ");
        QTest::newRow("doc simple flow meter")
            << named(simpleDocTypeName, docFlowMeter) << QStringLiteral("Расходомер");
        QTest::newRow("doc simple Kv") << named(simpleDocTypeName, docKv) << QStringLiteral("Расчёт Kv");

        QTest::newRow("doc description valve")
            << description(docValve) << QStringLiteral("Регулирующий клапан");
        QTest::newRow("doc description regulator, every %1")
            << description(docRegulator)
            << QStringLiteral("Регулятор давления и перепада давления прямого действия");
        QTest::newRow("doc description regulator, line breaks")
            << description(docRegulator, lineBreak)
            << QStringLiteral("Регулятор давления\nи перепада давления\nпрямого действия");
        QTest::newRow("doc description std cabinet")
            << description(docStdCabinet) << QStringLiteral("Шкаф управления для ГВС или ОТП");
        QTest::newRow("doc description fan cabinet")
            << description(docFanCabinet) << QStringLiteral("Шкаф управления для приточной вентиляции");
        QTest::newRow("doc description flow meter")
            << description(docFlowMeter) << QStringLiteral("Расходомер");
        QTest::newRow("doc description Kv") << description(docKv) << QStringLiteral("Расчёт Kv");

        QTest::newRow("substance water")
            << named<SubstanceType>(substanceName, stWater) << QStringLiteral("вода");
        QTest::newRow("substance propylene glycol") << named<SubstanceType>(substanceName, stPropyleneGlycol)
                                                    << QStringLiteral("пропиленгликоля раствор");
        QTest::newRow("substance ethylene glycol") << named<SubstanceType>(substanceName, stEthyleneGlycol)
                                                   << QStringLiteral("этиленгликоля раствор");
        QTest::newRow("substance superheated steam")
            << named<SubstanceType>(substanceName, stSuperheatedSteam) << QStringLiteral("перегретый пар");
        QTest::newRow("substance saturated steam")
            << named<SubstanceType>(substanceName, stSaturatedSteam) << QStringLiteral("насыщенный пар");
        QTest::newRow("substance air")
            << named<SubstanceType>(substanceName, stAir) << QStringLiteral("воздух");
        QTest::newRow("substance nitrogen")
            << named<SubstanceType>(substanceName, stNitrogen) << QStringLiteral("азот");

        QTest::newRow("medium propylene glycol 40")
            << medium(stPropyleneGlycol, 40) << QStringLiteral("пропиленгликоля раствор 40%");
        QTest::newRow("medium ethylene glycol 37.5")
            << medium(stEthyleneGlycol, 37.5) << QStringLiteral("этиленгликоля раствор 37.5%");
        QTest::newRow("medium glycol, six significant digits")
            << medium(stEthyleneGlycol, 100.0 / 3) << QStringLiteral("этиленгликоля раствор 33.3333%");
        QTest::newRow("medium water ignores concentration") << medium(stWater, 40) << QStringLiteral("вода");
        QTest::newRow("medium steam ignores concentration")
            << medium(stSaturatedSteam, 5) << QStringLiteral("насыщенный пар");

        QTest::newRow("pressure bar") << named(pressureMeasureName, pmBar) << QStringLiteral("бар");
        QTest::newRow("pressure atm") << named(pressureMeasureName, pmAtm) << QStringLiteral("атм");
        QTest::newRow("pressure MPa") << named(pressureMeasureName, pmMPa) << QStringLiteral("МПа");
        QTest::newRow("pressure Pa") << named(pressureMeasureName, pmPa) << QStringLiteral("Па");
        QTest::newRow("pressure kPa") << named(pressureMeasureName, pmKPa) << QStringLiteral("кПа");
        QTest::newRow("pressure m of water")
            << named(pressureMeasureName, pmMWater) << QStringLiteral("м вод. ст.");

        QTest::newRow("flow m3/h liquid") << flow(wfM3h, true) << QStringLiteral("м\u00B3/ч");
        QTest::newRow("flow m3/h gas") << flow(wfM3h, false) << QStringLiteral("нм\u00B3/ч");
        QTest::newRow("flow l/h liquid") << flow(wfLh, true) << QStringLiteral("л/ч");
        QTest::newRow("flow l/h gas") << flow(wfLh, false) << QStringLiteral("нл/ч");
        QTest::newRow("flow l/min liquid") << flow(wfLmin, true) << QStringLiteral("л/мин.");
        QTest::newRow("flow l/min gas") << flow(wfLmin, false) << QStringLiteral("нл/мин.");
        QTest::newRow("flow l/s liquid") << flow(wfLs, true) << QStringLiteral("л/с");
        QTest::newRow("flow l/s gas") << flow(wfLs, false) << QStringLiteral("нл/с");
        QTest::newRow("flow t/h liquid") << flow(wfTh, true) << QStringLiteral("т/ч");
        QTest::newRow("flow t/h gas") << flow(wfTh, false) << QStringLiteral("т/ч");
        QTest::newRow("flow kg/h gas") << flow(wfKgh, false) << QStringLiteral("кг/ч");
        QTest::newRow("flow kg/s liquid") << flow(wfKgs, true) << QStringLiteral("кг/с");

        QTest::newRow("heat Gcal/h") << named(heatMeasureName, hmGcalH) << QStringLiteral("ГКал/ч");
        QTest::newRow("heat MW/h") << named(heatMeasureName, hmMWH) << QStringLiteral("МВт/ч");
        QTest::newRow("heat GJ/h") << named(heatMeasureName, hmGJH) << QStringLiteral("ГДж/ч");

        QTest::newRow("regulator diff pressure")
            << named(regulatorTypeFunctionalName, rtDiffPressure) << QStringLiteral("перепада давления");
        QTest::newRow("regulator upstream")
            << named(regulatorTypeFunctionalName, rtUpstream) << QStringLiteral("давления \"до себя\"");
        QTest::newRow("regulator downstream")
            << named(regulatorTypeFunctionalName, rtDownstream) << QStringLiteral("давления \"после себя\"");
        QTest::newRow("regulator bypass")
            << named(regulatorTypeFunctionalName, rtBypass) << QStringLiteral("\"перепуска\"");

        QTest::newRow("loop heating") << named(loopName, lpHeating) << QStringLiteral("отопление");
        QTest::newRow("loop hot water") << named(loopName, lpHotWater) << QStringLiteral("ГВС");
        QTest::newRow("loop ventilation") << named(loopName, lpVentilation) << QStringLiteral("вентиляция");
        QTest::newRow("loop heating + hot water")
            << named(loopName, lpHeatingHotWater) << QStringLiteral("отопление + ГВС");
        QTest::newRow("loop heating + ventilation")
            << named(loopName, lpHeatingVentilation) << QStringLiteral("отопление + вентиляция");
        QTest::newRow("loop all") << named(loopName, lpAll) << QStringLiteral("отопление + ГВС + вентиляция");
        QTest::newRow("loop hot water + ventilation")
            << named(loopName, lpHotWaterVentilation) << QStringLiteral("ГВС + вентиляция");
        QTest::newRow("loop 99 process") << named(loopName, 99) << QStringLiteral("технологический процесс");

        QTest::newRow("noise low") << named(noiseRiskName, nrLow) << QStringLiteral("низкая");
        QTest::newRow("noise lower medium")
            << named(noiseRiskName, nrLowerMedium) << QStringLiteral("ниже средней");
        QTest::newRow("noise medium") << named(noiseRiskName, nrMedium) << QStringLiteral("средняя");
        QTest::newRow("noise upper medium")
            << named(noiseRiskName, nrUpperMedium) << QStringLiteral("выше средней");
        QTest::newRow("noise high") << named(noiseRiskName, nrHigh) << QStringLiteral("высокая");

        QTest::newRow("install supply")
            << named(installPlaceName, ipSupply) << QStringLiteral("подающий трубопровод");
        QTest::newRow("install return")
            << named(installPlaceName, ipReturn) << QStringLiteral("обратный трубопровод");

        QTest::newRow("image LMKP") << image(dtLMKP, false) << QStringLiteral(":/icons/lmkp.png");
        QTest::newRow("image LMK2 small") << image(dtLMK2, true) << QStringLiteral(":/icons/lmk2_small.png");
        QTest::newRow("image LMK3 small") << image(dtLMK3, true) << QStringLiteral(":/icons/lmk3_small.png");
        QTest::newRow("image LMRD") << image(dtLMRD, false) << QStringLiteral(":/icons/lmrd.png");
        QTest::newRow("image LMR2P") << image(dtLMR2P, false) << QStringLiteral(":/icons/lmr2_p.png");
        QTest::newRow("image LMR1 small") << image(dtLMR1, true) << QStringLiteral(":/icons/lmr1_small.png");
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
