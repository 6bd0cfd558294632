#include "core/common/windows1252.h"

#include "core/common/utf8.h"

#include <array>
#include <cstdio>

namespace veltrane {

namespace {

// 80..9F; the undefined bytes keep their own number (Latin-1 control characters).
constexpr std::array<std::uint16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::uint32_t windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80u] : byte;
}

std::optional<unsigned char> windows1252Byte(std::uint32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<unsigned char>(character);
    for (std::size_t k = 0; k < kHighControls.size(); ++k)
        if (kHighControls[k] == character)
            return static_cast<unsigned char>(0x80 + k);
    return std::nullopt;
}

std::string windows1252ToUtf8(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (const char c : stored)
        appendUtf8(out, windows1252Character(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> utf8ToWindows1252(std::string_view text, Windows1252Refusal* refusal) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::uint32_t character = 0;
        if (!nextUtf8Character(text, pos, character)) {
            if (refusal)
                *refusal = {true, 0};
            return std::nullopt;
        }
        const std::optional<unsigned char> byte = windows1252Byte(character);
        if (!byte) {
            if (refusal)
                *refusal = {false, character};
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
    }
    return out;
}

std::string utf8Character(std::uint32_t character) {
    std::string out;
    appendUtf8(out, character);
    return out;
}

std::string codePointName(std::uint32_t character) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(character));
    return name;
}

} // namespace veltrane
