// "Позиция" and "Кол-во" of every document window: where the device stands in a project, kept in the
// document only when given, so that every document made before keeps its bytes.

#include "formhost.h"
#include "forms/documentwindows.h"
#include "guitestsupport.h"

#include <QLineEdit>
#include <QSpinBox>

namespace {

std::unique_ptr<MdiChild> formOf(const Doc& doc)
{
    return std::unique_ptr<MdiChild>(createDocumentWindow(common::DocType(doc.docType()), &doc));
}

const char* const kSamples[] = {"valve", "regulator", "kv", "flowmeter", "stdcabinet", "fancabinet"};

// A stored position field from elsewhere: what the opening warning says, then the mark and quantity shown.
// clang-format off
const struct { const char* name; qint16 field; QVariant value; const char* shown; } kStored[] = {
    {"a mark of 16 characters stays", 508, QStringLiteral("РК-1234567890123"), " | РК-1234567890123 | 1"},
    {"a longer mark is cut to 16", 508, QStringLiteral("РК-12345678901234"), "• Позиция — сокращено до 16 знаков | РК-1234567890123 | 1"},
    {"a mark stored as a number", 508, 7, "• Позиция — не заполнено |  | 1"},
    {"a quantity of 999", 509, 999, " |  | 999"},
    {"a quantity above 999", 509, 1000, "• Кол-во — взято 1 |  | 1"},
    {"a quantity of 2.5", 509, 2.5, "• Кол-во — взято 1 |  | 1"},
    {"a quantity of one stored as a text", 509, QStringLiteral("1"), "• Кол-во — взято 1 |  | 1"},
};
// clang-format on

} // namespace

class TestPosition : public QObject
{
    Q_OBJECT
private slots:
    void everyWindow_data()
    {
        QTest::addColumn<QString>("stem");
        for (const char* stem : kSamples)
            QTest::newRow(stem) << QString::fromLatin1(stem);
    }

    // Untouched, a document writes no position field; a mark and a quantity typed mark it modified, are saved
    // and come back.
    void everyWindow()
    {
        QFETCH(QString, stem);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.orx"));
        orxtest::FormHost host;
        MdiChild* form = host.add(formOf(orxtest::corpusDocument(stem)).release());
        QVERIFY(form->positionMark().isEmpty() && form->quantity() == 1);
        const Doc untouched = orxtest::savedAndReopened(*form, file);
        QVERIFY(!untouched.keys().contains(DocKey(508)) && !untouched.keys().contains(DocKey(509)));

        auto* mark = form->findChild<QLineEdit*>();
        QVERIFY(mark && mark->maxLength() == 16);
        mark->setFocus();
        QTest::keyClicks(mark, QStringLiteral("TP10"));
        QVERIFY(form->isModified());
        form->findChild<QSpinBox*>()->setValue(3);
        const Doc saved = orxtest::savedAndReopened(*form, file);
        const std::unique_ptr<MdiChild> opened = formOf(saved);
        QCOMPARE(opened->positionMark() + QLatin1Char('/') + QString::number(opened->quantity()),
                 QStringLiteral("TP10/3"));
        QVERIFY(!opened->isModified());
    }

    void storedFromElsewhere_data() { tableRows(kStored); }
    void storedFromElsewhere()
    {
        ORX_ROW(kStored);
        Doc doc = orxtest::corpusDocument(QStringLiteral("kv"));
        doc.setValue(DocKey(row.field), row.value);
        orxtest::MessageCapture capture;
        const std::unique_ptr<MdiChild> form = formOf(doc);
        QCOMPARE(QStringLiteral("%1 | %2 | %3")
                     .arg(capture.warnings().join(QString()), form->positionMark())
                     .arg(form->quantity()),
                 QString::fromUtf8(row.shown));
    }
};

ORX_GUI_TEST_MAIN(TestPosition)
#include "tst_position.moc"
