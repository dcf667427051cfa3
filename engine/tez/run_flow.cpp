// Finding and reading the equilibrium definition, and the run over the listed years.
#include "engine.h"
#include "error_stack.h"
#include "file_names.h"
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
std::string output_name(Engine& e, std::string_view what) {
    const std::string name(trim_blanks(e.output_name));
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

struct NamedFile {
    std::string what;
    std::string name;
    std::filesystem::path path;
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
            if (same_file(out.path, other.path))
                throw InputError("The " + out.what + " \"" + out.name + "\" and " + quoted(other) +
                                 " are one file: each would overwrite the other");
        }
        for (const NamedFile& in : inputs) {
            if (same_file(out.path, in.path))
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
    rf.open_input(e.folder / name, name, "run file");

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
    rf.whole_line(e.output_name, kNameLength);
    e.report_flag = e.output_name == kNoFile ? 0 : 1;
    if (e.report_flag == 1) {
        const std::string name = output_name(e, "TEZ output table");
        outputs.push_back(
            {"TEZ output table", vesk::visibleName(name), named_file(e.folder, name)});
    }
    rf.whole_line(e.output_name, kNameLength);
    e.table_flag = e.output_name == kNoFile ? 0 : 1;
    if (e.table_flag == 1) {
        const std::string name = output_name(e, "TEZ benchmark table");
        outputs.push_back(
            {"TEZ benchmark table", vesk::visibleName(name), named_file(e.folder, name)});
    }
    check_outputs(e, outputs);
    for (const NamedFile& out : outputs) {
        OutputFile& file = out.what == "TEZ output table" ? e.report : e.table;
        file.open(out.path, out.what, out.name);
    }
    if (e.table_flag == 1)
        write_file_line(
            e.table,
            free_record("Yr    Bunfished       TEZ         Btez         Fmult        Fbio"));

    if (e.report_flag == 0 && e.table_flag == 0) {
        *e.console_out << free_record("No output files....Nothing to do") << '\n';
        throw NumericsStop(kExitNormal);
    }

    rf.whole_line(e.output_name, kNameLength);

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

    rf.close();
    // Only the hand-over copy is consumed; a definition named at the prompt stays.
    if (e.run_file_name == kHandOverName) {
        std::error_code ec;
        std::filesystem::remove(e.folder / name, ec);
    }
}

void engine_main(Engine& e, std::istream& console_in, std::ostream& console_out,
                 const std::filesystem::path& folder) {
    e.console_in = &console_in;
    e.console_out = &console_out;
    e.folder = folder;
    RunScope scope(e);
    try {
        run_years(e);
    } catch (const NumericsStop&) {
        finish_outputs(e);
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
    } catch (const InputError& err) {
        stop_run(e, err.what(), kExitInputError);
    }
}

} // namespace tez
