// What the user typed stays what the user typed: a number outside what the task allows is kept, marked and
// refused by name; a value the form must change of its own accord after a change of the user's is told in one
// line; a gas at 0 °C is at a temperature and a glycol at 0 % is not filled in. Every row goes through a real
// form, typed as a user types.

#include "forms/documentwindows.h"
#include "forms/kvchild.h"
#include "tst_selectionchild_formreader.h"

using namespace common;

namespace {

// The form, what the user does in order ("code=value", a combo by its data, a number typed), the fields
// read back, then what the results show: the box texts (* marked), the red message, the lines of what the
// form changed, and the fields named as empty.
// clang-format off
const struct { const char* name; DocType form; const char *entries, *fields, *expected; } kRows[] = {
    {"above the boiling point: the last digit kept, the task refused with the range", docKv, "121=1 1011=2 101=1 102=6.5 103=4 108=10 105=160", "105", "160* | Недопустимые входные данные:<br><i>T</i> = 160 °C: допустимо от 0.00 до 151.96 °C (температура кипения после клапана) |  | "},
    {"nine digits of flow kept, refused with the field's bound", docKv, "121=1 1011=2 101=1 102=6.5 103=4 105=20 108=123456789", "108", "123456789* | Недопустимые входные данные:<br><i>G</i> = 123456789 м³/ч: допустимо от 0.00 до 100000000.00 м³/ч |  | "},
    {"a minus in a gauge pressure kept and refused as a vacuum", docValve, "121=1 1011=2 101=1 102=6 103=-0.3 105=90 107=70 108=10", "103", "-0.30* | Недопустимые входные данные:<br><i>P2</i> = -0.30 бар: допустимо от 0.00 до 100000000.00 бар (разрежение не поддерживается) |  | "},
    {"ЛМР-Д: Tпод above the limit kept, blamed by itself and not the order of the two", docRegulator, "121=1 130=1 1011=2 101=1 1020=6 1021=3 1036=1 1035=1 107=70 108=5 105=160", "105", "160* | Недопустимые входные данные:<br><i>Tпод</i> = 160 °C: допустимо от 0.00 до 155.56 °C (температура кипения после регулятора) |  | "},
    {"air at 0 °C is a temperature: computed", docKv, "121=21 1011=2 101=1 102=6 103=5 108=100 105=0", "105", "0 |  |  | "},
    {"air below its tables refused with their lowest temperature", docKv, "121=21 1011=2 101=1 102=6 103=5 108=100 105=-5", "105", "-5* | Недопустимые входные данные:<br><i>T</i> = -5 °C: допустимо от 0.00 до 220.00 °C |  | "},
    {"water at 0 °C is not filled in", docKv, "121=1 1011=2 101=1 102=6 103=5 108=10 105=0", "105", "0 | Не заполнены входные данные |  | Пустые поля: <i>T</i>"},
    {"a glycol at 0 % is not filled in, not water", docKv, "121=2 1011=2 101=1 102=6 103=5 108=10 105=70 141=0", "141", "0 | Не заполнены входные данные |  | Пустые поля: <i>Концентрация раствора</i>"},
    {"a switch to saturated steam tells the temperature, type and place it fixed", docValve, "121=1 32767=5 131=2 1011=2 101=1 102=6 103=5 105=94 107=70 108=10 1081=10 121=13", "105", "165.00 |  | Tпод изменена на 165.00 °C: температура насыщения при P1 / Значение «Место установки» изменено на «подающий трубопровод» / Значение «Тип клапана» изменено на «Клапан для пара ЛМК-П» | "},
    {"a flow whose unit went is cleared, told and asked for", docKv, "121=1 1011=2 101=1 102=6 103=5 105=190 108=10 121=11", "105 108", "190.00 0.00 | Не заполнены входные данные | единица расхода стала т/ч: проверьте G | Пустые поля: <i>G</i>"},
    {"water's m³/h read as a gas's normal m³/h is another flow: cleared", docKv, "121=1 1011=2 101=1 102=6 103=5 105=20 108=10 121=21", "108", "0.00 | Не заполнены входные данные | единица расхода стала нм³/ч: проверьте G | Пустые поля: <i>G</i>"},
    {"a superheated steam below saturation is kept and refused, not raised", docValve, "121=11 1011=2 101=1 102=6 103=5 108=1000 105=94", "105", "94* | Недопустимые входные данные:<br><i>Tпод</i> = 94 °C: допустимо от 165.10 до 220.00 °C (пар перегретый: выше температуры насыщения при P1) |  | "},
};
// clang-format on

QString outcome(MdiChild* form, const QString& fields)
{
    QStringList boxes, message, empty;
    for (const QString& code : fields.split(QLatin1Char(' '))) {
        auto* box = form->ctrl<QSmartDoubleSpinBox>(qint16(code.toInt()));
        boxes << box->text() + (box->isValueAllowed() ? QString() : QStringLiteral("*"));
    }
    for (QLabel* label : form->findChildren<QLabel*>()) {
        const QColor colour = label->palette().color(QPalette::WindowText);
        if (label->isVisible() && colour == QColor(Qt::red))
            message << orxtest::readText(label);
        else if (label->isVisible() && colour == QColor(Qt::darkRed))
            empty << orxtest::readText(label);
    }
    return QStringList{boxes.join(QLatin1Char(' ')), message.join(QLatin1Char(' ')),
                       formreader::changeNotes(form).join(QStringLiteral(" / ")),
                       empty.join(QLatin1Char(' '))}
        .join(QStringLiteral(" | "));
}

} // namespace

class TestTypedValues : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log")); }
    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    void typedValuesStay_data() { tableRows(kRows); }
    void typedValuesStay()
    {
        ORX_ROW(kRows);
        orxtest::MessageCapture capture;
        orxtest::FormHost host;
        MdiChild* form = host.add(createDocumentWindow(row.form, nullptr));
        QVERIFY(host.show());
        formreader::act(form, QString::fromUtf8(row.entries));
        QCOMPARE(outcome(form, QString::fromUtf8(row.fields)), QString::fromUtf8(row.expected));
        QCOMPARE(capture.count(), 0);
    }

    // An opened document shows its own values: none of them is told as a change
    // the form made, though they differ from the form's defaults.
    void openedDocumentTellsNoChange()
    {
        QTemporaryDir dir;
        Doc saved;
        {
            orxtest::Hosted<ValveChild> source(nullptr);
            formreader::act(source.form, QStringLiteral("121=13 1011=1 101=3 102=0.3 103=0.2 1081=10 108=2"));
            saved = orxtest::savedAndReopened(*source.form, dir.filePath(QStringLiteral("пар.orx")));
        }
        orxtest::MessageCapture capture;
        orxtest::Hosted<ValveChild> opened(&saved);
        QCOMPARE(outcome(opened.form, QStringLiteral("102")), QStringLiteral("0.30 |  |  | "));
        QCOMPARE(capture.count(), 0);
    }

    // Under ru_RU the refusal writes its figures as the box does, with a comma.
    void refusalFollowsTheLocale()
    {
        auto russian = std::make_unique<orxtest::LocaleScope>(true);
        orxtest::Hosted<KvChild> host(nullptr);
        russian.reset();
        MdiChild* form = host.form;
        formreader::act(form, QStringLiteral("121=1 1011=2 101=1 102=6,5 103=4 108=10 105=160"));
        QCOMPARE(outcome(form, QStringLiteral("105")),
                 QStringLiteral("160* | Недопустимые входные данные:<br><i>T</i> = 160 °C: допустимо "
                                "от 0,00 до 151,96 °C (температура кипения после клапана) |  | "));
        // The arrows bring the value back into the range and the results follow.
        auto* box = form->ctrl<QSmartDoubleSpinBox>(105);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(outcome(form, QStringLiteral("105")), QStringLiteral("151,96 |  |  | "));
    }
};

QTEST_MAIN(TestTypedValues)
#include "tst_typedvalues.moc"
