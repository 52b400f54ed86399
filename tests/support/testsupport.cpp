#include "testsupport.h"

#include "gentools/errorhandle.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace orxtest {

void prepareEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
}

MessageCapture::MessageCapture()
{
    auto* printer =
        new geh::QCustomMessagePrinter(this, [](void* context, const QString& title, const QString& text,
                                                const QString& details, int level) {
            static_cast<MessageCapture*>(context)->m_messages.append({title, text, details, level});
        });
    geh::ErrorHandler::instance()->setPrinter(printer, false);
}

MessageCapture::~MessageCapture()
{
    geh::ErrorHandler::instance()->setPrinter(new geh::QMessagePrinter, false);
}

QStringList MessageCapture::assertions() const
{
    QStringList result;
    for (const CapturedMessage& m : m_messages)
        if (m.level == geh::mlAssert)
            result << m.text;
    return result;
}

QStringList MessageCapture::conditions() const
{
    QStringList result;
    for (const QString& text : assertions())
        result << text.mid(text.lastIndexOf(QLatin1Char('\n')) + 1);
    return result;
}

bool MessageCapture::contains(const QString& fragment) const
{
    for (const CapturedMessage& m : m_messages)
        if (m.text.contains(fragment) || m.details.contains(fragment))
            return true;
    return false;
}

QByteArray show(double value)
{
    return QByteArray::number(value, 'g', 15);
}

const QString emptyFields = QStringLiteral("Не заполнены входные данные");

QString invalidInput(const char* reason)
{
    return QStringLiteral("Недопустимые входные данные:<br>") + QString::fromUtf8(reason);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/orx-stdout-XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        return;
    m_path = file.fileName();
    file.close();
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_TRUNC);
    if (fd < 0)
        return;
    m_savedFd = ::dup(STDOUT_FILENO);
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
}

StdoutCapture::~StdoutCapture()
{
    restore();
}

void StdoutCapture::restore()
{
    if (m_savedFd < 0)
        return;
    std::fflush(stdout);
    ::dup2(m_savedFd, STDOUT_FILENO);
    ::close(m_savedFd);
    m_savedFd = -1;
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly))
        m_bytes = file.readAll();
    file.remove();
}

QByteArray StdoutCapture::take()
{
    restore();
    return m_bytes;
}

} // namespace orxtest
