#include "gentools/errorhandle.h"
#include "testsupport.h"
#include "vocabulary/common.h"

#include <functional>

using namespace common;

namespace {

using NameFunction = std::function<QString()>;

} // namespace

Q_DECLARE_METATYPE(NameFunction)

class TestCommon : public QObject
{
    Q_OBJECT

    static void addRow(const char* name, NameFunction f, const QString& text)
    {
        QTest::newRow(name) << f << text;
    }

private slots:
    void initTestCase() { geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log")); }
    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    void names_data()
    {
        QTest::addColumn<NameFunction>("name");
        QTest::addColumn<QString>("text");
        const QString sp = QStringLiteral(" ");

        addRow(
            "device short LMKP", [] { return deviceTypeName(dtLMKP); }, QStringLiteral("ЛМК-П"));
        addRow(
            "device short LMK2", [] { return deviceTypeName(dtLMK2); }, QStringLiteral("ЛМК-2"));
        addRow(
            "device short LMK3", [] { return deviceTypeName(dtLMK3); }, QStringLiteral("ЛМК-3"));
        addRow(
            "device short LMSHStd", [] { return deviceTypeName(dtLMSHStd); },
            QStringLiteral("ЛМШ для ГВС или ОТП"));
        addRow(
            "device short LMSHFan", [] { return deviceTypeName(dtLMSHFan); }, QStringLiteral("ЛМШ для ВЕНТ"));
        addRow(
            "device short LMRD", [] { return deviceTypeName(dtLMRD); }, QStringLiteral("ЛМР-Д"));
        addRow(
            "device short LMR2P", [] { return deviceTypeName(dtLMR2P); }, QStringLiteral("ЛМР-2-П"));
        addRow(
            "device short LMR1", [] { return deviceTypeName(dtLMR1, false, QStringLiteral(" ")); },
            QStringLiteral("ЛМР-1"));
        addRow(
            "device short LMR101", [] { return deviceTypeName(dtLMR101); }, QStringLiteral("ЛМР-1-01"));
        addRow(
            "device short LMF", [] { return deviceTypeName(dtLMF); }, QStringLiteral("Расходомер"));

        addRow(
            "device full LMKP", [sp] { return deviceTypeName(dtLMKP, true, sp); },
            QStringLiteral("Клапан для пара ЛМК-П"));
        addRow(
            "device full LMK2", [sp] { return deviceTypeName(dtLMK2, true, sp); },
            QStringLiteral("Клапан седельный ЛМК-2"));
        addRow(
            "device full LMK3", [sp] { return deviceTypeName(dtLMK3, true, sp); },
            QStringLiteral("Клапан трёхходовой ЛМК-3"));
        addRow(
            "device full LMSHStd", [sp] { return deviceTypeName(dtLMSHStd, true, sp); },
            QStringLiteral("Шкаф управления для ГВС или ОТП"));
        addRow(
            "device full LMSHFan, line break",
            [] { return deviceTypeName(dtLMSHFan, true, QStringLiteral("\n")); },
            QStringLiteral("Шкаф управления\nдля приточной вентиляции"));
        addRow(
            "device full LMRD", [sp] { return deviceTypeName(dtLMRD, true, sp); },
            QStringLiteral("Регулятор перепада давления ЛМР-Д"));
        addRow(
            "device full LMR2P keeps ASCII quotes", [sp] { return deviceTypeName(dtLMR2P, true, sp); },
            QStringLiteral("Регулятор давления \"после себя\" прямого действия ЛМР-2-П (для пара)"));
        addRow(
            "device full LMR1 in guillemets", [sp] { return deviceTypeName(dtLMR1, true, sp); },
            QStringLiteral("Регулятор давления \u00ABдо себя\u00BB ЛМР-1"));
        addRow(
            "device full LMR101 in guillemets", [sp] { return deviceTypeName(dtLMR101, true, sp); },
            QStringLiteral("Регулятор \u00ABперепуска\u00BB ЛМР-1-01"));
        addRow(
            "device full LMF", [sp] { return deviceTypeName(dtLMF, true, sp); },
            QStringLiteral("Расходомер"));

        addRow(
            "doc simple valve", [] { return simpleDocTypeName(docValve); }, QStringLiteral("Клапан"));
        addRow(
            "doc simple regulator", [] { return simpleDocTypeName(docRegulator); },
            QStringLiteral("Регулятор"));
        addRow(
            "doc simple std cabinet", [] { return simpleDocTypeName(docStdCabinet); },
            QStringLiteral("ЛМШ для ГВС или ОТП"));
        addRow(
            "doc simple fan cabinet", [] { return simpleDocTypeName(docFanCabinet); },
            QStringLiteral("ЛМШ для ВЕНТ"));
        addRow(
            "doc simple flow meter", [] { return simpleDocTypeName(docFlowMeter); },
            QStringLiteral("Расходомер"));
        addRow(
            "doc simple Kv", [] { return simpleDocTypeName(docKv); }, QStringLiteral("Расчёт Kv"));

        addRow(
            "doc description valve", [sp] { return docTypeDescription(docValve, sp); },
            QStringLiteral("Регулирующий клапан"));
        addRow(
            "doc description regulator, every %1", [sp] { return docTypeDescription(docRegulator, sp); },
            QStringLiteral("Регулятор давления и перепада давления прямого действия"));
        addRow(
            "doc description regulator, line breaks",
            [] { return docTypeDescription(docRegulator, QStringLiteral("\n")); },
            QStringLiteral("Регулятор давления\nи перепада давления\nпрямого действия"));
        addRow(
            "doc description std cabinet", [sp] { return docTypeDescription(docStdCabinet, sp); },
            QStringLiteral("Шкаф управления для ГВС или ОТП"));
        addRow(
            "doc description fan cabinet", [sp] { return docTypeDescription(docFanCabinet, sp); },
            QStringLiteral("Шкаф управления для приточной вентиляции"));
        addRow(
            "doc description flow meter", [sp] { return docTypeDescription(docFlowMeter, sp); },
            QStringLiteral("Расходомер"));
        addRow(
            "doc description Kv", [sp] { return docTypeDescription(docKv, sp); },
            QStringLiteral("Расчёт Kv"));

        addRow(
            "substance water", [] { return substanceName(stWater); }, QStringLiteral("вода"));
        addRow(
            "substance propylene glycol", [] { return substanceName(stPropyleneGlycol); },
            QStringLiteral("пропиленгликоля раствор"));
        addRow(
            "substance ethylene glycol", [] { return substanceName(stEthyleneGlycol); },
            QStringLiteral("этиленгликоля раствор"));
        addRow(
            "substance superheated steam", [] { return substanceName(stSuperheatedSteam); },
            QStringLiteral("перегретый пар"));
        addRow(
            "substance saturated steam", [] { return substanceName(stSaturatedSteam); },
            QStringLiteral("насыщенный пар"));
        addRow(
            "substance air", [] { return substanceName(stAir); }, QStringLiteral("воздух"));
        addRow(
            "substance nitrogen", [] { return substanceName(stNitrogen); }, QStringLiteral("азот"));

        addRow(
            "medium propylene glycol 40", [] { return substanceName(stPropyleneGlycol, 40); },
            QStringLiteral("пропиленгликоля раствор 40%"));
        addRow(
            "medium ethylene glycol 37.5", [] { return substanceName(stEthyleneGlycol, 37.5); },
            QStringLiteral("этиленгликоля раствор 37.5%"));
        addRow(
            "medium glycol, six significant digits",
            [] { return substanceName(stEthyleneGlycol, 100.0 / 3); },
            QStringLiteral("этиленгликоля раствор 33.3333%"));
        addRow(
            "medium water ignores concentration", [] { return substanceName(stWater, 40); },
            QStringLiteral("вода"));
        addRow(
            "medium steam ignores concentration", [] { return substanceName(stSaturatedSteam, 5); },
            QStringLiteral("насыщенный пар"));

        addRow(
            "pressure bar", [] { return pressureMeasureName(pmBar); }, QStringLiteral("бар"));
        addRow(
            "pressure atm", [] { return pressureMeasureName(pmAtm); }, QStringLiteral("атм"));
        addRow(
            "pressure MPa", [] { return pressureMeasureName(pmMPa); }, QStringLiteral("МПа"));
        addRow(
            "pressure Pa", [] { return pressureMeasureName(pmPa); }, QStringLiteral("Па"));
        addRow(
            "pressure kPa", [] { return pressureMeasureName(pmKPa); }, QStringLiteral("кПа"));
        addRow(
            "pressure m of water", [] { return pressureMeasureName(pmMWater); },
            QStringLiteral("м вод. ст."));

        addRow(
            "flow m3/h liquid", [] { return wfMeasureName(wfM3h, true); }, QStringLiteral("м\u00B3/ч"));
        addRow(
            "flow m3/h gas", [] { return wfMeasureName(wfM3h, false); }, QStringLiteral("нм\u00B3/ч"));
        addRow(
            "flow l/h liquid", [] { return wfMeasureName(wfLh, true); }, QStringLiteral("л/ч"));
        addRow(
            "flow l/h gas", [] { return wfMeasureName(wfLh, false); }, QStringLiteral("нл/ч"));
        addRow(
            "flow l/min liquid", [] { return wfMeasureName(wfLmin, true); }, QStringLiteral("л/мин."));
        addRow(
            "flow l/min gas", [] { return wfMeasureName(wfLmin, false); }, QStringLiteral("нл/мин."));
        addRow(
            "flow l/s liquid", [] { return wfMeasureName(wfLs, true); }, QStringLiteral("л/с"));
        addRow(
            "flow l/s gas", [] { return wfMeasureName(wfLs, false); }, QStringLiteral("нл/с"));
        addRow(
            "flow t/h liquid", [] { return wfMeasureName(wfTh, true); }, QStringLiteral("т/ч"));
        addRow(
            "flow t/h gas", [] { return wfMeasureName(wfTh, false); }, QStringLiteral("т/ч"));
        addRow(
            "flow kg/h gas", [] { return wfMeasureName(wfKgh, false); }, QStringLiteral("кг/ч"));
        addRow(
            "flow kg/s liquid", [] { return wfMeasureName(wfKgs, true); }, QStringLiteral("кг/с"));

        addRow(
            "heat Gcal/h", [] { return heatMeasureName(hmGcalH); }, QStringLiteral("ГКал/ч"));
        addRow(
            "heat MW/h", [] { return heatMeasureName(hmMWH); }, QStringLiteral("МВт/ч"));
        addRow(
            "heat GJ/h", [] { return heatMeasureName(hmGJH); }, QStringLiteral("ГДж/ч"));

        addRow(
            "regulator diff pressure", [] { return regulatorTypeFunctionalName(rtDiffPressure); },
            QStringLiteral("перепада давления"));
        addRow(
            "regulator upstream", [] { return regulatorTypeFunctionalName(rtUpstream); },
            QStringLiteral("давления \"до себя\""));
        addRow(
            "regulator downstream", [] { return regulatorTypeFunctionalName(rtDownstream); },
            QStringLiteral("давления \"после себя\""));
        addRow(
            "regulator bypass", [] { return regulatorTypeFunctionalName(rtBypass); },
            QStringLiteral("\"перепуска\""));

        addRow(
            "loop heating", [] { return loopName(lpHeating); }, QStringLiteral("отопление"));
        addRow(
            "loop hot water", [] { return loopName(lpHotWater); }, QStringLiteral("ГВС"));
        addRow(
            "loop ventilation", [] { return loopName(lpVentilation); }, QStringLiteral("вентиляция"));
        addRow(
            "loop heating + hot water", [] { return loopName(lpHeatingHotWater); },
            QStringLiteral("отопление + ГВС"));
        addRow(
            "loop heating + ventilation", [] { return loopName(lpHeatingVentilation); },
            QStringLiteral("отопление + вентиляция"));
        addRow(
            "loop all", [] { return loopName(lpAll); }, QStringLiteral("отопление + ГВС + вентиляция"));
        addRow(
            "loop hot water + ventilation", [] { return loopName(lpHotWaterVentilation); },
            QStringLiteral("ГВС + вентиляция"));
        addRow(
            "loop 99 process", [] { return loopName(Loop(99)); }, QStringLiteral("технологический процесс"));

        addRow(
            "noise low", [] { return noiseRiskName(nrLow); }, QStringLiteral("низкая"));
        addRow(
            "noise lower medium", [] { return noiseRiskName(nrLowerMedium); },
            QStringLiteral("ниже средней"));
        addRow(
            "noise medium", [] { return noiseRiskName(nrMedium); }, QStringLiteral("средняя"));
        addRow(
            "noise upper medium", [] { return noiseRiskName(nrUpperMedium); },
            QStringLiteral("выше средней"));
        addRow(
            "noise high", [] { return noiseRiskName(nrHigh); }, QStringLiteral("высокая"));

        addRow(
            "install supply", [] { return installPlaceName(ipSupply); },
            QStringLiteral("подающий трубопровод"));
        addRow(
            "install return", [] { return installPlaceName(ipReturn); },
            QStringLiteral("обратный трубопровод"));

        addRow(
            "image LMKP", [] { return deviceSizeImageName(dtLMKP, false); },
            QStringLiteral(":/icons/lmkp.png"));
        addRow(
            "image LMK2 small", [] { return deviceSizeImageName(dtLMK2, true); },
            QStringLiteral(":/icons/lmk2_small.png"));
        addRow(
            "image LMK3 small", [] { return deviceSizeImageName(dtLMK3, true); },
            QStringLiteral(":/icons/lmk3_small.png"));
        addRow(
            "image LMRD", [] { return deviceSizeImageName(dtLMRD, false); },
            QStringLiteral(":/icons/lmrd.png"));
        addRow(
            "image LMR2P", [] { return deviceSizeImageName(dtLMR2P, false); },
            QStringLiteral(":/icons/lmr2_p.png"));
        addRow(
            "image LMR1 small", [] { return deviceSizeImageName(dtLMR1, true); },
            QStringLiteral(":/icons/lmr1_small.png"));
    }

    // A value of the table is named without any report.
    void names()
    {
        QFETCH(NameFunction, name);
        QFETCH(QString, text);
        orxtest::MessageCapture capture;
        QCOMPARE(name(), text);
        QCOMPARE(capture.count(), 0);
    }

    void fallbacks_data()
    {
        QTest::addColumn<NameFunction>("name");
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("fallback");
        const QString unknown = QStringLiteral("Неизвестно");
        const QString unknownDevice = QStringLiteral("Неизвестный тип оборудования");

        QTest::newRow("device dtEmpty") << NameFunction([] { return deviceTypeName(dtEmpty); })
                                        << QStringLiteral("deviceTypeName") << unknownDevice;
        QTest::newRow("device full 7") << NameFunction([] { return deviceTypeName(DeviceType(7), true); })
                                       << QStringLiteral("deviceTypeName") << unknownDevice;
        QTest::newRow("doc simple 0") << NameFunction([] { return simpleDocTypeName(DocType(0)); })
                                      << QStringLiteral("simpleDocTypeName") << unknownDevice;
        QTest::newRow("doc description 21") << NameFunction([] { return docTypeDescription(DocType(21)); })
                                            << QStringLiteral("docTypeDescription") << unknownDevice;
        QTest::newRow("substance 12") << NameFunction([] { return substanceName(SubstanceType(12)); })
                                      << QStringLiteral("substanceName") << unknown;
        QTest::newRow("medium 4 with concentration")
            << NameFunction([] { return substanceName(SubstanceType(4), 40); })
            << QStringLiteral("substanceName") << unknown;
        QTest::newRow("pressure 0") << NameFunction([] { return pressureMeasureName(PressureMeasure(0)); })
                                    << QStringLiteral("pressureMeasureName") << unknown;
        QTest::newRow("flow 5 liquid") << NameFunction([] { return wfMeasureName(WfMeasure(5), true); })
                                       << QStringLiteral("wfMeasureName") << unknown;
        QTest::newRow("heat 2") << NameFunction([] { return heatMeasureName(HeatMeasure(2)); })
                                << QStringLiteral("heatMeasureName") << unknown;
        QTest::newRow("regulator 5") << NameFunction(
                                            [] { return regulatorTypeFunctionalName(RegulatorType(5)); })
                                     << QStringLiteral("regulatorTypeFunctionalName") << unknown;
        QTest::newRow("loop 8") << NameFunction([] { return loopName(Loop(8)); })
                                << QStringLiteral("loopName") << unknown;
        QTest::newRow("noise 0") << NameFunction([] { return noiseRiskName(NoiseRisk(0)); })
                                 << QStringLiteral("noiseRiskName") << unknown;
        QTest::newRow("install 3") << NameFunction([] { return installPlaceName(InstallPlace(3)); })
                                   << QStringLiteral("installPlaceName") << unknown;
        QTest::newRow("image LMR101 has no drawing")
            << NameFunction([] { return deviceSizeImageName(dtLMR101, true); })
            << QStringLiteral("deviceSizeImageName") << QString();
        QTest::newRow("image LMSHStd has no drawing")
            << NameFunction([] { return deviceSizeImageName(dtLMSHStd, false); })
            << QStringLiteral("deviceSizeImageName") << QString();
    }

    // A value outside the table: one assertion report naming the function and
    // "0", then the fallback text.
    void fallbacks()
    {
        QFETCH(NameFunction, name);
        QFETCH(QString, function);
        QFETCH(QString, fallback);
        orxtest::MessageCapture capture;
        const QString text = name();
        QCOMPARE(text, fallback);
        QCOMPARE(capture.count(), 1);
        const QString report = capture.messages().first().text;
        QCOMPARE(capture.messages().first().level, 0);
        QVERIFY2(report.contains(QStringLiteral("common.cpp, %1(), row ").arg(function)), qPrintable(report));
        QVERIFY2(report.endsWith(QStringLiteral("\r\n0")), qPrintable(report));
    }

    void isRegulatorWithoutReports_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("regulator");
        QTest::newRow("dtEmpty") << int(dtEmpty) << false;
        QTest::newRow("dtLMKP") << int(dtLMKP) << false;
        QTest::newRow("dtLMK2") << int(dtLMK2) << false;
        QTest::newRow("dtLMK3") << int(dtLMK3) << false;
        QTest::newRow("dtLMSHStd") << int(dtLMSHStd) << false;
        QTest::newRow("dtLMSHFan") << int(dtLMSHFan) << false;
        QTest::newRow("dtLMRD") << int(dtLMRD) << true;
        QTest::newRow("dtLMR2P") << int(dtLMR2P) << true;
        QTest::newRow("dtLMR1") << int(dtLMR1) << true;
        QTest::newRow("dtLMR101") << int(dtLMR101) << true;
        QTest::newRow("dtLMF") << int(dtLMF) << false;
        QTest::newRow("unknown 206") << 206 << false;
    }

    void isRegulatorWithoutReports()
    {
        QFETCH(int, type);
        QFETCH(bool, regulator);
        orxtest::MessageCapture capture;
        QCOMPARE(isRegulator(DeviceType(type)), regulator);
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
