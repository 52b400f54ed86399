// The log in Windows-1251, the console in code page 866, each thread's pending error, assertion reports
// shown once per user action, and the toolkit's messages sorted into boxes, the console and the log.

#include "settings/oemcodec.h"
#include "testsupport.h"

#include <memory>
#include <vector>

namespace {

// The Windows-1251 bytes of "Ошибка" and their code page 866 places.
const QByteArray kOshibka1251("\xCE\xF8\xE8\xE1\xEA\xE0");
const QByteArray kOshibka866("\x8E\xE8\xA8\xA1\xAA\xA0");

// Text to code page 866 (encode), or back (decode) where the way back differs.
// clang-format off
const struct { const char* name; bool encode; const char* text; const char* bytes; } kCodes[] = {
    {"small п, р: the two halves of the lower case", true, "пр", "\xAF\xE0"},
    {"degree sign", true, "°", "\xF8"},
    {"guillemets", true, "«»", "<>"},
    {"euro sign lacks a place", true, "€", "_"},
    {"box sign 0xC4 is -", false, "-", "\xC4"},
    {"box sign 0xB3 is broken bar", false, "¦", "\xB3"},
    {"box sign 0xBF is not sign", false, "¬", "\xBF"},
    {"square root is v", false, "v", "\xFB"},
};

// Where a toolkit message goes: console title (0 none, 1 shown, 2 hidden), box level (-1 none), log level.
const struct { const char* name; QtMsgType type; const char* category, *message; int console, shownLevel; const char* logLevel; } kRoutings[] = {
    {"debug shown as warning", QtDebugMsg, "default", "d1", 1, 3, "WARNING"},
    {"information shown as error", QtInfoMsg, "default", "i1", 1, 1, "ERROR"},
    {"repaint BitBlt failure dropped", QtWarningMsg, "default", "QWidget::repaint: flush: BitBlt failed (Неверный дескриптор.)", 0, -1, ""},
    {"other BitBlt failure hidden", QtWarningMsg, "default", "flush: BitBlt failed (other)", 2, -1, "WARNING"},
    // Each category of the platform's talk by a name Qt sends: a subcategory, or the category itself where it has none.
    {"platform subcategory hidden", QtCriticalMsg, "qt.qpa.xcb", "XCB error: 3 (BadWindow)", 2, -1, "ERROR"},
    {"keyboard compose subcategory hidden", QtWarningMsg, "qt.xkb.compose", "failed to create compose table", 2, -1, "WARNING"},
    {"keyboard library hidden", QtWarningMsg, "qt.xkbcommon", "xkbcommon: no keymap", 2, -1, "WARNING"},
    {"OpenGL of X hidden", QtWarningMsg, "qt.glx", "qglx_findConfig: Failed to finding matching FBConfig", 2, -1, "WARNING"},
    {"font matching hidden", QtCriticalMsg, "qt.text.font.match", "no font for Calibri", 2, -1, "ERROR"},
    {"accessibility subcategory hidden", QtWarningMsg, "qt.accessibility.atspi", "Could not find accessible on path", 2, -1, "WARNING"},
    {"text layout beside the fonts shown", QtWarningMsg, "qt.text.layout", "no line in layout", 1, 3, "WARNING"},
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
    // The log with each entry's time stamp and source folder as "@ ", CR LF as "|".
    QByteArray log() const
    {
        return QString::fromLatin1(orxtest::readFile(logPath()))
            .replace(QRegularExpression(
                         QStringLiteral("(^|\n)\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (\\S*/)?")),
                     QStringLiteral("\\1@ "))
            .replace(QStringLiteral("\r\n"), QStringLiteral("|"))
            .toLatin1();
    }

private slots:
    void init()
    {
        QFile::remove(logPath());
        geh::ErrorHandler::instance()->setLogFileName(logPath());
    }
    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    void codePage866_data() { tableRows(kCodes); }
    void codePage866()
    {
        ORX_ROW(kCodes);
        if (row.encode)
            QCOMPARE(COEMCodec::instance()->fromUnicode(QString::fromUtf8(row.text)), QByteArray(row.bytes));
        else
            QCOMPARE(COEMCodec::instance()->toUnicode(QByteArray(row.bytes)), QString::fromUtf8(row.text));
    }

    // Every Cyrillic letter and the signs of the log have a place in code page 866 and come back
    // unchanged; the byte-wise tables never touch the lower half.
    void codePageRoundTrips()
    {
        QString letters = QStringLiteral("Ёё\u00A0№°");
        for (ushort c = 0x0410; c <= 0x044F; ++c)
            letters += QChar(c);
        const QByteArray bytes = COEMCodec::instance()->fromUnicode(letters);
        QVERIFY(bytes.size() == letters.size() && !bytes.contains('_'));
        QCOMPARE(COEMCodec::instance()->toUnicode(bytes), letters);
        QByteArray lower;
        for (int b = 0; b < 0x80; ++b)
            lower += char(b);
        QCOMPARE(COEMCodec::win1251ToOem(lower + "\xC0\xFF\xB8"), lower + "\x80\xEF\xF1");
        QCOMPARE(COEMCodec::oemToWin1251(lower + "\x80\xEF\xF1"), lower + "\xC0\xFF\xB8");
    }

    // Three CR LF lines per entry (time and place; the level padded to 19 and the text; the details).
    void logEntryBytesAndPlaces()
    {
        auto* handler = geh::ErrorHandler::instance();
        handler->writeLog({"a/b.cpp", "calc", 17}, 7, QStringLiteral("text"), QStringLiteral("det"));
        handler->writeLog({"c.cpp", "f", 1}, geh::mlWarning, QStringLiteral("Ошибка"),
                          QStringLiteral("Ошибка №1"));
        QCOMPARE(
            log(),
            "@ b.cpp, calc(), row 17|UNKNOWN            text|det|@ c.cpp, f(), row 1|WARNING            " +
                kOshibka1251 + "|" + kOshibka1251 + " \xB9" + "1|");

        // Before the application names its log, entries land in app.log of the working folder; a log that
        // cannot be opened loses the entry silently (a toolkit warning would come back into the log).
        const QString workDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        geh::ErrorHandler::destroyInstance();
        geh::ErrorHandler::instance()->writeLog(GEH_LOCATION, geh::mlError, QStringLiteral("early"),
                                                QString());
        QDir::setCurrent(workDir);
        QVERIFY(orxtest::readFile(m_dir.filePath(QStringLiteral("app.log")))
                    .contains("ERROR              early\r\n"));
        orxtest::MessageCapture capture;
        for (const QString& name : {QStringLiteral("/nonexistent-orx-folder/app.log"), QString()}) {
            geh::ErrorHandler::instance()->setLogFileName(name);
            geh::ErrorHandler::instance()->writeLog(GEH_LOCATION, geh::mlError, QStringLiteral("x"),
                                                    QString());
        }
        QCOMPARE(capture.count(), 0);
    }

    // Shown with its place and condition, logged, and the caller continues.
    void assertionReportsAndContinues()
    {
        orxtest::MessageCapture capture;
        const int line = __LINE__ + 1;
        QVERIFY(!GEH_ASSERT(1 + 1 == 3) && GEH_ASSERT(2 + 2 == 4));
        const orxtest::CapturedMessage m = capture.messages().value(0);
        QCOMPARE(
            m.title + m.details + QLatin1Char('|') + m.text + QLatin1Char('|') + QString::number(m.level) +
                QString::number(capture.count()),
            QStringLiteral("Ошибка|ASSERT at %1, assertionReportsAndContinues(), row %2\r\n1 + 1 == 3|01")
                .arg(QString::fromLocal8Bit(__FILE__))
                .arg(line));
        QCOMPARE(log(), "@ tst_errorhandle.cpp, assertionReportsAndContinues(), row " +
                            QByteArray::number(line) + "|ASSERT             |1 + 1 == 3|");
    }

    // A user-level error waits, logged, until shown once; showing none, or setting a second
    // before the first is shown, is reported. A worker thread's error is its own.
    void pendingErrors()
    {
        orxtest::MessageCapture capture;
        auto* handler = geh::ErrorHandler::instance();
        GEH_SET_ERROR(QStringLiteral("Файл не найден"), QStringLiteral("a.orx"));
        QVERIFY(handler->hasPendingError() && capture.count() == 0);
        QVERIFY(log().contains("|ERROR              " + toLocaleBytes(QStringLiteral("Файл не найден")) +
                               "|a.orx|"));
        bool workerSawPending = true;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            workerSawPending = handler->hasPendingError();
            GEH_SET_ERROR(QStringLiteral("worker"), QString());
            handler->showLastError();
        }));
        worker->start();
        QVERIFY(worker->wait(10000) && !workerSawPending);
        handler->showLastError();
        const bool cleared = !handler->hasPendingError();
        handler->showLastError();
        GEH_SET_ERROR(QStringLiteral("first"), QString());
        GEH_SET_ERROR(QStringLiteral("second"), QString());
        handler->showLastError();
        QString shown = QString::number(cleared);
        for (const orxtest::CapturedMessage& m : capture.messages())
            shown += QLatin1Char('|') + (m.level == geh::mlError ? m.title + m.text + m.details
                                                                 : m.text.section(QLatin1Char('\n'), -1));
        QCOMPARE(shown,
                 QStringLiteral("1|Ошибкаworker|ОшибкаФайл не найденa.orx|Last error has not been set before|"
                                "Previous error has not been handled|Ошибкаsecond"));
    }

    // Console bytes of both printers and of the trace lines; the default printer cannot be
    // removed, an own one is kept until removed.
    void console()
    {
        orxtest::StdoutCapture out;
        geh::QMessagePrinter().print(QStringLiteral("Ошибка"), QStringLiteral("Ошибка"), QStringLiteral("№1"),
                                     1);
        geh::QCustomMessagePrinter().print(QStringLiteral("T"), QStringLiteral("text"), QString(), 2);
        geh::trace(QStringLiteral("Ошибка"));
        {
            geh::TimingScope scope(QStringLiteral("calc"));
            scope.finish();
            scope.finish();
        }
        const QByteArray bytes = out.take();
        const QByteArray printed =
            "*** " + kOshibka866 + " *** \r\n" + kOshibka866 + "\xFC" + "1\r\n" +
            "*** T *** \r\ntext\r\n*** Error *** \r\nQCustomMessagePrinter::m_func is NULL\r\n";
        QCOMPARE(bytes.left(printed.size()), printed);
        const QByteArray stamp =
            "\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d:\\d{3} " + geh::threadIdText().toLatin1();
        const QRegularExpression trace(QString::fromLatin1(stamp + " " + kOshibka866 + "\n" + stamp +
                                                           " calc is starting\\.\\.\\.\n" + stamp +
                                                           " calc finished in [0-9.e-]+ sec\\.\n$"));
        QVERIFY2(trace.match(QString::fromLatin1(bytes.mid(printed.size()))).hasMatch(), bytes.constData());
        QCOMPARE(geh::threadIdText(0xBEEF) + geh::threadIdText(quintptr(0x7F12345678ull)),
                 QStringLiteral("0x0000BEEF0x7F12345678"));

        orxtest::MessageCapture capture;
        auto* handler = geh::ErrorHandler::instance();
        geh::QMessagePrinter* byDefault = handler->currentPrinter();
        handler->setPrinter(nullptr, false);
        auto* own = new geh::QMessagePrinter;
        handler->setPrinter(own, true);
        const bool ownUsed = handler->currentPrinter() == own;
        handler->setPrinter(nullptr, true);
        QVERIFY(ownUsed && handler->currentPrinter() == byDefault &&
                capture.contains(QStringLiteral("Default message printer is restricted to remove")));
    }

    void toolkitMessages_data() { tableRows(kRoutings); }
    // The log names the handler itself as the source.
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
        QCOMPARE(shown.title + shown.text + QString::number(shown.level) + QString::number(capture.count()),
                 row.shownLevel < 0 ? QStringLiteral("-10")
                                    : QStringLiteral("Standart Qt-message") + QString::fromUtf8(row.message) +
                                          QString::number(row.shownLevel) + QLatin1Char('1'));
        QCOMPARE(log(), *row.logLevel
                            ? "@ errorhandle.cpp, stdMessageHandler(), row 59|" +
                                  QByteArray(row.logLevel).leftJustified(19, ' ') + row.message + "||"
                            : QByteArray());
    }

    void oneBoxPerReportInAnAction_data() { tableRows(kActions); }
    // Every report is logged, and the console marks those not shown.
    void oneBoxPerReportInAnAction()
    {
        ORX_ROW(kActions);
        const auto place = [](char c) {
            return geh::SourceLocation{c == 'c' ? "place.cpp" : "calc.cpp", "calc", c == 'b' ? 11 : 10};
        };
        const auto condition = [](char c) { return QLatin1String(c == 'd' ? "y > 0" : "x > 0"); };
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
                geh::ErrorHandler::instance()->assertFailed(place(*step), condition(*step));
                raised += QLatin1Char(*step);
            }
        }
        for (const QString& text : capture.assertions())
            for (char c : {'a', 'b', 'c', 'd'})
                if (text.endsWith(place(c).toString() + QStringLiteral("\r\n") + condition(c)))
                    shown += QLatin1Char(c);
        const int hidden = out.take().count("(hidden)"); // the console back before any failure is told
        QCOMPARE(shown, QLatin1String(row.shown));
        QCOMPARE(log().count("|ASSERT "), raised.size());
        QCOMPARE(hidden, raised.size() - shown.size());
    }
};

ORX_CORE_TEST_MAIN(TestErrorHandle)
#include "tst_errorhandle.moc"
