// The start-up self-tests: silent on a correct build, and each failed
// comparison shown at once in its own message format.

#include "../core/tablerows.h"
#include "engine/algotest.h"
#include "testsupport.h"

namespace {

const geh::SourceLocation at{"algotest.cpp", "test1", 120};

// The message of a failed comparison; empty: the comparison holds.
// clang-format off
const struct { const char* name; bool (*comparison)(); const char* expected; } kComparisons[] = {
    {"value off by more than the tolerance", [] { return algotest::compare("alg.kvsMath()", 92.5410, 92.53, 0.01, at); }, "alg.kvsMath()=92.541 (not equal to 92.53), test failed at algotest.cpp, line 120"},
    {"value just within the tolerance", [] { return algotest::compare("x", 92.5201, 92.53, 0.01, at); }, ""},
    {"count", [] { return algotest::compare("alg.results().size()", 6, 5, at); }, "alg.results().size()=6 (not equal to 5), test failed at algotest.cpp, line 120"},
    {"two computed values", [] { return algotest::comparePair("a.speed", 4.683377, "b.speed", 2.6344, 1e-9, at); }, "a.speed=4.68338, b.speed=2.6344, test failed at algotest.cpp, line 120"},
    {"two values within the tolerance", [] { return algotest::comparePair("a", 1.0, "b", 1.0 + 1e-12, 1e-9, at); }, ""},
    {"condition", [] { return algotest::check("!item->rejected", false, at); }, "Test condition \"!item->rejected\" failed at algotest.cpp, line 120"},
};
// clang-format on

} // namespace

class TestAlgotest : public QObject
{
    Q_OBJECT

private slots:
    // The worked examples with their intermediate figures.
    void correctBuildShowsNothing()
    {
        orxtest::MessageCapture capture;
        algotest::runSelfTests();
        QStringList shown;
        for (const orxtest::CapturedMessage& m : capture.messages())
            shown << m.text;
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join(QLatin1Char('\n'))));
    }

    void comparisons_data() { tableRows(kComparisons); }
    // Each failure is shown at once, so two in a row never leave one pending.
    void comparisons()
    {
        ORX_ROW(kComparisons);
        orxtest::MessageCapture capture;
        QCOMPARE(row.comparison(), !*row.expected);
        row.comparison();
        QCOMPARE(capture.count(), *row.expected ? 2 : 0);
        const orxtest::CapturedMessage m = capture.messages().value(0);
        QCOMPARE(m.text, QLatin1String(row.expected));
        QCOMPARE(m.title + QString::number(m.level),
                 *row.expected ? QStringLiteral("Ошибка") + QString::number(geh::mlError)
                               : QStringLiteral("-1"));
        QVERIFY(!geh::ErrorHandler::instance()->hasPendingError());
    }
};

ORX_CORE_TEST_MAIN(TestAlgotest)
#include "tst_algotest.moc"
