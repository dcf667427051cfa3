#include "text_routines.h"

#include <climits>
#include <cstdlib>

#include "error_stack.h"

namespace tez {

namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

template <typename Equal> int search(std::string_view text, std::string_view key, Equal equal) {
    if (text.empty() || key.empty() || key.size() > text.size()) return 0;
    for (std::size_t i = 0; i + key.size() <= text.size(); ++i) {
        std::size_t j = 0;
        while (j < key.size() && equal(text[i + j], key[j]))
            ++j;
        if (j == key.size()) return static_cast<int>(i + 1);
    }
    return 0;
}

} // namespace

int search_nocase(std::string_view text, std::string_view key) {
    return search(text, key, [](char a, char b) { return upper(a) == upper(b); });
}

int search_exact(std::string_view text, std::string_view key) {
    return search(text, key, [](char a, char b) { return a == b; });
}

int first_not_in_set(std::string_view text, std::string_view set) {
    if (text.empty() || set.empty()) return 1;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (set.find(text[i]) == std::string_view::npos) return static_cast<int>(i + 1);
    return 0;
}

int integer_to_text(int value, int width, std::string& out) {
    if (width < 1) return -1;
    // Through a long long so that the most negative integer keeps its digits.
    long long v = value;
    const bool negative = v < 0;
    if (negative) v = -v;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + v % 10));
        v /= 10;
    } while (v != 0);
    if (negative) digits.insert(digits.begin(), '-');
    const int length = static_cast<int>(digits.size());
    if (length > width) {
        out.assign(static_cast<std::size_t>(width), '*');
        return length - width;
    }
    out.assign(static_cast<std::size_t>(width - length), ' ');
    out += digits;
    return 0;
}

int text_to_integer(std::string_view text, int& value) {
    value = 0;
    if (text.empty()) return -1;
    const int n = static_cast<int>(text.size());
    int p = 0;
    while (p < n && text[p] == ' ')
        ++p;
    if (p == n) return 1;
    bool negative = false;
    if (text[p] == '+' || text[p] == '-') {
        negative = text[p] == '-';
        ++p;
        while (p < n && text[p] == ' ')
            ++p;
    }
    while (p < n && text[p] == '0')
        ++p;
    const long long largest = IMACH(5);
    long long v = 0;
    while (p < n && text[p] >= '0' && text[p] <= '9') {
        v = v * 10 + (text[p] - '0');
        if (v > largest) return -2;
        ++p;
    }
    value = static_cast<int>(negative ? -v : v);
    return p == n ? 0 : p + 1;
}

int char_code(char c) {
    return static_cast<unsigned char>(c);
}

int char_code_upper(char c) {
    return char_code(upper(c));
}

} // namespace tez
