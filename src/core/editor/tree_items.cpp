#include "core/editor/tree_items.h"

#include "core/model/text_value.h"
#include "core/strings/strings.h"

namespace veltrane {

int subnetNumberOfText(const std::string& text) {
    if (text == tr(Str::TreeSubnet) || text == tr(Str::TreeSubnet1))
        return 1;
    if (text == tr(Str::TreeSubnet2))
        return 2;
    if (text == tr(Str::TreeSubnet3))
        return 3;
    if (text == tr(Str::TreeSubnet4))
        return 4;
    return 0;
}

bool isSubnetText(const std::string& text) { return subnetNumberOfText(text) != 0; }

bool isFieldbusText(const std::string& text) {
    return text == tr(Str::TreeFieldbus) || text == tr(Str::TreeEthernet);
}

ItemKind kindOf(const TreeModel& tree, ItemId id) {
    if (!tree.contains(id))
        return ItemKind::None;
    const std::string& text = tree.text(id);
    if (isSubnetText(text))
        return ItemKind::Subnet;
    const ItemId parent = tree.parent(id);
    if (parent != kNoItem && isSubnetText(tree.text(parent)))
        return ItemKind::Node;
    const ItemId grandparent = tree.parent(parent);
    if (grandparent != kNoItem && isSubnetText(tree.text(grandparent)))
        return ItemKind::Command;
    if (isFieldbusText(text))
        return ItemKind::Fieldbus;
    return ItemKind::None;
}

int subnetOf(const TreeModel& tree, ItemId id) {
    for (ItemId at = id; at != kNoItem && tree.contains(at); at = tree.parent(at))
        if (tree.parent(at) == kNoItem)
            return subnetNumberOfText(tree.text(at));
    return 0;
}

int nodeNumberOfText(const std::string& text) {
    const std::size_t prefix = tr(Str::NodeNamePrefix).size();
    return text.size() > prefix ? decimalValue(std::string_view(text).substr(prefix)) : 0;
}

const std::string& commandLabel(const std::string& functionCode) {
    static const std::string none;
    if (functionCode == "1")
        return tr(Str::Fc01ReadCoilStatus);
    if (functionCode == "2")
        return tr(Str::Fc02ReadInputStatus);
    if (functionCode == "3")
        return tr(Str::Fc03ReadHoldingRegister);
    if (functionCode == "4")
        return tr(Str::Fc04ReadInputRegister);
    if (functionCode == "5")
        return tr(Str::Fc05ForceSingleCoil);
    if (functionCode == "6")
        return tr(Str::Fc06PresetSingleRegister);
    if (functionCode == "15")
        return tr(Str::Fc15ForceMultipleCoils);
    if (functionCode == "16")
        return tr(Str::Fc16PresetMultipleRegisters);
    return none;
}

}  // namespace veltrane
