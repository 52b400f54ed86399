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
    explicit Host(bool fan = false, const Doc* doc = nullptr)
        : FormHost(ShowOnAdd), form(add(create(fan, doc)))
    {
    }
    static CabinetChild* create(bool fan, const Doc* doc)
    {
        return fan ? static_cast<CabinetChild*>(new FanCabinetChild(doc)) : new StdCabinetChild(doc);
    }
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

// The designation or the message in its place; with `copy`, what its copy button copies.
QString resultText(MdiChild* form, bool copy = false)
{
    for (QPushButton* button : form->findChildren<QPushButton*>())
        if (copy && button->isVisible() &&
            button->toolTip() == QStringLiteral("Копировать наименование устройства"))
            return orxtest::copiedText(button);
    for (QLabel* label : form->findChildren<QLabel*>())
        if (!copy && label->isVisible() &&
            (label->text().startsWith(QStringLiteral("ЛМШ-")) || label->text() == kMissing))
            return label->text();
    return QStringLiteral("<none>");
}

bool loopShown(MdiChild* form, int loop)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->text() == QStringLiteral("Контур %1").arg(loop) && !label->isVisible())
            return false;
    for (int field : {F::fcLoopType, F::fcMainPump, F::fcReservePump})
        if (!form->control(key(field, loop))->isVisible() || !form->label(key(field, loop))->isVisible())
            return false;
    return true;
}

// Two loops (heating, hot water), no power reserve, main pumps 4 and 2,
// reserve pumps 4 and 0, RS-485.
const Picks kTwoLoops{{F::fcLoopCount, 1, 2},   {F::fcPowerReserve, 1, 1}, {F::fcLoopType, 1, 1},
                      {F::fcLoopType, 2, 2},    {F::fcMainPump, 1, 4},     {F::fcMainPump, 2, 2},
                      {F::fcReservePump, 1, 4}, {F::fcReservePump, 2, 0},  {F::fcInterface, 1, 2}};
const int M = F::fcMainPump, R = F::fcReservePump;

// The reserve pump of loop 2 after the picks in it: the options offered and the one chosen.
const struct
{
    const char* name;
    Picks picks;
    QList<int> options;
    int chosen;
} kReserve[] = {
    {"no main pump: every option", {{R, 2, 7}}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 7},
    {"main 0: 0 alone, chosen", {{M, 2, 0}}, {0}, 0},
    {"main 4: none or the same", {{M, 2, 4}}, {0, 4}, -1},
    {"main 4 to 6 moves reserve 4 to 6", {{M, 2, 4}, {R, 2, 4}, {M, 2, 6}}, {0, 6}, 6},
    {"main 4 to 6 keeps reserve 0", {{M, 2, 4}, {R, 2, 0}, {M, 2, 6}}, {0, 6}, 0},
};

} // namespace

Q_DECLARE_METATYPE(Picks)

class TestCabinetChild : public QObject
{
    Q_OBJECT

private slots:
    // Every choice but the interface is the user's; until then no designation.
    void itemsWithoutAChoice()
    {
        Host host;
        QCOMPARE(combo(host.form, F::fcPowerReserve)->currentIndex(), -1);
        for (const Pick& p : kTwoLoops.mid(1, kTwoLoops.size() - 2))
            QCOMPARE(combo(host.form, p.field, p.loop)->currentIndex(), -1);
        for (const Pick& p : kTwoLoops.mid(0, kTwoLoops.size() - 1)) {
            QCOMPARE(resultText(host.form, true), QStringLiteral("<none>"));
            QCOMPARE(pickAll(host.form, {p}), QString());
        }
        QCOMPARE(resultText(host.form, true), QStringLiteral("ЛМШ-1-12-44.20-2-220-IP54"));
    }

    void reservePumpRules_data()
    {
        QTest::addColumn<int>("i");
        for (int i = 0; i < int(std::size(kReserve)); ++i)
            QTest::newRow(kReserve[i].name) << i;
    }

    void reservePumpRules()
    {
        QFETCH(int, i);
        Host host;
        CabinetChild* form = host.form;
        QCOMPARE(pickAll(form, Picks{{F::fcLoopCount, 1, 2}, {M, 1, 8}, {R, 1, 8}} + kReserve[i].picks),
                 QString());
        QCOMPARE(offered(form, R, 2), kReserve[i].options);
        QCOMPARE(form->intComboValue(key(R, 2), -1), kReserve[i].chosen);
        // The other loop keeps its own.
        QCOMPARE(offered(form, R, 1), QList<int>({0, 8}));
        QCOMPARE(form->intComboValue(key(R, 1), -1), 8);
        // Taking the main pump back offers every option again, the choice kept.
        combo(form, M, 2)->setCurrentIndex(-1);
        QCOMPARE(offered(form, R, 2).size(), 10);
        QCOMPARE(form->intComboValue(key(R, 2), -1), kReserve[i].chosen);
    }

    void loopsBeyondTheCountAreHidden()
    {
        Host host;
        CabinetChild* form = host.form;
        const int oneLoopHeight = form->layout()->itemAt(0)->layout()->sizeHint().height();
        QCOMPARE(
            pickAll(form,
                    kTwoLoops + Picks{{F::fcLoopCount, 1, 3}, {F::fcLoopType, 3, 4}, {M, 3, 5}, {R, 3, 5}}),
            QString());
        QCOMPARE(resultText(form), QStringLiteral("ЛМШ-1-124-44.20.55-2-220-IP54"));
        for (int loop = 1; loop <= 9; ++loop)
            QVERIFY2(loopShown(form, loop) == (loop <= 3), QByteArray::number(loop));
        QCOMPARE(pickAll(form, {{F::fcLoopCount, 1, 1}}), QString());
        QCOMPARE(resultText(form), QStringLiteral("ЛМШ-1-1-44-2-220-IP54"));
        QVERIFY(loopShown(form, 1) && !loopShown(form, 2) && !loopShown(form, 3));
        // The hidden loops leave no empty rows behind.
        QCOMPARE(form->layout()->itemAt(0)->layout()->sizeHint().height(), oneLoopHeight);
        // Unchosen options of hidden loops do not stop the designation.
        QCOMPARE(pickAll(form, {{F::fcLoopCount, 1, 2}}), QString());
        combo(form, F::fcLoopType, 3)->setCurrentIndex(-1);
        QCOMPARE(resultText(form), QStringLiteral("ЛМШ-1-12-44.20-2-220-IP54"));
        QCOMPARE(pickAll(form, {{F::fcLoopCount, 1, 3}}), QString());
        QCOMPARE(resultText(form), kMissing);
    }

    void forms_data()
    {
        QTest::addColumn<bool>("fan");
        QTest::addColumn<Picks>("picks");
        QTest::newRow("two loops") << false << kTwoLoops;
        // Loop 2 without reserve, loops 3 and 4 empty: stored as null values.
        QTest::newRow("choices missing") << false << kTwoLoops.mid(0, 7) + Picks{{F::fcLoopCount, 1, 4}};
        QTest::newRow("ventilation") << true << Picks{{F::fcFan, 1, 5}, {M, 1, 1}, {F::fcInterface, 1, 1}};
        QTest::newRow("ventilation, pump missing") << true << Picks{{F::fcFan, 1, 7}};
    }

    // Saved and opened again, each form shows the same; every option, the
    // longest one too, stands clear of the drop-down arrow.
    void forms()
    {
        QFETCH(bool, fan);
        QFETCH(Picks, picks);
        orxtest::MessageCapture capture;
        QTemporaryDir dir;
        orxtest::StdoutCapture out; // the ventilation cabinet's connection step is timed on the console
        Host host(fan);
        QVERIFY(out.take().contains("), connectControls() finished in ") || !fan);
        CabinetChild* form = host.form;
        QCOMPARE(int(form->docType()) * 1000 + int(form->deviceType()), fan ? 105012 : 100011);
        QCOMPARE(pickAll(form, picks), QString());
        QCOMPARE(resultText(form, true),
                 form->copyText().isEmpty() ? QStringLiteral("<none>") : resultText(form));
        const Doc doc = orxtest::savedAndReopened(*form, dir.filePath(QStringLiteral("Шкаф.orx")));
        CabinetChild* reopened = host.add(Host::create(fan, &doc));
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
            auto* box = qobject_cast<QComboBox*>(form->control(k));
            QStyleOptionComboBox option;
            option.initFrom(box);
            const QRect field =
                box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
            for (const QString& text : orxtest::itemTexts(box))
                QVERIFY2(!box->isVisibleTo(form) || box->fontMetrics().horizontalAdvance(text) +
                                                            box->fontMetrics().averageCharWidth() <=
                                                        field.width(),
                         qPrintable(text));
        }
        QCOMPARE(capture.count(), 0);
    }
};

ORX_GUI_TEST_MAIN(TestCabinetChild)
#include "tst_cabinetchild.moc"
