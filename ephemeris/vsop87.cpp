#include "ephemeris/vsop87.h"

#include "ephemeris/julian_date.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ORVANTA_CLEARS_UPPER_AVX_STATE 1
#endif

namespace orvanta {

namespace {
constexpr double MILLENNIA_PER_DAY = 2.737850787132101e-6; // nearest double to 1/365250
constexpr int POWERS = 6;
// One increment beside some thousand cosines a call.
thread_local EvaluationCount evaluations{0, 0};

// Some Intel processors run legacy SSE code, as this file is compiled to, many times slower while
// the upper halves of the AVX registers hold data, as they do once code that used them has not
// cleared them (seen after a QApplication was constructed). Clearing them on entry keeps the
// series at full speed whatever ran before; it touches no value in use, so the results stay bit
// for bit the same. Only where the processor has AVX: elsewhere the instruction does not exist.
#ifdef ORVANTA_CLEARS_UPPER_AVX_STATE
__attribute__((target("avx"))) void clearUpperAvxHalves() {
    _mm256_zeroupper();
}

const bool HAS_AVX = [] {
    __builtin_cpu_init(); // may run before the runtime's own detection
    return __builtin_cpu_supports("avx") != 0;
}();

void clearVectorState() {
    if (HAS_AVX) {
        clearUpperAvxHalves();
    }
}
#else
void clearVectorState() {}
#endif
} // namespace

EvaluationCount evaluationCount() {
    return evaluations;
}

std::array<std::int32_t, VSOP_SERIES_COUNT> scaledTermCounts(const VsopBody& body, float factor) {
    std::array<std::int32_t, VSOP_SERIES_COUNT> counts = body.counts;
    // Written so that NaN falls through to the full counts.
    if (factor > 0.0f && factor < 1.0f) {
        const double scale = factor; // the single-precision value, exactly
        for (std::int32_t& n : counts) {
            n = static_cast<std::int32_t>(static_cast<double>(n) * scale);
        }
    }
    return counts;
}

void evaluateBody(const VsopBody& body, double julianDate, Vec3& destination, float factor) {
    clearVectorState();
    const std::array<std::int32_t, VSOP_SERIES_COUNT> used = scaledTermCounts(body, factor);
    ++(used == body.counts ? evaluations.full : evaluations.cut);

    const double t = (julianDate - J2000_JD) * MILLENNIA_PER_DAY;
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double t4 = t3 * t;
    const double t5 = t4 * t;
    const double power[POWERS] = {1.0, t, t2, t3, t4, t5};

    double sums[3] = {0.0, 0.0, 0.0};
    const VsopTerm* series = body.terms;
    for (int coordinate = 0; coordinate < 3; ++coordinate) {
        double& sum = sums[coordinate];
        for (int alpha = 0; alpha < POWERS; ++alpha) {
            const int k = coordinate * POWERS + alpha;
            const VsopTerm* const end = series + used[k];
            if (alpha == 0) {
                for (const VsopTerm* term = series; term != end; ++term) {
                    sum += std::cos(term->c * t + term->b) * term->a;
                }
            } else {
                // Each term takes its power on its own; factoring it out of the series' sum would
                // round differently.
                const double p = power[alpha];
                for (const VsopTerm* term = series; term != end; ++term) {
                    sum += std::cos(term->c * t + term->b) * term->a * p;
                }
            }
            series += body.counts[k];
        }
    }
    destination.x = sums[0];
    destination.y = sums[1];
    destination.z = sums[2];
}

Vec3 cutDifferenceBound(const VsopBody& body, double julianDate, float factor, float other) {
    const std::array<std::int32_t, VSOP_SERIES_COUNT> from = scaledTermCounts(body, factor);
    const std::array<std::int32_t, VSOP_SERIES_COUNT> to = scaledTermCounts(body, other);
    const double t = std::abs((julianDate - J2000_JD) * MILLENNIA_PER_DAY);
    double bounds[3] = {0.0, 0.0, 0.0};
    const VsopTerm* series = body.terms;
    for (int k = 0; k < VSOP_SERIES_COUNT; ++k) {
        double amplitudes = 0.0;
        for (std::int32_t i = std::min(from[k], to[k]); i < std::max(from[k], to[k]); ++i) {
            amplitudes += std::abs(series[i].a);
        }
        bounds[k / POWERS] += amplitudes * std::pow(t, k % POWERS);
        series += body.counts[k];
    }
    return {bounds[0], bounds[1], bounds[2]};
}

void evaluateEarth(double julianDate, Vec3& destination, float factor) {
    evaluateBody(VSOP87A_EARTH, julianDate, destination, factor);
}

void evaluateMars(double julianDate, Vec3& destination, float factor) {
    evaluateBody(VSOP87A_MARS, julianDate, destination, factor);
}

} // namespace orvanta
