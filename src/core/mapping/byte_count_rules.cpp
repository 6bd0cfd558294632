#include "core/mapping/byte_count_rules.h"

#include "core/model/function_code.h"
#include "core/model/text_value.h"

namespace veltrane {

std::int64_t mappedByteCount(std::int64_t firstBit, std::int64_t bitCount) { return (firstBit + bitCount + 7) / 8; }

std::int64_t completenessByteCount(std::int64_t bitCount) {
    return bitCount >= 0 ? (bitCount + 7) / 8 : -((-bitCount) / 8);
}

std::int64_t ethernetDownloadByteCount(std::int64_t bitCount) { return bitCount / 8 + 1; }

std::string completenessCommandBytes(const INSTRUCTION& command) {
    const std::int64_t count = decimalValue(command.dataCount);
    const FunctionCodeInfo& code = functionCodeInfo(command.functionCode);
    if (code.multipleBits())
        return decimalText(completenessByteCount(count));
    if (code.multipleRegisters())
        return decimalText(2 * count);
    if (code.fixedBytes > 0)
        return decimalText(code.fixedBytes);
    return {};
}

std::string ethernetDownloadCommandBytes(const INSTRUCTION& command) {
    const std::int64_t n = decimalValue(command.dataCount);
    const std::string& code = command.functionCode;
    if (code == "1" || code == "2" || code == "15")
        return std::to_string(ethernetDownloadByteCount(n));
    if (code == "3" || code == "4" || code == "16")
        return std::to_string(2 * n);
    if (code == "5")
        return "1";
    if (code == "6")
        return "2";
    return {};
}

}  // namespace veltrane
