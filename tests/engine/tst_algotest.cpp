// The start-up self-tests: silent on a correct build, and each failed
// comparison shown at once in its own message format.

#include "engine/algotest.h"
#include "testsupport.h"

#include <QtTest>

class TestAlgotest : public QObject
{
    Q_OBJECT

private slots:
    void correctBuildShowsNothing();
    void eachScenarioIsSilent_data();
    void eachScenarioIsSilent();
    void failedComparisonMessage_data();
    void failedComparisonMessage();
    void heldComparisonsShowNothing();
    void messagesAreNotLeftPending();
};

void TestAlgotest::correctBuildShowsNothing()
{
    orxtest::MessageCapture capture;
    algotest::runSelfTests();
    QStringList shown;
    for (const orxtest::CapturedMessage& m : capture.messages())
        shown << m.text;
    QVERIFY2(shown.isEmpty(), qPrintable(shown.join(QLatin1Char('\n'))));
}

void TestAlgotest::eachScenarioIsSilent_data()
{
    QTest::addColumn<void*>("scenario");
    QTest::newRow("test1") << reinterpret_cast<void*>(&algotest::test1);
    QTest::newRow("test2") << reinterpret_cast<void*>(&algotest::test2);
    QTest::newRow("test3") << reinterpret_cast<void*>(&algotest::test3);
    QTest::newRow("test4") << reinterpret_cast<void*>(&algotest::test4);
    QTest::newRow("test10") << reinterpret_cast<void*>(&algotest::test10);
    QTest::newRow("test11") << reinterpret_cast<void*>(&algotest::test11);
    QTest::newRow("test12") << reinterpret_cast<void*>(&algotest::test12);
}

void TestAlgotest::eachScenarioIsSilent()
{
    QFETCH(void*, scenario);
    orxtest::MessageCapture capture;
    reinterpret_cast<void (*)()>(scenario)();
    QCOMPARE(capture.count(), 0);
}

void TestAlgotest::failedComparisonMessage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");

    QTest::newRow("value against a stored expectation")
        << 0
        << QStringLiteral("alg.kvsMath()=92.5304 (not equal to 92.6), test failed at algotest.cpp, line 120");
    QTest::newRow("count against a stored expectation")
        << 1
        << QStringLiteral("alg.results().size()=6 (not equal to 5), test failed at algotest.cpp, line 7");
    QTest::newRow("two computed values")
        << 2 << QStringLiteral("a.speed=4.68338, b.speed=2.6344, test failed at algotest.cpp, line 33");
    QTest::newRow("condition") << 3
                               << QStringLiteral(
                                      "Test condition \"!item->rejected\" failed at algotest.cpp, line 99");
}

void TestAlgotest::failedComparisonMessage()
{
    QFETCH(int, kind);
    QFETCH(QString, expected);

    orxtest::MessageCapture capture;
    bool held = true;
    switch (kind) {
    case 0:
        held = algotest::compare("alg.kvsMath()", 92.5304, 92.6, 0.01, {"algotest.cpp", "test1", 120});
        break;
    case 1:
        held = algotest::compare("alg.results().size()", 6, 5, {"algotest.cpp", "test1", 7});
        break;
    case 2:
        held = algotest::comparePair("a.speed", 4.683377, "b.speed", 2.6344, 1e-9,
                                     {"algotest.cpp", "test12", 33});
        break;
    default:
        held = algotest::check("!item->rejected", false, {"algotest.cpp", "test11", 99});
        break;
    }

    QVERIFY(!held);
    QCOMPARE(capture.count(), 1);
    const orxtest::CapturedMessage& m = capture.messages().first();
    QCOMPARE(m.text, expected);
    QCOMPARE(m.level, int(geh::mlError));
    QCOMPARE(m.title, QStringLiteral("Ошибка"));
}

void TestAlgotest::heldComparisonsShowNothing()
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

void TestAlgotest::messagesAreNotLeftPending()
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

ORX_CORE_TEST_MAIN(TestAlgotest)
#include "tst_algotest.moc"
