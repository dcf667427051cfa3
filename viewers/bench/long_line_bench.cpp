// The viewers' readers on a table with one long line: for each viewer and each kind of long line
// (a number of that many digits, a run of blanks, that many values, a word of that many letters),
// the bundled example with such a line put in is read in a program of its own, and the table
// gives what it came to (plotted, or the start of its message), the processor time and the peak
// memory of that run beside those of the example as it stands.
//
//   viewer_long_line_bench [--megabytes N] [--check]
//
// N is the length of the long line in megabytes (100 by default). With --check the exit status
// is 1 when a run with a long line took 50 MB or more beyond the example's own run, or did not
// end as a reader ends: the memory the readers need must not grow with a line. The times are
// read from the table, never checked.
#include "viewers/marvent/logfile.h"
#include "viewers/sulbrin/pmofile.h"
#include "viewers/tovrask/yrofile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

constexpr double kBoundMB = 50;

// Reads `file` as `viewer` reads it and prints what it came to.
int readAs(const std::string& viewer, const std::string& file) {
    std::string error;
    bool plotted = false;
    if (viewer == "sulbrin") {
        sulbrin::ProductionTable t;
        plotted = sulbrin::readpmofile(file, t, error);
    } else if (viewer == "tovrask") {
        tovrask::PerRecruitTable t;
        plotted = tovrask::readyrofile(file, t, error);
    } else if (viewer == "marvent") {
        const std::optional<std::string> problem = marvent::readlogfile(file);
        plotted = !problem;
        if (problem) error = *problem;
    } else {
        return 2;
    }
    const std::string said = plotted ? "plots" : error.substr(0, 60);
    std::fwrite(said.data(), 1, said.size(), stdout);
    return 0;
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Where line `n` (from 1) of text starts.
std::size_t lineStart(const std::string& text, int n) {
    std::size_t at = 0;
    for (int k = 1; k < n; ++k)
        at = text.find('\n', at) + 1;
    return at;
}

// Where the item `n` (from 1) of the line starting at `at` ends.
std::size_t itemEnd(const std::string& text, std::size_t at, int n) {
    for (int k = 0; k < n; ++k) {
        at = text.find_first_not_of(' ', at);
        at = text.find_first_of(" \r\n", at);
    }
    return at;
}

// Writes `text` with `length` bytes made by `piece` put in at `at`.
void writeWith(const fs::path& path, const std::string& text, std::size_t at,
               const std::string& piece, std::size_t length) {
    std::ofstream out(path, std::ios::binary);
    out.write(text.data(), std::streamsize(at));
    const std::size_t block = piece.size() * ((std::size_t(1) << 20) / piece.size());
    std::string chunk;
    while (chunk.size() < block)
        chunk += piece;
    for (std::size_t left = length; left > 0;) {
        const std::size_t n = std::min(left, chunk.size());
        out.write(chunk.data(), std::streamsize(n));
        left -= n;
    }
    out.write(text.data() + at, std::streamsize(text.size() - at));
}

struct Kind {
    const char* name;
    std::string piece;
};

struct Viewer {
    const char* name;
    const char* example;
    int line;        // the line that gets the long piece
    int afterItem;   // the piece goes after this item of it
    int valuesAfter; // for many values: after this item
};

#ifndef _WIN32
struct Run {
    std::string said;
    double cpu = 0, peakMB = 0;
    bool ended = false;
};

Run runChild(const std::string& self, const std::string& viewer, const fs::path& file) {
    Run run;
    int out[2];
    if (pipe(out) != 0) return run;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        execl(self.c_str(), self.c_str(), "--read", viewer.c_str(), file.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char buffer[256];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0)
        run.said.append(buffer, std::size_t(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        run.ended = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        run.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        run.peakMB = double(usage.ru_maxrss) / 1024.0;
    }
    return run;
}
#endif

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--read") return readAs(args[1], args[2]);
#ifdef _WIN32
    std::fprintf(stderr, "viewer_long_line_bench runs on Linux only\n");
    return 0;
#else
    double megabytes = 100;
    bool check = false;
    for (std::size_t k = 0; k < args.size(); ++k) {
        if (args[k] == "--check") {
            check = true;
        } else if (args[k] == "--megabytes" && k + 1 < args.size()) {
            megabytes = std::atof(args[++k].c_str());
        } else {
            std::fprintf(stderr, "usage: viewer_long_line_bench [--megabytes N] [--check]\n");
            return 2;
        }
    }
    const std::size_t length = std::size_t(megabytes * 1e6);
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const fs::path folder =
        fs::temp_directory_path() / ("vesk-long-line-" + std::to_string(getpid()));
    fs::create_directories(folder);

    const Kind kinds[] = {{"number", "1"}, {"blanks", " "}, {"values", " 1"}, {"word", "x"}};
    const Viewer viewers[] = {{"sulbrin", "snapper.pmo", 3, 1, 5},
                              {"tovrask", "snapper.yro", 3, 1, 4},
                              {"marvent", "stock.log", 5, 1, 10}};
    bool fine = true;
    std::printf("%-8s %-7s %9s  %-62s %7s %8s %9s\n", "viewer", "line", "MB", "what it came to",
                "CPU s", "peak MB", "beyond MB");
    for (const Viewer& v : viewers) {
        const std::string text = slurp(fs::path(VESK_EXAMPLES_DIR) / v.example);
        const fs::path file = folder / v.example;
        fs::copy_file(fs::path(VESK_EXAMPLES_DIR) / v.example, file,
                      fs::copy_options::overwrite_existing);
        const Run plain = runChild(self, v.name, file);
        std::printf("%-8s %-7s %9.1f  %-62s %7.2f %8.1f %9s\n", v.name, "none", 0.0,
                    plain.said.c_str(), plain.cpu, plain.peakMB, "");
        if (!plain.ended) fine = false;
        for (const Kind& k : kinds) {
            const std::size_t start = lineStart(text, v.line);
            // The long number takes the place of the first value read (a number too large is
            // refused); the blanks go between two values; the values follow the row's own; the
            // word is added to the first value read, whose number it keeps.
            const std::string kind = k.name;
            std::size_t at = itemEnd(text, start, v.afterItem);
            if (kind == "number") at = text.find_first_not_of(' ', at);
            if (kind == "values") at = itemEnd(text, start, v.valuesAfter);
            if (kind == "word") at = itemEnd(text, start, v.afterItem + 1);
            writeWith(file, text, at, k.piece, length);
            const Run run = runChild(self, v.name, file);
            fs::remove(file);
            const double beyond = run.peakMB - plain.peakMB;
            std::printf("%-8s %-7s %9.1f  %-62s %7.2f %8.1f %9.1f\n", v.name, k.name,
                        double(length) / 1e6, run.said.c_str(), run.cpu, run.peakMB, beyond);
            if (!run.ended || !(beyond < kBoundMB)) fine = false;
        }
    }
    fs::remove_all(folder);
    if (check && !fine) {
        std::printf("a run did not end as a reader ends, or took %.0f MB or more beyond the "
                    "example's own\n",
                    kBoundMB);
        return 1;
    }
    return 0;
#endif
}
