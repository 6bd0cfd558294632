#pragma once
// Bytes written as hex pairs ("03 0E 00"), the way protocol examples are given.

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane::testing {

inline std::vector<std::uint8_t> hexBytes(std::string_view text) {
    std::vector<std::uint8_t> out;
    std::istringstream in{std::string(text)};
    std::string pair;
    while (in >> pair)
        out.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
    return out;
}

inline std::string hexText(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char pair[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X ", b);
        out += pair;
    }
    if (!out.empty())
        out.pop_back();
    return out;
}

} // namespace veltrane::testing
