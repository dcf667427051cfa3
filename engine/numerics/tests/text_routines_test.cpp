#include "text_routines.h"

#include <gtest/gtest.h>

#include <string>

using namespace tez;

namespace {

TEST(TextRoutines, Searches) {
    EXPECT_EQ(search_nocase("Error %(i1) here", "%(I1)"), 7);
    EXPECT_EQ(search_exact("Error %(i1) here", "%(I1)"), 0);
    EXPECT_EQ(search_exact("ab%/cd%/", "%/"), 3);
    EXPECT_EQ(search_nocase("", "a"), 0);
    EXPECT_EQ(search_nocase("ab", "abc"), 0);
    EXPECT_EQ(first_not_in_set("   42", " "), 4);
    EXPECT_EQ(first_not_in_set("   ", " "), 0);
    EXPECT_EQ(first_not_in_set("", " "), 1);
}

TEST(TextRoutines, Integers) {
    std::string out;
    EXPECT_EQ(integer_to_text(-42, 6, out), 0);
    EXPECT_EQ(out, "   -42");
    EXPECT_EQ(integer_to_text(0, 3, out), 0);
    EXPECT_EQ(out, "  0");
    EXPECT_EQ(integer_to_text(123456, 4, out), 2);
    EXPECT_EQ(out, "****");
    EXPECT_EQ(integer_to_text(1, 0, out), -1);

    int v = 0;
    EXPECT_EQ(text_to_integer("  - 0042", v), 0);
    EXPECT_EQ(v, -42);
    EXPECT_EQ(text_to_integer("+7", v), 0);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(text_to_integer("12a", v), 3);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(text_to_integer("   ", v), 1);
    EXPECT_EQ(text_to_integer("", v), -1);
    EXPECT_EQ(text_to_integer("2147483647", v), 0);
    EXPECT_EQ(v, 2147483647);
    EXPECT_EQ(text_to_integer("2147483648", v), -2);
}

TEST(TextRoutines, CharacterCodes) {
    EXPECT_EQ(char_code('a'), 97);
    EXPECT_EQ(char_code_upper('a'), 65);
    EXPECT_EQ(char_code_upper('%'), 37);
}

} // namespace
