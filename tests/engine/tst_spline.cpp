// The natural cubic spline every property table is read through: exact at the
// reference points, hand-computed values between them, tangent lines outside,
// the report-and-continue misuse checks of SmartSpline and the fatal checks of
// the core, which must stop the program in release builds too.

#include "engine/smartspline.h"
#include "engine/spline.h"
#include "testsupport.h"

#include <QProcess>
#include <QtTest>

#include <cmath>
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

bool near(double a, double b, double eps = 1e-12)
{
    return std::fabs(a - b) <= eps * std::max(1.0, std::fabs(b));
}

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
        QTest::newRow("hat, x=0.5") << hat << 0.5 << 0.6875;
        QTest::newRow("hat, x=1.5, symmetric") << hat << 1.5 << 0.6875;
        // End slopes ±1.5: outside, the tangent lines at the ends.
        QTest::newRow("hat, x=3, right tangent") << hat << 3.0 << -1.5;
        QTest::newRow("hat, x=-1, left tangent") << hat << -1.0 << -1.5;
        const Points cube{{0, 0}, {1, 1}, {2, 8}, {3, 27}};
        QTest::newRow("cube, at an inner point") << cube << 2.0 << 8.0;
        QTest::newRow("cube, x=0.5") << cube << 0.5 << 0.2;
        QTest::newRow("cube, x=1.5") << cube << 1.5 << 3.15;
        QTest::newRow("cube, x=2.5") << cube << 2.5 << 16.45;
        QTest::newRow("cube, x=4, right tangent slope 21.8") << cube << 4.0 << 48.8;
        QTest::newRow("cube, x=-1, left tangent slope 0.2") << cube << -1.0 << -0.2;
        const Points uneven{{-5, 3}, {-4.9, 2}, {0, 7}, {12.5, -1}, {100, 100}};
        QTest::newRow("uneven steps, at a point") << uneven << -4.9 << 2.0;
        QTest::newRow("uneven steps, at the last point") << uneven << 100.0 << 100.0;
        QTest::newRow("uneven steps, x=2") << Points{{0, 0}, {1, 1}, {3, 0}} << 2.0 << 0.875;
        // Points on a line give that line, inside and outside.
        const Points line{{-2, 7}, {0, 3}, {1, 1}, {5, -7}};
        for (double x : {-100.0, 0.5, 1000.0})
            QTest::newRow(qPrintable(QStringLiteral("line, x=%1").arg(x))) << line << x << 3 - 2 * x;
        QTest::newRow("two points, at the first") << Points{{1, 10}, {3, 20}} << 1.0 << 10.0;
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
        QVERIFY2(near(spline.value(x), expected, 1e-11),
                 qPrintable(QString::number(spline.value(x), 'g', 17)));
        QCOMPARE(capture.count(), 0);
    }

    void misuseIsReportedAndHarmless_data()
    {
        QTest::addColumn<Misuse>("misuse");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<double>("valueAtOne"); // 0: the spline refuses every evaluation
        const auto built = [](SmartSpline& s) { s.addPoint(0, 0).addPoint(1, 1).addPoint(2, 2).build(); };
        QTest::newRow("add after build") << Misuse([=](SmartSpline& s) {
            built(s);
            s.addPoint(3, 100);
        }) << "!initialized()" << 1.0;
        QTest::newRow("build twice") << Misuse([=](SmartSpline& s) {
            built(s);
            s.build();
        }) << "!initialized()" << 1.0;
        QTest::newRow("value before build") << Misuse([](SmartSpline&) {}) << "initialized()" << 0.0;
        QTest::newRow("one point") << Misuse([](SmartSpline& s) { s.addPoint(1, 5).build(); })
                                   << "m_points.size() > 1" << 0.0;
        QTest::newRow("equal abscissae")
            << Misuse([](SmartSpline& s) { s.addPoint(0, 0).addPoint(1, 1).addPoint(1, 2).build(); })
            << "X[i] > X[i-1]" << 0.0;
        QTest::newRow("descending abscissae")
            << Misuse([](SmartSpline& s) { s.addPoint(2, 0).addPoint(1, 1).addPoint(0, 2).build(); })
            << "X[i] > X[i-1]" << 0.0;
    }

    void misuseIsReportedAndHarmless()
    {
        QFETCH(Misuse, misuse);
        QFETCH(QString, condition);
        QFETCH(double, valueAtOne);
        orxtest::MessageCapture capture;
        SmartSpline spline;
        misuse(spline);
        QCOMPARE(spline.value(1), valueAtOne);
        QCOMPARE(spline.initialized(), valueAtOne != 0.0);
        QVERIFY(spline.points().size() <= 3);
        QVERIFY(!capture.assertions().isEmpty());
        QVERIFY2(capture.assertions().first().endsWith(condition), qPrintable(capture.assertions().first()));
        // clear() starts over.
        spline.clear();
        spline.addPoint(0, 1).addPoint(1, 1).addPoint(2, 1).build();
        QVERIFY(near(spline.value(0.5), 1));
    }

    void coreChecksAreFatal_data()
    {
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("expression");
        QTest::newRow("two points") << QStringLiteral("twoPoints") << QStringLiteral("x.size()>2");
        QTest::newRow("unordered abscissae")
            << QStringLiteral("unordered") << QStringLiteral("m_x[i]<m_x[i+1]");
        QTest::newRow("vectors of different length")
            << QStringLiteral("sizes") << QStringLiteral("x.size()==y.size()");
        QTest::newRow("zero diagonal")
            << QStringLiteral("singular") << QStringLiteral("this->operator()(i,i)!=0.0");
        QTest::newRow("element outside the bands")
            << QStringLiteral("outsideBand") << QStringLiteral("(-num_lower()<=k) && (k<=num_upper())");
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
