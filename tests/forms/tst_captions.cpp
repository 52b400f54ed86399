// The input captions of the real forms as the user sees them: a caption of
// ordinary length stands on one line in the system's font, its symbol with it,
// while the longest captions still wrap inside the caption column.

#include "formhost.h"
#include "forms/kvchild.h"
#include "forms/regulatorchild.h"
#include "forms/valvechild.h"
#include "guitestsupport.h"

#include <QGridLayout>
#include <QLabel>

#include <functional>

namespace {

using FormFactory = std::function<MdiChild*()>;

// Lines the caption's text takes at the width the layout gave it (the label
// itself is as tall as its row).
int lines(const QLabel* label)
{
    return qRound(qreal(label->heightForWidth(label->width())) / label->fontMetrics().lineSpacing());
}

} // namespace

Q_DECLARE_METATYPE(FormFactory)

class TestCaptions : public QObject
{
    Q_OBJECT

private slots:
    void captionLines_data()
    {
        QTest::addColumn<FormFactory>("create");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("minimumColumn");
        QTest::addColumn<bool>("oneLine");

        const FormFactory valve = [] { return new ValveChild(); };
        const FormFactory regulator = [] { return new RegulatorChild(); };
        const FormFactory kv = [] { return new KvChild(); };
        QTest::newRow("valve: supply temperature")
            << valve << int(MdiChild::fcSupplyTemperature) << 215 << true;
        QTest::newRow("valve: flow") << valve << int(MdiChild::fcFlow) << 215 << true;
        QTest::newRow("valve: the long regulated-section drop wraps")
            << valve << int(MdiChild::fcRegulatedDrop) << 215 << false;
        QTest::newRow("Kv: supply temperature") << kv << int(MdiChild::fcSupplyTemperature) << 215 << true;
        QTest::newRow("regulator: supply pressure on the inlet")
            << regulator << int(RegulatorChild::fcSupplyPressure) << 280 << true;
        QTest::newRow("regulator: supply temperature")
            << regulator << int(MdiChild::fcSupplyTemperature) << 280 << true;
    }

    void captionLines()
    {
        QFETCH(FormFactory, create);
        QFETCH(int, field);
        QFETCH(int, minimumColumn);
        QFETCH(bool, oneLine);

        orxtest::FormHost host;
        MdiChild* form = host.add(create());
        QVERIFY(host.show());
        const QLabel* label = form->label(DocKey(qint16(field)));
        QVERIFY(label);
        QTRY_VERIFY(label->isVisible());
        QVERIFY2(label->width() >= minimumColumn, qPrintable(QString::number(label->width())));
        if (oneLine)
            QVERIFY2(lines(label) == 1, qPrintable(label->text()));
        else
            QVERIFY2(lines(label) >= 2, qPrintable(label->text()));
    }
};

ORX_GUI_TEST_MAIN(TestCaptions)
#include "tst_captions.moc"
