#pragma once

// The interpolator every tabulated property is read through: collect the
// reference points, build once, evaluate many times. Misuse (adding after the
// build, evaluating before it, abscissae out of order) is reported as an
// assertion and the spline stays as it was.

#include "engine/spline.h"

#include <QPair>
#include <QVector>

#include <initializer_list>

class SmartSpline
{
public:
    using Point = QPair<double, double>;

    SmartSpline();
    // Adds the points and builds.
    SmartSpline(std::initializer_list<Point> points);
    explicit SmartSpline(const QVector<Point>& points);

    // No points, natural ends, not built.
    void clear();
    // Appends a point; only before build(). Returns the spline for chaining.
    SmartSpline& addPoint(double x, double y);
    void build();
    // The interpolated value; only after build().
    double value(double x) const;
    bool initialized() const { return !m_spline.empty(); }

    const QVector<Point>& points() const { return m_points; }

private:
    QVector<Point> m_points;
    CubicSpline m_spline;
};
