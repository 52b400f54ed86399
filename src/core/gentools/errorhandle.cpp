#include "errorhandle.h"

#include "settings/oemcodec.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QSet>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <cstdio>

namespace geh {

namespace {

std::atomic<ErrorHandler*> g_instance{nullptr};

QMutex& instanceMutex()
{
    static QMutex mutex;
    return mutex;
}

// Set while the calling thread writes a log entry. A toolkit message raised
// from inside the write (a file that cannot be opened, say) would come back
// through the message handler and wait for the log mutex this thread holds;
// such a message is dropped instead.
thread_local bool t_writingLog = false;

// Where entries go until the application names its log. Windows keeps the
// handler's long-standing place; elsewhere a drive letter means nothing and
// would make a file literally named "D:\log.txt" in the working folder, so the
// application's own log name is used from the first entry.
#ifdef Q_OS_WIN
const char kDefaultLogFileName[] = "D:\\log.txt";
#else
const char kDefaultLogFileName[] = "app.log";
#endif

QString tr(const char* text)
{
    return QCoreApplication::translate("geh", text);
}

QString levelName(int level)
{
    switch (level) {
    case mlAssert:
        return QStringLiteral("ASSERT");
    case mlError:
        return QStringLiteral("ERROR");
    case mlInformation:
        return QStringLiteral("INFORMATION");
    case mlWarning:
        return QStringLiteral("WARNING");
    default:
        return QStringLiteral("UNKNOWN");
    }
}

// Fragments of messages that must never reach a message box.
const QStringList& hiddenFragments()
{
    static const QStringList fragments{
        QStringLiteral("flush: BitBlt failed"),
        // The windowless platform used for tests and headless runs says this
        // whenever a window is shown, a message box included: shown in a box
        // it would answer every window with another box.
        QStringLiteral("This plugin does not support propagateSizeHints()"),
        // A desktop without a PDF viewer: the report itself then tells the
        // user where the file was saved, in words the user can act on.
        QStringLiteral("Unable to detect a launcher"),
    };
    return fragments;
}

// Logging categories of the toolkit's talk about the platform under it: the
// windowing system (an X server answering about a window already gone, say),
// the keyboard, OpenGL, font matching, accessibility. Nothing in it is the
// user's to act on; the console and the log keep it for whoever looks into a
// fault. Each entry covers its subcategories ("qt.qpa" covers "qt.qpa.xcb").
const char* const kEnvironmentCategories[] = {
    "qt.qpa", "qt.xkb", "qt.xkbcommon", "qt.glx", "qt.text.font", "qt.accessibility",
};

bool isEnvironmentMessage(const char* category, const QString& message)
{
    const QByteArray name(category);
    for (const char* family : kEnvironmentCategories)
        if (name == family || name.startsWith(QByteArray(family) + '.'))
            return true;
    // The standard locations complain about the run-time folder (a desktop
    // without XDG_RUNTIME_DIR, a folder of the wrong owner) without a category
    // of their own.
    return name == "default" && message.startsWith(QLatin1String("QStandardPaths: ")) &&
           (message.contains(QLatin1String("XDG_RUNTIME_DIR")) ||
            message.contains(QLatin1String("runtime directory")));
}

// The user action open on this thread and the assertion reports shown in it.
struct UserAction
{
    int depth = 0;
    QSet<QByteArray> shownReports;
};
thread_local UserAction t_action;

// False for a report already shown in the open action; outside an action
// every report is shown.
bool firstInAction(const SourceLocation& location, const QString& condition)
{
    if (t_action.depth == 0)
        return true;
    const QByteArray key =
        location.file + '\n' + QByteArray::number(location.line) + '\n' + condition.toUtf8();
    if (t_action.shownReports.contains(key))
        return false;
    t_action.shownReports.insert(key);
    return true;
}

QMutex& logMutex()
{
    static QMutex mutex;
    return mutex;
}

quintptr currentThreadKey()
{
    return reinterpret_cast<quintptr>(QThread::currentThreadId());
}

void writeToStdout(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

// Text in the console's code page 866.
QByteArray consoleBytes(const QString& text)
{
    return COEMCodec::win1251ToOem(toLocaleBytes(text));
}

} // namespace

QString SourceLocation::toString() const
{
    return QStringLiteral("%1, %2(), row %3")
        .arg(QString::fromLocal8Bit(file), QString::fromLatin1(function))
        .arg(line);
}

// ---------------------------------------------------------------------------
// Printers

QMessagePrinter::~QMessagePrinter() = default;

void QMessagePrinter::printToConsole(const QString& title, const QString& text, const QString& details)
{
    QByteArray bytes = "*** " + consoleBytes(title) + " *** \r\n";
    bytes += COEMCodec::instance()->fromUnicode(text);
    bytes += COEMCodec::instance()->fromUnicode(details);
    bytes += "\r\n";
    writeToStdout(bytes);
}

void QMessagePrinter::print(const QString& title, const QString& text, const QString& details, int)
{
    printToConsole(title, text, details);
}

void QMessagePrinter::printHidden(const QString& title, const QString& text, const QString& details)
{
    printToConsole(title + QStringLiteral(" (hidden)"), text, details);
}

bool QMessagePrinter::isHidden(const QString& text) const
{
    for (const QString& fragment : hiddenFragments())
        if (text.contains(fragment, Qt::CaseSensitive))
            return true;
    return false;
}

QCustomMessagePrinter::QCustomMessagePrinter(void* context, Callback func)
    : context(context), m_func(std::move(func))
{
}

void QCustomMessagePrinter::print(const QString& title, const QString& text, const QString& details,
                                  int level)
{
    if (isHidden(text)) {
        printHidden(title, text, details);
        return;
    }
    printToConsole(title, text, details);
    if (m_func)
        m_func(context, title, text, details, level);
    else
        QMessagePrinter::print(QStringLiteral("Error"),
                               QStringLiteral("QCustomMessagePrinter::m_func is NULL"), QString(), mlError);
}

// ---------------------------------------------------------------------------
// The handler

ErrorHandler::ErrorHandler() : m_logFileName(QString::fromLatin1(kDefaultLogFileName))
{
    printers.insert(0, new QMessagePrinter);
    qInstallMessageHandler(stdMessageHandler);
}

ErrorHandler::~ErrorHandler()
{
    qInstallMessageHandler(nullptr);
    qDeleteAll(printers);
    printers.clear();
    // The calling thread's pending error goes with the handler; other threads
    // have ended by now.
    lastError.setLocalData(nullptr);
}

ErrorHandler* ErrorHandler::instance()
{
    // Messages may come from any thread, so the first use is serialised.
    ErrorHandler* handler = g_instance.load(std::memory_order_acquire);
    if (handler)
        return handler;
    QMutexLocker lock(&instanceMutex());
    handler = g_instance.load(std::memory_order_relaxed);
    if (!handler) {
        handler = new ErrorHandler;
        g_instance.store(handler, std::memory_order_release);
    }
    return handler;
}

void ErrorHandler::destroyInstance()
{
    QMutexLocker lock(&instanceMutex());
    delete g_instance.exchange(nullptr);
}

QString ErrorHandler::errorTitle() const
{
    return english ? QStringLiteral("Error") : tr("Ошибка");
}

void ErrorHandler::assertFailed(const SourceLocation& location, const QString& condition)
{
    writeLog(location, mlAssert, QString(), condition);
    QString text;
    if (!hideAssertDetails)
        text = tr("ASSERT at %1\r\n%2").arg(location.toString(), condition);
    else if (english)
        text = QStringLiteral("A program internal error has been detected. Call to the developer, please.");
    else
        text = tr("Обнаружена внутренняя ошибка в программе. Обратитесь, пожалуйста, к разработчику.");
    if (firstInAction(location, condition))
        currentPrinter()->print(errorTitle(), text, QString(), mlAssert);
    else
        QMessagePrinter::printHidden(errorTitle(), text, QString());
}

void ErrorHandler::setError(const SourceLocation& location, const QString& message, const QString& details)
{
    checkErrorState(location, false);
    auto* record = new ErrorRecord{location.file, location.function, location.line, message, details};
    // Replacing the thread's record deletes an earlier one that was never shown.
    lastError.setLocalData(record);
    writeLog(location, mlError, message, details);
}

void ErrorHandler::showLastError()
{
    if (!checkErrorState(GEH_LOCATION, true))
        return; // nothing was set: there is no record to show
    ErrorRecord* record = lastError.localData();
    const QString message = record->message;
    const QString details = record->details;
    lastError.setLocalData(nullptr);
    currentPrinter()->print(errorTitle(), message, details, mlError);
}

bool ErrorHandler::hasPendingError() const
{
    auto& storage = const_cast<QThreadStorage<ErrorRecord*>&>(lastError);
    return storage.hasLocalData() && storage.localData() != nullptr;
}

bool ErrorHandler::checkErrorState(const SourceLocation& location, bool expectPending)
{
    if (hasPendingError() == expectPending)
        return true;
    assertFailed(location, expectPending ? tr("Last error has not been set before")
                                         : tr("Previous error has not been handled"));
    return false;
}

void ErrorHandler::writeLog(const SourceLocation& location, int level, const QString& text,
                            const QString& details)
{
    const QString name = levelName(level);
    const QString blanks(19 - name.size(), QLatin1Char(' '));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM hh:mm:ss.zzz"));
    QByteArray entry = toLocaleBytes(stamp) + ' ' + toLocaleBytes(location.toString()) + "\r\n";
    entry += toLocaleBytes(name) + toLocaleBytes(blanks) + toLocaleBytes(text) + "\r\n";
    entry += toLocaleBytes(details) + "\r\n";

    if (t_writingLog || m_logFileName.isEmpty())
        return;
    t_writingLog = true;
    {
        MutexAutoLock lock(&logMutex());
        QFile file(m_logFileName);
        // A log that cannot be opened loses the entry: logging never fails the program.
        if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            file.write(entry);
            file.close();
        }
    }
    t_writingLog = false;
}

void ErrorHandler::setPrinter(QMessagePrinter* printer, bool perThread)
{
    if (!printer && !perThread) {
        currentPrinter()->print(QStringLiteral("ERROR"),
                                QStringLiteral("Default message printer is restricted to remove"), QString(),
                                mlError);
        return;
    }
    const quintptr key = perThread ? currentThreadKey() : 0;
    QMessagePrinter* old = printers.value(key, nullptr);
    if (printer)
        printers.insert(key, printer);
    else
        printers.remove(key); // a thread without its own printer uses the default one
    if (old != printer)
        delete old;
}

QMessagePrinter* ErrorHandler::currentPrinter() const
{
    auto it = printers.constFind(currentThreadKey());
    if (it != printers.constEnd())
        return it.value();
    return printers.value(0);
}

void ErrorHandler::setLogFileName(const QString& fileName)
{
    m_logFileName = fileName;
}

QString ErrorHandler::logFileName() const
{
    return m_logFileName;
}

void ErrorHandler::setEnglish(bool value)
{
    english = value;
}

void ErrorHandler::setHideAssertDetails(bool hide)
{
    hideAssertDetails = hide;
}

void ErrorHandler::setSuppressGeometryWarnings()
{
    m_suppressGeometryWarnings = true;
}

bool ErrorHandler::suppressGeometryWarnings() const
{
    return m_suppressGeometryWarnings;
}

UserActionScope::UserActionScope()
{
    ++t_action.depth;
}

UserActionScope::~UserActionScope()
{
    if (--t_action.depth == 0)
        t_action.shownReports.clear();
}

// ---------------------------------------------------------------------------
// Toolkit messages

void stdMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // A complaint of the toolkit about the log file itself: logging raises no
    // errors of its own.
    if (t_writingLog)
        return;
    if (message.contains(QStringLiteral("flush: BitBlt failed (Неверный дескриптор.)")))
        return;
    ErrorHandler* handler = ErrorHandler::instance();
    if (handler->suppressGeometryWarnings() && message.contains(QStringLiteral("Unable to set geometry ")))
        return;
    const int level = (type == QtDebugMsg || type == QtWarningMsg) ? mlWarning : mlError;
    const QString title = QStringLiteral("Standart Qt-message");
    if (isEnvironmentMessage(context.category, message))
        QMessagePrinter::printHidden(title, message, QString());
    else
        handler->currentPrinter()->print(title, message, QString(), level);
    // The log names the handler itself as the source of every toolkit message.
    static const SourceLocation here{QByteArray(__FILE__), QByteArray("stdMessageHandler"), 59};
    handler->writeLog(here, level, message, QString());
}

// ---------------------------------------------------------------------------
// Trace lines

void writeConsole(const QString& text)
{
    writeToStdout(COEMCodec::instance()->fromUnicode(text));
}

QString threadIdText()
{
    return threadIdText(currentThreadKey());
}

QString threadIdText(quintptr id)
{
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(static_cast<qulonglong>(id), 8, 16, QLatin1Char('0')).toUpper();
}

void traceMark(const SourceLocation& location, const char* mark)
{
    ErrorHandler::instance()->writeLog(location, mlWarning, QString::fromLatin1(mark), QString());
}

void trace(const QString& text)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM hh:mm:ss:zzz "));
    writeToStdout(consoleBytes(stamp + threadIdText() + QLatin1Char(' ') + text + QLatin1Char('\n')));
}

MutexAutoLock::MutexAutoLock(QMutex* mutex, const QString& name) : m_mutex(mutex), name(name)
{
    if (!name.isEmpty())
        trace(QStringLiteral("--- MutexAutoLock: %1(thread=%2) %3")
                  .arg(name, threadIdText(), QStringLiteral("waiting for")));
    timer.start();
    m_mutex->lock();
    if (!name.isEmpty())
        trace(QStringLiteral("--- MutexAutoLock: %1(thread=%2) %3")
                  .arg(name, threadIdText(), QStringLiteral("locked (%1 ms)").arg(timer.elapsed())));
}

MutexAutoLock::~MutexAutoLock()
{
    m_mutex->unlock();
    if (!name.isEmpty())
        trace(QStringLiteral("--- MutexAutoLock: %1(thread=%2) %3")
                  .arg(name, threadIdText(), QStringLiteral("unlocked")));
}

TimingScope::TimingScope(const QString& name) : name(name)
{
    trace(QStringLiteral("%1 is starting...").arg(name));
    timer.start();
}

TimingScope::~TimingScope()
{
    finish();
}

void TimingScope::finish()
{
    if (finished)
        return;
    finished = true;
    trace(QStringLiteral("%1 finished in %2 sec.").arg(name, QString::number(timer.elapsed() / 1000.0)));
}

} // namespace geh
