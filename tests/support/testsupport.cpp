#include "testsupport.h"

#include "gentools/errorhandle.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>
#include <unistd.h>

namespace orxtest {

MessageCapture::MessageCapture()
{
    auto* printer =
        new geh::QCustomMessagePrinter(this, [](void* context, const QString& title, const QString& text,
                                                const QString& details, int level) {
            static_cast<MessageCapture*>(context)->m_messages.append({title, text, details, level});
        });
    geh::ErrorHandler::instance()->setPrinter(printer, false);
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
    QStringList result = assertions();
    for (QString& text : result)
        text.remove(0, text.lastIndexOf(QLatin1Char('\n')) + 1);
    return result;
}

bool MessageCapture::contains(const QString& fragment) const
{
    for (const CapturedMessage& m : m_messages)
        if (m.text.contains(fragment) || m.details.contains(fragment))
            return true;
    return false;
}

QStringList MessageCapture::warnings() const
{
    QStringList result;
    for (const CapturedMessage& m : m_messages)
        if (m.title == QStringLiteral("Предупреждение"))
            result << m.text.section(QLatin1Char('\n'), 1);
    return result;
}

const QString emptyFields = QStringLiteral("Не заполнены входные данные");

QString invalidInput(const char* reason)
{
    return QStringLiteral("Недопустимые входные данные:<br>") + QString::fromUtf8(reason);
}

QString figures(std::initializer_list<double> values)
{
    QStringList text;
    for (double value : values)
        text << QString::number(value, 'g', 6);
    return text.join(QLatin1Char(' '));
}

QString each(std::initializer_list<QString> answers)
{
    return QStringList(answers).join(QStringLiteral(" | "));
}

QString corpusFile(const QString& name)
{
    return QStringLiteral(ORX_TEST_SOURCE_DIR "/../fuzz/corpus/document/") + name;
}

Doc corpusDocument(const QString& stem)
{
    Doc doc;
    if (!Doc::loadFromFile(corpusFile(stem + QStringLiteral(".orx")), doc))
        qWarning("no sample %s", qPrintable(stem));
    return doc;
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

StdoutCapture::StdoutCapture() : m_file(std::tmpfile())
{
    std::fflush(stdout);
    m_savedFd = m_file ? ::dup(STDOUT_FILENO) : -1;
    if (m_savedFd >= 0)
        ::dup2(::fileno(m_file), STDOUT_FILENO);
}

QByteArray StdoutCapture::take()
{
    if (m_savedFd >= 0) {
        std::fflush(stdout);
        ::dup2(m_savedFd, STDOUT_FILENO);
        ::close(m_savedFd);
        m_savedFd = -1;
        QFile file;
        if (file.open(::fileno(m_file), QIODevice::ReadOnly) && file.seek(0))
            m_bytes = file.readAll();
    }
    return m_bytes;
}

int MessageCapture::ownCount() const
{
    int n = 0;
    for (const CapturedMessage& message : m_messages)
        n += !message.text.startsWith(QLatin1String("This plugin does not support"));
    return n;
}

QString toolOutput(const char* program, const QStringList& arguments)
{
    QProcess process;
    process.start(QString::fromUtf8(program), arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList captures(const QString& text, const char* pattern)
{
    const QRegularExpression expression(QString::fromUtf8(pattern));
    QStringList found;
    for (auto it = expression.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QStringList parts;
        for (int i = 1; i <= expression.captureCount(); ++i)
            parts << match.captured(i);
        found << parts.join(QLatin1Char('|'));
    }
    return found;
}

QStringList xlsxCells(const QString& path)
{
    const auto part = [&path](const char* name) {
        return toolOutput("unzip", {QStringLiteral("-p"), path, QString::fromLatin1(name)});
    };
    const QStringList strings = captures(part("xl/sharedStrings.xml"), "<si><t[^>]*>([^<]*)</t></si>");
    QStringList cells;
    for (const QString& cell :
         captures(part("xl/worksheets/sheet1.xml"),
                  "<c r=\"([A-Z]+\\d+)\" s=\"\\d+\"( t=\"s\")?(?:/>|><v>([^<]*)</v></c>)")) {
        const QStringList c = cell.split(QLatin1Char('|'));
        cells << c.at(0) + QLatin1Char('=') +
                     (c.at(1).isEmpty() ? QLatin1Char('#') + c.at(2) : strings.value(c.at(2).toInt()));
    }
    return cells;
}

} // namespace orxtest
