#include "control_window/files/fisheryfile.h"

#include "control_window/files/definitionreader.h"
#include "platform/numtext.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace cw {

namespace {

// Every field of the data model that a fishery definition file holds, listed once for both
// directions.
template <class Model, class Data, class Copy> void eachFisheryField(Model& m, Data& d, Copy copy) {
    copy(m.fyr, d.fyr);
    copy(m.lyr, d.lyr);
    copy(m.nsexes, d.nsexes);
    copy(m.nszns, d.nszns);
    copy(m.nages, d.nages);
    copy(m.ngear, d.ngear);
    copy(m.fcv, d.fcv);
    copy(m.f_tac, d.f_tac);
    copy(m.f_annf, d.f_annf);
    copy(m.f_seltyp, d.f_seltyp);
    copy(m.f_nlng, d.f_nlng);
    copy(m.f_mxlng, d.f_mxlng);
    copy(m.f_minvulsiz, d.f_minvulsiz);
    copy(m.f_minlng, d.f_minlng);
    copy(m.f_sel, d.f_sel);
    copy(m.f_sznfract, d.f_sznfract);
    copy(m.f_regs, d.f_regs);
}

} // namespace

FisheryData fisheryDataFrom(const Maincode& m) {
    FisheryData d;
    eachFisheryField(m, d, [](const auto& from, auto& to) { to = from; });
    return d;
}

void storeFisheryData(Maincode& m, const FisheryData& d) {
    eachFisheryField(m, d, [](auto& to, const auto& from) { to = from; });
}

std::optional<int> binCount(float f_nlng) {
    const std::optional<int16_t> b = plat::toInteger16(double(f_nlng));
    if (!b) return std::nullopt;
    return int(*b);
}

namespace {

const std::string kEol = "\r\n";
const std::string kNothingSaved = " Nothing was saved.";

std::string num(int v) {
    return std::to_string(v);
}

struct CountLimit {
    const char* what;
    int16_t FisheryData::*field;
    int min, max;
};

// Counts that size the blocks of both files, with the range each file can carry.
const CountLimit kFstCounts[] = {
    {"number of sexes", &FisheryData::nsexes, 1, kMaxSexes},
    {"number of seasons", &FisheryData::nszns, 0, kMaxSeasons},
    {"number of ages", &FisheryData::nages, 0, kMaxAge},
    {"number of fisheries", &FisheryData::ngear, 0, kMaxFisheries},
};
const CountLimit kMgtCounts[] = {
    {"number of sexes", &FisheryData::nsexes, 1, kMaxSexes},
    {"number of seasons", &FisheryData::nszns, 1, kMaxSeasons},
    {"number of ages", &FisheryData::nages, 0, kMaxAge},
    {"number of fisheries", &FisheryData::ngear, 0, kMaxFisheries},
};

int yearCount(const FisheryData& d) {
    return int(d.lyr) - int(d.fyr) + 1;
}

std::optional<std::string> yearsProblem(int n, const std::string& tail) {
    if (n < 1) return "The last year lies before the first year." + tail;
    if (n > kMaxYears) {
        return "The years span " + num(n) + " years; at most " + num(kMaxYears) + " are possible." +
               tail;
    }
    return std::nullopt;
}

// The lower length as the definition file holds it: a number, or an empty line when it was
// never entered.
std::string minLengthText(const Variant& v) {
    if (v.isEmpty()) return std::string();
    return plat::printDouble(v.number());
}

} // namespace

std::optional<std::string> fstSaveProblem(const FisheryData& d) {
    if (auto p = yearsProblem(yearCount(d), kNothingSaved)) return p;
    for (const CountLimit& c : kFstCounts) {
        if (auto p = countRangeProblem(c.what, d.*c.field, c.min, c.max)) return *p + kNothingSaved;
    }
    for (int k = 1; k <= d.ngear; ++k) {
        const char t = d.f_seltyp(k).ch();
        // A comma or a double quote would end or open the type item for the reader, which also
        // passes over a tab like a blank.
        if (t == ',' || t == '"' || t == '\t') {
            return "Fishery " + num(k) + " has the selectivity type \"" + std::string(1, t) +
                   "\"; give it type A or L." + kNothingSaved;
        }
        if (t == 'L') {
            const std::optional<int> b = binCount(d.f_nlng(k));
            if (!b || *b > kMaxLengthBins) {
                return "Fishery " + num(k) + " has " + plat::strSingle(d.f_nlng(k)) +
                       " length bins; at most " + num(kMaxLengthBins) + " are possible." +
                       kNothingSaved;
            }
        }
    }
    return std::nullopt;
}

std::string fstFileText(const FisheryData& d) {
    using plat::printInteger;
    using plat::printSingle;
    const int n = yearCount(d);
    std::string t;
    t += printInteger(d.fyr) + kEol;
    t += printInteger(d.lyr) + kEol;
    t += printInteger(d.nsexes) + kEol;
    t += printInteger(d.nszns) + kEol;
    t += printInteger(d.nages) + kEol;
    t += printInteger(d.ngear) + kEol;
    t += printSingle(d.fcv) + kEol;
    for (int y = 1; y <= n; ++y) {
        t += printInteger(d.fyr + y - 1);
        for (int k = 1; k <= d.ngear; ++k)
            t += printSingle(d.f_tac(y, k));
        t += kEol;
    }
    for (int y = 1; y <= n; ++y) {
        for (int k = 1; k <= d.ngear; ++k)
            t += printSingle(d.f_annf(y, k));
        t += kEol;
    }
    for (int k = 1; k <= d.ngear; ++k) {
        const Char1 type = d.f_seltyp(k);
        t += type.str() + kEol;
        if (type == "L") {
            const int bins = binCount(d.f_nlng(k)).value_or(0);
            t += printSingle(d.f_nlng(k)) + kEol;
            t += minLengthText(d.f_minlng(k)) + kEol;
            t += printSingle(d.f_mxlng(k)) + kEol;
            for (int y = 1; y <= n; ++y) {
                for (int b = 1; b <= bins; ++b) {
                    for (int s = 1; s <= d.nsexes; ++s)
                        t += printSingle(d.f_sel(k, b, s, y));
                    t += kEol;
                }
            }
        } else if (type == "A") {
            t += printSingle(d.f_minvulsiz(k)) + kEol;
            for (int y = 1; y <= n; ++y) {
                for (int a = 0; a <= d.nages; ++a) {
                    for (int s = 1; s <= d.nsexes; ++s)
                        t += printSingle(d.f_sel(k, a, s, y));
                    t += kEol;
                }
            }
        }
        for (int y = 1; y <= n; ++y) {
            for (int q = 1; q <= d.nszns; ++q)
                t += printSingle(d.f_sznfract(k, q, y));
            t += kEol;
            t += printSingle(d.f_regs(1, k, y)) + printSingle(d.f_regs(2, k, y)) +
                 printSingle(d.f_regs(3, k, y)) + kEol;
        }
    }
    return t;
}

namespace {

std::string ofFishery(int k) {
    return " of fishery " + num(k);
}

std::string inYear(int calendarYear) {
    return " in " + num(calendarYear);
}

std::string ofSex(int s, int nsexes) {
    return nsexes == 1 ? std::string() : (s == 1 ? " of the males" : " of the females");
}

} // namespace

std::optional<std::string> readFstFile(plat::SeqFile& f, const std::string& fileName,
                                       FisheryData& d) {
    DefinitionReader r(f, "The fishery data file " + fileName);
    r.whole(d.fyr, "the first year");
    r.whole(d.lyr, "the last year");
    r.count(d.nsexes, "the number of sexes", 1, kMaxSexes);
    r.count(d.nszns, "the number of seasons", 0, kMaxSeasons);
    r.count(d.nages, "the number of ages", 0, kMaxAge);
    r.count(d.ngear, "the number of fisheries", 0, kMaxFisheries);
    r.single(d.fcv, "the total F randomization scalar");
    if (r.problem()) return r.problem();
    const int n = yearCount(d);
    if (n < 1 || n > kMaxYears) {
        return "The fishery data file " + fileName + " gives the years " + num(d.fyr) + " to " +
               num(d.lyr) + "; they must span 1 to " + num(kMaxYears) + " years.";
    }

    for (int y = 1; y <= n && !r.problem(); ++y) {
        const int expected = d.fyr + y - 1;
        const int at = r.line();
        int16_t year = 0;
        if (!r.whole(year, "the year " + num(expected) + " at the head of a catch line")) break;
        // A catch line of another year means the file does not fit its own first and last
        // year: reading on would take every later value for another one.
        if (year != expected) {
            r.fail("gives the year " + num(year) + " on line " + num(at) + " where the year " +
                   num(expected) +
                   " was expected; the catch lines do not fit the first and last year.");
            break;
        }
        for (int k = 1; k <= d.ngear; ++k)
            r.single(d.f_tac(y, k), "the TAC" + ofFishery(k) + inYear(expected));
    }
    for (int y = 1; y <= n && !r.problem(); ++y) {
        for (int k = 1; k <= d.ngear; ++k)
            r.single(d.f_annf(y, k), "the annual F" + ofFishery(k) + inYear(d.fyr + y - 1));
    }
    for (int k = 1; k <= d.ngear && !r.problem(); ++k) {
        // The selectivity type: the first character of its line, a blank for an empty line.
        std::string typeText;
        if (!r.text(typeText, "the selectivity type" + ofFishery(k))) break;
        d.f_seltyp(k) = typeText;
        const Char1 type = d.f_seltyp(k);
        if (type == "L") {
            r.single(d.f_nlng(k), "the number of length bins" + ofFishery(k));
            if (r.problem()) break;
            const std::optional<int> b = binCount(d.f_nlng(k));
            if (!b || *b > kMaxLengthBins) {
                r.fail("gives " + plat::strSingle(d.f_nlng(k)) + " length bins" + ofFishery(k) +
                       "; at most " + num(kMaxLengthBins) + " are possible.");
                break;
            }
            r.numberOrEmpty(d.f_minlng(k), "the lower length of the bins" + ofFishery(k));
            r.single(d.f_mxlng(k), "the upper length of the bins" + ofFishery(k));
            for (int y = 1; y <= n && !r.problem(); ++y) {
                for (int c = 1; c <= *b; ++c) {
                    for (int s = 1; s <= d.nsexes; ++s) {
                        r.single(d.f_sel(k, c, s, y),
                                 "the selectivity" + ofFishery(k) + " in length bin " + num(c) +
                                     ofSex(s, d.nsexes) + inYear(d.fyr + y - 1));
                    }
                }
            }
        } else if (type == "A") {
            r.single(d.f_minvulsiz(k), "the minimum vulnerable size" + ofFishery(k));
            for (int y = 1; y <= n && !r.problem(); ++y) {
                for (int a = 0; a <= d.nages; ++a) {
                    for (int s = 1; s <= d.nsexes; ++s) {
                        r.single(d.f_sel(k, a, s, y), "the selectivity" + ofFishery(k) +
                                                          " at age " + num(a) + ofSex(s, d.nsexes) +
                                                          inYear(d.fyr + y - 1));
                    }
                }
            }
        }
        for (int y = 1; y <= n && !r.problem(); ++y) {
            const std::string when = ofFishery(k) + inYear(d.fyr + y - 1);
            for (int q = 1; q <= d.nszns; ++q)
                r.single(d.f_sznfract(k, q, y), "the F fraction of season " + num(q) + when);
            r.single(d.f_regs(1, k, y), "the minimum size" + when);
            r.single(d.f_regs(2, k, y), "the maximum size" + when);
            r.single(d.f_regs(3, k, y), "the discard mortality" + when);
        }
    }
    return r.finish();
}

std::optional<std::string> mgtExportProblem(const FisheryData& d, int nyrs) {
    const std::string tail = " Nothing was exported.";
    if (auto p = yearsProblem(nyrs, tail)) return p;
    for (const CountLimit& c : kMgtCounts) {
        if (auto p = countRangeProblem(c.what, d.*c.field, c.min, c.max)) return *p + tail;
    }
    for (int k = 1; k <= d.ngear; ++k) {
        const Char1 type = d.f_seltyp(k);
        // The engines read the type as the first item of its line and skip empty lines, so a
        // blank type would take the next value for the type.
        if (type != "A" && type != "L") {
            return "Fishery " + num(k) +
                   " has no selectivity type: give it type A or L, or lower the number of "
                   "fisheries." +
                   tail;
        }
        if (type == "L") {
            const std::optional<int> b = binCount(d.f_nlng(k));
            // The engines drop a fraction of the count where the export rounds it.
            if (!b || float(*b) != d.f_nlng(k) || *b < 1 || *b > kMaxLengthBins) {
                return "Fishery " + num(k) + " has " + plat::strSingle(d.f_nlng(k)) +
                       " length bins; give it a whole number from 1 to " + num(kMaxLengthBins) +
                       "." + tail;
            }
        }
    }
    return std::nullopt;
}

std::string mgtHeaderText(const FisheryData& d) {
    return plat::printSingle(d.fcv) + kEol;
}

std::string mgtBlockBody(const FisheryData& d, int dataYear) {
    std::string t;
    appendMgtBlockBody(t, d, dataYear);
    return t;
}

void appendMgtBlockBody(std::string& t, const FisheryData& d, int dataYear) {
    const int j = dataYear;
    const auto single = [&t](float v) {
        plat::appendSingle(t, v);
        t += kEol;
    };
    t += plat::printInteger(d.ngear) + kEol;
    for (int k = 1; k <= d.ngear; ++k) {
        const Char1 type = d.f_seltyp(k);
        t += type.str() + kEol;
        if (type == "A") {
            single(d.f_minvulsiz(k));
        } else if (type == "L") {
            single(d.f_nlng(k));
            plat::appendDouble(t, d.f_minlng(k).number());
            t += kEol;
            single(d.f_mxlng(k));
        }
        single(d.f_tac(j, k));
    }
    for (int k = 1; k <= d.ngear; ++k) {
        const Char1 type = d.f_seltyp(k);
        int rows = 0;
        int first = 0;
        if (type == "A") {
            rows = d.nages + 1;
        } else if (type == "L") {
            rows = binCount(d.f_nlng(k)).value_or(0);
            first = 1;
        }
        // The season's fraction times the annual F, taken once for every age or bin: the rate
        // multiplies from the left, so this is the first product of each rate itself.
        const double annf = d.f_annf(j, k);
        std::vector<double> share(std::size_t(std::max<int>(d.nszns, 0) + 1));
        for (int q = 1; q <= d.nszns; ++q)
            share[q] = double(d.f_sznfract(k, q, j)) * annf;
        for (int s = 1; s <= d.nsexes; ++s) {
            for (int x = first; x < first + rows; ++x) {
                const double sel = d.f_sel(k, x, s, j);
                for (int q = 1; q <= d.nszns; ++q) {
                    plat::appendDouble(t, share[q] * sel);
                    t += kEol;
                }
            }
        }
        single(d.f_regs(1, k, j));
        single(d.f_regs(2, k, j));
        single(d.f_regs(3, k, j));
    }
}

struct MgtBlockBodies::Impl {
    std::unique_ptr<const FisheryData> data;
    int nyrs = 0;
    // How many years the workers may run ahead of the writer, so that a slow disk does not
    // gather the whole file in memory.
    int ahead = 0;
    std::mutex lock;
    std::condition_variable formatted, taken;
    std::vector<std::string> bodies; // by data year - 1
    // Texts already written, kept for the next years: fresh memory costs a page fault every few
    // hundred numbers.
    std::vector<std::string> spare;
    std::vector<char> ready;
    int next = 1;   // the next year for a worker to format
    int writer = 0; // the year the writer asked for last
    bool stopping = false;
    std::exception_ptr failure;
    // Last, so that the workers end before what they use goes.
    std::vector<std::jthread> workers;

    void work() {
        std::string text;
        for (;;) {
            int year = 0;
            {
                std::unique_lock<std::mutex> hold(lock);
                taken.wait(hold,
                           [this] { return stopping || next > nyrs || next <= writer + ahead; });
                if (stopping || next > nyrs) return;
                year = next++;
                if (!spare.empty()) {
                    text = std::move(spare.back());
                    spare.pop_back();
                }
            }
            std::exception_ptr failed;
            try {
                text.clear();
                appendMgtBlockBody(text, *data, year);
            } catch (...) {
                failed = std::current_exception();
            }
            {
                const std::lock_guard<std::mutex> hold(lock);
                bodies[std::size_t(year - 1)] = std::move(text);
                ready[std::size_t(year - 1)] = 1;
                if (failed && !failure) failure = failed;
            }
            formatted.notify_all();
        }
    }
};

MgtBlockBodies::MgtBlockBodies(std::unique_ptr<const FisheryData> data, int nyrs)
    : d_(std::make_unique<Impl>()) {
    d_->data = std::move(data);
    d_->nyrs = std::max(nyrs, 0);
    d_->bodies.resize(std::size_t(d_->nyrs));
    d_->ready.resize(std::size_t(d_->nyrs));
    const int cores = std::max(1, int(std::thread::hardware_concurrency()));
    const int threads = std::min(cores, d_->nyrs);
    d_->ahead = 2 * threads + 2;
    try {
        for (int t = 0; t < threads; ++t)
            d_->workers.emplace_back([m = d_.get()] { m->work(); });
    } catch (const std::system_error&) {
        // With fewer workers, or none, the writer formats what is left itself.
    }
}

MgtBlockBodies::~MgtBlockBodies() {
    {
        const std::lock_guard<std::mutex> hold(d_->lock);
        d_->stopping = true;
    }
    d_->taken.notify_all();
    d_->workers.clear();
}

const std::string& MgtBlockBodies::body(int dataYear) {
    Impl& m = *d_;
    std::unique_lock<std::mutex> hold(m.lock);
    // The writer goes forward only: the years before this one are done with.
    for (int y = std::max(m.writer, 1); y < dataYear && y <= m.nyrs; ++y) {
        m.spare.push_back(std::move(m.bodies[std::size_t(y - 1)]));
        m.bodies[std::size_t(y - 1)].clear();
    }
    m.writer = std::max(m.writer, dataYear);
    m.taken.notify_all();
    const std::size_t at = std::size_t(dataYear - 1);
    if (m.workers.empty() && !m.ready.at(at)) {
        if (!m.spare.empty()) {
            m.bodies[at] = std::move(m.spare.back());
            m.spare.pop_back();
        }
        m.bodies[at].clear();
        appendMgtBlockBody(m.bodies[at], *m.data, dataYear);
        m.ready[at] = 1;
        m.next = std::max(m.next, dataYear + 1);
    }
    m.formatted.wait(hold, [&] { return m.ready.at(at) != 0 || m.failure; });
    if (m.failure) std::rethrow_exception(m.failure);
    return m.bodies[at];
}

} // namespace cw
