// The flow meter configurator driven as a user drives it: options chosen in the
// combos, radio rows and check boxes; the offered options, the pulse weight and
// the designation read from the form; the document saved and opened again.

#include "configurators/flowmeterconfig.h"
#include "documents/doc.h"
#include "formhost.h"
#include "forms/flowmeterchild.h"
#include "framework/radioarea.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace common;
using namespace configurators;

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
    // The form hands its choices to the rules and shows their answers: the
    // options of every shown combo, the designation and its copy button. Rows
    // come and go, yet the controls keep their column.
    void showsWhatTheRulesAnswer_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QString>("designation");
        QTest::newRow("new meter: not filled in") << Steps{} << kMissing;
        QTest::newRow("electromagnetic example") << kElectromagnetic << kElectromagneticDesignation;
        QTest::newRow("no series: not filled in") << kElectromagnetic.mid(0, 11) << kMissing;
        QTest::newRow("two-beam, high temperature")
            << Steps{{lfBeamCount, 2},   {lfDiameter, 500},      {lfHighTemperature, 1}, {lfPressure, 63},
                     {lfProtection, 68}, {lfTemperatureType, 2}, {lfSeries, 2500}}
            << QStringLiteral(
                   "Счетчик-расходомер ультразвуковой ЛМФ-У-2-500-ПHT-63-68-L-О-420-485-2500-05-20,0-24");
    }

    void showsWhatTheRulesAnswer()
    {
        QFETCH(Steps, steps);
        QFETCH(QString, designation);
        orxtest::MessageCapture capture;
        Host host;
        FlowMeterChild* form = host.form;
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const QRect typeCombo = form->control(lfType)->geometry();
        QCOMPARE(applyAll(form, steps), QString());
        QApplication::sendPostedEvents();
        QCOMPARE(form->control(lfType)->geometry(), typeCombo);
        const FlowMeterChoice chosen = form->choice();
        for (const DocKey& key : form->controlKeys()) {
            const auto field = LmfField(key.fieldCode);
            QWidget* control = form->control(key);
            QVERIFY2(control->isVisible() == isRowShown(chosen, field) &&
                         (!form->label(key) || form->label(key)->isVisible() == control->isVisible()),
                     QByteArray::number(field));
            if (Doc::isCombo(field) && control->isVisible())
                QVERIFY2(offered(form, field) == offeredOptions(chosen, field), QByteArray::number(field));
            const std::optional<bool> forced = forcedCheck(chosen, field);
            if (field == lfIndication || field == lfCurrentOutput)
                QVERIFY2(control->isEnabled() == !forced && (!forced || form->intValue(key) == *forced),
                         QByteArray::number(field));
        }
        QLabel* note = noteStartingWith(form, {QStringLiteral("Диапазон")});
        QCOMPARE(note->isVisible() ? note->text() : QString(),
                 chosen.isUltrasonic() ? diameterRangeNote(chosen) : QString());
        QCOMPARE(resultText(form), designation);
        QCOMPARE(copyButton(form) ? orxtest::copiedText(copyButton(form)) : kMissing, designation);
        QCOMPARE(form->copyText(), designation == kMissing ? QString() : designation);
        QCOMPARE(capture.count(), 0);
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
        QVERIFY(form->copyText().endsWith(QStringLiteral("-1300-10-2,5-24")));
        QVERIFY(apply(form, {lfDiameter, 400}));
        QCOMPARE(weight->value(), 15.0);
        weight->setValue(100);
        QVERIFY(apply(form, {lfSeries, 1301}));
        QCOMPARE(weight->value(), 15.0);
        QCOMPARE(weight->maximum(), 100.0);
        weight->setValue(40);
        // The standard weight is the factory weight.
        QVERIFY(apply(form, {lfStandardPulseWeight, 1}));
        QVERIFY(!note->isVisible() && !weight->isEnabled());
        QVERIFY(form->copyText().endsWith(QStringLiteral("-1300Б-20-15,0-00")));
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
    }

    void diameterWithoutARowShowsTheZeroRangeMessage()
    {
        orxtest::MessageCapture capture;
        Host host(new GappedTableForm);
        QCOMPARE(applyAll(host.form, kUltrasonic), QString());
        QCOMPARE(resultText(host.form), kZeroRange);
        QVERIFY(!copyButton(host.form) && host.form->copyText().isEmpty());
        QVERIFY(capture.assertions().first().endsWith(QStringLiteral("dn == vdnEmpty")));
        capture.clear();
        QVERIFY(apply(host.form, {lfDiameter, 125}));
        QVERIFY(copyButton(host.form));
        QCOMPARE(capture.count(), 0);
    }

    void savedDocumentReopensTheSame_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<double>("weight"); // 0: the factory weight
        QTest::newRow("electromagnetic example") << kElectromagnetic << 0.0;
        QTest::newRow("ultrasonic typed weight") << kUltrasonic + Steps{{lfStandardPulseWeight, 0}} << 2.5;
        // No diameter, series, error class: stored as null values.
        QTest::newRow("choices missing") << Steps{{lfType, 2}, {lfConnection, 4}} << 0.0;
        QTest::newRow("nothing chosen, then the example") << Steps{} << 0.0;
    }

    void savedDocumentReopensTheSame()
    {
        QFETCH(Steps, steps);
        QFETCH(double, weight);
        orxtest::MessageCapture capture;
        QTemporaryDir dir;
        Host host;
        FlowMeterChild* form = host.form;
        QCOMPARE(applyAll(form, steps), QString());
        if (weight > 0)
            form->ctrl<QDoubleSpinBox>(lfPulseWeight)->setValue(weight);
        const QString shown = resultText(form);
        const Doc doc = orxtest::savedAndReopened(*form, dir.filePath(QStringLiteral("Расходомер.orx")));
        FlowMeterChild* reopened = host.add(new FlowMeterChild(&doc));
        QVERIFY(!reopened->isModified());
        QCOMPARE(resultText(reopened), shown);
        QCOMPARE(reopened->copyText(), form->copyText());
        QCOMPARE(reopened->doubleValue(lfPulseWeight), form->doubleValue(lfPulseWeight));
        for (const DocKey& key : form->controlKeys()) {
            QVERIFY2(key.fieldCode == lfPulseWeight || reopened->intValue(key) == form->intValue(key),
                     QByteArray::number(key.fieldCode));
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
