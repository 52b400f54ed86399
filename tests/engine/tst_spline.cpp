// The natural cubic spline every property table is read through: exact at the
// reference points, hand-computed values between them, tangent lines outside,
// the report-and-continue misuse checks of SmartSpline and the fatal checks of
// the core, which must stop the program in release builds too.

#include "../core/tablerows.h"
#include "engine/smartspline.h"
#include "engine/spline.h"
#include "testsupport.h"

#include <QProcess>

#include <cstdlib>

namespace {

using Points = QVector<SmartSpline::Point>;

// Run as a child process with ORX_SPLINE_FATAL set: feeds the core what its
// checks refuse; the process must die before reaching the exit below.
const bool fatalProbe = [] {
    const QByteArray which = qgetenv("ORX_SPLINE_FATAL");
    if (which.isEmpty())
        return false;
    CubicSpline spline;
    BandMatrix m(3, 1, 1);
    if (which == "unordered abscissae")
        spline.setPoints({0, 2, 1}, {0, 1, 2});
    else if (which == "zero diagonal")
        m.lu_solve({1, 1, 1});
    else if (which == "element outside the bands")
        m(0, 2) = 1;
    std::exit(0);
}();

// Expected values from the moment form of the natural spline, solved by hand;
// the end slopes of the hat are ±1.5, of the cube 21.8.
const Points kHat{{0, 0}, {1, 1}, {2, 0}};
const Points kCube{{0, 0}, {1, 1}, {2, 8}, {3, 27}};
// clang-format off
const struct { const char* name; Points points; double x, expected; } kValues[] = {
    {"hat, at the middle point", kHat, 1, 1},
    {"hat, between points", kHat, 0.5, 0.6875},
    {"hat, right tangent", kHat, 3, -1.5},
    {"hat, left tangent", kHat, -1, -1.5},
    {"cube, inner interval", kCube, 1.5, 3.15},
    {"cube, right tangent", kCube, 4, 48.8},
    {"uneven steps", {{0, 0}, {1, 1}, {3, 0}}, 2, 0.875},
    {"uneven steps, at the last point", {{-5, 3}, {-4.9, 2}, {0, 7}, {12.5, -1}, {100, 100}}, 100, 100},
    {"two points, beyond", {{1, 10}, {3, 20}}, 10, 55},
};

// A misuse is reported, and the spline then answers 1 at x = 1, or 0 when it refuses every evaluation.
const struct { const char* name; void (*misuse)(SmartSpline&); const char* condition; double valueAtOne; } kMisuses[] = {
    {"add after build", [](SmartSpline& s) { s.addPoint(0, 0).addPoint(1, 1).addPoint(2, 2).build(); s.addPoint(3, 100); }, "!initialized()", 1},
    {"value before build", [](SmartSpline&) {}, "initialized()", 0},
    {"one point", [](SmartSpline& s) { s.addPoint(1, 5).build(); }, "m_points.size() > 1", 0},
    {"equal abscissae", [](SmartSpline& s) { s.addPoint(0, 0).addPoint(1, 1).addPoint(1, 2).build(); }, "X[i] > X[i-1]", 0},
};

const struct { const char* name; const char* expression; } kFatal[] = {
    {"unordered abscissae", "m_x[i]<m_x[i+1]"},
    {"zero diagonal", "this->operator()(i,i)!=0.0"},
    {"element outside the bands", "(-num_lower()<=k) && (k<=num_upper())"},
};
// clang-format on

} // namespace

class TestSpline : public QObject
{
    Q_OBJECT

private slots:
    void values_data() { tableRows(kValues); }
    void values()
    {
        ORX_ROW(kValues);
        orxtest::MessageCapture capture;
        const SmartSpline spline(row.points);
        QVERIFY(spline.initialized());
        ORX_NEAR(spline.value(row.x), row.expected, 1e-11 * std::max(1.0, std::fabs(row.expected)));
        QCOMPARE(capture.count(), 0);
    }

    void misuseIsReportedAndHarmless_data() { tableRows(kMisuses); }
    void misuseIsReportedAndHarmless()
    {
        ORX_ROW(kMisuses);
        orxtest::MessageCapture capture;
        SmartSpline spline;
        row.misuse(spline);
        QCOMPARE(spline.value(1), row.valueAtOne);
        QCOMPARE(spline.initialized(), row.valueAtOne != 0.0);
        QCOMPARE(capture.conditions().value(0), QLatin1String(row.condition));
        // clear() starts over.
        spline.clear();
        spline.addPoint(0, 1).addPoint(1, 1).addPoint(2, 1).build();
        QCOMPARE(spline.value(0.5), 1.0);
    }

    void coreChecksAreFatal_data() { tableRows(kFatal); }
    // Stopped by the check (this build defines NDEBUG), not by the exit after
    // it; the message names the core's file and the expression.
    void coreChecksAreFatal()
    {
        ORX_ROW(kFatal);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORX_SPLINE_FATAL"), QLatin1String(row.name));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("engine/spline.")) &&
                     err.contains(QStringLiteral("Assertion `%1' failed").arg(QLatin1String(row.expression))),
                 qPrintable(err));
    }
};

ORX_CORE_TEST_MAIN(TestSpline)
#include "tst_spline.moc"
