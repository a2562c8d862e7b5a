#pragma once

#include <charconv>
#include <string>

// A double's shortest round-trip digits (std::to_chars) written out in plain
// decimal form by string work alone ("1e-07" as "0.0000001", "-0" as "0"):
// the oracle of what a window shows of a stored figure.
inline std::string PlainOracle(double d)
{
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    std::string s(buf, written.ptr);
    bool negative = s.front() == '-';
    if (negative)
        s.erase(0, 1);
    const size_t e = s.find('e');
    const int exponent = std::stoi(s.substr(e + 1));
    std::string digits;
    for (const char c : s.substr(0, e))
        if (c != '.')
            digits += c;
    const long before = long(exponent) + 1; // the digits before the point
    std::string out;
    if (before <= 0)
        out = "0." + std::string(size_t(-before), '0') + digits;
    else if (size_t(before) >= digits.size())
        out = digits + std::string(size_t(before) - digits.size(), '0');
    else
        out = digits.substr(0, size_t(before)) + "." + digits.substr(size_t(before));
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0')
            out.pop_back();
        if (out.back() == '.')
            out.pop_back();
    }
    if (out == "0")
        negative = false;
    return (negative ? "-" : "") + out;
}
