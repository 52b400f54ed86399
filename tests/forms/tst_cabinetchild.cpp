// The two cabinet configurators driven as a user drives them: loops counted,
// loop types and pumps (or fan and pump) chosen, the designation read from the
// results, the document saved and opened again.

#include "documents/doc.h"
#include "formhost.h"
#include "forms/fancabinetchild.h"
#include "guitestsupport.h"
#include "guitools/smallclasses.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>

using namespace common;

namespace {

using F = CabinetChild;
const QString kMissing = QStringLiteral("Не заполнены входные данные");

// One choice: the field, the loop (1-based; 1 for the general rows), the option.
struct Pick
{
    int field;
    int loop;
    int value;
};
using Picks = QVector<Pick>;

// The main window's way of holding a form, put up with every form added.
struct Host : orxtest::FormHost
{
    CabinetChild* form;
    explicit Host(CabinetChild* f = new StdCabinetChild) : FormHost(ShowOnAdd), form(add(f)) {}
};

DocKey key(int field, int loop = 1)
{
    return DocKey(qint16(field), qint16(loop - 1));
}

QSmartComboBox* combo(MdiChild* form, int field, int loop = 1)
{
    return form->ctrl<QSmartComboBox>(key(field, loop));
}

// Empty when every option was offered; otherwise the refused pick.
QString pickAll(MdiChild* form, const Picks& picks)
{
    for (const Pick& p : picks) {
        combo(form, p.field, p.loop)->setCurrentByData(p.value);
        if (form->intComboValue(key(p.field, p.loop), -1) != p.value)
            return QStringLiteral("%1 not offered in %2 of loop %3").arg(p.value).arg(p.field).arg(p.loop);
    }
    return QString();
}

QList<int> offered(MdiChild* form, int field, int loop = 1)
{
    return orxtest::itemData(combo(form, field, loop));
}

QString resultText(MdiChild* form)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->isVisible() &&
            (label->text().startsWith(QStringLiteral("ЛМШ-")) || label->text() == kMissing))
            return label->text();
    return QStringLiteral("<no result>");
}

QPushButton* copyButton(MdiChild* form)
{
    for (QPushButton* button : form->findChildren<QPushButton*>())
        if (button->isVisible() && button->toolTip() == QStringLiteral("Копировать наименование устройства"))
            return button;
    return nullptr;
}

QLabel* loopHeader(MdiChild* form, int loop)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->text() == QStringLiteral("Контур %1").arg(loop))
            return label;
    return nullptr;
}

// Two loops (heating, hot water), no power reserve, main pumps 4 and 2,
// reserve pumps 4 and 0, RS-485.
const Picks kTwoLoops{{F::fcLoopCount, 1, 2},   {F::fcPowerReserve, 1, 1}, {F::fcLoopType, 1, 1},
                      {F::fcLoopType, 2, 2},    {F::fcMainPump, 1, 4},     {F::fcMainPump, 2, 2},
                      {F::fcReservePump, 1, 4}, {F::fcReservePump, 2, 0},  {F::fcInterface, 1, 2}};

} // namespace

Q_DECLARE_METATYPE(Picks)

class TestCabinetChild : public QObject
{
    Q_OBJECT

private slots:
    void itemsWithoutAChoice()
    {
        Host host;
        CabinetChild* form = host.form;
        QCOMPARE(int(form->docType()) * 1000 + int(form->deviceType()), 100011);
        for (int loop = 1; loop <= 9; ++loop)
            for (int field : {F::fcLoopType, F::fcMainPump, F::fcReservePump})
                QCOMPARE(combo(form, field, loop)->currentIndex(), -1);
        QCOMPARE(combo(form, F::fcPowerReserve)->currentIndex(), -1);

        // Every choice but the interface is the user's; until then no designation.
        Picks picks = kTwoLoops;
        picks.removeLast();
        for (const Pick& p : picks) {
            QCOMPARE(resultText(form), kMissing);
            QVERIFY(!copyButton(form));
            QCOMPARE(pickAll(form, {p}), QString());
        }
        QCOMPARE(resultText(form), QStringLiteral("ЛМШ-1-12-44.20-2-220-IP54"));
    }

    void reservePumpRules_data()
    {
        QTest::addColumn<Picks>("picks"); // in loop 2
        QTest::addColumn<QList<int>>("reserveOptions");
        QTest::addColumn<int>("reserveChosen");
        const QList<int> all{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        const int M = F::fcMainPump, R = F::fcReservePump;
        // clang-format off
        QTest::newRow("no main pump: every option") << Picks{{R, 2, 7}} << all << 7;
        QTest::newRow("main 0: 0 alone, chosen") << Picks{{M, 2, 0}} << QList<int>{0} << 0;
        QTest::newRow("main 4: none or the same") << Picks{{M, 2, 4}} << QList<int>{0, 4} << -1;
        QTest::newRow("main 4 to 6 moves reserve 4 to 6") << Picks{{M, 2, 4}, {R, 2, 4}, {M, 2, 6}} << QList<int>{0, 6} << 6;
        QTest::newRow("main 4 to 6 keeps reserve 0") << Picks{{M, 2, 4}, {R, 2, 0}, {M, 2, 6}} << QList<int>{0, 6} << 0;
        QTest::newRow("main 4 to 0") << Picks{{M, 2, 4}, {R, 2, 4}, {M, 2, 0}} << QList<int>{0} << 0;
        // clang-format on
    }

    void reservePumpRules()
    {
        QFETCH(Picks, picks);
        QFETCH(QList<int>, reserveOptions);
        QFETCH(int, reserveChosen);
        Host host;
        CabinetChild* form = host.form;
        QCOMPARE(
            pickAll(form,
                    Picks{{F::fcLoopCount, 1, 2}, {F::fcMainPump, 1, 8}, {F::fcReservePump, 1, 8}} + picks),
            QString());
        QCOMPARE(offered(form, F::fcReservePump, 2), reserveOptions);
        QCOMPARE(form->intComboValue(key(F::fcReservePump, 2), -1), reserveChosen);
        // The other loop keeps its own.
        QCOMPARE(offered(form, F::fcReservePump, 1), QList<int>({0, 8}));
        QCOMPARE(form->intComboValue(key(F::fcReservePump, 1), -1), 8);
        // Taking the main pump back offers every option again, the choice kept.
        combo(form, F::fcMainPump, 2)->setCurrentIndex(-1);
        QCOMPARE(offered(form, F::fcReservePump, 2).size(), 10);
        QCOMPARE(form->intComboValue(key(F::fcReservePump, 2), -1), reserveChosen);
    }

    void loopsBeyondTheCountAreHidden()
    {
        Host host;
        CabinetChild* form = host.form;
        const int oneLoopHeight = form->layout()->itemAt(0)->layout()->sizeHint().height();
        QCOMPARE(pickAll(form, kTwoLoops + Picks{{F::fcLoopCount, 1, 3},
                                                 {F::fcLoopType, 3, 4},
                                                 {F::fcMainPump, 3, 5},
                                                 {F::fcReservePump, 3, 5}}),
                 QString());
        QCOMPARE(resultText(form), QStringLiteral("ЛМШ-1-124-44.20.55-2-220-IP54"));
        for (int loop = 1; loop <= 9; ++loop) {
            QCOMPARE(loopHeader(form, loop)->isVisible(), loop <= 3);
            for (int field : {F::fcLoopType, F::fcMainPump, F::fcReservePump})
                QVERIFY(form->control(key(field, loop))->isVisible() == (loop <= 3) &&
                        form->label(key(field, loop))->isVisible() == (loop <= 3));
        }
        QCOMPARE(pickAll(form, {{F::fcLoopCount, 1, 1}}), QString());
        QCOMPARE(resultText(form), QStringLiteral("ЛМШ-1-1-44-2-220-IP54"));
        QVERIFY(!loopHeader(form, 2)->isVisible() && !loopHeader(form, 3)->isVisible());
        QVERIFY(!form->control(key(F::fcMainPump, 3))->isVisible() &&
                !form->label(key(F::fcLoopType, 2))->isVisible());
        QVERIFY(loopHeader(form, 1)->isVisible() && form->control(key(F::fcPowerReserve))->isVisible());
        // The hidden loops leave no empty rows behind.
        QCOMPARE(form->layout()->itemAt(0)->layout()->sizeHint().height(), oneLoopHeight);
        // Unchosen options of hidden loops do not stop the designation.
        QCOMPARE(pickAll(form, {{F::fcLoopCount, 1, 2}}), QString());
        combo(form, F::fcLoopType, 3)->setCurrentIndex(-1);
        QCOMPARE(resultText(form), QStringLiteral("ЛМШ-1-12-44.20-2-220-IP54"));
        QCOMPARE(pickAll(form, {{F::fcLoopCount, 1, 3}}), QString());
        QCOMPARE(resultText(form), kMissing);
    }

    void ventilationCabinet()
    {
        orxtest::MessageCapture capture;
        // Its connection step is timed on the console.
        orxtest::StdoutCapture out;
        Host host(new FanCabinetChild);
        CabinetChild* form = host.form;
        const QByteArray console = out.take();
        QVERIFY(console.contains("fancabinetchild.cpp("));
        QVERIFY(console.contains("), connectControls() is starting..."));
        QVERIFY(console.contains("), connectControls() finished in "));
        QCOMPARE(int(form->docType()) * 1000 + int(form->deviceType()), 105012);
        QCOMPARE(offered(form, F::fcFan), offered(form, F::fcMainPump)); // one drive list for both
        QVERIFY(loopHeader(form, 1)->isVisible());

        QCOMPARE(pickAll(form, {{F::fcFan, 1, 5}}), QString());
        QCOMPARE(resultText(form), kMissing);
        QCOMPARE(pickAll(form, {{F::fcMainPump, 1, 1}, {F::fcInterface, 1, 1}}), QString());
        QCOMPARE(resultText(form), QStringLiteral("ЛМШ-1-33-51-1-220-IP54"));
        QCOMPARE(orxtest::copiedText(copyButton(form)), QStringLiteral("ЛМШ-1-33-51-1-220-IP54"));
        QCOMPARE(capture.count(), 0);
    }

    void optionsClearOfTheArrow_data()
    {
        QTest::addColumn<bool>("fan");
        QTest::newRow("hot water and heating") << false;
        QTest::newRow("ventilation") << true;
    }

    // Every option, the longest one too, stands in the box's text field as laid
    // out, with room for another character before the drop-down arrow.
    void optionsClearOfTheArrow()
    {
        QFETCH(bool, fan);
        Host host(fan ? static_cast<CabinetChild*>(new FanCabinetChild) : new StdCabinetChild);
        for (const DocKey& k : host.form->controlKeys()) {
            auto* box = qobject_cast<QComboBox*>(host.form->control(k));
            if (!box->isVisibleTo(host.form)) // the loops beyond the count, alike to loop 1
                continue;
            QStyleOptionComboBox option;
            option.initFrom(box);
            const QRect field =
                box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
            for (const QString& text : orxtest::itemTexts(box))
                QVERIFY2(box->fontMetrics().horizontalAdvance(text) + box->fontMetrics().averageCharWidth() <=
                             field.width(),
                         qPrintable(text));
        }
    }

    void savedCabinetReopensTheSame_data()
    {
        QTest::addColumn<bool>("fan");
        QTest::addColumn<Picks>("picks");
        QTest::newRow("two loops") << false << kTwoLoops;
        // Loop 2 without reserve, loops 3 and 4 empty: stored as null values.
        QTest::newRow("choices missing") << false << kTwoLoops.mid(0, 7) + Picks{{F::fcLoopCount, 1, 4}};
        QTest::newRow("ventilation") << true
                                     << Picks{
                                            {F::fcFan, 1, 5}, {F::fcMainPump, 1, 1}, {F::fcInterface, 1, 1}};
        QTest::newRow("ventilation, pump missing") << true << Picks{{F::fcFan, 1, 7}};
    }

    void savedCabinetReopensTheSame()
    {
        QFETCH(bool, fan);
        QFETCH(Picks, picks);
        orxtest::MessageCapture capture;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Шкаф.orx"));
        const auto create = [fan](const Doc* doc) -> CabinetChild* {
            return fan ? static_cast<CabinetChild*>(new FanCabinetChild(doc)) : new StdCabinetChild(doc);
        };
        Host host(create(nullptr));
        CabinetChild* form = host.form;
        QCOMPARE(pickAll(form, picks), QString());
        QVERIFY(form->saveToFile(file));

        Doc doc;
        QVERIFY(Doc::loadFromFile(file, doc));
        CabinetChild* reopened = host.add(create(&doc));
        QVERIFY(!reopened->isModified());
        QCOMPARE(reopened->copyText(), form->copyText());
        QCOMPARE(resultText(reopened), form->copyText().isEmpty() ? kMissing : form->copyText());
        for (const DocKey& k : form->controlKeys()) {
            const QByteArray where = QStringLiteral("%1/%2").arg(k.fieldCode).arg(k.index).toLatin1();
            QVERIFY2(reopened->intValue(k) == form->intValue(k), where);
            QVERIFY2(offered(reopened, k.fieldCode, k.index + 1) == offered(form, k.fieldCode, k.index + 1),
                     where);
            QVERIFY2(reopened->control(k)->isVisibleTo(reopened) == form->control(k)->isVisibleTo(form),
                     where);
        }
        QCOMPARE(capture.count(), 0);
    }
};

ORX_GUI_TEST_MAIN(TestCabinetChild)
#include "tst_cabinetchild.moc"
