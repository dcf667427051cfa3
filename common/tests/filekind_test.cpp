// The names a reader refuses before it opens them.
#include "common/filekind.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using vesk::notRegularFile;

class FileKind : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vesk_filekind_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(FileKind, AFileOrNothingPassesAndAFolderIsNamed) {
    std::ofstream(dir / "a.bio") << "1\n";
    EXPECT_EQ(notRegularFile(dir / "a.bio"), std::nullopt);
    EXPECT_EQ(notRegularFile(dir / "missing.bio"), std::nullopt);
    EXPECT_EQ(notRegularFile(dir), "a folder");
}

#ifndef _WIN32
TEST_F(FileKind, PipesDevicesAndSocketsAreNamedAlsoBehindALink) {
    ASSERT_EQ(::mkfifo((dir / "fifo.bio").c_str(), 0600), 0);
    EXPECT_EQ(notRegularFile(dir / "fifo.bio"), "a named pipe");
    EXPECT_EQ(notRegularFile("/dev/zero"), "a device");
    fs::create_symlink("/dev/zero", dir / "zero.bio");
    EXPECT_EQ(notRegularFile(dir / "zero.bio"), "a device");
    std::ofstream(dir / "a.bio") << "1\n";
    fs::create_symlink(dir / "a.bio", dir / "link.bio");
    EXPECT_EQ(notRegularFile(dir / "link.bio"), std::nullopt);

    // A socket's path must fit in about a hundred bytes, whatever folder the tree lies in: it is
    // made in a short folder of its own under /tmp, and named through a link from the test's.
    std::string shortDir = "/tmp/vesk_socket.XXXXXX";
    ASSERT_NE(::mkdtemp(shortDir.data()), nullptr);
    const fs::path socketPath = fs::path(shortDir) / "s.bio";
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const bool fits = socketPath.string().size() < sizeof address.sun_path;
    if (fits) socketPath.string().copy(address.sun_path, socketPath.string().size());
    const bool bound = s >= 0 && fits &&
                       ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (bound) {
        EXPECT_EQ(notRegularFile(socketPath), "a socket");
        fs::create_symlink(socketPath, dir / "s.bio");
        EXPECT_EQ(notRegularFile(dir / "s.bio"), "a socket");
    }
    if (s >= 0) ::close(s);
    fs::remove_all(shortDir);
    EXPECT_GE(s, 0);
    EXPECT_TRUE(bound) << socketPath;
}
#endif

} // namespace
