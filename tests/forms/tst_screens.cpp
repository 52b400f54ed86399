// The forms on an office laptop's screen: the worked examples stand in a maximised window 1280 px wide
// without a sideways scroll bar, and the wrapped texts keep a figure with its unit.

#include "forms/documentwindows.h"
#include "framework/linebreaks.h"
#include "tst_selectionchild_formreader.h"

#include <QScrollArea>
#include <QScrollBar>

using namespace formreader;

namespace {

// A form of each kind; the selections with a worked example typed in.
// clang-format off
const struct { const char* name; DocType type; const Task* task; } kForms[] = {
    {"valve 1: five columns, one pipe", docValve, &kValve1},
    {"valve 4: steam, a pipe before and after", docValve, &kValve4},
    {"regulator 3: three columns", docRegulator, &kRegulator3},
    {"regulator, steam: the longest designations", docRegulator, &kSteamRegulator},
    {"kv", docKv, nullptr},
    {"flow meter", docFlowMeter, nullptr},
    {"heating cabinet", docStdCabinet, nullptr},
    {"ventilation cabinet", docFanCabinet, nullptr},
};

// kept: the text with "~" for each non-breaking space and "^" for each word joiner.
const struct { const char* name; const char* text; const char* kept; } kBreaks[] = {
    {"a figure keeps its unit", "не должно превышать 2.5 МПа", "не~должно превышать 2.5~МПа"},
    {"in rich text too", "<i>Tпод</i> = 150,00 °C: допустимо", "<i>Tпод</i> = 150,00~°C: допустимо"},
    {"a one-letter word keeps the next", "Вероятность кавитации в клапане", "Вероятность кавитации в~клапане"},
    {"a last symbol keeps the word before", "Пустые поля: <i>P2</i>, <i>G</i>", "Пустые поля: <i>P2</i>,~<i>G</i>"},
    {"a short last word that is no symbol breaks", "кавитации в\nрегуляторе", "кавитации в\nрегуляторе"},
    {"a figure before a word breaks", "равной 3 при", "равной 3 при"},
    {"a range keeps its unit, a count its word", "диапазон 0,04 - 0,70 МПа, Масса 1 ед., кг", "диапазон 0,04 - 0,70~МПа, Масса 1~ед., кг"},
    {"a slash between letters holds, one in a figure or a tag does not", "0,01 л/имп. и 12 м³/ч, 1/2, <a href=\"a/b\">ГВС/ОТП</a>", "0,01~л/^имп. и~12~м³/^ч, 1/2, <a href=\"a/b\">ГВС/^ОТП</a>"},
};
// clang-format on

} // namespace

class TestScreens : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The program's own type, as it sets it at start-up.
        QFont font = QApplication::font();
        font.setFamily(QStringLiteral("MS Shell Dlg 2"));
        font.setPointSize(11);
        QApplication::setFont(font);
    }

    // At 1280 px no form scrolls sideways, and no visible number box or choice
    // is narrower than it asks to be.
    void fitsLaptopScreen_data() { tableRows(kForms); }
    void fitsLaptopScreen()
    {
        ORX_ROW(kForms);
        orxtest::MessageCapture capture;
        orxtest::FormHost host(orxtest::FormHost::ShowOnRequest, 720);
        MdiChild* form = host.add(createDocumentWindow(row.type, nullptr));
        host.tabs.resize(1280, 720);
        QVERIFY(host.show());
        if (row.task)
            enter(static_cast<SelectionChild*>(form), *row.task);
        auto* area = qobject_cast<QScrollArea*>(host.tabs.currentWidget());
        QTRY_COMPARE(area->horizontalScrollBar()->maximum(), 0);
        QVERIFY2(form->minimumSizeHint().width() <= area->viewport()->width(),
                 qPrintable(QString::number(form->minimumSizeHint().width())));
        for (QWidget* field : form->findChildren<QWidget*>()) {
            const bool input = qobject_cast<QComboBox*>(field) || qobject_cast<QAbstractSpinBox*>(field);
            if (input && field->isVisible())
                QVERIFY2(field->width() >= field->minimumSizeHint().width(),
                         field->metaObject()->className());
        }
    }

    void keepTogether_data() { tableRows(kBreaks); }
    void keepTogether()
    {
        ORX_ROW(kBreaks);
        QCOMPARE(framework::keepTogether(QString::fromUtf8(row.text))
                     .replace(QChar(0x00A0), QLatin1Char('~'))
                     .replace(QChar(0x2060), QLatin1Char('^')),
                 QString::fromUtf8(row.kept));
    }
};

ORX_GUI_TEST_MAIN(TestScreens)
#include "tst_screens.moc"
