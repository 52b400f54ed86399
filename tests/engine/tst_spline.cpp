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
    void passesThroughPoints_data();
    void passesThroughPoints();
    void valuesBetweenAndBeyond_data();
    void valuesBetweenAndBeyond();
    void naturalEndsAndSmoothJoints();
    void clampedEndsReproduceCubic();
    void misuseIsReportedAndHarmless_data();
    void misuseIsReportedAndHarmless();
    void bandSolverSolvesWiderBands();
    void coreChecksAreFatal_data();
    void coreChecksAreFatal();
};

void TestSpline::passesThroughPoints_data()
{
    QTest::addColumn<Points>("points");
    QTest::newRow("hat") << Points{{0, 0}, {1, 1}, {2, 0}};
    QTest::newRow("two points") << Points{{1, 10}, {3, 20}};
    QTest::newRow("uneven steps") << Points{{-5, 3}, {-4.9, 2}, {0, 7}, {12.5, -1}, {100, 100}};
    QTest::newRow("water saturation pressure head")
        << Points{{1, 657}, {50, 12344}, {80, 47373}, {100, 101320}, {110, 143240}, {120, 198480}};
}

void TestSpline::passesThroughPoints()
{
    QFETCH(Points, points);
    orxtest::MessageCapture capture;
    const SmartSpline spline(points);
    QVERIFY(spline.initialized());
    for (const SmartSpline::Point& p : points)
        QVERIFY2(near(spline.value(p.first), p.second), qPrintable(QString::number(p.first)));
    QCOMPARE(capture.count(), 0);
}

void TestSpline::valuesBetweenAndBeyond_data()
{
    // Expected values from the moment form of the natural spline, solved by hand.
    QTest::addColumn<Points>("points");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("expected");
    const Points hat{{0, 0}, {1, 1}, {2, 0}};
    QTest::newRow("hat, x=0.5") << hat << 0.5 << 0.6875;
    QTest::newRow("hat, x=1.5, symmetric") << hat << 1.5 << 0.6875;
    // End slopes ±1.5: outside, the tangent lines at the ends.
    QTest::newRow("hat, x=3, right tangent") << hat << 3.0 << -1.5;
    QTest::newRow("hat, x=-1, left tangent") << hat << -1.0 << -1.5;
    const Points cube{{0, 0}, {1, 1}, {2, 8}, {3, 27}};
    QTest::newRow("cube, x=0.5") << cube << 0.5 << 0.2;
    QTest::newRow("cube, x=1.5") << cube << 1.5 << 3.15;
    QTest::newRow("cube, x=2.5") << cube << 2.5 << 16.45;
    QTest::newRow("cube, x=4, right tangent slope 21.8") << cube << 4.0 << 48.8;
    QTest::newRow("cube, x=-1, left tangent slope 0.2") << cube << -1.0 << -0.2;
    QTest::newRow("uneven steps, x=2") << Points{{0, 0}, {1, 1}, {3, 0}} << 2.0 << 0.875;
    // Points on a line give that line, inside and outside.
    const Points line{{-2, 7}, {0, 3}, {1, 1}, {5, -7}};
    for (double x : {-100.0, -1.3, 0.5, 3.7, 1000.0})
        QTest::newRow(qPrintable(QStringLiteral("line, x=%1").arg(x))) << line << x << 3 - 2 * x;
    QTest::newRow("two points, beyond") << Points{{1, 10}, {3, 20}} << 10.0 << 55.0;
}

void TestSpline::valuesBetweenAndBeyond()
{
    QFETCH(Points, points);
    QFETCH(double, x);
    QFETCH(double, expected);
    const SmartSpline spline(points);
    QVERIFY2(near(spline.value(x), expected, 1e-11), qPrintable(QString::number(spline.value(x), 'g', 17)));
}

void TestSpline::naturalEndsAndSmoothJoints()
{
    const SmartSpline s{{0, 1}, {1, 3}, {2.5, 2}, {4, 5}, {7, 4}};
    const double h = 1e-4;
    const auto slope = [&](double x, double dir) { return (s.value(x + dir * h) - s.value(x)) / (dir * h); };
    const auto curvature = [&](double x) {
        return (s.value(x + h) - 2 * s.value(x) + s.value(x - h)) / (h * h);
    };
    // No curvature at the ends and beyond them; slope continuous everywhere,
    // curvature continuous across the inner points.
    for (double end : {0.0, 7.0, -3.0, 10.0})
        QVERIFY2(std::fabs(curvature(end)) < 1e-2, qPrintable(QString::number(end)));
    for (double knot : {0.0, 1.0, 2.5, 4.0, 7.0})
        QVERIFY2(std::fabs(slope(knot, 1) - slope(knot, -1)) < 1e-3, qPrintable(QString::number(knot)));
    for (double knot : {1.0, 2.5, 4.0})
        QVERIFY(std::fabs(curvature(knot - 10 * h) - curvature(knot + 10 * h)) < 0.1);
}

void TestSpline::clampedEndsReproduceCubic()
{
    // With the true end slopes of x³ the clamped spline through its points is x³.
    CubicSpline spline;
    spline.setBoundary(CubicSpline::FirstDeriv, 0, CubicSpline::FirstDeriv, 27);
    spline.setPoints({0, 1, 2, 3}, {0, 1, 8, 27});
    for (double x : {0.0, 0.5, 1.25, 2.0, 2.5, 3.0})
        QVERIFY2(near(spline(x), x * x * x), qPrintable(QString::number(x)));
}

void TestSpline::misuseIsReportedAndHarmless_data()
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
    QTest::newRow("equal abscissae") << Misuse([](SmartSpline& s) {
        s.addPoint(0, 0).addPoint(1, 1).addPoint(1, 2).build();
    }) << "X[i] > X[i-1]" << 0.0;
    QTest::newRow("descending abscissae")
        << Misuse([](SmartSpline& s) { s.addPoint(2, 0).addPoint(1, 1).addPoint(0, 2).build(); })
        << "X[i] > X[i-1]" << 0.0;
}

void TestSpline::misuseIsReportedAndHarmless()
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

void TestSpline::bandSolverSolvesWiderBands()
{
    // A 6×6 system with two upper bands and one lower band and a known solution.
    const int n = 6;
    BandMatrix m(n, 2, 1);
    QCOMPARE(m.dim(), n);
    QCOMPARE(m.num_upper(), 2);
    QCOMPARE(m.num_lower(), 1);
    const std::vector<double> x{1, -2, 3.5, 0, 7, -1};
    std::vector<double> b(n, 0.0);
    for (int i = 0; i < n; ++i) {
        for (int j = std::max(0, i - 1); j <= std::min(n - 1, i + 2); ++j) {
            m(i, j) = i == j ? 5.0 + i : 1.0 + 0.5 * (i - j) + 0.1 * j;
            b[size_t(i)] += m(i, j) * x[size_t(j)];
        }
    }
    for (int round = 0; round < 2; ++round) { // the second reuses the decomposition
        const std::vector<double> solved = m.lu_solve(b);
        for (int i = 0; i < n; ++i)
            QVERIFY2(near(solved[size_t(i)], x[size_t(i)]), qPrintable(QString::number(i)));
    }
}

void TestSpline::coreChecksAreFatal_data()
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

void TestSpline::coreChecksAreFatal()
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

ORX_CORE_TEST_MAIN(TestSpline)
#include "tst_spline.moc"
