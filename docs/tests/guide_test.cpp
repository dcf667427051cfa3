// The user's guide that the build writes is a PDF of several pages with the windows' pictures.
#include <gtest/gtest.h>

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

} // namespace
