#pragma once
// Eight bytes of a text at once, for the long runs of a huge line or item: a test on all eight
// stands for eight tests of a byte.
#include <cstdint>
#include <cstring>

namespace vesk {

constexpr std::uint64_t kEachByte = 0x0101010101010101;

inline std::uint64_t eightBytes(const char* at) {
    std::uint64_t x = 0;
    std::memcpy(&x, at, sizeof x);
    return x;
}
// Whether one of the eight is `c`.
inline bool holdsByte(std::uint64_t x, unsigned char c) {
    const std::uint64_t v = x ^ (kEachByte * c);
    return ((v - kEachByte) & ~v & (kEachByte * 0x80)) != 0;
}
inline bool allAscii(std::uint64_t x) {
    return (x & (kEachByte * 0x80)) == 0;
}
inline bool allDigits(std::uint64_t x) {
    return (x & (kEachByte * 0xF0)) == kEachByte * 0x30 &&
           ((x + kEachByte * 0x06) & (kEachByte * 0xF0)) == kEachByte * 0x30;
}

} // namespace vesk
