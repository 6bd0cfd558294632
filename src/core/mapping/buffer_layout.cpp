#include "core/mapping/buffer_layout.h"

#include "core/common/hex.h"

namespace veltrane {

std::string mappingAddressText(std::int64_t address) {
    if (address < 0)
        return "-" + mappingAddressText(-address);
    return hexNumberText(static_cast<std::uint64_t>(address), HexCase::Upper);
}

std::string bufferAddressText(std::int64_t address) {
    std::string text = mappingAddressText(address);
    if (address >= 0 && text.size() < 4)
        text.insert(0, 4 - text.size(), '0');
    return text;
}

}  // namespace veltrane
