// The start-up self-tests: silent on a correct build, and each failed
// comparison shown at once in its own message format.

#include "engine/algotest.h"
#include "testsupport.h"

#include <QtTest>

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

    void failedComparisonMessage_data()
    {
        QTest::addColumn<Comparison>("comparison");
        QTest::addColumn<QString>("expected");
        QTest::newRow("value against a stored expectation") << Comparison([] {
            return algotest::compare("alg.kvsMath()", 92.5304, 92.6, 0.01, {"algotest.cpp", "test1", 120});
        }) << "alg.kvsMath()=92.5304 (not equal to 92.6), test failed at algotest.cpp, line 120";
        QTest::newRow("count against a stored expectation") << Comparison([] {
            return algotest::compare("alg.results().size()", 6, 5, {"algotest.cpp", "test1", 7});
        }) << "alg.results().size()=6 (not equal to 5), test failed at algotest.cpp, line 7";
        QTest::newRow("two computed values") << Comparison([] {
            return algotest::comparePair("a.speed", 4.683377, "b.speed", 2.6344, 1e-9,
                                         {"algotest.cpp", "test12", 33});
        }) << "a.speed=4.68338, b.speed=2.6344, test failed at algotest.cpp, line 33";
        QTest::newRow("condition") << Comparison([] {
            return algotest::check("!item->rejected", false, {"algotest.cpp", "test11", 99});
        }) << "Test condition \"!item->rejected\" failed at algotest.cpp, line 99";
    }

    void failedComparisonMessage()
    {
        QFETCH(Comparison, comparison);
        orxtest::MessageCapture capture;
        QVERIFY(!comparison());
        QCOMPARE(capture.count(), 1);
        QTEST(capture.messages().first().text, "expected");
        QCOMPARE(capture.messages().first().level, int(geh::mlError));
        QCOMPARE(capture.messages().first().title, QStringLiteral("Ошибка"));
    }

    void heldComparisonsShowNothing()
    {
        orxtest::MessageCapture capture;
        const geh::SourceLocation here{"algotest.cpp", "test1", 1};
        // Within the tolerance on either side.
        QVERIFY(algotest::compare("x", 92.5304, 92.53, 0.01, here));
        QVERIFY(algotest::compare("x", 92.5201, 92.53, 0.01, here));
        QVERIFY(algotest::compare("n", 6, 6, here));
        QVERIFY(algotest::comparePair("a", 1.0, "b", 1.0 + 1e-12, 1e-9, here));
        QVERIFY(algotest::check("c", true, here));
        // Just outside the tolerance fails.
        QVERIFY(!algotest::compare("x", 92.5410, 92.53, 0.01, here));
        QCOMPARE(capture.count(), 1);
    }

    void messagesAreNotLeftPending()
    {
        // Two failures in a row: each is shown before the next is recorded, so the
        // handler never reports an unhandled previous error.
        orxtest::MessageCapture capture;
        const geh::SourceLocation here{"algotest.cpp", "test2", 5};
        algotest::check("first", false, here);
        algotest::check("second", false, here);
        QCOMPARE(capture.count(), 2);
        QVERIFY(capture.assertions().isEmpty());
        QVERIFY(!geh::ErrorHandler::instance()->hasPendingError());
    }
};

ORX_CORE_TEST_MAIN(TestAlgotest)
#include "tst_algotest.moc"
