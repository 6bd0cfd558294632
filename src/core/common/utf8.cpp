#include "core/common/utf8.h"

namespace veltrane {

bool nextUtf8Character(std::string_view text, std::size_t& pos, std::uint32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    int extra = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return true;
    }
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        codePoint = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        codePoint = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        codePoint = lead & 0x07u;
    } else {
        return false;
    }
    for (int k = 0; k < extra; ++k) {
        if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80)
            return false;
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3Fu);
    }
    static constexpr std::uint32_t kLowest[] = {0, 0x80, 0x800, 0x10000};
    return codePoint >= kLowest[extra] && codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint >= 0xE000);
}

bool isUtf8(std::string_view text) {
    std::size_t pos = 0;
    std::uint32_t codePoint = 0;
    while (pos < text.size())
        if (!nextUtf8Character(text, pos, codePoint))
            return false;
    return true;
}

}  // namespace veltrane
