#include "../../fuzz/sampledocuments.h"

#include "settings/oemcodec.h"
#include "settings/smartsettings.h"
#include "testsupport.h"

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Version 3, then the document type 20 under (32766, 0).
const char kVersion[] = "00000003";
const char kType20[] = "7FFE0000 00000002 00 00000014";

using orxtest::typedDoc;

// What the hostile corpus files (stems, by blanks) open to: status, details of the damaged-file error.
// Unlisted ones open.
// clang-format off
const int damaged = Doc::rsDamaged, badType = Doc::rsInvalidDocType, oldVersion = Doc::rsWrongVersion;
const struct { const char* stems; int status; const char* reason; } kCorpus[] = {
    {"boolean-byte-2", damaged, "неверное логическое значение в поле 406"},
    {"byte-array-2g", damaged, "неизвестный тип значения 12 в поле 120"},
    {"document-type-0 document-type-7 document-type-at-index-1 document-type-null missing-document-type version-only", badType, ""},
    {"empty three-bytes truncated-in-version", damaged, "файл короче номера версии"},
    {"flipped-type-id", damaged, "неизвестный тип значения 3 в поле 122"},
    {"huge-string-length truncated-in-string", damaged, "файл обрывается внутри поля 122"},
    {"infinity not-a-number", damaged, "не число или бесконечность в поле 102"},
    {"invalid-variant-not-null", damaged, "неверный признак пустого значения в поле 121"},
    {"list-of-2g-variants nested-lists", damaged, "неизвестный тип значения 9 в поле 120"},
    {"long-long", damaged, "неизвестный тип значения 4 в поле 120"},
    {"map-of-2g-entries", damaged, "неизвестный тип значения 8 в поле 120"},
    {"null-boolean-set", damaged, "пустое значение с данными в поле 406"},
    {"null-double-with-value", damaged, "пустое значение с данными в поле 102"},
    {"null-flag-2", damaged, "неверный признак пустого значения в поле 120"},
    {"null-integer-with-value", damaged, "пустое значение с данными в поле 120"},
    {"odd-string-length", damaged, "нечётная длина строки в поле 122"},
    {"trailing-garbage-1", damaged, "файл обрывается в начале поля"},
    {"trailing-garbage-3", damaged, "файл обрывается внутри поля 24930"},
    {"trailing-garbage-9", damaged, "неверный признак пустого значения в поле -1"},
    {"trailing-version", damaged, "файл обрывается внутри поля 0"},
    {"truncated-before-last-byte", damaged, "файл обрывается внутри поля 32767"},
    {"truncated-in-key truncated-in-type-id", damaged, "файл обрывается внутри поля 101"},
    {"unknown-type-id", damaged, "неизвестный тип значения 127 в поле 120"},
    {"user-type", damaged, "неизвестный тип значения 1024 в поле 120"},
    {"version-2 version-4 version-little-endian", oldVersion, ""},
};

// Every kind of field in the bytes Qt 5.5 wrote: the variant's type id, null flag and payload.
const struct { const char* name; int code; QVariant value; const char* bytes; } kFieldBytes[] = {
    {"double", 102, 1.5, "00000006 00 3FF8000000000000"},
    {"null double", 105, QVariant(QVariant::Double), "00000006 01 0000000000000000"},
    {"Cyrillic text, UTF-16 big-endian", 122, QStringLiteral("Ая"), "0000000A 00 00000004 0410044F"},
    {"empty text", 122, QLatin1String(""), "0000000A 00 00000000"},
    {"null text", 122, QString(), "0000000A 00 FFFFFFFF"},
    {"null text variant", 122, QVariant(QVariant::String), "0000000A 01 FFFFFFFF"},
    {"combo code", 120, 2, "00000002 00 00000002"},
    {"combo without current item", 121, QVariant(), "00000000 01"},
    {"combo null integer", 121, QVariant(QVariant::Int), "00000002 01 00000000"},
    {"check ticked", 406, true, "00000001 00 01"},
    {"check null", 418, QVariant(QVariant::Bool), "00000001 01 00"},
};

// What a field of each kind keeps, and what becomes not filled in or is cut (0: kept as it is).
const QString kLongest(Doc::maxTextLength, QLatin1Char('x'));
const struct { const char* name; int code; QVariant value, expected; int repair; } kRepairs[] = {
    {"text over the bound cut", 122, QString(1000000, QLatin1Char('x')), kLongest, Doc::frCut},
    {"cut before a split character", 122, kLongest.left(999) + QString::fromUtf8("\U0001F600"), kLongest.left(999), Doc::frCut},
    {"text at the bound kept", 122, kLongest, kLongest, 0},
    {"text in a number field cleared", 102, QStringLiteral("1e400"), QVariant(QVariant::Double), Doc::frCleared},
    {"not-a-number cleared", 102, std::nan(""), QVariant(QVariant::Double), Doc::frCleared},
    {"integer in a number field kept", 105, 5, 5, 0},
    {"number in a text field cleared", 122, 1.5, QVariant(QVariant::String), Doc::frCleared},
    {"text in a combo cleared", 121, QStringLiteral("1"), QVariant(), Doc::frCleared},
    {"combo without choice kept", 121, QVariant(), QVariant(), 0},
    {"boolean in a radio group cleared", 104, true, QVariant(QVariant::Int), Doc::frCleared},
    {"integer in a check box cleared", 406, 1, QVariant(QVariant::Bool), Doc::frCleared},
    {"code without a kind kept silently", 999, 1.5, 1.5, 0},
    {"document type left to the reader", Doc::fcDocType, QStringLiteral("20"), QStringLiteral("20"), 0},
};
// clang-format on

// The box the user sees for each way a file is refused: title, text, level.
QStringList refusal(int status, const QString& fileName)
{
    if (status == Doc::rsDamaged)
        return {QStringLiteral("Ошибка"), QStringLiteral("Ошибка при открытии документа"),
                QString::number(geh::mlError)};
    return {QStringLiteral("Предупреждение"),
            status == Doc::rsWrongVersion
                ? QStringLiteral("Несоответствие версии загружаемого документа (%1) и версии программы")
                      .arg(fileName)
                : QStringLiteral("Файл повреждён или имеет неверный формат"),
            QString::number(geh::mlWarning)};
}

// Opens the bytes from a file as the main window does, into an untitled document: an opened one
// holds what the bytes hold, named after the file; a refused one is left empty with its box shown.
Doc::ReadStatus openThroughFile(const QString& fileName, const QByteArray& bytes, const QString& context,
                                QString* details = nullptr)
{
    if (!orxtest::writeFile(fileName, bytes))
        qFatal("cannot write the test file");
    Doc inMemory;
    const Doc::ReadStatus status = Doc::fromByteArray(bytes, inMemory);
    orxtest::MessageCapture capture;
    Doc doc = typedDoc(30);
    doc.createDefaultName();
    const bool opened = Doc::loadFromFile(fileName, doc);
    QStringList shown;
    for (const orxtest::CapturedMessage& message : capture.messages())
        shown << message.title << message.text << QString::number(message.level);
    if (details)
        *details = capture.messages().value(0).details;
    QString fault;
    if (opened != (status == Doc::rsOk))
        fault = QStringLiteral("the file and the bytes disagree");
    else if (opened &&
             (!shown.isEmpty() || doc.name() + QLatin1String(".orx") != QFileInfo(fileName).fileName() ||
              doc.toByteArray() != inMemory.toByteArray()))
        fault = QStringLiteral("opened, but not as read");
    else if (!opened && (!doc.keys().isEmpty() || !doc.untitled() || !inMemory.keys().isEmpty()))
        fault = QStringLiteral("a refused file left fields");
    else if (!opened && shown != refusal(status, fileName))
        fault = QStringLiteral("shown: ") + shown.join(QLatin1Char('|'));
    if (!fault.isEmpty())
        QTest::qFail(qPrintable(context + QLatin1String(": ") + fault), __FILE__, __LINE__);
    return status;
}

} // namespace

Q_DECLARE_METATYPE(orxsamples::SampleDocument)

class TestDoc : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString logPath() const { return path(QStringLiteral("app.log")); }

private slots:
    void initTestCase() { geh::ErrorHandler::instance()->setLogFileName(logPath()); }
    void init()
    {
        QFile::remove(logPath());
        SmartSettings::data(SmartSettings::Global)->remove(QStringLiteral("Common/Directory"));
    }
    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    // Runs first: the counter starts at 1, is shared by all types, and a refused request (no type, a saved
    // document) uses no number. A saved one is named after its file without the lower-case extension only.
    void names()
    {
        orxtest::MessageCapture capture;
        Doc().createDefaultName();
        QStringList names;
        for (const char* file : {"Проект.orx", "Проект.ORX"}) {
            Doc saved = typedDoc(20);
            QVERIFY(saved.save(path(QString::fromUtf8(file))));
            saved.createDefaultName();
            names << saved.name();
        }
        names << capture.conditions(); // a link is named after the file it leads to
        Doc linked;
        QVERIFY(QFile::link(path(QStringLiteral("Проект.orx")), path(QStringLiteral("Ссылка.orx"))) &&
                Doc::loadFromFile(path(QStringLiteral("Ссылка.orx")), linked));
        names << linked.name();
        for (int type : {20, 30, 500, 200}) {
            Doc doc = typedDoc(type);
            doc.createDefaultName();
            names << doc.name();
        }
        QCOMPARE(names.join(QLatin1Char('|')),
                 QStringLiteral("Проект|Проект.ORX|docType()|untitled()|untitled()|Проект|"
                                "Клапан 1|Регулятор 2|Расчёт Kv 3|Расходомер 4"));
    }

    void fieldRoundTrip_data() { tableRows(kFieldBytes); }
    // Each kind's bytes between the version and the type, and back with its type, null state and value.
    void fieldRoundTrip()
    {
        ORX_ROW(kFieldBytes);
        Doc doc = typedDoc(20);
        doc.setValue(DocKey(qint16(row.code), 3), row.value);
        const QString fileName = path(QStringLiteral("field.orx"));
        QVERIFY(doc.save(fileName));
        const QByteArray key = QByteArray::number(row.code, 16).rightJustified(4, '0') + "0003";
        QCOMPARE(orxtest::readFile(fileName), hex(kVersion) + hex(key) + hex(row.bytes) + hex(kType20));
        Doc loaded;
        QVERIFY(Doc::loadFromFile(fileName, loaded));
        const QVariant read = loaded.value(DocKey(qint16(row.code), 3));
        QCOMPARE(QVariantList({loaded.keys().size(), read.userType(), read.isNull(), read}),
                 QVariantList({2, row.value.userType(), row.value.isNull(), row.value}));
    }

    // Signed key order, a later duplicate wins, a 1.2 MB text read in two steps unsplit; emptiness, init.
    void keysTextAndEmptiness()
    {
        Doc doc = typedDoc(20);
        QVERIFY(Doc().isEmpty() && doc.isEmpty());
        for (const DocKey& key : {DocKey(100, 1), DocKey(-2, 0), DocKey(100, -1), DocKey(32767, 0)})
            doc.setValue(key, 1);
        QVERIFY(!doc.isEmpty() && doc.toByteArray().mid(4, 4) == hex("FFFE0000"));
        QCOMPARE(doc.keys(), (QList<DocKey>{DocKey(-2, 0), DocKey(100, -1), DocKey(100, 1), DocKey(32766, 0),
                                            DocKey(32767)}));
        const QByteArray twice = hex("00780000 00000002 00 00000001 00780000 00000002 00 00000004");
        QCOMPARE(Doc::fromByteArray(hex(kVersion) + twice + hex(kType20), doc), Doc::rsOk);
        QVERIFY(doc.keys().size() == 2 && doc.value(DocKey(120)) == QVariant(4));
        const QString text = QString(600000, QChar(0x0410)) + QChar(0x044F);
        doc.setValue(DocKey(122), text);
        Doc loaded;
        QVERIFY(Doc::fromByteArray(doc.toByteArray(), loaded) == Doc::rsOk &&
                loaded.value(DocKey(122)).toString() == text && loaded.save(path(QStringLiteral("x.orx"))));
        loaded.init(500);
        QVERIFY(loaded.keys() == QList<DocKey>{DocKey(Doc::fcDocType)} && loaded.docType() == 500 &&
                loaded.untitled());
    }

    // Every file of the hostile corpus (the fuzzing seeds): what it opens to and what the user is told.
    // The corpus replay reads each through a pipe too, which hides the size a declared length is
    // checked against, and demands the same verdict.
    void corpusFile_data()
    {
        QTest::addColumn<QString>("fileName");
        const QDir corpus(orxtest::corpusFile(QString()));
        for (const QString& name : corpus.entryList({QStringLiteral("*.orx")}, QDir::Files))
            QTest::newRow(qPrintable(name)) << corpus.filePath(name);
    }
    void corpusFile()
    {
        QFETCH(QString, fileName);
        const QByteArray bytes = orxtest::readFile(fileName);
        QString details;
        const Doc::ReadStatus status =
            openThroughFile(path(QStringLiteral("hostile.orx")), bytes,
                            QString::fromLatin1(QTest::currentDataTag()), &details);
        const QString stem = QFileInfo(fileName).completeBaseName();
        QString expected = QStringLiteral("0|");
        for (const auto& row : kCorpus)
            if (QString::fromLatin1(row.stems).split(QLatin1Char(' ')).contains(stem))
                expected = QString::number(row.status) + QLatin1Char('|') + QString::fromUtf8(row.reason);
        QCOMPARE(QString::number(status) + QLatin1Char('|') + details, expected);
        for (const orxsamples::SampleDocument& sample : orxsamples::sampleDocuments())
            if (sample.stem == stem)
                QCOMPARE(bytes, sample.doc.toByteArray());
    }

    // No presenter gives the version warning back to the error handler (the main window's own is
    // driven by its tests).
    void warningPresenterIsReplaceable()
    {
        Doc::setWarningPresenter([](const QString&, const QString&) {});
        Doc::setWarningPresenter(nullptr);
        openThroughFile(path(QStringLiteral("old.orx")), hex("00000002"), QStringLiteral("no presenter"));
    }

    // A missing field is logged and null; one code of each kind, and of none (reported).
    void fieldKind()
    {
        QVERIFY(!typedDoc(20).value(DocKey(108, 2)).isValid());
        QVERIFY(orxtest::readFile(logPath()).contains(
            "WARNING            " + toLocaleBytes(QStringLiteral("Нет поля 108 с индексом 2"))));
        orxtest::MessageCapture capture;
        QString kinds;
        for (qint16 code : {100, 102, 104, 122, 406, 123})
            kinds += QString::number(Doc::type(code)) + QLatin1String(Doc::isCombo(code) ? "c " : " ");
        QCOMPARE(kinds, QStringLiteral("3c 1 4 2 5 0 "));
        QCOMPARE(capture.messages().value(0).text, QStringLiteral("Doc::type() failed for 123"));
    }

    void repairFields_data() { tableRows(kRepairs); }
    void repairFields()
    {
        ORX_ROW(kRepairs);
        const DocKey key{qint16(row.code)};
        Doc doc = typedDoc(20);
        doc.setValue(key, row.value);
        orxtest::MessageCapture capture;
        const QList<Doc::RepairedField> repaired = doc.repairFields();
        const QVariant actual = doc.value(key);
        const int repair =
            repaired.isEmpty() ? 0 : repaired.first().what + (repaired.first().key == key ? 0 : 9);
        QCOMPARE(QVariantList(
                     {actual.userType(), actual.isNull(), actual == row.expected, repair, capture.count()}),
                 QVariantList({row.expected.userType(), row.expected.isNull(), true, row.repair, 0}));
    }

    // The chosen file's folder is remembered (a folder: its parent); a stored non-folder falls back to /.
    void directory()
    {
        QCOMPARE(Doc::directory(), QDir::homePath() + QLatin1Char('/')); // nothing chosen yet
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Проекты/2024")));
        const QString folder = path(QStringLiteral("Проекты/2024"));
        Doc::setDirectory(folder + QStringLiteral("/Клапан.orx"));
        QCOMPARE(SmartSettings().value(QStringLiteral("Common/Directory")).toString() + Doc::directory(),
                 folder + folder + QLatin1Char('/'));
        Doc::setDirectory(folder);
        QCOMPARE(Doc::directory(), path(QStringLiteral("Проекты")) + QLatin1Char('/'));
        QVERIFY(orxtest::writeFile(logPath(), "x"));
        for (const QString& stored :
             {path(QStringLiteral("нет такой папки")), logPath(), QStringLiteral("D:\\Д\\")}) {
            SmartSettings().setValue(QStringLiteral("Common/Directory"), stored);
            QCOMPARE(Doc::directory(), QStringLiteral("/"));
        }
    }

    // A save leaves five trace marks; one that cannot open its file says so after the first, keeps the name.
    void failedSavesKeepTheNameAndTheFile()
    {
        QVERIFY(typedDoc(20).save(path(QStringLiteral("marks.orx"))));
        orxtest::MessageCapture capture;
        Doc doc = typedDoc(20);
        doc.createDefaultName();
        const QString name = doc.name();
        QVERIFY(!doc.save(path(QStringLiteral("нет/doc.orx")))); // the folder is missing
        const orxtest::CapturedMessage shown = capture.messages().value(0);
        QVERIFY(capture.count() == 1 && !shown.details.isEmpty());
        QCOMPARE(shown.title + shown.text + doc.name(),
                 QStringLiteral("ОшибкаНе удалось открыть файл") + name);
        QByteArray marks;
        for (const QByteArray& line : orxtest::readFile(logPath()).split('\n'))
            if (line.startsWith("WARNING            getSaveFileName - "))
                marks += line.mid(37, 2);
        QCOMPARE(marks, QByteArray("F1F2F3F4F5F1"));

        // A value the reader would refuse never replaces a good file.
        const QByteArray old = typedDoc(20).toByteArray();
        const QString fileName = path(QStringLiteral("keep.orx"));
        for (const QVariant& value :
             {QVariant(qlonglong(5)), QVariant(QStringList{QStringLiteral("a")}), QVariant(std::nan(""))}) {
            QVERIFY(orxtest::writeFile(fileName, old));
            Doc unstorable = typedDoc(20);
            unstorable.setValue(DocKey(102), value);
            orxtest::MessageCapture refused;
            QVERIFY(!unstorable.save(fileName) && orxtest::readFile(fileName) == old);
            QCOMPARE(refused.conditions().join(QLatin1Char('|')) + refused.messages().last().text,
                     QStringLiteral("isStorableValue(value)Ошибка при сохранении документа"));
        }
    }

    // A disk full after N bytes, for every N short of the document: the save says so, the old file keeps
    // every byte, and no half-written or new file is left. Every prefix read back: cut after a field it is
    // the document so far (refused until the type has been read), cut inside one it is damaged.
    void failedSaveAndTruncation_data()
    {
        QTest::addColumn<orxsamples::SampleDocument>("sample");
        for (const orxsamples::SampleDocument& s : orxsamples::sampleDocuments())
            QTest::newRow(qPrintable(s.stem)) << s;
    }
    void failedSaveAndTruncation()
    {
        QFETCH(orxsamples::SampleDocument, sample);
        Doc doc = sample.doc;
        doc.createDefaultName();
        const QString name = doc.name();
        const QByteArray full = doc.toByteArray();
        Doc previous = typedDoc(doc.docType()); // the same type with fewer fields
        previous.setValue(DocKey(Doc::fcDeviceType), 0);
        const QByteArray old = previous.toByteArray();
        QDir folder(path(QStringLiteral("save")));
        QVERIFY(folder.removeRecursively() && folder.mkpath(QStringLiteral(".")));
        const QString existing = folder.filePath(QStringLiteral("Проект.orx"));
        for (int limit = 0; limit < full.size(); ++limit) {
            const QByteArray context = QByteArray::number(limit) + " bytes fit";
            QVERIFY(orxtest::writeFile(existing, old));
            orxtest::MessageCapture capture;
            bool saved = true;
            {
                const orxtest::FileSizeLimit diskFull(static_cast<rlim_t>(limit));
                QVERIFY(diskFull.ok);
                saved = doc.save(existing) || doc.save(folder.filePath(QStringLiteral("Новый.orx")));
            }
            QString shown;
            for (const orxtest::CapturedMessage& message : capture.messages())
                shown += message.title + message.text + QString::number(message.level) + QLatin1Char('|');
            QVERIFY2(!saved && orxtest::readFile(existing) == old && doc.name() == name &&
                         folder.entryList(QDir::Files | QDir::Hidden) ==
                             QStringList{QStringLiteral("Проект.orx")} &&
                         shown == QStringLiteral("ОшибкаОшибка при сохранении документа%1|")
                                      .arg(geh::mlError)
                                      .repeated(2),
                     context);
        }
        {
            const orxtest::FileSizeLimit exactFit(static_cast<rlim_t>(full.size()));
            QVERIFY(doc.save(existing));
        }
        QVERIFY(orxtest::readFile(existing) == full && doc.name() == QStringLiteral("Проект"));

        QVector<int> expected(full.size() + 1, Doc::rsDamaged);
        expected[4] = Doc::rsInvalidDocType;
        Doc partial;
        bool typed = false;
        for (const DocKey& key : sample.doc.keys()) {
            partial.setValue(key, sample.doc.value(key));
            typed = typed || key == DocKey(Doc::fcDocType);
            expected[partial.toByteArray().size()] = typed ? Doc::rsOk : Doc::rsInvalidDocType;
        }
        for (int n = 0; n <= full.size() && !QTest::currentTestFailed(); ++n) {
            const QString context = QStringLiteral("%1 cut to %2 bytes").arg(sample.stem).arg(n);
            const int status = openThroughFile(path(QStringLiteral("Документ.orx")), full.left(n), context);
            QVERIFY2(status == expected.at(n), qPrintable(context));
        }
    }

    // Every value of every byte opens (and saves again unchanged) or is refused leaving nothing; a flipped
    // low or high bit and the complement also through the file. Rows of 64 bytes stay short under sanitizers.
    void everySingleByteChangeOpensOrIsRefused_data()
    {
        QTest::addColumn<orxsamples::SampleDocument>("sample");
        QTest::addColumn<int>("from");
        for (const orxsamples::SampleDocument& s : orxsamples::sampleDocuments())
            for (int from = 0; from < s.doc.toByteArray().size(); from += 64)
                QTest::addRow("%s from byte %d", qPrintable(s.stem), from) << s << from;
    }
    void everySingleByteChangeOpensOrIsRefused()
    {
        QFETCH(orxsamples::SampleDocument, sample);
        QFETCH(int, from);
        const QByteArray full = sample.doc.toByteArray();
        int outcomes[2] = {0, 0}; // refused, opened
        for (int position = from; position < std::min(from + 64, int(full.size())); ++position) {
            QByteArray changed = full;
            for (int flipped = 1; flipped < 256; ++flipped) {
                const int value = flipped ^ uchar(full.at(position));
                changed[position] = char(value);
                const QString context =
                    QStringLiteral("%1: byte %2 set to %3").arg(sample.stem).arg(position).arg(value);
                Doc read, again;
                const Doc::ReadStatus status = Doc::fromByteArray(changed, read);
                if (flipped == 0x01 || flipped == 0x80 || flipped == 0xFF)
                    openThroughFile(path(QStringLiteral("Документ.orx")), changed, context);
                if (QTest::currentTestFailed())
                    return;
                ++outcomes[status == Doc::rsOk];
                const QByteArray written = read.toByteArray();
                if (status != Doc::rsOk ? !read.keys().isEmpty()
                                        : !Doc::isValidDocType(read.docType()) ||
                                              Doc::fromByteArray(written, again) != Doc::rsOk ||
                                              again.toByteArray() != written)
                    QFAIL(qPrintable(context + QStringLiteral(": fields left, or does not save again")));
            }
        }
        QVERIFY(outcomes[0] > 0 && outcomes[1] > 0); // both occur in every stretch: not vacuous
    }
};

ORX_CORE_TEST_MAIN(TestDoc)
#include "tst_doc.moc"
