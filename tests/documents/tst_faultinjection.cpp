// Documents are the user's work: a save that fails at any byte must leave the
// last good file as it was, and a damaged file of any type - cut short or with
// any byte changed - is either opened with what it holds or refused with the
// user told why and nothing opened.

#include "../../fuzz/sampledocuments.h"

#include "documents/doc.h"
#include "gentools/errorhandle.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstring>

#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(Doc::ReadStatus)

namespace {

QByteArray readFile(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

orxsamples::SampleDocument sample(const QString& stem)
{
    for (const orxsamples::SampleDocument& s : orxsamples::sampleDocuments())
        if (s.stem == stem)
            return s;
    qFatal("no sample document %s", qPrintable(stem));
    return {};
}

void addSampleRows()
{
    QTest::addColumn<QString>("stem");
    for (const orxsamples::SampleDocument& s : orxsamples::sampleDocuments())
        QTest::newRow(qPrintable(s.stem)) << s.stem;
}

// While alive, no file of this process may grow past `limit` bytes, as on a
// disk that fills up: the write that crosses the limit fails with EFBIG
// (the signal the kernel would send is ignored meanwhile).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        m_ok = getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = m_saved;
        small.rlim_cur = limit;
        m_ok = m_ok && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    Q_DISABLE_COPY(FileSizeLimit)

    bool ok() const { return m_ok; }

private:
    struct rlimit m_saved;
    void (*m_oldHandler)(int);
    bool m_ok = false;
};

// Where each field of a document lies in its file.
struct FieldSpan
{
    DocKey key;
    QVariant value;
    int start = 0;   // first byte of the key
    int payload = 0; // first byte after the type id and the null flag
    int end = 0;     // one past the last byte
};

QList<FieldSpan> layout(const Doc& doc)
{
    QList<FieldSpan> spans;
    Doc partial;
    int at = partial.toByteArray().size();
    for (const DocKey& key : doc.keys()) {
        partial.setValue(key, doc.value(key));
        const int end = partial.toByteArray().size();
        spans << FieldSpan{key, doc.value(key), at, at + 9, end};
        at = end;
    }
    return spans;
}

const FieldSpan* spanAt(const QList<FieldSpan>& spans, int position)
{
    for (const FieldSpan& span : spans)
        if (position >= span.start && position < span.end)
            return &span;
    return nullptr;
}

QString describe(const QString& stem, int position, int value)
{
    return QStringLiteral("%1: byte %2 set to %3")
        .arg(stem)
        .arg(position)
        .arg(value, 2, 16, QLatin1Char('0'));
}

// What reading a changed file must come to, when the change alone decides it;
// -1 when several outcomes are sound.
int expectedStatus(const QList<FieldSpan>& spans, const QByteArray& changed, int position)
{
    if (position < 4)
        return Doc::rsWrongVersion; // any other version
    const FieldSpan* span = spanAt(spans, position);
    if (!span || position < span->payload)
        return -1; // the key, the type id, the null flag: it depends
    switch (span->value.userType()) {
    case QMetaType::Double: {
        double number;
        quint64 bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | static_cast<uchar>(changed.at(span->payload + i));
        std::memcpy(&number, &bits, sizeof number);
        return std::isfinite(number) ? Doc::rsOk : Doc::rsDamaged;
    }
    case QMetaType::Int: {
        if (span->key != DocKey(Doc::fcDocType, 0))
            return Doc::rsOk;
        qint32 type = 0;
        for (int i = 0; i < 4; ++i)
            type = static_cast<qint32>(static_cast<quint32>(type) << 8 |
                                       static_cast<uchar>(changed.at(span->payload + i)));
        return Doc::isValidDocType(type) ? Doc::rsOk : Doc::rsInvalidDocType;
    }
    case QMetaType::Bool: {
        const uchar flag = static_cast<uchar>(changed.at(span->payload));
        return flag <= 1 ? Doc::rsOk : Doc::rsDamaged;
    }
    case QMetaType::QString:
        // The byte length decides how the rest is read; any text is a text.
        return position < span->payload + 4 ? -1 : Doc::rsOk;
    default:
        return -1;
    }
}

// The message the user sees for each way a file is refused.
void verifyRefusalMessage(const orxtest::MessageCapture& capture, Doc::ReadStatus status,
                          const QString& fileName, const QString& context)
{
    QVERIFY2(capture.count() == 1,
             qPrintable(context + QStringLiteral(": %1 messages").arg(capture.count())));
    const orxtest::CapturedMessage& shown = capture.messages().first();
    switch (status) {
    case Doc::rsWrongVersion:
        QCOMPARE(shown.title, QStringLiteral("Предупреждение"));
        QCOMPARE(shown.text,
                 QStringLiteral("Несоответствие версии загружаемого документа (%1) и версии программы")
                     .arg(fileName));
        break;
    case Doc::rsDamaged:
        QCOMPARE(shown.title, QStringLiteral("Ошибка"));
        QCOMPARE(shown.text, QStringLiteral("Ошибка при открытии документа"));
        break;
    case Doc::rsInvalidDocType:
        QCOMPARE(shown.title, QStringLiteral("Предупреждение"));
        QCOMPARE(shown.text, QStringLiteral("Файл повреждён или имеет неверный формат"));
        break;
    case Doc::rsOk:
        QFAIL(qPrintable(context + QStringLiteral(": refused without a reason")));
    }
}

} // namespace

class TestFaultInjection : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QTemporaryDir m_logDir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    void clearFolder()
    {
        for (const QString& name : files())
            QFile::remove(path(name));
    }

    // Opens the bytes as a file and checks what the user is shown: nothing for
    // an opened document, exactly the reason for a refused one, which leaves
    // the target empty and untitled.
    Doc::ReadStatus openFile(const QByteArray& bytes, const QString& context)
    {
        const QString fileName = path(QStringLiteral("Документ.orx"));
        if (!writeFile(fileName, bytes))
            qFatal("cannot write the test file");
        Doc inMemory;
        const Doc::ReadStatus status = Doc::fromByteArray(bytes, inMemory);

        orxtest::MessageCapture capture;
        Doc doc;
        doc.init(30);
        doc.createDefaultName();
        const bool opened = Doc::loadFromFile(fileName, doc);
        if (opened != (status == Doc::rsOk)) {
            QTest::qFail(qPrintable(context + QStringLiteral(": the file and the bytes disagree")), __FILE__,
                         __LINE__);
            return status;
        }
        if (opened) {
            if (capture.count() != 0 || doc.name() != QStringLiteral("Документ") ||
                doc.toByteArray() != inMemory.toByteArray())
                QTest::qFail(qPrintable(context + QStringLiteral(": opened, but not as read")), __FILE__,
                             __LINE__);
            return status;
        }
        if (!doc.keys().isEmpty() || !doc.untitled())
            QTest::qFail(qPrintable(context + QStringLiteral(": a refused file left fields")), __FILE__,
                         __LINE__);
        verifyRefusalMessage(capture, status, fileName, context);
        return status;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_logDir.isValid());
        // The trace marks of every save go to a log outside the folder under test.
        geh::ErrorHandler::instance()->setLogFileName(m_logDir.filePath(QStringLiteral("app.log")));
    }

    void init() { clearFolder(); }

    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    // The reader's fuzzing starts from exactly what the program writes today.
    void seedCorpusHoldsTheSampleDocuments_data() { addSampleRows(); }
    void seedCorpusHoldsTheSampleDocuments()
    {
        QFETCH(QString, stem);
        const Doc doc = sample(stem).doc;
        const QString seed = QStringLiteral(ORX_TEST_SOURCE_DIR "/../fuzz/corpus/document/%1.orx").arg(stem);
        QCOMPARE(readFile(seed), doc.toByteArray());
        Doc loaded;
        QCOMPARE(Doc::fromByteArray(readFile(seed), loaded), Doc::rsOk);
        QCOMPARE(loaded.keys(), doc.keys());
        for (const DocKey& key : doc.keys()) {
            QCOMPARE(loaded.value(key).userType(), doc.value(key).userType());
            QCOMPARE(loaded.value(key), doc.value(key));
        }
    }

    void samplesCoverEveryDocumentType()
    {
        QList<int> types;
        for (const orxsamples::SampleDocument& s : orxsamples::sampleDocuments())
            types << s.doc.docType();
        std::sort(types.begin(), types.end());
        QCOMPARE(types, (QList<int>{20, 30, 100, 105, 200, 500}));
    }

    // A disk that fills up after N bytes, for every N short of the whole
    // document: the save says so, the old file keeps every byte, and no
    // half-written file is left beside it. A new file is not created at all.
    void failedSaveKeepsThePreviousFile_data() { addSampleRows(); }
    void failedSaveKeepsThePreviousFile()
    {
        QFETCH(QString, stem);
        Doc doc = sample(stem).doc;
        doc.createDefaultName();
        const QString name = doc.name();
        const QByteArray full = doc.toByteArray();
        // The previous version of the file: the same document before the user's
        // last change, here the same type with fewer fields.
        Doc previous;
        previous.init(doc.docType());
        previous.setValue(DocKey(Doc::fcDeviceType), 0);
        const QByteArray old = previous.toByteArray();
        const QString existing = path(QStringLiteral("Проект.orx"));
        const QString fresh = path(QStringLiteral("Новый.orx"));

        for (int limit = 0; limit < full.size(); ++limit) {
            const QString context = QStringLiteral("%1, disk full after %2 bytes").arg(stem).arg(limit);
            QVERIFY(writeFile(existing, old));
            orxtest::MessageCapture capture;
            bool replaced = true;
            bool created = true;
            {
                const FileSizeLimit diskFull(static_cast<rlim_t>(limit));
                QVERIFY(diskFull.ok());
                replaced = doc.save(existing);
                created = doc.save(fresh);
            }
            QVERIFY2(!replaced && !created, qPrintable(context));
            QVERIFY2(readFile(existing) == old, qPrintable(context));
            QVERIFY2(files() == QStringList{QStringLiteral("Проект.orx")},
                     qPrintable(context + QLatin1String(": ") + files().join(QLatin1Char(' '))));
            QVERIFY2(capture.count() == 2, qPrintable(context));
            for (const orxtest::CapturedMessage& shown : capture.messages()) {
                QCOMPARE(shown.title, QStringLiteral("Ошибка"));
                QCOMPARE(shown.text, QStringLiteral("Ошибка при сохранении документа"));
                QCOMPARE(shown.level, int(geh::mlError));
            }
            // The window's document is still the unsaved one.
            QVERIFY(doc.untitled());
            QCOMPARE(doc.name(), name);
        }

        // With room for the whole document, it replaces the old file.
        {
            const FileSizeLimit exactFit(static_cast<rlim_t>(full.size()));
            QVERIFY(doc.save(existing));
        }
        QCOMPARE(readFile(existing), full);
        QCOMPARE(doc.name(), QStringLiteral("Проект"));
    }

    // Every prefix of a saved document: cut at the end of a field it is the
    // document so far (refused until the type has been read), cut inside one
    // it is damaged; either way the user learns what happened.
    void everyTruncationOpensOrIsRefused_data() { addSampleRows(); }
    void everyTruncationOpensOrIsRefused()
    {
        QFETCH(QString, stem);
        const Doc doc = sample(stem).doc;
        const QByteArray full = doc.toByteArray();
        const QList<FieldSpan> spans = layout(doc);
        QCOMPARE(spans.last().end, full.size());

        for (int n = 0; n <= full.size(); ++n) {
            int expected = n < 4 ? Doc::rsDamaged : n == 4 ? Doc::rsInvalidDocType : int(Doc::rsDamaged);
            bool typed = false;
            for (const FieldSpan& span : spans) {
                typed = typed || span.key == DocKey(Doc::fcDocType, 0);
                if (span.end == n)
                    expected = typed ? Doc::rsOk : Doc::rsInvalidDocType;
            }
            const QString context = QStringLiteral("%1 cut to %2 bytes").arg(stem).arg(n);
            const Doc::ReadStatus status = openFile(full.left(n), context);
            QVERIFY2(status == expected, qPrintable(context + QStringLiteral(": status %1").arg(status)));
            if (QTest::currentTestFailed())
                return;
        }
    }

    // Every value of every byte: the document opens (then it saves and opens
    // again unchanged) or is refused with nothing left; where the change alone
    // decides - the version, a number, a flag, the document type, a text - the
    // outcome is the one it decides. One row per stretch of 64 bytes keeps each
    // row short under the sanitizers.
    void everySingleByteChangeOpensOrIsRefused_data()
    {
        QTest::addColumn<QString>("stem");
        QTest::addColumn<int>("from");
        for (const orxsamples::SampleDocument& s : orxsamples::sampleDocuments()) {
            const int size = s.doc.toByteArray().size();
            for (int from = 0; from < size; from += 64)
                QTest::addRow("%s, bytes %d-%d", qPrintable(s.stem), from, std::min(from + 64, size) - 1)
                    << s.stem << from;
        }
    }
    void everySingleByteChangeOpensOrIsRefused()
    {
        QFETCH(QString, stem);
        QFETCH(int, from);
        const Doc doc = sample(stem).doc;
        const QByteArray full = doc.toByteArray();
        const QList<FieldSpan> spans = layout(doc);
        int opened = 0;
        int refused = 0;

        for (int position = from; position < std::min(from + 64, int(full.size())); ++position) {
            QByteArray changed = full;
            for (int value = 0; value < 256; ++value) {
                if (value == static_cast<uchar>(full.at(position)))
                    continue;
                changed[position] = static_cast<char>(value);
                Doc read;
                const Doc::ReadStatus status = Doc::fromByteArray(changed, read);
                const int expected = expectedStatus(spans, changed, position);
                if (expected >= 0 && status != expected)
                    QFAIL(qPrintable(describe(stem, position, value) +
                                     QStringLiteral(": status %1, expected %2").arg(status).arg(expected)));
                if (status != Doc::rsOk) {
                    ++refused;
                    if (!read.keys().isEmpty())
                        QFAIL(qPrintable(describe(stem, position, value) + QStringLiteral(": fields left")));
                    continue;
                }
                ++opened;
                const QByteArray written = read.toByteArray();
                Doc again;
                if (!Doc::isValidDocType(read.docType()) || Doc::fromByteArray(written, again) != Doc::rsOk ||
                    again.toByteArray() != written)
                    QFAIL(qPrintable(describe(stem, position, value) +
                                     QStringLiteral(": does not save again")));
            }
        }
        // Both outcomes occur in every stretch: the check is not vacuous.
        QVERIFY(opened > 0);
        QVERIFY(refused > 0);
    }

    // The same through the file and the messages, for a flipped bit of every
    // byte and the byte's complement.
    void changedFilesTellTheUser_data() { addSampleRows(); }
    void changedFilesTellTheUser()
    {
        QFETCH(QString, stem);
        const QByteArray full = sample(stem).doc.toByteArray();
        for (int position = 0; position < full.size(); ++position) {
            for (int mask : {0x01, 0x80, 0xFF}) {
                QByteArray changed = full;
                changed[position] = static_cast<char>(changed.at(position) ^ mask);
                openFile(changed, describe(stem, position, static_cast<uchar>(changed.at(position))));
                if (QTest::currentTestFailed())
                    return;
            }
        }
    }
};

ORX_CORE_TEST_MAIN(TestFaultInjection)
#include "tst_faultinjection.moc"
