#include "testsupport.h"

#include "gentools/errorhandle.h"

#include <QStandardPaths>

namespace orxtest {

void prepareEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
}

MessageCapture::MessageCapture()
{
    auto* printer = new geh::QCustomMessagePrinter(
        this, [](void* context, const QString& title, const QString& text, const QString& details, int level) {
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

bool MessageCapture::contains(const QString& fragment) const
{
    for (const CapturedMessage& m : m_messages)
        if (m.text.contains(fragment) || m.details.contains(fragment))
            return true;
    return false;
}

} // namespace orxtest
