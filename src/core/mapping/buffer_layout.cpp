#include "core/mapping/buffer_layout.h"

#include "core/common/hex.h"

namespace veltrane {

std::string mappingAddressText(std::int64_t address) {
    if (address < 0)
        return "-" + mappingAddressText(-address);
    return hexNumberText(static_cast<std::uint64_t>(address), HexCase::Upper);
}

}  // namespace veltrane
