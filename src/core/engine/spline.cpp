#include "spline.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void splineCheckFailed(const char* expression, const char* file, int line, const char* function)
{
    std::fprintf(stderr, "%s:%d: %s: Assertion `%s' failed.\n", file, line, function, expression);
    std::fflush(stderr);
    std::abort();
}

// ---------------------------------------------------------------------------
// BandMatrix

BandMatrix::BandMatrix(int dim, int numUpper, int numLower)
{
    resize(dim, numUpper, numLower);
}

void BandMatrix::resize(int dim, int numUpper, int numLower)
{
    SPLINE_CHECK(dim > 0);
    SPLINE_CHECK(numUpper >= 0);
    SPLINE_CHECK(numLower >= 0);
    m_upper.assign(static_cast<size_t>(numUpper) + 1, std::vector<double>(static_cast<size_t>(dim), 0.0));
    m_lower.assign(static_cast<size_t>(numLower) + 1, std::vector<double>(static_cast<size_t>(dim), 0.0));
    m_decomposed = false;
}

void BandMatrix::lu_decompose()
{
    const int n = dim();

    // Scale every row so that its diagonal becomes 1, keeping the reciprocal
    // diagonal to scale the right-hand side the same way.
    for (int i = 0; i < n; i++) {
        // clang-format off
        SPLINE_CHECK(this->operator()(i,i)!=0.0);
        // clang-format on
        saved_diag(i) = 1.0 / this->operator()(i, i);
        const int jMin = std::max(0, i - num_lower());
        const int jMax = std::min(n - 1, i + num_upper());
        for (int j = jMin; j <= jMax; j++)
            this->operator()(i, j) *= saved_diag(i);
        this->operator()(i, i) = 1.0;
    }

    // Gaussian elimination inside the bands; the multipliers take the place of
    // the eliminated entries and form the unit lower triangle.
    for (int k = 0; k < n; k++) {
        const int iMax = std::min(n - 1, k + num_lower());
        for (int i = k + 1; i <= iMax; i++) {
            // clang-format off
            SPLINE_CHECK(this->operator()(k,k)!=0.0);
            // clang-format on
            const double x = -this->operator()(i, k) / this->operator()(k, k);
            this->operator()(i, k) = -x;
            const int jMax = std::min(n - 1, k + num_upper());
            for (int j = k + 1; j <= jMax; j++)
                this->operator()(i, j) = this->operator()(i, j) + x * this->operator()(k, j);
        }
    }
    m_decomposed = true;
}

std::vector<double> BandMatrix::l_solve(const std::vector<double>& b) const
{
    // clang-format off
    SPLINE_CHECK(this->dim()==(int)b.size());
    // clang-format on
    const int n = dim();
    std::vector<double> x(static_cast<size_t>(n));
    for (int i = 0; i < n; i++) {
        double sum = 0;
        for (int j = std::max(0, i - num_lower()); j < i; j++)
            sum += this->operator()(i, j) * x[static_cast<size_t>(j)];
        x[static_cast<size_t>(i)] = b[static_cast<size_t>(i)] - sum;
    }
    return x;
}

std::vector<double> BandMatrix::r_solve(const std::vector<double>& b) const
{
    // clang-format off
    SPLINE_CHECK(this->dim()==(int)b.size());
    // clang-format on
    const int n = dim();
    std::vector<double> x(static_cast<size_t>(n));
    for (int i = n - 1; i >= 0; i--) {
        double sum = 0;
        const int jMax = std::min(n - 1, i + num_upper());
        for (int j = i + 1; j <= jMax; j++)
            sum += this->operator()(i, j) * x[static_cast<size_t>(j)];
        x[static_cast<size_t>(i)] = (b[static_cast<size_t>(i)] - sum) / this->operator()(i, i);
    }
    return x;
}

std::vector<double> BandMatrix::lu_solve(const std::vector<double>& b)
{
    // clang-format off
    SPLINE_CHECK(this->dim()==(int)b.size());
    // clang-format on
    if (!m_decomposed)
        lu_decompose();
    std::vector<double> scaled(b.size());
    for (int i = 0; i < dim(); i++)
        scaled[static_cast<size_t>(i)] = b[static_cast<size_t>(i)] * saved_diag(i);
    return r_solve(l_solve(scaled));
}

// ---------------------------------------------------------------------------
// CubicSpline

void CubicSpline::setBoundary(BoundaryType left, double leftValue, BoundaryType right, double rightValue,
                              bool forceLinearExtrapolation)
{
    SPLINE_CHECK(m_x.size() == 0);
    m_left = left;
    m_right = right;
    m_leftValue = leftValue;
    m_rightValue = rightValue;
    m_forceLinearExtrapolation = forceLinearExtrapolation;
}

void CubicSpline::clear()
{
    *this = CubicSpline();
}

void CubicSpline::setPoints(const std::vector<double>& x, const std::vector<double>& y)
{
    // clang-format off
    SPLINE_CHECK(x.size()==y.size());
    SPLINE_CHECK(x.size()>2);
    // clang-format on
    m_x = x;
    m_y = y;
    const int n = static_cast<int>(x.size());
    for (int i = 0; i < n - 1; i++)
        // clang-format off
        SPLINE_CHECK(m_x[i]<m_x[i+1]);
    // clang-format on

    const auto at = [](const std::vector<double>& v, int i) { return v[static_cast<size_t>(i)]; };

    // The tridiagonal system for the second-order coefficients b: continuity of
    // the first and second derivatives at every inner point.
    BandMatrix A(n, 1, 1);
    std::vector<double> rhs(static_cast<size_t>(n));
    for (int i = 1; i < n - 1; i++) {
        A(i, i - 1) = 1.0 / 3.0 * (at(x, i) - at(x, i - 1));
        A(i, i) = 2.0 / 3.0 * (at(x, i + 1) - at(x, i - 1));
        A(i, i + 1) = 1.0 / 3.0 * (at(x, i + 1) - at(x, i));
        rhs[static_cast<size_t>(i)] = (at(y, i + 1) - at(y, i)) / (at(x, i + 1) - at(x, i)) -
                                      (at(y, i) - at(y, i - 1)) / (at(x, i) - at(x, i - 1));
    }
    // The end rows: a prescribed second derivative (0 gives the natural spline)
    // or a prescribed first derivative.
    if (m_left == SecondDeriv) {
        A(0, 0) = 2.0;
        A(0, 1) = 0.0;
        rhs[0] = m_leftValue;
    } else {
        const double h0 = at(x, 1) - at(x, 0);
        A(0, 0) = 2.0 * h0;
        A(0, 1) = 1.0 * h0;
        rhs[0] = 3.0 * ((at(y, 1) - at(y, 0)) / h0 - m_leftValue);
    }
    if (m_right == SecondDeriv) {
        A(n - 1, n - 1) = 2.0;
        A(n - 1, n - 2) = 0.0;
        rhs[static_cast<size_t>(n - 1)] = m_rightValue;
    } else {
        const double h = at(x, n - 1) - at(x, n - 2);
        A(n - 1, n - 1) = 2.0 * h;
        A(n - 1, n - 2) = 1.0 * h;
        rhs[static_cast<size_t>(n - 1)] = 3.0 * (m_rightValue - (at(y, n - 1) - at(y, n - 2)) / h);
    }

    m_b = A.lu_solve(rhs);

    m_a.assign(static_cast<size_t>(n), 0.0);
    m_c.assign(static_cast<size_t>(n), 0.0);
    for (int i = 0; i < n - 1; i++) {
        const double h = at(x, i + 1) - at(x, i);
        m_a[static_cast<size_t>(i)] = 1.0 / 3.0 * (at(m_b, i + 1) - at(m_b, i)) / h;
        m_c[static_cast<size_t>(i)] =
            (at(y, i + 1) - at(y, i)) / h - 1.0 / 3.0 * (2.0 * at(m_b, i) + at(m_b, i + 1)) * h;
    }

    // Left of the table: the parabola of the first interval without its cubic
    // term; for the natural spline b[0] is 0 and this is the tangent line.
    m_b0 = m_forceLinearExtrapolation ? 0.0 : m_b[0];
    m_c0 = m_c[0];

    // Right of the table: the same from the last point, with the slope of the
    // last interval's cubic at its right end.
    const double h = at(x, n - 1) - at(x, n - 2);
    m_a[static_cast<size_t>(n - 1)] = 0.0;
    m_c[static_cast<size_t>(n - 1)] =
        3.0 * at(m_a, n - 2) * h * h + 2.0 * at(m_b, n - 2) * h + at(m_c, n - 2);
    if (m_forceLinearExtrapolation)
        m_b[static_cast<size_t>(n - 1)] = 0.0;
}

double CubicSpline::operator()(double x) const
{
    const size_t n = m_x.size();
    SPLINE_CHECK(n > 0);
    // The interval whose right end is the first abscissa not less than x.
    const auto it = std::lower_bound(m_x.begin(), m_x.end(), x);
    const size_t idx = static_cast<size_t>(std::max(static_cast<long>(it - m_x.begin()) - 1, 0L));

    if (x < m_x[0]) {
        const double h = x - m_x[0];
        return (m_b0 * h + m_c0) * h + m_y[0];
    }
    if (x > m_x[n - 1]) {
        const double h = x - m_x[n - 1];
        return (m_b[n - 1] * h + m_c[n - 1]) * h + m_y[n - 1];
    }
    const double h = x - m_x[idx];
    return ((m_a[idx] * h + m_b[idx]) * h + m_c[idx]) * h + m_y[idx];
}
