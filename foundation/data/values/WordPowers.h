#pragma once

#include <array>

// The powers of ten a 128-bit word holds, 10^0 to 10^38: the scales of the
// exact figures (Decimal, ScaledNumber).
namespace WordPowers
{

// Every magnitude of up to 38 digits fits the 128-bit word (10^38 < 2^128).
constexpr int kWordDigits = 38;

constexpr std::array<unsigned __int128, kWordDigits + 1> Make()
{
    std::array<unsigned __int128, kWordDigits + 1> p{};
    unsigned __int128 v = 1;
    for (auto& x : p) {
        x = v;
        v *= 10;
    }
    return p;
}

inline constexpr std::array<unsigned __int128, kWordDigits + 1> kPow10 = Make();

} // namespace WordPowers
