#pragma once
// Constants of the object-archive stream shared by its reader and writer.

#include <cstdint>

namespace veltrane::archive {

// Text length prefixes: a byte, then escapes to a word, a double word and a quad word.
inline constexpr std::uint8_t kByteLengthEscape = 0xFF;
inline constexpr std::uint16_t kWideMarker = 0xFFFE;  // after 0xFF: a text of 16-bit characters follows
inline constexpr std::uint16_t kWordLengthEscape = 0xFFFF;
inline constexpr std::uint32_t kDwordLengthEscape = 0xFFFFFFFF;
// Longer texts cannot be held; a stream that claims one is refused.
inline constexpr std::uint64_t kMaxTextLength = 0x7FFFFFFF;

// Object tags.
inline constexpr std::uint16_t kNullTag = 0x0000;
inline constexpr std::uint16_t kNewClassTag = 0xFFFF;
inline constexpr std::uint16_t kClassTag = 0x8000;        // ORed with the index of a known class
inline constexpr std::uint16_t kBigObjectTag = 0x7FFF;    // a 32-bit tag follows
inline constexpr std::uint32_t kBigClassTag = 0x80000000;  // in a 32-bit tag: a class index

}  // namespace veltrane::archive
