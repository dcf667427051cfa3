// The built engine as a user starts it from a console, ended by a signal or with its folder moved
// while it runs.
#include "engine_fixture.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace tez::testing {
namespace {

#ifndef _WIN32

// The engine started in a folder, its console read through a pipe so small that the engine waits
// on its next row once the test stops reading: the run is then held in the middle of its years,
// its outputs open under their temporary names.
class StartedEngine {
  public:
    explicit StartedEngine(const std::filesystem::path& folder) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return;
        ::fcntl(fds[0], F_SETPIPE_SZ, 4096);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        // As from a console: the signals at their defaults, none blocked.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t signals;
        sigemptyset(&signals);
        for (const int sig : {SIGTERM, SIGINT, SIGHUP})
            sigaddset(&signals, sig);
        posix_spawnattr_setsigdefault(&attributes, &signals);
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes, &signals);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        char program[] = TEZ_PROGRAM;
        char* argv[] = {program, nullptr};
        if (posix_spawn(&pid_, program, &actions, &attributes, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        ::close(fds[1]);
        out_ = fds[0];
    }
    ~StartedEngine() {
        if (pid_ > 0 && !waited_) {
            ::kill(pid_, SIGKILL);
            wait();
        }
        if (out_ >= 0) ::close(out_);
    }
    bool started() const { return pid_ > 0; }
    // Reads the console a little at a time until it shows `text`.
    bool read_until(const std::string& text) {
        while (console_.find(text) == std::string::npos)
            if (!read_some()) return false;
        return true;
    }
    void read_to_end() {
        while (read_some()) {
        }
    }
    void signal(int sig) const { ::kill(pid_, sig); }
    int wait() {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        waited_ = true;
        return status;
    }
    const std::string& console() const { return console_; }

  private:
    bool read_some() {
        char buffer[256];
        const ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0) return false;
        console_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    bool waited_ = false;
    std::string console_;
};

class KilledRuns : public ::testing::Test {
  protected:
    // A run of 150 years, whose console rows are many times what the pipe holds.
    void write_inputs(const std::filesystem::path& where) {
        const StockBiology bio = make_biology(6, 1, 1, 1);
        write_text(where / "t.bio", biology_text(bio));
        write_text(where / "t.mgt", management_text(0.0, make_blocks(bio, 2000, 3, 1, 1)));
        RunDefinition def;
        def.bio = "t.bio";
        def.mgt = "t.mgt";
        def.report = "r.txt";
        def.table = "b.txt";
        def.years.assign(150, 2001);
        write_text(where / "Tez.000", definition_text(def));
    }
    static std::vector<std::string> left_over(const std::filesystem::path& where) {
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(where)) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".part" || ext == ".gone") left.push_back(entry.path().filename().string());
        }
        return left;
    }
    static unsigned mode_of(const std::filesystem::path& p) {
        return static_cast<unsigned>(std::filesystem::status(p).permissions() &
                                     std::filesystem::perms::all);
    }
    TempFolder folder;
};

TEST_F(KilledRuns, SignalEndsTheRunWithItsStatusAndLeavesEveryFileAsItStood) {
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        std::filesystem::remove(folder / "b.txt");
        write_inputs(folder.path());
        write_text(folder / "r.txt", "the earlier report\r\n");
        std::filesystem::permissions(folder / "r.txt", std::filesystem::perms(0640));
        StartedEngine run(folder.path());
        ASSERT_TRUE(run.started());
        ASSERT_TRUE(run.read_until("F mult")) << run.console();
        // In the middle of the run: its outputs are open under their temporary names.
        ASSERT_EQ(left_over(folder.path()).size(), 2u) << run.console();
        run.signal(sig);
        const int status = run.wait();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig)
            << "signal " << sig << ", status " << status;
        EXPECT_TRUE(left_over(folder.path()).empty()) << sig;
        EXPECT_EQ(folder.read("r.txt"), "the earlier report\r\n");
        EXPECT_EQ(mode_of(folder / "r.txt"), 0640u);
        EXPECT_FALSE(folder.has("b.txt"));
    }
}

TEST_F(KilledRuns, RunWhoseFolderIsMovedGoesOnThere) {
    std::filesystem::create_directories(folder / "one");
    std::filesystem::create_directories(folder / "elsewhere");
    write_inputs(folder / "one");
    write_text(folder / "one" / "r.txt", "the earlier report\r\n");
    StartedEngine run(folder / "one");
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(run.read_until("F mult")) << run.console();
    const std::filesystem::path moved = folder / "elsewhere" / "two";
    std::filesystem::rename(folder / "one", moved);
    run.read_to_end();
    const int status = run.wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << run.console();
    EXPECT_EQ(run.console().find("Cannot"), std::string::npos) << run.console();
    EXPECT_TRUE(left_over(moved).empty());
    const std::string table = TempFolder::read_file(moved / "b.txt");
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 151);
    EXPECT_NE(TempFolder::read_file(moved / "r.txt").find("TEZ evaluations"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "one"));
}

#endif

} // namespace
} // namespace tez::testing
