// Documents are the user's work: a save that fails at any byte must leave the
// last good file as it was, and a damaged file of any type - cut short or with
// any byte changed - is either opened with what it holds or refused with the
// user told why and nothing opened.

#include "../../fuzz/sampledocuments.h"

#include "documents/doc.h"
#include "gentools/errorhandle.h"
#include "testsupport.h"
#include "tst_doc_opening.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstring>

#include <csignal>
#include <sys/resource.h>

namespace {

using orxtest::readFile;
using orxtest::writeFile;

Doc sample(const QString& stem)
{
    for (const orxsamples::SampleDocument& s : orxsamples::sampleDocuments())
        if (s.stem == stem)
            return s.doc;
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

quint64 bigEndian(const QByteArray& bytes, int at, int size)
{
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | static_cast<uchar>(bytes.at(at + i));
    return value;
}

// What reading a changed file must come to, when the change alone decides it;
// -1 when several outcomes are sound.
int expectedStatus(const QList<FieldSpan>& spans, const QByteArray& changed, int position)
{
    if (position < 4)
        return Doc::rsWrongVersion; // any other version
    const auto span = std::find_if(spans.begin(), spans.end(), [position](const FieldSpan& s) {
        return position >= s.start && position < s.end;
    });
    if (span == spans.end() || position < span->payload)
        return -1; // the key, the type id, the null flag: it depends
    switch (span->value.userType()) {
    case QMetaType::Double: {
        const quint64 bits = bigEndian(changed, span->payload, 8);
        double number;
        std::memcpy(&number, &bits, sizeof number);
        return std::isfinite(number) ? Doc::rsOk : Doc::rsDamaged;
    }
    case QMetaType::Int:
        if (span->key != DocKey(Doc::fcDocType, 0))
            return Doc::rsOk;
        return Doc::isValidDocType(qint32(bigEndian(changed, span->payload, 4))) ? Doc::rsOk
                                                                                 : Doc::rsInvalidDocType;
    case QMetaType::Bool:
        return static_cast<uchar>(changed.at(span->payload)) <= 1 ? Doc::rsOk : Doc::rsDamaged;
    case QMetaType::QString:
        // The byte length decides how the rest is read; any text is a text.
        return position < span->payload + 4 ? -1 : Doc::rsOk;
    default:
        return -1;
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

    Doc::ReadStatus openFile(const QByteArray& bytes, const QString& context)
    {
        return doctest::openThroughFile(path(QStringLiteral("Документ.orx")), bytes, context);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_logDir.isValid());
        // The trace marks of every save go to a log outside the folder under test.
        geh::ErrorHandler::instance()->setLogFileName(m_logDir.filePath(QStringLiteral("app.log")));
    }

    void init()
    {
        for (const QString& name : files())
            QFile::remove(path(name));
    }

    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

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
        Doc doc = sample(stem);
        doc.createDefaultName();
        const QString name = doc.name();
        const QByteArray full = doc.toByteArray();
        // The previous version of the file: the same type with fewer fields.
        Doc previous;
        previous.init(doc.docType());
        previous.setValue(DocKey(Doc::fcDeviceType), 0);
        const QByteArray old = previous.toByteArray();
        const QString existing = path(QStringLiteral("Проект.orx"));

        for (int limit = 0; limit < full.size(); ++limit) {
            const QString context = QStringLiteral("%1, disk full after %2 bytes").arg(stem).arg(limit);
            QVERIFY(writeFile(existing, old));
            orxtest::MessageCapture capture;
            bool saved = true;
            {
                const FileSizeLimit diskFull(static_cast<rlim_t>(limit));
                QVERIFY(diskFull.ok());
                saved = doc.save(existing) || doc.save(path(QStringLiteral("Новый.orx")));
            }
            QVERIFY2(!saved, qPrintable(context));
            QVERIFY2(readFile(existing) == old, qPrintable(context));
            QVERIFY2(files() == QStringList{QStringLiteral("Проект.orx")},
                     qPrintable(context + QLatin1String(": ") + files().join(QLatin1Char(' '))));
            QVERIFY2(capture.count() == 2, qPrintable(context));
            for (const orxtest::CapturedMessage& shown : capture.messages()) {
                QCOMPARE(shown.title, QStringLiteral("Ошибка"));
                QCOMPARE(shown.text, QStringLiteral("Ошибка при сохранении документа"));
                QCOMPARE(shown.level, int(geh::mlError));
            }
            QCOMPARE(doc.name(), name); // the window's document is still the unsaved one
        }

        {
            const FileSizeLimit exactFit(static_cast<rlim_t>(full.size()));
            QVERIFY(doc.save(existing));
        }
        QCOMPARE(readFile(existing), full);
        QCOMPARE(doc.name(), QStringLiteral("Проект"));
    }

    // Every prefix of a saved document: cut at the end of a field it is the
    // document so far (refused until the type has been read), cut inside one
    // it is damaged.
    void everyTruncationOpensOrIsRefused_data() { addSampleRows(); }
    void everyTruncationOpensOrIsRefused()
    {
        QFETCH(QString, stem);
        const Doc doc = sample(stem);
        const QByteArray full = doc.toByteArray();
        const QList<FieldSpan> spans = layout(doc);
        QCOMPARE(spans.last().end, full.size());

        for (int n = 0; n <= full.size(); ++n) {
            int expected = n == 4 ? Doc::rsInvalidDocType : Doc::rsDamaged;
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
    // outcome is the one it decides. A flipped low or high bit and the byte's
    // complement also go through the file, to what the user is shown. One row
    // per stretch of 64 bytes keeps each row short under the sanitizers.
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
        const Doc doc = sample(stem);
        const QByteArray full = doc.toByteArray();
        const QList<FieldSpan> spans = layout(doc);
        int opened = 0;
        int refused = 0;

        for (int position = from; position < std::min(from + 64, int(full.size())); ++position) {
            const uchar original = static_cast<uchar>(full.at(position));
            QByteArray changed = full;
            for (int value = 0; value < 256; ++value) {
                if (value == original)
                    continue;
                changed[position] = static_cast<char>(value);
                const auto context = [&] {
                    return QStringLiteral("%1: byte %2 set to %3")
                        .arg(stem)
                        .arg(position)
                        .arg(value, 2, 16, QLatin1Char('0'));
                };
                Doc read;
                const Doc::ReadStatus status = Doc::fromByteArray(changed, read);
                const int expected = expectedStatus(spans, changed, position);
                if (expected >= 0 && status != expected)
                    QFAIL(qPrintable(context() +
                                     QStringLiteral(": status %1, expected %2").arg(status).arg(expected)));
                const int flipped = value ^ original;
                if (flipped == 0x01 || flipped == 0x80 || flipped == 0xFF) {
                    openFile(changed, context());
                    if (QTest::currentTestFailed())
                        return;
                }
                if (status != Doc::rsOk) {
                    ++refused;
                    if (!read.keys().isEmpty())
                        QFAIL(qPrintable(context() + QStringLiteral(": fields left")));
                    continue;
                }
                ++opened;
                const QByteArray written = read.toByteArray();
                Doc again;
                if (!Doc::isValidDocType(read.docType()) || Doc::fromByteArray(written, again) != Doc::rsOk ||
                    again.toByteArray() != written)
                    QFAIL(qPrintable(context() + QStringLiteral(": does not save again")));
            }
        }
        // Both outcomes occur in every stretch: the check is not vacuous.
        QVERIFY(opened > 0);
        QVERIFY(refused > 0);
    }
};

ORX_CORE_TEST_MAIN(TestFaultInjection)
#include "tst_faultinjection.moc"
