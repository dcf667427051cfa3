// Finding and reading the equilibrium definition, and the run over the listed years.
#include "engine.h"
#include "error_stack.h"
#include "file_names.h"
#include "own_files.h"
#include "text_forms.h"

#include "common/visibletext.h"

#include <cwctype>
#include <ostream>
#include <system_error>
#include <thread>
#include <vector>

namespace tez {

namespace {

const std::string kHandOverName = fit_text("Tez.000", kNameLength);
const std::string kNoFile = fit_text("NUL", kNameLength);

bool file_exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

// The name of an output read from its definition line; throws when the line names nothing.
std::string output_name(Engine& e, const std::string& line, std::string_view what) {
    const std::string name(trim_blanks(line));
    if (name.empty())
        e.run_file.fail(std::string("the ") + std::string(what) +
                        " has no name (NUL stands for none)");
    return name;
}

// Whether two paths name one file as the file system sees it: through links, and without regard
// to case where the file system ignores it.
bool same_file(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    if (std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec)) {
        const bool same = std::filesystem::equivalent(a, b, ec);
        if (!ec) return same;
    }
    std::error_code eca, ecb;
    std::filesystem::path ca = std::filesystem::weakly_canonical(a, eca);
    std::filesystem::path cb = std::filesystem::weakly_canonical(b, ecb);
    if (eca || ecb) {
        ca = std::filesystem::absolute(a, eca).lexically_normal();
        cb = std::filesystem::absolute(b, ecb).lexically_normal();
    }
#ifdef _WIN32
    std::wstring sa = ca.native(), sb = cb.native();
    for (auto* t : {&sa, &sb})
        for (wchar_t& c : *t)
            c = static_cast<wchar_t>(std::towlower(c));
    return sa == sb;
#else
    return ca == cb;
#endif
}

bool is_link(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_symlink(std::filesystem::symlink_status(p, ec));
}

// Whether the names stand for one entry of a folder: a link at a name is that entry, not what it
// names.
bool same_entry(const std::filesystem::path& a, const std::filesystem::path& b) {
    files::FileId ia{}, ib{};
    return files::id_at(a, ia) && files::id_at(b, ib) && ia == ib;
}

// Whether the output, once moved to its name, takes the place of `other`. A link at the output's
// name is replaced by it and what the link names is never written, so the output then clashes
// only with what is read through that very link.
bool takes_place_of(const std::filesystem::path& out, const std::filesystem::path& other) {
    return is_link(out) ? same_entry(out, other) : same_file(out, other);
}

struct NamedFile {
    std::string what;
    std::string name;
    std::filesystem::path path;
    OutputFile* file = nullptr; // of an output
};

// An output that would overwrite the other output or one of the run's inputs is refused before
// anything is opened. (The temporary files are created afresh, so they can overwrite nothing.)
void check_outputs(const Engine& e, const std::vector<NamedFile>& outputs) {
    const std::vector<NamedFile> inputs = {
        {"definition", vesk::visibleName(trim_blanks(e.run_file_name)),
         e.folder / std::string(trim_blanks(e.run_file_name))},
        {"biology file", vesk::visibleName(trim_blanks(e.biology_name)),
         named_file(e.folder, trim_blanks(e.biology_name))},
        {"management file", vesk::visibleName(trim_blanks(e.management_name)),
         named_file(e.folder, trim_blanks(e.management_name))}};
    const auto quoted = [](const NamedFile& f) { return "the " + f.what + " \"" + f.name + "\""; };
    for (const NamedFile& out : outputs)
        refuse_device_output(out.what, out.name);
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const NamedFile& out = outputs[i];
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const NamedFile& other = outputs[j];
            const bool one = is_link(out.path) || is_link(other.path)
                                 ? same_entry(out.path, other.path)
                                 : same_file(out.path, other.path);
            if (one)
                throw InputError("The " + out.what + " \"" + out.name + "\" and " + quoted(other) +
                                 " are one file: each would overwrite the other");
        }
        for (const NamedFile& in : inputs) {
            if (takes_place_of(out.path, in.path))
                throw InputError("The " + out.what + " \"" + out.name + "\" is " + quoted(in) +
                                 ": the output would replace it");
        }
    }
}

// The library's messages go to the run's console while it lasts, through an error context of the
// run's own.
struct RunScope {
    Engine& e;
    ErrorContext errors;
    ErrorContextScope errors_scope{errors};
    explicit RunScope(Engine& engine) : e(engine) { set_console_stream(e.console_out); }
    ~RunScope() {
        e.run_file.close();
        e.input.close();
        e.console_out->flush();
        set_console_stream(nullptr);
    }
};

// Outputs end with the last year completed, however the run ends, and are moved into place. A
// write that failed outweighs the run's own status: it is reported and the run ends with a
// status of its own.
void finish_outputs(Engine& e) {
    // Both files wait on the disk at once.
    if (e.report.is_open() && e.table.is_open()) {
        std::thread report([&e] { e.report.sync(); });
        e.table.sync();
        report.join();
    }
    // A signal now waits until both are in place (or found not to be).
    files::SignalsHeld held;
    bool failed = false;
    for (OutputFile* out : {&e.report, &e.table}) {
        const std::string message = out->finish();
        if (message.empty()) continue;
        *e.console_out << message << '\n';
        failed = true;
    }
    e.console_out->flush();
    if (failed) throw NumericsStop(kExitOutputError);
}

} // namespace

void stop_run(YearState& e, std::string_view line, int status) {
    *e.console_out << line << '\n';
    e.console_out->flush();
    throw NumericsStop(status);
}

void read_run_file(Engine& e) {
    FreeReader& rf = e.run_file;
    const std::string name(trim_blanks(e.run_file_name));
    const std::filesystem::path run_path = e.folder / name;
    // The hand-over copy is known by its identity while it is read: the same file before and
    // after it was opened.
    files::FileId read_id{}, opened_id{};
    bool hand_over = e.run_file_name == kHandOverName && files::id_at(run_path, read_id);
    rf.open_input(run_path, name, "run file");
    hand_over = hand_over && files::id_at(run_path, opened_id) && opened_id == read_id;

    e.biology_name = rf.read_text(kNameLength);
    *e.console_out << "Biological definitions from " << vesk::visibleName(e.biology_name) << '\n';
    read_biology(e, e.biology_name);

    e.management_name = rf.read_text(kNameLength);
    const std::string mgt(trim_blanks(e.management_name));
    e.input.open_input(named_file(e.folder, mgt), mgt, "management file");
    e.total_f_cv = e.input.read_real();

    // Both names are read, and checked against each other and the inputs, before either output
    // is opened.
    std::vector<NamedFile> outputs;
    rf.whole_line(e.report_name, kNameLength);
    e.report_flag = e.report_name == kNoFile ? 0 : 1;
    if (e.report_flag == 1) {
        const std::string name = output_name(e, e.report_name, "TEZ output table");
        outputs.push_back(
            {"TEZ output table", vesk::visibleName(name), named_file(e.folder, name), &e.report});
    }
    rf.whole_line(e.table_name, kNameLength);
    e.table_flag = e.table_name == kNoFile ? 0 : 1;
    if (e.table_flag == 1) {
        const std::string name = output_name(e, e.table_name, "TEZ benchmark table");
        outputs.push_back(
            {"TEZ benchmark table", vesk::visibleName(name), named_file(e.folder, name), &e.table});
    }
    check_outputs(e, outputs);
    for (const NamedFile& out : outputs)
        out.file->open(out.path, out.what, out.name);
    if (e.table_flag == 1)
        write_file_line(
            e.table,
            free_record("Yr    Bunfished       TEZ         Btez         Fmult        Fbio"));

    if (e.report_flag == 0 && e.table_flag == 0) {
        *e.console_out << free_record("No output files....Nothing to do") << '\n';
        throw NumericsStop(kExitNormal);
    }

    rf.whole_line(e.production_name, kNameLength);

    // Only the first word of the title is taken.
    e.title = rf.read_text(kTitleLength);

    e.nyears = rf.read_integer();
    if (e.nyears > kMaxYears)
        rf.fail("the number of years is " + std::to_string(e.nyears) + ", at most " +
                std::to_string(kMaxYears) + " can be evaluated");
    for (int i = 1; i <= e.nyears; ++i) {
        e.years[i] = rf.read_integer();
        // The table gives the year four characters; a year beyond them would print as asterisks.
        if (e.table_flag == 1 && (e.years[i] < -999 || e.years[i] > 9999))
            rf.fail("the year " + std::to_string(e.years[i]) +
                    " does not fit the four characters of the table's year field");
    }

    // Only the hand-over copy is consumed, a definition named at the prompt stays; and only
    // while it is still the copy that was read, as the control window may have handed over the
    // next one by now for another engine.
#ifdef _WIN32
    // Windows removes no file that is open for reading.
    rf.close();
    if (hand_over) files::remove_own(run_path, read_id);
#else
    // Still open, so that no new file can take its identity before it is removed.
    if (hand_over) files::remove_own(run_path, read_id);
    rf.close();
#endif
}

void engine_main(Engine& e, std::istream& console_in, std::ostream& console_out,
                 const std::filesystem::path& folder) {
    e.console_in = &console_in;
    e.console_out = &console_out;
    e.folder = folder;
    e.years_written = 0;
    RunScope scope(e);
    try {
        run_years(e);
    } catch (const NumericsStop&) {
        // A run that stops before any year's results are written leaves every output's name as
        // it stood; one that stops later keeps the years written.
        if (e.years_written == 0) {
            e.report.discard();
            e.table.discard();
        } else {
            finish_outputs(e);
        }
        throw;
    }
    finish_outputs(e);
    // Every year was written, but some show no target only because their search gave up.
    if (e.years_given_up > 0) throw NumericsStop(kExitNoTarget);
}

void run_years(Engine& e) {
    std::istream& console_in = *e.console_in;
    std::ostream& console_out = *e.console_out;
    try {
        e.run_file_name = kHandOverName;
        FreeReader console;
        console.attach(console_in, "the console");
        while (!file_exists(e.folder / std::string(trim_blanks(e.run_file_name))) &&
               !names_a_device(trim_blanks(e.run_file_name))) {
            console_out << "input run file -> " << std::flush;
            try {
                e.run_file_name = console.read_text(kNameLength);
            } catch (const InputError&) {
                console_out << '\n';
                stop_run(e, "End of console input: no run file was named", kExitInputError);
            }
        }
        e.ricker_code = kRickerCode;
        e.beverton_holt_code = kBevertonHoltCode;

        read_run_file(e);
        build_growth_tables(e);
        unfished_per_recruit(e);

        evaluate_years(e);
    } catch (const OutputRefused& err) {
        stop_run(e, err.what(), kExitOutputError);
    } catch (const InputError& err) {
        stop_run(e, err.what(), kExitInputError);
    }
}

} // namespace tez
