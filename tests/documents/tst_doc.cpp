#include "documents/doc.h"
#include "gentools/errorhandle.h"
#include "settings/oemcodec.h"
#include "settings/smartsettings.h"
#include "testsupport.h"
#include "tst_doc_faultydevice.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

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

// What a valve window stores: every field kind, with a few indexed fields.
Doc valveDocument()
{
    Doc doc;
    doc.init(20);
    doc.setValue(DocKey(Doc::fcDeviceType), 5);
    doc.setValue(DocKey(122), QStringLiteral("Котельная № 2, ул. Заводская\nИТП-1"));
    doc.setValue(DocKey(120), 1);
    doc.setValue(DocKey(121), 2);
    doc.setValue(DocKey(141), 40.0);
    doc.setValue(DocKey(131), 1);
    doc.setValue(DocKey(1011), 2);
    doc.setValue(DocKey(101), 1);
    doc.setValue(DocKey(102), 6.5);
    doc.setValue(DocKey(103), 4.25);
    doc.setValue(DocKey(1031), 2.25);
    doc.setValue(DocKey(1032), 0.4);
    doc.setValue(DocKey(105), 150.0);
    doc.setValue(DocKey(107), 70.0);
    doc.setValue(DocKey(104), 2);
    doc.setValue(DocKey(106), 0.85);
    doc.setValue(DocKey(1061), 1);
    doc.setValue(DocKey(108), 10.625);
    doc.setValue(DocKey(1081), 1);
    doc.setValue(DocKey(201, 0), 50);
    doc.setValue(DocKey(201, 1), QVariant());
    doc.setValue(DocKey(406), true);
    doc.setValue(DocKey(410), false);
    return doc;
}

void verifySameValue(const QVariant& actual, const QVariant& expected)
{
    QCOMPARE(actual.userType(), expected.userType());
    QCOMPARE(actual.isNull(), expected.isNull());
    QCOMPARE(actual, expected);
}

// The message the user sees for each way a file can be refused.
struct ExpectedMessage
{
    QString title;
    QString text;
    int level;
};

ExpectedMessage messageFor(Doc::ReadStatus status, const QString& fileName)
{
    switch (status) {
    case Doc::rsWrongVersion:
        return {QStringLiteral("Предупреждение"),
                QStringLiteral("Несоответствие версии загружаемого документа (%1) и версии программы")
                    .arg(fileName),
                geh::mlWarning};
    case Doc::rsDamaged:
        return {QStringLiteral("Ошибка"), QStringLiteral("Ошибка при открытии документа"), geh::mlError};
    case Doc::rsInvalidDocType:
        return {QStringLiteral("Предупреждение"), QStringLiteral("Файл повреждён или имеет неверный формат"),
                geh::mlWarning};
    case Doc::rsOk:
        break;
    }
    return {};
}

QStringList g_presented;

void capturePresenter(const QString& title, const QString& text)
{
    g_presented << title + QLatin1Char('|') + text;
}

} // namespace

class TestDoc : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString logPath() const { return path(QStringLiteral("app.log")); }

    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return file.fileName();
    }

    static QByteArray readFile(const QString& fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    QByteArray readLog() const { return readFile(logPath()); }

    // Loads through the file and checks the user's side of the outcome: the
    // message shown, and a document that is empty unless it opened.
    void verifyLoadOutcome(const QString& fileName, Doc::ReadStatus status)
    {
        orxtest::MessageCapture capture;
        Doc doc;
        doc.init(30);
        doc.createDefaultName();
        const bool opened = Doc::loadFromFile(fileName, doc);
        QCOMPARE(opened, status == Doc::rsOk);
        if (opened) {
            QCOMPARE(capture.count(), 0);
            QVERIFY(doc.hasFileName());
            return;
        }
        QVERIFY(doc.keys().isEmpty());
        QVERIFY(doc.untitled());
        const ExpectedMessage expected = messageFor(status, fileName);
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().title, expected.title);
        QCOMPARE(capture.messages().first().text, expected.text);
        QCOMPARE(capture.messages().first().level, expected.level);
    }

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
    void defaultNamesContinueAcrossDocumentTypes()
    {
        const int types[] = {20, 30, 500};
        QStringList names;
        for (int type : types) {
            Doc doc;
            doc.init(type);
            doc.createDefaultName();
            names << doc.name();
        }
        QCOMPARE(names, (QStringList{QStringLiteral("Клапан 1"), QStringLiteral("Регулятор 2"),
                                     QStringLiteral("Расчёт Kv 3")}));
    }

    void defaultNameNeedsAnUntitledTypedDocument()
    {
        orxtest::MessageCapture capture;
        Doc noType;
        noType.createDefaultName();
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().endsWith(QLatin1String("\r\ndocType()")));

        Doc saved;
        saved.init(20);
        QVERIFY(saved.save(path(QStringLiteral("named.orx"))));
        saved.createDefaultName();
        QCOMPARE(capture.assertions().size(), 2);
        QVERIFY(capture.assertions().last().endsWith(QLatin1String("\r\nuntitled()")));
        QCOMPARE(saved.name(), QStringLiteral("named"));

        // Neither refusal used up a number.
        Doc next;
        next.init(200);
        next.createDefaultName();
        QCOMPARE(next.name(), QStringLiteral("Расходомер 4"));
    }

    void documentWithOnlyItsTypeIsSeventeenBytes()
    {
        Doc doc;
        doc.init(20);
        const QByteArray expected = hex("00 00 00 03 7F FE 00 00 00 00 00 02 00 00 00 00 14");
        QCOMPARE(doc.toByteArray(), expected);
        const QString fileName = path(QStringLiteral("type20.orx"));
        QVERIFY(doc.save(fileName));
        QCOMPARE(readFile(fileName), expected);

        Doc loaded;
        QVERIFY(Doc::loadFromFile(fileName, loaded));
        QCOMPARE(loaded.docType(), 20);
        QVERIFY(loaded.isEmpty());
        QCOMPARE(loaded.name(), QStringLiteral("type20"));
    }

    void emptyDocumentIsTheVersionOnly() { QCOMPARE(Doc().toByteArray(), hex("00000003")); }

    void fieldRoundTrip_data()
    {
        QTest::addColumn<int>("fieldCode");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QByteArray>("variantBytes");
        QTest::newRow("double") << 102 << QVariant(1.5) << hex("00000006 00 3FF8000000000000");
        QTest::newRow("negative double") << 103 << QVariant(-0.25) << hex("00000006 00 BFD0000000000000");
        QTest::newRow("null double") << 105 << QVariant(QVariant::Double)
                                     << hex("00000006 01 0000000000000000");
        QTest::newRow("Cyrillic text")
            << 122 << QVariant(QStringLiteral("Ая")) << hex("0000000A 00 00000004 0410044F");
        QTest::newRow("text with a line break")
            << 122 << QVariant(QStringLiteral("А\nб")) << hex("0000000A 00 00000006 0410000A0431");
        QTest::newRow("empty text") << 122 << QVariant(QLatin1String("")) << hex("0000000A 00 00000000");
        QTest::newRow("null text") << 122 << QVariant(QString()) << hex("0000000A 00 FFFFFFFF");
        QTest::newRow("null text variant")
            << 122 << QVariant(QVariant::String) << hex("0000000A 01 FFFFFFFF");
        QTest::newRow("combo code") << 120 << QVariant(2) << hex("00000002 00 00000002");
        QTest::newRow("combo code -1") << 1081 << QVariant(-1) << hex("00000002 00 FFFFFFFF");
        QTest::newRow("combo without current item") << 121 << QVariant() << hex("00000000 01");
        QTest::newRow("combo null integer") << 121 << QVariant(QVariant::Int) << hex("00000002 01 00000000");
        QTest::newRow("radio") << 104 << QVariant(2) << hex("00000002 00 00000002");
        QTest::newRow("check ticked") << 406 << QVariant(true) << hex("00000001 00 01");
        QTest::newRow("check clear") << 410 << QVariant(false) << hex("00000001 00 00");
        QTest::newRow("check null") << 418 << QVariant(QVariant::Bool) << hex("00000001 01 00");
    }

    // Every kind goes to the file in the bytes Qt 5.5 wrote, and comes back with
    // its type, null state and value.
    void fieldRoundTrip()
    {
        QFETCH(int, fieldCode);
        QFETCH(QVariant, value);
        QFETCH(QByteArray, variantBytes);
        Doc doc;
        doc.init(20);
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
        verifySameValue(loaded.value(DocKey(qint16(fieldCode), 3)), value);
        QCOMPARE(loaded.toByteArray(), expected);
    }

    void longTextCrossesReadingSteps()
    {
        // 1.2 million bytes: read in two steps, with a character split nowhere.
        QString text;
        for (int i = 0; i < 600000; ++i)
            text += QChar(0x0410 + i % 64);
        Doc doc;
        doc.init(500);
        doc.setValue(DocKey(122), text);
        Doc loaded;
        QCOMPARE(Doc::fromByteArray(doc.toByteArray(), loaded), Doc::rsOk);
        QCOMPARE(loaded.value(DocKey(122)).toString(), text);
    }

    void fullValveDocumentRoundTrip()
    {
        Doc doc = valveDocument();
        doc.createDefaultName();
        const QString fileName = path(QStringLiteral("Клапан ИТП.orx"));
        QVERIFY(doc.save(fileName));
        QCOMPARE(doc.name(), QStringLiteral("Клапан ИТП"));

        Doc loaded;
        QVERIFY(Doc::loadFromFile(fileName, loaded));
        QCOMPARE(loaded.keys(), doc.keys());
        for (const DocKey& key : doc.keys())
            verifySameValue(loaded.value(key), doc.value(key));
        QCOMPARE(loaded.name(), QStringLiteral("Клапан ИТП"));
        QCOMPARE(loaded.toByteArray(), readFile(fileName));
    }

    void keysAreOrderedAsSignedNumbers()
    {
        Doc doc;
        doc.init(20);
        doc.setValue(DocKey(100, 1), 1);
        doc.setValue(DocKey(-2, 0), 2);
        doc.setValue(DocKey(100, -1), 3);
        doc.setValue(DocKey(32767, 0), 4);
        const QList<DocKey> expected{DocKey(-2, 0), DocKey(100, -1), DocKey(100, 1), DocKey(32766, 0),
                                     DocKey(32767, 0)};
        QCOMPARE(doc.keys(), expected);
        // The first field in the file is the lowest key.
        QCOMPARE(doc.toByteArray().mid(4, 4), hex("FFFE0000"));
    }

    void laterDuplicateReplacesEarlier()
    {
        Doc doc;
        QCOMPARE(Doc::fromByteArray(typedDocument("00780000 00000002 00 00000001"
                                                  "00780000 00000002 00 00000004"),
                                    doc),
                 Doc::rsOk);
        QCOMPARE(doc.value(DocKey(120)), QVariant(4));
        QCOMPARE(doc.keys().size(), 2);
    }

    void hostileFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Doc::ReadStatus>("status");
        const char* intField = "00780000 00000002 00 00000001";
        QTest::newRow("valid, only the type") << typedDocument() << Doc::rsOk;
        QTest::newRow("unknown field code is kept")
            << typedDocument("12340000 00000002 00 00000001") << Doc::rsOk;
        QTest::newRow("version 2") << hex("00000002") + hex(kType20) << Doc::rsWrongVersion;
        QTest::newRow("version 4") << hex("00000004") + hex(kType20) << Doc::rsWrongVersion;
        QTest::newRow("version -1") << hex("FFFFFFFF") << Doc::rsWrongVersion;
        QTest::newRow("little-endian version") << hex("03000000") + hex(kType20) << Doc::rsWrongVersion;
        QTest::newRow("empty file") << QByteArray() << Doc::rsDamaged;
        QTest::newRow("three bytes") << hex("000000") << Doc::rsDamaged;
        QTest::newRow("version only") << hex(kVersion) << Doc::rsInvalidDocType;
        QTest::newRow("fields without a type") << hex(kVersion) + hex(intField) << Doc::rsInvalidDocType;
        QTest::newRow("document type 7")
            << hex("00000003 7FFE0000 00000002 00 00000007") << Doc::rsInvalidDocType;
        QTest::newRow("document type 0")
            << hex("00000003 7FFE0000 00000002 00 00000000") << Doc::rsInvalidDocType;
        QTest::newRow("document type at index 1")
            << hex("00000003 7FFE0001 00000002 00 00000014") << Doc::rsInvalidDocType;
        QTest::newRow("document type null") << hex("00000003 7FFE0000 00000000 01") << Doc::rsInvalidDocType;
        QTest::newRow("type id flipped to unsigned")
            << hex("00000003 7FFE0000 00000003 00 00000014") << Doc::rsDamaged;
        QTest::newRow("type id flipped to long long")
            << hex("00000003 7FFE0000 00000004 00 0000000000000014") << Doc::rsDamaged;
        QTest::newRow("unknown type id")
            << typedDocument("", "00780000 0000007F 00 00000001") << Doc::rsDamaged;
        QTest::newRow("user type with a name")
            << typedDocument("", "00780000 00000400 00 00000005 41424300") << Doc::rsDamaged;
        QTest::newRow("list of 2^31-1 variants")
            << typedDocument("", "00780000 00000009 00 7FFFFFFF") << Doc::rsDamaged;
        QTest::newRow("map of 2^31-1 entries")
            << typedDocument("", "00780000 00000008 00 7FFFFFFF") << Doc::rsDamaged;
        QTest::newRow("huge declared string length")
            << typedDocument("", "007A0000 0000000A 00 7FFFFFFE 0041") << Doc::rsDamaged;
        QTest::newRow("string longer than the rest")
            << typedDocument("", "007A0000 0000000A 00 00000006 00410042") << Doc::rsDamaged;
        QTest::newRow("odd string length")
            << typedDocument("", "007A0000 0000000A 00 00000003 004100") << Doc::rsDamaged;
        QTest::newRow("null flag 2") << typedDocument("", "00780000 00000002 02 00000001") << Doc::rsDamaged;
        QTest::newRow("null integer with a value")
            << typedDocument("", "00780000 00000002 01 00000005") << Doc::rsDamaged;
        QTest::newRow("null double with a value")
            << typedDocument("", "00660000 00000006 01 3FF0000000000000") << Doc::rsDamaged;
        QTest::newRow("null string with text")
            << typedDocument("", "007A0000 0000000A 01 00000002 0041") << Doc::rsDamaged;
        QTest::newRow("null boolean set") << typedDocument("", "01960000 00000001 01 01") << Doc::rsDamaged;
        QTest::newRow("invalid variant not null")
            << typedDocument("", "00790000 00000000 00") << Doc::rsDamaged;
        QTest::newRow("boolean byte 2") << typedDocument("", "01960000 00000001 00 02") << Doc::rsDamaged;
        QTest::newRow("not-a-number")
            << typedDocument("", "00660000 00000006 00 7FF8000000000000") << Doc::rsDamaged;
        QTest::newRow("infinity") << typedDocument("", "00660000 00000006 00 FFF0000000000000")
                                  << Doc::rsDamaged;
        QTest::newRow("ends inside a value") << typedDocument().chopped(2) << Doc::rsDamaged;
        QTest::newRow("ends after the key") << typedDocument("", "0078 0000") << Doc::rsDamaged;
        QTest::newRow("three bytes of trailing garbage") << typedDocument("", "616263") << Doc::rsDamaged;
        QTest::newRow("nine bytes of trailing garbage")
            << typedDocument("", "FFFFFFFFFFFFFFFFFF") << Doc::rsDamaged;
        QTest::newRow("a valid field after the type") << typedDocument("", intField) << Doc::rsOk;
    }

    void hostileFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Doc::ReadStatus, status);
        Doc doc;
        QCOMPARE(Doc::fromByteArray(bytes, doc), status);
        QCOMPARE(doc.keys().isEmpty(), status != Doc::rsOk);
        verifyLoadOutcome(writeFile(QStringLiteral("hostile.orx"), bytes), status);
    }

    // Every prefix of a real document: the whole fields before the type make a
    // typeless document, a cut inside a field is damage, and the document opens
    // once its type has been read.
    void truncatedAtEveryByte()
    {
        const Doc doc = valveDocument();
        const QByteArray full = doc.toByteArray();
        QList<int> boundaries{4};
        QList<bool> typed{false};
        Doc partial;
        for (const DocKey& key : doc.keys()) {
            partial.setValue(key, doc.value(key));
            const QByteArray bytes = partial.toByteArray();
            QVERIFY(full.startsWith(bytes));
            boundaries << bytes.size();
            typed << (partial.docType() == 20);
        }
        QCOMPARE(boundaries.last(), full.size());

        for (int n = 0; n <= full.size(); ++n) {
            const int at = boundaries.indexOf(n);
            const Doc::ReadStatus expected = n < 4          ? Doc::rsDamaged
                                             : at < 0       ? Doc::rsDamaged
                                             : typed.at(at) ? Doc::rsOk
                                                            : Doc::rsInvalidDocType;
            Doc loaded;
            const QByteArray prefix = full.left(n);
            if (Doc::fromByteArray(prefix, loaded) != expected)
                QFAIL(qPrintable(QStringLiteral("prefix of %1 bytes").arg(n)));
            verifyLoadOutcome(writeFile(QStringLiteral("cut.orx"), prefix), expected);
        }
    }

    void sequentialSourceNeverTrustsTheDeclaredLength()
    {
        const QByteArray bytes = typedDocument("", "007A0000 0000000A 00 7FFFFFFE 00410042");
        FaultyDevice pipe(std::numeric_limits<qint64>::max(), bytes, true);
        QVERIFY(pipe.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        Doc doc;
        QCOMPARE(Doc::readFrom(&pipe, doc), Doc::rsDamaged);

        FaultyDevice whole(std::numeric_limits<qint64>::max(), valveDocument().toByteArray(), true);
        QVERIFY(whole.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        QCOMPARE(Doc::readFrom(&whole, doc), Doc::rsOk);
        QCOMPARE(doc.keys(), valveDocument().keys());
    }

    void readErrorIsDamage()
    {
        const QByteArray bytes = valveDocument().toByteArray();
        FaultyDevice device(bytes.size() / 2, bytes);
        QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        Doc doc;
        QCOMPARE(Doc::readFrom(&device, doc), Doc::rsDamaged);
        QVERIFY(doc.keys().isEmpty());
    }

    void unopenableFile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("missing file") << path(QStringLiteral("нет такого.orx"));
        QTest::newRow("a folder") << m_dir.path();
#ifdef Q_OS_UNIX
        // Endless: reading it as a document must not even start.
        QTest::newRow("a device") << QStringLiteral("/dev/zero");
#endif
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
        Doc::setWarningPresenter(capturePresenter);
        Doc doc;
        QVERIFY(!Doc::loadFromFile(fileName, doc));
        Doc::setWarningPresenter(nullptr);
        QCOMPARE(capture.count(), 0);
        QCOMPARE(
            g_presented,
            QStringList{QStringLiteral("Предупреждение|Несоответствие версии загружаемого документа (%1) и "
                                       "версии программы")
                            .arg(fileName)});
    }

    void displayName_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("name");
        QTest::newRow("own extension hidden") << "Проект.orx"
                                              << "Проект";
        QTest::newRow("upper-case extension kept") << "Проект.ORX"
                                                   << "Проект.ORX";
        QTest::newRow("mixed-case extension kept") << "Проект.Orx"
                                                   << "Проект.Orx";
        QTest::newRow("only the last extension") << "Проект.orx.orx"
                                                 << "Проект.orx";
        QTest::newRow("no extension") << "Проект"
                                      << "Проект";
        QTest::newRow("other extension") << "Проект.txt"
                                         << "Проект.txt";
    }

    void displayName()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, name);
        Doc doc;
        doc.init(20);
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
        Doc doc;
        doc.init(20);
        QVERIFY(doc.save(path(QStringLiteral("sub/../Цель.orx"))));
        QCOMPARE(doc.canonicalFileName(), QFileInfo(path(QStringLiteral("Цель.orx"))).canonicalFilePath());
        QVERIFY(QFile::link(path(QStringLiteral("Цель.orx")), path(QStringLiteral("Ссылка.orx"))));
        Doc loaded;
        QVERIFY(Doc::loadFromFile(path(QStringLiteral("Ссылка.orx")), loaded));
        QCOMPARE(loaded.name(), QStringLiteral("Цель"));
    }

    void missingFieldIsLoggedAndNull()
    {
        Doc doc;
        doc.init(20);
        const QVariant value = doc.value(DocKey(108, 2));
        QVERIFY(!value.isValid());
        const QByteArray log = readLog();
        QVERIFY(
            log.contains("WARNING            " + toLocaleBytes(QStringLiteral("Нет поля 108 с индексом 2"))));
        QVERIFY(doc.value(DocKey(Doc::fcDocType)).isValid());
    }

    void fieldKind_data()
    {
        QTest::addColumn<int>("fieldCode");
        QTest::addColumn<FieldKind>("kind");
        const QList<QPair<int, FieldKind>> rows{
            {-1, fkNone},     {0, fkNone},     {99, fkNone},     {100, fkCombo},   {101, fkCombo},
            {102, fkDouble},  {103, fkDouble}, {104, fkRadio},   {105, fkDouble},  {108, fkDouble},
            {109, fkNone},    {110, fkCombo},  {111, fkNone},    {119, fkNone},    {120, fkCombo},
            {121, fkCombo},   {122, fkText},   {123, fkNone},    {130, fkCombo},   {131, fkCombo},
            {140, fkNone},    {141, fkDouble}, {200, fkNone},    {201, fkCombo},   {203, fkCombo},
            {204, fkNone},    {303, fkNone},   {304, fkCombo},   {307, fkCombo},   {308, fkNone},
            {399, fkNone},    {400, fkCombo},  {401, fkRadio},   {402, fkCombo},   {404, fkCombo},
            {405, fkRadio},   {406, fkCheck},  {407, fkCombo},   {409, fkCombo},   {410, fkCheck},
            {411, fkCheck},   {412, fkCombo},  {414, fkCombo},   {415, fkDouble},  {416, fkCombo},
            {417, fkCombo},   {418, fkCheck},  {419, fkCheck},   {420, fkCombo},   {421, fkCombo},
            {422, fkNone},    {1010, fkNone},  {1011, fkRadio},  {1012, fkNone},   {1020, fkDouble},
            {1021, fkDouble}, {1022, fkNone},  {1030, fkNone},   {1031, fkDouble}, {1032, fkDouble},
            {1033, fkNone},   {1034, fkNone},  {1035, fkDouble}, {1037, fkDouble}, {1038, fkNone},
            {1060, fkNone},   {1061, fkCombo}, {1081, fkCombo},  {10370, fkNone},  {10371, fkDouble},
            {10372, fkNone},  {32765, fkNone}, {32766, fkCombo}, {32767, fkCombo},
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
        if (kind == fkNone) {
            QCOMPARE(capture.count(), 1);
            QCOMPARE(capture.messages().first().text,
                     QStringLiteral("Doc::type() failed for %1").arg(fieldCode));
            QCOMPARE(capture.messages().first().level, int(geh::mlError));
        } else {
            QCOMPARE(capture.count(), 0);
        }
        capture.clear();
        QCOMPARE(Doc::isCombo(qint16(fieldCode)), kind == fkCombo);
    }

    void emptiness()
    {
        Doc doc;
        QVERIFY(doc.isEmpty());
        doc.init(20);
        QVERIFY(doc.isEmpty());
        doc.setValue(DocKey(102), 1.0);
        QVERIFY(!doc.isEmpty());

        Doc typeless;
        typeless.setValue(DocKey(102), 1.0);
        QVERIFY(!typeless.isEmpty());
        QCOMPARE(typeless.docType(), 0);
    }

    void initForgetsFieldsAndNames()
    {
        Doc doc = valveDocument();
        QVERIFY(doc.save(path(QStringLiteral("x.orx"))));
        doc.init(500);
        QCOMPARE(doc.keys(), QList<DocKey>{DocKey(Doc::fcDocType)});
        QCOMPARE(doc.docType(), 500);
        QVERIFY(doc.untitled());
        doc.createDefaultName();
        QVERIFY(doc.name().startsWith(QStringLiteral("Расчёт Kv ")));
    }

    void directoryStartsAtHome()
    {
        QCOMPARE(Doc::directory(), QDir::homePath() + QLatin1Char('/'));
    }

    void directoryRemembersTheChosenFile()
    {
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
        QTest::newRow("folder gone") << m_dir.path() + QStringLiteral("/нет такой папки") << "/";
        QTest::newRow("a file, not a folder") << path(QStringLiteral("app.log")) << "/";
        QTest::newRow("Windows path") << "D:\\Документы\\"
                                      << "/";
    }

    void directoryFallsBackToTheRoot()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        writeFile(QStringLiteral("app.log"), "x");
        SmartSettings().setValue(QStringLiteral("Common/Directory"), stored);
        QCOMPARE(Doc::directory(), expected);
    }

    void saveLeavesItsTraceMarks()
    {
        Doc doc;
        doc.init(20);
        QVERIFY(doc.save(path(QStringLiteral("marks.orx"))));
        const QByteArray log = readLog();
        int at = 0;
        for (const char* mark : {"F1", "F2", "F3", "F4", "F5"}) {
            at = log.indexOf("WARNING            getSaveFileName - " + QByteArray(mark), at);
            QVERIFY2(at >= 0, mark);
        }
    }

    void failedOpenForWritingIsReported_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("missing folder") << path(QStringLiteral("нет/doc.orx"));
        QTest::newRow("a folder") << m_dir.path();
    }

    void failedOpenForWritingIsReported()
    {
        QFETCH(QString, fileName);
        orxtest::MessageCapture capture;
        Doc doc;
        doc.init(20);
        doc.createDefaultName();
        const QString name = doc.name();
        QVERIFY(!doc.save(fileName));
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().text, QStringLiteral("Не удалось открыть файл"));
        QCOMPARE(capture.messages().first().title, QStringLiteral("Ошибка"));
        QVERIFY(!capture.messages().first().details.isEmpty());
        QCOMPARE(doc.name(), name);
        QVERIFY(readLog().contains("getSaveFileName - F1"));
        QVERIFY(!readLog().contains("getSaveFileName - F2"));
    }

    // The writer stops at the first refused write, whatever byte it falls on.
    void writerReportsEveryFailedWrite()
    {
        const Doc doc = valveDocument();
        const QByteArray full = doc.toByteArray();
        for (int limit = 0; limit <= full.size(); ++limit) {
            FaultyDevice device(limit);
            QVERIFY(device.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const bool written = doc.writeTo(&device);
            if (written != (limit == full.size()))
                QFAIL(qPrintable(QStringLiteral("limit %1").arg(limit)));
            QVERIFY(full.startsWith(device.written()));
        }
    }

#ifdef Q_OS_UNIX
    // A disk that fills up during the save: the operating system refuses to let
    // the file grow past a few bytes. The last good document must survive.
    void failedSaveKeepsTheOldFile()
    {
        const QString fileName = path(QStringLiteral("Проект.orx"));
        const QByteArray old = typedDocument("00780000 00000002 00 00000003");
        writeFile(QStringLiteral("Проект.orx"), old);
        // Everything but the log, which the save itself writes to.
        const auto documents = [this] {
            QStringList files = QDir(m_dir.path()).entryList(QDir::Files);
            files.removeAll(QStringLiteral("app.log"));
            return files;
        };
        const QStringList before = documents();

        Doc doc = valveDocument();
        doc.createDefaultName();
        const QString name = doc.name();
        orxtest::MessageCapture capture;
        struct rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 48;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved_ok = doc.save(fileName);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!saved_ok);
        QCOMPARE(readFile(fileName), old);
        QCOMPARE(documents(), before);
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().text, QStringLiteral("Ошибка при сохранении документа"));
        QCOMPARE(doc.name(), name);

        // With room again the same document replaces the old one.
        QVERIFY(doc.save(fileName));
        QCOMPARE(readFile(fileName), doc.toByteArray());
    }
#endif

    void unstorableValueNeverReachesTheFile_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("64-bit integer") << QVariant(qlonglong(5));
        QTest::newRow("unsigned") << QVariant(5u);
        QTest::newRow("string list") << QVariant(QStringList{QStringLiteral("a")});
        QTest::newRow("not-a-number") << QVariant(std::nan(""));
        QTest::newRow("infinity") << QVariant(std::numeric_limits<double>::infinity());
    }

    void unstorableValueNeverReachesTheFile()
    {
        QFETCH(QVariant, value);
        const QByteArray old = typedDocument();
        const QString fileName = writeFile(QStringLiteral("keep.orx"), old);
        Doc doc;
        doc.init(20);
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
