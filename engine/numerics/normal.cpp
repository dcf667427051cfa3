#include "normal.h"

#include <cmath>

namespace tez {

// Provisional forms until the series evaluation is in.
void interval_probability(const double& lower, const double& upper, const double& sd,
                          double& result) {
    const double pa = DNORDF(lower / sd);
    const double pb = DNORDF(upper / sd);
    if ((lower <= 0.0 && upper <= 0.0) || (lower >= 0.0 && upper >= 0.0))
        result = std::fabs(pb - pa);
    else
        result = std::fabs(pa - 0.5) + std::fabs(pb - 0.5);
}
double DNORDF(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }
double DERFC(double x) { return std::erfc(x); }
double DMACH(int) { return 0.0; }
int INITDS(std::span<const double>, int nos, float) { return nos; }
double DCSEVL(double, std::span<const double>, int) { return 0.0; }

} // namespace tez
