// The user's guide that the build writes is a PDF of several pages with the windows' pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

TEST(Guide, IsAPdfOfMoreThanOnePageWithPictures) {
    std::ifstream in(VESK_GUIDE_PDF, std::ios::binary);
    ASSERT_TRUE(in) << VESK_GUIDE_PDF;
    const std::string pdf(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(pdf.rfind("%PDF-1.", 0), 0u);
    EXPECT_NE(pdf.find("%%EOF", pdf.size() > 64 ? pdf.size() - 64 : 0), std::string::npos);
    // The page tree says how many pages there are; every page is an object of its own.
    std::smatch count;
    ASSERT_TRUE(std::regex_search(pdf, count, std::regex("/Type /Pages[^>]*/Count (\\d+)")));
    const int pages = std::stoi(count[1]);
    EXPECT_GT(pages, 1);
    const std::regex page("/Type /Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), {}), pages);
    EXPECT_NE(pdf.find("/Subtype /Image"), std::string::npos);
}

// The guide's text as the PDF holds it: Qt writes each line's glyphs as a hex string of glyph
// numbers, so the test reads the text through pdftotext when it is installed.
// Lines break anywhere: every run of white space reads as one blank, and a page's end as a form
// feed when `pages` is set (otherwise as a blank too).
std::string guideText(bool pages = false) {
    // A file of each test's own, in the temporary folder: the tests run side by side, and nothing
    // is left beside the programs.
    const std::string out =
        (std::filesystem::temp_directory_path() /
         (std::string("vesk_guide_") +
          ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt"))
            .string();
    const std::string command = "pdftotext -q '" + std::string(VESK_GUIDE_PDF) + "' '" + out + "'";
    if (std::system(command.c_str()) != 0) return {};
    std::string raw;
    {
        std::ifstream in(out, std::ios::binary);
        raw.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::remove(out);
    if (!pages) return std::regex_replace(raw, std::regex("[ \\t\\r\\n\\f]+"), " ");
    const std::string lines = std::regex_replace(raw, std::regex("[ \\t\\r\\n]+"), " ");
    return std::regex_replace(lines, std::regex(" ?\\f ?"), "\f");
}

TEST(Guide, SaysWhatTheEngineWritesAndWhatFmultIs) {
    const std::string text = guideText();
    if (text.empty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    EXPECT_EQ(text.find("asterisk"), std::string::npos);
    EXPECT_NE(text.find("exponent form of the same width"), std::string::npos);
    EXPECT_NE(text.find("annual apical F"), std::string::npos);
    EXPECT_EQ(text.find("multiplier of the year's fishing mortalities"), std::string::npos);
    EXPECT_NE(text.find("Figure 1."), std::string::npos);
    EXPECT_NE(text.find("share/vesk/examples"), std::string::npos);
}

// A sample of the console or of a file stands on one page, and a table's heading row on the page
// of its first rows: from the first text to the last, no page ends.
TEST(Guide, KeepsSamplesAndTableHeadsOnOnePage) {
    const std::string text = guideText(true);
    if (text.empty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const struct {
        const char* from;
        const char* to;
    } together[] = {
        {"cp -r <prefix>/share/vesk/examples", "cd ~/snapper"},
        {"F mult YOY", "0.111847E+03"},
        {"Yr Bunfished", "0.130961E+00"},
        {"TEZ evaluations for selectivities in year", "0.46622"},
        {"status meaning", "every listed year was evaluated"},
        {"column what the engine prints", "the equilibrium recruitment"},
        {"row what the engine writes", "YIELD IN BIOMASS"},
        {"SEL the selectivity at that age", "largest value over the ages"},
        {"key what it does on the graph", "Right or Tab"},
    };
    for (const auto& t : together) {
        const size_t from = text.find(t.from);
        ASSERT_NE(from, std::string::npos) << t.from;
        const size_t to = text.find(t.to, from);
        ASSERT_NE(to, std::string::npos) << t.to;
        EXPECT_EQ(text.find('\f', from), text.find('\f', to)) << t.from;
    }
}

TEST(Guide, SaysWhereToClickSoThatNoPointMovesAndWhatTheKeysDo) {
    const std::string text = guideText();
    if (text.empty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    for (const char* said : {"left of the y axis", "first moves the point under the pointer",
                             "Escape or Return closes the graph and keeps the values",
                             "Make same as males", "Load File and snapper.bio",
                             "Choose the fecundity option (A or L) in the Fecundity window first.",
                             "without a question: edits not saved are lost",
                             "(or Escape, Return or Space) hides the plot", "(or Ctrl+S)"})
        EXPECT_NE(text.find(said), std::string::npos) << said;
}

// What the windows do where their captions do not say it.
TEST(Guide, SaysWhatTheViewerOptionsTheGrowthButtonsAndTheRefusalsAre) {
    const std::string text = guideText();
    if (text.empty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    for (const char* said :
         {"draws the yield and the fishing mortality against the biomass",
          "it draws only with As a Function of Biomass", "computes the males' lengths",
          "the second, without a caption, the females'",
          "A title that holds a comma is refused at save", "a file name longer than 12 characters",
          "3 is Ricker, 4 is Beverton-Holt", "refuses a biology file with any other option"})
        EXPECT_NE(text.find(said), std::string::npos) << said;
}

} // namespace
