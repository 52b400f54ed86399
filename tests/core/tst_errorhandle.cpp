#include "gentools/errorhandle.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QMutex>
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

// One log entry split into its three lines (without their CR LF).
struct LogEntry
{
    QByteArray header;
    QByteArray levelLine;
    QByteArray details;
};

QList<LogEntry> parseLog(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    QList<LogEntry> entries;
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (int i = 0; i + 2 < lines.size(); i += 3)
        entries.append({lines[i].chopped(1), lines[i + 1].chopped(1), lines[i + 2].chopped(1)});
    return entries;
}

bool matches(const char* pattern, const QByteArray& text)
{
    return QRegularExpression(QString::fromUtf8(pattern)).match(QString::fromLatin1(text)).hasMatch();
}

} // namespace

class TestErrorHandle : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString logPath() const { return m_dir.filePath(QStringLiteral("test.log")); }

    QByteArray readLog() const { return orxtest::readFile(logPath()); }

private slots:
    void init()
    {
        QFile::remove(logPath());
        geh::ErrorHandler::instance()->setLogFileName(logPath());
    }

    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    void logEntryLayout_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QByteArray>("levelLine");
        // The other level names are in the entries of the tests below.
        QTest::newRow("unknown code 7") << 7 << QByteArray("UNKNOWN            text");
    }

    void logEntryLayout()
    {
        QFETCH(int, level);
        QFETCH(QByteArray, levelLine);
        const geh::SourceLocation location{QByteArray("a/b.cpp"), QByteArray("calc"), 17};
        geh::ErrorHandler::instance()->writeLog(location, level, QStringLiteral("text"),
                                                QStringLiteral("det"));

        const QByteArray bytes = readLog();
        // Three CR LF lines and nothing else.
        QCOMPARE(bytes.count("\r\n"), 3);
        const QList<LogEntry> entries = parseLog(bytes);
        QCOMPARE(entries.size(), 1);
        QVERIFY2(matches("^\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d a/b\\.cpp, calc\\(\\), row 17$",
                         entries[0].header),
                 entries[0].header.constData());
        QCOMPARE(entries[0].levelLine, levelLine);
        QCOMPARE(entries[0].details, QByteArray("det"));
    }

    void logIsAppendedInWindows1251()
    {
        auto* handler = geh::ErrorHandler::instance();
        handler->writeLog(GEH_LOCATION, geh::mlWarning, QStringLiteral("Ошибка"),
                          QStringLiteral("Ошибка №1"));
        handler->writeLog(GEH_LOCATION, geh::mlInformation, QStringLiteral("second"), QString());
        const QList<LogEntry> entries = parseLog(readLog());
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].levelLine, QByteArray("WARNING            ") + kOshibka1251);
        QCOMPARE(entries[0].details, kOshibka1251 + " \xB9" + "1");
        QCOMPARE(entries[1].levelLine, QByteArray("INFORMATION        second"));
        QCOMPARE(entries[1].details, QByteArray());
    }

    void unopenableLogLosesEntrySilently_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("missing folder") << QStringLiteral("/nonexistent-orx-folder/app.log");
        // Opening an empty name makes the toolkit warn, and the warning comes
        // back into the log while it is being written.
        QTest::newRow("empty name") << QString();
    }

    void unopenableLogLosesEntrySilently()
    {
        QFETCH(QString, fileName);
        orxtest::MessageCapture capture;
        geh::ErrorHandler::instance()->setLogFileName(fileName);
        geh::ErrorHandler::instance()->writeLog(GEH_LOCATION, geh::mlError, QStringLiteral("lost"),
                                                QString());
        QCOMPARE(capture.count(), 0);
    }

    // A message may come before the application names its log (a toolkit
    // warning at start-up); it lands in the program's log in the working folder.
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
        const bool ok = GEH_ASSERT(1 + 1 == 3);
        QVERIFY(!ok);
        QVERIFY(GEH_ASSERT(2 + 2 == 4));
        QCOMPARE(capture.count(), 1);
        const orxtest::CapturedMessage& m = capture.messages().first();
        QCOMPARE(m.title, QStringLiteral("Ошибка"));
        const QString location = QStringLiteral("%1, assertionReportsAndContinues(), row %2")
                                     .arg(QString::fromLocal8Bit(__FILE__))
                                     .arg(line);
        QCOMPARE(m.text, QStringLiteral("ASSERT at %1\r\n1 + 1 == 3").arg(location));
        QCOMPARE(m.details, QString());
        QCOMPARE(m.level, 0);

        const QList<LogEntry> entries = parseLog(readLog());
        QCOMPARE(entries.size(), 1);
        QVERIFY(entries[0].header.endsWith(location.toLocal8Bit()));
        QCOMPARE(entries[0].levelLine, QByteArray("ASSERT") + QByteArray(13, ' '));
        QCOMPARE(entries[0].details, QByteArray("1 + 1 == 3"));
    }

    void assertionTexts_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<bool>("hide");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("textStart");
        QTest::newRow("english, details")
            << true << false << QStringLiteral("Error") << QStringLiteral("ASSERT at ");
        QTest::newRow("russian, hidden")
            << false << true << QStringLiteral("Ошибка")
            << QStringLiteral(
                   "Обнаружена внутренняя ошибка в программе. Обратитесь, пожалуйста, к разработчику.");
    }

    void assertionTexts()
    {
        QFETCH(bool, english);
        QFETCH(bool, hide);
        QFETCH(QString, title);
        QFETCH(QString, textStart);
        orxtest::MessageCapture capture;
        auto* handler = geh::ErrorHandler::instance();
        handler->setEnglish(english);
        handler->setHideAssertDetails(hide);
        GEH_ASSERT(false);
        handler->setEnglish(false);
        handler->setHideAssertDetails(false);
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().title, title);
        QVERIFY2(capture.messages().first().text.startsWith(textStart),
                 qPrintable(capture.messages().first().text));
        // Hidden details still reach the log.
        QCOMPARE(parseLog(readLog()).first().details, QByteArray("false"));
    }

    void pendingErrorProtocol()
    {
        orxtest::MessageCapture capture;
        auto* handler = geh::ErrorHandler::instance();
        QVERIFY(!handler->hasPendingError());
        GEH_SET_ERROR(QStringLiteral("Файл не найден"), QStringLiteral("a.orx"));
        QVERIFY(handler->hasPendingError());
        QCOMPARE(capture.count(), 0);
        handler->showLastError();
        QVERIFY(!handler->hasPendingError());
        QCOMPARE(capture.count(), 1);
        const orxtest::CapturedMessage m = capture.messages().first();
        QCOMPARE(m.title + m.text + m.details, QStringLiteral("ОшибкаФайл не найденa.orx"));
        QCOMPARE(m.level, 1);
        const QList<LogEntry> entries = parseLog(readLog());
        QCOMPARE(entries.size(), 1);
        QVERIFY(entries[0].levelLine.startsWith("ERROR              "));
        QCOMPARE(entries[0].details, QByteArray("a.orx"));

        // Showing once more only reports the misuse; a second error replaces the
        // unshown one after a report.
        capture.clear();
        handler->showLastError();
        GEH_SET_ERROR(QStringLiteral("first"), QString());
        GEH_SET_ERROR(QStringLiteral("second"), QString());
        QCOMPARE(capture.conditions(), (QStringList{QStringLiteral("Last error has not been set before"),
                                                    QStringLiteral("Previous error has not been handled")}));
        QCOMPARE(capture.count(), 2);
        QVERIFY(capture.assertions().first().contains(QStringLiteral(", showLastError(), row ")));
        capture.clear();
        handler->showLastError();
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().text, QStringLiteral("second"));
    }

    void pendingErrorsArePerThread()
    {
        orxtest::MessageCapture capture;
        auto* handler = geh::ErrorHandler::instance();
        GEH_SET_ERROR(QStringLiteral("main"), QString());

        QList<orxtest::CapturedMessage> workerMessages;
        bool workerSawPending = true;
        bool workerPendingAfterSet = false;
        QThread* worker = QThread::create([&] {
            // A printer of the worker's own: its messages stay apart from the main thread's.
            handler->setPrinter(new geh::QCustomMessagePrinter(
                                    &workerMessages,
                                    [](void* context, const QString& title, const QString& text,
                                       const QString& details, int level) {
                                        static_cast<QList<orxtest::CapturedMessage>*>(context)->append(
                                            {title, text, details, level});
                                    }),
                                true);
            workerSawPending = handler->hasPendingError();
            GEH_SET_ERROR(QStringLiteral("worker"), QString());
            workerPendingAfterSet = handler->hasPendingError();
            handler->showLastError();
            handler->setPrinter(nullptr, true);
        });
        worker->start();
        QVERIFY(worker->wait(10000));
        delete worker;

        QVERIFY(!workerSawPending);
        QVERIFY(workerPendingAfterSet);
        // No "Previous error has not been handled": the main thread's error is its own.
        QCOMPARE(workerMessages.size(), 1);
        QCOMPARE(workerMessages.first().text, QStringLiteral("worker"));
        QCOMPARE(capture.count(), 0);

        QVERIFY(handler->hasPendingError());
        handler->showLastError();
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().text, QStringLiteral("main"));
    }

    void printerInstallation()
    {
        orxtest::MessageCapture capture;
        auto* handler = geh::ErrorHandler::instance();
        geh::QMessagePrinter* byDefault = handler->currentPrinter();
        handler->setPrinter(nullptr, false);
        QCOMPARE(handler->currentPrinter(), byDefault);
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().title, QStringLiteral("ERROR"));
        QCOMPARE(capture.messages().first().text,
                 QStringLiteral("Default message printer is restricted to remove"));
        QCOMPARE(capture.messages().first().level, 1);

        auto* own = new geh::QMessagePrinter;
        handler->setPrinter(own, true);
        QCOMPARE(handler->currentPrinter(), own);
        // Installing the same printer again keeps it alive.
        handler->setPrinter(own, true);
        QCOMPARE(handler->currentPrinter(), own);
        handler->setPrinter(nullptr, true);
        QCOMPARE(handler->currentPrinter(), byDefault);
    }

    void consolePrinters()
    {
        orxtest::StdoutCapture out;
        geh::QMessagePrinter().print(QStringLiteral("Ошибка"), QStringLiteral("Ошибка"), QStringLiteral("№1"),
                                     1);
        QCOMPARE(out.take(), "*** " + kOshibka866 + " *** \r\n" + kOshibka866 + "\xFC" + "1\r\n");

        orxtest::StdoutCapture custom;
        geh::QCustomMessagePrinter().print(QStringLiteral("T"), QStringLiteral("text"), QString(), 2);
        QCOMPARE(custom.take(), QByteArray("*** T *** \r\ntext\r\n"
                                           "*** Error *** \r\nQCustomMessagePrinter::m_func is NULL\r\n"));
    }

    void toolkitMessages_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("category");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("consoleTitle"); // empty: nothing on the console
        QTest::addColumn<int>("shownLevel");          // -1: no message box
        QTest::addColumn<QByteArray>("logLevel");     // empty: nothing logged

        const QByteArray shown("Standart Qt-message"), hidden("Standart Qt-message (hidden)");
        const QByteArray byDefault("default");
        QTest::newRow("warning") << int(QtWarningMsg) << byDefault << "w1" << shown << 3
                                 << QByteArray("WARNING");
        QTest::newRow("debug") << int(QtDebugMsg) << byDefault << "d1" << shown << 3 << QByteArray("WARNING");
        QTest::newRow("critical") << int(QtCriticalMsg) << byDefault << "c1" << shown << 1
                                  << QByteArray("ERROR");
        QTest::newRow("information") << int(QtInfoMsg) << byDefault << "i1" << shown << 1
                                     << QByteArray("ERROR");
        QTest::newRow("dropped BitBlt failure")
            << int(QtWarningMsg) << byDefault
            << "QWidget::repaint: flush: BitBlt failed (Неверный дескриптор.)" << QByteArray() << -1
            << QByteArray();
        QTest::newRow("hidden BitBlt failure")
            << int(QtWarningMsg) << byDefault << "flush: BitBlt failed (other)" << hidden << -1
            << QByteArray("WARNING");
        QTest::newRow("geometry shown by default")
            << int(QtWarningMsg) << byDefault << "Unable to set geometry 10x10" << shown << 3
            << QByteArray("WARNING");

        // The toolkit's talk about the platform reaches the console and the
        // log only, by its category and whatever its type.
        const struct
        {
            const char* name;
            const char* category;
            const char* message;
        } platform[] = {
            {"X server protocol error", "qt.qpa.xcb",
             "QXcbConnection: XCB error: 3 (BadWindow), sequence: 500, resource id: 2098139, major code: 40 "
             "(TranslateCoords), minor code: 0"},
            {"platform plugin itself", "qt.qpa", "Could not find the platform plugin"},
            {"font matching", "qt.text.font.match", "no font for Calibri"},
        };
        for (const auto& row : platform)
            QTest::newRow(row.name) << int(QtCriticalMsg) << QByteArray(row.category)
                                    << QString::fromUtf8(row.message) << hidden << -1 << QByteArray("ERROR");
        QTest::newRow("run-time folder not set")
            << int(QtWarningMsg) << byDefault
            << "QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-u'" << hidden << -1
            << QByteArray("WARNING");
        QTest::newRow("run-time folder permissions")
            << int(QtWarningMsg) << byDefault
            << "QStandardPaths: wrong permissions on runtime directory /run/u, 0755 instead of 0700" << hidden
            << -1 << QByteArray("WARNING");
        // Every other toolkit message keeps its box.
        QTest::newRow("other standard-locations message")
            << int(QtWarningMsg) << byDefault << "QStandardPaths: cannot create the data folder" << shown << 3
            << QByteArray("WARNING");
        QTest::newRow("run-time folder named by another category")
            << int(QtWarningMsg) << QByteArray("qt.core.io")
            << "QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-u'" << shown << 3
            << QByteArray("WARNING");
        QTest::newRow("text layout is not font matching")
            << int(QtWarningMsg) << QByteArray("qt.text.layout") << "layout w" << shown << 3
            << QByteArray("WARNING");
        QTest::newRow("a name that only starts alike")
            << int(QtWarningMsg) << QByteArray("qt.qpaint") << "q w" << shown << 3 << QByteArray("WARNING");
    }

    void toolkitMessages()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, category);
        QFETCH(QString, message);
        QFETCH(QByteArray, consoleTitle);
        QFETCH(int, shownLevel);
        QFETCH(QByteArray, logLevel);
        orxtest::MessageCapture capture;
        orxtest::StdoutCapture out;
        const QByteArray utf8 = message.toUtf8();
        const QMessageLogger logger(nullptr, 0, nullptr, category.constData());
        switch (type) {
        case QtDebugMsg:
            logger.debug("%s", utf8.constData());
            break;
        case QtInfoMsg:
            logger.info("%s", utf8.constData());
            break;
        case QtCriticalMsg:
            logger.critical("%s", utf8.constData());
            break;
        default:
            logger.warning("%s", utf8.constData());
            break;
        }
        QCOMPARE(out.take(),
                 consoleTitle.isEmpty() ? QByteArray() : "*** " + consoleTitle + " *** \r\n" + utf8 + "\r\n");
        QCOMPARE(capture.count(), shownLevel < 0 ? 0 : 1);
        if (shownLevel >= 0) {
            QCOMPARE(capture.messages().first().title, QStringLiteral("Standart Qt-message"));
            QCOMPARE(capture.messages().first().text, message);
            QCOMPARE(capture.messages().first().level, shownLevel);
        }
        const QList<LogEntry> entries = parseLog(readLog());
        QCOMPARE(entries.size(), logLevel.isEmpty() ? 0 : 1);
        if (logLevel.isEmpty())
            return;
        // The log names the handler itself as the source.
        QVERIFY2(entries[0].header.endsWith(", stdMessageHandler(), row 59"), entries[0].header.constData());
        QVERIFY(entries[0].header.contains("errorhandle"));
        QCOMPARE(entries[0].levelLine, logLevel + QByteArray(19 - logLevel.size(), ' ') + utf8);
    }

    void oneBoxPerReportInAnAction_data()
    {
        // The steps: "(" opens a user action, ")" ends the innermost one, a
        // letter raises its report. a, b, c and d differ in line, file and
        // condition.
        QTest::addColumn<QByteArray>("steps");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("outside any action every report is shown") << QByteArray("aa") << QByteArray("aa");
        QTest::newRow("the same report twice in an action") << QByteArray("(aa)") << QByteArray("a");
        QTest::newRow("another line") << QByteArray("(ab)") << QByteArray("ab");
        QTest::newRow("another file") << QByteArray("(ac)") << QByteArray("ac");
        QTest::newRow("another condition") << QByteArray("(ad)") << QByteArray("ad");
        QTest::newRow("two actions") << QByteArray("(a)(a)") << QByteArray("aa");
        QTest::newRow("an inner action does not end the outer one")
            << QByteArray("(a(a)a)") << QByteArray("a");
        QTest::newRow("the action is over") << QByteArray("(a)a") << QByteArray("aa");
    }

    void oneBoxPerReportInAnAction()
    {
        QFETCH(QByteArray, steps);
        QFETCH(QByteArray, shown);
        struct Report
        {
            geh::SourceLocation location;
            QString condition;
        };
        const QMap<char, Report> reports{
            {'a', {{"calc.cpp", "calc", 10}, QStringLiteral("x > 0")}},
            {'b', {{"calc.cpp", "calc", 11}, QStringLiteral("x > 0")}},
            {'c', {{"place.cpp", "calc", 10}, QStringLiteral("x > 0")}},
            {'d', {{"calc.cpp", "calc", 10}, QStringLiteral("y > 0")}},
        };
        orxtest::MessageCapture capture;
        orxtest::StdoutCapture out;
        std::vector<std::unique_ptr<geh::UserActionScope>> actions;
        QByteArray raised;
        for (const char step : steps) {
            if (step == '(') {
                actions.push_back(std::make_unique<geh::UserActionScope>());
            } else if (step == ')') {
                actions.pop_back();
            } else {
                geh::ErrorHandler::instance()->assertFailed(reports[step].location, reports[step].condition);
                raised += step;
            }
        }
        const QByteArray console = out.take();
        QByteArray seen;
        for (const QString& text : capture.assertions())
            for (auto it = reports.cbegin(); it != reports.cend(); ++it)
                if (text.endsWith(it->location.toString() + QStringLiteral("\r\n") + it->condition))
                    seen += it.key();
        QCOMPARE(seen, shown);
        // Every report is logged, and the console marks those not shown.
        QByteArray logged;
        for (const LogEntry& entry : parseLog(readLog()))
            for (auto it = reports.cbegin(); it != reports.cend(); ++it)
                if (entry.header.endsWith(it->location.toString().toLocal8Bit()) &&
                    entry.details == it->condition.toUtf8())
                    logged += it.key();
        QCOMPARE(logged, raised);
        QCOMPARE(console.count("(hidden)"), raised.size() - shown.size());
    }

    // Last: the flag cannot be cleared, so the handler is recreated afterwards.
    void geometryWarningsSuppressed()
    {
        {
            orxtest::MessageCapture capture;
            geh::ErrorHandler::instance()->setSuppressGeometryWarnings();
            orxtest::StdoutCapture out;
            qWarning("Unable to set geometry 10x10+0+0");
            qWarning("Unable to set geometry");
            QCOMPARE(out.take(), QByteArray("*** Standart Qt-message *** \r\nUnable to set geometry\r\n"));
            QCOMPARE(capture.count(), 1);
        }
        geh::ErrorHandler::destroyInstance();
        QVERIFY(!geh::ErrorHandler::instance()->suppressGeometryWarnings());
    }

    void traceLineFormat()
    {
        orxtest::StdoutCapture out;
        geh::trace(QStringLiteral("Ошибка"));
        const QByteArray line = out.take();
        QVERIFY2(matches("^\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d:\\d\\d\\d 0x[0-9A-F]{8,} ", line),
                 line.constData());
        QVERIFY(line.endsWith(" " + kOshibka866 + "\n"));
        QVERIFY(line.contains(" " + geh::threadIdText().toLatin1() + " "));
        // Thread ids take at least eight hex digits.
        QCOMPARE(geh::threadIdText(0xBEEF), QStringLiteral("0x0000BEEF"));
        QCOMPARE(geh::threadIdText(quintptr(0x7F12345678ull)), QStringLiteral("0x7F12345678"));
    }

    void mutexAutoLockTraces()
    {
        QMutex mutex;
        orxtest::StdoutCapture silent;
        {
            geh::MutexAutoLock lock(&mutex);
        }
        QCOMPARE(silent.take(), QByteArray());

        orxtest::StdoutCapture out;
        {
            geh::MutexAutoLock lock(&mutex, QStringLiteral("log"));
        }
        const QList<QByteArray> lines = out.take().split('\n');
        QCOMPARE(lines.size(), 4); // three lines and the empty rest
        const QByteArray prefix = "--- MutexAutoLock: log(thread=" + geh::threadIdText().toLatin1() + ") ";
        QVERIFY(lines[0].endsWith(prefix + "waiting for"));
        QVERIFY2(lines[1].contains(prefix + "locked (") && matches("\\(\\d+ ms\\)$", lines[1]),
                 lines[1].constData());
        QVERIFY(lines[2].endsWith(prefix + "unlocked"));
        QVERIFY(mutex.tryLock());
        mutex.unlock();
    }

    void timingScopeFinishesOnce()
    {
        orxtest::StdoutCapture out;
        {
            geh::TimingScope scope(QStringLiteral("calc"));
            scope.finish();
            scope.finish();
        }
        const QList<QByteArray> lines = out.take().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].endsWith(" calc is starting..."));
        QVERIFY2(matches(" calc finished in [0-9.e-]+ sec\\.$", lines[1]), lines[1].constData());
    }
};

ORX_CORE_TEST_MAIN(TestErrorHandle)
#include "tst_errorhandle.moc"
