// The three configurators that compose an order designation (the heating and the ventilation cabinet, the
// flow meter) driven as a user drives them: options chosen in combos, radio rows and check boxes; what the
// form offers and shows read from it; the document saved and opened again.

#include "configurators/flowmeterconfig.h"
#include "formhost.h"
#include "forms/documentwindows.h"
#include "forms/fancabinetchild.h"
#include "forms/flowmeterchild.h"
#include "framework/radioarea.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QCheckBox>
#include <QLayout>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

using namespace common;
using namespace configurators;

namespace {

using F = CabinetChild;
const int M = F::fcMainPump, R = F::fcReservePump;
const QString kZeroRange = QStringLiteral("Не удалось определить диапазон веса импульса. Вероятно, ошибка в "
                                          "программе. Обратитесь к разработчику.");
using Kind = DocType;
const Kind HeatingCabinet = docStdCabinet, FanCabinet = docFanCabinet, FlowMeter = docFlowMeter;

// One user action: the field, the value chosen in it (item data, -1 for none;
// radio id; 0/1 for a check box; a typed double in tenths), the loop (1-based).
struct Step
{
    int field;
    int value;
    int loop = 1;
};
using Steps = QVector<Step>;

DocKey key(int field, int loop = 1)
{
    return DocKey(qint16(field), qint16(loop - 1));
}

// Empty when every step's value was offered; otherwise the refused step.
QString apply(MdiChild* form, const Steps& steps)
{
    for (const Step& s : steps) {
        const DocKey k = key(s.field, s.loop);
        const FieldKind kind = Doc::type(k.fieldCode);
        if (kind == fkCombo)
            form->ctrl<QSmartComboBox>(k)->setCurrentByData(s.value);
        else if (kind == fkRadio)
            form->ctrl<RadioArea>(k)->setCheckedId(s.value);
        else if (kind == fkCheck)
            form->ctrl<QCheckBox>(k)->setChecked(s.value != 0);
        else if (auto* spin = form->ctrl<QDoubleSpinBox>(k)) {
            orxtest::typeInto(spin, QLocale().toString(s.value / 10.0));
            QTest::keyClick(spin, Qt::Key_Enter);
        }
        const double now = kind == fkCombo    ? form->intComboValue(k, -1)
                           : kind == fkDouble ? form->doubleValue(k) * 10
                                              : form->intValue(k);
        if (qRound(now) != s.value)
            return QStringLiteral("%1 not offered in %2/%3").arg(s.value).arg(s.field).arg(s.loop);
    }
    return QString();
}

QList<int> offered(MdiChild* form, int field, int loop = 1)
{
    return orxtest::itemData(form->ctrl<QComboBox>(key(field, loop)));
}

// A rich text as read, its non-breaking spaces as spaces, its word joiners unseen.
QString plain(const QString& richText)
{
    return QString(richText)
        .remove(QRegularExpression(QStringLiteral("<[^>]*>")))
        .replace(QChar::Nbsp, QLatin1Char(' '))
        .remove(QChar(0x2060));
}

// The designation or the message shown ("missing" for the one of empty fields, with the fields it names;
// "refused" with what the refusal names; "no weight range" for the other); " +copy" when the copy button and
// copyText() give that designation; then "; told: " and the line of a value the form changed itself.
QString results(MdiChild* form)
{
    QString shown = QStringLiteral("<none>");
    QString told;
    for (QLabel* label : form->findChildren<QLabel*>()) {
        const QString text = label->text();
        if (!label->isVisible())
            continue;
        if (text.startsWith(QStringLiteral("ЛМШ-")) || text.startsWith(QStringLiteral("Счетчик-расходомер")))
            shown = text;
        else if (text == orxtest::emptyFields)
            shown = QStringLiteral("missing");
        else if (text.startsWith(QStringLiteral("Пустые поля: ")))
            shown = QStringLiteral("missing: ") + plain(text.mid(13));
        else if (text.startsWith(QStringLiteral("Недопустимые входные данные:<br>")))
            shown = QStringLiteral("refused: ") + plain(text.section(QStringLiteral("<br>"), 1));
        else if (text == kZeroRange)
            shown = QStringLiteral("no weight range");
        else if (label->accessibleDescription() == QStringLiteral("изменено программой"))
            told += QStringLiteral("; told: ") + plain(text);
    }
    QString copied = form->copyText();
    for (QPushButton* button : form->findChildren<QPushButton*>())
        if (button->isVisible() && button->toolTip() == QStringLiteral("Копировать наименование устройства"))
            copied += QLatin1Char('|') + orxtest::copiedText(button);
    return (copied == shown + QLatin1Char('|') + shown ? shown + QStringLiteral(" +copy")
            : copied.isEmpty()                         ? shown
                                                       : shown + QStringLiteral(" copied ") + copied) +
           told;
}

// Every control's value, options and visibility, one control a line.
QString controls(MdiChild* form)
{
    QStringList lines;
    for (const DocKey& k : form->controlKeys()) {
        QWidget* control = form->control(k);
        auto* combo = qobject_cast<QComboBox*>(control);
        QStringList options;
        for (int value : combo ? orxtest::itemData(combo) : QList<int>())
            options << QString::number(value);
        lines << QStringLiteral("%1/%2 = %3 of %4%5")
                     .arg(k.fieldCode)
                     .arg(k.index)
                     .arg(Doc::type(k.fieldCode) == fkDouble ? form->doubleValue(k) : form->intValue(k))
                     .arg(options.join(QLatin1Char(',')))
                     .arg(control->isVisibleTo(form) ? QString() : QStringLiteral(" hidden"));
    }
    return lines.join(QLatin1Char('\n'));
}

// The first option of a shown combo that runs up to its drop-down arrow.
QString crampedOption(MdiChild* form)
{
    for (QComboBox* box : form->findChildren<QComboBox*>()) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        const QRect field =
            box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
        for (const QString& text : orxtest::itemTexts(box))
            if (box->isVisibleTo(form) &&
                box->fontMetrics().horizontalAdvance(text) + box->fontMetrics().averageCharWidth() >
                    field.width())
                return text;
    }
    return QString();
}

// The loops shown, as their numbers, and the reserve pump of loop 2: its
// options ("any" for all) and the one chosen.
QString cabinetState(MdiChild* form)
{
    QString shown;
    for (int loop = 1; loop <= 9; ++loop) {
        bool visible = true;
        for (QLabel* label : form->findChildren<QLabel*>())
            visible &= label->text() != QStringLiteral("Контур %1").arg(loop) || label->isVisible();
        for (int field : {int(F::fcLoopType), M, R})
            visible &=
                form->control(key(field, loop))->isVisible() && form->label(key(field, loop))->isVisible();
        shown += visible ? QString::number(loop) : QString();
    }
    QStringList options;
    for (int value : offered(form, R, 2))
        options << QString::number(value);
    return shown + QStringLiteral(": ") + results(form) + QStringLiteral(" | ") +
           (options.size() == 10 ? QStringLiteral("any") : options.join(QLatin1Char(','))) +
           QStringLiteral("=%1").arg(form->intComboValue(key(R, 2), -1));
}

// Two loops (heating, hot water), no power reserve, main pumps 4 and 2, reserve pumps 4 and 0, RS-485.
// clang-format off
const Steps kTwoLoops{{F::fcLoopCount, 2}, {F::fcPowerReserve, 1}, {F::fcLoopType, 1}, {F::fcLoopType, 2, 2},
    {M, 4}, {M, 2, 2}, {R, 4}, {R, 0, 2}, {F::fcInterface, 2}};

// One heating cabinet, step after step: the loops shown, the results, the
// reserve pump of loop 2, which follows its main pump.
const struct { const char *name, *expected; Steps steps; } kCabinetSteps[] = {
    {"new: nothing assumed, every empty combo named", "1: missing: Резервирование питания, Тип контура, Основной насос, Резервный насос | any=-1", {}},
    {"every choice but a reserve pump: none assumed, the loop named", "12: missing: Контур 2: Резервный насос | 0,2=-1", kTwoLoops.mid(0, 7)},
    {"the interface is offered as RS-485", "12: ЛМШ-1-12-44.20-2-220-IP54 +copy | 0,2=0", {{R, 0, 2}}},
    {"a third loop", "123: ЛМШ-1-124-44.20.55-2-220-IP54 +copy | 0,2=0", {{F::fcLoopCount, 3}, {F::fcLoopType, 4, 3}, {M, 5, 3}, {R, 5, 3}}},
    {"one loop: the others hidden", "1: ЛМШ-1-1-44-2-220-IP54 +copy | 0,2=0", {{F::fcLoopCount, 1}}},
    {"unchosen in a hidden loop: no matter", "12: ЛМШ-1-12-44.20-2-220-IP54 +copy | 0,2=0", {{F::fcLoopCount, 2}, {F::fcLoopType, -1, 3}}},
    {"shown again: the loop named", "123: missing: Контур 3: Тип контура | 0,2=0", {{F::fcLoopCount, 3}}},
    {"main 2 to 6 keeps reserve 0", "12: ЛМШ-1-12-44.60-2-220-IP54 +copy | 0,6=0", {{F::fcLoopCount, 2}, {M, 6, 2}}},
    {"main 6 to 4 moves reserve 6 to 4", "12: ЛМШ-1-12-44.44-2-220-IP54 +copy | 0,4=4", {{R, 6, 2}, {M, 4, 2}}},
    {"main 0: no reserve, chosen", "12: ЛМШ-1-12-44.00-2-220-IP54 +copy | 0=0", {{M, 0, 2}}},
    {"main taken back: every option, the choice kept", "12: missing: Контур 2: Основной насос | any=0", {{M, -1, 2}}},
};

// The two meters of the order examples (the ultrasonic one with the factory weight 1).
const Steps kElectromagnetic{{lfType, 2}, {lfConnection, 1}, {lfDiameter, 50}, {lfStainless, 1},
    {lfFettleMaterial, 1}, {lfElectrodeMaterial, 1}, {lfPressure, 16}, {lfProtection, 67}, {lfIndication, 1},
    {lfCurrentOutput, 0}, {lfInterface, 232}, {lfSeries, 1100}, {lfAllowableError, 10}, {lfMPulseWeight, 12}};
const Steps kUltrasonic{{lfType, 1}, {lfBeamCount, 1}, {lfForm, 1}, {lfConnection, 1}, {lfDiameter, 100},
    {lfSteel, 2}, {lfPressure, 16}, {lfProtection, 67}, {lfIndication, 1}, {lfCurrentOutput, 0},
    {lfInterface, 485}, {lfSeries, 1300}, {lfAllowableError, 10}, {lfSupplyVoltage, 2}};
// clang-format on
const QString kElectromagneticDesignation =
    QStringLiteral("Счетчик-расходомер электромагнитный ЛМФ-М-50Фнж-Фт-С-16-67-И-000-232-1100-10-12");

// One flow meter, step after step. Typed weights in tenths of a litre.
// clang-format off
const struct { const char *name, *expected; Steps steps; } kWeights[] = {
    {"new: the standard weight", "0 up to any standard||missing: Диаметр, Степень защиты, Серия, Погрешность, Напряжение питания", {}},
    {"typed: the note asks for the diameter", "0 up to any|Укажите, пожалуйста, диаметр|missing: Диаметр, Степень защиты, Серия, Погрешность, Напряжение питания", {{lfStandardPulseWeight, 0}}},
    {"the ultrasonic example: its range, no weight lost", "1 up to 8|от 0.8 до 8 / 1 л/имп.|1300-10-1,0-24 +copy", kUltrasonic},
    {"a diameter the weight table lacks: the message, the weight kept", "1 up to any||no weight range", {{lfDiameter, 125}}},
    {"a choice not selecting the range keeps the typed weight", "2.5 up to 8|от 0.8 до 8 / 1 л/имп.|1300-10-2,5-24 +copy", {{lfDiameter, 100}, {lfPulseWeight, 25}, {lfProtection, 68}}},
    {"typed outside the range: kept, marked, refused by name", "9.5 up to 8 marked|от 0.8 до 8 / 1 л/имп.|refused: Вес выходного импульса = 9.500 л/имп.: допустимо от 0.800 до 8.000 л/имп.", {{lfPulseWeight, 95}}},
    {"typed within again", "2.5 up to 8|от 0.8 до 8 / 1 л/имп.|1300-10-2,5-24 +copy", {{lfPulseWeight, 25}}},
    {"another diameter allowing the weight keeps it", "2.5 up to 18|от 1.8 до 18 / 2 л/имп.|1300-10-2,5-24 +copy", {{lfDiameter, 150}}},
    {"a diameter ruling the weight out: the factory weight, told", "15 up to 125|от 12.5 до 125 / 15 л/имп.|1300-10-15,0-24 +copy; told: Вес выходного импульса изменён с 2.5 на 15 л/имп.: прежний вне диапазона от 12.5 до 125 л/имп.", {{lfDiameter, 400}}},
    {"the change told once", "15 up to 125|от 12.5 до 125 / 15 л/имп.|1300-10-15,0-24 +copy", {{lfProtection, 67}}},
    {"another series allowing the weight keeps it", "100 up to 100|от 5 до 100 / 15 л/имп.|1300Б-20-100-00 +copy", {{lfPulseWeight, 1000}, {lfSeries, 1301}}},
    {"another series ruling the weight out: the factory weight, told", "15 up to 100|от 5 до 100 / 15 л/имп.|1300Б-20-15,0-00 +copy; told: Вес выходного импульса изменён с 120 на 15 л/имп.: прежний вне диапазона от 5 до 100 л/имп.", {{lfSeries, 1300}, {lfPulseWeight, 1200}, {lfSeries, 1301}}},
    {"standard again: the factory weight", "15 up to 100 standard||1300Б-20-15,0-00 +copy", {{lfPulseWeight, 400}, {lfStandardPulseWeight, 1}}},
    {"the standard weight follows the diameter without a word", "1 up to 100 standard||1300Б-20-1,0-00 +copy", {{lfDiameter, 100}}},
    {"electromagnetic, same diameter and series: the smallest", "11||485-1300-05-11 +copy", {{lfDiameter, 50}, {lfSeries, 1300}, {lfType, 2}}},
    {"choices not selecting the weight keep it", "13||485-1300-05-13 +copy", {{lfMPulseWeight, 13}, {lfPressure, 40}, {lfConnection, 4}}},
    {"another diameter offering the weight keeps it", "12||485-1300-05-12 +copy", {{lfMPulseWeight, 12}, {lfDiameter, 25}}},
    {"a diameter without the weight: its smallest, told", "11||485-1300-05-11 +copy; told: Вес выходного импульса изменён с 0,01 на 0,10 л/имп.: прежний не выпускается для диаметра 80", {{lfMPulseWeight, 10}, {lfDiameter, 80}}},
    {"two beams, high temperature", "20 up to 200 standard||2500-05-20,0-24 +copy", {{lfType, 1}, {lfBeamCount, 2}, {lfDiameter, 500}, {lfHighTemperature, 1}, {lfPressure, 63}, {lfProtection, 68}, {lfTemperatureType, 2}, {lfSeries, 2500}, {lfConnection, 1}, {lfAllowableError, 5}}},
};
// clang-format on

QLabel* labelStartingWith(MdiChild* form, const QStringList& starts)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        for (const QString& start : starts)
            if (label->text().startsWith(start))
                return label;
    return nullptr;
}

// The first field whose row, options or forced check differ from what the rules answer; else the weight and
// its box's maximum ("standard" when the box is closed; for an electromagnetic meter the combo's weight), the
// note, the designation's end.
QString flowMeterState(FlowMeterChild* form)
{
    const FlowMeterChoice chosen = form->choice();
    for (const DocKey& k : form->controlKeys()) {
        const auto field = LmfField(k.fieldCode);
        QWidget* control = form->control(k);
        const std::optional<bool> forced = forcedCheck(chosen, field);
        if (control->isVisible() != isRowShown(chosen, field) ||
            (form->label(k) && form->label(k)->isVisible() != control->isVisible()) ||
            (control->isVisible() && Doc::isCombo(field) &&
             offered(form, field) != offeredOptions(chosen, field)) ||
            ((field == lfIndication || field == lfCurrentOutput) &&
             control->isEnabled() == forced.has_value()) ||
            (forced && form->intValue(k) != *forced))
            return QStringLiteral("field %1 against the rules").arg(field);
    }
    QLabel* dnNote = labelStartingWith(form, {QStringLiteral("Диапазон")});
    if ((dnNote->isVisible() ? dnNote->text() : QString()) !=
        (chosen.isUltrasonic() ? diameterRangeNote(chosen) : QString()))
        return QStringLiteral("diameter note against the rules");
    auto* weight = form->ctrl<QSmartDoubleSpinBox>(lfPulseWeight);
    QLabel* note = labelStartingWith(form, {QStringLiteral("Укажите"), QStringLiteral("Допустимы")});
    const bool anyWeight = weight->allowedMaximum() >= QSmartDoubleSpinBox::typedLimit;
    const QString value =
        chosen.isUltrasonic()
            ? QStringLiteral("%1 up to %2")
                      .arg(weight->value())
                      .arg(anyWeight ? QStringLiteral("any") : QString::number(weight->allowedMaximum())) +
                  (weight->isEnabled() ? QString() : QStringLiteral(" standard")) +
                  (weight->isValueAllowed() ? QString() : QStringLiteral(" marked"))
            : QString::number(form->intComboValue(lfMPulseWeight, -1));
    const QString shown = note && note->isVisible() ? note->text() : QString();
    const QString result = results(form);
    const QString designation = result.section(QStringLiteral("; told: "), 0, 0);
    return value + QLatin1Char('|') +
           QString(shown)
               .remove(QStringLiteral("Допустимы значения "))
               .replace(QStringLiteral(" л/имп.\nЗаводская установка - "), QStringLiteral(" / ")) +
           QLatin1Char('|') +
           (designation.startsWith(QStringLiteral("Счетчик")) ? designation.section(QLatin1Char('-'), -4)
                                                              : designation) +
           result.mid(designation.size());
}

// Each configurator names the combos still to choose, in the order of the form.
// clang-format off
const struct { const char* name; Kind kind; Steps steps; const char* expected; } kEmptyCombos[] = {
    {"ventilation: the fan before the pump, as the form lists them", FanCabinet, {}, "missing: Вентилятор, Насос"},
    {"ventilation: one loop, no loop number", FanCabinet, {{F::fcFan, 5}}, "missing: Насос"},
    {"one heating loop: the plain captions", HeatingCabinet, {{F::fcPowerReserve, 1}, {F::fcLoopType, 1}}, "missing: Основной насос, Резервный насос"},
    {"electromagnetic, diameter chosen after: the stand-in weight not told", FlowMeter, {{lfType, 2}, {lfDiameter, 50}}, "missing: Степень защиты, Серия, Погрешность"},
    {"electromagnetic: the hidden supply of the ultrasonic meter not named", FlowMeter, kUltrasonic + Steps{{lfSeries, -1}, {lfType, 2}}, "missing: Серия, Погрешность"},
    {"ultrasonic: the weight combo of the other principle not named, form order", FlowMeter, kUltrasonic + Steps{{lfSeries, -1}}, "missing: Серия, Напряжение питания"},
};

// Each form saved and opened again after the steps.
const struct { const char* name; Kind kind; Steps steps; } kSaved[] = {
    {"cabinet: two loops", HeatingCabinet, kTwoLoops},
    // Loop 2 without reserve, loops 3 and 4 empty: stored as null values.
    {"cabinet: choices missing", HeatingCabinet, kTwoLoops.mid(0, 7) + Steps{{F::fcLoopCount, 4}}},
    {"ventilation", FanCabinet, {{F::fcFan, 5}, {M, 1}, {F::fcInterface, 1}}},
    {"flow meter example", FlowMeter, kElectromagnetic},
    {"flow meter typed weight", FlowMeter, kUltrasonic + Steps{{lfStandardPulseWeight, 0}, {lfPulseWeight, 25}}},
    {"flow meter: nothing chosen", FlowMeter, {}},
    // Opened, the weight stays and is refused again rather than replaced.
    {"flow meter weight outside its range", FlowMeter, kUltrasonic + Steps{{lfStandardPulseWeight, 0}, {lfPulseWeight, 95}}},
};
// clang-format on

// A form whose pulse weight table lacks the row of DN 125.
class GappedTableForm : public FlowMeterChild
{
protected:
    LmfPulseWeightRange pulseWeightRange(int dn, int form, int series) const override
    {
        return dn == 125 ? LmfPulseWeightRange() : FlowMeterChild::pulseWeightRange(dn, form, series);
    }
};

} // namespace

class TestDesignationForms : public QObject
{
    Q_OBJECT

private slots:
    void cabinetLoops()
    {
        orxtest::FormHost host(orxtest::FormHost::ShowOnAdd);
        MdiChild* form = host.add(createDocumentWindow(HeatingCabinet, nullptr));
        const int oneLoopHeight = form->layout()->itemAt(0)->layout()->sizeHint().height();
        for (const auto& row : kCabinetSteps) {
            QCOMPARE(apply(form, row.steps), QString());
            const QString state = cabinetState(form);
            const QString name = QString::fromUtf8(row.name) + QStringLiteral(": ");
            QCOMPARE(name + state, name + QString::fromUtf8(row.expected));
            if (state.startsWith(QLatin1String("1:")))
                QCOMPARE(form->layout()->itemAt(0)->layout()->sizeHint().height(), oneLoopHeight);
        }
    }

    // The flow meter hands its choices to the rules and shows their answers;
    // rows come and go, yet the controls keep their column.
    void flowMeterStepByStep()
    {
        orxtest::MessageCapture capture;
        orxtest::FormHost host(orxtest::FormHost::ShowOnAdd);
        auto* form = host.add(new GappedTableForm);
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const QRect typeCombo = form->control(lfType)->geometry();
        for (const auto& row : kWeights) {
            QCOMPARE(apply(form, row.steps), QString());
            QApplication::sendPostedEvents();
            const QString state = flowMeterState(form);
            const QString name = QString::fromUtf8(row.name) + QStringLiteral(": ");
            QCOMPARE(name + state, name + QString::fromUtf8(row.expected));
            QCOMPARE(form->control(lfType)->geometry(), typeCombo);
        }
        const QStringList failed = capture.conditions();
        QVERIFY(!failed.isEmpty() && failed.count(QStringLiteral("dn == vdnEmpty")) == failed.size());
    }

    void emptyCombosNamed_data() { tableRows(kEmptyCombos); }
    void emptyCombosNamed()
    {
        ORX_ROW(kEmptyCombos);
        orxtest::FormHost host(orxtest::FormHost::ShowOnAdd);
        MdiChild* form = host.add(createDocumentWindow(row.kind, nullptr));
        QCOMPARE(apply(form, row.steps), QString());
        QCOMPARE(results(form), QString::fromUtf8(row.expected));
    }

    // Under a Russian system locale the notes write their figures with a
    // decimal comma, as the number box does; the designation keeps its own.
    void flowMeterFiguresInTheSystemLocale()
    {
        const orxtest::LocaleScope russian(true);
        orxtest::FormHost host(orxtest::FormHost::ShowOnAdd);
        auto* form = host.add(new FlowMeterChild);
        QCOMPARE(apply(form, kUltrasonic + Steps{{lfStandardPulseWeight, 0}, {lfPulseWeight, 25}}),
                 QString());
        const QString typed = flowMeterState(form);
        QCOMPARE(apply(form, {{lfDiameter, 400}}), QString());
        QCOMPARE(typed + QStringLiteral(" >> ") + flowMeterState(form),
                 QStringLiteral(
                     "2.5 up to 8|от 0,8 до 8 / 1 л/имп.|1300-10-2,5-24 +copy >> 15 up to 125|от 12,5 до "
                     "125 / 15 л/имп.|1300-10-15,0-24 +copy; told: Вес выходного импульса изменён с 2,5 "
                     "на 15 л/имп.: прежний вне диапазона от 12,5 до 125 л/имп."));
    }

    void savedAndReopened_data() { tableRows(kSaved); }
    // Each form shows the same again, unmodified; every option of a cabinet,
    // the longest one too, stands clear of the drop-down arrow.
    void savedAndReopened()
    {
        ORX_ROW(kSaved);
        orxtest::MessageCapture capture;
        QTemporaryDir dir;
        orxtest::StdoutCapture out; // the ventilation cabinet's connection step is timed on the console
        orxtest::FormHost host(orxtest::FormHost::ShowOnAdd);
        MdiChild* form = host.add(createDocumentWindow(row.kind, nullptr));
        QCOMPARE(out.take().contains("), connectControls() finished in "), row.kind == FanCabinet);
        QCOMPARE(apply(form, row.steps), QString());
        const QString shown = results(form);
        const Doc doc = orxtest::savedAndReopened(*form, dir.filePath(QStringLiteral("Заказ.orx")));
        MdiChild* reopened = host.add(createDocumentWindow(row.kind, &doc));
        QVERIFY(!reopened->isModified());
        QCOMPARE(results(reopened), shown);
        QCOMPARE(controls(reopened), controls(form));
        QVERIFY2(row.kind == FlowMeter || crampedOption(form).isEmpty(), qPrintable(crampedOption(form)));
        // Choices go on from there as in a new document.
        QCOMPARE(apply(reopened, row.steps.isEmpty() ? kElectromagnetic : Steps()), QString());
        QVERIFY(!row.steps.isEmpty() ||
                results(reopened) == kElectromagneticDesignation + QStringLiteral(" +copy"));
        QCOMPARE(capture.count(), 0);
    }
};

ORX_GUI_TEST_MAIN(TestDesignationForms)
#include "tst_designationforms.moc"
