#pragma once
// Texts as project files hold them: one byte a character in the Windows-1252 code page. The
// records keep those bytes untouched; this is the one place that turns them into UTF-8 to be
// shown (windows, workbooks, terminal output) and typed UTF-8 back into bytes to be stored.
//
// Every byte has a character: the five bytes the code page leaves undefined (81, 8D, 8F, 90, 9D)
// are read as the Latin-1 control characters of the same number, so any stored text shows
// without a replacement character and a shown text stores back to the very same bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrane {

// The character a stored byte stands for.
std::uint32_t windows1252Character(unsigned char byte);

// The byte that stores a character; none for a character the code page cannot hold.
std::optional<unsigned char> windows1252Byte(std::uint32_t character);

// Stored bytes as UTF-8.
std::string windows1252ToUtf8(std::string_view stored);

// Why a UTF-8 text cannot be stored: the first character that has no byte, or text that is no
// UTF-8 at all.
struct Windows1252Refusal {
    bool notUtf8 = false;
    std::uint32_t character = 0; // when !notUtf8
};

// The bytes that store a UTF-8 text; on failure nothing, and `refusal` says why.
std::optional<std::string> utf8ToWindows1252(std::string_view text, Windows1252Refusal* refusal = nullptr);

// A character as UTF-8 and its code point as "U+4E2D", for messages.
std::string utf8Character(std::uint32_t character);
std::string codePointName(std::uint32_t character);

} // namespace veltrane
