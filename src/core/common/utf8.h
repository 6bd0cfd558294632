#pragma once
// Reading UTF-8 text one character at a time.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace veltrane {

// Decodes the character at `pos` and moves past it. False for bytes that are no UTF-8 (a stray
// continuation byte, a truncated sequence, an overlong form, a surrogate, beyond U+10FFFF).
bool nextUtf8Character(std::string_view text, std::size_t& pos, std::uint32_t& codePoint);

// True when the whole text is UTF-8.
bool isUtf8(std::string_view text);

}  // namespace veltrane
