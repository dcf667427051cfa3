#include "normal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "capture.h"
#include "derfc_series.h"
#include "error_stack.h"

using namespace tez;

namespace {

class Normal : public ConsoleCapture {};

struct Range {
    double from, to, tolerance;
};

// Accuracy limited by the series' own truncation and, for large x, by rounding of x squared.
TEST_F(Normal, DerfcMatchesStdErfc) {
    const std::vector<Range> ranges = {{-6.0, 10.0, 1e-14}, {10.0, 26.0, 1e-13}};
    for (const Range& r : ranges) {
        double worst = 0.0, worst_x = r.from;
        for (double x = r.from; x <= r.to; x += 0.00073) {
            const double expected = std::erfc(x);
            const double rel = std::fabs(DERFC(x) - expected) / expected;
            if (rel > worst) {
                worst = rel;
                worst_x = x;
            }
        }
        EXPECT_LT(worst, r.tolerance) << "worst at x = " << worst_x;
    }
    // Each branch edge, both signs.
    for (double x : {1.0, -1.0, 2.0, -2.0, 1e-9, -1e-9, 0.0}) {
        EXPECT_NEAR(DERFC(x), std::erfc(x), 1e-15 * std::erfc(x)) << x;
    }
    EXPECT_EQ(DERFC(-6.5), 2.0);
    EXPECT_EQ(console.str(), "");
}

TEST_F(Normal, DistributionFunctionAndIntervals) {
    EXPECT_EQ(DNORDF(0.0), 0.5);
    EXPECT_NEAR(DNORDF(1.0), 0.8413447460685429, 1e-15);
    EXPECT_NEAR(DNORDF(-2.0), 0.02275013194817921, 1e-15 * 0.02275013194817921);
    // The argument is scaled by the published 1/sqrt(2), one unit in the last place above the
    // quotient 1.0 / sqrt(2): at x = 3 the two give different arguments.
    EXPECT_NE(-0.7071067811865476 * 3.0, -(1.0 / std::numbers::sqrt2) * 3.0);
    EXPECT_EQ(DNORDF(3.0), 0.5 * DERFC(-0.7071067811865476 * 3.0));

    double result = -1.0;
    interval_probability(-3.0, 3.0, 1.0, result);
    EXPECT_NEAR(result, 0.9973002039367398, 1e-15);
    // The spread scales the bounds.
    EXPECT_NEAR(interval_probability(-6.0, 6.0, 2.0), 0.9973002039367398, 1e-15);

    // An interval touching 0 takes the same-sign branch, one side or the other.
    const double half = std::erf(1.5 / std::numbers::sqrt2) / 2.0;
    EXPECT_NEAR(interval_probability(0.0, 1.5, 1.0), half, 1e-16);
    EXPECT_NEAR(interval_probability(-1.5, 0.0, 1.0), half, 1e-16);
    EXPECT_EQ(interval_probability(0.0, 1.5, 1.0), std::fabs(DNORDF(1.5) - 0.5));

    // Straddling 0, and a bound pair given in reverse order, stay positive.
    const double straddle =
        (std::erf(1.0 / std::numbers::sqrt2) + std::erf(2.0 / std::numbers::sqrt2)) / 2.0;
    EXPECT_NEAR(interval_probability(-1.0, 2.0, 1.0), straddle, 1e-15);
    EXPECT_NEAR(interval_probability(2.5, 1.0, 1.0), DNORDF(2.5) - DNORDF(1.0), 1e-16);

    // Morph proportions: six equal intervals over -3..3 spreads add back to the whole.
    double sum = 0.0;
    for (int g = 1; g <= 6; ++g)
        sum += interval_probability(-0.3 + (g - 1) * 0.1, -0.3 + g * 0.1, 0.1);
    EXPECT_NEAR(sum, 0.9973002039367398, 1e-14);
    EXPECT_EQ(console.str(), "");
}

TEST_F(Normal, UnderflowAboveXmaxIsSilent) {
    const double sqrtpi = std::sqrt(std::numbers::pi);
    double xmax = std::sqrt(-std::log(sqrtpi * std::numeric_limits<double>::min()));
    xmax = xmax - 0.5 * std::log(xmax) / xmax - 0.01;

    EXPECT_GT(DERFC(xmax), 0.0);
    EXPECT_EQ(DERFC(std::nextafter(xmax, 100.0)), 0.0);
    // The alert is left for the caller to see, but an alert is never printed.
    EXPECT_EQ(N1RTY(1), kAlert);

    // Through the distribution function the alert is cleared.
    EXPECT_EQ(DNORDF(-40.0), 0.0);
    EXPECT_EQ(N1RTY(1), kClear);
    EXPECT_EQ(DNORDF(40.0), 1.0);
    EXPECT_EQ(console.str(), "");
}

TEST_F(Normal, MachineConstants) {
    EXPECT_EQ(DMACH(1), 2.2250738585072014e-308);
    EXPECT_EQ(DMACH(2), 1.7976931348623157e+308);
    EXPECT_EQ(DMACH(3), 1.1102230246251565e-16);
    EXPECT_EQ(DMACH(4), 2.220446049250313e-16);
    EXPECT_EQ(DMACH(5), 0.3010299956639812);
    EXPECT_TRUE(std::isnan(DMACH(6)));
    EXPECT_EQ(DMACH(7), std::numeric_limits<double>::infinity());
    EXPECT_EQ(DMACH(8), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(console.str(), "");
}

TEST_F(Normal, MachineConstantOutOfRangeStops) {
    for (int n : {0, 9}) {
        console.str("");
        tez::reset_error_facility();
        try {
            DMACH(n);
            ADD_FAILURE() << "no stop for " << n;
        } catch (const NumericsStop& stop) {
            EXPECT_EQ(stop.exit_status(), 5);
        }
        EXPECT_EQ(console.str(),
                  "\n *** TERMINAL ERROR 5 from DMACH.  The argument must be between 1 and 8\n"
                  " ***          inclusive. N = " +
                      std::to_string(n) + "\n");
    }
}

TEST_F(Normal, TermCountsFollowTheAccuracy) {
    const std::vector<double> series = {1.0, 0.1, 0.01, 0.001};
    EXPECT_EQ(INITDS(series, 4, 0.005f), 3);
    EXPECT_EQ(INITDS(series, 4, 0.5f), 1);
    EXPECT_EQ(console.str(), "");

    // The published series are long enough for double precision.
    const float eta = 0.1f * static_cast<float>(DMACH(3));
    EXPECT_LT(INITDS(ERFCS, 21, eta), 21);
    EXPECT_LT(INITDS(ERC2CS, 49, eta), 49);
    EXPECT_LT(INITDS(ERFCCS, 59, eta), 59);
    EXPECT_EQ(console.str(), "");

    EXPECT_EQ(INITDS(series, 4, 1e-9f), 4);
    EXPECT_EQ(console.str(), "\n *** WARNING  ERROR 2 from INITDS.  Too much accuracy may be "
                             "requested. ETA\n ***          should be increased.\n");

    console.str("");
    EXPECT_THROW(INITDS(series, 0, 0.1f), NumericsStop);
    EXPECT_EQ(console.str(), "\n *** TERMINAL ERROR 1 from INITDS.  The number of coefficients "
                             "is less than\n ***          1. NOS = 0.\n");
}

TEST_F(Normal, ChebyshevSeries) {
    // 0.5 c0 + c1 T1(x) + c2 T2(x) with T2(x) = 2x^2 - 1.
    const std::vector<double> series = {2.0, 3.0, 1.0};
    for (double x : {-1.0, -0.25, 0.0, 0.5, 1.0})
        EXPECT_NEAR(DCSEVL(x, series, 3), 1.0 + 3.0 * x + (2.0 * x * x - 1.0), 1e-15) << x;
    EXPECT_NEAR(DCSEVL(0.5, series, 2), 2.5, 1e-15);
    EXPECT_EQ(console.str(), "");

    // Outside the interval it warns and still evaluates.
    EXPECT_NEAR(DCSEVL(1.5, series, 3), 1.0 + 4.5 + 3.5, 1e-14);
    EXPECT_EQ(console.str(), "\n *** WARNING  ERROR 3 from DCSEVL.  The argument X = "
                             "1.500000000000000E+00 is\n ***          outside the interval "
                             "(-1.1,+1.1).\n");

    for (int n : {0, 1001}) {
        tez::reset_error_facility();
        try {
            DCSEVL(0.0, series, n);
            ADD_FAILURE() << "no stop for " << n;
        } catch (const NumericsStop& stop) {
            EXPECT_EQ(stop.exit_status(), 5);
        }
    }
}

} // namespace
