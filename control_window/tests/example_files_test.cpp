// The bundled example is a file the editors keep: loaded and saved unchanged, it is the same.
#include "bio_test_support.h"

#include "control_window/windows/editors/definebio.h"

namespace {

using biotest::BioTest;
using biotest::User;

TEST_F(BioTest, TheExampleBiologySavesBackByteForByte) {
    const std::string example = cwtest::readFile(std::string(VESK_EXAMPLES_DIR) + "/snapper.bio");
    ASSERT_FALSE(example.empty());
    const std::string source = path("snapper.bio");
    writeFile(source, example);
    {
        User user;
        user.fileDialog("Load biological data", source);
        plat::instance<cw::DefineBio>().Loadbio.click();
        EXPECT_TRUE(user.finished());
    }
    const std::string target = path("again.bio");
    {
        User user;
        user.fileDialog("Save biological data", target);
        plat::instance<cw::DefineBio>().SaveBio.click();
        EXPECT_TRUE(user.finished());
    }
    EXPECT_EQ(readFile(target), example);
}

} // namespace
