// What the platform layer does with names and files that are not what they should be: readers
// refuse what is not a regular file, and messages and captions show every byte of a name.
#include "common/testing/named_pipe.h"
#include "platform/form.h"
#include "platform/prompts.h"
#include "platform/seqfile.h"
#include "platform/system.h"
#include "platform/testing/scripted_user.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
TEST(OddInput, ReadersAndCopiesTakeOnlyRegularFiles) {
    QTemporaryDir tmp;
    const fs::path dir(tmp.path().toStdString());
    vesktest::NamedPipe pipe(dir / "fifo.ndf");
    ASSERT_TRUE(pipe.made());
    fs::create_directory(dir / "folder.ndf");
    const std::pair<std::string, std::string> cases[] = {
        {pipe.path(), "it is a named pipe, not a file"},
        {"/dev/zero", "it is a device, not a file"},
        {(dir / "folder.ndf").string(), "it is a folder, not a file"},
    };
    for (const auto& [name, why] : cases) {
        SCOPED_TRACE(name);
        plat::SeqFile& f = plat::fileNumber(9);
        EXPECT_FALSE(f.openInput(name));
        EXPECT_EQ(f.error(), why);
        EXPECT_FALSE(f.isOpen());
        std::string error;
        EXPECT_FALSE(plat::copyFile(name, (dir / "copy.000").string(), &error));
        EXPECT_EQ(error, why);
        EXPECT_FALSE(fs::exists(dir / "copy.000"));
    }
}
#endif

TEST(OddInput, MessagesAndCaptionsShowEveryByteOfANameAndKeepTheirLines) {
    const std::string name = "gnp.\xE2\x80\xAE"
                             "oib";
    const std::string shown = "gnp.\\xE2\\x80\\xAEoib";
    {
        plat::testing::ScriptedUser user;
        user.message("Cannot plot " + shown + ":\n\tit holds\\x00 nothing.");
        plat::msgBox("Cannot plot " + name + ":\n\tit holds" + std::string(1, '\0') + " nothing.");
        EXPECT_TRUE(user.finished());
    }
    plat::Form window("start", "Ostrel");
    window.setCaption(name);
    EXPECT_EQ(window.caption(), shown);
    window.setCaption("a\xEF\xBB\xBF"
                      "b.pmo");
    EXPECT_EQ(window.caption(), "a\\xEF\\xBB\\xBFb.pmo");
}

} // namespace
