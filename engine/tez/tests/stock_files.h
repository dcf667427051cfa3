// Writers of biology, management and equilibrium definition files in the control window's
// layouts, and a generator of plausible stocks; shared by the tests, the benchmark and the
// example writer.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace tez::testing {

struct StockBiology {
    int nages = 0;
    int nmorphs = 1;
    int nsexes = 1;
    int nszns = 1;
    std::string species = "Snapper";
    int spawn_season = 1;
    int recruit_season = 1;
    int sr_code = 4;
    double sr_slope = 4.0;
    double tez_recruitment = 1000.0;
    double recruit_cv = 0.6;
    std::string fec_option = "A";
    int nfec = 0;
    double fec_min = 0.0;
    double fec_max = 0.0;
    double fec_a = 0.0;
    double fec_b = 0.0;
    std::vector<double> fec_by_length;          // 1..nfec, from index 0
    std::vector<double> fec_by_age;             // ages 0..nages
    std::vector<std::array<double, 2>> natmort; // ages 0..nages
    std::array<double, 2> lwa{1e-5, 1e-5};
    std::array<double, 2> lwb{3.0, 3.0};
    std::array<double, 2> cv{0.1, 0.1};
    std::array<std::array<double, 3>, 2> vb{{{80.0, 0.2, -0.5}, {90.0, 0.18, -0.5}}};
    std::vector<double> szngro;                 // seasons 1..nszns, from index 0
    std::vector<std::array<double, 2>> fyg;     // seasons 1..nszns, from index 0
    std::vector<std::array<double, 2>> meanlng; // ages 0..nages, age 0 unused
};

struct FisheryData {
    std::string type = "A";
    double minvul = 0.0;
    double nlng = 0.0;
    double minlng = 0.0;
    double maxlng = 0.0;
    double tac = 0.0;
    std::vector<double> rates; // sex, age or class, season fastest
    double lower_limit = 0.0;
    double upper_limit = 0.0;
    double discard = 0.0;
};

struct ManagementBlock {
    int year = 0;
    std::vector<FisheryData> fisheries;
};

struct RunDefinition {
    std::string bio = "stock.bio";
    std::string mgt = "stock.mgt";
    std::string report = "stock.tzo";
    std::string table = "stock.tzb";
    std::string pmo = "stock.pmo";
    std::string title = "Example stock";
    std::vector<int> years;
};

// A number in the control window's print form: " 25 ", " .15 ", "-.5 ", " 1E+07 ".
std::string print_number(double value, int significant = 15);

std::string biology_text(const StockBiology& b);
std::string management_text(double fcv, const std::vector<ManagementBlock>& blocks);
std::string definition_text(const RunDefinition& d);

void write_text(const std::filesystem::path& path, const std::string& text);

// A stock with von Bertalanffy growth, natural mortality 0.2, fecundity by weight above a
// maturity age and Beverton-Holt recruitment.
StockBiology make_biology(int nages, int nmorphs, int nsexes, int nszns);
// Fisheries of the blocks: the first `by_age` by age with logistic selectivity, the rest by length
// with a minimum size limit and discard mortality. Rates vary a little from year to year.
std::vector<ManagementBlock> make_blocks(const StockBiology& b, int first_year, int nblocks,
                                         int nfisheries, int by_age);

} // namespace tez::testing
