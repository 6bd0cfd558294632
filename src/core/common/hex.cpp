#include "core/common/hex.h"

namespace veltrane {

namespace {
char digit(unsigned value, HexCase letters) {
    static constexpr char lower[] = "0123456789abcdef";
    static constexpr char upper[] = "0123456789ABCDEF";
    return (letters == HexCase::Upper ? upper : lower)[value & 0x0F];
}
}  // namespace

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendHexByte(std::string& out, std::uint8_t byte, HexCase letters) {
    out += digit(byte >> 4, letters);
    out += digit(byte, letters);
}

std::string hexBytesText(ByteView bytes, std::string_view separator, SeparatorAfterLast after) {
    std::string out;
    out.reserve(bytes.size() * (2 + separator.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += separator;
        appendHexByte(out, bytes[i]);
    }
    if (after == SeparatorAfterLast::Yes && !bytes.empty())
        out += separator;
    return out;
}

std::optional<Bytes> bytesFromHexText(std::string_view text) {
    if (text.size() % 2 != 0)
        return std::nullopt;
    Bytes bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = hexDigitValue(text[i]);
        const int low = hexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::string hexNumberText(std::uint64_t value, HexCase letters) {
    std::string text;
    do {
        text.insert(text.begin(), digit(static_cast<unsigned>(value % 16), letters));
        value /= 16;
    } while (value != 0);
    return text;
}

}  // namespace veltrane
