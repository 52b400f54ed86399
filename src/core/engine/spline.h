#pragma once

// The natural cubic spline through a table of reference points and the banded
// linear solver it needs. The reference tables of the media properties always
// satisfy the preconditions here (three or more points, strictly increasing
// abscissae), so a failed check means a broken table in the program itself: it
// is fatal, in release builds too, and reports file, line and expression.

#include <cstddef>
#include <vector>

// Stops the program with the standard runtime-assertion report when cond fails;
// unlike assert() it stays active when NDEBUG is defined.
#define SPLINE_CHECK(cond)                                                                                   \
    (static_cast<bool>(cond) ? void(0) : ::splineCheckFailed(#cond, __FILE__, __LINE__, __func__))

[[noreturn]] void splineCheckFailed(const char* expression, const char* file, int line, const char* function);

// A square matrix stored by bands: element (i, j) lives in band k = j - i, the
// upper bands (k >= 0, the main diagonal included) in m_upper[k][i], the lower
// bands (k < 0) in m_lower[-k][i]. m_lower[0] keeps the reciprocal of each
// row's original diagonal after the decomposition.
class BandMatrix
{
public:
    BandMatrix() = default;
    BandMatrix(int dim, int numUpper, int numLower);

    void resize(int dim, int numUpper, int numLower);
    int dim() const { return m_upper.empty() ? 0 : static_cast<int>(m_upper[0].size()); }
    int num_upper() const { return static_cast<int>(m_upper.size()) - 1; }
    int num_lower() const { return static_cast<int>(m_lower.size()) - 1; }

    double& operator()(int i, int j) { return element(i, j); }
    double operator()(int i, int j) const { return const_cast<BandMatrix*>(this)->element(i, j); }
    // The saved reciprocal diagonal of row i.
    double& saved_diag(int i)
    {
        // clang-format off
        SPLINE_CHECK((i>=0) && (i<dim()));
        // clang-format on
        return m_lower[0][static_cast<std::size_t>(i)];
    }
    double saved_diag(int i) const { return const_cast<BandMatrix*>(this)->saved_diag(i); }

    // In-place decomposition A = L·U with a unit lower triangle; each row is
    // first scaled by its reciprocal diagonal.
    void lu_decompose();
    // Solves L·y = b.
    std::vector<double> l_solve(const std::vector<double>& b) const;
    // Solves U·x = y.
    std::vector<double> r_solve(const std::vector<double>& b) const;
    // Solves A·x = b, decomposing first when that has not been done yet.
    std::vector<double> lu_solve(const std::vector<double>& b);

private:
    double& element(int i, int j)
    {
        const int k = j - i;
        // clang-format off
        SPLINE_CHECK((i>=0) && (i<dim()) && (j>=0) && (j<dim()));
        SPLINE_CHECK((-num_lower()<=k) && (k<=num_upper()));
        // clang-format on
        return k >= 0 ? m_upper[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)]
                      : m_lower[static_cast<std::size_t>(-k)][static_cast<std::size_t>(i)];
    }

    std::vector<std::vector<double>> m_upper;
    std::vector<std::vector<double>> m_lower;
    bool m_decomposed = false;
};

// The cubic spline itself: on interval i, with h = x - m_x[i],
// f(x) = ((a[i]·h + b[i])·h + c[i])·h + y[i]; outside the table a tangent line.
class CubicSpline
{
public:
    enum BoundaryType { FirstDeriv = 1, SecondDeriv = 2 };

    CubicSpline() = default;

    // Boundary conditions for the next setPoints(); the tables use the natural
    // spline (second derivative 0 at both ends), which is the default.
    void setBoundary(BoundaryType left, double leftValue, BoundaryType right, double rightValue,
                     bool forceLinearExtrapolation = false);
    void setPoints(const std::vector<double>& x, const std::vector<double>& y);
    double operator()(double x) const;

    bool empty() const { return m_x.empty(); }
    void clear();

private:
    std::vector<double> m_x, m_y;
    std::vector<double> m_a, m_b, m_c;
    double m_b0 = 0, m_c0 = 0;
    BoundaryType m_left = SecondDeriv;
    BoundaryType m_right = SecondDeriv;
    double m_leftValue = 0;
    double m_rightValue = 0;
    bool m_forceLinearExtrapolation = false;
};
