// The configurator rules over choice values, without a form: the options each
// flow meter field offers, the rows and check boxes of each meter, the pulse
// weight and the designations of the flow meters and the control cabinets.

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
// An electromagnetic meter chosen after a two-beam one: the hidden beam count and form keep their values.
const Picks kEmAfterTwoBeam = kTwoBeam + kEm;
const QList<int> kThreads{10015, 10020, 10025, 10032, 10040};
QList<int> dns(int lowest, int highest)
{
    return lmfStandardDns(lowest, highest).toList();
}
// A weight (a code) after a change of the choices, and the line the user is told.
QString followed(double weight, const LmfPulseWeightRange& range)
{
    const double after = followedPulseWeight(weight, range);
    return QString::number(after, 'g', 10) + QLatin1Char('|') + pulseWeightChangeNote(weight, after, range);
}
QString followedCode(int dn, int code)
{
    const FlowMeterChoice choice = meter(kEm + Picks{{lfDiameter, dn}, {lfMPulseWeight, code}});
    const int after = followedMPulseWeight(choice);
    return QString::number(after) + QLatin1Char('|') + mPulseWeightChangeNote(code, after, choice);
}
// The two meters of the order examples.
// clang-format off
const Picks kEmExample{{lfType, 2}, {lfConnection, 1}, {lfDiameter, 50}, {lfStainless, 1},
    {lfFettleMaterial, 1}, {lfElectrodeMaterial, 1}, {lfPressure, 16}, {lfProtection, 67}, {lfIndication, 1},
    {lfCurrentOutput, 0}, {lfInterface, 232}, {lfSeries, 1100}, {lfAllowableError, 10}, {lfMPulseWeight, 12}};
const Picks kUsExample = kOneBeam + Picks{{lfConnection, 1}, {lfDiameter, 100}, {lfSteel, 2},
    {lfPressure, 16}, {lfProtection, 67}, {lfIndication, 1}, {lfCurrentOutput, 0}, {lfInterface, 485},
    {lfSeries, 1300}, {lfAllowableError, 10}, {lfSupplyVoltage, 2}};

const struct { const char* name; Picks picks; LmfField field; QList<int> values; } kOptions[] = {
    {"one-beam forms", kOneBeam, lfForm, {1, 2, 4}},
    {"two-beam only straight", kTwoBeam, lfForm, {1}},
    {"straight connections", kOneBeam, lfConnection, {1, 2}},
    {"narrowed connections", kNarrowed, lfConnection, {1, 3}},
    {"two-beam connections", kTwoBeam, lfConnection, {1, 2}},
    {"electromagnetic connections: no weld-on, whatever the hidden form", kEmAfterTwoBeam, lfConnection, {1, 4, 3}},
    {"electromagnetic threads", kEm + Picks{{lfConnection, 3}}, lfDiameter, kThreads},
    {"narrowed threads", kNarrowed + Picks{{lfConnection, 3}}, lfDiameter, kThreads},
    {"one-beam straight DN", kOneBeam + Picks{{lfConnection, 1}}, lfDiameter, dns(40, 600)},
    {"two-beam straight DN", kTwoBeam + Picks{{lfConnection, 1}}, lfDiameter, dns(50, 2000)},
    {"one-beam weld-on DN", kOneBeam + Picks{{lfConnection, 2}}, lfDiameter, dns(200, 600)},
    {"two-beam weld-on DN", kTwoBeam + Picks{{lfConnection, 2}}, lfDiameter, dns(200, 2000)},
    {"narrowed DN", kNarrowed + Picks{{lfConnection, 1}}, lfDiameter, dns(15, 100)},
    {"cross DN", kOneBeam + Picks{{lfForm, 4}, {lfConnection, 1}}, lfDiameter, {51, 52}},
    {"electromagnetic flanged DN, whatever the hidden form", kEmAfterTwoBeam + Picks{{lfConnection, 1}}, lfDiameter, dns(15, 200)},
    {"electromagnetic wafer DN", kEm + Picks{{lfConnection, 4}}, lfDiameter, dns(15, 100)},
    {"ultrasonic G1B pressures", kNarrowed + Picks{{lfDiameter, 10020}}, lfPressure, {16, 25}},
    {"ultrasonic DN 100 pressures", kOneBeam + Picks{{lfDiameter, 100}}, lfPressure, {16, 25, 40, 63}},
    {"two-beam DN 500 pressures", kTwoBeam + Picks{{lfDiameter, 500}}, lfPressure, {16, 25, 40, 63}},
    {"electromagnetic DN 15 pressures: 40, never 63", kEm + Picks{{lfDiameter, 15}}, lfPressure, {16, 25, 40}},
    {"straight protection", kOneBeam, lfProtection, {67, 68}},
    {"narrowed DN 15 protection", kNarrowed + Picks{{lfDiameter, 15}}, lfProtection, {65, 67}},
    {"two-beam DN 50 protection", kTwoBeam + Picks{{lfDiameter, 50}}, lfProtection, {67, 68}},
    {"electromagnetic DN 15 protection: the hidden form counts", kEmAfterTwoBeam + Picks{{lfDiameter, 15}}, lfProtection, {67, 68}},
    {"electromagnetic series, whatever the hidden beam count", kEmAfterTwoBeam, lfSeries, {1000, 1100, 1300, 2000, 2100, 2300}},
    {"one-beam series", kOneBeam, lfSeries, {1300, 1301, 2300, 2301}},
    {"two-beam series", kTwoBeam, lfSeries, {1300, 1500, 2300, 2500}},
    {"electromagnetic 1000 error", kEm + Picks{{lfSeries, 1000}}, lfAllowableError, {20}},
    {"electromagnetic 1100 error", kEm + Picks{{lfSeries, 1100}}, lfAllowableError, {10}},
    {"electromagnetic 1300 error", kEm + Picks{{lfSeries, 1300}}, lfAllowableError, {5}},
    {"two-beam 1500 error", kTwoBeam + Picks{{lfSeries, 1500}}, lfAllowableError, {5}},
    {"two-beam 1300 error", kTwoBeam + Picks{{lfSeries, 1300}}, lfAllowableError, {10}},
    {"one-beam 1300 error", kOneBeam + Picks{{lfSeries, 1300}}, lfAllowableError, {10, 20}},
    {"one-beam 2301 error", kOneBeam + Picks{{lfSeries, 2301}}, lfAllowableError, {20}},
    {"one-beam interface", kOneBeam, lfInterface, {232}},
    {"RS-485 for an indicating one-beam", kOneBeam + Picks{{lfIndication, 1}}, lfInterface, {485}},
    {"RS-485 for a two-beam", kTwoBeam, lfInterface, {485}},
    {"electromagnetic indicating interfaces", kEm + Picks{{lfIndication, 1}}, lfInterface, {232, 485, 500}},
    {"electromagnetic without indication: no RS-485, no Ethernet", kEm + Picks{{lfIndication, 0}}, lfInterface, {232}},
    {"one-beam 2300 supply", kOneBeam + Picks{{lfSeries, 2300}}, lfSupplyVoltage, {2}},
    {"one-beam 2301 supply", kOneBeam + Picks{{lfSeries, 2301}}, lfSupplyVoltage, {1}},
    {"two-beam 2500 supply", kTwoBeam + Picks{{lfSeries, 2500}}, lfSupplyVoltage, {2}},
    {"electromagnetic supply left alone", kEm, lfSupplyVoltage, {1, 2}},
    {"DN 32 weights", kEm + Picks{{lfDiameter, 32}}, lfMPulseWeight, {10, 11, 12, 13}},
    {"DN 125 weights", kEm + Picks{{lfDiameter, 125}}, lfMPulseWeight, {12, 13, 14}},
    {"ultrasonic weights left alone", kOneBeam, lfMPulseWeight, {4, 10, 11, 12, 13, 14}},
};

// Rows shown among 401..421, the held indication and current output ("1", "0", "-" free), the DN note.
const struct { const char* name; Picks picks; const char* rows, *checks, *note; } kMeters[] = {
    {"one-beam", kOneBeam + Picks{{lfSeries, 1300}}, "401 404 405 415 417 418 ", "--", "однолучевых счетчиков -\n15-600"},
    {"one-beam Б series", kOneBeam + Picks{{lfSeries, 2301}}, "401 404 405 415 417 418 ", "10", "однолучевых счетчиков -\n15-600"},
    {"two-beam", kTwoBeam + Picks{{lfSeries, 2500}}, "401 404 405 406 409 415 417 418 ", "-1", "двухлучевых счетчиков -\n50-2000"},
    {"electromagnetic", kEm + Picks{{lfSeries, 1300}}, "416 419 420 421 ", "--", "однолучевых"},
    {"electromagnetic after a two-beam: no two-beam rows, no output held", kEmAfterTwoBeam + Picks{{lfSeries, 1300}}, "416 419 420 421 ", "--", ""},
};

// The pulse weight note: minimum, maximum and factory setting (l/pulse), or the missing choice.
const struct { const char* name; Picks picks; const char* note; } kWeights[] = {
    {"no diameter", kOneBeam, "Укажите, пожалуйста, диаметр"},
    {"no form", Picks{{lfType, 1}, {lfDiameter, 100}}, "Укажите, пожалуйста, форму"},
    {"straight DN 100", kUsExample, "0.8 до 8 л/имп.\nЗаводская установка - 1 "},
    {"straight DN 400", kUsExample + Picks{{lfDiameter, 400}}, "12.5 до 125 л/имп.\nЗаводская установка - 15 "},
    {"narrowed DN 15", kNarrowed + Picks{{lfDiameter, 15}, {lfSeries, 1300}}, "0.01 до 0.1 л/имп.\nЗаводская установка - 0.01 "},
    {"narrowed DN 40 Б", kNarrowed + Picks{{lfDiameter, 40}, {lfSeries, 1301}}, "0.02 до 100 л/имп.\nЗаводская установка - 0.1 "},
    {"narrowed G1B", kNarrowed + Picks{{lfDiameter, 10020}, {lfSeries, 2300}}, "0.015 до 0.15 л/имп.\nЗаводская установка - 0.1 "},
};

const struct { const char* name; QString designation; const char* expected; } kDesignations[] = {
    {"electromagnetic example", flowMeterDesignation(meter(kEmExample)), "Счетчик-расходомер электромагнитный ЛМФ-М-50Фнж-Фт-С-16-67-И-000-232-1100-10-12"},
    {"ultrasonic example", flowMeterDesignation(meter(kUsExample, 1)), "Счетчик-расходомер ультразвуковой ЛМФ-У-100-П-16-67-И-000-485-1300-10-1,0-24"},
    {"weld-on stainless", flowMeterDesignation(meter(kUsExample + Picks{{lfSteel, 1}, {lfConnection, 2}, {lfDiameter, 200}}, 5)), "Счетчик-расходомер ультразвуковой ЛМФ-У-200БФ-Пнж-16-67-И-000-485-1300-10-5,0-24"},
    {"two-beam, high temperature", flowMeterDesignation(meter(kUsExample + kTwoBeam + Picks{{lfDiameter, 500}, {lfHighTemperature, 1}, {lfPressure, 63}, {lfProtection, 68}, {lfTemperatureType, 2}, {lfIndication, 0}, {lfCurrentOutput, 1}, {lfSeries, 2500}, {lfAllowableError, 5}}, 20)), "Счетчик-расходомер ультразвуковой ЛМФ-У-2-500-ПHT-63-68-L-О-420-485-2500-05-20,0-24"},
    {"cross body, Б series", flowMeterDesignation(meter(kUsExample + Picks{{lfForm, 4}, {lfDiameter, 52}, {lfPressure, 25}, {lfProtection, 65}, {lfSeries, 2301}, {lfAllowableError, 20}, {lfSupplyVoltage, 1}}, 0.2)), "Счетчик-расходомер ультразвуковой ЛМФ-У-50/2-К-25-65-И-000-485-2300Б-20-0,2-00"},
    {"electromagnetic wafer", flowMeterDesignation(meter(kEmExample + Picks{{lfConnection, 4}, {lfDiameter, 80}, {lfStainless, 0}, {lfFettleMaterial, 2}, {lfElectrodeMaterial, 4}, {lfPressure, 40}, {lfProtection, 68}, {lfIndication, 0}, {lfSeries, 2000}, {lfAllowableError, 20}, {lfMPulseWeight, 11}})), "Счетчик-расходомер электромагнитный ЛМФ-М-80С-У-L-40-68-О-000-232-2000-20-11"},
    {"electromagnetic threaded, Ethernet", flowMeterDesignation(meter(kEmExample + Picks{{lfConnection, 3}, {lfDiameter, 10025}, {lfStainless, 0}, {lfElectrodeMaterial, 3}, {lfPressure, 25}, {lfCurrentOutput, 1}, {lfInterface, 500}, {lfSeries, 2300}, {lfAllowableError, 5}, {lfMPulseWeight, 10}})), "Счетчик-расходомер электромагнитный ЛМФ-М-G1\u00BCB-Фт-Х-25-67-И-420-Eth-2300-05-10"},
    {"power reserve, RS-232", stdCabinetDesignation({2, 1, {{5, 9, 0}}}), "ЛМШ-2-5-90-1-220-IP54"},
    {"third loop without pumps", stdCabinetDesignation({1, 2, {{1, 4, 4}, {2, 2, 0}, {4, 0, 0}}}), "ЛМШ-1-124-44.20.00-2-220-IP54"},
    {"ventilation loops apart", fanCabinetDesignation({2, {{5, 1}, {0, 8}}}), "ЛМШ-1-33-51.08-2-220-IP54"},
    {"pulse weights written", pulseWeightText(0.25) + pulseWeightText(10) + pulseWeightText(100) + pulseWeightText(0.015), "0,2510,01000,015"},
    {"electromagnetic default weight codes by DN 32 and 125", QString::number(defaultMPulseWeight(meter(kEm + Picks{{lfDiameter, 32}}))) + QString::number(defaultMPulseWeight(meter(kEm + Picks{{lfDiameter, 125}}))), "1012"},
};

// What becomes of an ultrasonic weight when the choices select a new range (DN 400 straight: 12.5 to 125,
// factory 15), or of an electromagnetic weight code after a diameter change, and the line the user reads.
const LmfPulseWeightRange kDn400{12.5, 125, 15};
const struct { const char* name; QString outcome; const char* expected; } kFollowed[] = {
    {"an allowed weight stays", followed(20, kDn400), "20|"},
    {"the highest weight allowed stays", followed(125, kDn400), "125|"},
    {"beyond the thousandths a weight is at its bound", followed(125.0004, kDn400), "125.0004|"},
    {"rounded to the thousandths a weight reaches the lowest bound", followed(12.4996, kDn400), "12.4996|"},
    {"a thousandth above the range is out", followed(125.001, kDn400), "15|Вес выходного импульса изменён с 125.001 на 15\u00A0л/имп.: прежний вне диапазона от 12.5 до 125\u00A0л/имп."},
    {"a weight below gives way to the factory one, told", followed(2.5, kDn400), "15|Вес выходного импульса изменён с 2.5 на 15\u00A0л/имп.: прежний вне диапазона от 12.5 до 125\u00A0л/имп."},
    {"no weight yet: the factory one without a word", followed(0, kDn400), "15|"},
    {"no range yet: the weight stays", followed(2.5, LmfPulseWeightRange()), "2.5|"},
    {"a code the diameter offers stays", followedCode(25, 12), "12|"},
    {"a code it does not offer: the smallest, told", followedCode(80, 10), "11|Вес выходного импульса изменён с 0,01 на 0,10\u00A0л/имп.: прежний не выпускается для диаметра 80"},
    {"a thread counts by its bore", followedCode(10025, 11), "11|"},
    {"no code yet: the smallest without a word", followedCode(50, -1), "11|"},
};
// clang-format on

} // namespace

class TestConfigurators : public QObject
{
    Q_OBJECT

private slots:
    void offeredOptions_data() { tableRows(kOptions); }
    void offeredOptions()
    {
        ORX_ROW(kOptions);
        QCOMPARE(configurators::offeredOptions(meter(row.picks), row.field), row.values);
    }

    void rowsAndChecksOfEachMeter_data() { tableRows(kMeters); }
    void rowsAndChecksOfEachMeter()
    {
        ORX_ROW(kMeters);
        const FlowMeterChoice choice = meter(row.picks);
        QString shown;
        for (int field : {401, 404, 405, 406, 409, 415, 416, 417, 418, 419, 420, 421})
            shown +=
                isRowShown(choice, LmfField(field)) ? QString::number(field) + QLatin1Char(' ') : QString();
        for (LmfField field : {lfIndication, lfCurrentOutput}) {
            const std::optional<bool> check = forcedCheck(choice, field);
            shown += check ? QString::number(int(*check)) : QStringLiteral("-");
        }
        const QString expected = QString::fromUtf8(row.rows) + QString::fromUtf8(row.checks) +
                                 QStringLiteral("|Диапазон диаметров для ") + QString::fromUtf8(row.note);
        QCOMPARE((shown + QLatin1Char('|') + diameterRangeNote(choice)).left(expected.size()), expected);
    }

    void pulseWeightRange_data() { tableRows(kWeights); }
    // A chosen diameter the table lacks is a fault of the table: reported.
    void pulseWeightRange()
    {
        ORX_ROW(kWeights);
        orxtest::MessageCapture capture;
        const FlowMeterChoice choice = meter(row.picks);
        const QString note = pulseWeightNote(choice, rangeU(choice));
        QVERIFY2(note.endsWith(QString::fromUtf8(row.note) +
                               (note.size() > 40 ? QStringLiteral("л/имп.") : QString())),
                 qPrintable(note));
        QCOMPARE(capture.count(), 0);
        QVERIFY(rangeU(choice, [](int, int, int) { return LmfPulseWeightRange(); }).isEmpty());
        QCOMPARE(capture.conditions().join(QString()),
                 QLatin1String(choice.dn != vdnEmpty && choice.form != -1 ? "dn == vdnEmpty" : ""));
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
                            QVERIFY2(
                                r.minimum > 0 && r.minimum <= r.factory && r.factory <= r.maximum &&
                                    qFuzzyCompare(r.maximum, lmfIsBSeries(series) ? 100 : 10 * r.minimum),
                                QByteArray::number(dn) + " " + QByteArray::number(series));
                            ++checked;
                        }
        QCOMPARE(checked, 316);
        QCOMPARE(capture.count(), 0);
        // Bodies not made have no row.
        QVERIFY(lmfPulseWeightRange(2000, 2, 1300).isEmpty() && lmfPulseWeightRange(1000, 1, 1301).isEmpty());
    }

    void followedPulseWeight_data() { tableRows(kFollowed); }
    void followedPulseWeight()
    {
        ORX_ROW(kFollowed);
        QCOMPARE(row.outcome, QString::fromUtf8(row.expected));
    }

    void designations_data() { tableRows(kDesignations); }
    void designations()
    {
        ORX_ROW(kDesignations);
        QCOMPARE(row.designation, QString::fromUtf8(row.expected));
    }
};

ORX_CORE_TEST_MAIN(TestConfigurators)
#include "tst_configurators.moc"
