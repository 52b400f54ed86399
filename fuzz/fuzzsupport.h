#pragma once

// What every fuzz target needs: a quiet error handler that counts what the
// user would have been shown, a reader that turns the fuzzer's bytes into
// values (and never runs out: past the end it yields zeros), and the way an
// invariant violation is reported (a message, then abort, which the fuzzing
// engine and the corpus replay both see as a failure).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace orxfuzz {

// What the error handler's printer received since the last reset.
struct Shown
{
    int assertions = 0;
    int errors = 0;
    int warnings = 0;
    int information = 0;
    QStringList texts;

    void reset() { *this = Shown(); }
};

// Installs, once per process, a silent printer that records into the returned
// object, and turns the log file off (a fuzzing run reports millions of
// assertions). Returns the record, reset for the next input.
Shown& quietErrorHandler();

// Reports a broken invariant and ends the process.
[[noreturn]] void fail(const char* what, const QString& details = QString());

// Reads the fuzzer's bytes front to back.
class ByteReader
{
public:
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    size_t remaining() const { return atEnd() ? 0 : m_size - m_pos; }

    // The next byte, 0 past the end.
    uint8_t byte();
    // Big-endian numbers; missing bytes read as zeros.
    uint16_t u16();
    uint32_t u32();
    uint64_t u64();
    // Everything not read yet.
    QByteArray rest();

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace orxfuzz
