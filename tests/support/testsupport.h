#pragma once

// Isolation from the user's settings and files, captured messages and output. A test includes this
// (or a header built on it) and with it all of Qt Core and the test library, the documents, the error
// handler and the table rows of data-driven tests.

#include "documents/doc.h"
#include "gentools/errorhandle.h"
#include "gentools/refcode.h"
#include "tablerows.h"

#include <QtTest>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <initializer_list>
#include <sys/resource.h>

namespace orxtest {

// Keeps settings and standard locations in test folders; call before the first settings object.
inline void prepareEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
}

struct CapturedMessage
{
    QString title, text, details;
    int level = -1; // -1: no message
};

// While alive, the error handler's messages are captured; nothing reaches a message box.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture() { geh::ErrorHandler::instance()->setPrinter(new geh::QMessagePrinter, false); }
    Q_DISABLE_COPY(MessageCapture)

    const QList<CapturedMessage>& messages() const { return m_messages; }
    int count() const { return m_messages.size(); }
    void clear() { m_messages.clear(); }
    QStringList assertions() const;               // texts of the assertion reports
    QStringList conditions() const;               // their failed conditions (the last line)
    bool contains(const QString& fragment) const; // in some text or details
    QStringList warnings() const;                 // the warnings' texts after their first line
    // The messages of the program itself: the offscreen platform's own notices
    // ("This plugin does not support ...") are no fault of a form.
    int ownCount() const;

private:
    QList<CapturedMessage> m_messages;
};

// While alive, standard output goes to a file, to compare the exact bytes the
// program writes to the console (the test framework's own output too).
class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture() { take(), m_file ? std::fclose(m_file) : 0; }
    Q_DISABLE_COPY(StdoutCapture)

    QByteArray take(); // everything written so far; ends the capture

private:
    FILE* m_file;
    int m_savedFd = -1;
    QByteArray m_bytes;
};

inline bool near(double actual, double expected, double within)
{
    return std::fabs(actual - expected) <= within;
}
QString invalidInput(const char* reason); // the messages of refused input
extern const QString emptyFields;
// "DN/Kvs" of each candidate (with onlyProposed, of those not rejected), blank-separated.
template <typename Item>
QString designations(const QList<Item>& items, bool onlyProposed)
{
    QStringList result;
    for (const Item& item : items)
        if (!onlyProposed || !item.rejected)
            result << QStringLiteral("%1/%2").arg(item.dn).arg(item.kv);
    return result.join(QLatin1Char(' '));
}

// Figures joined by blanks, to six significant digits.
QString figures(std::initializer_list<double> values);
// Answers to several questions, in order, joined by " | ".
QString each(std::initializer_list<QString> answers);

// Test texts are UTF-8; the build forbids implicit conversions.
inline QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// A file of the document fuzzing corpus (the seeds hold one sample document of each type), by its name.
QString corpusFile(const QString& name);
// The sample document of the corpus by its stem ("valve"); empty, with a warning, when it does not open.
Doc corpusDocument(const QString& stem);
// A new document of the type, nothing filled in.
inline Doc typedDoc(int docType)
{
    Doc doc;
    doc.init(docType);
    return doc;
}

QByteArray readFile(const QString& path);
inline QString hexOfFile(const QString& path)
{
    return QString::fromLatin1(readFile(path).toHex());
}
bool writeFile(const QString& path, const QByteArray& bytes);

// The standard output of a tool run to its end (at most a minute), as UTF-8.
QString toolOutput(const char* program, const QStringList& arguments);
// The captures of every match of a pattern, joined by "|" within a match.
QStringList captures(const QString& text, const char* pattern);
// The cells of a workbook's first sheet read from its XML through unzip, in sheet order: "A2=text", a
// number as "G2=#2", an empty figure "H3=#".
QStringList xlsxCells(const QString& path);

// Reference codes 3 Гамма, 9 Бета, 5 альфа in sort order, of a type listed by sort number (which stores -1,
// "no code", too) and of one listed by name: their orders by sort number, by name and by code all differ, and
// only case ignored puts "альфа" first. Loads and inserts are counted; an inserted name gets code 42.
class FakeRefCodes : public RefCodeProvider
{
public:
    static constexpr qint16 listed = 7, alphabetical = 8;
    int loads = 0, inserts = 0;
    RefNames names{{RefKey(listed, rcNone), {QStringLiteral("(нет)"), 0}}};

    FakeRefCodes()
    {
        for (qint16 type : {listed, alphabetical})
            names.insert({{{type, 3}, {QStringLiteral("Гамма"), 1}},
                          {{type, 9}, {QStringLiteral("Бета"), 2}},
                          {{type, 5}, {QStringLiteral("альфа"), 3}}});
    }
    bool loadCodes(RefNames& loaded) override { return ++loads, loaded = names, true; }
    bool loadAlphabeticalTypes(RefTypes& types) override { return types = {alphabetical}, true; }
    bool insertCode(RefNames&, qint16 type, const QString& name) override
    {
        return ++inserts, names.insert(RefKey(type, 42), {name, 10}), true;
    }
    bool modifyCode(RefNames&, qint16, RefCode, const QString&, bool) override { return false; }
};

// While alive, no file may grow past `limit` bytes, as on a full disk: the write crossing it fails.
struct FileSizeLimit
{
    explicit FileSizeLimit(rlim_t limit)
    {
        const struct rlimit small = {limit, saved.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        ok = ok && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
    Q_DISABLE_COPY(FileSizeLimit)
    struct rlimit saved;
    bool ok = getrlimit(RLIMIT_FSIZE, &saved) == 0;
};

} // namespace orxtest

#define ORX_CORE_TEST_MAIN(TestClass)                                                                        \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        orxtest::prepareEnvironment();                                                                       \
        QCoreApplication app(argc, argv);                                                                    \
        TestClass tc;                                                                                        \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
