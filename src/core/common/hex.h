#pragma once
// Hexadecimal digits read and written the one way the tool does everywhere: bytes as two digits
// each, numbers without leading zeros.

#include "core/common/bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrane {

enum class HexCase { Lower, Upper };

// Whether a separator also follows the last byte ("00 01 " rather than "00 01").
enum class SeparatorAfterLast { No, Yes };

// The value of one hexadecimal digit (either case), -1 for any other character.
int hexDigitValue(char c);

// Two digits for the byte ("0a"), appended.
void appendHexByte(std::string& out, std::uint8_t byte, HexCase letters = HexCase::Lower);

// Two lower-case digits per byte with the separator between them ("00-1a-ff").
std::string hexBytesText(ByteView bytes, std::string_view separator = {},
                         SeparatorAfterLast after = SeparatorAfterLast::No);

// Pairs of digits (either case) with nothing between them; nothing for an odd length or any other
// character.
std::optional<Bytes> bytesFromHexText(std::string_view text);

// A number as "%x" or "%X" writes it: no prefix, no leading zeros ("0", "1eb").
std::string hexNumberText(std::uint64_t value, HexCase letters = HexCase::Lower);

}  // namespace veltrane
