// The flow meter configurator driven as a user drives it: options chosen in the
// combos, radio rows and check boxes; the offered options, the pulse weight and
// the designation read from the form; the document saved and opened again.

#include "documents/doc.h"
#include "formhost.h"
#include "forms/flowmeterchild.h"
#include "framework/radioarea.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace common;

namespace {

const QString kMissing = QStringLiteral("Не заполнены входные данные");
const QString kZeroRange = QStringLiteral("Не удалось определить диапазон веса импульса. Вероятно, ошибка в "
                                          "программе. Обратитесь к разработчику.");

// One user action: a field and the value chosen in it (item data, radio id,
// 0/1 for a check box).
struct Step
{
    int field;
    int value;
};
using Steps = QVector<Step>;

// The main window's way of holding a form, put up with every form added.
struct Host : orxtest::FormHost
{
    FlowMeterChild* form;
    explicit Host(FlowMeterChild* f = new FlowMeterChild) : FormHost(ShowOnAdd), form(add(f)) {}
};

bool apply(FlowMeterChild* form, const Step& step)
{
    const auto field = qint16(step.field);
    if (Doc::type(field) == fkCombo) {
        form->ctrl<QSmartComboBox>(field)->setCurrentByData(step.value);
        return form->intComboValue(field, -1) == step.value;
    }
    if (Doc::type(field) == fkRadio)
        form->ctrl<RadioArea>(field)->setCheckedId(step.value);
    else
        form->ctrl<QCheckBox>(field)->setChecked(step.value != 0);
    return form->intValue(field) == step.value;
}

// Empty when every step's value was offered; otherwise the refused step.
QString applyAll(FlowMeterChild* form, const Steps& steps)
{
    for (const Step& step : steps)
        if (!apply(form, step))
            return QStringLiteral("%1 not offered in %2").arg(step.value).arg(step.field);
    return QString();
}

QList<int> offered(FlowMeterChild* form, int field)
{
    return orxtest::itemData(form->ctrl<QComboBox>(qint16(field)));
}

// What the results area shows: the designation or the message in its place.
QString resultText(FlowMeterChild* form)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->isVisible() && (label->text().startsWith(QStringLiteral("Счетчик-расходомер")) ||
                                   label->text() == kMissing || label->text() == kZeroRange))
            return label->text();
    return QStringLiteral("<no result>");
}

QPushButton* copyButton(FlowMeterChild* form)
{
    for (QPushButton* button : form->findChildren<QPushButton*>())
        if (button->isVisible() && button->toolTip() == QStringLiteral("Копировать наименование устройства"))
            return button;
    return nullptr;
}

QLabel* noteStartingWith(FlowMeterChild* form, const QStringList& starts)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        for (const QString& start : starts)
            if (label->text().startsWith(start))
                return label;
    return nullptr;
}

// The fields among `fields` whose row (control and caption) is shown.
QList<int> shownRows(FlowMeterChild* form, const QList<int>& fields)
{
    QList<int> shown;
    for (int field : fields)
        if (form->control(qint16(field))->isVisible() &&
            (!form->label(qint16(field)) || form->label(qint16(field))->isVisible()))
            shown << field;
    return shown;
}

// The two meters of the order examples (the ultrasonic one with the factory weight 1).
// clang-format off
const Steps kElectromagnetic{{lfType, 2}, {lfConnection, 1}, {lfDiameter, 50}, {lfStainless, 1},
    {lfFettleMaterial, 1}, {lfElectrodeMaterial, 1}, {lfPressure, 16}, {lfProtection, 67}, {lfIndication, 1},
    {lfCurrentOutput, 0}, {lfInterface, 232}, {lfSeries, 1100}, {lfAllowableError, 10}, {lfMPulseWeight, 12}};
const Steps kUltrasonic{{lfType, 1}, {lfBeamCount, 1}, {lfForm, 1}, {lfConnection, 1}, {lfDiameter, 100},
    {lfSteel, 2}, {lfPressure, 16}, {lfProtection, 67}, {lfIndication, 1}, {lfCurrentOutput, 0},
    {lfInterface, 485}, {lfSeries, 1300}, {lfAllowableError, 10}, {lfSupplyVoltage, 2}};
// clang-format on
const QString kElectromagneticDesignation =
    QStringLiteral("Счетчик-расходомер электромагнитный ЛМФ-М-50Фнж-Фт-С-16-67-И-000-232-1100-10-12");

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

// A form whose pulse weight table lacks the row of DN 100.
class GappedTableForm : public FlowMeterChild
{
protected:
    LmfPulseWeightRange pulseWeightRange(int dn, int form, int series) const override
    {
        return dn == 100 ? LmfPulseWeightRange() : FlowMeterChild::pulseWeightRange(dn, form, series);
    }
};

} // namespace

Q_DECLARE_METATYPE(Steps)

class TestFlowMeterChild : public QObject
{
    Q_OBJECT

private slots:
    void codesAndNames()
    {
        QStringList dns;
        for (int code : {10015, 10020, 10025, 10032, 10040, 51, 52, 2000})
            dns << lmfDnName(code);
        QCOMPARE(dns.join(QLatin1Char(' ')),
                 QStringLiteral("G\u00BEB G1B G1\u00BCB G1\u00BDB G2B 50/1 50/2 2000"));
        QCOMPARE(interfaceName(100) + interfaceName(100, true), QStringLiteral("Отсутствует000"));
        QCOMPARE(electrodeMaterialName(2), QStringLiteral("Т ‒ титан (Тi)"));
        QCOMPARE(lmfTemperatureTypeName(1, true), QStringLiteral("C")); // Latin
    }

    void valueOutsideATableIsUnknown_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("value");
        const int count = int(std::size(kNameFunctions));
        for (int i = 0; i < count; ++i)
            QTest::newRow(kNameFunctions[i].name) << i << 3333;
        QTest::newRow("lmfDnName of no diameter") << count - 1 << 0;
    }

    void valueOutsideATableIsUnknown()
    {
        QFETCH(int, function);
        QFETCH(int, value);
        orxtest::MessageCapture capture;
        QCOMPARE(kNameFunctions[function].call(value), QStringLiteral("Неизвестно"));
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().contains(QLatin1String(kNameFunctions[function].name) +
                                                      QStringLiteral("()")));
    }

    void designations_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<double>("weight"); // typed into the ultrasonic pulse weight; 0: none typed
        QTest::addColumn<QString>("designation");
        const auto ultrasonic = [](int dn, const char* weight) {
            return QStringLiteral(
                       "Счетчик-расходомер ультразвуковой ЛМФ-У-%1-П-16-67-И-000-485-1300-10-%2-24")
                .arg(dn)
                .arg(QLatin1String(weight));
        };
        const Steps typed{{lfStandardPulseWeight, 0}};
        QTest::newRow("electromagnetic example") << kElectromagnetic << 0.0 << kElectromagneticDesignation;
        QTest::newRow("ultrasonic example") << kUltrasonic << 0.0 << ultrasonic(100, "1,0");
        QTest::newRow("weight 0.25 written 0,25")
            << kUltrasonic + Steps{{lfDiameter, 50}} + typed << 0.25 << ultrasonic(50, "0,25");
        QTest::newRow("weight 12.5 written 12,5")
            << kUltrasonic + Steps{{lfDiameter, 400}} + typed << 12.5 << ultrasonic(400, "12,5");
        QTest::newRow("weight 10 written 10,0")
            << kUltrasonic + Steps{{lfDiameter, 300}} + typed << 10.0 << ultrasonic(300, "10,0");
        QTest::newRow("weight 100 written 100")
            << kUltrasonic + Steps{{lfDiameter, 400}} + typed << 100.0 << ultrasonic(400, "100");
        QTest::newRow("weld-on stainless")
            << kUltrasonic + Steps{{lfSteel, 1}, {lfConnection, 2}, {lfDiameter, 200}} << 0.0
            << QStringLiteral(
                   "Счетчик-расходомер ультразвуковой ЛМФ-У-200БФ-Пнж-16-67-И-000-485-1300-10-5,0-24");
        QTest::newRow("two-beam, high temperature")
            << Steps{{lfBeamCount, 2},   {lfDiameter, 500},      {lfHighTemperature, 1}, {lfPressure, 63},
                     {lfProtection, 68}, {lfTemperatureType, 2}, {lfSeries, 2500}}
            << 0.0
            << QStringLiteral(
                   "Счетчик-расходомер ультразвуковой ЛМФ-У-2-500-ПHT-63-68-L-О-420-485-2500-05-20,0-24");
        QTest::newRow("cross body, Б series")
            << Steps{{lfForm, 4}, {lfDiameter, 52}, {lfPressure, 25}, {lfProtection, 65}, {lfSeries, 2301}}
            << 0.0
            << QStringLiteral(
                   "Счетчик-расходомер ультразвуковой ЛМФ-У-50/2-К-25-65-И-000-485-2300Б-20-0,2-00");
        QTest::newRow("electromagnetic wafer, default weight")
            << Steps{{lfType, 2},           {lfConnection, 4},        {lfDiameter, 80},
                     {lfFettleMaterial, 2}, {lfElectrodeMaterial, 4}, {lfPressure, 40},
                     {lfProtection, 68},    {lfSeries, 2000}}
            << 0.0
            << QStringLiteral("Счетчик-расходомер электромагнитный ЛМФ-М-80С-У-L-40-68-О-000-232-2000-20-11");
        QTest::newRow("electromagnetic threaded, Ethernet")
            << Steps{{lfType, 2},        {lfConnection, 3},  {lfDiameter, 10025}, {lfElectrodeMaterial, 3},
                     {lfPressure, 25},   {lfProtection, 67}, {lfIndication, 1},   {lfCurrentOutput, 1},
                     {lfInterface, 500}, {lfSeries, 2300}}
            << 0.0
            << QStringLiteral(
                   "Счетчик-расходомер электромагнитный ЛМФ-М-G1\u00BCB-Фт-Х-25-67-И-420-Eth-2300-05-10");
    }

    void designations()
    {
        QFETCH(Steps, steps);
        QFETCH(double, weight);
        QFETCH(QString, designation);
        orxtest::MessageCapture capture;
        Host host;
        QCOMPARE(applyAll(host.form, steps), QString());
        if (weight > 0)
            host.form->ctrl<QDoubleSpinBox>(lfPulseWeight)->setValue(weight);
        QCOMPARE(resultText(host.form), designation);
        QVERIFY(copyButton(host.form));
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(copyButton(host.form), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), designation);
        QCOMPARE(capture.count(), 0);
    }

    void optionListsPerRule_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<int>("field");
        QTest::addColumn<QList<int>>("values");
        const QList<int> threads{10015, 10020, 10025, 10032, 10040};
        const Steps em{{lfType, 2}};
        const Steps twoBeam{{lfBeamCount, 2}};
        const Steps narrowed{{lfForm, 2}};
        const auto row = [](const char* name, const Steps& steps, int field, const QList<int>& values) {
            QTest::newRow(name) << steps << field << values;
        };
        row("forms one-beam", {}, lfForm, {1, 2, 4});
        row("forms two-beam", twoBeam, lfForm, {1});
        row("connections straight", {}, lfConnection, {1, 2});
        row("connections narrowed", narrowed, lfConnection, {1, 3});
        row("connections electromagnetic", em, lfConnection, {1, 4, 3});
        row("threaded electromagnetic", em + Steps{{lfConnection, 3}}, lfDiameter, threads);
        row("threaded narrowed", narrowed + Steps{{lfConnection, 3}}, lfDiameter, threads);
        row("one-beam straight", {}, lfDiameter, lmfStandardDns(40, 600).toList());
        row("two-beam straight", twoBeam, lfDiameter, lmfStandardDns(50, 2000).toList());
        row("one-beam weld-on", {{lfConnection, 2}}, lfDiameter, lmfStandardDns(200, 600).toList());
        row("two-beam weld-on", twoBeam + Steps{{lfConnection, 2}}, lfDiameter,
            lmfStandardDns(200, 2000).toList());
        row("narrowed", narrowed, lfDiameter, lmfStandardDns(15, 100).toList());
        row("cross", {{lfForm, 4}}, lfDiameter, {51, 52});
        row("electromagnetic flanged", em, lfDiameter, lmfStandardDns(15, 200).toList());
        row("electromagnetic wafer", em + Steps{{lfConnection, 4}}, lfDiameter,
            lmfStandardDns(15, 100).toList());
        row("pressures ultrasonic G1B", narrowed + Steps{{lfConnection, 3}, {lfDiameter, 10020}}, lfPressure,
            {16, 25});
        row("pressures ultrasonic DN 100", {{lfDiameter, 100}}, lfPressure, {16, 25, 40, 63});
        row("pressures electromagnetic DN 15", em + Steps{{lfDiameter, 15}}, lfPressure, {16, 25, 40});
        row("protection straight", {}, lfProtection, {67, 68});
        row("protection narrowed DN 15", narrowed + Steps{{lfDiameter, 15}}, lfProtection, {65, 67});
        row("protection narrowed DN 50", narrowed + Steps{{lfDiameter, 50}}, lfProtection, {65, 67, 68});
        row("series electromagnetic", em, lfSeries, {1000, 1100, 1300, 2000, 2100, 2300});
        row("series one-beam", {}, lfSeries, {1300, 1301, 2300, 2301});
        row("series two-beam", twoBeam, lfSeries, {1300, 1500, 2300, 2500});
        row("error electromagnetic 1000", em + Steps{{lfSeries, 1000}}, lfAllowableError, {20});
        row("error electromagnetic 2100", em + Steps{{lfSeries, 2100}}, lfAllowableError, {10});
        row("error electromagnetic 1300", em + Steps{{lfSeries, 1300}}, lfAllowableError, {5});
        row("error two-beam 1500", twoBeam + Steps{{lfSeries, 1500}}, lfAllowableError, {5});
        row("error two-beam 2300", twoBeam + Steps{{lfSeries, 2300}}, lfAllowableError, {10});
        row("error one-beam 1300", {{lfSeries, 1300}}, lfAllowableError, {10, 20});
        row("error one-beam 2301", {{lfSeries, 2301}}, lfAllowableError, {20});
        row("interface one-beam", {}, lfInterface, {232});
        row("interface one-beam indicating", {{lfIndication, 1}}, lfInterface, {485});
        row("interface Б series", {{lfSeries, 1301}}, lfInterface, {485});
        row("interface two-beam", twoBeam, lfInterface, {485});
        row("interface electromagnetic", em, lfInterface, {232});
        row("interface electromagnetic indicating", em + Steps{{lfIndication, 1}}, lfInterface,
            {232, 485, 500});
        row("supply two-beam", twoBeam, lfSupplyVoltage, {2});
        row("supply one-beam 2300", {{lfSeries, 2300}}, lfSupplyVoltage, {2});
        row("supply one-beam 1301", {{lfSeries, 1301}}, lfSupplyVoltage, {1});
        row("weights DN 32", em + Steps{{lfDiameter, 32}}, lfMPulseWeight, {10, 11, 12, 13});
        row("weights G2B", em + Steps{{lfConnection, 3}, {lfDiameter, 10040}}, lfMPulseWeight, {11, 12, 13});
        row("weights DN 125", em + Steps{{lfDiameter, 125}}, lfMPulseWeight, {12, 13, 14});
    }

    void optionListsPerRule()
    {
        QFETCH(Steps, steps);
        QFETCH(int, field);
        QFETCH(QList<int>, values);
        Host host;
        QCOMPARE(applyAll(host.form, steps), QString());
        QCOMPARE(offered(host.form, field), values);
        // A single option is the choice.
        if (values.size() == 1)
            QCOMPARE(host.form->intComboValue(qint16(field), -1), values.first());
    }

    void switchingToTwoBeamsThenElectromagnetic()
    {
        Host host;
        FlowMeterChild* form = host.form;
        QCOMPARE(applyAll(form, {{lfDiameter, 100}, {lfCurrentOutput, 1}, {lfSeries, 2301}}), QString());
        QLabel* note = noteStartingWith(form, {QStringLiteral("Диапазон")});
        QCOMPARE(note->text(), QStringLiteral("Диапазон диаметров для однолучевых счетчиков -\n15-600 мм"));
        // The Б series indicate and have no current output.
        QVERIFY(!form->control(lfIndication)->isEnabled() && form->intValue(lfIndication) == 1);
        QVERIFY(!form->control(lfCurrentOutput)->isEnabled() && form->intValue(lfCurrentOutput) == 0);
        const QList<int> rows{401, 404, 405, 406, 409, 415, 416, 417, 418, 419, 420, 421};
        QCOMPARE(shownRows(form, rows), (QList<int>{401, 404, 405, 415, 417, 418}));

        QVERIFY(apply(form, {lfBeamCount, 2}));
        QCOMPARE(form->intComboValue(lfDiameter, -1), 100);
        QCOMPARE(note->text(), QStringLiteral("Диапазон диаметров для двухлучевых счетчиков -\n50-2000 мм"));
        QVERIFY(!form->control(lfCurrentOutput)->isEnabled() && form->intValue(lfCurrentOutput) == 1);
        QVERIFY(form->control(lfIndication)->isEnabled());
        QCOMPARE(shownRows(form, rows), (QList<int>{401, 404, 405, 406, 409, 415, 417, 418}));

        QVERIFY(apply(form, {lfType, 2}));
        QVERIFY(!note->isVisible());
        QCOMPARE(shownRows(form, rows), (QList<int>{416, 419, 420, 421}));
    }

    // The two measuring principles and the beam counts show different rows, whose
    // captions and options differ in length; the caption and option columns keep
    // their widths, so no control moves sideways when a row comes or goes.
    void columnsKeepTheirPlace_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::newRow("ultrasonic to electromagnetic") << Steps{{lfType, 2}};
        QTest::newRow("one beam to two beams") << Steps{{lfBeamCount, 2}};
        QTest::newRow("electromagnetic and back") << Steps{{lfType, 2}, {lfType, 1}};
        QTest::newRow("electromagnetic example") << kElectromagnetic;
    }

    void columnsKeepTheirPlace()
    {
        QFETCH(Steps, steps);
        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(host.form));
        QWidget* typeCombo = host.form->control(lfType);
        const QRect before = typeCombo->geometry();
        QCOMPARE(applyAll(host.form, steps), QString());
        QApplication::sendPostedEvents();
        QCOMPARE(typeCombo->geometry(), before);
    }

    void ultrasonicPulseWeightFollowsTheRange()
    {
        Host host;
        FlowMeterChild* form = host.form;
        auto* weight = form->ctrl<QDoubleSpinBox>(lfPulseWeight);
        QVERIFY(form->intValue(lfStandardPulseWeight) == 1 && !weight->isEnabled());
        QVERIFY(apply(form, {lfStandardPulseWeight, 0}));
        QLabel* note = noteStartingWith(form, {QStringLiteral("Укажите"), QStringLiteral("Допустимы")});
        QCOMPARE(note->text(), QStringLiteral("Укажите, пожалуйста, диаметр"));

        QCOMPARE(applyAll(form, kUltrasonic), QString());
        QVERIFY(weight->isEnabled() && note->isVisible());
        QCOMPARE(note->text(),
                 QStringLiteral("Допустимы значения от 0.8 до 8 л/имп.\nЗаводская установка - 1 л/имп."));
        weight->setValue(2.5);
        QVERIFY(apply(form, {lfProtection, 68})); // does not select the range
        QCOMPARE(weight->value(), 2.5);
        QVERIFY(apply(form, {lfDiameter, 400}));
        QCOMPARE(weight->value(), 15.0);
        QCOMPARE(note->text(),
                 QStringLiteral("Допустимы значения от 12.5 до 125 л/имп.\nЗаводская установка - 15 л/имп."));
        weight->setValue(100);
        QVERIFY(apply(form, {lfSeries, 1301}));
        QCOMPARE(weight->value(), 15.0);
        QCOMPARE(weight->maximum(), 100.0);
        weight->setValue(40);
        // The standard weight is the factory weight.
        QVERIFY(apply(form, {lfStandardPulseWeight, 1}));
        QVERIFY(!note->isVisible() && !weight->isEnabled());
        QVERIFY(form->copyText().endsWith(QStringLiteral("-1300Б-20-15,0-00")));
        QCOMPARE(
            applyAll(form, {{lfForm, 2}, {lfDiameter, 20}, {lfStandardPulseWeight, 0}, {lfSeries, 2300}}),
            QString());
        QCOMPARE(
            note->text(),
            QStringLiteral("Допустимы значения от 0.015 до 0.15 л/имп.\nЗаводская установка - 0.1 л/имп."));
    }

    void electromagneticPulseWeightDefaultsToTheSmallest()
    {
        Host host;
        FlowMeterChild* form = host.form;
        // Switching from an ultrasonic meter of the same diameter and series gives the default.
        QCOMPARE(applyAll(form, {{lfDiameter, 50}, {lfSeries, 1300}, {lfType, 2}}), QString());
        QCOMPARE(form->intComboValue(lfMPulseWeight, -1), 11);
        QCOMPARE(applyAll(form, {{lfMPulseWeight, 13}, {lfPressure, 40}, {lfConnection, 4}}), QString());
        QCOMPARE(form->intComboValue(lfMPulseWeight, -1), 13);
        // The choices that select the weight bring the default back; others keep it.
        const QList<QPair<Step, int>> changes{
            {{lfSeries, 2100}, 11}, {{lfDiameter, 65}, 11}, {{lfDiameter, 25}, 10}, {{lfConnection, 1}, 13}};
        for (const auto& change : changes) {
            QVERIFY(apply(form, {lfMPulseWeight, 13}));
            QVERIFY(apply(form, change.first));
            QCOMPARE(form->intComboValue(lfMPulseWeight, -1), change.second);
        }
        QVERIFY(apply(form, {lfDiameter, 150}));
        QCOMPARE(form->intComboValue(lfMPulseWeight, -1), 12);
    }

    // Every diameter, form, connection, beam count and series offered to an
    // ultrasonic meter has a range of the table's kind; none shows the
    // zero-range message.
    void everyOfferedUltrasonicMeterHasARange()
    {
        orxtest::MessageCapture capture;
        Host host;
        FlowMeterChild* form = host.form;
        const auto choose = [form](int field, int value, int next) {
            apply(form, {field, value});
            return offered(form, next);
        };
        int checked = 0;
        for (int beams : {1, 2})
            for (int f : choose(lfBeamCount, beams, lfForm))
                for (int connection : choose(lfForm, f, lfConnection))
                    for (int dn : choose(lfConnection, connection, lfDiameter))
                        for (int series : choose(lfDiameter, dn, lfSeries)) {
                            QVERIFY(apply(form, {lfSeries, series}));
                            const LmfPulseWeightRange r = form->rangeU();
                            const QByteArray where =
                                QByteArray::number(beams) + " beams, form " + QByteArray::number(f) +
                                ", DN " + QByteArray::number(dn) + ", series " + QByteArray::number(series);
                            QVERIFY2(r.minimum > 0 && r.minimum <= r.factory && r.factory <= r.maximum,
                                     where);
                            QVERIFY2(qFuzzyCompare(r.maximum, lmfIsBSeries(series) ? 100 : 10 * r.minimum),
                                     where);
                            QVERIFY2(resultText(form) != kZeroRange, where);
                            ++checked;
                        }
        QCOMPARE(checked, 316);
        QCOMPARE(capture.count(), 0);
        // The rows that are written down for the maker's meters; bodies not made have none.
        QCOMPARE(lmfPulseWeightRange(10020, 2, 1300).minimum, 0.015);
        QCOMPARE(lmfPulseWeightRange(65, 2, 2301).minimum, 0.05);
        QVERIFY(lmfPulseWeightRange(2000, 2, 1300).isEmpty() && lmfPulseWeightRange(1000, 1, 1301).isEmpty());
        // Larger bores never take smaller weights.
        for (int f : {1, 2})
            for (int series : {1300, 1301}) {
                double previous = 0;
                for (int dn : lmfStandardDns())
                    if (!lmfPulseWeightRange(dn, f, series).isEmpty()) {
                        QVERIFY(lmfPulseWeightRange(dn, f, series).minimum >= previous);
                        previous = lmfPulseWeightRange(dn, f, series).minimum;
                    }
            }
    }

    void diameterWithoutARowShowsTheZeroRangeMessage()
    {
        orxtest::MessageCapture capture;
        Host host(new GappedTableForm);
        FlowMeterChild* form = host.form;
        QCOMPARE(applyAll(form, kUltrasonic), QString());
        QCOMPARE(resultText(form), kZeroRange);
        QVERIFY(!copyButton(form) && form->copyText().isEmpty());
        QVERIFY(capture.assertions().first().contains(QStringLiteral("rangeU(), row")));
        QVERIFY(capture.assertions().first().endsWith(QStringLiteral("dn == vdnEmpty")));
        capture.clear();
        QVERIFY(apply(form, {lfDiameter, 125}));
        QVERIFY(copyButton(form));
        QCOMPARE(capture.count(), 0);
    }

    void missingChoicesStopTheDesignation()
    {
        orxtest::MessageCapture capture;
        Host host;
        FlowMeterChild* form = host.form;
        QCOMPARE(resultText(form), kMissing);
        Steps steps = kElectromagnetic;
        steps.erase(
            std::remove_if(steps.begin(), steps.end(), [](const Step& s) { return s.field == lfSeries; }),
            steps.end());
        QCOMPARE(applyAll(form, steps), QStringLiteral("10 not offered in 414")); // no series, no error class
        QCOMPARE(resultText(form), kMissing);
        QVERIFY(!copyButton(form) && form->copyText().isEmpty());
        QCOMPARE(applyAll(form, {{lfSeries, 1100}, {lfMPulseWeight, 12}}), QString());
        // The ultrasonic supply was never chosen: hidden, it does not count.
        QCOMPARE(form->intComboValue(lfSupplyVoltage, -1), -1);
        QCOMPARE(resultText(form), kElectromagneticDesignation);
        form->ctrl<QComboBox>(lfProtection)->setCurrentIndex(-1);
        QCOMPARE(resultText(form), kMissing);
        QCOMPARE(capture.count(), 0);
    }

    void savedDocumentReopensTheSame_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<double>("weight"); // 0: the factory weight
        QTest::newRow("electromagnetic example") << kElectromagnetic << 0.0;
        QTest::newRow("ultrasonic typed weight") << kUltrasonic + Steps{{lfStandardPulseWeight, 0}} << 2.5;
        QTest::newRow("two-beam typed weight")
            << Steps{{lfBeamCount, 2},       {lfDiameter, 1200}, {lfSteel, 1},
                     {lfHighTemperature, 1}, {lfPressure, 40},   {lfProtection, 67},
                     {lfTemperatureType, 1}, {lfSeries, 1500},   {lfStandardPulseWeight, 0}}
            << 777.0;
        // No diameter, series, error class: stored as null values.
        QTest::newRow("choices missing") << Steps{{lfType, 2}, {lfConnection, 4}} << 0.0;
        QTest::newRow("nothing chosen") << Steps{} << 0.0;
    }

    void savedDocumentReopensTheSame()
    {
        QFETCH(Steps, steps);
        QFETCH(double, weight);
        orxtest::MessageCapture capture;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Расходомер.orx"));
        Host host;
        FlowMeterChild* form = host.form;
        QCOMPARE(applyAll(form, steps), QString());
        if (weight > 0)
            form->ctrl<QDoubleSpinBox>(lfPulseWeight)->setValue(weight);
        const QString shown = resultText(form);
        QVERIFY(form->saveToFile(file));

        Doc doc;
        QVERIFY(Doc::loadFromFile(file, doc));
        FlowMeterChild* reopened = host.add(new FlowMeterChild(&doc));
        QVERIFY(!reopened->isModified());
        QCOMPARE(resultText(reopened), shown);
        QCOMPARE(reopened->copyText(), form->copyText());
        QCOMPARE(reopened->doubleValue(lfPulseWeight), form->doubleValue(lfPulseWeight));
        for (const DocKey& key : form->controlKeys()) {
            if (key.fieldCode == lfPulseWeight)
                continue;
            QVERIFY2(reopened->intValue(key) == form->intValue(key),
                     qPrintable(QString::number(key.fieldCode)));
            if (Doc::isCombo(key.fieldCode) && form->control(key)->isVisibleTo(form))
                QCOMPARE(offered(reopened, key.fieldCode), offered(form, key.fieldCode));
        }
        // Choices go on from there as in a new document.
        if (steps.isEmpty()) {
            QCOMPARE(applyAll(reopened, kElectromagnetic), QString());
            QCOMPARE(resultText(reopened), kElectromagneticDesignation);
        }
        QCOMPARE(capture.count(), 0);
    }
};

ORX_GUI_TEST_MAIN(TestFlowMeterChild)
#include "tst_flowmeterchild.moc"
