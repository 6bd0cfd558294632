#include "core/link/carried_number.h"

#include "core/editor/tree_items.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane {

bool CarriedNumber::fits() const {
    const int bits = 8 * static_cast<int>(width);
    const std::int64_t lowest = -(std::int64_t{1} << (bits - 1));
    const std::int64_t highest = (std::int64_t{1} << bits) - 1;
    return value >= lowest && value <= highest;
}

CarriedNumber decimalNumber(std::size_t offset, FieldWidth width, const std::string& text, Str row,
                            std::int64_t divisor) {
    // Division truncates toward zero, as the frames always had it ("-1" ms is 0 tenths).
    return {offset, width, wideDecimalValue(text) / divisor, text, row};
}

CarriedNumber hexNumber(std::size_t offset, FieldWidth width, const std::string& text, Str row) {
    return {offset, width, hexValue(text), text, row};
}

void putNumber(std::span<std::uint8_t> out, std::size_t base, const CarriedNumber& number) {
    const auto bytes = static_cast<std::size_t>(number.width);
    const auto value = static_cast<std::uint64_t>(number.value);
    for (std::size_t i = 0; i < bytes; ++i)
        out[base + number.offset + i] = static_cast<std::uint8_t>(value >> (8 * (bytes - 1 - i)));
}

std::string subnetItemPath(int subnet) {
    static constexpr Str kSubnets[] = {Str::TreeSubnet1, Str::TreeSubnet2, Str::TreeSubnet3, Str::TreeSubnet4};
    return tr(kSubnets[static_cast<std::size_t>(std::clamp(subnet, 0, kSubnetSlots - 1))]);
}

std::string commandItemPath(const CONFIG& subnet, int subnetIndex, int position) {
    std::string path = subnetItemPath(subnetIndex);
    const INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(position)];
    if (command.nodeIndex >= 1 && command.nodeIndex <= kMaxNodes)
        path += " / " + subnet.nodes[static_cast<std::size_t>(command.nodeIndex - 1)].name;
    const std::string& label = commandLabel(command.functionCode);
    // Several commands of a node may share a label; the position tells them apart.
    return path + " / " + (label.empty() ? command.functionCode : label) + " (#" + std::to_string(position + 1) + ")";
}

Status numbersFit(const std::vector<ItemNumber>& numbers) {
    for (const ItemNumber& n : numbers)
        if (!n.number.fits())
            return makeError(ErrorKind::Refused, format(Str::DlNumberTooWide, {n.item, tr(n.number.row), n.number.text}));
    return {};
}

}  // namespace veltrane
