#include "core/editor/profibus_config_data.h"

#include "core/common/hex.h"

namespace veltrane {

namespace {

// A length byte of a special identifier: 1..64 units, words when bit 6 is set.
int specialLength(std::uint8_t lengthByte) {
    const int units = (lengthByte & 0x3F) + 1;
    return (lengthByte & 0x40) ? 2 * units : units;
}

ProfibusConfigSizes invalid() { return {false, 255, 255}; }
}  // namespace

std::uint8_t hexPairToByte(char high, char low) {
    const int h = hexDigitValue(high);
    if (h < 0)
        return 0;
    const int l = hexDigitValue(low);
    if (l < 0)
        return static_cast<std::uint8_t>(h);
    return static_cast<std::uint8_t>(h * 16 + l);
}

std::vector<std::uint8_t> configDataBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3)
        bytes.push_back(hexPairToByte(text[i], text[i + 1]));
    return bytes;
}

ProfibusConfigSizes parseProfibusConfigData(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > static_cast<std::size_t>(kMaxConfigDataBytes))
        return invalid();
    ProfibusConfigSizes sizes{true, 0, 0};
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::uint8_t id = bytes[at];
        if ((id & 0x30) != 0) {
            int length = (id & 0x0F) + 1;
            if (id & 0x40)
                length *= 2;
            if (id & 0x10)
                sizes.inputTotal += length;
            if (id & 0x20)
                sizes.outputTotal += length;
            ++at;
            continue;
        }
        const std::size_t manufacturerBytes = id & 0x0F;
        if (manufacturerBytes == 15)
            return invalid();
        std::size_t next = at + 1;
        if (id & 0x80) {
            if (next >= bytes.size())
                return invalid();
            sizes.outputTotal += specialLength(bytes[next++]);
        }
        if (id & 0x40) {
            if (next >= bytes.size())
                return invalid();
            sizes.inputTotal += specialLength(bytes[next++]);
        }
        next += manufacturerBytes;
        if (next > bytes.size())
            return invalid();
        at = next;
    }
    if (sizes.inputTotal > kMaxProfibusIoBytes || sizes.outputTotal > kMaxProfibusIoBytes)
        return invalid();
    return sizes;
}

}  // namespace veltrane
