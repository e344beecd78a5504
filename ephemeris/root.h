#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>

namespace orvanta {

// Where Brent's method ends: `root`, within a tolerance of a sign change, and the other end of the
// last bracket, as close, with f at both; the chord through them is f's slope at the root.
struct Bracket {
    double root, other;
    double fRoot, fOther;
    double slope() const { return (fOther - fRoot) / (other - root); }
};

// Brent's method: inverse quadratic or secant steps while they make progress, bisection
// otherwise, so it needs a handful of steps where the function is nearly straight and never more
// than bisection would. Settles a point within `tolerance` of a sign change of f in [a, b], given
// f(a) and f(b) of opposite signs.
template <typename Function>
Bracket brentBracket(Function f, double a, double b, double fa, double fb, double tolerance) {
    double c = a;
    double fc = fa;
    double d = b - a;
    double e = d;
    for (;;) {
        if ((fb > 0.0 && fc > 0.0) || (fb < 0.0 && fc < 0.0)) {
            c = a;
            fc = fa;
            d = b - a;
            e = d;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol = 2.0 * DBL_EPSILON * std::fabs(b) + 0.5 * tolerance;
        const double half = 0.5 * (c - b);
        if (std::fabs(half) <= tol || fb == 0.0) {
            return {b, c, fb, fc};
        }
        if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
            const double s = fb / fa;
            double p = 0.0;
            double q = 0.0;
            if (a == c) {
                p = 2.0 * half * s;
                q = 1.0 - s;
            } else {
                const double qa = fa / fc;
                const double r = fb / fc;
                p = s * (2.0 * half * qa * (qa - r) - (b - a) * (r - 1.0));
                q = (qa - 1.0) * (r - 1.0) * (s - 1.0);
            }
            if (p > 0.0) {
                q = -q;
            } else {
                p = -p;
            }
            if (2.0 * p < std::min(3.0 * half * q - std::fabs(tol * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = half;
                e = d;
            }
        } else {
            d = half;
            e = d;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tol ? d : (half > 0.0 ? tol : -tol);
        fb = f(b);
    }
}

template <typename Function>
double brentRoot(Function f, double a, double b, double fa, double fb, double tolerance) {
    return brentBracket(f, a, b, fa, fb, tolerance).root;
}

// Where secant steps settle: the root, and the slope of the last step's chord.
struct Settled {
    double root;
    double slope;
};

// The root of f from `x`, the root of a close approximation to it whose slope there is `slope`:
// a Newton step with that slope, then secant steps through the last two points, each costing one
// call of f. A step no longer than `settled` ends it at the step's end, without another call: a
// step misses the root by its length times the relative error of the slope it took, so the end
// lies within that share of `settled`. Empty when a step leaves [lo, hi] or `calls` calls of f do
// not settle it; the caller then falls back on a bracket.
template <typename Function>
std::optional<Settled> secantSettled(Function f, double x, double slope, double lo, double hi,
                                     double settled, int calls) {
    double fx = f(x);
    for (int call = 1;; ++call) {
        const double next = x - fx / slope;
        if (!(next >= lo && next <= hi)) {
            return std::nullopt;
        }
        if (std::fabs(next - x) <= settled) {
            return Settled{next, slope};
        }
        if (call == calls) {
            return std::nullopt;
        }
        const double fNext = f(next);
        slope = (fNext - fx) / (next - x);
        x = next;
        fx = fNext;
    }
}

template <typename Function>
std::optional<double> secantFrom(Function f, double x, double slope, double lo, double hi,
                                 double settled, int calls) {
    const std::optional<Settled> found = secantSettled(f, x, slope, lo, hi, settled, calls);
    if (!found) {
        return std::nullopt;
    }
    return found->root;
}

} // namespace orvanta
