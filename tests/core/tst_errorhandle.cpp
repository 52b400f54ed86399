#include "gentools/errorhandle.h"
#include "testsupport.h"

class TestErrorHandle : public QObject
{
    Q_OBJECT
private slots:
    void assertionReportsAndContinues()
    {
        orxtest::MessageCapture capture;
        const bool ok = GEH_ASSERT(1 + 1 == 3);
        QVERIFY(!ok);
        QCOMPARE(capture.count(), 1);
        QCOMPARE(capture.messages().first().title, QStringLiteral("Ошибка"));
        QVERIFY(capture.messages().first().text.startsWith(QStringLiteral("ASSERT at ")));
        QVERIFY(capture.messages().first().text.endsWith(QStringLiteral("\r\n1 + 1 == 3")));
    }
};

ORX_CORE_TEST_MAIN(TestErrorHandle)
#include "tst_errorhandle.moc"
