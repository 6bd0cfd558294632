#include "core/debug/send_validation.h"

#include "core/common/hex.h"
#include "core/strings/strings.h"

#include <string>

namespace veltrane {

namespace {
Error refusal(Str message) { return makeError(ErrorKind::Format, tr(message)); }

bool allowed(std::string_view text) {
    for (const char c : text)
        if (hexDigitValue(c) < 0 && c != ' ')
            return false;
    return true;
}

// Send's own digit rule: unlike everywhere else, a blank inside a pair is read as 0. Only called
// on allowed characters.
int digitOrBlankValue(char c) { return c == ' ' ? 0 : hexDigitValue(c); }
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
        address = address * 16 + static_cast<std::uint32_t>(digitOrBlankValue(addressText[i]));
    if (address < kOutputBufferFirst || address > kOutputBufferLast)
        return refusal(Str::DebugAddressOutOfRange);

    WritePayload payload;
    payload.address = static_cast<std::uint16_t>(address);
    for (std::size_t p = 0; p + 1 < dataText.size(); p += 3)
        payload.data.push_back(
            static_cast<std::uint8_t>(digitOrBlankValue(dataText[p]) * 16 + digitOrBlankValue(dataText[p + 1])));
    // A lone digit or blank would otherwise send a write of nothing.
    if (payload.data.empty())
        return refusal(Str::DebugFormatIncorrect);
    if (static_cast<std::int64_t>(address + payload.data.size() - 1) > kOutputBufferLast)
        return refusal(Str::DebugAddressOutOfRange);
    if (transport == DebugTransport::Serial && payload.data.size() > kSerialWriteMaxBytes)
        return refusal(Str::DebugFormatIncorrect);
    return payload;
}

}  // namespace veltrane
