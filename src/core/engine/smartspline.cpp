#include "smartspline.h"

#include "gentools/errorhandle.h"

#include <vector>

SmartSpline::SmartSpline() = default;

SmartSpline::SmartSpline(std::initializer_list<Point> points)
{
    for (const Point& p : points)
        addPoint(p.first, p.second);
    build();
}

SmartSpline::SmartSpline(const QVector<Point>& points)
{
    for (const Point& p : points)
        addPoint(p.first, p.second);
    build();
}

void SmartSpline::clear()
{
    m_points.clear();
    m_spline.clear();
}

SmartSpline& SmartSpline::addPoint(double x, double y)
{
    if (GEH_ASSERT(!initialized()))
        m_points.append(Point(x, y));
    return *this;
}

void SmartSpline::build()
{
    if (!GEH_ASSERT(!initialized()))
        return;
    if (!GEH_ASSERT(m_points.size() > 1))
        return;

    std::vector<double> X, Y;
    X.reserve(static_cast<size_t>(m_points.size()) + 1);
    Y.reserve(X.capacity());
    for (const Point& p : m_points) {
        X.push_back(p.first);
        Y.push_back(p.second);
    }
    for (size_t i = 1; i < X.size(); i++) {
        // The points are taken in the order given, never sorted; a table out of
        // order stays unbuilt rather than reach the core's fatal checks.
        // clang-format off
        if (!GEH_ASSERT(X[i] > X[i-1]))
            return;
        // clang-format on
    }
    // The natural spline through two points is their straight line; the core
    // needs three, so the midpoint of that line is added.
    if (X.size() == 2) {
        X.insert(X.begin() + 1, (X[0] + X[1]) / 2);
        Y.insert(Y.begin() + 1, (Y[0] + Y[1]) / 2);
    }
    m_spline.setPoints(X, Y);
}

double SmartSpline::value(double x) const
{
    if (!GEH_ASSERT(initialized()))
        return 0;
    return m_spline(x);
}
