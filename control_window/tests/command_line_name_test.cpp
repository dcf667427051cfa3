// The file named on the command line opens as typed when that file is there, else by its
// lower-cased name, else as the one file that matches it without regard to case; the messages
// name the folder looked in, or the files that match.
#include "cw_fixture.h"

#include "control_window/windows/editors/defineyoy.h"

namespace {

using cw::mc;
using plat::testing::ScriptedUser;
using ::testing::HasSubstr;

class CommandLineNameTest : public cwtest::CwTest {};

const char* const kYoy = " 1991  1991 \r\n 0  5 \r\n 5  1 \r\n";

TEST_F(CommandLineNameTest, TheNameOpensAsTypedThenLowerCasedThenByTheOneMatch) {
    struct Case {
        const char* line;
        std::vector<std::string> files;
        const char* opened; // nullptr: a message containing `message`
        const char* message = "";
    };
    const Case cases[] = {
        {"Snapper.yoy", {"Snapper.yoy", "snapper.yoy"}, "Snapper.yoy"},
        {"\"C:\\data\\Snapper.yoy\"", {"Snapper.yoy", "snapper.yoy"}, "Snapper.yoy"},
        {"/data/SNAPPER.YOY", {"snapper.yoy", "Snapper.Yoy"}, "snapper.yoy"},
        {"SNAPPER.yoy", {"Snapper.Yoy"}, "Snapper.Yoy"},
        {"STRÖM.YOY", {"ström.yoy"}, "ström.yoy"},
        {"STRÖM.yoy", {"Ström.Yoy"}, "Ström.Yoy"},
        // Bytes that are not UTF-8 (Latin-1 "ö") are a name of their own.
        {"str\xF6m.yoy", {"str\xF6m.yoy"}, "str\xF6m.yoy"},
        {"snapper.YOY",
         {"Snapper.Yoy", "SNAPPER.yoy"},
         nullptr,
         "matches several files of the folder "},
        {"Gone.yoy",
         {"other.yoy"},
         nullptr,
         "The recruitment data file Gone.yoy is not in the folder "},
    };
    int k = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        // A folder of each case's own.
        const std::filesystem::path here = folder_ / std::to_string(++k);
        std::filesystem::create_directories(here);
        plat::setCurrentFolder(here.string());
        for (const std::string& f : c.files)
            writeFile((here / f).string(), kYoy);
        cw::resetMaincode();
        plat::unloadAll();
        plat::resetEndRequest();
        plat::setCommandLine(std::string(c.line));
        ScriptedUser user;
        if (!c.opened) {
            std::string text;
            cwtest::keepText(user, text);
            user.act(cwtest::closeWindow<cw::DefineYOY>());
            EXPECT_EQ(cw::Main(), 0);
            EXPECT_THAT(text, HasSubstr(c.message));
            EXPECT_THAT(text, HasSubstr(plat::currentFolder()));
            if (c.files.size() > 1) {
                for (const std::string& f : c.files)
                    EXPECT_THAT(text, HasSubstr(f));
            }
            EXPECT_EQ(mc.yoyfile, "");
        } else {
            user.act([] {
                // The window shows the file's values and takes it as its own.
                EXPECT_EQ(plat::instance<cw::DefineYOY>().i_byr.text(), "1991");
                plat::instance<cw::DefineYOY>().closeBox();
            });
            EXPECT_EQ(cw::Main(), 0);
            EXPECT_EQ(mc.yoyfile, (here / c.opened).string());
        }
        EXPECT_TRUE(user.finished());
    }
}

} // namespace
