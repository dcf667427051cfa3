// The listed years: the management blocks read in order, the years evaluated in parallel, each on
// a working state of its own, and the outputs written in year order as the years complete.
#include "engine.h"
#include "error_stack.h"
#include "text_forms.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

namespace tez {

namespace {

// The working states of all threads together stay below this.
constexpr std::size_t kStateBudget = std::size_t{512} << 20;

// A year to evaluate, or the stop that ends the list where the management file fails.
struct YearJob {
    int year = 0;
    std::shared_ptr<const Block> block;
    std::optional<std::string> stop_message;
    int stop_status = 0;
};

// What one year's evaluation leaves for the writer.
struct YearOutput {
    bool done = false;
    std::string console;
    std::string report;
    int stop_status = -1; // the year stopped the run with this status
    std::exception_ptr failure;
    bool no_target_at_extreme = false;
    bool target_reached = false;
    bool target_given_up = false;
    double fmult = 0.0;
    double bunfished = 0.0;
    std::array<ResultColumn, 2> col{};
    // The year's last projection: its row when the year had no target at extreme fishing, and
    // the recruits that a later year without a target shows.
    ProjectionTotals last;
};

// Reads forward to the block of the listed year at e.year_index; a new block read is kept in
// `current`, which years share while no later block is needed. A year the file cannot give
// becomes the stop that ends the list.
YearJob read_job(Engine& e, std::shared_ptr<const Block>& current) {
    YearJob job;
    job.year = e.years[e.year_index];
    try {
        const long before = e.serial;
        if (!read_management_year(e)) {
            job.stop_message = "management data out of range";
            job.stop_status = kExitModelStop;
        } else if (!current || e.serial != before) {
            current = std::make_shared<const Block>(static_cast<const Block&>(e));
        }
    } catch (const InputError& err) {
        job.stop_message = err.what();
        job.stop_status = kExitInputError;
    }
    job.block = current;
    return job;
}

// A thread's working state: its console text and its own error context bound to it.
struct Worker {
    std::ostringstream console;
    ErrorContext errors;
    std::unique_ptr<YearState> state = std::make_unique<YearState>();
    Worker() {
        state->console_out = &console;
        ErrorContextScope scope(errors);
        set_console_stream(&console);
    }
};

void evaluate_job(const Engine& e, const YearJob& job, Worker& worker, YearOutput& out) {
    ErrorContextScope scope(worker.errors);
    YearState& w = *worker.state;
    worker.console.str("");
    w.year = job.year;
    w.bunfished = 0.0;
    try {
        evaluate_year(e, *job.block, w);
        out.no_target_at_extreme = w.no_target_at_extreme;
        out.target_reached = w.target_reached;
        out.target_given_up = w.target_given_up;
        out.fmult = w.fmult;
        out.bunfished = w.bunfished;
        out.col = w.col;
        out.last = w;
        if (e.report_flag == 1) out.report = year_report_text(e, w);
    } catch (const NumericsStop& stop) {
        out.stop_status = stop.exit_status();
    } catch (...) {
        out.failure = std::current_exception();
    }
    out.console = worker.console.str();
}

// Writes one evaluated year: what passes from year to year (the recruits that a year without a
// target shows, the Bunfished it keeps) is filled in here, in year order.
void write_year(Engine& e, const YearJob& job, YearOutput& out, double& bunfished,
                double& recruits) {
    if (out.failure) std::rethrow_exception(out.failure);
    std::string console = std::move(out.console);
    if (out.stop_status < 0) {
        if (out.no_target_at_extreme) {
            // The row is the year's last line but the empty record after it.
            const std::string row =
                progress_row_text(out.fmult, recruits, out.last.spr, out.last.harvest_numbers,
                                  out.last.harvest_biomass);
            const std::size_t tail = row.size() + 1 + free_record("").size() + 1;
            console.replace(console.size() - tail, row.size(), row);
        } else {
            bunfished = out.bunfished;
            recruits = out.last.eq_recruits;
        }
    }
    *e.console_out << console;
    if (out.stop_status >= 0) {
        e.console_out->flush();
        throw NumericsStop(out.stop_status);
    }
    if (e.report_flag == 1) e.report.write(out.report);
    if (e.table_flag == 1)
        write_file_line(e.table, table_row_text(job.year, bunfished, out.col[1]));
    ++e.years_written;
    e.console_out->flush();
    // The run keeps the results of the year written last.
    e.year = job.year;
    e.col = out.col;
    e.fmult = out.fmult;
    e.target_reached = out.target_reached;
    e.target_given_up = out.target_given_up;
    e.no_target_at_extreme = out.no_target_at_extreme;
    if (out.target_given_up) ++e.years_given_up;
}

} // namespace

int year_threads(int wanted, int years, const RunData& d) {
    // A thread's state: its own tables by step (fishing, mean-biomass factor, mortality pair) and
    // the equilibria its year remembers.
    const std::size_t steps = packed_cell(d.nmorphs, d.nages, d.nszns, d.nsexes, 0, 0, 0);
    const std::size_t per_state =
        sizeof(Worker) + sizeof(YearState) +
        steps * (sizeof(FishingCell) + sizeof(double) + sizeof(std::uint32_t)) +
        kRememberedEquilibria *
            (sizeof(YearState::Equilibrium) +
             sizeof(double) * static_cast<std::size_t>(d.nsexes) * (d.nages + 2) * d.nszns);
    const int by_memory = static_cast<int>(kStateBudget / per_state);
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    const int n = wanted > 0 ? wanted : cores;
    return std::min({std::max(n, 1), std::max(years, 1), std::max(by_memory, 1)});
}

void evaluate_years(Engine& e) {
    const int listed = e.nyears;
    const int nthreads = year_threads(e.threads, listed, e);
    // Filled in year order by this thread as it reads the management file; a year is taken by a
    // thread once it is published.
    std::vector<YearJob> jobs(static_cast<std::size_t>(std::max(listed, 0)));
    std::vector<YearOutput> outputs(jobs.size());
    double bunfished = e.bunfished;
    double recruits = e.eq_recruits;

    std::mutex mutex;
    // A published year wakes one thread to take it; a year done wakes the writer. Nobody is woken
    // only to find there is nothing for it yet.
    std::condition_variable jobs_ready;
    std::condition_variable year_done;
    int published = 0;
    bool reading_done = false;
    int next = 0; // the next year to take, under the mutex
    std::atomic<int> first_stop{listed};
    // Takes the next year and evaluates it; false when there is none left to take.
    const auto work_one = [&](Worker& worker) {
        int i = 0;
        {
            std::unique_lock lock(mutex);
            jobs_ready.wait(lock, [&] { return next < published || reading_done; });
            if (next >= published) return false;
            i = next++;
        }
        if (i > first_stop) return false;
        YearOutput out;
        if (!jobs[i].stop_message) evaluate_job(e, jobs[i], worker, out);
        if (out.stop_status >= 0 || out.failure || jobs[i].stop_message) {
            int seen = first_stop;
            while (i < seen && !first_stop.compare_exchange_weak(seen, i)) {
            }
        }
        out.done = true;
        {
            std::lock_guard lock(mutex);
            outputs[i] = std::move(out);
        }
        year_done.notify_one();
        return true;
    };
    const auto end_work = [&] {
        first_stop = -1;
        {
            std::lock_guard lock(mutex);
            reading_done = true;
        }
        jobs_ready.notify_all();
    };

    // Each thread builds its own working state, so that the states are set up side by side while
    // this thread reads the blocks. A thread is started as each of the first years is published,
    // so that the first year is at work before the last thread is started. A thread that cannot
    // build its state takes no year; when no thread could, the run fails as it would have here.
    std::vector<std::unique_ptr<Worker>> workers(static_cast<std::size_t>(nthreads));
    std::exception_ptr setup_failure;
    int setups_failed = 0;
    std::vector<std::jthread> threads;
    threads.reserve(static_cast<std::size_t>(nthreads));
    const auto start_thread = [&] {
        const std::size_t t = threads.size();
        threads.emplace_back([&, t] {
            try {
                workers[t] = std::make_unique<Worker>();
            } catch (...) {
                {
                    std::lock_guard lock(mutex);
                    setup_failure = std::current_exception();
                    ++setups_failed;
                }
                year_done.notify_one();
                return;
            }
            while (work_one(*workers[t])) {
            }
        });
    };
    if (nthreads == 1) workers[0] = std::make_unique<Worker>();

    try {
        // The blocks are read forward only, in year order, while the threads evaluate the years
        // already read.
        std::shared_ptr<const Block> current;
        int count = 0;
        for (e.year_index = 1; e.year_index <= listed; ++e.year_index) {
            YearJob job = read_job(e, current);
            const bool stops = job.stop_message.has_value();
            {
                std::lock_guard lock(mutex);
                jobs[count] = std::move(job);
                published = ++count;
            }
            jobs_ready.notify_one();
            if (nthreads > 1 && static_cast<int>(threads.size()) < nthreads) start_thread();
            if (stops) break;
        }
        {
            std::lock_guard lock(mutex);
            reading_done = true;
        }
        jobs_ready.notify_all();

        // Years are written in order as soon as they and every earlier year are done; a stop
        // ends the list there, and later years still at work are finished unseen.
        for (int i = 0; i < count; ++i) {
            if (nthreads == 1) work_one(*workers[0]);
            YearOutput out;
            {
                std::unique_lock lock(mutex);
                year_done.wait(lock, [&] {
                    return outputs[i].done ||
                           (nthreads > 1 && setups_failed == static_cast<int>(threads.size()));
                });
                if (!outputs[i].done) std::rethrow_exception(setup_failure);
                out = std::move(outputs[i]);
            }
            if (jobs[i].stop_message) {
                end_work();
                if (jobs[i].stop_status == kExitInputError) throw InputError(*jobs[i].stop_message);
                stop_run(e, *jobs[i].stop_message, jobs[i].stop_status);
            }
            write_year(e, jobs[i], out, bunfished, recruits);
        }
    } catch (...) {
        end_work();
        throw;
    }
    e.bunfished = bunfished;
    e.eq_recruits = recruits;
}

} // namespace tez
