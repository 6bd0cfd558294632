#pragma once
// Byte strings written as hexadecimal text in tests ("00 00 00 0E" or "0000000E").

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane::testing {

inline std::vector<std::uint8_t> hexBytes(std::string_view text) {
    std::vector<std::uint8_t> out;
    int high = -1;
    for (const char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c == ' ' || c == ',')
            continue;
        else
            throw std::invalid_argument("not a hex digit");
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0)
        throw std::invalid_argument("odd number of hex digits");
    return out;
}

inline std::string hexText(const std::vector<std::uint8_t>& bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const std::uint8_t b : bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

}  // namespace veltrane::testing
