#pragma once

// What many tests need: isolation from the user's real settings and files, and
// a printer that captures what the error handler would have shown.

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QtTest>

#include <cmath>

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
    // The failed conditions of the captured assertion reports: the text after
    // the report's last line break.
    QStringList conditions() const;
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

// |actual - expected| <= within; the failure message shows the actual value.
inline bool near(double actual, double expected, double within)
{
    return std::fabs(actual - expected) <= within;
}
QByteArray show(double value);

// The messages the calculations end with when the user's input is refused.
QString invalidInput(const char* reason);
extern const QString emptyFields;

// "DN/Kvs" of each candidate in the order given, blank-separated; with
// onlyProposed, the candidates not rejected.
template <typename Item>
QString designations(const QList<Item>& items, bool onlyProposed)
{
    QStringList result;
    for (const Item& item : items)
        if (!onlyProposed || !item.rejected)
            result << QStringLiteral("%1/%2").arg(item.dn).arg(item.kv);
    return result.join(QLatin1Char(' '));
}

QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);

} // namespace orxtest

// Compares within an absolute tolerance and names the value on failure.
#define ORX_NEAR(actual, expected, within)                                                                   \
    do {                                                                                                     \
        const double orxActual_ = (actual);                                                                  \
        QVERIFY2(orxtest::near(orxActual_, (expected), (within)),                                            \
                 orxtest::show(orxActual_) + " instead of " + orxtest::show(expected));                      \
    } while (false)

// main() of a test of the Qt-Core-only layers.
#define ORX_CORE_TEST_MAIN(TestClass)                                                                        \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        orxtest::prepareEnvironment();                                                                       \
        QCoreApplication app(argc, argv);                                                                    \
        TestClass tc;                                                                                        \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
