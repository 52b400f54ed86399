// The start-up self-tests: silent on a correct build, and each failed
// comparison shown at once in its own message format.

#include "engine/algotest.h"
#include "testsupport.h"

#include <functional>

using Comparison = std::function<bool()>;
Q_DECLARE_METATYPE(Comparison)

class TestAlgotest : public QObject
{
    Q_OBJECT

private slots:
    void correctBuildShowsNothing()
    {
        orxtest::MessageCapture capture;
        algotest::runSelfTests();
        QStringList shown;
        for (const orxtest::CapturedMessage& m : capture.messages())
            shown << m.text;
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join(QLatin1Char('\n'))));
    }

    void comparisons_data()
    {
        QTest::addColumn<Comparison>("comparison");
        QTest::addColumn<QString>("expected"); // empty: the comparison holds
        const geh::SourceLocation at{"algotest.cpp", "test1", 120};
        QTest::newRow("value off by more than the tolerance")
            << Comparison([=] { return algotest::compare("alg.kvsMath()", 92.5410, 92.53, 0.01, at); })
            << "alg.kvsMath()=92.541 (not equal to 92.53), test failed at algotest.cpp, line 120";
        QTest::newRow("value just within the tolerance")
            << Comparison([=] { return algotest::compare("x", 92.5201, 92.53, 0.01, at); }) << "";
        QTest::newRow("count") << Comparison([=] {
            return algotest::compare("alg.results().size()", 6, 5, at);
        }) << "alg.results().size()=6 (not equal to 5), test failed at algotest.cpp, line 120";
        QTest::newRow("two computed values") << Comparison([=] {
            return algotest::comparePair("a.speed", 4.683377, "b.speed", 2.6344, 1e-9, at);
        }) << "a.speed=4.68338, b.speed=2.6344, test failed at algotest.cpp, line 120";
        QTest::newRow("two values within the tolerance")
            << Comparison([=] { return algotest::comparePair("a", 1.0, "b", 1.0 + 1e-12, 1e-9, at); }) << "";
        QTest::newRow("condition") << Comparison([=] {
            return algotest::check("!item->rejected", false, at);
        }) << "Test condition \"!item->rejected\" failed at algotest.cpp, line 120";
    }

    // Each failure is shown at once, so two in a row never leave one pending.
    void comparisons()
    {
        QFETCH(Comparison, comparison);
        QFETCH(QString, expected);
        orxtest::MessageCapture capture;
        QCOMPARE(comparison(), expected.isEmpty());
        if (expected.isEmpty()) {
            QCOMPARE(capture.count(), 0);
            return;
        }
        comparison();
        QCOMPARE(capture.count(), 2);
        QCOMPARE(capture.messages().first().text, expected);
        QCOMPARE(capture.messages().first().level, int(geh::mlError));
        QCOMPARE(capture.messages().first().title, QStringLiteral("Ошибка"));
        QVERIFY(!geh::ErrorHandler::instance()->hasPendingError());
    }
};

ORX_CORE_TEST_MAIN(TestAlgotest)
#include "tst_algotest.moc"
