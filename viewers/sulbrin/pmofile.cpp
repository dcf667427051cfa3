#include "viewers/sulbrin/pmofile.h"

#include "viewers/sulbrin/table_numbers.h"

#include "platform/numtext.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sulbrin {

bool readpmofile(const std::string& path, ProductionTable& table, std::string& error) {
    std::vector<float> v;
    if (!readTableNumbers(path, std::size_t(kRows) * kColumns, "a production table (101 rows of 5)",
                          v, error))
        return false;

    ProductionTable t;
    int maxRow = 0;
    for (int i = 0; i < kRows; ++i) {
        const float* row = &v[std::size_t(i) * kColumns];
        t.f[i] = row[0];
        t.col2[i] = row[1];
        t.col3[i] = row[2];
        t.biomass[i] = row[3];
        t.yield[i] = row[4];
        // Strictly greater: of two equal maxima the earlier row marks maximum yield.
        if (t.yield[i] > t.ymax) {
            t.ymax = t.yield[i];
            maxRow = i;
        }
        if (t.biomass[i] > t.bmax) t.bmax = t.biomass[i];
    }

    const float fext = t.f[kLastRow];
    if (t.bmax <= 0)
        error = "it has no positive biomass (column 4).";
    else if (t.ymax <= 0)
        error = "it has no positive yield (column 5).";
    else if (!(fext > 0))
        error = "its last row (row 100) has an F of " + plat::strSingle(fext) +
                "; every F is divided by it, so it must be positive.";
    if (!error.empty()) return false;

    for (int i = 0; i < kRows; ++i) {
        t.biomass[i] = t.biomass[i] / t.bmax;
        t.yield[i] = t.yield[i] / t.ymax;
        t.f[i] = t.f[i] / fext;
        // A tiny divisor can carry a large value of another row beyond a single value; such a
        // value could not be drawn.
        const char* column = !std::isfinite(t.f[i])         ? "F (column 1) by the F of row 100"
                             : !std::isfinite(t.biomass[i]) ? "biomass (column 4) by its maximum"
                             : !std::isfinite(t.yield[i])   ? "yield (column 5) by its maximum"
                                                            : nullptr;
        if (column) {
            error = "row " + std::to_string(i) + " cannot be plotted: its " + column +
                    " is too large for a single value.";
            return false;
        }
    }
    // Rounded halves to even (the default rounding mode); clamped so that a negative biomass
    // cannot overflow the 16-bit percent.
    const float percent = std::nearbyint(t.biomass[maxRow] * 100.0f);
    t.pct = int16_t(std::clamp(percent, -32768.0f, 32767.0f));
    t.nrows = kLastRow;
    table = t;
    return true;
}

} // namespace sulbrin
