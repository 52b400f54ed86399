#include "gentools/errorhandle.h"
#include "tablerows.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <vector>

// The log entries in Windows-1251, the console in code page 866, the pending
// error of each thread, the assertion reports shown once per user action, and
// the toolkit's own messages sorted into boxes, the console and the log.

namespace {

// The Windows-1251 bytes of "Ошибка" and their code page 866 places.
const QByteArray kOshibka1251("\xCE\xF8\xE8\xE1\xEA\xE0");
const QByteArray kOshibka866("\x8E\xE8\xA8\xA1\xAA\xA0");

// One log entry: its header, level and details lines (without their CR LF).
struct LogEntry
{
    QByteArray header, levelLine, details;
};

QList<LogEntry> parseLog(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    QList<LogEntry> entries;
    for (int i = 0; i + 2 < lines.size(); i += 3)
        entries.append({lines[i].chopped(1), lines[i + 1].chopped(1), lines[i + 2].chopped(1)});
    return entries;
}

bool matches(const char* pattern, const QByteArray& text)
{
    return QRegularExpression(QString::fromUtf8(pattern)).match(QString::fromLatin1(text)).hasMatch();
}

// Where a toolkit message goes: console title (0 none, 1 shown, 2 hidden), box level (-1 none), log level.
// clang-format off
const struct { const char* name; QtMsgType type; const char* category, *message; int console, shownLevel; const char* logLevel; } kRoutings[] = {
    {"warning shown as warning", QtWarningMsg, "default", "w1", 1, 3, "WARNING"},
    {"debug shown as warning", QtDebugMsg, "default", "d1", 1, 3, "WARNING"},
    {"critical shown as error", QtCriticalMsg, "default", "c1", 1, 1, "ERROR"},
    {"information shown as error", QtInfoMsg, "default", "i1", 1, 1, "ERROR"},
    {"repaint BitBlt failure dropped", QtWarningMsg, "default", "QWidget::repaint: flush: BitBlt failed (Неверный дескриптор.)", 0, -1, ""},
    {"other BitBlt failure hidden", QtWarningMsg, "default", "flush: BitBlt failed (other)", 2, -1, "WARNING"},
    {"platform subcategory hidden", QtCriticalMsg, "qt.qpa.xcb", "XCB error: 3 (BadWindow)", 2, -1, "ERROR"},
    {"font matching hidden", QtCriticalMsg, "qt.text.font.match", "no font for Calibri", 2, -1, "ERROR"},
    {"run-time folder not set hidden", QtWarningMsg, "default", "QStandardPaths: XDG_RUNTIME_DIR not set", 2, -1, "WARNING"},
    {"run-time folder permissions hidden", QtWarningMsg, "default", "QStandardPaths: wrong permissions on runtime directory /run/u", 2, -1, "WARNING"},
    {"other standard-locations message shown", QtWarningMsg, "default", "QStandardPaths: cannot create", 1, 3, "WARNING"},
    {"run-time folder of another category shown", QtWarningMsg, "qt.core.io", "QStandardPaths: XDG_RUNTIME_DIR not set", 1, 3, "WARNING"},
    {"category only starting alike shown", QtWarningMsg, "qt.qpaint", "q w", 1, 3, "WARNING"},
    {"geometry shown by default", QtWarningMsg, "default", "Unable to set geometry 10x10", 1, 3, "WARNING"},
};

// Steps: "(" opens a user action, ")" ends the innermost, a letter raises its
// report; a, b, c and d differ in line, file and condition.
const struct { const char* name; const char* steps; const char* shown; } kActions[] = {
    {"outside any action every report is shown", "aa", "aa"},
    {"the same report twice in an action shown once", "(aa)", "a"},
    {"another line is another report", "(ab)", "ab"},
    {"another file is another report", "(ac)", "ac"},
    {"another condition is another report", "(ad)", "ad"},
    {"an inner action does not end the outer one", "(a(a)a)", "a"},
    {"the action is over", "(a)a", "aa"},
};
// clang-format on

} // namespace

class TestErrorHandle : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString logPath() const { return m_dir.filePath(QStringLiteral("test.log")); }
    QList<LogEntry> log() const { return parseLog(orxtest::readFile(logPath())); }

private slots:
    void init()
    {
        QFile::remove(logPath());
        geh::ErrorHandler::instance()->setLogFileName(logPath());
    }

    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    // Three CR LF lines per entry, the level padded to 19, Windows-1251 text.
    void logEntryBytes()
    {
        auto* handler = geh::ErrorHandler::instance();
        handler->writeLog({"a/b.cpp", "calc", 17}, 7, QStringLiteral("text"), QStringLiteral("det"));
        handler->writeLog(GEH_LOCATION, geh::mlWarning, QStringLiteral("Ошибка"),
                          QStringLiteral("Ошибка №1"));
        const QByteArray bytes = orxtest::readFile(logPath());
        QCOMPARE(bytes.count("\r\n"), 6);
        const QList<LogEntry> entries = parseLog(bytes);
        QVERIFY2(matches("^\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d a/b\\.cpp, calc\\(\\), row 17$",
                         entries[0].header),
                 entries[0].header.constData());
        QCOMPARE(entries[0].levelLine, QByteArray("UNKNOWN            text"));
        QCOMPARE(entries[0].details, QByteArray("det"));
        QCOMPARE(entries[1].levelLine, QByteArray("WARNING            ") + kOshibka1251);
        QCOMPARE(entries[1].details, kOshibka1251 + " \xB9" + "1");
    }

    // A log that cannot be opened loses the entry without a word (an empty
    // name makes the toolkit warn, and the warning would come back into the log).
    void unopenableLogLosesEntrySilently()
    {
        for (const QString& name : {QStringLiteral("/nonexistent-orx-folder/app.log"), QString()}) {
            orxtest::MessageCapture capture;
            geh::ErrorHandler::instance()->setLogFileName(name);
            geh::ErrorHandler::instance()->writeLog(GEH_LOCATION, geh::mlError, QStringLiteral("x"),
                                                    QString());
            QCOMPARE(capture.count(), 0);
        }
    }

    // A message before the application names its log lands in the working folder.
    void logBeforeItIsNamed()
    {
        const QString workDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        geh::ErrorHandler::destroyInstance();
        geh::ErrorHandler::instance()->writeLog(GEH_LOCATION, geh::mlError, QStringLiteral("early"),
                                                QString());
        QDir::setCurrent(workDir);
        QVERIFY(orxtest::readFile(m_dir.filePath(QStringLiteral("app.log")))
                    .contains("ERROR              early\r\n"));
    }

    void assertionReportsAndContinues()
    {
        orxtest::MessageCapture capture;
        const int line = __LINE__ + 1;
        QVERIFY(!GEH_ASSERT(1 + 1 == 3));
        QVERIFY(GEH_ASSERT(2 + 2 == 4));
        QCOMPARE(capture.count(), 1);
        const orxtest::CapturedMessage& m = capture.messages().first();
        const QString location = QStringLiteral("%1, assertionReportsAndContinues(), row %2")
                                     .arg(QString::fromLocal8Bit(__FILE__))
                                     .arg(line);
        QCOMPARE(m.title + m.details, QStringLiteral("Ошибка"));
        QCOMPARE(m.text, QStringLiteral("ASSERT at %1\r\n1 + 1 == 3").arg(location));
        QCOMPARE(m.level, 0);
        const QList<LogEntry> entries = log();
        QVERIFY(entries[0].header.endsWith(location.toLocal8Bit()));
        QCOMPARE(entries[0].levelLine + entries[0].details, QByteArray("ASSERT             1 + 1 == 3"));
    }

    void pendingErrorProtocol()
    {
        orxtest::MessageCapture capture;
        auto* handler = geh::ErrorHandler::instance();
        GEH_SET_ERROR(QStringLiteral("Файл не найден"), QStringLiteral("a.orx"));
        QVERIFY(handler->hasPendingError());
        QCOMPARE(capture.count(), 0);
        handler->showLastError();
        QVERIFY(!handler->hasPendingError());
        const orxtest::CapturedMessage m = capture.messages().value(0);
        QCOMPARE(m.title + m.text + m.details + QString::number(m.level),
                 QStringLiteral("ОшибкаФайл не найденa.orx1"));
        QVERIFY(log().first().levelLine.startsWith("ERROR              "));
        QCOMPARE(log().first().details, QByteArray("a.orx"));

        // Showing once more only reports the misuse; a second error replaces
        // the unshown one after a report.
        capture.clear();
        handler->showLastError();
        GEH_SET_ERROR(QStringLiteral("first"), QString());
        GEH_SET_ERROR(QStringLiteral("second"), QString());
        QCOMPARE(capture.conditions(), (QStringList{QStringLiteral("Last error has not been set before"),
                                                    QStringLiteral("Previous error has not been handled")}));
        capture.clear();
        handler->showLastError();
        QCOMPARE(capture.messages().value(0).text, QStringLiteral("second"));
    }

    // A worker thread's error is its own: no "Previous error has not been handled".
    void pendingErrorsArePerThread()
    {
        orxtest::MessageCapture capture;
        auto* handler = geh::ErrorHandler::instance();
        GEH_SET_ERROR(QStringLiteral("main"), QString());
        bool workerSawPending = true;
        QThread* worker = QThread::create([&] {
            workerSawPending = handler->hasPendingError();
            GEH_SET_ERROR(QStringLiteral("worker"), QString());
            handler->showLastError();
        });
        worker->start();
        QVERIFY(worker->wait(10000));
        delete worker;
        QVERIFY(!workerSawPending);
        handler->showLastError();
        QStringList texts;
        for (const orxtest::CapturedMessage& m : capture.messages())
            texts << m.text;
        QCOMPARE(texts, (QStringList{QStringLiteral("worker"), QStringLiteral("main")}));
    }

    // Console bytes of both printers; the default printer cannot be removed,
    // an own printer is kept until removed.
    void printers()
    {
        orxtest::StdoutCapture out;
        geh::QMessagePrinter().print(QStringLiteral("Ошибка"), QStringLiteral("Ошибка"), QStringLiteral("№1"),
                                     1);
        geh::QCustomMessagePrinter().print(QStringLiteral("T"), QStringLiteral("text"), QString(), 2);
        QCOMPARE(out.take(),
                 "*** " + kOshibka866 + " *** \r\n" + kOshibka866 + "\xFC" + "1\r\n" +
                     "*** T *** \r\ntext\r\n*** Error *** \r\nQCustomMessagePrinter::m_func is NULL\r\n");
        orxtest::MessageCapture capture;
        auto* handler = geh::ErrorHandler::instance();
        geh::QMessagePrinter* byDefault = handler->currentPrinter();
        handler->setPrinter(nullptr, false);
        QCOMPARE(capture.messages().value(0).text,
                 QStringLiteral("Default message printer is restricted to remove"));
        auto* own = new geh::QMessagePrinter;
        handler->setPrinter(own, true);
        handler->setPrinter(own, true);
        QCOMPARE(handler->currentPrinter(), own);
        handler->setPrinter(nullptr, true);
        QCOMPARE(handler->currentPrinter(), byDefault);
    }

    void toolkitMessages_data() { tableRows(kRoutings); }
    void toolkitMessages()
    {
        ORX_ROW(kRoutings);
        orxtest::MessageCapture capture;
        orxtest::StdoutCapture out;
        QMessageLogContext context(nullptr, 0, nullptr, row.category);
        qt_message_output(row.type, context, QString::fromUtf8(row.message));
        const QByteArray title[] = {"", "Standart Qt-message", "Standart Qt-message (hidden)"};
        QCOMPARE(out.take(), row.console ? "*** " + title[row.console] + " *** \r\n" + row.message + "\r\n"
                                         : QByteArray());
        const orxtest::CapturedMessage shown = capture.messages().value(0);
        QCOMPARE(capture.count(), row.shownLevel < 0 ? 0 : 1);
        QCOMPARE(shown.title + shown.text + QString::number(shown.level),
                 row.shownLevel < 0 ? QStringLiteral("-1")
                                    : QStringLiteral("Standart Qt-message") + QString::fromUtf8(row.message) +
                                          QString::number(row.shownLevel));
        const QList<LogEntry> entries = log();
        QCOMPARE(entries.size(), *row.logLevel ? 1 : 0);
        if (entries.isEmpty())
            return;
        // The log names the handler itself as the source.
        QVERIFY2(matches("errorhandle\\.cpp, stdMessageHandler\\(\\), row 59$", entries[0].header),
                 entries[0].header.constData());
        QCOMPARE(entries[0].levelLine, QByteArray(row.logLevel).leftJustified(19, ' ') + row.message);
    }

    void oneBoxPerReportInAnAction_data() { tableRows(kActions); }
    // Every report is logged, and the console marks those not shown.
    void oneBoxPerReportInAnAction()
    {
        ORX_ROW(kActions);
        const QMap<char, QPair<geh::SourceLocation, QString>> reports{
            {'a', {{"calc.cpp", "calc", 10}, QStringLiteral("x > 0")}},
            {'b', {{"calc.cpp", "calc", 11}, QStringLiteral("x > 0")}},
            {'c', {{"place.cpp", "calc", 10}, QStringLiteral("x > 0")}},
            {'d', {{"calc.cpp", "calc", 10}, QStringLiteral("y > 0")}},
        };
        orxtest::MessageCapture capture;
        orxtest::StdoutCapture out;
        std::vector<std::unique_ptr<geh::UserActionScope>> actions;
        QString raised, shown;
        for (const char* step = row.steps; *step; ++step) {
            if (*step == '(') {
                actions.push_back(std::make_unique<geh::UserActionScope>());
            } else if (*step == ')') {
                actions.pop_back();
            } else {
                geh::ErrorHandler::instance()->assertFailed(reports[*step].first, reports[*step].second);
                raised += QLatin1Char(*step);
            }
        }
        for (const QString& text : capture.assertions())
            for (auto it = reports.cbegin(); it != reports.cend(); ++it)
                if (text.endsWith(it->first.toString() + QStringLiteral("\r\n") + it->second))
                    shown += QLatin1Char(it.key());
        QCOMPARE(shown, QLatin1String(row.shown));
        QCOMPARE(log().size(), raised.size());
        QCOMPARE(out.take().count("(hidden)"), raised.size() - shown.size());
    }

    // Trace lines and timing scopes on the console.
    void traceLines()
    {
        orxtest::StdoutCapture out;
        geh::trace(QStringLiteral("Ошибка"));
        {
            geh::TimingScope scope(QStringLiteral("calc"));
            scope.finish();
            scope.finish();
        }
        const QList<QByteArray> lines = out.take().split('\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY2(matches("^\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d:\\d\\d\\d 0x[0-9A-F]{8,} ", lines[0]),
                 lines[0].constData());
        QVERIFY(lines[0].endsWith(" " + geh::threadIdText().toLatin1() + " " + kOshibka866));
        QVERIFY(lines[1].endsWith(" calc is starting..."));
        QVERIFY2(matches(" calc finished in [0-9.e-]+ sec\\.$", lines[2]), lines[2].constData());
        // Thread ids take at least eight hex digits.
        QCOMPARE(geh::threadIdText(0xBEEF) + geh::threadIdText(quintptr(0x7F12345678ull)),
                 QStringLiteral("0x0000BEEF0x7F12345678"));
    }
};

ORX_CORE_TEST_MAIN(TestErrorHandle)
#include "tst_errorhandle.moc"
