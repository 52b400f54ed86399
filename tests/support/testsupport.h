#pragma once

// What many tests need: isolation from the user's real settings and files, and
// a printer that captures what the error handler would have shown.

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QtTest>

namespace orxtest {

// Keeps settings and standard locations in test folders. Call before the first
// settings object (the test mains below do).
void prepareEnvironment();

struct CapturedMessage
{
    QString title;
    QString text;
    QString details;
    int level = -1;
};

// While alive, installs a capturing printer as the error handler's default
// printer; nothing reaches a message box. Restores a console printer on exit.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture();
    Q_DISABLE_COPY(MessageCapture)

    const QList<CapturedMessage>& messages() const { return m_messages; }
    int count() const { return m_messages.size(); }
    void clear() { m_messages.clear(); }
    // The texts of the captured assertion reports (level 0).
    QStringList assertions() const;
    // True when some captured message text contains the fragment.
    bool contains(const QString& fragment) const;

private:
    QList<CapturedMessage> m_messages;
};

// While alive, standard output (descriptor 1) goes to a temporary file, so a
// test can compare the exact bytes the program writes to the console. Keep the
// scope short: the test framework's own output is captured too.
class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture();
    Q_DISABLE_COPY(StdoutCapture)

    // Everything written so far; ends the capture.
    QByteArray take();

private:
    void restore();

    int m_savedFd = -1;
    QString m_path;
    QByteArray m_bytes;
};

} // namespace orxtest

// main() of a test of the Qt-Core-only layers.
#define ORX_CORE_TEST_MAIN(TestClass)                                                                        \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        orxtest::prepareEnvironment();                                                                       \
        QCoreApplication app(argc, argv);                                                                    \
        TestClass tc;                                                                                        \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
