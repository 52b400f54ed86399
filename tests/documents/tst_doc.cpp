#include "../../fuzz/sampledocuments.h"

#include "documents/doc.h"
#include "gentools/errorhandle.h"
#include "settings/oemcodec.h"
#include "settings/smartsettings.h"
#include "testsupport.h"
#include "tst_doc_faultydevice.h"
#include "tst_doc_opening.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(Doc::ReadStatus)
Q_DECLARE_METATYPE(FieldKind)

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Version 3, then the document type 20 under (32766, 0).
const char kVersion[] = "00000003";
const char kType20[] = "7FFE0000 00000002 00 00000014";

QByteArray typedDocument(const char* fieldsBeforeType = "", const char* fieldsAfterType = "")
{
    return hex(kVersion) + hex(fieldsBeforeType) + hex(kType20) + hex(fieldsAfterType);
}

Doc typedDoc(int docType)
{
    Doc doc;
    doc.init(docType);
    return doc;
}

QStringList g_presented;

// What each file of the hostile corpus opens to: the status and the details of
// the damaged-file error shown. Every file not listed as refused opens.
struct CorpusOutcome
{
    const char* stem;
    int status;
    const char* reason;
};
const Doc::ReadStatus damaged = Doc::rsDamaged, badType = Doc::rsInvalidDocType,
                      oldVersion = Doc::rsWrongVersion;
const CorpusOutcome kCorpus[] = {
    {"boolean-byte-2", damaged, "неверное логическое значение в поле 406"},
    {"byte-array-2g", damaged, "неизвестный тип значения 12 в поле 120"},
    {"document-type-0", badType, ""},
    {"document-type-7", badType, ""},
    {"document-type-at-index-1", badType, ""},
    {"document-type-null", badType, ""},
    {"empty", damaged, "файл короче номера версии"},
    {"flipped-type-id", damaged, "неизвестный тип значения 3 в поле 122"},
    {"huge-string-length", damaged, "файл обрывается внутри поля 122"},
    {"infinity", damaged, "не число или бесконечность в поле 102"},
    {"invalid-variant-not-null", damaged, "неверный признак пустого значения в поле 121"},
    {"list-of-2g-variants", damaged, "неизвестный тип значения 9 в поле 120"},
    {"long-long", damaged, "неизвестный тип значения 4 в поле 120"},
    {"map-of-2g-entries", damaged, "неизвестный тип значения 8 в поле 120"},
    {"missing-document-type", badType, ""},
    {"nested-lists", damaged, "неизвестный тип значения 9 в поле 120"},
    {"not-a-number", damaged, "не число или бесконечность в поле 102"},
    {"null-boolean-set", damaged, "пустое значение с данными в поле 406"},
    {"null-double-with-value", damaged, "пустое значение с данными в поле 102"},
    {"null-flag-2", damaged, "неверный признак пустого значения в поле 120"},
    {"null-integer-with-value", damaged, "пустое значение с данными в поле 120"},
    {"odd-string-length", damaged, "нечётная длина строки в поле 122"},
    {"three-bytes", damaged, "файл короче номера версии"},
    {"trailing-garbage-1", damaged, "файл обрывается в начале поля"},
    {"trailing-garbage-3", damaged, "файл обрывается внутри поля 24930"},
    {"trailing-garbage-9", damaged, "неверный признак пустого значения в поле -1"},
    {"trailing-version", damaged, "файл обрывается внутри поля 0"},
    {"truncated-before-last-byte", damaged, "файл обрывается внутри поля 32767"},
    {"truncated-in-key", damaged, "файл обрывается внутри поля 101"},
    {"truncated-in-string", damaged, "файл обрывается внутри поля 122"},
    {"truncated-in-type-id", damaged, "файл обрывается внутри поля 101"},
    {"truncated-in-version", damaged, "файл короче номера версии"},
    {"unknown-type-id", damaged, "неизвестный тип значения 127 в поле 120"},
    {"user-type", damaged, "неизвестный тип значения 1024 в поле 120"},
    {"version-2", oldVersion, ""},
    {"version-4", oldVersion, ""},
    {"version-little-endian", oldVersion, ""},
    {"version-only", badType, ""},
};

} // namespace

class TestDoc : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString logPath() const { return path(QStringLiteral("app.log")); }

    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        if (!orxtest::writeFile(path(name), bytes))
            qFatal("cannot write the test file");
        return path(name);
    }

    static QByteArray readFile(const QString& fileName) { return orxtest::readFile(fileName); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        geh::ErrorHandler::instance()->setLogFileName(logPath());
    }

    void init()
    {
        QFile::remove(logPath());
        SmartSettings::data(SmartSettings::Global)->remove(QStringLiteral("Common/Directory"));
    }

    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    // Runs first: the counter starts at 1 with the program and is shared by all
    // document types.
    // The counter starts at 1 with the program, is shared by all document
    // types, and a refused request (no type, a saved document) uses no number.
    void defaultNames()
    {
        orxtest::MessageCapture capture;
        Doc().createDefaultName();
        Doc saved = typedDoc(20);
        QVERIFY(saved.save(path(QStringLiteral("named.orx"))));
        saved.createDefaultName();
        QCOMPARE(capture.conditions(),
                 (QStringList{QStringLiteral("docType()"), QStringLiteral("untitled()")}));
        QCOMPARE(saved.name(), QStringLiteral("named"));
        QStringList names;
        for (int type : {20, 30, 500, 200}) {
            Doc doc = typedDoc(type);
            doc.createDefaultName();
            names << doc.name();
        }
        QCOMPARE(names, (QStringList{QStringLiteral("Клапан 1"), QStringLiteral("Регулятор 2"),
                                     QStringLiteral("Расчёт Kv 3"), QStringLiteral("Расходомер 4")}));
    }

    void documentWithOnlyItsTypeIsSeventeenBytes()
    {
        QCOMPARE(Doc().toByteArray(), hex(kVersion));
        QCOMPARE(typedDoc(20).toByteArray(), hex("00 00 00 03 7F FE 00 00 00 00 00 02 00 00 00 00 14"));
    }

    void fieldRoundTrip_data()
    {
        QTest::addColumn<int>("fieldCode");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QByteArray>("variantBytes");
        QTest::newRow("double") << 102 << QVariant(1.5) << hex("00000006 00 3FF8000000000000");
        QTest::newRow("null double") << 105 << QVariant(QVariant::Double)
                                     << hex("00000006 01 0000000000000000");
        QTest::newRow("Cyrillic text")
            << 122 << QVariant(QStringLiteral("Ая")) << hex("0000000A 00 00000004 0410044F");
        QTest::newRow("empty text") << 122 << QVariant(QLatin1String("")) << hex("0000000A 00 00000000");
        QTest::newRow("null text") << 122 << QVariant(QString()) << hex("0000000A 00 FFFFFFFF");
        QTest::newRow("null text variant")
            << 122 << QVariant(QVariant::String) << hex("0000000A 01 FFFFFFFF");
        QTest::newRow("combo code") << 120 << QVariant(2) << hex("00000002 00 00000002");
        QTest::newRow("combo without current item") << 121 << QVariant() << hex("00000000 01");
        QTest::newRow("combo null integer") << 121 << QVariant(QVariant::Int) << hex("00000002 01 00000000");
        QTest::newRow("check ticked") << 406 << QVariant(true) << hex("00000001 00 01");
        QTest::newRow("check null") << 418 << QVariant(QVariant::Bool) << hex("00000001 01 00");
    }

    // Every kind goes to the file in the bytes Qt 5.5 wrote, and comes back with
    // its type, null state and value.
    void fieldRoundTrip()
    {
        QFETCH(int, fieldCode);
        QFETCH(QVariant, value);
        QFETCH(QByteArray, variantBytes);
        Doc doc = typedDoc(20);
        doc.setValue(DocKey(qint16(fieldCode), 3), value);
        const QByteArray key =
            QByteArray::fromHex(QByteArray::number(fieldCode, 16).rightJustified(4, '0')) + hex("0003");
        const QByteArray expected = hex(kVersion) + key + variantBytes + hex(kType20);
        const QString fileName = path(QStringLiteral("field.orx"));
        QVERIFY(doc.save(fileName));
        QCOMPARE(readFile(fileName), expected);

        Doc loaded;
        QVERIFY(Doc::loadFromFile(fileName, loaded));
        QCOMPARE(loaded.keys().size(), 2);
        const QVariant read = loaded.value(DocKey(qint16(fieldCode), 3));
        QCOMPARE(read.userType(), value.userType());
        QCOMPARE(read.isNull(), value.isNull());
        QCOMPARE(read, value);
    }

    void longTextCrossesReadingSteps()
    {
        // 1.2 million bytes: read in two steps, with a character split nowhere.
        QString text;
        for (int i = 0; i < 600000; ++i)
            text += QChar(0x0410 + i % 64);
        Doc doc = typedDoc(500);
        doc.setValue(DocKey(122), text);
        Doc loaded;
        QCOMPARE(Doc::fromByteArray(doc.toByteArray(), loaded), Doc::rsOk);
        QCOMPARE(loaded.value(DocKey(122)).toString(), text);
    }

    void keysAreOrderedAsSignedNumbers()
    {
        Doc doc = typedDoc(20);
        doc.setValue(DocKey(100, 1), 1);
        doc.setValue(DocKey(-2, 0), 2);
        doc.setValue(DocKey(100, -1), 3);
        doc.setValue(DocKey(32767, 0), 4);
        const QList<DocKey> expected{DocKey(-2, 0), DocKey(100, -1), DocKey(100, 1), DocKey(32766, 0),
                                     DocKey(32767, 0)};
        QCOMPARE(doc.keys(), expected);
        QCOMPARE(doc.toByteArray().mid(4, 4), hex("FFFE0000")); // the file starts with the lowest key
    }

    void laterDuplicateReplacesEarlier()
    {
        Doc doc;
        const QByteArray bytes = typedDocument("00780000 00000002 00 00000001 00780000 00000002 00 00000004");
        QCOMPARE(Doc::fromByteArray(bytes, doc), Doc::rsOk);
        QCOMPARE(doc.value(DocKey(120)), QVariant(4));
        QCOMPARE(doc.keys().size(), 2);
    }

    // Every file of the hostile corpus (the reader's fuzzing seeds): what it
    // opens to, and what the user is told the reader found - not the file's
    // own "Unknown error". The documents the program writes open as written.
    void corpusFile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("outcome"); // status|reason
        const QDir corpus(QStringLiteral(ORX_TEST_SOURCE_DIR "/../fuzz/corpus/document"));
        for (const QString& name : corpus.entryList({QStringLiteral("*.orx")}, QDir::Files))
            QTest::newRow(qPrintable(name)) << corpus.filePath(name) << QStringLiteral("?");
    }

    void corpusFile()
    {
        QFETCH(QString, fileName);
        const QByteArray bytes = readFile(fileName);
        const QString opened = path(QStringLiteral("hostile.orx"));
        const Doc::ReadStatus status =
            doctest::openThroughFile(opened, bytes, QString::fromLatin1(QTest::currentDataTag()));
        orxtest::MessageCapture capture;
        Doc doc;
        Doc::loadFromFile(opened, doc);
        const QString outcome =
            QString::number(status) + QLatin1Char('|') + capture.messages().value(0).details;
        const QString stem = QFileInfo(fileName).completeBaseName();
        QString expected = QStringLiteral("0|");
        for (const CorpusOutcome& row : kCorpus)
            if (stem == QLatin1String(row.stem))
                expected = QString::number(row.status) + QLatin1Char('|') + QString::fromUtf8(row.reason);
        QCOMPARE(outcome, expected);
        for (const orxsamples::SampleDocument& sample : orxsamples::sampleDocuments())
            if (sample.stem == stem)
                QCOMPARE(bytes, sample.doc.toByteArray());
    }

    // A pipe hides the size, so a declared length cannot be checked against it.
    void sequentialSourceNeverTrustsTheDeclaredLength()
    {
        const QByteArray bytes = typedDocument("", "007A0000 0000000A 00 7FFFFFFE 00410042");
        FaultyDevice pipe(std::numeric_limits<qint64>::max(), bytes, true);
        QVERIFY(pipe.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        Doc doc;
        QCOMPARE(Doc::readFrom(&pipe, doc), Doc::rsDamaged);

        const Doc valve = orxsamples::valveDocument();
        FaultyDevice whole(std::numeric_limits<qint64>::max(), valve.toByteArray(), true);
        QVERIFY(whole.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        QCOMPARE(Doc::readFrom(&whole, doc), Doc::rsOk);
        QCOMPARE(doc.keys(), valve.keys());
    }

    void readErrorIsDamage()
    {
        const QByteArray bytes = orxsamples::valveDocument().toByteArray();
        FaultyDevice device(bytes.size() / 2, bytes);
        QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        Doc doc;
        QString reason;
        QCOMPARE(Doc::readFrom(&device, doc, &reason), Doc::rsDamaged);
        QVERIFY(doc.keys().isEmpty());
        QCOMPARE(reason, QStringLiteral("Input/output error")); // the device's word, not a damage found
    }

    void unopenableFile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("missing file") << path(QStringLiteral("нет такого.orx"));
        // Endless: reading it as a document must not even start.
        QTest::newRow("a device") << QStringLiteral("/dev/zero");
    }

    void unopenableFile()
    {
        QFETCH(QString, fileName);
        orxtest::MessageCapture capture;
        Doc doc;
        QVERIFY(!Doc::loadFromFile(fileName, doc));
        QVERIFY(doc.keys().isEmpty());
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().text,
                 QStringLiteral("Не удалось открыть файл \"%1\"").arg(fileName));
        QCOMPARE(capture.messages().first().level, int(geh::mlError));
        QVERIFY(!capture.messages().first().details.isEmpty());
    }

    void warningPresenterIsReplaceable()
    {
        const QString fileName = writeFile(QStringLiteral("old.orx"), hex("00000002"));
        orxtest::MessageCapture capture;
        g_presented.clear();
        Doc::setWarningPresenter([](const QString& title, const QString& text) {
            g_presented << title + QLatin1Char('|') + text;
        });
        Doc doc;
        QVERIFY(!Doc::loadFromFile(fileName, doc));
        Doc::setWarningPresenter(nullptr);
        QCOMPARE(capture.count(), 0);
        const QStringList shown = doctest::refusal(Doc::rsWrongVersion, fileName);
        QCOMPARE(g_presented, QStringList{shown.at(0) + QLatin1Char('|') + shown.at(1)});
    }

    void displayName_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* tag, const char* fileName, const char* name) {
            QTest::newRow(tag) << QString::fromUtf8(fileName) << QString::fromUtf8(name);
        };
        row("own extension hidden", "Проект.orx", "Проект");
        row("upper-case extension kept", "Проект.ORX", "Проект.ORX");
        row("no extension", "Проект", "Проект");
    }

    void displayName()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, name);
        Doc doc = typedDoc(20);
        doc.createDefaultName();
        QVERIFY(doc.save(path(fileName)));
        QCOMPARE(doc.name(), name);
        Doc loaded;
        QVERIFY(Doc::loadFromFile(path(fileName), loaded));
        QCOMPARE(loaded.name(), name);
    }

    void fileIdentityIsCanonical()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sub")));
        Doc doc = typedDoc(20);
        QVERIFY(doc.save(path(QStringLiteral("sub/../Цель.orx"))));
        QCOMPARE(doc.canonicalFileName(), QFileInfo(path(QStringLiteral("Цель.orx"))).canonicalFilePath());
        QVERIFY(QFile::link(path(QStringLiteral("Цель.orx")), path(QStringLiteral("Ссылка.orx"))));
        Doc loaded;
        QVERIFY(Doc::loadFromFile(path(QStringLiteral("Ссылка.orx")), loaded));
        QCOMPARE(loaded.name(), QStringLiteral("Цель"));
    }

    void missingFieldIsLoggedAndNull()
    {
        const Doc doc = typedDoc(20);
        QVERIFY(!doc.value(DocKey(108, 2)).isValid());
        QVERIFY(readFile(logPath()).contains("WARNING            " +
                                             toLocaleBytes(QStringLiteral("Нет поля 108 с индексом 2"))));
        QVERIFY(doc.value(DocKey(Doc::fcDocType)).isValid());
    }

    // One code of each kind, and one of none.
    void fieldKind_data()
    {
        QTest::addColumn<int>("fieldCode");
        QTest::addColumn<FieldKind>("kind");
        const QList<QPair<int, FieldKind>> rows{
            {-1, fkNone},  {100, fkCombo}, {102, fkDouble}, {104, fkRadio},
            {122, fkText}, {123, fkNone},  {406, fkCheck},
        };
        for (const auto& row : rows)
            QTest::addRow("%d", row.first) << row.first << row.second;
    }

    void fieldKind()
    {
        QFETCH(int, fieldCode);
        QFETCH(FieldKind, kind);
        orxtest::MessageCapture capture;
        QCOMPARE(Doc::type(qint16(fieldCode)), kind);
        QStringList shown;
        for (const orxtest::CapturedMessage& message : capture.messages())
            shown << message.text << QString::number(message.level);
        if (kind == fkNone)
            QCOMPARE(shown, (QStringList{QStringLiteral("Doc::type() failed for %1").arg(fieldCode),
                                         QString::number(geh::mlError)}));
        else
            QCOMPARE(shown, QStringList());
        QCOMPARE(Doc::isCombo(qint16(fieldCode)), kind == fkCombo);
    }

    // One row per rule: what a field of each kind keeps, and what becomes not
    // filled in (the null value of its kind) or is cut.
    void repairFields_data()
    {
        QTest::addColumn<int>("fieldCode");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<int>("repair"); // 0 when the field stays as it is

        const QString name(Doc::maxTextLength, QLatin1Char('x'));
        const int cut = Doc::frCut, cleared = Doc::frCleared;
        const QVariant nullDouble(QVariant::Double);
        QTest::newRow("name of a million characters")
            << 122 << QVariant(QString(1000000, QLatin1Char('x'))) << QVariant(name) << cut;
        QTest::newRow("cut between the halves of a character")
            << 122 << QVariant(name.left(999) + QString::fromUtf8("\U0001F600")) << QVariant(name.left(999))
            << cut;
        QTest::newRow("name at the bound") << 122 << QVariant(name) << QVariant(name) << 0;
        QTest::newRow("text in a number field")
            << 102 << QVariant(QStringLiteral("1e400")) << nullDouble << cleared;
        QTest::newRow("not-a-number") << 102 << QVariant(std::nan("")) << nullDouble << cleared;
        QTest::newRow("integer in a number field is that number") << 105 << QVariant(5) << QVariant(5) << 0;
        QTest::newRow("number") << 108 << QVariant(-1.5) << QVariant(-1.5) << 0;
        QTest::newRow("number in a text field")
            << 122 << QVariant(1.5) << QVariant(QVariant::String) << cleared;
        QTest::newRow("text in a combo") << 121 << QVariant(QStringLiteral("1")) << QVariant() << cleared;
        QTest::newRow("combo code") << 120 << QVariant(7) << QVariant(7) << 0;
        QTest::newRow("combo without choice") << 121 << QVariant() << QVariant() << 0;
        QTest::newRow("boolean in a radio group")
            << 104 << QVariant(true) << QVariant(QVariant::Int) << cleared;
        QTest::newRow("radio id") << 401 << QVariant(-1) << QVariant(-1) << 0;
        QTest::newRow("integer in a check box") << 406 << QVariant(1) << QVariant(QVariant::Bool) << cleared;
        QTest::newRow("check state") << 418 << QVariant(true) << QVariant(true) << 0;
        QTest::newRow("code without a kind, silently") << 999 << QVariant(1.5) << QVariant(1.5) << 0;
        QTest::newRow("document type judged by the reader")
            << int(Doc::fcDocType) << QVariant(QStringLiteral("20")) << QVariant(QStringLiteral("20")) << 0;
    }

    void repairFields()
    {
        QFETCH(int, fieldCode);
        QFETCH(QVariant, value);
        QFETCH(QVariant, expected);
        QFETCH(int, repair);
        const DocKey key{qint16(fieldCode)};
        Doc doc = typedDoc(20);
        doc.setValue(key, value);
        orxtest::MessageCapture capture;
        const QList<Doc::RepairedField> repaired = doc.repairFields();
        QCOMPARE(capture.count(), 0);
        const QVariant actual = doc.value(key);
        QCOMPARE(actual.userType(), expected.userType());
        QCOMPARE(actual.isNull(), expected.isNull());
        QVERIFY(actual == expected);
        QCOMPARE(repaired.size(), repair ? 1 : 0);
        if (repair) {
            QVERIFY(repaired.first().key == key);
            QCOMPARE(int(repaired.first().what), repair);
        }
    }

    void emptinessAndInit()
    {
        QVERIFY(Doc().isEmpty());
        Doc doc = typedDoc(20);
        QVERIFY(doc.isEmpty());
        doc.setValue(DocKey(102), 1.0);
        QVERIFY(!doc.isEmpty());
        Doc typeless;
        typeless.setValue(DocKey(102), 1.0);
        QVERIFY(!typeless.isEmpty());
        QCOMPARE(typeless.docType(), 0);

        // init forgets the fields and the file.
        QVERIFY(doc.save(path(QStringLiteral("x.orx"))));
        doc.init(500);
        QCOMPARE(doc.keys(), QList<DocKey>{DocKey(Doc::fcDocType)});
        QCOMPARE(doc.docType(), 500);
        QVERIFY(doc.untitled());
    }

    void directoryRemembersTheChosenFile()
    {
        QCOMPARE(Doc::directory(), QDir::homePath() + QLatin1Char('/')); // nothing chosen yet
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Проекты/2024")));
        const QString folder = path(QStringLiteral("Проекты/2024"));
        Doc::setDirectory(folder + QStringLiteral("/Клапан.orx"));
        QCOMPARE(SmartSettings().value(QStringLiteral("Common/Directory")).toString(), folder);
        QCOMPARE(Doc::directory(), folder + QLatin1Char('/'));

        // A folder stands for its parent's entry, as a chosen file would.
        Doc::setDirectory(folder);
        QCOMPARE(Doc::directory(), path(QStringLiteral("Проекты")) + QLatin1Char('/'));
    }

    void directoryFallsBackToTheRoot_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("existing folder with slash")
            << m_dir.path() + QStringLiteral("/") << m_dir.path() + QStringLiteral("/");
        QTest::newRow("folder gone") << path(QStringLiteral("нет такой папки")) << QStringLiteral("/");
        QTest::newRow("a file, not a folder") << logPath() << QStringLiteral("/");
        QTest::newRow("Windows path") << QStringLiteral("D:\\Документы\\") << QStringLiteral("/");
    }

    void directoryFallsBackToTheRoot()
    {
        QFETCH(QString, stored);
        writeFile(QStringLiteral("app.log"), "x");
        SmartSettings().setValue(QStringLiteral("Common/Directory"), stored);
        QTEST(Doc::directory(), "expected");
    }

    void saveLeavesItsTraceMarks()
    {
        QVERIFY(typedDoc(20).save(path(QStringLiteral("marks.orx"))));
        const QByteArray log = readFile(logPath());
        int at = 0;
        for (const char* mark : {"F1", "F2", "F3", "F4", "F5"}) {
            at = log.indexOf("WARNING            getSaveFileName - " + QByteArray(mark), at);
            QVERIFY2(at >= 0, mark);
        }
    }

    void failedOpenForWritingIsReported()
    {
        const QString fileName = path(QStringLiteral("нет/doc.orx")); // the folder is missing
        orxtest::MessageCapture capture;
        Doc doc = typedDoc(20);
        doc.createDefaultName();
        const QString name = doc.name();
        QVERIFY(!doc.save(fileName));
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().text, QStringLiteral("Не удалось открыть файл"));
        QCOMPARE(capture.messages().first().title, QStringLiteral("Ошибка"));
        QVERIFY(!capture.messages().first().details.isEmpty());
        QCOMPARE(doc.name(), name);
        QVERIFY(readFile(logPath()).contains("getSaveFileName - F1"));
        QVERIFY(!readFile(logPath()).contains("getSaveFileName - F2"));
    }

    // The writer stops at the first refused write, whatever byte it falls on.
    void writerReportsEveryFailedWrite()
    {
        const Doc doc = orxsamples::valveDocument();
        const QByteArray full = doc.toByteArray();
        for (int limit = 0; limit <= full.size(); ++limit) {
            FaultyDevice device(limit);
            QVERIFY(device.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            if (doc.writeTo(&device) != (limit == full.size()))
                QFAIL(qPrintable(QStringLiteral("limit %1").arg(limit)));
            QVERIFY(full.startsWith(device.written()));
        }
    }

    // A value the reader would refuse never replaces a good file.
    void unstorableValueNeverReachesTheFile_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("64-bit integer") << QVariant(qlonglong(5));
        QTest::newRow("string list") << QVariant(QStringList{QStringLiteral("a")});
        QTest::newRow("not-a-number") << QVariant(std::nan(""));
    }

    void unstorableValueNeverReachesTheFile()
    {
        QFETCH(QVariant, value);
        const QByteArray old = typedDocument();
        const QString fileName = writeFile(QStringLiteral("keep.orx"), old);
        Doc doc = typedDoc(20);
        doc.setValue(DocKey(102), value);
        orxtest::MessageCapture capture;
        QVERIFY(!doc.save(fileName));
        QCOMPARE(readFile(fileName), old);
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().endsWith(QLatin1String("isStorableValue(value)")));
        QCOMPARE(capture.messages().last().text, QStringLiteral("Ошибка при сохранении документа"));
    }
};

ORX_CORE_TEST_MAIN(TestDoc)
#include "tst_doc.moc"
