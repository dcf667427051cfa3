#pragma once
// The control window's shared data model: every value that more than one window needs, in one
// program-wide instance `cw::mc`. It holds no window and shows no dialog: the file dialogs, the
// waits on shown windows and the About box's registry look-up are in windows/dialogs.h.
//
// Arrays keep the lower bounds the editors and files count from (ages from 0, sexes, seasons,
// fisheries and year indices from 1) and refuse any index outside them with std::out_of_range,
// so a count typed or read beyond a limit can never reach memory outside an array.
#include <algorithm>
#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace cw {

// Limits of the data model.
inline constexpr int kMaxFisheries = 10;
inline constexpr int kMaxIndices = 10;
inline constexpr int kMaxYears = 250;
inline constexpr int kMaxAge = 100;
inline constexpr int kMaxLengthBins = 100;
inline constexpr int kMaxSeasons = 12;
inline constexpr int kMaxSexes = 2;
inline constexpr int kMaxMorphs = 100;
inline constexpr int kMaxFecundity = 250;
inline constexpr int kMaxPoints = 251;

// A fixed-size array with inclusive bounds per dimension, given as pairs: Bounded<float, 0, 100,
// 1, 2> is indexed (age 0..100, sex 1..2). Storage is allocated once, when the array is made;
// assignment copies element by element into that storage.
template <class T, int... B> class Bounded {
    static_assert(sizeof...(B) >= 2 && sizeof...(B) % 2 == 0, "bounds come in (low, high) pairs");
    static constexpr std::array<int, sizeof...(B)> kBounds{B...};

    static constexpr std::size_t computeSize() {
        std::size_t n = 1;
        for (std::size_t d = 0; d < kBounds.size() / 2; ++d) {
            n *= std::size_t(kBounds[2 * d + 1] - kBounds[2 * d] + 1);
        }
        return n;
    }

  public:
    static constexpr int kDims = int(sizeof...(B) / 2);
    static constexpr std::size_t kSize = computeSize();

    static constexpr int lower(int dim = 0) { return kBounds[std::size_t(2 * dim)]; }
    static constexpr int upper(int dim = 0) { return kBounds[std::size_t(2 * dim + 1)]; }

    Bounded() : data_(kSize) {}
    Bounded(const Bounded& other) : data_(other.data_) {}
    Bounded& operator=(const Bounded& other) {
        std::copy(other.data_.begin(), other.data_.end(), data_.begin());
        return *this;
    }

    template <std::integral... I>
    requires(sizeof...(I) == kDims) static bool inBounds(I... index) {
        std::array<long long, kDims> at{static_cast<long long>(index)...};
        for (int d = 0; d < kDims; ++d) {
            if (at[std::size_t(d)] < lower(d) || at[std::size_t(d)] > upper(d)) return false;
        }
        return true;
    }

    template <std::integral... I>
    requires(sizeof...(I) == kDims) T& operator()(I... index) {
        return data_[offset({static_cast<long long>(index)...})];
    }
    template <std::integral... I>
    requires(sizeof...(I) == kDims) const T& operator()(I... index) const {
        return data_[offset({static_cast<long long>(index)...})];
    }

    template <std::integral I>
    requires(kDims == 1) T& operator[](I index) {
        return data_[offset({static_cast<long long>(index)})];
    }
    template <std::integral I>
    requires(kDims == 1) const T& operator[](I index) const {
        return data_[offset({static_cast<long long>(index)})];
    }

    void fill(const T& value) { std::fill(data_.begin(), data_.end(), value); }
    static constexpr std::size_t size() { return kSize; }

  private:
    static std::size_t offset(const std::array<long long, kDims>& at) {
        std::size_t off = 0;
        for (int d = 0; d < kDims; ++d) {
            const long long v = at[std::size_t(d)];
            if (v < lower(d) || v > upper(d)) {
                throw std::out_of_range("index " + std::to_string(v) + " outside " +
                                        std::to_string(lower(d)) + ".." + std::to_string(upper(d)));
            }
            off = off * std::size_t(upper(d) - lower(d) + 1) + std::size_t(v - lower(d));
        }
        return off;
    }

    std::vector<T> data_;
};

// A value that is Empty until first assigned, then holds a 16-bit whole number, a double or a
// text, as stored.
class Variant {
  public:
    enum class Kind { Empty, Integer, Double, Text };

    Variant() = default;
    Variant(int16_t v) : v_(v) {}
    Variant(int v) { *this = v; }
    Variant(double v) : v_(v) {}
    Variant(std::string v) : v_(std::move(v)) {}
    Variant(const char* v) : v_(std::string(v)) {}

    Variant& operator=(int16_t v) {
        v_ = v;
        return *this;
    }
    // A whole number is kept as a 16-bit one when it fits, else as a double.
    Variant& operator=(int v) {
        if (v >= INT16_MIN && v <= INT16_MAX)
            v_ = int16_t(v);
        else
            v_ = double(v);
        return *this;
    }
    Variant& operator=(double v) {
        v_ = v;
        return *this;
    }
    Variant& operator=(float v) {
        v_ = double(v);
        return *this;
    }
    Variant& operator=(std::string v) {
        v_ = std::move(v);
        return *this;
    }
    Variant& operator=(const char* v) {
        v_ = std::string(v);
        return *this;
    }

    Kind kind() const { return Kind(v_.index()); }
    bool isEmpty() const { return v_.index() == 0; }
    void clear() { v_ = std::monostate{}; }

    // As a number: Empty is 0, a text reads leniently (its leading number, 0 when none).
    double number() const;
    // As text: Empty is "", numbers in the ordinary text form of a box (no blanks, ".5").
    std::string text() const;

    bool operator==(const Variant&) const = default;

  private:
    std::variant<std::monostate, int16_t, double, std::string> v_;
};

// A text of exactly one character, blank-padded: assigning "" stores " ", assigning "AB" stores
// "A". Starts as a blank.
class Char1 {
  public:
    Char1() = default;
    explicit Char1(std::string_view s) { *this = s; }
    Char1& operator=(std::string_view s) {
        c_ = s.empty() ? ' ' : s.front();
        return *this;
    }
    Char1& operator=(const char* s) { return *this = std::string_view(s); }
    Char1& operator=(char c) {
        c_ = c;
        return *this;
    }
    char ch() const { return c_; }
    std::string str() const { return std::string(1, c_); }
    operator std::string() const { return str(); }
    bool operator==(std::string_view s) const { return s.size() == 1 && s.front() == c_; }
    bool operator==(const char* s) const { return *this == std::string_view(s); }
    bool operator==(const Char1&) const = default;

  private:
    char c_ = ' ';
};

struct Maincode {
    // Current file of each kind (full path, or the bare name given on the command line; empty
    // when none or when the last dialog was cancelled) and the engines' folder.
    std::string ndffile, fstfile, biofile, yoyfile, runfile, mgtfile, tezfile, woxfile;
    std::string installdir;
    // The command-line file: lower-cased, without quotes and folder; empty when none.
    std::string startfile;
    // The same name as typed; when empty, startfile stands for it.
    std::string startname;

    // Dialog exchange, waits and launch.
    std::string dlgtitle, dlgfilter;
    int16_t nforms = 0; // shown windows, as the last wait reported
    double taskid = 0;  // process id of the last engine started

    // Graph exchange area (points 1..npts; element 0 unused).
    Bounded<float, 0, kMaxPoints> xplot, yplot;
    int32_t npts = 0;
    float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    std::string xtitle, ytitle;

    // Working values of the graph routines.
    float xspan = 0, yspan = 0, xtick = 0, ytick = 0;
    std::string tickfmt, plotfont;
    int16_t plotfontsz = 0, rotangle = 0;
    int32_t rotx = 0, roty = 0;

    // Loop counters shared by the whole program: whatever their last user left is what the
    // next one sees.
    int16_t i = 0, iage = 0, isex = 0, iszn = 0, ilng = 0, indx = 0;

    // Biology dimensions, stock and recruitment.
    int16_t nages = 0, nmorphs = 0, nsexes = 0, nszns = 0;
    std::string nspecies;
    int16_t ispszn = 0, irecruitszn = 0, isroption = 0;
    double isrslope = 0, itezrecruitment = 0, irecruitcv = 0;

    // Growth, mortality and fecundity.
    Bounded<double, 1, kMaxSexes> vblinf, vbk, vbt0;
    Bounded<float, 1, kMaxSexes> lwa, lwb, cvlng;
    Bounded<float, 1, kMaxAge, 1, kMaxSexes> meanlng;
    Bounded<float, 1, kMaxSeasons, 1, kMaxSexes> fyg;
    Bounded<float, 1, kMaxSeasons> szngro;
    Bounded<float, 0, kMaxAge, 1, kMaxSexes> natmort;
    std::string ifecopt;
    float minsiz = 0, maxlng = 0;
    int16_t nfeclng = 0;
    Bounded<float, 0, kMaxFecundity> fec;
    double a_fec = 0, b_fec = 0;

    // Recruitment by year (index i is the year first + i - 1).
    int16_t vgflag = 0;
    Variant myoy;
    Bounded<float, 1, kMaxYears> yoyrec, yoygro;

    // Years shared by the fishery and index editors (year index k is calendar year fyr + k - 1).
    int16_t fyr = 0, lyr = 0, nyrs = 0, yr = 0;

    // Fisheries.
    int16_t ngear = 0, fishery_id = 0;
    Bounded<float, 1, kMaxFisheries, 0, kMaxAge, 1, kMaxSexes, 1, kMaxYears> f_sel;
    Bounded<float, 1, kMaxYears, 1, kMaxFisheries> f_annf, f_tac;
    Bounded<float, 1, kMaxFisheries, 1, kMaxSeasons, 1, kMaxYears> f_sznfract;
    Bounded<Char1, 1, kMaxFisheries> f_seltyp;
    Bounded<float, 1, kMaxFisheries> f_minvulsiz;
    Bounded<Variant, 1, kMaxFisheries> f_minlng;
    Bounded<float, 1, kMaxFisheries> f_mxlng, f_nlng;
    Bounded<float, 1, 3, 1, kMaxFisheries, 1, kMaxYears> f_regs;
    float fcv = 0;
    Variant f_fscaler;

    // Abundance indices.
    Bounded<int16_t, 1, kMaxIndices> i_assoc;
    Bounded<float, 1, kMaxIndices> i_meanq;
    Bounded<float, 1, kMaxIndices, 1, kMaxYears> i_q;
    Bounded<float, 1, kMaxIndices, 1, kMaxSeasons, 1, kMaxYears> i_sznfract;
    Bounded<Char1, 1, kMaxIndices> i_seltyp;
    Bounded<float, 1, kMaxIndices, 0, kMaxAge, 1, kMaxSexes, 1, kMaxYears> i_sel;
    Bounded<float, 1, kMaxIndices> i_minlng, i_mxlng, i_nlngs;
    Bounded<std::string, 1, kMaxIndices> i_type, i_outfile;
    Bounded<float, 1, kMaxIndices> i_err, i_ferr, l_sampsize, l_err;
    Bounded<Variant, 1, kMaxIndices> a_sampsize;
    Bounded<float, 1, kMaxIndices> a_err;
    // Minimum vulnerable size per index, shown for age-based selectivity. The index file has no
    // place for it, so it lasts for the session; it is kept apart from the fisheries' own.
    Bounded<float, 1, kMaxIndices> i_minvulsiz;
    // The counts that the index and recruitment editors keep in their windows, kept here too
    // while those windows are unloaded: a window opened again shows all the data its file gave.
    int16_t ndfcount = 0;
    int16_t yoybyr = 0, yoyeyr = 0;
};

// The program-wide instance.
extern Maincode mc;
// Puts every variable back to its start state (tests; the program never resets).
void resetMaincode();

// The folder of the engines: tarvesk with a folder separator at its end, or the default.
std::string engineFolder(const std::string& tarvesk);

// Where the command-line file is in the current folder: the name as typed (startname) when that
// file is there, else the lower-cased name, else the one file whose name matches it without
// regard to case. `path` is the full path to open; `problem` the message to show instead when
// none is there (it names the folder looked in) or when several match (it names them), with
// `what` naming the kind of file ("TEZ file"). Editors open the path, make it their current file,
// and keep startfile for their extension test.
struct StartfileLookup {
    std::string path;
    std::optional<std::string> problem;
};
StartfileLookup findStartfile(const std::string& what);

} // namespace cw
