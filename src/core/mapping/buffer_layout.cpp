#include "core/mapping/buffer_layout.h"

namespace veltrane {

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
