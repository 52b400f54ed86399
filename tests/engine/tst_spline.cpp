// The natural cubic spline every property table is read through: exact at the
// reference points, hand-computed values between them, tangent lines outside,
// the report-and-continue misuse checks of SmartSpline and the fatal checks of
// the core, which must stop the program in release builds too.

#include "engine/smartspline.h"
#include "engine/spline.h"
#include "testsupport.h"

#include <QProcess>

#include <cstdlib>
#include <functional>

using Points = QVector<SmartSpline::Point>;
using Misuse = std::function<void(SmartSpline&)>;
Q_DECLARE_METATYPE(Misuse)

namespace {

// Run as a child process with ORX_SPLINE_FATAL set: feeds the core what its
// checks refuse; the process must die before reaching the exit below.
const bool fatalProbe = [] {
    const QByteArray which = qgetenv("ORX_SPLINE_FATAL");
    if (which.isEmpty())
        return false;
    CubicSpline spline;
    BandMatrix m(3, 1, 1);
    if (which == "twoPoints")
        spline.setPoints({0, 1}, {0, 1});
    else if (which == "unordered")
        spline.setPoints({0, 2, 1}, {0, 1, 2});
    else if (which == "sizes")
        spline.setPoints({0, 1, 2}, {0, 1});
    else if (which == "singular")
        m.lu_solve({1, 1, 1});
    else if (which == "outsideBand")
        m(0, 2) = 1;
    std::exit(0);
}();

} // namespace

class TestSpline : public QObject
{
    Q_OBJECT

private slots:
    // Expected values from the moment form of the natural spline, solved by hand.
    void values_data()
    {
        QTest::addColumn<Points>("points");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("expected");
        const Points hat{{0, 0}, {1, 1}, {2, 0}};
        QTest::newRow("hat, at the middle point") << hat << 1.0 << 1.0;
        QTest::newRow("hat, between points") << hat << 0.5 << 0.6875;
        // End slopes ±1.5: outside, the tangent lines at the ends.
        QTest::newRow("hat, right tangent") << hat << 3.0 << -1.5;
        QTest::newRow("hat, left tangent") << hat << -1.0 << -1.5;
        const Points cube{{0, 0}, {1, 1}, {2, 8}, {3, 27}};
        QTest::newRow("cube, inner interval") << cube << 1.5 << 3.15;
        QTest::newRow("cube, right tangent slope 21.8") << cube << 4.0 << 48.8;
        QTest::newRow("uneven steps") << Points{{0, 0}, {1, 1}, {3, 0}} << 2.0 << 0.875;
        QTest::newRow("uneven steps, at the last point")
            << Points{{-5, 3}, {-4.9, 2}, {0, 7}, {12.5, -1}, {100, 100}} << 100.0 << 100.0;
        QTest::newRow("two points, beyond") << Points{{1, 10}, {3, 20}} << 10.0 << 55.0;
    }

    void values()
    {
        QFETCH(Points, points);
        QFETCH(double, x);
        QFETCH(double, expected);
        orxtest::MessageCapture capture;
        const SmartSpline spline(points);
        QVERIFY(spline.initialized());
        ORX_NEAR(spline.value(x), expected, 1e-11 * std::max(1.0, std::fabs(expected)));
        QCOMPARE(capture.count(), 0);
    }

    void misuseIsReportedAndHarmless_data()
    {
        QTest::addColumn<Misuse>("misuse");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<double>("valueAtOne"); // 0: the spline refuses every evaluation
        QTest::newRow("add after build") << Misuse([](SmartSpline& s) {
            s.addPoint(0, 0).addPoint(1, 1).addPoint(2, 2).build();
            s.addPoint(3, 100);
        }) << "!initialized()" << 1.0;
        QTest::newRow("value before build") << Misuse([](SmartSpline&) {}) << "initialized()" << 0.0;
        QTest::newRow("one point") << Misuse([](SmartSpline& s) { s.addPoint(1, 5).build(); })
                                   << "m_points.size() > 1" << 0.0;
        QTest::newRow("equal abscissae")
            << Misuse([](SmartSpline& s) { s.addPoint(0, 0).addPoint(1, 1).addPoint(1, 2).build(); })
            << "X[i] > X[i-1]" << 0.0;
    }

    void misuseIsReportedAndHarmless()
    {
        QFETCH(Misuse, misuse);
        QFETCH(double, valueAtOne);
        orxtest::MessageCapture capture;
        SmartSpline spline;
        misuse(spline);
        QCOMPARE(spline.value(1), valueAtOne);
        QCOMPARE(spline.initialized(), valueAtOne != 0.0);
        QVERIFY(!capture.conditions().isEmpty());
        QTEST(capture.conditions().first(), "condition");
        // clear() starts over.
        spline.clear();
        spline.addPoint(0, 1).addPoint(1, 1).addPoint(2, 1).build();
        QCOMPARE(spline.value(0.5), 1.0);
    }

    void coreChecksAreFatal_data()
    {
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("expression");
        QTest::newRow("two points") << "twoPoints"
                                    << "x.size()>2";
        QTest::newRow("unordered abscissae") << "unordered"
                                             << "m_x[i]<m_x[i+1]";
        QTest::newRow("vectors of different length") << "sizes"
                                                     << "x.size()==y.size()";
        QTest::newRow("zero diagonal") << "singular"
                                       << "this->operator()(i,i)!=0.0";
        QTest::newRow("element outside the bands") << "outsideBand"
                                                   << "(-num_lower()<=k) && (k<=num_upper())";
    }

    void coreChecksAreFatal()
    {
        QFETCH(QString, probe);
        QFETCH(QString, expression);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORX_SPLINE_FATAL"), probe);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(30000));
        // Stopped by the check (this build defines NDEBUG), not by the exit after it.
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("engine/spline.")), qPrintable(err)); // the core, file and line
        QVERIFY2(err.contains(QStringLiteral("Assertion `%1' failed").arg(expression)), qPrintable(err));
    }
};

ORX_CORE_TEST_MAIN(TestSpline)
#include "tst_spline.moc"
