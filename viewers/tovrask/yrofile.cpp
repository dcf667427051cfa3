#include "viewers/tovrask/yrofile.h"

#include "viewers/sulbrin/table_numbers.h"

#include <vector>

namespace tovrask {

bool readyrofile(const std::string& path, PerRecruitTable& table, std::string& error) {
    std::vector<float> v;
    if (!sulbrin::readTableNumbers(path, std::size_t(kRows) * kColumns,
                                   "a per-recruit table (101 rows of 4)", v, error))
        return false;
    PerRecruitTable t;
    for (int i = 0; i < kRows; ++i) {
        const float* row = &v[std::size_t(i) * kColumns];
        t.fmult[i] = row[0];
        t.realizedF[i] = row[1];
        t.ypr[i] = row[2];
        t.spr[i] = row[3];
        if (t.ypr[i] > t.maxYpr) t.maxYpr = t.ypr[i];
        if (t.realizedF[i] > t.maxRealizedF) t.maxRealizedF = t.realizedF[i];
        if (t.fmult[i] > t.maxFmult) t.maxFmult = t.fmult[i];
    }
    t.nrows = kLastRow;
    table = t;
    return true;
}

std::string emptyRangeError(const PerRecruitTable& table, int plotmode) {
    if (plotmode == 2 && !(table.maxRealizedF > 0))
        return "it has no positive realized F (column 2); there is nothing to plot against it.";
    if (plotmode != 2 && !(table.maxFmult > 0))
        return "it has no positive F multiplier (column 1); there is nothing to plot against it.";
    if (!(table.maxYpr > 0)) return "it has no positive yield per recruit (column 3).";
    return {};
}

} // namespace tovrask
