// The configurator rules over choice values, without a form: the options each
// flow meter field offers, the rows and check boxes of each meter, the pulse
// weight, the fallback names and the designations of the flow meters and the
// control cabinets.

#include "configurators/cabinetconfig.h"
#include "configurators/flowmeterconfig.h"
#include "testsupport.h"

using namespace common;
using namespace configurators;

namespace {

// Choices as (field, value) pairs; a later pair overrides an earlier one.
using Picks = QVector<QPair<int, int>>;

FlowMeterChoice meter(const Picks& picks, double weight = 0)
{
    FlowMeterChoice choice;
    for (const auto& pick : picks)
        choice.set(LmfField(pick.first), pick.second);
    choice.pulseWeight = weight;
    return choice;
}

const Picks kOneBeam{{lfType, 1}, {lfBeamCount, 1}, {lfForm, 1}};
const Picks kTwoBeam{{lfType, 1}, {lfBeamCount, 2}, {lfForm, 1}};
const Picks kNarrowed = kOneBeam + Picks{{lfForm, 2}};
const Picks kEm{{lfType, 2}};
// The two meters of the order examples.
// clang-format off
const Picks kEmExample{{lfType, 2}, {lfConnection, 1}, {lfDiameter, 50}, {lfStainless, 1},
    {lfFettleMaterial, 1}, {lfElectrodeMaterial, 1}, {lfPressure, 16}, {lfProtection, 67}, {lfIndication, 1},
    {lfCurrentOutput, 0}, {lfInterface, 232}, {lfSeries, 1100}, {lfAllowableError, 10}, {lfMPulseWeight, 12}};
const Picks kUsExample = kOneBeam + Picks{{lfConnection, 1}, {lfDiameter, 100}, {lfSteel, 2},
    {lfPressure, 16}, {lfProtection, 67}, {lfIndication, 1}, {lfCurrentOutput, 0}, {lfInterface, 485},
    {lfSeries, 1300}, {lfAllowableError, 10}, {lfSupplyVoltage, 2}};
// clang-format on

// Every name function, with the name its reports carry.
struct NameFunction
{
    const char* name;
    QString (*call)(int);
};
const NameFunction kNameFunctions[] = {
    {"lmfTypeName", [](int v) { return lmfTypeName(v); }},
    {"lmfBeamCountName", [](int v) { return lmfBeamCountName(v); }},
    {"lmfFormName", [](int v) { return lmfFormName(v, true); }},
    {"lmfConnectionTypeName", [](int v) { return lmfConnectionTypeName(v); }},
    {"lmfMaterialName", [](int v) { return lmfMaterialName(v); }},
    {"fettleMaterialName", [](int v) { return fettleMaterialName(v); }},
    {"electrodeMaterialName", [](int v) { return electrodeMaterialName(v, true); }},
    {"lmfNominalPressureName", [](int v) { return lmfNominalPressureName(v); }},
    {"lmfIpName", [](int v) { return lmfIpName(v); }},
    {"lmfTemperatureTypeName", [](int v) { return lmfTemperatureTypeName(v); }},
    {"lmfSeriesName", [](int v) { return lmfSeriesName(v); }},
    {"interfaceName", [](int v) { return interfaceName(v, true); }},
    {"lmfAllowableErrorName", [](int v) { return lmfAllowableErrorName(v); }},
    {"lmfMOutputPulseWeightName", [](int v) { return lmfMOutputPulseWeightName(v); }},
    {"lmfSupplyVoltageName", [](int v) { return lmfSupplyVoltageName(v); }},
    {"lmfDnName", [](int v) { return lmfDnName(v); }},
};

} // namespace

Q_DECLARE_METATYPE(Picks)

class TestConfigurators : public QObject
{
    Q_OBJECT

private slots:
    void valueOutsideATableIsUnknown()
    {
        for (const NameFunction& function : kNameFunctions) {
            orxtest::MessageCapture capture;
            QVERIFY2(function.call(3333) == QStringLiteral("Неизвестно"), function.name);
            QVERIFY2(capture.assertions().size() == 1 &&
                         capture.assertions().first().contains(QLatin1String(function.name) +
                                                               QStringLiteral("()")),
                     function.name);
        }
        orxtest::MessageCapture capture;
        QCOMPARE(lmfDnName(vdnEmpty), QStringLiteral("Неизвестно"));
        QCOMPARE(capture.assertions().size(), 1);
    }

    void offeredOptions_data()
    {
        QTest::addColumn<Picks>("picks");
        QTest::addColumn<int>("field");
        QTest::addColumn<QList<int>>("values"); // in the combo's order
        const QList<int> threads{10015, 10020, 10025, 10032, 10040};
        const auto row = [](const char* name, const Picks& picks, int field, const QList<int>& values) {
            QTest::newRow(name) << picks << field << values;
        };
        const auto dns = [](int lowest, int highest) { return lmfStandardDns(lowest, highest).toList(); };
        row("forms one-beam", kOneBeam, lfForm, {1, 2, 4});
        row("forms two-beam", kTwoBeam, lfForm, {1});
        row("connections straight", kOneBeam, lfConnection, {1, 2});
        row("connections narrowed", kNarrowed, lfConnection, {1, 3});
        row("connections electromagnetic", kEm, lfConnection, {1, 4, 3});
        row("threaded electromagnetic", kEm + Picks{{lfConnection, 3}}, lfDiameter, threads);
        row("one-beam straight", kOneBeam + Picks{{lfConnection, 1}}, lfDiameter, dns(40, 600));
        row("two-beam straight", kTwoBeam + Picks{{lfConnection, 1}}, lfDiameter, dns(50, 2000));
        row("one-beam weld-on", kOneBeam + Picks{{lfConnection, 2}}, lfDiameter, dns(200, 600));
        row("narrowed", kNarrowed + Picks{{lfConnection, 1}}, lfDiameter, dns(15, 100));
        row("cross", kOneBeam + Picks{{lfForm, 4}, {lfConnection, 1}}, lfDiameter, {51, 52});
        row("electromagnetic flanged", kEm + Picks{{lfConnection, 1}}, lfDiameter, dns(15, 200));
        row("electromagnetic wafer", kEm + Picks{{lfConnection, 4}}, lfDiameter, dns(15, 100));
        row("pressures ultrasonic G1B", kNarrowed + Picks{{lfDiameter, 10020}}, lfPressure, {16, 25});
        row("pressures ultrasonic DN 100", kOneBeam + Picks{{lfDiameter, 100}}, lfPressure, {16, 25, 40, 63});
        row("pressures electromagnetic DN 15", kEm + Picks{{lfDiameter, 15}}, lfPressure, {16, 25, 40});
        row("protection straight", kOneBeam, lfProtection, {67, 68});
        row("protection narrowed DN 15", kNarrowed + Picks{{lfDiameter, 15}}, lfProtection, {65, 67});
        row("protection narrowed DN 50", kNarrowed + Picks{{lfDiameter, 50}}, lfProtection, {65, 67, 68});
        row("series electromagnetic", kEm, lfSeries, {1000, 1100, 1300, 2000, 2100, 2300});
        row("series one-beam", kOneBeam, lfSeries, {1300, 1301, 2300, 2301});
        row("series two-beam", kTwoBeam, lfSeries, {1300, 1500, 2300, 2500});
        row("error electromagnetic 1000", kEm + Picks{{lfSeries, 1000}}, lfAllowableError, {20});
        row("error electromagnetic 2100", kEm + Picks{{lfSeries, 2100}}, lfAllowableError, {10});
        row("error electromagnetic 1300", kEm + Picks{{lfSeries, 1300}}, lfAllowableError, {5});
        row("error two-beam 1500", kTwoBeam + Picks{{lfSeries, 1500}}, lfAllowableError, {5});
        row("error one-beam 1300", kOneBeam + Picks{{lfSeries, 1300}}, lfAllowableError, {10, 20});
        row("error one-beam 2301", kOneBeam + Picks{{lfSeries, 2301}}, lfAllowableError, {20});
        row("interface one-beam", kOneBeam, lfInterface, {232});
        row("interface one-beam indicating", kOneBeam + Picks{{lfIndication, 1}}, lfInterface, {485});
        row("interface two-beam", kTwoBeam, lfInterface, {485});
        row("interface electromagnetic", kEm, lfInterface, {232});
        row("interface electromagnetic indicating", kEm + Picks{{lfIndication, 1}}, lfInterface,
            {232, 485, 500});
        row("supply one-beam 2300", kOneBeam + Picks{{lfSeries, 2300}}, lfSupplyVoltage, {2});
        row("supply one-beam 1301", kOneBeam + Picks{{lfSeries, 1301}}, lfSupplyVoltage, {1});
        row("supply of electromagnetic left alone", kEm, lfSupplyVoltage, {1, 2});
        row("weights DN 32", kEm + Picks{{lfDiameter, 32}}, lfMPulseWeight, {10, 11, 12, 13});
        row("weights G2B", kEm + Picks{{lfDiameter, 10040}}, lfMPulseWeight, {11, 12, 13});
        row("weights DN 125", kEm + Picks{{lfDiameter, 125}}, lfMPulseWeight, {12, 13, 14});
        row("weights of ultrasonic left alone", kOneBeam, lfMPulseWeight, {4, 10, 11, 12, 13, 14});
        row("type not ruled", kEm, lfType, {1, 2});
    }

    void offeredOptions()
    {
        QFETCH(Picks, picks);
        QFETCH(int, field);
        QFETCH(QList<int>, values);
        QCOMPARE(configurators::offeredOptions(meter(picks), LmfField(field)), values);
    }

    void rowsAndChecksOfEachMeter_data()
    {
        QTest::addColumn<Picks>("picks");
        QTest::addColumn<QList<int>>("rows"); // shown among the rows of one principle
        QTest::addColumn<QString>("checks");  // indication, current output held: 1, 0; "-" free
        QTest::addColumn<int>("noteBeams");
        const QList<int> oneBeam{401, 404, 405, 415, 417, 418};
        // clang-format off
        QTest::newRow("one-beam") << kOneBeam + Picks{{lfSeries, 1300}} << oneBeam << QStringLiteral("--") << 1;
        QTest::newRow("one-beam Б series") << kOneBeam + Picks{{lfSeries, 2301}} << oneBeam << QStringLiteral("10") << 1;
        QTest::newRow("two-beam") << kTwoBeam + Picks{{lfSeries, 2500}}
                                  << QList<int>{401, 404, 405, 406, 409, 415, 417, 418} << QStringLiteral("-1") << 2;
        QTest::newRow("electromagnetic") << kEm + Picks{{lfSeries, 1300}} << QList<int>{416, 419, 420, 421}
                                         << QStringLiteral("--") << 1;
        // clang-format on
    }

    void rowsAndChecksOfEachMeter()
    {
        QFETCH(Picks, picks);
        QFETCH(QList<int>, rows);
        QFETCH(QString, checks);
        QFETCH(int, noteBeams);
        const FlowMeterChoice choice = meter(picks);
        QList<int> shown;
        for (int field : {401, 404, 405, 406, 409, 415, 416, 417, 418, 419, 420, 421})
            if (isRowShown(choice, LmfField(field)))
                shown << field;
        QCOMPARE(shown, rows);
        QString forced;
        for (LmfField field : {lfIndication, lfCurrentOutput}) {
            const std::optional<bool> check = forcedCheck(choice, field);
            forced += check ? QString::number(int(*check)) : QStringLiteral("-");
        }
        QCOMPARE(forced, checks);
        QCOMPARE(diameterRangeNote(choice),
                 noteBeams == 2
                     ? QStringLiteral("Диапазон диаметров для двухлучевых счетчиков -\n50-2000 мм")
                     : QStringLiteral("Диапазон диаметров для однолучевых счетчиков -\n15-600 мм"));
        QVERIFY(isRowShown(choice, lfPressure));
    }

    void pulseWeightRange_data()
    {
        QTest::addColumn<Picks>("picks");
        QTest::addColumn<QString>("note");
        const auto range = [](const char* minimum, const char* maximum, const char* factory) {
            return QStringLiteral("Допустимы значения от %1 до %2 л/имп.\nЗаводская установка - %3 л/имп.")
                .arg(QLatin1String(minimum), QLatin1String(maximum), QLatin1String(factory));
        };
        const auto narrowed = [](int dn, int series) {
            return kNarrowed + Picks{{lfDiameter, dn}, {lfSeries, series}};
        };
        QTest::newRow("no diameter") << kOneBeam << QStringLiteral("Укажите, пожалуйста, диаметр");
        QTest::newRow("no form") << Picks{{lfType, 1}, {lfDiameter, 100}}
                                 << QStringLiteral("Укажите, пожалуйста, форму");
        QTest::newRow("straight DN 100") << kUsExample << range("0.8", "8", "1");
        QTest::newRow("straight DN 400")
            << kUsExample + Picks{{lfDiameter, 400}} << range("12.5", "125", "15");
        QTest::newRow("narrowed DN 15") << narrowed(15, 1300) << range("0.01", "0.1", "0.01");
        QTest::newRow("narrowed DN 40 Б") << narrowed(40, 1301) << range("0.02", "100", "0.1");
        QTest::newRow("narrowed G1B") << narrowed(10020, 2300) << range("0.015", "0.15", "0.1");
        QTest::newRow("narrowed G1½B") << narrowed(10032, 1300) << range("0.04", "0.4", "0.1");
    }

    void pulseWeightRange()
    {
        QFETCH(Picks, picks);
        QFETCH(QString, note);
        orxtest::MessageCapture capture;
        const FlowMeterChoice choice = meter(picks);
        QCOMPARE(pulseWeightNote(choice, rangeU(choice)), note);
        QCOMPARE(capture.count(), 0);
        // A chosen diameter the table lacks is a fault of the table.
        const auto gap = [](int, int, int) { return LmfPulseWeightRange(); };
        QVERIFY(rangeU(choice, gap).isEmpty());
        QCOMPARE(capture.assertions().size(), choice.dn != vdnEmpty && choice.form != -1 ? 1 : 0);
        if (capture.count())
            QVERIFY(capture.assertions().first().endsWith(QStringLiteral("dn == vdnEmpty")));
    }

    void pulseWeightTexts()
    {
        const QList<QPair<double, QString>> texts{
            {1, QStringLiteral("1,0")},   {0.25, QStringLiteral("0,25")}, {12.5, QStringLiteral("12,5")},
            {10, QStringLiteral("10,0")}, {100, QStringLiteral("100")},   {0.015, QStringLiteral("0,015")}};
        for (const auto& text : texts)
            QCOMPARE(pulseWeightText(text.first), text.second);
        const QList<QPair<int, int>> defaults{{32, 10}, {10040, 11}, {100, 11}, {125, 12}};
        for (const auto& weight : defaults)
            QCOMPARE(defaultMPulseWeight(meter(kEm + Picks{{lfDiameter, weight.first}})), weight.second);
    }

    // Every diameter, form, connection, beam count and series offered to an
    // ultrasonic meter has a range of the table's kind.
    void everyOfferedUltrasonicMeterHasARange()
    {
        orxtest::MessageCapture capture;
        FlowMeterChoice c = meter({{lfType, 1}});
        int checked = 0;
        for (int beams : {1, 2})
            for (int form : (c.beams = beams, configurators::offeredOptions(c, lfForm)))
                for (int connection : (c.form = form, configurators::offeredOptions(c, lfConnection)))
                    for (int dn : (c.connection = connection, configurators::offeredOptions(c, lfDiameter)))
                        for (int series : (c.dn = dn, configurators::offeredOptions(c, lfSeries))) {
                            c.series = series;
                            const LmfPulseWeightRange r = rangeU(c);
                            const QByteArray where =
                                QByteArray::number(beams) + " beams, form " + QByteArray::number(form) +
                                ", DN " + QByteArray::number(dn) + ", series " + QByteArray::number(series);
                            QVERIFY2(r.minimum > 0 && r.minimum <= r.factory && r.factory <= r.maximum,
                                     where);
                            QVERIFY2(qFuzzyCompare(r.maximum, lmfIsBSeries(series) ? 100 : 10 * r.minimum),
                                     where);
                            ++checked;
                        }
        QCOMPARE(checked, 316);
        QCOMPARE(capture.count(), 0);
        // Bodies not made have no row.
        QVERIFY(lmfPulseWeightRange(2000, 2, 1300).isEmpty() && lmfPulseWeightRange(1000, 1, 1301).isEmpty());
        // Larger bores never take smaller weights.
        for (int form : {1, 2})
            for (int series : {1300, 1301}) {
                double previous = 0;
                for (int dn : lmfStandardDns())
                    if (!lmfPulseWeightRange(dn, form, series).isEmpty()) {
                        QVERIFY(lmfPulseWeightRange(dn, form, series).minimum >= previous);
                        previous = lmfPulseWeightRange(dn, form, series).minimum;
                    }
            }
    }

    void flowMeterDesignations_data()
    {
        QTest::addColumn<Picks>("picks");
        QTest::addColumn<double>("weight"); // ultrasonic, l/pulse
        QTest::addColumn<QString>("designation");
        const auto row = [](const char* name, const Picks& picks, double weight, const char* designation) {
            QTest::newRow(name) << picks << weight
                                << QStringLiteral("Счетчик-расходомер ") + QString::fromUtf8(designation);
        };
        // clang-format off
        row("electromagnetic example", kEmExample, 0,
            "электромагнитный ЛМФ-М-50Фнж-Фт-С-16-67-И-000-232-1100-10-12");
        row("ultrasonic example", kUsExample, 1, "ультразвуковой ЛМФ-У-100-П-16-67-И-000-485-1300-10-1,0-24");
        row("weld-on stainless", kUsExample + Picks{{lfSteel, 1}, {lfConnection, 2}, {lfDiameter, 200}}, 5,
            "ультразвуковой ЛМФ-У-200БФ-Пнж-16-67-И-000-485-1300-10-5,0-24");
        row("two-beam, high temperature", kUsExample + kTwoBeam + Picks{{lfDiameter, 500}, {lfHighTemperature, 1},
            {lfPressure, 63}, {lfProtection, 68}, {lfTemperatureType, 2}, {lfIndication, 0}, {lfCurrentOutput, 1},
            {lfSeries, 2500}, {lfAllowableError, 5}}, 20,
            "ультразвуковой ЛМФ-У-2-500-ПHT-63-68-L-О-420-485-2500-05-20,0-24");
        row("one-beam ignores high temperature", kUsExample + Picks{{lfHighTemperature, 1}, {lfTemperatureType, 2}},
            1, "ультразвуковой ЛМФ-У-100-П-16-67-И-000-485-1300-10-1,0-24");
        row("cross body, Б series", kUsExample + Picks{{lfForm, 4}, {lfDiameter, 52}, {lfPressure, 25},
            {lfProtection, 65}, {lfSeries, 2301}, {lfAllowableError, 20}, {lfSupplyVoltage, 1}}, 0.2,
            "ультразвуковой ЛМФ-У-50/2-К-25-65-И-000-485-2300Б-20-0,2-00");
        row("electromagnetic wafer", kEmExample + Picks{{lfConnection, 4}, {lfDiameter, 80}, {lfStainless, 0},
            {lfFettleMaterial, 2}, {lfElectrodeMaterial, 4}, {lfPressure, 40}, {lfProtection, 68}, {lfIndication, 0},
            {lfSeries, 2000}, {lfAllowableError, 20}, {lfMPulseWeight, 11}}, 0,
            "электромагнитный ЛМФ-М-80С-У-L-40-68-О-000-232-2000-20-11");
        row("electromagnetic threaded, Ethernet", kEmExample + Picks{{lfConnection, 3}, {lfDiameter, 10025},
            {lfStainless, 0}, {lfElectrodeMaterial, 3}, {lfPressure, 25}, {lfCurrentOutput, 1}, {lfInterface, 500},
            {lfSeries, 2300}, {lfAllowableError, 5}, {lfMPulseWeight, 10}}, 0,
            "электромагнитный ЛМФ-М-G1\u00BCB-Фт-Х-25-67-И-420-Eth-2300-05-10");
        // clang-format on
    }

    void flowMeterDesignations()
    {
        QFETCH(Picks, picks);
        QFETCH(double, weight);
        QFETCH(QString, designation);
        orxtest::MessageCapture capture;
        QCOMPARE(flowMeterDesignation(meter(picks, weight)), designation);
        QCOMPARE(capture.count(), 0);
    }

    void cabinetDesignations_data()
    {
        QTest::addColumn<QString>("designation");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QString& designation, const char* expected) {
            QTest::newRow(name) << designation << QString::fromUtf8(expected);
        };
        const auto standard = [](int reserve, int iface, const QVector<CabinetLoop>& loops) {
            return stdCabinetDesignation({reserve, iface, loops});
        };
        QVector<CabinetLoop> nine;
        for (int loop = 1; loop <= 9; ++loop)
            nine.append({2 - loop % 2, loop, loop});
        // clang-format off
        row("two loops", standard(1, 2, {{1, 4, 4}, {2, 2, 0}}), "ЛМШ-1-12-44.20-2-220-IP54");
        row("power reserve, RS-232", standard(2, 1, {{5, 9, 0}}), "ЛМШ-2-5-90-1-220-IP54");
        row("third loop without pumps", standard(1, 2, {{1, 4, 4}, {2, 2, 0}, {4, 0, 0}}),
            "ЛМШ-1-124-44.20.00-2-220-IP54");
        row("nine loops", standard(1, 2, nine), "ЛМШ-1-121212121-11.22.33.44.55.66.77.88.99-2-220-IP54");
        row("ventilation", fanCabinetDesignation({1, {{5, 1}}}), "ЛМШ-1-33-51-1-220-IP54");
        row("ventilation without fan", fanCabinetDesignation({2, {{0, 8}}}), "ЛМШ-1-33-08-2-220-IP54");
        row("ventilation loops apart", fanCabinetDesignation({2, {{5, 1}, {0, 8}}}), "ЛМШ-1-33-51.08-2-220-IP54");
        // clang-format on
    }

    void cabinetDesignations()
    {
        QFETCH(QString, designation);
        QFETCH(QString, expected);
        QCOMPARE(designation, expected);
    }
};

ORX_CORE_TEST_MAIN(TestConfigurators)
#include "tst_configurators.moc"
