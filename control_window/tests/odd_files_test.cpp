// What the control window does with files that are not what a definition file should be: a
// named pipe or a device typed as a name, an item of megabytes, and a folder a save cannot write
// into.
#include "cw_fixture.h"

#include "common/testing/named_pipe.h"
#include "common/testing/small_disk.h"
#include "control_window/files/biofile.h"
#include "control_window/files/fisheryfile.h"
#include "control_window/files/indexfile.h"
#include "control_window/files/runfile.h"
#include "control_window/files/yoyfile.h"
#include "control_window/windows/editors/definebio.h"
#include "control_window/windows/editors/defineyoy.h"
#include "platform/seqfile.h"

#ifdef __linux__
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

using cw::mc;
using ::testing::HasSubstr;
using User = plat::testing::ScriptedUser;

class OddFilesTest : public cwtest::CwTest {};

// Reads the open file f with a definition reader into data of its own; the problem found.
template <class Data, auto read>
std::optional<std::string> readWith(plat::SeqFile& f, const std::string& name) {
    Data into;
    return read(f, name, into);
}

#ifndef _WIN32
// Named on the command line, a pipe would keep every window from coming up.
TEST_F(OddFilesTest, APipeNamedOnTheCommandLineIsRefusedAndTheEditorComesUp) {
    vesktest::NamedPipe pipe(path("fifo.bio"));
    ASSERT_TRUE(pipe.made());
    plat::setCommandLine(std::string("fifo.bio"));
    {
        User user;
        cwtest::messageWith(user, {"The biological data file fifo.bio cannot be read",
                                   "it is a named pipe, not a file"});
        user.act(cwtest::closeWindow<cw::DefineBio>());
        EXPECT_EQ(cw::Main(), 0);
        EXPECT_TRUE(user.finished());
    }
    EXPECT_TRUE(mc.biofile.empty());
}

// Typed into the load dialog, a device such as /dev/zero would be read until memory runs out.
TEST_F(OddFilesTest, ADeviceOrAPipeTypedIntoTheLoadDialogIsRefusedAndTheWindowKeepsItsFile) {
    vesktest::NamedPipe pipe(path("fifo.yoy"));
    ASSERT_TRUE(pipe.made());
    std::filesystem::create_symlink("/dev/zero", path("zero.yoy"));
    for (const std::string& name : {std::string("/dev/zero"), path("zero.yoy"), pipe.path()}) {
        SCOPED_TRACE(name);
        plat::unloadAll();
        mc.yoyfile = "kept.yoy";
        User user;
        user.fileDialog("Load Recruitment data", name);
        cwtest::messageWith(user, {"Cannot read the file " + name,
                                   name == pipe.path() ? "it is a named pipe, not a file"
                                                       : "it is a device, not a file"});
        plat::instance<cw::DefineYOY>().loadyoy.click();
        EXPECT_TRUE(user.finished());
        EXPECT_EQ(mc.yoyfile, "kept.yoy");
        EXPECT_FALSE(plat::fileNumber(4).isOpen());
    }
}
#endif

// A first item of 10 MB without a blank: the message quotes its first characters and its length,
// so that it is short to lay out, and names the file.
TEST_F(OddFilesTest, AHugeItemIsQuotedCutWithItsLength) {
    using Read = std::optional<std::string> (*)(plat::SeqFile&, const std::string&);
    const std::pair<const char*, Read> readers[] = {
        {"a.bio", readWith<cw::BioData, cw::readBioFile>},
        {"a.yoy", readWith<cw::YoyData, cw::readYoyFile>},
        {"a.fst", readWith<cw::FisheryData, cw::readFstFile>},
        {"a.ndf", readWith<cw::IndexData, cw::readIndexFile>},
        {"a.run", readWith<cw::RunData, cw::readRunFile>},
    };
    const std::string huge(10 << 20, '7');
    for (const auto& [name, read] : readers) {
        SCOPED_TRACE(name);
        writeFile(path(name), huge + "\r\n1\r\n");
        plat::SeqFile& f = plat::fileNumber(7);
        ASSERT_TRUE(f.openInput(path(name)));
        const std::optional<std::string> problem = read(f, path(name));
        f.close();
        ASSERT_TRUE(problem);
        EXPECT_THAT(*problem, HasSubstr(path(name)));
        EXPECT_THAT(*problem,
                    HasSubstr(std::string(40, '7') + "\xE2\x80\xA6 (10485760 characters)"));
        // The file's path stands whole, however deep the folder lies; the rest is short.
        EXPECT_LT(problem->size() - path(name).size(), 300u) << problem->substr(0, 600);
    }
}

#ifdef __linux__
// A save into a folder that cannot take it gives the system's reason, also where the file itself
// could be written.
TEST_F(OddFilesTest, ASaveIntoAReadOnlyFolderSaysWhy) {
    vesktest::SmallDisk disk(64 * 1024);
    VESK_NEED_SMALL_DISK(disk);
    const std::string file = disk.path("a.yoy");
    writeFile(file, "earlier\r\n");
    const std::string folder = file.substr(0, file.rfind('/'));
    ASSERT_EQ(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    User user;
    user.fileDialog("Save Recruitment data", file);
    cwtest::messageWith(user, {"Cannot write the file " + file + ": Read-only file system"});
    plat::SeqFile& f = plat::fileNumber(4);
    std::string name;
    cw::openoutput(name, "Save Recruitment data", "Recruitment output file (*.yoy)|*.yoy", 4);
    EXPECT_TRUE(user.finished());
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(readFile(file), "earlier\r\n");
}

// Root writes into any folder whatever its permissions: while the test runs, the main thread gives
// up that right and writes as any other user would. Nothing when the capabilities cannot be
// changed.
class WithoutFileOverride {
  public:
    WithoutFileOverride() {
        if (::syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutFileOverride() {
        if (active_) ::syscall(SYS_capset, &header_, saved_);
    }
    bool active() const { return active_; }

  private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] = {};
    bool active_ = false;
};

TEST_F(OddFilesTest, ASaveIntoAFolderWithoutWritePermissionSaysWhy) {
    std::filesystem::create_directory(path("locked"));
    const std::string file = path("locked/a.yoy");
    writeFile(file, "earlier\r\n");
    std::filesystem::permissions(path("locked"), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
    {
        WithoutFileOverride asAUser;
        if (::geteuid() == 0 && !asAUser.active()) GTEST_SKIP() << "root may write into any folder";
        User user;
        user.fileDialog("Save Recruitment data", file);
        cwtest::messageWith(user, {"Cannot write the file " + file + ": Permission denied"});
        std::string name;
        cw::openoutput(name, "Save Recruitment data", "Recruitment output file (*.yoy)|*.yoy", 4);
        EXPECT_TRUE(user.finished());
    }
    std::filesystem::permissions(path("locked"), std::filesystem::perms::owner_all);
    EXPECT_EQ(readFile(file), "earlier\r\n");
}
#endif

} // namespace
