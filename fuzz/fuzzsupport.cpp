#include "fuzzsupport.h"

#include "gentools/errorhandle.h"

#include <cstdio>
#include <cstdlib>

namespace orxfuzz {

namespace {

// Records what would have been shown, without a box and without the console
// lines of the other printers: a fuzzing run reports millions of them.
class RecordingPrinter : public geh::QMessagePrinter
{
public:
    explicit RecordingPrinter(Shown& record) : m_record(record) {}

    void print(const QString&, const QString& text, const QString&, int level) override
    {
        // What no printer puts in a box (the windowless platform's notes) is
        // not shown to the user.
        if (isHidden(text))
            return;
        switch (level) {
        case geh::mlAssert:
            ++m_record.assertions;
            break;
        case geh::mlError:
            ++m_record.errors;
            break;
        case geh::mlWarning:
            ++m_record.warnings;
            break;
        default:
            ++m_record.information;
            break;
        }
        // A few texts are enough to check what was said.
        if (m_record.texts.size() < 16)
            m_record.texts << text;
    }

private:
    Shown& m_record;
};

} // namespace

Shown& quietErrorHandler()
{
    static Shown shown;
    static const bool installed = [] {
        geh::ErrorHandler* handler = geh::ErrorHandler::instance();
        handler->setLogFileName(QString());
        handler->setPrinter(new RecordingPrinter(shown), false);
        return true;
    }();
    Q_UNUSED(installed);
    shown.reset();
    return shown;
}

void fail(const char* what, const QString& details)
{
    std::fprintf(stderr, "INVARIANT BROKEN: %s\n%s\n", what, details.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

uint8_t ByteReader::byte()
{
    return atEnd() ? 0 : m_data[m_pos++];
}

uint16_t ByteReader::u16()
{
    const uint16_t high = byte();
    return static_cast<uint16_t>(high << 8 | byte());
}

uint32_t ByteReader::u32()
{
    const uint32_t high = u16();
    return high << 16 | u16();
}

uint64_t ByteReader::u64()
{
    const uint64_t high = u32();
    return high << 32 | u32();
}

QByteArray ByteReader::rest()
{
    if (atEnd())
        return QByteArray();
    const QByteArray bytes(reinterpret_cast<const char*>(m_data + m_pos), static_cast<int>(m_size - m_pos));
    m_pos = m_size;
    return bytes;
}

} // namespace orxfuzz
