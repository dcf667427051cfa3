// The names a reader refuses before it opens them.
#include "common/filekind.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (dir / "s.bio").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(notRegularFile(dir / "s.bio"), "a socket");
    ::close(s);
}
#endif

} // namespace
