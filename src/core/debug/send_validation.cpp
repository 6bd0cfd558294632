#include "core/debug/send_validation.h"

#include "core/strings/strings.h"

#include <string>

namespace veltrane {

namespace {
Error refusal(Str message) { return makeError(ErrorKind::Format, tr(message)); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

bool allowed(std::string_view text) {
    for (const char c : text)
        if (!isHexDigit(lower(c)) && c != ' ')
            return false;
    return true;
}

// Only called on allowed characters; a space is read as 0.
int digitValue(char c) {
    c = lower(c);
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}
}  // namespace

Result<WritePayload> validateSend(std::string_view addressText, std::string_view dataText, DebugTransport transport) {
    if (addressText.empty() || dataText.empty())
        return refusal(Str::DebugPleaseComplete);
    if (!allowed(addressText) || !allowed(dataText))
        return refusal(Str::DebugIllegalCharacters);
    for (std::size_t i = 2; i < dataText.size(); i += 3)
        if (dataText[i] != ' ')
            return refusal(Str::DebugFormatIncorrect);
    if (addressText.size() != 4)
        return refusal(Str::DebugFormatIncorrect);

    // Read like "%x": leading blanks skipped, then digits up to the first blank. An address with
    // a blank inside therefore reads short and lands outside the buffer.
    std::size_t i = 0;
    while (i < addressText.size() && addressText[i] == ' ')
        ++i;
    std::uint32_t address = 0;
    for (; i < addressText.size() && addressText[i] != ' '; ++i)
        address = address * 16 + static_cast<std::uint32_t>(digitValue(addressText[i]));
    if (address < kOutputBufferFirst || address > kOutputBufferLast)
        return refusal(Str::DebugAddressOutOfRange);

    WritePayload payload;
    payload.address = static_cast<std::uint16_t>(address);
    for (std::size_t p = 0; p + 1 < dataText.size(); p += 3)
        payload.data.push_back(static_cast<std::uint8_t>(digitValue(dataText[p]) * 16 + digitValue(dataText[p + 1])));
    // A lone digit or blank would otherwise send a write of nothing.
    if (payload.data.empty())
        return refusal(Str::DebugFormatIncorrect);
    if (address + payload.data.size() - 1 > kOutputBufferLast)
        return refusal(Str::DebugAddressOutOfRange);
    if (transport == DebugTransport::Serial && payload.data.size() > kSerialWriteMaxBytes)
        return refusal(Str::DebugFormatIncorrect);
    return payload;
}

}  // namespace veltrane
