// The equilibrium engine: for each listed year, the fishing-mortality multiplier of maximum
// sustainable yield of an age- and length-structured stock, with the yields, biomass and
// spawning-potential values that go with it.
//
// A run keeps its fixed data, its management blocks and one working state per thread apart, so
// that the years are evaluated in parallel and written in year order; the console and the
// working folder are passed in.
#pragma once

#include "free_format.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tez {

inline constexpr int kMaxAge = 102;           // ages 0..102 in the tables
inline constexpr int kAgeSlots = kMaxAge + 1; // one more for the survivors of the oldest age
inline constexpr int kMaxNages = kMaxAge - 1; // the oldest age a file may give
inline constexpr int kMaxFecundityAge = 100;  // fecundity by age is held for ages 0..100
inline constexpr int kMaxMorphs = 101;
inline constexpr int kMaxSexes = 2;
inline constexpr int kMaxSeasons = 12;
inline constexpr int kMaxFisheries = 10;
inline constexpr int kMaxClasses = 100;
inline constexpr int kMaxYears = 150;
inline constexpr int kNameLength = 12;
inline constexpr int kTitleLength = 50;
inline constexpr int kSpeciesLength = 15;

// Search steps and tolerances are single-precision values widened to double.
inline constexpr double kNumbersFloor = static_cast<double>(1e-35f);
inline constexpr double kTargetTolerance = static_cast<double>(1e-4f);
inline constexpr double kClimbStart = static_cast<double>(0.01f);
inline constexpr double kClimbShrink = static_cast<double>(0.33333f);
inline constexpr double kNumbersClimbEnd = static_cast<double>(1e-5f);
inline constexpr double kBiomassClimbEnd = static_cast<double>(1e-6f);
inline constexpr double kNegativeFLimit = static_cast<double>(1e-6f);
inline constexpr double kRickerStep = static_cast<double>(0.001f);
inline constexpr double kRickerShrink = static_cast<double>(0.1f);
inline constexpr double kRickerFloor = static_cast<double>(1e-10f);
inline constexpr double kExtremeMultiplier = 1e10;
inline constexpr double kNoUpperLimit = 1e7;
inline constexpr double kAllDeadF = 1e6;

// Guards of ours: a target search that neither meets its tolerance nor comes back to where it was
// ends after this many passes, far above the most that any converging search was seen to need
// (128455, on a fishery of one age whose regression creeps); and a climb over a flat yield
// (nothing retained) would never end.
inline constexpr int kTargetPassBound = 1000000;
// A search comes back only to a multiplier it tried a few trials before; a year remembers this
// many of its latest equilibria.
inline constexpr std::size_t kRememberedEquilibria = 32;
inline constexpr int kMaxClimbSteps = 10000;

inline constexpr int kRickerCode = 3;
inline constexpr int kBevertonHoltCode = 4;

// Exit statuses of a run.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitInputError = 1;  // missing or unreadable file, bad value, console ended
inline constexpr int kExitModelStop = 2;   // a fatal condition of the computation
inline constexpr int kExitOutputError = 3; // an output file could not be written whole
inline constexpr int kExitNoTarget = 4; // a year's target search gave up: its rows show no target

// Weight at the start of a season and the season's growth in log weight.
struct GrowthCell {
    double w = 0.0;
    double g = 0.0;
    double exp_g = 1.0; // exp(g): the weight at the season's end is w * exp_g
};

// The fishing of one step at multiplier 1, summed over the block's fisheries.
struct FishingCell {
    double retained = 0.0;
    double total = 0.0; // retained plus discard deaths
};

struct ResultColumn {
    double yield_numbers = 0.0;
    double yield_biomass = 0.0;
    double spr = 0.0;
    double recruits = 0.0;
    double spawning_output = 0.0;
    double total_biomass = 0.0;
    double f_biomass = 0.0;
    double apical_f = 0.0;
    std::array<double, kAgeSlots> f_at_age{};
    std::array<double, kAgeSlots> numbers_at_age{};
};

// Index of sex s, morph g, age a, season t, all from 0, in tables sized to the definition; one
// morph's ages and seasons lie together so that a projection walks memory in order.
inline constexpr std::size_t packed_cell(int nmorphs, int nages, int nszns, int s, int g, int a,
                                         int t) {
    return ((static_cast<std::size_t>(s) * nmorphs + g) * (nages + 1) + a) * nszns + t;
}

// An output file written under a temporary name of this run's own beside its name, and moved into
// place once it is written whole and synced, so that a write that fails (a full disk) never leaves
// a cut file where an earlier whole one stood, and two runs in one folder never write into each
// other's files. The temporary file is created afresh, never through a link; whatever stands at a
// temporary name already is left alone and the next name is tried. A link at the output's own name
// is replaced by the output, and the file it names is not touched. A file that the output replaces
// gives it its mode; a read-only one is not replaced. Nothing stands at the output's name for the
// run until the output is moved there.
class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Removes the temporary file of a run that never finished.
    ~OutputFile();
    // Creates the temporary file; throws InputError with the system's reason when it cannot be
    // created, and OutputRefused when the file at the name is read-only. Messages show the file
    // by `name`, as the definition gives it.
    void open(const std::filesystem::path& path, std::string_view what, std::string name);
    // The temporary name that the given attempt of this process tries for an output.
    static std::filesystem::path temporary_path(const std::filesystem::path& path, int attempt);
    bool is_open() const { return open_; }
    const std::filesystem::path& temporary() const { return temp_; }
    // Writes through to the file; a failure is kept until finish().
    void write(std::string_view text);
    // Syncs the file (finish does it when it has not been done); a failure is kept.
    void sync();
    // Syncs and closes the file and moves it into place. On a failure the temporary file is
    // removed and the console line that says why, and what stands at the name now, is returned.
    std::string finish();
    // Removes the temporary file: the name keeps what stands there.
    void discard();

  private:
    void fail(std::string reason);
    void close();
    std::string failure_message() const;

    std::intptr_t handle_ = -1; // the platform's file handle
    bool open_ = false;
    bool synced_ = false;
    std::filesystem::path path_;
    std::filesystem::path temp_;
    std::string what_;
    std::string name_;
    std::string failure_; // the system's reason of the first failure
    // What stood at the output's name when the run began, and the temporary file, by identity.
    std::array<std::uint64_t, 2> before_{};
    bool had_before_ = false;
    std::array<std::uint64_t, 2> temp_id_{};
    unsigned default_mode_ = 0; // of a new file, as the system gave it to the temporary file
    int signal_slot_ = -1;      // where a signal finds the temporary file to remove
};

// An output that the run may not replace (a read-only file): the run ends as a failed write does.
class OutputRefused : public InputError {
  public:
    using InputError::InputError;
};

// Data fixed once the biology is read: the definition, the biology and the tables built from it,
// shared read-only by the evaluations of every year.
struct RunData {
    // Definition.
    std::string run_file_name;
    std::string biology_name;
    std::string management_name;
    std::string report_name;     // definition line 3: the TEZ output table
    std::string table_name;      // line 4: the TEZ benchmark table
    std::string production_name; // line 5, read and passed over (another engine writes it)
    int report_flag = 0;
    int table_flag = 0;
    std::string title;
    int nyears = 0;
    std::array<int, kMaxYears + 1> years{}; // from 1
    // Passes after which a target search that goes on without end is given up.
    int target_pass_bound = kTargetPassBound;
    int ricker_code = kRickerCode;
    int beverton_holt_code = kBevertonHoltCode;
    double total_f_cv = 0.0;

    // Biology.
    int nages = 0;
    int nmorphs = 0;
    int nsexes = 0;
    int nszns = 0;
    std::string species;
    int spawn_season = 1;
    int recruit_season = 1;
    int sr_code = 0;
    double sr_slope = 0.0;
    double tez_recruitment = 0.0;
    double recruit_cv = 0.0;
    char fecundity_option = ' ';
    int fec_classes = 0;
    double fec_lower = 0.0;
    double fec_upper = 0.0;
    double fec_width = 0.0;
    double fec_a = 0.0;
    double fec_b = 0.0;
    std::array<double, kMaxClasses + 1> fec_by_length{};             // classes from 1
    std::array<double, kMaxFecundityAge + 1> fec_by_age{};           // ages from 0
    std::array<std::array<double, kAgeSlots>, kMaxSexes> m_season{}; // annual M / nszns
    std::array<double, kMaxSexes> lw_a{};
    std::array<double, kMaxSexes> lw_b{};
    std::array<double, kMaxSexes> spread{};
    std::array<std::array<double, 3>, kMaxSexes> growth_curve{};
    std::array<double, kMaxSeasons> growth_fraction{};
    std::array<std::array<double, kMaxSexes>, kMaxSeasons> first_year_length{};
    std::array<std::array<double, kMaxSexes>, kAgeSlots + 1> mean_length{};
    std::array<std::array<double, kMaxMorphs>, kMaxSexes> morph_dev{};
    std::array<std::array<double, kMaxMorphs>, kMaxSexes> morph_prop{};

    // Tables built once per run, by cell() of the definition's sizes.
    std::vector<GrowthCell> growth;
    std::vector<double> length_start; // lengths at a season's start and end, 0 where the weight
    std::vector<double> length_end;   // is 0 or less
    std::array<std::array<double, kMaxMorphs>, kAgeSlots> spawner_fecundity{};
    double spr0 = 0.0;

    // Stock-recruitment.
    double sr_a = 0.0;
    double sr_b = 0.0;
    double target_spr = 0.0;
    double ricker_s = 0.0;
    double ricker_best = 0.0;

    // The steps of the definition: sexes x morphs x ages x seasons.
    std::size_t cells() const { return packed_cell(nmorphs, nages, nszns, nsexes, 0, 0, 0); }
    std::size_t cell(int s, int g, int a, int t) const {
        return packed_cell(nmorphs, nages, nszns, s, g, a, t);
    }
    // Sizes the tables by step to the definition, every value 0.
    void size_tables();
};

// Fishing rates at multiplier 1 of fishery k, sex s, age or length class x and season t, read as
// rate[k][s][x][t], held for the definition's sexes and seasons and the block's fisheries only so
// that a block is cheap to copy. Before it is shaped it holds every size the tables allow.
class RateTable {
  public:
    RateTable() {
        shape(kMaxSexes, kMaxSeasons);
        hold(kMaxFisheries);
    }
    // Sizes the table to the definition's sexes and seasons, with no fishery yet.
    void shape(int nsexes, int nszns) {
        by_x_ = static_cast<std::size_t>(nszns);
        by_s_ = by_x_ * kAgeSlots;
        by_k_ = by_s_ * static_cast<std::size_t>(nsexes);
        values_.clear();
    }
    // Room for the first `n` fisheries; the rates of those there already are kept.
    void hold(int n) {
        if (values_.size() < by_k_ * static_cast<std::size_t>(n))
            values_.resize(by_k_ * static_cast<std::size_t>(n), 0.0);
    }
    template <class T> class Fishery {
      public:
        Fishery(T* p, std::size_t by_s, std::size_t by_x) : p_(p), by_s_(by_s), by_x_(by_x) {}
        class Sex {
          public:
            Sex(T* p, std::size_t by_x) : p_(p), by_x_(by_x) {}
            // The seasons of one age or class.
            T* operator[](std::size_t x) const { return p_ + x * by_x_; }

          private:
            T* p_;
            std::size_t by_x_;
        };
        Sex operator[](std::size_t s) const { return Sex(p_ + s * by_s_, by_x_); }

      private:
        T* p_;
        std::size_t by_s_, by_x_;
    };
    Fishery<double> operator[](std::size_t k) { return {values_.data() + k * by_k_, by_s_, by_x_}; }
    Fishery<const double> operator[](std::size_t k) const {
        return {values_.data() + k * by_k_, by_s_, by_x_};
    }
    auto begin() const { return values_.begin(); }
    auto end() const { return values_.end(); }

  private:
    std::vector<double> values_;
    std::size_t by_k_ = 0, by_s_ = 0, by_x_ = 0;
};

// One management block as read; a year evaluates with the block in force for it.
struct Block {
    int last_block_year = 0;
    int ngear = 0;
    std::array<char, kMaxFisheries> sel_type{};
    std::array<double, kMaxFisheries> min_vul_size{};
    std::array<double, kMaxFisheries> class_count{};
    std::array<double, kMaxFisheries> class_lower{};
    std::array<double, kMaxFisheries> class_upper{};
    std::array<double, kMaxFisheries> class_width{};
    std::array<double, kMaxFisheries> catch_limit{};
    RateTable rate;
    std::array<double, kMaxFisheries> lower_limit{};
    std::array<double, kMaxFisheries> upper_limit{};
    std::array<double, kMaxFisheries> discard_fraction{};
    // Tells the blocks apart: a new one is numbered when it is read.
    long serial = 0;
};

// What a projection and the equilibrium recruitment leave, beside the numbers at age.
struct ProjectionTotals {
    double recruits_used = 0.0;
    double harvest_numbers = 0.0; // summed over fisheries
    double harvest_biomass = 0.0;
    double total_biomass = 0.0;
    double largest_total_f = 0.0;
    std::array<double, kAgeSlots> eggs{};
    std::array<double, kAgeSlots> eggs_per_recruit{};
    double total_eggs = 0.0;
    double spr = 0.0;
    double eq_recruits = 0.0;
};

// The working state of one year's evaluation: the block's fishing, the trials of the searches
// and the year's results. Each thread evaluates on a state of its own.
struct YearState : ProjectionTotals {
    int year = 0;
    std::ostream* console_out = nullptr; // the year's console rows

    // The block's fishing at multiplier 1, built when a block is first used.
    long fishing_serial = -1;         // the block it was built for
    std::vector<FishingCell> fishing; // by packed cell
    double max_step_f = 0.0;
    double min_step_f = 0.0;
    // Steps of the same total fishing and natural mortality share one survival, worked out once
    // at each multiplier: the distinct pairs, each step's pair, and the pairs' values at the
    // multiplier of the stamp.
    struct Mortality {
        double total = 0.0;
        double m = 0.0;
        long stamp = 0;
        double z = 0.0;
        double survival = 1.0;
    };
    std::vector<Mortality> mortalities;
    std::vector<std::uint32_t> mortality_id;    // by packed cell
    std::vector<std::uint32_t> mortality_table; // finds a pair's number while they are numbered
    long mortality_stamp = 0;

    // Projection.
    double fmult = 0.0;
    std::array<std::array<double, kMaxMorphs>, kAgeSlots> spawners{};
    // Scaled-mode numbers at age by sex and season, summed over morphs: accum[s][a][t].
    std::array<std::array<std::array<double, kMaxSeasons>, kAgeSlots + 1>, kMaxSexes> accum{};

    // Stock-recruitment.
    int target_flag = 0;
    double searched_fmult = 0.0; // the multiplier of the target search's last projection

    // The multiplier and block of the last projection: one at the same ones takes the survivals
    // of the mortalities again (at the same stamp); false once the mortalities are numbered anew.
    bool factors_valid = false;
    double factors_fmult = 0.0;
    long factors_serial = -1;

    // The equilibria of the year so far, by multiplier: a search that comes back to a multiplier
    // takes its results again instead of projecting twice.
    struct Equilibrium {
        double fmult = 0.0;
        long serial = 0;
        ProjectionTotals totals;
        std::vector<double> accum; // the sexes, ages and seasons of the definition
    };
    std::vector<Equilibrium> equilibria; // the latest, at most kRememberedEquilibria
    std::size_t next_equilibrium = 0;    // the slot the next one takes once all are used

    // Year evaluation.
    std::array<ResultColumn, 2> col{};
    double bunfished = 0.0;
    double step = 0.0;
    double best_numbers = 0.0;
    double best_biomass = 0.0;
    double bracket = 0.5;
    int npoints = 0;
    std::array<double, 11> point_spr{}; // from 1
    std::array<double, 11> point_mult{};

    int target_passes = 0; // passes of the last target search
    bool target_reached = false;
    // The target search gave up (a value that is not finite, no movement, a cycle, the bound).
    bool target_given_up = false;
    // The year had no multiplier of the target at extreme fishing: its row shows the recruits
    // of the year before, and it keeps the year before's Bunfished.
    bool no_target_at_extreme = false;
};

// One run: where it happens, its files, the data fixed after the biology, the block in force of
// the forward-only management read, and a working state for evaluating one year at a time.
struct Engine : RunData, Block, YearState {
    // Threads for the years: 0 takes the machine's cores.
    int threads = 0;
    std::istream* console_in = nullptr;
    std::filesystem::path folder;
    int year_index = 0;
    int years_given_up = 0; // years whose target search gave up
    int years_written = 0;  // years whose results are in the outputs

    FreeReader run_file; // unit 1
    FreeReader input;    // unit 4: the biology file, then the management file
    OutputFile table;    // unit 7
    OutputFile report;   // unit 22
};

// Run flow and definition.
void engine_main(Engine& e, std::istream& console_in, std::ostream& console_out,
                 const std::filesystem::path& folder);
void read_run_file(Engine& e);
// The run inside engine_main: the definition, the biology and every listed year.
void run_years(Engine& e);
// Every listed year: the blocks read in order, the years evaluated on threads of their own and
// written in year order.
void evaluate_years(Engine& e);
// The number of threads that evaluate `years` years of a definition: the machine's cores unless
// `wanted` is positive, never more than the years, and capped so that the working states of the
// threads together stay modest.
int year_threads(int wanted, int years, const RunData& d);

// Biology.
void read_biology(Engine& e, std::string_view file_name);
void build_morphs(RunData& d);
void build_growth_tables(RunData& d);

// Management.
// Reads forward to the block of the listed year at the current year index; false when the file's
// next block lies beyond it (the caller stops the run once the years before are written).
bool read_management_year(Engine& e);
void prepare_fishing(const RunData& d, const Block& b, YearState& w);

// Projection.
// What an equilibrium must give: everything, or only the yield that a climb's trial step compares
// (such an equilibrium is not remembered, and leaves every other result unset).
enum class Compared { everything, numbers_yield, biomass_yield };

// Mode 1 per recruit, mode 2 scaled to the equilibrium recruits. A per-recruit projection that
// only feeds the SPR (a scaled one follows at the same multiplier) may leave the yields and the
// biomass out.
void project_population(const RunData& d, const Block& b, YearState& w, int mode,
                        bool totals = true);
void sum_stock_totals(const RunData& d, YearState& w);
void unfished_per_recruit(Engine& e);

// Stock-recruitment.
void set_sr_parameters(RunData& d);
// The Ricker relation's point S of the largest surplus slope * S * exp(-S) - S, stepped up to and
// refined: the search ends at its `misses`-th step that does not improve, or once a step no longer
// moves S.
struct RickerPeak {
    double s = 0.0;
    double y = 0.0; // slope * S * exp(-S)
    double best = 0.0;
    int steps = 0;
};
RickerPeak ricker_peak(double slope, int misses = 20);
void equilibrium_recruits(const RunData& d, YearState& w);
void find_equilibrium(const RunData& d, const Block& b, YearState& w,
                      Compared only = Compared::everything);

// Year evaluation: the console rows go to the state's console; the report and the table are
// written by the caller in year order.
void evaluate_year(const RunData& d, const Block& b, YearState& w);
void linear_regression(const double* x, const double* y, int n, double& slope, double& intercept);
void derive_f_at_age(const RunData& d, YearState& w, int column);

// Output.
void write_progress_header(YearState& w);
void write_progress_row(YearState& w);
// The text of the outputs, line by line without line ends (tests compare them).
std::string progress_row_text(double fmult, double recruits, double spr, double numbers,
                              double biomass);
std::string progress_row_text(const YearState& w);
std::string table_row_text(int year, double bunfished, const ResultColumn& c);
std::string year_report_text(const RunData& d, const YearState& w); // lines ended by "\r\n"
void write_file_line(OutputFile& out, std::string_view line);
// Empty when the report and the table can print every result of the year; otherwise the console
// line that stops the run before the year is written.
std::string unprintable_result(const RunData& d, const YearState& w);

// Writes one console line and stops the run with the given exit status.
[[noreturn]] void stop_run(YearState& w, std::string_view line, int status);

} // namespace tez
