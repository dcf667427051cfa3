// Normal distribution function and the double-precision routines beneath it.
#pragma once

#include <span>

namespace tez {

// Probability that a normal deviate with mean 0 and spread sd lies between lower and upper.
void interval_probability(const double& lower, const double& upper, const double& sd,
                          double& result);
inline double interval_probability(double lower, double upper, double sd) {
    double result = 0.0;
    interval_probability(lower, upper, sd, result);
    return result;
}

// Standard normal distribution function.
double DNORDF(double x);
// Complementary error function.
double DERFC(double x);
// Machine constants of double precision, n = 1..8.
double DMACH(int n);
// Number of terms of a Chebyshev series needed for the accuracy eta; nos terms are considered.
int INITDS(std::span<const double> series, int nos, float eta);
// Value at x of the first n terms of a Chebyshev series.
double DCSEVL(double x, std::span<const double> series, int n);

} // namespace tez
