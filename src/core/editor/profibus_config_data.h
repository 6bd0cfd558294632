#pragma once
// PROFIBUS DP configuration data: the identifier bytes a DP master sends to declare a slave's
// input and output sizes, as the user types them ("D1 E1").

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace veltrane {

inline constexpr int kMaxConfigDataBytes = 8;
inline constexpr int kMaxProfibusIoBytes = 112;

struct ProfibusConfigSizes {
    bool valid = false;
    int inputTotal = 0;
    int outputTotal = 0;
};

// Two characters read together as a hexadecimal number; reading stops at the first character that
// is not a hex digit ("G1" -> 0, "1G" -> 1).
std::uint8_t hexPairToByte(char high, char low);

// The byte pairs of a configuration-data text: characters 0-1, 3-4, 6-7, ... while the pair is
// complete. Every pair is returned, also beyond eight, so that the caller can refuse the excess.
std::vector<std::uint8_t> configDataBytes(std::string_view text);

// Walks the general and special identifiers and adds up the input and output bytes. Invalid data
// (more than eight bytes, a truncated identifier, the reserved manufacturer count 15, or more than
// 112 bytes either way) reads as 255 bytes each. No bytes at all are valid and declare nothing.
ProfibusConfigSizes parseProfibusConfigData(std::span<const std::uint8_t> bytes);

}  // namespace veltrane
