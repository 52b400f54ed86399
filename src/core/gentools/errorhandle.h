#pragma once

// The program's single channel for what goes wrong: assertions that report and
// continue, pending user errors per thread, toolkit messages, console trace lines
// and the append-only log file.

#include <QByteArray>
#include <QElapsedTimer>
#include <QMap>
#include <QString>
#include <QThreadStorage>
#include <QtGlobal>

#include <functional>

class QMutex;

namespace geh {

// Message levels; the log writes their names.
enum MessageLevel { mlAssert = 0, mlError = 1, mlInformation = 2, mlWarning = 3 };

// Where a message comes from, built at the reporting site.
struct SourceLocation
{
    QByteArray file;
    QByteArray function;
    qint32 line = 0;

    // "file, function(), row N"
    QString toString() const;
};

struct ErrorRecord
{
    QByteArray file;
    QByteArray function;
    qint32 line = 0;
    QString message;
    QString details;
};

// The console printer: writes every message to standard output in code page 866.
class QMessagePrinter
{
public:
    virtual ~QMessagePrinter();
    virtual void print(const QString& title, const QString& text, const QString& details, int level);
    virtual bool isHidden(const QString& text) const;

    // Console output of a message that reaches no message box: the title
    // carries the mark " (hidden)".
    static void printHidden(const QString& title, const QString& text, const QString& details);

protected:
    // Console output shared by every printer.
    static void printToConsole(const QString& title, const QString& text, const QString& details);
};

// Forwards every shown message to a callback (tests install one to capture what
// the user would have seen).
class QCustomMessagePrinter : public QMessagePrinter
{
public:
    using Callback = std::function<void(void* context, const QString& title, const QString& text,
                                        const QString& details, int level)>;

    explicit QCustomMessagePrinter(void* context = nullptr, Callback func = Callback());
    void print(const QString& title, const QString& text, const QString& details, int level) override;

    void* context;
    Callback m_func;
};

class ErrorHandler
{
public:
    static ErrorHandler* instance();
    static void destroyInstance();

    void assertFailed(const SourceLocation& location, const QString& condition);
    void setError(const SourceLocation& location, const QString& message, const QString& details = QString());
    void showLastError();
    bool checkErrorState(const SourceLocation& location, bool expectPending);
    void writeLog(const SourceLocation& location, int level, const QString& text, const QString& details);

    // Ownership of the printer passes to the handler.
    void setPrinter(QMessagePrinter* printer, bool perThread);
    QMessagePrinter* currentPrinter() const;

    // Until the application names its log, entries go to "app.log" in the
    // working folder ("D:\log.txt" on Windows).
    void setLogFileName(const QString& fileName);
    QString logFileName() const;
    void setEnglish(bool english);
    void setHideAssertDetails(bool hide);
    void setSuppressGeometryWarnings();
    bool suppressGeometryWarnings() const;

    // True when the calling thread has an error set and not yet shown.
    bool hasPendingError() const;

private:
    ErrorHandler();
    ~ErrorHandler();
    Q_DISABLE_COPY(ErrorHandler)

    QString errorTitle() const;

    QMap<quintptr, QMessagePrinter*> printers;
    bool english = false;
    bool hideAssertDetails = false;
    bool m_suppressGeometryWarnings = false;
    QString m_logFileName;
    QThreadStorage<ErrorRecord*> lastError;
};

// One action of the user: a keystroke and the recalculation it causes, or the
// opening of a document. A faulty state met on every pass of a calculation
// would raise the same assertion report dozens of times, each in a modal box;
// within one action a report (same file, line and condition) is shown once,
// and every one of them is still logged. Scopes nest: the outermost one ends
// the action. An action belongs to the thread that opened it.
class UserActionScope
{
public:
    UserActionScope();
    ~UserActionScope();
    Q_DISABLE_COPY(UserActionScope)
};

void stdMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// One time-stamped line on standard output.
void trace(const QString& text);

// A mark in the log (level WARNING) at a step of a long operation, so that a
// save or an open that never returns shows how far it got.
void traceMark(const SourceLocation& location, const char* mark);

// Text on standard output in the console's code page 866, unbuffered by us:
// it goes through the same stream as the printers' output, in order.
void writeConsole(const QString& text);

// The calling thread's identifier as "0x" and at least eight upper-case
// hexadecimal digits, left-padded with zeros.
QString threadIdText();
QString threadIdText(quintptr id);

// A scoped lock that traces waiting, locking and unlocking when it has a name.
class MutexAutoLock
{
public:
    MutexAutoLock(QMutex* mutex, const QString& name = QString());
    ~MutexAutoLock();
    Q_DISABLE_COPY(MutexAutoLock)

private:
    QMutex* m_mutex;
    QString name;
    QElapsedTimer timer;
};

// A scoped stopwatch that traces its start and its duration.
class TimingScope
{
public:
    explicit TimingScope(const QString& name);
    ~TimingScope();
    Q_DISABLE_COPY(TimingScope)
    void finish();

private:
    QElapsedTimer timer;
    bool finished = false;
    QString name;
};

} // namespace geh

// The reporting site: file as the compiler gives it, bare function name, line.
#define GEH_LOCATION (::geh::SourceLocation{QByteArray(__FILE__), QByteArray(__func__), __LINE__})

// Checks a condition; when it is false, reports it with its source text and lets
// the caller continue. Evaluates to the condition's value, so a site can return a
// neutral value after the report: if (!GEH_ASSERT(p)) return 0;
#define GEH_ASSERT(cond)                                                                                     \
    (static_cast<bool>(cond)                                                                                 \
         ? true                                                                                              \
         : (::geh::ErrorHandler::instance()->assertFailed(GEH_LOCATION, QStringLiteral(#cond)), false))

// Records a user-level error for the calling thread.
#define GEH_SET_ERROR(message, details)                                                                      \
    ::geh::ErrorHandler::instance()->setError(GEH_LOCATION, message, details)
