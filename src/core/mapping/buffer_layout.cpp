#include "core/mapping/buffer_layout.h"

namespace veltrane {

CommandClass classifyFunctionCodeText(std::string_view functionCode) {
    if (functionCode == "1" || functionCode == "2")
        return CommandClass::ReadBits;
    if (functionCode == "3" || functionCode == "4")
        return CommandClass::ReadRegisters;
    if (functionCode == "5" || functionCode == "15")
        return CommandClass::WriteBits;
    if (functionCode == "6" || functionCode == "16")
        return CommandClass::WriteRegisters;
    return CommandClass::None;
}

CommandClass classifyFunctionCode(std::int32_t code) {
    switch (code) {
    case 1:
    case 2:
        return CommandClass::ReadBits;
    case 3:
    case 4:
        return CommandClass::ReadRegisters;
    case 5:
    case 15:
        return CommandClass::WriteBits;
    case 6:
    case 16:
        return CommandClass::WriteRegisters;
    default:
        return CommandClass::None;
    }
}

std::string mappingAddressText(std::int64_t address) {
    static constexpr char digits[] = "0123456789ABCDEF";
    if (address < 0)
        return "-" + mappingAddressText(-address);
    std::string text;
    do {
        text.insert(text.begin(), digits[address % 16]);
        address /= 16;
    } while (address != 0);
    return text;
}

}  // namespace veltrane
