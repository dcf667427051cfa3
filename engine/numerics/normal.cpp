#include "normal.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "derfc_series.h"
#include "error_stack.h"

namespace tez {

void interval_probability(const double& lower, const double& upper, const double& sd,
                          double& result) {
    const double pa = DNORDF(lower / sd);
    const double pb = DNORDF(upper / sd);
    if ((lower <= 0.0 && upper <= 0.0) || (lower >= 0.0 && upper >= 0.0))
        result = std::fabs(pb - pa);
    else
        // Two halves about 0 lose less to cancellation than one difference.
        result = std::fabs(pa - 0.5) + std::fabs(pb - 0.5);
}

double DNORDF(double x) {
    // The published constant, one unit in the last place above 1.0 / sqrt(2) worked in doubles.
    constexpr double rsqrt2 = 0.7071067811865476;
    E1PSH("DNORDF");
    const double result = 0.5 * DERFC(-rsqrt2 * x);
    // Underflow of the tail is an exact enough zero here, not something to report.
    if (N1RTY(1) == kAlert) E1MES(0, 0, " ");
    E1POP("DNORDF");
    return result;
}

namespace {

struct DerfcConstants {
    int nterf = 0;
    int nterfc = 0;
    int nterc2 = 0;
    double xsml = 0.0;
    double xmax = 0.0;
    double sqeps = 0.0;
};

DerfcConstants derfc_constants() {
    DerfcConstants c;
    const float eta = 0.1f * static_cast<float>(DMACH(3));
    c.nterf = INITDS(ERFCS, static_cast<int>(ERFCS.size()), eta);
    c.nterfc = INITDS(ERFCCS, static_cast<int>(ERFCCS.size()), eta);
    c.nterc2 = INITDS(ERC2CS, static_cast<int>(ERC2CS.size()), eta);
    const double sqrtpi = 1.0 / std::numbers::inv_sqrtpi;
    c.xsml = -std::sqrt(-std::log(sqrtpi * DMACH(3)));
    c.xmax = std::sqrt(-std::log(sqrtpi * DMACH(1)));
    c.xmax = c.xmax - 0.5 * std::log(c.xmax) / c.xmax - 0.01;
    c.sqeps = std::sqrt(2.0 * DMACH(3));
    return c;
}

} // namespace

double DERFC(double x) {
    constexpr double sqrtpi = 1.0 / std::numbers::inv_sqrtpi;
    E1PSH("DERFC");
    static const DerfcConstants c = derfc_constants();
    double result = 0.0;
    const double y = std::fabs(x);
    if (x <= c.xsml) {
        result = 2.0;
    } else if (x > c.xmax) {
        store_error_double(1, x);
        store_error_double(2, c.xmax);
        E1MES(kAlert, 1,
              "The function underflows because X = %(D1) is greater than %(D2). The result is "
              "set to zero.");
        result = 0.0;
    } else if (y <= 1.0) {
        if (y < c.sqeps)
            result = 1.0 - 2.0 * x / sqrtpi;
        else
            result = 1.0 - x * (1.0 + DCSEVL(2.0 * x * x - 1.0, ERFCS, c.nterf));
    } else {
        const double y2 = y * y;
        if (y2 <= 4.0)
            result = std::exp(-y2) / y * (0.5 + DCSEVL((8.0 / y2 - 5.0) / 3.0, ERC2CS, c.nterc2));
        else
            result = std::exp(-y2) / y * (0.5 + DCSEVL(8.0 / y2 - 1.0, ERFCCS, c.nterfc));
        if (x < 0.0) result = 2.0 - result;
    }
    E1POP("DERFC");
    return result;
}

double DMACH(int n) {
    static const double table[] = {
        std::numeric_limits<double>::min(),
        std::numeric_limits<double>::max(),
        std::numeric_limits<double>::epsilon() / 2.0,
        std::numeric_limits<double>::epsilon(),
        std::log10(2.0),
        std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
    };
    E1PSH("DMACH");
    double result = table[5];
    if (n >= 1 && n <= 8) {
        result = table[n - 1];
    } else {
        store_error_integer(1, n);
        E1MES(kTerminal, 5, "The argument must be between 1 and 8 inclusive. N = %(I1)");
    }
    E1POP("DMACH");
    return result;
}

int INITDS(std::span<const double> series, int nos, float eta) {
    E1PSH("INITDS");
    int count = 0;
    if (nos < 1) {
        store_error_integer(1, nos);
        E1MES(kTerminal, 1, "The number of coefficients is less than 1. NOS = %(I1).");
    } else {
        // Never look past the end of the table, whatever count the caller claims.
        const int n = std::min(nos, static_cast<int>(series.size()));
        float err = 0.0f;
        count = 1;
        for (int i = n; i >= 1; --i) {
            err += std::fabs(static_cast<float>(series[static_cast<std::size_t>(i - 1)]));
            if (err > eta) {
                count = i;
                break;
            }
        }
        if (count == nos)
            E1MES(kWarning, 2, "Too much accuracy may be requested. ETA should be increased.");
    }
    E1POP("INITDS");
    return count;
}

double DCSEVL(double x, std::span<const double> series, int n) {
    E1PSH("DCSEVL");
    double result = 0.0;
    if (n < 1) {
        store_error_integer(1, n);
        E1MES(kTerminal, 1, "The number of terms in the series is not positive. N = %(I1).");
    } else if (n > 1000) {
        store_error_integer(1, n);
        E1MES(kTerminal, 2, "The number of terms in the series is greater than 1000. N = %(I1).");
    } else {
        if (std::fabs(x) > 1.1) {
            store_error_double(1, x);
            E1MES(kWarning, 3, "The argument X = %(D1) is outside the interval (-1.1,+1.1).");
        }
        const int terms = std::min(n, static_cast<int>(series.size()));
        double b0 = 0.0, b1 = 0.0, b2 = 0.0;
        const double twox = 2.0 * x;
        for (int i = terms; i >= 1; --i) {
            b2 = b1;
            b1 = b0;
            b0 = twox * b1 - b2 + series[static_cast<std::size_t>(i - 1)];
        }
        result = 0.5 * (b0 - b2);
    }
    E1POP("DCSEVL");
    return result;
}

} // namespace tez
