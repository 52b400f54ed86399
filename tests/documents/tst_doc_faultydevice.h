#pragma once

// A device that stands for a disk that fills up or a medium that fails: it
// accepts the first `limit` bytes written, then refuses every write; reading
// serves the given bytes and fails after `limit` of them. It may also pretend to
// be sequential (a pipe), which hides the total size from the reader.

#include <QByteArray>
#include <QIODevice>

#include <algorithm>

class FaultyDevice : public QIODevice
{
public:
    explicit FaultyDevice(qint64 limit, const QByteArray& content = QByteArray(), bool sequential = false)
        : m_limit(limit), m_content(content), m_sequential(sequential)
    {
    }

    const QByteArray& written() const { return m_written; }
    bool isSequential() const override { return m_sequential; }
    qint64 size() const override { return m_sequential ? 0 : m_content.size(); }
    qint64 bytesAvailable() const override
    {
        return m_sequential ? m_content.size() - m_readPos + QIODevice::bytesAvailable()
                            : QIODevice::bytesAvailable();
    }

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        const qint64 room = m_limit - m_written.size();
        if (room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 accepted = std::min(room, length);
        m_written.append(data, static_cast<int>(accepted));
        return accepted;
    }

    qint64 readData(char* data, qint64 maxLength) override
    {
        if (m_readPos >= m_limit) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 n = std::min({maxLength, m_limit - m_readPos, qint64(m_content.size()) - m_readPos});
        std::copy_n(m_content.constData() + m_readPos, n, data);
        m_readPos += n;
        return n;
    }

private:
    qint64 m_limit;
    QByteArray m_content;
    bool m_sequential;
    QByteArray m_written;
    qint64 m_readPos = 0;
};
