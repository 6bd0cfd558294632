#pragma once
// Hex strings for the codec tables: blanks are ignored when reading, none are written.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane::testing {

inline std::vector<std::uint8_t> fromHex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            continue;
        if (high < 0) {
            high = v;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    return bytes;
}

inline std::string toHex(std::span<const std::uint8_t> bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

inline std::string normalHex(std::string_view text) { return toHex(fromHex(text)); }

}  // namespace veltrane::testing
