// The user's guide that the build writes is a PDF of several pages with the windows' pictures.
#include <gtest/gtest.h>

#include <cstdlib>
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
std::string guideText() {
    const std::string out = std::string(VESK_GUIDE_PDF) + ".txt";
    const std::string command = "pdftotext -q '" + std::string(VESK_GUIDE_PDF) + "' '" + out + "'";
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream in(out, std::ios::binary);
    const std::string raw(std::istreambuf_iterator<char>(in), {});
    // Lines and pages break anywhere: every run of white space reads as one blank.
    return std::regex_replace(raw, std::regex("[ \\t\\r\\n\\f]+"), " ");
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

} // namespace
